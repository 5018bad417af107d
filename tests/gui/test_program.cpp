// The program itself: kro started as a process on the offscreen platform with
// a settings folder of its own, driven by its arguments and a script.
#include <gtest/gtest.h>

#include "support/qtprinters.h"
#include "support/files.h"
#include "support/peers.h"
#include "support/program.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

class Program : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        if (kro::test::programPath().isEmpty())
            GTEST_SKIP() << "kro is not built next to the tests";
        QDir(m_home.path()).mkpath("images");
        kro::test::writeFile(m_home.filePath("config/KROSoftware/kro.conf"),
                             "[General]\neula=Version (Linux): " KRO_VERSION_TEXT "\nquickstart=false\nimgpath=" +
                                 imageFolder().toUtf8() + "\n");
        QByteArray rows;
        for (int i = 0; i < 200; ++i)
            rows += QByteArray::number(i * 0.1) + ", " + QByteArray::number((i % 20) * 0.5) + "\n";
        kro::test::writeFile(m_home.filePath("wave.dat"), rows);
    }

    QString imageFolder() const { return m_home.filePath("images"); }
    QStringList images() const { return QDir(imageFolder()).entryList({"*_kroCapture.png"}, QDir::Files); }

    void start(QProcess& p, const QStringList& args) { kro::test::startProgram(p, m_home.path(), args); }
    static void stop(QProcess& p) { kro::test::stopProgram(p); }

    QTemporaryDir m_home;
};

} // namespace

TEST_F(Program, ScriptWithArgumentsPlotsSavesAnImageAndExits)
{
    kro::test::writeFile(m_home.filePath("scripts/show.krs"), "--> %1: data file, %2: title\n"
                                                             "kro -f %1 -x 1 ...\n"
                                                             "-->  a comment between continued lines\n"
                                                             " -y 2 -title %2 -hmarker 2.5\n"
                                                             "title %2\n"
                                                             "kro -f %1 -x 1 -y 2 -append -jpg\n"
                                                             "exit\n");
    QProcess p;
    // Relative names, as typed in a shell; the working folder moves to the script's.
    start(p, {"scripts/show.krs", "wave.dat", "Saw tooth"});
    ASSERT_TRUE(p.waitForFinished(30000)) << p.readAllStandardError().toStdString();
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().startsWith("\nProgram started\nkrogui"));
    const QStringList saved = images();
    ASSERT_EQ(saved.size(), 1);
    QFile png(QDir(imageFolder()).filePath(saved.first()));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    EXPECT_EQ(png.read(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
    png.close();
    // The curves are in the picture: strongly coloured pixels.
    const QImage image(png.fileName());
    int coloured = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            coloured += std::abs(c.red() - c.blue()) > 100 || std::abs(c.green() - c.blue()) > 100;
        }
    EXPECT_GT(coloured, 100);
    // The window arrangement was written when the program ended.
    EXPECT_TRUE(QFileInfo(m_home.filePath("data/KRO/docksettings.ini")).isFile());
    // The line colours were read at start (the file is written with the
    // default colours when it is missing).
    EXPECT_TRUE(QFileInfo(m_home.filePath("data/KRO/linecolors.cfg")).isFile());
}

TEST_F(Program, PlotArgumentsWithTheImageOptionSaveTheFirstPlot)
{
    QProcess p;
    start(p, {"-f", "wave.dat", "-x", "1", "-y", "2", "-jpg"});
    const bool saved = QTest::qWaitFor([&] { return !images().isEmpty(); }, 20000);
    const bool running = p.state() == QProcess::Running;
    stop(p);
    EXPECT_TRUE(saved) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(running);
}

TEST_F(Program, UnknownOptionsAreReportedAndTheProgramKeepsRunning)
{
    QProcess p;
    start(p, {"-zz", "wave.dat"});
    // Wait for the report (a loaded machine may take a while to start it).
    QByteArray err;
    const bool reported = QTest::qWaitFor(
        [&] {
            err += p.readAllStandardError();
            return err.contains("kro: start-up arguments ignored") || p.state() != QProcess::Running;
        },
        20000);
    const bool running = p.state() == QProcess::Running;
    stop(p);
    err += p.readAllStandardError();
    EXPECT_TRUE(reported);
    EXPECT_TRUE(running);
    EXPECT_TRUE(err.contains("kro: start-up arguments ignored")) << err.toStdString();
    EXPECT_TRUE(images().isEmpty());
}

TEST_F(Program, StartsOnceMoreWithLargeBuffersOnHugePages)
{
    QFile modes(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
    if (!modes.open(QIODevice::ReadOnly) || modes.readAll().contains("[never]"))
        GTEST_SKIP() << "this kernel offers no huge pages";
    QProcess p;
    start(p, {});
    const auto environment = [&p] {
        QFile file(QStringLiteral("/proc/%1/environ").arg(p.processId()));
        return file.open(QIODevice::ReadOnly) ? file.readAll().split('\0') : QList<QByteArray>();
    };
    // The second start carries the setting, and its marker keeps it from
    // starting a third time.
    const bool set = kro::test::waitUntil([&] {
        const QList<QByteArray> seen = environment();
        return seen.contains("GLIBC_TUNABLES=glibc.malloc.hugetlb=1") && seen.contains("KRO_HUGE_PAGES_SET=1");
    });
    const bool running = p.state() == QProcess::Running;
    stop(p);
    EXPECT_TRUE(set);
    EXPECT_TRUE(running);
}
