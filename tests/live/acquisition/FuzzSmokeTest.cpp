// The acquisition fuzz entry over its seed corpus and mutations of it, in
// every build; the libFuzzer target goes further.
#include "tests/support/FuzzSmoke.h"
#include "tests/live/acquisition/fuzz/FuzzAcquisition.h"

#include <gtest/gtest.h>

namespace {

TEST(FuzzSmoke, AcquisitionFilesNeverCrash)
{
    const auto seeds = rig::FuzzSeeds({QStringLiteral(QZ_ACQ_FIXTURES)});
    ASSERT_GE(seeds.size(), 2u);
    rig::RunFuzzEntry(&fuzzacquisition::ReadAcquisitionBytes, seeds, 3000);
}

} // namespace
