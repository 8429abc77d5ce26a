#include "datamodule/core/ItemCatalogue.h"

#include "protovyx/Simulator.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

TEST(ItemCatalogue, EveryItemNumberOnceAndTheImageHoldsThemAll)
{
    std::set<int> seen;
    int imageElements = 0;
    for (const dm::ItemDef& d : dm::ItemCatalogue()) {
        EXPECT_TRUE(seen.insert(d.Number()).second) << std::hex << d.code;
        EXPECT_EQ(dm::FindItem(d.Number()), &d);
        if (d.inImage)
            imageElements += d.Elements();
        // An array code's count is its row length.
        if (dm::IsArrayCode(d.code)) {
            EXPECT_EQ(d.cols, dm::CodeElements(d.code)) << std::hex << d.code;
        }
    }
    dm::ParameterImage image;
    ASSERT_EQ(static_cast<int>(image.All().size()), imageElements);
    EXPECT_LE(imageElements, dm::ParameterImage::kMaxElements);

    // Items lie side by side without overlap.
    std::int32_t* k = image.Item(0xc154);
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(image.Elements(0x54), 13 * 12);
    EXPECT_EQ(image.Item(0x54), k); // the cell code names the same item
    EXPECT_EQ(image.Item(dm::kIdentityCode), nullptr);
    EXPECT_EQ(image.Item(0x3f), nullptr); // an item the program does not know
    EXPECT_EQ(dm::FindItem(256), nullptr);
}

TEST(ItemCatalogue, CodeLayout)
{
    EXPECT_EQ(dm::CodeBytes(0xc154), 12);
    EXPECT_EQ(dm::CodeBytes(0x279), 2);
    EXPECT_EQ(dm::CodeBytes(0x24), 1);
    EXPECT_EQ(dm::CodeBytes(0x14100), 20);
    EXPECT_EQ(dm::CodeBytes(0x3011b), 48);
    EXPECT_TRUE(dm::IsSignedCode(0xc73d));
    EXPECT_FALSE(dm::IsSignedCode(0xc30c));
}

// The simulated ECU keeps a catalogue of its own; a width, sign or shape that
// differs on either side is a fault on one of them.
TEST(ItemCatalogue, AgreesWithTheSimulatedEcu)
{
    protovyx::Profile profile; // every item present
    std::map<int, protovyx::ItemInfo> ecu;
    for (const auto& i : protovyx::Catalogue(profile))
        ecu[i.number] = i;

    for (const dm::ItemDef& d : dm::ItemCatalogue()) {
        SCOPED_TRACE(testing::Message() << "item 0x" << std::hex << d.Number() << " code 0x" << d.code);
        auto it = ecu.find(d.Number());
        ASSERT_NE(it, ecu.end()) << "the simulated ECU lacks the item";
        const auto& e = it->second;
        if (d.code == dm::kCoeffPressDiffWord && e.width == 1) {
            // The ECU holds the other form of the same corrections.
            EXPECT_TRUE(e.isSigned);
        } else {
            EXPECT_EQ(e.width, d.Width());
            EXPECT_EQ(e.isSigned, d.IsSigned());
        }
        EXPECT_EQ(e.rows * e.cols, d.Elements());
        if (d.rows > 1) {
            EXPECT_EQ(e.rows, d.rows);
            EXPECT_EQ(e.cols, d.cols);
        }
    }
}

} // namespace
