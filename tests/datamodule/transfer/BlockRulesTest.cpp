// The blocks' own rules: the two forms of the pressure corrections, the
// injector fix-ups, the K-map size, the note, the description, the closing
// block and the hex script.
#include "TransferSupport.h"

#include "datamodule/core/transfer/BlockTable.h"
#include "product/constants/BuildConstants.h"

#include "datamodule/files/HexScript.h"
#include "datamodule/files/SaveFile.h"
#include "datamodule/files/Scrambler.h"
#include "datamodule/files/WindowsVersionText.h"
#include "plat/ProgramVersion.h"

#include <QDate>

namespace {

using tx::kAll;
using tx::TransferRig;
using T = TStreamDati;

std::int32_t t(double ms, int tb = 2560) { return dm::transfer::TimeUnits(ms, tb); }

TEST(BlockRules, CoeffPressDiffFormsOnLoad)
{
    struct Case {
        const char* keys;
        std::int32_t expected0, expected14;
    };
    for (const Case& c : {Case{"CoeffPressDiff0=500\r\nCoeffPressDiffByte=0\r\n", 500, -31},
                          Case{"CoeffPressDiff0=50\r\nCoeffPressDiffByte=1\r\n", 1500, -930},
                          Case{"CoeffPressDiff0=50\r\n", 1500, -930}, Case{"", 114 * 30, -930}}) {
        TransferRig r;
        const QString file = r.path("p.zc4");
        r.writeConfig(file, QByteArray("[PressioneDifferenziale]\r\n") + c.keys);
        ASSERT_TRUE(r.transfer(T::TRANSFER_LOAD, file));
        EXPECT_EQ(r.dm().Item(0xf77c)[0], c.expected0) << c.keys;
        EXPECT_EQ(r.dm().Item(0xf77c)[14], c.expected14) << c.keys;
        EXPECT_EQ(r.dm().CoeffPressDiffByte, 0);
    }
}

TEST(BlockRules, CoeffPressDiffWrittenToAnEightBitEcu)
{
    TransferRig r({.profile = "type=50"});
    r.connectEcu();
    std::int32_t* v = r.dm().Item(0xf77c);
    v[0] = -4000;
    v[1] = 100;
    v[2] = 4000;
    r.dm().CoeffPressDiffByte = 0;
    ASSERT_TRUE(r.transfer(T::TRANSFER_WRITE_ECU));
    const auto ecu = tx::ecuItem(r.sim(), 0x7c);
    EXPECT_EQ(ecu[0], -128);
    EXPECT_EQ(ecu[1], 3);
    EXPECT_EQ(ecu[2], 127);
    EXPECT_EQ(r.dm().CoeffPressDiffByte, 1);
    // The script always carries the 16-bit form.
    const QString script = r.path("s.ehcf");
    ASSERT_TRUE(r.transfer(T::TRANSFER_SCRIPT, script));
    EXPECT_EQ(r.dm().CoeffPressDiffByte, 0);
    EXPECT_EQ(r.dm().Item(0xf77c)[1], 90);
}

TEST(BlockRules, InjectorFixUpsOnTheReadPath)
{
    struct Case {
        const char* profile;
        std::int32_t maxCurrent;   // item 0x4a element 0 in the ECU
        std::int32_t expected;
        std::int32_t item4f, expected4f;
        int injector;
    };
    const Case cases[] = {
        {"hw=2", t(3.8), t(6), 0, t(2.5), 23},
        {"hw=1", t(6.0), t(4.4), 5, 5, 23},
        {"hw=2", t(6.0), t(6.0), 0, t(2.5), 23}, // 6.0 ms stays on the newer hardware
        {"hw=2", t(3.8), t(3.8), 0, t(1.3), 82},
        {"hw=2", t(3.8), t(3.8), 0, t(0.8), 80},
        {"hw=2", t(3.8), t(3.8), 0, 0, 25},
    };
    for (const Case& c : cases) {
        TransferRig r({.profile = c.profile});
        r.connectEcu();
        const std::int32_t inj[] = {c.injector, c.injector};
        r.sim().PokeItem(0x94, inj);
        const std::int32_t mc[] = {c.maxCurrent, 0};
        r.sim().PokeItem(0x4a, mc);
        const std::int32_t i4f[] = {c.item4f};
        r.sim().PokeItem(0x4f, i4f);
        ASSERT_TRUE(r.transfer(T::TRANSFER_READ_ECU));
        EXPECT_EQ(r.dm().Item(0x234a)[0], c.expected) << c.injector << " " << c.profile;
        EXPECT_EQ(tx::ecuItem(r.sim(), 0x4a)[0], c.expected);
        EXPECT_EQ(*r.dm().Item(0x24f), c.expected4f) << c.injector;
        EXPECT_EQ(tx::ecuItem(r.sim(), 0x4f)[0], c.expected4f);
    }
}

TEST(BlockRules, LoadRules)
{
    TransferRig r;
    const QString file = r.path("l.zc4");
    r.writeConfig(file,
                  "[MappaCoefficientiK]\r\nNumeroColonne=8\r\nMappaK0_7=90\r\nMappaK0_8=91\r\n"
                  "[RiferimentiGiriK]\r\nRifGiriK11=7000\r\n"
                  "[Sez0005]\r\nPrt0002=90\r\n"
                  "[Arricchimento]\r\nSafeDelay=0\r\n"
                  "[Generale]\r\nFlag1=1076\r\nUfficiale=0\r\nDescrizAuto=My car with a rather long name here\r\n"
                  "[Iniezione]\r\nTipoIniettoreSoftware=28\r\n");
    r.dm().EcuInfo.EcuType = qz::ECU_TYPE_53;
    r.dm().Item(0xc154)[8] = 55;
    ASSERT_TRUE(r.transfer(T::TRANSFER_LOAD, file));
    auto& d = r.dm();
    EXPECT_EQ(*d.Item(0x5), 28);   // no section "Lambda": the defaults
    EXPECT_EQ(*d.Item(0x7), 5);
    EXPECT_EQ(d.NumeroColonne, 8);
    EXPECT_EQ(d.Item(0xc154)[7], 90);
    EXPECT_EQ(d.Item(0xc154)[8], 55);   // past the columns: neither default nor key
    EXPECT_EQ(d.Item(0xc73d)[11], 7000); // the axes read all twelve keys
    EXPECT_EQ(d.Item(0xc73d)[0], 750);   // 6000 x 1 / 8
    EXPECT_EQ(*d.Item(0xbc), 85);
    EXPECT_EQ(*d.Item(0x28e), t(2));
    EXPECT_EQ(d.Item(0x2303)[0], 1076 & ~0x20); // ECU type 53
    EXPECT_FALSE(d.GetUfficiale());
    EXPECT_EQ(d.Item(0x2194)[0], 28);
    EXPECT_EQ(d.Item(0x2194)[1], 28);
    EXPECT_EQ(d.Item(0x1e135)[2], 'M');
    EXPECT_EQ(d.Item(0x1e135)[29], 'a'); // 28 characters of the name
    EXPECT_EQ(d.Item(0xc3bd)[0], 1000);  // LPG rail pressures
    EXPECT_EQ(d.Item(0x21e)[0], 36526);
    EXPECT_STREQ(d.VersioneFirmware.data(), "xxx.xx");
    EXPECT_STREQ(d.VersioneProgramma.data(), "xx.xx.xx.xxxx");
    EXPECT_STREQ(d.VersioneWindows.data(), "Windows xxxx");

    // Saving writes twelve cells per row again.
    const QString out = r.path("o.zc4");
    ASSERT_TRUE(r.transfer(T::TRANSFER_SAVE, out));
    const auto doc = r.readConfig(out);
    EXPECT_EQ(doc.Value("MappaCoefficientiK", "MappaK0_8"), QByteArray("55"));
    EXPECT_EQ(doc.Value("MappaCoefficientiK", "MappaK12_11").has_value(), true);
    EXPECT_EQ(doc.Value("Generale", "Ufficiale"), QByteArray("0"));
    EXPECT_EQ(doc.Value("Generale", "NomeConfigurazione"), QByteArray("o.zc4"));
    EXPECT_EQ(doc.Value("Generale", "VersioneFile"), QByteArray("1"));
    EXPECT_EQ(doc.Value("Iniezione", "TipoIniettoreSoftware"), QByteArray("28"));
}

TEST(BlockRules, MapSizeFromTheEcuOverridesTheFile)
{
    TransferRig r({.profile = "mapcols=10;maprows=11"});
    const QString file = r.path("m.zc4");
    r.writeConfig(file, "[MappaCoefficientiK]\r\nNumeroRighe=6\r\nNumeroColonne=6\r\n");
    r.connectEcu();
    ASSERT_TRUE(r.transfer(T::TRANSFER_LOAD | T::TRANSFER_READ_ECU, file));
    EXPECT_EQ(r.dm().NumeroColonne, 10);
    EXPECT_EQ(r.dm().NumeroRighe, 11);
    // A file size outside the tables is not taken.
    TransferRig b;
    b.writeConfig(file, "[MappaCoefficientiK]\r\nNumeroRighe=40\r\nNumeroColonne=0\r\n");
    ASSERT_TRUE(b.transfer(T::TRANSFER_LOAD, file));
    EXPECT_EQ(b.dm().NumeroRighe, 12);
    EXPECT_EQ(b.dm().NumeroColonne, 12);
}

TEST(BlockRules, NoteTravelsAsSixBitCharacters)
{
    struct Case {
        const char* note;
        const char* back;
    };
    for (const Case& c : {Case{"AB 12_Z", "AB 12_Z"}, Case{"abc", "!\"#"}, Case{"", ""}}) {
        TransferRig r;
        r.connectEcu();
        std::strcpy(r.dm().NoteConfig.data(), c.note);
        ASSERT_TRUE(r.transfer(T::TRANSFER_WRITE_ECU));
        r.dm().NoteConfig.fill(0);
        ASSERT_TRUE(r.transfer(T::TRANSFER_READ_ECU));
        QByteArray expected(c.back);
        expected += QByteArray(64 - expected.size(), ' ');
        EXPECT_EQ(QByteArray(r.dm().NoteConfig.data()), expected) << c.note;
    }
    // An ECU without the note item: 64 blanks.
    TransferRig r({.profile = "fw=21.0"});
    r.connectEcu();
    std::strcpy(r.dm().NoteConfig.data(), "OLD");
    ASSERT_TRUE(r.transfer(T::TRANSFER_READ_ECU));
    EXPECT_EQ(QByteArray(r.dm().NoteConfig.data()), QByteArray(64, ' '));
}

TEST(BlockRules, ClosingBlockTextsAndDate)
{
    TransferRig r;
    r.dm().EcuInfo.FirmwareMajor = 5;
    r.dm().EcuInfo.FirmwareMinor = 12;
    r.clock.setToday(QDate(2010, 3, 1));
    const QString file = r.path("c.zc4");
    ASSERT_TRUE(r.transfer(T::TRANSFER_WRITE_ECU | T::TRANSFER_SAVE, file));
    EXPECT_EQ(*r.dm().Item(0x21e), 40238);
    const auto doc = r.readConfig(file);
    EXPECT_EQ(doc.Value("Sez0000", "Prt0000"), QByteArray("5.12"));
    EXPECT_EQ(doc.Value("Sez0000", "Prt0001"), plat::ProgramVersion().toLatin1().left(19));
    EXPECT_EQ(doc.Value("Sez0000", "Prt0002"),
              qz::files::WindowsTextField(qz::files::GetWindowsVersionText()));
}

TEST(BlockRules, HexScriptLeavesOnlyTheScrambledTarget)
{
    TransferRig r;
    ASSERT_TRUE(r.transfer(T::TRANSFER_LOAD, {}, 259));
    const QString script = r.path("out.ehcf");
    ASSERT_TRUE(r.transfer(T::TRANSFER_SCRIPT, script));
    EXPECT_EQ(r.scratchFiles(), QStringList{"out.ehcf"});
    const auto file = qz::files::ReadWholeFile(script);
    ASSERT_TRUE(file.Ok());
    EXPECT_TRUE(file.data.startsWith("ENCRYPTED_MLTP_FILE\r\n"));
    const QByteArray plain =
        qz::files::DescrambleBytes(file.data, qz::files::HexScriptKey(), qz::files::TScrambledSource::File);
    EXPECT_TRUE(plain.startsWith("C0 5 0 \r\nL0 "));
    EXPECT_TRUE(plain.contains("\r\nF0 5 1C\r\n"));
    EXPECT_TRUE(plain.contains("\r\nF3 2303 414 1\r\n"));
    EXPECT_TRUE(plain.contains("\r\nF1 1B 7 0\r\n"));
    EXPECT_TRUE(plain.contains("\r\nF0 1 0\r\n"));
    EXPECT_TRUE(plain.contains("\r\nF1 94 1 19\r\n")); // injector 25
    EXPECT_FALSE(plain.contains("\r\nF0 212 "));       // ECU-only items: with "all" only
    EXPECT_FALSE(plain.contains("Prt"));

    // With the "all items" flag the ECU-only records come too.
    ASSERT_TRUE(r.transfer(T::TRANSFER_SCRIPT | T::TRANSFER_SCRIPT_ALL, script));
    const QByteArray all = qz::files::DescrambleBytes(qz::files::ReadWholeFile(script).data,
                                                      qz::files::HexScriptKey(), qz::files::TScrambledSource::File);
    EXPECT_TRUE(all.contains("\r\nF0 212 0\r\n"));
    EXPECT_TRUE(all.contains("\r\nF3 A119 0 0 0 0 0 0 0 0 0 0\r\n"));
    EXPECT_TRUE(all.contains("\r\nF0 255 0\r\n"));
    EXPECT_GT(all.size(), plain.size());
    EXPECT_EQ(r.scratchFiles(), QStringList{"out.ehcf"});
}

TEST(BlockRules, FailedScriptPassLeavesNoFile)
{
    TransferRig r;
    r.connectEcu();
    r.sim().AddFault({.op = protovyx::Op::ReadItem, .code = 0x5});
    r.prompts.script(plat::IDNO);
    EXPECT_FALSE(r.transfer(T::TRANSFER_READ_ECU | T::TRANSFER_SCRIPT, r.path("x.ehcf")));
    EXPECT_TRUE(r.scratchFiles().isEmpty());
}

} // namespace
