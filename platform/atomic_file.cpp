#include "platform/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

#include "platform/exceptions.h"

namespace qv {

namespace {

std::string Reason(int Err) { return std::strerror(Err); }

// The folder holding Path ("." for a bare name).
std::string FolderOf(const std::string& Path) {
    const size_t slash = Path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : Path.substr(0, slash);
}

std::string NameOf(const std::string& Path) {
    const size_t slash = Path.find_last_of('/');
    return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

// The mode a newly created file gets: 0666 less the process's umask.
mode_t DefaultMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

[[noreturn]] void CannotCreate(const std::string& Target, int Err) {
    throw EFCreateError("Cannot create file \"" + Target + "\": " + Reason(Err));
}

// The file a save of Name replaces: Name, or the file its symbolic links
// lead to, also when that one does not exist yet (a dangling link makes
// the file it names). A relative link counts from the link's folder.
std::string FollowLinks(const std::string& Name) {
    std::string path = Name;
    for (int hops = 0; hops < 40; ++hops) {  // the system's own limit
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::vector<char> buf(PATH_MAX);
        const ssize_t n = ::readlink(path.c_str(), buf.data(), buf.size());
        if (n <= 0 || size_t(n) >= buf.size()) return path;  // open() reports what is wrong
        const std::string to(buf.data(), size_t(n));
        path = to[0] == '/' ? to : FolderOf(path) + "/" + to;
    }
    CannotCreate(Name, ELOOP);
}

// Removes what killed saves of Path left: files of its temporary prefix
// that no live save holds locked (a save locks its temporary file until it
// has renamed it). Files of other names are never touched.
void RemoveStaleTemps(const std::string& Path) {
    const std::string folder = FolderOf(Path);
    const std::string prefix = TAtomicFile::TempPrefix(NameOf(Path));
    std::vector<std::string> found;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
                found.push_back(folder + "/" + name);
        }
        ::closedir(dir);
    }
    for (const std::string& stale : found) {
        const int fd = ::open(stale.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(stale.c_str());
        ::close(fd);
    }
}

}  // namespace

std::string TAtomicFile::TempPrefix(const std::string& Name) { return "." + Name + ".qvtmp-"; }

TAtomicFile::TAtomicFile(const std::string& Target) : FTarget(Target), FPath(FollowLinks(Target)) {
    struct stat old {};
    const bool existed = ::stat(FPath.c_str(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode)) {
        // A device or pipe cannot be replaced; it is written in place.
        FHandle = ::open(FPath.c_str(), O_WRONLY | O_CLOEXEC);
        if (FHandle < 0) CannotCreate(Target, errno);
        FTempName = FPath;
        FInPlace = true;
        return;
    }
    if (existed) {
        // Renaming over a file needs only its folder's permission; the
        // file's own say what its owner wants. No write bit at all is
        // refused even where the system would let the superuser write.
        if ((old.st_mode & 0222) == 0) CannotCreate(Target, EACCES);
        if (::faccessat(AT_FDCWD, FPath.c_str(), W_OK, AT_EACCESS) != 0) CannotCreate(Target, errno);
    }
    RemoveStaleTemps(FPath);
    std::string pattern = FolderOf(FPath) + "/" + TempPrefix(NameOf(FPath)) + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    FHandle = ::mkstemp(name.data());
    if (FHandle < 0) CannotCreate(Target, errno);
    FTempName = name.data();
    // Marks the file as this save's until it is renamed or removed.
    ::flock(FHandle, LOCK_EX);
    // mkstemp makes the file private, which it stays while writers open it
    // by name; the finished file gets the mode any new file would (or the
    // mode of the file it replaces).
    FMode = existed ? (old.st_mode & 07777) : DefaultMode();
}

TAtomicFile::~TAtomicFile() {
    if (FHandle >= 0) ::close(FHandle);
    if (!FCommitted && !FInPlace && !FTempName.empty()) ::unlink(FTempName.c_str());
}

void TAtomicFile::Write(const void* Data, size_t Size) {
    const char* p = static_cast<const char*>(Data);
    while (Size > 0) {
        const ssize_t n = ::write(FHandle, p, Size);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw EWriteError("Cannot write file \"" + FTarget + "\": " + Reason(errno));
        }
        p += n;
        Size -= static_cast<size_t>(n);
    }
}

void TAtomicFile::Commit() {
    if (FCommitted) return;
    if (FInPlace) {
        const int h = FHandle;
        FHandle = -1;
        FCommitted = true;
        if (::close(h) != 0) throw EWriteError("Cannot write file \"" + FTarget + "\": " + Reason(errno));
        return;
    }
    // Writers that opened the temporary file by name wrote to the same
    // file: syncing it through this handle covers their data too.
    ::fchmod(FHandle, static_cast<mode_t>(FMode));
    if (::fsync(FHandle) != 0) throw EWriteError("Cannot write file \"" + FTarget + "\": " + Reason(errno));
    // The handle, and with it the lock, stays until the rename is done, so
    // a save starting meanwhile never takes this file for a stale one.
    if (::rename(FTempName.c_str(), FPath.c_str()) != 0)
        throw EWriteError("Cannot replace file \"" + FTarget + "\": " + Reason(errno));
    FCommitted = true;
    ::close(FHandle);
    FHandle = -1;
    // The new name lasts through a power cut only once the folder is on disk.
    // The file is complete either way, so a folder that cannot be synced
    // (some file systems refuse) is no error.
    const int folder = ::open(FolderOf(FPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

}  // namespace qv
