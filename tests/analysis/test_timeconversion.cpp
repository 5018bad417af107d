// Fractional frequency to time interval, and the date range that makes an
// x axis count in days.
#include <gtest/gtest.h>

#include <random>

#include "analysis/curvetransforms.h"
#include "analysis/timeconversion.h"

using namespace timeconversion;

TEST(TimeConversion, FrequencyToTimeInterval)
{
    // 1e-9 at 1 s spacing over 4 points: 0, 1e-9, 2e-9, 3e-9.
    std::vector<double> v = {0, 1e-9, 1, 1e-9, 2, 1e-9, 3, 1e-9};
    EXPECT_TRUE(fractionalFrequencyToTimeInterval(v, 1));
    EXPECT_EQ(v, (std::vector<double>{0, 0, 1, 1e-9, 2, 1e-9 + 1e-9, 3, 1e-9 + 1e-9 + 1e-9}));

    // Days: each step counts 86400 s; each interval takes the value at its start.
    v = {58000, 1e-12, 58000.5, 2e-12, 58001.5, 4e-12};
    fractionalFrequencyToTimeInterval(v, 86400);
    EXPECT_DOUBLE_EQ(v[3], 0.5 * 86400 * 1e-12);
    EXPECT_DOUBLE_EQ(v[5], 0.5 * 86400 * 1e-12 + 1.0 * 86400 * 2e-12);

    std::vector<double> one = {0, 5};
    EXPECT_FALSE(fractionalFrequencyToTimeInterval(one, 1));
    EXPECT_EQ(one, (std::vector<double>{0, 5}));
}

TEST(TimeConversion, DifferenceThenSumReturnsTheData)
{
    // Time-interval readings (whole picoseconds, in seconds) every 2 s.
    std::mt19937 gen(5);
    std::uniform_int_distribution<int> dist(-5000, 5000);
    std::vector<double> ti;
    for (int i = 0; i < 500; ++i) {
        ti.push_back(2.0 * i);
        ti.push_back(dist(gen) * 1e-12);
    }
    std::vector<double> ff = transforms::nthDifference(ti, transforms::differenceCoefficients(1));
    for (std::size_t i = 1; i < ff.size(); i += 2)
        ff[i] /= 2.0; // the spacing
    fractionalFrequencyToTimeInterval(ff, 1);
    // The first point is the origin; the last x goes with the difference.
    ASSERT_EQ(ff.size(), ti.size() - 2);
    for (std::size_t i = 0; i < ff.size() / 2; ++i) {
        EXPECT_EQ(ff[2 * i], ti[2 * i]);
        EXPECT_NEAR(ff[2 * i + 1], ti[2 * i + 1] - ti[1], 1e-12 * 1e-9) << i;
    }
}

TEST(TimeConversion, MjdRange)
{
    EXPECT_TRUE(isMjd(40587));
    EXPECT_TRUE(isMjd(88068.999));
    EXPECT_FALSE(isMjd(88069));
    EXPECT_FALSE(isMjd(40586.99));
}
