#include "Counters.h"

#include <algorithm>

namespace protovyx::detail {

namespace {

constexpr std::int64_t kCarrySeconds = 1200; // one unit of the 20-minute counters

std::uint32_t warmupMs(const Profile& p) { return static_cast<std::uint32_t>(std::max(1, p.warmupS)) * 1000u; }

// Whole seconds spent on petrol and on gas from key on until t.
std::int64_t petrolSeconds(const Profile& p, std::uint32_t t) { return std::min(t, warmupMs(p)) / 1000u; }
std::int64_t gasSeconds(const Profile& p, std::uint32_t t)
{
    const std::uint32_t w = warmupMs(p);
    return t > w ? (t - w) / 1000u : 0;
}

void addSeconds(std::vector<std::int32_t>* seconds, std::size_t element, std::vector<std::int32_t>* units,
                std::int64_t delta)
{
    if (!seconds || element >= seconds->size() || delta <= 0)
        return;
    std::int64_t s = (*seconds)[element] + delta;
    std::int64_t carry = s / kCarrySeconds;
    s %= kCarrySeconds;
    (*seconds)[element] = static_cast<std::int32_t>(s);
    if (units && !units->empty() && carry > 0)
        (*units)[0] = static_cast<std::int32_t>(std::min<std::int64_t>(0xFFFF, (*units)[0] + carry));
}

} // namespace

bool isCounterItem(int number)
{
    return number == 0x3b || number == 0x55 || number == 0x3c || number == 0x56 || number == 0x4e;
}

void advanceCounters(const Profile& profile, std::uint32_t fromMs, std::uint32_t toMs, const CounterItems& items)
{
    if (toMs <= fromMs)
        return;
    const std::int64_t gas = gasSeconds(profile, toMs) - gasSeconds(profile, fromMs);
    const std::int64_t petrol = petrolSeconds(profile, toMs) - petrolSeconds(profile, fromMs);
    addSeconds(items.seconds, 0, items.gas20, gas);
    addSeconds(items.seconds, 1, items.service20, gas);
    addSeconds(items.seconds, 2, items.petrol20, petrol);
    const std::uint32_t w = warmupMs(profile);
    if (fromMs < w && toMs >= w && items.starts && !items.starts->empty())
        (*items.starts)[0] = std::min(255, (*items.starts)[0] + 1);
}

} // namespace protovyx::detail
