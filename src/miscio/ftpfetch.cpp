#include "miscio/ftpfetch.h"

#include <QCoreApplication>
#include <QUrl>

#include <curl/curl.h>

#include <exception>
#include <mutex>

FtpFetch::FtpFetch(const QString& host, int port, const QString& directory, const QString& file, qint64 maxBytes,
                   int timeoutMs, QObject* parent)
    : QThread(parent), m_maxBytes(maxBytes), m_timeoutMs(timeoutMs)
{
    // The library's global set-up is not thread-safe: do it once, here on
    // the GUI thread, before any worker runs.
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    QUrl url;
    url.setScheme(QStringLiteral("ftp"));
    url.setHost(host);
    url.setPort(port);
    url.setPath(directory + QLatin1Char('/') + file);
    m_url = url.toEncoded();
}

FtpFetch::~FtpFetch()
{
    cancel();
    wait();
}

size_t FtpFetch::write(char* data, size_t size, size_t count, void* self)
{
    auto* f = static_cast<FtpFetch*>(self);
    const size_t n = size * count;
    if (!f->m_sawData) {
        f->m_sawData = true;
        Q_EMIT f->stateChanged(LoggedIn);
    }
    if (f->m_data.size() + static_cast<qint64>(n) > f->m_maxBytes) {
        f->m_tooLarge = true;
        return 0;
    }
    f->m_data.append(data, static_cast<qsizetype>(n));
    return n;
}

int FtpFetch::progress(void* self, long long, long long, long long, long long)
{
    return static_cast<FtpFetch*>(self)->m_cancel ? 1 : 0;
}

void FtpFetch::run()
{
    try {
        Q_EMIT stateChanged(HostLookup);
        CURL* curl = curl_easy_init();
        if (!curl) {
            m_error = tr("the FTP client could not be started");
            Q_EMIT stateChanged(Unconnected);
            return;
        }
        char message[CURL_ERROR_SIZE] = {};
        curl_easy_setopt(curl, CURLOPT_URL, m_url.constData());
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &FtpFetch::write);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &FtpFetch::progress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_timeoutMs));
        // Silence for the time-out ends the transfer like the HTTP client's
        // no-response timer.
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>((m_timeoutMs + 999) / 1000));
        curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(m_maxBytes));
        Q_EMIT stateChanged(Connecting);
        const CURLcode rc = curl_easy_perform(curl);
        Q_EMIT stateChanged(Closing);
        curl_easy_cleanup(curl);
        if (rc != CURLE_OK) {
            m_data.clear();
            if (m_tooLarge || rc == CURLE_FILESIZE_EXCEEDED)
                m_error = tr("the file is larger than %1 bytes").arg(m_maxBytes);
            else if (m_cancel)
                m_error = tr("the transfer was cancelled");
            else
                m_error = message[0] ? QString::fromUtf8(message).trimmed() : QString::fromUtf8(curl_easy_strerror(rc));
        }
        Q_EMIT stateChanged(Unconnected);
    } catch (const std::exception& e) {
        m_data.clear();
        m_error = QString::fromUtf8(e.what());
    } catch (...) {
        m_data.clear();
        m_error = tr("unknown failure");
    }
}
