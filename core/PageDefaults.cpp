#include "PageDefaults.h"

#include "Numbers.h"
#include "Shapes.h"

#include <cmath>

namespace vx {

namespace {

constexpr long double kTubeConeRatio = 1.2599210498948731647L;   // 2^(1/3): straight part of the tube-cones
constexpr long double kSlotAspect = 1.2599210498948731647L;      // 2^(1/3): slot proportion of pages 5 to 7
constexpr long double kHourglassAspect = 1.7320508075688772935L; // √3: the slot hourglass
constexpr long double kSqrt2 = 1.4142135623730950488L;
constexpr double kCurvedLengthMm = 100;
constexpr double kCurvedHeightMm = 10;

bool missing(double v)
{
    return !(v > 0);
}

PageDefaults noMinimumDiameter(bool marks)
{
    return {marks, false};
}

// Pages 2 to 4: a throat diameter, on the tube-cones a straight part, and the wall angle.
PageDefaults roundFlare(CalcState& s, std::optional<long double> minDiameter, int shape, double& d1, double* l1)
{
    double& angle = s.*shapeRow(shape).angle;
    const bool marks = missing(d1) || missing(angle) || (l1 && missing(*l1));
    if (missing(d1)) {
        if (!minDiameter)
            return noMinimumDiameter(marks);
        d1 = static_cast<double>(*minDiameter);
    }
    if (l1 && missing(*l1))
        *l1 = static_cast<double>(kTubeConeRatio * d1);
    if (missing(angle))
        angle = shapeRow(shape).wallAngle;
    return {marks, true};
}

// The slot pages take the area of all ports together, in proportion k (mm from m²).
double slotWidth(const CalcState& s, long double k)
{
    return static_cast<double>(std::sqrt(s.Smin * k) * 1000);
}

// Pages 5 and 6: width and height from the area. A missing wedge angle alone does not mark the project.
PageDefaults slot(CalcState& s, double& width, double& height, int shape)
{
    const long double k = kSlotAspect;
    s.AspectK = static_cast<double>(k);
    const bool marks = missing(width) || missing(height);
    if (missing(width))
        width = slotWidth(s, k);
    if (missing(height))
        height = static_cast<double>(width / k);
    if (double CalcState::*angle = shapeRow(shape).angle; angle && missing(s.*angle))
        s.*angle = shapeRow(shape).wallAngle;
    return {marks, true};
}

// Pages 7 and 8: width, height, straight part and angle, all from the area in proportion k.
PageDefaults slotFlare(CalcState& s, long double k, double& w1, double& h, double& l1, int shape)
{
    double& a = s.*shapeRow(shape).angle;
    s.AspectK = static_cast<double>(k);
    const bool marks = missing(w1) || missing(h) || missing(a) || missing(l1);
    if (missing(w1))
        w1 = slotWidth(s, k);
    if (missing(h))
        h = static_cast<double>(w1 / k);
    if (missing(l1))
        l1 = static_cast<double>(w1 * k);
    if (missing(a))
        a = shapeRow(shape).wallAngle;
    return {marks, true};
}

// A stored multiplier below 10 is in tenths (3 means 30).
void multiplierInPercent(int& div)
{
    if (div < 10)
        div *= 10;
}

// Pages 11 and 12: whole millimetres, the width being the minimum diameter over `divisor`.
PageDefaults rounded(double& width, double* height, double& r1, double& r2, long double divisor,
                     std::optional<long double> minDiameter)
{
    const bool marks = missing(width) || (height && missing(*height)) || r1 < 0 || r2 < 0;
    if (missing(width) && !minDiameter)
        return noMinimumDiameter(marks);
    const RoundedEnds ends =
        roundedEndDefaults({width, r1, r2}, minDiameter ? *minDiameter / divisor : 0.0L, Rounding::Whole);
    width = ends.size;
    if (height && missing(*height))
        *height = width;
    r1 = ends.r1;
    r2 = ends.r2;
    return {marks, true};
}

} // namespace

std::string shownText(double value, Shown how, char sep)
{
    return how == Shown::Cents ? formatRounded(value, 2, sep) : formatFloat(value, sep);
}

RoundedEnds roundedEndDefaults(RoundedEnds given, long double sizeDefault, Rounding how)
{
    const auto shown = [how](long double v) {
        return static_cast<double>(how == Rounding::Whole ? static_cast<long double>(Round(v)) : v);
    };
    RoundedEnds ends = given;
    if (missing(ends.size))
        ends.size = shown(sizeDefault);
    if (ends.r1 < 0)
        ends.r1 = shown(ends.size / 4.0L);
    if (ends.r2 < 0)
        ends.r2 = shown(ends.r1);
    return ends;
}

PageDefaults defaultsTub(CalcState& s, std::optional<long double> minDiameterMm)
{
    if (!missing(s.TubD))
        return {};
    if (!minDiameterMm)
        return noMinimumDiameter(true);
    s.TubD = static_cast<double>(*minDiameterMm);
    return {true, true};
}

PageDefaults defaultsCone(CalcState& s, std::optional<long double> minDiameterMm)
{
    return roundFlare(s, minDiameterMm, CONE, s.ConD1, nullptr);
}

PageDefaults defaultsTubCone(CalcState& s, std::optional<long double> minDiameterMm)
{
    return roundFlare(s, minDiameterMm, TUBCONE, s.TubConD1, &s.TubConL1);
}

PageDefaults defaultsConeTubCone(CalcState& s, std::optional<long double> minDiameterMm)
{
    return roundFlare(s, minDiameterMm, CONETUBCONE, s.ConTubConD1, &s.ConTubConL1);
}

PageDefaults defaultsBox(CalcState& s, std::optional<long double>)
{
    return slot(s, s.BoxW, s.BoxH, BOX);
}

PageDefaults defaultsPrism(CalcState& s, std::optional<long double>)
{
    return slot(s, s.PriW1, s.PriH, PRISM);
}

PageDefaults defaultsBoxPrism(CalcState& s, std::optional<long double>)
{
    return slotFlare(s, kSlotAspect, s.BoxPriW1, s.BoxPriH, s.BoxPriL1, BOXPRISM);
}

PageDefaults defaultsPrismBoxPrism(CalcState& s, std::optional<long double>)
{
    return slotFlare(s, kHourglassAspect, s.PriBoxPriW1, s.PriBoxPriH, s.PriBoxPriL1, PRISMBOXPRISM);
}

PageDefaults defaultsCurveCone(CalcState& s, std::optional<long double>)
{
    const bool marks = missing(s.CurveConL);
    if (marks)
        s.CurveConL = kCurvedLengthMm;
    multiplierInPercent(s.CurveConDiv);
    return {marks, true};
}

PageDefaults defaultsCurveFlat(CalcState& s, std::optional<long double>)
{
    const bool marks = missing(s.CurveFlatL) || missing(s.CurveFlatH);
    if (missing(s.CurveFlatL))
        s.CurveFlatL = kCurvedLengthMm;
    if (missing(s.CurveFlatH))
        s.CurveFlatH = kCurvedHeightMm;
    multiplierInPercent(s.CurveFlatDiv);
    return {marks, true};
}

PageDefaults defaultsFlareTube(CalcState& s, std::optional<long double> minDiameterMm)
{
    return rounded(s.FlaTubD, nullptr, s.FlaTubR1, s.FlaTubR2, 1.0L, minDiameterMm);
}

PageDefaults defaultsFlareFlat(CalcState& s, std::optional<long double> minDiameterMm)
{
    return rounded(s.FlaBoxW, &s.FlaBoxH, s.FlaBoxR1, s.FlaBoxR2, kSqrt2, minDiameterMm);
}

} // namespace vx
