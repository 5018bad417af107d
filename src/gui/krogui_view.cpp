// View and appearance command slots: ranges, ticks, grid, bars, lines and
// points, layout, legend, labels, fonts, background and pointer modes.
#include "gui/krogui.h"

#include "command/commandedit.h"
#include "core/settings.h"
#include "gui/kroguicalls.h"
#include "gui/windowtexts.h"
#include "plot/plotter.h"
#include "tabs/plotterctrl.h"
#include "tabs/plotterquad.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cfloat>

namespace {
constexpr double kAutoFloor = DBL_MAX;
}

void KROGui::on_autoScale() { applyToPlotters([](Plotter* p) { p->rescale(); }); }

void KROGui::on_rescale() { on_autoScale(); }

void KROGui::on_span(std::pair<double, double> limits, bool xAxis)
{
    applyToPlotters([&](Plotter* p) {
        if (limits.first == limits.second)
            xAxis ? p->autoDomain() : p->autoRange();
        else if (xAxis)
            p->setDomain(AxisRange(limits.first, limits.second));
        else
            p->setRange(AxisRange(limits.first, limits.second));
    });
    applyToPlotters([](Plotter* p) { p->rescale(); });
}

void KROGui::on_gran(double x, double y, OPTSTATES::DIMENSION_QUERY flags)
{
    Plotter* active = activePlotter();
    if (!active)
        return;
    auto shown = [](double g) { return g > 0 ? generalNumber(g, 6) : QStringLiteral("auto"); };
    if (flags & OPTSTATES::X_QUERY)
        say(tr("V Granularity: %1").arg(shown(active->m_xGranularity)));
    if (flags & OPTSTATES::Y_QUERY)
        say(tr("H Granularity: %1").arg(shown(active->m_yGranularity)));
    if (flags & OPTSTATES::X_SET)
        applyToPlotters([x](Plotter* p) { p->setXTickGranularity(x); });
    if (flags & OPTSTATES::Y_SET)
        applyToPlotters([y](Plotter* p) { p->setYTickGranularity(y); });
}

void KROGui::on_grid(PDESIGN::GRIDLINES lines, bool on)
{
    applyToPlotters([&](Plotter* p) {
        const int current = (p->m_gridHorizontal ? 2 : 0) | (p->m_gridVertical ? 1 : 0);
        const int next = on ? (current | lines) : (current & ~int(lines));
        if (next == current)
            return;
        p->m_gridHorizontal = (next & 2) != 0;
        p->m_gridVertical = (next & 1) != 0;
        p->plot();
    });
}

void KROGui::on_bar(OPTSTATES::QUADSTATE state)
{
    Plotter* active = activePlotter();
    if (!active)
        return;
    const bool mode = state == OPTSTATES::ON ? true : state == OPTSTATES::OFF ? false : !active->m_barMode;
    callTargetsThenPlot("barMode(bool,SETGET)", Q_ARG(bool, mode), Q_ARG(SETGET, SET));
}

void KROGui::on_barfloor(double value, bool query)
{
    Plotter* active = activePlotter();
    if (!active)
        return;
    if (query) {
        say(active->m_barFloor == kAutoFloor ? tr("barfloor = auto")
                                             : tr("barfloor = %1").arg(generalNumber(active->m_barFloor, 6)));
        return;
    }
    callTargetsThenPlot("barFloor(double,SETGET)", Q_ARG(double, value), Q_ARG(SETGET, SET));
}

void KROGui::on_linewidth(int width)
{
    Plotter* active = activePlotter();
    if (!active)
        return;
    if (width < 0) {
        say(tr("Linewidth = %1").arg(active->m_lineWidth));
        return;
    }
    callTargetsThenPlot("lineWidth(int,SETGET)", Q_ARG(int, width), Q_ARG(SETGET, SET));
}

void KROGui::on_pntrad(int radius)
{
    Plotter* active = activePlotter();
    if (!active)
        return;
    if (radius < 0) {
        say(tr("Pntrad = %1").arg(active->m_pointDiameter / 2));
        return;
    }
    callTargetsThenPlot("pointRadius(int,SETGET)", Q_ARG(int, radius), Q_ARG(SETGET, SET));
}

void KROGui::on_lines(const IdArray& ids, OPTSTATES::QUADSTATE state)
{
    callTargets("setLines(std::vector<int>,OPTSTATES::QUADSTATE)", Q_ARG(std::vector<int>, toIdVector(ids)),
                Q_ARG(OPTSTATES::QUADSTATE, state));
}

void KROGui::on_pnts(const IdArray& ids, OPTSTATES::QUADSTATE state)
{
    callTargets("setPoints(std::vector<int>,OPTSTATES::QUADSTATE)", Q_ARG(std::vector<int>, toIdVector(ids)),
                Q_ARG(OPTSTATES::QUADSTATE, state));
}

void KROGui::on_layout(const QString& word)
{
    PlotterQuad* quad = m_plotterCtrl->currentQuad();
    if (!quad)
        return;
    if (word.isNull()) {
        say(quad->m_quadLayout ? tr("Layout = quad") : tr("Layout = stacked"));
    } else if (word == QLatin1String("stacked")) {
        quad->m_quadLayout = 0;
        quad->layoutStacked();
    } else {
        quad->m_quadLayout = 1;
        quad->layoutQuad();
    }
}

void KROGui::on_legend(const std::vector<std::string>& texts)
{
    if (texts.empty())
        return;
    if (Plotter* p = activePlotter())
        p->setLegendTexts(texts);
}

void KROGui::on_legendpos(const QString& position)
{
    callTargets("setLegendPosition(QString,int,bool)", Q_ARG(QString, position), Q_ARG(int, 0), Q_ARG(bool, true));
}

void KROGui::on_title(const QString& text)
{
    Plotter* p = activePlotter();
    if (!p)
        return;
    // A template is a file of the template folder itself: a text holding a
    // path separator never reads a file elsewhere.
    const bool mayNameTemplate = !text.contains(QLatin1Char('/')) && !text.contains(QLatin1Char('\\'));
    p->title(mayNameTemplate ? m_plotterCtrl->resolveLabelTemplate(text) : text, SET, true, false);
}

void KROGui::on_xlabel(const QString& text)
{
    if (Plotter* p = activePlotter())
        p->xLabel(text, SET, true, false);
}

void KROGui::on_ylabel(const QString& text)
{
    if (Plotter* p = activePlotter())
        p->yLabel(text, SET, true, false);
}

void KROGui::on_footnote(const QString& text)
{
    if (Plotter* p = activePlotter())
        p->footnote(text, SET);
}

void KROGui::on_tickfontfamily(const QString& family)
{
    callTargetsThenPlot("tickFontFamily(QString,SETGET)", Q_ARG(QString, family), Q_ARG(SETGET, SET));
}

void KROGui::on_tickfontsize(int size)
{
    callTargetsThenPlot("tickFontSize(int,SETGET)", Q_ARG(int, size), Q_ARG(SETGET, SET));
}

void importBackgroundImage(const QString& path)
{
    if (path.isEmpty())
        return;
    const QString folder = getBackgroundTemplatePath();
    const QString target = QDir(folder).filePath(QFileInfo(path).fileName());
    if (QFileInfo::exists(target))
        return;
    QDir().mkpath(folder);
    if (QFile::copy(path, target) && QFileInfo::exists(target))
        writeSetting(QStringLiteral("backgroundimage"), target);
}

void KROGui::on_backgroundimage(const QString& path)
{
    importBackgroundImage(path);
    const QString stored = getBackgroundImage();
    applyToPlotters([&](Plotter* p) { p->loadBackgroundImage(stored); });
    applyToPlotters([](Plotter* p) { p->plot(); });
}

void KROGui::on_backgroundimagestyle(int style)
{
    applyToPlotters([style](Plotter* p) { p->setBackgroundImageStyle(style); });
    applyToPlotters([](Plotter* p) { p->plot(); });
}

void KROGui::on_setCrop(bool on) { callTargets("setCropMode(bool,SETGET)", Q_ARG(bool, on), Q_ARG(SETGET, SET)); }

void KROGui::on_setEraser(bool on) { callTargets("setEraserMode(bool,SETGET)", Q_ARG(bool, on), Q_ARG(SETGET, SET)); }

void KROGui::on_setDataSel(bool on)
{
    callTargets("setDataSelectMode(bool,SETGET)", Q_ARG(bool, on), Q_ARG(SETGET, SET));
}

void KROGui::on_setPan(bool on) { callTargets("setPanMode(bool,SETGET)", Q_ARG(bool, on), Q_ARG(SETGET, SET)); }

void KROGui::on_snapTo(bool on) { callTargets("snapTo(bool,SETGET)", Q_ARG(bool, on), Q_ARG(SETGET, SET)); }
