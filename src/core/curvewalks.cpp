#include "core/curvewalks.h"

#include <algorithm>
#include <cmath>

namespace {

template <typename F>
void forSelection(const CurveMap& curves, int index, F f)
{
    if (index == ALL_CURVES) {
        for (const auto& [id, c] : curves)
            f(c);
    } else if (const auto it = curves.find(index); it != curves.end()) {
        f(it->second);
    }
}

void crossingsOf(const CurveData& c, double level, int axis, std::vector<PointXY>& out)
{
    const std::size_t n = c.pointCount();
    const int off = axis == 0 ? 0 : 1;
    auto v = [&](std::size_t i) { return c.values[2 * i + off]; };
    bool below = false;
    // The last point whose coordinate was a number: the side flag follows
    // it, and crossings are interpolated from it.
    std::size_t prev = n;
    for (std::size_t i = 0; i < n; ++i) {
        const double vi = v(i);
        if (std::isnan(vi))
            continue;
        if (prev == n) {
            below = vi <= level;
            prev = i;
            continue;
        }
        const bool crosses = (vi > level && below) || (vi <= level && !below) || vi == level;
        if (crosses) {
            const double xi = c.x(i), yi = c.y(i);
            const double xp = c.x(prev), yp = c.y(prev);
            if (vi == v(prev)) {
                // A flat run on the level: the point itself.
                out.emplace_back(xi, yi);
            } else if (axis == 0) {
                out.emplace_back(level, yi - (yi - yp) / (xi - xp) * (xi - level));
            } else {
                out.emplace_back(xi - (yi - level) / ((yi - yp) / (xi - xp)), level);
            }
            below = !below;
        }
        prev = i;
    }
}

} // namespace

std::vector<PointXY> crossings(const CurveMap& curves, int index, double level, int axis)
{
    std::vector<PointXY> out;
    forSelection(curves, index, [&](const CurveData& c) { crossingsOf(c, level, axis, out); });
    return out;
}

double distanceToSegment(const PointXY& a, const PointXY& b, const PointXY& q, PointXY* foot)
{
    auto dist = [](const PointXY& p, const PointXY& r) {
        return std::sqrt((p.first - r.first) * (p.first - r.first) + (p.second - r.second) * (p.second - r.second));
    };
    const double aq = dist(a, q), bq = dist(b, q), ab = dist(a, b);
    if ((aq * aq - bq * bq + ab * ab) / (2 * aq * ab) < 0)
        return -1;
    if ((bq * bq - aq * aq + ab * ab) / (2 * bq * ab) < 0)
        return -1;
    PointXY B = b, Q = q;
    double k = (a.second - b.second) / (a.first - b.first);
    const bool vertical = std::isinf(k);
    if (vertical) {
        std::swap(B.first, B.second);
        std::swap(Q.first, Q.second);
        k = 0;
    }
    const double c = B.second - k * B.first;
    const double fx = (Q.first + k * (Q.second - c)) / (1 + k * k);
    const double fy = k * fx + c;
    if (foot)
        *foot = vertical ? PointXY(fy, fx) : PointXY(fx, fy);
    return std::sqrt((fx - Q.first) * (fx - Q.first) + (fy - Q.second) * (fy - Q.second));
}

void sortPointsByX(std::vector<double>& points)
{
    if (points.size() % 2 != 0)
        throwCorruptCurve();
    std::vector<PointXY> p(points.size() / 2);
    for (std::size_t i = 0; i < p.size(); ++i)
        p[i] = {points[2 * i], points[2 * i + 1]};
    std::stable_sort(p.begin(), p.end(), [](const PointXY& l, const PointXY& r) {
        if (std::isnan(l.first))
            return false;
        return std::isnan(r.first) || l.first < r.first;
    });
    for (std::size_t i = 0; i < p.size(); ++i) {
        points[2 * i] = p[i].first;
        points[2 * i + 1] = p[i].second;
    }
}

void sortCurvesByX(CurveMap& curves, int index)
{
    if (index == ALL_CURVES) {
        for (auto& [id, c] : curves)
            sortPointsByX(c.values.mut());
    } else if (const auto it = curves.find(index); it != curves.end()) {
        sortPointsByX(it->second.values.mut());
    }
}

std::vector<double> xSpacings(const CurveMap& curves, int index)
{
    // Sized once: long curves are not copied again and again as it grows.
    std::size_t total = 0;
    forSelection(curves, index, [&](const CurveData& c) { total += std::max<std::size_t>(c.pointCount(), 1) - 1; });
    std::vector<double> out;
    out.reserve(total);
    forSelection(curves, index, [&](const CurveData& c) {
        const std::size_t n = c.pointCount();
        const double* v = c.values.data();
        for (std::size_t i = 1; i < n; ++i)
            out.push_back(v[2 * i] - v[2 * i - 2]);
    });
    return out;
}

std::vector<double> yDifferences(const std::vector<double>& points)
{
    std::vector<double> out;
    const std::size_t n = points.size() / 2;
    if (n > 1)
        out.reserve(n - 1);
    for (std::size_t i = 1; i < n; ++i)
        out.push_back(points[2 * i + 1] - points[2 * i - 1]);
    return out;
}

void alignByX(ExpressionInput source, ExpressionInput reference, std::vector<double>& out)
{
    const double x0 = source.currentX();
    while (!reference.atEnd() && reference.currentX() < x0)
        reference.advance();
    while (source.hasNext() && !reference.atEnd()) {
        const double cx = *source.x, cy = *source.y;
        const double nx = source.y[1], ny = source.y[2];
        const double rx = reference.currentX();
        if (rx <= nx) {
            out.push_back(rx);
            // At the next source point itself, its own value (no 0/0 when two
            // source points share one x).
            out.push_back(rx == nx ? ny : ny - (nx - rx) * (ny - cy) / (nx - cx));
            reference.advance();
        } else {
            source.advance();
        }
    }
}
