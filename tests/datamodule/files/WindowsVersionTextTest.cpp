#include "datamodule/files/WindowsVersionText.h"

#include <gtest/gtest.h>

using namespace qz::files;

namespace {

TOsVersionRecord ext(std::uint32_t major, std::uint32_t minor, std::uint32_t build, const char* sp,
                     std::uint8_t productType, std::uint16_t suite = 0)
{
    TOsVersionRecord r;
    r.extended = true;
    r.platformId = 2;
    r.major = major;
    r.minor = minor;
    r.build = build;
    r.servicePack = QString::fromLatin1(sp);
    r.productType = productType;
    r.suiteMask = suite;
    return r;
}

TOsVersionRecord plain(std::uint32_t platform, std::uint32_t major, std::uint32_t minor, std::uint32_t build,
                       const char* sp)
{
    TOsVersionRecord r;
    r.platformId = platform;
    r.major = major;
    r.minor = minor;
    r.build = build;
    r.servicePack = QString::fromLatin1(sp);
    return r;
}

TEST(WindowsVersionText, Cases)
{
    const auto winnt = [] { return std::optional<QString>(QStringLiteral("WinNT")); };
    struct Case {
        std::optional<TOsVersionRecord> record;
        TProductTypeReader reader;
        const char* text;
    } cases[] = {
        {ext(5, 1, 2600, "Service Pack 3", 1), {}, "Windows XP Professional Service Pack 3 (Build 2600)"},
        {ext(5, 1, 2600, "Service Pack 2", 1, 0x0200), {}, "Windows XP Home Edition Service Pack 2 (Build 2600)"},
        {ext(6, 1, 7601, "Service Pack 1", 1), {}, "Professional Service Pack 1 (Build 7601)"},
        {ext(5, 2, 3790, "Service Pack 2", 3, 0x0002), {}, "Windows .NET Enterprise Server Service Pack 2 (Build 3790)"},
        {ext(5, 2, 3790, "", 3, 0x0082), {}, "Windows .NET DataCenter Server  (Build 3790)"},
        {ext(5, 2, 3790, "", 3, 0x0400), {}, "Windows .NET Web Server  (Build 3790)"},
        {ext(5, 2, 3790, "", 3, 0x0410), {}, "Windows .NET Server  (Build 3790)"},
        {ext(4, 0, 1381, "Service Pack 6", 3, 0x0002), {}, "Windows NT Advanced Server version 4.0 Service Pack 6 (Build 1381)"},
        {ext(5, 0, 2195, "Service Pack 4", 1), {}, "Windows 2000 Professional Service Pack 4 (Build 2195)"},
        {ext(5, 0, 2195, "", 2), {}, "Windows 2000  (Build 2195)"},            // a domain controller adds nothing
        {ext(6, 2, 0x12345678, "", 1), {}, "Professional  (Build 22136)"},     // low 16 bits of the build
        {plain(2, 4, 0, 1381, "Service Pack 6"), winnt, "Windows NT Professional version 4.0 Service Pack 6 (Build 1381)"},
        {plain(2, 4, 0, 1381, "Service Pack 6"), [] { return std::optional<QString>(QStringLiteral("LanmanNT")); },
         "Windows NT Server version 4.0 Service Pack 6 (Build 1381)"},
        {plain(2, 4, 0, 1381, "Service Pack 6"), [] { return std::optional<QString>(QStringLiteral("ServerNT")); },
         "Windows NT Advanced Server version 4.0 Service Pack 6 (Build 1381)"},
        {plain(2, 4, 0, 1381, ""), [] { return std::optional<QString>(QStringLiteral("Other")); },
         "Windows NT version 4.0  (Build 1381)"},
        {plain(2, 4, 0, 1381, "Service Pack 6"), [] { return std::optional<QString>(); }, "Windows xxxx"},
        {plain(2, 4, 0, 1381, "Service Pack 6"), [] { return std::optional<QString>(QString(40, u'x')); }, "Windows xxxx"},
        {plain(1, 4, 10, 2222, " A "), {}, "Windows 98 SE "},
        {plain(1, 4, 10, 1998, ""), {}, "Windows 98 "},
        {plain(1, 4, 0, 950, " C"), {}, "Windows 95 OSR2 "},
        {plain(1, 4, 0, 950, " B"), {}, "Windows 95 OSR2 "},
        {plain(1, 4, 0, 950, " A"), {}, "Windows 95 "},
        {plain(1, 4, 90, 3000, ""), {}, "Windows Millennium Edition "},
        {plain(0, 3, 10, 0, ""), {}, ""},
        {std::nullopt, {}, "Windows xxxx"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatWindowsVersionText(c.record, c.reader).toStdString(), c.text);
}

TEST(WindowsVersionText, RunningSystemAndField)
{
    const QString text = GetWindowsVersionText();
    EXPECT_FALSE(text.isEmpty());
    EXPECT_LE(text.size(), 80);
    EXPECT_EQ(WindowsTextField(QString(100, u'a')).size(), 80);
    EXPECT_EQ(WindowsTextField(QStringLiteral("Caf\u00e9\u20ac\r\n")), QByteArray("Caf\xe9\xac  "));
}

} // namespace
