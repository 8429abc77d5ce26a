#include "plat/SerialPortWatcher.h"

#include <QSerialPortInfo>

namespace plat {

QList<PortInfo> QtPortLister::ports()
{
    QList<PortInfo> out;
    for (const QSerialPortInfo& p : QSerialPortInfo::availablePorts()) {
        QString friendly = p.description();
        if (friendly.isEmpty())
            friendly = p.manufacturer();
        out.append({p.portName(), friendly});
    }
    return out;
}

bool AnyPortNamed(const QList<PortInfo>& ports, const QString& text)
{
    for (const PortInfo& p : ports)
        if (!p.friendlyName.isEmpty() && p.friendlyName.contains(text, Qt::CaseSensitive))
            return true;
    return false;
}

SerialPortWatcher::SerialPortWatcher(PortLister& lister, int intervalMs, QObject* parent)
    : QObject(parent), lister_(lister)
{
    timer_.setInterval(intervalMs);
    connect(&timer_, &QTimer::timeout, this, &SerialPortWatcher::check);
}

void SerialPortWatcher::start()
{
    current_ = lister_.ports();
    timer_.start();
}

void SerialPortWatcher::stop()
{
    timer_.stop();
}

void SerialPortWatcher::check()
{
    const QList<PortInfo> now = lister_.ports();
    const QList<PortInfo> before = current_;
    current_ = now;
    for (const PortInfo& p : now)
        if (!before.contains(p))
            emit portArrived(p);
    for (const PortInfo& p : before)
        if (!now.contains(p))
            emit portRemoved(p);
}

} // namespace plat
