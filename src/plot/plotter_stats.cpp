// Plotter: statistics of the plot's curves, pooled over a list of curves or
// one value per curve.
#include <cmath>

#include "core/statfunctions.h"
#include "plot/plotter.h"

namespace {

// The first value of the axis, replaced by the largest (or smallest) finite
// value when that is more extreme; 0 for a curve without points.
double perCurveExtreme(const CurveData& c, int axis, bool maximum)
{
    const std::vector<double>& v = c.values;
    if (v.size() < 2)
        return 0.0;
    double result = v[std::size_t(axis)];
    for (std::size_t i = std::size_t(axis); i < v.size(); i += 2) {
        const double a = v[i];
        if (!std::isfinite(a))
            continue;
        if (std::isnan(result) || (maximum ? a > result : a < result))
            result = a;
    }
    return result;
}

} // namespace

double Plotter::aggregateStatistic(int function, int axis, const IdArray& ids) const
{
    return evaluateStatistic(m_curves, function, axis, view(), ids.ids());
}

std::map<int, double> Plotter::curveStatistics(int function, int axis) const
{
    using namespace StatisticFunction;
    std::map<int, double> result;
    for (const auto& [id, c] : m_curves) {
        // The extremes of one curve skip non-finite values from its first
        // value on; every other statistic is the pooled one of that curve.
        const double value = (function == MAX || function == MIN)
                                 ? perCurveExtreme(c, axis, function == MAX)
                                 : evaluateStatistic(m_curves, function, axis, view(), {id});
        result.emplace(id, value);
    }
    return result;
}
