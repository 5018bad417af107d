#include "miscio/socketcontroller.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace {
const char* kPortClosed = "Socket Controller: Port closed.\n";
const char* kControlWriteError = "Socket Controller: Error writing control data.\n";
} // namespace

SocketController::SocketController(QObject* parent) : DeviceInterface(parent), m_socket(new QTcpSocket(this))
{
    m_frame.m_mode = IOMode::TCP;
    m_text.reserve(MAX_PIECE);
    connect(m_socket, &QTcpSocket::connected, this, &SocketController::portOpened);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &SocketController::onSocketError);
    connect(m_socket, &QTcpSocket::disconnected, this, &SocketController::onDisconnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &SocketController::readPort);
}

SocketController::~SocketController()
{
    // No signal of the socket may reach a half-destroyed link.
    m_socket->disconnect(this);
    m_socket->abort();
}

int SocketController::errorCode(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return CONNECTION_REFUSED;
    case QAbstractSocket::HostNotFoundError: return HOST_NOT_FOUND;
    case QAbstractSocket::RemoteHostClosedError: return -1;
    default: return READ_FAILED;
    }
}

void SocketController::openPort(bool open)
{
    if (open) {
        if (m_socket->state() != QAbstractSocket::UnconnectedState)
            m_socket->abort();
        m_telnet = Telnet::Data;
        m_text.clear();
        m_closing = false;
        m_socket->connectToHost(m_frame.m_ip.trimmed(), static_cast<quint16>(m_frame.m_tcpPort));
        return;
    }
    if (m_socket->state() == QAbstractSocket::UnconnectedState)
        return;
    m_closing = true;
    m_socket->disconnectFromHost();
    if (m_socket->state() == QAbstractSocket::UnconnectedState && m_closing) {
        // Closed at once (onDisconnected may have reported it already).
        m_closing = false;
        Q_EMIT portClosedLocal();
    }
}

bool SocketController::isPortOpen() const { return m_socket->state() == QAbstractSocket::ConnectedState; }

bool SocketController::writeAll(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return true;
    if (m_socket->write(bytes) != bytes.size())
        return false;
    m_socket->flush();
    return true;
}

bool SocketController::sendString(const QString& text) { return writeAll(text.toLatin1()); }

bool SocketController::sendAscii(int code)
{
    QByteArray bytes = keyCodeBytes(code);
    if (bytes == QByteArray(1, '\r'))
        bytes.append('\n');
    return writeAll(bytes);
}

void SocketController::onSocketError(QAbstractSocket::SocketError error)
{
    const int code = errorCode(error);
    if (code >= 0)
        Q_EMIT socketError(code);
}

void SocketController::onDisconnected()
{
    readPort(); // what arrived before the close
    if (m_closing) {
        m_closing = false;
        Q_EMIT portClosedLocal();
        return;
    }
    m_text.append(kPortClosed);
    deliver();
    Q_EMIT portClosedRemote();
}

void SocketController::readPort()
{
    const qint64 available = m_socket->bytesAvailable();
    if (available <= 0)
        return;
    const QByteArray bytes = m_socket->read(available);
    consume(bytes.constData(), bytes.size());
    deliver();
}

void SocketController::appendText(char c)
{
    m_text.append(c);
    if (m_text.size() >= MAX_PIECE)
        deliver();
}

void SocketController::deliver()
{
    if (m_text.isEmpty())
        return;
    const QString text = QString::fromLatin1(m_text);
    m_text.clear();
    Q_EMIT stringReady(text);
}

void SocketController::consume(const char* data, qsizetype size)
{
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        switch (m_telnet) {
        case Telnet::Data:
            if (b == IAC)
                m_telnet = Telnet::Iac;
            else if (b != 0)
                appendText(static_cast<char>(b));
            break;
        case Telnet::Iac:
            if (b == IAC) {
                appendText(static_cast<char>(IAC)); // a doubled IAC is the data byte 255
                m_telnet = Telnet::Data;
            } else if (b >= WILL && b <= DONT) {
                m_verb = b;
                m_telnet = Telnet::Option;
            } else if (b == SB) {
                m_subLength = 0;
                m_telnet = Telnet::Sub;
            } else {
                m_telnet = Telnet::Data; // a two-byte command such as NOP or GA
            }
            break;
        case Telnet::Option:
            m_telnet = Telnet::Data;
            answer(m_verb, b);
            break;
        case Telnet::Sub:
        case Telnet::SubIac:
            if (++m_subLength > MAX_SUBNEGOTIATION) {
                m_telnet = Telnet::Data;
                if (b != IAC && b != 0)
                    appendText(static_cast<char>(b));
            } else if (m_telnet == Telnet::SubIac) {
                m_telnet = b == SE ? Telnet::Data : Telnet::Sub;
            } else if (b == IAC) {
                m_telnet = Telnet::SubIac;
            }
            break;
        }
    }
}

bool SocketController::writeControl(const QByteArray& bytes)
{
    if (m_socket->write(bytes) == bytes.size())
        return true;
    // Text received before the failure comes first, then the message.
    deliver();
    m_text.append(kControlWriteError);
    deliver();
    return false;
}

void SocketController::answer(unsigned char verb, unsigned char option)
{
    if (verb == DO && option == NAWS) {
        static const QByteArray will("\xFF\xFB\x1F", 3);
        static const QByteArray size("\xFF\xFA\x1F\x00\x50\x00\x18\xFF\xF0", 9);
        if (writeControl(will))
            writeControl(size);
        m_socket->flush();
        return;
    }
    // Refuse what we are asked to do, agree to what is offered.
    QByteArray triple;
    for (const unsigned char b : {static_cast<unsigned char>(IAC), verb, option}) {
        unsigned char out = b;
        if (b == DO)
            out = WONT;
        else if (b == WILL)
            out = DO;
        triple.append(static_cast<char>(out));
    }
    writeControl(triple);
    m_socket->flush();
}
