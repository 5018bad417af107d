#pragma once
// Reference values written as textbooks define them, for tests that check
// the program's numerics against an independent computation.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace textbook {

inline constexpr double kPi = 3.14159265358979323846;

// Window weights of WindowType type (0 Bartlett, 1 Blackman, 2 boxcar,
// 3 Hamming, 4 Hann, 5 Welch) at i = 0 .. N-1.
inline double windowValue(int type, int i, int N)
{
    const double m = N - 1;
    switch (type) {
    case 0:
        return 1.0 - std::fabs((2.0 * i - m) / m);
    case 1:
        return 0.42 - 0.5 * std::cos(2 * kPi * i / m) + 0.08 * std::cos(4 * kPi * i / m);
    case 3:
        return 0.54 - 0.46 * std::cos(2 * kPi * i / m);
    case 4:
        return 0.5 * (1 - std::cos(2 * kPi * i / m));
    case 5: {
        const double r = (2.0 * i - N + 1) / (N + 1);
        return 1 - r * r;
    }
    default:
        return 1.0;
    }
}

// Circular sums at the longer length N (the shorter padded with zeros),
// divided by the largest magnitude: the cross-correlation
// c(k) = sum_j a((j+k) mod N) b(j), or the convolution
// c(k) = sum_j a(j) b((k-j) mod N).
inline std::vector<double> circularSum(const std::vector<double>& a, const std::vector<double>& b, bool convolve)
{
    const std::size_t n = std::max(a.size(), b.size());
    auto at = [](const std::vector<double>& v, std::size_t i) { return i < v.size() ? v[i] : 0.0; };
    std::vector<double> c(n, 0.0);
    double m = 0;
    for (std::size_t k = 0; k < n; ++k) {
        for (std::size_t j = 0; j < n; ++j)
            c[k] += convolve ? at(a, j) * at(b, (k + n - j) % n) : at(a, (j + k) % n) * at(b, j);
        m = std::max(m, std::fabs(c[k]));
    }
    for (double& v : c)
        v /= m;
    return c;
}

} // namespace textbook
