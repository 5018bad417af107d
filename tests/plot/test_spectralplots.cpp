// Spectra of a plot's curves in result plots: the dialog's start values, the
// curves, texts and undo copy of each spectrum type, slices, the zero-power
// report, refused input, and the inverse transform.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

#include <cmath>
#include <complex>

#include "analysis/fftdialog.h"
#include "analysis_plots.h"
#include "core/messages.h"
#include "plot_fixture.h"
#include "plot_signals.h"
#include "support/prompts.h"

using namespace plottest;

namespace {

constexpr double kPi = 3.14159265358979323846;

// Accepts the FFT dialog with a window and a number of slices; records the
// dialog's start values.
struct FftAnswer {
    QString window = "Boxcar";
    int slices = 1;
    QString period, points;
    bool carrier = false;
    std::function<int(QDialog*)> handler()
    {
        return [this](QDialog* d) {
            auto* dlg = static_cast<FFTInputDialog*>(d);
            period = dlg->m_periodEdit->text();
            points = dlg->m_pointsEdit->text();
            carrier = dlg->m_carrierEdit != nullptr;
            dlg->m_windowCombo->setCurrentText(window);
            dlg->m_slicesSpin->setValue(slices);
            return int(QDialog::Accepted);
        };
    }
};

// C1: a unit sine at a tenth of the sample rate, 100 points 0.5 s apart;
// C3: 120 points of a slower cosine.
std::unique_ptr<Plotter> twoSignals()
{
    auto p = makePlot();
    p->setCurveData(0, sampledCurve(100, [](int i) { return std::sin(2 * kPi * i / 10); }, 0.5), false);
    p->setCurveData(2, sampledCurve(120, [](int i) { return std::cos(2 * kPi * i / 7.3); }, 0.5), true);
    p->setCurveTitle(0, "Curve 1");
    p->setCurveTitle(2, "Curve 3");
    return p;
}

} // namespace

TEST(SpectrumPlots, PowerSpectralDensityOfEveryCurve)
{
    kro::test::ScriptedPrompts prompts;
    auto p = twoSignals();
    ResultPlots results(*p);
    QSignalSpy announced(p.get(), &Plotter::plotterSettingsChanged);
    FftAnswer answer;
    prompts->answerDialog(answer.handler());
    p->plotpsd();

    EXPECT_EQ(answer.period, "0.5");
    EXPECT_EQ(answer.points, "100") << "the shortest curve";
    EXPECT_FALSE(answer.carrier);
    ASSERT_EQ(results.made.size(), 1u);
    Plotter& r = *results.last();
    EXPECT_EQ(r.objectName(), "Fourier Transform");
    EXPECT_FALSE(r.m_logX);
    ASSERT_EQ(r.curves().size(), 2u);
    ASSERT_NE(r.curve(0), nullptr);
    ASSERT_NE(r.curve(2), nullptr);
    // 100 points at fs = 2 Hz: bins 0 .. 49 at j fs / 100; the unit sine
    // peaks at bin 10 with (sum w)^2 / (2 fs sum w^2) = 100 / 4.
    const std::vector<double> x = xsOf(*r.curve(0)), y = ysOf(*r.curve(0));
    ASSERT_EQ(x.size(), 50u);
    for (std::size_t j = 0; j < x.size(); ++j)
        EXPECT_NEAR(x[j], 2.0 * j / 100, 1e-12);
    EXPECT_EQ(std::max_element(y.begin(), y.end()) - y.begin(), 10);
    EXPECT_NEAR(y[10], 10 * std::log10(25.0), 1e-9);
    EXPECT_EQ(r.curve(2)->pointCount(), 50u) << "C3 uses its first 100 points";

    EXPECT_EQ(r.title(), "Power Spectral Density");
    EXPECT_EQ(r.xLabel(), "Frequency (Hz)");
    EXPECT_EQ(r.yLabel(), "dB/Hz");
    EXPECT_EQ(r.footnote(), "FFT Window: Boxcar");
    EXPECT_TRUE(r.autoCacheFilled());
    EXPECT_EQ(r.curveTitles().at(2), "Curve 3");
    // The result curve takes the source curve's palette colour.
    EXPECT_EQ(r.curve(2)->attributes.lineColor, p->curve(2)->attributes.lineColor);
    EXPECT_TRUE(r.m_message.isNull());
    ASSERT_EQ(announced.count(), 1);
    EXPECT_EQ(announced[0][0].value<Plotter*>(), &r);
}

TEST(SpectrumPlots, SlicesOscillationPowerAndPhaseNoise)
{
    kro::test::ScriptedPrompts prompts;
    auto p = twoSignals();
    ResultPlots results(*p);

    FftAnswer two;
    two.slices = 2;
    prompts->answerDialog(two.handler());
    p->plotpsd();
    ASSERT_EQ(results.made.size(), 1u);
    EXPECT_EQ(results.last()->title(), "Power Spectral Density - Avg factor: 2");
    EXPECT_EQ(results.last()->curve(0)->pointCount(), 25u);
    const std::vector<double> psd = ysOf(*results.last()->curve(2));

    FftAnswer periods;
    periods.slices = 2;
    prompts->answerDialog(periods.handler());
    p->plotoscpwr();
    ASSERT_EQ(results.made.size(), 2u);
    Plotter& osc = *results.last();
    EXPECT_TRUE(osc.m_logX);
    EXPECT_EQ(osc.xLabel(), "Period (s)");
    EXPECT_EQ(osc.yLabel(), "dB/Period");
    const std::vector<double> x = xsOf(*osc.curve(2)), y = ysOf(*osc.curve(2));
    ASSERT_EQ(x.size(), 24u);
    for (std::size_t k = 0; k < x.size(); ++k) {
        const std::size_t j = 24 - k;  // periods N / (fs j) ascending
        EXPECT_NEAR(x[k], 50.0 / (2.0 * j), 1e-12);
        EXPECT_DOUBLE_EQ(y[k], psd[j]);
    }

    FftAnswer noise;
    noise.slices = 2;
    prompts->answerDialog(noise.handler());
    p->plotphasenoise();
    ASSERT_EQ(results.made.size(), 3u);
    EXPECT_TRUE(noise.carrier);
    Plotter& pn = *results.last();
    EXPECT_TRUE(pn.m_logX);
    EXPECT_EQ(pn.yLabel(), "dBc/Hz");
    const std::vector<double> l = ysOf(*pn.curve(2));
    ASSERT_EQ(l.size(), psd.size());
    // L(f) = (2 pi f0)^2 S / 2 with the carrier 10 MHz.
    for (std::size_t j = 0; j < l.size(); ++j)
        EXPECT_NEAR(l[j], psd[j] + 10 * std::log10(std::pow(2 * kPi * 10e6, 2) / 2), 1e-9);
}

TEST(SpectrumPlots, ZeroPowerIsReportedByVerbosity)
{
    kro::test::ScriptedPrompts prompts;
    auto p = makePlot();
    p->setCurveData(0, sampledCurve(16, [](int) { return 0.0; }), true);
    ResultPlots results(*p);
    Reports reports(*p);
    const bool wasVerbose = kro::isVerbose();
    for (bool verbose : {false, true}) {
        kro::setVerbose(verbose);
        FftAnswer a;
        prompts->answerDialog(a.handler());
        p->plotpsd();
        for (double v : ysOf(*results.last()->curve(0)))
            EXPECT_EQ(v, 0.0);
    }
    kro::setVerbose(wasVerbose);
    const QString text = "FFT of curve C1 has returned all 0-valued power points!";
    EXPECT_TRUE(reports.lines.contains(text));
    EXPECT_TRUE(reports.has(ZEVOVE::WARNING, text));
}

TEST(SpectrumPlots, RefusedInputMakesNoResultPlot)
{
    kro::test::ScriptedPrompts prompts;
    struct Case {
        const char* name;
        std::vector<CurveData> curves;
        bool asks;  // the dialog comes before the refusal
        const char* error;
    } cases[] = {
        {"no curves", {}, false, "Error: The plot has no curves to analyse."},
        {"a curve of one point", {sampledCurve(8, [](int i) { return i; }), sampledCurve(1, [](int) { return 1.0; })},
         false, "Error: Curve C2 has 1 points; the analysis needs at least 2."},
        {"a value that is not a number",
         {sampledCurve(8, [](int i) { return i == 3 ? std::nan("") : 1.0 * i; })}, true,
         "Error: Curve C1 holds values that are not finite numbers; no spectrum was computed."},
    };
    for (const Case& c : cases) {
        auto p = makePlot();
        for (std::size_t i = 0; i < c.curves.size(); ++i)
            p->setCurveData(static_cast<int>(i), c.curves[i], false);
        const CurveMap before = p->curves();
        ResultPlots results(*p);
        Reports reports(*p);
        FftAnswer a;
        if (c.asks)
            prompts->answerDialog(a.handler());
        p->plotpsd();
        EXPECT_TRUE(results.made.empty()) << c.name;
        EXPECT_TRUE(reports.lines.contains(c.error)) << c.name << ": " << reports.lines.join("|").toStdString();
        EXPECT_EQ(p->curves(), before) << c.name;
        EXPECT_EQ(prompts->pending(), 0) << c.name;
    }
    // A cancelled dialog makes nothing either.
    auto p = twoSignals();
    ResultPlots results(*p);
    prompts->answerDialog(QDialog::Rejected);
    p->plotphasenoise();
    EXPECT_TRUE(results.made.empty());
}

TEST(SpectrumPlots, UnevenSpacingIsNamedAndTwoPointsGiveTheZeroFrequency)
{
    kro::test::ScriptedPrompts prompts;
    struct Case {
        const char* name;
        CurveData curve;
        bool uneven;
        std::size_t bins;
    } cases[] = {
        {"evenly spaced", sampledCurve(16, [](int i) { return std::sin(i); }), false, 8},
        // One step of 1.5 among steps of 1.
        {"one longer step", sampledCurve(16, [](int i) { return std::sin(i); }, 1.0, 0.0), true, 8},
        {"two points", sampledCurve(2, [](int i) { return i + 1.0; }), false, 1},
    };
    std::vector<double>& xs = cases[1].curve.values.mut();
    for (std::size_t i = 10; i < xs.size(); i += 2)
        xs[i] += 0.5;
    const QString warning =
        "Warning: Curve C1 is not evenly spaced in x; its points are taken as samples at equal intervals.";
    for (Case& c : cases) {
        auto p = makePlot();
        p->setCurveData(0, c.curve, true);
        ResultPlots results(*p);
        Reports reports(*p);
        FftAnswer a;
        prompts->answerDialog(a.handler());
        p->plotpsd();
        ASSERT_EQ(results.made.size(), 1u) << c.name << ": " << reports.lines.join("|").toStdString();
        EXPECT_EQ(reports.lines.contains(warning), c.uneven) << c.name;
        EXPECT_EQ(results.last()->curve(0)->pointCount(), c.bins) << c.name;
    }
}

TEST(SpectrumPlots, InverseTransformNumbersTheResultsInOrder)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{1, 0}, {0, 0}, {0, 0}, {0, 0}}), false);
    p->setCurveData(2, curveOf({{0.5, 1}, {-1, 2}, {3, 0.25}}), true);
    ResultPlots results(*p);
    p->plotifft();
    ASSERT_EQ(results.made.size(), 1u);
    Plotter& r = *results.last();
    EXPECT_EQ(r.objectName(), "Inverse Fourier Transform");
    EXPECT_EQ(r.curve(0)->values, (std::vector<double>{0, 1, 1, 1, 2, 1, 3, 1}));
    ASSERT_NE(r.curve(1), nullptr) << "C3 becomes C2";
    // x(j) = Re sum_k z(k) e^(+2 pi i j k / n).
    const std::complex<double> z[3] = {{0.5, 1}, {-1, 2}, {3, 0.25}};
    for (int j = 0; j < 3; ++j) {
        std::complex<double> s;
        for (int k = 0; k < 3; ++k)
            s += z[k] * std::polar(1.0, 2 * kPi * j * k / 3);
        EXPECT_EQ(r.curve(1)->x(static_cast<std::size_t>(j)), j);
        EXPECT_NEAR(r.curve(1)->y(static_cast<std::size_t>(j)), s.real(), 1e-12);
    }
    EXPECT_EQ(r.title(), "Inverse FFT");
    EXPECT_EQ(r.xLabel(), "points");
    EXPECT_FALSE(r.autoCacheFilled());
}
