// Reading web addresses, the GET request text and HTTP responses taken in
// the pieces a socket may deliver them in.
#include <gtest/gtest.h>

#include "miscio/webprotocol.h"

#include <QByteArray>
#include <QString>

namespace {

TEST(WebAddress, SchemesHostsAndPaths)
{
    struct Case {
        const char* text;
        WebScheme scheme;
        const char* host;
        const char* path;
        const char* directory;
        int port;
    };
    const Case cases[] = {
        {"http://example.org/data/log.txt", WebScheme::HTTP, "example.org", "/data/log.txt", "/data", 0},
        // No path: "/" is requested.
        {"example.org", WebScheme::HTTP, "example.org", "/", "", 0},
        // No prefix: HTTP, the host up to the first "/".
        {"example.org/x/y.csv", WebScheme::HTTP, "example.org", "/x/y.csv", "/x", 0},
        {"HTTP://Example.org/a", WebScheme::HTTP, "Example.org", "/a", "", 0},
        {"ftp://ftp.example.org/pub/data/x.txt", WebScheme::FTP, "ftp.example.org", "/pub/data/x.txt", "/pub/data", 0},
        // The file scheme in capitals; the rest is the whole path.
        {"FILE:///tmp/live/data.txt", WebScheme::FILE, "/tmp/live/data.txt", "/tmp/live/data.txt", "/tmp/live", 0},
        // Only the leading prefix goes: a query naming another address stays.
        {"http://h/get?u=http://x/y", WebScheme::HTTP, "h", "/get?u=http://x/y", "/get?u=http://x", 0},
        // A port written after the host.
        {"127.0.0.1:8080/feed", WebScheme::HTTP, "127.0.0.1", "/feed", "", 8080},
        {"ftp://h:2121/f.txt", WebScheme::FTP, "h", "/f.txt", "", 2121},
        {"  http://h/p  ", WebScheme::HTTP, "h", "/p", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const WebAddress a = parseWebAddress(QString::fromUtf8(c.text));
        EXPECT_TRUE(a.error.isEmpty()) << qPrintable(a.error);
        EXPECT_EQ(a.scheme, c.scheme);
        EXPECT_EQ(a.host, QString::fromUtf8(c.host));
        EXPECT_EQ(a.path, QString::fromUtf8(c.path));
        EXPECT_EQ(a.directory, QString::fromUtf8(c.directory));
        EXPECT_EQ(a.port, c.port);
    }
}

TEST(WebAddress, UnusableAddressesSayWhy)
{
    struct Case {
        const char* text;
        const char* says;
    };
    const Case cases[] = {
        {"gopher://h/x", "Unsupported address \"gopher\""},
        {"https://h/x", "Unsupported address \"https\""},
        {"http://", "names no host"},
        {"http:///x", "names no host"},
        {"", "names no host"},
        {"http://h:99999/x", "not a number from 1 to 65535"},
        {"http://h:0/x", "not a number from 1 to 65535"},
        {"http://my host/x", "is not valid"},
        {"file://", "names no file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const WebAddress a = parseWebAddress(QString::fromUtf8(c.text));
        EXPECT_TRUE(a.error.contains(QString::fromUtf8(c.says))) << qPrintable(a.error);
    }
}

TEST(WebRequest, GetLinesEndInCrLf)
{
    EXPECT_EQ(httpRequestText(QStringLiteral("/data/log.txt"), QStringLiteral("1.1"), QStringLiteral("h"), 80),
              QStringLiteral("GET /data/log.txt HTTP/1.1\r\nHost: h\r\nAccept: *\r\n\r\n"));
    // Another port is named in the Host line; blanks, controls and
    // non-ASCII characters of the path are encoded.
    EXPECT_EQ(httpRequestText(QString::fromUtf8("/a b\r\n/é"), QStringLiteral("1.0"), QStringLiteral("h"), 8080),
              QStringLiteral("GET /a%20b%0D%0A/%C3%A9 HTTP/1.0\r\nHost: h:8080\r\nAccept: *\r\n\r\n"));
}

struct Fed {
    QByteArray body;
    bool complete = false;
    bool failed = false;
    QString error;
    qint64 received = 0;
};

// Feeds the response in pieces of the given size (0: whole), then, when
// asked, reports the server's close.
Fed feedResponse(const QByteArray& response, int piece, bool close)
{
    Fed out;
    HttpResponseReader r([&](const char* d, qsizetype n) { out.body.append(d, n); });
    if (piece <= 0) {
        r.feed(response);
    } else {
        for (qsizetype i = 0; i < response.size(); i += piece)
            r.feed(response.mid(i, piece));
    }
    if (close)
        r.finish();
    out.complete = r.complete();
    out.failed = r.failed();
    out.error = r.error();
    out.received = r.bytesReceived();
    return out;
}

TEST(HttpResponse, BodiesOfEveryKindInAnyPieces)
{
    struct Case {
        const char* name;
        QByteArray response;
        bool close; // the server closes after the response
        QByteArray body;
    };
    const QByteArray hundred(100, 'x');
    const Case cases[] = {
        {"content length", "HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\n1 2\n3 4\n", false, "1 2\n3 4\n"},
        {"lower-case header, two blanks", "HTTP/1.1 200 OK\r\ncontent-length:  3\r\n\r\nabc", false, "abc"},
        {"bytes beyond the length are ignored", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabcdef", false, "abc"},
        {"zero length completes at the header", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", false, ""},
        {"one chunk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n", false, "hello"},
        {"several chunks, extension and 0x",
         "HTTP/1.1 200 OK\r\ntransfer-encoding: Chunked\r\n\r\n3\r\n1 2\r\n0x2;x=y\r\n\n3\r\n3\r\n 4\n\r\n"
         "0\r\n\r\n",
         false, "1 2\n3 4\n"},
        {"chunk sizes in hex", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n64\r\n" + hundred + "\r\n0\r\n\r\n",
         false, hundred},
        {"HTTP/1.0 ended by close", "HTTP/1.0 200 OK\r\nServer: x\r\n\r\nrow 1\nrow 2", true, "row 1\nrow 2"},
        {"interim answer first", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok", false,
         "ok"},
        {"header ended by bare line feeds", "HTTP/1.0 200 OK\nContent-Length: 2\n\nok", false, "ok"},
    };
    for (const Case& c : cases) {
        for (const int piece : {0, 1, 7}) {
            SCOPED_TRACE(std::string(c.name) + ", pieces of " + std::to_string(piece));
            const Fed f = feedResponse(c.response, piece, c.close);
            EXPECT_TRUE(f.complete) << qPrintable(f.error);
            EXPECT_EQ(f.body, c.body);
            EXPECT_EQ(f.received, c.response.size());
        }
    }
}

TEST(HttpResponse, IncompleteAndBrokenResponses)
{
    struct Case {
        const char* name;
        QByteArray response;
        bool close;
        const char* error; // empty: still waiting, no error
    };
    const Case cases[] = {
        {"short of its length, still open", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nabc", false, ""},
        {"short of its length, closed", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nabc", true,
         "closed the connection after 3 of 100 bytes"},
        {"no length, still open", "HTTP/1.1 200 OK\r\n\r\nabc", false, ""},
        {"closed in the header", "HTTP/1.1 200 OK\r\nContent-Le", true, "before the header was complete"},
        {"closed before the last chunk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n", true,
         "before the last chunk"},
        {"bad chunk size", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nabc", false,
         "\"zz\" is not a hexadecimal number"},
        {"chunk longer than its size", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nabc\r\n", false,
         "longer than its size"},
        {"not HTTP", "SSH-2.0-OpenSSH\r\n\r\n", false, "not an HTTP response"},
        {"bad length", "HTTP/1.1 200 OK\r\nContent-Length: lots\r\n\r\n", false, "\"lots\" is not a number"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Fed f = feedResponse(c.response, 0, c.close);
        EXPECT_FALSE(f.complete);
        EXPECT_EQ(f.failed, *c.error != 0);
        EXPECT_TRUE(f.error.contains(QString::fromUtf8(c.error))) << qPrintable(f.error);
    }
}

TEST(HttpResponse, AnEndlessHeaderIsRefused)
{
    const Fed f = feedResponse("HTTP/1.1 200 OK\r\nX: " + QByteArray(HttpResponseReader::MAX_HEADER, 'a'), 4096, false);
    EXPECT_TRUE(f.failed);
    EXPECT_TRUE(f.error.contains(QStringLiteral("header is longer"))) << qPrintable(f.error);
}

TEST(HttpResponse, StatusAndFields)
{
    HttpResponseReader r;
    r.feed(QByteArray("HTTP/1.1 301 Moved Permanently\r\nlocation: http://elsewhere/x\r\nContent-Length: 0\r\n\r\n"));
    EXPECT_TRUE(r.complete());
    EXPECT_EQ(r.statusCode(), 301);
    EXPECT_EQ(r.statusText(), QStringLiteral("301 Moved Permanently"));
    EXPECT_EQ(r.field("Location"), QByteArray("http://elsewhere/x"));
    EXPECT_EQ(r.field("Server"), QByteArray());
    EXPECT_EQ(r.header(), QByteArray("HTTP/1.1 301 Moved Permanently\r\nlocation: http://elsewhere/x\r\nContent-Length: 0"));
}

} // namespace
