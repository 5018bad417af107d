#include <gtest/gtest.h>

#include "support/qtprinters.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QTextBrowser>
#include <QRegularExpression>
#include <QTest>
#include <QToolBar>
#include <QDockWidget>
#include <QElapsedTimer>

#include <cmath>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "analysis/adevthread.h"
#include "command/commandedit.h"
#include "core/settings.h"
#include "gui/eula.h"
#include "gui/programrun.h"
#include "gui/startup.h"
#include "gui/krogui.h"
#include "gui/startup.h"
#include "plot/plotdiag.h"
#include "plot/plotter.h"
#include "support/files.h"
#include "support/prompts.h"
#include "support/test_env.h"
#include "tabs/plotterctrl.h"
#include "tabs/plotterquad.h"
#include "plot/actionlabel.h"
#include "core/messages.h"
#include "platform/tabwidgetex.h"

namespace {

struct VerboseGuard {
    bool saved = kro::isVerbose();
    explicit VerboseGuard(bool on) { kro::setVerbose(on); }
    ~VerboseGuard() { kro::setVerbose(saved); }
};

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        kro::test::clearSettingsStore();
        writeSetting(QStringLiteral("quickstart"), QVariant(false));
        ASSERT_TRUE(m_dir.isValid());
        m_savedCwd = QDir::currentPath();
        QFile::remove(KROGui::dockFilePath());
        for (const QString& name : QDir(getAppPath()).entryList({"*.hist"}, QDir::Files))
            QFile::remove(QDir(getAppPath()).filePath(name));
    }
    void TearDown() override { QDir::setCurrent(m_savedCwd); }

    std::unique_ptr<KROGui> make(QStringList args = {})
    {
        args.prepend(QStringLiteral("kro"));
        return std::make_unique<KROGui>(args);
    }
    static QString consoleText(const KROGui& w) { return w.console()->toPlainText(); }
    // The console's lines without the prompt.
    static QStringList consoleLines(const KROGui& w)
    {
        QStringList lines = consoleText(w).split(QLatin1Char('\n'));
        for (QString& l : lines)
            if (l.startsWith(QLatin1String("> ")))
                l.remove(0, 2);
        return lines;
    }
    // Runs a command line and returns the lines it printed.
    static QStringList run(KROGui& w, const QString& line)
    {
        const int before = int(consoleLines(w).size()) - 1;  // the echo replaces the prompt line
        w.console()->command(line, true);
        QStringList lines = consoleLines(w).mid(before);
        while (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }
    static bool waitLoaded(const KROGui& w)
    {
        return QTest::qWaitFor([&] { return !w.plotterCtrl()->m_busy; }, 10000);
    }
    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        return kro::test::writeFile(m_dir.filePath(name), bytes);
    }
    QString dataFile(const QString& name = QStringLiteral("data.dat"))
    {
        QByteArray rows;
        for (int i = 0; i < 50; ++i)
            rows += QByteArray::number(i) + ", " + QByteArray::number(i * i % 17) + ", " +
                    QByteArray::number(100 - i) + "\n";
        return writeFile(name, rows);
    }

    QTemporaryDir m_dir;
    QString m_savedCwd;
};

} // namespace

TEST_F(MainWindow, LooksLikeTheProgram)
{
    auto w = make({"-f", dataFile(), "-x", "1", "-y", "2", "3"});
    ASSERT_TRUE(waitLoaded(*w));
    w->resize(1100, 800);
    QTest::qWait(50);
    const QString out = qEnvironmentVariable("KRO_SCREENSHOT");
    if (!out.isEmpty())
        w->grab().save(out);
    ASSERT_NE(w->activePlotter(), nullptr);
    EXPECT_EQ(w->activePlotter()->m_curves.size(), 2u);
    // The legend and the marker table are parts of the plot, not windows of their own.
    Plotter* p = w->activePlotter();
    ASSERT_NE(p->legend(), nullptr);
    EXPECT_TRUE(p->legend()->isVisible());
    EXPECT_FALSE(p->legend()->isWindow());
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible()) {
            EXPECT_EQ(top, w.get()) << "a visible window besides the main window: " << top->metaObject()->className();
        }
    }
}


namespace {
QString versionCaption() { return QStringLiteral("KRO - %1").arg(getVersion()); }
} // namespace

TEST_F(MainWindow, ToolbarButtonsInOrderWithTheirStates)
{
    auto w = make();
    struct Row {
        CategoryButton* button;
        const char* icon;
        bool checkable, hidden, enabled;
        const char* tipStart;
    };
    const Row rows[] = {
        {w->cacheButton(), "cache", false, false, true, "This button allows you to cache the current data set,\n"},
        {nullptr, "stats", false, false, true, "Show data statistics. If multiple data sets exist,\nsuccessive"},
        {w->trimButton(), "2sigma", false, false, true, "Trim data outliers. If multiple data sets exist"},
        {w->syncButton(), "sync_off", false, false, true, "This button toggles sync mode.\nEnable sync mode"},
        {w->cropButton(), "crop", true, false, true, "This button toggles the crop mode on/off enabling you\n"},
        {w->eraserButton(), "eraser", true, false, true, "This button toggles the erase mode on/off"},
        {w->dataSelButton(), "datasel", true, false, true, "This button allows you to move a selection of data\n"},
        {w->panButton(), "pan_grab", true, false, true, "This button toggles pan mode on/off.\nWhen enabled"},
        {w->undoButton(), "undo", false, false, false, "Click this button to undo the last executed data operation."},
        {w->snapToButton(), "snapto", true, true, true, "This button allows you enable the Snap-to mouse pointers."},
        {nullptr, "rescale", false, false, true, "Re-zooms the plot to full scale,\nor to the fixed domain/range"},
        {w->zoomInButton(), "zoomin", false, true, true, "Click and draw a rubberband to zoom in"},
        {w->zoomOutButton(), "zoomout", false, true, true, "Click to zoom out to the previous zoom settings"},
        {w->abortButton(), "kill", false, true, true, "Abort Allan Deviation computation"},
    };
    const QList<CategoryButton*> buttons = w->toolbar()->findChildren<CategoryButton*>();
    ASSERT_EQ(buttons.size(), 14);
    QList<QAction*> actions;
    for (QAction* a : w->toolbar()->actions())
        if (!a->isSeparator())
            actions << a;
    ASSERT_EQ(actions.size(), 14);
    for (int i = 0; i < 14; ++i) {
        const Row& r = rows[i];
        auto* b = qobject_cast<CategoryButton*>(w->toolbar()->widgetForAction(actions[i]));
        ASSERT_NE(b, nullptr);
        if (r.button) {
            EXPECT_EQ(b, r.button) << r.icon;
        }
        EXPECT_EQ(b->objectName(), r.icon);
        EXPECT_EQ(b->exclusiveIndex(), 5);
        EXPECT_EQ(b->isCheckable(), r.checkable) << r.icon;
        EXPECT_EQ(!actions[i]->isVisible(), r.hidden) << r.icon;
        if (!r.hidden) {
            EXPECT_EQ(b->isEnabled(), r.enabled) << r.icon;
        }
        EXPECT_TRUE(b->toolTip().startsWith(QString::fromUtf8(r.tipStart))) << r.icon;
        EXPECT_FALSE(b->icon().isNull()) << r.icon;
    }
    EXPECT_EQ(w->syncButton()->toolTip(),
              "This button toggles sync mode.\nEnable sync mode when you want your actions to affect all\nof the "
              "plotters on the current tab. When there is only one\nplotter, this mode does nothing.\nNote: some "
              "actions (such as setting labels) are excluded.");
}

TEST_F(MainWindow, DocksMenusCaptionAndStatusBar)
{
    auto w = make();
    EXPECT_EQ(w->windowTitle(), versionCaption());
    EXPECT_EQ(w->toolbar()->windowTitle(), "Plotter Tools");
    struct Dock {
        QDockWidget* dock;
        const char* caption;
        bool shown;
    };
    for (const Dock& d : {Dock{w->toolsetsDock(), "Toolsets", true}, Dock{w->dirBrowserDock(), "Directory Browser", true},
                          Dock{w->commandDock(), "Command Window", true}, Dock{w->curveIdDock(), "Curve Identifier", false}}) {
        EXPECT_EQ(d.dock->windowTitle(), d.caption);
        EXPECT_EQ(!d.dock->isHidden(), d.shown) << d.caption;
    }
    EXPECT_EQ(w->dockWidgetArea(w->commandDock()), Qt::BottomDockWidgetArea);
    EXPECT_EQ(w->consoleTabs()->count(), 1);
    EXPECT_EQ(w->consoleTabs()->tabText(0), "Command");
    EXPECT_TRUE(w->consoleTabs()->tabBar()->isHidden());
    EXPECT_TRUE(consoleText(*w).startsWith("Command Window\n-----------------------------\n"));
    EXPECT_EQ(static_cast<QMainWindow*>(w.get())->createPopupMenu(), nullptr);

    QStringList menus;
    for (QAction* a : w->menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, QStringList({"&File", "View", "&Tools", "&Info"}));
    QStringList shortcuts;
    for (QAction* a : w->menuBar()->actions().first()->menu()->actions())
        shortcuts << a->text() + "=" + a->shortcut().toString();
    EXPECT_EQ(shortcuts, QStringList({"Workspace &Directory=Ctrl+D", "&Exit=Ctrl+Q"}));

    EXPECT_EQ(w->messageLabel()->text(), "Welcome to KRO!");
    EXPECT_EQ(w->centralStack()->count(), 3);
    EXPECT_EQ(w->centralStack()->currentIndex(), 0);
    EXPECT_TRUE(w->centralStack()->currentWidget() == w->plotterCtrl());
}

TEST_F(MainWindow, FirstStartTakesFourFifthsAndWritesTheLayoutOnClose)
{
    QFile::remove(KROGui::dockFilePath());
    {
        auto w = make();
        const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_EQ(w->width(), int(avail.width() * 4.0 / 5.0));
        EXPECT_EQ(w->height(), int(avail.height() * 4.0 / 5.0));
        EXPECT_EQ(w->dockWidgetArea(w->curveIdDock()), Qt::BottomDockWidgetArea);
        EXPECT_TRUE(w->curveIdDock()->isHidden());
        w->commandDock()->hide();
    }
    ASSERT_TRUE(QFileInfo(KROGui::dockFilePath()).isFile());
    auto again = make();
    EXPECT_TRUE(again->commandDock()->isHidden());  // the saved arrangement is back
}

// A dock shown when the program quits is shown at the next start, floating
// or docked; one closed at quit stays closed.
TEST_F(MainWindow, DocksShownAtQuitComeBackFloatingOrNot)
{
    {
        auto w = make();
        w->toolsetsDock()->setFloating(true);
        w->toolsetsDock()->show();
        w->commandDock()->hide();
        QApplication::processEvents();
        ASSERT_TRUE(w->toolsetsDock()->isVisible());
        // Quitting closes the main window, then the application closes
        // every window left (the floating dock too) before the main window
        // goes and writes its layout.
        w->close();
        w->toolsetsDock()->close();
        QApplication::processEvents();
    }
    auto again = make();
    QApplication::processEvents();
    EXPECT_TRUE(again->toolsetsDock()->isFloating());
    EXPECT_FALSE(again->toolsetsDock()->isHidden()) << "a floating dock shown at quit";
    EXPECT_TRUE(again->commandDock()->isHidden()) << "a dock closed at quit";
}

TEST_F(MainWindow, CompactStartHidesThePanelsAndKeepsTheLayoutFile)
{
    { make(); }
    const QString path = KROGui::dockFilePath();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    {
        auto w = make({"-f", dataFile(), "-x", "1", "-y", "2", "-compact"});
        EXPECT_TRUE(w->toolbar()->isHidden());
        EXPECT_TRUE(w->statusBar()->isHidden());
        EXPECT_TRUE(w->commandDock()->isHidden());
        waitLoaded(*w);
        w->commandDock()->show();
    }
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

TEST_F(MainWindow, VerboseStartAndTheVerboseCommand)
{
    auto w = make({"-f", dataFile(), "-x", "1", "-y", "2", "-verbose"});
    waitLoaded(*w);
    EXPECT_TRUE(kro::isVerbose());
    EXPECT_EQ(run(*w, "verbose on"), QStringList({"verbose on", "Verbose mode enabled."}));
    EXPECT_EQ(run(*w, "v"), QStringList({"v", "Verbose mode disabled."}));
    EXPECT_EQ(run(*w, "verbose off"), QStringList({"verbose off", "Verbose mode disabled."}));
    EXPECT_FALSE(kro::isVerbose());
}

TEST_F(MainWindow, F1HidesEveryPanelAndRestoresThoseShownBefore)
{
    auto w = make();
    w->curveIdDock()->hide();
    QTest::keyClick(w->console(), Qt::Key_F1);
    EXPECT_TRUE(w->isFullScreen());
    EXPECT_TRUE(w->toolbar()->isHidden());
    EXPECT_TRUE(w->statusBar()->isHidden());
    EXPECT_TRUE(w->commandDock()->isHidden());
    // The console is hidden now: the second F1 reaches the window from the
    // widget that still shows (the plot), not from the console.
    QTest::keyClick(w->activePlotter(), Qt::Key_F1);
    EXPECT_FALSE(w->isFullScreen());
    EXPECT_FALSE(w->toolbar()->isHidden());
    EXPECT_FALSE(w->statusBar()->isHidden());
    EXPECT_FALSE(w->commandDock()->isHidden());
    EXPECT_TRUE(w->curveIdDock()->isHidden());  // it was hidden before
}

TEST_F(MainWindow, ExitClosesTheWindow)
{
    auto w = make();
    QSignalSpy closed(w.get(), &KROGui::closed);
    w->console()->command("exit", true);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(w->isVisible());
}

// A FIFO that nobody writes is no reason to wait: the load ends, and the
// script's "exit" after it closes the window.
TEST_F(MainWindow, AScriptPlottingAFifoWithoutWriterStillReachesExit)
{
    const QByteArray fifo = QFile::encodeName(m_dir.filePath("idle.fifo"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const QString script =
        writeFile("fifo.krs", ("kro -f " + m_dir.filePath("idle.fifo") + " -x 1 -y 2\nexit\n").toUtf8());
    auto w = make();
    w->show();
    QSignalSpy closed(w.get(), &KROGui::closed);
    run(*w, script);
    const bool ended = QTest::qWaitFor([&] { return closed.count() == 1; }, 10000);
    if (!ended) {
        // Release a loader stuck in open() before failing.
        const int fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
        QTest::qWait(100);
        if (fd >= 0)
            ::close(fd);
    }
    EXPECT_TRUE(ended);
    EXPECT_FALSE(w->isVisible());
}

TEST(StartupCommand, ArgumentsBecomeThePlotCommandOrAScriptCall)
{
    struct Row {
        QStringList args;
        const char* text;
        bool valid, script, reported;
    };
    const Row rows[] = {
        {{"-f", "a.dat", "-x", "1", "-y", "2"}, "kro -f a.dat -x 1 -y 2 ", true, false, false},
        {{"Run.KRS", "5", "7"}, "Run.KRS 5 7 ", true, true, false},
        {{"-f", "My file.dat", "-x", "1", "-y", "2"}, "kro -f \"My file.dat\" -x 1 -y 2 ", true, false, false},
        {{"-script", "go.krs", "1"}, "kro -script go.krs 1 ", true, false, false},
        {{"-zz"}, "kro -zz ", false, false, true},
        {{"run.krsx"}, "kro run.krsx ", false, false, true},
        {{}, "", false, false, false},
        // Window options alone start the window that way: nothing to run,
        // nothing ignored, so nothing is reported.
        {{"-compact"}, "kro -compact ", false, false, false},
        {{"-verbose", "-width", "800", "-height", "600"}, "kro -verbose -width 800 -height 600 ", false, false, false},
        {{"-width", "wide"}, "kro -width wide ", false, false, true},
        {{"-compact", "-zz"}, "kro -compact -zz ", false, false, true},
    };
    for (const Row& r : rows) {
        QStringList args = r.args;
        args.prepend("/usr/bin/kro");
        const kro::StartupCommand c = kro::buildStartupCommand(args);
        EXPECT_EQ(c.text, r.text) << r.args.join(' ').toStdString();
        EXPECT_EQ(c.valid, r.valid) << r.args.join(' ').toStdString();
        EXPECT_EQ(c.scriptCall, r.script) << r.args.join(' ').toStdString();
        EXPECT_EQ(c.submits(), r.valid && !r.args.isEmpty());
        EXPECT_EQ(c.error.isEmpty(), !r.reported) << r.args.join(' ').toStdString();
    }
}

TEST(StartupCommand, WorkingFolderFromTheFirstExistingFileAndPathsThatStillResolve)
{
    QTemporaryDir dir;
    const QString saved = QDir::currentPath();
    for (const char* name : {"data/a.dat", "scripts/run.krs"})
        kro::test::writeFile(dir.filePath(name));
    QDir::setCurrent(dir.path());
    kro::StartupCommand c = kro::buildStartupCommand({"kro", "-f", "missing.dat", "data/a.dat", "-x", "1", "-y", "2"});
    EXPECT_EQ(QDir(c.workingDir), QDir(dir.filePath("data")));
    // The command runs in the data folder: the file keeps resolving.
    EXPECT_EQ(c.text, "kro -f missing.dat " + QFileInfo(dir.filePath("data/a.dat")).absoluteFilePath() +
                          " -x 1 -y 2 ");
    c = kro::buildStartupCommand({"kro", "scripts/run.krs", "data/a.dat", "2"});
    EXPECT_EQ(QDir(c.workingDir), QDir(dir.filePath("scripts")));
    EXPECT_EQ(c.text, QFileInfo("scripts/run.krs").absoluteFilePath() + " " +
                          QFileInfo("data/a.dat").absoluteFilePath() + " 2 ");
    // With "-script" the folder stays the default one (the workspace path
    // when one is set): the script and its files still resolve there.
    c = kro::buildStartupCommand({"kro", "-script", "scripts/run.krs", "data/a.dat", "2"});
    EXPECT_TRUE(c.workingDir.isEmpty());
    EXPECT_EQ(c.text, "kro -script " + QFileInfo("scripts/run.krs").absoluteFilePath() + " " +
                          QFileInfo("data/a.dat").absoluteFilePath() + " 2 ");
    c = kro::buildStartupCommand({"kro", "-f", "nothing.dat", "-x", "1", "-y", "2"});
    EXPECT_TRUE(c.workingDir.isEmpty());
    QDir::setCurrent(saved);
}

TEST_F(MainWindow, StartupArgumentsPlotAndEnterTheHistory)
{
    const QString file = dataFile();
    auto w = make({"-f", file, "-x", "1", "-y", "2"});
    ASSERT_TRUE(waitLoaded(*w));
    EXPECT_EQ(w->startupCommand(), "kro -f " + file + " -x 1 -y 2 ");
    EXPECT_TRUE(w->console()->history().entries().contains("kro -f " + file + " -x 1 -y 2"));
    EXPECT_EQ(QDir(QDir::currentPath()), QDir(m_dir.path()));
    EXPECT_EQ(w->activePlotter()->m_curves.size(), 1u);
    EXPECT_EQ(run(*w, "pwd"), QStringList({"pwd", QDir::currentPath()}));
}

// Start-up names are resolved before the working folder moves to the data,
// yet titles, legends and "%0" show them as they were written.
TEST_F(MainWindow, StartupNamesShowAsWritten)
{
    dataFile("data/a.dat");
    QDir::setCurrent(m_dir.path());
    auto w = make({"-f", "data/a.dat", "-x", "1", "-y", "2", "3"});
    ASSERT_TRUE(waitLoaded(*w));
    EXPECT_EQ(QDir(QDir::currentPath()), QDir(m_dir.filePath("data")));
    Plotter* p = w->activePlotter();
    EXPECT_EQ(p->title(), "data/a.dat");
    ASSERT_NE(p->legend()->findItem(0), nullptr);
    EXPECT_EQ(p->legend()->findItem(0)->text(), "data/a.dat:2");
    EXPECT_EQ(p->legend()->findItem(1)->text(), "data/a.dat:3");

    // (A line with a word ending in ".krs" would be a script call.)
    writeFile("scripts/show.krs", "kro -f %1 -x 1 -y 2\nfootnote (%0)\n");
    QDir::setCurrent(m_dir.path());
    w = make({"scripts/show.krs", "data/a.dat"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->scriptQueue().isEmpty() && !w->plotterCtrl()->m_busy; }, 10000));
    p = w->activePlotter();
    EXPECT_EQ(p->title(), "data/a.dat");
    EXPECT_EQ(p->footnote(QString(), GET), "(scripts/show.krs)") << consoleText(*w).toStdString();
    EXPECT_EQ(p->m_curves.size(), 1u) << "the file resolved in the script's folder";
}

TEST_F(MainWindow, BadStartupArgumentsAreReportedAndNothingRuns)
{
    auto w = make({"-zz"});
    EXPECT_TRUE(w->startupCommand().isEmpty());
    EXPECT_FALSE(w->startupError().isEmpty());
    EXPECT_TRUE(consoleText(*w).contains("Start-up arguments ignored: ")) << consoleText(*w).toStdString();
    EXPECT_TRUE(w->console()->history().entries().isEmpty());
}

TEST_F(MainWindow, ScriptFromTheCommandLineRunsAfterEachLoad)
{
    const QString data = dataFile();
    writeFile("scripts/plot.krs", "--> plots its first argument\n"
                                  "kro -f %1 -x 1 ...\n"
                                  "-y 2\n"
                                  "rescale\n"
                                  "title Done %2\n");
    auto w = make({m_dir.filePath("scripts/plot.krs"), data, "two words"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->scriptQueue().isEmpty() && !w->plotterCtrl()->m_busy; }, 10000));
    QTest::qWait(20);
    Plotter* p = w->activePlotter();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->m_curves.size(), 1u);
    EXPECT_EQ(p->title(), "Done \"two words\"");
    const QStringList lines = consoleLines(*w);
    EXPECT_TRUE(lines.contains("kro -f " + data + " -x 1 -y 2")) << consoleText(*w).toStdString();
    EXPECT_TRUE(lines.contains("rescale"));
    // The call is in the history, the script's lines are not.
    EXPECT_EQ(w->console()->history().entries().size(), 1);

    // A script whose name holds a blank: the start-up command quotes it.
    writeFile("my scripts/set title.krs", "title Set %1\n");
    w = make({m_dir.filePath("my scripts/set title.krs"), "x"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->scriptQueue().isEmpty(); }, 10000));
    EXPECT_EQ(w->activePlotter()->title(), "Set x") << consoleText(*w).toStdString();
}

TEST_F(MainWindow, ScriptFromTheCommandWindowReportsBadCallsAndGoesOnAfterABadLine)
{
    auto w = make();
    EXPECT_EQ(run(*w, "nofile.krs 1").last(), "KroScript file " + QDir(getScriptsPath()).filePath("nofile.krs") +
                                                  " does not exist");
    const QString script = writeFile("bad.krs", "title first\nnosuchcommand 12\ntitle %1\n");
    EXPECT_EQ(run(*w, script).last(), "KroScript Error: Parameter 1 was not found on input.");
    EXPECT_TRUE(w->console()->history().entries().contains(script));
    run(*w, script + " last");
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->scriptQueue().isEmpty(); }, 5000));
    EXPECT_EQ(w->activePlotter()->title(), "last");
    EXPECT_TRUE(consoleLines(*w).contains("nosuchcommand 12"));
}

TEST_F(MainWindow, PasteDuringAScriptRunsNextAndTheEditorRunReplacesTheQueue)
{
    auto w = make();
    writeFile("long.krs", "title a\ntitle b\ntitle c\n");
    // Load without pumping: the queue is filled, then a paste arrives.
    w->on_kroscript(m_dir.filePath("long.krs"));  // "title a" runs at once
    w->on_enqueueScriptItem("footnote p2");
    w->on_enqueueScriptItem("footnote p1");
    EXPECT_EQ(w->scriptQueue().pending(), QStringList({"footnote p1", "footnote p2", "title b", "title c"}));
    w->on_krsrun({"title e2", "title e1"});
    EXPECT_EQ(w->scriptQueue().pending(), QStringList({"title e2"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->scriptQueue().isEmpty(); }, 5000));
    EXPECT_EQ(w->activePlotter()->title(), "e2");
}

TEST_F(MainWindow, ScriptsNestUpToALimitAndASelfCallingScriptStops)
{
    auto w = make();
    // Two levels run as usual.
    const QString inner = writeFile("inner.krs", "footnote from inner\n");
    const QString outer = writeFile("outer.krs", ("title from outer\n" + inner + "\n").toUtf8());
    run(*w, outer);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->scriptQueue().isEmpty(); }, 5000));
    EXPECT_EQ(w->activePlotter()->title(), "from outer");
    EXPECT_EQ(w->activePlotter()->footnote(QString(), GET), "from inner");

    // A script that calls itself runs to the limit, says so once and ends.
    const QString self = m_dir.filePath("self.krs");
    writeFile("self.krs", ("rescale\n" + self + "\n").toUtf8());
    run(*w, self);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->scriptQueue().isEmpty(); }, 10000));
    const QStringList lines = consoleLines(*w);
    const QString refusal = "KroScript Error: Scripts may call scripts at most " + QString::number(kMaxScriptNesting) +
                            " levels deep; " + self + " was not run.";
    EXPECT_EQ(lines.count(refusal), 1) << consoleText(*w).toStdString();
    EXPECT_EQ(lines.count(self), kMaxScriptNesting + 1);
    // The window takes commands again.
    EXPECT_EQ(run(*w, "title after").first(), "title after");
    EXPECT_EQ(w->activePlotter()->title(), "after");
}

TEST_F(MainWindow, SyncModeReachesEveryPlotOfTheTabOnlyForSyncCommands)
{
    auto w = make({"-f", dataFile(), "-x", "1", "-y", "2"});
    ASSERT_TRUE(waitLoaded(*w));
    PlotterCtrl* ctrl = w->plotterCtrl();
    const QString label = ctrl->tabLabel(ctrl->currentQuad());
    ctrl->addPlotter(nullptr, label);
    ctrl->addPlotter(nullptr, label);
    const std::vector<Plotter*> plots = ctrl->currentQuad()->m_plotters;
    ASSERT_EQ(plots.size(), 3u);
    Plotter* active = w->activePlotter();

    run(*w, "gridh off");  // not in sync: the active plot only
    for (Plotter* p : plots)
        EXPECT_EQ(p->m_gridHorizontal, p != active);

    w->syncButton()->pressed();
    EXPECT_TRUE(w->syncMode());
    EXPECT_EQ(w->targetPlotters(), plots);
    run(*w, "gridv off");
    for (Plotter* p : plots)
        EXPECT_FALSE(p->m_gridVertical);
    run(*w, "title Only the active plot");
    for (Plotter* p : plots)
        EXPECT_EQ(p->title() == "Only the active plot", p == active);

    VerboseGuard verbose(true);
    EXPECT_EQ(run(*w, "clear").last(), "Info (verbose): All plots cleared.");
    EXPECT_TRUE(active->m_curves.empty());

    w->syncButton()->pressed();
    EXPECT_FALSE(w->syncMode());
    EXPECT_EQ(w->targetPlotters(), std::vector<Plotter*>{active});
    EXPECT_EQ(run(*w, "clear").last(), "Info (verbose): Plot cleared.");
}

TEST_F(MainWindow, QueriesAndStatisticReports)
{
    auto w = make({"-f", dataFile(), "-x", "1", "-y", "2", "3"});
    ASSERT_TRUE(waitLoaded(*w));
    Plotter* p = w->activePlotter();
    EXPECT_EQ(run(*w, "gran").mid(1), QStringList({"V Granularity: auto", "H Granularity: auto"}));
    p->m_xGranularity = 2.5;
    EXPECT_EQ(run(*w, "granx").mid(1), QStringList({"V Granularity: 2.5"}));
    EXPECT_EQ(run(*w, "barfloor").mid(1), QStringList({"barfloor = auto"}));
    p->m_barFloor = 0.25;
    EXPECT_EQ(run(*w, "barfloor").mid(1), QStringList({"barfloor = 0.25"}));
    p->m_pointDiameter = 11;
    EXPECT_EQ(run(*w, "pntrad").mid(1), QStringList({"Pntrad = 5"}));
    p->m_lineWidth = 3;
    EXPECT_EQ(run(*w, "linewidth").mid(1), QStringList({"Linewidth = 3"}));

    EXPECT_EQ(run(*w, "layout").mid(1), QStringList({"Layout = quad"}));
    run(*w, "layout stacked");
    EXPECT_EQ(run(*w, "layout").mid(1), QStringList({"Layout = stacked"}));
    run(*w, "layout quad");
    EXPECT_EQ(run(*w, "layout").mid(1), QStringList({"Layout = quad"}));

    EXPECT_EQ(run(*w, "max(C1)").last(), "Max(y) of C1: 16");
    EXPECT_EQ(run(*w, "max(x C1 C2)").last(), "Max(x) of {C1, C2}: 49");
    EXPECT_EQ(run(*w, "min()").last(), "Min(y): 0");
    EXPECT_EQ(run(*w, "MAX(C1)").last(),
              "Error: MAX was reported as undefined. Please report this to the KRO issue tracker.");
    EXPECT_EQ(run(*w, "max(C9)").last(), "Curve C9 does not exist.");
}

TEST_F(MainWindow, CurveOperationsRunThroughThePlot)
{
    auto w = make({"-f", dataFile(), "-x", "1", "-y", "2"});
    ASSERT_TRUE(waitLoaded(*w));
    for (const char* command : {"diff", "csum", "mul 2", "crop 0 1000", "expr C1*2", "diff2", "unwrap 100", "stats"}) {
        const QStringList out = run(*w, command);
        EXPECT_TRUE(out.filter("cannot carry out").isEmpty()) << command << ": " << out.join('\n').toStdString();
        EXPECT_TRUE(out.filter("not available yet").isEmpty()) << command << ": " << out.join('\n').toStdString();
    }
}

// Every signature the main window and the plot tabs invoke on a plot by
// text. A caller and the plot that drift apart fail here instead of
// reporting "cannot carry out" at run time.
TEST(PlotCallsBySignature, EveryCallMeetsAPlotMethod)
{
    const char* signatures[] = {
        // plot tabs (plot command options)
        "setLegendPosition(QString,int,bool)", "ndiff(int,IdArray)", "removeMean(IdArray)",
        "smoothData(int,IdArray,bool)", "addHMarker(double*,bool)", "addVMarker(const double*,bool)",
        "expression(QString,bool)", "saveData(QString)",
        // main window (commands, toolbar, keys)
        "addMarkerDiff(int,int,bool)", "arithmeticCommand(QString)", "crop(std::vector<double>,std::vector<int>)",
        "cumulativeSum(IdArray)", "differentiate(IdArray)", "removeMeanAggr(IdArray)",
        "normalize(double,double,IdArray)", "poly(int,QString,IdArray)", "removeMarkers(IdArray)",
        "rotateCurves(int,IdArray,bool)", "sort(IdArray)", "showStatistics()", "trimOutliers(double,bool)",
        "trimOutliers_n(bool)", "unwrap(double,IdArray)", "panBy(int,int,QPoint)", "cycleCurveColors()",
        "barMode(bool,SETGET)", "barFloor(double,SETGET)", "lineWidth(int,SETGET)", "pointRadius(int,SETGET)",
        "tickFontFamily(QString,SETGET)", "tickFontSize(int,SETGET)",
        "setLines(std::vector<int>,OPTSTATES::QUADSTATE)", "setPoints(std::vector<int>,OPTSTATES::QUADSTATE)",
        "setCropMode(bool,SETGET)", "setEraserMode(bool,SETGET)", "setDataSelectMode(bool,SETGET)",
        "setPanMode(bool,SETGET)", "snapTo(bool,SETGET)",
    };
    const QMetaObject& mo = Plotter::staticMetaObject;
    for (const char* s : signatures) {
        // The text as the callers write it must already be the normalized
        // form moc stores, or the lookup by signature misses.
        EXPECT_EQ(QMetaObject::normalizedSignature(s), QByteArray(s)) << s;
        EXPECT_GE(mo.indexOfMethod(s), 0) << s;
    }
}

TEST_F(MainWindow, TypedAndStartupCommandsChangeThePlot)
{
    auto w = make({"-f", dataFile(), "-x", "1", "-y", "2", "-hmarker", "1", "-vmarker", "2"});
    ASSERT_TRUE(waitLoaded(*w));
    Plotter* p = w->activePlotter();
    ASSERT_EQ(p->m_markers.size(), 2u) << "the plot command's markers";
    EXPECT_EQ(p->m_markers.at(1).orientation, 1);
    EXPECT_EQ(p->m_markers.at(1).position, 1.0);
    EXPECT_EQ(p->m_markers.at(2).orientation, 0);
    EXPECT_EQ(p->m_markers.at(2).position, 2.0);

    QStringList out;
    out << run(*w, "vmarker 2.5") << run(*w, "hmarker 0.5");
    ASSERT_EQ(p->m_markers.size(), 4u);
    EXPECT_EQ(p->m_markers.at(3).position, 2.5);
    EXPECT_EQ(p->m_markers.at(4).position, 0.5);
    EXPECT_EQ(p->m_markerWidgets.size(), 4u) << "drawn after the command";

    out << run(*w, "linewidth 2") << run(*w, "pntrad 3");
    EXPECT_EQ(p->m_lineWidth, 2);
    EXPECT_EQ(p->m_pointDiameter, 7);
    out << run(*w, "legend right") << run(*w, "title X");
    ASSERT_FALSE(p->curveTitles().empty());
    EXPECT_EQ(p->curveTitles().begin()->second, "right");
    EXPECT_EQ(p->title(), "X");
    out << run(*w, "legendpos right");
    EXPECT_EQ(p->legend()->dockState(), DOCK_RIGHT);
    EXPECT_EQ(w->currentPlotOptions().legendpos, "right");
    out << run(*w, "legendpos off");
    EXPECT_EQ(w->currentPlotOptions().legendpos, "off");
    EXPECT_TRUE(out.filter("cannot carry out").isEmpty()) << out.join('\n').toStdString();
}

TEST_F(MainWindow, TitleTemplatesComeOnlyFromTheTemplateFolder)
{
    const QString folder = m_dir.filePath("templates");
    QDir().mkpath(folder);
    writeSetting(QStringLiteral("labeltemplatepath"), folder + "/");
    writeFile("templates/bold", "  <b>Bold</b>  \r\n  title\n");
    writeFile("outside", "<i>secret</i>\n");
    auto w = make();
    Plotter* p = w->activePlotter();
    run(*w, "title bold");
    EXPECT_EQ(p->m_title->storedText(), "<b>Bold</b>title");
    run(*w, "title ../outside");
    EXPECT_EQ(p->title(), "../outside");
    run(*w, "title templates");  // a folder is no template
    EXPECT_EQ(p->title(), "templates");
}

TEST_F(MainWindow, DebugPageViewMenuAndStatusBar)
{
    auto w = make();
    run(*w, "debug on");
    run(*w, "debug on");
    EXPECT_EQ(w->consoleTabs()->count(), 2);
    EXPECT_EQ(w->consoleTabs()->tabText(1), "Debug Log");
    EXPECT_FALSE(w->consoleTabs()->tabBar()->isHidden());
    run(*w, "debug off");
    EXPECT_EQ(w->consoleTabs()->count(), 1);
    EXPECT_TRUE(w->consoleTabs()->tabBar()->isHidden());

    auto entry = [&](const QString& text) -> QAction* {
        Q_EMIT w->viewMenu()->aboutToShow();
        for (QAction* a : w->viewMenu()->actions())
            if (a->text() == text)
                return a;
        return nullptr;
    };
    QAction* bar = entry("Status bar");
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isChecked());
    bar->trigger();
    EXPECT_TRUE(w->statusBar()->isHidden());
    EXPECT_FALSE(entry("Status bar")->isChecked());
    ASSERT_NE(entry("Toolbar"), nullptr);
    ASSERT_NE(entry("Hide all panels"), nullptr);
    entry("Hide all panels")->trigger();
    EXPECT_TRUE(w->commandDock()->isHidden());
    ASSERT_NE(entry("Restore panels"), nullptr);
    entry("Restore panels")->trigger();
    EXPECT_FALSE(w->commandDock()->isHidden());

    w->resize(700, 500);
    QTest::qWait(10);
    EXPECT_EQ(w->rightLabel()->text(), "700x500");
    w->statusBarMessage();
    EXPECT_TRUE(w->rightLabel()->text().startsWith("Avail memory: ")) << w->rightLabel()->text().toStdString();
    w->on_plotterRateUpdate(12.5);
    w->updateStatusBarRight();
    EXPECT_TRUE(w->rightLabel()->text().startsWith("12.5 points/second   Avail memory: "));
}

namespace {
QStringList filesIn(const QString& folder) { return QDir(folder).entryList(QDir::Files); }
} // namespace

TEST_F(MainWindow, CaptureNamesTheFileByTimeStampAndNeverOverwrites)
{
    const QString images = m_dir.filePath("images");
    QDir().mkpath(images);
    writeSetting(QStringLiteral("imgpath"), images);
    writeSetting(QStringLiteral("imgtype"), QStringLiteral("jpg"));
    writeSetting(QStringLiteral("imgtimestamp"), QStringLiteral("%Y%m%d%H%M%S"));
    auto w = make({"-f", dataFile(), "-x", "1", "-y", "2"});
    ASSERT_TRUE(waitLoaded(*w));
    w->resize(900, 700);
    QTest::qWait(10);
    const QStringList first = run(*w, "kro -f " + m_dir.filePath("data.dat") + " -x 1 -y 2 -jpg");
    ASSERT_TRUE(waitLoaded(*w));
    w->on_screenShot();
    const QStringList names = filesIn(images);
    ASSERT_EQ(names.size(), 2) << consoleText(*w).toStdString();
    static const QRegularExpression pattern(QStringLiteral("^\\d{14}_kroCapture(_1)?\\.jpg$"));
    for (const QString& n : names)
        EXPECT_TRUE(pattern.match(n).hasMatch()) << n.toStdString();
    EXPECT_TRUE(consoleLines(*w).filter(QRegularExpression("^Image saved to " + QRegularExpression::escape(images) +
                                                           "/\\d{14}_kroCapture")).size() == 2);
    QFile jpeg(QDir(images).filePath(names.first()));
    ASSERT_TRUE(jpeg.open(QIODevice::ReadOnly));
    EXPECT_EQ(jpeg.read(2), QByteArray("\xFF\xD8"));
    const QImage image(jpeg.fileName());
    EXPECT_EQ(image.size(), w->plotterCtrl()->currentQuad()->size());

    // A PNG is lossless at every quality step; "high" must not mean an
    // uncompressed file (several MB for one plot).
    writeSetting(QStringLiteral("imgtype"), QStringLiteral("png"));
    for (int step : {0, 1, 2}) {
        writeSetting(QStringLiteral("imgqual"), step);
        writeSetting(QStringLiteral("imgtimestamp"), QStringLiteral("png%1").arg(step));
        w->on_screenShot();
        const QFileInfo png(QDir(images).filePath(QStringLiteral("png%1_kroCapture.png").arg(step)));
        ASSERT_TRUE(png.isFile()) << step;
        EXPECT_LT(png.size(), image.width() * image.height() / 4) << step;
        EXPECT_EQ(QImage(png.filePath()).size(), image.size());
    }
}

TEST_F(MainWindow, CaptureHasWhiteBordersInTheFileOnlyAndNoIndicator)
{
    const QString images = m_dir.filePath("images");
    QDir().mkpath(images);
    writeSetting(QStringLiteral("imgpath"), images);
    writeSetting(QStringLiteral("imgborder"), QVariant(false));
    auto w = make({"-f", dataFile(), "-x", "1", "-y", "2"});
    ASSERT_TRUE(waitLoaded(*w));
    Plotter* p = w->activePlotter();
    p->m_outsideColor = QColor(0x80, 0x10, 0x10);
    p->refreshPixmap();
    const QPixmap white = w->grabPlotPixmap(true);
    const QPixmap own = w->grabPlotPixmap(false);
    const QPoint corner = p->mapTo(w->plotterCtrl()->currentQuad(), QPoint(2, p->height() - 3));
    EXPECT_EQ(white.toImage().pixelColor(corner), QColor(Qt::white));
    EXPECT_EQ(own.toImage().pixelColor(corner), QColor(0x80, 0x10, 0x10));
    EXPECT_EQ(p->m_outsideColor, QColor(0x80, 0x10, 0x10));  // the screen keeps its colour
    auto* indicator = w->plotterCtrl()->currentQuad()->activeIndicator();
    if (indicator) {
        EXPECT_EQ(indicator->isHidden(), !indicator->isChecked());
    }
}

TEST_F(MainWindow, CaptureFolderIsAskedForAndCreatedWhereverItIs)
{
    auto w = make({"-f", dataFile(), "-x", "1", "-y", "2"});
    ASSERT_TRUE(waitLoaded(*w));
    const QString absolute = m_dir.filePath("new/deeper/images");  // not below the working folder
    QDir::setCurrent(QDir::tempPath());
    writeSetting(QStringLiteral("imgpath"), absolute);
    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerText(std::nullopt);
        run(*w, "kro -f " + m_dir.filePath("data.dat") + " -x 1 -y 2 -jpg");
        ASSERT_TRUE(waitLoaded(*w));
        EXPECT_TRUE(consoleLines(*w).contains("Save cancelled.")) << consoleText(*w).toStdString();
        ASSERT_EQ(prompts->asked().size(), 1u);
        EXPECT_EQ(prompts->asked()[0].title, "Image path...");
    }
    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerText(absolute);
        w->on_screenShot();
        EXPECT_TRUE(QFileInfo(absolute).isDir());
        EXPECT_EQ(filesIn(absolute).size(), 1);
        EXPECT_EQ(readSettingText(QStringLiteral("imgpath"), QString()), absolute);
        EXPECT_TRUE(consoleLines(*w).contains("Image path default set to " + absolute));
    }
    {
        // A folder that cannot be made: under a regular file.
        const QString blocked = m_dir.filePath("data.dat") + "/images";
        writeSetting(QStringLiteral("imgpath"), blocked);
        kro::test::ScriptedPrompts prompts;
        prompts->answerText(blocked);
        w->on_screenShot();
        EXPECT_TRUE(consoleLines(*w).contains("Error: Unable to make path " + blocked + "!"));
        EXPECT_EQ(readSettingText(QStringLiteral("imgpath"), QString()), blocked);
    }
    {
        // "~" is the home folder, typed in the prompt or stored in the
        // setting; no folder named "~" appears in the working folder.
        const QString home = QDir::homePath();
        const QString work = m_dir.filePath("work");
        QDir().mkpath(work);
        QDir::setCurrent(work);
        writeSetting(QStringLiteral("imgpath"), QString());
        kro::test::ScriptedPrompts prompts;
        prompts->answerText(QStringLiteral("~/pics"));
        w->on_screenShot();
        EXPECT_EQ(filesIn(home + "/pics").size(), 1) << consoleText(*w).toStdString();
        EXPECT_EQ(readSettingText(QStringLiteral("imgpath"), QString()), home + "/pics");
        writeSetting(QStringLiteral("imgpath"), QStringLiteral("~/pics"));
        w->on_screenShot();
        EXPECT_EQ(prompts->asked().size(), 1u);
        EXPECT_EQ(filesIn(home + "/pics").size(), 2);
        EXPECT_FALSE(QFileInfo::exists(work + "/~"));
    }
}

TEST_F(MainWindow, FailedCapturesLeaveNoFile)
{
    const QString images = m_dir.filePath("images");
    QDir().mkpath(images);
    writeSetting(QStringLiteral("imgpath"), images);
    auto w = make({"-f", dataFile(), "-x", "1", "-y", "2"});
    ASSERT_TRUE(waitLoaded(*w));

    writeSetting(QStringLiteral("imgtype"), QStringLiteral("nosuchformat"));
    w->on_screenShot();
    EXPECT_EQ(consoleLines(*w).filter("Unable to save").size(), 1);
    EXPECT_TRUE(filesIn(images).isEmpty());

    writeSetting(QStringLiteral("imgtype"), QStringLiteral("png"));
    writeSetting(QStringLiteral("imgtimestamp"), QStringLiteral("%Q/%Y"));
    w->on_screenShot();
    EXPECT_EQ(consoleLines(*w).filter("time-stamp format").size(), 1);
    EXPECT_TRUE(filesIn(images).isEmpty());
}

TEST(Printing, PictureKeepsItsProportionsWithinTheMargins)
{
    struct Row {
        QSize page;
        int margin;
        QSize picture;
        QRect out;
    };
    const Row rows[] = {
        {{1100, 850}, 50, {800, 400}, {50, 50, 1000, 500}},  // wide picture: full width
        {{1100, 850}, 50, {400, 400}, {50, 50, 730, 730}},   // square: limited by the height left
        {{1100, 850}, 50, {0, 0}, {}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(printTargetRect(r.page, r.margin, r.picture, 20), r.out);
}

TEST_F(MainWindow, PrintsOneLandscapePageOrReportsCancel)
{
    auto w = make({"-f", dataFile(), "-x", "1", "-y", "2"});
    ASSERT_TRUE(waitLoaded(*w));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = m_dir.filePath("page.pdf");
    printer.setOutputFileName(pdf);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setFullPage(true);
    EXPECT_TRUE(w->printPlotOn(printer));
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 1);
    EXPECT_EQ(consoleLines(*w).filter("Printing...").size(), 1);

    kro::test::ScriptedPrompts prompts;
    prompts->answerPrint(false);
    w->printPlot();
    EXPECT_EQ(consoleLines(*w).filter("Print canceled.").size(), 1);
}

TEST_F(MainWindow, WorkingFolderListingAndPrograms)
{
    auto w = make();
    const QString sub = m_dir.filePath("with space");
    QDir().mkpath(sub);
    run(*w, "cd \"" + sub + "\"");
    EXPECT_EQ(QDir(QDir::currentPath()), QDir(sub));
    {
        VerboseGuard verbose(true);
        EXPECT_EQ(run(*w, "cd " + m_dir.path()).mid(1),
                  QStringList({"Info (verbose): Working directory set to " + m_dir.path() + "."}));
        EXPECT_EQ(run(*w, "cd " + m_dir.path()).size(), 1);  // no change, no message
    }
    EXPECT_EQ(run(*w, "cd " + m_dir.filePath("nowhere")).last(),
              "Error: Working directory could not be changed to " + m_dir.filePath("nowhere") + ".");
    EXPECT_EQ(QDir(QDir::currentPath()), QDir(m_dir.path()));
    // "~" is the home folder, as in a shell.
    run(*w, "cd ~");
    EXPECT_EQ(QDir(QDir::currentPath()), QDir(QDir::homePath()));
    run(*w, "cd " + m_dir.path());

    for (const char* n : {"a.txt", "b.txt", "c.txt", "d.txt"})
        writeFile(QString("list/") + n, "0123456789ab");
    const QStringList shortList = run(*w, "ls " + m_dir.filePath("list")).mid(1);
    // The console indents continuation lines by two blanks.
    EXPECT_EQ(shortList, QStringList({"a.txt  b.txt  c.txt", "  d.txt  "}));
    const QStringList longList = run(*w, "ls -l " + m_dir.filePath("list/*.txt")).mid(1);
    ASSERT_EQ(longList.size(), 4);
    EXPECT_TRUE(longList[0].startsWith("-rw")) << longList[0].toStdString();
    EXPECT_TRUE(longList[0].contains(" 12 ")) << longList[0].toStdString();
    // Nothing to list is said, not printed as an empty line.
    EXPECT_EQ(run(*w, "ls nosuch*").mid(1), QStringList({"No file matches nosuch*."}));
    QDir().mkpath(m_dir.filePath("empty"));
    EXPECT_EQ(run(*w, "ls empty").mid(1), QStringList({"No file matches empty."}));
    writeFile("home.txt", "x");
    QFile::remove(QDir::home().filePath("home-listed.txt"));
    QFile::copy(m_dir.filePath("home.txt"), QDir::home().filePath("home-listed.txt"));
    EXPECT_EQ(run(*w, "ls ~/home-listed.txt").mid(1).join("").trimmed(), "home-listed.txt");
    QFile::remove(QDir::home().filePath("home-listed.txt"));

    EXPECT_EQ(run(*w, "exec nosuchprogram-kro --x").last(), "Error: Failed to start: nosuchprogram-kro");
    const QString touched = m_dir.filePath("touched");
    run(*w, "exec sh -c \"touch '" + touched + "'\"");
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(touched); }, 5000));
    EXPECT_EQ(run(*w, "exec echo max(cj)").mid(1),
              QStringList({"The exec command must not include compound functions.",
                           "  Functions must not include the \"cj\" operator."}));
}

TEST_F(MainWindow, ViewerSettingTakesItsOwnOptionsAndTheFileAsArguments)
{
    const QString target = m_dir.filePath("viewed file.dat");
    writeFile("viewed file.dat", "1 2\n");
    const QString marker = m_dir.filePath("viewer-ran");
    writeSetting(QStringLiteral("datafileviewer"), "sh -c \"cp \\\"$0\\\" '" + marker + "'\"");
    auto w = make();
    w->on_datafileView(target);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(marker); }, 5000)) << consoleText(*w).toStdString();
    writeSetting(QStringLiteral("datafileviewer"), QStringLiteral("no-such-viewer-kro"));
    w->on_datafileView(target);
    EXPECT_EQ(consoleLines(*w).filter("Failed to start").last(),
              "Error: Failed to start: no-such-viewer-kro " + target);
}

TEST_F(MainWindow, ChosenScriptFilesRun)
{
    auto w = make();
    const QString script = writeFile("Chosen.KRS", "title chosen\n");
    w->on_fileSelected(script);
    EXPECT_TRUE(consoleLines(*w).contains("Running KroScript: " + script));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->scriptQueue().isEmpty(); }, 5000));
    EXPECT_EQ(w->activePlotter()->title(), "chosen");
}

TEST(AgreementDialog, TwelveArticlesAcceptAndDecline)
{
    EULA eula;
    EXPECT_EQ(eula.windowTitle(), "End User License Agreement");
    EXPECT_TRUE(eula.textView()->isReadOnly());
    EXPECT_GE(eula.textView()->minimumWidth(), 600);
    EXPECT_GE(eula.textView()->minimumHeight(), 480);
    const QString text = eula.textView()->toPlainText();
    for (const char* heading : {"1. Grant of licence", "4. Reverse engineering", "7. Refund policy",
                                "11. Governing law and entire agreement", "12. Contact information"})
        EXPECT_TRUE(text.contains(heading)) << heading;
    EXPECT_FALSE(text.contains("13."));
    eula.acceptButton()->click();
    EXPECT_EQ(eula.result(), QDialog::Accepted);
    eula.declineButton()->click();
    EXPECT_EQ(eula.result(), QDialog::Rejected);
}

// The start of the program: a declined agreement stores nothing and ends
// the start; an accepted one is stored and not asked again.
TEST(AgreementDialog, DeclineStoresNothingAndAcceptanceIsAskedOnce)
{
    kro::test::clearSettingsStore();
    const QString version = QStringLiteral("Version (Linux): 9.9");
    kro::test::ScriptedPrompts prompts;
    prompts->answerDialog([](QDialog* d) {
        EXPECT_NE(dynamic_cast<EULA*>(d), nullptr);
        return int(QDialog::Rejected);
    });
    EXPECT_FALSE(EULA::acceptedOnce(version));
    EXPECT_TRUE(getEula().isEmpty()) << getEula().toStdString();

    prompts->answerDialog(QDialog::Accepted);
    EXPECT_TRUE(EULA::acceptedOnce(version));
    EXPECT_EQ(getEula(), version);
    EXPECT_TRUE(EULA::acceptedOnce(version)) << "no second question";
    EXPECT_EQ(prompts->pending(), 0);
    EXPECT_EQ(prompts->asked().size(), 2u);
    kro::test::clearSettingsStore();
}

// Declining at the start of the program ends it with -1 before any main
// window exists, and stores no acceptance.
TEST(AgreementDialog, DecliningEndsTheProgramWithMinusOne)
{
    kro::test::clearSettingsStore();
    kro::test::ScriptedPrompts prompts;
    prompts->answerDialog([](QDialog* d) {
        EXPECT_NE(dynamic_cast<EULA*>(d), nullptr);
        return int(QDialog::Rejected);
    });
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(kro::runProgram(*app, {QStringLiteral("kro"), QStringLiteral("-f"), QStringLiteral("none.dat")}), -1);
    EXPECT_EQ(prompts->pending(), 0);
    EXPECT_TRUE(getEula().isEmpty()) << getEula().toStdString();
    EXPECT_EQ(readSettingText(QStringLiteral("version"), QString()), kro::versionString());
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<KROGui*>(w), nullptr);
    kro::test::clearSettingsStore();
}

TEST(MainWindowParts, IdListsAndTrimMenus)
{
    EXPECT_EQ(KROGui::toIdVector(IdArray{2, 4, 7}), (std::vector<int>{4, 7}));
    EXPECT_TRUE(KROGui::toIdVector(IdArray{0}).empty());

    QMenu one;
    KROGui::fillTrimMenu(one, 1);
    QStringList texts;
    QList<int> ids;
    for (QAction* a : one.actions()) {
        texts << a->text();
        ids << a->data().toInt();
    }
    EXPECT_EQ(texts, QStringList({"1\u03c3", "2\u03c3", "3\u03c3", "n\u03c3"}));
    EXPECT_EQ(ids, QList<int>({1, 2, 3, 4}));
    QMenu two;
    KROGui::fillTrimMenu(two, 2);
    ASSERT_EQ(two.actions().size(), 2);
    EXPECT_EQ(two.actions()[0]->text(), "Independent sets...");
    EXPECT_EQ(two.actions()[1]->text(), "Concatenated set...");
    EXPECT_EQ(two.actions()[1]->menu()->actions()[1]->data().toInt(), 6);
}

TEST_F(MainWindow, BackgroundImagesAreCopiedOnceIntoTheTemplateFolder)
{
    const QString folder = m_dir.filePath("backgrounds");
    writeSetting(QStringLiteral("backgroundtemplatepath"), folder + "/");
    writeSetting(QStringLiteral("backgroundimage"), QString());
    importBackgroundImage(QString());
    EXPECT_FALSE(QFileInfo::exists(folder));
    const QString source = writeFile("pics/sky.png", "not really a picture");
    importBackgroundImage(source);
    EXPECT_TRUE(QFileInfo(folder + "/sky.png").isFile());
    EXPECT_EQ(getBackgroundImage(), folder + "/sky.png");
    writeSetting(QStringLiteral("backgroundimage"), QString());
    importBackgroundImage(source);  // already there: nothing stored
    EXPECT_EQ(getBackgroundImage(), QString());
}

TEST_F(MainWindow, AbortCancelsTheRunsOfThePlotShown)
{
    auto w = make();
    Plotter* p = w->activePlotter();
    ASSERT_TRUE(p);
    // An all-tau run over 200000 points takes minutes.
    CurveMap curves;
    for (int i = 0; i < 200000; ++i)
        curves[0].append(i, std::sin(i * 0.37) + 1e-3 * i);
    auto* engine = new AdevThread(p, curves, {{0, 0, OVERLAPPING, ALL_TAU, 1.0, "A"}}, 1.0);
    p->m_adevThreads.push_back(engine);
    engine->start();
    QSignalSpy stopped(p, &Plotter::adevstopped);
    w->on_abortAdev();
    EXPECT_TRUE(engine->cancelled());
    EXPECT_EQ(stopped.size(), 1);
    // The engine ends with its partial curve and DONE, and the plot drops it.
    QElapsedTimer t;
    t.start();
    while (!p->m_adevThreads.empty() && t.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(p->m_adevThreads.empty());
    EXPECT_EQ(p->curves().size(), 1u);
}

TEST_F(MainWindow, ToolbarStateFollowsThePlots)
{
    auto w = make();
    w->on_showZoomBtns(ZOOM_OUT);
    auto visible = [&](QWidget* b) {
        for (QAction* a : w->toolbar()->actions())
            if (w->toolbar()->widgetForAction(a) == b)
                return a->isVisible();
        return false;
    };
    EXPECT_TRUE(visible(w->zoomInButton()));
    EXPECT_TRUE(visible(w->zoomOutButton()));
    EXPECT_FALSE(w->zoomInButton()->isEnabled());
    EXPECT_TRUE(w->zoomOutButton()->isEnabled());
    w->on_showZoomBtns(ZOOM(0));
    EXPECT_FALSE(visible(w->zoomInButton()));

    Plotter* p = w->activePlotter();
    p->m_mouseMode = 8;
    p->m_snapToCurve = true;
    w->on_plotterShown(p);
    EXPECT_TRUE(w->panButton()->isChecked());
    EXPECT_FALSE(w->cropButton()->isChecked());
    EXPECT_TRUE(w->snapToButton()->isChecked());
    EXPECT_FALSE(visible(w->abortButton()));
    w->on_adevstarted(p);
    EXPECT_TRUE(visible(w->abortButton()));
    w->on_adevstopped(p);
    EXPECT_FALSE(visible(w->abortButton()));

    // The zoom buttons show the zoom history of the plot shown, also after a
    // change of tab (the plot of the other tab has a history of its own).
    run(*w, "kro -f " + dataFile() + " -x 1 -y 2");
    ASSERT_TRUE(waitLoaded(*w));
    p = w->activePlotter();
    p->zoomToRect(QRect(p->plotArea().center() - QPoint(60, 40), QSize(120, 80)), true);
    EXPECT_TRUE(visible(w->zoomOutButton()));
    run(*w, "newtab Other");
    EXPECT_FALSE(visible(w->zoomOutButton()));
    EXPECT_FALSE(w->zoomOutButton()->isEnabled());
    run(*w, "using Plot 1");
    EXPECT_TRUE(visible(w->zoomOutButton()));
    EXPECT_TRUE(w->zoomOutButton()->isEnabled());
}

TEST_F(MainWindow, MarkerCommandsAndMouseModesReachThePlot)
{
    auto w = make({"-f", dataFile(), "-x", "1", "-y", "2"});
    ASSERT_TRUE(waitLoaded(*w));
    Plotter* p = w->activePlotter();
    run(*w, "vmarker 10 20 30");
    run(*w, "hmarker 5");
    ASSERT_EQ(p->m_markers.size(), 4u);
    EXPECT_EQ(p->m_markers.at(4).orientation, 1);
    run(*w, "dmarker M1 M3");
    EXPECT_EQ(p->m_markerDiffs.size(), 1u);
    EXPECT_EQ(p->m_markerWidgets.size(), 4u); // drawn once after the command
    run(*w, "remove M1");
    EXPECT_EQ(p->m_markers.count(1), 0u);
    EXPECT_TRUE(p->m_markerDiffs.empty());
    run(*w, "remove M0");
    EXPECT_TRUE(p->m_markers.empty());

    w->cropButton()->setChecked(true);
    EXPECT_EQ(p->mouseMode(), 1);
    w->cropButton()->setChecked(false);
    EXPECT_EQ(p->mouseMode(), 0);
}

namespace {
QString examplesFolder() { return QDir(QStringLiteral(KRO_TEST_DATA_DIR "/../../../examples")).absolutePath(); }
bool waitIdle(const KROGui& w)
{
    return QTest::qWaitFor([&] { return !w.plotterCtrl()->m_busy && w.scriptQueue().isEmpty(); }, 20000);
}
} // namespace

TEST_F(MainWindow, TheReadmeWalkThroughAndTheExampleScript)
{
    // What a new user types after `make run`, as the README lists it.
    const QString images = m_dir.filePath("images");
    QDir().mkpath(images);
    writeSetting(QStringLiteral("imgpath"), images);
    auto w = make({"-f", examplesFolder() + "/oscillator.dat", "-x", "1", "-y", "2"});
    ASSERT_TRUE(waitLoaded(*w));
    Plotter* p = w->activePlotter();
    run(*w, "kro -f oscillator.dat -x 1 -y 3 -append");
    ASSERT_TRUE(waitLoaded(*w));
    EXPECT_EQ(p->curves().size(), 2u);
    run(*w, "title Test mass and temperature");
    EXPECT_EQ(p->title(), "Test mass and temperature");
    EXPECT_TRUE(run(*w, "stdev(C1)").last().startsWith("Stdev(y) of C1: 1.26"));
    run(*w, "spanx 5 15");
    EXPECT_EQ(p->view().xRange(), AxisRange(5, 15));

    // The example script: titles, markers, a footnote, the second column and
    // an image; everything it sets is still there when it has run.
    run(*w, "demo.krs oscillator.dat");
    ASSERT_TRUE(waitIdle(*w));
    EXPECT_EQ(p->curves().size(), 2u);
    EXPECT_EQ(p->title(), "Oscillation and temperature");
    EXPECT_EQ(p->xLabel(), "Time (s)");
    EXPECT_EQ(p->m_markers.size(), 2u);
    EXPECT_EQ(p->footnote(), "Example data shipped with KRO");
    EXPECT_EQ(filesIn(images).size(), 1);
    EXPECT_TRUE(consoleLines(*w).filter("Error").isEmpty()) << consoleText(*w).toStdString();
}

TEST_F(MainWindow, ClosingTheWindowDuringALoadStopsTheLoaderFirst)
{
    // The loader reports progress to the status bar's progress bar, which
    // goes with the window: the load must end before any part of it goes.
    QByteArray rows;
    rows.reserve(40 << 20);
    for (int i = 0; i < 2'000'000; ++i)
        rows += QByteArray::number(i) + ",0.123456789," + QByteArray::number(i % 977) + "\n";
    const QString big = writeFile("big.dat", rows);
    for (int round = 0; round < 3; ++round) {
        auto w = make({"-f", big, "-x", "1", "-y", "2", "3"});
        QTest::qWait(20 * round);
        EXPECT_TRUE(w->plotterCtrl()->m_busy) << "the load is still running when the window goes";
        w.reset();  // crashed or hung while the loader posted to the deleted progress bar
    }
}

TEST_F(MainWindow, TheToolsMenuOpensOneRegularExpressionToolThatGoesWithTheWindow)
{
    auto w = make();
    QMenu* tools = nullptr;
    for (QAction* a : w->menuBar()->actions())
        if (a->text() == QLatin1String("&Tools"))
            tools = a->menu();
    ASSERT_TRUE(tools);
    QAction* regex = nullptr;
    for (QAction* a : tools->actions())
        if (a->text() == QLatin1String("Regex Testing"))
            regex = a;
    ASSERT_TRUE(regex);
    EXPECT_TRUE(regex->isEnabled());

    auto openTools = [] {
        std::vector<QMainWindow*> found;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->windowTitle() == QLatin1String("KRO - Regular-Expression Testing Ground"))
                found.push_back(qobject_cast<QMainWindow*>(top));
        return found;
    };
    regex->trigger();
    ASSERT_EQ(openTools().size(), 1u);
    QPointer<QMainWindow> tool = openTools().front();
    EXPECT_TRUE(tool->isVisible());
    tool->close();
    EXPECT_FALSE(tool->isVisible());
    regex->trigger();
    EXPECT_EQ(openTools().size(), 1u) << "the same window shows again";
    EXPECT_TRUE(tool->isVisible());
    w.reset();
    EXPECT_FALSE(tool);
}
