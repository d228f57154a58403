// TestQv: the demonstration program of the grid components.
#include <QApplication>

#include "demo/main_window.h"
#include "qt/qt_message_service.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName("QvGrid Demo");
    qv::InstallQtMessageService();
    qv::TForm1 form;
    form.show();
    return app.exec();
}
