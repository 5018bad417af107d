// Statistics over one curve of 10^7 points.
#include "core/curvestats.h"

#include <benchmark/benchmark.h>

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

void BM_Median(benchmark::State& state)
{
    curves();
    for (auto _ : state)
        benchmark::DoNotOptimize(medianOfCurve(curves(), 0, 1));
    perPoint(state);
}
BENCHMARK(BM_Median)->Unit(benchmark::kMillisecond);

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
