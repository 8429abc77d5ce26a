#pragma once
// TFormGraficoDrt: the full-screen real-time graph. RUN samples the ECU on
// the window's own 20 ms tick, plots eleven curves against time in a
// scrolling time window and records every sample to a temporary acquisition
// file; STOP ends the recording, which SAVE then keeps under a chosen name.
// LOAD plots a saved acquisition. The live view opens it modally with itself
// as owner: the data module's poll timer stays stopped and the poll item
// stays 1 while it is open, and the window leaves both as they are.
//
// Every sample stays in the window's sample store for as long as it is open;
// the chart is redrawn from it at most kRedrawMs apart, with only the visible
// time span, cut down to about two points per pixel column.
#include "live/graph_rules/GraficoRules.h"
#include "live/graph_rules/GraficoStore.h"
#include "live/acquisition/AcquisitionRecorder.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <qcustomplot.h>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QTimer;
class TNumericEdit;
class TStreamDati;
namespace plat {
class PictureButton;
struct FileDialogRequest;
}

// The chart: drag a rectangle with the left button to zoom, drag with the
// right button to pan along the time axis. The legend has a check box per
// curve.
class TChartDrt : public QCustomPlot {
    Q_OBJECT
public:
    explicit TChartDrt(QWidget* parent);

    // The legend entry of a curve.
    QCPAbstractLegendItem* LegendItem(int curve) const;
    // Shows the legend beside the plot, or hides it and gives the plot its
    // room.
    void SetLegendShown(bool shown);

signals:
    // A left click on the legend entry of a curve.
    void legendEntryClicked(int curve);
    // A pan with the right button is about to move the time axis.
    void panStarted();
    // The plot area changed its width.
    void plotWidthChanged(int pixels);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int curveAt(const QPointF& pos) const;
    // The time labels and the redraw follow the plot area's width.
    void plotAreaChanged();

    bool panning_ = false;
    QPointF panFrom_;
    int pressedCurve_ = -1;
};

class TFormGraficoDrt : public QDialog {
    Q_OBJECT

public:
    static constexpr int mrCancel = 2;
    static constexpr int kTimerMs = 20;
    // The chart is redrawn at most 25 times a second, however fast the
    // samples come.
    static constexpr int kRedrawMs = 40;

    // owner: the calling window; a non-empty fileName is loaded at once. The
    // data module is the global StreamDati.
    TFormGraficoDrt(QWidget* owner, const QString& fileName);
    ~TFormGraficoDrt() override;

    void LoadAcquisitionFile(const QString& fileName);

    // ---- Handlers -----------------------------------------------------------
    void ImageRunStopClick();
    void TimerTimer();
    void ImageSaveFileClick();
    void ImageLoadFileClick();
    void CheckAutoRangeClick();
    void EditRangeKeyPress(QChar key);
    void EditResolutionKeyPress(QChar key);
    void CheckLegendClick();
    void ImageZoomClick();
    void ImagePrintClick();
    void ImageExitClick();
    // True when the key was taken.
    bool FormKeyPress(int character);
    bool FormCloseQuery() const;
    void FormClose();
    // Shows or hides a curve as its check box in the legend does.
    void LegendCheckClick(int index);

    // Draws the visible time span of the store into the chart now.
    void Redraw();

    // ---- State, for the tests ----------------------------------------------
    bool Running() const { return running_; }
    bool Loading() const { return loading_; }
    double TimeWindow() const { return timeWindow_; }
    std::uint32_t Elapsed() const { return elapsed_; }
    const qz::live::TAcquisitionSample& Sample() const { return sample_; }
    const qz::live::TAcquisitionRecorder& Recorder() const { return recorder_; }
    const grafico::TSampleStore& Store() const { return store_; }
    grafico::AxisRange TimeAxis() const;
    grafico::AxisRange ValueAxis() const;
    bool TimeAxisAutomatic() const { return bottomAuto_; }
    bool ValueAxisAutomatic() const { return leftAuto_; }
    bool Closed() const { return closed_; }

    // ---- Components ----------------------------------------------------------
    TChartDrt* ChartDrt = nullptr;
    std::array<QCPGraph*, grafico::kSeriesCount> Series{};
    QCPAxis* BottomAxis = nullptr;
    QCPAxis* LeftAxis = nullptr;
    QString TimeAxisTitle;  // not shown
    QGroupBox* GroupAcquisition = nullptr;
    plat::PictureButton* ImageRunStop = nullptr;
    QLabel* LabelRunStop = nullptr;
    plat::PictureButton* ImageSaveFile = nullptr;
    QLabel* LabelSaveFile = nullptr;
    plat::PictureButton* ImageLoadFile = nullptr;
    QLabel* LabelLoadFile = nullptr;
    QGroupBox* GroupSettings = nullptr;
    QCheckBox* CheckAutoRange = nullptr;
    QCheckBox* CheckLegend = nullptr;
    TNumericEdit* EditMinRange = nullptr;
    TNumericEdit* EditMaxRange = nullptr;
    TNumericEdit* EditResolution = nullptr;
    plat::PictureButton* ImageZoom = nullptr;
    QLabel* LabelZoom = nullptr;
    plat::PictureButton* ImagePrint = nullptr;
    QLabel* LabelPrint = nullptr;
    plat::PictureButton* ImageExit = nullptr;
    QGroupBox* GroupImage = nullptr;
    plat::PictureButton* ImageImage1 = nullptr;
    plat::PictureButton* ImageImage2 = nullptr;
    // Shown while a recording is being loaded.
    QProgressBar* ProgressLoad = nullptr;
    QTimer* Timer = nullptr;

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The axes as they were before the user zoomed or panned.
    struct Unzoomed {
        grafico::AxisRange Time, Value;
        bool TimeAutomatic = false, ValueAutomatic = false;
    };

    TStreamDati& dm() const;
    void buildLayout();
    void loadTexts();
    void setShownStates(bool secondBankToo);
    void setRunStopPictures();
    void setTimeAxis(grafico::AxisRange range);
    void setValueAxisFromEdits();
    void clearSeries();
    void refreshAutomaticAxes();
    void setSeriesShown(int index, bool shown);
    void lockControls(bool locked);
    void requestRedraw();
    void rememberUnzoomed();
    plat::FileDialogRequest acquisitionDialog(int titleString) const;
    void showReadError(int stringNumber) const;

    qz::live::TAcquisitionRecorder recorder_;
    grafico::TSampleStore store_;
    dm::TLiveValues live_;
    qz::live::TAcquisitionSample sample_;
    double timeWindow_ = grafico::kInitialTimeWindow;
    std::uint32_t startTick_ = 0;
    std::uint32_t elapsed_ = 0;
    bool running_ = false;
    bool loading_ = false;
    bool leftAuto_ = false;
    bool bottomAuto_ = false;
    bool closed_ = false;
    std::optional<Unzoomed> unzoomed_;
    QString formatText_;
    QString missingText_;
    QString overwriteText_;
    QString cannotSaveText_;
    // The redraw that a change of the data or the axes asks for; the last
    // redraw.
    QTimer* redrawTimer_ = nullptr;
    QElapsedTimer sinceRedraw_;
    std::vector<QPointF> decimated_;
    QVector<QCPGraphData> graphData_;
};
