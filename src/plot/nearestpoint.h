#pragma once
// The point of a curve nearest to a pointer position on screen, as the
// snap-to-curve readout needs it on every pointer move.
//
// Screen position of a point (x, y): with x' = x on a linear axis and
// sign x log10|x| on a logarithmic one (points on the other side of zero than
// the axis sign are skipped, as are points that are not finite),
//     column = trunc((x' - x0) * sx + left),  row = trunc(bottom - (y' - y0) * sy).
// The distance to the pointer is the Euclidean pixel distance; the first
// point (lowest index) with the smallest distance wins, and a point wins only
// when its distance is below 2147483647.
//
// nearestPointScan() walks every point; NearestPointIndex answers the same
// question from the points grouped by pixel column, each column's rows
// sorted, so a query looks only at the columns within the best distance
// found so far: O(columns near the pointer x log) instead of O(points).
#include <cstdint>
#include <vector>

struct ScreenMapping {
    double x0 = 0.0;     // x range minimum in force (axis coordinate)
    double y0 = 0.0;     // y range minimum in force (axis coordinate)
    double sx = 1.0;     // pixels per x unit: (plot-area width - 1) / x span
    double sy = 1.0;     // pixels per y unit: (plot-area height - 1) / y span
    double left = 0.0;   // left margin
    double bottom = 0.0; // bottom row of the plot area
    bool logX = false;
    bool logY = false;
    int signX = 1;
    int signY = 1;

    bool operator==(const ScreenMapping&) const = default;
};

// The screen position of a point; false when the point is skipped.
bool screenPosition(const ScreenMapping& m, double x, double y, std::int64_t& column, std::int64_t& row);

// Index of the nearest point of the interleaved values (x0, y0, x1, y1, ...),
// or -1 when no point qualifies.
long long nearestPointScan(const std::vector<double>& values, const ScreenMapping& m, int px, int py);

class NearestPointIndex {
public:
    // Indexes the points of the values under the mapping.
    void build(const std::vector<double>& values, const ScreenMapping& m);
    // The same answer as nearestPointScan for the values and mapping built.
    long long nearest(int px, int py) const;

    // What the index was built from (to tell whether it is still current).
    const double* source() const { return m_source; }
    std::size_t sourceSize() const { return m_sourceSize; }
    const ScreenMapping& mapping() const { return m_mapping; }
    bool builtFor(const std::vector<double>& values, const ScreenMapping& m) const
    {
        return m_built && m_source == values.data() && m_sourceSize == values.size() && m_mapping == m;
    }

private:
    bool m_built = false;
    const double* m_source = nullptr;
    std::size_t m_sourceSize = 0;
    ScreenMapping m_mapping;
    // Distinct columns in ascending order; rows of column k are
    // m_rows[m_columnStart[k] .. m_columnStart[k + 1]), ascending and distinct,
    // each with the lowest point index at that pixel.
    std::vector<std::int64_t> m_columns;
    std::vector<std::uint32_t> m_columnStart;
    std::vector<std::int64_t> m_rows;
    std::vector<std::uint32_t> m_rowIndex;
};
