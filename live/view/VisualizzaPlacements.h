#pragma once
// Where the live view's controls stand on its 1024 x 721 design; the window
// scales them all to the screen once they are built.
#include "plat/Placement.h"

namespace visualizza {

inline constexpr plat::Placement kPlacements[] = {
    {"ImageLogo", 8, 6, 260, 64},
    // The exit label lies over its picture and presses it.
    {"ImageExit", 900, 6, 110, 72},
    {"LabelExit", 900, 6, 110, 72},

    // Dials; a temperature dial's caption in its top right corner, clear of
    // the marks.
    {"ImageGiri", 20, 84, 330, 330},
    {"LabelGiri", 120, 360, 130, 36},
    {"ImageTempRid", 370, 84, 200, 160},
    {"LabelTempRid", 476, 87, 86, 20},
    {"LabTempRid", 440, 214, 120, 26},
    {"ImageRidGray", 530, 110, 32, 32},
    {"ImageTempGas", 370, 254, 200, 160},
    {"LabelTempGas", 476, 257, 86, 20},
    {"LabTempGas", 440, 384, 120, 26},
    {"ImageIniettori", 590, 84, 160, 120},
    {"PanelIniettori", 590, 208, 160, 28},

    // Indicators: each pair of pictures shares one place.
    {"ImageGasOn", 800, 84, 96, 64},
    {"ImageGasOff", 800, 84, 96, 64},
    {"ImageBenzinaOn", 908, 84, 96, 64},
    {"ImageBenzinaOff", 908, 84, 96, 64},
    {"ImageKeyOn", 800, 156, 96, 64},
    {"ImageKeyOff", 800, 156, 96, 64},
    {"ImageCommutatore", 908, 156, 96, 64},
    {"ShapeCutoff", 600, 250, 22, 22},
    {"LabelCutoff", 630, 248, 150, 26},
    {"ShapeDiagnosi", 600, 284, 22, 22},
    {"LabelDiagnosi", 630, 282, 150, 26},
    {"ShapeExtraInj", 600, 318, 22, 22},
    {"LabelExtraInj", 630, 316, 150, 26},

    // Gas level: the reserve lamp at the bottom, four quarters above it.
    {"ShapeQuattroQuarti", 800, 236, 40, 18},
    {"ShapeTreQuarti", 800, 258, 40, 18},
    {"ShapeDueQuarti", 800, 280, 40, 18},
    {"ShapeUnQuarto", 800, 302, 40, 18},
    {"ShapeRiserva", 800, 324, 40, 18},

    // Recording.
    {"LabelAcquisizioni", 856, 236, 160, 26},
    {"ShapeAcquisisciOn", 860, 266, 16, 16},
    {"ShapeAcquisizioni", 856, 286, 160, 104},
    {"ImageRec", 860, 290, 48, 48},
    {"LabelRec", 860, 340, 48, 20},
    {"ImageStop", 912, 290, 48, 48},
    {"LabelStop", 912, 340, 48, 20},
    {"ImageView", 964, 290, 48, 48},
    {"LabelView", 964, 340, 48, 20},

    // Bars, two columns of three: a caption, the bar's panel 28 below it
    // and, for a reading with a number, the value right of the panel.
    {"LabelLambda", 20, 430, 360, 24},
    {"PanelLambda", 20, 458, 360, 30},
    {"LabelLambda2", 20, 525, 360, 24},
    {"PanelLambda2", 20, 553, 360, 30},
    {"LabelPressione", 20, 620, 360, 24},
    {"PanelPressione", 20, 648, 360, 30},
    {"LabPressione", 386, 648, 110, 30},
    {"LabelMap", 520, 430, 360, 24},
    {"PanelMap", 520, 458, 360, 30},
    {"LabMap", 886, 458, 110, 30},
    {"LabelTIniez", 520, 525, 360, 24},
    {"PanelInjGas", 520, 553, 360, 30},
    {"LabTIniez", 886, 553, 110, 30},
    {"LabelTIniezBenz", 520, 620, 360, 24},
    {"PanelInjBenzina", 520, 648, 360, 30},
    {"LabTIniezBenz", 886, 648, 110, 30},
    {"ImageMapGray", 850, 420, 32, 32},
};
static_assert(plat::NamesAreUnique(kPlacements));

} // namespace visualizza
