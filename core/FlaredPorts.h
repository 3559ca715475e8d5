#pragma once
// Ports with rounded ends: a straight part of constant section between two mouths whose walls turn
// outwards along quarter circles (radius r1 at the outlet end, r2 at the other). The solvers find the
// straight length at which the port meets the acoustic-mass target.

#include <optional>

namespace vx {

class Calc;

struct RoundedEndsFit {
    double length = 0; // m, straight part (negative when the roundings alone pass the target)
    double outlet = 0; // m, size at the r1 mouth: size + 2 r1
    double volume = 0; // m³, one port, straight part and roundings
};

// A round tube (height 0) of diameter `size`, or a slot of width `size` and the given height whose
// width alone is rounded; radii of 0 or less add no rounding. Nothing when a section has no value
// (size or height not positive, a mouth of no width).
std::optional<RoundedEndsFit> fitRoundedEnds(long double target, double size, double height, double r1,
                                             double r2);

// The straight length of the rounded tube, m; leaves D2 and Vtot. Nothing when a size has no value.
std::optional<double> GetLFT(Calc& calc, double D1, double R1, double R2);

// The straight length of the rounded slot, m; leaves Vtot. Nothing when a size has no value.
std::optional<double> GetLFB(Calc& calc, double W, double H, double R1, double R2);

} // namespace vx
