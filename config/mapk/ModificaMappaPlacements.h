#pragma once
// Where the map-cell dialog's controls stand in its fixed 288 x 181 frame.
#include "plat/Placement.h"

namespace mapk {

inline constexpr plat::Placement kModificaMappaPlacements[] = {
    {"EditData", 16, 16, 120, 28},
    {"GroupModalita", 150, 8, 128, 120},
    // The first of the three mode buttons in the group; each next one
    // kModeButtonStep lower.
    {"ModeButton", 8, 24, 114, 26},
    {"ButtonOK", 16, 140, 120, 30},
    {"ButtonAnnulla", 150, 140, 128, 30},
};
static_assert(plat::NamesAreUnique(kModificaMappaPlacements));

inline constexpr int kModeButtonStep = 30;

} // namespace mapk
