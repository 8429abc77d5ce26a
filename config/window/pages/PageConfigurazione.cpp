#include "PageConfigurazione.h"

#include "PageCommutazione.h"
#include "config/window/FormConfigParts.h"
#include "config/window/PageWidgets.h"
#include "datamodule/core/ItemCodes.h"
#include "windowkit/WindowText.h"

#include "complib/editors/KeyComboBox.h"
#include "complib/editors/NumericEdit.h"
#include "config/rules/ConfigChanges.h"
#include "config/rules/ConfigControls.h"
#include "datamodule/core/iodata.h"

#include "plat/PictureButton.h"
#include "plat/ScreenCursor.h"
#include "plat/Shape.h"
#include "product/constants/BuildConstants.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QValidator>

namespace {

constexpr int kTextNote = 373;       // "NOTE"
constexpr int kTextDownloading = 31; // "Scaricamento dati in centralina"

constexpr char16_t kEnter = 13;
constexpr int kFuelOption = 1;
constexpr int kFullGroupOption = 18;

// The note holds space.."_" only (its six-bit packing): typed, pasted or
// composed, letters become capitals and the rest is refused.
class TNoteValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        const QString kept = cfgrules::FilterNoteText(input);
        if (kept.size() != input.toUpper().size())
            return Invalid;
        input = kept;
        return Acceptable;
    }
};

} // namespace

using namespace cfgwin;

const TFormConfig::BindingTable& TPageConfigurazione::Rows()
{
    using F = TFormConfig;
    using Owner = TPageConfigurazione;
    static const F::BindingTable rows = {
        {QZ_BOUND(ComboCarburante), .caption = 106, .captionName = "LabelCarburante"},
        {QZ_BOUND(ComboTipoIniettore), .caption = 107, .captionName = "LabelTipoIniettore"},
        {QZ_BOUND(ComboFullGroup), .caption = 102, .captionName = "LabelFullGroup"},
        {QZ_BOUND(ComboSegnaleGiri), .caption = 93, .captionName = "LabelSegnaleGiri"},
        {QZ_BOUND(ComboCilindri), .caption = 96, .captionName = "LabelCilindri"},
        {QZ_BOUND(ComboAccensione), .caption = 108, .captionName = "LabelAccensione"},
        {QZ_BOUND(ComboPers), .caption = 700, .captionName = "LabelPers"},
        // Hidden holders of the injector pair's configured type: its name and
        // its code.
        {QZ_BOUND(EditTipoIniettore), .code = dm::kInjectorPairCode, .index = 1, .flags = kHidden},
        {QZ_BOUND(EditCodeIniettore), .code = dm::kInjectorPairCode, .index = 1, .flags = kHidden},
    };
    return rows;
}

void TPageConfigurazione::Build()
{
    TFormConfig::Builder b(&Form(), Sheet(), &Rows(), this);
    {
        auto f = b.FrameAt(0, 0);
        f.Row(&TPageConfigurazione::ComboCarburante);
        f.Row(&TPageConfigurazione::ComboTipoIniettore);
        f.Row(&TPageConfigurazione::ComboFullGroup);
        f.Row(&TPageConfigurazione::ComboSegnaleGiri);
        f.Row(&TPageConfigurazione::ComboCilindri);
        f.Row(&TPageConfigurazione::ComboAccensione);
    }
    {
        auto f = b.PanelFrame(&PanelPers, "PanelPers", 1, 0);
        f.Row(&TPageConfigurazione::ComboPers);
    }
    {
        auto f = b.FrameAt(0, 1);
        LabelNoteConfig = b.Label("LabelNoteConfig");
        Bold(LabelNoteConfig);
        f.Line(LabelNoteConfig);
        EditNoteConfig = new QLineEdit(f.Widget());
        EditNoteConfig->setObjectName(QStringLiteral("EditNoteConfig"));
        EditNoteConfig->setMaxLength(cfgrules::kNoteMaxLength);
        EditNoteConfig->setValidator(new TNoteValidator(EditNoteConfig));
        EditNoteConfig->setMinimumWidth(EditNoteConfig->fontMetrics().horizontalAdvance(QString(40, QLatin1Char('W'))));
        connect(EditNoteConfig, &QLineEdit::returnPressed, this, [this] { EditNoteConfigKeyPress(QChar(kEnter)); });
        connect(EditNoteConfig, &QLineEdit::editingFinished, this, [this] {
            if (!EditNoteConfig->hasFocus())
                EditNoteConfigExit();
        });
        f.Line(EditNoteConfig);
        // Covers the same place; never shown.
        LabelNoteLow = b.Label("LabelNoteLow", f.Widget());
        LabelNoteLow->hide();
    }
    {
        auto f = b.FrameAt(1, 1);
        f.Line(b.Note("LabelNota", f.Widget()));
        f.Line(b.Note("LabelNota1", f.Widget()));
    }
    {
        auto f = b.FrameAt(2, 0);
        // Its pictures come with the window's, once the window is scaled
        // (LoadPictures).
        ImageReset = b.Picture("ImageReset", f.Widget());
        connect(ImageReset, &plat::PictureButton::clicked, this, [this] { ImageResetClick(); });
        f.Row(ImageReset, b.Note("LabelReset", f.Widget()));
    }
    b.RemainingRows();
    b.Finish(3, 2);

    connect(ComboCarburante, &TKeyComboBox::keyPressed, this, [this](QChar k) { ComboCarburanteKeyPress(k); });
    connect(ComboFullGroup, &TKeyComboBox::keyPressed, this, [this](QChar k) { ComboFullGroupKeyPress(k); });
    connect(ComboTipoIniettore, &TKeyComboBox::keyPressed, this, [this](QChar k) { ComboTipoIniettoreKeyPress(k); });
    connect(ComboSegnaleGiri, &TKeyComboBox::keyPressed, this, [this](QChar k) { ComboSegnaleGiriKeyPress(k); });
    connect(ComboCilindri, &TKeyComboBox::keyPressed, this, [this](QChar k) { ComboCilindriKeyPress(k); });
    connect(ComboAccensione, &TKeyComboBox::keyPressed, this, [this](QChar k) { ComboAccensioneKeyPress(k); });
    connect(ComboPers, &TKeyComboBox::keyPressed, this, [this](QChar k) { ComboPersKeyPress(k); });
    connect(EditCodeIniettore, &TNumericEdit::keyPressed, this, [this](QChar k) { EditCodeIniettoreKeyPress(k); });
}

void TPageConfigurazione::TabConfigurazioneShow()
{
    const std::uint8_t wasLoading = LoadingControls;
    LoadingControls = 1;
    ComboCarburante->setCurrentIndex(dm().GetFlag(kFuelOption) ? 1 : 0);
    PreviousFuel = ComboCarburante->currentIndex() != 0;
    const std::int32_t connected = dm().GetTipoIniettore(0);
    ComboTipoIniettore->setCurrentIndex(cfgrules::InjectorTypePosition(connected));
    ComboTipoIniettore->setEnabled(true);
    EditTipoIniettore->setText(QString::fromLatin1(qz::InjectorTypeName(connected)));
    EditCodeIniettore->setText(QString::number(connected));
    PreviousInjectorType = dm().GetTipoIniettore(1);
    ComboSegnaleGiri->setCurrentIndex(dm().GetSegnaleGiri() ? 1 : 0);
    const int cylinders = static_cast<int>(dm().GetValueByCode(dm::kCylindersCode));
    const int cylinderItem = cylinders == 10 ? 5 : cylinders == 8 ? 4 : cylinders - 3;
    ComboCilindri->setCurrentIndex(cylinderItem >= 0 && cylinderItem < ComboCilindri->count() ? cylinderItem : -1);
    const int ignition = static_cast<int>(dm().GetValueByCode(dm::kIgnitionCode));
    int ignitionItem = ignition;
    if (ignition >= 3)
        ignitionItem = ignition == 3 && ComboCilindri->currentIndex() != 1 ? 3 : 2;
    ComboAccensione->setCurrentIndex(ignitionItem >= 0 && ignitionItem < ComboAccensione->count() ? ignitionItem : -1);
    ComboFullGroup->setCurrentIndex(dm().GetFlag(kFullGroupOption) ? 1 : 0);
    PreviousFullGroup = ComboFullGroup->currentIndex() != 0;
    PanelPers->setVisible(dm().CustomerCode < 0x10000);
    ComboPers->setCurrentIndex(cfgrules::PersShownIndex(dm()));
    EditNoteConfig->setText(cfgrules::ShownNote(dm()));
    LoadingControls = wasLoading;
    // Also run by the changes' closing frame and the reset, outside a page change.
    Form().RememberLists();
}

void TPageConfigurazione::LoadListTexts()
{
    const cfgrules::TextOf text = [](int number) { return wkit::Text(number); };
    SetList(ComboCarburante, cfgrules::FuelItems(text));
    SetList(ComboTipoIniettore, cfgrules::InjectorTypeItems());
    SetList(ComboFullGroup, cfgrules::FullGroupItems(text));
    SetList(ComboSegnaleGiri, TextList({94, 95}));
    FillCylinders();
    SetList(ComboAccensione, cfgrules::IgnitionItems(text));
    SetList(ComboPers, cfgrules::PersonalisationItems());
}

void TPageConfigurazione::FillCylinders()
{
    SetList(ComboCilindri,
            cfgrules::CylinderItems(dm().EcuInfo.EcuType, [](int number) { return wkit::Text(number); }));
}

void TPageConfigurazione::LoadPictures() { ImageReset->setPictures(10029, 10030); }

void TPageConfigurazione::ShowNoteTitle() { LabelNoteConfig->setText(wkit::Text(kTextNote)); }

// ---------------------------------------------------------------------------
// The three changes that replace the calibration

cfgrules::ChangeFrame TPageConfigurazione::changeFrame()
{
    cfgrules::ChangeFrame frame;
    TFormConfig& form = Form();
    frame.beginWait = [&form] {
        form.TimerDati->stop();
        plat::SetScreenCursor(plat::ScreenCursor::Hourglass);
        if (form.MainHooks().beginWait)
            form.MainHooks().beginWait(&form, form.Message(kTextDownloading));
    };
    frame.rebuildBounds = [&form] { form.BuildAllCellBounds(); };
    frame.endWait = [this, &form] {
        if (form.MainHooks().endWait)
            form.MainHooks().endWait();
        form.raise();
        form.activateWindow();
        plat::SetScreenCursor(plat::ScreenCursor::Default);
        TabConfigurazioneShow();
        form.TimerDati->start();
    };
    return frame;
}

void TPageConfigurazione::afterChange(int result, TKeyComboBox* combo, int previousItem)
{
    using R = cfgrules::ChangeResult;
    switch (static_cast<R>(result)) {
    case R::Declined: combo->setCurrentIndex(previousItem); break;
    case R::Refused:
        // Nothing was loaded: the page shows what the module holds.
        TabConfigurazioneShow();
        Form().TimerDati->start();
        break;
    default: break;
    }
}

void TPageConfigurazione::ComboCarburanteKeyPress(QChar key)
{
    if (!Form().ListCommits(ComboCarburante, key))
        return;
    const int previous = PreviousFuel ? 1 : 0;
    const auto result = cfgrules::ChangeFuel(dm(), ComboCarburante->currentIndex(), previous, changeFrame());
    afterChange(static_cast<int>(result), ComboCarburante, previous);
}

void TPageConfigurazione::ComboFullGroupKeyPress(QChar key)
{
    if (!Form().ListCommits(ComboFullGroup, key))
        return;
    const int previous = PreviousFullGroup ? 1 : 0;
    const auto result = cfgrules::ChangeFullGroup(dm(), ComboFullGroup->currentIndex(), previous, changeFrame());
    afterChange(static_cast<int>(result), ComboFullGroup, previous);
}

void TPageConfigurazione::ComboTipoIniettoreKeyPress(QChar key)
{
    if (!Form().ListCommits(ComboTipoIniettore, key))
        return;
    const int previous = cfgrules::InjectorTypePosition(PreviousInjectorType);
    const auto result =
        cfgrules::ChangeInjectorType(dm(), ComboTipoIniettore->currentIndex(), PreviousInjectorType, changeFrame());
    afterChange(static_cast<int>(result), ComboTipoIniettore, previous);
}

// ---------------------------------------------------------------------------
// The other controls

void TPageConfigurazione::ComboCilindriKeyPress(QChar key)
{
    if (!Form().ListCommits(ComboCilindri, key))
        return;
    cfgrules::ApplyCylinders(dm(), ComboCilindri->currentIndex(), ComboAccensione->currentIndex());
    // Another cylinder count: the standard injection sequence again.
    Form().Page<TPageCommutazione>().DropModifiedSequence();
}

void TPageConfigurazione::ComboSegnaleGiriKeyPress(QChar key)
{
    if (Form().ListCommits(ComboSegnaleGiri, key))
        dm().SetSegnaleGiri(ComboSegnaleGiri->currentIndex() == 1);
}

void TPageConfigurazione::ComboAccensioneKeyPress(QChar key)
{
    if (!Form().ListCommits(ComboAccensione, key) || ComboCilindri->currentIndex() < 0)
        return;
    cfgrules::ApplyIgnition(dm(), ComboAccensione->currentIndex(), ComboCilindri->currentIndex());
}

void TPageConfigurazione::ComboPersKeyPress(QChar key)
{
    if (!Form().ListCommits(ComboPers, key))
        return;
    cfgrules::ApplyPers(dm(), ComboPers->currentIndex());
    ComboPers->setCurrentIndex(cfgrules::PersShownIndex(dm()));
}

void TPageConfigurazione::EditNoteConfigKeyPress(QChar key)
{
    if (key.unicode() != kEnter)
        return;
    EditNoteConfig->setText(cfgrules::CommitNote(dm(), EditNoteConfig->text()));
}

void TPageConfigurazione::EditNoteConfigExit() { EditNoteConfig->setText(cfgrules::ShownNote(dm())); }

void TPageConfigurazione::EditCodeIniettoreKeyPress(QChar) {}

void TPageConfigurazione::ImageResetClick()
{
    TFormConfig& form = Form();
    form.TimerDati->stop();
    if (form.MainHooks().resetFromPc)
        form.MainHooks().resetFromPc();
    form.ApplySwitchPageVisibility(true);
    form.BuildAllCellBounds();
    TabConfigurazioneShow();
    form.raise();
    form.TimerDati->start();
}
