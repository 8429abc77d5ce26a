#include "Schemi.h"

#include "FileListWindow.h"
#include "OwnStringTable.h"
#include "Translator.h"

#include "plat/AnimationPlayer.h"
#include "plat/Colors.h"
#include "plat/Desktop.h"
#include "plat/PictureButton.h"
#include "plat/ScreenCursor.h"
#include "plat/ScreenScale.h"
#include "plat/Shape.h"

#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>

namespace {

constexpr std::uint32_t kPaper = 16777215; // white

// The layout, in design pixels of the 1024 x 721 client area.
constexpr QSize kDesignSize(1024, 721);
constexpr QRect kListRect(24, 24, 976, 480);
constexpr QRect kPanelFindRect(352, 160, 320, 160);
constexpr QRect kAnimateFindRect(112, 48, 96, 64);
constexpr QRect kShapeBottomRect(24, 568, 976, 129);
constexpr QRect kImageOkRect(328, 582, 96, 64);
constexpr QRect kLabelCaricaRect(276, 652, 200, 32);
constexpr QRect kImageAnnullaRect(600, 582, 96, 64);
constexpr QRect kLabelAnnullaRect(548, 652, 200, 32);

constexpr int kOkReleased = 10051;
constexpr int kOkPressed = 10052;
constexpr int kAnnullaReleased = 10053;
constexpr int kAnnullaPressed = 10054;
const char* const kListPicture = ":/bmp/listconfig.png";

QString ownText(int number)
{
    const std::u16string_view t = qz::strings::Find(qz::strings::OwnStringTable(), static_cast<std::uint32_t>(number));
    return QString(reinterpret_cast<const QChar*>(t.data()), static_cast<qsizetype>(t.size()));
}

QLabel* caption(QWidget* parent, const char* name, const QRect& r)
{
    return filelist::MakeCaption(parent, name, r, Qt::AlignCenter, 22);
}

} // namespace

TFormSchemi::TFormSchemi(QWidget* owner, int kind, const QString& folder, TTranslator* translator)
    : TFormSchemi(owner, kind, folder,
                  translator ? TextSource([translator](int n) { return translator->GetString(n); })
                             : TextSource())
{
}

TFormSchemi::TFormSchemi(QWidget* owner, int kind, const QString& folder, TextSource texts)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), kind_(kind),
      // Absolute, as the current directory moves to the diagram folder.
      folder_(QDir(folder).absolutePath()), texts_(std::move(texts))
{
    setObjectName(QStringLiteral("FormSchemi"));
    buildLayout();

    // The screen scaling; the window fills the screen further down.
    const plat::ScaleFactor f = plat::applyScreenScale(this);
    designSize_ = QSize(static_cast<int>(plat::mulDivRound(kDesignSize.width(), f.num, f.den)),
                        static_cast<int>(plat::mulDivRound(kDesignSize.height(), f.num, f.den)));
    for (QWidget* w : {static_cast<QWidget*>(ListPdfFile), static_cast<QWidget*>(PanelFind)})
        anchored_.push_back({w, w->pos(), false});
    for (QWidget* w : {static_cast<QWidget*>(ShapeBottom), static_cast<QWidget*>(ImageOk),
                       static_cast<QWidget*>(LabelCarica), static_cast<QWidget*>(ImageAnnulla),
                       static_cast<QWidget*>(LabelAnnulla)})
        anchored_.push_back({w, w->pos(), true});

    // Pictures and texts.
    ImageOk->setPictures(kOkReleased, kOkPressed);
    ImageAnnulla->setPictures(kAnnullaReleased, kAnnullaPressed);
    LabelCarica->setText(text(kTextCarica));
    LabelAnnulla->setText(text(kTextAnnulla));
    ListPdfFile->setHeaderLabels({text(kTextFiles), text(kTextData)});

    // The diagram folder, created when missing, is the current directory
    // while the browser is open.
    diagramFolder_ = SchemiFolder(folder_, kind_);
    ForceSchemiFolder(diagramFolder_);
    QDir::setCurrent(diagramFolder_);

    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen)
        setGeometry(screen->geometry());
    else
        resize(designSize_);
    placeControls();
}

TFormSchemi::~TFormSchemi()
{
    // Also when the browser goes without being closed: the rest of the
    // program takes its folders relative to the current directory.
    if (!closed_)
        FormClose();
}

QString TFormSchemi::text(int number) const
{
    return texts_ ? texts_(number) : ownText(number);
}

void TFormSchemi::buildLayout()
{
    resize(kDesignSize);
    setFont(filelist::Font(16, false));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, plat::fromTColor(kPaper));
    setPalette(pal);
    setAutoFillBackground(true);

    ListPdfFile = filelist::MakeList(this, "ListPdfFile", kListRect);
    ListPdfFile->installEventFilter(this);
    connect(ListPdfFile, &QTreeWidget::itemDoubleClicked, this, [this] { ListPdfFileDblClick(); });
    ImageListConfig = QIcon(plat::loadPicture(QLatin1String(kListPicture)));

    ShapeBottom = filelist::MakeFrame(this, "ShapeBottom", kShapeBottomRect);

    ImageOk = new plat::PictureButton(this);
    ImageOk->setObjectName(QStringLiteral("ImageOk"));
    ImageOk->setGeometry(kImageOkRect);
    connect(ImageOk, &plat::PictureButton::clicked, this, [this] { ImageOkClick(); });
    LabelCarica = caption(this, "LabelCarica", kLabelCaricaRect);

    ImageAnnulla = new plat::PictureButton(this);
    ImageAnnulla->setObjectName(QStringLiteral("ImageAnnulla"));
    ImageAnnulla->setGeometry(kImageAnnullaRect);
    connect(ImageAnnulla, &plat::PictureButton::clicked, this, [this] { ImageAnnullaClick(); });
    LabelAnnulla = caption(this, "LabelAnnulla", kLabelAnnullaRect);

    const filelist::FindPanel find = filelist::MakeFindPanel(this, kPanelFindRect, kAnimateFindRect);
    PanelFind = find.panel;
    AnimateFind = find.animation;
}

void TFormSchemi::placeControls()
{
    const int dx = (width() - designSize_.width()) / 2;
    const int dy = height() - designSize_.height();
    for (const Anchored& a : anchored_)
        a.widget->move(a.position + QPoint(dx, a.bottom ? dy : 0));
}

void TFormSchemi::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!anchored_.empty())
        placeControls();
}

void TFormSchemi::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Once the window is on the screen, so that the find animation is seen.
    if (!activated_.Done())
        QTimer::singleShot(0, this, [this] { FormActivate(); });
}

void TFormSchemi::FormActivate()
{
    if (closed_ || !activated_.First())
        return;

    ListPdfFile->resize(ShapeBottom->width(), height() * 68 / 100);
    const int w = ListPdfFile->width();
    ListPdfFile->setColumnWidth(0, w * 60 / 100);
    ListPdfFile->setColumnWidth(1, w * 40 / 100);

    FillPdfList();

    if (QTreeWidgetItem* first = ListPdfFile->topLevelItem(0)) {
        ListPdfFile->setCurrentItem(first);
        first->setSelected(true);
        ListPdfFile->setFocus();
    }
}

void TFormSchemi::FillPdfList()
{
    rows_.clear();
    rows_ = filelist::Fill(ListPdfFile, {PanelFind, AnimateFind}, ImageListConfig, [this] {
        return ListPdfRows(diagramFolder_, plat::localeDateSeparator(), plat::localeTimeSeparator());
    });
}

void TFormSchemi::ImageOkClick()
{
    const QList<QTreeWidgetItem*> selected = ListPdfFile->selectedItems();
    if (selected.isEmpty())
        return;
    const QTreeWidgetItem* item = selected.front();
    const TPdfRow row{item->text(0), item->text(1), item->data(0, filelist::FileNameRole).toString()};
    const QString path = PdfPathToOpen(diagramFolder_, row);
    if (path.isEmpty())
        return; // gone since the list was filled
    if (plat::DocumentOpener* opener = plat::desktop().opener)
        opener->open(path);
}

void TFormSchemi::ListPdfFileDblClick()
{
    ImageOkClick();
}

void TFormSchemi::ImageAnnullaClick()
{
    done(mrCancel);
}

void TFormSchemi::reject()
{
    ImageAnnullaClick();
}

void TFormSchemi::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TFormSchemi::FormClose()
{
    closed_ = true;
    QDir::setCurrent(folder_);
}

bool TFormSchemi::FormKeyPress(int key)
{
    return filelist::RunKey(key, [this] { ImageOkClick(); }, [this] { ImageAnnullaClick(); });
}

void TFormSchemi::keyPressEvent(QKeyEvent* event)
{
    if (!filelist::TakeKeyPress(event, [this](int key) { return FormKeyPress(key); }))
        QDialog::keyPressEvent(event);
}

bool TFormSchemi::eventFilter(QObject* watched, QEvent* event)
{
    // The window sees the keys before its list does.
    if (watched == ListPdfFile && filelist::TakeKeyPress(event, [this](int key) { return FormKeyPress(key); }))
        return true;
    return QDialog::eventFilter(watched, event);
}
