#include "RulesPrompt.h"

#include "BuildConstants.h"
#include "Translator.h"
#include "iodata.h"

#include "plat/Services.h"

namespace cfgrules {

QString RuleText(TStreamDati& dm, int textNumber)
{
    return dm.Translator ? dm.Translator->GetString(textNumber) : QString();
}

int ShowRuleBox(TStreamDati& dm, int textNumber, plat::PromptIcon icon, plat::PromptButtons buttons,
                const QString& suffix)
{
    return plat::CurrentPrompts().ask(
        {QString::fromUtf8(qz::ProductTitle()), RuleText(dm, textNumber) + suffix, icon, buttons, 0});
}

} // namespace cfgrules
