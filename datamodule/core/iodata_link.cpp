// The poll step, the transfer progress, the reconnect and the ECU identity.
#include "iodata.h"

#include "complib/connection/VyxConnection.h"
#include "product/constants/BuildConstants.h"

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
std::uint32_t since(std::uint32_t start) { return plat::CurrentClock().tickCount() - start; }

struct ReentryGuard {
    bool& flag;
    explicit ReentryGuard(bool& f) : flag(f) { flag = true; }
    ~ReentryGuard() { flag = false; }
};

} // namespace

void TStreamLink::showDisconnectedBox(bool error)
{
    plat::CurrentPrompts().ask({QString::fromUtf8(qz::ProductTitle()),
                                self().MessageTexts[TStreamDati::MSG_DISCONNECTED] + QStringLiteral(" 2."),
                                error ? plat::PromptIcon::Error : plat::PromptIcon::Information,
                                plat::PromptButtons::Ok, 0});
}

void TStreamLink::TimerIOTimer(QObject* /*sender*/)
{
    // A message box of this step runs a nested event loop in which the timers
    // keep firing; those ticks find the step busy and return.
    if (self().inPollStep_)
        return;
    ReentryGuard guard(self().inPollStep_);

    if (!self().Protocol()->IsConnected())
        return;

    const bool idle = self().PollItem == dm::kIdentityCode;
    const auto read = [this, idle] {
        if (idle)
            return self().Protocol()->ReadItem(dm::kIdentityCode, self().Identity.data());
        // Always offer the whole block; the live length records what arrived.
        std::int32_t length = dm::kLiveFrameSize;
        const bool ok = self().Protocol()->ReadBlock(self().PollItem, self().LiveBlock.data(), &length);
        if (ok)
            self().LiveLength = std::clamp(length, 0, dm::kLiveFrameSize);
        return ok;
    };

    if (idle)
        self().PreviousIdentity = self().Identity;
    if (!read()) {
        self().Protocol()->BeginReconnect();
        const std::uint32_t start = plat::CurrentClock().tickCount();
        bool connected = self().Protocol()->Connect();
        while (!connected && since(start) < kPollReconnectMs) {
            plat::CurrentClock().sleep(kRetryPauseMs);
            connected = self().Protocol()->Connect();
        }
        self().Protocol()->EndReconnect();
        if (!connected) {
            showDisconnectedBox(true);
            return;
        }
        read();
    }

    if (idle) {
        self().IdentityChanged = self().Identity != self().PreviousIdentity ? 1 : 0;
        if (self().IdentityChanged && self().PreviousPollItem == dm::kIdentityCode) {
            // Another ECU answers: close the link, say so once, end the step.
            self().Protocol()->Disconnect();
            showDisconnectedBox(false);
            self().PreviousPollItem = self().PollItem;
            return;
        }
        CheckDiagnosticErrors();
    }

    std::int32_t w = 0;
    if (!self().Protocol()->ReadItem(dm::kStatusWordCode, &w) &&
        (self().Protocol()->GetLastStatus() & ~ECU_STATUS_NO_ITEM) != 0) {
        self().Protocol()->Disconnect();
        showDisconnectedBox(false);
    }
    self().post(static_cast<std::uintptr_t>(static_cast<std::uint32_t>(w)), 7);
    self().PreviousPollItem = self().PollItem;
}

void TStreamLink::AddProgress(std::int32_t code, std::uint32_t total, bool notify)
{
    self().TransferCount += static_cast<std::uint32_t>(dm::CodeBytes(code));
    if (!notify)
        return;
    const std::uint64_t percent = total ? std::uint64_t{self().TransferCount} * 100u / total : 0u;
    plat::CurrentServices().windows->sendToAll(plat::WM_WAITPROGRESS, static_cast<std::uintptr_t>(percent), 0);
}

// ---------------------------------------------------------------------------
// Identity

bool TStreamIdentity::ReadEcuIdentity()
{
    std::int32_t code = 0;
    self().Protocol()->ReadItem(dm::kCustomerCode, &code);
    self().CustomerCode = static_cast<std::uint32_t>(code);
    if (self().Protocol()->GetLastStatus() & ECU_STATUS_NO_ITEM)
        self().CustomerCode = 0x10000;
    return self().Protocol()->GetEcuInfo(&self().EcuInfo);
}

int TStreamIdentity::SetEcuType(std::uint8_t type)
{
    self().EcuInfo.EcuStatus = static_cast<std::uint8_t>(qz::CustomerId());
    self().CustomerCode = 0;
    self().EcuInfo.EcuType = type;
    self().EcuInfo.FirmwareMinor = 0;
    self().EcuInfo.FirmwareMajor = 0;
    int result = 0;
    for (std::int32_t code : {0x255, 0x23b, 0x23c, 0x4e, 0xb5, 0x2b6})
        result = self().SetValueByCode(code, 0);
    self().ItemB5Present = 0;
    return result;
}

void TStreamIdentity::WriteEcuType(std::uint8_t value)
{
    if (self().Protocol()->WriteValue(dm::kEcuStatusCode, value))
        self().EcuInfo.EcuStatus = value;
}

void TStreamIdentity::SetPers(std::uint32_t value)
{
    if (self().Protocol()->WriteValue(dm::kCustomerCode, static_cast<std::int32_t>(value)))
        self().CustomerCode = value;
}

// ---------------------------------------------------------------------------
// Reconnect

bool TStreamLink::Reconnect(int timeoutMs)
{
    self().Protocol()->Disconnect();
    const bool timerWasRunning = self().TimerIO->isActive();
    self().TimerIO->stop();
    plat::CurrentClock().sleep(kReconnectSettleMs);

    self().Protocol()->BeginReconnect();
    bool connected = self().Protocol()->Connect();
    if (!connected) {
        const std::uint32_t start = plat::CurrentClock().tickCount();
        const auto limit = static_cast<std::uint32_t>(std::max(0, timeoutMs));
        while (!connected && since(start) < limit) {
            plat::CurrentClock().sleep(kRetryPauseMs);
            connected = self().Protocol()->Connect();
        }
    }
    self().Protocol()->EndReconnect();

    const bool result = connected && WaitEcuReady(kReadyTimeoutMs);
    if (timerWasRunning)
        self().TimerIO->start();
    return result;
}

bool TStreamLink::WaitEcuReady(int timeoutMs)
{
    std::int32_t v = 0;
    self().Protocol()->ReadItem(dm::kReadyCode, &v);
    const std::uint32_t start = plat::CurrentClock().tickCount();
    const auto limit = static_cast<std::uint32_t>(std::max(0, timeoutMs));
    while (v != dm::kReadyValue) {
        if (since(start) >= limit)
            break;
        plat::CurrentClock().sleep(kRetryPauseMs);
        self().Protocol()->ReadItem(dm::kReadyCode, &v);
    }
    return v == dm::kReadyValue;
}
