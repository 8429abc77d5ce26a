#pragma once
// The Emissioni page: the lambda emulation, its map and the advance row, the
// rear probes' live oxygen readings, and the map's cell centres.
#include "ConfigPage.h"
#include "config/layout/ConfigWindowRules.h"
#include "config/live/LiveTracking.h"
#include "config/window/FormConfig.h"

#include <cstdint>

class QFrame;
class QLabel;
class QString;
class QWidget;
class TCorrectionGrid;
class TNumericEdit;
namespace plat {
class PictureButton;
class Shape;
} // namespace plat

class TPageEmissioni : public TConfigPage {
public:
    static constexpr int kIndex = cfgwin::PageEmissioni;
    using TConfigPage::TConfigPage;

    static const TFormConfig::BindingTable& Rows();
    void Build() override;
    void Show() override { TabEmissioniShow(); }

    void TabEmissioniShow();
    // The grids sized to the page and the shapes and title around them
    // (also the window's resize).
    void LayoutEmissioniGrids();
    // The cell centres of the emissions map (a double click on an axis cell).
    void ShowCentriCelle();

    // The overlap time's caption, as the gas-only option names it.
    void ShowOverlapCaption(bool gasOnly);
    // The map's operating-point dot in the picture of the fuel in use (the
    // live tick).
    void ShowFuelDot(int picture);
    // A rear probe's live oxygen reading (bank 0 or 1), its panel shown or
    // hidden with it.
    void ShowOxygen(int bank, const QString& text, bool shown);
    // The live operating point placed on the map (tracking holds the cell
    // bounds and the point last placed): the cells to repaint.
    cfglive::Repaint TrackOperatingPoint(cfglive::MapTracker& tracking, std::uint32_t rpm,
                                         std::int32_t mapHundredths) const;

    QLabel* LabelSovrapposizione = nullptr;
    plat::Shape* ShapeSovrapposizione = nullptr;
    QLabel* LabelS15 = nullptr;
    TNumericEdit* EditSovrapposizione = nullptr;
    TNumericEdit* EditCicchetto = nullptr;
    TNumericEdit* EditLivEmulAlto = nullptr;
    TNumericEdit* EditLivEmulBasso = nullptr;
    TNumericEdit* EditLivEmulStabilizzato = nullptr;
    TNumericEdit* EditLivEmulCutoff = nullptr;
    TNumericEdit* EditRitardoGiriEmulazione = nullptr;
    // The map and the advance row (owned by the window's CorrectionGrids,
    // parented by the page), the shapes and title around them and the
    // operating point's dot.
    TCorrectionGrid* DrawGridEmissioni = nullptr;
    TCorrectionGrid* DrawGridAnticipo = nullptr;
    plat::Shape* ShapeMap = nullptr;
    plat::Shape* ShapeGiriEmissioni = nullptr;
    QLabel* LabelGiriEmissioni = nullptr;
    QWidget* PanelEmissioniGrids = nullptr;
    plat::PictureButton* ImageEmissioni = nullptr;
    // The rear probes' live oxygen readings (OBD).
    QFrame* PanelLambdaObd0 = nullptr;
    QFrame* PanelLambdaObd1 = nullptr;
    QLabel* LabOxigen0 = nullptr;
    QLabel* LabOxigen1 = nullptr;

private:
    // Enter on the emulation delay: one value of two bytes (items 107, 135).
    void EditRitardoGiriEmulazioneKeyPress(QChar key);
};
