#pragma once
// Pages laid out as columns of groups, each column stacked on its own, so
// that a tall group in one column leaves no gaps between the groups of the
// other.
#include "config/window/FormConfigParts.h"

#include "plat/Shape.h"

#include <QVBoxLayout>

namespace cfgwin {

// A column at the top of column col of the page's grid.
inline QVBoxLayout* PageColumn(TFormConfig::Builder& b, int col)
{
    auto* box = new QWidget(b.Page());
    auto* stack = new QVBoxLayout(box);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(b.Grid()->verticalSpacing());
    b.Place(box, 0, col, 1, 1, Qt::AlignTop);
    return stack;
}

// A framed group at the bottom of a column; a named one is that shape of the
// window.
inline TFormConfig::Builder::Frame ColumnGroup(TFormConfig::Builder& b, QVBoxLayout* column,
                                               const char* shapeName = nullptr)
{
    plat::Shape* s = b.Shape(shapeName ? shapeName : "", column->parentWidget());
    column->addWidget(s);
    return TFormConfig::Builder::Frame(&b, s);
}

// A frame inside a group that only gathers controls to hide together: no
// outline and no margin of its own.
inline void PlainFrame(TFormConfig::Builder::Frame& f)
{
    static_cast<plat::Shape*>(f.Widget())->setPen(Qt::NoPen);
    f.Grid()->setContentsMargins(0, 0, 0, 0);
}

} // namespace cfgwin
