#include "FormCalibraTar.h"

#include "datamodule/core/ItemCodes.h"
#include "windowkit/ControlMaker.h"
#include "windowkit/LivePolling.h"
#include "windowkit/WindowText.h"

#include "CalibraTarPlacements.h"
#include "FormCalibraTarParts.h"
#include "complib/numbers/NumberText.h"
#include "complib/translator/Translator.h"
#include "datamodule/core/LiveLamps.h"
#include "datamodule/core/Scaling.h"
#include "datamodule/core/SensorTables.h"
#include "datamodule/core/iodata.h"
#include "live/acquisition/AcquisitionRecorder.h"
#include "live/diagnostics/FormDiagnosi.h"
#include "product/constants/BuildConstants.h"

#include "plat/AnimationPlayer.h"
#include "plat/Colors.h"
#include "plat/Desktop.h"
#include "plat/PictureButton.h"
#include "plat/Placement.h"
#include "plat/Prompts.h"
#include "plat/ScreenCursor.h"
#include "plat/ScreenScale.h"
#include "plat/Services.h"
#include "plat/Shape.h"

#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QTimer>

namespace {

using namespace taratura;
using namespace calibratar;

constexpr int kPicExtraOff = 10022, kPicExtraOn = 10023, kPicExtraSeen = 10024;
constexpr int kPicCutoffOff = 10025, kPicCutoffOn = 10026;
constexpr int kPicPetrol = 10027, kPicGas = 10028;
constexpr int kPicExit = 10047, kPicExitDown = 10048;
constexpr int kPicRec = 10059, kPicRecDown = 10060;
constexpr int kPicStop = 10061, kPicStopDown = 10062;
constexpr int kPicInitStart = 10071, kPicInitStartDown = 10072;
constexpr QSize kDesignSize(1024, 768);
constexpr std::uint32_t kInk = 9396256;
constexpr std::uint32_t kGreen = 32768;
constexpr std::uint32_t kRed = 255;

// The controls below are named and placed by their entry in kPlacements.
void place(QWidget* w, const char* name) { plat::Place(w, taratura::kPlacements, name); }

// The labels, picture buttons and shapes, named and placed by their entries.
const wkit::ControlMaker& kit()
{
    static const wkit::ControlMaker maker(taratura::kPlacements, plat::FromTColor(kInk));
    return maker;
}

// The tick sets the colours every time: only a change touches the palette.
void setTextColour(QLabel* l, std::uint32_t colour)
{
    const QColor c = plat::FromTColor(colour);
    if (l->palette().color(QPalette::WindowText) == c)
        return;
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, c);
    l->setPalette(pal);
}

} // namespace

// ---------------------------------------------------------------------------
// Opening

TFormCalibraTar::TFormCalibraTar(QWidget* owner, bool* extraInjectionSeen, const QString& applicationFolder)
    : QDialog(owner), extraInjectionSeen_(extraInjectionSeen ? extraInjectionSeen : &ownExtraInjectionSeen_),
      acquisitionFolder_(
          QDir(applicationFolder.isEmpty() ? QDir::currentPath() : applicationFolder).filePath(QStringLiteral("Acquisition"))),
      recorder_(std::make_unique<qz::live::TAcquisitionRecorder>())
{
    setObjectName(QStringLiteral("FormCalibraTar"));
    setWindowTitle(QStringLiteral("Taratura automatica"));
    setWindowFlag(Qt::FramelessWindowHint);
    buildLayout();
    // The window grows with its controls, so that it holds them all also
    // where the screen does not take it full screen.
    const plat::ScaleFactor f = plat::ApplyScreenScale(this);
    resize(static_cast<int>(plat::MulDivRound(kDesignSize.width(), f.num, f.den)),
           static_cast<int>(plat::MulDivRound(kDesignSize.height(), f.num, f.den)));
    // Borderless over the whole screen.
    setWindowState(Qt::WindowFullScreen);
    InitForm();
}

TFormCalibraTar::~TFormCalibraTar()
{
    // A window freed without closing must not leave the poll timer stopped.
    if (!closed_ && StreamDati)
        FormClose();
}

TStreamDati& TFormCalibraTar::dm() const { return *StreamDati; }

QChar TFormCalibraTar::systemSeparator()
{
    const QString s = QLocale::system().decimalPoint();
    return s.isEmpty() ? QLatin1Char('.') : s.front();
}

void TFormCalibraTar::buildLayout()
{
    resize(kDesignSize);
    PanelBarra = new QFrame(this);
    PanelBarra->setObjectName(QStringLiteral("PanelBarra"));
    place(PanelBarra, "PanelBarra");
    QWidget* b = PanelBarra;
    // Each readout: its caption above, its value, its unit beside it.
    kit().PlainLabel(b, "LabelGiri", wkit::Text(kTextRpm));
    LabGiri = kit().PlainLabel(b, "LabGiri");
    kit().PlainLabel(b, "LabelRpm", QStringLiteral("rpm"));
    kit().PlainLabel(b, "LabelTempMot", wkit::Text(kTextGasTemp));
    LabTemp = kit().PlainLabel(b, "LabTemp");
    kit().PlainLabel(b, "LabelGradi", QStringLiteral("\u00b0C"));
    kit().PlainLabel(b, "LabelTemp", wkit::Text(kTextReducerTemp));
    LabTempMot = kit().PlainLabel(b, "LabTempMot");
    LabTempMot->setAutoFillBackground(false);
    kit().PlainLabel(b, "LabelGradi1", QStringLiteral("\u00b0C"));
    kit().PlainLabel(b, "LabelInj", wkit::Text(kTextGasTime));
    LabApMot = kit().PlainLabel(b, "LabApMot");
    ImageApMot2 = kit().Picture(b, "ImageApMot2");
    LabApMot2 = kit().PlainLabel(b, "LabApMot2");
    kit().PlainLabel(b, "LabelMsTGas", QStringLiteral("ms"));
    LabelMsTGas2 = kit().PlainLabel(b, "LabelMsTGas2", QStringLiteral("ms"));
    kit().PlainLabel(b, "LabelInjBenz", wkit::Text(kTextPetrolTime));
    LabApMotBenz = kit().PlainLabel(b, "LabApMotBenz");
    ImageApMot2Benz = kit().Picture(b, "ImageApMot2Benz");
    LabApMot2Benz = kit().PlainLabel(b, "LabApMot2Benz");
    kit().PlainLabel(b, "LabelMsTBenz", QStringLiteral("ms"));
    LabelMsTBenz2 = kit().PlainLabel(b, "LabelMsTBenz2", QStringLiteral("ms"));
    ImageLambda1 = kit().Picture(b, "ImageLambda1");
    ImageLambda1->setPicturePath(QStringLiteral(":/bmp/lambda1.png"));
    ImageLambdaValue = kit().Picture(b, "ImageLambdaValue");
    ImageLambdaValue->setPicturePath(QStringLiteral(":/bmp/lambdavalue.png"));
    LabLambda = kit().PlainLabel(b, "LabLambda");
    ImageLambda2 = kit().Picture(b, "ImageLambda2");
    ImageLambda2->setPicturePath(QStringLiteral(":/bmp/lambda2.png"));
    ImageLambda2Value = kit().Picture(b, "ImageLambda2Value");
    ImageLambda2Value->setPicturePath(QStringLiteral(":/bmp/lambdavalue.png"));
    LabLambda2 = kit().PlainLabel(b, "LabLambda2");
    for (QLabel* l : {LabLambda, LabLambda2})
        l->setAlignment(Qt::AlignCenter);
    kit().PlainLabel(b, "LabelPress", wkit::Text(kTextGasPressure));
    LabPressione = kit().PlainLabel(b, "LabPressione");
    kit().PlainLabel(b, "LabelGasBar", QStringLiteral("bar"));
    kit().PlainLabel(b, "LabelPressColl", wkit::Text(kTextMap));
    LabPressioneColl = kit().PlainLabel(b, "LabPressioneColl");
    kit().PlainLabel(b, "LabelMapBar", QStringLiteral("bar"));
    // A value stands right beside its unit.
    for (QLabel* l : {LabTemp, LabTempMot, LabApMot, LabApMot2, LabApMotBenz, LabApMot2Benz, LabPressione, LabPressioneColl})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    kit().PlainLabel(b, "LabelLedExtraInj", wkit::Text(kTextExtraInjections));
    ImageExtraInj = kit().Picture(b, "ImageExtraInj");
    kit().PlainLabel(b, "LabelCutoff", wkit::Text(kTextCutoff));
    ImageCutoff = kit().Picture(b, "ImageCutoff");
    // Wide enough for the longest of its texts ("DIAGNOSTICS").
    LabelDiagnosi = kit().PlainLabel(b, "LabelDiagnosi", wkit::Text(kTextDiagnosis));
    LabelDiagnosi->installEventFilter(this);
    ImageDiagnosiOn = kit().Shape(b, "ImageDiagnosiOn", plat::FromTColor(kRed));
    ImageDiagnosiOff = kit().Shape(b, "ImageDiagnosiOff", plat::FromTColor(11119017));
    ImageDiagnosiOn->hide();
    ImageCommutatore = kit().Picture(b, "ImageCommutatore");
    LabelBenzina = kit().PlainLabel(b, "LabelBenzina");
    StatusLamps.MakeLevelLamps([&b](const char* name, bool reserve) {
        plat::Shape* s = kit().Shape(b, name, plat::FromTColor(reserve ? kRed : kGreen));
        s->setKind(plat::Shape::Kind::RoundRect);
        return s;
    });
    // The lamp of the five error states the ECU reports: no petrol-injector
    // faults here.
    StatusLamps.SetDiagnosisLamp(ImageDiagnosiOn, ImageDiagnosiOff, [](TStreamDati& data) {
        for (int i = 0; i < 5; ++i)
            if (data.GetDiagnosi(i, 1) != 0)
                return true;
        return false;
    });

    ShapeOperazione = kit().Shape(this, "ShapeOperazione", plat::FromTColor(16777215));
    LabelOperazione = kit().PlainLabel(this, "LabelOperazione");
    LabelOperazione->setWordWrap(true);
    ImageInit = kit().Picture(this, "ImageInit");
    LabelEnd = kit().PlainLabel(this, "LabelEnd", wkit::Text(kTextNowOnPetrol));
    LabelEnd->hide();
    PanelGiri = new QFrame(this);
    PanelGiri->setObjectName(QStringLiteral("PanelGiri"));
    place(PanelGiri, "PanelGiri");
    kit().PlainLabel(PanelGiri, "LabelGiriTara", wkit::Text(kTextRpm));
    LabGiriTara = kit().PlainLabel(PanelGiri, "LabGiriTara");
    kit().PlainLabel(PanelGiri, "LabelRpmTara", wkit::Text(kTextRpmUnit));
    for (int i = 0; i < taratura::kScaleMarks; ++i) {
        QLabel* mark = kit().PlainLabel(PanelGiri, "LabelScala", QString::number(500 + i * 500));
        mark->move(mark->pos() + QPoint(i * taratura::kScaleStep, 0));
    }
    ProgressBarGiri = new QProgressBar(PanelGiri);
    ProgressBarGiri->setObjectName(QStringLiteral("ProgressBarGiri"));
    place(ProgressBarGiri, "ProgressBarGiri");
    ProgressBarGiri->setRange(500, 3500);
    ProgressBarGiri->setTextVisible(false);
    PanelGiri->hide();
    ShapeProgressBar = kit().Shape(this, "ShapeProgressBar", plat::FromTColor(14732184));
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    place(ProgressBar, "ProgressBar");
    ProgressBar->setRange(0, 100);
    ShapeProgressBar->hide();
    ProgressBar->hide();
    PanelAttention = new QFrame(this);
    PanelAttention->setObjectName(QStringLiteral("PanelAttention"));
    place(PanelAttention, "PanelAttention");
    LabelAttention = kit().PlainLabel(PanelAttention, "LabelAttention", wkit::Text(kTextDisconnectLoads));
    LabelAttention->setWordWrap(true);
    JvGIFAnimator = new plat::AnimationPlayer(PanelAttention);
    JvGIFAnimator->setObjectName(QStringLiteral("JvGIFAnimator"));
    place(JvGIFAnimator, "JvGIFAnimator");
    if (JvGIFAnimator->open(10000))
        JvGIFAnimator->play();
    PanelAttention->hide();

    ShapeAcquisizioni = kit().Shape(this, "ShapeAcquisizioni", plat::FromTColor(14732184));
    LabelAcquisizioni = kit().PlainLabel(this, "LabelAcquisizioni", wkit::Text(qz::live::kAcqStringRecordings));
    ImageRec = kit().Picture(this, "ImageRec");
    LabelRec = kit().PlainLabel(this, "LabelRec", QStringLiteral("REC"));
    ImageStop = kit().Picture(this, "ImageStop");
    LabelStop = kit().PlainLabel(this, "LabelStop", QStringLiteral("STOP"));
    ShapeAcquisisciOn = kit().Shape(this, "ShapeAcquisisciOn", plat::FromTColor(kGreen));
    ShapeAcquisisciOn->hide();
    ImageExit = kit().Picture(this, "ImageExit");

    connect(ImageInit, &plat::PictureButton::clicked, this, &TFormCalibraTar::ImageInitClick);
    connect(ImageRec, &plat::PictureButton::clicked, this, &TFormCalibraTar::ImageRecClick);
    connect(ImageStop, &plat::PictureButton::clicked, this, &TFormCalibraTar::ImageStopClick);
    connect(ImageExit, &plat::PictureButton::clicked, this, &TFormCalibraTar::ImageExitClick);
}

void TFormCalibraTar::InitForm()
{
    ImageExtraInj->setPictures(kPicExtraOff);
    ImageCutoff->setPictures(kPicCutoffOff);
    ImageCommutatore->setPictures(kPicPetrol);
    ImageExit->setPictures(kPicExit, kPicExitDown);
    LabelOperazione->setText(wkit::Text(kTextPressEnter));
    LabelBenzina->setText(wkit::Text(kTextPetrol));
    setTextColour(LabelBenzina, kRed);
    setInitPictures();
    ProgressBarGiri->setMinimum(500);

    calibrationSpeed_ = static_cast<std::int32_t>(dm().GetValueByCode(dm::kCalibrationRpmCode));
    speedRangeText_ = SpeedRangeText(calibrationSpeed_, wkit::Text(kTextBringEngineTo), wkit::Text(kTextRpmAtIdle));

    if (dm().GetFlag(1))
        PanelAttention->show();
    const bool second = dm().HasSecondaSonda();
    const bool probeTypes = dm().TipiLambdaPresent != 0;
    for (QWidget* w : {static_cast<QWidget*>(ImageLambda2), static_cast<QWidget*>(ImageLambda2Value),
                       static_cast<QWidget*>(LabLambda2)})
        w->setVisible(second || probeTypes);
    // The second bank's times with their units.
    for (QWidget* w : {static_cast<QWidget*>(LabApMot2), static_cast<QWidget*>(ImageApMot2),
                       static_cast<QWidget*>(LabApMot2Benz), static_cast<QWidget*>(ImageApMot2Benz),
                       static_cast<QWidget*>(LabelMsTGas2), static_cast<QWidget*>(LabelMsTBenz2)})
        w->setVisible(second);
    ImageExtraInj->setPictures(*extraInjectionSeen_ ? kPicExtraSeen : kPicExtraOff);

    ImageRec->setPictures(kPicRec, kPicRecDown);
    ImageStop->setPictures(kPicStop, kPicStopDown);
    ImageStop->setEnabled(false);

    wkit::LivePollingOn(dm());

    TimerBlink = new QTimer(this);
    TimerBlink->setInterval(kTickMs);
    connect(TimerBlink, &QTimer::timeout, this, &TFormCalibraTar::TimerBlinkTimer);
    TimerBlink->start();
}

void TFormCalibraTar::setInitPictures()
{
    if (AutoCalibrationState == Idle)
        ImageInit->setPictures(kPicInitStart, kPicInitStartDown);
    else
        ImageInit->setPictures(kPicInitStop, kPicInitStopDown);
}

// ---------------------------------------------------------------------------
// The tick

void TFormCalibraTar::TimerBlinkTimer()
{
    // A message box or a transfer question inside a tick runs the message
    // loop: the ticks that arrive there are dropped, so the sequence never
    // runs inside itself (a second final read inside the first).
    if (inHandler_ || closed_)
        return;
    inHandler_ = true;
    TimerBlink->stop();
    dm().TimerIOTimer(this);
    TimerBlink->start();
    const dm::TLiveFrame frame = dm().DecodedLiveBlock();
    dm::DecodeLiveValues(frame, dm().GetTimeBase(), dm::CarriesSecondBank(frame), values_);

    showLiveValues();
    showIndicators();
    if (recording_)
        recorder_->Append(SampleOf(values_));
    checkDiagnostics();
    if (AutoCalibrationState == Measuring || AutoCalibrationState == Running)
        sequenceStep();
    inHandler_ = false;
}

void TFormCalibraTar::showLiveValues()
{
    const QChar sep = separator_;
    const QString& na = notAvailable_;
    LabGiri->setText(QString::number(values_.Rpm));
    LabGiriTara->setText(QString::number(values_.Rpm));
    ProgressBarGiri->setValue(std::clamp(static_cast<int>(values_.Rpm), ProgressBarGiri->minimum(), ProgressBarGiri->maximum()));
    LabApMot->setText(TimeText(values_.GasTime1, sep));
    LabApMotBenz->setText(TimeText(values_.PetrolTime1, sep));
    if (dm().HasSecondaSonda()) {
        LabApMot2->setText(TimeText(values_.GasTime2, sep));
        LabApMot2Benz->setText(TimeText(values_.PetrolTime2, sep));
    }
    const bool types = dm().TipiLambdaPresent != 0;
    auto lambdaText = [&](int probe, double volts) {
        return types && !dm().GetTipiLambdaEnabled(probe) ? na : complib::FormatFixed(volts, 3, 1, sep);
    };
    LabLambda->setText(lambdaText(1, values_.Lambda1));
    LabLambda2->setText(lambdaText(2, values_.Lambda2));
    const bool connected = dm().Protocol()->IsConnected();
    LabPressione->setText(PressureText(values_.GasPressure, sep, na));
    LabPressioneColl->setText(PressureText(values_.MapPressure, sep, na));
    LabPressioneColl->setAutoFillBackground(values_.MapPressure == 0 && connected);
    LabTemp->setText(TemperatureText(values_.GasTempRaw, values_.GasTemp, na));
    LabTempMot->setText(TemperatureText(values_.ReducerTempRaw, values_.ReducerTemp, na));
    LabTempMot->setAutoFillBackground(values_.ReducerTempRaw == 0 && connected);

    const double reference = static_cast<double>(dm().GetValueByCode(dm::kLambdaReferenceCode));
    const bool inverted = dm().GetTipoDiLambdaBit0() != 0;
    auto look = [&](int probe, double volts, int bit) {
        ProbeInput in;
        in.TypesPresent = types;
        in.TypeEnabled = !types || dm().GetTipiLambdaEnabled(probe);
        in.Type = types ? dm().GetTipiLambda(probe) : 0;
        in.SignalBit = (values_.StatusFlags & bit) != 0;
        in.Volts = volts;
        in.Reference = reference;
        in.Inverted = inverted;
        return LambdaLook(in);
    };
    for (auto [l, lk] : {std::pair{LabLambda, look(1, values_.Lambda1, 0x20)},
                         std::pair{LabLambda2, look(2, values_.Lambda2, 0x40)}}) {
        setTextColour(l, lk.Colour);
        l->setEnabled(lk.Enabled);
    }
}

void TFormCalibraTar::showIndicators()
{
    const std::int32_t status = values_.StatusFlags;
    const std::int32_t changed = status ^ previousStatus_;
    if (changed & 0x18) {
        const bool gas = status & 0x18;
        ImageCommutatore->setPictures(gas ? kPicGas : kPicPetrol);
        LabelBenzina->setText(wkit::Text(gas ? 175 : 174));
        setTextColour(LabelBenzina, gas ? kGreen : kRed);
    }
    LabelBenzina->setVisible((status & 0x08) ? !LabelBenzina->isVisible() : true);
    LabelBenzina->repaint();
    if (changed & 0x04)
        ImageCutoff->setPictures((status & 0x04) ? kPicCutoffOn : kPicCutoffOff);
    if (changed & 0x01) {
        if (status & 0x01) {
            ImageExtraInj->setPictures(kPicExtraOn);
            *extraInjectionSeen_ = true;
        } else {
            ImageExtraInj->setPictures(*extraInjectionSeen_ ? kPicExtraSeen : kPicExtraOff);
        }
    }
    StatusLamps.ShowLevel(dm(), status, static_cast<std::int32_t>(values_.Level));
    previousStatus_ = status;
}

void TFormCalibraTar::checkDiagnostics()
{
    ++tickCounter_;
    if (tickCounter_ % 20 != 0)
        return;
    if (StatusLamps.ShowDiagnosis(dm())) {
        repaint();
        if (dm().Protocol()->IsConnected())
            diagnosticStop();
    }
}

// ---------------------------------------------------------------------------
// Recording, diagnostics, keys, closing

void TFormCalibraTar::ImageRecClick()
{
    recorder_->Start(dm().HasSecondaSonda() ? 2 : 1);
    ImageStop->setEnabled(true);
    ImageRec->setEnabled(false);
    ShapeAcquisisciOn->show();
    recording_ = true;
}

void TFormCalibraTar::ImageStopClick()
{
    recorder_->Stop();
    ImageStop->setEnabled(false);
    ImageRec->setEnabled(true);
    ShapeAcquisisciOn->hide();
    repaint();
    recording_ = false;
    plat::FileDialogRequest request;
    request.title = wkit::Text(qz::live::kAcqStringSaveTitle);
    request.initialDir = acquisitionFolder_;
    request.filter =
        wkit::Text(qz::live::kAcqStringFilter) + QStringLiteral("|") + QLatin1String(qz::live::kAcqFilterPattern);
    request.defaultExt = QLatin1String(qz::live::kAcqDefaultExtension);
    const QString overwrite = wkit::Text(qz::live::kAcqStringCannotOverwrite) + QLatin1Char('\n') +
                              wkit::Text(qz::live::kAcqStringChooseOtherName);
    const QString cannotSave = wkit::Text(qz::live::kAcqStringCannotSave);
    const auto outcome = qz::live::RunAcquisitionSave(
        *recorder_, [&] { return plat::Desktop().fileDialogs->getSaveFileName(request); },
        [&](const qz::live::TAcqResult& failed) {
            plat::CurrentPrompts().ask({windowTitle(),
                                        qz::live::AcquisitionSaveErrorText(overwrite, cannotSave, failed),
                                        plat::PromptIcon::Error});
        });
    if (outcome == qz::live::TAcqSaveOutcome::Cancelled)
        recorder_->Discard();
}

void TFormCalibraTar::LabelDiagnosiClick()
{
    TimerBlink->stop();
    {
        TFormDiagnosi diagnosi(this);
        diagnosi.exec();
    }
    wkit::LivePollingOn(dm());
    TimerBlink->start();
}

bool TFormCalibraTar::FormKeyPress(int character)
{
    if (character == 13) {
        if (AutoCalibrationState == Measuring)
            ApplyPetrolTimeCorrection();
        else
            ImageInitClick();
        return true;
    }
    if (character == 27) {
        ImageExitClick();
        return true;
    }
    return false;
}

void TFormCalibraTar::ImageExitClick() { done(mrCancel); }

void TFormCalibraTar::FormClose()
{
    if (closed_)
        return;
    closed_ = true;
    if (TimerBlink)
        TimerBlink->stop();
    if (recording_)
        ImageStopClick();
    if (AutoCalibrationState == Running)
        abortCalibration();
    if (AutoCalibrationState == Measuring || AutoCalibrationState == Running) {
        backToIdle();
        PanelGiri->hide();
    }
    wkit::LivePollingOff(dm());
}

void TFormCalibraTar::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TFormCalibraTar::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        FormKeyPress(13);
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        FormKeyPress(27);
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TFormCalibraTar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == LabelDiagnosi && event->type() == QEvent::MouseButtonRelease) {
        LabelDiagnosiClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFormCalibraTar::closeEvent(QCloseEvent* event)
{
    FormClose();
    QDialog::closeEvent(event);
}
