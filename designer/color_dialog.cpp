#include "designer/color_dialog.h"

#include <QColorDialog>
#include <QGuiApplication>

#include "qt/qt_convert.h"

namespace qv {

namespace {

TColorDialogHook& Hook() {
    static TColorDialogHook hook;
    return hook;
}

bool ShowColorDialog(TColor& Color, QWidget* Parent) {
    const QString platform = QGuiApplication::platformName();
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()) || platform == QLatin1String("offscreen") ||
        platform == QLatin1String("minimal"))
        return false;
    const QColor chosen = QColorDialog::getColor(ToQColor(Color), Parent);
    if (!chosen.isValid()) return false;
    Color = RGB(static_cast<uint8_t>(chosen.red()), static_cast<uint8_t>(chosen.green()),
                static_cast<uint8_t>(chosen.blue()));
    return true;
}

}  // namespace

TColorDialogHook SetColorDialogHook(TColorDialogHook NewHook) {
    TColorDialogHook previous = std::move(Hook());
    Hook() = std::move(NewHook);
    return previous;
}

bool ExecuteColorDialog(TColor& Color, QWidget* Parent) {
    if (Hook()) return Hook()(Color, Parent);
    return ShowColorDialog(Color, Parent);
}

}  // namespace qv
