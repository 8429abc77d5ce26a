#include "AdattaRules.h"

#include "datamodule/core/Scaling.h"
#include "datamodule/core/iodata.h"

namespace cfgrules {

namespace {

constexpr int kSignBit = 0x1;
constexpr int kRangeBits = 0x6;

} // namespace

int SignTag(int bits) { return (bits & kSignBit) ? 1 : 0; }

int WithSign(int bits, int tag) { return tag == 1 ? bits | kSignBit : bits & ~kSignBit; }

int RangeTag(int bits)
{
    switch (bits & kRangeBits) {
    case 0: return 0;
    case 2: return 1;
    case 4: return 2;
    default: return -1;
    }
}

int WithRange(int bits, int tag)
{
    const int cleared = bits & ~kRangeBits;
    if (tag == 1)
        return cleared | 2;
    if (tag == 2)
        return cleared | 4;
    return cleared;
}

std::optional<int> SensitivityStep(int sensitivity, bool increase)
{
    if (increase)
        return sensitivity < kSensitivityMax ? std::optional(sensitivity + kSensitivityStep) : std::nullopt;
    return sensitivity > kSensitivityMin ? std::optional(sensitivity - kSensitivityStep) : std::nullopt;
}

namespace {

int bitsOf(TStreamDati& d) { return dm::TruncToInt(d.GetElementByCode(kAdattaCode, kAdattaBits)); }

} // namespace

void ChooseSign(TStreamDati& d, int tag) { d.SetElementByCode(kAdattaCode, kAdattaBits, WithSign(bitsOf(d), tag)); }

void ChooseRange(TStreamDati& d, int tag) { d.SetElementByCode(kAdattaCode, kAdattaBits, WithRange(bitsOf(d), tag)); }

int StepSensitivity(TStreamDati& d, bool increase)
{
    int value = dm::TruncToInt(d.GetElementByCode(kAdattaCode, kAdattaSensitivity));
    if (const auto next = SensitivityStep(value, increase)) {
        value = *next;
        d.SetElementByCode(kAdattaCode, kAdattaSensitivity, value);
    }
    return value;
}

} // namespace cfgrules
