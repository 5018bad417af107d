// Plotter: the plot area, the mapping between data values and pixels of the
// view in force, and the texts of the tick labels.
#include <cmath>
#include <limits>

#include "plot/plotter.h"
#include "plot/ticklabels.h"

QRect Plotter::plotArea() const
{
    return QRect(QPoint(m_marginLeft, m_marginTop),
                 QPoint(width() - 1 - m_marginRight, height() - 1 - m_marginBottom));
}

namespace {
// Rounds half away from zero; values that are not finite or far outside any
// screen land far outside the widget instead of overflowing an int.
int roundPixel(double v)
{
    constexpr double limit = 1 << 24;
    if (std::isnan(v))
        return -int(limit);
    v = std::clamp(v, -limit, limit);
    return static_cast<int>(v > 0 ? v + 0.5 : v - 0.5);
}
// The plot area and the ranges in force, as the mapping uses them.
struct AreaMapping {
    AxisRange xr, yr;
    int L, B;
    double W, H;
};

AreaMapping areaMapping(const Plotter& p)
{
    const ViewRect& v = p.view();
    return {v.xRange(),
            v.yRange(),
            p.m_marginLeft,
            p.height() - 1 - p.m_marginBottom,
            double(p.width() - p.m_marginLeft - p.m_marginRight),
            double(p.height() - p.m_marginTop - p.m_marginBottom)};
}
} // namespace

QPoint Plotter::dataToPixel(double x, double y, bool raw) const
{
    if (!raw) {
        if (m_logX)
            x = m_logXSign * std::log10(std::fabs(x));
        if (m_logY)
            y = m_logYSign * std::log10(std::fabs(y));
    }
    const auto [xr, yr, L, B, W, H] = areaMapping(*this);
    const double px = L + (W - 1) * (x - xr.min) / (xr.max - xr.min);
    const double py = B - (H - 1) * (y - yr.min) / (yr.max - yr.min);
    return QPoint(roundPixel(px), roundPixel(py));
}

QPointF Plotter::pixelToData(const QPoint& p) const
{
    const auto [xr, yr, L, B, W, H] = areaMapping(*this);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    double x = W > 1 ? (p.x() - L) * (xr.max - xr.min) / (W - 1) + xr.min : nan;
    double y = H > 1 ? (B - p.y()) * (yr.max - yr.min) / (H - 1) + yr.min : nan;
    if (m_logX)
        x = m_logXSign * std::pow(10.0, m_logXSign * x);
    if (m_logY)
        y = m_logYSign * std::pow(10.0, m_logYSign * y);
    return {x, y};
}

int Plotter::tickLabelHeight(bool raw) const
{
    return (m_dateTimeAxis && !raw) ? 2 * m_tickFontHeight : m_tickFontHeight;
}

QString Plotter::tickLabel(char& format, int& precision) const
{
    const ViewRect& v = view();
    if (m_logY) {
        format = 'e';
        precision = 0;
        QString longest;
        for (const QString& s : ticklabels::decadeLabels(v.yRange(), m_logYSign))
            if (s.size() > longest.size())
                longest = s;
        return longest;
    }
    const ticklabels::YFormat f = ticklabels::chooseYFormat(v.yTicks);
    format = f.format;
    precision = f.precision;
    return f.longest;
}

QStringList Plotter::xTickLabels(int* decimals) const
{
    const ViewRect& v = view();
    const AxisTicks& t = v.xTicks;
    int p = 0;
    QStringList labels = ticklabels::fixedLabels(t, &p);
    if (m_dateTimeAxis) {
        const bool timeOfDay = !m_curves.empty() && minX() >= 0.0 && maxX() <= 1.0;
        labels.clear();
        for (int i = 0; i <= t.count; ++i)
            labels << ticklabels::dateLabel(t.value(i), t.step, timeOfDay);
    }
    if (decimals)
        *decimals = p;
    return labels;
}
