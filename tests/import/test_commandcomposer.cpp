// Composing the plot command from the files' column entries: the
// option words and their order, how repeated values are left out, how
// scaling numbers are written, and how dropped names become paths.
#include "import/commandcomposer.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

#include "load_helpers.h"
#include "support/files.h"
#include "support/qtprinters.h"

using kro::import::CommandSource;
using kro::import::composePlotCommand;

namespace {

const kro::import::DefaultFormats kFormats{QStringLiteral("%Y-%m-%d"), QStringLiteral("%Y-%m-%d %H:%M:%S%F"),
                                           QStringLiteral("%H:%M:%S%F")};

ColumnSpec entry(int code, int column, double add = 0, double sub = 0, double mul = 1, double div = 1,
                 const QString& format = QString())
{
    ColumnSpec s;
    s.roleCode = code;
    s.column = column;
    s.add = add;
    s.sub = sub;
    s.mul = mul;
    s.div = div;
    s.format = format;
    return s;
}

// A file with x on the first column and the given y entries.
CommandSource file(const QString& name, std::vector<ColumnSpec> ys = {entry(ColumnSpec::Y, 1)})
{
    CommandSource s;
    s.file = name;
    s.columns = {entry(ColumnSpec::X, 0), entry(ColumnSpec::UNASSIGNED, -1), entry(ColumnSpec::UNASSIGNED, -1),
                 entry(ColumnSpec::UNASSIGNED, -1)};
    for (const ColumnSpec& y : ys)
        s.columns.push_back(y);
    return s;
}

} // namespace

TEST(CommandNumber, LikePercentGWhenThatKeepsTheNumberElseExact)
{
    struct Case {
        double value;
        const char* text;
    } cases[] = {
        {0, "0"},          {1, "1"},        {10, "10"},          {0.001, "0.001"},
        {1e-07, "1e-07"},  {100000, "100000"}, {1e6, "1e+06"},  {-2.5, "-2.5"},
        {0.1, "0.1"},      {1234567, "1234567"}, {51544.123456, "51544.123456"},
        {1.0 / 3.0, "0.3333333333333333"},
    };
    for (const Case& c : cases) {
        const QString text = kro::import::commandNumber(c.value);
        EXPECT_EQ(text, QString::fromLatin1(c.text)) << c.value;
        EXPECT_EQ(std::strtod(text.toLatin1().constData(), nullptr), c.value) << "reads back exactly";
    }
}

TEST(CommandComposer, OptionsInOrderAndDefaultsLeftOut)
{
    struct Case {
        const char* what;
        std::vector<CommandSource> sources;
        bool append;
        const char* command;
    } cases[] = {
        {"defaults only", {file("/d/a.txt")}, false, "kro -f /d/a.txt "},
        {"append", {file("/d/a.txt")}, true, "kro -f /d/a.txt -append "},
        {"blank in the name", {file("/My Data/a.txt")}, false, "kro -f \"/My Data/a.txt\" "},
        {"y columns", {file("/a", {entry(ColumnSpec::Y, 2), entry(ColumnSpec::Y, 4)})}, false, "kro -f /a -y 3 5 "},
        {"y scaling per column",
         {file("/a", {entry(ColumnSpec::Y, 1, 0, 0, 10), entry(ColumnSpec::Y, 2, 0.5)})},
         false,
         "kro -f /a -y 2 3 -add 0 0.5 -mul 10 1 "},
        {"two files, different y", {file("/a", {entry(ColumnSpec::Y, 2)}), file("/b", {entry(ColumnSpec::Y, 1)})}, false,
         "kro -f /a -y 3 -f /b -y 2 "},
        {"two files, the first keeps its default when they differ",
         {file("/a", {entry(ColumnSpec::Y, 1)}), file("/b", {entry(ColumnSpec::Y, 2)})},
         false,
         "kro -f /a -y 2 -f /b -y 3 "},
        {"a shared value is written once",
         {file("/a", {entry(ColumnSpec::Y, 1, 0, 0, 10)}), file("/b", {entry(ColumnSpec::Y, 1, 0, 0, 10)})},
         false,
         "kro -f /a -mul 10 -f /b "},
        {"no x column numbers the points", {[] {
             CommandSource s = file("/a");
             s.columns[0].column = -1;
             return s;
         }()},
         false, "kro -f /a -x 0 "},
        {"key and line counts", {[] {
             CommandSource s = file("/a");
             s.keyColumn = 3;
             s.get = 10;
             s.skip = 2;
             s.header = 1;
             return s;
         }()},
         false, "kro -f /a -k 4 -get 10 -skip 2 -header 1 "},
        {"x scaling", {[] {
             CommandSource s = file("/a");
             s.columns[0] = entry(ColumnSpec::X, 1, 5, 0, 1e-07, 3);
             return s;
         }()},
         false, "kro -f /a -x 2 -addx 5 -mulx 1e-07 -divx 3 "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(composePlotCommand(c.sources, c.append, kFormats), QString::fromLatin1(c.command)) << c.what;
}

TEST(CommandComposer, DateAndTimeColumnsWithTheirFormats)
{
    CommandSource s = file("/a");
    s.columns[0].column = 0; // a date or time column sets the x entry's column to the first
    s.columns[1] = entry(ColumnSpec::DATE, 0, 0, 0, 1, 1, QStringLiteral("%d/%m/%Y"));
    s.columns[3] = entry(ColumnSpec::TIME, 1, 0, 0, 1, 1, QStringLiteral("%H:%M:%S%F"));
    s.columns[4] = entry(ColumnSpec::Y, 2);
    // The time format equals the stored one and holds no blank: left out.
    EXPECT_EQ(composePlotCommand({s}, false, kFormats), QStringLiteral("kro -f /a -d 1 -dateformat %d/%m/%Y -t 2 -y 3 "));

    CommandSource dt = file("/b");
    dt.columns[2] = entry(ColumnSpec::DATETIME, 0, 0, 0, 1, 1, QStringLiteral(" %Y-%m-%d %H:%M:%S%F "));
    // A format with a blank is quoted and always written.
    EXPECT_EQ(composePlotCommand({dt}, false, kFormats),
              QStringLiteral("kro -f /b -dt 1 -datetimeformat \"%Y-%m-%d %H:%M:%S%F\" "));
}

TEST(CommandComposer, AFileWithoutAnOptionGetsTheValueItReadsWithAlone)
{
    // The loader hands values out by position and repeats the last one, so
    // a file that lacks an option another file has must still get a value.
    CommandSource dated = file("/a");
    dated.columns[0].column = 0;
    dated.columns[1] = entry(ColumnSpec::DATE, 0, 0, 0, 1, 1, QStringLiteral("%d.%m.%Y"));
    CommandSource plain = file("/b");
    EXPECT_EQ(composePlotCommand({plain, dated}, false, kFormats),
              QStringLiteral("kro -f /b -d 0 -dateformat %Y-%m-%d -f /a -d 1 -dateformat %d.%m.%Y "));
    EXPECT_EQ(composePlotCommand({dated, plain}, false, kFormats),
              QStringLiteral("kro -f /a -d 1 -dateformat %d.%m.%Y -f /b -d 0 -dateformat %Y-%m-%d "));

    CommandSource noY = file("/c", {});
    CommandSource twoY = file("/d", {entry(ColumnSpec::Y, 3, 0, 0, 2), entry(ColumnSpec::Y, 4)});
    EXPECT_EQ(composePlotCommand({twoY, noY}, false, kFormats),
              QStringLiteral("kro -f /d -y 4 5 -mul 2 1 -f /c -y 2 -mul 1 "));
    // With no file using y, nothing about y is written.
    EXPECT_EQ(composePlotCommand({noY}, false, kFormats), QStringLiteral("kro -f /c "));
}

TEST(CommandComposer, DroppedNamesBecomePaths)
{
    EXPECT_EQ(kro::import::cleanDroppedName(QStringLiteral("file:///home/u/My%20Data/a.txt")),
              QStringLiteral("/home/u/My Data/a.txt"));
    EXPECT_EQ(kro::import::cleanDroppedName(QStringLiteral("file:///tmp/r%C3%A9sum%C3%A9.dat")),
              QStringLiteral("/tmp/r\u00e9sum\u00e9.dat"));
    EXPECT_EQ(kro::import::cleanDroppedName(QStringLiteral("/plain/100%20.dat")), QStringLiteral("/plain/100%20.dat"));
    EXPECT_EQ(kro::import::cleanDroppedName(QStringLiteral("relative.dat")), QStringLiteral("relative.dat"));
}

TEST(CommandComposer, AColumnListOfDefaultsIsWrittenAndLoadsEveryCurve)
{
    // Column 2 holds 10 * row; every y entry uses it, scaled by its Mul.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray rows;
    for (int r = 0; r < 8; ++r)
        rows += QByteArray::number(r) + ' ' + QByteArray::number(10 * r) + '\n';
    const QString path = kro::test::writeFile(dir.filePath(QStringLiteral("data.dat")), rows);

    struct Case {
        std::vector<double> muls; // one y entry on column 2 per number
        const char* options;
    } cases[] = {
        {{1}, ""},
        {{1, 2}, "-y 2 2 -mul 1 2 "},
        {{1, 1}, "-y 2 2 "},
        {{1, 1, 1}, "-y 2 2 2 "},
        {{2, 1}, "-y 2 2 -mul 2 1 "},
    };
    for (const Case& c : cases) {
        std::vector<ColumnSpec> ys;
        for (double m : c.muls)
            ys.push_back(entry(ColumnSpec::Y, 1, 0, 0, m));
        const QString command = composePlotCommand({file(path, ys)}, false, kFormats);
        EXPECT_EQ(command, QStringLiteral("kro -f %1 %2").arg(path, QLatin1String(c.options)));

        const CurveMap curves = kro::test::loadCommandCurves(command);
        ASSERT_EQ(curves.size(), c.muls.size()) << command.toStdString();
        std::size_t k = 0;
        for (const auto& [index, curve] : curves) {
            std::vector<std::pair<double, double>> expected;
            for (int r = 0; r < 8; ++r)
                expected.emplace_back(r, 10.0 * r * c.muls[k]);
            EXPECT_EQ(kro::test::pointsOf(curve), expected) << command.toStdString() << " curve " << k;
            ++k;
        }
    }
}
