#include "qt/qt_message_service.h"

#include <QApplication>
#include <QMessageBox>

namespace qv {

int TQtMessageService::MessageBox(const std::string& Text, const std::string& Caption, TMsgIcon Icon,
                                  TMsgButtons Buttons) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (Icon) {
        case miInformation: icon = QMessageBox::Information; break;
        case miWarning: icon = QMessageBox::Warning; break;
        case miError: icon = QMessageBox::Critical; break;
        case miQuestion: icon = QMessageBox::Question; break;
        case miNone: break;
    }
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::Ok;
    switch (Buttons) {
        case mbOK: break;
        case mbOKCancel: buttons = QMessageBox::Ok | QMessageBox::Cancel; break;
        case mbYesNo: buttons = QMessageBox::Yes | QMessageBox::No; defaultButton = QMessageBox::Yes; break;
        case mbYesNoCancel:
            buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            defaultButton = QMessageBox::Yes;
            break;
    }
    QMessageBox box(icon, QString::fromStdString(Caption), QString::fromStdString(Text), buttons,
                    QApplication::activeWindow());
    box.setDefaultButton(defaultButton);
    switch (box.exec()) {
        case QMessageBox::Ok: return idOk;
        case QMessageBox::Cancel: return idCancel;
        case QMessageBox::Yes: return idYes;
        case QMessageBox::No: return idNo;
        default: break;
    }
    return (Buttons == mbOKCancel || Buttons == mbYesNoCancel) ? idCancel : DefaultButton(Buttons);
}

void InstallQtMessageService() {
    static TQtMessageService service;
    if (&MessageService() != &service) SetMessageService(&service);
}

}  // namespace qv
