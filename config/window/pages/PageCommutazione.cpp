#include "PageCommutazione.h"

#include "PageColumns.h"
#include "PageEmissioni.h"
#include "PageTaratura.h"
#include "config/window/PageWidgets.h"
#include "datamodule/core/ItemCodes.h"
#include "windowkit/WindowText.h"

#include "complib/editors/KeyComboBox.h"
#include "complib/editors/NumericEdit.h"
#include "config/rules/SequenceRules.h"
#include "config/rules/SwitchRules.h"
#include "datamodule/core/iodata.h"
#include "product/constants/BuildConstants.h"

#include "plat/Shape.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

namespace {

constexpr char16_t kEnter = 13;

int tagOf(const QWidget* w) { return w->property("Tag").toInt(); }

// Checks a radio button as the program does: its click runs when the check
// changes; when it was checked already the click is run here.
void checkRadio(QRadioButton* r, const std::function<void(QRadioButton*)>& click)
{
    if (r->isChecked())
        click(r);
    else
        r->setChecked(true);
}

} // namespace

using namespace cfgwin;

const TFormConfig::BindingTable& TPageCommutazione::Rows()
{
    using F = TFormConfig;
    using Owner = TPageCommutazione;
    constexpr unsigned kByCode = kCommit | kRangeHint | kLoadByCode;
    static const F::BindingTable rows = {
        {QZ_BOUND(ComboCambio), .caption = 112, .captionName = "LabelCambio"},
        {QZ_BOUND(EditGiriCambio), .code = dm::kSwitchRpmCode, .captionName = "LabelGiriCambio",
         .unitName = "LabelRpm1", .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditTempRiduttore), .code = dm::kSwitchReducerTempCode, .captionName = "LabelTempRiduttore",
         .unitName = "LabelT1", .limits = {-40, 120, 1}, .flags = kByCode},
        // Hidden until a mode commit shows it.
        {QZ_BOUND(EditTempGas), .code = dm::kSwitchGasTempCode, .captionName = "LabelTempGasCambio",
         .unitName = "LabelT2", .limits = kItemLimits, .flags = kByCode | kHidden},
        {QZ_BOUND(EditTempGasBassa), .caption = 585, .captionName = "LabelTempGasBassa", .unit = 86,
         .unitName = "LabTempGasBassa", .limits = {-20, 15, 1}, .flags = kRangeHint},
        {QZ_BOUND(EditRitMin), .code = dm::kWarmEngineDelayLowCode, .captionName = "LabelRitardoCambio",
         .unitName = "LabelS1", .limits = {0, 1800, 1}, .flags = kRangeHint},
        {QZ_BOUND(CheckModificaSequenza2), .caption = 387, .captionName = "LabelModificaSequenza2",
         .flags = kEnterClicks},
        {QZ_BOUND(RadioGas), .caption = 375, .captionName = "LabelGasMinimo"},
        {QZ_BOUND(RadioRientro), .caption = 376, .captionName = "LabelRientroBenzinaMinimo"},
        {QZ_BOUND(RadioBenzina), .caption = 377, .captionName = "LabelBenzinaMinimo"},
        {QZ_BOUND(EditGiriMinimoPerBenzina), .caption = 370, .captionName = "LabelGiriMinimoPerBenzina", .unit = 89,
         .unitName = "LabGiriMinimoPerBenzina", .limits = {0, 2000, 1}, .flags = kRangeHint},
        {QZ_BOUND(EditIniettate), .caption = 498, .captionName = "LabelIniettate", .limits = {0, 50, 1},
         .flags = kRangeHint},
        {QZ_BOUND(EditUscita), .caption = 499, .captionName = "LabelUscita", .unit = 87, .unitName = "LabelS5",
         .limits = {0, 10, 1}, .flags = kRangeHint},
        {QZ_BOUND(RadioGasAltiGiri), .caption = 375, .captionName = "LabelGasAltiGiri"},
        {QZ_BOUND(RadioContributoAltiGiri), .caption = 500, .captionName = "LabelContributoAltiGiri"},
        {QZ_BOUND(RadioBenzinaAltiGiri), .caption = 377, .captionName = "LabelBenzinaAltiGiri"},
        {QZ_BOUND(EditGiriPerBenzina), .caption = 371, .captionName = "LabelGiriPerBenzina", .unit = 89,
         .unitName = "LabGiriPerBenzina", .limits = {500, 9000, 1}, .flags = kRangeHint},
        {QZ_BOUND(EditTempoBenzina0), .limits = {0, 30, 0.01}, .flags = kRangeHint},
        {QZ_BOUND(EditTempoBenzina2), .limits = {0, 30, 0.01}, .flags = kRangeHint},
        {QZ_BOUND(EditTempoBenzina3), .caption = 372, .captionName = "LabelTempiBenzina", .unit = 90,
         .unitName = "LabTempiBenzina", .limits = {0, 30, 0.01}, .flags = kRangeHint},
        {QZ_BOUND(EditTempoBenzina1), .caption = 584, .captionName = "LabelTempoBenzina1", .unit = 90,
         .unitName = "LabTempoBenzina1", .limits = {0, 30, 0.01}, .flags = kRangeHint},
        {QZ_BOUND(CheckSpruzzata), .caption = 497, .captionName = "LabelSpruzzata", .flags = kEnterClicks},
    };
    return rows;
}

void TPageCommutazione::Build()
{
    TFormConfig::Builder b(&Form(), Sheet(), &Rows(), this);
    // The switch-over: mode, threshold, temperatures, delay, sequence.
    QVBoxLayout* left = PageColumn(b, 0);
    const auto single = [&](const char* shape, auto member) {
        auto f = ColumnGroup(b, left, shape);
        const auto m = f.Row(member);
        return std::tuple{static_cast<plat::Shape*>(f.Widget()), m.caption, m.unit};
    };
    QLabel* none = nullptr;
    std::tie(ShapeTipoCommutazione, LabelCambio, none) =
        single("ShapeTipoCommutazione", &TPageCommutazione::ComboCambio);
    std::tie(ShapeSogliaCommutazione, LabelGiriCambio, LabelRpm1) =
        single("ShapeSogliaCommutazione", &TPageCommutazione::EditGiriCambio);
    std::tie(ShapeTempRiduttore, LabelTempRiduttore, LabelT1) =
        single("ShapeTempRiduttore", &TPageCommutazione::EditTempRiduttore);
    {
        // Shown by a mode commit only.
        const auto [shape, caption, unit] = single("ShapeTempGasCambio", &TPageCommutazione::EditTempGas);
        for (QWidget* w : {static_cast<QWidget*>(shape), static_cast<QWidget*>(caption), static_cast<QWidget*>(unit)})
            w->hide();
    }
    std::tie(ShapeTempGasBass, LabelTempGasBassa, LabTempGasBassa) =
        single("ShapeTempGasBass", &TPageCommutazione::EditTempGasBassa);
    std::tie(ShapeRitardoCommutazione, LabelRitardoCambio, LabelS1) =
        single("ShapeRitardoCommutazione", &TPageCommutazione::EditRitMin);
    ColumnGroup(b, left).Row(&TPageCommutazione::CheckModificaSequenza2);
    Q_UNUSED(none);

    // The petrol strategies while on gas: at idle and at high rpm.
    QVBoxLayout* right = PageColumn(b, 1);
    {
        QLabel* title = b.Note("LabelSequenzaBenzina", right->parentWidget());
        Bold(title);
        right->addWidget(title);
    }
    {
        auto f = ColumnGroup(b, right, "PanelMinimo");
        PanelMinimo = static_cast<plat::Shape*>(f.Widget());
        f.Title("LabelMinimoBenzina");
        f.Row(&TPageCommutazione::RadioGas);
        f.Row(&TPageCommutazione::RadioRientro);
        f.Row(&TPageCommutazione::RadioBenzina);
        f.Row(&TPageCommutazione::EditGiriMinimoPerBenzina);
        f.Row(&TPageCommutazione::EditIniettate);
        f.Row(&TPageCommutazione::EditUscita);
    }
    {
        auto f = ColumnGroup(b, right, "PanelAltiGiri");
        PanelAltiGiri = static_cast<plat::Shape*>(f.Widget());
        f.Title("LabelAltiGiriBenzina");
        f.Row(&TPageCommutazione::RadioGasAltiGiri);
        {
            auto c = f.InnerFrame("ShapeContributoAlti");
            PlainFrame(c);
            c.Row(&TPageCommutazione::RadioContributoAltiGiri);
        }
        f.Row(&TPageCommutazione::RadioBenzinaAltiGiri);
        LabelGiriPerBenzina = f.Row(&TPageCommutazione::EditGiriPerBenzina).caption;
        {
            // The petrol times share one caption and unit.
            const auto t0 = b.Bound(&TPageCommutazione::EditTempoBenzina0, f.Widget());
            const auto t2 = b.Bound(&TPageCommutazione::EditTempoBenzina2, f.Widget());
            const auto t3 = b.Bound(&TPageCommutazione::EditTempoBenzina3, f.Widget());
            LabelTempiBenzina = t3.caption;
            auto* times = new QHBoxLayout;
            for (QWidget* w : {t0.control, t2.control, t3.control})
                times->addWidget(w);
            f.Grid()->addLayout(times, f.NextRow(), 1, Qt::AlignLeft);
            f.Row(t3.caption, nullptr, t3.unit);
        }
        f.Row(&TPageCommutazione::EditTempoBenzina1);
        {
            auto c = f.InnerFrame("ShapeCheckSpruzzata");
            PlainFrame(c);
            c.Row(&TPageCommutazione::CheckSpruzzata);
            c.Line(b.Note("LabelNoteSpruzzata", c.Widget()));
        }
    }
    // Each panel is one choice, whatever frames its buttons stand in.
    for (auto [panel, buttons] : {std::pair{PanelMinimo, std::array{RadioGas, RadioRientro, RadioBenzina}},
                                  std::pair{PanelAltiGiri, std::array{RadioGasAltiGiri, RadioBenzinaAltiGiri,
                                                                      RadioContributoAltiGiri}}}) {
        auto* group = new QButtonGroup(panel);
        int tag = 0;
        for (QRadioButton* r : buttons) {
            r->setProperty("Tag", tag);
            group->addButton(r, tag++);
        }
    }
    b.RemainingRows();
    b.Finish(1, 2);

    EditGiriMinimoPerBenzina->setProperty("Tag", 0);
    EditGiriPerBenzina->setProperty("Tag", 1);
    EditIniettate->setProperty("Tag", 0);
    EditUscita->setProperty("Tag", 1);
    const std::array times{EditTempoBenzina0, EditTempoBenzina1, EditTempoBenzina2, EditTempoBenzina3};
    for (int i = 0; i < 4; ++i)
        times[static_cast<std::size_t>(i)]->setProperty("Tag", i);

    connect(CheckModificaSequenza2, &QCheckBox::clicked, this, [this] { CheckModificaSequenza2Click(); });
    connect(ComboCambio, &TKeyComboBox::keyPressed, this, [this](QChar k) { ComboCambioKeyPress(k); });
    // A radio button's click runs whenever it becomes checked, by the user
    // or by the program.
    for (QRadioButton* r : {RadioGas, RadioRientro, RadioBenzina})
        connect(r, &QRadioButton::toggled, this, [this, r](bool on) {
            if (on)
                RadioGasClick(r);
        });
    for (QRadioButton* r : {RadioGasAltiGiri, RadioBenzinaAltiGiri, RadioContributoAltiGiri})
        connect(r, &QRadioButton::toggled, this, [this, r](bool on) {
            if (on)
                RadioGasAltiGiriClick(r);
        });
    connect(CheckSpruzzata, &QCheckBox::clicked, this, [this] { CheckSpruzzataClick(); });
    for (TNumericEdit* e : {EditGiriMinimoPerBenzina, EditGiriPerBenzina})
        connect(e, &TNumericEdit::keyPressed, this, [this, e](QChar c) { EditGiriPerBenzinaKeyPress(e, c); });
    for (TNumericEdit* e : times)
        connect(e, &TNumericEdit::keyPressed, this, [this, e](QChar c) { EditTempoBenzina0KeyPress(e, c); });
    for (TNumericEdit* e : {EditIniettate, EditUscita})
        connect(e, &TNumericEdit::keyPressed, this, [this, e](QChar c) { EditIniettatePerBenzinaKeyPress(e, c); });
    connect(EditRitMin, &TNumericEdit::keyPressed, this, [this](QChar c) { EditRitMinKeyPress(c); });
    connect(EditTempGasBassa, &TNumericEdit::keyPressed, this, [this](QChar c) { EditTempGasBassaKeyPress(c); });
}

// ---------------------------------------------------------------------------
// Loading and visibility

void TPageCommutazione::TabCommutazioneShow()
{
    const std::uint8_t wasLoading = LoadingControls;
    LoadingControls = 1;
    const auto whole = [this](std::int32_t code, int index) {
        return dm::TruncToInt(dm().GetElementByCode(code, index));
    };
    const bool sequence = dm().GetModificaSequenza() != 0;
    if (CheckModificaSequenza2->isChecked() != sequence)
        CheckModificaSequenza2->setChecked(sequence);
    CheckModificaSequenza2Click();
    const std::array idle{RadioGas, RadioRientro, RadioBenzina};
    const std::array high{RadioGasAltiGiri, RadioBenzinaAltiGiri, RadioContributoAltiGiri};
    const int idleChoice = cfgrules::IdleChoiceOf(dm().GetFlag(cfgrules::kPetrolAtIdleOption) != 0,
                                                  whole(cfgrules::kPetrolRpmCode, 0));
    // Each choice's click, run with LoadingControls set, loads the editors of
    // its panel.
    checkRadio(idle[static_cast<std::size_t>(idleChoice)], [this](QRadioButton* r) { RadioGasClick(r); });
    const int highChoice = cfgrules::HighRpmChoiceOf(
        dm().GetFlag(cfgrules::kContributionOption) != 0, whole(cfgrules::kPetrolRpmCode, 1),
        static_cast<double>(dm().GetElementByCode(cfgrules::kPetrolTimeCode, 3)));
    checkRadio(high[static_cast<std::size_t>(highChoice)], [this](QRadioButton* r) { RadioGasAltiGiriClick(r); });
    // The high-rpm click showed the spray box as its choice says
    CheckSpruzzata->setChecked(dm().GetFlag(cfgrules::kSprayOption) == 0);
    LoadingControls = wasLoading;
    // An ECU that cannot run petrol at idle or at high rpm gets the gas
    // choices (their clicks write them). The variant is the connected ECU's:
    // without one the image's choices are kept.
    const int type = dm().EcuInfo.EcuType;
    const std::int32_t item15 = dm().GetItem15();
    if (Form().Connected() && cfgrules::ForcesGasChoices(item15))
        ChooseGas();
    if (type == qz::ECU_TYPE_VANT && RadioContributoAltiGiri->isChecked())
        RadioGasAltiGiri->setChecked(true);
    CheckModificaSequenza2->setEnabled(type != qz::ECU_TYPE_53);
    EnableFuelChoices(CheckModificaSequenza2->isChecked());
    Form().ApplyControlRules(cfgrules::ContributionVisibility(type));
    ComboCambio->setCurrentIndex(cfgrules::SwitchModeItem(dm()));
    Form().LoadByCode(kIndex); // the temperatures (and the threshold, again below)
    Form().ShowLoadedInteger(EditRitMin, cfgrules::SplitValue(dm(), cfgrules::kWarmEngineDelay));
    Form().ShowLoadedInteger(EditTempGasBassa, cfgrules::LowGasTemperature(dm()));
    ShowSwitchThreshold();
}

void TPageCommutazione::ShowSwitchThreshold()
{
    Form().ShowLoadedInteger(EditGiriCambio, dm::TruncToInt(dm().GetValueByCode(EditGiriCambio->DataCode())));
}

void TPageCommutazione::LimitReducerTemperature()
{
    EditTempRiduttore->SetMinValue(20);
    EditTempRiduttore->SetMaxValue(90);
}

void TPageCommutazione::ChooseGas()
{
    RadioGas->setChecked(true);
    RadioGasAltiGiri->setChecked(true);
}

void TPageCommutazione::EnableFuelChoices(bool sequenceOn)
{
    const std::int32_t item15 = dm().GetItem15();
    for (QRadioButton* r : {RadioGas, RadioRientro, RadioBenzina, RadioGasAltiGiri, RadioBenzinaAltiGiri})
        r->setEnabled(cfgrules::FuelBehaviourRadiosEnabled(sequenceOn, item15));
    RadioContributoAltiGiri->setEnabled(cfgrules::ContributionRadioEnabled(sequenceOn, item15, dm().EcuInfo.EcuType));
}

void TPageCommutazione::DropModifiedSequence()
{
    if (CheckModificaSequenza2->isChecked())
        CheckModificaSequenza2->click();
}

// ---------------------------------------------------------------------------
// Commits

void TPageCommutazione::ComboCambioKeyPress(QChar key)
{
    if (key.unicode() != kEnter || ComboCambio->IsDroppedDown() || !Form().ListTouched(ComboCambio))
        return;
    cfgrules::CommitSwitchMode(dm(), ComboCambio->currentIndex());
    // What the module holds after the writes.
    if (ComboCambio->currentIndex() >= 0)
        ComboCambio->setCurrentIndex(cfgrules::SwitchModeItem(dm()));
    Form().ApplySwitchPageVisibility(true);
}

void TPageCommutazione::RadioGasClick(QRadioButton* button)
{
    if (!LoadingControls)
        cfgrules::ApplyIdleChoice(dm(), tagOf(button));
    Form().ShowLoadedInteger(EditGiriMinimoPerBenzina,
                             dm::TruncToInt(dm().GetElementByCode(cfgrules::kPetrolRpmCode, 0)));
    Form().ShowLoadedInteger(EditIniettate, dm::TruncToInt(dm().GetElementByCode(cfgrules::kStabilisationCode, 0)));
    Form().ShowLoadedInteger(EditUscita, dm::TruncToInt(dm().GetElementByCode(cfgrules::kStabilisationCode, 1)));
    const int shown = RadioRientro->isChecked()   ? cfgrules::IdleReturn
                      : RadioBenzina->isChecked() ? cfgrules::IdlePetrol
                                                  : cfgrules::IdleGas;
    Form().ApplyControlRules(cfgrules::IdleControlVisibility(cfgrules::IdleVisibility(shown)));
}

void TPageCommutazione::RadioGasAltiGiriClick(QRadioButton* button)
{
    const int tag = tagOf(button);
    if (!LoadingControls) {
        cfgrules::ApplyHighRpmChoice(dm(), tag, CheckSpruzzata->isChecked());
        if (cfgrules::ChoiceTicksSpray(tag))
            CheckSpruzzata->setChecked(true);
    }
    Form().ShowLoadedInteger(EditGiriPerBenzina, dm::TruncToInt(dm().GetElementByCode(cfgrules::kPetrolRpmCode, 1)));
    const std::array times{EditTempoBenzina0, EditTempoBenzina1, EditTempoBenzina2, EditTempoBenzina3};
    for (int i = 0; i < 4; ++i)
        Form().ShowLoaded(times[static_cast<std::size_t>(i)],
                          static_cast<double>(dm().GetElementByCode(cfgrules::kPetrolTimeCode, i)));
    const int shown = RadioGasAltiGiri->isChecked()          ? cfgrules::HighRpmGas
                      : RadioContributoAltiGiri->isChecked() ? cfgrules::HighRpmContribution
                                                             : cfgrules::HighRpmPetrol;
    const auto view = cfgrules::HighRpmVisibility(shown, dm().EcuInfo.EcuType);
    Form().ApplyControlRules(cfgrules::HighRpmControlVisibility(view));
    LabelGiriPerBenzina->setText(wkit::Text(view.rpmCaption));
    LabelTempiBenzina->setText(wkit::Text(view.timeCaption));
}

void TPageCommutazione::CheckSpruzzataClick()
{
    if (!LoadingControls)
        dm().SetFlag(cfgrules::kSprayOption, !CheckSpruzzata->isChecked());
}

namespace {

// An element editor of the behaviour items: element Tag of its item code.
void commitBehaviourEditor(TFormConfig& form, TNumericEdit* edit, QChar key, std::int32_t code, bool whole)
{
    TStreamDati& d = *StreamDati;
    const int tag = tagOf(edit);
    form.CommitOwnEditor(
        edit, key, whole,
        [&d, code, tag, whole](double v) { return cfgrules::CommitBehaviourElement(d, code, tag, v, whole); },
        [&d, code, tag] { return static_cast<double>(d.GetElementByCode(code, tag)); });
}

} // namespace

void TPageCommutazione::EditGiriPerBenzinaKeyPress(TNumericEdit* edit, QChar key)
{
    commitBehaviourEditor(Form(), edit, key, cfgrules::kPetrolRpmCode, true);
}

void TPageCommutazione::EditTempoBenzina0KeyPress(TNumericEdit* edit, QChar key)
{
    commitBehaviourEditor(Form(), edit, key, cfgrules::kPetrolTimeCode, false);
}

void TPageCommutazione::EditIniettatePerBenzinaKeyPress(TNumericEdit* edit, QChar key)
{
    commitBehaviourEditor(Form(), edit, key, cfgrules::kStabilisationCode, true);
}

void TPageCommutazione::EditRitMinKeyPress(QChar key)
{
    Form().CommitOwnEditor(
        EditRitMin, key, true,
        [this](double v) { return cfgrules::CommitSplitValue(dm(), cfgrules::kWarmEngineDelay, static_cast<int>(v)); },
        [this] { return cfgrules::SplitValue(dm(), cfgrules::kWarmEngineDelay); });
}

void TPageCommutazione::EditTempGasBassaKeyPress(QChar key)
{
    Form().CommitOwnEditor(
        EditTempGasBassa, key, true, [this](double v) { return cfgrules::CommitLowGasTemperature(dm(), v); },
        [this] { return cfgrules::LowGasTemperature(dm()); });
}

void TPageCommutazione::CheckModificaSequenza2Click()
{
    // The sequence's procedure is shared with the Altri parametri page's box.
    Form().Page<TPageTaratura>().SequenceBoxClicked(CheckModificaSequenza2, false);
}
