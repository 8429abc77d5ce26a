#pragma once
// Colour numbers as the window layouts store them: 0x00BBGGRR (red in the low
// byte). A high byte of 0xFF marks a system colour by index.
#include <QColor>
#include <cstdint>

namespace plat {

// 0x00BBGGRR -> the colour; a system colour (0xFF0000nn) -> the application
// palette's colour of that role; anything else with a high byte (the "no
// colour" value among them) -> an invalid QColor.
QColor FromTColor(std::uint32_t tcolor);

} // namespace plat
