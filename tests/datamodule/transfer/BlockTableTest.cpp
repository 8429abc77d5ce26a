// The block table against the data module's item catalogue: both describe
// the same items, and every item the walk moves has exactly one block.
#include "datamodule/core/transfer/BlockTable.h"
#include "datamodule/core/ItemCatalogue.h"

#include <gtest/gtest.h>
#include <cstring>
#include <map>

namespace {

using dm::transfer::Block;
using dm::transfer::Keys;

const char* firstKey(const Block& b)
{
    switch (b.keys) {
    case Keys::None: return "";
    case Keys::Listed: return b.listed.front();
    default: return b.key;
    }
}

TEST(BlockTable, AgreesWithTheItemCatalogue)
{
    std::map<int, int> blocksOfItem;
    for (const Block& b : dm::transfer::Blocks()) {
        if (b.code == 0)
            continue; // the K-map size has no item
        const int number = dm::ItemNumber(b.code);
        ++blocksOfItem[number];
        const dm::ItemDef* def = dm::FindItem(number);
        ASSERT_NE(def, nullptr) << "block " << b.no;
        EXPECT_EQ(def->groups, b.groups) << "block " << b.no;
        // The file key: the catalogue names the key's stem.
        const char* key = firstKey(b);
        EXPECT_EQ(std::strncmp(key, def->fileKey, std::strlen(def->fileKey)), 0)
            << "block " << b.no << ": " << key << " vs " << def->fileKey;
        // (The note is kept outside the image, under a key of its own.)
        if (def->inImage) {
            EXPECT_EQ(*def->fileKey == '\0', *key == '\0') << "block " << b.no;
        }
        if (b.ecu == dm::transfer::Ecu::Rows) {
            EXPECT_EQ(def->rows, b.rows) << "block " << b.no;
        }
        if (b.codeSize == dm::transfer::Size::Fixed && dm::IsArrayCode(b.code)) {
            EXPECT_EQ(def->cols, dm::CodeElements(b.code)) << "block " << b.no;
        }
    }
    // Every item of a transfer group is moved by one block.
    for (const dm::ItemDef& d : dm::ItemCatalogue()) {
        if (d.groups != 0) {
            EXPECT_EQ(blocksOfItem[d.Number()], 1) << std::hex << d.code;
        }
    }
    EXPECT_EQ(blocksOfItem[0x1e], 1); // the date, moved by the closing block
}

TEST(BlockTable, OrderAndCount)
{
    const auto blocks = dm::transfer::Blocks();
    // 147 blocks and the identity step between blocks 11 and 12.
    ASSERT_EQ(blocks.size(), 148u);
    int previous = 0;
    for (const Block& b : blocks) {
        const int no = b.no == 1150 ? 11 : b.no;
        EXPECT_EQ(no, b.no == 1150 ? previous : previous + 1);
        previous = b.no == 1150 ? 11 : b.no;
    }
    EXPECT_EQ(blocks[11].no, 1150);
    EXPECT_EQ(blocks.back().no, 147);
}

TEST(BlockTable, TimeUnitsAndDefaultMaps)
{
    EXPECT_EQ(dm::transfer::TimeUnits(2.0, 2560), 781);
    EXPECT_EQ(dm::transfer::TimeUnits(2.5, 2560), 977);
    EXPECT_EQ(dm::transfer::TimeUnits(18.0, 2560), 7031);
    EXPECT_EQ(dm::transfer::TenthTimeUnits(200, 2560), 7813);
    EXPECT_EQ(dm::transfer::TimeUnits(1.0, 0), 0);
    // Row 0 of the petrol-filter defaults: 41, 45, 49, 51, then 49.
    const int row0[] = {41, 45, 49, 51, 49, 49};
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(dm::transfer::DefaultPetrolFilter(0, c), row0[c]);
    EXPECT_EQ(dm::transfer::DefaultPetrolFilter(11, 11), 106); // 21.12 x 5
    EXPECT_EQ(dm::transfer::DefaultMapK(12, 11), 118);
    EXPECT_EQ(dm::transfer::DefaultMapK(13, 0), 0);
}

} // namespace
