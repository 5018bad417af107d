// The data loader end to end (file to curves) on files generated at run time
// in a temporary folder:
//   numeric:  10^7 rows of three numeric columns (about 250 MB); goal at least
//             200 MB/s, peak memory under 1.5 x the 16 bytes per point of the
//             result plus one read buffer;
//   datetime: 10^6 rows with a date and a time column; goal 10^6 rows/s;
//   regex:    10^6 rows selected by a regular expression; rows/s reported.
// The counters "peak_ratio" (peak memory growth over the result's 16 bytes
// per point plus the read buffer) and "MB/s" / "rows/s" carry the goals.
#include <benchmark/benchmark.h>

#include "import/fileoptionparser.h"
#include "import/parsingthread.h"
#include "support/benchfiles.h"

#include <algorithm>
#include <memory>
#include <string>

namespace {

using benchfiles::appendInt;
using benchfiles::appendNumber;
using benchfiles::generate;
using benchfiles::resetPeak;
using benchfiles::statusKb;

std::unique_ptr<ParsingThread> runLoader(const QString& command)
{
    FileOptionParser parser(command);
    if (!parser.parse())
        return nullptr;
    auto t = std::make_unique<ParsingThread>(nullptr, nullptr);
    t->setFileObjects(parser.fileObjects());
    t->start();
    t->wait();
    return t;
}

void report(benchmark::State& state, std::int64_t bytes, long long rows, std::int64_t points, long long growthKb)
{
    state.SetBytesProcessed(state.iterations() * bytes);
    state.SetItemsProcessed(state.iterations() * rows);
    state.counters["rows/s"] = benchmark::Counter(double(rows) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["MB/s"] = benchmark::Counter(double(bytes) / 1e6 * state.iterations(), benchmark::Counter::kIsRate);
    const double result = 16.0 * double(points);
    const double buffer = double(1 << 20);
    state.counters["peak_MB"] = double(growthKb) / 1024.0;
    state.counters["peak_ratio"] = double(growthKb) * 1024.0 / (result + buffer);
}

void runCase(benchmark::State& state, const QString& command, const QString& path, long long rows)
{
    if (path.isEmpty()) {
        state.SkipWithError("the data file could not be written");
        return;
    }
    const std::int64_t bytes = QFileInfo(path).size();
    long long rssBefore = 0, growth = 0;
    std::int64_t points = 0;
    for (auto _ : state) {
        rssBefore = statusKb("VmRSS:");
        resetPeak();
        auto t = runLoader(command);
        // Memory the allocator kept from an earlier iteration hides growth:
        // keep the largest growth seen.
        growth = std::max(growth, statusKb("VmHWM:") - rssBefore);
        points = 0;
        for (const auto& [id, c] : t->curves())
            points += std::int64_t(c.values.size() / 2);
        state.PauseTiming();
        t.reset();
        state.ResumeTiming();
    }
    report(state, bytes, rows, points, growth);
}

void BM_LoadNumeric(benchmark::State& state)
{
    const long long rows = state.range(0);
    const QString path = generate("numeric.dat", rows, [](long long i, std::string& s) {
        appendInt(s, 1600000000 + i);
        s.push_back(',');
        appendNumber(s, double(i % 100000) * 0.0173);
        s.push_back(',');
        appendNumber(s, 1234.5 - double(i % 777) * 0.25);
        s.push_back('\n');
    });
    runCase(state, QStringLiteral("kro -f %1 -x 1 -y 2 3").arg(path), path, rows);
}
BENCHMARK(BM_LoadNumeric)->Arg(10000000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_LoadDateTime(benchmark::State& state)
{
    const long long rows = state.range(0);
    const QString path = generate("datetime.dat", rows, [](long long i, std::string& s) {
        const long long day = 1 + (i / 86400) % 28, secs = i % 86400;
        s.append("2021-08-");
        appendInt(s, day, 2);
        s.push_back(',');
        appendInt(s, secs / 3600, 2);
        s.push_back(':');
        appendInt(s, secs / 60 % 60, 2);
        s.push_back(':');
        appendInt(s, secs % 60, 2);
        s.push_back('.');
        appendInt(s, i % 1000, 3);
        s.push_back(',');
        appendNumber(s, double(i % 1000) * 0.5);
        s.push_back('\n');
    });
    runCase(state, QStringLiteral("kro -f %1 -d 1 -t 2 -y 3").arg(path), path, rows);
}
BENCHMARK(BM_LoadDateTime)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_LoadRegex(benchmark::State& state)
{
    const long long rows = state.range(0);
    const QString path = generate("regex.dat", rows, [](long long i, std::string& s) {
        s.append(i % 10 == 0 ? "STATUS ok " : "MEAS ch1 ");
        appendInt(s, i);
        s.push_back(' ');
        appendNumber(s, double(i % 1000) * 0.001);
        s.push_back('\n');
    });
    runCase(state, QStringLiteral("kro -f %1 -x 3 -y 4 -regex \"MEAS ch[0-9]+ .*\"").arg(path), path, rows);
}
BENCHMARK(BM_LoadRegex)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace
