#include "plat/Messages.h"

#include <QCoreApplication>
#include <QThread>

namespace plat {

MessageEvent::MessageEvent(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
    : QEvent(static_cast<QEvent::Type>(message)), wParam_(wParam), lParam_(lParam)
{
}

bool MessageEvent::isMessage(const QEvent* e, std::uint32_t message)
{
    return e && static_cast<std::uint32_t>(e->type()) == message;
}

void PostWindowMessage(QObject* target, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (!target)
        return;
    QCoreApplication::postEvent(target, new MessageEvent(message, wParam, lParam));
}

std::intptr_t SendWindowMessage(QObject* target, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (!target)
        return 0;
    MessageEvent e(message, wParam, lParam);
    e.markSent();
    QCoreApplication::sendEvent(target, &e);
    return e.result();
}

ObjectNotifyTarget::ObjectNotifyTarget(QObject* target) : target_(target) {}

void ObjectNotifyTarget::Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    // QPointer is not safe to read across threads while the object dies; the
    // program destroys its windows only after the library is unloaded.
    PostWindowMessage(target_.data(), message, wParam, lParam);
}

std::intptr_t ObjectNotifyTarget::Send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    QObject* t = target_.data();
    if (!t)
        return 0;
    if (t->thread() != QThread::currentThread()) {
        PostWindowMessage(t, message, wParam, lParam);
        return 0;
    }
    return SendWindowMessage(t, message, wParam, lParam);
}

} // namespace plat
