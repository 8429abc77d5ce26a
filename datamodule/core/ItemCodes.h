#pragma once
// The codes of the ECU items the windows read and write by name, through the
// by-code accessors (GetValueByCode, GetElementByCode and their setters).
// Each is the value code of a single item, or the element code of an item of
// several elements (its elements by index). The catalogue's own codes are in
// ItemCatalogue.h.
#include <cstdint>

namespace dm {

// ---- Lambda probe and emulation

// TipoDiLambda: the probe's type, a position in kLambdaTypes.
inline constexpr std::int32_t kLambdaTypeCode = 4;
// RifLambda: the probe's reference, volts.
inline constexpr std::int32_t kLambdaReferenceCode = 5;
// The forced-rich level, volts.
inline constexpr std::int32_t kForcedRichCode = 70;
// LivelloAlto: the emulated probe's high level, volts.
inline constexpr std::int32_t kEmulationHighCode = 71;
// LivelloBasso: the emulated probe's low level, volts.
inline constexpr std::int32_t kEmulationLowCode = 72;
// EmulazionePosteriore: 0 in cut-off, 1 stabilised, volts.
inline constexpr std::int32_t kRearEmulationCode = 170;
// RitardoGiriEmulazione: the emulation delay, low byte.
inline constexpr std::int32_t kEmulationDelayLowCode = 135;
// The emulation delay, high byte.
inline constexpr std::int32_t kEmulationDelayHighCode = 107;
// CorrSecondaBancata: the second bank's corrections.
inline constexpr std::int32_t kSecondBankCode = 0x49e;
// The OBD protocol, a position in the window's list.
inline constexpr std::int32_t kObdProtocolCode = 187;

// ---- Engine and injection

// NumeroCilindri: the ignition, a code of kCylinderCodes.
inline constexpr std::int32_t kIgnitionCode = 20;
// TipoIniezione: the number of cylinders (stored less one).
inline constexpr std::int32_t kCylindersCode = 52;
// TipoIniettoreSoftware: element 1 the configured injector.
inline constexpr std::int32_t kInjectorPairCode = 148;
// SmagrimentoExtra: the leaning of the map.
inline constexpr std::int32_t kLeaningCode = 22;
// The neutral K of the map (128 / raw).
inline constexpr std::int32_t kNeutralKCode = 188;
// CorrenteMantenimento: the holding current.
inline constexpr std::int32_t kHoldingCurrentCode = 56;
// TempoInjContinua: the continuous injection time.
inline constexpr std::int32_t kContinuousInjectionCode = 54;
// FreqHoldingCurrent: the holding current's frequency.
inline constexpr std::int32_t kHoldingFrequencyCode = 118;
// ValPercHoldingCurrent: the holding current's share.
inline constexpr std::int32_t kHoldingPercentCode = 119;
// SafetyTime.
inline constexpr std::int32_t kSafetyTimeCode = 122;
// TempoMaxCorrente: 0 at full current, 1 between switch-offs, ms.
inline constexpr std::int32_t kMaxCurrentTimesCode = 0x24a;
// TempoMaxCorrenteCutoff, ms.
inline constexpr std::int32_t kCutoffMaxCurrentCode = 0x249;
// The injector parameter, ms.
inline constexpr std::int32_t kInjectorParameterCode = 0x24f;
// SafeDelay, ms.
inline constexpr std::int32_t kSafeDelayCode = 0x28e;
// TempiExtraIniettate: 0 petrol, 1 gas, 2 opening, ms.
inline constexpr std::int32_t kExtraInjTimesCode = 0x29b;
// TempoMaxExtraInjBenz: the longest petrol time, ms.
inline constexpr std::int32_t kExtraInjPetrolMaxCode = 0x29c;

// ---- Switch-over between petrol and gas

// TemperaturaCambio: the reducer's temperature to switch.
inline constexpr std::int32_t kSwitchReducerTempCode = 15;
// RitardoMinimoCambio: the delay of the switch with a warm engine, low byte.
inline constexpr std::int32_t kWarmEngineDelayLowCode = 17;
// RitardoMinimoCambioHigh: that delay, high byte.
inline constexpr std::int32_t kWarmEngineDelayHighCode = 178;
// TemperaturaMotoreCambio: the gas temperature to switch.
inline constexpr std::int32_t kSwitchGasTempCode = 117;
// GiriPerCambio: the rpm of the switch (even).
inline constexpr std::int32_t kSwitchRpmCode = 0x210;
// TInjBenzMaxCambio: the longest petrol time to switch, ms.
inline constexpr std::int32_t kSwitchPetrolMaxCode = 0x292;
// TempoRitBenzina: the return to petrol on a low level.
inline constexpr std::int32_t kPetrolReturnTimeCode = 62;
// The petrol stabilisation injections.
inline constexpr std::int32_t kPetrolStabilisationCode = 106;
// TempoSovrapposizione: the overlap of the switch.
inline constexpr std::int32_t kOverlapTimeCode = 109;
// TempoCicchetto: the priming shot of the switch.
inline constexpr std::int32_t kPrimingTimeCode = 110;
// SmagrimentoRientroCutoff: leaning back from cut-off.
inline constexpr std::int32_t kCutoffReturnLeaningCode = 136;
// NumeroIniettateSmagrimento: the injections leaned back from cut-off.
inline constexpr std::int32_t kCutoffReturnInjectionsCode = 137;

// ---- Auto-calibration

// TemperaturaAutotaratura: the lowest engine temperature.
inline constexpr std::int32_t kCalibrationTempCode = 144;
// ParametriAutotaratura: 0 delta K, 1 checks, 2 checks passed.
inline constexpr std::int32_t kCalibrationParamsCode = 151;
// GiriAutotaratura: the calibration's speed.
inline constexpr std::int32_t kCalibrationRpmCode = 0x296;
// SpostamentoTaratura: the shift below idle, ms.
inline constexpr std::int32_t kCalibrationShiftCode = 0x293;

// ---- Read at connect, straight from the ECU

// The ECU's reset flags: bit 0 set, the ECU was reset and waits for its
// default set (the main window sets it to ask for a reset).
inline constexpr std::int32_t kResetFlagsCode = 1;
// Flag1 and Flag2: the option words (one probe, the modified sequence, ...);
// at connect they choose what a reset ECU is given.
inline constexpr std::int32_t kFlag12Code = 0x2303;
// The injector type the ECU reports after a reset (a row of one value).
inline constexpr std::int32_t kEcuInjectorTypeCode = 0x94;
// The lowest and the recommended program version, major * 256 + minor.
inline constexpr std::int32_t kMinimumProgramVersionCode = 0x24C;
inline constexpr std::int32_t kRecommendedProgramVersionCode = 0x25B;

// ---- Test data

// The test page's byte, word and time (ms), never shown.
inline constexpr std::int32_t kTestByteCode = 23;
inline constexpr std::int32_t kTestWordCode = 0x212;
inline constexpr std::int32_t kTestTimeCode = 0x218;

} // namespace dm
