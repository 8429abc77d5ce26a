#include "plat/SerialPortWatcher.h"

#include <gtest/gtest.h>

using namespace plat;

namespace {
class ScriptedPorts final : public PortLister {
public:
    QList<PortInfo> ports() override { return now; }
    QList<PortInfo> now;
};
} // namespace

TEST(SerialPortWatcher, ReportsEachArrivalAndRemovalOnce)
{
    ScriptedPorts lister;
    lister.now = {{"ttyS0", "Serial"}};
    SerialPortWatcher w(lister);
    w.start();
    QStringList arrived, removed;
    QObject::connect(&w, &SerialPortWatcher::portArrived, [&](const PortInfo& p) { arrived << p.name; });
    QObject::connect(&w, &SerialPortWatcher::portRemoved, [&](const PortInfo& p) { removed << p.name; });

    w.check(); // nothing changed
    EXPECT_TRUE(arrived.isEmpty() && removed.isEmpty());

    lister.now = {{"ttyS0", "Serial"}, {"rfcomm0", "VYX KOA Wireless Port (COM7)"}};
    w.check();
    w.check();
    EXPECT_EQ(arrived, QStringList{"rfcomm0"});

    lister.now = {{"rfcomm0", "VYX KOA Wireless Port (COM7)"}};
    w.check();
    EXPECT_EQ(removed, QStringList{"ttyS0"});
    w.stop();
}

TEST(SerialPortWatcher, AdapterNameMatchesExactlyAndCaseSensitively)
{
    const std::pair<const char*, bool> cases[] = {
        {"VYX KOA Wireless Port", true},
        {"Standard VYX KOA Wireless Port (COM4)", true},
        {"vyx koa wireless port", false},
        {"VYX KOA Wireless", false},
        {"", false},
    };
    for (auto [name, expected] : cases)
        EXPECT_EQ(AnyPortNamed({{"p", name}}, "VYX KOA Wireless Port"), expected) << name;
}
