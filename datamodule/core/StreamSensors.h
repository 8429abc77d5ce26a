#pragma once
// The sensors: the level sensor, the temperature sensors and their tables,
// the lambda probes, the throttle sensor and the rpm signal. A family of
// TStreamDati (see iodata.h); the table builders are defined in iodata.cpp,
// the rest in iodata_options.cpp.
#include "StreamFamily.h"

#include <cstdint>

class TStreamSensors : public TStreamFamily<TStreamSensors> {
public:
    // Level sensor: position in the list of types, -1 for an unknown code.
    std::int32_t GetTipoSensore() const;
    bool SetTipoSensore(int position);
    std::int32_t GetRifSensore(int i) const;
    bool SetRifSensore(int i, std::int32_t value);
    bool GetTipoSensoreBit7() const;

    // Temperature sensors and the tables built from them.
    std::int32_t GetTipoSensoreTemperaturaGas() const;
    bool SetTipoSensoreTemperaturaGas(int type);
    void BuildTemperaturaGasTable(int type);
    void BuildTempMotoreTable(bool useVehicleSensor);

    // Lambda probes.
    std::int32_t GetNumeroSonde() const; // 1 or 2
    bool SetNumeroSonde(int n);
    bool HasSecondaSonda() const;
    std::int32_t GetTipiLambdaEnabled(int probe) const;
    std::int32_t GetTipiLambda(int probe) const;
    bool SetTipiLambda(int probe, int kind);
    std::int32_t GetTipoDiLambdaBit0() const;
    // Defaults that follow a change of the lambda type.
    void ApplyTipoDiLambdaEmulazione();
    bool ApplyTipoDiLambdaDefaults();

    // Throttle sensor and rpm signal.
    std::int32_t GetTipoDiTpsBit0() const;
    std::int32_t GetSegnaleGiri() const; // 1 weak
    bool SetSegnaleGiri(bool weak);
};
