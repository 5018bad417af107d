// Pointer moves over a plot with the snap-to-curve readout on: each move
// finds the curve's point nearest to the pointer and updates the readout
// label. Goal: 1,000 moves over a 10^6-point curve in under 1 s, that is
// under 1 ms per move, the search index rebuilt once after the redraw.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>

#include <cmath>
#include <memory>

#include "plot/nearestpoint.h"
#include "support/noisyplot.h"

namespace {

constexpr int kMoves = 1000;

std::unique_ptr<Plotter> snappedPlot(std::size_t n)
{
    auto p = noisyPlot(n);
    p->snapTo(true, SET);
    p->toggleMouseXY();
    QApplication::processEvents();
    return p;
}

void movePointer(Plotter& p, int i)
{
    const QRect a = p.plotArea();
    // Across the plot area and up and down, as a hand would.
    const QPoint pos(a.left() + (i * 7) % a.width(), a.top() + int((0.5 + 0.45 * std::sin(i * 0.05)) * a.height()));
    QMouseEvent e(QEvent::MouseMove, QPointF(pos), QPointF(p.mapToGlobal(pos)), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(&p, &e);
}

// 1,000 moves after a redraw (the first move rebuilds the search index).
void BM_SnapPointerMoves(benchmark::State& state)
{
    auto p = snappedPlot(std::size_t(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        p->redrawCurves();
        state.ResumeTiming();
        for (int i = 0; i < kMoves; ++i)
            movePointer(*p, i);
    }
    // Seconds per move, shown with its unit.
    state.counters["per_move"] =
        benchmark::Counter(double(kMoves), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SnapPointerMoves)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The index build alone (once per redraw).
void BM_SnapIndexBuild(benchmark::State& state)
{
    auto p = snappedPlot(std::size_t(state.range(0)));
    movePointer(*p, 0);
    const std::vector<double>& values = p->curves().at(0).values;
    curveraster::Mapping m;
    m.xmin = p->view().xRange().min;
    m.ymin = p->view().yRange().min;
    m.xScale = (p->plotArea().width() - 1) / p->view().xRange().span();
    m.yScale = (p->plotArea().height() - 1) / p->view().yRange().span();
    m.left = p->marginLeft();
    m.bottom = p->plotArea().bottom();
    for (auto _ : state) {
        NearestPointIndex index;
        index.build(values, m);
        benchmark::DoNotOptimize(index.nearest(500, 400));
    }
}
BENCHMARK(BM_SnapIndexBuild)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace
