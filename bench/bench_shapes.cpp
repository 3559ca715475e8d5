// A full geometry recalculation of each of the twelve shapes, as the geometry button runs it: the
// first-run design (30 Hz, 45 litres, one 210 mm woofer of 7 mm excursion, one port, 344 m/s) with the
// sizes a freshly shown page fills in. Aim: well under a millisecond, except the shapes that grow a
// flare slice by slice (the cone, the wedge).
#include "core/Calc.h"
#include "core/CalcState.h"
#include "core/CurvePages.h"
#include "core/CurvedPorts.h"
#include "core/Numbers.h"
#include "core/PageDefaults.h"
#include "core/Shapes.h"
#include "tests/support/MemoryForm.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// The page defaults of the first-run design give the hourglass slot, in its √3 proportions, two wedges
// longer than the whole port (the straight part would be refused): that page shows only its wall angle
// and leaves its sizes to the branch's own defaults.
bool sizesLeftToTheBranch(const vx::ShapeRow& row, const vx::ShownSize& size)
{
    return row.type == vx::PRISMBOXPRISM && size.value != row.angle;
}

struct ShapeDesign {
    vx::test::MemoryForm form;
    vx::CalcState state;
    vx::Calc calc{form, state};

    explicit ShapeDesign(int shape)
    {
        form.texts = {{"EditFb", "30"}, {"EditVb", "45"}, {"EditDd", "210"}, {"EditNd", "1"},
                      {"EditXmax", "7"}, {"EditVs", "344"}};
        form.spins["SpinEdNPorts"] = 1;
        for (const vx::CurvePage& page : vx::kCurvePages) {
            form.spinRange[std::string(page.multiplier)] = {10, 50};
            form.spins[std::string(page.multiplier)] = 10; // a stored 0 shows as the editor's minimum
        }
        const vx::ShapeRow& row = vx::shapeRow(shape);
        state.SBut = shape;
        form.buttonDown = row.button;
        calc.RecalcMins();
        // What the shown page fills in and shows, from the minimum diameter as its field shows it.
        row.defaults(state, vx::parseFloat(form.text("EditDpmin"), form.sep));
        for (const vx::ShownSize& size : row.shown) {
            if (size.field.empty())
                break;
            const double value = sizesLeftToTheBranch(row, size) ? 0.0 : state.*size.value;
            form.texts[std::string(size.field)] = vx::shownText(value, size.how, form.sep);
        }
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

const bool kRegistered = [] {
    for (const vx::ShapeRow& row : vx::kShapes)
        benchmark::RegisterBenchmark(("BM_RecalcRes/" + std::string(row.name)).c_str(), BM_RecalcRes)
            ->Arg(row.type)
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
