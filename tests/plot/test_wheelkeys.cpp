// The wheel (tick-step scrolling, Ctrl zoom about the pointer) and the keys
// (zoom history, arrows, point size and line width shortcuts).
#include <gtest/gtest.h>

#include "mouse_helpers.h"
#include "plot_fixture.h"

using namespace plottest;

namespace {

// A 600 x 400 plot with margins 50: a plot area of 500 x 300 pixels over
// x 0..500 and y 0..300.
std::unique_ptr<Plotter> areaPlot()
{
    auto p = makePlot(600, 400);
    p->setCurveData(0, curveOf({{0, 0}, {500, 300}}), false);
    setGeometry(*p, 50, 50, 50, 50, {0, 500}, {0, 300});
    return p;
}

TEST(WheelZoom, CtrlForwardZoomsToFourFifthsAroundThePointer)
{
    auto p = areaPlot();
    wheel(*p, {300, 200}, {0, 120}, Qt::ControlModifier);
    // The rectangle (101, 81)-(500, 320): 400 x 240 pixels centred on the pointer.
    ASSERT_EQ(p->viewIndex(), 1);
    EXPECT_EQ(p->view().xRange(), AxisRange(51, 450));
    EXPECT_EQ(p->view().yRange(), AxisRange(30, 269));
    EXPECT_EQ(p->cursor().shape(), Qt::ArrowCursor);
}

TEST(WheelZoom, CtrlBackwardShowsTheWiderView)
{
    auto p = areaPlot();
    wheel(*p, {300, 200}, {0, -120}, Qt::ControlModifier);
    // 600 x 360 pixels around the pointer, shown (not only stored).
    ASSERT_EQ(p->viewIndex(), 1);
    EXPECT_EQ(p->view().xRange(), AxisRange(-49, 550));
    EXPECT_EQ(p->view().yRange(), AxisRange(-30, 329));
    p->zoomOut();
    EXPECT_EQ(p->view().xRange(), AxisRange(0, 500));
}

TEST(WheelScroll, NotchesMoveByTickSteps)
{
    auto p = areaPlot();
    const double xStep = p->view().xTicks.step;
    const double yStep = p->view().yTicks.step;
    ASSERT_GT(xStep, 0);
    wheel(*p, {300, 200}, {0, 120});
    EXPECT_EQ(p->view().xRange(), AxisRange(xStep, 500 + xStep));
    // Half a notch moves nothing but still redraws.
    const qint64 drawn = p->pixmap().cacheKey();
    wheel(*p, {300, 200}, {0, 60});
    EXPECT_EQ(p->view().xRange(), AxisRange(xStep, 500 + xStep));
    EXPECT_NE(p->pixmap().cacheKey(), drawn);
    // Two notches back; the horizontal wheel moves y.
    wheel(*p, {300, 200}, {0, -240});
    EXPECT_EQ(p->view().xRange(), AxisRange(-xStep, 500 - xStep));
    wheel(*p, {300, 200}, {120, 0});
    EXPECT_EQ(p->view().yRange(), AxisRange(yStep, 300 + yStep));
    // Other modifiers scroll too.
    wheel(*p, {300, 200}, {0, 120}, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(p->view().xRange(), AxisRange(0, 500));
    EXPECT_EQ(p->viewIndex(), 0);
}

TEST(WheelScroll, FixedDomainInForceMoves)
{
    auto p = areaPlot();
    ViewRect& v = p->m_views[0];
    v.userX = AxisRange(100, 200);
    v.userXInForce = true;
    computeAxisTicks(v, 0);
    const double step = p->view().xTicks.step;
    wheel(*p, {300, 200}, {0, 120});
    EXPECT_EQ(p->view().xRange(), AxisRange(100 + step, 200 + step));
    key(*p, Qt::Key_Left);
    key(*p, Qt::Key_Left);
    EXPECT_EQ(p->view().xRange(), AxisRange(100 - step, 200 - step));
    EXPECT_EQ(p->views()[0].autoX, AxisRange(0, 500));
}

TEST(Keys, ArrowsShiftByOneTick)
{
    auto p = areaPlot();
    const double xStep = p->view().xTicks.step;
    const double yStep = p->view().yTicks.step;
    key(*p, Qt::Key_Right);
    EXPECT_EQ(p->view().xRange(), AxisRange(xStep, 500 + xStep));
    key(*p, Qt::Key_Left);
    EXPECT_EQ(p->view().xRange(), AxisRange(0, 500));
    key(*p, Qt::Key_Up);
    EXPECT_EQ(p->view().yRange(), AxisRange(yStep, 300 + yStep));
    key(*p, Qt::Key_Down, Qt::KeypadModifier);
    EXPECT_EQ(p->view().yRange(), AxisRange(0, 300));
}

TEST(Keys, PointSizeLineWidthAndZoomShortcuts)
{
    auto p = areaPlot();
    p->zoomToRect(QRect(100, 100, 200, 100), true);
    p->zoomOut(); // a later view to step to
    ASSERT_EQ(p->viewIndex(), 0);
    const int d = p->m_pointDiameter;

    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        int diameter;  // change of the point diameter
        int viewIndex; // after the key
        int lineWidth;
    };
    const Case cases[] = {
        {Qt::Key_Equal, Qt::ShiftModifier | Qt::ControlModifier, 2, 0, 0},  // points only
        {Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier, 4, 1, 0},  // points and zoom in
        {Qt::Key_Minus, Qt::ControlModifier, 2, 0, 0},                      // smaller and zoom out
        {Qt::Key_Plus, Qt::NoModifier, 2, 1, 0},
        {Qt::Key_Minus, Qt::KeypadModifier, 2, 0, 0},
        {Qt::Key_BracketRight, Qt::ControlModifier, 2, 0, 1},
        {Qt::Key_BracketLeft, Qt::ControlModifier, 2, 0, 0},
        {Qt::Key_BracketLeft, Qt::ControlModifier, 2, 0, 0},  // never below 0
    };
    for (const Case& c : cases) {
        key(*p, c.key, c.mods);
        EXPECT_EQ(p->m_pointDiameter, d + c.diameter) << c.key;
        EXPECT_EQ(p->viewIndex(), c.viewIndex) << c.key;
        EXPECT_EQ(p->m_lineWidth, c.lineWidth) << c.key;
    }
}

TEST(Keys, OtherKeysGoToTheParent)
{
    auto p = areaPlot();
    QKeyEvent e(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(p.get(), &e);
    EXPECT_FALSE(e.isAccepted());
    QKeyEvent plus(QEvent::KeyPress, Qt::Key_Plus, Qt::NoModifier, "+");
    QApplication::sendEvent(p.get(), &plus);
    EXPECT_TRUE(plus.isAccepted());
}

} // namespace
