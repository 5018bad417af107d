#include "analysis/rotation.h"

#include <algorithm>

void rotateYValues(std::vector<double>& points, long long n, bool left)
{
    const long long count = static_cast<long long>(points.size() / 2);
    if (count == 0)
        return;
    long long k = n % count;
    if (k < 0)
        k += count;
    if (k == 0)
        return;
    std::vector<double> y(static_cast<std::size_t>(count));
    for (long long i = 0; i < count; ++i)
        y[std::size_t(i)] = points[std::size_t(2 * i + 1)];
    // std::rotate brings element `first` to the front: a left rotation by k.
    const long long front = left ? k : count - k;
    std::rotate(y.begin(), y.begin() + front, y.end());
    for (long long i = 0; i < count; ++i)
        points[std::size_t(2 * i + 1)] = y[std::size_t(i)];
}
