// The "Directory Browser" dock of the main window: the browser follows the
// working folder, and what the user opens there is plotted, run, viewed or
// edited by the main window.
#include <gtest/gtest.h>

#include "base/dirbrowser.h"
#include "base/fileviews.h"
#include "base/direntrymodel.h"
#include "command/commandedit.h"
#include "command/krseditor.h"
#include "core/settings.h"
#include "gui/krogui.h"
#include "import/filesetup.h"
#include "platform/desktopopen.h"
#include "support/files.h"
#include "support/prompts.h"
#include "support/test_env.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QDockWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QHeaderView>
#include <QTest>
#include <QTreeView>

namespace {

using kro::test::writeFile;

class DirectoryDock : public ::testing::Test {
protected:
    void SetUp() override
    {
        kro::test::clearSettingsStore();
        writeSetting(QStringLiteral("quickstart"), QVariant(false));
        QFile::remove(KROGui::dockFilePath());
        ASSERT_TRUE(m_tmp.isValid());
        m_root = QDir(m_tmp.path()).canonicalPath();
        m_savedCwd = QDir::currentPath();
        QDir::setCurrent(m_root);
        DirBrowser::resetSharedState();
    }
    void TearDown() override
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<FileSetup*>(w))
                delete w;
        QDir::setCurrent(m_savedCwd);
        DirBrowser::resetSharedState();
    }

    std::unique_ptr<KROGui> make()
    {
        auto w = std::make_unique<KROGui>(QStringList{QStringLiteral("kro")});
        w->show();
        EXPECT_TRUE(waitIn(*w->dirBrowser(), m_root));
        return w;
    }
    QString path(const QString& name) const { return m_root + QLatin1Char('/') + name; }
    static bool waitIn(DirBrowser& b, const QString& dir)
    {
        return QTest::qWaitFor([&] { return !b.isListing() && QDir(b.dirPath()) == QDir(dir); }, 15000);
    }
    // The console's lines without the prompt each output line starts with.
    static QStringList consoleLines(const KROGui& w)
    {
        QStringList lines = w.console()->toPlainText().split(QLatin1Char('\n'));
        for (QString& line : lines)
            if (line.startsWith(QLatin1String("> ")))
                line.remove(0, 2);
        return lines;
    }
    static void doubleClick(DirBrowser& b, const QString& name)
    {
        QAbstractItemView* view = b.visibleView();
        const QModelIndex i = b.model()->index(b.model()->rowOf(name), 0);
        view->scrollTo(i);
        const QPoint at = view->visualRect(i).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    static QAction* viewMenuEntry(KROGui& w, const QString& text)
    {
        w.on_viewmenu();
        for (QAction* a : w.viewMenu()->actions())
            if (a->text() == text)
                return a;
        return nullptr;
    }

    QTemporaryDir m_tmp;
    QString m_root;
    QString m_savedCwd;
};

TEST_F(DirectoryDock, TheDockOpensWideEnoughForNameSizeTypeAndDate)
{
    writeFile(path("m.dat"), "1 2\n");
    auto w = make();
    DirBrowser* b = w->dirBrowser();
    QTreeView* view = b->detailView();
    QApplication::processEvents();
    // The dock takes what the browser asks for, up to half the window (the
    // browser's own tests show that its hint holds the four columns).
    EXPECT_GE(w->dirBrowserDock()->width(), std::min(b->sizeHint().width(), w->width() / 2));
    for (int c = DirEntryModel::NameColumn; c <= DirEntryModel::DateColumn; ++c) {
        SCOPED_TRACE(c);
        EXPECT_LE(static_cast<QAbstractItemView*>(view)->sizeHintForColumn(c), view->columnWidth(c));
    }
    // Where the window has the room, all four show side by side.
    if (b->sizeHint().width() <= w->width() / 2) {
        const int date = DirEntryModel::DateColumn;
        EXPECT_LE(view->header()->sectionViewportPosition(date) + view->columnWidth(date), view->viewport()->width());
    }
}

TEST_F(DirectoryDock, TheDockShowsTheBrowserInTheWorkingFolder)
{
    auto w = make();
    DirBrowser* b = w->dirBrowser();
    EXPECT_EQ(w->dirBrowserDock()->widget(), b);
    EXPECT_EQ(w->dirBrowserDock()->windowTitle(), "Directory Browser");
    EXPECT_EQ(w->dockWidgetArea(w->dirBrowserDock()), Qt::LeftDockWidgetArea);
    EXPECT_TRUE(b->isVisible());
    EXPECT_EQ(b->mode(), DirBrowser::ExistingFiles);
    EXPECT_EQ(b->viewMode(), DirBrowser::Detail);
    EXPECT_FALSE(b->isSizeGripEnabled());

    QAction* entry = viewMenuEntry(*w, "Directory Browser");
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->isEnabled());
    EXPECT_TRUE(entry->isChecked());
    // Escape hides the browser inside its dock; the View menu brings it back.
    QTest::keyClick(b->visibleView(), Qt::Key_Escape);
    EXPECT_FALSE(b->isVisible());
    entry = viewMenuEntry(*w, "Directory Browser");
    EXPECT_FALSE(entry->isChecked());
    entry->trigger();
    EXPECT_TRUE(b->isVisible());
    EXPECT_TRUE(w->dirBrowserDock()->isVisible());
    // The View menu closes and opens the dock.
    viewMenuEntry(*w, "Directory Browser")->trigger();
    EXPECT_FALSE(w->dirBrowserDock()->isVisible());
    viewMenuEntry(*w, "Directory Browser")->trigger();
    EXPECT_TRUE(b->isVisible());
}

TEST_F(DirectoryDock, TheBrowserAndTheWorkingFolderFollowEachOther)
{
    QDir().mkpath(path("sub dir"));
    QDir().mkpath(path("other"));
    auto w = make();
    DirBrowser* b = w->dirBrowser();
    w->console()->command("cd \"" + path("sub dir") + "\"", true);
    EXPECT_EQ(QDir(QDir::currentPath()), QDir(path("sub dir")));
    ASSERT_TRUE(waitIn(*b, path("sub dir")));

    // A folder entered in the browser becomes the working folder.
    b->setDir(path("other"));
    EXPECT_EQ(QDir(QDir::currentPath()), QDir(path("other")));
    ASSERT_TRUE(waitIn(*b, path("other")));
    b->cdUpClicked();
    EXPECT_EQ(QDir(QDir::currentPath()), QDir(m_root));
    ASSERT_TRUE(waitIn(*b, m_root));
    EXPECT_EQ(consoleLines(*w).filter("Error").size(), 0);
}

TEST_F(DirectoryDock, OpenedFilesArePlottedRunOrShown)
{
    writeFile(path("data.dat"), "1 2\n2 3\n");
    writeFile(path("Show.krs"), "title shown\n");
    writeFile(path("picture.png"), "png");
    QStringList opened;
    const kro::platform::FileOpener saved = kro::platform::setFileOpener([&](const QUrl& url) {
        opened << url.toLocalFile();
        return true;
    });
    auto w = make();
    DirBrowser* b = w->dirBrowser();

    doubleClick(*b, "data.dat");
    FileSetup* setup = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* s = qobject_cast<FileSetup*>(top))
            setup = s;
    ASSERT_NE(setup, nullptr);
    EXPECT_TRUE(setup->isVisible());
    EXPECT_TRUE(setup->buildCommand().contains(path("data.dat"))) << setup->buildCommand().toStdString();

    doubleClick(*b, "picture.png");
    EXPECT_EQ(opened, QStringList({path("picture.png")}));

    doubleClick(*b, "Show.krs");
    EXPECT_TRUE(consoleLines(*w).contains("Running KroScript: " + path("Show.krs")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->scriptQueue().isEmpty(); }, 10000));
    EXPECT_TRUE(b->isVisible());
    kro::platform::setFileOpener(saved);
}

TEST_F(DirectoryDock, TheMenusEditAndViewEntriesReachTheMainWindow)
{
    writeFile(path("data file.dat"), "1 2\n");
    writeFile(path("edit.krs"), "title x\n");
    const QString marker = path("viewer-ran");
    writeSetting(QStringLiteral("datafileviewer"), "sh -c \"cp \\\"$0\\\" '" + marker + "'\"");
    auto w = make();
    DirBrowser* b = w->dirBrowser();
    kro::test::ScriptedPrompts prompts;
    auto rightClick = [&](const QString& name) {
        QAbstractItemView* view = b->visibleView();
        const QPoint at = view->visualRect(b->model()->index(b->model()->rowOf(name), 0)).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &event);
    };
    prompts->answerMenu("View/Edit");
    rightClick("data file.dat");
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(marker); }, 10000));
    EXPECT_EQ(kro::test::readFile(marker), "1 2\n");

    prompts->answerMenu("Edit");
    rightClick("edit.krs");
    ASSERT_NE(w->scriptEditor(), nullptr);
    EXPECT_TRUE(w->scriptEditor()->isVisible());
    ASSERT_NE(w->scriptEditor()->tabOf(path("edit.krs")), nullptr);
    EXPECT_EQ(w->scriptEditor()->currentEdit(), w->scriptEditor()->tabOf(path("edit.krs")));
    EXPECT_EQ(w->scriptEditor()->currentEdit()->toPlainText(), "title x\n");
}

TEST_F(DirectoryDock, TheWorkspaceFolderAndSavedScriptsMoveTheBrowser)
{
    QDir().mkpath(path("workspace"));
    auto w = make();
    DirBrowser* b = w->dirBrowser();
    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerDirectory(path("workspace"));
        w->setWorkspacePath();
        EXPECT_EQ(prompts->asked()[0].title, "Set Workspace Path");
    }
    ASSERT_TRUE(waitIn(*b, path("workspace")));
    EXPECT_EQ(QDir(QDir::currentPath()), QDir(path("workspace")));
    EXPECT_EQ(readSettingText(QStringLiteral("workspacepath"), QString()), path("workspace"));
    EXPECT_TRUE(consoleLines(*w).contains("Workspace path set to " + path("workspace") + "."));

    // A script saved from the editor shows in the browser at once, whether
    // it went into the folder shown or into a folder made below it while
    // saving.
    w->on_showKRSEditor();
    KRSEditor* editor = w->scriptEditor();
    ASSERT_NE(editor, nullptr);
    struct Case {
        QString answer;  // what the save dialog gives
        QString listed;  // the entry that appears in the browser
    };
    for (const Case& c : {Case{path("workspace/new"), "new.krs"}, Case{path("workspace/made/other.krs"), "made"}}) {
        SCOPED_TRACE(c.answer.toStdString());
        QDir().mkpath(QFileInfo(c.answer).absolutePath());
        editor->action(QStringLiteral("&New"))->trigger();
        editor->currentEdit()->insertPlainText(QStringLiteral("title saved\n"));
        {
            kro::test::ScriptedPrompts prompts;
            prompts->answerSaveFile(c.answer);
            editor->action(QStringLiteral("&Save"))->trigger();
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return !b->isListing() && b->model()->rowOf(c.listed) >= 0; }, 10000));
    }
    EXPECT_TRUE(QFileInfo::exists(path("workspace/made/other.krs")));
}

} // namespace
