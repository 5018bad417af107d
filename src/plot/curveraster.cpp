#include "plot/curveraster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/curvesummary.h"
#include "plot/ticklabels.h"

namespace curveraster {

namespace {

using ticklabels::kEndDateMjd;
using ticklabels::kFirstDateMjd;

struct Box {
    double x0, y0, x1, y1;
    bool contains(double x, double y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

Box extendedBox(const Options& o)
{
    const QRect& r = o.visible;
    return {double(r.left() - o.margin), double(r.top() - o.margin), double(r.right() + o.margin),
            double(r.bottom() + o.margin)};
}

// Liang-Barsky: clips the segment a-b to the box; false when nothing is left.
bool clipSegment(const Box& b, double& ax, double& ay, double& bx, double& by)
{
    const double dx = bx - ax;
    const double dy = by - ay;
    double t0 = 0.0;
    double t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {ax - b.x0, b.x1 - ax, ay - b.y0, b.y1 - ay};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1)
                return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0)
                return false;
            t1 = std::min(t1, t);
        }
    }
    const double nax = ax + t0 * dx, nay = ay + t0 * dy;
    const double nbx = ax + t1 * dx, nby = ay + t1 * dy;
    ax = nax;
    ay = nay;
    bx = nbx;
    by = nby;
    return true;
}

// Collapses each run of points in one pixel column to its first, lowest,
// highest and last point, in their order of occurrence. Every pixel comes
// with a key that grows along the curve (point j has 2j + 1, the clipped
// start of the segment that leads to it 2j); a stretch of equal pixels is
// known by the key of its first pixel, so that whole stretches of points
// can be taken in at once and still give the same paths.
class ColumnReducer {
public:
    ColumnReducer(std::vector<QPoint>& out, bool reduce) : m_out(out), m_reduce(reduce) {}

    void add(QPoint p, long long key)
    {
        if (m_have && p == m_last.p)
            return; // consecutive duplicate
        if (!m_reduce) {
            m_out.push_back(p);
            m_last = {p, key};
            m_have = true;
            return;
        }
        if (!m_have || p.x() != m_first.p.x()) {
            flush();
            m_first = m_last = {p, key};
            m_lowY = m_highY = p.y();
            m_lowN = m_highN = key;
            m_have = true;
            return;
        }
        addInColumn(p.y(), key);
    }

    // The open run's extremes and last pixel row with the keys of the
    // stretches they begin, as plain values for a caller's tight loop over
    // points of the run's column: kept in registers and free of branches
    // (noisy data would mispredict them).
    struct Column {
        int lastY, lowY, highY;
        long long lastN, lowN, highN;

        void add(int y, long long key)
        {
            // A consecutive duplicate continues its stretch (and, lying
            // between the extremes, moves neither).
            const bool changed = y != lastY;
            lastN = changed ? key : lastN;
            const bool lower = y < lowY;
            const bool higher = y > highY;
            lowY = lower ? y : lowY;
            lowN = lower ? key : lowN;
            highY = higher ? y : highY;
            highN = higher ? key : highN;
            lastY = y;
        }
    };
    Column column() const { return {m_last.p.y(), m_lowY, m_highY, m_last.n, m_lowN, m_highN}; }
    void setColumn(const Column& c)
    {
        m_last = {QPoint(m_last.p.x(), c.lastY), c.lastN};
        m_lowY = c.lowY;
        m_highY = c.highY;
        m_lowN = c.lowN;
        m_highN = c.highN;
    }
    // The pixel column of the open run.
    int columnX() const { return m_first.p.x(); }

    // add() for a point known to lie in the current run's column.
    void addInColumn(int y, long long key)
    {
        Column c = column();
        c.add(y, key);
        setColumn(c);
    }

    // Ends the current run (a break in the line).
    void flush()
    {
        if (!m_have || !m_reduce) {
            m_have = false;
            return;
        }
        m_out.push_back(m_first.p);
        const int column = m_first.p.x();
        Entry low{QPoint(column, m_lowY), m_lowN}, high{QPoint(column, m_highY), m_highN};
        const Entry* mid[2] = {&low, &high};
        if (high.n < low.n)
            std::swap(mid[0], mid[1]);
        long long lastEmitted = m_first.n;
        for (const Entry* e : mid) {
            if (e->n > lastEmitted && e->n < m_last.n) {
                m_out.push_back(e->p);
                lastEmitted = e->n;
            }
        }
        if (m_last.n > m_first.n)
            m_out.push_back(m_last.p);
        m_have = false;
    }

    void breakRun()
    {
        flush();
        m_have = false;
    }

private:
    struct Entry {
        QPoint p;
        long long n = 0;
    };
    std::vector<QPoint>& m_out;
    bool m_reduce;
    bool m_have = false;
    Entry m_first, m_last;
    int m_lowY = 0, m_highY = 0;
    long long m_lowN = 0, m_highN = 0;
};

inline void checkMjd(double x, PassInfo* info)
{
    if (info) {
        ++info->examined;
        if (info->allMjd && !(x >= kFirstDateMjd && x < kEndDateMjd))
            info->allMjd = false;
    }
}

// Appends the pixels of the points that map and pass keep(px, py),
// consecutive equal pixels once.
template <typename Keep>
void appendDistinctPixels(const double* xy, std::size_t n, const Mapping& m, std::vector<QPoint>& out,
                          PassInfo* info, Keep keep)
{
    QPoint last(std::numeric_limits<int>::min(), 0);
    for (std::size_t j = 0; j < n; ++j) {
        const double x = xy[2 * j];
        const double y = xy[2 * j + 1];
        checkMjd(x, info);
        double px, py;
        if (!m.map(x, y, px, py) || !keep(px, py))
            continue;
        const QPoint p(pixelOf(px), pixelOf(py));
        if (p == last)
            continue;
        out.push_back(p);
        last = p;
    }
}

// The points after j (before limit) that map into the given pixel column
// inside the box: they only move the column's extremes. A tight loop with
// everything in registers. Returns the index of the last point taken; px,
// py become its pixel.
template <bool CheckDates>
std::size_t extendColumn(const double* xy, std::size_t j, std::size_t limit, const Mapping& m, const Box& box,
                         int column, ColumnReducer::Column& run, bool& allMjd, double& px, double& py)
{
    const double xmin = m.xmin, xScale = m.xScale, left = m.left, shiftX = m.shiftX;
    const double ymin = m.ymin, yScale = m.yScale, bottom = m.bottom, shiftY = m.shiftY;
    const Box b = box;
    ColumnReducer::Column c = run;
    bool mjd = allMjd;
    double lastX = px, lastY = py;
    for (; j + 1 < limit; ++j) {
        const double nx = xy[2 * j + 2];
        const double ny = xy[2 * j + 3];
        const double qx = offsetPixels(nx, xmin, xScale) + left + shiftX;
        const double qy = bottom - offsetPixels(ny, ymin, yScale) - shiftY;
        if (!b.contains(qx, qy) || pixelOf(qx) != column)
            break;
        if (CheckDates)
            mjd = mjd && nx >= kFirstDateMjd && nx < kEndDateMjd;
        c.add(pixelOf(qy), 2 * static_cast<long long>(j + 1) + 1);
        lastX = qx;
        lastY = qy;
    }
    run = c;
    allMjd = mjd;
    px = lastX;
    py = lastY;
    return j;
}

} // namespace

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
using Block = CurveSummary::Block;

// The points whose pixel column lies in [x0, x1] of a curve whose x only
// increases: [first, last). Points without a place on a logarithmic x axis
// lie before (positive axis) or after (negative axis) all others.
struct Span {
    std::size_t first = 0, last = 0;
};

Span columnSpan(const double* xy, std::size_t n, const Mapping& m, double x0, double x1)
{
    auto column = [&](std::size_t i) {
        const double x = xy[2 * i];
        if (m.logX && !Mapping::onLogSide(x, m.signX))
            return m.signX > 0 ? -kInf : kInf;
        return m.pixelX(x);
    };
    std::size_t lo = 0, hi = n;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (column(mid) < x0)
            lo = mid + 1;
        else
            hi = mid;
    }
    Span s;
    s.first = lo;
    hi = n;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (column(mid) <= x1)
            lo = mid + 1;
        else
            hi = mid;
    }
    s.last = lo;
    return s;
}

// Whether the summary's blocks can stand in for points under this mapping
// (a logarithmic axis without a sign maps every value to one place).
bool summaryApplies(const CurveSummary* s, const Mapping& m)
{
    return s && !(m.logX && m.signX == 0) && !(m.logY && m.signY == 0);
}

void passInfoFromSummary(const CurveSummary& s, PassInfo* info)
{
    if (!info || s.points == 0)
        return;
    info->examined += s.points;
    info->allMjd = info->allMjd && s.allXFinite && s.x.any && s.x.min >= kFirstDateMjd && s.x.max < kEndDateMjd;
}

// The walk along a curve that turns its points into polylines; step()
// takes one point as the plain drawing does, the summary's blocks take
// many at once where that gives the same paths.
class LineWalker {
public:
    LineWalker(const double* xy, const Mapping& m, const Options& o, Polylines& out, bool checkDates,
               bool allMjd)
        : m_xy(xy), m_m(m), m_box(extendedBox(o)), m_out(out), m_reducer(out.points, o.reduce),
          m_columnRuns(o.reduce && !m.logX && !m.logY), m_checkDates(checkDates), m_allMjd(allMjd)
    {
    }

    bool allMjd() const { return m_allMjd; }

    // Point j, and with column runs the points after it up to limit that
    // stay in its pixel column; returns the last point taken.
    std::size_t step(std::size_t j, std::size_t limit)
    {
        const double x = m_xy[2 * j];
        const double y = m_xy[2 * j + 1];
        if (m_checkDates)
            m_allMjd = m_allMjd && x >= kFirstDateMjd && x < kEndDateMjd;
        double px, py;
        if (!m_m.map(x, y, px, py))
            return j;
        const bool inside = m_box.contains(px, py);
        const long long key = keyOf(j);
        if (!m_havePrev) {
            if (inside)
                startRun(px, py, key);
        } else if (inside && m_prevInside) {
            if (!m_haveRun)
                startRun(m_prevX, m_prevY, m_prevKey);
            m_reducer.add(QPoint(pixelOf(px), pixelOf(py)), key);
            if (m_columnRuns) {
                // The points that follow in the same pixel column, inside
                // the box, only move the column's extremes: a tight loop.
                ColumnReducer::Column run = m_reducer.column();
                j = m_checkDates
                        ? extendColumn<true>(m_xy, j, limit, m_m, m_box, pixelOf(px), run, m_allMjd, px, py)
                        : extendColumn<false>(m_xy, j, limit, m_m, m_box, pixelOf(px), run, m_allMjd, px, py);
                m_reducer.setColumn(run);
            }
        } else {
            double ax = m_prevX, ay = m_prevY, bx = px, by = py;
            if (clipSegment(m_box, ax, ay, bx, by)) {
                if (!m_prevInside || !m_haveRun)
                    startRun(ax, ay, key - 1);
                m_reducer.add(QPoint(pixelOf(bx), pixelOf(by)), key);
                if (!inside) {
                    m_reducer.breakRun();
                    m_haveRun = false;
                }
            } else if (m_haveRun) {
                m_reducer.breakRun();
                m_haveRun = false;
            }
            if (inside && !m_haveRun)
                startRun(px, py, key);
        }
        setPrevious(j, px, py, inside);
        return j;
    }

    // Points [begin, end) one by one.
    void walk(std::size_t begin, std::size_t end)
    {
        for (std::size_t j = begin; j < end; ++j)
            j = step(j, end);
    }

    // Points [begin, end) with the summary's blocks where they apply.
    void walk(const CurveSummary& s, std::size_t begin, std::size_t end)
    {
        constexpr std::size_t B = CurveSummary::kFanOut;
        std::size_t j = begin;
        while (j < end) {
            if (j % B == 0 && takeBlock(s, j, end))
                continue;
            // Point by point to the next block boundary.
            const std::size_t limit = std::min(end, (j / B + 1) * B);
            for (; j < limit; ++j)
                j = step(j, limit);
        }
    }

    // Starts the walk after point j, which maps outside the box: the
    // state the walk over every point before has there.
    void startAfter(std::size_t j)
    {
        double px, py;
        if (m_m.map(m_xy[2 * j], m_xy[2 * j + 1], px, py))
            setPrevious(j, px, py, m_box.contains(px, py));
    }

    const Box& box() const { return m_box; }

    void finish()
    {
        m_reducer.breakRun();
        // Drop the starts of runs that ended up empty (cannot happen, but
        // keep the structure consistent) and single-point runs stay: a
        // line through one point draws that point only when a segment led
        // there.
        m_out.starts.erase(std::unique(m_out.starts.begin(), m_out.starts.end()), m_out.starts.end());
        while (!m_out.starts.empty() && m_out.starts.back() >= m_out.points.size())
            m_out.starts.pop_back();
    }

private:
    static long long keyOf(std::size_t j) { return 2 * static_cast<long long>(j) + 1; }

    void startRun(double x, double y, long long key)
    {
        m_reducer.breakRun();
        m_out.starts.push_back(m_out.points.size());
        m_reducer.add(QPoint(pixelOf(x), pixelOf(y)), key);
        m_haveRun = true;
    }

    void setPrevious(std::size_t j, double px, double py, bool inside)
    {
        m_havePrev = true;
        m_prevInside = inside;
        m_prevX = px;
        m_prevY = py;
        m_prevKey = keyOf(j);
    }

    bool usable(std::size_t i) const { return std::isfinite(m_xy[2 * i]) && std::isfinite(m_xy[2 * i + 1]); }
    int rowOf(double y) const { return pixelOf(m_m.pixelY(y)); }

    // The largest block aligned at j that ends by end and stands in for
    // its points; false when none does (the points are taken one by one).
    bool takeBlock(const CurveSummary& s, std::size_t& j, std::size_t end)
    {
        for (std::size_t level = s.levels.size(); level-- > 0;) {
            const std::size_t size = CurveSummary::blockPoints(level);
            if (j % size != 0 || j + size > end || j / size >= s.levels[level].size())
                continue;
            if (applyBlock(s, level, j / size)) {
                j += size;
                return true;
            }
        }
        return false;
    }

    bool applyBlock(const CurveSummary& s, std::size_t level, std::size_t b)
    {
        const Block& k = s.levels[level][b];
        if (k.firstUsable == CurveSummary::kNone)
            return true; // nothing in it draws
        // On a logarithmic axis every usable point must have a place.
        if (m_m.logX && !(Mapping::onLogSide(k.xMin, m_m.signX) && Mapping::onLogSide(k.xMax, m_m.signX)))
            return false;
        if (m_m.logY && !(Mapping::onLogSide(k.yMin, m_m.signY) && Mapping::onLogSide(k.yMax, m_m.signY)))
            return false;
        // The pixels of the extremes bound the pixels of every point.
        const double left = m_m.pixelX(k.xMin), right = m_m.pixelX(k.xMax);
        const double top = m_m.pixelY(k.yMax), bottom = m_m.pixelY(k.yMin);
        if (!(std::isfinite(left) && std::isfinite(right) && std::isfinite(top) && std::isfinite(bottom)))
            return false;
        const std::size_t start = b * CurveSummary::blockPoints(level);
        if (right < m_box.x0 || left > m_box.x1 || bottom < m_box.y0 || top > m_box.y1) {
            // Every point on one side outside the box: only the segment
            // into the block can show; the walk goes on from its last
            // point, outside, with no run open.
            const std::size_t first = start + k.firstUsable, last = start + k.lastUsable;
            step(first, first + 1);
            if (last != first)
                setPrevious(last, m_m.pixelX(m_xy[2 * last]), m_m.pixelY(m_xy[2 * last + 1]), false);
            return true;
        }
        if (!(m_haveRun && m_prevInside))
            return false;
        const int column = m_reducer.columnX();
        if (pixelOf(left) != column || pixelOf(right) != column || !m_box.contains(left, top) ||
            !m_box.contains(right, bottom))
            return false;
        // Every point inside the box in the open run's pixel column: the
        // block moves the column's extremes and its last pixel.
        ColumnReducer::Column c = m_reducer.column();
        const int topRow = pixelOf(top), bottomRow = pixelOf(bottom);
        const std::size_t last = start + k.lastUsable;
        const double lastY = m_m.pixelY(m_xy[2 * last + 1]);
        if (topRow < c.lowY) {
            c.lowY = topRow;
            c.lowN = keyOf(firstWithRow(s, level, b, topRow, true));
        }
        if (bottomRow > c.highY) {
            c.highY = bottomRow;
            c.highN = keyOf(firstWithRow(s, level, b, bottomRow, false));
        }
        if (topRow != bottomRow) {
            std::size_t first = last;
            lastStretch(s, level, b, pixelOf(lastY), first);
            c.lastN = keyOf(first);
        } else if (topRow != c.lastY) {
            c.lastN = keyOf(start + k.firstUsable);
        }
        c.lastY = pixelOf(lastY);
        m_reducer.setColumn(c);
        setPrevious(last, m_m.pixelX(m_xy[2 * last]), lastY, true);
        return true;
    }

    // The first usable point of a block whose pixel row is the block's
    // top (or bottom) row: down through the first sub-block that reaches
    // that row.
    std::size_t firstWithRow(const CurveSummary& s, std::size_t level, std::size_t b, int row, bool top) const
    {
        constexpr std::size_t F = CurveSummary::kFanOut;
        for (; level > 0; --level) {
            const std::vector<Block>& below = s.levels[level - 1];
            std::size_t child = b * F;
            for (; child < b * F + F; ++child) {
                const Block& k = below[child];
                if (k.firstUsable != CurveSummary::kNone && rowOf(top ? k.yMax : k.yMin) == row)
                    break;
            }
            if (child == b * F + F) {
                // Not met (cannot happen): the extreme value's own point.
                const Block& k = s.levels[level][b];
                return b * CurveSummary::blockPoints(level) + (top ? k.yMaxAt : k.yMinAt);
            }
            b = child;
        }
        for (std::size_t i = b * F; i < b * F + F; ++i)
            if (usable(i) && rowOf(m_xy[2 * i + 1]) == row)
                return i;
        const Block& k = s.levels[0][b];
        return b * F + (top ? k.yMaxAt : k.yMinAt);
    }

    // Walks a block backwards over the usable points in pixel row `row`,
    // moving first to each; true once a point of another row ends the
    // stretch.
    bool lastStretch(const CurveSummary& s, std::size_t level, std::size_t b, int row, std::size_t& first) const
    {
        constexpr std::size_t F = CurveSummary::kFanOut;
        if (level == 0) {
            for (std::size_t i = b * F + F; i-- > b * F;) {
                if (!usable(i))
                    continue;
                if (rowOf(m_xy[2 * i + 1]) != row)
                    return true;
                first = i;
            }
            return false;
        }
        const std::vector<Block>& below = s.levels[level - 1];
        const std::size_t size = CurveSummary::blockPoints(level - 1);
        for (std::size_t child = b * F + F; child-- > b * F;) {
            const Block& k = below[child];
            if (k.firstUsable == CurveSummary::kNone)
                continue;
            if (rowOf(k.yMax) == row && rowOf(k.yMin) == row) {
                first = child * size + k.firstUsable;
                continue;
            }
            if (lastStretch(s, level - 1, child, row, first))
                return true;
        }
        return false;
    }

    const double* m_xy;
    const Mapping& m_m;
    const Box m_box;
    Polylines& m_out;
    ColumnReducer m_reducer;
    const bool m_columnRuns;
    const bool m_checkDates;
    bool m_allMjd;
    bool m_haveRun = false;  // a run is open and its last point is the previous valid point
    bool m_havePrev = false; // the previous valid point
    bool m_prevInside = false;
    double m_prevX = 0.0, m_prevY = 0.0;
    long long m_prevKey = 0;
};

} // namespace

void linePaths(const double* xy, std::size_t n, const Mapping& m, const Options& o, Polylines& out,
               PassInfo* info, const CurveSummary* summary)
{
    const bool useSummary = o.reduce && summaryApplies(summary, m) && summary->points == n;
    if (!useSummary) {
        LineWalker w(xy, m, o, out, info != nullptr, info ? info->allMjd : true);
        w.walk(0, n);
        w.finish();
        if (info) {
            info->examined += n;
            info->allMjd = w.allMjd();
        }
        return;
    }
    passInfoFromSummary(*summary, info);
    LineWalker w(xy, m, o, out, false, true);
    std::size_t begin = 0, end = n;
    if (summary->xAscending) {
        // Before the first point in the box's columns everything lies to
        // its left, after the last to its right: only the segments from
        // the last point before and to the first point after can show.
        const Span span = columnSpan(xy, n, m, w.box().x0, w.box().x1);
        begin = span.first;
        for (std::size_t i = begin; i-- > 0;) {
            double px, py;
            if (m.map(xy[2 * i], xy[2 * i + 1], px, py)) {
                w.startAfter(i);
                break;
            }
        }
        end = span.last;
        while (end < n) {
            double px, py;
            if (m.map(xy[2 * end], xy[2 * end + 1], px, py))
                break;
            ++end;
        }
        end = std::min(n, end + 1);
    }
    if (summary->levels.empty())
        w.walk(begin, end);
    else
        w.walk(*summary, begin, end);
    w.finish();
}

void symbolPixels(const double* xy, std::size_t n, const Mapping& m, const Options& o, std::vector<QPoint>& out,
                  PassInfo* info, const CurveSummary* summary)
{
    const Box box = extendedBox(o);
    const std::size_t first = out.size();
    auto inBox = [&](double px, double py) { return box.contains(px, py); };
    if (summaryApplies(summary, m) && summary->points == n && summary->xAscending) {
        // Symbols outside the box's columns are left out anyway.
        passInfoFromSummary(*summary, info);
        const Span span = columnSpan(xy, n, m, box.x0, box.x1);
        appendDistinctPixels(xy + 2 * span.first, span.last - span.first, m, out, nullptr, inBox);
    } else {
        appendDistinctPixels(xy, n, m, out, info, inBox);
    }
    if (!o.reduce || out.size() - first < 2)
        return;
    // Keep the last symbol at each pixel: walk backwards, marking pixels.
    const int x0 = pixelOf(box.x0) - 1, y0 = pixelOf(box.y0) - 1;
    const int w = pixelOf(box.x1) - x0 + 2, h = pixelOf(box.y1) - y0 + 2;
    std::vector<std::uint64_t> seen((std::size_t(w) * std::size_t(h) + 63) / 64, 0);
    std::size_t keep = out.size();
    for (std::size_t i = out.size(); i-- > first;) {
        const QPoint p = out[i];
        const std::size_t bit = std::size_t(p.y() - y0) * std::size_t(w) + std::size_t(p.x() - x0);
        std::uint64_t& word = seen[bit >> 6];
        const std::uint64_t mask = std::uint64_t(1) << (bit & 63);
        if (word & mask)
            continue;
        word |= mask;
        out[--keep] = p;
    }
    out.erase(out.begin() + std::ptrdiff_t(first), out.begin() + std::ptrdiff_t(keep));
}

void collectPixels(const double* xy, std::size_t n, const Mapping& m, std::vector<QPoint>& out, PassInfo* info)
{
    appendDistinctPixels(xy, n, m, out, info,
                         [](double px, double py) { return std::fabs(px) < 32768.0 && std::fabs(py) < 32768.0; });
}

int smallestColumnStep(const std::vector<QPoint>& pixels)
{
    int g = 1000000;
    for (std::size_t i = 1; i < pixels.size(); ++i) {
        const int d = pixels[i].x() - pixels[i - 1].x();
        if (d > 0 && d < g)
            g = d;
    }
    return g;
}

void reduceBars(const std::vector<QPoint>& pixels, std::vector<QPoint>& out)
{
    if (pixels.empty())
        return;
    int lo = pixels.front().x(), hi = lo;
    for (const QPoint& p : pixels) {
        lo = std::min(lo, p.x());
        hi = std::max(hi, p.x());
    }
    const std::size_t cols = std::size_t(hi - lo) + 1;
    if (cols > 4 * pixels.size()) {
        out = pixels; // sparse columns: nothing to gain
        return;
    }
    constexpr int none = std::numeric_limits<int>::min();
    std::vector<int> minY(cols, none), maxY(cols, none);
    for (const QPoint& p : pixels) {
        const std::size_t c = std::size_t(p.x() - lo);
        if (minY[c] == none || p.y() < minY[c])
            minY[c] = p.y();
        if (maxY[c] == none || p.y() > maxY[c])
            maxY[c] = p.y();
    }
    for (std::size_t c = 0; c < cols; ++c) {
        if (minY[c] == none)
            continue;
        out.emplace_back(lo + int(c), minY[c]);
        if (maxY[c] != minY[c])
            out.emplace_back(lo + int(c), maxY[c]);
    }
}

} // namespace curveraster
