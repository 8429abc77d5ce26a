#include "plat/ScreenScale.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace plat {

ScaleFactor ScreenScaleFactor(QSize screen)
{
    const long long w = screen.width();
    const long long h = screen.height();
    if (w <= 0 || h <= 0)
        return {};
    // Narrow screens (below 1.3 : 1, the exact ratio counting as narrow)
    // scale by the width, wide ones by the height.
    if (10 * w <= 13 * h)
        return {w, 1024};
    return {h, 768};
}

long long MulDivRound(long long value, long long num, long long den)
{
    if (den == 0)
        return 0;
    const long long p = value * num;
    const bool negative = (p < 0) != (den < 0);
    const long long a = p < 0 ? -p : p;
    const long long d = den < 0 ? -den : den;
    const long long q = (2 * a + d) / (2 * d);
    return negative ? -q : q;
}

namespace {

int scaled(int v, long long num, long long den)
{
    return static_cast<int>(MulDivRound(v, num, den));
}

QFont scaledFont(QFont f, long long num, long long den)
{
    if (f.pixelSize() > 0)
        f.setPixelSize(std::max(1, scaled(f.pixelSize(), num, den)));
    else if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() * static_cast<double>(num) / static_cast<double>(den));
    return f;
}

struct FontChange {
    QWidget* widget;
    QFont font;
};

void collect(QWidget* w, bool self, std::vector<QWidget*>& widgets)
{
    if (self)
        widgets.push_back(w);
    for (QObject* o : w->children())
        if (auto* c = qobject_cast<QWidget*>(o); c && !c->isWindow())
            collect(c, true, widgets);
}

} // namespace

QRect ScaledRect(const QRect& r, long long num, long long den)
{
    const int x = scaled(r.x(), num, den);
    const int y = scaled(r.y(), num, den);
    const int right = scaled(r.x() + r.width(), num, den);
    const int bottom = scaled(r.y() + r.height(), num, den);
    return QRect(x, y, right - x, bottom - y);
}

void ScaleWidgetTree(QWidget* root, long long num, long long den)
{
    if (!root || num <= 0 || den <= 0)
        return;
    std::vector<QWidget*> widgets;
    collect(root, !root->isWindow(), widgets);

    // Fonts first, all computed before any is set: a child's font is read
    // while its parent's is still the unscaled one it inherits from.
    std::vector<FontChange> fonts;
    fonts.push_back({root, scaledFont(root->font(), num, den)});
    for (QWidget* w : widgets)
        if (w != root && w->testAttribute(Qt::WA_SetFont))
            fonts.push_back({w, scaledFont(w->font(), num, den)});
    for (const FontChange& c : fonts)
        c.widget->setFont(c.font);

    for (QWidget* w : widgets)
        w->setGeometry(ScaledRect(w->geometry(), num, den));
    for (QWidget* w : widgets)
        if (auto* s = dynamic_cast<Scalable*>(w))
            s->changeScale(num, den);
}

ScaleFactor ApplyScreenScale(QWidget* window)
{
    if (!window)
        return {};
    QScreen* screen = window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const ScaleFactor f = ScreenScaleFactor(screen->geometry().size());
    if (f.num != f.den)
        ScaleWidgetTree(window, f.num, f.den);
    return f;
}

} // namespace plat
