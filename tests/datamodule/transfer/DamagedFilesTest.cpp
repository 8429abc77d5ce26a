// Damaged and foreign configuration files: refused before anything is read
// from them, or loaded with the number of values that came from the
// defaults.
#include "DamagedFiles.h"
#include "TransferSupport.h"

#include "files/ConfigCheck.h"
#include "files/SaveFile.h"

namespace {

using tx::TransferRig;
using T = TStreamDati;

// A configuration file as the program saves it: the simulated ECU's.
QByteArray savedConfiguration(TransferRig& r, const QString& file)
{
    r.connectEcu();
    EXPECT_TRUE(r.transfer(T::TRANSFER_READ_ECU | T::TRANSFER_SAVE, file));
    r.sim().Disconnect();
    return qz::files::ReadWholeFile(file).data;
}

TEST(DamagedFiles, AreRefusedBeforeTheImageChanges)
{
    TransferRig r;
    const QString good = r.path(QStringLiteral("good.zc4"));
    const QByteArray bytes = savedConfiguration(r, good);
    ASSERT_GT(bytes.size(), 10000);
    // A file the program saved loads whole.
    ASSERT_TRUE(r.transfer(T::TRANSFER_LOAD, good));
    EXPECT_EQ(r.dm().MissingValueCount(), 0);

    for (const rig::DamagedFile& d : rig::DamagedConfigurations(bytes, r.dm().FileKey())) {
        SCOPED_TRACE(d.name);
        const QString file = r.path(QStringLiteral("damaged.zc4"));
        ASSERT_TRUE(qz::files::SaveFileAtomically(file, d.bytes));
        // Something else in memory, to see whether the load touches it.
        r.dm().Item(0x36)[0] = 123;
        const auto before = r.image();
        r.prompts.clear();
        r.prompts.script(plat::IDNO);
        const bool loaded = r.transfer(T::TRANSFER_LOAD, file);
        EXPECT_EQ(qz::files::CheckConfigurationFile(d.bytes, r.dm().FileKey()).accepted(), !d.refused);
        if (d.refused) {
            EXPECT_FALSE(loaded);
            ASSERT_EQ(r.prompts.shown().size(), 1u);
            EXPECT_EQ(r.prompts.shown()[0].text, rig::text(301));
            EXPECT_EQ(r.image(), before) << "a refused file changed the image";
        } else {
            EXPECT_TRUE(loaded);
            EXPECT_TRUE(r.prompts.shown().empty());
            EXPECT_GT(r.dm().MissingValueCount(), 50);
        }
        EXPECT_FALSE(r.dm().IsContainerOpen());
    }
}

// A single flipped bit anywhere in a file: refused, or missing keys are
// counted, or at most two values differ (a digit that became another one or
// no number: the format has no check sum to tell).
TEST(DamagedFiles, NoFlippedBitLoadsDefaultsUnnoticed)
{
    TransferRig r;
    const QString good = r.path(QStringLiteral("good.zc4"));
    const QByteArray bytes = savedConfiguration(r, good);
    ASSERT_TRUE(r.transfer(T::TRANSFER_LOAD, good));
    const auto original = r.image();
    int refused = 0, counted = 0, changedValues = 0;
    const QString file = r.path(QStringLiteral("flipped.zc4"));
    for (qsizetype bit = 5; bit < bytes.size() * 8; bit += 97) {
        QByteArray f = bytes;
        f[bit / 8] = static_cast<char>(f[bit / 8] ^ (1 << (bit % 8)));
        ASSERT_TRUE(qz::files::SaveFileAtomically(file, f));
        ASSERT_TRUE(r.transfer(T::TRANSFER_LOAD, good));
        r.prompts.clear();
        r.prompts.script(plat::IDNO);
        if (!r.transfer(T::TRANSFER_LOAD, file)) {
            ++refused;
            continue;
        }
        if (r.dm().MissingValueCount() > 0) {
            ++counted;
            continue;
        }
        const auto loaded = r.image();
        int differ = 0;
        for (std::size_t i = 0; i < loaded.size(); ++i)
            differ += loaded[i] != original[i] ? 1 : 0;
        EXPECT_LE(differ, 2) << "bit " << bit;
        ++changedValues;
    }
    EXPECT_GT(refused + counted, changedValues);
    std::printf("flipped bits: %d refused, %d with missing values, %d with changed values\n", refused, counted,
                changedValues);
}

} // namespace

namespace {

// The seed corpus of the configuration-file fuzz target: files the program
// saved from the simulated ECU of a few types. Regenerate with
//   QZ_WRITE_FUZZ_SEEDS=<folder> datamodule_transfer_test --gtest_filter=FuzzSeeds.Generate
// where <folder> is tests/datamodule/files/fuzz/corpus_config.
TEST(FuzzSeeds, Generate)
{
    const QByteArray out = qgetenv("QZ_WRITE_FUZZ_SEEDS");
    if (out.isEmpty())
        GTEST_SKIP() << "QZ_WRITE_FUZZ_SEEDS not set";
    for (const char* type : {"30", "55", "79"}) {
        TransferRig r({.profile = std::string("type=") + type});
        const QString file = QString::fromLocal8Bit(out) + QStringLiteral("/saved-type%1.zc4").arg(QLatin1String(type));
        const QByteArray bytes = savedConfiguration(r, file);
        ASSERT_TRUE(qz::files::CheckConfigurationFile(bytes, r.dm().FileKey()).accepted());
    }
}

} // namespace
