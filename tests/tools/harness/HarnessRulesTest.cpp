#include "tools/harness_rules/HarnessRules.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

using harness::Action;
using Kind = harness::Action::Kind;

struct TokenCase {
    const char* token;
    Kind kind;
    const char* name; // widget name, or the key / text
    int x = -1, y = -1;
    int ms = 0;
};

void PrintTo(const TokenCase& c, std::ostream* os) { *os << c.token; }

class Tokens : public ::testing::TestWithParam<TokenCase> {};

TEST_P(Tokens, ParseIntoTheirAction)
{
    const TokenCase& c = GetParam();
    const harness::ParsedAction parsed = harness::ParseAction(QString::fromUtf8(c.token));
    ASSERT_TRUE(parsed.action) << qPrintable(parsed.error);
    const Action& a = *parsed.action;
    EXPECT_EQ(a.kind, c.kind);
    if (c.kind == Kind::Click || c.kind == Kind::DoubleClick) {
        EXPECT_EQ(a.name, QString::fromUtf8(c.name));
        EXPECT_EQ(a.at.has_value(), c.x >= 0);
        if (a.at) {
            EXPECT_EQ(*a.at, QPoint(c.x, c.y));
        }
    } else if (c.kind == Kind::Wait) {
        EXPECT_EQ(a.ms, c.ms);
    } else {
        EXPECT_EQ(a.text, QString::fromUtf8(c.name));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Harness, Tokens,
    ::testing::Values(TokenCase{"click:ImageProgramma", Kind::Click, "ImageProgramma"},
                      TokenCase{"click:DrawGridK@0,0", Kind::Click, "DrawGridK", 0, 0},
                      TokenCase{"dclick:DrawGridEmissioni@10,40", Kind::DoubleClick, "DrawGridEmissioni", 10, 40},
                      TokenCase{"dclick:LabelTitle", Kind::DoubleClick, "LabelTitle"},
                      TokenCase{"type:MappaK0_0", Kind::Type, "MappaK0_0"},
                      TokenCase{"type:12.5", Kind::Type, "12.5"},
                      TokenCase{"type:Golf%201.6", Kind::Type, "Golf 1.6"},
                      TokenCase{"type:100%25", Kind::Type, "100%"},
                      TokenCase{"type:%2520", Kind::Type, "%20"},
                      TokenCase{"type:50%", Kind::Type, "50%"},
                      TokenCase{"type:%41%2", Kind::Type, "%41%2"},
                      TokenCase{"wait:2000", Kind::Wait, "", -1, -1, 2000},
                      TokenCase{"wait:0", Kind::Wait, "", -1, -1, 0},
                      TokenCase{"Ctrl+A", Kind::Key, "Ctrl+A"},
                      TokenCase{"Return", Kind::Key, "Return"}),
    [](const ::testing::TestParamInfo<TokenCase>& info) {
        std::string name;
        for (const char* p = info.param.token; *p; ++p)
            name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name + "_" + std::to_string(info.index);
    });

TEST(HarnessTokens, MalformedOnesSayWhy)
{
    for (const char* token : {"click:", "click:@1,2", "click:Grid@1", "click:Grid@x,2", "click:Grid@-1,2",
                              "dclick:Grid@1,2,3", "type:", "wait:", "wait:-5", "wait:1s", ""}) {
        const harness::ParsedAction parsed = harness::ParseAction(QString::fromUtf8(token));
        EXPECT_FALSE(parsed.action) << token;
        EXPECT_FALSE(parsed.error.isEmpty()) << token;
    }
}

TEST(HarnessAnswers, NamesInAnyCaseAndTheirAnswerNumbers)
{
    const harness::ParsedAnswers parsed = harness::ParseAnswers(QStringLiteral("yes,No  CANCEL,ok"));
    ASSERT_TRUE(parsed.error.isEmpty());
    const std::vector<harness::Button> expected{harness::Button::Yes, harness::Button::No, harness::Button::Cancel,
                                                harness::Button::Ok};
    EXPECT_EQ(parsed.buttons, expected);
    EXPECT_EQ(harness::AnswerOf(harness::Button::Yes), plat::IDYES);
    EXPECT_EQ(harness::AnswerOf(harness::Button::No), plat::IDNO);
    EXPECT_EQ(harness::AnswerOf(harness::Button::Cancel), plat::IDCANCEL);
    EXPECT_EQ(harness::AnswerOf(harness::Button::Ok), plat::IDOK);
    for (harness::Button b : expected)
        EXPECT_EQ(harness::ButtonOfAnswer(harness::AnswerOf(b)), b);

    const harness::ParsedAnswers bad = harness::ParseAnswers(QStringLiteral("Yes,Maybe"));
    EXPECT_TRUE(bad.buttons.empty());
    EXPECT_TRUE(bad.error.contains(QLatin1String("Maybe")));
    EXPECT_TRUE(harness::ParseAnswers(QString()).buttons.empty());
}

TEST(HarnessAnswers, ABoxOffersOnlyItsOwnButtons)
{
    using B = harness::Button;
    EXPECT_EQ(harness::ButtonsOf(plat::PromptButtons::Ok), std::vector<B>{B::Ok});
    EXPECT_EQ(harness::ButtonsOf(plat::PromptButtons::YesNo), (std::vector<B>{B::Yes, B::No}));
    EXPECT_EQ(harness::ButtonsOf(plat::PromptButtons::YesNoCancel), (std::vector<B>{B::Yes, B::No, B::Cancel}));
}

TEST(HarnessBoxLine, OneLinePerBoxWhateverItsText)
{
    const plat::PromptRequest box{QStringLiteral("Quorin Zelkon"),
                                  QStringLiteral("Impossibile connettersi.\nControllare\til\\collegamento.\r\n"),
                                  plat::PromptIcon::Error, plat::PromptButtons::Ok};
    EXPECT_EQ(harness::BoxLine(box, harness::Button::Ok),
              QStringLiteral("box\tQuorin Zelkon\tImpossibile connettersi.\\nControllare\\til\\\\collegamento.\\r\\n\tOk"));
}

TEST(HarnessFiles, CommaSeparatedWithoutEmptyEntries)
{
    EXPECT_EQ(harness::SplitFiles(QStringLiteral("a.zc4, b dir/c.zp4,,")),
              (QStringList{QStringLiteral("a.zc4"), QStringLiteral("b dir/c.zp4")}));
    EXPECT_TRUE(harness::SplitFiles(QString()).isEmpty());
}

protovyx::CallRecord call(protovyx::Op op, const char* name, std::int32_t code, std::int32_t row,
                          std::int32_t column, std::vector<std::int32_t> in, std::vector<std::int32_t> out,
                          bool result = true, std::int32_t status = 0)
{
    protovyx::CallRecord r;
    r.seq = 12;
    r.timeMs = 3456;
    r.op = op;
    r.name = name;
    r.code = code;
    r.row = row;
    r.column = column;
    r.in = std::move(in);
    r.out = std::move(out);
    r.result = result;
    r.status = status;
    return r;
}

TEST(HarnessCallLine, TheValuesOfEachKindOfCall)
{
    using protovyx::Op;
    struct Case {
        protovyx::CallRecord record;
        const char* line;
    };
    const Case cases[] = {
        // Reads show what came back, writes what was sent.
        {call(Op::ReadItem, "ReadItem", 0x2303, -1, -1, {}, {1044, 1}), "12\t3456\tReadItem\t0x2303\t\t\t1044,1\tok\t0"},
        {call(Op::WriteElement, "WriteElement", 0x678, 4, -1, {-108}, {}),
         "12\t3456\tWriteElement\t0x678\t4\t\t-108\tok\t0"},
        {call(Op::WriteCell, "WriteCell", 0xc154, 3, 7, {200}, {}, false, 16),
         "12\t3456\tWriteCell\t0xc154\t3\t7\t200\tfail\t16"},
        {call(Op::WriteRow, "WriteRow", 0xc154, 0, -1, {1, 2, 3}, {}), "12\t3456\tWriteRow\t0xc154\t0\t\t1,2,3\tok\t0"},
        // A failed read has nothing to show.
        {call(Op::ReadRow, "ReadRow", 0xc154, 2, -1, {}, {}, false, 1), "12\t3456\tReadRow\t0xc154\t2\t\t\tfail\t1"},
        // Byte buffers in hexadecimal: the bytes sent, then the reply.
        {call(Op::SendCommand, "SendCommand", 0x14, 1, 8, {0}, {0x0c, 0xff, 0x7}),
         "12\t3456\tSendCommand\t0x14\t1\t8\t00 / 0c ff 07\tok\t0"},
        {call(Op::ReadBlock, "ReadBlock", 1, 3, -1, {}, {0xae, 0x06, 0x18}),
         "12\t3456\tReadBlock\t0x1\t3\t\tae 06 18\tok\t0"},
        // A firmware download: the image's size and the result code.
        {call(Op::Program, "ProgramFirmwareImage", 10100, -1, -1, {2, 0, 1}, {-4}, false, 1),
         "12\t3456\tProgramFirmwareImage\t10100\t\t\t-4\tfail\t1"},
        // The other calls' numbers are ports, times and indexes.
        {call(Op::Other, "SetTimeout", 1200, -1, -1, {}, {}), "12\t3456\tSetTimeout\t1200\t\t\t\tok\t0"},
        {call(Op::GetEcuInfo, "GetEcuInfo", 0, -1, -1, {}, {5, 30, 4, 30, 0}),
         "12\t3456\tGetEcuInfo\t0\t\t\t5,30,4,30,0\tok\t0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(harness::CallLine(c.record), c.line) << c.record.name;
}

} // namespace
