// Byte streams. All multi-byte values are little-endian.
//
// Readers of outside bytes use the checked helpers: ReadBuffer raises
// EReadError on a short read, and ReadString refuses a length larger than
// the bytes that remain, so a corrupt count never causes a huge allocation.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/object.h"

namespace qv {

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
    // Reads up to Count bytes; returns how many were read.
    virtual int64_t Read(void* Buffer, int64_t Count) = 0;
    // Writes Count bytes; returns how many were written.
    virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;
    virtual int64_t Size() const = 0;
    virtual void SetSize(int64_t NewSize) = 0;

    int64_t Position() const { return const_cast<TStream*>(this)->Seek(0, soCurrent); }
    void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }
    // Bytes between the position and the end (never negative).
    int64_t Remaining() const;

    void ReadBuffer(void* Buffer, int64_t Count);
    void WriteBuffer(const void* Buffer, int64_t Count);
    // Copies Count bytes from Source (all of it from its start when Count is 0).
    int64_t CopyFrom(TStream& Source, int64_t Count);

    uint8_t ReadByte();
    int16_t ReadInt16();
    uint16_t ReadUInt16();
    int32_t ReadInt32();
    uint32_t ReadUInt32();
    int64_t ReadInt64();
    float ReadSingle();
    double ReadDouble();
    // A 32-bit length followed by that many bytes.
    std::string ReadString();
    // Exactly Count bytes.
    std::string ReadBytes(int64_t Count);

    void WriteByte(uint8_t V);
    void WriteInt16(int16_t V);
    void WriteUInt16(uint16_t V);
    void WriteInt32(int32_t V);
    void WriteUInt32(uint32_t V);
    void WriteInt64(int64_t V);
    void WriteSingle(float V);
    void WriteDouble(double V);
    void WriteString(const std::string& S);
    void WriteBytes(const std::string& S) { WriteBuffer(S.data(), static_cast<int64_t>(S.size())); }
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string Bytes) : FData(std::move(Bytes)) {}

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() const override { return static_cast<int64_t>(FData.size()); }
    void SetSize(int64_t NewSize) override;

    void Clear() { FData.clear(); FPosition = 0; }
    // Room for Bytes in all, made at once.
    void Reserve(int64_t Bytes) {
        if (Bytes > 0) FData.reserve(static_cast<size_t>(Bytes));
    }
    const std::string& Bytes() const { return FData; }
    // Hands the bytes over, leaving the stream empty.
    std::string TakeBytes() {
        std::string out = std::move(FData);
        FData.clear();
        FPosition = 0;
        return out;
    }
    const char* Memory() const { return FData.data(); }
    void LoadFromStream(TStream& Source);
    void SaveToStream(TStream& Dest) const;
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;

private:
    std::string FData;
    int64_t FPosition = 0;
};

// A read-only window of Count bytes of another stream, starting at its
// position when the window is made. Reads never go past the window, so a
// record reader handed one cannot consume the next record's bytes.
class TStreamWindow : public TStream {
public:
    TStreamWindow(TStream& Base, int64_t Count);

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void*, int64_t) override { return 0; }
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() const override { return FSize; }
    void SetSize(int64_t) override {}

private:
    TStream& FBase;
    int64_t FStart;
    int64_t FSize;
    int64_t FPosition = 0;
};

enum TFileMode { fmOpenRead, fmOpenReadWrite, fmCreate };

// A stream over a file. Opening failures raise EFOpenError (or EFCreateError
// for fmCreate) with a message naming the file and the system's reason; so
// do failed reads (EReadError) and writes (EWriteError). A file that cannot
// seek (a pipe, a terminal) raises EStreamError on Seek and Position:
// loaders read such a source whole (ReadWholeFile) and parse the copy.
class TFileStream : public TStream {
public:
    TFileStream(const std::string& FileName, TFileMode Mode);
    ~TFileStream() override;

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() const override;
    void SetSize(int64_t NewSize) override;
    const std::string& FileName() const { return FFileName; }
    bool CanSeek() const;
    int Handle() const { return FHandle; }
    // Flushes to the disk; closes, reporting what the system reports.
    void Sync();
    void Close();

private:
    std::string FFileName;
    int FHandle = -1;
};

// Everything a file holds, read to its end (a pipe works too).
std::string ReadWholeFile(const std::string& FileName);
// Replaces the file FileName by Bytes through TAtomicFile: they are written
// to a new file in the same folder, flushed to the disk and renamed over the
// old one. A failure raises EWriteError (EFCreateError for a read-only
// target) naming FileName and the system's reason, removes the new file and
// leaves the old one untouched. A symbolic link stays and the file it names
// is replaced; a path that is not a regular file (a device, a pipe) is
// written in place.
void WriteFileSafely(const std::string& FileName, const std::string& Bytes);

}  // namespace qv
