// A full geometry recalculation of each of the twelve shapes, as the geometry button runs it: the
// first-run design (30 Hz, 45 litres, one 210 mm woofer of 7 mm excursion, one port, 344 m/s) with the
// sizes a freshly shown page fills in. Aim: well under a millisecond, except the shapes that grow a
// flare slice by slice (the cone, the wedge).
#include "core/Calc.h"
#include "core/CalcState.h"
#include "core/CurvedPorts.h"
#include "core/Numbers.h"
#include "tests/support/MemoryForm.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

namespace {

using vx::Field;

// What the shown page fills in, from the minimum diameter as shown (mm) and the minimum area (m²).
using PageDefault = double (*)(double dminMm, double smin);

struct DefaultRow {
    int shape;
    Field field;
    PageDefault value;
};

const double kCbrt2 = std::cbrt(2.0);

double slotWidth(double smin, double k) { return std::sqrt(smin * k) * 1000; }

const DefaultRow kPageDefaults[] = {
    {vx::TUB, "EditTubD", [](double d, double) { return d; }},
    {vx::CONE, "EditConD1", [](double d, double) { return d; }},
    {vx::CONE, "EditConA", [](double, double) { return 4.0; }},
    {vx::TUBCONE, "EditTubConD1", [](double d, double) { return d; }},
    {vx::TUBCONE, "EditTubConL1", [](double d, double) { return kCbrt2 * d; }},
    {vx::TUBCONE, "EditTubConA", [](double, double) { return 4.0; }},
    {vx::CONETUBCONE, "EditConTubConD1", [](double d, double) { return d; }},
    {vx::CONETUBCONE, "EditConTubConL1", [](double d, double) { return kCbrt2 * d; }},
    {vx::CONETUBCONE, "EditConTubConA", [](double, double) { return 4.0; }},
    {vx::BOX, "EditBoxW", [](double, double s) { return slotWidth(s, kCbrt2); }},
    {vx::BOX, "EditBoxH", [](double, double s) { return slotWidth(s, kCbrt2) / kCbrt2; }},
    {vx::PRISM, "EditPriW1", [](double, double s) { return slotWidth(s, kCbrt2); }},
    {vx::PRISM, "EditPriH", [](double, double s) { return slotWidth(s, kCbrt2) / kCbrt2; }},
    {vx::PRISM, "EditPriA", [](double, double) { return 8.0; }},
    {vx::BOXPRISM, "EditBoxPriW1", [](double, double s) { return slotWidth(s, kCbrt2); }},
    {vx::BOXPRISM, "EditBoxPriH", [](double, double s) { return slotWidth(s, kCbrt2) / kCbrt2; }},
    {vx::BOXPRISM, "EditBoxPriL1", [](double, double s) { return slotWidth(s, kCbrt2) * kCbrt2; }},
    {vx::BOXPRISM, "EditBoxPriA", [](double, double) { return 8.0; }},
    // The page's √3 proportions give this design two wedges longer than the whole port (the straight
    // part would be refused), so the hourglass slot leaves its sizes to the branch's own defaults.
    {vx::PRISMBOXPRISM, "EditPriBoxPriW1", [](double, double) { return 0.0; }},
    {vx::PRISMBOXPRISM, "EditPriBoxPriH", [](double, double) { return 0.0; }},
    {vx::PRISMBOXPRISM, "EditPriBoxPriL1", [](double, double) { return 0.0; }},
    {vx::PRISMBOXPRISM, "EditPriBoxPriA", [](double, double) { return 8.0; }},
    {vx::CURVECONE, "EditCurveConL", [](double, double) { return 100.0; }},
    {vx::CURVEFLAT, "EditCurveFlatL", [](double, double) { return 100.0; }},
    {vx::CURVEFLAT, "EditCurveFlatH", [](double, double) { return 10.0; }},
    // first-run radii are 0, a sharp edge, and stay so
    {vx::FLARETUBE, "EditFlaTubD", [](double d, double) { return static_cast<double>(vx::Round(d)); }},
    {vx::FLARETUBE, "EditFlaTubR1", [](double, double) { return 0.0; }},
    {vx::FLARETUBE, "EditFlaTubR2", [](double, double) { return 0.0; }},
    {vx::FLAREFLAT, "EditFlaBoxW", [](double d, double) { return static_cast<double>(vx::Round(d / std::sqrt(2.0))); }},
    {vx::FLAREFLAT, "EditFlaBoxH", [](double d, double) { return static_cast<double>(vx::Round(d / std::sqrt(2.0))); }},
    {vx::FLAREFLAT, "EditFlaBoxR1", [](double, double) { return 0.0; }},
    {vx::FLAREFLAT, "EditFlaBoxR2", [](double, double) { return 0.0; }},
};

// The shape button that stands for each shape.
constexpr int kButtonOf[vx::kPortTypeCount] = {1, 2, 3, 4, 1, 2, 3, 4, 5, 5, 6, 6};

struct ShapeDesign {
    vx::test::MemoryForm form;
    vx::CalcState state;
    vx::Calc calc{form, state};

    explicit ShapeDesign(int shape)
    {
        form.texts = {{"EditFb", "30"}, {"EditVb", "45"}, {"EditDd", "210"}, {"EditNd", "1"},
                      {"EditXmax", "7"}, {"EditVs", "344"}};
        form.spins["SpinEdNPorts"] = 1;
        for (Field spin : {Field("SEdDiv"), Field("SEFdiv")}) {
            form.spinRange[std::string(spin)] = {10, 50};
            form.spins[std::string(spin)] = 10; // a stored 0 shows as the editor's minimum
        }
        state.SBut = shape;
        form.buttonDown = kButtonOf[shape];
        calc.RecalcMins();
        const double dmin = vx::parseFloat(form.text("EditDpmin"), form.sep).value_or(0);
        for (const DefaultRow& row : kPageDefaults)
            if (row.shape == shape)
                form.texts[std::string(row.field)] = vx::formatRounded(row.value(dmin, state.Smin), 2, form.sep);
    }
};

void BM_RecalcRes(benchmark::State& st)
{
    const int shape = static_cast<int>(st.range(0));
    ShapeDesign d(shape);
    for (auto _ : st) {
        d.calc.RecalcRes(true);
        benchmark::DoNotOptimize(d.state.Vtot);
        if (!d.form.messages.empty())
            break;
    }
    if (!d.form.messages.empty())
        st.SkipWithError(("the calculation was refused: " + d.form.messages.front().text).c_str());
    else if (d.form.text("EdVtot").empty())
        st.SkipWithError("no results");
}

const char* const kShapeNames[vx::kPortTypeCount] = {
    "TUB", "CONE", "TUBCONE", "CONETUBCONE", "BOX", "PRISM", "BOXPRISM", "PRISMBOXPRISM",
    "CURVECONE", "CURVEFLAT", "FLARETUBE", "FLAREFLAT",
};

const bool kRegistered = [] {
    for (int shape = 0; shape < vx::kPortTypeCount; ++shape)
        benchmark::RegisterBenchmark((std::string("BM_RecalcRes/") + kShapeNames[shape]).c_str(), BM_RecalcRes)
            ->Arg(shape)
            ->Unit(benchmark::kMicrosecond);
    return true;
}();

// The throat searches that find nothing, to the bound that ends them: a round port so long that even
// a vanishing throat is too wide (the step runs out), and a slot so long that its throat would be
// kilometres wide (the pass cap).
void BM_ThroatSearchGivesUp(benchmark::State& st)
{
    const double height = st.range(0) == 0 ? 0.0 : 0.05;
    vx::ThroatFit fit;
    for (auto _ : st) {
        fit = vx::fitCurvedThroat(74.011997453702L, 1e8, height, 0.3, vx::Cosh);
        benchmark::DoNotOptimize(fit.passes);
    }
    if (fit.found)
        st.SkipWithError("the search found a throat");
}
BENCHMARK(BM_ThroatSearchGivesUp)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
