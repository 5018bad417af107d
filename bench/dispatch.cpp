// Dispatching a script of command lines without the script pump's pacing:
// the recogniser alone, and the whole console path (echo, log, dispatch,
// signal). Reported as lines per second.
#include "command/commandedit.h"

#include <QStringList>
#include <benchmark/benchmark.h>

namespace {

// A mix of the commands scripts use, with curve ids, numbers and words.
QStringList scriptLines(int count)
{
    static const char* const mix[] = {
        "title Run 1 of the thermal test", "crop 10 20 C1 C3", "csum C1 C2", "smooth 5 C1 overlay",
        "max(x C1 C2)", "gran 5 auto", "grid vertical on", "spanx 0 10", "unwrap 2pi C1", "lines off C2",
        "legend \"First run\" Run2", "mark 1.5, 2.5", "rotl 1000 all", "hmark 3", "poly3 detrend C1",
        "norm 0 1 C1", "xlbl Time (MJD)", "ylbl /sigma_y(/tau)", "diff2 C1", "pntrad 4", "rescale", "undo",
        "mean C1", "remove M1 M2", "dmark M1 M2", "barfloor auto", "layout quad", "legendpos top",
        "addx 53000 C3", "sort",
    };
    QStringList lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i)
        lines << QString::fromLatin1(mix[i % int(std::size(mix))]);
    return lines;
}

void BM_DispatchScript(benchmark::State& state)
{
    CommandEdit console(QStringLiteral("bench\n"));
    const QStringList lines = scriptLines(100000);
    int64_t dispatched = 0;
    for (auto _ : state) {
        for (const QString& line : lines)
            benchmark::DoNotOptimize(console.dispatch(line));
        dispatched += lines.size();
    }
    state.SetItemsProcessed(dispatched);
    state.SetLabel("items/s = lines/s");
}
BENCHMARK(BM_DispatchScript)->Unit(benchmark::kMillisecond);

void BM_ConsoleScript(benchmark::State& state)
{
    const QStringList lines = scriptLines(100000);
    int64_t run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CommandEdit console(QStringLiteral("bench\n"));
        state.ResumeTiming();
        for (const QString& line : lines)
            console.command(line, false);
        run += lines.size();
    }
    state.SetItemsProcessed(run);
    state.SetLabel("items/s = lines/s, echoed and emitted");
}
BENCHMARK(BM_ConsoleScript)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
