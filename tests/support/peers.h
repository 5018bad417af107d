#pragma once
// Real peers for the instrument tests: a pseudo-terminal pair (the test is
// the instrument on the master side, the link opens the slave path) and a
// loopback TCP server on a free port; a condition wait that keeps the event
// loop running.
#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace kro::test {

// Runs the event loop until the condition holds or the time is up.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 20000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

class PtyPair {
public:
    PtyPair()
    {
        char name[256] = {};
        termios raw{};
        cfmakeraw(&raw);
        if (openpty(&m_master, &m_slave, name, &raw, nullptr) == 0) {
            m_path = QString::fromLocal8Bit(name);
            // The link opens the slave by its path; our descriptor of it only
            // keeps the pair alive until then.
            ::close(m_slave);
            m_slave = -1;
            const int flags = fcntl(m_master, F_GETFL);
            fcntl(m_master, F_SETFL, flags | O_NONBLOCK);
        }
    }
    ~PtyPair() { closeMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool valid() const { return !m_path.isEmpty(); }
    const QString& slavePath() const { return m_path; }
    int master() const { return m_master; }

    // Writes all bytes to the master side (the instrument sends them).
    bool write(const QByteArray& bytes)
    {
        qsizetype done = 0;
        QElapsedTimer clock;
        clock.start();
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
            if (n > 0) {
                done += n;
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                return false;
            } else {
                if (clock.elapsed() > 20000)
                    return false;
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            }
        }
        return true;
    }
    // What the link wrote so far (non-blocking).
    QByteArray readAvailable()
    {
        QByteArray out;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            out.append(buffer, n);
        }
        return out;
    }
    // The instrument goes away (a USB adapter pulled out).
    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

// A loopback TCP server that accepts one connection at a time; the test
// writes as the instrument and reads what the link sent.
class TcpPeer {
public:
    TcpPeer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = m_server.nextPendingConnection()) {
                m_socket = s;
                ++m_accepted;
                QObject::connect(s, &QTcpSocket::readyRead, [this, s] {
                    if (s == m_socket)
                        m_received += s->readAll();
                });
            }
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    int accepted() const { return m_accepted; }
    bool connected() const { return m_socket && m_socket->state() == QAbstractSocket::ConnectedState; }
    bool waitConnected() { return waitUntil([this] { return connected(); }); }
    void write(const QByteArray& bytes)
    {
        m_socket->write(bytes);
        m_socket->flush();
    }
    // Writes and waits until the bytes have left, so the next write is a
    // separate segment.
    void writeSeparately(const QByteArray& bytes)
    {
        write(bytes);
        waitUntil([this] { return m_socket->bytesToWrite() == 0; });
    }
    QByteArray& received() { return m_received; }
    QTcpSocket* socket() const { return m_socket; }
    void closeConnection()
    {
        if (m_socket)
            m_socket->disconnectFromHost();
    }

private:
    QTcpServer m_server;
    QPointer<QTcpSocket> m_socket;
    QByteArray m_received;
    int m_accepted = 0;
};

} // namespace kro::test
