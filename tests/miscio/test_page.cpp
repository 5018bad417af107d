// The instrument page: received-text path, plot link, settings and links,
// against pseudo-terminals and loopback servers.
#include <gtest/gtest.h>

#include "support/peers.h"
#include "miscio/deviceiotab.h"
#include "miscio/logedit.h"
#include "miscio/serialportio.h"
#include "miscio/socketcontroller.h"
#include "platform/labeledwidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using kro::test::PtyPair;
using kro::test::TcpPeer;
using kro::test::waitUntil;

namespace {

// The receiving end of the plot link: records texts and mappings, and sets
// the ready flag like the plot tabs do.
struct PlotReceiver {
    explicit PlotReceiver(DeviceIOTab& page)
    {
        QObject::connect(&page, &DeviceIOTab::newDeviceString,
                         [this](const QString& label, const QString& text, bool& ready) {
                             labels.append(label);
                             texts.append(text);
                             all += text;
                             ready = setsReady;
                         });
        QObject::connect(&page, &DeviceIOTab::linkStatusChanged,
                         [this](const QString& label, const FileObject& mapping, int slide, bool linked) {
                             links.push_back({label, mapping, slide, linked});
                         });
    }
    struct Link {
        QString label;
        FileObject mapping;
        int slide;
        bool linked;
    };
    QStringList labels;
    QStringList texts;
    QString all;
    std::vector<Link> links;
    bool setsReady = true;
};

DeviceFrame tcpFrame(quint16 port = 23)
{
    DeviceFrame f;
    f.m_mode = IOMode::TCP;
    f.m_tcpPort = port;
    f.m_label = QStringLiteral("Counter");
    return f;
}

std::unique_ptr<DeviceIOTab> makePage(const DeviceFrame& frame, const QStringList& ports = {QStringLiteral("ttyS0")})
{
    auto page = std::make_unique<DeviceIOTab>(nullptr, 0, ports, frame);
    page->applyFrame();
    return page;
}

// A page named "Counter" connected to the slave side of the pair.
std::unique_ptr<DeviceIOTab> makeSerialPage(const PtyPair& pty)
{
    DeviceFrame serial;
    serial.m_comPort = pty.slavePath();
    serial.m_label = QStringLiteral("Counter");
    serial.m_connected = true;
    return makePage(serial, {});
}

TEST(InstrumentPage, LinkWaitsForTheFirstCompleteLine)
{
    auto page = makePage(tcpFrame());
    PlotReceiver plot(*page);
    page->linkButton()->setChecked(true);
    page->on_newstring(QStringLiteral("3.1 4"));
    EXPECT_TRUE(plot.texts.isEmpty());
    page->on_newstring(QStringLiteral(".2\n5.0 6.1\n7"));
    ASSERT_EQ(plot.texts.size(), 1);
    EXPECT_EQ(plot.texts[0], QStringLiteral("\n5.0 6.1\n7"));
    EXPECT_EQ(plot.labels[0], QStringLiteral("Counter"));
    page->on_newstring(QStringLiteral("\n8 9\n"));
    EXPECT_EQ(plot.all, QStringLiteral("\n5.0 6.1\n7\n8 9\n"));
    // Switching the link off and on waits for a complete line again.
    page->linkButton()->setChecked(false);
    page->linkButton()->setChecked(true);
    page->on_newstring(QStringLiteral("1 2\n3 4\n"));
    EXPECT_EQ(plot.texts.size(), 3);
    EXPECT_EQ(plot.texts.back(), QStringLiteral("\n3 4\n"));
}

TEST(InstrumentPage, CarriageReturnLineFeedSplitOverTwoTextsEndsOneLine)
{
    auto page = makePage(tcpFrame());
    PlotReceiver plot(*page);
    page->linkButton()->setChecked(true);
    page->on_newstring(QStringLiteral("0 0\r\n1 1.5\r"));
    page->on_newstring(QStringLiteral("\n2 3\r\n3 4.5\r"));
    page->on_newstring(QStringLiteral("\n"));
    page->on_newstring(QStringLiteral("\n")); // a bare line feed is a line end of its own
    EXPECT_EQ(plot.all, QStringLiteral("\n1 1.5\n2 3\n3 4.5\n\n"));
}

TEST(InstrumentPage, ReadyFlag)
{
    auto page = makePage(tcpFrame());
    PlotReceiver plot(*page);
    DeviceFrame& f = page->frame();

    f.m_ready.store(false);
    page->on_newstring(QStringLiteral("x\n")); // not linked: ready at once
    EXPECT_TRUE(f.m_ready.load());

    page->linkButton()->setChecked(true);
    f.m_ready.store(false);
    page->on_newstring(QStringLiteral("no line yet")); // waiting: ready at once
    EXPECT_TRUE(f.m_ready.load());

    plot.setsReady = false;
    f.m_ready.store(false);
    page->on_newstring(QStringLiteral("\n1\n2\n")); // handed over: the receiver decides
    EXPECT_EQ(plot.texts.size(), 1);
    EXPECT_FALSE(f.m_ready.load());
    plot.setsReady = true;
    page->on_newstring(QStringLiteral("3\n"));
    EXPECT_TRUE(f.m_ready.load());
}

TEST(InstrumentPage, ReceivedTextCleanUp)
{
    struct Case {
        const char* name;
        bool vt100;
        bool stamps;
        std::vector<const char*> texts;
        const char* shown; // "m" stands for the time stamp
    };
    const std::vector<Case> cases{
        {"CrLfBecomesOneFeed", false, false, {"a\r\nb\r\n"}, "a\nb\n"},
        {"ThreeFeedsBecomeTwo", false, false, {"a\n\n\nb"}, "a\n\nb"},
        {"SequencesLeftAloneWhenOff", false, false, {"\x1b[2Jx"}, "\x1b[2Jx"},
        {"SequencesRemovedWhenOn", true, false, {"\x1b[1mbold\x1b[0m\n"}, "bold\n"},
        {"StampsAtLineStarts", false, true, {"1 2\n3", " 4\n", "5\n"}, "m1 2\nm3 4\nm5\n"},
        {"EmptiedTextAfterFeedIsAStamp", true, true, {"a\n", "\x1b[K", "b\n"}, "ma\nmmb\n"},
        {"EmptiedTextMidLineIsNothing", true, true, {"a", "\x1b[K", "b\n"}, "mamb\n"},
    };
    const double mjd = 60321.123456789;
    const QString stamp = QStringLiteral("60321.123456789 ");
    for (const Case& c : cases) {
        auto page = makePage(tcpFrame());
        page->setClock([mjd] { return mjd; });
        page->vt100Box()->setChecked(c.vt100);
        page->timestampBox()->setChecked(c.stamps);
        for (const char* t : c.texts)
            page->on_newstring(QString::fromLatin1(t));
        QString expected = QString::fromLatin1(c.shown);
        expected.replace(QLatin1Char('m'), stamp);
        EXPECT_EQ(page->console()->shownText(), expected) << c.name;
    }
}

TEST(InstrumentPage, ColoursReachTheConsole)
{
    auto page = makePage(tcpFrame());
    page->vt100Box()->setChecked(true);
    page->on_newstring(QStringLiteral("\x1b[31mred\x1b[4"));
    page->on_newstring(QStringLiteral("4m\n"));
    EXPECT_EQ(page->console()->shownText(), QStringLiteral("red\n"));
    EXPECT_EQ(page->console()->textColor(), QColor(255, 0, 0));
    EXPECT_EQ(page->console()->backgroundColor(), QColor(0, 0, 255));
}

TEST(InstrumentPage, ColumnMappingOfThePlotLink)
{
    auto page = makePage(tcpFrame());
    PlotReceiver plot(*page);
    page->xEdit()->setText(QStringLiteral("0"));
    page->yEdit()->setText(QStringLiteral("2,3"));
    page->keyEdit()->setText(QStringLiteral("0"));
    page->slideEdit()->setText(QStringLiteral("500"));
    page->linkButton()->setChecked(true);
    ASSERT_EQ(plot.links.size(), 1u);
    const auto& l = plot.links[0];
    EXPECT_EQ(l.label, QStringLiteral("Counter"));
    EXPECT_EQ(l.slide, 500);
    EXPECT_TRUE(l.linked);
    EXPECT_EQ(l.mapping.m_xColumn, -1);
    EXPECT_EQ(l.mapping.m_keyColumn, -1);
    ASSERT_EQ(l.mapping.m_yColumns.size(), 2u);
    EXPECT_EQ(l.mapping.m_yColumns[0].column, 1);
    EXPECT_EQ(l.mapping.m_yColumns[0].title, QStringLiteral("Column 2"));
    EXPECT_EQ(l.mapping.m_yColumns[1].column, 2);
    EXPECT_EQ(l.mapping.m_yColumns[1].title, QStringLiteral("Column 3"));
    EXPECT_EQ(l.mapping.m_yColumns[1].mul, 1.0);
    // While linked the column fields and the console are locked.
    EXPECT_FALSE(page->yEdit()->isEnabled());
    EXPECT_FALSE(page->console()->isEnabled());
    page->linkButton()->setChecked(false);
    ASSERT_EQ(plot.links.size(), 2u);
    EXPECT_FALSE(plot.links[1].linked);
    EXPECT_TRUE(page->console()->isEnabled());

    struct YCase {
        const char* text;
        std::vector<int> columns;
    };
    for (const YCase& c : {YCase{"2, 3,4", {2, 3, 4}}, YCase{"", {}}, YCase{"7 ", {7}}, YCase{",,5,,", {5}}}) {
        page->yEdit()->setText(QString::fromLatin1(c.text));
        EXPECT_EQ(page->yColumns(), c.columns) << c.text;
    }
    page->keyEdit()->setText(QStringLiteral("abc"));
    EXPECT_EQ(page->keyColumn(), 0);
}

TEST(InstrumentPage, ModeSwitchKeepsSettings)
{
    DeviceFrame serial;
    serial.m_label = QStringLiteral("Phase");
    serial.m_comPort = QStringLiteral("ttyUSB1");
    serial.m_baud = 300;
    serial.m_parity = 3;
    serial.m_stopBits = 1;
    serial.m_flow = 2;
    auto page = makePage(serial, {QStringLiteral("ttyUSB1"), QStringLiteral("ttyS0")});
    ASSERT_NE(qobject_cast<SerialPortController*>(page->link()), nullptr);
    // 300 baud is no item: the link uses it, the box keeps its item.
    EXPECT_EQ(page->frame().m_baud, 300);
    EXPECT_EQ(page->baudBox()->combo()->currentText(), QStringLiteral("1200"));
    EXPECT_EQ(page->parityBox()->combo()->currentText(), QStringLiteral("MARK"));
    EXPECT_EQ(page->stopBitsBox()->combo()->currentText(), QStringLiteral("1.5"));
    EXPECT_EQ(page->flowBox()->combo()->currentText(), QStringLiteral("XONXOFF"));
    EXPECT_EQ(page->portBox()->combo()->currentText(), QStringLiteral("ttyUSB1"));
    EXPECT_TRUE(page->communicationGroup()->isEnabled());

    page->slot_changeIOMode(static_cast<int>(IOMode::TCP));
    ASSERT_NE(qobject_cast<SocketController*>(page->link()), nullptr);
    EXPECT_EQ(page->frame().m_mode, IOMode::TCP);
    EXPECT_EQ(page->frame().m_baud, 300);
    EXPECT_EQ(page->frame().m_label, QStringLiteral("Phase"));
    EXPECT_EQ(page->frame().m_comPort, QStringLiteral("ttyUSB1"));
    EXPECT_FALSE(page->communicationGroup()->isEnabled());
    EXPECT_TRUE(page->modeButton(IOMode::TCP)->isChecked());

    // Settings slots write the link's frame.
    page->slot_changeIOMode(static_cast<int>(IOMode::SERIAL));
    page->changeBaud(9); // 115200
    page->changeStopBits(2);
    page->changeParity(1);
    page->changeFlow(1);
    page->changeDataBits(0);
    page->tcpSpecs()->portEdit()->setText(QStringLiteral("5025"));
    page->tcpSpecs()->ipEdit()->setText(QStringLiteral("10.1.2.3"));
    const DeviceFrame& f = page->frame();
    EXPECT_EQ(f.m_baud, 115200);
    EXPECT_EQ(f.m_stopBits, 2);
    EXPECT_EQ(f.m_parity, 1);
    EXPECT_EQ(f.m_flow, 1);
    EXPECT_EQ(f.m_dataBits, 5);
    EXPECT_EQ(f.m_tcpPort, 5025);
    EXPECT_EQ(f.m_ip, QStringLiteral("10.1.2.3"));
}

TEST(InstrumentPage, LabelChangeIsAnnounced)
{
    auto page = makePage(tcpFrame());
    QSignalSpy renamed(page.get(), &DeviceIOTab::instrLabelChanged);
    page->labelEdit()->setText(QStringLiteral("Maser"));
    ASSERT_EQ(renamed.count(), 1);
    EXPECT_EQ(page->frame().m_label, QStringLiteral("Maser"));
}

TEST(InstrumentPage, LineBoxes)
{
    DeviceFrame serial;
    auto page = makePage(serial);
    QSignalSpy lines(page.get(), &DeviceIOTab::lineStatusChanged);
    page->lineBox(LineStatus::DTR)->setChecked(true);
    ASSERT_EQ(lines.count(), 1);
    EXPECT_EQ(lines.at(0).at(0).value<LineStatus>(), LineStatus::DTR);
    EXPECT_TRUE(lines.at(0).at(1).toBool());

    page->updateLineStatus(MODEM_CTS | MODEM_RI);
    EXPECT_TRUE(page->lineBox(LineStatus::CTS)->isChecked());
    EXPECT_FALSE(page->lineBox(LineStatus::DSR)->isChecked());
    EXPECT_FALSE(page->lineBox(LineStatus::DCD)->isChecked());
    EXPECT_TRUE(page->lineBox(LineStatus::RI)->isChecked());

    const bool states[6] = {true, false, false, true, true, false}; // RTS DTR CTS DSR DCD RI
    page->changeLineStatus(states);
    EXPECT_TRUE(page->lineBox(LineStatus::RTS)->isChecked());
    EXPECT_FALSE(page->lineBox(LineStatus::DTR)->isChecked());
    EXPECT_TRUE(page->lineBox(LineStatus::DSR)->isChecked());
    EXPECT_TRUE(page->lineBox(LineStatus::DCD)->isChecked());
    EXPECT_FALSE(page->lineBox(LineStatus::RI)->isChecked());
    // A closed serial link polls no lines: the next poll puts CTS back.
    page->lineBox(LineStatus::CTS)->setChecked(true);
    ASSERT_TRUE(waitUntil([&] { return !page->lineBox(LineStatus::CTS)->isChecked(); }));
}

TEST(InstrumentPage, SerialInstrumentOnAPseudoTerminal)
{
    PtyPair pty;
    ASSERT_TRUE(pty.valid());
    auto page = makeSerialPage(pty);
    PlotReceiver plot(*page);
    ASSERT_TRUE(page->link()->isPortOpen());
    EXPECT_EQ(page->connectButton()->text(), QStringLiteral("Disconnect"));
    EXPECT_FALSE(page->modeButton(IOMode::TCP)->isEnabled());
    EXPECT_FALSE(page->portBox()->isEnabled());

    ASSERT_TRUE(pty.write("0 1.5\r\n"));
    ASSERT_TRUE(waitUntil([&] { return page->console()->shownText() == QStringLiteral("0 1.5\n"); }));

    page->linkButton()->setChecked(true);
    QByteArray rows;
    for (int i = 1; i <= 2000; ++i)
        rows += QByteArray::number(i) + " " + QByteArray::number(i * 1.5) + "\r\n";
    ASSERT_TRUE(pty.write(rows));
    ASSERT_TRUE(waitUntil([&] { return plot.all.endsWith(QStringLiteral("2000 3000\n")); }));
    // The first (possibly partial) line before the first line feed is dropped.
    QString expected = QString::fromLatin1(rows).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_TRUE(expected.endsWith(plot.all));
    EXPECT_TRUE(plot.all.startsWith(QLatin1Char('\n')));

    // Keys typed in the console go to the instrument.
    page->linkButton()->setChecked(false);
    QTest::keyClick(page->console(), Qt::Key_R);
    QTest::keyClick(page->console(), Qt::Key_Return);
    QByteArray wire;
    ASSERT_TRUE(waitUntil([&] {
        wire += pty.readAvailable();
        return wire.size() >= 2;
    }));
    EXPECT_EQ(wire, QByteArray("r\r"));

    page->connectButton()->setChecked(false);
    EXPECT_FALSE(page->link()->isPortOpen());
    EXPECT_TRUE(page->modeButton(IOMode::TCP)->isEnabled());
}

TEST(InstrumentPage, BinaryFloodLeavesThePageWorking)
{
    PtyPair pty;
    ASSERT_TRUE(pty.valid());
    auto page = makeSerialPage(pty);
    PlotReceiver plot(*page);
    ASSERT_TRUE(page->link()->isPortOpen());
    page->vt100Box()->setChecked(true);
    page->linkButton()->setChecked(true);

    // Every byte value, escape sequences cut anywhere, NUL runs.
    QByteArray flood(1 << 20, '\0');
    quint32 state = 12345;
    for (char& c : flood) {
        state = state * 1664525u + 1013904223u;
        c = static_cast<char>(state >> 24);
    }
    ASSERT_TRUE(pty.write(flood));
    ASSERT_TRUE(pty.write("\n1 2\n3 4\n"));
    ASSERT_TRUE(waitUntil([&] { return plot.all.endsWith(QStringLiteral("\n1 2\n3 4\n")); }));
    EXPECT_TRUE(page->link()->isPortOpen());
    page->linkButton()->setChecked(false);
    ASSERT_TRUE(pty.write("5 6\n"));
    ASSERT_TRUE(waitUntil([&] { return page->console()->shownText().endsWith(QStringLiteral("5 6\n")); }));
    EXPECT_LE(page->console()->shownText().count(QLatin1Char('\n')), page->console()->maxLines());
}

TEST(InstrumentPage, LinkProblemsGoToTheConsole)
{
    DeviceFrame serial;
    serial.m_comPort = QStringLiteral("/dev/kro-no-such-port");
    auto page = makePage(serial);
    page->connectButton()->setChecked(true);
    ASSERT_TRUE(waitUntil([&] { return !page->console()->shownText().isEmpty(); }));
    EXPECT_TRUE(page->console()->shownText().startsWith(QStringLiteral("Serial error: cannot open /dev/kro-no-such-port")));

    quint16 closedPort = 0;
    {
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        closedPort = server.serverPort();
    }
    auto tcp = makePage(tcpFrame(closedPort));
    tcp->connectButton()->setChecked(true);
    ASSERT_TRUE(waitUntil([&] { return !tcp->console()->shownText().isEmpty(); }));
    EXPECT_EQ(tcp->console()->shownText(), QStringLiteral("TCP error: Connection refused.\n"));

    tcp->tcperror(1);
    tcp->tcperror(2);
    tcp->tcperror(7);
    EXPECT_EQ(tcp->console()->shownText(), QStringLiteral("TCP error: Connection refused.\nTCP error: Host not found.\n"
                                                          "TCP error: Socket read operation failed.\n"));
}

TEST(InstrumentPage, TcpInstrumentWithTelnet)
{
    TcpPeer peer;
    auto page = makePage(tcpFrame(peer.port()));
    page->vt100Box()->setChecked(true);
    page->connectButton()->setChecked(true);
    ASSERT_TRUE(peer.waitConnected());
    peer.write(QByteArray("\xFF\xFD\x1F", 3) + "\x1b[2J\x1b[32mready\r\n");
    ASSERT_TRUE(waitUntil([&] { return page->console()->shownText() == QStringLiteral("ready\n"); }));
    EXPECT_EQ(page->console()->textColor(), QColor(0, 255, 0));
    ASSERT_TRUE(waitUntil([&] { return peer.received().size() >= 12; }));
    QTest::keyClick(page->console(), Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return peer.received().size() >= 14; }));
    EXPECT_EQ(peer.received().right(2), QByteArray("\r\n"));
}

} // namespace
