#pragma once
// n-sigma trimming: one pass that removes from every curve the points whose
// y lies more than n standard deviations from the mean, with bounds per
// curve or from all curves together.
#include "core/curvedata.h"

#include <QString>

namespace trimming {

// Trims the curves in place (points kept in order, attributes unchanged; a
// y that is not a number is kept) and returns the report text.
QString trimOutliers(CurveMap& curves, double n, bool concatenated);

} // namespace trimming
