#include "FormModificaMappa.h"

#include "ModificaMappaPlacements.h"
#include "complib/numbers/NumberText.h"
#include "complib/translator/Translator.h"
#include "config/mapk_rules/MapKRules.h"
#include "datamodule/core/iodata.h"
#include "windowkit/WindowText.h"

#include "plat/Colors.h"
#include "plat/Placement.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int kTextTitle = 183;    // "Modifica valore"
constexpr int kTextModes = 184;    // "Modalità"
constexpr int kTextAbsolute = 185; // "Assoluta"
constexpr int kTextPercent = 186;  // "Percentuale"
constexpr int kTextLinear = 187;   // "Lineare"
constexpr int kTextOk = 64;        // "OK"
constexpr int kTextCancel = 65;    // "Annulla"

QChar localeChar(const QString& s, QChar fallback) { return s.isEmpty() ? fallback : s.front(); }
QChar decimalSeparator() { return localeChar(QLocale().decimalPoint(), QLatin1Char('.')); }
QChar thousandsSeparator() { return localeChar(QLocale().groupSeparator(), QLatin1Char(',')); }

void place(QWidget* w, const char* name, QPoint offset = {})
{
    plat::Place(w, mapk::kModificaMappaPlacements, name, offset);
}

} // namespace

TFormModificaMappa::TFormModificaMappa(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FormModificaMappa"));
    setWindowTitle(QStringLiteral("Variazione cella"));
    setFixedSize(288, 181);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, plat::FromTColor(13421772));
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(16);
    setFont(f);

    EditData = new QLineEdit(QStringLiteral("0"), this);
    EditData->setObjectName(QStringLiteral("EditData"));
    EditData->setMaxLength(10);
    place(EditData, "EditData");
    EditData->installEventFilter(this);

    GroupModalita = new QGroupBox(QStringLiteral("Modalità"), this);
    GroupModalita->setObjectName(QStringLiteral("GroupModalita"));
    place(GroupModalita, "GroupModalita");
    const char* items[3] = {"A&ssoluto", "&Lineare", "&Percentuale"};
    for (int i = 0; i < 3; ++i) {
        ModeButtons[i] = new QRadioButton(QString::fromUtf8(items[i]), GroupModalita);
        place(ModeButtons[i], "ModeButton", QPoint(0, i * mapk::kModeButtonStep));
    }
    ModeButtons[0]->setChecked(true);

    ButtonOK = new QPushButton(QStringLiteral("&OK"), this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    place(ButtonOK, "ButtonOK");
    ButtonOK->setDefault(true);
    connect(ButtonOK, &QPushButton::clicked, this, [this] { done(1); });
    ButtonAnnulla = new QPushButton(QStringLiteral("&Annulla"), this);
    ButtonAnnulla->setObjectName(QStringLiteral("ButtonAnnulla"));
    place(ButtonAnnulla, "ButtonAnnulla");
    connect(ButtonAnnulla, &QPushButton::clicked, this, [this] { done(2); });
}

void TFormModificaMappa::LoadTexts()
{
    setWindowTitle(wkit::Text(kTextTitle));
    GroupModalita->setTitle(wkit::Text(kTextModes));
    ModeButtons[0]->setText(wkit::Text(kTextAbsolute));
    ModeButtons[1]->setText(wkit::Text(kTextLinear));
    ModeButtons[2]->setText(wkit::Text(kTextPercent));
    ButtonOK->setText(wkit::Text(kTextOk));
    ButtonAnnulla->setText(wkit::Text(kTextCancel));
}

int TFormModificaMappa::ItemIndex() const
{
    for (int i = 0; i < 3; ++i)
        if (ModeButtons[i]->isChecked())
            return i;
    return -1;
}

void TFormModificaMappa::SetItemIndex(int index)
{
    if (index >= 0 && index < 3) {
        ModeButtons[index]->setChecked(true);
        return;
    }
    for (auto* b : ModeButtons) {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
}

void TFormModificaMappa::EditInteger(int* value, int* mode)
{
    realMode_ = false;
    intValue_ = value;
    realValue_ = nullptr;
    open(mapk::FormatInt(*value), mode);
}

void TFormModificaMappa::EditReal(double* value, int* mode)
{
    realMode_ = true;
    realValue_ = value;
    intValue_ = nullptr;
    open(complib::FormatFixed(*value, 5, 3, decimalSeparator()), mode);
}

void TFormModificaMappa::open(const QString& valueText, int* mode)
{
    EditData->setText(valueText);
    EditData->selectAll();
    SetItemIndex(*mode);
    mode_ = mode;
    modalResult_ = 0;
    modalResult_ = runner_ ? runner_(*this) : exec();
}

void TFormModificaMappa::done(int result)
{
    FormClose();
    QDialog::done(result);
    modalResult_ = result;
}

void TFormModificaMappa::FormClose()
{
    const QString t = EditData->text();
    if (realMode_ && realValue_)
        *realValue_ = mapk::ParseReal(t, decimalSeparator()).value_or(0.0);
    else if (!realMode_ && intValue_)
        *intValue_ = mapk::ParseInt(t).value_or(0);
    if (mode_)
        *mode_ = ItemIndex();
    EditData->setFocus();
}

bool TFormModificaMappa::EditDataKeyPress(QChar& key)
{
    const int selStart = EditData->hasSelectedText() ? EditData->selectionStart() : EditData->cursorPosition();
    const auto out = mapk::FilterDataKey(key, EditData->text(), selStart, EditData->selectedText(), realMode_,
                                         decimalSeparator(), thousandsSeparator());
    if (!out)
        return false;
    key = *out;
    return true;
}

bool TFormModificaMappa::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == EditData && event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        const QString t = ke->text();
        if (t.size() != 1 || (t[0].unicode() < 32 && t[0].unicode() != 8))
            return false; // Enter, Esc, Tab, arrows keep their usual meaning
        if (ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        QChar key = t[0];
        if (!EditDataKeyPress(key))
            return true;
        if (key != t[0]) {
            EditData->insert(QString(key));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
