#include "analysis/timeconversion.h"

#include "core/curvedata.h"

namespace timeconversion {

bool isMjd(double value) { return value >= 40587 && value < 88069; }

bool fractionalFrequencyToTimeInterval(std::vector<double>& points, double xUnit)
{
    if (points.size() % 2 != 0)
        throwCorruptCurve();
    if (points.size() < 4)
        return false;
    double before = points[1]; // y_{i-1} as it was
    double sum = 0;
    points[1] = 0;
    for (std::size_t i = 3; i < points.size(); i += 2) {
        const double here = points[i];
        sum += (points[i - 1] - points[i - 3]) * xUnit * before;
        points[i] = sum;
        before = here;
    }
    return true;
}

} // namespace timeconversion
