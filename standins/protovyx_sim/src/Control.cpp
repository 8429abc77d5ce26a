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

} // namespace protovyx
