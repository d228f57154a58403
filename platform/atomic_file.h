// A file written in full or not at all. The data goes to a temporary file
// beside the target, named ".<name>.qvtmp-<random>"; Commit flushes it and
// renames it over the target in one step, so a reader (or a crash) never
// sees a half-written file and a complete file that stood there before stays
// until the new one is whole. Without Commit the destructor removes the
// temporary file; one left by a save that was killed is removed by the next
// save of the same target.
//
// The target is the file a name leads to: a symbolic link stays a link and
// the file it names is replaced. A target that exists but is read-only (the
// user may not write it, or no one may: no write bit at all, which holds for
// the superuser too) is refused, as other programs refuse it, rather than
// replaced through its writable folder. A target that is not a regular file
// (a device, a pipe) is written in place.
#pragma once

#include <string>

namespace qv {

class TAtomicFile {
public:
    // Creates the temporary file; raises EFCreateError naming the target and
    // the system's reason when the target is read-only or its folder cannot
    // take one.
    explicit TAtomicFile(const std::string& Target);
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    // The name given, as messages show it.
    const std::string& Target() const { return FTarget; }
    // The file that Commit replaces: Target, or what its links lead to.
    const std::string& Path() const { return FPath; }
    // The temporary file, for writers that open files by name (the target
    // itself when it is written in place).
    const std::string& TempName() const { return FTempName; }
    // Appends to the temporary file; raises EWriteError naming the target.
    void Write(const void* Data, size_t Size);
    // Flushes, renames and closes; raises EWriteError naming the target on
    // failure (the target is then untouched).
    void Commit();

    // The prefix of the temporary files of a target named Name (no folder).
    static std::string TempPrefix(const std::string& Name);

private:
    std::string FTarget;
    std::string FPath;
    std::string FTempName;
    int FHandle = -1;
    unsigned FMode = 0;  // what the finished file gets
    bool FInPlace = false;
    bool FCommitted = false;
};

}  // namespace qv
