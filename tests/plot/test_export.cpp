// Saving curve data as text: number formats, separators, the two layouts of
// the save-data page, the plot's own save, and files that cannot be written.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <functional>

#include <sys/resource.h>

#include "core/settings.h"
#include "plot/curvetext.h"
#include "plot_fixture.h"
#include "plot_signals.h"
#include "support/prompts.h"

using namespace plottest;

namespace {

QString read(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return QString::fromLatin1(f.readAll());
}

void write(const QString& path, const QByteArray& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

struct ExportTest : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        writeSetting("ofs", QString("comma"));
        p = makePlot();
        p->setCurveData(0, curveOf({{1, 10}, {2, 20}}), false);
        p->setCurveData(2, curveOf({{3, 30}, {4, 40}, {5, 50}}), false);
        reports = std::make_unique<Reports>(*p);
    }
    void TearDown() override { writeSetting("ofs", QString("comma")); }
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    std::unique_ptr<Plotter> p;
    std::unique_ptr<Reports> reports;
};

// Answers the single/multiple question with a button.
std::function<int(QDialog*)> press(const QString& button)
{
    return [button](QDialog* d) {
        auto* box = dynamic_cast<QMessageBox*>(d);
        if (!box)
            return 0;
        for (QAbstractButton* b : box->buttons())
            if (b->text() == button)
                b->click();
        return 0;
    };
}

} // namespace

TEST(CurveText, NumberFormats)
{
    struct Case {
        double x, y;
        const char* text;
    };
    for (const Case& c : {Case{12.5, 0.000012345, "12.500000000000000,1.2345e-05"}, Case{-1, 1e15, "-1.000000000000000,1e+15"},
                          Case{0, 123456789012345.0, "0.000000000000000,123456789012345"},
                          Case{1e-20, 0.0001, "0.000000000000000,0.0001"}, Case{2, 1.0 / 3, "2.000000000000000,0.333333333333333"},
                          Case{3, -0.5, "3.000000000000000,-0.5"}}) {
        std::string out;
        curvetext::appendCell(out, c.x, c.y, ",");
        EXPECT_EQ(out, c.text);
        char printed[128];
        std::snprintf(printed, sizeof printed, "%.15f,%.15g", c.x, c.y);
        EXPECT_EQ(out, printed) << "the same as the C library in the C locale";
    }
}

TEST(CurveText, Separators)
{
    struct Case {
        const char* word;
        const char* sep;
    };
    for (const Case& c : {Case{"comma", ","}, Case{"Semicolon", ";"}, Case{"SPACE", " "}, Case{"TAB", "\t"},
                          Case{"Tab", "\t"}, Case{"|", "|"}, Case{"", ","}})
        EXPECT_EQ(curvetext::separatorFromOfs(c.word), c.sep) << c.word;
}

TEST_F(ExportTest, CurvesOneAfterAnotherInOneFile)
{
    const QString out = path("both.txt");
    p->writeCurveFiles(2, {{1, out}, {3, out}}, QString());
    EXPECT_EQ(read(out), "1.000000000000000,10,C1\n2.000000000000000,20,C1\n"
                         "3.000000000000000,30,C3\n4.000000000000000,40,C3\n5.000000000000000,50,C3\n");
    EXPECT_EQ(reports->lines, (QStringList{QString("Info: C1 data written to: \"%1\"").arg(out),
                                           QString("Info: C3 data written to: \"%1\"").arg(out)}));
    EXPECT_TRUE(reports->has(ZEVOVE::INFO, QString("3 points from curve C3 data written to: \"%1\"").arg(out)));

    // One curve in one file: no curve column; a header once at the top.
    p->writeCurveFiles(3, {{1, out}}, "my header");
    EXPECT_EQ(read(out), "my header\n1.000000000000000,10\n2.000000000000000,20\n");
    p->writeCurveFiles(3, {{1, out}, {3, out}}, "h");
    EXPECT_TRUE(read(out).startsWith("h\n1.000000000000000,10,C1\n"));
    EXPECT_EQ(read(out).count("h\n"), 1);
    EXPECT_TRUE(reports->has(ZEVOVE::WARNING, QString("File \"%1\" already exists. It will be overwritten.").arg(out)));
}

TEST_F(ExportTest, CurvesSideBySide)
{
    writeSetting("ofs", QString("tab"));
    const QString out = path("side.txt");
    p->writeCurveFiles(4, {{1, out}, {3, out}}, QString());
    EXPECT_EQ(read(out), "1.000000000000000\t10\t3.000000000000000\t30\n"
                         "2.000000000000000\t20\t4.000000000000000\t40\n"
                         "-----------\t-----------\t5.000000000000000\t50\n");
    EXPECT_EQ(reports->lines.size(), 2);

    // Separate files each hold their own curve's rows.
    p->writeCurveFiles(5, {{1, path("a.txt")}, {3, path("b.txt")}}, "head");
    EXPECT_EQ(read(path("a.txt")), "head\n1.000000000000000\t10\n2.000000000000000\t20\n");
    EXPECT_EQ(read(path("b.txt")).count('\n'), 4);
}

TEST_F(ExportTest, MissingCurvesAreReportedAndTheirFilesLeftAlone)
{
    const QString kept = path("kept.txt");
    write(kept, "precious\n");
    const QString out = path("out.txt");
    p->writeCurveFiles(2, {{1, out}, {2, kept}}, QString());
    EXPECT_TRUE(reports->lines.contains("Error: Could not save curve C2. Curve does not exist."));
    EXPECT_TRUE(reports->has(ZEVOVE::ERROR, "Invalid parameter. C2 does not exist."));
    EXPECT_EQ(read(kept), "precious\n");
    EXPECT_TRUE(read(out).startsWith("1.000000000000000,10,C1\n"));

    reports->clear();
    p->writeCurveFiles(4, {{9, kept}}, QString());
    EXPECT_EQ(read(kept), "precious\n");
    EXPECT_EQ(reports->lines, QStringList{"Error: Could not save curve C9. Curve does not exist."});
}

TEST_F(ExportTest, FilesThatCannotBeWrittenReportNoSuccess)
{
    const QString bad = path("no/such/folder/x.txt");
    const QString error1 = QString("Error: Could not open \"%1\" for output. Curve C1 will not be saved.").arg(bad);
    for (int flags : {2, 4}) {
        reports->clear();
        p->writeCurveFiles(flags, {{1, bad}, {3, path("fine.txt")}}, QString());
        EXPECT_TRUE(reports->lines.contains(error1)) << flags;
        EXPECT_FALSE(reports->lines.contains(QString("Info: C1 data written to: \"%1\"").arg(bad))) << flags;
        EXPECT_TRUE(reports->lines.contains(QString("Info: C3 data written to: \"%1\"").arg(path("fine.txt")))) << flags;
    }

    reports->clear();
    p->saveData(bad);
    EXPECT_TRUE(reports->lines.contains(
        QString("Error: Could not open \"%1.dat\" for output. Curve C1 will not be saved.").arg(bad)));
    EXPECT_FALSE(reports->lines.join('|').contains("Data written"));
    EXPECT_FALSE(p->m_message) << "the overlay is gone";
}

TEST_F(ExportTest, NothingToSaveOrNoPath)
{
    p->writeCurveFiles(2, {}, QString());
    EXPECT_EQ(reports->lines, QStringList{"Error: No save path was set."});
    auto empty = makePlot();
    Reports r(*empty);
    empty->writeCurveFiles(2, {{1, path("x")}}, QString());
    empty->saveData(path("x"));
    EXPECT_EQ(r.lines, (QStringList{"Info: There is no data to save.", "Info: There is no data to save."}));
}

TEST_F(ExportTest, SaveDataToAGivenPath)
{
    const QString base = path("out");
    p->saveData(base);
    EXPECT_EQ(read(base + ".dat"), "1.000000000000000,10,0\n2.000000000000000,20,0\n"
                                   "3.000000000000000,30,2\n4.000000000000000,40,2\n5.000000000000000,50,2\n");
    EXPECT_EQ(reports->lines, QStringList{QString("Info: Data written to: %1.dat").arg(base)});
    EXPECT_EQ(p->m_outputPath, base + ".dat");

    // One curve: no id column; a name already ending in .dat is kept.
    p->removeCurve(2);
    p->saveData(base + ".dat");
    EXPECT_EQ(read(base + ".dat"), "1.000000000000000,10\n2.000000000000000,20\n");
}

TEST_F(ExportTest, SaveDataAsks)
{
    kro::test::ScriptedPrompts prompts;
    // Multiple files: one dialog per curve; the chosen filter's extension.
    prompts->answerDialog(press("Multiple"));
    prompts->answerSaveFile(path("first"));
    prompts->answerSaveFile(path("second.dat"));
    p->saveData();
    EXPECT_EQ(read(path("first.dat")), "1.000000000000000,10\n2.000000000000000,20\n");
    EXPECT_EQ(read(path("second.dat")).count('\n'), 3);
    EXPECT_EQ(reports->lines, (QStringList{QString("Info: C1 data written to: %1").arg(path("first.dat")),
                                           QString("Info: C3 data written to: %1").arg(path("second.dat"))}));
    ASSERT_GE(prompts->asked().size(), 3u);
    EXPECT_EQ(prompts->asked()[1].title, "Enter filename for C1");

    // Single file, dialog cancelled: nothing written.
    reports->clear();
    prompts->answerDialog(press("Single"));
    prompts->answerSaveFile(QString());
    p->saveData();
    EXPECT_TRUE(reports->has(ZEVOVE::INFO, "Save canceled."));
    EXPECT_TRUE(reports->lines.isEmpty());

    // Closing the question box (Escape, or its window's close button) ends
    // the operation without a file dialog or a message.
    for (const char* how : {"escape", "close"}) {
        reports->clear();
        bool closed = false;
        prompts->answerDialog([&](QDialog* d) {
            QObject::connect(d, &QDialog::finished, [&] { closed = true; });
            d->show();
            if (QLatin1String(how) == QLatin1String("escape"))
                QTest::keyClick(d, Qt::Key_Escape);
            else
                d->close();
            return d->result();
        });
        const std::size_t asked = prompts->asked().size();
        p->saveData();
        EXPECT_TRUE(closed) << how;
        EXPECT_EQ(prompts->asked().size(), asked + 1) << how << ": no file dialog after the question";
        EXPECT_TRUE(reports->typed.empty()) << how;
        EXPECT_TRUE(reports->lines.isEmpty()) << how;
    }
}

namespace {

// Lets writes of this process stop at a file size, as a full disk would:
// a write past the limit fails instead of raising SIGXFSZ.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
    }
    rlimit saved{};
    void (*oldHandler)(int) = nullptr;
};

} // namespace

TEST_F(ExportTest, AFailedWriteKeepsWhatTheFileHeld)
{
    // 20000 points give far more text than the limit lets through.
    CurveData many;
    for (int i = 0; i < 20000; ++i)
        many.append(i, i * 0.5);
    p->setCurveData(0, std::move(many), false);
    const QString out = path("precious.txt");
    struct Case {
        const char* what;
        std::function<void()> save;
        QString error;
    };
    const Case cases[] = {
        {"one after another", [&] { p->writeCurveFiles(2, {{1, out}, {3, out}}, QString()); },
         QString("Error: Could not write \"%1\". Curve C1 was not saved.").arg(out)},
        {"side by side", [&] { p->writeCurveFiles(4, {{1, out}, {3, out}}, QString()); },
         QString("Error: Could not write \"%1\". Curve C3 was not saved.").arg(out)},
        {"the plot's own save", [&] { p->saveData(out); },
         QString("Error: Could not write \"%1.dat\". The data were not saved.").arg(out)},
    };
    for (const Case& c : cases) {
        write(out, "precious\n");
        write(out + ".dat", "precious\n");
        reports->clear();
        {
            FileSizeLimit limit(64 * 1024);
            c.save();
        }
        EXPECT_EQ(read(out), "precious\n") << c.what;
        EXPECT_EQ(read(out + ".dat"), "precious\n") << c.what;
        EXPECT_TRUE(reports->lines.contains(c.error)) << c.what << ": " << reports->lines.join('|').toStdString();
        EXPECT_FALSE(reports->lines.join('|').contains("written to")) << c.what;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << c.what << ": no temporary file is left";
    }
}

TEST_F(ExportTest, TwoPathsOfOneFileShareIt)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    const QString plain = path("one.txt");
    const QString roundabout = path("sub/../one.txt");
    p->writeCurveFiles(4, {{1, plain}, {3, roundabout}}, QString());
    EXPECT_EQ(read(plain), "1.000000000000000,10,3.000000000000000,30\n"
                           "2.000000000000000,20,4.000000000000000,40\n"
                           "-----------,-----------,5.000000000000000,50\n");
    p->writeCurveFiles(2, {{1, plain}, {3, roundabout}}, "h");
    EXPECT_EQ(read(plain).count('\n'), 6) << "one header and both curves";
    EXPECT_TRUE(read(plain).startsWith("h\n1.000000000000000,10,C1\n"));
}

TEST_F(ExportTest, AReplacedFileKeepsItsPermissionsAndLinksAndAReadOnlyFileIsNotReplaced)
{
    const QString shared = path("shared.txt");
    write(shared, "old\n");
    const auto perms = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup |
                       QFile::ReadOther;
    QFile::setPermissions(shared, perms);
    p->writeCurveFiles(2, {{1, shared}}, QString());
    EXPECT_TRUE(read(shared).startsWith("1.000000000000000,10\n"));
    EXPECT_EQ(QFile::permissions(shared), perms);

    // A link stays a link; the file it points to receives the data.
    const QString link = path("link.txt");
    ASSERT_TRUE(QFile::link(shared, link));
    p->writeCurveFiles(2, {{3, link}}, QString());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(read(shared).startsWith("3.000000000000000,30\n"));

    const QString locked = path("locked.txt");
    write(locked, "precious\n");
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadUser);
    if (QFileInfo(locked).isWritable())
        GTEST_SKIP() << "running with the right to write any file";
    p->writeCurveFiles(2, {{1, locked}}, QString());
    EXPECT_EQ(read(locked), "precious\n");
    EXPECT_TRUE(reports->lines.contains(
        QString("Error: Could not open \"%1\" for output. Curve C1 will not be saved.").arg(locked)));
}
