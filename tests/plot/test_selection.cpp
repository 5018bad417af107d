// Curve selections: the prompts, ALL_CURVES, and the walk over a selection.
#include <gtest/gtest.h>

#include <QLabel>

#include <functional>

#include "plot_fixture.h"
#include "plot_signals.h"
#include "support/prompts.h"

using namespace plottest;

namespace {

std::unique_ptr<Plotter> plotWith(std::initializer_list<int> ids, int emptyId = -1)
{
    auto p = makePlot();
    for (int id : ids)
        p->setCurveData(id, curveOf({{0, double(id)}, {1, double(id)}}), false);
    if (emptyId >= 0)
        p->setCurveData(emptyId, CurveData(), false);
    return p;
}

std::vector<int> visited(Plotter& p, const IdArray& ids)
{
    std::vector<int> order;
    Plotter::ListedCurve at;
    while (CurveData* c = p.nextListedCurve(ids, at)) {
        EXPECT_EQ(c, &p.m_curves.at(at.id));
        order.push_back(at.id);
        if (order.size() > 20)
            break;
    }
    return order;
}

} // namespace

TEST(CurveSelection, PromptsAskOnlyWhenTheCountDoesNotDecide)
{
    kro::test::ScriptedPrompts prompts;
    auto one = plotWith({4});
    bool ok = false;
    EXPECT_EQ(one->promptCurves(true, &ok), (IdArray{1, 4}));
    EXPECT_TRUE(ok);

    auto two = plotWith({1, 6});
    EXPECT_EQ(two->promptExactCurves(2, 2, &ok), (IdArray{2, 1, 6}));
    EXPECT_TRUE(prompts->asked().empty());
}

TEST(CurveSelection, AllCurvesItemWithOthersGivesEveryCurve)
{
    kro::test::ScriptedPrompts prompts;
    auto p = plotWith({0, 2, 5});
    prompts->answerDialog(chooseRows({0, 1, 3}));  // All Curves, Curve 1, Curve 6
    EXPECT_EQ(p->promptCurves(true), (IdArray{3, 0, 2, 5}));

    prompts->answerDialog(chooseRows({1, 2}));
    EXPECT_EQ(p->promptCurves(false), (IdArray{2, 2, 5}));
}

TEST(CurveSelection, CancelGivesAnEmptySelection)
{
    kro::test::ScriptedPrompts prompts;
    auto p = plotWith({0, 1, 2});
    bool ok = true;
    prompts->answerDialog(QDialog::Rejected);
    EXPECT_EQ(p->promptExactCurves(2, 2, &ok), IdArray{0});
    EXPECT_FALSE(ok);
}

TEST(CurveSelection, ResolvingAll)
{
    auto p = plotWith({0, 3});
    EXPECT_EQ(p->resolveCurveIds(IdArray{0}), IdArray{0});
    EXPECT_EQ(p->resolveCurveIds(IdArray{2, 5, 3}), (IdArray{2, 5, 3})) << "order kept, ids unchecked";
    EXPECT_EQ(p->resolveCurveIds(IdArray{2, ALL_CURVES, 9}), (IdArray{2, 0, 3}));
    EXPECT_EQ(p->resolveCurveIdVector({ALL_CURVES, 7}), (std::vector<int>{0, 3}));
    EXPECT_EQ(p->resolveCurveIdVector({7, ALL_CURVES}), (std::vector<int>{7, ALL_CURVES}));
    auto empty = makePlot();
    EXPECT_EQ(empty->resolveCurveIds(IdArray::all()), IdArray{0});
}

TEST(CurveSelection, WalkingASelection)
{
    struct Case {
        const char* name;
        IdArray ids;
        std::vector<int> visits;
        QString error;
    };
    const std::vector<Case> cases = {
        {"stops at a missing curve", IdArray{3, 0, 7, 1}, {0}, "Invalid parameter. C8 does not exist."},
        {"an empty first curve visits none", IdArray{2, 4, 1}, {}, "Invalid parameter. C5 does not have enough data points."},
        {"all curves", IdArray{1, ALL_CURVES}, {0, 1, 2, 5}, ""},
        {"a curve listed twice is visited twice and the walk ends", IdArray{3, 0, 1, 0}, {0, 1, 0}, ""},
        {"empty selection", IdArray{0}, {}, ""},
    };
    for (const Case& c : cases) {
        auto p = plotWith({0, 1, 2, 5}, c.error.contains("C5") ? 4 : -1);
        Reports reports(*p);
        EXPECT_EQ(visited(*p, c.ids), c.visits) << c.name;
        if (c.error.isEmpty())
            EXPECT_TRUE(reports.typed.empty()) << c.name;
        else
            EXPECT_TRUE(reports.has(ZEVOVE::ERROR, c.error)) << c.name;
    }
}

TEST(PromptedCurveOperations, AddPointGoesIntoEachChosenCurveInXOrder)
{
    kro::test::ScriptedPrompts prompts;
    auto p = plotWith({0, 2, 5});  // each curve: (0, id), (1, id)
    QSignalSpy cached(p.get(), &Plotter::autoCacheAvailable);

    prompts->answerDialog(chooseRows({0}));  // All Curves
    prompts->answerDoublePair(std::pair(0.5, -3.0));
    p->on_addPoint();
    for (int id : {0, 2, 5})
        EXPECT_EQ(p->curve(id)->values, (std::vector<double>{0, double(id), 0.5, -3, 1, double(id)})) << id;
    const auto& asked = prompts->asked().back();
    EXPECT_EQ(asked.kind, kro::ScriptedPrompter::Kind::DoublePair);
    EXPECT_EQ(asked.title, "Insert Point");
    EXPECT_EQ(asked.text, "Enter x and y, and click ok.\nx\ny");
    EXPECT_EQ(asked.initial, 0.0);
    EXPECT_EQ(asked.minimum, -std::numeric_limits<double>::max());
    EXPECT_EQ(asked.maximum, std::numeric_limits<double>::max());
    EXPECT_EQ(cached.count(), 1);

    prompts->answerDialog(chooseRows({3}));  // Curve 6 only; the point goes after its last
    prompts->answerDoublePair(std::pair(2.0, 9.0));
    p->on_addPoint();
    EXPECT_EQ(p->curve(5)->values, (std::vector<double>{0, 5, 0.5, -3, 1, 5, 2, 9}));
    EXPECT_EQ(p->curve(2)->values.size(), 6u);

    // A cancelled point leaves the curves as they were (the undo copy is taken).
    prompts->answerDialog(chooseRows({1}));
    prompts->answerDoublePair(std::nullopt);
    p->on_addPoint();
    EXPECT_EQ(p->curve(0)->values.size(), 6u);
    EXPECT_EQ(cached.count(), 3);
    // Cancelled curves: no point asked, no undo copy.
    prompts->answerDialog(QDialog::Rejected);
    p->on_addPoint();
    EXPECT_EQ(cached.count(), 3);
    EXPECT_EQ(prompts->asked().back().kind, kro::ScriptedPrompter::Kind::Dialog);
}

TEST(PromptedCurveOperations, RemoveCurvesWithoutASelectionAsks)
{
    kro::test::ScriptedPrompts prompts;
    auto p = plotWith({0, 2, 5});
    prompts->answerDialog(chooseRows({1, 3}));  // Curve 1 and Curve 6
    p->removeCurves();
    ASSERT_EQ(p->curves().size(), 1u);
    EXPECT_EQ(p->curves().begin()->first, 2);
    EXPECT_EQ(prompts->asked().size(), 1u);

    p->setCurveData(7, curveOf({{0, 1}}), false);
    prompts->answerDialog(QDialog::Rejected);
    p->removeCurves();
    EXPECT_EQ(p->curves().size(), 2u) << "cancel removes nothing";

    p->removeCurve(7);
    p->removeCurves();  // one curve: taken without asking
    EXPECT_TRUE(p->curves().empty());
    EXPECT_EQ(prompts->asked().size(), 2u);
}

// The tools that ask for curves (or markers) name themselves in the
// dialog's title and say what to choose; with nothing to choose they say
// so in the transcript and open no dialog.
namespace {
struct ChoosingTool {
    const char* title;
    std::function<void(Plotter&)> run;
    int needed;  // curves the tool needs
};

const std::vector<ChoosingTool>& choosingTools()
{
    static const std::vector<ChoosingTool> tools = {
        {"Insert a point", [](Plotter& p) { p.on_addPoint(); }, 1},
        {"Remove curve(s)", [](Plotter& p) { p.removeCurves(); }, 1},
        {"Unwrap", [](Plotter& p) { p.unwrap(); }, 1},
        {"Differentiate", [](Plotter& p) { p.differentiate(); }, 1},
        {"Integrate", [](Plotter& p) { p.integrate(); }, 1},
        {"Cumulative Sum", [](Plotter& p) { p.cumulativeSum(); }, 1},
        {"nth-Difference", [](Plotter& p) { p.ndiff(); }, 1},
        {"Cross-correlation (XCF)", [](Plotter& p) { p.plotxcf(); }, 2},
        {"Convolution (CONV)", [](Plotter& p) { p.plotconv(); }, 2},
        {"Time-Interval \u2192 Frac. Frequency", [](Plotter& p) { p.timeintToFracfreq(); }, 1},
        {"Frac. Frequency \u2192 Time-Interval", [](Plotter& p) { p.fracFreqToTimeInt(); }, 1},
    };
    return tools;
}
} // namespace

TEST(CurveChoice, NothingToChooseIsSaidInsteadOfAnEmptyDialog)
{
    for (const ChoosingTool& tool : choosingTools()) {
        kro::test::ScriptedPrompts prompts;
        // One curve short of what the tool needs.
        auto p = tool.needed == 2 ? plotWith({3}) : makePlot();
        Reports reports(*p);
        tool.run(*p);
        EXPECT_TRUE(prompts->asked().empty()) << tool.title;
        const QString expected = tool.needed == 2 ? QString::fromUtf8(tool.title) + " needs 2 curves; the plot has only 1."
                                                  : QString::fromUtf8(tool.title) + " needs a curve; the plot has none.";
        EXPECT_TRUE(reports.lines.contains(expected)) << tool.title << ": " << reports.lines.join('|').toStdString();
    }

    kro::test::ScriptedPrompts prompts;
    auto p = plotWith({0});
    Reports reports(*p);
    p->addMarkerDiff();
    double at = 0.5;
    p->addVMarker(&at, false);
    p->addMarkerDiff();
    EXPECT_TRUE(prompts->asked().empty());
    EXPECT_EQ(reports.lines, (QStringList{"Marker: Add Delta needs 2 markers; the plot has none.",
                                          "Marker: Add Delta needs 2 markers; the plot has only 1."}));
    EXPECT_TRUE(p->m_markerDiffs.empty());
}

TEST(CurveChoice, TheDialogNamesTheToolAndWhatToChoose)
{
    for (const ChoosingTool& tool : choosingTools()) {
        kro::test::ScriptedPrompts prompts;
        auto p = plotWith({0, 1, 2});
        if (QString(tool.title) == "nth-Difference")
            prompts->answerDialog(QDialog::Rejected);  // the order is asked first: cancel it
        QString question;
        prompts->answerDialog([&](QDialog* d) {
            auto* s = dynamic_cast<CurveSelector*>(d);
            if (s)
                question = s->question()->text();
            if (const QString out = qEnvironmentVariable("KRO_PICTURES"); s && !out.isEmpty()) {
                s->adjustSize();
                s->grab().save(QStringLiteral("%1/choice-%2.png").arg(out).arg(QString(tool.title).left(6)));
            }
            return int(QDialog::Rejected);
        });
        if (QString(tool.title) == "nth-Difference") {
            // The order dialog comes first; with it cancelled no curve is asked.
            tool.run(*p);
            ASSERT_EQ(prompts->asked().size(), 1u);
            p->ndiff(1);
            EXPECT_EQ(prompts->asked().back().title, "nth-Difference");
            EXPECT_EQ(question, "Choose one or more curves:");
            continue;
        }
        tool.run(*p);
        ASSERT_FALSE(prompts->asked().empty()) << tool.title;
        EXPECT_EQ(prompts->asked().front().title, QString::fromUtf8(tool.title));
        EXPECT_EQ(question, tool.needed == 2 ? "Choose 2 curves:" : "Choose one or more curves:") << tool.title;
    }
}
