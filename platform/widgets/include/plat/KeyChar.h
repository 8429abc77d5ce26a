#pragma once
#include <Qt>

namespace plat {

// The character a window's key handler sees for a key, as the toolkit's key
// preview delivers it: 27 for Esc, 13 for Enter (either key), else 0.
constexpr int KeyCharOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    default:
        return 0;
    }
}

} // namespace plat
