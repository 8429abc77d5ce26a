#pragma once
// Breakpoints of the maps and correction curves for the configuration
// window's tests and benchmarks: the data module's image starts at its
// defaults, which hold no axes until a configuration is read. Written through
// to the simulated ECU, whose engine follows them.
#include "datamodule/core/iodata.h"

namespace rig {

inline void LoadMapAxes(TStreamDati& d)
{
    const double times[12] = {2, 2.5, 3, 3.5, 4.5, 6, 8, 10, 12, 14, 16, 18};
    for (int i = 0; i < 12; ++i) {
        d.SetRifGiriK(i, 500 + i * 500);
        d.SetRifTempiK(i, times[i]);
        d.SetRifGiri(i, 500 + i * 500);
    }
    for (int i = 0; i < 4; ++i)
        d.SetRifMapEmissioni(i, 0.3 + i * 0.2);
    for (int i = 0; i < 15; ++i)
        d.SetRifPressDiff(i, 0.2 + i * 0.2);
    // Rising left to right in the grid: element 8 is the coldest.
    for (int i = 1; i <= 8; ++i) {
        d.SetRifMot(i, 100 - i * 10);
        d.SetRifTemperatura(i, 100 - i * 10);
    }
}

} // namespace rig
