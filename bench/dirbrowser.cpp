// The main window's Directory Browser dock on a folder of 10^5 entries:
// from the user's command (entering the folder, Refresh, a click on a column
// header) to the drawn dock, and the file-type pictures filling in, with the
// longest time the window went without handling events meanwhile.
#include "base/dirbrowser.h"
#include "base/direntrymodel.h"
#include "base/fileviews.h"
#include "command/commandedit.h"
#include "core/settings.h"
#include "gui/krogui.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QDockWidget>
#include <QHeaderView>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

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
QString bigFolder()
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

// Measures the longest gap between two turns of the event loop (a timer
// that asks for a turn every millisecond, as an idle window would get one).
class StallMeter {
public:
    StallMeter()
    {
        QObject::connect(&m_tick, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_clock.restart());
        });
        m_tick.start(1);
        m_clock.start();
    }
    double longestMs() const { return double(m_longest); }

private:
    QTimer m_tick;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

// The main window as the user starts it in an empty folder, with its
// settings and data folders in a temporary home.
class Program {
public:
    Program()
    {
        for (const char* sub : {"config", "data", "cache", "empty"})
            QDir(m_home.path()).mkpath(QString::fromLatin1(sub));
        qputenv("HOME", m_home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (m_home.path() + "/config").toUtf8());
        qputenv("XDG_DATA_HOME", (m_home.path() + "/data").toUtf8());
        qputenv("XDG_CACHE_HOME", (m_home.path() + "/cache").toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.path() + "/config");
        writeSetting(QStringLiteral("quickstart"), QVariant(false));
        QDir::setCurrent(emptyFolder());
        window = std::make_unique<KROGui>(QStringList{QStringLiteral("kro")});
        window->resize(1200, 800);
        window->show();
        waitUntil([&] { return !browser().isListing(); });
    }
    ~Program()
    {
        window.reset();
        QDir::setCurrent(QDir::tempPath());
    }
    DirBrowser& browser() const { return *window->dirBrowser(); }
    QString emptyFolder() const { return m_home.path() + "/empty"; }
    // The user's "cd" command in the console.
    void cd(const QString& dir) { window->console()->command("cd \"" + dir + "\"", true); }
    void waitListedIn(const QString& dir)
    {
        waitUntil([&] { return !browser().isListing() && QDir(browser().dirPath()) == QDir(dir); });
    }
    // The dock as the screen shows it.
    void draw() { benchmark::DoNotOptimize(window->dirBrowserDock()->grab()); }

    std::unique_ptr<KROGui> window;

private:
    QTemporaryDir m_home;
};

// Entering the folder with "cd": listed, sorted, the views filled and the
// dock drawn.
void BM_EnterFolder(benchmark::State& state)
{
    const QString big = bigFolder();
    Program p;
    StallMeter stalls;
    for (auto _ : state) {
        state.PauseTiming();
        p.cd(p.emptyFolder());
        p.waitListedIn(p.emptyFolder());
        state.ResumeTiming();
        p.cd(big);
        p.waitListedIn(big);
        p.draw();
    }
    state.counters["entries"] = p.browser().model()->count();
    state.counters["longest stall ms"] = stalls.longestMs();
}
BENCHMARK(BM_EnterFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The Refresh button in the dock: the folder read again and drawn.
void BM_Refresh(benchmark::State& state)
{
    const QString big = bigFolder();
    Program p;
    p.cd(big);
    p.waitListedIn(big);
    StallMeter stalls;
    for (auto _ : state) {
        p.browser().refreshButton()->click();
        p.waitListedIn(big);
        p.draw();
    }
    state.counters["longest stall ms"] = stalls.longestMs();
}
BENCHMARK(BM_Refresh)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Clicking the Size header and then the Name header: each re-sorts the
// listing and redraws, without reading the folder again.
void BM_Resort(benchmark::State& state)
{
    const QString big = bigFolder();
    Program p;
    p.cd(big);
    p.waitListedIn(big);
    QHeaderView* header = p.browser().detailView()->header();
    for (auto _ : state) {
        Q_EMIT header->sectionClicked(DirEntryModel::SizeColumn);
        p.draw();
        Q_EMIT header->sectionClicked(DirEntryModel::NameColumn);
        p.draw();
    }
    state.counters["sorts/iteration"] = 2;
}
BENCHMARK(BM_Resort)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The list view: its layout of 10^5 items of different widths.
void BM_ListViewLayout(benchmark::State& state)
{
    const QString big = bigFolder();
    Program p;
    p.cd(big);
    p.waitListedIn(big);
    DirBrowser& b = p.browser();
    for (auto _ : state) {
        b.listViewButton()->click();
        b.listView()->doItemsLayout();
        p.draw();
        b.detailViewButton()->click();
    }
}
BENCHMARK(BM_ListViewLayout)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// From the listing to the last file-type picture, while the event loop runs.
void BM_FileTypePictures(benchmark::State& state)
{
    const QString big = bigFolder();
    Program p;
    p.cd(big);
    p.waitListedIn(big);
    DirBrowser& b = p.browser();
    StallMeter stalls;
    for (auto _ : state) {
        b.refreshButton()->click();
        p.waitListedIn(big);
        waitUntil([&] { return b.pendingIconLookups() == 0; });
    }
    state.counters["longest stall ms"] = stalls.longestMs();
}
BENCHMARK(BM_FileTypePictures)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
