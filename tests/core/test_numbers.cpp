#include "core/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <limits>

using namespace vx;

struct FloatTextRow {
    const char* text;
    char sep;
    bool readable;
    double value;
};

void PrintTo(const FloatTextRow& r, std::ostream* os)
{
    *os << '"' << r.text << "\" sep '" << r.sep << "'";
}

class ParseFloatTable : public ::testing::TestWithParam<FloatTextRow> {};

TEST_P(ParseFloatTable, ReadsOrRefuses)
{
    const auto& r = GetParam();
    auto v = parseFloat(r.text, r.sep);
    ASSERT_EQ(v.has_value(), r.readable) << r.text;
    if (r.readable) {
        EXPECT_DOUBLE_EQ(*v, r.value) << r.text;
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseFloatTable, ::testing::Values(
    FloatTextRow{"45", '.', true, 45}, FloatTextRow{"45", ',', true, 45},
    FloatTextRow{"  7.5 ", '.', true, 7.5}, FloatTextRow{"7,5", ',', true, 7.5},
    FloatTextRow{"45,0", '.', false, 0}, FloatTextRow{"45.0", ',', false, 0},
    FloatTextRow{"-12.25", '.', true, -12.25}, FloatTextRow{"+3", '.', true, 3},
    FloatTextRow{"1E-5", '.', true, 1e-5}, FloatTextRow{"1,5e3", ',', true, 1500},
    FloatTextRow{".5", '.', true, 0.5}, FloatTextRow{"5.", '.', true, 5},
    FloatTextRow{"", '.', false, 0}, FloatTextRow{"   ", '.', false, 0},
    FloatTextRow{".", '.', false, 0}, FloatTextRow{"1e", '.', false, 0},
    FloatTextRow{"1.2.3", '.', false, 0}, FloatTextRow{"inf", '.', false, 0},
    FloatTextRow{"nan", '.', false, 0}, FloatTextRow{"0x10", '.', false, 0},
    FloatTextRow{"12abc", '.', false, 0}, FloatTextRow{"1e999", '.', false, 0},
    FloatTextRow{"- 5", '.', false, 0}));

TEST(ParseInt, WholeNumbersOnly)
{
    EXPECT_EQ(parseInt("210"), 210);
    EXPECT_EQ(parseInt(" -3 "), -3);
    EXPECT_EQ(parseInt("+7"), 7);
    EXPECT_EQ(parseInt("2147483647"), 2147483647);
    EXPECT_EQ(parseInt("-2147483648"), -2147483647 - 1);
    EXPECT_FALSE(parseInt("2147483648"));
    EXPECT_FALSE(parseInt("210.5"));
    EXPECT_FALSE(parseInt("210,0"));
    EXPECT_FALSE(parseInt(""));
    EXPECT_FALSE(parseInt("-"));
    EXPECT_FALSE(parseInt("1e3"));
    EXPECT_FALSE(parseInt("99999999999999999999"));
}

TEST(Round, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(Round(0.5L), 0);
    EXPECT_EQ(Round(1.5L), 2);
    EXPECT_EQ(Round(2.5L), 2);
    EXPECT_EQ(Round(-2.5L), -2);
    EXPECT_EQ(Round(2.5000001L), 3);
    EXPECT_EQ(Round(30991.4L), 30991);
}

struct FormatRow {
    long double value;
    char sep;
    const char* text;
};

void PrintTo(const FormatRow& r, std::ostream* os)
{
    *os << static_cast<double>(r.value) << " sep '" << r.sep << "' -> \"" << r.text << '"';
}

class FormatTable : public ::testing::TestWithParam<FormatRow> {};

TEST_P(FormatTable, GeneralFormat)
{
    EXPECT_EQ(formatFloat(GetParam().value, GetParam().sep), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, FormatTable, ::testing::Values(
    FormatRow{344, '.', "344"}, FormatRow{7.5L, ',', "7,5"}, FormatRow{7.5L, '.', "7.5"},
    FormatRow{0, '.', "0"}, FormatRow{-0.0L, '.', "0"}, FormatRow{9, '.', "9"},
    FormatRow{309.91L, '.', "309.91"}, FormatRow{-12.25L, ',', "-12,25"},
    FormatRow{1.0L / 3.0L, '.', "0.333333333333333"}, FormatRow{100.0L / 3.0L, '.', "33.3333333333333"},
    FormatRow{0.00001L, '.', "0.00001"}, FormatRow{0.000001L, '.', "1E-6"},
    FormatRow{0.0000015L, ',', "1,5E-6"}, FormatRow{1e14L, '.', "100000000000000"},
    FormatRow{1e15L, '.', "1E15"}, FormatRow{1.5e20L, '.', "1.5E20"},
    FormatRow{100.77576827L, '.', "100.77576827"}, FormatRow{0.1L, '.', "0.1"}));

TEST(FormatFloat, DoubleValuesRoundTripThroughFifteenDigits)
{
    for (double v : {80.41, 0.08041, 1.574, 69.64, 123456.789, 1e-5, 2.5e-7}) {
        auto text = formatFloat(v, ',');
        auto back = parseFloat(text, ',');
        ASSERT_TRUE(back) << text;
        EXPECT_NEAR(*back, v, std::fabs(v) * 1e-14) << text;
    }
}

TEST(FormatRounded, ShownValues)
{
    EXPECT_EQ(formatRounded(309.914L, 2, '.'), "309.91");
    EXPECT_EQ(formatRounded(1.5745L, 3, ','), "1,574"); // 1574.5 is a half: goes to even
    EXPECT_EQ(formatRounded(8.996L, 2, '.'), "9");
    EXPECT_EQ(formatRounded(554.6L, 0, '.'), "555");
}

// A shown value beyond the 64-bit range of Round is whole already: it is shown as it is, never wrapped
// round to a number of the other sign.
struct BeyondRow {
    long double value;
    int decimals;
    char sep;
    const char* text;
};

void PrintTo(const BeyondRow& r, std::ostream* os)
{
    *os << static_cast<double>(r.value) << " to " << r.decimals << " sep '" << r.sep << "'";
}

class BeyondTheIntegerRange : public ::testing::TestWithParam<BeyondRow> {};

TEST_P(BeyondTheIntegerRange, KeepsTheValue)
{
    const BeyondRow& r = GetParam();
    EXPECT_EQ(formatRounded(r.value, r.decimals, r.sep), r.text);
}

INSTANTIATE_TEST_SUITE_P(Values, BeyondTheIntegerRange, ::testing::Values(
    BeyondRow{1e17L, 2, '.', "1E17"}, BeyondRow{-1.5e30L, 2, ',', "-1,5E30"}, BeyondRow{7.85e300L, 3, '.', "7.85E300"},
    BeyondRow{9.3e18L, 0, ',', "9,3E18"}, BeyondRow{-2.5e302L, 0, '.', "-2.5E302"},
    BeyondRow{std::numeric_limits<long double>::infinity(), 2, '.', "INF"},
    BeyondRow{1.23456789012345e14L, 2, ',', "123456789012345"}, BeyondRow{-309.914L, 2, ',', "-309,91"}));

struct WholeRow {
    long double value;
    char sep;
    const char* text;
};

void PrintTo(const WholeRow& r, std::ostream* os) { *os << static_cast<double>(r.value) << " sep '" << r.sep << "'"; }

class WholeNumberText : public ::testing::TestWithParam<WholeRow> {};

TEST_P(WholeNumberText, AllDigitsWithinTheRangeGeneralFormatBeyond)
{
    EXPECT_EQ(formatWhole(GetParam().value, GetParam().sep), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, WholeNumberText, ::testing::Values(
    WholeRow{555.4L, '.', "555"}, WholeRow{2764.5L, ',', "2764"}, WholeRow{-344.6L, '.', "-345"},
    WholeRow{1234567890123456789.0L, '.', "1234567890123456789"}, WholeRow{-2.5e302L, ',', "-2,5E302"},
    WholeRow{1e19L, '.', "1E19"}));

