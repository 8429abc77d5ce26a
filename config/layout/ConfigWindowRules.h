#pragma once
// The rules of the configuration window's frame that need no window: which
// pages and controls show for an ECU, the tab colour groups, the sizing
// arithmetic of tabs and grids, the keyboard's page stepping and the texts
// built from numbers.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace cfgwin {

// The sheets of the page control, in their order.
enum Page : int {
    PageConfigurazione = 0,
    PageCommutazione,
    PageSensori,
    PageMappa,
    PageCorrezioni,
    PageAdatta,
    PageEmissioni,
    PageVariatore,
    PagePressione,
    PageTemp,
    PageFiltroBenzina,
    PageSequenza,
    PageIniezione,
    PageTaratura,
    PageTest,
    PageDiagnosi,
    PageEsci,
    PageConnect,
    kPageCount
};

// The sheet's component name ("TabConfigurazione", ...).
const char* PageName(int page);

// ---- Visibility --------------------------------------------------------------

// What the visibility rules look at, read from the data module.
struct EcuState {
    int type = 30;                 // current ECU type
    bool gasOnly = false;          // option flag 0
    bool hasCustomerCode = false;  // item 0x233 answered
    bool has2332 = false;          // gas injections in cut-off
    bool has8127 = false;          // variator map
    bool hasVariatorMap = false;   // variator MAP axis
    int tipoCommutazione = 0;      // 2 = start on gas
    int item15 = 0;
    bool ritornoChecked = false;   // CheckRitornoBenzina as it stands
};

// Which tabs are visible for the ECU. The three sheets that are never shown
// (Filtro, Iniezione+, Dati di test) are always false.
std::array<bool, kPageCount> PageVisibility(const EcuState& s);

// One row of the control rules: the controls named and whether they show.
struct ControlRule {
    std::vector<const char*> names;
    bool visible;
};
// The control rows of the window's visibility rules, in their order (the
// pages are PageVisibility).
std::vector<ControlRule> ControlVisibility(const EcuState& s);

// ---- Tabs ----------------------------------------------------------------------

enum class TabGroup { None, A, B, C };
TabGroup PageGroup(int page);
// Toolkit colour (blue-green-red) of a group's tab; 0 for TabGroup::None.
std::uint32_t GroupColour(TabGroup group, bool active);

// Tab height for a screen height.
int TabHeight(int screenHeight);

// The widths of the visible tabs, in their order, so that the whole bar fits
// `available` pixels: every tab asks for its natural width (its caption's);
// when they do not all fit, the tabs other than the exit and connect tabs
// give up width in proportion (their captions are then drawn smaller or on
// two lines). The exit tab reaches to 91 % of the page control's width (its
// caption padded with blanks, so that the connect tab stands at the right)
// as far as the connect tab still fits. exitIndex and connectIndex are
// positions in `natural`, -1 when the tab is not there.
std::vector<int> TabWidths(const std::vector<int>& natural, int exitIndex, int connectIndex, int available,
                           int pageControlWidth);

// What a tab asks for: its width at ease (TabWidths' natural width), and the
// least width that holds its caption with a margin on either side at the
// window's font and at the font 2 points smaller. The exit and connect
// tabs ask the same width in all three.
struct TabNeeds {
    int natural = 0;
    int least = 0;
    int leastSmaller = 0;
};
struct TabBarLayout {
    std::vector<int> widths;
    // The captions are drawn 2 points smaller, all of them alike: the bar
    // does not hold them at the window's font.
    bool smaller = false;
};
// The widths of the visible tabs so that the whole bar fits `available`
// pixels: every tab at ease when they all fit (TabWidths); otherwise the
// page tabs give up what they ask beyond their least width at the window's
// font, in proportion; when not even those fit, every caption is drawn 2
// points smaller and the page tabs share what the bar has beyond their least
// width at that font; when not even those fit, those widths in proportion
// (TabWidths, the captions breaking onto two lines).
TabBarLayout LayoutTabBar(const std::vector<TabNeeds>& tabs, int exitIndex, int connectIndex, int available,
                          int pageControlWidth);

// The caption of the exit tab padded out: ten blanks, then single blanks
// until tabLeft + the caption's width reaches 91 % of clientWidth. textWidth
// measures a caption; padding stops after a bounded number of blanks when
// the blanks add no width.
std::u16string PadExitCaption(std::u16string caption, int tabLeft, int clientWidth,
                              const std::function<int(const std::u16string&)>& textWidth);

// ---- Keyboard ------------------------------------------------------------------

// The page of function key n (1..12): from the first page, n - 1 steps
// forward over the visible tabs, wrapping past the last one. -1 when no tab
// is visible.
int FunctionKeyPage(const std::array<bool, kPageCount>& visible, int n);
// The next (forward) or previous visible page after current, wrapping.
int StepVisiblePage(const std::array<bool, kPageCount>& visible, int current, bool forward);
int FirstVisiblePage(const std::array<bool, kPageCount>& visible);
int LastVisiblePage(const std::array<bool, kPageCount>& visible);

// ---- Grid sizing ---------------------------------------------------------------

// A grid fitted to its cells: default cell sizes and the client size that
// holds them exactly.
struct GridFit {
    int columnWidth = 0;
    int rowHeight = 0;
    int clientWidth = 0;
    int clientHeight = 0;
};
// column width := width / columns - 1, row height := height / rows - 1, then
// the client size := (cell + 1) x count. Counts below 1 count as 1.
GridFit FitGrid(int clientWidth, int clientHeight, int rows, int columns);
// The same for the columns only; the height is kept.
GridFit FitColumns(int clientWidth, int clientHeight, int columns, int rowHeight);
// width x factor truncated toward zero (the percentages of the layout).
int ScaleWidth(int width, double factor);
// The variator grid's client height with the MAP axis (26 pixels a row at
// 768 lines).
int VariatorClientHeight(int rows, int screenHeight);

// ---- Texts and values ----------------------------------------------------------

// The string numbers of the cylinder list and of the lambda-probe list for an
// ECU type; the probe list ends with the fixed "UEGO" when withUego.
std::vector<int> CylinderTextNumbers(int ecuType);
struct LambdaTypeList {
    std::vector<int> numbers;
    bool withUego;
};
LambdaTypeList LambdaTypeTexts(int ecuType);

// The range hint "[min;max]", each number in the shortest general format
// (15 significant digits) with decimalPoint as its separator.
std::string RangeHintText(double minValue, double maxValue, char decimalPoint);
// Where the hint goes: top-left beside the editor.
struct Point {
    int x;
    int y;
};
Point RangeHintPosition(int editLeft, int editTop, int editHeight, int labelWidth, int labelHeight);
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
// Where the hint goes, in the coordinates of `area` (the page the editor is
// on): beside the editor (RangeHintPosition) when there it stays inside the
// area and covers none of `taken` (what the other controls show); otherwise
// above the editor, or below it when there is no room above, each aligned
// with the editor's left edge or else with its right edge. When no place is
// free, the first of them that stays inside the area (the place beside the
// editor when none does).
Point PlaceRangeHint(const Rect& editor, int hintWidth, int hintHeight, const Rect& area,
                     const std::vector<Rect>& taken);

// ComboTempRiduttore's item for the gas temperature sensor type (-1 none),
// and the type an item stands for (0 for any other item).
int GasSensorComboItem(int sensorType);
int GasSensorTypeOfItem(int item);

} // namespace cfgwin
