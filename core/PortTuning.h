#pragma once
// The calculator's arithmetic: the input filter of its editors, the wavelength of a sound and the
// tuning frequency of a box with existing ports. Plain functions of numbers and text.

#include <string>
#include <string_view>

namespace vx {

// Keeps the digits of S and one decimal separator. When S holds sep, the digits before its first sep,
// sep, and the digits after it; otherwise the digits with sep in place of the first other separator.
// A leading separator gets a "0" in front. Signs, blanks and exponent letters never pass.
std::string CheckFloat(std::string_view S, char sep);

// Wavelength in m of a frequency in Hz, or the frequency of a wavelength in m: the same quotient.
long double soundConversion(long double us, long double value);

// One port's cross-section S (m^2) and its end term A (1/m): the correction of both ends over S.
struct PortArea {
    long double S;
    long double A;
};

// A round port of diameter D in mm.
PortArea roundPortArea(long double D);
// A slot of width W and height H in mm.
PortArea slotPortArea(long double W, long double H);

// Tuning frequency in Hz of a box of Vb litres with N ports of length L mm and the given section.
long double tuningFrequency(long double Vb, long double L, const PortArea& port, long double N, long double us);

} // namespace vx
