// Plotter: statistics of the plot's curves, pooled over a list of curves or
// one value per curve.
#include <cmath>
#include <stdexcept>

#include "core/curvestats.h"
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
    switch (function) {
    case MAX:
    case MIN:
    case MEAN:
    case MEDIAN:
    case RMS:
    case STDEV:
    case SUM:
    case VAR:
    case KURTOSIS:
    case MINVIEW:
    case MAXVIEW:
        break;
    default:
        throw std::runtime_error("Warning: Function has not been implemented.");
    }
    std::map<int, double> result;
    for (const auto& [id, c] : m_curves) {
        double value = 0.0;
        switch (function) {
        case MAX:
        case MIN:
            value = perCurveExtreme(c, axis, function == MAX);
            break;
        case MEAN:
            value = sumOfCurve(m_curves, id, axis) / double(pointCountOfCurve(m_curves, id));
            break;
        case MEDIAN:
            value = medianOfCurve(m_curves, id, axis);
            break;
        case RMS:
            value = rmsOfCurve(m_curves, id, axis);
            break;
        case STDEV:
            value = std::sqrt(varianceOfCurve(m_curves, id, axis));
            break;
        case SUM:
            value = sumOfCurve(m_curves, id, axis);
            break;
        case VAR:
            value = varianceOfCurve(m_curves, id, axis);
            break;
        case KURTOSIS:
            value = kurtosisOfCurve(m_curves, id, axis);
            break;
        case MINVIEW:
            value = view().range(axis).min;
            break;
        default:
            value = view().range(axis).max;
            break;
        }
        result.emplace(id, value);
    }
    return result;
}
