#include "FormDiagnosi.h"

#include "datamodule/core/ItemCodes.h"
#include "windowkit/ControlMaker.h"
#include "windowkit/LivePolling.h"
#include "windowkit/WindowText.h"

#include "DiagnosiPlacements.h"
#include "complib/translator/Translator.h"
#include "datamodule/core/iodata.h"
#include "product/constants/BuildConstants.h"

#include "plat/Colors.h"
#include "plat/Controls.h"
#include "plat/PictureButton.h"
#include "plat/Placement.h"
#include "plat/Prompts.h"
#include "plat/ScreenScale.h"
#include "plat/Services.h"
#include "plat/Shape.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

namespace {

using diagnosi::kInjectorLetters;

constexpr QSize kDesignSize(1024, 768);
constexpr std::uint32_t kActiveTab = 15112960;   // red 0, green 155, blue 230
constexpr std::uint32_t kInactiveTab = 14732184; // red 152, green 203, blue 224
constexpr std::uint32_t kInk = 9396256;
constexpr std::uint32_t kRed = 2498529;

constexpr int kOptionDiagnosi = 11;
constexpr int kOptionVariatore = 26;
constexpr std::int32_t kRearValveBit = 0x4;

// The window's texts (string numbers).
constexpr int kTextErrorsTab = 509;             // "Messaggi di errore"
constexpr int kTextRearValve = 396;             // "Elettrovalvola posteriore con filo dedicato"
constexpr int kTextClearErrors = 426;           // "AZZERA ERRORI"
constexpr int kTextEnableDiagnosis = 430;       // "Abilita diagnosi"
constexpr int kTextInjectorsTab = 510;          // "Test iniettori"
constexpr int kTextPetrolInjectorSignals = 505; // "Diagnosi segnali iniettori benzina"
constexpr int kTextSignalRead = 507;            // "segnale iniettore letto correttamente"
constexpr int kTextSignalNotRead = 508;         // "segnale iniettore non letto"
constexpr int kTextInjectorMatch = 506;         // "Verifica corrispondenza iniettori gas/benzina"
constexpr int kTextGasInjectorDriven = 526;     // "iniettore gas comandato"
constexpr int kTextGasInjectorExcluded = 527;   // "iniettore gas escluso"
constexpr int kTextCountersTab = 511;           // "Contatori"
constexpr int kTextGasTime = 512;               // "TEMPO FUNZ. GAS"
constexpr int kTextGasAbsolute = 513;           // "ASSOLUTO"
constexpr int kTextGasService = 514;            // "MANUTENZIONE            360 ORE"
constexpr int kTextGasNote = 515;               // "NOTA: il formato di visualizzazione dei contatori è hh:mm"
constexpr int kTextPetrolTime = 516;            // "TEMPO FUNZ. BENZINA"
constexpr int kTextPetrolAbsolute = 517;        // "ASSOLUTO"
constexpr int kTextPetrolNote = 518;            // "NOTA: il formato di visualizzazione dei contatori è hh:mm"
constexpr int kTextGasStarts = 519;             // "PARTENZE A GAS"
constexpr int kTextStartCount = 520;            // "NUMERO AVVIAMENTI"
constexpr int kTextStartsNote = 521;            // "NOTA: raggiunti i 10 avviamenti forzato gas tale funzione è ..."
constexpr int kTextExitTab = 80;                // " ESC "
constexpr int kTextError = 428;                 // "ERRORE"
constexpr int kTextConfirm = 429;               // "Sei sicuro di effettuare l'operazione richiesta?"
constexpr int kTextCode = 550;                  // "Codice"
constexpr int kTextDiagnosis = 431;             // "Diagnosi"
constexpr int kTextState = 432;                 // "Stato"
constexpr int kTextNotes = 433;                 // "Note"
constexpr int kTextActionNone = 435;            // "Nessuna"
constexpr int kTextActionToPetrol = 436;        // "Passaggio benz"
constexpr int kTextActionForcedPetrol = 437;    // "Forzato benz"

const char* const kOkPicture = ":/bmp/injok.png";
const char* const kKoPicture = ":/bmp/injko.png";
const char* const kOnPicture = ":/bmp/injon.png";
const char* const kOffPicture = ":/bmp/injoff.png";
const char* const kEsciPicture = ":/bmp/esci.png";

// Gives w its rectangle in kPlacements, under key.
void place(QWidget* w, const char* key) { plat::Place(w, diagnosi::kPlacements, key); }

// The labels and picture buttons, named and placed by their entries.
const wkit::ControlMaker& kit()
{
    static const wkit::ControlMaker maker(diagnosi::kPlacements, plat::FromTColor(kInk));
    return maker;
}

// The page control, with the window's tab bar.
class PageControlWidget : public QTabWidget {
public:
    PageControlWidget(QWidget* parent, QTabBar* bar) : QTabWidget(parent) { setTabBar(bar); }
};

} // namespace

// ---------------------------------------------------------------------------
// Tab bar

TDiagnosiTabBar::TDiagnosiTabBar(TFormDiagnosi* form, int tabHeight) : QTabBar(form), form_(form), tabHeight_(tabHeight)
{
    setDrawBase(false);
    setExpanding(false);
    // The tabs always fit: the exit tab takes what the others leave.
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideNone);
}

QSize TDiagnosiTabBar::tabSizeHint(int index) const
{
    QSize s = QTabBar::tabSizeHint(index);
    const int text = fontMetrics().horizontalAdvance(tabText(index));
    s.setWidth(text + 24);
    s.setHeight(tabHeight_);
    if (form_->PageControl && form_->PageControl->widget(index) == form_->TabEsci) {
        // Its caption is padded with blanks to reach 98 % of the page
        // control's width: the tab is as wide as that caption, and never
        // wider than the room left of it, so that its picture shows at its
        // right end.
        int left = 0;
        for (int i = 0; i < index; ++i)
            if (isTabVisible(i))
                left += tabSizeHint(i).width();
        const int room = form_->PageControl->contentsRect().width() - left;
        s.setWidth(std::max(0, std::min(text, room)));
    }
    return s;
}

void TDiagnosiTabBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int i = 0; i < count(); ++i)
        if (isTabVisible(i))
            form_->PageControlDrawTab(painter, i, tabRect(i), i == currentIndex());
}

// ---------------------------------------------------------------------------
// Opening

TFormDiagnosi::TFormDiagnosi(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FormDiagnosi"));
    setWindowTitle(QStringLiteral("Diagnosi centralina"));
    buildLayout();
    plat::ApplyScreenScale(this);
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const plat::ScaleFactor f = screen ? plat::ScreenScaleFactor(screen->size()) : plat::ScaleFactor{};
    resize(static_cast<int>(plat::MulDivRound(kDesignSize.width(), f.num, f.den)),
           static_cast<int>(plat::MulDivRound(kDesignSize.height(), f.num, f.den)));

    for (auto* p : {ImageReset, ImageResetParzialeGas, ImageResetPartenzeGas, ImageResetAssolutoGas,
                    ImageResetAssolutoBenzina})
        p->setPictures(kResetPicture, kResetPicturePressed);
    previous_.fill(255);
    current_.fill(0);
    descriptions_.clear();

    TEcuProtocol* ecu = dm().Protocol();
    if (ecu->IsConnected()) {
        std::int32_t v = 0;
        if (!ecu->ReadItem(kExclusionCode, &v))
            PageControl->setTabVisible(PageControl->indexOf(TabIniettori), false);
        v = 0;
        if (!ecu->ReadItem(kPartialGasTimeCode, &v))
            PageControl->setTabVisible(PageControl->indexOf(TabContatori), false);
    }

    Timer = new QTimer(this);
    Timer->setInterval(kTimerMs);
    connect(Timer, &QTimer::timeout, this, &TFormDiagnosi::TimerTimer);
    Timer->start();

    // The form previews keys.
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

TFormDiagnosi::~TFormDiagnosi()
{
    // A window freed without closing must not leave the poll timer stopped.
    if (activated_.Done() && !closed_ && StreamDati)
        FormClose();
}

TStreamDati& TFormDiagnosi::dm() const { return *StreamDati; }

int TFormDiagnosi::cylinders() const { return static_cast<int>(dm().GetValueByCode(dm::kCylindersCode)); }

const TFormDiagnosi::LetterControls& TFormDiagnosi::Letter(char control) const
{
    for (const auto& l : Letters)
        if (l.letter.control == control)
            return l;
    return Letters[0];
}

void TFormDiagnosi::buildLayout()
{
    const int tabHeight = [this] {
        QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
        return (s ? s->size().height() : 768) * 60 / 768;
    }();
    auto* bar = new TDiagnosiTabBar(this, tabHeight);
    PageControl = new PageControlWidget(this, bar);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setGeometry(0, 0, kDesignSize.width(), kDesignSize.height());
    PageControl->setFont(kit().Font(16, true));

    TabErrori = new QWidget;
    TabErrori->setObjectName(QStringLiteral("TabErrori"));
    TabIniettori = new QWidget;
    TabIniettori->setObjectName(QStringLiteral("TabIniettori"));
    TabContatori = new QWidget;
    TabContatori->setObjectName(QStringLiteral("TabContatori"));
    TabEsci = new QWidget;
    TabEsci->setObjectName(QStringLiteral("TabEsci"));
    for (QWidget* page : {TabErrori, TabIniettori, TabContatori, TabEsci})
        PageControl->addTab(page, QString());
    ImageEsci = kit().Picture(this, "ImageEsci");
    ImageEsci->setPicturePath(QLatin1String(kEsciPicture));
    ImageEsci->hide();
    connect(PageControl, &QTabWidget::currentChanged, this, [this](int index) {
        if (PageControl->widget(index) == TabEsci)
            TabEsciShow();
    });

    // Errors.
    ListDiagnosi = new QTreeWidget(TabErrori);
    ListDiagnosi->setObjectName(QStringLiteral("ListDiagnosi"));
    place(ListDiagnosi, "ListDiagnosi");
    ListDiagnosi->setColumnCount(3);
    ListDiagnosi->setRootIsDecorated(false);
    ListCode = new QTreeWidget(TabErrori);
    ListCode->setObjectName(QStringLiteral("ListCode"));
    place(ListCode, "ListCode");
    ListCode->setColumnCount(1);
    ListCode->setRootIsDecorated(false);
    ListCode->hide();
    for (QTreeWidget* l : {ListCode, ListDiagnosi})
        l->setFont(kit().Font(16, false));
    ImageReset = kit().Picture(TabErrori, "ImageReset");
    LabelAzzeraErrori = kit().Label(TabErrori, "LabelAzzeraErrori", 16, true, Qt::AlignCenter);
    ShapeAbilita = new plat::Shape(TabErrori);
    place(ShapeAbilita, "ShapeAbilita");
    ShapeCheckAbilita = new plat::Shape(TabErrori);
    place(ShapeCheckAbilita, "ShapeCheckAbilita");
    CheckDiagnosi = new QCheckBox(TabErrori);
    CheckDiagnosi->setObjectName(QStringLiteral("CheckDiagnosi"));
    place(CheckDiagnosi, "CheckDiagnosi");
    LabelDiagnosi = kit().Label(TabErrori, "LabelDiagnosi", 14, true, Qt::AlignLeft | Qt::AlignVCenter);
    LabelDiagnosi->setWordWrap(true);
    ShapePosteriore = new plat::Shape(TabErrori);
    place(ShapePosteriore, "ShapePosteriore");
    ShapeCheckPosteriore = new plat::Shape(TabErrori);
    place(ShapeCheckPosteriore, "ShapeCheckPosteriore");
    CheckPosteriore = new QCheckBox(TabErrori);
    CheckPosteriore->setObjectName(QStringLiteral("CheckPosteriore"));
    place(CheckPosteriore, "CheckPosteriore");
    LabelPosteriore = kit().Label(TabErrori, "LabelPosteriore", 14, true, Qt::AlignLeft | Qt::AlignVCenter);
    LabelPosteriore->setWordWrap(true);
    for (QWidget* w : std::initializer_list<QWidget*>{ShapeAbilita, ShapeCheckAbilita, CheckDiagnosi, LabelDiagnosi,
                                                      ShapePosteriore, ShapeCheckPosteriore, CheckPosteriore,
                                                      LabelPosteriore})
        w->hide();
    ComboAzione = new QComboBox(TabErrori);
    ComboAzione->setObjectName(QStringLiteral("ComboAzione"));
    place(ComboAzione, "ComboAzione");
    ComboAzione->hide();

    connect(ImageReset, &plat::PictureButton::clicked, this, &TFormDiagnosi::ImageResetClick);
    connect(CheckDiagnosi, &QCheckBox::clicked, this, &TFormDiagnosi::CheckDiagnosiClick);
    connect(CheckPosteriore, &QCheckBox::clicked, this, &TFormDiagnosi::CheckPosterioreClick);

    // Injectors: the test on top, the exclusion panel below; bank 1 on the
    // first row of each, bank 2 on the second.
    LabelIniettori = kit().Label(TabIniettori, "LabelIniettori", 18, true, Qt::AlignLeft | Qt::AlignVCenter);
    PanelEsclusione = new QFrame(TabIniettori);
    PanelEsclusione->setObjectName(QStringLiteral("PanelEsclusione"));
    place(PanelEsclusione, "PanelEsclusione");
    LabelEsclusione = kit().Label(PanelEsclusione, "LabelEsclusione", 18, true, Qt::AlignLeft | Qt::AlignVCenter);
    for (std::size_t i = 0; i < kInjectorLetters.size(); ++i) {
        const auto& def = kInjectorLetters[i];
        auto& c = Letters[i];
        c.letter = def;
        const QString x(QLatin1Char(def.control));
        // Each injector's controls are injector A's, renamed and moved to
        // its column and bank.
        const QPoint step(static_cast<int>(i % 5) * diagnosi::kInjectorStepX,
                          def.bank == 1 ? 0 : diagnosi::kInjectorStepY);
        const auto cell = [&x, step](QWidget* w, const char* prefix) {
            w->setObjectName(QLatin1String(prefix) + x);
            w->move(w->pos() + step);
        };
        const QString caption(QLatin1Char(def.caption));
        c.LabelInj = kit().Label(TabIniettori, "LabelInjA", 20, true, Qt::AlignCenter);
        cell(c.LabelInj, "LabelInj");
        c.LabelInj->setText(caption);
        c.ImageOk = kit().Picture(TabIniettori, "ImageOkA");
        cell(c.ImageOk, "ImageOk");
        c.ImageOk->setPicturePath(QLatin1String(kOkPicture));
        c.ImageKo = kit().Picture(TabIniettori, "ImageKoA");
        cell(c.ImageKo, "ImageKo");
        c.ImageKo->setPicturePath(QLatin1String(kKoPicture));
        c.ImageKo->hide();
        c.Label = kit().Label(PanelEsclusione, "LabelA", 20, true, Qt::AlignCenter);
        cell(c.Label, "Label");
        c.Label->setText(caption);
        if (def.bank == 2) {
            QPalette pal = c.Label->palette();
            pal.setColor(QPalette::WindowText, plat::FromTColor(kRed));
            c.Label->setPalette(pal);
        }
        c.ImageOn = kit().Picture(PanelEsclusione, "ImageOnA");
        cell(c.ImageOn, "ImageOn");
        c.ImageOn->setPicturePath(QLatin1String(kOnPicture));
        c.ImageOn->setTag(static_cast<int>(def.bit));
        c.ImageOff = kit().Picture(PanelEsclusione, "ImageOffA");
        cell(c.ImageOff, "ImageOff");
        c.ImageOff->setPicturePath(QLatin1String(kOffPicture));
        c.ImageOff->setTag(static_cast<int>(def.bit));
        c.ImageOff->hide();
        connect(c.ImageOn, &plat::PictureButton::clicked, this, [this, p = c.ImageOn] { ImageOffClick(p); });
        connect(c.ImageOff, &plat::PictureButton::clicked, this, [this, p = c.ImageOff] { ImageOnClick(p); });
    }
    // A legend: its text, and left of it the picture (without a name) under
    // the key "Image" + the text's name.
    auto legend = [](QWidget* parent, const char* name, const char* pictureKey, const char* path) {
        auto* p = new plat::PictureButton(parent);
        place(p, pictureKey);
        p->setPicturePath(QLatin1String(path));
        return kit().Label(parent, name, 14, false, Qt::AlignLeft | Qt::AlignVCenter);
    };
    LabelOk = legend(TabIniettori, "LabelOk", "ImageLabelOk", kOkPicture);
    LabelErrore = legend(TabIniettori, "LabelErrore", "ImageLabelErrore", kKoPicture);
    LabelEsclusioneOk = legend(PanelEsclusione, "LabelEsclusioneOk", "ImageLabelEsclusioneOk", kOnPicture);
    LabelEsclusioneErrore =
        legend(PanelEsclusione, "LabelEsclusioneErrore", "ImageLabelEsclusioneErrore", kOffPicture);

    // Counters.
    LabelContatoriGas = kit().Label(TabContatori, "LabelContatoriGas", 20, true, Qt::AlignLeft | Qt::AlignVCenter);
    LabelAssolutoGas = kit().Label(TabContatori, "LabelAssolutoGas", 16, true, Qt::AlignLeft | Qt::AlignVCenter);
    LabAssolutoGas = kit().Label(TabContatori, "LabAssolutoGas", 20, true, Qt::AlignRight | Qt::AlignVCenter);
    ImageResetAssolutoGas = kit().Picture(TabContatori, "ImageResetAssolutoGas");
    LabelParzialeGas = kit().Label(TabContatori, "LabelParzialeGas", 16, true, Qt::AlignLeft | Qt::AlignVCenter);
    LabParzialeGas = kit().Label(TabContatori, "LabParzialeGas", 20, true, Qt::AlignRight | Qt::AlignVCenter);
    ImageResetParzialeGas = kit().Picture(TabContatori, "ImageResetParzialeGas");
    LabelNotaGas = kit().Label(TabContatori, "LabelNotaGas", 14, false, Qt::AlignLeft | Qt::AlignVCenter);
    LabelContatoriBenzina =
        kit().Label(TabContatori, "LabelContatoriBenzina", 20, true, Qt::AlignLeft | Qt::AlignVCenter);
    LabelAssolutoBenzina =
        kit().Label(TabContatori, "LabelAssolutoBenzina", 16, true, Qt::AlignLeft | Qt::AlignVCenter);
    LabAssolutoBenzina = kit().Label(TabContatori, "LabAssolutoBenzina", 20, true, Qt::AlignRight | Qt::AlignVCenter);
    ImageResetAssolutoBenzina = kit().Picture(TabContatori, "ImageResetAssolutoBenzina");
    LabelNotaBenzina = kit().Label(TabContatori, "LabelNotaBenzina", 14, false, Qt::AlignLeft | Qt::AlignVCenter);
    LabelPartenzeGas = kit().Label(TabContatori, "LabelPartenzeGas", 20, true, Qt::AlignLeft | Qt::AlignVCenter);
    LabelAvviamenti = kit().Label(TabContatori, "LabelAvviamenti", 16, true, Qt::AlignLeft | Qt::AlignVCenter);
    LabAvviamenti = kit().Label(TabContatori, "LabAvviamenti", 20, true, Qt::AlignRight | Qt::AlignVCenter);
    ImageResetPartenzeGas = kit().Picture(TabContatori, "ImageResetPartenzeGas");
    LabelNotaPartenze = kit().Label(TabContatori, "LabelNotaPartenze", 14, false, Qt::AlignLeft | Qt::AlignVCenter);
    ImageResetParzialeGas->setTag(0);
    ImageResetPartenzeGas->setTag(1);
    ImageResetAssolutoGas->setTag(2);
    ImageResetAssolutoBenzina->setTag(3);
    ImageResetAssolutoGas->hide();
    ImageResetAssolutoBenzina->hide();
    for (auto* p : {ImageResetParzialeGas, ImageResetPartenzeGas, ImageResetAssolutoGas, ImageResetAssolutoBenzina})
        connect(p, &plat::PictureButton::clicked, this, [this, p] { ResetTempiClick(p); });
}

// ---------------------------------------------------------------------------
// Activation and the options

void TFormDiagnosi::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
    FormActivate();
}

void TFormDiagnosi::FormActivate()
{
    if (!activated_.First())
        return;

    // The two lists side by side.
    ListCode->show();
    ListDiagnosi->move(ListDiagnosi->x() + ListCode->width(), ListDiagnosi->y());
    ListDiagnosi->resize(ListDiagnosi->width() - ListCode->width(), ListDiagnosi->height());
    const int client = ListDiagnosi->viewport()->width();
    const int first = static_cast<int>(0.6 * client);
    ListDiagnosi->setColumnWidth(0, first);
    ListDiagnosi->setColumnWidth(1, client - first);
    ListDiagnosi->setColumnWidth(2, 0);

    ImageResetAssolutoGas->show();
    ImageResetAssolutoBenzina->show();
    for (QWidget* w : std::initializer_list<QWidget*>{CheckDiagnosi, LabelDiagnosi, ShapeAbilita, ShapeCheckAbilita})
        w->show();

    // Texts.
    PageControl->setTabText(PageControl->indexOf(TabErrori), wkit::Text(kTextErrorsTab));
    LabelPosteriore->setText(wkit::Text(kTextRearValve));
    LabelAzzeraErrori->setText(wkit::Text(kTextClearErrors));
    LabelDiagnosi->setText(wkit::Text(kTextEnableDiagnosis));
    PageControl->setTabText(PageControl->indexOf(TabIniettori), wkit::Text(kTextInjectorsTab));
    LabelIniettori->setText(wkit::Text(kTextPetrolInjectorSignals));
    LabelOk->setText(wkit::Text(kTextSignalRead));
    LabelErrore->setText(wkit::Text(kTextSignalNotRead));
    LabelEsclusione->setText(wkit::Text(kTextInjectorMatch));
    LabelEsclusioneOk->setText(wkit::Text(kTextGasInjectorDriven));
    LabelEsclusioneErrore->setText(wkit::Text(kTextGasInjectorExcluded));
    PageControl->setTabText(PageControl->indexOf(TabContatori), wkit::Text(kTextCountersTab));
    LabelContatoriGas->setText(wkit::Text(kTextGasTime));
    LabelAssolutoGas->setText(wkit::Text(kTextGasAbsolute));
    LabelParzialeGas->setText(wkit::Text(kTextGasService));
    LabelNotaGas->setText(wkit::Text(kTextGasNote));
    LabelContatoriBenzina->setText(wkit::Text(kTextPetrolTime));
    LabelAssolutoBenzina->setText(wkit::Text(kTextPetrolAbsolute));
    LabelNotaBenzina->setText(wkit::Text(kTextPetrolNote));
    LabelPartenzeGas->setText(wkit::Text(kTextGasStarts));
    LabelAvviamenti->setText(wkit::Text(kTextStartCount));
    LabelNotaPartenze->setText(wkit::Text(kTextStartsNote));
    PageControl->setTabText(PageControl->indexOf(TabEsci), wkit::Text(kTextExitTab));
    TabEsciTag = 0;
    statusText_ = wkit::Text(kTextError);
    confirmText_ = wkit::Text(kTextConfirm);
    ListCode->setHeaderLabels({wkit::Text(kTextCode)});
    ListDiagnosi->setHeaderLabels({wkit::Text(kTextDiagnosis), wkit::Text(kTextState),
                                   ListDiagnosi->columnWidth(2) != 0 ? wkit::Text(kTextNotes) : QString()});
    ComboAzione->clear();
    ComboAzione->addItems(
        {wkit::Text(kTextActionNone), wkit::Text(kTextActionToPetrol), wkit::Text(kTextActionForcedPetrol)});
    descriptions_.clear();
    for (int n : diagnosi::kDescriptionStrings)
        descriptions_.push_back(n < 0 ? QString() : wkit::Text(n));

    // The letters that exist.
    const int n = cylinders();
    for (auto& c : Letters) {
        const bool on = diagnosi::LetterVisible(c.letter.control, n);
        c.Label->setVisible(on);
        c.ImageOn->setVisible(on);
        c.LabelInj->setVisible(on);
        c.ImageOk->setVisible(on);
    }

    if (static_cast<std::uint32_t>(dm().GetItem15()) < 2u || dm().GetModificaSequenza())
        PanelEsclusione->hide();

    update();
    PageControl->update();
    refreshAll_ = true;
    RefreshDiagnostics();
    for (QTreeWidget* l : {ListCode, ListDiagnosi})
        if (l->topLevelItemCount() > 0)
            l->setCurrentItem(l->topLevelItem(0));
    listChangeAttached_ = true;

    // The window polls by itself from now on.
    wkit::IdlePollingByWindow(dm());
}

void TFormDiagnosi::updateOptionGroups()
{
    const bool diagnosiOn = dm().GetFlag(kOptionDiagnosi) != 0;
    CheckPosteriore->setEnabled(diagnosiOn && dm().GetFlag(kOptionVariatore) == 0);
    for (QWidget* w : std::initializer_list<QWidget*>{LabelPosteriore, CheckPosteriore, ShapePosteriore, ShapeCheckPosteriore})
        w->setVisible(diagnosiOn);
}

void TFormDiagnosi::FormShow()
{
    // Setting the states programmatically sends no clicked().
    CheckDiagnosi->setChecked(dm().GetFlag(kOptionDiagnosi) != 0);
    CheckPosteriore->setChecked((dm().GetDiagnosi(0, 2) & kRearValveBit) != 0);
    updateOptionGroups();
}

void TFormDiagnosi::CheckDiagnosiClick()
{
    const bool on = CheckDiagnosi->isChecked();
    dm().SetFlag(kOptionDiagnosi, on);
    const std::int32_t enables[5] = {0xF9, 9, 0, 0, 0};
    for (int w = 0; w < 5; ++w)
        dm().SetDiagnosi(w, 2, on ? enables[w] : 0);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            dm().SetAzione(r, c, 0);
    if (on)
        dm().SetAzione(0, 0, 255);
    else
        CheckPosteriore->setChecked(false);
    updateOptionGroups();
}

void TFormDiagnosi::CheckPosterioreClick()
{
    if (!dm().GetFlag(kOptionDiagnosi)) {
        CheckPosteriore->setChecked(false);
        return;
    }
    const std::int32_t word = dm().GetDiagnosi(0, 2);
    dm().SetDiagnosi(0, 2, CheckPosteriore->isChecked() ? (word | kRearValveBit) : (word & ~kRearValveBit));
}

// ---------------------------------------------------------------------------
// Keys, tabs, closing

bool TFormDiagnosi::pageTabVisible(int page) const { return PageControl->isTabVisible(page); }

void TFormDiagnosi::setCurrentPage(int page)
{
    if (page >= 0)
        PageControl->setCurrentIndex(page);
}

bool TFormDiagnosi::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    bool visible[4];
    const int count = std::min(PageControl->count(), 4);
    for (int i = 0; i < count; ++i)
        visible[i] = pageTabVisible(i);
    const int current = PageControl->currentIndex();
    using diagnosi::PageKey;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12 && !(modifiers & Qt::AltModifier)) {
        setCurrentPage(diagnosi::PageForKey(visible, count, current, PageKey::Function, key - Qt::Key_F1 + 1));
        return true;
    }
    const bool ctrl = (modifiers & Qt::ControlModifier) != 0;
    if (key == Qt::Key_PageDown) {
        setCurrentPage(diagnosi::PageForKey(visible, count, current, ctrl ? PageKey::Last : PageKey::Next));
        return true;
    }
    if (key == Qt::Key_PageUp) {
        setCurrentPage(diagnosi::PageForKey(visible, count, current, ctrl ? PageKey::First : PageKey::Previous));
        return true;
    }
    if (key == Qt::Key_Escape) {
        done(mrCancel);
        return true;
    }
    return false;
}

bool TFormDiagnosi::ListDiagnosiKeyPress(int character)
{
    if (character != 27)
        return false;
    done(mrCancel);
    return true;
}

bool TFormDiagnosi::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (FormKeyDown(k->key(), k->modifiers()))
            return true;
        // Enter on an option check box is a click.
        if ((watched == CheckDiagnosi || watched == CheckPosteriore)
            && (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)) {
            static_cast<QCheckBox*>(watched)->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormDiagnosi::keyPressEvent(QKeyEvent* event)
{
    if (FormKeyDown(event->key(), event->modifiers()))
        return;
    QDialog::keyPressEvent(event);
}

void TFormDiagnosi::TabEsciShow()
{
    PageControl->setCurrentWidget(TabErrori);
    done(mrCancel);
}

void TFormDiagnosi::PageControlDrawTab(QPainter& painter, int tabIndex, const QRect& rect, bool active)
{
    QTabBar* bar = PageControl->tabBar();
    QWidget* sheet = PageControl->widget(tabIndex);
    painter.save();
    painter.setPen(Qt::black);
    painter.setBrush(plat::FromTColor(active ? kActiveTab : kInactiveTab));
    painter.drawRect(QRect(QPoint(rect.left(), rect.top() + 2), rect.bottomRight()));
    const QFontMetrics fm(painter.font());
    if (sheet == TabEsci) {
        if (TabEsciTag == 0) {
            // Pad the caption so that the exit tab reaches the right edge.
            QString caption = bar->tabText(tabIndex) + QString(10, QLatin1Char(' '));
            const int target = PageControl->contentsRect().width() * 98 / 100;
            for (int guard = 0; guard < 1000 && rect.left() + fm.horizontalAdvance(caption) < target; ++guard)
                caption += QLatin1Char(' ');
            TabEsciTag = 1;
            bar->setTabText(tabIndex, caption);
        }
        const QString caption = bar->tabText(tabIndex);
        const int y = rect.top() + (rect.height() - fm.height()) / 6;
        painter.drawText(QRect(rect.left(), y, rect.width(), fm.height()), Qt::AlignHCenter | Qt::AlignTop, caption);
        const QPixmap& pic = ImageEsci->currentPicture();
        const QSize size = pic.isNull() ? QSize() : pic.deviceIndependentSize().toSize();
        if (!pic.isNull())
            painter.drawPixmap(QRect(QPoint(rect.right() - size.width() - 2, rect.top() + (rect.height() - size.height()) / 2), size), pic);
    } else {
        int shown = 0;
        for (int i = 0; i < tabIndex; ++i)
            if (bar->isTabVisible(i))
                ++shown;
        const int gap = rect.height() - fm.height();
        painter.drawText(QRect(rect.left(), rect.top() + gap * 5 / 6, rect.width(), fm.height()),
                         Qt::AlignHCenter | Qt::AlignTop, bar->tabText(tabIndex));
        painter.drawText(QRect(rect.left(), rect.top() + gap / 6, rect.width(), fm.height()),
                         Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("F%1").arg(shown + 1));
    }
    painter.restore();
}

void TFormDiagnosi::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TFormDiagnosi::FormClose()
{
    if (closed_)
        return;
    closed_ = true;
    Timer->stop();
    if (exclusionAllowed()) {
        std::int32_t e = 0;
        if (dm().Protocol()->ReadItem(kExclusionCode, &e) && e != 0)
            dm().Protocol()->WriteValue(kExclusionCode, 0);
    }
    descriptions_.clear();
    listChangeAttached_ = false;
    wkit::LivePollingOff(dm());
}
