// The message service of a Qt application: modal message boxes.
#pragma once

#include "platform/message_box.h"

namespace qv {

class TQtMessageService : public IQvMessageService {
public:
    int MessageBox(const std::string& Text, const std::string& Caption, TMsgIcon Icon,
                   TMsgButtons Buttons) override;
};

// Installs a process-wide TQtMessageService (for applications, not tests).
void InstallQtMessageService();

}  // namespace qv
