#include "plat/Clock.h"

#include <QDateTime>
#include <QThread>

namespace plat {

SystemClock::SystemClock() : start_(QDateTime::currentMSecsSinceEpoch()) {}

std::uint32_t SystemClock::tickCount()
{
    // A steady clock would be better, but QElapsedTimer is per object; the
    // epoch difference is monotonic enough for waits of seconds.
    return static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch() - start_);
}

void SystemClock::sleep(std::uint32_t ms)
{
    QThread::msleep(ms);
}

QDate SystemClock::today()
{
    return QDate::currentDate();
}

} // namespace plat
