#include "core/linearfilter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {
// Decimals of 2 pi and 4 pi as the windows have always used them.
constexpr double kTwoPi = 6.28318530717958;
constexpr double kFourPi = 12.56637061435916;
} // namespace

int windowFromName(const char* name)
{
    static const struct {
        const char* text;
        WindowType type;
    } names[] = {{"BARTLETT", BARTLETT}, {"BLACKMAN", BLACKMAN}, {"BOXCAR", BOXCAR},
                 {"HAMMING", HAMMING},   {"HANNING", HANNING},   {"WELCH", WELCH}};
    if (name)
        for (const auto& n : names)
            if (std::strcmp(name, n.text) == 0)
                return n.type;
    return BOXCAR;
}

void applyWindow(int type, std::vector<double>& data, int N)
{
    N = std::min<long long>(N, static_cast<long long>(data.size()));
    if (N <= 0)
        return;
    const double n1 = N - 1;
    for (int i = 0; i < N; ++i) {
        double w = 1.0;
        switch (type) {
        case BARTLETT:
            w = i < N / 2 ? 2.0 * i / n1 : 2.0 - 2.0 * i / n1;
            break;
        case BLACKMAN:
            w = 0.42 - 0.5 * std::cos(i * kTwoPi / n1) + 0.08 * std::cos(i * kFourPi / n1);
            break;
        case HAMMING:
            w = 0.54 - 0.46 * std::cos(i * kTwoPi / n1);
            break;
        case HANNING:
            w = (1.0 - std::cos(i * kTwoPi / n1)) * 0.5;
            break;
        case WELCH: {
            const double r = (2.0 * i - N + 1) / (N + 1.0);
            w = 1.0 - r * r;
            break;
        }
        default:
            return;
        }
        data[static_cast<std::size_t>(i)] *= w;
    }
}

double dotProduct(const double* p, const double* q, int n)
{
    double s = 0.0;
    for (int i = 0; i < n; ++i)
        s += p[i] * q[i];
    return s;
}

void linearFilter(const double* b, const double* a, int nb, int na, const std::vector<double>& x,
                  std::vector<double>& state, std::vector<double>& y)
{
    if (nb < 1 || (na != 1 && na != nb))
        throw std::runtime_error("Linear filter: the denominator must have 1 or " + std::to_string(std::max(nb, 1))
                                 + " coefficients and the numerator at least 1.");
    const std::size_t hist = static_cast<std::size_t>(nb - 1);
    const std::size_t len = x.size();

    // W(0 .. nb-2) stand for w(-(nb-1)) .. w(-1).
    std::vector<double> W(len + hist, 0.0);
    if (!state.empty()) {
        const std::size_t have = std::min(state.size(), hist);
        // A state shorter than nb - 1 holds the newest values: zeros before it.
        std::copy(state.begin(), state.begin() + static_cast<std::ptrdiff_t>(have),
                  W.begin() + static_cast<std::ptrdiff_t>(hist - have));
    }
    if (y.size() < len)
        y.assign(len, 0.0);

    // The coefficient lists reversed, so both sums run from the oldest value.
    std::vector<double> br(b, b + nb);
    std::reverse(br.begin(), br.end());
    std::vector<double> ar;
    if (na > 1) {
        ar.assign(a + 1, a + na);
        std::reverse(ar.begin(), ar.end());
    }
    const int nar = static_cast<int>(ar.size());
    for (std::size_t n = 0; n < len; ++n) {
        double* w = W.data() + n; // w[hist] is w(n)
        const double feedback = nar ? dotProduct(ar.data(), w + (hist - static_cast<std::size_t>(nar)), nar) : 0.0;
        w[hist] = x[n] - feedback;
        y[n] = dotProduct(br.data(), w, nb);
    }
    state.assign(W.end() - static_cast<std::ptrdiff_t>(hist), W.end());
}
