#pragma once
// The OBD adaptivity of the Adattività OBD page: how the ECU reads the car's
// fuel-trim correctors (element 0 of item code 185: bit 0 the sign, bits 1-2
// the range) and the adaptation's sensitivity (element 1, 100..250 % in
// steps of 10). Sign and range are independent settings of one byte.
#include <optional>

class TStreamDati;

namespace cfgrules {

inline constexpr int kAdattaCode = 185;
inline constexpr int kAdattaBits = 0;
inline constexpr int kAdattaSensitivity = 1;
inline constexpr int kSensitivityMin = 100;
inline constexpr int kSensitivityMax = 250;
inline constexpr int kSensitivityStep = 10;

// The sign button's Tag: 0 straight ("diritti"), 1 inverted ("invertiti").
int SignTag(int bits);
int WithSign(int bits, int tag);
// The range button's Tag: 0 "max ±25% - ±50%", 1 "max ±50%", 2 "max ±100%";
// -1 for the range code that no button sets (bits 1-2 both set).
int RangeTag(int bits);
int WithRange(int bits, int tag);

// A sign or range button chosen: element 0 written with its Tag's bits.
void ChooseSign(TStreamDati& d, int tag);
void ChooseRange(TStreamDati& d, int tag);

// The sensitivity after a step, none at the end it goes towards (a value
// off the steps moves by a whole step all the same).
std::optional<int> SensitivityStep(int sensitivity, bool increase);
// One step of the sensitivity through the data module (nothing written at
// an end); the value the slider shows, whether or not the ECU took it.
int StepSensitivity(TStreamDati& d, bool increase);

} // namespace cfgrules
