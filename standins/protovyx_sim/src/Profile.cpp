// The profile: its text parsed into the simulated ECU's settings, and where
// the library finds that text.
#include "protovyx/Simulator.h"

#include "Catalogue.h"
#include "ProfileText.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace protovyx {

namespace detail {

std::string trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return std::string(s);
}

bool parseInt(std::string_view s, int& out)
{
    std::string t = trim(s);
    int base = 10;
    std::string_view v = t;
    bool neg = false;
    if (!v.empty() && v.front() == '-') {
        neg = true;
        v.remove_prefix(1);
    }
    if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
        base = 16;
        v.remove_prefix(2);
    }
    if (v.empty())
        return false;
    long long x = 0;
    auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), x, base);
    if (ec != std::errc() || p != v.data() + v.size())
        return false;
    out = static_cast<int>(neg ? -x : x);
    return true;
}

std::vector<std::string_view> split(std::string_view s, char sep)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= s.size()) {
        const auto pos = s.find(sep, start);
        const auto end = pos == std::string_view::npos ? s.size() : pos;
        parts.push_back(s.substr(start, end - start));
        if (pos == std::string_view::npos)
            break;
        start = pos + 1;
    }
    return parts;
}

} // namespace detail

using detail::parseFault;
using detail::parseInt;
using detail::split;
using detail::trim;

namespace {

// "a.b" -> a and b (b as written: "7.2" -> 2, "10.21" -> 21).
bool parseVersion(std::string_view s, int& major, int& minor)
{
    const auto dot = s.find('.');
    if (dot == std::string_view::npos) {
        minor = 0;
        return parseInt(s, major);
    }
    return parseInt(s.substr(0, dot), major) && parseInt(s.substr(dot + 1), minor);
}

bool parseBool(std::string_view s, bool& out)
{
    const std::string t = trim(s);
    if (t == "1" || t == "true" || t == "yes" || t == "on") {
        out = true;
        return true;
    }
    if (t == "0" || t == "false" || t == "no" || t == "off") {
        out = false;
        return true;
    }
    return false;
}

} // namespace

bool Profile::Parse(std::string_view text, Profile& out, std::string* error)
{
    Profile p;
    std::vector<std::pair<std::string, std::string>> kv;
    for (auto part : split(text, ';')) {
        // Also one key per line (the profile file).
        for (auto line : split(part, '\n')) {
            const std::string item = trim(line);
            if (item.empty() || item[0] == '#' || item[0] == '[')
                continue;
            const auto eq = item.find('=');
            std::string key = trim(std::string_view(item).substr(0, eq));
            std::transform(key.begin(), key.end(), key.begin(), ::tolower);
            kv.emplace_back(key, eq == std::string::npos ? std::string() : trim(std::string_view(item).substr(eq + 1)));
        }
    }
    auto fail = [&](const std::string& key) {
        if (error)
            *error = key;
        return false;
    };
    // The type first: it chooses the firmware and hardware defaults. Type 3
    // is an ECU of boottype without application.
    int bootType = 30;
    bool typeIsBoot = false;
    for (const auto& [k, v] : kv)
        if (k == "boottype" && !parseInt(v, bootType))
            return fail(k);
    for (const auto& [k, v] : kv) {
        if (k == "type") {
            if (!parseInt(v, p.type))
                return fail(k);
            typeIsBoot = p.type == 3;
            if (typeIsBoot)
                p.type = bootType;
            const auto ti = detail::typeInfo(p.type);
            p.fwMajor = ti.fwMajor;
            p.fwMinor = ti.fwMinor;
            p.hwVariant = ti.hwVariant;
        }
    }
    for (const auto& [k, v] : kv) {
        bool ok = true;
        if (k == "type" || k == "boottype") {
        } else if (k == "fw") {
            ok = parseVersion(v, p.fwMajor, p.fwMinor);
        } else if (k == "model") {
            ok = parseInt(v, p.model);
        } else if (k == "hw") {
            ok = parseInt(v, p.hwVariant);
        } else if (k == "customer") {
            if (v == "absent") {
                p.customer.reset();
            } else {
                int c = 0;
                ok = parseInt(v, c);
                p.customer = c;
            }
        } else if (k == "pcmin" || k == "pcrec") {
            int major = 0, minor = 0;
            ok = parseVersion(v, major, minor);
            (k == "pcmin" ? p.pcMin : p.pcRec) = major * 256 + minor;
        } else if (k == "tb") {
            ok = parseInt(v, p.timeBase) && p.timeBase > 0;
        } else if (k == "mapcols") {
            ok = parseInt(v, p.mapCols) && p.mapCols >= 1 && p.mapCols <= 12;
        } else if (k == "maprows") {
            ok = parseInt(v, p.mapRows) && p.mapRows >= 1 && p.mapRows <= 12;
        } else if (k == "obd") {
            bool on = false;
            ok = parseBool(v, on);
            p.obd = on ? 1 : 0;
        } else if (k == "framelen") {
            ok = parseInt(v, p.frameLength) && p.frameLength >= 0 && p.frameLength <= 50;
        } else if (k == "port") {
            ok = parseInt(v, p.port);
        } else if (k == "absent") {
            for (auto a : split(v, ',')) {
                int n = 0;
                if (trim(a).empty())
                    continue;
                if (!parseInt(a, n)) {
                    ok = false;
                    break;
                }
                p.absent.push_back(n & 0xFF);
            }
        } else if (k == "present") {
            ok = parseBool(v, p.present);
        } else if (k == "boot") {
            ok = parseBool(v, p.bootMode);
        } else if (k == "lost") {
            ok = parseBool(v, p.lost);
        } else if (k == "fresh") {
            ok = parseBool(v, p.fresh);
        } else if (k == "strict") {
            ok = parseBool(v, p.strict);
        } else if (k == "neverready") {
            ok = parseBool(v, p.neverReady);
        } else if (k == "fuel") {
            p.cng = v == "cng";
            ok = v == "cng" || v == "lpg";
        } else if (k == "rebootms") {
            ok = parseInt(v, p.rebootMs);
        } else if (k == "latency") {
            ok = parseInt(v, p.latencyMs);
        } else if (k == "perbyte") {
            ok = parseInt(v, p.perByteUs);
        } else if (k == "warmup") {
            ok = parseInt(v, p.warmupS);
        } else if (k == "banks") {
            ok = parseInt(v, p.banks) && (p.banks == 1 || p.banks == 2);
        } else if (k == "fuelsweep") {
            ok = parseInt(v, p.fuelSweepS) && p.fuelSweepS >= 0;
        } else if (k == "trace") {
            p.trace = v;
        } else if (k == "counters") {
            ok = parseBool(v, p.counters);
        } else if (k == "errors") {
            p.errors.clear();
            for (auto e : split(v, ',')) {
                int n = 0;
                if (trim(e).empty())
                    continue;
                if (!parseInt(e, n) || n < 0 || n > 255 || p.errors.size() >= 5) {
                    ok = false;
                    break;
                }
                p.errors.push_back(n);
            }
        } else if (k == "gasfaults") {
            ok = parseInt(v, p.gasFaults) && p.gasFaults >= 0 && p.gasFaults <= 0xFFFF;
        } else if (k == "petrolfaults") {
            ok = parseInt(v, p.petrolFaults) && p.petrolFaults >= 0 && p.petrolFaults <= 0xFFFF;
        } else if (k == "program") {
            p.programResults.clear();
            for (auto r : split(v, ',')) {
                int n = 0;
                if (trim(r).empty())
                    continue;
                if (!parseInt(r, n)) {
                    ok = false;
                    break;
                }
                p.programResults.push_back(n);
            }
        } else if (k == "programms") {
            ok = parseInt(v, p.programMs) && p.programMs >= 0;
        } else if (k == "autocalms") {
            ok = parseInt(v, p.autocalMs) && p.autocalMs > 0;
        } else if (k == "autocalwarm") {
            ok = parseInt(v, p.autocalWarmS) && p.autocalWarmS >= 0 && p.autocalWarmS <= 0xFFFF;
        } else if (k == "autocalflags") {
            ok = parseInt(v, p.autocalFlags) && p.autocalFlags >= 0 && p.autocalFlags <= 0xFF;
        } else if (k == "autocalpetrol") {
            ok = parseInt(v, p.autocalPetrolMs) && p.autocalPetrolMs >= 0 && p.autocalPetrolMs <= 60;
        } else if (k == "autocalk") {
            ok = parseInt(v, p.autocalKPercent) && p.autocalKPercent >= 0;
        } else if (k == "autocalfault") {
            static constexpr std::pair<const char*, AutocalFault> kFaults[] = {
                {"none", AutocalFault::None}, {"never", AutocalFault::Never}, {"refuse", AutocalFault::Refuse},
                {"drop", AutocalFault::Drop}, {"nostart", AutocalFault::NoStart},
                {"nomeasure", AutocalFault::NoMeasure}};
            ok = false;
            for (const auto& [name, fault] : kFaults)
                if (v == name) {
                    p.autocalFault = fault;
                    ok = true;
                }
        } else if (k == "set") {
            const auto colon = v.find(':');
            int item = 0;
            std::vector<std::int32_t> values;
            ok = colon != std::string::npos && parseInt(std::string_view(v).substr(0, colon), item) && item >= 0 &&
                 item <= 0xFF;
            for (auto e : split(std::string_view(v).substr(ok ? colon + 1 : v.size()), ',')) {
                int n = 0;
                if (!ok || !parseInt(e, n)) {
                    ok = false;
                    break;
                }
                values.push_back(n);
            }
            if (ok)
                p.values.emplace_back(item, std::move(values));
        } else if (k == "fail") {
            FaultSpec f;
            ok = parseFault(v, f);
            p.faults.push_back(f);
        }
        // Keys of later features (scenario, seed, ...) are ignored here.
        if (!ok)
            return fail(k);
    }
    if (typeIsBoot)
        p.bootMode = true;
    out = std::move(p);
    return true;
}

std::string ProfileTextFromEnvironment(const std::string& libraryFolder)
{
    if (const char* inline_ = std::getenv("PROTOVYX_SIM"))
        return inline_;
    std::string file;
    if (const char* f = std::getenv("PROTOVYX_SIM_FILE"))
        file = f;
    else if (!libraryFolder.empty())
        file = libraryFolder + "/protovyx-sim.ini";
    if (file.empty())
        return {};
    std::ifstream in(file);
    if (!in)
        return {};
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

} // namespace protovyx
