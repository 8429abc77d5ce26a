#pragma once
// The two cell-centre dialogs (the emissions map and map K) share this: two
// group boxes of bound editors (the rpm breakpoints, then the second axis),
// OK and Annulla, and the check on OK that each series rises strictly before
// it is written. Each series is read once from its editors, within their
// limits, and those very values are checked and written.
#include <QDialog>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class QGroupBox;
class QLabel;
class QPushButton;
class TNumericEdit;

class TCellCentresDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMaxPoints = 12;

    void ButtonOkClick();

    QGroupBox* GroupRifGiri = nullptr;
    std::array<QLabel*, kMaxPoints> LabelGiri{};
    std::array<TNumericEdit*, kMaxPoints> EditRifGiri{};
    // The second axis's editors (MAP or injection times).
    std::vector<TNumericEdit*> NumEditRifMap;
    QPushButton* ButtonOk = nullptr;
    QPushButton* ButtonAnnulla = nullptr;

    // One axis: how many points the data module uses, their editors' limits,
    // the message of a series out of order, and the accessors.
    struct Axis {
        int used = 0;
        double min = 0, max = 0, precision = 0;
        int characters = 0;
        bool whole = false;
        QString message;
        std::function<double(int)> read;
        std::function<void(int, double)> write;
    };

    // The rpm axis of both dialogs: 200..8000 rpm, whole, four digits.
    static Axis RpmAxis(int used, std::function<double(int)> read, std::function<void(int, double)> write);

protected:
    // The dialog's own names and texts.
    struct Names {
        const char* object;      // the dialog's
        const char* caption;     // its design caption, replaced by the text `title`
        int title;
        const char* secondGroup; // the second group box's name and title
        int secondTitle;
    };
    // Builds both groups (the second with `secondPoints` editors), chains
    // the editors rpm 1..12, then the second axis, then OK, loads them and
    // sets the texts.
    TCellCentresDialog(QWidget* owner, const Names& names, Axis rpm, Axis second, int secondPoints);
    QGroupBox* secondGroup() const { return secondGroup_; }

    // Focus steering: when the focus leaves `button` (by `reason`, or by any
    // reason when none) for `into` (or anywhere in the dialog when none), it
    // goes on to `target`.
    void steerFocus(QPushButton* button, std::optional<Qt::FocusReason> reason, QWidget* into, QWidget* target);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The series as its editors hold it within their limits.
    std::vector<double> readSeries(const std::vector<TNumericEdit*>& edits, const Axis& axis) const;
    bool checkAndWrite(const std::vector<TNumericEdit*>& edits, const Axis& axis);

    struct Steer {
        QPushButton* button;
        std::optional<Qt::FocusReason> reason;
        QWidget* into;
        QWidget* target;
    };
    Axis rpm_, second_;
    QGroupBox* secondGroup_ = nullptr;
    std::vector<Steer> steers_;
};
