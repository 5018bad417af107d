// The plot command end to end: the command text reaches PlotterCtrl's slot,
// the data files (real files in a temporary folder) load in the loader
// thread, and the results and options land in the plot that asked for them.
#include "tabs/plotterctrl.h"

#include "core/idarray.h"
#include "core/messages.h"
#include "core/settings.h"
#include "import/parsingevents.h"
#include "plot/actionlabel.h"
#include "plot/plotdiag.h"
#include "plot/plotter.h"
#include "plot/rotlabel.h"
#include "platform/scriptedprompter.h"
#include "tabs/plotterquad.h"
#include "tabs/progressbar.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/qtprinters.h"
#include "support/test_env.h"

namespace {

// A plot that also offers the analysis, marker and export slots the plot
// command calls by name, and records the calls.
class ProbePlotter : public Plotter {
    Q_OBJECT
public:
    explicit ProbePlotter(QWidget* parent = nullptr) : Plotter(parent, "probe") {}
    QStringList calls;

public Q_SLOTS:
    void removeMean(const IdArray& ids) { calls << QStringLiteral("removeMean %1").arg(ids.count()); }
    void ndiff(int order, const IdArray& ids) { calls << QStringLiteral("ndiff %1 %2").arg(order).arg(ids.isAll()); }
    void smoothData(int points, const IdArray&, bool overlay)
    {
        calls << QStringLiteral("smoothData %1 %2").arg(points).arg(overlay);
    }
    void addHMarker(double* v, bool redraw) { calls << QStringLiteral("addHMarker %1 %2").arg(*v).arg(redraw); }
    void addVMarker(const double* v, bool redraw) { calls << QStringLiteral("addVMarker %1 %2").arg(*v).arg(redraw); }
    void expression(const QString& e, bool flag) { calls << QStringLiteral("expression %1 %2").arg(e).arg(flag); }
    void saveData(const QString& path) { calls << QStringLiteral("saveData %1").arg(path); }
    void setLegendPosition(const QString& pos, int, bool) { calls << QStringLiteral("legendpos %1").arg(pos); }
};

class PlotCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        kro::test::clearSettingsStore();
        kro::setVerbose(false);
        ASSERT_TRUE(dir.isValid());
        prompter = new kro::ScriptedPrompter;
        previous = kro::installPrompter(std::unique_ptr<kro::Prompter>(prompter));
        ctrl = std::make_unique<PlotterCtrl>(nullptr, &bar, &undo);
        ctrl->resize(800, 600);
        QObject::connect(ctrl.get(), &PlotterCtrl::transcript, [this](const QString& t) { transcripts << t; });
        QObject::connect(ctrl.get(), &PlotterCtrl::kroscript, [this](const QString& t) { scripts << t; });
        QObject::connect(ctrl.get(), &PlotterCtrl::verbose,
                         [this](ZEVOVE::TYPE, const QString& t) { verboses << t; });
    }
    void TearDown() override
    {
        ctrl.reset();
        kro::installPrompter(std::move(previous));
        kro::test::clearSettingsStore();
    }

    QString write(const QString& name, const QByteArray& content)
    {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return path;
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    // Runs a command ("%d" stands for the temporary folder) and waits until
    // every load it started has been taken over.
    void run(QString command)
    {
        command.replace(QLatin1String("%d"), dir.path());
        ctrl->on_kroplot(command);
        waitIdle();
    }
    void loadWhileBigFileLoads(const char* secondOptions);
    // Writes a file of `lines` identical data lines, large enough that its
    // load is still running when the next statement executes.
    void writeRepeated(const QString& name, const QByteArray& line, int lines)
    {
        QByteArray text;
        text.reserve(line.size() * lines);
        for (int i = 0; i < lines; ++i)
            text += line;
        write(name, text);
    }
    void waitIdle()
    {
        QElapsedTimer t;
        t.start();
        while (ctrl->m_busy && t.elapsed() < 20000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_FALSE(ctrl->m_busy);
    }
    static std::vector<double> ys(const Plotter* p, int id)
    {
        std::vector<double> v;
        const CurveData& c = p->curves().at(id);
        for (std::size_t i = 0; i < c.pointCount(); ++i)
            v.push_back(c.y(i));
        return v;
    }
    static std::vector<double> xs(const Plotter* p, int id)
    {
        std::vector<double> v;
        const CurveData& c = p->curves().at(id);
        for (std::size_t i = 0; i < c.pointCount(); ++i)
            v.push_back(c.x(i));
        return v;
    }
    static std::vector<int> ids(const Plotter* p)
    {
        std::vector<int> v;
        for (const auto& [id, c] : p->curves())
            v.push_back(id);
        return v;
    }
    Plotter* plot() const { return ctrl->currentPlotter(); }
    QString titleText(const Plotter* p) const { return p->titleLabel()->plainText(); }

    QTemporaryDir dir;
    ProgressBar bar;
    QToolButton undo;
    std::unique_ptr<PlotterCtrl> ctrl;
    kro::ScriptedPrompter* prompter = nullptr;
    std::unique_ptr<kro::Prompter> previous;
    QStringList transcripts, scripts, verboses;
};

using V = std::vector<double>;

} // namespace

TEST_F(PlotCommand, LoadsColumnsIntoTheCurrentPlot)
{
    write("a.dat", "1 10 100\n2 20 200\n3 30 300\n");
    QSignalSpy cleared(ctrl.get(), &PlotterCtrl::plotterCleared);
    ctrl->on_kroplot(QStringLiteral("kro -f %1 -x 1 -y 2 3").arg(path("a.dat")));
    // The slot returns at once; the load runs in its own thread.
    EXPECT_TRUE(ctrl->m_busy);
    EXPECT_TRUE(plot()->curves().empty());
    EXPECT_EQ(cleared.count(), 1);
    waitIdle();
    EXPECT_EQ(ids(plot()), (std::vector<int>{0, 1}));
    EXPECT_EQ(ys(plot(), 1), (V{100, 200, 300}));
    EXPECT_EQ(plot()->curveTitles().at(0), path("a.dat") + ":2");
    EXPECT_EQ(titleText(plot()), path("a.dat"));
    EXPECT_TRUE(plot()->m_userCacheValid) << "the loaded state fills the user cache";
    EXPECT_TRUE(transcripts.isEmpty()) << transcripts.join('|').toStdString();
}

TEST_F(PlotCommand, EveryOptionReachesTheCurvesOrThePlot)
{
    write("opt.dat",
          "time value other\n"
          "skip this\n"
          "0.5 1 7\n1.5 2 7\n2.5 3 7\n3.5 500 7\n4.5 nan 7\n");
    run(QStringLiteral("kro -f %d/opt.dat -header -skip 1 -x 1 -y 2 3 -mult 10 1 -addx 100 -limitymax 1000 "
                       "-title \"My Title\" -ylbl Volts -pntrad 3 -linewidth 2 -bar -barfloor 0 -logy "
                       "-domain 0 200 -granv 5 -titlefontsize 20 -legend first second"));
    Plotter* p = plot();
    EXPECT_EQ(ids(p), (std::vector<int>{0, 1}));
    EXPECT_EQ(xs(p, 0), (V{100.5, 101.5, 102.5}));
    EXPECT_EQ(ys(p, 0), (V{10, 20, 30}));
    EXPECT_EQ(ys(p, 1), (V{7, 7, 7, 7}));
    EXPECT_EQ(titleText(p), QStringLiteral("My Title"));
    EXPECT_EQ(p->xLabelWidget()->plainText(), QStringLiteral("time")) << "the header's x title";
    EXPECT_EQ(p->m_pointDiameter, 7);
    EXPECT_EQ(p->m_lineWidth, 2);
    EXPECT_TRUE(p->m_barMode);
    EXPECT_EQ(p->m_barFloor, 0);
    EXPECT_TRUE(p->m_logY);
    EXPECT_FALSE(p->m_logX);
    EXPECT_EQ(p->m_xGranularity, 5);
    EXPECT_EQ(p->legend()->findItem(0)->text(), QStringLiteral("value")) << "header titles replace -legend";
    EXPECT_EQ(p->legend()->findItem(1)->text(), QStringLiteral("other"));
    EXPECT_EQ(p->titleLabel()->font().pointSize(), 20);
    EXPECT_EQ(transcripts.size(), 1);
    EXPECT_TRUE(transcripts.value(0).startsWith("Parsing Error: NaN value read in y column."));
}

TEST_F(PlotCommand, MoreOptionsReachTheCurvesOrThePlot)
{
    write("k1.dat",
          "# log\n"
          "A 1 10 5 p1\n"
          "B 2 20 5 p2\n"
          "A 3 30 1 p3\n"
          "B 4 40 5 p4\n"
          "C 5 50 5 p5\n");
    write("k2.dat", "B 6 60 5 q\n");
    QSignalSpy shots(ctrl.get(), &PlotterCtrl::screenShotReq);
    run("kro -f %d/k1.dat %d/k2.dat -regex \"[A-Z].*\" -get 4 -k 1 -x 2 -y 3 -z 4 -limitzmin 2 -pntlbl 5 "
        "-subx 1 -divx 2 -sub 5 -div 5 -modx 10 -mody 100 -xlbl Seconds -range -1 20 -logxy -granh 2 "
        "-tickfontsize 12 -xaxisfontsize 16 -yaxisfontsize 11 -jpg -xoffset");
    Plotter* p = plot();
    // Keys A, B (and B again from the second file), the row limit stops
    // before C, and the z limit drops the third row.
    EXPECT_EQ(ids(p), (std::vector<int>{0, 1}));
    // y = value / 5 - 5, x = value / 2 - 1.
    EXPECT_EQ(ys(p, 0), (V{-3}));
    EXPECT_EQ(ys(p, 1), (V{-1, 3, 7}));
    EXPECT_EQ(xs(p, 1), (V{0, 1, 2}));
    EXPECT_EQ(p->curveTitles().at(0), QStringLiteral("A"));
    EXPECT_EQ(p->curveTitles().at(1), QStringLiteral("B"));
    EXPECT_EQ(p->m_annotations.size(), 4u);
    EXPECT_EQ(p->m_xOffset, 0);
    EXPECT_TRUE(p->m_logX && p->m_logY);
    EXPECT_TRUE(p->view().userYInForce);
    EXPECT_EQ(p->view().userY, AxisRange(-1, 20));
    EXPECT_EQ(p->m_yGranularity, 2);
    EXPECT_EQ(p->m_tickFont.pointSize(), 12);
    EXPECT_EQ(p->xLabelWidget()->font().pointSize(), 16);
    EXPECT_EQ(p->yLabelWidget()->font().pointSize(), 11);
    EXPECT_EQ(p->xLabelWidget()->plainText(), QStringLiteral("Seconds"));
    EXPECT_EQ(shots.count(), 1);

    write("m1.dat", "1 5\n2 6\n");
    write("m2.dat", "0.5 7\n");
    run("kro -f %d/m1.dat %d/m2.dat -merge -x 1 -y 2 -domain 0 3");
    EXPECT_EQ(ids(plot()), std::vector<int>{0});
    EXPECT_EQ(xs(plot(), 0), (V{0.5, 1, 2})) << "merged curves are sorted by x";
    EXPECT_TRUE(plot()->view().userXInForce);
    EXPECT_EQ(plot()->view().userX, AxisRange(0, 3));
}

TEST_F(PlotCommand, AutomaticTitles)
{
    write("one/same.dat", "1 2\n");
    write("two/same.dat", "1 3\n");
    write("two/other.dat", "1 4\n");
    writeSetting(QStringLiteral("useshorttitles"), "true");
    const struct {
        const char* files;
        const char* title;
    } cases[] = {
        {"%d/one/same.dat %d/two/same.dat", "same.dat"},
        {"%d/one/same.dat %d/two/other.dat", "Multiple Files"},
        {"%d/two/other.dat", "other.dat"},
        {"%d/one/same.dat %d/two/same.dat %d/two/other.dat", "Multiple Files"},
        {"%d/one/same.dat -title X", "X"},
    };
    for (const auto& c : cases) {
        run(QStringLiteral("kro -f ") + QLatin1String(c.files));
        EXPECT_EQ(titleText(plot()), QString::fromLatin1(c.title)) << c.files;
    }
    EXPECT_EQ(plot()->curveTitles().at(0), QStringLiteral("same.dat:2")) << "short curve titles";
}

TEST_F(PlotCommand, AppendKeepsThePlotAndFillsGaps)
{
    write("a.dat", "1 10 100\n");
    write("c.dat", "5 50\n");
    run("kro -f %d/a.dat -y 2 3 -title Kept -logx");
    plot()->removeCurve(0);
    run("kro -append -f %d/c.dat");
    EXPECT_EQ(ids(plot()), (std::vector<int>{0, 1}));
    EXPECT_EQ(ys(plot(), 0), (V{50}));
    EXPECT_EQ(ys(plot(), 1), (V{100}));
    EXPECT_EQ(titleText(plot()), QStringLiteral("Kept"));
    EXPECT_TRUE(plot()->m_logX);
}

TEST_F(PlotCommand, AppendedCurvesNeverReplaceCurvesThePlotHolds)
{
    // Curves 0 and 2 remain after removing curve 1; an appended file with two
    // y columns fills the gap first and then goes past the last curve.
    write("a.dat", "1 10 100 1000\n");
    write("c.dat", "5 50 500\n");
    run("kro -f %d/a.dat -y 2 3 4");
    plot()->removeCurve(1);
    run("kro -append -f %d/c.dat -y 2 3");
    EXPECT_EQ(ids(plot()), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(ys(plot(), 0), (V{10}));
    EXPECT_EQ(ys(plot(), 1), (V{50}));
    EXPECT_EQ(ys(plot(), 2), (V{1000})) << "the plot's own curve keeps its points";
    EXPECT_EQ(ys(plot(), 3), (V{500}));
    EXPECT_EQ(plot()->curveTitles().at(2), path("a.dat") + ":4") << "and its title";
    EXPECT_EQ(plot()->curveTitles().at(3), path("c.dat") + ":3");

    // Keyed curves skip the plot's curves the same way.
    write("k.dat", "A 1 7\nB 2 8\n");
    run("kro -append -f %d/k.dat -k 1 -x 2 -y 3");
    EXPECT_EQ(ids(plot()), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(ys(plot(), 4), (V{7}));
    EXPECT_EQ(ys(plot(), 5), (V{8}));
}

TEST_F(PlotCommand, ScriptsAndRefusedCommandsLeaveThePlotAlone)
{
    write("a.dat", "1 2\n2 3\n");
    run("kro -f %d/a.dat -title Before");
    ASSERT_EQ(ids(plot()), std::vector<int>{0});
    const auto check = [&](const char* command) {
        SCOPED_TRACE(command);
        run(QString::fromLatin1(command));
        EXPECT_EQ(ids(plot()), std::vector<int>{0});
        EXPECT_EQ(titleText(plot()), QStringLiteral("Before"));
    };

    check("kro -script run.krs 5 6");
    EXPECT_EQ(scripts, QStringList{"run.krs 5 6"});
    check("kro -script");
    EXPECT_EQ(transcripts.last(), QStringLiteral("Command processing error: -script must be followed by the name of "
                                                 "a script."));
    EXPECT_EQ(scripts.size(), 1);

    transcripts.clear();
    check("kro -version");
    EXPECT_EQ(transcripts, QStringList{"Version BETA\nBuild date: N/A"});

    check("kro -f %d/a.dat -title");
    EXPECT_EQ(transcripts.last(), QStringLiteral("Parameter warning: The -title parameter requires a title string."));
    check("kro -f %d/a.dat -limitxmin");
    EXPECT_TRUE(transcripts.last().startsWith("Parameter error: The -limitxmin;-xlimitmin parameter"));
    check("kro -x 2");
    EXPECT_EQ(transcripts.last(), QStringLiteral("Parameter error: No input source (file or pipe) was specified."));
    // A command whose files are all missing would only empty the plot.
    transcripts.clear();
    check("kro -f %d/missing.dat %d/gone.dat -title Lost");
    EXPECT_EQ(transcripts, QStringList({QStringLiteral("Error: The file %1 does not exist.").arg(path("missing.dat")),
                                        QStringLiteral("Error: The file %1 does not exist.").arg(path("gone.dat"))}));
    check("kro -f \"\"");
    EXPECT_EQ(transcripts.last(), QStringLiteral("Error: Input file missing. Check your input parameters."));
    check("kro -3d -f %d/missing.dat");
    EXPECT_EQ(transcripts.last(), QStringLiteral("Error: The file %1 does not exist.").arg(path("missing.dat")));
    QDir().mkpath(path("folder.dat"));
    check("kro -3d -f %d/folder.dat");
    EXPECT_EQ(transcripts.last(), QStringLiteral("Warning: Input file \"%1\" cannot be read.").arg(path("folder.dat")));
    check("kro -3d -f %d/a.dat -skip 9");
    EXPECT_EQ(transcripts.last(), QStringLiteral("Warning: Skip parameter (9) too large. Not enough points to continue."));

    ctrl->on_kroplot(QStringLiteral("kro -f a") + QChar(0x2603) + QChar(0xD800));
    EXPECT_TRUE(transcripts.last().startsWith("Command processing error: One or more invalid characters"));
    EXPECT_FALSE(ctrl->m_busy);
}

TEST_F(PlotCommand, WaterfallMakesEveryFieldACurve)
{
    write("m.dat", "header line\n1 2 3 4 5 \n2 3 4 5 6\n");
    run("kro -3d -f %d/m.dat -x 1 -skip 1");
    EXPECT_EQ(ids(plot()), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(ys(plot(), 3), (V{5, 6}));
    EXPECT_TRUE(plot()->m_threeD);
    EXPECT_FALSE(plot()->m_blueScale);
    run("kro -3d -f %d/m.dat -x 0 -skip 1 -bluescale");
    EXPECT_EQ(ids(plot()).size(), 5u);
    EXPECT_TRUE(plot()->m_blueScale);
}

TEST_F(PlotCommand, ResultsGoToThePlotThatAskedForThem)
{
    QByteArray text;
    for (int i = 0; i < 2000; ++i)
        text += QByteArray::number(i) + " " + QByteArray::number(i * 3) + "\n";
    write("big.dat", text);
    Plotter* asked = plot();
    ctrl->on_kroplot(QStringLiteral("kro -f %1").arg(path("big.dat")));
    ctrl->on_newTab("Elsewhere");
    waitIdle();
    EXPECT_EQ(asked->curves().at(0).pointCount(), 2000u);
    EXPECT_TRUE(plot()->curves().empty());

    // The asking plot goes away while its data is loading.
    ctrl->on_kroplot(QStringLiteral("kro -f %1").arg(path("big.dat")));
    ctrl->on_closeTab("Elsewhere");
    waitIdle();
    EXPECT_TRUE(transcripts.last().startsWith("Warning: The plot that asked for the data was closed"));
}

TEST_F(PlotCommand, TwoLoadsAtOnceKeepTheControlBusyUntilBothFinish)
{
    write("a.dat", "1 2\n");
    writeRepeated("b.dat", "3 4\n", 300000);
    ctrl->on_kroplot(QStringLiteral("kro -f %1").arg(path("a.dat")));
    ctrl->on_newTab("Second");
    ctrl->on_kroplot(QStringLiteral("kro -f %1").arg(path("b.dat")));
    int finishedWhileBusy = 0;
    QElapsedTimer t;
    t.start();
    while (ctrl->m_busy && t.elapsed() < 20000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        const bool aDone = !ctrl->findPlotter("Plot 1", 0)->curves().empty();
        const bool bDone = !ctrl->findPlotter("Second", 0)->curves().empty();
        if (aDone && !bDone) {
            ++finishedWhileBusy;
            ASSERT_TRUE(ctrl->m_busy) << "the second load still runs";
        }
    }
    EXPECT_FALSE(ctrl->m_busy);
    EXPECT_GT(finishedWhileBusy, 0);
    EXPECT_EQ(ys(ctrl->findPlotter("Plot 1", 0), 0), V{2});
    EXPECT_EQ(ctrl->findPlotter("Second", 0)->curves().at(0).pointCount(), 300000u);
}

// Starts a load of a large file and, while it still runs, a second plot
// command (with the given options) for a one-line file into the same plot.
void PlotCommand::loadWhileBigFileLoads(const char* secondOptions)
{
    writeRepeated("big.dat", "3 4\n", 300000);
    write("small.dat", "1 2\n");
    ctrl->on_kroplot(QStringLiteral("kro -f %1").arg(path("big.dat")));
    ctrl->on_kroplot(QStringLiteral("kro %1 -f %2").arg(QLatin1String(secondOptions), path("small.dat")));
    waitIdle();
}

TEST_F(PlotCommand, AnAppendWhileTheSameTabStillLoadsKeepsBothLoads)
{
    // The two loads must not give their curves the same index.
    loadWhileBigFileLoads("-append");
    ASSERT_EQ(ids(plot()), (std::vector<int>{0, 1}));
    std::vector<std::size_t> counts = {plot()->curves().at(0).pointCount(), plot()->curves().at(1).pointCount()};
    std::sort(counts.begin(), counts.end());
    EXPECT_EQ(counts, (std::vector<std::size_t>{1, 300000}));
    const auto titles = plot()->curveTitles();
    EXPECT_EQ(QStringList({titles.at(0), titles.at(1)}).filter("small.dat").size(), 1);
}

TEST_F(PlotCommand, ACommandThatReplacesThePlotDropsTheLoadStillRunningIntoIt)
{
    loadWhileBigFileLoads("");
    ASSERT_EQ(ids(plot()), (std::vector<int>{0}));
    EXPECT_EQ(ys(plot(), 0), V{2}) << "the older load must not land over the newer one";
    EXPECT_EQ(plot()->curveTitles().at(0), path("small.dat") + ":2");
    EXPECT_EQ(titleText(plot()), path("small.dat"));
    EXPECT_TRUE(transcripts.filter("closed").isEmpty()) << transcripts.join('|').toStdString();
}

TEST_F(PlotCommand, ClearingThePlotDropsTheLoadStillRunningIntoIt)
{
    writeRepeated("big.dat", "3 4\n", 300000);
    ctrl->on_kroplot(QStringLiteral("kro -f %1").arg(path("big.dat")));
    ctrl->clearPlot(plot());
    waitIdle();
    EXPECT_TRUE(plot()->curves().empty()) << "the cleared plot must stay empty";
    // The plot takes new data as usual afterwards.
    write("small.dat", "1 2\n");
    run(QStringLiteral("kro -f %1").arg(path("small.dat")));
    EXPECT_EQ(ys(plot(), 0), V{2});
}

TEST_F(PlotCommand, LoadResultsOptions)
{
    write("s.dat", "3 1\n1 3\n2 2\n");
    run("kro -f %d/s.dat -sort");
    EXPECT_EQ(xs(plot(), 0), (V{1, 2, 3}));
    EXPECT_TRUE(plot()->autoCacheFilled()) << "sorting takes the undo copy";
    EXPECT_TRUE(undo.isEnabled());

    write("u.dat", "1 2e-6\n2 3e-6\n");
    run("kro -f %d/u.dat -yoffset");
    EXPECT_EQ(plot()->yLabelWidget()->plainText(), QStringLiteral("micro"));
    EXPECT_NEAR(ys(plot(), 0)[0], 2, 1e-12);

    write("x.dat", "56293.7 1\n56294.2 2\n");
    run("kro -f %d/x.dat -xoffset");
    EXPECT_EQ(plot()->m_xOffset, 56293);
    EXPECT_EQ(plot()->xLabelWidget()->plainText(), QStringLiteral("Offset from 56293"));

    // One file of several missing: the others load and the plot names it.
    run("kro -f %d/s.dat %d/nothing.dat -title Kept");
    EXPECT_EQ(ids(plot()), std::vector<int>{0});
    ASSERT_TRUE(plot()->m_message);
    EXPECT_EQ(plot()->m_message->text(), QStringLiteral("The file %1 does not exist.").arg(path("nothing.dat")));
    EXPECT_EQ(titleText(plot()), QStringLiteral("Kept")) << "the options of the command still apply";

    write("h.dat", "T1 T2\n1 2\n");
    run("kro -f %d/h.dat -header -x 0 -y 1 2");
    run("kro -append -f %d/h.dat -header -x 0 -y 1 2");
    EXPECT_EQ(ids(plot()), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(plot()->legend()->findItem(0)->text(), QStringLiteral("T1")) << "titles start at the first curve";
    EXPECT_EQ(plot()->legend()->findItem(1)->text(), QStringLiteral("T2"));
}

TEST_F(PlotCommand, DateAndTimeDataSetTheDateAxisAndReportBadDates)
{
    write("d.dat", "2021-08-01 12:00:00 1\n2021-02-30 12:00:00 2\n2021-08-02 00:00:00 3\n");
    run("kro -f %d/d.dat -d 1 -t 2 -y 3");
    EXPECT_TRUE(plot()->m_dateTimeAxis);
    EXPECT_EQ(xs(plot(), 0), (V{59427.5, 59428}));
    ASSERT_EQ(transcripts.size(), 2);
    EXPECT_EQ(transcripts[0], QStringLiteral("Warning: Date/time parser unable to convert value. File: %1\n         "
                                             "Format specifier : %Y-%m-%d %H:%M:%S%F\n         Input value      : "
                                             "2021-02-30 12:00:00")
                                  .arg(path("d.dat")));
    EXPECT_EQ(transcripts[1], QStringLiteral("Total date/time parser warnings: 1"));
}

TEST_F(PlotCommand, BadInputIsReportedAndGoodLinesLoad)
{
    write("bad.dat", "1 2\nabc def\n3 inf\n4\n5 6\n");
    write("ok.dat", "7 8\n");
    QDir(dir.path()).mkdir("adir.dat");
    run("kro -f %d/bad.dat %d/adir.dat %d/ok.dat -regex \".*\" \".*\" \"([\"");
    EXPECT_EQ(ids(plot()), (std::vector<int>{0}));
    EXPECT_EQ(xs(plot(), 0), (V{1, 5})) << "a line of text adds no point";
    ASSERT_EQ(transcripts.size(), 4) << transcripts.join("\n").toStdString();
    EXPECT_TRUE(transcripts[0].startsWith("Parsing Error: No number read in x or y columns."));
    EXPECT_TRUE(transcripts[1].startsWith("Parsing Error: Inf value read in y column."));
    EXPECT_TRUE(transcripts[2].startsWith(QStringLiteral("Error opening file %1: ").arg(path("adir.dat"))));
    EXPECT_TRUE(transcripts[3].startsWith("Error: The regular expression \"([\" is invalid"));
}

TEST_F(PlotCommand, TheProgressBarMovesDuringALoadAndHidesAfterIt)
{
    QByteArray text;
    for (int i = 0; i < 50000; ++i)
        text += QByteArray::number(i) + ",1\n";
    write("p.dat", text);
    std::vector<int> values;
    QObject::connect(&bar, &QProgressBar::valueChanged, [&](int v) { values.push_back(v); });
    ctrl->on_kroplot(QStringLiteral("kro -f %1").arg(path("p.dat")));
    EXPECT_TRUE(bar.isArmed());
    waitIdle();
    EXPECT_GT(values.size(), 50u);
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end() - 1));
    EXPECT_GE(*std::max_element(values.begin(), values.end()), 990);
    EXPECT_FALSE(bar.isArmed());
    EXPECT_FALSE(bar.isVisibleTo(nullptr));
    EXPECT_EQ(bar.total(), text.size());
}

TEST(ProgressBarTest, PerMilleProgressOnlyWhileArmed)
{
    QWidget window;
    ProgressBar bar(&window);
    window.show();
    bar.show();
    EXPECT_FALSE(bar.isVisible()) << "not armed";
    QApplication::sendEvent(&bar, new ProgressBarUpdate(ProgressBarUpdate::PROGRESS, 500));
    EXPECT_EQ(bar.value(), 0) << "no total yet";
    ProgressBarUpdate name(ProgressBarUpdate::FILE_NAME, 2000, QStringLiteral("data.txt"));
    QApplication::sendEvent(&bar, &name);
    EXPECT_EQ(bar.windowTitle(), QStringLiteral("data.txt"));
    ProgressBarUpdate half(ProgressBarUpdate::PROGRESS, 500);
    QApplication::sendEvent(&bar, &half);
    EXPECT_EQ(bar.value(), 250);
    bar.arm();
    bar.show();
    EXPECT_TRUE(bar.isVisible());
    bar.hide();
    EXPECT_FALSE(bar.isArmed());
    window.hide();
    window.show();
    EXPECT_FALSE(bar.isVisible());
}

TEST_F(PlotCommand, CallsThePlotsAnalysisAndMarkerSlots)
{
    auto* probe = new ProbePlotter;
    ctrl->on_addPlotter(probe);
    ASSERT_EQ(plot(), probe);
    EXPECT_EQ(probe->calls, QStringList{"legendpos bottom"}) << "a new plot takes the stored options";
    probe->calls.clear();
    write("a.dat", "1 2 3\n2 4 5\n");
    run("kro -f %d/a.dat -y 2 3 -mean -1stdiff -smooth 5 -nooverlay -hmarker 1.5 -marker 2 -expr C1*2 -expr_only "
        "-o out.txt -legendpos top");
    EXPECT_EQ(probe->calls, (QStringList{"legendpos top", "ndiff 1 1", "removeMean 2", "smoothData 5 0",
                                         "addHMarker 1.5 0", "addVMarker 2 0", "expression C1*2 1", "saveData out.txt"}));
    EXPECT_TRUE(probe->curves().empty()) << "-expr_only removes the loaded curves";

    // A real plot smooths the loaded curve in place: means of 3 neighbours
    // at the middle one's x.
    ctrl->on_usingTab("Plot 1");
    write("c.dat", "1 2\n2 4\n3 6\n4 8\n5 10\n6 12\n");
    run("kro -f %d/c.dat -smooth 3 -nooverlay");
    ASSERT_EQ(plot()->curves().size(), 1u) << transcripts.join(" / ").toStdString();
    EXPECT_EQ(xs(plot(), 0), (std::vector<double>{2, 3, 4, 5}));
    EXPECT_EQ(ys(plot(), 0), (std::vector<double>{4, 6, 8, 10}));
}

TEST_F(PlotCommand, MeanAndExpressionOptionsChangeTheLoadedCurves)
{
    write("b.dat", "1 2 3\n2 4 5\n3 9 7\n");
    // The means (5 and 5) removed, then a new curve from both.
    run("kro -f %d/b.dat -y 2 3 -mean -expr C1*2+C2");
    Plotter* p = plot();
    ASSERT_EQ(p->curves().size(), 3u) << transcripts.join(" / ").toStdString();
    EXPECT_EQ(xs(p, 0), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(ys(p, 0), (std::vector<double>{-3, -1, 4}));
    EXPECT_EQ(ys(p, 1), (std::vector<double>{-2, 0, 2}));
    EXPECT_EQ(ys(p, 2), (std::vector<double>{-8, -2, 10}));

    // -expr_only keeps the expression's curve alone (under the id it was
    // given next to the loaded curves).
    run("kro -f %d/b.dat -y 2 3 -expr C2-C1 -expr_only");
    ASSERT_EQ(plot()->curves().size(), 1u);
    EXPECT_EQ(ys(plot(), plot()->curves().begin()->first), (std::vector<double>{1, 1, -2}));
}

TEST_F(PlotCommand, FirstDifferenceOptionDifferencesEveryLoadedCurve)
{
    write("b.dat", "1 2 3\n2 4 5\n3 9 7\n");
    // Each curve keeps its first two x values with y_(i+1) - y_i.
    run("kro -f %d/b.dat -y 2 3 -1stdiff");
    Plotter* p = plot();
    ASSERT_EQ(p->curves().size(), 2u) << transcripts.join(" / ").toStdString();
    EXPECT_EQ(xs(p, 0), (std::vector<double>{1, 2}));
    EXPECT_EQ(ys(p, 0), (std::vector<double>{2, 5}));
    EXPECT_EQ(ys(p, 1), (std::vector<double>{2, 2}));
    EXPECT_TRUE(transcripts.filter("not available").isEmpty());
}

TEST_F(PlotCommand, ClosingTheTabsWhileALoadRunsStopsIt)
{
    // A FIFO whose writer stays and sends nothing: the load would wait for
    // data for ever; only the stop that closing sends ends it.
    const QByteArray fifo = QFile::encodeName(path("held.fifo"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const int writer = ::open(fifo.constData(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ctrl->on_kroplot(QStringLiteral("kro -f %1").arg(path("held.fifo")));
    ASSERT_TRUE(ctrl->m_busy);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 300)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(ctrl->m_busy) << "the load waits for the writer";
    t.restart();
    ctrl.reset();
    EXPECT_LT(t.elapsed(), 5000);
    ::close(writer);
}

TEST_F(PlotCommand, LabelTemplates)
{
    const QString templates = getLabelTemplatePath();
    QDir().mkpath(templates);
    QFile f(QDir(templates).filePath("title.etm"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("  <b>Big\r\n\tTitle</b> \n");
    f.close();
    QDir(templates).mkdir("folder");
    EXPECT_EQ(ctrl->resolveLabelTemplate("title.etm"), QStringLiteral("<b>BigTitle</b>"));
    EXPECT_EQ(ctrl->resolveLabelTemplate("plain text"), QStringLiteral("plain text"));
    EXPECT_EQ(ctrl->resolveLabelTemplate("folder"), QStringLiteral("folder"));
    EXPECT_EQ(ctrl->resolveLabelTemplate(""), QStringLiteral(""));
}

TEST_F(PlotCommand, VerboseModeDescribesTheSources)
{
    kro::setVerbose(true);
    write("a.dat", "1 2\n");
    run("kro -f %d/a.dat -y 2 -xlimitmin 0.5 -k 3");
    kro::setVerbose(false);
    const QStringList dumps = verboses.filter("FileObjects:");
    ASSERT_EQ(dumps.size(), 1);
    EXPECT_TRUE(dumps[0].contains(QStringLiteral("File: %1\n").arg(path("a.dat"))));
    EXPECT_TRUE(dumps[0].contains("Y-Column(s): 2 \n"));
    EXPECT_TRUE(dumps[0].contains("X Min-Filter: 0.5\n"));
    EXPECT_TRUE(dumps[0].contains("Key: 3\n"));
    EXPECT_FALSE(dumps[0].contains("Regex:"));
    EXPECT_TRUE(dumps[0].endsWith("Y Add: 0\nY Sub: 0\nY Mul: 1\nY Div: 1\n--------------------------------------\n"));
    EXPECT_TRUE(verboses.filter("Lines read: ").size() == 1);
}

#include "test_plotcommand.moc"
