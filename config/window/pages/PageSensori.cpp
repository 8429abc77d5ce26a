#include "PageSensori.h"

#include "PageColumns.h"
#include "PageCommutazione.h"
#include "datamodule/core/ItemCodes.h"
#include "windowkit/WindowText.h"

#include "complib/editors/KeyComboBox.h"
#include "complib/editors/NumericEdit.h"
#include "config/rules/ConfigControls.h"
#include "config/rules/SensorRules.h"
#include "datamodule/core/iodata.h"

#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QLabel>
#include <QPalette>

namespace {

constexpr char16_t kEnter = 13;

} // namespace

using namespace cfgwin;

const TFormConfig::BindingTable& TPageSensori::Rows()
{
    using F = TFormConfig;
    using Owner = TPageSensori;
    constexpr unsigned kByCode = kCommit | kRangeHint | kLoadByCode;
    static const F::BindingTable rows = {
        {QZ_BOUND(ComboTipoLambda), .code = dm::kLambdaTypeCode, .captionName = "LabelTipoLambda",
         .flags = kCommit | kLoadByCode},
        {QZ_BOUND(EditRifLambda), .code = dm::kLambdaReferenceCode, .captionName = "LabelRifLambda",
         .unitName = "LabelV10", .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(ComboNumeroSonde), .caption = 381, .captionName = "LabelNumeroSonde"},
        {QZ_BOUND(EditCorrBancata2), .code = dm::kSecondBankCode, .captionName = "LabelCorrBancata2",
         .limits = {-20, 20, 1}, .flags = kRangeHint},
        {QZ_BOUND(ComboSonda1), .caption = 382, .captionName = "LabelTipoSonda1"},
        {QZ_BOUND(ComboSonda2), .caption = 383, .captionName = "LabelTipoSonda2"},
        {QZ_BOUND(ComboSensore), .caption = 132, .captionName = "LabelSensoreLivello"},
        // The switch's kind has no place among the ECU's settings: kept for
        // its texts, never shown.
        {QZ_BOUND(ComboCommutatore), .flags = kHidden},
        {QZ_BOUND(EditLivello1), .caption = 138, .captionName = "LabelSensore1", .limits = {0, 255, 1},
         .flags = kRangeHint},
        {QZ_BOUND(EditLivello2), .caption = 139, .captionName = "LabelSensore2", .limits = {0, 255, 1},
         .flags = kRangeHint},
        {QZ_BOUND(EditLivello3), .caption = 140, .captionName = "LabelSensore3", .limits = {0, 255, 1},
         .flags = kRangeHint},
        {QZ_BOUND(EditLivello4), .caption = 141, .captionName = "LabelSensore4", .limits = {0, 255, 1},
         .flags = kRangeHint},
        {QZ_BOUND(CheckRitornoBenzina), .caption = 135, .captionName = "LabelCheckRitornoBenzina",
         .flags = kEnterClicks},
        {QZ_BOUND(EditRitornoBenzina), .code = dm::kPetrolReturnTimeCode, .captionName = "LabelRitornoBenzina",
         .unitName = "LabelS12", .limits = {0, 254, 1}, .flags = kCommit | kRangeHint},
        {QZ_BOUND(CheckElettrovalvole), .caption = 363, .captionName = "LabelElettrovalvole", .flags = kEnterClicks},
        {QZ_BOUND(CheckAlimentazione), .caption = 496, .captionName = "LabelAlimentazione", .flags = kEnterClicks},
    };
    return rows;
}

void TPageSensori::Build()
{
    TFormConfig::Builder b(&Form(), Sheet(), &Rows(), this);
    // The lambda probes and the return to petrol; the level sensor and the
    // options.
    QVBoxLayout* left = PageColumn(b, 0);
    QVBoxLayout* right = PageColumn(b, 1);
    {
        auto f = ColumnGroup(b, left, "ShapeTipoLambda");
        f.Row(&TPageSensori::ComboTipoLambda);
        f.Row(&TPageSensori::EditRifLambda);
        f.Row(&TPageSensori::ComboNumeroSonde);
        auto c = f.InnerFrame("ShapeCorrettore");
        PlainFrame(c);
        c.Row(&TPageSensori::EditCorrBancata2);
    }
    // The probes' captions name their wires ("(filo BIANCO/NERO)"): each on
    // one line.
    for (auto probe : {&TPageSensori::ComboSonda1, &TPageSensori::ComboSonda2}) {
        const auto made =
            ColumnGroup(b, left, probe == &TPageSensori::ComboSonda1 ? "ShapeSonda1" : "ShapeSonda2").Row(probe);
        made.caption->setWordWrap(false);
    }
    {
        auto f = ColumnGroup(b, left, "ShapeRitorno");
        ShapeRitorno = static_cast<plat::Shape*>(f.Widget());
        auto c = f.InnerFrame("ShapeCheckRitorno");
        PlainFrame(c);
        ShapeCheckRitorno = static_cast<plat::Shape*>(c.Widget());
        LabelCheckRitornoBenzina = c.Row(&TPageSensori::CheckRitornoBenzina).caption;
        const auto time = f.Row(&TPageSensori::EditRitornoBenzina);
        LabelRitornoBenzina = time.caption;
        LabelS12 = time.unit;
    }
    {
        auto f = ColumnGroup(b, right);
        f.Row(&TPageSensori::ComboSensore);
        auto p = f.InnerFrame("PanelRifSensore");
        PlainFrame(p);
        PanelRifSensore = static_cast<plat::Shape*>(p.Widget());
        p.Title("LabelRifSensore");
        p.Row(&TPageSensori::EditLivello1);
        p.Row(&TPageSensori::EditLivello2);
        p.Row(&TPageSensori::EditLivello3);
        p.Row(&TPageSensori::EditLivello4);
        ImageConferma = b.Picture("ImageConferma", p.Widget());
        p.Line(ImageConferma, Qt::AlignRight);
        // The level the ECU reads now (the live tick fills it).
        LabLivello = b.Label("LabLivello", f.Widget());
        LabLivello->setText(QStringLiteral("-"));
        f.Row(b.Label("LabelLivello", f.Widget()), LabLivello);
    }
    ColumnGroup(b, right).Row(&TPageSensori::CheckElettrovalvole);
    {
        auto f = ColumnGroup(b, right, "ShapeAlimentazione");
        auto c = f.InnerFrame("ShapeCheckAlimentazione");
        PlainFrame(c);
        c.Row(&TPageSensori::CheckAlimentazione);
    }
    b.Place(b.Note("LabelNota2"), 1, 0, 1, 2);
    b.RemainingRows();
    b.Finish(2, 2);

    ComboNumeroSonde->addItems({QStringLiteral("1"), QStringLiteral("2")});
    connect(ComboNumeroSonde, &TKeyComboBox::keyPressed, this, [this](QChar k) { ComboNumeroSondeKeyPress(k); });
    connect(ComboSensore, &TKeyComboBox::keyPressed, this, [this](QChar k) { ComboSensoreKeyPress(k); });
    connect(ImageConferma, &plat::PictureButton::clicked, this, [this] { ImageConfermaClick(); });
    connect(CheckRitornoBenzina, &QCheckBox::clicked, this, [this] { CheckRitornoBenzinaClick(); });
    connect(EditCorrBancata2, &TNumericEdit::keyPressed, this, [this](QChar k) { EditCorrBancata2KeyPress(k); });
    for (TKeyComboBox* c : {ComboSonda1, ComboSonda2})
        connect(c, &TKeyComboBox::keyPressed, this, [this, c](QChar k) { ComboSonda1KeyPress(c, k); });
    connect(CheckElettrovalvole, &QCheckBox::clicked, this, [this] { CheckElettrovalvoleClick(); });
    connect(CheckAlimentazione, &QCheckBox::clicked, this, [this] { CheckAlimentazioneClick(); });
}

// ---------------------------------------------------------------------------
// Loading and visibility

void TPageSensori::TabSensoriShow()
{
    const std::uint8_t wasLoading = LoadingControls;
    LoadingControls = 1;
    const int type = dm().EcuInfo.EcuType;
    // The lambda type and reference by their codes.
    Form().LoadByCode(kIndex);
    ComboNumeroSonde->setCurrentIndex(dm().GetNumeroSonde() - 1);
    ShowSecondBankCorrection();
    Form().ApplyControlRules(cfgrules::ProbeSelectorVisibility());
    ComboSonda1->setCurrentIndex(dm().GetTipiLambda(1));
    ComboSonda2->setCurrentIndex(dm().GetTipiLambda(2));
    const bool cng = dm().GetFlag(cfgrules::kFuelOption) != 0;
    ComboSensore->clear();
    ComboSensore->addItems(cfgrules::LevelSensorItems(cng, [](int n) { return wkit::Text(n); }));
    ComboSensore->setCurrentIndex(-1);
    const int item = cfgrules::LevelSensorItemOf(cng, dm().GetTipoSensore(), cfgrules::StoredThresholds(dm()));
    if (const auto sensor = cfgrules::LevelSensorOfItem(cng, item)) {
        ComboSensore->setCurrentIndex(item);
        PanelRifSensore->setVisible(sensor->thresholds);
    }
    showLevels();
    // The box is loaded and its click run either way (setChecked runs no
    // click here).
    CheckRitornoBenzina->setChecked(cfgrules::ReturnToPetrolOn(dm()));
    CheckRitornoBenzinaClick();
    CheckElettrovalvole->setChecked(dm().GetFlag(cfgrules::kFuelLineFillingOption) != 0);
    Form().ApplyControlRules(cfgrules::DedicatedWireVisibility(type));
    CheckAlimentazione->setChecked(dm().GetFlag(cfgrules::kDedicatedWireOption) != 0);
    LoadingControls = wasLoading;
}

void TPageSensori::ShowSecondBankCorrection()
{
    Form().ShowLoadedInteger(EditCorrBancata2, cfgrules::SecondBankCorrection(dm()));
}

bool TPageSensori::ReturnToPetrolTicked() const { return CheckRitornoBenzina->isChecked(); }

void TPageSensori::ReloadLambdaReference()
{
    EditRifLambda->setPalette(QPalette());
    EditRifLambda->SetAsFloat(static_cast<double>(dm().GetValueByCode(EditRifLambda->DataCode())));
}

void TPageSensori::ShowLiveLevel(const QString& text)
{
    if (LabLivello->text() != text)
        LabLivello->setText(text);
}

std::array<TNumericEdit*, 4> TPageSensori::levelEditors() const
{
    return {EditLivello1, EditLivello2, EditLivello3, EditLivello4};
}

void TPageSensori::showLevels()
{
    const auto levels = levelEditors();
    for (int i = 0; i < 4; ++i)
        Form().ShowLoadedInteger(levels[static_cast<std::size_t>(i)], StreamDati->GetRifSensore(i));
}

// ---------------------------------------------------------------------------
// Commits

void TPageSensori::ComboSensoreKeyPress(QChar key)
{
    if (key.unicode() != kEnter || ComboSensore->IsDroppedDown())
        return;
    const bool cng = dm().GetFlag(cfgrules::kFuelOption) != 0;
    // An untouched list writes nothing (the sensor's presets would replace
    // thresholds the user set); the editors are shown again either way.
    if (Form().ListTouched(ComboSensore))
        if (const auto sensor = cfgrules::CommitLevelSensor(dm(), cng, ComboSensore->currentIndex()))
            PanelRifSensore->setVisible(sensor->thresholds);
    showLevels();
}

void TPageSensori::ImageConfermaClick()
{
    // The thresholds are confirmed as the page shows them: never before the
    // page loaded them.
    const auto levels = levelEditors();
    cfgrules::LevelThresholds l{};
    for (int i = 0; i < 4; ++i) {
        TNumericEdit* e = levels[static_cast<std::size_t>(i)];
        if (!Form().Loaded(e))
            return;
        l[static_cast<std::size_t>(i)] = e->GetAsInteger();
    }
    if (cfgrules::ConfirmLevelThresholds(dm(), l))
        showLevels();
}

void TPageSensori::CheckRitornoBenzinaClick()
{
    const bool on = CheckRitornoBenzina->isChecked();
    const bool shown = on && CheckRitornoBenzina->isVisibleTo(Sheet());
    for (QWidget* w : {static_cast<QWidget*>(LabelRitornoBenzina), static_cast<QWidget*>(EditRitornoBenzina),
                       static_cast<QWidget*>(LabelS12)})
        w->setVisible(shown);
    if (const auto time = cfgrules::ApplyReturnToPetrol(dm(), on, LoadingControls != 0, RememberedRitornoBenzina))
        Form().ShowLoadedInteger(EditRitornoBenzina, *time);
}

void TPageSensori::EditCorrBancata2KeyPress(QChar key)
{
    Form().CommitOwnEditor(
        EditCorrBancata2, key, true,
        [this](double v) { return cfgrules::CommitSecondBankCorrection(dm(), static_cast<int>(v)); },
        [this] { return cfgrules::SecondBankCorrection(dm()); });
}

void TPageSensori::ComboSonda1KeyPress(TKeyComboBox* combo, QChar key)
{
    if (!combo || key.unicode() != kEnter || !Form().ListTouched(combo))
        return;
    const int probe = combo == ComboSonda1 ? 1 : 2;
    combo->setCurrentIndex(cfgrules::CommitProbeRole(dm(), probe, combo->currentIndex()));
    Form().ApplyBankVisibility();
}

void TPageSensori::ComboNumeroSondeKeyPress(QChar key)
{
    if (!Form().ListCommits(ComboNumeroSonde, key))
        return;
    dm().SetNumeroSonde(ComboNumeroSonde->currentIndex() + 1);
    Form().ApplyBankVisibility();
    // Another probe count: the standard injection sequence again.
    Form().Page<TPageCommutazione>().DropModifiedSequence();
}

void TPageSensori::CheckElettrovalvoleClick()
{
    if (!LoadingControls)
        cfgrules::ApplyFuelLineFilling(dm(), CheckElettrovalvole->isChecked());
}

void TPageSensori::CheckAlimentazioneClick()
{
    if (!LoadingControls)
        cfgrules::ApplyDedicatedWire(dm(), CheckAlimentazione->isChecked());
}
