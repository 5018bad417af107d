// Smoothing, averaging by count and by span, and filtering of points,
// against plain loops over their definitions.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>
#include <vector>

#include "analysis/smoothing.h"
#include "core/linearfilter.h"

namespace {
using V = std::vector<double>;

// Points (x, y) with x = x0 + i and random y.
V randomPoints(std::size_t n, unsigned seed, double x0 = 0)
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> dist(-1000.0, 1000.0);
    V p;
    for (std::size_t i = 0; i < n; ++i) {
        p.push_back(x0 + static_cast<double>(i));
        p.push_back(dist(gen));
    }
    return p;
}

V xsOf(const V& p)
{
    V x;
    for (std::size_t i = 0; i < p.size(); i += 2)
        x.push_back(p[i]);
    return x;
}
} // namespace

TEST(MovingAverage, MatchesThePlainWindowSumExactly)
{
    // 41999 points by 101 is enough work to be shared out among threads,
    // with shares that do not divide the windows evenly.
    for (int n : {1, 2, 5, 6, 13, 101}) {
        for (std::size_t count :
             {std::size_t(n), std::size_t(2 * n), std::size_t(2 * n + 7), std::size_t(1000), std::size_t(41999)}) {
            const V p = randomPoints(count, static_cast<unsigned>(n * 1000 + count));
            const V got = centredMovingAverage(p, n);
            const std::size_t outCount = count - static_cast<std::size_t>(n) + 1;
            ASSERT_EQ(got.size(), 2 * outCount) << "n " << n << " count " << count;
            for (std::size_t k = 0; k < outCount; ++k) {
                double s = 0;
                for (int j = 0; j < n; ++j)
                    s = j == 0 ? p[2 * k + 1] : s + p[2 * (k + static_cast<std::size_t>(j)) + 1];
                ASSERT_EQ(got[2 * k + 1], s / n) << "n " << n << " k " << k;
                ASSERT_EQ(got[2 * k], p[2 * (k + static_cast<std::size_t>((n - 1) / 2))]);
            }
        }
    }
}

TEST(MovingAverage, TakesTheMiddleXOfEachWindow)
{
    // 10 points by 5: 6 points at x2 .. x7; 12 points by 6: 7 points at x2 .. x8.
    struct Case {
        std::size_t count;
        int n;
        V xs;
    } cases[] = {{10, 5, {2, 3, 4, 5, 6, 7}}, {12, 6, {2, 3, 4, 5, 6, 7, 8}}, {3, 4, {}}, {3, 0, {}}};
    for (const Case& c : cases)
        EXPECT_EQ(xsOf(centredMovingAverage(randomPoints(c.count, 1), c.n)), c.xs) << c.count << " by " << c.n;
}

TEST(BlockMeans, AverageGroupsAndDropTheRest)
{
    V p;
    for (int i = 0; i < 10; ++i) {
        p.push_back(i);
        p.push_back(i * i);
    }
    EXPECT_EQ(blockMeans(p, 3), (V{1, 5.0 / 3, 4, 50.0 / 3, 7, 149.0 / 3}));
    EXPECT_EQ(blockMeans(p, 10), (V{4.5, 28.5}));
    EXPECT_TRUE(blockMeans(p, 11).empty());
    EXPECT_TRUE(blockMeans(p, 0).empty());
    EXPECT_TRUE(blockMeans({}, 3).empty());
}

TEST(SpanMeans, GroupOnTheSpanNumberOfX)
{
    const double nan = std::nan("");
    struct Case {
        const char* name;
        V xs;
        double span;
        std::vector<V> groups;  // the x values of each group
    } cases[] = {
        {"0..9 by 4", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 4, {{0, 1, 2, 3}, {4, 5, 6, 7}, {8, 9}}},
        {"a boundary between the first two points", {3.9, 4.1, 4.2}, 4, {{3.9}, {4.1, 4.2}}},
        {"across zero", {-3, -1, 0.5, 1, 2.5}, 2, {{-3}, {-1}, {0.5, 1}, {2.5}}},
        {"a gap of several spans", {0, 0.5, 10, 10.5}, 1, {{0, 0.5}, {10, 10.5}}},
        {"one point", {7}, 3, {{7}}},
        {"no points", {}, 3, {}},
        {"x not a number", {0, nan, 0.2}, 1, {{0}, {nan}, {0.2}}},
    };
    for (const Case& c : cases) {
        V p, want;
        for (double x : c.xs) {
            p.push_back(x);
            p.push_back(10 * x + 1);
        }
        for (const V& g : c.groups) {
            double sx = 0;
            for (double x : g)
                sx += x;
            want.push_back(sx / static_cast<double>(g.size()));
            want.push_back(10 * sx / static_cast<double>(g.size()) + 1);
        }
        const V got = spanMeans(p, c.span);
        ASSERT_EQ(got.size(), want.size()) << c.name;
        for (std::size_t i = 0; i < want.size(); ++i) {
            if (std::isnan(want[i]))
                EXPECT_TRUE(std::isnan(got[i])) << c.name;
            else
                EXPECT_NEAR(got[i], want[i], 1e-12) << c.name << " value " << i;
        }
    }
    for (double span : {0.0, -1.0, nan, double(INFINITY)})
        EXPECT_THROW(spanMeans({0, 1, 1, 2}, span), std::invalid_argument) << span;
}

TEST(FilterPoints, LongCurvesEqualOnePassOfTheDifferenceEquation)
{
    // A second-order recursive filter over 200000 points (several pieces):
    // y(n) = sum b(k) x(n-k) - sum a(k) y(n-k), written out plainly.
    const V b = {0.0675, 0.1349, 0.0675};
    const V a = {1.0, -1.1430, 0.4128};
    const V p = randomPoints(200000, 7, 50.0);
    for (int delay : {0, 3}) {
        const V got = filterPoints(p, b, a, delay);
        const std::size_t n = p.size() / 2;
        ASSERT_EQ(got.size(), 2 * (n - static_cast<std::size_t>(delay)));
        V y(n, 0.0);
        for (std::size_t i = 0; i < n; ++i) {
            double s = 0;
            for (std::size_t k = 0; k < b.size() && k <= i; ++k)
                s += b[k] * p[2 * (i - k) + 1];
            for (std::size_t k = 1; k < a.size() && k <= i; ++k)
                s -= a[k] * y[i - k];
            y[i] = s;
        }
        // The same filter run over all values in one call: identical.
        V x = xsOf(V(p.begin() + 1, p.end())), state, once;
        linearFilter(b.data(), a.data(), 3, 3, x, state, once);
        for (std::size_t i = 0; i + static_cast<std::size_t>(delay) < n; ++i) {
            ASSERT_EQ(got[2 * i + 1], once[i + static_cast<std::size_t>(delay)]) << "point " << i;
            ASSERT_EQ(got[2 * i], p[2 * i]) << "x keeps its place, delay " << delay;
            ASSERT_NEAR(got[2 * i + 1], y[i + static_cast<std::size_t>(delay)], 1e-9 * (1 + std::fabs(y[i])))
                << "point " << i << " delay " << delay;
        }
    }
}

TEST(FilterPoints, DelayRemovalShiftsTheOutputBackAndDropsTheLastXs)
{
    // A moving average of order 4 (5 taps) with its delay of 2 removed:
    // y(i) is the mean of x(i-2) .. x(i+2) and the last two x values go.
    const V b(5, 0.2);
    V p;
    for (int i = 0; i < 8; ++i) {
        p.push_back(i * 10);
        p.push_back(i);
    }
    const V got = filterPoints(p, b, {1.0}, 2);
    EXPECT_EQ(xsOf(got), (V{0, 10, 20, 30, 40, 50}));
    const V ys = {0.6, 1.2, 2.0, 3.0, 4.0, 5.0};
    for (std::size_t i = 0; i < ys.size(); ++i)
        EXPECT_NEAR(got[2 * i + 1], ys[i], 1e-12);
    // Without the removal the curve keeps its length and the start-up.
    const V whole = filterPoints(p, b, {1.0}, 0);
    ASSERT_EQ(whole.size(), p.size());
    EXPECT_NEAR(whole[1], 0.0, 1e-15);
    EXPECT_NEAR(whole[3], 0.2, 1e-15);
    // A curve no longer than the delay has nothing left.
    EXPECT_TRUE(filterPoints({0, 1, 1, 2}, b, {1.0}, 2).empty());
    EXPECT_TRUE(filterPoints({}, b, {1.0}, 0).empty());
}
