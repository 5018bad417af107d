// The redraw pipeline: grid and frame, background and its image, point
// annotations, size hints and the date-range signal.
#include <gtest/gtest.h>

#include <QPainter>
#include <QTemporaryDir>

#include "plot/fastlines.h"
#include "plot/plotdiag.h"
#include "plot_fixture.h"

using namespace plottest;

namespace {

const QRgb kGrid = qRgb(192, 192, 192);

std::unique_ptr<Plotter> framedPlot(int w = 600, int h = 400)
{
    auto p = makePlot(w, h);
    p->m_fillPlotArea = true;
    p->setCurveData(0, curveOf({{0, 0}, {10, 1}}), true);
    return p;
}

TEST(Redraw, GridLinesAtTheTicksInTheGridColour)
{
    auto p = framedPlot();
    const QImage img = image(*p);
    const AxisTicks& t = p->view().xTicks;
    int checked = 0;
    for (int i = 0; i <= t.count; ++i) {
        const double v = t.value(i);
        if (!p->view().xRange().contains(v))
            continue;
        const int px = p->dataToPixel(v, 0, true).x();
        const QRect column(px, p->plotArea().top() + 5, 1, p->plotArea().height() - 10);
        // Mostly grid colour (the curve may cross it once); the tick mark
        // below the area is grid colour too.
        EXPECT_GT(countColour(img, column, kGrid), column.height() - 6) << "tick " << v;
        EXPECT_EQ(img.pixel(px, p->plotArea().bottom() + 3) & 0xFFFFFF, kGrid & 0xFFFFFF);
        ++checked;
    }
    EXPECT_GE(checked, 5);
    p->m_gridVertical = p->m_gridHorizontal = false;
    p->refreshPixmap();
    const QRect inner = p->plotArea().adjusted(5, 5, -5, -5);
    EXPECT_EQ(countColour(image(*p), inner, kGrid), 0);
}

// Straight lines and outlines filled as rectangles cover exactly the pixels
// the painter's line drawing gives, for every pen they are used with.
TEST(Redraw, FilledStraightLinesEqualDrawnOnes)
{
    const QLine lines[] = {{10, 5, 10, 60}, {10, 60, 10, 5}, {3, 20, 70, 20}, {70, 21, 3, 21},
                           {40, 40, 40, 40}, {0, 0, 79, 0}, {79, 0, 79, 79}, {-5, 30, 90, 30}};
    const QRect rects[] = {{5, 5, 60, 40}, {20, 20, 1, 1}, {30, 10, 1, 30}, {10, 50, 40, 1},
                           {40, 40, 2, 2},  {12, 8, 2, 30},   {0, 0, 79, 79}};
    struct PenCase {
        qreal width;
        QColor colour;
        QImage::Format format;
    };
    const PenCase pens[] = {{0, QColor(192, 192, 192), QImage::Format_RGB32},
                            {1, QColor(10, 20, 200), QImage::Format_RGB32},
                            {0, QColor(255, 0, 0, 100), QImage::Format_ARGB32_Premultiplied},
                            {1, QColor(0, 128, 0, 200), QImage::Format_RGB32}};
    auto paint = [](const PenCase& pc, bool fill, auto&& draw) {
        QImage img(80, 80, pc.format);
        img.fill(QColor(250, 240, 230));
        QPainter p(&img);
        p.setPen(QPen(pc.colour, pc.width, Qt::SolidLine));
        p.setBrush(Qt::NoBrush);
        EXPECT_TRUE(fastlines::thinPenFillable(p));
        draw(p, fill);
        return img;
    };
    for (const PenCase& pc : pens) {
        for (const QLine& l : lines) {
            auto draw = [&](QPainter& p, bool fill) { fastlines::line(p, fill, l.x1(), l.y1(), l.x2(), l.y2()); };
            EXPECT_EQ(paint(pc, true, draw), paint(pc, false, draw)) << pc.width << " " << l.x1() << "," << l.y1();
        }
        for (const QRect& r : rects) {
            auto draw = [&](QPainter& p, bool fill) { fastlines::outline(p, fill, r); };
            EXPECT_EQ(paint(pc, true, draw), paint(pc, false, draw)) << pc.width << " " << r.x() << "," << r.y();
        }
    }
    QImage img(10, 10, QImage::Format_RGB32);
    QPainter p(&img);
    p.setPen(QPen(Qt::black, 2));
    EXPECT_FALSE(fastlines::thinPenFillable(p)) << "wide pens are drawn";
    p.setPen(QPen(Qt::black, 0, Qt::DotLine));
    EXPECT_FALSE(fastlines::thinPenFillable(p));
    p.setPen(QPen(Qt::black, 0));
    p.scale(2, 2);
    EXPECT_FALSE(fastlines::thinPenFillable(p));
}

TEST(Redraw, TickLabelsShrinkOnlyForThisRedraw)
{
    // The height of the tick labels drawn below the x axis and left of the
    // y axis, told apart by their colour.
    struct Heights {
        int x, y;
    };
    auto labelHeights = [](Plotter& p) {
        p.m_axesMarkersColor = QColor(200, 0, 200);
        p.refreshPixmap();
        const QImage img = image(p);
        const QRect area = p.plotArea();
        auto label = [](QColor c) { return c.red() > c.green() + 80 && c.blue() > c.green() + 80; };
        const QRect below = boundsWhere(img, QRect(area.left(), area.bottom() + 6, area.width(), 40), label);
        const QRect left = boundsWhere(img, QRect(0, area.top(), area.left() - 6, area.height()), label);
        return Heights{below.height(), left.height()};
    };
    auto roomy = framedPlot(900, 400);
    roomy->m_tickFont.setPointSize(9);
    roomy->setXTickGranularity(2);
    const Heights normal = labelHeights(*roomy);
    ASSERT_GT(normal.x, 0);

    auto p = framedPlot(160, 400); // labels crowd on a narrow axis
    p->m_tickFont.setPointSize(9);
    p->setXTickGranularity(0.5);
    const Heights crowded = labelHeights(*p);
    EXPECT_LT(crowded.x, normal.x) << "the x labels were drawn smaller";
    EXPECT_EQ(p->m_tickFont.pointSize(), 9) << "for this redraw only";
    EXPECT_GE(crowded.y, normal.y) << "the y labels keep the user's size";
    p->m_tickFont.setPointSize(5);
    p->refreshPixmap();
    EXPECT_EQ(p->m_tickFont.pointSize(), 5);
}

TEST(Redraw, FrameAndInsideColour)
{
    auto p = framedPlot();
    p->m_insideColor = QColor(250, 250, 210);
    p->refreshPixmap();
    const QImage img = image(*p);
    const QRect a = p->plotArea();
    EXPECT_EQ(img.pixel(a.left() + 3, a.top() + 3) & 0xFFFFFF, qRgb(250, 250, 210) & 0xFFFFFF);
    // Outside colour beyond the grey outer frame.
    EXPECT_EQ(img.pixel(a.right() + 8, a.center().y()) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(img.pixel(a.right() + 2, a.center().y()) & 0xFFFFFF, kGrid & 0xFFFFFF);
}

QString writeImage(const QTemporaryDir& dir, const QString& name, QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(qRgb(255, 0, 0));
    QPainter p(&img);
    // A green middle region a quarter of the size.
    p.fillRect(QRect(QPoint(size.width() * 3 / 8, size.height() * 3 / 8), size / 4), QColor(0, 255, 0));
    p.end();
    const QString path = dir.filePath(name);
    img.save(path);
    return path;
}

TEST(Redraw, CentredImageShowsItsMiddle)
{
    QTemporaryDir dir;
    auto p = framedPlot();
    p->m_gridVertical = p->m_gridHorizontal = false;
    p->m_curves.clear();
    const QRect a = p->plotArea();
    // Larger than the area: its middle (green) is at the area's centre and
    // its red edge is cut away around the middle.
    p->loadBackgroundImage(writeImage(dir, "big.png", QSize(a.width() * 4, a.height() * 4)));
    p->refreshPixmap();
    QImage img = image(*p);
    EXPECT_EQ(img.pixel(a.center()) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(img.pixel(a.left() + 4, a.top() + 4) & 0xFFFFFF, 0x00FF00u);
    // Smaller: in the middle of the inside colour.
    p->loadBackgroundImage(writeImage(dir, "small.png", QSize(40, 20)));
    p->refreshPixmap();
    img = image(*p);
    EXPECT_EQ(img.pixel(a.center()) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(img.pixel(a.left() + 4, a.top() + 4) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(countColour(img, a, qRgb(255, 0, 0)), 40 * 20 - 10 * 5);
    // Tiled: the image repeats over the whole area.
    p->setBackgroundImageStyle(TILED);
    p->refreshPixmap();
    EXPECT_GT(countColour(image(*p), a, qRgb(255, 0, 0)), a.width() * a.height() / 2);
}

TEST(Redraw, MissingImageIsReportedAndLeavesNone)
{
    auto p = framedPlot();
    QSignalSpy transcript(p.get(), &Plotter::transcript);
    p->loadBackgroundImage("/nonexistent/picture.png");
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript[0][0].toString(), "Error: Background iamge file \"/nonexistent/picture.png\" not found.");
    EXPECT_TRUE(p->m_backgroundImage.isNull());
    p->loadBackgroundImage("");
    EXPECT_EQ(transcript.count(), 1);
}

TEST(Redraw, TinyPlotAreaGetsNoBackground)
{
    auto p = framedPlot(200, 150);
    p->m_insideColor = QColor(1, 2, 3);
    p->resize(p->m_marginLeft + p->m_marginRight + 1, 300);
    p->refreshPixmap();
    EXPECT_EQ(countColour(image(*p), QRect(QPoint(0, 0), p->size()), qRgb(1, 2, 3)), 0);
}

TEST(Redraw, AnnotationsAtOnePointReadAsOneLine)
{
    auto p = framedPlot();
    p->m_curves.clear();
    for (int id = 0; id < 3; ++id)
        p->setCurveData(id, curveOf({{0, 0}, {10, 1}}, false), false);
    p->rescale();
    p->addAnnotation({5, 0.5, "WWW", 0});
    p->addAnnotation({2, 0.5, "first", 2});
    p->addAnnotation({5, 0.5, "WWW", 1});
    p->addAnnotation({5, 0.5, "WWW", 2});
    ASSERT_EQ(p->m_annotations.size(), 4u);
    EXPECT_EQ(p->m_annotations[0].text, "first");
    EXPECT_EQ(p->m_annotations[1].curveId, 0);
    EXPECT_EQ(p->m_annotations[3].curveId, 2);
    p->refreshPixmap();
    const QImage img = image(*p);
    const QPoint at = p->dataToPixel(5, 0.5);
    const QRect line(at.x(), at.y() - 20, 300, 25);
    // Text is antialiased: pixels are told apart by their hue.
    const QRect blue = boundsWhere(img, line, [](QColor c) { return c.blue() > c.red() + 80 && c.blue() > c.green() + 80; });
    const QRect red = boundsWhere(img, line, [](QColor c) { return c.red() > c.blue() + 80 && c.red() > c.green() + 80; });
    const QRect green = boundsWhere(img, line, [](QColor c) { return c.green() > c.blue() + 80 && c.green() > c.red() + 80; });
    ASSERT_FALSE(blue.isNull());
    ASSERT_FALSE(red.isNull());
    ASSERT_FALSE(green.isNull());
    EXPECT_LT(blue.right(), red.left());
    EXPECT_LT(red.right(), green.left());
    // A black comma between the texts.
    const QRect comma = boundsWhere(img, QRect(blue.right() + 1, line.top(), red.left() - blue.right() - 1, line.height()),
                                    [](QColor c) { return c.red() == c.green() && c.green() == c.blue() && c.red() < 160; });
    EXPECT_FALSE(comma.isNull());
}

TEST(Redraw, AnnotationOnALogAxisSitsAtItsPoint)
{
    auto p = framedPlot();
    p->m_curves.clear();
    p->setCurveData(0, curveOf({{1, 1}, {1000, 1000}}, false), false);
    p->m_logX = p->m_logY = true;
    p->rescale();
    p->addAnnotation({100, 10, "WW", 0});
    p->refreshPixmap();
    const QPoint at = p->dataToPixel(100, 10);
    const QRect text = boundsWhere(image(*p), QRect(at.x() - 5, at.y() - 25, 60, 30),
                                   [](QColor c) { return c.blue() > c.red() + 80 && c.blue() > c.green() + 80; });
    ASSERT_FALSE(text.isNull());
    EXPECT_NEAR(text.left(), at.x(), 2);
    EXPECT_NEAR(text.bottom(), at.y(), 4);
}

TEST(Redraw, SizeHintsFollowTheMargins)
{
    Plotter p(nullptr, "hints");
    EXPECT_EQ(p.sizeHint(), QSize(5 * (p.m_marginLeft + p.m_marginRight), 2 * (p.m_marginTop + p.m_marginBottom)));
    EXPECT_EQ(p.minimumSizeHint(),
              QSize(2 * (p.m_marginLeft + p.m_marginRight), 2 * (p.m_marginTop + p.m_marginBottom)));
    p.m_marginTop = -1;
    EXPECT_FALSE(p.sizeHint().isValid());
}

TEST(Redraw, LightRedrawLeavesTheLegendColour)
{
    auto p = framedPlot();
    p->setCurveTitle(0, "zero");
    p->m_curves[0].attributes.lineColor = Rgb(0x00FF00);
    p->redrawCurves();
    EXPECT_EQ(p->legend()->findItem(0)->m_color, QColor(0, 0, 255));
    p->refreshPixmap();
    EXPECT_EQ(p->legend()->findItem(0)->m_color, QColor(0, 255, 0));
}

TEST(Redraw, DateRangeSignal)
{
    auto p = makePlot();
    QSignalSpy inRange(p.get(), &Plotter::mjdInRange);
    p->setCurveData(0, curveOf({{60000, 1}, {60001, 2}}), true);
    ASSERT_GE(inRange.count(), 1);
    EXPECT_TRUE(inRange.last()[0].toBool());
    p->setCurveData(1, curveOf({{0, 1}, {1, 2}}), true);
    EXPECT_FALSE(inRange.last()[0].toBool());
    inRange.clear();
    p->m_liveData = true;
    p->refreshPixmap();
    EXPECT_EQ(inRange.count(), 0);
}

TEST(Redraw, DateAxisLabelsReserveTwoLines)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{60000, 1}, {60000.00001, 2}}), true);
    const int oneLine = p->marginBottom();
    p->m_dateTimeAxis = true;
    p->refreshPixmap();
    EXPECT_EQ(p->marginBottom(), oneLine + p->m_tickFontHeight);
    EXPECT_EQ(p->tickLabelHeight(false), 2 * p->m_tickFontHeight);
    EXPECT_EQ(p->tickLabelHeight(true), p->m_tickFontHeight);
}

} // namespace
