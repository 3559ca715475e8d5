#pragma once
// The window frame's sense of time: the local date and time the banner compares with its expiry, and
// the system tick count the idle timing starts from. Tests put a fixed clock in place.

#include <QDateTime>

#include <cstdint>

namespace vx {

class FrameClock {
public:
    virtual ~FrameClock() = default;
    virtual QDateTime now() const;            // local date and time
    virtual std::uint32_t tickMs() const;     // milliseconds since the system started, wrapping at 2^32
};

// The clock in use: the system's unless a test has put its own in place.
FrameClock& frameClock();
// Puts another clock in place (nullptr restores the system's); the caller keeps ownership.
void setFrameClock(FrameClock* clock);

} // namespace vx
