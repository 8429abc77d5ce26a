#pragma once
#include <QDate>
#include <cstdint>

namespace plat {

// Tick count, Sleep and today's date. The program waits for the ECU in loops
// of sleeps and tick counts; tests replace the clock with virtual time.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start; wraps like a 32-bit tick count.
    virtual std::uint32_t tickCount() = 0;
    virtual void sleep(std::uint32_t ms) = 0;
    virtual QDate today() = 0;
};

// QElapsedTimer and QThread::msleep.
class SystemClock final : public Clock {
public:
    SystemClock();
    std::uint32_t tickCount() override;
    void sleep(std::uint32_t ms) override;
    QDate today() override;

private:
    qint64 start_;
};

} // namespace plat
