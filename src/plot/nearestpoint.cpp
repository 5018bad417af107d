#include "plot/nearestpoint.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Pixel coordinates are kept within +/-2^40 so differences and squares stay
// exact in 64-bit integers for every coordinate that can still win.
constexpr double kCoordLimit = 1099511627776.0;
// A point wins only when its distance is below this start value.
constexpr std::int64_t kStart = 2147483647;
constexpr std::int64_t kStartSquared = kStart * kStart;

std::int64_t toPixel(double v)
{
    v = std::clamp(v, -kCoordLimit, kCoordLimit);
    return static_cast<std::int64_t>(v); // truncates toward zero
}

// Squared distance, or -1 when the point is too far to win at all.
std::int64_t squaredDistance(std::int64_t dx, std::int64_t dy)
{
    if (dx <= -kStart || dx >= kStart || dy <= -kStart || dy >= kStart)
        return -1;
    const std::int64_t d2 = dx * dx + dy * dy;
    return d2 < kStartSquared ? d2 : -1;
}

struct Entry {
    std::int64_t column;
    std::int64_t row;
    std::uint32_t index;
};

} // namespace

bool screenPosition(const curveraster::Mapping& m, double x, double y, std::int64_t& column, std::int64_t& row)
{
    double cx, cy;
    if (!m.map(x, y, cx, cy))
        return false;
    column = toPixel(cx);
    row = toPixel(cy);
    return true;
}

long long nearestPointScan(const std::vector<double>& values, const curveraster::Mapping& m, int px, int py)
{
    const std::size_t n = values.size() / 2;
    long long best = -1;
    std::int64_t bestD2 = 0;
    for (std::size_t i = 0; i < n; ++i) {
        std::int64_t c, r;
        if (!screenPosition(m, values[2 * i], values[2 * i + 1], c, r))
            continue;
        const std::int64_t d2 = squaredDistance(c - px, r - py);
        if (d2 < 0)
            continue;
        if (best < 0 || d2 < bestD2) {
            best = static_cast<long long>(i);
            bestD2 = d2;
        }
    }
    return best;
}

void NearestPointIndex::build(const std::vector<double>& values, const curveraster::Mapping& m)
{
    m_built = true;
    m_source = values.data();
    m_sourceSize = values.size();
    m_mapping = m;
    m_columns.clear();
    m_columnStart.clear();
    m_rows.clear();
    m_rowIndex.clear();

    const std::size_t n = std::min<std::size_t>(values.size() / 2, std::numeric_limits<std::uint32_t>::max());
    std::vector<Entry> entries;
    entries.reserve(n);
    bool columnsSorted = true;
    for (std::size_t i = 0; i < n; ++i) {
        Entry e;
        if (!screenPosition(m, values[2 * i], values[2 * i + 1], e.column, e.row))
            continue;
        e.index = static_cast<std::uint32_t>(i);
        if (!entries.empty() && e.column < entries.back().column)
            columnsSorted = false;
        entries.push_back(e);
    }
    auto byRowThenIndex = [](const Entry& a, const Entry& b) {
        return a.row != b.row ? a.row < b.row : a.index < b.index;
    };
    if (columnsSorted) {
        // Points ordered by x (the usual case): only the rows of each column
        // need ordering.
        for (std::size_t s = 0; s < entries.size();) {
            std::size_t e = s + 1;
            while (e < entries.size() && entries[e].column == entries[s].column)
                ++e;
            if (e - s > 1)
                std::sort(entries.begin() + std::ptrdiff_t(s), entries.begin() + std::ptrdiff_t(e), byRowThenIndex);
            s = e;
        }
    } else {
        std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
            return a.column != b.column ? a.column < b.column : byRowThenIndex(a, b);
        });
    }

    m_rows.reserve(entries.size());
    m_rowIndex.reserve(entries.size());
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const Entry& e = entries[k];
        const bool newColumn = m_columns.empty() || m_columns.back() != e.column;
        if (newColumn) {
            m_columns.push_back(e.column);
            m_columnStart.push_back(static_cast<std::uint32_t>(m_rows.size()));
        } else if (m_rows.back() == e.row) {
            continue; // same pixel: the lower index (seen first) stands for it
        }
        m_rows.push_back(e.row);
        m_rowIndex.push_back(e.index);
    }
    m_columnStart.push_back(static_cast<std::uint32_t>(m_rows.size()));
}

long long NearestPointIndex::nearest(int px, int py) const
{
    long long best = -1;
    std::int64_t bestD2 = 0;
    auto consider = [&](std::int64_t dx, std::size_t r) {
        const std::int64_t d2 = squaredDistance(dx, m_rows[r] - py);
        if (d2 < 0)
            return;
        const long long idx = m_rowIndex[r];
        if (best < 0 || d2 < bestD2 || (d2 == bestD2 && idx < best)) {
            best = idx;
            bestD2 = d2;
        }
    };
    // True while a column at this horizontal offset can still hold a winner
    // (an equal distance can still win with a lower index).
    auto reachable = [&](std::int64_t dx) {
        if (dx <= -kStart || dx >= kStart)
            return false;
        return best < 0 || dx * dx <= bestD2;
    };
    auto visitColumn = [&](std::size_t k) {
        const std::int64_t dx = m_columns[k] - px;
        const auto first = m_rows.begin() + m_columnStart[k];
        const auto last = m_rows.begin() + m_columnStart[k + 1];
        const auto at = std::lower_bound(first, last, std::int64_t(py));
        if (at != last)
            consider(dx, std::size_t(at - m_rows.begin()));
        if (at != first)
            consider(dx, std::size_t(at - m_rows.begin()) - 1);
    };

    const std::size_t start =
        std::size_t(std::lower_bound(m_columns.begin(), m_columns.end(), std::int64_t(px)) - m_columns.begin());
    std::size_t right = start;
    std::ptrdiff_t left = std::ptrdiff_t(start) - 1;
    // Walk outward from the pointer's column, always taking the nearer side.
    for (;;) {
        const bool rightOk = right < m_columns.size() && reachable(m_columns[right] - px);
        const bool leftOk = left >= 0 && reachable(px - m_columns[std::size_t(left)]);
        if (!rightOk && !leftOk)
            break;
        if (rightOk && (!leftOk || m_columns[right] - px <= px - m_columns[std::size_t(left)])) {
            visitColumn(right);
            ++right;
        } else {
            visitColumn(std::size_t(left));
            --left;
        }
    }
    return best;
}
