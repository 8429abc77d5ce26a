#pragma once
// The 50-byte real-time block (ReadBlock block 1), decoded field by field
// from its little-endian bytes.
#include <cstdint>

namespace dm {

inline constexpr int kLiveFrameSize = 50;
// The second-bank fields count from this many bytes on.
inline constexpr int kLiveFrameSecondBankLength = 20;

// Status bits of StatusFlags (offset 11).
enum : std::uint8_t {
    LIVE_EXTRA_INJECTION = 0x01,
    LIVE_CUTOFF = 0x04,
    LIVE_CHANGEOVER_PENDING = 0x08,
    LIVE_ON_GAS = 0x10,
    LIVE_PROBE1_ACTIVE = 0x20,
    LIVE_PROBE2_ACTIVE = 0x40,
    LIVE_KEY_ON = 0x80,
};

struct TLiveFrame {
    std::uint16_t Rpm = 0;          // 0
    std::uint8_t Lambda1 = 0;       // 2: volts = value x 5 / 255
    std::uint8_t Raw3 = 0;          // 3
    std::int16_t Raw4 = 0;          // 4
    std::uint16_t GasTime1 = 0;     // 6: time-base units
    std::uint16_t PetrolTime1 = 0;  // 8
    std::int8_t StatusLow = 0;      // 10
    std::uint8_t StatusFlags = 0;   // 11
    std::uint8_t ReducerTemp = 0;   // 12: engine sensor count
    std::uint8_t GasLevel = 0;      // 13
    std::int16_t GasPressure = 0;   // 14: (value / 10) x 0.01 bar
    std::uint8_t GasTemp = 0;       // 16: gas sensor count
    std::int16_t MapPressure = 0;   // 17 (unaligned)
    std::uint8_t Raw19 = 0;         // 19
    std::int8_t GasAdaptation = 0;  // 20: percent
    std::uint8_t Lambda2 = 0;       // 21
    std::int16_t Raw22 = 0;         // 22
    std::uint16_t GasTime2 = 0;     // 24
    std::int16_t Raw26 = 0;         // 26
    std::uint16_t PetrolTime2 = 0;  // 28
    int Length = 0;                 // bytes that arrived (0..50)
};

// Decodes the first `length` bytes of data (clamped to 0..50); a field that
// does not lie wholly within them reads 0.
TLiveFrame DecodeLiveFrame(const std::uint8_t* data, int length);

// Pressures in bar: (value / 10, integer division) x 0.01.
inline double LivePressureBar(std::int16_t value) { return (value / 10) * 0.01; }

// Whether the frame reached the second-bank fields (at least 20 bytes).
inline bool CarriesSecondBank(const TLiveFrame& f) { return f.Length >= kLiveFrameSecondBankLength; }

// A lambda probe's byte in volts: raw x 5 / 255.
double LambdaVolts(std::uint8_t raw);

// The values of one frame in the units the live windows show and record.
struct TLiveValues {
    std::uint32_t Rpm = 0;
    double Lambda1 = 0;             // volts
    double GasTime1 = 0;            // ms, through the time base
    double PetrolTime1 = 0;         // ms
    std::int32_t StatusLow = 0;     // sign-extended
    std::int32_t StatusFlags = 0;   // LIVE_* bits
    std::int32_t ReducerTempRaw = 0; // sensor counts; 0 = not available
    std::int32_t GasTempRaw = 0;
    double ReducerTemp = 0;         // degrees C by the engine sensor table; 0 when the count is 0
    double GasTemp = 0;             // degrees C by the gas sensor table; 0 when the count is 0
    std::int32_t Level = 0;         // gas level count
    std::int32_t GasPressure = 0;   // hundredths of bar: value / 10, truncated toward zero
    std::int32_t MapPressure = 0;   // hundredths of bar, the same
    std::int32_t Adaptation = 0;    // percent, signed
    // The second bank: replaced only when it is taken.
    double Lambda2 = 0;
    double GasTime2 = 0;
    double PetrolTime2 = 0;
};

// Decodes frame into values, injection times by timeBase (item 0x279). The
// second-bank values are replaced only when takeSecondBank; otherwise they
// keep what values held. The windows choose: the configuration window, the
// live view and the auto-calibration window take them when the frame
// CarriesSecondBank, the graph and the recordings when the ECU has a second
// probe.
void DecodeLiveValues(const TLiveFrame& frame, std::int32_t timeBase, bool takeSecondBank, TLiveValues& values);

} // namespace dm
