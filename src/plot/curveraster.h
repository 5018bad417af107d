#pragma once
// Turning curve points into the pixels a plot draws. No widget code: the
// plot's drawing feeds these paths to a QPainter.
//
// A curve of millions of points covers only a few thousand pixel columns.
// The reductions here keep exactly what can change the picture:
// - lines: within one pixel column, a run of consecutive points draws the
//   vertical span between its lowest and highest pixel, so the run is
//   replaced by its first, lowest, highest and last point in their order;
//   the segments between columns are kept as they are;
// - symbols: a symbol drawn again later at the same pixel covers the earlier
//   one completely, so only the last symbol at each pixel is kept, in the
//   order of those last occurrences.
//
// Given the curve's summary (core/curvesummary.h), a line reads about as
// many values as the plot has pixel columns: whole blocks of points that
// lie on one side outside the visible area, or inside it within the pixel
// column being drawn, are taken from the summary, and a curve whose x only
// increases is read only over the points in view (found by bisection).
// The paths are the same as those read from every point.
#include <QPoint>
#include <QRect>

#include <cmath>
#include <cstddef>
#include <vector>

struct CurveSummary;

namespace curveraster {

// (v - min) * scale, also where v - min overflows (data near +-1e308): the
// halved difference is exactly half the difference whenever that is finite,
// so the result is the same, and it stays finite for any finite pair.
inline double offsetPixels(double v, double min, double scale) { return (v * 0.5 - min * 0.5) * scale * 2.0; }

// Pixels per unit of a range spread over `pixels` pixels; finite for any
// finite range that is not empty.
inline double pixelsPerUnit(double pixels, double min, double max) { return pixels * 0.5 / (max * 0.5 - min * 0.5); }

// Data value to pixel in the view in force. Axis coordinates are the value
// on a linear axis and sign x log10|value| on a logarithmic one.
struct Mapping {
    double xmin = 0.0;
    double ymin = 0.0;
    double xScale = 1.0;    // pixels per x unit
    double yScale = 1.0;    // pixels per y unit
    double left = 0.0;      // pixel column of xmin
    double bottom = 0.0;    // pixel row of ymin
    double shiftX = 0.0;    // 3-D shift: added to x
    double shiftY = 0.0;    //            subtracted from y
    bool logX = false;
    bool logY = false;
    int signX = 1;
    int signY = 1;

    // The pixel of a point as doubles; false when it has none: a value on
    // the wrong side of zero on a logarithmic axis, or a coordinate that is
    // not finite (NaN or infinite data, an empty range in force).
    bool map(double x, double y, double& px, double& py) const;
    // Whether a value has a place on a logarithmic axis of that sign.
    static bool onLogSide(double v, int sign) { return sign > 0 ? v > 0.0 : (sign < 0 ? v < 0.0 : true); }
    // The pixel column of an x and the pixel row of a y that have a place
    // (the halves of map()); both follow their value monotonically.
    double pixelX(double x) const
    {
        if (logX)
            x = signX * std::log10(std::fabs(x));
        return offsetPixels(x, xmin, xScale) + left + shiftX;
    }
    double pixelY(double y) const
    {
        if (logY)
            y = signY * std::log10(std::fabs(y));
        return bottom - offsetPixels(y, ymin, yScale) - shiftY;
    }

    bool operator==(const Mapping&) const = default;
};

// Inline: the drawing maps every point of every curve through it.
inline bool Mapping::map(double x, double y, double& px, double& py) const
{
    if ((logX && !onLogSide(x, signX)) || (logY && !onLogSide(y, signY)))
        return false;
    px = pixelX(x);
    py = pixelY(y);
    return std::isfinite(px) && std::isfinite(py);
}


// Truncation toward zero of a pixel coordinate known to be small.
inline int pixelOf(double v) { return static_cast<int>(v); }

struct Options {
    // Pixels that can show anything: the clip rectangle of the drawing.
    QRect visible;
    // Extra room around the visible rectangle (half the pen or symbol size).
    int margin = 2;
    // Apply the reductions; false keeps every pixel (for comparison).
    bool reduce = true;
};

// Statistics of one pass, for the plot's date-axis check and bar widths.
struct PassInfo {
    std::size_t examined = 0;  // points looked at (valid or not)
    bool allMjd = true;        // every examined x lies in [40587, 88069)
};

// The polylines of a curve's line: segments between consecutive valid
// points, clipped in floating point to the visible rectangle plus margin
// (so far-off points never bend a line), as runs of integer points. Run i
// is points [starts[i], starts[i + 1]) (the last up to points.size()).
// Consecutive equal pixels are merged.
struct Polylines {
    std::vector<QPoint> points;
    std::vector<std::size_t> starts;

    void clear()
    {
        points.clear();
        starts.clear();
    }
    std::size_t runCount() const { return starts.size(); }
    std::size_t runBegin(std::size_t i) const { return starts[i]; }
    std::size_t runEnd(std::size_t i) const { return i + 1 < starts.size() ? starts[i + 1] : points.size(); }
};

// With the values' summary and o.reduce, the summary stands in for the
// points wherever it can.
void linePaths(const double* xy, std::size_t pointCount, const Mapping& m, const Options& o, Polylines& out,
               PassInfo* info = nullptr, const CurveSummary* summary = nullptr);

// The pixels at which a curve's symbols are drawn, in drawing order;
// symbols wholly outside the visible rectangle plus margin are left out.
// With reduce, only the last symbol at each pixel is kept.
// With the summary, points outside the visible columns are not read when
// x only increases.
void symbolPixels(const double* xy, std::size_t pointCount, const Mapping& m, const Options& o,
                  std::vector<QPoint>& out, PassInfo* info = nullptr, const CurveSummary* summary = nullptr);

// All pixels of a curve as the plain drawing collects them: every valid
// point whose pixel lies within +-32768 on both axes, consecutive equal
// pixels merged. Used for bars, whose widths depend on the spacing.
void collectPixels(const double* xy, std::size_t pointCount, const Mapping& m, std::vector<QPoint>& out,
                   PassInfo* info = nullptr);

// The smallest positive x distance between consecutive pixels; 1,000,000
// when there is none.
int smallestColumnStep(const std::vector<QPoint>& pixels);

// Bars without symbols: per pixel column only the lowest and highest bar
// end matter (every bar of a column starts at the same base).
void reduceBars(const std::vector<QPoint>& pixels, std::vector<QPoint>& out);

} // namespace curveraster
