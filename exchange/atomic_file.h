// A file written in full or not at all. The data goes to a temporary file in
// the target's folder; Commit flushes it and renames it over the target in
// one step, so a reader (or a crash) never sees a half-written file and a
// complete file that stood there before stays until the new one is whole.
// Without Commit the destructor removes the temporary file.
#pragma once

#include <string>

namespace qv {

class TAtomicFile {
public:
    // Creates the temporary file; raises EFCreateError naming the target
    // when its folder cannot take one.
    explicit TAtomicFile(const std::string& Target);
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    const std::string& Target() const { return FTarget; }
    // The temporary file, for writers that open files by name.
    const std::string& TempName() const { return FTempName; }
    // Appends to the temporary file; raises EWriteError naming the target.
    void Write(const void* Data, size_t Size);
    // Flushes, closes and renames; raises EWriteError naming the target on
    // failure (the target is then untouched).
    void Commit();

private:
    std::string FTarget;
    std::string FTempName;
    int FHandle = -1;
    bool FCommitted = false;
};

}  // namespace qv
