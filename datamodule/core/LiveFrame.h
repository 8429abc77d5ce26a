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

} // namespace dm
