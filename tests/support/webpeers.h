#pragma once
// Real peers for the web fetch: a loopback HTTP server with canned answers
// and a real FTP server (pyftpdlib) on loopback.
#include "support/peers.h"

#include <QByteArray>
#include <QFileInfo>
#include <QList>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <utility>
#include <vector>

namespace kro::test {

// A loopback HTTP server. Every request (read up to its blank line) gets the
// next queued answer; the last one is repeated when the queue runs dry.
class HttpPeer {
public:
    struct Answer {
        QList<QByteArray> pieces; // written one after another, 20 ms apart
        bool close = false;       // the server closes after the last piece
        bool silent = false;      // the server reads and never answers
        bool held = false;        // the answer waits until release()
    };

    HttpPeer() : HttpPeer(0) {}
    explicit HttpPeer(quint16 port)
    {
        m_server.listen(QHostAddress::LocalHost, port);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = m_server.nextPendingConnection()) {
                auto* request = new QByteArray;
                QObject::connect(s, &QObject::destroyed, [request] { delete request; });
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
                QObject::connect(s, &QTcpSocket::readyRead, [this, s, request] {
                    request->append(s->readAll());
                    const qsizetype end = request->indexOf("\r\n\r\n");
                    if (end < 0)
                        return;
                    requests.append(request->left(end + 4));
                    request->clear();
                    respond(s);
                });
            }
        });
    }
    bool listening() const { return m_server.isListening(); }
    quint16 port() const { return m_server.serverPort(); }
    void answer(const Answer& a) { m_answers.push_back(a); }
    void answer(const QByteArray& whole, bool close = false) { answer(Answer{{whole}, close, false}); }
    // Sends the answers that wait (held answers).
    void release()
    {
        auto held = std::move(m_held);
        m_held.clear();
        for (auto& [socket, a] : held)
            if (socket)
                write(socket, a);
    }
    qsizetype heldAnswers() const { return static_cast<qsizetype>(m_held.size()); }

    QList<QByteArray> requests;

private:
    void respond(QTcpSocket* s)
    {
        Answer a = m_answers.empty() ? Answer{} : m_answers.front();
        if (m_answers.size() > 1)
            m_answers.erase(m_answers.begin());
        if (a.silent)
            return;
        if (a.held) {
            m_held.emplace_back(QPointer<QTcpSocket>(s), a);
            return;
        }
        write(s, a);
    }
    static void write(QTcpSocket* s, const Answer& a)
    {
        QPointer<QTcpSocket> socket(s);
        for (qsizetype i = 0; i < a.pieces.size(); ++i) {
            const bool last = i + 1 == a.pieces.size();
            QTimer::singleShot(20 * int(i), s, [socket, piece = a.pieces[i], last, close = a.close] {
                if (!socket)
                    return;
                socket->write(piece);
                socket->flush();
                if (last && close)
                    socket->disconnectFromHost();
            });
        }
    }

    QTcpServer m_server;
    std::vector<Answer> m_answers;
    std::vector<std::pair<QPointer<QTcpSocket>, Answer>> m_held;
};

// A real FTP server (pyftpdlib) serving a folder read-only on loopback.
class FtpServer {
public:
    explicit FtpServer(const QString& folder)
    {
        // The system's python3 is the one the install script gives the FTP
        // server to; another one earlier on the path may lack it.
        QString python = QStringLiteral("/usr/bin/python3");
        if (!QFileInfo(python).isExecutable())
            python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            return;
        m_found = true;
        {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost, 0);
            m_port = probe.serverPort();
        }
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(python, {QStringLiteral("-m"), QStringLiteral("pyftpdlib"),
                                                     QStringLiteral("-i"), QStringLiteral("127.0.0.1"),
                                                     QStringLiteral("-p"), QString::number(m_port),
                                                     QStringLiteral("-d"), folder});
        m_ready = waitUntil([this] {
            if (m_process.state() == QProcess::NotRunning)
                return true;
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, m_port);
            return s.waitForConnected(200);
        }) && m_process.state() == QProcess::Running;
    }
    ~FtpServer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000))
                m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    bool python() const { return m_found; }
    bool ready() const { return m_ready; }
    quint16 port() const { return m_port; }
    QString output() { return QString::fromLocal8Bit(m_process.readAll()); }

private:
    QProcess m_process;
    quint16 m_port = 0;
    bool m_found = false;
    bool m_ready = false;
};

// "HTTP/1.1 200 OK" with the body and its Content-Length.
inline QByteArray httpOk(const QByteArray& body)
{
    return "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

} // namespace kro::test
