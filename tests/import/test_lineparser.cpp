// Reading data lines: fields, scaling, failures, date and time columns,
// header rows; and the date-and-time reader against the library's facet.
#include "import/datetimereader.h"
#include "import/lineparser.h"
#include "import/numparse.h"

#include <gtest/gtest.h>

#include "support/qtprinters.h"

#include <clocale>
#include <random>

using kro::import::CalendarTime;
using kro::import::DateTimeReader;

namespace {

FileObject source(int x, std::vector<int> ys)
{
    FileObject fo(QStringLiteral("%Y-%m-%d"), QStringLiteral("%Y-%m-%d %H:%M:%S%F"), QStringLiteral("%H:%M:%S%F"));
    fo.m_xColumn = x;
    fo.m_yColumns.clear();
    for (int c : ys) {
        YColumn y;
        y.column = c;
        fo.m_yColumns.push_back(y);
    }
    return fo;
}

double mjd(const std::string& text, const std::string& format)
{
    DateTimeReader reader(format);
    CalendarTime t;
    if (!reader.read(text, t))
        return -1;
    return kro::import::mjdFromCalendar(t);
}

} // namespace

TEST(ReadLeadingDouble, HasTheCLibraryPrefixMeaning)
{
    const struct {
        const char* text;
        double value;
        int used; // characters consumed
    } cases[] = {
        {"1.5", 1.5, 3},
        {"-2.25e3x", -2250, 7},
        {"+7", 7, 2},
        {"  \t3", 3, 4},
        {"1.5e", 1.5, 3},
        {".5", 0.5, 2},
        {"abc", 0, 0},
        {"", 0, 0},
        {"--5", 0, 0},
        {"0x10", 16, 4},
        {"1e400", HUGE_VAL, 5},
        {"12,5", 12, 2},
        {"3.7\r\n", 3.7, 3},
    };
    for (const auto& c : cases) {
        double v = -99;
        const char* end = c.text + std::strlen(c.text);
        const char* stop = kro::import::readLeadingDouble(c.text, end, v);
        EXPECT_EQ(v, c.value) << c.text;
        EXPECT_EQ(stop - c.text, c.used) << c.text;
    }
    double v = 0;
    const char* nan = "nan";
    kro::import::readLeadingDouble(nan, nan + 3, v);
    EXPECT_TRUE(std::isnan(v));
}

TEST(ReadLeadingDouble, AgreesWithTheCLibraryOnRandomNumbers)
{
    // Short decimals take a direct path; it must round exactly as strtod.
    std::mt19937_64 rng(7);
    const char* pieces[] = {"", "-", "+", "0", "00", ".", "e", "E-", "e+", "x"};
    for (int n = 0; n < 200000; ++n) {
        std::string text;
        if (n % 5 == 0)
            text += pieces[rng() % 3];
        const int intDigits = int(rng() % 21);
        for (int i = 0; i < intDigits; ++i)
            text.push_back(char('0' + rng() % 10));
        if (rng() % 2) {
            text.push_back('.');
            const int fracDigits = int(rng() % 21);
            for (int i = 0; i < fracDigits; ++i)
                text.push_back(char('0' + rng() % 10));
        }
        if (rng() % 3 == 0) {
            text.push_back(rng() % 2 ? 'e' : 'E');
            if (rng() % 2)
                text.push_back(rng() % 2 ? '-' : '+');
            const int expDigits = int(rng() % 4);
            for (int i = 0; i < expDigits; ++i)
                text.push_back(char('0' + rng() % 10));
        }
        if (n % 7 == 0)
            text += pieces[rng() % 10];
        char* stop = nullptr;
        const double expected = std::strtod(text.c_str(), &stop);
        double v = 0;
        const char* end = text.data() + text.size();
        const char* got = kro::import::readLeadingDouble(text.data(), end, v);
        ASSERT_EQ(got - text.data(), stop - text.c_str()) << text;
        ASSERT_TRUE(v == expected && std::signbit(v) == std::signbit(expected)) << text;
    }
}

TEST(ReadLeadingDouble, IgnoresADecimalCommaLocale)
{
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    bool changed = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"})
        if (std::setlocale(LC_NUMERIC, name)) {
            changed = true;
            break;
        }
    if (!changed)
        GTEST_SKIP() << "no decimal-comma locale installed";
    const char* text = "1.5";
    EXPECT_EQ(kro::import::leadingDouble(text, text + 3), 1.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(LineParser, FieldsAreSeparatedByRunsOfBlanksTabsCommasAndSemicolons)
{
    FileObject fo = source(0, {1, 2, 3});
    LineParser lp(fo);
    lp.parseLine("1, 2;3\t4\n", false);
    EXPECT_EQ(lp.m_x, 1);
    EXPECT_EQ(lp.m_y, (std::vector<double>{2, 3, 4}));

    FileObject two = source(0, {1});
    LineParser lp2(two);
    lp2.parseLine("1,,2", false);
    EXPECT_EQ(lp2.m_fieldCount, 2);
    EXPECT_EQ(lp2.m_y[0], 2);
}

TEST(LineParser, ScalesXAndY)
{
    FileObject fo = source(0, {1, 1});
    fo.m_xScale.mul = 2;
    fo.m_xScale.div = 4;
    fo.m_xScale.add = 10;
    fo.m_xScale.sub = 1;
    fo.m_yColumns[0].mul = 10;
    fo.m_yColumns[1].add = 0.5;
    fo.m_yColumns[1].sub = 0.25;
    fo.m_yColumns[1].div = 2;
    LineParser lp(fo);
    lp.parseLine("8 3\n", false);
    EXPECT_EQ(lp.m_x, 8 * 2 / 4.0 + 10 - 1);
    EXPECT_EQ(lp.m_y[0], 30);
    EXPECT_EQ(lp.m_y[1], 3 / 2.0 + 0.5 - 0.25);
}

TEST(LineParser, NaNInfinityAndLinesWithoutNumbersThrowTheirMessages)
{
    const struct {
        const char* line;
        double xDiv;
        int kind;
        const char* message;
    } cases[] = {
        {"nan 1\n", 1, LineParserException::NAN_VALUE,
         "Parsing Error: NaN value read in x column. This data point will be discarded."},
        {"1 inf\n", 1, LineParserException::INF_VALUE,
         "Parsing Error: Inf value read in y column. This data point will be discarded."},
        {"1 -nan\n", 1, LineParserException::NAN_VALUE,
         "Parsing Error: NaN value read in y column. This data point will be discarded."},
        {"5 1\n", 0, LineParserException::INF_VALUE,
         "Parsing Error: Inf value read in x column. This data point will be discarded."},
        {"0 1\n", 0, LineParserException::NAN_VALUE,
         "Parsing Error: NaN value read in x column. This data point will be discarded."},
        {"1 1e999\n", 1, LineParserException::INF_VALUE,
         "Parsing Error: Inf value read in y column. This data point will be discarded."},
        {"# run 2\n", 1, LineParserException::NO_NUMBER,
         "Parsing Error: No number read in x or y columns. This line will be discarded."},
        {"\"x\",-y\n", 1, LineParserException::NO_NUMBER,
         "Parsing Error: No number read in x or y columns. This line will be discarded."},
    };
    for (const auto& c : cases) {
        FileObject fo = source(0, {1});
        fo.m_xScale.div = c.xDiv;
        LineParser lp(fo);
        try {
            lp.parseLine(c.line, false);
            ADD_FAILURE() << "no exception for " << c.line;
        } catch (const LineParserException& e) {
            EXPECT_EQ(e.kind(), c.kind) << c.line;
            EXPECT_STREQ(e.what(), c.message) << c.line;
        }
    }
}

TEST(LineParser, AFieldWithoutANumberReadsZero)
{
    FileObject fo = source(0, {1});
    LineParser lp(fo);
    lp.parseLine("abc 4\n", false);
    EXPECT_EQ(lp.m_x, 0);
    EXPECT_EQ(lp.m_y[0], 4);
    EXPECT_TRUE(lp.lineComplete());
}

TEST(LineParser, AnEmptyLastFieldIsNotRead)
{
    // "1,2,\n": the third field holds only the terminator.
    FileObject fo = source(0, {1, 2});
    LineParser lp(fo);
    lp.parseLine("1,2,\n", false);
    EXPECT_TRUE(lp.yRead(0));
    EXPECT_FALSE(lp.yRead(1));
    lp.parseLine("1,2,5\n", false);
    EXPECT_TRUE(lp.yRead(1));
    lp.parseLine("1,2,", false);
    EXPECT_FALSE(lp.yRead(1));
    lp.parseLine("\n", false);
    EXPECT_FALSE(lp.lineComplete());
}

TEST(LineParser, ZLabelAndKeyColumns)
{
    FileObject fo = source(0, {1, 2});
    fo.m_zColumn = 3;
    fo.m_labelColumn = 4;
    fo.m_keyColumn = 5;
    LineParser lp(fo);
    lp.parseLine("1 2 3 7.5 peak;A1 sensorB\r\n", false);
    EXPECT_EQ(lp.m_z, 7.5);
    EXPECT_EQ(lp.m_annotation.text, "peak");
    EXPECT_EQ(lp.m_annotation.x, 1);
    EXPECT_EQ(lp.m_annotation.y, 3); // the last y column read wins
    EXPECT_EQ(lp.m_key, "A1");
    EXPECT_TRUE(lp.lineComplete());

    lp.parseLine("1 2 3 7.5\n", false);
    EXPECT_FALSE(lp.lineComplete()) << "a line too short for its key is not complete";

    const std::string longKey(5000, 'k');
    lp.parseLine(("1 2 3 4 l " + longKey + "\n").c_str(), false);
    EXPECT_EQ(lp.m_key.size(), LineParser::KEY_LIMIT);
}

TEST(LineParser, DatePiecesCountAsFields)
{
    FileObject fo = source(0, {3});
    fo.m_dateColumn = 0;
    fo.m_dateFormat = QStringLiteral("%d %b %Y");
    fo.m_xColumn = FileObject::X_FROM_DATETIME;
    LineParser lp(fo);
    lp.parseLine("01 Aug 2021 5.0\n", false);
    EXPECT_EQ(lp.m_y[0], 5.0);
    EXPECT_EQ(lp.m_x, 59427);
    EXPECT_EQ(lp.m_dateErrors, 0);
}

TEST(LineParser, ADateThatTheLineEndsBeforeItIsCompleteRunsOutOfData)
{
    FileObject fo = source(FileObject::X_FROM_DATETIME, {0});
    fo.m_dateColumn = 1;
    LineParser lp(fo);
    // The file's last line without a line terminator: the date is complete.
    lp.parseLine("5 2021-08-01", false);
    EXPECT_EQ(lp.m_x, 59427);
    lp.parseLine("5 2021-08-02\n", false);
    EXPECT_EQ(lp.m_x, 59428);

    // A date of two pieces that the line ends inside of.
    fo.m_dateFormat = QStringLiteral("%Y-%m-%d %H:%M");
    lp.setupDateTime(fo);
    lp.parseLine("5 2021-08-01 12:00", false);
    EXPECT_EQ(lp.m_x, 59427.5);
    for (const char* line : {"5 2021-08-01\n", "5 2021-08-01", "5 2021-08-01 "}) {
        SCOPED_TRACE(line);
        try {
            lp.parseLine(line, false);
            ADD_FAILURE() << "no exception";
        } catch (const OutOfData& e) {
            EXPECT_STREQ(e.what(), "Parsing Error: Out of data while reading date column.");
        }
    }
}

TEST(LineParser, TimeColumnAloneGivesTheFractionOfADayWithAmPm)
{
    const struct {
        const char* line;
        double x;
    } cases[] = {
        {"01:30:00PM 1\n", 0.5625},
        {"1:30:00 PM 1\n", 0.5625},
        {"12:30:00PM 1\n", 12.5 / 24},
        {"12:15:00AM 1\n", 12.25 / 24 - 0.5},
        {"09:00:00am 1\n", 9.0 / 24},
        {"13:30:00 1\n", 0.5625},
        {"9:5:3 1\n", (9 * 3600 + 5 * 60 + 3) / 86400.0},
        {"9:5:3.5 1\n", (9 * 3600 + 5 * 60 + 3.5) / 86400.0},
    };
    for (const auto& c : cases) {
        FileObject fo = source(FileObject::X_FROM_DATETIME, {1});
        fo.m_timeColumn = 0;
        if (std::string(c.line).find(" PM") != std::string::npos) {
            fo.m_timeFormat = QStringLiteral("%H:%M:%S %p");
            fo.m_yColumns[0].column = 2;
        }
        LineParser lp(fo);
        lp.parseLine(c.line, false);
        EXPECT_NEAR(lp.m_x, c.x, 1e-12) << c.line;
        EXPECT_EQ(lp.m_dateErrors, 0) << c.line;
    }
}

TEST(LineParser, DateAndTimeColumnsCombineInEitherOrder)
{
    const double expected = 59427 + (12 * 3600 + 30 * 60) / 86400.0;
    {
        FileObject fo = source(FileObject::X_FROM_DATETIME, {2});
        fo.m_dateColumn = 0;
        fo.m_timeColumn = 1;
        LineParser lp(fo);
        EXPECT_EQ(lp.m_combinedFormat, "%Y-%m-%d %H:%M:%S%F");
        lp.parseLine("2021-08-01,12:30:00,4\n", false);
        EXPECT_NEAR(lp.m_x, expected, 1e-9);
        EXPECT_EQ(lp.m_y[0], 4);
    }
    {
        FileObject fo = source(FileObject::X_FROM_DATETIME, {0});
        fo.m_timeColumn = 1;
        fo.m_dateColumn = 2;
        fo.m_dateFormat = QStringLiteral("%m/%d/%Y");
        LineParser lp(fo);
        EXPECT_EQ(lp.m_combinedFormat, "%H:%M:%S%F %m/%d/%Y");
        lp.parseLine("4 12:30:00 8/1/2021\n", false);
        EXPECT_NEAR(lp.m_x, expected, 1e-9);
    }
    {
        FileObject fo = source(FileObject::X_FROM_DATETIME, {2});
        fo.m_datetimeColumn = 0;
        fo.m_xScale.add = 0.25;
        LineParser lp(fo);
        lp.parseLine("2021-08-01 12:30:00.5 4\n", false);
        EXPECT_NEAR(lp.m_x, expected + 0.5 / 86400 + 0.25, 1e-9);
        EXPECT_EQ(lp.m_y[0], 4) << "the two pieces of the date-time count as two fields";
    }
}

TEST(LineParser, UnreadableDatesCountOneFailureEachAndReadZero)
{
    FileObject fo = source(FileObject::X_FROM_DATETIME, {1});
    fo.m_dateColumn = 0;
    LineParser lp(fo);
    lp.parseLine("2021-02-30 1\n", false);
    EXPECT_TRUE(lp.m_lineDateError);
    EXPECT_EQ(lp.m_x, 0);
    EXPECT_EQ(lp.m_dateErrors, 1);
    EXPECT_EQ(lp.m_firstErrorText, "2021-02-30");
    EXPECT_EQ(lp.m_firstErrorFormat, "%Y-%m-%d");
    lp.parseLine("2021-08-01 1\n", false);
    EXPECT_FALSE(lp.m_lineDateError);
    lp.parseLine("garbage 1\n", false);
    EXPECT_EQ(lp.m_dateErrors, 2);
    // A line that is no data (no number in the y field) is no date failure.
    EXPECT_THROW(lp.parseLine("# notes\n", false), NoNumberExcept);
    EXPECT_EQ(lp.m_dateErrors, 2);
    EXPECT_FALSE(lp.m_lineDateError);
    EXPECT_EQ(lp.m_firstErrorText, "2021-02-30");
    lp.resetDateErrors();
    EXPECT_EQ(lp.m_dateErrors, 0);
}

TEST(LineParser, HeaderRowGivesTheColumnTitles)
{
    {
        FileObject fo = source(0, {1, 2});
        LineParser lp(fo);
        lp.parseLine("\"Time (s)\",Voltage;Current\r\n", true);
        EXPECT_EQ(lp.m_xTitle, QStringLiteral("Time (s)"));
        EXPECT_EQ(lp.m_yTitles, (QStringList{QStringLiteral("Voltage"), QStringLiteral("Current")}));
        EXPECT_TRUE(lp.m_yTitle.isNull());
    }
    {
        FileObject fo = source(0, {2});
        fo.m_dateColumn = 3;
        LineParser lp(fo);
        lp.parseLine("a b Wärme\n", true);
        EXPECT_EQ(lp.m_yTitle, QStringLiteral("Wärme"));
        EXPECT_EQ(lp.m_xTitle, QStringLiteral("Time"));
    }
}

TEST(MjdDate, DatePartOfTheCivilCalendar)
{
    EXPECT_EQ(kro::import::mjdDatePart(2000, 1, 1), 51544);
    EXPECT_EQ(kro::import::mjdDatePart(1970, 1, 1), 40587);
    EXPECT_EQ(kro::import::mjdDatePart(1858, 11, 17), 0);
    EXPECT_EQ(kro::import::mjdDatePart(1899, 12, 31), 0);
    EXPECT_EQ(kro::import::mjdDatePart(1900, 1, 1), 15020);
    EXPECT_EQ(kro::import::mjdDatePart(2024, 2, 29), 60369);
}

TEST(NormalizeDateText, PadsLoneDigitsButNotTheTenthsOfASecond)
{
    const struct {
        std::string in, out;
    } cases[] = {
        {"8/1/2021 9:5:3", "08/01/2021 09:05:03"},
        {"12:30:45.5", "12:30:45.5"},
        {"9:5:3.5", "09:05:03.5"},
        {"1.8.2021", "01.08.2021"},
        {"2021-08-01", "2021-08-01"},
        {"7", "07"},
        {"", ""},
    };
    for (const auto& c : cases) {
        std::string t = c.in;
        kro::import::normalizeDateText(t);
        EXPECT_EQ(t, c.out) << c.in;
    }
}

TEST(DateTimeReader, ReadsTheCommonFormats)
{
    const struct {
        std::string text, format;
        double mjd;
    } cases[] = {
        {"2021-08-01", "%Y-%m-%d", 59427},
        {"2021-08-01 12:00:00", "%Y-%m-%d %H:%M:%S%F", 59427.5},
        {"2021-08-01 12:00:00.250", "%Y-%m-%d %H:%M:%S%F", 59427.5 + 0.25 / 86400},
        {"2021-08-01 12:00:00.2509", "%Y-%m-%d %H:%M:%S%F", 59427.5 + 0.25 / 86400},
        {"2021/08/01", "%Y-%m-%d", 59427}, // literal characters of the format skip any one character
        {"01.08.21", "%d.%m.%y", 59427},
        {"01 Aug 2021", "%d %b %Y", 59427},
        {"2021-8-01", "%Y-%m-%d", 59427},
        {"12:00:00", "%H:%M:%S", 0.5},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(mjd(c.text, c.format), c.mjd, 1e-9) << c.text << " / " << c.format;
    for (const std::string bad : {"", "2021-13-01", "2021-02-29", "x021-08-01", "1399-01-01"})
        EXPECT_EQ(mjd(bad, "%Y-%m-%d"), -1) << bad;
}

TEST(DateTimeReader, AgreesWithTheLibraryFacet)
{
    // The direct scanner must never give a result the facet would not.
    const std::vector<std::string> formats = {"%Y-%m-%d %H:%M:%S%F", "%Y-%m-%d", "%H:%M:%S%F", "%d/%m/%Y %H:%M",
                                              "%Y%m%d%H%M%S",        "%m/%d/%y", "%H:%M:%s",   "%Y-%m-%d %H:%M:%S %p"};
    const std::string alphabet = "0123456789012345678901234567890123456789-:/. PM";
    std::mt19937 rng(12345);
    DateTimeReader facetOnly;
    for (const std::string& format : formats) {
        DateTimeReader reader(format);
        DateTimeReader reference(format);
        EXPECT_TRUE(reader.hasFastPath()) << format;
        std::uniform_int_distribution<int> len(0, 24), pick(0, int(alphabet.size()) - 1);
        for (int n = 0; n < 4000; ++n) {
            std::string text;
            const int l = len(rng);
            for (int i = 0; i < l; ++i)
                text.push_back(alphabet[std::size_t(pick(rng))]);
            if (n % 3 == 0)
                text = "2021-0" + std::to_string(n % 9 + 1) + "-1" + std::to_string(n % 10) + " 1"
                    + std::to_string(n % 10) + ":" + std::to_string(n % 6) + "5:0" + std::to_string(n % 10) + "."
                    + std::to_string(n);
            CalendarTime a, b;
            const bool ra = reader.read(text, a);
            const bool rb = reference.readWithFacet(text, b);
            ASSERT_EQ(ra, rb) << "'" << text << "' / " << format;
            if (ra) {
                EXPECT_EQ(kro::import::mjdFromCalendar(a), kro::import::mjdFromCalendar(b))
                    << "'" << text << "' / " << format;
            }
        }
    }
}
