#include "platform/graphic.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/exceptions.h"
#include "platform/stream.h"

namespace qv {

QV_ABSTRACT_CLASS_IMPL(TGraphic, TPersistent)
QV_CLASS_IMPL(TBitmap, TGraphic)
QV_CLASS_IMPL(TIcon, TGraphic)
QV_CLASS_IMPL(TMetafile, TGraphic)

namespace {

// Little-endian reads at an offset the caller has already checked.
uint16_t U16(const std::string& B, size_t At) {
    return static_cast<uint16_t>(uint8_t(B[At]) | uint8_t(B[At + 1]) << 8);
}
uint32_t U32(const std::string& B, size_t At) {
    return uint32_t(uint8_t(B[At])) | uint32_t(uint8_t(B[At + 1])) << 8 |
           uint32_t(uint8_t(B[At + 2])) << 16 | uint32_t(uint8_t(B[At + 3])) << 24;
}
int16_t I16(const std::string& B, size_t At) { return static_cast<int16_t>(U16(B, At)); }
int32_t I32(const std::string& B, size_t At) { return static_cast<int32_t>(U32(B, At)); }

std::string Str(uint64_t V) { return std::to_string(V); }
std::string Str(int64_t V) { return std::to_string(V); }

// A * Num / Den rounded half away from zero, in 64 bits (Den > 0).
int64_t ScaleRound(int64_t A, int64_t Num, int64_t Den) {
    const int64_t n = A * Num;
    return n >= 0 ? (n + Den / 2) / Den : -((-n + Den / 2) / Den);
}

// A size in pixels computed in 64 bits; anything outside 32 bits becomes -1,
// which the size check refuses.
int32_t Narrow(int64_t V) { return V < 0 || V > INT32_MAX ? -1 : static_cast<int32_t>(V); }

constexpr size_t FileHeaderSize = 14;
constexpr size_t CoreHeaderSize = 12;
constexpr size_t InfoHeaderSize = 40;
constexpr size_t IconHeaderSize = 6;
constexpr size_t IconEntrySize = 16;
constexpr uint32_t PlaceableKey = 0x9AC6CDD7u;
constexpr size_t PlaceableSize = 22;
constexpr size_t MetaHeaderSize = 18;
constexpr uint32_t EmfHeaderRecord = 1;
constexpr uint32_t EmfSignature = 0x464D4520u;  // " EMF"
constexpr size_t EmfHeaderSize = 88;

}  // namespace

// ---- TGraphic ----

void TGraphic::Invalid(const std::string& What) const {
    throw EInvalidGraphic("Invalid " + ClassName() + " image: " + What);
}

void TGraphic::Changed() {
    if (OnChange) OnChange(this);
}

void TGraphic::LoadFromBytes(std::string Bytes) {
    if (Bytes.empty()) Invalid("no data");
    const TSize size = ParseImage(Bytes);  // raises before anything changes
    // Whatever the headers claim, a size no decoder produces is refused, so
    // that every scaled size computed from it stays far from overflowing.
    if (size.Width < 0 || size.Height < 0 || size.Width > MaxDimension || size.Height > MaxDimension)
        Invalid("size " + std::to_string(size.Width) + " x " + std::to_string(size.Height) + " exceeds " +
                std::to_string(MaxDimension) + " x " + std::to_string(MaxDimension) + " pixels");
    FData = std::move(Bytes);
    FWidth = size.Width;
    FHeight = size.Height;
    Changed();
}

void TGraphic::Clear() {
    if (FData.empty()) return;
    FData.clear();
    FWidth = FHeight = 0;
    Changed();
}

void TGraphic::LoadFromStream(TStream& Stream) { LoadFromBytes(Stream.ReadBytes(Stream.Remaining())); }

void TGraphic::SaveToStream(TStream& Stream) const { Stream.WriteBytes(FData); }

void TGraphic::LoadFromFile(const std::string& FileName) {
    try {
        LoadFromBytes(ReadWholeFile(FileName));
    } catch (const EInvalidGraphic& e) {
        throw EInvalidGraphic(e.Message() + " (file " + FileName + ")");
    }
}

void TGraphic::SaveToFile(const std::string& FileName) const { WriteFileSafely(FileName, FData); }

void TGraphic::ReadData(TStream& Stream) {
    if (Stream.Remaining() < 4) Invalid("stored data ends before its byte count");
    const int32_t count = Stream.ReadInt32();
    if (count < 0 || count > Stream.Remaining())
        Invalid("stored byte count " + std::to_string(count) + " exceeds the " +
                std::to_string(Stream.Remaining()) + " bytes that remain");
    if (count == 0) {
        Clear();
        return;
    }
    LoadFromBytes(Stream.ReadBytes(count));
}

void TGraphic::WriteData(TStream& Stream) const {
    Stream.WriteInt32(static_cast<int32_t>(FData.size()));
    Stream.WriteBytes(FData);
}

void TGraphic::Assign(const TPersistent* Source) {
    const TGraphic* src = dynamic_cast<const TGraphic*>(Source);
    if (!src || src->ClassType() != ClassType()) {
        TPersistent::Assign(Source);
        return;
    }
    if (src == this || src->FData == FData) return;
    FData = src->FData;
    FWidth = src->FWidth;
    FHeight = src->FHeight;
    Changed();
}

bool TGraphic::Equals(const TGraphic& Other) const {
    return ClassType() == Other.ClassType() && FData == Other.FData;
}

std::unique_ptr<TGraphic> TGraphic::Clone() const {
    std::unique_ptr<TObject> obj(ClassType()->Create());
    auto* g = dynamic_cast<TGraphic*>(obj.get());
    if (!g) throw EInvalidGraphic("Cannot create a copy of a " + ClassName());
    obj.release();
    std::unique_ptr<TGraphic> result(g);
    result->FData = FData;
    result->FWidth = FWidth;
    result->FHeight = FHeight;
    return result;
}

// ---- TBitmap ----

TSize TBitmap::ParseImage(const std::string& B) const {
    const size_t n = B.size();
    if (n < 2 || B[0] != 'B' || B[1] != 'M') Invalid("not a bitmap file (no BM signature)");
    if (n < FileHeaderSize + 4)
        Invalid("truncated: " + Str(uint64_t(n)) + " bytes cannot hold the bitmap headers");
    const uint32_t offBits = U32(B, 10);
    const uint32_t hdrSize = U32(B, 14);
    int64_t width, height;
    uint16_t planes, bitCount;
    uint32_t compression = 0;
    if (hdrSize == CoreHeaderSize) {
        if (n < FileHeaderSize + CoreHeaderSize)
            Invalid("truncated: the core header needs " + Str(uint64_t(FileHeaderSize + CoreHeaderSize)) +
                    " bytes, " + Str(uint64_t(n)) + " present");
        width = U16(B, 18);
        height = U16(B, 20);
        planes = U16(B, 22);
        bitCount = U16(B, 24);
    } else if (hdrSize >= InfoHeaderSize) {
        if (n < FileHeaderSize + InfoHeaderSize || hdrSize > n - FileHeaderSize)
            Invalid("truncated: the " + Str(uint64_t(hdrSize)) + "-byte info header does not fit in " +
                    Str(uint64_t(n)) + " bytes");
        width = I32(B, 18);
        height = I32(B, 22);
        planes = U16(B, 26);
        bitCount = U16(B, 28);
        compression = U32(B, 30);
    } else {
        Invalid("unsupported header size " + Str(uint64_t(hdrSize)));
    }
    if (width <= 0) Invalid("width " + Str(width) + " is not positive");
    if (height == 0) Invalid("height is 0");
    if (height < 0) height = -height;  // top-down rows; INT32_MIN is fine in 64 bits
    if (height > INT32_MAX) Invalid("height " + Str(height) + " is out of range");
    if (planes != 1) Invalid("plane count " + Str(uint64_t(planes)) + " is not 1");
    const bool embedded = compression == 4 || compression == 5;  // JPEG or PNG inside
    if (!embedded && bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32)
        Invalid("unsupported bit count " + Str(uint64_t(bitCount)));
    const uint64_t dibStart = FileHeaderSize + hdrSize;
    if (offBits < dibStart || offBits > n)
        Invalid("pixel data offset " + Str(uint64_t(offBits)) + " lies outside the " + Str(uint64_t(n)) +
                "-byte file");
    // Uncompressed rows (plain or bit-field masks) have a fixed size, so a
    // truncated file shows here; compressed data is checked by its decoder.
    if (compression == 0 || compression == 3 || compression == 6) {
        const uint64_t stride = ((uint64_t(width) * bitCount + 31) / 32) * 4;
        const uint64_t available = n - offBits;
        if (available / stride < uint64_t(height))
            Invalid("truncated: " + Str(uint64_t(height)) + " rows of " + Str(stride) + " bytes do not fit in the " +
                    Str(available) + " bytes of pixel data");
    }
    return {static_cast<int32_t>(width), static_cast<int32_t>(height)};
}

// ---- TIcon ----

TSize TIcon::ParseImage(const std::string& B) const {
    const size_t n = B.size();
    if (n < IconHeaderSize) Invalid("truncated: " + Str(uint64_t(n)) + " bytes cannot hold the icon header");
    if (U16(B, 0) != 0 || U16(B, 2) != 1) Invalid("not an icon file (bad header)");
    const uint16_t count = U16(B, 4);
    if (count == 0) Invalid("the icon file holds no image");
    const uint64_t dirEnd = IconHeaderSize + uint64_t(count) * IconEntrySize;
    if (dirEnd > n)
        Invalid("truncated: the directory of " + Str(uint64_t(count)) + " images needs " + Str(dirEnd) +
                " bytes, " + Str(uint64_t(n)) + " present");
    for (uint16_t i = 0; i < count; ++i) {
        const size_t e = IconHeaderSize + size_t(i) * IconEntrySize;
        const uint64_t size = U32(B, e + 8);
        const uint64_t offset = U32(B, e + 12);
        if (size == 0) Invalid("image " + Str(uint64_t(i)) + " is empty");
        if (offset < dirEnd || offset + size > n)
            Invalid("image " + Str(uint64_t(i)) + " (offset " + Str(offset) + ", " + Str(size) +
                    " bytes) lies outside the " + Str(uint64_t(n)) + "-byte file");
    }
    const int32_t w = uint8_t(B[IconHeaderSize]);
    const int32_t h = uint8_t(B[IconHeaderSize + 1]);
    return {w ? w : 256, h ? h : 256};
}

void TIcon::ReadData(TStream& Stream) {
    // The directory tells how far the file image reaches.
    if (Stream.Remaining() < int64_t(IconHeaderSize)) Invalid("stored data ends inside the icon header");
    const int64_t start = Stream.Position();
    std::string head = Stream.ReadBytes(IconHeaderSize);
    if (U16(head, 0) != 0 || U16(head, 2) != 1) {
        Stream.SetPosition(start);
        Invalid("not an icon file (bad header)");
    }
    const uint16_t count = U16(head, 4);
    if (count == 0) {
        Clear();
        return;
    }
    const int64_t dirSize = int64_t(count) * IconEntrySize;
    if (Stream.Remaining() < dirSize) {
        Stream.SetPosition(start);
        Invalid("stored data ends inside the icon directory");
    }
    std::string image = head + Stream.ReadBytes(dirSize);
    uint64_t extent = image.size();
    for (uint16_t i = 0; i < count; ++i) {
        const size_t e = IconHeaderSize + size_t(i) * IconEntrySize;
        extent = std::max<uint64_t>(extent, uint64_t(U32(image, e + 12)) + U32(image, e + 8));
    }
    const uint64_t rest = extent - image.size();
    if (rest > uint64_t(Stream.Remaining())) {
        Stream.SetPosition(start);
        Invalid("stored icon needs " + Str(extent) + " bytes, the stream ends earlier");
    }
    image += Stream.ReadBytes(int64_t(rest));
    try {
        LoadFromBytes(std::move(image));
    } catch (...) {
        Stream.SetPosition(start);
        throw;
    }
}

void TIcon::WriteData(TStream& Stream) const {
    if (Empty()) {
        const char emptyIcon[IconHeaderSize] = {0, 0, 1, 0, 0, 0};
        Stream.WriteBuffer(emptyIcon, sizeof emptyIcon);
        return;
    }
    SaveToStream(Stream);
}

// ---- TMetafile ----

bool TMetafile::Enhanced() const { return Data().size() >= 4 && U32(Data(), 0) == EmfHeaderRecord; }

TSize TMetafile::ParseImage(const std::string& B) const {
    const size_t n = B.size();
    if (n >= 4 && U32(B, 0) == PlaceableKey) {
        if (n < PlaceableSize + MetaHeaderSize)
            Invalid("truncated: " + Str(uint64_t(n)) + " bytes cannot hold the metafile headers");
        const int64_t left = I16(B, 6), top = I16(B, 8), right = I16(B, 10), bottom = I16(B, 12);
        const int64_t inch = U16(B, 14);
        if (inch == 0) Invalid("the placeable header gives 0 units per inch");
        if (right <= left || bottom <= top)
            Invalid("empty bounds (" + Str(left) + ", " + Str(top) + ", " + Str(right) + ", " + Str(bottom) + ")");
        const uint16_t type = U16(B, PlaceableSize);
        const uint16_t headerWords = U16(B, PlaceableSize + 2);
        if ((type != 1 && type != 2) || headerWords != MetaHeaderSize / 2)
            Invalid("bad metafile header after the placeable header");
        const uint64_t fileBytes = uint64_t(U32(B, PlaceableSize + 6)) * 2;
        if (fileBytes < MetaHeaderSize) Invalid("recorded size " + Str(fileBytes) + " is smaller than its header");
        if (fileBytes > n - PlaceableSize)
            Invalid("truncated: the metafile records " + Str(fileBytes) + " bytes, " + Str(uint64_t(n - PlaceableSize)) +
                    " present");
        return {Narrow(ScaleRound(right - left, 96, inch)), Narrow(ScaleRound(bottom - top, 96, inch))};
    }
    if (n >= 4 && U32(B, 0) == EmfHeaderRecord) {
        if (n < EmfHeaderSize)
            Invalid("truncated: " + Str(uint64_t(n)) + " bytes cannot hold the enhanced metafile header");
        if (U32(B, 40) != EmfSignature) Invalid("not an enhanced metafile (bad signature)");
        const uint64_t headerSize = U32(B, 4);
        const uint64_t fileBytes = U32(B, 48);
        if (headerSize < EmfHeaderSize || headerSize > fileBytes)
            Invalid("bad header size " + Str(headerSize));
        if (fileBytes > n)
            Invalid("truncated: the metafile records " + Str(fileBytes) + " bytes, " + Str(uint64_t(n)) + " present");
        const int64_t left = I32(B, 24), top = I32(B, 28), right = I32(B, 32), bottom = I32(B, 36);
        if (right < left || bottom < top)
            Invalid("inverted frame (" + Str(left) + ", " + Str(top) + ", " + Str(right) + ", " + Str(bottom) + ")");
        // Frame units are 0.01 mm: pixels = units * 96 / 2540.
        const int64_t w = ScaleRound(right - left, 96, 2540), h = ScaleRound(bottom - top, 96, 2540);
        return {Narrow(w), Narrow(h)};
    }
    if (n >= MetaHeaderSize && (U16(B, 0) == 1 || U16(B, 0) == 2) && U16(B, 2) == MetaHeaderSize / 2)
        Invalid("a Windows metafile without a placeable header has no size");
    Invalid("not a metafile (unknown signature)");
}

}  // namespace qv
