#pragma once
// The Altri parametri page: the auto-calibration's speed and temperature, the
// default injection time, and the advanced injection sequence with its grid
// (whose check box is also on the Commutazione page).
#include "ConfigPage.h"
#include "config/layout/ConfigWindowRules.h"
#include "config/window/FormConfig.h"

class QCheckBox;
class QLabel;
class QTableWidget;
class TKeyComboBox;
class TNumericEdit;
namespace plat {
class Shape;
}

class TPageTaratura : public TConfigPage {
public:
    static constexpr int kIndex = cfgwin::PageTaratura;
    using TConfigPage::TConfigPage;

    static const TFormConfig::BindingTable& Rows();
    void Build() override;
    void Show() override { TabTaraturaShow(); }

    void TabTaraturaShow();
    void EditTInjDefaultKeyPress(QChar key);

    // The advanced injection sequence.
    void CheckModificaSequenzaClick();
    // The procedure of either sequence box, this page's (taraturaBox) or the
    // Commutazione page's: the sequence advanced or standard as the box
    // says (refused: the box shows what the module holds; nothing written
    // while loading), the grid and its list shown with it, and the fuel
    // choices of the Commutazione page enabled as the sequence allows.
    void SequenceBoxClicked(QCheckBox* box, bool taraturaBox);
    void GridSequenzaSelectCell(int column, int row);
    void ComboSequenzaChange(int index);
    bool CheckSequenceConditions();
    void FillSequenceCombo();

    TNumericEdit* EditTempTaratura = nullptr;
    TNumericEdit* EditGiriAutotaratura = nullptr;
    QLabel* LabelTInjDefault = nullptr;
    TNumericEdit* EditTInjDefault = nullptr;
    QLabel* LabelMsInjDefault = nullptr;
    QLabel* LabelTempTaratura = nullptr;
    QLabel* LabelT3 = nullptr;
    plat::Shape* ShapeGiriTaratura = nullptr;
    QCheckBox* CheckModificaSequenza = nullptr;
    QTableWidget* GridSequenza = nullptr;
    TKeyComboBox* ComboSequenza = nullptr;

private:
    // The list over the grid's gas cell of that column, at the cell's set.
    void placeSequenceCombo(int column);
    void sizeSequenceGrid();
};
