#pragma once
// The configuration window's correction-table grids: one TCorrectionGrid per
// member of tables::GridTable(), their drawing, Enter and double-click
// handlers and the edit operations, which write through the data module's
// named accessors. The window wires what belongs to it through TablesHost.
#include "CorrectionGrid.h"
#include "config/tables_rules/TablesRules.h"

#include <QObject>
#include <QPixmap>
#include <array>
#include <functional>

class TStreamDati;

struct TablesHost {
    // The cell-variation dialog; both return its ModalResult (1: OK).
    std::function<int(int* value, int* mode)> EditInteger;
    std::function<int(double* value, int* mode)> EditReal;
    // TimerDati, stopped while cells are written.
    std::function<void()> StopTimerDati;
    std::function<void()> StartTimerDati;
    std::function<void()> RepaintWindow;
    // The live tracker's cell bounds.
    std::function<void()> BuildPressDiffCellBounds;
    std::function<void()> BuildEmissionCellBounds;
    // Shows the emissions-map cell-centres dialog modally.
    std::function<void()> ShowCentriCelle;
    // The window's keyboard rule of its grids (true: handled).
    std::function<bool(TCorrectionGrid* grid, int qtKey, Qt::KeyboardModifiers)> DrawGridKKeyDown;
    // Texts by number.
    tables::TextFn Text;
    // The screen height the Emissioni page sizes its fonts by (0: the grid's screen).
    int ScreenHeight = 0;
};

class TCorrectionGrids : public QObject {
    Q_OBJECT

public:
    // Creates the grids, parented by pageOf(page) (may give null).
    TCorrectionGrids(TStreamDati& data, TablesHost host, const std::function<QWidget*(tables::Page)>& pageOf,
                     QObject* owner = nullptr);
    ~TCorrectionGrids() override;

    TCorrectionGrid* DrawGridPressDiff = nullptr;
    TCorrectionGrid* DrawGridTempGas = nullptr;
    TCorrectionGrid* DrawGridTempRid = nullptr;
    TCorrectionGrid* DrawGridEmissioni = nullptr;
    TCorrectionGrid* DrawGridAnticipo = nullptr;
    TCorrectionGrid* DrawGridVariatore = nullptr;
    TCorrectionGrid* DrawPressPassaggio = nullptr;
    TCorrectionGrid* DrawDelayGasTemp = nullptr;

    TCorrectionGrid* Grid(tables::GridId id) const { return grids_[static_cast<std::size_t>(id)]; }

    // The live tracker writes here; the grids read it when they paint.
    tables::TrackedCells Tracked;
    // The picture of the Emissioni grid's dot (ImageEmissioni's).
    QPixmap EmissioniDot;

    // The variator's row count follows the data module (2, or 6 with its MAP
    // axis); the pages call this when they load.
    void UpdateVariatorLayout();

    // Handlers (OnDrawCell, OnKeyPress, OnDblClick) of each grid.
    void DrawGridPressDiffDrawCell(int col, int row, const QRect& rect, int state);
    void DrawGridPressDiffKeyPress(int& key);
    void DrawGridPressDiffDblClick();
    void DrawGridTempGasDrawCell(int col, int row, const QRect& rect, int state);
    void DrawGridTempGasKeyPress(int& key);
    void DrawGridTempGasDblClick();
    void DrawGridTempRidDrawCell(int col, int row, const QRect& rect, int state);
    void DrawGridTempRidKeyPress(int& key);
    void DrawGridTempRidDblClick();
    void DrawGridEmissioniDrawCell(int col, int row, const QRect& rect, int state);
    void DrawGridEmissioniKeyPress(int& key);
    void DrawGridEmissioniDblClick();
    void DrawGridAnticipoDrawCell(int col, int row, const QRect& rect, int state);
    void DrawGridAnticipoKeyPress(int& key);
    void DrawGridAnticipoDblClick();
    void DrawGridVariatoreDrawCell(int col, int row, const QRect& rect, int state);
    void DrawGridVariatoreKeyPress(int& key);
    void DrawGridVariatoreDblClick();
    void DrawPressPassaggioDrawCell(int col, int row, const QRect& rect, int state);
    void DrawPressPassaggioKeyPress(int& key);
    void DrawPressPassaggioDblClick();
    void DrawDelayGasTempDrawCell(int col, int row, const QRect& rect, int state);
    void DrawDelayGasTempKeyPress(int& key);
    void DrawDelayGasTempDblClick();

    // The edit operations.
    void EditGridPressDiffCells() { editCells(tables::GridId::PressDiff); }
    void EditGridTempGasCells() { editCells(tables::GridId::TempGas); }
    void EditGridTempRidCells() { editCells(tables::GridId::TempRid); }
    void EditGridEmissioniCells() { editCells(tables::GridId::Emissioni); }
    void EditGridAnticipoCells() { editCells(tables::GridId::Anticipo); }
    void EditVariatoreAxis() { editCells(tables::GridId::Variatore); }
    void EditVariatoreCells() { editCells(tables::GridId::Variatore); }
    void EditPressPassaggioCells() { editCells(tables::GridId::PressPassaggio); }
    void EditDelayGasTempCells() { editCells(tables::GridId::DelayGasTemp); }

private:
    void editCells(tables::GridId id);
    void keyPress(tables::GridId id, int& key);
    void dblClick(tables::GridId id);
    void drawCell(tables::GridId id, int col, int row, const QRect& rect, int state);
    bool active(const TCorrectionGrid* g) const;
    QString text(tables::GridId id, int col, int row) const;

    TStreamDati& data_;
    TablesHost host_;
    std::array<TCorrectionGrid*, 8> grids_{};
};
