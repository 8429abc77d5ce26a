// Whole passes against the simulated ECU: reading and writing the image,
// offline work, the failure question and its retry, the injector check,
// progress and the modified flag.
#include "TransferSupport.h"

#include "datamodule/files/Scrambler.h"

#include "product/constants/BuildConstants.h"

#include <QDate>
#include <algorithm>

namespace {

using tx::kAll;
using tx::TransferRig;
using T = TStreamDati;

bool isEcuWrite(const std::string& n)
{
    return n == "WriteItem" || n == "WriteValue" || n == "WriteElement" || n == "WriteRow" || n == "WriteCell";
}

std::vector<std::uintptr_t> progressOf(const TransferRig& r)
{
    std::vector<std::uintptr_t> out;
    for (const auto& m : r.windows.broadcast)
        if (m.message == plat::WM_WAITPROGRESS)
            out.push_back(m.wParam);
    return out;
}

// The 48 bytes an ECU holds for a note.
std::vector<std::int32_t> packedNote(const char* text)
{
    int c[64] = {};
    for (int i = 0; text[i] && i < 64; ++i)
        c[i] = static_cast<unsigned char>(text[i]) - 32;
    std::vector<std::int32_t> b;
    for (int g = 0; g < 16; ++g) {
        const int c0 = c[4 * g];
        b.push_back(((c0 & 3) << 6) | (c[4 * g + 1] & 0x3F));
        b.push_back(((c0 & 0x0C) << 4) | (c[4 * g + 2] & 0x3F));
        b.push_back(((c0 & 0x30) << 2) | (c[4 * g + 3] & 0x3F));
    }
    return b;
}

TEST(TransferRead, WholeImageFromTheEcu)
{
    TransferRig r({.profile = "type=30;fw=30.4;tb=2000;mapcols=8;maprows=10;absent=0xab,0x27"});
    r.connectEcu();
    const std::int32_t lambda[] = {33};
    r.sim().PokeItem(0x05, lambda);
    const auto note = packedNote("WORKSHOP 7, BAY 2");
    r.sim().PokeItem(0x1b, note);
    r.dm().TipiLambdaPresent = 1;
    r.dm().VariatorePresent = 1;

    ASSERT_TRUE(r.transfer(T::TRANSFER_READ_ECU, {}, 0, kAll, true));
    EXPECT_EQ(r.prompts.shown().size(), 0u);
    auto& d = r.dm();
    EXPECT_EQ(*d.Item(0x5), 33);
    EXPECT_EQ(d.GetTimeBase(), 2000);
    EXPECT_EQ(d.NumeroColonne, 8);
    EXPECT_EQ(d.NumeroRighe, 10);
    // The K map came row by row: 11 rows of 8 cells.
    const auto rows = r.callsOf("ReadRow");
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const auto& c) { return c.code == 0x8154; }), 11);
    EXPECT_STREQ(d.NoteConfig.data(), "WORKSHOP 7, BAY 2                                               ");
    // Absent items clear their present flags, present ones set them.
    EXPECT_EQ(d.TipiLambdaPresent, 0);
    EXPECT_EQ(d.VariatorePresent, 0);
    EXPECT_EQ(d.Flag34Present, 1);
    EXPECT_EQ(d.Item264Present, 1);
    EXPECT_EQ(d.CoeffPressDiffByte, 0); // this firmware keeps the 16-bit form
    // The identity step keeps the first idle poll from seeing another ECU.
    const auto id = tx::ecuItem(r.sim(), 0);
    EXPECT_TRUE(std::equal(id.begin(), id.end(), d.Identity.begin()));
    EXPECT_EQ(d.Modified, 1);
    // A read writes nothing and opens no write session.
    for (const auto& n : r.callNames())
        EXPECT_FALSE(isEcuWrite(n)) << n;
    EXPECT_TRUE(r.callsOf("SendCommand").size() == 1 && r.callsOf("SendCommand")[0].code == 0x04);
    const auto p = progressOf(r);
    ASSERT_GE(p.size(), 3u);
    EXPECT_EQ(p.front(), 0u);
    EXPECT_EQ(p.back(), 100u);
    EXPECT_TRUE(std::is_sorted(p.begin(), p.end()));
}

TEST(TransferRead, ImplausibleMapSizeKeepsTheCurrentOne)
{
    for (const auto& reply : std::vector<std::vector<std::uint8_t>>{{0, 13}, {13, 13}, {12, 14}, {12, 1}, {5}}) {
        TransferRig r;
        r.connectEcu();
        r.sim().SetCommandOverride(0x04, reply, true);
        // Rows of a map the ECU calls bigger would run past the table.
        r.sim().SetStrict(false);
        ASSERT_TRUE(r.transfer(T::TRANSFER_READ_ECU));
        EXPECT_EQ(r.dm().NumeroColonne, 12);
        EXPECT_EQ(r.dm().NumeroRighe, 12);
        r.sim().ClearViolations();
    }
}

TEST(TransferWrite, SessionCommandsAndReconnect)
{
    TransferRig r;
    r.clock.setToday(QDate(2010, 3, 1));
    r.connectEcu();
    *r.dm().Item(0x5) = 30;
    ASSERT_TRUE(r.transfer(T::TRANSFER_WRITE_ECU, {}, 0, kAll, true));
    EXPECT_EQ(r.prompts.shown().size(), 0u);

    const auto names = r.callNames();
    const auto calls = r.sim().Calls();
    const auto first = std::find_if(names.begin(), names.end(), isEcuWrite);
    const auto last = std::find_if(names.rbegin(), names.rend(), isEcuWrite).base() - 1;
    ASSERT_NE(first, names.end());
    // 0x11 before the first write, 0x12, disconnect and reconnect after the last.
    std::vector<std::int32_t> commands;
    for (const auto& c : calls)
        if (c.name == "SendCommand")
            commands.push_back(c.code);
    EXPECT_EQ(commands, (std::vector<std::int32_t>{0x11, 0x04, 0x12}));
    const auto open = std::find_if(calls.begin(), calls.end(), [](const auto& c) { return c.name == "SendCommand" && c.code == 0x11; });
    EXPECT_LT(open - calls.begin(), first - names.begin());
    const auto close = std::find_if(calls.begin(), calls.end(), [](const auto& c) { return c.name == "SendCommand" && c.code == 0x12; });
    EXPECT_GT(close - calls.begin(), last - names.begin());
    EXPECT_EQ(close->row, 1);     // length 1 in
    EXPECT_EQ(close->column, 5);  // a buffer of 5
    const auto after = std::vector<std::string>(names.begin() + (close - calls.begin()), names.end());
    const auto disc = std::find(after.begin(), after.end(), "Disconnect");
    ASSERT_NE(disc, after.end());
    EXPECT_NE(std::find(disc, after.end(), "Connect"), after.end());
    EXPECT_TRUE(r.sim().LinkOpen());

    // The date of the write: 1 March 2010.
    EXPECT_EQ(*r.dm().Item(0x21e), 40238);
    EXPECT_EQ(tx::ecuItem(r.sim(), 0x1e), std::vector<std::int32_t>{40238});
    EXPECT_EQ(tx::ecuItem(r.sim(), 0x05), std::vector<std::int32_t>{30});
    EXPECT_EQ(r.dm().Modified, 0);
}

TEST(TransferWrite, OfflineCompletesAndStampsTheDate)
{
    TransferRig r;
    r.clock.setToday(QDate(2010, 3, 1));
    ASSERT_TRUE(r.transfer(T::TRANSFER_WRITE_ECU));
    EXPECT_EQ(*r.dm().Item(0x21e), 40238);
    EXPECT_EQ(r.prompts.shown().size(), 0u);
    EXPECT_TRUE(r.callsOf("Connect").empty());
    for (const auto& c : r.callsOf("SendCommand"))
        EXPECT_NE(c.code, 0x11);
    EXPECT_FALSE(r.sim().LinkOpen());
}

TEST(TransferWrite, LinkLostMidWriteFails)
{
    // Lost with a failed call, and lost with a call that still reports
    // success (every later write would then "succeed" offline).
    for (std::int32_t status : {1, 0}) {
        TransferRig r;
        r.connectEcu();
        r.sim().AddFault({.op = protovyx::Op::WriteRow, .code = 0xc154, .skip = 3, .status = status,
                          .thenLoseLink = true});
        r.prompts.script({plat::IDNO, plat::IDOK});
        EXPECT_FALSE(r.transfer(T::TRANSFER_WRITE_ECU));
        ASSERT_EQ(r.prompts.shown().size(), 2u);
        EXPECT_EQ(r.prompts.shown()[0].text, "T303 T47");
        EXPECT_EQ(r.prompts.shown()[0].buttons, plat::PromptButtons::YesNo);
        // Given up: the ECU holds part of the image, which stays in memory.
        EXPECT_EQ(r.prompts.shown()[1].text, "T780");
        EXPECT_EQ(r.dm().Modified, 1);
        // Nothing after the failing row was written.
        const auto names = r.callNames();
        const auto rows = r.callsOf("WriteRow");
        EXPECT_EQ(rows.back().code, 0xc154);
        EXPECT_EQ(rows.back().row, 3);
    }
}

TEST(TransferFailure, YesReconnectsAndRerunsNoGivesUpCleanly)
{
    TransferRig r;
    r.connectEcu();
    r.sim().AddFault({.op = protovyx::Op::ReadItem, .code = 0x5, .times = 1});
    r.prompts.script(plat::IDYES);
    ASSERT_TRUE(r.transfer(T::TRANSFER_READ_ECU));
    ASSERT_EQ(r.prompts.shown().size(), 1u);
    EXPECT_EQ(r.prompts.shown()[0].text, "T303 T47");
    const auto names = r.callNames();
    const auto calls = r.sim().Calls();
    const auto failed =
        std::find_if(calls.begin(), calls.end(), [](const auto& c) { return c.code == 0x5 && !c.result; });
    ASSERT_NE(failed, calls.end());
    const auto rest = std::vector<std::string>(names.begin() + (failed - calls.begin()), names.end());
    const auto disc = std::find(rest.begin(), rest.end(), "Disconnect");
    EXPECT_NE(std::find(disc, rest.end(), "Connect"), rest.end());

    // No: false, containers closed, the file as it was, nothing left behind.
    TransferRig n;
    n.connectEcu();
    const QString file = n.path("car.zc4");
    n.writeConfig(file, "[Lambda]\r\nRifLambda=40\r\n");
    const auto before = n.plainOf(file);
    n.dm().Modified = 1;
    n.sim().AddFault({.op = protovyx::Op::ReadRow, .code = 0xc154, .skip = 5});
    n.prompts.script(plat::IDNO);
    EXPECT_FALSE(n.transfer(T::TRANSFER_READ_ECU | T::TRANSFER_SAVE, file));
    EXPECT_FALSE(n.dm().IsContainerOpen());
    EXPECT_EQ(n.plainOf(file), before);
    EXPECT_EQ(n.scratchFiles(), QStringList{"car.zc4"});
    EXPECT_EQ(n.dm().Modified, 1); // left as it was
    EXPECT_FALSE(n.sim().LinkOpen());
}

TEST(TransferFailure, ContainerErrorsAskToo)
{
    TransferRig r;
    r.prompts.script(plat::IDNO);
    EXPECT_FALSE(r.transfer(T::TRANSFER_LOAD, r.path("missing.zc4")));
    ASSERT_EQ(r.prompts.shown().size(), 1u);
    EXPECT_EQ(r.prompts.shown()[0].text, "T301");
    r.prompts.clear();
    r.prompts.script(plat::IDNO);
    EXPECT_FALSE(r.transfer(T::TRANSFER_LOAD, {}, 9999));
    ASSERT_EQ(r.prompts.shown().size(), 1u);
    EXPECT_EQ(r.prompts.shown()[0].text, "T302");
    // A folder cannot be saved over: 304, and the pass ends closed.
    r.prompts.clear();
    r.prompts.script(plat::IDNO);
    EXPECT_FALSE(r.transfer(T::TRANSFER_SAVE, r.dir.path()));
    ASSERT_EQ(r.prompts.shown().size(), 1u);
    EXPECT_EQ(r.prompts.shown()[0].text, "T304");
    EXPECT_FALSE(r.dm().IsContainerOpen());
}

TEST(TransferInjectorCheck, MismatchAskedOnceAndRefusalReconnectsThroughTheMainWindow)
{
    TransferRig r; // the ECU holds injector type 25
    r.connectEcu();
    r.dm().Item(0x2194)[1] = 28;
    r.prompts.script(plat::IDNO);
    EXPECT_FALSE(r.transfer(T::TRANSFER_CHECK_INJECTOR | T::TRANSFER_WRITE_ECU));
    ASSERT_EQ(r.prompts.shown().size(), 1u);
    const auto& box = r.prompts.shown()[0];
    EXPECT_EQ(box.text, QStringLiteral("T342 %1!!!\nT343 %2!!!\nT181")
                            .arg(QString::fromLatin1(qz::InjectorTypeName(28)), QString::fromLatin1(qz::InjectorTypeName(25))));
    EXPECT_EQ(box.defaultAnswer, plat::IDNO);
    EXPECT_EQ(box.icon, plat::PromptIcon::Error);
    const auto ev = r.events();
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].lParam, 3);
    EXPECT_EQ(ev[0].wParam, 0u);
    EXPECT_FALSE(r.sim().LinkOpen());
    for (const auto& n : r.callNames())
        EXPECT_FALSE(isEcuWrite(n)) << n;

    // Yes goes on with the write.
    TransferRig y;
    y.connectEcu();
    y.dm().Item(0x2194)[1] = 28;
    y.prompts.script(plat::IDYES);
    EXPECT_TRUE(y.transfer(T::TRANSFER_CHECK_INJECTOR | T::TRANSFER_WRITE_ECU));
    EXPECT_EQ(tx::ecuItem(y.sim(), 0x94), (std::vector<std::int32_t>{28, 28}));

    // A failed read of the ECU's type asks nothing about type 0.
    TransferRig f;
    f.connectEcu();
    f.sim().AddFault({.op = protovyx::Op::ReadRow, .code = 0x94});
    EXPECT_FALSE(f.transfer(T::TRANSFER_CHECK_INJECTOR | T::TRANSFER_WRITE_ECU));
    EXPECT_TRUE(f.prompts.shown().empty());
    const auto fe = f.events();
    ASSERT_EQ(fe.size(), 1u);
    EXPECT_EQ(fe[0].lParam, 3);
}

TEST(TransferProgress, GroupEightReadsOnlyTheMapYetRunsToTheEnd)
{
    TransferRig r;
    r.connectEcu();
    ASSERT_TRUE(r.transfer(T::TRANSFER_READ_ECU, {}, 0, 8, true));
    for (const auto& c : r.sim().Calls()) {
        if (c.name == "ReadItem" || c.name == "ReadRow") {
            const int item = c.code & 0xFF;
            // The map and its axes, the closing block's date and the poll
            // step that ends a pass (identity, diagnostics, status word).
            EXPECT_TRUE(item == 0x37 || item == 0x3d || item == 0x54 || item == 0x1e || item == 0x00 ||
                        item == 0x1d || item == 0xac)
                << std::hex << c.code;
        }
    }
    const auto p = progressOf(r);
    ASSERT_FALSE(p.empty());
    EXPECT_EQ(p.front(), 0u);
    EXPECT_EQ(p.back(), 100u);
    EXPECT_TRUE(std::is_sorted(p.begin(), p.end()));
    // Every block reported: the count reaches the total.
    EXPECT_GE(r.dm().TransferCount, r.dm().TransferTotal);
}

TEST(TransferModified, AfterEachKindOfPass)
{
    TransferRig r;
    const QString file = r.path("a.zc4");
    struct Case {
        std::uint32_t flags;
        bool connect;
        std::uint8_t expected;
    };
    for (const Case& c : {Case{T::TRANSFER_READ_ECU, true, 1}, Case{T::TRANSFER_SAVE, false, 0},
                          Case{T::TRANSFER_LOAD, false, 0}, Case{T::TRANSFER_WRITE_ECU, false, 0},
                          Case{T::TRANSFER_READ_ECU | T::TRANSFER_SAVE, true, 1}}) {
        if (c.connect && !r.sim().LinkOpen())
            r.connectEcu();
        r.dm().Modified = c.expected ? 0 : 1;
        ASSERT_TRUE(r.transfer(c.flags, file)) << c.flags;
        EXPECT_EQ(r.dm().Modified, c.expected) << c.flags;
    }
}

TEST(TransferRoundTrip, ReadSaveLoadGivesTheSameFileItems)
{
    TransferRig r({.profile = "type=55;fw=7.2"});
    r.connectEcu();
    const std::int32_t map[] = {130, 131, 132};
    r.sim().PokeItem(0x54, map);
    r.sim().PokeItem(0x1b, packedNote("ROUND TRIP"));
    ASSERT_TRUE(r.transfer(T::TRANSFER_READ_ECU));
    const auto read = r.image();
    const auto note = r.dm().NoteConfig;
    const QString file = r.path("rt.zc4");
    ASSERT_TRUE(r.transfer(T::TRANSFER_SAVE, file));
    r.dm().Image.Clear();
    r.dm().NoteConfig.fill(0);
    ASSERT_TRUE(r.transfer(T::TRANSFER_LOAD, file));
    const auto loaded = r.image();
    for (const dm::ItemDef& d : dm::ItemCatalogue()) {
        // (0xbc: a load caps it at 85.)
        if (!d.inImage || *d.fileKey == '\0' || d.Number() == 0x1e || d.Number() == 0xbc)
            continue;
        const std::int32_t* a = read.data() + (r.dm().Item(d.code) - r.dm().Image.All().data());
        const std::int32_t* b = loaded.data() + (a - read.data());
        for (int i = 0; i < d.Elements(); ++i)
            EXPECT_EQ(a[i], b[i]) << std::hex << d.code << " [" << std::dec << i << "]";
    }
    // The file keeps the note without the blanks the ECU pads it with.
    EXPECT_EQ(QByteArray(r.dm().NoteConfig.data()), QByteArray(note.data()).trimmed());
}

TEST(TransferRoundTrip, LoadWriteReadGivesTheSameImage)
{
    TransferRig r;
    const QString file = r.path("in.zc4");
    r.writeConfig(file, "[Lambda]\r\nRifLambda=40\r\n[Generale]\r\nNoteConfig=LOADED NOTE\r\n"
                        "[MappaCoefficientiK]\r\nMappaK0_0=99\r\n");
    r.connectEcu();
    ASSERT_TRUE(r.transfer(T::TRANSFER_LOAD, file));
    ASSERT_TRUE(r.transfer(T::TRANSFER_WRITE_ECU));
    const auto written = r.image();
    ASSERT_TRUE(r.transfer(T::TRANSFER_READ_ECU));
    const auto read = r.image();
    EXPECT_EQ(*r.dm().Item(0x5), 40);
    EXPECT_EQ(r.dm().Item(0xc154)[0], 99);
    EXPECT_STREQ(r.dm().NoteConfig.data(), "LOADED NOTE                                                     ");
    for (const dm::ItemDef& d : dm::ItemCatalogue()) {
        if (!d.inImage || *d.fileKey == '\0')
            continue;
        const std::ptrdiff_t at = r.dm().Item(d.code) - r.dm().Image.All().data();
        for (int i = 0; i < d.Elements(); ++i)
            EXPECT_EQ(written[at + i], read[at + i]) << std::hex << d.code << " [" << std::dec << i << "]";
    }
}

} // namespace

namespace {

TEST(TransferWrite, AfterAResetClearsBitZeroOfItemOne)
{
    TransferRig r({.profile = "fresh=1"});
    r.connectEcu();
    const std::int32_t one[] = {3};
    r.sim().PokeItem(0x01, one);
    ASSERT_TRUE(r.transfer(T::TRANSFER_CLEAR_ITEM1_BIT0 | T::TRANSFER_WRITE_ECU));
    EXPECT_EQ(tx::ecuItem(r.sim(), 0x01), std::vector<std::int32_t>{2});
    const auto writes = r.callsOf("WriteValue");
    const auto w = std::find_if(writes.begin(), writes.end(), [](const auto& c) { return c.code == 1; });
    ASSERT_NE(w, writes.end());
    // Every pause asked for is slept after each block.
    TransferRig p;
    const auto before = p.clock.sleeps().size();
    ASSERT_TRUE(p.dm().TransferData(T::TRANSFER_LOAD, {}, 0, 0x7fffffff, 0, 7));
    const auto& sleeps = p.clock.sleeps();
    EXPECT_GT(std::count(sleeps.begin() + static_cast<std::ptrdiff_t>(before), sleeps.end(), 7u), 100);
}

} // namespace
