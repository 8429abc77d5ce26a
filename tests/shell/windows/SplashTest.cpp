#include "shell/windows/Splash.h"

#include "plat/PictureButton.h"
#include "plat/Services.h"
#include "plat/testing/Fakes.h"

#include <QApplication>
#include <cmath>
#include <gtest/gtest.h>

TEST(Splash, VisibleAtOnceButFullyTransparent)
{
    QWidget owner;
    auto* splash = new TFormSplash(&owner);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_TRUE(splash->isWindow());
    EXPECT_EQ(splash->AlphaBlendValue(), 0);
    EXPECT_EQ(splash->windowOpacity(), 0.0);
    EXPECT_TRUE(splash->SplashImage->isVisible());
    EXPECT_FALSE(splash->SplashImage->currentPicture().isNull());
    EXPECT_EQ(splash->SplashImage->geometry(), QRect(40, 24, 662, 184));
    EXPECT_EQ(splash->size(), QSize(745, 237));
    EXPECT_TRUE(splash->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST(Splash, EveryAlphaValueReachesTheWindowExactly)
{
    TFormSplash splash;
    for (int v = 0; v <= 255; ++v) {
        splash.SetAlphaBlendValue(v);
        ASSERT_EQ(std::lround(splash.windowOpacity() * 255), v);
    }
    splash.SetAlphaBlendValue(300);
    EXPECT_EQ(splash.AlphaBlendValue(), 255);
}

TEST(Splash, FadeInStepsByTwoEveryTenMillisecondsThenHoldsOpaque)
{
    plat::testing::FakeClock clock;
    plat::ScopedServices guard({.clock = &clock});
    TFormSplash splash;
    std::vector<std::pair<std::uint32_t, int>> steps; // sleep, alpha while sleeping
    clock.onSleep([&](std::uint32_t ms) { steps.emplace_back(ms, splash.AlphaBlendValue()); });

    splash.FadeIn();

    ASSERT_EQ(steps.size(), 128u);
    for (int i = 0; i < 127; ++i) {
        EXPECT_EQ(steps[i].first, 10u) << i;
        EXPECT_EQ(steps[i].second, 2 * (i + 1)) << i;
    }
    EXPECT_EQ(steps[126].second, 254);
    EXPECT_EQ(steps[127], (std::pair<std::uint32_t, int>{2000, 255})) << "opaque, not 254, while held";
    EXPECT_EQ(clock.sleptTotal(), 3270u);
    EXPECT_EQ(splash.AlphaBlendValue(), 255);
    EXPECT_EQ(splash.windowOpacity(), 1.0);
    EXPECT_FALSE(splash.isVisible()) << "closed at the end";
}
