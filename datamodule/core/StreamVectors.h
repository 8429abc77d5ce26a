#pragma once
// The rows of single settings of the parameter image: injection times and
// cut-off, engine-temperature parameters, the external MAP line, the
// diagnosis and the injection sequence. A family of TStreamDati (see
// iodata.h); defined in iodata_maps.cpp, the diagnosis states in iodata.cpp,
// the sequence rules in iodata_options.cpp.
//
// Getters give 0 for an index outside the item; setters answer whether the
// ECU took the write (false also for a rejected index or value).
#include "StreamFamily.h"

#include <cstdint>

class TStreamVectors : public TStreamFamily<TStreamVectors> {
public:
    // Injection.
    long double GetIniettateGasCutoff(int i) const; // 0 rpm, 1 ms
    bool SetIniettateGasCutoff(int i, double value);
    long double GetScartoMinimoTaratura(int i) const; // ms
    bool SetScartoMinimoTaratura(int i, double ms);
    std::int32_t GetTipoIniettore(int i); // re-reads the item
    bool SetTipoIniettore(int i, std::int32_t value);
    long double GetTInjDefault(int row, int col) const; // ms
    bool SetTInjDefault(int row, int col, double ms);
    long double GetTInjFiltro(int i) const; // 0 raw, 3 and 7 ms x 10, else ms
    bool SetTInjFiltro(int i, double value);

    // Engine temperature and the external MAP line.
    std::int32_t GetParametriTempMotore(int i) const;
    bool SetParametriTempMotore(int i, std::int32_t value);
    std::int32_t GetEcuTempMotore(int i) const;
    bool SetEcuTempMotore(int i, std::int32_t value);
    std::int32_t GetOffsetPendenza(int i) const;
    bool SetOffsetPendenza(int i, std::int32_t value);

    // Diagnosis. Element index 0..4 of the error states (kind 1, code 0x1d;
    // the getter re-reads them from the ECU first) or of the enables (kind 2,
    // code 0x1c); the getter gives 0 for any other.
    std::int32_t GetDiagnosi(int index, int kind);
    bool SetDiagnosi(int index, int kind, std::int32_t value);
    std::int32_t GetAzione(int row, int col) const;
    bool SetAzione(int row, int col, std::int32_t value);
    long double GetTempDiagnosi(int i) const; // 0, 1 Tmot; 2, 3 Tgas
    bool SetTempDiagnosi(int i, double celsius);
    long double GetTempAccensioneCambio(int i) const; // Tmot
    bool SetTempAccensioneCambio(int i, double celsius);

    // Injection sequence: row 0 the cylinder of each slot (182 unused), row 1
    // the slot's entry.
    std::int32_t GetSequenza(int row, int col) const;
    bool SetSequenza(int row, int col, std::int32_t value);
    bool IsSequenzaSlotUsed(int slot) const;
    bool SetSequenzaDefault();
    // 0; -1 read failed, -2 no such item, -3 a cylinder twice, -4 a cylinder
    // above 7, -5 an unused slot that the injection type uses.
    int ReadSequenzaFromEcu();
    bool RotateSequenza(int steps);
};
