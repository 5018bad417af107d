// Views of a curve of 10^7 points on the user's path: a command typed in the
// main window's console, to the plot drawn on the screen.
//   zoom:  "spanx a b" to 1 % and to 10 % of the x range, at a new place
//          each time;
//   pan:   "spanx" moving a window of 10 % of x by 1 % of x each time;
//   full:  "spanx auto", the whole curve;
//   move:  "move c3 Target" and back, a curve of 10^7 points (of three in
//          its plot) to the plot of another tab, which is then shown.
// The same views of the same data are drawn by matplotlib (Agg backend,
// ax.set_xlim + fig.canvas.draw() of a 1200 x 800 figure; Debian's
// python3-matplotlib, installed by install-deps.sh --bench) in the same run:
// counter matplotlib_ms, and ratio = ours / matplotlib's (medians).
// Goals: each redraw under 10 ms and ratio at most 0.05; a move under 50 ms.
// Two data sets: "noisy" (a sine with uniform noise, the measurement data
// the program is made for) and "smooth" (the sine alone).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <memory>

#include "command/commandedit.h"
#include "core/settings.h"
#include "gui/krogui.h"
#include "plot/plotter.h"
#include "support/benchfiles.h"
#include "tabs/plotterctrl.h"

namespace {

constexpr std::size_t kPoints = 10'000'000;
constexpr double kSpan = 1000.0; // x runs over [0, 1000)

// x = 1000 i / n; y = sin(x / 50), plus uniform noise of width 0.5 when noisy.
std::vector<double> curveValues(bool noisy, quint32 seed = 7)
{
    QRandomGenerator rng(seed);
    std::vector<double> v(2 * kPoints);
    for (std::size_t i = 0; i < kPoints; ++i) {
        const double x = kSpan * double(i) / double(kPoints);
        v[2 * i] = x;
        v[2 * i + 1] = std::sin(x / 50.0) + (noisy ? 0.5 * (rng.generateDouble() - 0.5) : 0.0);
    }
    return v;
}

// The main window as the user starts it, settings and data folders in a
// temporary home, its plot holding the curve (three curves for a move).
class Program {
public:
    explicit Program(bool noisy, int curves = 1)
    {
        for (const char* sub : {"config", "data", "work"})
            QDir(m_home.path()).mkpath(QString::fromLatin1(sub));
        qputenv("HOME", m_home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (m_home.path() + "/config").toUtf8());
        qputenv("XDG_DATA_HOME", (m_home.path() + "/data").toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.path() + "/config");
        writeSetting(QStringLiteral("quickstart"), QVariant(false));
        QDir::setCurrent(m_home.path() + "/work");
        window = std::make_unique<KROGui>(QStringList{QStringLiteral("kro")});
        window->resize(1400, 1000);
        window->show();
        QApplication::processEvents();
        Plotter* plot = window->plotterCtrl()->currentPlotter();
        for (int id = 0; id < curves; ++id)
            plot->setCurveData(id, CurveData(curveValues(noisy, 7 + quint32(id))), false);
        plot->rescale();
        QApplication::processEvents();
    }
    ~Program()
    {
        window.reset();
        QDir::setCurrent(QDir::tempPath());
    }

    // Typed in the console; returns the seconds to the plot on the screen.
    double run(const QString& line)
    {
        QElapsedTimer t;
        t.start();
        window->console()->command(line, true);
        QApplication::processEvents();
        return double(t.nsecsElapsed()) * 1e-9;
    }

    std::unique_ptr<KROGui> window;

private:
    QTemporaryDir m_home;
};

// matplotlib drawing the same views of the same data: the median
// milliseconds of each of zoom 1 %, zoom 10 %, pan and full view.
const char* const kMatplotlib = R"(
import sys, time, statistics
import numpy as np
import matplotlib
matplotlib.use('Agg')
import matplotlib.pyplot as plt
n = 10**7
noisy = sys.argv[1] == 'noisy'
reps = int(sys.argv[2])
x = np.arange(n) * (1000.0 / n)
y = np.sin(x / 50.0)
if noisy:
    y = y + 0.5 * (np.random.default_rng(7).random(n) - 0.5)
fig = plt.figure(figsize=(12, 8), dpi=100)
ax = fig.add_subplot()
ax.plot(x, y, lw=1)
fig.canvas.draw()
def median_ms(limits):
    times = []
    for lo, hi in limits:
        t = time.perf_counter()
        ax.set_xlim(lo, hi)
        fig.canvas.draw()
        times.append(time.perf_counter() - t)
    return statistics.median(times) * 1e3
out = [median_ms([(100 + 37 * k, 110 + 37 * k) for k in range(reps)]),
       median_ms([(100 + 37 * k, 200 + 37 * k) for k in range(reps)]),
       median_ms([(300 + 10 * k, 400 + 10 * k) for k in range(reps)]),
       median_ms([(-10, 1010 + k * 1e-9) for k in range(reps)])]
print(' '.join(str(v) for v in out))
)";

enum PeerView { ZOOM1, ZOOM10, PAN, FULL };

// matplotlib's medians for one data set, run once per data set and kept.
double peerMs(bool noisy, PeerView view)
{
    static std::map<bool, QStringList> runs;
    auto found = runs.find(noisy);
    if (found == runs.end()) {
        const QString out = benchfiles::runPython(QString::fromLatin1(kMatplotlib),
                                                  {noisy ? QStringLiteral("noisy") : QStringLiteral("smooth"),
                                                   QStringLiteral("5")});
        found = runs.emplace(noisy, out.split(QLatin1Char(' '), Qt::SkipEmptyParts)).first;
    }
    return found->second.size() == 4 ? found->second.at(view).toDouble() : 0.0;
}

// Runs the lines one per iteration (cycling), timed from command to screen.
void runViews(benchmark::State& state, bool noisy, PeerView view, const std::function<QString(int)>& line)
{
    Program p(noisy);
    std::vector<double> seconds;
    int k = 0;
    for (auto _ : state) {
        const double s = p.run(line(k++));
        state.SetIterationTime(s);
        seconds.push_back(s);
    }
    std::sort(seconds.begin(), seconds.end());
    const double ours = seconds[seconds.size() / 2] * 1e3;
    state.counters["median_ms"] = ours;
    const double peer = peerMs(noisy, view);
    if (peer > 0) {
        state.counters["matplotlib_ms"] = peer;
        state.counters["ratio"] = ours / peer;
    } else {
        state.SetLabel("matplotlib not available: run scripts/install-deps.sh --bench");
    }
}

QString spanx(double a, double b) { return QStringLiteral("spanx %1 %2").arg(a, 0, 'g', 10).arg(b, 0, 'g', 10); }

void BM_ZoomTo1Percent(benchmark::State& state)
{
    runViews(state, state.range(0) != 0, ZOOM1, [](int k) { return spanx(100 + 37 * (k % 20), 110 + 37 * (k % 20)); });
}

void BM_ZoomTo10Percent(benchmark::State& state)
{
    runViews(state, state.range(0) != 0, ZOOM10, [](int k) { return spanx(100 + 37 * (k % 20), 200 + 37 * (k % 20)); });
}

void BM_Pan(benchmark::State& state)
{
    runViews(state, state.range(0) != 0, PAN, [](int k) { return spanx(300 + 10 * (k % 50), 400 + 10 * (k % 50)); });
}

void BM_FullView(benchmark::State& state)
{
    runViews(state, state.range(0) != 0, FULL, [](int) { return QStringLiteral("spanx auto"); });
}

// Argument: 1 noisy data, 0 smooth data.
BENCHMARK(BM_ZoomTo1Percent)->ArgName("noisy")->Arg(1)->Arg(0)->Iterations(40)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomTo10Percent)->ArgName("noisy")->Arg(1)->Arg(0)->Iterations(40)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pan)->ArgName("noisy")->Arg(1)->Arg(0)->Iterations(40)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullView)->ArgName("noisy")->Arg(1)->Arg(0)->Iterations(40)->UseManualTime()->Unit(benchmark::kMillisecond);

// A curve of 10^7 points to another tab's plot and back, each move drawn.
void BM_MoveCurveOf10MPoints(benchmark::State& state)
{
    Program p(true, 3);
    p.window->plotterCtrl()->on_newTab(QStringLiteral("Target"));
    p.window->plotterCtrl()->setCurrentIndex(0);
    QApplication::processEvents();
    std::vector<double> seconds;
    int k = 0;
    for (auto _ : state) {
        const double s = p.run(k++ % 2 == 0 ? QStringLiteral("move c3 Target") : QStringLiteral("move c1 \"Plot 1\""));
        state.SetIterationTime(s);
        seconds.push_back(s);
    }
    std::sort(seconds.begin(), seconds.end());
    state.counters["median_ms"] = seconds[seconds.size() / 2] * 1e3;
    Plotter* source = p.window->plotterCtrl()->findPlotter(QStringLiteral("Plot 1"), 0);
    Plotter* target = p.window->plotterCtrl()->findPlotter(QStringLiteral("Target"), 0);
    if (!source || !target || source->curves().size() + target->curves().size() != 3)
        state.SkipWithError("the curve was not moved");
}
BENCHMARK(BM_MoveCurveOf10MPoints)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
