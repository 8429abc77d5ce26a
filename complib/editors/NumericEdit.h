#pragma once
// TNumericEdit: the one-line box in which the user types a numeric ECU
// parameter. It carries the binding to the ECU item (DataCode, DataIndex) for
// the window's handlers, accepts only characters that can form a number within
// its limits, rounds to Precision and clamps to MinValue..MaxValue, commits on
// Enter and moves on along its chain, and restores the last committed value on
// Esc (and, with Validation on, when the user leaves without Enter).
//
// The window's own handlers are the signals: keyPressed for every character
// the box lets through (Enter after the commit, before the focus moves on),
// entered and exited when the user comes into the box and leaves it. The
// focus moving to another window or into a popup (a context menu) is not
// leaving. Esc, after restoring, goes on to the parent widgets (a dialog
// closes on it). Typed characters are filtered; the clipboard keys work, and
// whatever they paste that is not a number reads as LastValue.
#include "DecoratedEditor.h"

#include <QLineEdit>
#include <QPointer>

class TNumericEdit : public complib::TDecoratedEditor<QLineEdit>, public TFocusChainLink {
    Q_OBJECT
    Q_PROPERTY(double Precision READ Precision WRITE SetPrecision)
    Q_PROPERTY(double MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(double MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(bool DisableLimit READ DisableLimit WRITE SetDisableLimit)
    Q_PROPERTY(bool Validation READ Validation WRITE SetValidation)
    Q_PROPERTY(int DataCode READ DataCode WRITE SetDataCode)
    Q_PROPERTY(int DataIndex READ DataIndex WRITE SetDataIndex)
    Q_PROPERTY(bool UseUnitLabel READ UseUnitLabel WRITE SetUseUnitLabel)

public:
    // Text "0", LastValue 0, no limits, no rounding, Validation on, unbound.
    explicit TNumericEdit(QWidget* parent = nullptr);
    ~TNumericEdit() override;

    double Precision() const { return precision_; }
    void SetPrecision(double p) { precision_ = p; }
    double MaxValue() const { return max_; }
    void SetMaxValue(double v) { SetLimit(1, v); }
    double MinValue() const { return min_; }
    void SetMinValue(double v) { SetLimit(2, v); }
    bool DisableLimit() const { return disableLimit_; }
    void SetDisableLimit(bool d) { disableLimit_ = d; }
    bool Validation() const { return validation_; }
    void SetValidation(bool v) { validation_ = v; }
    int DataCode() const { return dataCode_; }
    void SetDataCode(int code) { dataCode_ = code; }
    int DataIndex() const { return dataIndex_; }
    void SetDataIndex(int index) { dataIndex_ = index; }

    // Index 1 MaxValue, 2 MinValue. A new MaxValue below MinValue, or a new
    // MinValue above MaxValue, changes nothing.
    double GetLimit(int index) const;
    void SetLimit(int index, double value);

    // The links become null when the linked control is destroyed.
    QWidget* NextControl() const override { return next_; }
    void SetNextControl(QWidget* w) { next_ = w; }
    QWidget* PrevControl() const override { return prev_; }
    void SetPrevControl(QWidget* w) { prev_ = w; }
    QWidget* FindNextControl() const;
    QWidget* FindPrevControl() const;

    // The last committed value.
    double LastValue() const { return lastValue_; }

    // The value: the text clamped to the limits and rounded to Precision, or
    // LastValue when the text is not a number. The text is not changed.
    double GetAsFloat() const;
    // Shows x rounded to Precision, or the violated limit, and makes it
    // LastValue.
    void SetAsFloat(double x);
    // The text as an integer (LastValue truncated when it is not one). Only
    // while both limits are non-zero, a value outside them makes the box show
    // the limit; the value returned is the one typed.
    int GetAsInteger();
    void SetAsInteger(int n);

signals:
    void keyPressed(QChar key);
    void entered();
    void exited();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool limitsActive() const;
    double roundToPrecision(double v) const;
    void showText(const QString& text);
    void leave();
    bool acceptCharacter(QChar c) const;
    void commitEnter();

    double precision_ = 0;
    double max_ = 0;
    double min_ = 0;
    bool disableLimit_ = false;
    bool validation_ = true;
    int dataCode_ = -1;
    int dataIndex_ = -1;
    QPointer<QWidget> next_;
    QPointer<QWidget> prev_;
    double lastValue_ = 0;
    bool inside_ = false; // between entering the box and leaving it
};
