#include "plat/Placement.h"

#include <QWidget>
#include <QtGlobal>

namespace plat {

QRect PlacementRect(Placements table, std::string_view name)
{
    const Placement* p = FindPlacement(table, name);
    if (!p)
        qFatal("No placement for the control \"%.*s\"", static_cast<int>(name.size()), name.data());
    return p->rect();
}

QRect PlacementRect(Placements table, std::string_view name, ScaleFactor f)
{
    return ScaledRect(PlacementRect(table, name), f.num, f.den);
}

void Place(QWidget* w, Placements table, std::string_view name, QPoint offset)
{
    w->setGeometry(PlacementRect(table, name).translated(offset));
}

} // namespace plat
