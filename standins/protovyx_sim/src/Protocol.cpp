// The calls of the link and around the items: the port and the link's
// settings, GetEcuInfo, Connect and Disconnect, SendCommand (the commands,
// the auto-calibration's among them), ReadBlock (the live frame and the OBD
// blocks), DetectEcu and the state queries. The item calls are in Items.cpp,
// programming in Programming.cpp.
#include "SimulatorState.h"

#include "Autocal.h"
#include "EngineModel.h"

#include <algorithm>
#include <array>

namespace protovyx {

using detail::Call;
using detail::Guard;
using detail::kMalformed;
using detail::num;

// --- TEcuProtocol ------------------------------------------------------------

std::int32_t Simulator::GetComPort()
{
    Guard g(*s_);
    Call(*s_, Op::Other, "GetComPort", s_->port).note();
    return s_->port;
}

void Simulator::SetComPort(std::int32_t port)
{
    Guard g(*s_);
    Call(*s_, Op::Other, "SetComPort", port).note();
    s_->port = port;
}

void Simulator::SetLinkOptionA(std::int32_t value)
{
    Guard g(*s_);
    Call(*s_, Op::Other, "SetLinkOptionA", value).note();
    s_->linkOptions[0] = value;
}

void Simulator::SetLinkOptionB(std::int32_t value)
{
    Guard g(*s_);
    Call(*s_, Op::Other, "SetLinkOptionB", value).note();
    s_->linkOptions[1] = value;
}

void Simulator::SetLinkOptionC(std::int32_t value)
{
    Guard g(*s_);
    Call(*s_, Op::Other, "SetLinkOptionC", value).note();
    s_->linkOptions[2] = value;
}

void Simulator::Shutdown()
{
    Guard g(*s_);
    Call(*s_, Op::Other, "Shutdown", 0).note();
    s_->setOpen(false);
}

void Simulator::SetMessageCaption(const char* text)
{
    Guard g(*s_);
    Call(*s_, Op::Other, "SetMessageCaption", 0).note();
    s_->caption = text ? text : "";
}

void Simulator::SetMessageText(const char* text, std::int32_t index)
{
    Guard g(*s_);
    Call(*s_, Op::Other, "SetMessageText", index).note();
    s_->texts[index] = text ? text : "";
}

void Simulator::SetNotifyWindow(plat::NotifyTarget* window)
{
    Guard g(*s_);
    Call(*s_, Op::Other, "SetNotifyWindow", window ? 1 : 0).note();
    s_->notify = window;
}

void Simulator::BeginReconnect()
{
    Guard g(*s_);
    Call(*s_, Op::Other, "BeginReconnect", 0).note();
    s_->inReconnect = true;
}

void Simulator::EndReconnect()
{
    Guard g(*s_);
    Call(*s_, Op::Other, "EndReconnect", 0).note();
    s_->inReconnect = false;
}

void Simulator::Prepare()
{
    Guard g(*s_);
    Call(*s_, Op::Other, "Prepare", 0).note();
}

void Simulator::SetTimeout(std::int32_t ms)
{
    Guard g(*s_);
    Call(*s_, Op::Other, "SetTimeout", ms).note();
    s_->timeout = ms;
}

bool Simulator::GetEcuInfo(TEcuInfo* info)
{
    Guard g(*s_);
    State& s = *s_;
    Call c(s, Op::GetEcuInfo, "GetEcuInfo", 0);
    if (!s.open || !s.answering() || !s.spend(8)) {
        if (s.open && !s.answering())
            s.sleep(static_cast<std::uint32_t>(std::max(0, s.timeout)));
        return c.done(false, ECU_STATUS_LINK);
    }
    if (const FaultSpec* f = s.fault(c.r))
        return c.done(false, f->status);
    if (!info) {
        s.violation(c.r, "null record");
        return c.done(false, kMalformed);
    }
    TEcuInfo e{};
    e.EcuStatus = static_cast<std::uint8_t>(s.items[0x40] ? s.items[0x40]->values[0] : s.profile.model);
    if (s.bootMode) {
        e.EcuType = 3;
        e.BootEcuType = static_cast<std::uint8_t>(s.profile.type);
    } else {
        e.EcuType = static_cast<std::uint8_t>(s.profile.type);
    }
    e.FirmwareMinor = static_cast<std::uint8_t>(s.profile.fwMinor);
    e.FirmwareMajor = static_cast<std::uint8_t>(s.profile.fwMajor);
    *info = e;
    c.r.out = {e.EcuStatus, e.EcuType, e.FirmwareMinor, e.FirmwareMajor, e.BootEcuType};
    return c.done(true, 0);
}

bool Simulator::Connect()
{
    Guard g(*s_);
    State& s = *s_;
    Call c(s, Op::Connect, "Connect", s.port);
    if (s.lost) {
        // The adapter is gone: the port does not even open.
        return c.done(false, ECU_STATUS_LINK);
    }
    if (!s.appAnswering() || s.port != s.profile.port) {
        s.sleep(static_cast<std::uint32_t>(std::max(0, s.timeout)));
        return c.done(false, ECU_STATUS_LINK);
    }
    if (!s.spend(4))
        return c.done(false, ECU_STATUS_LINK);
    if (const FaultSpec* f = s.fault(c.r))
        return c.done(false, f->status);
    s.setOpen(true);
    return c.done(true, 0);
}

void Simulator::Disconnect()
{
    Guard g(*s_);
    Call(*s_, Op::Other, "Disconnect", 0).note();
    s_->setOpen(false);
}

bool Simulator::SendCommand(std::int32_t command, std::uint8_t* buffer, std::int32_t* length,
                            std::int32_t size)
{
    Guard g(*s_);
    State& s = *s_;
    Call c(s, Op::SendCommand, "SendCommand", command, length ? *length : -1, size);
    if (length && buffer)
        for (int i = 0; i < std::min(*length, size > 0 ? std::max(size, *length) : *length); ++i)
            c.r.in.push_back(buffer[i]);
    if (!s.open)
        return c.done(false, ECU_STATUS_LINK);
    if (!s.appAnswering() || !s.spend(length ? std::max(0, *length) : 0)) {
        if (!s.appAnswering())
            s.sleep(static_cast<std::uint32_t>(std::max(0, s.timeout)));
        return c.done(false, ECU_STATUS_LINK);
    }
    if (!length || *length < 0 || (*length > 0 && !buffer) || size < 0) {
        s.violation(c.r, "bad buffer or length");
        return c.done(false, kMalformed);
    }
    if (const FaultSpec* f = s.fault(c.r))
        return c.done(false, f->status);
    // The caller's buffer holds at least the bytes it sends and at least its
    // stated size; the reply may use the larger of the two.
    const int capacity = std::max(size, *length);

    std::vector<std::uint8_t> reply;
    bool known = true;
    bool answered = false;
    if (auto o = s.overrides.find(command); o != s.overrides.end()) {
        if (!o->second.ok || !o->second.reply)
            return c.done(false, ECU_STATUS_LINK);
        reply = *o->second.reply;
    } else {
        auto& kItem = s.items[0x54];
        const detail::AutocalContext ctx{&s.profile, s.now(), kItem ? &kItem->values : nullptr};
        switch (detail::autocalCommand(s.autocal, ctx, command, buffer, *length, reply)) {
        case detail::AutocalAnswer::Refused:
            return c.done(false, ECU_STATUS_LINK);
        case detail::AutocalAnswer::LinkLost:
            s.lost = true;
            s.setOpen(false);
            return c.done(false, ECU_STATUS_LINK);
        case detail::AutocalAnswer::Reply:
            answered = true;
            // An abort restarts the application, as the close of a finished one does.
            if (command == 0x15)
                s.startReboot();
            break;
        case detail::AutocalAnswer::NotMine:
            break;
        }
        switch (answered ? -1 : command) {
        case -1:
            break;
        case 0x04: // K-map size: columns, rows of the map (time axis + 1)
            reply = {static_cast<std::uint8_t>(s.profile.mapCols), static_cast<std::uint8_t>(s.profile.mapRows + 1)};
            break;
        case 0x11: // open the ECU for a save or write
            s.writeSession = true;
            reply = {0};
            break;
        case 0x12: // end of the write: the application restarts
            s.writeSession = false;
            reply = {0};
            s.startReboot();
            break;
        // Later commands (programming, diagnostics) go here.
        default:
            known = false;
            break;
        }
    }
    if (!known) {
        s.violation(c.r, "unknown command");
        return c.done(false, kMalformed);
    }
    if (static_cast<int>(reply.size()) > capacity) {
        s.violation(c.r, "reply of " + num(static_cast<long long>(reply.size())) + " bytes does not fit " + num(capacity));
        return c.done(false, kMalformed);
    }
    std::copy(reply.begin(), reply.end(), buffer);
    *length = static_cast<std::int32_t>(reply.size());
    c.r.out.assign(reply.begin(), reply.end());
    return c.done(true, 0);
}

bool Simulator::ReadBlock(std::int32_t block, std::uint8_t* buffer, std::int32_t* length)
{
    Guard g(*s_);
    State& s = *s_;
    Call c(s, Op::ReadBlock, "ReadBlock", block, length ? *length : -1);
    if (!s.open)
        return c.done(false, ECU_STATUS_LINK);
    if (!s.appAnswering() || !s.spend(s.frameLength)) {
        if (!s.appAnswering())
            s.sleep(static_cast<std::uint32_t>(std::max(0, s.timeout)));
        return c.done(false, ECU_STATUS_LINK);
    }
    if (!length || *length < 1 || !buffer) {
        s.violation(c.r, "bad buffer or capacity");
        return c.done(false, kMalformed);
    }
    const bool obd = (block == 8 || block == 9) && detail::answersObd(s.profile);
    if (block != 1 && !obd) {
        // Block 2 arrives with the window that reads it.
        return c.done(false, ECU_STATUS_NO_ITEM);
    }
    if (const FaultSpec* f = s.fault(c.r))
        return c.done(false, f->status);
    detail::EngineInputs in;
    in.elapsedMs = s.now() - s.keyOnMs;
    in.profile = &s.profile;
    if (obd) {
        std::array<std::uint8_t, 50> reply{};
        int size = 50;
        if (block == 8) {
            detail::buildObdBlock(in, reply);
        } else {
            std::array<std::uint8_t, 10> idle{};
            detail::buildObdIdleBlock(in, idle);
            std::copy(idle.begin(), idle.end(), reply.begin());
            size = 10;
        }
        const auto limit = s.blockReplyLength.find(block);
        const int n = std::min({*length, size, limit == s.blockReplyLength.end() ? size : limit->second});
        std::copy(reply.begin(), reply.begin() + n, buffer);
        *length = n;
        c.r.out.assign(reply.begin(), reply.begin() + n);
        return c.done(true, 0);
    }
    std::array<std::uint8_t, 50> frame{};
    auto lookup = [&](int n) -> const std::vector<std::int32_t>* {
        auto& it = s.items[static_cast<std::size_t>(n)];
        return it ? &it->values : nullptr;
    };
    in.kMap = lookup(0x54);
    in.timeAxis = lookup(0x37);
    in.rpmAxis = lookup(0x3d);
    detail::buildLiveFrame(in, frame);
    detail::autocalFrame(s.autocal, s.profile, s.now(), frame);
    const int n = std::min(*length, std::min(s.frameLength, 50));
    std::copy(frame.begin(), frame.begin() + n, buffer);
    *length = n;
    c.r.out.assign(frame.begin(), frame.begin() + n);
    return c.done(true, 0);
}

bool Simulator::DetectEcu(TBootInfo* info)
{
    Guard g(*s_);
    State& s = *s_;
    Call c(s, Op::DetectEcu, "DetectEcu", s.port);
    if (s.lost)
        return c.done(false, ECU_STATUS_LINK);
    if (!s.answering()) {
        s.sleep(static_cast<std::uint32_t>(std::max(0, s.timeout)));
        return c.done(false, ECU_STATUS_LINK);
    }
    if (!s.spend(6))
        return c.done(false, ECU_STATUS_LINK);
    if (const FaultSpec* f = s.fault(c.r))
        return c.done(false, f->status);
    // The scan finds the ECU on its port and stays there.
    s.port = s.profile.port;
    TBootInfo b{};
    if (s.bootMode) {
        b.BootId = 0x0300u | static_cast<std::uint32_t>(s.profile.model & 0xFF);
        b.BootExtra = static_cast<std::uint16_t>(s.profile.type);
    } else {
        b.BootId = (static_cast<std::uint32_t>(s.profile.type) << 8) | static_cast<std::uint32_t>(s.profile.model & 0xFF);
        b.BootExtra = 0;
    }
    if (info)
        *info = b;
    c.r.out = {static_cast<std::int32_t>(b.BootId), b.BootExtra};
    s.setOpen(true);
    return c.done(true, 0);
}

bool Simulator::IsApplicationRunning()
{
    Guard g(*s_);
    const bool running = s_->present && !s_->bootMode && !s_->isRebooting();
    Call c(*s_, Op::Other, "IsApplicationRunning", 0);
    c.r.result = running;
    c.note();
    return running;
}

bool Simulator::IsConnected()
{
    Guard g(*s_);
    Call c(*s_, Op::Other, "IsConnected", 0);
    c.r.result = s_->open;
    c.note();
    return s_->open;
}

std::int32_t Simulator::GetLastStatus()
{
    Guard g(*s_);
    return s_->lastStatus;
}

bool Simulator::IsWirelessAdapterPresent()
{
    Guard g(*s_);
    Call c(*s_, Op::Other, "IsWirelessAdapterPresent", 0);
    c.r.result = false;
    c.note();
    return false;
}

void Simulator::ShowWirelessAdapterDialog()
{
    Guard g(*s_);
    Call(*s_, Op::Other, "ShowWirelessAdapterDialog", 0).note();
}

} // namespace protovyx
