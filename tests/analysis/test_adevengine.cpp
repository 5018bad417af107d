// The Allan-deviation family: every statistic against a plain loop over its
// textbook definition, MTIE against a scan of every window, the averaging
// factor lists, degenerate data, and the engine thread's jobs, events,
// texts and cancellation.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "analysis/adevthread.h"

namespace {

// Phase data: white phase noise on a random walk with an offset, so the
// sums see realistic magnitudes.
std::vector<double> phaseData(std::size_t n, unsigned seed)
{
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> g;
    std::vector<double> x(n);
    double walk = 1000.0;
    for (double& v : x) {
        walk += 0.3 * g(rng);
        v = walk + g(rng);
    }
    return x;
}

// ---- Textbook definitions, written out plainly ----------------------------

// Non-overlapping Allan variance: the phase decimated to every u-th sample,
// second differences of the decimated series.
double textbookAdev(const std::vector<double>& x, std::size_t u, double tau0)
{
    std::vector<double> d;
    for (std::size_t i = 0; i < x.size(); i += u)
        d.push_back(x[i]);
    double s = 0;
    for (std::size_t k = 0; k + 2 < d.size(); ++k)
        s += std::pow(d[k + 2] - 2 * d[k + 1] + d[k], 2);
    const double tau = double(u) * tau0;
    return std::sqrt(s / (2 * tau * tau * double(d.size() - 2)));
}

double textbookOadev(const std::vector<double>& x, std::size_t u, double tau0)
{
    const std::size_t n = x.size();
    double s = 0;
    for (std::size_t i = 0; i + 2 * u < n; ++i)
        s += std::pow(x[i + 2 * u] - 2 * x[i + u] + x[i], 2);
    const double tau = double(u) * tau0;
    return std::sqrt(s / (2 * tau * tau * double(n - 2 * u)));
}

double textbookMdev(const std::vector<double>& x, std::size_t u, double tau0)
{
    const std::size_t n = x.size();
    double s = 0;
    for (std::size_t j = 0; j + 3 * u <= n; ++j) {
        double inner = 0;
        for (std::size_t i = j; i < j + u; ++i)
            inner += x[i + 2 * u] - 2 * x[i + u] + x[i];
        s += inner * inner;
    }
    const double tau = double(u) * tau0;
    return std::sqrt(s / (2 * double(u * u) * tau * tau * double(n - 3 * u + 1)));
}

double textbookTdev(const std::vector<double>& x, std::size_t u, double tau0)
{
    return double(u) * tau0 / std::sqrt(3.0) * textbookMdev(x, u, tau0);
}

double textbookHdev(const std::vector<double>& x, std::size_t u, double tau0)
{
    std::vector<double> d;
    for (std::size_t i = 0; i < x.size(); i += u)
        d.push_back(x[i]);
    double s = 0;
    for (std::size_t k = 0; k + 3 < d.size(); ++k)
        s += std::pow(d[k + 3] - 3 * d[k + 2] + 3 * d[k + 1] - d[k], 2);
    const double tau = double(u) * tau0;
    return std::sqrt(s / (6 * tau * tau * double(d.size() - 3)));
}

double bruteMtie(const std::vector<double>& x, std::size_t u)
{
    double best = 0;
    for (std::size_t i = 0; i + u < x.size(); ++i) {
        const auto [lo, hi] = std::minmax_element(x.begin() + long(i), x.begin() + long(i + u + 1));
        best = std::max(best, *hi - *lo);
    }
    return best;
}

double textbook(int type, const std::vector<double>& x, std::size_t u, double tau0)
{
    switch (type) {
    case NORMAL:
        return textbookAdev(x, u, tau0);
    case OVERLAPPING:
        return textbookOadev(x, u, tau0);
    case MODIFIED:
        return textbookMdev(x, u, tau0);
    case TIME:
        return textbookTdev(x, u, tau0);
    case HADAMARD:
        return textbookHdev(x, u, tau0);
    default:
        return bruteMtie(x, u);
    }
}

// The factor lists as their rules read, written independently.
std::vector<std::uint64_t> expectedFactors(int type, int interval, std::size_t n)
{
    const std::uint64_t m = type == MTIE ? 1 : 4;
    std::vector<std::uint64_t> f;
    std::uint64_t k = 1;
    for (std::uint64_t u = 1; m * u < n;) {
        f.push_back(u);
        if (interval == OCTAVE)
            u *= 2;
        else if (interval == DECADE)
            u *= 10;
        else if (interval == ALL_TAU || n <= 1000)
            u += 1;
        else
            u += 1 + (k++ + 50) / 100;  // integer part of k/100 + 0.5
    }
    return f;
}

const int kTypes[] = {NORMAL, OVERLAPPING, MODIFIED, TIME, HADAMARD, MTIE};
const int kIntervals[] = {OCTAVE, DECADE, MANY_TAU, ALL_TAU};

} // namespace

TEST(AdevEngine, EveryStatisticMatchesItsDefinitionAtEveryFactor)
{
    const double tau0 = 0.25, yScale = 1e-9;
    for (std::size_t n : {std::size_t(400), std::size_t(1203)}) {
        const std::vector<double> x = phaseData(n, unsigned(n));
        for (int type : kTypes) {
            for (int interval : kIntervals) {
                SCOPED_TRACE(::testing::Message() << adevTypeName(type).toStdString() << " interval " << interval
                                                  << " n " << n);
                const AdevCurve c = computeAdevCurve(x, type, interval, tau0, yScale, nullptr, {});
                const auto factors = expectedFactors(type, interval, n);
                ASSERT_TRUE(c.finished);
                ASSERT_EQ(c.points.size(), 2 * factors.size());
                for (std::size_t i = 0; i < factors.size(); ++i) {
                    EXPECT_DOUBLE_EQ(c.points[2 * i], double(factors[i]) * tau0);
                    const double want = yScale * textbook(type, x, factors[i], tau0);
                    if (type == MTIE)
                        EXPECT_EQ(c.points[2 * i + 1], want) << "u " << factors[i];
                    else
                        EXPECT_NEAR(c.points[2 * i + 1], want, 1e-12 * want) << "u " << factors[i];
                }
            }
        }
    }
}

TEST(AdevEngine, MtieMatchesAWindowScanBitForBit)
{
    // Windows doubling from 1 to 300 samples and steps of every size.
    const std::vector<double> x = phaseData(600, 7);
    for (int interval : kIntervals) {
        MtieWindows w(x);
        for (std::uint64_t u : averagingFactors(MTIE, interval, x.size()))
            ASSERT_EQ(w.advance(u), bruteMtie(x, u)) << "interval " << interval << " u " << u;
    }
    // Factors jumping far beyond double the previous window.
    MtieWindows w(x);
    for (std::uint64_t u : {1u, 3u, 40u, 41u, 500u, 599u})
        EXPECT_EQ(w.advance(u), bruteMtie(x, u)) << "u " << u;
}

TEST(AdevEngine, FactorLists)
{
    struct Case {
        int type, interval;
        std::size_t n;
        std::vector<std::uint64_t> first;
        std::size_t count;
        std::uint64_t last;
    };
    const Case cases[] = {
        // The deviations stop when 4u reaches N; MTIE when u reaches N.
        {NORMAL, OCTAVE, 1000, {1, 2, 4, 8}, 8, 128},
        {MTIE, OCTAVE, 1000, {1, 2, 4}, 10, 512},
        {OVERLAPPING, DECADE, 1000, {1, 10, 100}, 3, 100},
        {MODIFIED, MANY_TAU, 1000, {1, 2, 3}, 249, 249},
        {TIME, ALL_TAU, 9, {1, 2}, 2, 2},
        // No interval chosen: one factor instead of an endless loop.
        {HADAMARD, NO_INTERVAL, 1000, {1}, 1, 1},
        {NORMAL, OCTAVE, 4, {}, 0, 0},
        {MTIE, OCTAVE, 1, {}, 0, 0},
        {MTIE, OCTAVE, 2, {1}, 1, 1},
        {NORMAL, OCTAVE, 0, {}, 0, 0},
    };
    for (const Case& c : cases) {
        const auto f = averagingFactors(c.type, c.interval, c.n);
        ASSERT_EQ(f.size(), c.count) << c.type << "/" << c.interval << "/" << c.n;
        EXPECT_TRUE(std::equal(c.first.begin(), c.first.end(), f.begin()));
        if (c.count) {
            EXPECT_EQ(f.back(), c.last);
        }
    }
    // Many tau over 1000 points: steps of 1 for the first 49 steps, then 2.
    const auto f = averagingFactors(NORMAL, MANY_TAU, 1001);
    EXPECT_EQ(f[49], 50u);
    EXPECT_EQ(f[50], 52u);
    EXPECT_EQ(f, expectedFactors(NORMAL, MANY_TAU, 1001));
}

TEST(AdevEngine, NonOverlappingSumsUseWholeStrides)
{
    // N = 10, u = 3: samples 0, 3, 6 and 3, 6, 9.
    const std::vector<double> x = {1, 4, 2, 8, 5, 7, 3, 9, 6, 0};
    const AdevSum s = adevSum(NORMAL, x.data(), x.size(), 3, 1.0);
    EXPECT_EQ(s.count, 2.0);
    EXPECT_DOUBLE_EQ(s.sum, std::pow(3 - 2 * 8 + 1, 2) + std::pow(0 - 2 * 3 + 8, 2));
    const AdevSum h = adevSum(HADAMARD, x.data(), x.size(), 3, 1.0);
    EXPECT_EQ(h.count, 1.0);
    EXPECT_DOUBLE_EQ(h.sum, std::pow(0 - 3 * 3 + 3 * 8 - 1, 2) / 3);
}

TEST(AdevEngine, DegenerateData)
{
    const double nan = std::nan("");
    std::vector<double> ramp;
    for (int i = 0; i < 64; ++i)
        ramp.push_back(5.0 * i - 7);

    // Constant data and integer ramps give sums of exactly zero: those
    // averaging times are left out and counted.
    for (int type : {NORMAL, OVERLAPPING, MODIFIED, TIME, HADAMARD}) {
        const AdevCurve flat = computeAdevCurve(std::vector<double>(64, 3.5), type, OCTAVE, 1.0, 1.0, nullptr, {});
        EXPECT_TRUE(flat.points.empty());
        EXPECT_EQ(flat.zeroSums, 4);
        const AdevCurve r = computeAdevCurve(ramp, type, OCTAVE, 1.0, 1.0, nullptr, {});
        EXPECT_TRUE(r.points.empty());
        EXPECT_EQ(r.zeroSums, 4);
    }
    // MTIE of a ramp of slope a is a u (times the y scale).
    const AdevCurve mtie = computeAdevCurve(ramp, MTIE, OCTAVE, 2.0, 1e-9, nullptr, {});
    ASSERT_EQ(mtie.points.size(), 12u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(mtie.points[2 * i], 2.0 * double(1u << i));
        EXPECT_DOUBLE_EQ(mtie.points[2 * i + 1], 1e-9 * 5.0 * double(1u << i));
    }
    EXPECT_EQ(computeAdevCurve(std::vector<double>(64, 1.0), MTIE, OCTAVE, 1, 1, nullptr, {}).zeroSums, 6);

    // Too few samples: no factor, nothing to report but completion.
    for (std::size_t n : {0, 1, 4}) {
        std::vector<double> reports;
        const AdevCurve c = computeAdevCurve(std::vector<double>(n, 1.0), OVERLAPPING, OCTAVE, 1, 1, nullptr,
                                             [&](double p) { reports.push_back(p); });
        EXPECT_TRUE(c.points.empty());
        EXPECT_EQ(reports, std::vector<double>{100.0});
    }

    // A NaN sample makes values NaN, never a crash or an endless loop.
    std::vector<double> x = phaseData(100, 3);
    x[50] = nan;
    for (int type : kTypes) {
        const AdevCurve c = computeAdevCurve(x, type, OCTAVE, 1, 1, nullptr, {});
        ASSERT_FALSE(c.points.empty());
        EXPECT_TRUE(std::isnan(c.points[1])) << type;
    }
}

TEST(AdevEngine, ProgressFollowsTheStepRule)
{
    EXPECT_EQ(adevProgressStep(OVERLAPPING, ALL_TAU, 2000000), 0.1);
    EXPECT_EQ(adevProgressStep(OVERLAPPING, MANY_TAU, 2000000), 0.2);
    EXPECT_EQ(adevProgressStep(MODIFIED, ALL_TAU, 1000000), 0.2);
    EXPECT_EQ(adevProgressStep(TIME, MANY_TAU, 1999999), 1.0);
    EXPECT_EQ(adevProgressStep(MTIE, ALL_TAU, 500000), 1.0);
    EXPECT_EQ(adevProgressStep(NORMAL, ALL_TAU, 5000000), 5.0);
    EXPECT_EQ(adevProgressStep(OVERLAPPING, OCTAVE, 5000000), 5.0);
    EXPECT_EQ(adevProgressStep(OVERLAPPING, ALL_TAU, 499999), 5.0);

    // 1000 points, octave: p = 400 u_next / N = 0.8, 1.6, ... 102.4; one
    // report per factor whenever p passes the threshold (rising by 5).
    std::vector<double> reports;
    computeAdevCurve(phaseData(1000, 1), OVERLAPPING, OCTAVE, 1, 1, nullptr, [&](double p) { reports.push_back(p); });
    const std::vector<double> want = {0.8, 6.4, 12.8, 25.6, 51.2, 102.4, 100.0};
    ASSERT_EQ(reports.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_DOUBLE_EQ(reports[i], want[i]);
}

TEST(AdevEngine, ModifiedSumsStayTrueOverLongCurves)
{
    // Long enough that the window recurrence runs thousands of steps
    // between its direct sums, in each quarter of the starts.
    const std::size_t n = 20000;
    const std::vector<double> x = phaseData(n, 21);
    for (int type : {MODIFIED, TIME}) {
        const AdevCurve c = computeAdevCurve(x, type, OCTAVE, 1.0, 1.0, nullptr, {});
        const auto factors = expectedFactors(type, OCTAVE, n);
        ASSERT_EQ(c.points.size(), 2 * factors.size());
        for (std::size_t i = 0; i < factors.size(); ++i) {
            const double want = textbook(type, x, factors[i], 1.0);
            EXPECT_NEAR(c.points[2 * i + 1], want, 1e-10 * want) << adevTypeName(type).toStdString() << " u "
                                                                  << factors[i];
        }
    }
}

TEST(AdevEngine, SpreadingFactorsOverThreadsGivesTheSameValues)
{
    // MTIE over threads: runs of factors, each starting from fresh windows.
    const std::vector<double> small = phaseData(300, 12);
    for (int interval : {MANY_TAU, ALL_TAU}) {
        const AdevCurve c = computeAdevCurve(small, MTIE, interval, 1, 1, nullptr, {}, 3);
        const auto factors = averagingFactors(MTIE, interval, small.size());
        ASSERT_EQ(c.points.size(), 2 * factors.size());
        for (std::size_t i = 0; i < factors.size(); ++i)
            ASSERT_EQ(c.points[2 * i + 1], bruteMtie(small, factors[i])) << "u " << factors[i];
    }
    const std::vector<double> x = phaseData(2000, 11);
    for (int type : {OVERLAPPING, MODIFIED, HADAMARD, MTIE}) {
        for (int interval : {MANY_TAU, ALL_TAU}) {
            const AdevCurve one = computeAdevCurve(x, type, interval, 1, 1, nullptr, {}, 1);
            const AdevCurve four = computeAdevCurve(x, type, interval, 1, 1, nullptr, {}, 4);
            EXPECT_EQ(one.points, four.points);
        }
    }
    // Cancelled before the first factor: nothing computed, no 100 %.
    std::atomic<bool> cancel{true};
    std::vector<double> reports;
    const AdevCurve c = computeAdevCurve(x, OVERLAPPING, ALL_TAU, 1, 1, &cancel, [&](double p) { reports.push_back(p); },
                                         4);
    EXPECT_TRUE(c.points.empty());
    EXPECT_FALSE(c.finished);
    EXPECT_TRUE(reports.empty());
}

// ---- The engine thread ----------------------------------------------------

namespace {

struct Received {
    int type;
    int key;
    QString title;
    std::vector<double> points;
    int zeroSums;
};

class Receiver : public QObject {
public:
    std::vector<Received> events;
    bool done = false;
    QString lastProgress;

protected:
    void customEvent(QEvent* e) override
    {
        auto* u = static_cast<AdevUpdateEvent*>(e);
        Received r{int(e->type()), u->key, u->title, {}, u->zeroSums};
        if (u->result)
            r.points = u->result->values.vec();
        if (int(e->type()) == ADEVEVENT::PROGRESS)
            lastProgress = u->thread->progressText();
        if (int(e->type()) == ADEVEVENT::DONE)
            done = true;
        events.push_back(std::move(r));
    }
};

CurveData phaseCurve(const std::vector<double>& y)
{
    CurveData c;
    for (std::size_t i = 0; i < y.size(); ++i)
        c.append(double(i), y[i]);
    return c;
}

bool waitDone(const Receiver& r)
{
    QElapsedTimer t;
    t.start();
    while (!r.done && t.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return r.done;
}

} // namespace

TEST(AdevThread, JobsComeStatisticByStatisticWithTheirTexts)
{
    CurveMap curves;
    curves[0] = phaseCurve(phaseData(50, 1));
    curves[1] = phaseCurve(phaseData(50, 2));
    Receiver r;
    AdevThread engine(&r, curves,
                      {{0, 0, NORMAL | MTIE, OCTAVE, 1.0, "Curve 1"}, {1, 0, NORMAL | MTIE, OCTAVE, 1.0, "Curve 2"}},
                      1.0);
    ASSERT_EQ(engine.jobs().size(), 4u);
    const int curveOf[] = {0, 1, 0, 1}, typeOf[] = {NORMAL, NORMAL, MTIE, MTIE};
    const char* titles[] = {"Curve 1 (Normal)", "Curve 2 (Normal)", "Curve 1 (MTIE)", "Curve 2 (MTIE)"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(engine.jobs()[std::size_t(i)].job, i);
        EXPECT_EQ(engine.jobs()[std::size_t(i)].curve, curveOf[i]);
        EXPECT_EQ(engine.jobs()[std::size_t(i)].types, typeOf[i]);
        EXPECT_EQ(engine.jobs()[std::size_t(i)].name, titles[i]);
    }
    EXPECT_EQ(engine.progressText(), "C1 - Normal : 0%\nC2 - Normal : 0%\nC1 - MTIE : 0%\nC2 - MTIE : 0%");
}

TEST(AdevThread, DeliversEveryResultThenDone)
{
    CurveMap curves;
    const std::vector<double> y0 = phaseData(300, 5), y2 = phaseData(120, 6);
    curves[0] = phaseCurve(y0);
    curves[1] = phaseCurve(phaseData(10, 9));  // not requested
    curves[2] = phaseCurve(y2);
    Receiver r;
    auto engine = std::make_unique<AdevThread>(
        &r, curves,
        std::vector<AdevRequest>{{0, 0, OVERLAPPING | MODIFIED | MTIE, ALL_TAU, 0.5, "A"},
                                 {2, 0, HADAMARD, DECADE, 2.0, "B"}},
        1e-6);
    EXPECT_EQ(engine->m_curves.size(), 2u);  // only the requested curves
    engine->setMaxWorkers(2);
    engine->start();
    ASSERT_TRUE(waitDone(r));
    ASSERT_TRUE(engine->wait(10000));

    EXPECT_EQ(r.events.back().type, ADEVEVENT::DONE);
    std::map<QString, std::vector<double>> byTitle;
    std::vector<int> keys;
    for (const Received& e : r.events)
        if (e.type == ADEVEVENT::RESULT) {
            byTitle[e.title] = e.points;
            keys.push_back(e.key);
        }
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<int>{0, 1, 2, 3}));
    for (const Received& e : r.events)
        if (e.type == ADEVEVENT::RESULT) {
            const std::map<QString, int> keyOf = {
                {"A (Overlapping)", 0}, {"A (Modified)", 1}, {"A (MTIE)", 2}, {"B (Hadamard)", 3}};
            EXPECT_EQ(e.key, keyOf.at(e.title)) << e.title.toStdString();
        }
    const std::pair<const char*, AdevCurve> expected[] = {
        {"A (Overlapping)", computeAdevCurve(y0, OVERLAPPING, ALL_TAU, 0.5, 1e-6, nullptr, {})},
        {"A (Modified)", computeAdevCurve(y0, MODIFIED, ALL_TAU, 0.5, 1e-6, nullptr, {})},
        {"A (MTIE)", computeAdevCurve(y0, MTIE, ALL_TAU, 0.5, 1e-6, nullptr, {})},
        {"B (Hadamard)", computeAdevCurve(y2, HADAMARD, DECADE, 2.0, 1e-6, nullptr, {})},
    };
    for (const auto& [title, curve] : expected)
        EXPECT_EQ(byTitle[title], curve.points) << title;
    EXPECT_EQ(r.lastProgress.toStdString(), "C1 - Overlapping : 100.0%\nC1 - Modified : 100.0%\n"
                                            "C3 - Hadamard : 100.0%\nC1 - MTIE : 100.0%");
}

TEST(AdevThread, ResultKeysFollowTheRequestWhateverFinishesFirst)
{
    // C1 is long and C2 short, so C2's jobs finish first; four statistics
    // each, one worker per job.
    CurveMap curves;
    curves[0] = phaseCurve(phaseData(20000, 3));
    curves[1] = phaseCurve(phaseData(60, 4));
    const int types = NORMAL | OVERLAPPING | TIME | HADAMARD;
    // Curve by curve, each curve's statistics in the dialog's order.
    const std::map<QString, int> expected = {
        {"A (Normal)", 0}, {"A (Overlapping)", 1}, {"A (Time)", 2}, {"A (Hadamard)", 3},
        {"B (Normal)", 4}, {"B (Overlapping)", 5}, {"B (Time)", 6}, {"B (Hadamard)", 7},
    };
    for (int run = 0; run < 3; ++run) {
        Receiver r;
        AdevThread engine(&r, curves, {{0, 0, types, ALL_TAU, 1.0, "A"}, {1, 0, types, ALL_TAU, 1.0, "B"}}, 1.0);
        engine.setMaxWorkers(8);
        engine.start();
        ASSERT_TRUE(waitDone(r));
        ASSERT_TRUE(engine.wait(10000));
        std::map<QString, int> got;
        for (const Received& e : r.events)
            if (e.type == ADEVEVENT::RESULT)
                got[e.title] = e.key;
        EXPECT_EQ(got, expected) << "run " << run;
    }
}

TEST(AdevThread, CancelledRunStillDeliversResultsAndDone)
{
    CurveMap curves;
    curves[0] = phaseCurve(phaseData(5000, 5));
    Receiver r;
    AdevThread engine(&r, curves, {{0, 0, NORMAL | OVERLAPPING | MTIE, ALL_TAU, 1.0, "A"}}, 1.0);
    engine.cancel();
    engine.start();
    ASSERT_TRUE(waitDone(r));
    int results = 0;
    for (const Received& e : r.events)
        results += e.type == ADEVEVENT::RESULT;
    EXPECT_EQ(results, 3);
    EXPECT_FALSE(engine.progressText().contains("100.0"));
}

TEST(AdevThread, RunWithoutJobsEndsAtOnce)
{
    Receiver r;
    AdevThread engine(&r, CurveMap{}, {{0, 0, 0, OCTAVE, 1.0, "A"}}, 1.0);
    EXPECT_TRUE(engine.jobs().empty());
    engine.start();
    ASSERT_TRUE(waitDone(r));
    EXPECT_EQ(r.events.size(), 1u);
}
