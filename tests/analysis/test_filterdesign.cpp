// Filter design against the textbook: Butterworth filters by the bilinear
// transform with prewarped edges (poles and zeros placed and multiplied out
// here), windowed-sinc FIR taps, the moving average, the -3 dB point, and
// the checks that refuse inputs giving no sound filter.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "analysis/filterdesign.h"
#include "core/linearfilter.h"
#include "support/textbook.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
using C = std::complex<double>;
using V = std::vector<double>;

// Coefficients of prod (1 - r z^-1), real parts.
V polyFromRoots(const std::vector<C>& roots)
{
    std::vector<C> p{1.0};
    for (const C& r : roots) {
        p.push_back(0.0);
        for (std::size_t i = p.size() - 1; i > 0; --i)
            p[i] -= r * p[i - 1];
    }
    V out;
    for (const C& c : p)
        out.push_back(c.real());
    return out;
}

C responseAt(const V& b, const V& a, double w)
{
    C B, A;
    for (std::size_t k = 0; k < b.size(); ++k)
        B += b[k] * std::polar(1.0, -w * static_cast<double>(k));
    for (std::size_t k = 0; k < a.size(); ++k)
        A += a[k] * std::polar(1.0, -w * static_cast<double>(k));
    return B / A;
}

struct Tf {
    V b, a;
};

// The analog Butterworth prototype (poles on the unit circle), its edges
// prewarped to tan(pi u / 2), transformed to lowpass, highpass or bandpass
// and mapped by z = (1 + s) / (1 - s); unit gain in the middle of the pass
// band.
Tf bilinearButterworth(int response, int n, double u1, double u2 = 0)
{
    std::vector<C> proto;
    for (int k = 0; k < n; ++k)
        proto.push_back(std::polar(1.0, kPi * (2.0 * k + n + 1) / (2.0 * n)));
    const double W1 = std::tan(kPi * u1 / 2), W2 = std::tan(kPi * u2 / 2);
    std::vector<C> s, zeros;
    double pass = 0;
    if (response == LOWPASS) {
        for (const C& p : proto)
            s.push_back(W1 * p);
        zeros.assign(static_cast<std::size_t>(n), -1.0);
    } else if (response == HIGHPASS) {
        for (const C& p : proto)
            s.push_back(W1 / p);
        zeros.assign(static_cast<std::size_t>(n), 1.0);
        pass = kPi;
    } else {
        const double bw = W2 - W1, w0sq = W1 * W2;
        for (const C& p : proto) {
            const C root = std::sqrt(p * bw * p * bw - 4.0 * w0sq);
            s.push_back((p * bw + root) / 2.0);
            s.push_back((p * bw - root) / 2.0);
        }
        zeros.assign(static_cast<std::size_t>(n), 1.0);
        zeros.insert(zeros.end(), static_cast<std::size_t>(n), -1.0);
        pass = 2 * std::atan(std::sqrt(w0sq));
    }
    std::vector<C> z;
    for (const C& p : s)
        z.push_back((1.0 + p) / (1.0 - p));
    Tf t{polyFromRoots(zeros), polyFromRoots(z)};
    const double g = 1.0 / std::abs(responseAt(t.b, t.a, pass));
    for (double& v : t.b)
        v *= g;
    return t;
}

FilterInputs inputs(int type, int response, int order, double fs, double f1, double f2 = 0, int window = BOXCAR)
{
    FilterInputs in;
    in.type = type;
    in.response = response;
    in.order = order;
    in.fs = fs;
    in.window = window;
    if (response == BANDPASS) {
        in.flo = f1;
        in.fhi = f2;
    } else {
        in.fc = f1;
    }
    return in;
}

void expectCoefficients(const V& got, const V& want, const std::string& what)
{
    ASSERT_EQ(got.size(), want.size()) << what;
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(got[i], want[i], 1e-9 * std::max(1.0, std::fabs(want[i]))) << what << " index " << i;
}

} // namespace

TEST(Butterworth, EqualsThePrewarpedBilinearDesign)
{
    const double fs = 1000;
    for (int n = 1; n <= 8; ++n) {
        for (double fc : {20.0, 125.0, 300.0, 480.0}) {
            const double u = fc / (fs / 2);
            for (int response : {LOWPASS, HIGHPASS}) {
                const FilterDesign d = designFilter(inputs(IIR, response, n, fs, fc));
                ASSERT_TRUE(d.ok) << d.problem.toStdString();
                const Tf want = bilinearButterworth(response, n, u);
                const std::string what = (response == LOWPASS ? "lowpass n " : "highpass n ") + std::to_string(n)
                                         + " fc " + std::to_string(fc);
                expectCoefficients(d.a, want.a, what + " a");
                expectCoefficients(d.b, want.b, what + " b");
                EXPECT_EQ(d.order, n);
            }
        }
        for (auto [lo, hi] : {std::pair{50.0, 150.0}, {200.0, 230.0}, {10.0, 450.0}}) {
            const FilterDesign d = designFilter(inputs(IIR, BANDPASS, n, fs, lo, hi));
            ASSERT_TRUE(d.ok) << d.problem.toStdString() << " n " << n << " " << lo << ".." << hi;
            const Tf want = bilinearButterworth(BANDPASS, n, lo / 500, hi / 500);
            const std::string what = "bandpass n " + std::to_string(n) + " " + std::to_string(lo);
            ASSERT_EQ(d.a.size(), static_cast<std::size_t>(2 * n + 1));
            expectCoefficients(d.a, want.a, what + " a");
            expectCoefficients(d.b, want.b, what + " b");
            EXPECT_DOUBLE_EQ(d.band, hi - lo);
        }
    }
}

TEST(Butterworth, ResponseIsThreeDecibelsDownAtTheCutOffs)
{
    // fs 1000: the response's frequency 1024 of 4096 is 125 Hz.
    const double fs = 1000, half = -10 * std::log10(2.0);
    for (int n : {1, 2, 5}) {
        for (int response : {LOWPASS, HIGHPASS}) {
            const FilterDesign d = designFilter(inputs(IIR, response, n, fs, 125));
            const V r = frequencyResponse(d.b, d.a, d.fs);
            ASSERT_EQ(r.size(), 2u * 4096);
            EXPECT_DOUBLE_EQ(r[2 * 1024], 125.0);
            EXPECT_NEAR(r[2 * 1024 + 1], half, 1e-9) << "n " << n;
            EXPECT_NEAR(r[response == LOWPASS ? 1 : 2 * 4095 + 1], 0.0, response == LOWPASS ? 1e-9 : 1e-3);
        }
        // Bandpass edges 125 and 250 Hz: frequencies 1024 and 2048.
        const FilterDesign bp = designFilter(inputs(IIR, BANDPASS, n, fs, 125, 250));
        const V r = frequencyResponse(bp.b, bp.a, bp.fs);
        EXPECT_NEAR(r[2 * 1024 + 1], half, 1e-9) << "n " << n;
        EXPECT_NEAR(r[2 * 2048 + 1], half, 1e-9) << "n " << n;
    }
    // The lowest order in closed form: a = [1, -cos t / (1 + sin t)],
    // b = g [1, 1], g = sin(w/2) / (sin(w/2) + cos(w/2)).
    const double u = 0.3, t = kPi * u;
    const FilterDesign one = designFilter(inputs(IIR, LOWPASS, 1, 2, 0.3));
    const double g = std::sin(t / 2) / (std::sin(t / 2) + std::cos(t / 2));
    expectCoefficients(one.a, {1, -std::cos(t) / (1 + std::sin(t))}, "order 1 a");
    expectCoefficients(one.b, {g, g}, "order 1 b");
    EXPECT_EQ(butterworthNumerator(6), (std::vector<long long>{1, 6, 15, 20, 15, 6, 1}));
    EXPECT_EQ(butterworthNumerator(1), (std::vector<long long>{1, 1}));
}

TEST(FirDesign, TapsAreTheWindowedSinc)
{
    const double fs = 1000;
    struct Case {
        int response, n;
        double f1, f2;
    } cases[] = {{LOWPASS, 4, 100, 0}, {LOWPASS, 7, 100, 0}, {HIGHPASS, 10, 300, 0}, {BANDPASS, 12, 100, 200},
                 {BANDPASS, 9, 50, 400}};
    for (const Case& c : cases) {
        for (int w : {BARTLETT, BLACKMAN, BOXCAR, HAMMING, HANNING, WELCH}) {
            const FilterDesign d = designFilter(inputs(FIR, c.response, c.n, fs, c.f1, c.f2, w));
            ASSERT_TRUE(d.ok) << d.problem.toStdString();
            EXPECT_EQ(d.a, V{1.0});
            ASSERT_EQ(d.b.size(), static_cast<std::size_t>(c.n) + 1);
            const double u1 = c.f1 / 500, u2 = c.f2 / 500;
            for (int i = 0; i <= c.n; ++i) {
                const double m = i - c.n / 2.0;
                // The ideal response's impulse: lowpass sin(pi u m)/(pi m), highpass
                // delta minus lowpass, bandpass the difference of two lowpasses.
                auto lp = [m](double u) { return m == 0 ? u : std::sin(kPi * u * m) / (kPi * m); };
                const double delta = m == 0 ? 1.0 : std::sin(kPi * m) / (kPi * m);
                const double ideal = c.response == LOWPASS ? lp(u1) : c.response == HIGHPASS ? delta - lp(u1)
                                                                                             : lp(u2) - lp(u1);
                EXPECT_NEAR(d.b[static_cast<std::size_t>(i)], ideal * textbook::windowValue(w, i, c.n + 1), 1e-12)
                    << "response " << c.response << " n " << c.n << " window " << w << " tap " << i;
            }
        }
    }
    // The worked example: n 4, u 0.2, boxcar.
    const FilterDesign d = designFilter(inputs(FIR, LOWPASS, 4, 1000, 100));
    const V want = {0.151365346, 0.187097857, 0.2, 0.187097857, 0.151365346};
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(d.b[i], want[i], 1e-9);
    EXPECT_DOUBLE_EQ(d.fcNorm, 0.2);
}

TEST(FilterDesign, OrdersThatAreRaised)
{
    // A moving average of odd order takes the next even one.
    FilterInputs smooth = inputs(SMOOTH, LOWPASS, 5, 1, 0);
    smooth.fc.reset();
    const FilterDesign s = designFilter(smooth);
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.order, 6);
    EXPECT_EQ(s.b, V(7, 1.0 / 7));
    EXPECT_EQ(s.a, V{1.0});
    // A highpass FIR of odd order would have an even number of taps, whose
    // response vanishes at half the sample rate.
    const FilterDesign hp = designFilter(inputs(FIR, HIGHPASS, 5, 1000, 200));
    ASSERT_TRUE(hp.ok);
    EXPECT_EQ(hp.order, 6);
    EXPECT_EQ(hp.b.size(), 7u);
    EXPECT_NEAR(std::abs(responseAt(hp.b, hp.a, kPi)), 1.0, 0.2);
    // Lowpass and bandpass FIR keep odd orders.
    EXPECT_EQ(designFilter(inputs(FIR, LOWPASS, 5, 1000, 200)).order, 5);
    EXPECT_EQ(designFilter(inputs(FIR, BANDPASS, 5, 1000, 100, 200)).order, 5);
}

TEST(FilterDesign, InputsThatGiveNoFilterAreRefusedWithAReason)
{
    const double nan = std::nan("");
    auto without = [](FilterInputs in, std::optional<double> FilterInputs::*field) {
        in.*field = std::nullopt;
        return in;
    };
    FilterInputs noOrder = inputs(FIR, LOWPASS, 4, 1000, 100);
    noOrder.order.reset();
    struct Case {
        const char* name;
        FilterInputs in;
    } cases[] = {
        {"no order", noOrder},
        {"order 0", inputs(FIR, LOWPASS, 0, 1000, 100)},
        {"negative order", inputs(IIR, LOWPASS, -2, 1000, 100)},
        {"smooth order 0", inputs(SMOOTH, LOWPASS, 0, 1000, 100)},
        {"no sample rate", without(inputs(FIR, LOWPASS, 4, 1000, 100), &FilterInputs::fs)},
        {"smooth without sample rate", without(inputs(SMOOTH, LOWPASS, 4, 1000, 100), &FilterInputs::fs)},
        {"sample rate 0", inputs(FIR, LOWPASS, 4, 0, 100)},
        {"negative sample rate", inputs(IIR, LOWPASS, 4, -1000, 100)},
        {"sample rate not a number", inputs(IIR, LOWPASS, 4, nan, 100)},
        {"no cut-off", without(inputs(FIR, LOWPASS, 4, 1000, 100), &FilterInputs::fc)},
        {"cut-off 0", inputs(IIR, LOWPASS, 4, 1000, 0)},
        {"cut-off at half the rate", inputs(IIR, HIGHPASS, 4, 1000, 500)},
        {"cut-off above half the rate", inputs(FIR, LOWPASS, 4, 1000, 700)},
        {"cut-off not a number", inputs(FIR, LOWPASS, 4, 1000, nan)},
        {"no upper edge", without(inputs(IIR, BANDPASS, 2, 1000, 100, 200), &FilterInputs::fhi)},
        {"edges reversed", inputs(IIR, BANDPASS, 2, 1000, 200, 100)},
        {"edges equal", inputs(FIR, BANDPASS, 2, 1000, 200, 200)},
        {"upper edge above half the rate", inputs(FIR, BANDPASS, 2, 1000, 200, 600)},
        {"IIR order past the limit", inputs(IIR, LOWPASS, kMaxIirOrder + 1, 1000, 250)},
        {"FIR order past the limit", inputs(FIR, LOWPASS, kMaxFirOrder + 1, 1000, 250)},
        // Twenty poles crowded near z = 1 do not survive as one polynomial.
        {"ill-conditioned IIR", inputs(IIR, LOWPASS, 20, 1000, 5)},
        {"ill-conditioned IIR bandpass", inputs(IIR, BANDPASS, 12, 1000, 100, 101)},
    };
    for (const Case& c : cases) {
        const FilterDesign d = designFilter(c.in);
        EXPECT_FALSE(d.ok) << c.name;
        EXPECT_FALSE(d.problem.isEmpty()) << c.name;
        EXPECT_TRUE(d.b.empty() && d.a.empty()) << c.name;
    }
    // The largest IIR order is accepted where its poles are spread out.
    EXPECT_TRUE(designFilter(inputs(IIR, LOWPASS, kMaxIirOrder, 1000, 250)).ok);
}
