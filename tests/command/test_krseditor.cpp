// The script editor: what a script runs, editing comments, and the window's
// tabs, files and menus.
#include "command/krseditor.h"
#include "core/settings.h"
#include "platform/recentfilesmenu.h"
#include "platform/tabwidgetex.h"
#include "support/files.h"
#include "support/prompts.h"
#include "support/qtprinters.h"
#include "support/test_env.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

TEST(ScriptRunLines, WhatAScriptRunsLastLineFirst)
{
    const QChar nbsp(0x00A0);
    const struct {
        QString text;
        QStringList lastFirst;
    } cases[] = {
        // A blank before the dots stays; the comment between is skipped.
        {"kro -f a.dat ...\n-y 2\n--> plot it\nrescale", {"rescale", "kro -f a.dat -y 2"}},
        {"kro -f a.dat ...\n  --> between\n  \n-y 2", {"kro -f a.dat -y 2"}},
        {"title  two  blanks  \n", {"title  two  blanks"}},
        {QStringLiteral("title%1%1x").arg(nbsp), {"title  x"}},
        {"title a\r\n\r\ntitle b\r\n", {"title b", "title a"}},
        {"...\ntitle c", {"title c"}},
        {"title \"<&>\" --> not a comment", {"title \"<&>\" --> not a comment"}},
        {"rescale ...", {"rescale "}},
        {"-->only\n   --> comments\n\n", {}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scriptRunLines(c.text), c.lastFirst) << c.text.toStdString();
}

QColor colourAt(const QTextBlock& block)
{
    for (const QTextLayout::FormatRange& r : block.layout()->formats())
        if (r.start == 0 && r.length == block.length() - 1)
            return r.format.foreground().color();
    return Qt::black;
}

bool shownAsComment(const QTextBlock& block) { return colourAt(block) == KRSHighlighter::commentColour(); }

TEST(ScriptEditing, TypingTheMarkerMakesACommentAndBackspaceUndoesIt)
{
    KRSEdit e;
    e.setPlainText(QStringLiteral("title Clock"));
    e.moveCursor(QTextCursor::Start);
    QTest::keyClicks(&e, QStringLiteral("-->"));
    EXPECT_EQ(e.toPlainText(), QStringLiteral("--> title Clock"));
    EXPECT_TRUE(shownAsComment(e.document()->firstBlock()));
    EXPECT_EQ(e.textCursor().position(), 4);
    QTest::keyClick(&e, Qt::Key_Backspace);
    EXPECT_EQ(e.toPlainText(), QStringLiteral("title Clock"));
    EXPECT_FALSE(shownAsComment(e.document()->firstBlock()));

    // Return in a comment line: the new line is a normal one.
    e.setPlainText(QStringLiteral("--> plot it rescale"));
    QTextCursor c = e.textCursor();
    c.setPosition(12);
    e.setTextCursor(c);
    QTest::keyClick(&e, Qt::Key_Return);
    EXPECT_EQ(e.toPlainText(), QStringLiteral("--> plot it \nrescale"));
    EXPECT_TRUE(shownAsComment(e.document()->findBlockByNumber(0)));
    EXPECT_FALSE(shownAsComment(e.document()->findBlockByNumber(1)));

    // Two blanks stay two blanks.
    e.clear();
    QTest::keyClicks(&e, QStringLiteral("title  two"));
    EXPECT_EQ(scriptRunLines(e.toPlainText()), QStringList{"title  two"});
}

TEST(ScriptEditing, CommentAndUncommentTheSelectedLines)
{
    KRSEdit e;
    e.setPlainText(QStringLiteral("first\n  -->-->second\nthird --> kept\nfourth"));
    QTextCursor c(e.document());
    c.setPosition(2);
    c.setPosition(e.document()->findBlockByNumber(2).position() + 1, QTextCursor::KeepAnchor);
    e.setTextCursor(c);
    e.commentSelection(KRSEdit::Comment);
    EXPECT_EQ(e.toPlainText(), QStringLiteral("--> first\n  --> second\n--> third --> kept\nfourth"));
    for (int b = 0; b < 3; ++b)
        EXPECT_TRUE(shownAsComment(e.document()->findBlockByNumber(b))) << b;
    EXPECT_FALSE(shownAsComment(e.document()->findBlockByNumber(3)));

    c.setPosition(0);
    c.setPosition(e.document()->findBlockByNumber(2).position() + 5, QTextCursor::KeepAnchor);
    e.setTextCursor(c);
    e.commentSelection(KRSEdit::Uncomment);
    EXPECT_EQ(e.toPlainText(), QStringLiteral("first\n  second\nthird --> kept\nfourth"));
    EXPECT_FALSE(shownAsComment(e.document()->findBlockByNumber(2)));
    // One undo step takes a whole comment action back.
    e.undo();
    EXPECT_EQ(e.toPlainText(), QStringLiteral("--> first\n  --> second\n--> third --> kept\nfourth"));
}

TEST(ScriptEditing, CommentThenUncommentGivesEachLineBack)
{
    const QStringList lines = {"   indented by three", "\tby a tab", "plain",
                               "-->  a comment with two blanks", "", "  --> indented comment"};
    KRSEdit e;
    e.setPlainText(lines.join('\n'));
    e.selectAll();
    e.commentSelection(KRSEdit::Comment);
    e.selectAll();
    e.commentSelection(KRSEdit::Uncomment);
    QStringList expected = lines;
    expected[3] = " a comment with two blanks";  // the marker and its one blank go
    expected[5] = "  indented comment";
    EXPECT_EQ(e.toPlainText().split('\n'), expected);
}

// ------------------------------------------------------------ the window

class ScriptEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        kro::test::clearSettingsStore();
        ASSERT_TRUE(m_dir.isValid());
        QFile::remove(QDir(getAppPath()).filePath(QStringLiteral("kroscript.ini")));
    }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    static QStringList tabLabels(const KRSEditor& e)
    {
        QStringList labels;
        for (int i = 0; i < e.tabWidget()->count(); ++i)
            labels << e.tabWidget()->tabText(i);
        return labels;
    }
    static void type(KRSEditor& e, const QString& text)
    {
        e.currentEdit()->moveCursor(QTextCursor::End);
        e.currentEdit()->insertPlainText(text);
    }

    QTemporaryDir m_dir;
};

TEST_F(ScriptEditor, MenusToolbarsAndShortcuts)
{
    KRSEditor e;
    EXPECT_EQ(e.windowTitle(), QStringLiteral("KroScript Editor"));
    EXPECT_EQ(e.minimumWidth(), 800);
    EXPECT_EQ(tabLabels(e), QStringList{"new 1"});
    QStringList menus;
    for (QAction* a : e.menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, QStringList({"&File", "&Edit", "C&omment", "&Run"}));
    const struct {
        const char* text;
        const char* shortcut;
        const char* objectName;
    } actions[] = {
        {"&New", "Ctrl+N", ""},           {"&Open", "Ctrl+O", ""},         {"&Save", "Ctrl+S", ""},
        {"Save &As...", "", ""},          {"&Close Script", "Ctrl+K", ""}, {"&Exit", "", ""},
        {"&Undo", "Ctrl+Z", "editUndo"},  {"&Redo", "Ctrl+Y", "editRedo"}, {"&Copy", "Ctrl+C", "editCopy"},
        {"Cu&t", "Ctrl+X", "editCut"},    {"&Paste", "Ctrl+V", "editPaste"},
        {"&Comment Line", "Ctrl+R", "commentAdd"}, {"&Uncomment Line", "Ctrl+T", "commentDelete"},
        {"&Run", "F5", ""},
    };
    for (const auto& a : actions) {
        QAction* found = e.action(QString::fromUtf8(a.text));
        ASSERT_NE(found, nullptr) << a.text;
        EXPECT_EQ(found->shortcut().toString(), QString::fromUtf8(a.shortcut)) << a.text;
        EXPECT_EQ(found->objectName(), QString::fromUtf8(a.objectName)) << a.text;
    }
    QStringList bars;
    for (QToolBar* b : e.findChildren<QToolBar*>())
        bars << b->windowTitle();
    EXPECT_EQ(bars, QStringList({"File Actions", "Edit Actions", "Comment Actions", "Run"}));
    // The File menu holds its five items, then Exit; recent scripts go between.
    QStringList fileItems;
    for (QAction* a : e.recentMenu()->actions())
        fileItems << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(fileItems, QStringList({"&New", "&Open", "&Save", "Save &As...", "&Close Script", "&Exit"}));
}

TEST_F(ScriptEditor, NewTabsAreNumberedPastTheHighest)
{
    kro::test::ScriptedPrompts prompts;
    prompts->answerMessage(QMessageBox::No);  // "new 3" when the editor goes
    KRSEditor e;
    e.action(QStringLiteral("&New"))->trigger();
    e.action(QStringLiteral("&New"))->trigger();
    type(e, QStringLiteral("x"));  // "new 3*"
    e.tabWidget()->setCurrentIndex(1);
    e.action(QStringLiteral("&Close Script"))->trigger();  // new 2 goes
    EXPECT_EQ(tabLabels(e), QStringList({"new 1", "new 3*"}));
    e.action(QStringLiteral("&New"))->trigger();
    EXPECT_EQ(tabLabels(e).last(), QStringLiteral("new 4"));

    // Closing the only tab opens a new one, numbered 1.
    KRSEditor single;
    single.action(QStringLiteral("&Close Script"))->trigger();
    EXPECT_EQ(tabLabels(single), QStringList{"new 1"});
}

TEST_F(ScriptEditor, LoadsScriptsWhateverTheirLineEndsAndEncoding)
{
    const QString lf = kro::test::writeFile(file("lf.krs"), "title a\n\nrescale\n");
    const QString crlf = kro::test::writeFile(file("crlf.krs"), "title \"x\" <&>\r\n\r\n--> c\r\n");
    const QString latin1 = kro::test::writeFile(file("latin1.krs"), "title caf\xe9\n");
    KRSEditor e(lf);
    EXPECT_EQ(tabLabels(e), QStringList{"lf.krs"});
    EXPECT_EQ(e.currentEdit()->toPlainText(), QStringLiteral("title a\n\nrescale\n"));
    EXPECT_EQ(e.pathOf(e.currentEdit()), lf);
    EXPECT_FALSE(e.isModified(e.currentEdit()));
    e.loadFileContents(crlf);
    EXPECT_EQ(e.currentEdit()->toPlainText(), QStringLiteral("title \"x\" <&>\n\n--> c\n"));
    EXPECT_TRUE(shownAsComment(e.currentEdit()->document()->findBlockByNumber(2)));
    e.loadFileContents(latin1);
    EXPECT_EQ(e.currentEdit()->toPlainText(), QStringLiteral("title caf\u00e9\n"));
    EXPECT_TRUE(e.statusBar()->currentMessage().contains(QStringLiteral("Latin-1")));
    EXPECT_EQ(tabLabels(e), QStringList({"lf.krs", "crlf.krs", "latin1.krs"}));

    // An empty current tab takes the file.
    KRSEditor fresh;
    fresh.loadFileContents(lf);
    EXPECT_EQ(tabLabels(fresh), QStringList{"lf.krs"});
    // A file that cannot be read says so in its tab.
    fresh.loadFileContents(file("missing.krs"));
    EXPECT_EQ(fresh.currentEdit()->toPlainText(), QStringLiteral("Error. Could not read file %1").arg(file("missing.krs")));
}

TEST_F(ScriptEditor, AHugeScriptIsRefusedWithAMessage)
{
    const QString huge = file("huge.krs");
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(KRSEditor::kMaxScriptBytes + 1));
    }
    KRSEditor e;
    kro::test::ScriptedPrompts prompts;
    prompts->answerMessage(QMessageBox::Ok);
    e.loadFileContents(huge);
    ASSERT_EQ(prompts->asked().size(), 1u);
    EXPECT_TRUE(prompts->asked()[0].text.contains(huge));
    EXPECT_EQ(tabLabels(e), QStringList{"new 1"});
}

TEST_F(ScriptEditor, SavesEveryCharacterAndAddsTheExtension)
{
    KRSEditor e;
    QSignalSpy saved(&e, &KRSEditor::newFileSaved);
    type(e, QStringLiteral("title \"a < b & c\"\n--> note\nexpr C1 > 2"));
    EXPECT_EQ(tabLabels(e), QStringList{"new 1*"});
    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerSaveFile(QString());  // cancelled: nothing happens
        e.action(QStringLiteral("&Save"))->trigger();
        prompts->answerSaveFile(file("first"));
        e.action(QStringLiteral("&Save"))->trigger();  // untitled: Save As
    }
    EXPECT_EQ(kro::test::readFile(file("first.krs")), QByteArray("title \"a < b & c\"\n--> note\nexpr C1 > 2"));
    EXPECT_EQ(tabLabels(e), QStringList{"first.krs"});
    EXPECT_FALSE(e.isModified(e.currentEdit()));
    EXPECT_FALSE(e.isUntitled(e.currentEdit()));
    ASSERT_EQ(saved.count(), 1);
    EXPECT_EQ(saved[0][0].toString(), file("first.krs"));

    // A name ending in the extension in capitals is taken as it is.
    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerSaveFile(file("SECOND.KRS"));
        e.action(QStringLiteral("Save &As..."))->trigger();
    }
    EXPECT_TRUE(QFileInfo(file("SECOND.KRS")).isFile());
    EXPECT_EQ(e.pathOf(e.currentEdit()), file("SECOND.KRS"));

    // A titled tab saves to its file without asking; load gives it back.
    type(e, QStringLiteral("\nrescale"));
    e.action(QStringLiteral("&Save"))->trigger();
    KRSEditor again(file("SECOND.KRS"));
    EXPECT_EQ(again.currentEdit()->toPlainText(), e.currentEdit()->toPlainText());
    EXPECT_EQ(scriptRunLines(again.currentEdit()->toPlainText()),
              QStringList({"rescale", "expr C1 > 2", "title \"a < b & c\""}));
}

TEST_F(ScriptEditor, AFailedSaveKeepsTheEdits)
{
    KRSEditor e;
    type(e, QStringLiteral("title kept"));
    const QString nowhere = file("no/such/folder/x.krs");
    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerSaveFile(nowhere);
        prompts->answerMessage(QMessageBox::Ok);
        e.action(QStringLiteral("&Save"))->trigger();
        ASSERT_EQ(prompts->asked().size(), 2u);
        EXPECT_TRUE(prompts->asked()[1].text.contains(nowhere));
    }
    EXPECT_EQ(tabLabels(e), QStringList{"new 1*"});
    EXPECT_TRUE(e.isUntitled(e.currentEdit()));
    EXPECT_TRUE(e.pathOf(e.currentEdit()).isEmpty());

    // Close, Yes, and the save fails: the tab stays with its text.
    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerMessage(QMessageBox::Yes);
        prompts->answerSaveFile(nowhere);
        prompts->answerMessage(QMessageBox::Ok);
        e.action(QStringLiteral("&Close Script"))->trigger();
        EXPECT_EQ(prompts->asked()[0].text, QStringLiteral("Save changes to new 1?"));
        // Close, Yes, Save As cancelled: it stays as well.
        prompts->answerMessage(QMessageBox::Yes);
        prompts->answerSaveFile(QString());
        e.action(QStringLiteral("&Close Script"))->trigger();
    }
    EXPECT_EQ(e.currentEdit()->toPlainText(), QStringLiteral("title kept"));
    EXPECT_EQ(tabLabels(e), QStringList{"new 1*"});

    // A titled script whose file became unwritable: the same.
    const QString path = kro::test::writeFile(file("gone/y.krs"), "title y");
    KRSEditor titled(path);
    type(titled, QStringLiteral("\nrescale"));
    QFile::remove(path);
    QDir().rmdir(file("gone"));
    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerMessage(QMessageBox::Ok);
        titled.action(QStringLiteral("&Save"))->trigger();
    }
    EXPECT_EQ(tabLabels(titled), QStringList{"y.krs*"});
    EXPECT_TRUE(titled.isModified(titled.currentEdit()));

    // No: the tab closes without saving.
    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerMessage(QMessageBox::No);
        titled.action(QStringLiteral("&Close Script"))->trigger();
        prompts->answerMessage(QMessageBox::No);
        e.action(QStringLiteral("&Close Script"))->trigger();
    }
    EXPECT_EQ(tabLabels(titled), QStringList{"new 1"});
}

TEST_F(ScriptEditor, RunSendsTheCurrentTabsLines)
{
    kro::test::ScriptedPrompts prompts;
    prompts->answerMessage(QMessageBox::No);  // unsaved when the editor goes
    KRSEditor e;
    QSignalSpy run(&e, &KRSEditor::run);
    type(e, QStringLiteral("kro -f a.dat ...\n-y 2\n--> comment\ntitle %1"));
    e.action(QStringLiteral("&Run"))->trigger();
    ASSERT_EQ(run.count(), 1);
    EXPECT_EQ(run[0][0].toStringList(), QStringList({"title %1", "kro -f a.dat -y 2"}));
}

TEST_F(ScriptEditor, OpenedScriptsJoinTheRecentList)
{
    const QString a = kro::test::writeFile(file("a.krs"), "title a");
    const QString b = kro::test::writeFile(file("b.krs"), "title b");
    {
        KRSEditor e;
        kro::test::ScriptedPrompts prompts;
        prompts->answerOpenFile(a);
        e.action(QStringLiteral("&Open"))->trigger();
        prompts->answerOpenFile(b);
        e.action(QStringLiteral("&Open"))->trigger();
        EXPECT_EQ(tabLabels(e), QStringList({"a.krs", "b.krs"}));
        // Loading for others does not touch the list.
        e.loadFileContents(a);
        EXPECT_EQ(e.recentMenu()->paths(), QStringList({a, b}));
    }
    KRSEditor e;
    EXPECT_EQ(e.recentMenu()->entryAction(2)->text(), QStringLiteral("&2 a.krs"));
    e.recentMenu()->entryAction(2)->trigger();
    EXPECT_EQ(tabLabels(e), QStringList{"a.krs"});
    EXPECT_EQ(e.currentEdit()->toPlainText(), QStringLiteral("title a"));
}

TEST_F(ScriptEditor, ClosingTheProgramAsksAboutUnsavedScripts)
{
    auto e = std::make_unique<KRSEditor>();
    type(*e, QStringLiteral("title last"));
    kro::test::ScriptedPrompts prompts;
    prompts->answerMessage(QMessageBox::Yes);
    prompts->answerSaveFile(file("last.krs"));
    e.reset();
    EXPECT_EQ(kro::test::readFile(file("last.krs")), QByteArray("title last"));
}

} // namespace
