#include "platform/stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <bit>
#include <cerrno>
#include <cstring>

#include "platform/atomic_file.h"
#include "platform/exceptions.h"

namespace qv {

static_assert(std::endian::native == std::endian::little,
              "streams store little-endian values and assume a little-endian host");

int64_t TStream::Remaining() const { return std::max<int64_t>(0, Size() - Position()); }

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
    if (Count < 0 || (Count != 0 && Read(Buffer, Count) != Count))
        throw EReadError("Stream read error: " + std::to_string(Count) +
                         " bytes requested, stream ended early");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
    if (Count < 0 || (Count != 0 && Write(Buffer, Count) != Count))
        throw EWriteError("Stream write error: could not write " + std::to_string(Count) + " bytes");
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
    if (Count == 0) {
        Source.SetPosition(0);
        Count = Source.Size();
    }
    char buf[65536];
    int64_t left = Count;
    while (left > 0) {
        const int64_t n = std::min<int64_t>(left, sizeof buf);
        Source.ReadBuffer(buf, n);
        WriteBuffer(buf, n);
        left -= n;
    }
    return Count;
}

template <typename T>
static T ReadValue(TStream& S) {
    T v;
    S.ReadBuffer(&v, sizeof v);
    return v;
}

uint8_t TStream::ReadByte() { return ReadValue<uint8_t>(*this); }
int16_t TStream::ReadInt16() { return ReadValue<int16_t>(*this); }
uint16_t TStream::ReadUInt16() { return ReadValue<uint16_t>(*this); }
int32_t TStream::ReadInt32() { return ReadValue<int32_t>(*this); }
uint32_t TStream::ReadUInt32() { return ReadValue<uint32_t>(*this); }
int64_t TStream::ReadInt64() { return ReadValue<int64_t>(*this); }
float TStream::ReadSingle() { return ReadValue<float>(*this); }
double TStream::ReadDouble() { return ReadValue<double>(*this); }

std::string TStream::ReadString() {
    // A length of 0 or less is the empty string, with nothing after it.
    const int32_t len = ReadInt32();
    if (len <= 0) return std::string();
    return ReadBytes(len);
}

std::string TStream::ReadBytes(int64_t Count) {
    if (Count < 0 || Count > Remaining())
        throw EReadError("Stream read error: " + std::to_string(Count) + " bytes requested, " +
                         std::to_string(Remaining()) + " remain");
    std::string s(static_cast<size_t>(Count), '\0');
    ReadBuffer(s.data(), Count);
    return s;
}

void TStream::WriteByte(uint8_t V) { WriteBuffer(&V, sizeof V); }
void TStream::WriteInt16(int16_t V) { WriteBuffer(&V, sizeof V); }
void TStream::WriteUInt16(uint16_t V) { WriteBuffer(&V, sizeof V); }
void TStream::WriteInt32(int32_t V) { WriteBuffer(&V, sizeof V); }
void TStream::WriteUInt32(uint32_t V) { WriteBuffer(&V, sizeof V); }
void TStream::WriteInt64(int64_t V) { WriteBuffer(&V, sizeof V); }
void TStream::WriteSingle(float V) { WriteBuffer(&V, sizeof V); }
void TStream::WriteDouble(double V) { WriteBuffer(&V, sizeof V); }

void TStream::WriteString(const std::string& S) {
    WriteInt32(static_cast<int32_t>(S.size()));
    WriteBytes(S);
}

// --- TMemoryStream ---------------------------------------------------------

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
    if (Count <= 0 || FPosition >= Size()) return 0;
    const int64_t n = std::min(Count, Size() - FPosition);
    std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    const auto* bytes = static_cast<const char*>(Buffer);
    // Writers mostly append: the new bytes are copied once, not zeroed first.
    if (FPosition == Size()) {
        FData.append(bytes, static_cast<size_t>(Count));
    } else {
        if (FPosition > Size()) FData.resize(static_cast<size_t>(FPosition));
        const auto inside = static_cast<size_t>(std::min<int64_t>(Count, Size() - FPosition));
        std::memcpy(FData.data() + FPosition, bytes, inside);
        FData.append(bytes + inside, static_cast<size_t>(Count) - inside);
    }
    FPosition += Count;
    return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : Size();
    FPosition = std::max<int64_t>(0, base + Offset);
    return FPosition;
}

void TMemoryStream::SetSize(int64_t NewSize) {
    FData.resize(static_cast<size_t>(std::max<int64_t>(0, NewSize)));
    FPosition = std::min(FPosition, Size());
}

void TMemoryStream::LoadFromStream(TStream& Source) {
    Source.SetPosition(0);
    FData = Source.ReadBytes(Source.Size());
    FPosition = 0;
}

void TMemoryStream::SaveToStream(TStream& Dest) const { Dest.WriteBytes(FData); }

void TMemoryStream::LoadFromFile(const std::string& FileName) {
    FData = ReadWholeFile(FileName);
    FPosition = 0;
}

void TMemoryStream::SaveToFile(const std::string& FileName) const { WriteFileSafely(FileName, FData); }

// --- TStreamWindow -----------------------------------------------------------

TStreamWindow::TStreamWindow(TStream& Base, int64_t Count)
    : FBase(Base), FStart(Base.Position()), FSize(std::max<int64_t>(0, std::min(Count, Base.Remaining()))) {}

int64_t TStreamWindow::Read(void* Buffer, int64_t Count) {
    if (Count <= 0 || FPosition >= FSize) return 0;
    const int64_t n = std::min(Count, FSize - FPosition);
    FBase.SetPosition(FStart + FPosition);
    const int64_t got = FBase.Read(Buffer, n);
    FPosition += got;
    return got;
}

int64_t TStreamWindow::Seek(int64_t Offset, TSeekOrigin Origin) {
    const int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : FSize;
    FPosition = std::max<int64_t>(0, base + Offset);
    return FPosition;
}

// --- TFileStream -------------------------------------------------------------

TFileStream::TFileStream(const std::string& FileName, TFileMode Mode) : FFileName(FileName) {
    const int flags = Mode == fmCreate ? (O_RDWR | O_CREAT | O_TRUNC)
                      : Mode == fmOpenReadWrite ? O_RDWR
                                                : O_RDONLY;
    FHandle = ::open(FileName.c_str(), flags | O_CLOEXEC, 0644);
    if (FHandle < 0) {
        const std::string reason = std::strerror(errno);
        if (Mode == fmCreate) throw EFCreateError("Cannot create file \"" + FileName + "\": " + reason);
        throw EFOpenError("Cannot open file \"" + FileName + "\": " + reason);
    }
    struct stat st {};
    if (::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(FHandle);
        FHandle = -1;
        throw EFOpenError("Cannot open file \"" + FileName + "\": it is a directory");
    }
}

TFileStream::~TFileStream() {
    if (FHandle >= 0) ::close(FHandle);
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
    int64_t done = 0;
    while (done < Count) {
        const ssize_t n = ::read(FHandle, static_cast<char*>(Buffer) + done, static_cast<size_t>(Count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw EReadError("Cannot read file \"" + FFileName + "\": " + std::strerror(errno));
        if (n == 0) break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
    int64_t done = 0;
    while (done < Count) {
        const ssize_t n = ::write(FHandle, static_cast<const char*>(Buffer) + done, static_cast<size_t>(Count - done));
        if (n < 0 && errno == EINTR) continue;
        // A full disk or a file size limit: the system's reason, not a count.
        if (n < 0) throw EWriteError("Cannot write file \"" + FFileName + "\": " + std::strerror(errno));
        if (n == 0) break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    const int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
    const off_t r = ::lseek(FHandle, static_cast<off_t>(Offset), whence);
    // A pipe or terminal cannot seek; going on at the old position would let
    // a reader lose its place without knowing.
    if (r < 0) throw EStreamError("Cannot seek in file \"" + FFileName + "\": " + std::strerror(errno));
    return r;
}

bool TFileStream::CanSeek() const { return ::lseek(FHandle, 0, SEEK_CUR) >= 0; }

void TFileStream::Sync() {
    if (::fsync(FHandle) != 0) throw EWriteError("Cannot write file \"" + FFileName + "\": " + std::strerror(errno));
}

void TFileStream::Close() {
    if (FHandle < 0) return;
    const int h = FHandle;
    FHandle = -1;
    if (::close(h) != 0) throw EWriteError("Cannot write file \"" + FFileName + "\": " + std::strerror(errno));
}

// --- whole files -------------------------------------------------------------

std::string ReadWholeFile(const std::string& FileName) {
    TFileStream f(FileName, fmOpenRead);
    // Read to the end, not to a size: a pipe has none.
    std::string data;
    char buf[65536];
    for (int64_t n; (n = f.Read(buf, sizeof buf)) > 0;) data.append(buf, static_cast<size_t>(n));
    return data;
}

void WriteFileSafely(const std::string& FileName, const std::string& Bytes) {
    TAtomicFile file(FileName);
    file.Write(Bytes.data(), Bytes.size());
    file.Commit();
}

int64_t TFileStream::Size() const {
    struct stat st {};
    return ::fstat(FHandle, &st) == 0 ? static_cast<int64_t>(st.st_size) : 0;
}

void TFileStream::SetSize(int64_t NewSize) {
    if (::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0)
        throw EWriteError("Cannot resize file \"" + FFileName + "\": " + std::strerror(errno));
}

}  // namespace qv
