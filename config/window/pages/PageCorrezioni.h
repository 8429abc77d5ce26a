#pragma once
// The Correzioni page: the correction tables, the temperature-correction
// presets above the two temperature grids, and the return from cut-off.
#include "ConfigPage.h"
#include "config/layout/ConfigWindowRules.h"
#include "config/window/FormConfig.h"

class QFrame;
class QLabel;
class QString;
class TCorrectionGrid;
class TNumericEdit;
namespace plat {
class PictureButton;
class Shape;
} // namespace plat

class TPageCorrezioni : public TConfigPage {
public:
    static constexpr int kIndex = cfgwin::PageCorrezioni;
    using TConfigPage::TConfigPage;

    static const TFormConfig::BindingTable& Rows();
    void Build() override;
    void Show() override { TabCorrezioniShow(); }

    void TabCorrezioniShow();
    // The grids fitted to the page (the page's loading, and the window's
    // resize and the page's own): none asks for more than the page has.
    void FitCorrezioniGrids();

    // ---- What the window asks of the page ---------------------------------------
    // The preset buttons' pictures, released and pressed (with the window's,
    // once it is scaled).
    void LoadPictures();
    // The live tick: the absolute-pressure correction's text (one-plug ECU).
    void ShowPressureCorrection(const QString& text);

    // ---- Controls ---------------------------------------------------------------
    // The return from cut-off and the gas injections in cut-off.
    plat::Shape* ShapeRientroCutoff = nullptr;
    QLabel* LabelInettateBenzina = nullptr;
    TNumericEdit* EditIniettateBenzina = nullptr;
    TNumericEdit* EditSmagrRientroCutoff = nullptr;
    TNumericEdit* EditNumeroIniettateSmagr = nullptr;
    QLabel* LabelGiriTempoCutoff = nullptr;
    QLabel* LabelGiriCutoff = nullptr;
    TNumericEdit* EditGiriCutoff = nullptr;
    QLabel* LabelTempoCutoff = nullptr;
    TNumericEdit* EditTempoCutoff = nullptr;
    // The absolute-pressure correction, a live value.
    plat::Shape* PanelCorrPressAbs = nullptr;
    QLabel* LabCorrPressAbs = nullptr;
    // The temperature grids under their preset sliders.
    plat::Shape* ShapeTempRid = nullptr;
    plat::Shape* ShapeTempGas = nullptr;
    QFrame* PanelCorrRid = nullptr;
    QFrame* PanelCorrGas = nullptr;
    plat::PictureButton* ImageMinusRid = nullptr;
    plat::PictureButton* ImagePlusRid = nullptr;
    plat::PictureButton* ImageMinusGas = nullptr;
    plat::PictureButton* ImagePlusGas = nullptr;
    plat::Shape* ImageBarraRid = nullptr;
    plat::Shape* ImageBarraGas = nullptr;
    plat::PictureButton* ImagePallinoRid = nullptr;
    plat::PictureButton* ImagePallinoGas = nullptr;
    QLabel* LabelValueRid = nullptr;
    QLabel* LabelValueGas = nullptr;
    QLabel* LabelRiferimentiRid = nullptr;
    // The correction tables (owned by the window's CorrectionGrids, on this
    // page) with their frames.
    TCorrectionGrid* DrawGridTempRid = nullptr;
    TCorrectionGrid* DrawGridTempGas = nullptr;
    TCorrectionGrid* DrawGridPressDiff = nullptr;
    TCorrectionGrid* DrawDelayGasTemp = nullptr;
    TCorrectionGrid* DrawPressPassaggio = nullptr;
    QLabel* LabelCorrezioniPressione = nullptr;
    plat::Shape* ShapePressDiff = nullptr;
    QLabel* LabelDelayGasTemp = nullptr;
    plat::Shape* ShapeDelayGasTemp = nullptr;
    plat::Shape* ShapeLineDown = nullptr;
    QLabel* LabelPressPassaggio = nullptr;
    plat::Shape* ShapePresPassaggio = nullptr;
    plat::Shape* ShapeLineUp = nullptr;

private:
    void ImageMinusRidClick();
    void ImagePlusRidClick();
    void ImageMinusGasClick();
    void ImagePlusGasClick();
    // Enter in either cut-off editor (by its DataIndex).
    void EditGiriCutoffKeyPress(TNumericEdit* edit, QChar key);
    // The two preset sliders from the packed presets.
    void showPresetSliders();
};
