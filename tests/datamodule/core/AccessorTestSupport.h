#pragma once
// A connected data module for the tests of the named accessors: the marker
// set, the modified flag clear, the call log empty, and no malformed call at
// the end.
#include "tests/support/rig/DataModuleRig.h"

#include <gmock/gmock.h>
#include <functional>
#include <optional>
#include <string>

namespace acctest {

class Accessors : public ::testing::Test {
protected:
    void SetUp() override
    {
        r.connectEcu();
        // Items this ECU type lacks but some families' tests need.
        for (int item : {0xba, 0x2d, 0x2e, 0x2f})
            r.sim().SetItemPresent(item, true);
        r.dm().BuildTemperaturaGasTable(0);
        r.dm().BuildTempMotoreTable(false);
        r.events();
    }
    void TearDown() override { EXPECT_THAT(r.sim().Violations(), ::testing::IsEmpty()); }

    TStreamDati& dm() { return r.dm(); }
    std::int32_t* item(std::int32_t code) { return r.dm().Item(code); }

    // The marker set (through the ECU), Modified clear, the log empty.
    void arm()
    {
        ASSERT_TRUE(r.sim().LinkOpen());
        dm().SetUfficiale(true);
        ASSERT_TRUE(dm().GetUfficiale());
        dm().Modified = 0;
        r.sim().ClearCalls();
    }
    // Calls of that operation with that code.
    std::vector<protovyx::CallRecord> writes(const std::string& op, std::int32_t code)
    {
        std::vector<protovyx::CallRecord> out;
        for (auto& c : r.callsOf(op))
            if (c.code == code)
                out.push_back(c);
        return out;
    }
    std::optional<std::int32_t> lastValue(const std::string& op, std::int32_t code)
    {
        const auto w = writes(op, code);
        if (w.empty() || w.back().in.empty())
            return std::nullopt;
        return w.back().in.back();
    }
    void refuse(protovyx::Op op, std::int32_t code, int times = 1)
    {
        r.sim().AddFault({.op = op, .code = code, .times = times});
    }

    rig::DataModuleRig r;
};

} // namespace acctest
