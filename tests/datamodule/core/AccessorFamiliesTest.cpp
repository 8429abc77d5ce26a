// The accessor families of TStreamDati: parts of one data module without
// state or virtual calls of their own, each acting on the module it belongs
// to (not on the global StreamDati).
#include "tests/support/rig/DataModuleRig.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <type_traits>

namespace {

template <class Family>
constexpr bool kPartOfTheModule =
    std::is_base_of_v<Family, TStreamDati>&& std::is_empty_v<Family> && !std::is_polymorphic_v<Family> &&
    !std::is_copy_constructible_v<Family> && !std::is_copy_assignable_v<Family>;

static_assert(kPartOfTheModule<TStreamMaps>);
static_assert(kPartOfTheModule<TStreamTables>);
static_assert(kPartOfTheModule<TStreamVectors>);
static_assert(kPartOfTheModule<TStreamOptions>);
static_assert(kPartOfTheModule<TStreamSensors>);
static_assert(kPartOfTheModule<TStreamIdentity>);
static_assert(kPartOfTheModule<TStreamLink>);

// One setter and its getter of each family; `value` is 1 or 2.
struct FamilyCase {
    std::string family;
    std::function<bool(TStreamDati&, int value)> set;
    std::function<std::int32_t(TStreamDati&)> get;
};

std::vector<FamilyCase> familyCases()
{
    return {
        {"maps", [](TStreamDati& d, int v) { return d.SetMappaK(1, 2, 40 + v); },
         [](TStreamDati& d) { return d.GetMappaK(1, 2); }},
        {"tables", [](TStreamDati& d, int v) { return d.SetCoeffMot(3, 100 + v); },
         [](TStreamDati& d) { return d.GetCoeffMot(3); }},
        {"vectors", [](TStreamDati& d, int v) { return d.SetOffsetPendenza(1, 7 * v); },
         [](TStreamDati& d) { return d.GetOffsetPendenza(1); }},
        {"options", [](TStreamDati& d, int v) { return d.SetFlag3(2, v == 1); },
         [](TStreamDati& d) { return d.GetFlag3(2) != 0 ? 1 : 0; }},
        {"sensors", [](TStreamDati& d, int v) { return d.SetRifSensore(1, 60 + v); },
         [](TStreamDati& d) { return d.GetRifSensore(1); }},
        {"identity", [](TStreamDati& d, int v) { return d.SetNoteConfig(v == 1 ? "FIRST" : "SECOND"); },
         [](TStreamDati& d) { return static_cast<std::int32_t>(std::string(d.GetNoteConfig()).size()); }},
        {"link",
         [](TStreamDati& d, int v) {
             d.SetPollItem(0x100 * v);
             d.GetLiveBlock()[0] = static_cast<std::uint8_t>(v);
             return true;
         },
         [](TStreamDati& d) { return d.PollItem + d.LiveBlock[0]; }},
    };
}

TEST(AccessorFamilies, EachActsOnTheDataModuleItIsCalledOn)
{
    rig::DataModuleRig r;
    TStreamDati& first = r.dm();
    ASSERT_EQ(StreamDati, &first);
    TStreamDati second;
    // Image only: the two modules share one simulated ECU.
    first.WriteThrough = 0;
    second.WriteThrough = 0;

    for (const FamilyCase& c : familyCases()) {
        SCOPED_TRACE(c.family);
        ASSERT_TRUE(c.set(first, 1));
        const std::int32_t firstValue = c.get(first);
        first.Modified = 0;
        second.Modified = 0;

        ASSERT_TRUE(c.set(second, 2));
        EXPECT_NE(c.get(second), firstValue);
        EXPECT_EQ(c.get(first), firstValue);
        EXPECT_EQ(first.Modified, 0);
        if (c.family != "link")
            EXPECT_EQ(second.Modified, 1);
    }
}

} // namespace
