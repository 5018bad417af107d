// Full redraw of a 1200 x 800 plot holding one curve of noisy data.
// Goals: 10^6 points under 30 ms, 10^7 points under 300 ms, one core.
#include <benchmark/benchmark.h>

#include "support/noisyplot.h"

namespace {

void BM_RedrawLine(benchmark::State& state)
{
    auto p = noisyPlot(std::size_t(state.range(0)), true, false);
    for (auto _ : state)
        p->refreshPixmap();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RedrawLine)->Arg(1000000)->Arg(10000000)->Unit(benchmark::kMillisecond);

void BM_RedrawSymbols(benchmark::State& state)
{
    auto p = noisyPlot(std::size_t(state.range(0)), false, true);
    for (auto _ : state)
        p->refreshPixmap();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RedrawSymbols)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_RedrawEmpty(benchmark::State& state)
{
    auto p = noisyPlot(2, true, false);
    for (auto _ : state)
        p->refreshPixmap();
}
BENCHMARK(BM_RedrawEmpty)->Unit(benchmark::kMillisecond);

} // namespace
