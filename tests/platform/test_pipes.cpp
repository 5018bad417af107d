// Descriptors shared with a host program: a standard descriptor that is
// retired stays taken, a write to a reader that has gone fails instead of
// ending the process, and a reader that does not read makes a write time out.
#include "platform/pipes.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

// Points a standard descriptor somewhere else for the length of a test and
// puts the original back afterwards.
class StandardDescriptor {
public:
    explicit StandardDescriptor(int fd) : m_fd(fd), m_saved(::fcntl(fd, F_DUPFD_CLOEXEC, 10)) {}
    ~StandardDescriptor()
    {
        if (m_saved >= 0) {
            ::dup2(m_saved, m_fd);
            ::close(m_saved);
        }
    }
    bool valid() const { return m_saved >= 0; }

private:
    int m_fd;
    int m_saved;
};

} // namespace

TEST(Pipes, ARetiredStandardDescriptorEndsTheStreamAndIsNeverReused)
{
    StandardDescriptor guard(1);
    ASSERT_TRUE(guard.valid());
    int replies[2];
    ASSERT_EQ(::pipe2(replies, O_CLOEXEC | O_NONBLOCK), 0);
    ASSERT_EQ(::dup2(replies[1], 1), 1);
    ::close(replies[1]);

    kro::platform::retireDescriptor(1);
    // The host sees the end of the replies (not "nothing yet") ...
    char byte;
    EXPECT_EQ(::read(replies[0], &byte, 1), 0);
    ::close(replies[0]);
    // ... while the number stays taken, by the null device.
    struct stat held {};
    ASSERT_EQ(::fstat(1, &held), 0);
    EXPECT_TRUE(S_ISCHR(held.st_mode));
    QTemporaryDir dir;
    const int opened = ::open(QByteArray(dir.filePath("data.txt").toLocal8Bit()).constData(),
                              O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    EXPECT_GT(opened, 2);
    ::close(opened);

    // A descriptor above the standard ones is simply closed.
    int other[2];
    ASSERT_EQ(::pipe2(other, O_CLOEXEC | O_NONBLOCK), 0);
    kro::platform::retireDescriptor(other[1]);
    EXPECT_EQ(::read(other[0], &byte, 1), 0);
    EXPECT_EQ(::fcntl(other[1], F_GETFD), -1);
    ::close(other[0]);
}

TEST(Pipes, WritesToAGoneOrSilentReader)
{
    kro::platform::ignoreBrokenPipe();
    int fds[2];
    ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);

    // Whole replies arrive whole.
    const std::string reply(10000, 'r');
    std::vector<char> got;
    EXPECT_EQ(kro::platform::writeAll(fds[1], reply.data(), 3000, 1000), kro::platform::WriteResult::Written);
    got.resize(3000);
    EXPECT_EQ(::read(fds[0], got.data(), got.size()), 3000);

    // A reader that reads nothing: the pipe fills and the write gives up.
    const std::vector<char> big(1 << 20, 'x');
    EXPECT_EQ(kro::platform::writeAll(fds[1], big.data(), big.size(), 100), kro::platform::WriteResult::TimedOut);

    // A reader that has gone: the write fails and this process lives on.
    ::close(fds[0]);
    EXPECT_EQ(kro::platform::writeAll(fds[1], "1\n", 2, 1000), kro::platform::WriteResult::Failed);
    ::close(fds[1]);
}
