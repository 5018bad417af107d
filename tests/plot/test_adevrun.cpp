// The Allan-deviation run of a plot: the dialog preset from the curves and
// settings, the labelled logarithmic result plot, result curves arriving
// from the engine's threads, progress, completion, cancelling; and the
// power-law noise curve.
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "analysis/adevprompt.h"
#include "analysis/adevthread.h"
#include "analysis/noisegendiag.h"
#include "core/settings.h"
#include "plot/actionlabel.h"
#include "plot/plotdiag.h"
#include "plot/rotlabel.h"
#include "plot_fixture.h"
#include "plot_signals.h"
#include "support/prompts.h"
#include "support/test_env.h"

using namespace plottest;

namespace {

std::vector<double> phase(std::size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> g;
    std::vector<double> x(n);
    for (double& v : x)
        v = g(rng);
    return x;
}

CurveData curveOfPhase(const std::vector<double>& y, double spacing)
{
    CurveData c;
    for (std::size_t i = 0; i < y.size(); ++i)
        c.append(double(i) * spacing, y[i]);
    return c;
}

// Normal Allan deviation by its definition: the series decimated by u.
double plainAdev(const std::vector<double>& x, std::size_t u, double tau0)
{
    double s = 0;
    std::size_t m = 0;
    for (std::size_t i = 0; i + 2 * u < x.size(); i += u, ++m)
        s += std::pow(x[i + 2 * u] - 2 * x[i + u] + x[i], 2);
    const double tau = double(u) * tau0;
    return std::sqrt(s / (2 * tau * tau * double(m)));
}

// Waits (processing events) until the condition holds, up to 20 s.
template <typename Cond>
bool waitFor(Cond cond)
{
    QElapsedTimer t;
    t.start();
    while (!cond() && t.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return cond();
}

// Runs plotAdev on the plot with the dialog accepted (after an optional
// change), and returns the result plot (owned by the caller).
std::unique_ptr<Plotter> runAdev(Plotter& p, std::function<void(ADevPrompt&)> change = {})
{
    QSignalSpy built(&p, &Plotter::newPlotterBuilt);
    kro::test::ScriptedPrompts prompts;
    prompts->answerDialog([change](QDialog* d) {
        if (change)
            change(*static_cast<ADevPrompt*>(d));
        return int(QDialog::Accepted);
    });
    p.plotAdev();
    if (built.isEmpty())
        return nullptr;
    return std::unique_ptr<Plotter>(built.at(0).at(0).value<Plotter*>());
}

class AdevRun : public ::testing::Test {
protected:
    void SetUp() override { kro::test::clearSettingsStore(); }
    void TearDown() override { kro::test::clearSettingsStore(); }
};

} // namespace

TEST_F(AdevRun, ResultPlotReceivesEveryCurveScaledByTheYUnit)
{
    writeSetting("adevstatistic", QVariant(NORMAL | OVERLAPPING));
    writeSetting("adevinterval", QVariant(OCTAVE));
    auto p = makePlot();
    const std::vector<double> y1 = phase(200, 1), y2 = phase(200, 2);
    p->setCurveData(0, curveOfPhase(y1, 0.5), false);
    p->setCurveData(1, curveOfPhase(y2, 0.5), false);
    p->setCurveTitle(0, "Curve 1");
    p->setCurveTitle(1, "Curve 2");
    p->yLabel("ns", SET);
    p->xLabel("ms", SET);
    QSignalSpy started(p.get(), &Plotter::adevstarted);

    std::vector<AdevRequest> preset;
    QString tabText;
    QColor tabColour;
    auto result = runAdev(*p, [&](ADevPrompt& d) {
        preset = d.requests();
        tabText = d.m_tabBar->tabText(2);
        tabColour = d.m_tabBar->tabTextColor(2);
    });
    ASSERT_TRUE(result);
    // The dialog was preset from the settings and the sample interval.
    ASSERT_EQ(preset.size(), 2u);
    EXPECT_EQ(preset[0].types, NORMAL | OVERLAPPING);
    EXPECT_EQ(preset[0].interval, OCTAVE);
    EXPECT_EQ(preset[1].curve, 1);
    EXPECT_DOUBLE_EQ(preset[1].tau, 0.0005);
    EXPECT_EQ(tabText, "C2");
    EXPECT_EQ(tabColour.rgb() & 0xFFFFFF, p->curve(1)->attributes.lineColor.rgb());

    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started.at(0).at(0).value<const Plotter*>(), result.get());
    QSignalSpy stopped(result.get(), &Plotter::adevstopped);
    ASSERT_TRUE(waitFor([&] { return !stopped.isEmpty(); }));

    EXPECT_TRUE(result->m_adevThreads.empty());
    EXPECT_TRUE(result->m_logX);
    EXPECT_TRUE(result->m_logY);
    EXPECT_EQ(result->titleLabel()->plainText(), "Stability");
    EXPECT_EQ(result->yLabelWidget()->plainText(), "Deviations");
    EXPECT_EQ(result->m_message->text(), "Allan Deviation computations complete.");
    ASSERT_EQ(result->curves().size(), 4u);
    std::map<QString, int> idByTitle;
    for (const auto& [id, title] : result->curveTitles())
        idByTitle[title] = id;
    ASSERT_TRUE(idByTitle.count("Curve 1 (Normal)"));
    ASSERT_TRUE(idByTitle.count("Curve 2 (Overlapping)"));
    const CurveData* normal1 = result->curve(idByTitle["Curve 1 (Normal)"]);
    EXPECT_TRUE(normal1->attributes.showPoints);
    ASSERT_EQ(normal1->pointCount(), 6u);  // u = 1 .. 32 while 4u < 200
    for (std::size_t i = 0; i < 6; ++i) {
        const std::size_t u = std::size_t(1) << i;
        EXPECT_DOUBLE_EQ(normal1->x(i), double(u) * 0.0005);
        const double want = 1e-9 * plainAdev(y1, u, 0.0005);
        EXPECT_NEAR(normal1->y(i), want, 1e-12 * want);
    }
    // The finished curves are both the undo copy and the user cache.
    EXPECT_TRUE(result->autoCacheFilled());
}

TEST_F(AdevRun, LabelsFollowTheChosenStatistics)
{
    struct Case {
        int types;
        const char* yLabel;
        const char* title;
    };
    const Case cases[] = {
        {TIME, "Time Deviation", "Time Stability"},
        {MTIE, "MTIE (sec)", "Time Stability"},
        {HADAMARD, "Hadamard Deviation", "Frequency Stability"},
        {0, "Deviations", "Stability"},  // nothing to compute: ends at once
    };
    for (const Case& c : cases) {
        writeSetting("adevstatistic", QVariant(c.types));
        auto p = makePlot();
        p->setCurveData(0, curveOfPhase(phase(40, 3), 1), false);
        auto result = runAdev(*p);
        ASSERT_TRUE(result);
        QSignalSpy stopped(result.get(), &Plotter::adevstopped);
        ASSERT_TRUE(waitFor([&] { return result->m_adevThreads.empty(); }));
        EXPECT_EQ(result->yLabelWidget()->plainText(), c.yLabel);
        EXPECT_EQ(result->titleLabel()->plainText(), c.title);
        EXPECT_EQ(result->xLabelWidget()->plainText(), "Averaging Time, τ, Seconds");
        EXPECT_EQ(stopped.size(), 1);
    }
}

TEST_F(AdevRun, BadCurvesEndWithAMessageOrAnEmptyCurve)
{
    writeSetting("adevstatistic", QVariant(OVERLAPPING));
    std::vector<double> withNan = phase(40, 5);
    withNan[7] = std::nan("");
    CurveData odd = curveOfPhase(phase(40, 6), 1);
    odd.values.push_back(3.0);
    struct Case {
        const char* name;
        CurveData curve;
        std::size_t points;   // of the result curve
        const char* message;  // a transcript line starting so, or a typed message
    };
    const Case cases[] = {
        {"NaN", curveOfPhase(withNan, 1), 4,
         "Curve 1 (Overlapping): the curve holds values that are not finite numbers, and so do its deviations."},
        {"odd count", odd, 0, "Error: Critical Error: Curve has mismatched number of x and y points!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = makePlot();
        p->setCurveData(0, CurveData(c.curve), false);
        p->setCurveTitle(0, "Curve 1");
        Reports source(*p);
        std::unique_ptr<Reports> reports;
        QObject::connect(p.get(), &Plotter::newPlotterBuilt, [&](Plotter* r) { reports = std::make_unique<Reports>(*r); });
        if (QString(c.name) == "odd count") {
            // The curve cannot be read: no dialog (any prompt would fail the
            // test), no result plot.
            QSignalSpy built(p.get(), &Plotter::newPlotterBuilt);
            p->plotAdev();
            EXPECT_TRUE(built.isEmpty());
            ASSERT_EQ(source.lines.size(), 1);
            EXPECT_TRUE(source.lines[0].startsWith(c.message)) << source.lines[0].toStdString();
            continue;
        }
        auto result = runAdev(*p);
        ASSERT_TRUE(result);
        ASSERT_TRUE(waitFor([&] { return result->m_adevThreads.empty(); }));
        EXPECT_EQ(result->m_message->text(), "Allan Deviation computations complete.");
        ASSERT_EQ(result->curves().size(), 1u);
        EXPECT_EQ(result->curves().begin()->second.pointCount(), c.points);
        EXPECT_TRUE(reports->lines.isEmpty());
        if (c.message)
            EXPECT_TRUE(reports->texts().contains(c.message)) << reports->texts().join("|").toStdString();
    }
}

TEST_F(AdevRun, EmptyResultCurvesAreAlwaysExplained)
{
    writeSetting("adevinterval", QVariant(OCTAVE));
    std::vector<double> ramp(40);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = 3.0 * double(i);
    struct Case {
        const char* name;
        std::vector<double> y;
        int types;
        QStringList lines;  // transcript of the result plot
        std::size_t points; // of every result curve with points
    };
    const QString zero = "every value is exactly 0 (constant or evenly rising data), which a logarithmic axis "
                         "cannot show.";
    const Case cases[] = {
        {"constant", std::vector<double>(40, 2.0), NORMAL | MTIE,
         {"No Allan deviation points for C1 (Normal): " + zero, "No Allan deviation points for C1 (MTIE): " + zero},
         0},
        // The MTIE of a ramp of slope 3 is 3u: only the deviations are empty.
        {"ramp", ramp, OVERLAPPING | HADAMARD | MTIE,
         {"No Allan deviation points for C1 (Overlapping): " + zero,
          "No Allan deviation points for C1 (Hadamard): " + zero},
         6},
        // Three points: too few for a deviation (4u < N), enough for MTIE.
        {"three points", {1.0, 4.0, 2.0}, NORMAL | MTIE,
         {"No Allan deviation points for C1 (Normal): the curve has 3 point(s); this statistic needs at least 5."},
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeSetting("adevstatistic", QVariant(c.types));
        auto p = makePlot();
        p->setCurveData(0, curveOfPhase(c.y, 1), false);
        p->setCurveTitle(0, "Curve 1");
        std::unique_ptr<Reports> reports;
        QObject::connect(p.get(), &Plotter::newPlotterBuilt,
                         [&](Plotter* r) { reports = std::make_unique<Reports>(*r); });
        auto result = runAdev(*p);
        ASSERT_TRUE(result);
        ASSERT_TRUE(waitFor([&] { return result->m_adevThreads.empty(); }));
        QStringList lines = reports->lines;
        lines.sort();
        QStringList want = c.lines;
        want.sort();
        EXPECT_EQ(lines, want) << lines.join("|").toStdString();
        for (const auto& [id, curve] : result->curves())
            if (!curve.values.empty())
                EXPECT_EQ(curve.pointCount(), c.points);
    }
    // The MTIE values of the ramp, by definition: the largest range of u + 1
    // samples of slope 3 is 3u.
    writeSetting("adevstatistic", QVariant(MTIE));
    auto p = makePlot();
    p->setCurveData(0, curveOfPhase(ramp, 1), false);
    auto result = runAdev(*p);
    ASSERT_TRUE(result);
    ASSERT_TRUE(waitFor([&] { return result->m_adevThreads.empty(); }));
    const CurveData* mtie = result->curve(0);
    ASSERT_EQ(mtie->pointCount(), 6u); // u = 1 .. 32 while u < 40
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(mtie->y(i), 3.0 * double(std::size_t(1) << i));
}

TEST_F(AdevRun, CurvesOfFewerThanTwoPointsAreNamedAndLeftOut)
{
    writeSetting("adevstatistic", QVariant(NORMAL));
    {
        // Only curves too short: no dialog (any prompt would fail the test).
        auto p = makePlot();
        p->setCurveData(0, curveOfPhase({1.5}, 1), false);
        p->setCurveData(2, CurveData(), false);
        Reports reports(*p);
        QSignalSpy built(p.get(), &Plotter::newPlotterBuilt);
        p->plotAdev();
        EXPECT_TRUE(built.isEmpty());
        EXPECT_EQ(reports.lines,
                  QStringList{"C1 has too few points for the Allan deviations (1; at least 2 are needed).\n"
                              "C3 has too few points for the Allan deviations (0; at least 2 are needed)."});
    }
    // Beside a usable curve: its page alone, and no "nan" tau anywhere.
    auto p = makePlot();
    p->setCurveData(0, curveOfPhase({1.5}, 1), false);
    p->setCurveData(1, curveOfPhase(phase(40, 3), 0.5), false);
    Reports reports(*p);
    std::vector<AdevRequest> preset;
    auto result = runAdev(*p, [&](ADevPrompt& d) { preset = d.requests(); });
    ASSERT_TRUE(result);
    ASSERT_EQ(preset.size(), 1u);
    EXPECT_EQ(preset[0].curve, 1);
    EXPECT_EQ(preset[0].tau, 0.5);
    EXPECT_EQ(reports.lines,
              QStringList{"C1 has too few points for the Allan deviations (1; at least 2 are needed)."});
    ASSERT_TRUE(waitFor([&] { return result->m_adevThreads.empty(); }));
    EXPECT_EQ(result->curves().size(), 1u);
}

TEST_F(AdevRun, ResultIdsFollowTheRequestInEveryRun)
{
    // A long C1 and a short C2: C2's jobs finish first, yet C1's statistics
    // come first, each curve's in the dialog's order.
    writeSetting("adevstatistic", QVariant(OVERLAPPING | MODIFIED | TIME | HADAMARD));
    writeSetting("adevinterval", QVariant(ALL_TAU));
    auto p = makePlot();
    p->setCurveData(0, curveOfPhase(phase(20000, 1), 1), false);
    p->setCurveData(1, curveOfPhase(phase(60, 2), 1), false);
    p->setCurveTitle(0, "Long");
    p->setCurveTitle(1, "Short");
    const std::map<int, QString> expected = {
        {0, "Long (Overlapping)"}, {1, "Long (Modified)"},  {2, "Long (Time)"},  {3, "Long (Hadamard)"},
        {4, "Short (Overlapping)"}, {5, "Short (Modified)"}, {6, "Short (Time)"}, {7, "Short (Hadamard)"},
    };
    for (int run = 0; run < 3; ++run) {
        auto result = runAdev(*p);
        ASSERT_TRUE(result);
        ASSERT_TRUE(waitFor([&] { return result->m_adevThreads.empty(); }));
        EXPECT_EQ(result->curveTitles(), expected) << "run " << run;
        // The legend lists them in id order.
        for (const auto& [id, title] : expected)
            EXPECT_EQ(result->legend()->itemText(id), title);
    }
}

TEST_F(AdevRun, RejectedDialogMakesNothing)
{
    auto p = makePlot();
    p->setCurveData(0, curveOfPhase(phase(40, 3), 1), false);
    QSignalSpy built(p.get(), &Plotter::newPlotterBuilt);
    QSignalSpy started(p.get(), &Plotter::adevstarted);
    kro::test::ScriptedPrompts prompts;
    prompts->answerDialog(QDialog::Rejected);
    p->plotAdev();
    EXPECT_TRUE(built.isEmpty());
    EXPECT_TRUE(started.isEmpty());
}

TEST_F(AdevRun, CancellingKeepsThePartialCurves)
{
    writeSetting("adevstatistic", QVariant(OVERLAPPING | MODIFIED));
    writeSetting("adevinterval", QVariant(ALL_TAU));
    auto p = makePlot();
    p->setCurveData(0, curveOfPhase(phase(300000, 4), 1), false);
    auto result = runAdev(*p);
    ASSERT_TRUE(result);
    // The first progress text shows that factors are being computed.
    ASSERT_TRUE(waitFor([&] { return result->m_message && result->m_message->text().contains("C1 - "); }));
    QSignalSpy stopped(result.get(), &Plotter::adevstopped);
    for (AdevThread* t : result->m_adevThreads)
        t->cancel();
    ASSERT_TRUE(waitFor([&] { return result->m_adevThreads.empty(); }));
    EXPECT_EQ(result->m_message->text(), "Allan Deviation computations complete.");
    EXPECT_EQ(result->curves().size(), 2u);
    for (const auto& [id, c] : result->curves())
        EXPECT_LT(c.pointCount(), 74999u);  // far from the 74999 factors of a full run
    EXPECT_EQ(stopped.size(), 1);
}

TEST_F(AdevRun, EventsStoreCurvesShowProgressAndFinish)
{
    // An engine that is not started: the test posts its events.
    auto p = makePlot();
    CurveMap none;
    auto* engine = new AdevThread(p.get(), none, {}, 1.0);
    p->m_adevThreads.push_back(engine);
    engine->m_results[0] = curveOfPhase({3, 2, 1}, 1);
    engine->m_results[1] = curveOfPhase({5, 4}, 1);
    engine->m_results[1].attributes.showLine = false;
    engine->m_progress = {{0, "C1 - Normal : 50.0%"}, {1, "C1 - MTIE : 5.0%"}};
    Reports reports(*p);
    QSignalSpy stopped(p.get(), &Plotter::adevstopped);

    AdevUpdateEvent progress(ADEVEVENT::PROGRESS, engine);
    QCoreApplication::sendEvent(p.get(), &progress);
    ASSERT_TRUE(p->m_message);
    EXPECT_EQ(p->m_message->text(), "C1 - Normal : 50.0%\nC1 - MTIE : 5.0%");
    engine->m_progress[1] = "C1 - MTIE : 100.0%";
    QCoreApplication::sendEvent(p.get(), &progress);
    EXPECT_EQ(p->m_message->text(), "C1 - Normal : 50.0%\nC1 - MTIE : 100.0%");

    AdevUpdateEvent result1(ADEVEVENT::RESULT, engine, &engine->m_results[1], "A (MTIE)", 1);
    result1.zeroSums = 2;
    QCoreApplication::sendEvent(p.get(), &result1);
    AdevUpdateEvent result0(ADEVEVENT::RESULT, engine, &engine->m_results[0], "A (Normal)", 0);
    QCoreApplication::sendEvent(p.get(), &result0);
    ASSERT_EQ(p->curves().size(), 2u);
    EXPECT_TRUE(p->curve(0)->attributes.showPoints);
    EXPECT_EQ(p->legend()->findItem(0)->m_style, 6);
    EXPECT_EQ(p->legend()->findItem(1)->m_style, 5);
    EXPECT_EQ(p->curveTitles().at(1), "A (MTIE)");
    EXPECT_TRUE(reports.has(ZEVOVE::INFO, "A (MTIE): 2 averaging time(s) left out: the deviation there is exactly 0, "
                                          "which a logarithmic axis cannot show."));

    AdevUpdateEvent done(ADEVEVENT::DONE, engine);
    QCoreApplication::sendEvent(p.get(), &done);
    EXPECT_TRUE(p->m_adevThreads.empty());
    EXPECT_EQ(stopped.size(), 1);
    EXPECT_EQ(p->m_message->text(), "Allan Deviation computations complete.");
    EXPECT_TRUE(p->m_messageTimer->isActive());
    // Undo after a change brings back exactly the two result curves.
    p->removeCurve(0);
    p->undo();
    EXPECT_EQ(p->curves().size(), 2u);
}

// ---- Noise ----------------------------------------------------------------

namespace {
void fillNoiseDialog(QDialog* d, const char* whiteFm, const char* points, const char* tau)
{
    auto* n = static_cast<NoiseGenDiag*>(d);
    for (QLineEdit* e : n->m_magnitudeEdits)
        e->setText("0");
    n->m_magnitudeEdits[2]->setText(whiteFm);
    n->m_pointsEdit->setText(points);
    n->m_tauEdit->setText(tau);
    QMetaObject::invokeMethod(n, "accept");
}
} // namespace

TEST(NoiseCurve, AddsNoiseAtTheLowestFreeId)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 0}, {1, 1}}), false);
    p->setCurveData(2, curveOf({{0, 0}, {1, 1}}), false);
    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerDialog([](QDialog* d) {
            fillNoiseDialog(d, "1e-9", "1000", "1");
            return d->result();
        });
        p->buildNoise();
    }
    ASSERT_TRUE(p->curve(1));
    EXPECT_EQ(p->curveTitles().at(1), "Noise");
    ASSERT_EQ(p->curve(1)->pointCount(), 1000u);
    for (std::size_t i = 0; i < 1000; ++i)
        ASSERT_EQ(p->curve(1)->x(i), double(i));
    EXPECT_FALSE(p->m_message);

    // The dialog keeps its entries; cancelling changes nothing.
    QPointer<NoiseGenDiag> dialog = p->m_noiseDialog;
    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerDialog(QDialog::Rejected);
        p->buildNoise();
    }
    EXPECT_EQ(p->m_noiseDialog, dialog.data());
    EXPECT_EQ(dialog->m_pointsEdit->text(), "1000");
    EXPECT_EQ(p->curves().size(), 3u);
    EXPECT_FALSE(p->m_message);
}

TEST(NoiseCurve, GeneratorErrorsAreReportedAndStoreNothing)
{
    auto p = makePlot();
    Reports reports(*p);
    kro::test::ScriptedPrompts prompts;
    prompts->answerDialog([](QDialog* d) {
        fillNoiseDialog(d, "1e-9", "0", "1");
        return d->result();
    });
    p->buildNoise();
    EXPECT_TRUE(p->curves().empty());
    EXPECT_EQ(reports.lines, QStringList{"Error: Unable to run FFT. Invalid size.."});
    EXPECT_FALSE(p->m_message);
}
