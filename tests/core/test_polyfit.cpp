#include "core/polyfit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>
#include <vector>

using V = std::vector<double>;

namespace {
V sample(double from, double to, const std::function<double(double)>& f)
{
    V p;
    for (double x = from; x <= to; x += 1) {
        p.push_back(x);
        p.push_back(f(x));
    }
    return p;
}

using Range = std::pair<std::pair<double, double>, std::pair<double, double>>;
Range yRange(double lo, double hi) { return {{0, lo}, {0, hi}}; }

V ysAsPoints(const V& ys)
{
    V p;
    for (double y : ys) {
        p.push_back(0);
        p.push_back(y);
    }
    return p;
}
} // namespace

TEST(PolynomialFit, RecoversKnownPolynomials)
{
    struct Case {
        V points;
        int d;
        double mean;
        V centred, plain;
    } cases[] = {
        {sample(10, 20, [](double x) { return 1 + 2 * x + 3 * x * x; }), 2, 15, {706, 92, 3}, {1, 2, 3}},
        {sample(1, 7, [](double x) { return x * x * x - x; }), 3, 4, {60, 47, 12, 1}, {0, -1, 0, 1}},
        {sample(0, 4, [](double x) { return 2 * x + 1; }), 1, 2, {5, 2}, {1, 2}},
    };
    for (const Case& c : cases) {
        V centred, plain;
        EXPECT_DOUBLE_EQ(polynomialFit(c.points, centred, plain, c.d), c.mean);
        ASSERT_EQ(centred.size(), c.centred.size());
        ASSERT_EQ(plain.size(), c.plain.size());
        for (std::size_t j = 0; j < centred.size(); ++j) {
            EXPECT_NEAR(centred[j], c.centred[j], 1e-9) << "d " << c.d << " j " << j;
            EXPECT_NEAR(plain[j], c.plain[j], 1e-8) << "d " << c.d << " j " << j;
        }
    }
    V coeffs;
    quadraticFit(cases[0].points, coeffs);
    ASSERT_EQ(coeffs.size(), 3u);
    EXPECT_NEAR(coeffs[0], 1, 1e-8);
    EXPECT_NEAR(coeffs[1], 2, 1e-9);
    EXPECT_NEAR(coeffs[2], 3, 1e-10);
}

TEST(PolynomialFit, SingularSystemIsSilent)
{
    V centred, plain;
    EXPECT_NO_THROW(polynomialFit({0, 1, 1, 2}, centred, plain, 2));
    EXPECT_EQ(plain.size(), 3u);
    bool anyNonFinite = false;
    for (double c : centred)
        anyNonFinite |= !std::isfinite(c);
    EXPECT_TRUE(anyNonFinite);
    EXPECT_TRUE(std::isnan(polynomialFit({}, centred, plain, 1)));
}

TEST(Matrix, Helpers)
{
    Matrix A = {{4, 2}, {2, 3}};
    Matrix lower, upper;
    luDecompose(A, 2, lower, upper);
    EXPECT_EQ(lower, (Matrix{{4, 0}, {2, 2}}));
    EXPECT_EQ(upper, (Matrix{{1, 0.5}, {0, 1}}));
    V out;
    luSolve(lower, upper, {10, 11}, 2, out); // 4a+2b=10, 2a+3b=11
    EXPECT_NEAR(out[0], 1, 1e-15);
    EXPECT_NEAR(out[1], 3, 1e-15);

    Matrix m = {{1, 2, 3}, {4, 5, 6}};
    transposeMatrix(m, 2, 3);
    EXPECT_EQ(m, (Matrix{{1, 4}, {2, 5}, {3, 6}}));
    V row;
    copyMatrixRow(m, row, 3, 2, 1);
    EXPECT_EQ(row, (V{2, 5}));

    EXPECT_EQ(allocateMatrix(2, 3), (Matrix{{0, 0, 0}, {0, 0, 0}}));
    EXPECT_THROW(allocateMatrix(-1, 3), std::bad_alloc);

    interleavePoints({1, 2, 3}, {10, 20}, out);
    EXPECT_EQ(out, (V{1, 10, 2, 20}));
}

TEST(Histogram, Bins)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        double lo, hi;
        V ys;
        int bins;
        V out;
    } cases[] = {
        {"edges go up, max stays in last", 0, 4, {0, 1, 2, 3, 4}, 4, {0.5, 1, 1.5, 1, 2.5, 1, 3.5, 2}},
        {"all equal", 2, 2, {2, 2, 2}, 3, {2, 0, 2, 0, 2, 3}},
        {"above the range into last", 0, 4, {9}, 2, {1, 0, 3, 1}},
        {"non-finite skipped", 0, 4, {nan, inf, -inf, 1}, 2, {1, 1, 3, 0}},
        {"no bins", 0, 4, {1}, 0, {}},
        {"negative bins", 0, 4, {1}, -3, {}},
    };
    for (const Case& c : cases) {
        V out;
        histogram(yRange(c.lo, c.hi), ysAsPoints(c.ys), out, c.bins);
        EXPECT_EQ(out, c.out) << c.name;
    }
    V out;
    EXPECT_THROW(histogram(yRange(0, 1), ysAsPoints({0.5}), out, kMaxHistogramBins + 1), std::runtime_error);
    EXPECT_TRUE(out.empty());
}

TEST(Histogram, BinarySearchAgreesWithLinearScan)
{
    // Awkward range and values on and near the edges.
    const double lo = -0.3, hi = 0.7;
    const int bins = 7;
    const double half = ((hi - lo) / bins) * 0.5;
    // The edges are computed once and kept: clang folds the same expression
    // differently when it sits inside the scan below.
    V edges;
    for (int j = 0; j < bins; ++j)
        edges.push_back(half + (lo + (2 * j + 1) * half));
    V ys;
    for (int i = 0; i <= 700; ++i)
        ys.push_back(lo + (hi - lo) * i / 700.0);
    for (double e : edges)
        ys.insert(ys.end(), {e, std::nextafter(e, -1.0), std::nextafter(e, 2.0)});
    V out;
    histogram(yRange(lo, hi), ysAsPoints(ys), out, bins);

    std::vector<double> counts(bins, 0);
    for (double y : ys) {
        int k = bins - 1;
        for (int j = 0; j < bins; ++j)
            if (edges[j] > y) {
                k = j;
                break;
            }
        ++counts[k];
    }
    for (int k = 0; k < bins; ++k)
        EXPECT_EQ(out[2 * k + 1], counts[k]) << k;
}
