// The rows of the twelve port shapes and the default sizes of their pages, without a window.
#include "core/Dimensions.h"
#include "core/Numbers.h"
#include "core/PageDefaults.h"
#include "core/Shapes.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

using namespace vx;

namespace {

// ---- the rows agree with each other ------------------------------------------------------------------

TEST(ShapeRows, EachButtonHoldsOneRoundAndOneSlotShapeThatAreEachOthersTwins)
{
    for (int n = 1; n <= 6; ++n) {
        const int round = shapeOfButton(n, Round_Section);
        const int slot = shapeOfButton(n, Slot_Section);
        EXPECT_EQ(shapeRow(round).section, Round_Section) << n;
        EXPECT_EQ(shapeRow(slot).section, Slot_Section) << n;
        EXPECT_EQ(shapeRow(round).twin, slot) << n;
        EXPECT_EQ(shapeRow(slot).twin, round) << n;
        // Twins share everything the button stands for.
        EXPECT_EQ(shapeRow(round).button, n);
        EXPECT_EQ(shapeRow(slot).button, n);
        EXPECT_EQ(shapeRow(round).allowedVelocity, shapeRow(slot).allowedVelocity) << n;
        EXPECT_EQ(shapeRow(round).curved, shapeRow(slot).curved) << n;
    }
    for (int t = 0; t < kPortTypeCount; ++t)
        EXPECT_EQ(shapeRow(t).type, t) << "the rows stand in PortType order";
}

struct SectionSwitch {
    int shape, section, expected;
};

TEST(ShapeRows, SectionSwitchTakesTheSameButtonsShape)
{
    const SectionSwitch rows[] = {
        {CONETUBCONE, Slot_Section, PRISMBOXPRISM}, {PRISMBOXPRISM, Round_Section, CONETUBCONE},
        {TUBCONE, Slot_Section, BOXPRISM},          {CURVEFLAT, Round_Section, CURVECONE},
        {CURVECONE, Slot_Section, CURVEFLAT},       {FLARETUBE, Slot_Section, FLAREFLAT},
        {FLAREFLAT, Round_Section, FLARETUBE},      {FLAREFLAT, Slot_Section, FLAREFLAT},
        {BOX, Slot_Section, BOX},                   {-1, Slot_Section, -1},
        {12, Round_Section, 12},
    };
    for (const SectionSwitch& r : rows)
        EXPECT_EQ(shapeInSection(r.shape, r.section), r.expected) << r.shape << " to section " << r.section;
}

TEST(ShapeRows, AllowedVelocityByButton)
{
    const int expected[] = {16, 9, 12, 12, 16, 16, 9, 16}; // no button down, buttons 1 to 6, none again
    for (int n = 0; n <= 7; ++n)
        EXPECT_EQ(velocityOfButton(n), expected[n]) << n;
}

// Every editor a page shows and checks is the editor of one of its own shape's stored dimensions.
bool isOwnEditor(int shape, Field field)
{
    for (const DimensionKey& k : kDimensionKeys)
        if (k.shape == shape && field == "Edit" + std::string(k.key))
            return true;
    return false;
}

// A size a page shows goes into the editor of the dimension it holds.
bool showsItsOwnDimension(const ShownSize& size)
{
    for (const DimensionKey& k : kDimensionKeys)
        if (k.real == size.value)
            return size.field == "Edit" + std::string(k.key);
    return false;
}

TEST(ShapeRows, PagesShowAndCheckTheirOwnShapesEditors)
{
    for (const ShapeRow& row : kShapes) {
        ASSERT_FALSE(row.checks.front().field.empty()) << row.name << ": a page checks at least one editor";
        for (const PageCheck& c : row.checks)
            if (!c.field.empty()) {
                EXPECT_TRUE(isOwnEditor(row.type, c.field)) << row.name << " checks " << c.field;
            }
        for (const ShownSize& s : row.shown)
            if (!s.field.empty()) {
                EXPECT_TRUE(isOwnEditor(row.type, s.field)) << row.name << " shows " << s.field;
                EXPECT_TRUE(showsItsOwnDimension(s)) << row.name << ": " << s.field << " shows another dimension";
            }
        if (row.angle) {
            EXPECT_TRUE(row.wallAngle > 0 && row.wallAngle < 90) << row.name;
        }
    }
}

TEST(ShapeRows, NewProjectsStartFromTheWallAnglesAlone)
{
    struct Start {
        const char* key;
        double value;
    };
    const Start rows[] = {{"ConA", 4},      {"TubConA", 4}, {"ConTubConA", 4}, {"PriA", 8}, {"BoxPriA", 8},
                          {"PriBoxPriA", 8}, {"TubD", 0},   {"ConD1", 0},      {"BoxW", 0}, {"CurveConL", 0},
                          {"FlaBoxR1", 0}};
    for (const Start& r : rows)
        for (const DimensionKey& k : kDimensionKeys)
            if (k.key == r.key) {
                EXPECT_EQ(startingDimension(k.shape, k.real), r.value) << r.key;
            }
}

// ---- the default sizes of the pages --------------------------------------------------------------------

struct Dim {
    double CalcState::*value;
    double v;
};

struct DefaultsRow {
    const char* name;
    int shape;
    std::optional<long double> minDiameterMm;
    double smin; // m²
    std::vector<Dim> given;
    std::vector<Dim> expected; // to 0.005
    bool marks;
    bool complete = true;
};

void PrintTo(const DefaultsRow& r, std::ostream* os) { *os << r.name; }

class PageDefaultsRows : public ::testing::TestWithParam<DefaultsRow> {};

TEST_P(PageDefaultsRows, FillWhatIsMissing)
{
    const DefaultsRow& row = GetParam();
    CalcState s;
    s.Smin = row.smin;
    for (const Dim& d : row.given)
        s.*d.value = d.v;
    const CalcState before = s;
    const PageDefaults got = shapeRow(row.shape).defaults(s, row.minDiameterMm);
    EXPECT_EQ(got.marksModified, row.marks);
    EXPECT_EQ(got.complete, row.complete);
    for (const Dim& d : row.expected)
        EXPECT_NEAR(s.*d.value, d.v, 0.005);
    if (!row.complete) {
        for (const Dim& d : row.given)
            EXPECT_EQ(s.*d.value, before.*d.value) << "nothing filled without the minimum diameter";
    }
}

using S = CalcState;
INSTANTIATE_TEST_SUITE_P(
    Pages, PageDefaultsRows,
    ::testing::Values(
        DefaultsRow{"TubeTakesTheShownMinimumUnrounded", TUB, 70.125L, 0, {{&S::TubD, 0}}, {{&S::TubD, 70.125}}, true},
        DefaultsRow{"TubeGivenNeedsNoMinimum", TUB, std::nullopt, 0, {{&S::TubD, 50}}, {{&S::TubD, 50}}, false},
        DefaultsRow{"TubeWithoutMinimum", TUB, std::nullopt, 0, {{&S::TubD, 0}}, {}, true, false},
        DefaultsRow{"ConeAngleAloneMarks", CONE, std::nullopt, 0, {{&S::ConD1, 60}, {&S::ConA, 0}},
                    {{&S::ConD1, 60}, {&S::ConA, 4}}, true},
        DefaultsRow{"TubeConeStraightPartFromTheDiameter", TUBCONE, 100.0L, 0,
                    {{&S::TubConD1, 0}, {&S::TubConL1, 0}, {&S::TubConA, 4}},
                    {{&S::TubConD1, 100}, {&S::TubConL1, 125.99}, {&S::TubConA, 4}}, true},
        DefaultsRow{"TubeConeStraightPartAloneMarks", TUBCONE, 100.0L, 0,
                    {{&S::TubConD1, 80}, {&S::TubConL1, 0}, {&S::TubConA, 5}},
                    {{&S::TubConD1, 80}, {&S::TubConL1, 100.79}, {&S::TubConA, 5}}, true},
        DefaultsRow{"HourglassStraightPartAloneMarks", CONETUBCONE, std::nullopt, 0,
                    {{&S::ConTubConD1, 80}, {&S::ConTubConL1, 0}, {&S::ConTubConA, 5}},
                    {{&S::ConTubConD1, 80}, {&S::ConTubConL1, 100.79}, {&S::ConTubConA, 5}}, true},
        DefaultsRow{"HourglassWithoutMinimum", CONETUBCONE, std::nullopt, 0,
                    {{&S::ConTubConD1, 0}, {&S::ConTubConL1, 0}, {&S::ConTubConA, 0}}, {}, true, false},
        DefaultsRow{"SlotFromTheArea", BOX, std::nullopt, 0.01, {{&S::BoxW, 0}, {&S::BoxH, 0}},
                    {{&S::BoxW, 112.25}, {&S::BoxH, 89.09}}, true},
        DefaultsRow{"WedgeAngleAloneDoesNotMark", PRISM, std::nullopt, 0.01,
                    {{&S::PriW1, 30}, {&S::PriH, 20}, {&S::PriA, 0}}, {{&S::PriA, 8}, {&S::PriW1, 30}}, false},
        DefaultsRow{"SlotHourglassInTheRootOfThree", PRISMBOXPRISM, std::nullopt, 0.01,
                    {{&S::PriBoxPriW1, 0}, {&S::PriBoxPriH, 0}, {&S::PriBoxPriL1, 0}, {&S::PriBoxPriA, 0}},
                    {{&S::PriBoxPriW1, 131.61},
                     {&S::PriBoxPriH, 75.98},
                     {&S::PriBoxPriL1, 227.95},
                     {&S::PriBoxPriA, 8}},
                    true},
        DefaultsRow{"SlotWedgeGivenWidthDrivesTheRest", BOXPRISM, std::nullopt, 0.01,
                    {{&S::BoxPriW1, 100}, {&S::BoxPriH, 0}, {&S::BoxPriL1, 0}, {&S::BoxPriA, 0}},
                    {{&S::BoxPriH, 79.37}, {&S::BoxPriL1, 125.99}, {&S::BoxPriA, 8}}, true},
        DefaultsRow{"CurvedSlotLengthAndHeight", CURVEFLAT, std::nullopt, 0,
                    {{&S::CurveFlatL, 0}, {&S::CurveFlatH, -2}}, {{&S::CurveFlatL, 100}, {&S::CurveFlatH, 10}}, true},
        DefaultsRow{"RoundedTubeHalvesToEven", FLARETUBE, 90.0L, 0,
                    {{&S::FlaTubD, 0}, {&S::FlaTubR1, -1}, {&S::FlaTubR2, -1}},
                    {{&S::FlaTubD, 90}, {&S::FlaTubR1, 22}, {&S::FlaTubR2, 22}}, true},
        DefaultsRow{"RoundedTubeSharpEdgeStays", FLARETUBE, std::nullopt, 0,
                    {{&S::FlaTubD, 90}, {&S::FlaTubR1, 0}, {&S::FlaTubR2, 0}},
                    {{&S::FlaTubR1, 0}, {&S::FlaTubR2, 0}}, false},
        DefaultsRow{"RoundedTubeRadiusAloneMarks", FLARETUBE, std::nullopt, 0,
                    {{&S::FlaTubD, 90}, {&S::FlaTubR1, 10}, {&S::FlaTubR2, -1}},
                    {{&S::FlaTubR1, 10}, {&S::FlaTubR2, 10}}, true},
        DefaultsRow{"RoundedSlotSquareInWholeMillimetres", FLAREFLAT, 81.55L, 0,
                    {{&S::FlaBoxW, 0}, {&S::FlaBoxH, 0}, {&S::FlaBoxR1, -1}, {&S::FlaBoxR2, -1}},
                    {{&S::FlaBoxW, 58}, {&S::FlaBoxH, 58}, {&S::FlaBoxR1, 14}, {&S::FlaBoxR2, 14}}, true},
        DefaultsRow{"RoundedSlotWithoutMinimum", FLAREFLAT, std::nullopt, 0,
                    {{&S::FlaBoxW, 0}, {&S::FlaBoxH, 0}, {&S::FlaBoxR1, -1}, {&S::FlaBoxR2, -1}}, {}, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PageDefaults, MultiplierInTenthsBecomesPercent)
{
    const std::pair<int, int> rows[] = {{3, 30}, {0, 0}, {10, 10}, {50, 50}, {-2, -20}};
    for (const auto& [stored, shown] : rows) {
        CalcState s;
        s.CurveConL = 100;
        s.CurveConDiv = stored;
        s.CurveFlatL = 100;
        s.CurveFlatH = 10;
        s.CurveFlatDiv = stored;
        EXPECT_FALSE(defaultsCurveCone(s, std::nullopt).marksModified);
        EXPECT_FALSE(defaultsCurveFlat(s, std::nullopt).marksModified);
        EXPECT_EQ(s.CurveConDiv, shown) << stored;
        EXPECT_EQ(s.CurveFlatDiv, shown) << stored;
    }
}

// The branch and the page fill a rounded end by one rule, the page in whole millimetres.
TEST(RoundedEndDefaults, OneRuleExactOrInWholeUnits)
{
    const RoundedEnds exact = roundedEndDefaults({0, -1, -1}, 80.41, Rounding::Exact);
    EXPECT_EQ(exact.size, 80.41);
    EXPECT_EQ(exact.r1, 20.1025);
    EXPECT_EQ(exact.r2, 20.1025);
    const RoundedEnds whole = roundedEndDefaults({0, -1, -1}, 80.41, Rounding::Whole);
    EXPECT_EQ(whole.size, 80);
    EXPECT_EQ(whole.r1, 20);
    EXPECT_EQ(whole.r2, 20);
    const RoundedEnds given = roundedEndDefaults({90, 0, -0.5}, 1000, Rounding::Whole);
    EXPECT_EQ(given.size, 90) << "a given size stays";
    EXPECT_EQ(given.r1, 0) << "a sharp edge stays";
    EXPECT_EQ(given.r2, 0) << "r2 takes r1";
}

} // namespace
