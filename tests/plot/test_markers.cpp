// Markers: adding by command and by prompt, differences, removal and
// numbering, computed positions, dragging with the mouse, the widgets'
// placement and the marker table.
#include <gtest/gtest.h>

#include <cmath>

#include "mouse_helpers.h"
#include "plot/curvelistbox.h"
#include "plot/linewidget.h"
#include "plot/plotdiag.h"
#include "plot_fixture.h"
#include "support/prompts.h"

using namespace plottest;
using kro::test::ScriptedPrompts;

namespace {

std::unique_ptr<Plotter> plotOf(std::initializer_list<std::pair<double, double>> pts)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf(pts), true);
    return p;
}

void addV(Plotter& p, double x, bool redraw = false) { p.addVMarker(&x, redraw); }
void addH(Plotter& p, double y, bool redraw = false) { p.addHMarker(&y, redraw); }

QStringList transcriptOf(const QSignalSpy& spy)
{
    QStringList lines;
    for (const auto& args : spy)
        lines << args.at(0).toString();
    return lines;
}

QStringList verboseOf(const QSignalSpy& spy)
{
    QStringList lines;
    for (const auto& args : spy)
        lines << args.at(1).toString();
    return lines;
}

QStringList tableTexts(Plotter& p)
{
    QStringList texts;
    for (int i = 0; i < p.markerTable()->count(); ++i)
        texts << p.markerTable()->item(i)->text();
    return texts;
}

// Selects the given rows of a selector dialog and accepts it.
std::function<int(QDialog*)> choose(std::vector<int> rows)
{
    return [rows](QDialog* d) {
        auto* list = static_cast<CurveSelector*>(d)->list();
        list->clearSelection();
        for (int r : rows)
            list->item(r)->setSelected(true);
        return int(QDialog::Accepted);
    };
}

TEST(MarkerAdd, PositionsMustLieInTheDataRange)
{
    auto p = plotOf({{1, 10}, {3, 30}});
    QSignalSpy lines(p.get(), &Plotter::transcript);
    struct Case {
        bool vertical;
        double position;
        bool accepted;
    };
    const Case cases[] = {
        {true, 1, true},          {true, 3, true},          {true, 1 - 1e-12, false}, {true, 3 + 1e-12, false},
        {false, 10, true},        {false, 30, true},        {false, 9.999, false},
        {false, std::nan(""), false}, {true, std::nan(""), false},
    };
    int expectedCount = 0;
    for (const Case& c : cases) {
        const int before = int(p->m_markers.size());
        c.vertical ? addV(*p, c.position) : addH(*p, c.position);
        expectedCount += c.accepted;
        EXPECT_EQ(int(p->m_markers.size()), before + (c.accepted ? 1 : 0)) << c.position;
    }
    EXPECT_EQ(transcriptOf(lines),
              (QStringList{"Marker error: Vertical marker position 1 is out of bounds.\nCurrent data range: 1, 3",
                           "Marker error: Vertical marker position 3 is out of bounds.\nCurrent data range: 1, 3",
                           "Marker error: Horizontal marker position 9.999 is out of bounds.\nCurrent data range: 10, 30",
                           "Marker error: Horizontal marker position nan is out of bounds.\nCurrent data range: 10, 30",
                           "Marker error: Vertical marker position nan is out of bounds.\nCurrent data range: 1, 3"}));
    EXPECT_EQ(int(p->m_markers.size()), expectedCount);
    EXPECT_EQ(p->m_markers.at(3).orientation, 1); // the first horizontal one
}

TEST(MarkerAdd, EmptyPlotRefusesMarkers)
{
    auto p = makePlot();
    QSignalSpy lines(p.get(), &Plotter::transcript);
    addV(*p, 0);
    addH(*p, 0);
    EXPECT_TRUE(p->m_markers.empty());
    EXPECT_EQ(transcriptOf(lines), QStringList(2, "Marker warning: Cannot add a marker to a plot with no data."));
}

TEST(MarkerAdd, PromptsEmitTheCommandInDataUnits)
{
    auto p = plotOf({{1, 1}, {1000, 2}});
    ScriptedPrompts prompts;
    QSignalSpy commands(p.get(), &Plotter::command);
    prompts->answerDouble(2.5);
    p->addVMarker();
    prompts->answerDouble(std::nullopt);
    p->addHMarker();
    EXPECT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toString(), "vmarker 2.5");
    EXPECT_TRUE(p->m_markers.empty()); // the command makes the marker
    EXPECT_EQ(prompts->asked().at(0).title, "Add vertical marker to plot");

    // On a logarithmic axis the prompt offers values, not decades.
    p->on_togLogScaleX();
    prompts->answerDouble(10);
    p->addVMarker();
    const auto& asked = prompts->asked().back();
    const AxisRange decades = p->view().xRange();
    EXPECT_DOUBLE_EQ(asked.minimum, std::pow(10.0, decades.min));
    EXPECT_DOUBLE_EQ(asked.maximum, std::pow(10.0, decades.max));
    EXPECT_GT(asked.initial, asked.minimum);
    EXPECT_EQ(commands.at(1).at(0).toString(), "vmarker 10");
}

TEST(MarkerDiff, TwoMarkersJoinWhateverNumbersArePassed)
{
    auto p = plotOf({{0, 0}, {10, 10}});
    addV(*p, 2);
    addV(*p, 5);
    p->removeMarkers(IdArray{1, 1});
    addV(*p, 7); // markers M2 and M3
    p->addMarkerDiff(7, 9, false);
    ASSERT_EQ(p->m_markerDiffs.size(), 1u);
    EXPECT_EQ(p->m_markerDiffs.begin()->second, std::make_pair(2, 3));
}

TEST(MarkerDiff, SelectorForThreeMarkersAndErrors)
{
    auto p = plotOf({{0, 0}, {10, 10}});
    addV(*p, 2);
    addV(*p, 5);
    addH(*p, 5);
    QSignalSpy commands(p.get(), &Plotter::command);
    QSignalSpy lines(p.get(), &Plotter::transcript);
    ScriptedPrompts prompts;
    prompts->answerDialog(choose({0, 2}));
    p->addMarkerDiff();
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toString(), "dmarker M1 M3");
    EXPECT_TRUE(p->m_markerDiffs.empty());

    p->addMarkerDiff(8, 9, false);
    p->addMarkerDiff(1, 3, false);
    EXPECT_EQ(transcriptOf(lines),
              (QStringList{"Error: Marker M8 does not exist", "Error: Marker M9 does not exist",
                           "Error: Invalid marker selection.\nThe markers must have consistent orientation. You have "
                           "chosen Marker 1 (Vertical) and Marker 3 (Horizontal)."}));
    EXPECT_TRUE(p->m_markerDiffs.empty());
}

TEST(MarkerDiff, NumbersGrowAcrossPlots)
{
    auto a = plotOf({{0, 0}, {10, 10}});
    auto b = plotOf({{0, 0}, {10, 10}});
    for (Plotter* p : {a.get(), b.get()}) {
        addV(*p, 2);
        addV(*p, 5);
    }
    a->addMarkerDiff(1, 2, false);
    b->addMarkerDiff(1, 2, false);
    a->addMarkerDiff(2, 2, false); // a marker joined with itself is allowed
    const int first = a->m_markerDiffs.begin()->first;
    EXPECT_EQ(b->m_markerDiffs.begin()->first, first + 1);
    EXPECT_EQ(a->m_markerDiffs.rbegin()->first, first + 2);
}

TEST(MarkerRemove, SingleMarkersTakeTheirDifferencesWithThem)
{
    auto p = plotOf({{0, 0}, {10, 10}});
    addV(*p, 2);
    addV(*p, 5);
    addV(*p, 7);
    p->addMarkerDiff(1, 2, false);
    p->addMarkerDiff(2, 3, false);
    p->addMarkerDiff(1, 3, false);
    p->refreshPixmap();
    ASSERT_EQ(p->m_markerWidgets.size(), 3u);
    ASSERT_EQ(p->m_markerDiffWidgets.size(), 3u);
    QSignalSpy notes(p.get(), &Plotter::verbose);
    QSignalSpy lines(p.get(), &Plotter::transcript);
    p->removeMarkers(IdArray{2, 9, 2});
    EXPECT_EQ(verboseOf(notes), (QStringList{"Marker M2 was removed.",
                                             "The delta marker connected to M1 and M2 has been removed.",
                                             "The delta marker connected to M2 and M3 has been removed."}));
    EXPECT_EQ(transcriptOf(lines), QStringList{"Warning: Could not remove marker M9. It does not exist."});
    EXPECT_EQ(p->m_markers.size(), 2u);
    EXPECT_EQ(p->m_markerDiffs.size(), 1u);
    EXPECT_EQ(p->markerWidget(2), nullptr);
    EXPECT_EQ(p->m_markerDiffWidgets.size(), 1u);
    addV(*p, 3);
    EXPECT_EQ(p->m_markers.rbegin()->first, 4);
}

TEST(MarkerRemove, MarkersWithoutWidgetsCanBeRemoved)
{
    auto p = plotOf({{0, 0}, {10, 10}});
    addV(*p, 2); // added without a redraw: no widget yet
    addH(*p, 4);
    ASSERT_EQ(p->markerWidget(1), nullptr);
    QSignalSpy lines(p.get(), &Plotter::transcript);
    p->removeMarkers(IdArray{2, 1, 2});
    EXPECT_TRUE(p->m_markers.empty());
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_TRUE(p->markerTable()->isHidden());
}

TEST(MarkerRemove, AllMarkersAndTheNumbering)
{
    auto p = plotOf({{0, 0}, {10, 10}});
    addV(*p, 2);
    addV(*p, 5);
    p->addMarkerDiff(1, 2, true);
    QSignalSpy notes(p.get(), &Plotter::verbose);
    p->removeMarkers(IdArray{1, 0}); // "remove M0"
    EXPECT_EQ(verboseOf(notes), QStringList{"All markers removed."});
    EXPECT_TRUE(p->m_markers.empty());
    EXPECT_TRUE(p->m_markerDiffs.empty());
    EXPECT_TRUE(p->m_markerWidgets.empty());
    EXPECT_TRUE(p->m_markerDiffWidgets.empty());
    EXPECT_TRUE(p->markerTable()->isHidden());
    addV(*p, 2);
    EXPECT_EQ(p->m_markers.begin()->first, 3);
    p->removeAllMarkers();
    addV(*p, 2);
    EXPECT_EQ(p->m_markers.begin()->first, 1);
    p->clearAll();
    EXPECT_TRUE(p->m_markers.empty());
    EXPECT_EQ(p->m_nextMarkerNumber, 1);
}

TEST(MarkerRemove, PromptSendsTheRemoveCommand)
{
    auto p = plotOf({{0, 0}, {10, 10}});
    p->removeMarkers(); // no markers: nothing asked
    addV(*p, 2);
    addV(*p, 5);
    addV(*p, 7);
    ScriptedPrompts prompts;
    QSignalSpy commands(p.get(), &Plotter::command);
    prompts->answerDialog(choose({1, 3})); // M1 and M3 below the all-markers entry
    p->removeMarkers();
    prompts->answerDialog(choose({0}));
    p->removeMarkers();
    prompts->answerDialog(QDialog::Rejected);
    p->removeMarkers();
    ASSERT_EQ(commands.count(), 2);
    EXPECT_EQ(commands.at(0).at(0).toString(), "remove M1 M3 ");
    EXPECT_EQ(commands.at(1).at(0).toString(), "remove M0 ");
    EXPECT_EQ(p->m_markers.size(), 3u);
}

// ---------------------------------------------------------------------------
// Computed positions

TEST(MarkerSearch, PeakMinMeanMedianRmsAndValue)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{1, -3}, {2, 5}, {4, -1}, {6, 15}, {9, 2}}), true);
    addV(*p, 5);
    addH(*p, 1);
    p->refreshPixmap();
    MarkerWidget* v = p->markerWidget(1);
    MarkerWidget* h = p->markerWidget(2);
    ASSERT_TRUE(v && h);
    ScriptedPrompts prompts; // one curve: the curve prompts ask nothing
    struct Case {
        MarkerWidget* w;
        SearchType type;
        double expected;
    };
    const Case cases[] = {
        {v, FIND_PEAK, 6}, {h, FIND_PEAK, 15}, {v, FIND_MIN, 1},     {h, FIND_MIN, -3},
        {v, MOVE_TO_MEAN, 4.4}, {h, MOVE_TO_MEAN, 3.6}, {v, MOVE_TO_MEDIAN, 4}, {h, MOVE_TO_MEDIAN, 2},
        {h, FIND_RMS, std::sqrt((9 + 25 + 1 + 225 + 4) / 5.0)},
    };
    for (const Case& c : cases) {
        c.w->menuSelection(c.type);
        EXPECT_DOUBLE_EQ(p->m_markers.at(c.w->m_number).position, c.expected) << c.type;
    }
    // y = 10 is crossed at x = 5.375 and x = 6 + 15/13; the marker at 5
    // goes to the nearer.
    addV(*p, 5);
    p->refreshPixmap();
    prompts->answerDouble(10);
    p->markerWidget(3)->menuSelection(FIND_VALUE);
    EXPECT_DOUBLE_EQ(p->m_markers.at(3).position, 5.375);
    EXPECT_EQ(prompts->asked().back().title, "Solve for Marker 3 position");
}

TEST(MarkerSearch, PeakOverSeveralCurvesKeepsTheFirstOfEquals)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{1, -7}, {2, -3}, {3, -9}}), false);
    p->setCurveData(1, curveOf({{7, -3}, {8, -5}}), true);
    addV(*p, 5, true);
    ScriptedPrompts prompts;
    prompts->answerDialog(choose({0})); // all curves
    p->markerWidget(1)->menuSelection(FIND_PEAK);
    EXPECT_EQ(p->m_markers.at(1).position, 2);
    prompts->answerDialog(QDialog::Rejected);
    const qint64 drawn = p->pixmap().cacheKey();
    p->markerWidget(1)->menuSelection(FIND_MIN);
    EXPECT_EQ(p->m_markers.at(1).position, 2);
    EXPECT_EQ(p->pixmap().cacheKey(), drawn); // cancelled: no redraw
}

TEST(MarkerSearch, SetPositionThroughTheContextMenu)
{
    auto p = plotOf({{1, 1}, {1000, 2}});
    p->on_togLogScaleX();
    addV(*p, 10, true);
    MarkerWidget* w = p->markerWidget(1);
    ASSERT_TRUE(w);
    ScriptedPrompts prompts;
    prompts->answerMenu("Set position");
    prompts->answerDouble(100);
    const QPoint onLine = w->mapTo(p.get(), (w->m_p1 + w->m_p2) / 2);
    approach(*p, onLine);
    press(*p, onLine, Qt::RightButton);
    release(*p, onLine, Qt::RightButton);
    EXPECT_EQ(p->m_markers.at(1).position, 100);
    const auto& asked = prompts->asked().back();
    EXPECT_EQ(asked.title, "Set Marker 1 position");
    EXPECT_EQ(asked.text, "X-Value:");
    EXPECT_DOUBLE_EQ(asked.minimum, std::pow(10.0, p->view().xRange().min));
    EXPECT_DOUBLE_EQ(asked.initial, 10);

    // Solving for a level on a logarithmic y axis offers values too.
    p->on_togLogScaleY();
    prompts->answerDouble(std::nullopt);
    p->markerWidget(1)->menuSelection(FIND_VALUE);
    EXPECT_DOUBLE_EQ(prompts->asked().back().maximum, std::pow(10.0, p->view().yRange().max));
    EXPECT_EQ(p->m_markers.at(1).position, 100);
}

// ---------------------------------------------------------------------------
// Widgets and dragging

TEST(MarkerWidgets, PlacedOnTheirDataPositionWithCaptionAndValue)
{
    auto p = plotOf({{0, 0}, {10, 10}});
    addV(*p, 2);
    addH(*p, 7.5);
    EXPECT_TRUE(p->m_markerWidgets.empty());
    p->refreshPixmap();
    ASSERT_EQ(p->m_markerWidgets.size(), 2u);
    const QRect area = p->plotArea();
    MarkerWidget* v = p->markerWidget(1);
    EXPECT_EQ(v->m_caption, "M1");
    EXPECT_EQ(v->labelText(), "M1: 2");
    EXPECT_EQ(v->pos(), area.topLeft());
    EXPECT_EQ(v->m_origin + v->m_p1, QPoint(p->dataToPixel(2, 0).x() - 1, area.top()));
    EXPECT_EQ(v->m_origin + v->m_p2, QPoint(p->dataToPixel(2, 0).x() - 1, area.bottom()));
    MarkerWidget* h = p->markerWidget(2);
    EXPECT_EQ(h->m_origin + h->m_p1, QPoint(area.right(), p->dataToPixel(0, 7.5).y()));
    EXPECT_EQ(h->m_origin + h->m_p2, QPoint(area.left(), p->dataToPixel(0, 7.5).y()));
    EXPECT_EQ(h->labelText(), "M2: 7.5");
}

TEST(MarkerWidgets, DateAxisValueTexts)
{
    auto p = plotOf({{29000, 0}, {61000, 10}});
    p->m_dateTimeAxis = true;
    addV(*p, 30000);
    addV(*p, 60000);
    addH(*p, 5);
    p->refreshPixmap();
    EXPECT_EQ(p->markerWidget(1)->m_valueText, "Out of bounds");
    EXPECT_EQ(p->markerWidget(2)->m_valueText, "Sat Feb 25 00:00:00 2023");
    EXPECT_EQ(p->markerWidget(3)->m_valueText, "5");
}

// Drags the line of a marker widget from its middle to a plot position in
// one move.
void dragMarker(Plotter& p, MarkerWidget* w, const QPoint& to)
{
    const QPoint from = w->mapTo(&p, (w->m_p1 + w->m_p2) / 2);
    drag(p, from, to, 1);
}

TEST(MarkerWidgets, DragMovesTheMarkerWithinTheView)
{
    auto p = plotOf({{0, 0}, {10, 10}});
    // Without the table the layout (and so the pixel of each value) stays put.
    p->markerTable()->setDockState(DOCK_OFF);
    p->markerTable()->hide();
    addV(*p, 2);
    addV(*p, 5);
    p->addMarkerDiff(1, 2, true);
    const QRect area = p->plotArea();
    QSignalSpy released(p->markerWidget(1), &LineWidget::releaseEvent);
    // Far beyond the right end: the view's maximum.
    dragMarker(*p, p->markerWidget(1), QPoint(p->width() + 50, area.center().y()));
    EXPECT_EQ(released.count(), 1);
    EXPECT_DOUBLE_EQ(p->m_markers.at(1).position, p->view().xRange().max);
    EXPECT_EQ(p->markerDiffWidget(p->m_markerDiffs.begin()->first)->m_caption,
              QString("%1x: %2").arg(QChar(0x394)).arg(std::fabs(p->view().xRange().max - 5)));

    // M1 dropped on a pixel; M2 dropped on the same pixel would take exactly
    // M1's value and stays where it was.
    const QPoint target(area.left() + area.width() / 3, area.center().y());
    dragMarker(*p, p->markerWidget(1), target);
    const double m1 = p->m_markers.at(1).position;
    EXPECT_EQ(m1, p->pixelToData(target).x());
    dragMarker(*p, p->markerWidget(2), target);
    EXPECT_EQ(p->m_markers.at(2).position, 5);
    EXPECT_EQ(p->markerWidget(2)->m_origin.x() + p->markerWidget(2)->m_p1.x(), p->dataToPixel(5, 0).x() - 1);
}

TEST(MarkerWidgets, DifferenceArrowStartsCentredAndKeepsItsHeight)
{
    auto p = plotOf({{0, 0}, {10, 10}});
    addV(*p, 2);
    addV(*p, 5);
    p->addMarkerDiff(1, 2, true);
    MarkerDiffWidget* d = p->markerDiffWidget(p->m_markerDiffs.begin()->first);
    ASSERT_TRUE(d);
    const QRect area = p->plotArea();
    const int midY = int((area.top() + area.bottom()) * 0.5);
    EXPECT_EQ(d->m_origin.y() + d->m_p1.y(), midY);
    EXPECT_EQ(d->m_orientation, 1);
    EXPECT_EQ(d->m_caption, QString("%1x: 3").arg(QChar(0x394)));
    EXPECT_TRUE(d->m_headAtP1 && d->m_headAtP2);
    EXPECT_EQ(d->m_origin.x() + d->m_p1.x(), p->dataToPixel(5, 0).x());
    EXPECT_EQ(d->m_origin.x() + d->m_p2.x(), p->dataToPixel(2, 0).x());

    // Dragged up by its line, then redrawn: it stays up.
    const QPoint on = d->mapTo(p.get(), (d->m_p1 + d->m_p2) / 2);
    drag(*p, on, on - QPoint(0, 60), 3);
    p->refreshPixmap();
    EXPECT_EQ(d->m_origin.y() + d->m_p1.y(), midY - 60);
    EXPECT_EQ(d->m_origin.y() + d->m_p2.y(), midY - 60);
}

// ---------------------------------------------------------------------------
// Marker table

TEST(MarkerTable, CurveValuesAtEachVerticalMarker)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{1, 10}, {3, 30}, {5, 10}}), false);
    p->setCurveData(1, curveOf({{0, 0}, {2, 1}, {6, 0}}), true);
    addV(*p, 2);
    addH(*p, 5);
    addV(*p, 4);
    EXPECT_EQ(tableTexts(*p), (QStringList{"Position", "M1(C1): 2", "M1(C2): 2", "M3(C1): 4", "M3(C2): 4",
                                           "Value", "20.000", "1", "20.000", "0.5"}));
    EXPECT_FALSE(p->markerTable()->isHidden());
    // Two columns: positions on the left, values on the right.
    EXPECT_EQ(p->markerTable()->columnCount(), 2);

    // A curve crossing a marker twice gives two rows.
    p->setCurveData(2, curveOf({{1, 0}, {3, 2}, {1, 4}}), true);
    p->removeMarkers(IdArray{1, 3});
    EXPECT_EQ(tableTexts(*p), (QStringList{"Position", "M1(C1): 2", "M1(C2): 2", "M1(C3): 2", "M1(C3): 2",
                                           "Value", "20.000", "1", "1", "3.000"}));
}

TEST(MarkerTable, HorizontalMarkersAloneLeaveItHiddenAndEmpty)
{
    auto p = plotOf({{0, 0}, {10, 10}});
    addH(*p, 5, true);
    EXPECT_TRUE(p->markerTable()->isHidden());
    addV(*p, 2, true);
    EXPECT_FALSE(p->markerTable()->isHidden());
    p->removeMarkers(IdArray{1, 2});
    EXPECT_TRUE(p->markerTable()->isHidden());
    EXPECT_EQ(p->markerTable()->count(), 0);
}

TEST(MarkerTable, ClosedTableStaysClosed)
{
    auto p = plotOf({{0, 0}, {10, 10}});
    addV(*p, 2, true);
    p->markerTable()->setDockState(DOCK_OFF);
    p->markerTable()->hide();
    addV(*p, 5, true);
    EXPECT_TRUE(p->markerTable()->isHidden());
    EXPECT_EQ(p->markerTable()->dockState(), DOCK_OFF);
}

} // namespace
