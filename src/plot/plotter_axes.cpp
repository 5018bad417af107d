// Plotter: grid lines, 3-D depth lines, tick marks, tick labels and the frame.
#include <QPainter>

#include <cmath>

#include "plot/fastlines.h"
#include "plot/plotter.h"
#include "plot/ticklabels.h"

namespace {

int widestLine(const QFontMetrics& fm, const QString& text)
{
    int w = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        w = std::max(w, fm.horizontalAdvance(line));
    return w;
}

int roundHalfAway(double v)
{
    v = std::clamp(v, -double(1 << 24), double(1 << 24));
    return static_cast<int>(v > 0 ? v + 0.5 : v - 0.5);
}

QRect corners(int x1, int y1, int x2, int y2) { return QRect(QPoint(x1, y1), QPoint(x2, y2)); }

} // namespace

double Plotter::depthX() const { return std::isfinite(m_depthX) && m_depthX >= 1.0 ? m_depthX : 1.0; }

double Plotter::depthY() const { return std::isfinite(m_depthY) && m_depthY >= 1.0 ? m_depthY : 1.0; }

void Plotter::drawAxes(QPainter& p)
{
    const ViewRect& v = view();
    const int userPointSize = m_tickFont.pointSize();
    char yFormat = 'f';
    int yPrecision = 0;
    tickLabel(yFormat, yPrecision);

    const QPen gridPen(m_gridColor, 0, Qt::SolidLine);
    const QPen markerPen(m_axesMarkersColor);
    p.setFont(m_tickFont);
    // Grid lines and tick marks: straight ones filled as rectangles when the
    // pixels are the same.
    p.setPen(gridPen);
    const bool gridFill = fastlines::thinPenFillable(p);

    const int L = m_marginLeft;
    const int R = width() - 1 - m_marginRight;
    const int T = m_marginTop;
    const int B = height() - 1 - m_marginBottom;
    const int W = width() - m_marginLeft - m_marginRight;
    const int H = height() - m_marginTop - m_marginBottom;
    const int labelHeight = tickLabelHeight(false);
    const int fontHeight = tickLabelHeight(true);
    const AxisRange& xr = v.xRange();
    const AxisRange& yr = v.yRange();

    // ---- x axis ----
    if (!m_logX) {
        const AxisTicks& t = v.xTicks;
        int decimals = 0;
        const QStringList labels = xTickLabels(&decimals);
        int firstDrawn = -1;
        int px2 = 0;
        for (int i = 0; i <= t.count && i < labels.size(); ++i) {
            const double value = t.value(i);
            const int px = dataToPixel(value, yr.min, true).x();
            if (!(value >= xr.min && value <= xr.max))
                continue;
            if (firstDrawn < 0) {
                firstDrawn = i;
                px2 = dataToPixel(t.value(2), yr.min, true).x();
            }
            p.setPen(gridPen);
            if (m_threeD) {
                int bx = px + static_cast<int>(W / depthX());
                int by = B - static_cast<int>(H / depthY());
                bool depthLine = true;
                if (bx > R) {
                    if (bx == px) {
                        depthLine = false;
                    } else {
                        by = by - (bx - R) * (by - B) / (bx - px);
                        bx = R;
                    }
                }
                const int spacing = t.count > 0 ? W / t.count : 0;
                if (depthLine && spacing > 0 && double(px - L) / spacing > 0.4) {
                    fastlines::line(p, gridFill, px, B, bx, by);
                    fastlines::line(p, gridFill, bx, by, bx, T);
                }
                if (depthLine && i == 1) {
                    const int dx = bx - px;
                    fastlines::line(p, gridFill, L, B, L + dx, by);
                    fastlines::line(p, gridFill, L + dx, by, L + dx, T);
                    fastlines::line(p, gridFill, L + dx, by, R, by);
                }
            } else if (m_gridVertical) {
                fastlines::line(p, gridFill, px, T, px, B);
            }
            fastlines::line(p, gridFill, px, B, px, B + 5);

            p.setPen(markerPen);
            const QString& text = labels[i];
            int w = widestLine(p.fontMetrics(), text);
            if (i == firstDrawn) {
                auto box = [&](int centre) { return corners(centre - w / 2, B + 5, centre - w / 2 + w + 1, B + 4 + labelHeight); };
                while (box(px).intersects(box(px2)) && m_tickFont.pointSize() > 4) {
                    m_tickFont.setPointSize(m_tickFont.pointSize() - 1);
                    p.setFont(m_tickFont);
                    w = widestLine(p.fontMetrics(), text);
                }
            }
            p.drawText(corners(px - w / 2, B + 5, px - w / 2 + w + 1, B + 4 + labelHeight),
                       Qt::AlignHCenter | Qt::AlignTop, text);
        }
        m_xTickDecimals = decimals;
    } else {
        // Only positions inside the plot area are drawn: after a zoom or pan
        // the decades next to the range would land on the labels and margins.
        m_xTickDecimals = 3;
        const double span = xr.max - xr.min;
        const QFontMetrics fm(m_tickFont);
        const QString base = ticklabels::decadeBase(m_logXSign);
        const int w10 = fm.horizontalAdvance(base);
        for (const ticklabels::LogPosition& pos : ticklabels::logPositions(xr, m_logXSign)) {
            const int px = roundHalfAway(L + (W - 1) * (pos.coordinate - xr.min) / span);
            p.setPen(gridPen);
            if (m_gridVertical && (m_logXSign >= 0 || double(pos.decade) != xr.min))
                fastlines::line(p, gridFill, px, T, px, B);
            p.setPen(markerPen);
            if (pos.multiple != 1)
                continue;
            const QString exponent = ticklabels::decadeExponent(pos.decade, m_logXSign);
            const int we = fm.horizontalAdvance(exponent) + 4;
            int x1 = px - w10 / 2, y1 = B + 5 + labelHeight / 2;
            p.drawText(corners(x1, y1, x1 + w10 - 1, y1 + labelHeight - 1), Qt::AlignHCenter | Qt::AlignTop, base);
            x1 = px + w10 / 2;
            p.drawText(corners(x1, B + 5, x1 + we - 1, B + 4 + labelHeight), Qt::AlignLeft | Qt::AlignTop, exponent);
        }
    }

    m_tickFont.setPointSize(userPointSize);
    p.setFont(m_tickFont);

    // ---- y axis ----
    if (!m_logY) {
        const AxisTicks& t = v.yTicks;
        for (int i = 0; i <= t.count; ++i) {
            const double value = t.value(i);
            const int py = dataToPixel(xr.min, value, true).y();
            if (!(value >= yr.min && value <= yr.max))
                continue;
            const QString text = ticklabels::formatNumber(value, yFormat, yPrecision);
            p.setPen(gridPen);
            if (m_threeD) {
                int bx = L + static_cast<int>(W / depthX());
                int by = py - static_cast<int>(H / depthY());
                bool depthLine = bx != L;
                if (depthLine && by < T) {
                    const double slope = double(by - py) / double(bx - L);
                    if (slope == 0.0) {
                        depthLine = false;
                    } else {
                        bx = bx - static_cast<int>((by - T) / slope);
                        by = T;
                    }
                }
                const int spacing = t.count > 0 ? H / t.count : 0;
                if (depthLine && spacing > 0 && double(B - py) / spacing > 0.4) {
                    fastlines::line(p, gridFill, L, py, bx, by);
                    fastlines::line(p, gridFill, bx, by, R, by);
                }
                if (depthLine && i == 1)
                    fastlines::line(p, gridFill, bx, by, bx, T);
            } else if (m_gridHorizontal) {
                fastlines::line(p, gridFill, L, py, R, py);
            }
            fastlines::line(p, gridFill, L - 5, py, L, py);
            p.setPen(markerPen);
            p.drawText(corners(0, py - fontHeight / 2, L - 6, py - fontHeight / 2 + fontHeight - 1),
                       Qt::AlignRight | Qt::AlignVCenter, text);
        }
    } else {
        // The base of each decade label ends r pixels left of the strip's
        // right edge, r being the widest exponent drawn; the layout keeps
        // the same room (logYLabelWidth).
        const double span = yr.max - yr.min;
        const QFontMetrics fm(m_tickFont);
        const int sign = m_logYSign;
        const QString base = ticklabels::decadeBase(sign);
        const int r = logYExponentWidth(fm);
        const int off = m_dateTimeAxis ? m_tickFontHeight / 4 : 0;
        for (const ticklabels::LogPosition& pos : ticklabels::logPositions(yr, sign)) {
            const int py = roundHalfAway(B - (H - 1) * (pos.coordinate - yr.min) / span);
            p.setPen(gridPen);
            if (m_gridHorizontal && (sign >= 0 || double(pos.decade) != yr.min))
                fastlines::line(p, gridFill, L, py, R, py);
            p.setPen(markerPen);
            if (pos.multiple != 1)
                continue;
            const QString exponent = ticklabels::decadeExponent(pos.decade, sign);
            const int we = fm.horizontalAdvance(exponent);
            p.drawText(corners(-r, py - off - 10, L - r - 6, py - off - 10 + fontHeight - 1),
                       Qt::AlignRight | Qt::AlignVCenter, base);
            p.drawText(corners(we - r, py - fontHeight / 2 - 10, L - 6 - r + we,
                               py - fontHeight / 2 - 10 + fontHeight - 1),
                       Qt::AlignRight | Qt::AlignVCenter, exponent);
        }
    }

    // ---- frame ----
    QRect frame = corners(L, T, R, B);
    if (m_fillPlotArea) {
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(frame);
        p.setPen(QPen(QColor(192, 192, 192), 3));
        frame = corners(L - 3, T - 3, R + 2, B + 2);
    }
    p.setBrush(Qt::NoBrush);
    // QPainter strokes a rectangle one pixel wider and taller than its size.
    fastlines::outline(p, fastlines::thinPenFillable(p), frame.adjusted(0, 0, -1, -1));
}
