#include "analysis/curvetransforms.h"

#include "core/curvedata.h"
#include "core/polyfit.h"

#include <cmath>
#include <limits>

namespace transforms {

namespace {

void requireEven(const std::vector<double>& points)
{
    if (points.size() % 2 != 0)
        throwCorruptCurve();
}

// The least-squares parabola through three points, evaluated at g.
double parabolaAt(const double* p, double g)
{
    const std::vector<double> three(p, p + 6);
    std::vector<double> centred, plain;
    const double t = polynomialFit(three, centred, plain, 2);
    double value = 0, power = 1;
    for (std::size_t i = 0; i < centred.size() && i < 3; ++i) {
        value += centred[i] * power;
        power *= g - t;
    }
    return value;
}

} // namespace

bool normalizeY(std::vector<double>& points, double a, double b)
{
    requireEven(points);
    if (a == b) {
        a = -1;
        b = 1;
    }
    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    for (std::size_t i = 1; i < points.size(); i += 2) {
        const double y = points[i];
        if (!std::isfinite(y))
            continue;
        lo = std::min(lo, y);
        hi = std::max(hi, y);
    }
    if (!(hi > lo))
        return false;
    const double scale = (b - a) / (hi - lo);
    for (std::size_t i = 1; i < points.size(); i += 2)
        points[i] = (points[i] - lo) * scale + a;
    return true;
}

void subtractY(std::vector<double>& points, double m)
{
    requireEven(points);
    for (std::size_t i = 1; i < points.size(); i += 2)
        points[i] -= m;
}

void cumulativeSumY(std::vector<double>& points)
{
    requireEven(points);
    if (points.empty())
        return;
    // y_0 stays as it is (also its sign when it is -0).
    double sum = points[1];
    for (std::size_t i = 3; i < points.size(); i += 2) {
        sum += points[i];
        points[i] = sum;
    }
}

bool differentiateY(std::vector<double>& points)
{
    requireEven(points);
    const std::size_t n = points.size() / 2;
    if (n < 3)
        return false;
    double* p = points.data();
    auto x = [p](std::size_t i) { return p[2 * i]; };
    auto y = [p](std::size_t i) { return p[2 * i + 1]; };

    // Both ends first, while the values are untouched.
    const double g = 2 * x(0) - x(1);
    const double first = (y(1) - parabolaAt(p, g)) / (x(1) - g);
    const double h = 2 * x(n - 1) - x(n - 2);
    const double last = (parabolaAt(p + 2 * (n - 3), h) - y(n - 2)) / (h - x(n - 2));
    double before = y(0); // y_{i-1} as it was
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double here = y(i);
        p[2 * i + 1] = (y(i + 1) - before) / (x(i + 1) - x(i - 1));
        before = here;
    }
    p[1] = first;
    p[2 * n - 1] = last;
    return true;
}

bool integrateY(std::vector<double>& points)
{
    requireEven(points);
    const std::size_t n = points.size() / 2;
    if (n < 2)
        return false;
    double previousOld = points[1];
    double previousNew = 0;
    points[1] = 0;
    for (std::size_t k = 1; k < n; ++k) {
        const double yk = points[2 * k + 1];
        const double value = previousNew + (yk + previousOld) * (points[2 * k] - points[2 * k - 2]) * 0.5;
        points[2 * k + 1] = value;
        previousOld = yk;
        previousNew = value;
    }
    return true;
}

std::vector<double> differenceCoefficients(int n)
{
    // Row r of Pascal's triangle, built in place from row 1; then the signs.
    std::vector<double> row(static_cast<std::size_t>(n) + 1, 0.0);
    row[0] = 1;
    for (int r = 1; r <= n; ++r)
        for (int k = r; k >= 1; --k)
            row[std::size_t(k)] += row[std::size_t(k - 1)];
    for (std::size_t k = 1; k < row.size(); k += 2)
        row[k] = -row[k];
    return row;
}

std::vector<double> nthDifference(const std::vector<double>& points, const std::vector<double>& b)
{
    requireEven(points);
    const std::size_t n = b.empty() ? 0 : b.size() - 1;
    const std::size_t count = points.size() / 2;
    std::vector<double> out;
    if (count <= n)
        return out;
    const std::size_t m = count - n;
    out.resize(2 * m);
    const double* p = points.data();
    for (std::size_t i = 0; i < m; ++i) {
        // Summed from the oldest value, b_n y_i first.
        double sum = 0;
        for (std::size_t j = 0; j <= n; ++j)
            sum += b[n - j] * p[2 * (i + j) + 1];
        out[2 * i] = p[2 * i];
        out[2 * i + 1] = sum;
    }
    return out;
}

} // namespace transforms
