#include "core/curvedata.h"

#include "core/curvesummary.h"
#include "core/exceptions.h"

#include <algorithm>
#include <stdexcept>

void throwCorruptCurve()
{
    throw std::runtime_error("Critical Error: Curve has mismatched number of x and y points!\n"
                             + kro::reportRequest());
}

CurveValues::Store::~Store() { delete summary.load(std::memory_order_acquire); }

void CurveValues::Store::dropSummary() { delete summary.exchange(nullptr, std::memory_order_acq_rel); }

const CurveSummary& CurveValues::summary() const
{
    static const CurveSummary none;
    if (!m_data)
        return none;
    if (const CurveSummary* built = m_data->summary.load(std::memory_order_acquire))
        return *built;
    // Two threads asking at once both build; the first to finish is kept.
    auto* mine = new CurveSummary(CurveSummary::of(m_data->values.data(), m_data->values.size() / 2));
    const CurveSummary* expected = nullptr;
    if (m_data->summary.compare_exchange_strong(expected, mine, std::memory_order_acq_rel))
        return *mine;
    delete mine;
    return *expected;
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
