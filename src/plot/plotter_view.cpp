// Plotter: the zoom history, fixed and automatic ranges, logarithmic axes,
// tick granularity and rescaling to the data.
#include <QLabel>
#include <QLocale>
#include <QTimer>

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "core/curvesummary.h"
#include "platform/prompter.h"
#include "core/markupbounds.h"
#include "plot/plotter.h"

namespace {

// An automatic range of zero width (one point, a flat curve) gets room
// around its value so the data shows in the middle of the plot area.
void openEmptyRange(AxisRange& r, bool logarithmic)
{
    if (!(r.min == r.max) || !std::isfinite(r.min))
        return;
    if (logarithmic) {
        r.min -= 1.0;
        r.max += 1.0;
        return;
    }
    const double half = r.min == 0.0 ? 1.0 : std::fabs(r.min) * 0.1;
    // Next to the largest double the room on the far side is what is left.
    r.min = std::max(r.min - half, -DBL_MAX);
    r.max = std::min(r.max + half, DBL_MAX);
}

// Smallest (which 0) or largest (which 1) log10 of the magnitude of the
// non-zero finite values of one axis of a curve.
bool log10Extreme(const CurveData& c, int which, int axis, double& out)
{
    const CurveSummary& s = c.values.summary();
    const CurveSummary::Extent& e = axis == 0 ? s.absX : s.absY;
    if (e.any)
        out = std::log10(which == 0 ? e.min : e.max);
    return e.any;
}

int signOf(double v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

} // namespace

void Plotter::emitZoomState(int state)
{
    if (state == m_zoomState)
        return;
    m_zoomState = state;
    Q_EMIT zoomBtnChanged(static_cast<ZOOM>(state));
}

void Plotter::setBaseView(const ViewRect& source, bool redraw)
{
    if (m_views.empty()) {
        m_views.push_back(source);
    } else {
        m_views[0].autoX = source.autoX;
        m_views[0].autoY = source.autoY;
    }
    computeAxisTicks(m_views[0], 0);
    computeAxisTicks(m_views[0], 1);
    m_viewIndex = 0;
    if (redraw) {
        emitZoomState(m_zoomState & ~(ZOOM_IN | ZOOM_OUT));
        refreshPixmap();
    }
}

void Plotter::zoomOut()
{
    if (m_viewIndex <= 0)
        return;
    --m_viewIndex;
    emitZoomState(m_viewIndex > 0 ? (m_zoomState | ZOOM_OUT) : (m_zoomState & ~ZOOM_OUT));
    emitZoomState(m_zoomState | ZOOM_IN);
    refreshPixmap();
}

void Plotter::zoomIn()
{
    if (m_viewIndex >= int(m_views.size()) - 1)
        return;
    ++m_viewIndex;
    emitZoomState(m_viewIndex < int(m_views.size()) - 1 ? (m_zoomState | ZOOM_IN) : (m_zoomState & ~ZOOM_IN));
    emitZoomState(m_zoomState | ZOOM_OUT);
    refreshPixmap();
}

void Plotter::autoDomain() { m_views.at(0).userXInForce = false; }

void Plotter::autoRange() { m_views.at(0).userYInForce = false; }

// A range given high end first ("spanx 6 2") is put in order: the axis then
// reads left to right and bottom to top with its ticks and labels, instead
// of a mirrored plot without them.
void Plotter::setDomain(const AxisRange& r)
{
    m_views.at(0).userX = AxisRange(std::min(r.min, r.max), std::max(r.min, r.max));
    m_views.at(0).userXInForce = true;
}

void Plotter::setRange(const AxisRange& r)
{
    m_views.at(0).userY = AxisRange(std::min(r.min, r.max), std::max(r.min, r.max));
    m_views.at(0).userYInForce = true;
}

static void promptAxisRange(Plotter* plot, int axis)
{
    const AxisRange& inForce = plot->view().range(axis);
    const QString prefill = QString("%1,%2").arg(inForce.min, 0, 'g', 6).arg(inForce.max, 0, 'g', 6);
    const QString label = axis == 0 ? Plotter::tr("Enter Domain (min,max):") : Plotter::tr("Enter Range (min,max):");
    const auto text = kro::prompter().getText(nullptr, Plotter::tr("Axes Dialog"), label, prefill);
    if (!text || text->isEmpty())
        return;
    QString t = *text;
    t.remove(QLatin1Char(' '));
    const QStringList parts = t.split(QLatin1Char(','));
    auto number = [](const QString& s) {
        bool ok = false;
        const double v = QLocale::c().toDouble(s, &ok);
        return ok ? v : 0.0;
    };
    const AxisRange r(number(parts.value(0)), number(parts.value(1)));
    ViewRect& base = plot->m_views.at(0);
    if (axis == 0) {
        base.userX = r;
        base.userXInForce = true;
    } else {
        base.userY = r;
        base.userYInForce = true;
    }
    plot->setBaseView(base, true);
}

void Plotter::promptDomain() { promptAxisRange(this, 0); }

void Plotter::promptRange() { promptAxisRange(this, 1); }

void Plotter::updateLogScale(int xMode, int yMode)
{
    const auto [extremeX, extremeY] = extremes();
    const double largestX = extremeX.max;
    const double largestY = extremeY.max;
    if (xMode == 1) {
        m_logXSign = signOf(largestX);
        if (m_logXSign == 0)
            m_logXSign = -1;
    }
    if (yMode == 1) {
        m_logYSign = signOf(largestY);
        if (m_logYSign == 0)
            m_logYSign = -1;
    }
    ViewRect& base = m_views.at(0);
    for (int axis = 0; axis < 2; ++axis) {
        const int mode = axis == 0 ? xMode : yMode;
        AxisRange& target = axis == 0 ? base.autoX : base.autoY;
        if (mode == 1) {
            double lo = 0.0, hi = 0.0;
            bool any = false;
            for (const auto& [id, c] : m_curves) {
                if (c.values.size() < 2)
                    continue;
                double cl, ch;
                if (!log10Extreme(c, 0, axis, cl) || !log10Extreme(c, 1, axis, ch))
                    continue;
                lo = any ? std::min(lo, cl) : cl;
                hi = any ? std::max(hi, ch) : ch;
                any = true;
            }
            const int sign = axis == 0 ? m_logXSign : m_logYSign;
            if (sign >= 0)
                target = AxisRange(std::floor(lo), std::ceil(hi));
            else
                target = AxisRange(-std::ceil(hi), -std::floor(lo));
        } else if (mode == 0) {
            target = axis == 0 ? extremeX : extremeY;
        }
    }
}

static void setTickGranularity(Plotter* plot, int axis, double g)
{
    double& stored = axis == 0 ? plot->m_xGranularity : plot->m_yGranularity;
    if (g == 0.0) {
        const auto v = kro::prompter().getDouble(plot, axis == 0 ? Plotter::tr("X-Axis Granularity") : Plotter::tr("Y-Axis Granularity"),
                                                 Plotter::tr("Enter granularity (-1 for auto):"), stored, -1, DBL_MAX, 10);
        if (!v)
            return;
        g = *v;
    }
    g = std::max(-1.0, g);
    stored = g;
    (axis == 0 ? plot->view().xGranularity : plot->view().yGranularity) = g;
    computeAxisTicks(plot->view(), 0);
    computeAxisTicks(plot->view(), 1);
    plot->plot();
}

void Plotter::setXTickGranularity(double g) { setTickGranularity(this, 0, g); }

void Plotter::setYTickGranularity(double g) { setTickGranularity(this, 1, g); }

void Plotter::on_togLogScaleX()
{
    m_logX = !m_logX;
    // The text runs the update once per curve with the same arguments; once
    // gives the same result.
    if (!m_curves.empty())
        updateLogScale(m_logX ? 1 : 0, 2);
    rescale();
}

void Plotter::on_togLogScaleY()
{
    m_logY = !m_logY;
    if (!m_curves.empty())
        updateLogScale(2, m_logY ? 1 : 0);
    rescale();
}

void Plotter::plot()
{
    if (m_barMode) {
        for (auto& [id, c] : m_curves) {
            const std::size_t n = c.values.size() / 2;
            // Increasing finite x is known from the summary; undefined x
            // values never compare less, so such a curve may still count
            // as sorted.
            bool sorted = c.values.summary().xAscending;
            if (!sorted) {
                sorted = true;
                for (std::size_t i = 1; i < n && sorted; ++i)
                    sorted = !(c.values[2 * i] < c.values[2 * i - 2]);
            }
            if (sorted)
                continue; // nothing to change, so a cache sharing the values keeps sharing them
            std::vector<double>& v = c.values.mut();
            std::vector<std::pair<double, double>> pts(n);
            for (std::size_t i = 0; i < n; ++i)
                pts[i] = {v[2 * i], v[2 * i + 1]};
            std::stable_sort(pts.begin(), pts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
            for (std::size_t i = 0; i < n; ++i) {
                v[2 * i] = pts[i].first;
                v[2 * i + 1] = pts[i].second;
            }
        }
    }
    refreshPixmap();
}

void Plotter::rescale()
{
    updateLogScale(m_logX ? 1 : 0, m_logY ? 1 : 0);
    ViewRect& base = m_views.at(0);
    openEmptyRange(base.autoX, m_logX);
    openEmptyRange(base.autoY, m_logY);

    if (m_barMode && m_barFloor < base.yRange().min) {
        if (m_logY) {
            const int s = m_logYSign;
            if ((s > 0 && m_barFloor <= 0) || (s < 0 && m_barFloor >= 0)) {
                double lo = 0.0;
                bool any = false;
                for (const auto& [id, c] : m_curves) {
                    double l;
                    if (c.values.size() >= 2 && log10Extreme(c, 0, 1, l)) {
                        lo = any ? std::min(lo, l) : l;
                        any = true;
                    }
                }
                base.autoY.min = s < 0 ? -std::floor(lo) : std::floor(lo);
            }
        } else {
            base.autoY.min = m_barFloor;
        }
        computeAxisTicks(base, 0);
        computeAxisTicks(base, 1);
    }
    setBaseView(base, false);

    const int edge = m_barMode ? 15 : 5;
    const QPointF p0 = pixelToData(QPoint(0, 0));
    const QPointF p1 = pixelToData(QPoint(edge, edge));
    if (!m_logX) {
        const double dx = p1.x() - p0.x();
        const AxisRange r = base.xRange();
        if (std::isfinite(dx) && std::isfinite(r.min - dx) && std::isfinite(r.max + dx))
            base.autoX = AxisRange(r.min - dx, r.max + dx);
    }
    if (!m_logY) {
        const double dy = p0.y() - p1.y();
        const AxisRange r = base.yRange();
        if (std::isfinite(dy) && std::isfinite(r.min - dy) && std::isfinite(r.max + dy))
            base.autoY = AxisRange(r.min - dy, r.max + dy);
    }
    computeAxisTicks(base, 0);
    computeAxisTicks(base, 1);
    setBaseView(base, true);
}

void Plotter::showMessage(const QString& text, int seconds)
{
    if (!m_message) {
        m_message = new QLabel(this);
        m_message->setFont(QFont("Times", 12, QFont::Bold));
        QPalette pal = m_message->palette();
        pal.setColor(QPalette::Window, m_insideColor);
        if (m_insideColor == QColor(Qt::black))
            pal.setColor(QPalette::WindowText, Qt::white);
        m_message->setPalette(pal);
        m_message->setAutoFillBackground(true);
        m_message->setAlignment(Qt::AlignCenter);
    }
    m_message->setText(kro::boundedRichText(text));
    // Centred on the plot area across, on the whole plot from top to bottom.
    const QSize size = m_message->sizeHint();
    const int x = m_marginLeft + (width() - m_marginLeft - m_marginRight) / 2 - size.width() / 2;
    const int y = height() / 2 - size.height() / 2;
    const QRect geometry(QPoint(x, y), size);
    if (m_message->geometry() != geometry)
        m_message->setGeometry(geometry);
    m_message->show();
    m_message->raise();
    m_message->repaint();
    // A message without a time limit stays even when an earlier one had a
    // timer running.
    if (seconds != -1)
        m_messageTimer->start(seconds * 1000);
    else
        m_messageTimer->stop();
}

void Plotter::deleteMsg()
{
    delete m_message.data();
    m_message = nullptr;
}
