// n-sigma trimming: bounds per curve or from all curves together, points on
// a bound and non-numbers kept, and the report lines.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "analysis/trimming.h"

namespace {

CurveData ys(std::initializer_list<double> values)
{
    CurveData c;
    double x = 0;
    for (double y : values)
        c.append(x++, y);
    return c;
}

std::vector<double> yValues(const CurveData& c)
{
    std::vector<double> y;
    for (std::size_t i = 0; i < c.pointCount(); ++i)
        y.push_back(c.y(i));
    return y;
}

} // namespace

TEST(Trimming, PerCurveBounds)
{
    // m = 2, s = sqrt(20): with n = 2 the bound is 10.94, with n = 1 6.47.
    CurveMap curves{{0, ys({0, 0, 0, 0, 10})}};
    QString report = trimming::trimOutliers(curves, 2, false);
    EXPECT_EQ(curves.at(0).pointCount(), 5u);
    EXPECT_TRUE(report.endsWith(QStringLiteral("C1 Trimmed: 0 points (0.000%).\nTotal trimmed: 0 points (0%).")));

    report = trimming::trimOutliers(curves, 1, false);
    EXPECT_EQ(yValues(curves.at(0)), (std::vector<double>{0, 0, 0, 0}));
    EXPECT_EQ(report, QString::fromUtf8("C1: \u03c3 = 4.47214, \u03bc = 2, Upper Bound = 6.47214, Lower Bound = -2.47214\n"
                                        "C1 Trimmed: 1 points (20.000%).\nTotal trimmed: 1 points (20%)."));
}

TEST(Trimming, ConcatenatedBoundsAndEdgeCases)
{
    // All curves together: mean 27/7, one sigma 4.91: the high curve goes
    // as a whole, the zeros stay.
    CurveMap curves{{0, ys({0, 0, 0, 0})}, {1, ys({10, 10})}, {2, ys({7})}, {3, CurveData()}};
    const QString report = trimming::trimOutliers(curves, 1, true);
    EXPECT_EQ(curves.at(1).pointCount(), 0u);
    EXPECT_EQ(curves.at(0).pointCount(), 4u);
    EXPECT_EQ(curves.at(2).pointCount(), 1u); // one point: no bounds
    EXPECT_TRUE(report.startsWith(QStringLiteral("Concatenated data: ")));
    EXPECT_TRUE(report.contains(QStringLiteral("C2 Trimmed: 2 points (100.000%).\n")));
    EXPECT_TRUE(report.contains(QStringLiteral("C3 Trimmed: 0 points (0.000%).\n")));
    EXPECT_TRUE(report.contains(QStringLiteral("C4 Trimmed: 0 points (nan%).\n")));
    EXPECT_TRUE(report.endsWith(QStringLiteral("Total trimmed: 2 points (28.5714%).")));

    // A y that is not a number is never outside a bound.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    CurveMap withNaN{{0, ys({0, 0, 100})}, {1, ys({nan, 1})}};
    trimming::trimOutliers(withNaN, 0.5, false);
    EXPECT_EQ(withNaN.at(1).pointCount(), 2u);
}

TEST(Trimming, PointsExactlyOnABoundAreKept)
{
    // {0, 0, 4, 4, 2}: mean 2, sample variance 16/4 = 4, so with n = 1 the
    // bounds are exactly 0 and 4 and every point lies on or inside them.
    // A point outside by the least step is trimmed.
    struct Case {
        const char* name;
        CurveMap curves;
        bool concatenated;
    };
    const Case cases[] = {
        {"per curve", {{0, ys({0, 0, 4, 4, 2})}}, false},
        {"concatenated", {{0, ys({0, 4})}, {1, ys({0, 4, 2})}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CurveMap curves = c.curves;
        const QString report = trimming::trimOutliers(curves, 1, c.concatenated);
        EXPECT_TRUE(report.contains(QStringLiteral("Upper Bound = 4, Lower Bound = 0\n"))) << report.toStdString();
        EXPECT_TRUE(report.endsWith(QStringLiteral("Total trimmed: 0 points (0%)."))) << report.toStdString();
    }

    // Bounds drawn in a little: the points on them go.
    CurveMap curves{{0, ys({0, 0, 4, 4, 2})}};
    trimming::trimOutliers(curves, 0.999999, false);
    EXPECT_EQ(yValues(curves.at(0)), (std::vector<double>{2}));
}
