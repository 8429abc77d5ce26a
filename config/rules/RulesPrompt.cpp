#include "RulesPrompt.h"

#include "complib/translator/Translator.h"
#include "datamodule/core/iodata.h"
#include "product/constants/BuildConstants.h"

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
