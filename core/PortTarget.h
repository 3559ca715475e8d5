#pragma once
// The acoustic-mass target as the curved and rounded-end ports take it: refused with a warning when the
// held inputs give it no finite positive value, so that no solver runs without an end or into values
// of no meaning.

#include "BranchKit.h"
#include "Calc.h"

#include <optional>
#include <string>
#include <string_view>

namespace vx {

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

} // namespace vx
