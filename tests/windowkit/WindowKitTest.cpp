// What the windows take from the window kit: the text of a number, the
// live-polling switch, the status lamps and the first-show guard, against the
// data module on the simulated ECU.
#include "tests/support/rig/DataModuleRig.h"

#include "windowkit/LivePolling.h"
#include "windowkit/ShowOnce.h"
#include "windowkit/StatusLamps.h"
#include "windowkit/WindowText.h"

#include "datamodule/core/ItemCatalogue.h"
#include "datamodule/core/LiveFrame.h"
#include "datamodule/core/LiveLamps.h"
#include "plat/Shape.h"

#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <vector>

namespace {

using dm::LIVE_CHANGEOVER_PENDING;
using dm::LIVE_KEY_ON;
using dm::LIVE_ON_GAS;

// ---------------------------------------------------------------------------
// Texts by number

TEST(WindowText, ANumberReadsTheLanguageLibrarysText)
{
    rig::DataModuleRig r;
    EXPECT_EQ(wkit::Text(452), rig::text(452));
    EXPECT_EQ(wkit::Text(800), rig::text(800)) << "a text the program added";
}

TEST(WindowText, WithoutTheLibraryTheProgramsOwnTextsAndNothingForAMissingNumber)
{
    rig::Options options;
    options.languageLibrary = false;
    rig::DataModuleRig r(options);
    EXPECT_EQ(wkit::Text(452), QStringLiteral("ANNULLA"));
    EXPECT_EQ(wkit::Text(175), QStringLiteral("GAS"));
    // Between the table's own numbers and those the program added.
    EXPECT_EQ(wkit::Text(694), QString());
    EXPECT_EQ(wkit::Text(-1), QString());
}

TEST(WindowText, NothingWithoutADataModuleOrATranslator)
{
    rig::DataModuleRig r;
    TTranslator* translator = r.dm().Translator;
    r.dm().Translator = nullptr;
    EXPECT_EQ(wkit::Text(452), QString());
    r.dm().Translator = translator;

    r.destroyModule();
    ASSERT_EQ(StreamDati, nullptr);
    EXPECT_EQ(wkit::Text(452), QString());
}

// ---------------------------------------------------------------------------
// The live-polling switch

TEST(LivePolling, EachSwitchSetsThePollItemAndWhoRunsTheStep)
{
    const struct {
        const char* name;
        void (*apply)(TStreamDati&);
        std::int32_t item;
        bool timerRuns;
    } cases[] = {
        {"on", wkit::LivePollingOn, dm::kLiveBlock, false},
        {"off", wkit::LivePollingOff, dm::kIdentityCode, true},
        {"idle by the window", wkit::IdlePollingByWindow, dm::kIdentityCode, false},
    };
    rig::DataModuleRig r;
    TStreamDati& d = r.dm();
    for (const auto& c : cases) {
        // From either state of the timer.
        for (bool running : {false, true}) {
            d.SetPollItem(0x1234);
            running ? d.TimerIO->start() : d.TimerIO->stop();
            c.apply(d);
            EXPECT_EQ(d.PollItem, c.item) << c.name;
            EXPECT_EQ(d.TimerIO->isActive(), c.timerRuns) << c.name << " from running " << running;
        }
    }
}

TEST(LivePolling, OffGivesBackTheIdleWatchAfterALiveWindow)
{
    rig::DataModuleRig r;
    TStreamDati& d = r.dm();
    wkit::LivePollingOff(d);
    const int interval = d.TimerIO->interval();

    wkit::LivePollingOn(d);
    EXPECT_EQ(d.PollItem, dm::kLiveBlock);
    EXPECT_FALSE(d.TimerIO->isActive());
    wkit::IdlePollingByWindow(d); // the diagnostics window opened over it
    wkit::LivePollingOff(d);

    EXPECT_EQ(d.PollItem, dm::kIdentityCode);
    EXPECT_TRUE(d.TimerIO->isActive());
    EXPECT_EQ(d.TimerIO->interval(), interval);
}

TEST(LivePolling, WithoutTheTimerOnlyThePollItemChanges)
{
    rig::DataModuleRig r;
    TStreamDati& d = r.dm();
    QTimer* timer = d.TimerIO;
    d.TimerIO = nullptr;
    wkit::LivePollingOn(d);
    EXPECT_EQ(d.PollItem, dm::kLiveBlock);
    wkit::LivePollingOff(d);
    EXPECT_EQ(d.PollItem, dm::kIdentityCode);
    d.TimerIO = timer;
}

// ---------------------------------------------------------------------------
// Status lamps

class Lamps : public ::testing::Test {
protected:
    using Array = std::array<bool, 5>;

    void SetUp() override
    {
        window.resize(200, 100);
        lamps.MakeLevelLamps([this](const char* name, bool reserve) {
            auto* s = new plat::Shape(&window);
            s->setObjectName(QLatin1String(name));
            if (reserve)
                reserves << QLatin1String(name);
            return s;
        });
        window.show();
    }

    // The level sender: its type byte (bit 7: descending thresholds) and the
    // four thresholds as the ECU stores them.
    void sender(std::int32_t type, const std::array<std::int32_t, 4>& stored)
    {
        *r.dm().Item(kSenderType) = type;
        for (std::size_t i = 0; i < stored.size(); ++i)
            r.dm().Item(kSenderThresholds)[i] = stored[i];
    }

    Array shown() const
    {
        Array a{};
        for (std::size_t i = 0; i < a.size(); ++i)
            a[i] = lamps.Level(i)->isVisible();
        return a;
    }

    static constexpr std::int32_t kSenderType = 0x24;
    static constexpr std::int32_t kSenderThresholds = 0x4125;
    static constexpr std::int32_t kKeyOnGas = LIVE_KEY_ON | LIVE_ON_GAS;

    rig::DataModuleRig r;
    QWidget window;
    wkit::StatusLamps lamps;
    QStringList reserves; // the lamps made as the reserve lamp
};

TEST_F(Lamps, TheFiveLevelLampsAreMadeHiddenInTheOrderOfTheLevelRule)
{
    EXPECT_EQ(reserves, QStringList{QStringLiteral("ShapeRiserva")});
    for (std::size_t i = 0; i < wkit::StatusLamps::kLevelNames.size(); ++i) {
        EXPECT_EQ(lamps.Level(i)->objectName(), QLatin1String(wkit::StatusLamps::kLevelNames[i]));
        EXPECT_FALSE(lamps.Level(i)->isVisible()) << i;
    }
    EXPECT_EQ(lamps.Level(0)->objectName(), QStringLiteral("ShapeRiserva"));
}

TEST_F(Lamps, LevelLampsFollowTheStoredThresholdsAndTheSendersDirection)
{
    const struct {
        const char* sender;
        std::int32_t type;
        std::array<std::int32_t, 4> stored;
        // What the thresholds are as the windows compare (255 - stored for a
        // descending sender).
        std::array<std::int32_t, 4> thresholds;
    } senders[] = {
        {"rising", 2, {40, 90, 140, 190}, {40, 90, 140, 190}},
        {"descending", 129, {56, 115, 162, 216}, {199, 140, 93, 39}},
    };
    for (const auto& s : senders) {
        sender(s.type, s.stored);
        ASSERT_EQ(dm::StoredLevelThresholds(r.dm()), s.thresholds) << s.sender;
        // Below, on and above each threshold, and back down: lamps that were
        // lit go dark again.
        std::vector<std::int32_t> levels;
        for (std::int32_t t : s.thresholds)
            levels.insert(levels.end(), {t - 1, t, t + 1});
        levels.insert(levels.end(), {0, 255, 0});
        for (std::int32_t level : levels) {
            lamps.ShowLevel(r.dm(), kKeyOnGas, level);
            EXPECT_EQ(shown(), dm::LevelLamps(kKeyOnGas, level, s.thresholds, (s.type & 0x80) != 0))
                << s.sender << " level " << level;
        }
    }

    // Two of them spelled out: the second quarter's threshold reached.
    sender(2, {40, 90, 140, 190});
    lamps.ShowLevel(r.dm(), kKeyOnGas, 90);
    EXPECT_EQ(shown(), (Array{false, true, true, false, false}));
    sender(129, {56, 115, 162, 216});
    lamps.ShowLevel(r.dm(), kKeyOnGas, 199);
    EXPECT_EQ(shown(), (Array{false, true, false, false, false}));
}

TEST_F(Lamps, AllDarkUnlessTheKeyIsOnAndTheEngineOnGas)
{
    sender(2, {40, 90, 140, 190});
    lamps.ShowLevel(r.dm(), kKeyOnGas, 200);
    ASSERT_EQ(shown(), (Array{false, true, true, true, true}));
    for (std::int32_t flags :
         std::initializer_list<std::int32_t>{0, LIVE_KEY_ON, LIVE_ON_GAS | LIVE_CHANGEOVER_PENDING}) {
        lamps.ShowLevel(r.dm(), flags, 200);
        EXPECT_EQ(shown(), Array{}) << flags;
    }
    lamps.ShowLevel(r.dm(), LIVE_KEY_ON | LIVE_CHANGEOVER_PENDING, 200);
    EXPECT_EQ(shown(), (Array{false, true, true, true, true})) << "going over to gas";
}

TEST_F(Lamps, TheDiagnosisLampShowsWhatTheWindowsRuleSays)
{
    auto* on = new QWidget(&window);
    auto* off = new QWidget(&window);
    bool lit = false;
    TStreamDati* asked = nullptr;
    lamps.SetDiagnosisLamp(on, off, [&](TStreamDati& d) {
        asked = &d;
        return lit;
    });
    for (bool value : {true, false, true}) {
        lit = value;
        EXPECT_EQ(lamps.ShowDiagnosis(r.dm()), value);
        EXPECT_EQ(asked, &r.dm());
        EXPECT_EQ(on->isVisible(), value);
        EXPECT_EQ(off->isVisible(), !value);
    }

    // Without a dark lamp, and without a rule: dark.
    lamps.SetDiagnosisLamp(on, nullptr, [](TStreamDati&) { return false; });
    EXPECT_FALSE(lamps.ShowDiagnosis(r.dm()));
    EXPECT_FALSE(on->isVisible());
    lamps.SetDiagnosisLamp(on, off, {});
    EXPECT_FALSE(lamps.ShowDiagnosis(r.dm()));
    EXPECT_FALSE(on->isVisible());
    EXPECT_TRUE(off->isVisible());
}

// ---------------------------------------------------------------------------
// The first-show guard

// A window that does its first show's work under the guard, as the main
// window and the diagnostics window do.
class OnceWindow : public QWidget {
public:
    wkit::ShowOnce once;
    int firstShows = 0;
    int shows = 0;

protected:
    void showEvent(QShowEvent* event) override
    {
        QWidget::showEvent(event);
        ++shows;
        if (once.First())
            ++firstShows;
    }
};

TEST(ShowOnce, TheFirstShowsWorkRunsOnceWhateverShowsFollow)
{
    OnceWindow w;
    EXPECT_FALSE(w.once.Done());
    w.show();
    EXPECT_TRUE(w.once.Done());
    w.hide();
    w.show();
    w.hide();
    w.showMaximized();
    EXPECT_EQ(w.shows, 3);
    EXPECT_EQ(w.firstShows, 1);
    EXPECT_FALSE(w.once.First()) << "a later activation is no first";
}

TEST(ShowOnce, AFirstTakenBeforeTheShowLeavesNothingForIt)
{
    // The file-list dialogs activate from the test or the modal show, then
    // from the queued call of the show: the second finds the work done.
    OnceWindow w;
    ASSERT_TRUE(w.once.First());
    w.show();
    EXPECT_EQ(w.shows, 1);
    EXPECT_EQ(w.firstShows, 0);
}

} // namespace
