// The help table and the help command.
#include "command/commandedit.h"
#include "command/commandhelp.h"
#include "core/specialsymbols.h"

#include "console_probe.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const std::vector<CommandHelp>& table()
{
    static const std::vector<CommandHelp> t = buildCommandHelp();
    return t;
}

QString textOf(const char* word)
{
    const CommandHelp* e = findCommandHelp(table(), word);
    return e ? e->text : QString();
}

class HelpCommand : public ::testing::Test {
protected:
    HelpCommand() : console(""), probe(console) {}
    CommandEdit console;
    kro::test::ConsoleProbe probe;
};

} // namespace

TEST(CommandHelpTable, HasTheSeventyFourEntriesInOrder)
{
    ASSERT_EQ(table().size(), 74u);
    const char* firstNames[] = {"Add", "Addx", "Div", "Divx", "Mul", "Mulx", "Sub", "Subx", "\\", "Bar"};
    for (size_t i = 0; i < std::size(firstNames); ++i)
        EXPECT_EQ(table()[i].name, firstNames[i]);
    EXPECT_EQ(table().back().name, "Ylbl");
    EXPECT_EQ(table()[12].name, "Cacher");
    EXPECT_EQ(table()[12].alias, "cacheretrieve");
}

TEST(CommandHelpTable, NamesAndAliasesAreUniqueAndTextsFollowTheLayout)
{
    QSet<QString> words;
    const QStringList labels{"Format  : ", "Purpose : ", "Options : ", "Example : ", "Notes   : ", QString(10, ' ')};
    for (const CommandHelp& e : table()) {
        SCOPED_TRACE(e.name);
        for (const std::string& w : {e.name, e.alias}) {
            if (w.empty())
                continue;
            const QString lower = QString::fromStdString(w).toLower();
            EXPECT_FALSE(words.contains(lower)) << w;
            words.insert(lower);
        }
        EXPECT_TRUE(e.text.startsWith("Format  : "));
        if (e.name == "/")
            continue;  // its symbol rows are a table of their own
        for (const QString& line : e.text.split('\n')) {
            bool labelled = false;
            for (const QString& l : labels)
                labelled = labelled || line.startsWith(l) || line == "        : " || line.startsWith("        : ");
            EXPECT_TRUE(labelled) << line.toStdString();
        }
    }
}

TEST(CommandHelpTable, SharedBodiesAreShared)
{
    const QString add = textOf("add");
    EXPECT_TRUE(add.startsWith("Format  : Add(y) <{value|function}> [Cj]\nPurpose : This command is part of the "
                               "arithmetic method group:"));
    EXPECT_EQ(textOf("ADDY"), add);
    const QString body = add.mid(add.indexOf('\n'));
    for (const char* w : {"addx", "div", "divx", "mul", "mulx", "sub", "subx"})
        EXPECT_EQ(textOf(w).mid(textOf(w).indexOf('\n')), body) << w;
    EXPECT_TRUE(textOf("addx").startsWith("Format  : Addx <{value|function}> [Cj]\n"));
    EXPECT_TRUE(textOf("suby").startsWith("Format  : Sub(y) <{value|function}> [Cj]\n"));
    EXPECT_EQ(textOf("granh"), textOf("gran"));
    EXPECT_EQ(textOf("granv"), textOf("gran"));
    EXPECT_EQ(textOf("gridv"), textOf("grid"));
    EXPECT_EQ(textOf("gridh"), textOf("grid"));
}

TEST(CommandHelpTable, LookupIsExactAndIgnoresCase)
{
    EXPECT_EQ(findCommandHelp(table(), "cacheretrieve")->name, "Cacher");
    EXPECT_EQ(findCommandHelp(table(), "LINEW")->name, "Linewidth");
    EXPECT_EQ(findCommandHelp(table(), "legendposition")->name, "Legendpos");
    for (const char* w : {"mult", "add C1", "lin", "", "xlabel", "Ω"})
        EXPECT_EQ(findCommandHelp(table(), w), nullptr) << w;
}

TEST(CommandHelpTable, FixedTextsStandAsWritten)
{
    EXPECT_EQ(textOf("\\"), "Format  : \\n\nPurpose : \\ is used as \\n in labeling to indicate a new line");
    EXPECT_EQ(textOf("stats"), "Format  : Stats\nPurpose : Displays a data statistics table.");
    EXPECT_TRUE(textOf("function").startsWith("Format  : <function>([{x|y*}], [{Cj|\"Cj\"}])\nOptions : Ok, we know"));
    EXPECT_TRUE(textOf("help").contains(
        "For example: \"help legendpos\" will show \"Legendpos <{off|top|bottom|left|right}>\""));
    EXPECT_TRUE(textOf("legendpos").startsWith("Format  : Legendpos <{off|top|bottom|left|right}>\n"));
    EXPECT_TRUE(textOf("cd").contains(QStringLiteral("Toolsets→System→Default Settings")));
}

TEST(CommandHelpTable, ListShowsSortedNamesInRowsOfSix)
{
    const QStringList lines = commandHelpList(table()).split('\n');
    // Title, rule, 13 rows, rule, closing line, and the final line feed.
    ASSERT_EQ(lines.size(), 18);
    EXPECT_EQ(lines[0], "Available Commands");
    EXPECT_EQ(lines[1], QString(72, '-'));
    EXPECT_EQ(lines[2], "/           Add         Addx        Bar         Barfloor    Cache       ");
    EXPECT_EQ(lines[14], "Ylbl        \\           ");
    EXPECT_EQ(lines[15], QString(72, '-'));
    EXPECT_EQ(lines[16], "Type: help <command> for specified command details.");
    EXPECT_FALSE(lines.join(' ').contains("cacheretrieve"));
}

TEST(CommandHelpTable, SymbolListingFourToALine)
{
    const std::vector<HelpSymbol> symbols{
        {"ALPHA", QChar(0x391)}, {"pi", QChar(0x3C0)}, {"integral", QChar(0x222B)}, {"OHMS", QChar(0x3A9)},
        {"mu", QChar(0x3BC)}};
    EXPECT_EQ(symbolHelpText(symbols),
              "Format  : /symbol\n"
              "Purpose : / is used in KRO labeling to indicate a special character.\n"
              "          The following symbols are available...\n" +
                  QString(68, '-') + "\n" +
                  QStringLiteral("/ALPHA    - Α  /pi       - π  /integral - ∫  /OHMS     - Ω  \n/mu       - μ  "));
    // The table's own listing: every symbol of the program's table.
    const QString listing = textOf("/");
    for (const SpecialSymbol& s : specialSymbols())
        EXPECT_TRUE(listing.contains("/" + s.name + " ")) << s.name.toStdString();
}

TEST_F(HelpCommand, PrintsTheListOrOneEntry)
{
    const QString list = commandHelpList(console.helpTable());
    for (const char* line : {"help", "HELP", "help    "})
        EXPECT_EQ(probe.run(line).printed + "\n", list) << line;
    for (const char* line : {"help ADD", "help addy", "help Addy"})
        EXPECT_EQ(probe.run(line).printed, textOf("add")) << line;
    EXPECT_EQ(probe.run("help cacheretrieve").printed, textOf("cacher"));
    EXPECT_EQ(probe.run("help /").printed, textOf("/"));
    EXPECT_EQ(probe.run("help \\").printed, textOf("\\"));
    EXPECT_EQ(probe.run("help function").printed, textOf("function"));
    EXPECT_EQ(probe.run("help add C1").printed, "No help available - command is invalid.");
    EXPECT_TRUE(probe.run("help linewidth").calls.isEmpty());
}

TEST_F(HelpCommand, EveryDocumentedCommandIsKnownToTheDispatcher)
{
    // Typed alone, a documented word either runs, prints its own usage, or is
    // named as misused: never "Command not found.".
    for (const CommandHelp& e : console.helpTable()) {
        if (e.name == "\\" || e.name == "/" || e.name == "Function")
            continue;
        for (const std::string& w : {e.name, e.alias}) {
            if (w.empty())
                continue;
            EXPECT_NE(probe.run(QString::fromStdString(w)).printed, "Command not found.") << w;
        }
    }
}

namespace {

// The command lines a help text gives as examples: on each line of its
// "Example" item, the first double-quoted text (which may itself hold
// quoted words, as in "legend "First run" Run2").
QStringList exampleCommands(const QString& text)
{
    QStringList commands;
    bool inExamples = false;
    for (const QString& line : text.split('\n')) {
        if (line.startsWith("Example : "))
            inExamples = true;
        else if (!line.startsWith(QString(10, ' ')) && !line.startsWith("        : "))
            inExamples = false;
        if (!inExamples)
            continue;
        const qsizetype open = line.indexOf('"');
        if (open < 0)
            continue;
        int quotes = 0;
        for (qsizetype i = open + 1; i < line.size(); ++i) {
            if (line[i] != '"')
                continue;
            const bool closes = i + 1 == line.size() || line[i + 1] == ' ' || line[i + 1] == ',';
            if (closes && quotes % 2 == 0) {
                commands << line.mid(open + 1, i - open - 1);
                break;
            }
            ++quotes;
        }
    }
    return commands;
}

} // namespace

TEST_F(HelpCommand, EveryExampleRunsTheCommandItShows)
{
    // An example a user copies from the help must reach its command: no
    // "not found", no usage message, and no script call hidden in a pattern.
    // The examples run in a folder of their own ("sink session.log" writes).
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString savedCwd = QDir::currentPath();
    QDir::setCurrent(folder.path());
    int examples = 0;
    for (const CommandHelp& e : console.helpTable()) {
        for (const QString& line : exampleCommands(e.text)) {
            SCOPED_TRACE(e.name + ": " + line.toStdString());
            ++examples;
            const kro::test::ConsoleProbe::Result r = probe.run(line);
            for (const char* refusal : {"Command not found.", "not properly formatted", "Invalid use of command",
                                        "Invalid command", "Missing parameters", "Invalid function usage"})
                EXPECT_FALSE(r.printed.contains(refusal)) << r.printed.toStdString();
            for (const QString& call : r.calls)
                EXPECT_FALSE(call.startsWith("kroscript")) << call.toStdString();
        }
    }
    QDir::setCurrent(savedCwd);
    EXPECT_GT(examples, 100);  // the parser found the examples
}
