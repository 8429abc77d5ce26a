// The fuzz entry points over their seed corpora and mutations of them, so
// that every build (and the sanitizer build) runs them; the libFuzzer targets
// go further.
#include "tests/support/FuzzSmoke.h"
#include "tests/datamodule/files/fuzz/FuzzEntries.h"

#include "datamodule/files/ConfigCheck.h"
#include "datamodule/files/EncryptedContainer.h"
#include "product/constants/BuildConstants.h"

#include <gtest/gtest.h>

namespace {

TEST(FuzzSmoke, ConfigurationFilesAndContainersNeverCrash)
{
    const auto configs = rig::FuzzSeeds({QStringLiteral(QZ_FUZZ_CORPORA "/corpus_config")});
    const auto containers = rig::FuzzSeeds({QStringLiteral(QZ_FUZZ_CORPORA "/corpus_container")});
    ASSERT_FALSE(configs.empty());
    ASSERT_FALSE(containers.empty());
    // The seeds are whole files of their kind.
    for (const QByteArray& c : configs)
        EXPECT_TRUE(qz::files::CheckConfigurationFile(c, qz::FileKeyString()).Accepted());
    for (const QByteArray& c : containers)
        EXPECT_TRUE(qz::files::DecryptContainer(c, true).Ok());
    rig::RunFuzzEntry(&fuzzfiles::ReadConfigurationFile, configs, 600);
    rig::RunFuzzEntry(&fuzzfiles::ReadContainer, containers, 600);
    // Each entry on the other's inputs as well.
    rig::RunFuzzEntry(&fuzzfiles::ReadConfigurationFile, containers, 0);
    rig::RunFuzzEntry(&fuzzfiles::ReadContainer, configs, 0);
}

} // namespace
