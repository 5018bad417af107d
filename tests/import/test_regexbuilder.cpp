// The regular-expression tool on real files: opening files and the recent
// list, searching and highlighting, the search history, the preview line
// count, bad patterns and bad files, and the settings it keeps.
#include "import/regexbuilder.h"

#include "core/appfolders.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QThreadPool>
#include <QTimer>
#include <gtest/gtest.h>

#include "support/files.h"
#include "support/prompts.h"
#include "support/qtprinters.h"

namespace {

using Kind = kro::ScriptedPrompter::Kind;

void clearToolSettings() { kro::platform::openRegexBuilderSettings()->clear(); }

// The characters of the view shown in the highlight colour.
QString highlighted(const QTextEdit* view)
{
    QString out;
    for (QTextBlock b = view->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().foreground().color() == QColor(0x00, 0x80, 0xFF))
                out += it.fragment().text();
    return out;
}

class Tool : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        clearToolSettings();
        tool = std::make_unique<RegexBuilder>();
    }
    void TearDown() override
    {
        tool.reset();
        clearToolSettings();
    }
    QString write(const QString& name, const QByteArray& bytes) { return kro::test::writeFile(dir.filePath(name), bytes); }
    QString lines(const QString& name, int n)
    {
        QByteArray b;
        for (int i = 1; i <= n; ++i)
            b += "line " + QByteArray::number(i) + "\n";
        return write(name, b);
    }
    // Opens a file through the dialog; refused files bring a message box.
    RxbView* open(const QString& path, bool refused = false)
    {
        prompts->answerOpenFile(path);
        if (refused)
            prompts->answerMessage(QMessageBox::Ok);
        tool->fileOpen();
        return tool->currentView();
    }
    QStringList tabLabels() const
    {
        QStringList l;
        for (int i = 0; i < tool->tabs()->count(); ++i)
            l << tool->tabs()->tabText(i);
        return l;
    }
    QStringList recentEntries() const
    {
        QStringList l;
        for (QAction* a : tool->recentActions())
            l << a->text();
        return l;
    }
    static void search(RxbView* view, const QString& pattern, bool matchLines = false)
    {
        view->matchLinesBox()->setChecked(matchLines);
        view->patternBox()->setEditText(pattern);
        ASSERT_TRUE(view->searchButton()->isEnabled());
        view->searchButton()->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isSearching(); }, 15000));
    }
    QString status() const { return tool->statusBar()->currentMessage(); }

    QTemporaryDir dir;
    kro::test::ScriptedPrompts prompts;
    std::unique_ptr<RegexBuilder> tool;
};

} // namespace

TEST_F(Tool, WindowMenusAndInstructions)
{
    EXPECT_EQ(tool->windowTitle(), QStringLiteral("KRO - Regular-Expression Testing Ground"));
    EXPECT_EQ(tool->minimumSize(), QSize(500, 600));
    QStringList entries;
    for (QAction* a : tool->fileMenu()->actions())
        if (!a->isSeparator())
            entries << a->text() + "=" + a->shortcut().toString();
    EXPECT_EQ(entries, (QStringList{"&Open an existing file=Ctrl+O", "&New (blank) page=Ctrl+N", "Exit=Alt+X"}));
    EXPECT_EQ(tabLabels(), QStringList{"Instructions"});
    RxbView* instructions = tool->currentView();
    EXPECT_TRUE(instructions->textView()->isReadOnly());
    EXPECT_FALSE(instructions->patternBox());
    const QString text = instructions->textView()->toPlainText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Instructions")));
    EXPECT_TRUE(text.contains(QStringLiteral("The default number of displayed lines is 100.")));
}

TEST_F(Tool, OpeningFilesAndWhatGoesWrong)
{
    prompts->answerOpenFile(QString());
    tool->fileOpen();
    EXPECT_EQ(status(), QStringLiteral("Load canceled"));

    const QString missing = dir.filePath("missing.dat");
    open(missing, true);
    ASSERT_EQ(prompts->asked().back().kind, Kind::Message);
    EXPECT_EQ(prompts->asked().back().title, QStringLiteral("File I/O Error"));
    EXPECT_EQ(prompts->asked().back().text, QStringLiteral("File \"%1\" does not exist.").arg(missing));

    open(write("binary.dat", QByteArray("\x7F" "ELF\0\x01", 6)), true);
    EXPECT_TRUE(prompts->asked().back().text.startsWith(QStringLiteral("The selected file could not be opened.")));
    EXPECT_EQ(tabLabels(), QStringList{"Instructions"});
    EXPECT_TRUE(tool->recentFiles().isEmpty());

    const QString path = lines("data.txt", 150);
    RxbView* view = open(path);
    EXPECT_EQ(tabLabels(), (QStringList{"Instructions", "data.txt"}));
    EXPECT_EQ(view->fileName(), path);
    const QStringList shown = view->plainText().split(QLatin1Char('\n'));
    ASSERT_EQ(shown.size(), 100) << "100 preview lines, the last without its line feed";
    EXPECT_EQ(shown.last(), QStringLiteral("line 100"));
    EXPECT_FALSE(view->textView()->isReadOnly());
    EXPECT_TRUE(view->isPlain());
    EXPECT_EQ(tool->lastPath(), dir.path());
    EXPECT_EQ(tool->recentFiles(), QStringList{path});

    open(path);
    open(path);
    EXPECT_EQ(tabLabels(), (QStringList{"Instructions", "data.txt", "data.txt (2)", "data.txt (3)"}));
    EXPECT_EQ(tool->recentFiles(), QStringList{path});

    tool->fileNew();
    tool->fileNew();
    const QStringList labels = tabLabels();
    const int first = labels[4].mid(8).toInt();
    EXPECT_EQ(labels[4], QStringLiteral("Testpad %1").arg(first));
    EXPECT_EQ(labels[5], QStringLiteral("Testpad %1").arg(first + 1));
    EXPECT_TRUE(tool->currentView()->plainText().isEmpty());
}

TEST_F(Tool, AWideLineWidensTheWindowWithinBounds)
{
    tool->resize(500, 600);
    const QFontMetrics metrics(tool->currentView()->textView()->font());
    QString line;
    while (metrics.horizontalAdvance(line) < 590)
        line += QLatin1Char('m');
    const int width = metrics.horizontalAdvance(line);
    ASSERT_LE(width, 650);
    open(write("wide.txt", line.toLatin1() + "\nshort\n"));
    EXPECT_EQ(tool->width(), width + 40);
}

TEST_F(Tool, RecentFilesKeepTenAndEveryEntryOpensTheFileItNames)
{
    QStringList paths;
    for (int i = 1; i <= 11; ++i)
        paths << open(lines(QStringLiteral("f%1.dat").arg(i), 3))->fileName();
    ASSERT_EQ(tool->recentFiles().size(), 10);
    EXPECT_EQ(tool->recentFiles().first(), paths[10]);
    EXPECT_FALSE(tool->recentFiles().contains(paths[0]));
    EXPECT_EQ(recentEntries().mid(0, 2), (QStringList{"&1 f11.dat", "&2 f10.dat"}));
    EXPECT_EQ(recentEntries().size(), 10);

    EXPECT_EQ(recentEntries()[2], QStringLiteral("&3 f9.dat")) << recentEntries().join(",").toStdString();
    tool->recentActions()[2]->trigger();
    EXPECT_EQ(tool->currentView()->fileName(), paths[8]);
    EXPECT_EQ(tool->recentFiles().first(), paths[8]);

    // A deleted file: the user is asked; No keeps the entry, Yes removes it.
    QFile::remove(paths[9]);
    const int index = tool->recentFiles().indexOf(paths[9]);
    prompts->answerMessage(QMessageBox::No);
    tool->recentActions()[index]->trigger();
    EXPECT_EQ(prompts->asked().back().title, QStringLiteral("File not found"));
    EXPECT_EQ(prompts->asked().back().text,
              QStringLiteral("The file \"%1\" appears to be no longer available\nWould you like to remove it from the "
                             "list?")
                  .arg(paths[9]));
    EXPECT_TRUE(tool->recentFiles().contains(paths[9]));
    prompts->answerMessage(QMessageBox::Yes);
    tool->recentActions()[index]->trigger();
    EXPECT_FALSE(tool->recentFiles().contains(paths[9]));
    ASSERT_EQ(recentEntries().size(), 9);
    for (int i = 0; i < 9; ++i) {
        tool->recentActions()[i]->trigger();
        EXPECT_EQ(tool->currentView()->fileName(), tool->recentFiles().first());
        EXPECT_EQ(QFileInfo(tool->currentView()->fileName()).fileName(), recentEntries()[0].mid(3));
    }
}

TEST_F(Tool, SearchesHighlightMatchesOrWholeLinesAndCountTheLinesALoadReads)
{
    RxbView* view = open(write("s.txt", "a 1\nb\t2\nc3\n<b>x</b> & 4\n"));
    search(view, QStringLiteral("\\w \\d"));
    EXPECT_EQ(view->patternBox()->currentText(), QStringLiteral("\\w\\s\\d")) << "a blank stands for any white space";
    EXPECT_FALSE(view->isPlain());
    EXPECT_TRUE(view->textView()->isReadOnly());
    EXPECT_EQ(highlighted(view->textView()), QStringLiteral("a 1b\t2"));
    EXPECT_EQ(view->textView()->toPlainText(), view->plainText()) << "the file's text shows literally";
    EXPECT_EQ(status(), QStringLiteral("2 of 4 lines would be read by a plot command with -regex \"\\w\\s\\d\"."));

    search(view, QStringLiteral("x"), true);
    EXPECT_EQ(highlighted(view->textView()), QStringLiteral("<b>x</b> & 4"));
    search(view, QStringLiteral("&"));
    EXPECT_EQ(highlighted(view->textView()), QStringLiteral("&"));

    // A pattern that matches only empty text finds nothing and does not hang.
    search(view, QStringLiteral("z*"));
    EXPECT_TRUE(view->isPlain());
    EXPECT_FALSE(view->textView()->isReadOnly());

    // Reset makes the text editable again; edits are what the next search sees.
    search(view, QStringLiteral("c"));
    EXPECT_TRUE(view->textView()->isReadOnly());
    view->resetButton()->click();
    EXPECT_FALSE(view->textView()->isReadOnly());
    view->textView()->append(QStringLiteral("c9"));
    search(view, QStringLiteral("c\\d"));
    EXPECT_EQ(highlighted(view->textView()), QStringLiteral("c3c9"));
}

TEST_F(Tool, BadPatternsAreReportedAndTheTextStaysEditable)
{
    QByteArray as;
    for (int i = 0; i < 20; ++i)
        as += QByteArray(40, 'a') + "\n";
    RxbView* view = open(write("a.txt", as));
    struct Case {
        const char* pattern;
        const char* start;
    } cases[] = {
        {"(ab", "The regular expression is invalid\n"},
        {"(a+)+b", "The regular expression could not be applied to this text\n"},
    };
    for (const Case& c : cases) {
        prompts->answerMessage(QMessageBox::Ok);
        search(view, QString::fromLatin1(c.pattern));
        ASSERT_EQ(prompts->asked().back().title, QStringLiteral("Regex Error"));
        EXPECT_TRUE(prompts->asked().back().text.startsWith(QString::fromLatin1(c.start)))
            << prompts->asked().back().text.toStdString();
        EXPECT_TRUE(view->isPlain());
        EXPECT_FALSE(view->textView()->isReadOnly());
        EXPECT_EQ(view->textView()->toPlainText(), view->plainText());
    }
}

TEST_F(Tool, SearchHistoryKeepsTwentyDistinctPatternsNewestFirst)
{
    RxbView* view = open(lines("h.txt", 5));
    search(view, QStringLiteral("1"));
    search(view, QStringLiteral("2"));
    search(view, QStringLiteral("1"));
    EXPECT_EQ(tool->searchHistory(), (QStringList{"1", "2"}));
    EXPECT_EQ(view->patternBox()->count(), 2);
    EXPECT_EQ(view->patternBox()->itemText(0), QStringLiteral("1"));
    for (int i = 0; i < 21; ++i)
        search(view, QStringLiteral("p%1").arg(i));
    ASSERT_EQ(tool->searchHistory().size(), 20);
    EXPECT_EQ(tool->searchHistory().first(), QStringLiteral("p20"));
    EXPECT_EQ(tool->searchHistory().last(), QStringLiteral("p1"));

    // A new testpad starts from the history.
    tool->fileNew();
    EXPECT_EQ(tool->currentView()->patternBox()->count(), 20);
    EXPECT_TRUE(tool->currentView()->patternBox()->currentText().isEmpty());
    EXPECT_FALSE(tool->currentView()->searchButton()->isEnabled());

    tool->clearsearchhist();
    EXPECT_TRUE(tool->searchHistory().isEmpty());
    EXPECT_EQ(tool->currentView()->patternBox()->count(), 0);
    EXPECT_EQ(view->patternBox()->count(), 23) << "other pages keep their lists";
}

TEST_F(Tool, PreviewLinesReloadThePagesOwnFileAndSearchAgain)
{
    const QString a = lines("a.txt", 300);
    RxbView* pageA = open(a);
    open(lines("b.txt", 300)); // the most recent file is b
    tool->tabs()->setCurrentWidget(pageA);
    search(pageA, QStringLiteral("line 1\\d\\d$"));
    prompts->answerInt(120);
    tool->setpreviewlines();
    EXPECT_EQ(prompts->asked().back().title, QStringLiteral("Number of Preview Lines"));
    EXPECT_EQ(prompts->asked().back().initial, 100);
    EXPECT_EQ(prompts->asked().back().minimum, 1);
    EXPECT_EQ(prompts->asked().back().maximum, 1000000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pageA->isSearching(); }, 15000));
    EXPECT_EQ(pageA->fileName(), a);
    EXPECT_EQ(pageA->plainText().split(QLatin1Char('\n')).size(), 120);
    EXPECT_TRUE(pageA->plainText().startsWith(QStringLiteral("line 1\nline 2\n")));
    EXPECT_FALSE(pageA->isPlain()) << "the page showed matches, so it searches again";
    EXPECT_TRUE(highlighted(pageA->textView()).endsWith(QStringLiteral("line 120")));

    // A blank testpad only takes the count.
    tool->fileNew();
    prompts->answerInt(7);
    tool->setpreviewlines();
    EXPECT_EQ(tool->currentView()->previewLines(), 7);
    EXPECT_TRUE(tool->currentView()->plainText().isEmpty());
}

TEST_F(Tool, SettingsAreWrittenOnDestructionAndReadOnConstruction)
{
    const QString path = lines("kept.txt", 2);
    RxbView* view = open(path);
    search(view, QStringLiteral("line"));
    tool.reset();
    {
        const auto stored = kro::platform::openRegexBuilderSettings();
        EXPECT_EQ(stored->value("lastpath").toString(), dir.path());
        EXPECT_EQ(stored->value("recentfiles").toStringList(), QStringList{path});
        EXPECT_EQ(stored->value("searchhist").toStringList(), QStringList{"line"});
    }
    tool = std::make_unique<RegexBuilder>();
    EXPECT_EQ(tool->lastPath(), dir.path());
    EXPECT_EQ(tool->recentFiles(), QStringList{path});
    EXPECT_EQ(recentEntries(), QStringList{"&1 kept.txt"});
    tool->fileNew();
    EXPECT_EQ(tool->currentView()->patternBox()->itemText(0), QStringLiteral("line"));
}

TEST_F(Tool, LargeSearchesRunOnAWorkerNameTheSearchedPatternAndResetDropsThem)
{
    RxbView* view = open(lines("small.txt", 3));
    QString big;
    for (int i = 0; i < 200000; ++i)
        big += QStringLiteral("%1,%2\n").arg(i % 10).arg(i % 7);
    big.chop(1);
    view->setPlainText(big);
    const QString pattern = QStringLiteral("\\d,\\d");

    // An event posted before the search is handled while the search is still
    // under way: the search left the event loop running, and its result
    // arrives through it.
    bool handled = false;
    bool searchingThen = false;
    QTimer::singleShot(0, view, [&] {
        handled = true;
        searchingThen = view->isSearching();
    });
    view->patternBox()->setEditText(pattern);
    view->searchButton()->click();
    EXPECT_TRUE(view->isSearching());
    // Typed while searching: the result line still names what was searched.
    view->patternBox()->setEditText(QStringLiteral("[\\d.,]+Z"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return handled; }, 15000));
    EXPECT_TRUE(searchingThen);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isSearching(); }, 60000));
    EXPECT_EQ(view->searchedPattern(), pattern);
    EXPECT_EQ(status(),
              QStringLiteral("200000 of 200000 lines would be read by a plot command with -regex \"%1\".").arg(pattern));
    EXPECT_FALSE(view->isPlain());
    EXPECT_EQ(view->textView()->document()->blockCount(), 200000);
    EXPECT_EQ(view->textView()->toPlainText(), big);
    EXPECT_EQ(highlighted(view->textView()).left(6), QStringLiteral("0,01,1"));

    // Reset while a search runs: the text is editable at once, and the
    // search's result, when it ends, shows nothing.
    view->patternBox()->setEditText(pattern);
    view->searchButton()->click();
    ASSERT_TRUE(view->isSearching());
    view->resetButton()->click();
    EXPECT_FALSE(view->isSearching());
    EXPECT_TRUE(view->isPlain());
    EXPECT_FALSE(view->textView()->isReadOnly());
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(view->isPlain());
    EXPECT_FALSE(view->textView()->isReadOnly());
    EXPECT_TRUE(highlighted(view->textView()).isEmpty());
    EXPECT_FALSE(status().contains(QLatin1String("would be read"))) << status().toStdString();
    EXPECT_EQ(view->plainText(), view->textView()->toPlainText());
    EXPECT_TRUE(view->searchButton()->isEnabled());
}
