#include "plat/Placement.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace plat;

namespace {

// Names that begin alike, so that a lookup by prefix would go wrong.
constexpr Placement kTable[] = {
    {"LabelGiri", 10, 5, 80, 20},
    {"LabelGiriTara", 100, 5, 80, 20},
    {"Label", 0, 0, 1, 1},
    {"PanelGiri", 40, 320, 700, 90},
};

constexpr Placement kTwice[] = {{"A", 0, 0, 1, 1}, {"B", 0, 0, 1, 1}, {"A", 5, 5, 1, 1}};

} // namespace

// The checks a window's table makes when it is compiled.
static_assert(NamesAreUnique(kTable));
static_assert(!NamesAreUnique(kTwice));
static_assert(NamesAreUnique(Placements{}));
static_assert(FindPlacement(kTable, "LabelGiri") == &kTable[0]);
static_assert(FindPlacement(kTable, "LabelGir") == nullptr);
static_assert(FindPlacement(kTwice, "A")->x == 0); // the first of two

TEST(Placement, EachNameGivesItsOwnRectangleAtTheDesignSizeAndScaled)
{
    struct Case {
        const char* name;
        QRect design;
        ScaleFactor f;
        QRect scaled;
    };
    const Case cases[] = {
        {"LabelGiri", QRect(10, 5, 80, 20), {1, 1}, QRect(10, 5, 80, 20)},
        {"LabelGiriTara", QRect(100, 5, 80, 20), {1280, 1024}, QRect(125, 6, 100, 25)},
        // Edges rounded, halves away from zero: 1 x 3/4 = 0.75 gives 1, the
        // right edge too, so a 1-pixel control stays 1 pixel wide at 0.75.
        {"Label", QRect(0, 0, 1, 1), {3, 4}, QRect(0, 0, 1, 1)},
        {"PanelGiri", QRect(40, 320, 700, 90), {1080, 768}, QRect(56, 450, 985, 127)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlacementRect(kTable, c.name), c.design) << c.name;
        EXPECT_EQ(PlacementRect(kTable, c.name, c.f), c.scaled) << c.name;
    }
}

TEST(Placement, ScaledNeighboursStillTouch)
{
    // Two controls side by side and one below: rounding each edge, never a
    // width, keeps them touching at any factor.
    const QRect left(0, 0, 33, 21), right(33, 0, 17, 21), below(0, 21, 50, 7);
    for (const ScaleFactor f : {ScaleFactor{600, 768}, ScaleFactor{1080, 768}, ScaleFactor{1280, 1024},
                                ScaleFactor{1, 3}, ScaleFactor{7, 5}}) {
        const QRect l = ScaledRect(left, f.num, f.den);
        const QRect r = ScaledRect(right, f.num, f.den);
        const QRect b = ScaledRect(below, f.num, f.den);
        EXPECT_EQ(l.right() + 1, r.left()) << f.num << "/" << f.den;
        EXPECT_EQ(l.bottom() + 1, b.top()) << f.num << "/" << f.den;
        EXPECT_EQ(r.right(), b.right()) << f.num << "/" << f.den;
    }
}

TEST(Placement, PlaceSetsTheGeometryMovedByTheOffset)
{
    QWidget parent;
    auto* w = new QWidget(&parent);
    Place(w, kTable, "LabelGiriTara");
    EXPECT_EQ(w->geometry(), QRect(100, 5, 80, 20));
    Place(w, kTable, "LabelGiri", QPoint(120, -5));
    EXPECT_EQ(w->geometry(), QRect(130, 0, 80, 20));
}

TEST(PlacementDeathTest, ANameTheTableLacksStopsTheProgramNamingIt)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(PlacementRect(kTable, "LabelGir"), "LabelGir");
}
