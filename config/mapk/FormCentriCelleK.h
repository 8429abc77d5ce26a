#pragma once
// TFormCentriCelleK: the breakpoints (cell centres) of map K: up to 12 rpm
// columns and up to 12 petrol injection-time rows. OK checks that each series
// increases strictly and writes it through the data module.
#include <QDialog>
#include <array>

class QGroupBox;
class QLabel;
class QPushButton;
class TNumericEdit;

class TFormCentriCelleK : public QDialog {
    Q_OBJECT

public:
    // Loads the editors from the data module and sets the texts.
    explicit TFormCentriCelleK(QWidget* owner = nullptr);

    void ButtonOkClick();
    void FormShow();

    QGroupBox* GroupRifGiri = nullptr;
    QGroupBox* GroupRifTempi = nullptr;
    std::array<QLabel*, 12> LabelGiri{};
    std::array<TNumericEdit*, 12> EditRifGiri{};
    std::array<TNumericEdit*, 12> NumEditRifMap{};
    QPushButton* ButtonOk = nullptr;
    QPushButton* ButtonAnnulla = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    int columns_ = 12;
    int rows_ = 12;
    QString rpmMessage_;
    QString timeMessage_;
};
