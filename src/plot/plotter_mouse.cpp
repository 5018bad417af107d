// Plotter: the mouse modes and their cursors, the rubber band with zoom,
// crop, erase and data selection, panning, the coordinate readout and the
// snap-to-curve pointer, the right-button menu, a floating legend that
// follows the plot, and dropped files.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QTimer>
#include <QUrl>

#include <cmath>

#include "platform/prompter.h"
#include "plot/actionlabel.h"
#include "plot/nearestpoint.h"
#include "plot/plotdiag.h"
#include "plot/plotter.h"

namespace {
constexpr int kPanMode = 8;
constexpr int kDataSelectMode = 4;
constexpr int kEraserMode = 2;
constexpr int kCropMode = 1;

// A named image of the program's embedded collection; null when it has none.
QImage namedImage(const QString& name)
{
    if (name.isEmpty())
        return {};
    return QImage(QStringLiteral(":/images/") + name);
}

struct CursorSpec {
    QString image;
    QCursor cursor;
};

// A mode's entry: the two cursors, and the pressed specification's image as
// the 32 x 32 drag image.
ModeCursor makeCursorPixmaps(const CursorSpec& normal, const CursorSpec& pressed)
{
    ModeCursor c;
    c.normal = normal.cursor;
    c.pressed = pressed.cursor;
    const QImage img = namedImage(pressed.image);
    if (!img.isNull())
        c.dragImage = QPixmap::fromImage(img.convertToFormat(QImage::Format_ARGB32)
                                             .scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return c;
}

// A bitmap cursor from a named image with its hot spot in the centre; the
// hand shapes of the toolkit when the image is missing.
QCursor bitmapCursor(const QString& name, Qt::CursorShape fallback)
{
    const QImage img = namedImage(name);
    if (img.isNull())
        return QCursor(fallback);
    return QCursor(QPixmap::fromImage(img), -1, -1);
}
} // namespace

void Plotter::buildModeCursors()
{
    m_modeCursors.clear();
    m_modeCursors[0] = ModeCursor{QCursor(Qt::ArrowCursor), QCursor(Qt::ArrowCursor), QPixmap()};
    const CursorSpec arrow{QString(), QCursor(Qt::ArrowCursor)};
    m_modeCursors[kCropMode] = makeCursorPixmaps(arrow, {QStringLiteral("crop.png"), QCursor(Qt::CrossCursor)});
    m_modeCursors[kEraserMode] = makeCursorPixmaps(arrow, {QStringLiteral("eraser.png"), QCursor(Qt::CrossCursor)});
    m_modeCursors[kDataSelectMode] =
        makeCursorPixmaps(arrow, {QStringLiteral("datasel.png"), QCursor(Qt::CrossCursor)});
    m_modeCursors[kPanMode] =
        makeCursorPixmaps({QString(), bitmapCursor(QStringLiteral("pan_open.png"), Qt::OpenHandCursor)},
                          {QString(), bitmapCursor(QStringLiteral("pan_grab.png"), Qt::ClosedHandCursor)});
}

// ---------------------------------------------------------------------------
// Modes

bool Plotter::mouseMode(int which, bool on, SETGET mode)
{
    if (mode == SET) {
        m_mouseMode = on ? which : 0;
        if (m_modeCursors.empty())
            buildModeCursors();
        setCursor(m_modeCursors[m_mouseMode].normal);
    }
    return m_mouseMode == which;
}

bool Plotter::setCropMode(bool on, SETGET mode) { return mouseMode(kCropMode, on, mode); }

bool Plotter::setEraserMode(bool on, SETGET mode) { return mouseMode(kEraserMode, on, mode); }

bool Plotter::setDataSelectMode(bool on, SETGET mode) { return mouseMode(kDataSelectMode, on, mode); }

bool Plotter::setPanMode(bool on, SETGET mode) { return mouseMode(kPanMode, on, mode); }

// ---------------------------------------------------------------------------
// Snap to a curve

bool Plotter::snapTo(bool on, SETGET mode)
{
    if (mode == GET)
        return m_snapToCurve;
    if (on && !m_snapToCurve) {
        bool accepted = false;
        const IdArray ids = promptCurves(false, &accepted, tr("Snap to a curve"));
        if (!accepted || ids.isEmpty()) {
            m_snapCurveId = -1;
            return m_snapToCurve;
        }
        m_snapCurveId = ids.id(0);
        m_snapIndex.reset();
    }
    m_snapToCurve = on;
    if (on) {
        m_snapCircle->show();
        m_snapCircle->raise();
    } else {
        m_snapCircle->hide();
        m_snapCircle->m_timer->stop();
        m_snapCircle->m_running = false;
    }
    return m_snapToCurve;
}

QPointF Plotter::nearestPoint(const QPoint& pos)
{
    const auto it = m_curves.find(m_snapCurveId);
    if (it == m_curves.end()) {
        // The curve snapped to was removed: the snap ends.
        if (m_snapToCurve)
            snapTo(false, SET);
        m_snapCurveId = -1;
        return {0.0, 0.0};
    }
    const std::vector<double>& values = it->second.values;
    if (values.size() < 2)
        return {0.0, 0.0};

    // The pixels of the drawing (without a 3-D shift).
    curveraster::Mapping m;
    if (!curveMapping(m, 0, 0))
        return {0.0, 0.0};
    if (!m_snapIndex)
        m_snapIndex = std::make_shared<NearestPointIndex>();
    if (!m_snapIndex->builtFor(values, m))
        m_snapIndex->build(values, m);
    const long long i = m_snapIndex->nearest(pos.x(), pos.y());
    if (i < 0)
        return {0.0, 0.0}; // no point can be shown (e.g. all on the wrong side of a log axis)

    const double x = values[std::size_t(2 * i)];
    const double y = values[std::size_t(2 * i + 1)];
    const QPoint pixel = dataToPixel(x, y);
    if (!m_snapCircle->m_running)
        m_snapCircle->start();
    const QPoint topLeft = pixel - QPoint(m_snapCircle->width() / 2, m_snapCircle->height() / 2);
    if (m_snapCircle->pos() != topLeft)
        m_snapCircle->move(topLeft);
    return {x, y};
}

// ---------------------------------------------------------------------------
// Zoom and pan

void Plotter::zoomToRect(const QRect& rect, bool forward)
{
    QRect r = cornerNormalized(rect);
    if (r.width() < 4 || r.height() < 4)
        return;
    r.translate(-m_marginLeft, -m_marginTop);
    const ViewRect& v = view();
    const double x0 = v.xRange().min, x1 = v.xRange().max;
    const double y0 = v.yRange().min, y1 = v.yRange().max;
    const QRect area = plotArea();
    const double W = area.width();
    const double H = area.height();
    const double sx = (x1 - x0) / W;
    const double sy = (y1 - y0) / H;
    AxisRange nx(x0 + r.left() * sx, x0 + r.right() * sx);
    AxisRange ny(y1 - r.bottom() * sy, y1 - r.top() * sy);
    if (m_logX)
        nx = AxisRange(std::floor(nx.min), std::ceil(nx.max));
    if (m_logY)
        ny = AxisRange(std::floor(ny.min), std::ceil(ny.max));

    ViewRect nv;
    nv.autoX = nx;
    nv.autoY = ny;
    nv.userXInForce = false;
    nv.userYInForce = false;
    nv.xGranularity = m_xGranularity;
    nv.yGranularity = m_yGranularity;
    computeAxisTicks(nv, 0);
    computeAxisTicks(nv, 1);
    m_views.resize(std::size_t(m_viewIndex) + 1);
    m_views.push_back(nv);
    if (forward)
        zoomIn();
    else
        zoomOut();
}

void Plotter::panBy(int dx, int dy, const QPoint& origin)
{
    if (m_viewIndex == 0) {
        const ViewRect base = m_views.at(0);
        m_views = {base, base};
        m_viewIndex = 1;
        emitZoomState(ZOOM_OUT);
    }
    // The displacement in axis coordinates (decades on a logarithmic axis),
    // applied to the range in force so a fixed domain or range moves too.
    ViewRect& v = view();
    const QRect area = plotArea();
    const double W = area.width();
    const double H = area.height();
    AxisRange& xr = v.xRange();
    AxisRange& yr = v.yRange();
    if (W > 1) {
        const double d = dx * (xr.max - xr.min) / (W - 1);
        xr = AxisRange(xr.min - d, xr.max - d);
    }
    if (H > 1) {
        const double d = -dy * (yr.max - yr.min) / (H - 1);
        yr = AxisRange(yr.min - d, yr.max - d);
    }
    computeAxisTicks(v, 0);
    computeAxisTicks(v, 1);
    m_panOrigin = origin;
}

// ---------------------------------------------------------------------------
// Rubber band

void Plotter::drawRubberBand()
{
    const QRect r = cornerNormalized(m_rubberBand);
    update(r.left(), r.top(), r.width(), 1);
    update(r.left(), r.top(), 1, r.height());
    update(r.left(), r.bottom(), r.width(), 1);
    update(r.right(), r.top(), 1, r.height());
    const int left = m_rubberBand.right() >= r.right() ? m_rubberBand.right() - 32 : m_rubberBand.right();
    const int top = m_rubberBand.bottom() >= r.bottom() ? m_rubberBand.bottom() - 32 : m_rubberBand.bottom();
    m_modeImageRect = QRect(QPoint(left, top), QPoint(left + 32, top + 32));
    update(m_modeImageRect);
}

void Plotter::selectDataInRect(const QRect& band)
{
    cache(0);
    const QRect r = cornerNormalized(band);
    const QPointF a = pixelToData(r.topLeft());
    const QPointF b = pixelToData(r.bottomRight());
    const double xa = a.x(), ya = a.y(), xb = b.x(), yb = b.y();
    CurveData selection;
    std::vector<int> emptied;
    for (auto& [id, c] : m_curves) {
        std::vector<double> kept;
        kept.reserve(c.values.size());
        const std::vector<double>& v = c.values;
        for (std::size_t i = 0; i + 1 < v.size(); i += 2) {
            const double x = v[i], y = v[i + 1];
            if (xa <= x && x <= xb && yb <= y && y <= ya)
                selection.append(x, y);
            else {
                kept.push_back(x);
                kept.push_back(y);
            }
        }
        if (kept.size() != v.size())
            c.values = std::move(kept);
        if (c.values.empty())
            emptied.push_back(id);
    }
    for (int id : emptied)
        removeCurve(id);
    if (selection.values.empty())
        return;
    const int id = nextFreeCurveId();
    setCurveTitle(id, QStringLiteral("UserData"));
    setCurveData(id, std::move(selection), true);
}

// ---------------------------------------------------------------------------
// Readout

QString Plotter::readoutText(const QPointF& p) const
{
    const QString x = QString::number(p.x() + m_xOffset, 'f', m_xTickDecimals + 1);
    const QString y = QString::number(p.y(), 'g', 6);
    if (m_readoutXY)
        return QStringLiteral("(%1, %2)").arg(x, y);
    if (m_readoutDateY)
        return tr("(%1 UTC, %2)").arg(mjdDateText(p.x() + m_xOffset), y);
    if (m_readoutDateXY) {
        QString text = tr("(%1, %2)\\n(%3 UTC, %4)").arg(x, y, mjdDateText(p.x() + m_xOffset), y);
        return toHtmlBreaks(text).replace(QStringLiteral("<br />"), QStringLiteral("\n"));
    }
    return QString();
}

namespace {
void flipReadout(Plotter* plot, bool& own, bool& other1, bool& other2)
{
    own = !own;
    other1 = false;
    other2 = false;
    QLabel* label = plot->coordLabel();
    label->setTextFormat(Qt::PlainText);
    label->setVisible(own);
}
} // namespace

void Plotter::toggleMouseXY() { flipReadout(this, m_readoutXY, m_readoutDateY, m_readoutDateXY); }
void Plotter::toggleMouseDateY() { flipReadout(this, m_readoutDateY, m_readoutXY, m_readoutDateXY); }
void Plotter::toggleMouseDateXY() { flipReadout(this, m_readoutDateXY, m_readoutXY, m_readoutDateY); }

// ---------------------------------------------------------------------------
// Mouse events

void Plotter::mousePressEvent(QMouseEvent* event)
{
    if (m_modeCursors.empty())
        buildModeCursors();
    setCursor(m_modeCursors[m_mouseMode].pressed);
    if (event->button() != Qt::LeftButton || m_curves.empty())
        return;
    const QPoint pos = event->position().toPoint();
    if (m_mouseMode == kPanMode) {
        m_panOrigin = pos;
        return;
    }
    m_rubberBandShown = true;
    m_rubberBand = QRect(pos, pos);
    drawRubberBand();
}

void Plotter::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->buttons() & Qt::LeftButton) {
        if (m_mouseMode != kPanMode) {
            if (m_rubberBandShown) {
                drawRubberBand();
                m_rubberBand.setBottomRight(pos);
                drawRubberBand();
            }
        } else if (!m_curves.empty()) {
            Q_EMIT mousePanEvent(pos.x() - m_panOrigin.x(), pos.y() - m_panOrigin.y(), pos);
        }
    }
    if (m_readoutXY || m_readoutDateY || m_readoutDateXY) {
        const QPointF p = m_snapToCurve ? nearestPoint(pos) : pixelToData(pos);
        m_coordLabel->setText(readoutText(p));
        m_coordLabel->adjustSize();
        const int w = m_coordLabel->width();
        if (w > width() - 1 - pos.x())
            m_coordLabel->move(pos.x() - w - 15, pos.y() - 10);
        else
            m_coordLabel->move(pos.x() + 15, pos.y() - 10);
        m_coordLabel->raise();
        if (m_snapToCurve)
            m_snapCircle->raise(); // the marked point stays visible over the label
    }
}

void Plotter::mouseReleaseEvent(QMouseEvent* event)
{
    Q_EMIT plotterClicked(this);
    if (m_modeCursors.empty())
        buildModeCursors();
    setCursor(m_modeCursors[m_mouseMode].normal);
    if (event->button() == Qt::LeftButton) {
        if (m_curves.empty())
            return;
        if (m_mouseMode == kPanMode) {
            refreshPixmap();
            return;
        }
        if (!m_rubberBandShown)
            return;
        m_rubberBandShown = false;
        drawRubberBand();
        const QRect r = cornerNormalized(m_rubberBand);
        switch (m_mouseMode) {
        case 0:
            zoomToRect(m_rubberBand, true);
            break;
        case kDataSelectMode:
            selectDataInRect(m_rubberBand);
            break;
        case kEraserMode:
            erasePointsInRect(pixelToData(r.topLeft()), pixelToData(r.bottomRight()));
            break;
        case kCropMode:
            cropToRect(pixelToData(r.topLeft()), pixelToData(r.bottomRight()), {ALL_CURVES});
            break;
        default:
            break;
        }
    } else if (event->button() == Qt::RightButton) {
        if (m_curves.empty())
            return;
        QMenu menu(this);
        menu.addAction(tr("Move/copy curve..."));
        if (kro::prompter().execMenu(&menu, event->globalPosition().toPoint()))
            moveCopyCurve();
    }
}

// ---------------------------------------------------------------------------
// A floating legend follows the plot

void Plotter::moveEvent(QMoveEvent* event)
{
    if (m_legend && m_legend->dockState() == DOCK_FLOAT)
        m_legend->move(m_legend->pos() + (event->pos() - event->oldPos()));
    QWidget::moveEvent(event);
}

void Plotter::showEvent(QShowEvent* event)
{
    // A plot inside a window moves on the screen when that window moves,
    // without a move event of its own: watch the window.
    QWidget* w = window();
    if (w != this && w != m_watchedWindow) {
        if (m_watchedWindow)
            m_watchedWindow->removeEventFilter(this);
        m_watchedWindow = w;
        w->installEventFilter(this);
    }
    QWidget::showEvent(event);
    if (m_drawWhenShown)
        drawPixmapNow();
}

bool Plotter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_watchedWindow && event->type() == QEvent::Move && m_legend &&
        m_legend->dockState() == DOCK_FLOAT) {
        const auto* e = static_cast<QMoveEvent*>(event);
        m_legend->move(m_legend->pos() + (e->pos() - e->oldPos()));
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Dropped files

void Plotter::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(QStringLiteral("text/uri-list")))
        event->acceptProposedAction();
}

void Plotter::dropEvent(QDropEvent* event)
{
    // Only local files can be loaded; other URLs are left out.
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    event->acceptProposedAction();
    if (!files.isEmpty())
        Q_EMIT dropfiles(files);
}
