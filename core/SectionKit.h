#pragma once
// What the curved and the rounded-end ports share: one section rule for round ports (height 0) and
// slots of constant height, the slot's end correction through GetK, and the acoustic-mass target,
// refused with a warning when the held inputs give it no finite positive value (so that no solver runs
// without an end or into values of no meaning).

#include "BranchKit.h"
#include "Calc.h"
#include "Numbers.h"

#include <optional>
#include <string>
#include <string_view>

namespace vx::sections {

// Cross-section of a round port of diameter `size` (height 0) or a slot `size` wide, `height` high.
inline long double area(long double size, long double height)
{
    return height > 0 ? size * height : kPi * size * size / 4.0L;
}

// Slot end correction of both ends together, W x H with both sides > 0: the round rule 1/(0.958 D) at
// the diameter of equal area.
inline long double slotCorrection(long double w, long double h)
{
    return kPi * GetK(w, h) / ((w + h) * 1.916L);
}

inline constexpr std::string_view kNoTargetMessage =
    "Настройка порта не имеет решения: проверьте частоту настройки, объём ящика и скорость звука.";

inline std::optional<long double> portTarget(Calc& calc)
{
    const long double target = calc.MassTarget();
    if (kit::usable(target))
        return target;
    kit::refuse(calc.form(), "EditFb", std::string(kNoTargetMessage));
    return std::nullopt;
}

} // namespace vx::sections
