// Ports with rounded ends: the rounding slices on their own, then the round and slot pages through the
// geometry operation as the window runs it.
#include "CalcRig.h"
#include "core/Branches.h"
#include "core/FlaredPorts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace vx;
using namespace vx::test;

namespace {

using Texts = std::vector<std::pair<const char*, const char*>>;

std::string rowName(const char* name, char sep)
{
    return std::string(name) + (sep == '.' ? "_dot" : "_comma");
}

// ---- the reference design through the geometry operation --------------------------------------------

struct PageRow {
    const char* name;
    int shape;
    int ports;
    Texts given;
    Texts expected;
};

void PrintTo(const PageRow& r, std::ostream* os) { *os << r.name; }

class RoundedEndsPage : public ::testing::TestWithParam<std::tuple<PageRow, char>> {};

TEST_P(RoundedEndsPage, ShowsTheStraightPart)
{
    const auto& [row, sep] = GetParam();
    CalcRig rig(sep);
    rig.choose(row.shape);
    rig.form.spins["SpinEdNPorts"] = row.ports;
    for (const auto& [f, t] : row.given)
        rig.put(f, t);
    rig.calc.RecalcRes(true);
    EXPECT_TRUE(rig.form.messages.empty()) << (rig.form.messages.empty() ? "" : rig.form.messages[0].text);
    for (const auto& [f, t] : row.expected)
        EXPECT_EQ(rig.text(f), rig.n(t)) << f;
    EXPECT_FALSE(rig.text("EditORF").empty()); // the straight part has its pipe resonance
    EXPECT_TRUE(rig.noBrokenNumbers());
}

const Texts kTube100r25{{"EditFlaTubD", "100"}, {"EditFlaTubR1", "25"}, {"EditFlaTubR2", "25"}};

INSTANTIATE_TEST_SUITE_P(
    Examples, RoundedEndsPage,
    ::testing::Combine(
        ::testing::Values(
            PageRow{"Tube100r25", FLARETUBE, 1, kTube100r25,
                    {{"EditFlaTubL", "484.7"}, {"EditSIn", "78.54"}, {"EditSout", "176.71"}, {"EdVtot", "4.292"},
                     {"EditFlaTubD", "100"}, {"EditFlaTubR1", "25"}, {"EditFlaTubR2", "25"}}},
            PageRow{"Tube100NoRounding", FLARETUBE, 1,
                    {{"EditFlaTubD", "100"}, {"EditFlaTubR1", "0"}, {"EditFlaTubR2", "0"}},
                    {{"EditFlaTubL", "499.31"}, {"EditSout", "78.54"}, {"EditFlaTubR1", "0"}, {"EditFlaTubR2", "0"}}},
            PageRow{"Tube100r25TwoPorts", FLARETUBE, 2, kTube100r25,
                    {{"EditFlaTubL", "1065.99"}, {"EditSIn", "78.54"}, {"EditSout", "176.71"}}},
            PageRow{"Slot125x62.5r30", FLAREFLAT, 1,
                    {{"EditFlaBoxW", "125"}, {"EditFlaBoxH", "62.5"}, {"EditFlaBoxR1", "30"}, {"EditFlaBoxR2", "30"}},
                    {{"EditFlaBoxL", "456.1"}, {"EditSIn", "78.12"}, {"EditSout", "115.62"}}},
            // missing sizes take their defaults and go back into their editors
            PageRow{"TubeDefaults", FLARETUBE, 1,
                    {{"EditFlaTubD", "0"}, {"EditFlaTubR1", "-1"}, {"EditFlaTubR2", "-1"}},
                    {{"EditFlaTubD", "80.41"}, {"EditFlaTubR1", "20.1025"}, {"EditFlaTubR2", "20.1025"}}},
            PageRow{"TubeNegativeDiameterKeepsRadii", FLARETUBE, 1,
                    {{"EditFlaTubD", "-7"}, {"EditFlaTubR1", "10"}, {"EditFlaTubR2", "-0.5"}},
                    {{"EditFlaTubD", "80.41"}, {"EditFlaTubR1", "10"}, {"EditFlaTubR2", "10"}}},
            PageRow{"SlotDefaults", FLAREFLAT, 1,
                    {{"EditFlaBoxW", "0"}, {"EditFlaBoxH", "0"}, {"EditFlaBoxR1", "0"}, {"EditFlaBoxR2", "0"}},
                    {{"EditFlaBoxH", "50.39"}, {"EditFlaBoxR1", "0"}, {"EditFlaBoxR2", "0"}}}),
        ::testing::ValuesIn(kSeparators)),
    [](const auto& info) {
        std::string name = rowName(std::get<0>(info.param).name, std::get<1>(info.param));
        for (char& c : name)
            if (c == '.')
                c = '_';
        return name;
    });

// ---- replacement rules ------------------------------------------------------------------------------

TEST(RoundedSlotDefaults, WidthUnroundedHeightToHundredthsBothKept)
{
    for (char sep : kSeparators) {
        CalcRig rig(sep);
        rig.choose(FLAREFLAT);
        rig.put({{"EditFlaBoxW", "-3"}, {"EditFlaBoxH", "0"}, {"EditFlaBoxR1", "0"}, {"EditFlaBoxR2", "0"}});
        rig.state.BoxW = 11;
        rig.state.BoxH = 22;
        rig.calc.RecalcRes(true);
        ASSERT_TRUE(rig.form.messages.empty());
        // the width of a 2:1 slot with the area of a circle of the minimum diameter: 100.776... mm
        const auto w = rig.number("EditFlaBoxW");
        ASSERT_TRUE(w);
        EXPECT_NEAR(*w, std::sqrt(std::numbers::pi / 2) * rig.state.Dpmin * 1000, 1e-9);
        EXPECT_EQ(std::floor(*w * 1000), 100776);
        EXPECT_GT(rig.text("EditFlaBoxW").size(), 8u) << "written back unrounded";
        EXPECT_NEAR(rig.state.FlaBoxW, *w, 1e-9);
        EXPECT_NEAR(rig.state.FlaBoxH, rig.state.Smin / (*w / 1000) * 1000, 1e-9); // kept unrounded
        EXPECT_EQ(rig.text("EditFlaBoxH"), rig.n("50.39"));
        // the rectangular tube keeps its own sizes
        EXPECT_EQ(rig.state.BoxW, 11);
        EXPECT_EQ(rig.state.BoxH, 22);
    }
}

// A zero radius is a sharp edge; only the round page replaces negative ones.
TEST(RoundedEnds, OutletRoundingOnlyOrOtherEndOnly)
{
    const long double t = 74.011997453702L;
    const auto plain = fitRoundedEnds(t, 0.1, 0, 0, 0);
    const auto outletOnly = fitRoundedEnds(t, 0.1, 0, 0.025, 0);
    const auto otherOnly = fitRoundedEnds(t, 0.1, 0, 0, 0.025);
    ASSERT_TRUE(plain && outletOnly && otherOnly);
    EXPECT_DOUBLE_EQ(plain->outlet, 0.1);
    EXPECT_DOUBLE_EQ(outletOnly->outlet, 0.15);
    EXPECT_DOUBLE_EQ(otherOnly->outlet, 0.1); // the end correction stays at D
    EXPECT_LT(otherOnly->length, plain->length); // the r2 rounding still shortens the straight part
    // the outlet rounding moves the end correction to its wider mouth
    EXPECT_GT(outletOnly->length, plain->length);
}

TEST(RoundedEnds, NegativeRadiiOnTheSlotPageAddNoRoundingAndNarrowTheMouth)
{
    for (char sep : kSeparators) {
        CalcRig rig(sep), sharp(sep);
        for (CalcRig* r : {&rig, &sharp})
            r->choose(FLAREFLAT);
        rig.put({{"EditFlaBoxW", "125"}, {"EditFlaBoxH", "62.5"}, {"EditFlaBoxR1", "0"}, {"EditFlaBoxR2", "-20"}});
        sharp.put({{"EditFlaBoxW", "125"}, {"EditFlaBoxH", "62.5"}, {"EditFlaBoxR1", "0"}, {"EditFlaBoxR2", "0"}});
        rig.calc.RecalcRes(true);
        sharp.calc.RecalcRes(true);
        EXPECT_EQ(rig.text("EditFlaBoxR2"), rig.n("-20")) << "kept as typed";
        EXPECT_EQ(rig.text("EditFlaBoxL"), sharp.text("EditFlaBoxL"));

        CalcRig narrow(sep);
        narrow.choose(FLAREFLAT);
        narrow.put({{"EditFlaBoxW", "125"}, {"EditFlaBoxH", "62.5"}, {"EditFlaBoxR1", "-12.5"}, {"EditFlaBoxR2", "0"}});
        narrow.calc.RecalcRes(true);
        EXPECT_TRUE(narrow.form.messages.empty());
        EXPECT_EQ(narrow.text("EditSout"), narrow.n("62.5")); // (125 - 25) x 62.5 mm
    }
}

// Roundings that alone pass the target leave a negative straight part: shown as computed, with the
// pipe resonance of that length, as the straight tube shows its own.
TEST(RoundedEnds, RoundingsPastTheTargetShowANegativeStraightPart)
{
    for (char sep : kSeparators) {
        CalcRig rig(sep);
        rig.choose(FLARETUBE);
        rig.put({{"EditFlaTubD", "10"}, {"EditFlaTubR1", "500"}, {"EditFlaTubR2", "500"}});
        rig.calc.RecalcRes(true);
        EXPECT_TRUE(rig.form.messages.empty());
        const auto length = rig.number("EditFlaTubL");
        ASSERT_TRUE(length);
        EXPECT_LT(*length, 0);
        EXPECT_EQ(rig.text("EditORF").front(), '-');
        EXPECT_TRUE(rig.noBrokenNumbers());
    }
}

// ---- refusals --------------------------------------------------------------------------------------

struct RefusalRow {
    const char* name;
    Texts given;
    const char* message;
    const char* focus;
};

void PrintTo(const RefusalRow& r, std::ostream* os) { *os << r.name; }

class RoundedSlotRefusal : public ::testing::TestWithParam<std::tuple<RefusalRow, char>> {};

TEST_P(RoundedSlotRefusal, WarnsWithFocusAndNoResults)
{
    const auto& [row, sep] = GetParam();
    CalcRig rig(sep);
    rig.choose(FLAREFLAT);
    rig.put({{"EditFlaBoxW", "125"}, {"EditFlaBoxH", "62.5"}, {"EditFlaBoxR1", "30"}, {"EditFlaBoxR2", "30"}});
    rig.calc.RecalcRes(true);
    ASSERT_FALSE(rig.text("EditFlaBoxL").empty());
    for (const auto& [f, t] : row.given)
        rig.put(f, t);
    rig.calc.RecalcRes(true);
    ASSERT_EQ(rig.form.messages.size(), 1u);
    EXPECT_EQ(rig.form.messages[0].type, MsgType::Warning);
    EXPECT_EQ(rig.form.messages[0].text, row.message);
    EXPECT_EQ(rig.form.active, row.focus);
    for (Field f : {Field("EditFlaBoxL"), Field("EditSIn"), Field("EditSout"), Field("EditORF"), Field("EdVtot")})
        EXPECT_EQ(rig.text(f), "") << f;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoundedSlotRefusal,
    ::testing::Combine(::testing::Values(RefusalRow{"MouthOfNoWidth", {{"EditFlaBoxR1", "-62.5"}},
                                                    "Неверное значение радиуса скругления", "EditFlaBoxR1"},
                                         RefusalRow{"MouthNarrowerThanNothing", {{"EditFlaBoxR1", "-70.25"}},
                                                    "Неверное значение радиуса скругления", "EditFlaBoxR1"}),
                       ::testing::ValuesIn(kSeparators)),
    [](const auto& info) { return rowName(std::get<0>(info.param).name, std::get<1>(info.param)); });

// The branches on their own, with boundary values that give no default size: a side of no size
// is refused with the page's own warning rather than computed into a factor of no value.
struct BranchRefusalRow {
    const char* name;
    int shape;
    Texts given;
    const char* message;
    const char* focus;
};

void PrintTo(const BranchRefusalRow& r, std::ostream* os) { *os << r.name; }

class RoundedBranchRefusal : public ::testing::TestWithParam<BranchRefusalRow> {};

TEST_P(RoundedBranchRefusal, RefusesASideOfNoSize)
{
    const BranchRefusalRow& row = GetParam();
    CalcRig rig('.');
    rig.choose(row.shape);
    rig.calc.RecalcMins();
    rig.state.Dpmin = 0;
    rig.state.Smin = 0;
    rig.put("EditDpmin", "");
    for (const auto& [f, t] : row.given)
        rig.put(f, t);
    const bool computed = row.shape == FLARETUBE ? branchFlareTube(rig.calc) : branchFlareFlat(rig.calc);
    EXPECT_FALSE(computed);
    ASSERT_EQ(rig.form.messages.size(), 1u);
    EXPECT_EQ(rig.form.messages[0].text, row.message);
    EXPECT_EQ(rig.form.active, row.focus);
    EXPECT_EQ(rig.text(row.shape == FLARETUBE ? "EditFlaTubL" : "EditFlaBoxL"), "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoundedBranchRefusal,
    ::testing::Values(
        BranchRefusalRow{"TubeWithoutDiameter", FLARETUBE,
                         {{"EditFlaTubD", "0"}, {"EditFlaTubR1", "5"}, {"EditFlaTubR2", "5"}},
                         "Неверное значение диаметра порта", "EditFlaTubD"},
        BranchRefusalRow{"SlotWithoutWidth", FLAREFLAT,
                         {{"EditFlaBoxW", "0"}, {"EditFlaBoxH", "50"}, {"EditFlaBoxR1", "5"}, {"EditFlaBoxR2", "5"}},
                         "Неверное значение ширины порта", "EditFlaBoxW"},
        BranchRefusalRow{"SlotWithoutHeight", FLAREFLAT,
                         {{"EditFlaBoxW", "100"}, {"EditFlaBoxH", "0"}, {"EditFlaBoxR1", "5"}, {"EditFlaBoxR2", "5"}},
                         "Неверное значение высоты порта", "EditFlaBoxH"}),
    [](const auto& info) { return std::string(info.param.name); });

// The solvers themselves give no length for sections of no value.
TEST(RoundedEnds, NoLengthForSectionsOfNoValue)
{
    struct Row {
        double size, height, r1;
    };
    for (const Row& r : {Row{0, 0, 0.01}, Row{-0.1, 0, 0}, Row{0.1, 0.05, -0.05}, Row{0.1, 0.05, -0.06},
                         Row{0.1, -0.05, 0}})
        EXPECT_FALSE(fitRoundedEnds(74.0L, r.size, r.height, r.r1, 0).has_value()) << r.size << ' ' << r.r1;

    CalcRig rig('.');
    rig.calc.RecalcMins();
    EXPECT_FALSE(GetLFB(rig.calc, 0.1, 0, 0.01, 0.01).has_value());
    EXPECT_FALSE(GetLFB(rig.calc, 0, 0.05, 0.01, 0.01).has_value());
    EXPECT_FALSE(GetLFT(rig.calc, 0, 0.01, 0.01).has_value());
}

TEST(RoundedEnds, TubeLeavesOutletAndVolumeOfAllPorts)
{
    CalcRig rig('.');
    rig.form.spins["SpinEdNPorts"] = 3;
    rig.calc.RecalcMins();
    const auto length = GetLFT(rig.calc, 0.1, 0.025, 0.02);
    ASSERT_TRUE(length);
    EXPECT_DOUBLE_EQ(rig.state.D2, 0.15);
    const auto fit = fitRoundedEnds(rig.calc.MassTarget(), 0.1, 0, 0.025, 0.02);
    EXPECT_NEAR(rig.state.Vtot, 3 * fit->volume * 1000, 1e-12);
    // the volume holds the straight part and both roundings
    EXPECT_GT(fit->volume, std::numbers::pi * 0.01 / 4 * (*length + 0.045));
}

} // namespace
