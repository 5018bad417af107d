// The plot's statistics table, phase unwrap, n-th differences and the
// time-interval / fractional-frequency conversions, through the plot: the
// labels they read, the prompts they ask, the reports and the undo copy.
#include <gtest/gtest.h>

#include <QSpinBox>

#include <cmath>
#include <numeric>

#include "analysis/curvetransforms.h"
#include "core/polyfit.h"
#include "platform/inputdialog.h"
#include "plot/plot_fixture.h"
#include "plot/plot_signals.h"
#include "support/prompts.h"

using namespace plottest;

namespace {

std::vector<double> ys(const CurveData& c)
{
    std::vector<double> y;
    for (std::size_t i = 0; i < c.pointCount(); ++i)
        y.push_back(c.y(i));
    return y;
}

CurveData series(double x0, double dx, const std::vector<double>& y)
{
    CurveData c;
    for (std::size_t i = 0; i < y.size(); ++i)
        c.append(x0 + dx * double(i), y[i]);
    return c;
}

// The cells of the table line that starts with "| <first> ".
QStringList cellsOf(const QString& table, const QString& first)
{
    for (const QString& line : table.split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("| ") + first + QLatin1Char(' '))) {
            QStringList cells = line.split(QLatin1Char('|'), Qt::SkipEmptyParts);
            for (QString& c : cells)
                c = c.trimmed();
            return cells;
        }
    return {};
}

} // namespace

TEST(PlotStatisticsTable, RowsUnitsAndValues)
{
    auto p = makePlot();
    // y = 1 + 2x + 0.5x^2 over x 0..4 (MJD days), y in ns.
    std::vector<double> y;
    for (int x = 0; x < 5; ++x)
        y.push_back(1 + 2 * x + 0.5 * x * x);
    p->setCurveData(0, series(0, 1, y), false);
    p->setCurveData(1, series(10, 1, {4, 8}), true);
    p->xLabel(QStringLiteral("MJD"), SET);
    p->yLabel(QStringLiteral("ns"), SET);
    Reports reports(*p);
    p->showStatistics();
    ASSERT_EQ(reports.lines.size(), 1);
    const QString table = reports.lines.first();
    EXPECT_TRUE(table.contains(QStringLiteral("| Rate (seconds/second) ")));
    EXPECT_TRUE(table.contains(QStringLiteral("| Drift (seconds/second^2) ")));

    const QStringList all = cellsOf(table, QStringLiteral("All 2"));
    ASSERT_EQ(all.size(), 12);
    EXPECT_EQ(all[1], QStringLiteral("0.00000"));
    EXPECT_EQ(all[2], QStringLiteral("11.00000"));
    EXPECT_EQ(all[9], QStringLiteral("N/A"));
    EXPECT_EQ(all[11], QStringLiteral("7"));

    // C1: mean 8, slope of y on x (least squares) 40/10, drift twice 0.5.
    const QStringList c1 = cellsOf(table, QStringLiteral("1"));
    ASSERT_EQ(c1.size(), 12);
    EXPECT_EQ(c1[3], QStringLiteral("1.0000"));
    EXPECT_EQ(c1[4], QStringLiteral("17.0000"));
    EXPECT_EQ(c1[5], QStringLiteral("8.0000"));
    // y = 1, 3.5, 7, 11.5, 17: median 7, peak to peak 16, sample deviation
    // sqrt(163.5 / 4) = 6.39336 (five digits: one before the point).
    EXPECT_EQ(c1[6], QStringLiteral("7.0000"));
    EXPECT_EQ(c1[7], QStringLiteral("16.0000"));
    EXPECT_EQ(c1[8], QStringLiteral("6.3934"));
    // All seven values: 1, 3.5, 4, 7, 8, 11.5, 17.
    EXPECT_EQ(all[6], QStringLiteral("7.0000"));
    EXPECT_EQ(all[7], QStringLiteral("16.0000"));
    // Rate 4e-9/86400 = 4.62962...e-14 and drift 1e-9/86400^2 =
    // 1.33959...e-19: one digit before the point, so five significant digits.
    EXPECT_EQ(c1[9], QStringLiteral("4.6296e-14"));
    EXPECT_EQ(c1[10], QStringLiteral("1.3396e-19"));

    // One curve: its row alone.
    p->removeCurve(1);
    reports.clear();
    p->showStatistics();
    EXPECT_TRUE(cellsOf(reports.lines.first(), QStringLiteral("All 1")).isEmpty());
    EXPECT_EQ(cellsOf(reports.lines.first(), QStringLiteral("1")).size(), 12);
}

TEST(PlotUnwrap, GivenRecognisedAndAsked)
{
    auto p = makePlot();
    p->setCurveData(0, series(0, 1, {10, 40, 70, 5, 35}), false);
    // Range 6.28: the 2 pi rollover, threshold 3.14; only the drop from 3.1
    // to -3.1 counts.
    p->setCurveData(1, series(0, 1, {0, 3.1, -3.1, -3.18}), true);
    const CurveMap before = p->curves();
    p->unwrap(100, IdArray{1, 0});
    EXPECT_EQ(ys(p->curves().at(0)), (std::vector<double>{10, 40, 70, 105, 135}));
    p->unwrap(0, IdArray{1, 1});
    EXPECT_EQ(ys(p->curves().at(1)), (std::vector<double>{0, 3.1, -3.1 + 6.28318530717958, -3.18 + 6.28318530717958}));
    p->undo();
    EXPECT_EQ(p->curves().at(1), before.at(1));

    // Another range asks for the signal frequency; the y label gives its unit.
    p->setCurveData(2, series(0, 1, {0, 30, 60, 90, 20}), false);
    p->yLabel(QStringLiteral("ns"), SET);
    kro::test::ScriptedPrompts prompts;
    prompts->answerDialog([](QDialog* d) {
        // 10 MHz: the rollover is 100 ns.
        static_cast<InputDialog*>(d)->lineEdit()->setText(QStringLiteral("10000000"));
        return int(QDialog::Accepted);
    });
    p->unwrap(0, IdArray{1, 2});
    EXPECT_NEAR(ys(p->curves().at(2))[4], 120, 1e-12);
    EXPECT_EQ(ys(p->curves().at(2))[3], 90);
}

TEST(PlotNthDifference, OrderAskedOrGiven)
{
    auto p = makePlot();
    p->setCurveData(0, series(0, 1, {1, 4, 9, 16, 25}), true);
    Reports reports(*p);
    p->ndiff(2, IdArray{1, 0});
    EXPECT_EQ(p->curves().at(0).values.vec(), (std::vector<double>{0, 2, 1, 2, 2, 2}));
    EXPECT_TRUE(reports.has(ZEVOVE::INFO, QStringLiteral("Curve C1 replaced by its 2nd-order difference.\n")));
    p->undo();

    kro::test::ScriptedPrompts prompts;
    prompts->answerDialog([](QDialog* d) {
        static_cast<InputDialog*>(d)->spinBox()->setValue(1);
        return int(QDialog::Accepted);
    });
    p->ndiff();
    EXPECT_EQ(ys(p->curves().at(0)), (std::vector<double>{3, 5, 7, 9}));

    // Cancelled: nothing, not even an undo point.
    reports.clear();
    prompts->answerDialog(int(QDialog::Rejected));
    p->ndiff();
    EXPECT_EQ(reports.texts(), QStringList{QStringLiteral("ndiff canceled.")});
    p->undo();
    EXPECT_EQ(ys(p->curves().at(0)), (std::vector<double>{1, 4, 9, 16, 25}));

    // Orders the prompt cannot give, or whose coefficients overflow a
    // double, are refused and change nothing.
    for (int order : {0, -2, transforms::kMaxDifferenceOrder + 1}) {
        reports.clear();
        p->ndiff(order, IdArray{1, 0});
        EXPECT_TRUE(reports.lines.filter(QStringLiteral("Error: The difference order must be between 1 and")).size() == 1)
            << order;
        EXPECT_EQ(ys(p->curves().at(0)), (std::vector<double>{1, 4, 9, 16, 25})) << order;
    }
}

TEST(PlotTimeConversion, RoundTripAndLabels)
{
    auto p = makePlot();
    // Time interval in ns every 2 s, x label not a unit word.
    const std::vector<double> ti = {5, 7, 4, 10, 12, 11};
    p->setCurveData(0, series(0, 2, ti), true);
    p->yLabel(QStringLiteral("ns"), SET);
    p->timeintToFracfreq(IdArray{1, 0});
    ASSERT_EQ(p->curves().at(0).pointCount(), ti.size() - 1);
    for (std::size_t i = 0; i + 1 < ti.size(); ++i)
        EXPECT_NEAR(p->curves().at(0).y(i), (ti[i + 1] - ti[i]) * 1e-9 / 2, 1e-24);
    EXPECT_EQ(p->yLabel(), QStringLiteral("Fractional Frequency"));

    p->fracFreqToTimeInt(IdArray{1, 0});
    EXPECT_EQ(p->yLabel(), QStringLiteral("Seconds"));
    for (std::size_t i = 0; i + 1 < ti.size(); ++i)
        EXPECT_NEAR(p->curves().at(0).y(i), (ti[i] - ti[0]) * 1e-9, 1e-21) << i;
    // The conversion back took its own undo copy, with the label it replaced.
    p->undo();
    EXPECT_EQ(p->yLabel(), QStringLiteral("Fractional Frequency"));
    EXPECT_NEAR(p->curves().at(0).y(0), (ti[1] - ti[0]) * 1e-9 / 2, 1e-24);
}

TEST(PlotTimeConversion, UndoRestoresTheLabelWithTheData)
{
    // Time interval in ns every second: the fractional frequency is the
    // difference times 1e-9; undone, the label reads ns again, so a second
    // conversion reads the unit again (not 1: -0.2556 instead of -2.556e-10).
    auto p = makePlot();
    const std::vector<double> ti = {10, 9.7444, 9.5};
    p->setCurveData(0, series(0, 1, ti), true);
    p->yLabel(QStringLiteral("ns"), SET);
    const CurveMap before = p->curves();
    for (int round = 0; round < 2; ++round) {
        p->timeintToFracfreq(IdArray{1, 0});
        ASSERT_EQ(p->curves().at(0).pointCount(), 2u);
        EXPECT_NEAR(p->curves().at(0).y(0), (9.7444 - 10) * 1e-9, 1e-22) << round;
        EXPECT_EQ(p->yLabel(), QStringLiteral("Fractional Frequency"));
        p->undo();
        EXPECT_EQ(p->yLabel(), QStringLiteral("ns")) << round;
        EXPECT_EQ(p->curves(), before);
    }
    // A label set after an ordinary operation is not touched by its undo.
    p->ndiff(1, IdArray{1, 0});
    p->yLabel(QStringLiteral("mine"), SET);
    p->undo();
    EXPECT_EQ(p->yLabel(), QStringLiteral("mine"));
}

TEST(PlotTimeConversion, DatesCountInDays)
{
    // MJD x values with a label that does not say so: the question; Yes
    // counts a day as 86400 s.
    auto p = makePlot();
    p->setCurveData(0, series(58000, 0.5, {0, 1e-9, 3e-9}), true);
    p->xLabel(QStringLiteral("Time"), SET);
    kro::test::ScriptedPrompts prompts;
    prompts->answerMessage(QMessageBox::Yes);
    p->timeintToFracfreq(IdArray{1, 0});
    ASSERT_EQ(prompts->asked().size(), 1u);
    EXPECT_EQ(prompts->asked()[0].title, QStringLiteral("Convert from MJD"));
    EXPECT_NEAR(p->curves().at(0).y(0), 1e-9 / 43200, 1e-24);

    // A label that names MJD (not a unit word itself) asks nothing and counts days.
    auto q = makePlot();
    q->setCurveData(0, series(58000, 0.5, {0, 1e-9, 3e-9}), true);
    q->xLabel(QStringLiteral("Time (MJD)"), SET);
    q->timeintToFracfreq(IdArray{1, 0});
    EXPECT_NEAR(q->curves().at(0).y(1), 2e-9 / 43200, 1e-24);

    // A label that is itself the unit word days: Yes counts a day once, not twice.
    auto d = makePlot();
    d->setCurveData(0, series(58000, 0.5, {0, 1e-9, 3e-9}), true);
    d->xLabel(QStringLiteral("days"), SET);
    prompts->answerMessage(QMessageBox::Yes);
    d->timeintToFracfreq(IdArray{1, 0});
    EXPECT_NEAR(d->curves().at(0).y(0), 1e-9 / 43200, 1e-24);
    // Back to time interval with the same day count: the differences come back.
    prompts->answerMessage(QMessageBox::Yes);
    d->fracFreqToTimeInt(IdArray{1, 0});
    EXPECT_NEAR(d->curves().at(0).y(1), 1e-9, 1e-21);

    // Cancelling the curve choice converts nothing.
    auto r = makePlot();
    r->setCurveData(0, series(0, 1, {1, 2}), false);
    r->setCurveData(1, series(0, 1, {1, 2}), true);
    Reports reports(*r);
    prompts->answerDialog(int(QDialog::Rejected));
    r->fracFreqToTimeInt();
    EXPECT_TRUE(reports.has(ZEVOVE::INFO, QStringLiteral("Conversion canceled.")));
    EXPECT_EQ(ys(r->curves().at(0)), (std::vector<double>{1, 2}));
}
