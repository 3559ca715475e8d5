#include "core/PortTuning.h"

#include "core/Calc.h"
#include "core/Numbers.h"

#include <cmath>

namespace vx {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

void appendDigits(std::string& out, std::string_view s)
{
    for (char c : s)
        if (isDigit(c))
            out += c;
}

} // namespace

std::string CheckFloat(std::string_view S, char sep)
{
    const char other = sep == '.' ? ',' : '.';
    std::string out;
    const std::size_t first = S.find(sep);
    if (first != std::string_view::npos) {
        appendDigits(out, S.substr(0, first));
        out += sep;
        appendDigits(out, S.substr(first + 1));
    } else {
        bool placed = false;
        for (char c : S) {
            if (isDigit(c)) {
                out += c;
            } else if (c == other && !placed) {
                out += sep;
                placed = true;
            }
        }
    }
    if (!out.empty() && out.front() == sep)
        out.insert(out.begin(), '0');
    return out;
}

long double soundConversion(long double us, long double value)
{
    return us / value;
}

PortArea roundPortArea(long double D)
{
    // 1/(0.958 D) with D in metres: the end correction of a round port, flanged inside and out.
    return {kPi * D * D / 4 / 1000000, (1 / D) * 1000 / 0.958L};
}

PortArea slotPortArea(long double W, long double H)
{
    // The slot's correction: that of the circle of the same area, through the rectangle factor.
    return {W * H / 1000000, GetK(W, H) * kPi / ((W + H) * 1.916L / 1000)};
}

long double tuningFrequency(long double Vb, long double L, const PortArea& port, long double N, long double us)
{
    const long double X = L / port.S / 1000 + port.A; // effective length over the area, 1/m
    return std::sqrt(N / (X * Vb / 1000)) * (us / kTwoPi);
}

} // namespace vx
