#include "qt/qt_message_service.h"

namespace qv {

int TQtMessageService::MessageBox(const std::string&, const std::string&, TMsgIcon, TMsgButtons Buttons) {
    return DefaultButton(Buttons);
}

void InstallQtMessageService() {}

}  // namespace qv
