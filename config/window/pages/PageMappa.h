#pragma once
// The Mappa page: the K-coefficient map in its three views with the axis
// shapes and titles around it, the petrol times as targets, the leaning, the
// neutral K, the enrichment and extra-injection sliders, the auto-calibration
// limit and the live OBD correctors.
#include "ConfigPage.h"
#include "config/layout/ConfigWindowRules.h"
#include "config/live/LiveBar.h"
#include "config/live/LiveTracking.h"
#include "config/window/FormConfig.h"

class DrawGridK;
class QCheckBox;
class QFrame;
class QLabel;
class QRadioButton;
class QTimer;
class QWidget;
class TFormModificaMappa;
class TNumericEdit;
namespace plat {
class PictureButton;
class Shape;
} // namespace plat

class TPageMappa : public TConfigPage {
public:
    static constexpr int kIndex = cfgwin::PageMappa;
    using TConfigPage::TConfigPage;

    static const TFormConfig::BindingTable& Rows();
    void Build() override;
    void Show() override { TabMappaShow(); }

    void TabMappaShow();
    void ImageTargetClick();
    void EditAutotaraturaKeyPress(QChar key);
    void EditKMappaNeutroKeyPress(QChar key);
    // The grid fitted to the page and the axis shapes and titles around it
    // (also the window's resize).
    void LayoutMappaGrid();

    // ---- What the window asks of the page ---------------------------------------
    // The window's cell-variation dialog for the map's edits (null: none any
    // more), and its live timer, which those edits stop while they write.
    void SetCellDialog(TFormModificaMappa* dialog);
    void SetTimerDati(QTimer* timer);
    // The pictures of the dot and of the page's buttons, released and pressed
    // (with the window's, once it is scaled).
    void LoadPictures();
    // The live tick: the fuel's dot picture (on the map too), and the
    // enrichment bar's picture.
    void ShowFuelDot(int picture);
    void ShowEnrichmentBar(int picture);
    // The live tick: the operating point of the frame on the map (on this
    // page and on Correzioni), the cells and dot areas to repaint.
    cfglive::Repaint TrackOperatingPoint(cfglive::MapKTracker& tracking, const dm::TLiveValues& live);
    // The live tick: the OBD state lamps and the correctors of the two banks.
    void ShowCorrectors(const cfglive::ObdView& view);

    // ---- Controls ---------------------------------------------------------------
    TNumericEdit* EditSmagrimento = nullptr;
    QRadioButton* RadioMapK = nullptr;
    QRadioButton* RadioMapCorr = nullptr;
    QRadioButton* RadioMapAdatta = nullptr;
    plat::Shape* ShapeTarget = nullptr;
    QCheckBox* CheckExtraInj = nullptr;
    QCheckBox* CheckTagliaExtraIniettate = nullptr;
    QCheckBox* CheckAutotaratura = nullptr;
    // The map and its frame: the axis shapes and titles around it, the dot.
    ::DrawGridK* DrawGridK = nullptr;
    QWidget* PanelMappaK = nullptr;
    plat::Shape* ShapeTempoIniezione = nullptr;
    plat::Shape* ShapeGiri = nullptr;
    QLabel* LabelGiriMappa = nullptr;
    QLabel* LabelTempiMappa = nullptr;
    plat::PictureButton* ImagePallino = nullptr;
    // The petrol times shown as targets.
    plat::PictureButton* ImageTarget = nullptr;
    QLabel* LabelTarget1 = nullptr;
    QLabel* LabTarget1 = nullptr;
    QLabel* LabelMsTarget1 = nullptr;
    QLabel* LabelTarget2 = nullptr;
    QLabel* LabTarget2 = nullptr;
    QLabel* LabelMsTarget2 = nullptr;
    plat::PictureButton* ImageTarget2 = nullptr;
    // The sliders: bars on their tracks between their minus and plus buttons.
    QFrame* PanelArricchimentoAcc = nullptr;
    QLabel* LabelArricchimento = nullptr;
    plat::PictureButton* ImageMinus = nullptr;
    plat::PictureButton* ImagePlus = nullptr;
    plat::PictureButton* ImageBar2 = nullptr;
    plat::PictureButton* ImageBarra2 = nullptr;
    QLabel* LabelExtraInj = nullptr;
    plat::Shape* ShapeExtraInj = nullptr;
    plat::PictureButton* ImageMinusExtraInj = nullptr;
    plat::PictureButton* ImagePlusExtraInj = nullptr;
    plat::PictureButton* ImageBar1 = nullptr;
    plat::PictureButton* ImageBarra1 = nullptr;
    QLabel* LabelTagliaExtraIniettate = nullptr;
    // The auto-calibration limit.
    QFrame* PanelAutotaratura = nullptr;
    TNumericEdit* EditAutotaratura = nullptr;
    QLabel* LabAutotaratura = nullptr;
    // The leaning and the neutral K.
    QFrame* PanelKMappaNeutro = nullptr;
    TNumericEdit* EditKMappaNeutro = nullptr;
    QFrame* PanelSmagrimento = nullptr;
    // The live OBD correctors of the two banks.
    QFrame* PanelCorrettori0 = nullptr;
    QFrame* PanelCorrettori1 = nullptr;
    QLabel* LabelCorrettori0 = nullptr;
    QLabel* LabelCorrettori1 = nullptr;
    QLabel* LabCorrSlow0 = nullptr;
    QLabel* LabCorrSlow1 = nullptr;
    QLabel* LabCorrFast0 = nullptr;
    QLabel* LabCorrFast1 = nullptr;
    plat::PictureButton* ImageObdInfo = nullptr;
    plat::PictureButton* ImageObdOk = nullptr;
    plat::PictureButton* ImageObdKo = nullptr;

private:
    void RadioMapClick();
    void ImageMinusClick();
    void ImagePlusClick();
    void ImageMinusExtraInjClick();
    void ImagePlusExtraInjClick();
    void CheckExtraInjClick();
    void CheckTagliaExtraIniettateClick();
    void CheckAutotaraturaClick();
    // The double click on the titles "Giri" and "Tempi": the breakpoints of map K.
    void ButtonModificaRiferimentiClick();

    // The sliders' bars placed from the stored values.
    void placeSliderBars();
    void placeEnrichmentBar(int value);
    void placeExtraInjBar(int steps);
    // The extra-injection controls shown while the injections are not cut,
    // their buttons enabled while they are on.
    void showExtraInjControls();

    // The auto-calibration limit while it is switched off (0: none yet).
    double RememberedAutotaratura = 0;
};
