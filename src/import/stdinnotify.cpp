#include "import/stdinnotify.h"

#include <QCoreApplication>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

std::atomic<quint64> g_nextSerial{1};

} // namespace

StdinNotify::StdinNotify(int readFd, int stopFd, QObject* receiver, const QString& label)
    : m_receiver(receiver), m_readFd(readFd), m_stopFd(stopFd), m_label(label), m_serial(g_nextSerial++)
{
    if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0)
        m_wake[0] = m_wake[1] = -1;
}

StdinNotify::~StdinNotify()
{
    stop();
    wait();
    for (int fd : m_wake)
        if (fd >= 0)
            ::close(fd);
    if (m_stopFd > 2) {
        static const char bytes[2] = {'\n', '\0'};
        [[maybe_unused]] const ssize_t n = ::write(m_stopFd, bytes, 2);
        ::close(m_stopFd);
    }
    if (m_readFd > 2 && m_readFd != m_stopFd)
        ::close(m_readFd);
}

bool StdinNotify::runningFlag()
{
    QMutexLocker lock(&m_mutex);
    return m_running;
}

qsizetype StdinNotify::pendingSize()
{
    QMutexLocker lock(&m_mutex);
    return m_buffer.size();
}

void StdinNotify::stop()
{
    QMutexLocker lock(&m_mutex);
    m_running = false;
    m_stopRequested = true;
    if (m_wake[1] >= 0) {
        static const char bytes[2] = {'\n', '\0'};
        [[maybe_unused]] const ssize_t n = ::write(m_wake[1], bytes, 2);
    }
    m_readyChanged.wakeAll();
}

void StdinNotify::setReady()
{
    QMutexLocker lock(&m_mutex);
    m_ready = true;
    m_readyChanged.wakeAll();
    postLines();
}

void StdinNotify::postLines()
{
    if (!m_ready || m_buffer.isEmpty())
        return;
    m_ready = false;
    QCoreApplication::postEvent(m_receiver, new StdinStr(std::move(m_buffer), m_readFd, m_stopFd, m_label, m_serial));
    m_buffer = QByteArray();
    m_buffer.reserve(BUFFER_RESERVE);
}

void StdinNotify::finish(const QString& error)
{
    QMutexLocker lock(&m_mutex);
    if (m_lastByte != 0 && m_lastByte != '\n')
        m_buffer.append('\n');
    while (!m_stopRequested && !m_ready)
        m_readyChanged.wait(&m_mutex);
    if (!m_stopRequested) {
        postLines();
        QCoreApplication::postEvent(m_receiver, new StdinClosed(m_readFd, m_stopFd, m_label, m_serial, error));
    }
    m_running = false;
}

void StdinNotify::run()
{
    try {
        {
            QMutexLocker lock(&m_mutex);
            m_buffer.clear();
            m_buffer.reserve(BUFFER_RESERVE);
        }
        QByteArray chunk(1 << 16, Qt::Uninitialized);
        for (;;) {
            {
                QMutexLocker lock(&m_mutex);
                if (!m_running)
                    return;
            }
            pollfd fds[2] = {{m_readFd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
            const int ready = ::poll(fds, m_wake[0] >= 0 ? 2 : 1, -1);
            if (ready < 0) {
                if (errno == EINTR)
                    continue;
                finish(QString::fromLocal8Bit(std::strerror(errno)));
                return;
            }
            if (fds[1].revents != 0)
                return; // stopped
            if (fds[0].revents == 0)
                continue;
            if (fds[0].revents & POLLNVAL) {
                finish(QStringLiteral("The input descriptor is not open."));
                return;
            }
            const ssize_t n = ::read(m_readFd, chunk.data(), std::size_t(chunk.size()));
            if (n < 0) {
                if (errno == EINTR || errno == EAGAIN)
                    continue;
                finish(QString::fromLocal8Bit(std::strerror(errno)));
                return;
            }
            if (n == 0) {
                finish(QString());
                return;
            }
            QMutexLocker lock(&m_mutex);
            m_buffer.append(chunk.constData(), qsizetype(n));
            m_lastByte = chunk[qsizetype(n) - 1];
            while (!m_stopRequested && !m_ready && m_buffer.size() >= BACKLOG_LIMIT)
                m_readyChanged.wait(&m_mutex);
            if (m_running)
                postLines();
        }
    } catch (const std::exception& e) {
        finish(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        finish(QStringLiteral("Unknown error while reading the pipe."));
    }
}
