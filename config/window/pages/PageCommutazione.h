#pragma once
// The Commutazione page: when the engine switches to gas and back, how it
// runs at idle and at high rpm.
#include "ConfigPage.h"
#include "config/layout/ConfigWindowRules.h"
#include "config/window/FormConfig.h"

class QCheckBox;
class QLabel;
class QRadioButton;
class TKeyComboBox;
class TNumericEdit;
namespace plat {
class Shape;
}

class TPageCommutazione : public TConfigPage {
public:
    static constexpr int kIndex = cfgwin::PageCommutazione;
    using TConfigPage::TConfigPage;

    static const TFormConfig::BindingTable& Rows();
    void Build() override;
    void Show() override { TabCommutazioneShow(); }

    void TabCommutazioneShow();
    void ComboCambioKeyPress(QChar key);

    // The switch-over threshold as the module holds it.
    void ShowSwitchThreshold();
    // The reducer's switch-over temperature limited to 20..90 °C, whatever
    // the ECU's model.
    void LimitReducerTemperature();
    // Gas at idle and at high rpm (their clicks write the choices).
    void ChooseGas();
    // The idle and high-rpm choices enabled as the modified injection
    // sequence (on or off) and the ECU allow.
    void EnableFuelChoices(bool sequenceOn);
    // The standard injection sequence again (another cylinder or probe
    // count): the page's sequence box, when ticked, is clicked off.
    void DropModifiedSequence();

    // The switch-over.
    QLabel* LabelCambio = nullptr;
    TKeyComboBox* ComboCambio = nullptr;
    plat::Shape* ShapeTipoCommutazione = nullptr;
    QLabel* LabelGiriCambio = nullptr;
    TNumericEdit* EditGiriCambio = nullptr;
    QLabel* LabelRpm1 = nullptr;
    plat::Shape* ShapeSogliaCommutazione = nullptr;
    QLabel* LabelTempRiduttore = nullptr;
    TNumericEdit* EditTempRiduttore = nullptr;
    QLabel* LabelT1 = nullptr;
    plat::Shape* ShapeTempRiduttore = nullptr;
    TNumericEdit* EditTempGas = nullptr;
    plat::Shape* ShapeTempGasBass = nullptr;
    QLabel* LabelTempGasBassa = nullptr;
    TNumericEdit* EditTempGasBassa = nullptr;
    QLabel* LabTempGasBassa = nullptr;
    QLabel* LabelRitardoCambio = nullptr;
    TNumericEdit* EditRitMin = nullptr;
    QLabel* LabelS1 = nullptr;
    plat::Shape* ShapeRitardoCommutazione = nullptr;
    QCheckBox* CheckModificaSequenza2 = nullptr;

    // Petrol while on gas: at idle and at high rpm.
    plat::Shape* PanelMinimo = nullptr;
    QRadioButton* RadioGas = nullptr;
    QRadioButton* RadioRientro = nullptr;
    QRadioButton* RadioBenzina = nullptr;
    TNumericEdit* EditGiriMinimoPerBenzina = nullptr;
    TNumericEdit* EditIniettate = nullptr;
    TNumericEdit* EditUscita = nullptr;
    plat::Shape* PanelAltiGiri = nullptr;
    QRadioButton* RadioGasAltiGiri = nullptr;
    QRadioButton* RadioBenzinaAltiGiri = nullptr;
    QRadioButton* RadioContributoAltiGiri = nullptr;
    QLabel* LabelGiriPerBenzina = nullptr;
    TNumericEdit* EditGiriPerBenzina = nullptr;
    QLabel* LabelTempiBenzina = nullptr;
    TNumericEdit* EditTempoBenzina0 = nullptr;
    TNumericEdit* EditTempoBenzina1 = nullptr;
    TNumericEdit* EditTempoBenzina2 = nullptr;
    TNumericEdit* EditTempoBenzina3 = nullptr;
    QCheckBox* CheckSpruzzata = nullptr;

private:
    void CheckModificaSequenza2Click();
    void RadioGasClick(QRadioButton* button);
    void RadioGasAltiGiriClick(QRadioButton* button);
    void CheckSpruzzataClick();
    // Enter in an element editor of the petrol rpm, the petrol times or the
    // stabilisation (element: its Tag).
    void EditGiriPerBenzinaKeyPress(TNumericEdit* edit, QChar key);
    void EditTempoBenzina0KeyPress(TNumericEdit* edit, QChar key);
    void EditIniettatePerBenzinaKeyPress(TNumericEdit* edit, QChar key);
    void EditRitMinKeyPress(QChar key);
    void EditTempGasBassaKeyPress(QChar key);
};
