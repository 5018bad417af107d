#include "platform/analogtimer.h"

#include "platform/prompter.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace {

qint64 monotonicMs()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

qint64 msOf(const QTime& t) { return t.msecsSinceStartOfDay(); }

QTime timeOfSeconds(qint64 seconds) { return QTime(0, 0).addSecs(static_cast<int>(seconds)); }

} // namespace

// ------------------------------------------------------------ InputTime

InputTime::InputTime(const QTime& time)
{
    setModal(true);
    setWindowTitle(tr("Enter timer value"));
    QFont mono(QStringLiteral("monospace"), 10, QFont::Light);
    mono.setStyleHint(QFont::TypeWriter);
    setFont(mono);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(0);
    m_edit = new QTimeEdit(time, this);
    m_edit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    m_edit->setFont(mono);
    layout->addWidget(m_edit);

    auto* hint = new QHBoxLayout;
    hint->addSpacing(4);
    auto* format = new QLabel(QStringLiteral("HH:MM:SS"), this);
    format->setFont(mono);
    hint->addWidget(format, 0, Qt::AlignLeft);
    layout->addLayout(hint);
    layout->addSpacing(15);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(5);
    for (auto [text, accept] : {std::pair{tr("Ok"), true}, std::pair{tr("Cancel"), false}}) {
        auto* b = new QPushButton(text, this);
        b->setFixedWidth(100);
        b->setMaximumHeight(24);
        connect(b, &QPushButton::clicked, this, accept ? &QDialog::accept : &QDialog::reject);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
}

QTime InputTime::time() const { return m_edit->time(); }

// ------------------------------------------------------------ AnalogTimer

AnalogTimer::AnalogTimer(QWidget* parent) : QWidget(parent), m_clock(monotonicMs)
{
    m_interval = new QTimer(this);
    m_interval->setInterval(10);
    connect(m_interval, &QTimer::timeout, this, &AnalogTimer::timeout);
}

void AnalogTimer::setClock(Clock clock)
{
    const qint64 left = leftNow();
    m_clock = clock ? std::move(clock) : Clock(monotonicMs);
    m_heldMs = left;
    m_since = m_clock();
}

QTime AnalogTimer::interval() const { return QTime::fromMSecsSinceStartOfDay(static_cast<int>(m_setMs)); }

QTime AnalogTimer::remaining() const { return timeOfSeconds((leftNow() + 999) / 1000); }

bool AnalogTimer::isRunning() const { return m_interval->isActive(); }

qint64 AnalogTimer::leftNow() const
{
    if (!m_interval->isActive())
        return m_heldMs;
    return std::max<qint64>(0, m_heldMs - (m_clock() - m_since));
}

void AnalogTimer::holdRemaining()
{
    m_heldMs = leftNow();
    m_since = m_clock();
}

void AnalogTimer::run()
{
    m_since = m_clock();
    m_interval->start();
    refresh();
}

void AnalogTimer::refresh()
{
    const qint64 shown = (leftNow() + 999) / 1000;
    if (shown != m_shownSeconds) {
        m_shownSeconds = shown;
        update();
    }
}

void AnalogTimer::start()
{
    holdRemaining();
    m_interval->stop();
    if (m_heldMs <= 0)
        m_heldMs = m_setMs;
    run();
}

void AnalogTimer::stop()
{
    holdRemaining();
    m_interval->stop();
}

void AnalogTimer::pause()
{
    stop();
    m_paused = true;
}

void AnalogTimer::pause(bool on)
{
    stop();
    if (on) {
        m_paused = true;
        return;
    }
    m_paused = false;
    run();
}

void AnalogTimer::resume()
{
    if (!m_paused)
        return;
    m_paused = false;
    run();
}

void AnalogTimer::resume(bool on)
{
    if (on)
        resume();
}

void AnalogTimer::setContinuous() { m_continuous = true; }
void AnalogTimer::setContinuous(bool on) { m_continuous = on; }
void AnalogTimer::setSingleShot() { m_continuous = false; }
void AnalogTimer::setSingleShot(bool on) { m_continuous = !on; }

bool AnalogTimer::setTime(const QTime& t)
{
    if (!t.isValid() || msOf(t) < 1000)
        return false;
    m_setMs = msOf(t);
    m_heldMs = m_setMs;
    m_since = m_clock();
    m_showHours = t.hour() != 0;
    m_showMinutes = t.minute() != 0;
    m_shownSeconds = -1;
    refresh();
    return true;
}

void AnalogTimer::reset()
{
    m_heldMs = m_setMs;
    m_since = m_clock();
    m_shownSeconds = -1;
    refresh();
}

void AnalogTimer::promptTime()
{
    InputTime dialog(interval());
    if (kro::prompter().execDialog(&dialog) != QDialog::Accepted)
        return;
    if (!setTime(dialog.time()))
        kro::prompter().warning(this, tr("Enter timer value"),
                                tr("The timer needs a time of at least one second; it keeps %1.")
                                    .arg(interval().toString(QStringLiteral("HH:mm:ss"))));
}

void AnalogTimer::timeout()
{
    if (!m_interval->isActive())
        return;
    const qint64 now = m_clock();
    const qint64 left = m_heldMs - (now - m_since);
    if (left > 0) {
        refresh();
        return;
    }
    // The cycle ended, perhaps a while ago: expire once. A continuous timer
    // starts its next cycle where this one ended, so the time that passed
    // beyond the end is not lost; a single-shot timer rests at zero.
    if (m_continuous) {
        m_heldMs = m_setMs - (-left) % m_setMs;
        m_since = now;
    } else {
        m_heldMs = 0;
        m_since = now;
        m_interval->stop();
    }
    m_shownSeconds = -1;
    refresh();
    Q_EMIT timerExpired();
}

// ------------------------------------------------------------ mouse and face

void AnalogTimer::mousePressEvent(QMouseEvent* event)
{
    if (isWindow())
        m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    QWidget::mousePressEvent(event);
}

void AnalogTimer::mouseMoveEvent(QMouseEvent* event)
{
    if (isWindow() && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - m_dragOffset);
    QWidget::mouseMoveEvent(event);
}

void AnalogTimer::mouseDoubleClickEvent(QMouseEvent*) { promptTime(); }

void AnalogTimer::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height());
    p.setViewport((width() - side) / 2, (height() - side) / 2, side, side);
    p.setWindow(-500, -500, 1000, 1000);

    // Pens are in device pixels, so the face reads the same at every size.
    p.setPen(QPen(palette().color(QPalette::WindowText), 0));
    p.setBrush(Qt::white);
    p.drawEllipse(-490, -490, 980, 980);
    const QRect inner(-435, -435, 870, 870);
    const QColor face(225, 234, 239);
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawEllipse(inner);
    p.setPen(QPen(face, 0));
    p.setBrush(QColor(211, 225, 233));
    p.drawPie(inner, 20 * 16, 180 * 16);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(inner);

    const QTime t = remaining();
    const int h = t.hour(), m = t.minute(), s = t.second();
    auto hand = [&](const QPen& pen, double degrees, int length) {
        p.save();
        p.setPen(pen);
        p.rotate(degrees);
        p.drawLine(0, 0, length, 0);
        p.restore();
    };
    QPen black(Qt::black, 3, Qt::SolidLine, Qt::RoundCap);
    black.setCosmetic(true);
    if (m_showHours)
        hand(black, (h % 12 - 3) * 30 + m * 0.5, 300);
    if (m_showMinutes)
        hand(black, (m - 15) * 6 + s / 10.0, 375);
    hand(QPen(Qt::red, 0), (s - 15) * 6, 385);

    p.setPen(QPen(Qt::red, 0));
    p.setBrush(Qt::red);
    p.drawEllipse(-12, -12, 24, 24);
}
