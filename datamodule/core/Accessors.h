#pragma once
// The shared path of the named accessors: where an item's element lives,
// the bounds test and the four ways a setter finishes (write, store, the
// modified flag and the "Ufficiale" marker). Internal to the data module;
// the accessor families (StreamMaps.h, ...) hand their data module in as
// self().
#include "iodata.h"

#include <algorithm>
#include <optional>

namespace dm::acc {

// How a setter finishes.
enum class Order : std::uint8_t {
    A,         // write; store on success; modified and marker also after a refusal
    B,         // modified (after the bounds test); write; on refusal stop; store; marker
    FlagFirst, // as B, with modified set before the bounds test
    C,         // write; on refusal stop; store; modified; marker
};

// An extent of an index: a fixed count, or one of the K-map sizes.
enum class Extent : std::int8_t { Fixed, R, RPlusOne, C };

struct Family {
    std::int32_t item;   // the item in the image
    std::int32_t code;   // the element or cell code handed to the protocol object
    bool table;          // WriteCell(code, row, col) rather than WriteElement(code, index)
    Extent rowExtent;
    int rows;            // for Extent::Fixed
    Extent colExtent;
    int cols;            // for Extent::Fixed
    Order order;
};

inline int ExtentOf(const TStreamDati& d, Extent e, int fixed)
{
    switch (e) {
    case Extent::R: return d.GetNumeroRighe();
    case Extent::RPlusOne: return d.GetNumeroRighe() + 1;
    case Extent::C: return d.GetNumeroColonne();
    case Extent::Fixed: break;
    }
    return fixed;
}

// The stored element, or null when the index is outside the family (or the
// image holds no such element). Vectors use col as their index.
inline const std::int32_t* Element(const TStreamDati& d, const Family& f, int row, int col)
{
    const int rows = f.table ? ExtentOf(d, f.rowExtent, f.rows) : 1;
    const int cols = ExtentOf(d, f.colExtent, f.cols);
    if (row < 0 || row >= rows || col < 0 || col >= cols)
        return nullptr;
    // Rows lie in the image at the item's own row length.
    const ItemDef* def = f.table ? FindItem(ItemNumber(f.item)) : nullptr;
    if (def && col >= def->cols)
        return nullptr;
    const int at = def ? row * def->cols + col : col;
    if (at >= d.Image.Elements(f.item))
        return nullptr;
    return d.Item(f.item) + at;
}
inline std::int32_t* Element(TStreamDati& d, const Family& f, int row, int col)
{
    return const_cast<std::int32_t*>(Element(static_cast<const TStreamDati&>(d), f, row, col));
}

inline std::int32_t RawAt(const TStreamDati& d, const Family& f, int row, int col)
{
    const std::int32_t* e = Element(d, f, row, col);
    return e ? *e : 0;
}

inline void ClearMarker(TStreamDati& d)
{
    if (d.GetUfficiale())
        d.SetUfficiale(false);
}

// Steps 4 to 7 of a setter: `write` talks to the ECU (skipped while the
// write-through switch is off), `store` changes the image.
template <typename Write, typename Store>
bool Finish(TStreamDati& d, Order order, Write&& write, Store&& store)
{
    if (order == Order::B)
        d.Modified = 1;
    const bool ok = !d.WriteThrough || write();
    if (order == Order::A) {
        if (ok)
            store();
        d.Modified = 1;
        ClearMarker(d);
        return ok;
    }
    if (!ok)
        return false;
    store();
    d.Modified = 1;
    ClearMarker(d);
    return true;
}

// The common setter: bounds, then `toRaw` (the stored element in, the raw
// value out; nullopt ignores the value), then the family's order.
template <typename ToRaw>
bool Set(TStreamDati& d, const Family& f, int row, int col, ToRaw&& toRaw)
{
    if (f.order == Order::FlagFirst)
        d.Modified = 1;
    std::int32_t* e = Element(d, f, row, col);
    if (!e)
        return false;
    const std::optional<std::int32_t> raw = toRaw(*e);
    if (!raw)
        return false;
    const std::int32_t v = *raw;
    return Finish(
        d, f.order,
        [&] {
            return f.table ? d.Protocol()->WriteCell(f.code, row, col, v) : d.Protocol()->WriteElement(f.code, col, v);
        },
        [&] { *e = v; });
}

// Limits. An upper limit of an unsigned value takes a negative value to 0.
inline std::int32_t ClampTo(std::int32_t v, std::int32_t lo, std::int32_t hi) { return std::clamp(v, lo, hi); }
inline std::int32_t AtMost(std::int32_t v, std::int32_t hi) { return std::clamp(v, 0, hi); }
inline double ClampTo(double v, double lo, double hi)
{
    return v != v ? lo : std::clamp(v, lo, hi); // NaN takes the lower limit
}

} // namespace dm::acc
