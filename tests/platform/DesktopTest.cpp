#include "plat/Desktop.h"
#include "plat/testing/DesktopFakes.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plat;

TEST(Desktop, ToolkitFiltersBecomeNameFilters)
{
    EXPECT_EQ(filterToNameFilters("Firmware 4 cil|*.zp4;*.zpv|Firmware 8 cil|*.zp8"),
              (QStringList{"Firmware 4 cil (*.zp4 *.zpv)", "Firmware 8 cil (*.zp8)"}));
    EXPECT_EQ(filterToNameFilters("All|*.*"), QStringList{"All (*.*)"});
    EXPECT_EQ(filterToNameFilters("Dangling"), QStringList{});
    EXPECT_EQ(filterToNameFilters(""), QStringList{});
}

TEST(Desktop, MailToolExitMapsByMeaning)
{
    const std::pair<int, int> cases[] = {{0, 0}, {2, 11}, {1, 2}, {3, 2}, {4, 2}, {-1, 2}, {77, 2}};
    for (auto [exit, result] : cases)
        EXPECT_EQ(mailResultFromToolExit(exit), result) << exit;
}

TEST(Desktop, MissingAttachmentIsResult11WithoutStartingTheTool)
{
    QTemporaryDir dir;
    ToolMailer mailer;
    EXPECT_EQ(mailer.sendMail("a.zc4", dir.filePath("a.zc4")), 11);
}

TEST(Desktop, SeparatorOfFormatSkipsLettersAndQuotes)
{
    EXPECT_EQ(separatorOfFormat("dd/MM/yyyy", "/"), "/");
    EXPECT_EQ(separatorOfFormat("d.M.yy", "/"), ".");
    EXPECT_EQ(separatorOfFormat("yyyy-MM-dd", "/"), "-");
    EXPECT_EQ(separatorOfFormat("HH:mm", ":"), ":");
    EXPECT_EQ(separatorOfFormat("'h'H.mm", ":"), ".");
    EXPECT_EQ(separatorOfFormat("yyyyMMdd", "/"), "/");
    EXPECT_EQ(separatorOfFormat("d MMM yyyy", "/"), "/"); // the C locale's short date
    EXPECT_EQ(separatorOfFormat("d. M. yyyy", "/"), ".");
}

TEST(Desktop, ScopedDesktopReplacesAndRestores)
{
    Mailer* before = desktop().mailer;
    {
        plat::testing::FakeMailer mailer;
        mailer.result = 1;
        ScopedDesktop guard({.mailer = &mailer});
        EXPECT_EQ(desktop().mailer->sendMail("s", "/x"), 1);
        ASSERT_EQ(mailer.sent.size(), 1u);
        EXPECT_EQ(mailer.sent[0].attachment, "/x");
    }
    EXPECT_EQ(desktop().mailer, before);
}
