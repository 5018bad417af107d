#include <gtest/gtest.h>

#include "support/qtprinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "gui/scriptfile.h"
#include "support/files.h"

namespace {

// Runs a script text the way a call does: substitution, then assembly.
struct Outcome {
    QStringList commands;
    int missing = -1;
};

Outcome run(const QString& fileText, const QStringList& tokens)
{
    QString text = scriptTextFromBytes(fileText.toUtf8());
    if (const auto missing = substituteScriptParameters(text, tokens))
        return {{}, *missing};
    return {scriptCommands(text), -1};
}

using kro::test::writeFile;

} // namespace

TEST(ScriptFile, SubstitutionCommentsAndContinuations)
{
    struct Row {
        const char* what;
        const char* text;
        QStringList tokens;
        QStringList commands;
        int missing;
    };
    const Row rows[] = {
        {"first argument", "title %1\n", {"a.krs", "x"}, {"title x"}, -1},
        {"argument with a blank is quoted", "title %1\n", {"a.krs", "two words"}, {"title \"two words\""}, -1},
        {"%0 is the name as written", "title %0\n", {"sub/a.krs", "x"}, {"title sub/a.krs"}, -1},
        {"%1 is replaced inside %12", "title %1 %12\n", {"a.krs", "A"}, {"title A A2"}, -1},
        {"missing parameter runs nothing", "title %1\nrescale %2\n", {"a.krs", "x"}, {}, 2},
        {"first missing reference found is reported", "title %3 %2\n", {"a.krs"}, {}, 3},
        {"references in comments need their argument", "-->made for %1\nrescale\n", {"a.krs"}, {}, 1},
        {"continuation joins without separator", "kro -x 1 -y 2 ...\n-f a.dat\n", {"s"},
         {"kro -x 1 -y 2 -f a.dat"}, -1},
        {"a bare ... line has no effect", "title a\n...\nrescale\n", {"s"}, {"title a", "rescale"}, -1},
        {"a file ending in a continued line", "title a...", {"s"}, {"title a"}, -1},
        {"a comment between joined lines is skipped", "title a ...\n-->note\nb\nrescale\n", {"s"},
         {"title a b", "rescale"}, -1},
        {"a blank before --> is no comment", " -->x\n", {"s"}, {" -->x"}, -1},
        {"a line of blanks is submitted", "title a\n   \nrescale\n", {"s"}, {"title a", "   ", "rescale"}, -1},
        {"CR LF lines: comments and continuations work", "title a...\r\nb\r\n-->c\r\nrescale\r\n", {"s"},
         {"title ab", "rescale"}, -1},
        {"only comments and empty lines", "-->a\n\n-->b\n", {"s"}, {}, -1},
        {"an argument holding a reference is not searched again", "echo %1 and %1\n", {"s", "%2"},
         {"echo %2 and %2"}, -1},
        {"an argument referring to itself ends", "echo %1\n", {"s", "%1"}, {"echo %1"}, -1},
        {"a reference too long to read is passed over", "x %10000000000000000000 %1\n", {"s", "a"},
         {"x a0000000000000000000 a"}, -1},
    };
    for (const Row& r : rows) {
        const Outcome o = run(QString::fromUtf8(r.text), r.tokens);
        EXPECT_EQ(o.missing, r.missing) << r.what;
        EXPECT_EQ(o.commands, r.commands) << r.what;
    }
}

// Substitution keeps no bookkeeping inside the text: a script may hold any
// character, every private-use one and NUL included.
TEST(ScriptFile, SubstitutionLeavesEveryOtherCharacterAlone)
{
    QString privateUse;
    for (char16_t c = 0xE000; c <= 0xF8FF; ++c)
        privateUse += QChar(c);
    const QString nul(QChar(u'\0'));
    QString text = privateUse + QStringLiteral(" %1 ") + nul + QStringLiteral(" %2%1");
    EXPECT_FALSE(substituteScriptParameters(text, {"s.krs", "A", "B"}).has_value());
    EXPECT_EQ(text, privateUse + QStringLiteral(" A ") + nul + QStringLiteral(" BA"));
}

TEST(ScriptFile, TextIsUtf8OrElseLatin1)
{
    EXPECT_EQ(scriptTextFromBytes("title caf\xc3\xa9\r\n"), QString::fromUtf8("title caf\u00e9\n"));
    EXPECT_EQ(scriptTextFromBytes("title caf\xe9\n"), QString::fromUtf8("title caf\u00e9\n"));
}

TEST(ScriptFile, LoadFindsBareNamesInTheScriptsFolderAndReportsFailures)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString scripts = dir.filePath("scripts");
    QDir().mkpath(scripts);
    writeFile(scripts + "/plot.krs", "kro -f %1 -x 1 -y 2\nrescale\ntitle Done\n");
    writeFile(dir.filePath("my scripts.krs"), "title %0\n");
    writeFile(dir.filePath("params.krs"), "title %1 %2\n");

    ScriptLoad load = loadScript("plot.krs data.dat", {"plot.krs", "data.dat"}, scripts);
    EXPECT_EQ(load.status, ScriptLoad::Loaded);
    EXPECT_EQ(load.path, scripts + "/plot.krs");
    EXPECT_EQ(load.commands, QStringList({"kro -f data.dat -x 1 -y 2", "rescale", "title Done"}));
    EXPECT_TRUE(load.entersHistory());

    // A path with blanks, as the directory browser passes it.
    const QString spaced = dir.filePath("my scripts.krs");
    load = loadScript(spaced, {dir.filePath("my"), "scripts.krs"}, scripts);
    EXPECT_EQ(load.status, ScriptLoad::Loaded);
    EXPECT_EQ(load.commands, QStringList({"title \"" + spaced + "\""}));

    load = loadScript("nofile.krs", {"nofile.krs"}, scripts);
    EXPECT_EQ(load.status, ScriptLoad::NotFound);
    EXPECT_EQ(load.message, "KroScript file " + scripts + "/nofile.krs does not exist");
    EXPECT_FALSE(load.entersHistory());

    load = loadScript("sub/nofile.krs 1", {"sub/nofile.krs", "1"}, scripts);
    EXPECT_EQ(load.message, "KroScript file sub/nofile.krs does not exist");

    load = loadScript(dir.filePath("params.krs") + " a", {dir.filePath("params.krs"), "a"}, scripts);
    EXPECT_EQ(load.status, ScriptLoad::MissingParameter);
    EXPECT_EQ(load.message, "KroScript Error: Parameter 2 was not found on input.");
    EXPECT_TRUE(load.commands.isEmpty());
    EXPECT_TRUE(load.entersHistory());

    // "~/" names the home folder, as in a shell.
    writeFile(QDir::home().filePath("home-script.krs"), "title home\n");
    load = loadScript("~/home-script.krs", {"~/home-script.krs"}, scripts);
    QFile::remove(QDir::home().filePath("home-script.krs"));
    EXPECT_EQ(load.status, ScriptLoad::Loaded);
    EXPECT_EQ(load.commands, QStringList({"title home"}));

    load = loadScript(scripts, {scripts}, QString());  // a folder cannot be read as a script
    EXPECT_EQ(load.status, ScriptLoad::Unreadable);
    EXPECT_TRUE(load.message.startsWith("Could not open file for reading: "));
}

TEST(ScriptQueue, ScriptsPastesAndEditorRunsKeepTheirOrder)
{
    ScriptQueue q;
    q.pushScript({"a1", "a2", "a3"});
    EXPECT_EQ(q.takeNext(), "a1");
    // A paste of three lines while the script runs: the console emits them
    // last line first; they run next, in paste order.
    for (const char* line : {"p3", "p2", "p1"})
        q.pushHead(line);
    EXPECT_EQ(q.pending(), QStringList({"p1", "p2", "p3", "a2", "a3"}));
    EXPECT_EQ(q.takeNext(), "p1");
    // A line that calls another script: that script completes first.
    q.pushScript({"b1", "-->note", "b2"});
    EXPECT_EQ(q.takeNext(), "b1");
    EXPECT_EQ(q.takeNext(), "b2");  // a comment at the head is dropped
    EXPECT_EQ(q.pending(), QStringList({"p2", "p3", "a2", "a3"}));
    // The editor's run replaces everything queued (its lines last first).
    q.replace({"e2", "e1"});
    EXPECT_EQ(q.takeNext(), "e1");
    EXPECT_EQ(q.takeNext(), "e2");
    EXPECT_EQ(q.takeNext(), std::nullopt);
    q.pushHead("-->only a comment");
    EXPECT_EQ(q.takeNext(), std::nullopt);
    EXPECT_TRUE(q.isEmpty());
}
