// Plot services the analyses share: sample interval, curve ids, sorting by
// list, rotation, rescale in bar mode, the message overlay and the steps of
// an analysis with a result plot.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTimer>

#include <cmath>
#include <stdexcept>

#include "platform/labeledwidget.h"
#include "plot/actionlabel.h"
#include "plot/curvelistbox.h"
#include "plot/plotdiag.h"
#include "plot/rotationdialog.h"
#include "plot/rotlabel.h"
#include "plot_fixture.h"
#include "plot_signals.h"
#include "support/prompts.h"

using namespace plottest;

namespace {

CurveData curveFromX(const std::vector<double>& xs)
{
    CurveData c;
    for (double x : xs)
        c.append(x, x * x);
    return c;
}

std::vector<double> yOf(const Plotter& p, int id)
{
    std::vector<double> y;
    const CurveData* c = p.curve(id);
    for (std::size_t i = 0; c && i < c->pointCount(); ++i)
        y.push_back(c->y(i));
    return y;
}

TEST(SampleInterval, SpacingTimesTheUnitOfTheXLabel)
{
    auto p = makePlot();
    std::vector<double> xs;
    for (int i = 0; i <= 10; ++i)
        xs.push_back(i);
    xs.push_back(60); // a gap of 50 after ten steps of 1
    p->setCurveData(0, curveFromX(xs), false);
    p->setCurveData(1, curveFromX({0, 10, 20, 30}), false);
    p->setCurveData(2, curveFromX({5, 5, 5}), false);
    p->setCurveData(3, curveFromX({2}), false);

    const struct {
        const char* label;
        int id;
        double seconds;
    } cases[] = {
        {"s", 0, 1.0},        {"ms", 1, 0.01},        {"MJD", 1, 864000.0},
        {"Time (MJD)", 1, 10.0}, {"s", 2, 0.0},        {"ns", 0, 1e-9},
    };
    for (const auto& c : cases) {
        p->xLabel(c.label, SET);
        EXPECT_NEAR(p->sampleInterval(c.id), c.seconds, std::abs(c.seconds) * 1e-12 + 1e-300)
            << c.label << " C" << c.id + 1;
    }
    // A curve of one point has no spacing at all.
    p->xLabel("s", SET);
    EXPECT_TRUE(std::isnan(p->sampleInterval(3)));
    EXPECT_TRUE(std::isnan(p->sampleInterval(9)));
    // All curves: the spacings of every curve, never across two curves.
    // 11 ones, one 50, three tens, two zeros: mean and deviation by hand.
    std::vector<double> all(10, 1.0);
    all.push_back(50);
    for (double d : {10.0, 10.0, 10.0, 0.0, 0.0})
        all.push_back(d);
    double mean = 0, ss = 0;
    for (double d : all)
        mean += d;
    mean /= double(all.size());
    for (double d : all)
        ss += (d - mean) * (d - mean);
    const double s = std::sqrt(ss / double(all.size() - 1));
    double kept = 0, n = 0;
    for (double d : all) {
        if (d >= mean - 3 * s && d <= mean + 3 * s) {
            kept += d;
            ++n;
        }
    }
    EXPECT_NEAR(p->sampleInterval(ALL_CURVES), kept / n, 1e-12);
}

TEST(CurveIds, IdOfAValueVectorIsFoundByIdentity)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 1}, {1, 2}}), false);
    p->setCurveData(4, curveOf({{0, 1}, {1, 2}}), false);
    EXPECT_EQ(p->curveIdOf(p->curve(4)->values), 4);
    EXPECT_EQ(p->curveIdOf(p->curve(0)->values), 0);
    // Equal values elsewhere are not the curve.
    const CurveData copy = *p->curve(4);
    EXPECT_EQ(p->curveIdOf(copy.values), -1);
}

TEST(Sorting, AListSortsUpToTheFirstMissingCurve)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{3, 1}, {1, 2}, {2, 3}}), false);
    p->setCurveData(1, curveOf({{9, 1}, {8, 2}}), false);
    Reports reports(*p);
    p->sort(IdArray{3, 0, 8, 1});
    EXPECT_EQ(p->curve(0)->values.vec(), (std::vector<double>{1, 2, 2, 3, 3, 1}));
    EXPECT_EQ(p->curve(1)->values.vec(), (std::vector<double>{9, 1, 8, 2}));
    EXPECT_TRUE(reports.has(ZEVOVE::ERROR, "Invalid parameter. C9 does not exist."));
    // The undo point was taken before sorting.
    p->undo();
    EXPECT_EQ(p->curve(0)->values.vec(), (std::vector<double>{3, 1, 1, 2, 2, 3}));

    p->sort(IdArray::all());
    EXPECT_EQ(p->curve(1)->values.vec(), (std::vector<double>{8, 2, 9, 1}));
}

TEST(Rotation, CommandFormRotatesTheListedCurvesAndKeepsUndo)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}}), false);
    p->setCurveData(1, curveOf({{0, 1}, {1, 2}, {2, 3}}), false);
    p->setCurveData(2, CurveData(), false);
    p->rotateCurves(2, IdArray{2, 0, 2}, true);
    EXPECT_EQ(yOf(*p, 0), (std::vector<double>{3, 4, 5, 1, 2}));
    EXPECT_EQ(yOf(*p, 1), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(p->curve(0)->x(0), 0);
    p->rotateCurves(7, IdArray::all(), false);
    EXPECT_EQ(yOf(*p, 0), (std::vector<double>{1, 2, 3, 4, 5}));
    EXPECT_EQ(yOf(*p, 1), (std::vector<double>{3, 1, 2}));
    p->undo();
    EXPECT_EQ(yOf(*p, 0), (std::vector<double>{3, 4, 5, 1, 2}));
    // A count without a list, or an empty list, changes nothing.
    p->rotateCurves(3);
    p->rotateCurves(3, IdArray{0}, true);
    EXPECT_EQ(yOf(*p, 0), (std::vector<double>{3, 4, 5, 1, 2}));
}

TEST(Rotation, DialogComposesTheCommand)
{
    auto p = makePlot();
    for (int id = 0; id < 4; ++id)
        p->setCurveData(id, curveOf({{0, 1}, {1, 2}}), false);
    QSignalSpy commands(p.get(), &Plotter::command);
    Reports reports(*p);
    kro::test::ScriptedPrompts prompts;
    // Every curve (the all-curves entry), direction left as Right.
    prompts->answerDialog([](QDialog* d) {
        auto* r = qobject_cast<RotationDialog*>(d);
        r->m_points->setValue(10);
        return int(QDialog::Accepted);
    });
    // C1 and C3 of four, to the left.
    prompts->answerDialog([](QDialog* d) {
        auto* r = qobject_cast<RotationDialog*>(d);
        r->m_points->setValue(10);
        r->m_direction->setValue(1);
        r->m_curves->clearSelection();
        r->m_curves->item(1)->setSelected(true);
        r->m_curves->item(3)->setSelected(true);
        return int(QDialog::Accepted);
    });
    prompts->answerDialog(QDialog::Rejected);
    prompts->answerDialog([](QDialog* d) {
        qobject_cast<RotationDialog*>(d)->m_curves->clearSelection();
        return int(QDialog::Accepted);
    });
    p->rotateCurves();
    p->rotateCurves(0, IdArray::all(), true);
    p->rotateCurves();
    p->rotateCurves();
    ASSERT_EQ(commands.count(), 2);
    EXPECT_EQ(commands.at(0).at(0).toString(), "rotr 10 ");
    EXPECT_EQ(commands.at(1).at(0).toString(), "rotl 10 c1 c3 ");
    EXPECT_EQ(reports.count(ZEVOVE::INFO), 2);
    EXPECT_TRUE(reports.has(ZEVOVE::INFO, "Rotation cancelled."));
    EXPECT_EQ(yOf(*p, 0), (std::vector<double>{1, 2}));
}

TEST(Rescale, BarModeLeavesFifteenPixelsAroundTheData)
{
    // The margin is 15 pixels of the view before it was widened by it, so
    // the data end up 14 to 15 pixels inside the frame.
    auto p = makePlot(600, 400);
    p->barMode(true, SET);
    p->barFloor(-100, SET);
    p->setCurveData(0, curveOf({{0, 0}, {10, 1}}), true);
    const QRect area = p->plotArea();
    const QPoint low = p->dataToPixel(0, -100), high = p->dataToPixel(10, 1);
    EXPECT_NEAR(low.x() - area.left(), 15, 1);
    EXPECT_NEAR(area.right() - high.x(), 15, 1);
    EXPECT_NEAR(high.y() - area.top(), 15, 1);
    // The floor below the data becomes the lower end of the y axis.
    EXPECT_NEAR(area.bottom() - low.y(), 15, 1);
    // Outside bar mode the margin is 5 pixels and the floor plays no part.
    p->barMode(false, SET);
    p->rescale();
    const QRect plain = p->plotArea();
    EXPECT_EQ(p->dataToPixel(0, 0), QPoint(plain.left() + 5, plain.bottom() - 5));
}

TEST(MessageOverlay, CentredOnThePlotAreaAcrossAndOnThePlotDown)
{
    auto p = makePlot(600, 400);
    p->showMessage("short", 2);
    QLabel* m = p->m_message;
    ASSERT_TRUE(m);
    auto expectCentred = [&] {
        const QSize s = m->sizeHint();
        EXPECT_EQ(m->geometry(), QRect(p->marginLeft() + (600 - p->marginLeft() - p->marginRight()) / 2 - s.width() / 2,
                                       400 / 2 - s.height() / 2, s.width(), s.height()));
    };
    expectCentred();
    EXPECT_TRUE(m->isVisible());
    EXPECT_TRUE(p->m_messageTimer->isActive());
    EXPECT_EQ(p->m_messageTimer->interval(), 2000);

    // A second message replaces the text, re-centres and restarts the timer.
    p->showMessage("a much longer message than the first one\nover two lines", 5);
    EXPECT_EQ(p->m_message.data(), m);
    EXPECT_EQ(m->text(), "a much longer message than the first one\nover two lines");
    expectCentred();
    EXPECT_EQ(p->m_messageTimer->interval(), 5000);

    // A message without a time limit stays: the earlier timer is stopped.
    p->showMessage("stays", -1);
    EXPECT_FALSE(p->m_messageTimer->isActive());
    expectCentred();
}

TEST(MessageOverlay, WhiteTextOnABlackPlotArea)
{
    auto p = makePlot(400, 300);
    p->m_insideColor = Qt::black;
    p->showMessage("on black", -1);
    EXPECT_EQ(p->m_message->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(p->m_message->palette().color(QPalette::Window), QColor(Qt::black));
}

TEST(ResultPlots, StepsRunInOrderAndTheResultIsAnnounced)
{
    QWidget page;
    auto* p = new Plotter(&page, "source");
    p->resize(500, 300);
    p->setCurveData(0, curveOf({{0, 1}, {1, 2}}), false);
    p->setCurveData(2, curveOf({{0, 1}, {1, 2}}), false);
    p->setCurveTitle(2, "two");
    QSignalSpy built(p, &Plotter::newPlotterBuilt);
    QSignalSpy changed(p, &Plotter::plotterSettingsChanged);

    Plotter::ResultPlotSetup setup;
    setup.name = "Fourier Transform";
    setup.logX = true;
    setup.copyLegend = true;
    setup.takeUndo = true;
    bool messageShownWhileComputing = false;
    Plotter* r = p->runResultAnalysis(setup, [&](Plotter& result, Plotter::ResultPlotTexts& texts) {
        messageShownWhileComputing = result.m_message && result.m_message->text() == "Computing. Please Wait...";
        result.setCurveData(2, curveOf({{1, 5}, {10, 6}, {100, 7}}), false);
        texts.title = "Spectrum";
        texts.yLabel = "dB/Hz";
        texts.footnote = "FFT Window: Hamming";
    });
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(messageShownWhileComputing);
    ASSERT_EQ(built.count(), 1);
    EXPECT_EQ(built.at(0).at(0).value<Plotter*>(), r);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<Plotter*>(), r);
    EXPECT_FALSE(r->m_message);
    EXPECT_TRUE(r->m_logX);
    EXPECT_FALSE(r->m_logY);
    EXPECT_EQ(r->title(), "Spectrum");
    EXPECT_EQ(r->yLabel(), "dB/Hz");
    EXPECT_EQ(r->footnote(), "FFT Window: Hamming");
    EXPECT_EQ(r->legend()->itemText(2), "two");
    // Stored under the source curve's id, the result takes its palette colour.
    EXPECT_EQ(r->curve(2)->attributes.lineColor, p->curve(2)->attributes.lineColor);
    // Rescaled to whole decades on the log x axis; the undo copy holds the result.
    EXPECT_EQ(r->view().xRange(), AxisRange(0, 2));
    EXPECT_TRUE(r->autoCacheFilled());
    r->setCurveData(2, curveOf({{1, 1}, {2, 2}}), false);
    r->undo();
    EXPECT_EQ(r->curve(2)->pointCount(), 3u);
}

TEST(ResultPlots, AFailedComputationIsReportedAndLeavesThePlotAsFilled)
{
    QWidget page;
    auto* p = new Plotter(&page, "source");
    p->setCurveData(0, curveOf({{0, 1}, {1, 2}}), false);
    Reports reports(*p);
    QSignalSpy changed(p, &Plotter::plotterSettingsChanged);
    Plotter::ResultPlotSetup setup;
    setup.name = "ACF";
    Plotter* r = p->runResultAnalysis(setup, [](Plotter& result, Plotter::ResultPlotTexts&) {
        result.setCurveData(0, curveOf({{0, 1}, {1, 1}}), false);
        throw std::runtime_error("Unable to run FFT. Invalid size.");
    });
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(reports.lines, QStringList{"Error: Unable to run FFT. Invalid size."});
    EXPECT_TRUE(r->m_message);
    EXPECT_EQ(r->curve(0)->pointCount(), 2u);
    EXPECT_EQ(changed.count(), 0);
}

} // namespace
