// Source inputs, the speed-of-sound check and the boundary values.
#include "CalcRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

using namespace vx;
using namespace vx::test;

namespace {

class BoundaryGroup : public ::testing::TestWithParam<char> {};


// ---- the boundary fields of the reference design, by the shape button that is down ----------------

struct ButtonRow {
    const char* name;
    int button;
    const char* vpmax;
    const char* dpmin; // as the shape pages take it (dotted)
};

void PrintTo(const ButtonRow& r, std::ostream* os) { *os << r.name; }

class BoundaryByButton : public ::testing::TestWithParam<std::tuple<ButtonRow, char>> {};

TEST_P(BoundaryByButton, ShowsTheLimitAndTheMinimumDiameter)
{
    const auto& [row, sep] = GetParam();
    CalcRig rig(sep);
    rig.form.buttonDown = row.button;
    rig.calc.RecalcMins();
    EXPECT_TRUE(rig.form.messages.empty());
    EXPECT_EQ(rig.text("EditVpmax"), row.vpmax);
    EXPECT_EQ(rig.text("EditDpmin"), rig.n(row.dpmin));
    // The area shown per port belongs to the diameter shown: pi D² / 4 within the rounding of both.
    const double d = *rig.number("EditDpmin");
    EXPECT_NEAR(*rig.number("EditSmin"), kPi * d * d / 4 / 100, 0.02);
    EXPECT_NEAR(rig.state.Vpmax, *parseFloat(row.vpmax, '.'), 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, BoundaryByButton,
    ::testing::Combine(::testing::Values(ButtonRow{"Tube", 1, "9", "80.41"}, ButtonRow{"RoundedEnds", 6, "9", "80.41"},
                                         ButtonRow{"Cone", 2, "12", "69.64"}, ButtonRow{"TubeCone", 3, "12", "69.64"},
                                         ButtonRow{"Hourglass", 4, "16", "60.31"},
                                         ButtonRow{"Curved", 5, "16", "60.31"}),
                       ::testing::ValuesIn(kSeparators)),
    RowAndSeparatorName());

TEST_P(BoundaryGroup, ReferenceDesignFillsTheBoundaryGroup)
{
    CalcRig rig(GetParam());
    rig.calc.RecalcMins();
    EXPECT_EQ(rig.text("EditDpmin"), rig.n("80.41"));
    EXPECT_EQ(rig.text("EditSmin"), rig.n("50.78"));
    EXPECT_EQ(rig.text("EditVpmax"), "9");
    // The tube length at the minimum diameter is the tube of that diameter, less its end correction.
    const double dp = rig.state.Dpmin;
    const double expected = (rig.calc.MassTarget() * kPi * dp * dp / 4 - 0.82 * dp) * 1000;
    EXPECT_NEAR(*rig.number("EditLpmin"), expected, 0.005);
    EXPECT_NEAR(rig.state.SdTotal, kPi * 0.21 * 0.21 / 4, 1e-12);
    EXPECT_NEAR(rig.state.Vd, rig.state.SdTotal * 0.007, 1e-15);
}

TEST_P(BoundaryGroup, TwoPortsHalveTheAreaShownPerPort)
{
    CalcRig one(GetParam()), two(GetParam());
    two.form.spins["SpinEdNPorts"] = 2;
    one.calc.RecalcMins();
    two.calc.RecalcMins();
    EXPECT_EQ(two.state.Np, 2);
    EXPECT_NEAR(two.state.Smin, one.state.Smin, 1e-15); // the total is the same
    EXPECT_NEAR(*two.number("EditSmin"), *one.number("EditSmin") / 2, 0.006);
    EXPECT_NEAR(*two.number("EditDpmin"), *one.number("EditDpmin") / std::sqrt(2.0), 0.006);
}

TEST_P(BoundaryGroup, LargeBoxAtHighFrequencyShowsANegativeLength)
{
    CalcRig rig(GetParam());
    rig.put({{"EditFb", "200"}, {"EditVb", "1000"}});
    rig.calc.RecalcMins();
    EXPECT_LT(rig.state.Lpmin, 0);
    EXPECT_EQ(rig.text("EditLpmin").front(), '-');
    EXPECT_NEAR(*rig.number("EditLpmin"), rig.state.Lpmin * 1000, 0.005);
}

// ---- the speed of sound ------------------------------------------------------------------------------

struct SoundRow {
    const char* text;
    bool passes;
    double us; // the speed in use afterwards
};

void PrintTo(const SoundRow& r, std::ostream* os) { *os << '"' << r.text << '"'; }

class SpeedOfSound : public ::testing::TestWithParam<std::tuple<SoundRow, char>> {};

TEST_P(SpeedOfSound, AcceptsTheRangeAndResetsOtherwise)
{
    const auto& [row, sep] = GetParam();
    CalcRig rig(sep);
    rig.put("EditVs", row.text);
    EXPECT_EQ(rig.calc.CheckVs(), row.passes);
    EXPECT_DOUBLE_EQ(rig.state.Us, row.us);
    if (row.passes) {
        EXPECT_TRUE(rig.form.messages.empty());
        EXPECT_EQ(rig.text("EditVs"), rig.n(row.text)); // nothing written back
    } else {
        ASSERT_EQ(rig.form.messages.size(), 1u);
        EXPECT_EQ(rig.form.messages[0].type, MsgType::Warning);
        EXPECT_EQ(rig.form.messages[0].text, "Неверная величина скорости звука. Будет использовано значение 344 м/с.");
        EXPECT_EQ(rig.text("EditVs"), "344");
        EXPECT_EQ(rig.form.active, "EditVs");
    }
}

INSTANTIATE_TEST_SUITE_P(Speeds, SpeedOfSound,
                         ::testing::Combine(::testing::Values(SoundRow{"330", true, 330}, SoundRow{"350", true, 350},
                                                              SoundRow{"340.5", true, 340.5},
                                                              SoundRow{"329.9", false, 344},
                                                              SoundRow{"350.1", false, 344},
                                                              SoundRow{"fast", false, 344}, SoundRow{"", false, 344}),
                                            ::testing::ValuesIn(kSeparators)));

TEST_P(BoundaryGroup, RecalcButtonStopsAtABadSpeedOfSound)
{
    CalcRig rig(GetParam());
    rig.form.texts["EditDpmin"] = "old";
    rig.put("EditVs", "400");
    rig.calc.SbRecalcMinsClick();
    EXPECT_EQ(rig.form.messages.size(), 1u);
    EXPECT_EQ(rig.text("EditDpmin"), "old");
    rig.calc.SbRecalcMinsClick(); // the user repeats the command: 344 now
    EXPECT_EQ(rig.form.messages.size(), 1u);
    EXPECT_EQ(rig.text("EditDpmin"), rig.n("80.41"));
}

// ---- parse failures: one warning, and which inputs are still read -----------------------------------

struct BadInputRow {
    const char* name;
    const char* fb;
    const char* vb;
    const char* dd;
    const char* xmax;
    const char* message;
    const char* focus;
    // which inputs took their new values (Fb 50, Vb 60, Dd 250, Xmax 9 when readable)
    bool fbRead, vbRead, ddRead, xmaxRead;
};

void PrintTo(const BadInputRow& r, std::ostream* os) { *os << r.name; }

class BadSourceText : public ::testing::TestWithParam<std::tuple<BadInputRow, char>> {};

TEST_P(BadSourceText, OneWarningAndTheBoundaryValuesStay)
{
    const auto& [row, sep] = GetParam();
    CalcRig rig(sep);
    rig.calc.RecalcMins();
    const CalcState before = rig.state;
    const std::string dpmin = rig.text("EditDpmin");

    rig.put({{"EditFb", row.fb}, {"EditVb", row.vb}, {"EditDd", row.dd}, {"EditXmax", row.xmax}, {"EditNd", "3"}});
    rig.form.spins["SpinEdNPorts"] = 4;
    rig.calc.RecalcMins();

    ASSERT_EQ(rig.form.messages.size(), 1u);
    EXPECT_EQ(rig.form.messages[0].type, MsgType::Warning);
    EXPECT_EQ(rig.form.messages[0].text, row.message);
    EXPECT_EQ(rig.form.active, row.focus);
    EXPECT_EQ(rig.text("EditDpmin"), dpmin);
    EXPECT_EQ(rig.state.Smin, before.Smin);
    EXPECT_EQ(rig.state.Fb, row.fbRead ? 50 : before.Fb);
    EXPECT_EQ(rig.state.Vb, row.vbRead ? 60 : before.Vb);
    EXPECT_EQ(rig.state.Dd, row.ddRead ? 250 : before.Dd);
    EXPECT_EQ(rig.state.Xmax, row.xmaxRead ? 9 : before.Xmax);
    // the woofer count is read first of all; the ports whenever the frequency was read
    EXPECT_EQ(rig.state.Nd, 3);
    EXPECT_EQ(rig.state.Np, row.fbRead ? 4 : before.Np);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, BadSourceText,
    ::testing::Combine(
        ::testing::Values(
            BadInputRow{"Frequency", "x30", "60", "250", "9", "Неверное значение частоты настройки порта", "EditFb",
                        false, false, false, false},
            BadInputRow{"EmptyFrequency", "", "x", "x", "x", "Неверное значение частоты настройки порта", "EditFb",
                        false, false, false, false},
            BadInputRow{"VolumeAndDiameter", "50", "litres", "2x", "9", "Неверное значение объёма ящика", "EditVb",
                        true, false, false, false},
            BadInputRow{"FractionalDiameter", "50", "60", "210.5", "9", "Неверное значение диаметра диффузора",
                        "EditDd", true, true, false, false},
            BadInputRow{"Excursion", "50", "60", "250", "7..", "Неверное значение максимального хода диффузора",
                        "EditXmax", true, true, true, false}),
        ::testing::ValuesIn(kSeparators)),
    RowAndSeparatorName());

// ---- zero fallbacks and the woofer count ------------------------------------------------------------

struct FallbackRow {
    const char* field;
    const char* typed;
    const char* written;
};

void PrintTo(const FallbackRow& r, std::ostream* os) { *os << r.field << " \"" << r.typed << '"'; }

class ZeroFallback : public ::testing::TestWithParam<std::tuple<FallbackRow, char>> {};

TEST_P(ZeroFallback, ReplacesTheTextAndComputesWithIt)
{
    const auto& [row, sep] = GetParam();
    CalcRig rig(sep);
    rig.put(row.field, row.typed);
    rig.calc.RecalcMins();
    EXPECT_TRUE(rig.form.messages.empty());
    EXPECT_EQ(rig.text(row.field), row.written);
    EXPECT_EQ(rig.text("EditDpmin"), rig.n("80.41")); // the reference design again
}

INSTANTIATE_TEST_SUITE_P(Zeros, ZeroFallback,
                         ::testing::Combine(::testing::Values(FallbackRow{"EditFb", "0", "30"},
                                                              FallbackRow{"EditFb", "0.0", "30"},
                                                              FallbackRow{"EditVb", "0", "45"},
                                                              FallbackRow{"EditDd", "0", "210"},
                                                              FallbackRow{"EditXmax", "0", "7"},
                                                              FallbackRow{"EditNd", "0", "1"},
                                                              FallbackRow{"EditNd", "-2", "1"},
                                                              FallbackRow{"EditNd", "many", "1"}),
                                            ::testing::ValuesIn(kSeparators)));

struct WooferRow {
    const char* text;
    int nd;
    bool patch; // Image4 covers the second woofer
};

class WooferCount : public ::testing::TestWithParam<WooferRow> {};

TEST_P(WooferCount, SetsTheCountAndThePatch)
{
    CalcRig rig('.');
    rig.put("EditNd", GetParam().text);
    rig.calc.EditNdChange();
    EXPECT_EQ(rig.state.Nd, GetParam().nd);
    EXPECT_EQ(rig.form.visible["Image4"], GetParam().patch);
    EXPECT_EQ(rig.text("EditNd"), GetParam().text); // the change handler writes nothing back
}

INSTANTIATE_TEST_SUITE_P(Counts, WooferCount,
                         ::testing::Values(WooferRow{"1", 1, true}, WooferRow{"2", 2, false}, WooferRow{"7", 7, false},
                                           WooferRow{"0", 0, true}, WooferRow{"two", 1, true}));

// ---- negative inputs (typed, their editor not yet left) ---------------------------------------------

struct NegativeRow {
    const char* field;
    const char* text; // typed into the field; for the port count, nothing
    const char* message;
    int ports = 1;    // the port count's value as typed
};

void PrintTo(const NegativeRow& r, std::ostream* os)
{
    *os << r.field << ' ';
    if (r.text)
        *os << '"' << r.text << '"';
    else
        *os << r.ports;
}

class NegativeInput : public ::testing::TestWithParam<std::tuple<NegativeRow, char>> {};

TEST_P(NegativeInput, WarnsOnItsEditorInsteadOfShowingNoNumber)
{
    const auto& [row, sep] = GetParam();
    CalcRig rig(sep);
    rig.calc.RecalcMins();
    const double smin = rig.state.Smin, dpmin = rig.state.Dpmin;
    if (row.text)
        rig.put(row.field, row.text);
    rig.form.spins["SpinEdNPorts"] = row.ports;
    rig.calc.RecalcMins();
    ASSERT_EQ(rig.form.messages.size(), 1u);
    EXPECT_EQ(rig.form.messages[0].text, row.message);
    EXPECT_EQ(rig.form.active, row.field);
    EXPECT_EQ(rig.text("EditDpmin"), rig.n("80.41"));
    EXPECT_EQ(rig.state.Smin, smin);
    EXPECT_EQ(rig.state.Dpmin, dpmin);
    EXPECT_TRUE(rig.noBrokenNumbers());
}

INSTANTIATE_TEST_SUITE_P(
    Negatives, NegativeInput,
    ::testing::Combine(::testing::Values(NegativeRow{"EditFb", "-30", "Неверное значение частоты настройки порта"},
                                         NegativeRow{"EditVb", "-45", "Неверное значение объёма ящика"},
                                         NegativeRow{"EditDd", "-210", "Неверное значение диаметра диффузора"},
                                         NegativeRow{"EditXmax", "-7", "Неверное значение максимального хода диффузора"},
                                         NegativeRow{"EditFb", "1E-200", "Неверное значение частоты настройки порта"},
                                         NegativeRow{"SpinEdNPorts", nullptr, "Неверное значение количества портов", 0},
                                         NegativeRow{"SpinEdNPorts", nullptr, "Неверное значение количества портов", -2}),
                       ::testing::ValuesIn(kSeparators)));

// ---- reset of the source editors --------------------------------------------------------------------

TEST_P(BoundaryGroup, ClearMinsResetsTheEditorsAndKeepsTheArea)
{
    CalcRig rig(GetParam());
    rig.calc.RecalcMins();
    const std::string smin = rig.text("EditSmin");
    const CalcState before = rig.state;
    rig.put({{"EditFb", "41"}, {"EditVb", "12.5"}, {"EditDd", "300"}, {"EditNd", "2"}, {"EditXmax", "11"},
             {"EdVtot", "1.5"}});
    rig.form.spins["SpinEdNPorts"] = 3;
    rig.form.selectors["ComboPortType"] = 1;
    rig.calc.ClearMins();

    const std::vector<std::pair<std::string, std::string>> expected{
        {"EditFb", "30"}, {"EditVb", "45"}, {"EditDd", "210"}, {"EditNd", "1"}, {"EditXmax", "7"},
        {"EditDpmin", ""}, {"EditLpmin", ""}, {"EditVpmax", ""}, {"EdVtot", ""}, {"EditSmin", smin}};
    for (const auto& [field, text] : expected)
        EXPECT_EQ(rig.text(field), text) << field;
    EXPECT_EQ(rig.form.spins["SpinEdNPorts"], 1);
    EXPECT_EQ(rig.form.selectors["ComboPortType"], 0);
    EXPECT_EQ(rig.state.Smin, before.Smin); // no global changes until the next RecalcMins
    EXPECT_EQ(rig.state.Fb, before.Fb);
}

INSTANTIATE_TEST_SUITE_P(Separators, BoundaryGroup, ::testing::ValuesIn(kSeparators), SeparatorName());

} // namespace
