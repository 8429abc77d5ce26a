#include "FormGraficoDrt.h"
#include "windowkit/WindowText.h"

#include "GraficoPrint.h"
#include "complib/editors/NumericEdit.h"
#include "complib/translator/Translator.h"
#include "datamodule/core/SensorTables.h"
#include "datamodule/core/iodata.h"
#include "live/acquisition/AcquisitionReader.h"
#include "product/constants/BuildConstants.h"

#include "plat/Colors.h"
#include "plat/Desktop.h"
#include "plat/KeyChar.h"
#include "plat/PictureButton.h"
#include "plat/Prompts.h"
#include "plat/ScreenScale.h"
#include "plat/Services.h"

#include "complib/numbers/NumberText.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

using grafico::AxisRange;
using grafico::kSeriesCount;

constexpr QSize kDesignSize(1024, 708);

struct PicturePair {
    int released;
    int pressed;
};
constexpr PicturePair kZoomPictures{10067, 10068};
constexpr PicturePair kPrintPictures{10065, 10066};
constexpr PicturePair kExitPictures{10073, 10074};
constexpr PicturePair kLoadPictures{10081, 10082};
constexpr PicturePair kSavePictures{10083, 10084};
constexpr PicturePair kRunPictures{10085, 10086};   // while stopped
constexpr PicturePair kStopPictures{10087, 10088};  // while running

constexpr int kStringZoom = 470;
constexpr int kStringPrint = 471;
constexpr int kStringTimeAxis = 472;

QLabel* caption(QWidget* parent, const char* name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setAlignment(Qt::AlignCenter);
    return l;
}

plat::PictureButton* picture(QWidget* parent, const char* name, PicturePair pair)
{
    auto* p = new plat::PictureButton(parent);
    p->setObjectName(QLatin1String(name));
    p->setPictures(pair.released, pair.pressed);
    p->setFixedSize(64, 48);
    return p;
}

// A picture with its caption below.
QWidget* captioned(QWidget* parent, plat::PictureButton* picture, QLabel* label)
{
    auto* box = new QWidget(parent);
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(2, 2, 2, 2);
    v->addWidget(picture, 0, Qt::AlignHCenter);
    if (label)
        v->addWidget(label);
    picture->setParent(box);
    if (label)
        label->setParent(box);
    return box;
}

TNumericEdit* rangeEdit(QWidget* parent, const char* name, double min, double max, const char* initial)
{
    auto* e = new TNumericEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->SetPrecision(0.01);
    e->SetMaxValue(max);
    e->SetMinValue(min);
    e->SetAsFloat(QByteArray(initial).toDouble());
    e->setFixedWidth(70);
    return e;
}

// A curve: its segments go to the painter in one call, which strokes them
// in batches (one call per segment costs twice the time at width 2).
class Curve final : public QCPGraph {
public:
    Curve(QCPAxis* key, QCPAxis* value) : QCPGraph(key, value) {}

protected:
    void drawLinePlot(QCPPainter* painter, const QVector<QPointF>& points) const override
    {
        if (painter->pen().style() == Qt::NoPen || painter->pen().color().alpha() == 0 || points.size() < 2)
            return;
        applyDefaultAntialiasingHint(painter);
        segments_.resize(points.size() - 1);
        qsizetype n = 0;
        for (qsizetype i = 1; i < points.size(); ++i)
            if (!qIsNaN(points[i - 1].y()) && !qIsNaN(points[i].y()))
                segments_[n++] = QLineF(points[i - 1], points[i]);
        painter->drawLines(segments_.constData(), static_cast<int>(n));
    }

private:
    mutable QVector<QLineF> segments_;
};

// A legend entry with a check box: ticked while its curve is shown; the
// title of a hidden curve is drawn faint.
class LegendCheckItem final : public QCPPlottableLegendItem {
public:
    LegendCheckItem(QCPLegend* legend, QCPAbstractPlottable* plottable) : QCPPlottableLegendItem(legend, plottable) {}

protected:
    int boxSize() const { return mParentLegend->iconSize().height(); }

    QSize minimumOuterSizeHint() const override
    {
        QSize s = QCPPlottableLegendItem::minimumOuterSizeHint();
        s.rwidth() += boxSize() + mParentLegend->iconTextPadding();
        return s;
    }

    void draw(QCPPainter* painter) override
    {
        if (!mPlottable)
            return;
        const bool shown = mPlottable->visible();
        const int box = boxSize();
        const QRectF boxRect(mRect.left(), mRect.top(), box, box);
        painter->setPen(QPen(Qt::black, 1));
        painter->setBrush(Qt::white);
        painter->drawRect(boxRect.adjusted(1, 1, -1, -1));
        if (shown) {
            painter->setPen(QPen(Qt::black, 2));
            const QPointF a(boxRect.left() + box * 0.25, boxRect.top() + box * 0.5);
            const QPointF b(boxRect.left() + box * 0.45, boxRect.top() + box * 0.72);
            const QPointF c(boxRect.left() + box * 0.78, boxRect.top() + box * 0.28);
            painter->drawLine(a, b);
            painter->drawLine(b, c);
        }
        // The icon and the title as the plain entry draws them, beside the box.
        mTextColor.setAlphaF(shown ? 1.0 : 0.35);
        const int shift = box + mParentLegend->iconTextPadding();
        mRect.translate(shift, 0);
        QCPPlottableLegendItem::draw(painter);
        mRect.translate(-shift, 0);
    }
};

} // namespace

// ---------------------------------------------------------------------------
// Creation

TFormGraficoDrt::TFormGraficoDrt(QWidget* owner, const QString& fileName) : QDialog(owner)
{
    setObjectName(QStringLiteral("FormGraficoDrt"));
    setWindowTitle(QStringLiteral("Real time graph"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    resize(kDesignSize);
    buildLayout();
    plat::ApplyScreenScale(this);
    setWindowState(Qt::WindowFullScreen);
    loadTexts();

    setValueAxisFromEdits();
    setTimeAxis({0, timeWindow_});
    setShownStates(true);

    Timer = new QTimer(this);
    Timer->setInterval(kTimerMs);
    // The tick restarts it: a coarse timer would lose a sample now and then.
    Timer->setTimerType(Qt::PreciseTimer);
    connect(Timer, &QTimer::timeout, this, &TFormGraficoDrt::TimerTimer);
    redrawTimer_ = new QTimer(this);
    redrawTimer_->setSingleShot(true);
    connect(redrawTimer_, &QTimer::timeout, this, &TFormGraficoDrt::Redraw);

    // The form previews keys.
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);

    if (!fileName.isEmpty())
        LoadAcquisitionFile(fileName);
}

TFormGraficoDrt::~TFormGraficoDrt()
{
    if (!closed_)
        FormClose();
}

TStreamDati& TFormGraficoDrt::dm() const { return *StreamDati; }

void TFormGraficoDrt::buildLayout()
{
    ChartDrt = new TChartDrt(this);
    ChartDrt->setObjectName(QStringLiteral("ChartDrt"));
    BottomAxis = ChartDrt->xAxis;
    LeftAxis = ChartDrt->yAxis;
    BottomAxis->setLabel(QString());
    LeftAxis->setLabel(QString());

    for (int i = 0; i < kSeriesCount; ++i) {
        const grafico::SeriesDef& def = grafico::kSeries[static_cast<std::size_t>(i)];
        QCPGraph* g = new Curve(BottomAxis, LeftAxis);
        g->setObjectName(QLatin1String(def.Name));
        QPen pen(QColor::fromRgb(def.Colour));
        pen.setWidth(2);
        g->setPen(pen);
        g->setLineStyle(QCPGraph::lsLine);
        g->setScatterStyle(QCPScatterStyle::ssNone);
        ChartDrt->legend->addItem(new LegendCheckItem(ChartDrt->legend, g));
        Series[static_cast<std::size_t>(i)] = g;
    }
    // A click on a legend entry shows or hides its curve.
    connect(ChartDrt, &TChartDrt::legendEntryClicked, this, &TFormGraficoDrt::LegendCheckClick);
    connect(ChartDrt->selectionRect(), &QCPSelectionRect::started, this, [this] { rememberUnzoomed(); });
    connect(ChartDrt, &TChartDrt::panStarted, this, [this] { rememberUnzoomed(); });
    connect(ChartDrt, &TChartDrt::plotWidthChanged, this, [this] { requestRedraw(); });
    connect(BottomAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, [this] { requestRedraw(); });

    GroupAcquisition = new QGroupBox(QStringLiteral("Acquisition"), this);
    GroupAcquisition->setObjectName(QStringLiteral("GroupAcquisition"));
    ImageRunStop = picture(GroupAcquisition, "ImageRunStop", kRunPictures);
    LabelRunStop = caption(GroupAcquisition, "LabelRunStop", QStringLiteral("RUN"));
    ImageSaveFile = picture(GroupAcquisition, "ImageSaveFile", kSavePictures);
    LabelSaveFile = caption(GroupAcquisition, "LabelSaveFile", QStringLiteral("SAVE"));
    ImageLoadFile = picture(GroupAcquisition, "ImageLoadFile", kLoadPictures);
    LabelLoadFile = caption(GroupAcquisition, "LabelLoadFile", QStringLiteral("LOAD"));
    auto* acq = new QHBoxLayout(GroupAcquisition);
    acq->addWidget(captioned(GroupAcquisition, ImageRunStop, LabelRunStop));
    acq->addWidget(captioned(GroupAcquisition, ImageSaveFile, LabelSaveFile));
    acq->addWidget(captioned(GroupAcquisition, ImageLoadFile, LabelLoadFile));

    GroupSettings = new QGroupBox(QStringLiteral("Settings"), this);
    GroupSettings->setObjectName(QStringLiteral("GroupSettings"));
    CheckAutoRange = new QCheckBox(QStringLiteral("Auto range"), GroupSettings);
    CheckAutoRange->setObjectName(QStringLiteral("CheckAutoRange"));
    CheckLegend = new QCheckBox(QStringLiteral("Show legend"), GroupSettings);
    CheckLegend->setObjectName(QStringLiteral("CheckLegend"));
    CheckLegend->setChecked(true);
    CheckLegend->setFocusPolicy(Qt::NoFocus);
    EditMinRange = rangeEdit(GroupSettings, "EditMinRange", -100, 0, "0");
    EditMaxRange = rangeEdit(GroupSettings, "EditMaxRange", 0, 100, "15");
    EditResolution = rangeEdit(GroupSettings, "EditResolution", 0.1, 600, "30");
    auto* set = new QGridLayout(GroupSettings);
    set->addWidget(CheckAutoRange, 0, 0, 1, 2);
    set->addWidget(CheckLegend, 1, 0, 1, 2);
    set->addWidget(new QLabel(QStringLiteral("Min"), GroupSettings), 0, 2);
    set->addWidget(EditMinRange, 0, 3);
    set->addWidget(new QLabel(QStringLiteral("Max"), GroupSettings), 1, 2);
    set->addWidget(EditMaxRange, 1, 3);
    set->addWidget(new QLabel(QStringLiteral("Resolution"), GroupSettings), 0, 4);
    set->addWidget(EditResolution, 0, 5);
    set->addWidget(new QLabel(QStringLiteral("sec"), GroupSettings), 0, 6);

    // Keyboard order: auto range, min, max, resolution and round again.
    EditMinRange->SetPrevControl(CheckAutoRange);
    EditMinRange->SetNextControl(EditMaxRange);
    EditMaxRange->SetPrevControl(EditMinRange);
    EditMaxRange->SetNextControl(EditResolution);
    EditResolution->SetPrevControl(EditMaxRange);
    EditResolution->SetNextControl(CheckAutoRange);
    setTabOrder(CheckAutoRange, EditMinRange);
    setTabOrder(EditMinRange, EditMaxRange);
    setTabOrder(EditMaxRange, EditResolution);
    setTabOrder(EditResolution, CheckAutoRange);

    GroupImage = new QGroupBox(QStringLiteral("Immagine"), this);
    GroupImage->setObjectName(QStringLiteral("GroupImage"));
    ImageImage1 = new plat::PictureButton(GroupImage);
    ImageImage2 = new plat::PictureButton(GroupImage);
    GroupImage->hide();

    ImageZoom = picture(this, "ImageZoom", kZoomPictures);
    LabelZoom = caption(this, "LabelZoom", QString());
    ImagePrint = picture(this, "ImagePrint", kPrintPictures);
    LabelPrint = caption(this, "LabelPrint", QString());
    ImageExit = picture(this, "ImageExit", kExitPictures);

    // The loading progress takes the room the bottom row has between the
    // settings and the pictures, never more: showing it must not widen the
    // row, or the window would grow past the screen.
    auto* progressRoom = new QWidget(this);
    progressRoom->setObjectName(QStringLiteral("ProgressRoom"));
    progressRoom->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    ProgressLoad = new QProgressBar(progressRoom);
    ProgressLoad->setObjectName(QStringLiteral("ProgressLoad"));
    ProgressLoad->setRange(0, 100);
    ProgressLoad->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    ProgressLoad->hide();
    auto* progressRow = new QHBoxLayout(progressRoom);
    progressRow->setSizeConstraint(QLayout::SetNoConstraint);
    progressRow->setContentsMargins(8, 0, 8, 0);
    progressRow->addWidget(ProgressLoad);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(GroupAcquisition);
    bottom->addWidget(GroupSettings);
    bottom->addWidget(GroupImage);
    bottom->addWidget(progressRoom, 1);
    bottom->addWidget(captioned(this, ImageZoom, LabelZoom));
    bottom->addWidget(captioned(this, ImagePrint, LabelPrint));
    bottom->addWidget(captioned(this, ImageExit, nullptr));
    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(4, 4, 4, 4);
    main->addWidget(ChartDrt, 1);
    main->addLayout(bottom);

    connect(ImageRunStop, &plat::PictureButton::clicked, this, &TFormGraficoDrt::ImageRunStopClick);
    // The pair follows the state at the moment of the press.
    connect(ImageRunStop, &plat::PictureButton::pressed, this, [this] { setRunStopPictures(); });
    connect(ImageSaveFile, &plat::PictureButton::clicked, this, &TFormGraficoDrt::ImageSaveFileClick);
    connect(ImageLoadFile, &plat::PictureButton::clicked, this, &TFormGraficoDrt::ImageLoadFileClick);
    connect(ImageZoom, &plat::PictureButton::clicked, this, &TFormGraficoDrt::ImageZoomClick);
    connect(ImagePrint, &plat::PictureButton::clicked, this, &TFormGraficoDrt::ImagePrintClick);
    connect(ImageExit, &plat::PictureButton::clicked, this, &TFormGraficoDrt::ImageExitClick);
    connect(CheckAutoRange, &QCheckBox::clicked, this, &TFormGraficoDrt::CheckAutoRangeClick);
    connect(CheckLegend, &QCheckBox::clicked, this, &TFormGraficoDrt::CheckLegendClick);
    connect(EditMinRange, &TNumericEdit::keyPressed, this, &TFormGraficoDrt::EditRangeKeyPress);
    connect(EditMaxRange, &TNumericEdit::keyPressed, this, &TFormGraficoDrt::EditRangeKeyPress);
    connect(EditResolution, &TNumericEdit::keyPressed, this, &TFormGraficoDrt::EditResolutionKeyPress);
}

void TFormGraficoDrt::loadTexts()
{
    LabelZoom->setText(wkit::Text(kStringZoom));
    LabelPrint->setText(wkit::Text(kStringPrint));
    // The design keeps the time axis title hidden.
    TimeAxisTitle = wkit::Text(kStringTimeAxis);
    for (int i = 0; i < kSeriesCount; ++i)
        Series[static_cast<std::size_t>(i)]->setName(wkit::Text(grafico::kSeries[static_cast<std::size_t>(i)].Title));
    formatText_ = wkit::Text(qz::live::kAcqStringBadFormat);
    missingText_ = wkit::Text(qz::live::kAcqStringBadPath);
    overwriteText_ = wkit::Text(qz::live::kAcqStringCannotOverwrite) + QLatin1Char('\n') +
                     wkit::Text(qz::live::kAcqStringChooseOtherName);
    cannotSaveText_ = wkit::Text(qz::live::kAcqStringCannotSave);
}

// The second-bank curves follow the probe count; the others the ECU type.
void TFormGraficoDrt::setShownStates(bool secondBankToo)
{
    const int ecuType = dm().EcuInfo.EcuType;
    const bool secondProbe = dm().HasSecondaSonda();
    for (int i = 0; i < kSeriesCount; ++i) {
        const auto rule = grafico::kSeries[static_cast<std::size_t>(i)].Shown;
        if (rule == grafico::ShownRule::SecondProbe && !secondBankToo)
            continue;
        if (rule != grafico::ShownRule::Always)
            setSeriesShown(i, grafico::SeriesShown(i, ecuType, secondProbe));
    }
}

void TFormGraficoDrt::setSeriesShown(int index, bool shown)
{
    QCPGraph* g = Series.at(static_cast<std::size_t>(index));
    if (g->visible() == shown)
        return;
    // A hidden curve keeps its legend entry, unticked and faint, so that it
    // can be ticked again.
    g->setVisible(shown);
    refreshAutomaticAxes();
    requestRedraw();
}

void TFormGraficoDrt::LegendCheckClick(int index)
{
    setSeriesShown(index, !Series.at(static_cast<std::size_t>(index))->visible());
}

// ---------------------------------------------------------------------------
// Axes and drawing

grafico::AxisRange TFormGraficoDrt::TimeAxis() const { return {BottomAxis->range().lower, BottomAxis->range().upper}; }
grafico::AxisRange TFormGraficoDrt::ValueAxis() const { return {LeftAxis->range().lower, LeftAxis->range().upper}; }

void TFormGraficoDrt::setTimeAxis(AxisRange range)
{
    bottomAuto_ = false;
    BottomAxis->setRange(range.Min, range.Max);
}

void TFormGraficoDrt::setValueAxisFromEdits()
{
    leftAuto_ = false;
    LeftAxis->setRange(EditMinRange->GetAsFloat(), EditMaxRange->GetAsFloat());
    requestRedraw();
}

void TFormGraficoDrt::refreshAutomaticAxes()
{
    if (!leftAuto_ && !bottomAuto_)
        return;
    std::array<bool, kSeriesCount> shown{};
    for (int i = 0; i < kSeriesCount; ++i)
        shown[static_cast<std::size_t>(i)] = Series[static_cast<std::size_t>(i)]->visible();
    if (leftAuto_)
        if (const auto r = grafico::AutomaticRange(store_.Extents(), shown, false)) {
            LeftAxis->setRange(r->Min, r->Max);
            requestRedraw();
        }
    if (bottomAuto_)
        if (const auto r = grafico::AutomaticRange(store_.Extents(), shown, true))
            BottomAxis->setRange(r->Min, r->Max);
}

void TFormGraficoDrt::clearSeries()
{
    store_.Clear();
    requestRedraw();
}

void TFormGraficoDrt::requestRedraw()
{
    // While running, the tick redraws when it is time.
    if (running_ || redrawTimer_ == nullptr || redrawTimer_->isActive())
        return;
    const qint64 since = sinceRedraw_.isValid() ? sinceRedraw_.elapsed() : kRedrawMs;
    redrawTimer_->start(static_cast<int>(std::max<qint64>(0, kRedrawMs - since)));
}

void TFormGraficoDrt::Redraw()
{
    if (redrawTimer_)
        redrawTimer_->stop();
    sinceRedraw_.start();
    const QCPRange span = BottomAxis->range();
    const int columns = std::max(1, ChartDrt->axisRect()->width());
    for (int i = 0; i < kSeriesCount; ++i) {
        QCPGraph* g = Series[static_cast<std::size_t>(i)];
        if (!g->visible()) {
            g->data()->clear();
            continue;
        }
        store_.Decimate(i, span.lower, span.upper, columns, decimated_);
        graphData_.resize(static_cast<qsizetype>(decimated_.size()));
        for (std::size_t k = 0; k < decimated_.size(); ++k)
            graphData_[static_cast<qsizetype>(k)] = QCPGraphData(decimated_[k].x(), decimated_[k].y());
        g->data()->set(graphData_, store_.TimesAscending());
    }
    ChartDrt->replot(QCustomPlot::rpQueuedReplot);
}

void TFormGraficoDrt::rememberUnzoomed()
{
    if (!unzoomed_)
        unzoomed_ = Unzoomed{TimeAxis(), ValueAxis(), bottomAuto_, leftAuto_};
}

// ---------------------------------------------------------------------------
// RUN, STOP and the tick

void TFormGraficoDrt::setRunStopPictures()
{
    const PicturePair p = running_ ? kStopPictures : kRunPictures;
    ImageRunStop->setPictures(p.released, p.pressed);
}

// The pictures that RUN and a load disable.
void TFormGraficoDrt::lockControls(bool locked)
{
    for (QWidget* w : std::initializer_list<QWidget*>{ImageSaveFile, ImageLoadFile, ImageZoom, ImagePrint, ImageExit,
                                                       ImageImage1, ImageImage2})
        w->setEnabled(!locked);
}

void TFormGraficoDrt::ImageRunStopClick()
{
    if (loading_)
        return;
    if (!running_) {
        clearSeries();
        setShownStates(true);
        EditResolution->SetAsFloat(timeWindow_);
        setTimeAxis({0, timeWindow_});
        refreshAutomaticAxes();
        recorder_.Discard();
        // Without a temporary file the recording runs and writes nothing.
        recorder_.Start(dm().HasSecondaSonda() ? 2 : 1);
        startTick_ = plat::CurrentClock().tickCount();
        elapsed_ = 0;
        running_ = true;
        LabelRunStop->setText(QStringLiteral("STOP"));
        lockControls(true);
        Redraw();
        Timer->start();
    } else {
        Timer->stop();
        running_ = false;
        recorder_.Stop();
        LabelRunStop->setText(QStringLiteral("RUN"));
        lockControls(false);
        Redraw();
    }
    setRunStopPictures();
}

void TFormGraficoDrt::TimerTimer()
{
    if (!running_)
        return;
    Timer->stop();
    dm().TimerIOTimer(this);
    // A STOP taken while the poll step showed a message box ends the run.
    if (!running_)
        return;

    const std::uint32_t now = plat::CurrentClock().tickCount();
    elapsed_ = now - startTick_;
    const double t = grafico::ElapsedSeconds(now, startTick_);
    const bool secondProbe = dm().HasSecondaSonda();
    // The frame is taken as it stands: its length is not checked here.
    const dm::TLiveFrame frame = dm::DecodeLiveFrame(dm().GetLiveBlock(), dm::kLiveFrameSize);
    dm::DecodeLiveValues(frame, dm().GetTimeBase(), secondProbe, live_);
    sample_ = qz::live::SampleOfLive(live_);

    store_.Append(t, grafico::CurvesOfSample(sample_), grafico::CurvesOfBanks(secondProbe ? 2 : 1));
    const AxisRange axis = grafico::TimeAxisAfterTick(TimeAxis(), t, timeWindow_);
    if (!(axis == TimeAxis()))
        setTimeAxis(axis);
    refreshAutomaticAxes();

    recorder_.Append(sample_);
    Timer->start();
    // Every tick brings a sample to draw. The redraw runs while the timer
    // waits for the next tick, so it never delays a sample.
    if (!sinceRedraw_.isValid() || sinceRedraw_.elapsed() >= kRedrawMs)
        Redraw();
}

// ---------------------------------------------------------------------------
// Settings

void TFormGraficoDrt::CheckAutoRangeClick()
{
    if (CheckAutoRange->isChecked()) {
        leftAuto_ = true;
        refreshAutomaticAxes();
    } else {
        setValueAxisFromEdits();
    }
}

void TFormGraficoDrt::EditRangeKeyPress(QChar key)
{
    if (key == QChar(13) && !CheckAutoRange->isChecked())
        setValueAxisFromEdits();
}

void TFormGraficoDrt::EditResolutionKeyPress(QChar key)
{
    if (key != QChar(13))
        return;
    timeWindow_ = EditResolution->GetAsFloat();
    setTimeAxis(grafico::TimeAxisForWindow(TimeAxis(), timeWindow_));
}

void TFormGraficoDrt::CheckLegendClick()
{
    ChartDrt->SetLegendShown(CheckLegend->isChecked());
    ChartDrt->replot(QCustomPlot::rpQueuedReplot);
}

void TFormGraficoDrt::ImageZoomClick()
{
    if (!unzoomed_)
        return;
    const Unzoomed u = *unzoomed_;
    unzoomed_.reset();
    BottomAxis->setRange(u.Time.Min, u.Time.Max);
    LeftAxis->setRange(u.Value.Min, u.Value.Max);
    bottomAuto_ = u.TimeAutomatic;
    leftAuto_ = u.ValueAutomatic;
    refreshAutomaticAxes();
    requestRedraw();
}

void TFormGraficoDrt::ImagePrintClick()
{
    grafico::ChartPrinter& printer = grafico::CurrentChartPrinter();
    const int copies = printer.ChooseCopies(this);
    for (int i = 0; i < copies; ++i)
        printer.PrintOnce(ChartDrt);
}

// ---------------------------------------------------------------------------
// Keys and closing

void TFormGraficoDrt::ImageExitClick() { done(mrCancel); }

bool TFormGraficoDrt::FormKeyPress(int character)
{
    if (character != 27)
        return false;
    done(mrCancel);
    return true;
}

bool TFormGraficoDrt::FormCloseQuery() const { return !running_ && !loading_; }

void TFormGraficoDrt::FormClose()
{
    if (closed_)
        return;
    closed_ = true;
    Timer->stop();
    redrawTimer_->stop();
    recorder_.Discard();
}

void TFormGraficoDrt::done(int result)
{
    if (!FormCloseQuery())
        return;
    FormClose();
    QDialog::done(result);
}

void TFormGraficoDrt::closeEvent(QCloseEvent* event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    setResult(mrCancel);
    QDialog::closeEvent(event);
}

bool TFormGraficoDrt::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int c = plat::KeyCharOf(static_cast<QKeyEvent*>(event)->key());
        if (c == 27) {
            FormKeyPress(c);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormGraficoDrt::keyPressEvent(QKeyEvent* event)
{
    if (!FormKeyPress(plat::KeyCharOf(event->key())))
        QDialog::keyPressEvent(event);
    else
        event->accept();
}
