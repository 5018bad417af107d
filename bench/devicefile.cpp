// Device-configuration files as the instrument panel loads them (the whole
// path of the Load button: read, check, build the pages):
//   Refused:  10^4 devices, far past what the panel holds: refused whole
//             before a page is built; time and peak memory linear in the
//             file (goal: well under a second, a few MB).
//   Loaded:   as many devices as the panel holds, one page each.
// Counters: "devices/s", "peak_MB" (peak memory growth during the runs) and,
// for the refused file, "python_json_ms": Python's json.load of the same
// file, the least any reader of it needs.
#include <benchmark/benchmark.h>

#include "miscio/deviceconfigfiler.h"
#include "miscio/miscio.h"
#include "platform/scriptedprompter.h"
#include "support/benchfiles.h"

#include <QTemporaryDir>

#include <memory>
#include <string>

namespace {

using benchfiles::resetPeak;
using benchfiles::statusKb;

// A device file of n serial devices in the folder.
QString deviceFile(const QTemporaryDir& dir, int n)
{
    DeviceConfigFiler filer(dir.filePath(QStringLiteral("devices-%1.json").arg(n)));
    for (int i = 0; i < n; ++i) {
        DeviceRecord r;
        r.label = "Device " + std::to_string(i + 1);
        r.comPort = "ttyUSB" + std::to_string(i % 8);
        r.parity = "NONE";
        r.slide = 1000;
        r.xColumns = {1};
        r.yColumns = {2, 3};
        filer.records().push_back(r);
    }
    return filer.save() ? filer.path() : QString();
}

void loadIntoPanel(benchmark::State& state, int devices, bool refused)
{
    QTemporaryDir dir;
    const QString path = deviceFile(dir, devices);
    if (path.isEmpty()) {
        state.SkipWithError("the device file could not be written");
        return;
    }
    auto* prompts = new kro::ScriptedPrompter;
    std::unique_ptr<kro::Prompter> previous = kro::installPrompter(std::unique_ptr<kro::Prompter>(prompts));
    MiscIO panel;
    const long long before = statusKb("VmRSS:");
    resetPeak();
    bool ok = true;
    for (auto _ : state) {
        if (refused)
            prompts->answerMessage(QMessageBox::Ok);
        ok = panel.setupGUI()->loadDeviceConfiguration(path) == !refused && ok;
    }
    state.counters["peak_MB"] = double(statusKb("VmHWM:") - before) / 1024.0;
    state.counters["devices/s"] =
        benchmark::Counter(double(devices) * double(state.iterations()), benchmark::Counter::kIsRate);
    if (refused) {
        const QString peer = benchfiles::runPython(
            QStringLiteral("import json, sys, time\nt = time.perf_counter()\njson.load(open(sys.argv[1]))\n"
                           "print((time.perf_counter() - t) * 1000)"),
            {path});
        if (!peer.isEmpty())
            state.counters["python_json_ms"] = peer.toDouble();
    }
    if (!ok)
        state.SkipWithError(refused ? "the file was not refused" : "the file did not load");
    kro::installPrompter(std::move(previous));
}

void BM_DeviceFileRefused(benchmark::State& state) { loadIntoPanel(state, int(state.range(0)), true); }
BENCHMARK(BM_DeviceFileRefused)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_DeviceFileLoaded(benchmark::State& state) { loadIntoPanel(state, int(state.range(0)), false); }
BENCHMARK(BM_DeviceFileLoaded)->Arg(DeviceConfigFiler::kMaxDevices)->Unit(benchmark::kMillisecond);

} // namespace
