#include "qt/qt_convert.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>
#include <cmath>

namespace qv {

bool SystemColorRole(int Index, QPalette::ColorGroup& Group, QPalette::ColorRole& Role) {
    Group = QPalette::Active;
    switch (Index) {
        case 0: Role = QPalette::Button; return true;                 // scroll bar
        // The desktop is no part of an application palette (Window is the
        // light face of dialogs, where lines drawn in it would vanish): it
        // takes the default palette's dark colour.
        case 1: return false;                                         // desktop
        case 2: Role = QPalette::Highlight; return true;              // active caption
        case 3: Role = QPalette::Mid; return true;                    // inactive caption
        case 4: Role = QPalette::Window; return true;                 // menu
        case 5: Role = QPalette::Base; return true;                   // window
        case 6: Role = QPalette::WindowText; return true;             // window frame
        case 7: Role = QPalette::WindowText; return true;             // menu text
        case 8: Role = QPalette::Text; return true;                   // window text
        case 9: Role = QPalette::HighlightedText; return true;        // caption text
        case 10: Role = QPalette::Button; return true;                // active border
        case 11: Role = QPalette::Button; return true;                // inactive border
        case 12: Role = QPalette::Dark; return true;                  // application work space
        case 13: Role = QPalette::Highlight; return true;
        case 14: Role = QPalette::HighlightedText; return true;
        case 15: Role = QPalette::Button; return true;                // button face
        case 16: Role = QPalette::Dark; return true;                  // button shadow
        case 17: Group = QPalette::Disabled; Role = QPalette::Text; return true;  // grey text
        case 18: Role = QPalette::ButtonText; return true;
        case 19: Role = QPalette::Text; return true;                  // inactive caption text
        case 20: Role = QPalette::Light; return true;                 // button highlight
        case 21: Role = QPalette::Shadow; return true;                // 3D dark shadow
        case 22: Role = QPalette::Midlight; return true;              // 3D light
        case 23: Role = QPalette::ToolTipText; return true;           // info text
        case 24: Role = QPalette::ToolTipBase; return true;           // info background
        case 26: Role = QPalette::Link; return true;                  // hot light
        case 27: Role = QPalette::Highlight; return true;             // gradient active caption
        case 28: Role = QPalette::Mid; return true;                   // gradient inactive caption
        case 29: Role = QPalette::Highlight; return true;             // menu highlight
        case 30: Role = QPalette::Window; return true;                // menu bar
        default: return false;
    }
}

QColor ToQColor(TColor Color) {
    if (Color == clNone || Color == clDefault) return QColor(Qt::transparent);
    if (IsSystemColor(Color)) {
        QPalette::ColorGroup group;
        QPalette::ColorRole role;
        const int index = static_cast<int>(uint32_t(Color) & 0xFF);
        // Only plain system colour values (bit 31 and an index) name a role.
        if ((uint32_t(Color) & 0x7FFFFF00u) == 0 && qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
            SystemColorRole(index, group, role))
            return QGuiApplication::palette().color(group, role);
        Color = ColorToRGB(Color);
    }
    return QColor(GetRValue(Color), GetGValue(Color), GetBValue(Color));
}

TColor FromQColor(const QColor& C) { return RGB(uint8_t(C.red()), uint8_t(C.green()), uint8_t(C.blue())); }

QFont ToQFont(const TFont& Font, int Scale) {
    QFont f(QString::fromStdString(Font.Name()));
    // Unknown families (the stored default names a Windows font) resolve to
    // the nearest installed one; a proportional sans serif is the closest.
    f.setStyleHint(Font.Pitch() == fpFixed ? QFont::Monospace : QFont::SansSerif);
    if (Font.Pitch() == fpFixed) f.setFixedPitch(true);
    f.setBold(Font.Style().Contains(fsBold));
    f.setItalic(Font.Style().Contains(fsItalic));
    f.setUnderline(Font.Style().Contains(fsUnderline));
    f.setStrikeOut(Font.Style().Contains(fsStrikeOut));
    f.setKerning(false);
    if (Scale <= 0) Scale = 100;
    int32_t height = Font.Height();
    if (Scale != 100) {
        if (height < 0) {
            TFont scaled;
            scaled.SetHeight(height);
            ScaleFont(scaled, Scale);
            height = scaled.Height();
        } else {
            height = MulDiv(height, Scale, 100);
        }
    }
    if (height < 0) {
        f.setPixelSize(std::max(1, -height));
    } else if (height > 0) {
        // Fit the line height into the cell height.
        f.setPixelSize(height);
        const int lineHeight = QFontMetrics(f).height();
        if (lineHeight > height) f.setPixelSize(std::max(1, height * height / lineHeight));
    } else {
        f.setPixelSize(MulDiv(8, FontPixelsPerInch, 72));  // 0: the default 8-point font
    }
    return f;
}

void ScaleFont(TFont& Font, int Scale) {
    if (Scale == 100 || Scale <= 0) return;
    if (Font.Height() > 0)
        Font.SetHeight(MulDiv(Font.Height(), Scale, 100));
    else
        Font.SetSize(Font.Size() * Scale / 100);
}

}  // namespace qv
