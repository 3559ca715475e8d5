// Slot ports with flat walls: the rectangular tube, the wedge, the slot with one wedge and the slot
// hourglass (a slot between two wedges), the slice solver of their wedges and the rectangle factor of
// the slot end correction.
#include "BranchKit.h"
#include "Branches.h"
#include "Calc.h"
#include "Shapes.h"

#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace vx {

namespace {

constexpr double kMinStraightPart = 0.01; // m: a straight part shorter than 10 mm is refused

// Editors and kept values of a wedge page. The wedge alone has no wedge-length editor.
struct WedgePage {
    Field throat;  // w, given
    Field height;  // h, given
    Field angle;   // alpha, given
    Field wedge;   // l, given: the length of each wedge (empty for the wedge alone)
    Field total;   // L, result
    Field outlet;  // W, result
    double CalcState::*keptThroat;
    double CalcState::*keptHeight;
    double CalcState::*keptAngle;
    double CalcState::*keptWedge;
    int wedges; // 0: the wedge alone, grown until it tunes
    int shape;
};

// The result fields are the shape's (Shapes.h): the total length, then the outlet.
constexpr WedgePage kPrism{"EditPriW1", "EditPriH", "EditPriA", "", shapeRow(PRISM).results[0],
                           shapeRow(PRISM).results[1], &CalcState::PriW1, &CalcState::PriH, &CalcState::PriA,
                           nullptr, 0, PRISM};
constexpr WedgePage kBoxPrism{"EditBoxPriW1", "EditBoxPriH", "EditBoxPriA", "EditBoxPriL1",
                              shapeRow(BOXPRISM).results[0], shapeRow(BOXPRISM).results[1], &CalcState::BoxPriW1,
                              &CalcState::BoxPriH, &CalcState::BoxPriA, &CalcState::BoxPriL1, 1, BOXPRISM};
constexpr WedgePage kPrismBoxPrism{"EditPriBoxPriW1", "EditPriBoxPriH", "EditPriBoxPriA", "EditPriBoxPriL1",
                                   shapeRow(PRISMBOXPRISM).results[0], shapeRow(PRISMBOXPRISM).results[1],
                                   &CalcState::PriBoxPriW1, &CalcState::PriBoxPriH, &CalcState::PriBoxPriA,
                                   &CalcState::PriBoxPriL1, 2, PRISMBOXPRISM};

struct WedgeSizes {
    double w = 0, h = 0, alpha = 0, l = 0;
};

// The page's sizes with the slot defaults for the missing ones, in their order: the throat width of
// the proportion AspectK at the minimum area, the height of that area, the shape's wall angle, and a
// wedge AspectK times the throat long. A wedge-length text that is no number counts as missing.
std::optional<WedgeSizes> wedgeSizes(Calc& calc, const WedgePage& page)
{
    Form& form = calc.form();
    const CalcState& s = calc.state();
    WedgeSizes z;
    z.w = kit::readMm(form, page.throat);
    z.h = kit::readMm(form, page.height);
    z.alpha = kit::readValue(form, page.angle);
    if (page.wedges > 0)
        z.l = kit::readMm(form, page.wedge);

    using kit::WriteBack;
    // the root taken in extended precision, as the rest of the calculation, and only then a Double
    const double defaultWidth = static_cast<double>(std::sqrt(static_cast<long double>(s.Smin) * s.AspectK));
    const auto w = kit::sizeOrDefault(form, page.throat, z.w, defaultWidth, WriteBack::Shown, kBadWidth);
    if (!w)
        return std::nullopt;
    z.w = *w;
    const auto h = kit::sizeOrDefault(form, page.height, z.h, s.Smin / z.w, WriteBack::Shown, kBadHeight);
    if (!h)
        return std::nullopt;
    z.h = *h;
    z.alpha = kit::fillAngle(form, page.angle, z.alpha, shapeRow(page.shape).wallAngle);
    if (page.wedges > 0)
        z.l = kit::fillShownMm(form, page.wedge, z.l, z.w * s.AspectK);

    if (!kit::angleUsable(z.alpha)) {
        kit::refuse(form, page.angle, std::string(kBadAngle));
        return std::nullopt;
    }
    return z;
}

// One port's throat must carry the minimum area of all ports. The defaulted sizes meet it exactly in
// theory, so a shortfall within 0.00001 m² per metre of width plus height is rounding, not a fault.
bool heightLargeEnough(Calc& calc, const WedgePage& page, const WedgeSizes& z)
{
    const CalcState& s = calc.state();
    const long double w = z.w, h = z.h;
    if (w * h >= s.Smin - 0.00001L * (w + h))
        return true;
    const long double smallest = roundWhole(s.Smin / w * 100000.0L + 0.5L) / 100.0L;
    Form& form = calc.form();
    return kit::refuse(form, page.height,
                       "Значение h слишком мало. Должно быть не менее " + formatFloat(smallest, form.decimalSeparator()));
}

// The page's sizes, kept in their dimension values before the minimum height check: the width and
// the height, and on the pages with a wedge length that length and the angle as well (the wedge alone
// keeps its angle only once it is computed). Nothing after a refusal.
std::optional<WedgeSizes> checkedSizes(Calc& calc, const WedgePage& page)
{
    CalcState& s = calc.state();
    const auto z = wedgeSizes(calc, page);
    if (!z)
        return std::nullopt;
    s.*page.keptThroat = kit::metresToMm(z->w);
    s.*page.keptHeight = kit::metresToMm(z->h);
    if (page.wedges > 0) {
        s.*page.keptWedge = kit::metresToMm(z->l);
        s.*page.keptAngle = z->alpha;
    }
    if (!heightLargeEnough(calc, page, *z))
        return std::nullopt;
    return z;
}

bool wedgeAlone(Calc& calc, const WedgePage& page)
{
    Form& form = calc.form();
    CalcState& s = calc.state();
    const auto z = checkedSizes(calc, page);
    if (!z)
        return false;

    const double length = calc.GetLW(1, z->w, z->alpha, 0, z->h);
    // the outlet at the returned length, not the solver's end of slice
    const double outlet = static_cast<double>(z->w + 2.0L * length * kit::slope(z->alpha));
    s.SInTotal = static_cast<double>(s.Np * static_cast<long double>(z->w) * z->h);
    s.SOutTotal = static_cast<double>(s.Np * static_cast<long double>(outlet) * z->h);
    s.Vtot = static_cast<double>((static_cast<long double>(outlet) + z->w) / 2.0L * length * z->h * 1000.0L * s.Np);
    s.*page.keptAngle = z->alpha;
    kit::writeValue(form, page.throat, s.*page.keptThroat); // replaces the rounded text of a default

    kit::showMm(form, page.outlet, outlet);
    kit::showMm(form, page.total, length);
    calc.Lorf = 0; // no straight part, no pipe resonance
    return true;
}

bool wedgesWithSlot(Calc& calc, const WedgePage& page)
{
    Form& form = calc.form();
    CalcState& s = calc.state();
    const auto z = checkedSizes(calc, page);
    if (!z)
        return false;

    const double straight = calc.GetLW(page.wedges, z->w, z->alpha, z->l, z->h);
    if (straight < kMinStraightPart) {
        form.message(MsgType::Information, "Нужно уменьшить длину раструба", MsgButtons::Ok);
        form.setActiveControl(page.angle);
        form.setActiveControl(page.wedge);
        return false;
    }
    const long double w = z->w, h = z->h, l = z->l, outlet = s.W2;
    s.Vtot = static_cast<double>((page.wedges * (outlet + w) / 2.0L * l + w * straight) * h * s.Np * 1000.0L);
    const double total = straight + page.wedges * z->l;
    s.SInTotal = static_cast<double>(s.Np * w * h);
    s.SOutTotal = static_cast<double>(s.Np * outlet * h);
    s.*page.keptAngle = z->alpha;
    s.*page.keptThroat = kit::metresToMm(w);
    kit::writeValue(form, page.throat, s.*page.keptThroat);

    kit::showMm(form, page.outlet, outlet);
    kit::showMm(form, page.total, total);
    calc.Lorf = kit::metresToMm(static_cast<long double>(total) - page.wedges * l);
    return true;
}

// Every wedge page starts alike: its results emptied and the slot proportion of its defaults set.
bool wedgeBranch(Calc& calc, const WedgePage& page)
{
    calc.form().setText(page.outlet, "");
    calc.form().setText(page.total, "");
    calc.state().AspectK = static_cast<double>(std::cbrt(2.0L));
    return page.wedges > 0 ? wedgesWithSlot(calc, page) : wedgeAlone(calc, page);
}

} // namespace

long double GetK(long double W, long double H)
{
    if (!(W > 0 && H > 0))
        return std::numeric_limits<long double>::quiet_NaN(); // no rectangle, no factor
    return (W + H) / std::sqrt(kPi * W * H);
}

double Calc::GetLW(double N, double W1, double Alp, double L1, double H)
{
    m_state.W2 = W1;
    if (!(W1 > 0) || !(H > 0)) // no throat, no slices
        return 0;
    const long double target = MassTarget();
    const double t = kit::slope(Alp);
    const kit::SlotSection section{H};
    kit::SliceResult r;
    if (N > 0 && L1 > 0) {
        r = kit::straightPart(section, N, W1, t, L1, target);
    } else {
        r = kit::flareGrowth(section, W1, t, target);
        if (r.capped)
            m_form.message(MsgType::Confirmation, "Вам точно нужен такой длинный раструб?\rУменьшите угол.",
                           MsgButtons::Ok);
    }
    m_state.W2 = r.endSize;
    return r.length;
}

bool branchBox(Calc& calc)
{
    Form& form = calc.form();
    CalcState& s = calc.state();
    const Field lengthField = shapeRow(BOX).results[0];
    form.setText(lengthField, "");

    // A missing width makes a 2:1 slot with the area of the minimum round port.
    using kit::WriteBack;
    const auto width = kit::sizeOrDefault(form, "EditBoxW", kit::readMm(form, "EditBoxW"),
                                          static_cast<double>(std::sqrt(kPi / 2.0L) * s.Dpmin), WriteBack::Exact,
                                          kBadWidth);
    if (!width)
        return false;
    const double w = *width;
    const auto height = kit::sizeOrDefault(form, "EditBoxH", kit::readMm(form, "EditBoxH"), s.Smin / w,
                                           WriteBack::Shown, kBadHeight);
    if (!height)
        return false;
    const double h = *height;
    s.BoxW = kit::metresToMm(w);
    s.BoxH = kit::metresToMm(h);

    s.SInTotal = static_cast<double>(s.Np * static_cast<long double>(w) * h);
    s.SOutTotal = s.SInTotal;
    const long double end = kPi * GetK(w, h) / ((static_cast<long double>(w) + h) * 1.916L);
    const double lengthMm = static_cast<double>((calc.MassTarget() - end) * w * h * 1000.0L);
    s.Vtot = static_cast<double>(static_cast<long double>(lengthMm) * s.SInTotal);

    kit::showRounded(form, lengthField, lengthMm, 2);
    calc.Lorf = lengthMm;
    return true;
}

bool branchPrism(Calc& calc)
{
    return wedgeBranch(calc, kPrism);
}

bool branchBoxPrism(Calc& calc)
{
    return wedgeBranch(calc, kBoxPrism);
}

bool branchPrismBoxPrism(Calc& calc)
{
    return wedgeBranch(calc, kPrismBoxPrism);
}

} // namespace vx
