#include "analysis/smoothing.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <thread>

#include "core/linearfilter.h"

namespace {

// Fills out(2k) and out(2k + 1), k = first .. last - 1, with the x of the
// window's middle point and the mean of the window's y values. Sixteen
// windows advance together so their additions run side by side; each sum
// still adds its window's values from the first to the last, as a plain
// loop would.
void windowMeans(const double* points, std::size_t w, std::size_t first, std::size_t last, double* out)
{
    constexpr std::size_t kLanes = 16;
    const double n = static_cast<double>(w);
    const std::size_t middle = (w - 1) / 2;
    const double* y = points + 1;  // y(i) is y[2 i]
    std::size_t k = first;
    for (; k + kLanes <= last; k += kLanes) {
        double acc[kLanes];
#pragma GCC unroll 16
        for (std::size_t l = 0; l < kLanes; ++l)
            acc[l] = y[2 * (k + l)];
        for (std::size_t j = 1; j < w; ++j) {
            const double* row = y + 2 * (k + j);
#pragma GCC unroll 16
            for (std::size_t l = 0; l < kLanes; ++l)
                acc[l] += row[2 * l];
        }
#pragma GCC unroll 16
        for (std::size_t l = 0; l < kLanes; ++l) {
            out[2 * (k + l)] = points[2 * (k + l + middle)];
            out[2 * (k + l) + 1] = acc[l] / n;
        }
    }
    for (; k < last; ++k) {
        double acc = y[2 * k];
        for (std::size_t j = 1; j < w; ++j)
            acc += y[2 * (k + j)];
        out[2 * k] = points[2 * (k + middle)];
        out[2 * k + 1] = acc / n;
    }
}

} // namespace

std::vector<double> centredMovingAverage(const std::vector<double>& points, int n)
{
    const std::size_t count = points.size() / 2;
    if (n < 1 || count < static_cast<std::size_t>(n))
        return {};
    const std::size_t w = static_cast<std::size_t>(n);
    const std::size_t outCount = count - w + 1;
    std::vector<double> out(2 * outCount);

    // Long curves are shared out among threads, each window summed by one.
    const std::size_t work = outCount * w;
    const std::size_t threads =
        work < (std::size_t(1) << 22) ? 1 : std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 8);
    const std::size_t share = (outCount + threads - 1) / threads;
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < threads; ++t) {
        const std::size_t first = std::min(outCount, t * share), last = std::min(outCount, (t + 1) * share);
        pool.emplace_back([&, first, last] { windowMeans(points.data(), w, first, last, out.data()); });
    }
    windowMeans(points.data(), w, 0, std::min(outCount, share), out.data());
    for (std::thread& t : pool)
        t.join();
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
