// The summary of a curve's values: extremes, the order of x and the blocks
// of the level-of-detail pyramid against plain loops over the definition;
// built once per version of the values and shared by their copies.
#include "core/curvedata.h"
#include "core/curvesummary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <thread>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
using Extent = CurveSummary::Extent;

void expectExtent(const Extent& e, bool any, double lo = 0, double hi = 0, const char* what = "")
{
    EXPECT_EQ(e.any, any) << what;
    if (any && e.any) {
        EXPECT_EQ(e.min, lo) << what;
        EXPECT_EQ(e.max, hi) << what;
    }
}

struct ExtremesCase {
    const char* name;
    std::vector<double> xy;
    bool anyX;
    double x0, x1;
    bool anyY;
    double y0, y1;
    bool ascending, allXFinite;
};

TEST(CurveSummary, ExtremesSkipValuesThatAreNotFinite)
{
    const ExtremesCase cases[] = {
        {"empty", {}, false, 0, 0, false, 0, 0, true, true},
        {"one point", {2, -3}, true, 2, 2, true, -3, -3, true, true},
        {"plain", {0, 5, 1, -2, 2, 7, 3, 1}, true, 0, 3, true, -2, 7, true, true},
        {"undefined and infinite y", {0, kNaN, 1, kInf, 2, -kInf, 3, 4}, true, 0, 3, true, 4, 4, true, true},
        {"undefined x", {kNaN, 1, 5, 2, -kInf, 3}, true, 5, 5, true, 1, 3, false, false},
        {"nothing finite", {kNaN, kNaN, kInf, -kInf}, false, 0, 0, false, 0, 0, false, false},
        {"x going back", {0, 0, 2, 0, 1, 0}, true, 0, 2, true, 0, 0, false, true},
        {"repeated x", {1, 0, 1, 0, 1, 0}, true, 1, 1, true, 0, 0, true, true},
    };
    for (const ExtremesCase& c : cases) {
        const CurveSummary s = CurveSummary::of(c.xy.data(), c.xy.size() / 2);
        expectExtent(s.x, c.anyX, c.x0, c.x1, c.name);
        expectExtent(s.y, c.anyY, c.y0, c.y1, c.name);
        EXPECT_EQ(s.xAscending, c.ascending) << c.name;
        EXPECT_EQ(s.allXFinite, c.allXFinite) << c.name;
    }
}

TEST(CurveSummary, MagnitudesLeaveOutZero)
{
    const std::vector<double> xy = {0, -0.5, -20, 0, 3, 100, 0.25, -kInf};
    const CurveSummary s = CurveSummary::of(xy.data(), 4);
    expectExtent(s.absX, true, 0.25, 20);
    expectExtent(s.absY, true, 0.5, 100);
    const std::vector<double> zeros = {0, 0, 0, 0};
    expectExtent(CurveSummary::of(zeros.data(), 2).absX, false);
}

// Random data with stretches of undefined values, in blocks and across them.
std::vector<double> randomData(std::size_t n, unsigned seed, bool ascending)
{
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> v(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        v[2 * i] = ascending ? double(i) * 0.5 : u(rng) * 100;
        // Coarse values: ties between the extremes of a block.
        v[2 * i + 1] = std::round(u(rng) * 50);
        if ((i / 700) % 9 == 4)
            v[2 * i + 1] = kNaN; // whole blocks without a usable point
        if (i % 97 == 3)
            v[2 * i] = (i % 2) ? kInf : kNaN;
    }
    return v;
}

// One block by the definition: over the points with finite x and y.
CurveSummary::Block plainBlock(const std::vector<double>& v, std::size_t first, std::size_t count)
{
    CurveSummary::Block b{kInf, -kInf, kInf, -kInf, CurveSummary::kNone, CurveSummary::kNone, CurveSummary::kNone,
                          CurveSummary::kNone};
    for (std::size_t k = 0; k < count; ++k) {
        const double x = v[2 * (first + k)], y = v[2 * (first + k) + 1];
        if (!std::isfinite(x) || !std::isfinite(y))
            continue;
        if (b.firstUsable == CurveSummary::kNone)
            b.firstUsable = std::uint32_t(k);
        b.lastUsable = std::uint32_t(k);
        b.xMin = std::min(b.xMin, x);
        b.xMax = std::max(b.xMax, x);
        if (y < b.yMin) {
            b.yMin = y;
            b.yMinAt = std::uint32_t(k);
        }
        if (y > b.yMax) {
            b.yMax = y;
            b.yMaxAt = std::uint32_t(k);
        }
    }
    return b;
}

TEST(CurveSummary, BlocksOfEveryLevelHoldTheirPointsExtremesAndWhereTheyLie)
{
    // 300,001 points: three levels, a partial block at the end of each.
    const std::size_t n = 300001;
    const std::vector<double> v = randomData(n, 3, false);
    const CurveSummary s = CurveSummary::of(v.data(), n);
    ASSERT_EQ(s.levels.size(), 3u);
    for (std::size_t level = 0; level < s.levels.size(); ++level) {
        const std::size_t size = CurveSummary::blockPoints(level);
        ASSERT_EQ(s.levels[level].size(), n / size) << "level " << level;
        for (std::size_t b = 0; b < s.levels[level].size(); ++b) {
            const CurveSummary::Block want = plainBlock(v, b * size, size);
            const CurveSummary::Block& got = s.levels[level][b];
            ASSERT_EQ(got.firstUsable, want.firstUsable) << "level " << level << " block " << b;
            if (want.firstUsable == CurveSummary::kNone)
                continue;
            ASSERT_EQ(got.lastUsable, want.lastUsable) << "level " << level << " block " << b;
            ASSERT_EQ(got.xMin, want.xMin);
            ASSERT_EQ(got.xMax, want.xMax);
            ASSERT_EQ(got.yMin, want.yMin);
            ASSERT_EQ(got.yMax, want.yMax);
            ASSERT_EQ(got.yMinAt, want.yMinAt) << "level " << level << " block " << b;
            ASSERT_EQ(got.yMaxAt, want.yMaxAt) << "level " << level << " block " << b;
        }
    }
    // Small curves have no levels.
    EXPECT_TRUE(CurveSummary::of(v.data(), CurveSummary::kLevelsFrom - 1).levels.empty());
}

TEST(CurveSummary, ReadOnSeveralThreadsGivesWhatOneLoopGives)
{
    // Large enough to be shared among threads; the order of x breaks
    // exactly at the seam between two of them in the second case.
    const std::size_t n = std::size_t(3) << 20;
    std::vector<double> v(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        v[2 * i] = double(i);
        v[2 * i + 1] = std::sin(double(i) * 1e-3) * double(i % 1000);
    }
    v[2 * 123457 + 1] = -1e6;
    v[2 * (n - 5) + 1] = 2e6;
    const CurveSummary s = CurveSummary::of(v.data(), n);
    expectExtent(s.x, true, 0, double(n - 1));
    expectExtent(s.y, true, -1e6, 2e6);
    EXPECT_TRUE(s.xAscending);
    EXPECT_EQ(s.levels[0][123457 / 64].yMinAt, 123457u % 64);
    EXPECT_EQ(s.levels.back().size(), n / CurveSummary::blockPoints(s.levels.size() - 1));

    for (std::size_t seam : {n / 2, n / 3, 2 * n / 3}) {
        std::vector<double> w = v;
        // Align to a block: stretches start on block boundaries.
        const std::size_t at = seam / 64 * 64;
        w[2 * at] = w[2 * at - 2] - 1;
        EXPECT_FALSE(CurveSummary::of(w.data(), n).xAscending) << at;
    }
}

TEST(CurveValuesSummary, BuiltOnceSharedByCopiesDroppedByAChange)
{
    CurveValues a(std::vector<double>{0, 1, 1, 5, 2, 3});
    EXPECT_EQ(a.builtSummary(), nullptr);
    const CurveSummary* first = &a.summary();
    EXPECT_EQ(first->y.max, 5);
    EXPECT_EQ(&a.summary(), first) << "asked again: the same summary";

    CurveValues copy = a;
    EXPECT_EQ(copy.builtSummary(), first) << "a copy shares the summary with the values";

    // A change through the copy splits it off with no summary; the original keeps its own.
    copy.mut()[3] = 9;
    EXPECT_EQ(copy.builtSummary(), nullptr);
    EXPECT_EQ(copy.summary().y.max, 9);
    EXPECT_EQ(a.summary().y.max, 5);

    // A change to values held alone drops the summary.
    a.mut()[1] = -4;
    EXPECT_EQ(a.builtSummary(), nullptr);
    EXPECT_EQ(a.summary().y.min, -4);
    a.push_back(7);
    a.push_back(20);
    EXPECT_EQ(a.summary().y.max, 20);
    EXPECT_EQ(a.summary().points, 4u);

    // Writes through a reference kept from an earlier mut(): changed().
    std::vector<double>& kept = a.mut();
    EXPECT_EQ(a.summary().x.max, 7);
    kept[6] = 70;
    a.changed();
    EXPECT_EQ(a.summary().x.max, 70);

    EXPECT_EQ(CurveValues().summary().points, 0u);
}

TEST(CurveValuesSummary, ThreadsAskingAtOnceGetOneSummary)
{
    std::vector<double> v(2 * 200000);
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = double(i % 1013);
    const CurveValues values(std::move(v));
    std::vector<const CurveSummary*> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < seen.size(); ++t)
        threads.emplace_back([&, t] { seen[t] = &values.summary(); });
    for (std::thread& t : threads)
        t.join();
    for (const CurveSummary* s : seen)
        EXPECT_EQ(s, values.builtSummary());
    EXPECT_EQ(values.summary().y.max, 1012);
}

} // namespace
