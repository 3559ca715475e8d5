// Round ports with straight or conical walls, through the geometry operation as the window runs it.
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

// ---- the reference design with everything defaulted -------------------------------------------------

INSTANTIATE_TEST_SUITE_P(
    Round, PortDesign,
    ::testing::Combine(
        ::testing::Values(
            DesignRow{"Tube",
                      TUB,
                      {{"EditTubD", "0"}},
                      {{"EditTubD", "80.41"}, {"EditTubL", "309.91"}, {"EditORF", "555"}, {"EdVtot", "1.574"},
                       {"EditSIn", "50.78"}, {"EditSout", "50.78"}}},
            DesignRow{"TubeNegativeDiameter",
                      TUB,
                      {{"EditTubD", "-5"}},
                      {{"EditTubD", "80.41"}, {"EditTubL", "309.91"}}},
            DesignRow{"Cone4",
                      CONE,
                      {{"EditConD1", "0"}, {"EditConA", "0"}},
                      {{"EditConD1", "69.64"}, {"EditConA", "4"}, {"EditConL", "505.09"}, {"EditORF", ""}}},
            DesignRow{"ConeNegativeAngle",
                      CONE,
                      {{"EditConD1", "69.64"}, {"EditConA", "-3"}},
                      {{"EditConA", "4"}, {"EditConL", "505.09"}, {"EditORF", ""}}},
            DesignRow{"TubeCone",
                      TUBCONE,
                      {{"EditTubConD1", "0"}, {"EditTubConA", "0"}, {"EditTubConL1", "0"}},
                      {{"EditTubConD1", "69.64"}, {"EditTubConA", "4"}, {"EditTubConL1", "69.64"},
                       {"EditTubConL", "240.36"}, {"EditTubConD", "79.38"}, {"EditORF", "1007"},
                       {"EdVtot", "0.954"}}},
            DesignRow{"Hourglass",
                      CONETUBCONE,
                      {{"EditConTubConD1", "0"}, {"EditConTubConA", "0"}, {"EditConTubConL1", "0"}},
                      {{"EditConTubConD1", "60.31"}, {"EditConTubConA", "4"}, {"EditConTubConL1", "60.31"},
                       {"EditConTubConL", "182.85"}, {"EditConTubConD", "68.75"}, {"EditORF", "2764"}}}),
        ::testing::ValuesIn(kSeparators)),
    RowAndSeparatorName());

TEST(RoundDesign, BranchKeepsTheSizesItAssigns)
{
    CalcRig rig(',');
    rig.choose(TUBCONE);
    rig.put({{"EditTubConD1", "0"}, {"EditTubConA", "0"}, {"EditTubConL1", "0"}});
    rig.calc.RecalcRes(true);
    EXPECT_DOUBLE_EQ(rig.state.TubConD1, 69.64);
    EXPECT_DOUBLE_EQ(rig.state.TubConA, 4);
    EXPECT_EQ(rig.state.TubConL1, 0); // the cone length arrives only through its editor
    EXPECT_NEAR(rig.calc.Lorf, 170.72, 0.005);

    rig.choose(TUB);
    rig.put("EditTubD", "0");
    rig.calc.RecalcRes(true);
    EXPECT_DOUBLE_EQ(rig.state.TubD, 80.41);
    EXPECT_NEAR(rig.state.Vtot, 1.574, 0.0005);
}

TEST(RoundDesign, ThreePortsShowTheAreaOfOne)
{
    CalcRig rig('.');
    rig.form.spins["SpinEdNPorts"] = 3;
    rig.choose(TUB);
    rig.put("EditTubD", "100");
    rig.calc.RecalcRes(true);
    EXPECT_EQ(rig.text("EditSIn"), "78.54");
    EXPECT_EQ(rig.text("EditSout"), "78.54");
    EXPECT_EQ(rig.text("EditVmax"), rig.text("EditVout"));
    EXPECT_EQ(rig.text("EditAmax"), rig.text("EditAout"));
    // the volume of all three ports
    const double one = kPi * 0.1 * 0.1 / 4 * *rig.number("EditTubL");
    EXPECT_NEAR(*rig.number("EdVtot"), 3 * one, 0.002);
}

// ---- the cone that never reaches its target ---------------------------------------------------------

TEST(ConeCap, WideConeAsksOnceAndShowsTheCappedCone)
{
    for (char sep : kSeparators) {
        CalcRig rig(sep);
        rig.choose(CONE);
        rig.put({{"EditConD1", "0"}, {"EditConA", "10"}});
        rig.calc.RecalcRes(true);
        ASSERT_EQ(rig.form.messages.size(), 1u);
        EXPECT_EQ(rig.form.messages[0].type, MsgType::Confirmation);
        EXPECT_EQ(rig.form.messages[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(rig.form.messages[0].text, "Вам точно нужен такой длинный конус?\rУменьшите угол.");
        EXPECT_EQ(rig.text("EditConL"), "20892");
        EXPECT_FALSE(rig.text("EditSout").empty()); // the results are shown as usual
        EXPECT_EQ(rig.text("EditORF"), "");
    }
}

// ---- the solver on its own --------------------------------------------------------------------------

TEST(GetL, OutletIsTakenAtTheEndOfTheLastSlice)
{
    CalcRig rig('.');
    rig.calc.RecalcMins();
    struct Row {
        double n, d1, alpha, l1;
    };
    for (const Row& r : {Row{1, 0.07, 4, 0.07}, Row{2, 0.06, 4, 0.06}, Row{1, 0.05, 12, 0.02}}) {
        rig.calc.GetL(r.n, r.d1, r.alpha, r.l1);
        const double t = std::tan(r.alpha * kPi / 180);
        EXPECT_NEAR(rig.state.D2, r.d1 + 2 * t * 1.0001 * r.l1, 1e-12) << r.alpha;
    }
    // growth mode: the length is the middle of the last slice, half a slice short of the outlet
    const double len = rig.calc.GetL(1, 0.07, 4, 0);
    const double t = std::tan(4 * kPi / 180);
    EXPECT_NEAR(rig.state.D2, 0.07 + 2 * t * len + t * 0.07 / 10000, 1e-12);
}

// ---- refusals -----------------------------------------------------------------------------------------

// The straight part of a tube-cone or an hourglass for a cone length l, as the solver gives it.
double straightFor(CalcRig& rig, int cones, double l)
{
    return rig.calc.GetL(cones, 0.06964, 4, l);
}

// The cone length whose straight part is `straight` m (the straight part shrinks as the cone grows).
double coneLengthFor(CalcRig& rig, int cones, double straight)
{
    double lo = 0.001, hi = 2.0;
    for (int i = 0; i < 200; ++i) {
        const double mid = (lo + hi) / 2;
        (straightFor(rig, cones, mid) > straight ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

struct LimitRow {
    const char* name;
    int shape;
    int cones;
    const char* throat;
    const char* angle;
    const char* cone;
    const char* total;
    const char* outlet;
    double straightMm;
    bool refused;
};

void PrintTo(const LimitRow& r, std::ostream* os) { *os << r.name; }

class StraightPartLimit : public ::testing::TestWithParam<std::tuple<LimitRow, char>> {};

TEST_P(StraightPartLimit, RefusesBelowTenMillimetres)
{
    const auto& [row, sep] = GetParam();
    CalcRig rig(sep);
    rig.choose(row.shape);
    rig.calc.RecalcMins();
    const double l = coneLengthFor(rig, row.cones, row.straightMm / 1000);
    rig.put({{row.throat, "69.64"}, {row.angle, "4"}});
    rig.form.texts[row.cone] = formatFloat(l * 1000, sep);
    rig.form.texts["EditSIn"] = "old";
    rig.calc.RecalcRes(true);
    if (row.refused) {
        ASSERT_EQ(rig.form.messages.size(), 1u);
        EXPECT_EQ(rig.form.messages[0].type, MsgType::Information);
        EXPECT_EQ(rig.form.messages[0].text, "Нужно уменьшить длину конуса");
        ASSERT_GE(rig.form.focusHistory.size(), 2u);
        EXPECT_EQ(rig.form.focusHistory[rig.form.focusHistory.size() - 2], row.angle);
        EXPECT_EQ(rig.form.active, row.cone);
        EXPECT_EQ(rig.text(row.total), "");
        EXPECT_EQ(rig.text(row.outlet), "");
        EXPECT_EQ(rig.text("EditSIn"), "");
        EXPECT_EQ(rig.text("EditORF"), "");
    } else {
        EXPECT_TRUE(rig.form.messages.empty());
        EXPECT_NEAR(*rig.number(row.total), (row.straightMm / 1000 + row.cones * l) * 1000, 0.006);
        EXPECT_FALSE(rig.text("EditORF").empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Limits, StraightPartLimit,
    ::testing::Combine(
        ::testing::Values(LimitRow{"TubeCone999", TUBCONE, 1, "EditTubConD1", "EditTubConA", "EditTubConL1",
                                   "EditTubConL", "EditTubConD", 9.99, true},
                          LimitRow{"TubeCone10", TUBCONE, 1, "EditTubConD1", "EditTubConA", "EditTubConL1",
                                   "EditTubConL", "EditTubConD", 10.0001, false},
                          LimitRow{"TubeConeNegative", TUBCONE, 1, "EditTubConD1", "EditTubConA", "EditTubConL1",
                                   "EditTubConL", "EditTubConD", -50, true},
                          LimitRow{"Hourglass999", CONETUBCONE, 2, "EditConTubConD1", "EditConTubConA",
                                   "EditConTubConL1", "EditConTubConL", "EditConTubConD", 9.99, true},
                          LimitRow{"Hourglass10", CONETUBCONE, 2, "EditConTubConD1", "EditConTubConA",
                                   "EditConTubConL1", "EditConTubConL", "EditConTubConD", 10.0001, false}),
        ::testing::ValuesIn(kSeparators)),
    RowAndSeparatorName());


INSTANTIATE_TEST_SUITE_P(
    RoundSteepWall, PortRefusal,
    ::testing::Combine(
        ::testing::Values(
            RefusalRow{"Cone90", CONE, {{"EditConD1", "70"}, {"EditConA", "90"}}, MsgType::Warning, kAngleText,
                       "EditConA", {"EditConL", "EditConD"}},
            RefusalRow{"Cone135", CONE, {{"EditConD1", "70"}, {"EditConA", "135"}}, MsgType::Warning, kAngleText,
                       "EditConA", {"EditConL", "EditConD"}},
            RefusalRow{"TubeCone90",
                       TUBCONE,
                       {{"EditTubConD1", "70"}, {"EditTubConA", "90"}, {"EditTubConL1", "20"}},
                       MsgType::Warning,
                       kAngleText,
                       "EditTubConA",
                       {"EditTubConL", "EditTubConD"}},
            RefusalRow{"Hourglass91",
                       CONETUBCONE,
                       {{"EditConTubConD1", "70"}, {"EditConTubConA", "91.5"}, {"EditConTubConL1", "20"}},
                       MsgType::Warning,
                       kAngleText,
                       "EditConTubConA",
                       {"EditConTubConL", "EditConTubConD"}}),
        ::testing::ValuesIn(kSeparators)),
    RowAndSeparatorName());

} // namespace
