// The auto-calibration window's sequence: the commands to the ECU, the
// start/stop button's handler, the measuring of the petrol time and its
// correction of the map, the calibration's progress and its end.

#include "FormCalibraTar.h"
#include "FormCalibraTarParts.h"

#include "datamodule/core/ItemCodes.h"
#include "windowkit/WindowText.h"

#include "datamodule/core/Scaling.h"
#include "datamodule/core/SensorTables.h"
#include "datamodule/core/iodata.h"
#include "product/constants/BuildConstants.h"

#include "plat/PictureButton.h"
#include "plat/Prompts.h"
#include "plat/ScreenCursor.h"
#include "plat/Services.h"
#include "plat/Shape.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>

#include <vector>

namespace {

using namespace taratura;
using namespace calibratar;

constexpr std::uint32_t kWaitMs = 3000;
constexpr std::uint32_t kFinishPauseMs = 1000;
constexpr int kReconnectMs = 20000;

} // namespace

bool TFormCalibraTar::sendCommand(std::int32_t command, std::uint8_t* buffer, std::int32_t& length, std::int32_t size)
{
    return dm().Protocol()->SendCommand(command, buffer, &length, size);
}

void TFormCalibraTar::errorBox(int string)
{
    plat::CurrentPrompts().ask({QString::fromUtf8(qz::ProductTitle()), wkit::Text(string), plat::PromptIcon::Error});
}

void TFormCalibraTar::hideProgress()
{
    LabelEnd->hide();
    PanelGiri->hide();
    ShapeProgressBar->hide();
    ProgressBar->hide();
    ProgressBar->setValue(0);
}

void TFormCalibraTar::backToIdle()
{
    AutoCalibrationState = Idle;
    setInitPictures();
    ImageInit->show();
    LabelOperazione->setText(wkit::Text(kTextPressEnter));
    hideProgress();
}

void TFormCalibraTar::endWith(const QString& operation)
{
    AutoCalibrationState = Ended;
    ImageInit->hide();
    LabelOperazione->setText(operation);
    hideProgress();
}

void TFormCalibraTar::endMeasuringCommand()
{
    std::uint8_t buf[2] = {kMeasureEnd, 0};
    std::int32_t len = 1;
    sendCommand(kCmdMeasuring, buf, len, 2);
}

void TFormCalibraTar::endMeasuringWith(int string)
{
    endMeasuringCommand();
    LabelEnd->setText(QString());
    endWith(wkit::Text(string));
}

void TFormCalibraTar::abortCalibration()
{
    plat::SetScreenCursor(plat::ScreenCursor::Hourglass);
    std::uint8_t buf[2] = {};
    std::int32_t len = 0;
    sendCommand(kCmdAbort, buf, len, 2);
    plat::CurrentClock().sleep(kWaitMs);
    dm().Reconnect(kReconnectMs);
    dm().Modified = 0;
    plat::SetScreenCursor(plat::ScreenCursor::Default);
}

void TFormCalibraTar::showRunning(int operationString)
{
    AutoCalibrationState = Running;
    setInitPictures();
    ImageInit->show();
    LabelOperazione->setText(wkit::Text(operationString));
    LabelEnd->hide();
}

void TFormCalibraTar::startCalibration()
{
    std::uint8_t buf[2] = {};
    std::int32_t len = 0;
    if (sendCommand(kCmdStart, buf, len, 2))
        showRunning(274);
    else
        errorBox(272);
}

void TFormCalibraTar::ImageInitClick()
{
    if (!dm().Protocol()->IsConnected()) {
        errorBox(53);
        return;
    }
    const bool wasInHandler = inHandler_;
    inHandler_ = true;
    switch (ClickActionFor(AutoCalibrationState, dm().GetFlag(1) != 0, dm().GetTipoIniettore(1))) {
    case ClickAction::AbortThenIdle:
        abortCalibration();
        backToIdle();
        break;
    case ClickAction::EndStepThenIdle:
        endMeasuringCommand();
        backToIdle();
        break;
    case ClickAction::Nothing:
        break;
    case ClickAction::StartMeasuring: {
        step_ = {};
        PanelAttention->hide();
        std::uint8_t buf[2] = {kMeasureBegin, 0};
        std::int32_t len = 1;
        if (sendCommand(kCmdMeasuring, buf, len, 2)) {
            AutoCalibrationState = Measuring;
            setInitPictures();
            ImageInit->show();
            LabelOperazione->setText(wkit::Text(kTextIdleOnPetrol));
            LabelEnd->hide();
        } else {
            startCalibration();
        }
        break;
    }
    case ClickAction::StartCalibration:
        startCalibration();
        break;
    }
    inHandler_ = wasInHandler;
}

void TFormCalibraTar::sequenceStep()
{
    if (AutoCalibrationState == Measuring)
        measuringStep();
    else if (AutoCalibrationState == Running)
        calibrationStep();
}

void TFormCalibraTar::measuringStep()
{
    const long double reducerC = dm::TempMotoreFromRaw(static_cast<int>(values_.ReducerTempRaw));
    if (const int end = MeasuringCheck(values_.Rpm, values_.StatusFlags, values_.ReducerTempRaw, reducerC,
                                       dm().GetValueByCode(dm::kCalibrationTempCode))) {
        endMeasuringWith(end);
        return;
    }
    PanelGiri->show();
    ShapeProgressBar->show();
    ProgressBar->show();
    std::uint8_t buf[2] = {kMeasureRead, 0};
    std::int32_t len = 1;
    if (sendCommand(kCmdMeasuring, buf, len, 2) && len == 2)
        values_.PetrolTime1 = static_cast<double>(dm::MsFromRaw(buf[0] | (buf[1] << 8), dm().GetTimeBase()));
    if (TakeMeasurement(step_, values_.PetrolTime1)) {
        LabelEnd->setText(MeasuredText(step_.MeasuredPetrolTime, wkit::Text(kTextMeasured), separator_));
        LabelEnd->show();
    }
    switch (MeasuringGuidance(step_, values_.Rpm, plat::CurrentClock().tickCount())) {
    case kTextRevNow: LabelOperazione->setText(wkit::Text(kTextRevNow)); break;
    case kTextRepeatRev: LabelOperazione->setText(wkit::Text(kTextRepeatRev)); break;
    case kTextMeasurementInvalid: endMeasuringWith(kTextMeasurementInvalid); break;
    default: break;
    }
}

void TFormCalibraTar::ApplyPetrolTimeCorrection()
{
    if (!MeasurementApplicable(step_.MeasuredPetrolTime))
        return;
    const bool wasInHandler = inHandler_;
    inHandler_ = true;
    endMeasuringCommand();
    LabelOperazione->setText(wkit::Text(kTextCheckingParameters));
    LabelEnd->setText(QString());
    LabelEnd->hide();
    step_.MeasuredPetrolTime = ClampMeasurement(step_.MeasuredPetrolTime);

    const long double openLoop = dm().GetTOpenLoop(0);
    if (OpenLoopAllowsCorrection(openLoop)) {
        const int columns = dm().GetNumeroColonne();
        std::vector<std::int32_t> cells(static_cast<std::size_t>(columns)), row4(cells.size());
        for (int c = 0; c < columns; ++c)
            row4[static_cast<std::size_t>(c)] = dm().GetMappaK(4, c);
        for (; step_.RowCounter < CorrectionRowEnd(dm().GetNumeroRighe()); ++step_.RowCounter) {
            for (int c = 0; c < columns; ++c)
                cells[static_cast<std::size_t>(c)] = dm().GetMappaK(step_.RowCounter, c);
            const auto row = CorrectedRow(step_.RowCounter, openLoop, step_.MeasuredPetrolTime, cells, row4);
            dm().Protocol()->WriteRow(MapKRowCode(columns), row.data(), step_.RowCounter);
        }
        dm().SetTOpenLoop(0, step_.MeasuredPetrolTime);
        dm().TransferData(TStreamDati::TRANSFER_READ_ECU, QString(), 0, 8, 0, 0);
    }
    std::uint8_t start[2] = {};
    std::int32_t len = 0;
    if (sendCommand(kCmdStart, start, len, 2))
        AutoCalibrationState = Running;
    else
        endWith(wkit::Text(kTextCheckingParameters));
    inHandler_ = wasInHandler;
}

void TFormCalibraTar::calibrationStep()
{
    std::uint8_t reply[4] = {};
    std::int32_t len = 0;
    if (!sendCommand(kCmdProgress, reply, len, 4)) {
        ImageInit->setPictures(kPicInitStop, kPicInitStopDown);
        ImageInit->show();
        LabelOperazione->setText(wkit::Text(kTextLinkError));
        hideProgress();
        return;
    }
    const Progress p = DecodeProgress(reply);
    if (p.Flags != 0) {
        if (const int s = RefusalString(p.Flags))
            LabelOperazione->setText(wkit::Text(s));
        ImageInit->show();
        hideProgress();
        std::uint8_t buf[2] = {};
        std::int32_t l = 0;
        if (!sendCommand(kCmdStart, buf, l, 2)) {
            AutoCalibrationState = Idle;
            // The picture follows the state: idle shows the start picture.
            setInitPictures();
            errorBox(272);
        }
        return;
    }
    const PhaseView view =
        PhaseViewFor(p.Phase, static_cast<std::int32_t>(dm().GetValueByCode(dm::kCalibrationRpmCode)));
    if (view.Kind == PhaseKind::Ignored)
        return;
    ImageInit->show();
    PanelGiri->show();
    ShapeProgressBar->show();
    ProgressBar->show();
    LabelEnd->hide();
    switch (view.Kind) {
    case PhaseKind::Text: LabelOperazione->setText(wkit::Text(view.String)); break;
    case PhaseKind::SpeedRange: LabelOperazione->setText(speedRangeText_); break;
    case PhaseKind::Warming:
        LabelOperazione->setText(WarmingText(p.Seconds, wkit::Text(kTextWarming), wkit::Text(kTextSeconds)));
        break;
    case PhaseKind::Finished:
        LabelOperazione->setText(wkit::Text(view.String));
        ProgressBar->setValue(view.Position);
        finishCalibration();
        return;
    case PhaseKind::Ignored: break;
    }
    ProgressBar->setValue(view.Position);
}

void TFormCalibraTar::finishCalibration()
{
    repaint();
    std::uint8_t buf[2] = {0, 0};
    std::int32_t len = 1;
    sendCommand(kCmdClose, buf, len, 2);
    plat::CurrentClock().sleep(kWaitMs);
    dm().Reconnect(kReconnectMs);
    dm().Modified = 0;
    dm().TransferData(TStreamDati::TRANSFER_READ_ECU, QString(), 0, TStreamDati::TRANSFER_ALL_GROUPS, 0, 0);
    ProgressBar->setValue(100);
    plat::CurrentClock().sleep(kFinishPauseMs);
    repaint();
    AutoCalibrationState = Ended;
    ImageInit->hide();
    LabelOperazione->setText(wkit::Text(kTextCalibrationDone));
    PanelGiri->hide();
    ShapeProgressBar->hide();
    ProgressBar->hide();
    ProgressBar->setValue(0);
    LabelEnd->show();
    repaint();
}

void TFormCalibraTar::diagnosticStop()
{
    if (AutoCalibrationState == Running)
        abortCalibration();
    if (AutoCalibrationState == Measuring || AutoCalibrationState == Running)
        endWith(wkit::Text(kTextDiagnosisError));
}
