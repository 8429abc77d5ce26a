#pragma once
// The Configurazione page: fuel, injectors, injection mode, rpm signal,
// cylinders, ignition, personalisation, the configuration note and the reset
// from the PC; and the fuel, injection-mode and injector-type changes behind
// their lists.
#include "ConfigPage.h"
#include "config/layout/ConfigWindowRules.h"
#include "config/window/FormConfig.h"

class QFrame;
class QLabel;
class QLineEdit;
class TKeyComboBox;
class TNumericEdit;
namespace plat {
class PictureButton;
}
namespace cfgrules {
struct ChangeFrame;
}

class TPageConfigurazione : public TConfigPage {
public:
    static constexpr int kIndex = cfgwin::PageConfigurazione;
    using TConfigPage::TConfigPage;

    static const TFormConfig::BindingTable& Rows();
    void Build() override;
    void Show() override { TabConfigurazioneShow(); }

    // Loads the page from the data module; also after a change of the
    // calibration and after the reset, outside a page change.
    void TabConfigurazioneShow();

    // The page's lists in the window's language (LoadTexts).
    void LoadListTexts();
    // The cylinder counts of the ECU type (the window's show and texts).
    void FillCylinders();
    // The reset picture, released and pressed (with the window's pictures,
    // once the window is scaled).
    void LoadPictures();
    // The note's title in the window's language (the ECU model's rules).
    void ShowNoteTitle();

    // Handlers.
    void ComboCarburanteKeyPress(QChar key);
    void ComboFullGroupKeyPress(QChar key);
    void ComboTipoIniettoreKeyPress(QChar key);
    void ComboSegnaleGiriKeyPress(QChar key);
    void ComboCilindriKeyPress(QChar key);
    void ComboAccensioneKeyPress(QChar key);
    void ComboPersKeyPress(QChar key);
    void EditNoteConfigKeyPress(QChar key);
    void EditNoteConfigExit();
    void EditCodeIniettoreKeyPress(QChar key);
    void ImageResetClick();

    TKeyComboBox* ComboCarburante = nullptr;
    TKeyComboBox* ComboTipoIniettore = nullptr;
    TKeyComboBox* ComboFullGroup = nullptr;
    TKeyComboBox* ComboSegnaleGiri = nullptr;
    TKeyComboBox* ComboCilindri = nullptr;
    TKeyComboBox* ComboAccensione = nullptr;
    TKeyComboBox* ComboPers = nullptr;
    QLineEdit* EditNoteConfig = nullptr;
    QLabel* LabelNoteConfig = nullptr;
    QLabel* LabelNoteLow = nullptr;
    QFrame* PanelPers = nullptr;
    // Hidden holders of the injector type: its name and its code.
    TNumericEdit* EditTipoIniettore = nullptr;
    TNumericEdit* EditCodeIniettore = nullptr;
    plat::PictureButton* ImageReset = nullptr;

    // The page's choices when it was last filled.
    bool PreviousFuel = false;
    int PreviousInjectorType = 0;
    bool PreviousFullGroup = false;

private:
    // The wait frame of the page's changes, and what follows each result.
    cfgrules::ChangeFrame changeFrame();
    void afterChange(int result, TKeyComboBox* combo, int previousItem);
};
