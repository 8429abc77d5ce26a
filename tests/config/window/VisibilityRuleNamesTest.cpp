// Every control the visibility rules name is a control of the window. The
// window applies a rule through TFormConfig::Control and passes over a name
// it does not find, so a misspelt name would leave its control as it was
// whatever the rule says; a name held by two widgets would move only the
// first.
#include "PageRig.h"
#include "config/layout/ConfigWindowRules.h"
#include "config/rules/EngineSensorRules.h"
#include "config/rules/SensorRules.h"
#include "config/rules/SwitchRules.h"
#include "product/constants/BuildConstants.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// Each name of the rule lists with the rule functions that name it.
using RuleNames = std::map<std::string, std::set<std::string>>;

void collect(RuleNames& names, const std::string& origin, const std::vector<cfgwin::ControlRule>& rules)
{
    for (const auto& rule : rules)
        for (const char* name : rule.names)
            names[name].insert(origin);
}

std::vector<int> ecuTypes()
{
    std::vector<int> types;
    for (const auto& info : qz::EcuTypes())
        types.push_back(info.code);
    return types;
}

// Every rule list for every ECU state the rule functions take: each ECU type
// with each option, each switch-over mode, hardware variant and item present
// or not, each idle and high-rpm choice, one and two banks, the vehicle's
// own engine sensor ticked or not.
RuleNames everyRuleName()
{
    RuleNames names;
    const bool both[] = {false, true};
    for (int type : ecuTypes()) {
        // The five yes-or-no sides of the state, as the bits of `sides`.
        for (int sides = 0; sides < 1 << 5; ++sides)
            for (int mode = 0; mode <= cfgrules::kMonofuelItem; ++mode)
                for (int item15 = 0; item15 <= 3; ++item15) {
                    cfgwin::EcuState s;
                    s.type = type;
                    s.gasOnly = (sides & 1) != 0;
                    s.hasCustomerCode = (sides & 2) != 0;
                    s.has2332 = (sides & 4) != 0;
                    s.has8127 = (sides & 8) != 0;
                    s.hasVariatorMap = !s.has8127;
                    s.ritornoChecked = (sides & 16) != 0;
                    s.tipoCommutazione = mode;
                    s.item15 = item15;
                    collect(names, "cfgwin::ControlVisibility", cfgwin::ControlVisibility(s));
                    collect(names, "cfgrules::SwitchPageVisibility", cfgrules::SwitchPageVisibility(s));
                }
        for (bool secondBank : both)
            for (bool lambdaTypes : both)
                for (int banks = 1; banks <= 2; ++banks)
                    collect(names, "cfgrules::BankVisibility",
                            cfgrules::BankVisibility(type, secondBank, lambdaTypes, banks));
        for (int tag : {cfgrules::HighRpmGas, cfgrules::HighRpmPetrol, cfgrules::HighRpmContribution})
            collect(names, "cfgrules::HighRpmControlVisibility",
                    cfgrules::HighRpmControlVisibility(cfgrules::HighRpmVisibility(tag, type)));
        collect(names, "cfgrules::ContributionVisibility", cfgrules::ContributionVisibility(type));
        collect(names, "cfgrules::DedicatedWireVisibility", cfgrules::DedicatedWireVisibility(type));
    }
    for (int tag : {cfgrules::IdleGas, cfgrules::IdleReturn, cfgrules::IdlePetrol})
        collect(names, "cfgrules::IdleControlVisibility",
                cfgrules::IdleControlVisibility(cfgrules::IdleVisibility(tag)));
    collect(names, "cfgrules::ProbeSelectorVisibility", cfgrules::ProbeSelectorVisibility());
    for (bool on : both)
        collect(names, "cfgrules::EngineSensorParameterVisibility", cfgrules::EngineSensorParameterVisibility(on));
    return names;
}

class VisibilityRuleNames : public pagetest::PageRig {};

TEST_F(VisibilityRuleNames, EveryNameIsOneControlOfTheWindow)
{
    open(cfgwin::PageConfigurazione);
    ASSERT_TRUE(w);
    const RuleNames names = everyRuleName();

    // Every rule function took part: a list that came back empty would pass
    // unseen below.
    std::set<std::string> origins;
    for (const auto& [name, from] : names)
        origins.insert(from.begin(), from.end());
    EXPECT_EQ(origins, (std::set<std::string>{"cfgwin::ControlVisibility", "cfgrules::SwitchPageVisibility",
                                              "cfgrules::BankVisibility", "cfgrules::IdleControlVisibility",
                                              "cfgrules::HighRpmControlVisibility", "cfgrules::ContributionVisibility",
                                              "cfgrules::ProbeSelectorVisibility", "cfgrules::DedicatedWireVisibility",
                                              "cfgrules::EngineSensorParameterVisibility"}));

    for (const auto& [name, from] : names) {
        std::string by;
        for (const auto& origin : from)
            by += (by.empty() ? "" : ", ") + origin;
        const QString objectName = QString::fromStdString(name);
        EXPECT_NE(w->Control(objectName), nullptr) << '"' << name << "\" (named by " << by << ") is no control";
        EXPECT_LE(w->findChildren<QWidget*>(objectName).size(), 1)
            << '"' << name << "\" (named by " << by << ") is held by more than one widget";
    }
}

} // namespace
