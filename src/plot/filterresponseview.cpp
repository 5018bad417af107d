#include "plot/filterresponseview.h"

#include <QPointer>

#include "plot/actionlabel.h"
#include "plot/plotter.h"
#include "plot/rotlabel.h"

namespace {

class PlotterResponseView final : public FilterResponseView {
public:
    explicit PlotterResponseView(QWidget* parent) : m_plot(new Plotter(parent, "FilterResponse"))
    {
        m_plot->m_fillPlotArea = true;
        m_plot->titleLabel()->fontPointSize(8);
        m_plot->xLabelWidget()->fontPointSize(8);
        m_plot->yLabelWidget()->fontPointSize(8);
        m_plot->xLabel(QStringLiteral("Frequency (Hz)"), SET);
        m_plot->yLabel(QStringLiteral("Magnitude (dB)"), SET);
        m_plot->footnote(QString(), SET);
    }

    QWidget* widget() override { return m_plot; }
    Plotter* plot() const { return m_plot; }

    void showResponse(const std::vector<double>& points, const std::vector<double>& markers,
                      const QString& title) override
    {
        if (!m_plot)
            return;
        m_plot->setCurveData(0, CurveData(points), false);
        m_plot->removeAllMarkers();
        for (double x : markers)
            m_plot->addVMarker(&x, false);
        m_plot->title(title, SET);
        m_plot->rescale();
    }

private:
    QPointer<Plotter> m_plot;
};

} // namespace

std::unique_ptr<FilterResponseView> makeFilterResponseView(QWidget* parent)
{
    return std::make_unique<PlotterResponseView>(parent);
}

Plotter* responsePlot(FilterResponseView* view)
{
    auto* v = dynamic_cast<PlotterResponseView*>(view);
    return v ? v->plot() : nullptr;
}
