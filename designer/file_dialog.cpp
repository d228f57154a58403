#include "designer/file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>

namespace qv {

namespace {

TFileDialogHook& Hook() {
    static TFileDialogHook hook;
    return hook;
}

bool HasScreen() {
    const QString platform = QGuiApplication::platformName();
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && platform != QLatin1String("offscreen") &&
           platform != QLatin1String("minimal");
}

bool ShowFileDialog(const TFileDialogOptions& Options, QString& FileName, QWidget* Parent) {
    if (!HasScreen()) return false;
    QFileDialog dialog(Parent, Options.Title, QString(), QtFileFilter(Options.Filter));
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (Options.Kind == fdOpen) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    if (!Options.DefaultExtension.isEmpty()) dialog.setDefaultSuffix(Options.DefaultExtension);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    FileName = WithDefaultExtension(dialog.selectedFiles().first(), Options.DefaultExtension);
    return true;
}

}  // namespace

QString QtFileFilter(const QString& Filter) {
    const QStringList parts = Filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        // Qt reads the patterns from the parentheses, separated by spaces.
        QString description = parts[i].trimmed();
        const int open = description.lastIndexOf(QLatin1Char('('));
        if (open > 0 && description.endsWith(QLatin1Char(')'))) description = description.left(open).trimmed();
        const QString patterns = parts[i + 1].trimmed().replace(QLatin1Char(';'), QLatin1Char(' '));
        out << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

QString WithDefaultExtension(const QString& FileName, const QString& Extension) {
    if (Extension.isEmpty() || FileName.isEmpty() || !QFileInfo(FileName).suffix().isEmpty()) return FileName;
    return FileName + QLatin1Char('.') + Extension;
}

TFileDialogHook SetFileDialogHook(TFileDialogHook NewHook) {
    TFileDialogHook previous = std::move(Hook());
    Hook() = std::move(NewHook);
    return previous;
}

bool ExecuteFileDialog(const TFileDialogOptions& Options, QString& FileName, QWidget* Parent) {
    if (Hook()) return Hook()(Options, FileName, Parent);
    return ShowFileDialog(Options, FileName, Parent);
}

}  // namespace qv
