// The web-fetch tool against real peers: a loopback HTTP server with canned
// answers, a real FTP server on loopback, and files in temporary folders.
// A recording receiver stands in for the plot tabs' live links.
#include <gtest/gtest.h>

#include "core/settings.h"
#include "import/fileobject.h"
#include "miscio/liveadvancedsetup.h"
#include "miscio/webfetch.h"
#include "platform/analogtimer.h"
#include "platform/labeledwidget.h"
#include "support/files.h"
#include "support/peers.h"

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
#include <QTimer>

#include <memory>
#include <vector>

using kro::test::waitUntil;
using kro::test::writeFile;

namespace {

// A loopback HTTP server. Every request (read up to its blank line) gets the
// next queued answer; the last one is repeated when the queue runs dry.
class HttpPeer {
public:
    struct Answer {
        QList<QByteArray> pieces; // written one after another, 20 ms apart
        bool close = false;       // the server closes after the last piece
        bool silent = false;      // the server reads and never answers
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

    QList<QByteArray> requests;

private:
    void respond(QTcpSocket* s)
    {
        Answer a = m_answers.empty() ? Answer{} : m_answers.front();
        if (m_answers.size() > 1)
            m_answers.erase(m_answers.begin());
        if (a.silent)
            return;
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
};

QByteArray ok(const QByteArray& body)
{
    return "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

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

// ------------------------------------------------------------------ FTP

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

TEST_F(WebFetchTest, FtpFetchesAFileByteExactAndReportsMissingAndOversizedOnes)
{
    QTemporaryDir dir;
    // No final line break: FTP text goes out exactly as received.
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
    EXPECT_EQ(texts()[0].toLatin1(), data);
    EXPECT_EQ(events[1].label, QStringLiteral("127.0.0.1"));
    EXPECT_TRUE(statusSeen(QStringLiteral("ftp://127.0.0.1 > Connecting")));

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
