#pragma once
// TFormCalibraTar: the full-screen auto-calibration window. A bar across the
// top shows the live data on every 20 ms tick; below it the user starts,
// follows and aborts the ECU's auto-calibration (for CNG with injector type
// 25 or 35 a measuring step of the petrol injection time comes first, which
// corrects map K before the ECU calibrates). The window also records
// acquisitions and opens the diagnostics window.
//
// While it is open the data module's TimerIO is stopped and the poll item is
// 1; on closing it selects poll item 0x14100 and starts TimerIO again.
#include "live/autocal_rules/CalibraTarRules.h"
#include "windowkit/StatusLamps.h"
#include "windowkit/WindowText.h"

#include <QDialog>
#include <QString>
#include <memory>

class QLabel;
class QFrame;
class QProgressBar;
class QTimer;
class TStreamDati;
namespace plat {
class PictureButton;
class Shape;
class AnimationPlayer;
} // namespace plat
namespace qz::live {
class TAcquisitionRecorder;
}

class TFormCalibraTar : public QDialog {
    Q_OBJECT

public:
    static constexpr int mrCancel = 2;
    static constexpr int kTextNotAvailable = 91; // "n.d."
    static constexpr int kTickMs = 20;

    // owner: the main window. extraInjectionSeen: the main window's flag,
    // which the tick sets and reads (null: the window keeps its own).
    // applicationFolder: the main window's folder (empty: the current
    // folder); the save dialog starts in its "Acquisition" folder.
    explicit TFormCalibraTar(QWidget* owner, bool* extraInjectionSeen = nullptr, const QString& applicationFolder = {});
    ~TFormCalibraTar() override;

    // ---- Handlers -----------------------------------------------------------
    void TimerBlinkTimer();
    void FormClose();
    // True when the key was taken.
    bool FormKeyPress(int character);
    void ImageInitClick();
    void ApplyPetrolTimeCorrection();
    void LabelDiagnosiClick();
    void ImageRecClick();
    void ImageStopClick();
    void ImageExitClick();

    // ---- State, for the tests ------------------------------------------------
    std::int32_t AutoCalibrationState = taratura::Idle;
    const taratura::MeasuringStep& Step() const { return step_; }
    const dm::TLiveValues& Values() const { return values_; }
    bool Recording() const { return recording_; }
    bool Closed() const { return closed_; }
    qz::live::TAcquisitionRecorder& Recorder() { return *recorder_; }

    // ---- Components -----------------------------------------------------------
    QTimer* TimerBlink = nullptr;
    QFrame* PanelBarra = nullptr;
    QLabel* LabGiri = nullptr;
    QLabel* LabTemp = nullptr;
    QLabel* LabTempMot = nullptr;
    QLabel* LabApMot = nullptr;
    QLabel* LabApMot2 = nullptr;
    QLabel* LabApMotBenz = nullptr;
    QLabel* LabApMot2Benz = nullptr;
    // The units of the second bank's times, shown with them.
    QLabel* LabelMsTGas2 = nullptr;
    QLabel* LabelMsTBenz2 = nullptr;
    plat::PictureButton* ImageApMot2 = nullptr;
    plat::PictureButton* ImageApMot2Benz = nullptr;
    plat::PictureButton* ImageLambda1 = nullptr;
    plat::PictureButton* ImageLambda2 = nullptr;
    plat::PictureButton* ImageLambdaValue = nullptr;
    plat::PictureButton* ImageLambda2Value = nullptr;
    QLabel* LabLambda = nullptr;
    QLabel* LabLambda2 = nullptr;
    QLabel* LabPressione = nullptr;
    QLabel* LabPressioneColl = nullptr;
    plat::PictureButton* ImageExtraInj = nullptr;
    plat::PictureButton* ImageCutoff = nullptr;
    plat::PictureButton* ImageCommutatore = nullptr;
    QLabel* LabelBenzina = nullptr;
    QLabel* LabelDiagnosi = nullptr;
    plat::Shape* ImageDiagnosiOn = nullptr;
    plat::Shape* ImageDiagnosiOff = nullptr;
    wkit::StatusLamps StatusLamps; // the level lamps, the diagnosis lamp

    plat::Shape* ShapeOperazione = nullptr;
    QLabel* LabelOperazione = nullptr;
    plat::PictureButton* ImageInit = nullptr;
    QLabel* LabelEnd = nullptr;
    QFrame* PanelGiri = nullptr;
    QLabel* LabGiriTara = nullptr;
    QProgressBar* ProgressBarGiri = nullptr;
    plat::Shape* ShapeProgressBar = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QFrame* PanelAttention = nullptr;
    QLabel* LabelAttention = nullptr;
    plat::AnimationPlayer* JvGIFAnimator = nullptr;
    plat::Shape* ShapeAcquisizioni = nullptr;
    QLabel* LabelAcquisizioni = nullptr;
    plat::PictureButton* ImageRec = nullptr;
    QLabel* LabelRec = nullptr;
    plat::PictureButton* ImageStop = nullptr;
    QLabel* LabelStop = nullptr;
    plat::Shape* ShapeAcquisisciOn = nullptr;
    plat::PictureButton* ImageExit = nullptr;

    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TStreamDati& dm() const;
    void buildLayout();
    void InitForm();
    void showLiveValues();
    void showIndicators();
    void checkDiagnostics();
    void sequenceStep();
    void measuringStep();
    void calibrationStep();
    void finishCalibration();
    void abortCalibration();
    void backToIdle();
    void endWith(const QString& operation);
    void endMeasuringCommand();
    void endMeasuringWith(int string);
    void startCalibration();
    void showRunning(int operationString);
    void hideProgress();
    void diagnosticStop();
    void errorBox(int string);
    bool sendCommand(std::int32_t command, std::uint8_t* buffer, std::int32_t& length, std::int32_t size);
    void setInitPictures();
    static QChar systemSeparator();

    bool* extraInjectionSeen_;
    bool ownExtraInjectionSeen_ = false;
    QString acquisitionFolder_;
    // The user's decimal separator and the "not available" text of the
    // readouts, taken once for the tick.
    QChar separator_ = systemSeparator();
    QString notAvailable_ = wkit::Text(kTextNotAvailable);
    dm::TLiveValues values_;
    taratura::MeasuringStep step_;
    std::int32_t previousStatus_ = -1;
    std::uint32_t tickCounter_ = 0;
    std::int32_t calibrationSpeed_ = 0;
    QString speedRangeText_;
    bool recording_ = false;
    bool closed_ = false;
    bool inHandler_ = false;
    std::unique_ptr<qz::live::TAcquisitionRecorder> recorder_;
};
