// TestQv: the demonstration program of the grid components.
//
//   TestQv                      shows the main window until it is closed
//   TestQv FILE                 the same, with the sheet read from FILE (a
//                               sheet file, or CSV text when it ends in .csv)
//   TestQv --screenshot FILE    shows it, saves a PNG picture of it once it
//                               has painted, prints where, and exits
#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

#include "demo/main_window.h"
#include "qt/qt_message_service.h"
#include "qt/qt_picture.h"

namespace {

// Saves the painted window and ends the program: 0 on success, 1 when the
// file could not be written.
void SaveScreenshotAndQuit(QWidget& Window, const QString& Path) {
    const QPixmap picture = Window.grab();
    if (!picture.save(Path, "PNG")) {
        std::fprintf(stderr, "TestQv: cannot write the screenshot to %s\n", qPrintable(Path));
        QCoreApplication::exit(1);
        return;
    }
    std::printf("TestQv: screenshot saved to %s\n", qPrintable(QFileInfo(Path).absoluteFilePath()));
    std::fflush(stdout);
    QCoreApplication::exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName("QvGrid Demo");

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption screenshot("screenshot", "Save a PNG picture of the window to <file> and exit.", "file");
    parser.addOption(screenshot);
    parser.addPositionalArgument("file", "A sheet file (.qvf), CSV text (.csv) or a spreadsheet file (.xlsx, .ods) to show instead of the empty sheet.", "[file]");
    parser.process(app);
    if (parser.positionalArguments().size() > 1) {
        std::fprintf(stderr, "TestQv: give at most one sheet file\n");
        return 2;
    }

    qv::InstallQtMessageService();
    qv::RegisterQtPictureFormats();
    qv::TForm1 form;
    if (!parser.positionalArguments().isEmpty()) {
        const QString file = parser.positionalArguments().first();
        try {
            form.LoadFile(file);
        } catch (const std::exception& E) {
            std::fprintf(stderr, "TestQv: cannot open %s: %s\n", qPrintable(file), E.what());
            return 1;
        }
    }
    form.show();
    if (parser.isSet(screenshot)) {
        const QString path = parser.value(screenshot);
        // The first paint happens once the window is exposed; give the event
        // loop a moment so the picture shows the painted grid.
        QTimer::singleShot(500, &form, [&form, path] { SaveScreenshotAndQuit(form, path); });
    }
    return app.exec();
}
