#pragma once
// The settings of the parameter image reached by item code, the option words
// and the coded settings (switch-over mode, injector times). A family of
// TStreamDati (see iodata.h); the by-code access is defined in iodata.cpp,
// the rest in iodata_options.cpp.
#include "StreamFamily.h"

#include <cstdint>

class TStreamOptions : public TStreamFamily<TStreamOptions> {
public:
    // ---- By item code ---------------------------------------------------------
    static constexpr long double kUnknownCode = 800000.0L;
    long double GetValueByCode(std::int32_t code);
    // 1 written, 0 not written (unknown code, value that cannot be expressed,
    // refused write), -1 negative code. Sets Modified first in every case.
    int SetValueByCode(std::int32_t code, double value);
    long double GetElementByCode(std::int32_t code, int index);
    int SetElementByCode(std::int32_t code, int index, double value);

    // ---- Option words ---------------------------------------------------------
    // Options 0..26 of Flag1 and Flag2; bits 0..3 of Flag3.
    std::int32_t GetFlag(int index) const;
    bool SetFlag(int index, bool on);
    std::int32_t GetFlag3(int index) const;
    bool SetFlag3(int index, bool on);
    std::int32_t GetModificaSequenza() const;
    bool SetModificaSequenza(bool on);

    // ---- Coded settings -------------------------------------------------------
    // 0 switch-over while accelerating, 1 while decelerating, 2 start on gas.
    std::int32_t GetTipoCommutazione() const;
    bool SetTipoCommutazione(int mode);
    // Kind 1 opening, 2 closing, 3 petrol dead time, 4 gas dead time (ms).
    long double GetTempoIniettore(int kind) const;
    bool SetTempoIniettore(int kind, double ms);

private:
    // Stores a value written by code and clears the official mark when it
    // changed.
    void storeAndMark(std::int32_t& field, std::int32_t raw);
};
