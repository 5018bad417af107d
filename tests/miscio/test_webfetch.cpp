// The web-fetch tool against real peers: a loopback HTTP server with canned
// answers, a real FTP server on loopback, and files in temporary folders.
// A recording receiver stands in for the plot tabs' live links.
#include <gtest/gtest.h>

#include "core/settings.h"
#include "help/helppages.h"
#include "import/fileobject.h"
#include "miscio/liveadvancedsetup.h"
#include "miscio/webfetch.h"
#include "platform/analogtimer.h"
#include "platform/labeledwidget.h"
#include "support/files.h"
#include "support/peers.h"
#include "support/webpeers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTest>
#include <QTimer>

#include <memory>
#include <vector>

#include <sys/stat.h>

using kro::test::FtpServer;
using kro::test::HttpPeer;
using kro::test::waitUntil;
using kro::test::writeFile;

namespace {

QByteArray ok(const QByteArray& body) { return kro::test::httpOk(body); }

// Rows "i 2i\n" up to at least the given size.
QByteArray rows(qsizetype size, int first = 1)
{
    QByteArray out;
    for (int i = first; out.size() < size; ++i)
        out += QByteArray::number(i) + ' ' + QByteArray::number(2 * i) + '\n';
    return out;
}

// What the live link received, in order.
struct Event {
    bool link = false; // linkStatusChanged, else newWebString
    QString label;
    QString text;
    FileObject mapping;
    int slide = 0;
    bool linked = false;
};

class WebFetchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile::remove(WebFetchWidget::historyPath());
        widget = std::make_unique<WebFetchWidget>();
        widget->setTiming({2000, 1, 100});
        QObject::connect(widget.get(), &WebFetchWidget::linkStatusChanged,
                         [this](const QString& label, const FileObject& m, int slide, bool linked) {
                             events.push_back({true, label, QString(), m, slide, linked});
                         });
        QObject::connect(widget.get(), &WebFetchWidget::newWebString,
                         [this](const QString& label, const QString& text, bool& ready) {
                             Event e;
                             e.label = label;
                             e.text = text;
                             events.push_back(e);
                             ready = true;
                         });
        QObject::connect(widget.get(), &WebFetchWidget::status,
                         [this](const QString& text) { statuses.append(text); });
    }

    void fetch(const QString& address, bool linked)
    {
        widget->setAddress(address);
        widget->linkBox()->setChecked(linked);
        widget->connectButton()->click();
    }
    QString http(const HttpPeer& peer, const char* path = "/data.txt") const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(peer.port()).arg(QLatin1String(path));
    }
    std::vector<QString> texts() const
    {
        std::vector<QString> out;
        for (const Event& e : events)
            if (!e.link)
                out.push_back(e.text);
        return out;
    }
    QString allText() const
    {
        QString out;
        for (const QString& t : texts())
            out += t;
        return out;
    }
    bool waitIdle()
    {
        return waitUntil([this] {
            return widget->state() == WebFetchWidget::TransferState::Idle && widget->queuedJobs() == 0 &&
                   !statuses.isEmpty() && !statuses.last().startsWith(QLatin1String("Attempting"));
        });
    }
    bool statusSeen(const QString& part) const
    {
        for (const QString& s : statuses)
            if (s.contains(part))
                return true;
        return false;
    }
    static QStringList spoolFilesOnDisk()
    {
        return QDir(getAppPath()).entryList({QStringLiteral("*.spool")}, QDir::Files);
    }

    std::unique_ptr<WebFetchWidget> widget;
    std::vector<Event> events;
    QStringList statuses;
};

// ------------------------------------------------------------------ HTTP

TEST_F(WebFetchTest, LinkedBodiesOfEveryKindReachThePlotOnce)
{
    struct Case {
        const char* name;
        HttpPeer::Answer answer;
        QString delivered;
    };
    const QByteArray body = "1 2\n3 4\n";
    const Case cases[] = {
        {"content length", {{ok(body)}, false, false}, "1 2\n3 4\n"},
        {"lower-case header", {{"HTTP/1.1 200 OK\r\ncontent-length: 8\r\n\r\n" + body}, false, false}, "1 2\n3 4\n"},
        {"no final line break", {{ok("1 2\n3 4")}, false, false}, "1 2\n3 4\n"},
        {"empty body", {{ok("")}, false, false}, "\n"},
        {"one chunk",
         {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n"}, false, false},
         "hello\n"},
        {"several chunks in several writes",
         {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", "4\r\n1 2\n\r\n", "4\r\n3 4\n\r\n",
           "0\r\n\r\n"},
          false,
          false},
         "1 2\n3 4\n"},
        {"HTTP/1.0 ended by close", {{"HTTP/1.0 200 OK\r\n\r\n1 2\n", "3 4\n"}, true, false}, "1 2\n3 4\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        events.clear();
        statuses.clear();
        HttpPeer peer;
        peer.answer(c.answer);
        fetch(http(peer), true);
        ASSERT_TRUE(waitUntil([&] { return !texts().empty(); })) << qPrintable(statuses.join(QLatin1Char('|')));
        ASSERT_TRUE(waitIdle());
        ASSERT_EQ(texts().size(), 1u);
        EXPECT_EQ(texts()[0], c.delivered);
        ASSERT_TRUE(events[0].link);
        EXPECT_EQ(events[0].label, QStringLiteral("127.0.0.1"));
        EXPECT_TRUE(events[0].linked);
        EXPECT_EQ(events[1].label, QStringLiteral("127.0.0.1"));
        EXPECT_EQ(widget->bodyView()->toPlainText(), c.delivered);
        ASSERT_EQ(peer.requests.size(), 1);
        EXPECT_EQ(peer.requests[0], QStringLiteral("GET /data.txt HTTP/1.1\r\nHost: 127.0.0.1:%1\r\nAccept: *\r\n\r\n")
                                        .arg(peer.port())
                                        .toLatin1());
    }
}

TEST_F(WebFetchTest, FailedTransfersDeliverNothingAndSayWhy)
{
    struct Case {
        const char* name;
        HttpPeer::Answer answer;
        const char* status;
    };
    const Case cases[] = {
        {"silent peer", {{}, false, true}, "Communications Error: No connection or response to/from host."},
        {"closed mid-body",
         {{"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n1 2\n"}, true, false},
         "closed the connection after 4 of 100 bytes"},
        {"not found", {{"HTTP/1.1 404 Not Found\r\nContent-Length: 8\r\n\r\nno such\n"}, false, false},
         "HTTP error: 404 Not Found; nothing was delivered."},
        {"redirect to nowhere",
         {{"HTTP/1.1 302 Found\r\nLocation: http://nowhere.invalid/x\r\nContent-Length: 0\r\n\r\n"}, false, false},
         "moved to http://nowhere.invalid/x"},
        {"binary body", {{ok(QByteArray("1 2\n\0\x01\x02\n", 8))}, false, false}, "binary data"},
        {"not HTTP", {{"220 ftp ready\r\n\r\n"}, false, false}, "not an HTTP response"},
    };
    widget->setTiming({500, 1, 100});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        events.clear();
        statuses.clear();
        HttpPeer peer;
        peer.answer(c.answer);
        fetch(http(peer), true);
        ASSERT_TRUE(waitUntil([&] { return statusSeen(QString::fromUtf8(c.status)); }))
            << qPrintable(statuses.join(QLatin1Char('|')));
        ASSERT_TRUE(waitIdle());
        EXPECT_TRUE(texts().empty());
        EXPECT_EQ(widget->state(), WebFetchWidget::TransferState::Idle);
    }
}

TEST_F(WebFetchTest, UnlinkedLargeBodyShowsItsStartAndCompletes)
{
    const QByteArray body = rows(100000);
    HttpPeer peer;
    peer.answer(ok(body));
    fetch(http(peer), false);
    const QString last = QStringLiteral("Bytes Received: %1").arg(ok(body).size());
    ASSERT_TRUE(waitUntil([&] { return statusSeen(last); })) << qPrintable(statuses.join(QLatin1Char('|')));
    ASSERT_TRUE(waitIdle());
    const QString shown = widget->bodyView()->toPlainText();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("\n..."))) << qPrintable(shown.right(20));
    EXPECT_LE(shown.size(), 32767 + 5);
    EXPECT_TRUE(QString::fromLatin1(body).startsWith(shown.left(shown.size() - 5)));
    EXPECT_TRUE(texts().empty());
    EXPECT_TRUE(spoolFilesOnDisk().isEmpty());
}

TEST_F(WebFetchTest, LargeLinkedBodyIsSpooledFedInBlocksAndRemoved)
{
    const QByteArray body = rows(200000);
    widget->setBlockSize(65536);
    HttpPeer peer;
    peer.answer(ok(body));
    fetch(http(peer), true);
    bool sawSpool = false;
    ASSERT_TRUE(waitUntil([&] {
        sawSpool = sawSpool || !widget->spoolFiles().isEmpty();
        return allText().size() >= body.size();
    })) << qPrintable(statuses.join(QLatin1Char('|')));
    ASSERT_TRUE(waitIdle());
    EXPECT_TRUE(sawSpool);
    EXPECT_EQ(allText(), QString::fromLatin1(body));
    EXPECT_GE(texts().size(), 3u);
    for (const QString& t : texts())
        EXPECT_TRUE(t.endsWith(QLatin1Char('\n'))) << "a block ends inside a line";
    EXPECT_TRUE(spoolFilesOnDisk().isEmpty());
    EXPECT_TRUE(widget->spoolFiles().isEmpty());
}

TEST_F(WebFetchTest, BodyOverTheLimitIsRefusedWithoutSpoolLeft)
{
    widget->setBodyLimit(60000);
    HttpPeer peer;
    peer.answer(ok(rows(100000)));
    fetch(http(peer), true);
    ASSERT_TRUE(waitUntil([&] { return statusSeen(QStringLiteral("larger than 60000 bytes")); }))
        << qPrintable(statuses.join(QLatin1Char('|')));
    ASSERT_TRUE(waitIdle());
    EXPECT_TRUE(texts().empty());
    EXPECT_TRUE(spoolFilesOnDisk().isEmpty());
}

TEST_F(WebFetchTest, RefusedConnectionIsRetriedOnlyWhenContinuous)
{
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    const QString address = QStringLiteral("http://127.0.0.1:%1/feed").arg(port);

    // Single shot: reported once, not tried again.
    fetch(address, true);
    ASSERT_TRUE(waitUntil([&] { return statusSeen(QStringLiteral("Socket Error: Connection refused.")); }));
    EXPECT_FALSE(statusSeen(QStringLiteral("Trying again")));
    EXPECT_EQ(widget->state(), WebFetchWidget::TransferState::Failed);

    // Continuous: tried again after a pause, and a server that comes up is
    // reached.
    statuses.clear();
    widget->continuousButton()->click();
    fetch(address, true);
    ASSERT_TRUE(waitUntil([&] { return statusSeen(QStringLiteral("Trying again...")); }));
    HttpPeer peer(port);
    ASSERT_TRUE(peer.listening());
    peer.answer(ok("5 6\n"));
    ASSERT_TRUE(waitUntil([&] { return !texts().empty(); })) << qPrintable(statuses.join(QLatin1Char('|')));
    EXPECT_EQ(texts()[0], QStringLiteral("5 6\n"));
    widget->connectButton()->click(); // Stop
}

TEST_F(WebFetchTest, ContinuousFetchesDeliverEveryTextOnceInOrder)
{
    // The countdown runs on a clock the test moves.
    qint64 now = 0;
    widget->countdown()->setClock([&now] { return now; });
    widget->setBlockSize(4096);
    widget->setTiming({2000, 5, 100});
    HttpPeer peer;
    const QByteArray large = rows(40000, 1000);
    peer.answer(ok("1 10\n"));
    peer.answer(ok(large));
    peer.answer(ok("2 20\n"));
    peer.answer(ok("3 30\n"));
    widget->continuousButton()->click();
    EXPECT_TRUE(widget->countdown()->isVisible() || !widget->isVisible());
    fetch(http(peer), true);
    EXPECT_EQ(widget->connectButton()->text(), QStringLiteral("Stop"));
    EXPECT_FALSE(widget->columnsGroup()->isEnabled());
    for (int period = 1; period <= 3; ++period) {
        ASSERT_TRUE(waitUntil([&] { return peer.requests.size() == period && widget->state() ==
                                                                                  WebFetchWidget::TransferState::Idle; }));
        now += 5 * 60 * 1000; // one period
    }
    ASSERT_TRUE(waitUntil([&] { return peer.requests.size() == 4; }));
    ASSERT_TRUE(waitUntil([&] { return allText().endsWith(QStringLiteral("3 30\n")) && widget->queuedJobs() == 0; }))
        << qPrintable(allText().right(40));
    widget->connectButton()->click(); // Stop
    EXPECT_EQ(widget->connectButton()->text(), QStringLiteral("Connect"));
    EXPECT_TRUE(widget->columnsGroup()->isEnabled());
    EXPECT_EQ(allText(), QStringLiteral("1 10\n") + QString::fromLatin1(large) + QStringLiteral("2 20\n3 30\n"));
    EXPECT_TRUE(spoolFilesOnDisk().isEmpty());
    // Stopping announces the link as unlinked.
    ASSERT_TRUE(events.back().link);
    EXPECT_FALSE(events.back().linked);
}

// ------------------------------------------------------------------ files

TEST_F(WebFetchTest, ReplacingFileLinkReplacesThenAppendsThenReplacesAgain)
{
    QTemporaryDir dir;
    const QByteArray data = rows(200);
    const QString path = writeFile(dir.filePath(QStringLiteral("live data.txt")), data);
    widget->setBlockSize(64);
    widget->advancedSetup()->appendBox()->setChecked(false);
    widget->advancedSetup()->useHeaderBox()->setChecked(true);
    fetch(QStringLiteral("FILE://") + path, true);
    ASSERT_TRUE(waitIdle());
    EXPECT_TRUE(statusSeen(QStringLiteral("Connected to file: ") + path));
    EXPECT_EQ(allText(), QString::fromLatin1(data));
    ASSERT_GE(events.size(), 6u);
    // Connect announces the replacing link with its header row.
    EXPECT_TRUE(events[0].link);
    EXPECT_FALSE(events[0].mapping.m_append);
    EXPECT_EQ(events[0].mapping.m_header, 1);
    EXPECT_EQ(events[0].label, path);
    // The first block replaces; then the link appends.
    EXPECT_FALSE(events[1].link);
    ASSERT_TRUE(events[2].link);
    EXPECT_TRUE(events[2].mapping.m_append);
    EXPECT_EQ(events[2].mapping.m_header, -1);
    for (std::size_t i = 3; i + 1 < events.size(); ++i)
        EXPECT_FALSE(events[i].link);
    // After the file the link replaces again.
    ASSERT_TRUE(events.back().link);
    EXPECT_FALSE(events.back().mapping.m_append);
    EXPECT_EQ(events.back().mapping.m_header, -1);
}

TEST_F(WebFetchTest, FilePreviewMissingAndBinaryFiles)
{
    QTemporaryDir dir;
    const QByteArray data = rows(50000);
    const QString path = writeFile(dir.filePath(QStringLiteral("big.txt")), data);
    fetch(QStringLiteral("file://") + path, false);
    const QString shown = widget->bodyView()->toPlainText();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("\n...")));
    EXPECT_GE(shown.size(), 32767);
    EXPECT_TRUE(QString::fromLatin1(data).startsWith(shown.left(shown.size() - 4)));
    EXPECT_TRUE(texts().empty());

    fetch(QStringLiteral("file://") + dir.filePath(QStringLiteral("none.txt")), true);
    EXPECT_EQ(statuses.last(), QStringLiteral("Error opening file: ") + dir.filePath(QStringLiteral("none.txt")));
    EXPECT_TRUE(texts().empty());

    // A file holding binary data is shown but never reaches the plot.
    const QString binary = writeFile(dir.filePath(QStringLiteral("image.png")), QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    fetch(QStringLiteral("file://") + binary, true);
    ASSERT_TRUE(waitIdle());
    EXPECT_TRUE(statusSeen(QStringLiteral("holds binary data"))) << qPrintable(statuses.join(QLatin1Char('|')));
    EXPECT_TRUE(texts().empty());
    EXPECT_EQ(widget->queuedJobs(), 0);
}

// ------------------------------------------------------------------ addresses and mapping

TEST_F(WebFetchTest, BadAddressesFetchNothing)
{
    for (const char* address : {"gopher://h/x", "http://", "http://h:70000/x"}) {
        SCOPED_TRACE(address);
        events.clear();
        statuses.clear();
        fetch(QString::fromUtf8(address), true);
        EXPECT_TRUE(events.empty());
        ASSERT_FALSE(statuses.isEmpty());
        EXPECT_FALSE(statuses.last().startsWith(QLatin1String("Attempting")));
        EXPECT_EQ(widget->state(), WebFetchWidget::TransferState::Idle);
    }
}

TEST_F(WebFetchTest, ConnectAnnouncesTheColumnMapping)
{
    LiveAdvancedSetup& adv = *widget->advancedSetup();
    widget->xEdit()->setText(QStringLiteral("3"));
    widget->yEdit()->setText(QStringLiteral("2, 5 7"));
    adv.replaceBox()->setChecked(true);
    adv.useTimeBox()->setChecked(true);
    adv.timeColumnBox()->setValue(4);
    adv.useKeyBox()->setChecked(true);
    adv.keyColumnBox()->setValue(6);
    adv.skipBox()->setChecked(true);
    adv.skipRowsBox()->setValue(3);
    adv.slideBox()->setValue(500);
    fetch(QStringLiteral("file:///nonexistent/x"), true);
    ASSERT_FALSE(events.empty());
    const Event& e = events[0];
    ASSERT_TRUE(e.link);
    EXPECT_EQ(e.slide, 500);
    const FileObject& m = e.mapping;
    EXPECT_EQ(m.m_xColumn, 2);
    ASSERT_EQ(m.m_yColumns.size(), 3u);
    const int expected[] = {1, 4, 6};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(m.m_yColumns[i].column, expected[i]);
        EXPECT_EQ(m.m_yColumns[i].title, QStringLiteral("Column %1").arg(expected[i] + 1));
        EXPECT_EQ(m.m_yColumns[i].mul, 1.0);
    }
    EXPECT_TRUE(m.m_append);
    EXPECT_TRUE(m.m_mergeEqualX);
    EXPECT_EQ(m.m_timeColumn, 3);
    EXPECT_EQ(m.m_dateColumn, -2);
    EXPECT_EQ(m.m_datetimeColumn, -2);
    EXPECT_EQ(m.m_keyColumn, 5);
    EXPECT_EQ(m.m_header, 0);
    EXPECT_EQ(m.m_skip, 3);
    EXPECT_EQ(m.m_dateFormat, QStringLiteral("%Y-%m-%d"));
    EXPECT_EQ(m.m_timeFormat, QStringLiteral("%H:%M:%S%F"));
    EXPECT_EQ(m.m_datetimeFormat, QStringLiteral("%Y%m%dT%H%M%S%F"));
}

TEST_F(WebFetchTest, AddressHistoryRoundTrip)
{
    widget.reset();
    writeFile(WebFetchWidget::historyPath(), "a\n\nb\n");
    {
        WebFetchWidget w;
        QComboBox* box = w.addressBox()->combo();
        ASSERT_EQ(box->count(), 3);
        EXPECT_EQ(box->itemText(0), QStringLiteral("a"));
        EXPECT_EQ(box->itemText(1), QString());
        EXPECT_EQ(box->itemText(2), QStringLiteral("b"));
        // A new address is added once.
        for (int i = 0; i < 2; ++i) {
            w.setAddress(QStringLiteral("file:///x/é.txt"));
            w.connectButton()->click();
        }
        EXPECT_EQ(box->count(), 4);
    }
    EXPECT_EQ(kro::test::readFile(WebFetchWidget::historyPath()), QByteArray("a\n\nb\nfile:///x/\xc3\xa9.txt\n"));
}

TEST_F(WebFetchTest, NonRegularFilesAreRefusedWithoutBlocking)
{
    QTemporaryDir dir;
    // A FIFO nobody writes to would hold open() for ever.
    const QString fifo = dir.filePath(QStringLiteral("feed.fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {fifo, dir.path(), QStringLiteral("/dev/null")}) {
        SCOPED_TRACE(qPrintable(path));
        statuses.clear();
        events.clear();
        fetch(QStringLiteral("file://") + path, true);
        ASSERT_FALSE(statuses.isEmpty());
        EXPECT_EQ(statuses.last(), QStringLiteral("Error: %1 is not a regular file (a pipe, a device or a folder); "
                                                  "only regular files can be fetched.")
                                       .arg(path));
        EXPECT_TRUE(texts().empty());
        EXPECT_EQ(widget->queuedJobs(), 0);
    }
}

TEST_F(WebFetchTest, AnAddressWithoutPortUsesItsSchemesDefault)
{
    HttpPeer peer;
    peer.answer(ok("1 2\n"));
    const QString port = QString::number(peer.port());
    struct Case {
        QString address;
        int port;
    };
    // Each address is read after the one before it.
    const Case cases[] = {
        {QStringLiteral("http://127.0.0.1:%1/first").arg(port), peer.port()},
        {QStringLiteral("http://127.0.0.1/second"), 80},
        {QStringLiteral("ftp://127.0.0.1:%1/x.txt").arg(port), peer.port()},
        {QStringLiteral("ftp://127.0.0.1/x.txt"), 21},
        {QStringLiteral("127.0.0.1:%1/third").arg(port), peer.port()},
        {QStringLiteral("http://127.0.0.1/fourth"), 80},
    };
    for (const Case& c : cases) {
        widget->setAddress(c.address);
        EXPECT_EQ(widget->portEdit()->value().number, c.port) << qPrintable(c.address);
    }

    // The address with a port reaches the server; the next one without a
    // port asks port 80 and names no port in its Host line.
    fetch(QStringLiteral("http://127.0.0.1:%1/first").arg(port), true);
    ASSERT_TRUE(waitUntil([&] { return !texts().empty(); })) << qPrintable(statuses.join(QLatin1Char('|')));
    ASSERT_TRUE(waitIdle());
    widget->setAddress(QStringLiteral("http://127.0.0.1/second"));
    EXPECT_EQ(widget->portEdit()->value().number, 80);
    widget->get();
    EXPECT_EQ(widget->requestLine()->text(),
              QStringLiteral("GET /second HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: *\r\n\r\n"));
    if (widget->state() == WebFetchWidget::TransferState::Requested)
        widget->connectButton()->click(); // cancels

    // A port the user typed into the Port field stays.
    widget->portEdit()->setValue(peer.port(), true);
    events.clear();
    fetch(QStringLiteral("http://127.0.0.1/third"), true);
    EXPECT_EQ(widget->portEdit()->value().number, peer.port());
    ASSERT_TRUE(waitUntil([&] { return !texts().empty(); })) << qPrintable(statuses.join(QLatin1Char('|')));
    EXPECT_EQ(peer.requests.last(),
              QStringLiteral("GET /third HTTP/1.1\r\nHost: 127.0.0.1:%1\r\nAccept: *\r\n\r\n").arg(port).toLatin1());
}

TEST_F(WebFetchTest, StatusLinesSayHowATransferEnded)
{
    HttpPeer peer;
    peer.answer(ok("1 2\n\n3 4\n"));
    // Linked: how many rows went to the plot.
    fetch(http(peer), true);
    ASSERT_TRUE(waitUntil([&] { return !texts().empty(); }));
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(statuses.last(), QStringLiteral("Transfer finished: 2 rows handed to the plot."));
    // Fed in blocks: said once the last block has gone.
    QTemporaryDir dir;
    const QString path = writeFile(dir.filePath(QStringLiteral("rows.txt")), rows(20000));
    widget->setBlockSize(4096);
    statuses.clear();
    fetch(QStringLiteral("file://") + path, true);
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(statuses.last(), QStringLiteral("Transfer finished: %1 rows handed to the plot.")
                                   .arg(rows(20000).count('\n')));
    // Not linked: nothing was plotted, and the text says why.
    fetch(http(peer), false);
    ASSERT_TRUE(waitUntil([&] { return statuses.last().startsWith(QLatin1String("Transfer finished")); }))
        << qPrintable(statuses.join(QLatin1Char('|')));
    EXPECT_EQ(statuses.last(), QStringLiteral("Transfer finished: 9 bytes of body received; \"Link to Plotter\" is "
                                              "not ticked, so nothing was plotted."));

    // A bare path is refused once, with the address to write instead.
    statuses.clear();
    fetch(QStringLiteral("/tmp/x.txt"), true);
    EXPECT_EQ(statuses, QStringList{QStringLiteral("The address \"/tmp/x.txt\" names no host. For a file on this "
                                                   "computer write file:///tmp/x.txt.")});

    // Stop says so; nothing is being attempted any more.
    widget->continuousButton()->click();
    fetch(http(peer), true);
    ASSERT_EQ(widget->connectButton()->text(), QStringLiteral("Stop"));
    widget->connectButton()->click();
    EXPECT_EQ(statuses.last(), QStringLiteral("Stopped."));
}

TEST_F(WebFetchTest, ASingleShotTransferToASilentServerCanBeCancelled)
{
    HttpPeer peer;
    peer.answer(HttpPeer::Answer{{}, false, true});
    fetch(http(peer), true);
    ASSERT_TRUE(waitUntil([&] { return peer.requests.size() == 1; }));
    EXPECT_EQ(widget->state(), WebFetchWidget::TransferState::Requested);
    EXPECT_EQ(widget->connectButton()->text(), QStringLiteral("Cancel"));
    widget->connectButton()->click();
    EXPECT_EQ(widget->state(), WebFetchWidget::TransferState::Idle);
    EXPECT_EQ(widget->connectButton()->text(), QStringLiteral("Connect"));
    EXPECT_EQ(statuses.last(), QStringLiteral("Transfer cancelled; nothing was delivered."));
    EXPECT_EQ(peer.requests.size(), 1); // the press cancels and fetches nothing new
    EXPECT_TRUE(texts().empty());
    // The next press fetches again.
    widget->connectButton()->click();
    ASSERT_TRUE(waitUntil([&] { return peer.requests.size() == 2; }));
    widget->connectButton()->click();
}

TEST_F(WebFetchTest, TheCountdownWaitsForASlowServer)
{
    qint64 now = 0;
    widget->countdown()->setClock([&now] { return now; });
    HttpPeer peer;
    HttpPeer::Answer slow{{ok("1 10\n")}, false, false};
    slow.held = true;
    peer.answer(slow);
    peer.answer(ok("2 20\n"));
    widget->continuousButton()->click();
    fetch(http(peer), true);
    ASSERT_TRUE(waitUntil([&] { return peer.heldAnswers() == 1; }));
    // Several periods pass while the server has not answered: the transfer
    // is not cut off and nothing else is requested.
    EXPECT_TRUE(widget->countdown()->isPaused());
    const QTime left = widget->countdown()->remaining();
    now += 3 * 5 * 60 * 1000;
    QTest::qWait(100); // the countdown ticks every 10 ms
    EXPECT_EQ(widget->countdown()->remaining(), left);
    EXPECT_EQ(peer.requests.size(), 1);
    EXPECT_EQ(widget->state(), WebFetchWidget::TransferState::Requested);
    peer.release();
    ASSERT_TRUE(waitUntil([&] { return !texts().empty(); })) << qPrintable(statuses.join(QLatin1Char('|')));
    EXPECT_EQ(texts()[0], QStringLiteral("1 10\n"));
    // The countdown goes on from where it stood, and the next period fetches.
    EXPECT_FALSE(widget->countdown()->isPaused());
    EXPECT_TRUE(widget->countdown()->isRunning());
    now += 5 * 60 * 1000;
    ASSERT_TRUE(waitUntil([&] { return texts().size() == 2; })) << qPrintable(statuses.join(QLatin1Char('|')));
    EXPECT_EQ(texts()[1], QStringLiteral("2 20\n"));
    widget->connectButton()->click(); // Stop
}

TEST(WebFetchHelp, TheHelpPageNamesLocalFilesAndPorts)
{
    const QString page = helpPageText(3);
    EXPECT_TRUE(page.contains(QStringLiteral("file://"))) << qPrintable(page);
    EXPECT_TRUE(page.contains(QStringLiteral("host:port"))) << qPrintable(page);
    EXPECT_TRUE(page.contains(QStringLiteral("Cancel"))) << qPrintable(page);
}

// ------------------------------------------------------------------ FTP

TEST_F(WebFetchTest, FtpFetchesAFileByteExactAndReportsMissingAndOversizedOnes)
{
    QTemporaryDir dir;
    // No final line break: the fetched text is closed with one, so its last
    // row is complete.
    const QByteArray data = rows(3000) + "7 14";
    writeFile(dir.filePath(QStringLiteral("pub/data.txt")), data);
    FtpServer server(dir.path());
    if (!server.python())
        GTEST_SKIP() << "python3 is not installed, so there is no FTP server to fetch from";
    ASSERT_TRUE(server.ready()) << qPrintable(server.output());

    fetch(QStringLiteral("ftp://127.0.0.1:%1/pub/data.txt").arg(server.port()), true);
    ASSERT_TRUE(waitUntil([&] { return !texts().empty(); })) << qPrintable(statuses.join(QLatin1Char('|')));
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(texts().size(), 1u);
    EXPECT_EQ(texts()[0].toLatin1(), data + '\n');
    EXPECT_EQ(events[1].label, QStringLiteral("127.0.0.1"));
    EXPECT_TRUE(statusSeen(QStringLiteral("ftp://127.0.0.1 > Connecting")));
    // The last word is that the transfer finished, not the client's state.
    EXPECT_EQ(statuses.last(), QStringLiteral("Transfer finished: %1 rows handed to the plot.").arg(data.count('\n') + 1));

    statuses.clear();
    fetch(QStringLiteral("ftp://127.0.0.1:%1/pub/missing.txt").arg(server.port()), true);
    ASSERT_TRUE(waitUntil([&] { return statusSeen(QStringLiteral("FTP error: ")); }))
        << qPrintable(statuses.join(QLatin1Char('|')));
    EXPECT_EQ(texts().size(), 1u);
    EXPECT_EQ(widget->state(), WebFetchWidget::TransferState::Idle);

    // A file over the body limit is refused whole.
    statuses.clear();
    widget->setBodyLimit(1000);
    fetch(QStringLiteral("ftp://127.0.0.1:%1/pub/data.txt").arg(server.port()), true);
    ASSERT_TRUE(waitUntil([&] { return statusSeen(QStringLiteral("FTP error: the file is larger than 1000 bytes")); }))
        << qPrintable(statuses.join(QLatin1Char('|')));
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(texts().size(), 1u);
}

} // namespace
