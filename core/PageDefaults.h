#pragma once
// The default sizes of the shape pages. When a page is shown, every missing dimension of its shape
// takes a default made from the boundary values, a later default from the value an earlier one has
// just given. Plain arithmetic on the calculation state: the page handlers of the main window call the
// rule of the page's shape (ShapeRow::defaults), then show the sizes and compute.
//
// A size is missing when it is not greater than 0; a radius of a rounded end only when it is below 0,
// since a radius of 0 is a sharp edge.

#include "CalcState.h"

#include <optional>
#include <string>

namespace vx {

struct PageDefaults {
    bool marksModified = false; // a dimension was missing: the project has changed
    // False when a default needed the minimum diameter and there was none to take; nothing was filled.
    bool complete = true;
};

// `minDiameterMm` is the minimum port diameter as its field shows it (millimetres, two decimals), or
// nothing when that text is no number.
using PageDefaultsRule = PageDefaults (*)(CalcState& s, std::optional<long double> minDiameterMm);

PageDefaults defaultsTub(CalcState& s, std::optional<long double> minDiameterMm);
PageDefaults defaultsCone(CalcState& s, std::optional<long double> minDiameterMm);
PageDefaults defaultsTubCone(CalcState& s, std::optional<long double> minDiameterMm);
PageDefaults defaultsConeTubCone(CalcState& s, std::optional<long double> minDiameterMm);
PageDefaults defaultsBox(CalcState& s, std::optional<long double> minDiameterMm);
PageDefaults defaultsPrism(CalcState& s, std::optional<long double> minDiameterMm);
PageDefaults defaultsBoxPrism(CalcState& s, std::optional<long double> minDiameterMm);
PageDefaults defaultsPrismBoxPrism(CalcState& s, std::optional<long double> minDiameterMm);
PageDefaults defaultsCurveCone(CalcState& s, std::optional<long double> minDiameterMm);
PageDefaults defaultsCurveFlat(CalcState& s, std::optional<long double> minDiameterMm);
PageDefaults defaultsFlareTube(CalcState& s, std::optional<long double> minDiameterMm);
PageDefaults defaultsFlareFlat(CalcState& s, std::optional<long double> minDiameterMm);

// How a page shows a size: unrounded, or rounded half to even to 0.01.
enum class Shown { Plain, Cents };

// The text of a size as its page shows it, with the decimal separator `sep`.
std::string shownText(double value, Shown how, char sep);

// The sizes of a port with rounded ends: the straight part's diameter (or slot width) and the two
// rounding radii, in one unit.
struct RoundedEnds {
    double size = 0, r1 = 0, r2 = 0;
};

// How the rounded-end defaults come out: exact (the geometry branch, in metres) or in whole units (the
// page, in whole millimetres, halves to even).
enum class Rounding { Exact, Whole };

// The one rule of the rounded-end defaults: a missing size takes `sizeDefault`, a missing r1 a quarter
// of the size, a missing r2 the value of r1.
RoundedEnds roundedEndDefaults(RoundedEnds given, long double sizeDefault, Rounding how);

} // namespace vx
