// Power-law noise: the random source's published sequence, the white and
// random-walk cases in closed form, one source drawn across noise types,
// the slope of each noise type through the Allan-deviation engine, and the
// dialog's refusals.
#include <QLineEdit>
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "analysis/adevengine.h"
#include "analysis/noisegen.h"
#include "analysis/noisegendiag.h"
#include "support/prompts.h"

TEST(NoiseRandom, SeedMinusOneGivesTheMinimalStandardShuffledSequence)
{
    NoiseRandom u(-1);
    EXPECT_NEAR(uniformDeviate(u), 0.4159994, 5e-8);
    EXPECT_NEAR(uniformDeviate(u), 0.0919649, 5e-8);
    EXPECT_NEAR(uniformDeviate(u), 0.7564105, 5e-8);
    NoiseRandom g(-1);
    EXPECT_NEAR(gaussianDeviate(g), -0.8368538, 5e-8);
    EXPECT_NEAR(gaussianDeviate(g), -0.1722799, 5e-8);
}

TEST(PowerLawNoise, WhiteAndRandomWalkCases)
{
    const double mag = 2.5e-9;
    // White PM: the samples are the Gaussian deviates themselves.
    {
        NoiseRandom r(-77), ref(-77);
        std::vector<double> out;
        generatePowerLawNoise(1000, mag, out, 2.0, r);
        ASSERT_EQ(out.size(), 1000u);
        for (double v : out)
            ASSERT_NEAR(v, mag * gaussianDeviate(ref), 1e-12 * mag);
    }
    // White FM: a random walk whose steps are the deviates.
    {
        NoiseRandom r(-78), ref(-78);
        std::vector<double> out;
        generatePowerLawNoise(1000, mag, out, 0.0, r);
        double walk = 0;
        for (double v : out) {
            walk += mag * gaussianDeviate(ref);
            ASSERT_NEAR(v, walk, 1e-10 * mag);
        }
    }
    // One point: the magnitude times one deviate; the values already in
    // the output are kept and added to.
    {
        NoiseRandom r(-79), ref(-79);
        std::vector<double> out = {1.0};
        generatePowerLawNoise(1, mag, out, -2.0, r);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_NEAR(out[0], 1.0 + mag * gaussianDeviate(ref), 1e-15);
    }
}

TEST(PowerLawNoise, TypesOfOneRunDrawOnFromOneSource)
{
    // Two white PM calls on one source: the second continues the sequence
    // instead of repeating the first (the types of a run are independent).
    NoiseRandom r(-5), ref(-5);
    std::vector<double> a, b;
    generatePowerLawNoise(100, 1.0, a, 2.0, r);
    generatePowerLawNoise(100, 1.0, b, 2.0, r);
    for (int i = 0; i < 100; ++i)
        gaussianDeviate(ref);
    for (double v : b)
        ASSERT_NEAR(v, gaussianDeviate(ref), 1e-12);
    EXPECT_NE(a, b);
    // The clock seed asks for initialisation and stays within 2^31 - 1.
    const int s = noiseSeedFromClock();
    EXPECT_LE(s, 0);
    EXPECT_GT(s, -2147483647);
}

TEST(PowerLawNoise, BadSizes)
{
    NoiseRandom r(-1);
    std::vector<double> out;
    EXPECT_THROW(generatePowerLawNoise(0, 1.0, out, 2.0, r), std::runtime_error);
    EXPECT_THROW(generatePowerLawNoise(kMaxNoisePoints + 1, 1.0, out, 2.0, r), std::runtime_error);
    EXPECT_TRUE(out.empty());
}

namespace {
// Least-squares slope of log10 dev against log10 tau for 4 <= u <= 1024.
double slope(const AdevCurve& c)
{
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    int n = 0;
    for (std::size_t i = 0; i + 1 < c.points.size(); i += 2) {
        if (c.points[i] < 4 || c.points[i] > 1024)
            continue;
        const double x = std::log10(c.points[i]), y = std::log10(c.points[i + 1]);
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
        ++n;
    }
    return (n * sxy - sx * sy) / (n * sxx - sx * sx);
}
} // namespace

TEST(PowerLawNoise, EachTypeShowsItsAllanDeviationSlope)
{
    struct Case {
        double alpha;
        int statistic;
        double slope, tolerance;
    };
    const Case cases[] = {
        {2, OVERLAPPING, -1.0, 0.1},  {1, OVERLAPPING, -1.0, 0.2}, {0, OVERLAPPING, -0.5, 0.1},
        {-1, OVERLAPPING, 0.0, 0.1},  {-2, OVERLAPPING, 0.5, 0.1}, {2, MODIFIED, -1.5, 0.1},
    };
    const int n = 1 << 16;
    for (const Case& c : cases) {
        NoiseRandom r(-20261211);
        std::vector<double> x;
        generatePowerLawNoise(n, 1e-9, x, c.alpha, r);
        const AdevCurve dev = computeAdevCurve(x, c.statistic, OCTAVE, 1.0, 1.0, nullptr, {}, 1);
        EXPECT_NEAR(slope(dev), c.slope, c.tolerance) << "alpha " << c.alpha << " statistic " << c.statistic;
    }
}

TEST(NoiseGenDiag, OkNeedsANoiseAndAFeasibleSize)
{
    struct Case {
        const char* whiteFm;
        const char* points;
        const char* warning;  // nullptr: accepted
    };
    const Case cases[] = {
        {"1e-9", "1000", nullptr},
        {"0.00E-00", "1000", "Noise level too low"},
        {"1e-9", "100000000", "Noise Generator"},
        {"1e-9", "0", nullptr},  // the generator reports the size
    };
    for (const Case& c : cases) {
        NoiseGenDiag d;
        d.m_magnitudeEdits[2]->setText(c.whiteFm);
        d.m_pointsEdit->setText(c.points);
        kro::test::ScriptedPrompts prompts;
        if (c.warning)
            prompts->answerMessage(QMessageBox::Ok);
        QMetaObject::invokeMethod(&d, "accept");
        EXPECT_EQ(d.result() == QDialog::Accepted, c.warning == nullptr) << c.whiteFm << " " << c.points;
        if (c.warning) {
            ASSERT_EQ(prompts->asked().size(), 1u);
            EXPECT_EQ(prompts->asked()[0].title, c.warning);
        } else {
            EXPECT_EQ(d.m_magnitude[2], QString(c.whiteFm).toDouble());
            EXPECT_EQ(d.m_points, QString(c.points).toInt());
        }
    }
}
