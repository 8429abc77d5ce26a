#include "FileListDialog.h"

#include "FileListWindow.h"

#include "plat/Colors.h"
#include "plat/PictureButton.h"

#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>

#include <utility>

namespace filelist {

namespace {

constexpr int kOkReleased = 10051;
constexpr int kOkPressed = 10052;
constexpr int kAnnullaReleased = 10053;
constexpr int kAnnullaPressed = 10054;
constexpr QRect kAnimateFindRect(112, 48, 96, 64);
const char* const kListPicture = ":/bmp/listconfig.png";

} // namespace

FileListDialog::FileListDialog(QWidget* owner, const QString& folder, TextSource texts, std::uint32_t background)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint),
      // Absolute, as the current directory moves while the dialog is open.
      folder_(QDir(folder).absolutePath()), texts_(std::move(texts))
{
    resize(kDesignSize);
    setFont(Font(16, false));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, plat::FromTColor(background));
    setPalette(pal);
    setAutoFillBackground(true);
}

FileListDialog::~FileListDialog()
{
    // Also when the dialog goes without being closed: the rest of the program
    // takes its folders relative to the current directory.
    FormClose();
}

QString FileListDialog::text(int number) const { return texts_(number); }

QTreeWidget* FileListDialog::makeList(const char* name, const QRect& geometry, std::function<void()> doubleClick)
{
    list_ = MakeList(this, name, geometry);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [click = std::move(doubleClick)] { click(); });
    ImageListConfig = QIcon(plat::LoadPicture(QLatin1String(kListPicture)));
    return list_;
}

plat::PictureButton* FileListDialog::makeButton(const char* name, const QRect& geometry, int released, int pressed,
                                                std::function<void()> click)
{
    auto* p = new plat::PictureButton(this);
    p->setObjectName(QLatin1String(name));
    p->setGeometry(geometry);
    p->setPictures(released, pressed);
    connect(p, &plat::PictureButton::clicked, this, [click = std::move(click)] { click(); });
    return p;
}

void FileListDialog::makeOkButton(const QRect& geometry)
{
    ImageOk = makeButton("ImageOk", geometry, kOkReleased, kOkPressed, [this] { ImageOkClick(); });
}

void FileListDialog::makeCancelButton(const QRect& geometry)
{
    ImageAnnulla =
        makeButton("ImageAnnulla", geometry, kAnnullaReleased, kAnnullaPressed, [this] { ImageAnnullaClick(); });
}

void FileListDialog::makeFindPanel(const QRect& geometry)
{
    const FindPanel find = MakeFindPanel(this, geometry, kAnimateFindRect);
    PanelFind = find.panel;
    AnimateFind = find.animation;
}

void FileListDialog::takeKeysOf(std::initializer_list<QWidget*> controls)
{
    for (QWidget* w : controls)
        w->installEventFilter(this);
}

void FileListDialog::fillList(const std::function<std::vector<TPdfRow>()>& listRows)
{
    rows_.clear();
    rows_ = Fill(list_, {PanelFind, AnimateFind}, ImageListConfig, listRows);
}

bool FileListDialog::selectFirstRow()
{
    QTreeWidgetItem* first = list_->topLevelItem(0);
    if (!first)
        return false;
    list_->setCurrentItem(first);
    first->setSelected(true);
    list_->setFocus();
    return true;
}

bool FileListDialog::fillScreen()
{
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return false;
    setGeometry(screen->geometry());
    return true;
}

void FileListDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Once the window is on the screen, so that the find animation is seen.
    if (!activated_.Done())
        QTimer::singleShot(0, this, [this] { FormActivate(); });
}

void FileListDialog::FormActivate()
{
    if (closed_ || !activated_.First())
        return;
    FirstActivation();
}

void FileListDialog::ImageAnnullaClick() { done(mrCancel); }

void FileListDialog::reject() { ImageAnnullaClick(); }

void FileListDialog::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void FileListDialog::FormClose()
{
    if (closed_)
        return;
    closed_ = true;
    QDir::setCurrent(folder_);
    Closing();
}

bool FileListDialog::FormKeyPress(int key)
{
    return RunKey(key, [this] { ImageOkClick(); }, [this] { ImageAnnullaClick(); });
}

void FileListDialog::keyPressEvent(QKeyEvent* event)
{
    if (!TakeKeyPress(event, [this](int key) { return FormKeyPress(key); }))
        QDialog::keyPressEvent(event);
}

bool FileListDialog::eventFilter(QObject* watched, QEvent* event)
{
    // The window sees the keys of the controls it watches before they do.
    if (watched != this && TakeKeyPress(event, [this](int key) { return FormKeyPress(key); }))
        return true;
    return QDialog::eventFilter(watched, event);
}

} // namespace filelist
