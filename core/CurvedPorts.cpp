// Curved-profile ports: the round port (CURVECONE) and the slot of constant height (CURVEFLAT). Both
// are symmetric about their throat in the middle; the throat is searched until the port meets the
// acoustic-mass target within ±0.1 %.
#include "CurvedPorts.h"

#include "BranchKit.h"
#include "Branches.h"
#include "Calc.h"
#include "CurvePages.h"
#include "SectionKit.h"
#include "Shapes.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <string>
#include <string_view>

namespace vx {

namespace {

constexpr int kHalfSlices = 100;          // each half of the port, counted twice
constexpr long double kFirstStep = 0.1L;  // m: the first trial throat is 100 mm
constexpr long double kBandLow = 0.999L;  // a trial is the throat when the port's total lies within
constexpr long double kBandHigh = 1.001L; // these fractions of the target
// The search steps up by at most 0.1 m per pass, so this bound still finds throats of 500 m; what it
// cuts off is a search that would never land in the band, or only at an absurd throat.
constexpr int kMaxPasses = 5000;
// A step below a picometre only happens when even a vanishing throat is too wide: give up there rather
// than halve on into the denormals.
constexpr long double kMinStep = 1e-12L;

// Root of cosh(u) - 1 = u to five decimals: at the mouth the cosh profile widens the port by
// practically k times its length, as the circle does.
constexpr long double kCoshRoot = 1.61614L;

constexpr double kMinLength = 0.02; // m, the shortest port the curved pages compute
constexpr double kMinHeight = 0.01; // m, the lowest curved slot

constexpr std::string_view kNoThroat =
    "Подобрать горловину порта не удалось: при такой длине и таком профиле порт не настраивается "
    "на заданную частоту. Уменьшите длину порта или множитель.";
constexpr std::string_view kClosedMouths =
    "Подобрать горловину порта не удалось: отрицательный множитель сужает порт к выходам до нуля. "
    "Задайте множитель от 10 до 50.";

// The two curved pages as the solver works them: their controls (CurvePages.h), their result fields
// (the shape's, Shapes.h: the throat, then the outlet), the values the section print reads and the
// outlet size the solver leaves.
struct CurvedPage {
    Field length;      // L, given
    Field height;      // h, given on the slot page only (empty: round section)
    Field multiplier;  // spin editor of the profile multiplier, percent
    Field function;    // base-function selector
    Field throatField; // result
    Field outletField; // result
    double CalcState::*keptLength;
    double CalcState::*keptHeight; // null on the round page
    double CalcState::*keptThroat;
    double CalcState::*keptOutlet;
    double CalcState::*outletSize; // D2 or W2, left by the solver
    bool outletShownFirst;         // the round page shows its outlet first, the slot page its throat
};

constexpr CurvedPage solvedPage(const CurvePage& c, double CalcState::*outletSize, bool outletShownFirst)
{
    const ShapeRow& shape = shapeRow(c.shape);
    return {c.length,      c.height,      c.multiplier, c.selector, shape.results[0], shape.results[1],
            c.lengthValue, c.heightValue, c.keptThroat, c.keptOutlet, outletSize,     outletShownFirst};
}

constexpr CurvedPage kRoundPage = solvedPage(kRoundCurvePage, &CalcState::D2, true);
constexpr CurvedPage kSlotPage = solvedPage(kSlotCurvePage, &CalcState::W2, false);

bool isRound(const CurvedPage& page)
{
    return page.height.empty();
}

// End correction of both mouths together. The round curved port takes 1/D at its mouth (not the
// 1/(0.958 D) of the cones); the slot takes the round rule at the diameter of equal area.
long double mouthCorrection(long double size, long double height)
{
    if (height > 0)
        return sections::slotCorrection(size, height);
    return 1.0L / size;
}

// Acoustic mass of one port (sum of 2 dx / S over both halves plus the end correction) for a trial
// throat, and its air volume. A trial whose walls meet somewhere (a slot narrowing towards its mouths)
// closes the port: its acoustic mass has no bound, so the throat must be wider.
template <std::size_t N>
long double passTotal(long double trial, const std::array<long double, N>& widening, long double mouthWidening,
                      long double dx, long double height, long double& volume)
{
    if (!(trial + mouthWidening > 0))
        return HUGE_VALL;
    long double total = 0;
    for (long double w : widening) {
        const long double size = trial + w;
        const long double area = sections::area(size, height);
        if (!(size > 0) || !(area > 0) || !std::isfinite(area))
            return HUGE_VALL;
        total += 2.0L * dx / area;
        volume += 2.0L * dx * area;
    }
    total += mouthCorrection(trial + widening.back(), height);
    return std::isfinite(total) ? total : HUGE_VALL;
}

// Marks the raise of a small multiplier for as long as it runs (Calc::CurvedNesting).
struct RaisingMultiplier {
    explicit RaisingMultiplier(Calc::CurvedNesting& nesting) : m_nesting(nesting)
    {
        m_nesting.raisingMultiplier = true;
    }
    ~RaisingMultiplier() { m_nesting.raisingMultiplier = false; }
    RaisingMultiplier(const RaisingMultiplier&) = delete;
    RaisingMultiplier& operator=(const RaisingMultiplier&) = delete;

private:
    Calc::CurvedNesting& m_nesting;
};

// The profile multiplier of a page, percent. The round page reads a value below 10 as tenfold (a
// stored 3 means 30) and writes the raised value back into its editor; the Calc's nesting then tells
// whether the calculation that the editor's change handler ran meanwhile found no throat either.
int pageMultiplier(Calc& calc, const CurvedPage& page)
{
    Form& form = calc.form();
    Calc::CurvedNesting& nesting = calc.curvedNesting();
    bool warnedInside = false;
    int div = form.spinValue(page.multiplier);
    if (isRound(page) && div < 10 && !nesting.raisingMultiplier) {
        const int warningsBefore = nesting.throatWarnings;
        {
            const RaisingMultiplier raising(nesting);
            form.setSpinValue(page.multiplier, static_cast<int>(std::max<long long>(div * 10LL, INT_MIN)));
        }
        warnedInside = nesting.throatWarnings != warningsBefore;
        div = form.spinValue(page.multiplier);
    }
    nesting.warnedInside = warnedInside;
    return div;
}

CurveFunc pageFunction(const Form& form, const CurvedPage& page)
{
    return form.selectorIndex(page.function) == Circle ? Circle : Cosh;
}

std::optional<double> solveCurved(Calc& calc, const CurvedPage& page, double L, double H)
{
    Form& form = calc.form();
    CalcState& s = calc.state();
    s.*page.outletSize = 0;
    const int div = pageMultiplier(calc, page);
    const ThroatFit fit = fitCurvedThroat(calc.MassTarget(), L, H, div / 100.0, pageFunction(form, page));
    if (!fit.found)
        return std::nullopt;
    s.*page.outletSize = fit.outlet;
    s.Vtot = static_cast<double>(static_cast<long double>(fit.volume) * 1000.0L * s.Np);
    return fit.throat;
}

// A length or height below its floor (zero and negative ones included) is raised to it; the size in
// use always goes back into its editor.
double flooredMm(Form& form, Field field, double floor)
{
    const double value = std::max(kit::readMm(form, field), floor);
    kit::writeMm(form, field, value);
    return value;
}

// No throat: the warning, no results on the page and none kept for the section print. The warning
// is shown once: not again when the calculation run inside this one has shown it already.
bool refuseThroat(Calc& calc, const CurvedPage& page)
{
    Form& form = calc.form();
    CalcState& s = calc.state();
    s.*page.keptThroat = 0;
    s.*page.keptOutlet = 0;
    Calc::CurvedNesting& nesting = calc.curvedNesting();
    if (nesting.warnedInside) {
        nesting.warnedInside = false;
        return false;
    }
    ++nesting.throatWarnings;
    if (form.spinValue(page.multiplier) < 0)
        return kit::refuse(form, page.multiplier, std::string(kClosedMouths));
    return kit::refuse(form, page.length, std::string(kNoThroat));
}

bool curvedBranch(Calc& calc, const CurvedPage& page)
{
    Form& form = calc.form();
    CalcState& s = calc.state();
    form.setText(page.throatField, "");
    form.setText(page.outletField, "");
    const double L = flooredMm(form, page.length, kMinLength);
    const double H = isRound(page) ? 0.0 : flooredMm(form, page.height, kMinHeight);

    if (!sections::portTarget(calc))
        return false;
    calc.curvedNesting().warnedInside = false;
    const auto throat = isRound(page) ? GetDCCC(calc, L) : GetWCFC(calc, L, H);
    if (!throat)
        return refuseThroat(calc, page);
    const double outlet = s.*page.outletSize;

    s.*page.keptLength = kit::metresToMm(L);
    if (page.keptHeight)
        s.*page.keptHeight = kit::metresToMm(H);
    s.*page.keptThroat = kit::metresToMm(*throat);
    s.*page.keptOutlet = kit::metresToMm(outlet);

    s.SOutTotal = static_cast<double>(s.Np * sections::area(outlet, H));
    s.SInTotal = static_cast<double>(s.Np * sections::area(*throat, H));

    if (page.outletShownFirst)
        kit::showRounded(form, page.outletField, s.*page.keptOutlet, 2);
    kit::showRounded(form, page.throatField, s.*page.keptThroat, 2);
    if (!page.outletShownFirst)
        kit::showRounded(form, page.outletField, s.*page.keptOutlet, 2);
    calc.Lorf = 0; // no straight part, no pipe resonance
    return true;
}

} // namespace

long double curveWidening(CurveFunc func, long double k, long double half, long double x)
{
    if (func == Circle)
        return 2.0L * k * (half - std::sqrt(std::max(0.0L, half * half - x * x)));
    const long double g = kCoshRoot / half;
    return 2.0L * k * (std::cosh(g * x) - 1.0L) / g;
}

ThroatFit fitCurvedThroat(long double target, double length, double height, double k, CurveFunc func)
{
    ThroatFit fit;
    if (!kit::usable(target) || !kit::usable(length) || !std::isfinite(k) || !(height >= 0)
        || !std::isfinite(height))
        return fit;

    const long double half = length / 2.0L;
    const long double dx = half / kHalfSlices;
    // The profile does not depend on the trial throat: work it out once.
    std::array<long double, kHalfSlices> widening{};
    for (int i = 0; i < kHalfSlices; ++i)
        widening[i] = curveWidening(func, k, half, (i + 0.5L) * dx);
    const long double mouthWidening =
        func == Circle ? curveWidening(func, k, half, half) : curveWidening(func, k, half, dx / 2 + (99.5L * dx));

    const long double low = kBandLow * target;
    const long double high = kBandHigh * target;
    long double base = 0;
    long double step = kFirstStep;
    while (fit.passes < kMaxPasses) {
        const long double trial = base + step;
        if (step < kMinStep || trial == base) // nothing narrower (or finer) left to try
            break;
        ++fit.passes;

        long double volume = 0;
        const long double total = passTotal(trial, widening, mouthWidening, dx, height, volume);
        if (total < low) {
            step /= 2; // too wide
        } else if (total <= high) {
            fit.found = true;
            fit.throat = static_cast<double>(trial);
            fit.outlet = static_cast<double>(trial + mouthWidening);
            fit.volume = static_cast<double>(volume);
            break;
        } else {
            base = trial; // too narrow
        }
    }
    return fit;
}

std::optional<double> GetDCCC(Calc& calc, double L)
{
    return solveCurved(calc, kRoundPage, L, 0.0);
}

std::optional<double> GetWCFC(Calc& calc, double L, double H)
{
    if (!(H > 0)) // a slot without height has no section
        return std::nullopt;
    return solveCurved(calc, kSlotPage, L, H);
}

bool branchCurveCone(Calc& calc)
{
    return curvedBranch(calc, kRoundPage);
}

bool branchCurveFlat(Calc& calc)
{
    return curvedBranch(calc, kSlotPage);
}

} // namespace vx
