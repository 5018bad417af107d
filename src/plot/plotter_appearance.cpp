// Plotter: point size, line width, line and point switches, point shapes and
// curve colours, bar mode, grid and intensity switches, the plot-wide colours
// with their light and dark schemes, the tick font, the 3-D depth and the
// curve identification panel.
#include <QLabel>

#include <algorithm>
#include <array>
#include <cmath>

#include "core/settings.h"
#include "platform/prompter.h"
#include "plot/actionlabel.h"
#include "plot/plotdiag.h"
#include "plot/plotter.h"
#include "plot/rotlabel.h"

namespace {

const QColor kLightGrid(192, 192, 192);
const QColor kDarkGrid(128, 128, 128);
const QColor kLightAxes(53, 53, 80);
const QColor kDarkAxes(170, 170, 255);
const QColor kLightFootnote(103, 103, 140);

void setBackgroundOf(QWidget* w, const QColor& colour)
{
    if (!w)
        return;
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
}

// The legend sample of a curve: a line sample when its line shows (a light
// band when only its points show) and a point circle when its points show.
int legendStyleOf(const Zavozi::CurveAttributes& a) { return (a.showLine ? 2 : 5) | (a.showPoints ? 4 : 0); }

} // namespace

// ---------------------------------------------------------------------------
// Set-or-query values

int Plotter::pointRadius(int radius, SETGET mode)
{
    if (mode != SET)
        return m_pointDiameter / 2;
    if (radius < 0) {
        // The stored setting is a diameter.
        m_pointDiameter = readSettingInt("pntrad", 5);
    } else {
        const long long d = 2LL * radius + 1;
        m_pointDiameter = int(std::clamp(d, 3LL, 201LL));
    }
    return m_pointDiameter / 2;
}

int Plotter::lineWidth(int width, SETGET mode)
{
    if (width >= 0 && mode == SET)
        m_lineWidth = width;
    return m_lineWidth;
}

bool Plotter::barMode(bool on, SETGET mode)
{
    if (mode == SET)
        m_barMode = on;
    return m_barMode;
}

double Plotter::barFloor(double floor, SETGET mode)
{
    if (mode == SET)
        m_barFloor = floor;
    return m_barFloor;
}

int Plotter::tickFontSize(int size, SETGET mode)
{
    if (mode == SET && size > 0) {
        m_tickFont.setPointSize(size);
        m_tickFontHeight = QFontMetrics(m_tickFont).height();
        refreshPixmap();
    }
    return m_tickFont.pointSize();
}

QString Plotter::tickFontFamily(const QString& family, SETGET mode)
{
    if (mode == SET) {
        m_tickFont.setFamily(family);
        m_tickFontHeight = QFontMetrics(m_tickFont).height();
        refreshPixmap();
    }
    return m_tickFont.family();
}

// ---------------------------------------------------------------------------
// Plot colours

const QColor& Plotter::setGridColor(const QColor& colour)
{
    if (colour != m_gridColor) {
        m_gridColor = colour;
        refreshPixmap();
    }
    return m_gridColor;
}

const QColor& Plotter::setInsideColor(const QColor& colour)
{
    if (colour != m_insideColor) {
        m_insideColor = colour;
        setBackgroundOf(m_coordLabel, m_insideColor);
        refreshPixmap();
    }
    return m_insideColor;
}

const QColor& Plotter::outsideColor(const QColor& colour, int mode)
{
    if (mode == GET || colour == m_outsideColor)
        return m_outsideColor;
    m_outsideColor = colour;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colour);
    pal.setColor(QPalette::Base, colour);
    setPalette(pal);
    setBackgroundOf(m_title, colour);
    setBackgroundOf(m_xLabel, colour);
    setBackgroundOf(m_yLabel, colour);
    setBackgroundOf(m_footnote, colour);
    switch (m_legend->dockState()) {
    case DOCK_LEFT:
    case DOCK_RIGHT:
    case DOCK_TOP:
    case DOCK_BOTTOM:
        m_legend->setBackground(colour);
        break;
    default:
        break;
    }
    if (m_markerTable->dockState() == DOCK_RIGHT)
        m_markerTable->setBackground(colour);
    refreshPixmap();
    return m_outsideColor;
}

bool Plotter::pickColour(QColor& colour)
{
    const auto chosen = kro::prompter().getColor(colour, nullptr, tr("Select Color"));
    if (!chosen || !chosen->isValid() || *chosen == colour)
        return false;
    colour = *chosen;
    return true;
}

void Plotter::changeAxesColor()
{
    if (!pickColour(m_axesColor))
        return;
    m_xLabel->setColor(m_axesColor);
    m_yLabel->setColor(m_axesColor);
    refreshPixmap();
}

void Plotter::changeAxesMarkersColor()
{
    if (pickColour(m_axesMarkersColor))
        refreshPixmap();
}

void Plotter::changeFootnoteColor()
{
    if (!pickColour(m_footnoteColor))
        return;
    m_footnote->setColor(m_footnoteColor);
    refreshPixmap();
}

void Plotter::changeGridColor()
{
    if (pickColour(m_gridColor))
        refreshPixmap();
}

void Plotter::changeTitleColor()
{
    if (!pickColour(m_titleColor))
        return;
    m_title->setColor(m_titleColor);
    refreshPixmap();
}

void Plotter::changeInsideColor()
{
    QColor chosen = m_insideColor;
    if (!pickColour(chosen))
        return;
    auto readout = [this](const QColor& back, const QColor& text) {
        QPalette pal = m_coordLabel->palette();
        pal.setColor(QPalette::Window, back);
        pal.setColor(QPalette::WindowText, text);
        m_coordLabel->setPalette(pal);
    };
    if (chosen == QColor(Qt::black)) {
        if (m_gridColor == kLightGrid)
            m_gridColor = kDarkGrid;
        readout(Qt::black, Qt::white);
    } else if (chosen == QColor(Qt::white)) {
        if (m_gridColor == kDarkGrid)
            m_gridColor = kLightGrid;
        readout(Qt::white, Qt::black);
    }
    setInsideColor(chosen);
}

void Plotter::changeOutsideColor()
{
    QColor chosen = m_outsideColor;
    if (!pickColour(chosen))
        return;
    // Only colours still at the other scheme's value follow the swap; a
    // colour the user chose stays.
    auto swap = [](QColor& c, const QColor& from, const QColor& to) {
        if (c != from)
            return false;
        c = to;
        return true;
    };
    const bool dark = chosen == QColor(Qt::black);
    const bool light = chosen == QColor(Qt::white);
    if (dark || light) {
        const QColor axesFrom = dark ? kLightAxes : kDarkAxes, axesTo = dark ? kDarkAxes : kLightAxes;
        if (swap(m_axesColor, axesFrom, axesTo)) {
            m_xLabel->setColor(m_axesColor);
            m_yLabel->setColor(m_axesColor);
        }
        swap(m_axesMarkersColor, dark ? QColor(Qt::black) : QColor(Qt::white),
             dark ? QColor(Qt::white) : QColor(Qt::black));
        if (swap(m_footnoteColor, dark ? kLightFootnote : kDarkAxes, dark ? kDarkAxes : kLightFootnote))
            m_footnote->setColor(m_footnoteColor);
        if (swap(m_titleColor, axesFrom, axesTo))
            m_title->setColor(m_titleColor);
    }
    outsideColor(chosen, SET);
}

// ---------------------------------------------------------------------------
// Lines, points and shapes of curves

void Plotter::setLinesOrPoints(int id, bool points, OPTSTATES::QUADSTATE state)
{
    const auto it = m_curves.find(id);
    if (it == m_curves.end())
        return;
    Zavozi::CurveAttributes& a = it->second.attributes;
    const bool on = state == OPTSTATES::TOGGLE ? !(points ? a.showPoints : a.showLine) : state == OPTSTATES::ON;
    // A curve always shows its lines or its points.
    if (points) {
        a.showPoints = on || !a.showLine;
    } else {
        a.showLine = on;
        if (!on && !a.showPoints)
            a.showPoints = true;
    }
    if (LegendItem* item = m_legend->findItem(id)) {
        item->m_style = legendStyleOf(a);
        m_legend->update();
    }
}

void Plotter::applyLinesOrPoints(const std::vector<int>& ids, bool points, OPTSTATES::QUADSTATE state)
{
    for (int id : resolveCurveIdVector(ids))
        setLinesOrPoints(id, points, state);
    refreshPixmap();
}

void Plotter::setLines(const std::vector<int>& ids, OPTSTATES::QUADSTATE state)
{
    applyLinesOrPoints(ids, false, state);
}

void Plotter::setPoints(const std::vector<int>& ids, OPTSTATES::QUADSTATE state)
{
    applyLinesOrPoints(ids, true, state);
}

bool Plotter::allPointsShown() const
{
    return std::all_of(m_curves.begin(), m_curves.end(), [](const auto& e) { return e.second.attributes.showPoints; });
}

bool Plotter::allLinesShown() const
{
    return std::all_of(m_curves.begin(), m_curves.end(), [](const auto& e) { return e.second.attributes.showLine; });
}

void Plotter::cycleCurveColors()
{
    if (!m_curves.empty()) {
        auto colours = [](const Zavozi::CurveAttributes& a) {
            return std::array<Rgb, 3>{a.pointShapeColor, a.pointFillColor, a.lineColor};
        };
        auto assign = [](Zavozi::CurveAttributes& a, const std::array<Rgb, 3>& c) {
            a.pointShapeColor = c[0];
            a.pointFillColor = c[1];
            a.lineColor = c[2];
        };
        const std::array<Rgb, 3> first = colours(m_curves.begin()->second.attributes);
        for (auto it = m_curves.begin(); it != m_curves.end(); ++it) {
            const auto next = std::next(it);
            assign(it->second.attributes, next == m_curves.end() ? first : colours(next->second.attributes));
        }
    }
    refreshPixmap();
}

void Plotter::setCurveColour(int id, Rgb Zavozi::CurveAttributes::*which, Rgb colour)
{
    const auto it = m_curves.find(id);
    if (it == m_curves.end())
        return;
    it->second.attributes.*which = colour;
    refreshPixmap();
}

void Plotter::setLineColor(int id, Rgb colour) { setCurveColour(id, &Zavozi::CurveAttributes::lineColor, colour); }

void Plotter::setPointShapeColor(int id, Rgb colour)
{
    setCurveColour(id, &Zavozi::CurveAttributes::pointShapeColor, colour);
}

void Plotter::setPointFillColor(int id, Rgb colour)
{
    setCurveColour(id, &Zavozi::CurveAttributes::pointFillColor, colour);
}

void Plotter::setPointShape(int id, Zavozi::CurveAttributes::PointStyle shape)
{
    const auto it = m_curves.find(id);
    if (it == m_curves.end())
        return;
    it->second.attributes.pointStyle = shape;
    setLinesOrPoints(id, true, OPTSTATES::ON);
    refreshPixmap();
}

// ---------------------------------------------------------------------------
// Switches

void Plotter::on_togBar()
{
    m_barMode = !m_barMode;
    plot();
}

void Plotter::on_togGrid()
{
    const bool on = !(m_gridHorizontal || m_gridVertical);
    m_gridHorizontal = m_gridVertical = on;
    plot();
}

void Plotter::on_togLine()
{
    for (auto& [id, c] : m_curves)
        setLinesOrPoints(id, false, OPTSTATES::TOGGLE);
    plot();
}

void Plotter::on_togLineIntensity()
{
    m_lineIntensity = !m_lineIntensity;
    plot();
}

void Plotter::on_togPnts()
{
    for (auto& [id, c] : m_curves)
        setLinesOrPoints(id, true, OPTSTATES::TOGGLE);
    plot();
}

// ---------------------------------------------------------------------------
// Stepping line width and point size

void Plotter::decreaseLineWidth()
{
    if (m_lineWidth <= 0)
        return;
    m_lineWidth = m_lineWidth == 2 ? 0 : m_lineWidth - 1;
    refreshPixmap();
}

void Plotter::increaseLineWidth()
{
    m_lineWidth = m_lineWidth == 0 ? 2 : m_lineWidth + 1;
    refreshPixmap();
}

void Plotter::decreasePntRadius()
{
    if (m_pointDiameter <= 3)
        return;
    m_pointDiameter -= 2;
    refreshPixmap();
}

void Plotter::increasePntRadius()
{
    m_pointDiameter += 2;
    refreshPixmap();
}

// ---------------------------------------------------------------------------
// Prompts

void Plotter::rotate3Dx()
{
    const int initial = int(std::trunc(std::exp(std::log(31.0) - (m_depthX - 1.0) / 31.0) - 1.0));
    if (auto n = kro::prompter().getInt(this, tr("3D Rotation"), tr("Horizontal"), initial, 0, 30, 1))
        m_depthX = 31.0 * (std::log(31.0) - std::log(*n + 1.0)) + 1.0;
    refreshPixmap();
}

void Plotter::rotate3Dy()
{
    const int initial = int(std::trunc(11.0 - m_depthY));
    if (auto n = kro::prompter().getInt(this, tr("3D Rotation"), tr("Vertical"), initial, 0, 30, 1))
        m_depthY = 11.0 - *n;
    refreshPixmap();
}

void Plotter::setTickFontSize()
{
    if (auto size = kro::prompter().getInt(this, tr("Tick Font Size"), tr("Adjust font size"),
                                           m_tickFont.pointSize(), 4, 32, 1))
        tickFontSize(*size, SET);
}

// ---------------------------------------------------------------------------
// Curve identification panel

void Plotter::refreshCurveIdPanel()
{
    if (!m_curveIdPanel)
        return;
    m_curveIdPanel->m_descriptors.clear();
    m_curveIdPanel->setCurves(lineColorById(m_curves));
    // One text per curve, empty for a curve without a legend entry (curves
    // restored without a title, or created by a live batch), so the panel
    // and the curves always match.
    const QStringList descriptors = curveDescriptors();
    const std::vector<QString> texts(descriptors.begin(), descriptors.end());
    m_curveIdPanel->m_descriptors = texts;
    for (int i = 0; i < m_curveIdPanel->count() && i < int(texts.size()); ++i) {
        if (CurveListItem* item = m_curveIdPanel->curveItem(i))
            item->m_extraText = texts[std::size_t(i)].isEmpty() ? QString() : QStringLiteral(" - ") + texts[std::size_t(i)];
    }
    m_curveIdPanel->doItemsLayout();
    m_curveIdPanel->viewport()->update();
}
