#pragma once
// TFormConfig: the vehicle configuration window, the paged editor of every
// ECU parameter. Created once at start-up, hidden, and shown modally by the
// main window any number of times. This file holds the frame: the page
// control with its eighteen sheets and owner-drawn tabs, the live bar that
// moves onto the active page, the bound editors and their commit, the texts,
// the keyboard and the page changes. Each page builds its controls in its own
// file (pages/Page<Name>.cpp).
//
// Showing the window switches the data module to live polling (poll item 1,
// TimerIO stopped, TimerDati running); closing it switches back (poll item
// 0x14100, TimerIO running).
#include "config/layout/ConfigWindowRules.h"
#include "config/live/LiveBar.h"
#include "config/live/LiveTracking.h"
#include "windowkit/StatusLamps.h"

#include <QDialog>
#include <QFont>
#include <QPointer>
#include <QString>
#include <QTabBar>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QPainter;
class QRadioButton;
class QPushButton;
class QTabWidget;
class QTimer;
class QSpacerItem;
class TKeyComboBox;
class TNumericEdit;
class TStreamDati;
class TCorrectionGrid;
class TCorrectionGrids;
class TFormModificaMappa;
class TConfigPage;
namespace plat {
class PictureButton;
class Shape;
} // namespace plat

// What the window needs from the main window, which it may not link: its
// connect and disconnect actions and its extra-injection record.
struct TConfigMainHooks {
    std::function<void()> connect = {};
    std::function<void()> disconnect = {};
    // The main window's ExtraInjectionSeen; none: the window keeps its own.
    bool* extraInjectionSeen = nullptr;
    // The main window's reset from the PC (the Configurazione page's reset
    // picture runs it).
    std::function<void()> resetFromPc = {};
    // The wait form over the window during a long change: shown with a text,
    // then closed. None: the change runs without one.
    std::function<void(QWidget* owner, const QString& text)> beginWait = {};
    std::function<void()> endWait = {};
};

class TFormConfig : public QDialog {
    Q_OBJECT

public:
    static constexpr int kTimerDatiMs = 20;
    static constexpr std::uint32_t kBackground = 14732184;

    explicit TFormConfig(QWidget* owner);
    ~TFormConfig() override;

    void SetMainHooks(TConfigMainHooks hooks);

    // ---- Handlers -----------------------------------------------------------
    void LoadTexts();
    void ApplyEcuModelVisibility();
    void FormShow();
    void FormClose();
    bool FormCloseQuery();
    void FormDestroy();
    void FormResize();
    // True when the key was taken.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void PageControlChanging();
    void PageControlChange();
    void PageControlDrawTab(QPainter& painter, int tabIndex, const QRect& rect, bool active);
    // How the tab of a page draws its caption in the tab's rectangle: the
    // font, whether it breaks onto two lines, and the caption without the
    // blanks at its ends.
    struct TabCaption {
        QFont font;
        bool twoLines = false;
        QString text;
    };
    TabCaption TabCaptionOf(int page, const QRect& rect) const;
    void TabEsciShow();
    void TimerDatiTimer();

    // ---- Editor binding -------------------------------------------------------
    // The bound controls of the pages, one table per page (FormConfigParts.h).
    struct Binding;
    using BindingTable = std::vector<Binding>;
    class Builder;
    // The binding table of a page (empty for the pages without controls).
    static const BindingTable& PageBindings(int page);
    // Shows value in edit as the data module holds it and remembers the text
    // shown: an editor whose text still is that text commits nothing.
    void ShowLoaded(TNumericEdit* edit, double value);
    void ShowLoadedInteger(TNumericEdit* edit, int value);
    // Whether the editor was loaded and its text changed since: only then may
    // Enter write it.
    bool Touched(const TNumericEdit* edit) const;
    // The editor's text as it shows is the value the module holds now (a
    // commit that keeps what was typed): it is untouched until typed again.
    void MarkLoaded(const TNumericEdit* edit);
    // Whether the editor was loaded (or read back) at all.
    bool Loaded(const TNumericEdit* edit) const;
    // The lists as the pages show them: a list still at the item it was
    // loaded with (or committed last) is untouched, and Enter on it writes
    // nothing (a list never shown has no selection, and writes nothing for
    // that). The window remembers them after every page loading and after
    // every list commit.
    void RememberLists();
    bool ListTouched(const TKeyComboBox* combo) const;
    // Whether key commits the list: Enter with the list closed, an item
    // selected and the list touched.
    bool ListCommits(const TKeyComboBox* combo, QChar key) const;
    // Loads every row of the page's table marked to load by its code, with
    // LoadingControls set (limits from their items first).
    void LoadByCode(int page);
    void EditRifLambdaKeyPress(TNumericEdit* edit, QChar key);
    void ComboTipoLambdaKeyPress(TKeyComboBox* combo, QChar key);
    // The range hint of the focused editor shown where it hides nothing.
    void EditEnter(TNumericEdit* edit);
    void EditExit(TNumericEdit* edit);
    void CheckTpsBlocKeyPress(QCheckBox* check, int key);
    // The bank rules: the live bar's second probe and bank, the Mappa page's
    // second target and the Sensori page's second-bank correction.
    void ApplyBankVisibility();

    // ---- The live bar -----------------------------------------------------------
    void LabelDiagnosiClick();
    // The five bound builders of the live trackers (the live bar's tick
    // fills them).
    void BuildAllCellBounds();

    // ---- Switch-over -------------------------------------------------------------
    // The Commutazione page's threshold shown again; full: the rules of the
    // switch-over mode on every page too.
    void ApplySwitchPageVisibility(bool full);
    // The live bar's switch button: the fuel switched from the PC.
    void ImageCommutatoreClick();
    // The emulation delay of the Emissioni page, a value of two items.
    // Shows and hides the named controls of each rule (names the window does
    // not hold are passed over).
    void ApplyControlRules(const std::vector<cfgwin::ControlRule>& rules);
    // Enter on an editor that commits through a handler of its own: an
    // editor never loaded writes nothing, an untouched one shows held()
    // again, a typed one shows what commit(value) answers.
    void CommitOwnEditor(TNumericEdit* edit, QChar key, bool whole, const std::function<double(double)>& commit,
                         const std::function<double()>& held);

    // ---- Pages ----------------------------------------------------------------
    // Makes page active without running the page-change handlers; showPage
    // runs its OnShow handler as a change of page would.
    void SetActivePage(int page, bool showPage);
    int ActivePage() const;
    QWidget* Page(int page) const { return sheets_[static_cast<std::size_t>(page)]; }
    // The page object of that class (its kIndex).
    template <class P>
    P& Page() const
    {
        return static_cast<P&>(*pages_[static_cast<std::size_t>(P::kIndex)]);
    }
    // The object holding the bound controls of a page's binding table.
    QObject& BindingOwner(int page);
    bool PageTabVisible(int page) const;
    std::array<bool, cfgwin::kPageCount> VisibleTabs() const;
    // The live bar onto page.
    void MovePanelBarra(int page);
    // A message string by number (those that LoadTexts loads).
    QString Message(int number) const;
    // The window's control of that name (labels, shapes, pages, ...).
    QWidget* Control(const QString& name) const;
    // The bound numeric editors, for the binding and the tests.
    const std::vector<TNumericEdit*>& NumericEditors() const { return numericEdits_; }

    // The data module the window shows and edits.
    TStreamDati& DataModule() const;
    // Whether an ECU is connected.
    bool Connected() const;
    // The height of the window's screen (768 without one).
    int WindowScreenHeight() const;
    // What the window needs from the main window (the Configurazione page's
    // reset and the wait form over its changes).
    const TConfigMainHooks& MainHooks() const { return hooks_; }
    // The width a grid in a frame of `page` can take: across the page, or
    // beside the groups of the first column's top two rows, on a page of
    // pageWidth.
    static int FramedGridWidth(QWidget* page, bool besideFirstColumn, int pageWidth);
    // The width of `page` that the window's screen shows.
    int PageRoomWidth(const QWidget* page) const;

    // ---- State ----------------------------------------------------------------
    int PreviousPage = cfgwin::PageConfigurazione;
    std::uint8_t LoadingControls = 0;
    bool LambdaRefreshPending = false;
    // The Esci tab's Tag: 0 until its caption has been padded.
    int TabEsciTag = 0;
    // The live values the sequence conditions read (the live tick sets them).
    std::uint32_t LiveRpm = 0;
    int LiveStatusFlags = 0;

    // ---- Components -------------------------------------------------------------
    QTabWidget* PageControl = nullptr;
    QFrame* PanelBarra = nullptr;
    QTimer* TimerDati = nullptr;
    QLabel* LabelLimite = nullptr;

    QWidget* TabConfigurazione = nullptr;
    QWidget* TabCommutazione = nullptr;
    QWidget* TabSensori = nullptr;
    QWidget* TabMappa = nullptr;
    QWidget* TabCorrezioni = nullptr;
    QWidget* TabAdatta = nullptr;
    QWidget* TabEmissioni = nullptr;
    QWidget* TabVariatore = nullptr;
    QWidget* TabPressione = nullptr;
    QWidget* TabTemp = nullptr;
    QWidget* TabFiltroBenzina = nullptr;
    QWidget* TabSequenza = nullptr;
    QWidget* TabIniezione = nullptr;
    QWidget* TabTaratura = nullptr;
    QWidget* TabTest = nullptr;
    QWidget* TabDiagnosi = nullptr;
    QWidget* TabEsci = nullptr;
    QWidget* TabConnect = nullptr;

    // Pictures.
    plat::PictureButton* ImageExtraInj = nullptr;
    plat::PictureButton* ImageCutoff = nullptr;
    plat::PictureButton* ImageCommutatore = nullptr;
    plat::PictureButton* ImageEsci = nullptr;
    plat::PictureButton* ImageConnected = nullptr;

    // The correction-table grids (owned by CorrectionGrids, parented by their
    // pages); the Filtro grids are still placeholders.
    TCorrectionGrids* CorrectionGrids = nullptr;
    QWidget* DrawGridFiltro = nullptr;
    QWidget* DrawGridSgancio = nullptr;
    // The cell-variation dialog, one for the life of the window.
    TFormModificaMappa* FormModificaMappa = nullptr;

    // ---- Live bar and the live tick ---------------------------------------------
    QLabel* LabelGiri = nullptr;
    QLabel* LabGiri = nullptr;
    QLabel* LabelInj = nullptr;
    QLabel* LabApMot = nullptr;
    QLabel* LabApMot2 = nullptr;
    plat::PictureButton* ImageApMot2 = nullptr;
    QLabel* LabelInjBenz = nullptr;
    QLabel* LabApMotBenz = nullptr;
    QLabel* LabApMot2Benz = nullptr;
    plat::PictureButton* ImageApMot2Benz = nullptr;
    plat::PictureButton* ImageLambda1 = nullptr;
    plat::PictureButton* ImageLambdaValue = nullptr;
    QLabel* LabLambda = nullptr;
    plat::PictureButton* ImageLambda2 = nullptr;
    plat::PictureButton* ImageLambda2Value = nullptr;
    QLabel* LabLambda2 = nullptr;
    QLabel* LabelPress = nullptr;
    QLabel* LabPressione = nullptr;
    QLabel* LabelPressColl = nullptr;
    QLabel* LabPressioneColl = nullptr;
    QLabel* LabelTemp = nullptr;    // "T. RID.": over the reducer's reading
    QLabel* LabTempMot = nullptr;   // the reducer temperature
    QLabel* LabelTempMot = nullptr; // "T. GAS.": over the gas reading
    QLabel* LabTemp = nullptr;      // the gas temperature
    QLabel* LabelAdattaGas = nullptr;
    QLabel* LabAdattaGas = nullptr;
    plat::PictureButton* ImageAdataGas = nullptr;
    QLabel* LabelLedExtraInj = nullptr;
    QLabel* LabelCutoff = nullptr;
    QLabel* LabelBenzina = nullptr;
    QLabel* LabelDiagnosi = nullptr;
    plat::Shape* ImageDiagnosiOn = nullptr;
    plat::Shape* ImageDiagnosiOff = nullptr;
    wkit::StatusLamps StatusLamps; // the level lamps, the diagnosis lamp

    // The last frame's values and what the trackers found.
    dm::TLiveValues LiveValues;
    cfglive::BarState LiveBarState;
    cfglive::MapKTracker MapKTracking;
    cfglive::MapTracker EmissionTracking;
    cfglive::MapTracker FilterTracking;
    cfglive::TemperatureTracker TempGasTracking;
    cfglive::TemperatureTracker TempRidTracking;
    cfglive::PressureTracker PressDiffTracking;
    cfglive::PressureTracker PressCollTracking;
    cfglive::VariatorTracker VariatorTracking;
    // OBD block 8 as last read, and how many bytes the library reported.
    std::array<std::uint8_t, cfglive::kObdBlockSize> ObdBlock{};
    int ObdBlockLength = 0;

    // The cell bounds of the trackers.
    void BuildMapKCellBounds();
    void BuildEmissionCellBounds();
    void BuildFilterCellBounds();
    void BuildPressDiffCellBounds();
    void BuildPressCollCellBounds();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class Builder;

    // Makes and builds the page object of that class on its sheet.
    template <class P>
    void makePage();
    // The Filtro sheet, never shown: its placeholder grids.
    void BuildFiltro();
    void BuildPanelBarra();
    // Puts a full-screen window that its pages pushed past the screen back
    // on the screen once they fit (after the events in hand).
    void returnToScreen();

    void buildLayout();
    // The room the frames keep between rows for the range hints, sized to
    // the window's text.
    void sizeRowGaps();
    // The widths and heights fixed at the design size, scaled to the screen.
    void scaleFixedSizes(long long num, long long den);
    // The range hint beside, above or below its editor (EditEnter).
    void placeRangeHint(TNumericEdit* edit);
    void buildCorrectionGrids();
    // The live tick's parts (pages/PanelBarra.cpp).
    void showLiveBar();
    void showBarChanges(const cfglive::BarChanges& changes);
    void trackActivePage();
    void showObdBlocks();
    void repaintDirty(const cfglive::Repaint& dirty);
    QWidget* trackedGrid(cfglive::Grid grid) const;
    void loadPictures();
    void runPageShow(int page);
    void onCurrentChanged(int index);
    void startLivePolling();
    void applyControlVisibility(const cfgwin::EcuState& state);
    cfgwin::EcuState ecuState() const;
    void fillLambdaTypes();

    std::array<QWidget*, cfgwin::kPageCount> sheets_{};
    // The page objects (their children), by page; null for the pages the
    // window draws itself.
    std::array<TConfigPage*, cfgwin::kPageCount> pages_{};
    std::vector<TNumericEdit*> numericEdits_;
    std::vector<QCheckBox*> enterChecks_; // Enter clicks them
    std::vector<QSpacerItem*> rowGaps_;   // owned by their layouts
    QPointer<QObject> rangeHintFollower_; // moves the hint with its editor
    // The bound controls made from the binding tables, by control.
    std::map<const QWidget*, const Binding*> bindingOf_;
    // The text each editor showed when it was last loaded or read back.
    std::map<const TNumericEdit*, QString> loadedText_;
    std::map<const TKeyComboBox*, int> loadedIndex_;
    std::map<int, QString> messages_;
    TConfigMainHooks hooks_;
    bool ownExtraInjectionSeen_ = false;
    int currentPage_ = cfgwin::PageConfigurazione;
    bool shown_ = false;
    bool inPageChange_ = false;
};

// The page control's tab bar: tabs of the window's height, drawn by the
// window, repainted as the mouse moves over them.
class TConfigTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit TConfigTabBar(TFormConfig* form);
    void SetTabHeight(int height);
    int TabHeight() const { return tabHeight_; }
    // The index among the visible tabs (-1 for a hidden one).
    int VisibleIndex(int index) const;
    // The width the tab's caption asks for.
    int NaturalWidth(int index) const;
    // What the tab asks for at ease and at the least, at the bar's font and
    // 2 points smaller.
    cfgwin::TabNeeds Needs(int index) const;
    // The widths of the visible tabs (their page numbers into `pages`).
    cfgwin::TabBarLayout Layout(std::vector<int>* pages = nullptr) const;
    // Whether the captions are drawn 2 points smaller, all alike.
    bool CaptionsSmaller() const;
    static QFont SmallerFont(QFont font);

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;

private:
    TFormConfig* form_;
    int tabHeight_ = 60;
};

// The one configuration window of the program (none until it is created).
extern TFormConfig* FormConfig;
