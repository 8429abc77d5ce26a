// Damaged and foreign configuration files: refused before anything is read
// from them, or loaded with the number of values that came from the
// defaults.
#include "tests/support/DamagedFiles.h"
#include "TransferSupport.h"

#include "product/constants/BuildConstants.h"

#include "datamodule/files/ConfigCheck.h"
#include "datamodule/files/IniDocument.h"
#include "datamodule/files/SaveFile.h"
#include "datamodule/files/Scrambler.h"

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
    EXPECT_EQ(r.dm().DamagedValueCount(), 0);

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
        EXPECT_EQ(qz::files::CheckConfigurationFile(d.bytes, r.dm().FileKey()).Accepted(), !d.refused);
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

// Damaged values load as missing ones do: the default stays in their place,
// and they are counted and named; values at the ends of what their items
// hold are taken.
TEST(DamagedValues, LeaveTheirDefaultsAndAreCounted)
{
    TransferRig r;
    const QString good = r.path(QStringLiteral("good.zc4"));
    savedConfiguration(r, good);
    const QByteArray plain = *r.plainOf(good);
    const QString file = r.path(QStringLiteral("values.zc4"));
    const auto load = [&](const QByteArray& text) {
        r.writeConfig(file, text);
        EXPECT_TRUE(r.transfer(T::TRANSFER_LOAD, file));
        return r.image();
    };

    for (const rig::DamagedValue& v : rig::DamagedValues()) {
        SCOPED_TRACE(std::string(v.key) + "=" + v.text);
        // The same file without the key (Flag1 then gets its default, as
        // WithFlag1 writes it): what the load must give.
        const auto withoutKey = load(rig::WithValue(rig::WithValue(plain, v), v.section, v.key, std::nullopt));
        ASSERT_EQ(r.dm().MissingValueCount(), std::string_view(v.key) == "Flag1" ? 0 : 1);
        const auto loaded = load(rig::WithValue(plain, v));
        EXPECT_EQ(loaded, withoutKey);
        EXPECT_EQ(r.dm().MissingValueCount(), 0);
        EXPECT_EQ(r.dm().DamagedValueCount(), 1);
        EXPECT_EQ(r.dm().DamagedValueKeys(), std::vector<QByteArray>{v.key});
        EXPECT_TRUE(r.prompts.shown().empty());
    }

    struct Taken {
        const char* section;
        const char* key;
        const char* text;
        std::int32_t code;
        int element;
        std::int32_t value;
    };
    for (const Taken& t : {Taken{"MappaCoefficientiK", "MappaK0_0", "255", 0xc154, 0, 255},
                           {"MappaCoefficientiK", "MappaK0_1", "0", 0xc154, 1, 0},
                           {"Lambda", "RifLambda", "$FF", 0x5, 0, 255},
                           {"Lambda", "TipoDiLambda", "136", 0x4, 0, 136},
                           {"Accensione-Cambio", "NumeroCilindri", "72", 0x14, 0, 72}, // 8 with the weak-signal bit
                           {"Temperatura", "ParametriTempMotore3", "-128", 0x558a, 3, -128},
                           {"Temperatura", "CoeffMot0", "200", 0x915d, 0, 200},
                           {"Iniezione", "Prt00030", "10000", 0x8326, 0, 10000},
                           {"Generale", "Flag1", "0x414", 0x2303, 0, 1044}}) {
        SCOPED_TRACE(std::string(t.key) + "=" + t.text);
        load(rig::WithValue(plain, t.section, t.key, QByteArray(t.text)));
        EXPECT_EQ(r.dm().DamagedValueCount(), 0);
        EXPECT_EQ(r.dm().Item(t.code)[t.element], t.value);
    }

    // In their byte form the pressure corrections are signed bytes, which
    // the load turns into words.
    load("[PressioneDifferenziale]\r\nCoeffPressDiffByte=1\r\nCoeffPressDiff0=200\r\nCoeffPressDiff1=-128\r\n");
    EXPECT_EQ(r.dm().DamagedValueKeys(), std::vector<QByteArray>{"CoeffPressDiff0"});
    EXPECT_EQ(r.dm().Item(dm::kCoeffPressDiffWord)[0], 114 * 30); // the default
    EXPECT_EQ(r.dm().Item(dm::kCoeffPressDiffWord)[1], -128 * 30);
}

// Every file the program saves, from every ECU type, and every built-in set
// (DefaultSetsTest) loads without a damaged value.
TEST(DamagedValues, NoneInTheFilesTheProgramSaves)
{
    for (const qz::EcuTypeInfo& type : qz::EcuTypes()) {
        if (!type.supported)
            continue;
        SCOPED_TRACE(type.code);
        TransferRig r({.profile = "type=" + std::to_string(type.code)});
        const QString file = r.path(QStringLiteral("saved.zc4"));
        savedConfiguration(r, file);
        ASSERT_TRUE(r.transfer(T::TRANSFER_LOAD, file));
        EXPECT_EQ(r.dm().MissingValueCount(), 0);
        EXPECT_TRUE(r.dm().DamagedValueKeys().empty()) << r.dm().DamagedValueKeys().front().constData();
    }
}

// A single flipped bit anywhere in a file: refused, or missing keys or
// damaged values are counted, or at most two values differ (a digit that
// became another one: the format has no check sum to tell).
TEST(DamagedFiles, NoFlippedBitLoadsDefaultsUnnoticed)
{
    TransferRig r;
    const QString good = r.path(QStringLiteral("good.zc4"));
    const QByteArray bytes = savedConfiguration(r, good);
    ASSERT_TRUE(r.transfer(T::TRANSFER_LOAD, good));
    const auto original = r.image();
    int refused = 0, counted = 0, damaged = 0, changedValues = 0;
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
        if (r.dm().DamagedValueCount() > 0) {
            ++damaged;
            continue;
        }
        const auto loaded = r.image();
        int differ = 0;
        for (std::size_t i = 0; i < loaded.size(); ++i)
            differ += loaded[i] != original[i] ? 1 : 0;
        EXPECT_LE(differ, 2) << "bit " << bit;
        ++changedValues;
    }
    EXPECT_GT(refused + counted + damaged, changedValues);
    std::printf("flipped bits: %d refused, %d with missing values, %d with damaged values, %d with changed values\n",
                refused, counted, damaged, changedValues);
}

} // namespace

namespace {

// The seed corpus of the configuration-file fuzz target: files the program
// saved from the simulated ECU of a few types, and each of them split into
// parts within the target's input limit (4 KiB), every part a configuration
// of its own: section Generale and some of the others. Regenerate with
//   QZ_WRITE_FUZZ_SEEDS=<folder> test_datamodule_transfer --gtest_filter=FuzzSeeds.Generate
// where <folder> is tests/datamodule/files/fuzz/corpus_config.
TEST(FuzzSeeds, Generate)
{
    const QByteArray out = qgetenv("QZ_WRITE_FUZZ_SEEDS");
    if (out.isEmpty())
        GTEST_SKIP() << "QZ_WRITE_FUZZ_SEEDS not set";
    constexpr qsizetype kInputLimit = 4096;
    for (const char* type : {"30", "55", "79"}) {
        TransferRig r({.profile = std::string("type=") + type});
        const QString name = QString::fromLocal8Bit(out) + QStringLiteral("/saved-type%1").arg(QLatin1String(type));
        const QByteArray bytes = savedConfiguration(r, name + QStringLiteral(".zc4"));
        ASSERT_TRUE(qz::files::CheckConfigurationFile(bytes, r.dm().FileKey()).Accepted());

        const auto doc = qz::files::TIniDocument::Parse(*r.plainOf(name + QStringLiteral(".zc4")));
        const auto& sections = doc.Sections();
        ASSERT_EQ(sections.front().name, QByteArray("Generale"));
        const auto scrambled = [&](std::size_t from, std::size_t to) {
            qz::files::TIniDocument part;
            for (const auto& e : sections.front().entries)
                part.SetValue(sections.front().name, e.key, e.value);
            for (std::size_t i = from; i < to; ++i)
                for (const auto& e : sections[i].entries)
                    part.SetValue(sections[i].name, e.key, e.value);
            return qz::files::ScrambleBytes(part.Serialize(), r.dm().FileKey());
        };
        int n = 0;
        for (std::size_t from = 1; from < sections.size(); ++n) {
            std::size_t to = from + 1;
            while (to < sections.size() && scrambled(from, to + 1).size() <= kInputLimit)
                ++to;
            const QByteArray part = scrambled(from, to);
            // A section larger than the limit goes alone (cut by the fuzzer).
            ASSERT_TRUE(qz::files::CheckConfigurationFile(part, r.dm().FileKey()).Accepted());
            ASSERT_TRUE(qz::files::SaveFileAtomically(name + QStringLiteral("-part%1.zc4").arg(n + 1), part));
            from = to;
        }
    }
}

} // namespace
