#include "Autocal.h"

#include "Catalogue.h"

#include <algorithm>

namespace protovyx::detail {

namespace {

constexpr int kPhaseFinished = 12;
constexpr int kPhaseWarming = 13;
constexpr int kPhaseDrop = 6;       // where autocalfault=drop loses the link
constexpr int kPhaseStuck = 11;     // where autocalfault=never stays
constexpr std::uint8_t kNoPhase = 0xFF; // no calibration running

void put16le(std::array<std::uint8_t, 50>& f, int at, int v)
{
    const auto u = static_cast<std::uint16_t>(v);
    f[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(u & 0xFF);
    f[static_cast<std::size_t>(at) + 1] = static_cast<std::uint8_t>(u >> 8);
}

// The calibration's result: every cell of map K scaled by autocalk percent.
void applyResult(const Profile& p, std::vector<std::int32_t>* kMap)
{
    if (!kMap)
        return;
    for (auto& cell : *kMap)
        cell = std::clamp(cell * p.autocalKPercent / 100, 0, 255);
}

} // namespace

int autocalPhase(const AutocalModel& model, const Profile& p, std::uint32_t nowMs)
{
    if (model.mode == AutocalModel::Mode::Finished)
        return kPhaseFinished;
    const std::uint32_t elapsed = nowMs - model.startMs;
    const auto warmMs = static_cast<std::uint32_t>(std::max(0, p.autocalWarmS)) * 1000u;
    if (elapsed < warmMs)
        return kPhaseWarming;
    const auto run = static_cast<long long>(elapsed - warmMs);
    const long long total = std::max(1, p.autocalMs);
    int phase = static_cast<int>(std::min<long long>(kPhaseFinished, run * kPhaseFinished / total));
    if (p.autocalFault == AutocalFault::Never)
        phase = std::min(phase, kPhaseStuck);
    return phase;
}

MeasuringPoint measuringPoint(const Profile& p, std::uint32_t sinceStartMs)
{
    const std::uint32_t t = sinceStartMs % 10000u;
    if (t >= 6000u && t < 7500u)
        return {3200, static_cast<double>(p.autocalPetrolMs)};
    return {800, 3.0};
}

AutocalAnswer autocalCommand(AutocalModel& m, const AutocalContext& ctx, int command, const std::uint8_t* data,
                             int length, std::vector<std::uint8_t>& reply)
{
    const Profile& p = *ctx.profile;
    using Mode = AutocalModel::Mode;
    reply.clear();
    switch (command) {
    case 0x1B: { // measuring step: 0 begin, 1 measure, 2 end
        if (length < 1 || !data || p.autocalFault == AutocalFault::NoMeasure)
            return AutocalAnswer::Refused;
        switch (data[0]) {
        case 0:
            if (m.mode == Mode::Running)
                return AutocalAnswer::Refused;
            m.mode = Mode::Measuring;
            m.startMs = ctx.nowMs;
            reply = {0};
            return AutocalAnswer::Reply;
        case 1: {
            if (m.mode != Mode::Measuring)
                return AutocalAnswer::Refused;
            const MeasuringPoint pt = measuringPoint(p, ctx.nowMs - m.startMs);
            const int raw = timeUnits(pt.petrolMs, p.timeBase);
            reply = {static_cast<std::uint8_t>(raw & 0xFF), static_cast<std::uint8_t>((raw >> 8) & 0xFF)};
            return AutocalAnswer::Reply;
        }
        case 2:
            if (m.mode == Mode::Measuring)
                m.mode = Mode::Idle;
            reply = {0};
            return AutocalAnswer::Reply;
        default:
            return AutocalAnswer::Refused;
        }
    }
    case 0x13: // start (or restart) the calibration
        if (p.autocalFault == AutocalFault::NoStart)
            return AutocalAnswer::Refused;
        m.mode = Mode::Running;
        m.startMs = ctx.nowMs;
        reply = {0};
        return AutocalAnswer::Reply;
    case 0x14: { // progress: phase, refusal flags, warm-up seconds (high byte first)
        if (m.mode != Mode::Running && m.mode != Mode::Finished) {
            reply = {kNoPhase, 0, 0, 0};
            return AutocalAnswer::Reply;
        }
        if (m.mode == Mode::Running && p.autocalFault == AutocalFault::Refuse) {
            reply = {0, static_cast<std::uint8_t>(p.autocalFlags & 0xFF), 0, 0};
            return AutocalAnswer::Reply;
        }
        const int phase = autocalPhase(m, p, ctx.nowMs);
        if (p.autocalFault == AutocalFault::Drop && phase >= kPhaseDrop && phase != kPhaseWarming) {
            // The ECU gives up its calibration when the link goes.
            m.mode = Mode::Idle;
            return AutocalAnswer::LinkLost;
        }
        int seconds = 0;
        if (phase == kPhaseWarming) {
            const std::uint32_t warmMs = static_cast<std::uint32_t>(p.autocalWarmS) * 1000u;
            seconds = static_cast<int>((warmMs - (ctx.nowMs - m.startMs) + 999u) / 1000u);
        }
        if (phase == kPhaseFinished && m.mode == Mode::Running) {
            applyResult(p, ctx.kMap);
            m.mode = Mode::Finished;
        }
        reply = {static_cast<std::uint8_t>(phase), 0, static_cast<std::uint8_t>((seconds >> 8) & 0xFF),
                 static_cast<std::uint8_t>(seconds & 0xFF)};
        return AutocalAnswer::Reply;
    }
    case 0x15: // abort: map K stays as it was
        m.mode = Mode::Idle;
        reply = {0};
        return AutocalAnswer::Reply;
    case 0x12: // closes a finished calibration (and ends a write session)
        if (m.mode == Mode::Finished)
            m.mode = Mode::Idle;
        return AutocalAnswer::NotMine;
    default:
        return AutocalAnswer::NotMine;
    }
}

void autocalFrame(const AutocalModel& m, const Profile& p, std::uint32_t nowMs, std::array<std::uint8_t, 50>& f)
{
    if (m.mode != AutocalModel::Mode::Measuring)
        return;
    const MeasuringPoint pt = measuringPoint(p, nowMs - m.startMs);
    const int raw = timeUnits(pt.petrolMs, p.timeBase);
    put16le(f, 0, pt.rpm);
    put16le(f, 6, 0);        // no gas
    put16le(f, 8, raw);
    f[11] = static_cast<std::uint8_t>(f[11] & ~0x18); // on petrol, no change-over
    if (bankCount(p) > 1) {
        put16le(f, 24, 0);
        put16le(f, 28, raw);
    }
}

} // namespace protovyx::detail
