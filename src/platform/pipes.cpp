#include "platform/pipes.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

namespace kro::platform {

void ignoreBrokenPipe()
{
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    sigaction(SIGPIPE, &action, nullptr);
}

WriteResult writeAll(int fd, const char* data, std::size_t size, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    while (size > 0) {
        int wait = -1;
        if (timeoutMs >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            wait = int(std::max<long long>(left, 0));
        }
        pollfd p{fd, POLLOUT, 0};
        const int ready = ::poll(&p, 1, wait);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return WriteResult::Failed;
        }
        if (ready == 0)
            return WriteResult::TimedOut;
        if (p.revents & (POLLERR | POLLNVAL))
            return WriteResult::Failed;
        // A pipe that polls writable has room for one page: a write of at
        // most that size does not block.
        const ssize_t n = ::write(fd, data, std::min<std::size_t>(size, 4096));
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return WriteResult::Failed;
        }
        data += n;
        size -= std::size_t(n);
    }
    return WriteResult::Written;
}

void retireDescriptor(int fd)
{
    if (fd < 0)
        return;
    if (fd > 2) {
        ::close(fd);
        return;
    }
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null < 0)
        return;
    ::dup2(null, fd);
    ::close(null);
}

} // namespace kro::platform
