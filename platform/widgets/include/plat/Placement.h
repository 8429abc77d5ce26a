#pragma once
// The windows laid out by hand keep the rectangles of their controls in one
// table each, at the window's design size, and place every control from it
// by name. The window then scales its whole tree to the screen
// (ApplyScreenScale in ScreenScale.h), so the table never holds a scaled
// rectangle.
#include "plat/ScreenScale.h"

#include <QRect>

#include <span>
#include <string_view>

class QWidget;

namespace plat {

// One control's rectangle at the design size, under the control's name.
struct Placement {
    std::string_view name;
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;

    constexpr QRect rect() const { return QRect(x, y, w, h); }
};

using Placements = std::span<const Placement>;

// Whether every name stands once in the table; each window's table asserts
// it when it is compiled.
constexpr bool NamesAreUnique(Placements table)
{
    for (std::size_t i = 0; i < table.size(); ++i)
        for (std::size_t j = i + 1; j < table.size(); ++j)
            if (table[i].name == table[j].name)
                return false;
    return true;
}

// The entry of name, or none.
constexpr const Placement* FindPlacement(Placements table, std::string_view name)
{
    for (const Placement& p : table)
        if (p.name == name)
            return &p;
    return nullptr;
}

// The design-size rectangle of name. A name the table lacks is a fault in
// the window's code: the program stops, naming it.
QRect PlacementRect(Placements table, std::string_view name);

// The rectangle of name as it is on the screen once the window is scaled by
// f (ScaledRect).
QRect PlacementRect(Placements table, std::string_view name, ScaleFactor f);

// Gives w the rectangle of name, moved by offset (the cells of a row of
// like controls share one entry, the first cell's).
void Place(QWidget* w, Placements table, std::string_view name, QPoint offset = {});

} // namespace plat
