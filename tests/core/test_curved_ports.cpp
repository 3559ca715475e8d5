// Curved-profile ports: the throat search on its own, then the round and slot pages through the
// geometry operation as the window runs it.
#include "CalcRig.h"
#include "core/Branches.h"
#include "core/CurvedPorts.h"
#include "core/SectionKit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <limits>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace vx;
using namespace vx::test;

namespace {

// The acoustic-mass target of the reference design (30 Hz, 45 l, 344 m/s, one port).
long double referenceTarget()
{
    CalcRig rig('.');
    rig.calc.RecalcMins();
    return rig.calc.MassTarget();
}

double mm2(double metres)
{
    return static_cast<double>(vx::roundTo(static_cast<long double>(metres) * 1000.0L, 2));
}

// ---- the throat search ------------------------------------------------------------------------------

struct SearchRow {
    const char* name;
    CurveFunc func;
    double lengthMm;
    double heightMm; // 0: round
    double k;
    double throatMm; // shown to 0.01
    double outletMm;
    int passes;
};

void PrintTo(const SearchRow& r, std::ostream* os) { *os << r.name; }

class ThroatSearch : public ::testing::TestWithParam<SearchRow> {};

TEST_P(ThroatSearch, FindsTheReferenceThroat)
{
    const SearchRow& r = GetParam();
    const ThroatFit fit = fitCurvedThroat(referenceTarget(), r.lengthMm / 1000, r.heightMm / 1000, r.k, r.func);
    ASSERT_TRUE(fit.found);
    EXPECT_EQ(mm2(fit.throat), r.throatMm);
    EXPECT_EQ(mm2(fit.outlet), r.outletMm);
    EXPECT_EQ(fit.passes, r.passes);
}

INSTANTIATE_TEST_SUITE_P(Examples, ThroatSearch,
                         ::testing::Values(SearchRow{"RoundCosh", Cosh, 500, 0, 0.30, 68.6, 218.6, 19},
                                           SearchRow{"RoundCircle", Circle, 500, 0, 0.30, 75, 225, 4},
                                           SearchRow{"SlotCircle", Circle, 500, 50, 0.30, 125.39, 275.39, 11}),
                         [](const auto& info) { return std::string(info.param.name); });

// Both base functions widen the port by k·L at the mouths, the cosh within 0.0003 %.
TEST(ThroatSearch, BothProfilesWidenByKTimesLength)
{
    struct Row {
        double lengthMm, heightMm, k;
    };
    for (const Row& r : {Row{500, 0, 0.3}, Row{500, 50, 0.3}, Row{180, 0, 0.5}, Row{1000, 20, 0.1}}) {
        const double L = r.lengthMm / 1000;
        const ThroatFit cosh = fitCurvedThroat(referenceTarget(), L, r.heightMm / 1000, r.k, Cosh);
        const ThroatFit circle = fitCurvedThroat(referenceTarget(), L, r.heightMm / 1000, r.k, Circle);
        ASSERT_TRUE(cosh.found && circle.found) << r.lengthMm;
        EXPECT_NEAR(circle.outlet - circle.throat, r.k * L, 1e-12) << r.lengthMm;
        EXPECT_NEAR(cosh.outlet - cosh.throat, r.k * L, r.k * L * 3e-6) << r.lengthMm;
        EXPECT_NE(cosh.throat, circle.throat) << r.lengthMm;
    }
}

TEST(CurveWidening, ZeroAtTheThroatAndKTimesLengthAtTheMouth)
{
    for (CurveFunc f : {Cosh, Circle}) {
        EXPECT_EQ(curveWidening(f, 0.3L, 0.25L, 0.0L), 0.0L);
        EXPECT_NEAR(static_cast<double>(curveWidening(f, 0.3L, 0.25L, 0.25L)), 0.15, 0.15 * 3e-6);
        // The wall widens monotonically from the throat out.
        EXPECT_LT(curveWidening(f, 0.3L, 0.25L, 0.1L), curveWidening(f, 0.3L, 0.25L, 0.2L));
    }
}

// ---- searches without an end, bounded ----------------------------------------------------------------

struct NoThroatRow {
    const char* name;
    long double target;
    double length, height, k;
};

void PrintTo(const NoThroatRow& r, std::ostream* os) { *os << r.name; }

class ThroatSearchGivesUp : public ::testing::TestWithParam<NoThroatRow> {};

TEST_P(ThroatSearchGivesUp, EndsWithoutAThroat)
{
    const NoThroatRow& r = GetParam();
    for (CurveFunc f : {Cosh, Circle}) {
        const ThroatFit fit = fitCurvedThroat(r.target, r.length, r.height, r.k, f);
        EXPECT_FALSE(fit.found);
        EXPECT_EQ(fit.throat, 0);
        EXPECT_EQ(fit.outlet, 0);
    }
}

constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Cases, ThroatSearchGivesUp,
    ::testing::Values(NoThroatRow{"ZeroTarget", 0.0L, 0.5, 0, 0.3}, NoThroatRow{"NegativeTarget", -74.0L, 0.5, 0, 0.3},
                      NoThroatRow{"InfiniteTarget", kInf, 0.5, 0, 0.3}, NoThroatRow{"NaNTarget", kNaN, 0.5, 0.05, 0.3},
                      // so long that even a vanishing throat leaves the round port too wide
                      NoThroatRow{"RoundTooLong", 74.0L, 1e8, 0, 0.3},
                      // so long that the slot's throat would be kilometres wide
                      NoThroatRow{"SlotTooLong", 74.0L, 1e7, 0.05, 0.3},
                      // a slot narrowing towards its mouths that closes them before it is tuned
                      NoThroatRow{"SlotMouthsClose", 74.0L, 0.5, 0.05, -2.0},
                      NoThroatRow{"SlotMouthsCloseFar", 74.0L, 0.5, 0.05, -5.0}),
    [](const auto& info) { return std::string(info.param.name); });

// A slot narrowing towards its mouths that stays open is a port like any other: the search skips the
// trials that close it and tunes the rest.
TEST(ThroatSearch, NarrowingSlotThatStaysOpen)
{
    const ThroatFit fit = fitCurvedThroat(referenceTarget(), 0.5, 0.05, -0.3, Circle);
    ASSERT_TRUE(fit.found);
    EXPECT_GT(fit.outlet, 0);
    EXPECT_NEAR(fit.throat - fit.outlet, 0.3 * 0.5, 1e-12);
}

// ---- the pages through the geometry operation --------------------------------------------------------

struct PageRow {
    const char* name;
    int shape;
    Texts given;
    int multiplier;
    int function;
    Texts expected;
    double keptLength, keptThroat, keptOutlet; // mm, to 0.01; a negative size is not looked at
};

void PrintTo(const PageRow& r, std::ostream* os) { *os << r.name; }

class CurvedPageCalc : public ::testing::TestWithParam<std::tuple<PageRow, char>> {};

struct CurvedKeys {
    Field multiplier, function;
    double CalcState::*length;
    double CalcState::*throat;
    double CalcState::*outlet;
};

CurvedKeys keysOf(int shape)
{
    if (shape == CURVECONE)
        return {"SEdDiv", "CBCurveType", &CalcState::CurveConL, &CalcState::CurveConD1, &CalcState::CurveConD};
    return {"SEFdiv", "CBFcurveType", &CalcState::CurveFlatL, &CalcState::CurveFlatW1, &CalcState::CurveFlatW};
}

void setUpPage(CalcRig& rig, int shape, const Texts& given, int multiplier, int function)
{
    const CurvedKeys keys = keysOf(shape);
    rig.choose(shape);
    rig.form.spinRange[std::string(keys.multiplier)] = {10, 50};
    rig.form.spins[std::string(keys.multiplier)] = multiplier;
    rig.form.selectors[std::string(keys.function)] = function;
    for (const auto& [f, t] : given)
        rig.put(f, t);
}

TEST_P(CurvedPageCalc, ShowsAndKeepsTheSizes)
{
    const auto& [row, sep] = GetParam();
    CalcRig rig(sep);
    setUpPage(rig, row.shape, row.given, row.multiplier, row.function);
    rig.calc.RecalcRes(true);
    EXPECT_TRUE(rig.form.messages.empty()) << (rig.form.messages.empty() ? "" : rig.form.messages[0].text);
    for (const auto& [f, t] : row.expected)
        EXPECT_EQ(rig.text(f), rig.n(t)) << f;
    const CurvedKeys keys = keysOf(row.shape);
    EXPECT_EQ(rig.state.*keys.length, row.keptLength);
    if (row.keptThroat >= 0) {
        EXPECT_EQ(static_cast<double>(vx::roundTo(rig.state.*keys.throat, 2)), row.keptThroat);
        EXPECT_EQ(static_cast<double>(vx::roundTo(rig.state.*keys.outlet, 2)), row.keptOutlet);
    }
    EXPECT_EQ(rig.text("EditORF"), ""); // no straight part
    EXPECT_FALSE(rig.text("EditSIn").empty());
    EXPECT_FALSE(rig.text("EdVtot").empty());
    EXPECT_TRUE(rig.noBrokenNumbers());
}

INSTANTIATE_TEST_SUITE_P(
    Examples, CurvedPageCalc,
    ::testing::Combine(
        ::testing::Values(
            PageRow{"RoundCosh", CURVECONE, {{"EditCurveConL", "500"}}, 30, Cosh,
                    {{"EditCurveConL", "500"}, {"EditCurveCond1", "68.6"}, {"EditCurveConD", "218.6"}},
                    500, 68.6, 218.6},
            PageRow{"RoundCircle", CURVECONE, {{"EditCurveConL", "500"}}, 30, Circle,
                    {{"EditCurveCond1", "75"}, {"EditCurveConD", "225"}, {"EditSIn", "44.18"}, {"EditSout", "397.61"}},
                    500, 75, 225},
            PageRow{"SlotCircle", CURVEFLAT, {{"EditCurveFlatL", "500"}, {"EditCurveFlatH", "50"}}, 30, Circle,
                    {{"EditCurveFlatL", "500"}, {"EditCurveFlatH", "50"}, {"EditCurveFlatW1", "125.39"},
                     {"EditCurveFlatW", "275.39"}, {"EditSIn", "62.7"}, {"EditSout", "137.7"}},
                    500, 125.39, 275.39},
            // the floors: a length below 20 mm and a height below 10 mm are raised and written back
            PageRow{"RoundLength5", CURVECONE, {{"EditCurveConL", "5"}}, 30, Cosh, {{"EditCurveConL", "20"}},
                    20, -1, -1},
            PageRow{"RoundLength0", CURVECONE, {{"EditCurveConL", "0"}}, 30, Circle, {{"EditCurveConL", "20"}},
                    20, -1, -1},
            PageRow{"RoundLengthMinus40", CURVECONE, {{"EditCurveConL", "-40"}}, 30, Cosh, {{"EditCurveConL", "20"}},
                    20, -1, -1},
            PageRow{"SlotLength5", CURVEFLAT, {{"EditCurveFlatL", "5"}, {"EditCurveFlatH", "50"}}, 30, Cosh,
                    {{"EditCurveFlatL", "20"}, {"EditCurveFlatH", "50"}}, 20, -1, -1},
            PageRow{"SlotHeight2.5", CURVEFLAT, {{"EditCurveFlatL", "500"}, {"EditCurveFlatH", "2.5"}}, 30, Cosh,
                    {{"EditCurveFlatL", "500"}, {"EditCurveFlatH", "10"}}, 500, -1, -1},
            PageRow{"SlotLengthAndHeight0", CURVEFLAT, {{"EditCurveFlatL", "0"}, {"EditCurveFlatH", "-3"}}, 30, Circle,
                    {{"EditCurveFlatL", "20"}, {"EditCurveFlatH", "10"}}, 20, -1, -1}),
        ::testing::ValuesIn(kSeparators)),
    RowAndSeparatorName());

// The floored rows name no sizes (-1 above); their sizes are those of a port of the floored length.
TEST(CurvedPageCalc, FlooredSizesAreThoseOfTheFloor)
{
    for (char sep : kSeparators) {
        for (const char* typed : {"5", "0", "-40"}) {
            CalcRig floored(sep), exact(sep);
            setUpPage(floored, CURVEFLAT, {{"EditCurveFlatL", typed}, {"EditCurveFlatH", "3"}}, 30, Cosh);
            setUpPage(exact, CURVEFLAT, {{"EditCurveFlatL", "20"}, {"EditCurveFlatH", "10"}}, 30, Cosh);
            floored.calc.RecalcRes(true);
            exact.calc.RecalcRes(true);
            EXPECT_EQ(floored.text("EditCurveFlatW1"), exact.text("EditCurveFlatW1")) << typed;
            EXPECT_EQ(floored.text("EditCurveFlatW"), exact.text("EditCurveFlatW")) << typed;
            EXPECT_EQ(floored.state.CurveFlatH, 10) << typed;
        }
    }
}

// With two ports the page shows the areas of one port; the totals count both.
TEST(CurvedPageCalc, TwoPortsShowTheAreasOfOne)
{
    for (char sep : kSeparators) {
        for (int shape : {CURVECONE, CURVEFLAT}) {
            CalcRig rig(sep);
            setUpPage(rig, shape, {{"EditCurveConL", "500"}, {"EditCurveFlatL", "500"}, {"EditCurveFlatH", "50"}}, 30,
                      Circle);
            rig.form.spins["SpinEdNPorts"] = 2;
            rig.calc.RecalcRes(true);
            ASSERT_TRUE(rig.form.messages.empty());
            const CurvedKeys keys = keysOf(shape);
            const double h = shape == CURVECONE ? 0.0 : 0.05;
            const auto area = [h](double mm) {
                const double m = mm / 1000;
                return h > 0 ? m * h : std::numbers::pi * m * m / 4;
            };
            EXPECT_EQ(rig.text("EditSIn"), formatRounded(area(rig.state.*keys.throat) * 10000, 2, sep));
            EXPECT_EQ(rig.text("EditSout"), formatRounded(area(rig.state.*keys.outlet) * 10000, 2, sep));
            EXPECT_NEAR(rig.state.SOutTotal, 2 * area(rig.state.*keys.outlet), 1e-15);
            EXPECT_NEAR(rig.state.SInTotal, 2 * area(rig.state.*keys.throat), 1e-15);
        }
    }
}

// The warnings of a throat search that finds nothing.
constexpr const char* kNoThroatText =
    "Подобрать горловину порта не удалось: при такой длине и таком профиле порт не настраивается "
    "на заданную частоту. Уменьшите длину порта или множитель.";
constexpr const char* kClosedText =
    "Подобрать горловину порта не удалось: отрицательный множитель сужает порт к выходам до нуля. "
    "Задайте множитель от 10 до 50.";

// ---- the profile multiplier -----------------------------------------------------------------------

// The window's change handler of the round multiplier: it stores the value and computes once more.
struct WindowMultiplier {
    int runs = 0;
    void attach(CalcRig& rig)
    {
        rig.form.onChange["SEdDiv"] = [this, &rig] {
            ++runs;
            rig.state.CurveConDiv = rig.form.spinValue("SEdDiv");
            rig.calc.RecalcRes(true);
        };
    }
};

struct RaiseRow {
    int typed;
    int shown; // the editor afterwards
};

TEST(CurvedMultiplier, RoundPageRaisesSmallValuesTenfold)
{
    for (char sep : kSeparators) {
        for (const RaiseRow& r : {RaiseRow{3, 30}, RaiseRow{5, 50}, RaiseRow{0, 10}, RaiseRow{-2, 10}}) {
            CalcRig rig(sep), reference(sep);
            setUpPage(rig, CURVECONE, {{"EditCurveConL", "500"}}, r.typed, Cosh);
            setUpPage(reference, CURVECONE, {{"EditCurveConL", "500"}}, r.shown, Cosh);
            WindowMultiplier window;
            window.attach(rig);
            rig.calc.RecalcRes(true);
            reference.calc.RecalcRes(true);

            EXPECT_EQ(rig.form.spinValue("SEdDiv"), r.shown) << r.typed;
            EXPECT_EQ(rig.state.CurveConDiv, r.shown) << r.typed;
            EXPECT_EQ(window.runs, 1) << r.typed; // the inner calculation does not raise again
            EXPECT_TRUE(rig.form.messages.empty()) << r.typed;
            for (Field f : {Field("EditCurveCond1"), Field("EditCurveConD"), Field("EditSIn"), Field("EdVtot")})
                EXPECT_EQ(rig.text(f), reference.text(f)) << r.typed << ' ' << f;
        }
    }
    CalcRig rig('.');
    setUpPage(rig, CURVECONE, {{"EditCurveConL", "500"}}, 3, Cosh);
    WindowMultiplier window;
    window.attach(rig);
    rig.calc.RecalcRes(true);
    EXPECT_EQ(rig.text("EditCurveCond1"), "68.6");
    EXPECT_EQ(rig.text("EditCurveConD"), "218.6");
}

// An editor whose range let the raised value stay small would call back into the calculation again
// and again; the raise happens once per calculation.
TEST(CurvedMultiplier, RaisesOnceEvenWhenTheEditorKeepsItSmall)
{
    CalcRig rig('.');
    setUpPage(rig, CURVECONE, {{"EditCurveConL", "500"}}, -3, Cosh);
    rig.form.spinRange["SEdDiv"] = {-1000, 50};
    WindowMultiplier window;
    window.attach(rig);
    rig.calc.RecalcRes(true);
    EXPECT_EQ(window.runs, 1);
    EXPECT_EQ(rig.form.spinValue("SEdDiv"), -30);
}

// The raise runs the calculation once more from the editor's change handler; when no throat can be
// found, that inner calculation has already said so, and the outer one must not say it again.
TEST(CurvedMultiplier, RaisedMultiplierWithNoThroatWarnsOnce)
{
    for (char sep : kSeparators) {
        CalcRig rig(sep);
        setUpPage(rig, CURVECONE, {{"EditCurveConL", "1E11"}}, 3, Cosh);
        WindowMultiplier window;
        window.attach(rig);
        rig.calc.RecalcRes(true);
        EXPECT_EQ(window.runs, 1);
        EXPECT_EQ(rig.form.spinValue("SEdDiv"), 30);
        ASSERT_EQ(rig.form.messages.size(), 1u) << rig.form.messages.back().text;
        EXPECT_EQ(rig.form.messages[0].text, kNoThroatText);
        EXPECT_EQ(rig.form.active, "EditCurveConL");
        for (Field f : {Field("EditCurveCond1"), Field("EditCurveConD"), Field("EditSIn"), Field("EdVtot")})
            EXPECT_EQ(rig.text(f), "") << f;
        EXPECT_EQ(rig.state.CurveConD1, 0);
        EXPECT_EQ(rig.state.CurveConD, 0);
    }
}

// Each calculation keeps its own guard and warning count: a second one (a test rig beside the window)
// run while the first raises its multiplier raises its own, and a no-throat warning of one is not
// taken for the other's.
TEST(CurvedMultiplier, EachCalculationGuardsItsOwnRaise)
{
    CalcRig window('.'), other('.');
    setUpPage(window, CURVECONE, {{"EditCurveConL", "500"}}, 3, Cosh);
    setUpPage(other, CURVECONE, {{"EditCurveConL", "1E11"}}, 3, Cosh);
    WindowMultiplier inner;
    inner.attach(other);
    window.form.onChange["SEdDiv"] = [&] {
        window.state.CurveConDiv = window.form.spinValue("SEdDiv");
        other.calc.RecalcRes(true);
    };
    window.calc.RecalcRes(true);
    EXPECT_EQ(inner.runs, 1) << "the other calculation raised its own multiplier";
    EXPECT_EQ(other.form.spinValue("SEdDiv"), 30);
    ASSERT_EQ(other.form.messages.size(), 1u);
    EXPECT_EQ(other.form.messages[0].text, kNoThroatText);
    EXPECT_TRUE(window.form.messages.empty());
    EXPECT_EQ(window.text("EditCurveCond1"), "68.6");
}

TEST(CurvedMultiplier, SlotPageUsesTheValueAsTyped)
{
    const long double target = referenceTarget();
    for (char sep : kSeparators) {
        for (int typed : {3, 30, 70}) {
            CalcRig rig(sep);
            setUpPage(rig, CURVEFLAT, {{"EditCurveFlatL", "500"}, {"EditCurveFlatH", "50"}}, typed, Circle);
            rig.form.spins["SEFdiv"] = typed; // typed and not yet left: outside the range is kept
            int changes = 0;
            rig.form.onChange["SEFdiv"] = [&changes] { ++changes; };
            rig.calc.RecalcRes(true);
            EXPECT_EQ(changes, 0) << typed;
            EXPECT_EQ(rig.form.spinValue("SEFdiv"), typed);
            const ThroatFit fit = fitCurvedThroat(target, 0.5, 0.05, typed / 100.0, Circle);
            ASSERT_TRUE(fit.found);
            EXPECT_EQ(rig.text("EditCurveFlatW1"), formatRounded(fit.throat * 1000, 2, sep)) << typed;
            EXPECT_EQ(rig.text("EditCurveFlatW"), formatRounded(fit.outlet * 1000, 2, sep)) << typed;
        }
    }
}

TEST(CurvedMultiplier, RoundPageUsesALargeTypedValue)
{
    CalcRig rig('.');
    setUpPage(rig, CURVECONE, {{"EditCurveConL", "500"}}, 30, Circle);
    rig.form.spins["SEdDiv"] = 70;
    rig.calc.RecalcRes(true);
    const ThroatFit fit = fitCurvedThroat(referenceTarget(), 0.5, 0, 0.70, Circle);
    ASSERT_TRUE(fit.found);
    EXPECT_EQ(rig.form.spinValue("SEdDiv"), 70);
    EXPECT_EQ(rig.text("EditCurveCond1"), formatRounded(fit.throat * 1000, 2, '.'));
    EXPECT_NEAR(fit.outlet - fit.throat, 0.35, 1e-12);
}

// ---- refusals --------------------------------------------------------------------------------------

struct RefusalRow {
    const char* name;
    int shape;
    Texts failing;  // page texts of the refused calculation
    int multiplier; // and its multiplier
    const char* message;
    const char* focus;
};

void PrintTo(const RefusalRow& r, std::ostream* os) { *os << r.name; }

class CurvedRefusal : public ::testing::TestWithParam<std::tuple<RefusalRow, char>> {};

TEST_P(CurvedRefusal, WarnsAndShowsNoResults)
{
    const auto& [row, sep] = GetParam();
    CalcRig rig(sep);
    // a computation before leaves results on the page and sizes for the print
    setUpPage(rig, row.shape, {{"EditCurveConL", "500"}, {"EditCurveFlatL", "500"}, {"EditCurveFlatH", "50"}}, 30,
              Cosh);
    rig.calc.RecalcRes(true);
    ASSERT_TRUE(rig.form.messages.empty());
    const CurvedKeys keys = keysOf(row.shape);
    ASSERT_GT(rig.state.*keys.throat, 0);

    setUpPage(rig, row.shape, row.failing, row.multiplier, Cosh);
    rig.form.spins[std::string(keys.multiplier)] = row.multiplier; // typed, not yet left
    rig.calc.RecalcRes(true);

    ASSERT_EQ(rig.form.messages.size(), 1u);
    EXPECT_EQ(rig.form.messages[0].type, MsgType::Warning);
    EXPECT_EQ(rig.form.messages[0].text, row.message);
    EXPECT_EQ(rig.form.active, row.focus);
    for (Field f : {Field("EditSIn"), Field("EditSout"), Field("EditVmax"), Field("EdVtot")})
        EXPECT_EQ(rig.text(f), "") << f;
    const Field results[2][2] = {{"EditCurveCond1", "EditCurveConD"}, {"EditCurveFlatW1", "EditCurveFlatW"}};
    for (Field f : results[row.shape == CURVECONE ? 0 : 1])
        EXPECT_EQ(rig.text(f), "") << f;
    EXPECT_EQ(rig.state.*keys.throat, 0);
    EXPECT_EQ(rig.state.*keys.outlet, 0);
    EXPECT_EQ(row.shape == CURVECONE ? rig.state.D2 : rig.state.W2, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CurvedRefusal,
    ::testing::Combine(
        ::testing::Values(
            RefusalRow{"RoundTooLong", CURVECONE, {{"EditCurveConL", "1E11"}}, 30, kNoThroatText, "EditCurveConL"},
            RefusalRow{"SlotTooLong", CURVEFLAT, {{"EditCurveFlatL", "1E10"}, {"EditCurveFlatH", "50"}}, 30,
                       kNoThroatText, "EditCurveFlatL"},
            RefusalRow{"SlotMouthsClose", CURVEFLAT, {{"EditCurveFlatL", "500"}, {"EditCurveFlatH", "50"}}, -200,
                       kClosedText, "SEFdiv"}),
        ::testing::ValuesIn(kSeparators)),
    RowAndSeparatorName());

// The sizes are shown in the page's own order: the round page its outlet first, the slot its throat.
TEST(CurvedPageCalc, ShowsTheSizesInThePageOrder)
{
    struct Row {
        int shape;
        std::vector<std::string> order;
    };
    for (const Row& row : {Row{CURVECONE, {"EditCurveConD", "EditCurveCond1"}},
                           Row{CURVEFLAT, {"EditCurveFlatW1", "EditCurveFlatW"}}}) {
        CalcRig rig(',');
        setUpPage(rig, row.shape, {{"EditCurveConL", "500"}, {"EditCurveFlatL", "500"}, {"EditCurveFlatH", "50"}}, 30,
                  Circle);
        std::vector<std::string> shown;
        for (const std::string& f : row.order)
            rig.form.onChange[f] = [&shown, &rig, f] {
                if (!rig.text(f).empty())
                    shown.push_back(f);
            };
        rig.calc.RecalcRes(true);
        EXPECT_EQ(shown, row.order) << row.shape;
    }
}

TEST(CurvedPageCalc, NarrowingSlotThatStaysOpenIsComputed)
{
    for (char sep : kSeparators) {
        CalcRig rig(sep);
        setUpPage(rig, CURVEFLAT, {{"EditCurveFlatL", "500"}, {"EditCurveFlatH", "50"}}, 30, Circle);
        rig.form.spins["SEFdiv"] = -30;
        rig.calc.RecalcRes(true);
        EXPECT_TRUE(rig.form.messages.empty());
        EXPECT_GT(rig.state.CurveFlatW, 0);
        EXPECT_NEAR(rig.state.CurveFlatW1 - rig.state.CurveFlatW, 150, 1e-9);
        EXPECT_TRUE(rig.noBrokenNumbers());
    }
}

// The branches on their own, with held inputs that give no finite positive target (the geometry
// operation refuses these before any branch runs): no solver starts, the warning names the tuning.
struct HeldInputsRow {
    const char* name;
    double Fb, Vb, Us;
};

void PrintTo(const HeldInputsRow& r, std::ostream* os) { *os << r.name; }

class BranchWithoutTarget : public ::testing::TestWithParam<std::tuple<HeldInputsRow, int>> {};

TEST_P(BranchWithoutTarget, RefusesBeforeSolving)
{
    const auto& [row, shape] = GetParam();
    CalcRig rig('.');
    setUpPage(rig, shape, {{"EditCurveConL", "500"}, {"EditCurveFlatL", "500"}, {"EditCurveFlatH", "50"}}, 30, Cosh);
    rig.put({{"EditFlaTubD", "100"}, {"EditFlaTubR1", "25"}, {"EditFlaTubR2", "25"}, {"EditFlaBoxW", "125"},
             {"EditFlaBoxH", "62.5"}, {"EditFlaBoxR1", "30"}, {"EditFlaBoxR2", "30"}});
    rig.state.Fb = row.Fb;
    rig.state.Vb = row.Vb;
    rig.state.Us = row.Us;
    using Branch = bool (*)(Calc&);
    const Branch branch = shape == CURVECONE   ? branchCurveCone
                          : shape == CURVEFLAT ? branchCurveFlat
                          : shape == FLARETUBE ? branchFlareTube
                                               : branchFlareFlat;
    EXPECT_FALSE(branch(rig.calc));
    ASSERT_EQ(rig.form.messages.size(), 1u);
    EXPECT_EQ(rig.form.messages[0].type, MsgType::Warning);
    EXPECT_EQ(rig.form.messages[0].text, sections::kNoTargetMessage);
    EXPECT_EQ(rig.form.active, "EditFb");
    for (Field f : {Field("EditCurveCond1"), Field("EditCurveFlatW1"), Field("EditFlaTubL"), Field("EditFlaBoxL")})
        EXPECT_EQ(rig.text(f), "") << f;
    EXPECT_TRUE(rig.noBrokenNumbers());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BranchWithoutTarget,
    ::testing::Combine(::testing::Values(HeldInputsRow{"NoFrequency", 0, 45, 344},
                                         HeldInputsRow{"NegativeVolume", 30, -45, 344},
                                         HeldInputsRow{"NoSpeedOfSound", 30, 45, 0}),
                       ::testing::Values(CURVECONE, CURVEFLAT, FLARETUBE, FLAREFLAT)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + "_" + std::to_string(std::get<1>(info.param));
    });

// A slot without height has no section: the solver gives no throat rather than a factor of no value.
TEST(CurvedSolver, SlotWithoutHeightHasNoThroat)
{
    CalcRig rig('.');
    setUpPage(rig, CURVEFLAT, {}, 30, Cosh);
    rig.calc.RecalcMins();
    for (double h : {0.0, -0.01})
        EXPECT_FALSE(GetWCFC(rig.calc, 0.5, h).has_value()) << h;
    EXPECT_EQ(rig.state.W2, 0);
}

TEST(CurvedSolver, LeavesOutletAndVolumeOfAllPorts)
{
    CalcRig one('.'), two('.');
    for (CalcRig* rig : {&one, &two}) {
        setUpPage(*rig, CURVECONE, {}, 30, Circle);
        rig->form.spins["SpinEdNPorts"] = rig == &one ? 1 : 2;
        rig->calc.RecalcMins();
    }
    const auto d1 = GetDCCC(one.calc, 0.5);
    const auto d2 = GetDCCC(two.calc, 0.5);
    ASSERT_TRUE(d1 && d2);
    EXPECT_DOUBLE_EQ(one.state.D2, *d1 + 0.15);
    EXPECT_DOUBLE_EQ(two.state.D2, *d2 + 0.15);
    // two ports share the box: each needs twice the acoustic mass, a narrower throat
    EXPECT_LT(*d2, *d1);
    const ThroatFit fit = fitCurvedThroat(two.calc.MassTarget(), 0.5, 0, 0.3, Circle);
    EXPECT_NEAR(two.state.Vtot, 2 * fit.volume * 1000, 1e-12);
}

} // namespace
