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

// Half the distance from min to v. Halving each term first keeps the
// difference finite for any two finite values (data near +-1e308).
inline double halfOffset(double v, double min) { return v * 0.5 - min * 0.5; }

// The pixel offset of a value from the start of a range spread over
// `pixels` pixels.
double toPixelOffset(double v, double pixels, const AxisRange& r)
{
    const double offset = pixels * (v - r.min) / (r.max - r.min);
    if (std::isfinite(offset) || !std::isfinite(v))
        return offset;
    return pixels * (halfOffset(v, r.min) / halfOffset(r.max, r.min));
}

// The value at a pixel offset of a range spread over `pixels` pixels.
double fromPixelOffset(double offset, double pixels, const AxisRange& r)
{
    const double span = r.max - r.min;
    if (std::isfinite(span))
        return offset * span / pixels + r.min;
    const double half = offset * halfOffset(r.max, r.min) / pixels;
    return r.min + half + half;
}

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
    const double px = L + toPixelOffset(x, W - 1, xr);
    const double py = B - toPixelOffset(y, H - 1, yr);
    return QPoint(roundPixel(px), roundPixel(py));
}

QPointF Plotter::pixelToData(const QPoint& p) const
{
    const auto [xr, yr, L, B, W, H] = areaMapping(*this);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    double x = W > 1 ? fromPixelOffset(p.x() - L, W - 1, xr) : nan;
    double y = H > 1 ? fromPixelOffset(B - p.y(), H - 1, yr) : nan;
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

int Plotter::logYExponentWidth(const QFontMetrics& fm) const
{
    int r = 0;
    for (int d : ticklabels::decadesIn(view().yRange()))
        r = std::max(r, fm.horizontalAdvance(ticklabels::decadeExponent(d, m_logYSign)));
    return r;
}

int Plotter::yTickLabelWidth() const
{
    const QFontMetrics fm(m_tickFont);
    if (m_logY)
        return fm.horizontalAdvance(ticklabels::decadeBase(m_logYSign)) + logYExponentWidth(fm);
    char format;
    int precision;
    return fm.horizontalAdvance(tickLabel(format, precision));
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
