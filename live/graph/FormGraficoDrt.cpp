#include "FormGraficoDrt.h"

#include "AcquisitionReader.h"
#include "BuildConstants.h"
#include "GraficoPrint.h"
#include "SensorTables.h"
#include "Translator.h"
#include "editors/NumericEdit.h"
#include "iodata.h"

#include "plat/Colors.h"
#include "plat/Desktop.h"
#include "plat/KeyChar.h"
#include "plat/PictureButton.h"
#include "plat/Prompts.h"
#include "plat/ScreenScale.h"
#include "plat/Services.h"

#include <QChart>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {

using grafico::AxisRange;
using grafico::kSeriesCount;

constexpr QSize kDesignSize(1024, 708);
constexpr int kLabelSpacingPixels = 80;
constexpr int kLeftMinorTicks = 4;

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
constexpr int kStringSaveTitle = 475;
constexpr int kStringOpenTitle = 476;

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

} // namespace

// ---------------------------------------------------------------------------
// Chart view

TChartDrt::TChartDrt(QWidget* parent) : QChartView(parent)
{
    setRubberBand(QChartView::RectangleRubberBand);
    setFocusPolicy(Qt::NoFocus);
}

void TChartDrt::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        panning_ = true;
        panFrom_ = event->position().toPoint();
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void TChartDrt::mouseMoveEvent(QMouseEvent* event)
{
    if (panning_) {
        const QPoint at = event->position().toPoint();
        if (chart())
            chart()->scroll(panFrom_.x() - at.x(), 0);
        panFrom_ = at;
        event->accept();
        return;
    }
    QChartView::mouseMoveEvent(event);
}

void TChartDrt::mouseReleaseEvent(QMouseEvent* event)
{
    if (panning_ && event->button() == Qt::RightButton) {
        panning_ = false;
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

void TChartDrt::resizeEvent(QResizeEvent* event)
{
    QChartView::resizeEvent(event);
    // At least kLabelSpacingPixels between the time labels.
    if (chart())
        for (QAbstractAxis* axis : chart()->axes(Qt::Horizontal))
            if (auto* v = qobject_cast<QValueAxis*>(axis))
                v->setTickCount(std::max(2, static_cast<int>(chart()->plotArea().width()) / kLabelSpacingPixels + 1));
}

// ---------------------------------------------------------------------------
// Creation

TFormGraficoDrt::TFormGraficoDrt(QWidget* owner, const QString& fileName) : QDialog(owner)
{
    setObjectName(QStringLiteral("FormGraficoDrt"));
    setWindowTitle(QStringLiteral("Real time graph"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    resize(kDesignSize);
    buildLayout();
    plat::applyScreenScale(this);
    setWindowState(Qt::WindowFullScreen);
    loadTexts();

    setValueAxisFromEdits();
    setTimeAxis({0, timeWindow_});
    setShownStates(true);

    Timer = new QTimer(this);
    Timer->setInterval(kTimerMs);
    connect(Timer, &QTimer::timeout, this, &TFormGraficoDrt::TimerTimer);

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

QString TFormGraficoDrt::text(int number) const
{
    return StreamDati && StreamDati->Translator ? StreamDati->Translator->GetString(number) : QString();
}

void TFormGraficoDrt::buildLayout()
{
    auto* chart = new QChart;
    chart->setTitle(QString());
    chart->legend()->setVisible(true);
    chart->legend()->setAlignment(Qt::AlignRight);
    ChartDrt = new TChartDrt(this);
    ChartDrt->setObjectName(QStringLiteral("ChartDrt"));
    ChartDrt->setChart(chart);

    BottomAxis = new QValueAxis(chart);
    BottomAxis->setLabelFormat(QStringLiteral("%05.1f"));
    BottomAxis->setMinorTickCount(0);
    BottomAxis->setTitleVisible(false);
    LeftAxis = new QValueAxis(chart);
    LeftAxis->setMinorTickCount(kLeftMinorTicks);
    chart->addAxis(BottomAxis, Qt::AlignBottom);
    chart->addAxis(LeftAxis, Qt::AlignLeft);

    for (int i = 0; i < kSeriesCount; ++i) {
        const grafico::SeriesDef& def = grafico::kSeries[static_cast<std::size_t>(i)];
        auto* s = new QLineSeries(chart);
        s->setObjectName(QLatin1String(def.Name));
        QPen pen(QColor::fromRgb(def.Colour));
        pen.setWidth(2);
        s->setPen(pen);
        s->setPointsVisible(false);
        s->setPointLabelsVisible(false);
        chart->addSeries(s);
        s->attachAxis(BottomAxis);
        s->attachAxis(LeftAxis);
        Series[static_cast<std::size_t>(i)] = s;
    }
    // A check box per curve: a click on its legend entry shows or hides it.
    const QList<QLegendMarker*> markers = chart->legend()->markers();
    for (int i = 0; i < markers.size() && i < kSeriesCount; ++i)
        connect(markers[i], &QLegendMarker::clicked, this, [this, i] { LegendCheckClick(i); });

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

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(GroupAcquisition);
    bottom->addWidget(GroupSettings);
    bottom->addWidget(GroupImage);
    bottom->addStretch(1);
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
    LabelZoom->setText(text(kStringZoom));
    LabelPrint->setText(text(kStringPrint));
    BottomAxis->setTitleText(text(kStringTimeAxis));
    for (int i = 0; i < kSeriesCount; ++i)
        Series[static_cast<std::size_t>(i)]->setName(text(grafico::kSeries[static_cast<std::size_t>(i)].Title));
    formatText_ = text(qz::live::kAcqStringBadFormat);
    missingText_ = text(qz::live::kAcqStringBadPath);
    overwriteText_ = text(qz::live::kAcqStringCannotOverwrite) + QLatin1Char('\n') +
                     text(qz::live::kAcqStringChooseOtherName);
}

// Both dialogs start in the program's "Acquisition" folder.
plat::FileDialogRequest TFormGraficoDrt::acquisitionDialog(int titleString) const
{
    plat::FileDialogRequest request;
    request.title = text(titleString);
    request.initialDir = qz::live::AcquisitionFolder();
    request.filter =
        text(qz::live::kAcqStringFilter) + QStringLiteral("|*.") + QLatin1String(qz::live::kAcqDefaultExtension);
    request.defaultExt = QLatin1String(qz::live::kAcqDefaultExtension);
    return request;
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
    QLineSeries* s = Series.at(static_cast<std::size_t>(index));
    s->setVisible(shown);
    // The legend keeps an entry for a hidden curve, drawn faint, so that it
    // can be ticked again.
    const QList<QLegendMarker*> markers = ChartDrt->chart()->legend()->markers(s);
    for (QLegendMarker* m : markers) {
        m->setVisible(true);
        const qreal alpha = s->isVisible() ? 1.0 : 0.35;
        QColor label = m->labelBrush().color();
        label.setAlphaF(alpha);
        m->setLabelBrush(label);
        QColor brush = m->brush().color();
        brush.setAlphaF(alpha);
        m->setBrush(brush);
    }
    refreshAutomaticAxes();
}

void TFormGraficoDrt::LegendCheckClick(int index)
{
    setSeriesShown(index, !Series.at(static_cast<std::size_t>(index))->isVisible());
}

// ---------------------------------------------------------------------------
// Axes

grafico::AxisRange TFormGraficoDrt::TimeAxis() const { return {BottomAxis->min(), BottomAxis->max()}; }
grafico::AxisRange TFormGraficoDrt::ValueAxis() const { return {LeftAxis->min(), LeftAxis->max()}; }

void TFormGraficoDrt::setTimeAxis(AxisRange range)
{
    bottomAuto_ = false;
    BottomAxis->setRange(range.Min, range.Max);
}

void TFormGraficoDrt::setValueAxisFromEdits()
{
    leftAuto_ = false;
    LeftAxis->setRange(EditMinRange->GetAsFloat(), EditMaxRange->GetAsFloat());
}

void TFormGraficoDrt::refreshAutomaticAxes()
{
    if (!leftAuto_ && !bottomAuto_)
        return;
    std::array<bool, kSeriesCount> shown{};
    for (int i = 0; i < kSeriesCount; ++i)
        shown[static_cast<std::size_t>(i)] = Series[static_cast<std::size_t>(i)]->isVisible();
    if (leftAuto_)
        if (const auto r = grafico::AutomaticRange(extents_, shown, false))
            LeftAxis->setRange(r->Min, r->Max);
    if (bottomAuto_)
        if (const auto r = grafico::AutomaticRange(extents_, shown, true))
            BottomAxis->setRange(r->Min, r->Max);
}

void TFormGraficoDrt::clearSeries()
{
    for (QLineSeries* s : Series)
        s->clear();
    extents_.fill({});
}

void TFormGraficoDrt::addPoint(int index, double t, double value)
{
    Series[static_cast<std::size_t>(index)]->append(t, value);
    extents_[static_cast<std::size_t>(index)].Add(t, value);
}

// ---------------------------------------------------------------------------
// RUN, STOP and the tick

void TFormGraficoDrt::setRunStopPictures()
{
    const PicturePair p = running_ ? kStopPictures : kRunPictures;
    ImageRunStop->setPictures(p.released, p.pressed);
}

void TFormGraficoDrt::ImageRunStopClick()
{
    const std::initializer_list<QWidget*> locked = {ImageSaveFile, ImageLoadFile, ImageZoom, ImagePrint,
                                                    ImageExit,     ImageImage1,   ImageImage2};
    if (!running_) {
        clearSeries();
        setShownStates(true);
        EditResolution->SetAsFloat(timeWindow_);
        setTimeAxis({0, timeWindow_});
        refreshAutomaticAxes();
        recorder_.Discard();
        // Without a temporary file the recording runs and writes nothing.
        recorder_.Start(dm().HasSecondaSonda() ? 2 : 1);
        startTick_ = plat::clock().tickCount();
        elapsed_ = 0;
        running_ = true;
        LabelRunStop->setText(QStringLiteral("STOP"));
        for (QWidget* w : locked)
            w->setEnabled(false);
        Timer->start();
    } else {
        Timer->stop();
        running_ = false;
        recorder_.Stop();
        LabelRunStop->setText(QStringLiteral("RUN"));
        for (QWidget* w : locked)
            w->setEnabled(true);
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

    elapsed_ = plat::clock().tickCount() - startTick_;
    const double t = grafico::ElapsedSeconds(plat::clock().tickCount(), startTick_);
    const bool secondProbe = dm().HasSecondaSonda();
    // The frame is taken as it stands: its length is not checked here.
    const dm::TLiveFrame frame = dm::DecodeLiveFrame(dm().GetLiveBlock(), dm::kLiveFrameSize);
    dm::DecodeLiveValues(frame, dm().GetTimeBase(), secondProbe, live_);
    sample_ = qz::live::SampleOfLive(live_);

    const grafico::CurveValues values = grafico::CurvesOfSample(sample_);
    const int curves = secondProbe ? kSeriesCount : 8;
    for (int i = 0; i < curves; ++i)
        addPoint(i, t, values[static_cast<std::size_t>(i)]);
    const AxisRange axis = grafico::TimeAxisAfterTick(TimeAxis(), t, timeWindow_);
    if (!(axis == TimeAxis()))
        setTimeAxis(axis);
    refreshAutomaticAxes();

    recorder_.Append(sample_);
    Timer->start();
}

// ---------------------------------------------------------------------------
// SAVE and LOAD

void TFormGraficoDrt::ImageSaveFileClick()
{
    if (!recorder_.HasUnsaved())
        return;
    const plat::FileDialogRequest request = acquisitionDialog(kStringSaveTitle);
    qz::live::RunAcquisitionSave(
        recorder_, [&] { return plat::desktop().fileDialogs->getSaveFileName(request); },
        [this](const qz::live::TAcqResult& failed) {
            // The existing file could not be replaced, or the recording could
            // not be moved there: either way it is still here to be saved.
            plat::prompts().ask({windowTitle(), qz::live::AcquisitionSaveErrorText(overwriteText_, failed),
                                 plat::PromptIcon::Error, plat::PromptButtons::Ok});
        });
}

void TFormGraficoDrt::ImageLoadFileClick()
{
    const QString name = plat::desktop().fileDialogs->getOpenFileName(acquisitionDialog(kStringOpenTitle));
    if (name.isEmpty())
        return;
    recorder_.Discard();
    LoadAcquisitionFile(name);
}

void TFormGraficoDrt::showReadError(int stringNumber) const
{
    const QString& message = stringNumber == qz::live::kAcqStringBadPath ? missingText_ : formatText_;
    plat::prompts().ask(
        {QString::fromUtf8(qz::ProductTitle()), message, plat::PromptIcon::Error, plat::PromptButtons::Ok});
}

void TFormGraficoDrt::LoadAcquisitionFile(const QString& fileName)
{
    const qz::live::TAcquisitionReadResult read = qz::live::ReadAcquisitionFile(fileName);
    if (read.Error == qz::live::TAcqReadError::FileNotFound || read.Error == qz::live::TAcqReadError::CannotOpen) {
        // The chart keeps what it shows.
        showReadError(grafico::ReadErrorString(read.Error));
        return;
    }

    clearSeries();
    const grafico::LoadedCurves curves = grafico::CurvesOfFile(read);
    for (int i = 0; i < kSeriesCount; ++i) {
        const QList<QPointF>& points = curves.Points[static_cast<std::size_t>(i)];
        Series[static_cast<std::size_t>(i)]->replace(points);
        extents_[static_cast<std::size_t>(i)] = grafico::ExtentOf(points);
    }
    if (!read.ok()) {
        // The rows before the bad line stay plotted.
        showReadError(grafico::ReadErrorString(read.Error));
        return;
    }

    if (!curves.TwoBanks)
        for (int i = 0; i < kSeriesCount; ++i)
            if (grafico::kSeries[static_cast<std::size_t>(i)].Shown == grafico::ShownRule::SecondProbe)
                setSeriesShown(i, false);
    setShownStates(false);
    bottomAuto_ = true;
    refreshAutomaticAxes();
    ChartDrt->update();
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

void TFormGraficoDrt::CheckLegendClick() { ChartDrt->chart()->legend()->setVisible(CheckLegend->isChecked()); }

void TFormGraficoDrt::ImageZoomClick() { ChartDrt->chart()->zoomReset(); }

void TFormGraficoDrt::ImagePrintClick()
{
    grafico::ChartPrinter& printer = grafico::chartPrinter();
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

bool TFormGraficoDrt::FormCloseQuery() const { return !running_; }

void TFormGraficoDrt::FormClose()
{
    if (closed_)
        return;
    closed_ = true;
    Timer->stop();
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
        const int c = plat::keyCharOf(static_cast<QKeyEvent*>(event)->key());
        if (c == 27) {
            FormKeyPress(c);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormGraficoDrt::keyPressEvent(QKeyEvent* event)
{
    if (!FormKeyPress(plat::keyCharOf(event->key())))
        QDialog::keyPressEvent(event);
    else
        event->accept();
}
