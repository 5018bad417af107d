// The console: prompt, printing, keys, copy and paste, completion.
#include "command/commandedit.h"

#include "console_probe.h"
#include "support/files.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QInputMethodEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

namespace {

class Console : public ::testing::Test {
protected:
    Console() : console(QStringLiteral("Banner line\n")) {}

    QStringList lines() const { return console.toPlainText().split(QLatin1Char('\n')); }
    QString lastLine() const { return lines().last(); }
    int cursorBlock() const { return console.textCursor().blockNumber(); }
    int cursorIndex() const { return console.textCursor().positionInBlock(); }
    void type(const QString& text) { QTest::keyClicks(&console, text); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(&console, k, m); }
    // Moves the cursor (and the selection anchor) to a block and index.
    void place(int block, int index, int toBlock = -1, int toIndex = -1)
    {
        QTextCursor c(console.document()->findBlockByNumber(block));
        c.setPosition(c.block().position() + index);
        if (toBlock >= 0) {
            const QTextBlock b = console.document()->findBlockByNumber(toBlock);
            c.setPosition(b.position() + toIndex, QTextCursor::KeepAnchor);
        }
        console.setTextCursor(c);
    }

    CommandEdit console;
};

} // namespace

TEST_F(Console, StartsWithBannerAndPrompt)
{
    EXPECT_EQ(lines(), (QStringList{"Banner line", "> "}));
    EXPECT_EQ(cursorBlock(), 1);
    EXPECT_EQ(cursorIndex(), 2);
}

TEST_F(Console, MessageStandsAboveTheTypedLine)
{
    type("abc");
    console.transcript("Note");
    EXPECT_EQ(lines(), (QStringList{"Banner line", "> Note", "> abc"}));
    EXPECT_EQ(cursorBlock(), 2);
    EXPECT_EQ(cursorIndex(), 2);
}

TEST_F(Console, MultiLineMessageIsIndentedAndItsFinalLineFeedDropped)
{
    console.transcript("one\ntwo\nthree\n");
    EXPECT_EQ(lines(), (QStringList{"Banner line", "> one", "  two", "  three", "> "}));
    console.transcript(QString());
    console.transcript("");
    EXPECT_EQ(lines().size(), 5);
}

TEST_F(Console, EditingKeysNeverTouchPromptOrOutput)
{
    console.transcript("output");
    // Backspace right after the prompt, Left at index 2.
    key(Qt::Key_Backspace);
    key(Qt::Key_Left);
    EXPECT_EQ(lastLine(), "> ");
    EXPECT_EQ(cursorIndex(), 2);
    // Right at the end of the line.
    type("ab");
    key(Qt::Key_Right);
    EXPECT_EQ(cursorIndex(), 4);
    // Delete and Backspace on an output line.
    place(1, 3);
    key(Qt::Key_Delete);
    key(Qt::Key_Backspace);
    EXPECT_EQ(lines().at(1), "> output");
    // Home goes to the start of the input, not before the prompt.
    place(2, 4);
    key(Qt::Key_Home);
    EXPECT_EQ(cursorIndex(), 2);
    key(Qt::Key_Backspace);
    EXPECT_EQ(lastLine(), "> ab");
    // Deleting a word back stops at the prompt, also over leading blanks.
    console.insertBreak();
    type("  x");
    key(Qt::Key_Backspace, Qt::ControlModifier);
    key(Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(lastLine(), "> ");
    EXPECT_EQ(cursorIndex(), 2);
}

TEST_F(Console, ASelectionReachingIntoThePromptNeverRemovesIt)
{
    // Deleting or typing over a selection that starts before the input
    // leaves the prompt whole, so the line submitted keeps every character.
    QSignalSpy titles(&console, &CommandEdit::title);
    type("title xyz");
    place(1, 0, 1, 3);
    key(Qt::Key_Backspace);
    EXPECT_EQ(lastLine(), "> itle xyz");
    place(1, 1, 1, 2);
    type("T");
    EXPECT_EQ(lastLine(), "> Title xyz");
    place(1, 0, 1, 8);
    key(Qt::Key_Delete);
    EXPECT_EQ(lastLine(), "> xyz");
    type("title ");
    key(Qt::Key_Return);
    ASSERT_EQ(titles.count(), 1);
    EXPECT_EQ(titles.first().first().toString(), "xyz");

    // Paste from the menu (the slot) over a selection that starts in the
    // output replaces only its part on the input line.
    console.transcript("out");
    type("ab");
    place(2, 4, 3, 3);
    QApplication::clipboard()->setText("Q");
    console.paste();
    EXPECT_EQ(lines(), (QStringList{"Banner line", "> title xyz", "> out", "> Qb"}));
}

TEST_F(Console, NoDeletingKeyOfThePlatformTouchesOutputOrPrompt)
{
    // Every binding of the deleting actions (on X11 also Ctrl+D and Ctrl+K),
    // pressed on an output line and right before the input.
    console.transcript("out put");
    type("ab cd");
    for (QKeySequence::StandardKey action : {QKeySequence::Delete, QKeySequence::DeleteEndOfWord,
                                             QKeySequence::DeleteEndOfLine, QKeySequence::DeleteCompleteLine}) {
        for (const QKeySequence& binding : QKeySequence::keyBindings(action)) {
            SCOPED_TRACE(binding.toString().toStdString());
            const QKeyCombination combination = binding[0];
            for (int index : {4, 0}) {
                place(index == 4 ? 1 : 2, index);
                QTest::keyClick(&console, combination.key(), combination.keyboardModifiers());
                EXPECT_EQ(lines(), (QStringList{"Banner line", "> out put", "> ab cd"}));
            }
        }
    }
}

TEST_F(Console, TypingOnAnOutputLineGoesToThePrompt)
{
    console.transcript("output");
    type("ab");
    place(1, 4);
    type("c");
    EXPECT_EQ(lines().at(1), "> output");
    // Typing resumes where the prompt was last written: right after "> ".
    EXPECT_EQ(lastLine(), "> cab");

    // Text composed by an input method (dead keys, compose) goes there too.
    place(1, 4);
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("é"));
    QCoreApplication::sendEvent(&console, &composed);
    EXPECT_EQ(lines().at(1), "> output");
    EXPECT_EQ(lastLine(), "> écab");
    place(2, 0);
    QCoreApplication::sendEvent(&console, &composed);
    EXPECT_EQ(lastLine(), "> éécab");
}

TEST_F(Console, ReturnSubmitsTheTypedLine)
{
    QSignalSpy titles(&console, &CommandEdit::title);
    QSignalSpy executed(&console, &CommandEdit::cmdExecuted);
    type("title Run 1");
    place(2, 4);  // the cursor anywhere on the line: the whole line counts
    key(Qt::Key_Return);
    ASSERT_EQ(titles.count(), 1);
    EXPECT_EQ(titles.first().first().toString(), "Run 1");
    EXPECT_EQ(executed.count(), 1);
    EXPECT_EQ(console.history().entries(), QStringList{"title Run 1"});
    EXPECT_EQ(lines(), (QStringList{"Banner line", "> title Run 1", "> "}));

    // A rejected line is recorded too, and answered with its message.
    type("crop 1");
    key(Qt::Key_Enter);
    EXPECT_EQ(executed.count(), 1);
    EXPECT_EQ(console.history().size(), 2);
    EXPECT_EQ(lines().at(3), "> Command Info: The command \"crop 1\" is not properly formatted.");
}

TEST_F(Console, CommandFromCodeEchoesAndRespectsTheHistoryFlag)
{
    kro::test::ConsoleProbe probe(console);
    type("half typed");
    const auto r = probe.run("title Scripted", false);
    EXPECT_EQ(r.calls, QStringList{R"(title("Scripted"))"});
    EXPECT_EQ(r.executed, 1);
    EXPECT_TRUE(console.history().isEmpty());
    EXPECT_EQ(lines(), (QStringList{"Banner line", "> title Scripted", "> half typed"}));
    probe.run("rescale", true);
    EXPECT_EQ(console.history().entries(), QStringList{"rescale"});
}

TEST_F(Console, UpAndDownRecallTheHistory)
{
    for (const char* l : {"one", "two", "three"})
        console.command(l, true);
    type("partial");
    key(Qt::Key_Up);
    EXPECT_EQ(lastLine(), "> three");
    key(Qt::Key_Up);
    key(Qt::Key_Up);
    EXPECT_EQ(lastLine(), "> one");
    key(Qt::Key_Up);  // from the oldest to the newest
    EXPECT_EQ(lastLine(), "> three");
    key(Qt::Key_Down);  // past the newest to the oldest
    EXPECT_EQ(lastLine(), "> one");
    EXPECT_EQ(cursorIndex(), 5);
}

TEST_F(Console, CtrlCWithoutSelectionBreaksTheLineAndCtrlXRemovesNothing)
{
    type("abandoned");
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(lines(), (QStringList{"Banner line", "> abandoned", "> "}));
    EXPECT_TRUE(console.history().isEmpty());

    type("keep me");
    place(2, 2, 2, 6);
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(lastLine(), "> keep me");
    EXPECT_EQ(QApplication::clipboard()->text(), "keep");
}

TEST_F(Console, CopyDropsPromptsAndCollapsesBlanks)
{
    console.command("title a b", false);
    console.command("xlabel c   d", false);
    // From the start of the first entry to the end of the second.
    place(1, 0, 2, int(QString("> xlabel c   d").size()));
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "title a b\nxlabel c d\n");
    // Ending inside the second line: no final line feed.
    place(1, 0, 2, 8);
    console.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), "title a b\nxlabel");
    // Within one line the prompt is never copied.
    place(1, 0, 1, 7);
    console.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), "title");
    // A selection of prompt characters only copies nothing.
    place(1, 0, 1, 1);
    console.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), "");
    // Nothing before the first input line is cleaned: the banner copies as is.
    place(0, 0, 0, 6);
    console.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), "Banner");
}

TEST_F(Console, PasteRunsCompleteLinesAsAScript)
{
    QSignalSpy items(&console, &CommandEdit::scriptItem);
    QSignalSpy ready(&console, &CommandEdit::scriptReady);
    type("x ");
    QApplication::clipboard()->setText("first\r\nsecond\nthird");
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(lastLine(), "> x third");
    ASSERT_EQ(items.count(), 2);
    EXPECT_EQ(items.at(0).first().toString(), "second");  // last line first
    EXPECT_EQ(items.at(1).first().toString(), "first");
    EXPECT_EQ(ready.count(), 1);

    items.clear();
    ready.clear();
    QApplication::clipboard()->setText("word");
    console.paste();
    EXPECT_EQ(lastLine(), "> x thirdword");
    EXPECT_EQ(items.count(), 0);
    EXPECT_EQ(ready.count(), 0);

    QApplication::clipboard()->setText("\nmore");
    console.paste();
    EXPECT_EQ(lastLine(), "> x thirdwordmore");
    ASSERT_EQ(items.count(), 1);
    EXPECT_EQ(items.at(0).first().toString(), "");
    EXPECT_EQ(ready.count(), 1);

    // Only line breaks split the text: any other characters paste as they are.
    items.clear();
    console.insertBreak();
    QApplication::clipboard()->setText("title a<cmdend>b\nx<cmdend>y");
    console.paste();
    EXPECT_EQ(lastLine(), "> x<cmdend>y");
    ASSERT_EQ(items.count(), 1);
    EXPECT_EQ(items.at(0).first().toString(), "title a<cmdend>b");
}

TEST_F(Console, UndoKeyUndoesOnThePlot)
{
    QSignalSpy undo(&console, &CommandEdit::undo);
    type("abc");
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(undo.count(), 1);
    EXPECT_EQ(lastLine(), "> abc");
}

TEST_F(Console, ClearLeavesOnlyAPrompt)
{
    console.transcript("something");
    console.clear();
    EXPECT_EQ(console.toPlainText(), "> ");
    console.transcript("after");
    EXPECT_EQ(lines(), (QStringList{"> after", "> "}));
}

TEST_F(Console, TabCompletesFileNamesCyclingThroughMatches)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"data2.txt", "Data1.txt", "other.txt", ".hidden"})
        kro::test::writeFile(dir.filePath(name));
    const QString base = dir.path() + "/";

    // Slashes elsewhere on the line stay as typed.
    type("title /alpha " + base + "da");
    key(Qt::Key_Tab);
    EXPECT_EQ(lastLine(), "> title /alpha " + base + "Data1.txt");
    EXPECT_EQ(cursorIndex(), lastLine().size());
    key(Qt::Key_Tab);
    EXPECT_EQ(lastLine(), "> title /alpha " + base + "data2.txt");
    key(Qt::Key_Tab);
    EXPECT_EQ(lastLine(), "> title /alpha " + base + "Data1.txt");
    // Any other key ends the run and keeps the completion.
    type(" ");
    EXPECT_EQ(lastLine(), "> title /alpha " + base + "Data1.txt ");
    // Tab right after a blank does nothing.
    key(Qt::Key_Tab);
    EXPECT_EQ(lastLine(), "> title /alpha " + base + "Data1.txt ");

    // A word that ends with a separator completes only dot names.
    console.insertBreak();
    type("cd " + base);
    key(Qt::Key_Tab);
    EXPECT_EQ(lastLine(), "> cd " + base + ".hidden");

    // Completion inside a quoted word, text after the cursor kept.
    console.insertBreak();
    type("kro -f \"" + base + "oth -x 1");
    place(cursorBlock(), int(QString("> kro -f \"" + base + "oth").size()));
    key(Qt::Key_Tab);
    EXPECT_EQ(lastLine(), "> kro -f \"" + base + "other.txt -x 1");

    // After a closed quoted word the word starts at the last blank again.
    console.insertBreak();
    type("legend \"a b\" " + base + "oth");
    key(Qt::Key_Tab);
    EXPECT_EQ(lastLine(), "> legend \"a b\" " + base + "other.txt");
}
