#include "analysis/cropping.h"

namespace cropping {

namespace {
template <typename Keep>
std::vector<double> filtered(const std::vector<double>& v, Keep keep)
{
    // Room for every point, but only the kept ones are written: memory the
    // dropped points would have needed is never touched.
    std::vector<double> out;
    out.reserve(v.size() - v.size() % 2);
    for (std::size_t i = 0; i + 1 < v.size(); i += 2) {
        const double x = v[i], y = v[i + 1];
        if (keep(x, y)) {
            out.push_back(x);
            out.push_back(y);
        }
    }
    return out;
}
} // namespace

std::vector<double> keepInside(const std::vector<double>& points, const Rect& r)
{
    return filtered(points,
                    [&r](double x, double y) { return !(x < r.left || x > r.right || y < r.bottom || y > r.top); });
}

std::vector<double> removeInside(const std::vector<double>& points, const Rect& r)
{
    return filtered(points, [&r](double x, double y) { return x < r.left || x > r.right || y < r.bottom || y > r.top; });
}

} // namespace cropping
