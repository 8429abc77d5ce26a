#pragma once
#include <QString>

namespace plat {

// The toolkit's answer numbers, as the callers compare them.
enum Answer : int {
    IDOK = 1,
    IDCANCEL = 2,
    IDYES = 6,
    IDNO = 7,
};

enum class PromptIcon { None, Information, Warning, Error, Question };
enum class PromptButtons { Ok, YesNo, YesNoCancel };

struct PromptRequest {
    QString caption;
    QString text;
    PromptIcon icon = PromptIcon::None;
    PromptButtons buttons = PromptButtons::Ok;
    // The answer of the button that has the focus first; 0 = the first button.
    int defaultAnswer = 0;
};

// Every message box of the program goes through this one service.
class Prompts {
public:
    virtual ~Prompts() = default;
    // Shows the box and returns the answer (IDOK, IDYES, IDNO, IDCANCEL).
    virtual int ask(const PromptRequest& request) = 0;
};

// The answer a box gives when it is closed with Enter at once.
int DefaultAnswerOf(const PromptRequest& request);

// A prompt service for a process without windows: writes the box to stderr
// and answers with its default button.
class ConsolePrompts final : public Prompts {
public:
    int ask(const PromptRequest& request) override;
};

} // namespace plat
