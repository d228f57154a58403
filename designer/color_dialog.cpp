#include "designer/color_dialog.h"

#include <QColorDialog>

#include "qt/qt_convert.h"

namespace qv {

namespace {

bool PlatformColorDialog(QWidget* Parent, TColor& Color) {
    const QColor start = Color == clNone ? QColor(Qt::white) : ToQColor(Color);
    const QColor chosen = QColorDialog::getColor(start, Parent);
    if (!chosen.isValid()) return false;
    Color = RGB(static_cast<uint8_t>(chosen.red()), static_cast<uint8_t>(chosen.green()),
                static_cast<uint8_t>(chosen.blue()));
    return true;
}

TColorDialogHook& Hook() {
    static TColorDialogHook hook;
    return hook;
}

}  // namespace

bool ExecuteColorDialog(QWidget* Parent, TColor& Color) {
    return Hook() ? Hook()(Parent, Color) : PlatformColorDialog(Parent, Color);
}

TColorDialogHook SetColorDialogHook(TColorDialogHook H) {
    TColorDialogHook previous = std::move(Hook());
    Hook() = std::move(H);
    return previous;
}

}  // namespace qv
