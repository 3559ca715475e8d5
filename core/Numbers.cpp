#include "Numbers.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>

namespace vx {

std::int64_t Round(long double x)
{
    return static_cast<std::int64_t>(std::llrint(x));
}

namespace {

// 2^63: from here on (and for infinities and NaN) llrint has no 64-bit result.
constexpr long double kIntegerLimit = 9223372036854775808.0L;

bool fitsRound(long double x)
{
    return std::fabs(x) < kIntegerLimit;
}

} // namespace

long double roundWhole(long double x)
{
    return fitsRound(x) ? static_cast<long double>(Round(x)) : x;
}

long double roundTo(long double x, int decimals)
{
    long double scale = 1.0L;
    for (int i = 0; i < decimals; ++i)
        scale *= 10.0L;
    return roundWhole(x * scale) / scale;
}

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<double> parseFloat(std::string_view text, char sep)
{
    std::string_view s = trim(text);
    std::string plain; // the same number with "." as separator, sign kept, '+' dropped
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-')
            plain += '-';
        ++i;
    }
    bool digits = false;
    while (i < s.size() && isDigit(s[i])) {
        plain += s[i++];
        digits = true;
    }
    if (i < s.size() && s[i] == sep) {
        plain += '.';
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            plain += s[i++];
            digits = true;
        }
    }
    if (!digits)
        return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            if (s[i] == '-')
                plain += '-';
            ++i;
        }
        bool expDigits = false;
        while (i < s.size() && isDigit(s[i])) {
            plain += s[i++];
            expDigits = true;
        }
        if (!expDigits)
            return std::nullopt;
    }
    if (i != s.size())
        return std::nullopt;

    double value = 0.0;
    auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (ec != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> parseInt(std::string_view text)
{
    std::string_view s = trim(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty())
        return std::nullopt;
    long long value = 0;
    for (char c : s) {
        if (!isDigit(c))
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > 2147483647LL)
        return std::nullopt;
    return static_cast<int>(value);
}

std::string formatFloat(long double v, char sep)
{
    if (std::isnan(v))
        return "NAN";
    if (std::isinf(v))
        return v > 0 ? "INF" : "-INF";
    if (v == 0.0L)
        return "0";

    // 15 significant digits, correctly rounded: d.dddddddddddddde±x
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
    std::string sci(buf, res.ptr);
    bool negative = sci[0] == '-';
    std::size_t p = negative ? 1 : 0;
    std::string digits;
    std::size_t e = sci.find_first_of("eE");
    for (std::size_t k = p; k < e; ++k)
        if (isDigit(sci[k]))
            digits += sci[k];
    int exponent = std::stoi(sci.substr(e + 1));
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= -5 && exponent < 15) {
        if (exponent < 0) {
            out += '0';
            out += sep;
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out += digits;
        } else {
            std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= intDigits) {
                out += digits;
                out.append(intDigits - digits.size(), '0');
            } else {
                out += digits.substr(0, intDigits);
                out += sep;
                out += digits.substr(intDigits);
            }
        }
    } else {
        out += digits[0];
        if (digits.size() > 1) {
            out += sep;
            out += digits.substr(1);
        }
        out += 'E';
        out += std::to_string(exponent);
    }
    return out;
}

std::string formatRounded(long double x, int decimals, char sep)
{
    return formatFloat(roundTo(x, decimals), sep);
}

std::string formatInt(std::int64_t v)
{
    return std::to_string(v);
}

std::string formatWhole(long double x, char sep)
{
    return fitsRound(x) ? formatInt(Round(x)) : formatFloat(x, sep);
}

} // namespace vx
