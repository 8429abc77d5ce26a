#include "PageMappa.h"

#include "config/window/FormConfigParts.h"
#include "config/window/PageWidgets.h"
#include "datamodule/core/ItemCodes.h"

#include "complib/numbers/NumberText.h"
#include "complib/editors/NumericEdit.h"
#include "config/mapk/DrawGridK.h"
#include "config/rules/MappaControls.h"
#include "datamodule/core/Scaling.h"
#include "datamodule/core/iodata.h"
#include "product/constants/BuildConstants.h"

#include "plat/Colors.h"
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
// The dot's picture, and the buttons' pictures released and pressed.
constexpr int kPictureDot = 10039;
constexpr int kPictureTarget = 10033, kPictureTargetDown = 10034;
constexpr int kPicturePlus = 10035, kPicturePlusDown = 10036;
constexpr int kPictureMinus = 10037, kPictureMinusDown = 10038;

// The live tick's writes: each only when it changes something, so that an
// unchanged reading repaints nothing.
void setFill(QWidget* w, std::uint32_t colour)
{
    const QColor c = plat::FromTColor(colour);
    if (w->palette().color(QPalette::Window) == c)
        return;
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, c);
    w->setPalette(pal);
}

void setText(QLabel* l, const QString& text)
{
    if (l->text() != text)
        l->setText(text);
}

void setPicture(plat::PictureButton* p, int id)
{
    if (p->currentId() != id)
        p->setPicture(id);
}

void setShown(QWidget* w, bool shown)
{
    if (w->isHidden() == shown)
        w->setVisible(shown);
}

} // namespace

using namespace cfgwin;

const TFormConfig::BindingTable& TPageMappa::Rows()
{
    using F = TFormConfig;
    using Owner = TPageMappa;
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

void TPageMappa::Build()
{
    TFormConfig::Builder b(&Form(), Sheet(), &Rows(), this);

    // The map in its frame, placed by LayoutMappaGrid.
    PanelMappaK = new QWidget(Sheet());
    PanelMappaK->setObjectName(QStringLiteral("PanelMappaK"));
    PanelMappaK->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    ShapeTempoIniezione = b.Shape("ShapeTempoIniezione", PanelMappaK);
    ShapeTempoIniezione->setBrush(plat::FromTColor(14671839));
    ShapeGiri = b.Shape("ShapeGiri", PanelMappaK);
    ShapeGiri->setBrush(plat::FromTColor(14671839));
    LabelGiriMappa = b.Label("LabelGiriMappa", PanelMappaK);
    LabelTempiMappa = b.Label("LabelTempiMappa", PanelMappaK);
    for (QLabel* l : {LabelGiriMappa, LabelTempiMappa}) {
        cfgwin::Bold(l);
        l->setAlignment(Qt::AlignCenter);
        l->setCursor(Qt::PointingHandCursor);
        OnDoubleClick(l, [this] { ButtonModificaRiferimentiClick(); });
    }
    for (auto member : {&TPageMappa::RadioMapK, &TPageMappa::RadioMapAdatta, &TPageMappa::RadioMapCorr})
        b.Bound(member, PanelMappaK);
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
        Form().BuildMapKCellBounds();
        DrawGridK->update();
    });
    OnGeometry(PanelMappaK, [this] { LayoutMappaGrid(); });
    b.Place(PanelMappaK, 0, 0, 7, 1);
    ImagePallino = b.Picture("ImagePallino", Sheet());
    ImagePallino->hide();

    // The petrol times as targets.
    {
        auto f = b.FrameAt(0, 1, "ShapeTarget");
        ShapeTarget = static_cast<plat::Shape*>(f.Widget());
        ImageTarget = b.Picture("ImageTarget", f.Widget());
        connect(ImageTarget, &plat::PictureButton::clicked, this, [this] { ImageTargetClick(); });
        LabelTarget1 = b.Label("LabelTarget1", f.Widget());
        LabelTarget2 = b.Label("LabelTarget2", f.Widget());
        LabTarget1 = b.Label("LabTarget1", f.Widget());
        LabTarget2 = b.Label("LabTarget2", f.Widget());
        LabelMsTarget1 = b.Label("LabelMsTarget1", f.Widget());
        LabelMsTarget2 = b.Label("LabelMsTarget2", f.Widget());
        ImageTarget2 = b.Picture("ImageTarget2", f.Widget());
        for (QLabel* l : {LabTarget1, LabTarget2}) {
            cfgwin::Bold(l);
            l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("000.0")) + 6);
        }
        QGridLayout* g = f.Grid();
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
        PanelSmagrimento = b.Panel("PanelSmagrimento");
        cfgwin::WhitePanel(PanelSmagrimento);
        b.Place(PanelSmagrimento, 1, 1, 1, 1, Qt::AlignTop);
        TFormConfig::Builder::Frame f(&b, PanelSmagrimento);
        f.Row(&TPageMappa::EditSmagrimento);
        PanelKMappaNeutro = b.Panel("PanelKMappaNeutro", PanelSmagrimento);
        auto* k = new QHBoxLayout(PanelKMappaNeutro);
        k->setContentsMargins(0, 0, 0, 0);
        auto* caption = b.Label("LabelKMappaNeutro", PanelKMappaNeutro);
        caption->setText(QStringLiteral("K *"));
        k->addWidget(caption, 1);
        k->addWidget(b.Bound(&TPageMappa::EditKMappaNeutro, PanelKMappaNeutro).control);
        f.Line(PanelKMappaNeutro);
        connect(EditKMappaNeutro, &TNumericEdit::keyPressed, this, [this](QChar c) { EditKMappaNeutroKeyPress(c); });
    }
    // A slider: its minus and plus buttons either side of the track, the bar
    // placed over the track.
    const auto slider = [&](QWidget* parent, plat::PictureButton*& minus, const char* minusName,
                            plat::PictureButton*& plus, const char* plusName, plat::PictureButton*& track,
                            const char* trackName, plat::PictureButton*& bar, const char* barName) {
        auto* line = new QHBoxLayout;
        minus = b.Picture(minusName, parent);
        plus = b.Picture(plusName, parent);
        auto* groove = new QWidget(parent);
        track = b.Picture(trackName, groove);
        track->setPicturePath(QStringLiteral(":/bmp/cfgtrack.png"));
        bar = b.Picture(barName, groove);
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
        PanelArricchimentoAcc = b.Panel("PanelArricchimentoAcc");
        cfgwin::WhitePanel(PanelArricchimentoAcc);
        b.Place(PanelArricchimentoAcc, 2, 1, 1, 1, Qt::AlignTop);
        TFormConfig::Builder::Frame f(&b, PanelArricchimentoAcc);
        LabelArricchimento = f.Title("LabelArricchimento");
        f.Grid()->addLayout(slider(PanelArricchimentoAcc, ImageMinus, "ImageMinus", ImagePlus, "ImagePlus", ImageBarra2,
                                   "ImageBarra2", ImageBar2, "ImageBar2"),
                            f.NextRow(), 0, 1, 3);
        connect(ImageMinus, &plat::PictureButton::clicked, this, [this] { ImageMinusClick(); });
        connect(ImagePlus, &plat::PictureButton::clicked, this, [this] { ImagePlusClick(); });
    }
    // The extra injections: cutting them hides their sensitivity.
    {
        auto f = b.FrameAt(3, 1);
        LabelTagliaExtraIniettate = f.Row(&TPageMappa::CheckTagliaExtraIniettate).caption;
        auto inner = f.InnerFrame("ShapeExtraInj");
        ShapeExtraInj = static_cast<plat::Shape*>(inner.Widget());
        ShapeExtraInj->setPen(Qt::NoPen);
        QWidget* box = inner.Widget();
        inner.Grid()->setContentsMargins(0, 0, 0, 0);
        LabelExtraInj = b.Label("LabelExtraInj", box);
        const auto check = b.Bound(&TPageMappa::CheckExtraInj, box);
        inner.Grid()->addLayout(cfgwin::ButtonWithCaption(check.control, LabelExtraInj), 0, 0, 1, 3);
        inner.Grid()->addLayout(slider(box, ImageMinusExtraInj, "ImageMinusExtraInj", ImagePlusExtraInj,
                                       "ImagePlusExtraInj", ImageBarra1, "ImageBarra1", ImageBar1, "ImageBar1"),
                                1, 0, 1, 3);
        connect(ImageMinusExtraInj, &plat::PictureButton::clicked, this, [this] { ImageMinusExtraInjClick(); });
        connect(ImagePlusExtraInj, &plat::PictureButton::clicked, this, [this] { ImagePlusExtraInjClick(); });
        connect(CheckExtraInj, &QCheckBox::clicked, this, [this] { CheckExtraInjClick(); });
        connect(CheckTagliaExtraIniettate, &QCheckBox::clicked, this, [this] { CheckTagliaExtraIniettateClick(); });
    }
    // The auto-calibration limit.
    {
        PanelAutotaratura = b.Panel("PanelAutotaratura");
        cfgwin::WhitePanel(PanelAutotaratura);
        b.Place(PanelAutotaratura, 4, 1, 1, 1, Qt::AlignTop);
        auto* line = new QHBoxLayout(PanelAutotaratura);
        line->setContentsMargins(10, 6, 10, 6);
        b.Bound(&TPageMappa::CheckAutotaratura, PanelAutotaratura);
        CheckAutotaratura->setText(QStringLiteral("Autotaratura con t. b. max."));
        b.Bound(&TPageMappa::EditAutotaratura, PanelAutotaratura);
        LabAutotaratura = b.Label("LabAutotaratura", PanelAutotaratura);
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
        auto* obd = new QWidget(Sheet());
        obd->setObjectName(QStringLiteral("PanelObd"));
        b.Place(obd, 6, 1, 1, 1, Qt::AlignBottom);
        TFormConfig::Builder::Frame f(&b, obd);
        f.Grid()->setContentsMargins(0, 0, 0, 0);
        auto* lampsRow = new QWidget(obd);
        auto* state = new QHBoxLayout(lampsRow);
        state->setContentsMargins(0, 0, 0, 0);
        const std::tuple<plat::PictureButton * TPageMappa::*, const char*, const char*> lamps[] = {
            {&TPageMappa::ImageObdInfo, "ImageObdInfo", ":/bmp/obdinfo.png"},
            {&TPageMappa::ImageObdOk, "ImageObdOk", ":/bmp/obdok.png"},
            {&TPageMappa::ImageObdKo, "ImageObdKo", ":/bmp/obdko.png"}};
        for (const auto& [member, name, picture] : lamps) {
            plat::PictureButton* p = b.Picture(name, lampsRow);
            p->setPicturePath(QString::fromLatin1(picture));
            cfgwin::KeepPlace(p);
            p->hide();
            state->addWidget(p);
            this->*member = p;
        }
        state->addStretch(1);
        f.Line(lampsRow);
        for (int bank = 0; bank < 2; ++bank) {
            const QByteArray n = QByteArray::number(bank);
            QFrame* panel = b.Panel(("PanelCorrettori" + n).constData(), f.Widget());
            cfgwin::WhitePanel(panel);
            auto* g = new QGridLayout(panel);
            g->setContentsMargins(8, 4, 8, 4);
            QLabel* title = b.Label(("LabelCorrettori" + n).constData(), panel);
            cfgwin::Bold(title);
            title->setAutoFillBackground(true);
            title->setAlignment(Qt::AlignCenter);
            g->addWidget(title, 0, 0, 1, 4);
            QLabel* slow = b.Label(("LabCorrSlow" + n).constData(), panel);
            QLabel* fast = b.Label(("LabCorrFast" + n).constData(), panel);
            for (QLabel* v : {slow, fast}) {
                cfgwin::Bold(v);
                v->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                // Fixed: a new reading on every tick lays nothing out again.
                v->setFixedSize(v->fontMetrics().horizontalAdvance(QStringLiteral("-100.0%")) + 6,
                                v->fontMetrics().height());
                cfgwin::KeepPlace(v);
            }
            g->addWidget(b.Label(("LabelSlow" + n).constData(), panel), 1, 0);
            g->addWidget(slow, 1, 1);
            g->addWidget(b.Label(("LabelFast" + n).constData(), panel), 1, 2);
            g->addWidget(fast, 1, 3);
            cfgwin::KeepPlace(panel);
            panel->hide();
            f.Line(panel);
            (bank == 0 ? PanelCorrettori0 : PanelCorrettori1) = panel;
            (bank == 0 ? LabelCorrettori0 : LabelCorrettori1) = title;
            (bank == 0 ? LabCorrSlow0 : LabCorrSlow1) = slow;
            (bank == 0 ? LabCorrFast0 : LabCorrFast1) = fast;
        }
        OnGeometry(f.Widget(), [this] { LayoutMappaGrid(); });
    }
    OnGeometry(ShapeTarget, [this] { LayoutMappaGrid(); });
    b.RemainingRows();
    // The map takes what the column of controls leaves; its frame ends at the
    // correctors.
    b.Grid()->setColumnStretch(0, 1);
    b.Grid()->setRowStretch(5, 1);
}

// ---------------------------------------------------------------------------
// The map

void TPageMappa::RadioMapClick()
{
    const mapk::View view = RadioMapCorr->isChecked()     ? mapk::View::Reduced
                            : RadioMapAdatta->isChecked() ? mapk::View::TargetObd
                                                          : mapk::View::Extended;
    DrawGridK->RadioMapClick(view);
    LayoutMappaGrid();
    DrawGridK->update();
}

void TPageMappa::LayoutMappaGrid()
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
    const QPoint foot = PanelCorrettori0->mapTo(Sheet(), QPoint(0, PanelCorrettori0->height()));
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

void TPageMappa::ButtonModificaRiferimentiClick()
{
    // The grid's own breakpoints dialog: shown modally, then the bounds are
    // built again and the grid repainted.
    DrawGridK->EditBreakpoints();
}

// ---------------------------------------------------------------------------
// The sliders

void TPageMappa::placeSliderBars()
{
    placeEnrichmentBar(dm::TruncToInt(dm().GetValueByCode(cfgrules::kEnrichmentCode)));
    placeExtraInjBar(cfgrules::ExtraInjSteps(
        static_cast<double>(dm().GetElementByCode(cfgrules::kExtraInjCode, cfgrules::kExtraInjElement))));
}

void TPageMappa::placeEnrichmentBar(int value)
{
    ImageBar2->move(cfgrules::EnrichmentBarLeft(value, ImageBarra2->x(), ImageBarra2->width(), ImageBar2->width()),
                    ImageBar2->y());
}

void TPageMappa::placeExtraInjBar(int steps)
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

void TPageMappa::ImageMinusClick() { placeEnrichmentBar(enrichmentStep(dm(), false)); }
void TPageMappa::ImagePlusClick() { placeEnrichmentBar(enrichmentStep(dm(), true)); }
void TPageMappa::ImageMinusExtraInjClick() { placeExtraInjBar(extraInjStep(dm(), false)); }
void TPageMappa::ImagePlusExtraInjClick() { placeExtraInjBar(extraInjStep(dm(), true)); }

// ---------------------------------------------------------------------------
// The boxes and editors

void TPageMappa::showExtraInjControls()
{
    const bool cut = CheckTagliaExtraIniettate->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{LabelExtraInj, ShapeExtraInj, CheckExtraInj, ImageMinusExtraInj,
                                                      ImagePlusExtraInj, ImageBar1, ImageBarra1})
        w->setVisible(!cut);
    const bool on = CheckExtraInj->isChecked();
    ImageMinusExtraInj->setEnabled(on);
    ImagePlusExtraInj->setEnabled(on);
}

void TPageMappa::CheckExtraInjClick()
{
    if (!LoadingControls)
        dm().SetFlag(kExtraInjOffFlag, !CheckExtraInj->isChecked());
    const bool on = CheckExtraInj->isChecked();
    ImageMinusExtraInj->setEnabled(on);
    ImagePlusExtraInj->setEnabled(on);
}

void TPageMappa::CheckTagliaExtraIniettateClick()
{
    if (!LoadingControls)
        dm().SetFlag3(kCutExtraInjBit, CheckTagliaExtraIniettate->isChecked());
    showExtraInjControls();
}

void TPageMappa::CheckAutotaraturaClick()
{
    const bool ticked = CheckAutotaratura->isChecked();
    if (!LoadingControls) {
        const auto change =
            cfgrules::AutotaraturaClick(ticked, RememberedAutotaratura, static_cast<double>(dm().GetTOpenLoop(0)));
        RememberedAutotaratura = change.remembered;
        dm().SetTOpenLoop(0, change.write);
    }
    Form().ShowLoaded(EditAutotaratura, static_cast<double>(dm().GetTOpenLoop(0)));
    EditAutotaratura->setVisible(ticked);
    LabAutotaratura->setVisible(ticked);
}

void TPageMappa::EditAutotaraturaKeyPress(QChar key)
{
    if (key.unicode() != kEnter)
        return;
    // Untouched, it writes nothing and shows the stored limit again.
    if (Form().Touched(EditAutotaratura))
        dm().SetTOpenLoop(0, EditAutotaratura->GetAsFloat());
    Form().ShowLoaded(EditAutotaratura, static_cast<double>(dm().GetTOpenLoop(0)));
}

void TPageMappa::EditKMappaNeutroKeyPress(QChar key)
{
    // The neutral K is shown, not typed: Enter shows the stored value again
    // and writes nothing (a write of the shown, rounded value would change it).
    if (key.unicode() == kEnter)
        Form().ShowLoaded(EditKMappaNeutro, static_cast<double>(dm().GetValueByCode(dm::kNeutralKCode)));
}

void TPageMappa::ImageTargetClick()
{
    const QChar separator = complib::DecimalSeparator();
    LabTarget1->setText(cfglive::TargetTimeText(Form().LiveValues.PetrolTime1, separator));
    LabTarget2->setText(cfglive::TargetTimeText(Form().LiveValues.PetrolTime2, separator));
}

// ---------------------------------------------------------------------------
// Loading

void TPageMappa::TabMappaShow()
{
    // The grid: all three views on offer, the grid fitted to the page, and
    // the dot placed again on the next tick.
    for (QRadioButton* r : {RadioMapAdatta, RadioMapCorr, RadioMapK})
        r->setVisible(true);
    DrawGridK->RadioMapClick(DrawGridK->View());
    LayoutMappaGrid();
    Form().MapKTracking.repaintCounter = cfglive::MapKTracker::kRepaintThreshold;
    DrawGridK->SetDotPicture(ImagePallino->currentPicture());

    // The controls.
    Form().LoadByCode(cfgwin::PageMappa);
    placeSliderBars();
    const std::uint8_t wasLoading = LoadingControls;
    LoadingControls = 1;
    CheckExtraInj->setChecked(dm().GetFlag(kExtraInjOffFlag) == 0);
    CheckTagliaExtraIniettate->setChecked(dm().GetFlag3(kCutExtraInjBit) != 0);
    CheckTagliaExtraIniettate->setEnabled(dm().Flag34Present != 0);
    const double limit = static_cast<double>(dm().GetTOpenLoop(0));
    CheckAutotaratura->setChecked(cfgrules::AutotaraturaOn(limit));
    Form().ShowLoaded(EditAutotaratura, limit);
    EditAutotaratura->setVisible(CheckAutotaratura->isChecked());
    LabAutotaratura->setVisible(CheckAutotaratura->isChecked());
    LoadingControls = wasLoading;
    showExtraInjControls();
    Form().ShowLoadedInteger(EditSmagrimento, dm::TruncToInt(dm().GetValueByCode(dm::kLeaningCode)));
    const bool monoplug = dm().EcuInfo.EcuType == qz::ECU_TYPE_MONOPLUG;
    PanelArricchimentoAcc->setVisible(!monoplug);
    Form().ShowLoaded(EditKMappaNeutro, static_cast<double>(dm().GetValueByCode(dm::kNeutralKCode)));
    PanelKMappaNeutro->setVisible(dm().ItemBCPresent != 0 &&
                                  (dm().GetTipoIniettore(kInjectorPairSecond) == kInjectorNeutralK || monoplug));
}

// ---------------------------------------------------------------------------
// What the window asks of the page

void TPageMappa::SetCellDialog(TFormModificaMappa* dialog) { DrawGridK->SetModificaMappa(dialog); }

void TPageMappa::SetTimerDati(QTimer* timer) { DrawGridK->SetTimerDati(timer); }

void TPageMappa::LoadPictures()
{
    ImagePallino->setPicture(kPictureDot);
    ImageTarget->setPictures(kPictureTarget, kPictureTargetDown);
    for (plat::PictureButton* plus : {ImagePlusExtraInj, ImagePlus})
        plus->setPictures(kPicturePlus, kPicturePlusDown);
    for (plat::PictureButton* minus : {ImageMinusExtraInj, ImageMinus})
        minus->setPictures(kPictureMinus, kPictureMinusDown);
}

void TPageMappa::ShowFuelDot(int picture)
{
    setPicture(ImagePallino, picture);
    DrawGridK->SetDotPicture(ImagePallino->currentPicture());
}

void TPageMappa::ShowEnrichmentBar(int picture) { setPicture(ImageBar2, picture); }

cfglive::Repaint TPageMappa::TrackOperatingPoint(cfglive::MapKTracker& tracking, const dm::TLiveValues& live)
{
    TStreamDati& d = dm();
    const cfglive::MapKView view{{DrawGridK->DefaultColWidth(), DrawGridK->DefaultRowHeight()},
                                 DrawGridK->View() == mapk::View::Reduced,
                                 DrawGridK->DotSize()};
    cfglive::Repaint dirty = cfglive::TrackMapKPoint(
        tracking, live.Rpm, live.PetrolTime1, view, [&d](int i) { return static_cast<double>(d.GetRifGiriK(i)); },
        [&d](int i) { return static_cast<double>(d.GetRifTempiK(i)); });
    DrawGridK->OperatingPointX = tracking.dot.x();
    DrawGridK->OperatingPointY = tracking.dot.y();
    return dirty;
}

void TPageMappa::ShowCorrectors(const cfglive::ObdView& view)
{
    setShown(ImageObdInfo, view.info);
    setShown(ImageObdOk, view.ok);
    setShown(ImageObdKo, view.ko);
    for (int i = 0; i < 2; ++i) {
        const cfglive::ObdBank& b = view.banks[static_cast<std::size_t>(i)];
        QLabel* caption = i == 0 ? LabelCorrettori0 : LabelCorrettori1;
        setFill(caption, b.labelColour);
        if (caption->isEnabled() != b.labelEnabled)
            caption->setEnabled(b.labelEnabled);
        QLabel* slow = i == 0 ? LabCorrSlow0 : LabCorrSlow1;
        QLabel* fast = i == 0 ? LabCorrFast0 : LabCorrFast1;
        QFrame* correctors = i == 0 ? PanelCorrettori0 : PanelCorrettori1;
        setText(slow, b.slow);
        setText(fast, b.fast);
        // What changed repaints itself; the panels are not repainted on
        // every tick.
        setShown(slow, b.slowVisible);
        setShown(fast, b.fastVisible);
        setShown(correctors, b.CorrectorsVisible());
    }
}
