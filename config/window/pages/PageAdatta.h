#pragma once
// The Adattività OBD page: the adaptation to the car's OBD fuel-trim
// correctors (on or off, their sign and range, its sensitivity), the OBD
// protocol, and the live correctors that the live tick fills in.
#include "ConfigPage.h"
#include "config/layout/ConfigWindowRules.h"
#include "config/live/LiveBar.h"
#include "config/window/FormConfig.h"

class QCheckBox;
class QFrame;
class QLabel;
class QRadioButton;
class TKeyComboBox;
namespace plat {
class PictureButton;
class Shape;
} // namespace plat

class TPageAdatta : public TConfigPage {
public:
    static constexpr int kIndex = cfgwin::PageAdatta;
    using TConfigPage::TConfigPage;

    static const TFormConfig::BindingTable& Rows();
    void Build() override;
    void Show() override { TabAdattaShow(); }

    void TabAdattaShow();
    void ComboTipoObdKeyPress(QChar key);

    // ---- What the window asks of the page ---------------------------------------
    // The sensitivity buttons' pictures, released and pressed (with the
    // window's, once it is scaled).
    void LoadPictures();
    // The adaptation box from the data module's flag, and what follows it
    // (the live bar's gas corrector too); it writes nothing.
    void ShowAdaptationBox();
    // The live tick: the slow correctors at idle and off idle.
    void ShowIdleCorrectors(const cfglive::ObdIdleView& view);

    // ---- Controls ---------------------------------------------------------------
    QCheckBox* CheckAdattativita = nullptr;
    QFrame* PanelAdatta = nullptr;
    QRadioButton* RadioAdattaDiritti = nullptr;
    QRadioButton* RadioAdattaInvertiti = nullptr;
    QRadioButton* RadioAdatta25 = nullptr;
    QRadioButton* RadioAdatta50 = nullptr;
    QRadioButton* RadioAdatta100 = nullptr;
    // The sensitivity slider.
    QLabel* LabelSensAdatta = nullptr;
    plat::PictureButton* ImageMinusAdatta = nullptr;
    plat::PictureButton* ImagePlusAdatta = nullptr;
    plat::Shape* ImageBarraAdatta = nullptr;
    plat::PictureButton* ImagePallinoAdatta = nullptr;
    QLabel* LabelValueAdatta = nullptr;
    TKeyComboBox* ComboTipoObd = nullptr;
    // The live OBD correctors (the live tick fills the Lab... values).
    QLabel* LabelCorrettoriGas = nullptr;
    QLabel* LabelCorrMinimo = nullptr;
    QLabel* LabCorrMinimo = nullptr;
    QLabel* LabelCorrFuoriMinimo = nullptr;
    QLabel* LabCorrFuoriMinimo = nullptr;

private:
    void CheckAdattativitaClick();
    // Either sign button, any of the three range buttons.
    void RadioAdattaDirittiClick(QRadioButton* radio);
    void RadioAdatta25Click(QRadioButton* radio);
    void ImageMinusAdattaClick();
    void ImagePlusAdattaClick();
    // The sensitivity slider from its value.
    void showSensitivity(int sensitivity);
};
