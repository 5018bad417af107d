// The pipe reader thread on real pipes and socket pairs: batches paced by
// the ready flag, the end of the stream, long lines, a full backlog, and
// stopping a reader that waits for input.
#include "import/stdinnotify.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

#include "support/qtprinters.h"

namespace {

// Takes the reader's events; hands the ready flag back at once unless told
// to hold it.
class Receiver : public QObject {
public:
    StdinNotify* reader = nullptr;
    bool holdReady = false;
    QByteArray text;
    QList<QByteArray> batches;
    bool closed = false;
    bool textAfterClose = false;
    QString error;
    QString label;

protected:
    void customEvent(QEvent* e) override
    {
        if (int(e->type()) == STDINSTRING::STDINSTR) {
            auto* s = static_cast<StdinStr*>(e);
            textAfterClose = textAfterClose || closed;
            text += s->text();
            batches << s->text();
            label = s->label();
            if (!holdReady)
                reader->setReady();
        } else if (int(e->type()) == STDINSTRING::STDINCLOSED) {
            auto* c = static_cast<StdinClosed*>(e);
            closed = true;
            error = c->error();
        }
    }
};

bool waitFor(const std::function<bool()>& done, int ms = 20000)
{
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::yieldCurrentThread();
    }
    return true;
}

void writeBytes(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        ASSERT_GT(n, 0);
        done += n;
    }
}

struct Pipe {
    int fds[2] = {-1, -1};
    Pipe() { EXPECT_EQ(::pipe2(fds, O_CLOEXEC), 0); }
    ~Pipe()
    {
        if (fds[1] >= 0)
            ::close(fds[1]);
    }
    int readEnd() const { return fds[0]; } // the reader takes it over
    void closeWriteEnd()
    {
        ::close(fds[1]);
        fds[1] = -1;
    }
};

} // namespace

TEST(StdinNotify, TextArrivingWhileTheReceiverIsBusyComesAsOneBatch)
{
    Pipe pipe;
    Receiver r;
    r.holdReady = true;
    StdinNotify reader(pipe.readEnd(), 2, &r, "Live Plotter -1");
    r.reader = &reader;
    reader.start();
    writeBytes(pipe.fds[1], "a\n");
    ASSERT_TRUE(waitFor([&] { return r.batches.size() == 1; }));
    EXPECT_EQ(r.label, "Live Plotter -1");
    // Three lines while the first batch is being processed.
    writeBytes(pipe.fds[1], "b 1\n");
    writeBytes(pipe.fds[1], "c 2\n");
    writeBytes(pipe.fds[1], "d 3\n");
    ASSERT_TRUE(waitFor([&] { return reader.pendingSize() == 12; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(r.batches.size(), 1);
    reader.setReady();
    ASSERT_TRUE(waitFor([&] { return r.batches.size() == 2; }));
    EXPECT_EQ(r.batches[1], "b 1\nc 2\nd 3\n");
    EXPECT_TRUE(reader.runningFlag());
}

TEST(StdinNotify, EndOfStreamHandsOverEverythingThenCloses)
{
    struct Case {
        QByteArray written;
        QByteArray received;
    };
    // An empty stream only closes; a last line without line feed gets one.
    const Case cases[] = {{"", ""}, {"1 2\n3 4\n", "1 2\n3 4\n"}, {"1 2\n3", "1 2\n3\n"}};
    for (const Case& c : cases) {
        Pipe pipe;
        Receiver r;
        StdinNotify reader(pipe.readEnd(), 0, &r, "L");
        r.reader = &reader;
        reader.start();
        writeBytes(pipe.fds[1], c.written);
        pipe.closeWriteEnd();
        ASSERT_TRUE(waitFor([&] { return r.closed; })) << c.written.constData();
        EXPECT_EQ(r.text, c.received);
        EXPECT_TRUE(c.written.isEmpty() ? r.batches.isEmpty() : !r.batches.isEmpty());
        EXPECT_FALSE(r.textAfterClose);
        EXPECT_TRUE(r.error.isEmpty());
        EXPECT_TRUE(reader.wait(10000));
        EXPECT_FALSE(reader.runningFlag());
    }
}

TEST(StdinNotify, LongLinesAndAFullBacklogArriveWholeAndInOrder)
{
    Pipe pipe;
    Receiver r;
    r.holdReady = true;
    StdinNotify reader(pipe.readEnd(), 0, &r, "L");
    r.reader = &reader;
    reader.start();
    // A 100 kB line, then enough rows to fill the backlog twice over.
    QByteArray sent(100 * 1024, 'x');
    sent += " 1\n";
    for (int i = 0; sent.size() < 2 * StdinNotify::BACKLOG_LIMIT + 100000; ++i)
        sent += QByteArray::number(i) + " " + QByteArray::number(i % 97) + "\n";
    std::thread host([&] {
        writeBytes(pipe.fds[1], sent);
        pipe.closeWriteEnd();
    });
    // The receiver holds the flag: reading pauses once the backlog is full,
    // so the host waits in its pipe.
    ASSERT_TRUE(waitFor([&] { return reader.pendingSize() >= StdinNotify::BACKLOG_LIMIT; }));
    QTest::qWait(50);
    EXPECT_LT(reader.pendingSize(), StdinNotify::BACKLOG_LIMIT + (qsizetype(1) << 16) + 1);
    r.holdReady = false;
    reader.setReady();
    ASSERT_TRUE(waitFor([&] { return r.closed; }));
    host.join();
    EXPECT_EQ(r.text.size(), sent.size());
    EXPECT_TRUE(r.text == sent);
}

TEST(StdinNotify, StoppingAReaderThatWaitsForInput)
{
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
    Pipe input;
    Receiver r;
    {
        // The stop descriptor belongs to the reader: its destructor writes
        // a line feed and a NUL to it and closes it.
        StdinNotify reader(input.readEnd(), pair[0], &r, "L");
        r.reader = &reader;
        reader.start();
        ASSERT_TRUE(waitFor([&] { return reader.isRunning(); }));
    } // stops a reader blocked on input and waits for it
    char bytes[4] = {};
    const ssize_t n = ::read(pair[1], bytes, sizeof bytes);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(QByteArray(bytes, 2), QByteArray("\n\0", 2));
    EXPECT_EQ(::read(pair[1], bytes, sizeof bytes), 0); // closed
    ::close(pair[1]);
    QCoreApplication::processEvents();
    EXPECT_FALSE(r.closed);

    // stop() alone ends the thread too, with no end-of-stream event; a
    // standard descriptor given as the stop descriptor stays open as it was.
    struct stat before {};
    ASSERT_EQ(::fstat(2, &before), 0);
    {
        Pipe second;
        StdinNotify other(second.readEnd(), 2, &r, "L");
        r.reader = &other;
        other.start();
        other.stop();
        EXPECT_TRUE(other.wait(10000));
        QCoreApplication::processEvents();
        EXPECT_FALSE(r.closed);
    }
    struct stat after {};
    ASSERT_EQ(::fstat(2, &after), 0);
    EXPECT_EQ(after.st_dev, before.st_dev);
    EXPECT_EQ(after.st_ino, before.st_ino);
}

TEST(StdinNotify, ADescriptorThatIsNotOpenEndsTheStreamWithAnError)
{
    const int fd = 1000; // no such descriptor is open
    ASSERT_EQ(::fcntl(fd, F_GETFD), -1);
    Receiver r;
    StdinNotify reader(fd, 0, &r, "L");
    r.reader = &reader;
    reader.start();
    ASSERT_TRUE(waitFor([&] { return r.closed; }));
    EXPECT_FALSE(r.error.isEmpty());
}
