// The calculator's arithmetic without a window: the input filter under both separators, the port
// sections and the tuning frequency of a 50-litre box with a round and with a slot port.
#include "core/Calc.h"
#include "core/Numbers.h"
#include "core/PortTuning.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

namespace {

struct FilterRow {
    const char* typed;
    char sep;
    const char* kept;
};

void PrintTo(const FilterRow& r, std::ostream* os)
{
    *os << '"' << r.typed << "\" with '" << r.sep << "'";
}

const FilterRow kFilterRows[] = {
    {"12,5", '.', "12.5"},   {"12.5", ',', "12,5"},   // the other separator becomes the system's
    {"1.2.3", '.', "1.23"},  {"1,2,3", ',', "1,23"},  // later separators are dropped
    {"1,2,3", '.', "1.23"},  {"1.2.3", ',', "1,23"},  // the first other one stands for the system's
    {",5", '.', "0.5"},      {".5", ',', "0,5"},      // a leading separator gets its zero
    {"-7e3", '.', "73"},     {"-7e3", ',', "73"},     // no sign, no exponent
    {"", '.', ""},           {"", ',', ""},
    {"3.14", ',', "3,14"},   {"3,14", '.', "3.14"},
    {"1.5,2", ',', "15,2"},  {"1,5.2", '.', "15.2"},  // the system's separator wins over an earlier other one
    {"1,5.2", ',', "1,52"},  {"1.5,2", '.', "1.52"},
    {" 4 2 ", '.', "42"},    {"+3", ',', "3"},
    {"12б5", '.', "125"},    {"абв", ',', ""},        // letters of any alphabet are dropped
    {".", '.', "0."},        {",", '.', "0."},
    {"5.", '.', "5."},       {"5,", ',', "5,"},
};

class InputFilter : public testing::TestWithParam<FilterRow> {};

} // namespace

TEST_P(InputFilter, KeepsDigitsAndOneSeparator)
{
    const FilterRow& r = GetParam();
    EXPECT_EQ(vx::CheckFloat(r.typed, r.sep), r.kept);
}

TEST_P(InputFilter, FilteringTwiceChangesNothing)
{
    const FilterRow& r = GetParam();
    const std::string once = vx::CheckFloat(r.typed, r.sep);
    EXPECT_EQ(vx::CheckFloat(once, r.sep), once);
}

INSTANTIATE_TEST_SUITE_P(Rows, InputFilter, testing::ValuesIn(kFilterRows));

TEST(PortTuning, RoundPort100MmOn50Litres)
{
    const vx::PortArea p = vx::roundPortArea(100);
    EXPECT_NEAR(static_cast<double>(p.S), 0.00785398, 1e-8);
    EXPECT_NEAR(static_cast<double>(p.A), 10.4384, 1e-4);
    const long double fb = vx::tuningFrequency(50, 200, p, 1, 344);
    EXPECT_NEAR(static_cast<double>(fb), 40.8627, 1e-4);
    EXPECT_EQ(vx::formatRounded(fb, 1, '.'), "40.9");
    EXPECT_EQ(vx::formatRounded(fb, 1, ','), "40,9");
}

TEST(PortTuning, SlotPort200By50MmOn50Litres)
{
    const vx::PortArea p = vx::slotPortArea(200, 50);
    EXPECT_NEAR(static_cast<double>(vx::GetK(200, 50)), 1.41047, 1e-5);
    EXPECT_NEAR(static_cast<double>(p.S), 0.01, 1e-15);
    EXPECT_NEAR(static_cast<double>(p.A), 9.25080, 1e-5);
    const long double fb = vx::tuningFrequency(50, 200, p, 1, 344);
    EXPECT_NEAR(static_cast<double>(fb), 45.2715, 1e-4);
    EXPECT_EQ(vx::formatRounded(fb, 1, '.'), "45.3");
    EXPECT_EQ(vx::formatRounded(fb, 1, ','), "45,3");
}

TEST(PortTuning, SlotEndTermIsThatOfTheRoundPortOfTheSameArea)
{
    const long double sides[][2] = {{200, 50}, {100, 100}, {300, 20}, {12.5, 80}};
    for (const auto& s : sides) {
        const vx::PortArea slot = vx::slotPortArea(s[0], s[1]);
        const long double De = 2 * std::sqrt(s[0] * s[1] / vx::kPi);
        const vx::PortArea round = vx::roundPortArea(De);
        EXPECT_NEAR(static_cast<double>(slot.S), static_cast<double>(round.S), 1e-15) << s[0] << " x " << s[1];
        EXPECT_NEAR(static_cast<double>(slot.A), static_cast<double>(round.A), 1e-12) << s[0] << " x " << s[1];
    }
}

TEST(PortTuning, FrequencyGrowsWithTheRootOfTheCountAndTheSpeedOfSound)
{
    const vx::PortArea p = vx::roundPortArea(100);
    const long double one = vx::tuningFrequency(50, 200, p, 1, 344);
    EXPECT_NEAR(static_cast<double>(vx::tuningFrequency(50, 200, p, 4, 344) / one), 2.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(vx::tuningFrequency(50, 200, p, 1, 330) / one), 330.0 / 344.0, 1e-15);
    EXPECT_EQ(vx::tuningFrequency(50, 200, p, 0, 344), 0) << "no port, no tuning";
}

TEST(PortTuning, ConversionTurnsFrequencyAndWavelengthIntoEachOther)
{
    EXPECT_EQ(vx::formatRounded(vx::soundConversion(344, 344), 3, '.'), "1");
    EXPECT_EQ(vx::formatRounded(vx::soundConversion(344, 0.5), 3, ','), "688");
    EXPECT_EQ(vx::formatRounded(vx::soundConversion(344, 3), 3, '.'), "114.667");
    EXPECT_EQ(vx::formatRounded(vx::soundConversion(344, 3), 3, ','), "114,667");
}
