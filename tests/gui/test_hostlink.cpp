// The host-program link end to end: the built program started by a small
// host (this test) as "kro -linked", with its standard input and output on
// real pipes. The host writes rows and "cmd:" rows and reads the replies.
#include <gtest/gtest.h>

#include "support/files.h"
#include "support/qtprinters.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// The program as a child process with both standard streams on pipes.
class Host {
public:
    ~Host()
    {
        closeInput();
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0)
            ::close(m_out);
    }

    bool start(const QString& binary, const QStringList& args, const QString& home)
    {
        int in[2], out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
            return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        const QByteArray errors = QDir(home).filePath("stderr.txt").toLocal8Bit();
        posix_spawn_file_actions_addopen(&actions, 2, errors.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

        std::vector<QByteArray> argStore{binary.toLocal8Bit()};
        for (const QString& a : args)
            argStore.push_back(a.toLocal8Bit());
        std::vector<char*> argv;
        for (QByteArray& a : argStore)
            argv.push_back(a.data());
        argv.push_back(nullptr);

        const std::map<QByteArray, QByteArray> overrides{
            {"QT_QPA_PLATFORM", "offscreen"},
            {"HOME", home.toLocal8Bit()},
            {"XDG_CONFIG_HOME", QDir(home).filePath("config").toLocal8Bit()},
            {"XDG_DATA_HOME", QDir(home).filePath("data").toLocal8Bit()},
            {"XDG_RUNTIME_DIR", home.toLocal8Bit()}};
        std::vector<QByteArray> envStore;
        for (char** e = environ; *e; ++e) {
            const QByteArray entry(*e);
            if (!overrides.count(entry.left(entry.indexOf('='))))
                envStore.push_back(entry);
        }
        for (const auto& [name, value] : overrides)
            envStore.push_back(name + "=" + value);
        std::vector<char*> envp;
        for (QByteArray& e : envStore)
            envp.push_back(e.data());
        envp.push_back(nullptr);

        const QByteArray dir = QDir::currentPath().toLocal8Bit();
        const int rc = ::posix_spawn(&m_pid, argStore.front().constData(), &actions, nullptr, argv.data(),
                                     envp.data());
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        m_in = in[1];
        m_out = out[0];
        ::fcntl(m_out, F_SETFL, O_NONBLOCK);
        return rc == 0;
    }

    // Writes everything, reading replies meanwhile so neither side waits
    // on the other.
    void write(const QByteArray& bytes)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            pollfd p[2] = {{m_in, POLLOUT, 0}, {m_out, POLLIN, 0}};
            ASSERT_GE(::poll(p, 2, 20000), 1);
            if (p[1].revents)
                drain();
            if (!(p[0].revents & POLLOUT))
                continue;
            const ssize_t n = ::write(m_in, bytes.constData() + done, std::size_t(bytes.size() - done));
            ASSERT_GT(n, 0) << std::strerror(errno);
            done += n;
        }
    }
    // Writes without reading any reply.
    void writeOnly(const QByteArray& bytes)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_in, bytes.constData() + done, std::size_t(bytes.size() - done));
            ASSERT_GT(n, 0) << std::strerror(errno);
            done += n;
        }
    }
    void closeInput()
    {
        if (m_in >= 0)
            ::close(m_in);
        m_in = -1;
    }
    // Reads replies until the condition holds (true) or 20 s pass.
    bool readUntil(const std::function<bool(const QByteArray&)>& done, int ms = 20000)
    {
        QDeadlineTimer deadline(ms);
        while (!done(m_replies)) {
            if (deadline.hasExpired())
                return false;
            pollfd p{m_out, POLLIN, 0};
            ::poll(&p, 1, 100);
            if (!drain() && (p.revents & POLLHUP))
                return done(m_replies);
        }
        return true;
    }
    bool replied(const QByteArray& text)
    {
        return readUntil([&](const QByteArray& r) { return r.contains(text); });
    }
    // The exit code, or -1 when the program is still running after ms.
    int waitExit(int ms = 20000)
    {
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) {
            drain();
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                while (drain()) {
                }
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            pollfd p{m_out, POLLIN, 0};
            ::poll(&p, 1, 50);
        }
        return -1;
    }
    // Waits for the end of the program's output (true) for at most ms.
    bool outputEnded(int ms = 20000)
    {
        QDeadlineTimer deadline(ms);
        char buffer[4096];
        while (!deadline.hasExpired()) {
            pollfd p{m_out, POLLIN, 0};
            ::poll(&p, 1, 100);
            const ssize_t n = ::read(m_out, buffer, sizeof buffer);
            if (n == 0)
                return true;
            if (n > 0)
                m_replies.append(buffer, n);
        }
        return false;
    }
    // The host stops reading: its end of the replies goes away.
    void closeOutput()
    {
        if (m_out >= 0)
            ::close(m_out);
        m_out = -1;
    }
    const QByteArray& replies() const { return m_replies; }

private:
    bool drain()
    {
        char buffer[65536];
        bool any = false;
        for (;;) {
            const ssize_t n = ::read(m_out, buffer, sizeof buffer);
            if (n <= 0)
                return any;
            m_replies.append(buffer, n);
            any = true;
        }
    }

    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    QByteArray m_replies;
};

class HostLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        m_binary = QDir(QCoreApplication::applicationDirPath()).filePath("../kro");
        if (!QFileInfo(m_binary).isExecutable())
            GTEST_SKIP() << "kro is not built next to the tests";
        kro::test::writeFile(m_home.filePath("config/KROSoftware/kro.conf"),
                             "[General]\neula=Version (Linux): " KRO_VERSION_TEXT "\nquickstart=false\n");
    }
    void start(const QStringList& args) { ASSERT_TRUE(m_host.start(m_binary, args, m_home.path())); }
    QString errors() const { return QString::fromLocal8Bit(kro::test::readFile(m_home.filePath("stderr.txt"))); }

    QTemporaryDir m_home;
    QString m_binary;
    Host m_host;
};

} // namespace

TEST_F(HostLink, QueriesAreAnsweredInOrderAndExitClosesTheProgram)
{
    start({"-linked", "-x", "1", "-y", "2"});
    m_host.write("cmd: size?\n");
    ASSERT_TRUE(m_host.replied("0\n")) << errors().toStdString();
    m_host.write("1 5\n2 6\ncmd: title: Hello\\nWorld\ncmd:title? now\n");
    ASSERT_TRUE(m_host.replied("Hello\nWorld\n"));
    m_host.write("cmd: size?\n");
    ASSERT_TRUE(m_host.replied("World\n2\n"));
    m_host.write("cmd: exit\n");
    EXPECT_EQ(m_host.waitExit(), 0) << errors().toStdString();
    // The start-up lines come first; the hosts hears that the program closed.
    const QByteArray all = m_host.replies();
    EXPECT_TRUE(all.startsWith("\nProgram started\nkrogui")) << all.toStdString();
    EXPECT_TRUE(all.endsWith("0\nHello\nWorld\n2\nkro closed\n" + QByteArray(1, '\0'))) << all.toStdString();
}

TEST_F(HostLink, AMillionRowsWrittenAsFastAsPossibleAllArrive)
{
    start({"-linked", "-x", "1", "-y", "2"});
    QByteArray rows;
    rows.reserve(16 << 20);
    for (int i = 0; i < 1000000; ++i) {
        rows += QByteArray::number(i);
        rows += ' ';
        rows += QByteArray::number(i % 1000);
        rows += '\n';
    }
    m_host.write(rows + "cmd: title: done\ncmd: title?\n");
    ASSERT_TRUE(m_host.replied("done\n")) << errors().toStdString();
    m_host.write("cmd: size?\n");
    ASSERT_TRUE(m_host.replied("done\n1000000\n"));
    m_host.write("cmd: exit\n");
    EXPECT_EQ(m_host.waitExit(), 0);
}

TEST_F(HostLink, BadInputNeitherStopsNorHangsTheProgram)
{
    start({"-linked", "-x", "1", "-y", "2"});
    // Binary bytes, NULs and a 10 MB line with no numbers in it.
    QByteArray junk;
    for (int i = 0; i < 200000; ++i)
        junk += char((i * 7919) % 256);
    junk += QByteArray(10 << 20, 'z') + "\n";
    m_host.write(junk + "1 5\ncmd: size?\n");
    ASSERT_TRUE(m_host.replied("\n")) << errors().toStdString();
    // A host that floods queries and reads none of the replies: the program
    // keeps reading, and answers again once the host reads.
    QByteArray flood;
    for (int i = 0; i < 100000; ++i)
        flood += "cmd: size?\n";
    m_host.writeOnly(flood);
    m_host.write("cmd: title: alive\ncmd: title?\n");
    ASSERT_TRUE(m_host.replied("alive\n"));
    // The host goes away in the middle of a row: the program keeps running.
    m_host.write("2 6\n3");
    m_host.closeInput();
    EXPECT_EQ(m_host.waitExit(1500), -1);
}

TEST_F(HostLink, AddinDoneEndsTheRepliesWhileTheProgramRunsOn)
{
    start({"-linked", "-x", "1", "-y", "2"});
    m_host.write("cmd: size?\n");
    ASSERT_TRUE(m_host.replied("0\n")) << errors().toStdString();
    m_host.write("1 5\ncmd: addin: done\ncmd: size?\n");
    // The host hears the end of the replies, with no answer and no closing
    // notice after the command ...
    ASSERT_TRUE(m_host.outputEnded());
    const QByteArray all = m_host.replies();
    EXPECT_EQ(all.mid(all.indexOf("krogui") + 6), QByteArray("0\n")) << all.toStdString();
    EXPECT_FALSE(m_host.replies().contains("kro closed"));
    // ... and the program, whose standard output is gone, keeps running.
    EXPECT_EQ(m_host.waitExit(1500), -1) << errors().toStdString();
}

TEST_F(HostLink, AHostThatNoLongerReadsRepliesDoesNotEndTheProgram)
{
    std::signal(SIGPIPE, SIG_IGN); // a program that died fails the test, not the test program
    start({"-linked", "-x", "1", "-y", "2"});
    m_host.write("cmd: size?\n");
    ASSERT_TRUE(m_host.replied("0\n")) << errors().toStdString();
    m_host.closeOutput();
    // Every reply now goes to a pipe without a reader.
    m_host.writeOnly("1 5\ncmd: size?\ncmd: title: gone\ncmd: title?\n");
    EXPECT_EQ(m_host.waitExit(1000), -1) << errors().toStdString();
    m_host.writeOnly("cmd: exit\n");
    EXPECT_EQ(m_host.waitExit(), 0) << errors().toStdString();
}
