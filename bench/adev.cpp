// The Allan-deviation family, its kernels and the user's path:
//   octave:  10^7 phase points, octave factors, one core, each statistic.
//            Goals: 500 ms per deviation, 2 s for MTIE.
//   all tau: 10^5 phase points, every factor, every core, each statistic.
//            Goal: 5 s.
//   path:    the plot's Allan-deviation run (the toolbox's slot, with the
//            dialog's choices set here) until the result plot has drawn its
//            finished curve, for one statistic and list.
//   cancel:  an all-tau run of 10^7 points cancelled after 500 ms: the time
//            until the engine has delivered its partial curves and ended.
//            Goal: 100 ms.
// Counters: "of_goal" is the mean time over the goal (below 1: met),
// "factors" the averaging times computed, "cores" the threads allowed.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>

#include <map>
#include <memory>
#include <random>
#include <thread>

#include "analysis/adevengine.h"
#include "analysis/adevprompt.h"
#include "analysis/adevthread.h"
#include "platform/scriptedprompter.h"
#include "plot/plotter.h"

namespace {

// Phase data: white phase noise on a random walk with an offset.
const std::vector<double>& phase(std::size_t n)
{
    static std::map<std::size_t, std::vector<double>> made;
    std::vector<double>& x = made[n];
    if (x.empty()) {
        std::mt19937_64 rng(n);
        std::normal_distribution<double> g;
        x.resize(n);
        double walk = 1000.0;
        for (double& v : x) {
            walk += 0.3 * g(rng);
            v = walk + g(rng);
        }
    }
    return x;
}

const char* statisticName(int type)
{
    switch (type) {
    case NORMAL:
        return "ADEV";
    case OVERLAPPING:
        return "OADEV";
    case MODIFIED:
        return "MDEV";
    case TIME:
        return "TDEV";
    case HADAMARD:
        return "HDEV";
    default:
        return "MTIE";
    }
}

const char* intervalName(int interval)
{
    switch (interval) {
    case OCTAVE:
        return "octave";
    case DECADE:
        return "decade";
    case MANY_TAU:
        return "many tau";
    default:
        return "all tau";
    }
}

int cores() { return std::max(1, int(std::thread::hardware_concurrency())); }

// Times the body per iteration and reports the mean against the goal.
template <typename Body>
void timed(benchmark::State& state, double goalSeconds, const char* label, Body body)
{
    double total = 0.0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        body();
        total += double(t.nsecsElapsed()) / 1e9;
    }
    state.counters["of_goal"] = total / double(state.iterations()) / goalSeconds;
    state.SetLabel(label);
}

void kernel(benchmark::State& state, std::size_t n, int interval, int helpers, double goalSeconds)
{
    const int type = int(state.range(0));
    const std::vector<double>& x = phase(n);
    std::size_t factors = 0;
    const std::string label = std::string(statisticName(type)) + ", goal " +
                              (goalSeconds < 1 ? std::to_string(int(goalSeconds * 1000)) + " ms"
                                               : std::to_string(int(goalSeconds)) + " s");
    timed(state, goalSeconds, label.c_str(), [&] {
        const AdevCurve c = computeAdevCurve(x, type, interval, 1.0, 1.0, nullptr, {}, helpers);
        factors = c.points.size() / 2;
        benchmark::DoNotOptimize(c.points.data());
    });
    state.counters["factors"] = double(factors);
    state.counters["cores"] = helpers;
}

// Installs a prompter for the run and puts the previous one back after.
struct Prompts {
    kro::ScriptedPrompter* p = new kro::ScriptedPrompter;
    std::unique_ptr<kro::Prompter> previous = kro::installPrompter(std::unique_ptr<kro::Prompter>(p));
    ~Prompts() { kro::installPrompter(std::move(previous)); }
};

// A shown plot with one curve of n phase samples 1 ms apart, y in ns.
std::unique_ptr<Plotter> phasePlot(std::size_t n)
{
    auto p = std::make_unique<Plotter>(nullptr, "bench");
    p->resize(1200, 800);
    p->show();
    const std::vector<double>& x = phase(n);
    CurveData c;
    std::vector<double>& v = c.values.mut();
    v.resize(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        v[2 * i] = 1e-3 * double(i);
        v[2 * i + 1] = x[i];
    }
    p->setCurveData(0, std::move(c), false);
    p->yLabel("ns", SET);
    p->rescale();
    return p;
}

} // namespace

static void everyStatistic(benchmark::internal::Benchmark* b)
{
    for (const int type : {NORMAL, OVERLAPPING, MODIFIED, TIME, HADAMARD, MTIE})
        b->Arg(type);
}

static void BM_OctaveTenMillionPointsOneCore(benchmark::State& state)
{
    kernel(state, 10'000'000, OCTAVE, 1, state.range(0) == MTIE ? 2.0 : 0.5);
}
BENCHMARK(BM_OctaveTenMillionPointsOneCore)
    ->Apply(everyStatistic)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

static void BM_AllTauHundredThousandPointsEveryCore(benchmark::State& state)
{
    kernel(state, 100'000, ALL_TAU, cores(), 5.0);
}
BENCHMARK(BM_AllTauHundredThousandPointsEveryCore)
    ->Apply(everyStatistic)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

// From the toolbox's slot to the drawn result plot holding the finished
// curve: the dialog is answered with the statistic and list of the case.
static void BM_AdevRunOfAPlot(benchmark::State& state)
{
    const int type = int(state.range(0));
    const int interval = int(state.range(1));
    const std::size_t n = std::size_t(state.range(2));
    const double goalSeconds = double(state.range(3)) / 1000.0;
    auto plot = phasePlot(n);
    Prompts prompts;
    std::size_t points = 0;
    const std::string label = std::string(statisticName(type)) + ", " + intervalName(interval) + ", " +
                              std::to_string(n) + " points, goal " + std::to_string(state.range(3)) + " ms";
    timed(state, goalSeconds, label.c_str(), [&] {
        prompts.p->answerDialog([type, interval](QDialog* d) {
            ADevPromptPage* page = static_cast<ADevPrompt*>(d)->page(0);
            for (const auto& [bit, box] : page->m_typeBoxes)
                box->setState(bit == type ? 2 : 0);
            page->m_intervalButtons.at(interval)->setState(2);
            return int(QDialog::Accepted);
        });
        std::unique_ptr<Plotter> result;
        const auto built = QObject::connect(plot.get(), &Plotter::newPlotterBuilt, [&](Plotter* r) {
            result.reset(r);
            r->resize(1200, 800);
            r->show();
        });
        bool stopped = false;
        const auto done = QObject::connect(plot.get(), &Plotter::adevstarted, [&](const Plotter* r) {
            QObject::connect(r, &Plotter::adevstopped, [&] { stopped = true; });
        });
        plot->plotAdev();
        while (result && !stopped)
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
        QApplication::processEvents();
        QObject::disconnect(built);
        QObject::disconnect(done);
        points = result && !result->curves().empty() ? result->curves().begin()->second.pointCount() : 0;
        result.reset();
    });
    state.counters["factors"] = double(points);
}
// statistic, list, points, goal in ms (the kernel's goal)
BENCHMARK(BM_AdevRunOfAPlot)
    ->Args({OVERLAPPING, OCTAVE, 10'000'000, 500})
    ->Args({MODIFIED, OCTAVE, 10'000'000, 500})
    ->Args({MTIE, ALL_TAU, 100'000, 5000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

namespace {
// Counts the engine's events; DONE ends the wait.
class Receiver : public QObject {
public:
    bool done = false;
    int results = 0;

protected:
    void customEvent(QEvent* e) override
    {
        results += int(e->type()) == ADEVEVENT::RESULT;
        done = done || int(e->type()) == ADEVEVENT::DONE;
    }
};
} // namespace

constexpr int kRunMs = 500;
static void BM_CancelAnAllTauRunOfTenMillionPoints(benchmark::State& state)
{
    const int type = int(state.range(0));
    CurveMap curves;
    const std::vector<double>& x = phase(10'000'000);
    std::vector<double>& v = curves[0].values.mut();
    v.resize(2 * x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        v[2 * i] = double(i);
        v[2 * i + 1] = x[i];
    }
    int results = 0;
    double total = 0.0;
    for (auto _ : state) {
        Receiver r;
        AdevThread engine(&r, curves, {{0, 0, type, ALL_TAU, 1.0, "A"}}, 1.0);
        engine.start();
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < kRunMs)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        t.restart();
        engine.cancel();
        while (!r.done)
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
        total += double(t.nsecsElapsed()) / 1e9;
        engine.wait();
        results = r.results;
    }
    const double mean = total / double(state.iterations());
    state.counters["cancel_ms"] = mean * 1e3;
    state.counters["of_goal"] = mean / 0.1;
    state.SetLabel(std::string(statisticName(type)) + ", cancel goal 100 ms (Time includes the 500 ms run)");
    state.counters["results"] = results;
}
BENCHMARK(BM_CancelAnAllTauRunOfTenMillionPoints)
    ->Arg(OVERLAPPING)
    ->Arg(MODIFIED)
    ->Arg(MTIE)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();
