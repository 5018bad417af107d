// Plotter: the redraw pipeline into the backing pixmap, the paint event, the
// plot-area background with its optional image, and point annotations.
#include <QFileInfo>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <cfloat>
#include <exception>

#include "core/linecolors.h"
#include "plot/arrowtable.h"
#include "plot/plotdiag.h"
#include "plot/plotter.h"

void Plotter::widenFor3D()
{
    if (!m_threeD || m_curves.empty())
        return;
    const double x0 = minX(), x1 = maxX(), y0 = minY(), y1 = maxY();
    const double dx = x1 - x0, dy = y1 - y0;
    ViewRect& base = m_views.at(0);
    base.autoX = AxisRange(x0 - 0.2 * dx / depthX(), x1 + 1.5 * dx / depthX());
    base.autoY = AxisRange(y0 - 0.2 * dy / depthY(), y1 + 1.8 * dy / depthY());
    computeAxisTicks(base, 0);
    computeAxisTicks(base, 1);
}

void Plotter::composeInto(QPainter& p)
{
    drawBackground(p);
    drawAxes(p);
    drawCurves(p);
    drawAnnotations(p);
}

namespace {
// The pixmap filled for a new drawing; one of the widget's size is reused
// (live plots redraw many times a second).
void freshPixmap(QPixmap& pm, const QWidget* w, const QColor& fill)
{
    const qreal dpr = w->devicePixelRatioF();
    const QSize size = QSize(std::max(w->width(), 1), std::max(w->height(), 1)) * dpr;
    if (pm.isNull() || pm.size() != size || pm.devicePixelRatio() != dpr) {
        pm = QPixmap(size);
        pm.setDevicePixelRatio(dpr);
    }
    pm.fill(fill);
}

void beginLikeWidget(QPainter& p, const QWidget* w)
{
    p.setFont(w->font());
    p.setPen(w->palette().color(QPalette::WindowText));
    p.setBackground(w->palette().brush(QPalette::Window));
}
} // namespace

void Plotter::refreshPixmap()
{
    // A plot in a tab that is not shown draws when it is shown or painted
    // again (a change to a curve in several plots redraws the one in view).
    if (!isVisible() && window() != this && window()->isVisible()) {
        m_drawWhenShown = true;
        return;
    }
    drawPixmapNow();
}

const QPixmap& Plotter::pixmap() const
{
    if (m_drawWhenShown)
        const_cast<Plotter*>(this)->drawPixmapNow();
    return m_pixmap;
}

void Plotter::drawPixmapNow()
{
    m_drawWhenShown = false;
    // A redraw runs from timers and signals: nothing may escape from it.
    try {
        for (const auto& [id, c] : m_curves) {
            if (LegendItem* item = m_legend->findItem(id))
                item->m_color = QColor::fromRgb(QRgb(c.attributes.lineColor.rgb()));
        }
        m_legend->update();

        if (m_highlightedCurve != -1 && !m_pixmap.isNull()) {
            m_highlightPixmap = m_pixmap;
            {
                QPainter p(&m_highlightPixmap);
                beginLikeWidget(p, this);
                drawHighlightedCurve(p);
            }
            if (m_highlightedCurve != -1 || m_highlightDrawCount != 0) {
                update();
                return;
            }
            // The highlighted curve is gone: fall through to a normal redraw.
        }
        m_highlightedCurve = -1;

        freshPixmap(m_pixmap, this, m_outsideColor);
        QPainter p(&m_pixmap);
        beginLikeWidget(p, this);
        updateMarkerTable();
        reshapeLabels();
        if (m_arrowTable) {
            const std::vector<ArrowWidget*> arrows = m_arrowTable->m_arrows;
            for (ArrowWidget* a : arrows)
                arrowInit(a);
        }
        refreshCurveIdPanel();
        widenFor3D();
        composeInto(p);
        p.end();
        m_snapIndex.reset();
        placeMarkers();
    } catch (const std::exception& e) {
        Q_EMIT verbose(ZEVOVE::BUG, tr("A bug was discovered in %1!\n%2").arg("Plotter::refreshPixmap", e.what()));
    }
    update();
}

void Plotter::redrawCurves()
{
    try {
        freshPixmap(m_pixmap, this, m_outsideColor);
        QPainter p(&m_pixmap);
        beginLikeWidget(p, this);
        composeInto(p);
        m_snapIndex.reset();
    } catch (const std::exception& e) {
        Q_EMIT verbose(ZEVOVE::BUG, tr("A bug was discovered in %1!\n%2").arg("Plotter::redrawCurves", e.what()));
    }
    update();
}

void Plotter::paintEvent(QPaintEvent* event)
{
    if (m_drawWhenShown)
        drawPixmapNow();
    QPainter p(this);
    const QPixmap& source = (m_highlightedCurve != -1 && !m_highlightPixmap.isNull()) ? m_highlightPixmap : m_pixmap;
    if (source.isNull()) {
        p.fillRect(rect(), m_outsideColor);
    } else {
        const qreal dpr = source.devicePixelRatio();
        for (const QRect& r : event->region())
            p.drawPixmap(QRectF(r), source, QRectF(QPointF(r.topLeft()) * dpr, QSizeF(r.size()) * dpr));
    }
    if (m_rubberBandShown) {
        p.setPen(QPen(m_gridColor, 0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(cornerNormalized(m_rubberBand).adjusted(0, 0, -1, -1));
        const auto mode = m_modeCursors.find(m_mouseMode);
        if (m_mouseMode != 0 && mode != m_modeCursors.end() && !mode->second.dragImage.isNull())
            p.drawPixmap(m_modeImageRect.topLeft(), mode->second.dragImage);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect();
        option.backgroundColor = m_outsideColor;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
}

void Plotter::resizeEvent(QResizeEvent*)
{
    refreshPixmap();
}

QSize Plotter::sizeHint() const
{
    if (m_marginTop == -1)
        return QWidget::minimumSizeHint();
    return {5 * (m_marginLeft + m_marginRight), 2 * (m_marginTop + m_marginBottom)};
}

QSize Plotter::minimumSizeHint() const
{
    if (m_marginTop == -1)
        return QWidget::minimumSizeHint();
    return {2 * (m_marginLeft + m_marginRight), 2 * (m_marginTop + m_marginBottom)};
}

void Plotter::loadBackgroundImage(const QString& fileName)
{
    if (fileName.isEmpty()) {
        m_backgroundImage = QPixmap();
        return;
    }
    if (QFileInfo(fileName).isFile()) {
        m_backgroundImage = QPixmap(fileName);
        return;
    }
    Q_EMIT transcript(tr("Error: Background iamge file \"%1\" not found.").arg(fileName));
    m_backgroundImage = QPixmap();
}

void Plotter::setBackgroundImageStyle(int style) { m_backgroundImageStyle = style; }

void Plotter::drawBackground(QPainter& p)
{
    if (!m_fillPlotArea)
        return;
    const int L = m_marginLeft, T = m_marginTop;
    const int R = width() - 1 - m_marginRight, B = height() - 1 - m_marginBottom;
    const int w = R - L + 1, h = B - T + 1;
    if (w < 2 || h < 2)
        return;
    const QBrush oldBrush = p.brush();
    if (m_backgroundImage.width() < 3) {
        p.setBrush(m_insideColor);
        p.drawRect(L, T, w - 1, h - 1);
    } else if (m_backgroundImageStyle == CENTERED) {
        QPixmap area(w, h);
        area.fill(m_insideColor);
        const int iw = m_backgroundImage.width(), ih = m_backgroundImage.height();
        const int cw = std::min(w, iw), ch = std::min(h, ih);
        const int sx = iw > w ? (iw - w) / 2 : 0;
        const int sy = ih > h ? (ih - h) / 2 : 0;
        {
            QPainter ap(&area);
            ap.drawPixmap(QPoint(w / 2 - cw / 2, h / 2 - ch / 2), m_backgroundImage, QRect(sx, sy, cw, ch));
        }
        p.drawPixmap(L, T, area);
    } else {
        QBrush tiled(m_insideColor);
        tiled.setTexture(m_backgroundImage);
        p.setBrush(tiled);
        p.drawRect(L, T, w - 1, h - 1);
    }
    p.setBrush(oldBrush);
}

void Plotter::addAnnotation(const PointAnnotation& a)
{
    const auto pos = std::upper_bound(m_annotations.begin(), m_annotations.end(), a,
                                      [](const PointAnnotation& lhs, const PointAnnotation& rhs) {
                                          return lhs.x < rhs.x || (lhs.x == rhs.x && lhs.y < rhs.y);
                                      });
    m_annotations.insert(pos, a);
}

void Plotter::drawAnnotations(QPainter& p)
{
    if (m_annotations.empty())
        return;
    p.save();
    const QFontMetrics fm = p.fontMetrics();
    const int comma = fm.horizontalAdvance(QLatin1Char(',')) + 2;
    auto colourOf = [&](int curveId) {
        if (const CurveData* c = curve(curveId))
            return QColor::fromRgb(QRgb(c->attributes.lineColor.rgb()));
        if (curveId < 0)
            return QColor(Qt::black);
        return QColor::fromRgb(QRgb(paletteColor(curveId).rgb()));
    };
    std::size_t i = 0;
    while (i < m_annotations.size()) {
        const PointAnnotation& first = m_annotations[i];
        const QPoint px = dataToPixel(first.x, first.y, false);
        const int textWidth = fm.horizontalAdvance(first.text);
        int tx = px.x(), ty = px.y();
        if (m_barMode) {
            tx = px.x() - textWidth / 2;
            const bool floorAbove = m_barFloor != DBL_MAX && m_barFloor > first.y;
            ty = floorAbove ? px.y() + fm.height() / 2 + 5 : px.y() - fm.height() / 2;
        }
        p.setPen(colourOf(first.curveId));
        p.drawText(QPoint(tx, ty), first.text);
        tx += textWidth;
        std::size_t j = i + 1;
        for (; j < m_annotations.size() && m_annotations[j].x == first.x && m_annotations[j].y == first.y; ++j) {
            p.setPen(Qt::black);
            p.drawText(QPoint(tx, ty), QStringLiteral(","));
            p.setPen(colourOf(m_annotations[j].curveId));
            p.drawText(QPoint(tx + comma, ty), m_annotations[j].text);
            tx += comma + fm.horizontalAdvance(m_annotations[j].text);
        }
        i = j;
    }
    p.restore();
}
