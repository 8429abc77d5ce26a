#pragma once
// The Dati di test page, never shown: the forced rich mixture and the test
// values. Its editors keep their bindings.
#include "ConfigPage.h"
#include "config/layout/ConfigWindowRules.h"
#include "config/window/FormConfig.h"

class TNumericEdit;

class TPageTest : public TConfigPage {
public:
    static constexpr int kIndex = cfgwin::PageTest;
    using TConfigPage::TConfigPage;

    static const TFormConfig::BindingTable& Rows();
    void Build() override;
    void Show() override { TabTestShow(); }

    void TabTestShow();

    TNumericEdit* EditRiccoForzato = nullptr;
    TNumericEdit* EditTestWord = nullptr;
    TNumericEdit* EditTestByte = nullptr;
    TNumericEdit* EditTestTempo = nullptr;
};
