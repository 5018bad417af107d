// Copying and moving curves of 10^7 points between plots: the "copy" and
// "move" commands' transfer from a plot of three such curves, one curve
// selected, into another tab's plot, rescaled and redrawn there. Only the
// selected curve is handed over, and its values are shared until changed.
// Reports the time per transfer. Goal: under 100 ms.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QToolButton>

#include <cmath>

#include "plot/plotter.h"
#include "tabs/plotterctrl.h"
#include "tabs/plotterquad.h"
#include "tabs/progressbar.h"

namespace {

constexpr std::size_t kPoints = 10000000;

struct Setup {
    ProgressBar bar;
    QToolButton undo;
    std::unique_ptr<PlotterCtrl> ctrl;
    Plotter* source = nullptr;

    Setup()
    {
        ctrl = std::make_unique<PlotterCtrl>(nullptr, &bar, &undo);
        ctrl->resize(1200, 800);
        ctrl->show();
        source = ctrl->currentPlotter();
        for (int id = 0; id < 3; ++id) {
            std::vector<double> v(2 * kPoints);
            for (std::size_t i = 0; i < kPoints; ++i) {
                v[2 * i] = double(i);
                v[2 * i + 1] = std::sin(double(i) * 1e-4 * (id + 1));
            }
            source->setCurveData(id, CurveData(std::move(v)), false);
        }
        source->rescale();
        ctrl->on_newTab(QStringLiteral("Target"));
        QCoreApplication::processEvents();
    }
};

void BM_CopyOneCurveOf10MPoints(benchmark::State& state)
{
    Setup s;
    Plotter* target = s.ctrl->findPlotter(QStringLiteral("Target"), 0);
    for (auto _ : state) {
        s.ctrl->copyMoveCurves(s.source, {2}, QStringLiteral("Target"), 1, false);
        state.PauseTiming();
        target->removeAllCurves();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CopyOneCurveOf10MPoints)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MoveOneCurveOf10MPointsBackAndForth(benchmark::State& state)
{
    Setup s;
    Plotter* target = s.ctrl->findPlotter(QStringLiteral("Target"), 0);
    bool there = false;
    for (auto _ : state) {
        if (there)
            s.ctrl->copyMoveCurves(target, {1}, QStringLiteral("Plot 1"), 1, true);
        else
            s.ctrl->copyMoveCurves(s.source, {2}, QStringLiteral("Target"), 1, true);
        there = !there;
    }
}
BENCHMARK(BM_MoveOneCurveOf10MPointsBackAndForth)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
