// The configuration window's rules without a window.
#include "config/layout/ConfigWindowRules.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

using namespace cfgwin;

namespace {

std::map<std::string, bool> controls(const EcuState& s)
{
    std::map<std::string, bool> m;
    for (const auto& rule : ControlVisibility(s))
        for (const char* n : rule.names)
            m[n] = rule.visible;
    return m;
}

std::array<bool, kPageCount> allVisible()
{
    std::array<bool, kPageCount> v{};
    v.fill(true);
    return v;
}

} // namespace

TEST(ConfigPageVisibility, ByEcuTypeAndItems)
{
    struct Case {
        int type;
        bool has8127, hasMap;
        bool emissioni, variatore;
    } cases[] = {
        {30, false, false, true, false}, {50, false, false, false, false}, {79, false, false, false, false},
        {55, true, false, true, true},   {31, false, true, true, true},    {79, true, true, false, true},
    };
    for (const auto& c : cases) {
        EcuState s;
        s.type = c.type;
        s.has8127 = c.has8127;
        s.hasVariatorMap = c.hasMap;
        const auto v = PageVisibility(s);
        EXPECT_EQ(v[PageEmissioni], c.emissioni) << c.type;
        EXPECT_EQ(v[PageVariatore], c.variatore) << c.type;
        // Never shown, whatever the ECU.
        EXPECT_FALSE(v[PageFiltroBenzina]);
        EXPECT_FALSE(v[PageSequenza]);
        EXPECT_FALSE(v[PageTest]);
        for (int p : {PageConfigurazione, PageAdatta, PagePressione, PageTemp, PageIniezione, PageTaratura,
                      PageDiagnosi, PageEsci, PageConnect})
            EXPECT_TRUE(v[static_cast<std::size_t>(p)]) << PageName(p);
    }
}

TEST(ConfigControlVisibility, GasOnlyMonoplugAndItems)
{
    struct Case {
        const char* what;
        EcuState s;
        std::map<std::string, bool> expect;
    } cases[] = {
        {"petrol and gas, type 30",
         {.type = 30},
         {{"EditGiriCambio", true}, {"EditTempRiduttore", true}, {"EditSovrapposizione", true},
          {"EditCicchetto", false}, {"EditRitMin", true}, {"PanelPers", false}, {"EditTempGasBassa", false},
          {"CheckRitornoBenzina", true}, {"EditRitornoBenzina", false}, {"DrawGridPressDiff", true},
          {"DrawPressPassaggio", false}, {"EditGiriCutoff", false}, {"CheckVariatore", false},
          {"LabelNoteLow", false}, {"EditNoteConfig", true}}},
        {"gas only",
         {.type = 30, .gasOnly = true, .hasCustomerCode = true, .ritornoChecked = true},
         {{"EditGiriCambio", false}, {"EditTempRiduttore", false}, {"EditSovrapposizione", false},
          {"EditCicchetto", true}, {"EditRitMin", false}, {"PanelPers", true}, {"EditTempGasBassa", false},
          {"CheckRitornoBenzina", false}, {"EditRitornoBenzina", false}, {"LabelCambio", true}}},
        {"start on gas hides the rpm threshold only",
         {.type = 30, .tipoCommutazione = 2},
         {{"EditGiriCambio", false}, {"LabelRpm1", false}, {"EditTempRiduttore", true}}},
        {"monoplug",
         {.type = 79, .hasCustomerCode = true, .has2332 = true, .ritornoChecked = true},
         {{"EditTempRiduttore", false}, {"LabelT1", false}, {"EditTempGasBassa", true},
          {"DrawGridPressDiff", false}, {"DrawPressPassaggio", true}, {"DrawDelayGasTemp", true},
          {"EditGiriCutoff", true}, {"EditRitornoBenzina", true}}},
        {"variator switch on OBD with item 15 = 3",
         {.type = 55, .item15 = 3},
         {{"CheckVariatore", true}, {"ShapeCheckVariatore", true}}},
        {"variator switch needs the OBD type",
         {.type = 56, .item15 = 3},
         {{"CheckVariatore", false}}},
    };
    for (const auto& c : cases) {
        const auto m = controls(c.s);
        for (const auto& [name, visible] : c.expect) {
            ASSERT_TRUE(m.count(name)) << c.what << ": " << name;
            EXPECT_EQ(m.at(name), visible) << c.what << ": " << name;
        }
    }
}

TEST(ConfigTabs, GroupsAndColours)
{
    EXPECT_EQ(PageGroup(PageConfigurazione), TabGroup::A);
    EXPECT_EQ(PageGroup(PageConnect), TabGroup::A);
    EXPECT_EQ(PageGroup(PageDiagnosi), TabGroup::A);
    EXPECT_EQ(PageGroup(PageAdatta), TabGroup::A);
    EXPECT_EQ(PageGroup(PageEmissioni), TabGroup::B);
    EXPECT_EQ(PageGroup(PageVariatore), TabGroup::B);
    EXPECT_EQ(PageGroup(PagePressione), TabGroup::C);
    EXPECT_EQ(PageGroup(PageTaratura), TabGroup::C);
    EXPECT_EQ(PageGroup(PageSequenza), TabGroup::None);
    EXPECT_EQ(GroupColour(TabGroup::A, true), 0xE69B00u);
    EXPECT_EQ(GroupColour(TabGroup::A, false), 0xE0CB98u);
    EXPECT_EQ(GroupColour(TabGroup::B, true), 0x26C686u);
    EXPECT_EQ(GroupColour(TabGroup::B, false), 0x7EDCBBu);
    EXPECT_EQ(GroupColour(TabGroup::C, true), 0x0CF1F8u);
    EXPECT_EQ(GroupColour(TabGroup::C, false), 0x92F2F8u);
}

TEST(ConfigTabs, ExitCaptionPadding)
{
    // 10 pixels a character: from a tab at 500 in a 1000-wide control the
    // caption grows to 41 characters (500 + 410 >= 910).
    auto width = [](const std::u16string& s) { return static_cast<int>(s.size()) * 10; };
    const auto padded = PadExitCaption(u" ESC ", 500, 1000, width);
    EXPECT_EQ(padded.size(), 41u);
    EXPECT_EQ(padded.substr(0, 5), u" ESC ");
    // Already past the mark: only the ten blanks.
    EXPECT_EQ(PadExitCaption(u"X", 950, 1000, width).size(), 11u);
    // Blanks that measure nothing end the padding instead of hanging.
    const auto stuck = PadExitCaption(u"X", 0, 1000, [](const std::u16string&) { return 5; });
    EXPECT_LT(stuck.size(), 1000u);
}

TEST(ConfigTabs, WidthsFitTheBarAndTheExitTabReachesItsMark)
{
    struct Case {
        const char* name;
        std::vector<int> natural;
        int exit, connect, available, pageControl;
        std::vector<int> widths;
    } cases[] = {
        // Room enough: the exit tab stretches to 91 % of the control.
        {"fits", {100, 100, 50, 30}, 2, 3, 1000, 1000, {100, 100, 710, 30}},
        // Too wide: the page tabs give up width in proportion, the exit and
        // connect tabs keep theirs.
        {"shrinks", {300, 300, 100, 40}, 2, 3, 500, 500, {180, 180, 100, 40}},
        // The mark lies past the bar: the exit tab stops where the connect tab
        // still fits, even below its own caption's width.
        {"exit bounded", {100, 50, 30}, 1, 2, 200, 1000, {100, 70, 30}},
        {"exit squeezed", {100, 50, 60}, 1, 2, 80, 1000, {0, 20, 60}},
        // Neither tab shown: plain proportions.
        {"no exit", {100, 200}, -1, -1, 150, 150, {50, 100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TabWidths(c.natural, c.exit, c.connect, c.available, c.pageControl), c.widths);
    }
}

// Two page tabs (at ease, least, least 2 points smaller), the exit tab and
// the connect tab, on bars ever narrower.
TEST(ConfigTabs, TheBarGivesUpEaseThenTheFontAlikeForEveryTab)
{
    const std::vector<TabNeeds> tabs = {{100, 80, 60}, {50, 40, 30}, {70, 70, 70}, {30, 30, 30}};
    struct Case {
        const char* name;
        int available;
        std::vector<int> widths;
        bool smaller;
    } cases[] = {
        // At ease: as TabWidths, the exit tab out to 91 % of the control.
        {"at ease", 1000, {100, 50, 760, 30}, false},
        // The room beyond the least widths in proportion to what each gives up.
        {"less ease", 230, {86, 43, 70, 30}, false},
        // Not even the least widths: every caption smaller, the room shared.
        {"smaller", 200, {66, 33, 70, 30}, true},
        // Not even those: the smaller least widths in proportion.
        {"squeezed", 160, {40, 20, 70, 30}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TabBarLayout layout = LayoutTabBar(tabs, 2, 3, c.available, 1000);
        EXPECT_EQ(layout.widths, c.widths);
        EXPECT_EQ(layout.smaller, c.smaller);
    }
}

TEST(ConfigKeys, FunctionKeysCountVisibleTabsAndWrap)
{
    std::array<bool, kPageCount> v{};
    v.fill(false);
    // A typical ECU: 15 visible tabs, without Variatore.
    for (int p : {0, 1, 2, 3, 4, 5, 6, 8, 9, 12, 13, 15, 16, 17})
        v[static_cast<std::size_t>(p)] = true;
    EXPECT_EQ(FunctionKeyPage(v, 1), PageConfigurazione);
    EXPECT_EQ(FunctionKeyPage(v, 3), PageSensori);
    EXPECT_EQ(FunctionKeyPage(v, 8), PagePressione); // skips hidden Variatore
    EXPECT_EQ(FunctionKeyPage(v, 10), PageIniezione); // skips Filtro and Iniezione+
    EXPECT_EQ(FunctionKeyPage(v, 14), PageConnect);
    // Fewer than 12 visible tabs: counting wraps past the last tab.
    std::array<bool, kPageCount> few{};
    few.fill(false);
    for (int p : {0, 1, 2, 16, 17})
        few[static_cast<std::size_t>(p)] = true;
    EXPECT_EQ(FunctionKeyPage(few, 6), PageConfigurazione);
    EXPECT_EQ(FunctionKeyPage(few, 12), PageCommutazione);

    EXPECT_EQ(StepVisiblePage(v, PageAdatta, true), PageEmissioni);
    EXPECT_EQ(StepVisiblePage(v, PageEmissioni, true), PagePressione);
    EXPECT_EQ(StepVisiblePage(v, PageConnect, true), PageConfigurazione);
    EXPECT_EQ(StepVisiblePage(v, PageConfigurazione, false), PageConnect);
    EXPECT_EQ(StepVisiblePage(v, PageIniezione, false), PageTemp);
    EXPECT_EQ(LastVisiblePage(v), PageConnect);
    EXPECT_EQ(FirstVisiblePage(allVisible()), PageConfigurazione);
    std::array<bool, kPageCount> none{};
    EXPECT_EQ(FunctionKeyPage(none, 1), -1);
    EXPECT_EQ(StepVisiblePage(none, 0, true), -1);
}

TEST(ConfigLayout, TabHeightAndGridFit)
{
    EXPECT_EQ(TabHeight(768), 60);
    EXPECT_EQ(TabHeight(1024), 80);
    EXPECT_EQ(TabHeight(600), 46);

    const GridFit f = FitGrid(1000, 300, 13, 13);
    EXPECT_EQ(f.columnWidth, 75);
    EXPECT_EQ(f.rowHeight, 22);
    EXPECT_EQ(f.clientWidth, 988);
    EXPECT_EQ(f.clientHeight, 299);
    const GridFit c = FitColumns(975, 125, 13, 24);
    EXPECT_EQ(c.columnWidth, 74);
    EXPECT_EQ(c.clientWidth, 975);
    EXPECT_EQ(c.clientHeight, 125);
    EXPECT_EQ(FitGrid(10, 10, 0, 0).clientWidth, 10); // no division by zero

    EXPECT_EQ(ScaleWidth(1016, 0.96), 975);
    EXPECT_EQ(ScaleWidth(1016, 0.97), 985);
    EXPECT_EQ(VariatorClientHeight(6, 768), 156);
    EXPECT_EQ(VariatorClientHeight(6, 1024), 208);
}

TEST(ConfigTexts, ListsByEcuType)
{
    using V = std::vector<int>;
    EXPECT_EQ(CylinderTextNumbers(30), (V{97, 98}));
    EXPECT_EQ(CylinderTextNumbers(31), (V{97, 98, 99, 100, 101}));
    EXPECT_EQ(CylinderTextNumbers(38), (V{97, 98, 99, 100, 101}));
    EXPECT_EQ(CylinderTextNumbers(56), (V{97, 98, 99, 100, 101}));
    EXPECT_EQ(CylinderTextNumbers(53), (V{97, 98, 99, 100, 101, 582}));
    EXPECT_EQ(CylinderTextNumbers(55), (V{97, 98}));
    EXPECT_TRUE(LambdaTypeTexts(30).withUego);
    EXPECT_FALSE(LambdaTypeTexts(50).withUego);
    EXPECT_FALSE(LambdaTypeTexts(79).withUego);
    EXPECT_EQ(LambdaTypeTexts(30).numbers, (V{123, 124, 125, 126}));
}

// The hint of an editor at (200, 100), 80 x 24, 60 x 16 in size: beside it
// on the left (at 130, 104) when that is free, else above it (83), else below
// it (125), each first aligned left (x 200) and then right (x 220).
TEST(ConfigTexts, RangeHintGoesWhereItHidesNothing)
{
    const Rect editor{200, 100, 80, 24};
    const Rect page{0, 0, 1000, 700};
    const Rect caption{20, 104, 150, 16};    // under the place beside the editor
    const Rect editorAbove{200, 70, 80, 24}; // the row above, close by
    const Rect unitAbove{265, 83, 20, 16};   // reaches under the right of the place above
    const Rect editorBelow{200, 130, 80, 24};
    struct Case {
        const char* name;
        Rect area;
        std::vector<Rect> taken;
        Point at;
    } cases[] = {
        {"beside, free", page, {}, {130, 104}},
        {"beside covers the caption: above", page, {caption}, {200, 83}},
        {"above-left covers the unit above: above-right", page, {caption, Rect{195, 83, 10, 16}}, {220, 83}},
        {"no room above: below", page, {caption, editorAbove}, {200, 125}},
        {"above and below-left taken: below-right", page, {caption, editorAbove, Rect{205, 130, 10, 16}}, {220, 125}},
        {"the page ends above the editor", Rect{0, 90, 1000, 610}, {caption}, {200, 125}},
        {"the page ends left of the place beside", Rect{150, 0, 850, 700}, {}, {200, 83}},
        // Nowhere free: the first place that stays on the page.
        {"nowhere free", page, {caption, editorAbove, unitAbove, editorBelow}, {130, 104}},
        {"nowhere free, beside off the page", Rect{150, 0, 850, 700}, {editorAbove, editorBelow}, {200, 83}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Point p = PlaceRangeHint(editor, 60, 16, c.area, c.taken);
        EXPECT_EQ(p.x, c.at.x);
        EXPECT_EQ(p.y, c.at.y);
    }
}

TEST(ConfigTexts, RangeHintAndPlace)
{
    EXPECT_EQ(RangeHintText(-40, 120, '.'), "[-40;120]");
    EXPECT_EQ(RangeHintText(0.8, 20, ','), "[0,8;20]");
    EXPECT_EQ(RangeHintText(0.1 + 0.2, 1e6, '.'), "[0.3;1000000]");
    const Point p = RangeHintPosition(200, 50, 25, 60, 14);
    EXPECT_EQ(p.x, 130);
    EXPECT_EQ(p.y, 55);
    EXPECT_EQ(RangeHintPosition(0, 0, 10, 0, 13).y, -1); // toward zero

    EXPECT_EQ(GasSensorComboItem(0), 0);
    EXPECT_EQ(GasSensorComboItem(1), 2);
    EXPECT_EQ(GasSensorComboItem(2), 1);
    EXPECT_EQ(GasSensorComboItem(3), -1);
}
