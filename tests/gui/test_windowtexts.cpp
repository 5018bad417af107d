#include <gtest/gtest.h>

#include "support/qtprinters.h"

#include <QDir>
#include <QTemporaryDir>
#include <QDateTime>
#include <QLocale>

#include "core/curvedata.h"
#include "core/messages.h"
#include "gui/startup.h"
#include "gui/windowgeometry.h"
#include "gui/windowtexts.h"
#include "support/files.h"

namespace {
struct VerboseGuard {
    bool saved = kro::isVerbose();
    explicit VerboseGuard(bool on) { kro::setVerbose(on); }
    ~VerboseGuard() { kro::setVerbose(saved); }
};
} // namespace

TEST(MessageSink, PrefixAndIndentByKindAndVerboseMode)
{
    struct Row {
        ZEVOVE::TYPE type;
        bool verbose;
        const char* text;
        const char* shown;  // nullptr: nothing shown
    };
    const Row rows[] = {
        {ZEVOVE::INFO, false, "loaded", nullptr},
        {ZEVOVE::WARNING, false, "careful", nullptr},
        {ZEVOVE::INFO, true, "Plot cleared.", "Info (verbose): Plot cleared."},
        {ZEVOVE::WARNING, true, "a\nb", "Warning (verbose): a\n                   b"},
        {ZEVOVE::ERROR, false, "first\nsecond", "Error: first\n       second"},
        {ZEVOVE::CRITICAL, false, "x", "Critical: x"},
        {ZEVOVE::BUG, false, "x\ny\nz", "Bug: x\n     y\n     z"},
        {ZEVOVE::TYPE(3), false, "odd", "odd"},
    };
    for (const Row& r : rows) {
        VerboseGuard guard(r.verbose);
        const QString out = formatUserMessage(r.type, r.text);
        if (r.shown)
            EXPECT_EQ(out, QString::fromUtf8(r.shown)) << r.text;
        else
            EXPECT_TRUE(out.isNull()) << r.text;
    }
}

TEST(StatusBar, RateOnlyForLivePlotsMemoryInMegabytes)
{
    EXPECT_EQ(statusBarRightText(-1.0, 3LL * 1024 * 1024 + 512 * 1024), "Avail memory: 3.500 MB");
    EXPECT_EQ(statusBarRightText(0.0, 1024 * 1024), "0.0 points/second   Avail memory: 1.000 MB");
    EXPECT_EQ(statusBarRightText(1234.56, 0), "1234.6 points/second   Avail memory: 0.000 MB");
    EXPECT_EQ(statusBarRightText(-1.0, -1), "");
}

TEST(StatisticReport, CurvePartAndTwentyDigits)
{
    EXPECT_EQ(statisticReport("Max", 'y', {ALL_CURVES}, 2.5), "Max(y): 2.5");
    EXPECT_EQ(statisticReport("Max", 'y', {1}, 2.5), "Max(y) of C2: 2.5");
    EXPECT_EQ(statisticReport("Mean", 'x', {0, 1, 2}, 0.1), "Mean(x) of {C1, C2, C3}: 0.10000000000000000555");
    EXPECT_EQ(perCurveStatisticReport("Stdev", 'y', {{0, 1.0}, {3, 0.5}}), "Stdev(y) of C1: 1\nStdev(y) of C4: 0.5\n");
}

TEST(Startup, NowArgumentsBecomeModifiedJulianDates)
{
    const double now = 60000.25;
    struct Row {
        const char* arg;
        const char* out;
    };
    const Row rows[] = {
        {"now-1.5", "59998.750000"}, {"NOW-2", "59998.250000"}, {"xnow-2", "60000.250000"},
        {"now-abc", "60000.250000"}, {"-f", "-f"},                {"Data.DAT", "Data.DAT"},
        {"now-0", "60000.250000"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(kro::expandNowArgument(r.arg, now), r.out) << r.arg;

    QStringList args{"/usr/bin/now-1", "-f", "now-1", "My File.dat"};
    kro::expandNowArguments(args, now);
    EXPECT_EQ(args, QStringList({"/usr/bin/now-1", "-f", "59999.250000", "My File.dat"}));
}

TEST(Startup, ArgumentsNamingExistingFilesAreNotTimeStamps)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("snow-depth.dat");
    kro::test::writeFile(file);
    EXPECT_EQ(kro::expandNowArgument(file, 60000.0), file);
    EXPECT_EQ(kro::expandNowArgument(dir.filePath("snow-1.csv"), 60000.0), "60000.000000");
}

TEST(Startup, VersionTexts)
{
    EXPECT_TRUE(kro::versionString().startsWith("Version (Linux): "));
    EXPECT_TRUE(kro::buildDateString().startsWith("Build date: "));
    EXPECT_TRUE(kro::buildDateString().endsWith("\n"));
}

TEST(WindowGeometry, RequestedSizeKeptInsideTheDesktop)
{
    const QRect desk(0, 0, 1280, 1024);
    struct Row {
        QPoint pos;
        int w0, h0;
        QRect out;
    };
    const Row rows[] = {
        {{700, 100}, 800, 600, {470, 100, 800, 600}},  // moved left to fit
        {{50, 60}, 2000, 600, {5, 60, 1280, 600}},     // too wide: full width at x 5
        {{50, 60}, 0, 600, {50, 60, 1024, 819}},       // 4/5 of the desktop both ways
        {{50, 60}, 700, 0, {50, 60, 1024, 819}},
        {{0, 0}, 400, 300, {5, 30, 400, 300}},         // never above 5, 30
        {{100, 800}, 400, 300, {100, 714, 400, 300}},  // moved up to fit
    };
    for (const Row& r : rows)
        EXPECT_EQ(initialWindowGeometry(r.pos, desk, r.w0, r.h0), r.out) << r.w0 << "x" << r.h0;
}

TEST(DirectoryListing, ShortFormInRowsOfThreeLongFormWithSizes)
{
    std::vector<SCUtilities::FileInfo> entries;
    for (const char* name : {"a", "bb", "ccc", "d", "e", "f", "g"}) {
        SCUtilities::FileInfo e;
        e.name = name;
        e.permissions = 0644;
        e.size = 12;
        e.lastWriteTime = 315626635;  // 1980-01-02 02:03:55 UTC
        entries.push_back(e);
    }
    EXPECT_EQ(directoryListing(entries, false), "a    bb   ccc\nd    e    f\ng    ");
    entries.resize(2);
    entries[1].isDirectory = true;
    entries[1].permissions = 0755;
    entries[1].size = 0;
    entries[0].permissions = 0xFFFF;
    entries[0].error = true;
    entries[0].errorText = "Permission denied";
    const QStringList lines = directoryListing(entries, true).split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "?????????? " + QString(" 12 ") + QString("Permission denied").leftJustified(24) + " a");
    const QString time = QLocale::c().toString(QDateTime::fromSecsSinceEpoch(315626635).toLocalTime(),
                                               "ddd MMM dd hh:mm:ss yyyy");
    EXPECT_EQ(lines[1], "drwxr-xr-x   0 " + time + " bb");
    EXPECT_EQ(time.size(), 24);
    EXPECT_EQ(lines[2], "");
}
