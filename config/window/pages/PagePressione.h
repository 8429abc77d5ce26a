#pragma once
// The Pressione page: the gas-pressure sensor and the external MAP sensor.
#include "ConfigPage.h"
#include "config/layout/ConfigWindowRules.h"
#include "config/window/FormConfig.h"

class QRadioButton;
class TKeyComboBox;
class TNumericEdit;
namespace plat {
class Shape;
}

class TPagePressione : public TConfigPage {
public:
    static constexpr int kIndex = cfgwin::PagePressione;
    using TConfigPage::TConfigPage;

    static const TFormConfig::BindingTable& Rows();
    void Build() override;
    void Show() override { TabPressioneShow(); }

    void TabPressioneShow();
    // The MAP selector as the window's show and the page's loading set it:
    // checked with LoadingControls set, so that loading writes nothing.
    void LoadMapSelector();

    // The pressure sensor's offset and slope; the external MAP sensor's.
    plat::Shape* PanelMisuratorePressione = nullptr;
    TNumericEdit* EditOffsetDiff = nullptr;
    TNumericEdit* EditPendenzaDiff = nullptr;
    plat::Shape* PanelParametri = nullptr;
    TNumericEdit* EditOffset = nullptr;
    TNumericEdit* EditPendenza = nullptr;
    // Kept in step with the data module, never shown.
    QRadioButton* RadioMapInterno = nullptr;
    QRadioButton* RadioMapEsterno = nullptr;
    TKeyComboBox* ComboMisuratorePressione = nullptr;
    TKeyComboBox* ComboPressioneMisurata = nullptr;
    TKeyComboBox* ComboSensoreMap = nullptr;

private:
    void RadioMapInternoClick(QRadioButton* button);
    // Enter in an offset or slope editor (the element: its Tag).
    void EditOffsetKeyPress(TNumericEdit* edit, QChar key);
    // The external MAP sensor's pair, shown for an external sensor read
    // differentially.
    void ApplyPressurePageVisibility();
};
