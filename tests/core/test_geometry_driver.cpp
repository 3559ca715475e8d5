// The geometry operation around the branches: the page check, the common result block, the colours,
// and what happens when the held inputs give no design.
#include "CalcRig.h"
#include "PortRows.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

using namespace vx;
using namespace vx::test;

namespace {

const std::vector<std::string> kCommonFields{"EditSIn",  "EditSout", "EditVmax", "EditVout",
                                             "EditAmax", "EditAout", "EditORF",  "EdVtot"};

void fillCommon(CalcRig& rig, const std::string& text)
{
    for (const auto& f : kCommonFields)
        rig.form.texts[f] = text;
}

// ---- the rows of every shape ------------------------------------------------------------------------

// The cone, the wedge and the two curved shapes have no straight part and so no pipe resonance.
bool hasStraightPart(int shape)
{
    return shape != CONE && shape != PRISM && shape != CURVECONE && shape != CURVEFLAT;
}

TEST_P(PortDesign, FillsDefaultsAndResults)
{
    const auto& [row, sep] = GetParam();
    CalcRig rig(sep);
    rig.choose(row.shape);
    rig.form.spins["SpinEdNPorts"] = row.ports;
    rig.put(row.given);
    rig.calc.RecalcRes(true);
    EXPECT_TRUE(rig.form.messages.empty()) << rig.firstMessage();
    for (const auto& [f, t] : row.expected)
        EXPECT_EQ(rig.text(f), rig.n(t)) << f;
    EXPECT_FALSE(rig.text("EditSIn").empty());
    EXPECT_EQ(rig.text("EditORF").empty(), !hasStraightPart(row.shape)) << rig.text("EditORF");
    EXPECT_TRUE(rig.noBrokenNumbers());
}

TEST_P(PortRefusal, WarnsOnTheEditorConcernedAndShowsNoFigures)
{
    const auto& [row, sep] = GetParam();
    CalcRig rig(sep);
    rig.choose(row.shape);
    if (!row.before.empty()) {
        rig.put(row.before);
        rig.calc.RecalcRes(true);
        ASSERT_TRUE(rig.form.messages.empty()) << rig.firstMessage();
        ASSERT_FALSE(rig.text("EditSIn").empty());
    }
    rig.put(row.given);
    rig.calc.RecalcRes(true);

    ASSERT_EQ(rig.form.messages.size(), 1u) << rig.firstMessage();
    EXPECT_EQ(rig.form.messages[0].type, row.type);
    EXPECT_EQ(rig.form.messages[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(rig.form.messages[0].text, std::string(row.message) + (row.number ? rig.n(row.number) : ""));
    EXPECT_EQ(rig.form.active, row.focus);
    if (row.focusBefore) {
        ASSERT_GE(rig.form.focusHistory.size(), 2u);
        EXPECT_EQ(rig.form.focusHistory[rig.form.focusHistory.size() - 2], row.focusBefore);
    }
    for (const auto& f : kCommonFields)
        EXPECT_EQ(rig.text(f), "") << f;
    for (const char* f : row.emptied)
        EXPECT_EQ(rig.text(f), "") << f;
    EXPECT_TRUE(rig.noBrokenNumbers());
}

// ---- Tell --------------------------------------------------------------------------------------------

TEST(RecalcRes, WithoutTellDoesNothing)
{
    CalcRig rig('.');
    rig.choose(TUB);
    rig.put({{"EditTubD", "0"}, {"EditVs", "500"}, {"EditFb", "bad"}});
    fillCommon(rig, "old");
    const auto texts = rig.form.texts;
    rig.calc.RecalcRes(false);
    EXPECT_TRUE(rig.form.messages.empty());
    EXPECT_EQ(rig.form.texts, texts);
    EXPECT_TRUE(rig.form.focusHistory.empty());
    EXPECT_EQ(rig.state.Us, 344);
    EXPECT_EQ(rig.state.Fb, 0);
}

// ---- colours -----------------------------------------------------------------------------------------

struct ColourRow {
    double u;
    Colour colour;
};

class VelocityColour : public ::testing::TestWithParam<ColourRow> {};

TEST_P(VelocityColour, FollowsTheUnroundedVelocity)
{
    CalcRig rig('.');
    rig.form.colours["EditVout"] = Colour::Red;
    rig.calc.ProcessFColor(GetParam().u, "EditVout");
    EXPECT_EQ(rig.form.colours["EditVout"], GetParam().colour) << GetParam().u;
}

INSTANTIATE_TEST_SUITE_P(Velocities, VelocityColour,
                         ::testing::Values(ColourRow{30, Colour::Red}, ColourRow{9, Colour::Red},
                                           ColourRow{8.996, Colour::Fuchsia}, ColourRow{6, Colour::Fuchsia},
                                           ColourRow{5.999, Colour::WindowText}, ColourRow{0, Colour::WindowText}));

TEST(RecalcRes, ColoursBothVelocityFields)
{
    CalcRig rig('.');
    rig.choose(CONE);
    rig.put({{"EditConD1", "0"}, {"EditConA", "0"}});
    rig.calc.RecalcRes(true);
    // the throat of the default cone carries the limit of its button; the wide outlet is slow
    const double vmax = *rig.number("EditVmax"), vout = *rig.number("EditVout");
    EXPECT_NEAR(vmax, 12, 0.02);
    EXPECT_EQ(rig.form.colours["EditVmax"], Colour::Red);
    EXPECT_LT(vout, 6);
    EXPECT_EQ(rig.form.colours["EditVout"], Colour::WindowText);
}

// ---- the page check ----------------------------------------------------------------------------------

struct PageRow {
    int shape;
    std::vector<const char*> editors; // in the order the check reads them
    std::vector<const char*> messages;
};

std::vector<PageRow> pageRows()
{
    const char* d = "Неверное значение диаметра порта";
    const char* a = "Неверное значение угла наклона образующей";
    const char* w = "Неверное значение ширины порта";
    const char* h = "Неверное значение высоты порта";
    const char* r = "Неверное значение радиуса скругления";
    const char* len = "Неверное значение длины порта";
    const char* throat = "Неверное значение длины горловины";
    return {
        {TUB, {"EditTubD"}, {d}},
        {CONE, {"EditConD1", "EditConA"}, {d, a}},
        {TUBCONE, {"EditTubConD1", "EditTubConA", "EditTubConL1"}, {d, a, throat}},
        {CONETUBCONE, {"EditConTubConD1", "EditConTubConA", "EditConTubConL1"}, {d, a, "Неверное значение длины трубки"}},
        {BOX, {"EditBoxW", "EditBoxH"}, {w, h}},
        {PRISM, {"EditPriW1", "EditPriH", "EditPriA"}, {w, h, a}},
        {BOXPRISM, {"EditBoxPriW1", "EditBoxPriH", "EditBoxPriA"}, {w, h, a}},
        {PRISMBOXPRISM, {"EditPriBoxPriW1", "EditPriBoxPriH", "EditPriBoxPriA", "EditPriBoxPriL1"}, {w, h, a, throat}},
        {CURVECONE, {"EditCurveConL"}, {len}},
        {CURVEFLAT, {"EditCurveFlatL", "EditCurveFlatH"}, {len, h}},
        {FLARETUBE, {"EditFlaTubD", "EditFlaTubR1", "EditFlaTubR2"}, {d, r, r}},
        {FLAREFLAT, {"EditFlaBoxW", "EditFlaBoxH", "EditFlaBoxR1", "EditFlaBoxR2"}, {w, h, r, r}},
    };
}

class PageCheck : public ::testing::TestWithParam<char> {};

TEST_P(PageCheck, NamesTheFirstBadEditorOfEveryPage)
{
    for (const PageRow& row : pageRows()) {
        for (std::size_t bad = 0; bad < row.editors.size(); ++bad) {
            CalcRig rig(GetParam());
            rig.choose(row.shape);
            for (std::size_t i = 0; i < row.editors.size(); ++i)
                rig.put(row.editors[i], i < bad ? "12.5" : "x"); // every editor from the bad one on is bad
            EXPECT_FALSE(rig.calc.CheckTS()) << row.editors[bad];
            ASSERT_EQ(rig.form.messages.size(), 1u) << row.editors[bad];
            EXPECT_EQ(rig.form.messages[0].type, MsgType::Warning);
            EXPECT_EQ(rig.form.messages[0].text, row.messages[bad]) << row.editors[bad];
            EXPECT_EQ(rig.form.active, row.editors[bad]);
        }
        CalcRig rig(GetParam());
        rig.choose(row.shape);
        for (const char* e : row.editors)
            rig.put(e, "-12.5");
        EXPECT_TRUE(rig.calc.CheckTS()) << row.shape; // no range is checked
        EXPECT_TRUE(rig.form.messages.empty());
    }
}

TEST_P(PageCheck, EmptyTextIsNoNumber)
{
    CalcRig rig(GetParam());
    rig.choose(CURVEFLAT);
    rig.put({{"EditCurveFlatL", "100"}, {"EditCurveFlatH", ""}});
    EXPECT_FALSE(rig.calc.CheckTS());
    EXPECT_EQ(rig.form.active, "EditCurveFlatH");
}

TEST_P(PageCheck, LeavesTheWedgeLengthOfTheTubeWedgeToItsBranch)
{
    CalcRig rig(GetParam());
    rig.choose(BOXPRISM);
    rig.put({{"EditBoxPriW1", "60"}, {"EditBoxPriH", "50"}, {"EditBoxPriA", "8"}, {"EditBoxPriL1", "long"}});
    EXPECT_TRUE(rig.calc.CheckTS());
    EXPECT_TRUE(rig.form.messages.empty());
}

TEST_P(PageCheck, ShapeOutsideTheTwelvePasses)
{
    CalcRig rig(GetParam());
    rig.state.SBut = 12;
    EXPECT_TRUE(rig.calc.CheckTS());
    rig.state.SBut = -1;
    EXPECT_TRUE(rig.calc.CheckTS());
}

TEST_P(PageCheck, BadTextFromTheButtonKeepsTheFormerFigures)
{
    CalcRig rig(GetParam());
    rig.choose(TUB);
    rig.put("EditTubD", "0");
    rig.calc.SBRecalcResClick();
    const auto before = rig.form.texts;
    rig.put("EditTubD", "8O");
    rig.calc.SBRecalcResClick();
    ASSERT_EQ(rig.form.messages.size(), 1u);
    EXPECT_EQ(rig.form.messages[0].text, "Неверное значение диаметра порта");
    EXPECT_EQ(rig.form.active, "EditTubD");
    for (const auto& f : kCommonFields)
        EXPECT_EQ(rig.text(f), before.at(f)) << f;
}

INSTANTIATE_TEST_SUITE_P(Separators, PageCheck, ::testing::ValuesIn(kSeparators), SeparatorName());

// ---- the geometry button -----------------------------------------------------------------------------

TEST(GeometryButton, CommitsTheConeSizeFirst)
{
    CalcRig rig('.');
    rig.choose(TUB);
    rig.put("EditTubD", "0");
    fillCommon(rig, "old");
    std::string seen;
    rig.form.editDdExit = [&] {
        seen = rig.text("EditSIn");
        rig.form.texts["EditDd"] = "250"; // the pending cone size
    };
    rig.calc.SBRecalcResClick();
    EXPECT_EQ(rig.form.editDdExitCalls, 1);
    EXPECT_EQ(seen, "old");
    EXPECT_EQ(rig.state.Dd, 250);
    EXPECT_FALSE(rig.text("EditTubL").empty());
}

TEST(RecalcRes, BadSpeedOfSoundStopsBeforeClearing)
{
    CalcRig rig(',');
    rig.choose(TUB);
    rig.put({{"EditTubD", "0"}, {"EditVs", "351"}});
    fillCommon(rig, "old");
    rig.calc.RecalcRes(true);
    ASSERT_EQ(rig.form.messages.size(), 1u);
    EXPECT_EQ(rig.text("EditSIn"), "old");
    EXPECT_EQ(rig.text("EditVs"), "344");
}

TEST(RecalcRes, ShapeOutsideTheTwelveShowsNoFigures)
{
    CalcRig rig('.');
    rig.state.SBut = 12;
    rig.state.SInTotal = 0.01;
    rig.state.SOutTotal = 0.01;
    fillCommon(rig, "old");
    rig.calc.RecalcRes(true);
    EXPECT_TRUE(rig.form.messages.empty());
    for (const auto& f : kCommonFields)
        EXPECT_EQ(rig.text(f), "") << f;
}

// ---- figures beyond the range of a 64-bit whole number ---------------------------------------------

// An absurd tube still shows its figures with their own signs: a huge tube positive ones, a vanishing
// one (whose end correction makes its length negative) a negative pipe resonance of the right size.
TEST(RecalcRes, FiguresBeyondTheIntegerRangeKeepTheirSign)
{
    for (char sep : kSeparators) {
        CalcRig huge(sep);
        huge.choose(TUB);
        huge.put("EditTubD", "1E50");
        huge.calc.RecalcRes(true);
        ASSERT_TRUE(huge.form.messages.empty()) << huge.firstMessage();
        for (const char* f : {"EditTubL", "EditSIn", "EditSout", "EdVtot", "EditORF", "EditVmax", "EditAmax"})
            EXPECT_NE(huge.text(f).front(), '-') << f << " " << huge.text(f);

        CalcRig tiny(sep);
        tiny.choose(TUB);
        tiny.put("EditTubD", "1E-17");
        tiny.calc.RecalcRes(true);
        ASSERT_TRUE(tiny.form.messages.empty()) << tiny.firstMessage();
        ASSERT_LT(tiny.calc.Lorf, 0);
        const double resonance = 344 / tiny.calc.Lorf / 2 * 1000;
        const auto shown = tiny.number("EditORF");
        ASSERT_TRUE(shown) << tiny.text("EditORF");
        EXPECT_NEAR(*shown / resonance, 1, 1e-13) << tiny.text("EditORF");
    }
}

// Sizes so far beyond any port that an area or a volume overflows or vanishes as a Double have no
// figures to show: refused on the page's first editor with its warning, the shape's results empty.
INSTANTIATE_TEST_SUITE_P(
    BeyondAnyPort, PortRefusal,
    ::testing::Combine(
        ::testing::Values(
            RefusalRow{"HugeTube", TUB, {{"EditTubD", "1E300"}}, MsgType::Warning, kDiameterText, "EditTubD",
                       {"EditTubL"}},
            RefusalRow{"VanishingTube", TUB, {{"EditTubD", "1E-300"}}, MsgType::Warning, kDiameterText, "EditTubD",
                       {"EditTubL"}},
            RefusalRow{"TubeWhoseVolumeOverflows", TUB, {{"EditTubD", "1E100"}}, MsgType::Warning, kDiameterText,
                       "EditTubD", {"EditTubL"}},
            RefusalRow{"VanishingTubeCone",
                       TUBCONE,
                       {{"EditTubConD1", "1E-300"}, {"EditTubConA", "1E-300"}, {"EditTubConL1", "1E-300"}},
                       MsgType::Warning,
                       kDiameterText,
                       "EditTubConD1",
                       {"EditTubConL", "EditTubConD"}},
            RefusalRow{"HugeBox", BOX, {{"EditBoxW", "1E300"}, {"EditBoxH", "1E300"}}, MsgType::Warning, kWidthText,
                       "EditBoxW", {"EditBoxL"}},
            RefusalRow{"VanishingRoundedTube",
                       FLARETUBE,
                       {{"EditFlaTubD", "1E-300"}, {"EditFlaTubR1", "0"}, {"EditFlaTubR2", "0"}},
                       MsgType::Warning,
                       kDiameterText,
                       "EditFlaTubD",
                       {"EditFlaTubL"}},
            RefusalRow{"HugeRoundedSlot",
                       FLAREFLAT,
                       {{"EditFlaBoxW", "1E300"}, {"EditFlaBoxH", "1E300"}, {"EditFlaBoxR1", "0"}, {"EditFlaBoxR2", "0"}},
                       MsgType::Warning,
                       kWidthText,
                       "EditFlaBoxW",
                       {"EditFlaBoxL"}}),
        ::testing::ValuesIn(kSeparators)),
    RowAndSeparatorName());

// ---- held inputs that give no design -----------------------------------------------------------------

struct HeldRow {
    const char* name;
    bool computedBefore;          // a successful calculation ran before the bad texts were typed
    std::vector<std::pair<const char*, const char*>> typed;
    double heldVb;                // the box volume the state holds before (when not computed before)
    const char* message;          // the one warning
    const char* focus;
    bool computed;                // the geometry still comes out (from the held values)
};

void PrintTo(const HeldRow& r, std::ostream* os) { *os << r.name; }

class HeldInputs : public ::testing::TestWithParam<std::tuple<HeldRow, char>> {};

TEST_P(HeldInputs, NeverDivideByZero)
{
    const auto& [row, sep] = GetParam();
    CalcRig rig(sep);
    rig.choose(TUB);
    rig.put("EditTubD", "0");
    std::string before;
    if (row.computedBefore) {
        rig.calc.RecalcRes(true);
        before = rig.text("EditTubL");
        ASSERT_FALSE(before.empty());
    } else {
        rig.state.Vb = row.heldVb;
    }
    for (const auto& [f, t] : row.typed)
        rig.put(f, t);
    rig.calc.RecalcRes(true);

    ASSERT_EQ(rig.form.messages.size(), 1u);
    EXPECT_EQ(rig.form.messages[0].type, MsgType::Warning);
    EXPECT_EQ(rig.form.messages[0].text, row.message);
    EXPECT_EQ(rig.form.active, row.focus);
    EXPECT_TRUE(rig.noBrokenNumbers());
    if (row.computed) {
        EXPECT_EQ(rig.text("EditTubL"), before);
        EXPECT_FALSE(rig.text("EditSIn").empty());
    } else {
        for (const auto& f : kCommonFields)
            EXPECT_EQ(rig.text(f), "") << f;
    }
}

constexpr const char* kFbText = "Неверное значение частоты настройки порта";
constexpr const char* kVbText = "Неверное значение объёма ящика";

INSTANTIATE_TEST_SUITE_P(
    Held, HeldInputs,
    ::testing::Combine(
        ::testing::Values(
            HeldRow{"FirstRunBadVolume", false, {{"EditVb", "x"}}, 0, kVbText, "EditVb", false},
            HeldRow{"FirstRunBadFrequency", false, {{"EditFb", "x"}}, 45, kFbText, "EditFb", false},
            HeldRow{"HeldNegativeVolume", false, {{"EditVb", "x"}}, -45, kVbText, "EditVb", false},
            HeldRow{"NegativeFrequency", true, {{"EditFb", "-30"}}, 0, kFbText, "EditFb", false},
            HeldRow{"NegativeVolumeNotLeft", true, {{"EditVb", "-1"}}, 0, kVbText, "EditVb", false},
            HeldRow{"NegativeFrequencyThenBadVolume", true, {{"EditFb", "-30"}, {"EditVb", "x"}}, 0, kVbText,
                    "EditVb", false},
            HeldRow{"BadVolumeAfterAGoodRun", true, {{"EditVb", "x"}}, 0, kVbText, "EditVb", true}),
        ::testing::ValuesIn(kSeparators)),
    RowAndSeparatorName());

} // namespace
