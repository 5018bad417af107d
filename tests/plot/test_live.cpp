// Live appending: the sliding window, the base view, the rate meter and the
// date axis switch; and the Unix-to-MJD conversion.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "core/linecolors.h"
#include "core/settings.h"
#include "plot_fixture.h"
#include "plot_signals.h"

using namespace plottest;

namespace {

// Points (x0 + i, y0 + i) for i in [0, n).
std::vector<double> batch(int n, double x0, double y0 = 0)
{
    std::vector<double> v;
    for (int i = 0; i < n; ++i) {
        v.push_back(x0 + i);
        v.push_back(y0 + i);
    }
    return v;
}

std::vector<double> xs(const Plotter& p, int id)
{
    std::vector<double> v;
    const CurveData* c = p.curve(id);
    for (std::size_t i = 0; c && i < c->pointCount(); ++i)
        v.push_back(c->x(i));
    return v;
}

} // namespace

TEST(LiveAppend, SlidingWindow)
{
    struct Case {
        const char* name;
        int before;
        int added;
        int maxPoints;
        int points;
        double firstX;
    };
    const std::vector<Case> cases = {
        {"a full window drops the oldest", 100, 10, 100, 100, 10},
        {"a batch larger than the window keeps its newest", 100, 150, 100, 100, 150},
        {"filling up", 50, 10, 100, 60, 0},
        {"crossing the limit", 95, 10, 100, 100, 5},
        {"no limit", 100, 10, -1, 110, 0},
        {"a window of 0 empties the curve", 100, 10, 0, 0, 0},
        {"a window made smaller", 100, 10, 20, 20, 90},
    };
    for (const Case& c : cases) {
        auto p = makePlot();
        p->appendLiveData(0, batch(c.before, 0), -1, false);
        const double* storage = p->curve(0)->values.data();
        p->appendLiveData(0, batch(c.added, c.before), c.maxPoints, false);
        const std::vector<double> x = xs(*p, 0);
        ASSERT_EQ(int(x.size()), c.points) << c.name;
        if (!x.empty()) {
            EXPECT_EQ(x.front(), c.firstX) << c.name;
            EXPECT_EQ(x.back(), c.before + c.added - 1) << c.name << ": the batch ends the curve";
        }
        if (c.before == c.maxPoints && c.added < c.maxPoints) {
            EXPECT_EQ(p->curve(0)->values.data(), storage) << c.name << ": replaced in place";
        }
    }
}

TEST(LiveAppend, BadBatches)
{
    auto p = makePlot();
    Reports reports(*p);
    p->appendLiveData(0, {1.0}, -1, false);
    EXPECT_FALSE(p->m_liveData) << "fewer than two values: nothing at all";
    p->appendLiveData(0, {1, 2, 3}, -1, false);
    EXPECT_EQ(reports.lines, QStringList{"Warning: Data passed to plotter is invalid. X and Y vector sizes are mismatched."});
    EXPECT_EQ(p->curve(0), nullptr);
    EXPECT_EQ(p->m_ratePointCount, 0u);
}

TEST(LiveAppend, ANewCurveTakesItsPaletteColourAtOnce)
{
    auto p = makePlot();
    p->appendLiveData(3, batch(2, 0), -1, false);
    EXPECT_TRUE(p->curve(3)->attributes.lineColor.isPalette());
    EXPECT_EQ(p->curve(3)->attributes.lineColor, paletteColor(3));
}

TEST(LiveAppend, TheBaseViewFollowsTheData)
{
    auto p = makePlot(600, 400);
    p->appendLiveData(0, batch(3, 10, 1), 100, false);  // x 10..12, y 1..3
    const ViewRect& base = p->m_views[0];
    EXPECT_EQ(base.autoX.min, 10);
    EXPECT_EQ(base.autoX.max, 12);
    // The margin is 5 pixels at the scale in force before the batch (an
    // empty range here, so none).
    EXPECT_EQ(base.autoY.min, 1);
    EXPECT_EQ(base.autoY.max, 3);

    // Inside the range: nothing moves; above it: only the maximum grows by
    // the batch plus 5 pixels.
    p->appendLiveData(0, batch(1, 13, 2), 100, false);
    EXPECT_EQ(base.autoY.min, 1);
    EXPECT_EQ(base.autoY.max, 3);
    EXPECT_EQ(base.autoX.max, 13);
    const double m = p->pixelToData(QPoint(0, 0)).y() - p->pixelToData(QPoint(5, 5)).y();
    p->appendLiveData(0, batch(1, 14, 5), 100, false);
    EXPECT_DOUBLE_EQ(base.autoY.max, 5 + m);
    EXPECT_EQ(base.autoY.min, 1);

    // A rescale shrinks the y range to the data and a margin.
    p->appendLiveData(0, batch(100, 20, 2), 100, false);  // y 2..101, window drops y 1
    const double m2 = p->pixelToData(QPoint(0, 0)).y() - p->pixelToData(QPoint(5, 5)).y();
    p->appendLiveData(0, batch(1, 120, 50), 100, true);
    EXPECT_NEAR(base.autoY.min, 3 - m2, 1e-9);
    EXPECT_NEAR(base.autoY.max, 101 + m2, 1e-9);
    EXPECT_EQ(base.autoX.min, 21) << "the oldest point left in the window";
    EXPECT_GE(base.yTicks.wanted, 2);

    // A range the user fixed stays in force while the automatic one follows.
    p->m_views[0].userY = AxisRange(0, 1);
    p->m_views[0].userYInForce = true;
    p->appendLiveData(0, batch(1, 121, 500), 100, false);
    EXPECT_EQ(p->view().yRange(), AxisRange(0, 1));
    EXPECT_GT(p->m_views[0].autoY.max, 500);
}

TEST(LiveAppend, RateMeterAndDateAxis)
{
    writeSetting("autoconvertmjdlive", QString("true"));
    auto p = makePlot();
    qint64 now = 0;
    p->m_rateClockSource = [&] { return now; };
    QSignalSpy rates(p.get(), &Plotter::plotterRateUpdate);
    QSignalSpy mjd(p.get(), &Plotter::mjdInRange);

    p->appendLiveData(0, batch(10, 60000.5), -1, false);
    p->redrawCurves();  // the drawing finds every x in the date range
    EXPECT_TRUE(p->inMjdRange());
    EXPECT_TRUE(mjd.isEmpty()) << "a live plot's drawing does not report the range";
    now = 500;
    p->appendLiveData(0, batch(10, 60010.5), -1, false);
    EXPECT_TRUE(rates.isEmpty());
    now = 1500;
    p->appendLiveData(0, batch(10, 60020.5), -1, false);
    ASSERT_EQ(rates.size(), 1);
    EXPECT_DOUBLE_EQ(rates.at(0).at(1).toDouble(), 20 / 1.5 * 2 / 3);
    ASSERT_EQ(mjd.size(), 1);
    EXPECT_TRUE(mjd.at(0).at(0).toBool());
    EXPECT_TRUE(p->m_dateTimeAxis);

    // Unix seconds switch the axis off at the next update.
    p->removeAllCurves();
    p->appendLiveData(0, batch(10, 1.7e9), -1, false);
    p->redrawCurves();
    now = 2600;
    p->appendLiveData(0, batch(10, 1.7e9 + 10), -1, false);
    EXPECT_FALSE(p->m_dateTimeAxis);
    EXPECT_EQ(rates.size(), 2);
}

TEST(UnixToMjd, ConvertsWhenEveryValueFits)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 1}, {86400, 2}}), false);
    p->setCurveData(1, curveOf({{1.7e9, 3}}), false);
    p->on_convertFromUnixToMJD();
    EXPECT_EQ(p->curve(0)->x(0), 40587);
    EXPECT_EQ(p->curve(0)->x(1), 40588);
    EXPECT_NEAR(p->curve(1)->x(0), 1.7e9 / 86400 + 40587, 1e-9);
    EXPECT_EQ(p->curve(0)->y(1), 2);
}

TEST(UnixToMjd, NothingChangesWhenAValueIsOutOfRange)
{
    auto p = makePlot();
    const CurveData first = curveOf({{0.1, 1}, {3.3, 2}});
    p->setCurveData(0, first, false);
    p->setCurveData(1, curveOf({{1e10, 3}}), false);
    Reports reports(*p);
    p->on_convertFromUnixToMJD();
    EXPECT_TRUE(reports.has(ZEVOVE::ERROR, "Conversion from Unix timestamp to MJD failed. Values fell out of range."));
    EXPECT_EQ(p->curve(0)->values, first.values) << "bit for bit";
    EXPECT_TRUE(p->autoCacheFilled());

    // A corrupt curve raises its error before anything is converted.
    p->m_curves[1].values = {5.0, 6.0, 7.0};
    EXPECT_THROW(p->on_convertFromUnixToMJD(), std::runtime_error);
    EXPECT_EQ(p->curve(0)->values, first.values);
}

TEST(UnixToMjd, OnADateAxisTheDataAreTakenAsDates)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{60000, 1}, {60001, 2}}), false);
    p->m_dateTimeAxis = true;
    QSignalSpy cached(p.get(), &Plotter::autoCacheAvailable);
    p->on_convertFromUnixToMJD();
    EXPECT_EQ(p->curve(0)->x(0), 60000);
    EXPECT_EQ(cached.size(), 1);
    EXPECT_EQ(p->m_views[0].autoX.min, 60000 - (p->m_views[0].autoX.max - 60001)) << "rescaled symmetrically";
}
