// The firmware fuzz entry over its seed corpus and mutations of it, in every
// build; the libFuzzer target goes further.
#include "tests/support/FuzzSmoke.h"
#include "tests/shell/firmware/fuzz/FuzzFirmware.h"

#include "product/firmware/FirmwareMeta.h"

#include <gtest/gtest.h>

namespace {

TEST(FuzzSmoke, FirmwareImagesNeverCrash)
{
    const auto seeds = rig::FuzzSeeds({QStringLiteral(QZ_FUZZ_CORPUS)});
    ASSERT_GE(seeds.size(), 3u);
    // Images of several kinds, whole and damaged.
    int whole = 0;
    for (const QByteArray& s : seeds)
        whole += qz::firmware::CheckSRecords(std::string_view(s.constData(), static_cast<std::size_t>(s.size()))) ? 1 : 0;
    EXPECT_GT(whole, 0);
    EXPECT_LT(whole, static_cast<int>(seeds.size()));
    rig::RunFuzzEntry(&fuzzfirmware::CheckImageText, seeds, 1500);
}

} // namespace
