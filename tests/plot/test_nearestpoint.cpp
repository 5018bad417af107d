// The nearest point on screen: the plain walk over every point states the
// rule; the column index must give the same answer for every pointer.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "plot/nearestpoint.h"

namespace {

curveraster::Mapping linearMapping()
{
    curveraster::Mapping m;
    m.xmin = 0;
    m.ymin = -1;
    m.xScale = 499.0 / 100.0;
    m.yScale = 299.0 / 2.0;
    m.left = 60;
    m.bottom = 349;
    return m;
}

TEST(NearestPointScan, FirstOfEqualDistancesWinsAndSkippedPointsNeverDo)
{
    curveraster::Mapping m;
    m.xScale = m.yScale = 1;
    m.bottom = 100; // row = 100 - y
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // Points 1 and 2 lie 5 pixels from (10, 90), point 2 after point 1.
    const std::vector<double> v = {50, 50, 10, 15, 15, 10, nan, 10, 10, nan};
    EXPECT_EQ(nearestPointScan(v, m, 10, 90), 1);
    EXPECT_EQ(nearestPointScan({}, m, 0, 0), -1);
    EXPECT_EQ(nearestPointScan({nan, 1, 2, std::numeric_limits<double>::infinity()}, m, 0, 0), -1);

    // A logarithmic axis skips points on the other side of zero.
    m.logX = true;
    m.signX = 1;
    EXPECT_EQ(nearestPointScan({-5, 1, 0, 1}, m, 0, 99), -1);
    m.signX = -1;
    EXPECT_EQ(nearestPointScan({-5, 1, 0, 1, 5, 1}, m, 0, 99), 0);
}

struct Dataset {
    const char* name;
    std::vector<double> values;
    curveraster::Mapping mapping;
};

std::vector<Dataset> datasets()
{
    std::mt19937 rng(12345);
    std::normal_distribution<double> noise(0.0, 0.3);
    std::uniform_real_distribution<double> uni(-20.0, 120.0);
    std::vector<Dataset> sets;

    Dataset sorted{"sorted noisy series", {}, linearMapping()};
    for (int i = 0; i < 20000; ++i)
        sorted.values.insert(sorted.values.end(), {i * 0.005, std::sin(i * 0.01) + noise(rng)});
    sets.push_back(sorted);

    Dataset scattered{"scattered, many off screen", {}, linearMapping()};
    for (int i = 0; i < 5000; ++i)
        scattered.values.insert(scattered.values.end(), {uni(rng), uni(rng) / 40.0});
    sets.push_back(scattered);

    // Many points on few pixels: equal distances everywhere.
    Dataset stacked{"stacked on a coarse grid", {}, linearMapping()};
    for (int i = 0; i < 6000; ++i)
        stacked.values.insert(stacked.values.end(), {double((i * 7) % 11) * 10, double((i * 3) % 5) * 0.5 - 1});
    sets.push_back(stacked);

    Dataset odd{"not finite values and a log axis of both signs", {}, linearMapping()};
    odd.mapping.logY = true;
    odd.mapping.signY = 1;
    odd.mapping.ymin = -2;
    odd.mapping.yScale = 299.0 / 4.0;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int i = 0; i < 4000; ++i) {
        const double y = (i % 13 == 0) ? nan : (i % 7 == 0 ? -std::exp(noise(rng)) : std::exp(3 * noise(rng)));
        odd.values.insert(odd.values.end(), {(i % 17 == 0) ? std::numeric_limits<double>::infinity() : uni(rng), y});
    }
    sets.push_back(odd);
    return sets;
}

TEST(NearestPointIndex, SameAnswerAsTheScanEverywhere)
{
    for (const Dataset& d : datasets()) {
        NearestPointIndex index;
        index.build(d.values, d.mapping);
        ASSERT_TRUE(index.builtFor(d.values, d.mapping));
        int checked = 0;
        for (int px = -300; px <= 900; px += 13) {
            for (int py = -200; py <= 600; py += 11) {
                ASSERT_EQ(index.nearest(px, py), nearestPointScan(d.values, d.mapping, px, py))
                    << d.name << " at " << px << "," << py;
                ++checked;
            }
        }
        EXPECT_GT(checked, 5000);
    }
}

TEST(NearestPointIndex, EmptyAndStaleIndexes)
{
    NearestPointIndex index;
    const std::vector<double> none;
    index.build(none, linearMapping());
    EXPECT_EQ(index.nearest(100, 100), -1);

    std::vector<double> v = {1, 0, 2, 0};
    index.build(v, linearMapping());
    curveraster::Mapping moved = linearMapping();
    moved.xmin = 1;
    EXPECT_FALSE(index.builtFor(v, moved));
    v.push_back(3);
    v.push_back(0);
    EXPECT_FALSE(index.builtFor(v, linearMapping()));
}

} // namespace
