#pragma once
#include "plat/NotifyTarget.h"

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <cstdint>

namespace plat {

constexpr std::uint32_t WM_APP = 0x8000;
// Connection state or configuration changed; the event code is in LParam.
constexpr std::uint32_t WM_CONNECTIONEVENT = WM_APP + 400;
// Wait-form progress: LParam 0 = WParam is a percentage, else a step.
constexpr std::uint32_t WM_WAITPROGRESS = WM_APP + 401;

// A window message as a custom event. The event type is the message number,
// which lies inside the range Qt keeps for user events.
class MessageEvent final : public QEvent {
public:
    MessageEvent(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

    std::uint32_t message() const { return static_cast<std::uint32_t>(type()); }
    std::uintptr_t wParam() const { return wParam_; }
    std::intptr_t lParam() const { return lParam_; }
    std::intptr_t result() const { return result_; }
    void setResult(std::intptr_t r) { result_ = r; }
    // True when delivered by SendWindowMessage (synchronously), false when posted.
    bool wasSent() const { return sent_; }
    void markSent() { sent_ = true; }

    static bool isMessage(const QEvent* e, std::uint32_t message);

private:
    std::uintptr_t wParam_;
    std::intptr_t lParam_;
    std::intptr_t result_ = 0;
    bool sent_ = false;
};

// Queued delivery; thread-safe. A null target drops the message.
void PostWindowMessage(QObject* target, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
// Synchronous delivery on the calling thread; returns the handler's result.
std::intptr_t SendWindowMessage(QObject* target, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

// A NotifyTarget that delivers to a QObject; it stops delivering once the
// object is destroyed.
class ObjectNotifyTarget final : public NotifyTarget {
public:
    explicit ObjectNotifyTarget(QObject* target);
    void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t Send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    QObject* object() const { return target_.data(); }

private:
    QPointer<QObject> target_;
};

// "Every window of the application" for the parts that broadcast
// (the data module sends transfer progress to all of them).
class WindowList {
public:
    virtual ~WindowList() = default;
    virtual void sendToAll(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

// A process without windows: nothing to send to.
class NoWindows final : public WindowList {
public:
    void sendToAll(std::uint32_t, std::uintptr_t, std::intptr_t) override {}
};

} // namespace plat
