#include "core/expressionthread.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

class Receiver : public QObject {
public:
    std::vector<ExpressionThread*> done;
    bool event(QEvent* e) override
    {
        if (e->type() == KroEvent::qtType(KroEvent::EXPRESSION_DONE)) {
            done.push_back(static_cast<ExpressionThreadDone*>(e)->thread());
            return true;
        }
        return QObject::event(e);
    }
};

CurveData curve(long long n, double (*y)(long long), double x0 = 0)
{
    CurveData c;
    c.values.reserve(static_cast<std::size_t>(2 * n));
    for (long long i = 0; i < n; ++i)
        c.append(x0 + static_cast<double>(i), y(i));
    return c;
}

// Runs the thread asynchronously and waits for its event.
std::unique_ptr<ExpressionThread> runToEvent(Receiver& r, std::unique_ptr<ExpressionThread> t)
{
    t->start();
    const bool arrived = QTest::qWaitFor([&] { return !r.done.empty(); }, 10000);
    EXPECT_TRUE(arrived);
    if (arrived) {
        EXPECT_EQ(r.done.front(), t.get());
    }
    r.done.clear();
    return t;
}

} // namespace

TEST(ExpressionThread, PartsSplitAtTenThousandPointsAndKeepOrder)
{
    struct Case {
        long long n;
        std::vector<long long> parts;
    } cases[] = {
        {9999, {9999}},
        {10000, {1666, 1666, 1666, 1666, 1666, 1670}},
        {10007, {1667, 1667, 1667, 1667, 1667, 1672}},
    };
    for (const Case& c : cases) {
        Receiver r;
        auto t = std::make_unique<ExpressionThread>(&r, "C1*2+C1x", "C1*2+C1x", false);
        t->addInput("C1", curve(c.n, [](long long i) { return 0.5 * static_cast<double>(i); }, 100));
        t = runToEvent(r, std::move(t));
        EXPECT_EQ(t->partPoints(), c.parts) << c.n;
        const CurveData& res = t->result();
        ASSERT_EQ(res.values.size(), static_cast<std::size_t>(2 * c.n)) << c.n;
        for (long long i = 0; i < c.n; ++i) {
            ASSERT_EQ(res.x(i), 100 + i);
            ASSERT_EQ(res.y(i), static_cast<double>(i) + 100 + i);
        }
        EXPECT_EQ(t->errorCount(), 0);
        EXPECT_FALSE(t->allZero());
        EXPECT_TRUE(t->failure().isEmpty());
    }
}

TEST(ExpressionThread, ReferencesByWholeKey)
{
    Receiver r;
    auto t = std::make_unique<ExpressionThread>(&r, "C10-C1+C10x", "C10-C1+C10x", true);
    t->addInput("C1", curve(3, [](long long i) { return -1.0 - static_cast<double>(i); }));
    t->addInput("C10", curve(3, [](long long i) { return 10.0 * static_cast<double>(i); }, 5));
    t = runToEvent(r, std::move(t));
    // x values come from the first key in byte order, "C1".
    EXPECT_EQ(t->result().values, (std::vector<double>{0, 1 + 5, 1, 12 + 6, 2, 23 + 7}));
    EXPECT_TRUE(t->removeExisting());
}

TEST(ExpressionThread, UndefinedPointsAreCountedAndLeftOut)
{
    Receiver r;
    auto t = std::make_unique<ExpressionThread>(&r, "C1/C2", "C1/C2", false);
    t->addInput("C1", curve(8, [](long long) { return 1.0; }));
    t->addInput("C2", curve(8, [](long long i) { return (i % 3 == 0) ? 0.0 : 2.0; })); // zeros at 0, 3, 6
    t = runToEvent(r, std::move(t));
    EXPECT_EQ(t->errorCount(), 3);
    EXPECT_EQ(t->result().pointCount(), 5u);
    EXPECT_EQ(t->result().x(0), 1);
}

TEST(ExpressionThread, AllZeroFlag)
{
    struct Case {
        const char* expr;
        bool allZero;
        int errors;
    } cases[] = {
        {"C1*0", true, 0},
        {"log(C1)", false, 2}, // log(0) is -infinity with ok true: counted, and not zero
        {"C1/0", true, 4},
        // A text that stops early: its undefined points (0/0) are not stored
        // as y = 0 but counted.
        {"C1/C1)", false, 2},
    };
    for (const Case& c : cases) {
        Receiver r;
        auto t = std::make_unique<ExpressionThread>(&r, c.expr, c.expr, false);
        t->addInput("C1", curve(4, [](long long i) { return static_cast<double>(i % 2); }));
        t = runToEvent(r, std::move(t));
        EXPECT_EQ(t->allZero(), c.allZero) << c.expr;
        EXPECT_EQ(t->errorCount(), c.errors) << c.expr;
        EXPECT_EQ(t->result().pointCount(), static_cast<std::size_t>(4 - c.errors)) << c.expr;
    }
}

TEST(ExpressionThread, EmptyInputInventsNoPoint)
{
    Receiver r;
    auto t = std::make_unique<ExpressionThread>(&r, "C1+1", "C1+1", false);
    t->addInput("C1", CurveData());
    t = runToEvent(r, std::move(t));
    EXPECT_TRUE(t->result().empty());
    EXPECT_EQ(t->errorCount(), 0);
    EXPECT_TRUE(t->allZero());
}

TEST(ExpressionThread, OverflowInWorkersNeverEndsTheProgram)
{
    Receiver r;
    auto t = std::make_unique<ExpressionThread>(&r, "gamma(C1)", "gamma(C1)", false);
    t->addInput("C1", curve(20000, [](long long i) { return i % 2 ? 200.0 : 3.0; }));
    t = runToEvent(r, std::move(t));
    EXPECT_EQ(t->errorCount(), 10000);
    EXPECT_EQ(t->result().pointCount(), 10000u);
    EXPECT_EQ(t->result().y(0), 2);
}

TEST(ExpressionThread, WaitingModePostsNothing)
{
    Receiver r;
    ExpressionThread t(&r, "C1", "C1", false);
    t.addInput("C1", curve(5, [](long long i) { return static_cast<double>(i); }));
    t.setNotify(false);
    t.start();
    while (t.isRunning())
        QThread::msleep(10);
    QCoreApplication::processEvents();
    EXPECT_TRUE(r.done.empty());
    EXPECT_EQ(t.result().pointCount(), 5u);
}

TEST(ExpressionThread, DeletingWhileRunningWaits)
{
    // The body's last signal is seen on the worker itself; it must have
    // come, with every point evaluated, by the time the destructor returns.
    Receiver r;
    bool finished = false;
    std::size_t points = 0;
    {
        ExpressionThread t(&r, "sqrt(C1)*sin(C1)", "x", false);
        t.addInput("C1", curve(200000, [](long long i) { return static_cast<double>(i); }));
        t.setNotify(false);
        QObject::connect(
            &t, &QThread::finished, &t,
            [&] {
                finished = true;
                points = t.result().pointCount();
            },
            Qt::DirectConnection);
        t.start();
    } // destroyed at once: must wait for the body, not abort it
    EXPECT_TRUE(finished);
    EXPECT_EQ(points, 200000u);
    QCoreApplication::processEvents();
    EXPECT_TRUE(r.done.empty()); // nothing was posted after the end
}
