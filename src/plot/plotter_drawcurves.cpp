// Plotter: curves as lines, symbols and bars, the 3-D (waterfall) mode and
// the blinking highlight of one curve.
#include <QImage>
#include <QPainter>
#include <QTimer>

#include <cfloat>
#include <cmath>

#include "core/curvesummary.h"
#include "plot/curveraster.h"
#include "plot/plotter.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
// Line paths up to this many points keep their memory between redraws (a
// reduced drawing needs a few per pixel column).
constexpr std::size_t kKeptPathPoints = 1 << 16;

int roundHalfAway(double v) { return static_cast<int>(v > 0 ? v + 0.5 : v - 0.5); }

// Each channel raised 70 % of the way to white.
QColor lighten(const QColor& c)
{
    auto up = [](int v) { return v + static_cast<int>(0.7 * (255 - v)); };
    return QColor(up(c.red()), up(c.green()), up(c.blue()));
}

QColor rgbColour(Rgb c) { return QColor::fromRgb(QRgb(c.rgb())); }

// A curve draws from two points on; a single point shows as its symbol
// when symbols are shown (a line of one point has nothing to draw).
bool drawable(const CurveData& c) { return c.values.size() >= 4 || (c.values.size() == 2 && c.attributes.showPoints); }

// Symbols are drawn from a small pre-rendered image: the same pixels as
// drawing each symbol with the painter (no antialiasing, integer centres),
// at a fraction of the cost.
class SymbolSprite {
public:
    SymbolSprite(int diameter, int style, const QPen& pen, const QBrush& brush)
    {
        m_half = diameter / 2 + 4;
        m_image = QImage(2 * m_half + 1, 2 * m_half + 1, QImage::Format_ARGB32_Premultiplied);
        m_image.fill(Qt::transparent);
        QPainter p(&m_image);
        p.setPen(pen);
        p.setBrush(brush);
        Plotter::drawPointShape(p, QPoint(m_half, m_half), diameter, style);
    }
    void draw(QPainter& p, const QPoint& centre) const { p.drawImage(centre.x() - m_half, centre.y() - m_half, m_image); }

private:
    QImage m_image;
    int m_half = 0;
};

} // namespace

void Plotter::drawPointShape(QPainter& p, const QPoint& c, int d, int style)
{
    const int h = d / 2;
    switch (style) {
    case Zavozi::CurveAttributes::CIRCLE:
        // The painter strokes an ellipse one pixel larger than its box.
        p.drawEllipse(c.x() - h, c.y() - h, d - 1, d - 1);
        break;
    case Zavozi::CurveAttributes::DIAMOND:
        pointShapePolygon(p, c, 4, std::sqrt(kPi * h * h / 2.0));
        break;
    case Zavozi::CurveAttributes::HEXAGON:
        pointShapePolygon(p, c, 6, d / 2.0);
        break;
    case Zavozi::CurveAttributes::PENTAGON:
        pointShapePolygon(p, c, 5, d / 2.0);
        break;
    case Zavozi::CurveAttributes::SQUARE: {
        int s = roundHalfAway(std::sqrt(kPi) * d / 2.0);
        if (s % 2 == 0)
            s += 1;
        p.drawRect(c.x() - s / 2, c.y() - s / 2, s - 1, s - 1);
        break;
    }
    case Zavozi::CurveAttributes::TRIANGLE:
        pointShapePolygon(p, c, 3, std::sqrt(4.0 * kPi * h * h / (3.0 * std::sqrt(3.0))));
        break;
    default:
        break;
    }
}

void Plotter::pointShapePolygon(QPainter& p, const QPoint& c, int n, double r)
{
    p.drawPolygon(regularPolygon(c, n, r));
}

QPolygon Plotter::regularPolygon(const QPoint& c, int n, double r)
{
    QPolygon poly(n + 1);
    for (int i = 0; i < n; ++i) {
        const double a = i * 2.0 * kPi / n;
        const int sx = roundHalfAway(10.0 * r * std::sin(a)) / 10;
        const int sy = -(roundHalfAway(10.0 * r * std::cos(a)) / 10);
        poly[i] = QPoint(sx, sy) + c;
    }
    poly[n] = poly[0];
    return poly;
}

bool Plotter::curveMapping(curveraster::Mapping& m, int place, int curveCount) const
{
    const ViewRect& v = view();
    const AxisRange& xr = v.xRange();
    const AxisRange& yr = v.yRange();
    const int W = width() - m_marginLeft - m_marginRight;
    const int H = height() - m_marginTop - m_marginBottom;
    m.xmin = xr.min;
    m.ymin = yr.min;
    m.xScale = curveraster::pixelsPerUnit(W - 1, xr.min, xr.max);
    m.yScale = curveraster::pixelsPerUnit(H - 1, yr.min, yr.max);
    m.left = m_marginLeft;
    m.bottom = height() - 1 - m_marginBottom;
    m.logX = m_logX;
    m.logY = m_logY;
    m.signX = m_logXSign;
    m.signY = m_logYSign;
    if (m_threeD && curveCount > 0) {
        const double xStep = (W / curveCount) / depthX();
        const double yStep = (H / curveCount) / depthY();
        m.shiftX = (curveCount - place) * xStep;
        m.shiftY = (curveCount - place) * yStep;
    }
    return std::isfinite(m.xScale) && std::isfinite(m.yScale) && W > 1 && H > 1;
}

QColor Plotter::curveColor(const CurveData& c, int k, int n) const
{
    if (m_threeD && n > 0) {
        if (m_blueScale) {
            const int rg = static_cast<int>(100.0 * k / n);
            return QColor(rg, rg, static_cast<int>(255.0 * k * k / (double(n) * n)));
        }
        const int blue = static_cast<int>(255.0 * k / n);
        const float f = float(k) / float(n);
        const int green = static_cast<int>(255.0 * (1.0 - 4.0 * (f - 0.5) * (f - 0.5)));
        return QColor(255 - blue, std::clamp(green, 0, 255), blue);
    }
    const QColor line = rgbColour(c.attributes.lineColor);
    return m_lineIntensity ? lighten(line) : line;
}

void Plotter::drawOneCurve(QPainter& p, const CurveData& c, int k, int n, int barSlot, const QColor& colour,
                           bool oddPhase, bool highlight, bool* mjdSeen)
{
    curveraster::Mapping m;
    if (!curveMapping(m, k, n))
        return;
    const std::size_t count = c.values.size() / 2;
    const double* xy = c.values.data();
    // Built once per version of the values: redraws of any view read about
    // as many values as the plot has pixel columns.
    const CurveSummary* summary = &c.values.summary();
    const Zavozi::CurveAttributes& a = c.attributes;
    const QRect clip(QPoint(m_marginLeft + 1, m_marginTop + 1),
                     QPoint(width() - 2 - m_marginRight, height() - 2 - m_marginBottom));
    const bool lineShown = highlight ? (a.showLine || oddPhase) : a.showLine;
    const bool symbolsShown = highlight ? (count < 1000000 && (m_barMode || oddPhase || a.showPoints)) : a.showPoints;

    QPen linePen(colour, m_lineWidth, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin);
    curveraster::PassInfo info;
    curveraster::PassInfo* infoPtr = mjdSeen ? &info : nullptr;

    // Symbol pen and brush of the normal drawing.
    auto symbolPen = [&](int d) {
        QColor outline = rgbColour(a.pointShapeColor);
        if (m_threeD)
            outline = QColor(std::min(colour.red() + 20, 255), std::min(colour.green() + 20, 255),
                             std::min(colour.blue() + 20, 255));
        if (highlight)
            outline = colour;
        return QPen(outline, d > 8 ? 2 : 1);
    };

    if (m_barMode) {
        std::vector<QPoint> pixels;
        curveraster::collectPixels(xy, count, m, pixels, infoPtr);
        if (pixels.empty())
            return;
        int yBase = pixels.front().y();
        for (const QPoint& q : pixels)
            yBase = std::max(yBase, q.y());
        if (m_barFloor != DBL_MAX)
            yBase = dataToPixel(0, m_barFloor, true).y();
        const int W = width() - m_marginLeft - m_marginRight;
        const int g = curveraster::smallestColumnStep(pixels);
        // A single bar (no spacing) is as wide as the plot area at most.
        int w = (static_cast<int>(0.8 * g) - 1) / std::max(n, 1);
        w = std::min(w, W);
        const int xOff = static_cast<int>(((n + 1) % 2) * 0.5 * w + w * barSlot);
        std::vector<int> adjust(pixels.size(), 0);
        if (a.showPoints || (highlight && oddPhase)) {
            const int halfW = w / 2;
            int adj = 0;
            for (std::size_t i = 0; i < pixels.size(); ++i) {
                if (yBase > pixels[i].y())
                    adj = halfW - 1;
                else if (pixels[i].y() > yBase)
                    adj = -halfW - 1;
                adjust[i] = adj;
            }
        }
        if (lineShown) {
            // Flat ends: a bar spans exactly from its base to its value.
            QPen barPen = linePen;
            barPen.setWidth(std::max(w, 0));
            barPen.setCapStyle(Qt::FlatCap);
            p.setPen(barPen);
            const bool plainBars = !a.showPoints && !highlight && m_reduceDrawing;
            std::vector<QPoint> bars;
            if (plainBars)
                curveraster::reduceBars(pixels, bars);
            const std::vector<QPoint>& drawn = plainBars ? bars : pixels;
            for (std::size_t i = 0; i < drawn.size(); ++i) {
                const int adj = plainBars ? 0 : adjust[i];
                p.drawLine(drawn[i].x() + xOff, yBase, drawn[i].x() + xOff, drawn[i].y() + adj);
            }
        }
        if (symbolsShown) {
            const QBrush oldBrush = p.brush();
            const int d = highlight ? (lineShown ? 2 * w : m_pointDiameter) : (lineShown ? w : m_pointDiameter);
            p.setBrush(QBrush(highlight ? colour : rgbColour(a.lineColor)));
            p.setPen(symbolPen(d));
            const int offset = lineShown ? xOff : 0;
            int adj = 0;
            for (std::size_t i = 0; i < pixels.size(); ++i) {
                if (!lineShown) {
                    // Without bars the bar width counts as 2.
                    if (yBase > pixels[i].y())
                        adj = 0;
                    else if (pixels[i].y() > yBase)
                        adj = -2;
                } else {
                    adj = adjust[i];
                }
                drawPointShape(p, QPoint(pixels[i].x() + offset, pixels[i].y() + adj), d, a.pointStyle);
            }
            p.setBrush(oldBrush);
        }
    } else {
        curveraster::Options o;
        o.visible = clip;
        o.reduce = m_reduceDrawing;
        bool counted = false;
        if (lineShown) {
            o.margin = m_lineWidth + 2;
            curveraster::Polylines& paths = m_linePaths;
            paths.clear();
            curveraster::linePaths(xy, count, m, o, paths, infoPtr, summary);
            counted = true;
            p.setPen(linePen);
            for (std::size_t r = 0; r < paths.runCount(); ++r) {
                const std::size_t b = paths.runBegin(r), e = paths.runEnd(r);
                if (e - b == 1)
                    p.drawPoint(paths.points[b]);
                else
                    p.drawPolyline(paths.points.data() + b, int(e - b));
            }
            if (paths.points.capacity() > kKeptPathPoints)
                paths = curveraster::Polylines();
        }
        if (symbolsShown) {
            const int d = m_pointDiameter;
            o.margin = d + 4;
            std::vector<QPoint> centres;
            curveraster::symbolPixels(xy, count, m, o, centres, counted ? nullptr : infoPtr, summary);
            QBrush brush = Qt::NoBrush;
            if (highlight && oddPhase)
                brush = QBrush(colour);
            else if (!highlight && a.pointFillColor.isSet())
                brush = QBrush(rgbColour(a.pointFillColor));
            const QPen pen = symbolPen(d);
            if (m_reduceDrawing && centres.size() > 16) {
                const SymbolSprite sprite(d, a.pointStyle, pen, brush);
                for (const QPoint& q : centres)
                    sprite.draw(p, q);
            } else {
                const QBrush oldBrush = p.brush();
                p.setPen(pen);
                p.setBrush(brush);
                for (const QPoint& q : centres)
                    drawPointShape(p, q, d, a.pointStyle);
                p.setBrush(oldBrush);
            }
        }
    }
    if (mjdSeen && info.examined > 0) {
        if (m_mjdRangeTestOn) {
            m_mjdInRange = info.allMjd;
            if (!info.allMjd)
                m_mjdRangeTestOn = false;
        }
        *mjdSeen = true;
    }
}

void Plotter::drawCurves(QPainter& p)
{
    const int L = m_marginLeft, T = m_marginTop;
    const int R = width() - 1 - m_marginRight, B = height() - 1 - m_marginBottom;
    p.setClipRect(QRect(QPoint(L + 1, T + 1), QPoint(R - 1, B - 1)));
    const int n = int(m_curves.size());
    int k = 0;
    int barSlot = -(n / 2);
    m_mjdRangeTestOn = true;
    bool seen = false;
    for (const auto& [id, c] : m_curves) {
        if (drawable(c)) {
            drawOneCurve(p, c, k, n, barSlot, curveColor(c, k, n), false, false, &seen);
            if (m_barMode && c.attributes.showLine)
                ++barSlot;
        }
        ++k;
    }
    if (!m_liveData)
        Q_EMIT mjdInRange(m_mjdInRange);
}

void Plotter::highlightCurve(int index)
{
    m_refreshTimer->stop();
    m_highlightedCurve = index;
    m_highlightDrawCount = 0;
    refreshPixmap();
}

void Plotter::drawHighlightedCurve(QPainter& p)
{
    const auto it = m_curves.find(m_highlightedCurve);
    if (it == m_curves.end()) {
        // The curve went away while it blinked: the highlight ends quietly.
        m_refreshTimer->stop();
        m_highlightedCurve = -1;
        m_highlightDrawCount = 0;
        return;
    }
    const int n = int(m_curves.size());
    const int k = int(std::distance(m_curves.begin(), it));
    const int L = m_marginLeft, T = m_marginTop;
    const int R = width() - 1 - m_marginRight, B = height() - 1 - m_marginBottom;
    p.setClipRect(QRect(QPoint(L + 1, T + 1), QPoint(R - 1, B - 1)));
    const bool odd = (m_highlightDrawCount % 2) == 1;
    const QColor base = m_threeD ? curveColor(it->second, k, n) : rgbColour(it->second.attributes.lineColor);
    const QColor colour = odd ? base : lighten(base);
    if (drawable(it->second))
        drawOneCurve(p, it->second, k, n, k - n / 2, colour, odd, true, nullptr);

    ++m_highlightDrawCount;
    if (m_highlightDrawCount >= 6) {
        m_highlightDrawCount = 0;
        m_highlightedCurve = -1;
        if (m_curveIdPanel)
            QMetaObject::invokeMethod(m_curveIdPanel, "clearSelection");
    } else {
        m_refreshTimer->setSingleShot(true);
        m_refreshTimer->start(500);
    }
}
