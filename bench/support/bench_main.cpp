// Benchmark main: an offscreen application object, so benchmarks may use
// widgets, pixmaps and events.
#include <QApplication>
#include <benchmark/benchmark.h>

#include "platform/platform.h"

int main(int argc, char** argv)
{
    // Measured as the program runs: large buffers on huge pages.
    kro::platform::restartWithHugePages(argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kro::platform::setUpApplication();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
