// Plotter: removing points by position. The crop command keeps the points
// inside x (and y) limits; the crop and eraser mouse tools keep or remove
// the points inside a dragged rectangle. A curve left without points is
// removed; the automatic undo copy is taken before the first change.
#include <algorithm>

#include "core/exceptions.h"
#include "plot/plotter.h"

namespace {
// Keeps the points for which keep(x, y) holds, in their order.
template <typename Keep>
void filterPoints(std::vector<double>& v, Keep keep)
{
    std::size_t out = 0;
    for (std::size_t i = 0; i + 1 < v.size(); i += 2) {
        if (keep(v[i], v[i + 1])) {
            v[out++] = v[i];
            v[out++] = v[i + 1];
        }
    }
    v.resize(out);
}
} // namespace

void Plotter::crop(const std::vector<double>& limits, const std::vector<int>& ids)
{
    if (limits.size() != 2 && limits.size() != 4)
        throw kroexception("Error: Crop limits vector size is not 2 or 4.");
    // Limits given high before low are taken in order.
    const double a = std::min(limits[0], limits[1]);
    const double b = std::max(limits[0], limits[1]);
    double xLow = a, xHigh = b, yLow = minY(), yHigh = maxY();
    if (limits.size() == 2) {
        if (a == b) {
            Q_EMIT verbose(ZEVOVE::INFO, tr("Crop limits have zero span. Ignoring comand."));
            return;
        }
    } else {
        const double c = std::min(limits[2], limits[3]);
        const double d = std::max(limits[2], limits[3]);
        if (a == b) {
            xLow = minX();
            xHigh = maxX();
            yLow = c;
            yHigh = d;
        } else if (c != d) {
            yLow = c;
            yHigh = d;
        }
    }
    cropToRect(QPointF(xLow, yHigh), QPointF(xHigh, yLow), ids);
}

void Plotter::cropToRect(const QPointF& topLeft, const QPointF& bottomRight, const std::vector<int>& ids)
{
    if (!ids.empty())
        cache(0);
    const double left = topLeft.x(), right = bottomRight.x();
    const double top = topLeft.y(), bottom = bottomRight.y();
    for (int id : resolveCurveIdVector(ids)) {
        if (!curveExists(id))
            continue;
        std::vector<double>& v = m_curves[id].values.mut();
        // A point is dropped only when it lies outside; a coordinate that is
        // not a number keeps it.
        filterPoints(v, [&](double x, double y) { return !(x < left || x > right || y < bottom || y > top); });
        if (v.empty())
            removeCurve(id);
    }
    if (m_viewIndex == 0)
        rescale();
    else
        refreshPixmap();
}

void Plotter::erasePointsInRect(const QPointF& topLeft, const QPointF& bottomRight)
{
    cache(0);
    const double left = topLeft.x(), right = bottomRight.x();
    const double top = topLeft.y(), bottom = bottomRight.y();
    for (int id : resolveCurveIdVector({ALL_CURVES})) {
        if (!curveExists(id))
            continue;
        std::vector<double>& v = m_curves[id].values.mut();
        // Only points clearly outside stay; one with a coordinate that is not
        // a number goes.
        filterPoints(v, [&](double x, double y) { return x < left || x > right || y < bottom || y > top; });
        if (v.empty())
            eraseCurve(m_curves.find(id));
    }
    if (m_viewIndex == 0)
        rescale();
    else
        refreshPixmap();
}
