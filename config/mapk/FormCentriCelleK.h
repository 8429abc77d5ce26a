#pragma once
// TFormCentriCelleK: the breakpoints (cell centres) of map K: up to 12 rpm
// columns and up to 12 petrol injection-time rows. OK checks that each series
// increases strictly and writes it through the data module.
#include "CellCentresDialog.h"

class TFormCentriCelleK : public TCellCentresDialog {
    Q_OBJECT

public:
    // Loads the editors from the data module and sets the texts.
    explicit TFormCentriCelleK(QWidget* owner = nullptr);

    // On show the focus goes to the first rpm editor.
    void FormShow();

    QGroupBox* GroupRifTempi = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
