#include "product/firmware/FirmwareMeta.h"
#include "shell/firmware/FirmwareImage.h"

#include "datamodule/files/EncryptedContainer.h"
#include "plat/ProgramVersion.h"
#include "product/constants/BuildConstants.h"
#include "product/firmware/WholeImage.h"
#include "protovyx/Simulator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

using namespace qz::firmware;

namespace {

// The buffer the programming call takes, exactly as large as it has to be
// (a read past its end is a heap overflow under the sanitizers).
struct Image {
    std::vector<char> bytes;
    QByteArrayView view() const { return QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())); }
};

Image prefixed(std::string_view text, std::optional<std::uint32_t> stated = std::nullopt)
{
    const std::uint32_t n = stated.value_or(static_cast<std::uint32_t>(text.size()));
    Image img;
    for (int i = 0; i < 4; ++i)
        img.bytes.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
    img.bytes.insert(img.bytes.end(), text.begin(), text.end());
    return img;
}

// Type 30, variants 2 and 5, version 30.5, for programs from 1.0 on.
TImageSpec baseSpec()
{
    TImageSpec spec;
    spec.meta = {.type = 30, .variantMask = 0x24, .version = 0x1E05, .minProgramVersion = 0x0100, .salt = 0x3C};
    spec.dataBytes = 256;
    return spec;
}

struct Ecu {
    std::uint32_t bootId = 0x1E05;
    std::uint16_t bootExtra = 0;
    int variant = 2;
    int pers = 1;
    int program = 0x0100;
};

int check(const Image& img, const Ecu& ecu, int* variantReads = nullptr)
{
    return CheckFirmwareImage(ecu.pers, img.view(), ecu.bootId, ecu.bootExtra,
                              [&] {
                                  if (variantReads)
                                      ++*variantReads;
                                  return ecu.variant;
                              },
                              ecu.program);
}

} // namespace

// --- Boot identity and file extension -----------------------------------------------

TEST(FirmwareFile, ExtensionMustFitTheBootIdentity)
{
    qz::InitBuildConstants();
    struct Case {
        const char* ext;
        std::uint32_t bootId;
        std::uint16_t extra;
        bool ok;
    };
    const Case cases[] = {
        {".zp4", 0x1E05, 0, true},
        {".zp4", 0x1E04, 0, false},      // model byte 4
        {".zpc", 0x0305, 0x0037, true},  // boot mode: type 55 from the extra value
        {".zp4", 0x0305, 0x0037, false},
        {".zpc", 0x0305, 0x1237, true},  // only the extra value's low byte counts
        {".ZP4", 0x1E05, 0, false},      // letter case counts
        {"zp4", 0x1E05, 0, false},       // the dot belongs to it
        {"", 0x1E05, 0, false},
        {".zp8", 0x1FFD, 0, true},       // model 253
        {".zp4", 0x32FF, 0, true},       // type 50, model 255
        {".zp4", 0x4F25, 0, true},       // type 79, model 37
        {".zpe", 0x2505, 0, true},       // type 37 can be programmed
        {".zpt", 0x2605, 0, true},
        {".zp4", 0x2005, 0, false},      // type 32 cannot
        {".zp4", 0x5005, 0, false},      // beyond 0x4FFF: no type
        {".zp4", 0x11E05, 0, false},
        {".zp4", 0x0405, 0x1E, false},   // 0x04xx: no type
        {".zp4", 0x03FF, 0x011E, true},  // boot mode, model 255, type 30
        {".zp4", 0x0305, 0x0003, false}, // boot mode with the boot type itself
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ext << " " << std::hex << c.bootId << " " << c.extra);
        EXPECT_EQ(FirmwareFileMatchesEcu(QString::fromLatin1(c.ext), c.bootId, c.extra), c.ok);
    }
}

TEST(FirmwareFile, ExtensionIsTakenFromTheLastDotOfTheName)
{
    EXPECT_EQ(FirmwareExtensionOf("/fw/Demo_T30_V30.5.zp4"), ".zp4");
    EXPECT_EQ(FirmwareExtensionOf("/fw.d/noext"), "") << "a dot in a folder is not the name's";
    EXPECT_EQ(FirmwareExtensionOf("name."), ".");
    EXPECT_EQ(FirmwareExtensionOf(""), "");
}

TEST(FirmwareFile, TypeFromBootIdentity)
{
    EXPECT_EQ(EcuTypeFromBoot(0x1E00, 0), 30);
    EXPECT_EQ(EcuTypeFromBoot(0x4FFF, 0), 0x4F);
    EXPECT_EQ(EcuTypeFromBoot(0x1DFF, 0), std::nullopt);
    EXPECT_EQ(EcuTypeFromBoot(0x0300, 0xAB37), 0x37);
    EXPECT_EQ(EcuTypeFromBoot(0x0400, 0x37), std::nullopt);
    EXPECT_EQ(ModelByteOf(0x1E25), 0x25);
}

// --- The image check ----------------------------------------------------------------

struct CheckCase {
    const char* name;
    void (*edit)(TImageSpec&);
    Ecu ecu;
    int expected;
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

class ImageCheck : public testing::TestWithParam<CheckCase> {};

TEST_P(ImageCheck, GivesTheResultOfTheFirstFailingRule)
{
    const CheckCase& c = GetParam();
    TImageSpec spec = baseSpec();
    if (c.edit)
        c.edit(spec);
    EXPECT_EQ(check(prefixed(WriteFirmwareImage(spec)), c.ecu), c.expected);
}

constexpr Ecu kBoot30{.bootId = 0x0305, .bootExtra = 30};

INSTANTIATE_TEST_SUITE_P(Table, ImageCheck, testing::Values(
    CheckCase{"accepted", nullptr, {}, 0},
    CheckCase{"accepted in boot mode", nullptr, kBoot30, 0},
    CheckCase{"two S0 records", [](TImageSpec& s) { s.s0Records = 2; }, {}, 7},
    CheckCase{"four S0 records", [](TImageSpec& s) { s.s0Records = 4; }, {}, 7},
    CheckCase{"no S0 record", [](TImageSpec& s) { s.s0Records = 0; }, {}, 7},
    CheckCase{"two S0 records, boot mode", [](TImageSpec& s) { s.s0Records = 2; }, kBoot30, 6},
    CheckCase{"four S0 records, boot mode", [](TImageSpec& s) { s.s0Records = 4; }, kBoot30, 6},
    CheckCase{"consistency broken", [](TImageSpec& s) { s.breakConsistency = true; }, {}, 1},
    CheckCase{"consistency broken, boot mode", [](TImageSpec& s) { s.breakConsistency = true; }, kBoot30, 1},
    CheckCase{"another type", [](TImageSpec& s) { s.meta.type = 31; }, {}, 2},
    CheckCase{"another type than the boot type", nullptr, {.bootId = 0x0305, .bootExtra = 31}, 2},
    CheckCase{"variant not in the mask", nullptr, {.variant = 3}, 3},
    CheckCase{"variant 5 in the mask", nullptr, {.variant = 5}, 0},
    CheckCase{"only the variant's low five bits count", nullptr, {.variant = 32 + 2}, 0},
    CheckCase{"variants from 8 never pass", [](TImageSpec& s) { s.meta.variantMask = 0xFF; }, {.variant = 8}, 3},
    CheckCase{"variant 31 never passes", [](TImageSpec& s) { s.meta.variantMask = 0xFF; }, {.variant = -1}, 3},
    CheckCase{"old version, personalised", [](TImageSpec& s) { s.meta.version = 0x1DFF; }, {.pers = 2}, 4},
    CheckCase{"old version, pers 0xFFFF", [](TImageSpec& s) { s.meta.version = 0x1DFF; }, {.pers = 0xFFFF}, 4},
    CheckCase{"lowest version, personalised", [](TImageSpec& s) { s.meta.version = 0x1E00; }, {.pers = 2}, 0},
    CheckCase{"old version, pers 1", [](TImageSpec& s) { s.meta.version = 0x1DFF; }, {.pers = 1}, 0},
    CheckCase{"old version, no pers item", [](TImageSpec& s) { s.meta.version = 0x1DFF; }, {.pers = 0x10000}, 0},
    CheckCase{"old version, boot mode", [](TImageSpec& s) { s.meta.version = 0x0001; },
              {.bootId = 0x0305, .bootExtra = 30, .pers = 2}, 0},
    CheckCase{"type 31 below 0x2900", [](TImageSpec& s) { s.meta.type = 31; s.meta.version = 0x28FF; },
              {.bootId = 0x1F05, .pers = 5}, 4},
    CheckCase{"type 50 below 0x0A15", [](TImageSpec& s) { s.meta.type = 50; s.meta.version = 0x0A14; },
              {.bootId = 0x3205, .pers = 5}, 4},
    CheckCase{"type 50 at 0x0A15", [](TImageSpec& s) { s.meta.type = 50; s.meta.version = 0x0A15; },
              {.bootId = 0x3205, .pers = 5}, 0},
    CheckCase{"type 55 has no lowest version", [](TImageSpec& s) { s.meta.type = 55; s.meta.version = 1; },
              {.bootId = 0x3705, .pers = 5}, 0},
    CheckCase{"program too old", [](TImageSpec& s) { s.meta.minProgramVersion = 0x0101; }, {}, 5},
    CheckCase{"program too old, boot mode", [](TImageSpec& s) { s.meta.minProgramVersion = 0x0101; }, kBoot30, 5},
    CheckCase{"program without version", nullptr, {.program = 0}, 5},
    CheckCase{"type before program version", [](TImageSpec& s) { s.meta.type = 31; s.meta.minProgramVersion = 0xFFFF; },
              {}, 2}));

TEST(ImageCheck, VariantIsReadOnlyWhenTheCheckGetsThere)
{
    int reads = 0;
    TImageSpec spec = baseSpec();
    EXPECT_EQ(check(prefixed(WriteFirmwareImage(spec)), {}, &reads), 0);
    EXPECT_EQ(reads, 1);
    reads = 0;
    EXPECT_EQ(check(prefixed(WriteFirmwareImage(spec)), kBoot30, &reads), 0);
    spec.meta.type = 31;
    EXPECT_EQ(check(prefixed(WriteFirmwareImage(spec)), {}, &reads), 2);
    EXPECT_EQ(reads, 0);
}

TEST(ImageCheck, ShortOrNonHexMetadataRowFailsLikeBrokenConsistency)
{
    // A second S0 record of 4 bytes: the row runs into the line end.
    const std::string s0 = "S0030000FC\r\n";
    EXPECT_EQ(check(prefixed(s0 + s0 + s0 + "S9030000FC\r\n"), {}), 1);
    std::string good = WriteFirmwareImage(baseSpec());
    const auto second = good.find("S0", 2);
    good[second + 8] = 'G';
    EXPECT_EQ(check(prefixed(good), {}), 1);
}

// Every scan ends at the image's byte count and at the end of the buffer;
// what it found by then decides.
TEST(ImageCheck, ScansStayInsideTheStatedCountAndTheBuffer)
{
    const std::string text = WriteFirmwareImage(baseSpec());
    const auto third = text.find("S0", text.find("S0", 2) + 2);
    const auto data = text.find("S2");

    // A count beyond the buffer: the buffer's end ends the records.
    EXPECT_EQ(check(prefixed(text, 0xFFFFFFF0u), {}), 0);
    EXPECT_EQ(check(prefixed(text.substr(0, third), 0x7FFFFFFFu), {}), 7);
    // A count shorter than the text: what lies after it is not looked at.
    EXPECT_EQ(check(prefixed(text, static_cast<std::uint32_t>(third)), {}), 7);
    EXPECT_EQ(check(prefixed(text, static_cast<std::uint32_t>(third + 2)), {}), 0);
    EXPECT_EQ(check(prefixed(text.substr(0, data)), {}), 0) << "only the three S0 records";
    // The metadata row cut by the end of the data.
    const auto second = text.find("S0", 2);
    EXPECT_EQ(check(prefixed(text.substr(0, second + 12) + "S0"), {}), 1);
    // An "S" as the very last byte, an empty text, a buffer without its count.
    EXPECT_EQ(check(prefixed(text.substr(0, third) + "S"), {}), 7);
    EXPECT_EQ(check(prefixed(""), {}), 7);
    EXPECT_EQ(check(prefixed("", 100), kBoot30), 6);
    Image stub;
    stub.bytes = {'\x10', '\0'};
    EXPECT_EQ(check(stub, {}), 7);
    EXPECT_EQ(CheckFirmwareImage(1, QByteArrayView(), 0x1E05, 0, nullptr, 0x100), 7);
}

TEST(ImageCheck, ProgramVersionAndHardwareVariantSources)
{
    plat::SetProgramVersionOverride(QStringLiteral("2.3.0.9"));
    EXPECT_EQ(ProgramVersionNumber(), 0x0203);
    plat::SetProgramVersionOverride(QStringLiteral("10.21.4.1"));
    EXPECT_EQ(ProgramVersionNumber(), 0x0A15);
    plat::SetProgramVersionOverride(QString());
    EXPECT_EQ(ProgramVersionNumber(), 0);
    plat::SetProgramVersionOverride(std::nullopt);
    EXPECT_GT(ProgramVersionNumber(), 0);

    protovyx::Simulator sim("hw=3");
    sim.SetTimeout(0);
    TBootInfo boot{};
    ASSERT_TRUE(sim.DetectEcu(&boot));
    EXPECT_EQ(ReadHardwareVariant(&sim, 7), 3);
    sim.SetItemPresent(0x15, false);
    EXPECT_EQ(ReadHardwareVariant(&sim, 7), 7) << "the data module's copy when the read fails";
    EXPECT_EQ(ReadHardwareVariant(nullptr, 6), 6);
}

// --- The image as a whole ------------------------------------------------------------

namespace {

// The lines of an image text, without their line ends.
std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> out;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto end = text.find("\r\n", pos);
        out.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return out;
}

std::string joined(const std::vector<std::string>& lines, const char* eol = "\r\n")
{
    std::string out;
    for (const auto& l : lines)
        out += l + eol;
    return out;
}

std::string dataRecord(char kind, std::uint32_t address, std::size_t bytes = 32)
{
    const std::vector<std::uint8_t> data(bytes, 0xA5);
    return FormatSRecord(kind, address, data);
}

std::string bareRecord(char kind, std::uint32_t address) { return FormatSRecord(kind, address, {}); }

// An image of 8 data records of one kind from 0x4000 (lines 4 to 11), its
// count (line 12) and the end record of the kind (line 13).
std::vector<std::string> imageOfKind(char kind, std::uint32_t from = 0x4000)
{
    std::vector<std::string> l = linesOf(WriteFirmwareImage(baseSpec()));
    l.resize(3);
    for (std::uint32_t i = 0; i < 8; ++i)
        l.push_back(dataRecord(kind, from + 32 * i));
    l.push_back(bareRecord('5', 8));
    l.push_back(bareRecord(static_cast<char>('0' + 10 - (kind - '0')), from));
    return l;
}

struct WholeCase {
    const char* name;
    std::string text;
    TImageFault fault;
    std::size_t line; // where the fault is found
};

std::vector<WholeCase> wholeImageCases()
{
    const std::vector<std::string> good = imageOfKind('2');
    auto edit = [&](auto change) {
        std::vector<std::string> l = good;
        change(l);
        return joined(l);
    };
    TImageSpec spec = baseSpec();
    auto written = [&](auto change) {
        TImageSpec s = spec;
        change(s);
        return WriteFirmwareImage(s);
    };
    const std::string crlf = joined(good);
    std::string lastLineOpen = crlf;
    lastLineOpen.resize(lastLineOpen.size() - 2);
    std::string oneBareCr = crlf;
    oneBareCr.erase(crlf.find("\r\n", crlf.find("S2")) + 1, 1); // line 4 ends in CR alone
    const std::string mixedEnds =
        joined({good.begin(), good.begin() + 6}, "\n") + joined({good.begin() + 6, good.end()}, "\r\n");

    return {
        // Refused: the data outside the application.
        {"one data record below 0x4000", edit([](auto& l) { l[6] = dataRecord('2', 0x3FE0); }),
         TImageFault::OutsideRange, 7},
        {"every record below 0x4000", written([](auto& s) { s.loadAddress = 0x3000; }), TImageFault::OutsideRange, 4},
        {"data at 0x40000", written([](auto& s) { s.loadAddress = 0x40000; }), TImageFault::OutsideRange, 4},
        {"data far above 0x3FFFF", edit([](auto& l) { l[10] = dataRecord('2', 0xFFFFF0); }), TImageFault::OutsideRange,
         11},
        {"a record across 0x40000", written([](auto& s) { s.loadAddress = 0x3FFF0; }), TImageFault::OutsideRange, 4},
        {"an empty record at 0x40000", edit([](auto& l) { l[10] = dataRecord('2', 0x40000, 0); }),
         TImageFault::OutsideRange, 11},
        // Refused: cut at a record boundary.
        {"the end record lost", edit([](auto& l) { l.pop_back(); }), TImageFault::NoEndRecord, 12},
        {"half the records lost", edit([](auto& l) { l.resize(7); }), TImageFault::NoEndRecord, 7},
        {"records lost from the middle", edit([](auto& l) { l.erase(l.begin() + 5, l.begin() + 8); }),
         TImageFault::WrongCount, 9},
        {"only the S0 records", edit([](auto& l) { l.resize(3); }), TImageFault::NoDataRecord, 3},
        // Refused: the count, the end and what follows it.
        {"an S5 count one too high", edit([](auto& l) { l[11] = bareRecord('5', 9); }), TImageFault::WrongCount, 12},
        {"an S6 count one too low", edit([](auto& l) { l[11] = bareRecord('6', 7); }), TImageFault::WrongCount, 12},
        {"a second count record", edit([](auto& l) { l.insert(l.begin() + 12, bareRecord('5', 8)); }),
         TImageFault::SecondCountRecord, 13},
        {"a data record after the count", edit([](auto& l) { l.insert(l.begin() + 12, dataRecord('2', 0x5000)); }),
         TImageFault::DataAfterCount, 13},
        {"an end record in the middle", edit([](auto& l) { l.insert(l.begin() + 6, bareRecord('8', 0x4000)); }),
         TImageFault::RecordAfterEnd, 8},
        {"data after the end record", edit([](auto& l) { l.push_back(dataRecord('2', 0x6000)); }),
         TImageFault::RecordAfterEnd, 14},
        {"two end records", edit([](auto& l) { l.push_back(l.back()); }), TImageFault::RecordAfterEnd, 14},
        {"an S9 end for S2 data", edit([](auto& l) { l[12] = bareRecord('9', 0x4000); }), TImageFault::WrongEndKind,
         13},
        {"no data record at all", written([](auto& s) { s.dataBytes = 0; }), TImageFault::NoDataRecord, 5},
        {"only empty data records", edit([](auto& l) {
             for (int i = 3; i < 11; ++i)
                 l[static_cast<std::size_t>(i)] = dataRecord('2', 0x4000 + 32 * static_cast<std::uint32_t>(i), 0);
         }),
         TImageFault::NoDataRecord, 13},
        // Refused: the data records among themselves.
        {"an S1 record among S2 records", edit([](auto& l) { l[5] = dataRecord('1', 0x4040); }),
         TImageFault::MixedDataKinds, 6},
        {"an S3 record among S2 records", edit([](auto& l) { l[3] = dataRecord('3', 0x4000); }),
         TImageFault::MixedDataKinds, 5},
        {"a repeated record", edit([](auto& l) {
             l.insert(l.begin() + 8, l[4]);
             l[12] = bareRecord('5', 9);
         }),
         TImageFault::Overlap, 9},
        {"a record over the end of an earlier one", edit([](auto& l) { l[7] = dataRecord('2', 0x4050); }),
         TImageFault::Overlap, 8},
        {"a record over the start of one placed higher", edit([](auto& l) { l[3] = dataRecord('2', 0x40F0); }),
         TImageFault::Overlap, 11},
        {"an S0 record among the data", edit([](auto& l) { l.insert(l.begin() + 6, l[0]); }),
         TImageFault::HeaderAmongData, 7},
        // Refused: line ends and records.
        {"CR-only line ends", joined(good, "\r"), TImageFault::BadLineEnd, 1},
        {"one CR-only line end", oneBareCr, TImageFault::BadLineEnd, 4},
        {"a damaged record", edit([](auto& l) { l[5][10] = l[5][10] == '0' ? '1' : '0'; }), TImageFault::BadRecord, 6},
        // Accepted.
        {"the image as written", WriteFirmwareImage(spec), TImageFault::None, 0},
        {"S2 records with their count", crlf, TImageFault::None, 0},
        {"LF line ends", joined(good, "\n"), TImageFault::None, 0},
        {"CR LF and LF mixed", mixedEnds, TImageFault::None, 0},
        {"no line end after the last record", lastLineOpen, TImageFault::None, 0},
        {"blank lines", edit([](auto& l) {
             l.insert(l.begin() + 5, "");
             l.push_back("");
         }),
         TImageFault::None, 0},
        {"no count record", edit([](auto& l) { l.erase(l.begin() + 11); }), TImageFault::None, 0},
        {"an S6 count", edit([](auto& l) { l[11] = bareRecord('6', 8); }), TImageFault::None, 0},
        {"S1 records and S9", joined(imageOfKind('1')), TImageFault::None, 0},
        {"S3 records and S7", joined(imageOfKind('3', 0x20000)), TImageFault::None, 0},
        {"up to 0x3FFFF", joined(imageOfKind('2', 0x40000 - 8 * 32)), TImageFault::None, 0},
        {"records out of address order", edit([](auto& l) { std::swap(l[3], l[10]); }), TImageFault::None, 0},
        {"an empty record at 0x3FFFF", edit([](auto& l) {
             l.insert(l.begin() + 11, dataRecord('2', 0x3FFFF, 0));
             l[12] = bareRecord('5', 9);
         }),
         TImageFault::None, 0},
    };
}

} // namespace

TEST(WholeImage, RefusesWhatWouldLeaveTheEcuWithoutItsApplication)
{
    const TApplicationRange range = ApplicationRangeOf(30).value();
    for (const WholeCase& c : wholeImageCases()) {
        SCOPED_TRACE(c.name);
        // The text passes the record syntax check (all but the damaged
        // record), so only the whole-image check stands in its way.
        EXPECT_EQ(CheckSRecords(c.text), c.fault != TImageFault::BadRecord) << "the case is not what it says";
        const TImageVerdict v = CheckWholeImage(c.text, range);
        EXPECT_EQ(v.fault, c.fault);
        EXPECT_EQ(v.line, c.line);
        // The same through the download's check, from the buffer it sends.
        const TWholeImageCheck whole = CheckWholeFirmwareImage(prefixed(c.text).view(), 0x1E05, 0);
        EXPECT_EQ(whole.verdict.fault, c.fault);
        EXPECT_EQ(whole.Ok(), c.fault == TImageFault::None);
    }
}

TEST(WholeImage, TheReasonNamesTheLineAndWhatIsWrong)
{
    const TApplicationRange range = ApplicationRangeOf(55).value();
    std::vector<std::string> l = imageOfKind('2');
    l[6] = dataRecord('2', 0x3FE0);
    EXPECT_EQ(CheckWholeFirmwareImage(prefixed(joined(l)).view(), 0x0305, 55).Reason(),
              "line 7 (record 7): data from 0x3FE0 to 0x3FFF outside 0x4000-0x3FFFF");
    l = imageOfKind('2');
    l[11] = bareRecord('5', 9);
    EXPECT_EQ(DescribeImageVerdict(CheckWholeImage(joined(l), range), range),
              "line 12 (record 12): the count record counts 9 data records, the image has 8");
    l = imageOfKind('2');
    l[7] = dataRecord('2', 0x4050);
    EXPECT_EQ(DescribeImageVerdict(CheckWholeImage(joined(l), range), range),
              "line 8 (record 8): data from 0x4050 to 0x406F on addresses that line 6 already holds");
    l.pop_back();
    l[7] = dataRecord('2', 0x4080);
    EXPECT_EQ(DescribeImageVerdict(CheckWholeImage(joined(l), range), range),
              "no end record, up to line 12 (the file ends there)");
    // A boot identity without a type has no range: nothing is taken.
    const TWholeImageCheck none = CheckWholeFirmwareImage(prefixed(joined(imageOfKind('2'))).view(), 0x0405, 30);
    EXPECT_EQ(none.verdict.fault, TImageFault::OutsideRange);
    EXPECT_EQ(none.Reason(), "line 4 (record 4): data from 0x4000 to 0x401F, but ECU type 0 has no application range");
}

TEST(WholeImage, EveryProgrammableTypeHasItsApplicationRange)
{
    for (int type = 0; type < 256; ++type) {
        SCOPED_TRACE(type);
        const auto range = ApplicationRangeOf(type);
        EXPECT_EQ(range.has_value(), IsProgrammableEcuType(type));
        if (!range)
            continue;
        EXPECT_EQ(range->ecuType, type);
        EXPECT_EQ(range->first, 0x4000u);
        EXPECT_EQ(range->last, 0x3FFFFu);
    }
}

// --- Metadata record -----------------------------------------------------------------

TEST(FirmwareMeta, RoundTripsAndStaysAValidRecord)
{
    for (int salt : {0, 1, 0x7F, 0x80, 0xFF}) {
        TFirmwareMeta m{.type = 55, .variantMask = 0x81, .version = 0x0709, .minProgramVersion = 0x0203,
                        .salt = static_cast<std::uint8_t>(salt)};
        TImageSpec spec = baseSpec();
        spec.meta = m;
        const std::string text = WriteFirmwareImage(spec);
        const TS0Scan scan = ScanS0Records(text);
        ASSERT_EQ(scan.s0Count, 3);
        const TMetaResult r = DecodeMetaRow(scan.row2);
        ASSERT_TRUE(r.Ok()) << salt;
        EXPECT_EQ(r.meta.type, 55);
        EXPECT_EQ(r.meta.variantMask, 0x81);
        EXPECT_EQ(r.meta.version, 0x0709);
        EXPECT_EQ(r.meta.minProgramVersion, 0x0203);
        // Every line is a well-formed record, the metadata one included.
        std::size_t pos = 0;
        while (pos < text.size()) {
            const auto end = text.find("\r\n", pos);
            TSRecord rec;
            EXPECT_EQ(ParseSRecord(std::string_view(text).substr(pos, end - pos), rec), TSRecordError::None);
            pos = end + 2;
        }
    }
    // The plain values never stand in the record as they are.
    const auto b = EncodeMetaBytes({.type = 30, .variantMask = 0xFF, .version = 0x1E05, .minProgramVersion = 0x100}, 10);
    EXPECT_EQ(b[0], 10);
    EXPECT_NE(b[3], 30);
}

TEST(FirmwareMeta, RecordParserRefusesBrokenRecords)
{
    TSRecord r;
    EXPECT_EQ(ParseSRecord("S1050000AABB95", r), TSRecordError::None);
    EXPECT_EQ(r.address, 0u);
    EXPECT_EQ(r.data, (std::vector<std::uint8_t>{0xAA, 0xBB}));
    EXPECT_EQ(ParseSRecord("S1050000AABB96", r), TSRecordError::BadChecksum);
    EXPECT_EQ(ParseSRecord("S1060000AABB95", r), TSRecordError::BadLength);
    EXPECT_EQ(ParseSRecord("S101FE", r), TSRecordError::BadLength);
    EXPECT_EQ(ParseSRecord("S4030000FC", r), TSRecordError::BadKind);
    EXPECT_EQ(ParseSRecord("S1050000AABX95", r), TSRecordError::NotHex);
    EXPECT_EQ(ParseSRecord("S1050000AABB9", r), TSRecordError::NotHex);
    EXPECT_EQ(ParseSRecord("X1050000AABB95", r), TSRecordError::NotARecord);
    EXPECT_EQ(ParseSRecord("S", r), TSRecordError::NotARecord);
}

// --- The firmware file -----------------------------------------------------------------

TEST(FirmwareFileLoad, OpenHeaderAndContainerFailures)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    const QByteArray header(qz::files::kContainerHeader, qz::files::kContainerHeaderLength);
    const std::string plain = WriteFirmwareImage(baseSpec());

    EXPECT_STREQ(LoadFirmwareFile(dir.filePath("missing.zp4")).Code(), "P03");
    EXPECT_STREQ(LoadFirmwareFile(dir.path()).Code(), "P03");
    EXPECT_STREQ(LoadFirmwareFile(QString()).Code(), "P03");
    EXPECT_STREQ(LoadFirmwareFile(write("plain.zp4", QByteArray::fromStdString(plain))).Code(), "P04");
    EXPECT_STREQ(LoadFirmwareFile(write("tiny.zp4", "ENCRYPTED")).Code(), "P04");
    EXPECT_STREQ(LoadFirmwareFile(write("empty.zp4", QByteArray())).Code(), "P04");
    // The right header but shorter than the container's head.
    EXPECT_STREQ(LoadFirmwareFile(write("short.zp4", header + QByteArray(143, 'x'))).Code(), "P04");
    // Just the head: an empty image holds no record to send.
    EXPECT_STREQ(LoadFirmwareFile(write("head.zp4", header + QByteArray(144, 'x'))).Code(), "P04");
    // Above 16 MiB, whatever it holds.
    {
        QFile f(dir.filePath("huge.zp4"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(qz::files::EncryptContainer(QByteArrayView(plain.data(), qsizetype(plain.size())), 1));
        ASSERT_TRUE(f.resize(kMaxFirmwareFileSize + 1));
        f.close();
        EXPECT_STREQ(LoadFirmwareFile(f.fileName()).Code(), "P04");
    }
}

TEST(FirmwareFileLoad, ContainerGivesTheCountedImageThatPassesTheCheck)
{
    QTemporaryDir dir;
    const std::string plain = WriteFirmwareImage(baseSpec());
    QFile f(dir.filePath("fw.zp4"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(qz::files::EncryptContainer(QByteArrayView(plain.data(), qsizetype(plain.size())), 77));
    f.close();
    const TFirmwareLoad r = LoadFirmwareFile(f.fileName());
    ASSERT_TRUE(r.Ok());
    EXPECT_STREQ(r.Code(), "");
    ASSERT_EQ(r.image.size(), qsizetype(plain.size()) + 4);
    const auto* b = reinterpret_cast<const std::uint8_t*>(r.image.data());
    EXPECT_EQ(b[0] | b[1] << 8 | b[2] << 16 | b[3] << 24, int(plain.size()));
    EXPECT_EQ(r.image.sliced(4).toStdString(), plain);
    EXPECT_EQ(CheckFirmwareImage(1, r.image, 0x1E05, 0, [] { return 2; }, 0x100), 0);
}

// --- Codes and messages -----------------------------------------------------------------

TEST(ProgrammingResult, MapsToItsErrorCode)
{
    const std::pair<int, const char*> table[] = {
        {0, ""},       {1, "P05"},     {2, "P06"},       {-1, "P07"},       {-2, "P08"},
        {-3, "P09"},   {-4, "P10"},    {-5, "P11"},      {-6, "P12"},       {3, "P12"},
        {-999, "P12"}, {-1000, "P1000"}, {-1002, "P1002"}, {INT_MAX, "P12"}, {INT_MIN, "P2147483648"},
    };
    for (const auto& [r, code] : table)
        EXPECT_EQ(ProgrammingErrorCode(r), QString::fromLatin1(code)) << r;
}

TEST(ProgrammingResult, MessageCarriesTheCodeOnItsOwnLine)
{
    EXPECT_EQ(WithErrorCode(QStringLiteral("Impossibile effettuare la programmazione."), ProgrammingErrorCode(-1002)),
              QStringLiteral("Impossibile effettuare la programmazione.\n(ERR.CODE: P1002)"));
    EXPECT_EQ(WithErrorCode(QStringLiteral("x"), ImageCheckErrorCode(6)), QStringLiteral("x\n(ERR.CODE: P13/6)"));
    EXPECT_EQ(WithErrorCode(QStringLiteral("x"), QString::fromLatin1(kErrWrongExtension)),
              QStringLiteral("x\n(ERR.CODE: P02)"));
}
