// Line overlay widgets: arrow heads, hover and grabbing, dragging of the line,
// its ends and its label, drawing, the shape mask and the marker menu.
#include <gtest/gtest.h>

#include <cmath>

#include "mouse_helpers.h"
#include "plot/linewidget.h"
#include "plot_fixture.h"
#include "support/prompts.h"

using namespace plottest;
using kro::test::ScriptedPrompts;

namespace {

TEST(ArrowHead, LengthAndWidthFollowTheSegment)
{
    struct Case {
        QPointF from, to;
        double head;
    };
    const Case cases[] = {
        {{0, 0}, {10, 0}, 4},    {{5, 5}, {5, 105}, 15}, {{0, 0}, {-30, 40}, 15},
        {{3, 4}, {3, 4 - 25}, 10}, {{0, 0}, {0, 0}, 0},
    };
    const double tan20 = std::tan(20.0 * M_PI / 180.0);
    for (const Case& c : cases) {
        const auto [a, b] = arrowHeadCorners(c.from, c.to);
        const QPointF base = (a + b) / 2;
        EXPECT_NEAR(QLineF(base, c.to).length(), c.head, 1e-9) << c.to.x() << "," << c.to.y();
        EXPECT_NEAR(QLineF(a, b).length(), 2 * c.head * tan20, 1e-9);
    }
    // Corners on both sides of the line: (6, +/-1.456) for the 10-pixel arrow.
    const auto [a, b] = arrowHeadCorners({0, 0}, {10, 0});
    EXPECT_NEAR(a.x(), 6, 1e-12);
    EXPECT_NEAR(a.y(), 4 * tan20, 1e-12);
    EXPECT_NEAR(b.y(), -4 * tan20, 1e-12);
}

// A line widget on a dark page, covering it.
struct Stage {
    QWidget page;
    LineWidget* w;
    explicit Stage(int orientation = 0)
    {
        page.resize(400, 300);
        QPalette pal = page.palette();
        pal.setColor(QPalette::Window, Qt::black);
        page.setPalette(pal);
        page.setAutoFillBackground(true);
        w = new LineWidget(7, &page);
        w->setGeometry(0, 0, 400, 300);
        w->m_bounds = QRect(0, 0, 400, 300);
        w->m_orientation = orientation;
        if (orientation == 0) {
            w->m_p1 = {100, 20};
            w->m_p2 = {100, 280};
        } else if (orientation == 1) {
            w->m_p1 = {380, 150};
            w->m_p2 = {20, 150};
        } else {
            w->m_p1 = {100, 150};
            w->m_p2 = {300, 150};
        }
        page.show();
        QApplication::processEvents();
    }
    QPoint global(QPoint p) const { return w->mapToGlobal(p); }
};

TEST(LineHover, GrabDistanceAndSegmentEnds)
{
    Stage s;
    struct Case {
        QPoint at;
        bool hover;
    };
    const Case cases[] = {
        {{109, 150}, true}, {{110, 150}, false}, {{91, 150}, true}, {{100, 150}, true},
        {{100, 19}, false}, {{100, 281}, false}, {{105, 10}, false},
    };
    for (const Case& c : cases) {
        s.w->updateHover(s.global(c.at));
        EXPECT_EQ(s.w->m_hover, c.hover) << c.at.x() << "," << c.at.y();
        if (c.hover) {
            EXPECT_EQ(s.w->m_hoverPoint, QPoint(100, c.at.y()));
        }
    }
}

TEST(LineDrag, LineFollowsThePointerWithinItsBounds)
{
    Stage s;
    s.w->m_bounds = QRect(50, 0, 200, 300);
    QSignalSpy moved(s.w, qOverload<int>(&LineWidget::moveEvent));
    QSignalSpy released(s.w, &LineWidget::releaseEvent);
    drag(s.page, {100, 150}, {330, 160}, 3);
    EXPECT_EQ(s.w->m_p1, QPoint(249, 20)); // the bound's right edge
    EXPECT_EQ(s.w->m_p2, QPoint(249, 280));
    EXPECT_EQ(moved.count(), 3);
    ASSERT_EQ(released.count(), 1);
    EXPECT_EQ(released.at(0).at(0).toInt(), 7);
}

TEST(LineDrag, AwayFromTheLineTheLabelMoves)
{
    Stage s;
    s.w->m_caption = "M7";
    s.w->m_lineWidth = 3;
    s.w->updateMask();
    QApplication::processEvents();
    ASSERT_TRUE(s.w->m_labelRect.isValid());
    const QPoint onLabel = s.w->m_labelRect.center();
    ASSERT_GE(onLabel.x() - 100, 10); // out of grabbing distance of the line
    QSignalSpy moved(s.w, qOverload<int>(&LineWidget::moveEvent));
    drag(s.page, onLabel, onLabel + QPoint(40, -30), 2);
    EXPECT_EQ(s.w->m_labelOffset, QPoint(40, -30));
    EXPECT_EQ(s.w->m_p1.x(), 100);
    EXPECT_EQ(moved.count(), 0);
}

TEST(LineDrag, FreeArrowMovesWholeOrByOneEnd)
{
    {
        Stage s(2);
        drag(s.page, {200, 150}, {220, 190}, 2); // grabbed in the middle
        EXPECT_EQ(s.w->m_p1, QPoint(120, 190));
        EXPECT_EQ(s.w->m_p2, QPoint(320, 190));
    }
    {
        Stage s(2);
        drag(s.page, {290, 150}, {280, 60}, 2); // grabbed near the second end
        EXPECT_EQ(s.w->m_p1, QPoint(100, 150));
        EXPECT_EQ(s.w->m_p2, QPoint(280, 60));
    }
}

TEST(LineDraw, OutlineFromWidthThreeAndPlainDifferences)
{
    // Colour of the pixels across a vertical line at x = 100.
    auto across = [](int width, bool difference) {
        Stage s;
        s.w->m_lineWidth = width;
        s.w->m_isDifference = difference;
        s.w->m_color = QColor(0, 200, 100);
        const QImage img = s.page.grab().toImage();
        std::vector<QColor> row;
        for (int x = 97; x <= 103; ++x)
            row.push_back(img.pixelColor(x, 150));
        return row;
    };
    const QColor line(0, 200, 100), dark(0, 140, 70), page(Qt::black);
    auto count = [](const std::vector<QColor>& row, const QColor& c) {
        return std::count(row.begin(), row.end(), c);
    };
    const auto w2 = across(2, false);
    EXPECT_EQ(count(w2, line), 2);
    EXPECT_EQ(count(w2, dark), 0);
    const auto w3 = across(3, false);
    EXPECT_EQ(count(w3, line), 1);
    EXPECT_EQ(count(w3, dark), 2);
    EXPECT_EQ(w3[3], line); // the colour in the middle of its outline
    const auto d3 = across(3, true);
    EXPECT_EQ(count(d3, line), 3);
    EXPECT_EQ(count(d3, page), 4);
}

TEST(LineDraw, VerticalMarkerLabelStaysInside)
{
    Stage s;
    s.w->m_caption = "M1";
    s.w->m_showPosition = true;
    s.w->m_valueText = "12345.678";
    s.w->m_p1 = {390, 20};
    s.w->m_p2 = {390, 280};
    s.w->refresh(); // as the owner does after moving it
    const QImage img = s.page.grab().toImage();
    int rightmostWhite = -1;
    for (int y = 200; y < 280; ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) == Qt::white)
                rightmostWhite = std::max(rightmostWhite, x);
    EXPECT_EQ(rightmostWhite, s.w->m_bounds.right() - 3);
}

TEST(LineMask, ClicksAwayFromTheLineReachThePlot)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 0}, {10, 10}}), true);
    double x = 5;
    p->addVMarker(&x, true);
    MarkerWidget* w = p->markerWidget(1);
    ASSERT_TRUE(w);
    QSignalSpy clicked(p.get(), &Plotter::plotterClicked);
    QSignalSpy released(w, &LineWidget::releaseEvent);
    const QPoint line = w->mapTo(p.get(), (w->m_p1 + w->m_p2) / 2);
    ASSERT_TRUE(w->geometry().contains(line + QPoint(40, 0)));
    click(*p, line + QPoint(40, 0)); // inside the widget's rectangle, outside its mask
    EXPECT_EQ(clicked.count(), 1);
    click(*p, line);
    EXPECT_EQ(clicked.count(), 1); // taken by the marker
    EXPECT_EQ(released.count(), 1);
}

TEST(MarkerMenu, WeightColourAndShownPosition)
{
    Stage s;
    auto* m = new MarkerWidget(3, &s.page);
    ScriptedPrompts prompts;
    prompts->answerInt(std::nullopt);
    m->menuSelection(11);
    EXPECT_EQ(m->m_lineWidth, 3);
    const auto& asked = prompts->asked().back();
    EXPECT_EQ(asked.title, "Marker Weight");
    EXPECT_EQ(asked.text, "Enter the marker's line weight: ");
    EXPECT_EQ(asked.minimum, 1);
    EXPECT_EQ(asked.maximum, 30);
    EXPECT_EQ(asked.step, 2);
    prompts->answerInt(9);
    m->menuSelection(11);
    EXPECT_EQ(m->m_lineWidth, 9);

    prompts->answerColor(QColor(Qt::red));
    m->menuSelection(10);
    EXPECT_EQ(m->m_color, QColor(Qt::red));
    prompts->answerColor(std::nullopt);
    m->menuSelection(10);
    EXPECT_EQ(m->m_color, QColor(Qt::red));

    m->setDifferenceMarker(false);
    m->m_valueText = "2.5";
    EXPECT_EQ(m->labelText(), "M3");
    m->menuSelection(12);
    EXPECT_EQ(m->labelText(), "M3: 2.5");

    QSignalSpy search(m, &MarkerWidget::searchReq);
    m->menuSelection(FIND_MIN);
    ASSERT_EQ(search.count(), 1);
    EXPECT_EQ(search.at(0).at(0).toInt(), 3);
    EXPECT_EQ(search.at(0).at(1).value<SearchType>(), FIND_MIN);
}

} // namespace
