#pragma once
// Statistics over the curves of a curve map: counts, sums, medians,
// variances, excess kurtosis, root mean square, extremes and the
// least-squares slope.
//
// Selection: the single forms take a curve index or ALL_CURVES (every curve
// in index order); a missing index gives the neutral result (0, the point
// (0, 0), a NaN slope) without an error. The list forms take an IdArray: a
// count of 0 raises "No valid curves were supplied for operation.", a first
// element ALL_CURVES means every curve, a negative count selects nothing, a
// listed index the map does not hold raises "Curve C<n> does not exist.", and
// a curve listed twice counts twice. A curve with an odd number of values
// raises the corrupt-curve error. Axis 0 is x, 1 is y; extreme kind 0 is the
// minimum, 1 the maximum. Divisions by zero are not tested: NaN and infinite
// values flow into the results.
#include "core/curvedata.h"
#include "core/idarray.h"

#include <utility>
#include <vector>

using PointXY = std::pair<double, double>;

// Raises std::runtime_error "Curve C<number> does not exist." (number is the
// curve index + 1), or "No valid curves were supplied for operation." for 0.
[[noreturn]] void throwCurveError(int curveNumber);

// Points of the listed curves (their values counted and halved).
long long pointCountOfCurveList(const CurveMap& curves, const IdArray& ids);

double sumOfCurve(const CurveMap& curves, int index, int axis);
double sumOfCurveList(const CurveMap& curves, const IdArray& ids, int axis);

// Mean of the y values of one point vector.
double meanY(const std::vector<double>& points);

// The median; when the selected curves hold no values at all it raises
// std::runtime_error "No valid curves were supplied for operation.". NaN
// values order after every number.
double medianOfCurve(const CurveMap& curves, int index, int axis);
double medianOfCurveList(const CurveMap& curves, const IdArray& ids, int axis);

// Sample variance (divisor n - 1).
double varianceOfCurve(const CurveMap& curves, int index, int axis);
double varianceOfCurveList(const CurveMap& curves, const IdArray& ids, int axis);

// Sample standard deviation of plain values (divisor count - 1): 0 for no
// values, NaN for one.
double standardDeviation(const std::vector<double>& values);

// Sample excess kurtosis.
double kurtosisOfCurve(const CurveMap& curves, int index, int axis);
double kurtosisOfCurveList(const CurveMap& curves, const IdArray& ids, int axis);

// Root mean square.
double rmsOfCurve(const CurveMap& curves, int index, int axis);
double rmsOfCurveList(const CurveMap& curves, const IdArray& ids, int axis);

// The minimum (kind 0) or maximum (kind 1) point of a point vector along an
// axis: the first point starts, later points replace it only when strictly
// smaller or larger; infinite and NaN coordinates are skipped. (0, 0) for
// fewer than two values.
PointXY extremeOfPoints(const std::vector<double>& points, int kind, int axis);
// The same over curves; the search starts from the first examined curve
// that has points.
PointXY extremeOfCurve(const CurveMap& curves, int index, int kind, int axis);
PointXY extremeOfCurveList(const CurveMap& curves, const IdArray& ids, int kind, int axis);
// The extreme on a base-10 logarithmic scale: the result carries log10 of the
// coordinate's magnitude on the axis; zeros are passed over.
PointXY log10ExtremeOfPoints(const std::vector<double>& points, int kind, int axis);

// Least-squares slope of y on x over one curve or every curve.
double regressionSlope(const CurveMap& curves, int index);
