// The directory browser on a folder of 10^5 entries: from the request to
// the drawn view for a listing, a change of sort order, and the file-type
// pictures filling in, with the longest time the window went without
// handling events meanwhile.
#include "base/dirbrowser.h"
#include "base/direntrymodel.h"
#include "base/fileviews.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

constexpr int entryCount = 100000;

// Runs the event loop until the condition holds (at most a minute).
template <typename Condition>
void waitUntil(Condition done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// 10^5 files of a few kinds and sizes, and some folders, made once.
const QString& bigFolder()
{
    static QTemporaryDir dir;
    static const bool made = [] {
        static const char* const ext[] = {"dat", "txt", "csv", "krs", "png", "bin", ""};
        for (int i = 0; i < entryCount; ++i) {
            QString name;
            if (i % 1000 == 0) {
                QDir(dir.path()).mkdir(QStringLiteral("folder %1").arg(i));
                continue;
            }
            name = QStringLiteral("Entry_%1.%2").arg((i * 7919) % entryCount, 6, 10, QLatin1Char('0')).arg(ext[i % 7]);
            QFile f(dir.filePath(name));
            if (f.open(QIODevice::WriteOnly))
                f.write(QByteArray(i % 97, 'x'));
        }
        return true;
    }();
    (void)made;
    return dir.path();
}

// Measures the longest gap between two turns of the event loop.
class StallMeter {
public:
    StallMeter()
    {
        QObject::connect(&m_tick, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_clock.restart());
        });
        m_tick.start(0);
        m_clock.start();
    }
    double longestMs() const { return double(m_longest); }

private:
    QTimer m_tick;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

std::unique_ptr<DirBrowser> openBrowser()
{
    auto b = std::make_unique<DirBrowser>(bigFolder());
    b->setMode(DirBrowser::ExistingFiles);
    b->setViewMode(DirBrowser::Detail);
    b->resize(800, 600);
    b->show();
    waitUntil([&] { return !b->isListing(); });
    return b;
}

void waitListed(DirBrowser& b) { waitUntil([&] { return !b.isListing(); }); }

// Rereading the folder: listed, sorted, both views filled and drawn.
void BM_ListFolder(benchmark::State& state)
{
    auto b = openBrowser();
    StallMeter stalls;
    for (auto _ : state) {
        b->rereadDir();
        waitListed(*b);
        benchmark::DoNotOptimize(b->visibleView()->grab());
    }
    state.counters["entries"] = b->model()->count();
    state.counters["longest stall ms"] = stalls.longestMs();
}
BENCHMARK(BM_ListFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Clicking the Size header and then the Name header: each re-sorts the
// listing and redraws, without reading the folder again.
void BM_Resort(benchmark::State& state)
{
    auto b = openBrowser();
    for (auto _ : state) {
        b->detailView()->changeSortColumn2(DirEntryModel::SizeColumn);
        benchmark::DoNotOptimize(b->visibleView()->grab());
        b->detailView()->changeSortColumn2(DirEntryModel::NameColumn);
        benchmark::DoNotOptimize(b->visibleView()->grab());
    }
    state.counters["sorts/iteration"] = 2;
}
BENCHMARK(BM_Resort)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The list view: its layout of 10^5 items of different widths.
void BM_ListViewLayout(benchmark::State& state)
{
    auto b = openBrowser();
    for (auto _ : state) {
        b->setViewMode(DirBrowser::List);
        b->listView()->doItemsLayout();
        benchmark::DoNotOptimize(b->visibleView()->grab());
        b->setViewMode(DirBrowser::Detail);
    }
}
BENCHMARK(BM_ListViewLayout)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// From the listing to the last file-type picture, while the event loop runs.
void BM_FileTypePictures(benchmark::State& state)
{
    auto b = openBrowser();
    StallMeter stalls;
    for (auto _ : state) {
        b->rereadDir();
        waitListed(*b);
        waitUntil([&] { return b->pendingIconLookups() == 0; });
    }
    state.counters["longest stall ms"] = stalls.longestMs();
}
BENCHMARK(BM_FileTypePictures)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
