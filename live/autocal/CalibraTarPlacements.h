#pragma once
// Where the auto-calibration window's controls stand on its 1024 x 768
// design (those of a panel inside the panel); the window scales them all to
// the screen once they are built.
#include "plat/Placement.h"

namespace taratura {

inline constexpr plat::Placement kPlacements[] = {
    // The readouts' bar across the top; in it each readout has its caption
    // above, its value, its unit beside it.
    {"PanelBarra", 0, 0, 1024, 150},
    {"LabelGiri", 10, 5, 80, 20},
    {"LabGiri", 10, 30, 80, 30},
    {"LabelRpm", 10, 60, 80, 20},
    {"LabelTempMot", 95, 5, 85, 20},
    {"LabTemp", 95, 30, 45, 30},
    {"LabelGradi", 144, 30, 30, 30},
    {"LabelTemp", 180, 5, 85, 20},
    {"LabTempMot", 180, 30, 45, 30},
    {"LabelGradi1", 229, 30, 30, 30},
    {"LabelInj", 265, 5, 100, 20},
    {"LabApMot", 265, 30, 55, 25},
    {"ImageApMot2", 265, 60, 55, 25},
    {"LabApMot2", 265, 60, 55, 25},
    {"LabelMsTGas", 324, 30, 28, 25},
    {"LabelMsTGas2", 324, 60, 28, 25},
    {"LabelInjBenz", 365, 5, 100, 20},
    {"LabApMotBenz", 365, 30, 55, 25},
    {"ImageApMot2Benz", 365, 60, 55, 25},
    {"LabApMot2Benz", 365, 60, 55, 25},
    {"LabelMsTBenz", 424, 30, 28, 25},
    {"LabelMsTBenz2", 424, 60, 28, 25},
    {"ImageLambda1", 465, 5, 40, 20},
    {"ImageLambdaValue", 465, 30, 55, 25},
    {"LabLambda", 465, 30, 55, 25},
    {"ImageLambda2", 530, 5, 40, 20},
    {"ImageLambda2Value", 530, 30, 55, 25},
    {"LabLambda2", 530, 30, 55, 25},
    {"LabelPress", 600, 5, 80, 20},
    {"LabPressione", 600, 30, 45, 25},
    {"LabelGasBar", 649, 30, 30, 25},
    {"LabelPressColl", 685, 5, 80, 20},
    {"LabPressioneColl", 685, 30, 45, 25},
    {"LabelMapBar", 734, 30, 30, 25},
    {"LabelLedExtraInj", 770, 5, 150, 20},
    {"ImageExtraInj", 770, 30, 30, 30},
    {"LabelCutoff", 770, 70, 150, 20},
    {"ImageCutoff", 770, 95, 30, 30},
    {"LabelDiagnosi", 924, 5, 96, 20},
    {"ImageDiagnosiOn", 960, 30, 24, 24},
    {"ImageDiagnosiOff", 960, 30, 24, 24},
    // The fuel switch and the gas level.
    {"ImageCommutatore", 10, 95, 40, 40},
    {"LabelBenzina", 55, 100, 100, 30},
    {"ShapeRiserva", 160, 105, 16, 16},
    {"ShapeUnQuarto", 180, 105, 16, 16},
    {"ShapeDueQuarti", 200, 105, 16, 16},
    {"ShapeTreQuarti", 220, 105, 16, 16},
    {"ShapeQuattroQuarti", 240, 105, 16, 16},
    // The operation under way, the start button and the speed panel.
    {"ShapeOperazione", 40, 180, 700, 90},
    {"LabelOperazione", 50, 190, 680, 70},
    {"ImageInit", 760, 180, 150, 120},
    {"LabelEnd", 50, 280, 680, 30},
    {"PanelGiri", 40, 320, 700, 90},
    {"LabelGiriTara", 10, 5, 80, 20},
    {"LabGiriTara", 100, 5, 80, 20},
    {"LabelRpmTara", 190, 5, 60, 20},
    // The first mark of the speed scale; the others follow kScaleStep apart.
    {"LabelScala", 10, 60, 50, 20},
    {"ProgressBarGiri", 10, 30, 680, 25},
    // Progress, and the warning panel with its animation.
    {"ShapeProgressBar", 40, 420, 700, 40},
    {"ProgressBar", 45, 425, 690, 30},
    {"PanelAttention", 40, 480, 700, 220},
    {"LabelAttention", 220, 10, 470, 200},
    {"JvGIFAnimator", 5, 5, 206, 210},
    // Recording, and the exit.
    {"ShapeAcquisizioni", 760, 480, 240, 130},
    {"LabelAcquisizioni", 770, 485, 200, 20},
    {"ImageRec", 770, 510, 96, 64},
    {"LabelRec", 770, 578, 96, 20},
    {"ImageStop", 880, 510, 96, 64},
    {"LabelStop", 880, 578, 96, 20},
    {"ShapeAcquisisciOn", 975, 485, 16, 16},
    {"ImageExit", 900, 680, 96, 64},
};
static_assert(plat::NamesAreUnique(kPlacements));

// The speed scale's marks, 500 to 3500 rpm, from the first to the next.
inline constexpr int kScaleMarks = 7;
inline constexpr int kScaleStep = 110;

} // namespace taratura
