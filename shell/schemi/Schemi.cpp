#include "Schemi.h"

#include "OwnStringTable.h"
#include "Translator.h"

#include "plat/KeyChar.h"
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
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>

namespace {

constexpr std::uint32_t kPaper = 16777215; // white
constexpr std::uint32_t kFill = 14671839;  // light grey
constexpr std::uint32_t kInk = 9396256;    // dark blue

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
const char* const kFindAnimation = ":/anim/find.png";

// The item data role that keeps a row's real file name.
constexpr int kFileNameRole = Qt::UserRole;

QString ownText(int number)
{
    const std::u16string_view t = qz::strings::Find(qz::strings::OwnStringTable(), static_cast<std::uint32_t>(number));
    return QString(reinterpret_cast<const QChar*>(t.data()), static_cast<qsizetype>(t.size()));
}

QFont sans(int pixels, bool bold)
{
    QFont f;
    f.setFamilies({QStringLiteral("AvantGarde Bk BT"), QStringLiteral("URW Gothic"),
                   QStringLiteral("URW Gothic L"), QStringLiteral("DejaVu Sans")});
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QLabel* caption(QWidget* parent, const char* name, const QRect& r)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(r);
    l->setAlignment(Qt::AlignCenter);
    l->setFont(sans(22, true));
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, plat::fromTColor(kInk));
    l->setPalette(pal);
    return l;
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
    setFont(sans(16, false));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, plat::fromTColor(kPaper));
    setPalette(pal);
    setAutoFillBackground(true);

    ListPdfFile = new QTreeWidget(this);
    ListPdfFile->setObjectName(QStringLiteral("ListPdfFile"));
    ListPdfFile->setGeometry(kListRect);
    ListPdfFile->setColumnCount(2);
    ListPdfFile->setRootIsDecorated(false);
    ListPdfFile->setItemsExpandable(false);
    ListPdfFile->setUniformRowHeights(true);
    ListPdfFile->setSortingEnabled(false); // the rows arrive sorted
    ListPdfFile->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListPdfFile->setSelectionMode(QAbstractItemView::SingleSelection);
    ListPdfFile->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListPdfFile->setAllColumnsShowFocus(true);
    ListPdfFile->setIconSize(QSize(50, 55));
    ListPdfFile->setFont(sans(18, false));
    ListPdfFile->header()->setSectionsMovable(false);
    ListPdfFile->header()->setStretchLastSection(true);
    // The selection stays visible while the list has no focus.
    QPalette lp = ListPdfFile->palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        lp.setColor(QPalette::Inactive, role, lp.color(QPalette::Active, role));
    ListPdfFile->setPalette(lp);
    ListPdfFile->installEventFilter(this);
    connect(ListPdfFile, &QTreeWidget::itemDoubleClicked, this, [this] { ListPdfFileDblClick(); });
    ImageListConfig = QIcon(plat::loadPicture(QLatin1String(kListPicture)));

    ShapeBottom = new plat::Shape(this);
    ShapeBottom->setObjectName(QStringLiteral("ShapeBottom"));
    ShapeBottom->setGeometry(kShapeBottomRect);
    ShapeBottom->setKind(plat::Shape::Kind::RoundRect);
    ShapeBottom->setBrush(plat::fromTColor(kFill));
    ShapeBottom->setPen(QPen(plat::fromTColor(kInk), 2));

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

    PanelFind = new QFrame(this);
    PanelFind->setObjectName(QStringLiteral("PanelFind"));
    PanelFind->setGeometry(kPanelFindRect);
    PanelFind->setFrameShape(QFrame::Box);
    PanelFind->setAutoFillBackground(true);
    AnimateFind = new plat::AnimationPlayer(PanelFind);
    AnimateFind->setObjectName(QStringLiteral("AnimateFind"));
    AnimateFind->setGeometry(kAnimateFindRect);
    AnimateFind->open(QLatin1String(kFindAnimation));
    PanelFind->hide();
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
    if (!activated_)
        QTimer::singleShot(0, this, [this] { FormActivate(); });
}

void TFormSchemi::FormActivate()
{
    if (activated_ || closed_)
        return;
    activated_ = true;

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
    ListPdfFile->clear();
    rows_.clear();
    plat::setScreenCursor(plat::ScreenCursor::Hourglass);
    AnimateFind->play();
    PanelFind->show();
    PanelFind->raise();
    repaint();

    rows_ = ListPdfRows(diagramFolder_, plat::localeDateSeparator(), plat::localeTimeSeparator());
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows_.size()));
    for (const TPdfRow& row : rows_) {
        auto* item = new QTreeWidgetItem({row.Caption, row.Date});
        item->setIcon(0, ImageListConfig);
        item->setData(0, kFileNameRole, row.FileName);
        items.append(item);
    }
    ListPdfFile->addTopLevelItems(items);

    const int client = ListPdfFile->viewport()->width();
    const int first = client * 7 / 10;
    ListPdfFile->setColumnWidth(0, first);
    ListPdfFile->setColumnWidth(1, client - first);

    plat::setScreenCursor(plat::ScreenCursor::Default);
    PanelFind->hide();
    AnimateFind->stop();
    repaint();
}

void TFormSchemi::ImageOkClick()
{
    const QList<QTreeWidgetItem*> selected = ListPdfFile->selectedItems();
    if (selected.isEmpty())
        return;
    const QTreeWidgetItem* item = selected.front();
    const TPdfRow row{item->text(0), item->text(1), item->data(0, kFileNameRole).toString()};
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
    switch (key) {
    case 27:
        ImageAnnullaClick();
        return true;
    case 13:
        ImageOkClick();
        return true;
    default:
        return false;
    }
}

void TFormSchemi::keyPressEvent(QKeyEvent* event)
{
    if (FormKeyPress(plat::keyCharOf(event->key()))) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TFormSchemi::eventFilter(QObject* watched, QEvent* event)
{
    // The window sees the keys before its list does.
    if (watched == ListPdfFile && event->type() == QEvent::KeyPress) {
        if (FormKeyPress(plat::keyCharOf(static_cast<QKeyEvent*>(event)->key())))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
