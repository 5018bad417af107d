// The plot command's data-source options (FileOptionParser) and plot options
// (PlotOptionParser), on real files in a temporary folder.
#include "core/settings.h"
#include "import/fileoptionparser.h"
#include "import/plotoptionparser.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/qtprinters.h"
#include "support/test_env.h"

namespace {

class OptionParsers : public ::testing::Test {
protected:
    void SetUp() override
    {
        kro::test::clearSettingsStore();
        ASSERT_TRUE(m_dir.isValid());
        for (const char* name : {"a.dat", "b.dat", "c.txt", "xdat"})
            touch(name);
        QDir(m_dir.path()).mkdir(QStringLiteral("sub.dat"));
    }
    void TearDown() override { kro::test::clearSettingsStore(); }

    QString path(const QString& name) const { return m_dir.filePath(name); }
    void touch(const QString& name)
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("1 2\n");
    }
    // Parses a command, expecting success.
    std::vector<FileObject> files(const QString& command)
    {
        FileOptionParser p(command);
        EXPECT_EQ(p.status(), FileOptionParser::OK) << command.toStdString();
        EXPECT_TRUE(p.parse()) << command.toStdString() << ": " << p.errorText().toStdString();
        return p.fileObjects();
    }
    QString error(const QString& command)
    {
        FileOptionParser p(command);
        EXPECT_FALSE(p.parse()) << command.toStdString();
        return p.errorText();
    }

    QTemporaryDir m_dir;
};

QString noValidArguments(const char* aliases)
{
    return QStringLiteral("Parameter error: The %1 parameter was specified, but no valid arguments\nwere found. Please "
                          "correct the syntax and try again.")
        .arg(QLatin1String(aliases));
}

std::vector<int> yColumnsOf(const FileObject& fo)
{
    std::vector<int> v;
    for (const YColumn& y : fo.m_yColumns)
        v.push_back(y.column);
    return v;
}

} // namespace

TEST(ArgumentList, IndexOfIgnoresCaseAndNeverMatchesTheCommandWord)
{
    const ArgumentList args(QStringList{"-x", "-f", "a", "-X", "-xx"});
    EXPECT_EQ(args.indexOf("-x", 0), 3);
    EXPECT_EQ(args.indexOf("-x", 4), 0);
    EXPECT_EQ(args.indexOf("-F", 1), 1);
    EXPECT_EQ(args.indexOf("-y", 1), 0);
}

TEST_F(OptionParsers, FileObjectDefaultsComeFromTheSettings)
{
    writeSetting(QStringLiteral("dateformat"), "%d.%m.%Y");
    const FileObject fo;
    EXPECT_EQ(fo.m_dateFormat, QStringLiteral("%d.%m.%Y"));
    EXPECT_EQ(fo.m_timeFormat, QStringLiteral("%H:%M:%S%F"));
    EXPECT_EQ(fo.m_datetimeFormat, QStringLiteral("%Y-%m-%d %H:%M:%S%F"));
    EXPECT_EQ(fo.m_xColumn, 0);
    EXPECT_EQ(yColumnsOf(fo), std::vector<int>{1});
    EXPECT_EQ(fo.m_header, -1);
    EXPECT_EQ(fo.m_get, -1);
    EXPECT_TRUE(fo.m_append);
}

TEST_F(OptionParsers, PerFileAndPerYValuesAreHandedOutInOrderAndTheLastRepeats)
{
    const QString a = path("a.dat"), b = path("b.dat");
    auto fs = files(QStringLiteral("kro -f %1 %2 -y 2 3 -y 4 -mult 10").arg(a, b));
    ASSERT_EQ(fs.size(), 2u);
    EXPECT_EQ(fs[0].m_file, a);
    EXPECT_EQ(yColumnsOf(fs[0]), (std::vector<int>{1, 2}));
    EXPECT_EQ(yColumnsOf(fs[1]), (std::vector<int>{3}));
    for (const auto& fo : fs)
        for (const YColumn& y : fo.m_yColumns)
            EXPECT_EQ(y.mul, 10);

    fs = files(QStringLiteral("kro -f %1 -y 2 3 4 -add 1 2 -div 4 -mody 3 -x 1 -k 6 -pntlbl 7").arg(a));
    std::vector<double> adds, divs, mods;
    for (const YColumn& y : fs[0].m_yColumns) {
        adds.push_back(y.add);
        divs.push_back(y.div);
        mods.push_back(y.mod);
    }
    EXPECT_EQ(adds, (std::vector<double>{1, 2, 2}));
    EXPECT_EQ(divs, (std::vector<double>{4, 4, 4}));
    EXPECT_EQ(mods, (std::vector<double>{3, 3, 3}));
    EXPECT_EQ(fs[0].m_xColumn, 0);
    EXPECT_EQ(fs[0].m_keyColumn, 5);
    EXPECT_EQ(fs[0].m_labelColumn, 6);

    // Two files, single-valued options: the second file takes the last value.
    fs = files(QStringLiteral("kro -f %1 %2 -skip 3 -get 10 20 30 -addx -5 -header").arg(a, b));
    EXPECT_EQ(fs[0].m_skip, 3);
    EXPECT_EQ(fs[1].m_skip, 3);
    EXPECT_EQ(fs[0].m_get, 10);
    EXPECT_EQ(fs[1].m_get, 20);
    EXPECT_EQ(fs[1].m_xScale.add, -5);
    EXPECT_EQ(fs[1].m_header, 0);
}

TEST_F(OptionParsers, OptionValuesAndTheirRanges)
{
    const QString a = path("a.dat");
    const struct {
        const char* options;
        std::function<bool(const FileObject&)> check;
    } cases[] = {
        {"-x 0", [](const FileObject& f) { return f.m_xColumn == -1; }},
        {"-x -3", [](const FileObject& f) { return f.m_xColumn == 0; }},
        {"-z 4", [](const FileObject& f) { return f.m_zColumn == 3; }},
        {"-header", [](const FileObject& f) { return f.m_header == 0; }},
        {"-header 3", [](const FileObject& f) { return f.m_header == 2; }},
        {"-header 0", [](const FileObject& f) { return f.m_header == -1; }},
        {"-get -1", [](const FileObject& f) { return f.m_get == -1; }},
        {"-get 5 -get -2", [](const FileObject& f) { return f.m_get == 5; }},
        {"-get -2", [](const FileObject& f) { return f.m_get == -1; }},
        {"-get 1e30", [](const FileObject& f) { return f.m_get == INT_MAX; }},
        {"-skip -1", [](const FileObject& f) { return f.m_skip == 0; }},
        {"-add 1 -addy 2", [](const FileObject& f) { return f.m_yColumns[0].add == 1; }},
        {"-addy 2 -add 1", [](const FileObject& f) { return f.m_yColumns[0].add == 1; }},
        {"-muly 3", [](const FileObject& f) { return f.m_yColumns[0].mul == 3; }},
        {"-mulx 3 -divx 2 -subx 1 -xmod 7", [](const FileObject& f) {
             return f.m_xScale == XScale{0, 1, 3, 2, 7};
         }},
        {"-mean", [](const FileObject& f) { return f.m_mean; }},
        {"-mean false", [](const FileObject& f) { return !f.m_mean; }},
        {"-mean FALSE", [](const FileObject& f) { return !f.m_mean; }},
        {"-mean 0", [](const FileObject& f) { return !f.m_mean; }},
        {"-mean yes", [](const FileObject& f) { return f.m_mean; }},
        {"-regex \"^a b.*$\"", [](const FileObject& f) { return f.m_regex == QStringLiteral("^a\\sb.*$"); }},
        {"-xlimitmin -2.5 -limitymax 7", [](const FileObject& f) {
             return f.m_limitSet[FileObject::X_MIN] && f.m_limits[FileObject::X_MIN] == -2.5
                 && f.m_limitSet[FileObject::Y_MAX] && f.m_limits[FileObject::Y_MAX] == 7
                 && !f.m_limitSet[FileObject::X_MAX];
         }},
        {"-date 1 -t 2 -x 5", [](const FileObject& f) {
             return f.m_dateColumn == 0 && f.m_timeColumn == 1 && f.m_xColumn == FileObject::X_FROM_DATETIME;
         }},
        {"-dt 3 -dtformat %Y%m%d%H%M", [](const FileObject& f) {
             return f.m_datetimeColumn == 2 && f.m_datetimeFormat == QStringLiteral("%Y%m%d%H%M")
                 && f.m_xColumn == FileObject::X_FROM_DATETIME;
         }},
        {"-tformat \"%H:%M %p\"", [](const FileObject& f) { return f.m_timeFormat == QStringLiteral("%H:%M %p"); }},
    };
    for (const auto& c : cases) {
        const auto fs = files(QStringLiteral("kro -f %1 %2").arg(a, QLatin1String(c.options)));
        ASSERT_EQ(fs.size(), 1u) << c.options;
        EXPECT_TRUE(c.check(fs[0])) << c.options;
    }
}

TEST_F(OptionParsers, FileNamePatterns)
{
    // A wildcard expands to the matching regular files in path order;
    // directories are left out; every file takes its share of the options.
    auto fs = files(QStringLiteral("kro -f %1 -x 1 2").arg(path("*.dat")));
    ASSERT_EQ(fs.size(), 2u);
    EXPECT_EQ(fs[0].m_file, path("a.dat"));
    EXPECT_EQ(fs[1].m_file, path("b.dat"));
    EXPECT_EQ(fs[0].m_xColumn, 0);
    EXPECT_EQ(fs[1].m_xColumn, 1);

    fs = files(QStringLiteral("kro -f %1 %2").arg(path("?.txt"), path("*dat")));
    ASSERT_EQ(fs.size(), 4u);
    EXPECT_EQ(fs[0].m_file, path("c.txt"));
    EXPECT_EQ(fs[3].m_file, path("xdat"));

    // A name without '*' is kept as written even when it does not exist, so
    // the options of the following files stay with them.
    fs = files(QStringLiteral("kro -f %1 %2 -y 3 4").arg(path("missing.dat"), path("b.dat")));
    ASSERT_EQ(fs.size(), 2u);
    EXPECT_EQ(fs[0].m_file, path("missing.dat"));
    EXPECT_EQ(yColumnsOf(fs[1]), (std::vector<int>{2, 3}));

    // "~/" is the home folder, with or without a wildcard.
    fs = files(QStringLiteral("kro -f ~/kro-none.dat ~/kro-none*.dat"));
    ASSERT_EQ(fs.size(), 1u);
    EXPECT_EQ(fs[0].m_file, QDir::home().filePath("kro-none.dat"));

    // "-F" is the option but its words are not expanded.
    fs = files(QStringLiteral("kro -F %1").arg(path("*.dat")));
    ASSERT_EQ(fs.size(), 1u);
    EXPECT_EQ(fs[0].m_file, path("*.dat"));

    EXPECT_EQ(error(QStringLiteral("kro -f %1 -x 1").arg(path("*.none"))), noValidArguments("-f"));
}

TEST_F(OptionParsers, PipesAndScripts)
{
    auto fs = files(QStringLiteral("kro -linked -f %1 -x 2").arg(path("a.dat")));
    ASSERT_EQ(fs.size(), 1u);
    EXPECT_EQ(fs[0].m_file, QStringLiteral("...from pipe"));
    EXPECT_EQ(fs[0].m_xColumn, 1);

    FileOptionParser script(QStringLiteral("kro -script run.krs 5 6"));
    EXPECT_TRUE(script.parse());
    EXPECT_TRUE(script.fileObjects().empty());
}

TEST_F(OptionParsers, Errors)
{
    const QString a = path("a.dat"), b = path("b.dat");
    const struct {
        QString command;
        QString error;
    } cases[] = {
        {"kro -x 1", "Parameter error: No input source (file or pipe) was specified."},
        {"kro -f", noValidArguments("-f")},
        {QStringLiteral("kro -f %1 -limitxmin").arg(a), noValidArguments("-limitxmin;-xlimitmin")},
        {QStringLiteral("kro -f %1 -xlimitmin abc").arg(a), noValidArguments("-limitxmin;-xlimitmin")},
        {QStringLiteral("kro -f %1 -xlimitmin nan").arg(a), noValidArguments("-limitxmin;-xlimitmin")},
        {QStringLiteral("kro -f %1 -mult inf").arg(a), noValidArguments("-mult;-multy;-mul;-muly")},
        {QStringLiteral("kro -f %1 -mult -x 1").arg(a), noValidArguments("-mult;-multy;-mul;-muly")},
        {QStringLiteral("kro -f %1 -y 0").arg(a),
         "Parameter error: The -y parameter was given the column 0. Columns are numbered from 1."},
        {QStringLiteral("kro -f %1 -dt 1 -d 2").arg(a),
         "Parameter error: If you specify a date and/or time column you cannot also specify a date-time column, and "
         "vice-vera.\nPlease use either -dt OR -d and/or -t."},
        // A column past what any data line can hold, in every role.
        {QStringLiteral("kro -f %1 -t 211111111").arg(a),
         "Parameter error: Column 211111111 is past the last column a data line can hold (33554432). Please correct "
         "the column number and try again."},
        {QStringLiteral("kro -f %1 %2 -y 2 -y 2 33554433").arg(a, b),
         "Parameter error: Column 33554433 is past the last column a data line can hold (33554432). Please correct "
         "the column number and try again."},
        {QStringLiteral("kro -f %1 -x 1 -y 2 -k 40000000").arg(a),
         "Parameter error: Column 40000000 is past the last column a data line can hold (33554432). Please correct "
         "the column number and try again."},
        // Every source is checked, not only the first.
        {QStringLiteral("kro -f %1 %2 -dt 0 1 -t 0 2").arg(a, b),
         "Parameter error: If you specify a date and/or time column you cannot also specify a date-time column, and "
         "vice-vera.\nPlease use either -dt OR -d and/or -t."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(error(c.command), c.error) << c.command.toStdString();
}

TEST_F(OptionParsers, TheLastColumnALineCanHoldIsAccepted)
{
    const auto fs = files(QStringLiteral("kro -f %1 -x 1 -y 33554432").arg(path("a.dat")));
    ASSERT_EQ(fs.size(), 1u);
    EXPECT_EQ(fs[0].m_yColumns.front().column, 33554431);
}

TEST_F(OptionParsers, TextThatCannotBeTokenised)
{
    // A lone surrogate does not survive the conversion to 8-bit text.
    FileOptionParser p(QStringLiteral("kro -f a") + QChar(0xD800));
    EXPECT_EQ(p.status(), FileOptionParser::BAD_TEXT);
    PlotOptionParser q(QStringLiteral("kro -title ") + QChar(0xD800));
    EXPECT_EQ(q.status(), PlotOptionParser::BAD_TEXT);
    EXPECT_TRUE(q.parse());
    EXPECT_EQ(q.options().title, QStringLiteral("Default Title"));
    // UTF-8 file names are fine.
    touch(QStringLiteral("mesure_été.dat"));
    auto fs = files(QStringLiteral("kro -f %1").arg(path("mesure_*")));
    ASSERT_EQ(fs.size(), 1u);
    EXPECT_EQ(fs[0].m_file, path(QStringLiteral("mesure_été.dat")));
}

TEST_F(OptionParsers, PlotOptionsOverrideTheSettings)
{
    writeSetting(QStringLiteral("xoffset"), "true");
    writeSetting(QStringLiteral("yoffset"), "true");
    writeSetting(QStringLiteral("noline"), "true");
    writeSetting(QStringLiteral("title"), "Stored");
    PlotOptionParser p(QStringLiteral("kro -f a.dat -title -x -pnt -legend a b -legend c -hmarker 1 2 x 3 "
                                      "-domain 1 5 -legendpos TOP -granh 0.5 -o out.txt -merge -1stdiff -3d"));
    ASSERT_TRUE(p.parse());
    const PlotOptions& o = p.options();
    EXPECT_TRUE(p.warnings().isEmpty()) << p.warnings().join('|').toStdString();
    EXPECT_EQ(o.title, QStringLiteral("-x"));
    EXPECT_TRUE(o.pnts);
    EXPECT_TRUE(o.xoffset) << "a stored xoffset counts";
    EXPECT_FALSE(o.yoffset) << "a stored yoffset does not";
    EXPECT_TRUE(o.noline) << "a command cannot switch a flag off";
    EXPECT_EQ(o.legend, (QStringList{"a", "b", "c"}));
    EXPECT_EQ(o.hmarkers, (std::vector<double>{1, 2}));
    EXPECT_TRUE(o.domainSet);
    EXPECT_EQ(o.domainMin, 1);
    EXPECT_EQ(o.domainMax, 5);
    EXPECT_FALSE(o.rangeSet);
    EXPECT_EQ(o.legendpos, QStringLiteral("top"));
    EXPECT_EQ(o.granh, 0.5);
    EXPECT_EQ(o.granv, -1);
    EXPECT_EQ(o.outputFile, QStringLiteral("out.txt"));
    EXPECT_TRUE(o.merge && o.firstDiff && o.threeD);
    EXPECT_FALSE(o.append || o.bar || o.linked);

    PlotOptionParser plain(QStringLiteral("kro -f a.dat"));
    plain.parse();
    EXPECT_EQ(plain.options().title, QStringLiteral("Stored"));
    EXPECT_TRUE(plain.options().outputFile.isNull());
}

TEST_F(OptionParsers, PlotOptionWarnings)
{
    const QString w = QStringLiteral("Parameter warning: ");
    const struct {
        const char* command;
        QStringList warnings;
    } cases[] = {
        {"kro -height abc", {w + "The -height parameter requires a valid integer."}},
        {"kro -height", {w + "The -height parameter is missing a value."}},
        {"kro -xlabel", {w + "The -xlbl;-xlabel parameter requires a label."}},
        {"kro -domain 1", {w + "The -domain;-spanx parameter requires two values."}},
        {"kro -spanx", {w + "The -domain;-spanx parameter requires two values."}},
        {"kro -domain 1 x", {w + "The -domain;-spanx parameter requires two valid values."}},
        {"kro -domain nan 5", {w + "The -domain;-spanx parameter requires two valid values."}},
        {"kro -range 5 inf", {w + "The -range;-spany parameter requires two valid values."}},
        {"kro -hmarker nan", {w + "The -hmarker parameter requires a valid value."}},
        {"kro -barfloor -inf", {w + "The -barfloor parameter requires a valid value."}},
        {"kro -barfloor x", {w + "The -barfloor parameter requires a valid value."}},
        {"kro -legendpos middle", {w + "The -legendpos parameter must be followed with top, bottom, left, right, or off."}},
        {"kro -hmarker x", {w + "The -hmarker parameter requires a valid value."}},
        {"kro -vmarker 1 -marker", {}},
        {"kro -marker", {w + "The -vmarker;-marker parameter is missing a value."}},
        {"kro -legend", {w + "The -legend parameter requires at least one legend entry."}},
        {"kro -f a.dat -height abc -domain 1 -legendpos middle",
         {w + "The -height parameter requires a valid integer.",
          w + "The -domain;-spanx parameter requires two valid values.",
          w + "The -legendpos parameter must be followed with top, bottom, left, right, or off."}},
    };
    for (const auto& c : cases) {
        PlotOptionParser p(QString::fromLatin1(c.command));
        EXPECT_TRUE(p.parse());
        EXPECT_EQ(p.warnings(), c.warnings) << c.command;
    }
    PlotOptionParser p(QStringLiteral("kro -height abc -domain 1 x"));
    p.parse();
    EXPECT_EQ(p.options().height, 0) << "a field with a problem keeps its stored value";
    EXPECT_FALSE(p.options().domainSet);
}
