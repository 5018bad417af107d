// Live appending: 100 batches of 1,000 rows into a sliding window of 10^6
// points, the plot redrawn (as a live link redraws it) after every batch.
// Reports rows per second including the redraws. Goal: 10^6 rows/s.
//   Filling: the window starts empty (it holds 10^5 points at the end).
//   Sliding: the window starts full, so every batch drops the oldest rows.
#include <benchmark/benchmark.h>

#include <QRandomGenerator>

#include <cmath>
#include <memory>

#include "plot/plotter.h"

namespace {

constexpr int kBatches = 100;
constexpr int kRows = 1000;
constexpr int kWindow = 1000000;

struct Feed {
    QRandomGenerator rng{11};
    double x = 0;
    std::vector<double> next(int rows)
    {
        std::vector<double> v(2 * std::size_t(rows));
        for (int i = 0; i < rows; ++i) {
            v[2 * std::size_t(i)] = x;
            v[2 * std::size_t(i) + 1] = std::sin(x / 5000.0) + 0.1 * rng.generateDouble();
            x += 1;
        }
        return v;
    }
};

std::unique_ptr<Plotter> livePlot()
{
    auto p = std::make_unique<Plotter>(nullptr, "live");
    p->resize(1200, 800);
    p->show();
    return p;
}

void run(benchmark::State& state, bool startFull)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto p = livePlot();
        Feed feed;
        if (startFull)
            p->appendLiveData(0, feed.next(kWindow), kWindow, true);
        std::vector<std::vector<double>> batches;
        for (int b = 0; b < kBatches; ++b)
            batches.push_back(feed.next(kRows));
        state.ResumeTiming();
        for (int b = 0; b < kBatches; ++b) {
            p->appendLiveData(0, batches[std::size_t(b)], kWindow, false);
            p->redrawCurves();
        }
        state.PauseTiming();
        p.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kBatches * kRows);
}

void BM_LiveAppendFilling(benchmark::State& state) { run(state, false); }
BENCHMARK(BM_LiveAppendFilling)->Unit(benchmark::kMillisecond);

void BM_LiveAppendSliding(benchmark::State& state) { run(state, true); }
BENCHMARK(BM_LiveAppendSliding)->Unit(benchmark::kMillisecond);

// The append alone (no redraw), window full.
void BM_LiveAppendSlidingNoRedraw(benchmark::State& state)
{
    auto p = livePlot();
    Feed feed;
    p->appendLiveData(0, feed.next(kWindow), kWindow, true);
    const std::vector<double> batch = feed.next(kRows);
    for (auto _ : state)
        p->appendLiveData(0, batch, kWindow, false);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_LiveAppendSlidingNoRedraw)->Unit(benchmark::kMicrosecond);

} // namespace

namespace {
// Components at the middle of the filling run (5 x 10^4 points).
void BM_LiveRedrawOnly(benchmark::State& state)
{
    auto p = livePlot();
    Feed feed;
    p->appendLiveData(0, feed.next(50000), kWindow, true);
    for (auto _ : state)
        p->redrawCurves();
}
BENCHMARK(BM_LiveRedrawOnly)->Unit(benchmark::kMicrosecond);

void BM_LiveRedrawEmpty(benchmark::State& state)
{
    auto p = livePlot();
    Feed feed;
    p->appendLiveData(0, feed.next(2), kWindow, true);
    for (auto _ : state)
        p->redrawCurves();
}
BENCHMARK(BM_LiveRedrawEmpty)->Unit(benchmark::kMicrosecond);
} // namespace
