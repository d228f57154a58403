// TPicture: a persistent holder of one graphic (or none).
//
// The picture owns its graphic and forwards the graphic's change
// notifications as its own OnChange, so a change made through Graphic()
// reaches the picture's owner too. Loading from a file picks the graphic
// class by the file's extension; stored picture data records the graphic's
// class name so that a reader can create the same class.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/graphic.h"
#include "platform/persistent.h"

namespace qv {

class TStream;

class TPicture : public TPersistent {
    QV_CLASS(TPicture)
public:
    TPicture() = default;
    ~TPicture() override;

    // The owned graphic, or null.
    TGraphic* Graphic() const { return FGraphic.get(); }
    // Holds a copy of Value (null empties the picture).
    void SetGraphic(const TGraphic* Value);
    // 0 without a graphic.
    int32_t Width() const;
    int32_t Height() const;

    // Loads a .bmp, .ico, .wmf or .emf file (extension in any letter case),
    // or a file whose extension was registered with RegisterFileFormat.
    // Another extension raises EInvalidGraphic "Unknown picture file
    // extension (.xyz)"; on any error the picture keeps what it held.
    void LoadFromFile(const std::string& FileName);
    // Saves the graphic's file image; a picture without an image raises
    // EInvalidGraphic.
    void SaveToFile(const std::string& FileName) const;

    // Accepts a TPicture (copies its graphic), a TGraphic (holds a copy) or
    // null (empties the picture). One notification when the content changed.
    void Assign(const TPersistent* Source) override;
    using TPersistent::Assign;

    // The picture's stored data: the graphic's class name as a short string
    // (u8 length, at most 63 characters), then the graphic's WriteData.
    // ReadData replaces the graphic only when everything read is valid; an
    // unknown class name or bad data raises EInvalidGraphic. WriteData on a
    // picture without a graphic raises EInvalidGraphic (callers write a
    // presence flag first).
    void ReadData(TStream& Stream);
    void WriteData(TStream& Stream) const;

    // The graphic classes known by name ("TBitmap", "TIcon", "TMetafile"
    // and registered ones); null for an unknown name.
    static TClass FindGraphicClass(const std::string& ClassName);
    // A new empty graphic of the named class, or null for an unknown name.
    static std::unique_ptr<TGraphic> CreateGraphic(const std::string& ClassName);
    // Makes a graphic class known by name (for classes outside the core).
    static void RegisterGraphicClass(TClass GraphicClass);
    // Lets LoadFromFile accept another extension (without the dot, any
    // case): Loader reads the named file into a new graphic or raises.
    using TFileLoader = std::function<std::unique_ptr<TGraphic>(const std::string& FileName)>;
    static void RegisterFileFormat(const std::string& Extension, TFileLoader Loader);

    // Fired after the picture's content changed; Sender is the picture.
    std::function<void(TObject*)> OnChange;

protected:
    virtual void Changed();

private:
    // Takes ownership of G (may be null), hooks its notification, notifies.
    void Replace(std::unique_ptr<TGraphic> G);

    std::unique_ptr<TGraphic> FGraphic;
};

}  // namespace qv
