#pragma once
// The simulated ECU's running-time counters and its diagnostic start-up
// state (the profile keys counters=, errors=, gasfaults=, petrolfaults=).
#include "protovyx/Simulator.h"

#include <cstdint>
#include <vector>

namespace protovyx::detail {

// The counter items an advance touches (null: the ECU has no such item).
struct CounterItems {
    std::vector<std::int32_t>* gas20 = nullptr;     // 0x3b, 20-minute units on gas
    std::vector<std::int32_t>* service20 = nullptr; // 0x55, 20-minute units since the last service
    std::vector<std::int32_t>* petrol20 = nullptr;  // 0x3c, 20-minute units on petrol
    std::vector<std::int32_t>* seconds = nullptr;   // 0x56: gas, service, petrol seconds below 1200
    std::vector<std::int32_t>* starts = nullptr;    // 0x4e, starts on gas
};

// Counts the engine's running time between two moments since key on (ms):
// on petrol until the warm-up ends, on gas afterwards (as the engine model
// runs). Whole seconds go into 0x56; every full 1200 s carries one unit into
// the matching 20-minute counter; the switch to gas counts one start.
void advanceCounters(const Profile& profile, std::uint32_t fromMs, std::uint32_t toMs, const CounterItems& items);

// The items a counter read must bring up to date first.
bool isCounterItem(int number);

} // namespace protovyx::detail
