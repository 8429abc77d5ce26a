#include "plat/ScreenScale.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

using namespace plat;

namespace {

// num/den as a fraction compared exactly.
bool sameRatio(ScaleFactor f, long long num, long long den)
{
    return f.num * den == num * f.den;
}

} // namespace

TEST(ScreenScale, FactorByScreenShape)
{
    struct Case {
        int w, h;
        long long num, den;
    };
    const Case cases[] = {
        {1024, 768, 1, 1},        // 1024 is not below 998.4: by the height, 768/768
        {1280, 1024, 1280, 1024}, // narrow: 1.25
        {1300, 1000, 1300, 1024}, // exactly 1.3 : 1 counts as narrow
        {2600, 2000, 2600, 1024}, // the same ratio, larger
        {1299, 1000, 1299, 1024},
        {1301, 1000, 1000, 768},  // just wider than 1.3 : 1
        {1920, 1080, 1080, 768},  // 1.40625
        {800, 600, 600, 768},
        {0, 0, 1, 1},             // no screen: unchanged
    };
    for (const Case& c : cases) {
        const ScaleFactor f = ScreenScaleFactor(QSize(c.w, c.h));
        EXPECT_TRUE(sameRatio(f, c.num, c.den)) << c.w << "x" << c.h << " gave " << f.num << "/" << f.den;
    }
}

TEST(ScreenScale, MulDivRoundsHalvesAwayFromZero)
{
    struct Case {
        long long v, num, den, expected;
    };
    const Case cases[] = {{5, 5, 2, 13}, {-5, 5, 2, -13}, {10, 1, 3, 3}, {2, 1, 3, 1},
                          {1, 1, 3, 0},  {100, 1300, 1024, 127}, {7, 0, 5, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(MulDivRound(c.v, c.num, c.den), c.expected) << c.v << "*" << c.num << "/" << c.den;
}

namespace {

struct Recorder : QWidget, Scalable {
    using QWidget::QWidget;
    void changeScale(long long num, long long den) override { calls.push_back({num, den}); }
    std::vector<std::pair<long long, long long>> calls;
};

} // namespace

TEST(ScreenScale, TreeScalesEdgesAndFontsOnce)
{
    QWidget window;
    window.setGeometry(0, 0, 1008, 780);
    QFont base = window.font();
    base.setPixelSize(20);
    window.setFont(base);

    auto* left = new QWidget(&window);
    left->setGeometry(100, 50, 200, 30);
    auto* right = new QWidget(&window); // touches left
    right->setGeometry(300, 50, 100, 30);
    auto* ownSize = new QWidget(left);
    QFont ten = ownSize->font();
    ten.setPixelSize(10);
    ownSize->setFont(ten);
    auto* boldOnly = new QWidget(left); // sets boldness, inherits the size
    QFont bold;
    bold.setBold(true);
    boldOnly->setFont(bold);
    auto* plain = new QWidget(right);
    auto* scalable = new Recorder(right);

    ScaleWidgetTree(&window, 1300, 1024);

    EXPECT_EQ(window.geometry(), QRect(0, 0, 1008, 780)); // the window itself is not moved
    EXPECT_EQ(left->geometry(), QRect(127, 63, 254, 39));
    EXPECT_EQ(right->x(), left->geometry().right() + 1) << "touching controls keep touching";
    EXPECT_EQ(window.font().pixelSize(), 25);
    EXPECT_EQ(plain->font().pixelSize(), 25);
    EXPECT_EQ(ownSize->font().pixelSize(), 13);
    EXPECT_EQ(boldOnly->font().pixelSize(), 25) << "an inherited size is scaled once, not twice";
    EXPECT_TRUE(boldOnly->font().bold());
    ASSERT_EQ(scalable->calls.size(), 1u);
    EXPECT_EQ(scalable->calls[0], (std::pair<long long, long long>{1300, 1024}));
}

TEST(ScreenScale, AppliedToAWindowADesignSizedPanelFitsTheScreen)
{
    QWidget window;
    auto* panel = new QWidget(&window);
    panel->setGeometry(0, 0, 1024, 768);
    const QSize screen = window.screen()->geometry().size();
    const ScaleFactor f = ApplyScreenScale(&window);
    EXPECT_TRUE(sameRatio(f, ScreenScaleFactor(screen).num, ScreenScaleFactor(screen).den));
    // One side of the design meets the screen's edge, the other stays inside.
    const QSize s = panel->size();
    EXPECT_TRUE((s.width() == screen.width() && s.height() <= screen.height()) ||
                (s.height() == screen.height() && s.width() <= screen.width()))
        << s.width() << "x" << s.height() << " on " << screen.width() << "x" << screen.height();
}
