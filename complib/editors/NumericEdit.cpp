#include "NumericEdit.h"

#include "complib/numbers/NumberText.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>

#include <climits>
#include <cmath>

namespace {

// LastValue or a limit as an int, truncated toward zero; values beyond the
// int range stop at its ends.
int truncToInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (v <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(std::trunc(v));
}

bool isEditingShortcut(const QKeyEvent* e)
{
    for (auto k : {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste, QKeySequence::SelectAll,
                   QKeySequence::Undo, QKeySequence::Redo})
        if (e->matches(k))
            return true;
    return false;
}

} // namespace

TNumericEdit::TNumericEdit(QWidget* parent) : TDecoratedEditor(parent, Qt::AlignLeft | Qt::AlignTop)
{
    setText(QStringLiteral("0"));
}

TNumericEdit::~TNumericEdit() = default;

double TNumericEdit::GetLimit(int index) const
{
    switch (index) {
    case 1:
        return max_;
    case 2:
        return min_;
    default:
        return 0;
    }
}

void TNumericEdit::SetLimit(int index, double value)
{
    if (index == 1 && value >= min_)
        max_ = value;
    else if (index == 2 && value <= max_)
        min_ = value;
}

QWidget* TNumericEdit::FindNextControl() const
{
    return complib::FindChainControl(this, true);
}

QWidget* TNumericEdit::FindPrevControl() const
{
    return complib::FindChainControl(this, false);
}

bool TNumericEdit::limitsActive() const
{
    return !disableLimit_ && !(min_ == 0 && max_ == 0);
}

double TNumericEdit::roundToPrecision(double v) const
{
    const double p = precision_;
    if (p == 0)
        return v;
    const double lower = p * std::floor(v / p);
    const double upper = p * std::ceil(v / p);
    // Half-way goes to the upper multiple. Decimal halves such as 0.35 are not
    // exact in binary, so distances that differ by less than a billionth of
    // the step count as equal.
    const double tolerance = std::fabs(p) * 1e-9;
    if (v - lower < (upper - v) - tolerance)
        return lower;
    return upper;
}

void TNumericEdit::showText(const QString& t)
{
    // Setting the same text again would lose the selection.
    if (text() != t)
        setText(t);
}

double TNumericEdit::GetAsFloat() const
{
    double v = 0;
    if (!complib::ParseNumber(text(), &v))
        return lastValue_;
    if (limitsActive()) {
        if (v > max_)
            v = max_;
        else if (v < min_)
            v = min_;
    }
    return roundToPrecision(v);
}

void TNumericEdit::SetAsFloat(double x)
{
    // Nothing in the box may stand for a number that is not one.
    if (!std::isfinite(x))
        return;
    if (limitsActive() && (x < min_ || x > max_)) {
        const double limit = x < min_ ? min_ : max_;
        showText(complib::FormatGeneral(limit));
        lastValue_ = limit;
        return;
    }
    const double r = roundToPrecision(x);
    showText(complib::FormatGeneral(r));
    lastValue_ = r;
}

int TNumericEdit::GetAsInteger()
{
    int n = 0;
    if (!complib::ParseInteger(text(), &n))
        n = truncToInt(lastValue_);
    if (!disableLimit_ && min_ != 0 && max_ != 0) {
        if (n > max_)
            SetAsInteger(truncToInt(max_));
        else if (n < min_)
            SetAsInteger(truncToInt(min_));
    }
    return n;
}

void TNumericEdit::SetAsInteger(int n)
{
    if (limitsActive() && (n < min_ || n > max_)) {
        const double limit = n < min_ ? min_ : max_;
        showText(complib::FormatGeneral(limit));
        lastValue_ = limit;
        return;
    }
    showText(complib::FormatInteger(n));
    lastValue_ = n;
}

bool TNumericEdit::acceptCharacter(QChar c) const
{
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return true;
    const QString selected = selectedText();
    if (c == complib::DecimalSeparator()) {
        const bool fractional = precision_ == 0 || precision_ != std::trunc(precision_);
        return fractional && (!text().contains(c) || selected.contains(c));
    }
    if (c == QLatin1Char('-')) {
        const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
        const bool negativeAllowed = disableLimit_ || min_ < 0 || (min_ == 0 && max_ == 0);
        return caret == 0 && negativeAllowed && (!text().contains(c) || selected.contains(c));
    }
    return false;
}

void TNumericEdit::commitEnter()
{
    const double v = GetAsFloat();
    showText(complib::FormatGeneral(v));
    lastValue_ = v;
    QPointer<TNumericEdit> self(this);
    emit keyPressed(QChar(13));
    if (!self)
        return;
    if (QWidget* next = FindNextControl())
        next->setFocus(Qt::OtherFocusReason);
    else
        selectAll();
}

void TNumericEdit::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Escape:
        SetAsFloat(lastValue_);
        selectAll();
        e->ignore(); // the key goes on to the window
        return;
    case Qt::Key_Up:
        if (QWidget* prev = FindPrevControl())
            prev->setFocus(Qt::OtherFocusReason);
        e->accept();
        return;
    case Qt::Key_Down:
        if (QWidget* next = FindNextControl())
            next->setFocus(Qt::OtherFocusReason);
        e->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        e->accept();
        commitEnter();
        return;
    case Qt::Key_Backspace: {
        QPointer<TNumericEdit> self(this);
        emit keyPressed(QChar(8));
        if (self)
            QLineEdit::keyPressEvent(e);
        return;
    }
    default:
        break;
    }

    const QString t = e->text();
    if (t.isEmpty() || isEditingShortcut(e) || e->key() == Qt::Key_Delete) {
        // Not a character: caret movement, Delete, the clipboard keys.
        QLineEdit::keyPressEvent(e);
        return;
    }
    e->accept();
    if (t.size() != 1 || !t.at(0).isPrint())
        return;
    QChar c = t.at(0);
    if (c == complib::ThousandSeparator())
        c = complib::DecimalSeparator();
    if (!acceptCharacter(c))
        return;
    QPointer<TNumericEdit> self(this);
    emit keyPressed(c);
    if (self && !isReadOnly())
        insert(QString(c));
}

void TNumericEdit::focusInEvent(QFocusEvent* e)
{
    if (inside_) {
        // Back from another window or a popup: the user never left the box.
        QLineEdit::focusInEvent(e);
        return;
    }
    inside_ = true;
    double v = 0;
    if (complib::ParseNumber(text(), &v))
        lastValue_ = v;
    SetAsFloat(lastValue_);
    QLineEdit::focusInEvent(e);
    if (e->reason() == Qt::OtherFocusReason)
        selectAll();
    emit entered();
}

void TNumericEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    // Another window becoming active, or a popup opening, is not leaving.
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason)
        return;
    leave();
}

void TNumericEdit::leave()
{
    if (!inside_)
        return;
    inside_ = false;
    if (validation_) {
        SetAsFloat(lastValue_);
    } else {
        lastValue_ = GetAsFloat();
        showText(complib::FormatGeneral(lastValue_));
    }
    emit exited();
}
