#include "plat/Prompts.h"

#include <cstdio>

namespace plat {

int DefaultAnswerOf(const PromptRequest& request)
{
    if (request.defaultAnswer != 0)
        return request.defaultAnswer;
    switch (request.buttons) {
    case PromptButtons::Ok:
        return IDOK;
    case PromptButtons::YesNo:
    case PromptButtons::YesNoCancel:
        return IDYES;
    }
    return IDOK;
}

int ConsolePrompts::ask(const PromptRequest& request)
{
    std::fprintf(stderr, "[%s] %s\n", request.caption.toUtf8().constData(),
                 request.text.toUtf8().constData());
    return DefaultAnswerOf(request);
}

} // namespace plat
