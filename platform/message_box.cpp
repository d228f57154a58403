#include "platform/message_box.h"

namespace qv {

namespace {
IQvMessageService* CurrentService = nullptr;  // null: the default service
}

int DefaultButton(TMsgButtons Buttons) {
    return (Buttons == mbOK || Buttons == mbOKCancel) ? idOk : idYes;
}

int TRecordingMessageService::MessageBox(const std::string& Text, const std::string& Caption,
                                         TMsgIcon Icon, TMsgButtons Buttons) {
    int result = DefaultButton(Buttons);
    if (!FAnswers.empty()) {
        result = FAnswers.front();
        FAnswers.pop_front();
    }
    FMessages.push_back(TRecordedMessage{Caption, Text, Icon, Buttons, result});
    return result;
}

void TRecordingMessageService::Clear() {
    FMessages.clear();
    FAnswers.clear();
}

TRecordingMessageService& DefaultMessageService() {
    static TRecordingMessageService service;
    return service;
}

IQvMessageService& MessageService() {
    return CurrentService ? *CurrentService : DefaultMessageService();
}

IQvMessageService* SetMessageService(IQvMessageService* Service) {
    IQvMessageService* previous = CurrentService;
    CurrentService = Service;
    return previous;
}

int ShowMessageBox(const std::string& Text, const std::string& Caption, TMsgIcon Icon,
                   TMsgButtons Buttons) {
    return MessageService().MessageBox(Text, Caption, Icon, Buttons);
}

}  // namespace qv
