// Filtering, smoothing and averaging of a plot's curves: results against
// plain loops, overlay and replace, titles and messages, the questions, the
// undo copy, refused input, and the designer's response plot.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include <cmath>

#include "analysis/filterdesigner.h"
#include "analysis_plots.h"
#include "plot/filterresponseview.h"
#include "plot_fixture.h"
#include "plot_signals.h"
#include "support/prompts.h"

using namespace plottest;

namespace {

using V = std::vector<double>;
constexpr double kPi = 3.14159265358979323846;

// Fills the designer as a user would and presses Ok (or Cancel).
std::function<int(QDialog*)> design(const QString& order, const QString& fc, bool overlay, bool removeDelay,
                                    int response = LOWPASS, QString* sampleRate = nullptr, bool ok = true)
{
    return [=](QDialog* d) {
        auto* f = static_cast<FiltDesign*>(d);
        if (sampleRate)
            *sampleRate = f->field(FiltDesign::FS)->text();
        f->m_responseGroup->button(response)->click();
        f->field(FiltDesign::ORDER)->setText(order);
        f->field(FiltDesign::FC)->setText(fc);
        f->m_overlayBox->setChecked(overlay);
        f->m_removeDelayBox->setChecked(removeDelay);
        if (!ok)
            return int(QDialog::Rejected);
        f->m_okButton->click();
        return f->result();
    };
}

CurveData styled(CurveData c)
{
    c.attributes.showPoints = true;
    c.attributes.lineColor = Rgb(0x123456);
    return c;
}

// C1 and C3: 64 points 1 ms apart (fs 1000 Hz).
std::unique_ptr<Plotter> sampledPlot()
{
    auto p = makePlot();
    p->setCurveData(0, styled(sampledCurve(64, [](int i) { return std::sin(i * 0.3) + 0.1 * i; }, 0.001)), false);
    p->setCurveData(2, sampledCurve(64, [](int i) { return (i % 7) - 3.0; }, 0.001), true);
    return p;
}

// y(n) = sum b(k) x(n-k) - sum a(k) y(n-k), from rest.
V difference(const V& b, const V& a, const V& x)
{
    V y(x.size(), 0.0);
    for (std::size_t n = 0; n < x.size(); ++n) {
        double s = 0;
        for (std::size_t k = 0; k < b.size() && k <= n; ++k)
            s += b[k] * x[n - k];
        for (std::size_t k = 1; k < a.size() && k <= n; ++k)
            s -= a[k] * y[n - k];
        y[n] = s;
    }
    return y;
}

} // namespace

TEST(FilterCurves, FirOverlayAddsTitledCurvesAfterTheOthers)
{
    kro::test::ScriptedPrompts prompts;
    auto p = sampledPlot();
    const CurveMap before = p->curves();
    QString rate;
    prompts->answerDialog(design("4", "100", true, false, LOWPASS, &rate));
    p->fir();
    EXPECT_EQ(rate, "1000") << "the plot's sample rate";
    ASSERT_EQ(p->curves().size(), 4u);
    EXPECT_EQ(p->curve(0)->values, before.at(0).values);
    // Windowed sinc, boxcar, n 4, u 0.2.
    V taps;
    for (int i = 0; i <= 4; ++i) {
        const double m = i - 2;
        taps.push_back(m == 0 ? 0.2 : std::sin(kPi * 0.2 * m) / (kPi * m));
    }
    for (auto [source, result] : {std::pair{0, 1}, std::pair{2, 3}}) {
        const V want = difference(taps, {1.0}, ysOf(before.at(source)));
        const CurveData& c = *p->curve(result);
        EXPECT_EQ(xsOf(c), xsOf(before.at(source)));
        const V got = ysOf(c);
        for (std::size_t i = 0; i < want.size(); ++i)
            EXPECT_NEAR(got[i], want[i], 1e-12) << "C" << result + 1 << " point " << i;
        EXPECT_EQ(p->curveTitles().at(result), "100Hz 4th lowpass");
        EXPECT_EQ(c.attributes.showPoints, false);
    }
    EXPECT_TRUE(p->autoCacheFilled());
    p->undo();
    EXPECT_EQ(p->curves(), before);
}

TEST(FilterCurves, ButterworthInPlaceTakesDefaultAttributes)
{
    kro::test::ScriptedPrompts prompts;
    auto p = sampledPlot();
    const CurveMap before = p->curves();
    prompts->answerDialog(design("2", "125", false, false, HIGHPASS));
    p->butterworth();
    ASSERT_EQ(p->curves().size(), 2u);
    // The second-order highpass at u = 0.25 by the bilinear transform.
    const double K = std::tan(kPi * 0.25 / 2), q = 1 + std::sqrt(2.0) * K + K * K;
    const V b = {1 / q, -2 / q, 1 / q};
    const V a = {1, 2 * (K * K - 1) / q, (1 - std::sqrt(2.0) * K + K * K) / q};
    const V want = difference(b, a, ysOf(before.at(0)));
    const V got = ysOf(*p->curve(0));
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(got[i], want[i], 1e-9) << i;
    EXPECT_FALSE(p->curve(0)->attributes.showPoints) << "a filtered curve takes the default attributes";
}

TEST(FilterCurves, MovingAverageDelayAndTitles)
{
    kro::test::ScriptedPrompts prompts;
    auto p = sampledPlot();
    // Order 4 with the delay removed: two points shorter, shifted back by 2.
    prompts->answerDialog([](QDialog* d) {
        auto* f = static_cast<FiltDesign*>(d);
        f->field(FiltDesign::ORDER)->setText("3");  // raised to 4
        f->m_overlayBox->setChecked(true);
        f->m_okButton->click();
        return f->result();
    });
    p->smooth_fir();
    const CurveData& c = *p->curve(1);
    EXPECT_EQ(p->curveTitles().at(1), "4th moving average");
    ASSERT_EQ(c.pointCount(), 62u);
    const V y = ysOf(*p->curve(0));
    for (std::size_t i = 2; i < 62; ++i)
        EXPECT_NEAR(c.y(i), (y[i - 2] + y[i - 1] + y[i] + y[i + 1] + y[i + 2]) / 5, 1e-12) << i;
    EXPECT_EQ(c.x(61), p->curve(0)->x(61));

    // A cancelled designer changes nothing and takes no undo copy.
    auto q = sampledPlot();
    const CurveMap before = q->curves();
    prompts->answerDialog(design("4", "100", true, true, LOWPASS, nullptr, false));
    q->fir();
    EXPECT_EQ(q->curves(), before);
    EXPECT_FALSE(q->autoCacheFilled());
}

TEST(FilterCurves, BandTitlesAndValuesThatAreNotNumbers)
{
    kro::test::ScriptedPrompts prompts;
    auto p = makePlot();
    // 0.1 us apart: a sample rate of 10 MHz; C2 holds a value that is not a number.
    p->setCurveData(0, sampledCurve(40, [](int i) { return std::cos(i); }, 1e-7), false);
    p->setCurveData(1, sampledCurve(40, [](int i) { return i == 5 ? std::nan("") : 1.0; }, 1e-7), true);
    Reports reports(*p);
    prompts->answerDialog([](QDialog* d) {
        auto* f = static_cast<FiltDesign*>(d);
        f->m_responseGroup->button(BANDPASS)->click();
        f->field(FiltDesign::ORDER)->setText("2");
        f->field(FiltDesign::FLO)->setText("1e6");
        f->field(FiltDesign::FHI)->setText("3.5e6");
        f->m_overlayBox->setChecked(true);
        f->m_okButton->click();
        return f->result();
    });
    p->butterworth();
    EXPECT_EQ(p->curveTitles().at(2), "2.5MHz 2nd bandpass");
    EXPECT_EQ(p->curves().size(), 3u) << "C2 was not filtered";
    EXPECT_TRUE(reports.lines.contains("Error: Curve C2 holds values that are not finite numbers; it was not filtered."));
}

TEST(FilterCurves, CurvesTheFilterCannotFillAreLeftAsTheyAre)
{
    // C1 of one point, C2 of two, C3 of five, 1 s apart: with order 4 the
    // delay of 2 samples would leave no point of C1 and C2, which stay as
    // they are with a word; C3 keeps three points.
    kro::test::ScriptedPrompts prompts;
    auto p = makePlot();
    p->setCurveData(0, sampledCurve(1, [](int) { return 3.0; }), false);
    p->setCurveData(1, sampledCurve(2, [](int i) { return i + 1.0; }), false);
    p->setCurveData(2, sampledCurve(5, [](int i) { return i * i; }), true);
    const CurveMap before = p->curves();
    Reports reports(*p);
    QString rate;
    prompts->answerDialog(design("4", "0.2", false, true, LOWPASS, &rate));
    p->fir();
    EXPECT_EQ(rate, "1");
    ASSERT_EQ(p->curves().size(), 3u);
    EXPECT_EQ(*p->curve(0), before.at(0));
    EXPECT_EQ(*p->curve(1), before.at(1));
    EXPECT_EQ(xsOf(*p->curve(2)), (V{0, 1, 2}));
    EXPECT_EQ(reports.lines,
              (QStringList{"Error: C1 has 1 point(s); removing the filter's delay of 2 points would leave none. C1 "
                           "was left as it is.",
                           "Error: C2 has 2 point(s); removing the filter's delay of 2 points would leave none. C2 "
                           "was left as it is."}));
    p->undo();
    EXPECT_EQ(p->curves(), before);

    // An FIR filter longer than the curve, without delay removal: every
    // output would be start-up, so the curve stays.
    auto q = makePlot();
    q->setCurveData(0, sampledCurve(6, [](int i) { return i * 1.0; }), true);
    const CurveMap short6 = q->curves();
    Reports qReports(*q);
    prompts->answerDialog(design("8", "0.2", false, false, LOWPASS));
    q->fir();
    EXPECT_EQ(q->curves(), short6);
    ASSERT_EQ(qReports.lines.size(), 1);
    EXPECT_TRUE(qReports.lines[0].startsWith("Error: C1 has 6 point(s), fewer than the ")) << qReports.lines[0].toStdString();
    EXPECT_TRUE(qReports.lines[0].endsWith(" coefficients of the filter. C1 was left as it is."));
}

TEST(SmoothCurves, CentredMovingAverage)
{
    struct Case {
        int count, n;
        V xs;  // empty: left as it was
    } cases[] = {{10, 5, {2, 3, 4, 5, 6, 7}}, {12, 6, {2, 3, 4, 5, 6, 7, 8}}, {9, 5, {}}, {10, 6, {}}};
    for (const Case& c : cases) {
        auto p = makePlot();
        p->setCurveData(0, styled(sampledCurve(c.count, [](int i) { return i * i; })), true);
        p->setCurveTitle(0, "mine");
        const CurveData before = *p->curve(0);
        Reports reports(*p);
        p->smoothData(c.n, IdArray::all(), false);
        if (c.xs.empty()) {
            EXPECT_EQ(*p->curve(0), before) << c.count << " by " << c.n;
            EXPECT_FALSE(reports.texts().join("|").contains("Smoothed")) << "not reported as smoothed";
            EXPECT_EQ(reports.lines, QStringList{QString("Error: C1 has %1 point(s); smoothing by %2 points needs at "
                                                         "least %3. C1 was left as it is.")
                                                     .arg(c.count)
                                                     .arg(c.n)
                                                     .arg(2 * c.n)});
            continue;
        }
        const CurveData& s = *p->curve(0);
        EXPECT_EQ(xsOf(s), c.xs) << c.count << " by " << c.n;
        for (std::size_t k = 0; k < c.xs.size(); ++k) {
            double sum = 0;
            for (int j = 0; j < c.n; ++j)
                sum += static_cast<double>((k + j) * (k + j));
            EXPECT_DOUBLE_EQ(s.y(k), sum / c.n);
        }
        EXPECT_EQ(s.attributes, before.attributes) << "smoothing in place keeps the style";
        EXPECT_EQ(p->curveTitles().at(0), "mine");
        EXPECT_TRUE(reports.has(ZEVOVE::INFO, QString("Smoothed curve C1 by %1 points.").arg(c.n)));
    }
}

TEST(SmoothCurves, QuestionsOverlayAndChoice)
{
    kro::test::ScriptedPrompts prompts;
    auto p = makePlot();
    p->setCurveData(0, sampledCurve(10, [](int i) { return i; }), false);
    p->setCurveData(1, sampledCurve(10, [](int i) { return -i; }), false);
    p->setCurveData(3, sampledCurve(10, [](int i) { return 2 * i; }), true);
    Reports reports(*p);
    prompts->answerInt(3);
    prompts->answerItem(QString("yes"));
    prompts->answerDialog(chooseRows({1, 3}));  // C1 and C4
    p->smoothData();
    EXPECT_EQ(prompts->asked()[0].title, "Smooth data");
    EXPECT_EQ(prompts->asked()[0].text, "Number of points: ");
    EXPECT_EQ(prompts->asked()[0].initial, 30);
    EXPECT_EQ(prompts->asked()[1].title, "Add as new curve, or replace existing.");
    ASSERT_EQ(p->curves().size(), 5u);
    EXPECT_EQ(p->curve(2)->pointCount(), 8u) << "C1 smoothed into the free C3";
    EXPECT_EQ(p->curve(4)->y(0), 2.0) << "C4 smoothed into C5";
    EXPECT_EQ(p->curveTitles().at(2), "Smoothed across 3 points");
    EXPECT_TRUE(reports.has(ZEVOVE::INFO, "Smoothed curve C1 by 3 points. New curve: C3."));
    EXPECT_TRUE(reports.has(ZEVOVE::INFO, "Smoothed curve C4 by 3 points. New curve: C5."));

    // A cancelled question changes nothing.
    const CurveMap before = p->curves();
    prompts->answerInt(4);
    prompts->answerItem(std::nullopt);
    p->smoothData();
    EXPECT_EQ(p->curves(), before);
}

TEST(AverageCurves, ByCountAndBySpan)
{
    kro::test::ScriptedPrompts prompts;
    auto p = makePlot();
    p->setCurveData(0, sampledCurve(10, [](int i) { return i * 10; }), true);
    p->avgData(3, true);
    ASSERT_NE(p->curve(1), nullptr);
    EXPECT_EQ(p->curve(1)->values, (std::vector<double>{1, 10, 4, 40, 7, 70}));
    EXPECT_EQ(p->curveTitles().at(1), "Averaged across 3 points");

    // Spans of 4 over x 0 .. 9, in place.
    prompts->answerDialog(chooseRows({1}));  // C1
    p->avgDataSpan(4, false);
    EXPECT_EQ(p->curve(0)->values, (std::vector<double>{1.5, 15, 5.5, 55, 8.5, 85}));

    // The questions, and a span of 0 refused.
    auto q = makePlot();
    q->setCurveData(0, curveOf({{3.9, 1}, {4.1, 2}, {4.2, 3}}), true);
    prompts->answerDouble(4.0);
    prompts->answerItem(QString("no"));
    q->avgDataSpan();
    EXPECT_EQ(prompts->asked().back().title, "Add as new curve, or replace existing.");
    ASSERT_EQ(q->curve(0)->pointCount(), 2u) << "3.9 and 4.1 lie in different spans";
    EXPECT_DOUBLE_EQ(q->curve(0)->x(1), 4.15);
    const CurveMap before = q->curves();
    Reports reports(*q);
    prompts->answerDouble(0.0);
    prompts->answerItem(QString("yes"));
    q->avgDataSpan();
    EXPECT_EQ(q->curves(), before);
    EXPECT_EQ(reports.lines.size(), 1);

    // An empty choice ends before the undo copy.
    auto r = makePlot();
    r->setCurveData(0, sampledCurve(10, [](int i) { return i; }), false);
    r->setCurveData(1, sampledCurve(10, [](int i) { return i; }), true);
    prompts->answerInt(2);
    prompts->answerItem(QString("yes"));
    prompts->answerDialog(QDialog::Rejected);
    r->avgData();
    EXPECT_FALSE(r->autoCacheFilled());
    EXPECT_EQ(r->curves().size(), 2u);
}

TEST(FilterResponsePlot, ShowsTheResponseWithMarkersAtTheCutOffs)
{
    FiltDesign d(IIR, makeFilterResponseView);
    d.resize(400, 500);
    d.show();
    d.field(FiltDesign::FS)->setText("1000");
    d.field(FiltDesign::FC)->setText("125");
    d.field(FiltDesign::ORDER)->setText("3");
    Plotter* plot = responsePlot(d.m_plot.get());
    ASSERT_NE(plot, nullptr);
    EXPECT_FALSE(plot->isVisible());
    QTest::mouseClick(d.m_responseButton, Qt::LeftButton);
    QTest::mouseClick(d.m_responseButton, Qt::LeftButton);
    EXPECT_TRUE(plot->isVisible());
    ASSERT_EQ(plot->curves().size(), 1u) << "a second click replaces the response";
    const CurveData& c = *plot->curve(0);
    ASSERT_EQ(c.pointCount(), 4096u);
    EXPECT_DOUBLE_EQ(c.x(1024), 125.0);
    EXPECT_NEAR(c.y(1024), -10 * std::log10(2.0), 1e-9);
    ASSERT_EQ(plot->m_markers.size(), 1u);
    EXPECT_EQ(plot->m_markers.begin()->second.position, 125.0);
    EXPECT_EQ(plot->title(), "Frequency Response (IIR)");
    EXPECT_EQ(plot->xLabel(), "Frequency (Hz)");
    EXPECT_EQ(plot->yLabel(), "Magnitude (dB)");

    // The curve is drawn inside the plot area only.
    plot->resize(500, 300);
    plot->refreshPixmap();
    const QImage img = image(*plot);
    const QRgb colour = QColor::fromRgb(QRgb(c.attributes.lineColor.rgb())).rgb();
    const QRect drawn = boundsOf(img, img.rect(), colour);
    ASSERT_FALSE(drawn.isNull());
    EXPECT_TRUE(plot->plotArea().adjusted(-1, -1, 1, 1).contains(drawn));

    // Smooth: no markers.
    d.m_typeGroup->button(SMOOTH)->click();
    QTest::mouseClick(d.m_responseButton, Qt::LeftButton);
    EXPECT_TRUE(plot->m_markers.empty());
    EXPECT_EQ(plot->title(), "Frequency Response (Smooth)");
}
