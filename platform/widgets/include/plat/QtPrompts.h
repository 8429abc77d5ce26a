#pragma once
#include "plat/Messages.h"
#include "plat/Prompts.h"

namespace plat {

// QMessageBox, application-modal and without a parent: while the wait form
// has every window disabled, a box owned by one of them could not be used.
class QtPrompts final : public Prompts {
public:
    int ask(const PromptRequest& request) override;
};

// Every top-level widget of the application, hidden ones included.
class TopLevelWindows final : public WindowList {
public:
    void sendToAll(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
};

} // namespace plat
