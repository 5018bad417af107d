// Correlation, convolution and histogram result plots: values against the
// direct sums, lag order, titles and labels, the curve choice and the bin
// count, and refused input.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis_plots.h"
#include "core/polyfit.h"
#include "plot_fixture.h"
#include "plot_signals.h"
#include "support/prompts.h"
#include "support/textbook.h"

using namespace plottest;

namespace {

using V = std::vector<double>;
using textbook::circularSum;

// The value at a lag of a circular sequence (negative lags wrap).
double atLag(const V& c, int lag) { return c[static_cast<std::size_t>((lag + static_cast<int>(c.size())) % static_cast<int>(c.size()))]; }

} // namespace

TEST(CorrelationPlots, AutoCorrelationOfEveryCurveCentredOnLagZero)
{
    auto p = makePlot();
    const V a = {1, -2, 0.5, 3, 1};
    const V b = {0.25, 1, -1, 2};
    p->setCurveData(0, sampledCurve(5, [&](int i) { return a[static_cast<std::size_t>(i)]; }), false);
    p->setCurveData(3, sampledCurve(4, [&](int i) { return b[static_cast<std::size_t>(i)]; }), true);
    p->setCurveTitle(0, "Curve 1");
    ResultPlots results(*p);
    p->plotacf();
    ASSERT_EQ(results.made.size(), 1u);
    Plotter& r = *results.last();
    EXPECT_EQ(r.objectName(), "ACF");
    for (auto [id, v] : {std::pair{0, a}, std::pair{3, b}}) {
        const CurveData* c = r.curve(id);
        ASSERT_NE(c, nullptr) << id;
        const V acf = circularSum(v, v, false);
        const int half = static_cast<int>(v.size()) / 2;
        ASSERT_EQ(c->pointCount(), v.size());
        for (std::size_t i = 0; i < v.size(); ++i) {
            const int lag = static_cast<int>(i) - half;
            EXPECT_EQ(c->x(i), lag);
            EXPECT_NEAR(c->y(i), atLag(acf, lag), 1e-12) << "C" << id + 1 << " lag " << lag;
        }
    }
    EXPECT_EQ(r.curve(0)->y(2), 1.0) << "the maximum sits at lag 0 in the middle";
    EXPECT_EQ(r.curveTitles().at(0), "Auto-Correlation (Curve 1)");
    EXPECT_EQ(r.curveTitles().at(3), "Auto-Correlation (of C4)");
    EXPECT_EQ(r.title(), "ACF");
    EXPECT_EQ(r.yLabel(), "Normalized Auto-Correlation");
    EXPECT_EQ(r.xLabel(), "Lag");
    EXPECT_TRUE(r.autoCacheFilled());

    // One curve: its result is titled plainly.
    auto one = makePlot();
    one->setCurveData(0, sampledCurve(5, [&](int i) { return a[static_cast<std::size_t>(i)]; }), true);
    ResultPlots single(*one);
    one->plotacf();
    EXPECT_EQ(single.last()->curveTitles().at(0), "Auto-Correlation");
}

TEST(CorrelationPlots, CrossCorrelationAndConvolutionOfTheTwoChosenCurves)
{
    kro::test::ScriptedPrompts prompts;
    auto p = makePlot();
    const V a = {1, 2, 3};
    const V b = {0.5, -1, 2, 0.25, 1};
    p->setCurveData(0, sampledCurve(3, [&](int i) { return a[static_cast<std::size_t>(i)]; }), false);
    p->setCurveData(1, sampledCurve(2, [](int i) { return i; }), false);
    p->setCurveData(2, sampledCurve(5, [&](int i) { return b[static_cast<std::size_t>(i)]; }), true);
    ResultPlots results(*p);

    prompts->answerDialog(chooseRows({0, 2}));  // C1, then C3
    p->plotxcf();
    ASSERT_EQ(results.made.size(), 1u);
    {
        Plotter& r = *results.last();
        EXPECT_EQ(r.objectName(), "XCF");
        const V want = circularSum(a, b, false);
        ASSERT_EQ(r.curves().size(), 1u);
        const CurveData& c = *r.curve(0);
        ASSERT_EQ(c.pointCount(), 5u);
        for (std::size_t i = 0; i < 5; ++i) {
            const int lag = static_cast<int>(i) - 2;
            EXPECT_EQ(c.x(i), lag);
            EXPECT_NEAR(c.y(i), atLag(want, lag), 1e-12) << "lag " << lag;
        }
        EXPECT_EQ(r.title(), "XCF");
        EXPECT_EQ(r.yLabel(), "Normalized Cross-correlation");
        EXPECT_EQ(r.curveTitles().at(0), "Cross-Correlation");
        EXPECT_TRUE(r.autoCacheFilled());
    }

    prompts->answerDialog(chooseRows({0, 2}));
    p->plotconv();
    ASSERT_EQ(results.made.size(), 2u);
    {
        Plotter& r = *results.last();
        EXPECT_EQ(r.objectName(), "CONV");
        const V want = circularSum(a, b, true);
        const CurveData& c = *r.curve(0);
        ASSERT_EQ(c.pointCount(), 5u);
        for (std::size_t k = 0; k < 5; ++k) {
            EXPECT_EQ(c.x(k), static_cast<double>(k));
            EXPECT_NEAR(c.y(k), want[k], 1e-12) << k;
        }
        EXPECT_EQ(r.title(), "Convolution");
        EXPECT_EQ(r.yLabel(), "Normalized Convolution");
        EXPECT_EQ(r.curveTitles().at(0), "Convolution");
    }

    // Cancelling the choice reports it and makes nothing.
    Reports reports(*p);
    prompts->answerDialog(QDialog::Rejected);
    p->plotxcf();
    prompts->answerDialog(QDialog::Rejected);
    p->plotconv();
    EXPECT_EQ(results.made.size(), 2u);
    EXPECT_TRUE(reports.has(ZEVOVE::INFO, "Cross-correlation function canceled."));
    EXPECT_TRUE(reports.has(ZEVOVE::INFO, "Convolution function canceled."));

    // Two curves of three points: x 0, 1, 2 without asking.
    auto two = makePlot();
    two->setCurveData(0, curveOf({{0, 1}, {1, 1}, {2, 0}}), false);
    two->setCurveData(1, curveOf({{0, 0}, {1, 1}, {2, 1}}), true);
    ResultPlots conv(*two);
    two->plotconv();
    EXPECT_EQ(xsOf(*conv.last()->curve(0)), (V{0, 1, 2}));
}

TEST(CorrelationPlots, ValuesThatAreNotNumbersAreRefused)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 1}, {1, std::nan("")}, {2, 0}}), true);
    ResultPlots results(*p);
    Reports reports(*p);
    p->plotacf();
    EXPECT_TRUE(results.made.empty());
    EXPECT_TRUE(reports.lines.contains("Error: Curve C1 holds values that are not finite numbers; the analysis was "
                                       "not run."));
}

TEST(HistogramPlots, BinsOverTheCommonRange)
{
    kro::test::ScriptedPrompts prompts;
    auto p = makePlot();
    // y 0 .. 1 and 10 .. 11, with a value that is not a number.
    p->setCurveData(0, sampledCurve(11, [](int i) { return i / 10.0; }), false);
    p->setCurveData(2, sampledCurve(12, [](int i) { return i == 11 ? std::nan("") : 10 + i / 10.0; }), true);
    p->setCurveTitle(2, "second");
    ResultPlots results(*p);
    prompts->answerInt(11);
    p->plothist();
    ASSERT_EQ(results.made.size(), 1u);
    const auto& asked = prompts->asked().back();
    EXPECT_EQ(asked.title, "Number of bins");
    EXPECT_EQ(asked.text, "# of bins:");
    EXPECT_EQ(asked.initial, 25);
    Plotter& r = *results.last();
    EXPECT_EQ(r.objectName(), "Histogram");
    EXPECT_EQ(r.title(), "Histogram");
    EXPECT_TRUE(r.m_barMode);
    EXPECT_EQ(r.m_barFloor, 0.0);
    EXPECT_FALSE(r.autoCacheFilled());
    EXPECT_EQ(r.curveTitles().at(2), "second");
    // Bins of width 1 centred at 0.5 .. 10.5; 11 counts in the last bin.
    const V centres = {0.5, 1.5, 2.5, 3.5, 4.5, 5.5, 6.5, 7.5, 8.5, 9.5, 10.5};
    EXPECT_EQ(xsOf(*r.curve(0)), centres);
    EXPECT_EQ(ysOf(*r.curve(0)), (V{10, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(ysOf(*r.curve(2)), (V{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 11}));

    // No bins: curves without points. Cancel and too many bins: no plot.
    prompts->answerInt(0);
    p->plothist();
    EXPECT_EQ(results.last()->curve(0)->pointCount(), 0u);
    Reports reports(*p);
    prompts->answerInt(std::nullopt);
    p->plothist();
    prompts->answerInt(kMaxHistogramBins + 1);
    p->plothist();
    EXPECT_EQ(results.made.size(), 2u);
    EXPECT_EQ(reports.lines.size(), 1);
    EXPECT_TRUE(reports.lines.value(0).startsWith("Error: A histogram may have at most")) << reports.lines.value(0).toStdString();
}
