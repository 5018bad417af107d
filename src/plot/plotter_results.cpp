// Plotter: the steps shared by analyses whose results go to a new plot.
#include <exception>

#include "plot/plotdiag.h"
#include "plot/plotter.h"

Plotter* Plotter::runResultAnalysis(const ResultPlotSetup& setup,
                                    const std::function<void(Plotter& result, ResultPlotTexts& texts)>& compute)
{
    Plotter* result = clonePlotter(setup.name, setup.logX ? 1 : 0, setup.logY ? 1 : 0, setup.copyLegend);
    result->showMessage(tr("Computing. Please Wait..."), -1);
    ResultPlotTexts texts;
    try {
        compute(*result, texts);
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
        return result;
    }
    if (setup.takeUndo)
        result->cache(0);
    if (!texts.title.isNull())
        result->title(texts.title, SET);
    if (!texts.xLabel.isNull())
        result->xLabel(texts.xLabel, SET);
    if (!texts.yLabel.isNull())
        result->yLabel(texts.yLabel, SET);
    if (!texts.footnote.isNull())
        result->footnote(texts.footnote, SET);
    for (const auto& [id, text] : texts.legend)
        result->setCurveTitle(id, text);
    result->deleteMsg();
    result->rescale();
    if (setup.refreshLegend) {
        result->legend()->adjustSize();
        result->legend()->update();
        result->reshapeLabels();
    }
    Q_EMIT plotterSettingsChanged(result);
    return result;
}
