#pragma once
// The Iniettori page: the injectors' currents and times, their offsets with
// the extra injections, and the maximum injection time.
#include "ConfigPage.h"
#include "config/layout/ConfigWindowRules.h"
#include "config/window/FormConfig.h"

class QFrame;
class TNumericEdit;

class TPageIniezione : public TConfigPage {
public:
    static constexpr int kIndex = cfgwin::PageIniezione;
    using TConfigPage::TConfigPage;

    static const TFormConfig::BindingTable& Rows();
    void Build() override;
    void Show() override { TabIniezioneShow(); }

    void TabIniezioneShow();
    // Enter in the opening or closing time, in either offset, in the maximum
    // injection time: each through its own accessor.
    void EditAperturaInjKeyPress(TNumericEdit* edit, QChar key);
    void EditTempoMortoBenzKeyPress(TNumericEdit* edit, QChar key);
    void EditTInjSup22KeyPress(QChar key);

    TNumericEdit* EditTempoMassimaCorrente = nullptr;
    TNumericEdit* EditTempoInterSpegnimento = nullptr;
    TNumericEdit* EditParamInj = nullptr;
    TNumericEdit* EditImpedenzaIniettori = nullptr;
    TNumericEdit* EditCorrente = nullptr;
    TNumericEdit* EditTempoBenzExtra = nullptr;
    TNumericEdit* EditTempoGasExtra = nullptr;
    TNumericEdit* EditTMaxExtraInjBenz = nullptr;
    TNumericEdit* EditAperturaInj = nullptr;
    TNumericEdit* EditChiusuraInj = nullptr;
    TNumericEdit* EditTempoMortoBenz = nullptr;
    TNumericEdit* EditTempoMortoGas = nullptr;
    QFrame* PanelMaxTempo = nullptr;
    TNumericEdit* EditTInjSup22 = nullptr;
};
