// Phase unwrap: the rollover given, recognised as pi or 2 pi from the
// range, or suggested for the prompt; jumps of at least half the rollover
// count; constant data are left alone.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "analysis/unwrap.h"

using namespace unwrapping;

namespace {

std::vector<double> series(const std::vector<double>& y)
{
    std::vector<double> v;
    for (std::size_t i = 0; i < y.size(); ++i) {
        v.push_back(double(i));
        v.push_back(y[i]);
    }
    return v;
}

std::vector<double> unwrapped(const std::vector<double>& y, double phase)
{
    std::vector<double> v = series(y);
    unwrapY(v, planUnwrap(v, phase));
    std::vector<double> out;
    for (std::size_t i = 1; i < v.size(); i += 2)
        out.push_back(v[i]);
    return out;
}

} // namespace

TEST(Unwrap, GivenPhase)
{
    struct Case {
        std::vector<double> y;
        double phase;
        std::vector<double> expected;
    };
    const Case cases[] = {
        {{10, 40, 70, 5, 35}, 100, {10, 40, 70, 105, 135}},
        {{10, 40, 70, 5, 35}, -100, {10, 40, 70, -95, -65}},
        {{10, 60, 10}, 100, {10, -40, 10}},  // a jump of exactly half counts
        {{10, 59, 10}, 100, {10, 59, 10}},
        {{7, 7, 7}, 100, {7, 7, 7}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(unwrapped(c.y, c.phase), c.expected);
}

TEST(Unwrap, RecognisedRolloversReturnTheRamp)
{
    // A ramp wrapped into [-pi, pi): the range is close to 2 pi.
    const double pi = std::numbers::pi;
    std::vector<double> ramp, wrapped;
    for (int k = 0; k < 20000; ++k) {
        const double r = -3.0 + 0.0021 * k;
        ramp.push_back(r);
        wrapped.push_back(r - 2 * pi * std::floor((r + pi) / (2 * pi)));
    }
    const std::vector<double> v = series(wrapped);
    const Plan plan = planUnwrap(v, 0);
    EXPECT_EQ(plan.kind, Rollover::TwoPi);
    EXPECT_EQ(plan.rollover, 6.28318530717958);
    const std::vector<double> back = unwrapped(wrapped, 0);
    for (std::size_t k = 0; k < ramp.size(); ++k)
        EXPECT_NEAR(back[k], ramp[k], 1e-12) << k;

    // Within pi: the pi rollover, from the first point on it never changes.
    const std::vector<double> half = {0, 1.0, 2.0, 3.14, 0.05, 1.05};
    EXPECT_EQ(planUnwrap(series(half), 0).kind, Rollover::Pi);
    const std::vector<double> halfBack = unwrapped(half, 0);
    EXPECT_EQ(halfBack[0], 0);
    EXPECT_NEAR(halfBack[4], 0.05 + 3.14159265358979, 1e-15);
}

TEST(Unwrap, OtherRangesAskAndConstantDataStay)
{
    // Just above pi + 0.003: neither pi nor 2 pi.
    EXPECT_EQ(planUnwrap(series({0, 3.15, 1}), 0).kind, Rollover::Ask);
    // No spread: no threshold to speak of, nothing happens.
    EXPECT_EQ(planUnwrap(series({2, 2, 2, 2}), 0).kind, Rollover::Skip);
    EXPECT_EQ(unwrapped({2, 2, 2, 2}, 0), (std::vector<double>{2, 2, 2, 2}));
    EXPECT_EQ(planUnwrap(series({2}), 0).kind, Rollover::Skip);

    // A counter of period 1 sampled every 0.3: largest jump 0.7, 1/0.7
    // rounds to 1, so the suggestion is the jump rounded: 1.
    const std::vector<double> counter = series({0.0, 0.3, 0.6, 0.9, 0.2, 0.5});
    const Plan plan = planUnwrap(counter, 0);
    ASSERT_EQ(plan.kind, Rollover::Ask);
    EXPECT_EQ(suggestedRollover(counter, plan.range), 1.0);
    // A small jump: 1/J rounds to 4, so 1/4.
    const std::vector<double> small = series({0.0, 0.1, 0.2, 0.0, 0.26});
    EXPECT_EQ(suggestedRollover(small, planUnwrap(small, 0).range), 0.25);

    // The asked rollover is added only on a real drop.
    Plan asked = plan;
    asked.rollover = 1.0;
    std::vector<double> v = counter;
    unwrapY(v, asked);
    EXPECT_NEAR(v[9], 1.2, 1e-15);
    EXPECT_NEAR(v[11], 1.5, 1e-15);
}
