// Spectra against the textbook: the one-sided periodogram computed by a
// plain DFT loop with the window power in the scaling, the power of a white
// noise, the peak of a sine, zero bins, bad settings and the inverse
// transform.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <stdexcept>
#include <vector>

#include "analysis/spectrum.h"
#include "core/linearfilter.h"
#include "support/textbook.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
using V = std::vector<double>;
using textbook::windowValue;

// The averaged one-sided periodogram by its definition: bins j = 0 ..
// N/2 - 1, 2 |X_j|^2 / (fs sum w^2) (not doubled at j = 0), averaged over L
// slices, in dB.
V periodogramDb(const V& y, int L, int N, int window, double fs)
{
    V out(static_cast<std::size_t>(N / 2), 0.0);
    double w2 = 0;
    for (int i = 0; i < N; ++i)
        w2 += windowValue(window, i, N) * windowValue(window, i, N);
    for (int s = 0; s < L; ++s) {
        for (int j = 0; j < N / 2; ++j) {
            std::complex<double> X;
            for (int i = 0; i < N; ++i)
                X += y[static_cast<std::size_t>(s * N + i)] * windowValue(window, i, N)
                     * std::polar(1.0, -2 * kPi * j * i / N);
            out[static_cast<std::size_t>(j)] += (j == 0 ? 1.0 : 2.0) * std::norm(X) / (fs * w2) / L;
        }
    }
    for (double& v : out)
        v = 10 * std::log10(v);
    return out;
}

V noise(std::size_t n, unsigned seed, double sigma = 1.0)
{
    std::mt19937 gen(seed);
    std::normal_distribution<double> dist(0.0, sigma);
    V v(n);
    for (double& x : v)
        x = dist(gen);
    return v;
}

SpectrumResult spectrum(const V& y, int type, int L, int N, int window, double fs, double carrier = 0)
{
    SpectrumSettings s;
    s.type = type;
    s.sampleRate = fs;
    s.carrier = carrier;
    s.slices = L;
    s.pointsPerSlice = N;
    s.window = window;
    SpectrumEstimator e(s);
    return e.run(y.data(), y.size());
}

const int kWindows[] = {BARTLETT, BLACKMAN, BOXCAR, HAMMING, HANNING, WELCH};

} // namespace

TEST(Spectrum, PsdEqualsThePeriodogramForEveryWindowAndSliceCount)
{
    struct Case {
        int slices, n;
        double fs;
    } cases[] = {{1, 64, 1.0}, {3, 40, 250.0}, {4, 33, 0.5}};
    for (const Case& c : cases) {
        const V y = noise(static_cast<std::size_t>(c.slices * c.n + 7), 11);
        for (int w : kWindows) {
            const SpectrumResult r = spectrum(y, SPECTRUM_PSD, c.slices, c.n, w, c.fs);
            const V want = periodogramDb(y, c.slices, c.n, w, c.fs);
            ASSERT_EQ(r.points.size(), 2 * want.size());
            for (std::size_t j = 0; j < want.size(); ++j) {
                EXPECT_NEAR(r.points[2 * j], c.fs * j / c.n, 1e-12) << "window " << w << " L " << c.slices;
                // 1e-9 relative on the power is 4.3e-9 dB.
                EXPECT_NEAR(r.points[2 * j + 1], want[j], 4.4e-9) << "window " << w << " L " << c.slices << " bin "
                                                                  << j;
            }
            EXPECT_EQ(r.zeroCount, 0);
        }
    }
}

TEST(Spectrum, OscillationPowerAndPhaseNoiseFollowFromThePsd)
{
    const int N = 50;
    const double fs = 20.0, f0 = 10e6;
    const V y = noise(N, 3, 1e-9);
    const SpectrumResult psd = spectrum(y, SPECTRUM_PSD, 1, N, HANNING, fs);
    const SpectrumResult osc = spectrum(y, SPECTRUM_OSCILLATION_POWER, 1, N, HANNING, fs);
    const SpectrumResult pn = spectrum(y, SPECTRUM_PHASE_NOISE, 1, N, HANNING, fs, f0);

    // Oscillation power: bins 1 .. N/2-1 as periods N / (fs j), ascending.
    ASSERT_EQ(osc.points.size(), 2u * (N / 2 - 1));
    for (int k = 0; k < N / 2 - 1; ++k) {
        const int j = N / 2 - 1 - k;
        EXPECT_NEAR(osc.points[2 * k], N / (fs * j), 1e-12);
        EXPECT_DOUBLE_EQ(osc.points[2 * k + 1], psd.points[2 * j + 1]);
    }
    // L(f) = S_phi / 2 = (2 pi f0)^2 S_x / 2: 3.01 dB below S_phi.
    ASSERT_EQ(pn.points.size(), psd.points.size());
    const double sphi = 10 * std::log10(std::pow(2 * kPi * f0, 2));
    for (std::size_t j = 0; j < pn.points.size() / 2; ++j) {
        EXPECT_DOUBLE_EQ(pn.points[2 * j], psd.points[2 * j]);
        EXPECT_NEAR(pn.points[2 * j + 1], psd.points[2 * j + 1] + sphi - 10 * std::log10(2.0), 1e-9);
    }
}

TEST(Spectrum, WhiteNoisePowerIntegratesToItsVariance)
{
    // sigma^2 = 4; 64 slices of 1024 points: the estimate of the integral has
    // a relative spread of about sqrt(2 / 65536) (0.6 %); 5 % is far outside.
    const double fs = 100.0, sigma = 2.0;
    const int L = 64, N = 1024;
    const V y = noise(static_cast<std::size_t>(L * N), 5, sigma);
    for (int w : kWindows) {
        const SpectrumResult r = spectrum(y, SPECTRUM_PSD, L, N, w, fs);
        double integral = 0;
        for (std::size_t j = 0; j < r.points.size() / 2; ++j)
            integral += std::pow(10.0, r.points[2 * j + 1] / 10) * fs / N;
        EXPECT_NEAR(integral, sigma * sigma, 0.05 * sigma * sigma) << "window " << w;
    }
}

TEST(Spectrum, UnitSinePeaksInItsBinWithTheWindowsCoherentGain)
{
    // A unit sine on bin k0: |X(k0)| = sum(w) / 2, so the one-sided density
    // there is (sum w)^2 / (2 fs sum w^2).
    const int N = 1024, k0 = 256;
    const double fs = 8.0;
    V y(N);
    for (int i = 0; i < N; ++i)
        y[static_cast<std::size_t>(i)] = std::sin(2 * kPi * k0 * i / N);
    for (int w : kWindows) {
        double s1 = 0, s2 = 0;
        for (int i = 0; i < N; ++i) {
            s1 += windowValue(w, i, N);
            s2 += windowValue(w, i, N) * windowValue(w, i, N);
        }
        const SpectrumResult r = spectrum(y, SPECTRUM_PSD, 1, N, w, fs);
        std::size_t peak = 0;
        for (std::size_t j = 1; j < r.points.size() / 2; ++j)
            if (r.points[2 * j + 1] > r.points[2 * peak + 1])
                peak = j;
        EXPECT_EQ(peak, static_cast<std::size_t>(k0)) << "window " << w;
        EXPECT_DOUBLE_EQ(r.points[2 * peak], fs * k0 / N);
        EXPECT_NEAR(r.points[2 * peak + 1], 10 * std::log10(s1 * s1 / (2 * fs * s2)), 1e-3) << "window " << w;
    }
    // The classic: 100 points at a tenth of the sample rate, boxcar:
    // 10 log10(50) dB/Hz at bin 10.
    V s(100);
    for (int i = 0; i < 100; ++i)
        s[static_cast<std::size_t>(i)] = std::sin(2 * kPi * i / 10);
    const SpectrumResult r = spectrum(s, SPECTRUM_PSD, 1, 100, BOXCAR, 1.0);
    ASSERT_EQ(r.points.size(), 100u);
    EXPECT_NEAR(r.points[2 * 10], 0.1, 1e-15);
    EXPECT_NEAR(r.points[2 * 10 + 1], 10 * std::log10(50.0), 1e-9);
}

TEST(Spectrum, ZeroPowerBinsGoToTheFloorAndAreReported)
{
    // 1, 0, -1, 0: X = 0, 2, 0, 2; bins 0 and 1 are shown, bin 0 is empty.
    const SpectrumResult some = spectrum({1, 0, -1, 0}, SPECTRUM_PSD, 1, 4, BOXCAR, 1.0);
    ASSERT_EQ(some.points.size(), 4u);
    const double p1 = 2.0 * 4 / 4;  // 2 |X1|^2 / (fs * 4)
    EXPECT_DOUBLE_EQ(some.floorLog10, std::log10(p1));
    EXPECT_DOUBLE_EQ(some.points[1], 10 * std::log10(p1));
    EXPECT_DOUBLE_EQ(some.points[3], 10 * std::log10(p1));
    EXPECT_EQ(some.zeroCount, 1);
    EXPECT_EQ(zeroPowerMessage(2, some),
              "FFT of curve C3 returned 1 0-valued power points. These points have been assigned power values of 2 "
              "(3.0103 dB).");

    const SpectrumResult none = spectrum(V(40, 0.0), SPECTRUM_PSD, 2, 20, HAMMING, 1.0);
    EXPECT_EQ(none.points.size(), 20u);
    for (std::size_t j = 0; j < 10; ++j)
        EXPECT_EQ(none.points[2 * j + 1], 0.0);
    EXPECT_TRUE(none.allZero());
    EXPECT_EQ(zeroPowerMessage(0, none), "FFT of curve C1 has returned all 0-valued power points!");

    EXPECT_EQ(zeroPowerMessage(0, spectrum(noise(16, 1), SPECTRUM_PSD, 1, 16, BOXCAR, 1.0)), "");
}

TEST(Spectrum, SettingsThatGiveNoSpectrumAreRefused)
{
    const double nan = std::nan("");
    struct Case {
        const char* name;
        double fs;
        int slices, n;
        double carrier;
        int type;
    } invalid[] = {
        {"rate 0", 0, 1, 8, 0, SPECTRUM_PSD},
        {"negative rate", -1, 1, 8, 0, SPECTRUM_PSD},
        {"rate not a number", nan, 1, 8, 0, SPECTRUM_PSD},
        {"infinite rate", INFINITY, 1, 8, 0, SPECTRUM_PSD},
        {"no slice", 1, 0, 8, 0, SPECTRUM_PSD},
        {"carrier not a number", 1, 1, 8, nan, SPECTRUM_PHASE_NOISE},
    };
    for (const Case& c : invalid) {
        SpectrumSettings s;
        s.type = c.type;
        s.sampleRate = c.fs;
        s.slices = c.slices;
        s.pointsPerSlice = c.n;
        s.carrier = c.carrier;
        EXPECT_THROW(SpectrumEstimator{s}, std::invalid_argument) << c.name;
    }
    SpectrumSettings zero;
    zero.pointsPerSlice = 0;
    try {
        SpectrumEstimator e(zero);
        ADD_FAILURE() << "a transform of 0 points";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Unable to run FFT. Invalid size.");
    }
    // Too few values for the slices asked for.
    SpectrumSettings s;
    s.slices = 3;
    s.pointsPerSlice = 10;
    SpectrumEstimator e(s);
    const V y(29, 1.0);
    EXPECT_THROW(e.run(y.data(), y.size()), std::invalid_argument);
    // One point per slice: nothing to show, nothing wrong.
    s.slices = 1;
    s.pointsPerSlice = 1;
    EXPECT_TRUE(SpectrumEstimator(s).run(y.data(), 1).points.empty());
}

TEST(Spectrum, ReadsEveryOtherValueOfACurve)
{
    // Stride 2 over interleaved points reads the y values only.
    const V y = noise(32, 9);
    V points;
    for (std::size_t i = 0; i < y.size(); ++i) {
        points.push_back(1000.0 + static_cast<double>(i));
        points.push_back(y[i]);
    }
    SpectrumSettings s;
    s.pointsPerSlice = 16;
    s.slices = 2;
    s.window = HANNING;
    SpectrumEstimator e(s);
    const SpectrumResult a = e.run(y.data(), y.size());
    const SpectrumResult b = e.run(points.data() + 1, y.size(), 2);
    EXPECT_EQ(a.points, b.points);
    EXPECT_TRUE(allFinite(points.data() + 1, 3, 2));
    points[5] = std::nan("");
    EXPECT_FALSE(allFinite(points.data() + 1, y.size(), 2));
    EXPECT_TRUE(allFinite(points.data(), 2, 2)) << "x values 1000 and 1001";
}

TEST(Spectrum, InverseTransformOfPointsEqualsTheInverseDft)
{
    // The unit impulse: all ones.
    const V one = inverseTransformPoints({1, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(one, (V{0, 1, 1, 1, 2, 1, 3, 1}));

    const V z = noise(14, 4);  // 7 complex values x + i y
    const V got = inverseTransformPoints(z);
    ASSERT_EQ(got.size(), 14u);
    for (int j = 0; j < 7; ++j) {
        std::complex<double> s;
        for (int k = 0; k < 7; ++k)
            s += std::complex<double>(z[2 * k], z[2 * k + 1]) * std::polar(1.0, 2 * kPi * j * k / 7);
        EXPECT_EQ(got[2 * j], j);
        EXPECT_NEAR(got[2 * j + 1], s.real(), 1e-12);
    }
    EXPECT_THROW(inverseTransformPoints({}), std::runtime_error);
}
