// Histogram of 10^7 values into 1000 bins: each value finds its bin by a
// binary search over the bin edges (the same bins a scan from the lowest
// edge gives).
#include "core/polyfit.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

static void BM_Histogram(benchmark::State& state)
{
    const std::size_t n = 10'000'000;
    const int bins = static_cast<int>(state.range(0));
    std::vector<double> points(2 * n);
    std::mt19937_64 rng(42);
    std::normal_distribution<double> dist(0.0, 1.0);
    double lo = 0, hi = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double y = dist(rng);
        points[2 * i] = static_cast<double>(i);
        points[2 * i + 1] = y;
        lo = std::min(lo, y);
        hi = std::max(hi, y);
    }
    std::vector<double> out;
    for (auto _ : state) {
        out.clear();
        histogram({{0, lo}, {0, hi}}, points, out, bins);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(n));
}
BENCHMARK(BM_Histogram)->Arg(1000)->Unit(benchmark::kMillisecond);
