// Drawing from a curve's summary: the line paths and symbol pixels taken
// from the level-of-detail blocks (and, for increasing x, from the points
// in view only) are exactly those read from every point, for every kind of
// data and view.
#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "core/curvedata.h"
#include "core/curvesummary.h"
#include "plot/curveraster.h"

namespace {

using curveraster::Mapping;

constexpr std::size_t kPoints = 300000; // three levels of blocks

// Kinds of data, each with its x and y for point i.
struct DataKind {
    const char* name;
    std::function<void(std::size_t i, QRandomGenerator& rng, double& x, double& y)> point;
};

const std::vector<DataKind>& dataKinds()
{
    static const std::vector<DataKind> kinds = {
        {"noisy", [](std::size_t i, QRandomGenerator& r, double& x, double& y) {
             x = 1000.0 * double(i) / kPoints;
             y = std::sin(x / 50.0) + 0.5 * (r.generateDouble() - 0.5) + 2.0;
         }},
        // Slow change: long stretches of points in one pixel row.
        {"smooth", [](std::size_t i, QRandomGenerator&, double& x, double& y) {
             x = 1000.0 * double(i) / kPoints;
             y = std::sin(x / 80.0) + 1.5;
         }},
        // Flat runs, spikes of one point and steps.
        {"steps", [](std::size_t i, QRandomGenerator&, double& x, double& y) {
             x = 1000.0 * double(i) / kPoints;
             y = 1.0 + double((i / 5000) % 3);
             if (i % 7919 == 3)
                 y = 5.0;
         }},
        // Gaps of undefined or infinite values, in y and in x.
        {"gaps", [](std::size_t i, QRandomGenerator& r, double& x, double& y) {
             x = 1000.0 * double(i) / kPoints;
             y = std::sin(x / 20.0) + 0.3 * r.generateDouble() + 2.0;
             if ((i / 3000) % 7 == 2)
                 y = std::nan("");
             if (i % 10007 == 5)
                 y = INFINITY;
             if ((i / 100) % 501 == 17)
                 x = std::nan("");
         }},
        // x that goes back and forth (a random walk).
        {"walk", [](std::size_t i, QRandomGenerator& r, double& x, double& y) {
             static double at = 0;
             if (i == 0)
                 at = 500;
             at += r.generateDouble() - 0.5;
             x = at;
             y = std::cos(double(i) / 1e4) + 0.2 * r.generateDouble() + 1.5;
         }},
        // x running backwards, y crossing zero (no place on a log axis).
        {"backwards", [](std::size_t i, QRandomGenerator& r, double& x, double& y) {
             x = 1000.0 - 1000.0 * double(i) / kPoints;
             y = std::sin(x / 30.0) + 0.1 * r.generateDouble();
         }},
        // Increasing x with repeated values and one far-off spike.
        {"repeated x", [](std::size_t i, QRandomGenerator& r, double& x, double& y) {
             x = std::floor(1000.0 * double(i) / kPoints);
             y = r.generateDouble() + 1.0;
             if (i == kPoints / 2)
                 y = 1e9;
         }},
    };
    return kinds;
}

CurveValues makeData(const DataKind& kind)
{
    QRandomGenerator rng(11);
    std::vector<double> v(2 * kPoints);
    for (std::size_t i = 0; i < kPoints; ++i)
        kind.point(i, rng, v[2 * i], v[2 * i + 1]);
    return CurveValues(std::move(v));
}

// A view: x and y ranges in axis coordinates (log10 on a log axis).
struct View {
    const char* name;
    double x0, x1, y0, y1;
    bool logX = false, logY = false;
    double shift = 0; // 3-D shift in pixels
};

const std::vector<View>& views()
{
    static const std::vector<View> v = {
        {"full", -10, 1010, -1, 4},
        {"zoom 1%", 400, 410, -1, 4},
        {"zoom 10%", 123.4, 223.4, -1, 4},
        {"pan past the end", 950, 1150, -1, 4},
        {"pan before the start", -150, 50, -1, 4},
        {"y zoom", 0, 1000, 1.2, 1.8},
        {"log y", -10, 1010, -1, 1, false, true},
        {"log x", 0, 3, -1, 4, true, false},
        {"log both zoomed", 2.5, 2.7, -0.2, 0.7, true, true},
        {"shifted", -10, 1010, -1, 4, false, false, 37.5},
        {"nothing in view", 2000, 3000, -1, 4},
    };
    return v;
}

// The mapping and options of a 900 x 600 plot area at (60, 20).
Mapping mappingOf(const View& v, int signX = 1, int signY = 1)
{
    Mapping m;
    const int W = 900, H = 600;
    m.xmin = v.x0;
    m.ymin = v.y0;
    m.xScale = curveraster::pixelsPerUnit(W - 1, v.x0, v.x1);
    m.yScale = curveraster::pixelsPerUnit(H - 1, v.y0, v.y1);
    m.left = 60;
    m.bottom = 20 + H - 1;
    m.logX = v.logX;
    m.logY = v.logY;
    m.signX = signX;
    m.signY = signY;
    m.shiftX = m.shiftY = v.shift;
    return m;
}

curveraster::Options optionsOf(int margin)
{
    curveraster::Options o;
    o.visible = QRect(QPoint(61, 21), QPoint(60 + 900 - 2, 20 + 600 - 2));
    o.margin = margin;
    return o;
}

class LevelDrawing : public ::testing::TestWithParam<std::size_t> {};

TEST_P(LevelDrawing, LinePathsAreThoseOfEveryPoint)
{
    const DataKind& kind = dataKinds()[GetParam()];
    const CurveValues values = makeData(kind);
    const CurveSummary& summary = values.summary();
    ASSERT_EQ(summary.levels.size(), 3u);
    for (const View& view : views()) {
        for (int margin : {2, 5}) {
            const Mapping m = mappingOf(view);
            const curveraster::Options o = optionsOf(margin);
            curveraster::Polylines plain, fromSummary;
            curveraster::PassInfo plainInfo, summaryInfo;
            curveraster::linePaths(values.data(), kPoints, m, o, plain, &plainInfo);
            curveraster::linePaths(values.data(), kPoints, m, o, fromSummary, &summaryInfo, &summary);
            const std::string where = std::string(kind.name) + ", " + view.name + ", margin " + std::to_string(margin);
            EXPECT_EQ(fromSummary.points, plain.points) << where;
            EXPECT_EQ(fromSummary.starts, plain.starts) << where;
            EXPECT_EQ(summaryInfo.examined, plainInfo.examined) << where;
            EXPECT_EQ(summaryInfo.allMjd, plainInfo.allMjd) << where;
        }
    }
}

TEST_P(LevelDrawing, SymbolPixelsAreThoseOfEveryPoint)
{
    const DataKind& kind = dataKinds()[GetParam()];
    const CurveValues values = makeData(kind);
    for (const View& view : views()) {
        const Mapping m = mappingOf(view);
        const curveraster::Options o = optionsOf(9);
        std::vector<QPoint> plain, fromSummary;
        curveraster::symbolPixels(values.data(), kPoints, m, o, plain);
        curveraster::symbolPixels(values.data(), kPoints, m, o, fromSummary, nullptr, &values.summary());
        EXPECT_EQ(fromSummary, plain) << kind.name << ", " << view.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Data, LevelDrawing, ::testing::Range<std::size_t>(0, 7), [](const auto& info) {
    std::string s = dataKinds()[info.param].name;
    for (char& ch : s)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return s;
});

TEST(LevelDrawingSigns, NegativeLogAxesAndUnsignedOnes)
{
    // All-negative data on log axes of sign -1, and data on both sides of
    // zero on axes of either sign or none.
    std::vector<double> v(2 * kPoints);
    QRandomGenerator rng(5);
    for (std::size_t i = 0; i < kPoints; ++i) {
        v[2 * i] = -1000.0 + 999.0 * double(i) / kPoints;
        v[2 * i + 1] = -(std::sin(double(i) / 5e3) + 1.5 + 0.2 * rng.generateDouble());
    }
    const CurveValues negative(v);
    for (std::size_t i = kPoints / 3; i < kPoints / 2; ++i)
        v[2 * i + 1] = -v[2 * i + 1];
    const CurveValues mixed(v);
    const View logBoth{"log both", -3, 0, -1, 1, true, true};
    for (const CurveValues* values : {&negative, &mixed}) {
        for (int sign : {-1, 0, 1}) {
            const Mapping m = mappingOf(logBoth, sign, sign);
            curveraster::Polylines plain, fromSummary;
            curveraster::linePaths(values->data(), kPoints, m, optionsOf(2), plain);
            curveraster::linePaths(values->data(), kPoints, m, optionsOf(2), fromSummary, nullptr, &values->summary());
            EXPECT_EQ(fromSummary.points, plain.points) << "sign " << sign;
            EXPECT_EQ(fromSummary.starts, plain.starts) << "sign " << sign;
        }
    }
}

} // namespace
