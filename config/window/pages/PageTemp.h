#pragma once
// The Temperatura page: the temperature conditions of the switch to gas, the
// gas-temperature sensor, and the vehicle's own engine-temperature sensor
// with its characteristic, typed in or learnt point by point from the live
// reading.
#include "ConfigPage.h"
#include "config/layout/ConfigWindowRules.h"
#include "config/window/FormConfig.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QRect;
class TCorrectionGrid;
class TKeyComboBox;
class TNumericEdit;

class TPageTemp : public TConfigPage {
public:
    static constexpr int kIndex = cfgwin::PageTemp;
    using TConfigPage::TConfigPage;

    static const TFormConfig::BindingTable& Rows();
    void Build() override;
    void Show() override { TabTempShow(); }

    void TabTempShow();
    // The three boxes and the gas sensor's type as the data module holds
    // them, what the engine sensor's box shows and hides with it (also the
    // window's show).
    void ShowSensorChoices();
    void ComboTempRiduttoreKeyPress(QChar key);
    // Starts the sensor-parameter editing, or ends it and applies it.
    void ButtonNuoviParametriClick();
    // OnExit of the four sensor-parameter editors (by their Tag).
    void EditRPullUpExit(TNumericEdit* edit);

    // Ends the sensor-parameter editing, when it is on, as the button would
    // (the window leaves the page).
    void EndSensorEditing();
    // Whether the window may leave the page or close: while the parameters
    // are edited on the page shown, asks first, and yes ends the editing.
    bool AskLeaveTemperatura();
    // The table fitted to the page (also the window's resize).
    void FitTempGrid();
    // The learning row shows the live reading (the live tick).
    void ShowLiveReading();

    // The sensor-parameter editing mode.
    bool SensorEditing = false;
    // The table's row that learning and typing fill next (1: the first point).
    int LearningRow = 1;
    TNumericEdit* EditRPullUp = nullptr;
    TNumericEdit* EditDeltaT = nullptr;
    TNumericEdit* EditTMin = nullptr;
    TNumericEdit* EditTMax = nullptr;
    QLabel* LabelParametriTemp = nullptr;
    QLabel* LabelCaratteristicaTemp = nullptr;
    QLabel* LabelInstr = nullptr;
    TCorrectionGrid* DrawGridTemp = nullptr;
    QPushButton* ButtonNuoviParametri = nullptr;
    QCheckBox* CheckTempRiduttore = nullptr;
    QCheckBox* CheckTempGas = nullptr;
    QCheckBox* CheckTempMotore = nullptr;
    TKeyComboBox* ComboTempRiduttore = nullptr;

private:
    void CheckTempRiduttoreClick();
    void CheckTempGasClick();
    void CheckTempMotoreClick();
    // OnEnter of the four sensor-parameter editors.
    void EditRPullUpEnter(TNumericEdit* edit);
    void DrawGridTempDrawCell(int col, int row, const QRect& rect, int state);
    void DrawGridTempKeyPress(int& key);
    void DrawGridTempDblClick();
    void DrawGridTempEnter();
    void DrawGridTempExit();
    void EditGridTempCells();
    // The editors and the table from the stored parameters.
    void showSensorParameters();
    // The live count of the engine sensor.
    int liveSensorCount() const;
};
