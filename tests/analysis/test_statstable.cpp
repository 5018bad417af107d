// The statistics table as text: digits by the size of a value, the rate and
// drift units from the axis labels, fixed or general notation by the mean,
// and the column alignment.
#include <gtest/gtest.h>

#include <QStringList>

#include "analysis/statstable.h"

using namespace statstable;

TEST(StatsTable, PrecisionFromTheDigitsBeforeThePoint)
{
    const std::pair<double, int> cases[] = {
        {0.5, 4}, {5.25, 5}, {-0.25, 6}, {1234.5678, 8}, {12, 6}, {1e20, 6}, {0.001, 4},
    };
    for (const auto& [value, digits] : cases)
        EXPECT_EQ(statisticPrecision(value), digits) << value;
}

TEST(StatsTable, UnitsFromTheLabels)
{
    const QString delta = QString::fromUtf8("\u03b4y/\u03b4x");
    struct Case {
        const char* x;
        const char* y;
        double sx, sy;
        QString rate, drift;
    };
    const Case cases[] = {
        {"MJD", "ns", 86400, 1e-9, QStringLiteral("seconds/second"), QStringLiteral("seconds/second^2")},
        {"Time", "Volts", 1, 1, delta, delta + QStringLiteral("^2")},
        {"Time", "Seconds", 1, 1, QString::fromUtf8("seconds/\u03b4x"), QString::fromUtf8("seconds/\u03b4x^2")},
        {"s", "V", 1, 1, QString::fromUtf8("\u03b4y/second"), QString::fromUtf8("\u03b4y/second^2")},
    };
    for (const Case& c : cases) {
        const Units u = rateUnits(QString::fromLatin1(c.x), QString::fromLatin1(c.y), c.sx, c.sy);
        EXPECT_EQ(u.rate, c.rate) << c.x << " " << c.y;
        EXPECT_EQ(u.drift, c.drift) << c.x << " " << c.y;
    }
}

TEST(StatsTable, NotationFollowsTheMean)
{
    Row r;
    r.curve = QStringLiteral("1");
    r.min = 1;
    r.max = 3;
    r.median = 2;
    r.stdev = 1.5;
    r.points = 3;
    r.mean = 0.001; // fixed
    QStringList c = formatRow(r);
    EXPECT_EQ(c[3], QStringLiteral("1.0000"));
    EXPECT_EQ(c[5], QStringLiteral("0.0010"));
    EXPECT_EQ(c[7], QStringLiteral("2.0000"));
    EXPECT_EQ(c[9], QStringLiteral("N/A"));
    r.mean = 100000; // general, six digits for whole numbers
    c = formatRow(r);
    EXPECT_EQ(c[3], QStringLiteral("1"));
    EXPECT_EQ(c[5], QStringLiteral("100000"));
    EXPECT_EQ(c[8], QStringLiteral("1.5"));
    r.mean = 123456.789;
    EXPECT_EQ(formatRow(r)[5], QStringLiteral("123456.789"));
}

TEST(StatsTable, ColumnsLineUp)
{
    Row all;
    all.curve = QStringLiteral("All 2");
    all.stop = 2;
    all.min = 1;
    all.max = 3;
    all.mean = 2;
    all.median = 2;
    all.stdev = 1;
    all.points = 3;
    Row one = all;
    one.curve = QStringLiteral("1");
    one.rate = 1;
    one.drift = 0;
    const Units u{QString::fromUtf8("\u03b4y/\u03b4x"), QString::fromUtf8("\u03b4y/\u03b4x^2")};
    const QString table = formatTable({all, one}, u);

    // Widths: the header + 2, or the widest value + 2.
    const int widths[] = {7, 9, 9, 8, 8, 8, 8, 8, 7, 14, 17, 8};
    QString separator;
    for (int w : widths)
        separator += QLatin1Char('+') + QString(w, QLatin1Char('-'));
    separator += QLatin1Char('+');
    auto cell = [&](int k, const QString& text) {
        return QStringLiteral("| ") + text + QString(widths[k] - text.size() - 1, QLatin1Char(' '));
    };
    const QStringList headers = {QStringLiteral("Curve"),  QStringLiteral("Start"), QStringLiteral("Stop"),
                                 QStringLiteral("Min"),    QStringLiteral("Max"),   QStringLiteral("Mean"),
                                 QStringLiteral("Median"), QStringLiteral("Pk-Pk"), QStringLiteral("Stdev"),
                                 QString::fromUtf8("Rate (\u03b4y/\u03b4x)"),
                                 QString::fromUtf8("Drift (\u03b4y/\u03b4x^2)"), QStringLiteral("Points")};
    QString header, rowAll, rowOne;
    const QStringList allCells = {QStringLiteral("All 2"), QStringLiteral("0.00000"), QStringLiteral("2.00000"),
                                  QStringLiteral("1.0000"), QStringLiteral("3.0000"), QStringLiteral("2.0000"),
                                  QStringLiteral("2.0000"), QStringLiteral("2.0000"), QStringLiteral("1"),
                                  QStringLiteral("N/A"), QStringLiteral("N/A"), QStringLiteral("3")};
    QStringList oneCells = allCells;
    oneCells[0] = QStringLiteral("1");
    oneCells[9] = QStringLiteral("1");
    oneCells[10] = QStringLiteral("0");
    for (int k = 0; k < 12; ++k) {
        header += cell(k, headers[k]);
        rowAll += cell(k, allCells[k]);
        rowOne += cell(k, oneCells[k]);
    }
    const QString expected = separator + "\n" + header + "|\n" + separator + "\n" + rowAll + "|\n" + rowOne + "|\n"
                             + separator + "\n\n";
    EXPECT_EQ(table, expected);
}
