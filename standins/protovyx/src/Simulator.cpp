// The simulated ECU as a whole: its state at key on (the profile's items,
// diagnostic state and counters), the link's timing, the record of the calls,
// and the exports that hand it to a fake library loader; the profile text is
// read in Profile.cpp and the fault rules live in Faults.cpp. Served
// elsewhere: Items.cpp (the item calls); Protocol.cpp (the link, commands,
// blocks). Still here: programming; the control API; the public catalogue.
#include "SimulatorState.h"

#include "Counters.h"
#include "FirmwareMeta.h"
#include "WholeImage.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace protovyx {

namespace detail {

namespace {

class SteadyClock final : public IClock {
public:
    std::uint32_t nowMs() override
    {
        using namespace std::chrono;
        return static_cast<std::uint32_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    void sleepMs(std::uint32_t ms) override
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
    if (!Profile::parse(profile, p, &bad)) {
        Profile::parse({}, p);
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

InProcessExports inProcessExports(Simulator* sim)
{
    g_inProcess = sim;
    return {reinterpret_cast<void*>(&inProcessCreate), reinterpret_cast<void*>(&inProcessDestroy),
            reinterpret_cast<void*>(&inProcessVersion)};
}

using detail::Call;
using detail::Guard;

namespace {

constexpr std::uint32_t kWaitProgress = 0x8191; // WM_WAITPROGRESS

constexpr std::uint32_t kMaxImageBytes = 4u * 1024 * 1024;

struct ImageVerdict {
    int result = -2; // 0 accepted, -2 malformed, -3 not for this ECU, -4 outside the flash
    int type = 0;
    int version = 0;
};

// The checks of the boot loader, in its order: the records, the metadata,
// then the addresses as they are written, against the flash its type keeps
// for the application (the product's table; a type without a row takes no
// image).
ImageVerdict checkImage(std::string_view text, int hwType, int hwVariant)
{
    using namespace qz::firmware;
    ImageVerdict v;
    const std::optional<TApplicationRange> flash = ApplicationRangeOf(hwType);
    int s0 = 0, dataRecords = 0;
    bool inData = false, counted = false, ended = false, outside = false;
    std::string metaRow;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto nl = text.find('\n', pos);
        std::string_view line = text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
        pos = nl == std::string_view::npos ? text.size() : nl + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        TSRecord r;
        if (ParseSRecord(line, r) != TSRecordError::None || ended)
            return v;
        if (r.kind == '0') {
            if (inData)
                return v;
            if (++s0 == 2)
                metaRow = std::string(line.substr(2));
            continue;
        }
        if (!inData && s0 != 3)
            return v;
        inData = true;
        switch (r.kind) {
        case '1': case '2': case '3':
            if (counted)
                return v;
            ++dataRecords;
            if (flash && (r.address < flash->first || r.address + r.data.size() > std::uint64_t{flash->last} + 1))
                outside = true;
            break;
        case '5': case '6':
            if (counted || r.address != static_cast<std::uint32_t>(dataRecords))
                return v;
            counted = true;
            break;
        default: // 7, 8, 9
            ended = true;
            break;
        }
    }
    const TMetaResult meta = DecodeMetaRow(metaRow);
    if (!ended || dataRecords == 0 || !meta.ok())
        return v;
    v.type = meta.meta.type;
    v.version = meta.meta.version;
    const unsigned bit = static_cast<unsigned>(hwVariant) & 31;
    if (!flash || meta.meta.type != hwType || bit >= 8 || ((meta.meta.variantMask >> bit) & 1) == 0) {
        v.result = -3;
        return v;
    }
    v.result = outside ? -4 : 0;
    return v;
}

// How far the progress gets before the result: the whole way for a success,
// half way for the failures found while writing (the flash is erased by
// then), the start for those found before.
int progressLimit(int result)
{
    switch (result) {
    case 0: return 100;
    case -1: return -1;
    case 1: case 2: case -2: case -3: return 0;
    default: return 50;
    }
}

bool leavesBootMode(int result)
{
    return progressLimit(result) == 50;
}

} // namespace

// A new application: the image's type and version, every parameter at
// its default, no model byte and no personalisation yet. The identity
// (the hardware) stays.
void Simulator::State::flash(int type, int version)
{
    profile.type = type;
    profile.fwMajor = (version >> 8) & 0xFF;
    profile.fwMinor = version & 0xFF;
    for (auto& it : items)
        it.reset();
    for (auto& d : detail::buildCatalogue(profile, true)) {
        const int n = d.number;
        Item item;
        item.values = d.defaults;
        item.present = detail::itemPresent(profile, n);
        item.def = std::move(d);
        items[static_cast<std::size_t>(n)] = std::move(item);
    }
    syncIdentity();
    if (auto& it = items[0x40])
        std::fill(it->values.begin(), it->values.end(), 253);
    if (auto& it = items[0x33])
        std::fill(it->values.begin(), it->values.end(), 0);
    bootMode = false;
}

std::int32_t Simulator::ProgramFirmwareFile(const char*, std::int32_t, std::int32_t, std::int32_t)
{
    Guard g(*s_);
    // The program hands images, never files: refused, the ECU unchanged.
    Call(*s_, Op::Program, "ProgramFirmwareFile", 0).done(false, ECU_STATUS_LINK);
    return 1;
}

std::int32_t Simulator::ProgramFirmwareImage(const void* image, std::int32_t a, std::int32_t b, std::int32_t c)
{
    State& s = *s_;
    std::optional<Call> call;
    int result = 0;
    ImageVerdict verdict;
    plat::NotifyTarget* target = nullptr;
    IClock* clock = nullptr;
    std::uint32_t stepMs = 0;
    {
        Guard g(s);
        std::uint32_t n = 0;
        if (image) {
            const auto* p = static_cast<const std::uint8_t*>(image);
            n = p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
        }
        call.emplace(s, Op::Program, "ProgramFirmwareImage", static_cast<std::int32_t>(n));
        call->r.in = {a, b, c};
        if (a != 2 || b != 0 || c != 1)
            s.violation(call->r, "programming arguments are not 2, 0, 1");
        if (!image) {
            s.violation(call->r, "null image");
            result = -2;
        } else if (s.lost || !s.answering() || s.port != s.profile.port) {
            s.sleep(static_cast<std::uint32_t>(std::max(0, s.timeout)));
            result = -1;
        } else if (n > kMaxImageBytes) {
            result = -2;
        } else {
            const std::string_view text(static_cast<const char*>(image) + 4, n);
            const int hw = s.items[0x15] ? s.items[0x15]->values[0] : s.profile.hwVariant;
            verdict = checkImage(text, s.profile.type, hw);
            result = verdict.result;
        }
        // One scripted result per attempt; it counts only for an image the
        // ECU took.
        if (!s.programQueue.empty()) {
            const int scripted = s.programQueue.front();
            s.programQueue.pop_front();
            if (result == 0)
                result = scripted;
        }
        target = s.notify;
        clock = s.clock;
        stepMs = static_cast<std::uint32_t>(std::max(0, s.profile.programMs)) / 20;
    }
    // Synchronous progress, without the lock: the wait form repaints inside.
    for (int pct = 0; pct <= progressLimit(result); pct += 5) {
        if (pct > 0 && stepMs)
            clock->sleepMs(stepMs);
        {
            Guard g(s);
            s.notifications.push_back({kWaitProgress, static_cast<std::uintptr_t>(pct), 0, true});
        }
        if (target)
            target->Send(kWaitProgress, static_cast<std::uintptr_t>(pct), 0);
    }
    Guard g(s);
    if (result == 0) {
        s.flash(verdict.type, verdict.version);
        s.setOpen(false);
        s.startReboot();
    } else if (leavesBootMode(result)) {
        s.bootMode = true;
    }
    call->r.out = {result};
    call->done(result == 0, result == 0 ? 0 : ECU_STATUS_LINK);
    return result;
}

using detail::Guard;
using detail::masked;
using detail::steadyClock;

// --- ISimControl --------------------------------------------------------------

void Simulator::setProfile(std::string_view profileText)
{
    Guard g(*s_);
    Profile p;
    std::string bad;
    if (!Profile::parse(profileText, p, &bad)) {
        s_->violations.push_back("profile: bad value for key \"" + bad + "\"");
        return;
    }
    s_->setOpen(false);
    s_->reset(p);
}

const Profile& Simulator::profile() const { return s_->profile; }

void Simulator::setClock(IClock* clock)
{
    Guard g(*s_);
    s_->clock = clock ? clock : &steadyClock();
    s_->keyOnMs = s_->now();
    s_->countedMs = 0;
}

void Simulator::setStrict(bool strict)
{
    Guard g(*s_);
    s_->profile.strict = strict;
}

void Simulator::addFault(const FaultSpec& fault)
{
    Guard g(*s_);
    s_->faults.push_back({fault, 0, 0});
}

void Simulator::clearFaults()
{
    Guard g(*s_);
    s_->faults.clear();
}

void Simulator::setItemPresent(int item, bool present)
{
    Guard g(*s_);
    if (auto& it = s_->items[static_cast<std::size_t>(item & 0xFF)])
        it->present = present;
}

bool Simulator::peekItem(int item, std::vector<std::int32_t>& values) const
{
    Guard g(*s_);
    const auto& it = s_->items[static_cast<std::size_t>(item & 0xFF)];
    if (!it || !it->present)
        return false;
    values = it->values;
    return true;
}

bool Simulator::pokeItem(int item, std::span<const std::int32_t> values)
{
    Guard g(*s_);
    auto& it = s_->items[static_cast<std::size_t>(item & 0xFF)];
    if (!it || values.size() != it->values.size())
        return false;
    for (std::size_t i = 0; i < values.size(); ++i)
        it->values[i] = masked(it->def, values[i]);
    if ((item & 0xFF) == 0)
        for (std::size_t i = 0; i < 20; ++i)
            s_->identity[i] = static_cast<std::uint8_t>(it->values[i]);
    return true;
}

void Simulator::setSilent(bool silent)
{
    Guard g(*s_);
    s_->silent = silent;
}

void Simulator::loseLink()
{
    Guard g(*s_);
    s_->lost = true;
    s_->setOpen(false);
}

void Simulator::restoreLink()
{
    Guard g(*s_);
    s_->lost = false;
    s_->silent = false;
}

void Simulator::setLatency(int ms, int perByteUs)
{
    Guard g(*s_);
    s_->profile.latencyMs = ms;
    s_->profile.perByteUs = perByteUs;
}

void Simulator::setPresent(bool present)
{
    Guard g(*s_);
    s_->present = present;
}

void Simulator::setBootMode(bool boot)
{
    Guard g(*s_);
    s_->bootMode = boot;
}

void Simulator::setRebootMs(int ms)
{
    Guard g(*s_);
    s_->profile.rebootMs = ms;
}

void Simulator::setNeverReady(bool neverReady)
{
    Guard g(*s_);
    s_->neverReady = neverReady;
}

void Simulator::swapIdentity(std::span<const std::uint8_t, 20> identity)
{
    Guard g(*s_);
    std::copy(identity.begin(), identity.end(), s_->identity.begin());
    s_->syncIdentity();
}

void Simulator::setLiveFrameLength(int bytes)
{
    Guard g(*s_);
    s_->frameLength = std::clamp(bytes, 0, 50);
}

void Simulator::setBlockReplyLength(int block, int bytes)
{
    Guard g(*s_);
    if (bytes < 0)
        s_->blockReplyLength.erase(block);
    else
        s_->blockReplyLength[block] = bytes;
}

void Simulator::setCommandOverride(int command, std::optional<std::vector<std::uint8_t>> reply, bool ok)
{
    Guard g(*s_);
    s_->overrides[command] = {std::move(reply), ok};
}

bool Simulator::linkOpen() const
{
    Guard g(*s_);
    return s_->open;
}

bool Simulator::rebooting() const
{
    Guard g(*s_);
    return s_->isRebooting();
}

int Simulator::currentPort() const
{
    Guard g(*s_);
    return s_->port;
}

std::vector<CallRecord> Simulator::calls() const
{
    Guard g(*s_);
    return s_->calls;
}

void Simulator::clearCalls()
{
    Guard g(*s_);
    s_->calls.clear();
}

std::vector<Notification> Simulator::notifications() const
{
    Guard g(*s_);
    return s_->notifications;
}

void Simulator::clearNotifications()
{
    Guard g(*s_);
    s_->notifications.clear();
}

std::vector<std::string> Simulator::violations() const
{
    Guard g(*s_);
    return s_->violations;
}

void Simulator::clearViolations()
{
    Guard g(*s_);
    s_->violations.clear();
}

std::string Simulator::messageText(int index) const
{
    Guard g(*s_);
    auto it = s_->texts.find(index);
    return it == s_->texts.end() ? std::string() : it->second;
}

std::string Simulator::messageCaption() const
{
    Guard g(*s_);
    return s_->caption;
}

std::int32_t Simulator::timeoutMs() const
{
    Guard g(*s_);
    return s_->timeout;
}

void Simulator::setProgramResults(std::vector<int> results)
{
    Guard g(*s_);
    s_->profile.programResults = results;
    s_->programQueue.assign(results.begin(), results.end());
}

void Simulator::setProgramDurationMs(int ms)
{
    Guard g(*s_);
    s_->profile.programMs = std::max(0, ms);
}

using detail::Access;

std::vector<ItemInfo> catalogue(const Profile& profile)
{
    std::vector<ItemInfo> out;
    for (const auto& d : detail::buildCatalogue(profile, true))
        out.push_back({d.number, d.width, d.isSigned, d.rows, d.cols, d.access == Access::RO,
                       d.access == Access::WO, d.name, detail::itemPresent(profile, d.number)});
    return out;
}

} // namespace protovyx
