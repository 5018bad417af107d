// Cropping and erasing points by position: the crop command's limits, the
// rectangle tools, edges and values that are not numbers, removal of emptied
// curves, the view afterwards and the undo copy.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "core/exceptions.h"
#include "plot/plot_fixture.h"

using namespace plottest;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// C1: x 0..30, y cycling -5..5; C2: x 40..50 at y 0.
std::unique_ptr<Plotter> twoCurves()
{
    auto p = makePlot();
    CurveData c1, c2;
    for (int x = 0; x <= 30; ++x)
        c1.append(x, -5 + x % 11);
    for (int x = 40; x <= 50; ++x)
        c2.append(x, 0);
    p->setCurveData(0, c1, false);
    p->setCurveData(1, c2, true);
    return p;
}

std::vector<double> kept(const CurveData& c, const std::function<bool(double, double)>& inside)
{
    std::vector<double> v;
    for (std::size_t i = 0; i + 1 < c.values.size(); i += 2)
        if (inside(c.values[i], c.values[i + 1])) {
            v.push_back(c.values[i]);
            v.push_back(c.values[i + 1]);
        }
    return v;
}

TEST(Crop, LimitsOfTheCommand)
{
    struct Case {
        const char* name;
        std::vector<double> limits;
        std::function<bool(double, double)> inside;
    };
    const Case cases[] = {
        {"crop 10 20", {10, 20}, [](double x, double) { return 10 <= x && x <= 20; }},
        {"crop 20 10 (taken in order)", {20, 10}, [](double x, double) { return 10 <= x && x <= 20; }},
        {"crop 0 0 -1 1: whole x range", {0, 0, -1, 1}, [](double, double y) { return -1 <= y && y <= 1; }},
        {"crop 0 10 3 3: whole y range", {0, 10, 3, 3}, [](double x, double) { return 0 <= x && x <= 10; }},
        {"crop 0 0 3 3: y exactly 3", {0, 0, 3, 3}, [](double, double y) { return y == 3; }},
        {"crop 5 10 2 -2", {5, 10, 2, -2}, [](double x, double y) { return 5 <= x && x <= 10 && -2 <= y && y <= 2; }},
        {"crop 100 200: no point left", {100, 200}, [](double x, double) { return 100 <= x && x <= 200; }},
    };
    for (const Case& c : cases) {
        auto p = twoCurves();
        const CurveMap before = p->curves();
        p->crop(c.limits, {ALL_CURVES});
        for (const auto& [id, curve] : before) {
            const std::vector<double> want = kept(curve, c.inside);
            if (want.empty())
                EXPECT_EQ(p->curve(id), nullptr) << c.name << " C" << id + 1;
            else
                EXPECT_EQ(p->curves().at(id).values, want) << c.name << " C" << id + 1;
        }
        p->undo();
        EXPECT_EQ(p->curves(), before) << c.name;
    }
}

TEST(Crop, ZeroSpanAndBadLimitCounts)
{
    auto p = twoCurves();
    const CurveMap before = p->curves();
    QSignalSpy notes(p.get(), &Plotter::verbose);
    QSignalSpy undoReady(p.get(), &Plotter::autoCacheAvailable);
    p->crop({5, 5}, {ALL_CURVES});
    EXPECT_EQ(p->curves(), before);
    EXPECT_EQ(undoReady.count(), 0);
    ASSERT_GE(notes.count(), 1);
    EXPECT_EQ(notes.at(0).at(1).toString(), "Crop limits have zero span. Ignoring comand.");
    try {
        p->crop({1, 2, 3}, {ALL_CURVES});
        ADD_FAILURE() << "no exception";
    } catch (const kroexception& e) {
        EXPECT_STREQ(e.what(), "Error: Crop limits vector size is not 2 or 4.");
    }
    EXPECT_EQ(p->curves(), before);
}

TEST(Crop, ListedCurvesOnlyAndMissingOnesReported)
{
    auto p = twoCurves();
    const CurveData c2 = p->curves().at(1);
    QSignalSpy notes(p.get(), &Plotter::verbose);
    p->crop({10, 12}, {7, 0});
    EXPECT_EQ(p->curves().at(0).values, std::vector<double>({10, 5, 11, -5, 12, -4}));
    EXPECT_EQ(p->curves().at(1), c2);
    bool reported = false;
    for (const auto& args : notes)
        reported |= args.at(1).toString() == "Invalid parameter. C8 does not exist.";
    EXPECT_TRUE(reported);
}

TEST(CropRect, EdgesAndNonNumbers)
{
    // Crop keeps points on the edges and points with a coordinate that is not
    // a number; the eraser removes both.
    const std::vector<double> pts = {1, 1, 2, 2, 3, 3, 2, kNaN, kNaN, 2, 9, 9};
    auto p = makePlot();
    p->setCurveData(0, CurveData(pts), true);
    p->cropToRect({1, 3}, {3, 1}, {ALL_CURVES});
    const std::vector<double> afterCrop = p->curves().at(0).values;
    ASSERT_EQ(afterCrop.size(), 10u);
    EXPECT_EQ(afterCrop[4], 3);
    EXPECT_TRUE(std::isnan(afterCrop[7]));
    EXPECT_TRUE(std::isnan(afterCrop[8]));

    auto q = makePlot();
    q->setCurveData(0, CurveData(pts), true);
    q->erasePointsInRect({1, 3}, {3, 1});
    EXPECT_EQ(q->curves().at(0).values, std::vector<double>({9, 9}));
}

TEST(CropRect, EmptiedCurvesGoAndTheViewFollows)
{
    auto p = twoCurves();
    // Base view: rescaled to what is left.
    p->erasePointsInRect({-1, 10}, {35, -10});
    ASSERT_EQ(p->curves().size(), 1u);
    EXPECT_EQ(p->curves().count(1), 1u);
    EXPECT_LE(p->view().xRange().min, 40);
    EXPECT_GT(p->view().xRange().min, 35);

    // Zoomed: the view stays.
    auto q = twoCurves();
    q->zoomToRect(QRect(q->plotArea().topLeft() + QPoint(10, 10), q->plotArea().center()), true);
    const ViewRect zoomed = q->view();
    q->cropToRect({0, 10}, {20, -10}, {ALL_CURVES});
    EXPECT_EQ(q->viewIndex(), 1);
    EXPECT_EQ(q->view().xRange(), zoomed.xRange());
    EXPECT_EQ(q->curves().size(), 1u);
    q->undo();
    EXPECT_EQ(q->curves().size(), 2u);
}

} // namespace
