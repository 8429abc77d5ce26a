// The built-in default sets: each loads, carries the fuel and injector its
// number stands for, and survives load and save unchanged apart from the keys
// a save stamps. With QZ_WRITE_DEFAULT_SETS=<folder> the generator test writes
// the plain sources of the sets from the block defaults instead.
#include "TransferSupport.h"

#include "product/constants/BuildConstants.h"

#include "datamodule/files/ConfigContainer.h"
#include "datamodule/files/EncryptedContainer.h"
#include "datamodule/files/SaveFile.h"

#include <QDir>
#include <QFile>
#include <set>

namespace {

using tx::kAll;
using tx::TransferRig;
using T = TStreamDati;

struct Set {
    int id;
    bool cng;
    int injector;
};

// Types 30 and the rest, 79 (one set for any injector), 50; then the two of
// the second format.
constexpr Set kSets[] = {
    {257, false, 0},  {258, true, 0},  {259, false, 25}, {260, true, 25}, {261, false, 28}, {262, true, 28},
    {263, false, 35}, {264, true, 35}, {265, false, 25}, {266, true, 25}, {267, false, 0},  {268, true, 0},
    {269, false, 25}, {270, true, 25}, {271, false, 28}, {272, true, 28}, {513, false, 25}, {514, true, 25},
};

// The text without the keys every save stamps anew.
QByteArray withoutStampedKeys(const QByteArray& plain)
{
    const auto doc = qz::files::TIniDocument::Parse(plain);
    qz::files::TIniDocument out;
    for (const auto& s : doc.Sections()) {
        if (s.name.compare("Sez0000", Qt::CaseInsensitive) == 0)
            continue;
        for (const auto& e : s.entries)
            if (e.key.compare("NomeConfigurazione", Qt::CaseInsensitive) != 0)
                out.SetValue(s.name, e.key, e.value);
    }
    return out.Serialize();
}

QString sourceOf(int id) { return QStringLiteral(QZ_DEFAULT_SETS_DIR "/%1.ini").arg(id); }

TEST(DefaultSets, Generate)
{
    const QByteArray out = qgetenv("QZ_WRITE_DEFAULT_SETS");
    if (out.isEmpty())
        GTEST_SKIP() << "QZ_WRITE_DEFAULT_SETS not set";
    for (const Set& s : kSets) {
        TransferRig r;
        const QString delta = r.path("delta.zc4");
        r.writeConfig(delta, QByteArray("[Generale]\r\nFlag1=") + QByteArray::number(s.cng ? 1046 : 1044) +
                                 "\r\nFlag2=1\r\n[Iniezione]\r\nTipoIniettoreSoftware=" +
                                 QByteArray::number(s.injector) + "\r\n");
        ASSERT_TRUE(r.transfer(T::TRANSFER_LOAD, delta));
        const QString saved = r.path("set.zc4");
        ASSERT_TRUE(r.transfer(T::TRANSFER_SAVE, saved));
        const auto plain = r.plainOf(saved);
        ASSERT_TRUE(plain);
        ASSERT_TRUE(qz::files::SaveFileAtomically(QString::fromLocal8Bit(out) + QStringLiteral("/%1.ini").arg(s.id),
                                                  withoutStampedKeys(*plain)));
    }
}

TEST(DefaultSets, EverySetLoadsWithItsFuelAndInjector)
{
    for (const Set& s : kSets) {
        for (std::uint32_t flags : {T::TRANSFER_LOAD, T::TRANSFER_LOAD_RES2}) {
            if (flags == T::TRANSFER_LOAD_RES2 && s.id < 513)
                continue;
            TransferRig r;
            ASSERT_TRUE(r.transfer(flags, {}, s.id)) << s.id << " " << r.prompts.texts().join(' ').toStdString();
            EXPECT_TRUE(r.dm().DamagedValueKeys().empty())
                << s.id << " " << r.dm().DamagedValueKeys().front().constData();
            EXPECT_EQ((r.dm().Item(0x2303)[0] & 0x2) != 0, s.cng) << s.id;
            EXPECT_EQ(r.dm().Item(0x2303)[0] & 0x40, 0) << s.id;
            EXPECT_EQ(r.dm().Item(0x2303)[1] & 0x20, 0) << s.id;
            EXPECT_EQ(r.dm().Item(0x2194)[0], s.injector) << s.id;
            EXPECT_EQ(r.dm().Item(0x2194)[1], s.injector) << s.id;
            if (flags == T::TRANSFER_LOAD) { // the rail pressures load from the first format only
                EXPECT_EQ(r.dm().Item(0xc3bd)[0], s.cng ? 1800 : 1000) << s.id;
            }
            EXPECT_TRUE(r.dm().GetUfficiale()) << s.id;
            EXPECT_EQ(r.dm().Modified, 0);
            EXPECT_FALSE(r.dm().IsContainerOpen());
        }
    }
}

TEST(DefaultSets, EveryChoiceOfTheProgramExists)
{
    std::set<int> ours;
    for (const Set& s : kSets)
        ours.insert(s.id);
    for (const auto& type : qz::EcuTypes())
        for (bool cng : {false, true})
            for (bool second : {false, true})
                for (int injector : {0, 23, 25, 28, 35, 80})
                    EXPECT_TRUE(ours.count(qz::DefaultConfigResourceId(static_cast<std::uint8_t>(type.code), cng,
                                                                       second, static_cast<std::uint8_t>(injector),
                                                                       5)))
                        << type.code << " " << cng << " " << second << " " << injector;
    // The second format is an encrypted container around INI text.
    for (int id : {513, 514}) {
        const auto data = qz::files::ReadDefaultSetResource(id);
        ASSERT_TRUE(data);
        const auto plain = qz::files::DecryptContainerResource(*data);
        ASSERT_TRUE(plain.Ok());
        EXPECT_TRUE(plain.body.startsWith('['));
    }
}

TEST(DefaultSets, LoadThenSaveGivesTheCommittedSource)
{
    for (const Set& s : kSets) {
        TransferRig r;
        ASSERT_TRUE(r.transfer(T::TRANSFER_LOAD, {}, s.id));
        const QString saved = r.path("again.zc4");
        ASSERT_TRUE(r.transfer(T::TRANSFER_SAVE, saved));
        QFile source(sourceOf(s.id));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly)) << s.id;
        EXPECT_EQ(withoutStampedKeys(*r.plainOf(saved)), withoutStampedKeys(source.readAll())) << s.id;
    }
}

TEST(DefaultSets, SetRoundTripThroughAFile)
{
    TransferRig r;
    ASSERT_TRUE(r.transfer(T::TRANSFER_LOAD, {}, 259));
    const auto first = r.image();
    const QString file = r.path("259.zc4");
    ASSERT_TRUE(r.transfer(T::TRANSFER_SAVE, file));
    r.dm().Image.Clear();
    ASSERT_TRUE(r.transfer(T::TRANSFER_LOAD, file));
    EXPECT_EQ(r.image(), first);
}

TEST(DefaultSets, GroupFourLoadTouchesOnlyItsBlocks)
{
    TransferRig r;
    ASSERT_TRUE(r.transfer(T::TRANSFER_LOAD, {}, 259));
    *r.dm().Item(0x5) = 40;
    r.dm().Item(0xc154)[0] = 77;
    r.dm().Item(0x238f)[0] = 1;
    ASSERT_TRUE(r.transfer(T::TRANSFER_LOAD_RES2, {}, 513, 4));
    EXPECT_EQ(*r.dm().Item(0x5), 40);
    EXPECT_EQ(r.dm().Item(0xc154)[0], 77);
    EXPECT_EQ(r.dm().Item(0x238f)[0], 977); // t(2.5)
}

} // namespace
