// The Mappa page: the K-coefficient map in its three views with the axis
// shapes and titles around it, the petrol times as targets, the leaning, the
// neutral K, the enrichment and extra-injection sliders, the auto-calibration
// limit and the live OBD correctors.
#include "../FormConfigParts.h"
#include "../PageWidgets.h"
#include "ItemCodes.h"

#include "BuildConstants.h"
#include "DrawGridK.h"
#include "MappaControls.h"
#include "Scaling.h"
#include "editors/NumberText.h"
#include "editors/NumericEdit.h"
#include "iodata.h"

#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <algorithm>
#include <tuple>

namespace {

constexpr char16_t kEnter = 13;
constexpr int kExtraInjOffFlag = 2;
constexpr int kCutExtraInjBit = 0;
constexpr int kInjectorPairSecond = 1;
constexpr int kInjectorNeutralK = 35;
constexpr int kBarPictureOff = 10042;

} // namespace

using namespace cfgwin;

const TFormConfig::BindingTable& cfgwin::MappaRows()
{
    using F = TFormConfig;
    using Owner = TFormConfig;
    static const F::BindingTable rows = {
        {QZ_BOUND(EditSmagrimento), .code = dm::kLeaningCode, .captionName = "LabelSmagrimento", .limits = kItemLimits,
         .flags = kCommit | kRangeHint | kLoadByCode},
        {QZ_BOUND(RadioMapK), .caption = 691},
        {QZ_BOUND(RadioMapAdatta)},
        {QZ_BOUND(RadioMapCorr), .caption = 692},
        {QZ_BOUND(CheckExtraInj), .flags = kEnterClicks},
        {QZ_BOUND(CheckTagliaExtraIniettate), .caption = 693, .captionName = "LabelTagliaExtraIniettate",
         .flags = kEnterClicks},
        {QZ_BOUND(CheckAutotaratura), .flags = kEnterClicks},
        // The auto-calibration limit and the neutral K commit through their
        // own handlers; the neutral K only shows its value.
        {QZ_BOUND(EditAutotaratura), .limits = {10, 25, 0.01}, .flags = kRangeHint},
        {QZ_BOUND(EditKMappaNeutro), .limits = {1.5, 2.5, 0.1}, .flags = kReadOnly},
    };
    return rows;
}

void TFormConfig::BuildMappa()
{
    Builder b(this, TabMappa, &MappaRows());

    // The map in its frame, placed by LayoutMappaGrid.
    PanelMappaK = new QWidget(TabMappa);
    PanelMappaK->setObjectName(QStringLiteral("PanelMappaK"));
    PanelMappaK->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    ShapeTempoIniezione = b.shape("ShapeTempoIniezione", PanelMappaK);
    ShapeTempoIniezione->setBrush(plat::fromTColor(14671839));
    ShapeGiri = b.shape("ShapeGiri", PanelMappaK);
    ShapeGiri->setBrush(plat::fromTColor(14671839));
    LabelGiriMappa = b.label("LabelGiriMappa", PanelMappaK);
    LabelTempiMappa = b.label("LabelTempiMappa", PanelMappaK);
    for (QLabel* l : {LabelGiriMappa, LabelTempiMappa}) {
        cfgwin::Bold(l);
        l->setAlignment(Qt::AlignCenter);
        l->setCursor(Qt::PointingHandCursor);
        OnDoubleClick(l, [this] { ButtonModificaRiferimentiClick(); });
    }
    for (auto member : {&TFormConfig::RadioMapK, &TFormConfig::RadioMapAdatta, &TFormConfig::RadioMapCorr})
        b.bound(member, PanelMappaK);
    RadioMapAdatta->setText(QStringLiteral("target obd"));
    RadioMapK->setChecked(true);
    for (QRadioButton* r : {RadioMapK, RadioMapAdatta, RadioMapCorr})
        connect(r, &QRadioButton::clicked, this, [this] { RadioMapClick(); });
    DrawGridK = new ::DrawGridK(PanelMappaK);
    DrawGridK->setObjectName(QStringLiteral("DrawGridK"));
    connect(DrawGridK, &::DrawGridK::AutotaraturaCleared, this, [this] {
        // Clearing the box runs its click, which switches the limit off.
        if (CheckAutotaratura->isChecked()) {
            CheckAutotaratura->setChecked(false);
            CheckAutotaraturaClick();
        }
    });
    connect(DrawGridK, &::DrawGridK::BreakpointsDialogClosed, this, [this] {
        BuildMapKCellBounds();
        DrawGridK->update();
    });
    OnGeometry(PanelMappaK, [this] { LayoutMappaGrid(); });
    b.place(PanelMappaK, 0, 0, 7, 1);
    ImagePallino = b.picture("ImagePallino", TabMappa);
    ImagePallino->hide();

    // The petrol times as targets.
    {
        auto f = b.frame(0, 1, "ShapeTarget");
        ShapeTarget = static_cast<plat::Shape*>(f.widget());
        ImageTarget = b.picture("ImageTarget", f.widget());
        connect(ImageTarget, &plat::PictureButton::clicked, this, [this] { ImageTargetClick(); });
        LabelTarget1 = b.label("LabelTarget1", f.widget());
        LabelTarget2 = b.label("LabelTarget2", f.widget());
        LabTarget1 = b.label("LabTarget1", f.widget());
        LabTarget2 = b.label("LabTarget2", f.widget());
        LabelMsTarget1 = b.label("LabelMsTarget1", f.widget());
        LabelMsTarget2 = b.label("LabelMsTarget2", f.widget());
        ImageTarget2 = b.picture("ImageTarget2", f.widget());
        for (QLabel* l : {LabTarget1, LabTarget2}) {
            cfgwin::Bold(l);
            l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("000.0")) + 6);
        }
        QGridLayout* g = f.grid();
        g->addWidget(ImageTarget, 0, 0, 2, 1, Qt::AlignCenter);
        g->addWidget(LabelTarget1, 0, 1);
        g->addWidget(LabTarget1, 0, 2);
        g->addWidget(LabelMsTarget1, 0, 3);
        g->addWidget(LabelTarget2, 1, 1);
        g->addWidget(ImageTarget2, 1, 2);
        g->addWidget(LabTarget2, 1, 2);
        g->addWidget(LabelMsTarget2, 1, 3);
        g->setColumnStretch(0, 0);
        g->setColumnStretch(1, 1);
        for (QWidget* w : std::initializer_list<QWidget*>{LabelTarget2, LabTarget2, ImageTarget2, LabelMsTarget2})
            cfgwin::KeepPlace(w);
    }
    // The leaning and the neutral K.
    {
        PanelSmagrimento = b.panel("PanelSmagrimento");
        cfgwin::WhitePanel(PanelSmagrimento);
        b.place(PanelSmagrimento, 1, 1, 1, 1, Qt::AlignTop);
        Builder::Frame f(&b, PanelSmagrimento);
        f.row(&TFormConfig::EditSmagrimento);
        PanelKMappaNeutro = b.panel("PanelKMappaNeutro", PanelSmagrimento);
        auto* k = new QHBoxLayout(PanelKMappaNeutro);
        k->setContentsMargins(0, 0, 0, 0);
        auto* caption = b.label("LabelKMappaNeutro", PanelKMappaNeutro);
        caption->setText(QStringLiteral("K *"));
        k->addWidget(caption, 1);
        k->addWidget(b.bound(&TFormConfig::EditKMappaNeutro, PanelKMappaNeutro).control);
        f.line(PanelKMappaNeutro);
        connect(EditKMappaNeutro, &TNumericEdit::keyPressed, this, [this](QChar c) { EditKMappaNeutroKeyPress(c); });
    }
    // A slider: its minus and plus buttons either side of the track, the bar
    // placed over the track.
    const auto slider = [&](QWidget* parent, plat::PictureButton*& minus, const char* minusName,
                            plat::PictureButton*& plus, const char* plusName, plat::PictureButton*& track,
                            const char* trackName, plat::PictureButton*& bar, const char* barName) {
        auto* line = new QHBoxLayout;
        minus = b.picture(minusName, parent);
        plus = b.picture(plusName, parent);
        auto* groove = new QWidget(parent);
        track = b.picture(trackName, groove);
        track->setPicturePath(QStringLiteral(":/bmp/cfgtrack.png"));
        bar = b.picture(barName, groove);
        bar->setPicture(kBarPictureOff);
        const QSize t = track->sizeHint();
        const QSize k = bar->sizeHint();
        groove->setFixedSize(t.width() + k.width(), std::max(t.height(), k.height()));
        track->setGeometry(k.width() / 2, (groove->height() - t.height()) / 2, t.width(), t.height());
        bar->move(track->x(), (groove->height() - k.height()) / 2);
        bar->resize(k);
        line->addWidget(minus);
        line->addWidget(groove);
        line->addWidget(plus);
        line->addStretch(1);
        return line;
    };
    // The acceleration enrichment.
    {
        PanelArricchimentoAcc = b.panel("PanelArricchimentoAcc");
        cfgwin::WhitePanel(PanelArricchimentoAcc);
        b.place(PanelArricchimentoAcc, 2, 1, 1, 1, Qt::AlignTop);
        Builder::Frame f(&b, PanelArricchimentoAcc);
        LabelArricchimento = f.title("LabelArricchimento");
        f.grid()->addLayout(slider(PanelArricchimentoAcc, ImageMinus, "ImageMinus", ImagePlus, "ImagePlus", ImageBarra2,
                                   "ImageBarra2", ImageBar2, "ImageBar2"),
                            f.nextRow(), 0, 1, 3);
        connect(ImageMinus, &plat::PictureButton::clicked, this, [this] { ImageMinusClick(); });
        connect(ImagePlus, &plat::PictureButton::clicked, this, [this] { ImagePlusClick(); });
    }
    // The extra injections: cutting them hides their sensitivity.
    {
        auto f = b.frame(3, 1);
        LabelTagliaExtraIniettate = f.row(&TFormConfig::CheckTagliaExtraIniettate).caption;
        auto inner = f.frame("ShapeExtraInj");
        ShapeExtraInj = static_cast<plat::Shape*>(inner.widget());
        ShapeExtraInj->setPen(Qt::NoPen);
        QWidget* box = inner.widget();
        inner.grid()->setContentsMargins(0, 0, 0, 0);
        LabelExtraInj = b.label("LabelExtraInj", box);
        const auto check = b.bound(&TFormConfig::CheckExtraInj, box);
        inner.grid()->addLayout(cfgwin::ButtonWithCaption(check.control, LabelExtraInj), 0, 0, 1, 3);
        inner.grid()->addLayout(slider(box, ImageMinusExtraInj, "ImageMinusExtraInj", ImagePlusExtraInj,
                                       "ImagePlusExtraInj", ImageBarra1, "ImageBarra1", ImageBar1, "ImageBar1"),
                                1, 0, 1, 3);
        connect(ImageMinusExtraInj, &plat::PictureButton::clicked, this, [this] { ImageMinusExtraInjClick(); });
        connect(ImagePlusExtraInj, &plat::PictureButton::clicked, this, [this] { ImagePlusExtraInjClick(); });
        connect(CheckExtraInj, &QCheckBox::clicked, this, [this] { CheckExtraInjClick(); });
        connect(CheckTagliaExtraIniettate, &QCheckBox::clicked, this, [this] { CheckTagliaExtraIniettateClick(); });
    }
    // The auto-calibration limit.
    {
        PanelAutotaratura = b.panel("PanelAutotaratura");
        cfgwin::WhitePanel(PanelAutotaratura);
        b.place(PanelAutotaratura, 4, 1, 1, 1, Qt::AlignTop);
        auto* line = new QHBoxLayout(PanelAutotaratura);
        line->setContentsMargins(10, 6, 10, 6);
        b.bound(&TFormConfig::CheckAutotaratura, PanelAutotaratura);
        CheckAutotaratura->setText(QStringLiteral("Autotaratura con t. b. max."));
        b.bound(&TFormConfig::EditAutotaratura, PanelAutotaratura);
        LabAutotaratura = b.label("LabAutotaratura", PanelAutotaratura);
        LabAutotaratura->setText(QStringLiteral("ms"));
        line->addWidget(CheckAutotaratura, 1);
        line->addWidget(EditAutotaratura);
        line->addWidget(LabAutotaratura);
        cfgwin::KeepPlace(EditAutotaratura);
        cfgwin::KeepPlace(LabAutotaratura);
        connect(CheckAutotaratura, &QCheckBox::clicked, this, [this] { CheckAutotaraturaClick(); });
        connect(EditAutotaratura, &TNumericEdit::keyPressed, this, [this](QChar c) { EditAutotaraturaKeyPress(c); });
    }
    // The live OBD correctors of the two banks, at the foot of the column:
    // the map reaches down to them.
    {
        // Nothing shows here while the ECU reports no OBD values.
        auto* obd = new QWidget(TabMappa);
        obd->setObjectName(QStringLiteral("PanelObd"));
        b.place(obd, 6, 1, 1, 1, Qt::AlignBottom);
        Builder::Frame f(&b, obd);
        f.grid()->setContentsMargins(0, 0, 0, 0);
        auto* lampsRow = new QWidget(obd);
        auto* state = new QHBoxLayout(lampsRow);
        state->setContentsMargins(0, 0, 0, 0);
        const std::tuple<plat::PictureButton * TFormConfig::*, const char*, const char*> lamps[] = {
            {&TFormConfig::ImageObdInfo, "ImageObdInfo", ":/bmp/obdinfo.png"},
            {&TFormConfig::ImageObdOk, "ImageObdOk", ":/bmp/obdok.png"},
            {&TFormConfig::ImageObdKo, "ImageObdKo", ":/bmp/obdko.png"}};
        for (const auto& [member, name, picture] : lamps) {
            plat::PictureButton* p = b.picture(name, lampsRow);
            p->setPicturePath(QString::fromLatin1(picture));
            cfgwin::KeepPlace(p);
            p->hide();
            state->addWidget(p);
            this->*member = p;
        }
        state->addStretch(1);
        f.line(lampsRow);
        for (int bank = 0; bank < 2; ++bank) {
            const QByteArray n = QByteArray::number(bank);
            QFrame* panel = b.panel(("PanelCorrettori" + n).constData(), f.widget());
            cfgwin::WhitePanel(panel);
            auto* g = new QGridLayout(panel);
            g->setContentsMargins(8, 4, 8, 4);
            QLabel* title = b.label(("LabelCorrettori" + n).constData(), panel);
            cfgwin::Bold(title);
            title->setAutoFillBackground(true);
            title->setAlignment(Qt::AlignCenter);
            g->addWidget(title, 0, 0, 1, 4);
            QLabel* slow = b.label(("LabCorrSlow" + n).constData(), panel);
            QLabel* fast = b.label(("LabCorrFast" + n).constData(), panel);
            for (QLabel* v : {slow, fast}) {
                cfgwin::Bold(v);
                v->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                // Fixed: a new reading on every tick lays nothing out again.
                v->setFixedSize(v->fontMetrics().horizontalAdvance(QStringLiteral("-100.0%")) + 6,
                                v->fontMetrics().height());
                cfgwin::KeepPlace(v);
            }
            g->addWidget(b.label(("LabelSlow" + n).constData(), panel), 1, 0);
            g->addWidget(slow, 1, 1);
            g->addWidget(b.label(("LabelFast" + n).constData(), panel), 1, 2);
            g->addWidget(fast, 1, 3);
            cfgwin::KeepPlace(panel);
            panel->hide();
            f.line(panel);
            (bank == 0 ? PanelCorrettori0 : PanelCorrettori1) = panel;
            (bank == 0 ? LabelCorrettori0 : LabelCorrettori1) = title;
            (bank == 0 ? LabCorrSlow0 : LabCorrSlow1) = slow;
            (bank == 0 ? LabCorrFast0 : LabCorrFast1) = fast;
        }
        OnGeometry(f.widget(), [this] { LayoutMappaGrid(); });
    }
    OnGeometry(ShapeTarget, [this] { LayoutMappaGrid(); });
    b.remainingRows();
    // The map takes what the column of controls leaves; its frame ends at the
    // correctors.
    b.grid()->setColumnStretch(0, 1);
    b.grid()->setRowStretch(5, 1);
}

// ---------------------------------------------------------------------------
// The map

void TFormConfig::RadioMapClick()
{
    const mapk::View view = RadioMapCorr->isChecked()     ? mapk::View::Reduced
                            : RadioMapAdatta->isChecked() ? mapk::View::TargetObd
                                                          : mapk::View::Extended;
    DrawGridK->RadioMapClick(view);
    LayoutMappaGrid();
    DrawGridK->update();
}

void TFormConfig::LayoutMappaGrid()
{
    if (!PanelMappaK || !ShapeTarget || !PanelCorrettori0)
        return;
    const bool reduced = DrawGridK->View() == mapk::View::Reduced;
    // The band over the grid holds the titles and the radio buttons.
    int band = LabelGiriMappa->sizeHint().height();
    for (QRadioButton* r : {RadioMapK, RadioMapAdatta, RadioMapCorr})
        band = std::max(band, r->sizeHint().height());
    band += 6;
    const int left = 1;
    const int top = band;
    // The grid ends at 96 % of the target frame's left edge, and at the foot
    // of the correctors' frame.
    const int right = ShapeTarget->x() * 96 / 100 - PanelMappaK->x();
    const QPoint foot = PanelCorrettori0->mapTo(TabMappa, QPoint(0, PanelCorrettori0->height()));
    const int bottom = std::min(foot.y() - PanelMappaK->y(), PanelMappaK->height());
    DrawGridK->setGeometry(left, top, std::max(right - left, 40), std::max(bottom - top, 40));
    DrawGridK->FitCells();

    const int column = DrawGridK->DefaultColWidth();
    const QRect grid = DrawGridK->geometry();
    // The row axis's column with the band above it, and the band over the
    // rpm columns (the whole grid in the reduced view).
    ShapeTempoIniezione->setGeometry(grid.left() - 1, grid.top() - band, column + 2, grid.height() + band);
    const int giriLeft = reduced ? grid.left() - 1 : grid.left() + column + 1;
    ShapeGiri->setGeometry(giriLeft, grid.top() - band, grid.right() + 2 - giriLeft, band - 1);
    LabelTempiMappa->setGeometry(ShapeTempoIniezione->x(), ShapeGiri->y(), ShapeTempoIniezione->width(), band - 1);
    LabelGiriMappa->setGeometry(ShapeGiri->geometry());
    for (QWidget* w : std::initializer_list<QWidget*>{ShapeTempoIniezione, LabelTempiMappa, LabelGiriMappa})
        w->setVisible(!reduced);
    // The radio buttons in the band: "mappa estesa" at its left, "mappa
    // ridotta" at its right end, "target obd" before it with the same gap.
    const int gap = ShapeGiri->height();
    const auto place = [&](QRadioButton* r, int x) {
        r->resize(r->sizeHint());
        r->move(x, ShapeGiri->y() + (ShapeGiri->height() - r->height()) / 2);
    };
    place(RadioMapK, ShapeGiri->x() + gap);
    place(RadioMapCorr, ShapeGiri->x() + ShapeGiri->width() - RadioMapCorr->sizeHint().width() - gap / 2);
    place(RadioMapAdatta, RadioMapCorr->x() - gap - RadioMapAdatta->sizeHint().width());
    ShapeTempoIniezione->lower();
    ShapeGiri->lower();
    DrawGridK->raise();
    for (QWidget* w :
         std::initializer_list<QWidget*>{LabelTempiMappa, LabelGiriMappa, RadioMapK, RadioMapAdatta, RadioMapCorr})
        w->raise();
}

void TFormConfig::ButtonModificaRiferimentiClick()
{
    // The grid's own breakpoints dialog: shown modally, then the bounds are
    // built again and the grid repainted.
    DrawGridK->EditBreakpoints();
}

// ---------------------------------------------------------------------------
// The sliders

void TFormConfig::placeSliderBars()
{
    placeEnrichmentBar(dm::TruncToInt(dm().GetValueByCode(cfgrules::kEnrichmentCode)));
    placeExtraInjBar(cfgrules::ExtraInjSteps(
        static_cast<double>(dm().GetElementByCode(cfgrules::kExtraInjCode, cfgrules::kExtraInjElement))));
}

void TFormConfig::placeEnrichmentBar(int value)
{
    ImageBar2->move(cfgrules::EnrichmentBarLeft(value, ImageBarra2->x(), ImageBarra2->width(), ImageBar2->width()),
                    ImageBar2->y());
}

void TFormConfig::placeExtraInjBar(int steps)
{
    ImageBar1->move(cfgrules::ExtraInjBarLeft(steps, ImageBarra1->x(), ImageBarra1->width(), ImageBar1->width()),
                    ImageBar1->y());
}

namespace {

// A step of the enrichment: written at once; the bar goes where the step
// says, without reading the value back.
int enrichmentStep(TStreamDati& d, bool up)
{
    const double stored = static_cast<double>(d.GetValueByCode(cfgrules::kEnrichmentCode));
    const auto next = cfgrules::EnrichmentStep(stored, up);
    if (!next)
        return dm::TruncToInt(stored);
    d.SetValueByCode(cfgrules::kEnrichmentCode, *next);
    return *next;
}

int extraInjStep(TStreamDati& d, bool up)
{
    const double stored = static_cast<double>(d.GetElementByCode(cfgrules::kExtraInjCode, cfgrules::kExtraInjElement));
    const auto next = cfgrules::ExtraInjStep(stored, up);
    if (!next)
        return cfgrules::ExtraInjSteps(stored);
    d.SetElementByCode(cfgrules::kExtraInjCode, cfgrules::kExtraInjElement, *next);
    return cfgrules::ExtraInjSteps(stored) + (up ? 1 : -1);
}

} // namespace

void TFormConfig::ImageMinusClick() { placeEnrichmentBar(enrichmentStep(dm(), false)); }
void TFormConfig::ImagePlusClick() { placeEnrichmentBar(enrichmentStep(dm(), true)); }
void TFormConfig::ImageMinusExtraInjClick() { placeExtraInjBar(extraInjStep(dm(), false)); }
void TFormConfig::ImagePlusExtraInjClick() { placeExtraInjBar(extraInjStep(dm(), true)); }

// ---------------------------------------------------------------------------
// The boxes and editors

void TFormConfig::showExtraInjControls()
{
    const bool cut = CheckTagliaExtraIniettate->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{LabelExtraInj, ShapeExtraInj, CheckExtraInj, ImageMinusExtraInj,
                                                      ImagePlusExtraInj, ImageBar1, ImageBarra1})
        w->setVisible(!cut);
    const bool on = CheckExtraInj->isChecked();
    ImageMinusExtraInj->setEnabled(on);
    ImagePlusExtraInj->setEnabled(on);
}

void TFormConfig::CheckExtraInjClick()
{
    if (!LoadingControls)
        dm().SetFlag(kExtraInjOffFlag, !CheckExtraInj->isChecked());
    const bool on = CheckExtraInj->isChecked();
    ImageMinusExtraInj->setEnabled(on);
    ImagePlusExtraInj->setEnabled(on);
}

void TFormConfig::CheckTagliaExtraIniettateClick()
{
    if (!LoadingControls)
        dm().SetFlag3(kCutExtraInjBit, CheckTagliaExtraIniettate->isChecked());
    showExtraInjControls();
}

void TFormConfig::CheckAutotaraturaClick()
{
    const bool ticked = CheckAutotaratura->isChecked();
    if (!LoadingControls) {
        const auto change =
            cfgrules::AutotaraturaClick(ticked, RememberedAutotaratura, static_cast<double>(dm().GetTOpenLoop(0)));
        RememberedAutotaratura = change.remembered;
        dm().SetTOpenLoop(0, change.write);
    }
    ShowLoaded(EditAutotaratura, static_cast<double>(dm().GetTOpenLoop(0)));
    EditAutotaratura->setVisible(ticked);
    LabAutotaratura->setVisible(ticked);
}

void TFormConfig::EditAutotaraturaKeyPress(QChar key)
{
    if (key.unicode() != kEnter)
        return;
    // Untouched, it writes nothing and shows the stored limit again.
    if (Touched(EditAutotaratura))
        dm().SetTOpenLoop(0, EditAutotaratura->GetAsFloat());
    ShowLoaded(EditAutotaratura, static_cast<double>(dm().GetTOpenLoop(0)));
}

void TFormConfig::EditKMappaNeutroKeyPress(QChar key)
{
    // The neutral K is shown, not typed: Enter shows the stored value again
    // and writes nothing (a write of the shown, rounded value would change it).
    if (key.unicode() == kEnter)
        ShowLoaded(EditKMappaNeutro, static_cast<double>(dm().GetValueByCode(dm::kNeutralKCode)));
}

void TFormConfig::ImageTargetClick()
{
    const QChar separator = complib::DecimalSeparator();
    LabTarget1->setText(cfglive::TargetTimeText(LiveValues.PetrolTime1, separator));
    LabTarget2->setText(cfglive::TargetTimeText(LiveValues.PetrolTime2, separator));
}

// ---------------------------------------------------------------------------
// Loading

void TFormConfig::TabMappaShow()
{
    // The grid: all three views on offer, the grid fitted to the page, and
    // the dot placed again on the next tick.
    for (QRadioButton* r : {RadioMapAdatta, RadioMapCorr, RadioMapK})
        r->setVisible(true);
    DrawGridK->RadioMapClick(DrawGridK->View());
    LayoutMappaGrid();
    MapKTracking.repaintCounter = cfglive::MapKTracker::kRepaintThreshold;
    DrawGridK->SetDotPicture(ImagePallino->currentPicture());

    // The controls.
    LoadByCode(cfgwin::PageMappa);
    placeSliderBars();
    const std::uint8_t wasLoading = LoadingControls;
    LoadingControls = 1;
    CheckExtraInj->setChecked(dm().GetFlag(kExtraInjOffFlag) == 0);
    CheckTagliaExtraIniettate->setChecked(dm().GetFlag3(kCutExtraInjBit) != 0);
    CheckTagliaExtraIniettate->setEnabled(dm().Flag34Present != 0);
    const double limit = static_cast<double>(dm().GetTOpenLoop(0));
    CheckAutotaratura->setChecked(cfgrules::AutotaraturaOn(limit));
    ShowLoaded(EditAutotaratura, limit);
    EditAutotaratura->setVisible(CheckAutotaratura->isChecked());
    LabAutotaratura->setVisible(CheckAutotaratura->isChecked());
    LoadingControls = wasLoading;
    showExtraInjControls();
    ShowLoadedInteger(EditSmagrimento, dm::TruncToInt(dm().GetValueByCode(dm::kLeaningCode)));
    const bool monoplug = dm().EcuInfo.EcuType == qz::ECU_TYPE_MONOPLUG;
    PanelArricchimentoAcc->setVisible(!monoplug);
    ShowLoaded(EditKMappaNeutro, static_cast<double>(dm().GetValueByCode(dm::kNeutralKCode)));
    PanelKMappaNeutro->setVisible(dm().ItemBCPresent != 0 &&
                                  (dm().GetTipoIniettore(kInjectorPairSecond) == kInjectorNeutralK || monoplug));
}
