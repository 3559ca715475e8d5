#include "Calc.h"

#include "BranchKit.h"
#include "Numbers.h"
#include "Shapes.h"

#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

namespace vx {

namespace {

constexpr std::string_view kBadFb = "Неверное значение частоты настройки порта";
constexpr std::string_view kBadVb = "Неверное значение объёма ящика";
constexpr std::string_view kBadDd = "Неверное значение диаметра диффузора";
constexpr std::string_view kBadXmax = "Неверное значение максимального хода диффузора";
constexpr std::string_view kBadNp = "Неверное значение количества портов";
constexpr std::string_view kBadVs = "Неверная величина скорости звука. Будет использовано значение 344 м/с.";

constexpr long double kEndFactor = 0.82L; // added length of both ends of a straight tube, in diameters

// The eight common result fields, in the order they are emptied.
constexpr std::array<Field, 8> kCommonFields{
    "EditSIn", "EditSout", "EditVmax", "EditVout", "EditAmax", "EditAout", "EditORF", "EdVtot",
};

long double massTarget(const CalcState& s)
{
    // Np / (4 pi² Fb² Vb / Us²): the inner reciprocal is kept as a Double, as the stored target was.
    const long double inner = kFourPiSquared * s.Vb / 1000.0L * s.Fb * s.Fb / s.Us / s.Us;
    const double perPort = static_cast<double>(1.0L / inner);
    return s.Np * static_cast<long double>(perPort);
}

// The source editor whose held value gives no design (no finite positive target or boundary values),
// or an empty name when the held values are usable.
Field unusableInput(const CalcState& s)
{
    if (!kit::usable(s.Fb))
        return "EditFb";
    if (!kit::usable(s.Vb))
        return "EditVb";
    if (s.Dd <= 0)
        return "EditDd";
    if (!kit::usable(s.Xmax))
        return "EditXmax";
    // A count below 1 typed into the spin editor stays there until the editor is left.
    if (s.Np < 1)
        return "SpinEdNPorts";
    // Positive inputs can still be so extreme that the target or the boundary values overflow.
    if (!kit::usable(massTarget(s)))
        return "EditFb";
    if (!kit::usable(s.Smin) || !kit::usable(s.Dpmin))
        return "EditDd";
    return {};
}

} // namespace

// ---- source inputs and boundary values ------------------------------------------------------------

void Calc::EditNdChange()
{
    m_state.Nd = parseInt(m_form.text("EditNd")).value_or(1);
    m_form.setVisible("Image4", m_state.Nd < 2);
}

bool Calc::ChkSrcData()
{
    const char sep = m_form.decimalSeparator();
    EditNdChange();
    if (m_state.Nd < 2)
        m_form.setText("EditNd", "1");

    if (auto fb = parseFloat(m_form.text("EditFb"), sep))
        m_state.Fb = *fb;
    else
        return kit::refuse(m_form, "EditFb", std::string(kBadFb));

    // One warning at most: the first failure skips the reading of the inputs after it.
    bool ok = true;
    if (auto vb = parseFloat(m_form.text("EditVb"), sep)) {
        m_state.Vb = *vb;
        if (auto dd = parseInt(m_form.text("EditDd"))) {
            m_state.Dd = *dd;
            if (auto xmax = parseFloat(m_form.text("EditXmax"), sep))
                m_state.Xmax = *xmax;
            else
                ok = kit::refuse(m_form, "EditXmax", std::string(kBadXmax));
        } else {
            ok = kit::refuse(m_form, "EditDd", std::string(kBadDd));
        }
    } else {
        ok = kit::refuse(m_form, "EditVb", std::string(kBadVb));
    }

    m_state.Nd = parseInt(m_form.text("EditNd")).value_or(1);
    m_state.Np = m_form.spinValue("SpinEdNPorts");
    return ok;
}

bool Calc::CheckVs()
{
    auto us = parseFloat(m_form.text("EditVs"), m_form.decimalSeparator());
    if (us)
        m_state.Us = *us;
    if (us && *us >= 330 && *us <= 350)
        return true;
    m_form.message(MsgType::Warning, std::string(kBadVs), MsgButtons::Ok);
    m_form.setActiveControl("EditVs");
    m_state.Us = 344;
    m_form.setText("EditVs", "344");
    return false;
}

void Calc::warnInput(Field field)
{
    static constexpr std::array<std::pair<Field, std::string_view>, 5> kMessages{{
        {"EditFb", kBadFb}, {"EditVb", kBadVb}, {"EditDd", kBadDd}, {"EditXmax", kBadXmax},
        {"SpinEdNPorts", kBadNp},
    }};
    for (const auto& [f, text] : kMessages)
        if (f == field)
            kit::refuse(m_form, f, std::string(text));
}

bool Calc::recalcMins()
{
    if (!CheckVs() || !ChkSrcData())
        return false;

    const char sep = m_form.decimalSeparator();
    CalcState& s = m_state;
    if (s.Fb == 0)
        m_form.setText("EditFb", "30");
    if (s.Vb == 0)
        m_form.setText("EditVb", "45");
    if (s.Dd == 0)
        m_form.setText("EditDd", "210");
    if (s.Xmax == 0)
        m_form.setText("EditXmax", "7");

    // The texts parsed a moment ago or are the fallbacks just written.
    s.Fb = parseFloat(m_form.text("EditFb"), sep).value_or(s.Fb);
    s.Vb = parseFloat(m_form.text("EditVb"), sep).value_or(s.Vb);
    s.Xmax = parseFloat(m_form.text("EditXmax"), sep).value_or(s.Xmax);
    s.Dd = parseInt(m_form.text("EditDd")).value_or(s.Dd);
    s.Nd = parseInt(m_form.text("EditNd")).value_or(1);
    s.Np = m_form.spinValue("SpinEdNPorts");

    // Each boundary value is rounded to a Double where it is stored, and the next one starts from that.
    CalcState b = s;
    const long double fb = s.Fb, vb = s.Vb, dd = s.Dd, np = s.Np, us = s.Us;
    b.SdTotal = static_cast<double>(s.Nd * kPi * dd * dd / 4.0L / 1000000.0L);
    b.Vd = static_cast<double>(b.SdTotal * static_cast<long double>(s.Xmax) / 1000.0L);
    const long double vlim = velocityOfButton(m_form.shapeButtonDown());
    b.Smin = static_cast<double>(kTwoPi * fb * b.Vd / vlim);
    b.Dpmin = static_cast<double>(2.0L * std::sqrt(b.Smin / np / kPi));
    const long double halfWave = us / 2.0L / kPi, dp = b.Dpmin;
    b.Lpmin = static_cast<double>(halfWave * halfWave * kPi / 4.0L * dp * dp * np / ((vb / 1000.0L) * fb * fb)
                                  - kEndFactor * dp);
    b.Vpmax = static_cast<double>(kTwoPi * fb * (b.Vd / static_cast<long double>(b.Smin)));

    // A negative input (typed, its editor not yet left) has no design: the root of a negative area, a
    // negative box. It is refused as a bad text is, and the boundary values stay as they were.
    if (Field bad = unusableInput(b); !bad.empty() || !std::isfinite(b.Lpmin)) {
        warnInput(bad.empty() ? Field("EditFb") : bad);
        return false;
    }
    s = b;

    kit::showRounded(m_form, "EditVpmax", s.Vpmax, 2);
    kit::showMm(m_form, "EditDpmin", s.Dpmin);
    kit::showMm(m_form, "EditLpmin", s.Lpmin);
    kit::showScaled(m_form, "EditSmin", s.Smin / np, 1000000.0L);
    return true;
}

void Calc::RecalcMins()
{
    recalcMins();
}

void Calc::SbRecalcMinsClick()
{
    if (CheckVs())
        RecalcMins();
}

void Calc::ClearMins()
{
    m_form.setText("EditFb", "30");
    m_form.setText("EditVb", "45");
    m_form.setText("EditDd", "210");
    m_form.setText("EditNd", "1");
    m_form.setText("EditXmax", "7");
    m_form.setSpinValue("SpinEdNPorts", 1);
    m_form.setSelectorIndex("ComboPortType", 0);
    for (Field f : {Field("EditDpmin"), Field("EditLpmin"), Field("EditVpmax"), Field("EdVtot")})
        m_form.setText(f, "");
}

long double Calc::MassTarget() const
{
    return massTarget(m_state);
}

// ---- geometry and the common result block ---------------------------------------------------------

bool Calc::CheckTS()
{
    const int shape = m_state.SBut;
    if (!isShape(shape))
        return true;
    const char sep = m_form.decimalSeparator();
    for (const PageCheck& check : shapeRow(shape).checks) {
        if (check.field.empty())
            break;
        if (!parseFloat(m_form.text(check.field), sep))
            return kit::refuse(m_form, check.field, std::string(check.message));
    }
    return true;
}

void Calc::ClearStuff()
{
    ClearRes();
}

void Calc::ClearRes()
{
    for (Field f : kCommonFields)
        m_form.setText(f, "");
}

void Calc::ProcessFColor(long double U, Field subj)
{
    m_form.setFontColour(subj, U >= 9 ? Colour::Red : U >= 6 ? Colour::Fuchsia : Colour::WindowText);
}

void Calc::RecalcRes(bool Tell)
{
    if (!Tell)
        return;
    if (!CheckVs() || !CheckTS())
        return;
    Lorf = 0;
    const bool fresh = recalcMins();
    ClearStuff();

    // Held inputs that give no finite positive target (a failed parse left zeros or negatives behind)
    // would divide by zero or never end a solver: abandon, after the warning already shown or with the
    // warning of the offending input.
    if (Field bad = unusableInput(m_state); !bad.empty()) {
        if (fresh)
            warnInput(bad);
        return;
    }

    const int shape = m_state.SBut;
    // A stored shape outside the twelve runs no branch and leaves the result block empty.
    if (!isShape(shape) || !shapeRow(shape).branch(*this))
        return;

    const CalcState& s = m_state;
    // Sizes far beyond any port (a diameter of 1E300 mm or of 1E-300 mm) leave a section or a volume
    // that overflows or vanishes as a Double, and no figure to show: refused on the page's first editor
    // with its warning, and the shape's results just written are emptied again.
    if (!kit::usable(s.SInTotal) || !kit::usable(s.SOutTotal) || !std::isfinite(s.Vtot) || !std::isfinite(Lorf)) {
        const ShapeRow& row = shapeRow(shape);
        for (Field f : row.results)
            if (!f.empty())
                m_form.setText(f, "");
        const PageCheck& first = row.checks.front();
        kit::refuse(m_form, first.field, std::string(first.message));
        return;
    }
    const long double np = s.Np;
    const long double amax = s.Vd / static_cast<long double>(s.SInTotal);
    const long double aout = s.Vd / static_cast<long double>(s.SOutTotal);
    const long double vmax = kTwoPi * s.Fb * amax;
    const long double vout = kTwoPi * s.Fb * aout;

    kit::showScaled(m_form, "EditSIn", s.SInTotal / np, 1000000.0L); // cm²
    kit::showScaled(m_form, "EditSout", s.SOutTotal / np, 1000000.0L);
    kit::showRounded(m_form, "EditVmax", vmax, 2);
    ProcessFColor(vmax, "EditVmax");
    kit::showRounded(m_form, "EditVout", vout, 2);
    ProcessFColor(vout, "EditVout");
    kit::showScaled(m_form, "EditAmax", amax, 10000.0L); // cm
    kit::showScaled(m_form, "EditAout", aout, 10000.0L);
    if (Lorf != 0)
        m_form.setText("EditORF", formatWhole(s.Us / static_cast<long double>(Lorf) / 2.0L * 1000.0L,
                                              m_form.decimalSeparator()));
    else
        m_form.setText("EditORF", "");
    kit::showRounded(m_form, "EdVtot", s.Vtot, 3);
}

void Calc::SBRecalcResClick()
{
    m_form.EditDdExit();
    RecalcRes(true);
}

} // namespace vx
