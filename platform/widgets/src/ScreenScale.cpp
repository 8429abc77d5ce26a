#include "plat/ScreenScale.h"

#include <QFont>
#include <QWidget>

namespace plat {

ScaleFactor screenScaleFactor(QSize screen)
{
    const long long w = screen.width();
    const long long h = screen.height();
    if (w <= 0 || h <= 0)
        return {};
    if (10 * w <= 13 * h)
        return {w, 1024};
    return {h, 768};
}

namespace {

int scaled(int v, long long num, long long den)
{
    return static_cast<int>(static_cast<long long>(v) * num / den);
}

void scaleOne(QWidget* w, long long num, long long den)
{
    const QRect g = w->geometry();
    w->setGeometry(scaled(g.x(), num, den), scaled(g.y(), num, den), scaled(g.width(), num, den),
                   scaled(g.height(), num, den));
    QFont f = w->font();
    if (f.pixelSize() > 0)
        f.setPixelSize(std::max(1, scaled(f.pixelSize(), num, den)));
    else if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() * static_cast<double>(num) / static_cast<double>(den));
    if (w->testAttribute(Qt::WA_SetFont))
        w->setFont(f);
}

void walk(QWidget* w, long long num, long long den, bool self)
{
    if (self)
        scaleOne(w, num, den);
    for (QObject* o : w->children())
        if (auto* c = qobject_cast<QWidget*>(o); c && !c->isWindow())
            walk(c, num, den, true);
    if (self)
        if (auto* s = dynamic_cast<Scalable*>(w))
            s->changeScale(num, den);
}

} // namespace

void scaleWidgetTree(QWidget* root, long long num, long long den)
{
    if (!root || num <= 0 || den <= 0)
        return;
    walk(root, num, den, !root->isWindow());
}

} // namespace plat
