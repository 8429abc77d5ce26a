// The configuration window's frame: construction, showing and closing, the
// visibility rules, the keyboard, page changes, sizing and tab drawing.
#include "FormConfig.h"
#include "FormConfigParts.h"
#include "pages/ConfigPage.h"
#include "pages/PageAdatta.h"
#include "pages/PageCommutazione.h"
#include "pages/PageConfigurazione.h"
#include "pages/PageCorrezioni.h"
#include "pages/PageEmissioni.h"
#include "pages/PageIniezione.h"
#include "pages/PageMappa.h"
#include "pages/PagePressione.h"
#include "pages/PageSensori.h"
#include "pages/PageSequenza.h"
#include "pages/PageTaratura.h"
#include "pages/PageTemp.h"
#include "pages/PageTest.h"
#include "pages/PageVariatore.h"
#include "PageWidgets.h"
#include "windowkit/LivePolling.h"
#include "windowkit/WindowText.h"

#include "BuildConstants.h"
#include "CorrectionGrids.h"
#include "DrawGridK.h"
#include "FormDiagnosi.h"
#include "FormModificaMappa.h"
#include "SensorRules.h"
#include "SwitchRules.h"
#include "Translator.h"
#include "editors/KeyComboBox.h"
#include "editors/NumericEdit.h"
#include "iodata.h"

#include "plat/Colors.h"
#include "plat/Controls.h"
#include "plat/PictureButton.h"
#include "plat/Prompts.h"
#include "plat/ScreenScale.h"
#include "plat/Services.h"
#include "plat/Shape.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <tuple>

TFormConfig* FormConfig = nullptr;

namespace {

constexpr QSize kDesignSize(1016, 805);
constexpr int kPanelBarraHeight = 48;
constexpr int kPictureConnected = 10043;
constexpr int kPictureDisconnected = 10044;
constexpr int kPictureExtraInj = 10022;
constexpr int kPictureExtraInjSeen = 10024;

const char* const kDesignCaptions[cfgwin::kPageCount] = {
    "Configurazione", "Commutazione", "Sensori",    "Mappa",     "Correzioni",      "Adattività OBD",
    "Emissioni",      "Variatore",    "Pressione",  "Temperatura", "Filtro",        "Iniezione+",
    "Iniettori",      "Altri parametri", "Dati di test", "Diagnosi", "Esci",        ""};

// The page control, with the window's own tab bar.
class TConfigPageControl : public QTabWidget {
public:
    TConfigPageControl(QWidget* parent, QTabBar* bar) : QTabWidget(parent) { setTabBar(bar); }
};

void setGridSize(QWidget* grid, int rows, int columns)
{
    if (rows > 0)
        grid->setProperty("RowCount", rows);
    grid->setProperty("ColCount", columns);
}

} // namespace

// ---------------------------------------------------------------------------
// Binding tables

const TFormConfig::BindingTable& TFormConfig::PageBindings(int page)
{
    static const BindingTable none;
    switch (page) {
    case cfgwin::PageConfigurazione: return TPageConfigurazione::Rows();
    case cfgwin::PageCommutazione: return TPageCommutazione::Rows();
    case cfgwin::PageSensori: return TPageSensori::Rows();
    case cfgwin::PageMappa: return TPageMappa::Rows();
    case cfgwin::PageCorrezioni: return TPageCorrezioni::Rows();
    case cfgwin::PageAdatta: return TPageAdatta::Rows();
    case cfgwin::PageEmissioni: return TPageEmissioni::Rows();
    case cfgwin::PageVariatore: return TPageVariatore::Rows();
    case cfgwin::PageTemp: return TPageTemp::Rows();
    case cfgwin::PagePressione: return TPagePressione::Rows();
    case cfgwin::PageSequenza: return TPageSequenza::Rows();
    case cfgwin::PageIniezione: return TPageIniezione::Rows();
    case cfgwin::PageTaratura: return TPageTaratura::Rows();
    case cfgwin::PageTest: return TPageTest::Rows();
    default: return none;
    }
}

template <class P>
void TFormConfig::makePage()
{
    auto* page = new P(*this, sheets_[static_cast<std::size_t>(P::kIndex)]);
    pages_[static_cast<std::size_t>(P::kIndex)] = page;
    page->Build();
}

QObject& TFormConfig::BindingOwner(int page)
{
    if (TConfigPage* p = pages_[static_cast<std::size_t>(page)])
        return *p;
    return *this;
}

// ---------------------------------------------------------------------------
// Construction

TFormConfig::TFormConfig(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FormConfig"));
    setWindowTitle(QStringLiteral("Configurazione veicolo"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, plat::fromTColor(kBackground));
    setPalette(pal);
    setAutoFillBackground(true);
    resize(kDesignSize);
    // The window's text size at the design size; the screen scaling enlarges it.
    setFont(plat::sansFont(13, false));

    // The layout; no message strings until the texts are loaded.
    buildLayout();
    messages_.clear();

    // The screen scaling.
    const plat::ScaleFactor scale = plat::applyScreenScale(this);
    scaleFixedSizes(scale.num, scale.den);
    sizeRowGaps();
    setWindowState(Qt::WindowFullScreen);

    // Pictures and grid sizes.
    loadPictures();
    setGridSize(DrawGridFiltro, 13, 13);
    setGridSize(DrawGridSgancio, 0, 13);

    // The cell-variation dialog, shared by the grids.
    FormModificaMappa = new TFormModificaMappa(this);
    FormModificaMappa->setObjectName(QStringLiteral("FormModificaMappa"));
    Page<TPageMappa>().SetCellDialog(FormModificaMappa);
    Page<TPageMappa>().SetTimerDati(TimerDati);

    // The bound editors took their item codes from the pages' binding
    // tables as the pages were made.

    // The live state starts as its fields are initialised (repaint
    // counter 50, previous status flags -1, variator row -1, return-to-petrol
    // time -1).

    // A list that committed is at its new item: remembered after every
    // handler of its Enter (connected last, so it runs after them).
    for (TKeyComboBox* c : findChildren<TKeyComboBox*>())
        connect(c, &TKeyComboBox::keyPressed, this, [this, c](QChar k) {
            if (k.unicode() == 13)
                loadedIndex_[c] = c->currentIndex();
        });

    // The first page with the live bar.
    SetActivePage(cfgwin::PageConfigurazione, false);
    if (!FormConfig)
        FormConfig = this;
}

TFormConfig::~TFormConfig()
{
    // A window freed while shown must not leave the data module without its
    // poll timer.
    if (shown_)
        FormClose();
    FormDestroy();
    // Before the pages go: the grids' owner must not outlive its grids.
    delete CorrectionGrids;
    CorrectionGrids = nullptr;
    if (FormConfig == this)
        FormConfig = nullptr;
}

void TFormConfig::SetMainHooks(TConfigMainHooks hooks) { hooks_ = std::move(hooks); }

TStreamDati& TFormConfig::dm() const { return *StreamDati; }

bool TFormConfig::connected() const { return StreamDati && dm().Protocol()->IsConnected(); }

QWidget* TFormConfig::Control(const QString& name) const { return findChild<QWidget*>(name); }

void TFormConfig::buildLayout()
{
    auto* bar = new TConfigTabBar(this);
    PageControl = new TConfigPageControl(this, bar);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PageControl);

    QWidget** sheets[cfgwin::kPageCount] = {
        &TabConfigurazione, &TabCommutazione, &TabSensori, &TabMappa,   &TabCorrezioni, &TabAdatta,
        &TabEmissioni,      &TabVariatore,    &TabPressione, &TabTemp,  &TabFiltroBenzina, &TabSequenza,
        &TabIniezione,      &TabTaratura,     &TabTest,    &TabDiagnosi, &TabEsci,      &TabConnect};
    for (int p = 0; p < cfgwin::kPageCount; ++p) {
        auto* sheet = new QWidget;
        sheet->setObjectName(QString::fromLatin1(cfgwin::PageName(p)));
        // The pages in the window's colour.
        sheet->setAutoFillBackground(true);
        QPalette sheetPalette = sheet->palette();
        sheetPalette.setColor(QPalette::Window, plat::fromTColor(kBackground));
        sheet->setPalette(sheetPalette);
        sheet->installEventFilter(this);
        *sheets[p] = sheet;
        sheets_[static_cast<std::size_t>(p)] = sheet;
        PageControl->addTab(sheet, QString::fromUtf8(kDesignCaptions[p]));
    }
    // Pages 6 to 15 start hidden; the visibility rules show some of them.
    for (int p = cfgwin::PageAdatta; p <= cfgwin::PageTest; ++p)
        PageControl->setTabVisible(p, false);

    buildCorrectionGrids();
    BuildPanelBarra();
    makePage<TPageConfigurazione>();
    makePage<TPageCommutazione>();
    // Hidden holders of the pictures the tabs draw.
    ImageEsci = new plat::PictureButton(TabCommutazione);
    ImageEsci->setObjectName(QStringLiteral("ImageEsci"));
    ImageEsci->setPicturePath(QStringLiteral(":/bmp/esci.png"));
    ImageEsci->hide();
    ImageConnected = new plat::PictureButton(TabCommutazione);
    ImageConnected->setObjectName(QStringLiteral("ImageConnected"));
    ImageConnected->hide();
    makePage<TPageSensori>();
    makePage<TPageMappa>();
    makePage<TPageCorrezioni>();
    makePage<TPageAdatta>();
    makePage<TPageEmissioni>();
    makePage<TPageVariatore>();
    makePage<TPagePressione>();
    makePage<TPageTemp>();
    makePage<TPageIniezione>();
    makePage<TPageTaratura>();
    BuildFiltro();
    makePage<TPageSequenza>();
    makePage<TPageTest>();
    for (TConfigPage* page : pages_)
        if (page)
            page->ConnectLater();

    LabelLimite = new QLabel(this);
    LabelLimite->setObjectName(QStringLiteral("LabelLimite"));
    // A small white tag with an outline, legible over a frame's face, its
    // outline or the page.
    LabelLimite->setFrameShape(QFrame::Box);
    LabelLimite->setAutoFillBackground(true);
    QPalette hintPalette = LabelLimite->palette();
    hintPalette.setColor(QPalette::Window, Qt::white);
    hintPalette.setColor(QPalette::WindowText, cfgwin::kFrameInk);
    LabelLimite->setPalette(hintPalette);
    LabelLimite->hide();

    TimerDati = new QTimer(this);
    TimerDati->setObjectName(QStringLiteral("TimerDati"));
    TimerDati->setInterval(kTimerDatiMs);
    connect(TimerDati, &QTimer::timeout, this, &TFormConfig::TimerDatiTimer);

    connect(PageControl, &QTabWidget::currentChanged, this, &TFormConfig::onCurrentChanged);
}

void TFormConfig::scaleFixedSizes(long long num, long long den)
{
    if (num == den || num <= 0 || den <= 0)
        return;
    // The screen scaling moves and sizes the window's widgets and scales its
    // fonts; the widths and heights the pages fixed from the design fonts
    // (editors, readings, lamps, grooves) go with them, or the layouts would
    // hold them at their design size and cut what they show.
    const auto scaled = [num, den](int v) { return static_cast<int>(plat::mulDivRound(v, num, den)); };
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w->window() != this)
            continue;
        const QSize least = w->minimumSize();
        const QSize most = w->maximumSize();
        if (least.width() == most.width() && most.width() < QWIDGETSIZE_MAX)
            w->setFixedWidth(scaled(least.width()));
        if (least.height() == most.height() && most.height() < QWIDGETSIZE_MAX)
            w->setFixedHeight(scaled(least.height()));
    }
}

void TFormConfig::buildCorrectionGrids()
{
    // The hooks look their targets up when they run: the dialog and the
    // timer are made after the pages.
    TablesHost host;
    host.EditInteger = [this](int* value, int* mode) {
        if (!FormModificaMappa)
            return 2;
        FormModificaMappa->GroupModalita->setEnabled(true);
        FormModificaMappa->EditInteger(value, mode);
        return FormModificaMappa->ModalResult();
    };
    host.EditReal = [this](double* value, int* mode) {
        if (!FormModificaMappa)
            return 2;
        FormModificaMappa->GroupModalita->setEnabled(true);
        FormModificaMappa->EditReal(value, mode);
        return FormModificaMappa->ModalResult();
    };
    host.StopTimerDati = [this] {
        if (TimerDati)
            TimerDati->stop();
    };
    host.StartTimerDati = [this] {
        if (TimerDati)
            TimerDati->start();
    };
    host.RepaintWindow = [this] { repaint(); };
    host.BuildPressDiffCellBounds = [this] { BuildPressDiffCellBounds(); };
    host.BuildEmissionCellBounds = [this] { BuildEmissionCellBounds(); };
    host.ShowCentriCelle = [this] { Page<TPageEmissioni>().ShowCentriCelle(); };
    host.DrawGridKKeyDown = [](TCorrectionGrid* grid, int key, Qt::KeyboardModifiers modifiers) {
        return GridKeyDownLeaves(grid, key, modifiers, grid->Row(), grid->FixedRows(), grid->RowCount());
    };
    host.Text = [](int number) { return wkit::Text(number); };
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    host.ScreenHeight = s ? s->size().height() : 0;

    const auto pageOf = [this](tables::Page page) -> QWidget* {
        switch (page) {
        case tables::Page::Correzioni: return TabCorrezioni;
        case tables::Page::Emissioni: return TabEmissioni;
        case tables::Page::Variatore: return TabVariatore;
        }
        return nullptr;
    };
    CorrectionGrids = new TCorrectionGrids(dm(), std::move(host), pageOf, this);
    CorrectionGrids->setObjectName(QStringLiteral("CorrectionGrids"));
}

void TFormConfig::loadPictures()
{
    const std::pair<plat::PictureButton*, int> pictures[] = {{ImageExtraInj, 10022},
                                                             {ImageCutoff, 10025},
                                                             {ImageCommutatore, 10027},
                                                             {Page<TPageEmissioni>().ImageEmissioni, 10041}};
    for (const auto& [image, id] : pictures)
        if (image)
            image->setPicture(id);
    // The picture buttons, released and pressed.
    const std::tuple<plat::PictureButton*, int, int> buttons[] = {{Page<TPageSensori>().ImageConferma, 10031, 10032}};
    for (const auto& [image, released, pressed] : buttons)
        if (image)
            image->setPictures(released, pressed);
    Page<TPageConfigurazione>().LoadPictures();
    Page<TPageMappa>().LoadPictures();
    Page<TPageCorrezioni>().LoadPictures();
    Page<TPageAdatta>().LoadPictures();
}

// ---------------------------------------------------------------------------
// Pages

int TFormConfig::ActivePage() const { return currentPage_; }

bool TFormConfig::PageTabVisible(int page) const { return PageControl->isTabVisible(page); }

std::array<bool, cfgwin::kPageCount> TFormConfig::VisibleTabs() const
{
    std::array<bool, cfgwin::kPageCount> v{};
    for (int p = 0; p < cfgwin::kPageCount; ++p)
        v[static_cast<std::size_t>(p)] = PageTabVisible(p);
    return v;
}

void TFormConfig::SetActivePage(int page, bool showPage)
{
    if (page < 0 || page >= cfgwin::kPageCount)
        return;
    inPageChange_ = true;
    PageControl->setCurrentIndex(page);
    inPageChange_ = false;
    currentPage_ = page;
    MovePanelBarra(page);
    if (showPage)
        runPageShow(page);
}

void TFormConfig::MovePanelBarra(int page)
{
    QWidget* sheet = Page(page);
    if (PanelBarra->parentWidget() != sheet)
        PanelBarra->setParent(sheet);
    // The page keeps the bar's height free below its groups.
    const int height = std::max(kPanelBarraHeight, PanelBarra->sizeHint().height());
    if (QLayout* l = sheet->layout()) {
        QMargins m = l->contentsMargins();
        if (m.bottom() != height + 8) {
            m.setBottom(height + 8);
            l->setContentsMargins(m);
        }
    }
    PanelBarra->setGeometry(0, sheet->height() - height, sheet->width(), height);
    PanelBarra->show();
    PanelBarra->raise();
}

void TFormConfig::runPageShow(int page)
{
    if (TConfigPage* p = pages_[static_cast<std::size_t>(page)]) {
        p->Show();
        RememberLists();
        return;
    }
    switch (page) {
    case cfgwin::PageEsci: TabEsciShow(); break;
    default: break;
    }
    RememberLists();
}

void TFormConfig::onCurrentChanged(int index)
{
    if (inPageChange_ || index < 0)
        return;
    PageControlChanging();
    currentPage_ = index;
    runPageShow(index);
    if (currentPage_ == index)
        PageControlChange();
}

void TFormConfig::PageControlChanging()
{
    if (currentPage_ == cfgwin::PageTemp)
        Page<TPageTemp>().EndSensorEditing();
    PreviousPage = currentPage_;
}

void TFormConfig::PageControlChange()
{
    const int page = ActivePage();
    if (page == cfgwin::PageConnect) {
        SetActivePage(PreviousPage, false);
        repaint();
        if (connected()) {
            if (hooks_.disconnect)
                hooks_.disconnect();
        } else if (hooks_.connect) {
            hooks_.connect();
        }
        // The connect read another image: the trackers follow its breakpoints.
        BuildAllCellBounds();
        PageControl->update();
        raise();
        runPageShow(ActivePage());
    } else if (page == cfgwin::PageDiagnosi) {
        SetActivePage(PreviousPage, false);
        repaint();
        TimerDati->stop();
        auto* diagnostics = new TFormDiagnosi(this);
        diagnostics->exec();
        delete diagnostics;
        startLivePolling();
        PageControl->update();
        runPageShow(ActivePage());
    } else {
        MovePanelBarra(page);
    }
}

void TFormConfig::TabEsciShow()
{
    SetActivePage(cfgwin::PageConfigurazione, false);
    close();
}

// ---------------------------------------------------------------------------
// Showing and closing

void TFormConfig::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        qApp->installEventFilter(this);
        FormShow();
    }
}

void TFormConfig::startLivePolling()
{
    wkit::LivePollingOn(dm());
    TimerDati->start();
}

void TFormConfig::FormShow()
{
    // The lists that hang on the ECU type.
    Page<TPageConfigurazione>().FillCylinders();
    fillLambdaTypes();
    // The bank rules.
    ApplyBankVisibility();
    runPageShow(ActivePage());
    Page<TPagePressione>().LoadMapSelector();
    // The Temperatura page's boxes and gas sensor, whichever page shows.
    Page<TPageTemp>().ShowSensorChoices();
    LoadingControls = 1;
    // The adaptivity box, and what it shows and hides (its click writes
    // nothing while loading).
    Page<TPageAdatta>().ShowAdaptationBox();
    LoadingControls = 0;
    BuildAllCellBounds();
    ApplyEcuModelVisibility();
    const bool seen = hooks_.extraInjectionSeen ? *hooks_.extraInjectionSeen : ownExtraInjectionSeen_;
    ImageExtraInj->setPicture(seen ? kPictureExtraInjSeen : kPictureExtraInj);
    startLivePolling();
    QApplication::restoreOverrideCursor();
    RememberLists();
}

bool TFormConfig::FormCloseQuery() { return Page<TPageTemp>().AskLeaveTemperatura(); }

void TFormConfig::FormClose()
{
    if (!shown_)
        return;
    shown_ = false;
    qApp->removeEventFilter(this);
    TimerDati->stop();
    if (StreamDati) {
        wkit::LivePollingOff(dm());
    }
}

void TFormConfig::done(int result)
{
    if (!FormCloseQuery())
        return;
    FormClose();
    QDialog::done(result);
}

void TFormConfig::FormDestroy()
{
    if (pages_[static_cast<std::size_t>(cfgwin::PageMappa)])
        Page<TPageMappa>().SetCellDialog(nullptr);
    delete FormModificaMappa;
    FormModificaMappa = nullptr;
}

// ---------------------------------------------------------------------------
// Visibility

cfgwin::EcuState TFormConfig::ecuState() const
{
    cfgwin::EcuState s;
    s.type = dm().EcuInfo.EcuType;
    s.gasOnly = dm().GetFlag(0) != 0;
    s.hasCustomerCode = dm().CustomerCode < 0x10000;
    s.has2332 = dm().IniettateGasCutoffPresent != 0;
    s.has8127 = dm().VariatorePresent != 0;
    s.hasVariatorMap = dm().RifMapVariatorePresent != 0;
    s.tipoCommutazione = dm().GetTipoCommutazione();
    s.item15 = dm().GetItem15();
    s.ritornoChecked = Page<TPageSensori>().ReturnToPetrolTicked();
    return s;
}

void TFormConfig::applyControlVisibility(const cfgwin::EcuState& state)
{
    for (const auto& rule : cfgwin::ControlVisibility(state))
        for (const char* name : rule.names)
            if (QWidget* w = Control(QString::fromLatin1(name)))
                w->setVisible(rule.visible);
}

void TFormConfig::ApplyControlRules(const std::vector<cfgwin::ControlRule>& rules)
{
    for (const auto& rule : rules)
        for (const char* name : rule.names)
            if (QWidget* w = Control(QString::fromLatin1(name)))
                w->setVisible(rule.visible);
}

void TFormConfig::ApplyBankVisibility()
{
    ApplyControlRules(cfgrules::BankVisibility(dm().EcuInfo.EcuType, dm().HasSecondaSonda(),
                                               dm().TipiLambdaPresent != 0, dm().GetNumeroSonde()));
    Page<TPageSensori>().ShowSecondBankCorrection();
}

void TFormConfig::ApplySwitchPageVisibility(bool full)
{
    Page<TPageCommutazione>().ShowSwitchThreshold();
    if (!full)
        return;
    const cfgwin::EcuState state = ecuState();
    ApplyControlRules(cfgrules::SwitchPageVisibility(state));
    Page<TPageEmissioni>().ShowOverlapCaption(state.gasOnly);
}

void TFormConfig::ApplyEcuModelVisibility()
{
    const cfgwin::EcuState state = ecuState();
    const auto pages = cfgwin::PageVisibility(state);
    for (int p : {cfgwin::PageAdatta, cfgwin::PageEmissioni, cfgwin::PageVariatore, cfgwin::PagePressione,
                  cfgwin::PageTemp, cfgwin::PageIniezione, cfgwin::PageTaratura})
        PageControl->setTabVisible(p, pages[static_cast<std::size_t>(p)]);
    applyControlVisibility(state);

    Page<TPageEmissioni>().ShowOverlapCaption(state.gasOnly);
    Page<TPageConfigurazione>().ShowNoteTitle();
    Page<TPageCommutazione>().LimitReducerTemperature();
    FormResize();
}

// ---------------------------------------------------------------------------
// Keyboard

bool TFormConfig::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        // Every key of the window comes here first, once: at the widget that
        // has the focus, or at the window itself when none has.
        auto* w = qobject_cast<QWidget*>(watched);
        QWidget* focus = QApplication::focusWidget();
        const bool first = w && w->window() == this && (focus && focus->window() == this ? w == focus : w == this);
        if (first) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (FormKeyDown(key->key(), key->modifiers()))
                return true;

            auto* check = qobject_cast<QCheckBox*>(w);
            if (check && std::find(enterChecks_.begin(), enterChecks_.end(), check) != enterChecks_.end() &&
                (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
                CheckTpsBlocKeyPress(check, key->key());
                return true;
            }
        }
    } else if (event->type() == QEvent::Resize && PanelBarra && watched == PanelBarra->parentWidget()) {
        MovePanelBarra(ActivePage());
    }
    // A page takes its size when it becomes the current one: its grids follow.
    if (event->type() == QEvent::Resize) {
        if (watched == TabCorrezioni)
            Page<TPageCorrezioni>().FitCorrezioniGrids();
        else if (watched == TabTemp)
            Page<TPageTemp>().FitTempGrid();
        else if (watched == TabVariatore)
            Page<TPageVariatore>().FitVariatoreGrid();
        if (watched == TabCorrezioni || watched == TabTemp || watched == TabVariatore)
            returnToScreen();
    }
    return QDialog::eventFilter(watched, event);
}

bool TFormConfig::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    const auto visible = VisibleTabs();
    int target = -1;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12 && !(modifiers & Qt::AltModifier)) {
        if (!Page<TPageTemp>().AskLeaveTemperatura())
            return true;
        target = cfgwin::FunctionKeyPage(visible, key - Qt::Key_F1 + 1);
    } else if (key == Qt::Key_PageDown) {
        if (!Page<TPageTemp>().AskLeaveTemperatura())
            return true;
        target = (modifiers & Qt::ControlModifier) ? cfgwin::LastVisiblePage(visible)
                                                   : cfgwin::StepVisiblePage(visible, ActivePage(), true);
    } else if (key == Qt::Key_PageUp) {
        if (!Page<TPageTemp>().AskLeaveTemperatura())
            return true;
        target = (modifiers & Qt::ControlModifier) ? cfgwin::FirstVisiblePage(visible)
                                                   : cfgwin::StepVisiblePage(visible, ActivePage(), false);
    } else if (key == Qt::Key_Escape) {
        close();
        return true;
    } else {
        return false;
    }
    if (target < 0)
        return true;
    // A page chosen from the keyboard is a page change like a click: the
    // page left is remembered, so that the connect and diagnostics tabs
    // return to it.
    PageControlChanging();
    SetActivePage(target, true);
    if (ActivePage() == target)
        PageControlChange();
    return true;
}

// ---------------------------------------------------------------------------
// Sizing and tabs

bool TFormConfig::event(QEvent* event)
{
    const bool handled = QDialog::event(event);
    // The window's layout has just taken its pages' least sizes.
    if (event->type() == QEvent::LayoutRequest)
        returnToScreen();
    return handled;
}

void TFormConfig::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void TFormConfig::FormResize()
{
    if (!PageControl)
        return;
    const int screenHeight = WindowScreenHeight();
    static_cast<TConfigTabBar*>(PageControl->tabBar())->SetTabHeight(cfgwin::TabHeight(screenHeight));
    Page(ActivePage())->update();

    // The grids of the Emissioni page with their shapes and title, and the
    // map-K grid with its axis shapes and titles.
    Page<TPageEmissioni>().LayoutEmissioniGrids();
    Page<TPageMappa>().LayoutMappaGrid();
    // The grids of the Correzioni, Temperatura and Variatore pages (also when
    // those pages change size, eventFilter).
    Page<TPageCorrezioni>().FitCorrezioniGrids();
    Page<TPageTemp>().FitTempGrid();
    Page<TPageVariatore>().FitVariatoreGrid();
    returnToScreen();
}

void TFormConfig::returnToScreen()
{
    // A page whose least size grew for a moment (a caption or a live value
    // wider than before its grids were refitted) pushes the window past its
    // screen, and the push takes the window out of full screen; once the
    // grids fit again, the window is full screen again.
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s || !isVisible() || width() <= s->size().width())
        return;
    QTimer::singleShot(0, this, [this] {
        QScreen* now = screen() ? screen() : QGuiApplication::primaryScreen();
        if (!now || width() <= now->size().width() || minimumSizeHint().width() > now->size().width())
            return;
        resize(now->size().width(), height());
        setWindowState(windowState() | Qt::WindowFullScreen);
    });
}

// ---------------------------------------------------------------------------
// Shared by the grid fitting of the Correzioni, Temperatura and Variatore
// pages.

int TFormConfig::FramedGridWidth(QWidget* page, bool besideFirstColumn, int pageWidth)
{
    auto* grid = static_cast<QGridLayout*>(page->layout());
    const QMargins margins = grid->contentsMargins();
    // A frame's margins and outline around its grid.
    constexpr int kFrame = 2 * 10 + 2;
    int width = pageWidth - margins.left() - margins.right() - kFrame;
    if (besideFirstColumn) {
        // The groups of the first column's top two rows (not those that
        // reach across the page).
        int left = 0;
        for (int i = 0; i < grid->count(); ++i) {
            int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
            if (column == 0 && columnSpan == 1 && row <= 1)
                left = std::max(left, grid->itemAt(i)->sizeHint().width());
        }
        width -= left + grid->horizontalSpacing();
    }
    return width;
}

int TFormConfig::PageRoomWidth(const QWidget* page) const
{
    // A window on the screen wider than the screen is cut at its edge: its
    // pages have only what the screen shows of them.
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const int beyond = s && isVisible() ? width() - s->size().width() : 0;
    return page->width() - std::max(0, beyond);
}

int TFormConfig::WindowScreenHeight() const
{
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    return s ? s->size().height() : 768;
}

TConfigTabBar::TConfigTabBar(TFormConfig* form) : QTabBar(form), form_(form)
{
    setObjectName(QStringLiteral("PageControlTabs"));
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    setExpanding(false);
    setDrawBase(false);
    // The tabs are sized to fit the bar whole.
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideNone);
}

void TConfigTabBar::SetTabHeight(int height)
{
    if (height == tabHeight_)
        return;
    tabHeight_ = height;
    updateGeometry();
    update();
}

int TConfigTabBar::VisibleIndex(int index) const
{
    if (!isTabVisible(index))
        return -1;
    int n = 0;
    for (int i = 0; i < index; ++i)
        if (isTabVisible(i))
            ++n;
    return n;
}

QFont TConfigTabBar::SmallerFont(QFont font)
{
    // Two points smaller (a font sized in pixels: by a fifth of its size).
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, font.pixelSize() - font.pixelSize() * 2 / 10));
    else
        font.setPointSizeF(std::max(1.0, font.pointSizeF() - 2));
    return font;
}

int TConfigTabBar::NaturalWidth(int index) const
{
    const QFontMetrics fm(font());
    if (index == cfgwin::PageConnect)
        return tabHeight_;
    const QString caption = tabText(index).trimmed();
    if (index == cfgwin::PageEsci)
        return fm.horizontalAdvance(caption) + tabHeight_ + 8;
    return std::max(fm.horizontalAdvance(caption), fm.horizontalAdvance(QStringLiteral("F12"))) + 14;
}

cfgwin::TabNeeds TConfigTabBar::Needs(int index) const
{
    const int natural = NaturalWidth(index);
    if (index == cfgwin::PageConnect || index == cfgwin::PageEsci)
        return {natural, natural, natural};
    // The caption and its number, a blank's width clear of either edge.
    const auto least = [this, index](const QFont& font) {
        const QFontMetrics fm(font);
        return std::max(fm.horizontalAdvance(tabText(index).trimmed()), fm.horizontalAdvance(QStringLiteral("F12"))) +
               2 * fm.horizontalAdvance(QLatin1Char(' '));
    };
    return {natural, least(font()), least(SmallerFont(font()))};
}

cfgwin::TabBarLayout TConfigTabBar::Layout(std::vector<int>* pages) const
{
    std::vector<cfgwin::TabNeeds> needs;
    int exit = -1, connect = -1;
    for (int i = 0; i < count(); ++i) {
        if (!isTabVisible(i))
            continue;
        if (i == cfgwin::PageEsci)
            exit = static_cast<int>(needs.size());
        if (i == cfgwin::PageConnect)
            connect = static_cast<int>(needs.size());
        needs.push_back(Needs(i));
        if (pages)
            pages->push_back(i);
    }
    const int total = parentWidget() ? parentWidget()->width() : width();
    return cfgwin::LayoutTabBar(needs, exit, connect, total - 4, total);
}

bool TConfigTabBar::CaptionsSmaller() const { return Layout().smaller; }

QSize TConfigTabBar::tabSizeHint(int index) const
{
    std::vector<int> pages;
    const cfgwin::TabBarLayout layout = Layout(&pages);
    const auto at = std::find(pages.begin(), pages.end(), index);
    if (at == pages.end())
        return {0, tabHeight_};
    return {std::max(1, layout.widths[static_cast<std::size_t>(at - pages.begin())]), tabHeight_};
}

QSize TConfigTabBar::minimumTabSizeHint(int index) const { return tabSizeHint(index); }

void TConfigTabBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int i = 0; i < count(); ++i)
        if (isTabVisible(i))
            form_->PageControlDrawTab(painter, VisibleIndex(i), tabRect(i), i == currentIndex());
}

TFormConfig::TabCaption TFormConfig::TabCaptionOf(int page, const QRect& rect) const
{
    auto* bar = static_cast<TConfigTabBar*>(PageControl->tabBar());
    TabCaption c{bar->font(), false, PageControl->tabText(page).trimmed()};
    if (page == cfgwin::PageEsci || page == cfgwin::PageConnect)
        return c;
    // Smaller when the bar does not hold the captions at the window's font
    // (then all of them alike), or when this one reaches its tab's width.
    if (bar->CaptionsSmaller() || QFontMetrics(c.font).horizontalAdvance(c.text) >= rect.width())
        c.font = TConfigTabBar::SmallerFont(c.font);
    // Still too wide: the caption breaks at its blanks onto two lines.
    c.twoLines = QFontMetrics(c.font).horizontalAdvance(c.text) >= rect.width() && c.text.contains(QLatin1Char(' '));
    return c;
}

void TFormConfig::PageControlDrawTab(QPainter& painter, int tabIndex, const QRect& rect, bool active)
{
    auto* bar = static_cast<TConfigTabBar*>(PageControl->tabBar());
    int page = -1;
    for (int p = 0; p < cfgwin::kPageCount; ++p)
        if (bar->VisibleIndex(p) == tabIndex)
            page = p;
    if (page < 0)
        return;
    painter.save();
    painter.setPen(Qt::black);
    const cfgwin::TabGroup group = cfgwin::PageGroup(page);
    if (group != cfgwin::TabGroup::None)
        painter.setBrush(plat::fromTColor(cfgwin::GroupColour(group, active)));
    painter.drawRect(QRect(QPoint(rect.left(), rect.top() + 2), rect.bottomRight()));

    QString caption = PageControl->tabText(page);
    const TabCaption drawn = TabCaptionOf(page, rect);
    painter.setFont(drawn.font);
    const bool twoLines = drawn.twoLines;
    const QFontMetrics fm(painter.font());
    const int textHeight = fm.height();
    if (page == cfgwin::PageEsci) {
        if (TabEsciTag == 0) {
            const std::u16string padded = cfgwin::PadExitCaption(
                caption.toStdU16String(), rect.left(), PageControl->width(),
                [&fm](const std::u16string& s) { return fm.horizontalAdvance(QString::fromStdU16String(s)); });
            caption = QString::fromStdU16String(padded);
            TabEsciTag = 1;
            PageControl->setTabText(page, caption);
        }
        // The caption (its padding only widens the tab) centred left of the
        // picture, which stands at the right edge.
        int pictureWidth = 0;
        if (ImageEsci) {
            const QPixmap& pic = ImageEsci->currentPicture();
            const QSize size = pic.deviceIndependentSize().toSize();
            pictureWidth = size.width() + 4;
            painter.drawPixmap(rect.right() - size.width() - 2, rect.top() + (rect.height() - size.height()) / 2, pic);
        }
        const int y = rect.top() + (rect.height() - textHeight) / 6;
        painter.drawText(QRect(rect.left(), y, std::max(0, rect.width() - pictureWidth), textHeight), Qt::AlignHCenter,
                         caption.trimmed());
    } else if (page == cfgwin::PageConnect) {
        ImageConnected->setPicture(connected() ? kPictureConnected : kPictureDisconnected);
        const QPixmap& pic = ImageConnected->currentPicture();
        const QSize size = pic.deviceIndependentSize().toSize();
        painter.drawPixmap(rect.left() + (rect.width() - size.width()) / 2,
                           rect.top() + (rect.height() - size.height()) / 2, pic);
    } else if (twoLines) {
        const int fy = rect.top() + 2;
        painter.drawText(QRect(rect.left(), fy, rect.width(), textHeight), Qt::AlignHCenter,
                         QStringLiteral("F%1").arg(tabIndex + 1));
        const QString trimmed = drawn.text;
        // The last blank up to the middle, else the first after it.
        int split = trimmed.lastIndexOf(QLatin1Char(' '), trimmed.size() / 2 + 1);
        if (split <= 0)
            split = trimmed.indexOf(QLatin1Char(' '));
        const QRect lines(rect.left(), fy + textHeight, rect.width(), rect.bottom() - fy - textHeight);
        painter.drawText(lines, Qt::AlignHCenter | Qt::AlignVCenter,
                         trimmed.left(split) + QLatin1Char('\n') + trimmed.mid(split + 1));
    } else {
        // Centred without the blanks the texts carry at their ends.
        const int y = rect.top() + (rect.height() - textHeight) * 5 / 6;
        painter.drawText(QRect(rect.left(), y, rect.width(), textHeight), Qt::AlignHCenter, drawn.text);
        const int fy = rect.top() + (rect.height() - textHeight) / 6;
        painter.drawText(QRect(rect.left(), fy, rect.width(), textHeight), Qt::AlignHCenter,
                         QStringLiteral("F%1").arg(tabIndex + 1));
    }
    painter.restore();
}
