#include "FormFile.h"
#include "windowkit/WindowText.h"

#include "complib/connection/VyxConnection.h"
#include "complib/translator/Translator.h"
#include "datamodule/core/iodata.h"
#include "product/constants/BuildConstants.h"
#include "shell/schemi/FileListWindow.h"
#include "shell/windows/Attesa.h"

#include "plat/Desktop.h"
#include "plat/Messages.h"
#include "plat/PictureButton.h"
#include "plat/Prompts.h"
#include "plat/ScreenCursor.h"
#include "plat/ScreenScale.h"
#include "plat/Services.h"
#include "plat/Shape.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

#include <memory>

namespace {

constexpr std::uint32_t kBackground = 14732184;

// The layout, in design pixels of the dialog's client area.
constexpr QRect kShapeMarcaRect(24, 12, 976, 56);
constexpr QRect kLabelMarcaRect(40, 24, 200, 32);
constexpr QRect kComboMarcaRect(250, 24, 420, 32);
constexpr QRect kShapeTopRect(24, 76, 976, 56);
constexpr QRect kLabelFileRect(40, 88, 200, 32);
constexpr QRect kEditNameRect(250, 88, 420, 32);
constexpr QRect kListRect(24, 140, 976, 400);
constexpr QRect kPanelFindRect(352, 240, 320, 160);
constexpr QRect kShapeBottomRect(24, 560, 976, 149);
constexpr QRect kLabelEcuTypeRect(40, 572, 180, 28);
constexpr QRect kComboEcuTypeRect(220, 572, 260, 28);
constexpr QRect kLabelTipoFileRect(500, 572, 180, 28);
constexpr QRect kComboTipoConfigRect(680, 572, 300, 28);
constexpr QRect kImageEmailRect(200, 606, 96, 64);
constexpr QRect kLabelEmailRect(148, 672, 200, 30);
constexpr QRect kImageOkRect(464, 606, 96, 64);
constexpr QRect kLabelSalvaRect(412, 672, 200, 30);
constexpr QRect kImageAnnullaRect(728, 606, 96, 64);
constexpr QRect kLabelAnnullaRect(676, 672, 200, 30);

constexpr int kNameLength = 28;

// The dialog's own texts (string numbers); the file-list dialog names those
// it shares with the wiring-diagram browser.
constexpr int kTextFourCylinderEcu = 448;  // "Centralina 4 cilindri"
constexpr int kTextEightCylinderEcu = 449; // "Centralina 8 cilindri"
constexpr int kTextSendMail = 453;         // "INVIA E-MAIL"
constexpr int kTextEcuType = 458;          // "Tipo centralina"
constexpr int kTextCarMake = 468;          // "Marca vettura"
constexpr int kTextFileToLoad = 459;       // "File da caricare"
constexpr int kTextSave = 454;             // "SALVA"
constexpr int kTextFileName = 460;         // "Nome del file"
constexpr int kTextCannotOpen = 462;       // "Impossibile aprire il file selezionato."
constexpr int kTextSaveFirst = 464;        // "I dati in memoria sono stati modificati. Salvarli prima in un file?"
constexpr int kTextLoadingFile = 465;      // "Caricamento file in corso"
constexpr int kTextWritingEcu = 466;       // "Scrittura dati in centralina in corso"
constexpr int kTextOverwrite = 463;        // "Il file esiste già. Sovrascriverlo?"
constexpr int kTextSavingFile = 467;       // "Salvataggio file in corso"
constexpr int kEmailReleased = 10049;
constexpr int kEmailPressed = 10050;
// "%1 values are missing from the file ... Write into the ECU all the same?"
constexpr int kTextDefaultsQuestion = 781;
// "%1 values of the file are damaged (%2) ... Write into the ECU all the same?"
constexpr int kTextDamagedQuestion = 782;

QLabel* label(QWidget* parent, const char* name, const QRect& r, Qt::Alignment align)
{
    return filelist::MakeCaption(parent, name, r, align | Qt::AlignVCenter, 18);
}

bool ecuConnected()
{
    TEcuProtocol* p = StreamDati ? StreamDati->Protocol() : nullptr;
    return p && p->IsConnected();
}

QString title() { return QString::fromUtf8(qz::ProductTitle()); }

int ask(const QString& text, plat::PromptIcon icon, plat::PromptButtons buttons, int defaultAnswer = 0)
{
    return plat::CurrentPrompts().ask({title(), text, icon, buttons, defaultAnswer});
}

} // namespace

TFormFile::TFormFile(QWidget* owner, bool* anyFile, int mode, const QString& folder, TextSource texts)
    : FileListDialog(owner, folder, texts ? std::move(texts) : TextSource(wkit::Text), kBackground),
      mode_(mode == ModeOpen ? ModeOpen : ModeSave)
{
    setObjectName(QStringLiteral("FormFile"));
    plat::SetScreenCursor(plat::ScreenCursor::Hourglass);
    buildLayout();
    plat::ApplyScreenScale(this);

    LabelTipoFile->show();
    ComboTipoConfig->show();
    ComboTipoConfig->setEnabled(mode_ == ModeSave);
    ComboEcuType->setEnabled(!ecuConnected());

    const bool cng = StreamDati && StreamDati->GetFlag(1) != 0;
    fuelFolder_ = ConfigFuelFolder(Folder(), cng);
    enterFolder(fuelFolder_);

    ComboMarca->addItem(QStringLiteral("."));
    ComboMarca->addItems(ListMakeFolders(fuelFolder_));
    ComboMarca->setCurrentIndex(0);

    ComboEcuType->addItems({text(kTextFourCylinderEcu), text(kTextFourCylinderEcu) + QStringLiteral(" ORSEL"),
                            text(kTextEightCylinderEcu)});
    LabelAnnulla->setText(text(kTextAnnulla));
    LabelEmail->setText(text(kTextSendMail));
    ListFile->setHeaderLabels({text(kTextFiles), text(kTextData)});
    LabelEcuType->setText(text(kTextEcuType));
    LabelMarca->setText(text(kTextCarMake));

    const int ecuType = StreamDati ? StreamDati->EcuInfo.EcuType : 30;
    extension_ = QString::fromLatin1(qz::ConfigFileExtension(ecuType));
    ComboEcuType->setCurrentIndex(EcuKindItemOfType(ecuType));

    if (mode_ == ModeOpen) {
        ListFile->move(ListFile->x(), EditName->y());
        ListFile->resize(ListFile->width(), ListFile->height() + (ShapeTop->y() + ShapeTop->height() - EditName->y()));
        LabelFile->setText(text(kTextFileToLoad));
        LabelSalva->setText(text(kTextCarica));
        if (anyFile)
            *anyFile = AnyConfigFile(currentFolder_, extension_);
        LabelFile->hide();
        ShapeTop->hide();
        EditName->hide();
        EditName->setEnabled(false);
    } else {
        LabelFile->setText(text(kTextFileName));
        LabelSalva->setText(text(kTextSave));
        EditName->setFocus();
        LabelFile->show();
        EditName->show();
        ShapeTop->show();
        if (StreamDati)
            EditName->setText(CleanConfigName(QString::fromLatin1(StreamDati->GetNomeConfigurazione())));
    }

    // The signals only now, so that filling the combos lists nothing.
    connect(ComboMarca, &QComboBox::activated, this, [this] { ComboMarcaChange(); });
    connect(ComboEcuType, &QComboBox::activated, this, [this] { ComboEcuTypeChange(); });

    fillScreen();
    plat::SetScreenCursor(plat::ScreenCursor::Default);
}

TFormFile::~TFormFile()
{
    // The closing step of this dialog, also for one deleted without closing.
    FormClose();
}

void TFormFile::buildLayout()
{
    ShapeMarca = filelist::MakeFrame(this, "ShapeMarca", kShapeMarcaRect);
    LabelMarca = label(this, "LabelMarca", kLabelMarcaRect, Qt::AlignLeft);
    ComboMarca = new QComboBox(this);
    ComboMarca->setObjectName(QStringLiteral("ComboMarca"));
    ComboMarca->setGeometry(kComboMarcaRect);

    ShapeTop = filelist::MakeFrame(this, "ShapeTop", kShapeTopRect);
    LabelFile = label(this, "LabelFile", kLabelFileRect, Qt::AlignLeft);
    EditName = new QLineEdit(this);
    EditName->setObjectName(QStringLiteral("EditName"));
    EditName->setGeometry(kEditNameRect);
    EditName->setMaxLength(kNameLength);

    ListFile = makeList("ListFile", kListRect, [this] { ListFileDblClick(); });
    connect(ListFile, &QTreeWidget::itemSelectionChanged, this, [this] { ListFileSelect(); });

    ShapeBottom = filelist::MakeFrame(this, "ShapeBottom", kShapeBottomRect);
    LabelEcuType = label(this, "LabelEcuType", kLabelEcuTypeRect, Qt::AlignLeft);
    ComboEcuType = new QComboBox(this);
    ComboEcuType->setObjectName(QStringLiteral("ComboEcuType"));
    ComboEcuType->setGeometry(kComboEcuTypeRect);
    LabelTipoFile = label(this, "LabelTipoFile", kLabelTipoFileRect, Qt::AlignLeft);
    ComboTipoConfig = new QComboBox(this);
    ComboTipoConfig->setObjectName(QStringLiteral("ComboTipoConfig"));
    ComboTipoConfig->setGeometry(kComboTipoConfigRect);
    ComboTipoConfig->addItems({QStringLiteral("Standard"), QStringLiteral("End of line")});
    ComboTipoConfig->setCurrentIndex(0);

    ImageEmail =
        makeButton("ImageEmail", kImageEmailRect, kEmailReleased, kEmailPressed, [this] { ImageEmailClick(); });
    LabelEmail = label(this, "LabelEmail", kLabelEmailRect, Qt::AlignHCenter);
    makeOkButton(kImageOkRect);
    LabelSalva = label(this, "LabelSalva", kLabelSalvaRect, Qt::AlignHCenter);
    makeCancelButton(kImageAnnullaRect);
    LabelAnnulla = label(this, "LabelAnnulla", kLabelAnnullaRect, Qt::AlignHCenter);

    makeFindPanel(kPanelFindRect);

    // Enter and Esc reach the window from every control.
    takeKeysOf({ComboMarca, EditName, ListFile, ComboEcuType, ComboTipoConfig});
}

void TFormFile::enterFolder(const QString& folder)
{
    currentFolder_ = folder;
    QDir().mkpath(folder);
    QDir::setCurrent(folder);
}

void TFormFile::FirstActivation()
{
    FillList();
    if (mode_ == ModeOpen)
        selectFirstFile();
}

void TFormFile::FillList()
{
    fillList([this] {
        return ListConfigRows(currentFolder_, extension_, plat::LocaleDateSeparator(), plat::LocaleTimeSeparator());
    });
}

void TFormFile::selectFirstFile()
{
    if (!selectFirstRow())
        EditName->clear();
}

void TFormFile::ComboMarcaChange()
{
    const int item = ComboMarca->currentIndex();
    enterFolder(item <= 0 ? fuelFolder_ : ConfigMakeFolder(fuelFolder_, ComboMarca->currentText()));
    FillList();
    if (mode_ == ModeOpen)
        selectFirstFile();
}

void TFormFile::ComboEcuTypeChange()
{
    extension_ = QString::fromLatin1(qz::ConfigFileExtension(EcuTypeOfKindItem(ComboEcuType->currentIndex())));
    FillList();
    if (mode_ == ModeOpen)
        selectFirstFile();
}

void TFormFile::ListFileSelect()
{
    const QList<QTreeWidgetItem*> selected = ListFile->selectedItems();
    if (!selected.isEmpty())
        EditName->setText(selected.front()->text(0));
}

QString TFormFile::nameToOpen(const QString& typed) const
{
    // A listed caption opens its row's real file, whatever the letter case
    // of its extension.
    if (!QFileInfo(QDir(currentFolder_).filePath(typed)).isFile()) {
        for (const TPdfRow& row : Rows())
            if (row.Caption == typed && QFileInfo(QDir(currentFolder_).filePath(row.FileName)).isFile())
                return row.FileName;
    }
    return FileNameToOpen(currentFolder_, typed, extension_);
}

void TFormFile::ListFileDblClick()
{
    ImageOkClick();
}

void TFormFile::errorBox(const QString& message) const
{
    ask(message, plat::PromptIcon::Error, plat::PromptButtons::Ok);
}

void TFormFile::toMainWindow() const
{
    if (auto* w = qobject_cast<QWidget*>(StreamDati ? StreamDati->MainWindow() : nullptr)) {
        w->raise();
        w->activateWindow();
    }
}

void TFormFile::ImageOkClick()
{
    const QString name = EditName->text();
    if (name.isEmpty())
        return;
    // Only names of the make folder: nothing is read or written elsewhere.
    if (NameHasPathSeparator(name)) {
        errorBox(text(kTextCannotOpen));
        return;
    }
    if (mode_ == ModeOpen)
        confirmOpen(name);
    else
        confirmSave(name);
}

void TFormFile::confirmOpen(const QString& typed)
{
    if (StreamDati && StreamDati->Modified) {
        const int answer = ask(text(kTextSaveFirst), plat::PromptIcon::Warning, plat::PromptButtons::YesNoCancel);
        if (answer == plat::IDCANCEL)
            return;
        if (answer == plat::IDYES) {
            if (QObject* main = StreamDati->MainWindow())
                plat::SendWindowMessage(main, plat::WM_CONNECTIONEVENT, 0, 4);
            // The image in memory is never overwritten unsaved.
            if (SaveChanges && !SaveChanges())
                return;
        }
    }

    auto wait = std::make_unique<TFormAttesa>(this, [this](int n) { return text(n); });
    wait->Begin(text(kTextLoadingFile));

    const QString name = nameToOpen(typed);
    EditName->setText(name);
    const QString path = QDir(currentFolder_).filePath(name);
    if (!QFileInfo(path).isFile()) {
        errorBox(text(kTextCannotOpen));
        wait.reset();
        toMainWindow();
        return;
    }

    plat::SetScreenCursor(plat::ScreenCursor::Hourglass);
    const bool connected = ecuConnected();
    const bool loaded = StreamDati->TransferData(TStreamDati::TRANSFER_LOAD, path, 0,
                                                 TStreamDati::TRANSFER_ALL_GROUPS, 1, 0);
    wait.reset();

    if (connected) {
        // A failed load leaves an old or half-loaded image: that is not
        // written to the ECU. Neither are defaults in place of damaged or
        // missing values unless the user says so.
        bool write = loaded;
        if (write && !defaultsAccepted()) {
            // The loaded image is not the ECU's: it counts as unsaved.
            StreamDati->Modified = 1;
            write = false;
        }
        if (write) {
            wait = std::make_unique<TFormAttesa>(this, [this](int n) { return text(n); });
            wait->Begin(text(kTextWritingEcu));
            StreamDati->TransferData(TStreamDati::TRANSFER_CHECK_INJECTOR | TStreamDati::TRANSFER_WRITE_ECU, {},
                                     0, TStreamDati::TRANSFER_ALL_GROUPS, 1, 0);
        }
    } else {
        StreamDati->SetEcuType(static_cast<std::uint8_t>(EcuTypeOfKindItem(ComboEcuType->currentIndex())));
    }

    wait.reset();
    if (QObject* main = StreamDati->MainWindow())
        plat::PostWindowMessage(main, plat::WM_CONNECTIONEVENT, 0, 2);
    QCoreApplication::processEvents();
    plat::SetScreenCursor(plat::ScreenCursor::Default);
    done(mrOk);
    toMainWindow();
}

bool TFormFile::defaultsAccepted()
{
    const auto yes = [](const QString& question) {
        return ask(question, plat::PromptIcon::Warning, plat::PromptButtons::YesNo, plat::IDNO) == plat::IDYES;
    };
    const int damaged = StreamDati->DamagedValueCount();
    if (damaged > 0 && !yes(DamagedValuesQuestion(text(kTextDamagedQuestion), damaged, StreamDati->DamagedValueKeys())))
        return false;
    const int missing = StreamDati->MissingValueCount();
    if (missing > 0 && !yes(text(kTextDefaultsQuestion).replace(QLatin1String("%1"), QString::number(missing))))
        return false;
    return true;
}

void TFormFile::confirmSave(const QString& name)
{
    const bool script = ComboTipoConfig->currentIndex() == 1;
    const QString path = PathToSave(currentFolder_, name, script ? QLatin1String(kScriptExtension) : extension_);
    if (QFileInfo::exists(path)) {
        if (ask(text(kTextOverwrite), plat::PromptIcon::Warning, plat::PromptButtons::YesNo, plat::IDNO) != plat::IDYES)
            return;
    }

    auto wait = std::make_unique<TFormAttesa>(this, [this](int n) { return text(n); });
    wait->Begin(text(kTextSavingFile));
    if (script) {
        StreamDati->TransferData(TStreamDati::TRANSFER_SCRIPT, path, 0, TStreamDati::TRANSFER_ALL_GROUPS, 1, 0);
    } else {
        plat::SetScreenCursor(plat::ScreenCursor::Hourglass);
        QCoreApplication::processEvents();
        const QByteArray latin = name.toLatin1();
        // The image takes the name only once the file is saved.
        StreamDati->SaveConfigurationAs(path,
                                        std::string_view(latin.constData(), static_cast<std::size_t>(latin.size())));
    }
    wait.reset();
    plat::SetScreenCursor(plat::ScreenCursor::Default);
    done(mrOk);
    toMainWindow();
}

void TFormFile::ImageEmailClick()
{
    const QString typed = EditName->text();
    if (typed.isEmpty())
        return;
    if (NameHasPathSeparator(typed)) {
        errorBox(text(kTextCannotOpen));
        return;
    }
    const QString name = nameToOpen(typed);
    EditName->setText(name);
    const QString path = QDir(currentFolder_).filePath(name);
    if (!QFileInfo(path).isFile()) {
        errorBox(text(kTextCannotOpen));
        return;
    }
    plat::Mailer* mailer = plat::Desktop().mailer;
    const int result = mailer ? mailer->sendMail(name, QFileInfo(path).absoluteFilePath()) : 2;
    if (result != 0 && result != 1)
        errorBox(MailResultText(result));
}

void TFormFile::Closing()
{
    if (StreamDati)
        StreamDati->SetFileKey(QByteArrayView(qz::FileKeyString()));
}
