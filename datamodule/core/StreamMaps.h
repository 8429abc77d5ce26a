#pragma once
// The maps of the parameter image: the K map with its axes, the filter map,
// the auto-calibration corrections, the OBD target and the emissions map.
// A family of TStreamDati (see iodata.h); defined in iodata_maps.cpp.
//
// Getters give 0 for an index outside the item; setters answer whether the
// ECU took the write (false also for a rejected index or value). R and C are
// NumeroRighe and NumeroColonne; the K map has R + 1 rows.
#include "StreamFamily.h"

#include <cstdint>

class TStreamMaps : public TStreamFamily<TStreamMaps> {
public:
    // The K map and its axes.
    inline std::int32_t GetNumeroRighe() const;   // R (defined in iodata.h)
    inline std::int32_t GetNumeroColonne() const; // C (defined in iodata.h)
    std::int32_t GetMappaK(int row, int col) const;
    bool SetMappaK(int row, int col, std::int32_t value); // 0..255
    std::int32_t GetRifGiriK(int i) const;
    bool SetRifGiriK(int i, std::int32_t rpm);
    long double GetRifTempiK(int i) const; // ms
    bool SetRifTempiK(int i, double ms);
    long double GetTOpenLoop(int i) const; // ms
    bool SetTOpenLoop(int i, double ms);   // 0..30 ms
    // Adds delta to the K-map cells of one of the 4 x 4 zones (cells that
    // would leave 0..255 keep their value) and to its correction cell.
    void ShiftMappaKZone(int zoneRow, int zoneCol, int delta);

    // The filter map.
    long double GetMappaFiltro(int row, int col) const; // raw x 0.2
    bool SetMappaFiltro(int row, int col, double value);
    long double GetRifFiltro(int i) const; // bar
    bool SetRifFiltro(int i, double bar);
    std::int32_t GetSgancio(int i) const;
    bool SetSgancio(int i, double value);

    // The auto-calibration corrections (4 x 4 zones) and the OBD target.
    std::int32_t GetMappaCorrAutotaratura(int row, int col) const; // signed
    bool SetMappaCorrAutotaratura(int row, int col, std::int32_t value);
    std::int32_t GetTargetObd(int row, int col) const; // -8..7
    bool SetTargetObd(int row, int col, std::int32_t value);

    // The emissions map, its MAP axis and the lambda-probe references.
    long double GetMappaEmissioni(int row, int col) const;
    bool SetMappaEmissioni(int row, int col, double value);
    long double GetRifMapEmissioni(int i) const; // bar
    bool SetRifMapEmissioni(int i, double bar);
    long double GetRiferimentiSondaLambda(int i) const; // V, or 127 - raw
    bool SetRiferimentiSondaLambda(int i, double value);
};
