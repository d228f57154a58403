// TQvPro: the common base of everything that carries cell formatting — cells,
// cell proxies and ranges, and styles.
//
// A property set records which of its properties were set on the object
// itself (Assigned); that set alone decides inheritance: FindSource walks
// from the object to its named style, and cells then fall back to their
// section's base style. Borders, fill colour and frame are not stored here:
// descendants reach them through GetLine/SetLine (cells and ranges in their
// section's tables, styles in their own line array).
//
// Setter rule: a setter that receives the current value does nothing unless
// the object carries psAlwaysNotify; otherwise it stores the value and calls
// Changed with the property identifier.
#pragma once

#include <memory>
#include <string>

#include "grids/rare_parts.h"
#include "grids/types.h"
#include "platform/compact_string.h"
#include "platform/persistent.h"

namespace qv {

class TFont;
class TStream;
class TQvStyle;

// Property Control as one unit: the cell class, the editor index and the
// display format.
struct TQvControl {
    TClass CellClass = nullptr;
    int32_t EditorIndex = 0;
    std::string Format;
};

// A font as a property record holds it; reading raises EReadError for a
// charset outside 0..255.
void WriteFontRecord(TStream& Stream, const TFont& F);
void ReadFontRecord(TStream& Stream, TFont& F);

class TQvPro : public TPersistent {
    QV_CLASS(TQvPro)
public:
    explicit TQvPro(TObject* Owner);
    ~TQvPro() override;

    // Copies every property (identifiers 0..10 in order) from another set,
    // after emptying Assigned; other sources raise the assignment error.
    void Assign(const TPersistent* Source) override;
    TPersistent* GetOwner() const override;

    virtual TQvStyle* GetStyle() const = 0;
    virtual void SetStyle(TQvStyle* S) = 0;
    virtual TClass GetCellClass() const = 0;
    virtual void SetCellClass(TClass Cls) = 0;
    // The line value at Index and whether it is defined for the whole
    // addressed area.
    virtual TQvLine GetLine(int Index, bool& IsAssigned) const = 0;
    virtual void SetLine(int Index, TQvLine Value) = 0;
    // Records Id in Assigned unless Silent (or Id >= 16).
    virtual void Changed(int Id);
    // Copies one property from Source (Value and Hint belong to descendants).
    virtual void AssignProperty(const TQvPro* Source, int Id);
    // The object that supplies property Id: this, then its named style; null
    // when the chain ends (cells fall back to their base style).
    virtual TQvPro* FindSource(int Id);
    // The property-set record: the Assigned set, then Layout, Font, Protect
    // and Control as far as assigned. Reading raises EReadError on bytes that
    // end early or on a format index that cannot be resolved.
    virtual void ReadFromStream(TStream& Stream);
    virtual void WriteToStream(TStream& Stream);
    // Display text of the value; empty here.
    virtual std::string GetText();

    // Copies property Id silently from the object that supplies it, so the
    // value lands in this object's fields without entering Assigned. Fill,
    // borders and frame are written into the lines all the same: that is
    // how a style's change reaches the cells that use it.
    void InheritProperty(int Id);
    // True while InheritProperty copies a property.
    bool Inheriting() const { return FInheriting; }

    TObject* Owner() const { return FOwner; }
    uint8_t State() const { return FState; }
    bool HasState(TQvProStateFlag F) const { return (FState & F) != 0; }
    void IncludeState(TQvProStateFlag F) { FState |= F; }
    void ExcludeState(TQvProStateFlag F) { FState &= static_cast<uint8_t>(~F); }
    TQvProps Assigned() const { return FAssigned; }
    void SetAssigned(TQvProps P) { FAssigned = P; }

    bool Protected() const { return HasState(psProtected); }
    void SetProtected(bool V);
    bool Showing() const { return !HasState(psHidden); }
    void SetShowing(bool V);

    TQvLayout Layout() const { return TQvLayout::Unpack(FLayout); }
    void SetLayout(const TQvLayout& L);
    void SetHAlign(uint8_t V);
    void SetVAlign(uint8_t V);
    void SetIndent(uint16_t V);
    void SetWrapMode(uint8_t V);

    int32_t EditorIndex() const { return FEditorIndex; }
    // A value outside the editor list of the cell class is stored as 0.
    void SetEditorIndex(int32_t V);
    std::string Format() const { return FFormat.str(); }
    const TCompactString& FormatText() const { return FFormat; }
    // Also marks the display text dirty.
    void SetFormat(const std::string& V);
    // The same, sharing V's characters (a style's format copied into many
    // cells is stored once).
    void SetFormatText(const TCompactString& V);
    TQvControl Control() const;
    void SetControl(const TQvControl& C);

    // The font to read or change, created on first use as a copy of the
    // supplying object's font; a font shared with other sets is copied
    // first, so that changing it changes this set alone.
    TFont* Font();
    bool HasFont() const { return FRare && FRare->Font; }
    // The set's own font for reading, shared or not; null when it has none.
    const TFont* OwnFont() const { return FRare ? FRare->Font.Get() : nullptr; }
    bool FontShared() const { return FRare && FRare->Font.Shared(); }
    // Another holder of the set's font, which must be shared already (a
    // font of one holder carries that holder's notification).
    TQvSharedFont HeldFont() const { return FontShared() ? FRare->Font.Share() : TQvSharedFont(); }
    // The font the set is shown with: its own, else its supplier's; null
    // when neither has one.
    const TFont* ShownFont();
    void SetFont(const TFont* F);
    // Holds F as its own font, shared with whoever else holds it, and
    // records the change as a font change would (Changed). F must carry no
    // notification: a font of several holders never changes.
    void ShareFont(const TQvSharedFont& F);

    TColor Color() const;
    void SetColor(TColor C);
    uint8_t Frame() const;
    void SetFrame(uint8_t F);
    TQvLineInfo Border(int Index) const;
    void SetBorder(int Index, const TQvLineInfo& L);
    // Bits 0..7: the border lines that are non-zero and defined.
    uint8_t BorderSet() const;

protected:
    // The rare parts, made on first need.
    TQvRareParts& Rare() {
        if (!FRare) FRare = std::make_unique<TQvRareParts>();
        return *FRare;
    }
    const TQvRareParts* RareParts() const { return FRare.get(); }

    // The fields are ordered so that the last four bytes are free for a
    // descendant's first small field (a cell's column).
    TObject* FOwner = nullptr;
    std::unique_ptr<TQvRareParts> FRare;
    TCompactString FFormat;
    int32_t FEditorIndex = 0;
    uint32_t FLayout = 0;
    uint8_t FState = 0;
    bool FInheriting = false;
    TQvProps FAssigned;
};

}  // namespace qv
