// Slot ports with flat walls, through the geometry operation as the window runs it.
#include "CalcRig.h"
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

using Texts = std::vector<std::pair<const char*, const char*>>;

std::string rowName(const char* name, char sep)
{
    return std::string(name) + (sep == '.' ? "_dot" : "_comma");
}

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

struct DesignRow {
    const char* name;
    int shape;
    Texts given;
    Texts expected;
};

void PrintTo(const DesignRow& r, std::ostream* os) { *os << r.name; }

class SlotDesign : public ::testing::TestWithParam<std::tuple<DesignRow, char>> {};

TEST_P(SlotDesign, FillsDefaultsAndResults)
{
    const auto& [row, sep] = GetParam();
    CalcRig rig(sep);
    rig.choose(row.shape);
    for (const auto& [f, t] : row.given)
        rig.put(f, t);
    rig.calc.RecalcRes(true);
    EXPECT_TRUE(rig.form.messages.empty()) << (rig.form.messages.empty() ? "" : rig.form.messages[0].text);
    for (const auto& [f, t] : row.expected)
        EXPECT_EQ(rig.text(f), rig.n(t)) << f;
    EXPECT_TRUE(rig.noBrokenNumbers());
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SlotDesign,
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
            DesignRow{"SlotHourglass",
                      PRISMBOXPRISM,
                      {{"EditPriBoxPriW1", "0"}, {"EditPriBoxPriH", "0"}, {"EditPriBoxPriA", "0"},
                       {"EditPriBoxPriL1", "0"}},
                      {{"EditPriBoxPriH", "47.61"}, {"EditPriBoxPriA", "8"}, {"EditPriBoxPriL1", "75.58"},
                       {"EditPriBoxPriL", "190.66"}, {"EditPriBoxPriW", "81.24"}, {"EditORF", "4355"}}}),
        ::testing::ValuesIn(kSeparators)),
    [](const auto& info) { return rowName(std::get<0>(info.param).name, std::get<1>(info.param)); });

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

INSTANTIATE_TEST_SUITE_P(Separators, SlotDefaults, ::testing::ValuesIn(kSeparators),
                         [](const auto& info) { return std::string(info.param == '.' ? "dot" : "comma"); });

// ---- the minimum height -----------------------------------------------------------------------------

struct HeightRow {
    const char* name;
    int shape;
    Texts given;
    const char* height;
    const char* smallest; // the height the warning asks for (dotted), or nullptr when it passes
};

void PrintTo(const HeightRow& r, std::ostream* os) { *os << r.name; }

class MinimumHeight : public ::testing::TestWithParam<std::tuple<HeightRow, char>> {};

TEST_P(MinimumHeight, WarnsWithTheSmallestHeight)
{
    const auto& [row, sep] = GetParam();
    CalcRig rig(sep);
    rig.choose(row.shape);
    for (const auto& [f, t] : row.given)
        rig.put(f, t);
    rig.calc.RecalcRes(true);
    if (row.smallest) {
        ASSERT_EQ(rig.form.messages.size(), 1u);
        EXPECT_EQ(rig.form.messages[0].type, MsgType::Warning);
        EXPECT_EQ(rig.form.messages[0].text, "Значение h слишком мало. Должно быть не менее " + rig.n(row.smallest));
        EXPECT_EQ(rig.form.active, row.height);
        EXPECT_EQ(rig.text("EditSIn"), "");
        EXPECT_EQ(rig.text("EditORF"), "");
    } else {
        EXPECT_TRUE(rig.form.messages.empty());
        EXPECT_FALSE(rig.text("EditSIn").empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Heights, MinimumHeight,
    ::testing::Combine(
        ::testing::Values(
            HeightRow{"Wedge38", PRISM, {{"EditPriW1", "100"}, {"EditPriH", "38"}, {"EditPriA", "8"}}, "EditPriH",
                      "38.09"},
            HeightRow{"Wedge3809", PRISM, {{"EditPriW1", "100"}, {"EditPriH", "38.09"}, {"EditPriA", "8"}},
                      "EditPriH", nullptr},
            HeightRow{"TubeWedge30",
                      BOXPRISM,
                      {{"EditBoxPriW1", "100"}, {"EditBoxPriH", "30"}, {"EditBoxPriA", "8"}, {"EditBoxPriL1", "50"}},
                      "EditBoxPriH",
                      "38.09"},
            HeightRow{"SlotHourglass40",
                      PRISMBOXPRISM,
                      {{"EditPriBoxPriW1", "50"}, {"EditPriBoxPriH", "40"}, {"EditPriBoxPriA", "8"},
                       {"EditPriBoxPriL1", "50"}},
                      "EditPriBoxPriH",
                      "57.13"}),
        ::testing::ValuesIn(kSeparators)),
    [](const auto& info) { return rowName(std::get<0>(info.param).name, std::get<1>(info.param)); });

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

struct LongWedgeRow {
    const char* name;
    int shape;
    Texts given;
    const char* angle;
    const char* wedge;
    const char* total;
};

void PrintTo(const LongWedgeRow& r, std::ostream* os) { *os << r.name; }

class LongWedge : public ::testing::TestWithParam<std::tuple<LongWedgeRow, char>> {};

TEST_P(LongWedge, AsksForAShorterWedge)
{
    const auto& [row, sep] = GetParam();
    CalcRig rig(sep);
    rig.choose(row.shape);
    for (const auto& [f, t] : row.given)
        rig.put(f, t);
    rig.calc.RecalcRes(true);
    ASSERT_EQ(rig.form.messages.size(), 1u);
    EXPECT_EQ(rig.form.messages[0].type, MsgType::Information);
    EXPECT_EQ(rig.form.messages[0].text, "Нужно уменьшить длину раструба");
    ASSERT_GE(rig.form.focusHistory.size(), 2u);
    EXPECT_EQ(rig.form.focusHistory[rig.form.focusHistory.size() - 2], row.angle);
    EXPECT_EQ(rig.form.active, row.wedge);
    EXPECT_EQ(rig.text(row.total), "");
    EXPECT_EQ(rig.text("EditSIn"), "");
}

INSTANTIATE_TEST_SUITE_P(
    Wedges, LongWedge,
    ::testing::Combine(
        ::testing::Values(
            LongWedgeRow{"TubeWedge",
                         BOXPRISM,
                         {{"EditBoxPriW1", "80"}, {"EditBoxPriH", "50"}, {"EditBoxPriA", "8"}, {"EditBoxPriL1", "5000"}},
                         "EditBoxPriA",
                         "EditBoxPriL1",
                         "EditBoxPriL"},
            LongWedgeRow{"SlotHourglass",
                         PRISMBOXPRISM,
                         {{"EditPriBoxPriW1", "80"}, {"EditPriBoxPriH", "50"}, {"EditPriBoxPriA", "8"},
                          {"EditPriBoxPriL1", "400"}},
                         "EditPriBoxPriA",
                         "EditPriBoxPriL1",
                         "EditPriBoxPriL"}),
        ::testing::ValuesIn(kSeparators)),
    [](const auto& info) { return rowName(std::get<0>(info.param).name, std::get<1>(info.param)); });

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

struct RefusalRow {
    const char* name;
    int shape;
    Texts given;
    const char* message;
    const char* focus;
};

void PrintTo(const RefusalRow& r, std::ostream* os) { *os << r.name; }

class SlotRefusal : public ::testing::TestWithParam<std::tuple<RefusalRow, char>> {};

TEST_P(SlotRefusal, WarnsOnTheEditorConcerned)
{
    const auto& [row, sep] = GetParam();
    CalcRig rig(sep);
    rig.choose(row.shape);
    for (const auto& [f, t] : row.given)
        rig.put(f, t);
    rig.calc.RecalcRes(true);
    ASSERT_EQ(rig.form.messages.size(), 1u);
    EXPECT_EQ(rig.form.messages[0].text, row.message);
    EXPECT_EQ(rig.form.active, row.focus);
    EXPECT_EQ(rig.text("EditSIn"), "");
    EXPECT_TRUE(rig.noBrokenNumbers());
}

constexpr const char* kAngle = "Неверное значение угла наклона образующей";

INSTANTIATE_TEST_SUITE_P(
    Refusals, SlotRefusal,
    ::testing::Combine(
        ::testing::Values(
            RefusalRow{"Wedge90", PRISM, {{"EditPriW1", "100"}, {"EditPriH", "40"}, {"EditPriA", "90"}}, kAngle,
                       "EditPriA"},
            RefusalRow{"TubeWedge100",
                       BOXPRISM,
                       {{"EditBoxPriW1", "100"}, {"EditBoxPriH", "40"}, {"EditBoxPriA", "100"}, {"EditBoxPriL1", "50"}},
                       kAngle,
                       "EditBoxPriA"},
            RefusalRow{"SlotHourglass90",
                       PRISMBOXPRISM,
                       {{"EditPriBoxPriW1", "0"}, {"EditPriBoxPriH", "0"}, {"EditPriBoxPriA", "90"},
                        {"EditPriBoxPriL1", "0"}},
                       kAngle,
                       "EditPriBoxPriA"}),
        ::testing::ValuesIn(kSeparators)),
    [](const auto& info) { return rowName(std::get<0>(info.param).name, std::get<1>(info.param)); });

// A side that stays 0 or less (an empty boundary group gives no default) would leave the rectangle
// factor without a value: the branch refuses on that side's editor instead.
struct NoSideRow {
    const char* name;
    bool (*branch)(Calc&);
    Texts given;
    const char* message;
    const char* focus;
};

class NoSide : public ::testing::TestWithParam<NoSideRow> {};

TEST_P(NoSide, IsRefusedWithTheSizeWarning)
{
    const auto& row = GetParam();
    CalcRig rig(',');
    for (const auto& [f, t] : row.given)
        rig.put(f, t);
    // no boundary values: Smin and Dpmin are 0
    EXPECT_FALSE(row.branch(rig.calc));
    ASSERT_EQ(rig.form.messages.size(), 1u);
    EXPECT_EQ(rig.form.messages[0].type, MsgType::Warning);
    EXPECT_EQ(rig.form.messages[0].text, row.message);
    EXPECT_EQ(rig.form.active, row.focus);
    for (const auto& [f, t] : row.given) // nothing written over the missing size
        if (std::string(f) == row.focus) {
            EXPECT_EQ(rig.text(row.focus), rig.n(t));
        }
    EXPECT_TRUE(rig.noBrokenNumbers());
}

constexpr const char* kWidth = "Неверное значение ширины порта";
constexpr const char* kHeight = "Неверное значение высоты порта";

INSTANTIATE_TEST_SUITE_P(
    Sides, NoSide,
    ::testing::Values(
        NoSideRow{"BoxWidth", branchBox, {{"EditBoxW", "0"}, {"EditBoxH", "0"}}, kWidth, "EditBoxW"},
        NoSideRow{"BoxHeight", branchBox, {{"EditBoxW", "100"}, {"EditBoxH", "0"}}, kHeight, "EditBoxH"},
        NoSideRow{"WedgeWidth", branchPrism, {{"EditPriW1", "0"}, {"EditPriH", "40"}, {"EditPriA", "8"}}, kWidth,
                  "EditPriW1"},
        NoSideRow{"TubeWedgeHeight",
                  branchBoxPrism,
                  {{"EditBoxPriW1", "60"}, {"EditBoxPriH", "0"}, {"EditBoxPriA", "8"}, {"EditBoxPriL1", "50"}},
                  kHeight,
                  "EditBoxPriH"},
        NoSideRow{"SlotHourglassHeight",
                  branchPrismBoxPrism,
                  {{"EditPriBoxPriW1", "60"}, {"EditPriBoxPriH", "-3"}, {"EditPriBoxPriA", "8"},
                   {"EditPriBoxPriL1", "50"}},
                  kHeight,
                  "EditPriBoxPriH"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
