#pragma once
// The Sensori page: lambda probes, banks, level sensor, return to petrol.
#include "ConfigPage.h"
#include "config/layout/ConfigWindowRules.h"
#include "config/window/FormConfig.h"

#include <array>

class QCheckBox;
class QLabel;
class TKeyComboBox;
class TNumericEdit;
namespace plat {
class PictureButton;
class Shape;
} // namespace plat

class TPageSensori : public TConfigPage {
public:
    static constexpr int kIndex = cfgwin::PageSensori;
    using TConfigPage::TConfigPage;

    static const TFormConfig::BindingTable& Rows();
    void Build() override;
    void Show() override { TabSensoriShow(); }

    void TabSensoriShow();
    void ComboSensoreKeyPress(QChar key);
    // Either probe's list (its role).
    void ComboSonda1KeyPress(TKeyComboBox* combo, QChar key);

    // The second bank's correction as the module holds it (the bank rules).
    void ShowSecondBankCorrection();
    // Whether the return to petrol is ticked (the window's control rules).
    bool ReturnToPetrolTicked() const;
    // The lambda reference in its own colours again, as the module holds it
    // once the new probe type's defaults are in (the live tick).
    void ReloadLambdaReference();
    // The level the ECU reads now (the live tick).
    void ShowLiveLevel(const QString& text);

    // The lambda probes and the banks.
    TKeyComboBox* ComboTipoLambda = nullptr;
    TNumericEdit* EditRifLambda = nullptr;
    TKeyComboBox* ComboNumeroSonde = nullptr;
    TNumericEdit* EditCorrBancata2 = nullptr;
    TKeyComboBox* ComboSonda1 = nullptr;
    TKeyComboBox* ComboSonda2 = nullptr;
    // The return to petrol.
    plat::Shape* ShapeRitorno = nullptr;
    plat::Shape* ShapeCheckRitorno = nullptr;
    QLabel* LabelCheckRitornoBenzina = nullptr;
    QCheckBox* CheckRitornoBenzina = nullptr;
    QLabel* LabelRitornoBenzina = nullptr;
    TNumericEdit* EditRitornoBenzina = nullptr;
    QLabel* LabelS12 = nullptr;
    // The level sensor and its thresholds.
    TKeyComboBox* ComboSensore = nullptr;
    plat::Shape* PanelRifSensore = nullptr;
    TNumericEdit* EditLivello1 = nullptr;
    TNumericEdit* EditLivello2 = nullptr;
    TNumericEdit* EditLivello3 = nullptr;
    TNumericEdit* EditLivello4 = nullptr;
    plat::PictureButton* ImageConferma = nullptr;
    QLabel* LabLivello = nullptr;
    // The options.
    QCheckBox* CheckElettrovalvole = nullptr;
    QCheckBox* CheckAlimentazione = nullptr;
    // The switch's kind: kept for its texts, never shown.
    TKeyComboBox* ComboCommutatore = nullptr;

private:
    void ComboNumeroSondeKeyPress(QChar key);
    void EditCorrBancata2KeyPress(QChar key);
    void ImageConfermaClick();
    void CheckRitornoBenzinaClick();
    void CheckElettrovalvoleClick();
    void CheckAlimentazioneClick();
    // The level editors, in the order of the thresholds.
    std::array<TNumericEdit*, 4> levelEditors() const;
    // The level editors show the thresholds the module holds.
    void showLevels();

    // The return time in force when the return was last switched off (-1:
    // none yet).
    int RememberedRitornoBenzina = -1;
};
