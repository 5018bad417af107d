// Polynomial fits of a plot's curves: the four modes, the report, the undo
// point, the mode box and the order question of the buttons, and refused
// input.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QSignalSpy>

#include <cmath>

#include "analysis_plots.h"
#include "plot_fixture.h"
#include "plot_signals.h"
#include "support/prompts.h"

using namespace plottest;

namespace {

// Presses a button of the fit-mode box (an empty text: Esc).
std::function<int(QDialog*)> pressMode(const QString& text)
{
    return [text](QDialog* d) {
        auto* box = dynamic_cast<QMessageBox*>(d);
        if (!box)
            return int(QDialog::Rejected);
        EXPECT_EQ(box->windowTitle(), "Model Polynomial");
        EXPECT_EQ(box->text(), "Choose or press Esc");
        for (QAbstractButton* b : box->buttons())
            if (!text.isEmpty() && b->text() == text)
                b->click();
        if (text.isEmpty())
            box->escapeButton()->click();
        return box->result();
    };
}

std::unique_ptr<Plotter> linePlot()
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 1}, {1, 3}, {2, 5}}), true);
    p->setCurveTitle(0, "Curve 1");
    return p;
}

} // namespace

TEST(PolyFit, OverlayAddsTheFitAndReportsTheEquation)
{
    auto p = linePlot();
    Reports reports(*p);
    p->poly(1, "overlay", IdArray::all());
    EXPECT_EQ(reports.lines, QStringList{"C1: Polynomial equation: f(x) = 2x + 1"});
    ASSERT_NE(p->curve(1), nullptr);
    const std::vector<double> want = {0, 1, 1, 3, 2, 5};
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(p->curve(1)->values[i], want[i], 1e-12);
    EXPECT_EQ(p->curveTitles().at(1), "poly1(Curve 1)");
    EXPECT_TRUE(p->autoCacheFilled());

    // The new curve takes the lowest free id, here between C1 and C3.
    auto q = makePlot();
    q->setCurveData(0, curveOf({{0, 0}, {1, 1}, {2, 4}, {3, 9}}), false);
    q->setCurveData(2, curveOf({{0, 1}, {1, 1}, {2, 1}}), true);
    q->poly(2, "OVERLAY", IdArray{1, 2});
    ASSERT_NE(q->curve(1), nullptr);
    EXPECT_EQ(q->curveTitles().at(1), "poly2()") << "C3 has no legend text";
}

TEST(PolyFit, DetrendReplaceAndModel)
{
    // A parabola detrended leaves zeros and reports in verbose mode only.
    auto p = makePlot();
    p->setCurveData(0, sampledCurve(9, [](int i) { return 0.5 * i * i - 2.0 * i + 3; }), true);
    const CurveMap before = p->curves();
    Reports reports(*p);
    p->poly(2, "detrend", IdArray::all());
    for (double y : ysOf(*p->curve(0)))
        EXPECT_NEAR(y, 0.0, 1e-12);
    EXPECT_TRUE(reports.lines.isEmpty());
    ASSERT_FALSE(reports.texts().isEmpty());
    EXPECT_TRUE(reports.typed.back().second.startsWith("C1: Removed polynomial equation: f(x) = 0.5x^2 - 2x + 3"))
        << reports.typed.back().second.toStdString();
    p->undo();
    EXPECT_EQ(p->curves(), before);

    // Replace: the fitted values; a point without a usable x keeps its y.
    auto q = makePlot();
    q->setCurveData(0, curveOf({{0, 1}, {1, 2}, {std::nan(""), 7}, {2, 2}, {3, 5}}), true);
    q->poly(1, "replace", IdArray::all());
    const CurveData& c = *q->curve(0);
    // The line through (0, 1), (1, 2), (2, 2), (3, 5): 0.7 + 1.2 x.
    EXPECT_NEAR(c.y(0), 0.7, 1e-12);
    EXPECT_NEAR(c.y(1), 1.9, 1e-12);
    EXPECT_EQ(c.y(2), 7.0);
    EXPECT_NEAR(c.y(4), 4.3, 1e-12);

    // Model: a report, no change, no undo point.
    auto m = linePlot();
    const CurveMap same = m->curves();
    Reports modelReports(*m);
    m->poly(1, "model", IdArray::all());
    EXPECT_EQ(m->curves(), same);
    EXPECT_FALSE(m->autoCacheFilled());
    EXPECT_EQ(modelReports.lines, QStringList{"C1: Polynomial equation: f(x) = 2x + 1"});
}

TEST(PolyFit, RefusedRequests)
{
    kro::test::ScriptedPrompts prompts;
    struct Case {
        const char* name;
        int order;
        const char* word;  // null: the mode box is asked and left with Esc
        QString error;     // empty: the cancel note
    } cases[] = {
        {"order 0", 0, "overlay", "Error: The order of a polynomial fit must be at least 1; 0 was given."},
        {"negative order", -3, "model", "Error: The order of a polynomial fit must be at least 1; -3 was given."},
        {"unknown mode", 1, "sideways",
         "Error: \"sideways\" is not a fit mode; use overlay, replace, model or detrend."},
        {"order past the limit", 101, "model", "Error: The order of a polynomial fit may be at most 100."},
        {"Esc in the mode box", 1, nullptr, QString()},
    };
    for (const Case& c : cases) {
        auto p = linePlot();
        const CurveMap before = p->curves();
        Reports reports(*p);
        if (!c.word)
            prompts->answerDialog(pressMode(QString()));
        p->poly(c.order, c.word ? QString::fromLatin1(c.word) : QString(), IdArray::all());
        EXPECT_EQ(p->curves(), before) << c.name;
        if (c.error.isEmpty())
            EXPECT_TRUE(reports.has(ZEVOVE::INFO, "Curve fit canceled.")) << c.name;
        else
            EXPECT_EQ(reports.lines, QStringList{c.error}) << c.name;
    }
    // A curve too short for the order is skipped with a reason; the others are fitted.
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 1}, {1, 2}}), false);
    p->setCurveData(1, curveOf({{0, 1}, {1, 2}, {2, 5}}), true);
    Reports reports(*p);
    p->poly(2, "model", IdArray::all());
    ASSERT_EQ(reports.lines.size(), 2);
    EXPECT_TRUE(reports.lines[0].startsWith("Error: C1 was not fitted")) << reports.lines[0].toStdString();
    EXPECT_TRUE(reports.lines[1].startsWith("C2: Polynomial equation: f(x) = 1x^2"));
}

TEST(PolyFit, ButtonsAskAndRunTheCommand)
{
    kro::test::ScriptedPrompts prompts;
    auto p = linePlot();
    QSignalSpy commands(p.get(), &Plotter::command);
    Reports reports(*p);

    p->detrendQuad();
    prompts->answerInt(5);
    p->detrendPoly();
    EXPECT_EQ(prompts->asked().back().title, "Polynomial order");
    EXPECT_EQ(prompts->asked().back().maximum, 100);
    prompts->answerInt(std::nullopt);
    p->detrendPoly();

    prompts->answerDialog(pressMode("Replace"));
    p->modelCubic();
    prompts->answerDialog(pressMode("Model Only"));
    prompts->answerInt(7);
    p->modelPoly();
    prompts->answerDialog(pressMode(QString()));
    p->modelLin();
    prompts->answerDialog(pressMode("Overlay"));
    prompts->answerInt(std::nullopt);
    p->modelPoly();

    QStringList sent;
    for (const auto& args : commands)
        sent << args[0].toString();
    EXPECT_EQ(sent, (QStringList{"poly2 detrend", "poly5 detrend", "poly3 replace", "poly7 model"}));
    EXPECT_TRUE(reports.has(ZEVOVE::INFO, "Curve detrend canceled."));
    EXPECT_EQ(std::count_if(reports.typed.begin(), reports.typed.end(),
                            [](const auto& m) { return m.second == "Curve fit canceled."; }),
              2);
    EXPECT_EQ(p->curves().size(), 1u) << "the buttons only send commands";
}
