#include "plat/Placement.h"

#include <QWidget>
#include <QtGlobal>

namespace plat {

QRect placementRect(Placements table, std::string_view name)
{
    const Placement* p = findPlacement(table, name);
    if (!p)
        qFatal("No placement for the control \"%.*s\"", static_cast<int>(name.size()), name.data());
    return p->rect();
}

QRect placementRect(Placements table, std::string_view name, ScaleFactor f)
{
    return scaledRect(placementRect(table, name), f.num, f.den);
}

void place(QWidget* w, Placements table, std::string_view name, QPoint offset)
{
    w->setGeometry(placementRect(table, name).translated(offset));
}

} // namespace plat
