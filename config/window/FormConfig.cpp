// The configuration window's frame: construction, showing and closing, the
// keyboard and page changes (visibility and sizing in files of their own).
#include "FormConfig.h"
#include "FormConfigParts.h"
#include "PageWidgets.h"
#include "config/window/pages/ConfigPage.h"
#include "config/window/pages/PageAdatta.h"
#include "config/window/pages/PageCommutazione.h"
#include "config/window/pages/PageConfigurazione.h"
#include "config/window/pages/PageCorrezioni.h"
#include "config/window/pages/PageEmissioni.h"
#include "config/window/pages/PageIniezione.h"
#include "config/window/pages/PageMappa.h"
#include "config/window/pages/PagePressione.h"
#include "config/window/pages/PageSensori.h"
#include "config/window/pages/PageSequenza.h"
#include "config/window/pages/PageTaratura.h"
#include "config/window/pages/PageTemp.h"
#include "config/window/pages/PageTest.h"
#include "config/window/pages/PageVariatore.h"
#include "windowkit/LivePolling.h"
#include "windowkit/WindowText.h"

#include "complib/editors/KeyComboBox.h"
#include "complib/editors/NumericEdit.h"
#include "complib/translator/Translator.h"
#include "config/mapk/DrawGridK.h"
#include "config/mapk/FormModificaMappa.h"
#include "config/rules/SensorRules.h"
#include "config/rules/SwitchRules.h"
#include "config/tables/CorrectionGrids.h"
#include "datamodule/core/iodata.h"
#include "live/diagnostics/FormDiagnosi.h"
#include "product/constants/BuildConstants.h"

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
    pal.setColor(QPalette::Window, plat::FromTColor(kBackground));
    setPalette(pal);
    setAutoFillBackground(true);
    resize(kDesignSize);
    // The window's text size at the design size; the screen scaling enlarges it.
    setFont(plat::SansFont(13, false));

    // The layout; no message strings until the texts are loaded.
    buildLayout();
    messages_.clear();

    // The screen scaling.
    const plat::ScaleFactor scale = plat::ApplyScreenScale(this);
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

TStreamDati& TFormConfig::DataModule() const { return *StreamDati; }

bool TFormConfig::Connected() const { return StreamDati && DataModule().Protocol()->IsConnected(); }

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
        sheetPalette.setColor(QPalette::Window, plat::FromTColor(kBackground));
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
    const auto scaled = [num, den](int v) { return static_cast<int>(plat::MulDivRound(v, num, den)); };
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
    CorrectionGrids = new TCorrectionGrids(DataModule(), std::move(host), pageOf, this);
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
    if (TConfigPage* p = pages_[static_cast<std::size_t>(page)])
        p->Show();
    else if (page == cfgwin::PageEsci)
        TabEsciShow();
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
        if (Connected()) {
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
    wkit::LivePollingOn(DataModule());
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
        wkit::LivePollingOff(DataModule());
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
