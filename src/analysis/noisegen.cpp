#include "analysis/noisegen.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <new>
#include <stdexcept>
#include <string>

#include "core/fft.h"

namespace {
constexpr int IA = 16807, IM = 2147483647, IQ = 127773, IR = 2836;
constexpr int NDIV = 1 + (IM - 1) / 32;
constexpr double AM = 1.0 / IM, RNMX = 1.0 - 1.2e-7;

// seed = 16807 seed mod (2^31 - 1), by Schrage's method (no overflow).
void step(int& seed)
{
    const int k = seed / IQ;
    seed = IA * (seed - k * IQ) - IR * k;
    if (seed < 0)
        seed += IM;
}
} // namespace

double uniformDeviate(NoiseRandom& r)
{
    if (r.seed <= 0 || r.last == 0) {
        r.seed = r.seed < 0 ? -r.seed : 1;
        // 8 warm-up steps, then the table from index 31 down to 0.
        for (int j = 32 + 7; j >= 0; --j) {
            step(r.seed);
            if (j < 32)
                r.table[j] = r.seed;
        }
        r.last = r.table[0];
    }
    step(r.seed);
    const int j = r.last / NDIV;
    r.last = r.table[j];
    r.table[j] = r.seed;
    const double v = AM * r.last;
    return v > RNMX ? RNMX : v;
}

double gaussianDeviate(NoiseRandom& r)
{
    if (r.seed < 0)
        r.hasCached = false;  // a fresh seeding drops the cached deviate
    if (r.hasCached) {
        r.hasCached = false;
        return r.cached;
    }
    double a, b, s;
    do {
        a = 2.0 * uniformDeviate(r) - 1.0;
        b = 2.0 * uniformDeviate(r) - 1.0;
        s = a * a + b * b;
    } while (s >= 1.0 || s == 0.0);
    const double f = std::sqrt(-2.0 * std::log(s) / s);
    r.cached = a * f;
    r.hasCached = true;
    return b * f;
}

int noiseSeedFromClock()
{
    const long long seconds = static_cast<long long>(std::time(nullptr));
    return -int(seconds % IM);
}

void generatePowerLawNoise(int n, double magnitude, std::vector<double>& out, double alpha, NoiseRandom& random)
{
    if (n > kMaxNoisePoints)
        throw std::runtime_error("Unable to generate noise model. At most " + std::to_string(kMaxNoisePoints) +
                                 " points can be generated");
    if (n < 1) {
        fft(nullptr, nullptr, 0, 0);  // reports the invalid size
        return;
    }
    const std::size_t count = std::size_t(n);
    const int N = 2 * n;
    std::vector<double> h, w;
    try {
        out.resize(std::max(out.size(), count), 0.0);
        // Complex (re, im) pairs, zero beyond n: the circular convolution
        // of length 2n is the linear one for the first n values.
        h.assign(2 * std::size_t(N), 0.0);
        w.assign(2 * std::size_t(N), 0.0);
    } catch (const std::bad_alloc&) {
        throw std::runtime_error("Unable to generate noise model. Out of program memory.");
    }
    const double c = (2.0 - alpha) / 2.0;
    h[0] = 1.0;
    w[0] = magnitude * gaussianDeviate(random);
    for (std::size_t k = 1; k < count; ++k) {
        h[2 * k] = h[2 * (k - 1)] * ((double(k) - 1.0) + c) / double(k);
        w[2 * k] = magnitude * gaussianDeviate(random);
    }
    fft(h.data(), h.data(), N, 0);
    fft(w.data(), w.data(), N, 0);
    for (std::size_t k = 0; k < std::size_t(N); ++k) {
        const double re = h[2 * k] * w[2 * k] - h[2 * k + 1] * w[2 * k + 1];
        const double im = h[2 * k] * w[2 * k + 1] + h[2 * k + 1] * w[2 * k];
        h[2 * k] = re;
        h[2 * k + 1] = im;
    }
    fft(h.data(), h.data(), N, 1);
    for (std::size_t i = 0; i < count; ++i)
        out[i] += h[2 * i] / double(N);
}
