#include "analysis/sampleinterval.h"

#include <cmath>
#include <limits>

namespace {

// The mean of the spacings within three sample standard deviations of their
// mean; forEach(f) calls f with every spacing, in the same order each time.
// Nothing is stored, so the spacings of long curves cost no memory.
template <typename ForEach>
double robustSpacingOf(ForEach forEach)
{
    std::size_t n = 0;
    double sum = 0.0, first = 0.0;
    forEach([&](double d) {
        if (n == 0)
            first = d;
        sum += d;
        ++n;
    });
    if (n == 0)
        return std::numeric_limits<double>::quiet_NaN();
    // With one spacing the standard deviation is not a number and the band
    // below would keep nothing; that spacing is the answer.
    if (n == 1)
        return first;
    const double count = double(n);
    const double mean = sum / count;
    double ss = 0.0;
    forEach([&](double d) { ss += (d - mean) * (d - mean); });
    const double s = std::sqrt(ss / (count - 1));
    const double lo = mean - 3.0 * s, hi = mean + 3.0 * s;
    double kept = 0.0;
    std::size_t keptCount = 0;
    forEach([&](double d) {
        if (d >= lo && d <= hi) {
            kept += d;
            ++keptCount;
        }
    });
    // Equal spacings whose mean rounds off their common value leave a band
    // of width 0 that holds none of them: they all count.
    return keptCount ? kept / double(keptCount) : mean;
}

} // namespace

double robustSpacing(const std::vector<double>& spacings)
{
    return robustSpacingOf([&](auto f) {
        for (double d : spacings)
            f(d);
    });
}

double robustSpacing(const CurveMap& curves, int index)
{
    return robustSpacingOf([&](auto f) {
        auto spacingsOf = [&](const CurveData& c) {
            const std::size_t n = c.pointCount();
            const double* v = c.values.data();
            for (std::size_t i = 1; i < n; ++i)
                f(v[2 * i] - v[2 * i - 2]);
        };
        if (index == ALL_CURVES) {
            for (const auto& [id, c] : curves)
                spacingsOf(c);
        } else if (const auto it = curves.find(index); it != curves.end()) {
            spacingsOf(it->second);
        }
    });
}
