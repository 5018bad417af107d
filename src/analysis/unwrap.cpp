#include "analysis/unwrap.h"

#include "core/curvedata.h"
#include "core/curvewalks.h"

#include <cmath>
#include <limits>

namespace unwrapping {

namespace {
// The rollovers recognised from the range, as the program has always added them.
constexpr double kPi = 3.14159265358979;
constexpr double kTwoPi = 6.28318530717958;

// Half away from zero.
double roundHalfAway(double v) { return std::round(v); }
} // namespace

Plan planUnwrap(const std::vector<double>& points, double phase)
{
    Plan plan;
    if (points.size() % 2 != 0)
        throwCorruptCurve();
    if (points.size() < 4)
        return plan;
    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    for (std::size_t i = 1; i < points.size(); i += 2) {
        if (!std::isfinite(points[i]))
            continue;
        lo = std::min(lo, points[i]);
        hi = std::max(hi, points[i]);
    }
    plan.range = hi - lo;
    if (phase != 0) {
        plan.kind = Rollover::Given;
        plan.rollover = phase;
        plan.threshold = std::fabs(phase) / 2;
        return plan;
    }
    // Constant data have no jumps: a threshold of 0 would take every step
    // for one.
    if (!(plan.range > 0) || !std::isfinite(plan.range))
        return plan;
    plan.threshold = plan.range / 2;
    if (plan.range >= 3.138592654 && plan.range < 3.144592654) {
        plan.kind = Rollover::Pi;
        plan.rollover = kPi;
    } else if (plan.range >= 6.277185307 && plan.range < 6.289185307) {
        plan.kind = Rollover::TwoPi;
        plan.rollover = kTwoPi;
    } else {
        plan.kind = Rollover::Ask;
    }
    return plan;
}

double suggestedRollover(const std::vector<double>& points, double range)
{
    const std::vector<double> d = yDifferences(points);
    double largest = -std::numeric_limits<double>::infinity();
    double smallest = std::numeric_limits<double>::infinity();
    for (double v : d) {
        largest = std::max(largest, v);
        smallest = std::min(smallest, v);
    }
    const double jump = std::max(largest, std::fabs(smallest));
    const double step = range < 1e-6 ? 1e-9 : 1.0;
    const double u = roundHalfAway(1 / jump);
    return u > 1 ? 1 / u : roundHalfAway(jump / step) * step;
}

void unwrapY(std::vector<double>& points, const Plan& plan)
{
    if (plan.kind == Rollover::Skip || points.size() < 4)
        return;
    double before = points[1];
    double shift = 0;
    for (std::size_t i = 3; i < points.size(); i += 2) {
        const double o = points[i];
        if (std::fabs(o - before) >= plan.threshold) {
            const bool dropped = plan.kind == Rollover::Ask ? before - o > 0 : before - o >= 0;
            shift += dropped ? plan.rollover : -plan.rollover;
        }
        points[i] = o + shift;
        before = o;
    }
}

} // namespace unwrapping
