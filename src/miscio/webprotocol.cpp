#include "miscio/webprotocol.h"

#include <QCoreApplication>
#include <QList>
#include <QRegularExpression>

#include <algorithm>

namespace {

QString tr(const char* text) { return QCoreApplication::translate("WGetWidget", text); }

} // namespace

WebAddress parseWebAddress(const QString& typed)
{
    WebAddress a;
    QString rest = typed.trimmed();
    static const QRegularExpression prefix(QStringLiteral("\\A([A-Za-z][A-Za-z0-9+.-]*)://"));
    const QRegularExpressionMatch m = prefix.match(rest);
    if (m.hasMatch()) {
        const QString word = m.captured(1).toLower();
        if (word == QLatin1String("http")) {
            a.scheme = WebScheme::HTTP;
        } else if (word == QLatin1String("ftp")) {
            a.scheme = WebScheme::FTP;
        } else if (word == QLatin1String("file")) {
            a.scheme = WebScheme::FILE;
        } else {
            a.error = tr("Unsupported address \"%1\": use http://, ftp:// or file://.").arg(m.captured(1));
            return a;
        }
        rest.remove(0, m.capturedLength());
    }
    a.host = rest;
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    if (slash >= 0) {
        a.path = rest.mid(slash);
        if (a.scheme != WebScheme::FILE)
            a.host = rest.left(slash);
    }
    a.directory = a.path.left(a.path.lastIndexOf(QLatin1Char('/')));
    if (a.scheme == WebScheme::FILE) {
        if (a.host.isEmpty())
            a.error = tr("The address names no file.");
        return a;
    }
    static const QRegularExpression hostPort(QStringLiteral("\\A([^:]*):(\\d*)\\z"));
    const QRegularExpressionMatch hp = hostPort.match(a.host);
    if (hp.hasMatch()) {
        bool ok = false;
        const int port = hp.captured(2).toInt(&ok, 10);
        if (!ok || port < 1 || port > 65535) {
            a.error = tr("The port of the address \"%1\" is not a number from 1 to 65535.").arg(typed.trimmed());
            return a;
        }
        a.port = port;
        a.host = hp.captured(1);
    }
    static const QRegularExpression badHost(QStringLiteral("[\\s:@/\\\\?#]|[\\x00-\\x1f]"));
    if (a.host.isEmpty() && !m.hasMatch() && rest.startsWith(QLatin1Char('/')))
        a.error = tr("The address \"%1\" names no host. For a file on this computer write file://%1.")
                      .arg(typed.trimmed());
    else if (a.host.isEmpty())
        a.error = tr("The address \"%1\" names no host.").arg(typed.trimmed());
    else if (a.host.contains(badHost))
        a.error = tr("The host name \"%1\" is not valid.").arg(a.host);
    return a;
}

int defaultWebPort(WebScheme scheme) { return scheme == WebScheme::HTTP ? 80 : 21; }

QString httpRequestText(const QString& path, const QString& version, const QString& host, int port)
{
    QByteArray target;
    for (const char c : path.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7f)
            target += '%' + QByteArray::number(u, 16).toUpper().rightJustified(2, '0');
        else
            target += c;
    }
    QString hostLine = host;
    if (port > 0 && port != 80)
        hostLine += QLatin1Char(':') + QString::number(port);
    return QStringLiteral("GET %1 HTTP/%2\r\nHost: %3\r\nAccept: *\r\n\r\n")
        .arg(QString::fromLatin1(target), version, hostLine);
}

// ------------------------------------------------------------------ response

HttpResponseReader::HttpResponseReader(BodySink sink) : m_sink(std::move(sink)) {}

void HttpResponseReader::fail(const QString& text)
{
    m_state = State::Failed;
    m_error = text;
}

void HttpResponseReader::emitBody(const char* data, qsizetype size)
{
    if (size <= 0)
        return;
    m_bodyBytes += size;
    if (m_sink)
        m_sink(data, size);
}

QByteArray HttpResponseReader::field(const QByteArray& name) const
{
    const QList<QByteArray> lines = m_header.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

void HttpResponseReader::parseHeader()
{
    const qsizetype lineEnd = m_header.indexOf('\n');
    const QByteArray statusLine = (lineEnd < 0 ? m_header : m_header.left(lineEnd)).trimmed();
    static const QRegularExpression status(QStringLiteral("\\AHTTP/\\d+(?:\\.\\d+)?\\s+(\\d{3})(?:\\s+(.*))?\\z"));
    const QRegularExpressionMatch m = status.match(QString::fromLatin1(statusLine));
    if (!m.hasMatch()) {
        fail(tr("HTTP error: the server's answer is not an HTTP response."));
        return;
    }
    m_statusCode = m.captured(1).toInt();
    m_statusText = (m.captured(1) + QLatin1Char(' ') + m.captured(2)).trimmed();
    m_chunked = field("Transfer-Encoding").toLower().contains("chunked");
    const QByteArray length = field("Content-Length");
    if (!length.isEmpty() && !m_chunked) {
        bool ok = false;
        m_contentLength = length.toLongLong(&ok, 10);
        if (!ok || m_contentLength < 0) {
            fail(tr("HTTP error: the Content-Length \"%1\" is not a number.").arg(QString::fromLatin1(length)));
            return;
        }
    }
    if (m_statusCode == 204 || m_statusCode == 304 || m_contentLength == 0)
        m_state = State::Done;
    else if (m_chunked)
        m_state = State::ChunkSize;
    else
        m_state = State::Body;
}

void HttpResponseReader::feed(const char* data, qsizetype size)
{
    m_received += size;
    const char* p = data;
    const char* end = data + size;
    while (p < end) {
        switch (m_state) {
        case State::Done:
        case State::Failed:
            return;
        case State::Header: {
            // Take bytes up to the end of the header only, so the body
            // starts in the right state.
            const qsizetype before = m_pending.size();
            m_pending.append(p, end - p);
            qsizetype cut = m_pending.indexOf("\r\n\r\n");
            qsizetype sep = 4;
            const qsizetype lf = m_pending.indexOf("\n\n");
            if (lf >= 0 && (cut < 0 || lf < cut)) {
                cut = lf;
                sep = 2;
            }
            if (cut < 0) {
                if (m_pending.size() > MAX_HEADER)
                    fail(tr("HTTP error: the response header is longer than %1 bytes.").arg(MAX_HEADER));
                return;
            }
            m_header = m_pending.left(cut);
            p += cut + sep - before;
            m_pending.clear();
            parseHeader();
            if (m_state != State::Failed && m_statusCode >= 100 && m_statusCode < 200) {
                // An interim answer ("100 Continue"): the real one follows.
                m_state = State::Header;
                m_header.clear();
                m_contentLength = -1;
                m_chunked = false;
            }
            break;
        }
        case State::Body: {
            qsizetype n = end - p;
            if (m_contentLength >= 0)
                n = static_cast<qsizetype>(std::min<qint64>(n, m_contentLength - m_bodyBytes));
            emitBody(p, n);
            p += n;
            if (m_contentLength >= 0 && m_bodyBytes >= m_contentLength)
                m_state = State::Done;
            break;
        }
        case State::ChunkSize: {
            const char* nl = std::find(p, end, '\n');
            m_pending.append(p, nl - p);
            if (m_pending.size() > 1024) {
                fail(tr("HTTP error: a chunk-size line is too long."));
                return;
            }
            if (nl == end)
                return;
            p = nl + 1;
            QByteArray line = m_pending.trimmed();
            m_pending.clear();
            const qsizetype ext = line.indexOf(';');
            if (ext >= 0)
                line = line.left(ext).trimmed();
            if (line.size() >= 3 && (line.startsWith("0x") || line.startsWith("0X")))
                line.remove(0, 2);
            bool ok = false;
            const qint64 chunk = line.toLongLong(&ok, 16);
            if (!ok || chunk < 0 || line.isEmpty()) {
                fail(tr("HTTP error: the chunk size \"%1\" is not a hexadecimal number.")
                         .arg(QString::fromLatin1(line)));
                return;
            }
            m_chunkLeft = chunk;
            m_state = chunk == 0 ? State::Done : State::ChunkData;
            break;
        }
        case State::ChunkData: {
            const auto n = static_cast<qsizetype>(std::min<qint64>(end - p, m_chunkLeft));
            emitBody(p, n);
            p += n;
            m_chunkLeft -= n;
            if (m_chunkLeft == 0)
                m_state = State::ChunkEnd;
            break;
        }
        case State::ChunkEnd:
            if (*p == '\n') {
                m_state = State::ChunkSize;
            } else if (*p != '\r') {
                fail(tr("HTTP error: a chunk is longer than its size says."));
                return;
            }
            ++p;
            break;
        }
    }
}

void HttpResponseReader::finish()
{
    if (m_state == State::Body && m_contentLength < 0) {
        m_state = State::Done;
    } else if (m_state == State::Header) {
        fail(tr("HTTP error: the server closed the connection before the header was complete."));
    } else if (m_state == State::Body) {
        fail(tr("HTTP error: the server closed the connection after %1 of %2 bytes.")
                 .arg(m_bodyBytes)
                 .arg(m_contentLength));
    } else if (m_state != State::Done && m_state != State::Failed) {
        fail(tr("HTTP error: the server closed the connection before the last chunk."));
    }
}
