// Data operations on a plot's curves, measured on the user's path.
//
// Expressions: "20*log10(sqrt(C1^2 + C2^2))" over two curves of 10^6 points,
// from the expr command's call on the plot to the stored, rescaled result.
// Goals: at least as fast as numpy evaluating the same expression with
// temporaries on this machine, and within 2x of numpy writing into
// preallocated arrays on an 8-core machine. numpy runs side by side in the
// same program (python3 with numpy; reported as skipped without it).
//
// Arithmetic, crop, erase and the in-place transforms of 10^7 points: the
// change of the curve data as the plot makes it after its undo copy (the
// copy-on-write split included), goal under 100 ms each; the plot's redraw
// that follows has its own benchmark (plot_redraw).
#include <QProcess>
#include <QStringList>

#include <benchmark/benchmark.h>

#include <cmath>

#include "analysis/arithmetic.h"
#include "analysis/cropping.h"
#include "analysis/curvetransforms.h"
#include "plot/plotter.h"

namespace {

constexpr long long kExprPoints = 1'000'000;
constexpr std::size_t kOpPoints = 10'000'000;

std::unique_ptr<Plotter> expressionPlot()
{
    auto p = std::make_unique<Plotter>(nullptr, "bench");
    p->resize(1200, 800);
    p->show();
    CurveData c1, c2;
    std::vector<double>& a = c1.values.mut();
    std::vector<double>& b = c2.values.mut();
    a.resize(2 * kExprPoints);
    b.resize(2 * kExprPoints);
    for (long long i = 0; i < kExprPoints; ++i) {
        const double s = std::sin(double(i) * 1e-4);
        a[std::size_t(2 * i)] = b[std::size_t(2 * i)] = double(i) * 1e-3;
        a[std::size_t(2 * i + 1)] = 3 * s;
        b[std::size_t(2 * i + 1)] = -1.5 * s + 2;
    }
    p->setCurveData(0, std::move(c1), false);
    p->setCurveData(1, std::move(c2), true);
    return p;
}

void BM_ExpressionThroughPlot(benchmark::State& state)
{
    auto p = expressionPlot();
    for (auto _ : state) {
        p->expression(QStringLiteral("20*log10(sqrt(C1^2 + C2^2))"), true);
        state.PauseTiming();
        if (p->curves().size() != 3 || p->curves().at(2).pointCount() != std::size_t(kExprPoints))
            state.SkipWithError("no result");
        p->removeCurve(2);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kExprPoints);
}
BENCHMARK(BM_ExpressionThroughPlot)->Unit(benchmark::kMillisecond)->UseRealTime();

// numpy on the same data, best of five runs of five, in milliseconds.
void BM_NumpySameExpression(benchmark::State& state)
{
    const QString script = QStringLiteral(
        "import numpy as np, timeit\n"
        "n=10**6\n"
        "s=np.sin(np.arange(n)*1e-4)\n"
        "a=3*s; b=-1.5*s+2\n"
        "f=lambda: 20*np.log10(np.sqrt(a**2+b**2))\n"
        "t1=min(timeit.repeat(f, number=5, repeat=5))/5\n"
        "o=np.empty(n); w=np.empty(n)\n"
        "def g():\n"
        "    np.multiply(a,a,out=o); np.multiply(b,b,out=w); np.add(o,w,out=o)\n"
        "    np.sqrt(o,out=o); np.log10(o,out=o); np.multiply(o,20,out=o)\n"
        "t2=min(timeit.repeat(g, number=5, repeat=5))/5\n"
        "print(t1*1e3, t2*1e3)\n");
    for (auto _ : state) {
        // The first interpreter that has numpy (the system's own one last).
        QString output;
        for (const QString& interpreter : {QStringLiteral("python3"), QStringLiteral("/usr/bin/python3")}) {
            QProcess python;
            python.start(interpreter, {QStringLiteral("-c"), script});
            if (python.waitForFinished(120000) && python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0) {
                output = QString::fromLatin1(python.readAllStandardOutput()).trimmed();
                break;
            }
        }
        if (output.isEmpty()) {
            state.SkipWithError("python3 with numpy is not available");
            return;
        }
        const QStringList times = output.split(' ');
        if (times.size() != 2) {
            state.SkipWithError("unexpected numpy output");
            return;
        }
        state.counters["temporaries_ms"] = times[0].toDouble();
        state.counters["preallocated_ms"] = times[1].toDouble();
    }
}
BENCHMARK(BM_NumpySameExpression)->Iterations(1)->Unit(benchmark::kMillisecond);

// 10^7 points of noisy data, shared with an undo copy as in the plot.
const CurveValues& bigCurve()
{
    static const CurveValues values = [] {
        std::vector<double> v(2 * kOpPoints);
        for (std::size_t i = 0; i < kOpPoints; ++i) {
            v[2 * i] = double(i);
            v[2 * i + 1] = std::sin(double(i) * 1e-3) + double(i % 7) * 0.01;
        }
        return CurveValues(std::move(v));
    }();
    return values;
}

template <typename Op>
void runOnCopy(benchmark::State& state, Op op)
{
    bigCurve(); // made once, outside the timing
    for (auto _ : state) {
        CurveValues curve = bigCurve(); // the plot's curve, shared with its undo copy
        op(curve);
        benchmark::DoNotOptimize(curve.data());
        state.PauseTiming();
        curve.clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(kOpPoints));
}

void BM_Arithmetic10M(benchmark::State& state)
{
    runOnCopy(state, [](CurveValues& c) { arith::applyArithmeticToValues(c.mut(), 2.5, arith::MUL, arith::Y_AXIS); });
}
BENCHMARK(BM_Arithmetic10M)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Crop10M(benchmark::State& state)
{
    runOnCopy(state, [](CurveValues& c) { c = CurveValues(cropping::keepInside(c, {1e6, 9e6, -0.5, 0.5})); });
}
BENCHMARK(BM_Crop10M)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Erase10M(benchmark::State& state)
{
    runOnCopy(state, [](CurveValues& c) { c = CurveValues(cropping::removeInside(c, {1e6, 9e6, -0.5, 0.5})); });
}
BENCHMARK(BM_Erase10M)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CumulativeSum10M(benchmark::State& state)
{
    runOnCopy(state, [](CurveValues& c) { transforms::cumulativeSumY(c.mut()); });
}
BENCHMARK(BM_CumulativeSum10M)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Differentiate10M(benchmark::State& state)
{
    runOnCopy(state, [](CurveValues& c) { transforms::differentiateY(c.mut()); });
}
BENCHMARK(BM_Differentiate10M)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Integrate10M(benchmark::State& state)
{
    runOnCopy(state, [](CurveValues& c) { transforms::integrateY(c.mut()); });
}
BENCHMARK(BM_Integrate10M)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Normalize10M(benchmark::State& state)
{
    runOnCopy(state, [](CurveValues& c) { transforms::normalizeY(c.mut(), 0, 1); });
}
BENCHMARK(BM_Normalize10M)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FirstDifference10M(benchmark::State& state)
{
    const std::vector<double> b = transforms::differenceCoefficients(1);
    runOnCopy(state, [&b](CurveValues& c) { c = CurveValues(transforms::nthDifference(c.vec(), b)); });
}
BENCHMARK(BM_FirstDifference10M)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole path of a crop on the plot, redraw included, for reference.
void BM_CropThroughPlot10M(benchmark::State& state)
{
    auto p = std::make_unique<Plotter>(nullptr, "bench");
    p->resize(1200, 800);
    p->show();
    for (auto _ : state) {
        state.PauseTiming();
        CurveData c;
        c.values = bigCurve();
        p->setCurveData(0, std::move(c), true);
        state.ResumeTiming();
        p->crop({1e6, 9e6, -0.5, 0.5}, {ALL_CURVES});
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(kOpPoints));
}
BENCHMARK(BM_CropThroughPlot10M)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
