#pragma once
// TFormModificaMappa: the small dialog through which every grid of the
// configuration window changes cells. It asks for one number and the way to
// apply it (0 set, 1 add, 2 change by a percentage); the calling grid applies
// the answer to every selected cell.
#include "config/mapk_rules/MapKRules.h"

#include <QDialog>
#include <functional>
#include <optional>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TFormModificaMappa : public QDialog {
    Q_OBJECT

public:
    explicit TFormModificaMappa(QWidget* owner = nullptr);

    // Opens the dialog for a whole or a real number; on return *value and
    // *mode hold the answers and ModalResult() is 1 (OK) or 2 (cancelled).
    void EditInteger(int* value, int* mode);
    void EditReal(double* value, int* mode);
    int ModalResult() const { return modalResult_; }

    // Writes the answers back (run on every close).
    void FormClose();
    // The key filter for a character about to be typed into EditData; returns
    // false when the character is dropped, and may change it.
    bool EditDataKeyPress(QChar& key);
    // Texts in the current language.
    void LoadTexts();

    // How the dialog is shown; exec() unless replaced (tests answer through
    // it without a modal loop). Returns the modal result.
    using ModalRunner = std::function<int(TFormModificaMappa&)>;
    void SetModalRunner(ModalRunner runner) { runner_ = std::move(runner); }

    int ItemIndex() const;
    void SetItemIndex(int index);

    QLineEdit* EditData = nullptr;
    QGroupBox* GroupModalita = nullptr;
    QRadioButton* ModeButtons[3] = {};
    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonAnnulla = nullptr;

    void done(int result) override;
    // Esc and the close box cancel as Annulla does (modal result 2).
    void reject() override { done(2); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void open(const QString& text, int* mode);

    bool realMode_ = false;
    int* intValue_ = nullptr;
    double* realValue_ = nullptr;
    int* mode_ = nullptr;
    int modalResult_ = 0;
    ModalRunner runner_;
};
