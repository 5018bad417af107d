// Plotter: removing points by position. The crop command keeps the points
// inside x (and y) limits; the crop and eraser mouse tools keep or remove
// the points inside a dragged rectangle. A curve left without points is
// removed; the automatic undo copy is taken before the first change.
#include <algorithm>

#include "analysis/cropping.h"
#include "core/exceptions.h"
#include "plot/plotter.h"

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
    const cropping::Rect r{topLeft.x(), bottomRight.x(), bottomRight.y(), topLeft.y()};
    for (int id : resolveCurveIdVector(ids)) {
        if (!curveExists(id))
            continue;
        // The kept points go straight into new values: the old ones stay
        // with the undo copy.
        CurveValues& v = m_curves[id].values;
        v = CurveValues(cropping::keepInside(v, r));
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
    const cropping::Rect r{topLeft.x(), bottomRight.x(), bottomRight.y(), topLeft.y()};
    for (int id : resolveCurveIdVector({ALL_CURVES})) {
        if (!curveExists(id))
            continue;
        CurveValues& v = m_curves[id].values;
        v = CurveValues(cropping::removeInside(v, r));
        if (v.empty())
            eraseCurve(m_curves.find(id));
    }
    if (m_viewIndex == 0)
        rescale();
    else
        refreshPixmap();
}
