#pragma once
// The nominal spacing of samples from their x differences.
#include <vector>

#include "core/curvedata.h"

// The mean of the spacings that lie within three sample standard
// deviations (divisor n - 1) of their mean, so that gaps and repeated x
// values do not count. One spacing is returned as it is; none gives NaN.
double robustSpacing(const std::vector<double>& spacings);
// The same over the x spacings of one curve, or of every curve for
// ALL_CURVES (never across two curves), without storing them.
double robustSpacing(const CurveMap& curves, int index);
