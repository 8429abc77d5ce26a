#pragma once
// TFormDiagnosi: the ECU diagnostics window. Four tabs: the active error
// codes with their reset and the diagnostic options, the petrol injector
// signal test with the gas injector exclusion panel, the running-time
// counters with their resets, and the exit tab. The configuration window,
// the live view and the auto-calibration window create it with themselves as
// owner, show it modally (exec) and delete it.
//
// While it is open the data module's poll timer is stopped and the window
// runs the poll step itself every 4000 ms. On closing it selects poll item
// 0x14100 and starts the data module's TimerIO again: a caller that wants
// live polling selects poll item 1 and stops TimerIO after the window is
// gone.
#include "live/diagnostics_rules/DiagnosiRules.h"
#include "windowkit/ShowOnce.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QTabBar>
#include <array>
#include <cstdint>

class QLabel;
class QCheckBox;
class QComboBox;
class QFrame;
class QTabWidget;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class TStreamDati;
namespace plat {
class PictureButton;
class Shape;
} // namespace plat

class TFormDiagnosi : public QDialog {
    Q_OBJECT

public:
    static constexpr int mrCancel = 2;
    static constexpr int kTimerMs = 4000;
    static constexpr std::int32_t kExclusionCode = 0x2ac;
    static constexpr std::int32_t kResetCode = 0x2361;
    // The counters' times: gas since the last reset, gas and petrol in all.
    static constexpr std::int32_t kPartialGasTimeCode = 0x255;
    static constexpr std::int32_t kTotalGasTimeCode = 0x23b;
    static constexpr std::int32_t kTotalPetrolTimeCode = 0x23c;
    static constexpr int kResetPicture = 10045;
    static constexpr int kResetPicturePressed = 10046;

    // The controls of one injector letter.
    struct LetterControls {
        diagnosi::InjectorLetter letter;
        QLabel* LabelInj = nullptr;            // test label
        plat::PictureButton* ImageOk = nullptr;
        plat::PictureButton* ImageKo = nullptr;
        QLabel* Label = nullptr;               // exclusion label
        plat::PictureButton* ImageOn = nullptr;  // commanded; click excludes
        plat::PictureButton* ImageOff = nullptr; // excluded; click commands again
    };

    // owner: the calling window. The data module is the global StreamDati.
    explicit TFormDiagnosi(QWidget* owner);
    ~TFormDiagnosi() override;

    // ---- Handlers -----------------------------------------------------------
    void FormActivate();   // once per window
    void FormShow();       // every show: the two options
    void FormClose();      // once; also run by done() and by the destructor
    // True when the key was taken.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void TabEsciShow();
    void TimerTimer();
    void ImageResetClick();
    bool ListDiagnosiKeyPress(int character);
    void CheckDiagnosiClick();
    void CheckPosterioreClick();
    void ImageOffClick(plat::PictureButton* picture); // on a commanded picture: exclude
    void ImageOnClick(plat::PictureButton* picture);  // on an excluded picture: command again
    void ResetTempiClick(plat::PictureButton* picture);

    void RefreshDiagnostics();

    // ---- State, for the callers and the tests ------------------------------
    const std::array<std::int32_t, 5>& CurrentErrors() const { return current_; }
    const std::array<std::int32_t, 5>& PreviousErrors() const { return previous_; }
    bool RefreshAll() const { return refreshAll_; }
    const QStringList& Descriptions() const { return descriptions_; }
    bool Activated() const { return activated_.Done(); }
    bool Closed() const { return closed_; }
    const LetterControls& Letter(char control) const;

    // ---- Components ----------------------------------------------------------
    QTimer* Timer = nullptr;
    QTabWidget* PageControl = nullptr;
    QWidget* TabErrori = nullptr;
    QWidget* TabIniettori = nullptr;
    QWidget* TabContatori = nullptr;
    QWidget* TabEsci = nullptr;
    QTreeWidget* ListCode = nullptr;
    QTreeWidget* ListDiagnosi = nullptr;
    plat::PictureButton* ImageReset = nullptr;
    plat::PictureButton* ImageEsci = nullptr;
    QLabel* LabelAzzeraErrori = nullptr;
    QCheckBox* CheckDiagnosi = nullptr;
    QLabel* LabelDiagnosi = nullptr;
    plat::Shape* ShapeAbilita = nullptr;
    plat::Shape* ShapeCheckAbilita = nullptr;
    QCheckBox* CheckPosteriore = nullptr;
    QLabel* LabelPosteriore = nullptr;
    plat::Shape* ShapePosteriore = nullptr;
    plat::Shape* ShapeCheckPosteriore = nullptr;
    QComboBox* ComboAzione = nullptr;
    QLabel* LabelIniettori = nullptr;
    QLabel* LabelOk = nullptr;
    QLabel* LabelErrore = nullptr;
    QFrame* PanelEsclusione = nullptr;
    QLabel* LabelEsclusione = nullptr;
    QLabel* LabelEsclusioneOk = nullptr;
    QLabel* LabelEsclusioneErrore = nullptr;
    QLabel* LabelContatoriGas = nullptr;
    QLabel* LabelAssolutoGas = nullptr;
    QLabel* LabelParzialeGas = nullptr;
    QLabel* LabelNotaGas = nullptr;
    QLabel* LabelContatoriBenzina = nullptr;
    QLabel* LabelAssolutoBenzina = nullptr;
    QLabel* LabelNotaBenzina = nullptr;
    QLabel* LabelPartenzeGas = nullptr;
    QLabel* LabelAvviamenti = nullptr;
    QLabel* LabelNotaPartenze = nullptr;
    QLabel* LabAssolutoGas = nullptr;
    QLabel* LabParzialeGas = nullptr;
    QLabel* LabAssolutoBenzina = nullptr;
    QLabel* LabAvviamenti = nullptr;
    plat::PictureButton* ImageResetParzialeGas = nullptr;     // Tag 0
    plat::PictureButton* ImageResetPartenzeGas = nullptr;     // Tag 1
    plat::PictureButton* ImageResetAssolutoGas = nullptr;     // Tag 2
    plat::PictureButton* ImageResetAssolutoBenzina = nullptr; // Tag 3
    std::array<LetterControls, 10> Letters{};

    // The exit tab's Tag: 0 until its caption has been padded.
    int TabEsciTag = 0;

    // Draws one tab (the page control's owner drawing).
    void PageControlDrawTab(class QPainter& painter, int tabIndex, const QRect& rect, bool active);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildLayout();
    void showErrorRow(int index, const QString& description);
    int findRow(int index) const;
    void removeRow(int position);
    void insertRow(int index, const QString& description);
    void setDescription(int position, const QString& description);
    QString description(int index) const;
    QString injectorLetters(std::int32_t item);
    std::uint32_t readInjectorMask(std::int32_t item);
    void updateOptionGroups();
    bool exclusionAllowed() const;
    void changeExclusion(plat::PictureButton* picture, bool exclude);
    void refreshCounters();
    int cylinders() const;
    void setCurrentPage(int page);
    bool pageTabVisible(int page) const;

    TStreamDati& dm() const;

    std::array<std::int32_t, 5> current_{};
    std::array<std::int32_t, 5> previous_{};
    bool refreshAll_ = true;
    QStringList descriptions_;
    QString statusText_;
    QString confirmText_;
    wkit::ShowOnce activated_;
    bool closed_ = false;
    bool listChangeAttached_ = false;
};

// The page control's tab bar: tabs of a fixed height drawn by the window.
class TDiagnosiTabBar : public QTabBar {
    Q_OBJECT
public:
    TDiagnosiTabBar(TFormDiagnosi* form, int tabHeight);

protected:
    QSize tabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;

private:
    TFormDiagnosi* form_;
    int tabHeight_;
};
