// The instrument links against real peers: pseudo-terminal pairs for the
// serial link, loopback TCP servers for the TCP link.
#include <gtest/gtest.h>

#include "support/peers.h"
#include "miscio/deviceinterface.h"
#include "miscio/serialportio.h"
#include "miscio/socketcontroller.h"

#include <QSerialPort>
#include <QSignalSpy>
#include <QTimer>

#include <memory>
#include <sys/socket.h>

using kro::test::PtyPair;
using kro::test::TcpPeer;
using kro::test::waitUntil;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (const int v : values)
        out.append(static_cast<char>(v));
    return out;
}

// Collects what a link delivers; sets the ready flag like a consumer.
struct Received {
    explicit Received(DeviceInterface& link)
    {
        QObject::connect(&link, &DeviceInterface::stringReady, [this, &link](const QString& text) {
            texts.append(text);
            all += text;
            if (autoReady)
                link.frame().m_ready.store(true);
        });
    }
    QStringList texts;
    QString all;
    bool autoReady = true;
};

// ------------------------------------------------------------ frame

TEST(DeviceFrame, DefaultsAndIndependentCopies)
{
    DeviceFrame f;
    EXPECT_FALSE(f.m_connected);
    EXPECT_EQ(f.m_mode, IOMode::SERIAL);
    EXPECT_TRUE(f.m_comPort.isEmpty());
    EXPECT_EQ(f.m_baud, 19200);
    EXPECT_EQ(f.m_dataBits, 8);
    EXPECT_EQ(f.m_parity, 0);
    EXPECT_EQ(f.m_stopBits, 0);
    EXPECT_EQ(f.m_flow, 0);
    EXPECT_EQ(f.m_tcpPort, 23);
    EXPECT_EQ(f.m_ip, QStringLiteral("127.0.0.1"));
    EXPECT_TRUE(f.m_ready.load());

    f.m_label = QStringLiteral("Counter");
    f.m_ready.store(false);
    DeviceFrame copy = f;
    copy.m_label = QStringLiteral("Other");
    copy.m_ready.store(true);
    EXPECT_EQ(f.m_label, QStringLiteral("Counter"));
    EXPECT_FALSE(f.m_ready.load());
    EXPECT_FALSE(DeviceFrame(f).m_ready.load());
}

TEST(DeviceFrame, SettingWords)
{
    const std::vector<std::pair<const char*, int>> parities{
        {"NONE", 0}, {"ODD", 1}, {"EVEN", 2}, {"MARK", 3}, {"SPACE", 4}, {"odd", 0}, {"", 0}, {"ODD ", 0}};
    for (const auto& [word, code] : parities)
        EXPECT_EQ(parityFromName(QString::fromLatin1(word)), code) << word;
    for (int code = -1; code <= 5; ++code)
        EXPECT_EQ(parityFromName(parityName(code)), code >= 1 && code <= 4 ? code : 0) << code;
    EXPECT_EQ(flowFromName(QStringLiteral("XONXOFF")), 2);
    EXPECT_EQ(flowFromName(QStringLiteral("hardware")), 0);
    EXPECT_EQ(flowName(7), QStringLiteral("NONE"));

    const std::vector<std::pair<double, int>> stops{{1.0, 0}, {1.2, 0}, {1.5, 1}, {1.8, 0}, {2.0, 2},
                                                    {2.5, 0}, {0.0, 0}, {std::nan(""), 0}};
    for (const auto& [s, code] : stops)
        EXPECT_EQ(stopBitsFromNumber(s), code) << s;
    for (int code = 0; code < 3; ++code)
        EXPECT_EQ(stopBitsFromNumber(stopBitsNumber(code)), code);
}

TEST(DeviceFrame, KeyCodeBytes)
{
    EXPECT_EQ(keyCodeBytes(0), QByteArray());
    EXPECT_EQ(keyCodeBytes(0x0D), bytes({13}));
    EXPECT_EQ(keyCodeBytes(0x445B1B), bytes({27, 91, 68}));
    EXPECT_EQ(keyCodeBytes(0x00410042), bytes({0x42})); // stops at the first zero byte
    EXPECT_EQ(keyCodeBytes(static_cast<int>(0xFF0A0D41)), bytes({0x41, 13, 10, 0xFF}));
}

// ------------------------------------------------------------ TCP

class TcpLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        link.frame().m_tcpPort = peer.port();
        link.openPort(true);
        ASSERT_TRUE(peer.waitConnected());
        ASSERT_TRUE(waitUntil([&] { return link.isPortOpen(); }));
    }
    TcpPeer peer;
    SocketController link;
    Received received{link};
};

TEST_F(TcpLink, AnswersOptionNegotiation)
{
    struct Case {
        QByteArray request;
        QByteArray answer;
    };
    const std::vector<Case> cases{
        {bytes({255, 253, 31}), bytes({255, 251, 31, 255, 250, 31, 0, 80, 0, 24, 255, 240})}, // DO NAWS
        {bytes({255, 251, 1}), bytes({255, 253, 1})},   // WILL ECHO: agree
        {bytes({255, 253, 24}), bytes({255, 252, 24})}, // DO TERMINAL-TYPE: refuse
        {bytes({255, 254, 31}), bytes({255, 254, 31})}, // DONT: echoed
        {bytes({255, 252, 3}), bytes({255, 252, 3})},   // WONT: echoed
    };
    for (const Case& c : cases) {
        peer.received().clear();
        peer.write(c.request);
        ASSERT_TRUE(waitUntil([&] { return peer.received().size() >= c.answer.size(); }));
        EXPECT_EQ(peer.received(), c.answer);
    }
    EXPECT_TRUE(received.all.isEmpty());
}

TEST_F(TcpLink, TelnetSplitAcrossReadsAndEscapedBytes)
{
    // IAC and its verb in one segment, the option in the next.
    peer.writeSeparately(QByteArray("ab") + bytes({255}));
    peer.writeSeparately(bytes({251}));
    peer.writeSeparately(bytes({1}) + QByteArray("cd"));
    // IAC IAC is the data byte 255; NOP is a two-byte command; a
    // subnegotiation is skipped; NUL bytes are dropped.
    peer.write(bytes({'e', 255, 255, 'f', 255, 241, 'g', 255, 250, 24, 1, 255, 240, 'h', 0, 'i', '\n'}));
    ASSERT_TRUE(waitUntil([&] { return received.all.endsWith(QLatin1Char('\n')); }));
    EXPECT_EQ(received.all, QString::fromLatin1("abcde\xFF" "fghi\n"));
    ASSERT_TRUE(waitUntil([&] { return peer.received().size() >= 3; }));
    EXPECT_EQ(peer.received(), bytes({255, 253, 1}));
}

TEST_F(TcpLink, SubnegotiationSplitAcrossReads)
{
    peer.writeSeparately(bytes({'x', 255, 250, 24}));
    peer.writeSeparately(bytes({1, 255}));
    peer.write(bytes({240, 'y', '\n'}));
    ASSERT_TRUE(waitUntil([&] { return received.all.endsWith(QLatin1Char('\n')); }));
    EXPECT_EQ(received.all, QStringLiteral("xy\n"));
}

TEST_F(TcpLink, DeliversPiecesOfAtMost1023Characters)
{
    QByteArray data;
    for (int i = 0; i < 2500; ++i)
        data.append(static_cast<char>('a' + i % 26));
    peer.write(data);
    ASSERT_TRUE(waitUntil([&] { return received.all.size() == data.size(); }));
    EXPECT_EQ(received.all, QString::fromLatin1(data));
    for (const QString& piece : received.texts)
        EXPECT_LE(piece.size(), SocketController::MAX_PIECE);
    EXPECT_GE(received.texts.size(), 3);
}

TEST_F(TcpLink, SendsKeysAndText)
{
    struct Case {
        std::function<bool()> send;
        QByteArray wire;
    };
    const std::vector<Case> cases{
        {[&] { return link.sendAscii(13); }, bytes({13, 10})},
        {[&] { return link.sendAscii(0x0A0D); }, bytes({13, 10})},
        {[&] { return link.sendAscii(0x445B1B); }, bytes({27, 91, 68})},
        {[&] { return link.sendString(QString::fromLatin1("*IDN?\r\xE9")); }, QByteArray("*IDN?\r\xE9")},
    };
    for (const Case& c : cases) {
        peer.received().clear();
        EXPECT_TRUE(c.send());
        ASSERT_TRUE(waitUntil([&] { return peer.received().size() >= c.wire.size(); }));
        EXPECT_EQ(peer.received(), c.wire);
    }
    peer.received().clear();
    EXPECT_TRUE(link.sendAscii(0));
    link.sendString(QStringLiteral("!"));
    ASSERT_TRUE(waitUntil([&] { return !peer.received().isEmpty(); }));
    EXPECT_EQ(peer.received(), QByteArray("!"));
}

TEST_F(TcpLink, RemoteCloseIsReported)
{
    QSignalSpy remote(&link, &SocketController::portClosedRemote);
    peer.write("last\n");
    peer.closeConnection();
    ASSERT_TRUE(waitUntil([&] { return remote.count() == 1; }));
    EXPECT_EQ(received.all, QStringLiteral("last\nSocket Controller: Port closed.\n"));
    EXPECT_FALSE(link.isPortOpen());
}

TEST_F(TcpLink, ResetConnectionIsReportedAsClosed)
{
    QSignalSpy remote(&link, &SocketController::portClosedRemote);
    QSignalSpy errors(&link, &SocketController::socketError);
    peer.writeSeparately("last\n");
    ASSERT_TRUE(waitUntil([&] { return received.all == QStringLiteral("last\n"); }));
    // Closing with a zero linger time sends a reset instead of a close.
    const linger abortive{1, 0};
    ASSERT_EQ(::setsockopt(static_cast<int>(peer.socket()->socketDescriptor()), SOL_SOCKET, SO_LINGER, &abortive,
                           sizeof abortive),
              0);
    peer.socket()->abort();
    ASSERT_TRUE(waitUntil([&] { return remote.count() == 1; }));
    EXPECT_EQ(received.all, QStringLiteral("last\nSocket Controller: Port closed.\n"));
    EXPECT_EQ(errors.count(), 0);
    EXPECT_FALSE(link.isPortOpen());
}

TEST_F(TcpLink, LocalCloseIsNoError)
{
    QSignalSpy local(&link, &SocketController::portClosedLocal);
    QSignalSpy errors(&link, &SocketController::socketError);
    link.openPort(false);
    ASSERT_TRUE(waitUntil([&] { return local.count() == 1; }));
    EXPECT_FALSE(link.isPortOpen());
    EXPECT_EQ(errors.count(), 0);
    EXPECT_TRUE(received.all.isEmpty());
    EXPECT_FALSE(link.sendString(QStringLiteral("x")));
}

TEST(TcpLinkErrors, RefusedAndUnknownHost)
{
    quint16 closedPort = 0;
    {
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        closedPort = server.serverPort();
    }
    struct Case {
        QString host;
        int code;
    };
    for (const Case& c : {Case{QStringLiteral("127.0.0.1"), 0}, Case{QStringLiteral("nohost.invalid"), 1}}) {
        SocketController link;
        QSignalSpy errors(&link, &SocketController::socketError);
        link.frame().m_ip = c.host;
        link.frame().m_tcpPort = closedPort;
        link.openPort(true);
        ASSERT_TRUE(waitUntil([&] { return errors.count() > 0; })) << qPrintable(c.host);
        EXPECT_EQ(errors.at(0).at(0).toInt(), c.code);
        EXPECT_FALSE(link.isPortOpen());
    }
}

TEST(TcpLinkErrors, ErrorCodes)
{
    EXPECT_EQ(SocketController::errorCode(QAbstractSocket::ConnectionRefusedError), 0);
    EXPECT_EQ(SocketController::errorCode(QAbstractSocket::HostNotFoundError), 1);
    EXPECT_EQ(SocketController::errorCode(QAbstractSocket::NetworkError), 2);
    EXPECT_EQ(SocketController::errorCode(QAbstractSocket::RemoteHostClosedError), -1);
}

TEST(TcpLinkStress, ReopensWhileStreaming)
{
    TcpPeer peer;
    QTimer stream;
    QObject::connect(&stream, &QTimer::timeout, [&] {
        if (peer.connected())
            peer.write("1.0 2.0 3.0\n");
    });
    stream.start(1);
    SocketController link;
    Received received(link);
    link.frame().m_tcpPort = peer.port();
    for (int i = 0; i < 100; ++i) {
        const qsizetype before = received.all.size();
        link.openPort(true);
        ASSERT_TRUE(waitUntil([&] { return received.all.size() > before; })) << "reopen " << i;
        link.openPort(false);
    }
    EXPECT_EQ(peer.accepted(), 100);
}

// ------------------------------------------------------------ serial

class SerialLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.valid());
        link.frame().m_comPort = pty.slavePath();
        link.openPort(true);
        ASSERT_TRUE(link.isPortOpen()) << qPrintable(link.errorText());
    }
    PtyPair pty;
    SerialPortController link;
    Received received{link};
};

TEST_F(SerialLink, ReceivesAndSends)
{
    ASSERT_TRUE(pty.write("12.5 3.25\r\n"));
    ASSERT_TRUE(waitUntil([&] { return received.all.endsWith(QLatin1Char('\n')); }));
    EXPECT_EQ(received.all, QStringLiteral("12.5 3.25\r\n"));

    struct Case {
        std::function<bool()> send;
        QByteArray wire;
    };
    const std::vector<Case> cases{
        {[&] { return link.sendString(QString::fromLatin1("*IDN?\r\xB5")); }, QByteArray("*IDN?\r\xB5")},
        {[&] { return link.sendAscii(0x0D); }, bytes({13})}, // no CR LF expansion on serial
        {[&] { return link.sendAscii(0x425B1B); }, bytes({27, 91, 66})},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(c.send());
        QByteArray wire;
        ASSERT_TRUE(waitUntil([&] {
            wire += pty.readAvailable();
            return wire.size() >= c.wire.size();
        }));
        EXPECT_EQ(wire, c.wire);
    }
    EXPECT_TRUE(link.sendAscii(0));
    ASSERT_TRUE(waitUntil([&] { return link.worker()->status() == SERIAL_WRITE_DONE; }));
    EXPECT_TRUE(pty.readAvailable().isEmpty());

    // Keys typed faster than the worker passes all go out, in order.
    const QByteArray typed("MEAS:FREQ? (@1)\r");
    for (const char c : typed)
        link.sendAscii(c);
    QByteArray wire;
    ASSERT_TRUE(waitUntil([&] {
        wire += pty.readAvailable();
        return wire.size() >= typed.size();
    }));
    EXPECT_EQ(wire, typed);
}

TEST_F(SerialLink, NulBytesLoseNothingAfterThem)
{
    ASSERT_TRUE(pty.write(QByteArray("A\0B\0\0C\n", 7)));
    ASSERT_TRUE(waitUntil([&] { return received.all.endsWith(QLatin1Char('\n')); }));
    EXPECT_EQ(received.all, QStringLiteral("ABC\n"));
}

TEST_F(SerialLink, BusyConsumerGetsEverythingInOneText)
{
    received.autoReady = false;
    link.frame().m_ready.store(false);
    QByteArray data;
    for (int i = 0; i < 1000; ++i)
        data += QByteArray::number(i) + " " + QByteArray::number(i * 0.5) + "\n";
    ASSERT_TRUE(pty.write(data));
    ASSERT_TRUE(waitUntil([&] { return link.worker()->heldCharacters() == data.size(); }));
    EXPECT_TRUE(received.texts.isEmpty());
    link.frame().m_ready.store(true);
    ASSERT_TRUE(waitUntil([&] { return !received.texts.isEmpty(); }));
    ASSERT_EQ(received.texts.size(), 1);
    EXPECT_EQ(received.texts[0], QString::fromLatin1(data));
}

TEST_F(SerialLink, SlowConsumerLosesNothing)
{
    // The consumer takes each text only some time after it arrived.
    received.autoReady = false;
    QObject::connect(&link, &DeviceInterface::stringReady, [&] {
        QTimer::singleShot(3, &link, [&] { link.frame().m_ready.store(true); });
    });
    QByteArray data;
    for (int i = 0; i < 100000; ++i)
        data += QByteArray::number(i) + ",x\n";
    ASSERT_TRUE(pty.write(data));
    ASSERT_TRUE(waitUntil([&] { return received.all.size() >= data.size(); }));
    EXPECT_TRUE(received.all == QString::fromLatin1(data));
    EXPECT_LT(received.texts.size(), 100000);
}

TEST_F(SerialLink, VanishingPortIsReported)
{
    QSignalSpy failed(&link, &DeviceInterface::writeError);
    ASSERT_TRUE(pty.write("before\n"));
    ASSERT_TRUE(waitUntil([&] { return received.all == QStringLiteral("before\n"); }));
    pty.closeMaster();
    ASSERT_TRUE(waitUntil([&] { return failed.count() == 1; }));
    EXPECT_TRUE(link.errorText().startsWith(QStringLiteral("Serial error: the port"))) << qPrintable(link.errorText());
    EXPECT_TRUE(waitUntil([&] { return !link.isPortOpen(); }));
}

TEST_F(SerialLink, ReopensWhileStreaming)
{
    QTimer stream;
    QObject::connect(&stream, &QTimer::timeout, [&] { pty.write("1.0 2.0\n"); });
    stream.start(1);
    for (int i = 0; i < 100; ++i) {
        const qsizetype before = received.all.size();
        ASSERT_TRUE(link.isPortOpen()) << "reopen " << i << ": " << qPrintable(link.errorText());
        ASSERT_TRUE(waitUntil([&] { return received.all.size() > before; })) << "reopen " << i;
        link.openPort(false);
        EXPECT_FALSE(link.isPortOpen());
        link.openPort(true);
    }
    stream.stop();
}

TEST(SerialLinkErrors, MissingPortAndClosedLink)
{
    SerialPortController link;
    QSignalSpy invalid(&link, &DeviceInterface::invalidPort);
    link.frame().m_comPort = QStringLiteral("/dev/kro-no-such-port");
    link.openPort(true);
    EXPECT_FALSE(link.isPortOpen());
    ASSERT_TRUE(waitUntil([&] { return invalid.count() == 1; }));
    EXPECT_TRUE(link.errorText().startsWith(QStringLiteral("Serial error: cannot open /dev/kro-no-such-port")));

    // A send on a link that is not open sends nothing and says why.
    link.openPort(false);
    EXPECT_TRUE(link.sendString(QStringLiteral("x")));
    ASSERT_TRUE(waitUntil([&] { return invalid.count() == 2; }));
    EXPECT_EQ(link.worker()->status(), SERIAL_PORT_NOT_OPEN);
    EXPECT_EQ(link.errorText(), QStringLiteral("Serial error: the port is not open.\n"));
}

TEST(SerialLinkErrors, BusyPort)
{
    PtyPair pty;
    ASSERT_TRUE(pty.valid());
    SerialPortController first;
    first.frame().m_comPort = pty.slavePath();
    first.openPort(true);
    ASSERT_TRUE(first.isPortOpen());
    SerialPortController second;
    QSignalSpy invalid(&second, &DeviceInterface::invalidPort);
    second.frame().m_comPort = pty.slavePath();
    second.openPort(true);
    EXPECT_FALSE(second.isPortOpen());
    ASSERT_TRUE(waitUntil([&] { return invalid.count() == 1; }));
    EXPECT_TRUE(second.errorText().startsWith(QStringLiteral("Serial error: cannot open ") + pty.slavePath()));
    // The first link goes on receiving.
    Received received(first);
    ASSERT_TRUE(pty.write("still here\n"));
    ASSERT_TRUE(waitUntil([&] { return received.all == QStringLiteral("still here\n"); }));
}

TEST(SerialLinkErrors, DeletingAnOpenLinkWhileStreaming)
{
    PtyPair pty;
    ASSERT_TRUE(pty.valid());
    for (int i = 0; i < 20; ++i) {
        auto link = std::make_unique<SerialPortController>();
        link->frame().m_comPort = pty.slavePath();
        link->openPort(true);
        ASSERT_TRUE(link->isPortOpen());
        pty.write("5 6 7\n");
        link->sendString(QStringLiteral("ping\r"));
        link.reset(); // worker stopped and joined first
        QCoreApplication::processEvents();
    }
}

TEST(SerialLinkLines, ModemBits)
{
    struct Case {
        int pinout;
        unsigned long bits;
    };
    const std::vector<Case> cases{
        {QSerialPort::NoSignal, 0},
        {QSerialPort::ClearToSendSignal, 1},
        {QSerialPort::DataSetReadySignal, 2},
        {QSerialPort::DataCarrierDetectSignal, 4},
        {QSerialPort::RingIndicatorSignal, 8},
        {QSerialPort::RequestToSendSignal | QSerialPort::DataTerminalReadySignal, 0},
        {QSerialPort::ClearToSendSignal | QSerialPort::RingIndicatorSignal | QSerialPort::SecondaryTransmittedDataSignal, 9},
    };
    for (const Case& c : cases)
        EXPECT_EQ(modemBitsFromPinout(c.pinout), c.bits) << c.pinout;
}

TEST(SerialProbe, ListsThePortsThatOpen)
{
    PtyPair second;
    PtyPair first;
    ASSERT_TRUE(first.valid() && second.valid());
    const QStringList found = probeComPorts({QStringLiteral("/dev/kro-absent"), second.slavePath(), first.slavePath()});
    QStringList expected{first.slavePath(), second.slavePath()};
    // Natural order of the names.
    std::sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    EXPECT_EQ(found, expected);
}

} // namespace
