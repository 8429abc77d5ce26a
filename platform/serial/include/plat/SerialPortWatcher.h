#pragma once
// Serial ports appearing and disappearing (the system's device-change
// broadcast for ports), and the ports' descriptive names.
#include <QObject>
#include <QStringList>
#include <QTimer>

namespace plat {

struct PortInfo {
    QString name;         // "ttyUSB0", "COM3"
    QString friendlyName; // what the system shows for the device
    bool operator==(const PortInfo&) const = default;
};

// The ports present now.
class PortLister {
public:
    virtual ~PortLister() = default;
    virtual QList<PortInfo> ports() = 0;
};

// QSerialPortInfo: the friendly name is the description, or the
// manufacturer when the description is empty.
class QtPortLister final : public PortLister {
public:
    QList<PortInfo> ports() override;
};

// True when a port's friendly name contains the text (exact, case-sensitive).
bool AnyPortNamed(const QList<PortInfo>& ports, const QString& text);

// Compares the port list every interval and reports the differences: one
// portArrived per new port, one portRemoved per vanished port.
class SerialPortWatcher : public QObject {
    Q_OBJECT
public:
    explicit SerialPortWatcher(PortLister& lister, int intervalMs = 1500, QObject* parent = nullptr);
    void start();
    void stop();
    // One comparison now (the timer calls it).
    void check();
    const QList<PortInfo>& current() const { return current_; }

signals:
    void portArrived(const plat::PortInfo& port);
    void portRemoved(const plat::PortInfo& port);

private:
    PortLister& lister_;
    QTimer timer_;
    QList<PortInfo> current_;
};

} // namespace plat
