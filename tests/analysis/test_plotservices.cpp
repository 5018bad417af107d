// Unit words of axis labels, ordinal numbers, the robust sample spacing and
// the rotation of y values.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "analysis/rotation.h"
#include "analysis/sampleinterval.h"
#include "analysis/timeunits.h"

namespace {

TEST(TimeUnits, LabelWordsGiveSecondsPerUnit)
{
    const struct {
        QString label;
        double seconds;
    } cases[] = {
        {"MJD", 86400},           {"days", 86400},         {"Days", 86400},
        {"hours", 3600},          {"minutes", 60},         {"ns", 1e-9},
        {"NanoSeconds", 1e-9},    {"us", 1e-6},            {"microseconds", 1e-6},
        {"ms", 1e-3},             {"milliseconds", 1e-3},  {QString::fromUtf8("\u03bcs"), 1e-6},
        {QString::fromUtf8("\u03bc"), 1e-6},
        // The keyboard's micro sign U+00B5 counts as the Greek letter.
        {QString::fromUtf8("\u00b5s"), 1e-6},
        {QString::fromUtf8("\u00b5"), 1e-6},
        {"Time (s)", 1},          {"Time (MJD)", 1},       {"s", 1},
        {"seconds", 1},           {"hour", 1},             {"min", 1},
        {"", 1},                  {" ns", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(timeUnitSeconds(c.label), c.seconds) << c.label.toStdString();
}

TEST(TimeUnits, OrdinalsFollowEnglishUsage)
{
    for (int n = 0; n <= 1200; ++n) {
        const int lastTwo = n % 100;
        const char* suffix = "th";
        if (lastTwo < 11 || lastTwo > 13) {
            switch (n % 10) {
            case 1: suffix = "st"; break;
            case 2: suffix = "nd"; break;
            case 3: suffix = "rd"; break;
            default: break;
            }
        }
        EXPECT_EQ(ordinalText(n), QString::number(n) + suffix);
    }
    EXPECT_EQ(ordinalText(111), "111th");
    EXPECT_EQ(ordinalText(122), "122nd");
}

TEST(SampleSpacing, OutliersBeyondThreeDeviationsDoNotCount)
{
    std::vector<double> gap(10, 1.0);
    gap.push_back(50.0);
    const struct {
        std::vector<double> spacings;
        double expected;
    } cases[] = {
        // Mean 5.45, deviation 14.77: the bound 49.78 leaves the gap out.
        {gap, 1.0},
        // Mean 20.2, deviation 42.9: every spacing is kept.
        {{1, 1, 1, 97, 1}, 20.2},
        // One spacing is the answer (its deviation is not a number).
        {{3.5}, 3.5},
        {{0, 0, 0}, 0.0},
        {{10, 10, 10, 10}, 10.0},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(robustSpacing(c.spacings), c.expected, 1e-12);
    EXPECT_TRUE(std::isnan(robustSpacing({})));
}

TEST(SampleSpacing, EqualSpacingsThatRoundOffStillCount)
{
    // 0.1 added eleven times does not divide back to 0.1 exactly, so the
    // band of width 0 around the mean holds none of the spacings.
    const std::vector<double> d(11, 0.1);
    EXPECT_NEAR(robustSpacing(d), 0.1, 1e-15);
}

std::vector<double> pointsOf(const std::vector<double>& y)
{
    std::vector<double> v;
    for (std::size_t i = 0; i < y.size(); ++i) {
        v.push_back(double(i) * 10);
        v.push_back(y[i]);
    }
    return v;
}

TEST(Rotation, YValuesMoveAndXValuesStay)
{
    const struct {
        long long n;
        bool left;
        std::vector<double> expected;
    } cases[] = {
        {2, true, {3, 4, 5, 1, 2}},  {2, false, {4, 5, 1, 2, 3}}, {7, true, {3, 4, 5, 1, 2}},
        {5, true, {1, 2, 3, 4, 5}},  {0, false, {1, 2, 3, 4, 5}}, {12, false, {4, 5, 1, 2, 3}},
    };
    for (const auto& c : cases) {
        std::vector<double> v = pointsOf({1, 2, 3, 4, 5});
        rotateYValues(v, c.n, c.left);
        EXPECT_EQ(v, pointsOf(c.expected)) << c.n << (c.left ? " left" : " right");
    }
    std::vector<double> none;
    rotateYValues(none, 3, true);
    EXPECT_TRUE(none.empty());
}

TEST(Rotation, MatchesTheIndexDefinitionOnLongCurves)
{
    std::mt19937 rng(7);
    for (int trial = 0; trial < 20; ++trial) {
        const std::size_t n = 1 + rng() % 300;
        const long long k = rng() % 1000;
        std::vector<double> y(n);
        for (double& v : y)
            v = double(rng());
        for (bool left : {true, false}) {
            std::vector<double> v = pointsOf(y);
            rotateYValues(v, k, left);
            for (std::size_t i = 0; i < n; ++i) {
                const long long m = static_cast<long long>(n), at = static_cast<long long>(i);
                const long long j = left ? (at + k) % m : ((at - k) % m + m) % m;
                ASSERT_EQ(v[2 * i + 1], y[std::size_t(j)]);
                ASSERT_EQ(v[2 * i], double(i) * 10);
            }
        }
    }
}

} // namespace
