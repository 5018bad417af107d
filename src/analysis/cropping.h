#pragma once
// Keeping or removing the points of a curve by a rectangle in data values
// (points interleaved x0, y0, x1, y1, ...); edges are inside.
#include <vector>

namespace cropping {

struct Rect {
    double left = 0, right = 0, bottom = 0, top = 0;
};

// The points not outside the rectangle, in their order: a point goes only
// when a coordinate is below or above its range, so a point with a
// coordinate that is not a number stays.
std::vector<double> keepInside(const std::vector<double>& points, const Rect& r);

// The points clearly outside the rectangle, in their order: a point with a
// coordinate that is not a number goes too.
std::vector<double> removeInside(const std::vector<double>& points, const Rect& r);

} // namespace cropping
