// Plotter: markers (numbered vertical and horizontal lines at data
// positions), their differences, their widgets and the marker table.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>

#include "core/curvestats.h"
#include "core/curvewalks.h"
#include "core/mjd.h"
#include "platform/prompter.h"
#include "plot/curvelistbox.h"
#include "plot/linewidget.h"
#include "plot/plotdiag.h"
#include "plot/plotter.h"
#include "plot/ticklabels.h"

int Plotter::s_nextMarkerDiffNumber = 1;

namespace {
QString orientationWord(int orientation)
{
    return orientation == 1 ? QStringLiteral("Horizontal") : QStringLiteral("Vertical");
}

// Smallest and largest finite value of one axis over every point; false
// without one.
bool dataExtremes(const CurveMap& curves, int axis, double& lo, double& hi)
{
    bool any = false;
    for (const auto& [id, c] : curves) {
        const std::vector<double>& v = c.values;
        for (std::size_t i = std::size_t(axis); i < v.size(); i += 2) {
            const double a = v[i];
            if (!std::isfinite(a))
                continue;
            lo = any ? std::min(lo, a) : a;
            hi = any ? std::max(hi, a) : a;
            any = true;
        }
    }
    return any;
}

// The widget of a marker or difference number, or widgets.end().
template <typename W>
auto findNumbered(const std::vector<W*>& widgets, int number)
{
    return std::find_if(widgets.begin(), widgets.end(), [number](const W* w) { return w->m_number == number; });
}

template <typename W>
W* numbered(const std::vector<W*>& widgets, int number)
{
    const auto it = findNumbered(widgets, number);
    return it == widgets.end() ? nullptr : *it;
}

template <typename W>
void deleteNumbered(std::vector<W*>& widgets, int number)
{
    const auto it = findNumbered(widgets, number);
    if (it == widgets.end())
        return;
    delete *it;
    widgets.erase(it);
}

// Deletes the widgets from the last one made to the first.
template <typename W>
void deleteAll(std::vector<W*>& widgets)
{
    while (!widgets.empty()) {
        delete widgets.back();
        widgets.pop_back();
    }
}
} // namespace

struct Plotter::MarkerFrame {
    QPoint tl;
    QPoint br;
    QRect overlay; // in plot pixels
};

QString Plotter::mjdDateText(double mjd)
{
    if (!ticklabels::hasDateText(mjd))
        return QStringLiteral("Out of bounds");
    std::tm t{};
    mjdToTm(t, mjd, true);
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3s %.3s%3d %.2d:%.2d:%.2d %d", days[(t.tm_wday % 7 + 7) % 7],
                  months[(t.tm_mon % 12 + 12) % 12], t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, 1900 + t.tm_year);
    return QString::fromLatin1(buf);
}

double Plotter::viewBoundToData(int axis, double bound) const
{
    const bool logarithmic = axis == 0 ? m_logX : m_logY;
    if (!logarithmic)
        return bound;
    const int s = axis == 0 ? m_logXSign : m_logYSign;
    return s * std::pow(10.0, s * bound);
}

MarkerWidget* Plotter::markerWidget(int number) const { return numbered(m_markerWidgets, number); }

MarkerDiffWidget* Plotter::markerDiffWidget(int number) const { return numbered(m_markerDiffWidgets, number); }

void Plotter::deleteMarkerWidgets()
{
    deleteAll(m_markerDiffWidgets);
    deleteAll(m_markerWidgets);
}

// ---------------------------------------------------------------------------
// Adding

void Plotter::addMarker(int orientation, const double* position, bool redraw)
{
    const int axis = orientation == 1 ? 1 : 0;
    const bool vertical = axis == 0;
    if (!position) {
        // The command takes data values: on a logarithmic axis the view's
        // decades are turned back into values first.
        const AxisRange& r = view().range(axis);
        const double lo = viewBoundToData(axis, r.min), hi = viewBoundToData(axis, r.max);
        const double mid = viewBoundToData(axis, (r.min + r.max) / 2);
        const QString caption = vertical ? tr("Add vertical marker to plot") : tr("Add horizontal marker to plot");
        const QString label = vertical ? tr("X-Value:") : tr("Y-Value:");
        const QString text = vertical ? tr("Enter the position of the vertical marker to be placed.")
                                      : tr("Enter the position of the horizontal marker to be placed.");
        const auto v = kro::prompter().getDouble(this, caption, label + "\n" + text, mid, std::min(lo, hi),
                                                 std::max(lo, hi), 10);
        if (v)
            Q_EMIT command((vertical ? QStringLiteral("vmarker %1") : QStringLiteral("hmarker %1")).arg(*v, 0, 'g', 15));
        return;
    }
    double lo = 0, hi = 0;
    if (pointCountOfAllCurves(m_curves) == 0 || !dataExtremes(m_curves, axis, lo, hi)) {
        Q_EMIT transcript(tr("Marker warning: Cannot add a marker to a plot with no data."));
        return;
    }
    // NaN compares false with everything: test for "inside", not "outside".
    if (!(*position >= lo && *position <= hi)) {
        const QString error =
            vertical ? tr("Marker error: Vertical marker position %1 is out of bounds.\nCurrent data range: %2, %3")
                     : tr("Marker error: Horizontal marker position %1 is out of bounds.\nCurrent data range: %2, %3");
        Q_EMIT transcript(error.arg(*position).arg(lo).arg(hi));
        return;
    }
    m_markers[m_nextMarkerNumber++] = MarkerRecord{*position, orientation};
    // The table lists vertical markers only.
    if (vertical)
        updateMarkerTable();
    if (redraw)
        refreshPixmap();
}

void Plotter::addVMarker(const double* const position, bool redraw) { addMarker(0, position, redraw); }

void Plotter::addHMarker(double* position, bool redraw) { addMarker(1, position, redraw); }

std::vector<int> Plotter::promptMarkers(const QString& title, int minSelected, int maxSelected, bool offerAll,
                                        bool* accepted)
{
    if (!enoughToChoose(title, tr("marker"), int(m_markers.size()), std::max(minSelected, 1))) {
        if (accepted)
            *accepted = false;
        return {};
    }
    CurveSelector dialog(this, QStringLiteral("Marker"), minSelected, maxSelected, title);
    std::map<int, Rgb> items;
    if (offerAll)
        items.emplace(-1, Rgb(0xFF00FFu));
    for (const auto& [number, m] : m_markers) {
        // A marker added without a redraw has no widget yet: it is listed in
        // the colour new marker widgets get.
        const MarkerWidget* w = markerWidget(number);
        const QColor c = w ? w->m_color : QColor(0, 170, 255);
        items.emplace(number, Rgb(quint32(c.rgb() & 0xFFFFFFu)));
    }
    dialog.list()->setCurves(items);
    const bool ok = kro::prompter().execDialog(&dialog) == QDialog::Accepted;
    if (accepted)
        *accepted = ok;
    if (!ok)
        return {};
    return dialog.list()->selectedIds();
}

void Plotter::addMarkerDiff(int first, int second, bool redraw)
{
    if (m_markers.size() == 2) {
        first = m_markers.begin()->first;
        second = std::next(m_markers.begin())->first;
    } else if (first + second == 0) {
        const std::vector<int> chosen = promptMarkers(tr("Marker: Add Delta"), 2, 2, false, nullptr);
        if (chosen.size() == 2)
            Q_EMIT command(QStringLiteral("dmarker M%1 M%2").arg(chosen[0]).arg(chosen[1]));
        return;
    }
    const auto a = m_markers.find(first);
    const auto b = m_markers.find(second);
    if (a == m_markers.end())
        Q_EMIT transcript(tr("Error: Marker M%1 does not exist").arg(first));
    if (b == m_markers.end())
        Q_EMIT transcript(tr("Error: Marker M%2 does not exist").arg(second));
    if (a == m_markers.end() || b == m_markers.end())
        return;
    if (a->second.orientation != b->second.orientation) {
        Q_EMIT transcript(tr("Error: Invalid marker selection.\nThe markers must have consistent orientation. You "
                             "have chosen Marker %1 (%2) and Marker %3 (%4).")
                              .arg(first)
                              .arg(orientationWord(a->second.orientation))
                              .arg(second)
                              .arg(orientationWord(b->second.orientation)));
        return;
    }
    m_markerDiffs[s_nextMarkerDiffNumber++] = {first, second};
    if (redraw)
        refreshPixmap();
}

// ---------------------------------------------------------------------------
// Removing

void Plotter::removeMarkers()
{
    const std::vector<int> chosen = promptMarkers(tr("Marker: Remove"), 1, -1, true, nullptr);
    if (chosen.empty())
        return;
    QString text = QStringLiteral("remove ");
    for (int number : chosen)
        text += QStringLiteral("M%1 ").arg(number);
    Q_EMIT command(text);
}

void Plotter::removeMarkers(const IdArray& numbers)
{
    if (m_markers.empty())
        return;
    const std::vector<int> list = numbers.ids();
    if (!list.empty() && list.front() == 0) {
        m_markers.clear();
        m_markerDiffs.clear();
        deleteMarkerWidgets();
        Q_EMIT verbose(ZEVOVE::INFO, tr("All markers removed."));
    } else {
        for (auto it = list.rbegin(); it != list.rend(); ++it) {
            const int number = *it;
            // A marker exists by its record: one added without a redraw has
            // no widget yet and is removed all the same.
            if (m_markers.find(number) == m_markers.end()) {
                Q_EMIT transcript(tr("Warning: Could not remove marker M%1. It does not exist.").arg(number));
                continue;
            }
            Q_EMIT verbose(ZEVOVE::INFO, tr("Marker M%1 was removed.").arg(number));
            m_markers.erase(number);
            deleteNumbered(m_markerWidgets, number);
            for (auto d = m_markerDiffs.begin(); d != m_markerDiffs.end();) {
                if (d->second.first != number && d->second.second != number) {
                    ++d;
                    continue;
                }
                Q_EMIT verbose(ZEVOVE::INFO, tr("The delta marker connected to M%1 and M%2 has been removed.")
                                                 .arg(d->second.first)
                                                 .arg(d->second.second));
                deleteNumbered(m_markerDiffWidgets, d->first);
                m_markerDiffs.erase(d);
                d = m_markerDiffs.begin();
            }
        }
    }
    if (m_markers.empty())
        m_markerTable->hide();
    refreshPixmap();
}

void Plotter::removeAllMarkers()
{
    m_nextMarkerNumber = 1;
    m_markerTable->hide();
    m_markers.clear();
    m_markerDiffs.clear();
    deleteMarkerWidgets();
}

// ---------------------------------------------------------------------------
// Computed positions and dragging

void Plotter::moveMarker(int number, SearchType type)
{
    const auto it = m_markers.find(number);
    if (it == m_markers.end())
        return;
    MarkerRecord& marker = it->second;
    const int axis = marker.orientation == 1 ? 1 : 0;
    // The curves of a computed position; false when the answer is empty.
    auto askCurves = [&](IdArray& ids) {
        ids = promptCurves(true, nullptr, tr("Move Marker %1").arg(number));
        return !ids.isEmpty();
    };
    bool accepted = true;
    switch (type) {
    case SET_POSITION: {
        const AxisRange& r = view().range(axis);
        const double lo = viewBoundToData(axis, r.min), hi = viewBoundToData(axis, r.max);
        const auto v = kro::prompter().getDouble(this, tr("Set Marker %1 position").arg(number),
                                                 axis == 0 ? tr("X-Value:") : tr("Y-Value:"), marker.position,
                                                 std::min(lo, hi), std::max(lo, hi), 10);
        if (v)
            marker.position = *v;
        else
            accepted = false;
        break;
    }
    case FIND_VALUE: {
        // The level is a data value: bounds in data units on a log axis too.
        const AxisRange& r = view().yRange();
        const double lo = viewBoundToData(1, r.min), hi = viewBoundToData(1, r.max);
        const auto level = kro::prompter().getDouble(this, tr("Solve for Marker %1 position").arg(number),
                                                     tr("Y-Value:"), 0.0, std::min(lo, hi), std::max(lo, hi), 10);
        if (!level)
            return;
        bool ok = false;
        const IdArray ids = promptExactCurves(1, 1, &ok, tr("Solve for Marker %1 position").arg(number));
        if (!ok || ids.isEmpty())
            return;
        // The crossing nearest to the present position; the first of equals.
        const double from = marker.position;
        double best = 0;
        bool found = false;
        for (const PointXY& c : crossings(m_curves, ids.id(0), *level, 1)) {
            const double d = std::fabs(c.first - from);
            if (!found || d < best) {
                best = d;
                found = true;
                marker.position = c.first;
            }
        }
        break;
    }
    case FIND_PEAK:
    case FIND_MIN: {
        IdArray ids;
        if (!askCurves(ids))
            return;
        const int kind = type == FIND_PEAK ? 1 : 0;
        PointXY kept{0.0, 0.0};
        bool any = false;
        for (int id : ids.ids()) {
            const auto c = m_curves.find(id);
            if (c == m_curves.end() || c->second.values.size() < 2)
                continue;
            const PointXY p = extremeOfPoints(c->second.values, kind, 1);
            if (!any) {
                kept = {c->second.values[0], c->second.values[1]};
                any = true;
            }
            if (!std::isfinite(kept.second) || (kind == 1 ? p.second > kept.second : p.second < kept.second))
                kept = p;
        }
        // Without any point the marker stays where it is.
        if (any)
            marker.position = axis == 0 ? kept.first : kept.second;
        break;
    }
    case MOVE_TO_MEAN:
    case MOVE_TO_MEDIAN:
    case FIND_RMS: {
        IdArray ids;
        if (!askCurves(ids))
            return;
        try {
            const int dataAxis = type == FIND_RMS ? 1 : axis;
            if (type == MOVE_TO_MEAN) {
                const long long n = pointCountOfCurveList(m_curves, ids);
                if (n == 0)
                    return;
                marker.position = sumOfCurveList(m_curves, ids, dataAxis) / double(n);
            } else if (type == MOVE_TO_MEDIAN)
                marker.position = medianOfCurveList(m_curves, ids, dataAxis);
            else
                marker.position = rmsOfCurveList(m_curves, ids, dataAxis);
        } catch (const std::exception& e) {
            Q_EMIT transcript(QString::fromUtf8(e.what()));
            return;
        }
        break;
    }
    default:
        return;
    }
    if (accepted)
        refreshPixmap();
}

void Plotter::setMarkerValueText(MarkerWidget* w, const MarkerRecord& m) const
{
    if (m.orientation == 0 && m_dateTimeAxis)
        w->m_valueText = mjdDateText(m.position);
    else
        w->m_valueText = QString::number(m.position, 'g', 12);
}

void Plotter::updateMarkerLocation(int number)
{
    const auto it = m_markers.find(number);
    MarkerWidget* w = markerWidget(number);
    if (it == m_markers.end() || !w)
        return;
    MarkerRecord& marker = it->second;
    const int axis = marker.orientation == 1 ? 1 : 0;
    const QPointF d = pixelToData(w->m_origin + w->m_p1);
    double candidate = axis == 0 ? d.x() : d.y();
    for (const auto& [n, m] : m_markers)
        if (m.position == candidate)
            return;
    const AxisRange& r = view().range(axis);
    const double lo = viewBoundToData(axis, r.min), hi = viewBoundToData(axis, r.max);
    if (candidate < lo)
        candidate = lo;
    if (candidate > hi)
        candidate = hi;
    marker.position = candidate;
    if (axis == 0)
        updateMarkerTable();
    setMarkerValueText(w, marker);
    w->refresh();
}

// ---------------------------------------------------------------------------
// Placement

Plotter::MarkerFrame Plotter::markerFrame() const
{
    const ViewRect& v = view();
    MarkerFrame f;
    f.tl = dataToPixel(v.xRange().min, v.yRange().max, true);
    f.br = dataToPixel(v.xRange().max, v.yRange().min, true);
    f.overlay = QRect(m_marginLeft, m_marginTop, width() - m_marginRight, height() - m_marginBottom);
    return f;
}

namespace {
// Places a widget over the frame; one just made is shown.
void fitToFrame(LineWidget* w, const QPoint& tl, const QRect& overlay, bool created)
{
    w->m_origin = tl;
    w->m_bounds = overlay.translated(-tl);
    w->setGeometry(tl.x(), tl.y(), overlay.width(), overlay.height());
    if (created)
        w->show();
}
} // namespace

void Plotter::placeMarkers()
{
    if (m_markers.empty())
        return;
    const MarkerFrame f = markerFrame();
    const ViewRect& v = view();
    for (const auto& [number, m] : m_markers) {
        MarkerWidget* w = markerWidget(number);
        const bool created = !w;
        if (created) {
            w = new MarkerWidget(number, this);
            w->m_showPosition = true;
            w->m_menuEnabled = true;
        }
        w->setDifferenceMarker(false);
        w->m_orientation = m.orientation;
        fitToFrame(w, f.tl, f.overlay, created);
        if (m.orientation == 1) {
            const double x0 = viewBoundToData(0, v.xRange().min);
            const int py = dataToPixel(x0, m.position).y();
            w->m_p1 = QPoint(f.br.x(), py) - w->m_origin;
            w->m_p2 = QPoint(f.tl.x(), py) - w->m_origin;
        } else {
            const double y0 = viewBoundToData(1, v.yRange().max);
            const int px = dataToPixel(m.position, y0).x() - 1;
            w->m_p1 = QPoint(px, f.tl.y()) - w->m_origin;
            w->m_p2 = QPoint(px, f.br.y()) - w->m_origin;
        }
        setMarkerValueText(w, m);
        w->refresh();
        if (created) {
            connect(w, qOverload<int>(&LineWidget::moveEvent), this, &Plotter::updateMarkerLocation);
            connect(w, qOverload<int>(&LineWidget::moveEvent), this, &Plotter::drawMarkerDifferences);
            connect(w, &LineWidget::releaseEvent, this, &Plotter::refreshPixmap);
            connect(w, &MarkerWidget::searchReq, this, &Plotter::moveMarker);
            m_markerWidgets.push_back(w);
        }
    }
    drawMarkerDifferences();
}

void Plotter::drawMarkerDifferences()
{
    if (m_markerDiffs.empty())
        return;
    const MarkerFrame f = markerFrame();
    const ViewRect& v = view();
    const int midPX = int((f.tl.x() + f.br.x()) * 0.5);
    const int midPY = int((f.tl.y() + f.br.y()) * 0.5);
    const double midX = (viewBoundToData(0, v.xRange().min) + viewBoundToData(0, v.xRange().max)) / 2;
    const double midY = (viewBoundToData(1, v.yRange().min) + viewBoundToData(1, v.yRange().max)) / 2;
    for (const auto& [number, pair] : m_markerDiffs) {
        const auto a = m_markers.find(pair.first);
        const auto b = m_markers.find(pair.second);
        if (a == m_markers.end() || b == m_markers.end())
            continue;
        const int w0 = a->second.orientation;
        MarkerDiffWidget* w = markerDiffWidget(number);
        const bool created = !w;
        if (created) {
            w = new MarkerDiffWidget(number, this);
            w->m_showPosition = false;
            w->m_menuEnabled = false;
            w->setDifferenceMarker(true);
            w->m_lineWidth = 1;
            w->m_headAtP1 = true;
            w->m_headAtP2 = true;
            m_markerDiffWidgets.push_back(w);
        }
        QPoint qa, qb;
        if (w0 == 1) {
            qa = dataToPixel(midX, a->second.position);
            qb = dataToPixel(midX, b->second.position);
        } else {
            qa = dataToPixel(a->second.position, midY);
            qb = dataToPixel(b->second.position, midY);
        }
        if (!created) {
            // The arrow keeps its place across the lines it joins.
            if (w0 == 1) {
                qa.setX(w->m_p1.x() + w->m_origin.x());
                qb.setX(qa.x());
            } else {
                qa.setY(w->m_p1.y() + w->m_origin.y());
                qb.setY(qa.y());
            }
        } else {
            if (w0 == 1) {
                qa.setX(midPX);
                qb.setX(midPX);
            } else {
                qa.setY(midPY);
                qb.setY(midPY);
            }
            w->m_orientation = w0 == 0 ? 1 : 0;
        }
        w->m_caption = (w0 == 1 ? QStringLiteral("%1y: %2") : QStringLiteral("%1x: %2"))
                           .arg(QChar(0x0394))
                           .arg(std::fabs(b->second.position - a->second.position));
        fitToFrame(w, f.tl, f.overlay, created);
        w->m_p1 = qb - w->m_origin;
        w->m_p2 = qa - w->m_origin;
        w->refresh();
    }
}

void Plotter::updateMarkerTable()
{
    if ((m_markerTable->isHidden() && m_markerTable->dockState() == DOCK_OFF) || m_curves.empty())
        return;
    QStringList texts{QStringLiteral("Position"), QStringLiteral("Value")};
    bool anyVertical = false;
    for (const auto& [number, m] : m_markers) {
        if (m.orientation == 1)
            continue;
        anyVertical = true;
        for (const auto& [id, c] : m_curves) {
            for (const PointXY& p : crossings(m_curves, id, m.position, 0)) {
                texts << QStringLiteral("M%1(C%2): %3").arg(number).arg(id + 1).arg(p.first, 0, 'g', 8);
                texts << (std::fabs(p.second) > 1 ? QString::number(p.second, 'f', 3)
                                                  : QString::number(p.second, 'g', 8));
            }
        }
    }
    if (!anyVertical) {
        // Only horizontal markers (or none) are left: the table has nothing
        // to list, so it is emptied and put away (a closed table stays closed).
        m_markerTable->clear();
        m_markerTable->hide();
        return;
    }
    QStringList ordered;
    for (int i = 0; i < texts.size(); i += 2)
        ordered << texts[i];
    for (int i = 1; i < texts.size(); i += 2)
        ordered << texts[i];
    m_markerTable->clear();
    if (m_markerTable->m_fixedColumns > 0)
        m_markerTable->setColumnCount(m_markerTable->m_fixedColumns);
    for (int i = 0; i < ordered.size(); ++i) {
        auto* item = new LegendItem(m_markerTable, ordered[i], Qt::black, i);
        item->m_style = m_markerTable->m_itemStyle;
    }
    m_markerTable->adjustSize();
    if (m_markerTable->isHidden() && m_markerTable->dockState() != DOCK_OFF)
        m_markerTable->show();
}
