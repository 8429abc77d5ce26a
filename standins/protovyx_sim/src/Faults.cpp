// The fault rules: the operations' names, a rule's text (the profile's fail=
// key), and which call an armed rule fails.
#include "SimulatorState.h"

#include "ProfileText.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace protovyx {

const char* OpName(Op op)
{
    switch (op) {
    case Op::Any: return "Any";
    case Op::ReadItem: return "ReadItem";
    case Op::ReadRow: return "ReadRow";
    case Op::ReadBlock: return "ReadBlock";
    case Op::WriteItem: return "WriteItem";
    case Op::WriteValue: return "WriteValue";
    case Op::WriteElement: return "WriteElement";
    case Op::WriteCell: return "WriteCell";
    case Op::WriteRow: return "WriteRow";
    case Op::SendCommand: return "SendCommand";
    case Op::GetItemFormat: return "GetItemFormat";
    case Op::Connect: return "Connect";
    case Op::DetectEcu: return "DetectEcu";
    case Op::GetEcuInfo: return "GetEcuInfo";
    case Op::Program: return "Program";
    case Op::AnyWrite: return "AnyWrite";
    case Op::Other: return "Other";
    }
    return "?";
}

namespace {

bool parseOp(std::string_view name, Op& op)
{
    for (int i = 0; i <= static_cast<int>(Op::Other); ++i) {
        const Op o = static_cast<Op>(i);
        std::string a = OpName(o), b(name);
        std::transform(a.begin(), a.end(), a.begin(), ::tolower);
        std::transform(b.begin(), b.end(), b.begin(), ::tolower);
        if (a == b) {
            op = o;
            return true;
        }
    }
    return false;
}

} // namespace

namespace detail {

// fail=<op>:<code|item:N>[:row<r>][:skip<n>][:times<n>][:status<s>][:lose]
bool parseFault(std::string_view text, FaultSpec& f)
{
    auto parts = split(text, ':');
    if (parts.size() < 2 || !parseOp(trim(parts[0]), f.op))
        return false;
    std::size_t i = 1;
    if (trim(parts[1]) == "item") {
        if (parts.size() < 3 || !parseInt(parts[2], f.code))
            return false;
        f.matchItem = true;
        i = 3;
    } else {
        if (!parseInt(parts[1], f.code))
            return false;
        i = 2;
    }
    for (; i < parts.size(); ++i) {
        const std::string p = trim(parts[i]);
        auto num = [&](const char* key, int& out) {
            const std::size_t n = std::char_traits<char>::length(key);
            return p.compare(0, n, key) == 0 && parseInt(std::string_view(p).substr(n), out);
        };
        if (num("row", f.row) || num("skip", f.skip) || num("times", f.times) || num("status", f.status))
            continue;
        if (p == "lose") {
            f.thenLoseLink = true;
            continue;
        }
        return false;
    }
    return true;
}

} // namespace detail

// The first armed fault matching the call, counted.
const FaultSpec* Simulator::State::fault(const CallRecord& r)
{
    const bool isWrite = r.op == Op::WriteItem || r.op == Op::WriteValue || r.op == Op::WriteElement ||
                         r.op == Op::WriteCell || r.op == Op::WriteRow;
    for (auto& f : faults) {
        const FaultSpec& s = f.rule;
        if (s.op != Op::Any && s.op != r.op && !(s.op == Op::AnyWrite && isWrite))
            continue;
        if (s.code != -1 && (s.matchItem ? (r.code & 0xFF) != s.code : r.code != s.code))
            continue;
        if (s.row != -1 && r.row != s.row)
            continue;
        if (s.times >= 0 && f.failed >= s.times)
            continue;
        if (f.seen++ < s.skip)
            continue;
        ++f.failed;
        return &s;
    }
    return nullptr;
}

} // namespace protovyx
