// The control API (ISimControl) the tests and the harness use: the profile
// and the clock, faults, the ECU's memory without the link, the link's and
// the ECU's condition, and what the simulator recorded.
#include "SimulatorState.h"

#include <algorithm>

namespace protovyx {

using detail::Guard;
using detail::masked;
using detail::steadyClock;

// --- ISimControl --------------------------------------------------------------

void Simulator::SetProfile(std::string_view profileText)
{
    Guard g(*s_);
    Profile p;
    std::string bad;
    if (!Profile::Parse(profileText, p, &bad)) {
        s_->violations.push_back("profile: bad value for key \"" + bad + "\"");
        return;
    }
    s_->setOpen(false);
    s_->reset(p);
}

const Profile& Simulator::CurrentProfile() const { return s_->profile; }

void Simulator::SetClock(IClock* clock)
{
    Guard g(*s_);
    s_->clock = clock ? clock : &steadyClock();
    s_->keyOnMs = s_->now();
    s_->countedMs = 0;
}

void Simulator::SetStrict(bool strict)
{
    Guard g(*s_);
    s_->profile.strict = strict;
}

void Simulator::AddFault(const FaultSpec& fault)
{
    Guard g(*s_);
    s_->faults.push_back({fault, 0, 0});
}

void Simulator::ClearFaults()
{
    Guard g(*s_);
    s_->faults.clear();
}

void Simulator::SetItemPresent(int item, bool present)
{
    Guard g(*s_);
    if (auto& it = s_->items[static_cast<std::size_t>(item & 0xFF)])
        it->present = present;
}

bool Simulator::PeekItem(int item, std::vector<std::int32_t>& values) const
{
    Guard g(*s_);
    const auto& it = s_->items[static_cast<std::size_t>(item & 0xFF)];
    if (!it || !it->present)
        return false;
    values = it->values;
    return true;
}

bool Simulator::PokeItem(int item, std::span<const std::int32_t> values)
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

void Simulator::SetSilent(bool silent)
{
    Guard g(*s_);
    s_->silent = silent;
}

void Simulator::LoseLink()
{
    Guard g(*s_);
    s_->lost = true;
    s_->setOpen(false);
}

void Simulator::RestoreLink()
{
    Guard g(*s_);
    s_->lost = false;
    s_->silent = false;
}

void Simulator::SetLatency(int ms, int perByteUs)
{
    Guard g(*s_);
    s_->profile.latencyMs = ms;
    s_->profile.perByteUs = perByteUs;
}

void Simulator::SetPresent(bool present)
{
    Guard g(*s_);
    s_->present = present;
}

void Simulator::SetBootMode(bool boot)
{
    Guard g(*s_);
    s_->bootMode = boot;
}

void Simulator::SetRebootMs(int ms)
{
    Guard g(*s_);
    s_->profile.rebootMs = ms;
}

void Simulator::SetNeverReady(bool neverReady)
{
    Guard g(*s_);
    s_->neverReady = neverReady;
}

void Simulator::SwapIdentity(std::span<const std::uint8_t, 20> identity)
{
    Guard g(*s_);
    std::copy(identity.begin(), identity.end(), s_->identity.begin());
    s_->syncIdentity();
}

void Simulator::SetLiveFrameLength(int bytes)
{
    Guard g(*s_);
    s_->frameLength = std::clamp(bytes, 0, 50);
}

void Simulator::SetBlockReplyLength(int block, int bytes)
{
    Guard g(*s_);
    if (bytes < 0)
        s_->blockReplyLength.erase(block);
    else
        s_->blockReplyLength[block] = bytes;
}

void Simulator::SetCommandOverride(int command, std::optional<std::vector<std::uint8_t>> reply, bool ok)
{
    Guard g(*s_);
    s_->overrides[command] = {std::move(reply), ok};
}

bool Simulator::LinkOpen() const
{
    Guard g(*s_);
    return s_->open;
}

bool Simulator::Rebooting() const
{
    Guard g(*s_);
    return s_->isRebooting();
}

int Simulator::CurrentPort() const
{
    Guard g(*s_);
    return s_->port;
}

std::vector<CallRecord> Simulator::Calls() const
{
    Guard g(*s_);
    return s_->calls;
}

void Simulator::ClearCalls()
{
    Guard g(*s_);
    s_->calls.clear();
}

std::vector<Notification> Simulator::Notifications() const
{
    Guard g(*s_);
    return s_->notifications;
}

void Simulator::ClearNotifications()
{
    Guard g(*s_);
    s_->notifications.clear();
}

std::vector<std::string> Simulator::Violations() const
{
    Guard g(*s_);
    return s_->violations;
}

void Simulator::ClearViolations()
{
    Guard g(*s_);
    s_->violations.clear();
}

std::string Simulator::MessageText(int index) const
{
    Guard g(*s_);
    auto it = s_->texts.find(index);
    return it == s_->texts.end() ? std::string() : it->second;
}

std::string Simulator::MessageCaption() const
{
    Guard g(*s_);
    return s_->caption;
}

std::int32_t Simulator::TimeoutMs() const
{
    Guard g(*s_);
    return s_->timeout;
}

void Simulator::SetProgramResults(std::vector<int> results)
{
    Guard g(*s_);
    s_->profile.programResults = results;
    s_->programQueue.assign(results.begin(), results.end());
}

void Simulator::SetProgramDurationMs(int ms)
{
    Guard g(*s_);
    s_->profile.programMs = std::max(0, ms);
}

} // namespace protovyx
