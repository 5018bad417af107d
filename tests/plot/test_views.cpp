// The zoom history, fixed ranges, logarithmic axes, granularity and rescale.
#include <gtest/gtest.h>

#include "platform/scriptedprompter.h"
#include "plot_fixture.h"

using namespace plottest;

namespace {

class Prompts {
public:
    Prompts() : m_p(new kro::ScriptedPrompter) { m_old = kro::installPrompter(std::unique_ptr<kro::Prompter>(m_p)); }
    ~Prompts() { kro::installPrompter(std::move(m_old)); }
    kro::ScriptedPrompter* operator->() { return m_p; }

private:
    kro::ScriptedPrompter* m_p;
    std::unique_ptr<kro::Prompter> m_old;
};

TEST(ZoomHistory, StepsAndTheirBits)
{
    auto p = makePlot();
    QSignalSpy changed(p.get(), &Plotter::zoomBtnChanged);
    p->zoomOut(); // at view 0: nothing
    p->zoomIn();  // at the last view: nothing
    EXPECT_EQ(changed.count(), 0);
    p->m_views.push_back(p->m_views[0]);
    p->m_views.push_back(p->m_views[0]);
    p->m_viewIndex = 2;
    p->zoomOut();
    EXPECT_EQ(p->viewIndex(), 1);
    EXPECT_EQ(p->zoomState(), ZOOM_IN | ZOOM_OUT);
    p->zoomOut();
    EXPECT_EQ(p->zoomState(), ZOOM_IN);
    p->zoomIn();
    p->zoomIn();
    EXPECT_EQ(p->viewIndex(), 2);
    EXPECT_EQ(p->zoomState(), ZOOM_OUT);
    // Back to the base view: bits cleared, later views kept.
    p->setBaseView(p->m_views[0], true);
    EXPECT_EQ(p->zoomState(), 0);
    EXPECT_EQ(p->views().size(), 3u);
    p->zoomIn();
    EXPECT_EQ(p->viewIndex(), 1);
}

TEST(ZoomHistory, FixedRangesStayInForceAcrossRescale)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 0}, {10, 1}}), true);
    p->setDomain({2, 4});
    p->rescale();
    EXPECT_EQ(p->view().xRange(), AxisRange(2, 4));
    p->autoDomain();
    p->rescale();
    EXPECT_LT(p->view().xRange().min, 0);
    EXPECT_GT(p->view().xRange().max, 10);
}

TEST(ZoomHistory, RescaleLeavesFivePixelsAroundTheData)
{
    auto p = makePlot(600, 400);
    p->setCurveData(0, curveOf({{0, 0}, {10, 1}}), true);
    const QRect area = p->plotArea();
    EXPECT_EQ(p->dataToPixel(0, 0), QPoint(area.left() + 5, area.bottom() - 5));
    EXPECT_EQ(p->dataToPixel(10, 1), QPoint(area.right() - 5, area.top() + 5));
}

TEST(ZoomHistory, FlatDataAndSinglePointsGetARange)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 3}, {10, 3}}), true);
    const AxisRange y = p->view().yRange();
    EXPECT_LT(y.min, 3);
    EXPECT_GT(y.max, 3);
    EXPECT_GT(p->view().yTicks.count, 0);
    p->setCurveData(0, curveOf({{0, 0}, {0, 0}}), true);
    EXPECT_LT(p->view().xRange().min, 0);
    EXPECT_GT(p->view().xRange().max, 0);
}

TEST(LogScale, RangesInWholeDecades)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{-1, 1}, {-1000, 2}}), false);
    p->updateLogScale(1, 2);
    EXPECT_EQ(p->m_logXSign, -1);
    EXPECT_EQ(p->m_views[0].autoX, AxisRange(-3, 0));
    p->setCurveData(0, curveOf({{0.02, 1}, {350, 2}}), false);
    p->updateLogScale(1, 2);
    EXPECT_EQ(p->m_logXSign, 1);
    EXPECT_EQ(p->m_views[0].autoX, AxisRange(-2, 3));
    // Largest value exactly 0 counts as negative data.
    p->setCurveData(0, curveOf({{-5, 1}, {0, 2}}), false);
    p->updateLogScale(1, 2);
    EXPECT_EQ(p->m_logXSign, -1);
}

TEST(LogScale, ToggleRescalesAndRedraws)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{1, 0.5}, {1000, 2}}), true);
    p->on_togLogScaleX();
    EXPECT_TRUE(p->m_logX);
    EXPECT_EQ(p->view().xRange(), AxisRange(0, 3));
    p->on_togLogScaleX();
    EXPECT_FALSE(p->m_logX);
    EXPECT_LT(p->view().xRange().min, 1);
}

TEST(RangePrompts, TextIsTakenAsWritten)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 0}, {10, 1}}), true);
    Prompts prompts;
    prompts->answerText(QString(" 1 , a "));
    p->promptDomain();
    EXPECT_TRUE(p->m_views[0].userXInForce);
    EXPECT_EQ(p->view().xRange(), AxisRange(1, 0));
    ASSERT_EQ(prompts->asked().size(), 1u);
    EXPECT_EQ(prompts->asked()[0].title, "Axes Dialog");
    EXPECT_EQ(prompts->asked()[0].text, "Enter Domain (min,max):");
    // A reversed range draws without hanging: no ticks.
    p->refreshPixmap();
    EXPECT_EQ(p->view().xTicks.count, 0);
    prompts->answerText(std::nullopt);
    p->promptRange();
    EXPECT_FALSE(p->m_views[0].userYInForce);
    prompts->answerText(QString("-2,5"));
    p->promptRange();
    EXPECT_EQ(p->view().yRange(), AxisRange(-2, 5));
}

TEST(Granularity, UserStepsAndTheirLimits)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 0}, {1e6, 1}}), true);
    p->setXTickGranularity(250000);
    EXPECT_DOUBLE_EQ(p->view().xTicks.step, 250000);
    // A tiny step would ask for 10^18 ticks: the axis falls back to the
    // automatic step at once.
    p->setXTickGranularity(1e-12);
    EXPECT_LE(p->view().xTicks.count, kMaxTickIntervals);
    EXPECT_GT(p->view().xTicks.step, 1.0);
    p->setXTickGranularity(-5);
    EXPECT_EQ(p->m_xGranularity, -1);
    Prompts prompts;
    prompts->answerDouble(0.25);
    p->setYTickGranularity();
    EXPECT_EQ(p->m_yGranularity, 0.25);
    EXPECT_DOUBLE_EQ(p->view().yTicks.step, 0.25);
    prompts->answerDouble(std::nullopt);
    p->setYTickGranularity();
    EXPECT_EQ(p->m_yGranularity, 0.25);
    // A huge step: at most a tick or two, still a picture.
    p->setYTickGranularity(1e300);
    EXPECT_LE(p->view().yTicks.count, 2);
    p->refreshPixmap();
}

} // namespace
