// The pieces the geometry branches share: editors in millimetres, defaults and refusals.
#include "CalcRig.h"
#include "PortRows.h"
#include "core/BranchKit.h"
#include "core/Branches.h"
#include "core/Shapes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>

using namespace vx;
using namespace vx::test;

namespace {

struct ShowRow {
    double metres;
    const char* shown; // dotted
};

void PrintTo(const ShowRow& r, std::ostream* os) { *os << r.metres; }

class ShowMm : public ::testing::TestWithParam<std::tuple<ShowRow, char>> {};

TEST_P(ShowMm, ShowsMillimetresWithTwoDecimals)
{
    const auto& [row, sep] = GetParam();
    CalcRig rig(sep);
    kit::showMm(rig.form, "EditX", row.metres);
    EXPECT_EQ(rig.text("EditX"), rig.n(row.shown));
}

INSTANTIATE_TEST_SUITE_P(Lengths, ShowMm,
                         ::testing::Combine(::testing::Values(ShowRow{0.080408, "80.41"}, ShowRow{0.0804049, "80.4"},
                                                              ShowRow{0.3, "300"}, ShowRow{-0.0123456, "-12.35"},
                                                              ShowRow{0.000004, "0"}, ShowRow{20.892003482, "20892"}),
                                            ::testing::ValuesIn(kSeparators)));

struct ReadRow {
    const char* text;
    double metres; // 0: missing or unreadable
};

class ReadMm : public ::testing::TestWithParam<std::tuple<ReadRow, char>> {};

TEST_P(ReadMm, ReadsMillimetresAsMetres)
{
    const auto& [row, sep] = GetParam();
    CalcRig rig(sep);
    rig.put("EditX", row.text);
    EXPECT_DOUBLE_EQ(kit::readMm(rig.form, "EditX"), row.metres) << row.text;
}

INSTANTIATE_TEST_SUITE_P(Texts, ReadMm,
                         ::testing::Combine(::testing::Values(ReadRow{"80.41", 0.08041}, ReadRow{"-5", -0.005},
                                                              ReadRow{"", 0}, ReadRow{"abc", 0}, ReadRow{"1E3", 1}),
                                            ::testing::ValuesIn(kSeparators)));

class SizeOrDefault : public ::testing::TestWithParam<char> {};

TEST_P(SizeOrDefault, KeepsAGivenSizeAndWritesBackAReplacement)
{
    CalcRig rig(GetParam());
    rig.put("EditX", "12");
    EXPECT_EQ(kit::sizeOrDefault(rig.form, "EditX", 0.012, 0.5, kit::WriteBack::Exact, kBadWidth), 0.012);
    EXPECT_EQ(rig.text("EditX"), "12");

    for (double missing : {0.0, -0.003, std::nan("")}) {
        rig.put("EditX", "0");
        EXPECT_EQ(kit::sizeOrDefault(rig.form, "EditX", missing, 0.0123456, kit::WriteBack::Exact, kBadWidth),
                  0.0123456);
        EXPECT_EQ(rig.text("EditX"), rig.n("12.3456"));
        EXPECT_EQ(kit::sizeOrDefault(rig.form, "EditX", missing, 0.0123456, kit::WriteBack::Shown, kBadWidth),
                  0.0123456); // computation goes on unrounded
        EXPECT_EQ(rig.text("EditX"), rig.n("12.35"));
    }
    EXPECT_TRUE(rig.form.messages.empty());
}

TEST_P(SizeOrDefault, RefusesWhenTheReplacementIsNoSize)
{
    for (double replacement : {0.0, -1.0, std::nan(""), HUGE_VAL}) {
        CalcRig rig(GetParam());
        rig.put("EditX", "0");
        EXPECT_EQ(kit::sizeOrDefault(rig.form, "EditX", 0, replacement, kit::WriteBack::Shown, kBadHeight),
                  std::nullopt);
        ASSERT_EQ(rig.form.messages.size(), 1u);
        EXPECT_EQ(rig.form.messages[0].text, "Неверное значение высоты порта");
        EXPECT_EQ(rig.form.active, "EditX");
        EXPECT_EQ(rig.text("EditX"), "0");
    }
}

INSTANTIATE_TEST_SUITE_P(Separators, SizeOrDefault, ::testing::ValuesIn(kSeparators),
                         [](const auto& info) { return std::string(info.param == '.' ? "dot" : "comma"); });

TEST(EndCorrection, SlotEqualsRoundOfTheSameArea)
{
    for (auto [w, h] : {std::pair{0.1, 0.05}, std::pair{0.2, 0.01}, std::pair{0.06, 0.06}}) {
        const double de = 2 * std::sqrt(w * h / M_PI);
        EXPECT_NEAR(kit::slotEndCorrection(w, h), kit::roundEndCorrection(de), 1e-12) << w << " x " << h;
        EXPECT_NEAR(kit::slotEndCorrection(w, h),
                    static_cast<double>(kPi * GetK(w, h) / ((w + h) * 1.916L)), 1e-12);
    }
}

TEST(Angles, OnlyAFlareBetweenZeroAndNinetyDegrees)
{
    for (auto [deg, ok] : {std::pair{4.0, true}, std::pair{89.9, true}, std::pair{90.0, false},
                           std::pair{135.0, false}, std::pair{0.0, false}, std::pair{-8.0, false}})
        EXPECT_EQ(kit::angleUsable(deg), ok) << deg;
}

// ---- branches without boundary values ---------------------------------------------------------------

// A missing size whose default comes from an empty boundary group (no minimum diameter shown, no
// minimum area) has no default: the branch refuses on that editor with the page's own warning rather
// than computing from 0 or writing a size that is none.
struct NoDefaultRow {
    const char* name;
    bool (*branch)(Calc&);
    Texts given;
    const char* message;
    const char* focus;
};

void PrintTo(const NoDefaultRow& r, std::ostream* os) { *os << r.name; }

class NoDefault : public ::testing::TestWithParam<std::tuple<NoDefaultRow, char>> {};

TEST_P(NoDefault, RefusesTheMissingSize)
{
    const auto& [row, sep] = GetParam();
    CalcRig rig(sep);
    rig.put(row.given);
    EXPECT_FALSE(row.branch(rig.calc));
    ASSERT_EQ(rig.form.messages.size(), 1u) << rig.firstMessage();
    EXPECT_EQ(rig.form.messages[0].type, MsgType::Warning);
    EXPECT_EQ(rig.form.messages[0].text, row.message);
    EXPECT_EQ(rig.form.active, row.focus);
    for (const auto& [f, t] : row.given) // nothing written over the missing size
        if (std::string(f) == row.focus) {
            EXPECT_EQ(rig.text(row.focus), rig.n(t));
        }
    for (Field f : {Field("EditTubL"), Field("EditConL"), Field("EditBoxL"), Field("EditPriL"), Field("EditFlaTubL"),
                    Field("EditFlaBoxL")})
        EXPECT_EQ(rig.text(f), "") << f;
    EXPECT_TRUE(rig.noBrokenNumbers());
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, NoDefault,
    ::testing::Combine(
        ::testing::Values(
            NoDefaultRow{"Tube", branchTub, {{"EditTubD", "0"}}, kDiameterText, "EditTubD"},
            NoDefaultRow{"Cone", branchCone, {{"EditConD1", "0"}, {"EditConA", "4"}}, kDiameterText, "EditConD1"},
            NoDefaultRow{"TubeCone", branchTubCone, {{"EditTubConD1", "0"}, {"EditTubConA", "4"}, {"EditTubConL1", "50"}},
                         kDiameterText, "EditTubConD1"},
            NoDefaultRow{"Hourglass", branchConeTubCone,
                         {{"EditConTubConD1", "-1"}, {"EditConTubConA", "4"}, {"EditConTubConL1", "50"}}, kDiameterText,
                         "EditConTubConD1"},
            NoDefaultRow{"BoxWidth", branchBox, {{"EditBoxW", "0"}, {"EditBoxH", "0"}}, kWidthText, "EditBoxW"},
            NoDefaultRow{"BoxHeight", branchBox, {{"EditBoxW", "100"}, {"EditBoxH", "0"}}, kHeightText, "EditBoxH"},
            NoDefaultRow{"WedgeWidth", branchPrism, {{"EditPriW1", "0"}, {"EditPriH", "40"}, {"EditPriA", "8"}},
                         kWidthText, "EditPriW1"},
            NoDefaultRow{"TubeWedgeHeight", branchBoxPrism,
                         {{"EditBoxPriW1", "60"}, {"EditBoxPriH", "0"}, {"EditBoxPriA", "8"}, {"EditBoxPriL1", "50"}},
                         kHeightText, "EditBoxPriH"},
            NoDefaultRow{"SlotHourglassHeight", branchPrismBoxPrism,
                         {{"EditPriBoxPriW1", "60"}, {"EditPriBoxPriH", "-3"}, {"EditPriBoxPriA", "8"},
                          {"EditPriBoxPriL1", "50"}},
                         kHeightText, "EditPriBoxPriH"},
            NoDefaultRow{"RoundedTube", branchFlareTube,
                         {{"EditFlaTubD", "0"}, {"EditFlaTubR1", "5"}, {"EditFlaTubR2", "5"}}, kDiameterText,
                         "EditFlaTubD"},
            NoDefaultRow{"RoundedSlotWidth", branchFlareFlat,
                         {{"EditFlaBoxW", "0"}, {"EditFlaBoxH", "50"}, {"EditFlaBoxR1", "5"}, {"EditFlaBoxR2", "5"}},
                         kWidthText, "EditFlaBoxW"},
            NoDefaultRow{"RoundedSlotHeight", branchFlareFlat,
                         {{"EditFlaBoxW", "100"}, {"EditFlaBoxH", "0"}, {"EditFlaBoxR1", "5"}, {"EditFlaBoxR2", "5"}},
                         kHeightText, "EditFlaBoxH"}),
        ::testing::ValuesIn(kSeparators)),
    RowAndSeparatorName());

} // namespace
