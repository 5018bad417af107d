// Pictures of axes and curves at the edges: logarithmic axes after a zoom
// or a pan, extreme and reversed ranges, and curves of one point.
#include "support/paramnames.h"
#include <gtest/gtest.h>

#include <cmath>

#include "plot/rotlabel.h"
#include "plot/ticklabels.h"
#include "plot_fixture.h"

using namespace plottest;

namespace {

const QRgb kGrid = qRgb(1, 200, 3);

bool isLabelColour(QColor c) { return c.red() > c.green() + 80 && c.blue() > c.green() + 80; }

struct LogCase {
    const char* name;
    double x0, x1; // a point at each end of the data
    double y0, y1;
    AxisRange x, y; // the ranges in force, in decades
};

void PrintTo(const LogCase& c, std::ostream* os) { *os << c.name; }

class LogAxisPicture : public ::testing::TestWithParam<LogCase> {};

// Grid lines stay inside the plot area, decade labels stay beside the edge
// they belong to, and the left margin holds the y labels actually drawn.
TEST_P(LogAxisPicture, NothingLeavesItsPlace)
{
    const LogCase c = GetParam();
    auto p = makePlot(600, 400);
    p->m_gridColor = QColor(kGrid);
    p->m_axesMarkersColor = QColor(200, 0, 200);
    p->m_gridVertical = p->m_gridHorizontal = true;
    p->yLabel("Amplitude", SET);
    p->m_logX = p->m_logY = true;
    p->setCurveData(0, curveOf({{c.x0, c.y0}, {c.x1, c.y1}}), false);
    p->rescale();
    p->setDomain(c.x);
    p->setRange(c.y);
    p->refreshPixmap();
    const QImage img = image(*p);
    const QRect area = p->plotArea();
    if (const QString out = qEnvironmentVariable("KRO_PICTURES"); !out.isEmpty())
        img.save(QStringLiteral("%1/log-%2.png").arg(out, QString::fromLatin1(c.name).replace(' ', '_')));

    EXPECT_GT(countColour(img, area, kGrid), 0) << "grid lines are drawn";
    EXPECT_EQ(countColour(img, img.rect(), kGrid), countColour(img, area, kGrid)) << "a grid line outside the area";

    // Decade labels below the x axis: within the width of the area and
    // its labels, nowhere left of the y axis.
    const QRect below = boundsWhere(img, QRect(0, area.bottom() + 1, img.width(), img.height()), isLabelColour);
    ASSERT_FALSE(below.isNull()) << "x decade labels";
    EXPECT_GE(below.left(), area.left() - 20);
    // Decade labels left of the y axis: along the axis, not under it.
    const QRect left = boundsWhere(img, QRect(0, 0, area.left(), area.bottom() + 1), isLabelColour);
    ASSERT_FALSE(left.isNull()) << "y decade labels";
    EXPECT_GE(left.top(), area.top() - 2 * p->m_tickFontHeight);
    EXPECT_LE(left.bottom(), area.bottom());
    // The margin holds them: clear of the y-axis label.
    EXPECT_GT(left.left(), p->m_yLabel->geometry().right()) << "y labels under the y-axis label";
}

INSTANTIATE_TEST_SUITE_P(
    ZoomedAndPanned, LogAxisPicture,
    ::testing::Values(LogCase{"positive, zoomed", 1, 1000, 1, 1000, {0.2, 2.2}, {0.2, 2.2}},
                      LogCase{"positive, panned", 1, 1000, 1, 1000, {0.6789, 2.6789}, {0.2345678, 2.2345678}},
                      LogCase{"negative x", -1000, -1, 1, 1000, {-2.6, -0.6}, {0, 3}},
                      LogCase{"negative y", 1, 1000, -1000, -1, {0, 3}, {-2.6, -0.6}},
                      LogCase{"negative both, panned", -1000, -1, -1000, -1, {-2.45, -0.45}, {-2.55, -0.55}},
                      LogCase{"whole decades", 0.01, 1e5, 1e-3, 10, {-2, 5}, {-3, 1}},
                      LogCase{"small numbers", 1e-12, 1e-9, 1e-12, 1e-9, {-11.7, -9.3}, {-12.5, -9.5}}),
    [](const auto& info) { return kro::test::caseName(info.param.name); });

TEST(LogPositions, OnlyPositionsInsideTheRange)
{
    // Positive data: j x 10^d; 0.2 .. 2.2 holds 2..9 x 10^0, 1..9 x 10^1
    // and 1 x 10^2 (log10 2 = 0.301 > 0.2; log10 200 = 2.301 > 2.2).
    std::vector<double> expected;
    for (int d = 0; d <= 2; ++d)
        for (int j = 1; j <= 9; ++j)
            if (const double c = d + std::log10(double(j)); c >= 0.2 && c <= 2.2)
                expected.push_back(c);
    std::vector<double> got;
    for (const auto& pos : ticklabels::logPositions({0.2, 2.2}, 1))
        got.push_back(pos.coordinate);
    EXPECT_EQ(got, expected);
    // Negative data: -(j x 10^-d) at d - log10 j.
    const auto negative = ticklabels::logPositions({-2.6, -0.6}, -1);
    ASSERT_FALSE(negative.empty());
    for (const auto& pos : negative) {
        EXPECT_GE(pos.coordinate, -2.6);
        EXPECT_LE(pos.coordinate, -0.6);
        EXPECT_DOUBLE_EQ(pos.coordinate, pos.decade - std::log10(double(pos.multiple)));
    }
    EXPECT_EQ(negative.size(), 18u); // -0.6 .. -2.6: two whole decades of nine positions
    EXPECT_TRUE(ticklabels::logPositions({1, 1}, 1).empty());
    EXPECT_TRUE(ticklabels::logPositions({2, 1}, 1).empty());
    EXPECT_TRUE(ticklabels::logPositions({0, 2000}, 1).empty()) << "too many decades";
    EXPECT_TRUE(ticklabels::logPositions({1e300, 1e300 + 1e290}, 1).empty());
}

// Data near the largest double: the span of the range does not fit in a
// double, yet the axis has ticks and the curve spans the plot area.
TEST(ExtremePicture, DataNearTheLargestDoubleIsDrawnWithTicks)
{
    auto p = makePlot(600, 400);
    p->setCurveData(0, curveOf({{0, -1.7e308}, {1, 1.7e308}, {2, 0}, {3, 8e307}}), true);
    const ViewRect& v = p->view();
    EXPECT_TRUE(v.yTicks.hasStep());
    EXPECT_GE(v.yTicks.count, 3);
    const QImage img = image(*p);
    const QRect area = p->plotArea();
    const QRect curve = boundsOf(img, area, 0x0000FF);
    ASSERT_FALSE(curve.isNull());
    EXPECT_GT(curve.height(), area.height() * 8 / 10) << "a flattened curve";
    // The point at 0 lies halfway up.
    const QPoint mid = p->dataToPixel(2, 0);
    EXPECT_NEAR(mid.y(), (area.top() + area.bottom()) / 2, 3);
    EXPECT_EQ(countColour(img, img.rect(), 0x0000FF), countColour(img, area, 0x0000FF));

    // One value next to the largest double: its range opens without
    // overflowing, and its symbol shows.
    p->setCurveData(0, curveOf({{1, 1.7e308}}, false, true), true);
    EXPECT_TRUE(std::isfinite(p->view().yRange().max));
    EXPECT_TRUE(p->view().yTicks.hasStep());
    const QPoint at = p->dataToPixel(1, 1.7e308);
    EXPECT_TRUE(area.contains(at));
    EXPECT_GT(countColour(image(*p), QRect(at.x() - 5, at.y() - 5, 11, 11), 0x0000FF), 0);
}

// A range given high end first is put in order: the axis reads the usual
// way, with ticks and labels.
TEST(ExtremePicture, AReversedDomainReadsInOrder)
{
    auto p = makePlot(600, 400);
    p->setCurveData(0, curveOf({{0, 0}, {10, 1}}), true);
    p->setDomain(AxisRange(6, 2));
    p->rescale();
    EXPECT_EQ(p->view().xRange(), AxisRange(2, 6));
    EXPECT_TRUE(p->view().xTicks.hasStep());
    EXPECT_LT(p->dataToPixel(3, 0).x(), p->dataToPixel(5, 0).x());
    p->setRange(AxisRange(1, -1));
    p->rescale();
    EXPECT_EQ(p->view().yRange(), AxisRange(-1, 1));
}

} // namespace
