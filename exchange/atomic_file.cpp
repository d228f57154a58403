#include "exchange/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/exceptions.h"

namespace qv {

namespace {

std::string Reason() { return std::strerror(errno); }

// The folder holding Path ("." for a bare name).
std::string FolderOf(const std::string& Path) {
    const size_t slash = Path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : Path.substr(0, slash);
}

// The mode a newly created file gets: 0666 less the process's umask.
mode_t DefaultMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

TAtomicFile::TAtomicFile(const std::string& Target) : FTarget(Target) {
    std::string pattern = Target + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    FHandle = ::mkstemp(name.data());
    if (FHandle < 0) throw EFCreateError("Cannot create file \"" + Target + "\": " + Reason());
    FTempName = name.data();
    // mkstemp makes the file private; the finished file gets the mode any
    // new file would (or the mode of the file it replaces).
    struct stat old {};
    ::fchmod(FHandle, ::stat(Target.c_str(), &old) == 0 ? (old.st_mode & 07777) : DefaultMode());
}

TAtomicFile::~TAtomicFile() {
    if (FHandle >= 0) ::close(FHandle);
    if (!FCommitted && !FTempName.empty()) ::unlink(FTempName.c_str());
}

void TAtomicFile::Write(const void* Data, size_t Size) {
    const char* p = static_cast<const char*>(Data);
    while (Size > 0) {
        const ssize_t n = ::write(FHandle, p, Size);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw EWriteError("Cannot write file \"" + FTarget + "\": " + Reason());
        }
        p += n;
        Size -= static_cast<size_t>(n);
    }
}

void TAtomicFile::Commit() {
    if (FHandle >= 0) {
        const bool ok = ::fsync(FHandle) == 0;
        const int err = errno;
        ::close(FHandle);
        FHandle = -1;
        if (!ok) {
            errno = err;
            throw EWriteError("Cannot write file \"" + FTarget + "\": " + Reason());
        }
    }
    if (::rename(FTempName.c_str(), FTarget.c_str()) != 0)
        throw EWriteError("Cannot replace file \"" + FTarget + "\": " + Reason());
    FCommitted = true;
    // The new name lasts through a power cut only once the folder is on disk.
    // The file is complete either way, so a folder that cannot be synced
    // (some file systems refuse) is no error.
    const int folder = ::open(FolderOf(FTarget).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

}  // namespace qv
