// The simulated ECU as a whole: its state at key on (the profile's items,
// diagnostic state and counters), the link's timing, the record of the calls,
// and the exports that hand it to a fake library loader. The calls are served
// in Protocol.cpp (the link, commands, blocks), Items.cpp (the item calls),
// Programming.cpp (the boot loader) and Control.cpp (the control API); the
// profile text is read in Profile.cpp and the fault rules live in Faults.cpp.
#include "SimulatorState.h"

#include "Counters.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <fstream>
#include <thread>

namespace protovyx {

namespace detail {

namespace {

class SteadyClock final : public IClock {
public:
    std::uint32_t NowMs() override
    {
        using namespace std::chrono;
        return static_cast<std::uint32_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    void SleepMs(std::uint32_t ms) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
};

} // namespace

IClock& steadyClock()
{
    static SteadyClock clock;
    return clock;
}

std::string hex(std::int32_t v)
{
    char buf[16];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<std::uint32_t>(v), 16);
    (void)ec;
    return "0x" + std::string(buf, p);
}

std::string num(long long v)
{
    char buf[24];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
    (void)ec;
    return std::string(buf, p);
}

} // namespace detail

using detail::hex;
using detail::num;

void Simulator::State::reset(const Profile& p)
{
    profile = p;
    for (auto& it : items)
        it.reset();
    for (auto& d : detail::buildCatalogue(p, true)) {
        const int n = d.number;
        Item item;
        item.values = d.defaults;
        item.present = detail::itemPresent(p, n);
        item.def = std::move(d);
        items[static_cast<std::size_t>(n)] = std::move(item);
    }
    // One identity per ECU: type, model and a serial, never the firmware.
    for (std::size_t i = 0; i < identity.size(); ++i)
        identity[i] = static_cast<std::uint8_t>((p.type * 7 + p.model * 13 + i * 29 + 0x5A) & 0xFF);
    identity[0] = static_cast<std::uint8_t>(p.type);
    identity[1] = static_cast<std::uint8_t>(p.model);
    syncIdentity();
    open = false;
    silent = false;
    lost = p.lost;
    present = p.present;
    bootMode = p.bootMode;
    neverReady = p.neverReady;
    rebootActive = false;
    port = 0;
    frameLength = p.frameLength;
    blockReplyLength.clear();
    faults.clear();
    for (const auto& f : p.faults)
        faults.push_back({f, 0, 0});
    lastStatus = 0;
    keyOnMs = now();
    countedMs = 0;
    applyDiagnosticProfile();
    autocal = {};
    programQueue.assign(p.programResults.begin(), p.programResults.end());
}

// The diagnostic state, injector faults and item values the profile asks
// for.
void Simulator::State::applyDiagnosticProfile()
{
    if (auto& it = items[0x1d])
        for (std::size_t i = 0; i < profile.errors.size() && i < it->values.size(); ++i)
            it->values[i] = profile.errors[i];
    const std::pair<int, int> masks[] = {{0x20, profile.gasFaults & 0xFF}, {0x22, profile.gasFaults >> 8},
                                         {0x21, profile.petrolFaults & 0xFF}, {0x23, profile.petrolFaults >> 8}};
    for (const auto& [n, v] : masks)
        if (auto& it = items[static_cast<std::size_t>(n)])
            it->values[0] = v;
    for (const auto& [n, values] : profile.values)
        if (auto& it = items[static_cast<std::size_t>(n)])
            for (std::size_t i = 0; i < values.size() && i < it->values.size(); ++i)
                it->values[i] = values[i];
}

// Brings the running-time counters up to the clock.
void Simulator::State::advanceCounters()
{
    if (!profile.counters)
        return;
    const std::uint32_t elapsed = now() - keyOnMs;
    auto values = [this](int n) { return items[static_cast<std::size_t>(n)] ? &items[static_cast<std::size_t>(n)]->values : nullptr; };
    detail::advanceCounters(profile, countedMs, elapsed,
                            {.gas20 = values(0x3b), .service20 = values(0x55), .petrol20 = values(0x3c),
                             .seconds = values(0x56), .starts = values(0x4e)});
    countedMs = std::max(countedMs, elapsed);
}

// The call log keeps the most recent calls (a long session must not grow
// without end).
void Simulator::State::record(CallRecord&& r)
{
    constexpr std::size_t kKeep = 200000;
    if (calls.size() >= kKeep)
        calls.erase(calls.begin(), calls.begin() + kKeep / 2);
    calls.push_back(std::move(r));
}

void Simulator::State::violation(const CallRecord& r, const std::string& why)
{
    std::string text = r.name + "(" + hex(r.code);
    if (r.row >= 0)
        text += ", " + num(r.row);
    if (r.column >= 0)
        text += ", " + num(r.column);
    text += "): " + why;
    violations.push_back(text);
}

void Simulator::State::trace(const CallRecord& r)
{
    if (profile.trace.empty())
        return;
    std::ofstream out(profile.trace, std::ios::app);
    out << r.timeMs << ' ' << r.name << ' ' << hex(r.code);
    if (r.row >= 0)
        out << " row=" << r.row;
    if (r.column >= 0)
        out << " col=" << r.column;
    out << " result=" << (r.result ? 1 : 0) << " status=" << r.status << '\n';
}

// The time a call moving `bytes` bytes costs; false (after the time-out)
// when it is longer than the time-out.
bool Simulator::State::spend(int bytes)
{
    const long long us = static_cast<long long>(profile.latencyMs) * 1000
        + static_cast<long long>(profile.perByteUs) * std::max(0, bytes);
    const long long ms = us / 1000;
    if (timeout > 0 && ms >= timeout) {
        sleep(static_cast<std::uint32_t>(timeout));
        return false;
    }
    sleep(static_cast<std::uint32_t>(ms));
    return true;
}

// ---------------------------------------------------------------------------

Simulator::Simulator(std::string_view profile) : s_(std::make_unique<State>())
{
    Profile p;
    std::string bad;
    if (!Profile::Parse(profile, p, &bad)) {
        Profile::Parse({}, p);
        s_->violations.push_back("profile: bad value for key \"" + bad + "\"");
    }
    s_->reset(p);
}

Simulator::~Simulator() = default;

// --- In-process exports --------------------------------------------------------

namespace {
Simulator* g_inProcess = nullptr;

extern "C" TEcuProtocol* inProcessCreate() { return g_inProcess; }
extern "C" void inProcessDestroy(TEcuProtocol*) {}
extern "C" bool inProcessVersion(TDllVersion* v)
{
    if (!v)
        return false;
    *v = {1, 0, 0, 0};
    return true;
}
} // namespace

InProcessExports InProcessExportsOf(Simulator* sim)
{
    g_inProcess = sim;
    return {reinterpret_cast<void*>(&inProcessCreate), reinterpret_cast<void*>(&inProcessDestroy),
            reinterpret_cast<void*>(&inProcessVersion)};
}

} // namespace protovyx
