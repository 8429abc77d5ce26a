#include "plat/PictureButton.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace plat {

QString PictureResource(int id)
{
    return QStringLiteral(":/bmp/%1.png").arg(id);
}

QPixmap LoadPicture(const QString& path)
{
    QImage image(path);
    if (image.isNull())
        return {};
    bool ok = false;
    const double ratio = image.text(QStringLiteral("dpr")).toDouble(&ok);
    if (ok && ratio >= 1)
        image.setDevicePixelRatio(ratio);
    return QPixmap::fromImage(image);
}

PictureButton::PictureButton(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void PictureButton::setPictures(int releasedId, int pressedId)
{
    releasedId_ = releasedId;
    pressedId_ = pressedId;
    showPicture(down_ && pressedId_ ? pressedId_ : releasedId_);
}

void PictureButton::setPicturePath(const QString& path)
{
    releasedId_ = pressedId_ = currentId_ = 0;
    current_ = LoadPicture(path);
    updateGeometry();
    update();
}

void PictureButton::showPicture(int id)
{
    if (id == currentId_ && !current_.isNull())
        return;
    currentId_ = id;
    current_ = id ? LoadPicture(id) : QPixmap();
    updateGeometry();
    update();
}

QSize PictureButton::sizeHint() const
{
    if (current_.isNull())
        return {0, 0};
    return current_.deviceIndependentSize().toSize();
}

QRect PictureButton::pictureRect() const
{
    if (current_.isNull())
        return {};
    const QSize fitted = current_.deviceIndependentSize().toSize().scaled(size(), Qt::KeepAspectRatio);
    QRect r(QPoint(0, 0), fitted);
    r.moveCenter(rect().center());
    return r;
}

namespace {

// A disabled picture: grey, and faded halfway into what lies behind it.
QImage fadedToGrey(const QImage& picture)
{
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            const int grey = qGray(c);
            const int light = grey + (255 - grey) / 3;
            line[x] = qRgba(light, light, light, qAlpha(c) * 45 / 100);
        }
    }
    return image;
}

} // namespace

QPixmap PictureButton::shownPicture() const
{
    if (current_.isNull())
        return {};
    const QRect target = pictureRect();
    const qreal dpr = devicePixelRatioF();
    const QSize pixels = (QSizeF(target.size()) * dpr).toSize();
    const bool disabled = !isEnabled();
    if (fitted_.isNull() || fittedKey_ != current_.cacheKey() || fittedSize_ != pixels || fittedDisabled_ != disabled) {
        QImage image = current_.toImage().scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (disabled)
            image = fadedToGrey(image);
        fitted_ = QPixmap::fromImage(image);
        fitted_.setDevicePixelRatio(dpr);
        fittedKey_ = current_.cacheKey();
        fittedSize_ = pixels;
        fittedDisabled_ = disabled;
    }
    return fitted_;
}

void PictureButton::paintEvent(QPaintEvent*)
{
    if (current_.isNull())
        return;
    QPainter p(this);
    p.drawPixmap(pictureRect().topLeft(), shownPicture());
}

void PictureButton::mousePressEvent(QMouseEvent* e)
{
    down_ = true;
    if (e->button() == Qt::LeftButton) {
        leftDown_ = true;
        afterDoubleClick_ = false;
    }
    if (pressedId_)
        showPicture(pressedId_);
    emit pressed(e->button());
}

void PictureButton::mouseReleaseEvent(QMouseEvent* e)
{
    down_ = e->buttons() != Qt::NoButton;
    if (!down_)
        showPicture(releasedId_);
    const bool click = e->button() == Qt::LeftButton && leftDown_ && !afterDoubleClick_ &&
                       rect().contains(e->position().toPoint());
    if (e->button() == Qt::LeftButton) {
        leftDown_ = false;
        afterDoubleClick_ = false;
    }
    emit released(e->button());
    if (click)
        emit clicked();
}

void PictureButton::mouseDoubleClickEvent(QMouseEvent* e)
{
    // The second press of a double click: the pressed picture again, and the
    // release that follows is not another click.
    down_ = true;
    if (pressedId_)
        showPicture(pressedId_);
    if (e->button() == Qt::LeftButton) {
        leftDown_ = true;
        afterDoubleClick_ = true;
        emit doubleClicked();
    }
}

void PictureButton::mouseMoveEvent(QMouseEvent*)
{
    emit hovered();
}

} // namespace plat
