#pragma once
// AnalogTimer: a small round clock face that counts a set time down to zero,
// signals timerExpired() at zero and then stops (single shot) or starts over
// (continuous). A double click on the face asks for a new time with
// InputTime, a modal hours:minutes:seconds dialog.
//
// The countdown runs on a monotonic clock: changes of the wall clock (time
// zone, daylight saving, midnight, a clock set by hand) never shorten,
// lengthen or skip a cycle. A tick that comes late (a busy event loop)
// counts all the time that passed; when it covers the end of a cycle the
// timer expires once and a continuous timer carries the excess into its
// next cycle. GUI thread only.
//
//     auto* t = new AnalogTimer(this);
//     t->setTime(QTime(0, 5, 0));
//     t->setSingleShot();
//     connect(t, &AnalogTimer::timerExpired, this, &Fetcher::get);
//     t->start();
#include <QDialog>
#include <QPoint>
#include <QTime>
#include <QWidget>

#include <functional>

class QTimeEdit;
class QTimer;

// The dialog that asks for a timer value ("Enter timer value").
class InputTime : public QDialog {
    Q_OBJECT

public:
    explicit InputTime(const QTime& time);
    QTimeEdit* timeEdit() const { return m_edit; }
    QTime time() const;

private:
    QTimeEdit* m_edit;
};

class AnalogTimer : public QWidget {
    Q_OBJECT

public:
    // A monotonic clock in milliseconds (tests replace it).
    using Clock = std::function<qint64()>;

    explicit AnalogTimer(QWidget* parent = nullptr);

    // The time counted down in each cycle.
    QTime interval() const;
    // The time left, in whole seconds rounded up, as the hands show it.
    QTime remaining() const;
    bool isContinuous() const { return m_continuous; }
    bool isPaused() const { return m_paused; }
    bool isRunning() const;
    bool showsHours() const { return m_showHours; }
    bool showsMinutes() const { return m_showMinutes; }

    void setClock(Clock clock);

public Q_SLOTS:
    void pause();
    void pause(bool on);
    // Asks for a new time; a time of zero is refused with a message and the
    // timer keeps its time.
    void promptTime();
    void setContinuous();
    void setContinuous(bool on);
    void setSingleShot();
    void setSingleShot(bool on);
    // Sets the interval and the time left to t. An invalid or zero time is
    // refused (false) and changes nothing. The running state stays.
    bool setTime(const QTime& t);
    // Starts the cycle over from the full interval; the running state stays.
    void reset();
    void resume();
    void resume(bool on);
    // Runs from the time left (a timer that has run down starts a full cycle).
    void start();
    void stop();

Q_SIGNALS:
    void timerExpired();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private Q_SLOTS:
    void timeout();

private:
    // Milliseconds left now.
    qint64 leftNow() const;
    // Freezes the time left at its present value.
    void holdRemaining();
    // Starts counting from the time held.
    void run();
    // Repaints when the seconds shown changed.
    void refresh();

    Clock m_clock;
    QTimer* m_interval;
    QPoint m_dragOffset;
    qint64 m_setMs = 5 * 60 * 1000;
    qint64 m_heldMs = 5 * 60 * 1000;  // time left at m_since
    qint64 m_since = 0;               // clock reading when m_heldMs was taken
    qint64 m_shownSeconds = -1;
    bool m_showHours = false;
    bool m_showMinutes = true;
    bool m_paused = false;
    bool m_continuous = true;
};
