#include "core/curvestats.h"

#include "core/exceptions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
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

// Memory each thread keeps for the next median: a fresh buffer for a large
// curve costs more in first-touch page faults than the selection itself.
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

// A small fast generator for pivots and samples; fixed seed, so a median
// takes the same steps every time.
struct XorShift {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    std::size_t below(std::size_t n)
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return std::size_t(state % n);
    }
};

// Puts the value of rank nth - first in place at nth, every value before it
// no greater and every value after it no smaller (values without NaN).
// Quickselect with the median of three random values as pivot, splitting
// off the values equal to the pivot when nothing is below it: smooth or
// periodic data, sorted data and long runs of equal values stay linear,
// where pivots from fixed places can end in a heap selection of half.
void selectNth(double* first, double* nth, double* last)
{
    XorShift random;
    while (last - first > 16) {
        const std::size_t n = std::size_t(last - first);
        const double a = first[random.below(n)], b = first[random.below(n)], c = first[random.below(n)];
        const double pivot = std::max(std::min(a, b), std::min(std::max(a, b), c));
        double* const less = std::partition(first, last, [pivot](double v) { return v < pivot; });
        if (nth < less) {
            last = less;
        } else if (less != first) {
            first = less;
        } else {
            // The pivot is the smallest value: take its equals off the front.
            double* const equal = std::partition(first, last, [pivot](double v) { return !(pivot < v); });
            if (nth < equal)
                return;
            first = equal;
        }
    }
    std::sort(first, last);
}

// The values of ranks `upper` and, when wanted, upper - 1 of the numbers in
// [values, end), by selection.
std::pair<double, double> ranksBySelection(double* values, double* end, std::size_t upper, bool both)
{
    double* const mid = values + upper;
    selectNth(values, mid, end);
    return {both ? *std::max_element(values, mid) : *mid, *mid};
}

// NaN values order after every number, so the median stays well defined
// when they are present. Large selections are narrowed first: a sample
// gives two bounds around the median's rank, one pass counts the values
// below them and keeps only those between, and the selection runs on those
// few; when the rank falls outside the bounds, every value is gathered.
double medianOf(const Selection& s, int axis)
{
    if (!s.found)
        return 0;
    const std::size_t total = static_cast<std::size_t>(s.pointCount());
    if (total == 0) {
        if (s.curves.empty())
            return 0;  // ALL_CURVES over an empty map
        throwCurveError(0);
    }
    thread_local MedianScratch scratch;
    auto median = [&](std::size_t count, std::size_t nans, auto&& select) {
        // Ranks m / 2 (and m / 2 - 1 for an even count) of the full ordering;
        // a rank among the NaNs makes the median NaN.
        const std::size_t m = count + nans;
        const std::size_t upper = m / 2;
        if (upper >= count)
            return std::numeric_limits<double>::quiet_NaN();
        const auto [low, high] = select(upper, m % 2 == 0);
        return m % 2 == 1 ? high : (high + low) / 2;
    };

    constexpr std::size_t kNarrowFrom = 1 << 17;
    constexpr std::size_t kSample = 1 << 14;
    if (total >= kNarrowFrom) {
        // The sample: values at random places of the selection.
        std::vector<std::size_t> starts;
        for (const CurveData* c : s.curves)
            starts.push_back((starts.empty() ? 0 : starts.back()) + c->pointCount());
        std::vector<double> sample;
        sample.reserve(kSample);
        XorShift random;
        for (std::size_t i = 0; i < kSample; ++i) {
            const std::size_t at = random.below(total);
            const std::size_t k = std::size_t(std::upper_bound(starts.begin(), starts.end(), at) - starts.begin());
            const std::size_t local = at - (k == 0 ? 0 : starts[k - 1]);
            const double v = s.curves[k]->values[2 * local + std::size_t(axis)];
            if (!std::isnan(v))
                sample.push_back(v);
        }
        if (sample.size() > kSample / 2) {
            std::sort(sample.begin(), sample.end());
            // About the median's place in the sample, give or take four
            // standard deviations of a sampled rank.
            const std::size_t centre = sample.size() / 2, margin = 512;
            const double lo = sample[centre > margin ? centre - margin : 0];
            const double hi = sample[std::min(centre + margin, sample.size() - 1)];
            double* const band = scratch.reserve(total);
            double* bandEnd = band;
            std::size_t below = 0, above = 0, nans = 0;
            double maxBelow = -std::numeric_limits<double>::infinity();
            forEachValue(s, axis, [&](double v) {
                if (v < lo) {
                    ++below;
                    maxBelow = std::max(maxBelow, v);
                } else if (v > hi) {
                    ++above;
                } else if (v == v) {
                    *bandEnd++ = v;
                } else {
                    ++nans;
                }
            });
            const std::size_t inBand = std::size_t(bandEnd - band);
            const std::size_t count = below + inBand + above;
            const std::size_t upper = (count + nans) / 2;
            const bool even = (count + nans) % 2 == 0;
            // Both ranks wanted must lie in the band, or just below it for
            // the lower of an even count.
            if (upper >= count || (upper >= below && upper < below + inBand && (!even || upper > 0))) {
                return median(count, nans, [&](std::size_t rank, bool both) {
                    const std::size_t r = rank - below;
                    auto [low, high] = ranksBySelection(band, bandEnd, r, both && r > 0);
                    if (both && r == 0)
                        low = maxBelow;
                    return std::pair<double, double>(low, high);
                });
            }
        }
    }
    // Every number gathered.
    double* const values = scratch.reserve(total);
    double* end = values;
    std::size_t nans = 0;
    forEachValue(s, axis, [&](double v) {
        *end = v;
        const bool nan = std::isnan(v);
        nans += nan;
        end += !nan;
    });
    return median(std::size_t(end - values), nans,
                  [&](std::size_t rank, bool both) { return ranksBySelection(values, end, rank, both); });
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
