#include "TablesRules.h"

#include "TableLimits.h"

#include "complib/numbers/NumberText.h"

#include "datamodule/core/iodata.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

namespace tables {

namespace {

constexpr int kTextAbove = 198;        // "Oltre"
constexpr int kTextRichIncrease = 220; // "Aumento ricco"
constexpr int kTextMap = 326;          // "MAP"
constexpr int kTextRpm = 530;          // "Giri"
constexpr int kTextAdvance = 531;      // "Anticipo"

constexpr std::int32_t kTipoDiLambda = 0x4;

constexpr std::array<GridSpec, 8> kGrids{{
    {GridId::PressDiff, "DrawGridPressDiff", Page::Correzioni, 2, 15, 0, 0},
    {GridId::TempGas, "DrawGridTempGas", Page::Correzioni, 2, 10, 0, 0},
    {GridId::TempRid, "DrawGridTempRid", Page::Correzioni, 2, 10, 0, 0},
    {GridId::Emissioni, "DrawGridEmissioni", Page::Emissioni, 5, 13, 1, 1},
    {GridId::Anticipo, "DrawGridAnticipo", Page::Emissioni, 1, 13, 0, 1},
    {GridId::Variatore, "DrawGridVariatore", Page::Variatore, 2, 9, 0, 0},
    {GridId::PressPassaggio, "DrawPressPassaggio", Page::Correzioni, 2, 13, 0, 1},
    {GridId::DelayGasTemp, "DrawDelayGasTemp", Page::Correzioni, 3, 10, 0, 1},
}};

QString whole(long long v) { return QString::number(v); }
// "%u" of a 32-bit value.
QString unsignedText(std::int32_t v) { return QString::number(static_cast<std::uint32_t>(v)); }

// A computed value handed to a setter that takes a whole number: truncated,
// and kept inside the 32-bit range so that no conversion overflows.
std::int32_t toInt(double v)
{
    if (!std::isfinite(v))
        return 0;
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::trunc(std::clamp(v, lo, hi)));
}

// The temperature grids: column c (1..9) shows element 9 - c.
int tempElement(int col) { return 9 - col; }

// How the set mode turns the dialog's value into the new value.
enum class SetRule { Value, Abs, Plus100 };

// One value an edit changes, with the series it belongs to (an axis obeys
// the increasing rule over `points`).
struct Target {
    int key = 0;                                  // the same value has the same key
    std::function<double()> get;
    std::function<void(double)> set;
    SetRule setRule = SetRule::Value;
    bool truncate = true;
    std::function<std::vector<double>()> points;  // axis only
    int k = 0;                                    // position on the axis
    // What the setter can store: the new value is taken within it before
    // anything else looks at it.
    std::function<double(double)> limit;
};

std::function<double(double)> upTo(std::int32_t max)
{
    return [max](double n) { return static_cast<double>(UnsignedUpTo(n, max)); };
}

std::function<double(double)> within(Range r)
{
    return [r](double n) { return Within(n, r); };
}

template <typename Get>
std::function<std::vector<double>()> axisOf(int count, Get get)
{
    return [count, get] {
        std::vector<double> v(static_cast<std::size_t>(count));
        for (int k = 0; k < count; ++k)
            v[static_cast<std::size_t>(k)] = static_cast<double>(get(k));
        return v;
    };
}

// The temperature grids' two rows.
std::optional<Target> temperatureTarget(TStreamDati& d, bool gas, int c, int r)
{
    if (c < 1 || c > 9)
        return std::nullopt;
    const int e = tempElement(c);
    Target t;
    t.key = r * 100 + c;
    if (r == 1) {
        t.setRule = SetRule::Plus100;
        t.limit = upTo(kCoeffMax);
        t.get = [&d, gas, e] { return gas ? d.GetCoeffMot(e) : d.GetCoeffTemperatura(e); };
        t.set = [&d, gas, e](double n) { gas ? d.SetCoeffMot(e, toInt(n)) : d.SetCoeffTemperatura(e, toInt(n)); };
        return t;
    }
    if (r != 0 || c > 8) // column 9 of row 0 is the "over" title
        return std::nullopt;
    t.get = [&d, gas, e] { return gas ? d.GetRifMot(e) : d.GetRifTemperatura(e); };
    t.set = [&d, gas, e](double n) { gas ? d.SetRifMot(e, std::trunc(n)) : d.SetRifTemperatura(e, std::trunc(n)); };
    t.points = axisOf(8, [&d, gas](int k) { return gas ? d.GetRifMot(tempElement(k + 1)) : d.GetRifTemperatura(tempElement(k + 1)); });
    t.k = c - 1;
    t.limit = within(gas ? GasTemperatureRange() : EngineTemperatureRange());
    return t;
}

std::optional<Target> variatorTarget(TStreamDati& d, int c, int r, int curCol, int curRow)
{
    Target t;
    const bool mapAxis = VariatorHasMapAxis(d);
    // With the MAP axis every visited cell is taken as the current cell's kind.
    const bool rpmAxis = mapAxis ? curRow == 0 : r == 0;
    if (mapAxis && curCol == 0) {
        if (r < 1 || r > 5)
            return std::nullopt;
        t.key = 1000 + r;
        t.truncate = false;
        t.get = [&d, r] { return static_cast<double>(d.GetRifMapVariatore(r - 1)); };
        t.set = [&d, r](double n) { d.SetRifMapVariatore(r - 1, n); };
        t.points = axisOf(5, [&d](int k) { return d.GetRifMapVariatore(k); });
        t.k = r - 1;
        t.limit = within(RifMapVariatoreRange(d));
        return t;
    }
    if (c < 1 || c > 8)
        return std::nullopt;
    if (rpmAxis) {
        t.key = 2000 + c;
        t.get = [&d, c] { return d.GetRifGiriVariatore(c - 1); };
        t.set = [&d, c](double n) { d.SetRifGiriVariatore(c - 1, toInt(n)); };
        t.points = axisOf(8, [&d](int k) { return d.GetRifGiriVariatore(k); });
        t.k = c - 1;
        t.limit = within({0, kRifGiriVariatoreMax});
        return t;
    }
    if (r < 1 || (!mapAxis && r != 1) || r > 5)
        return std::nullopt;
    t.key = r * 100 + c;
    t.limit = upTo(kVariatoreMax);
    if (mapAxis) {
        t.get = [&d, r, c] { return d.GetMappaVariatore(r - 1, c - 1); };
        t.set = [&d, r, c](double n) { d.SetMappaVariatore(r - 1, c - 1, toInt(n)); };
    } else {
        t.get = [&d, c] { return d.GetVariatore(c - 1); };
        t.set = [&d, c](double n) { d.SetVariatore(c - 1, toInt(n)); };
    }
    return t;
}

std::optional<Target> targetOf(TStreamDati& d, GridId id, int c, int r, int curCol, int curRow)
{
    Target t;
    t.key = r * 100 + c;
    switch (id) {
    case GridId::PressDiff:
        if (c < 0 || c > 14)
            return std::nullopt;
        t.truncate = false;
        if (r == 1) {
            t.get = [&d, c] { return static_cast<double>(d.GetCoeffPressDiff(c)); };
            t.set = [&d, c](double n) { d.SetCoeffPressDiff(c, n); };
            return t;
        }
        if (r != 0)
            return std::nullopt;
        t.get = [&d, c] { return static_cast<double>(d.GetRifPressDiff(c)); };
        t.set = [&d, c](double n) { d.SetRifPressDiff(c, n); };
        t.points = axisOf(15, [&d](int k) { return d.GetRifPressDiff(k); });
        t.k = c;
        t.limit = within({0, kRifPressDiffMax});
        return t;
    case GridId::TempGas:
    case GridId::TempRid:
        return temperatureTarget(d, id == GridId::TempGas, c, r);
    case GridId::Emissioni:
        if (c < 1 || c > 12 || r < 1 || r > 4)
            return std::nullopt;
        t.truncate = false;
        t.setRule = TipoDiLambdaBit7(d) ? SetRule::Value : SetRule::Abs;
        if (r == 1) {
            t.get = [&d, c] { return static_cast<double>(d.GetRiferimentiSondaLambda(c - 1)); };
            t.set = [&d, c](double n) { d.SetRiferimentiSondaLambda(c - 1, n); };
        } else {
            t.get = [&d, r, c] { return static_cast<double>(d.GetMappaEmissioni(r - 2, c - 1)); };
            t.set = [&d, r, c](double n) { d.SetMappaEmissioni(r - 2, c - 1, n); };
        }
        return t;
    case GridId::Anticipo:
        if (c < 1 || c > 12)
            return std::nullopt;
        t.setRule = SetRule::Abs;
        t.limit = upTo(kAnticipoMax);
        t.get = [&d, c] { return d.GetAnticipo(c - 1); };
        t.set = [&d, c](double n) { d.SetAnticipo(c - 1, toInt(n)); };
        return t;
    case GridId::Variatore:
        return variatorTarget(d, c, r, curCol, curRow);
    case GridId::PressPassaggio:
        if (c < 1 || c > 12)
            return std::nullopt;
        t.truncate = false;
        t.get = [&d, c] { return static_cast<double>(d.GetPressPassaggio(c - 1)); };
        t.set = [&d, c](double n) { d.SetPressPassaggio(c - 1, n); };
        return t;
    case GridId::DelayGasTemp:
        if (c < 1 || c > 9 || r < 0 || r > 2)
            return std::nullopt;
        if (r == 0) {
            t.get = [&d, c] { return d.GetRifDelayGasTemp(c - 1); };
            t.set = [&d, c](double n) { d.SetRifDelayGasTemp(c - 1, toInt(n)); };
            t.points = axisOf(9, [&d](int k) { return d.GetRifDelayGasTemp(k); });
            t.k = c - 1;
            t.limit = within(GasTemperatureRange());
        } else {
            t.limit = upTo(kDelayGasTempMax[r - 1]);
            t.get = [&d, r, c] { return d.GetDelayGasTemp(r - 1, c - 1); };
            t.set = [&d, r, c](double n) { d.SetDelayGasTemp(r - 1, c - 1, toInt(n)); };
        }
        return t;
    }
    return std::nullopt;
}

// Whether an edit visits only the current row (else every selected row).
bool currentRowOnly(const TStreamDati& d, GridId id)
{
    switch (id) {
    case GridId::PressDiff:
    case GridId::TempGas:
    case GridId::TempRid:
        return true;
    case GridId::Variatore:
        return !VariatorHasMapAxis(d);
    default:
        return false;
    }
}

} // namespace

std::span<const GridSpec> GridTable() { return kGrids; }

const GridSpec& GridSpecOf(GridId id) { return kGrids[static_cast<std::size_t>(id)]; }

bool TipoDiLambdaBit7(const TStreamDati& d)
{
    const std::int32_t* v = d.Item(kTipoDiLambda);
    return v && (*v & 0x80) != 0;
}

bool VariatorHasMapAxis(const TStreamDati& d) { return d.RifMapVariatorePresent != 0; }

int RowCount(const TStreamDati& d, GridId id)
{
    if (id == GridId::Variatore && VariatorHasMapAxis(d))
        return 6;
    return GridSpecOf(id).rows;
}

QString CellText(const TStreamDati& d, GridId id, int c, int r, const TextFn& text, QChar sep)
{
    const auto fixed = [sep](long double v, int p, int dec) { return complib::FormatFixed(static_cast<double>(v), p, dec, sep); };
    switch (id) {
    case GridId::PressDiff:
        if (r == 0)
            return fixed(d.GetRifPressDiff(c), 3, 2);
        return fixed(d.GetCoeffPressDiff(c), 3, 2);
    case GridId::TempGas:
    case GridId::TempRid: {
        const bool gas = id == GridId::TempGas;
        const int e = tempElement(c);
        if (r == 0) {
            if (c == 0)
                return QStringLiteral("°C");
            if (c == 9)
                return text(kTextAbove);
            return whole(gas ? d.GetRifMot(e) : d.GetRifTemperatura(e));
        }
        if (c == 0)
            return QStringLiteral("±100%");
        return whole((gas ? d.GetCoeffMot(e) : d.GetCoeffTemperatura(e)) - 100LL);
    }
    case GridId::Emissioni: {
        if (r == 0)
            return c == 0 ? QStringLiteral("MAP") : unsignedText(d.GetRifGiri(c - 1));
        if (c == 0)
            return fixed(d.GetRifMapEmissioni(r - 1), 4, 3);
        const long double v = r == 1 ? d.GetRiferimentiSondaLambda(c - 1) : d.GetMappaEmissioni(r - 2, c - 1);
        if (TipoDiLambdaBit7(d))
            return whole(toInt(static_cast<double>(v)));
        return fixed(v, 3, 2);
    }
    case GridId::Anticipo: return c == 0 ? text(kTextRichIncrease) : unsignedText(d.GetAnticipo(c - 1));
    case GridId::Variatore: {
        const bool mapAxis = VariatorHasMapAxis(d);
        if (r == 0 && c == 0)
            return mapAxis ? text(kTextMap) + QLatin1Char('\\') + text(kTextRpm) : text(kTextRpm);
        if (r == 0)
            return whole(d.GetRifGiriVariatore(c - 1));
        if (c == 0)
            return mapAxis ? fixed(d.GetRifMapVariatore(r - 1), 5, 3) : text(kTextAdvance);
        return whole(mapAxis ? d.GetMappaVariatore(r - 1, c - 1) : d.GetVariatore(c - 1));
    }
    case GridId::PressPassaggio:
        if (r == 0)
            return c == 0 ? QStringLiteral("T.inj.p.") : fixed(d.GetRifTempiK(c - 1), 3, 2);
        return c == 0 ? QStringLiteral("P.rail") : fixed(d.GetPressPassaggio(c - 1), 3, 2);
    case GridId::DelayGasTemp:
        if (c == 0)
            return text(678 + r);
        if (r == 0)
            return whole(d.GetRifDelayGasTemp(c - 1));
        return whole(d.GetDelayGasTemp(r - 1, c - 1));
    }
    return {};
}

bool BreakpointFits(std::span<const double> points, int k, double n)
{
    const int count = static_cast<int>(points.size());
    if (k < 0 || k >= count)
        return false;
    if (k > 0 && !(n > points[static_cast<std::size_t>(k - 1)]))
        return false;
    if (k < count - 1 && !(n < points[static_cast<std::size_t>(k + 1)]))
        return false;
    return true;
}

double Varied(double old, double v, int mode, bool truncate)
{
    switch (mode) {
    case 1:
        return old + v;
    case 2: {
        const double n = old * (1 + v * 0.01);
        return truncate ? std::trunc(n) : n;
    }
    default:
        return v;
    }
}

std::optional<EditSetup> EditSetupAt(const TStreamDati& d, GridId id, int c, int r)
{
    // The targets only read through the data module here.
    auto& dm = const_cast<TStreamDati&>(d);
    switch (id) {
    case GridId::TempGas:
        if (r == 1 && c == 5)
            return std::nullopt;
        break;
    case GridId::TempRid:
        if (r == 1 && c == 9)
            return std::nullopt;
        break;
    case GridId::Variatore:
        if (c == 0 && (!VariatorHasMapAxis(d) || r == 0))
            return std::nullopt;
        break;
    case GridId::PressPassaggio:
        r = 1; // the pre-fill is always the pressure of the current column
        break;
    default:
        break;
    }
    const auto t = targetOf(dm, id, c, r, c, r);
    if (!t)
        return std::nullopt;
    EditSetup s;
    s.real = !t->truncate;
    if (id == GridId::Emissioni)
        s.real = !TipoDiLambdaBit7(d);
    s.prefill = t->get();
    if (t->setRule == SetRule::Plus100)
        s.prefill -= 100;
    if (!s.real)
        s.prefill = std::trunc(s.prefill);
    return s;
}

void ApplyEdit(TStreamDati& d, GridId id, int curCol, int curRow, const Selection& sel, double value, int mode,
               const std::function<void()>& axisWritten)
{
    int top = sel.top, bottom = sel.bottom;
    if (currentRowOnly(d, id))
        top = bottom = curRow;
    if (id == GridId::PressPassaggio)
        top = bottom = 1;
    // Column 0 of the temperature grids holds the titles: a selection that
    // starts there starts at column 1.
    int left = sel.left;
    if (id == GridId::TempGas || id == GridId::TempRid)
        left = std::max(left, 1);
    std::vector<int> done;
    for (int r = top; r <= bottom; ++r) {
        for (int c = left; c <= sel.right; ++c) {
            auto t = targetOf(d, id, c, r, curCol, curRow);
            if (!t || std::find(done.begin(), done.end(), t->key) != done.end())
                continue;
            done.push_back(t->key);
            double n = 0;
            if (mode == 0) {
                n = t->setRule == SetRule::Abs ? std::fabs(value) : t->setRule == SetRule::Plus100 ? 100 + value : value;
            } else {
                n = Varied(t->get(), value, mode, t->truncate);
            }
            if (t->limit)
                n = t->limit(n);
            if (t->points) {
                const auto points = t->points();
                if (!BreakpointFits(points, t->k, n))
                    continue;
                t->set(n);
                if (id == GridId::PressDiff && axisWritten)
                    axisWritten();
            } else {
                t->set(n);
            }
        }
    }
}

ClickAction DoubleClickAction(GridId id, int c, int r)
{
    switch (id) {
    case GridId::PressDiff:
    case GridId::Variatore:
        return c >= 0 && r >= 0 ? ClickAction::Edit : ClickAction::Nothing;
    case GridId::TempGas:
    case GridId::TempRid:
    case GridId::DelayGasTemp:
        return c >= 1 && r >= 0 ? ClickAction::Edit : ClickAction::Nothing;
    case GridId::Anticipo:
        return c >= 1 ? ClickAction::Edit : ClickAction::Nothing;
    case GridId::PressPassaggio:
        return c >= 1 && r >= 1 ? ClickAction::Edit : ClickAction::Nothing;
    case GridId::Emissioni:
        if (c >= 1 && r >= 1)
            return ClickAction::Edit;
        if ((c == 0 && r > 0) || (r == 0 && c > 0))
            return ClickAction::CellCentres;
        return ClickAction::Nothing;
    }
    return ClickAction::Nothing;
}

int TrackedColumn(GridId id, const TrackedCells& t)
{
    switch (id) {
    case GridId::PressDiff: return t.PressDiffColumn;
    case GridId::TempGas: return t.TempGasColumn;
    case GridId::TempRid: return t.TempRidColumn;
    case GridId::PressPassaggio: return t.MapKRow >= 0 ? t.MapKRow + 1 : -1;
    default: return -1;
    }
}

} // namespace tables
