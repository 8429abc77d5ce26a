#include "plat/testing/Fakes.h"

#include <gtest/gtest.h>

using namespace plat;
using namespace plat::testing;

TEST(FakeClock, SleepAdvancesVirtualTimeAndRunsTheHook)
{
    FakeClock clock;
    const std::uint32_t start = clock.tickCount();
    std::vector<std::uint32_t> seenAt;
    clock.onSleep([&](std::uint32_t) { seenAt.push_back(clock.tickCount()); });
    // A 20 s reconnect wait in steps of 500 ms costs nothing.
    while (clock.tickCount() - start < 20000)
        clock.sleep(500);
    EXPECT_EQ(clock.tickCount() - start, 20000u);
    EXPECT_EQ(clock.sleeps().size(), 40u);
    EXPECT_EQ(clock.sleptTotal(), 20000u);
    EXPECT_EQ(seenAt.front(), start + 500);
}

TEST(FakeClock, TickCountWrapsLikeA32BitCounter)
{
    FakeClock clock;
    clock.setNow(0xFFFFFF00u);
    const std::uint32_t start = clock.tickCount();
    clock.sleep(0x200);
    EXPECT_EQ(clock.tickCount() - start, 0x200u); // elapsed still right across the wrap
}

TEST(FakePrompts, ScriptedAnswersInOrderThenDefaults)
{
    FakePrompts prompts;
    prompts.script({IDNO, IDYES});
    PromptRequest yesNo{"Quorin Zelkon", "Riprovare?", PromptIcon::Error, PromptButtons::YesNo, 0};
    PromptRequest defNo{"Quorin Zelkon", "Sovrascrivere?", PromptIcon::Warning, PromptButtons::YesNo, IDNO};
    PromptRequest ok{"Connection", "Errore", PromptIcon::Error, PromptButtons::Ok, 0};

    EXPECT_EQ(prompts.ask(yesNo), IDNO);
    EXPECT_EQ(prompts.ask(yesNo), IDYES);
    EXPECT_EQ(prompts.unscripted(), 0);
    EXPECT_EQ(prompts.ask(defNo), IDNO); // unscripted: default button
    EXPECT_EQ(prompts.ask(ok), IDOK);
    EXPECT_EQ(prompts.unscripted(), 2);

    ASSERT_EQ(prompts.shown().size(), 4u);
    EXPECT_EQ(prompts.shown()[3].caption, "Connection");
    EXPECT_EQ(prompts.shown()[1].icon, PromptIcon::Error);
    EXPECT_EQ(prompts.texts().at(2), "Sovrascrivere?");
}

TEST(Services, ScopedServicesReplaceAndRestore)
{
    Clock* before = CurrentServices().clock;
    Prompts* promptsBefore = CurrentServices().prompts;
    {
        FakeClock clock;
        ScopedServices s({.clock = &clock});
        EXPECT_EQ(&plat::CurrentClock(), &clock);
        EXPECT_EQ(CurrentServices().prompts, promptsBefore); // untouched members stay
        plat::CurrentClock().sleep(3000);
        EXPECT_EQ(clock.sleptTotal(), 3000u);
    }
    EXPECT_EQ(CurrentServices().clock, before);
}

TEST(FakeLibraryLoader, ResolvesExportsAndRecordsUnload)
{
    static int dummy = 0;
    FakeLibraryLoader loader;
    loader.add("Languages.dll", {{"_MaxStrings", &dummy}});
    EXPECT_EQ(loader.load("ProtoVyx.dll"), nullptr);
    {
        auto lib = loader.load("Languages.dll");
        ASSERT_NE(lib, nullptr);
        EXPECT_EQ(lib->resolve("_MaxStrings"), &dummy);
        EXPECT_EQ(lib->resolve("MaxStrings"), nullptr); // exact names only
    }
    EXPECT_EQ(loader.unloaded, QStringList{"Languages.dll"});
}
