#pragma once
// A data module wired to the in-process simulated ECU, fake settings, a fake
// language library, scripted prompts and virtual time.
#include "datamodule/core/iodata.h"

#include "protovyx/Simulator.h"
#include "plat/testing/Fakes.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace rig {

// Texts of the fake language library: string n reads "T<n>".
QString text(int number);

struct Options {
    std::string profile;        // simulator profile text
    bool settings = true;       // the settings key holds the four values
    bool protocolLibrary = true;
    bool languageLibrary = true;
};

class DataModuleRig {
public:
    explicit DataModuleRig(const Options& options = {});
    ~DataModuleRig();

    TStreamDati& dm() { return *dm_; }
    protovyx::Simulator& sim() { return sim_; }

    // Opens the link without going through the data module.
    void connectEcu();
    // Destroys the data module while the fakes are still installed.
    void destroyModule() { dm_.reset(); }
    // The connection events posted to the main window since the last call
    // (delivers the pending ones first).
    std::vector<plat::testing::RecordedMessage> events();
    // Names of the simulator's calls since the last ClearCalls, in order.
    std::vector<std::string> callNames() const;
    // Calls of one operation (by name) since the last ClearCalls.
    std::vector<protovyx::CallRecord> callsOf(const std::string& name) const;

    plat::testing::FakeClock clock;
    plat::testing::FakePrompts prompts;
    plat::testing::FakeSettingsStore settings;
    plat::testing::FakeLibraryLoader libraries;
    plat::testing::FakeWindows windows;
    plat::testing::MessageRecorder mainWindow;

private:
    protovyx::Simulator sim_;
    protovyx::TickClock<plat::testing::FakeClock> simClock_{clock};
    std::unique_ptr<plat::ScopedServices> services_;
    std::unique_ptr<TStreamDati> dm_;
    std::size_t eventsSeen_ = 0;
};

} // namespace rig
