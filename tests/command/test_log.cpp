// Command and debug logs: real files in a temporary folder.
#include "command/commandedit.h"
#include "command/commandlog.h"

#include "console_probe.h"
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString readFile(const QString& path) { return QString::fromUtf8(kro::test::readFile(path)); }

// The entries of a log file with their time stamps replaced by "<stamp>".
QString withoutStamps(const QString& text)
{
    static const QRegularExpression stamp(R"([A-Z][a-z]{2} \d\d, \d{4} \(\d\d:\d\d:\d\d\) )");
    QString out = text;
    out.replace(stamp, "<stamp>");
    return out;
}

class Log : public ::testing::Test {
protected:
    Log() : console("Banner\n"), probe(console) { console.setConsoleKind(CommandEdit::CommandConsole); }
    QString path(const char* name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    CommandEdit console;
    kro::test::ConsoleProbe probe;
};

} // namespace

TEST(CommandLog, TimeStampHasTwentyFourCharacters)
{
    const QDateTime when(QDate(2021, 8, 1), QTime(9, 5, 3));
    EXPECT_EQ(CommandLog::timeStamp(when), "Aug 01, 2021 (09:05:03) ");
}

TEST(CommandLog, EntryIndentsContinuationLinesUnderTheStamp)
{
    QTemporaryDir dir;
    CommandLog log;
    log.setLabel("Command log ");
    ASSERT_EQ(log.setFile(dir.filePath("a.log")), "Info: Command log file set to " + dir.filePath("a.log"));
    const QDateTime when(QDate(2021, 8, 1), QTime(23, 59, 59));
    EXPECT_TRUE(log.write("first\n  second", when).isNull());
    EXPECT_TRUE(log.write("", when).isNull());
    EXPECT_EQ(readFile(dir.filePath("a.log")),
              "\nAug 01, 2021 (23:59:59) > first\n" + QString(24, ' ') + "  second");
}

TEST_F(Log, SinkCommandsDriveTheLog)
{
    const QString file = path("session.log");
    EXPECT_EQ(probe.run("sink").printed, "Command log file has not been set.");
    EXPECT_EQ(probe.run("sink on").printed, "Warning: You cannot enable a Command log file before it has been set.");
    EXPECT_EQ(probe.run("sink disable").printed,
              "Warning: There is no need to disable the Command log file - it has not yet been set.");
    EXPECT_EQ(probe.run("sink " + file).printed, "Info: Command log file set to " + file);
    EXPECT_EQ(probe.run("sink").printed, "(Enabled) Command log file: " + file);

    probe.run("title Logged");
    probe.run("crop 1");
    EXPECT_EQ(probe.run("sink off").printed, "Command log file " + file + " disabled");
    probe.run("title Not logged");
    EXPECT_EQ(probe.run("sink").printed, "(Disabled) Command log file: " + file);
    EXPECT_EQ(probe.run("sink ENABLE").printed, "Command log file " + file + " enabled");

    EXPECT_EQ(withoutStamps(readFile(file)),
              "\n<stamp>> Info: Command log file set to " + file +  // the first entry of the new log
                  "\n<stamp>> sink" + "\n<stamp>> (Enabled) Command log file: " + file +
                  "\n<stamp>> title Logged" + "\n<stamp>> crop 1" +
                  "\n<stamp>> Command Info: The command \"crop 1\" is not properly formatted." +
                  "\n<stamp>> sink off" + "\n<stamp>> Command log file " + file + " disabled" +
                  "\n<stamp>> Command log file " + file + " enabled");
}

TEST_F(Log, SinkWithoutBlankNamesTheFile)
{
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    EXPECT_EQ(probe.run("sinklog.txt").printed, "Info: Command log file set to log.txt");
    QDir::setCurrent(previous);
    EXPECT_TRUE(QFile::exists(path("log.txt")));
}

TEST_F(Log, ExistingFileIsAppendedTo)
{
    const QString file = path("old.log");
    kro::test::writeFile(file, "earlier\n");
    console.setLogFile(file);
    EXPECT_TRUE(readFile(file).startsWith("earlier\n\n"));
}

TEST_F(Log, MultiLineMessageIsOneEntry)
{
    const QString file = path("m.log");
    console.setLogFile(file);
    console.transcript("one\ntwo");
    EXPECT_TRUE(withoutStamps(readFile(file)).endsWith("\n<stamp>> one\n" + QString(24, ' ') + "  two"));
}

TEST_F(Log, UnwritableFileIsRefusedAndTheRunningLogKept)
{
    const QString good = path("good.log");
    console.setLogFile(good);
    const auto r = probe.run("sink " + path("no/such/dir/x.log"));
    EXPECT_TRUE(r.printed.startsWith("Error: could not open Command log file for writing: ")) << r.printed.toStdString();
    EXPECT_EQ(probe.run("sink").printed, "(Enabled) Command log file: " + good);
}

TEST_F(Log, LogThatBecomesUnwritableSwitchesItselfOff)
{
    QDir sub(dir.filePath("sub"));
    ASSERT_TRUE(sub.mkpath("."));
    const QString file = sub.filePath("x.log");
    console.setLogFile(file);
    ASSERT_TRUE(sub.removeRecursively());

    const auto r = probe.run("title after");
    EXPECT_EQ(r.calls, QStringList{R"(title("after"))"});
    EXPECT_TRUE(r.printed.startsWith("Error: Disabling Command log file. " + file +
                                     " could not open file for writing: "))
        << r.printed.toStdString();
    EXPECT_EQ(probe.run("sink").printed, "Command log file has not been set.");
}

TEST(CommandLog, DebugConsoleSpeaksOfTheDebugLog)
{
    CommandEdit debug("");
    debug.setConsoleKind(CommandEdit::DebugConsole);
    kro::test::ConsoleProbe probe(debug);
    EXPECT_EQ(probe.run("sink").printed, "Debug log file has not been set.");
}
