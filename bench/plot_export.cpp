// Saving 10^6 points of one curve as text (x with 15 decimals, y with 15
// significant digits). Reports bytes per second. Goal: 50 MB/s.
#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <memory>

#include "plot/plotter.h"

namespace {

void BM_SaveCurveText(benchmark::State& state)
{
    const std::size_t n = std::size_t(state.range(0));
    auto p = std::make_unique<Plotter>(nullptr, "save");
    QRandomGenerator rng(3);
    CurveData c;
    std::vector<double>& v = c.values.mut();
    v.resize(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        v[2 * i] = 50000.0 + double(i) / 86400.0;
        v[2 * i + 1] = (rng.generateDouble() - 0.5) * 1e-6;
    }
    p->setCurveData(0, std::move(c), false);
    QTemporaryDir dir;
    const QString path = dir.filePath("curve.txt");
    qint64 bytes = 0;
    for (auto _ : state) {
        p->writeCurveFiles(2, {{1, path}}, QString());
        state.PauseTiming();
        bytes += QFileInfo(path).size();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(bytes);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SaveCurveText)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace
