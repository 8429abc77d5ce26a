#pragma once
// Where the diagnostics window's controls stand on its 1024 x 768 design,
// each inside its page; the window scales them all to the screen once they
// are built.
#include "plat/Placement.h"

namespace diagnosi {

inline constexpr plat::Placement kPlacements[] = {
    // The exit tab's picture, drawn by the tab bar at the tab's right end.
    {"ImageEsci", 0, 0, 32, 32},

    // Errors: the list (the code column moves in beside it when the window
    // is first shown), the reset button and the two options.
    {"ListDiagnosi", 24, 24, 760, 560},
    {"ListCode", 24, 24, 120, 560},
    {"ImageReset", 832, 40, 96, 64},
    {"LabelAzzeraErrori", 800, 108, 160, 28},
    {"ShapeAbilita", 800, 180, 200, 80},
    {"ShapeCheckAbilita", 810, 200, 40, 40},
    {"CheckDiagnosi", 820, 210, 24, 24},
    {"LabelDiagnosi", 856, 188, 140, 64},
    {"ShapePosteriore", 800, 280, 200, 100},
    {"ShapeCheckPosteriore", 810, 310, 40, 40},
    {"CheckPosteriore", 820, 320, 24, 24},
    {"LabelPosteriore", 856, 288, 140, 84},
    {"ComboAzione", 800, 400, 200, 28},

    // Injectors: the test on top, the exclusion panel below, each with its
    // legend (a picture and its text).
    {"LabelIniettori", 24, 16, 700, 28},
    {"ImageLabelOk", 660, 80, 32, 32},
    {"LabelOk", 700, 80, 300, 32},
    {"ImageLabelErrore", 660, 130, 32, 32},
    {"LabelErrore", 700, 130, 300, 32},
    {"PanelEsclusione", 0, 330, 1024, 330},
    {"LabelEsclusione", 24, 8, 700, 28},
    {"ImageLabelEsclusioneOk", 660, 60, 32, 32},
    {"LabelEsclusioneOk", 700, 60, 300, 32},
    {"ImageLabelEsclusioneErrore", 660, 110, 32, 32},
    {"LabelEsclusioneErrore", 700, 110, 300, 32},
    // Injector A's controls, in the test and in the exclusion panel; every
    // other injector's stand as these, moved by kInjectorStepX for each
    // column to the right and by kInjectorStepY for the second bank.
    {"LabelInjA", 40, 56, 48, 28},
    {"ImageOkA", 40, 86, 48, 48},
    {"ImageKoA", 40, 86, 48, 48},
    {"LabelA", 40, 48, 48, 28},
    {"ImageOnA", 40, 78, 48, 48},
    {"ImageOffA", 40, 78, 48, 48},

    // Counters: per counter its caption, its value and its reset button.
    {"LabelContatoriGas", 40, 24, 400, 32},
    {"LabelAssolutoGas", 40, 70, 360, 32},
    {"LabAssolutoGas", 420, 70, 140, 32},
    {"ImageResetAssolutoGas", 600, 60, 72, 48},
    {"LabelParzialeGas", 40, 120, 360, 32},
    {"LabParzialeGas", 420, 120, 140, 32},
    {"ImageResetParzialeGas", 600, 110, 72, 48},
    {"LabelNotaGas", 40, 166, 700, 28},
    {"LabelContatoriBenzina", 40, 230, 400, 32},
    {"LabelAssolutoBenzina", 40, 276, 360, 32},
    {"LabAssolutoBenzina", 420, 276, 140, 32},
    {"ImageResetAssolutoBenzina", 600, 266, 72, 48},
    {"LabelNotaBenzina", 40, 322, 700, 28},
    {"LabelPartenzeGas", 40, 390, 400, 32},
    {"LabelAvviamenti", 40, 436, 360, 32},
    {"LabAvviamenti", 420, 436, 140, 32},
    {"ImageResetPartenzeGas", 600, 426, 72, 48},
    {"LabelNotaPartenze", 40, 482, 900, 28},
};
static_assert(plat::NamesAreUnique(kPlacements));

// From one injector's controls to the next column's (x) and the other
// bank's (y).
inline constexpr int kInjectorStepX = 120;
inline constexpr int kInjectorStepY = 120;

} // namespace diagnosi
