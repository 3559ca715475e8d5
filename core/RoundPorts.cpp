// Round ports with straight or conical walls: the tube, the cone, the tube with one cone and the
// hourglass (a tube between two cones), and the slice solver of their cones.
#include "BranchKit.h"
#include "Branches.h"
#include "Calc.h"
#include "Shapes.h"

#include <optional>
#include <string>

namespace vx {

namespace {

constexpr double kMinStraightPart = 0.01; // m: a straight part shorter than 10 mm is refused

// The diameter of a page: a missing one takes the minimum diameter the boundary group shows, written
// back; refused (after the warning) when even that default has no value (the boundary group is empty).
std::optional<double> pageDiameter(Form& form, Field field)
{
    return kit::sizeOrDefault(form, field, kit::readMm(form, field), kit::shownMinDiameter(form),
                              kit::WriteBack::Exact, kBadDiameter);
}

// The cone angle of a page, the shape's wall angle when missing; nothing (after the warning) for an
// angle that makes no cone.
std::optional<double> pageAngle(Form& form, Field field, int shape)
{
    const double a = kit::fillAngle(form, field, kit::readValue(form, field), shapeRow(shape).wallAngle);
    if (!kit::angleUsable(a)) {
        kit::refuse(form, field, std::string(kBadAngle));
        return std::nullopt;
    }
    return a;
}

long double roundArea(long double d)
{
    return kPi * d * d / 4.0L;
}

// The tube with one cone and the hourglass differ only in their editors, the values they keep and
// the number of cones.
struct ConePage {
    Field throat;   // d, given
    Field angle;    // alpha, given
    Field cone;     // l, given: the length of each cone
    Field total;    // L, result
    Field outlet;   // D, result
    double CalcState::*keptAngle;
    double CalcState::*keptThroat;
    int cones;
    int shape;
};

// The result fields are the shape's (Shapes.h): the total length, then the outlet.
constexpr ConePage kTubCone{"EditTubConD1", "EditTubConA", "EditTubConL1", shapeRow(TUBCONE).results[0],
                            shapeRow(TUBCONE).results[1], &CalcState::TubConA, &CalcState::TubConD1, 1, TUBCONE};
constexpr ConePage kConeTubCone{"EditConTubConD1", "EditConTubConA", "EditConTubConL1",
                                shapeRow(CONETUBCONE).results[0], shapeRow(CONETUBCONE).results[1],
                                &CalcState::ConTubConA, &CalcState::ConTubConD1, 2, CONETUBCONE};

bool conesWithTube(Calc& calc, const ConePage& page)
{
    Form& form = calc.form();
    CalcState& s = calc.state();
    form.setText(page.outlet, "");
    form.setText(page.total, "");

    const auto d = pageDiameter(form, page.throat);
    if (!d)
        return false;
    const auto alpha = pageAngle(form, page.angle, page.shape);
    if (!alpha)
        return false;
    const double l = kit::fillMm(form, page.cone, kit::readMm(form, page.cone), *d);

    const double straight = calc.GetL(page.cones, *d, *alpha, l);
    if (straight < kMinStraightPart) {
        form.message(MsgType::Information, "Нужно уменьшить длину конуса", MsgButtons::Ok);
        form.setActiveControl(page.angle);
        form.setActiveControl(page.cone);
        return false;
    }
    const double outlet = s.D2;
    const double total = straight + page.cones * l;

    s.SInTotal = static_cast<double>(s.Np * roundArea(*d));
    s.SOutTotal = static_cast<double>(s.Np * roundArea(outlet));
    s.*page.keptAngle = *alpha;
    s.*page.keptThroat = kit::metresToMm(*d);

    kit::showMm(form, page.outlet, outlet);
    kit::writeValue(form, page.throat, s.*page.keptThroat);
    kit::showMm(form, page.total, total);
    kit::writeMm(form, page.cone, l);
    calc.Lorf = kit::metresToMm(static_cast<long double>(total) - page.cones * static_cast<long double>(l));
    return true;
}

} // namespace

double Calc::GetL(double N, double D1, double Alp, double L1)
{
    m_state.D2 = D1;
    if (!(D1 > 0)) // no throat, no slices
        return 0;
    const long double target = MassTarget();
    const double t = kit::slope(Alp);
    kit::SliceResult r;
    if (N > 0 && L1 > 0) {
        r = kit::straightPart(kit::RoundSection{}, N, D1, t, L1, target);
    } else {
        r = kit::flareGrowth(kit::RoundSection{}, D1, t, target);
        if (r.capped)
            m_form.message(MsgType::Confirmation, "Вам точно нужен такой длинный конус?\rУменьшите угол.",
                           MsgButtons::Ok);
    }
    m_state.D2 = r.endSize;
    m_state.Vtot = static_cast<double>(m_state.Np * static_cast<long double>(r.volume) * 1000.0L);
    return r.length;
}

bool branchTub(Calc& calc)
{
    Form& form = calc.form();
    CalcState& s = calc.state();
    const auto found = pageDiameter(form, "EditTubD");
    if (!found)
        return false;
    const long double d = *found;
    s.TubD = kit::metresToMm(d);

    s.SInTotal = static_cast<double>(s.Np * roundArea(d));
    s.SOutTotal = s.SInTotal;
    // The effective length of one of Np tubes that tune Vb to Fb, less 0.82 D for both ends.
    const long double halfWave = s.Us / kTwoPi;
    const long double fb = s.Fb;
    const double lengthMm = static_cast<double>(
        (halfWave * halfWave * (kPi / 4.0L) * d * d * s.Np / ((s.Vb / 1000.0L) * fb * fb) - 0.82L * d) * 1000.0L);
    s.Vtot = static_cast<double>(roundArea(d) * lengthMm * s.Np);

    kit::showRounded(form, shapeRow(TUB).results[0], lengthMm, 2);
    calc.Lorf = lengthMm;
    return true;
}

bool branchCone(Calc& calc)
{
    Form& form = calc.form();
    CalcState& s = calc.state();
    const Field total = shapeRow(CONE).results[0];
    const Field outletField = shapeRow(CONE).results[1];
    form.setText(outletField, "");
    form.setText(total, "");

    const auto d = pageDiameter(form, "EditConD1");
    if (!d)
        return false;
    const auto alpha = pageAngle(form, "EditConA", CONE);
    if (!alpha)
        return false;

    const double length = calc.GetL(1, *d, *alpha, 0);
    const double outlet = s.D2;
    s.SInTotal = static_cast<double>(s.Np * roundArea(*d));
    s.SOutTotal = static_cast<double>(s.Np * roundArea(outlet));
    s.ConD1 = kit::metresToMm(*d);
    s.ConA = *alpha;

    kit::showMm(form, outletField, outlet);
    kit::writeValue(form, "EditConD1", s.ConD1);
    kit::showMm(form, total, length);
    calc.Lorf = 0; // no straight part, no pipe resonance
    return true;
}

bool branchTubCone(Calc& calc)
{
    return conesWithTube(calc, kTubCone);
}

bool branchConeTubCone(Calc& calc)
{
    return conesWithTube(calc, kConeTubCone);
}

} // namespace vx
