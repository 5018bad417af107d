// Plotter: the curve set, curve titles, undo caches and result plots.
#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "analysis/noisegendiag.h"
#include "analysis/sampleinterval.h"
#include "analysis/timeunits.h"
#include "core/curvesummary.h"
#include "core/curvewalks.h"
#include "core/linecolors.h"
#include "platform/prompter.h"
#include "plot/actionlabel.h"
#include "plot/arrowtable.h"
#include "plot/labeler.h"
#include "plot/plotdiag.h"
#include "plot/plotter.h"
#include "plot/rotlabel.h"

namespace {

// Palette entry of a curve index; the unset colour for a negative index.
Rgb paletteColour(int index)
{
    return index < 0 ? Rgb(Rgb::NotSet) : paletteColor(index);
}

QColor toQColor(Rgb c) { return QColor::fromRgb(QRgb(c.rgb())); }

} // namespace

const CurveData* Plotter::curve(int index) const
{
    const auto it = m_curves.find(index);
    return it == m_curves.end() ? nullptr : &it->second;
}

void Plotter::setCurveData(int index, const CurveData& curve, bool redraw)
{
    // The plot shares the caller's values until one of the two changes them.
    setCurveData(index, CurveData(curve), redraw);
}

void Plotter::setCurveData(int index, CurveData&& curve, bool redraw)
{
    m_curves[index] = std::move(curve);
    applyDefaultAttributes(index);
    if (m_logX || m_logY) {
        updateLogScale(m_logX ? 1 : 2, m_logY ? 1 : 2);
        if (!redraw)
            return;
    } else {
        if (!redraw)
            return;
        ViewRect& base = m_views.at(0);
        base.autoX = AxisRange(minX(), maxX());
        base.autoY = AxisRange(minY(), maxY());
        computeAxisTicks(base, 0);
        computeAxisTicks(base, 1);
    }
    rescale();
    refreshPixmap();
}

void Plotter::applyDefaultAttributes(int index)
{
    auto it = m_curves.find(index);
    if (it == m_curves.end())
        return;
    Zavozi::CurveAttributes& a = it->second.attributes;
    if (a.lineColor.needsPalette())
        a.lineColor = paletteColour(index);
    if (a.pointShapeColor.needsPalette())
        a.pointShapeColor = paletteColour(index);
}

void Plotter::setCurveTitle(int index, const QString& title)
{
    placeCurveTitle(index, title);
    layOutLegend();
}

void Plotter::placeCurveTitle(int index, const QString& title)
{
    const QString text = title.isNull() ? QStringLiteral("Curve %1").arg(index) : title;
    const CurveData* c = curve(index);
    const QColor colour = toQColor(c ? c->attributes.lineColor : paletteColour(index));
    LegendItem* item = m_legend->findItem(index);
    if (item) {
        item->setText(text);
        item->m_color = colour;
    } else {
        item = new LegendItem(m_legend, text, colour, index);
    }
    item->m_style = m_legend->m_itemStyle;
}

void Plotter::layOutLegend()
{
    m_legend->adjustSize();
    m_legend->update();
    if (m_legend->count() < 2 || m_legend->dockState() == DOCK_OFF)
        m_legend->hide();
    else
        m_legend->show();
}

void Plotter::addCurveTitleToBatch(int index, const QString& title, bool redraw)
{
    placeCurveTitle(index, title);
    m_titleBatch.redraw = m_titleBatch.redraw || redraw;
    if (m_titleBatch.pending)
        return;
    m_titleBatch.pending = true;
    // After the events queued now: the titles that arrived with this one.
    QMetaObject::invokeMethod(this, [this] { finishTitleBatch(); }, Qt::QueuedConnection);
}

void Plotter::finishTitleBatch(bool redraw)
{
    if (!m_titleBatch.pending)
        return;
    redraw = redraw && m_titleBatch.redraw;
    m_titleBatch = {};
    layOutLegend();
    if (redraw)
        plot();
}

void Plotter::setLegendNames(const QStringList& names)
{
    auto name = names.begin();
    for (auto it = m_curves.begin(); it != m_curves.end() && name != names.end(); ++it, ++name)
        m_legend->setItemText(it->first, *name);
}

void Plotter::setLegendTexts(const std::vector<std::string>& texts)
{
    auto text = texts.begin();
    for (auto it = m_curves.begin(); it != m_curves.end() && text != texts.end(); ++it, ++text) {
        if (m_legend->findItem(it->first))
            m_legend->setItemText(it->first, QString::fromStdString(*text));
    }
}

std::map<int, QString> Plotter::curveTitles() const
{
    std::map<int, QString> titles;
    for (const auto& [id, c] : m_curves) {
        if (const LegendItem* item = m_legend->findItem(id))
            titles[id] = item->text();
    }
    return titles;
}

QStringList Plotter::curveDescriptors() const
{
    QStringList texts;
    for (const auto& [id, c] : m_curves)
        texts << m_legend->itemText(id);
    return texts;
}

void Plotter::insertPoint(int index, double x, double y)
{
    CurveData& c = m_curves[index];
    ViewRect& base = m_views.at(0);
    if (c.values.empty()) {
        base.autoX = AxisRange(x, x);
        base.autoY = AxisRange(y, y);
    } else {
        if (x < base.xRange().min)
            base.autoX.min = x;
        if (x > base.xRange().max)
            base.autoX.max = x;
        if (y < base.yRange().min)
            base.autoY.min = y;
        if (y > base.yRange().max)
            base.autoY.max = y;
    }
    computeAxisTicks(base, 0);
    computeAxisTicks(base, 1);

    std::vector<double>& v = c.values.mut();
    const std::size_t n = v.size() / 2;
    if (!m_barMode) {
        std::size_t i = 0;
        while (i < n && v[2 * i] < x)
            ++i;
        v.insert(v.begin() + std::ptrdiff_t(2 * i), {x, y});
    } else {
        for (std::size_t i = 0; i < n; ++i) {
            if (v[2 * i] == x) {
                v[2 * i + 1] = y;
                return;
            }
        }
        v.push_back(x);
        v.push_back(y);
    }
}

void Plotter::removeCurve(int index)
{
    auto it = m_curves.find(index);
    if (it == m_curves.end()) {
        Q_EMIT verbose(ZEVOVE::ERROR, tr("Could not remove curve C%1 - it does not exist.").arg(index + 1));
        return;
    }
    eraseCurve(it);
}

CurveMap::iterator Plotter::eraseCurve(CurveMap::iterator it)
{
    if (it == m_curves.end())
        return it;
    if (m_legend->removeItem(it->first))
        m_legend->adjustSize();
    if (m_highlightedCurve == it->first) {
        // A curve removed while it blinks ends its highlight quietly.
        m_refreshTimer->stop();
        m_highlightedCurve = -1;
        m_highlightDrawCount = 0;
    }
    return m_curves.erase(it);
}

void Plotter::on_addPoint()
{
    const IdArray ids = promptCurves(true, nullptr, tr("Insert a point"));
    if (ids.isEmpty())
        return;
    cache(0);
    constexpr double most = std::numeric_limits<double>::max();
    const auto point = kro::prompter().getDoublePair(this, tr("Insert Point"), tr("x"), tr("y"),
                                                     tr("Enter x and y, and click ok."), 0.0, -most, most);
    if (!point)
        return;
    for (int id : resolveCurveIds(ids).ids())
        insertPoint(id, point->first, point->second);
    refreshPixmap();
}

void Plotter::removeCurves(const IdArray& ids)
{
    cache(0);
    if (!ids.isEmpty()) {
        if (ids.isAll()) {
            removeAllCurves();
        } else {
            for (int id : ids.ids())
                eraseCurve(m_curves.find(id));
        }
    }
    refreshPixmap();
}

void Plotter::removeAllCurves()
{
    while (!m_curves.empty())
        eraseCurve(m_curves.begin());
}

void Plotter::clearAll()
{
    removeAllMarkers();
    m_annotations.clear();
    // The custom labels stay; their table and the arrows go.
    delete m_labeler;
    m_labeler = nullptr;
    delete m_arrowTable;
    m_arrowTable = nullptr;
    removeAllCurves();
    resetSettings();
    // The noise dialog starts again from its defaults.
    if (m_noiseDialog) {
        m_noiseDialog->deleteLater();
        m_noiseDialog = nullptr;
    }
    refreshPixmap();
}

bool Plotter::takeCache(CurveMap& target, std::map<int, QString>& titles)
{
    try {
        target = m_curves;
    } catch (const std::bad_alloc&) {
        target.clear();
        return false;
    }
    titles = curveTitles();
    return true;
}

void Plotter::restoreCache(const CurveMap& source, const std::map<int, QString>& titles)
{
    m_curves = source;
    m_legend->clear();
    for (const auto& [id, text] : titles)
        setCurveTitle(id, text);
    rescale();
}

void Plotter::cache(int mode)
{
    switch (mode) {
    case 0:
        if (!takeCache(m_autoCache, m_autoCacheTitles)) {
            m_autoCacheValid = false;
            Q_EMIT verbose(ZEVOVE::ERROR, "Not enough (auto) cache memory to backup data.");
            return;
        }
        m_autoCacheValid = true;
        m_autoCacheFilled = true;
        m_autoCacheYLabel.reset();
        Q_EMIT autoCacheAvailable();
        Q_EMIT verbose(ZEVOVE::INFO, "Auto data-cache available.");
        break;
    case 1:
        if (!takeCache(m_userCache, m_userCacheTitles)) {
            m_userCacheValid = false;
            Q_EMIT verbose(ZEVOVE::ERROR, "Not enough (user) cache memory to backup data.");
            return;
        }
        m_userCacheValid = true;
        Q_EMIT verbose(ZEVOVE::INFO, "User data-cache populated.");
        break;
    case 2:
        if (!m_userCacheValid) {
            Q_EMIT verbose(ZEVOVE::WARNING, tr("The user data-cache is empty; nothing was restored."));
            return;
        }
        restoreCache(m_userCache, m_userCacheTitles);
        Q_EMIT verbose(ZEVOVE::INFO, "User data-cache retrieved.");
        break;
    case 3:
        if (!m_autoCacheValid) {
            Q_EMIT verbose(ZEVOVE::WARNING, tr("There is nothing to undo; the curves were left as they are."));
            return;
        }
        if (m_autoCacheYLabel)
            yLabel(*m_autoCacheYLabel, SET, false, true);
        restoreCache(m_autoCache, m_autoCacheTitles);
        m_autoCacheFilled = false;
        Q_EMIT autoCacheEmptied();
        Q_EMIT verbose(ZEVOVE::INFO, "Auto data-cache empty.");
        break;
    default:
        break;
    }
}

void Plotter::undo()
{
    Q_EMIT verbose(ZEVOVE::INFO, "Undo.");
    cache(3);
}

Plotter* Plotter::clonePlotter(const char* name, int logX, int logY, bool copyLegend)
{
    auto* p = new Plotter(parentWidget(), name);
    p->m_fillPlotArea = m_fillPlotArea;

    p->m_xLabel->fontPointSize(m_xLabel->fontPointSize(0));
    p->m_xLabel->setText(p->m_xLabel->storedText());
    p->m_yLabel->fontPointSize(m_yLabel->fontPointSize(0));
    p->m_yLabel->setText(p->m_yLabel->storedText());
    p->m_yLabel->adjustSize();
    p->m_title->fontPointSize(m_title->fontPointSize(0));
    p->m_title->setText(p->m_title->storedText());
    p->m_tickFont = m_tickFont;
    p->m_tickFontHeight = QFontMetrics(p->m_tickFont).height();
    p->refreshPixmap();

    if (copyLegend && p->m_legend->count() == 0) {
        for (int i = 0; i < m_legend->count(); ++i)
            p->setCurveTitle(m_legend->item(i)->m_id, m_legend->item(i)->text());
    }

    p->setInsideColor(m_insideColor);
    p->outsideColor(m_outsideColor, SET);
    p->setGridColor(m_gridColor);
    if (p->m_axesColor != m_axesColor) {
        p->m_axesColor = m_axesColor;
        p->m_xLabel->setColor(m_axesColor);
        p->m_yLabel->setColor(m_axesColor);
    }
    if (p->m_axesMarkersColor != m_axesMarkersColor)
        p->m_axesMarkersColor = m_axesMarkersColor;
    if (p->m_titleColor != m_titleColor) {
        p->m_titleColor = m_titleColor;
        p->m_title->setColor(m_titleColor);
    }
    if (p->m_footnoteColor != m_footnoteColor) {
        p->m_footnoteColor = m_footnoteColor;
        p->m_footnote->setColor(m_footnoteColor);
    }
    p->refreshPixmap();

    p->show();
    p->m_logX = (logX == 1);
    p->m_logY = (logY == 1);
    p->resize(size());
    // A legend that is merely hidden (fewer than two curves) stays on in
    // the result, which may hold more curves than its source.
    if (m_legend->dockState() == DOCK_OFF) {
        p->m_legend->setDockState(DOCK_OFF);
        p->m_legend->hide();
    }
    Q_EMIT newPlotterBuilt(p);
    return p;
}

// ---------------------------------------------------------------------------
// Curve extremes and ids

namespace {
// The extent of the finite values of one axis (0 x, 1 y) of a curve, from
// its summary: the values are read only when they changed.
const CurveSummary::Extent& axisExtent(const CurveData& c, int axis)
{
    const CurveSummary& s = c.values.summary();
    return axis == 0 ? s.x : s.y;
}
} // namespace

static double extremeOf(const CurveMap& curves, int index, int which, int axis)
{
    double result = 0.0;
    bool found = false;
    auto consider = [&](const CurveData& c) {
        const CurveSummary::Extent& e = axisExtent(c, axis);
        if (!e.any)
            return;
        const double v = which == 0 ? e.min : e.max;
        if (!found || (which == 0 ? v < result : v > result)) {
            result = v;
            found = true;
        }
    };
    if (index == ALL_CURVES) {
        for (const auto& [id, c] : curves)
            consider(c);
    } else if (auto it = curves.find(index); it != curves.end()) {
        consider(it->second);
    }
    return result;
}

std::pair<AxisRange, AxisRange> Plotter::extremes() const
{
    // Each curve's extremes come with its summary, kept while it does not
    // change: a rescale after a copy or move reads no point again.
    constexpr double inf = std::numeric_limits<double>::infinity();
    double lo[2] = {inf, inf}, hi[2] = {-inf, -inf};
    for (const auto& [id, c] : m_curves) {
        for (int axis = 0; axis < 2; ++axis) {
            const CurveSummary::Extent& e = axisExtent(c, axis);
            if (e.any) {
                lo[axis] = std::min(lo[axis], e.min);
                hi[axis] = std::max(hi[axis], e.max);
            }
        }
    }
    auto range = [&](int axis) { return lo[axis] <= hi[axis] ? AxisRange(lo[axis], hi[axis]) : AxisRange(0.0, 0.0); };
    return {range(0), range(1)};
}

double Plotter::minX(int index) const { return extremeOf(m_curves, index, 0, 0); }
double Plotter::maxX(int index) const { return extremeOf(m_curves, index, 1, 0); }
double Plotter::minY(int index) const { return extremeOf(m_curves, index, 0, 1); }
double Plotter::maxY(int index) const { return extremeOf(m_curves, index, 1, 1); }

int Plotter::curveIdOf(const CurveValues& values) const
{
    for (const auto& [id, c] : m_curves) {
        if (&c.values == &values)
            return id;
    }
    return -1;
}

double Plotter::sampleInterval(int index) const
{
    return robustSpacing(m_curves, index) * timeUnitSeconds(m_xLabel->plainText());
}

int Plotter::nextFreeCurveId() const
{
    int id = 0;
    for (const auto& [key, c] : m_curves) {
        if (key != id)
            break;
        ++id;
    }
    return id;
}

bool Plotter::curveExists(int index)
{
    if (index == ALL_CURVES)
        return true;
    const CurveData* c = curve(index);
    if (!c) {
        Q_EMIT verbose(ZEVOVE::ERROR, tr("Invalid parameter. C%1 does not exist.").arg(index + 1));
        return false;
    }
    if (c->values.size() < 2) {
        Q_EMIT verbose(ZEVOVE::ERROR, tr("Invalid parameter. C%1 does not have enough data points.").arg(index + 1));
        return false;
    }
    return true;
}
