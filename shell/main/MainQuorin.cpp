#include "MainQuorin.h"
#include "windowkit/ControlMaker.h"
#include "windowkit/WindowText.h"

#include "MainRules.h"
#include "complib/connection/VyxConnection.h"
#include "complib/settings/VyxRegistryData.h"
#include "complib/translator/Translator.h"
#include "datamodule/core/ItemCodes.h"
#include "datamodule/core/iodata.h"
#include "live/autocal/FormCalibraTar.h"
#include "live/view/FormVisualizza.h"
#include "product/constants/BuildConstants.h"
#include "shell/windows/Splash.h"

#include "shell/file/FormFile.h"
#include "shell/schemi/Schemi.h"

#include "plat/Colors.h"
#include "plat/Controls.h"
#include "plat/PictureButton.h"
#include "plat/ScreenCursor.h"
#include "plat/ScreenScale.h"
#include "plat/SerialPortWatcher.h"
#include "plat/Services.h"
#include "plat/Shape.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTimer>

TFormMain* FormMain = nullptr;

namespace {

constexpr std::uint32_t kPaper = 16777215; // white
constexpr std::uint32_t kInk = 9396256;    // dark blue
constexpr std::uint32_t kFrame = 32768;    // green

// The layout, in design pixels of the 1008 x 780 client area.
constexpr QSize kDesignSize(1008, 780);
constexpr QSize kButtonSize(150, 120);
constexpr int kColumns[4] = {69, 309, 549, 789};
constexpr int kRows[2] = {300, 500};
constexpr QSize kFrameSize(178, 148);
constexpr QRect kLogoRect(24, 24, 260, 64);
constexpr QRect kConnectedRect(344, 24, 64, 64);
constexpr QRect kKoaRect(428, 32, 48, 48);
constexpr QRect kBaseRect(584, 16, 400, 250);
constexpr QRect kEcuTypeRect(584, 268, 400, 26);
constexpr QRect kExitRect(912, 688, 72, 72);
constexpr QRect kVersioneSwRect(24, 680, 700, 24);
constexpr QRect kVersioneFwRect(24, 706, 700, 24);
constexpr QRect kConfigurazioneRect(24, 732, 700, 24);

struct ButtonDef {
    const char* image;
    const char* label;
    int released;
    int pressed;
    int textNumber;
};
// In list order: the order is also the pictures' and labels' tags.
constexpr ButtonDef kButtons[8] = {
    {"ImageConfig", "LabelConfig", 10005, 10006, 3},
    {"ImageTara", "LabelTara", 10007, 10008, 4},
    {"ImageVisualizza", "LabelVisualizza", 10009, 10010, 5},
    {"ImageLingua", "LabelLingua", 10011, 10013, 6}, // there is no 10012
    {"ImageCarica", "LabelCarica", 10014, 10015, 7},
    {"ImageSalva", "LabelSalva", 10016, 10017, 8},
    {"ImageProgramma", "LabelProgramma", 10018, 10019, 9},
    {"ImageSchemi", "LabelSchemi", 10020, 10021, 535},
};

constexpr int kExitReleased = 10003;
constexpr int kExitPressed = 10004;
constexpr int kConnectedPicture = 10001;
constexpr int kDisconnectedPicture = 10002;

// The labels and picture buttons, at the rectangles of the layout above.
const wkit::ControlMaker& kit()
{
    static const wkit::ControlMaker maker({}, plat::FromTColor(kInk),
                                          {QStringLiteral("AvantGarde Bk BT"), QStringLiteral("URW Gothic"),
                                           QStringLiteral("URW Gothic L"), QStringLiteral("DejaVu Sans")});
    return maker;
}

QString exeVersion()
{
    char16_t buffer[20] = {};
    qz::GetExeFileVersion(buffer);
    return QString::fromUtf16(buffer);
}

TEcuProtocol* protocol() { return StreamDati->Protocol(); }

} // namespace

// ---------------------------------------------------------------------------
// Construction

TFormMain::TFormMain(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    Q_ASSERT(StreamDati);
    if (!FormMain)
        FormMain = this;
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QString::fromUtf8(qz::ProductTitle()));

    DefaultSetLoader = [](int resource) {
        return StreamDati->TransferData(TStreamDati::TRANSFER_LOAD, QString(), resource,
                                        TStreamDati::TRANSFER_ALL_GROUPS, 0, 0);
    };
    FlagReader = [](int n) { return StreamDati->GetFlag(n) != 0; };

    // Private state is clear; the layout with its pictures.
    buildLayout();
    buildActions();
    ImageQuorin->setVisible(true);

    applicationFolder_ = QDir::currentPath();
    plat::SetScreenCursor(plat::ScreenCursor::AppStart);

    splash_ = new TFormSplash(this);
    splash_->repaint();

    mainrules::DeleteLeftoverFiles(QDir::tempPath(), applicationFolder_);

    plat::ApplyScreenScale(this);

    // The picture buttons whose label is visible, in table order.
    const QList<QLabel*> allLabels = {LabelConfig, LabelTara, LabelVisualizza, LabelLingua,
                                      LabelCarica, LabelSalva, LabelProgramma, LabelSchemi};
    const QList<plat::PictureButton*> allPictures = {ImageConfig, ImageTara, ImageVisualizza, ImageLingua,
                                                     ImageCarica, ImageSalva, ImageProgramma, ImageSchemi};
    for (int i = 0; i < allLabels.size(); ++i) {
        if (allLabels[i]->isHidden())
            continue;
        allPictures[i]->setTag(static_cast<int>(pictures_.size()));
        allLabels[i]->setProperty("Tag", static_cast<int>(labels_.size()));
        labels_.append(allLabels[i]);
        pictures_.append(allPictures[i]);
    }
    selected_ = 0;
    PlaceFrame();

    // Fill the screen, the design area centred on it.
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen)
        setGeometry(screen->geometry());
    centreContent();

    StreamDati->SetMainWindow(this);
    notifyTarget_ = std::make_unique<plat::ObjectNotifyTarget>(this);
    protocol()->SetNotifyWindow(notifyTarget_.get());

    // Serial ports coming and going.
    SetPortLister(std::make_unique<plat::QtPortLister>());

    // Texts and labels of the current language until the window is shown.
    ApplyLanguage();
}

void TFormMain::SetPortLister(std::unique_ptr<plat::PortLister> lister)
{
    delete portWatcher_;
    portLister_ = std::move(lister);
    portWatcher_ = new plat::SerialPortWatcher(*portLister_, 1500, this);
    connect(portWatcher_, &plat::SerialPortWatcher::portArrived, this, [this] { WMDeviceChange(true); });
    connect(portWatcher_, &plat::SerialPortWatcher::portRemoved, this, [this] { WMDeviceChange(false); });
    portWatcher_->start();
}

void TFormMain::WMDeviceChange(bool arrival)
{
    if (arrival) {
        // Only ever shows the icon.
        if (plat::AnyPortNamed(portLister_->ports(), QLatin1String(kWirelessPortText)))
            ImageKoa->setVisible(true);
    } else {
        ImageKoa->setVisible(protocol()->IsWirelessAdapterPresent());
    }
}

TFormSplash* TFormMain::Splash() const { return splash_.data(); }

TFormMain::~TFormMain()
{
    delete portWatcher_; // before the lister it reads
    portWatcher_ = nullptr;
    if (StreamDati) {
        if (StreamDati->MainWindow() == this)
            StreamDati->SetMainWindow(nullptr);
        protocol()->SetNotifyWindow(nullptr);
    }
    if (FormMain == this)
        FormMain = nullptr;
}

void TFormMain::buildLayout()
{
    resize(kDesignSize);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, plat::FromTColor(kPaper));
    setPalette(pal);
    setAutoFillBackground(true);
    setFont(kit().Font(14, false));

    Content = new QWidget(this);
    Content->setObjectName(QStringLiteral("Content"));
    Content->setGeometry(QRect(QPoint(0, 0), kDesignSize));

    // Under the pictures, so that it never takes their mouse.
    ShapeSelected = new plat::Shape(Content);
    ShapeSelected->setObjectName(QStringLiteral("ShapeSelected"));
    ShapeSelected->resize(kFrameSize);
    ShapeSelected->setKind(plat::Shape::Kind::RoundRect);
    ShapeSelected->setBrush(Qt::NoBrush);
    ShapeSelected->setPen(QPen(plat::FromTColor(kFrame), 4));

    plat::PictureButton** images[8] = {&ImageConfig, &ImageTara, &ImageVisualizza, &ImageLingua,
                                       &ImageCarica, &ImageSalva, &ImageProgramma, &ImageSchemi};
    QLabel** labels[8] = {&LabelConfig, &LabelTara, &LabelVisualizza, &LabelLingua,
                          &LabelCarica, &LabelSalva, &LabelProgramma, &LabelSchemi};
    for (int i = 0; i < 8; ++i) {
        const QPoint at(kColumns[i % 4], kRows[i / 4]);
        auto* p = kit().Picture(Content, kButtons[i].image, QRect(at, kButtonSize));
        p->setPictures(kButtons[i].released, kButtons[i].pressed);
        *images[i] = p;
        *labels[i] = kit().Label(Content, kButtons[i].label, QRect(at.x() - 25, at.y() + 128, 200, 30), 20, true,
                                 Qt::AlignCenter);
        connect(p, &plat::PictureButton::clicked, this, [this, p] { RunPicture(p->tag()); });
        connect(p, &plat::PictureButton::hovered, this, [this, p] { ImageMouseMove(p->tag()); });
    }

    ImageExit = kit().Picture(Content, "ImageExit", kExitRect);
    ImageExit->setPictures(kExitReleased, kExitPressed);
    connect(ImageExit, &plat::PictureButton::clicked, this, [this] { ActionEsciExecute(); });

    ImageConnected = kit().Picture(Content, "ImageConnected", kConnectedRect);
    ImageConnected->setPictures(kDisconnectedPicture);
    connect(ImageConnected, &plat::PictureButton::clicked, this, [this] { ImageConnectedClick(); });
    connect(ImageConnected, &plat::PictureButton::doubleClicked, this, [this] { ImageConnectedClick(); });

    ImageKoa = kit().Picture(Content, "ImageKoa", kKoaRect);
    ImageKoa->setPicturePath(QStringLiteral(":/bmp/koa.png"));
    ImageKoa->setVisible(false);
    connect(ImageKoa, &plat::PictureButton::clicked, this, [this] { ImageKoaClick(); });

    ImageBase = kit().Picture(Content, "ImageBase", kBaseRect);
    ImageBase->setPictures(10077);

    ImageQuorin = kit().Picture(Content, "ImageQuorin", kLogoRect);
    ImageQuorin->setPicturePath(QStringLiteral(":/bmp/logo.png"));
    ImageQuorin->setVisible(false);

    LabelEcuType = kit().Label(Content, "LabelEcuType", kEcuTypeRect, 18, true, Qt::AlignCenter);
    LabelEcuType->setVisible(false);
    LabelVersioneSw =
        kit().Label(Content, "LabelVersioneSw", kVersioneSwRect, 16, false, Qt::AlignLeft | Qt::AlignVCenter);
    LabelVersioneFw =
        kit().Label(Content, "LabelVersioneFw", kVersioneFwRect, 16, false, Qt::AlignLeft | Qt::AlignVCenter);
    LabelConfigurazione =
        kit().Label(Content, "LabelConfigurazione", kConfigurazioneRect, 16, false, Qt::AlignLeft | Qt::AlignVCenter);
}

void TFormMain::buildActions()
{
    auto make = [this](QAction*& a, const char* name, const QKeySequence& key = {}) {
        a = new QAction(this);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(key);
        // The menus are never shown: the window carries the shortcuts.
        addAction(a);
        MainActionList.append(a);
        return a;
    };
    make(ActionConnetti, "ActionConnetti", QKeySequence(Qt::CTRL | Qt::Key_C));
    make(ActionDisconnetti, "ActionDisconnetti", QKeySequence(Qt::CTRL | Qt::Key_D))->setEnabled(false);
    make(ActionAzzeraId, "ActionAzzeraId", QKeySequence(Qt::CTRL | Qt::Key_A));
    make(ActionResetDaPc, "ActionResetDaPc");
    make(ActionResetCentralina, "ActionResetCentralina");
    ActionResetCentralina->setEnabled(false);
    ActionResetCentralina->setVisible(false);
    make(ActionConf, "ActionConf");
    make(ActionTara, "ActionTara");
    make(ActionVisualizza, "ActionVisualizza");
    make(ActionLingua, "ActionLingua");
    make(ActionApriConf, "ActionApriConf");
    make(ActionSalvaConf, "ActionSalvaConf");
    make(ActionProgramma, "ActionProgramma")->setVisible(false);
    make(ActionEsci, "ActionEsci");
    for (auto [a, name] : {std::pair{&ActionApri, "ActionApri"}, {&ActionSalva, "ActionSalva"},
                           {&ActionBloccoNote, "ActionBloccoNote"},
                           {&ActionProgrammaCliente, "ActionProgrammaCliente"}, {&ActionInternet, "ActionInternet"}}) {
        make(*a, name)->setVisible(false); // their handlers do nothing
    }

    connect(ActionConnetti, &QAction::triggered, this, [this] { ActionConnettiExecute(); });
    connect(ActionDisconnetti, &QAction::triggered, this, [this] { ActionDisconnettiExecute(); });
    connect(ActionAzzeraId, &QAction::triggered, this, [this] { ActionAzzeraIdExecute(); });
    connect(ActionResetDaPc, &QAction::triggered, this, [this] { ActionResetDaPcExecute(); });
    connect(ActionConf, &QAction::triggered, this, [this] { ActionConfExecute(); });
    connect(ActionTara, &QAction::triggered, this, [this] { ActionTaraExecute(); });
    connect(ActionVisualizza, &QAction::triggered, this, [this] { ActionVisualizzaExecute(); });
    connect(ActionLingua, &QAction::triggered, this, [this] { ActionLinguaExecute(); });
    connect(ActionApriConf, &QAction::triggered, this, [this] { ActionApriConfExecute(); });
    connect(ActionSalvaConf, &QAction::triggered, this, [this] { ActionSalvaConfExecute(); });
    connect(ActionProgramma, &QAction::triggered, this, [this] { ActionProgrammaExecute(); });
    connect(ActionEsci, &QAction::triggered, this, [this] { ActionEsciExecute(); });

    // The hidden main menu.
    MenuFile = new QMenu(this);
    MenuFile->setObjectName(QStringLiteral("MenuFile"));
    MenuFile->addActions({ActionApriConf, ActionSalvaConf, ActionApri, ActionSalva, ActionBloccoNote, ActionEsci});
    MenuCpu = new QMenu(this);
    MenuCpu->setObjectName(QStringLiteral("MenuCpu"));
    // The connect and disconnect items are the actions themselves, so they
    // follow the actions' enablement.
    MenuCpu->addActions({ActionConnetti, ActionDisconnetti, ActionAzzeraId, ActionResetDaPc, ActionResetCentralina,
                         ActionProgramma, ActionProgrammaCliente});
    MenuConfig = new QMenu(this);
    MenuConfig->setObjectName(QStringLiteral("MenuConfig"));
    MenuConfig->addActions({ActionConf, ActionTara, ActionVisualizza, ActionInternet});
    MenuSelLingua = MenuConfig->addMenu(QString());
    MenuSelLingua->setObjectName(QStringLiteral("MenuSelLingua"));
    FormPopupMenu = new QMenu(this);
    FormPopupMenu->setObjectName(QStringLiteral("FormPopupMenu"));

    PopupSchemi = new QMenu(this);
    PopupSchemi->setObjectName(QStringLiteral("PopupSchemi"));
    auto item = [this](QAction*& a, const char* name, int tag) {
        a = PopupSchemi->addAction(QString());
        a->setObjectName(QLatin1String(name));
        a->setData(tag);
    };
    item(MenuElectricalCNG, "MenuElectricalCNG", 0);
    item(MenuElectricalLPG, "MenuElectricalLPG", 1);
    PopupSchemi->addSeparator();
    item(MenuPneumaticCNG, "MenuPneumaticCNG", 2);
    item(MenuPneumaticLGP, "MenuPneumaticLGP", 3);
    connect(PopupSchemi, &QMenu::triggered, this, [this](QAction* a) { MenuSchemiClick(a); });
}

void TFormMain::centreContent()
{
    const QSize c = Content->size();
    Content->move(std::max(0, (width() - c.width()) / 2), std::max(0, (height() - c.height()) / 2));
}

void TFormMain::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    if (Content)
        centreContent();
}

bool TFormMain::flag(int n) const { return FlagReader ? FlagReader(n) : false; }

void TFormMain::errorBox(const QString& message) const
{
    plat::CurrentPrompts().ask(
        {QString::fromUtf8(qz::ProductTitle()), message, plat::PromptIcon::Error, plat::PromptButtons::Ok, 0});
}

// ---------------------------------------------------------------------------
// Texts and labels

void TFormMain::SetLabelConfigurazione()
{
    const QString name = QString::fromLatin1(StreamDati->GetNomeConfigurazione());
    LabelConfigurazione->setText(
        mainrules::ConfigurationLabel(configurationText_, name, flag(1) ? cngText_ : lpgText_));
}

void TFormMain::SetStatusLabels(bool connected, const QString& firmwareSeparator)
{
    versionText_ = mainrules::VersionText(exeVersion());
    LabelVersioneSw->setText(softwareVersionText_ + QLatin1Char(' ') + versionText_);
    const TEcuInfo& info = StreamDati->EcuInfo;
    LabelVersioneFw->setText(mainrules::FirmwareLabel(firmwareVersionText_, connected, firmwareSeparator,
                                                      info.FirmwareMajor, info.FirmwareMinor, info.EcuType,
                                                      StreamDati->CustomerCode));
    SetLabelConfigurazione();
    ImageConnected->setPicture(connected ? kConnectedPicture : kDisconnectedPicture);
}

// ---------------------------------------------------------------------------
// Showing and the first idle moment

void TFormMain::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (shown_.First())
        FormShow();
}

void TFormMain::FormShow()
{
    // The language stored in the settings, the first one when out of range.
    BuildLanguageMenus();
    ClickStoredLanguage();

    setWindowTitle(QString::fromUtf8(qz::ProductTitle()));
    repaint();

    if (splash_) {
        splash_->FadeIn();
        delete splash_.data();
    }
    plat::SetScreenCursor(plat::ScreenCursor::Default);

    // The first idle moment: once the events of the show have been handled.
    QTimer::singleShot(0, this, [this] { OnFirstIdle(); });

    ImageKoa->setVisible(protocol()->IsWirelessAdapterPresent());
}

void TFormMain::OnFirstIdle()
{
    repaint();
    // Qt cannot tell the left Shift from the right one: either counts.
    const bool shift = QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
    if (OfflineStart || shift) {
        protocol()->Disconnect();
        LoadType30DefaultSet();
        StreamDati->TimerIO->start();
    } else {
        ActionConnettiExecute();
    }
    mainrules::ReportFirstConnect(protocol()->IsConnected(), StreamDati->EcuInfo.EcuType);
    if (!protocol()->IsConnected())
        errorBox(noConnectionText_);
    plat::SendWindowMessage(this, plat::WM_CONNECTIONEVENT, 0, 2);
    repaint();
}

// ---------------------------------------------------------------------------
// Default sets

bool TFormMain::LoadDefaultSet(std::uint8_t type, bool cng, bool option, std::uint8_t injector)
{
    const int resource = qz::DefaultConfigResourceId(type, cng, option, injector,
                                                     static_cast<std::uint8_t>(qz::CustomerId()));
    return DefaultSetLoader ? DefaultSetLoader(resource) : false;
}

bool TFormMain::LoadType30DefaultSet()
{
    StreamDati->SetEcuType(30);
    return LoadDefaultSet(30, false, false, static_cast<std::uint8_t>(qz::CustomerInjectorCode(0)));
}

// ---------------------------------------------------------------------------
// Selection

void TFormMain::PlaceFrame()
{
    if (selected_ < 0 || selected_ >= pictures_.size())
        return;
    ShapeSelected->move(mainrules::FramePosition(pictures_[selected_]->geometry(), ShapeSelected->size()));
}

void TFormMain::ImageMouseMove(int index)
{
    if (index != selected_ && index >= 0 && index < pictures_.size()) {
        selected_ = index;
        PlaceFrame();
    }
}

void TFormMain::RunPicture(int index)
{
    if (index < 0 || index >= pictures_.size())
        return;
    plat::PictureButton* p = pictures_[index];
    if (p == ImageConfig) ActionConfExecute();
    else if (p == ImageTara) ActionTaraExecute();
    else if (p == ImageVisualizza) ActionVisualizzaExecute();
    else if (p == ImageLingua) ActionLinguaExecute();
    else if (p == ImageCarica) ActionApriConfExecute();
    else if (p == ImageSalva) ActionSalvaConfExecute();
    else if (p == ImageProgramma) ActionProgrammaExecute();
    else if (p == ImageSchemi) ImageSchemiClick();
}

void TFormMain::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Escape:
        ActionEsciExecute();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        RunPicture(selected_);
        return;
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        selected_ = mainrules::SelectionAfterKey(selected_, static_cast<int>(pictures_.size()), e->key());
        PlaceFrame();
        return;
    default:
        QWidget::keyPressEvent(e);
    }
}

// ---------------------------------------------------------------------------
// Handlers

void TFormMain::ActionConfExecute()
{
    // The configuration window comes with its own change.
    if (auto* dialog = qobject_cast<QDialog*>(ConfigWindow.data()))
        dialog->exec();
}

void TFormMain::ActionTaraExecute()
{
    TFormCalibraTar calibration(this, &ExtraInjectionSeen, applicationFolder_);
    calibration.exec();
}
void TFormMain::ActionVisualizzaExecute()
{
    TFormVisualizza live(this, &ExtraInjectionSeen, applicationFolder_);
    live.exec();
}
void TFormMain::ActionApriConfExecute()
{
    // Modal over the window, deleted when it closes.
    bool anyFile = false; // read by the dialog's constructor only
    auto* dialog = new TFormFile(this, &anyFile, TFormFile::ModeOpen, applicationFolder_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // "Save first?" answered Yes saves for real; the dialog is a child of
    // this window, the guard only keeps a late call harmless.
    dialog->SaveChanges = [main = QPointer<TFormMain>(this)] { return main && main->SaveChangesToFile(); };
    dialog->open();
}
void TFormMain::ActionSalvaConfExecute()
{
    auto* dialog = new TFormFile(this, nullptr, TFormFile::ModeSave, applicationFolder_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void TFormMain::popUpAt(QMenu* menu, plat::PictureButton* picture)
{
    const QPoint centre(picture->x() + picture->width() / 2, picture->y() + picture->height() / 2);
    menu->popup(picture->parentWidget()->mapToGlobal(centre));
}

void TFormMain::ImageSchemiClick() { popUpAt(PopupSchemi, ImageSchemi); }

void TFormMain::MenuSchemiClick(QAction* item)
{
    if (!item)
        return;
    TFormSchemi schemi(this, item->data().toInt(), applicationFolder_, StreamDati->Translator);
    schemi.exec();
}

void TFormMain::ActionEsciExecute() { close(); }

void TFormMain::ImageConnectedClick()
{
    if (protocol()->IsConnected())
        ActionDisconnettiExecute();
    else
        ActionConnettiExecute();
}

void TFormMain::ImageKoaClick() { protocol()->ShowWirelessAdapterDialog(); }

void TFormMain::ActionResetDaPcExecute()
{
    const QString title = QString::fromUtf8(qz::ProductTitle());
    if (plat::CurrentPrompts().ask(
            {title, resetQuestionText_, plat::PromptIcon::Question, plat::PromptButtons::YesNo, 0}) != plat::IDYES)
        return;

    TEcuProtocol* p = protocol();
    if (p->IsConnected()) {
        std::int32_t v = 0;
        // A link failure leaves v unknown: writing it back with bit 0 set
        // would overwrite the item's other bits.
        const bool read = p->ReadItem(dm::kResetFlagsCode, &v);
        const bool linkFailed = !read && (p->GetLastStatus() & ~ECU_STATUS_NO_ITEM) != 0;
        if (!linkFailed && protocol()->WriteValue(dm::kResetFlagsCode, v | 1)) {
            resetInProgress_ = true;
            StreamDati->Modified = 0;
            ActionDisconnettiExecute();
            QCoreApplication::processEvents();
            ActionConnettiExecute();
            resetInProgress_ = false;
        } else {
            errorBox(resetFailedText_ + QLatin1Char('\n') + checkLinkText_);
        }
        return;
    }

    repaint();
    plat::SetScreenCursor(plat::ScreenCursor::Hourglass);
    StreamDati->SetEcuType(30);
    LoadDefaultSet(30, flag(1), flag(16), static_cast<std::uint8_t>(qz::CustomerInjectorCode(0)));
    SetLabelConfigurazione();
    plat::SetScreenCursor(plat::ScreenCursor::Default);
}

void TFormMain::ActionAzzeraIdExecute()
{
    if (protocol()->IsConnected())
        return;
    StreamDati->TimerIO->stop();
    const int type = StreamDati->EcuInfo.EcuType;
    const int next = mainrules::NextOfflineEcuType(type);
    if (next != type) {
        StreamDati->EcuInfo.EcuType = static_cast<std::uint8_t>(next);
        LabelEcuType->setText(QString::fromLatin1(qz::OfflineEcuTypeName(next)));
    }
    LabelEcuType->setVisible(true);
    repaint();
    LoadDefaultSet(StreamDati->EcuInfo.EcuType, false, false, static_cast<std::uint8_t>(qz::CustomerInjectorCode(0)));
    SetLabelConfigurazione();
    LabelEcuType->setVisible(false);
    StreamDati->TimerIO->start();
}

// ---------------------------------------------------------------------------
// Messages and closing

bool TFormMain::event(QEvent* e)
{
    if (plat::MessageEvent::isMessage(e, plat::WM_CONNECTIONEVENT)) {
        OnConnectionEvent(*static_cast<plat::MessageEvent*>(e));
        return true;
    }
    return QWidget::event(e);
}

void TFormMain::OnConnectionEvent(const plat::MessageEvent& message)
{
    switch (message.lParam()) {
    case 0: // disconnected
        SetStatusLabels(false, QStringLiteral(": "));
        ActionConnetti->setEnabled(true);
        ActionDisconnetti->setEnabled(false);
        ActionResetCentralina->setEnabled(false);
        break;
    case 1: // connected
        SetStatusLabels(true, QStringLiteral(": "));
        ActionConnetti->setEnabled(false);
        ActionDisconnetti->setEnabled(true);
        ActionResetCentralina->setEnabled(true);
        break;
    case 2: // configuration changed
    case 6: // fuel changed
        SetLabelConfigurazione();
        break;
    case 3: // reconnect
        QCoreApplication::processEvents();
        ActionConnettiExecute();
        break;
    case 4:
        ActionSalva->trigger();
        break;
    default: // 7 poll tick, 9 diagnostic errors, any other: nothing
        break;
    }
    update();
}

void TFormMain::closeEvent(QCloseEvent* e)
{
    if (AskSaveChanges() == plat::IDCANCEL) {
        e->ignore();
        return;
    }
    protocol()->SetNotifyWindow(nullptr);
    if (protocol()->IsConnected())
        ActionDisconnettiExecute();
    labels_.clear();
    pictures_.clear();
    e->accept();
}
