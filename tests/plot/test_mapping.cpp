// Mapping between data values and pixels of the view in force, and the
// texts of tick labels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "plot/ticklabels.h"
#include "plot_fixture.h"

using namespace plottest;

namespace {

struct PixelCase {
    double x, y;
    QPoint pixel;
};

TEST(PlotMapping, DataToPixelAndBack)
{
    auto p = makePlot(600, 400);
    setGeometry(*p, 80, 40, 30, 50, {0, 10}, {0, 1});
    const PixelCase cases[] = {{0, 0, {80, 349}}, {10, 1, {559, 30}}, {5, 0.5, {320, 190}}};
    for (const PixelCase& c : cases) {
        EXPECT_EQ(p->dataToPixel(c.x, c.y), c.pixel) << c.x << "," << c.y;
    }
    EXPECT_EQ(p->pixelToData({80, 349}), QPointF(0, 0));
    EXPECT_EQ(p->pixelToData({559, 30}), QPointF(10, 1));
}

TEST(PlotMapping, LogarithmicAxisWithNegativeData)
{
    auto p = makePlot(601, 400); // 480 pixel steps: coordinate -2 falls on a pixel
    setGeometry(*p, 80, 40, 30, 50, {-3, 0}, {0, 1});
    p->m_logX = true;
    p->m_logXSign = -1;
    // -100 has the axis coordinate -2; raw 2 is the coordinate itself.
    EXPECT_EQ(p->dataToPixel(-100, 0), p->dataToPixel(-2, 0, true));
    EXPECT_NE(p->dataToPixel(2, 0, true), p->dataToPixel(std::log10(2.0), 0, true));
    const QPoint px = p->dataToPixel(-2, 0, true);
    EXPECT_EQ(px.x(), 80 + 160);
    EXPECT_NEAR(p->pixelToData(px).x(), -100, 1e-9);
}

TEST(PlotMapping, DegenerateRangesAndAreasGiveNoCrash)
{
    auto p = makePlot(600, 400);
    // An empty range in force and a plot area of one pixel: the mapping
    // answers without dividing an int by zero or converting NaN to int.
    // Pixels that have no place land far outside the widget, at 2^24 from
    // its corner, on the side the value lies (NaN counts as low).
    const int far = 1 << 24;
    setGeometry(*p, 80, 40, 30, 50, {3, 3}, {1, 1});
    EXPECT_EQ(p->dataToPixel(3, 1), QPoint(-far, -far)); // 0 / 0
    EXPECT_EQ(p->dataToPixel(NAN, INFINITY), QPoint(-far, -far));
    EXPECT_EQ(p->dataToPixel(1e300, -1e300), QPoint(far, far));
    EXPECT_EQ(p->dataToPixel(-1e300, 1e300), QPoint(-far, -far));
    // A normal range: values far beyond it are held at the same bound
    // instead of wrapping round an int.
    setGeometry(*p, 80, 40, 30, 50, {0, 1}, {0, 1});
    EXPECT_EQ(p->dataToPixel(1e300, -1e300), QPoint(far, far));
    EXPECT_EQ(p->dataToPixel(0, 0), QPoint(80, 400 - 1 - 50));
    setGeometry(*p, 300, 299, 200, 199, {0, 1}, {0, 1});
    const QPointF d = p->pixelToData({300, 200});
    EXPECT_TRUE(std::isnan(d.x()));
    EXPECT_TRUE(std::isnan(d.y()));
}

AxisTicks ticks(double first, double step, int count)
{
    AxisTicks t;
    t.first = first;
    t.step = step;
    t.count = count;
    t.last = first + step * count;
    return t;
}

TEST(TickLabels, XDecimalsTellNeighboursApart)
{
    struct Case {
        AxisTicks t;
        QStringList labels;
        int decimals;
    };
    const Case cases[] = {
        {ticks(0, 0.5, 2), {"0.0", "0.5", "1.0"}, 1},
        {ticks(0, 1, 2), {"0", "1", "2"}, 0},
        {ticks(0.1, 0.1, 1), {"0.1", "0.2"}, 1},
        {ticks(-4, 2, 3), {"-4", "-2", "0", "2"}, 0},
    };
    for (const Case& c : cases) {
        int d = -1;
        EXPECT_EQ(ticklabels::fixedLabels(c.t, &d), c.labels);
        EXPECT_EQ(d, c.decimals);
    }
}

TEST(TickLabels, TicksThatCannotBeToldApartFallBackToThreeDecimals)
{
    // Two ticks 1e-50 apart look the same with 40 decimals.
    int d = -1;
    const QStringList l = ticklabels::fixedLabels(ticks(1.0, 1e-50, 1), &d);
    EXPECT_EQ(l.value(0), "1.000");
    EXPECT_EQ(d, 3);
}

TEST(TickLabels, YFormatIsTheShorterOfFixedAndExponent)
{
    const ticklabels::YFormat tiny = ticklabels::chooseYFormat(ticks(0, 2e-7, 2));
    EXPECT_EQ(tiny.format, 'e');
    EXPECT_EQ(tiny.precision, 1);
    EXPECT_EQ(ticklabels::formatNumber(2e-7, tiny.format, tiny.precision), "2.0e-07");
    const ticklabels::YFormat units = ticklabels::chooseYFormat(ticks(0, 1, 2));
    EXPECT_EQ(units.format, 'f');
    EXPECT_EQ(units.precision, 0);
}

TEST(TickLabels, DecadeLabels)
{
    EXPECT_EQ(ticklabels::decadeLabels({-2.5, 1.2}, 1), QStringList({"10-2", "10-1", "100", "101"}));
    EXPECT_EQ(ticklabels::decadeLabels({-3, -1}, -1), QStringList({"-103", "-102", "-101"}));
}

TEST(TickLabels, CalendarLabels)
{
    const double noon = 60000.5; // 2023-02-25 12:00 UTC
    EXPECT_EQ(ticklabels::dateLabel(noon, 1.0 / 24, false), "Feb 25, 2023");
    const QString fine = ticklabels::dateLabel(noon, 0.2 / 86400, false);
    EXPECT_TRUE(fine.startsWith("Feb 25, 2023\n")) << fine.toStdString();
    EXPECT_TRUE(fine.endsWith("12:00:00.000")) << fine.toStdString();
    EXPECT_EQ(ticklabels::dateLabel(0.25, 0.1, true), " 06:00:00.000");
    EXPECT_EQ(ticklabels::dateLabel(30000, 1, false), "Out of bounds");
    EXPECT_EQ(ticklabels::dateLabel(NAN, 1, false), "Out of bounds");
}

TEST(TickLabels, CalendarLabelsIgnoreTheLocalTimeZone)
{
    // 2023-03-26 02:30 UTC lies in the hour that central European clocks
    // skip; the label is the UTC date all the same.
    const QByteArray old = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    const double mjd = 60029.0 + 2.5 / 24;
    const QString label = ticklabels::dateLabel(mjd, 1.0 / 24, false);
    const QString text = ticklabels::dateLabel(mjd, 0.1 / 86400, false);
    if (old.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", old);
    tzset();
    EXPECT_EQ(label, "Mar 26, 2023");
    EXPECT_TRUE(text.endsWith("02:30:00.000")) << text.toStdString();
}

} // namespace
