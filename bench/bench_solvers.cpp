// The slice solvers at their slice cap: the cone and the wedge that grow 3,000,001 slices without
// reaching their target. The counter "per_slice" is the time of one slice.
#include "core/BranchKit.h"
#include "core/Calc.h"
#include "core/CalcState.h"
#include "tests/support/MemoryForm.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// The reference design: 30 Hz, 45 litres, one port, 344 m/s.
struct Design {
    vx::test::MemoryForm form;
    vx::CalcState state;
    vx::Calc calc{form, state};
    Design()
    {
        state.Fb = 30;
        state.Vb = 45;
        state.Np = 1;
        state.Us = 344;
    }
};

void perSlice(benchmark::State& st)
{
    st.counters["per_slice"] = benchmark::Counter(static_cast<double>(vx::kit::kGrowthSlices),
                                                  benchmark::Counter::kIsIterationInvariantRate |
                                                      benchmark::Counter::kInvert);
}

// A cone of 10° from the 69.64 mm throat levels off below its target and runs into the cap.
void BM_GetL_ConeGrowthAtCap(benchmark::State& st)
{
    Design d;
    for (auto _ : st) {
        benchmark::DoNotOptimize(d.calc.GetL(1, 0.06964, 10, 0));
        d.form.messages.clear();
    }
    if (d.state.D2 < 0.06964 * 100) // the cone must really have grown to the cap
        st.SkipWithError("the cone did not reach the slice cap");
    perSlice(st);
}
BENCHMARK(BM_GetL_ConeGrowthAtCap)->Unit(benchmark::kMillisecond);

// A wedge of 60° from the default throat of the 12 m/s limit runs into the cap the same way.
void BM_GetLW_WedgeGrowthAtCap(benchmark::State& st)
{
    Design d;
    const double smin = 0.0038084335982703555;
    const double w = std::sqrt(smin * std::cbrt(2.0));
    const double h = smin / w;
    for (auto _ : st) {
        benchmark::DoNotOptimize(d.calc.GetLW(1, w, 60, 0, h));
        d.form.messages.clear();
    }
    if (d.state.W2 < w * 100)
        st.SkipWithError("the wedge did not reach the slice cap");
    perSlice(st);
}
BENCHMARK(BM_GetLW_WedgeGrowthAtCap)->Unit(benchmark::kMillisecond);

} // namespace
