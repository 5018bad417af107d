#include "core/curvedata.h"

#include "core/exceptions.h"

#include <algorithm>
#include <stdexcept>

void throwCorruptCurve()
{
    throw std::runtime_error("Critical Error: Curve has mismatched number of x and y points!\n"
                             + kro::reportRequest());
}

std::size_t CurveData::pointCount() const
{
    if (values.size() % 2 != 0)
        throwCorruptCurve();
    return values.size() / 2;
}

int pointCountOfCurve(const CurveMap& curves, int index)
{
    const auto it = curves.find(index);
    if (it == curves.end())
        return 0;
    return static_cast<int>(it->second.pointCount());
}

long long pointCountOfAllCurves(const CurveMap& curves)
{
    long long total = 0;
    for (const auto& [index, curve] : curves)
        total += static_cast<long long>(curve.pointCount());
    return total;
}

int maxPointCount(const CurveMap& curves)
{
    std::size_t most = 0;
    for (const auto& [index, curve] : curves)
        most = std::max(most, curve.pointCount());
    return static_cast<int>(most);
}

std::map<int, Rgb> lineColorById(const CurveMap& curves)
{
    std::map<int, Rgb> colors;
    for (const auto& [index, curve] : curves)
        colors.emplace(index + 1, curve.attributes.lineColor);
    return colors;
}
