#include "CellCentresDialog.h"
#include "windowkit/WindowText.h"

#include "FormModificaMappa.h"
#include "complib/editors/NumericEdit.h"
#include "config/mapk_rules/MapKRules.h"
#include "product/constants/BuildConstants.h"

#include "plat/Prompts.h"
#include "plat/Services.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kTextWrongRpm = 62;   // "Attenzione: i riferimenti GIRI non sono corretti!"
constexpr int kTextRpmColumns = 63; // "Colonne dei GIRI (rpm)"
constexpr int kTextOk = 64;         // "OK"
constexpr int kTextCancel = 65;     // "Annulla"
constexpr int kPerColumn = 6;

TNumericEdit* makeEditor(QWidget* parent, const QString& name, double lo, double hi, double precision, int chars)
{
    auto* e = new TNumericEdit(parent);
    e->setObjectName(name);
    e->SetMinValue(lo);
    e->SetMaxValue(hi);
    e->SetPrecision(precision);
    e->setMaxLength(chars);
    e->SetValidation(false);
    const QFontMetrics fm(e->font());
    e->setFixedWidth(fm.horizontalAdvance(QString(chars + 1, QLatin1Char('0'))) + 16);
    return e;
}

// Two columns of six: a number, then its editor.
void place(QGridLayout* g, int i, QLabel* label, TNumericEdit* edit)
{
    const int row = i % kPerColumn;
    const int col = (i / kPerColumn) * 2;
    g->addWidget(label, row, col, Qt::AlignRight | Qt::AlignVCenter);
    g->addWidget(edit, row, col + 1);
}

} // namespace

TCellCentresDialog::Axis TCellCentresDialog::RpmAxis(int used, std::function<double(int)> read,
                                                     std::function<void(int, double)> write)
{
    Axis a;
    a.used = used;
    a.min = 200;
    a.max = 8000;
    a.precision = 1;
    a.characters = 4;
    a.whole = true;
    a.message = wkit::Text(kTextWrongRpm);
    a.read = std::move(read);
    a.write = std::move(write);
    return a;
}

TCellCentresDialog::TCellCentresDialog(QWidget* owner, const Names& names, Axis rpm, Axis second, int secondPoints)
    : QDialog(owner), rpm_(std::move(rpm)), second_(std::move(second))
{
    setObjectName(QString::fromLatin1(names.object));
    setWindowTitle(QString::fromUtf8(names.caption));
    auto* layout = new QGridLayout(this);

    GroupRifGiri = new QGroupBox(this);
    GroupRifGiri->setObjectName(QStringLiteral("GroupRifGiri"));
    auto* rpmGrid = new QGridLayout(GroupRifGiri);
    for (int i = 0; i < kMaxPoints; ++i) {
        const auto at = static_cast<std::size_t>(i);
        LabelGiri[at] = new QLabel(mapk::FormatInt(i + 1), GroupRifGiri);
        LabelGiri[at]->setObjectName(QStringLiteral("LabelGiri%1").arg(i + 1));
        EditRifGiri[at] = makeEditor(GroupRifGiri, QStringLiteral("EditRifGiri%1").arg(i), rpm_.min, rpm_.max,
                                     rpm_.precision, rpm_.characters);
        place(rpmGrid, i, LabelGiri[at], EditRifGiri[at]);
    }

    secondGroup_ = new QGroupBox(this);
    secondGroup_->setObjectName(QString::fromLatin1(names.secondGroup));
    auto* secondGrid = new QGridLayout(secondGroup_);
    for (int i = 0; i < secondPoints; ++i) {
        auto* label = new QLabel(mapk::FormatInt(i + 1), secondGroup_);
        NumEditRifMap.push_back(makeEditor(secondGroup_, QStringLiteral("NumEditRifMap%1").arg(i), second_.min,
                                           second_.max, second_.precision, second_.characters));
        place(secondGrid, i, label, NumEditRifMap.back());
    }
    secondGrid->setRowStretch(kPerColumn, 1);

    ButtonOk = new QPushButton(this);
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setDefault(true);
    connect(ButtonOk, &QPushButton::clicked, this, &TCellCentresDialog::ButtonOkClick);
    ButtonAnnulla = new QPushButton(this);
    ButtonAnnulla->setObjectName(QStringLiteral("ButtonAnnulla"));
    connect(ButtonAnnulla, &QPushButton::clicked, this, [this] { done(2); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ButtonOk);
    buttons->addWidget(ButtonAnnulla);

    layout->addWidget(GroupRifGiri, 0, 0, Qt::AlignTop);
    layout->addWidget(secondGroup_, 0, 1, Qt::AlignTop);
    layout->addLayout(buttons, 1, 0, 1, 2);

    // The chain and the tab order: rpm 1..12, the second axis, OK, Annulla.
    std::vector<QWidget*> order(EditRifGiri.begin(), EditRifGiri.end());
    order.insert(order.end(), NumEditRifMap.begin(), NumEditRifMap.end());
    order.push_back(ButtonOk);
    order.push_back(ButtonAnnulla);
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
    for (std::size_t i = 0; i + 2 < order.size(); ++i) {
        auto* e = static_cast<TNumericEdit*>(order[i]);
        e->SetNextControl(order[i + 1]);
        e->SetPrevControl(i > 0 ? order[i - 1] : ButtonAnnulla);
    }

    for (int i = 0; i < rpm_.used; ++i)
        EditRifGiri[static_cast<std::size_t>(i)]->SetAsInteger(static_cast<int>(rpm_.read(i)));
    for (int i = 0; i < second_.used && i < secondPoints; ++i)
        NumEditRifMap[static_cast<std::size_t>(i)]->SetAsFloat(second_.read(i));

    setWindowTitle(wkit::Text(names.title));
    GroupRifGiri->setTitle(wkit::Text(kTextRpmColumns));
    secondGroup_->setTitle(wkit::Text(names.secondTitle));
    ButtonOk->setText(wkit::Text(kTextOk));
    ButtonAnnulla->setText(wkit::Text(kTextCancel));
}

void TCellCentresDialog::steerFocus(QPushButton* button, std::optional<Qt::FocusReason> reason, QWidget* into,
                                    QWidget* target)
{
    steers_.push_back({button, reason, into, target});
    button->installEventFilter(this);
}

bool TCellCentresDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        const auto why = static_cast<QFocusEvent*>(event)->reason();
        for (const Steer& s : steers_) {
            if (watched != s.button || (s.reason && why != *s.reason))
                continue;
            // The focus goes on once the change that left the button is over.
            QTimer::singleShot(0, this, [this, s] {
                QWidget* now = QApplication::focusWidget();
                if (!now || now->window() != this || now == s.target)
                    return;
                if (s.into && now != s.into && !s.into->isAncestorOf(now))
                    return;
                s.target->setFocus(Qt::OtherFocusReason);
            });
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::vector<double> TCellCentresDialog::readSeries(const std::vector<TNumericEdit*>& edits, const Axis& axis) const
{
    std::vector<double> v;
    for (int i = 0; i < axis.used && i < static_cast<int>(edits.size()); ++i) {
        double x = edits[static_cast<std::size_t>(i)]->GetAsFloat();
        if (axis.whole)
            x = std::trunc(x);
        v.push_back(std::clamp(x, axis.min, axis.max));
    }
    return v;
}

bool TCellCentresDialog::checkAndWrite(const std::vector<TNumericEdit*>& edits, const Axis& axis)
{
    const std::vector<double> points = readSeries(edits, axis);
    if (const int bad = mapk::FirstNotIncreasing(points); bad >= 0) {
        plat::CurrentPrompts().ask(
            {QString::fromUtf8(qz::ProductTitle()), axis.message, plat::PromptIcon::Error, plat::PromptButtons::Ok});
        edits[static_cast<std::size_t>(bad)]->setFocus(Qt::OtherFocusReason);
        return false;
    }
    for (std::size_t i = 0; i < points.size(); ++i)
        axis.write(static_cast<int>(i), points[i]);
    return true;
}

void TCellCentresDialog::ButtonOkClick()
{
    if (!checkAndWrite({EditRifGiri.begin(), EditRifGiri.end()}, rpm_))
        return;
    if (!checkAndWrite(NumEditRifMap, second_))
        return;
    done(1);
}
