#pragma once
// What every benchmark stands on: a data module on the in-process simulated
// ECU, with fake settings, protocol library, prompts and windows, and its
// poll timer stopped. In virtual time (clock), or with realClock on the
// system's clock (the simulator then answers at once: no latency). No main
// window is set, so the connection events are dropped. The link is left
// closed: the benchmark prepares the data module, then calls sim.Connect().
#include "datamodule/core/iodata.h"

#include "plat/testing/Fakes.h"
#include "protovyx/Simulator.h"

#include <memory>
#include <string_view>

namespace bench {

struct EcuRig {
    explicit EcuRig(std::string_view profile = {}, bool realClock = false);
    ~EcuRig();
    EcuRig(const EcuRig&) = delete;
    EcuRig& operator=(const EcuRig&) = delete;

    // Clears the simulator's call log every 1024th call: it would grow
    // without end.
    void trim();

    plat::testing::FakeClock clock;
    plat::testing::FakePrompts prompts;
    plat::testing::FakeSettingsStore settings;
    plat::testing::FakeLibraryLoader libraries;
    plat::testing::FakeWindows windows;
    protovyx::Simulator sim;
    std::unique_ptr<TStreamDati> dm;

private:
    protovyx::TickClock<plat::testing::FakeClock> simClock_{clock};
    std::unique_ptr<plat::ScopedServices> services_;
    unsigned calls_ = 0;
};

} // namespace bench
