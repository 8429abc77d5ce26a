#include "product/constants/BuildConstants.h"

#include "plat/ProgramVersion.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace qz;

namespace {

struct ExtCase {
    int type;
    const char* config;
    const char* firmware;
};

// Families share a configuration extension but not always a firmware one.
const ExtCase kExtCases[] = {
    {30, "zc4", "zp4"}, {31, "zc8", "zp8"}, {37, "zce", "zpe"}, {38, "zct", "zpt"},
    {50, "zc4", "zp4"}, {53, "zc8", "zpa"}, {54, "zc4", "zpv"}, {55, "zc4", "zpc"},
    {56, "zc8", "zpd"}, {79, "zcs", "zp4"},
    // Unknown types and the boot-mode value fall back to zc4 / zp4.
    {3, "zc4", "zp4"}, {99, "zc4", "zp4"}, {0, "zc4", "zp4"}, {-1, "zc4", "zp4"}, {255, "zc4", "zp4"},
};

} // namespace

TEST(BuildConstants, ExtensionsPerEcuTypeIncludingUnknownAndBoot)
{
    for (const auto& c : kExtCases) {
        SCOPED_TRACE(c.type);
        EXPECT_STREQ(ConfigFileExtension(c.type), c.config);
        EXPECT_STREQ(FirmwareFileExtension(static_cast<unsigned>(c.type)), c.firmware);
    }
}

TEST(BuildConstants, ExtensionTablesKeepTheirOrderAndTerminators)
{
    InitBuildConstants();
    const char* config[] = {"zc4", "zc8", "zce", "zct", "zcs"};
    const char* firmware[] = {"zp4", "zpv", "zpc", "zp8", "zpd", "zpa", "zpe", "zpt"};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_STREQ(ConfigExtensionTable()[i].data(), config[i]);
        EXPECT_EQ(ConfigExtensionTable()[i][3], '\0');
    }
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_STREQ(FirmwareExtensionTable()[i].data(), firmware[i]);
}

TEST(BuildConstants, SupportedTypesAndOfflineNames)
{
    for (int t : {30, 31, 50, 53, 54, 55, 56, 79})
        EXPECT_TRUE(IsSupportedEcuType(t)) << t;
    for (int t : {3, 37, 38, 99, 0})
        EXPECT_FALSE(IsSupportedEcuType(t)) << t;
    EXPECT_STREQ(OfflineEcuTypeName(30), "4cil");
    EXPECT_STREQ(OfflineEcuTypeName(54), "built in tap");
    EXPECT_STREQ(OfflineEcuTypeName(56), "8cil obd");
    EXPECT_STREQ(OfflineEcuTypeName(53), "");
    EXPECT_STREQ(FirmwareLabelSuffix(50), " (VANT)");
    EXPECT_STREQ(FirmwareLabelSuffix(79), " (ORSEL)");
    EXPECT_STREQ(FirmwareLabelSuffix(30), "");
}

TEST(BuildConstants, InjectorNamesAndCodesRoundTripCaseSensitively)
{
    const std::pair<int, const char*> table[] = {
        {0, "Ferrox"}, {1, "Tamaru"}, {2, "Brega"}, {22, "Sordak"},
        {25, "Quorin"}, {28, "Pinel"}, {35, "Quorin K"},
    };
    for (auto [code, name] : table) {
        EXPECT_STREQ(InjectorTypeName(code), name);
        EXPECT_EQ(InjectorTypeCode(name), code);
    }
    EXPECT_STREQ(InjectorTypeName(3), "ERROR");
    EXPECT_STREQ(InjectorTypeName(-1), "ERROR");
    EXPECT_EQ(InjectorTypeCode("quorin"), 0);
    EXPECT_EQ(InjectorTypeCode("QUORIN K"), 0);
    EXPECT_EQ(InjectorTypeCode("Quorin "), 0);
    EXPECT_EQ(InjectorTypeCode(""), 0);
}

TEST(BuildConstants, CustomerInjectorListEndsWith255)
{
    const int expected[] = {25, 35, 0, 28, 255, 255};
    for (int p = 0; p < 6; ++p)
        EXPECT_EQ(CustomerInjectorCode(p), expected[p]) << p;
    EXPECT_EQ(CustomerInjectorCode(-1), 255);
}

TEST(BuildConstants, DefaultConfigResourceIdTable)
{
    struct Case {
        int type;
        bool cng;
        bool second;
        int injector;
        int expected;
    };
    const Case cases[] = {
        {50, true, false, 25, 270}, {50, true, false, 28, 272}, {50, true, false, 35, 264}, {50, true, false, 0, 268},
        {50, false, false, 25, 269}, {50, false, false, 28, 271}, {50, false, false, 35, 263}, {50, false, false, 1, 267},
        {79, true, false, 25, 266}, {79, true, false, 28, 266}, {79, true, false, 99, 266},
        {79, false, false, 35, 265}, {79, false, false, 0, 265},
        {30, true, false, 25, 260}, {31, true, false, 28, 262}, {55, true, false, 35, 264}, {30, true, false, 2, 258},
        {30, false, false, 25, 259}, {56, false, false, 28, 261}, {54, false, false, 35, 263}, {30, false, false, 22, 257},
        // The second format ignores type and injector.
        {30, true, true, 25, 514}, {79, true, true, 0, 514}, {50, false, true, 35, 513}, {3, false, true, 0, 513},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << (c.cng ? " CNG " : " LPG ") << c.second << ' ' << c.injector);
        EXPECT_EQ(DefaultConfigResourceId(static_cast<std::uint8_t>(c.type), c.cng, c.second,
                                          static_cast<std::uint8_t>(c.injector), 5),
                  c.expected);
    }
}

TEST(BuildConstants, PlainConstants)
{
    EXPECT_EQ(NumeroRigheMappaK(), 12);
    EXPECT_EQ(NumeroColonneMappaK(), 12);
    EXPECT_STREQ(RegistrySubkey(), "Quorin\\7304K");
    EXPECT_STREQ(ProductTitle(), "Quorin Zelkon");
    EXPECT_EQ(CustomerId(), 5);
    EXPECT_EQ(DefaultEcuCustomerCode(), 0);
}

TEST(BuildConstants, FileKeyIsPlainNonEmptyAndAtMost49Bytes)
{
    InitBuildConstants();
    const std::string key = FileKeyString();
    EXPECT_FALSE(key.empty());
    EXPECT_LE(key.size(), 49u);
    for (char ch : key)
        EXPECT_TRUE(ch >= 0x20 && ch < 0x7f) << "key is not plain text";
    InitBuildConstants(); // a second call must not scramble it again
    EXPECT_EQ(key, FileKeyString());
}

TEST(BuildConstants, ExeFileVersionCopiesAtMost19CharactersOrLeavesTextUntouched)
{
    struct Case {
        QString version;
        std::u16string expected;
    };
    const Case cases[] = {
        {QStringLiteral("1.0.0.0"), u"1.0.0.0"},
        {QStringLiteral("12.345.6789.1011"), u"12.345.6789.1011"},
        {QStringLiteral("1234567890.23456789.0"), u"1234567890.23456789"},
        {QString(), u"n.d."},
    };
    for (const auto& c : cases) {
        char16_t out[20] = u"n.d.";
        plat::SetProgramVersionOverride(c.version);
        GetExeFileVersion(out);
        EXPECT_EQ(std::u16string(out), c.expected) << c.version.toStdString();
    }
    plat::SetProgramVersionOverride(std::nullopt);
    char16_t out[20] = u"";
    GetExeFileVersion(out);
    EXPECT_EQ(std::u16string(out), u"1.0.0.0");
}
