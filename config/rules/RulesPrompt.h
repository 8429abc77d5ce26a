#pragma once
// The boxes of this unit: the text by string number, the program title as
// caption.
#include "plat/Prompts.h"

#include <QString>

class TStreamDati;

namespace cfgrules {

QString RuleText(TStreamDati& dm, int textNumber);
int ShowRuleBox(TStreamDati& dm, int textNumber, plat::PromptIcon icon,
                plat::PromptButtons buttons = plat::PromptButtons::Ok, const QString& suffix = {});

} // namespace cfgrules
