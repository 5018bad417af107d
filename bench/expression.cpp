// Expressions over curves: "C1*2+sin(C2)" over two curves of 10^6 points.
// The expression is parsed once and evaluated per point with bound values.
// Goal: at least 20 x 10^6 points/s on one core (the single-part kernel),
// and the six-part thread for the whole run.
#include "core/expression.h"
#include "core/expressionthread.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {
constexpr long long kPoints = 1'000'000;

CurveData makeCurve(double scale)
{
    CurveData c;
    c.values.reserve(2 * kPoints);
    for (long long i = 0; i < kPoints; ++i)
        c.append(static_cast<double>(i) * 1e-3, scale * std::sin(static_cast<double>(i) * 1e-4));
    return c;
}

const CurveData& curve1()
{
    static const CurveData c = makeCurve(3.0);
    return c;
}
const CurveData& curve2()
{
    static const CurveData c = makeCurve(-1.5);
    return c;
}
} // namespace

static void BM_ExpressionOnePart(benchmark::State& state)
{
    const CompiledExpression e = CompiledExpression::compile("C1*2+sin(C2)", {"C1", "C2"});
    std::vector<double> out(2 * kPoints);
    for (auto _ : state) {
        int errors = 0;
        std::atomic<bool> allZero{true};
        const std::size_t n = evaluateExpressionPart(
            e, {ExpressionInput::over(curve1()), ExpressionInput::over(curve2())}, out.data(), out.size(), errors,
            allZero);
        if (n != out.size())
            state.SkipWithError("points lost");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
    state.counters["Mpoints/s (goal >= 20)"] =
        benchmark::Counter(static_cast<double>(kPoints) * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ExpressionOnePart)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_ExpressionThreadSixParts(benchmark::State& state)
{
    for (auto _ : state) {
        ExpressionThread t(nullptr, "C1*2+sin(C2)", "C1*2+sin(C2)", false);
        state.PauseTiming();
        t.addInput("C1", curve1());
        t.addInput("C2", curve2());
        state.ResumeTiming();
        t.setNotify(false);
        t.start();
        t.wait();
        if (t.result().pointCount() != static_cast<std::size_t>(kPoints))
            state.SkipWithError("wrong number of points");
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_ExpressionThreadSixParts)->Unit(benchmark::kMillisecond)->UseRealTime();

// The one-off path: parse and evaluate a text, as the command fallback does.
static void BM_EvaluateText(benchmark::State& state)
{
    ExpressionEvaluator ev;
    for (auto _ : state)
        benchmark::DoNotOptimize(evaluateExpression("20*log10(sqrt(3.5^2 + 1.25^2))", nullptr, &ev));
}
BENCHMARK(BM_EvaluateText);
