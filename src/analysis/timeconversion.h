#pragma once
// Conversions between time-interval (phase) data in seconds and
// fractional-frequency data: the frequency side is the first difference
// divided by the sample spacing; the time side sums each interval's
// frequency times its length.
#include <vector>

namespace timeconversion {

// Modified Julian Dates from 1970-01-01 (inclusive) to 2100-01-01 (exclusive).
bool isMjd(double value);

// Fractional frequency to time interval in place: y_0 becomes 0 and y_i the
// running sum of (x_i - x_{i-1}) * xUnit * y_{i-1}, the frequency of the
// interval that starts at x_{i-1} (as the first difference leaves it). Curves
// of fewer than 2 points are left alone (false).
bool fractionalFrequencyToTimeInterval(std::vector<double>& points, double xUnit);

} // namespace timeconversion
