#pragma once
// A clock for widget tests that stands still where the test puts it.

#include "app/FrameClock.h"

namespace vx::test {

class FixedClock : public FrameClock {
public:
    QDateTime at;
    std::uint32_t tick = 0;

    FixedClock() { setFrameClock(this); }
    ~FixedClock() override { setFrameClock(nullptr); }

    QDateTime now() const override { return at; }
    std::uint32_t tickMs() const override { return tick; }
};

} // namespace vx::test
