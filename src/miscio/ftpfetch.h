#pragma once
// One anonymous FTP download on a worker thread (libcurl): the client
// changes to the file's directory and retrieves the file whole. The worker
// reports its progress as FTP client states and ends with the data or an
// error text. cancel() makes a running transfer stop soon; the owner then
// wait()s before it deletes the worker.
#include <QByteArray>
#include <QString>
#include <QThread>

#include <atomic>

class FtpFetch : public QThread {
    Q_OBJECT

public:
    // The client states reported through stateChanged.
    enum State { Unconnected = 0, HostLookup = 1, Connecting = 2, Connected = 3, LoggedIn = 4, Closing = 5 };

    // host and port of the server, the directory to change to and the file
    // name; a file larger than maxBytes is refused.
    FtpFetch(const QString& host, int port, const QString& directory, const QString& file, qint64 maxBytes,
             int timeoutMs, QObject* parent = nullptr);
    ~FtpFetch() override;

    void cancel() { m_cancel = true; }
    // After the thread finished: the file's bytes, or the error text (empty
    // on success).
    const QByteArray& data() const { return m_data; }
    const QString& error() const { return m_error; }
    // The address the worker fetches.
    const QByteArray& url() const { return m_url; }

Q_SIGNALS:
    void stateChanged(int state);

protected:
    void run() override;

private:
    static size_t write(char* data, size_t size, size_t count, void* self);
    static int progress(void* self, long long, long long, long long, long long);

    QByteArray m_url;
    QByteArray m_data;
    QString m_error;
    qint64 m_maxBytes;
    int m_timeoutMs;
    std::atomic<bool> m_cancel{false};
    bool m_tooLarge = false;
    bool m_sawData = false;
};
