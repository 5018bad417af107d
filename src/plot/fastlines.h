#pragma once
// Horizontal and vertical lines of a thin solid pen, filled as rectangles.
// The painter's line drawing visits such a line pixel by pixel; a filled
// rectangle of the same pixels is one fast fill. Used for the grid, the tick
// marks and the frame, which a live plot redraws many times a second.
#include <QPainter>
#include <QRect>

#include <algorithm>

namespace fastlines {

// Whether the painter draws a line of its pen exactly over the pixels from
// one end to the other inclusive, one pixel wide, each pixel once: a solid
// pen at most one pixel wide, no antialiasing, pixels mapped one to one.
inline bool thinPenFillable(const QPainter& p)
{
    const QPen& pen = p.pen();
    return p.deviceTransform().type() == QTransform::TxNone && !p.testRenderHint(QPainter::Antialiasing) &&
           pen.style() == Qt::SolidLine && pen.widthF() <= 1.0 && pen.brush().style() == Qt::SolidPattern &&
           p.compositionMode() == QPainter::CompositionMode_SourceOver;
}

// QPainter::drawLine(x1, y1, x2, y2) with the painter's pen; a horizontal or
// vertical line is filled when fillable says the pixels are the same.
inline void line(QPainter& p, bool fillable, int x1, int y1, int x2, int y2)
{
    if (fillable && (x1 == x2 || y1 == y2))
        p.fillRect(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2))),
                   p.pen().color());
    else
        p.drawLine(x1, y1, x2, y2);
}

// QPainter::drawRect(r) with the painter's pen and no brush: the outline
// from r's top-left corner to r's bottom-right corner plus one. Rectangles
// narrower than two pixels are drawn (the painter treats them apart).
inline void outline(QPainter& p, bool fillable, const QRect& r)
{
    if (!fillable || p.brush().style() != Qt::NoBrush || r.width() < 2 || r.height() < 2) {
        p.drawRect(r);
        return;
    }
    const QColor c = p.pen().color();
    const int x0 = r.left(), y0 = r.top(), x1 = r.left() + r.width(), y1 = r.top() + r.height();
    p.fillRect(QRect(QPoint(x0, y0), QPoint(x1, y0)), c);
    p.fillRect(QRect(QPoint(x0, y1), QPoint(x1, y1)), c);
    p.fillRect(QRect(QPoint(x0, y0 + 1), QPoint(x0, y1 - 1)), c);
    p.fillRect(QRect(QPoint(x1, y0 + 1), QPoint(x1, y1 - 1)), c);
}

} // namespace fastlines
