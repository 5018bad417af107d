#pragma once
// Operations that walk the points of a curve: crossings of a level, the
// distance of a point from a segment, sorting by x, spacings and
// differences, and resampling one curve at the x values of another.
#include "core/curvedata.h"
#include "core/curvestats.h"
#include "core/expressioninput.h"

#include <utility>
#include <vector>

// The points where curve index (or every curve for ALL_CURVES) crosses
// level along axis (0 x, 1 y), by linear interpolation, in the order found.
std::vector<PointXY> crossings(const CurveMap& curves, int index, double level, int axis);
// Distance of q from the segment a-b, or -1 when the foot of the
// perpendicular lies outside the segment; foot receives that foot.
double distanceToSegment(const PointXY& a, const PointXY& b, const PointXY& q, PointXY* foot = nullptr);
// Stable sort of the points by x; points whose x is not a number go last.
void sortPointsByX(std::vector<double>& points);
void sortCurvesByX(CurveMap& curves, int index);
// x(i+1) - x(i) of each curve, never across two curves.
std::vector<double> xSpacings(const CurveMap& curves, int index);
// y(i+1) - y(i) of a point vector.
std::vector<double> yDifferences(const std::vector<double>& points);
// Appends, for each reference x from the first to the last source x, the
// source's y interpolated linearly at it.
void alignByX(ExpressionInput source, ExpressionInput reference, std::vector<double>& out);
