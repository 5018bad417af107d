#include "gui/windowgeometry.h"

#include <algorithm>

QRect initialWindowGeometry(const QPoint& pos, const QRect& available, int w0, int h0)
{
    const int x1 = available.left(), y1 = available.top();
    const int x2 = available.right(), y2 = available.bottom();
    const int aw = x2 - x1 + 1, ah = y2 - y1 + 1;
    if (w0 < 1 || h0 < 1) {
        w0 = int(aw * 4.0 / 5.0);
        h0 = int(ah * 4.0 / 5.0);
    }
    const int w = std::min(w0, aw), h = std::min(h0, ah);
    int x = pos.x(), y = pos.y();
    if (x + w >= aw)
        x = (x2 - x1) - w - 9;
    if (y + h >= ah)
        y = (y2 - y1) - h - 9;
    x = std::max(x, 5);
    y = std::max(y, 30);
    return QRect(x, y, w, h);
}
