// Curve appearance and plot colours: point size and line width, the line and
// point switches, colour rotation, the colour schemes, the 3-D prompts and the
// curve identification panel.
#include <gtest/gtest.h>

#include <QLabel>
#include <cmath>

#include "core/settings.h"
#include "plot/actionlabel.h"
#include "plot/plotdiag.h"
#include "plot_fixture.h"
#include "plot_signals.h"
#include "support/prompts.h"

using namespace plottest;

namespace {

CurveData coloured(quint32 rgb, bool line = true, bool points = false)
{
    CurveData c = curveOf({{0, 0}, {1, 1}}, line, points);
    c.attributes.lineColor = Rgb(rgb);
    c.attributes.pointShapeColor = Rgb(rgb);
    c.attributes.pointFillColor = Rgb(rgb);
    return c;
}

// True when the plot redrew its pixmap while f ran.
template <typename F>
bool redraws(Plotter& p, F f)
{
    const qint64 before = p.pixmap().cacheKey();
    f();
    return p.pixmap().cacheKey() != before;
}

} // namespace

TEST(PlotAppearance, PointRadiusIsStoredAsADiameter)
{
    auto p = makePlot();
    struct Case {
        int radius;
        int diameter;
        int reported;
    };
    for (const Case& c : {Case{0, 3, 1}, Case{1, 3, 1}, Case{4, 9, 4}, Case{100, 201, 100}, Case{150, 201, 100},
                          Case{2000000000, 201, 100}}) {
        EXPECT_EQ(p->pointRadius(c.radius, SET), c.reported) << c.radius;
        EXPECT_EQ(p->m_pointDiameter, c.diameter) << c.radius;
    }
    // A negative radius rereads the setting, which holds a diameter.
    writeSetting("pntrad", QString("5"));
    EXPECT_EQ(p->pointRadius(-1, SET), 2);
    EXPECT_EQ(p->m_pointDiameter, 5);
    EXPECT_EQ(p->pointRadius(40, GET), 2) << "a query changes nothing";

    // The slots step the diameter by 2, without the 201 ceiling.
    p->pointRadius(100, SET);
    for (int i = 0; i < 5; ++i)
        p->increasePntRadius();
    EXPECT_EQ(p->m_pointDiameter, 211);
    p->m_pointDiameter = 3;
    EXPECT_FALSE(redraws(*p, [&] { p->decreasePntRadius(); }));
    EXPECT_EQ(p->m_pointDiameter, 3);
}

TEST(PlotAppearance, LineWidthSteppingSkipsOne)
{
    auto p = makePlot();
    struct Step {
        int from;
        bool increase;
        int to;
    };
    for (const Step& s : {Step{0, true, 2}, Step{2, true, 3}, Step{2, false, 0}, Step{0, false, 0}, Step{1, false, 0},
                          Step{1, true, 2}, Step{5, false, 4}}) {
        p->m_lineWidth = s.from;
        s.increase ? p->increaseLineWidth() : p->decreaseLineWidth();
        EXPECT_EQ(p->m_lineWidth, s.to) << s.from << (s.increase ? " up" : " down");
    }
    EXPECT_EQ(p->lineWidth(-4, SET), 4);
    EXPECT_EQ(p->lineWidth(7, GET), 4);
    EXPECT_EQ(p->lineWidth(7, SET), 7);
}

TEST(PlotAppearance, ACurveNeverLosesBothLineAndPoints)
{
    auto p = makePlot();
    p->setCurveData(0, coloured(0xFF0000, true, false), false);
    p->setCurveData(1, coloured(0x00FF00, true, false), false);
    p->setCurveTitle(0, "a");
    p->setCurveTitle(1, "b");

    p->setLines({ALL_CURVES}, OPTSTATES::OFF);
    for (const auto& [id, c] : p->curves()) {
        EXPECT_FALSE(c.attributes.showLine);
        EXPECT_TRUE(c.attributes.showPoints);
    }
    EXPECT_EQ(p->legend()->findItem(0)->m_style, 5) << "points only: light band and circle";
    EXPECT_TRUE(p->allPointsShown());
    EXPECT_FALSE(p->allLinesShown());

    p->setPoints({ALL_CURVES}, OPTSTATES::OFF);
    EXPECT_TRUE(p->allPointsShown()) << "lines are off, so the points stay";
    p->on_togPnts();
    EXPECT_TRUE(p->allPointsShown());

    p->on_togLine();
    EXPECT_TRUE(p->allLinesShown());
    EXPECT_EQ(p->legend()->findItem(1)->m_style, 6);
    p->setPoints({1}, OPTSTATES::TOGGLE);
    EXPECT_FALSE(p->curve(1)->attributes.showPoints);
    EXPECT_TRUE(p->curve(0)->attributes.showPoints);
    EXPECT_EQ(p->legend()->findItem(1)->m_style, 2);

    // Ids that name no curve are passed over; through the main window's
    // signature.
    ASSERT_TRUE(QMetaObject::invokeMethod(p.get(), "setLines", Q_ARG(std::vector<int>, std::vector<int>({9, 0})),
                                          Q_ARG(OPTSTATES::QUADSTATE, OPTSTATES::OFF)));
    EXPECT_FALSE(p->curve(0)->attributes.showLine);
}

TEST(PlotAppearance, GridToggleSwitchesBothDirections)
{
    auto p = makePlot();
    p->m_gridHorizontal = true;
    p->m_gridVertical = false;
    p->on_togGrid();
    EXPECT_FALSE(p->m_gridHorizontal || p->m_gridVertical);
    p->on_togGrid();
    EXPECT_TRUE(p->m_gridHorizontal && p->m_gridVertical);
}

TEST(PlotAppearance, ColourRotation)
{
    auto p = makePlot();
    p->setCurveData(0, coloured(0xFF0000), false);
    p->setCurveData(3, coloured(0x00FF00), false);
    p->setCurveData(5, coloured(0x0000FF), false);
    auto lines = [&] {
        std::vector<quint32> v;
        for (const auto& [id, c] : p->curves())
            v.push_back(c.attributes.lineColor.value);
        return v;
    };
    p->cycleCurveColors();
    EXPECT_EQ(lines(), (std::vector<quint32>{0x00FF00, 0x0000FF, 0xFF0000}));
    EXPECT_EQ(p->curve(5)->attributes.pointFillColor.value, 0xFF0000u);
    p->cycleCurveColors();
    p->cycleCurveColors();
    EXPECT_EQ(lines(), (std::vector<quint32>{0xFF0000, 0x00FF00, 0x0000FF}));

    // Palette colours move with their palette mark.
    auto q = makePlot();
    q->setCurveData(0, curveOf({{0, 0}}), false);
    q->setCurveData(1, curveOf({{0, 0}}), false);
    const Rgb second = q->curve(1)->attributes.lineColor;
    ASSERT_TRUE(second.isPalette());
    q->cycleCurveColors();
    EXPECT_EQ(q->curve(0)->attributes.lineColor, second);
}

TEST(PlotAppearance, DarkAndLightSchemesKeepTheUsersColours)
{
    kro::test::ScriptedPrompts prompts;
    auto p = makePlot();
    p->m_titleColor = Qt::red;
    prompts->answerColor(QColor(Qt::black));
    p->changeOutsideColor();
    EXPECT_EQ(p->m_outsideColor, QColor(Qt::black));
    EXPECT_EQ(p->m_titleColor, QColor(Qt::red));
    EXPECT_EQ(p->m_axesColor, QColor(170, 170, 255));
    EXPECT_EQ(p->m_axesMarkersColor, QColor(Qt::white));
    EXPECT_EQ(p->m_footnoteColor, QColor(170, 170, 255));
    EXPECT_EQ(p->xLabelWidget()->color(), QColor(170, 170, 255));

    prompts->answerColor(QColor(Qt::white));
    p->changeOutsideColor();
    EXPECT_EQ(p->m_axesColor, QColor(53, 53, 80));
    EXPECT_EQ(p->m_axesMarkersColor, QColor(Qt::black));
    EXPECT_EQ(p->m_footnoteColor, QColor(103, 103, 140));
    EXPECT_EQ(p->m_titleColor, QColor(Qt::red));

    prompts->answerColor(QColor(Qt::black));
    p->changeInsideColor();
    EXPECT_EQ(p->m_gridColor, QColor(128, 128, 128));
    EXPECT_EQ(p->m_coordLabel->palette().color(QPalette::WindowText), QColor(Qt::white));
    prompts->answerColor(QColor(Qt::white));
    p->changeInsideColor();
    EXPECT_EQ(p->m_gridColor, QColor(192, 192, 192));

    // Cancelled or unchanged: nothing, not even a redraw.
    prompts->answerColor(std::nullopt);
    EXPECT_FALSE(redraws(*p, [&] { p->changeGridColor(); }));
    prompts->answerColor(QColor(Qt::white));
    EXPECT_FALSE(redraws(*p, [&] { p->changeInsideColor(); }));
}

TEST(PlotAppearance, OutsideColourReachesOnlyDockedPanels)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 0}, {1, 1}}), false);
    p->setCurveData(1, curveOf({{0, 1}, {1, 0}}), false);
    p->setCurveTitle(0, "a");
    p->setCurveTitle(1, "b");
    p->legend()->setDockState(DOCK_FLOAT);
    p->outsideColor(QColor(Qt::black), SET);
    EXPECT_EQ(p->legend()->background(), QColor(Qt::white));
    EXPECT_EQ(p->markerTable()->background(), QColor(Qt::black)) << "the marker table is docked right";

    p->legend()->setDockState(DOCK_TOP);
    p->outsideColor(QColor(Qt::gray), SET);
    EXPECT_EQ(p->legend()->background(), QColor(Qt::gray));
    EXPECT_EQ(p->outsideColor(QColor(Qt::red), GET), QColor(Qt::gray));
}

TEST(PlotAppearance, ThreeDPrompts)
{
    kro::test::ScriptedPrompts prompts;
    auto p = makePlot();
    prompts->answerInt(30);
    p->rotate3Dx();
    EXPECT_DOUBLE_EQ(p->m_depthX, 1.0);
    prompts->answerInt(0);
    p->rotate3Dx();
    EXPECT_NEAR(p->m_depthX, 107.45, 0.01);
    prompts->answerInt(std::nullopt);
    EXPECT_TRUE(redraws(*p, [&] { p->rotate3Dy(); })) << "a cancelled prompt still redraws";
    EXPECT_DOUBLE_EQ(p->m_depthY, 3.0);
    // 11 makes the depth 0: the drawing still gets a usable divisor.
    prompts->answerInt(11);
    p->rotate3Dy();
    EXPECT_DOUBLE_EQ(p->m_depthY, 0.0);
    p->m_threeD = true;
    p->setCurveData(0, curveOf({{0, 0}, {1, 1}}), true);
    EXPECT_FALSE(p->pixmap().isNull());

    prompts->answerInt(14);
    p->setTickFontSize();
    EXPECT_EQ(p->m_tickFont.pointSize(), 14);
    EXPECT_EQ(p->m_tickFontHeight, QFontMetrics(p->m_tickFont).height());
}

TEST(PlotAppearance, PerCurveColoursAndShapes)
{
    auto p = makePlot();
    p->setCurveData(2, coloured(0x111111, true, false), false);
    p->setCurveTitle(2, "c");
    p->setLineColor(2, Rgb(0x40ABCDEFu));
    EXPECT_EQ(p->curve(2)->attributes.lineColor.value, 0x40ABCDEFu) << "stored as given";
    p->setPointFillColor(2, Rgb(0x80000000u));
    EXPECT_FALSE(p->curve(2)->attributes.pointFillColor.isSet());
    EXPECT_FALSE(redraws(*p, [&] { p->setPointShape(7, Zavozi::CurveAttributes::SQUARE); }));
    p->setPointShape(2, Zavozi::CurveAttributes::SQUARE);
    EXPECT_EQ(p->curve(2)->attributes.pointStyle, Zavozi::CurveAttributes::SQUARE);
    EXPECT_TRUE(p->curve(2)->attributes.showPoints);
    EXPECT_EQ(p->legend()->findItem(2)->m_style, 6);
}

TEST(PlotAppearance, CurvePanelMatchesTheCurvesTitledOrNot)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 0}, {1, 1}}), false);
    p->setCurveData(1, curveOf({{0, 1}, {1, 0}}), false);
    p->setCurveData(4, curveOf({{0, 2}, {1, 3}}), false);
    p->setCurveTitle(1, "Pressure");
    Reports reports(*p);
    p->refreshPixmap();
    EXPECT_EQ(reports.count(ZEVOVE::BUG), 0);
    CurveIDPanel* panel = p->curveIdPanel();
    ASSERT_EQ(panel->count(), 3);
    EXPECT_EQ(panel->item(2)->text(), "C5");
    EXPECT_TRUE(panel->curveItem(0)->m_extraText.isEmpty());
    EXPECT_EQ(panel->curveItem(1)->m_extraText, " - Pressure");

    // The panel's menu reaches the plot.
    Q_EMIT panel->line_color_selected(4, Rgb(0x00FF00));
    EXPECT_EQ(p->curve(4)->attributes.lineColor.value, 0x00FF00u);
}
