#include "ConfigChanges.h"

#include "RulesPrompt.h"
#include "SensorRules.h"
#include "datamodule/core/iodata.h"
#include "product/constants/BuildConstants.h"

#include "plat/Messages.h"
#include "plat/Services.h"

#include <array>

namespace cfgrules {

namespace {

constexpr int kFullGroupOption = 18;
constexpr std::int32_t kFuelGroup = 2;
constexpr std::int32_t kInjectionGroup = 4;
constexpr std::uint32_t kSettleMs = 200;
constexpr std::uint32_t kReconnectTimeoutMs = 20000;
constexpr std::int32_t kHardwareItem = 0x15;
constexpr std::intptr_t kRefreshConfigLabel = 2;

// Texts of the questions.
constexpr int kCarburationQuestion = 258;
constexpr int kInjectionQuestion = 259;
constexpr int kInjectorMismatchQuestion = 260;

// The differential MAP sensor's calibration that survives an injector change,
// and the external sensor's that goes with it.
constexpr std::int32_t kDiffOffset = -108, kDiffSlope = 542;
constexpr std::int32_t kExtOffset = 100, kExtSlope = 500;

void run(const std::function<void()>& hook)
{
    if (hook)
        hook();
}

bool askYes(TStreamDati& dm, int textNumber)
{
    return ShowRuleBox(dm, textNumber, plat::PromptIcon::Question, plat::PromptButtons::YesNo) == plat::IDYES;
}

// The closing frame. A failed write leaves the image apart from the ECU: it
// stays marked as changed so that it is not dropped without the save
// question.
ChangeResult closeChange(TStreamDati& dm, const ChangeFrame& frame, ChangeResult result)
{
    if (result == ChangeResult::Failed)
        dm.Modified = 1;
    run(frame.rebuildBounds);
    plat::PostWindowMessage(dm.MainWindow(), plat::WM_CONNECTIONEVENT, 0, kRefreshConfigLabel);
    run(frame.endWait);
    if (result == ChangeResult::NotMade)
        ShowRuleBox(dm, kChangeNotMadeText, plat::PromptIcon::Error);
    return result;
}

// An option write the ECU refused (or stored otherwise): nothing was loaded
// or written, and the user is told that the change was not made.
ChangeResult refuse(TStreamDati& dm)
{
    ShowRuleBox(dm, kChangeNotMadeText, plat::PromptIcon::Error);
    return ChangeResult::Refused;
}

enum class Reload { Done, LoadFailed, WriteFailed };

// The standard set's fuel group (with the second-format injection group on
// top when the full-group mode is set), then the fuel group written to the
// ECU. The first transfer that fails ends it: a half-loaded image is never
// written.
Reload reloadFuelGroup(TStreamDati& dm, bool progressOnLoad)
{
    const bool fullGroup = dm.GetFlag(kFullGroupOption) != 0;
    if (fullGroup)
        dm.SetFlag(kFullGroupOption, false);
    const bool loaded = dm.TransferData(TStreamDati::TRANSFER_LOAD, {}, CurrentDefaultResource(dm), kFuelGroup,
                                        progressOnLoad ? 1 : 0, 0);
    if (fullGroup)
        dm.SetFlag(kFullGroupOption, true);
    if (!loaded)
        return Reload::LoadFailed;
    if (fullGroup &&
        !dm.TransferData(TStreamDati::TRANSFER_LOAD_RES2, {}, CurrentDefaultResource(dm), kInjectionGroup, 0, 0))
        return Reload::LoadFailed;
    return dm.TransferData(TStreamDati::TRANSFER_WRITE_ECU, {}, 0, kFuelGroup, 1, 0) ? Reload::Done
                                                                                      : Reload::WriteFailed;
}

// Writes an option flag and checks that the module stores what was asked:
// the default set that follows is chosen by the stored flag.
bool setOption(TStreamDati& dm, int flag, bool on)
{
    return dm.SetFlag(flag, on) && (dm.GetFlag(flag) != 0) == on;
}

ChangeResult afterReload(TStreamDati& dm, const ChangeFrame& frame, Reload reload, bool wasOnline,
                         const std::function<void()>& restorePrevious)
{
    switch (reload) {
    case Reload::Done: return closeChange(dm, frame, ChangeResult::Done);
    case Reload::WriteFailed: return closeChange(dm, frame, ChangeResult::Failed);
    case Reload::LoadFailed:
        // The ECU still holds the old calibration: its option word must say
        // so again. A failed transfer closes the link first.
        if (wasOnline && !dm.Protocol()->IsConnected())
            dm.Reconnect(kReconnectTimeoutMs);
        restorePrevious();
        return closeChange(dm, frame, ChangeResult::NotMade);
    }
    return ChangeResult::Failed;
}

} // namespace

int CurrentDefaultResource(TStreamDati& dm)
{
    return qz::DefaultConfigResourceId(dm.EcuInfo.EcuType, dm.GetFlag(kFuelOption) != 0,
                                       dm.GetFlag(kFullGroupOption) != 0,
                                       static_cast<std::uint8_t>(dm.GetTipoIniettore(1)),
                                       static_cast<std::uint8_t>(qz::CustomerId()));
}

ChangeResult ChangeFuel(TStreamDati& dm, int index, int previousFuel, const ChangeFrame& frame)
{
    if (index < 0 || index == previousFuel)
        return ChangeResult::Unchanged;
    if (!askYes(dm, kCarburationQuestion))
        return ChangeResult::Declined;
    // The default set follows the stored fuel: when the ECU refuses the new
    // one, loading would replace the calibration with the old fuel's set.
    if (!setOption(dm, kFuelOption, index != 0))
        return refuse(dm);
    plat::CurrentClock().sleep(kSettleMs);
    run(frame.beginWait);
    const bool online = dm.Protocol()->IsConnected();
    return afterReload(dm, frame, reloadFuelGroup(dm, true), online,
                       [&] { dm.SetFlag(kFuelOption, previousFuel != 0); });
}

ChangeResult ChangeFullGroup(TStreamDati& dm, int index, int previousFullGroup, const ChangeFrame& frame)
{
    if (index < 0 || index == previousFullGroup)
        return ChangeResult::Unchanged;
    if (!askYes(dm, kCarburationQuestion))
        return ChangeResult::Declined;
    if (!setOption(dm, kFullGroupOption, index != 0))
        return refuse(dm);
    plat::CurrentClock().sleep(kSettleMs);
    run(frame.beginWait);
    const bool online = dm.Protocol()->IsConnected();
    const int resource = CurrentDefaultResource(dm);
    const bool fullGroup = dm.GetFlag(kFullGroupOption) != 0;
    // Loaded first and written only when the whole set arrived.
    const bool loaded = dm.TransferData(fullGroup ? TStreamDati::TRANSFER_LOAD_RES2 : TStreamDati::TRANSFER_LOAD, {},
                                        resource, kInjectionGroup, 1, 0);
    const Reload reload = !loaded ? Reload::LoadFailed
                          : dm.TransferData(TStreamDati::TRANSFER_WRITE_ECU, {}, 0, kInjectionGroup, 1, 0)
                              ? Reload::Done
                              : Reload::WriteFailed;
    return afterReload(dm, frame, reload, online, [&] { dm.SetFlag(kFullGroupOption, previousFullGroup != 0); });
}

std::vector<int> OfferedInjectorTypes()
{
    std::vector<int> codes;
    for (int position = 0;; ++position) {
        const int code = qz::CustomerInjectorCode(position);
        if (code == 255)
            return codes;
        codes.push_back(code);
    }
}

int InjectorTypePosition(int code)
{
    const std::string_view name = qz::InjectorTypeName(code);
    const std::vector<int> offered = OfferedInjectorTypes();
    for (std::size_t i = 0; i < offered.size(); ++i)
        if (name == qz::InjectorTypeName(offered[i]))
            return static_cast<int>(i);
    return -1;
}

ChangeResult ChangeInjectorType(TStreamDati& dm, int index, int& previousInjectorType, const ChangeFrame& frame)
{
    const std::vector<int> offered = OfferedInjectorTypes();
    if (index < 0 || index >= static_cast<int>(offered.size()) || index == InjectorTypePosition(previousInjectorType))
        return ChangeResult::Unchanged;
    if (!askYes(dm, kInjectionQuestion))
        return ChangeResult::Declined;

    const int code = qz::InjectorTypeCode(qz::InjectorTypeName(offered[static_cast<std::size_t>(index)]));
    std::array<std::int32_t, 16> hardware{};
    const std::int32_t variant = dm.Protocol()->ReadItem(kHardwareItem, hardware.data()) ? hardware[0] : 0;
    if (variant == 1 && (code & 0x3F) != dm.GetTipoIniettore(0) && !askYes(dm, kInjectorMismatchQuestion))
        return ChangeResult::Declined;

    const int before = dm.GetTipoIniettore(1);
    if (!dm.SetTipoIniettore(1, code) || dm.GetTipoIniettore(1) != code)
        return refuse(dm);
    previousInjectorType = dm.GetTipoIniettore(1);
    plat::CurrentClock().sleep(kSettleMs);
    run(frame.beginWait);

    const bool online = dm.Protocol()->IsConnected();
    const std::int32_t offset = dm.GetOffsetPendenza(4);
    const std::int32_t slope = dm.GetOffsetPendenza(5);
    const Reload reload = reloadFuelGroup(dm, false);
    if (reload != Reload::LoadFailed && offset == kDiffOffset && slope == kDiffSlope) {
        dm.SetOffsetPendenza(2, kExtOffset);
        dm.SetOffsetPendenza(3, kExtSlope);
        dm.SetOffsetPendenza(4, kDiffOffset);
        dm.SetOffsetPendenza(5, kDiffSlope);
        dm.SetFlag(kPressureMeterOption, true);
        dm.SetFlag(kDifferentialOption, false);
    }
    return afterReload(dm, frame, reload, online, [&] {
        dm.SetTipoIniettore(1, before);
        previousInjectorType = dm.GetTipoIniettore(1);
    });
}

} // namespace cfgrules
