// Plotter: the small slots of the plot's interface that no other family owns.
#include <cmath>

#include "core/curvewalks.h"
#include "platform/commanddialog.h"
#include "plot/plotter.h"

void Plotter::removeCurves() { removeCurves(promptCurves(true, nullptr, tr("Remove curve(s)"))); }

void Plotter::linData()
{
    cache(0);
    for (auto& [id, c] : m_curves) {
        std::vector<double>& v = c.values.mut();
        for (std::size_t i = 1; i < v.size(); i += 2)
            v[i] = std::pow(10.0, v[i]);
    }
    rescale();
}

void Plotter::logData()
{
    cache(0);
    QStringList report;
    for (auto& [id, c] : m_curves) {
        // A value at or below 0 has no logarithm: its point is left out,
        // never plotted as a made-up value. A curve with no value above 0
        // stays as it is.
        const std::vector<double>& in = c.values.vec();
        std::vector<double> out;
        out.reserve(in.size());
        std::size_t dropped = 0;
        for (std::size_t i = 0; i + 1 < in.size(); i += 2) {
            if (in[i + 1] <= 0) {
                ++dropped;
                continue;
            }
            out.push_back(in[i]);
            out.push_back(std::log10(in[i + 1]));
        }
        if (dropped == 0 && !in.empty()) {
            c.values = CurveValues(std::move(out));
        } else if (out.empty() && dropped > 0) {
            report << tr("log10(y): every value of C%1 is at or below 0; C%1 was left as it is.").arg(id + 1);
        } else if (dropped > 0) {
            c.values = CurveValues(std::move(out));
            report << tr("log10(y): %1 point(s) of C%2 at or below 0 were left out.").arg(dropped).arg(id + 1);
        }
    }
    if (!report.isEmpty())
        Q_EMIT transcript(report.join(QLatin1Char('\n')));
    rescale();
}

bool Plotter::logScaleX(bool on, SETGET mode)
{
    if (mode == SET)
        m_logX = on;
    return m_logX;
}

bool Plotter::logScaleY(bool on, SETGET mode)
{
    if (mode == SET)
        m_logY = on;
    return m_logY;
}

void Plotter::on_togDateTimeAxis()
{
    m_dateTimeAxis = !m_dateTimeAxis;
    plot();
}

void Plotter::sort(int index, bool redraw)
{
    cache(0);
    sortCurvesByX(m_curves, index);
    if (redraw)
        refreshPixmap();
}

void Plotter::sort(const IdArray& ids)
{
    cache(0);
    const IdArray list = resolveCurveIds(ids);
    ListedCurve at;
    while (CurveData* c = nextListedCurve(list, at))
        sortPointsByX(c->values.mut());
    rescale();
}

void Plotter::arithDiagClosed()
{
    if (!m_arithDialog)
        return;
    if (m_arithDialog->acceptedCommand())
        Q_EMIT command(m_arithDialog->commandText());
    m_arithDialog->deleteLater();
    m_arithDialog = nullptr;
}

void Plotter::curveIdentifierItemClicked(CurveListItem* item)
{
    if (item)
        highlightCurve(item->m_id - 1);
}

void Plotter::moveCopyCurve() { Q_EMIT reqCurvesMove(this); }
