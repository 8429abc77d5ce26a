#pragma once
// The Variatore page: the ignition-advance variator's map, and the rpm read
// from the variator.
#include "ConfigPage.h"
#include "config/layout/ConfigWindowRules.h"
#include "config/window/FormConfig.h"

class QCheckBox;
class TCorrectionGrid;
namespace plat {
class Shape;
}

class TPageVariatore : public TConfigPage {
public:
    static constexpr int kIndex = cfgwin::PageVariatore;
    using TConfigPage::TConfigPage;

    static const TFormConfig::BindingTable& Rows();
    void Build() override;
    void Show() override { TabVariatoreShow(); }

    void TabVariatoreShow();
    void CheckVariatoreClick();
    // The map fitted to the page (the window's resize).
    void FitVariatoreGrid();

    TCorrectionGrid* DrawGridVariatore = nullptr;
    QCheckBox* CheckVariatore = nullptr;
    plat::Shape* ShapeCheckVariatore = nullptr;
};
