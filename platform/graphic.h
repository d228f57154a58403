// Graphics: bitmaps, icons and metafiles held as their file images.
//
// A graphic keeps the bytes of its file image unchanged, together with the
// width and height read from the file's headers; decoding pixels is the
// drawing side's business. Every way of putting bytes into a graphic checks
// the headers first: an invalid or truncated image raises EInvalidGraphic
// with a message naming the class and the fault, and leaves the graphic as
// it was. The checks never read outside the bytes given.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/geometry.h"
#include "platform/persistent.h"

namespace qv {

class TStream;

class TGraphic : public TPersistent {
    QV_CLASS(TGraphic)
public:
    // The largest width and height a graphic accepts; a file image whose
    // headers claim more raises EInvalidGraphic.
    static constexpr int32_t MaxDimension = 65535;

    int32_t Width() const { return FWidth; }
    int32_t Height() const { return FHeight; }
    // True when the graphic holds no image (width and height are then 0).
    bool Empty() const { return FData.empty(); }
    // The file image bytes; empty for an empty graphic.
    const std::string& Data() const { return FData; }

    // Replaces the image by the file image Bytes.
    void LoadFromBytes(std::string Bytes);
    // Drops the image; notifies when there was one.
    void Clear();
    // The file image is everything from the stream's position to its end.
    void LoadFromStream(TStream& Stream);
    // Writes the file image (nothing for an empty graphic).
    void SaveToStream(TStream& Stream) const;
    // File errors raise EFOpenError / EFCreateError naming the file.
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;

    // The graphic's part of stored picture data: by default an i32 byte
    // count followed by the file image (0 for an empty graphic). ReadData
    // reads exactly what WriteData wrote; a count past the end of the stream
    // raises EInvalidGraphic.
    virtual void ReadData(TStream& Stream);
    virtual void WriteData(TStream& Stream) const;

    // Copies the image of a graphic of the same class; other classes raise
    // EConvertError. One notification when the image changed.
    void Assign(const TPersistent* Source) override;
    using TPersistent::Assign;
    // Same class and same bytes.
    bool Equals(const TGraphic& Other) const;
    // A new graphic of this class holding the same image.
    std::unique_ptr<TGraphic> Clone() const;

    // Fired after the image changed; Sender is the graphic.
    std::function<void(TObject*)> OnChange;

protected:
    TGraphic() = default;
    // Checks a file image and returns its size in pixels; raises
    // EInvalidGraphic (through Invalid) when it is not a valid image.
    virtual TSize ParseImage(const std::string& Bytes) const = 0;
    [[noreturn]] void Invalid(const std::string& What) const;
    virtual void Changed();

private:
    std::string FData;
    int32_t FWidth = 0;
    int32_t FHeight = 0;
};

// A device-independent bitmap file image ("BM", file header, then a core
// header of 12 bytes or an info header of 40 bytes or more). The height of a
// top-down bitmap is stored negative; Height() is its absolute value. For
// uncompressed images the pixel rows must all lie inside the bytes.
class TBitmap : public TGraphic {
    QV_CLASS(TBitmap)
public:
    TBitmap() = default;

protected:
    TSize ParseImage(const std::string& Bytes) const override;
};

// An icon file image (reserved 0, type 1, image count, a 16-byte directory
// entry per image). Width and height are those of the first entry, where 0
// means 256. Every image must lie inside the bytes.
//
// Stored data is the icon file image itself without a byte count; its
// length is found from the directory. An empty icon is written as a header
// with no images, which reads back as an empty icon.
class TIcon : public TGraphic {
    QV_CLASS(TIcon)
public:
    TIcon() = default;
    void ReadData(TStream& Stream) override;
    void WriteData(TStream& Stream) const override;

protected:
    TSize ParseImage(const std::string& Bytes) const override;
};

// A metafile image, either
// - a Windows metafile with a placeable header: the size is the header's
//   bounding box converted from its units per inch to pixels at 96 dpi,
//   rounded; the metafile header after it must be intact and its recorded
//   size must fit in the bytes. A Windows metafile without the placeable
//   header carries no size and is refused.
// - an enhanced metafile: the size is the header's picture frame (in
//   0.01 mm) converted to pixels at 96 dpi, rounded; the header's signature
//   must be present and its recorded file size must fit in the bytes.
// Stored data uses the byte-count form of TGraphic.
class TMetafile : public TGraphic {
    QV_CLASS(TMetafile)
public:
    TMetafile() = default;
    // True for an enhanced metafile image, false for a Windows metafile or
    // an empty graphic.
    bool Enhanced() const;

protected:
    TSize ParseImage(const std::string& Bytes) const override;
};

}  // namespace qv
