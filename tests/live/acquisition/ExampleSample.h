#pragma once
// The tick of the example data line 1520, 2480, 0.45, 3.27936, 4.0448, 1.12,
// 0.35, 45, 32 (second bank 0.1, 2.25, 3.5), with values that the writer must
// truncate.
#include "live/acquisition/AcquisitionFormat.h"

inline qz::live::TAcquisitionSample ExampleSample()
{
    qz::live::TAcquisitionSample s;
    s.Rpm = 2480;
    s.Lambda1Volts = 0.4599;
    s.GasMs1 = 3.27936;
    s.PetrolMs1 = 4.0448;
    s.GasPressureHundredths = 112;
    s.MapPressureHundredths = 35;
    s.ReducerTempC = 45.9;
    s.GasTempC = 32.2;
    s.Lambda2Volts = 0.1;
    s.GasMs2 = 2.25;
    s.PetrolMs2 = 3.5;
    return s;
}
