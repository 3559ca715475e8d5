// Slot ports with flat walls, through the geometry operation as the window runs it.
#include "CalcRig.h"
#include "PortRows.h"
#include "core/BranchKit.h"
#include "core/Branches.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace vx;
using namespace vx::test;

namespace {

// Digits after the separator of a field's text.
std::size_t decimals(const std::string& text, char sep)
{
    const auto at = text.find(sep);
    return at == std::string::npos ? 0 : text.size() - at - 1;
}

// ---- the rectangle factor ---------------------------------------------------------------------------

struct FactorRow {
    double w, h, expected;
};

class RectangleFactor : public ::testing::TestWithParam<FactorRow> {};

TEST_P(RectangleFactor, GrowsAsTheSlotGetsFlatter)
{
    const auto& r = GetParam();
    if (std::isnan(r.expected))
        EXPECT_TRUE(std::isnan(GetK(r.w, r.h))) << r.w << " x " << r.h;
    else
        EXPECT_NEAR(static_cast<double>(GetK(r.w, r.h)), r.expected, 1e-15) << r.w << " x " << r.h;
}

const double kNoFactor = std::nan("");

INSTANTIATE_TEST_SUITE_P(Rectangles, RectangleFactor,
                         ::testing::Values(FactorRow{1, 1, 2 / std::sqrt(M_PI)}, FactorRow{2, 1, 3 / std::sqrt(2 * M_PI)},
                                           FactorRow{1, 2, 3 / std::sqrt(2 * M_PI)},
                                           FactorRow{0.2, 0.1, 3 / std::sqrt(2 * M_PI)},
                                           FactorRow{0, 1, kNoFactor}, FactorRow{1, 0, kNoFactor},
                                           FactorRow{-2, 1, kNoFactor}, FactorRow{-1, -1, kNoFactor}));

// ---- the reference design with everything defaulted -------------------------------------------------

INSTANTIATE_TEST_SUITE_P(
    Slot, PortDesign,
    ::testing::Combine(
        ::testing::Values(
            DesignRow{"Box",
                      BOX,
                      {{"EditBoxW", "0"}, {"EditBoxH", "0"}},
                      {{"EditBoxH", "50.39"}, {"EditBoxL", "309.91"}, {"EditORF", "555"}}},
            DesignRow{"WedgeGiven",
                      PRISM,
                      {{"EditPriW1", "100"}, {"EditPriH", "38.09"}, {"EditPriA", "0"}},
                      {{"EditPriW1", "100"}, {"EditPriH", "38.09"}, {"EditPriA", "8"}, {"EditORF", ""}}},
            // the smallest height the warning asks for passes
            DesignRow{"Wedge3809", PRISM, {{"EditPriW1", "100"}, {"EditPriH", "38.09"}, {"EditPriA", "8"}}, {}},
            DesignRow{"SlotHourglass",
                      PRISMBOXPRISM,
                      {{"EditPriBoxPriW1", "0"}, {"EditPriBoxPriH", "0"}, {"EditPriBoxPriA", "0"},
                       {"EditPriBoxPriL1", "0"}},
                      {{"EditPriBoxPriH", "47.61"}, {"EditPriBoxPriA", "8"}, {"EditPriBoxPriL1", "75.58"},
                       {"EditPriBoxPriL", "190.66"}, {"EditPriBoxPriW", "81.24"}, {"EditORF", "4355"}}}),
        ::testing::ValuesIn(kSeparators)),
    RowAndSeparatorName());

class SlotDefaults : public ::testing::TestWithParam<char> {};

TEST_P(SlotDefaults, BoxWidthDefaultIsWrittenUnrounded)
{
    CalcRig rig(GetParam());
    rig.choose(BOX);
    rig.put({{"EditBoxW", "0"}, {"EditBoxH", "0"}});
    rig.calc.RecalcRes(true);
    const std::string width = rig.text("EditBoxW");
    EXPECT_EQ(width.substr(0, 7), rig.n("100.776"));
    EXPECT_GT(decimals(width, GetParam()), 2u);
    EXPECT_NEAR(*rig.number("EditBoxW"), std::sqrt(M_PI / 2) * rig.state.Dpmin * 1000, 1e-9);
    EXPECT_NEAR(rig.state.BoxW, *rig.number("EditBoxW"), 1e-9);
    EXPECT_NEAR(rig.state.BoxH, 50.39, 0.005);
    EXPECT_GT(decimals(formatFloat(rig.state.BoxH, '.'), '.'), 2u); // kept unrounded
    EXPECT_EQ(rig.text("EditSIn"), rig.text("EditSout"));
}

TEST_P(SlotDefaults, WedgeDefaultsEndWithTheUnroundedWidth)
{
    CalcRig rig(GetParam());
    rig.choose(PRISM);
    rig.put({{"EditPriW1", "0"}, {"EditPriH", "0"}, {"EditPriA", "0"}});
    rig.calc.RecalcRes(true);
    EXPECT_TRUE(rig.form.messages.empty());
    const double w = std::sqrt(rig.state.Smin * std::cbrt(2.0));
    EXPECT_NEAR(*rig.number("EditPriW1"), w * 1000, 1e-9);
    EXPECT_GT(decimals(rig.text("EditPriW1"), GetParam()), 2u);
    EXPECT_NEAR(*rig.number("EditPriH"), rig.state.Smin / w * 1000, 0.005);
    EXPECT_LE(decimals(rig.text("EditPriH"), GetParam()), 2u);
    EXPECT_EQ(rig.text("EditPriA"), "8");
    EXPECT_DOUBLE_EQ(rig.state.PriA, 8);
    EXPECT_DOUBLE_EQ(rig.state.AspectK, std::cbrt(2.0));
    EXPECT_EQ(rig.text("EditORF"), "");
    // the outlet is the width at the reported length
    const double length = *rig.number("EditPriL");
    EXPECT_NEAR(*rig.number("EditPriW"), w * 1000 + 2 * length * std::tan(8 * M_PI / 180), 0.006);
}

TEST_P(SlotDefaults, WedgeWidthIsFirstShownRoundedThenReplaced)
{
    CalcRig rig(GetParam());
    rig.choose(PRISM);
    rig.put({{"EditPriW1", "0"}, {"EditPriH", "0"}, {"EditPriA", "0"}});
    std::vector<std::string> written; // what the editor's change handler saw
    rig.form.onChange["EditPriW1"] = [&] { written.push_back(rig.text("EditPriW1")); };
    rig.calc.RecalcRes(true);
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(decimals(written[0], GetParam()), 2u);
    EXPECT_GT(decimals(written[1], GetParam()), 2u);
    EXPECT_NEAR(*parseFloat(written[0], GetParam()), *parseFloat(written[1], GetParam()), 0.005);
    EXPECT_NEAR(rig.state.PriW1, *parseFloat(written[1], GetParam()), 1e-9);
}

// The default throat width is the root of Smin times the proportion taken in extended precision and
// only then stored as a Double: its unrounded text differs in the last digit for some designs when the
// product is rounded to a Double first.
TEST_P(SlotDefaults, WedgeWidthDefaultIsTakenInExtendedPrecision)
{
    for (int fbTenths = 100; fbTenths <= 300; ++fbTenths) {
        CalcRig rig(GetParam());
        rig.choose(PRISM);
        rig.put("EditFb", formatFloat(fbTenths / 10.0L, '.'));
        rig.put({{"EditPriW1", "0"}, {"EditPriH", "0"}, {"EditPriA", "0"}});
        rig.calc.RecalcRes(true); // a low tuning may ask about a long wedge; the width is written all the same
        const double proportion = static_cast<double>(std::cbrt(2.0L)); // kept as a Double
        const double w = static_cast<double>(std::sqrt(static_cast<long double>(rig.state.Smin) * proportion));
        const double wMm = static_cast<double>(w * 1000.0L);
        EXPECT_EQ(rig.text("EditPriW1"), formatFloat(wMm, GetParam())) << fbTenths;
        EXPECT_EQ(rig.state.PriW1, wMm) << fbTenths;
    }
}

TEST_P(SlotDefaults, SlotHourglassDefaultWidth)
{
    CalcRig rig(GetParam());
    rig.choose(PRISMBOXPRISM);
    rig.put({{"EditPriBoxPriW1", "0"}, {"EditPriBoxPriH", "0"}, {"EditPriBoxPriA", "0"}, {"EditPriBoxPriL1", "0"}});
    rig.calc.RecalcRes(true);
    EXPECT_EQ(rig.text("EditPriBoxPriW1").substr(0, 7), rig.n("59.9895"));
    EXPECT_GT(decimals(rig.text("EditPriBoxPriW1"), GetParam()), 2u);
    EXPECT_NEAR(rig.state.PriBoxPriW1, *rig.number("EditPriBoxPriW1"), 1e-9);
    EXPECT_DOUBLE_EQ(rig.state.PriBoxPriA, 8);
    EXPECT_NEAR(rig.state.PriBoxPriL1, 75.58, 0.005);
    EXPECT_NEAR(rig.calc.Lorf, 190.66 - 2 * rig.state.PriBoxPriL1, 0.006);
}

TEST_P(SlotDefaults, UnreadableWedgeLengthTakesItsDefault)
{
    for (const char* text : {"abc", "", "1..2"}) {
        CalcRig rig(GetParam());
        rig.choose(BOXPRISM);
        rig.put({{"EditBoxPriW1", "0"}, {"EditBoxPriH", "0"}, {"EditBoxPriA", "0"}});
        rig.form.texts["EditBoxPriL1"] = text;
        rig.calc.RecalcRes(true);
        EXPECT_TRUE(rig.form.messages.empty()) << text;
        const double l = *rig.number("EditBoxPriL1");
        EXPECT_NEAR(l, rig.state.BoxPriW1 * std::cbrt(2.0), 0.005) << text;
        EXPECT_LE(decimals(rig.text("EditBoxPriL1"), GetParam()), 2u);
        EXPECT_FALSE(rig.text("EditBoxPriL").empty());
        EXPECT_FALSE(rig.text("EditORF").empty());
    }
}

// The defaulted sizes meet the minimum area exactly in theory; the check must never refuse them (a long
// wedge or a short straight part may still be refused for its own reason).
TEST_P(SlotDefaults, DefaultSizesPassTheMinimumHeightCheck)
{
    for (int shape : {PRISM, BOXPRISM, PRISMBOXPRISM}) {
        for (int ports : {1, 2, 5}) {
            for (double fb = 25; fb <= 60; fb += 0.5) {
                CalcRig rig(GetParam());
                rig.choose(shape);
                rig.form.spins["SpinEdNPorts"] = ports;
                rig.put("EditFb", formatFloat(fb, '.'));
                for (const auto& key : {"W1", "H", "A", "L1"}) {
                    const std::string field = std::string(shape == PRISM ? "EditPri" : shape == BOXPRISM ? "EditBoxPri"
                                                                                                         : "EditPriBoxPri") +
                                              key;
                    rig.form.texts[field] = "0";
                }
                rig.calc.RecalcRes(true);
                for (const auto& m : rig.form.messages) // a wide wedge may still ask about its length
                    ASSERT_EQ(m.text.find("Значение h"), std::string::npos)
                        << "shape " << shape << " ports " << ports << " Fb " << fb << ": " << m.text;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Separators, SlotDefaults, ::testing::ValuesIn(kSeparators), SeparatorName());

// ---- the minimum height -----------------------------------------------------------------------------

constexpr const char* kTooLow = "Значение h слишком мало. Должно быть не менее ";

INSTANTIATE_TEST_SUITE_P(
    SlotHeight, PortRefusal,
    ::testing::Combine(
        ::testing::Values(
            RefusalRow{"Wedge38", PRISM, {{"EditPriW1", "100"}, {"EditPriH", "38"}, {"EditPriA", "8"}},
                       MsgType::Warning, kTooLow, "EditPriH", {"EditPriL", "EditPriW"}, "38.09"},
            RefusalRow{"TubeWedge30",
                       BOXPRISM,
                       {{"EditBoxPriW1", "100"}, {"EditBoxPriH", "30"}, {"EditBoxPriA", "8"}, {"EditBoxPriL1", "50"}},
                       MsgType::Warning,
                       kTooLow,
                       "EditBoxPriH",
                       {"EditBoxPriL", "EditBoxPriW"},
                       "38.09"},
            RefusalRow{"SlotHourglass40",
                       PRISMBOXPRISM,
                       {{"EditPriBoxPriW1", "50"}, {"EditPriBoxPriH", "40"}, {"EditPriBoxPriA", "8"},
                        {"EditPriBoxPriL1", "50"}},
                       MsgType::Warning,
                       kTooLow,
                       "EditPriBoxPriH",
                       {"EditPriBoxPriL", "EditPriBoxPriW"},
                       "57.13"}),
        ::testing::ValuesIn(kSeparators)),
    RowAndSeparatorName());

TEST(MinimumHeight, AssignsWidthAndHeightBeforeTheCheck)
{
    CalcRig rig('.');
    rig.choose(PRISM);
    rig.state.PriA = 3;
    rig.put({{"EditPriW1", "100"}, {"EditPriH", "38"}, {"EditPriA", "8"}});
    rig.calc.RecalcRes(true);
    EXPECT_DOUBLE_EQ(rig.state.PriW1, 100);
    EXPECT_DOUBLE_EQ(rig.state.PriH, 38);
    EXPECT_DOUBLE_EQ(rig.state.PriA, 3); // the wedge's angle is not kept before the check
}

// ---- a wedge too long for its straight part --------------------------------------------------------

INSTANTIATE_TEST_SUITE_P(
    SlotLongWedge, PortRefusal,
    ::testing::Combine(
        ::testing::Values(
            RefusalRow{"TubeWedge",
                       BOXPRISM,
                       {{"EditBoxPriW1", "80"}, {"EditBoxPriH", "50"}, {"EditBoxPriA", "8"}, {"EditBoxPriL1", "5000"}},
                       MsgType::Information,
                       "Нужно уменьшить длину раструба",
                       "EditBoxPriL1",
                       {"EditBoxPriL", "EditBoxPriW"},
                       nullptr,
                       "EditBoxPriA"},
            RefusalRow{"SlotHourglass",
                       PRISMBOXPRISM,
                       {{"EditPriBoxPriW1", "80"}, {"EditPriBoxPriH", "50"}, {"EditPriBoxPriA", "8"},
                        {"EditPriBoxPriL1", "400"}},
                       MsgType::Information,
                       "Нужно уменьшить длину раструба",
                       "EditPriBoxPriL1",
                       {"EditPriBoxPriL", "EditPriBoxPriW"},
                       nullptr,
                       "EditPriBoxPriA"}),
        ::testing::ValuesIn(kSeparators)),
    RowAndSeparatorName());

// ---- the wedge that never reaches its target --------------------------------------------------------

TEST(WedgeCap, WideWedgeAsksOnceAndShowsTheCappedWedge)
{
    for (char sep : kSeparators) {
        CalcRig rig(sep);
        rig.choose(PRISM);
        rig.put({{"EditPriW1", "0"}, {"EditPriH", "0"}, {"EditPriA", "60"}});
        rig.calc.RecalcRes(true);
        ASSERT_EQ(rig.form.messages.size(), 1u);
        EXPECT_EQ(rig.form.messages[0].type, MsgType::Confirmation);
        EXPECT_EQ(rig.form.messages[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(rig.form.messages[0].text, "Вам точно нужен такой длинный раструб?\rУменьшите угол.");
        EXPECT_NEAR(*rig.number("EditPriL"), 300.00005 * rig.state.PriW1, 0.006);
        EXPECT_FALSE(rig.text("EditSout").empty());
    }
}

// ---- the volume of the wedge page ---------------------------------------------------------------------

// The wedge alone is a trapezoid from throat to outlet times its height, for every port: worked out from
// the sizes the page shows (to 0.01 mm), so only the shown litre (to 0.001) and those roundings differ.
TEST(WedgeVolume, IsTheTrapezoidTimesTheHeightOfEveryPort)
{
    for (char sep : kSeparators) {
        for (int ports : {1, 3}) {
            CalcRig rig(sep);
            rig.form.spins["SpinEdNPorts"] = ports;
            rig.choose(PRISM);
            rig.put({{"EditPriW1", "100"}, {"EditPriH", "40"}, {"EditPriA", "8"}});
            rig.calc.RecalcRes(true);
            ASSERT_TRUE(rig.form.messages.empty()) << rig.firstMessage();
            const double throat = *rig.number("EditPriW1"), outlet = *rig.number("EditPriW");
            const double length = *rig.number("EditPriL"), height = *rig.number("EditPriH");
            ASSERT_GT(outlet, throat);
            const double litres = (throat + outlet) / 2 * length * height * ports / 1e6;
            EXPECT_NEAR(*rig.number("EdVtot"), litres, 0.001) << ports << " ports, '" << sep << "'";
        }
    }
}

TEST(GetLW, OutletIsTakenAtTheEndOfTheLastSlice)
{
    CalcRig rig('.');
    rig.calc.RecalcMins();
    struct Row {
        double n, w1, alpha, l1, h;
    };
    for (const Row& r : {Row{1, 0.07, 8, 0.09, 0.05}, Row{2, 0.06, 8, 0.075, 0.047}, Row{1, 0.1, 20, 0.03, 0.02}}) {
        rig.calc.GetLW(r.n, r.w1, r.alpha, r.l1, r.h);
        EXPECT_NEAR(rig.state.W2, r.w1 + 2 * std::tan(r.alpha * M_PI / 180) * 1.0001 * r.l1, 1e-12);
    }
}

// ---- steep walls and sizes that are none ------------------------------------------------------------


INSTANTIATE_TEST_SUITE_P(
    SlotSteepWall, PortRefusal,
    ::testing::Combine(
        ::testing::Values(
            RefusalRow{"Wedge90", PRISM, {{"EditPriW1", "100"}, {"EditPriH", "40"}, {"EditPriA", "90"}},
                       MsgType::Warning, kAngleText, "EditPriA", {"EditPriL", "EditPriW"}},
            RefusalRow{"TubeWedge100",
                       BOXPRISM,
                       {{"EditBoxPriW1", "100"}, {"EditBoxPriH", "40"}, {"EditBoxPriA", "100"}, {"EditBoxPriL1", "50"}},
                       MsgType::Warning,
                       kAngleText,
                       "EditBoxPriA",
                       {"EditBoxPriL", "EditBoxPriW"}},
            RefusalRow{"SlotHourglass90",
                       PRISMBOXPRISM,
                       {{"EditPriBoxPriW1", "0"}, {"EditPriBoxPriH", "0"}, {"EditPriBoxPriA", "90"},
                        {"EditPriBoxPriL1", "0"}},
                       MsgType::Warning,
                       kAngleText,
                       "EditPriBoxPriA",
                       {"EditPriBoxPriL", "EditPriBoxPriW"}}),
        ::testing::ValuesIn(kSeparators)),
    RowAndSeparatorName());

} // namespace
