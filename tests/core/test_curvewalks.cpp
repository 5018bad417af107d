#include "core/curvewalks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

using V = std::vector<double>;
using Points = std::vector<PointXY>;

namespace {
const double kNan = std::numeric_limits<double>::quiet_NaN();

CurveMap oneCurve(const V& values)
{
    CurveMap m;
    m[0] = CurveData(values);
    return m;
}
} // namespace

TEST(Crossings, Examples)
{
    struct Case {
        const char* name;
        V points;
        double level;
        int axis;
        Points want;
    } cases[] = {
        {"up and down", {0, 0, 1, 2, 2, 0}, 1, 1, {{0.5, 1}, {1.5, 1}}},
        {"touch counts twice", {0, 0, 1, 1, 2, 0}, 1, 1, {{1, 1}, {1, 1}}},
        {"x axis", {0, 0, 1, 10}, 0.5, 0, {{0.5, 5}}},
        {"first point on the level never counts", {0, 1, 1, 0.5}, 1, 1, {}},
        // A flat run lying on the level gives its own points, never 0/0.
        {"flat on level", {0, 0, 1, 1, 2, 1, 3, 0}, 1, 1, {{1, 1}, {2, 1}}},
        {"equal x on the x axis", {0, 0, 1, 5, 1, 6, 2, 7}, 1, 0, {{1, 5}, {1, 6}, {1, 6}}},
        // Not-a-number points are passed over; the crossing is interpolated
        // from the last point that had a value.
        {"nan inside", {0, 0, 1, kNan, 2, 2}, 1, 1, {{1, 1}}},
        {"nan first", {0, kNan, 1, 0, 2, 2}, 1, 1, {{1.5, 1}}},
    };
    for (const Case& c : cases) {
        const Points got = crossings(oneCurve(c.points), 0, c.level, c.axis);
        ASSERT_EQ(got.size(), c.want.size()) << c.name;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_DOUBLE_EQ(got[i].first, c.want[i].first) << c.name << " " << i;
            EXPECT_DOUBLE_EQ(got[i].second, c.want[i].second) << c.name << " " << i;
        }
    }
}

TEST(Crossings, Selection)
{
    CurveMap m;
    m[3] = CurveData(V{0, 0, 1, 2});
    m[1] = CurveData(V{0, 2, 1, 0});
    const Points all = crossings(m, ALL_CURVES, 1, 1);
    ASSERT_EQ(all.size(), 2u); // curve 1 first, then curve 3
    EXPECT_EQ(all[0], (PointXY{0.5, 1}));
    EXPECT_EQ(all[1], (PointXY{0.5, 1}));
    EXPECT_TRUE(crossings(m, 7, 1, 1).empty());
    EXPECT_EQ(crossings(m, 3, 1, 1).size(), 1u);
}

TEST(DistanceToSegment, Examples)
{
    PointXY foot{-9, -9};
    EXPECT_DOUBLE_EQ(distanceToSegment({0, 0}, {2, 0}, {1, 1}, &foot), 1);
    EXPECT_EQ(foot, (PointXY{1, 0}));

    foot = {-9, -9};
    EXPECT_EQ(distanceToSegment({0, 0}, {2, 0}, {3, 1}, &foot), -1);
    EXPECT_EQ(foot, (PointXY{-9, -9}));
    EXPECT_EQ(distanceToSegment({0, 0}, {2, 0}, {-1, 1}), -1);

    EXPECT_DOUBLE_EQ(distanceToSegment({0, 0}, {0, 2}, {0, 1}, &foot), 0);
    EXPECT_EQ(foot, (PointXY{0, 1}));
    EXPECT_DOUBLE_EQ(distanceToSegment({0, 0}, {0, 2}, {0.5, 1.5}, &foot), 0.5);
    EXPECT_EQ(foot, (PointXY{0, 1.5}));

    EXPECT_NEAR(distanceToSegment({0, 0}, {2, 2}, {0, 2}, &foot), std::sqrt(2.0), 1e-15);
    EXPECT_NEAR(foot.first, 1, 1e-15);
    EXPECT_NEAR(foot.second, 1, 1e-15);

    EXPECT_TRUE(std::isnan(distanceToSegment({1, 1}, {1, 1}, {2, 2})));
}

TEST(Sort, StableByXWithNanLast)
{
    V p = {2, 1, 1, 2, 2, 3};
    sortPointsByX(p);
    EXPECT_EQ(p, (V{1, 2, 2, 1, 2, 3}));

    V withNan = {kNan, 1, 3, 2, 1, 3, kNan, 4, 2, 5};
    sortPointsByX(withNan);
    EXPECT_EQ(V(withNan.begin(), withNan.begin() + 6), (V{1, 3, 2, 5, 3, 2}));
    EXPECT_TRUE(std::isnan(withNan[6]));
    EXPECT_EQ(withNan[7], 1);
    EXPECT_TRUE(std::isnan(withNan[8]));
    EXPECT_EQ(withNan[9], 4);

    V empty;
    sortPointsByX(empty);
    EXPECT_TRUE(empty.empty());
    V odd = {1, 2, 3};
    EXPECT_THROW(sortPointsByX(odd), std::runtime_error);

    CurveMap m;
    m[0] = CurveData(V{3, 0, 1, 0});
    m[1] = CurveData(V{});
    m[2] = CurveData(V{9, 9, 8, 8});
    sortCurvesByX(m, 0);
    EXPECT_EQ(m[0].values, (V{1, 0, 3, 0}));
    EXPECT_EQ(m[2].values, (V{9, 9, 8, 8}));
    sortCurvesByX(m, ALL_CURVES);
    EXPECT_EQ(m[2].values, (V{8, 8, 9, 9}));
    EXPECT_TRUE(m[1].values.empty());
    sortCurvesByX(m, 5);
}

TEST(Spacings, XSpacingsAndYDifferences)
{
    CurveMap m;
    m[0] = CurveData(V{0, 0, 1, 0, 3, 0});
    m[1] = CurveData(V{});
    m[2] = CurveData(V{10, 0, 11, 0});
    m[3] = CurveData(V{50, 1});
    EXPECT_EQ(xSpacings(m, 0), (V{1, 2}));
    EXPECT_EQ(xSpacings(m, ALL_CURVES), (V{1, 2, 1}));
    EXPECT_TRUE(xSpacings(m, 1).empty());
    EXPECT_TRUE(xSpacings(m, 9).empty());
    EXPECT_TRUE(xSpacings(CurveMap{}, ALL_CURVES).empty());

    EXPECT_EQ(yDifferences({0, 1, 1, 4, 2, 9}), (V{3, 5}));
    EXPECT_TRUE(yDifferences({0, 1}).empty());
    EXPECT_TRUE(yDifferences({}).empty());
}

TEST(AlignByX, InterpolatesInsideTheSourceOnly)
{
    struct Case {
        const char* name;
        V source, referenceX;
        V want;
    } cases[] = {
        {"example", {0, 0, 10, 10}, {-5, 0, 5, 10, 15}, {0, 0, 5, 5, 10, 10}},
        {"empty source", {}, {0, 1}, {}},
        {"one source point", {1, 1}, {1}, {}},
        {"reference before source", {5, 0, 6, 1}, {0, 1, 2}, {}},
        {"empty reference", {0, 0, 1, 1}, {}, {}},
        {"duplicate source x", {0, 0, 1, 4, 1, 6, 2, 8}, {1, 1.5}, {1, 4, 1.5, 7}},
    };
    for (const Case& c : cases) {
        V ref;
        for (double x : c.referenceX) {
            ref.push_back(x);
            ref.push_back(0);
        }
        V out;
        alignByX(ExpressionInput::over(c.source), ExpressionInput::over(ref), out);
        EXPECT_EQ(out, c.want) << c.name;
    }
}

TEST(ExpressionInput, CursorRules)
{
    const V v = {1, 2, 3, 4};
    ExpressionInput c = ExpressionInput::over(v);
    EXPECT_FALSE(c.atEnd());
    EXPECT_TRUE(c.hasNext());
    EXPECT_EQ(c.currentX(), 1);
    c.advance();
    EXPECT_EQ(c.currentY(), 4);
    EXPECT_FALSE(c.hasNext());
    c.advance();
    EXPECT_TRUE(c.atEnd());
    EXPECT_EQ(c.currentX(), 0);
    EXPECT_EQ(c.x, c.end);

    const V empty;
    const ExpressionInput e = ExpressionInput::over(empty);
    EXPECT_TRUE(e.atEnd());
    EXPECT_EQ(e.x, e.end);
    EXPECT_FALSE(e.hasNext());
}
