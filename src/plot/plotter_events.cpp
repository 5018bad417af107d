// Plotter: results that worker threads post to the plot. The Allan-deviation
// engines deliver result curves, progress texts and their completion; the
// expression workers their finished curve.
#include <algorithm>
#include <cmath>
#include <exception>

#include "analysis/adevthread.h"
#include "core/expressionthread.h"
#include "plot/plotdiag.h"
#include "plot/plotter.h"

void Plotter::customEvent(QEvent* event)
{
    try {
        switch (int(event->type())) {
        case KroEvent::EXPRESSION_DONE:
            expressionFinished(static_cast<ExpressionThreadDone*>(event)->thread());
            return;
        case ADEVEVENT::RESULT:
            adevResult(static_cast<AdevUpdateEvent*>(event));
            return;
        case ADEVEVENT::PROGRESS:
            adevProgress(static_cast<AdevUpdateEvent*>(event));
            return;
        case ADEVEVENT::DONE:
            adevDone(static_cast<AdevUpdateEvent*>(event));
            return;
        default:
            QWidget::customEvent(event);
        }
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}

void Plotter::adevResult(AdevUpdateEvent* event)
{
    // Only an engine this plot owns keeps the curve alive.
    if (std::find(m_adevThreads.begin(), m_adevThreads.end(), event->thread) == m_adevThreads.end() ||
        !event->result)
        return;
    if (!event->error.isEmpty())
        Q_EMIT transcript(tr("Error: %1").arg(event->error));
    if (event->result->values.empty() && event->error.isEmpty() && event->finished) {
        // An empty curve is always explained: the legend alone would not.
        const std::size_t need = event->type == MTIE ? 2 : 5;
        QString why;
        if (event->samples < need)
            why = tr("the curve has %1 point(s); this statistic needs at least %2").arg(event->samples).arg(need);
        else if (event->zeroSums > 0)
            why = tr("every value is exactly 0 (constant or evenly rising data), which a logarithmic axis cannot "
                     "show");
        else
            why = tr("no averaging time gave a value");
        Q_EMIT transcript(tr("No Allan deviation points for C%1 (%2): %3.")
                              .arg(event->curve + 1)
                              .arg(adevTypeName(event->type), why));
    } else if (event->zeroSums > 0)
        Q_EMIT verbose(ZEVOVE::INFO,
                       tr("%1: %2 averaging time(s) left out: the deviation there is exactly 0, which a "
                          "logarithmic axis cannot show.")
                           .arg(event->title)
                           .arg(event->zeroSums));
    const std::vector<double>& points = event->result->values.vec();
    for (std::size_t i = 1; i < points.size(); i += 2) {
        if (!std::isfinite(points[i])) {
            Q_EMIT verbose(ZEVOVE::WARNING,
                           tr("%1: the curve holds values that are not finite numbers, and so do its deviations.")
                               .arg(event->title));
            break;
        }
    }
    setCurveData(event->key, CurveData(*event->result), false);
    setCurveTitle(event->key, event->title);
    auto it = m_curves.find(event->key);
    if (it != m_curves.end()) {
        it->second.attributes.showPoints = true;
        if (LegendItem* item = m_legend->findItem(event->key)) {
            item->m_style = it->second.attributes.showLine ? 6 : 5;
            m_legend->adjustSize();
            m_legend->update();
        }
    }
    // The curves grow in a plot that follows them.
    rescale();
    Q_EMIT plotterSettingsChanged(this);
}

void Plotter::adevProgress(AdevUpdateEvent* event)
{
    if (std::find(m_adevThreads.begin(), m_adevThreads.end(), event->thread) == m_adevThreads.end())
        return;
    showMessage(tr("%1").arg(event->thread->progressText()), -1);
}

void Plotter::adevDone(AdevUpdateEvent* event)
{
    auto it = std::find(m_adevThreads.begin(), m_adevThreads.end(), event->thread);
    if (it == m_adevThreads.end())
        return;
    cache(0);
    cache(1);
    showMessage(tr("Allan Deviation computations complete."), 2);
    Q_EMIT plotterSettingsChanged(this);
    AdevThread* engine = *it;
    engine->wait();  // DONE is the engine thread's last act
    m_adevThreads.erase(it);
    delete engine;
    Q_EMIT adevstopped(this);
}
