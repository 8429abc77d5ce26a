// The advanced injection sequence: preconditions and their messages, the
// rotation, what the grid shows and what a cell change writes.
#include "config/rules/SequenceRules.h"
#include "RulesRig.h"

namespace {

using cfgrules::SequenceOutcome;
using rulestest::RulesRig;

constexpr int kOrderItem = 0x0d;   // the sequence table in the ECU
constexpr int kLearntItem = 0x0e;  // the petrol order the ECU learnt
constexpr std::uint8_t kPetrolIdle = cfgrules::kStatusReadyBit;

TEST(SequenceRules, CylinderText)
{
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, ""}, {1, "A"}, {5, "A+C"}, {12, "C+D"}, {0x81, "A+H"}, {0xFF, "A+B+C+D+E+F+G+H"}, {0x100, ""},
    };
    for (const auto& [set, text] : cases)
        EXPECT_EQ(cfgrules::SequenceCylinderText(set), QString::fromLatin1(text)) << set;
}

TEST(SequenceRules, RotationSteps)
{
    const std::tuple<int, bool, int> cases[] = {
        {3, false, 1}, {4, false, 1}, {4, true, 2}, {5, true, 1}, {6, false, 2}, {8, false, 2}, {10, true, 2},
    };
    for (const auto& [cylinders, second, steps] : cases)
        EXPECT_EQ(cfgrules::SequenceRotationSteps(cylinders, second), steps) << cylinders << second;
}

TEST(SequenceRules, FailedPreconditionShowsWhyAndLeavesTheAdvanceOff)
{
    struct Case {
        const char* name;
        bool connected;
        int rpm;
        std::uint8_t flags;
        std::vector<std::int32_t> learnt; // empty: the ECU's own
        QString text;
    };
    const Case cases[] = {
        {"no ECU", false, 800, kPetrolIdle, {}, "T389"},
        {"1600 rpm", true, 1600, kPetrolIdle, {}, "T390"},
        {"on gas", true, 800, kPetrolIdle | cfgrules::kStatusGasBit, {}, "T390"},
        {"not ready", true, 800, 0, {}, "T390"},
        {"cylinder twice", true, 1500, kPetrolIdle, {0, 0, 1, 2, 182, 182, 182, 182}, "T391 -3"},
        {"cylinder above 7", true, 800, kPetrolIdle, {0, 9, 1, 2, 182, 182, 182, 182}, "T391 -4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RulesRig r({}, c.connected);
        if (!c.learnt.empty()) {
            ASSERT_TRUE(r.sim().PokeItem(kLearntItem, c.learnt));
        }
        bool radios = false;
        EXPECT_EQ(cfgrules::SetSequenceAdvance(r.dm(), true, c.rpm, c.flags, [&] { radios = true; }),
                  SequenceOutcome::Cleared);
        ASSERT_EQ(r.prompts.texts(), QStringList{c.text});
        EXPECT_EQ(r.prompts.shown()[0].icon, plat::PromptIcon::Error);
        EXPECT_EQ(r.dm().GetModificaSequenza(), 0);
        EXPECT_FALSE(radios);
        // The standard sequence stays.
        EXPECT_EQ(r.dm().GetSequenza(1, 0), 1);
        EXPECT_EQ(r.dm().GetSequenza(0, 4), cfgrules::kNoCylinder);
    }
}

TEST(SequenceRules, AdvanceRotatesWritesAndRestores)
{
    RulesRig r;
    ASSERT_EQ(r.dm().SetValueByCode(52, 4), 1);
    ASSERT_TRUE(r.dm().HasSecondaSonda()); // four cylinders, two probes: two steps
    ASSERT_EQ(r.dm().SetValueByCode(106, 5), 1);
    std::vector<std::string> order;
    EXPECT_EQ(cfgrules::SetSequenceAdvance(r.dm(), true, 800, kPetrolIdle,
                                           [&] {
                                               order.push_back("radios");
                                               EXPECT_EQ(static_cast<int>(r.dm().GetValueByCode(106)), 5);
                                           }),
              SequenceOutcome::Advanced);
    EXPECT_EQ(order, std::vector<std::string>{"radios"});
    EXPECT_EQ(r.prompts.texts(), QStringList{"T392"});
    EXPECT_EQ(r.prompts.shown()[0].icon, plat::PromptIcon::Information);
    EXPECT_EQ(r.dm().GetModificaSequenza(), 1);
    EXPECT_EQ(static_cast<int>(r.dm().GetValueByCode(106)), 0);
    // Learnt order 0, 2, 3, 1; two steps ahead: cylinder p takes the set of
    // the cylinder two slots on.
    const std::vector<std::int32_t> learnt{0, 2, 3, 1, 182, 182, 182, 182};
    for (int slot = 0; slot < 8; ++slot)
        EXPECT_EQ(r.dm().GetSequenza(0, slot), learnt[static_cast<std::size_t>(slot)]);
    EXPECT_EQ(r.dm().GetSequenza(1, 0), 8);  // D (slot 2 holds cylinder 3)
    EXPECT_EQ(r.dm().GetSequenza(1, 2), 2);  // B
    EXPECT_EQ(r.dm().GetSequenza(1, 3), 1);  // A
    EXPECT_EQ(r.dm().GetSequenza(1, 1), 4);  // C
    std::vector<std::int32_t> ecu = r.ecu(kOrderItem);
    EXPECT_EQ(std::vector<std::int32_t>(ecu.begin() + 8, ecu.begin() + 12), (std::vector<std::int32_t>{8, 4, 2, 1}));

    r.prompts.clear();
    EXPECT_EQ(cfgrules::SetSequenceAdvance(r.dm(), false, 800, kPetrolIdle), SequenceOutcome::Restored);
    EXPECT_EQ(r.prompts.texts(), QStringList{"T393"});
    EXPECT_EQ(r.dm().GetModificaSequenza(), 0);
    ecu = r.ecu(kOrderItem);
    EXPECT_EQ(ecu, (std::vector<std::int32_t>{0, 1, 2, 3, 182, 182, 182, 182, 1, 2, 4, 8, 0, 0, 0, 0}));
    EXPECT_FALSE(cfgrules::SequenceEditorVisible(false, true));
}

TEST(SequenceRules, GridCellsAndComboChanges)
{
    RulesRig r;
    ASSERT_TRUE(r.dm().SetSequenzaDefault());
    ASSERT_TRUE(r.dm().SetSequenza(1, 2, 5));
    EXPECT_EQ(cfgrules::SequenceCellText(r.dm(), 0, 1), "Cil.benz");
    EXPECT_EQ(cfgrules::SequenceCellText(r.dm(), 0, 2), "Cil.gas");
    EXPECT_EQ(cfgrules::SequenceCellText(r.dm(), 8, 0), "8");
    EXPECT_EQ(cfgrules::SequenceCellText(r.dm(), 3, 1), "C");
    EXPECT_EQ(cfgrules::SequenceCellText(r.dm(), 3, 2), "A+C");
    EXPECT_EQ(cfgrules::SequenceCellText(r.dm(), 5, 2), QString(QChar(0xF7)));
    EXPECT_TRUE(cfgrules::SequenceCellSelectable(r.dm(), 4, 2));
    EXPECT_FALSE(cfgrules::SequenceCellSelectable(r.dm(), 4, 1));
    EXPECT_FALSE(cfgrules::SequenceCellSelectable(r.dm(), 5, 2));
    EXPECT_TRUE(cfgrules::SequenceCellUnused(r.dm(), 5, 1));
    EXPECT_FALSE(cfgrules::SequenceCellUnused(r.dm(), 4, 1));

    const auto items = cfgrules::SequenceComboItems(r.dm());
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[2].text, "A+C");
    EXPECT_EQ(cfgrules::SequenceItemIndex(items, cfgrules::SequenceSetOfSlot(r.dm(), 2)), 2);
    EXPECT_EQ(cfgrules::SequenceItemIndex(items, 0x40), -1);

    r.sim().ClearCalls();
    EXPECT_TRUE(cfgrules::ChangeSequenceCell(r.dm(), 2, 3));
    EXPECT_EQ(r.ecu(kOrderItem).at(8 + 1), 3);
    // Columns without a petrol cylinder write nothing (cylinder A stays).
    for (const int column : {0, 5, 9}) {
        r.sim().ClearCalls();
        EXPECT_FALSE(cfgrules::ChangeSequenceCell(r.dm(), column, 0x80)) << column;
        EXPECT_TRUE(r.writtenItems().empty()) << column;
    }
    EXPECT_EQ(r.dm().GetSequenza(1, 0), 1);
}

TEST(SequenceRules, PageEnabling)
{
    EXPECT_TRUE(cfgrules::SequenceEditorVisible(true, true));
    EXPECT_FALSE(cfgrules::SequenceEditorVisible(true, false));
    EXPECT_TRUE(cfgrules::FuelBehaviourRadiosEnabled(false, 2));
    EXPECT_FALSE(cfgrules::FuelBehaviourRadiosEnabled(true, 2));
    EXPECT_FALSE(cfgrules::FuelBehaviourRadiosEnabled(false, 1));
    EXPECT_TRUE(cfgrules::ContributionRadioEnabled(false, 2, 30));
    EXPECT_FALSE(cfgrules::ContributionRadioEnabled(false, 2, 50));
}

} // namespace
