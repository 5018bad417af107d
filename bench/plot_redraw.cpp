// Full redraw of a 1200 x 800 plot holding one curve of noisy data.
// Goals: 10^6 points under 30 ms, 10^7 points under 300 ms, one core.
#include <benchmark/benchmark.h>

#include <QRandomGenerator>

#include <cmath>
#include <memory>

#include "plot/plotter.h"

namespace {

std::unique_ptr<Plotter> plotWith(std::size_t n, bool line, bool symbols)
{
    auto p = std::make_unique<Plotter>(nullptr, "bench");
    p->resize(1200, 800);
    p->show();
    QRandomGenerator rng(7);
    CurveData c;
    c.values.resize(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        const double x = 1000.0 * double(i) / double(n);
        c.values[2 * i] = x;
        c.values[2 * i + 1] = std::sin(x / 50.0) + 0.5 * (rng.generateDouble() - 0.5);
    }
    c.attributes.showLine = line;
    c.attributes.showPoints = symbols;
    p->setCurveData(0, std::move(c), false);
    p->rescale();
    return p;
}

void BM_RedrawLine(benchmark::State& state)
{
    auto p = plotWith(std::size_t(state.range(0)), true, false);
    for (auto _ : state)
        p->refreshPixmap();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RedrawLine)->Arg(1000000)->Arg(10000000)->Unit(benchmark::kMillisecond);

void BM_RedrawSymbols(benchmark::State& state)
{
    auto p = plotWith(std::size_t(state.range(0)), false, true);
    for (auto _ : state)
        p->refreshPixmap();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RedrawSymbols)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_RedrawEmpty(benchmark::State& state)
{
    auto p = plotWith(2, true, false);
    for (auto _ : state)
        p->refreshPixmap();
}
BENCHMARK(BM_RedrawEmpty)->Unit(benchmark::kMillisecond);

} // namespace
