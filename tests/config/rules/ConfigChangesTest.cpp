// The fuel, injection-mode and injector-type changes against the simulated
// ECU: what is asked, which default blocks reach the ECU, the refresh event,
// and what a No, a refused option write (and its message) or a failing
// transfer leaves.
#include "config/rules/ConfigChanges.h"
#include "RulesRig.h"

#include "datamodule/files/ConfigContainer.h"
#include "product/constants/BuildConstants.h"

namespace {

using cfgrules::ChangeResult;
using rulestest::RulesRig;
using T = TStreamDati;

constexpr std::int32_t kMapK = 0x154;      // fuel group
constexpr int kMapKItem = 0x54;
constexpr std::int32_t kTInjDefault = 0x238f; // fuel and injection groups
constexpr int kTInjDefaultItem = 0x8f;
constexpr int kRifLambdaItem = 0x05;        // neither group
constexpr int kFlagsItem = 0x03;
constexpr int kFullGroup = 18;

// Records the window's frame hooks in order.
struct FrameLog {
    std::vector<std::string> steps;
    cfgrules::ChangeFrame frame()
    {
        return {[this] { steps.push_back("begin"); }, [this] { steps.push_back("bounds"); },
                [this] { steps.push_back("end"); }};
    }
};

const std::vector<std::string> kFullFrame{"begin", "bounds", "end"};

// Marks the ECU's map K and RifLambda so that overwrites show.
void markEcu(RulesRig& r)
{
    std::vector<std::int32_t> map = r.ecu(kMapKItem);
    std::fill(map.begin(), map.end(), 7);
    ASSERT_TRUE(r.sim().PokeItem(kMapKItem, map));
    const std::int32_t lambda[] = {33};
    ASSERT_TRUE(r.sim().PokeItem(kRifLambdaItem, lambda));
    r.sim().ClearCalls();
}

// The image's group after loading a built-in set on top of it, to compare.
std::vector<std::int32_t> groupOf(RulesRig& r, std::uint32_t flags, int resource, std::int32_t mask,
                                  std::int32_t code, int item)
{
    EXPECT_TRUE(r.dm().TransferData(flags, {}, resource, mask, 0, 0));
    return r.image(code, item);
}

TEST(ConfigChanges, SameChoiceDoesNothing)
{
    RulesRig r;
    int previousInjector = r.dm().GetTipoIniettore(1);
    r.sim().ClearCalls();
    FrameLog log;
    EXPECT_EQ(cfgrules::ChangeFuel(r.dm(), 0, 0, log.frame()), ChangeResult::Unchanged);
    EXPECT_EQ(cfgrules::ChangeFullGroup(r.dm(), 1, 1, log.frame()), ChangeResult::Unchanged);
    EXPECT_EQ(cfgrules::ChangeInjectorType(r.dm(), cfgrules::InjectorTypePosition(previousInjector),
                                           previousInjector, log.frame()),
              ChangeResult::Unchanged);
    EXPECT_TRUE(r.prompts.shown().empty());
    EXPECT_TRUE(r.writtenItems().empty());
    EXPECT_TRUE(log.steps.empty());
    EXPECT_TRUE(r.eventCodes().empty());
}

TEST(ConfigChanges, NoRestoresAndWritesNothing)
{
    struct Case {
        const char* name;
        QString question;
        std::function<ChangeResult(T&, const cfgrules::ChangeFrame&)> change;
    };
    int injector = 25;
    const Case cases[] = {
        {"fuel", "T258", [](T& dm, const auto& f) { return cfgrules::ChangeFuel(dm, 1, 0, f); }},
        {"full group", "T258", [](T& dm, const auto& f) { return cfgrules::ChangeFullGroup(dm, 1, 0, f); }},
        {"injector", "T259",
         [&injector](T& dm, const auto& f) { return cfgrules::ChangeInjectorType(dm, 1, injector, f); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RulesRig r;
        r.prompts.script(plat::IDNO);
        FrameLog log;
        EXPECT_EQ(c.change(r.dm(), log.frame()), ChangeResult::Declined);
        ASSERT_EQ(r.prompts.shown().size(), 1u);
        const auto& box = r.prompts.shown()[0];
        EXPECT_EQ(box.text, c.question);
        EXPECT_EQ(box.caption, QString::fromUtf8(qz::ProductTitle()));
        EXPECT_EQ(box.icon, plat::PromptIcon::Question);
        EXPECT_EQ(box.buttons, plat::PromptButtons::YesNo);
        EXPECT_TRUE(r.writtenItems().empty());
        EXPECT_TRUE(log.steps.empty());
        EXPECT_TRUE(r.eventCodes().empty());
        EXPECT_EQ(r.dm().GetFlag(1), 0);
        EXPECT_EQ(r.dm().GetFlag(kFullGroup), 0);
        EXPECT_EQ(injector, 25);
    }
}

TEST(ConfigChanges, FuelChangeWritesTheNewFuelsSetToTheEcu)
{
    RulesRig r;
    markEcu(r);
    r.prompts.script(plat::IDYES);
    FrameLog log;
    EXPECT_EQ(cfgrules::ChangeFuel(r.dm(), 1, 0, log.frame()), ChangeResult::Done);
    EXPECT_EQ(log.steps, kFullFrame);
    EXPECT_EQ(r.dm().GetFlag(1), 1);
    EXPECT_EQ(r.ecu(kFlagsItem)[0] & 0x2, 0x2);
    // The fuel group reached the ECU, the other blocks did not.
    const std::set<int> written = r.writtenItems();
    EXPECT_TRUE(written.count(kMapKItem));
    EXPECT_FALSE(written.count(kRifLambdaItem));
    EXPECT_EQ(r.ecu(kRifLambdaItem), std::vector<std::int32_t>{33});
    const auto map = r.image(kMapK, kMapKItem);
    EXPECT_EQ(r.ecu(kMapKItem), map);
    // The data module's fuel event, then the refresh of the label (WParam 0).
    EXPECT_EQ(r.eventCodes(), (std::vector<std::intptr_t>{6, 2}));
    EXPECT_EQ(r.mainWindow.messages.back().wParam, 0u);
    EXPECT_EQ(r.dm().Modified, 0);
    // The set loaded was the CNG one for the ECU type and injector.
    EXPECT_EQ(groupOf(r, T::TRANSFER_LOAD, cfgrules::CurrentDefaultResource(r.dm()), 2, kMapK, kMapKItem), map);
}

TEST(ConfigChanges, FuelChangeInFullGroupModeKeepsTheSecondFormatInjectionGroup)
{
    RulesRig r;
    ASSERT_TRUE(r.dm().SetFlag(kFullGroup, true));
    r.sim().ClearCalls();
    r.prompts.script(plat::IDYES);
    EXPECT_EQ(cfgrules::ChangeFuel(r.dm(), 1, 0), ChangeResult::Done);
    // Flag writes: the fuel, full group off for the standard load, on again.
    std::vector<bool> fullGroupWrites;
    for (const auto& c : r.callsOf("WriteItem"))
        if ((c.code & 0xFF) == kFlagsItem)
            fullGroupWrites.push_back((c.in.at(0) & 0x40) != 0);
    // (then the write pass sends the words again)
    ASSERT_GE(fullGroupWrites.size(), 3u);
    EXPECT_EQ(std::vector<bool>(fullGroupWrites.begin(), fullGroupWrites.begin() + 3),
              (std::vector<bool>{true, false, true}));
    EXPECT_EQ(r.dm().GetFlag(kFullGroup), 1);
    EXPECT_EQ(r.ecu(kFlagsItem), r.image(0x2303, kFlagsItem));
    // The injection group in the image and the ECU is the second format's.
    const auto injection = r.image(kTInjDefault, kTInjDefaultItem);
    EXPECT_EQ(r.ecu(kTInjDefaultItem), injection);
    EXPECT_EQ(groupOf(r, T::TRANSFER_LOAD_RES2, cfgrules::CurrentDefaultResource(r.dm()), 4, kTInjDefault,
                      kTInjDefaultItem),
              injection);
}

TEST(ConfigChanges, InjectionModeChangeWritesOnlyTheInjectionGroup)
{
    struct Case {
        int index, previous;
        bool fullGroup;
    };
    for (const Case c : {Case{1, 0, true}, Case{0, 1, false}}) {
        SCOPED_TRACE(c.index);
        RulesRig r;
        if (!c.fullGroup) {
            ASSERT_TRUE(r.dm().SetFlag(kFullGroup, true));
        }
        markEcu(r);
        r.prompts.script(plat::IDYES);
        FrameLog log;
        EXPECT_EQ(cfgrules::ChangeFullGroup(r.dm(), c.index, c.previous, log.frame()), ChangeResult::Done);
        EXPECT_EQ(log.steps, kFullFrame);
        EXPECT_EQ(r.dm().GetFlag(kFullGroup), c.fullGroup ? 1 : 0);
        const std::set<int> written = r.writtenItems();
        EXPECT_TRUE(written.count(kTInjDefaultItem));
        EXPECT_FALSE(written.count(kMapKItem));
        EXPECT_EQ(r.ecu(kMapKItem), std::vector<std::int32_t>(r.ecu(kMapKItem).size(), 7));
        const auto injection = r.image(kTInjDefault, kTInjDefaultItem);
        EXPECT_EQ(r.ecu(kTInjDefaultItem), injection);
        const std::uint32_t load = c.fullGroup ? T::TRANSFER_LOAD_RES2 : T::TRANSFER_LOAD;
        EXPECT_EQ(groupOf(r, load, cfgrules::CurrentDefaultResource(r.dm()), 4, kTInjDefault, kTInjDefaultItem),
                  injection);
        EXPECT_EQ(r.eventCodes(), std::vector<std::intptr_t>{2});
    }
}

TEST(ConfigChanges, InjectorTypeAsksAgainOnlyWhenTheConnectedTypeDiffers)
{
    // Offered positions: 0 -> 25, 1 -> 35, 2 -> 0, 3 -> 28.
    struct Case {
        const char* name;
        std::string profile;
        bool connected;
        std::vector<int> answers;
        ChangeResult result;
        int boxes;
    };
    const Case cases[] = {
        {"variant 1, mismatch, yes", "hw=1", true, {plat::IDYES, plat::IDYES}, ChangeResult::Done, 2},
        {"variant 1, mismatch, no", "hw=1", true, {plat::IDYES, plat::IDNO}, ChangeResult::Declined, 2},
        {"variant 2", "hw=2", true, {plat::IDYES}, ChangeResult::Done, 1},
        // (the simulated ECU takes writes while its link is closed)
        {"no ECU", "hw=1", false, {plat::IDYES}, ChangeResult::Done, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RulesRig r(c.profile, c.connected);
        ASSERT_TRUE(r.dm().SetTipoIniettore(1, 25));
        r.sim().ClearCalls();
        for (const int a : c.answers)
            r.prompts.script(a);
        r.prompts.script({plat::IDNO, plat::IDNO, plat::IDNO}); // retry questions offline
        int previous = 25;
        const ChangeResult result = cfgrules::ChangeInjectorType(r.dm(), 1, previous);
        EXPECT_EQ(result, c.result);
        const QStringList texts = r.prompts.texts();
        ASSERT_GE(texts.size(), c.boxes);
        EXPECT_EQ(texts[0], "T259");
        if (c.boxes == 2) {
            EXPECT_EQ(texts[1], "T260");
        } else if (texts.size() > 1) {
            EXPECT_NE(texts[1], "T260");
        }
        if (result == ChangeResult::Refused) {
            EXPECT_EQ(previous, 25);
            EXPECT_TRUE(r.eventCodes().empty());
        } else if (result == ChangeResult::Declined) {
            EXPECT_EQ(previous, 25);
            EXPECT_TRUE(r.writtenItems().empty());
        } else {
            EXPECT_EQ(previous, 35);
            EXPECT_EQ(r.dm().GetTipoIniettore(1), 35);
            EXPECT_EQ(r.eventCodes().back(), 2);
        }
    }
}

TEST(ConfigChanges, InjectorTypeKeepsTheDifferentialSensorCalibration)
{
    for (const bool calibrated : {true, false}) {
        SCOPED_TRACE(calibrated);
        RulesRig r;
        ASSERT_TRUE(r.dm().SetTipoIniettore(1, 25));
        if (calibrated) {
            ASSERT_TRUE(r.dm().SetOffsetPendenza(4, -108));
            ASSERT_TRUE(r.dm().SetOffsetPendenza(5, 542));
        }
        r.prompts.script(plat::IDYES);
        int previous = 25;
        EXPECT_EQ(cfgrules::ChangeInjectorType(r.dm(), 3, previous), ChangeResult::Done);
        EXPECT_EQ(previous, 28);
        if (calibrated) {
            EXPECT_EQ(r.dm().GetOffsetPendenza(2), 100);
            EXPECT_EQ(r.dm().GetOffsetPendenza(3), 500);
            EXPECT_EQ(r.dm().GetOffsetPendenza(4), -108);
            EXPECT_EQ(r.dm().GetOffsetPendenza(5), 542);
            EXPECT_EQ(r.dm().GetFlag(14), 1);
            EXPECT_EQ(r.dm().GetFlag(13), 0);
        } else {
            // Without that calibration the set's own words stay.
            EXPECT_FALSE(r.dm().GetOffsetPendenza(4) == -108 && r.dm().GetOffsetPendenza(5) == 542);
        }
    }
}

TEST(ConfigChanges, FailingEcuWriteIsReportedAndLeavesTheImageModified)
{
    struct Case {
        const char* name;
        std::function<ChangeResult(T&, const cfgrules::ChangeFrame&)> change;
        int writeItem;
    };
    int injector = 25;
    const Case cases[] = {
        {"fuel", [](T& dm, const auto& f) { return cfgrules::ChangeFuel(dm, 1, 0, f); }, kMapKItem},
        {"full group", [](T& dm, const auto& f) { return cfgrules::ChangeFullGroup(dm, 1, 0, f); },
         kTInjDefaultItem},
        {"injector",
         [&injector](T& dm, const auto& f) { return cfgrules::ChangeInjectorType(dm, 1, injector, f); },
         kMapKItem},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RulesRig r;
        injector = 25;
        ASSERT_TRUE(r.dm().SetTipoIniettore(1, 25));
        r.sim().ClearCalls();
        r.sim().AddFault({.op = protovyx::Op::Any, .code = c.writeItem, .matchItem = true, .times = -1});
        r.prompts.script({plat::IDYES, plat::IDNO, plat::IDNO});
        FrameLog log;
        EXPECT_EQ(c.change(r.dm(), log.frame()), ChangeResult::Failed);
        // The transfer told the user (its retry question, answered No).
        ASSERT_GE(r.prompts.shown().size(), 2u);
        EXPECT_EQ(r.prompts.shown()[1].icon, plat::PromptIcon::Error);
        EXPECT_EQ(r.dm().Modified, 1);
        EXPECT_EQ(log.steps, kFullFrame);
        EXPECT_EQ(r.eventCodes().back(), 2);
    }
}

TEST(ConfigChanges, RefusedOptionWriteLoadsNothing)
{
    RulesRig r;
    const auto map = r.image(kMapK, kMapKItem);
    r.sim().AddFault({.op = protovyx::Op::WriteItem, .code = kFlagsItem, .matchItem = true, .status = 0x10});
    r.prompts.script(plat::IDYES);
    FrameLog log;
    EXPECT_EQ(cfgrules::ChangeFuel(r.dm(), 1, 0, log.frame()), ChangeResult::Refused);
    EXPECT_EQ(r.dm().GetFlag(1), 0);
    EXPECT_EQ(r.image(kMapK, kMapKItem), map);
    EXPECT_EQ(r.writtenItems(), std::set<int>{kFlagsItem});
    EXPECT_TRUE(log.steps.empty());
}

// Whichever of the three writes the ECU refuses, the user is told that the
// change was not made, after the question and without a wait form.
TEST(ConfigChanges, ARefusedOptionWriteTellsTheUserTheChangeWasNotMade)
{
    constexpr int kInjectorPairItem = 0x94;
    struct Case {
        const char* name;
        int refusedItem;
        std::function<ChangeResult(T&, const cfgrules::ChangeFrame&)> change;
    };
    int injector = 25;
    const Case cases[] = {
        {"fuel", kFlagsItem, [](T& dm, const auto& f) { return cfgrules::ChangeFuel(dm, 1, 0, f); }},
        {"full group", kFlagsItem, [](T& dm, const auto& f) { return cfgrules::ChangeFullGroup(dm, 1, 0, f); }},
        {"injector", kInjectorPairItem,
         [&injector](T& dm, const auto& f) { return cfgrules::ChangeInjectorType(dm, 1, injector, f); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RulesRig r;
        injector = 25;
        ASSERT_TRUE(r.dm().SetTipoIniettore(1, 25));
        markEcu(r);
        const auto map = r.ecu(kMapKItem);
        r.sim().AddFault(
            {.op = protovyx::Op::AnyWrite, .code = c.refusedItem, .matchItem = true, .times = -1, .status = 0x10});
        r.prompts.script(plat::IDYES);
        FrameLog log;
        EXPECT_EQ(c.change(r.dm(), log.frame()), ChangeResult::Refused);
        EXPECT_EQ(r.ecu(kMapKItem), map);
        EXPECT_TRUE(log.steps.empty());
        EXPECT_EQ(injector, 25);
        const auto& boxes = r.prompts.shown();
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[1].text, rig::text(cfgrules::kChangeNotMadeText));
        EXPECT_EQ(boxes[1].icon, plat::PromptIcon::Error);
    }
}

// A default set that does not load: nothing reaches the ECU but the option
// word, which is put back, and the user is told the change was not made.
TEST(ConfigChanges, ASetThatDoesNotLoadWritesNothingAndPutsThePreviousChoiceBack)
{
    struct Case {
        const char* name;
        bool fullGroupSet;        // flag 18 set before the change
        bool failSecondFormatOnly; // the first load works, the second-format one fails
        std::function<ChangeResult(T&, const cfgrules::ChangeFrame&)> change;
        std::function<void(RulesRig&)> expectPrevious;
    };
    int injector = 25;
    const Case cases[] = {
        {"fuel", false, false, [](T& dm, const auto& f) { return cfgrules::ChangeFuel(dm, 1, 0, f); },
         [](RulesRig& r) {
             EXPECT_EQ(r.dm().GetFlag(1), 0);
             EXPECT_EQ(r.ecu(kFlagsItem)[0] & 0x2, 0);
         }},
        {"fuel, second format", true, true, [](T& dm, const auto& f) { return cfgrules::ChangeFuel(dm, 1, 0, f); },
         [](RulesRig& r) {
             EXPECT_EQ(r.dm().GetFlag(1), 0);
             EXPECT_EQ(r.dm().GetFlag(kFullGroup), 1); // the mode the ECU holds, set again
         }},
        {"full group", false, false, [](T& dm, const auto& f) { return cfgrules::ChangeFullGroup(dm, 1, 0, f); },
         [](RulesRig& r) { EXPECT_EQ(r.dm().GetFlag(kFullGroup), 0); }},
        {"injector", false, false,
         [&injector](T& dm, const auto& f) { return cfgrules::ChangeInjectorType(dm, 1, injector, f); },
         [&injector](RulesRig& r) {
             EXPECT_EQ(r.dm().GetTipoIniettore(1), 25);
             EXPECT_EQ(injector, 25);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RulesRig r;
        injector = 25;
        ASSERT_TRUE(r.dm().SetTipoIniettore(1, 25));
        if (c.fullGroupSet) {
            ASSERT_TRUE(r.dm().SetFlag(kFullGroup, true));
        }
        markEcu(r);
        const auto mapBefore = r.ecu(kMapKItem);
        int reads = 0;
        const bool secondOnly = c.failSecondFormatOnly;
        r.dm().SetDefaultSetSource([&reads, secondOnly](int number) -> std::optional<QByteArray> {
            ++reads;
            if (secondOnly && reads == 1)
                return qz::files::ReadDefaultSetResource(number);
            return std::nullopt;
        });
        // Yes to the change, No to the transfer's retry question.
        r.prompts.script({plat::IDYES, plat::IDNO, plat::IDNO, plat::IDNO});
        FrameLog log;
        EXPECT_EQ(c.change(r.dm(), log.frame()), ChangeResult::NotMade);
        EXPECT_EQ(log.steps, kFullFrame);
        // No block went to the ECU: only the option word (or the injector
        // pair) was written, and written back, and the official-set marker
        // that every setter clears.
        for (int item : r.writtenItems())
            EXPECT_TRUE(item == kFlagsItem || item == 0x94 || item == 0x35) << c.name << ": item 0x" << std::hex
                                                                            << item;
        EXPECT_EQ(r.ecu(kMapKItem), mapBefore);
        c.expectPrevious(r);
        // The last box says the change was not made.
        ASSERT_FALSE(r.prompts.shown().empty());
        EXPECT_EQ(r.prompts.shown().back().text, rig::text(cfgrules::kChangeNotMadeText));
        EXPECT_EQ(r.prompts.shown().back().icon, plat::PromptIcon::Error);
        EXPECT_EQ(r.eventCodes().back(), 2);
    }
}

} // namespace
