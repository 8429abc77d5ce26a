#pragma once
// The data module on a connected simulated ECU of type 30, with helpers to
// see what the ECU holds and which of its items were written.
#include "tests/support/rig/DataModuleRig.h"

#include <set>
#include <string>
#include <vector>

namespace rulestest {

class RulesRig : public rig::DataModuleRig {
public:
    explicit RulesRig(const std::string& profile = {}, bool connected = true)
        : rig::DataModuleRig(rig::Options{.profile = profile})
    {
        dm().EcuInfo.EcuType = static_cast<std::uint8_t>(sim().CurrentProfile().type);
        // Four-cylinder sequential injection, as the ECU of type 30.
        *dm().Item(0x34) = 1;
        if (connected)
            connectEcu();
        events();
    }

    // Item numbers (code & 0xFF) of every write since the last ClearCalls.
    std::set<int> writtenItems()
    {
        std::set<int> items;
        for (const auto& c : sim().Calls())
            if (c.name.rfind("Write", 0) == 0)
                items.insert(c.code & 0xFF);
        return items;
    }
    std::vector<std::int32_t> ecu(int item)
    {
        std::vector<std::int32_t> v;
        sim().PeekItem(item, v);
        return v;
    }
    // The image's elements of an item, as many as the ECU holds.
    std::vector<std::int32_t> image(std::int32_t code, int item)
    {
        const std::size_t n = ecu(item).size();
        const std::int32_t* p = dm().Item(code);
        return p ? std::vector<std::int32_t>(p, p + n) : std::vector<std::int32_t>{};
    }
    // The connection events' codes (LParam) since the last call.
    std::vector<std::intptr_t> eventCodes()
    {
        std::vector<std::intptr_t> codes;
        for (const auto& e : events())
            if (e.lParam != 7) // poll ticks of the transfers
                codes.push_back(e.lParam);
        return codes;
    }
};

} // namespace rulestest
