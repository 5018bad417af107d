// Plotter: the legend and the marker table as panels of the plot (their
// dock states and colours), the legend position by word, and the curve
// identification panel's connections.
#include "plot/plotdiag.h"
#include "plot/plotter.h"

void Plotter::connectPanels()
{
    connect(m_legend, &PlotDiag::dockChanged, this, &Plotter::dockLegend);
    connect(m_markerTable, &PlotDiag::dockChanged, this, &Plotter::dockMarkerTable);

    // The panel has no parent widget: the plot deletes it.
    m_curveIdPanel = new CurveIDPanel(nullptr);
    m_curveIdPanel->setFont(QFont("Times", 10));
    m_curveIdPanel->m_prefix = QStringLiteral("C");
    m_curveIdPanel->m_spacedIds = false;
    connect(m_curveIdPanel, &CurveIDPanel::curve_id_clicked, this, &Plotter::curveIdentifierItemClicked);
    connect(m_curveIdPanel, &CurveIDPanel::line_color_selected, this, &Plotter::setLineColor);
    connect(m_curveIdPanel, &CurveIDPanel::shape_color_selected, this, &Plotter::setPointShapeColor);
    connect(m_curveIdPanel, &CurveIDPanel::fill_color_selected, this, &Plotter::setPointFillColor);
    connect(m_curveIdPanel, &CurveIDPanel::point_shape_selected, this, &Plotter::setPointShape);
}

namespace {
// The colour behind an embedded panel: the inside colour when its position
// lies strictly inside the plot area, else the outside colour.
QColor embeddedBackground(const Plotter& p, const QWidget* panel)
{
    const QPoint at = panel->pos();
    const bool inside = at.x() > p.m_marginLeft && at.y() > p.m_marginTop &&
                        at.x() < p.width() - 1 - p.m_marginRight && at.y() < p.height() - 1 - p.m_marginBottom;
    return inside ? p.m_insideColor : p.m_outsideColor;
}
} // namespace

void Plotter::dockLegend(DockState state)
{
    switch (state) {
    case DOCK_OFF:
        m_legend->hide();
        refreshPixmap();
        break;
    case DOCK_LEFT:
    case DOCK_RIGHT:
        m_legend->realign(ALIGN_VERTICAL);
        m_legend->setBackground(m_outsideColor);
        refreshPixmap();
        break;
    case DOCK_TOP:
    case DOCK_BOTTOM:
        m_legend->realign(ALIGN_HORIZONTAL);
        m_legend->setBackground(m_outsideColor);
        refreshPixmap();
        break;
    case DOCK_FLOAT:
        refreshPixmap();
        break;
    case DOCK_EMBED:
        m_legend->setBackground(embeddedBackground(*this, m_legend));
        break;
    }
}

void Plotter::dockMarkerTable(DockState state)
{
    switch (state) {
    case DOCK_OFF:
        m_markerTable->hide();
        refreshPixmap();
        break;
    case DOCK_RIGHT:
        m_markerTable->setBackground(m_outsideColor);
        refreshPixmap();
        break;
    case DOCK_FLOAT:
        m_markerTable->setBackground(m_insideColor);
        refreshPixmap();
        break;
    case DOCK_EMBED:
        m_markerTable->setBackground(embeddedBackground(*this, m_markerTable));
        break;
    default:
        break;
    }
}

QString Plotter::setLegendPosition(const QString& word, int mode, bool force)
{
    static const std::pair<const char*, DockState> words[] = {
        {"off", DOCK_OFF}, {"top", DOCK_TOP}, {"bottom", DOCK_BOTTOM}, {"left", DOCK_LEFT}, {"right", DOCK_RIGHT},
    };
    if (mode == SET) {
        DockState state = m_legend->dockState();
        for (const auto& [w, s] : words)
            if (word == QLatin1String(w))
                state = s;
        if ((m_legend->count() > 1 || force) && state != DOCK_OFF)
            m_legend->show();
        else
            m_legend->hide();
        m_legend->setDockStateQuietly(state);
        dockLegend(state);
    }
    for (const auto& [w, s] : words)
        if (s == m_legend->dockState())
            return QString::fromLatin1(w);
    return QString("");
}
