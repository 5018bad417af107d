// The loader thread on real files in a temporary folder: curves and their
// indices, titles, keys, limits, scaling, offsets, labels, date and time
// columns, progress, and the messages for bad input.
#include "import/fileoptionparser.h"
#include "import/parsingthread.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <string>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "import/linereader.h"

#include "support/qtprinters.h"
#include "support/test_env.h"

namespace {

struct Event {
    int type;
    qint64 value;
    QString text1, text2, text3;
};

// Records the events of a loader.
class Recorder : public QObject {
public:
    std::vector<Event> events;
    void customEvent(QEvent* e) override
    {
        if (auto* u = dynamic_cast<ParsingThreadUpdate*>(e))
            events.push_back({int(e->type()), u->value(), u->text1(), u->text2(), u->text3()});
        else if (auto* p = dynamic_cast<ProgressBarUpdate*>(e))
            events.push_back({int(e->type()), p->value(), p->text(), {}, {}});
    }
    std::vector<Event> ofType(int type) const
    {
        std::vector<Event> v;
        for (const Event& e : events)
            if (e.type == type)
                v.push_back(e);
        return v;
    }
    QStringList texts(int type) const
    {
        QStringList l;
        for (const Event& e : ofType(type))
            l << e.text1;
        return l;
    }
};

struct Flags {
    bool verbose = false;
    std::int64_t partsFrom = -1; // -1: the loader's own
    bool merge = false;
    bool xoffset = false;
    bool yoffset = false;
    int first = 0;
};

class Loader : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString write(const QString& name, const QByteArray& content)
    {
        QFile f(m_dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return f.fileName();
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Runs a loader on the sources of a plot command ("%d" stands for the
    // temporary folder) and collects its events.
    std::unique_ptr<ParsingThread> load(QString command, Flags flags = {})
    {
        command.replace(QLatin1String("%d"), m_dir.path());
        FileOptionParser parser(command);
        EXPECT_TRUE(parser.parse()) << parser.errorText().toStdString();
        return run(parser.fileObjects(), flags);
    }
    std::unique_ptr<ParsingThread> run(const std::vector<FileObject>& files, Flags flags = {})
    {
        main.events.clear();
        progress.events.clear();
        auto t = std::make_unique<ParsingThread>(&progress, &main);
        t->setFileObjects(files);
        t->setVerbose(flags.verbose);
        t->setMerge(flags.merge);
        t->setXOffsetFlag(flags.xoffset);
        t->setYOffsetFlag(flags.yoffset);
        t->setFirstCurveIndex(flags.first);
        if (flags.partsFrom >= 0)
            t->setPartsFrom(flags.partsFrom);
        t->start();
        EXPECT_TRUE(t->wait(20000));
        QCoreApplication::sendPostedEvents();
        EXPECT_FALSE(main.events.empty());
        if (!main.events.empty()) {
            EXPECT_EQ(main.events.back().type, ParsingThreadUpdate::FINISHED) << "the finished event comes last";
        }
        return t;
    }

    static std::vector<double> xs(const CurveData& c)
    {
        std::vector<double> v;
        for (std::size_t i = 0; i < c.pointCount(); ++i)
            v.push_back(c.x(i));
        return v;
    }
    static std::vector<double> ys(const CurveData& c)
    {
        std::vector<double> v;
        for (std::size_t i = 0; i < c.pointCount(); ++i)
            v.push_back(c.y(i));
        return v;
    }
    static std::vector<int> indices(const CurveMap& m)
    {
        std::vector<int> v;
        for (const auto& [k, c] : m)
            v.push_back(k);
        return v;
    }

    QTemporaryDir m_dir;
    Recorder main;
    Recorder progress;
};

using V = std::vector<double>;

} // namespace

TEST_F(Loader, TwoFilesTwoYColumnsEachTakeConsecutiveIndices)
{
    write("a.dat", "1 10 100\n2 20 200\n");
    write("b.dat", "3;30;300\n4;40;400\n5;50;500\n");
    auto t = load("kro -f %d/a.dat %d/b.dat -y 2 3", {.first = 3});
    EXPECT_EQ(indices(t->curves()), (std::vector<int>{3, 4, 5, 6}));
    EXPECT_EQ(ys(t->curves().at(4)), (V{100, 200}));
    EXPECT_EQ(xs(t->curves().at(5)), (V{3, 4, 5}));
    EXPECT_EQ(main.texts(ParsingThreadUpdate::CURVE_TITLE),
              (QStringList{path("a.dat:2"), path("a.dat:3"), path("b.dat:2"), path("b.dat:3")}));
    std::vector<qint64> titleIds;
    for (const Event& e : main.ofType(ParsingThreadUpdate::CURVE_TITLE))
        titleIds.push_back(e.value);
    EXPECT_EQ(titleIds, (std::vector<qint64>{3, 4, 5, 6}));
}

TEST_F(Loader, MergingFeedsTheSameCurvesAndNumbersPointsAcrossFiles)
{
    write("a.dat", "10 100\n20 200\n");
    write("b.dat", "30 300\n");
    auto t = load("kro -f %d/a.dat %d/b.dat -x 0 -y 1 2", {.merge = true});
    EXPECT_EQ(indices(t->curves()), (std::vector<int>{0, 1}));
    // Without an x column the running number counts every y column of a line.
    EXPECT_EQ(xs(t->curves().at(0)), (V{0, 2, 4}));
    EXPECT_EQ(xs(t->curves().at(1)), (V{1, 3, 5}));
    EXPECT_EQ(ys(t->curves().at(1)), (V{100, 200, 300}));

    // Without merging each file numbers its points from 0.
    t = load("kro -f %d/a.dat %d/b.dat -x 0 -y 1");
    EXPECT_EQ(xs(t->curves().at(0)), (V{0, 1}));
    EXPECT_EQ(xs(t->curves().at(1)), (V{0}));
}

TEST_F(Loader, KeyColumnsMakeOneCurvePerKeyAcrossFiles)
{
    write("k1.dat", "A 1 10\nB 2 20\nA 3 30\n");
    write("k2.dat", "B 4 40\n\"C\" 5 50\n");
    auto t = load("kro -f %d/k1.dat %d/k2.dat -k 1 -x 2 -y 3");
    EXPECT_EQ(indices(t->curves()), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(ys(t->curves().at(0)), (V{10, 30}));
    EXPECT_EQ(ys(t->curves().at(1)), (V{20, 40}));
    EXPECT_EQ(ys(t->curves().at(2)), (V{50}));
    EXPECT_EQ(main.texts(ParsingThreadUpdate::CURVE_TITLE), (QStringList{"A", "B", "C"}));
}

TEST_F(Loader, KeysWithSeveralYColumnsMakeOneCurvePerKeyAndColumn)
{
    // Each y column of a key is a curve of its own (never the two columns'
    // values mixed in one curve), titled like a keyed live link's curves.
    write("k1.dat", "A 1 10 100\nB 2 20 200\nA 3 30 300\n");
    write("k2.dat", "B 4 40 400\nC 5 50 500\n");
    auto t = load("kro -f %d/k1.dat %d/k2.dat -k 1 -x 2 -y 3 4 -pntlbl 1");
    EXPECT_EQ(indices(t->curves()), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(ys(t->curves().at(0)), (V{10, 30}));
    EXPECT_EQ(ys(t->curves().at(1)), (V{100, 300}));
    EXPECT_EQ(xs(t->curves().at(3)), (V{2, 4}));
    EXPECT_EQ(ys(t->curves().at(3)), (V{200, 400}));
    EXPECT_EQ(ys(t->curves().at(5)), (V{500}));
    EXPECT_EQ(main.texts(ParsingThreadUpdate::CURVE_TITLE),
              (QStringList{"A(1)", "A(2)", "B(1)", "B(2)", "C(1)", "C(2)"}));
    std::vector<qint64> titleIds;
    for (const Event& e : main.ofType(ParsingThreadUpdate::CURVE_TITLE))
        titleIds.push_back(e.value);
    EXPECT_EQ(titleIds, (std::vector<qint64>{0, 1, 2, 3, 4, 5}));
    ASSERT_EQ(t->annotations().size(), 5u);
    EXPECT_EQ(t->annotations()[1].curveId, 3) << "a label goes to the line's last y column";
}

TEST_F(Loader, NewKeysNeverTakeTheIndicesOfEarlierFiles)
{
    write("plain.dat", "1 10 100\n");
    write("keyed.dat", "1 5 X\n2 6 Y\n");
    auto t = load("kro -f %d/plain.dat %d/keyed.dat -y 2 3 -y 2 -k 0 3");
    EXPECT_EQ(indices(t->curves()), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(ys(t->curves().at(1)), (V{100}));
    EXPECT_EQ(ys(t->curves().at(2)), (V{5}));
}

TEST_F(Loader, AnEmptyYColumnStillReservesItsIndex)
{
    // The second y column of a.dat keeps no point (limits); b.dat's curves
    // must not be appended to it.
    write("a.dat", "1 1 50\n2 2 60\n");
    write("b.dat", "3 3 3\n");
    auto t = load("kro -f %d/a.dat %d/b.dat -y 2 3 -limitymax 10 100");
    EXPECT_EQ(indices(t->curves()), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(ys(t->curves().at(2)), (V{3}));
}

TEST_F(Loader, RowLimitCountsDataLinesOnly)
{
    QByteArray text = "# comment\n";
    for (int i = 1; i <= 30; ++i) {
        text += QByteArray::number(i) + " " + QByteArray::number(i * 2) + "\n";
        if (i == 3)
            text += "nan 1\n";
        if (i == 5)
            text += "skip me\n";
    }
    write("g.dat", text);
    auto t = load("kro -f %d/g.dat -get 10 -regex \"[0-9n].*\"");
    EXPECT_EQ(xs(t->curves().at(0)), (V{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    auto fe = progress.ofType(ProgressBarUpdate::FILE_NAME);
    ASSERT_EQ(fe.size(), 1u);
    EXPECT_EQ(fe[0].value, 10) << "the progress total is the row limit";
    EXPECT_EQ(progress.ofType(ProgressBarUpdate::PROGRESS).back().value, 9);
}

TEST_F(Loader, HugeRowLimitIsHarmless)
{
    write("h.dat", "1 2\n3 4\n");
    auto t = load("kro -f %d/h.dat -get 2000000000");
    EXPECT_EQ(ys(t->curves().at(0)), (V{2, 4}));
    EXPECT_LT(t->curves().at(0).values.vec().capacity(), 4096u);
    EXPECT_TRUE(main.ofType(ParsingThreadUpdate::OUT_OF_MEMORY).empty());
}

TEST_F(Loader, XOffsetAndYUnit)
{
    write("o.dat", "105.25 3.2e-7\n105.75 4e-7\n");
    auto t = load("kro -f %d/o.dat", {.xoffset = true, .yoffset = true});
    EXPECT_EQ(t->xOffset(), 105);
    EXPECT_EQ(t->yUnit(), ParsingThread::NANO);
    EXPECT_EQ(xs(t->curves().at(0)), (V{0.25, 0.75}));
    EXPECT_NEAR(ys(t->curves().at(0))[0], 320, 1e-9);

    // A point label sits on its point: offset, unit and remainders apply to
    // it as they do to the point.
    write("ol.dat", "105.25 3.2e-7 first\n113.75 4e-7 second\n");
    t = load("kro -f %d/ol.dat -pntlbl 3 -xmod 10", {.xoffset = true, .yoffset = true});
    ASSERT_EQ(t->annotations().size(), 2u);
    EXPECT_EQ(xs(t->curves().at(0)), (V{0.25, -1.25}));
    EXPECT_EQ(t->annotations()[0].x, 0.25);
    EXPECT_NEAR(t->annotations()[0].y, 320, 1e-9);
    EXPECT_EQ(t->annotations()[1].x, -1.25);
    EXPECT_NEAR(t->annotations()[1].y, 400, 1e-9);

    write("n.dat", "-2.5 1\n");
    t = load("kro -f %d/n.dat", {.xoffset = true});
    EXPECT_EQ(t->xOffset(), -2);
    EXPECT_EQ(t->yUnit(), ParsingThread::NONE);

    // Millisecond time stamps are far beyond a 32-bit offset.
    write("ms.dat", "1628000000123.5 1\n1628000000124.5 2\n");
    t = load("kro -f %d/ms.dat", {.xoffset = true});
    EXPECT_EQ(t->xOffset(), 1628000000123.0);
    EXPECT_EQ(xs(t->curves().at(0)), (V{0.5, 1.5}));

    const struct {
        const char* y;
        int unit;
        double scaled;
    } units[] = {{"5e-13", ParsingThread::PICO, 0.5}, {"2e-6", ParsingThread::MICRO, 2}, {"0.5", ParsingThread::MILLI, 500}};
    for (const auto& u : units) {
        write("u.dat", QByteArray("1 ") + u.y + "\n");
        t = load("kro -f %d/u.dat", {.yoffset = true});
        EXPECT_EQ(t->yUnit(), u.unit) << u.y;
        EXPECT_NEAR(ys(t->curves().at(0))[0], u.scaled, 1e-12) << u.y;
    }
}

TEST_F(Loader, LimitsAreInclusiveAndRemaindersFollowThem)
{
    write("l.dat", "0 1 9\n1 2 9\n2 3 5\n3 4 9\n4 5 9\n13 6 9\n");
    auto t = load("kro -f %d/l.dat -xlimitmin 1 -xlimitmax 13 -ylimitmax 5 -z 3 -zlimitmin 6 -xmod 10 -mean");
    EXPECT_EQ(xs(t->curves().at(0)), (V{1, 3, 4}));
    EXPECT_EQ(ys(t->curves().at(0)), (V{2, 4, 5}));
    EXPECT_EQ(t->meanMap(), (std::map<int, bool>{{0, true}}));

    // A line whose z field is empty has no z to test: it adds no point
    // (it must not borrow the z of the line before).
    write("z.dat", "1 1 9\n2 2 \n3 3,\n4 4 7\n");
    t = load("kro -f %d/z.dat -z 3 -zlimitmin 6");
    EXPECT_EQ(xs(t->curves().at(0)), (V{1, 4}));

    t = load("kro -f %d/l.dat -xlimitmin 12 -xmod 10 -ymod 4");
    EXPECT_EQ(xs(t->curves().at(0)), (V{3}));
    EXPECT_EQ(ys(t->curves().at(0)), (V{2}));
}

TEST_F(Loader, MultipliersAndPointLabels)
{
    write("s.dat", "1 2 first\n2 4 \"second\"\n3 6\n");
    auto t = load("kro -f %d/s.dat -mult 10 -addx 100 -pntlbl 3");
    EXPECT_EQ(xs(t->curves().at(0)), (V{101, 102, 103}));
    EXPECT_EQ(ys(t->curves().at(0)), (V{20, 40, 60}));
    ASSERT_EQ(t->annotations().size(), 2u);
    EXPECT_EQ(t->annotations()[0].x, 101);
    EXPECT_EQ(t->annotations()[0].y, 20);
    EXPECT_EQ(t->annotations()[0].text, QStringLiteral("first"));
    EXPECT_EQ(t->annotations()[1].text, QStringLiteral("second"));
    EXPECT_EQ(t->annotations()[1].curveId, 0);
}

TEST_F(Loader, SeparatorsQuotesHeaderAndSkipLines)
{
    write("csv.dat",
          "Instrument log\n"
          "\"Time (s)\",\"Voltage, V\";Current\r\n"
          "units: s V A\r\n"
          "\"1.5\",\"2.5\",\"3.5\"\r\n"
          "2.5;3.5;4.5\r\n"
          "3.5\t4.5 5.5\r\n");
    auto t = load("kro -f %d/csv.dat -header 2 -skip 1 -y 2 3", {.verbose = true});
    EXPECT_EQ(xs(t->curves().at(0)), (V{1.5, 2.5, 3.5}));
    EXPECT_EQ(ys(t->curves().at(1)), (V{3.5, 4.5, 5.5}));
    EXPECT_EQ(t->xTitle(), QStringLiteral("Time (s)"));
    EXPECT_EQ(t->yTitles(), (QStringList{"Voltage, V", "Current"}));
    EXPECT_TRUE(main.texts(ParsingThreadUpdate::MESSAGE).contains("Starting read at line 3."));

    // A file that starts with a UTF-8 byte order mark (spreadsheet exports
    // write one): the mark belongs to no field.
    write("bom.dat", "\xEF\xBB\xBF" "1 2\n3 4\n");
    t = load("kro -f %d/bom.dat");
    EXPECT_EQ(xs(t->curves().at(0)), (V{1, 3}));
    // Lines ended by a carriage return alone (old Macintosh text files).
    write("cr.dat", "\"Time\",Volt\r1,2\r3,4\r5,6");
    t = load("kro -f %d/cr.dat -header");
    EXPECT_EQ(xs(t->curves().at(0)), (V{1, 3, 5}));
    EXPECT_EQ(ys(t->curves().at(0)), (V{2, 4, 6}));
    EXPECT_EQ(t->yTitle(), QStringLiteral("Volt"));
    write("bomh.dat", "\xEF\xBB\xBF" "\"Time\",Volt\n1,2\n");
    t = load("kro -f %d/bomh.dat -header");
    EXPECT_EQ(t->xTitle(), QStringLiteral("Time"));
    EXPECT_EQ(ys(t->curves().at(0)), (V{2}));
}

TEST_F(Loader, HeaderOrSkipBeyondTheFile)
{
    write("short.dat", "1 2\n3 4\n5 6\n");
    auto t = load("kro -f %d/short.dat -header 10");
    EXPECT_TRUE(t->curves().empty());
    EXPECT_TRUE(main.ofType(ParsingThreadUpdate::MESSAGE).empty());
    EXPECT_TRUE(main.ofType(ParsingThreadUpdate::LINE_ERROR).empty());

    t = load("kro -f %d/short.dat -header 10", {.verbose = true});
    EXPECT_TRUE(main.texts(ParsingThreadUpdate::MESSAGE)
                    .contains("Error. Header parameter too large. Not enough data rows to continue."));
    t = load("kro -f %d/short.dat -skip 5", {.verbose = true});
    EXPECT_TRUE(main.texts(ParsingThreadUpdate::MESSAGE)
                    .contains("Error. Skip parameter too large. Not enough data rows to continue."));
}

TEST_F(Loader, BadLinesAreReportedAndTheGoodOnesLoaded)
{
    QByteArray text;
    for (int i = 0; i < 50; ++i)
        text += "nan " + QByteArray::number(i) + "\n";
    text += "1 inf\n7 8\n9\n10 11\n";
    write("bad.dat", text);

    auto t = load("kro -f %d/bad.dat");
    EXPECT_EQ(xs(t->curves().at(0)), (V{7, 10})) << "a line too short for the y column adds nothing";
    const QString hint = QStringLiteral("\n               File: %1\n               For display of line numbers, "
                                        "enable verbose mode and run again.")
                             .arg(path("bad.dat"));
    EXPECT_EQ(main.texts(ParsingThreadUpdate::LINE_ERROR),
              (QStringList{"Parsing Error: NaN value read in x column. This data point will be discarded." + hint,
                           "Parsing Error: Inf value read in y column. This data point will be discarded." + hint}));

    t = load("kro -f %d/bad.dat -header 2 -skip 1", {.verbose = true});
    const QStringList errors = main.texts(ParsingThreadUpdate::LINE_ERROR);
    ASSERT_EQ(errors.size(), 48);
    EXPECT_EQ(errors.first(), QStringLiteral("Parsing Error: NaN value read in x column. This data point will be "
                                             "discarded.\n               File: %1, Line 4")
                                  .arg(path("bad.dat")));
    EXPECT_TRUE(errors.last().endsWith("Line 51"));
}

// A comment or a repeated header row inside the data is no point at (0, 0):
// a line whose x and y fields all hold text without a number is reported
// and dropped. A line with some number keeps reading its other fields as 0.
TEST_F(Loader, LinesWithoutANumberAreNotData)
{
    struct Case {
        const char* name;
        QByteArray text;
        const char* options;
        V xs, ys;
        std::vector<int> reportedLines;
    };
    const Case cases[] = {
        {"comment at the top", "# run 1\n1 2\n2 3\n", "", {1, 2}, {2, 3}, {1}},
        {"comment and header in the middle", "1 2\n# run 2\ntime value\n3 4\n", "", {1, 3}, {2, 4}, {2, 3}},
        {"quoted header row", "\"t\",\"v\"\n1,2\n", "", {1}, {2}, {1}},
        {"only separators", "1 2\n , ;\t,\n3 4\n", "", {1, 3}, {2, 4}, {}},
        {"partly numeric", "abc 5\n1 x\n.5 -.5\n", "", {0, 1, .5}, {5, 0, -.5}, {}},
        {"second y column", "1 2 3\n# a b\n4 5 6\n", "-y 3", {1, 4}, {3, 6}, {2}},
        {"date x: the y fields decide", "2021-08-01 1\n# run 2\n2021-08-02 n/a\n2021-08-03 3\n", "-d 1",
         {59427, 59429}, {1, 3}, {2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write("c.dat", c.text);
        auto t = load(QStringLiteral("kro -f %d/c.dat %1").arg(QLatin1String(c.options)), {.verbose = true});
        ASSERT_EQ(indices(t->curves()), std::vector<int>{0});
        EXPECT_EQ(xs(t->curves().at(0)), c.xs);
        EXPECT_EQ(ys(t->curves().at(0)), c.ys);
        QStringList expected;
        for (int line : c.reportedLines)
            expected << QStringLiteral("Parsing Error: No number read in x or y columns. This line will be "
                                       "discarded.\n               File: %1, Line %2")
                            .arg(path("c.dat"))
                            .arg(line);
        EXPECT_EQ(main.texts(ParsingThreadUpdate::LINE_ERROR), expected);
        EXPECT_TRUE(main.ofType(ParsingThreadUpdate::DATE_WARNING).empty()) << "a comment is no bad date";
    }

    // Without verbose mode: once per file, with the hint.
    write("c.dat", "# a\n1 2\n# b\n");
    load("kro -f %d/c.dat");
    EXPECT_EQ(main.texts(ParsingThreadUpdate::LINE_ERROR),
              QStringList{QStringLiteral("Parsing Error: No number read in x or y columns. This line will be "
                                         "discarded.\n               File: %1\n               For display of line "
                                         "numbers, enable verbose mode and run again.")
                              .arg(path("c.dat"))});
}

TEST_F(Loader, EmptyFieldsAndShortDateLinesAddNoPoints)
{
    write("e.dat", "1,2,3\n2,,\n3,4,\n4,5,6\n");
    auto t = load("kro -f %d/e.dat -y 2 3");
    EXPECT_EQ(xs(t->curves().at(0)), (V{1, 3, 4}));
    EXPECT_EQ(xs(t->curves().at(1)), (V{1, 4}));

    write("d.dat", "5 2021-08-01\n6\n7 2021-08-02\n");
    t = load("kro -f %d/d.dat -y 1 -d 2");
    EXPECT_EQ(xs(t->curves().at(0)), (V{59427, 59428}));
}

TEST_F(Loader, DateAndTimeColumnsInSeveralFormats)
{
    write("dt1.dat", "2021-08-01 12:00:00 1\n2021-08-01 18:00:00.5 2\n");
    write("dt2.dat", "8/1/2021,1:30:00 PM,3\n8/2/2021,12:15:00 AM,4\n");
    write("dt3.dat", "01.08.2021 06:00 5\n");
    FileOptionParser p(QStringLiteral("kro -f %1 -dt 1 -y 3").arg(path("dt1.dat")));
    ASSERT_TRUE(p.parse());
    std::vector<FileObject> files = p.fileObjects();
    FileOptionParser p2(QStringLiteral("kro -f %1 -d 1 -t 2 -y 4 -dformat %m/%d/%Y -tformat \"%H:%M:%S %p\"")
                            .arg(path("dt2.dat")));
    ASSERT_TRUE(p2.parse());
    files.push_back(p2.fileObjects()[0]);
    FileOptionParser p3(QStringLiteral("kro -f %1 -t 2 -d 1 -y 3 -dformat %d.%m.%Y -tformat %H:%M").arg(path("dt3.dat")));
    ASSERT_TRUE(p3.parse());
    files.push_back(p3.fileObjects()[0]);

    auto t = run(files);
    ASSERT_EQ(indices(t->curves()), (std::vector<int>{0, 1, 2}));
    const V x0 = xs(t->curves().at(0));
    ASSERT_EQ(x0.size(), 2u);
    EXPECT_NEAR(x0[0], 59427.5, 1e-9);
    EXPECT_NEAR(x0[1], 59427.75 + 0.5 / 86400, 1e-9);
    const V x1 = xs(t->curves().at(1));
    ASSERT_EQ(x1.size(), 2u);
    EXPECT_NEAR(x1[0], 59427 + 13.5 / 24, 1e-9);
    EXPECT_NEAR(x1[1], 59428 + 0.25 / 24, 1e-9);
    EXPECT_NEAR(xs(t->curves().at(2))[0], 59427.25, 1e-9);
    EXPECT_TRUE(main.ofType(ParsingThreadUpdate::DATE_WARNING).empty());
}

TEST_F(Loader, BadDatesAreCountedPerFileAndInTotal)
{
    write("bd1.dat", "2021-02-30 1\n2021-08-01 2\nxx 3\n");
    write("bd2.dat", "2021-13-01 4\n");
    auto t = load("kro -f %d/bd1.dat %d/bd2.dat -d 1");
    EXPECT_EQ(xs(t->curves().at(0)), (V{59427}));
    const auto warnings = main.ofType(ParsingThreadUpdate::DATE_WARNING);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0].text1, path("bd1.dat"));
    EXPECT_EQ(warnings[0].text2, QStringLiteral("%Y-%m-%d"));
    EXPECT_EQ(warnings[0].text3, QStringLiteral("2021-02-30"));
    EXPECT_EQ(warnings[1].text3, QStringLiteral("2021-13-01"));
    const auto total = main.ofType(ParsingThreadUpdate::DATE_TOTAL);
    ASSERT_EQ(total.size(), 1u);
    EXPECT_EQ(total[0].value, 3);
}

TEST_F(Loader, MissingUnreadableAndInvalidSources)
{
    write("ok.dat", "1 2\n");
    QDir(m_dir.path()).mkdir("folder.dat");
    auto t = load("kro -f %d/nothere.dat %d/folder.dat %d/ok.dat %d/ok.dat -regex \"(\" \"(\" \"(\" \"1.*\"");
    EXPECT_EQ(t->missingFile(), path("nothere.dat"));
    EXPECT_EQ(indices(t->curves()), (std::vector<int>{0}));
    const QStringList errors = main.texts(ParsingThreadUpdate::LINE_ERROR);
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Error opening file %1: ").arg(path("folder.dat"))))
        << errors[0].toStdString();
    EXPECT_TRUE(errors[1].startsWith(QStringLiteral("Error: The regular expression \"(\" is invalid: ")))
        << errors[1].toStdString();
    EXPECT_TRUE(errors[1].endsWith(QStringLiteral("File: %1 was not read.").arg(path("ok.dat"))));

    // UTF-16 text (a spreadsheet's "Unicode text") would read as numbers
    // cut at the first zero byte: such a file is reported and not read.
    for (const QByteArray& bom : {QByteArray("\xFF\xFE", 2), QByteArray("\xFE\xFF", 2)}) {
        const QByteArray text = bom.startsWith('\xFF') ? QByteArray("1\0 \0" "2\0\n\0", 8) : QByteArray("\0" "1\0 \0" "2\0\n", 8);
        write("u16.dat", bom + text);
        t = load("kro -f %d/u16.dat");
        EXPECT_TRUE(t->curves().empty());
        EXPECT_EQ(main.texts(ParsingThreadUpdate::LINE_ERROR),
                  QStringList{QStringLiteral("Error: The file %1 holds UTF-16 text, which cannot be read as data. "
                                             "Save it as UTF-8 or plain text and load it again.")
                                  .arg(path("u16.dat"))});
    }
}

TEST_F(Loader, RegularExpressionsSelectWholeLines)
{
    write("r.dat", "DATA 1 2\nJUNK 3 4\nDATA 5 6\r\nxDATA 7 8\n");
    auto t = load("kro -f %d/r.dat -x 2 -y 3 -regex \"DATA .*\"");
    EXPECT_EQ(xs(t->curves().at(0)), (V{1, 5}));
}

TEST_F(Loader, AVeryLongLineIsOneLine)
{
    QByteArray line = "1 2";
    line += QByteArray(700000, ' ');
    line += "3\n4 5 6\n";
    write("long.dat", line);
    auto t = load("kro -f %d/long.dat -y 2 3");
    EXPECT_EQ(xs(t->curves().at(0)), (V{1, 4}));
    EXPECT_EQ(ys(t->curves().at(1)), (V{3, 6}));
}

TEST_F(Loader, ProgressIsBoundedAndReachesTheEnd)
{
    QByteArray text;
    for (int i = 0; i < 20000; ++i)
        text += QByteArray::number(i) + " " + QByteArray::number(i % 7) + "\n";
    write("p.dat", text);
    auto t = load("kro -f %d/p.dat");
    EXPECT_EQ(t->curves().at(0).pointCount(), 20000u);
    const auto names = progress.ofType(ProgressBarUpdate::FILE_NAME);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].text1, path("p.dat"));
    EXPECT_EQ(names[0].value, text.size());
    const auto steps = progress.ofType(ProgressBarUpdate::PROGRESS);
    EXPECT_GE(steps.size(), 90u);
    EXPECT_LE(steps.size(), 101u);
    for (std::size_t i = 1; i < steps.size(); ++i)
        EXPECT_GT(steps[i].value, steps[i - 1].value);
    EXPECT_EQ(steps.back().value, text.size());

    // Lines that the regular expression passes over still move the bar.
    t = load("kro -f %d/p.dat -regex \"19999 .*\"");
    EXPECT_EQ(t->curves().at(0).pointCount(), 1u);
    EXPECT_GE(progress.ofType(ProgressBarUpdate::PROGRESS).size(), 90u);
}

TEST_F(Loader, VerboseMessagesNameFilesAndTimes)
{
    write("v.dat", "1 2\n3 4\n");
    auto t = load("kro -f %d/v.dat", {.verbose = true});
    const QStringList m = main.texts(ParsingThreadUpdate::MESSAGE);
    ASSERT_GE(m.size(), 4);
    EXPECT_EQ(m[0], QStringLiteral("Loading %1...").arg(path("v.dat")));
    EXPECT_EQ(m[1], QStringLiteral("Lines read: 2"));
    EXPECT_TRUE(m[2].startsWith(QStringLiteral("File %1 processed in ").arg(path("v.dat"))));
    EXPECT_TRUE(m[3].startsWith("Done. Completed in "));
    load("kro -f %d/v.dat");
    EXPECT_TRUE(main.ofType(ParsingThreadUpdate::MESSAGE).empty());
}

// A large file is read in parts on several cores: the curves, their order
// and their titles are those of reading it in order (a row limit larger
// than the file keeps the reading in order).
TEST_F(Loader, ALargeFileReadInPartsGivesTheResultOfReadingInOrder)
{
    std::string text;
    std::size_t expectedFirst = 0, expectedThird = 0;
    char number[32];
    auto add = [&](double v) {
        const auto end = std::to_chars(number, number + sizeof number, v, std::chars_format::fixed, 3);
        text.append(number, end.ptr);
    };
    for (int i = 0; i < 120000; ++i) {
        const double y1 = (i % 11 == 0) ? -1.5 : double(i % 1000) * 0.25;
        const double z = double(i % 60);
        add(i * 0.5);
        text += ',';
        add(y1);
        if (i % 7 == 3) { // a short line: no y but the first, no z: no point under the z limit
            text += '\n';
            continue;
        }
        text += ", ";
        add(double(i % 13));
        text += ';';
        add(double(i % 17) - 8);
        text += ' ';
        add(z);
        text += '\n';
        expectedFirst += y1 >= 0 && z <= 50;
        expectedThird += double(i % 17) - 8 >= 0 && z <= 50;
    }
    ASSERT_GT(text.size(), std::size_t(3) << 20);
    write("big.dat", QByteArray::fromStdString(text));
    const std::int64_t partsFrom = std::int64_t(1) << 20;

    struct Result {
        std::vector<int> indices;
        std::vector<std::vector<double>> values;
        QStringList titles;
        QStringList messages;
        QStringList errors;
    };
    auto loadWith = [&](const char* extra) {
        auto t = load(QStringLiteral("kro -f %d/big.dat -x 1 -y 2 3 4 -mody 0 0 5 -zlimitmax 50 -ylimitmin 0 -z 5 %1")
                          .arg(QLatin1String(extra)),
                      {.verbose = true, .partsFrom = partsFrom});
        Result r;
        r.indices = indices(t->curves());
        for (const auto& [id, c] : t->curves())
            r.values.push_back(c.values.vec());
        r.titles = main.texts(ParsingThreadUpdate::CURVE_TITLE);
        r.messages = main.texts(ParsingThreadUpdate::MESSAGE);
        r.errors = main.texts(ParsingThreadUpdate::LINE_ERROR);
        return r;
    };
    const Result parts = loadWith("");
    EXPECT_FALSE(parts.messages.filter(QRegularExpression("^Read in \\d+ parts at once\\.$")).isEmpty())
        << parts.messages.join('\n').toStdString();
    const Result inOrder = loadWith("-get 2000000000");
    EXPECT_TRUE(inOrder.messages.filter("parts at once").isEmpty());
    EXPECT_TRUE(parts.errors.isEmpty());
    EXPECT_TRUE(inOrder.errors.isEmpty());
    EXPECT_EQ(parts.indices, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(parts.indices, inOrder.indices);
    EXPECT_EQ(parts.titles, inOrder.titles);
    ASSERT_EQ(parts.values.size(), 3u);
    EXPECT_EQ(parts.values[0].size(), 2 * expectedFirst);
    EXPECT_EQ(parts.values[2].size(), 2 * expectedThird);
    for (std::size_t k = 0; k < parts.values.size(); ++k)
        EXPECT_TRUE(parts.values[k] == inOrder.values[k]) << "curve " << k;

    // A stop while the parts are read: the run ends, and what it kept of
    // each curve is where that curve starts.
    {
        FileOptionParser p(QStringLiteral("kro -f %1 -x 1 -y 2 3 4 -mody 0 0 5 -zlimitmax 50 -ylimitmin 0 -z 5")
                               .arg(path("big.dat")));
        ASSERT_TRUE(p.parse());
        auto t = std::make_unique<ParsingThread>(&progress, &main);
        t->setFileObjects(p.fileObjects());
        t->setPartsFrom(partsFrom);
        t->start();
        t->requestStop();
        ASSERT_TRUE(t->wait(20000));
        for (const auto& [id, c] : t->curves()) {
            const std::vector<double>& whole = inOrder.values.at(std::size_t(id));
            ASSERT_LE(c.values.size(), whole.size());
            EXPECT_TRUE(std::equal(c.values.begin(), c.values.end(), whole.begin())) << "curve " << id;
        }
        QCoreApplication::sendPostedEvents();
    }

    // A bad line deep in the file: the reading in order takes over and
    // reports it; the good lines still load.
    text.insert(text.size() / 2 + text.substr(text.size() / 2).find('\n') + 1, "nan,1,2;3 4\n");
    write("big.dat", QByteArray::fromStdString(text));
    const Result bad = loadWith("");
    EXPECT_TRUE(bad.messages.filter("parts at once").isEmpty());
    ASSERT_EQ(bad.errors.size(), 1);
    EXPECT_TRUE(bad.errors[0].startsWith("Parsing Error: NaN value read in x column.")) << bad.errors[0].toStdString();
    ASSERT_EQ(bad.values.size(), 3u);
    EXPECT_EQ(bad.values[0].size(), 2 * expectedFirst);
}

// A FIFO that something holds open for writing: reading it waits for data
// until the writer goes or a stop ends the wait.
struct HeldFifo {
    explicit HeldFifo(const QString& path) : path(path)
    {
        EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NONBLOCK);
        EXPECT_GE(fd, 0);
    }
    ~HeldFifo()
    {
        if (fd >= 0)
            ::close(fd);
    }
    void write(const char* text) { EXPECT_EQ(::write(fd, text, std::strlen(text)), ssize_t(std::strlen(text))); }
    QString path;
    int fd = -1;
};

TEST_F(Loader, AStopRequestEndsTheRunWithItsFinishedEvent)
{
    // The first source never ends by itself: only the stop ends the run,
    // and the files after it are not read.
    write("after.dat", "5 6\n7 8\n");
    HeldFifo fifo(path("held.fifo"));
    fifo.write("1 2\n3 4\n");
    FileOptionParser p(QStringLiteral("kro -f %1 %2 %2").arg(fifo.path, path("after.dat")));
    ASSERT_TRUE(p.parse());
    auto t = std::make_unique<ParsingThread>(&progress, &main);
    t->setFileObjects(p.fileObjects());
    t->start();
    EXPECT_FALSE(t->wait(200)) << "a held FIFO keeps the loader waiting for data";
    t->requestStop();
    ASSERT_TRUE(t->wait(20000));
    QCoreApplication::sendPostedEvents();
    ASSERT_FALSE(main.events.empty());
    EXPECT_EQ(main.events.back().type, ParsingThreadUpdate::FINISHED);
    EXPECT_EQ(indices(t->curves()), std::vector<int>{0}) << "the files after the stop were not read";
    EXPECT_EQ(xs(t->curves().at(0)), (V{1, 3}));
}

TEST_F(Loader, AFifoWithoutAWriterReadsAsEmptyAndNeverBlocks)
{
    const QString fifo = path("idle.fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    write("after.dat", "5 6\n");
    FileOptionParser p(QStringLiteral("kro -f %1 %2").arg(fifo, path("after.dat")));
    ASSERT_TRUE(p.parse());
    auto t = std::make_unique<ParsingThread>(&progress, &main);
    t->setFileObjects(p.fileObjects());
    t->start();
    if (!t->wait(20000)) {
        // Let a loader stuck in open() go before failing.
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        t->wait();
        if (fd >= 0)
            ::close(fd);
        FAIL() << "the loader waited for a writer";
    }
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(main.events.back().type, ParsingThreadUpdate::FINISHED);
    // The FIFO's y column keeps its curve index; the next file's curve follows.
    EXPECT_EQ(indices(t->curves()), std::vector<int>{1});
    EXPECT_EQ(xs(t->curves().at(1)), (V{5}));
}

// With numbered x, the x of a point is the number of its line among the
// data lines, also when lines before it gave no point.
TEST_F(Loader, NumberedXFollowsTheLineNumbersPastLinesWithoutAPoint)
{
    struct Case {
        const char* name;
        QByteArray text;
        const char* options;
        std::vector<V> xs, ys;
    };
    const Case cases[] = {
        {"text in the y field", "1\nNA\n3\n4\n", "-y 1", {{0, 2, 3}}, {{1, 3, 4}}},
        {"NaN and Inf", "1\nnan\ninf\n4\n", "-y 1", {{0, 3}}, {{1, 4}}},
        {"two y columns, one line without numbers", "1 10\nNA NA\n3 30\n", "-y 1 2", {{0, 2}, {0, 2}},
         {{1, 3}, {10, 30}}},
        {"one empty y field", "1,10\n2,\n3,30\n", "-y 1 2", {{0, 1, 2}, {0, 2}}, {{1, 2, 3}, {10, 30}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write("n.dat", c.text);
        auto t = load(QStringLiteral("kro -f %d/n.dat -x 0 %1").arg(QLatin1String(c.options)));
        ASSERT_EQ(t->curves().size(), c.xs.size());
        for (std::size_t i = 0; i < c.xs.size(); ++i) {
            EXPECT_EQ(xs(t->curves().at(int(i))), c.xs[i]) << "curve " << i;
            EXPECT_EQ(ys(t->curves().at(int(i))), c.ys[i]) << "curve " << i;
        }
    }
}

// A line longer than any data line (here a file of zeros without a line
// feed) ends the reading with a message; the rows before it stay.
TEST_F(Loader, ALineBeyondTheLongestLineEndsTheFileWithAMessage)
{
    const QString file = write("zeros.dat", "1 2\n3 4\n");
    {
        QFile f(file);
        ASSERT_TRUE(f.resize(f.size() + qint64(kro::import::kMaxLineLength) + 4096)); // sparse: no disk used
    }
    write("next.dat", "5 6\n");
    auto t = load("kro -f %d/zeros.dat %d/next.dat");
    EXPECT_EQ(xs(t->curves().at(0)), (V{1, 3}));
    EXPECT_EQ(xs(t->curves().at(1)), (V{5})) << "the next file is read";
    EXPECT_EQ(main.texts(ParsingThreadUpdate::LINE_ERROR),
              QStringList{QStringLiteral("Error: Line 3 of the file %1 is longer than 64 MB. The rest of the file "
                                         "was not read; the 2 rows before it were kept.")
                              .arg(file)});
}
