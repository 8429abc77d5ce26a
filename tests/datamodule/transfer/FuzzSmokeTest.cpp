// The configuration-file load of the fuzz target over its seed corpus and
// mutations of them, so that every build (and the sanitizer build) runs it;
// the libFuzzer target goes further.
#include "tests/support/FuzzSmoke.h"
#include "tests/datamodule/transfer/fuzz/FuzzLoad.h"

#include <gtest/gtest.h>

namespace {

fuzzload::ConfigurationLoader* loader = nullptr;

void load(const std::uint8_t* data, std::size_t size) { loader->Load(data, size); }

TEST(FuzzSmoke, ConfigurationFilesLoadWithinTheirItemsLimits)
{
    const auto seeds = rig::FuzzSeeds({QStringLiteral(QZ_FUZZ_CONFIG_CORPUS)});
    ASSERT_FALSE(seeds.empty());
    fuzzload::ConfigurationLoader l;
    loader = &l;
    rig::RunFuzzEntry(&load, seeds, 600);
    loader = nullptr;
}

} // namespace
