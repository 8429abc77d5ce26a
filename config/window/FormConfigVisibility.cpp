// The configuration window's visibility: the ECU's state, the rule lists
// applied by name, the bank, switch-over and model rules.
#include "FormConfig.h"
#include "FormConfigParts.h"
#include "PageWidgets.h"
#include "config/window/pages/PageCommutazione.h"
#include "config/window/pages/PageConfigurazione.h"
#include "config/window/pages/PageEmissioni.h"
#include "config/window/pages/PageSensori.h"

#include "config/rules/SensorRules.h"
#include "config/rules/SwitchRules.h"
#include "datamodule/core/iodata.h"

#include <QTabWidget>

// ---------------------------------------------------------------------------
// Visibility

cfgwin::EcuState TFormConfig::ecuState() const
{
    cfgwin::EcuState s;
    s.type = DataModule().EcuInfo.EcuType;
    s.gasOnly = DataModule().GetFlag(0) != 0;
    s.hasCustomerCode = DataModule().CustomerCode < 0x10000;
    s.has2332 = DataModule().IniettateGasCutoffPresent != 0;
    s.has8127 = DataModule().VariatorePresent != 0;
    s.hasVariatorMap = DataModule().RifMapVariatorePresent != 0;
    s.tipoCommutazione = DataModule().GetTipoCommutazione();
    s.item15 = DataModule().GetItem15();
    s.ritornoChecked = Page<TPageSensori>().ReturnToPetrolTicked();
    return s;
}

void TFormConfig::applyControlVisibility(const cfgwin::EcuState& state)
{
    for (const auto& rule : cfgwin::ControlVisibility(state))
        for (const char* name : rule.names)
            if (QWidget* w = Control(QString::fromLatin1(name)))
                w->setVisible(rule.visible);
}

void TFormConfig::ApplyControlRules(const std::vector<cfgwin::ControlRule>& rules)
{
    for (const auto& rule : rules)
        for (const char* name : rule.names)
            if (QWidget* w = Control(QString::fromLatin1(name)))
                w->setVisible(rule.visible);
}

void TFormConfig::ApplyBankVisibility()
{
    ApplyControlRules(cfgrules::BankVisibility(DataModule().EcuInfo.EcuType, DataModule().HasSecondaSonda(),
                                               DataModule().TipiLambdaPresent != 0, DataModule().GetNumeroSonde()));
    Page<TPageSensori>().ShowSecondBankCorrection();
}

void TFormConfig::ApplySwitchPageVisibility(bool full)
{
    Page<TPageCommutazione>().ShowSwitchThreshold();
    if (!full)
        return;
    const cfgwin::EcuState state = ecuState();
    ApplyControlRules(cfgrules::SwitchPageVisibility(state));
    Page<TPageEmissioni>().ShowOverlapCaption(state.gasOnly);
}

void TFormConfig::ApplyEcuModelVisibility()
{
    const cfgwin::EcuState state = ecuState();
    const auto pages = cfgwin::PageVisibility(state);
    for (int p : {cfgwin::PageAdatta, cfgwin::PageEmissioni, cfgwin::PageVariatore, cfgwin::PagePressione,
                  cfgwin::PageTemp, cfgwin::PageIniezione, cfgwin::PageTaratura})
        PageControl->setTabVisible(p, pages[static_cast<std::size_t>(p)]);
    applyControlVisibility(state);

    Page<TPageEmissioni>().ShowOverlapCaption(state.gasOnly);
    Page<TPageConfigurazione>().ShowNoteTitle();
    Page<TPageCommutazione>().LimitReducerTemperature();
    FormResize();
}
