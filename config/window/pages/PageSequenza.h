#pragma once
// The Iniezione+ page, never shown: the injection's safety and current times,
// the holding current's share, the extra opening and the auto-calibration's
// shift and checks. Its editors keep their bindings.
#include "ConfigPage.h"
#include "config/layout/ConfigWindowRules.h"
#include "config/window/FormConfig.h"

class TNumericEdit;

class TPageSequenza : public TConfigPage {
public:
    static constexpr int kIndex = cfgwin::PageSequenza;
    using TConfigPage::TConfigPage;

    static const TFormConfig::BindingTable& Rows();
    void Build() override;
    void Show() override { TabSequenzaShow(); }

    void TabSequenzaShow();

    TNumericEdit* EditSafetyTime = nullptr;
    TNumericEdit* EditTInjBenzMaxPerCambio = nullptr;
    TNumericEdit* EditCorrenteCutoff = nullptr;
    TNumericEdit* EditValPercHoldingCurrent = nullptr;
    TNumericEdit* EditSafeDelay = nullptr;
    TNumericEdit* EditIniezioneContinua = nullptr;
    TNumericEdit* EditScartoMinAlMin = nullptr;
    TNumericEdit* EditDeltaK = nullptr;
    TNumericEdit* EditNumControlli = nullptr;
    TNumericEdit* EditNumControlliOk = nullptr;
    TNumericEdit* EditAperturaExtra = nullptr;
};
