#include "core/curvestats.h"

#include "core/exceptions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>

namespace {

// The curves a statistic walks, in order; empty when nothing is selected.
struct Selection {
    std::vector<const CurveData*> curves;
    bool found = true;  // false: a single index the map does not hold

    // Total points; raises the corrupt-curve error for an odd curve.
    long long pointCount() const
    {
        long long n = 0;
        for (const CurveData* c : curves)
            n += static_cast<long long>(c->pointCount());
        return n;
    }
};

void checkAxis(int axis)
{
    if (axis != 0 && axis != 1)
        throw std::runtime_error("Invalid axis for a curve statistic.");
}

Selection selectSingle(const CurveMap& curves, int index)
{
    Selection s;
    if (index == ALL_CURVES) {
        s.curves.reserve(curves.size());
        for (const auto& entry : curves)
            s.curves.push_back(&entry.second);
        return s;
    }
    const auto it = curves.find(index);
    if (it == curves.end())
        s.found = false;
    else
        s.curves.push_back(&it->second);
    return s;
}

// Every listed index is checked before anything is computed.
Selection selectList(const CurveMap& curves, const IdArray& ids)
{
    if (ids.count() == 0)
        throwCurveError(0);
    if (ids.isAll())
        return selectSingle(curves, ALL_CURVES);
    Selection s;
    for (int index : ids.ids()) {
        const auto it = curves.find(index);
        if (it == curves.end())
            throwCurveError(index + 1);
        s.curves.push_back(&it->second);
    }
    return s;
}


Selection selectSingle(const CurveMap& curves, int index, int axis)
{
    checkAxis(axis);
    return selectSingle(curves, index);
}

Selection selectList(const CurveMap& curves, const IdArray& ids, int axis)
{
    checkAxis(axis);
    return selectList(curves, ids);
}

// Calls f(value) for every value of the selection along the axis.
template <typename F>
void forEachValue(const Selection& s, int axis, F f)
{
    for (const CurveData* c : s.curves) {
        const std::size_t n = c->pointCount();
        if (n == 0)
            continue; // an empty curve may have no buffer to point into
        const double* v = c->values.data() + axis;
        for (std::size_t i = 0; i < n; ++i)
            f(v[2 * i]);
    }
}

double sumOf(const Selection& s, int axis)
{
    double sum = 0;
    forEachValue(s, axis, [&](double v) { sum += v; });
    return sum;
}

// NaN values order after every number, so the median stays well defined
// when they are present.
// The values a median orders, gathered into memory each thread keeps for
// the next median: a fresh buffer of a large curve costs more in first-touch
// page faults than the selection itself.
struct MedianScratch {
    std::unique_ptr<double[]> data;
    std::size_t capacity = 0;

    double* reserve(std::size_t n)
    {
        if (n > capacity) {
            data.reset();
            data.reset(new double[n]); // left uninitialised: it is written before it is read
            capacity = n;
        }
        return data.get();
    }
};

double medianOf(const Selection& s, int axis)
{
    if (!s.found)
        return 0;
    thread_local MedianScratch scratch;
    double* const values = scratch.reserve(static_cast<std::size_t>(s.pointCount()));
    double* end = values;
    std::size_t nans = 0;
    forEachValue(s, axis, [&](double v) {
        *end = v;
        const bool nan = std::isnan(v);
        nans += nan;
        end += !nan;
    });
    const std::size_t count = std::size_t(end - values);
    const std::size_t m = count + nans;
    if (m == 0) {
        if (s.curves.empty())
            return 0;  // ALL_CURVES over an empty map
        throwCurveError(0);
    }
    // Ranks m / 2 (and m / 2 - 1 for an even count) of the full ordering;
    // a rank among the NaNs makes the median NaN.
    const std::size_t upper = m / 2;
    if (upper >= count)
        return std::numeric_limits<double>::quiet_NaN();
    double* const mid = values + upper;
    std::nth_element(values, mid, end);
    if (m % 2 == 1)
        return *mid;
    return (*mid + *std::max_element(values, mid)) / 2;
}

double varianceOf(const Selection& s, int axis)
{
    if (!s.found)
        return 0;
    const double n = static_cast<double>(s.pointCount());
    if (s.curves.empty())
        return 0;
    const double mean = sumOf(s, axis) / n;
    double ss = 0;
    forEachValue(s, axis, [&](double v) { ss += (v - mean) * (v - mean); });
    return ss / (n - 1);
}

double kurtosisOf(const Selection& s, int axis)
{
    if (!s.found || s.curves.empty())
        return 0;
    const double n = static_cast<double>(s.pointCount());
    const double mean = sumOf(s, axis) / n;
    double s2 = 0;
    double s4 = 0;
    forEachValue(s, axis, [&](double v) {
        const double d = v - mean;
        const double d2 = d * d;
        s2 += d2;
        s4 += d2 * d2;
    });
    const double m2 = s2 / n;
    const double m4 = s4 / n;
    return ((n + 1) * m4 / (m2 * m2) - 3 * (n - 1)) * (n - 1) / ((n - 2) * (n - 3));
}

double rmsOf(const Selection& s, int axis)
{
    if (!s.found)
        return 0;
    const double n = static_cast<double>(s.pointCount());
    double sum = 0;
    forEachValue(s, axis, [&](double v) { sum += v * v / n; });
    return std::sqrt(sum);
}

bool replaces(double candidate, double current, int kind)
{
    if (kind == 0)
        return candidate < current;
    if (kind == 1)
        return candidate > current;
    return false;
}

PointXY extremeOf(const Selection& s, int kind, int axis)
{
    PointXY best(0, 0);
    bool started = false;
    for (const CurveData* c : s.curves) {
        if (c->pointCount() == 0)
            continue;
        const PointXY candidate = extremeOfPoints(c->values, kind, axis);
        if (!started) {
            best = candidate;
            started = true;
            continue;
        }
        const double cv = axis == 0 ? candidate.first : candidate.second;
        const double bv = axis == 0 ? best.first : best.second;
        if (replaces(cv, bv, kind))
            best = candidate;
    }
    return best;
}

} // namespace

void throwCurveError(int curveNumber)
{
    if (curveNumber == 0)
        throw std::runtime_error("No valid curves were supplied for operation.");
    throw std::runtime_error(kro::formatPrintf("Curve C%d does not exist.", curveNumber));
}

long long pointCountOfCurveList(const CurveMap& curves, const IdArray& ids)
{
    const Selection s = selectList(curves, ids);
    long long values = 0;
    for (const CurveData* c : s.curves)
        values += static_cast<long long>(c->values.size());
    return values / 2;
}

double sumOfCurve(const CurveMap& curves, int index, int axis)
{
    return sumOf(selectSingle(curves, index, axis), axis);
}

double sumOfCurveList(const CurveMap& curves, const IdArray& ids, int axis)
{
    return sumOf(selectList(curves, ids, axis), axis);
}

double meanY(const std::vector<double>& points)
{
    const std::size_t n = points.size() / 2;
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum += points[2 * i + 1];
    return sum / static_cast<double>(n);
}

double medianOfCurve(const CurveMap& curves, int index, int axis)
{
    return medianOf(selectSingle(curves, index, axis), axis);
}

double medianOfCurveList(const CurveMap& curves, const IdArray& ids, int axis)
{
    if (ids.count() < 0)
        throwCurveError(0);  // a negative count selects nothing: no values
    return medianOf(selectList(curves, ids, axis), axis);
}

double varianceOfCurve(const CurveMap& curves, int index, int axis)
{
    return varianceOf(selectSingle(curves, index, axis), axis);
}

double varianceOfCurveList(const CurveMap& curves, const IdArray& ids, int axis)
{
    return varianceOf(selectList(curves, ids, axis), axis);
}

double standardDeviation(const std::vector<double>& values)
{
    if (values.empty())
        return 0;
    const double count = static_cast<double>(values.size());
    double sum = 0;
    for (double v : values)
        sum += v;
    const double mean = sum / count;
    double ss = 0;
    for (double v : values)
        ss += (v - mean) * (v - mean);
    return std::sqrt(ss / (count - 1));
}

double kurtosisOfCurve(const CurveMap& curves, int index, int axis)
{
    return kurtosisOf(selectSingle(curves, index, axis), axis);
}

double kurtosisOfCurveList(const CurveMap& curves, const IdArray& ids, int axis)
{
    return kurtosisOf(selectList(curves, ids, axis), axis);
}

double rmsOfCurve(const CurveMap& curves, int index, int axis)
{
    return rmsOf(selectSingle(curves, index, axis), axis);
}

double rmsOfCurveList(const CurveMap& curves, const IdArray& ids, int axis)
{
    return rmsOf(selectList(curves, ids, axis), axis);
}

PointXY extremeOfPoints(const std::vector<double>& points, int kind, int axis)
{
    checkAxis(axis);
    const std::size_t n = points.size() / 2;
    if (n == 0)
        return PointXY(0, 0);
    const double* v = points.data() + axis;
    std::size_t best = 0;
    double current = v[0];
    // A NaN candidate never compares; of the infinite ones only -inf could
    // win a minimum and +inf a maximum, and both are skipped.
    if (kind == 0) {
        for (std::size_t i = 1; i < n; ++i) {
            const double c = v[2 * i];
            if (c < current && c != -std::numeric_limits<double>::infinity()) {
                current = c;
                best = i;
            }
        }
    } else if (kind == 1) {
        for (std::size_t i = 1; i < n; ++i) {
            const double c = v[2 * i];
            if (c > current && c != std::numeric_limits<double>::infinity()) {
                current = c;
                best = i;
            }
        }
    }
    return PointXY(points[2 * best], points[2 * best + 1]);
}

PointXY extremeOfCurve(const CurveMap& curves, int index, int kind, int axis)
{
    return extremeOf(selectSingle(curves, index, axis), kind, axis);
}

PointXY extremeOfCurveList(const CurveMap& curves, const IdArray& ids, int kind, int axis)
{
    return extremeOf(selectList(curves, ids, axis), kind, axis);
}

PointXY log10ExtremeOfPoints(const std::vector<double>& points, int kind, int axis)
{
    checkAxis(axis);
    const std::size_t n = points.size() / 2;
    if (n == 0)
        return PointXY(0, 0);
    std::size_t start = 0;
    while (start < n && points[2 * start + axis] == 0)
        ++start;
    if (start == n)
        return PointXY(0, 0);
    PointXY best(points[2 * start], points[2 * start + 1]);
    double& bestAxis = axis == 0 ? best.first : best.second;
    bestAxis = std::log10(std::fabs(bestAxis));
    for (std::size_t i = 1; i < n; ++i) {
        const double d = std::log10(std::fabs(points[2 * i + axis]));
        bool take = false;
        if (kind == 1)
            take = d > bestAxis;
        else if (kind == 0)
            take = d < bestAxis && !std::isinf(d);
        if (take) {
            best = PointXY(points[2 * i], points[2 * i + 1]);
            bestAxis = d;
        }
    }
    return best;
}

double regressionSlope(const CurveMap& curves, int index)
{
    const Selection s = selectSingle(curves, index);
    const double n = static_cast<double>(s.pointCount());
    const double meanX = sumOf(s, 0) / n;
    const double meanY = sumOf(s, 1) / n;
    double sxy = 0;
    double sxx = 0;
    for (const CurveData* c : s.curves) {
        const std::size_t points = c->pointCount();
        if (points < 2)
            continue;
        for (std::size_t i = 0; i < points; ++i) {
            const double dx = c->values[2 * i] - meanX;
            sxy += dx * (c->values[2 * i + 1] - meanY);
            sxx += dx * dx;
        }
    }
    return sxy / sxx;
}
