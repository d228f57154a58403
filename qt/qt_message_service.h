// The message service of a Qt application: modal message boxes.
//
// Library code never shows a box itself; it asks the current message
// service. Applications install this one at start-up; tests keep the
// recording default, so nothing blocks there.
#pragma once

#include "platform/message_box.h"

namespace qv {

class TQtMessageService : public IQvMessageService {
public:
    // Shows a modal QMessageBox over the active window and returns the
    // button chosen (idOk ...); closing the box answers Cancel where there
    // is a Cancel button, otherwise the default button.
    int MessageBox(const std::string& Text, const std::string& Caption, TMsgIcon Icon,
                   TMsgButtons Buttons) override;
};

// Installs a process-wide TQtMessageService (idempotent). Call after the
// QApplication exists.
void InstallQtMessageService();

}  // namespace qv
