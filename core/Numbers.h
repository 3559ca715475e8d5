#pragma once
// Numbers as text, the one way every field, the settings file and the calculator read and write them.
// The decimal separator is always handed in: the window takes it from the system locale, and the C
// library's own conversions cannot be trusted once the application has switched its locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vx {

// Extended-precision constants of the calculation (the values the design formulas were tuned with).
inline constexpr long double kPi = 3.141592653589793L;
inline constexpr long double kTwoPi = 6.283185307179586L;
inline constexpr long double kFourPiSquared = 39.478417604357434L;

// Nearest integer, halves to the even neighbour, under the default rounding mode.
std::int64_t Round(long double x);

// Round for a shown value: beyond the 64-bit range of Round a long double is whole already (and an
// infinity stays one), so it is kept as it is instead of wrapping round to a wrong number.
long double roundWhole(long double x);

// roundWhole(x * 10^decimals) / 10^decimals: the value a field shows.
long double roundTo(long double x, int decimals);

// Floating-point text: blanks around, optional sign, digits with at most one separator, optional
// exponent ("1,5E-3"). Anything else (the other separator, "inf", hex, an empty text) is unreadable.
std::optional<double> parseFloat(std::string_view text, char sep);

// Whole-number text in the 32-bit range: blanks around, optional sign, digits only ("210.5" is not one).
std::optional<int> parseInt(std::string_view text);

// General format: up to 15 significant digits, no trailing zeros; fixed notation unless the value is
// below 0.00001 in magnitude or has more than 15 integer digits, then "1,5E-6" / "1E20".
std::string formatFloat(long double v, char sep);

// A field's shown value: formatFloat(roundTo(x, decimals)).
std::string formatRounded(long double x, int decimals, char sep);

std::string formatInt(std::int64_t v);

// A whole number shown: Round(x) with all its digits, or, beyond the 64-bit range, the general format.
std::string formatWhole(long double x, char sep);

} // namespace vx
