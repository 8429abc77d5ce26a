#include "FormVisualizza.h"

#include "datamodule/core/ItemCodes.h"
#include "windowkit/ControlMaker.h"
#include "windowkit/LivePolling.h"
#include "windowkit/WindowText.h"

#include "VisualizzaPlacements.h"
#include "complib/translator/Translator.h"
#include "datamodule/core/LiveLamps.h"
#include "datamodule/core/iodata.h"
#include "live/acquisition/AcquisitionRecorder.h"
#include "live/diagnostics/FormDiagnosi.h"
#include "live/graph/FormGraficoDrt.h"

#include "plat/Colors.h"
#include "plat/Controls.h"
#include "plat/Desktop.h"
#include "plat/PictureButton.h"
#include "plat/Placement.h"
#include "plat/Prompts.h"
#include "plat/ScreenScale.h"
#include "plat/Services.h"
#include "plat/Shape.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {

using qz::live::TGaugeDial;

constexpr QSize kDesignSize(1024, 721);
constexpr std::uint32_t kInk = 9396256;
constexpr std::uint32_t kButtonFace = 0xFF00000F;
constexpr std::uint32_t kWindowColour = 0xFF000005;
const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);

// The window's texts (string numbers).
constexpr int kTextExit = 410;           // "Esci"
constexpr int kTextReducerTemp = 405;    // "T rid °C"
constexpr int kTextGasTemp = 406;        // "T gas °C"
constexpr int kTextLambda1 = 411;        // "Sonda Lambda 1"
constexpr int kTextLambda2 = 412;        // "Sonda Lambda 2"
constexpr int kTextMapPressure = 413;    // "Pressione MAP [bar]"
constexpr int kTextGasPressure = 414;    // "Pressione gas [bar]"
constexpr int kTextGasTimes = 415;       // "Tempi iniezione gas [ms]"
constexpr int kTextPetrolTimes = 416;    // "Tempi iniezione benzina [ms]"
constexpr int kTextCutoff = 491;         // "CUT-OFF"
constexpr int kTextDiagnosis = 492;      // "Diagnosi"
constexpr int kTextExtraInjection = 493; // "Extra inj."
constexpr int kTextNotAvailable = 91;    // "n.d."

// Released and pressed bitmaps of the picture buttons.
constexpr int kExitPictures[] = {10055, 10056};
constexpr int kSwitchPictures[] = {10057, 10058};
constexpr int kRecPictures[] = {10059, 10060};
constexpr int kStopPictures[] = {10061, 10062};
constexpr int kViewPictures[] = {10063, 10064};

// The labels, picture buttons and shapes, named and placed by their entries.
const wkit::ControlMaker& kit()
{
    static const wkit::ControlMaker maker(visualizza::kPlacements, plat::FromTColor(kInk));
    return maker;
}

// A round indicator lamp.
plat::Shape* lamp(QWidget* parent, const char* name, const QColor& fill)
{
    auto* s = kit().Shape(parent, name, fill);
    s->setMask(QRegion(s->rect(), QRegion::Ellipse));
    return s;
}

QFrame* panel(QWidget* parent, const char* name)
{
    auto* f = new QFrame(parent);
    f->setObjectName(QLatin1String(name));
    f->setGeometry(kit().PlaceOf(name));
    f->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return f;
}

// A bar: a shape aligned to the left inside its panel, as wide as its
// reading (none yet).
plat::Shape* bar(QFrame* parent, const char* name)
{
    auto* s = new plat::Shape(parent);
    s->setObjectName(QLatin1String(name));
    s->setGeometry(0, 0, 0, parent->height());
    s->setBrush(QColor(0, 0, 255));
    s->setPen(QPen(Qt::NoPen));
    return s;
}

void setBarWidth(plat::Shape* s, int width) { s->setGeometry(0, 0, width, s->parentWidget()->height()); }

QColor barColour(visualizza::BarColour c)
{
    switch (c) {
    case visualizza::BarColour::Green: return kGreen;
    case visualizza::BarColour::Red: return kRed;
    case visualizza::BarColour::ButtonFace: break;
    }
    return plat::FromTColor(kButtonFace);
}

QChar decimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    return point.isEmpty() ? QLatin1Char('.') : point.at(0);
}

} // namespace

// The needles are lines over the dial pictures: a transparent layer above
// every control draws them. A needle that moves repaints its old and its new
// place only, and the dial picture beneath shows through where it was.
class TFormVisualizza::NeedleOverlay : public QWidget {
public:
    explicit NeedleOverlay(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

    // The dial's needle at value (shown) or none; a circular dial keeps its
    // hub from its first needle on.
    void setNeedle(TGaugeDial dial, int value, bool shown, const qz::live::TGaugeLayout& layout)
    {
        if (!(layout_ == layout)) {
            layout_ = layout;
            update();
        }
        Needle& n = needles_[static_cast<std::size_t>(dial)];
        const bool hub = dial != TGaugeDial::InjectorSize;
        if (n.Shown == shown && (!shown || n.Value == value) && n.Hub == hub)
            return;
        QRegion dirty;
        if (n.Shown)
            dirty += qz::live::GaugeNeedleArea(layout_, dial, n.Value);
        if (shown)
            dirty += qz::live::GaugeNeedleArea(layout_, dial, value);
        else
            dirty += qz::live::GaugeHubArea(layout_, dial);
        n.Shown = shown;
        n.Value = shown ? value : n.Value;
        n.Hub = hub;
        update(dirty);
    }

    std::optional<int> needleAt(TGaugeDial dial) const
    {
        const Needle& n = needles_[static_cast<std::size_t>(dial)];
        return n.Shown ? std::optional<int>(n.Value) : std::nullopt;
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.setClipRegion(event->region());
        const QColor window = plat::FromTColor(kWindowColour);
        for (std::size_t i = 0; i < needles_.size(); ++i) {
            const auto dial = static_cast<TGaugeDial>(i);
            const Needle& n = needles_[i];
            if (n.Shown)
                qz::live::DrawGaugeNeedle(painter, layout_, dial, n.Value, window);
            else if (n.Hub)
                qz::live::DrawGaugeHub(painter, layout_, dial, window);
        }
    }

private:
    struct Needle {
        bool Shown = false;
        bool Hub = false;
        int Value = 0;
    };
    std::array<Needle, 4> needles_{};
    qz::live::TGaugeLayout layout_;
};

TFormVisualizza::GraphOpener& TFormVisualizza::GraphWindowOpener()
{
    // The real-time graph, modal over the live view, freed when it closes.
    static GraphOpener opener = [](QWidget* owner, QString& fileName) {
        TFormGraficoDrt graph(owner, fileName);
        graph.exec();
    };
    return opener;
}

// ---------------------------------------------------------------------------
// Opening

TFormVisualizza::TFormVisualizza(QWidget* owner, bool* extraInjectionSeen, const QString& applicationFolder)
    : QDialog(owner), extraInjectionSeen_(extraInjectionSeen ? extraInjectionSeen : &ownExtraInjectionSeen_),
      recorder_(std::make_unique<qz::live::TAcquisitionRecorder>())
{
    setObjectName(QStringLiteral("FormVisualizza"));
    setWindowTitle(QStringLiteral("Visualizza"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    resize(kDesignSize);
    buildLayout();

    // Scaling and the released pictures.
    plat::ApplyScreenScale(this);
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const plat::ScaleFactor f = screen ? plat::ScreenScaleFactor(screen->size()) : plat::ScaleFactor{};
    resize(static_cast<int>(plat::MulDivRound(kDesignSize.width(), f.num, f.den)),
           static_cast<int>(plat::MulDivRound(kDesignSize.height(), f.num, f.den)));
    setWindowState(Qt::WindowFullScreen);
    ImageExit->setPictures(kExitPictures[0], kExitPictures[1]);
    ImageCommutatore->setPictures(kSwitchPictures[0], kSwitchPictures[1]);
    ImageRec->setPictures(kRecPictures[0], kRecPictures[1]);
    ImageStop->setPictures(kStopPictures[0], kStopPictures[1]);
    ImageView->setPictures(kViewPictures[0], kViewPictures[1]);
    ImageLogo->show();

    // Dialogs and texts.
    const QString folder = applicationFolder.isEmpty() ? QDir::currentPath() : applicationFolder;
    const QString acquisitions = QDir(folder).filePath(QStringLiteral("Acquisition"));
    SaveDialogDrt.InitialDir = acquisitions;
    OpenDialogDrt.InitialDir = acquisitions;
    SaveDialogDrt.Title = wkit::Text(qz::live::kAcqStringSaveTitle);
    OpenDialogDrt.Title = wkit::Text(qz::live::kAcqStringOpenTitle);
    SaveDialogDrt.Filter = wkit::Text(qz::live::kAcqStringFilter) + QStringLiteral("|*.") + SaveDialogDrt.DefaultExt;
    OpenDialogDrt.Filter = SaveDialogDrt.Filter;
    LabelExit->setText(wkit::Text(kTextExit));
    LabelTempRid->setText(wkit::Text(kTextReducerTemp));
    LabelTempGas->setText(wkit::Text(kTextGasTemp));
    LabelLambda->setText(wkit::Text(kTextLambda1));
    LabelLambda2->setText(wkit::Text(kTextLambda2));
    LabelMap->setText(wkit::Text(kTextMapPressure));
    LabelPressione->setText(wkit::Text(kTextGasPressure));
    LabelTIniez->setText(wkit::Text(kTextGasTimes));
    LabelTIniezBenz->setText(wkit::Text(kTextPetrolTimes));
    LabelCutoff->setText(wkit::Text(kTextCutoff));
    LabelDiagnosi->setText(wkit::Text(kTextDiagnosis));
    LabelExtraInj->setText(wkit::Text(kTextExtraInjection));
    LabelAcquisizioni->setText(wkit::Text(qz::live::kAcqStringRecordings));
    for (int i = 0; i < 3; ++i)
        injectorTexts_[i] = wkit::Text(visualizza::kTextInjectorsTooBig + i);
    notAvailable_ = wkit::Text(kTextNotAvailable);
    separator_ = decimalSeparator();
    overwriteMessage_ = wkit::Text(qz::live::kAcqStringCannotOverwrite) + QLatin1Char('\n') +
                        wkit::Text(qz::live::kAcqStringChooseOtherName);
    cannotSaveMessage_ = wkit::Text(qz::live::kAcqStringCannotSave);

    // The lambda settings.
    invertedLambda_ = dm().GetTipoDiLambdaBit0() != 0;
    rifLambda_ = static_cast<float>(dm().GetValueByCode(dm::kLambdaReferenceCode));
    lambdaRange_ = visualizza::LambdaRangeFor(static_cast<int>(dm().GetValueByCode(dm::kLambdaTypeCode)));

    if (*extraInjectionSeen_) {
        ShapeExtraInj->setBrush(kYellow);
        ShapeExtraInj->show();
    } else {
        ShapeExtraInj->hide();
    }

    // The live frame, polled by this window alone.
    wkit::LivePollingOn(dm());

    Timer = new QTimer(this);
    Timer->setInterval(kTickMs);
    connect(Timer, &QTimer::timeout, this, &TFormVisualizza::TimerTimer);
    TimerRedraw = new QTimer(this);
    TimerRedraw->setInterval(kRedrawMs);
    connect(TimerRedraw, &QTimer::timeout, this, &TFormVisualizza::TimerRedrawTimer);
    Timer->start();
    TimerRedraw->start();
}

TFormVisualizza::~TFormVisualizza()
{
    // A window freed without closing must not leave the data module without
    // its poll timer.
    if (!closed_ && StreamDati)
        wkit::LivePollingOff(dm());
}

TStreamDati& TFormVisualizza::dm() const { return *StreamDati; }

void TFormVisualizza::buildLayout()
{
    setFont(kit().Font(14, true));
    ImageLogo = kit().Picture(this, "ImageLogo", ":/bmp/logo.png");
    ImageExit = kit().Picture(this, "ImageExit");
    LabelExit = kit().Label(this, "LabelExit", 18, true, Qt::AlignCenter);
    LabelExit->setAttribute(Qt::WA_TranslucentBackground);

    // Dials.
    ImageGiri = kit().Picture(this, "ImageGiri", ":/bmp/dialgiri.png");
    LabelGiri = kit().Label(this, "LabelGiri", 26, true, Qt::AlignCenter);
    ImageTempRid = kit().Picture(this, "ImageTempRid", ":/bmp/dialtemp.png");
    // A temperature dial's scale climbs from the top centre to the right, so
    // its caption stands in the top right corner, clear of the marks.
    LabelTempRid = kit().Label(this, "LabelTempRid", 14, true, Qt::AlignRight | Qt::AlignTop);
    LabTempRid = kit().Label(this, "LabTempRid", 18, true, Qt::AlignRight | Qt::AlignVCenter);
    ImageRidGray = kit().Picture(this, "ImageRidGray", ":/bmp/nosignal.png");
    ImageTempGas = kit().Picture(this, "ImageTempGas", ":/bmp/dialtemp.png");
    LabelTempGas = kit().Label(this, "LabelTempGas", 14, true, Qt::AlignRight | Qt::AlignTop);
    LabTempGas = kit().Label(this, "LabTempGas", 18, true, Qt::AlignRight | Qt::AlignVCenter);
    ImageIniettori = kit().Picture(this, "ImageIniettori", ":/bmp/dialiniettori.png");
    PanelIniettori = kit().Label(this, "PanelIniettori", 16, true, Qt::AlignCenter);

    // Indicators.
    ImageGasOn = kit().Picture(this, "ImageGasOn", ":/bmp/gason.png");
    ImageGasOff = kit().Picture(this, "ImageGasOff", ":/bmp/gasoff.png");
    ImageBenzinaOn = kit().Picture(this, "ImageBenzinaOn", ":/bmp/benzinaon.png");
    ImageBenzinaOff = kit().Picture(this, "ImageBenzinaOff", ":/bmp/benzinaoff.png");
    ImageGasOn->hide();
    ImageBenzinaOff->hide();
    ImageKeyOn = kit().Picture(this, "ImageKeyOn", ":/bmp/keyon.png");
    ImageKeyOff = kit().Picture(this, "ImageKeyOff", ":/bmp/keyoff.png");
    ImageKeyOn->hide();
    ImageCommutatore = kit().Picture(this, "ImageCommutatore");
    ShapeCutoff = lamp(this, "ShapeCutoff", kRed);
    ShapeCutoff->hide();
    LabelCutoff = kit().Label(this, "LabelCutoff", 14, true, Qt::AlignLeft | Qt::AlignVCenter);
    ShapeDiagnosi = lamp(this, "ShapeDiagnosi", kRed);
    ShapeDiagnosi->hide();
    StatusLamps.SetDiagnosisLamp(ShapeDiagnosi, nullptr, dm::DiagnosisLampOn);
    LabelDiagnosi = kit().Label(this, "LabelDiagnosi", 14, true, Qt::AlignLeft | Qt::AlignVCenter);
    LabelDiagnosi->setCursor(Qt::PointingHandCursor);
    ShapeExtraInj = lamp(this, "ShapeExtraInj", kYellow);
    LabelExtraInj = kit().Label(this, "LabelExtraInj", 14, true, Qt::AlignLeft | Qt::AlignVCenter);

    // Gas level: the reserve lamp at the bottom, four quarters above it.
    StatusLamps.MakeLevelLamps(
        [this](const char* name, bool reserve) { return kit().Shape(this, name, reserve ? kRed : QColor(0, 200, 0)); });

    // Recording.
    LabelAcquisizioni = kit().Label(this, "LabelAcquisizioni", 14, true, Qt::AlignLeft | Qt::AlignVCenter);
    LabelAcquisizioni->setCursor(Qt::PointingHandCursor);
    ShapeAcquisisciOn = lamp(this, "ShapeAcquisisciOn", kRed);
    ShapeAcquisisciOn->hide();
    ShapeAcquisizioni = kit().Shape(this, "ShapeAcquisizioni", plat::FromTColor(kButtonFace));
    ShapeAcquisizioni->setKind(plat::Shape::Kind::RoundRect);
    ImageRec = kit().Picture(this, "ImageRec");
    LabelRec = kit().Label(this, "LabelRec", 12, true, Qt::AlignCenter);
    ImageStop = kit().Picture(this, "ImageStop");
    LabelStop = kit().Label(this, "LabelStop", 12, true, Qt::AlignCenter);
    ImageView = kit().Picture(this, "ImageView");
    LabelView = kit().Label(this, "LabelView", 12, true, Qt::AlignCenter);
    LabelRec->setText(QStringLiteral("REC"));
    LabelStop->setText(QStringLiteral("STOP"));
    LabelView->setText(QStringLiteral("SCOPE"));
    for (QWidget* w : std::initializer_list<QWidget*>{ShapeAcquisizioni, LabelRec, ImageRec, LabelStop, ImageStop,
                                                      LabelView, ImageView})
        w->hide();
    ImageStop->setEnabled(false);

    // Bars: two columns of three.
    struct BarRow {
        QLabel* TFormVisualizza::*caption;
        const char* captionName;
        QFrame* TFormVisualizza::*frame;
        const char* panelName;
        plat::Shape* TFormVisualizza::*bar;
        const char* barName;
        QLabel* TFormVisualizza::*value;
        const char* valueName;
    };
    const BarRow rows[] = {
        {&TFormVisualizza::LabelLambda, "LabelLambda", &TFormVisualizza::PanelLambda, "PanelLambda",
         &TFormVisualizza::ShapeLambda, "ShapeLambda", nullptr, nullptr},
        {&TFormVisualizza::LabelLambda2, "LabelLambda2", &TFormVisualizza::PanelLambda2, "PanelLambda2",
         &TFormVisualizza::ShapeLambda2, "ShapeLambda2", nullptr, nullptr},
        {&TFormVisualizza::LabelPressione, "LabelPressione", &TFormVisualizza::PanelPressione, "PanelPressione",
         &TFormVisualizza::ShapePressione, "ShapePressione", &TFormVisualizza::LabPressione, "LabPressione"},
        {&TFormVisualizza::LabelMap, "LabelMap", &TFormVisualizza::PanelMap, "PanelMap", &TFormVisualizza::ShapeMap,
         "ShapeMap", &TFormVisualizza::LabMap, "LabMap"},
        {&TFormVisualizza::LabelTIniez, "LabelTIniez", &TFormVisualizza::PanelInjGas, "PanelInjGas",
         &TFormVisualizza::ShapeInjGas, "ShapeInjGas", &TFormVisualizza::LabTIniez, "LabTIniez"},
        {&TFormVisualizza::LabelTIniezBenz, "LabelTIniezBenz", &TFormVisualizza::PanelInjBenzina, "PanelInjBenzina",
         &TFormVisualizza::ShapeInjBenzina, "ShapeInjBenzina", &TFormVisualizza::LabTIniezBenz, "LabTIniezBenz"},
    };
    for (const BarRow& row : rows) {
        this->*row.caption = kit().Label(this, row.captionName, 14, true, Qt::AlignLeft | Qt::AlignVCenter);
        this->*row.frame = panel(this, row.panelName);
        this->*row.bar = bar(this->*row.frame, row.barName);
        if (row.value)
            this->*row.value = kit().Label(this, row.valueName, 18, true, Qt::AlignRight | Qt::AlignVCenter);
    }
    ImageMapGray = kit().Picture(this, "ImageMapGray", ":/bmp/nosignal.png");
    ImageRidGray->hide();
    ImageMapGray->hide();

    connect(ImageCommutatore, &plat::PictureButton::clicked, this, &TFormVisualizza::ImageCommutatoreClick);
    connect(ImageRec, &plat::PictureButton::clicked, this, &TFormVisualizza::ImageRecClick);
    connect(ImageStop, &plat::PictureButton::clicked, this, &TFormVisualizza::ImageStopClick);
    connect(ImageView, &plat::PictureButton::clicked, this, &TFormVisualizza::ImageViewClick);
    for (QLabel* l : {LabelExit, LabelDiagnosi, LabelAcquisizioni})
        l->installEventFilter(this);

    overlay_ = new NeedleOverlay(this);
    overlay_->setGeometry(rect());
    overlay_->raise();
}

// ---------------------------------------------------------------------------
// Showing: the injector size rating

void TFormVisualizza::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TFormVisualizza::FormShow()
{
    TStreamDati& d = dm();
    injectorPercent_ = visualizza::InjectorSizePercent(d.GetNumeroRighe(), d.GetNumeroColonne(),
                                                       [&d](int r, int c) { return d.GetMappaK(r, c); });
    const int string = visualizza::InjectorRatingString(injectorPercent_);
    PanelIniettori->setText(string == 0 ? QString() : injectorTexts_[string - visualizza::kTextInjectorsTooBig]);
}

// ---------------------------------------------------------------------------
// Needles

qz::live::TGaugeLayout TFormVisualizza::gaugeLayout() const
{
    return {ImageGiri->geometry(), ImageTempRid->geometry(), ImageTempGas->geometry(), ImageIniettori->geometry()};
}

std::optional<int> TFormVisualizza::NeedleAt(TGaugeDial dial) const { return overlay_->needleAt(dial); }

void TFormVisualizza::DrawGaugeNeedle(TGaugeDial dial, int value, bool draw)
{
    if (overlay_->geometry() != rect())
        overlay_->setGeometry(rect());
    // Erasing takes the needle away; the dial is never painted over.
    overlay_->setNeedle(dial, value, draw, gaugeLayout());
}

void TFormVisualizza::redrawNeedle(TGaugeDial dial, int previous, int current)
{
    DrawGaugeNeedle(dial, previous, false);
    DrawGaugeNeedle(dial, current, true);
}

// ---------------------------------------------------------------------------
// The 20 ms tick

void TFormVisualizza::TimerRedrawTimer() { redrawPending_ = true; }

void TFormVisualizza::TimerTimer()
{
    TStreamDati& d = dm();
    TEcuProtocol* ecu = d.Protocol();

    Timer->stop();
    d.TimerIOTimer(this);
    previousRpm_ = values_.Rpm;
    previousReducerTemp_ = values_.ReducerTemp;
    previousGasTemp_ = values_.GasTemp;

    const dm::TLiveFrame frame = d.DecodedLiveBlock();
    dm::DecodeLiveValues(frame, d.GetTimeBase(), dm::CarriesSecondBank(frame), values_);
    const std::int32_t status = values_.StatusFlags;

    LabelGiri->setText(QString::number(visualizza::RpmShown(values_.Rpm)));
    if (static_cast<std::int32_t>(values_.Rpm) != previousRpm_ || redrawPending_)
        redrawNeedle(TGaugeDial::EngineSpeed, previousRpm_, values_.Rpm);

    const bool connected = ecu->IsConnected();
    LabTempRid->setText(visualizza::TemperatureText(values_.ReducerTemp, separator_, notAvailable_));
    ImageRidGray->setVisible(values_.ReducerTemp == 0 && connected);
    if (values_.ReducerTemp != previousReducerTemp_ || redrawPending_)
        redrawNeedle(TGaugeDial::ReducerTemp, dm::TruncToInt(previousReducerTemp_), dm::TruncToInt(values_.ReducerTemp));
    LabTempGas->setText(visualizza::TemperatureText(values_.GasTemp, separator_, notAvailable_));
    if (values_.GasTemp != previousGasTemp_ || redrawPending_)
        redrawNeedle(TGaugeDial::GasTemp, dm::TruncToInt(previousGasTemp_), dm::TruncToInt(values_.GasTemp));

    // Pressures and injection times.
    LabPressione->setText(visualizza::PressureText(values_.GasPressure, separator_, notAvailable_));
    setBarWidth(ShapePressione, visualizza::GasPressureBar(values_.GasPressure, PanelPressione->width()));
    LabMap->setText(visualizza::PressureText(values_.MapPressure, separator_, notAvailable_));
    setBarWidth(ShapeMap, visualizza::MapBar(values_.MapPressure, PanelMap->width()));
    ImageMapGray->setVisible(values_.MapPressure == 0 && connected);
    LabTIniezBenz->setText(visualizza::InjectionText(values_.PetrolTime1, separator_));
    setBarWidth(ShapeInjBenzina, visualizza::InjectionBar(values_.PetrolTime1, PanelInjBenzina->width()));
    LabTIniez->setText(visualizza::InjectionText(values_.GasTime1, separator_));
    setBarWidth(ShapeInjGas, visualizza::InjectionBar(values_.GasTime1, PanelInjGas->width()));

    // Fuel, key, cut-off and extra injection.
    const auto changed = [&](std::int32_t mask) { return (status & mask) != (previousStatus_ & mask); };
    if (changed(dm::LIVE_CHANGEOVER_PENDING | dm::LIVE_ON_GAS))
        showFuel(status);
    if (status & dm::LIVE_CHANGEOVER_PENDING) {
        ImageGasOn->setVisible(ImageGasOn->isHidden());
        ImageGasOff->setVisible(ImageGasOff->isHidden());
    }
    ImageKeyOn->setVisible((status & dm::LIVE_KEY_ON) != 0);
    ImageKeyOff->setVisible(ImageKeyOn->isHidden());
    if (changed(dm::LIVE_CUTOFF))
        ShapeCutoff->setVisible((status & dm::LIVE_CUTOFF) != 0);
    if (changed(dm::LIVE_EXTRA_INJECTION)) {
        if (status & dm::LIVE_EXTRA_INJECTION) {
            ShapeExtraInj->setBrush(kGreen);
            ShapeExtraInj->show();
            *extraInjectionSeen_ = true;
        } else if (*extraInjectionSeen_) {
            ShapeExtraInj->setBrush(kYellow);
            ShapeExtraInj->show();
        } else {
            ShapeExtraInj->hide();
        }
    }
    previousStatus_ = status;

    showLambdaBar(1, ShapeLambda, PanelLambda);
    showLambdaBar(2, ShapeLambda2, PanelLambda2);

    if (injectorPercent_ >= 0)
        DrawGaugeNeedle(TGaugeDial::InjectorSize, injectorPercent_, true);

    StatusLamps.ShowLevel(d, status, static_cast<std::int32_t>(values_.Level));

    ++tickCount_;
    if (tickCount_ % 20 == 0)
        StatusLamps.ShowDiagnosis(d);

    if (recording_)
        recorder_->Append(qz::live::SampleOfLive(values_));

    redrawPending_ = false;
    Timer->start();
}

void TFormVisualizza::showFuel(std::int32_t status)
{
    bool gasOn = false;
    bool petrolOn = true;
    if (status & dm::LIVE_CHANGEOVER_PENDING) {
        gasOn = true;
        petrolOn = true;
    } else if (status & dm::LIVE_ON_GAS) {
        gasOn = true;
        petrolOn = false;
    }
    ImageGasOn->setVisible(gasOn);
    ImageGasOff->setVisible(!gasOn);
    ImageBenzinaOn->setVisible(petrolOn);
    ImageBenzinaOff->setVisible(!petrolOn);
}

void TFormVisualizza::showLambdaBar(int probe, plat::Shape* s, QFrame* p)
{
    TStreamDati& d = dm();
    visualizza::ProbeInput in;
    in.TypesPresent = d.TipiLambdaPresent != 0;
    in.TypeEnabled = d.GetTipiLambdaEnabled(probe) != 0;
    in.Type = d.GetTipiLambda(probe);
    in.SignalActive = (values_.StatusFlags & (probe == 1 ? dm::LIVE_PROBE1_ACTIVE : dm::LIVE_PROBE2_ACTIVE)) != 0;
    in.Volts = probe == 1 ? values_.Lambda1 : values_.Lambda2;
    in.Reference = rifLambda_;
    in.Inverted = invertedLambda_;
    const visualizza::BarState state = visualizza::LambdaBarState(in, lambdaRange_, p->width());
    s->setBrush(barColour(state.Colour));
    setBarWidth(s, state.Width);
}

// ---------------------------------------------------------------------------
// The changeover switch

void TFormVisualizza::ImageCommutatoreClick()
{
    TStreamDati& d = dm();
    ImageCommutatore->setEnabled(false);
    d.SetFlag(kFlagSwitchState, (values_.StatusFlags & (dm::LIVE_ON_GAS | dm::LIVE_CHANGEOVER_PENDING)) != 0);
    d.SetFlag(kFlagSwitchPress, true);
    plat::CurrentClock().sleep(kSwitchStepMs);
    d.SetFlag(kFlagSwitchState, d.GetFlag(kFlagSwitchState) == 0);
    plat::CurrentClock().sleep(kSwitchStepMs);
    d.SetFlag(kFlagSwitchPress, false);
    plat::CurrentClock().sleep(kSwitchStepMs);
    ImageCommutatore->setEnabled(true);
}

// ---------------------------------------------------------------------------
// Diagnostics and the graph

void TFormVisualizza::LabelDiagnosiClick()
{
    Timer->stop();
    {
        auto* window = new TFormDiagnosi(this);
        window->exec();
        delete window;
    }
    // The diagnostics window leaves the data module polling on its own.
    wkit::LivePollingOn(dm());
    Timer->start();
}

void TFormVisualizza::ImageViewClick()
{
    Timer->stop();
    repaint();
    // The saved recording's name is handed on only while the open dialog has
    // none; after that the graph keeps the file it was given (or loaded).
    if (QFileInfo::exists(SaveDialogDrt.FileName) && OpenDialogDrt.FileName.isEmpty())
        OpenDialogDrt.FileName = SaveDialogDrt.FileName;
    if (const GraphOpener& open = GraphWindowOpener())
        open(this, OpenDialogDrt.FileName);
    Timer->start();
}

// ---------------------------------------------------------------------------
// Keys, mouse and closing

void TFormVisualizza::LabelExitClick() { done(mrCancel); }

bool TFormVisualizza::FormKeyPress(int character)
{
    if (character != 27)
        return false;
    done(mrCancel);
    return true;
}

void TFormVisualizza::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && FormKeyPress(27))
        return;
    QDialog::keyPressEvent(event);
}

bool TFormVisualizza::eventFilter(QObject* watched, QEvent* event)
{
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if ((press || release) && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* l = static_cast<QWidget*>(watched);
        const bool inside = l->rect().contains(mouse->position().toPoint());
        if (watched == LabelExit) {
            // The label presses the exit picture below it.
            ImageExit->setPictures(press ? kExitPictures[1] : kExitPictures[0], kExitPictures[1]);
            if (release && inside)
                LabelExitClick();
            return true;
        }
        if (release && inside && watched == LabelDiagnosi) {
            LabelDiagnosiClick();
            return true;
        }
        if (release && inside && watched == LabelAcquisizioni) {
            LabelAcquisizioniClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormVisualizza::FormClose()
{
    if (closed_)
        return;
    closed_ = true;
    Timer->stop();
    TimerRedraw->stop();
    if (recording_)
        ImageStopClick();
    wkit::LivePollingOff(dm());
}

void TFormVisualizza::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TFormVisualizza::closeEvent(QCloseEvent* event)
{
    FormClose();
    QDialog::closeEvent(event);
}
