#pragma once
// The point of a curve nearest to a pointer position on screen, as the
// snap-to-curve readout needs it on every pointer move.
//
// Screen position of a point: the pixel of the drawing's mapping
// (curveraster::Mapping::map; points without one are skipped), each
// coordinate truncated toward zero.
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

#include "plot/curveraster.h"

// The screen position of a point; false when the point is skipped.
bool screenPosition(const curveraster::Mapping& m, double x, double y, std::int64_t& column, std::int64_t& row);

// Index of the nearest point of the interleaved values (x0, y0, x1, y1, ...),
// or -1 when no point qualifies.
long long nearestPointScan(const std::vector<double>& values, const curveraster::Mapping& m, int px, int py);

class NearestPointIndex {
public:
    // Indexes the points of the values under the mapping.
    void build(const std::vector<double>& values, const curveraster::Mapping& m);
    // The same answer as nearestPointScan for the values and mapping built.
    long long nearest(int px, int py) const;

    // Whether the index was built from these values under this mapping
    // (still current).
    bool builtFor(const std::vector<double>& values, const curveraster::Mapping& m) const
    {
        return m_built && m_source == values.data() && m_sourceSize == values.size() && m_mapping == m;
    }

private:
    bool m_built = false;
    const double* m_source = nullptr;
    std::size_t m_sourceSize = 0;
    curveraster::Mapping m_mapping;
    // Distinct columns in ascending order; rows of column k are
    // m_rows[m_columnStart[k] .. m_columnStart[k + 1]), ascending and distinct,
    // each with the lowest point index at that pixel.
    std::vector<std::int64_t> m_columns;
    std::vector<std::uint32_t> m_columnStart;
    std::vector<std::int64_t> m_rows;
    std::vector<std::uint32_t> m_rowIndex;
};
