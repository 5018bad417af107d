// The user's path of a load: from the plot command to the finished, drawn
// plot with its undo cache, through the plot tabs as a typed command runs.
//   large:  10^7 rows x 3 columns of 10-digit numbers (about 360 MB),
//           "kro -f file -x 1 -y 2 3", measured side by side with
//           pandas.read_csv (C engine) on the same file in a child process
//           (Debian's python3-pandas, installed by install-deps.sh --bench).
//           Goals: at least 3 x pandas' MB/s ("speedup" >= 3); peak memory
//           below what pandas holds ("memory_ratio" < 1).
//   many:   20,000 curves of 50 rows (a key column), "kro -f file -x 1 -y 2
//           -k 3"; goal: a few seconds.
// Counters: MB/s and peak_MB (growth of the resident size) of ours, and the
// same of pandas (pandas_MB/s, pandas_peak_MB, pandas_held_MB).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QToolButton>

#include "support/benchfiles.h"
#include "plot/plotter.h"
#include "tabs/plotterctrl.h"
#include "tabs/progressbar.h"

namespace {

using namespace benchfiles;

// A row of three 10-digit numbers, as a measurement log writes them.
QString largeFile(long long rows)
{
    return generate("large.dat", rows, [](long long i, std::string& s) {
        appendNumber(s, 1000.0 + double(i % 8999999) * 0.001, 6);
        s.push_back(',');
        appendNumber(s, 1234.567891 + double(i % 7777) * 0.0137, 6);
        s.push_back(',');
        appendNumber(s, 9876.543210 - double(i % 3001) * 0.2503, 6);
        s.push_back('\n');
    });
}

struct PathResult {
    double seconds = 0;
    long long peakKb = 0;
    std::size_t curves = 0;
};

// One plot command on a fresh plot tab control, until the loaded curves are
// in the plot, drawn, and cached.
PathResult runCommand(const QString& command)
{
    ProgressBar bar;
    QToolButton undo;
    PathResult r;
    {
        PlotterCtrl ctrl(nullptr, &bar, &undo);
        ctrl.resize(1200, 800);
        ctrl.show();
        QApplication::processEvents();
        const long long before = statusKb("VmRSS:");
        resetPeak();
        QElapsedTimer t;
        t.start();
        ctrl.on_kroplot(command);
        while (ctrl.m_busy)
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        r.seconds = double(t.nsecsElapsed()) / 1e9;
        r.peakKb = statusKb("VmHWM:") - before;
        if (Plotter* p = ctrl.currentPlotter())
            r.curves = p->curves().size();
    }
    return r;
}

const char* const kPandas = R"(
import sys, time
import pandas as pd
def kb(key):
    for line in open('/proc/self/status'):
        if line.startswith(key):
            return int(line.split()[1])
base = kb('VmRSS:')
open('/proc/self/clear_refs', 'w').write('5')
best = None
held = 0
for _ in range(int(sys.argv[2])):
    t = time.perf_counter()
    df = pd.read_csv(sys.argv[1], header=None, engine='c')
    dt = time.perf_counter() - t
    best = dt if best is None else min(best, dt)
    held = kb('VmRSS:') - base
    assert df.shape[1] == 3
    del df
print(best, kb('VmHWM:') - base, held)
)";

void BM_LoadPathLarge(benchmark::State& state)
{
    const long long rows = state.range(0);
    const QString path = largeFile(rows);
    if (path.isEmpty()) {
        state.SkipWithError("the data file could not be written");
        return;
    }
    const double megabytes = double(QFileInfo(path).size()) / 1e6;
    double best = 1e300;
    long long peak = 0;
    for (auto _ : state) {
        const PathResult r = runCommand(QStringLiteral("kro -f %1 -x 1 -y 2 3").arg(path));
        state.SetIterationTime(r.seconds);
        best = std::min(best, r.seconds);
        peak = std::max(peak, r.peakKb);
        if (r.curves != 2)
            state.SkipWithError("the load did not give two curves");
    }
    state.counters["MB/s"] = megabytes / best;
    state.counters["peak_MB"] = double(peak) / 1024.0;
    const QStringList peer =
        runPython(QString::fromLatin1(kPandas), {path, QString::number(state.iterations())}).split(' ');
    if (peer.size() == 3) {
        const double seconds = peer[0].toDouble();
        state.counters["pandas_MB/s"] = megabytes / seconds;
        state.counters["pandas_peak_MB"] = peer[1].toDouble() / 1024.0;
        state.counters["pandas_held_MB"] = peer[2].toDouble() / 1024.0;
        state.counters["speedup"] = seconds / best;
        state.counters["memory_ratio"] = double(peak) / peer[2].toDouble();
    } else {
        state.SetLabel("pandas not available: run scripts/install-deps.sh --bench");
    }
}
BENCHMARK(BM_LoadPathLarge)->Arg(10000000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

void BM_LoadPathManyCurves(benchmark::State& state)
{
    const long long curves = state.range(0);
    const QString path = generate("many.dat", curves * 50, [](long long i, std::string& s) {
        appendInt(s, i % 50);
        s.push_back(' ');
        appendNumber(s, double(i % 977) * 0.01, 2);
        s.append(" key");
        appendInt(s, i / 50);
        s.push_back('\n');
    });
    if (path.isEmpty()) {
        state.SkipWithError("the data file could not be written");
        return;
    }
    for (auto _ : state) {
        const PathResult r = runCommand(QStringLiteral("kro -f %1 -x 1 -y 2 -k 3").arg(path));
        state.SetIterationTime(r.seconds);
        if (r.curves != std::size_t(curves))
            state.SkipWithError("not every key gave its curve");
    }
    state.SetItemsProcessed(state.iterations() * curves);
}
BENCHMARK(BM_LoadPathManyCurves)->Arg(3000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

} // namespace
