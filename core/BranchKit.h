#pragma once
// Pieces the geometry branches are built from: reading and writing the page editors in millimetres,
// the default of a missing size, the refusal of a bad value, the end corrections, and the slice loop
// that the round and the slot flares share. Everything here works in metres inside and millimetres in
// the editors.

#include "Calc.h"
#include "Numbers.h"

#include <cmath>
#include <optional>
#include <string>
#include <string_view>

namespace vx::kit {

// ---- editors ----------------------------------------------------------------------------------------

// The number in an editor, or nothing when its text does not read.
inline std::optional<double> readNumber(const Form& form, Field field)
{
    return parseFloat(form.text(field), form.decimalSeparator());
}

// The number in an editor, 0 when it does not read (the page check has refused such texts before a
// branch runs; where it has not, 0 means "missing" and the default applies).
inline double readValue(const Form& form, Field field)
{
    return readNumber(form, field).value_or(0.0);
}

// A millimetre editor, in metres.
inline double readMm(const Form& form, Field field)
{
    return static_cast<double>(static_cast<long double>(readValue(form, field)) / 1000.0L);
}

// A plain number, unrounded (general format, 15 significant digits).
inline void writeValue(Form& form, Field field, long double value)
{
    form.setText(field, formatFloat(value, form.decimalSeparator()));
}

// A length in metres written as millimetres, unrounded.
inline void writeMm(Form& form, Field field, long double metres)
{
    writeValue(form, field, metres * 1000.0L);
}

// A value shown with two decimals after scaling: Round(value * scale) / 100 (scale 100000 turns metres
// into millimetres, 1000000 square metres into square centimetres).
inline void showScaled(Form& form, Field field, long double value, long double scale)
{
    writeValue(form, field, roundWhole(value * scale) / 100.0L);
}

// A length in metres shown as millimetres with two decimals: Round(m * 100000) / 100.
inline void showMm(Form& form, Field field, long double metres)
{
    showScaled(form, field, metres, 100000.0L);
}

// A value shown with the given number of decimals (Round(x * 10^k) / 10^k).
inline void showRounded(Form& form, Field field, long double value, int decimals)
{
    form.setText(field, formatRounded(value, decimals, form.decimalSeparator()));
}

// A millimetre value from the calculation state, in metres.
inline double mmToMetres(double mm)
{
    return static_cast<double>(static_cast<long double>(mm) / 1000.0L);
}

// A length in metres as the millimetre value the state stores.
inline double metresToMm(long double metres)
{
    return static_cast<double>(metres * 1000.0L);
}

// The minimum port diameter as the boundary group shows it (rounded to 0.01 mm), in metres: the
// default diameter of the round pages.
inline double shownMinDiameter(const Form& form)
{
    return readMm(form, "EditDpmin");
}

// ---- defaults and refusals --------------------------------------------------------------------------

// A given size that is not greater than 0 counts as missing (NaN too).
inline bool missing(double value)
{
    return !(value > 0);
}

// A usable size: finite and greater than 0.
inline bool usable(long double value)
{
    return value > 0 && std::isfinite(value);
}

// A warning (or another typed box) with OK, then the editor concerned gets the focus; the branch
// stops. Always returns false so that a branch can `return refuse(...)`.
inline bool refuse(Form& form, Field field, const std::string& message, MsgType type = MsgType::Warning)
{
    form.message(type, message, MsgButtons::Ok);
    form.setActiveControl(field);
    return false;
}

// When `value` is missing, `replacement` (metres) takes its place and goes back into the editor as
// millimetres, unrounded; returns the size to compute with.
inline double fillMm(Form& form, Field field, double value, double replacement)
{
    if (!missing(value))
        return value;
    writeMm(form, field, replacement);
    return replacement;
}

// As fillMm, but the editor receives the replacement rounded to 0.01 mm (computation goes on unrounded).
inline double fillShownMm(Form& form, Field field, double value, double replacement)
{
    if (!missing(value))
        return value;
    showMm(form, field, replacement);
    return replacement;
}

enum class WriteBack { Exact, Shown }; // unrounded, or rounded to 0.01 mm

// A given size, or, when it is missing, its replacement (metres) written back into the editor. A
// replacement that is no usable size either (an empty boundary group) refuses with `refusal` on that
// editor instead of writing a size that is none.
inline std::optional<double> sizeOrDefault(Form& form, Field field, double value, double replacement,
                                           WriteBack how, std::string_view refusal)
{
    if (!missing(value))
        return value;
    if (!usable(replacement)) {
        refuse(form, field, std::string(refusal));
        return std::nullopt;
    }
    return how == WriteBack::Exact ? fillMm(form, field, value, replacement)
                                   : fillShownMm(form, field, value, replacement);
}

// When an angle is missing, `degrees` takes its place and its text goes into the editor.
inline double fillAngle(Form& form, Field field, double value, double degrees)
{
    if (!missing(value))
        return value;
    writeValue(form, field, degrees);
    return degrees;
}

// A wall at 90° or more from the axis is no flare (tan has no value or turns the wall inwards).
inline bool angleUsable(double degrees)
{
    return degrees > 0 && degrees < 90;
}

// tan of a wall angle in degrees, as the slice loop uses it.
inline double slope(double degrees)
{
    return static_cast<double>(std::tan(static_cast<long double>(degrees) * kPi / 180.0L));
}

// ---- end corrections (both ends together) -----------------------------------------------------------

// Round mouth of diameter d: 1/(0.958 d), close to an added length of 0.82 d at that section.
inline double roundEndCorrection(double d)
{
    return 1.0 / (0.958 * d);
}

// Slot mouth W x H: pi * GetK(W, H) / ((W + H) * 1.916), the round rule at the diameter of equal area.
// Both sides must be greater than 0.
inline double slotEndCorrection(double w, double h)
{
    constexpr double pi = static_cast<double>(kPi);
    const double k = (w + h) / std::sqrt(pi * w * h);
    return pi * k / ((w + h) * 1.916);
}

// ---- the slice loop of the flares -------------------------------------------------------------------

// Cross-sections the slice loop works with. size is the diameter (round) or the width (slot).
struct RoundSection {
    double area(double d) const { return static_cast<double>(kPi) * d * d / 4.0; }
    double endCorrection(double d) const { return roundEndCorrection(d); }
};

struct SlotSection {
    double H; // constant height, m
    double area(double w) const { return w * H; }
    double endCorrection(double w) const { return slotEndCorrection(w, H); }
};

inline constexpr int kStraightSlices = 10001;  // i = 0 .. 10000: the flare integrated is 1.0001 l long
inline constexpr int kGrowthSlices = 3000001;  // i = 0 .. 3 000 000

struct SliceResult {
    double length = 0;  // the straight part (straight mode) or the flare length (growth mode), m
    double endSize = 0; // diameter or width at the end of the last slice, m
    double volume = 0;  // air volume of one port, m³
    bool capped = false; // growth mode ran out of slices before reaching the target
};

// Straight-part mode: n equal flares of length l1 from the size s1 at the angle given by t = tan(alpha);
// returns the straight part of size s1 that brings the port, flares and end correction included, to
// the acoustic-mass target (negative when the flares alone exceed it).
template <class Section>
SliceResult straightPart(const Section& sec, double n, double s1, double t, double l1, long double target)
{
    SliceResult r;
    const double step = l1 / 10000.0;
    double sum = 0, volume = 0, d = s1;
    for (int i = 0; i < kStraightSlices; ++i) {
        const double x = (i + 0.5) * step;
        d = s1 + 2.0 * t * x;
        const double a = sec.area(d);
        sum += step / a;
        volume += a * step;
    }
    r.endSize = d + t * step;
    sum = n * sum + sec.endCorrection(r.endSize);
    const double a1 = sec.area(s1);
    r.length = static_cast<double>((target - sum) * a1);
    r.volume = n * volume + r.length * a1;
    return r;
}

// Growth mode: one flare from the size s1 grows slice by slice (each s1/10000 long) until its acoustic
// mass with the end correction at its mouth passes 99 % of the target, or the slices run out. The
// length is the middle of the last slice, half a slice short of the mouth whose size is kept.
template <class Section>
SliceResult flareGrowth(const Section& sec, double s1, double t, long double target)
{
    SliceResult r;
    const double step = s1 / 10000.0;
    const double limit = static_cast<double>(0.99L * target);
    double sum = 0, volume = 0, x = 0, end = s1;
    int i = 0;
    for (; i < kGrowthSlices; ++i) {
        x = (i + 0.5) * step;
        const double d = s1 + 2.0 * t * x;
        end = d + t * step;
        const double a = sec.area(d);
        sum += step / a;
        volume += a * step;
        if (sum + sec.endCorrection(end) > limit)
            break;
    }
    r.length = x;
    r.endSize = end;
    r.volume = volume;
    r.capped = i == kGrowthSlices;
    return r;
}

} // namespace vx::kit
