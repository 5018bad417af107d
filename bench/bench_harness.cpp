// Keeps the benchmark frame honest until the first real benchmarks land.
#include <benchmark/benchmark.h>
#include <QString>

static void BM_QStringNumber(benchmark::State& state)
{
    double v = 0.1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(QString::number(v, 'g', 17));
        v += 1.0;
    }
}
BENCHMARK(BM_QStringNumber);
