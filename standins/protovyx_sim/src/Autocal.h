#pragma once
// The simulated ECU's auto-calibration: the measuring step (command 0x1B),
// the calibration itself (start 0x13, progress 0x14, abort 0x15, close 0x12)
// and the map K it leaves behind. The profile keys autocalms=, autocalwarm=,
// autocalflags=, autocalpetrol=, autocalk= and autocalfault= drive it (see
// Simulator.h).
#include "protovyx/Simulator.h"

#include <array>
#include <cstdint>
#include <vector>

namespace protovyx::detail {

struct AutocalModel {
    enum class Mode { Idle, Measuring, Running, Finished };
    Mode mode = Mode::Idle;
    std::uint32_t startMs = 0; // when the measuring step or the calibration began
};

enum class AutocalAnswer {
    NotMine,   // not an auto-calibration command
    Reply,     // reply holds the answer
    Refused,   // the ECU refuses (the call fails with a link status)
    LinkLost,  // the link drops before the answer; the calibration is dropped
};

// What a command needs from the ECU around it.
struct AutocalContext {
    const Profile* profile = nullptr;
    std::uint32_t nowMs = 0;
    std::vector<std::int32_t>* kMap = nullptr; // item 0x54, rows x columns
};

// One command. data/length: the bytes the caller sent.
AutocalAnswer autocalCommand(AutocalModel& model, const AutocalContext& ctx, int command, const std::uint8_t* data,
                             int length, std::vector<std::uint8_t>& reply);

// The phase the running calibration has reached (0..12, 13 while warming up).
int autocalPhase(const AutocalModel& model, const Profile& profile, std::uint32_t nowMs);

// During the measuring step the ECU keeps the engine on petrol and the
// driver idles and revs it: 6 s at idle (800 rpm, 3 ms), 1.5 s with the
// pedal down (3200 rpm, autocalpetrol ms), 2.5 s at idle, and again.
struct MeasuringPoint {
    int rpm;
    double petrolMs;
};
MeasuringPoint measuringPoint(const Profile& profile, std::uint32_t sinceStartMs);

// Lays the measuring step over the engine model's live frame.
void autocalFrame(const AutocalModel& model, const Profile& profile, std::uint32_t nowMs,
                  std::array<std::uint8_t, 50>& frame);

} // namespace protovyx::detail
