// The Configurazione page's plain controls: lists by ECU type, cylinder and
// ignition writes, the note's character rule and the personalisation.
#include "config/rules/ConfigControls.h"
#include "RulesRig.h"

#include "product/constants/BuildConstants.h"

namespace {

using rulestest::RulesRig;

TEST(ConfigControls, CylinderListByEcuType)
{
    const std::vector<int> four{97, 98};
    const std::vector<int> eight{97, 98, 99, 100, 101};
    const std::vector<int> ten{97, 98, 99, 100, 101, 582};
    const std::pair<int, std::vector<int>> cases[] = {
        {qz::ECU_TYPE_4CIL, four},      {qz::ECU_TYPE_8CIL, eight},     {qz::ECU_TYPE_8CIL_T, eight},
        {qz::ECU_TYPE_8CIL_OBD, eight}, {qz::ECU_TYPE_53, ten},         {qz::ECU_TYPE_VANT, four},
        {qz::ECU_TYPE_4CIL_OBD, four},  {qz::ECU_TYPE_BUILTIN_TAP, four},
    };
    for (const auto& [type, numbers] : cases)
        EXPECT_EQ(cfgrules::CylinderTextNumbers(type), numbers) << type;
    EXPECT_EQ(cfgrules::IgnitionItems(rig::text),
              (QStringList{"T109", "T110", "T111", "T111 2"}));
    EXPECT_EQ(cfgrules::InjectorTypeItems().size(), 4);
}

TEST(ConfigControls, CylindersAndIgnitionWriteTheirCodes)
{
    struct Case {
        int cylinderIndex, ignitionIndex;
        int cylinders;
        int ignition; // -1: not written by the cylinder change
    };
    const Case cases[] = {
        {0, 0, 3, -1}, {1, 1, 4, -1}, {2, 3, 5, -1}, {3, 2, 6, 5}, {4, 2, 8, 6}, {5, 2, 10, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cylinderIndex);
        RulesRig r;
        ASSERT_EQ(r.dm().SetValueByCode(20, 1), 1);
        cfgrules::ApplyCylinders(r.dm(), c.cylinderIndex, c.ignitionIndex);
        EXPECT_EQ(static_cast<int>(r.dm().GetValueByCode(52)), c.cylinders);
        EXPECT_EQ(static_cast<int>(r.dm().GetValueByCode(20)), c.ignition < 0 ? 1 : c.ignition);
        cfgrules::ApplyIgnition(r.dm(), c.ignitionIndex, c.cylinderIndex);
        EXPECT_EQ(static_cast<int>(r.dm().GetValueByCode(20)),
                  c.ignitionIndex == 2 ? c.cylinderIndex + 2 : c.ignitionIndex);
    }
}

TEST(ConfigControls, NoteKeepsOnlyWhatItsPackingHolds)
{
    const std::pair<char16_t, std::optional<char16_t>> keys[] = {
        {u'a', u'A'}, {u'z', u'Z'}, {u'{', std::nullopt}, {u'`', std::nullopt}, {u' ', u' '},
        {u'_', u'_'}, {8, 8},       {13, std::nullopt},   {0xE8, std::nullopt}, {u'7', u'7'},
    };
    for (const auto& [key, kept] : keys) {
        const auto out = cfgrules::FilterNoteKey(QChar(key));
        EXPECT_EQ(out.has_value(), kept.has_value()) << int(key);
        if (out && kept) {
            EXPECT_EQ(out->unicode(), *kept) << int(key);
        }
    }
    RulesRig r;
    EXPECT_EQ(cfgrules::CommitNote(r.dm(), QStringLiteral("  golf {tdi}  ")), QStringLiteral("GOLF TDI"));
    EXPECT_EQ(cfgrules::ShownNote(r.dm()), QStringLiteral("GOLF TDI"));
    EXPECT_EQ(cfgrules::CommitNote(r.dm(), QString(80, u'x')), QString(64, u'X'));
}

TEST(ConfigControls, PersonalisationIsTakenByTheEcu)
{
    EXPECT_EQ(cfgrules::PersValue(3), 3u);
    EXPECT_EQ(cfgrules::PersValue(-1), 0u);
    EXPECT_EQ(cfgrules::PersValue(65536), 0u);
    for (const bool connected : {true, false}) {
        SCOPED_TRACE(connected);
        RulesRig r({}, connected);
        cfgrules::ApplyPers(r.dm(), 2);
        EXPECT_EQ(cfgrules::PersShownIndex(r.dm()), 2);
        const auto names = r.callNames();
        const bool told = std::find(names.begin(), names.end(), "SendCommand") != names.end();
        EXPECT_EQ(told, connected);
        if (connected) {
            const auto send = r.callsOf("SendCommand").at(0);
            EXPECT_EQ(send.code, 0x12);
            EXPECT_EQ(names.back(), "Connect");
        }
    }
    RulesRig r;
    r.dm().CustomerCode = 0x10000;
    EXPECT_EQ(cfgrules::PersShownIndex(r.dm()), -1);
}

} // namespace
