// qv_designer_screenshots: paints the designer's pickers and dialogs and
// saves one PNG per picture.
//
//   qv_designer_screenshots [FOLDER]     (default: the current folder)
//
// Runs on any Qt platform; scripts/screenshots uses the offscreen one.
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "designer_shots.h"

using namespace qv;

bool qv::SaveShot(QWidget& Widget, const QString& Folder, const QString& Name) {
    Widget.show();
    QApplication::processEvents();
    const QString path = QDir(Folder).filePath(Name);
    if (!Widget.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create folder %s\n", qPrintable(folder));
        return 1;
    }
    WritePickerShots(folder);
    WriteCellDesignerShots(folder);
    WriteStylerShots(folder);
    WriteSheetDesignerShots(folder);
    return 0;
}
