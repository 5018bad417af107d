#pragma once
// The pieces of the web-fetch tool that need no widget: reading an address
// typed by the user, the HTTP request text, and an HTTP response reader that
// takes the bytes as they arrive, separates the header and decodes the body
// (counted by Content-Length, chunked, or ended by the server closing the
// connection).
#include <QByteArray>
#include <QString>

#include <functional>

enum class WebScheme { HTTP = 0, FTP = 1, FILE = 2 };

struct WebAddress {
    WebScheme scheme = WebScheme::HTTP;
    // http and ftp: the host name; file: the whole file path.
    QString host;
    // The part after the scheme prefix from its first "/" on ("/" when none).
    QString path = QStringLiteral("/");
    // The path up to, not including, its last "/".
    QString directory;
    // A port written after the host ("host:8080"); 0 when none was written.
    int port = 0;
    // Why the address cannot be fetched; empty when it can.
    QString error;
};

// Reads an address: "http://", "ftp://" and "file://" (any case) select the
// scheme and only that leading prefix is removed; a text without a prefix is
// fetched over HTTP. Any other "word://" prefix, an empty host, a bad port
// or blanks in the host name set the error text.
WebAddress parseWebAddress(const QString& text);

// The default port of a scheme: 80 for http, 21 for ftp and file.
int defaultWebPort(WebScheme scheme);

// The GET request for the path: "GET <path> HTTP/<version>\r\nHost:
// <host>\r\nAccept: *\r\n\r\n". Blanks, control and non-ASCII characters of
// the path are percent-encoded (UTF-8); the Host line names the port only
// when it is not 80.
QString httpRequestText(const QString& path, const QString& version, const QString& host, int port);

class HttpResponseReader {
public:
    // Receives the decoded body bytes as they come.
    using BodySink = std::function<void(const char* data, qsizetype size)>;

    explicit HttpResponseReader(BodySink sink = {});

    // Takes received bytes. Bytes after the end of the body are ignored.
    void feed(const char* data, qsizetype size);
    void feed(const QByteArray& bytes) { feed(bytes.constData(), bytes.size()); }
    // The server closed the connection: a body without a length ends here;
    // a body that is still short of its announced end is an error.
    void finish();

    bool headerComplete() const { return m_state != State::Header; }
    bool complete() const { return m_state == State::Done; }
    bool failed() const { return m_state == State::Failed; }
    const QString& error() const { return m_error; }

    // The header as received, without the blank line that ends it.
    const QByteArray& header() const { return m_header; }
    int statusCode() const { return m_statusCode; }
    // The status line after the version ("404 Not Found").
    const QString& statusText() const { return m_statusText; }
    // The value of a header field, names compared without regard to case;
    // empty when absent.
    QByteArray field(const QByteArray& name) const;
    // The announced body length, -1 when none was announced.
    qint64 contentLength() const { return m_contentLength; }
    bool chunked() const { return m_chunked; }
    // Bytes taken in all, header included.
    qint64 bytesReceived() const { return m_received; }
    // Body bytes decoded so far.
    qint64 bodyBytes() const { return m_bodyBytes; }

    // The largest header accepted.
    static constexpr qsizetype MAX_HEADER = 64 * 1024;

private:
    enum class State { Header, Body, ChunkSize, ChunkData, ChunkEnd, Done, Failed };

    void parseHeader();
    void emitBody(const char* data, qsizetype size);
    void fail(const QString& text);

    BodySink m_sink;
    State m_state = State::Header;
    QByteArray m_pending;   // header bytes, or an unfinished chunk-size line
    QByteArray m_header;
    QString m_statusText;
    QString m_error;
    int m_statusCode = 0;
    qint64 m_contentLength = -1;
    bool m_chunked = false;
    qint64 m_received = 0;
    qint64 m_bodyBytes = 0;
    qint64 m_chunkLeft = 0;
};
