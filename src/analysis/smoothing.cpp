#include "analysis/smoothing.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "core/linearfilter.h"

std::vector<double> centredMovingAverage(const std::vector<double>& points, int n)
{
    const std::size_t count = points.size() / 2;
    if (n < 1 || count < static_cast<std::size_t>(n))
        return {};
    const std::size_t w = static_cast<std::size_t>(n);
    const std::size_t outCount = count - w + 1;
    const std::size_t middle = (w - 1) / 2;

    std::vector<double> y(count);
    for (std::size_t i = 0; i < count; ++i)
        y[i] = points[2 * i + 1];

    std::vector<double> out(2 * outCount);
    // Each window is summed from its first value to its last, as a plain
    // loop would, but eight windows advance together so the additions of
    // neighbouring windows run side by side.
    constexpr std::size_t kLanes = 8;
    std::size_t k = 0;
    for (; k + kLanes <= outCount; k += kLanes) {
        double acc[kLanes];
        for (std::size_t l = 0; l < kLanes; ++l)
            acc[l] = y[k + l];
        for (std::size_t j = 1; j < w; ++j) {
            const double* row = y.data() + k + j;
            for (std::size_t l = 0; l < kLanes; ++l)
                acc[l] += row[l];
        }
        for (std::size_t l = 0; l < kLanes; ++l) {
            out[2 * (k + l)] = points[2 * (k + l + middle)];
            out[2 * (k + l) + 1] = acc[l] / n;
        }
    }
    for (; k < outCount; ++k) {
        double acc = y[k];
        for (std::size_t j = 1; j < w; ++j)
            acc += y[k + j];
        out[2 * k] = points[2 * (k + middle)];
        out[2 * k + 1] = acc / n;
    }
    return out;
}

std::vector<double> blockMeans(const std::vector<double>& points, int n)
{
    std::vector<double> out;
    if (n < 1)
        return out;
    const std::size_t w = static_cast<std::size_t>(n);
    const std::size_t groups = points.size() / 2 / w;
    out.reserve(2 * groups);
    for (std::size_t g = 0; g < groups; ++g) {
        double sx = 0, sy = 0;
        for (std::size_t i = g * w; i < (g + 1) * w; ++i) {
            sx += points[2 * i];
            sy += points[2 * i + 1];
        }
        out.push_back(sx / n);
        out.push_back(sy / n);
    }
    return out;
}

std::vector<double> spanMeans(const std::vector<double>& points, double span)
{
    if (!(span > 0) || !std::isfinite(span))
        throw std::invalid_argument("The span must be a positive number.");
    std::vector<double> out;
    const std::size_t count = points.size() / 2;
    double sx = 0, sy = 0;
    std::size_t members = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sx += points[2 * i];
        sy += points[2 * i + 1];
        ++members;
        // A value that is not a number never equals the next span number,
        // so such a point closes its group and loses nothing.
        const bool last = i + 1 == count;
        if (last || !(std::floor(points[2 * i] / span) == std::floor(points[2 * i + 2] / span))) {
            out.push_back(sx / static_cast<double>(members));
            out.push_back(sy / static_cast<double>(members));
            sx = sy = 0;
            members = 0;
        }
    }
    return out;
}

std::vector<double> filterPoints(const std::vector<double>& points, const std::vector<double>& b,
                                 const std::vector<double>& a, int delay)
{
    const std::size_t count = points.size() / 2;
    const std::size_t drop = static_cast<std::size_t>(std::max(delay, 0));
    std::vector<double> out;
    if (count <= drop)
        return out;
    out.resize(2 * (count - drop));
    // Pieces bound the filter's working memory on long curves.
    constexpr std::size_t kPiece = 1 << 16;
    std::vector<double> state, x, y;
    for (std::size_t start = 0; start < count; start += kPiece) {
        const std::size_t len = std::min(kPiece, count - start);
        x.resize(len);
        for (std::size_t i = 0; i < len; ++i)
            x[i] = points[2 * (start + i) + 1];
        y.clear();
        linearFilter(b.data(), a.data(), static_cast<int>(b.size()), static_cast<int>(a.size()), x, state, y);
        for (std::size_t i = 0; i < len; ++i) {
            const std::size_t n = start + i;
            if (n < drop)
                continue;
            const std::size_t at = n - drop;
            out[2 * at] = points[2 * at];
            out[2 * at + 1] = y[i];
        }
    }
    return out;
}
