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

} // namespace protovyx::detail
