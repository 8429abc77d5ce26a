// The poll step, the transfer progress, the reconnect and the ECU identity.
#include "iodata.h"

#include "BuildConstants.h"
#include "VyxConnection.h"

#include "plat/Messages.h"
#include "plat/Services.h"

#include <QTimer>
#include <algorithm>

namespace {

constexpr std::uint32_t kPollReconnectMs = 4000;
constexpr std::uint32_t kRetryPauseMs = 500;
constexpr std::uint32_t kReconnectSettleMs = 800;
constexpr int kReadyTimeoutMs = 30000;

// Milliseconds since `start` on the wrapping tick count.
std::uint32_t since(std::uint32_t start) { return plat::clock().tickCount() - start; }

struct ReentryGuard {
    bool& flag;
    explicit ReentryGuard(bool& f) : flag(f) { flag = true; }
    ~ReentryGuard() { flag = false; }
};

} // namespace

void TStreamDati::showDisconnectedBox(bool error)
{
    plat::prompts().ask({QString::fromUtf8(qz::ProductTitle()), MessageTexts[MSG_DISCONNECTED] + QStringLiteral(" 2."),
                         error ? plat::PromptIcon::Error : plat::PromptIcon::Information, plat::PromptButtons::Ok, 0});
}

void TStreamDati::TimerIOTimer(QObject* /*sender*/)
{
    // A message box of this step runs a nested event loop in which the timers
    // keep firing; those ticks find the step busy and return.
    if (inPollStep_)
        return;
    ReentryGuard guard(inPollStep_);

    if (!Protocol()->IsConnected())
        return;

    const bool idle = PollItem == dm::kIdentityCode;
    const auto read = [this, idle] {
        if (idle)
            return Protocol()->ReadItem(dm::kIdentityCode, Identity.data());
        // Always offer the whole block; the live length records what arrived.
        std::int32_t length = dm::kLiveFrameSize;
        const bool ok = Protocol()->ReadBlock(PollItem, LiveBlock.data(), &length);
        if (ok)
            LiveLength = std::clamp(length, 0, dm::kLiveFrameSize);
        return ok;
    };

    if (idle)
        PreviousIdentity = Identity;
    if (!read()) {
        Protocol()->BeginReconnect();
        const std::uint32_t start = plat::clock().tickCount();
        bool connected = Protocol()->Connect();
        while (!connected && since(start) < kPollReconnectMs) {
            plat::clock().sleep(kRetryPauseMs);
            connected = Protocol()->Connect();
        }
        Protocol()->EndReconnect();
        if (!connected) {
            showDisconnectedBox(true);
            return;
        }
        read();
    }

    if (idle) {
        IdentityChanged = Identity != PreviousIdentity ? 1 : 0;
        if (IdentityChanged && PreviousPollItem == dm::kIdentityCode) {
            // Another ECU answers: close the link, say so once, end the step.
            Protocol()->Disconnect();
            showDisconnectedBox(false);
            PreviousPollItem = PollItem;
            return;
        }
        CheckDiagnosticErrors();
    }

    std::int32_t w = 0;
    if (!Protocol()->ReadItem(dm::kStatusWordCode, &w) && (Protocol()->GetLastStatus() & ~ECU_STATUS_NO_ITEM) != 0) {
        Protocol()->Disconnect();
        showDisconnectedBox(false);
    }
    post(static_cast<std::uintptr_t>(static_cast<std::uint32_t>(w)), 7);
    PreviousPollItem = PollItem;
}

void TStreamDati::AddProgress(std::int32_t code, std::uint32_t total, bool notify)
{
    TransferCount += static_cast<std::uint32_t>(dm::CodeBytes(code));
    if (!notify)
        return;
    const std::uint64_t percent = total ? std::uint64_t{TransferCount} * 100u / total : 0u;
    plat::services().windows->sendToAll(plat::WM_WAITPROGRESS, static_cast<std::uintptr_t>(percent), 0);
}

// ---------------------------------------------------------------------------
// Identity

bool TStreamDati::ReadEcuIdentity()
{
    std::int32_t code = 0;
    Protocol()->ReadItem(dm::kCustomerCode, &code);
    CustomerCode = static_cast<std::uint32_t>(code);
    if (Protocol()->GetLastStatus() & ECU_STATUS_NO_ITEM)
        CustomerCode = 0x10000;
    return Protocol()->GetEcuInfo(&EcuInfo);
}

int TStreamDati::SetEcuType(std::uint8_t type)
{
    EcuInfo.EcuStatus = static_cast<std::uint8_t>(qz::CustomerId());
    CustomerCode = 0;
    EcuInfo.EcuType = type;
    EcuInfo.FirmwareMinor = 0;
    EcuInfo.FirmwareMajor = 0;
    int result = 0;
    for (std::int32_t code : {0x255, 0x23b, 0x23c, 0x4e, 0xb5, 0x2b6})
        result = SetValueByCode(code, 0);
    ItemB5Present = 0;
    return result;
}

void TStreamDati::WriteEcuType(std::uint8_t value)
{
    if (Protocol()->WriteValue(dm::kEcuStatusCode, value))
        EcuInfo.EcuStatus = value;
}

void TStreamDati::SetPers(std::uint32_t value)
{
    if (Protocol()->WriteValue(dm::kCustomerCode, static_cast<std::int32_t>(value)))
        CustomerCode = value;
}

// ---------------------------------------------------------------------------
// Reconnect

bool TStreamDati::Reconnect(int timeoutMs)
{
    Protocol()->Disconnect();
    const bool timerWasRunning = TimerIO->isActive();
    TimerIO->stop();
    plat::clock().sleep(kReconnectSettleMs);

    Protocol()->BeginReconnect();
    bool connected = Protocol()->Connect();
    if (!connected) {
        const std::uint32_t start = plat::clock().tickCount();
        const auto limit = static_cast<std::uint32_t>(std::max(0, timeoutMs));
        while (!connected && since(start) < limit) {
            plat::clock().sleep(kRetryPauseMs);
            connected = Protocol()->Connect();
        }
    }
    Protocol()->EndReconnect();

    const bool result = connected && WaitEcuReady(kReadyTimeoutMs);
    if (timerWasRunning)
        TimerIO->start();
    return result;
}

bool TStreamDati::WaitEcuReady(int timeoutMs)
{
    std::int32_t v = 0;
    Protocol()->ReadItem(dm::kReadyCode, &v);
    const std::uint32_t start = plat::clock().tickCount();
    const auto limit = static_cast<std::uint32_t>(std::max(0, timeoutMs));
    while (v != dm::kReadyValue) {
        if (since(start) >= limit)
            break;
        plat::clock().sleep(kRetryPauseMs);
        Protocol()->ReadItem(dm::kReadyCode, &v);
    }
    return v == dm::kReadyValue;
}
