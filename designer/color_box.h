// TColorBox: a grid of colour swatches to pick a fill, line or text colour
// from, and the palette of 56 colours the boxes of a program share.
//
// Only the first five rows (indexes 0..39) are shown and can be picked with
// the mouse; the last two rows exist for programs that store colours there
// and are reached through ActiveIndex and the palette operations.
#pragma once

#include <array>

#include <QRect>
#include <QSize>
#include <QWidget>

#include "platform/color.h"
#include "platform/events.h"
#include "platform/object.h"

namespace qv {

constexpr int PaletteSize = 56;
constexpr int ShownSwatchCount = 40;
// Pixels between the fourth and the fifth row of swatches.
constexpr int SwatchGap = 7;
using TColorPalette = std::array<TColor, PaletteSize>;

// The palette as the program starts with it: index = 8 × row + column.
const TColorPalette& DefaultColorPalette();
// The palette shared by every box whose Global is set.
TColorPalette& SharedColorPalette();

// Swatch geometry, used by painting and by hit testing alike. A cell is
// client width div 8 wide and (client height − 6) div 7 high; rows 0..3
// start at the top, row 4 follows after the gap.
// The cell of shown swatch Index (0..39) in a client area of ClientSize;
// an empty rectangle for any other index.
QRect SwatchRect(QSize ClientSize, int Index);
// The shown swatch whose cell holds P, or −1 (the gap, the area below the
// last row and the strip right of the last column hold none).
int SwatchAt(QSize ClientSize, QPoint P);

class TColorBox : public QWidget, public TObject {
    Q_OBJECT
public:
    explicit TColorBox(QWidget* Parent = nullptr);

    // With Global (the default) the box shows and edits the shared palette;
    // setting it copies the shared palette into the box's own.
    bool Global() const { return FGlobal; }
    void SetGlobal(bool Value);

    // The chosen swatch, −1 for none. Any value outside 0..55 is stored as
    // −1; a change fires OnChange and repaints.
    int ActiveIndex() const { return FActiveIndex; }
    void SetActiveIndex(int Value);

    // The colour at Index in the palette the box shows (the shared one with
    // Global); clNone outside 0..55.
    TColor PaletteColor(int Index) const;
    // The colour at ActiveIndex, clNone when none is chosen.
    TColor SelectedColor() const { return PaletteColor(FActiveIndex); }
    // ActiveIndex := the first index whose colour equals Color, −1 if none.
    void SelectColor(TColor Color);
    // Stores Color at Index (0..55, others are ignored) in the box's own
    // palette and, with Global, in the shared one; repaints.
    void SetPaletteColor(int Index, TColor Color);

    // The colour between and around the swatches (clBtnFace by default).
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);

    QSize sizeHint() const override { return QSize(144, 133); }

    TNotifyEvent OnChange;
    // A left-button release over the box, wherever the button went down.
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

signals:
    void Changed();

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;

private:
    bool FGlobal = true;
    TColorPalette FPalette;
    int FActiveIndex = -1;
    TColor FColor = clBtnFace;
};

}  // namespace qv
