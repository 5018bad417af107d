#include "analysis/correlation.h"

#include <cmath>

std::vector<double> centredLagPoints(const std::vector<double>& circular)
{
    const std::size_t c = circular.size();
    const std::size_t half = c / 2;
    std::vector<double> out;
    out.reserve(2 * c);
    for (std::size_t i = 0; i < c; ++i) {
        const std::size_t from = (i + c - half) % c;
        out.push_back(static_cast<double>(i) - static_cast<double>(half));
        out.push_back(circular[from]);
    }
    return out;
}

std::vector<double> indexedPoints(const std::vector<double>& values)
{
    std::vector<double> out;
    out.reserve(2 * values.size());
    for (std::size_t k = 0; k < values.size(); ++k) {
        out.push_back(static_cast<double>(k));
        out.push_back(values[k]);
    }
    return out;
}

std::vector<double> yValues(const CurveData& c)
{
    const std::vector<double>& v = c.values;
    std::vector<double> y;
    y.reserve(v.size() / 2);
    for (std::size_t i = 1; i < v.size(); i += 2)
        y.push_back(v[i]);
    return y;
}

bool commonYRange(const CurveMap& curves, double& lowest, double& highest)
{
    bool found = false;
    for (const auto& [id, c] : curves) {
        const std::vector<double>& v = c.values;
        for (std::size_t i = 1; i < v.size(); i += 2) {
            const double y = v[i];
            if (!std::isfinite(y))
                continue;
            if (!found) {
                lowest = highest = y;
                found = true;
            } else if (y < lowest) {
                lowest = y;
            } else if (y > highest) {
                highest = y;
            }
        }
    }
    return found;
}
