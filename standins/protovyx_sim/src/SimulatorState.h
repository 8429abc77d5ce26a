#pragma once
// The simulated ECU's state, shared by the simulator's source files: the
// items and the link as every call finds them, the lock guard, and the record
// of a call being served. The members too long to stay here are defined with
// the code of their job.
#include "protovyx/Simulator.h"

#include "Autocal.h"
#include "Catalogue.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace protovyx {

namespace detail {

constexpr std::uint32_t kConnectionEvent = 0x8190; // WM_CONNECTIONEVENT
constexpr std::int32_t kMalformed = ECU_STATUS_REFUSED;

// The steady clock: the simulator's time until a test gives it its own.
IClock& steadyClock();

// Numbers as the violations and the trace write them.
std::string hex(std::int32_t v);
std::string num(long long v);

// The value as the ECU's memory keeps it: masked to the width, sign-extended
// for signed items.
std::int32_t masked(const ItemDef& d, std::int32_t v);

} // namespace detail

struct Simulator::State {
    struct Item {
        detail::ItemDef def;
        std::vector<std::int32_t> values;
        bool present = true;
    };
    struct ActiveFault {
        FaultSpec rule;
        int seen = 0;
        int failed = 0;
    };
    struct Override {
        std::optional<std::vector<std::uint8_t>> reply;
        bool ok;
    };

    mutable std::recursive_mutex mutex;
    int depth = 0;
    std::vector<Notification> pending; // delivered once the lock is left

    Profile profile;
    IClock* clock = &detail::steadyClock();
    std::array<std::optional<Item>, 256> items;
    std::array<std::uint8_t, 20> identity{};

    bool open = false;
    bool silent = false;
    bool lost = false;
    bool present = true;
    bool bootMode = false;
    bool neverReady = false;
    bool inReconnect = false;
    std::uint32_t rebootUntil = 0;
    bool rebootActive = false;
    int port = 0;
    std::int32_t timeout = 1200;
    std::int32_t lastStatus = 0;
    std::int32_t linkOptions[3] = {0, 0, 0};
    int frameLength = 50;
    std::map<int, int> blockReplyLength; // block -> bytes at most
    plat::NotifyTarget* notify = nullptr;
    std::string caption;
    std::map<int, std::string> texts;
    std::map<int, Override> overrides;
    std::vector<ActiveFault> faults;
    std::vector<CallRecord> calls;
    std::vector<Notification> notifications;
    std::vector<std::string> violations;
    std::uint64_t seq = 0;
    std::uint32_t keyOnMs = 0;
    std::uint32_t countedMs = 0; // running time since key on already counted
    bool writeSession = false;
    std::deque<int> programQueue;
    detail::AutocalModel autocal;

    std::uint32_t now() { return clock->NowMs(); }

    // Key on with a profile; the profile's diagnostic state and values; the
    // running-time counters.
    void reset(const Profile& p);
    void applyDiagnosticProfile();
    void advanceCounters();
    // A new application after programming.
    void flash(int type, int version);

    // The call log, the violations and the trace.
    void record(CallRecord&& r);
    void violation(const CallRecord& r, const std::string& why);
    void trace(const CallRecord& r);

    void syncIdentity()
    {
        if (auto& it = items[0]) {
            for (std::size_t i = 0; i < 20; ++i)
                it->values[i] = identity[i];
        }
    }

    bool isRebooting()
    {
        if (rebootActive && static_cast<std::int32_t>(now() - rebootUntil) >= 0)
            rebootActive = false;
        return rebootActive;
    }

    void startReboot()
    {
        rebootActive = profile.rebootMs > 0;
        rebootUntil = now() + static_cast<std::uint32_t>(std::max(0, profile.rebootMs));
    }

    // Does the ECU answer on the open link?
    bool answering() { return present && !silent && !lost && !isRebooting(); }
    // Does its application answer (the boot loader knows only the identity)?
    bool appAnswering() { return answering() && !bootMode; }

    void post(std::uintptr_t w, std::intptr_t l)
    {
        Notification n{detail::kConnectionEvent, w, l, false};
        notifications.push_back(n);
        pending.push_back(n);
    }

    void setOpen(bool o)
    {
        if (o == open)
            return;
        open = o;
        post(0, o ? 1 : 0);
    }

    void sleep(std::uint32_t ms)
    {
        if (ms)
            clock->SleepMs(ms);
    }

    // The time a call costs.
    bool spend(int bytes);
    // The first armed fault rule matching the call, counted.
    const FaultSpec* fault(const CallRecord& r);
};

namespace detail {

// Holds the simulator's lock; the notifications gathered meanwhile are
// delivered after the outermost guard has released it.
class Guard {
public:
    explicit Guard(Simulator::State& s) : s_(s)
    {
        s_.mutex.lock();
        ++s_.depth;
    }
    ~Guard()
    {
        std::vector<Notification> out;
        plat::NotifyTarget* target = s_.notify;
        if (--s_.depth == 0)
            out.swap(s_.pending);
        s_.mutex.unlock();
        if (target)
            for (const auto& n : out)
                target->Post(n.message, n.wParam, n.lParam);
    }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

private:
    Simulator::State& s_;
};

// A call being served: its record, finished by done().
struct Call {
    Simulator::State& s;
    CallRecord r;
    Call(Simulator::State& st, Op op, const char* name, std::int32_t code, std::int32_t row = -1,
         std::int32_t col = -1)
        : s(st)
    {
        r.seq = ++s.seq;
        r.op = op;
        r.name = name;
        r.code = code;
        r.row = row;
        r.column = col;
        r.timeMs = s.now();
    }
    bool done(bool result, std::int32_t status)
    {
        r.result = result;
        r.status = status;
        s.lastStatus = status;
        s.trace(r);
        s.record(std::move(r));
        return result;
    }
    // Records a call that reports nothing (setters, brackets).
    void note()
    {
        r.status = s.lastStatus;
        s.trace(r);
        s.record(std::move(r));
    }
};

} // namespace detail

} // namespace protovyx
