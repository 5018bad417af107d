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
    for (auto& [id, c] : m_curves) {
        std::vector<double>& v = c.values.mut();
        for (std::size_t i = 1; i < v.size(); i += 2) {
            const double l = std::log10(v[i]);
            v[i] = std::isfinite(l) ? l : 0.0;
        }
    }
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
