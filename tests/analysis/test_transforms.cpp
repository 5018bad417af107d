// In-place transforms of a curve's y values against values written out
// here: scaling into a range, running sums, derivative, integral and n-th
// differences, with their edge cases and the round trips.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "analysis/curvetransforms.h"

using namespace transforms;

namespace {

const double kInf = std::numeric_limits<double>::infinity();

std::vector<double> points(const std::vector<double>& x, const std::vector<double>& y)
{
    std::vector<double> v;
    for (std::size_t i = 0; i < x.size(); ++i) {
        v.push_back(x[i]);
        v.push_back(y[i]);
    }
    return v;
}

std::vector<double> ysOf(const std::vector<double>& v)
{
    std::vector<double> y;
    for (std::size_t i = 1; i < v.size(); i += 2)
        y.push_back(v[i]);
    return y;
}

// C(n, k) by the product formula.
double binomial(int n, int k)
{
    double c = 1;
    for (int i = 1; i <= k; ++i)
        c = c * (n - k + i) / i;
    return c;
}

} // namespace

TEST(Transforms, NormalizeIntoARange)
{
    struct Case {
        std::vector<double> y;
        double a, b;
        std::vector<double> expected;
    };
    const Case cases[] = {
        {{2, 4, 6}, 0, 1, {0, 0.5, 1}},
        {{2, 4, 6}, 0, 0, {-1, 0, 1}},   // equal bounds: into [-1, 1]
        {{2, 4, 6}, 1, -1, {1, 0, -1}},  // a > b turns the curve over
        {{2, kInf, 6}, 0, 1, {0, kInf, 1}},
    };
    for (const Case& c : cases) {
        std::vector<double> v = points({0, 1, 2}, c.y);
        EXPECT_TRUE(normalizeY(v, c.a, c.b));
        EXPECT_EQ(ysOf(v), c.expected);
    }
    // No spread or no number: left alone.
    for (std::vector<double> y : {std::vector<double>{3, 3, 3}, std::vector<double>{kInf, -kInf, kInf}}) {
        std::vector<double> v = points({0, 1, 2}, y);
        const std::vector<double> before = v;
        EXPECT_FALSE(normalizeY(v, 0, 1));
        EXPECT_EQ(v, before);
    }
}

TEST(Transforms, SumsDerivativeAndIntegral)
{
    std::vector<double> v = points({0, 1, 2, 3}, {1, 2, 3, 4});
    cumulativeSumY(v);
    EXPECT_EQ(ysOf(v), (std::vector<double>{1, 3, 6, 10}));

    v = points({0, 1, 3}, {1, 3, 3});
    EXPECT_TRUE(integrateY(v));
    EXPECT_EQ(ysOf(v), (std::vector<double>{0, 2, 8}));

    // y = x^2: the parabola extrapolation makes both ends exact.
    v = points({0, 1, 2, 3}, {0, 1, 4, 9});
    EXPECT_TRUE(differentiateY(v));
    const std::vector<double> d = ysOf(v);
    const double expected[] = {0, 2, 4, 6};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(d[std::size_t(i)], expected[i], 1e-12);
    // Uneven spacing inside: (y_{i+1} - y_{i-1}) / (x_{i+1} - x_{i-1}).
    v = points({0, 1, 3, 4, 6}, {5, 1, 2, 8, 3});
    differentiateY(v);
    EXPECT_EQ(v[3], (2.0 - 5.0) / 3.0);
    EXPECT_EQ(v[5], (8.0 - 1.0) / 3.0);
    EXPECT_EQ(v[7], (3.0 - 2.0) / 3.0);

    // Too short: unchanged.
    std::vector<double> two = points({0, 1}, {5, 7});
    EXPECT_FALSE(differentiateY(two));
    std::vector<double> one = points({0}, {5});
    EXPECT_FALSE(integrateY(one));
    EXPECT_EQ(one, points({0}, {5}));
}

TEST(Transforms, NthDifference)
{
    EXPECT_EQ(differenceCoefficients(1), (std::vector<double>{1, -1}));
    EXPECT_EQ(differenceCoefficients(2), (std::vector<double>{1, -2, 1}));
    for (int n : {5, 30, 60}) {
        const std::vector<double> b = differenceCoefficients(n);
        ASSERT_EQ(b.size(), std::size_t(n + 1));
        for (int k = 0; k <= n; ++k)
            EXPECT_DOUBLE_EQ(b[std::size_t(k)], (k % 2 ? -1 : 1) * binomial(n, k)) << n << " " << k;
    }

    // ndiff(2) of squares: (0, 2), (1, 2), (2, 2).
    EXPECT_EQ(nthDifference(points({0, 1, 2, 3, 4}, {1, 4, 9, 16, 25}), differenceCoefficients(2)),
              points({0, 1, 2}, {2, 2, 2}));
    // A curve of n points or fewer becomes empty.
    EXPECT_TRUE(nthDifference(points({0, 1}, {1, 4}), differenceCoefficients(2)).empty());
    EXPECT_TRUE(nthDifference(points({0}, {1}), differenceCoefficients(2)).empty());

    // Order 3 equals three first differences taken one after the other.
    std::mt19937 gen(3);
    std::uniform_real_distribution<double> dist(-10, 10);
    std::vector<double> x, y;
    for (int i = 0; i < 50; ++i) {
        x.push_back(i * 0.5);
        y.push_back(dist(gen));
    }
    std::vector<double> iterated = y;
    for (int pass = 0; pass < 3; ++pass) {
        for (std::size_t i = 0; i + 1 < iterated.size(); ++i)
            iterated[i] = iterated[i + 1] - iterated[i];
        iterated.pop_back();
    }
    const std::vector<double> third = nthDifference(points(x, y), differenceCoefficients(3));
    ASSERT_EQ(third.size(), 2 * iterated.size());
    for (std::size_t i = 0; i < iterated.size(); ++i) {
        EXPECT_EQ(third[2 * i], x[i]);
        EXPECT_NEAR(third[2 * i + 1], iterated[i], 1e-12);
    }
}

TEST(Transforms, FirstDifferenceThenRunningSumGivesTheDataBack)
{
    // Whole numbers (as counters deliver them) come back exactly.
    std::mt19937 gen(11);
    std::uniform_int_distribution<int> dist(-1000000, 1000000);
    std::vector<double> x, y;
    for (int i = 0; i < 1000; ++i) {
        x.push_back(i);
        y.push_back(dist(gen));
    }
    std::vector<double> v = nthDifference(points(x, y), differenceCoefficients(1));
    cumulativeSumY(v);
    // Point k holds y_{k+1} - y_0.
    for (std::size_t k = 0; k + 1 < y.size(); ++k)
        EXPECT_EQ(v[2 * k + 1], y[k + 1] - y[0]) << k;
}
