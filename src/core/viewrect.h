#pragma once
// One entry of a plot's zoom history: the automatic and user-fixed ranges of
// both axes, which of the two is in force, the tick granularities and the
// tick records. Pure value types; no widget code.
//
// Ranges are in axis coordinates: the value itself on a linear axis, and
// sign x log10|value| on a logarithmic one.
#include <cmath>
#include <limits>

struct AxisRange {
    double min = 0.0;
    double max = 0.0;

    constexpr AxisRange() = default;
    constexpr AxisRange(double lo, double hi) : min(lo), max(hi) {}
    constexpr double span() const { return max - min; }
    constexpr bool contains(double v) const { return v >= min && v <= max; }
    bool operator==(const AxisRange&) const = default;
};

// Tick i has the value first + i * step for i = 0 .. count; only those inside
// the range in force are drawn. step is NaN (and count 0) when no step exists.
struct AxisTicks {
    double first = -1.0;
    double last = -1.0;
    double step = 0.0;
    int count = 0;
    int wanted = 5;

    double value(int i) const { return first + i * step; }
    bool hasStep() const { return std::isfinite(step) && step > 0.0; }
};

struct ViewRect {
    AxisRange autoX;
    AxisRange autoY;
    AxisRange userX;
    AxisRange userY;
    // Which range of this record is in force on each axis. A copy of a view
    // keeps the choice and refers to its own ranges.
    bool userXInForce = false;
    bool userYInForce = false;
    // Tick step asked for; 0, less, or NaN means automatic.
    double xGranularity = -1.0;
    double yGranularity = -1.0;
    AxisTicks xTicks;
    AxisTicks yTicks;

    const AxisRange& xRange() const { return userXInForce ? userX : autoX; }
    const AxisRange& yRange() const { return userYInForce ? userY : autoY; }
    AxisRange& xRange() { return userXInForce ? userX : autoX; }
    AxisRange& yRange() { return userYInForce ? userY : autoY; }

    // Axis 0 is x, axis 1 is y.
    const AxisRange& range(int axis) const { return axis == 0 ? xRange() : yRange(); }
    AxisRange& range(int axis) { return axis == 0 ? xRange() : yRange(); }
    const AxisTicks& ticks(int axis) const { return axis == 0 ? xTicks : yTicks; }
    AxisTicks& ticks(int axis) { return axis == 0 ? xTicks : yTicks; }
    double granularity(int axis) const { return axis == 0 ? xGranularity : yGranularity; }
};

// Most tick intervals an axis is given. A user step that would give more
// (a tiny granularity over a wide range) is ignored for the automatic one.
inline constexpr int kMaxTickIntervals = 1000;

namespace viewrect_detail {
// The 1-2-5 step at or below an interval d; 0 for 0.
inline double stepFor(double d)
{
    if (d == 0.0)
        return 0.0;
    const double e = std::pow(10.0, std::floor(std::log10(d)));
    if (d > 5 * e)
        return 5 * e;
    if (d > 2 * e)
        return 2 * e;
    return e;
}

// The 1-2-5 step for a range split into about n intervals; 0 for an empty range.
inline double automaticStep(double span, int n)
{
    const double d = span / (n > 0 ? n : 5);
    return stepFor(d);
}

// The same from the two ends of a range; a span too wide for a double
// (ends near +-1e308) still has its step: the halves are divided first.
inline double automaticStep(const AxisRange& r, int n)
{
    const double span = r.max - r.min;
    if (std::isfinite(span))
        return automaticStep(span, n);
    return stepFor((r.max * 0.5 - r.min * 0.5) / (n > 0 ? n : 5) * 2.0);
}

inline bool fillTicks(AxisTicks& t, const AxisRange& r, double s)
{
    if (!std::isfinite(s) || s <= 0.0)
        return false;
    double lo = std::floor(r.min / s);
    double hi = std::ceil(r.max / s);
    // Near +-1e308 the tick just outside the range may not exist: start and
    // end at the ticks inside it.
    if (std::isfinite(lo) && !std::isfinite(lo * s))
        lo += 1;
    if (std::isfinite(hi) && !std::isfinite(hi * s))
        hi -= 1;
    const double n = hi - lo;
    if (!std::isfinite(lo) || !std::isfinite(hi) || !(n >= 0.0) || n > kMaxTickIntervals)
        return false;
    t.first = lo * s;
    t.last = hi * s;
    t.count = static_cast<int>(n);
    t.step = s;
    return true;
}
} // namespace viewrect_detail

// Recomputes the tick record of one axis (0 x, 1 y) of the view from its
// range in force and its granularity by the 1-2-5 rule; returns the count.
// A range that is empty, reversed or not finite has no step: first = last
// = 0, count 0, step NaN.
inline int computeAxisTicks(ViewRect& view, int axis)
{
    AxisTicks& t = view.ticks(axis);
    const AxisRange& r = view.range(axis);
    const double g = view.granularity(axis);
    bool done = false;
    if (std::isfinite(g) && g > 0.0)
        done = viewrect_detail::fillTicks(t, r, g);
    if (!done && std::isfinite(r.min) && std::isfinite(r.max) && r.max > r.min)
        done = viewrect_detail::fillTicks(t, r, viewrect_detail::automaticStep(r, t.wanted));
    if (!done) {
        t.first = 0.0;
        t.last = 0.0;
        t.count = 0;
        t.step = std::numeric_limits<double>::quiet_NaN();
    }
    return t.count;
}
