// Curve statistics of a plot: pooled over listed curves and per curve.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/statfunctions.h"
#include "plot_fixture.h"

using namespace plottest;
using namespace StatisticFunction;

namespace {

CurveData ys(std::initializer_list<double> values)
{
    CurveData c;
    double x = 0;
    for (double y : values)
        c.append(x++, y);
    return c;
}

std::string errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(PlotStatistics, PooledAndPerCurve)
{
    auto p = makePlot();
    p->setCurveData(0, ys({1, 2, 3}), false);
    p->setCurveData(1, ys({10}), false);
    EXPECT_DOUBLE_EQ(p->aggregateStatistic(MEAN, 1, IdArray{2, 0, 1}), 4.0);
    EXPECT_DOUBLE_EQ(p->aggregateStatistic(MEAN, 1, IdArray{0}), 4.0) << "no list: every curve";
    EXPECT_DOUBLE_EQ(p->aggregateStatistic(SUM, 0, IdArray::all()), 0 + 1 + 2 + 0);
    EXPECT_DOUBLE_EQ(p->aggregateStatistic(MAX, 1, IdArray{1, 0}), 3.0);
    const std::map<int, double> means = p->curveStatistics(MEAN, 1);
    EXPECT_EQ(means, (std::map<int, double>{{0, 2.0}, {1, 10.0}}));
    EXPECT_DOUBLE_EQ(p->curveStatistics(STDEV, 1).at(0), 1.0);
    EXPECT_EQ(errorOf([&] { p->aggregateStatistic(MEAN, 1, IdArray{1, 7}); }), "Curve C8 does not exist.");
}

TEST(PlotStatistics, PerCurveExtremesSkipNonFiniteValues)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    auto p = makePlot();
    p->setCurveData(0, ys({5, nan, 7}), false);
    p->setCurveData(1, CurveData(), false);
    p->setCurveData(2, ys({nan, 4, -2, std::numeric_limits<double>::infinity()}), false);
    const auto maxima = p->curveStatistics(MAX, 1);
    EXPECT_EQ(maxima.at(0), 7.0);
    EXPECT_EQ(maxima.at(1), 0.0) << "a curve without points";
    EXPECT_EQ(maxima.at(2), 4.0) << "a leading NaN does not hide the values after it";
    EXPECT_EQ(p->curveStatistics(MIN, 1).at(2), -2.0);
}

TEST(PlotStatistics, ViewBoundsComeFromTheRangeInForce)
{
    auto p = makePlot();
    p->setCurveData(0, ys({1, 2, 3}), true);
    p->setCurveData(1, ys({4}), true);
    ViewRect zoomed = p->m_views[0];
    zoomed.userX = AxisRange(0.25, 1.5);
    zoomed.userXInForce = true;
    p->m_views.push_back(zoomed);
    p->m_viewIndex = 1;
    EXPECT_EQ(p->aggregateStatistic(MINVIEW, 0, IdArray{1, 5}), 0.25) << "the curves are not read";
    EXPECT_EQ(p->curveStatistics(MAXVIEW, 0), (std::map<int, double>{{0, 1.5}, {1, 1.5}}));
}

TEST(PlotStatistics, EmptyPlotsAndUnknownFunctions)
{
    auto p = makePlot();
    EXPECT_EQ(errorOf([&] { p->aggregateStatistic(MEAN, 1, IdArray{0}); }),
              "No valid curves were supplied for operation.");
    EXPECT_EQ(p->aggregateStatistic(MINVIEW, 1, IdArray{0}), p->view().yRange().min);
    EXPECT_TRUE(p->curveStatistics(MEAN, 1).empty());
    p->setCurveData(0, ys({1, 2}), false);
    for (int f : {int(NONE), 3, 0}) {
        EXPECT_EQ(errorOf([&] { p->aggregateStatistic(f, 1, IdArray{0}); }), "Warning: Function has not been implemented.");
        EXPECT_EQ(errorOf([&] { p->curveStatistics(f, 1); }), "Warning: Function has not been implemented.");
    }
}
