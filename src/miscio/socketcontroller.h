#pragma once
// SocketController: the TCP link to an instrument or terminal server that
// speaks raw text or a little telnet. It answers the option negotiation such
// servers start (a window size of 80 by 24 when asked for it; every other
// option it is asked to perform refused, every option offered accepted),
// skips subnegotiations, takes a doubled IAC as the data byte 255, drops NUL
// bytes and delivers the received text in pieces of at most 1023 characters.
// Telnet commands split across reads are completed by the next read.
// Everything runs on the GUI thread; the link has no worker thread.
#include "miscio/deviceinterface.h"

#include <QAbstractSocket>
#include <QByteArray>

class QTcpSocket;

class SocketController : public DeviceInterface {
    Q_OBJECT

public:
    // Telnet bytes.
    enum : unsigned char { IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250, SE = 240, NAWS = 31 };
    // The most characters one stringReady carries.
    static constexpr int MAX_PIECE = 1023;
    // A subnegotiation longer than this is taken as broken and left.
    static constexpr int MAX_SUBNEGOTIATION = 4096;
    // Error codes of socketError.
    enum Error { CONNECTION_REFUSED = 0, HOST_NOT_FOUND = 1, READ_FAILED = 2 };

    explicit SocketController(QObject* parent = nullptr);
    ~SocketController() override;

    void openPort(bool open) override;
    bool isPortOpen() const override;
    bool sendString(const QString& text) override;
    // A lone carriage return goes out as CR LF.
    bool sendAscii(int code) override;

    QTcpSocket* socket() const { return m_socket; }

    // The code socketError reports for a socket error: refused 0, host not
    // found 1, anything else 2; -1 for a remote close, which is no error.
    static int errorCode(QAbstractSocket::SocketError error);

public Q_SLOTS:
    void readPort();

Q_SIGNALS:
    void portClosedLocal();
    void portClosedRemote();
    void socketError(int code);

private Q_SLOTS:
    void onSocketError(QAbstractSocket::SocketError error);
    void onDisconnected();

private:
    enum class Telnet { Data, Iac, Option, Sub, SubIac };

    // Feeds received bytes through the telnet state machine.
    void consume(const char* data, qsizetype size);
    void answer(unsigned char verb, unsigned char option);
    bool writeControl(const QByteArray& bytes);
    void appendText(char c);
    void deliver();
    bool writeAll(const QByteArray& bytes);

    QTcpSocket* m_socket;
    Telnet m_telnet = Telnet::Data;
    unsigned char m_verb = 0;
    int m_subLength = 0;
    QByteArray m_text;
    bool m_closing = false; // we asked the socket to close
};
