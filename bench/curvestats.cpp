// Statistics over one curve of 10^7 points.
#include "core/curvestats.h"

#include <benchmark/benchmark.h>

#include <QFile>

#include "support/benchfiles.h"

#include <cmath>

namespace {

constexpr int kPoints = 10000000;

const CurveMap& curves()
{
    static const CurveMap map = [] {
        CurveData c;
        c.values.reserve(2 * kPoints);
        unsigned state = 12345;
        for (int i = 0; i < kPoints; ++i) {
            state = state * 1664525u + 1013904223u;
            c.values.push_back(i * 0.001);
            c.values.push_back(std::sin(i * 1e-4) + (state >> 8) * 1e-8);
        }
        return CurveMap{{0, std::move(c)}};
    }();
    return map;
}

void perPoint(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * kPoints);
    // Seconds per point, shown with an SI prefix (n = ns).
    state.counters["s/point"] = benchmark::Counter(kPoints, benchmark::Counter::kIsIterationInvariantRate |
                                                                benchmark::Counter::kInvert);
}

void BM_Sum(benchmark::State& state)
{
    curves();
    for (auto _ : state)
        benchmark::DoNotOptimize(sumOfCurve(curves(), 0, 1));
    perPoint(state);
}
BENCHMARK(BM_Sum)->Unit(benchmark::kMillisecond);

void BM_Variance(benchmark::State& state)
{
    curves();
    for (auto _ : state)
        benchmark::DoNotOptimize(varianceOfCurve(curves(), 0, 1));
    perPoint(state);
}
BENCHMARK(BM_Variance)->Unit(benchmark::kMillisecond);

// numpy.median of the same values, side by side: the best time of a few
// runs, in seconds (Debian's python3-numpy).
double numpyMedianSeconds(int runs)
{
    const CurveData& c = curves().at(0);
    const QString path = benchfiles::folder().filePath(QStringLiteral("median.f64"));
    if (!QFileInfo::exists(path)) {
        std::vector<double> ys(c.pointCount());
        for (std::size_t i = 0; i < ys.size(); ++i)
            ys[i] = c.y(i);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(reinterpret_cast<const char*>(ys.data()), qint64(ys.size() * sizeof(double)));
    }
    const QString out = benchfiles::runPython(QStringLiteral(R"(
import sys, time
import numpy as np
a = np.fromfile(sys.argv[1], dtype=np.float64)
best = None
for _ in range(int(sys.argv[2])):
    t = time.perf_counter()
    m = np.median(a)
    dt = time.perf_counter() - t
    best = dt if best is None else min(best, dt)
print(best, m)
)"),
                                              {path, QString::number(runs)});
    return out.isEmpty() ? 0 : out.split(' ').first().toDouble();
}

// Goal: within 1.5 x numpy's time ("vs_numpy" <= 1.5).
void BM_Median(benchmark::State& state)
{
    curves();
    for (auto _ : state)
        benchmark::DoNotOptimize(medianOfCurve(curves(), 0, 1));
    perPoint(state);
    const double numpy = numpyMedianSeconds(5);
    if (numpy > 0) {
        state.counters["numpy_ms"] = numpy * 1e3;
        // Our time per run over numpy's.
        state.counters["vs_numpy"] =
            benchmark::Counter(numpy, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    } else {
        state.SetLabel("numpy not available: run scripts/install-deps.sh --bench");
    }
}
BENCHMARK(BM_Median)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Extremes(benchmark::State& state)
{
    curves();
    for (auto _ : state) {
        benchmark::DoNotOptimize(extremeOfCurve(curves(), ALL_CURVES, 0, 1));
        benchmark::DoNotOptimize(extremeOfCurve(curves(), ALL_CURVES, 1, 1));
    }
    perPoint(state);
}
BENCHMARK(BM_Extremes)->Unit(benchmark::kMillisecond);

void BM_Kurtosis(benchmark::State& state)
{
    curves();
    for (auto _ : state)
        benchmark::DoNotOptimize(kurtosisOfCurve(curves(), 0, 1));
    perPoint(state);
}
BENCHMARK(BM_Kurtosis)->Unit(benchmark::kMillisecond);

} // namespace
