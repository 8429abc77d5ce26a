// Programming: the boot loader's checks of an image (its records, its
// metadata, the flash its type keeps for the application), the progress it
// reports, and the new application a programming leaves behind.
#include "SimulatorState.h"

#include "product/firmware/FirmwareMeta.h"
#include "product/firmware/WholeImage.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

namespace protovyx {

using detail::Call;
using detail::Guard;

namespace {

constexpr std::uint32_t kWaitProgress = 0x8191; // WM_WAITPROGRESS

constexpr std::uint32_t kMaxImageBytes = 4u * 1024 * 1024;

struct ImageVerdict {
    int result = -2; // 0 accepted, -2 malformed, -3 not for this ECU, -4 outside the flash
    int type = 0;
    int version = 0;
};

// The checks of the boot loader, in its order: the records, the metadata,
// then the addresses as they are written, against the flash its type keeps
// for the application (the product's table; a type without a row takes no
// image).
ImageVerdict checkImage(std::string_view text, int hwType, int hwVariant)
{
    using namespace qz::firmware;
    ImageVerdict v;
    const std::optional<TApplicationRange> flash = ApplicationRangeOf(hwType);
    int s0 = 0, dataRecords = 0;
    bool inData = false, counted = false, ended = false, outside = false;
    std::string metaRow;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto nl = text.find('\n', pos);
        std::string_view line = text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
        pos = nl == std::string_view::npos ? text.size() : nl + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        TSRecord r;
        if (ParseSRecord(line, r) != TSRecordError::None || ended)
            return v;
        if (r.kind == '0') {
            if (inData)
                return v;
            if (++s0 == 2)
                metaRow = std::string(line.substr(2));
            continue;
        }
        if (!inData && s0 != 3)
            return v;
        inData = true;
        switch (r.kind) {
        case '1': case '2': case '3':
            if (counted)
                return v;
            ++dataRecords;
            if (flash && (r.address < flash->first || r.address + r.data.size() > std::uint64_t{flash->last} + 1))
                outside = true;
            break;
        case '5': case '6':
            if (counted || r.address != static_cast<std::uint32_t>(dataRecords))
                return v;
            counted = true;
            break;
        default: // 7, 8, 9
            ended = true;
            break;
        }
    }
    const TMetaResult meta = DecodeMetaRow(metaRow);
    if (!ended || dataRecords == 0 || !meta.Ok())
        return v;
    v.type = meta.meta.type;
    v.version = meta.meta.version;
    const unsigned bit = static_cast<unsigned>(hwVariant) & 31;
    if (!flash || meta.meta.type != hwType || bit >= 8 || ((meta.meta.variantMask >> bit) & 1) == 0) {
        v.result = -3;
        return v;
    }
    v.result = outside ? -4 : 0;
    return v;
}

// How far the progress gets before the result: the whole way for a success,
// half way for the failures found while writing (the flash is erased by
// then), the start for those found before.
int progressLimit(int result)
{
    switch (result) {
    case 0: return 100;
    case -1: return -1;
    case 1: case 2: case -2: case -3: return 0;
    default: return 50;
    }
}

bool leavesBootMode(int result)
{
    return progressLimit(result) == 50;
}

} // namespace

// A new application: the image's type and version, every parameter at
// its default, no model byte and no personalisation yet. The identity
// (the hardware) stays.
void Simulator::State::flash(int type, int version)
{
    profile.type = type;
    profile.fwMajor = (version >> 8) & 0xFF;
    profile.fwMinor = version & 0xFF;
    for (auto& it : items)
        it.reset();
    for (auto& d : detail::buildCatalogue(profile, true)) {
        const int n = d.number;
        Item item;
        item.values = d.defaults;
        item.present = detail::itemPresent(profile, n);
        item.def = std::move(d);
        items[static_cast<std::size_t>(n)] = std::move(item);
    }
    syncIdentity();
    if (auto& it = items[0x40])
        std::fill(it->values.begin(), it->values.end(), 253);
    if (auto& it = items[0x33])
        std::fill(it->values.begin(), it->values.end(), 0);
    bootMode = false;
}

std::int32_t Simulator::ProgramFirmwareFile(const char*, std::int32_t, std::int32_t, std::int32_t)
{
    Guard g(*s_);
    // The program hands images, never files: refused, the ECU unchanged.
    Call(*s_, Op::Program, "ProgramFirmwareFile", 0).done(false, ECU_STATUS_LINK);
    return 1;
}

std::int32_t Simulator::ProgramFirmwareImage(const void* image, std::int32_t a, std::int32_t b, std::int32_t c)
{
    State& s = *s_;
    std::optional<Call> call;
    int result = 0;
    ImageVerdict verdict;
    plat::NotifyTarget* target = nullptr;
    IClock* clock = nullptr;
    std::uint32_t stepMs = 0;
    {
        Guard g(s);
        std::uint32_t n = 0;
        if (image) {
            const auto* p = static_cast<const std::uint8_t*>(image);
            n = p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
        }
        call.emplace(s, Op::Program, "ProgramFirmwareImage", static_cast<std::int32_t>(n));
        call->r.in = {a, b, c};
        if (a != 2 || b != 0 || c != 1)
            s.violation(call->r, "programming arguments are not 2, 0, 1");
        if (!image) {
            s.violation(call->r, "null image");
            result = -2;
        } else if (s.lost || !s.answering() || s.port != s.profile.port) {
            s.sleep(static_cast<std::uint32_t>(std::max(0, s.timeout)));
            result = -1;
        } else if (n > kMaxImageBytes) {
            result = -2;
        } else {
            const std::string_view text(static_cast<const char*>(image) + 4, n);
            const int hw = s.items[0x15] ? s.items[0x15]->values[0] : s.profile.hwVariant;
            verdict = checkImage(text, s.profile.type, hw);
            result = verdict.result;
        }
        // One scripted result per attempt; it counts only for an image the
        // ECU took.
        if (!s.programQueue.empty()) {
            const int scripted = s.programQueue.front();
            s.programQueue.pop_front();
            if (result == 0)
                result = scripted;
        }
        target = s.notify;
        clock = s.clock;
        stepMs = static_cast<std::uint32_t>(std::max(0, s.profile.programMs)) / 20;
    }
    // Synchronous progress, without the lock: the wait form repaints inside.
    for (int pct = 0; pct <= progressLimit(result); pct += 5) {
        if (pct > 0 && stepMs)
            clock->SleepMs(stepMs);
        {
            Guard g(s);
            s.notifications.push_back({kWaitProgress, static_cast<std::uintptr_t>(pct), 0, true});
        }
        if (target)
            target->Send(kWaitProgress, static_cast<std::uintptr_t>(pct), 0);
    }
    Guard g(s);
    if (result == 0) {
        s.flash(verdict.type, verdict.version);
        s.setOpen(false);
        s.startReboot();
    } else if (leavesBootMode(result)) {
        s.bootMode = true;
    }
    call->r.out = {result};
    call->done(result == 0, result == 0 ? 0 : ECU_STATUS_LINK);
    return result;
}

} // namespace protovyx
