#pragma once
// Exit codes shared by the first-paint hook and the start-up benchmark's driver: any other code means
// the process ended before it painted anything, and the run does not count.

namespace vx::bench {

constexpr int kPaintedExit = 87;
constexpr int kHookBroken = 86;

} // namespace vx::bench
