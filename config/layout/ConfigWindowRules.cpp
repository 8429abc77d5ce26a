#include "ConfigWindowRules.h"

#include "product/constants/BuildConstants.h"

#include <algorithm>
#include <charconv>

namespace cfgwin {

namespace {

// The most blanks the exit caption takes when its blanks measure nothing.
constexpr int kMaxPadding = 400;

} // namespace

const char* PageName(int page)
{
    static constexpr const char* names[kPageCount] = {
        "TabConfigurazione", "TabCommutazione", "TabSensori",  "TabMappa",         "TabCorrezioni",
        "TabAdatta",         "TabEmissioni",    "TabVariatore", "TabPressione",    "TabTemp",
        "TabFiltroBenzina",  "TabSequenza",     "TabIniezione", "TabTaratura",     "TabTest",
        "TabDiagnosi",       "TabEsci",         "TabConnect"};
    return page >= 0 && page < kPageCount ? names[page] : "";
}

std::array<bool, kPageCount> PageVisibility(const EcuState& s)
{
    std::array<bool, kPageCount> v{};
    v.fill(true);
    v[PageFiltroBenzina] = false;
    v[PageSequenza] = false;
    v[PageTest] = false;
    v[PageEmissioni] = s.type != qz::ECU_TYPE_VANT && s.type != qz::ECU_TYPE_MONOPLUG;
    v[PageVariatore] = s.has8127 || s.hasVariatorMap;
    return v;
}

std::vector<ControlRule> ControlVisibility(const EcuState& s)
{
    const bool gas = s.gasOnly;
    const bool mono = s.type == qz::ECU_TYPE_MONOPLUG;
    const bool ritornoVisible = !gas;
    return {
        {{"LabelCambio", "ComboCambio", "ShapeTipoCommutazione"}, true},
        {{"LabelGiriCambio", "EditGiriCambio", "LabelRpm1", "ShapeSogliaCommutazione"},
         s.tipoCommutazione != 2 && !gas},
        {{"LabelTempRiduttore", "EditTempRiduttore", "LabelT1", "ShapeTempRiduttore"}, !gas && !mono},
        {{"ShapeTempGasBass", "LabelTempGasBassa", "EditTempGasBassa", "LabTempGasBassa"},
         !gas && s.hasCustomerCode},
        {{"LabelRitardoCambio", "EditRitMin", "LabelS1", "ShapeRitardoCommutazione"}, !gas},
        {{"LabelSovrapposizione", "ShapeSovrapposizione", "LabelS15"}, true},
        {{"EditCicchetto"}, gas},
        {{"EditSovrapposizione"}, !gas},
        {{"EditNoteConfig"}, true},
        {{"LabelNoteLow"}, false},
        {{"PanelPers"}, s.hasCustomerCode},
        {{"DrawGridAnticipo"}, true},
        {{"CheckRitornoBenzina", "LabelCheckRitornoBenzina", "ShapeCheckRitorno", "ShapeRitorno"}, ritornoVisible},
        {{"LabelRitornoBenzina", "EditRitornoBenzina", "LabelS12"}, s.ritornoChecked && ritornoVisible},
        {{"PanelAutotaratura"}, true},
        {{"LabelDelayGasTemp", "ShapeDelayGasTemp", "DrawDelayGasTemp", "ShapeLineDown"}, mono},
        {{"LabelPressPassaggio", "ShapePresPassaggio", "DrawPressPassaggio", "ShapeLineUp"}, mono},
        {{"LabelCorrezioniPressione", "DrawGridPressDiff", "ShapePressDiff"}, !mono},
        {{"LabelGiriTempoCutoff", "LabelGiriCutoff", "EditGiriCutoff", "LabelTempoCutoff", "EditTempoCutoff"},
         s.has2332},
        {{"CheckVariatore", "ShapeCheckVariatore"}, s.type == qz::ECU_TYPE_4CIL_OBD && s.item15 == 3},
        {{"LabelTInjDefault", "EditTInjDefault", "LabelMsInjDefault"}, true},
    };
}

TabGroup PageGroup(int page)
{
    switch (page) {
    case PageConfigurazione:
    case PageCommutazione:
    case PageSensori:
    case PageMappa:
    case PageCorrezioni:
    case PageAdatta:
    case PageDiagnosi:
    case PageEsci:
    case PageConnect:
        return TabGroup::A;
    case PageEmissioni:
    case PageVariatore:
        return TabGroup::B;
    case PagePressione:
    case PageTemp:
    case PageIniezione:
    case PageTaratura:
        return TabGroup::C;
    default:
        return TabGroup::None;
    }
}

std::uint32_t GroupColour(TabGroup group, bool active)
{
    switch (group) {
    case TabGroup::A:
        return active ? 15112960u : 14732184u;
    case TabGroup::B:
        return active ? 2541190u : 8314043u;
    case TabGroup::C:
        return active ? 848376u : 9630456u;
    case TabGroup::None:
        break;
    }
    return 0;
}

int TabHeight(int screenHeight) { return screenHeight * 60 / 768; }

std::vector<int> TabWidths(const std::vector<int>& natural, int exitIndex, int connectIndex, int available,
                           int pageControlWidth)
{
    std::vector<int> w = natural;
    const int n = static_cast<int>(w.size());
    long long fixed = 0, flexible = 0;
    for (int i = 0; i < n; ++i)
        (i == exitIndex || i == connectIndex ? fixed : flexible) += std::max(0, w[static_cast<std::size_t>(i)]);
    const long long room = std::max<long long>(0, available - fixed);
    if (flexible > room && flexible > 0)
        for (int i = 0; i < n; ++i)
            if (i != exitIndex && i != connectIndex)
                w[static_cast<std::size_t>(i)] = static_cast<int>(w[static_cast<std::size_t>(i)] * room / flexible);
    if (exitIndex >= 0 && exitIndex < n) {
        long long left = 0, right = 0;
        for (int i = 0; i < n; ++i) {
            if (i < exitIndex)
                left += w[static_cast<std::size_t>(i)];
            else if (i > exitIndex)
                right += w[static_cast<std::size_t>(i)];
        }
        const long long reach = static_cast<long long>(pageControlWidth) * 91 / 100 - left;
        const long long most = available - left - right;
        long long width = std::max<long long>(w[static_cast<std::size_t>(exitIndex)], reach);
        width = std::min(width, most);
        w[static_cast<std::size_t>(exitIndex)] = static_cast<int>(std::max<long long>(0, width));
    }
    return w;
}

namespace {

// The page tabs between their least widths and what they ask at ease, the
// room beyond the least shared in proportion to what each would take.
std::vector<int> shareRoom(const std::vector<TabNeeds>& tabs, const std::vector<int>& least, int exitIndex,
                           int connectIndex, long long room)
{
    std::vector<int> w = least;
    long long wanted = 0;
    for (std::size_t i = 0; i < tabs.size(); ++i)
        if (static_cast<int>(i) != exitIndex && static_cast<int>(i) != connectIndex)
            wanted += std::max(0, tabs[i].natural - least[i]);
    if (wanted <= 0 || room <= 0)
        return w;
    for (std::size_t i = 0; i < tabs.size(); ++i)
        if (static_cast<int>(i) != exitIndex && static_cast<int>(i) != connectIndex)
            w[i] += static_cast<int>(std::max(0, tabs[i].natural - least[i]) * std::min(room, wanted) / wanted);
    return w;
}

} // namespace

TabBarLayout LayoutTabBar(const std::vector<TabNeeds>& tabs, int exitIndex, int connectIndex, int available,
                          int pageControlWidth)
{
    std::vector<int> natural, least, smaller;
    for (const TabNeeds& t : tabs) {
        natural.push_back(t.natural);
        least.push_back(std::min(t.least, t.natural));
        smaller.push_back(std::min(t.leastSmaller, least.back()));
    }
    const auto sum = [](const std::vector<int>& v) {
        long long total = 0;
        for (int x : v)
            total += std::max(0, x);
        return total;
    };
    if (sum(natural) <= available)
        return {TabWidths(natural, exitIndex, connectIndex, available, pageControlWidth), false};
    if (sum(least) <= available)
        return {shareRoom(tabs, least, exitIndex, connectIndex, available - sum(least)), false};
    if (sum(smaller) <= available)
        return {shareRoom(tabs, smaller, exitIndex, connectIndex, available - sum(smaller)), true};
    return {TabWidths(smaller, exitIndex, connectIndex, available, pageControlWidth), true};
}

std::u16string PadExitCaption(std::u16string caption, int tabLeft, int clientWidth,
                              const std::function<int(const std::u16string&)>& textWidth)
{
    caption.append(10, u' ');
    const int target = clientWidth * 91 / 100;
    for (int i = 0; i < kMaxPadding && tabLeft + textWidth(caption) < target; ++i)
        caption.push_back(u' ');
    return caption;
}

int FunctionKeyPage(const std::array<bool, kPageCount>& visible, int n)
{
    int page = FirstVisiblePage(visible);
    if (page < 0)
        return -1;
    for (int i = 1; i < n; ++i)
        page = StepVisiblePage(visible, page, true);
    return page;
}

int StepVisiblePage(const std::array<bool, kPageCount>& visible, int current, bool forward)
{
    for (int step = 1; step <= kPageCount; ++step) {
        const int p = ((current + (forward ? step : -step)) % kPageCount + kPageCount) % kPageCount;
        if (visible[static_cast<std::size_t>(p)])
            return p;
    }
    return -1;
}

int FirstVisiblePage(const std::array<bool, kPageCount>& visible)
{
    for (int p = 0; p < kPageCount; ++p)
        if (visible[static_cast<std::size_t>(p)])
            return p;
    return -1;
}

int LastVisiblePage(const std::array<bool, kPageCount>& visible)
{
    for (int p = kPageCount - 1; p >= 0; --p)
        if (visible[static_cast<std::size_t>(p)])
            return p;
    return -1;
}

GridFit FitGrid(int clientWidth, int clientHeight, int rows, int columns)
{
    rows = rows < 1 ? 1 : rows;
    columns = columns < 1 ? 1 : columns;
    GridFit f;
    f.columnWidth = clientWidth / columns - 1;
    f.rowHeight = clientHeight / rows - 1;
    f.clientWidth = (f.columnWidth + 1) * columns;
    f.clientHeight = (f.rowHeight + 1) * rows;
    return f;
}

GridFit FitColumns(int clientWidth, int clientHeight, int columns, int rowHeight)
{
    columns = columns < 1 ? 1 : columns;
    GridFit f;
    f.columnWidth = clientWidth / columns - 1;
    f.rowHeight = rowHeight;
    f.clientWidth = (f.columnWidth + 1) * columns;
    f.clientHeight = clientHeight;
    return f;
}

int ScaleWidth(int width, double factor) { return static_cast<int>(width * factor); }

int VariatorClientHeight(int rows, int screenHeight) { return 26 * rows * screenHeight / 768; }

std::vector<int> CylinderTextNumbers(int ecuType)
{
    std::vector<int> n{97, 98};
    if (ecuType == qz::ECU_TYPE_8CIL || ecuType == qz::ECU_TYPE_8CIL_T || ecuType == qz::ECU_TYPE_53 || ecuType == qz::ECU_TYPE_8CIL_OBD)
        n.insert(n.end(), {99, 100, 101});
    if (ecuType == qz::ECU_TYPE_53)
        n.push_back(582);
    return n;
}

LambdaTypeList LambdaTypeTexts(int ecuType)
{
    return {{123, 124, 125, 126}, ecuType != qz::ECU_TYPE_VANT && ecuType != qz::ECU_TYPE_MONOPLUG};
}

std::string RangeHintText(double minValue, double maxValue, char decimalPoint)
{
    auto number = [decimalPoint](double v) {
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
        std::string s(buf, r.ptr);
        for (char& c : s)
            if (c == '.')
                c = decimalPoint;
        return s;
    };
    return "[" + number(minValue) + ";" + number(maxValue) + "]";
}

Point RangeHintPosition(int editLeft, int editTop, int editHeight, int labelWidth, int labelHeight)
{
    return {editLeft - labelWidth - 10, editTop + (editHeight - labelHeight) / 2};
}

namespace {

bool overlaps(const Rect& a, const Rect& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

bool inside(const Rect& r, const Rect& area)
{
    return r.x >= area.x && r.y >= area.y && r.x + r.width <= area.x + area.width &&
           r.y + r.height <= area.y + area.height;
}

} // namespace

Point PlaceRangeHint(const Rect& editor, int hintWidth, int hintHeight, const Rect& area,
                     const std::vector<Rect>& taken)
{
    const Point beside = RangeHintPosition(editor.x, editor.y, editor.height, hintWidth, hintHeight);
    const int above = editor.y - hintHeight - 1;
    const int below = editor.y + editor.height + 1;
    const int leftEdge = editor.x;
    const int rightEdge = editor.x + editor.width - hintWidth;
    const Point places[] = {beside, {leftEdge, above}, {rightEdge, above}, {leftEdge, below}, {rightEdge, below}};
    const Point* fallback = nullptr;
    for (const Point& p : places) {
        const Rect hint{p.x, p.y, hintWidth, hintHeight};
        if (!inside(hint, area))
            continue;
        if (std::none_of(taken.begin(), taken.end(), [&](const Rect& t) { return overlaps(hint, t); }))
            return p;
        if (!fallback)
            fallback = &p;
    }
    return fallback ? *fallback : beside;
}

int GasSensorComboItem(int sensorType)
{
    switch (sensorType) {
    case 0:
        return 0;
    case 1:
        return 2;
    case 2:
        return 1;
    default:
        return -1;
    }
}

int GasSensorTypeOfItem(int item)
{
    switch (item) {
    case 1:
        return 2;
    case 2:
        return 1;
    default:
        return 0;
    }
}

} // namespace cfgwin
