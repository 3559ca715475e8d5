// Ports with rounded ends: the round tube (FLARETUBE) and the slot of constant height (FLAREFLAT). Each
// rounding is cut into 100 slices; the straight part makes up what the roundings and the end
// correction leave of the acoustic-mass target.
#include "FlaredPorts.h"

#include "BranchKit.h"
#include "Branches.h"
#include "Calc.h"
#include "PageDefaults.h"
#include "SectionKit.h"
#include "Shapes.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

namespace vx {

namespace {

constexpr int kRoundingSlices = 100;

// End correction of both ends together, taken at the r1 mouth.
long double mouthCorrection(long double mouth, long double height)
{
    if (height > 0)
        return sections::slotCorrection(mouth, height);
    return 1.0L / (0.958L * mouth);
}

// Offset of the wall from the straight part at the far face x of a slice: the outlet rounding grows
// from 0 at the straight part to R at the mouth; the other one falls from R at its mouth to 0.
long double wallOffset(long double R, long double x, bool outletEnd)
{
    const long double underRoot = outletEnd ? R * R - x * x : (2.0L * R - x) * x;
    return R - std::sqrt(std::max(0.0L, underRoot));
}

struct SliceSums {
    long double mass = 0;   // sum of dx / S
    long double volume = 0; // m³
};

// Adds one rounding of radius R. A slice's size is the straight size plus the offsets of its two faces
// (twice their mean), the face before the first slice counting as 0 for both roundings.
void addRounding(SliceSums& sums, long double size, long double height, long double R, bool outletEnd)
{
    if (!(R > 0))
        return;
    const long double dx = R / kRoundingSlices;
    long double previous = 0;
    for (int i = 1; i <= kRoundingSlices; ++i) {
        const long double offset = wallOffset(R, i * dx, outletEnd);
        const long double area = sections::area(size + offset + previous, height);
        sums.mass += dx / area;
        sums.volume += dx * area;
        previous = offset;
    }
}

// The rounded-end pages: D (or W, H), r1, r2, and the straight length shown.
struct RoundedPage {
    Field size;
    Field height; // empty on the round page
    Field r1;
    Field r2;
    Field lengthField;
};

// The length field is the shape's result field (Shapes.h).
constexpr RoundedPage kTubePage{"EditFlaTubD", "", "EditFlaTubR1", "EditFlaTubR2", shapeRow(FLARETUBE).results[0]};
constexpr RoundedPage kSlotPage{"EditFlaBoxW", "EditFlaBoxH", "EditFlaBoxR1", "EditFlaBoxR2",
                                shapeRow(FLAREFLAT).results[0]};

// The common end of both branches: the straight length shown and the sections for the result block.
bool finishRounded(Calc& calc, const RoundedPage& page, double length, double size, double height, double outlet)
{
    CalcState& s = calc.state();
    kit::showMm(calc.form(), page.lengthField, length);
    s.SInTotal = static_cast<double>(sections::area(size, height) * s.Np);
    s.SOutTotal = static_cast<double>(sections::area(outlet, height) * s.Np);
    calc.Lorf = kit::metresToMm(length);
    return true;
}

} // namespace

std::optional<RoundedEndsFit> fitRoundedEnds(long double target, double size, double height, double r1, double r2)
{
    const long double mouth = static_cast<long double>(size) + 2.0L * static_cast<long double>(r1);
    if (!kit::usable(size) || !(height >= 0) || !std::isfinite(height) || !kit::usable(mouth)
        || !std::isfinite(r1) || !std::isfinite(r2) || !std::isfinite(target))
        return std::nullopt;

    SliceSums sums;
    addRounding(sums, size, height, r1, true);
    addRounding(sums, size, height, r2, false);
    const long double straightArea = sections::area(size, height);
    const long double length = (target - sums.mass - mouthCorrection(mouth, height)) * straightArea;

    RoundedEndsFit fit;
    fit.length = static_cast<double>(length);
    fit.outlet = static_cast<double>(mouth);
    fit.volume = static_cast<double>(length * straightArea + sums.volume);
    return fit;
}

std::optional<double> GetLFT(Calc& calc, double D1, double R1, double R2)
{
    CalcState& s = calc.state();
    const auto fit = fitRoundedEnds(calc.MassTarget(), D1, 0.0, R1, R2);
    if (!fit)
        return std::nullopt;
    s.D2 = fit->outlet;
    s.Vtot = static_cast<double>(static_cast<long double>(fit->volume) * 1000.0L * s.Np);
    return fit->length;
}

std::optional<double> GetLFB(Calc& calc, double W, double H, double R1, double R2)
{
    if (!(H > 0))
        return std::nullopt;
    CalcState& s = calc.state();
    const auto fit = fitRoundedEnds(calc.MassTarget(), W, H, R1, R2);
    if (!fit)
        return std::nullopt;
    s.Vtot = static_cast<double>(static_cast<long double>(fit->volume) * 1000.0L * s.Np);
    return fit->length;
}

bool branchFlareTube(Calc& calc)
{
    Form& form = calc.form();
    const RoundedPage& page = kTubePage;
    form.setText(page.lengthField, "");

    // The minimum diameter as the boundary group shows it for a missing diameter (an empty group gives
    // no default), radii by the rule the page uses too, here unrounded; each default written back.
    const RoundedEnds given{kit::readMm(form, page.size), kit::readMm(form, page.r1), kit::readMm(form, page.r2)};
    const RoundedEnds ends = roundedEndDefaults(given, kit::shownMinDiameter(form), Rounding::Exact);
    const double d = ends.size, r1 = ends.r1, r2 = ends.r2;
    if (kit::missing(given.size)) {
        if (!kit::usable(d))
            return kit::refuse(form, page.size, std::string(kBadDiameter));
        kit::writeMm(form, page.size, d);
    }
    if (given.r1 < 0)
        kit::writeMm(form, page.r1, r1);
    if (given.r2 < 0)
        kit::writeMm(form, page.r2, r2);

    if (!sections::portTarget(calc))
        return false;
    const auto length = GetLFT(calc, d, r1, r2);
    if (!length)
        return kit::refuse(form, page.size, std::string(kBadDiameter));
    return finishRounded(calc, page, *length, d, 0.0, calc.state().D2);
}

bool branchFlareFlat(Calc& calc)
{
    Form& form = calc.form();
    CalcState& s = calc.state();
    const RoundedPage& page = kSlotPage;
    form.setText(page.lengthField, "");

    double w = kit::readMm(form, page.size);
    double h = kit::readMm(form, page.height);
    const double r1 = kit::readMm(form, page.r1);
    const double r2 = kit::readMm(form, page.r2);
    // A 2:1 slot with the area of a circle of the minimum diameter, then the height of the minimum area.
    w = kit::fillMm(form, page.size, w, static_cast<double>(std::sqrt(kPi / 2.0L) * s.Dpmin));
    if (!kit::usable(w))
        return kit::refuse(form, page.size, std::string(kBadWidth));
    h = kit::fillShownMm(form, page.height, h, static_cast<double>(s.Smin / static_cast<long double>(w)));
    if (!kit::usable(h))
        return kit::refuse(form, page.height, std::string(kBadHeight));
    s.FlaBoxW = kit::metresToMm(w);
    s.FlaBoxH = kit::metresToMm(h);

    // A negative r1 narrows the mouth; at no width left the end correction has no value.
    if (!(static_cast<long double>(w) + 2.0L * r1 > 0))
        return kit::refuse(form, page.r1, std::string(kBadRadius));

    if (!sections::portTarget(calc))
        return false;
    const auto length = GetLFB(calc, w, h, r1, r2);
    if (!length)
        return kit::refuse(form, page.size, std::string(kBadWidth));
    return finishRounded(calc, page, *length, w, h, static_cast<double>(w + 2.0L * r1));
}

} // namespace vx
