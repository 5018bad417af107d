#include "core/curvesummary.h"

#include <sched.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
using Block = CurveSummary::Block;
constexpr std::uint32_t kNone = CurveSummary::kNone;

// The cores this process may run on.
int usableCores()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        return std::max(1, CPU_COUNT(&set));
    return std::max(1, int(std::thread::hardware_concurrency()));
}

// The curve-wide part of a summary over a stretch of points, as plain
// values a loop keeps in registers.
struct Totals {
    double xLo = kInf, xHi = -kInf, yLo = kInf, yHi = -kInf;
    double axLo = kInf, axHi = -kInf, ayLo = kInf, ayHi = -kInf;
    bool allXFinite = true;
    bool ascending = true;

    void merge(const Totals& o)
    {
        xLo = std::min(xLo, o.xLo);
        xHi = std::max(xHi, o.xHi);
        yLo = std::min(yLo, o.yLo);
        yHi = std::max(yHi, o.yHi);
        axLo = std::min(axLo, o.axLo);
        axHi = std::max(axHi, o.axHi);
        ayLo = std::min(ayLo, o.ayLo);
        ayHi = std::max(ayHi, o.ayHi);
        allXFinite = allXFinite && o.allXFinite;
        ascending = ascending && o.ascending;
    }
};

// Points [first, first + count) into the totals and one block. Selects
// instead of branches: the data decide nothing about the flow.
inline void scanPoints(const double* xy, std::size_t first, std::size_t count, Totals& t, Block& b, double& previousX)
{
    double xLo = t.xLo, xHi = t.xHi, yLo = t.yLo, yHi = t.yHi;
    double axLo = t.axLo, axHi = t.axHi, ayLo = t.ayLo, ayHi = t.ayHi;
    bool allX = t.allXFinite, ascending = t.ascending;
    double prev = previousX;
    double bxLo = kInf, bxHi = -kInf, byLo = kInf, byHi = -kInf;
    std::uint32_t loAt = kNone, hiAt = kNone, firstUsable = kNone, lastUsable = kNone;
    const double* p = xy + 2 * first;
    for (std::uint32_t k = 0; k < count; ++k) {
        const double x = p[2 * k], y = p[2 * k + 1];
        const double ax = std::fabs(x), ay = std::fabs(y);
        const bool fx = ax < kInf, fy = ay < kInf;
        xLo = fx && x < xLo ? x : xLo;
        xHi = fx && x > xHi ? x : xHi;
        yLo = fy && y < yLo ? y : yLo;
        yHi = fy && y > yHi ? y : yHi;
        axLo = fx && ax > 0.0 && ax < axLo ? ax : axLo;
        axHi = fx && ax > axHi ? ax : axHi;
        ayLo = fy && ay > 0.0 && ay < ayLo ? ay : ayLo;
        ayHi = fy && ay > ayHi ? ay : ayHi;
        allX = allX && fx;
        ascending = ascending && fx && !(x < prev);
        prev = x;
        const bool usable = fx && fy;
        bxLo = usable && x < bxLo ? x : bxLo;
        bxHi = usable && x > bxHi ? x : bxHi;
        const bool lower = usable && y < byLo;
        const bool higher = usable && y > byHi;
        byLo = lower ? y : byLo;
        loAt = lower ? k : loAt;
        byHi = higher ? y : byHi;
        hiAt = higher ? k : hiAt;
        firstUsable = usable && firstUsable == kNone ? k : firstUsable;
        lastUsable = usable ? k : lastUsable;
    }
    t.xLo = xLo, t.xHi = xHi, t.yLo = yLo, t.yHi = yHi;
    t.axLo = axLo, t.axHi = axHi, t.ayLo = ayLo, t.ayHi = ayHi;
    t.allXFinite = allX;
    t.ascending = ascending;
    previousX = prev;
    b = Block{bxLo, bxHi, byLo, byHi, loAt, hiAt, firstUsable, lastUsable};
}

// Points [first, last) of a curve whose blocks of level 0 from first on
// go to blocks (first is a multiple of the block size); the points after
// the last whole block count for the totals only.
Totals scanStretch(const double* xy, std::size_t first, std::size_t last, Block* blocks)
{
    constexpr std::size_t B = CurveSummary::kFanOut;
    Totals t;
    double previousX = -kInf;
    std::size_t i = first;
    for (; i + B <= last; i += B)
        scanPoints(xy, i, B, t, *blocks++, previousX);
    if (i < last) {
        Block tail;
        scanPoints(xy, i, last - i, t, tail, previousX);
    }
    return t;
}

// A block of the next level from its 64 blocks of `childPoints` points.
Block combine(const Block* children, std::size_t childPoints)
{
    Block b{kInf, -kInf, kInf, -kInf, kNone, kNone, kNone, kNone};
    for (std::size_t c = 0; c < CurveSummary::kFanOut; ++c) {
        const Block& k = children[c];
        if (k.firstUsable == kNone)
            continue;
        const auto offset = std::uint32_t(c * childPoints);
        if (b.firstUsable == kNone)
            b.firstUsable = offset + k.firstUsable;
        b.lastUsable = offset + k.lastUsable;
        b.xMin = std::min(b.xMin, k.xMin);
        b.xMax = std::max(b.xMax, k.xMax);
        if (k.yMin < b.yMin) {
            b.yMin = k.yMin;
            b.yMinAt = offset + k.yMinAt;
        }
        if (k.yMax > b.yMax) {
            b.yMax = k.yMax;
            b.yMaxAt = offset + k.yMaxAt;
        }
    }
    return b;
}

CurveSummary::Extent extentOf(double lo, double hi)
{
    CurveSummary::Extent e;
    if (lo <= hi)
        e = {lo, hi, true};
    return e;
}

} // namespace

CurveSummary CurveSummary::of(const double* xy, std::size_t points)
{
    CurveSummary s;
    s.points = points;
    if (points == 0)
        return s;
    const std::size_t blockCount = points / kFanOut;
    std::vector<Block> level0(points >= kLevelsFrom ? blockCount : 0);
    // Blocks for small curves go to a scratch area.
    std::vector<Block> scratch(level0.empty() ? blockCount : 0);
    Block* blocks = level0.empty() ? scratch.data() : level0.data();

    // About a million points per thread at least; stretches of whole blocks.
    const std::size_t threads =
        std::clamp<std::size_t>(points >> 20, 1, std::size_t(std::min(usableCores(), 16)));
    std::vector<std::size_t> starts(threads + 1);
    for (std::size_t t = 0; t < threads; ++t)
        starts[t] = blockCount * t / threads * kFanOut;
    starts[threads] = points;
    std::vector<Totals> totals(threads);
    std::vector<std::thread> workers;
    for (std::size_t t = 1; t < threads; ++t) {
        try {
            workers.emplace_back([&, t] { totals[t] = scanStretch(xy, starts[t], starts[t + 1], blocks + starts[t] / kFanOut); });
        } catch (const std::system_error&) {
            totals[t] = scanStretch(xy, starts[t], starts[t + 1], blocks + starts[t] / kFanOut);
        }
    }
    totals[0] = scanStretch(xy, starts[0], starts[1], blocks);
    for (std::thread& w : workers)
        w.join();
    Totals all = totals[0];
    for (std::size_t t = 1; t < threads; ++t) {
        all.merge(totals[t]);
        // Each stretch checked its own order; the seams are left.
        if (starts[t] > 0 && starts[t] < points && xy[2 * starts[t]] < xy[2 * starts[t] - 2])
            all.ascending = false;
    }
    s.x = extentOf(all.xLo, all.xHi);
    s.y = extentOf(all.yLo, all.yHi);
    s.absX = extentOf(all.axLo, all.axHi);
    s.absY = extentOf(all.ayLo, all.ayHi);
    s.allXFinite = all.allXFinite;
    s.xAscending = all.ascending;

    if (!level0.empty()) {
        s.levels.push_back(std::move(level0));
        for (std::size_t level = 1; points / blockPoints(level) > 0; ++level) {
            const std::vector<Block>& below = s.levels.back();
            std::vector<Block> next(points / blockPoints(level));
            for (std::size_t b = 0; b < next.size(); ++b)
                next[b] = combine(below.data() + b * kFanOut, blockPoints(level - 1));
            s.levels.push_back(std::move(next));
        }
    }
    return s;
}
