// Tick records of a view: the 1-2-5 rule, user granularity, and ranges that
// have no step.
#include <gtest/gtest.h>

#include <cmath>

#include "core/viewrect.h"

namespace {

struct TickCase {
    double min, max, granularity;
    double step, first, last;
    int count;
};

class AxisTicksRule : public ::testing::TestWithParam<TickCase> {};

TEST_P(AxisTicksRule, FollowsTheOneTwoFiveRule)
{
    const TickCase c = GetParam();
    for (int axis : {0, 1}) {
        ViewRect v;
        v.range(axis) = AxisRange(c.min, c.max);
        (axis == 0 ? v.xGranularity : v.yGranularity) = c.granularity;
        EXPECT_EQ(computeAxisTicks(v, axis), c.count);
        const AxisTicks& t = v.ticks(axis);
        if (std::isnan(c.step)) {
            EXPECT_TRUE(std::isnan(t.step));
        } else {
            EXPECT_DOUBLE_EQ(t.step, c.step);
        }
        EXPECT_DOUBLE_EQ(t.first, c.first);
        EXPECT_DOUBLE_EQ(t.last, c.last);
        EXPECT_EQ(t.count, c.count);
    }
}

const double NaN = std::nan("");

INSTANTIATE_TEST_SUITE_P(
    Ranges, AxisTicksRule,
    ::testing::Values(TickCase{0, 1, -1, 0.1, 0, 1, 10},
                      TickCase{-3.7, 12.2, -1, 2, -4, 14, 9},
                      TickCase{0, 26, -1, 5, 0, 30, 6},
                      TickCase{0, 10, -1, 1, 0, 10, 10},
                      TickCase{0, 12, -1, 2, 0, 12, 6},
                      TickCase{3, 3, -1, NaN, 0, 0, 0},
                      TickCase{0, 10, 2.5, 2.5, 0, 10, 4},
                      TickCase{0, 10, 0, 1, 0, 10, 10},      // 0 is automatic
                      TickCase{0, 10, NaN, 1, 0, 10, 10},    // NaN is automatic
                      TickCase{3, 3, 1, 1, 3, 3, 0},         // user step on an empty range
                      // A tiny user step would give 10^18 ticks: the automatic step is used.
                      TickCase{0, 1e6, 1e-12, 1e5, 0, 1e6, 10},
                      // Reversed and non-finite ranges have no step.
                      TickCase{1, 0, -1, NaN, 0, 0, 0},
                      TickCase{1, 0, 0.5, NaN, 0, 0, 0},
                      TickCase{0, INFINITY, -1, NaN, 0, 0, 0},
                      TickCase{NaN, 1, -1, NaN, 0, 0, 0},
                      // Ends near the largest double: the span overflows, the
                      // step does not; the ticks beyond the ends would.
                      TickCase{-1.7e308, 1.7e308, -1, 5e307, -1.5e308, 1.5e308, 6},
                      TickCase{1e308, 1.7e308, -1, 1e307, 1e308, 1.7e308, 7}));

TEST(ViewRecord, CopyKeepsWhichRangeIsInForce)
{
    ViewRect v;
    v.autoX = {0, 1};
    v.userX = {2, 3};
    v.userXInForce = true;
    ViewRect copy = v;
    copy.userX = {5, 6};
    EXPECT_EQ(copy.xRange(), AxisRange(5, 6));
    EXPECT_EQ(v.xRange(), AxisRange(2, 3));
    EXPECT_EQ(copy.yRange(), AxisRange(0, 0));
}

} // namespace
