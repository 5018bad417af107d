// Curve drawing: the reduced drawing gives the pixels of the full one;
// symbols, bars, 3-D, log axes and bad data.
#include "support/paramnames.h"
#include <gtest/gtest.h>

#include <QPainter>
#include <QTimer>
#include <QRandomGenerator>

#include <cmath>

#include "core/curvesummary.h"
#include "plot/curveraster.h"
#include "plot_fixture.h"

using namespace plottest;

namespace {

CurveData noisy(std::size_t n, quint32 seed, bool line, bool symbols, double xSpan = 10.0)
{
    QRandomGenerator rng(seed);
    CurveData c;
    c.values.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        const double x = xSpan * double(i) / double(n);
        c.append(x, std::sin(x) + 0.4 * (rng.generateDouble() - 0.5));
    }
    c.attributes.showLine = line;
    c.attributes.showPoints = symbols;
    return c;
}

QImage render(Plotter& p, bool reduce)
{
    p.m_reduceDrawing = reduce;
    p.refreshPixmap();
    return image(p);
}

// Pixels that differ between two pictures of one size (all when the sizes differ).
int differingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return a.width() * a.height();
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += a.pixel(x, y) != b.pixel(x, y);
    return differing;
}

// The curves alone, drawn on a white widget-sized picture.
QImage curvesOnWhite(Plotter& p)
{
    QPixmap pm(p.size());
    pm.fill(Qt::white);
    QPainter painter(&pm);
    p.drawCurves(painter);
    painter.end();
    return pm.toImage();
}

struct ReduceCase {
    const char* name;
    bool line, symbols;
    int lineWidth;
    int style;
    bool fill;
    std::size_t points = 100000;
};

class ReducedDrawing : public ::testing::TestWithParam<ReduceCase> {};

TEST_P(ReducedDrawing, GivesThePixelsOfDrawingEverything)
{
    const ReduceCase c = GetParam();
    auto p = makePlot(900, 600);
    CurveData a = noisy(c.points, 1, c.line, c.symbols);
    a.attributes.pointStyle = static_cast<Zavozi::CurveAttributes::PointStyle>(c.style);
    if (c.fill)
        a.attributes.pointFillColor = Rgb(0xFFCC00);
    // A second curve over the first, running backwards in x.
    CurveData b = noisy(c.points / 2, 2, c.line, c.symbols);
    std::vector<double>& bv = b.values.mut();
    std::reverse(bv.begin(), bv.end());
    for (std::size_t i = 0; i + 1 < bv.size(); i += 2)
        std::swap(bv[i], bv[i + 1]);
    p->m_lineWidth = c.lineWidth;
    p->setCurveData(0, std::move(a), false);
    p->setCurveData(1, std::move(b), false);
    p->rescale();
    const QImage reduced = render(*p, true);
    const QImage full = render(*p, false);
    EXPECT_GT(countColour(full, p->plotArea(), 0x0000FF) + countColour(full, p->plotArea(), 0xFF0000), 1000);
    EXPECT_EQ(differingPixels(reduced, full), 0) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    NoisyData, ReducedDrawing,
    ::testing::Values(ReduceCase{"thin lines", true, false, 0, 1, false},
                      ReduceCase{"circles with fill", false, true, 0, 1, true},
                      ReduceCase{"squares without fill", false, true, 0, 6, false},
                      ReduceCase{"lines and triangles", true, true, 0, 7, true},
                      ReduceCase{"wide symbols", false, true, 0, 4, true},
                      // Wide pens are slow to draw in full: fewer points.
                      ReduceCase{"thick lines", true, false, 2, 1, false, 20000}),
    [](const auto& info) { return kro::test::caseName(info.param.name); });

// Views of 200,000 points drawn from the curves' summaries against every
// segment drawn: zoomed and panned views, log axes, gaps of undefined
// values, x going back and forth, a wide pen.
struct ViewCase {
    const char* name;
    enum Data { NOISY, GAPS, WALK, STEPS } data;
    double from = -1, to = -1; // the domain, or the whole curve
    bool logY = false;
    int lineWidth = 0;
};

CurveData viewData(ViewCase::Data kind, std::size_t n)
{
    QRandomGenerator rng(3);
    CurveData c;
    std::vector<double>& v = c.values.mut();
    v.resize(2 * n);
    double walk = 5.0;
    for (std::size_t i = 0; i < n; ++i) {
        double x = 10.0 * double(i) / double(n);
        double y = std::sin(x) + 0.4 * (rng.generateDouble() - 0.5) + 1.5;
        if (kind == ViewCase::GAPS && ((i / 3000) % 5 == 2 || i % 7919 == 11))
            y = std::nan("");
        if (kind == ViewCase::WALK) {
            walk += 0.02 * (rng.generateDouble() - 0.5);
            x = walk;
        }
        if (kind == ViewCase::STEPS)
            y = 1.0 + double((i / 4000) % 3) + (i % 7919 == 3 ? 3.0 : 0.0);
        v[2 * i] = x;
        v[2 * i + 1] = y;
    }
    return c;
}

class ReducedViews : public ::testing::TestWithParam<ViewCase> {};

TEST_P(ReducedViews, GiveThePixelsOfDrawingEverything)
{
    const ViewCase c = GetParam();
    auto p = makePlot(900, 600);
    const std::size_t n = c.lineWidth > 1 ? 40000 : 200000;
    p->m_lineWidth = c.lineWidth;
    p->setCurveData(0, viewData(c.data, n), false);
    p->m_logY = c.logY;
    if (c.from < c.to)
        p->setDomain(AxisRange(c.from, c.to));
    p->rescale();
    ASSERT_EQ(p->curves().at(0).values.summary().levels.empty(), false);
    const QImage reduced = render(*p, true);
    const QImage full = render(*p, false);
    EXPECT_GT(countColour(full, p->plotArea(), 0x0000FF), 500) << c.name;
    EXPECT_EQ(differingPixels(reduced, full), 0) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Views, ReducedViews,
    ::testing::Values(ViewCase{"whole noisy curve", ViewCase::NOISY}, ViewCase{"zoom to 1 percent", ViewCase::NOISY, 4.0, 4.1},
                      ViewCase{"zoom to 10 percent", ViewCase::NOISY, 2.5, 3.5},
                      ViewCase{"panned past the end", ViewCase::NOISY, 9.0, 11.0},
                      ViewCase{"panned before the start", ViewCase::NOISY, -1.5, 0.5},
                      ViewCase{"log y", ViewCase::NOISY, -1, -1, true},
                      ViewCase{"log y zoomed", ViewCase::NOISY, 6.0, 6.05, true},
                      ViewCase{"x back and forth", ViewCase::WALK},
                      ViewCase{"x back and forth zoomed", ViewCase::WALK, 4.99, 5.01},
                      ViewCase{"steps and spikes", ViewCase::STEPS}, ViewCase{"steps zoomed", ViewCase::STEPS, 1.0, 1.5},
                      ViewCase{"wide pen zoomed", ViewCase::NOISY, 3.0, 3.2, false, 3},
                      ViewCase{"wide pen", ViewCase::STEPS, -1, -1, false, 2}),
    [](const auto& info) { return kro::test::caseName(info.param.name); });

// The reduced drawing against the plainest reference: every point mapped
// by the definition (value minus range start, times pixels per unit, from
// the area's edge, truncated) and all joined by one polyline; points
// without a pixel are passed over and their neighbours joined. The data has
// flat runs, single spikes and gaps, the cases the reduction must keep.
TEST(ReducedDrawingReference, EqualsOnePlainPolylineThroughEveryPoint)
{
    auto p = makePlot(900, 600);
    CurveData c;
    const int n = 200000;
    for (int i = 0; i < n; ++i) {
        double y = double((i / 5000) % 3);  // flat runs of 5000 points
        if (i % 7919 == 3)
            y = 4.0;                         // spikes of one point
        if (i % 10007 == 5)
            y = std::nan("");                // gaps
        c.append(10.0 * i / n, y);
    }
    p->setCurveData(0, std::move(c), false);
    p->rescale();
    p->m_reduceDrawing = true;
    const QImage drawn = curvesOnWhite(*p);

    QPixmap reference(p->size());
    reference.fill(Qt::white);
    QPainter painter(&reference);
    const QRect area = p->plotArea();
    painter.setClipRect(QRect(QPoint(area.left() + 1, area.top() + 1), QPoint(area.right() - 1, area.bottom() - 1)));
    painter.setPen(QPen(QColor(0, 0, 255), p->m_lineWidth, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    const AxisRange xr = p->view().xRange(), yr = p->view().yRange();
    const double perX = (area.width() - 1) / (xr.max - xr.min);
    const double perY = (area.height() - 1) / (yr.max - yr.min);
    QPolygon line;
    const CurveData& curve = p->curves().at(0);
    for (std::size_t i = 0; i < curve.pointCount(); ++i) {
        const double x = curve.x(i), y = curve.y(i);
        if (std::isnan(x) || std::isnan(y))
            continue;
        const QPoint at(int((x - xr.min) * perX + area.left()), int(area.bottom() - (y - yr.min) * perY));
        // A polyline that stays on a pixel goes nowhere (the painter would
        // leave the last pixel of a zero-length end out).
        if (line.isEmpty() || line.back() != at)
            line << at;
    }
    painter.drawPolyline(line);
    painter.end();
    const QImage expected = reference.toImage();

    ASSERT_GT(countColour(expected, area, 0x0000FF), 1000);
    int differing = 0;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            differing += (drawn.pixel(x, y) & 0xFFFFFF) != (expected.pixel(x, y) & 0xFFFFFF);
    EXPECT_EQ(differing, 0);
}

// Pixel = value on both axes.
curveraster::Mapping identityMapping()
{
    curveraster::Mapping m;
    m.bottom = 0;
    m.yScale = -1;
    return m;
}

// Drawing options for a visible area of 100 x 100 pixels at the origin.
curveraster::Options area100()
{
    curveraster::Options o;
    o.visible = QRect(0, 0, 100, 100);
    return o;
}

TEST(CurveRaster, FarPointsAreClippedNotDropped)
{
    // A segment from inside the area to a point 10^9 pixels away is drawn
    // up to the edge along its own direction; it is not replaced by a
    // segment to some other point.
    curveraster::Mapping m = identityMapping();
    curveraster::Options o = area100();
    o.margin = 0;
    const double xy[] = {10, 50, 1e9, 50 + 1e8, 20, 60};
    curveraster::Polylines out;
    curveraster::linePaths(xy, 3, m, o, out);
    ASSERT_EQ(out.runCount(), 2u);
    // First run: (10,50) to the right edge at the slope 0.1.
    EXPECT_EQ(out.points[out.runBegin(0)], QPoint(10, 50));
    EXPECT_EQ(out.points[out.runEnd(0) - 1], QPoint(99, 58));
    // Second run comes back in at the right edge and ends at (20,60).
    EXPECT_EQ(out.points[out.runBegin(1)].x(), 99);
    EXPECT_EQ(out.points[out.runEnd(1) - 1], QPoint(20, 60));
}

TEST(CurveRaster, UndrawablePointsAreSkippedAndTheLineJoinsTheirNeighbours)
{
    curveraster::Mapping m = identityMapping();
    curveraster::Options o = area100();
    const double xy[] = {10, 10, NAN, 20, 30, INFINITY, 40, 40};
    curveraster::Polylines out;
    curveraster::linePaths(xy, 4, m, o, out);
    ASSERT_EQ(out.runCount(), 1u);
    EXPECT_EQ(out.points, (std::vector<QPoint>{{10, 10}, {40, 40}}));

    // On a log y axis of positive data, y <= 0 has no place.
    m.logY = true;
    m.signY = 1;
    m.yScale = -10;
    const double ly[] = {10, 1, 20, 0, 30, -5, 40, 100};
    out.clear();
    curveraster::linePaths(ly, 4, m, o, out);
    EXPECT_EQ(out.points, (std::vector<QPoint>{{10, 0}, {40, 20}}));
}

TEST(CurveRaster, SymbolsKeepTheLastDrawingAtEachPixel)
{
    curveraster::Mapping m = identityMapping();
    curveraster::Options o = area100();
    const double xy[] = {10, 10, 20, 20, 10, 10, 30, 30, 20, 20, 500, 500};
    std::vector<QPoint> out;
    curveraster::symbolPixels(xy, 6, m, o, out);
    EXPECT_EQ(out, (std::vector<QPoint>{{10, 10}, {30, 30}, {20, 20}}));
}

struct ShapeCase {
    int style, diameter;
    int width, height;
};

TEST(PointShapes, SizesOfTheSymbols)
{
    // SQUARE: sqrt(pi) d / 2 rounded, made odd; circles fill d x d.
    const ShapeCase cases[] = {{6, 11, 11, 11}, {6, 15, 13, 13}, {6, 10, 9, 9}, {6, 12, 11, 11},
                               {1, 9, 9, 9},    {1, 5, 5, 5}};
    for (const ShapeCase& c : cases) {
        QImage img(60, 60, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::black);
        Plotter::drawPointShape(p, QPoint(30, 30), c.diameter, c.style);
        p.end();
        const QRect box = boundsOf(img, img.rect(), qRgb(0, 0, 0));
        EXPECT_EQ(box.width(), c.width) << "style " << c.style << " d " << c.diameter;
        EXPECT_EQ(box.height(), c.height) << "style " << c.style << " d " << c.diameter;
    }
}

TEST(PointShapes, PolygonCorners)
{
    // TRIANGLE d 10: radius sqrt(4 pi 25 / (3 sqrt 3)) = 7.78.
    const double r = std::sqrt(4.0 * M_PI * 25.0 / (3.0 * std::sqrt(3.0)));
    EXPECT_EQ(Plotter::regularPolygon(QPoint(0, 0), 3, r),
              QPolygon({QPoint(0, -7), QPoint(6, 3), QPoint(-6, 3), QPoint(0, -7)}));
    EXPECT_EQ(Plotter::regularPolygon(QPoint(10, 20), 4, 5.0),
              QPolygon({QPoint(10, 15), QPoint(15, 20), QPoint(10, 25), QPoint(5, 20), QPoint(10, 15)}));
}

TEST(CurveDrawing, ACurveOfOnePointShowsItsSymbol)
{
    auto p = makePlot(400, 300);
    const QRgb blue = 0x0000FF;
    // With symbols: the symbol around the point's pixel, nothing else.
    p->setCurveData(0, curveOf({{5, 5}}, true, true), true);
    const QPoint at = p->dataToPixel(5, 5);
    const int d = p->m_pointDiameter;
    const QRect symbol = boundsOf(image(*p), p->plotArea(), blue);
    ASSERT_FALSE(symbol.isNull());
    EXPECT_TRUE(QRect(at.x() - d, at.y() - d, 2 * d + 1, 2 * d + 1).contains(symbol)) << "at " << at.x() << "," << at.y();
    EXPECT_GE(symbol.width(), d - 1);
    // The range around the single point is open, not empty.
    EXPECT_LT(p->view().xRange().min, 5);
    EXPECT_GT(p->view().xRange().max, 5);

    // A line alone has nothing to draw for one point.
    p->setCurveData(0, curveOf({{5, 5}}, true, false), true);
    EXPECT_EQ(countColour(image(*p), p->plotArea(), blue), 0);
}

TEST(CurveDrawing, BadDataDrawsWhatCanBeDrawn)
{
    auto p = makePlot(400, 300);
    p->setCurveData(0, curveOf({{0, 0}, {1, NAN}, {2, INFINITY}, {3, 1}, {NAN, 2}, {4, -INFINITY}, {5, 0}}), true);
    p->setCurveData(1, CurveData(), true);
    EXPECT_TRUE(std::isfinite(p->view().yRange().min));
    EXPECT_TRUE(std::isfinite(p->view().yRange().max));
    EXPECT_GT(countColour(image(*p), p->plotArea(), 0x0000FF), 50);
}

TEST(CurveDrawing, NegativeValuesOnALogAxis)
{
    auto p = makePlot(400, 300);
    p->setCurveData(0, curveOf({{1, -5}, {2, 10}, {3, 0}, {4, 100}, {5, 1000}}), false);
    p->m_logY = true;
    p->rescale();
    EXPECT_EQ(p->m_logYSign, 1);
    // The smallest magnitude is |-5|: decades 0 to 3.
    EXPECT_EQ(p->view().yRange(), AxisRange(0, 3));
    EXPECT_GT(countColour(image(*p), p->plotArea(), 0x0000FF), 20);
    // All data negative: the axis shows the magnitudes with sign -1.
    p->setCurveData(0, curveOf({{1, -1}, {2, -1000}}), false);
    p->rescale();
    EXPECT_EQ(p->m_logYSign, -1);
    EXPECT_EQ(p->view().yRange(), AxisRange(-3, 0));
}

TEST(CurveDrawing, BarsShareTheSlotBetweenCurves)
{
    // Points 20 pixels apart, two curves: bar width (16 - 1) / 2 = 7, the
    // first curve's bars 3 pixels left of their point, the second's 3 right.
    auto p = makePlot(400, 300);
    p->m_barMode = true;
    p->setCurveData(0, curveOf({{0, 1}, {1, 2}, {2, 3}}), false);
    p->setCurveData(1, curveOf({{0, 1}, {1, 2}, {2, 3}}), false);
    // Plot area 200 pixels wide: 199 / 9.95 = 20 pixels per unit; x = 2 at 220.
    setGeometry(*p, 100, 100, 50, 50, {-4, -4 + 199 / 20.0}, {0, 4});
    const QImage img = curvesOnWhite(*p);
    const int row = p->dataToPixel(2, 2.5).y();
    const QRect blue = boundsOf(img, QRect(200, row, 40, 1), 0x0000FF);
    const QRect red = boundsOf(img, QRect(200, row, 40, 1), 0xFF0000);
    EXPECT_EQ(blue.left(), 217 - 3);
    EXPECT_EQ(red.left(), 223 - 3);
    EXPECT_EQ(red.width(), 7);
}

TEST(CurveDrawing, BarsRunFromTheirBaseToTheirValue)
{
    // Wide bars end at their value and at the base: the ends are not drawn
    // out by half the bar width (a bar of 2 must not read 2.5).
    auto p = makePlot(400, 300);
    p->m_barMode = true;
    p->m_barFloor = 0;
    p->setCurveData(0, curveOf({{0, 1}, {1, 2}, {2, 3}}), false);
    setGeometry(*p, 50, 50, 20, 20, {-1, 3}, {-1, 4});
    const QImage img = curvesOnWhite(*p);
    const int floorRow = p->dataToPixel(0, 0).y();
    for (double x : {0.0, 1.0, 2.0}) {
        const QPoint top = p->dataToPixel(x, x + 1);
        const QRect bar = boundsOf(img, QRect(top.x(), 0, 1, 300), 0x0000FF);
        EXPECT_NEAR(bar.top(), top.y(), 1) << "bar at " << x;
        EXPECT_NEAR(bar.bottom(), floorRow, 1) << "bar at " << x;
    }
}

TEST(CurveDrawing, SingleBarIsNoWiderThanThePlotArea)
{
    auto p = makePlot(400, 300);
    p->m_barMode = true;
    p->setCurveData(0, curveOf({{1, 1}, {1, 2}}), true);
    // One column of points: no spacing, so the bar would be 800000 pixels.
    const QImage img = image(*p);
    EXPECT_GT(countColour(img, p->plotArea(), 0x0000FF), 0);
}

TEST(CurveDrawing, ThreeDColoursByPlace)
{
    auto p = makePlot(400, 300);
    for (int k = 0; k < 3; ++k)
        p->setCurveData(k, curveOf({{0, double(k)}, {1, double(k) + 1}}), false);
    p->m_threeD = true;
    p->rescale();
    const QImage img = image(*p);
    EXPECT_GT(countColour(img, p->plotArea(), qRgb(255, 0, 0)), 0);    // place 0
    EXPECT_GT(countColour(img, p->plotArea(), qRgb(85, 226, 170)), 0); // place 2
}

TEST(CurveDrawing, ThreeDWithDegenerateDepthsAndTicks)
{
    // Depth divisors of 0 or below (the vertical prompt allows them) and a
    // user step on an empty range must not divide by zero.
    auto p = makePlot(400, 300);
    p->setCurveData(0, curveOf({{0, 0}, {1, 1}}), false);
    p->setCurveData(1, curveOf({{0, 1}, {1, 2}}), false);
    p->m_threeD = true;
    for (double depth : {0.0, -19.0, 1e-300, double(NAN)}) {
        p->m_depthX = depth;
        p->m_depthY = depth;
        p->rescale();
        // Drawn as with the deepest setting (1): the front curve in view.
        EXPECT_GT(countColour(image(*p), p->plotArea(), qRgb(128, 255, 127)), 0) << depth;
    }
    p->m_depthX = 6;
    p->m_depthY = 3;
    p->setDomain({2, 2});
    p->m_xGranularity = 1;
    p->m_views[0].xGranularity = 1;
    p->rescale();
    p->refreshPixmap();
}

TEST(CurveDrawing, HighlightBlinksFiveFramesThenEnds)
{
    auto p = makePlot(400, 300);
    p->setCurveData(0, curveOf({{0, 0}, {1, 1}}), true);
    p->highlightCurve(0);
    int frames = 1;
    while (p->m_highlightedCurve != -1 && frames < 20) {
        p->refreshPixmap();
        ++frames;
    }
    EXPECT_EQ(frames, 6);
    EXPECT_EQ(p->m_highlightDrawCount, 0);
}

TEST(CurveDrawing, RemovingTheBlinkingCurveEndsTheHighlightQuietly)
{
    auto p = makePlot(400, 300);
    p->setCurveData(0, curveOf({{0, 0}, {1, 1}}), true);
    p->setCurveData(1, curveOf({{0, 1}, {1, 0}}), true);
    p->highlightCurve(1);
    // Removed behind the plot's back (as a direct map edit would).
    p->m_curves.erase(1);
    p->refreshPixmap();
    EXPECT_EQ(p->m_highlightedCurve, -1);
    EXPECT_FALSE(p->m_refreshTimer->isActive());
    // And through the plot's own removal.
    p->highlightCurve(0);
    p->removeCurve(0);
    EXPECT_EQ(p->m_highlightedCurve, -1);
    p->refreshPixmap();
}

} // namespace
