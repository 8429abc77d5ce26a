#pragma once
// The correction tables of the parameter image: each a reference axis with
// its coefficient row or grid (variator, gas-temperature delay, engine and
// gas temperature, pressures, advance). A family of TStreamDati (see
// iodata.h); defined in iodata_maps.cpp.
//
// Getters give 0 for an index outside the item; setters answer whether the
// ECU took the write (false also for a rejected index or value).
#include "StreamFamily.h"

#include <cstdint>

class TStreamTables : public TStreamFamily<TStreamTables> {
public:
    // Variator.
    std::int32_t GetVariatore(int i) const;
    bool SetVariatore(int i, std::int32_t value); // at most 31
    std::int32_t GetRifGiriVariatore(int i) const;
    bool SetRifGiriVariatore(int i, std::int32_t rpm); // at most 10000
    std::int32_t GetMappaVariatore(int row, int col) const;
    bool SetMappaVariatore(int row, int col, std::int32_t value); // at most 31
    long double GetRifMapVariatore(int i) const;                  // bar, by the external MAP line
    bool SetRifMapVariatore(int i, double bar);

    // Gas-temperature delay.
    std::int32_t GetDelayGasTemp(int row, int col) const; // row 0 x 2, row 1 x 4
    bool SetDelayGasTemp(int row, int col, std::int32_t value);
    std::int32_t GetRifDelayGasTemp(int i) const; // Tgas, whole degrees
    bool SetRifDelayGasTemp(int i, std::int32_t celsius);

    // Gas- and engine-temperature corrections.
    std::int32_t GetCoeffMot(int i) const;
    bool SetCoeffMot(int i, std::int32_t value); // at most 200
    std::int32_t GetRifMot(int i) const;         // 0 and 9 raw, else Tgas
    bool SetRifMot(int i, double celsius);
    std::int32_t GetCoeffTemperatura(int i) const;
    bool SetCoeffTemperatura(int i, std::int32_t value); // at most 200
    std::int32_t GetRifTemperatura(int i) const;         // 0 and 9 raw, else Tmot
    bool SetRifTemperatura(int i, double celsius);

    // Pressure corrections and the switch-over pressure.
    long double GetCoeffPressDiff(int i) const;
    bool SetCoeffPressDiff(int i, double value);
    long double GetRifPressDiff(int i) const; // bar
    bool SetRifPressDiff(int i, double bar);
    long double GetCoeffPressColl(int i) const;
    bool SetCoeffPressColl(int i, double value);
    long double GetRifPressColl(int i) const; // bar
    bool SetRifPressColl(int i, double bar);
    long double GetPressPassaggio(int i) const; // bar
    bool SetPressPassaggio(int i, double bar);  // 0..12

    // Advance by rpm.
    std::int32_t GetRifGiri(int i) const;
    bool SetRifGiri(int i, std::int32_t rpm); // above 10000: ignored
    std::int32_t GetAnticipo(int i) const;
    bool SetAnticipo(int i, std::int32_t value);
};
