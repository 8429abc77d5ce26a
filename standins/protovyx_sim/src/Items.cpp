// The item calls: how an item code resolves (the one rule every call obeys),
// the path every item call takes (link, time, code, faults), the checks of a
// write's values, and the reads and writes of items, rows, elements and
// cells, with GetItemFormat.
#include "SimulatorState.h"

#include "Counters.h"

#include <algorithm>
#include <string>

namespace protovyx {

using detail::Access;
using detail::Call;
using detail::Guard;
using detail::ItemDef;
using detail::kMalformed;
using detail::masked;
using detail::num;

namespace {

bool isWrite(Op op)
{
    return op == Op::WriteItem || op == Op::WriteValue || op == Op::WriteElement
        || op == Op::WriteCell || op == Op::WriteRow;
}

// Where a code points in an item.
struct Target {
    Simulator::State::Item* item = nullptr;
    int first = 0;
    int count = 0;
    bool bitField = false;
};

// The one rule by which every item call resolves its code. Returns the status
// (0, 4 or 0x10) and, for 0x10, why.
std::int32_t resolve(Simulator::State& s, Op op, std::int32_t code, std::int32_t row, std::int32_t col,
                     Target& t, std::string& why)
{
    if (code < 0) {
        why = "negative code";
        return kMalformed;
    }
    if (code & 0x800) {
        why = "bit 11 set";
        return kMalformed;
    }
    if (code & 0x70000000) {
        why = "bits 28-30 set";
        return kMalformed;
    }
    const int number = code & 0xFF;
    const bool bitField = (code & 0x0FF00000) != 0;
    if (bitField) {
        if (number != 0x1a || op != Op::WriteValue || (code & 0x000FFF00) != 0) {
            why = "bit-field code outside a WriteValue of item 0x1a";
            return kMalformed;
        }
    }
    auto& slot = s.items[static_cast<std::size_t>(number)];
    if (!slot || !slot->present) {
        if (!slot)
            why = "unknown item";
        return ECU_STATUS_NO_ITEM;
    }
    auto& item = *slot;
    const ItemDef& d = item.def;
    const bool w16 = (code & 0x200) != 0;
    const bool sgn = (code & 0x400) != 0;
    const bool whole = (code & 0x100) != 0;
    const int count = (code >> 12) & 0xFF;
    t.item = &item;
    t.bitField = bitField;
    if (bitField) {
        t.first = 0;
        t.count = 1;
        return 0;
    }
    if (w16 != (d.width == 2)) {
        why = d.width == 2 ? "8-bit code on a 16-bit item" : "16-bit code on an 8-bit item";
        return kMalformed;
    }
    if (sgn != d.isSigned) {
        why = d.isSigned ? "unsigned code on a signed item" : "signed code on an unsigned item";
        return kMalformed;
    }
    if (!whole && count != 0) {
        why = "element count without the whole-array bit";
        return kMalformed;
    }
    if (isWrite(op) && d.access == Access::RO) {
        why = "write to a read-only item";
        return kMalformed;
    }
    if (!isWrite(op) && d.access == Access::WO) {
        why = "read of a write-only item";
        return kMalformed;
    }
    const int elements = d.elements();
    switch (op) {
    case Op::ReadItem:
    case Op::WriteItem:
        if (whole) {
            if (count != d.cols) {
                why = "count " + num(count) + " is not the item's " + num(d.cols);
                return kMalformed;
            }
            t.first = 0;
            t.count = elements;
        } else {
            if (elements != 1) {
                why = "single-value code on an item of " + num(elements) + " elements";
                return kMalformed;
            }
            t.first = 0;
            t.count = 1;
        }
        return 0;
    case Op::WriteValue:
        if (whole || elements != 1) {
            why = whole ? "array code in a single-value write" : "single-value write to an item of " + num(elements) + " elements";
            return kMalformed;
        }
        t.first = 0;
        t.count = 1;
        return 0;
    case Op::ReadRow:
    case Op::WriteRow:
        if (whole) {
            if (count != d.cols) {
                why = "row length " + num(count) + " is not the item's " + num(d.cols);
                return kMalformed;
            }
            if (row < 0 || row >= d.rows) {
                why = "row out of range (" + num(d.rows) + " rows)";
                return kMalformed;
            }
            t.first = row * d.cols;
            t.count = d.cols;
        } else {
            if (d.rows != 1 || row < 0 || row >= elements) {
                why = d.rows != 1 ? "element code on a table" : "element out of range (" + num(elements) + ")";
                return kMalformed;
            }
            t.first = row;
            t.count = 1;
        }
        return 0;
    case Op::WriteElement:
        if (whole || row < 0 || row >= elements) {
            why = whole ? "array code in an element write" : "index out of range (" + num(elements) + ")";
            return kMalformed;
        }
        t.first = row;
        t.count = 1;
        return 0;
    case Op::WriteCell:
        if (whole || row < 0 || row >= d.rows || col < 0 || col >= d.cols) {
            why = whole ? "array code in a cell write" : "cell out of range (" + num(d.rows) + " x " + num(d.cols) + ")";
            return kMalformed;
        }
        t.first = row * d.cols + col;
        t.count = 1;
        return 0;
    default:
        why = "not an item operation";
        return kMalformed;
    }
}

bool inRange(const ItemDef& d, bool bitField, std::int32_t v)
{
    if (bitField || d.width == 1)
        return d.isSigned && !bitField ? v >= -128 && v <= 127 : v >= 0 && v <= 255;
    return d.isSigned ? v >= -32768 && v <= 32767 : v >= 0 && v <= 65535;
}

} // namespace

// The value as the ECU's memory keeps it: masked to the width, sign-extended
// for signed items.
std::int32_t detail::masked(const ItemDef& d, std::int32_t v)
{
    if (d.width == 1)
        return d.isSigned ? static_cast<std::int8_t>(v) : static_cast<std::uint8_t>(v);
    return d.isSigned ? static_cast<std::int16_t>(v) : static_cast<std::uint16_t>(v);
}

namespace {

// The common path of the item calls: link, time, code, faults. Returns false
// with the call finished when the call cannot go on; offline writes finish
// successfully here. values: the buffer of a write of several values, which
// the call's record holds once the code has resolved (also for a write that
// goes nowhere).
bool admit(Simulator::State& s, Call& c, Target& t, int bytes, bool& offlineWrite,
           const std::int32_t* values = nullptr)
{
    offlineWrite = false;
    std::string why;
    const std::int32_t rs = resolve(s, c.r.op, c.r.code, c.r.row, c.r.column, t, why);
    if (rs == 0 && values && t.count > 0)
        c.r.in.assign(values, values + t.count);
    if (!s.open) {
        if (isWrite(c.r.op)) {
            // Offline work: a write reports success and changes nothing.
            if (rs == kMalformed)
                s.violation(c.r, why + " (offline)");
            offlineWrite = true;
            c.done(true, 0);
            return false;
        }
        c.done(false, ECU_STATUS_LINK);
        return false;
    }
    if (!s.appAnswering() || !s.spend(bytes)) {
        if (!s.appAnswering())
            s.sleep(static_cast<std::uint32_t>(std::max(0, s.timeout)));
        c.done(false, ECU_STATUS_LINK);
        return false;
    }
    if (rs == ECU_STATUS_NO_ITEM && !why.empty())
        s.violation(c.r, why);
    if (rs != 0) {
        if (rs == kMalformed)
            s.violation(c.r, why);
        c.done(false, rs);
        return false;
    }
    if (const FaultSpec* f = s.fault(c.r)) {
        const bool lose = f->thenLoseLink;
        c.done(false, f->status);
        if (lose) {
            s.lost = true;
            s.setOpen(false);
        }
        return false;
    }
    return true;
}

// Checks (and in user mode masks) the values of a write. False: refused.
bool checkValues(Simulator::State& s, Call& c, const Target& t, std::vector<std::int32_t>& vals)
{
    const ItemDef& d = t.item->def;
    for (std::size_t i = 0; i < vals.size(); ++i) {
        if (inRange(d, t.bitField, vals[i]))
            continue;
        s.violation(c.r, "value " + num(vals[i]) + " out of range of element " + num(t.first + static_cast<int>(i)));
        if (s.profile.strict) {
            c.done(false, kMalformed);
            return false;
        }
        vals[i] = t.bitField ? (vals[i] & 0xFF) : masked(d, vals[i]);
    }
    return true;
}

} // namespace

// Effects of writes the ECU reacts to.
static void afterWrite(Simulator::State& s, int number)
{
    auto& items = s.items;
    if (number == 0x61) {
        // {0, 0} clears the diagnostic memory and the injector fault masks.
        for (int n : {0x1d, 0x20, 0x21, 0x22, 0x23})
            if (auto& it = items[static_cast<std::size_t>(n)])
                std::fill(it->values.begin(), it->values.end(), 0);
    }
}

static bool doRead(Simulator::State& s, Op op, const char* name, std::int32_t code, std::int32_t* values,
                   std::int32_t row)
{
    Call c(s, op, name, code, op == Op::ReadRow ? row : -1);
    Target t;
    bool offline = false;
    std::string why;
    // The byte count for the time a call takes comes from the code itself.
    const int bytes = (((code >> 8) & 1) ? ((code >> 12) & 0xFF) : 1) * ((code & 0x200) ? 2 : 1);
    if (!admit(s, c, t, bytes, offline))
        return c.r.result;
    if (!values) {
        s.violation(c.r, "null buffer");
        return c.done(false, kMalformed);
    }
    if (detail::isCounterItem(t.item->def.number))
        s.advanceCounters();
    const auto& v = t.item->values;
    for (int i = 0; i < t.count; ++i) {
        std::int32_t x = v[static_cast<std::size_t>(t.first + i)];
        // While the application restarts, the ready item is not yet 172.
        if (t.item->def.number == 0x02 && s.neverReady)
            x = 0;
        values[i] = x;
        c.r.out.push_back(x);
    }
    return c.done(true, 0);
}

// A write of one value (src null) or of the values a buffer holds (src):
// the buffer is read only after the code has resolved, and only as far as
// the code names.
static bool doWrite(Simulator::State& s, Op op, const char* name, std::int32_t code, std::int32_t row,
                    std::int32_t col, const std::int32_t* src, std::int32_t single, bool fromArray)
{
    Call c(s, op, name, code, row, col);
    if (!fromArray)
        c.r.in = {single};
    Target t;
    bool offline = false;
    const int named = ((code >> 8) & 1) ? (code >> 12) & 0xFF : 1;
    const int bytes = named * ((code & 0x200) ? 2 : 1);
    if (!admit(s, c, t, bytes, offline, fromArray ? src : nullptr))
        return c.r.result;
    std::vector<std::int32_t> vals;
    if (fromArray) {
        if (!src) {
            s.violation(c.r, "null buffer");
            return c.done(false, kMalformed);
        }
        vals.assign(src, src + t.count);
        c.r.in = vals;
    } else {
        vals = {single};
    }
    if (!checkValues(s, c, t, vals))
        return false;
    auto& v = t.item->values;
    for (int i = 0; i < t.count; ++i)
        v[static_cast<std::size_t>(t.first + i)] = vals[static_cast<std::size_t>(i)];
    afterWrite(s, t.item->def.number);
    return c.done(true, 0);
}

bool Simulator::ReadItem(std::int32_t code, std::int32_t* values)
{
    Guard g(*s_);
    return doRead(*s_, Op::ReadItem, "ReadItem", code, values, -1);
}

bool Simulator::ReadRow(std::int32_t code, std::int32_t* values, std::int32_t row)
{
    Guard g(*s_);
    return doRead(*s_, Op::ReadRow, "ReadRow", code, values, row);
}

bool Simulator::WriteItem(std::int32_t code, const std::int32_t* values)
{
    Guard g(*s_);
    return doWrite(*s_, Op::WriteItem, "WriteItem", code, -1, -1, values, 0, true);
}

bool Simulator::WriteValue(std::int32_t code, std::int32_t value)
{
    Guard g(*s_);
    return doWrite(*s_, Op::WriteValue, "WriteValue", code, -1, -1, nullptr, value, false);
}

bool Simulator::WriteElement(std::int32_t code, std::int32_t index, std::int32_t value)
{
    Guard g(*s_);
    return doWrite(*s_, Op::WriteElement, "WriteElement", code, index, -1, nullptr, value, false);
}

bool Simulator::WriteCell(std::int32_t code, std::int32_t row, std::int32_t column, std::int32_t value)
{
    Guard g(*s_);
    return doWrite(*s_, Op::WriteCell, "WriteCell", code, row, column, nullptr, value, false);
}

bool Simulator::WriteRow(std::int32_t code, const std::int32_t* values, std::int32_t row)
{
    Guard g(*s_);
    return doWrite(*s_, Op::WriteRow, "WriteRow", code, row, -1, values, 0, true);
}

std::int8_t Simulator::GetItemFormat(std::int32_t address, std::int32_t count)
{
    Guard g(*s_);
    State& s = *s_;
    Call c(s, Op::GetItemFormat, "GetItemFormat", address, count);
    if (!s.open || !s.appAnswering() || !s.spend(2)) {
        if (s.open && !s.appAnswering())
            s.sleep(static_cast<std::uint32_t>(std::max(0, s.timeout)));
        c.done(false, ECU_STATUS_LINK);
        return 0;
    }
    if (address < 0 || address > 0xFF || count < 1) {
        s.violation(c.r, "bad address or count");
        c.done(false, kMalformed);
        return 0;
    }
    auto& it = s.items[static_cast<std::size_t>(address)];
    if (!it || !it->present) {
        c.done(false, ECU_STATUS_NO_ITEM);
        return 0;
    }
    if (const FaultSpec* f = s.fault(c.r)) {
        c.done(false, f->status);
        return 0;
    }
    c.r.out = {it->def.width};
    c.done(true, 0);
    return static_cast<std::int8_t>(it->def.width);
}

} // namespace protovyx
