// The message-box service: how library code asks the user something.
//
// The core never shows a window itself; it calls the current service. A UI
// installs its own (a modal box on screen). Without one, the default
// service records every message and answers at once with the default
// button, so library code never blocks in tests, tools or servers.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace qv {

enum TMsgIcon { miNone, miInformation, miWarning, miError, miQuestion };
enum TMsgButtons { mbOK, mbOKCancel, mbYesNo, mbYesNoCancel };

// Answers, with the platform's numeric values.
constexpr int idOk = 1;
constexpr int idCancel = 2;
constexpr int idYes = 6;
constexpr int idNo = 7;

class IQvMessageService {
public:
    virtual ~IQvMessageService() = default;
    // Shows Text under Caption and returns the button chosen (idOk ...).
    virtual int MessageBox(const std::string& Text, const std::string& Caption, TMsgIcon Icon,
                           TMsgButtons Buttons) = 0;
};

// The answer of the first button: OK for mbOK and mbOKCancel, Yes otherwise.
int DefaultButton(TMsgButtons Buttons);

// Records messages instead of showing them. Answers the queued answers
// first (one per message, in order), then the default button.
class TRecordingMessageService : public IQvMessageService {
public:
    struct TRecordedMessage {
        std::string Caption;
        std::string Text;
        TMsgIcon Icon = miNone;
        TMsgButtons Buttons = mbOK;
        int Result = idOk;
    };

    int MessageBox(const std::string& Text, const std::string& Caption, TMsgIcon Icon,
                   TMsgButtons Buttons) override;

    const std::vector<TRecordedMessage>& Messages() const { return FMessages; }
    // Forgets the recorded messages and any answers still queued.
    void Clear();
    void QueueAnswer(int Answer) { FAnswers.push_back(Answer); }

private:
    std::vector<TRecordedMessage> FMessages;
    std::deque<int> FAnswers;
};

// The process-wide recording service used when none is installed.
TRecordingMessageService& DefaultMessageService();
// The service in use; never null.
IQvMessageService& MessageService();
// Installs Service (not owned; it must outlive its installation) and
// returns the one it replaces. Null restores the default service.
IQvMessageService* SetMessageService(IQvMessageService* Service);

// Shows a message through the current service.
int ShowMessageBox(const std::string& Text, const std::string& Caption, TMsgIcon Icon,
                   TMsgButtons Buttons = mbOK);

// Installs a service for the lifetime of the scope, then puts back the one
// that was there.
class TMessageServiceScope {
public:
    explicit TMessageServiceScope(IQvMessageService& Service)
        : FPrevious(SetMessageService(&Service)) {}
    ~TMessageServiceScope() { SetMessageService(FPrevious); }
    TMessageServiceScope(const TMessageServiceScope&) = delete;
    TMessageServiceScope& operator=(const TMessageServiceScope&) = delete;

private:
    IQvMessageService* FPrevious;
};

}  // namespace qv
