#include "plat/AnimationPlayer.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace plat {

QString AnimationResource(int id)
{
    return QStringLiteral(":/anim/%1.png").arg(id);
}

AnimationPlayer::AnimationPlayer(QWidget* parent) : QWidget(parent)
{
    timer_.setInterval(120);
    connect(&timer_, &QTimer::timeout, this, &AnimationPlayer::advance);
}

bool AnimationPlayer::open(const QString& path)
{
    stop();
    QImage image(path);
    strip_ = QPixmap();
    frame_ = 0;
    frameCount_ = 0;
    if (!image.isNull()) {
        bool ok = false;
        const double ratio = image.text(QStringLiteral("dpr")).toDouble(&ok);
        if (ok && ratio >= 1)
            image.setDevicePixelRatio(ratio);
        int n = image.text(QStringLiteral("frames")).toInt(&ok);
        if (!ok || n <= 0)
            n = 1;
        strip_ = QPixmap::fromImage(image);
        const QSizeF whole = strip_.deviceIndependentSize();
        frameCount_ = n;
        frameSize_ = QSizeF(whole.width() / n, whole.height());
    }
    if (lastFrame_ >= frameCount_)
        lastFrame_ = frameCount_ - 1;
    updateGeometry();
    update();
    return frameCount_ > 0;
}

void AnimationPlayer::play()
{
    if (frameCount_ > 0)
        timer_.start();
}

void AnimationPlayer::stop()
{
    timer_.stop();
}

void AnimationPlayer::setLastFrame(int last)
{
    if (last < 0)
        lastFrame_ = -1;
    else if (frameCount_ > 0)
        lastFrame_ = std::min(last, frameCount_ - 1);
    else
        lastFrame_ = last;
    if (frame_ > lastFrame())
        frame_ = 0;
    update();
}

void AnimationPlayer::advance()
{
    if (frameCount_ <= 0)
        return;
    const int last = lastFrame_ < 0 ? frameCount_ - 1 : std::min(lastFrame_, frameCount_ - 1);
    frame_ = frame_ >= last ? 0 : frame_ + 1;
    update();
}

QSize AnimationPlayer::sizeHint() const
{
    return frameSize_.toSize();
}

void AnimationPlayer::paintEvent(QPaintEvent*)
{
    if (frameCount_ <= 0)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const qreal ratio = strip_.devicePixelRatio();
    const QRectF source(frame_ * frameSize_.width() * ratio, 0, frameSize_.width() * ratio,
                        frameSize_.height() * ratio);
    const QSizeF fitted = frameSize_.scaled(QSizeF(size()), Qt::KeepAspectRatio);
    QRectF target(QPointF(0, 0), fitted);
    target.moveCenter(QRectF(rect()).center());
    p.drawPixmap(target, strip_, source);
}

} // namespace plat
