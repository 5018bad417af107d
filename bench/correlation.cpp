// Cross-correlation and convolution of 2^20 points through FFTW (estimate
// planning, one plan per transform). Reports the time per call.
#include "core/fft.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {
std::vector<double> signal(std::size_t n, double f)
{
    std::vector<double> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = std::sin(f * static_cast<double>(i)) + 0.25 * std::cos(3.1 * f * static_cast<double>(i));
    return v;
}
} // namespace

static void BM_CrossCorrelation(benchmark::State& state)
{
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    const std::vector<double> a = signal(n, 0.001), b = signal(n, 0.0013);
    std::vector<double> out;
    for (auto _ : state) {
        crossCorrelation(a, b, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(n));
}
BENCHMARK(BM_CrossCorrelation)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

static void BM_Convolution(benchmark::State& state)
{
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    const std::vector<double> a = signal(n, 0.001), b = signal(n, 0.0013);
    std::vector<double> out;
    for (auto _ : state) {
        convolution(a, b, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(n));
}
BENCHMARK(BM_Convolution)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

static void BM_Autocorrelation(benchmark::State& state)
{
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    const std::vector<double> a = signal(n, 0.001);
    std::vector<double> out;
    for (auto _ : state) {
        autocorrelation(a, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(n));
}
BENCHMARK(BM_Autocorrelation)->Arg(1 << 20)->Unit(benchmark::kMillisecond);
