// The 16 × 16 images of the sheet designer's tool bars and menus.
//
// Where the desktop icon theme has a standard icon (open, save, print,
// cut, bold, justify-left, ...) the theme's icon is used; every image also
// has a fallback painted here, so the bars look complete on a machine
// without a theme. The border, merge, alignment, protection and colour
// images are always our own: no theme has them.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace qv {

enum TToolIcon {
    tiImport,
    tiExport,
    tiPrint,
    tiPreview,
    tiClear,
    tiCut,
    tiCopy,
    tiPaste,
    tiUndo,
    tiRedo,
    tiBaseStyle,
    tiStyles,
    tiHints,
    tiRemoveBorders,
    tiAllBorders,
    tiFrameBorders,
    tiInsideBorders,
    tiLeftBorder,
    tiRightBorder,
    tiTopBorder,
    tiBottomBorder,
    tiDiagonalDown,  // the first diagonal: top-left to bottom-right
    tiDiagonalUp,    // the second diagonal: bottom-left to top-right
    tiBorderColor,
    tiBold,
    tiItalic,
    tiUnderline,
    tiAlignLeft,
    tiAlignCenter,
    tiAlignRight,
    tiAlignTop,
    tiAlignMiddle,
    tiAlignBottom,
    tiMerge,
    tiMergeLines,
    tiSplit,
    tiProtect,
    tiHide,
    tiTextColor,
    tiCellColor,
    ToolIconCount
};

// The theme's icon for Id when the theme has one, with the painted image as
// its fallback; the painted image alone for the images no theme has.
QIcon ToolIcon(TToolIcon Id);
// The image painted by our own code: 16 × 16, transparent background.
QPixmap PaintedToolIcon(TToolIcon Id);
// The theme name looked up for Id, or null for our own images.
const char* ToolIconThemeName(TToolIcon Id);

}  // namespace qv
