// The window's side of the bound editors: the commit on Enter through the
// item code, the list commit, the range hint and Enter on check boxes.
#include "FormConfig.h"

#include "editors/KeyComboBox.h"
#include "editors/NumericEdit.h"
#include "iodata.h"

#include <QCheckBox>
#include <QLabel>
#include <QLocale>
#include <QPalette>
#include <set>
#include <string_view>

namespace {

constexpr char16_t kEnter = 13;
// The system colour 3D-light.
const QColor kColour3DLight(227, 227, 227);

// The editors that commit through their item code.
constexpr std::string_view kCodeCommit[] = {
    "EditAperturaExtra",       "EditCicchetto",          "EditCorrente",           "EditCorrenteCutoff",
    "EditDeltaK",              "EditGiriAutotaratura",   "EditGiriCambio",         "EditImpedenzaIniettori",
    "EditIniettateBenzina",    "EditIniezioneContinua",  "EditLivEmulAlto",        "EditLivEmulBasso",
    "EditLivEmulCutoff",       "EditLivEmulStabilizzato", "EditLivello1",          "EditLivello2",
    "EditLivello3",            "EditLivello4",           "EditNumControlli",       "EditNumControlliOk",
    "EditNumeroIniettateSmagr", "EditParamInj",          "EditRiccoForzato",       "EditRifLambda",
    "EditRitornoBenzina",      "EditSafeDelay",          "EditSafetyTime",         "EditScartoMinAlMin",
    "EditSmagrRientroCutoff",  "EditSmagrimento",        "EditSovrapposizione",    "EditTInjBenzMaxPerCambio",
    "EditTMaxExtraInjBenz",    "EditTempGas",            "EditTempRiduttore",      "EditTempTaratura",
    "EditTempoBenzExtra",      "EditTempoGasExtra",      "EditTempoInterSpegnimento", "EditTempoMassimaCorrente",
    "EditTestByte",            "EditTestTempo",          "EditTestWord",           "EditValPercHoldingCurrent"};

// The editors with range-hint handlers of their own, and the hidden holders.
constexpr std::string_view kNoRangeHint[] = {"EditKMappaNeutro", "EditGiriCutoff", "EditTempoCutoff",
                                             "EditRPullUp",      "EditDeltaT",     "EditTMin",
                                             "EditTMax",         "EditTipoIniettore", "EditCodeIniettore"};

constexpr std::string_view kEnterChecks[] = {
    "CheckAdattativita", "CheckAlimentazione",     "CheckAutotaratura",  "CheckElettrovalvole",
    "CheckExtraInj",     "CheckIniezioneContinua", "CheckModificaSequenza", "CheckModificaSequenza2",
    "CheckRitornoBenzina", "CheckSpruzzata",       "CheckTagliaExtraIniettate", "CheckTempGas",
    "CheckTempMotore",   "CheckTempRiduttore",     "CheckTempoMaxCorrente", "CheckVariatore"};

template <std::size_t N>
bool listed(const std::string_view (&names)[N], const QString& name)
{
    const QByteArray n = name.toLatin1();
    for (auto s : names)
        if (s == std::string_view(n.constData(), static_cast<std::size_t>(n.size())))
            return true;
    return false;
}

} // namespace

void TFormConfig::connectEditors()
{
    for (TNumericEdit* e : numericEdits_) {
        const QString name = e->objectName();
        if (listed(kCodeCommit, name))
            connect(e, &TNumericEdit::keyPressed, this, [this, e](QChar c) { EditRifLambdaKeyPress(e, c); });
        if (!listed(kNoRangeHint, name)) {
            connect(e, &TNumericEdit::entered, this, [this, e] { EditEnter(e); });
            connect(e, &TNumericEdit::exited, this, [this, e] { EditExit(e); });
        }
    }
    for (TNumericEdit* e : {EditOffset, EditPendenza, EditOffsetDiff, EditPendenzaDiff})
        connect(e, &TNumericEdit::keyPressed, this, [this, e](QChar c) { EditOffsetKeyPress(e, c); });
    for (TNumericEdit* e : {EditAperturaInj, EditChiusuraInj})
        connect(e, &TNumericEdit::keyPressed, this, [this, e](QChar c) { EditAperturaInjKeyPress(e, c); });
    for (TNumericEdit* e : {EditTempoMortoBenz, EditTempoMortoGas})
        connect(e, &TNumericEdit::keyPressed, this, [this, e](QChar c) { EditTempoMortoBenzKeyPress(e, c); });
    connect(ComboTipoLambda, &TKeyComboBox::keyPressed, this,
            [this](QChar c) { ComboTipoLambdaKeyPress(ComboTipoLambda, c); });
    connect(ComboSegnaleGiri, &TKeyComboBox::keyPressed, this, [this](QChar c) { ComboSegnaleGiriKeyPress(c); });
    connect(ComboNumeroSonde, &TKeyComboBox::keyPressed, this, [this](QChar c) { ComboNumeroSondeKeyPress(c); });
    for (QCheckBox* c : findChildren<QCheckBox*>())
        if (listed(kEnterChecks, c->objectName()))
            enterChecks_.push_back(c);
}

void TFormConfig::EditRifLambdaKeyPress(TNumericEdit* edit, QChar key)
{
    if (!edit || key.unicode() != kEnter || edit->DataCode() < 0)
        return;
    const double v = edit->GetAsFloat();
    if (edit->DataIndex() < 0) {
        dm().SetValueByCode(edit->DataCode(), v);
        edit->SetAsFloat(static_cast<double>(dm().GetValueByCode(edit->DataCode())));
    } else {
        dm().SetElementByCode(edit->DataCode(), edit->DataIndex(), v);
        edit->SetAsFloat(static_cast<double>(dm().GetElementByCode(edit->DataCode(), edit->DataIndex())));
    }
}

void TFormConfig::ComboTipoLambdaKeyPress(TKeyComboBox* combo, QChar key)
{
    if (!combo || key.unicode() != kEnter || combo->IsDroppedDown() || combo->DataCode() < 0)
        return;
    dm().SetValueByCode(combo->DataCode(), combo->currentIndex());
    if (combo != ComboTipoLambda)
        return;
    LambdaRefreshPending = true;
    for (TNumericEdit* e : {EditRifLambda, EditLivEmulAlto, EditLivEmulBasso}) {
        QPalette pal = e->palette();
        pal.setColor(QPalette::Base, kColour3DLight);
        e->setPalette(pal);
    }
    dm().ApplyTipoDiLambdaEmulazione();
}

void TFormConfig::EditEnter(TNumericEdit* edit)
{
    QWidget* container = edit->parentWidget();
    if (LabelLimite->parentWidget() != container)
        LabelLimite->setParent(container);
    const QChar point = QLocale().decimalPoint().at(0);
    LabelLimite->setText(QString::fromStdString(
        cfgwin::RangeHintText(edit->MinValue(), edit->MaxValue(), point.toLatin1() ? point.toLatin1() : '.')));
    LabelLimite->adjustSize();
    const auto at = cfgwin::RangeHintPosition(edit->x(), edit->y(), edit->height(), LabelLimite->width(),
                                              LabelLimite->height());
    LabelLimite->move(at.x, at.y);
    LabelLimite->show();
    LabelLimite->raise();
}

void TFormConfig::EditExit(TNumericEdit*) { LabelLimite->hide(); }

void TFormConfig::CheckTpsBlocKeyPress(QCheckBox* check, int key)
{
    // Enter acts as a click of the mouse: it toggles and runs the click.
    if (check && (key == Qt::Key_Return || key == Qt::Key_Enter))
        check->click();
}

void TFormConfig::EditOffsetKeyPress(TNumericEdit* edit, QChar key)
{
    if (key.unicode() != kEnter)
        return;
    const int tag = edit->property("Tag").toInt();
    dm().SetOffsetPendenza(tag, edit->GetAsInteger());
    edit->SetAsInteger(dm().GetOffsetPendenza(tag));
}

void TFormConfig::EditAperturaInjKeyPress(TNumericEdit* edit, QChar key)
{
    if (key.unicode() == kEnter)
        dm().SetTempoIniettore(edit == EditAperturaInj ? 1 : 2, edit->GetAsFloat());
}

void TFormConfig::EditTempoMortoBenzKeyPress(TNumericEdit* edit, QChar key)
{
    if (key.unicode() == kEnter)
        dm().SetTempoIniettore(edit == EditTempoMortoBenz ? 3 : 4, edit->GetAsFloat());
}

void TFormConfig::ComboSegnaleGiriKeyPress(QChar key)
{
    if (key.unicode() == kEnter && !ComboSegnaleGiri->IsDroppedDown())
        dm().SetSegnaleGiri(ComboSegnaleGiri->currentIndex() == 1);
}

void TFormConfig::ComboNumeroSondeKeyPress(QChar key)
{
    if (key.unicode() != kEnter || ComboNumeroSonde->IsDroppedDown())
        return;
    dm().SetNumeroSonde(ComboNumeroSonde->currentIndex() + 1);
    ApplyBankVisibility();
    if (auto* c = findChild<QCheckBox*>(QStringLiteral("CheckModificaSequenza2")); c && c->isChecked())
        c->click();
}
