#pragma once
// Ports whose wall follows a curve: the narrowest section (the throat) lies in the middle and the port
// widens along the profile towards both mouths. The solvers look for the throat at which the port,
// its end correction included, meets the acoustic-mass target.

#include "CalcState.h"

#include <optional>

namespace vx {

class Calc;

// Widening of the full size (diameter or slot width) at the distance x from the throat of a port whose
// half length is `half`, for the profile factor k (the multiplier / 100). Metres.
long double curveWidening(CurveFunc func, long double k, long double half, long double x);

struct ThroatFit {
    bool found = false; // false: no throat meets the target (the search gave up)
    int passes = 0;     // trial throats tried
    double throat = 0;  // m
    double outlet = 0;  // m, size at the mouths
    double volume = 0;  // m³, one port
};

// The throat search for a round port (height 0) or a slot of the given height, total length `length`
// (m), acoustic-mass target `target` (1/m) of one port.
ThroatFit fitCurvedThroat(long double target, double length, double height, double k, CurveFunc func);

// The curved round port of length L (m): the throat diameter, or nothing when no throat meets the
// target. Leaves D2 and Vtot. A multiplier below 10 is raised tenfold in its editor first.
std::optional<double> GetDCCC(Calc& calc, double L);

// The curved slot of length L and height H (m): the throat width, or nothing. Leaves W2 and Vtot.
std::optional<double> GetWCFC(Calc& calc, double L, double H);

} // namespace vx
