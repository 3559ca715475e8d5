// Ports with rounded ends: the rounding slices on their own, then the round and slot pages through the
// geometry operation as the window runs it.
#include "CalcRig.h"
#include "PortRows.h"
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

// ---- the reference design through the geometry operation --------------------------------------------

const Texts kTube100r25{{"EditFlaTubD", "100"}, {"EditFlaTubR1", "25"}, {"EditFlaTubR2", "25"}};

INSTANTIATE_TEST_SUITE_P(
    RoundedEnds, PortDesign,
    ::testing::Combine(
        ::testing::Values(
            DesignRow{"Tube100r25", FLARETUBE, kTube100r25,
                      {{"EditFlaTubL", "484.7"}, {"EditSIn", "78.54"}, {"EditSout", "176.71"}, {"EdVtot", "4.292"},
                       {"EditFlaTubD", "100"}, {"EditFlaTubR1", "25"}, {"EditFlaTubR2", "25"}}},
            DesignRow{"Tube100NoRounding", FLARETUBE,
                      {{"EditFlaTubD", "100"}, {"EditFlaTubR1", "0"}, {"EditFlaTubR2", "0"}},
                      {{"EditFlaTubL", "499.31"}, {"EditSout", "78.54"}, {"EditFlaTubR1", "0"}, {"EditFlaTubR2", "0"}}},
            DesignRow{"Tube100r25TwoPorts", FLARETUBE, kTube100r25,
                      {{"EditFlaTubL", "1065.99"}, {"EditSIn", "78.54"}, {"EditSout", "176.71"}}, 2},
            DesignRow{"Slot125x62.5r30", FLAREFLAT,
                      {{"EditFlaBoxW", "125"}, {"EditFlaBoxH", "62.5"}, {"EditFlaBoxR1", "30"}, {"EditFlaBoxR2", "30"}},
                      {{"EditFlaBoxL", "456.1"}, {"EditSIn", "78.12"}, {"EditSout", "115.62"}}},
            // missing sizes take their defaults and go back into their editors
            DesignRow{"TubeDefaults", FLARETUBE,
                      {{"EditFlaTubD", "0"}, {"EditFlaTubR1", "-1"}, {"EditFlaTubR2", "-1"}},
                      {{"EditFlaTubD", "80.41"}, {"EditFlaTubR1", "20.1025"}, {"EditFlaTubR2", "20.1025"}}},
            DesignRow{"TubeNegativeDiameterKeepsRadii", FLARETUBE,
                      {{"EditFlaTubD", "-7"}, {"EditFlaTubR1", "10"}, {"EditFlaTubR2", "-0.5"}},
                      {{"EditFlaTubD", "80.41"}, {"EditFlaTubR1", "10"}, {"EditFlaTubR2", "10"}}},
            DesignRow{"SlotDefaults", FLAREFLAT,
                      {{"EditFlaBoxW", "0"}, {"EditFlaBoxH", "0"}, {"EditFlaBoxR1", "0"}, {"EditFlaBoxR2", "0"}},
                      {{"EditFlaBoxH", "50.39"}, {"EditFlaBoxR1", "0"}, {"EditFlaBoxR2", "0"}}}),
        ::testing::ValuesIn(kSeparators)),
    RowAndSeparatorName());

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

// A negative r1 that leaves the mouth no width, after a design computed with sound radii.
const Texts kSlot125x62_5r30{
    {"EditFlaBoxW", "125"}, {"EditFlaBoxH", "62.5"}, {"EditFlaBoxR1", "30"}, {"EditFlaBoxR2", "30"}};

INSTANTIATE_TEST_SUITE_P(
    RoundedSlotMouth, PortRefusal,
    ::testing::Combine(::testing::Values(RefusalRow{"MouthOfNoWidth", FLAREFLAT, {{"EditFlaBoxR1", "-62.5"}},
                                                    MsgType::Warning, "Неверное значение радиуса скругления",
                                                    "EditFlaBoxR1", {"EditFlaBoxL"}, nullptr, nullptr,
                                                    kSlot125x62_5r30},
                                         RefusalRow{"MouthNarrowerThanNothing", FLAREFLAT, {{"EditFlaBoxR1", "-70.25"}},
                                                    MsgType::Warning, "Неверное значение радиуса скругления",
                                                    "EditFlaBoxR1", {"EditFlaBoxL"}, nullptr, nullptr,
                                                    kSlot125x62_5r30}),
                       ::testing::ValuesIn(kSeparators)),
    RowAndSeparatorName());

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
