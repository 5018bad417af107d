// In-place transforms and trimming on a plot: which curves they take (the
// list, every curve, or the user's choice), the reports, cancelling, and
// the undo copy that restores every curve bit for bit.
#include <gtest/gtest.h>

#include "plot/plot_fixture.h"
#include "plot/plot_signals.h"
#include "support/prompts.h"

using namespace plottest;

namespace {

std::unique_ptr<Plotter> twoCurves()
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 1}, {1, 2}, {2, 3}}), false);
    p->setCurveData(1, curveOf({{0, 10}, {1, 11}}), true);
    return p;
}

std::vector<double> ys(const CurveData& c)
{
    std::vector<double> y;
    for (std::size_t i = 0; i < c.pointCount(); ++i)
        y.push_back(c.y(i));
    return y;
}

} // namespace

TEST(PlotTransforms, EachOperationWithItsListAndUndo)
{
    struct Case {
        const char* name;
        std::function<void(Plotter&)> run;
        std::vector<double> y1, y2;
    };
    const Case cases[] = {
        {"normalize(0, 1, C1)", [](Plotter& p) { p.normalize(0, 1, IdArray{1, 0}); }, {0, 0.5, 1}, {10, 11}},
        {"normalize()", [](Plotter& p) { p.normalize(); }, {-1, 0, 1}, {-1, 1}},
        {"removeMean(C2)", [](Plotter& p) { p.removeMean(IdArray{1, 1}); }, {1, 2, 3}, {-0.5, 0.5}},
        {"removeMeanAggr(C1)", [](Plotter& p) { p.removeMeanAggr(IdArray{1, 0}); }, {1 - 5.4, 2 - 5.4, 3 - 5.4}, {10, 11}},
        {"cumulativeSum(all)", [](Plotter& p) { p.cumulativeSum(IdArray::all()); }, {1, 3, 6}, {10, 21}},
        {"integrate(C1)", [](Plotter& p) { p.integrate(IdArray{1, 0}); }, {0, 1.5, 4}, {10, 11}},
        {"differentiate(C1)", [](Plotter& p) { p.differentiate(IdArray{1, 0}); }, {1, 1, 1}, {10, 11}},
    };
    for (const Case& c : cases) {
        auto p = twoCurves();
        const CurveMap before = p->curves();
        c.run(*p);
        for (int id : {0, 1}) {
            const std::vector<double> got = ys(p->curves().at(id)), want = id == 0 ? c.y1 : c.y2;
            ASSERT_EQ(got.size(), want.size()) << c.name;
            for (std::size_t i = 0; i < got.size(); ++i)
                EXPECT_NEAR(got[i], want[i], 1e-12) << c.name << " C" << id + 1 << " " << i;
        }
        p->undo();
        EXPECT_EQ(p->curves(), before) << c.name;
    }
}

TEST(PlotTransforms, ReportsAndAskingForCurves)
{
    auto p = twoCurves();
    Reports reports(*p);
    p->removeMean();
    EXPECT_TRUE(reports.has(ZEVOVE::INFO, QStringLiteral("Removed 2 from C1.\nRemoved 10.5 from C2.\n")));

    // Without a list the running sum asks; cancelling changes nothing and
    // keeps the undo copy.
    kro::test::ScriptedPrompts prompts;
    prompts->answerDialog(int(QDialog::Rejected));
    const CurveMap before = p->curves();
    p->cumulativeSum();
    EXPECT_EQ(p->curves(), before);
    p->undo();
    EXPECT_EQ(ys(p->curves().at(0)), (std::vector<double>{1, 2, 3}));

    // A plot of one curve is taken without asking.
    auto one = makePlot();
    one->setCurveData(0, curveOf({{0, 1}, {1, 2}}), true);
    one->cumulativeSum();
    EXPECT_EQ(ys(one->curves().at(0)), (std::vector<double>{1, 3}));
}

TEST(PlotTransforms, TrimmingReportsAndAsks)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 10}}), true);
    const CurveMap before = p->curves();
    Reports reports(*p);
    kro::test::ScriptedPrompts prompts;
    prompts->answerDouble(1.0);
    p->trimOutliers_n(false);
    ASSERT_EQ(prompts->asked().size(), 1u);
    EXPECT_EQ(prompts->asked()[0].title, QStringLiteral("n-Sigma"));
    EXPECT_EQ(prompts->asked()[0].initial, 3);
    EXPECT_EQ(p->curves().at(0).pointCount(), 4u);
    ASSERT_EQ(reports.texts().filter(QStringLiteral("Trimmed")).size(), 1);
    EXPECT_TRUE(reports.texts().last().contains(QStringLiteral("C1 Trimmed: 1 points (20.000%).")));
    p->undo();
    EXPECT_EQ(p->curves(), before);

    // Cancelled: no undo point, no message.
    reports.clear();
    prompts->answerDouble(std::nullopt);
    p->arithmeticCommand(QStringLiteral("add 1"));
    p->trimOutliers_n(true);
    EXPECT_TRUE(reports.texts().filter(QStringLiteral("Trimmed")).isEmpty());
    p->undo();
    EXPECT_EQ(p->curves(), before);
}
