#include "app/FrameClock.h"

#include <QDeadlineTimer>

namespace vx {

namespace {
FrameClock* g_clock = nullptr;
} // namespace

QDateTime FrameClock::now() const { return QDateTime::currentDateTime(); }

std::uint32_t FrameClock::tickMs() const
{
    // The monotonic clock counts from the system's start, as the tick count does.
    return static_cast<std::uint32_t>(QDeadlineTimer::current().deadline());
}

FrameClock& frameClock()
{
    static FrameClock system;
    return g_clock ? *g_clock : system;
}

void setFrameClock(FrameClock* clock) { g_clock = clock; }

} // namespace vx
