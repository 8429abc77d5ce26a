#pragma once
// TFormVisualizza: the full-screen live data window. While it is open it
// replaces the data module's poll timer with its own 20 ms tick, reads the
// ECU's real-time block on every tick and shows engine speed, the lambda
// probes, injection times, temperatures, pressures, fuel, key, cut-off,
// extra injection, diagnostic errors and the gas level. It rates the
// injector size from map K, emulates a press of the changeover switch,
// records acquisitions and opens the diagnostics and real-time graph windows.
//
// The main window creates it with itself as owner, shows it modally (exec)
// and deletes it. On closing the poll item goes back to 0x14100 and the data
// module's TimerIO starts again.
#include "live/view_rules/VisualizzaRules.h"
#include "live/gauges/NeedleGauges.h"
#include "windowkit/StatusLamps.h"

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QFrame;
class QLabel;
class QPainter;
class QTimer;
class TStreamDati;
namespace plat {
class PictureButton;
class Shape;
} // namespace plat
namespace qz::live {
class TAcquisitionRecorder;
}

class TFormVisualizza : public QDialog {
    Q_OBJECT

public:
    static constexpr int mrCancel = 2;
    static constexpr int kTickMs = 20;
    static constexpr int kRedrawMs = 1000;
    static constexpr int kSwitchStepMs = 300;
    static constexpr int kFlagSwitchState = 5;
    static constexpr int kFlagSwitchPress = 4;

    // A file dialog's settings, as the window keeps them between runs.
    struct FileDialogState {
        QString Title;
        QString InitialDir;
        QString Filter;       // "text|*.txt"
        QString DefaultExt = QStringLiteral("txt");
        QString FileName;
    };

    // Opens the real-time graph window modally with owner and the name of
    // the acquisition to show (the graph may change it); frees it when it
    // closes. Unset: the view picture only pauses the tick.
    using GraphOpener = std::function<void(QWidget* owner, QString& openFileName)>;
    static GraphOpener& GraphWindowOpener();

    // owner: the main window. extraInjectionSeen: the main window's flag
    // (null: a flag of this window alone). applicationFolder: the main
    // window's folder (empty: the current folder); the dialogs start in its
    // "Acquisition" folder.
    explicit TFormVisualizza(QWidget* owner, bool* extraInjectionSeen = nullptr, const QString& applicationFolder = {});
    ~TFormVisualizza() override;

    // ---- Handlers -----------------------------------------------------------
    void FormShow();
    void TimerTimer();
    void TimerRedrawTimer();
    void ImageCommutatoreClick();
    void LabelDiagnosiClick();
    void LabelAcquisizioniClick();
    void ImageRecClick();
    void ImageStopClick();
    void ImageViewClick();
    void LabelExitClick();
    // True when the key was taken (Esc).
    bool FormKeyPress(int character);
    void FormClose();

    // Draws (draw true) or erases the needle of a dial on the window.
    void DrawGaugeNeedle(qz::live::TGaugeDial dial, int value, bool draw);

    // ---- State, for the tests ----------------------------------------------
    const dm::TLiveValues& Values() const { return values_; }
    std::int32_t PreviousStatus() const { return previousStatus_; }
    std::int32_t PreviousRpm() const { return previousRpm_; }
    int TickCount() const { return tickCount_; }
    bool RedrawPending() const { return redrawPending_; }
    int InjectorPercent() const { return injectorPercent_; }
    const visualizza::LambdaRange& LambdaRange() const { return lambdaRange_; }
    float LambdaReference() const { return rifLambda_; }
    bool InvertedLambda() const { return invertedLambda_; }
    bool Recording() const { return recording_; }
    bool Closed() const { return closed_; }
    const qz::live::TAcquisitionRecorder& Recorder() const { return *recorder_; }
    // Where the dial's needle stands (none before it is drawn and after it
    // was erased).
    std::optional<int> NeedleAt(qz::live::TGaugeDial dial) const;

    // ---- Components ----------------------------------------------------------
    QTimer* Timer = nullptr;
    QTimer* TimerRedraw = nullptr;
    QLabel* LabelGiri = nullptr;
    QLabel* LabTempRid = nullptr;
    QLabel* LabTempGas = nullptr;
    QLabel* LabPressione = nullptr;
    QLabel* LabMap = nullptr;
    QLabel* LabTIniez = nullptr;
    QLabel* LabTIniezBenz = nullptr;
    QLabel* LabelTempRid = nullptr;
    QLabel* LabelTempGas = nullptr;
    QLabel* LabelLambda = nullptr;
    QLabel* LabelLambda2 = nullptr;
    QLabel* LabelMap = nullptr;
    QLabel* LabelPressione = nullptr;
    QLabel* LabelTIniez = nullptr;
    QLabel* LabelTIniezBenz = nullptr;
    QLabel* LabelCutoff = nullptr;
    QLabel* LabelExtraInj = nullptr;
    QFrame* PanelPressione = nullptr;
    QFrame* PanelMap = nullptr;
    QFrame* PanelInjBenzina = nullptr;
    QFrame* PanelInjGas = nullptr;
    QFrame* PanelLambda = nullptr;
    QFrame* PanelLambda2 = nullptr;
    plat::Shape* ShapePressione = nullptr;
    plat::Shape* ShapeMap = nullptr;
    plat::Shape* ShapeInjBenzina = nullptr;
    plat::Shape* ShapeInjGas = nullptr;
    plat::Shape* ShapeLambda = nullptr;
    plat::Shape* ShapeLambda2 = nullptr;
    plat::PictureButton* ImageGasOn = nullptr;
    plat::PictureButton* ImageGasOff = nullptr;
    plat::PictureButton* ImageBenzinaOn = nullptr;
    plat::PictureButton* ImageBenzinaOff = nullptr;
    plat::PictureButton* ImageKeyOn = nullptr;
    plat::PictureButton* ImageKeyOff = nullptr;
    plat::PictureButton* ImageRidGray = nullptr;
    plat::PictureButton* ImageMapGray = nullptr;
    plat::Shape* ShapeCutoff = nullptr;
    plat::Shape* ShapeDiagnosi = nullptr;
    plat::Shape* ShapeExtraInj = nullptr;
    plat::Shape* ShapeAcquisisciOn = nullptr;
    wkit::StatusLamps StatusLamps; // the level lamps, the diagnosis lamp
    QLabel* PanelIniettori = nullptr;
    plat::PictureButton* ImageCommutatore = nullptr;
    QLabel* LabelExit = nullptr;
    plat::PictureButton* ImageExit = nullptr;
    QLabel* LabelDiagnosi = nullptr;
    QLabel* LabelAcquisizioni = nullptr;
    plat::Shape* ShapeAcquisizioni = nullptr;
    QLabel* LabelRec = nullptr;
    plat::PictureButton* ImageRec = nullptr;
    QLabel* LabelStop = nullptr;
    plat::PictureButton* ImageStop = nullptr;
    QLabel* LabelView = nullptr;
    plat::PictureButton* ImageView = nullptr;
    plat::PictureButton* ImageLogo = nullptr;
    plat::PictureButton* ImageGiri = nullptr;
    plat::PictureButton* ImageTempRid = nullptr;
    plat::PictureButton* ImageTempGas = nullptr;
    plat::PictureButton* ImageIniettori = nullptr;
    FileDialogState SaveDialogDrt;
    FileDialogState OpenDialogDrt;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class NeedleOverlay;

    void buildLayout();
    void redrawNeedle(qz::live::TGaugeDial dial, int previous, int current);
    void showFuel(std::int32_t status);
    void showLambdaBar(int probe, plat::Shape* shape, QFrame* panel);
    QString askSaveName();
    qz::live::TGaugeLayout gaugeLayout() const;
    TStreamDati& dm() const;

    dm::TLiveValues values_;
    std::int32_t previousRpm_ = 0;
    double previousReducerTemp_ = 0;
    double previousGasTemp_ = 0;
    std::int32_t previousStatus_ = -1;
    float rifLambda_ = 0;
    bool invertedLambda_ = false;
    visualizza::LambdaRange lambdaRange_;
    int tickCount_ = 0;
    bool redrawPending_ = true;
    int injectorPercent_ = 0;
    bool recording_ = false;
    bool closed_ = false;
    bool ownExtraInjectionSeen_ = false;
    bool* extraInjectionSeen_ = nullptr;
    QString injectorTexts_[3];
    QString notAvailable_;
    QChar separator_;  // the user's decimal separator
    QString overwriteMessage_;
    QString cannotSaveMessage_;
    std::unique_ptr<qz::live::TAcquisitionRecorder> recorder_;
    NeedleOverlay* overlay_ = nullptr;
};
