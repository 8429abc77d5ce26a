#pragma once
// A plain engine model behind real-time block 1: warm-up on petrol, then gas,
// and a slow drive cycle. Deterministic in the elapsed time.
#include "protovyx/Simulator.h"

#include <array>
#include <cstdint>
#include <vector>

namespace protovyx::detail {

struct EngineInputs {
    std::uint32_t elapsedMs = 0; // since key on
    const Profile* profile = nullptr;
    const std::vector<std::int32_t>* kMap = nullptr;     // item 0x54, (rows+1) x cols
    const std::vector<std::int32_t>* timeAxis = nullptr; // item 0x37
    const std::vector<std::int32_t>* rpmAxis = nullptr;  // item 0x3d
};

// Fills the 50-byte live frame, little-endian.
void buildLiveFrame(const EngineInputs& in, std::array<std::uint8_t, 50>& frame);

// Whether the ECU reports the OBD blocks 8 and 9 (the OBD types, unless the
// profile says otherwise).
bool answersObd(const Profile& profile);
// OBD block 8 (50 bytes): which correctors and rear-probe readings the ECU
// reports (byte 0 bank 1, byte 1 bank 2: bit 1 fast, bit 2 slow, bit 3
// oxygen), their fault bits (bytes 2, 3), the fast and slow correctors
// (bytes 4, 5 bank 1, bytes 6, 7 bank 2; 128 = 0 %), the rear probes' oxygen
// (bytes 8, 9; 5 mV a count) and the OBD link's state (byte 10: bit 0 info,
// bits 0 and 1 ok). While the engine warms up only the state shows.
void buildObdBlock(const EngineInputs& in, std::array<std::uint8_t, 50>& block);
// OBD block 9 (10 bytes): the gas correctors at idle and off idle, signed
// percent (bytes 0, 1).
void buildObdIdleBlock(const EngineInputs& in, std::array<std::uint8_t, 10>& block);

} // namespace protovyx::detail
