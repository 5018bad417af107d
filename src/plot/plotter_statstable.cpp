// Plotter: the statistics table of the plot's curves in the command window.
#include <cmath>
#include <exception>

#include "analysis/statstable.h"
#include "analysis/timeunits.h"
#include "core/curvestats.h"
#include "core/polyfit.h"
#include "plot/actionlabel.h"
#include "plot/plotter.h"
#include "plot/rotlabel.h"

namespace {
// A statistic that cannot be taken (no values) shows as not-a-number.
template <typename F>
double orNaN(F f)
{
    try {
        return f();
    } catch (const std::exception&) {
        return std::nan("");
    }
}
} // namespace

void Plotter::showStatistics()
{
    try {
        const QString xl = m_xLabel->plainText(), yl = m_yLabel->plainText();
        const double sx = timeUnitSeconds(xl), sy = timeUnitSeconds(yl);
        auto rowOf = [&](int index, const QString& name) {
            statstable::Row r;
            r.curve = name;
            r.start = minX(index);
            r.stop = maxX(index);
            r.min = minY(index);
            r.max = maxY(index);
            r.points = index == ALL_CURVES ? pointCountOfAllCurves(m_curves) : pointCountOfCurve(m_curves, index);
            r.mean = sumOfCurve(m_curves, index, 1) / double(r.points);
            r.median = orNaN([&] { return medianOfCurve(m_curves, index, 1); });
            r.stdev = std::sqrt(varianceOfCurve(m_curves, index, 1));
            if (index != ALL_CURVES) {
                r.rate = regressionSlope(m_curves, index) * (sy / sx);
                const double c2 = orNaN([&] {
                    std::vector<double> c;
                    quadraticFit(m_curves.at(index).values, c);
                    return c.size() > 2 ? c[2] : std::nan("");
                });
                r.drift = (sy / (sx * sx)) * (c2 * 2.0);
            }
            return r;
        };
        std::vector<statstable::Row> rows;
        if (m_curves.size() != 1)
            rows.push_back(rowOf(ALL_CURVES, tr("All %1").arg(m_curves.size())));
        for (const auto& [id, c] : m_curves)
            rows.push_back(rowOf(id, QString::number(id + 1)));
        Q_EMIT transcript(statstable::formatTable(rows, statstable::rateUnits(xl, yl, sx, sy)));
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}
