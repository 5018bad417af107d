// The countdown timer and its time dialog.
#include "platform/analogtimer.h"
#include "support/prompts.h"

#include <QElapsedTimer>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QTimeEdit>
#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

namespace {

// A timer on a clock the test moves by hand.
struct FakeClockTimer {
    qint64 now = 1000000;
    AnalogTimer timer;
    QSignalSpy expired{&timer, &AnalogTimer::timerExpired};

    explicit FakeClockTimer(const QTime& interval, bool continuous)
    {
        timer.setClock([this] { return now; });
        EXPECT_TRUE(timer.setTime(interval));
        timer.setContinuous(continuous);
    }
    // Moves the clock and lets the timer look at it once.
    void advance(qint64 ms)
    {
        now += ms;
        QMetaObject::invokeMethod(&timer, "timeout");
    }
};

QTime hms(int h, int m, int s) { return QTime(h, m, s); }

TEST(AnalogTimer, StartsAtFiveMinutesContinuousAndStopped)
{
    AnalogTimer t;
    EXPECT_EQ(t.interval(), hms(0, 5, 0));
    EXPECT_EQ(t.remaining(), hms(0, 5, 0));
    EXPECT_TRUE(t.isContinuous());
    EXPECT_FALSE(t.isPaused());
    EXPECT_FALSE(t.isRunning());
    EXPECT_FALSE(t.showsHours());
    EXPECT_TRUE(t.showsMinutes());
}

TEST(AnalogTimer, SingleShotExpiresOnceAndRestsAtZero)
{
    FakeClockTimer f(hms(0, 0, 5), false);
    f.timer.start();
    for (int second = 1; second <= 4; ++second) {
        f.advance(1000);
        EXPECT_EQ(f.timer.remaining(), hms(0, 0, 5 - second)) << second;
    }
    f.advance(999);
    EXPECT_EQ(f.expired.count(), 0);
    EXPECT_EQ(f.timer.remaining(), hms(0, 0, 1));
    f.advance(1);
    EXPECT_EQ(f.expired.count(), 1);
    EXPECT_EQ(f.timer.remaining(), hms(0, 0, 0));
    EXPECT_FALSE(f.timer.isRunning());
    f.advance(20000);
    EXPECT_EQ(f.expired.count(), 1);
    EXPECT_EQ(f.timer.remaining(), hms(0, 0, 0));
}

TEST(AnalogTimer, ContinuousExpiresEveryIntervalAndStartsOver)
{
    FakeClockTimer f(hms(0, 0, 5), true);
    f.timer.start();
    f.advance(4999);
    EXPECT_EQ(f.expired.count(), 0);
    for (int cycle = 1; cycle <= 3; ++cycle) {
        f.advance(1);  // 5, 10, 15 s
        EXPECT_EQ(f.expired.count(), cycle);
        EXPECT_TRUE(f.timer.isRunning());
        f.advance(1000);
        EXPECT_EQ(f.timer.remaining(), hms(0, 0, 4)) << cycle;
        f.advance(3999);
        EXPECT_EQ(f.expired.count(), cycle);
    }
}

TEST(AnalogTimer, LateTickExpiresOnceAndKeepsTheSchedule)
{
    // Cycles end at 5, 10 and 15 s; a single tick at 12 s expires once and
    // leaves 15 - 12 = 3 s, as a timer ticking all along would.
    FakeClockTimer f(hms(0, 0, 5), true);
    f.timer.start();
    f.advance(12000);
    EXPECT_EQ(f.expired.count(), 1);
    EXPECT_EQ(f.timer.remaining(), hms(0, 0, 3));
    f.advance(3000);
    EXPECT_EQ(f.expired.count(), 2);

    // A single-shot timer that ran down starts a full cycle again.
    FakeClockTimer g(hms(0, 0, 5), false);
    g.timer.start();
    g.advance(7000);
    EXPECT_EQ(g.expired.count(), 1);
    g.timer.start();
    EXPECT_EQ(g.timer.remaining(), hms(0, 0, 5));
    g.advance(10);
    EXPECT_EQ(g.expired.count(), 1);
}

TEST(AnalogTimer, ResetPauseAndResume)
{
    FakeClockTimer f(hms(0, 1, 0), false);
    f.timer.start();
    f.advance(20000);
    EXPECT_EQ(f.timer.remaining(), hms(0, 0, 40));
    f.timer.reset();  // running: starts over without stopping
    EXPECT_TRUE(f.timer.isRunning());
    EXPECT_EQ(f.timer.remaining(), hms(0, 1, 0));
    f.advance(10000);
    EXPECT_EQ(f.timer.remaining(), hms(0, 0, 50));

    f.timer.stop();
    f.timer.resume();  // not paused: nothing happens
    EXPECT_FALSE(f.timer.isRunning());
    f.timer.reset();  // stopped: the full time is shown, still stopped
    EXPECT_FALSE(f.timer.isRunning());
    EXPECT_EQ(f.timer.remaining(), hms(0, 1, 0));

    f.timer.start();
    f.advance(15000);
    f.timer.pause();
    EXPECT_TRUE(f.timer.isPaused());
    f.now += 30000;  // time spent paused does not count
    EXPECT_EQ(f.timer.remaining(), hms(0, 0, 45));
    f.timer.resume(false);
    EXPECT_FALSE(f.timer.isRunning());
    f.timer.resume(true);
    EXPECT_FALSE(f.timer.isPaused());
    EXPECT_TRUE(f.timer.isRunning());
    f.advance(5000);
    EXPECT_EQ(f.timer.remaining(), hms(0, 0, 40));

    f.timer.pause(true);
    EXPECT_TRUE(f.timer.isPaused());
    f.timer.pause(false);  // restarts and clears the flag
    EXPECT_TRUE(f.timer.isRunning());
    EXPECT_FALSE(f.timer.isPaused());
}

TEST(AnalogTimer, WallClockChangesDoNotMoveTheCountdown)
{
    const QByteArray oldTz = qgetenv("TZ");
    auto setZone = [](const char* tz) {
        qputenv("TZ", tz);
        tzset();
    };
    setZone("UTC0");
    AnalogTimer t;  // the program's own clock
    QSignalSpy expired(&t, &AnalogTimer::timerExpired);
    ASSERT_TRUE(t.setTime(hms(0, 0, 30)));
    t.setSingleShot();
    t.start();
    const QTime wallBefore = QTime::currentTime();
    // Local time jumps eleven hours: a day boundary and far more than the
    // interval.
    setZone("XYZ+11");
    const int jump = wallBefore.secsTo(QTime::currentTime());
    EXPECT_GE(std::abs(jump), 3600) << "the wall clock did not move";
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 200)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    // The countdown moved by the time that really passed, no more.
    EXPECT_EQ(expired.count(), 0);
    EXPECT_GE(t.remaining(), hms(0, 0, 29));
    EXPECT_LE(t.remaining(), hms(0, 0, 30));
    if (oldTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", oldTz);
    tzset();
}

TEST(AnalogTimer, ZeroAndInvalidTimesAreRefused)
{
    AnalogTimer t;
    EXPECT_TRUE(t.setTime(hms(0, 0, 7)));
    for (const QTime& bad : {hms(0, 0, 0), QTime(0, 0, 0, 999), QTime()})
        EXPECT_FALSE(t.setTime(bad));
    EXPECT_EQ(t.interval(), hms(0, 0, 7));
    EXPECT_EQ(t.remaining(), hms(0, 0, 7));
}

TEST(AnalogTimer, PromptTimeSetsTheEnteredTime)
{
    AnalogTimer t;
    kro::test::ScriptedPrompts prompts;
    // Cancelled: unchanged.
    prompts->answerDialog(QDialog::Rejected);
    t.promptTime();
    EXPECT_EQ(t.interval(), hms(0, 5, 0));
    // Zero: refused with a message, unchanged.
    prompts->answerDialog([](QDialog* d) {
        static_cast<InputTime*>(d)->timeEdit()->setTime(hms(0, 0, 0));
        return int(QDialog::Accepted);
    });
    prompts->answerMessage(QMessageBox::Ok);
    t.promptTime();
    EXPECT_EQ(t.interval(), hms(0, 5, 0));
    EXPECT_EQ(prompts->asked().back().kind, kro::ScriptedPrompter::Kind::Message);
    // A double click asks as well; the dialog offers the current time.
    QTime offered;
    prompts->answerDialog([&](QDialog* d) {
        auto* in = static_cast<InputTime*>(d);
        offered = in->time();
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Enter timer value"));
        EXPECT_EQ(in->timeEdit()->displayFormat(), QStringLiteral("HH:mm:ss"));
        in->timeEdit()->setTime(hms(1, 30, 0));
        return int(QDialog::Accepted);
    });
    t.resize(60, 60);
    t.show();
    QTest::mouseDClick(&t, Qt::LeftButton);
    EXPECT_EQ(offered, hms(0, 5, 0));
    EXPECT_EQ(t.interval(), hms(1, 30, 0));
    EXPECT_TRUE(t.showsHours());
    EXPECT_TRUE(t.showsMinutes());
}

// Whether a dark (black hand) or red pixel lies within a pixel of the point
// at radius r (face units, 1000 across) and angle a (degrees clockwise from
// 3 o'clock) of a face centred in the image.
bool colourNear(const QImage& img, double r, double degrees, bool red)
{
    const int side = std::min(img.width(), img.height());
    const double scale = side / 1000.0;
    const double rad = degrees * M_PI / 180.0;
    const int x = int(std::lround(img.width() / 2.0 + r * std::cos(rad) * scale));
    const int y = int(std::lround(img.height() / 2.0 + r * std::sin(rad) * scale));
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            const QColor c = img.pixelColor(x + dx, y + dy);
            if (red ? (c.red() > 180 && c.green() < 120 && c.blue() < 120)
                    : (c.red() < 90 && c.green() < 90 && c.blue() < 90))
                return true;
        }
    return false;
}

TEST(AnalogTimer, FaceShowsTheHandsOfTheSetTimeAndStaysInItsSquare)
{
    const struct {
        QTime time;
        bool hourHand;
    } cases[] = {{hms(1, 30, 0), true}, {hms(0, 2, 0), false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.time.toString().toStdString());
        AnalogTimer t;
        t.resize(400, 200);
        ASSERT_TRUE(t.setTime(c.time));
        const QImage img = t.grab().toImage();
        const int h = c.time.hour(), m = c.time.minute(), s = c.time.second();
        const double hourAngle = (h % 12 - 3) * 30 + m * 0.5;
        const double minuteAngle = (m - 15) * 6 + s / 10.0;
        const double secondAngle = (s - 15) * 6;
        EXPECT_EQ(colourNear(img, 150, hourAngle, false), c.hourHand);
        EXPECT_TRUE(colourNear(img, 340, minuteAngle, false));
        EXPECT_TRUE(colourNear(img, 380, secondAngle, true));
        EXPECT_TRUE(colourNear(img, 0, 0, true));  // the centre dot
        // Left and right of the centred square nothing is drawn.
        const QColor background = img.pixelColor(0, 0);
        for (int y = 0; y < img.height(); y += 3)
            for (int x : {0, 50, 99, 300, 350, 399})
                ASSERT_EQ(img.pixelColor(x, y), background) << x << "," << y;
        // The white rim lies inside the square.
        EXPECT_EQ(img.pixelColor(200, 3), QColor(Qt::white));
    }
}

} // namespace
