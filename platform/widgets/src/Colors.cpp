#include "plat/Colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace plat {

namespace {

QColor systemColor(std::uint32_t index)
{
    const QPalette pal = QGuiApplication::palette();
    switch (index) {
    case 5: // window background
        return pal.color(QPalette::Base);
    case 8: // window text
        return pal.color(QPalette::Text);
    case 13: // highlight
        return pal.color(QPalette::Highlight);
    case 14: // highlighted text
        return pal.color(QPalette::HighlightedText);
    case 15: // button face
        return pal.color(QPalette::Button);
    case 16: // button shadow
        return pal.color(QPalette::Dark);
    case 17: // grey text
        return pal.color(QPalette::Disabled, QPalette::Text);
    case 18: // button text
        return pal.color(QPalette::ButtonText);
    case 20: // button highlight
        return pal.color(QPalette::Light);
    default:
        return {};
    }
}

} // namespace

QColor FromTColor(std::uint32_t c)
{
    const std::uint32_t high = c >> 24;
    if (high == 0)
        return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                      static_cast<int>((c >> 16) & 0xFF));
    if (high == 0xFF)
        return systemColor(c & 0x00FFFFFF);
    return {};
}

} // namespace plat
