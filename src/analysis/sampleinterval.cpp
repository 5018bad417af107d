#include "analysis/sampleinterval.h"

#include <limits>

#include "core/curvestats.h"

double robustSpacing(const std::vector<double>& spacings)
{
    if (spacings.empty())
        return std::numeric_limits<double>::quiet_NaN();
    // With one spacing the standard deviation is not a number and the band
    // below would keep nothing; that spacing is the answer.
    if (spacings.size() == 1)
        return spacings.front();
    double mean = 0.0;
    for (double d : spacings)
        mean += d;
    mean /= double(spacings.size());
    const double s = standardDeviation(spacings);
    const double lo = mean - 3.0 * s, hi = mean + 3.0 * s;
    double sum = 0.0;
    std::size_t kept = 0;
    for (double d : spacings) {
        if (d >= lo && d <= hi) {
            sum += d;
            ++kept;
        }
    }
    // Equal spacings whose mean rounds off their common value leave a band
    // of width 0 that holds none of them: they all count.
    return kept ? sum / double(kept) : mean;
}
