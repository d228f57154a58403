// Font pickers: TFontBox lists the installed font families and holds the
// font being chosen (SelFont); TFontOutlineBox picks Regular, Bold, Italic or
// Bold Italic; TFontSizeBox picks or takes a typed point size. A font box
// linked to one outline box and one size box forms a star: the three edit
// the font box's SelFont together, each showing its part of it.
#pragma once

#include <cstdint>
#include <vector>

#include <QPointer>
#include <QString>

#include "designer/pick_box.h"
#include "platform/font.h"

class QPainter;

namespace qv {

// The flag word of a font family: the outlines it has (bits 0..3) and
// whether it is an outline (scalable) font (bit 16). A bitmap family takes
// all four outline bits and no outline mark.
constexpr uint32_t ffRegular = 1u << 0;
constexpr uint32_t ffBold = 1u << 1;
constexpr uint32_t ffItalic = 1u << 2;
constexpr uint32_t ffBoldItalic = 1u << 3;
constexpr uint32_t ffOutlineFont = 1u << 16;
constexpr uint32_t ffBitmapFont = 15;

struct TFontFamily {
    QString Name;
    uint32_t Flags = 0;
};

// The installed font families (private system families left out), sorted
// ignoring case, without duplicates. Read once, on first use; needs the
// application object.
const std::vector<TFontFamily>& FontList();
// The flag word of an installed family as the list computes it.
uint32_t FontFamilyFlags(const QString& Family);

// The mark of an outline font, 20 × 12 pixels with its top-left corner at
// TopLeft.
constexpr int OutlineMarkWidth = 20;
constexpr int OutlineMarkHeight = 12;
void DrawOutlineFontMark(QPainter& Painter, QPoint TopLeft);

class TFontBox;

class TFontOutlineBox : public TProPickBox {
    Q_OBJECT
public:
    // A list without an edit part holding "Regular", "Bold", "Italic" and
    // "Bold Italic"; the item index is the bold (1) and italic (2) bits.
    explicit TFontOutlineBox(QWidget* Parent = nullptr, TComboBoxStyle Style = csDropDownList);

    // The font box this box is linked to (set through TFontBox::SetOutlineBox).
    TFontBox* FontBox() const { return FFontBox; }
    // Selects the item of the bold and italic bits; underline and strike-out
    // are kept here too. A change goes to the linked font.
    TFontStyles FontStyles() const { return FFontStyles; }
    void SetFontStyles(TFontStyles Value);

    void FillItems() override;

protected:
    // FontStyles := the chosen outline with the underline and strike-out
    // already held.
    void Click() override;

private:
    friend class TFontBox;
    QPointer<TFontBox> FFontBox;
    TFontStyles FFontStyles;
};

class TFontSizeBox : public TProPickBox {
    Q_OBJECT
public:
    // Sizes 6 to 72 points to choose from; any size can be typed (digits only).
    explicit TFontSizeBox(QWidget* Parent = nullptr, TComboBoxStyle Style = csDropDown);

    TFontBox* FontBox() const { return FFontBox; }
    // Points, at least 1 and at most MaxFontSize; shown as the text. A change
    // goes to the linked font.
    int FontSize() const { return FFontSize; }
    void SetFontSize(int Value);
    static constexpr int MaxFontSize = 9999;

    void FillItems() override;

protected:
    // A typed whole number becomes FontSize; text that is none (pasted) is
    // left in the edit part and changes nothing.
    void Change() override;
    // After OnKeyPress: every character but a digit and backspace is dropped.
    void KeyPress(char32_t& Key) override;

private:
    friend class TFontBox;
    QPointer<TFontBox> FFontBox;
    int FFontSize = 8;
};

class TFontBox : public TProPickBox {
    Q_OBJECT
public:
    explicit TFontBox(QWidget* Parent = nullptr, TComboBoxStyle Style = csDropDown);
    ~TFontBox() override;

    // The font being chosen, owned by the box. Every change of it selects its
    // family (or shows a name that is not installed as text), updates the
    // linked boxes and raises OnFontChange.
    TFont& SelFont() { return FSelFont; }
    const TFont& SelFont() const { return FSelFont; }
    // Copies every attribute of Font into SelFont. The box and its linked
    // boxes show the font afterwards even when it was SelFont already (then
    // OnFontChange is not raised).
    void SetSelFont(const TFont& Font);

    // Links a companion box (null unlinks): the previous one is released,
    // the new one takes the font's styles (or size). A box linked to another
    // font box leaves it first.
    TFontOutlineBox* OutlineBox() const { return FOutlineBox; }
    void SetOutlineBox(TFontOutlineBox* Box);
    TFontSizeBox* SizeBox() const { return FSizeBox; }
    void SetSizeBox(TFontSizeBox* Box);

    // The flag word of item Index.
    uint32_t ItemFlags(int Index) const;

    void FillItems() override;
    void DrawItem(QPainter& Painter, int Index, const QRect& Rect, bool Selected) override;

    TNotifyEvent OnFontChange;

protected:
    // SelFont's name := the text, then the pick box's handling.
    void Change() override;

private:
    void SelFontChanged();
    // Selects SelFont's family (or shows its name as text) and brings the
    // linked boxes in step.
    void ShowSelFont();

    TFont FSelFont;
    QPointer<TFontOutlineBox> FOutlineBox;
    QPointer<TFontSizeBox> FSizeBox;
};

}  // namespace qv
