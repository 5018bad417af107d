// Reference pictures of curve drawing (no text pixels): lines, the six
// symbol shapes with and without fill, wide lines, bars and the 3-D ramp.
// Set KRO_UPDATE_REFERENCE=1 to write new references after a deliberate
// change of the drawing.
#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>

#include "plot_fixture.h"

using namespace plottest;

namespace {

QImage curvesOnly(Plotter& p)
{
    QImage img(p.size(), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    p.drawCurves(painter);
    return img;
}

void compareWithReference(const QImage& img, const QString& name)
{
    const QString path = QDir(KRO_TEST_DATA_DIR).filePath(name);
    if (qEnvironmentVariableIsSet("KRO_UPDATE_REFERENCE")) {
        ASSERT_TRUE(img.save(path));
        GTEST_SKIP() << "reference written: " << path.toStdString();
    }
    const QImage ref = QImage(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(ref.isNull()) << "missing reference " << path.toStdString();
    ASSERT_EQ(ref.size(), img.size());
    int differing = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            differing += (ref.pixel(x, y) & 0xFFFFFF) != (img.pixel(x, y) & 0xFFFFFF);
    EXPECT_EQ(differing, 0) << name.toStdString();
}

TEST(ReferencePictures, SymbolsAndLines)
{
    auto p = makePlot(420, 300);
    const int shapes[] = {1, 3, 4, 5, 6, 7};
    for (int k = 0; k < 6; ++k) {
        CurveData c;
        for (int i = 0; i < 6; ++i)
            c.append(i, k + 0.3 * ((i * 7 + k) % 3));
        c.attributes.showPoints = true;
        c.attributes.showLine = k % 2 == 0;
        c.attributes.pointStyle = static_cast<Zavozi::CurveAttributes::PointStyle>(shapes[k]);
        if (k >= 3)
            c.attributes.pointFillColor = Rgb(0xFFD040);
        p->setCurveData(k, std::move(c), false);
    }
    p->m_pointDiameter = 11;
    setGeometry(*p, 20, 20, 20, 20, {-0.5, 5.5}, {-0.5, 6});
    compareWithReference(curvesOnly(*p), "ref_symbols.png");
}

TEST(ReferencePictures, WideLinesBarsAndThreeD)
{
    auto p = makePlot(420, 300);
    for (int k = 0; k < 3; ++k) {
        CurveData c;
        for (int i = 0; i < 8; ++i)
            c.append(i, 1 + ((i * 5 + k * 3) % 7));
        p->setCurveData(k, std::move(c), false);
    }
    setGeometry(*p, 20, 20, 20, 20, {-1, 8}, {0, 8});
    p->m_lineWidth = 3;
    QImage wide = curvesOnly(*p);
    p->m_lineWidth = 0;
    p->m_barMode = true;
    p->m_barFloor = 0;
    QImage bars = curvesOnly(*p);
    p->m_barMode = false;
    p->m_threeD = true;
    QImage depth = curvesOnly(*p);
    QImage all(420, 900, QImage::Format_RGB32);
    QPainter painter(&all);
    painter.drawImage(0, 0, wide);
    painter.drawImage(0, 300, bars);
    painter.drawImage(0, 600, depth);
    painter.end();
    compareWithReference(all, "ref_wide_bars_3d.png");
}

} // namespace
