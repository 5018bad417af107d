// Mouse tools driven by pointer events: zoom to a rectangle and back, crop,
// erase and data selection by rubber band, pan, the coordinate readout, the
// snap-to-curve pointer, the right-button menu, dropped files.
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QUrl>

#include "mouse_helpers.h"
#include "plot/actionlabel.h"
#include "plot/curvelistbox.h"
#include "plot/plotdiag.h"
#include "plot_fixture.h"
#include "support/prompts.h"

using namespace plottest;
using kro::test::ScriptedPrompts;

namespace {

// A plot whose pixels map exactly onto data: margins 50, an area of 513 x 257
// pixels, x 0..64 and y 0..32, so 8 pixels are one unit on both axes.
struct ExactPlot {
    std::unique_ptr<Plotter> p = makePlot(613, 357);
    static constexpr int L = 50, T = 50;

    void fix()
    {
        setGeometry(*p, 50, 50, 50, 50, {0, 64}, {0, 32});
        p->m_xTickDecimals = 1;
    }
    // The pixel of a data point.
    QPoint at(double x, double y) const { return {L + int(x * 8), 306 - int(y * 8)}; }
};

std::vector<double> points(std::initializer_list<std::pair<double, double>> pts)
{
    std::vector<double> v;
    for (const auto& [x, y] : pts) {
        v.push_back(x);
        v.push_back(y);
    }
    return v;
}

CurveData line(double x0, double x1, double step, double slope, double offset)
{
    CurveData c;
    for (double x = x0; x <= x1 + 1e-9; x += step)
        c.append(x, slope * x + offset);
    return c;
}

TEST(MouseZoom, DragZoomsToTheBandAndZoomOutReturns)
{
    auto p = makePlot();
    p->setCurveData(0, line(0, 10, 1, 1, 0), true);
    const ViewRect base = p->view();
    const QRect area = p->plotArea();
    // The new view from the band, as the plot area maps it.
    auto expected = [&](QRect band) {
        band = cornerNormalized(band).translated(-p->marginLeft(), -p->marginTop());
        const double sx = base.xRange().span() / area.width();
        const double sy = base.yRange().span() / area.height();
        return std::make_pair(
            AxisRange(base.xRange().min + band.left() * sx, base.xRange().min + band.right() * sx),
            AxisRange(base.yRange().max - band.bottom() * sy, base.yRange().max - band.top() * sy));
    };
    const QPoint a = area.topLeft() + QPoint(60, 40), b = area.topLeft() + QPoint(260, 190);
    const auto want = expected(QRect(a, b));

    drag(*p, a, b);
    ASSERT_EQ(p->viewIndex(), 1);
    EXPECT_DOUBLE_EQ(p->view().xRange().min, want.first.min);
    EXPECT_DOUBLE_EQ(p->view().xRange().max, want.first.max);
    EXPECT_DOUBLE_EQ(p->view().yRange().min, want.second.min);
    EXPECT_DOUBLE_EQ(p->view().yRange().max, want.second.max);
    EXPECT_EQ(p->zoomState(), ZOOM_OUT);

    // Back, then the same band dragged up and to the left: the same view,
    // replacing the one after the view in force.
    p->zoomOut();
    EXPECT_EQ(p->viewIndex(), 0);
    EXPECT_EQ(p->view().xRange(), base.xRange());
    drag(*p, b, a);
    EXPECT_EQ(p->viewIndex(), 1);
    EXPECT_EQ(p->views().size(), 2u);
    EXPECT_DOUBLE_EQ(p->view().xRange().min, want.first.min);
    EXPECT_DOUBLE_EQ(p->view().yRange().max, want.second.max);
}

TEST(MouseZoom, ClickAndThinBandsDoNotZoom)
{
    auto p = makePlot();
    p->setCurveData(0, line(0, 10, 1, 1, 0), true);
    const QPoint c = p->plotArea().center();
    click(*p, c);
    drag(*p, c, c + QPoint(2, 80)); // 3 pixels wide
    drag(*p, c, c + QPoint(80, 2));
    EXPECT_EQ(p->viewIndex(), 0);
    EXPECT_EQ(p->views().size(), 1u);
    drag(*p, c, c + QPoint(3, 3)); // 4 x 4 is the least that zooms
    EXPECT_EQ(p->viewIndex(), 1);
}

TEST(MouseZoom, EmptyPlotIgnoresTheLeftButton)
{
    auto p = makePlot();
    QSignalSpy clicked(p.get(), &Plotter::plotterClicked);
    drag(*p, {200, 150}, {300, 250});
    EXPECT_FALSE(p->m_rubberBandShown);
    EXPECT_EQ(p->views().size(), 1u);
    EXPECT_EQ(clicked.count(), 1); // every release reports the click
}

TEST(MouseZoom, LogarithmicAxisZoomsToWholeDecades)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{1, 1}, {10, 2}, {100, 3}, {1000, 4}, {10000, 5}}), true);
    p->on_togLogScaleX();
    const AxisRange decades = p->view().xRange();
    ASSERT_EQ(decades, AxisRange(0, 4));
    const QRect area = p->plotArea();
    p->zoomToRect(QRect(QPoint(area.left() + area.width() * 3 / 10, area.top() + 10),
                        QPoint(area.left() + area.width() * 6 / 10, area.bottom() - 10)),
                  true);
    EXPECT_EQ(p->view().xRange(), AxisRange(1, 3));
}

TEST(MouseZoom, BandIsDrawnWithTheDragImageAtTheMovingCorner)
{
    auto p = makePlot();
    p->setCurveData(0, line(0, 10, 1, 1, 0), true);
    p->setCropMode(true, SET);
    ScriptedPrompts prompts;
    const QPoint a = p->plotArea().center(), b = a - QPoint(100, 60);
    approach(*p, a);
    press(*p, a);
    moveTo(*p, b);
    // Dragged up and left: the image square sits inside the band at the
    // pointer's corner.
    EXPECT_TRUE(p->m_rubberBandShown);
    EXPECT_EQ(p->m_modeImageRect.topLeft(), b);
    EXPECT_EQ(p->cursor().shape(), Qt::CrossCursor);
    moveTo(*p, a + QPoint(100, 60));
    EXPECT_EQ(p->m_modeImageRect.topLeft(), a + QPoint(100 - 32, 60 - 32));
    const QImage shot = p->grab().toImage();
    const QRect band = QRect(a, a + QPoint(100, 60));
    EXPECT_EQ(shot.pixelColor(band.left(), band.center().y()), p->m_gridColor);
    prompts->answerMenu(QString()); // the right button's menu, dismissed
    release(*p, a + QPoint(100, 60), Qt::RightButton);
    EXPECT_TRUE(p->m_rubberBandShown); // another button ends no band
    release(*p, a + QPoint(100, 60));
    EXPECT_FALSE(p->m_rubberBandShown);
    EXPECT_EQ(p->cursor().shape(), Qt::ArrowCursor);
}

// Crop, erase and select act on the points inside the band; the edges count
// as inside for crop and select and as inside (removed) for the eraser.
TEST(MouseBand, CropKeepsTheBandAndUndoRestores)
{
    ExactPlot e;
    auto& p = *e.p;
    p.setCurveData(0, CurveData(points({{1, 1}, {2, 1}, {3, 2}, {4, 3}, {5, 3}, {6, 9}})), false);
    p.setCurveData(1, CurveData(points({{10, 10}, {20, 20}})), false);
    e.fix();
    const CurveMap before = p.curves();
    p.setCropMode(true, SET);
    drag(p, e.at(2, 3), e.at(5, 1));
    ASSERT_EQ(p.curves().size(), 1u); // C2 had no point inside and is gone
    EXPECT_EQ(p.curves().at(0).values, points({{2, 1}, {3, 2}, {4, 3}, {5, 3}}));
    EXPECT_EQ(p.viewIndex(), 0);
    p.undo();
    EXPECT_EQ(p.curves(), before);
}

TEST(MouseBand, EraserRemovesTheBandAndUndoRestores)
{
    ExactPlot e;
    auto& p = *e.p;
    p.setCurveData(0, CurveData(points({{1, 1}, {2, 1}, {3, 2}, {4, 3}, {5, 3}, {6, 9}})), false);
    p.setCurveData(1, CurveData(points({{3, 2}, {3.5, 2.5}})), false);
    e.fix();
    const CurveMap before = p.curves();
    p.setEraserMode(true, SET);
    drag(p, e.at(2, 3), e.at(5, 1));
    ASSERT_EQ(p.curves().size(), 1u); // C2 lay wholly inside
    EXPECT_EQ(p.curves().at(0).values, points({{1, 1}, {6, 9}}));
    p.undo();
    EXPECT_EQ(p.curves(), before);
}

TEST(MouseBand, DataSelectMovesBandPointsIntoUserData)
{
    ExactPlot e;
    auto& p = *e.p;
    p.setCurveData(0, CurveData(points({{1, 1}, {2, 2}, {3, 3}, {4, 4}})), false);
    p.setCurveData(1, CurveData(points({{1, 4}, {2, 3}, {3, 2}, {4, 1}})), false);
    e.fix();
    p.setDataSelectMode(true, SET);
    drag(p, e.at(2, 3), e.at(3, 2)); // edges inside
    ASSERT_EQ(p.curves().size(), 3u);
    EXPECT_EQ(p.curves().at(0).values, points({{1, 1}, {4, 4}}));
    EXPECT_EQ(p.curves().at(1).values, points({{1, 4}, {4, 1}}));
    EXPECT_EQ(p.curves().at(2).values, points({{2, 2}, {3, 3}, {2, 3}, {3, 2}}));
    EXPECT_EQ(p.curveTitles().at(2), "UserData");
    EXPECT_TRUE(p.curves().at(2).attributes.lineColor.isSet()); // stored with its default colour
}

TEST(MouseBand, DataSelectTakingAWholeCurveReusesItsId)
{
    ExactPlot e;
    auto& p = *e.p;
    p.setCurveData(0, CurveData(points({{2, 2}, {3, 3}})), false);
    p.setCurveData(1, CurveData(points({{10, 10}})), false);
    e.fix();
    p.setDataSelectMode(true, SET);
    drag(p, e.at(1, 4), e.at(4, 1));
    ASSERT_EQ(p.curves().size(), 2u);
    EXPECT_EQ(p.curves().at(0).values, points({{2, 2}, {3, 3}}));
    EXPECT_EQ(p.curveTitles().at(0), "UserData");
}

TEST(MouseBand, EmptyDataSelectTakesTheUndoCopyButDoesNotRedraw)
{
    ExactPlot e;
    auto& p = *e.p;
    p.setCurveData(0, CurveData(points({{2, 2}, {3, 3}})), false);
    e.fix();
    p.setDataSelectMode(true, SET);
    const qint64 before = p.pixmap().cacheKey();
    QSignalSpy undoReady(&p, &Plotter::autoCacheAvailable);
    drag(p, e.at(10, 20), e.at(20, 10));
    EXPECT_EQ(undoReady.count(), 1);
    EXPECT_EQ(p.pixmap().cacheKey(), before);
    EXPECT_EQ(p.curves().size(), 1u);
}

TEST(MousePan, DragShiftsTheViewAndKeepsTheBase)
{
    ExactPlot e;
    auto& p = *e.p;
    p.setCurveData(0, CurveData(points({{2, 2}, {3, 3}})), false);
    e.fix();
    // The main window's part: shift, then redraw the curves.
    QObject::connect(&p, &Plotter::mousePanEvent, &p, [&](int dx, int dy, QPoint origin) {
        p.panBy(dx, dy, origin);
        p.redrawCurves();
    });
    QSignalSpy pans(&p, &Plotter::mousePanEvent);
    p.setPanMode(true, SET);
    EXPECT_EQ(p.cursor().shape(), p.m_modeCursors[8].normal.shape());
    drag(p, e.at(10, 10), e.at(15, 7.5), 5);
    EXPECT_EQ(pans.count(), 5);
    // Each move reports the displacement since the last shift.
    EXPECT_EQ(pans.at(0).at(0).toInt(), 8);
    EXPECT_EQ(pans.at(4).at(0).toInt(), 8);
    ASSERT_EQ(p.viewIndex(), 1);
    EXPECT_EQ(p.view().xRange(), AxisRange(-5, 59));
    EXPECT_EQ(p.view().yRange(), AxisRange(2.5, 34.5));
    EXPECT_EQ(p.views().at(0).xRange(), AxisRange(0, 64));
    EXPECT_EQ(p.zoomState(), ZOOM_OUT);
}

TEST(MousePan, FixedRangeInForceMovesToo)
{
    ExactPlot e;
    auto& p = *e.p;
    p.setCurveData(0, CurveData(points({{2, 2}, {3, 3}})), false);
    e.fix();
    ViewRect& v = p.m_views[0];
    v.userX = v.autoX;
    v.autoX = AxisRange(100, 200);
    v.userXInForce = true;
    p.panBy(-16, 0, QPoint());
    EXPECT_EQ(p.view().xRange(), AxisRange(2, 66));
    EXPECT_TRUE(p.view().userXInForce);
    EXPECT_EQ(p.views().at(0).xRange(), AxisRange(0, 64));
}

// ---------------------------------------------------------------------------
// Readout

std::string readoutAt(Plotter& p, const QPoint& pos)
{
    approach(p, pos);
    return p.coordLabel()->text().toStdString();
}

TEST(Readout, ThreeFormats)
{
    ExactPlot e;
    auto& p = *e.p;
    p.setCurveData(0, CurveData(points({{2, 2}, {3, 3}})), false);
    e.fix();
    const QPoint at = e.at(3, 2);
    struct Case {
        void (Plotter::*toggle)();
        double offset;
        std::string text;
    };
    const Case cases[] = {
        {&Plotter::toggleMouseXY, 0, "(3.00, 2)"},
        {&Plotter::toggleMouseXY, 0.25, "(3.25, 2)"},
        {&Plotter::toggleMouseDateY, 59997, "(Sat Feb 25 00:00:00 2023 UTC, 2)"},
        {&Plotter::toggleMouseDateY, 29997, "(Out of bounds UTC, 2)"},
        {&Plotter::toggleMouseDateXY, 59997, "(60000.00, 2)\n(Sat Feb 25 00:00:00 2023 UTC, 2)"},
    };
    for (const Case& c : cases) {
        (p.*c.toggle)();
        p.m_xOffset = c.offset;
        EXPECT_TRUE(p.coordLabel()->isVisibleTo(&p));
        EXPECT_EQ(readoutAt(p, at), c.text);
        (p.*c.toggle)();
        EXPECT_FALSE(p.coordLabel()->isVisibleTo(&p));
    }
}

TEST(Readout, FormatsExcludeEachOtherAndTheLabelStaysOnScreen)
{
    ExactPlot e;
    auto& p = *e.p;
    p.setCurveData(0, CurveData(points({{2, 2}, {3, 3}})), false);
    e.fix();
    p.toggleMouseXY();
    p.toggleMouseDateY();
    EXPECT_FALSE(p.m_readoutXY);
    EXPECT_TRUE(p.m_readoutDateY);
    p.toggleMouseDateXY();
    EXPECT_FALSE(p.m_readoutDateY);
    EXPECT_TRUE(p.coordLabel()->isVisibleTo(&p));

    p.toggleMouseXY();
    const QPoint left = e.at(3, 2);
    readoutAt(p, left);
    EXPECT_EQ(p.coordLabel()->pos(), left + QPoint(15, -10));
    const QPoint nearRight(p.width() - 20, left.y());
    readoutAt(p, nearRight);
    EXPECT_EQ(p.coordLabel()->geometry().right(), nearRight.x() - 16);
}

// ---------------------------------------------------------------------------
// Snap to a curve

TEST(Snap, SingleCurveAsksNothingAndReadsTheNearestPoint)
{
    ExactPlot e;
    auto& p = *e.p;
    p.setCurveData(0, CurveData(points({{2, 2}, {3, 3}, {4, 3}, {5, 1}})), false);
    e.fix();
    EXPECT_TRUE(p.snapTo(true, SET));
    EXPECT_TRUE(p.snapTo(false, GET));
    EXPECT_TRUE(p.snapCircle()->isVisibleTo(&p));
    p.toggleMouseXY();
    EXPECT_EQ(readoutAt(p, e.at(4.2, 3.6)), "(4.00, 3)");
    EXPECT_EQ(p.snapCircle()->geometry().center(), e.at(4, 3));
    EXPECT_TRUE(p.snapCircle()->m_running);
    // Equally near two points: the first wins.
    EXPECT_EQ(readoutAt(p, e.at(3.5, 3)), "(3.00, 3)");
    EXPECT_FALSE(p.snapTo(false, SET));
    EXPECT_FALSE(p.snapCircle()->isVisibleTo(&p));
}

TEST(Snap, CancelledPromptLeavesItOffAndAChosenCurveIsUsed)
{
    ExactPlot e;
    auto& p = *e.p;
    p.setCurveData(0, CurveData(points({{2, 2}})), false);
    p.setCurveData(1, CurveData(points({{6, 6}})), false);
    e.fix();
    ScriptedPrompts prompts;
    prompts->answerDialog(QDialog::Rejected);
    EXPECT_FALSE(p.snapTo(true, SET));
    EXPECT_FALSE(p.snapCircle()->isVisibleTo(&p));

    prompts->answerDialog([](QDialog* d) {
        auto* list = static_cast<CurveSelector*>(d)->list();
        list->clearSelection();
        list->item(1)->setSelected(true); // C2
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(p.snapTo(true, SET));
    EXPECT_EQ(p.snapCurveId(), 1);
    EXPECT_EQ(p.nearestPoint(e.at(2, 2)), QPointF(6, 6));
}

TEST(Snap, RemovedCurveEndsTheSnap)
{
    ExactPlot e;
    auto& p = *e.p;
    p.setCurveData(0, CurveData(points({{2, 2}})), false);
    e.fix();
    ASSERT_TRUE(p.snapTo(true, SET));
    p.removeCurve(0);
    p.setCurveData(0, CurveData(points({{5, 5}})), false); // a new curve under the old id is fine
    EXPECT_EQ(p.nearestPoint(e.at(5, 5)), QPointF(5, 5));
    p.removeAllCurves();
    EXPECT_EQ(p.nearestPoint(e.at(5, 5)), QPointF(0, 0));
    EXPECT_FALSE(p.snapTo(false, GET));
    EXPECT_FALSE(p.snapCircle()->isVisibleTo(&p));
}

TEST(Snap, NoPointOnTheShownSideOfALogAxisGivesOrigin)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{1, 1}, {100, 2}}), true);
    p->setCurveData(1, curveOf({{-5, 1}, {-50, 2}}), true);
    p->on_togLogScaleX();
    ScriptedPrompts prompts;
    prompts->answerDialog([](QDialog* d) {
        auto* list = static_cast<CurveSelector*>(d)->list();
        list->clearSelection();
        list->item(1)->setSelected(true);
        return int(QDialog::Accepted);
    });
    ASSERT_TRUE(p->snapTo(true, SET));
    EXPECT_EQ(p->nearestPoint(p->plotArea().center()), QPointF(0, 0));
}

TEST(Snap, FollowsDataChangedBetweenRedraws)
{
    ExactPlot e;
    auto& p = *e.p;
    p.setCurveData(0, CurveData(points({{2, 2}, {8, 8}})), false);
    e.fix();
    ASSERT_TRUE(p.snapTo(true, SET));
    EXPECT_EQ(p.nearestPoint(e.at(8, 8)), QPointF(8, 8));
    // A live window rewritten in place, then redrawn.
    p.m_curves[0].values = points({{2, 2}, {7, 7}});
    p.redrawCurves();
    e.fix();
    EXPECT_EQ(p.nearestPoint(e.at(8, 8)), QPointF(7, 7));
}

// ---------------------------------------------------------------------------
// Modes, menu, clicks, drops, floating legend

TEST(MouseModes, SettersSwitchOneModeAndQueryWithoutChange)
{
    auto p = makePlot();
    using Setter = bool (Plotter::*)(bool, SETGET);
    const std::pair<Setter, int> modes[] = {{&Plotter::setCropMode, 1},
                                            {&Plotter::setEraserMode, 2},
                                            {&Plotter::setDataSelectMode, 4},
                                            {&Plotter::setPanMode, 8}};
    for (const auto& [setter, value] : modes) {
        EXPECT_FALSE((p.get()->*setter)(true, GET)) << value;
        EXPECT_EQ(p->mouseMode(), 0);
        EXPECT_TRUE((p.get()->*setter)(true, SET));
        EXPECT_EQ(p->mouseMode(), value);
        for (const auto& [other, otherValue] : modes)
            EXPECT_EQ((p.get()->*other)(false, GET), otherValue == value);
        // Turning any mode off gives the pointer.
        EXPECT_FALSE((p.get()->*setter)(false, SET));
        EXPECT_EQ(p->mouseMode(), 0);
        EXPECT_EQ(p->cursor().shape(), Qt::ArrowCursor);
    }
    for (int m : {0, 1, 2, 4, 8})
        EXPECT_EQ(p->m_modeCursors.count(m), 1u);
}

TEST(MouseMenu, RightClickOffersMoveCopyOnlyWithCurves)
{
    auto p = makePlot();
    QSignalSpy moves(p.get(), &Plotter::reqCurvesMove);
    QSignalSpy clicked(p.get(), &Plotter::plotterClicked);
    click(*p, p->plotArea().center(), Qt::RightButton); // no menu: the failing prompter would object
    p->setCurveData(0, line(0, 10, 1, 1, 0), true);
    ScriptedPrompts prompts;
    prompts->answerMenu("Move/copy curve...");
    click(*p, p->plotArea().center(), Qt::RightButton);
    EXPECT_EQ(moves.count(), 1);
    EXPECT_EQ(clicked.count(), 2);
    EXPECT_EQ(clicked.at(1).at(0).value<Plotter*>(), p.get());
}

TEST(MouseDrop, LocalFilesOnlyInOneSignal)
{
    auto p = makePlot();
    QSignalSpy dropped(p.get(), &Plotter::dropfiles);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/data/a b.dat"), QUrl("https://example.org/c.dat"),
                  QUrl::fromLocalFile("/data/b.dat")});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(p.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(p.get(), &drop);
    ASSERT_EQ(dropped.count(), 1);
    EXPECT_EQ(dropped.at(0).at(0).toStringList(), (QStringList{"/data/a b.dat", "/data/b.dat"}));

    QMimeData text;
    text.setText("not a file");
    QDragEnterEvent other(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    other.setAccepted(false);
    QApplication::sendEvent(p.get(), &other);
    EXPECT_FALSE(other.isAccepted());
}

TEST(MouseLegend, FloatingLegendFollowsThePlot)
{
    QWidget page;
    page.resize(900, 600);
    auto* p = new Plotter(&page, "inside");
    p->setGeometry(0, 0, 600, 400);
    page.show();
    QApplication::processEvents();
    p->legend()->setDockState(DOCK_FLOAT);
    const QPoint start = p->legend()->pos();
    p->move(30, 20);
    EXPECT_EQ(p->legend()->pos(), start + QPoint(30, 20));
    p->legend()->setDockState(DOCK_TOP);
    const QPoint docked = p->legend()->pos();
    p->move(0, 0);
    EXPECT_EQ(p->legend()->pos(), docked);
}

} // namespace
