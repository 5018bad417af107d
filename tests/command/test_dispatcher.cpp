// The dispatcher: every command pattern, in the dispatcher's order, with
// the signal and arguments it prepares or the message it prints.
#include "command/commandedit.h"
#include "core/messages.h"
#include "core/settings.h"
#include "platform/platform.h"

#include "console_probe.h"
#include "support/files.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using kro::test::ConsoleProbe;

namespace {

struct Case {
    const char* line;
    // The call prepared, written as ConsoleProbe describes it; or, after a
    // '!', the message printed instead (and no call). Empty: neither.
    const char* expected;
};

// Lines in the order of the command patterns they exercise.
const Case kCases[] = {
    // 1 add family: the whole line goes to the plot's arithmetic.
    {"add 5", R"~(addmult("add 5"))~"},
    {"MULTY 2 C1", R"~(addmult("MULTY 2 C1"))~"},
    {"sub 1", R"~(addmult("sub 1"))~"},
    {"mul 2", R"~(addmult("mul 2"))~"},
    {"subx mean(x, Cj)", R"~(addmult("subx mean(x, Cj)"))~"},
    {"divx 1e3 C2", R"~(addmult("divx 1e3 C2"))~"},
    {"ADDX", R"~(!Invalid command usage (ADDX): Missing parameters. Type "help ADDX" for proper syntax.)~"},
    {"addition 5", "!Command not found."},
    // 2 bar: on and off compare exactly.
    {"bar", "bar(8)"},
    {"bar on", "bar(1)"},
    {"bar off", "bar(2)"},
    {"bar ON", R"~(!Invalid command (bar ON) usage: Type "help bar" for proper syntax.)~"},
    // 3 barfloor
    {"barfloor", "barfloor(0,true)"},
    {"barfloor auto", "barfloor(1.7976931348623157e+308,false)"},
    {"barfloor 2.5", "barfloor(2.5,false)"},
    {"barfloor AUTO", "barfloor(0,false)"},
    {"barfloor x", R"~(!Command Info: The command "barfloor x" is not properly formatted.)~"},
    {"barf 2", "!Command not found."},
    // 4, 5 cache and retrieve
    {"cache", "cache(1)"},
    {"cache now", "cache(1)"},
    {"cacher", "cache(2)"},
    {"CacheRetrieve", "cache(2)"},
    // 6 cd
    {"cd", "cd(null)"},
    {"cd /tmp/my data", R"~(cd("/tmp/my data"))~"},
    // 7, 8, 9 clear, closeall, closetab
    {"clear", "clearplot()"},
    {"clear all", "clearplot()"},
    {"closeall", "closeall()"},
    {"close", "closetab(null)"},
    {"closetab Thermal", R"~(closetab("Thermal"))~"},
    {"close Thermal 2", R"~(closetab("Thermal 2"))~"},
    // 10 copy
    {"copy C1 Results", R"~(copycurves("C1 Results"))~"},
    {"copy", R"~(!Invalid command usage (copy): Missing parameters. Type "help copy" for proper syntax.)~"},
    // 11 crop
    {"crop 1 2", "crop([1,2],{1,ALL})"},
    {"Crop 1 2 3 4 C2", "crop([1,2,3,4],{1,1})"},
    {"crop   1  2", "crop([1,2],{1,ALL})"},
    {"crop 1,2 C1,C3", "crop([1,2],{2,0,2})"},
    {"crop -1.5 2e3 all", "crop([-1.5,2000],{1,ALL})"},
    {"crop 1", R"~(!Command Info: The command "crop 1" is not properly formatted.)~"},
    {"crop 1 2 junk", R"~(!Command Info: The command "crop 1 2 junk" is not properly formatted.)~"},
    // 12 csum, with the id-list forms
    {"csum", "csum({1,ALL})"},
    {"csum C2 C3", "csum({2,1,2})"},
    {"csum c3", "csum({1,2})"},
    {"csum C3 C1 C3", "csum({3,2,0,2})"},
    {"csum C1 all", "csum({2,0,-1})"},
    {"csum C0", "csum({1,-1})"},
    {"csum C1C2", R"~(!Command Info: The command "csum C1C2" is not properly formatted.)~"},
    // 13 debug needs its word
    {"debug on", "debug(true)"},
    {"debug ENABLE", "debug(true)"},
    {"Debug Off", "debug(false)"},
    {"debug disable", "debug(false)"},
    {"debug", "!Command not found."},
    // 14 diff
    {"diff", "differentiate({1,ALL})"},
    {"diff3 C2", "ndiff(3,{1,1})"},
    {"diff0", "!Invalid command (diff0) usage: Difference order of 0 is not valid.\n"
              "Type \"help diff\" for proper syntax."},
    {"diff99999999999", "!Invalid command (diff99999999999) usage: Difference order of 99999999999 is not valid.\n"
                        "Type \"help diff\" for proper syntax."},
    {"diff 2", R"~(!Command Info: The command "diff 2" is not properly formatted.)~"},
    // 15 dmark
    {"dmark M1 M2", "adddmarker(1,2)"},
    {"dmarker M5 M2", "adddmarker(5,2)"},
    {"dmark M1", R"~(!Invalid command usage (dmark M1): Dmarker must be followed by two valid marker identifiers. Type "help dmarker" for proper syntax.)~"},
    {"dmark M1 M2 M3", R"~(!Invalid command usage (dmark M1 M2 M3): Dmarker must be followed by two valid marker identifiers. Type "help dmarker" for proper syntax.)~"},
    {"dmark C1 C2", R"~(!Command Info: The command "dmark C1 C2" is not properly formatted.)~"},
    // 16, 17, 18 exec, exit, expr
    {"exec gedit \"my notes.txt\"", R"~(exec("gedit "my notes.txt""))~"},
    {"execute", R"~(!Invalid command usage (execute): Missing parameters. Type "help exec" for proper syntax.)~"},
    {"exit", "exit()"},
    {"exit now", "exit()"},
    {"expr C1*2+sin(C2)", R"~(expr("C1*2+sin(C2)"))~"},
    {"expr", R"~(!Invalid command usage (expr): Missing parameters. Type "help expr" for proper syntax.)~"},
    // 19 kro, before the script name
    {"kro -f data.txt -x 1 -y 2", R"~(kroplot("kro -f data.txt -x 1 -y 2"))~"},
    {"KRO -f a.krs", R"~(kroplot("KRO -f a.krs"))~"},
    {"kro", R"~(!Invalid command usage (kro): Missing parameters. Type "help kro" for proper syntax.)~"},
    // 20 a script name anywhere before a blank: taken before every later command
    {"run.krs 1 2", R"~(kroscript("run.krs 1 2"))~"},
    {"RUN.KRS", R"~(kroscript("RUN.KRS"))~"},
    {"title results.krs", R"~(kroscript("title results.krs"))~"},
    {"help run.krs", R"~(kroscript("help run.krs"))~"},
    {"title results.krsx", R"~(title("results.krsx"))~"},
    // A quoted name (the start-up command quotes arguments holding blanks)
    {"\"my script.krs\" \"two words\" ", R"~(kroscript(""my script.krs" "two words""))~"},
    {"\"/data/My Scripts/run.KRS\"", R"~(kroscript(""/data/My Scripts/run.KRS""))~"},
    // 21 footnote
    {"footnote", "footnote(null)"},
    {"footnote Measured at 20 /degC", R"~(footnote("Measured at 20 /degC"))~"},
    // 22 statistic calls, before the mean command
    {"max(C1)", R"~(function("Max",'y',false,{1,0}))~"},
    {"mean(x Cj)", R"~(function("Mean",'x',true,{1,ALL}))~"},
    {"median(C1)", R"~(function("Median",'y',false,{1,0}))~"},
    {"minview()", R"~(function("Minview",'y',false,{1,ALL}))~"},
    {"MAX(x, C1 C3) trailing words", R"~(function("MAX",'x',false,{2,0,2}))~"},
    {"kurtosis(y C2)", R"~(function("Kurtosis",'y',false,{1,1}))~"},
    {"maxview(x)", R"~(function("Maxview",'x',false,{1,ALL}))~"},
    {"min(C1)", R"~(function("Min",'y',false,{1,0}))~"},
    {"rms(C1)", R"~(function("Rms",'y',false,{1,0}))~"},
    {"stdev(C2)", R"~(function("Stdev",'y',false,{1,1}))~"},
    {"Sum(C1 C4)", R"~(function("Sum",'y',false,{2,0,3}))~"},
    {"var(Cj)", R"~(function("Var",'y',true,{1,ALL}))~"},
    {"mean(Cj C1)", "!Invalid function usage (mean(Cj C1)): You cannot mix Cn with curve IDs.\n"
                    "Type \"help function\" for more information."},
    // The message names the whole line, also the text after the call.
    {"mean(Cj C1) now", "!Invalid function usage (mean(Cj C1) now): You cannot mix Cn with curve IDs.\n"
                        "Type \"help function\" for more information."},
    {"max(Cn)", R"~(!Command Info: The command "max(Cn)" is not properly formatted.)~"},
    // 23 gran family
    {"gran", "gran(0,0,18)"},
    {"gran 5", "gran(5,0,33)"},
    {"gran 5 auto", "gran(5,-1,9)"},
    {"granx auto", "gran(-1,0,33)"},
    {"granh 2", "gran(0,2,12)"},
    {"grany", "gran(0,0,20)"},
    {"granv 1 2", R"~(!Command Info: The command "granv 1 2" is not properly formatted.)~"},
    // 24 grid family
    {"grid on", "grid(3,true)"},
    {"grid vertical off", "grid(1,false)"},
    {"GRID Horiz ON", "grid(2,true)"},
    {"gridh on", "grid(2,true)"},
    {"gridv horizontal on", "grid(1,true)"},
    {"grid", "!Invalid function usage (grid).\nType \"help grid\" for more information."},
    {"grid sideways on", "!Invalid function usage (grid sideways on).\nType \"help grid\" for more information."},
    // 25 help (its texts are tested with the help table)
    {"help mult", "!No help available - command is invalid."},
    {"help add C1", "!No help available - command is invalid."},
    // 26 history (its lists are tested with the history)
    {"history foo", R"~(!Command Info: The command "history foo" is not properly formatted.)~"},
    // 27 hmark passes its text unchecked
    {"hmark abc", R"~(addhmarker("abc"))~"},
    {"hmarker 1.5, 2;3", R"~(addhmarker("1.5, 2;3"))~"},
    {"hmark", R"~(!Invalid command usage (hmark): Missing parameters. Type "help hmarker" for proper syntax.)~"},
    // 28 layout
    {"layout", "layout(null)"},
    {"layout quad", R"~(layout("quad"))~"},
    {"layout STACKED", R"~(layout("STACKED"))~"},
    {"layout stacked quad", R"~(!Command Info: The command "layout stacked quad" is not properly formatted.)~"},
    // 29 legend
    {R"~(legend "First run" Run2)~", R"~(legend(["First run","Run2"]))~"},
    {"legend Tëmp µs", R"~(legend(["Tëmp","µs"]))~"},
    {"legend", R"~(!Invalid command usage (legend): Missing parameters. Type "help legend" for proper syntax.)~"},
    // 30 legendpos
    {"legendpos Top", R"~(legendpos("top"))~"},
    {"legenddock off", R"~(legendpos("off"))~"},
    {"legendposition right", R"~(legendpos("right"))~"},
    {"legendpos middle", R"~(!Invalid command usage (legendpos middle): Type "help legendpos" for proper syntax.)~"},
    {"legendpos", R"~(!Invalid command usage (legendpos): Type "help legendpos" for proper syntax.)~"},
    // 31 line
    {"lines off C2", "lines({1,1},2)"},
    {"lines C2", "lines({1,1},8)"},
    {"lines ON", "lines({1,ALL},8)"},
    {"line on", "lines({1,ALL},1)"},
    {"lines maybe", R"~(!Command Info: The command "lines maybe" is not properly formatted.)~"},
    // 32 linewidth
    {"linew", "linewidth(-1)"},
    {"linew 0", "linewidth(0)"},
    {"linewidth 3", "linewidth(3)"},
    {"linew -1", "!Invalid command (linew -1) usage: Linewidth must be followed by a valid integer\n"
                 "greater than or equal to 0. Type \"help linewidth\" for proper syntax."},
    {"linew x", R"~(!Command Info: The command "linew x" is not properly formatted.)~"},
    // 33 link
    {"link 192.168.0.10 5025 Counter", R"~(link("192.168.0.10",5025,"Counter"))~"},
    {"link 10.0.0.1 23 Frequency Counter", R"~(link("10.0.0.1",23,"Frequency Counter"))~"},
    {"link 5025 Counter", R"~(!Command Info: The command "link 5025 Counter" is not properly formatted.)~"},
    {"link 10.0.0.1 70000 Box", R"~(!Invalid command (link 10.0.0.1 70000 Box) usage: The port must be a number from 1 to 65535. Type "help link" for proper syntax.)~"},
    // 34 loaddevices
    {"loaddevices my devices.json", R"~(loaddevices("my devices.json"))~"},
    {"loaddevices devices.txt", R"~(!Command Info: The command "loaddevices devices.txt" is not properly formatted.)~"},
    // 35 ls
    {"ls", R"~(ls("",false))~"},
    {"ls -l", R"~(ls("",true))~"},
    {"ls -l *.dat", R"~(ls("*.dat",true))~"},
    {"ls *.krs", R"~(kroscript("ls *.krs"))~"},
    {"dir C:\\data", R"~(ls("C:\data",false))~"},
    {"ls -la", R"~(!Invalid command (ls -la) usage: argument -la is unrecognized. Did you mean "-l"?)~"},
    {"lsblk", "!Command not found."},
    // 36, 37 mean and meanaggr
    {"mean", "mean({1,ALL})"},
    {"mean C1", "mean({1,0})"},
    {"meanaggr C1 C2", "meanaggr({2,0,1})"},
    // 38, 39 move, newtab
    {"move C2 Results:Q2", R"~(movecurves("C2 Results:Q2"))~"},
    {"move", R"~(!Invalid command usage (move): Missing parameters. Type "help move" for proper syntax.)~"},
    {"newtab", "newtab(null)"},
    {"newtab Thermal", R"~(newtab("Thermal"))~"},
    // 40 norm
    {"norm", "norm(-1,1,{1,ALL})"},
    {"norm 0 10 C1", "norm(0,10,{1,0})"},
    {"normalize C2", "norm(-1,1,{1,1})"},
    // The bounds may be separated by a comma, as the grammar allows.
    {"norm 0,10 C1", "norm(0,10,{1,0})"},
    {"norm 0, 10", "norm(0,10,{1,ALL})"},
    {"norm 5", R"~(!Command Info: The command "norm 5" is not properly formatted.)~"},
    // 41 pntrad
    {"pntrad 100", "pntrad(100)"},
    {"pntrad", "pntrad(-1)"},
    {"pntrad 0", "!Invalid command (pntrad 0) usage: Pntrad must be followed by a valid integer\n"
                 "between 1 and 100 inclusive. Type \"help pntrad\" for proper syntax."},
    {"pntrad 101", "!Invalid command (pntrad 101) usage: Pntrad must be followed by a valid integer\n"
                   "between 1 and 100 inclusive. Type \"help pntrad\" for proper syntax."},
    // 42 pnts
    {"pnts on", "pnts({1,ALL},1)"},
    {"points off C1", "pnts({1,0},2)"},
    {"pnt", "pnts({1,ALL},8)"},
    // 43 poly
    {"poly3 detrend C1", R"~(poly(3,"detrend",{1,0}))~"},
    {"poly3", R"~(poly(3,"overlay",{1,ALL}))~"},
    {"poly2 MODEL", R"~(poly(2,"model",{1,ALL}))~"},
    {"poly1 replace C1 C2", R"~(poly(1,"replace",{2,0,1}))~"},
    {"poly0", "!Invalid command (poly0) usage: Polynomial order must be larger than 0.\n"
              "Type \"help poly\" for proper syntax."},
    {"poly", R"~(!Invalid use of command "poly". Try "help poly" for proper usage.)~"},
    // 44 pwd
    {"pwd", "pwd()"},
    // 45, 46 remove: markers first, then curves
    {"remove M3", "removeMarkers({1,3})"},
    {"remove m3", "removeMarkers({1,3})"},
    {"remove M1 M4", "removeMarkers({2,1,4})"},
    {"remove all", "removeCurves({1,ALL})"},
    {"remove C1 C3", "removeCurves({2,0,2})"},
    {"remove", R"~(!Invalid command usage (remove): Remove must be followed by one or more curve or marker identifiers. Type "help remove" for proper syntax.)~"},
    // 47 rescale
    {"rescale", "rescale()"},
    // 48, 49 rotl and rotr
    {"rotl 100", "rotl(100,{1,ALL})"},
    {"rotl 100 all", "rotl(100,{1,ALL})"},
    {"rotl 100 C1 C3", "rotl(100,{2,0,2})"},
    {"rotr 5 C2", "rotr(5,{1,1})"},
    {"rotl100", R"~(!Command Info: The command "rotl100" is not properly formatted.)~"},
    {"rotl 0", "!Invalid command (rotl 0) usage: Rotation points must be greater than 0.\n"
               "Type \"help rotl\" for proper syntax."},
    {"rotr 0", "!Invalid command (rotr 0) usage: Rotation points must be greater than 0.\n"
               "Type \"help rotr\" for proper syntax."},
    {"rotl", R"~(!Invalid use of command "rotl". Try "help rotl" for proper usage.)~"},
    // 50 sink (its states are tested with the log)
    {"sink", "!Command log file has not been set."},
    // 51 smooth
    {"smooth 5 C1 overlay", "smooth(5,{1,0},false)"},
    {"smooth 5", "smooth(5,{1,ALL},true)"},
    {"smooth 2", R"~(!Invalid command usage (smooth 2): Type "help smooth" for proper syntax.)~"},
    {"smooth", R"~(!Invalid command usage (smooth): Missing parameters. Type "help smooth" for proper syntax.)~"},
    // 52 sort
    {"sort", "sort({1,ALL})"},
    // 53 span family
    {"spanx 0 10", "span((0,10),true)"},
    {"range auto", "span((-1,-1),false)"},
    {"domain 1e-3,2e-3", "span((0.001,0.002),true)"},
    {"domain 10 0", "!Invalid command (domain 10 0) usage: Spanx must be followed by a list of two valid values,\n"
                    "with value1 < value2. Type \"help spanx\" for help."},
    {"spany", "!Invalid command (spany) usage: Spany must be followed by a list of two valid values,\n"
              "with value1 < value2. Type \"help spany\" for help."},
    // 54, 55 stats, tablabel
    {"stats", "stats()"},
    {"tablbl Thermal", R"~(tablabel("Thermal"))~"},
    {"tablabel", R"~(!Invalid command usage (tablabel): Missing parameters. Type "help tablabel" for proper syntax.)~"},
    // 56 title: every pattern is anchored, so later words never select a command
    {"TITLE Results", R"~(title("Results"))~"},
    {"title my gridh on", R"~(title("my gridh on"))~"},
    {"title gran 5", R"~(title("gran 5"))~"},
    {"title Ω in µs", R"~(title("Ω in µs"))~"},
    {"title", "title(null)"},
    // 57, 58 undo, unwrap
    {"undo", "undo()"},
    {"unwrap -pi C1", "unwrap(-3.14159265358979,{1,0})"},
    {"unwrap 2pi", "unwrap(6.28318530717958,{1,ALL})"},
    {"unwrap C1", "unwrap(0,{1,0})"},
    {"unwrap 360 C2", "unwrap(360,{1,1})"},
    // A comma may end the phase, as the grammar allows.
    {"unwrap 1.5,C1", "unwrap(1.5,{1,0})"},
    {"unwrap 2pi,C2", "unwrap(6.28318530717958,{1,1})"},
    // 59 usingtab
    {"using Thermal", R"~(usingtab("Thermal"))~"},
    {"usingtab", R"~(!Invalid command usage (usingtab): Missing parameters. Type "help usingtab" for proper syntax.)~"},
    // 60 vmark
    {"mark 1.5, 2.5", R"~(addvmarker("1.5, 2.5"))~"},
    {"vmarker 10", R"~(addvmarker("10"))~"},
    {"mark abc", R"~(!Command Info: The command "mark abc" is not properly formatted.)~"},
    {"vmarker", R"~(!Invalid command usage (vmarker): Missing parameters. Type "help vmarker" for proper syntax.)~"},
    // 61 verbose
    {"v", "verbosestate(8)"},
    {"verbose on", "verbosestate(1)"},
    {"verbose yes", R"~(!Invalid command (verbose yes) usage: Type "help verbose" for proper syntax.)~"},
    // 62 version
    {"ver", "!Version BETA\nBuild date: N/A"},
    {"version 2", "!Version BETA\nBuild date: N/A"},
    // 63, 64 axis labels
    {"xlabel Time (MJD)", R"~(xlabel("Time (MJD)"))~"},
    {"xlbl", "xlabel(null)"},
    {"ylbl /sigma_y", R"~(ylabel("/sigma_y"))~"},
    // Fallbacks
    {"", ""},
    {"   \t ", ""},
    {"3+4", "!3+4 = 7"},
    {"  1/3 ", "!1/3 = 0.333333333333333"},
    {"2pi", "!2pi = 6.28318530717958"},
    {"sqrt(2)*", "!Command not found."},
    // A number followed by more text is refused, not read as its first part.
    {"3 4", R"~(!Error: Text after the end of the expression: it stops after "3" and "4" is left over.)~"},
    {"2+3)", R"~(!Error: Unmatched ")": the expression stops after "2+3" and ")" is left over.)~"},
    {"foo bar", "!Command not found."},
    {"tïtle Ünïcode", "!Command not found."},
};

class Dispatcher : public ::testing::Test {
protected:
    Dispatcher() : console(QStringLiteral("KRO test console\n")), probe(console)
    {
        console.setConsoleKind(CommandEdit::CommandConsole);
    }
    CommandEdit console;
    ConsoleProbe probe;
};

} // namespace

TEST_F(Dispatcher, EveryPatternInOrder)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.line);
        const ConsoleProbe::Result r = probe.run(QString::fromUtf8(c.line));
        const QString expected = QString::fromUtf8(c.expected);
        if (expected.startsWith(QLatin1Char('!'))) {
            EXPECT_TRUE(r.calls.isEmpty()) << r.calls.join(' ').toStdString();
            EXPECT_EQ(r.executed, 0);
            EXPECT_EQ(r.printed.toStdString(), expected.mid(1).toStdString());
        } else if (expected.isEmpty()) {
            EXPECT_TRUE(r.calls.isEmpty()) << r.calls.join(' ').toStdString();
            EXPECT_EQ(r.executed, 0);
            EXPECT_EQ(r.printed.toStdString(), "");
        } else {
            ASSERT_EQ(r.calls.size(), 1) << r.calls.join(' ').toStdString() << " / " << r.printed.toStdString();
            EXPECT_EQ(r.calls.first().toStdString(), expected.toStdString());
            EXPECT_EQ(r.executed, 1);
            EXPECT_EQ(r.printed.toStdString(), "");
        }
    }
}

TEST_F(Dispatcher, DebugCommandSetsTheProcessFlagBeforeItsSignal)
{
    bool seen = false;
    QObject::connect(&console, &CommandEdit::debug, [&](bool on) { seen = on && kro::isDebugMode(); });
    console.command(QStringLiteral("debug on"), false);
    EXPECT_TRUE(seen);
    console.command(QStringLiteral("debug off"), false);
    EXPECT_FALSE(kro::isDebugMode());
}

TEST_F(Dispatcher, FailedLineLeavesThePreparedCallAlone)
{
    ASSERT_TRUE(console.dispatch(QStringLiteral("title First")));
    EXPECT_FALSE(console.dispatch(QStringLiteral("crop 1")));
    EXPECT_FALSE(console.dispatch(QStringLiteral("no such command")));
    // The next successful line runs its own call, never the one before.
    const ConsoleProbe::Result r = probe.run(QStringLiteral("title Second"));
    EXPECT_EQ(r.calls, QStringList{QStringLiteral(R"~(title("Second"))~")});
}

TEST_F(Dispatcher, ReceiverThatSubmitsAnotherLineKeepsItsOwnCallAlive)
{
    // A slot that lets further lines run (a script pump, a modal prompt)
    // replaces the prepared call while it is itself being delivered.
    QStringList titles;
    QObject::connect(&console, &CommandEdit::title, [&](const QString& t) {
        titles << t;
        if (t == QLatin1String("outer"))
            console.command(QStringLiteral("title inner"), false);
    });
    int executed = 0;
    QObject::connect(&console, &CommandEdit::cmdExecuted, [&] { ++executed; });
    console.command(QStringLiteral("title outer"), false);
    EXPECT_EQ(titles, (QStringList{QStringLiteral("outer"), QStringLiteral("inner")}));
    EXPECT_EQ(executed, 2);
}

TEST_F(Dispatcher, ScriptNamedByTheFirstWord)
{
    QTemporaryDir work;
    QTemporaryDir scripts;
    ASSERT_TRUE(work.isValid() && scripts.isValid());
    kro::test::writeFile(work.filePath(QStringLiteral("local.krs")));
    kro::test::writeFile(scripts.filePath(QStringLiteral("calibrate.krs")));
    QDir(work.path()).mkdir(QStringLiteral("folder.krs"));
    writeSetting(QStringLiteral("scriptspath"), scripts.path());
    const QString previous = QDir::currentPath();
    QDir::setCurrent(work.path());

    EXPECT_EQ(probe.run(QStringLiteral("calibrate 5   6")).calls,
              QStringList{QStringLiteral(R"~(kroscript("calibrate.krs 5 6"))~")});
    EXPECT_EQ(probe.run(QStringLiteral("local")).calls, QStringList{QStringLiteral(R"~(kroscript("local.krs"))~")});
    // A folder is no script; neither is a name found nowhere.
    EXPECT_EQ(probe.run(QStringLiteral("folder x")).printed, QStringLiteral("Command not found."));
    EXPECT_EQ(probe.run(QStringLiteral("Calibrate")).printed, QStringLiteral("Command not found."));

    QDir::setCurrent(previous);
    kro::platform::openProgramSettings()->remove(QStringLiteral("scriptspath"));
}

TEST_F(Dispatcher, LongLinesAndBinaryNoiseNeitherCrashNorRunAnything)
{
    const QString longTitle = QString(100000, QLatin1Char('x'));
    ConsoleProbe::Result r = probe.run(QStringLiteral("title ") + longTitle);
    ASSERT_EQ(r.calls.size(), 1);
    EXPECT_EQ(r.calls.first().size(), qsizetype(100000 + 9));

    // A long run of digits in a grammar with nested repetitions.
    r = probe.run(QStringLiteral("crop 1 ") + QString(50000, QLatin1Char('7')) + QStringLiteral(" x"));
    EXPECT_TRUE(r.calls.isEmpty());
    EXPECT_TRUE(r.printed.startsWith(QStringLiteral("Command Info: The command \"crop 1 7777")));

    r = probe.run(QString(100000, QLatin1Char('z')));
    EXPECT_TRUE(r.calls.isEmpty());
    EXPECT_EQ(r.printed, QStringLiteral("Command not found."));

    QString noise;
    for (int i = 1; i < 600; ++i)
        noise += QChar(char16_t(i * 37 % 0x4FF + 1));
    r = probe.run(noise);
    EXPECT_TRUE(r.calls.isEmpty());
}
