#include "plot/curveraster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

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
// highest and last point, in their order of occurrence.
class ColumnReducer {
public:
    ColumnReducer(std::vector<QPoint>& out, bool reduce) : m_out(out), m_reduce(reduce) {}

    void add(QPoint p)
    {
        if (m_have && p == m_last.p)
            return; // consecutive duplicate
        if (!m_reduce) {
            m_out.push_back(p);
            m_last = {p, m_n++};
            m_have = true;
            return;
        }
        if (!m_have || p.x() != m_first.p.x()) {
            flush();
            const long long n = m_n++;
            m_first = m_last = {p, n};
            m_lowY = m_highY = p.y();
            m_lowN = m_highN = n;
            m_have = true;
            return;
        }
        addInColumn(p.y());
    }

    // The open run's extremes, last pixel row and point counter as plain
    // values, for a caller's tight loop over points of the run's column:
    // kept in registers and free of branches (noisy data would mispredict
    // them).
    struct Column {
        int lastY, lowY, highY;
        long long next, lowN, highN;

        void add(int y)
        {
            // A consecutive duplicate takes no number (and, lying between
            // the extremes, moves neither).
            const long long n = next;
            next += y != lastY;
            const bool lower = y < lowY;
            const bool higher = y > highY;
            lowY = lower ? y : lowY;
            lowN = lower ? n : lowN;
            highY = higher ? y : highY;
            highN = higher ? n : highN;
            lastY = y;
        }
    };
    Column column() const { return {m_last.p.y(), m_lowY, m_highY, m_n, m_lowN, m_highN}; }
    void setColumn(const Column& c)
    {
        if (c.next != m_n)
            m_last = {QPoint(m_last.p.x(), c.lastY), c.next - 1};
        m_n = c.next;
        m_lowY = c.lowY;
        m_highY = c.highY;
        m_lowN = c.lowN;
        m_highN = c.highN;
    }

    // add() for a point known to lie in the current run's column.
    void addInColumn(int y)
    {
        Column c = column();
        c.add(y);
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
    long long m_n = 0;
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

// The points after j that map into the given pixel column inside the box:
// they only move the column's extremes. A tight loop with everything in
// registers. Returns the index of the last point taken; px, py become its
// pixel.
template <bool CheckDates>
std::size_t extendColumn(const double* xy, std::size_t j, std::size_t n, const Mapping& m, const Box& box,
                         int column, ColumnReducer::Column& run, bool& allMjd, double& px, double& py)
{
    const double xmin = m.xmin, xScale = m.xScale, left = m.left, shiftX = m.shiftX;
    const double ymin = m.ymin, yScale = m.yScale, bottom = m.bottom, shiftY = m.shiftY;
    const Box b = box;
    ColumnReducer::Column c = run;
    bool mjd = allMjd;
    double lastX = px, lastY = py;
    for (; j + 1 < n; ++j) {
        const double nx = xy[2 * j + 2];
        const double ny = xy[2 * j + 3];
        const double qx = offsetPixels(nx, xmin, xScale) + left + shiftX;
        const double qy = bottom - offsetPixels(ny, ymin, yScale) - shiftY;
        if (!b.contains(qx, qy) || pixelOf(qx) != column)
            break;
        if (CheckDates)
            mjd = mjd && nx >= kFirstDateMjd && nx < kEndDateMjd;
        c.add(pixelOf(qy));
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

void linePaths(const double* xy, std::size_t n, const Mapping& m, const Options& o, Polylines& out,
               PassInfo* info)
{
    const Box box = extendedBox(o);
    ColumnReducer reducer(out.points, o.reduce);
    bool haveRun = false;    // a run is open and its last point is the previous valid point
    bool havePrev = false;   // the previous valid point
    double prevX = 0.0, prevY = 0.0;
    bool prevInside = false;

    auto startRun = [&](double x, double y) {
        reducer.breakRun();
        out.starts.push_back(out.points.size());
        reducer.add(QPoint(pixelOf(x), pixelOf(y)));
        haveRun = true;
    };

    // The date-range check in locals: the loop stays in registers.
    bool allMjd = info ? info->allMjd : true;
    const bool checkDates = info != nullptr;
    // Linear axes map with two multiply-adds; the box test rejects NaN.
    const bool columnRuns = o.reduce && !m.logX && !m.logY;
    for (std::size_t j = 0; j < n; ++j) {
        const double x = xy[2 * j];
        const double y = xy[2 * j + 1];
        if (checkDates)
            allMjd = allMjd && x >= kFirstDateMjd && x < kEndDateMjd;
        double px, py;
        if (!m.map(x, y, px, py))
            continue;
        const bool inside = box.contains(px, py);
        if (!havePrev) {
            if (inside)
                startRun(px, py);
        } else if (inside && prevInside) {
            if (!haveRun)
                startRun(prevX, prevY);
            reducer.add(QPoint(pixelOf(px), pixelOf(py)));
            if (columnRuns) {
                // The points that follow in the same pixel column, inside
                // the box, only move the column's extremes: a tight loop.
                ColumnReducer::Column run = reducer.column();
                j = checkDates ? extendColumn<true>(xy, j, n, m, box, pixelOf(px), run, allMjd, px, py)
                               : extendColumn<false>(xy, j, n, m, box, pixelOf(px), run, allMjd, px, py);
                reducer.setColumn(run);
            }
        } else {
            double ax = prevX, ay = prevY, bx = px, by = py;
            if (clipSegment(box, ax, ay, bx, by)) {
                if (!prevInside || !haveRun)
                    startRun(ax, ay);
                reducer.add(QPoint(pixelOf(bx), pixelOf(by)));
                if (!inside) {
                    reducer.breakRun();
                    haveRun = false;
                }
            } else if (haveRun) {
                reducer.breakRun();
                haveRun = false;
            }
            if (inside && !haveRun)
                startRun(px, py);
        }
        havePrev = true;
        prevInside = inside;
        prevX = px;
        prevY = py;
    }
    reducer.breakRun();
    if (info) {
        info->examined += n;
        info->allMjd = allMjd;
    }
    // Drop the starts of runs that ended up empty (cannot happen, but keep
    // the structure consistent) and single-point runs stay: a line through
    // one point draws that point only when a segment led there.
    out.starts.erase(std::unique(out.starts.begin(), out.starts.end()), out.starts.end());
    while (!out.starts.empty() && out.starts.back() >= out.points.size())
        out.starts.pop_back();
}

void symbolPixels(const double* xy, std::size_t n, const Mapping& m, const Options& o, std::vector<QPoint>& out,
                  PassInfo* info)
{
    const Box box = extendedBox(o);
    const std::size_t first = out.size();
    appendDistinctPixels(xy, n, m, out, info, [&](double px, double py) { return box.contains(px, py); });
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
