// The command history: adding, recalling, its files, the history command.
#include "command/commandedit.h"
#include "command/commandhistory.h"
#include "platform/platform.h"

#include "console_probe.h"
#include "support/files.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList numbered(int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QStringLiteral("line %1").arg(i);
    return out;
}

using kro::test::readFile;
using kro::test::writeFile;

} // namespace

TEST(CommandHistory, KeepsAtMostItsLimit)
{
    CommandHistory h(31);
    for (const QString& l : numbered(1, 32))
        h.add(l);
    EXPECT_EQ(h.entries(), numbered(2, 32));
    EXPECT_EQ(h.cursor(), 31);
}

TEST(CommandHistory, OnlyOldestAndNewestAreCompared)
{
    CommandHistory h;
    for (const char* l : {"a", "b", "c"})
        h.add(l);
    h.add("  c  ");  // equal to the newest: stored once
    EXPECT_EQ(h.entries(), (QStringList{"a", "b", "c"}));
    h.add("a");  // equal to the oldest: moves to the newest end
    EXPECT_EQ(h.entries(), (QStringList{"b", "c", "a"}));
    h.add("c");  // equal to one in the middle: a second copy
    EXPECT_EQ(h.entries(), (QStringList{"b", "c", "a", "c"}));
}

TEST(CommandHistory, BlankLinesAreIgnoredAndKeepTheRecallPosition)
{
    CommandHistory h;
    h.add("a");
    h.add("b");
    EXPECT_EQ(h.recallPrevious(), "b");
    h.add("   \t");
    EXPECT_EQ(h.size(), 2);
    EXPECT_EQ(h.recallPrevious(), "a");
}

TEST(CommandHistory, RecallWrapsAtBothEnds)
{
    CommandHistory h;
    EXPECT_TRUE(h.recallPrevious().isNull());
    for (const char* l : {"a", "b", "c"})
        h.add(l);
    EXPECT_EQ(h.recallNext(), "a");  // the first Down after an addition: the oldest
    h.add("d");
    EXPECT_EQ(h.recallPrevious(), "d");
    EXPECT_EQ(h.recallPrevious(), "c");
    EXPECT_EQ(h.recallNext(), "d");
    EXPECT_EQ(h.recallNext(), "a");
}

TEST(CommandHistory, LowerLimitTakesEffectAtTheNextNewLine)
{
    CommandHistory h(31);
    for (const QString& l : numbered(1, 20))
        h.add(l);
    h.setLimit(11);
    EXPECT_EQ(h.size(), 20);
    h.add("line 20");  // not new: nothing changes
    EXPECT_EQ(h.size(), 20);
    h.add("new");
    EXPECT_EQ(h.entries(), numbered(11, 20) << "new");
}

TEST(CommandHistory, FileLineEndsDoNotMatter)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("h.hist");
    const QByteArray forms[] = {"one\r\ntwo\r\nthree\r\n", "one\ntwo\nthree", "\n\none\n\ntwo\r\n\r\nthree\n\n"};
    for (const QByteArray& bytes : forms) {
        writeFile(path, bytes);
        CommandHistory h;
        ASSERT_TRUE(h.load(path));
        EXPECT_EQ(h.entries(), (QStringList{"one", "two", "three"})) << bytes.toStdString();
    }
}

TEST(CommandHistory, FileRoundTripKeepsAnyCharacter)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("h.hist");
    CommandHistory h;
    h.add("title Ω in µs");
    h.add("legend \"Tëmp 1\" 日本");
    ASSERT_TRUE(h.save(path));
    CommandHistory back;
    ASSERT_TRUE(back.load(path));
    EXPECT_EQ(back.entries(), h.entries());

    // A file written by another program in Latin-1 still reads.
    writeFile(path, QByteArray("title caf\xe9\n"));
    CommandHistory latin;
    latin.load(path);
    EXPECT_EQ(latin.entries(), QStringList{QStringLiteral("title café")});
}

TEST(CommandHistory, LoadingAppliesTheLimitAndMissingFilesLeaveItEmpty)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("h.hist");
    writeFile(path, numbered(1, 40).join('\n').toUtf8());
    CommandHistory h(31);
    h.load(path);
    EXPECT_EQ(h.entries(), numbered(10, 40));
    CommandHistory none;
    EXPECT_FALSE(none.load(dir.filePath("missing.hist")));
    EXPECT_TRUE(none.isEmpty());
}

TEST(CommandHistory, EmptyListLeavesTheFileAsItWas)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("h.hist");
    writeFile(path, "old\n");
    CommandHistory h;
    h.add("x");
    h.clear();
    EXPECT_EQ(h.cursor(), 0);
    EXPECT_TRUE(h.save(path));
    EXPECT_EQ(readFile(path), QByteArray("old\n"));
}

class HistoryFiles : public ::testing::Test {
protected:
    HistoryFiles()
    {
        kro::platform::openProgramSettings()->setValue("apppath", dir.path() + "/");
        kro::platform::openProgramSettings()->setValue("history", 3);
    }
    ~HistoryFiles() override
    {
        auto settings = kro::platform::openProgramSettings();
        settings->remove("apppath");
        settings->remove("history");
    }
    QTemporaryDir dir;
};

TEST_F(HistoryFiles, EachConsoleKindKeepsItsOwnFile)
{
    {
        CommandEdit commands("");
        CommandEdit debug("");
        commands.setConsoleKind(CommandEdit::CommandConsole);
        debug.setConsoleKind(CommandEdit::DebugConsole);
        EXPECT_EQ(commands.historyFilePath(), dir.filePath("command.hist"));
        EXPECT_EQ(debug.historyFilePath(), dir.filePath("debug.hist"));
        for (const char* l : {"a", "b", "c", "d", "e"})
            commands.command(l, true);
        debug.command("only here", true);
        debug.command("not here", false);
    }
    // The setting "history" is 3: four lines are kept.
    EXPECT_EQ(readFile(dir.filePath("command.hist")), QByteArray("b\nc\nd\ne\n"));
    EXPECT_EQ(readFile(dir.filePath("debug.hist")), QByteArray("only here\n"));

    CommandEdit again("");
    again.setConsoleKind(CommandEdit::CommandConsole);
    EXPECT_EQ(again.history().entries(), (QStringList{"b", "c", "d", "e"}));
    // A plain console has no file.
    CommandEdit plain("");
    EXPECT_TRUE(plain.historyFilePath().isEmpty());
}

TEST_F(HistoryFiles, HistoryCommandListsAndClears)
{
    CommandEdit console("");
    console.setConsoleKind(CommandEdit::CommandConsole);
    kro::test::ConsoleProbe probe(console);
    EXPECT_EQ(probe.run("history", false).printed, "The command history is empty.");

    probe.run("title one", true);
    probe.run("rescale", true);
    // Typed: the history command itself is recorded first, then left out.
    EXPECT_EQ(probe.run("history", true).printed, "1: title one\n2: rescale");
    EXPECT_EQ(console.history().entries(), (QStringList{"title one", "rescale"}));
    // From a script the line was never recorded: the entry before it stays.
    EXPECT_EQ(probe.run("hist", false).printed, "1: title one\n2: rescale");
    EXPECT_EQ(console.history().size(), 2);

    probe.run("history clear", true);
    EXPECT_EQ(console.history().entries(), QStringList{"history clear"});
    EXPECT_EQ(probe.run("history", true).printed, "1: history clear");
    EXPECT_EQ(console.history().cursor(), 1);
}
