#pragma once
// StdinNotify: the reader thread of a host program's pipe. It reads bytes
// from a descriptor (normally standard input of "kro -linked" or "-piped")
// and hands them to a receiver on the GUI thread in batches, one batch at a
// time: a batch is posted only while the ready flag is set, and the
// receiver sets it again once it has processed the batch. Text arriving
// meanwhile accumulates and goes out as the next batch. At the end of the
// stream it posts StdinClosed. It does not interpret the text.
//
// The reader waits in poll() on its descriptor and on a private wake pipe,
// so stopping it takes effect at once even while no input arrives; a
// running reader is never destroyed (the destructor stops it and waits).
#include <QByteArray>
#include <QEvent>
#include <QMutex>
#include <QString>
#include <QThread>
#include <QWaitCondition>

namespace STDINSTRING {
enum TYPE { STDINSTR = 8776, STDINCLOSED = 8777 };
}

// A batch of text from a reader. The event owns its text, so it stays valid
// whatever becomes of the reader.
class StdinStr : public QEvent {
public:
    StdinStr(QByteArray text, int readFd, int stopFd, const QString& label, quint64 reader)
        : QEvent(QEvent::Type(STDINSTRING::STDINSTR)), m_text(std::move(text)), m_readFd(readFd), m_stopFd(stopFd),
          m_label(label), m_reader(reader)
    {
    }
    const QByteArray& text() const { return m_text; }
    int readFd() const { return m_readFd; }
    int stopFd() const { return m_stopFd; }
    const QString& label() const { return m_label; }
    // The serial number of the reader that posted it.
    quint64 reader() const { return m_reader; }

private:
    QByteArray m_text;
    int m_readFd;
    int m_stopFd;
    QString m_label;
    quint64 m_reader;
};

// The end of a reader's stream. error: empty, or what ended the reading.
class StdinClosed : public QEvent {
public:
    StdinClosed(int readFd, int stopFd, const QString& label, quint64 reader, const QString& error = QString())
        : QEvent(QEvent::Type(STDINSTRING::STDINCLOSED)), m_readFd(readFd), m_stopFd(stopFd), m_label(label),
          m_reader(reader), m_error(error)
    {
    }
    int readFd() const { return m_readFd; }
    int stopFd() const { return m_stopFd; }
    const QString& label() const { return m_label; }
    quint64 reader() const { return m_reader; }
    const QString& error() const { return m_error; }

private:
    int m_readFd;
    int m_stopFd;
    QString m_label;
    quint64 m_reader;
    QString m_error;
};

class StdinNotify : public QThread {
    Q_OBJECT

public:
    // Room reserved in a fresh batch buffer.
    static constexpr qsizetype BUFFER_RESERVE = 8191;
    // While this much text waits for the receiver, reading pauses: the
    // host's writes then block in its pipe instead of filling our memory.
    static constexpr qsizetype BACKLOG_LIMIT = qsizetype(8) << 20;

    // readFd: the descriptor read from; stopFd: the owner's stop
    // descriptor (also carried by the events). A descriptor above 2 belongs
    // to the reader from now on and is closed by its destructor; the
    // standard descriptors are never closed. The label names the link in
    // the events.
    StdinNotify(int readFd, int stopFd, QObject* receiver, const QString& label);
    // Stops the reader and waits for it; then, when the stop descriptor is
    // not a standard one, writes a line feed and a NUL byte to it.
    ~StdinNotify() override;

    // Ends the reading (a reader blocked on input wakes at once); no
    // StdinClosed follows. Does not wait.
    void stop();
    // The receiver's side of the hand-shake: the last batch is processed;
    // post what has accumulated meanwhile, if anything.
    void setReady();

    quint64 serial() const { return m_serial; }
    int readFd() const { return m_readFd; }
    int stopFd() const { return m_stopFd; }
    const QString& label() const { return m_label; }
    // True from construction until the end of the stream or stop().
    bool runningFlag();
    // The bytes read that wait for the receiver.
    qsizetype pendingSize();

protected:
    void run() override;

private:
    // With m_mutex held: posts the current buffer when the ready flag is
    // set and the buffer is not empty.
    void postLines();
    // End of the stream: hands over everything still pending (a last line
    // without line feed gets one), then posts StdinClosed.
    void finish(const QString& error);

    QByteArray m_buffer;
    bool m_running = true;
    bool m_stopRequested = false;
    bool m_ready = true;
    char m_lastByte = 0;
    QObject* m_receiver;
    QMutex m_mutex;
    QWaitCondition m_readyChanged;
    int m_readFd;
    int m_stopFd;
    int m_wake[2] = {-1, -1};
    QString m_label;
    quint64 m_serial;
};
