#include "FormVisualizza.h"
#include "ItemCodes.h"

#include "LiveLamps.h"
#include "VisualizzaPlacements.h"
#include "AcquisitionRecorder.h"
#include "FormDiagnosi.h"
#include "FormGraficoDrt.h"
#include "Translator.h"
#include "iodata.h"

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
constexpr int kFilterString = 477;

// Released and pressed bitmaps of the picture buttons.
constexpr int kExitPictures[] = {10055, 10056};
constexpr int kSwitchPictures[] = {10057, 10058};
constexpr int kRecPictures[] = {10059, 10060};
constexpr int kStopPictures[] = {10061, 10062};
constexpr int kViewPictures[] = {10063, 10064};

QFont sans(int pixels, bool bold) { return plat::sansFont(pixels, bold); }

// The controls below are named and placed by their entry in kPlacements.
QRect placeOf(const char* name) { return plat::placementRect(visualizza::kPlacements, name); }

QLabel* label(QWidget* parent, const char* name, int pixels = 14, bool bold = true,
              Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    return plat::makeLabel(parent, name, placeOf(name), sans(pixels, bold), align, plat::fromTColor(kInk));
}

plat::PictureButton* picture(QWidget* parent, const char* name, const char* path = nullptr)
{
    auto* p = new plat::PictureButton(parent);
    p->setObjectName(QLatin1String(name));
    p->setGeometry(placeOf(name));
    if (path)
        p->setPicturePath(QLatin1String(path));
    return p;
}

plat::Shape* shape(QWidget* parent, const char* name, const QColor& fill)
{
    auto* s = new plat::Shape(parent);
    s->setObjectName(QLatin1String(name));
    s->setGeometry(placeOf(name));
    s->setBrush(fill);
    return s;
}

// A round indicator lamp.
plat::Shape* lamp(QWidget* parent, const char* name, const QColor& fill)
{
    auto* s = shape(parent, name, fill);
    s->setMask(QRegion(s->rect(), QRegion::Ellipse));
    return s;
}

QFrame* panel(QWidget* parent, const char* name)
{
    auto* f = new QFrame(parent);
    f->setObjectName(QLatin1String(name));
    f->setGeometry(placeOf(name));
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
    return plat::fromTColor(kButtonFace);
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
        const QColor window = plat::fromTColor(kWindowColour);
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
    plat::applyScreenScale(this);
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const plat::ScaleFactor f = screen ? plat::screenScaleFactor(screen->size()) : plat::ScaleFactor{};
    resize(static_cast<int>(plat::mulDivRound(kDesignSize.width(), f.num, f.den)),
           static_cast<int>(plat::mulDivRound(kDesignSize.height(), f.num, f.den)));
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
    SaveDialogDrt.Title = text(475);
    OpenDialogDrt.Title = text(476);
    SaveDialogDrt.Filter = text(kFilterString) + QStringLiteral("|*.") + SaveDialogDrt.DefaultExt;
    OpenDialogDrt.Filter = SaveDialogDrt.Filter;
    LabelExit->setText(text(410));
    LabelTempRid->setText(text(405));
    LabelTempGas->setText(text(406));
    LabelLambda->setText(text(411));
    LabelLambda2->setText(text(412));
    LabelMap->setText(text(413));
    LabelPressione->setText(text(414));
    LabelTIniez->setText(text(415));
    LabelTIniezBenz->setText(text(416));
    LabelCutoff->setText(text(491));
    LabelDiagnosi->setText(text(492));
    LabelExtraInj->setText(text(493));
    LabelAcquisizioni->setText(text(494));
    for (int i = 0; i < 3; ++i)
        injectorTexts_[i] = text(407 + i);
    notAvailable_ = text(91);
    separator_ = decimalSeparator();
    overwriteMessage_ = text(qz::live::kAcqStringCannotOverwrite) + QLatin1Char('\n') +
                        text(qz::live::kAcqStringChooseOtherName);
    cannotSaveMessage_ = text(qz::live::kAcqStringCannotSave);

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
    dm().SetPollItem(kPollLive);
    dm().TimerIO->stop();

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
        restorePolling();
}

TStreamDati& TFormVisualizza::dm() const { return *StreamDati; }

QString TFormVisualizza::text(int number) const
{
    return StreamDati && StreamDati->Translator ? StreamDati->Translator->GetString(number) : QString();
}

void TFormVisualizza::buildLayout()
{
    setFont(sans(14, true));
    ImageLogo = picture(this, "ImageLogo", ":/bmp/logo.png");
    ImageExit = picture(this, "ImageExit");
    LabelExit = label(this, "LabelExit", 18, true, Qt::AlignCenter);
    LabelExit->setAttribute(Qt::WA_TranslucentBackground);

    // Dials.
    ImageGiri = picture(this, "ImageGiri", ":/bmp/dialgiri.png");
    LabelGiri = label(this, "LabelGiri", 26, true, Qt::AlignCenter);
    ImageTempRid = picture(this, "ImageTempRid", ":/bmp/dialtemp.png");
    // A temperature dial's scale climbs from the top centre to the right, so
    // its caption stands in the top right corner, clear of the marks.
    LabelTempRid = label(this, "LabelTempRid", 14, true, Qt::AlignRight | Qt::AlignTop);
    LabTempRid = label(this, "LabTempRid", 18, true, Qt::AlignRight | Qt::AlignVCenter);
    ImageRidGray = picture(this, "ImageRidGray", ":/bmp/nosignal.png");
    ImageTempGas = picture(this, "ImageTempGas", ":/bmp/dialtemp.png");
    LabelTempGas = label(this, "LabelTempGas", 14, true, Qt::AlignRight | Qt::AlignTop);
    LabTempGas = label(this, "LabTempGas", 18, true, Qt::AlignRight | Qt::AlignVCenter);
    ImageIniettori = picture(this, "ImageIniettori", ":/bmp/dialiniettori.png");
    PanelIniettori = label(this, "PanelIniettori", 16, true, Qt::AlignCenter);

    // Indicators.
    ImageGasOn = picture(this, "ImageGasOn", ":/bmp/gason.png");
    ImageGasOff = picture(this, "ImageGasOff", ":/bmp/gasoff.png");
    ImageBenzinaOn = picture(this, "ImageBenzinaOn", ":/bmp/benzinaon.png");
    ImageBenzinaOff = picture(this, "ImageBenzinaOff", ":/bmp/benzinaoff.png");
    ImageGasOn->hide();
    ImageBenzinaOff->hide();
    ImageKeyOn = picture(this, "ImageKeyOn", ":/bmp/keyon.png");
    ImageKeyOff = picture(this, "ImageKeyOff", ":/bmp/keyoff.png");
    ImageKeyOn->hide();
    ImageCommutatore = picture(this, "ImageCommutatore");
    ShapeCutoff = lamp(this, "ShapeCutoff", kRed);
    ShapeCutoff->hide();
    LabelCutoff = label(this, "LabelCutoff");
    ShapeDiagnosi = lamp(this, "ShapeDiagnosi", kRed);
    ShapeDiagnosi->hide();
    LabelDiagnosi = label(this, "LabelDiagnosi");
    LabelDiagnosi->setCursor(Qt::PointingHandCursor);
    ShapeExtraInj = lamp(this, "ShapeExtraInj", kYellow);
    LabelExtraInj = label(this, "LabelExtraInj");

    // Gas level: the reserve lamp at the bottom, four quarters above it.
    const QColor levelColour(0, 200, 0);
    ShapeQuattroQuarti = shape(this, "ShapeQuattroQuarti", levelColour);
    ShapeTreQuarti = shape(this, "ShapeTreQuarti", levelColour);
    ShapeDueQuarti = shape(this, "ShapeDueQuarti", levelColour);
    ShapeUnQuarto = shape(this, "ShapeUnQuarto", levelColour);
    ShapeRiserva = shape(this, "ShapeRiserva", kRed);
    for (auto* s : {ShapeQuattroQuarti, ShapeTreQuarti, ShapeDueQuarti, ShapeUnQuarto, ShapeRiserva})
        s->hide();

    // Recording.
    LabelAcquisizioni = label(this, "LabelAcquisizioni");
    LabelAcquisizioni->setCursor(Qt::PointingHandCursor);
    ShapeAcquisisciOn = lamp(this, "ShapeAcquisisciOn", kRed);
    ShapeAcquisisciOn->hide();
    ShapeAcquisizioni = shape(this, "ShapeAcquisizioni", plat::fromTColor(kButtonFace));
    ShapeAcquisizioni->setKind(plat::Shape::Kind::RoundRect);
    ImageRec = picture(this, "ImageRec");
    LabelRec = label(this, "LabelRec", 12, true, Qt::AlignCenter);
    ImageStop = picture(this, "ImageStop");
    LabelStop = label(this, "LabelStop", 12, true, Qt::AlignCenter);
    ImageView = picture(this, "ImageView");
    LabelView = label(this, "LabelView", 12, true, Qt::AlignCenter);
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
        this->*row.caption = label(this, row.captionName);
        this->*row.frame = panel(this, row.panelName);
        this->*row.bar = bar(this->*row.frame, row.barName);
        if (row.value)
            this->*row.value = label(this, row.valueName, 18, true, Qt::AlignRight | Qt::AlignVCenter);
    }
    ImageMapGray = picture(this, "ImageMapGray", ":/bmp/nosignal.png");
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
    PanelIniettori->setText(string == 0 ? QString() : injectorTexts_[string - 407]);
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

    const std::array<std::int32_t, 4> thresholds{d.GetRifSensore(0), d.GetRifSensore(1), d.GetRifSensore(2),
                                                 d.GetRifSensore(3)};
    const auto lamps =
        dm::LevelLamps(status, static_cast<std::int32_t>(values_.Level), thresholds, d.GetTipoSensoreBit7());
    plat::Shape* const level[] = {ShapeRiserva, ShapeUnQuarto, ShapeDueQuarti, ShapeTreQuarti, ShapeQuattroQuarti};
    for (std::size_t i = 0; i < lamps.size(); ++i)
        level[i]->setVisible(lamps[i]);

    ++tickCount_;
    if (tickCount_ % 20 == 0)
        refreshDiagnosi();

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

void TFormVisualizza::refreshDiagnosi()
{
    TStreamDati& d = dm();
    bool errors = false;
    for (int i = 0; i < 5 && !errors; ++i)
        errors = d.GetDiagnosi(i, 1) != 0;
    if (!errors) {
        TEcuProtocol* ecu = d.Protocol();
        if (ecu->IsConnected()) {
            std::int32_t faults = 0;
            errors = ecu->ReadItem(kPetrolFaults, &faults) && faults != 0;
        }
    }
    ShapeDiagnosi->setVisible(errors);
}

// ---------------------------------------------------------------------------
// The changeover switch

void TFormVisualizza::ImageCommutatoreClick()
{
    TStreamDati& d = dm();
    ImageCommutatore->setEnabled(false);
    d.SetFlag(kFlagSwitchState, (values_.StatusFlags & (dm::LIVE_ON_GAS | dm::LIVE_CHANGEOVER_PENDING)) != 0);
    d.SetFlag(kFlagSwitchPress, true);
    plat::clock().sleep(kSwitchStepMs);
    d.SetFlag(kFlagSwitchState, d.GetFlag(kFlagSwitchState) == 0);
    plat::clock().sleep(kSwitchStepMs);
    d.SetFlag(kFlagSwitchPress, false);
    plat::clock().sleep(kSwitchStepMs);
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
    dm().SetPollItem(kPollLive);
    dm().TimerIO->stop();
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
// Recording

void TFormVisualizza::LabelAcquisizioniClick()
{
    const bool show = ShapeAcquisizioni->isHidden();
    for (QWidget* w : std::initializer_list<QWidget*>{ShapeAcquisizioni, LabelRec, ImageRec, LabelStop, ImageStop,
                                                      LabelView, ImageView})
        w->setVisible(show);
}

void TFormVisualizza::ImageRecClick()
{
    // A temporary file that cannot be created leaves a recording that
    // writes nothing, without a message.
    recorder_->Start(dm().HasSecondaSonda() ? 2 : 1);
    ImageStop->setEnabled(true);
    ImageRec->setEnabled(false);
    ImageView->setEnabled(false);
    ShapeAcquisisciOn->show();
    recording_ = true;
}

QString TFormVisualizza::askSaveName()
{
    plat::FileDialogRequest request;
    request.title = SaveDialogDrt.Title;
    request.initialDir = SaveDialogDrt.InitialDir;
    request.filter = SaveDialogDrt.Filter;
    request.defaultExt = SaveDialogDrt.DefaultExt;
    const QString name = plat::desktop().fileDialogs->getSaveFileName(request);
    if (!name.isEmpty())
        SaveDialogDrt.FileName = name;
    return name;
}

void TFormVisualizza::ImageStopClick()
{
    recorder_->Stop();
    ImageStop->setEnabled(false);
    ImageRec->setEnabled(true);
    ImageView->setEnabled(true);
    ShapeAcquisisciOn->hide();
    repaint();
    recording_ = false;

    // Without a temporary file there is nothing to save.
    if (!recorder_->HasUnsaved())
        return;
    const auto outcome = qz::live::RunAcquisitionSave(
        *recorder_, [this] { return askSaveName(); },
        [this](const qz::live::TAcqResult& failed) {
            plat::prompts().ask({windowTitle(),
                                 qz::live::AcquisitionSaveErrorText(overwriteMessage_, cannotSaveMessage_, failed),
                                 plat::PromptIcon::Error, plat::PromptButtons::Ok});
        });
    if (outcome == qz::live::TAcqSaveOutcome::Cancelled)
        recorder_->Discard();
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

void TFormVisualizza::restorePolling()
{
    dm().SetPollItem(kPollIdle);
    dm().TimerIO->start();
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
    restorePolling();
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
