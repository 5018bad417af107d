// The signal-processing analyses on the user's path, from the plot's slot to
// the drawn result plot: the power spectral density of 10^7 points in 8
// slices, cross-correlation and convolution of two curves of 2^20 points,
// and smoothing 10^7 points over 101 points (with the kernel alone beside
// it, in ns per point).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QSpinBox>

#include <memory>

#include "analysis/fftdialog.h"
#include "analysis/smoothing.h"
#include "analysis/spectrum.h"
#include "platform/scriptedprompter.h"
#include "support/noisyplot.h"

namespace {

// Installs a prompter for the run and puts the previous one back after.
struct Prompts {
    kro::ScriptedPrompter* p = new kro::ScriptedPrompter;
    std::unique_ptr<kro::Prompter> previous = kro::installPrompter(std::unique_ptr<kro::Prompter>(p));
    ~Prompts() { kro::installPrompter(std::move(previous)); }
};

// Deletes the result plots the analysis makes.
struct ResultPlots {
    explicit ResultPlots(Plotter& p)
        : link(QObject::connect(&p, &Plotter::newPlotterBuilt, [this](Plotter* r) { made.emplace_back(r); }))
    {
    }
    ~ResultPlots() { QObject::disconnect(link); }
    QMetaObject::Connection link;
    std::vector<std::unique_ptr<Plotter>> made;
};

// The wall time per point, shown in seconds with an SI prefix ("85.2ns").
benchmark::Counter timePerPoint(const benchmark::State& state, double points)
{
    return benchmark::Counter(static_cast<double>(state.iterations()) * points,
                              benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

static void BM_PsdOfTenMillionPointsInEightSlices(benchmark::State& state)
{
    auto plot = noisyPlot(10'000'000);
    Prompts prompts;
    for (auto _ : state) {
        state.PauseTiming();
        prompts.p->answerDialog([](QDialog* d) {
            static_cast<FFTInputDialog*>(d)->m_slicesSpin->setValue(8);
            return int(QDialog::Accepted);
        });
        ResultPlots results(*plot);
        state.ResumeTiming();
        plot->plotpsd();
        QApplication::processEvents();
        benchmark::DoNotOptimize(results.made.size());
        state.PauseTiming();
        results.made.clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 10'000'000LL);
}
BENCHMARK(BM_PsdOfTenMillionPointsInEightSlices)->Unit(benchmark::kMillisecond)->Iterations(3);

static void BM_PsdKernelTenMillionPoints(benchmark::State& state)
{
    auto plot = noisyPlot(10'000'000);
    const CurveData& c = plot->curves().at(0);
    SpectrumSettings s;
    s.sampleRate = 1e4;
    s.slices = 8;
    s.pointsPerSlice = 1'250'000;
    s.window = 3;
    for (auto _ : state) {
        SpectrumEstimator e(s);
        benchmark::DoNotOptimize(e.run(c.values.data() + 1, c.pointCount(), 2).points.data());
    }
    state.SetItemsProcessed(state.iterations() * 10'000'000LL);
}
BENCHMARK(BM_PsdKernelTenMillionPoints)->Unit(benchmark::kMillisecond)->Iterations(3);

static void BM_TwoCurveAnalysisOfTwoToTheTwenty(benchmark::State& state)
{
    auto plot = noisyPlot(1 << 20);
    CurveData second = plot->curves().at(0);
    std::vector<double>& v = second.values.mut();
    for (std::size_t i = 1; i < v.size(); i += 2)
        v[i] = std::cos(v[i]);
    plot->setCurveData(1, std::move(second), false);
    const bool convolve = state.range(0) == 1;
    for (auto _ : state) {
        state.PauseTiming();
        ResultPlots results(*plot);
        state.ResumeTiming();
        if (convolve)
            plot->plotconv();
        else
            plot->plotxcf();
        QApplication::processEvents();
        state.PauseTiming();
        results.made.clear();
        state.ResumeTiming();
    }
    state.SetLabel(convolve ? "convolution" : "cross-correlation");
}
BENCHMARK(BM_TwoCurveAnalysisOfTwoToTheTwenty)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

static void BM_SmoothTenMillionPointsBy101(benchmark::State& state)
{
    auto plot = noisyPlot(10'000'000);
    const std::vector<double> points = plot->curves().at(0).values;
    for (auto _ : state)
        benchmark::DoNotOptimize(centredMovingAverage(points, 101).data());
    state.counters["per_point"] = timePerPoint(state, 10'000'000);
}
BENCHMARK(BM_SmoothTenMillionPointsBy101)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

static void BM_SmoothCommandTenMillionPointsBy101(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto plot = noisyPlot(10'000'000);
        state.ResumeTiming();
        plot->smoothData(101, IdArray::all(), false);
        QApplication::processEvents();
    }
    state.counters["per_point"] = timePerPoint(state, 10'000'000);
}
BENCHMARK(BM_SmoothCommandTenMillionPointsBy101)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
