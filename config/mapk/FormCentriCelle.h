#pragma once
// TFormCentriCelle: the breakpoints (cell centres) of the emissions map: 12
// rpm columns and 4 MAP rows. OK checks that each series increases strictly
// and writes it through the data module.
#include "CellCentresDialog.h"

class TFormCentriCelle : public TCellCentresDialog {
    Q_OBJECT

public:
    static constexpr int kMapPoints = 4;

    // Loads the editors from the data module and sets the texts.
    explicit TFormCentriCelle(QWidget* owner = nullptr);

    // Does nothing.
    void FormShow() {}

    QGroupBox* GroupRifMap = nullptr;
};
