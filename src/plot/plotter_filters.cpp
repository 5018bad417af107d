// Plotter: filtering with a designed filter, smoothing, and averaging by
// count and by span, in place or as new curves; and the checks of input
// shared by the analyses of this family.
#include <QCoreApplication>

#include <cfloat>
#include <cmath>
#include <exception>

#include "analysis/filterdesigner.h"
#include "analysis/smoothing.h"
#include "analysis/spectrum.h"
#include "analysis/timeunits.h"
#include "platform/prompter.h"
#include "plot/filterresponseview.h"
#include "plot/plotter.h"

namespace {

// The overlay question of smoothing and averaging: nothing when cancelled,
// else whether the results go to new curves.
std::optional<bool> askOverlay(QWidget* parent, const QString& label, bool overlay)
{
    const std::optional<QString> answer =
        kro::prompter().getItem(parent, QCoreApplication::translate("Plotter", "Add as new curve, or replace existing."),
                                label, {QStringLiteral("yes"), QStringLiteral("no")}, 0, false);
    if (!answer)
        return std::nullopt;
    return *answer == QLatin1String("no") ? false : overlay;
}

QString filterTitle(const FiltDesign& d)
{
    if (d.m_filterType == SMOOTH)
        return QStringLiteral("%1 moving average").arg(ordinalText(d.m_order));
    static const char* const responses[] = {"lowpass", "bandpass", "highpass"};
    const bool mega = d.m_band >= 1e6;
    return QStringLiteral("%1%2 %3 %4")
        .arg(QString::number(mega ? d.m_band / 1e6 : d.m_band, 'g', 6), mega ? QStringLiteral("MHz") : QStringLiteral("Hz"),
             ordinalText(d.m_order), QLatin1String(responses[d.m_responseType]));
}

} // namespace

bool Plotter::usableForAnalysis(int minPoints, bool finiteY, const std::vector<int>& ids)
{
    if (m_curves.empty()) {
        Q_EMIT transcript(tr("Error: The plot has no curves to analyse."));
        return false;
    }
    for (const auto& [id, c] : m_curves) {
        if (!ids.empty() && std::find(ids.begin(), ids.end(), id) == ids.end())
            continue;
        const std::size_t n = c.pointCount();
        if (n < static_cast<std::size_t>(minPoints)) {
            Q_EMIT transcript(tr("Error: Curve C%1 has %2 points; the analysis needs at least %3.")
                                  .arg(id + 1)
                                  .arg(n)
                                  .arg(minPoints));
            return false;
        }
        if (finiteY && !allFinite(c.values.data() + 1, n, 2)) {
            Q_EMIT transcript(
                tr("Error: Curve C%1 holds values that are not finite numbers; the analysis was not run.").arg(id + 1));
            return false;
        }
    }
    return true;
}

void Plotter::warnUnevenSpacing()
{
    for (const auto& [id, c] : m_curves) {
        const std::size_t n = c.pointCount();
        if (n < 3)
            continue;
        const double mean = (c.x(n - 1) - c.x(0)) / static_cast<double>(n - 1);
        bool even = std::isfinite(mean) && mean != 0;
        for (std::size_t i = 1; even && i < n; ++i)
            even = std::fabs(c.x(i) - c.x(i - 1) - mean) <= 1e-3 * std::fabs(mean);
        if (!even)
            Q_EMIT transcript(tr("Warning: Curve C%1 is not evenly spaced in x; its points are taken as samples at "
                                 "equal intervals.")
                                  .arg(id + 1));
    }
}

void Plotter::fir() { filterCurves(FIR); }
void Plotter::butterworth() { filterCurves(IIR); }
void Plotter::smooth_fir() { filterCurves(SMOOTH); }

void Plotter::filterCurves(int type)
{
    try {
        FiltDesign design(static_cast<FilterType>(type), makeFilterResponseView, this);
        design.field(FiltDesign::FS)->setText(QString::number(1.0 / sampleInterval(ALL_CURVES), 'g', 6));
        warnUnevenSpacing();
        if (kro::prompter().execDialog(&design) != QDialog::Accepted)
            return;
        cache(0);
        const int delay = design.m_removeDelay ? design.m_order / 2 : 0;
        std::vector<int> ids;
        for (const auto& [id, c] : m_curves)
            ids.push_back(id);
        for (int id : ids) {
            const CurveData& c = m_curves.at(id);
            // A value that is not a number would spread through every later
            // output of a recursive filter.
            if (!allFinite(c.values.data() + 1, c.pointCount(), 2)) {
                Q_EMIT transcript(
                    tr("Error: Curve C%1 holds values that are not finite numbers; it was not filtered.").arg(id + 1));
                continue;
            }
            // A curve shorter than a moving-average or FIR filter has no
            // output beyond the start-up; one no longer than the delay has
            // none at all.
            const std::size_t n = c.pointCount();
            const bool finiteImpulse = type == FIR || type == SMOOTH;
            if (n <= static_cast<std::size_t>(delay)) {
                Q_EMIT transcript(tr("Error: C%1 has %2 point(s); removing the filter's delay of %3 points would "
                                     "leave none. C%1 was left as it is.")
                                      .arg(id + 1)
                                      .arg(n)
                                      .arg(delay));
                continue;
            }
            if (finiteImpulse && n < design.m_b.size()) {
                Q_EMIT transcript(tr("Error: C%1 has %2 point(s), fewer than the %3 coefficients of the filter. C%1 "
                                     "was left as it is.")
                                      .arg(id + 1)
                                      .arg(n)
                                      .arg(design.m_b.size()));
                continue;
            }
            CurveData filtered(filterPoints(c.values, design.m_b, design.m_a, delay));
            const int target = design.m_overlay ? nextFreeCurveId() : id;
            setCurveData(target, std::move(filtered), false);
            if (design.m_overlay)
                setCurveTitle(target, filterTitle(design));
        }
        rescale();
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}

void Plotter::smoothData(int points) { smoothCurves(points, nullptr, true); }

void Plotter::smoothData(int points, const IdArray& ids, bool overlay) { smoothCurves(points, &ids, overlay); }

void Plotter::smoothCurves(int n, const IdArray* given, bool overlay)
{
    try {
        if (n <= 1) {
            const std::optional<int> asked =
                kro::prompter().getInt(this, tr("Smooth data"), tr("Number of points: "), 30, 2, 2147483647, 1);
            if (!asked)
                return;
            const std::optional<bool> o = askOverlay(this, tr("Overlay smoothed data?"), overlay);
            if (!o)
                return;
            n = *asked;
            overlay = *o;
        }
        const IdArray ids = given ? resolveCurveIds(*given) : promptCurves(true, nullptr, tr("Smooth data"));
        cache(0);
        showMessage(tr("Computing. Please Wait..."), -1);
        ListedCurve at;
        QStringList refused;
        while (CurveData* c = nextListedCurve(ids, at)) {
            const std::size_t count = c->pointCount();
            if (count < 2 * static_cast<std::size_t>(n)) {
                refused << tr("Error: C%1 has %2 point(s); smoothing by %3 points needs at least %4. C%1 was left "
                              "as it is.")
                               .arg(at.id + 1)
                               .arg(count)
                               .arg(n)
                               .arg(2 * static_cast<qint64>(n));
                continue;
            }
            std::vector<double> smoothed = centredMovingAverage(c->values, n);
            if (overlay) {
                const int target = nextFreeCurveId();
                setCurveData(target, CurveData(std::move(smoothed)), false);
                Q_EMIT verbose(ZEVOVE::INFO, tr("Smoothed curve C%1 by %2 points. New curve: C%3.")
                                                 .arg(at.id + 1)
                                                 .arg(n)
                                                 .arg(target + 1));
                setCurveTitle(target, tr("Smoothed across %1 points").arg(n));
            } else {
                c->values = CurveValues(std::move(smoothed));
                Q_EMIT verbose(ZEVOVE::INFO, tr("Smoothed curve C%1 by %2 points.").arg(at.id + 1).arg(n));
            }
        }
        deleteMsg();
        if (!refused.isEmpty())
            Q_EMIT transcript(refused.join(QLatin1Char('\n')));
        rescale();
    } catch (const std::exception& e) {
        deleteMsg();
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}

void Plotter::avgData(int points, bool overlay)
{
    try {
        if (points <= 1) {
            const std::optional<int> asked =
                kro::prompter().getInt(this, tr("Average data"), tr("Number of points: "), 30, 2, 2147483647, 1);
            if (!asked)
                return;
            const std::optional<bool> o = askOverlay(this, tr("Overlay averaged data?"), overlay);
            if (!o)
                return;
            points = *asked;
            overlay = *o;
        }
        const std::size_t n = static_cast<std::size_t>(points);
        averageCurves(overlay, [n](const CurveData& c) -> std::optional<std::vector<double>> {
            if (c.pointCount() < 2 * n)
                return std::nullopt;
            return blockMeans(c.values, static_cast<int>(n));
        }, tr("Averaged across %1 points").arg(points));
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}

void Plotter::avgDataSpan(double span, bool overlay)
{
    try {
        if (span <= 0) {
            const std::optional<double> asked =
                kro::prompter().getDouble(this, tr("Average data"), tr("Span: "), 1, 0, DBL_MAX, 15);
            if (!asked)
                return;
            const std::optional<bool> o = askOverlay(this, tr("Overlay averaged data?"), overlay);
            if (!o)
                return;
            span = *asked;
            overlay = *o;
        }
        // Every x would fall into a span of its own, or into none.
        if (!(span > 0) || !std::isfinite(span)) {
            Q_EMIT transcript(tr("Error: The span must be a number larger than 0; the curves were left as they are."));
            return;
        }
        averageCurves(overlay, [span](const CurveData& c) -> std::optional<std::vector<double>> {
            if (c.pointCount() == 0)
                return std::nullopt;
            return spanMeans(c.values, span);
        }, tr("Averaged across span of %1").arg(QString::number(span, 'g', 6)));
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}

void Plotter::averageCurves(bool overlay,
                            const std::function<std::optional<std::vector<double>>(const CurveData&)>& average,
                            const QString& title)
{
    bool accepted = false;
    const IdArray chosen = promptCurves(true, &accepted, tr("Average data"));
    if (!accepted || chosen.isEmpty())
        return;
    const std::vector<int> ids = chosen.ids();
    cache(0);
    std::vector<int> present;
    for (const auto& [id, c] : m_curves)
        present.push_back(id);
    for (int id : present) {
        if (std::find(ids.begin(), ids.end(), id) == ids.end())
            continue;
        std::optional<std::vector<double>> out = average(m_curves.at(id));
        if (!out)
            continue;
        const int target = overlay ? nextFreeCurveId() : id;
        setCurveData(target, CurveData(std::move(*out)), false);
        if (overlay)
            setCurveTitle(target, title);
    }
    rescale();
}
