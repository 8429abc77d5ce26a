#include "plat/Desktop.h"
#include "plat/testing/DesktopFakes.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plat;

TEST(Desktop, ToolkitFiltersBecomeNameFilters)
{
    EXPECT_EQ(FilterToNameFilters("Firmware 4 cil|*.zp4;*.zpv|Firmware 8 cil|*.zp8"),
              (QStringList{"Firmware 4 cil (*.zp4 *.zpv)", "Firmware 8 cil (*.zp8)"}));
    EXPECT_EQ(FilterToNameFilters("All|*.*"), QStringList{"All (*.*)"});
    EXPECT_EQ(FilterToNameFilters("Dangling"), QStringList{});
    EXPECT_EQ(FilterToNameFilters(""), QStringList{});
}

TEST(Desktop, MailToolExitMapsByMeaning)
{
    const std::pair<int, int> cases[] = {{0, 0}, {2, 11}, {1, 2}, {3, 2}, {4, 2}, {-1, 2}, {77, 2}};
    for (auto [exit, result] : cases)
        EXPECT_EQ(MailResultFromToolExit(exit), result) << exit;
}

TEST(Desktop, MissingAttachmentIsResult11WithoutStartingTheTool)
{
    QTemporaryDir dir;
    ToolMailer mailer;
    EXPECT_EQ(mailer.sendMail("a.zc4", dir.filePath("a.zc4")), 11);
}

TEST(Desktop, SeparatorOfFormatSkipsLettersAndQuotes)
{
    EXPECT_EQ(SeparatorOfFormat("dd/MM/yyyy", "/"), "/");
    EXPECT_EQ(SeparatorOfFormat("d.M.yy", "/"), ".");
    EXPECT_EQ(SeparatorOfFormat("yyyy-MM-dd", "/"), "-");
    EXPECT_EQ(SeparatorOfFormat("HH:mm", ":"), ":");
    EXPECT_EQ(SeparatorOfFormat("'h'H.mm", ":"), ".");
    EXPECT_EQ(SeparatorOfFormat("yyyyMMdd", "/"), "/");
    EXPECT_EQ(SeparatorOfFormat("d MMM yyyy", "/"), "/"); // the C locale's short date
    EXPECT_EQ(SeparatorOfFormat("d. M. yyyy", "/"), ".");
}

TEST(Desktop, ScopedDesktopReplacesAndRestores)
{
    Mailer* before = Desktop().mailer;
    {
        plat::testing::FakeMailer mailer;
        mailer.result = 1;
        ScopedDesktop guard({.mailer = &mailer});
        EXPECT_EQ(Desktop().mailer->sendMail("s", "/x"), 1);
        ASSERT_EQ(mailer.sent.size(), 1u);
        EXPECT_EQ(mailer.sent[0].attachment, "/x");
    }
    EXPECT_EQ(Desktop().mailer, before);
}
