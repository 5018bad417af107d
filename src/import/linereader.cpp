#include "import/linereader.h"

#include "core/filenames.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kro::import {

namespace {
// How long one wait for data lasts before the stop flag is looked at again.
constexpr int kWaitSliceMs = 50;
} // namespace

QString lineTooLongText(unsigned long long line, const QString& source, std::size_t maxBytes)
{
    return QStringLiteral("Error: Line %1 of %2 is longer than %3 MB.")
        .arg(line)
        .arg(source)
        .arg(qulonglong(maxBytes >> 20));
}

LineReader::LineReader(std::size_t bufferSize, std::size_t maxLineLength)
    : m_buffer(std::max<std::size_t>(std::min(bufferSize, maxLineLength), 64)),
      m_maxLineLength(std::max<std::size_t>(maxLineLength, 64))
{
}

LineReader::~LineReader() { close(); }

bool LineReader::open(const QString& path, QString* error)
{
    close();
    m_error.clear();
    // Without O_NONBLOCK, opening a FIFO waits until something opens it for
    // writing, which may never happen.
    m_fd = kro::openForReading(path);
    if (m_fd < 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat st{};
    if (::fstat(m_fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(m_fd);
        m_fd = -1;
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(EISDIR));
        return false;
    }
    m_regular = ::fstat(m_fd, &st) == 0 && S_ISREG(st.st_mode);
    m_fileSize = m_regular ? std::int64_t(st.st_size) : 0;
    m_start = m_scanned = m_filled = 0;
    m_eof = false;
    m_utf16 = false;
    m_lineTooLong = m_stopped = m_truncated = false;
    m_bytesRead = 0;
    m_begin = 0;
    m_rangeLeft = -1;
    m_terminator = '\n';
    m_sampleLineLength = 0.0;
    return true;
}

bool LineReader::openRange(const QString& path, std::int64_t begin, std::int64_t end, QString* error)
{
    if (!open(path, error))
        return false;
    if (::lseek(m_fd, off_t(begin), SEEK_SET) < 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        close();
        return false;
    }
    m_begin = begin;
    m_rangeLeft = std::max<std::int64_t>(end - begin, 0);
    m_sampleLineLength = -1.0; // no first-buffer checks in a range
    return true;
}

void LineReader::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool LineReader::waitForData()
{
    if (!m_stopFlag)
        return false;
    for (;;) {
        if (m_stopFlag->load()) {
            m_stopped = true;
            return false;
        }
        pollfd p{m_fd, POLLIN, 0};
        const int n = ::poll(&p, 1, kWaitSliceMs);
        if (n > 0)
            return true; // data, or the writer went away: the next read tells
        if (n < 0 && errno != EINTR) {
            m_error = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
    }
}

void LineReader::noteEnd()
{
    m_eof = true;
    struct stat st{};
    if (m_regular && ::fstat(m_fd, &st) == 0 && std::int64_t(st.st_size) < m_fileSize)
        m_truncated = true;
}

bool LineReader::fill()
{
    if (m_start > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_start, m_filled - m_start);
        m_filled -= m_start;
        m_start = 0;
    }
    if (m_filled == m_buffer.size()) {
        // The buffer holds one unfinished line.
        if (m_buffer.size() >= m_maxLineLength) {
            m_lineTooLong = true;
            m_eof = true;
            return false;
        }
        m_buffer.resize(std::min(m_buffer.size() * 2, m_maxLineLength));
    }
    for (;;) {
        if (m_stopFlag && m_stopFlag->load()) {
            m_stopped = true;
            m_eof = true;
            return false;
        }
        std::size_t room = m_buffer.size() - m_filled;
        if (m_rangeLeft >= 0) {
            if (m_rangeLeft == 0) {
                m_eof = true;
                return false;
            }
            room = std::size_t(std::min<std::int64_t>(std::int64_t(room), m_rangeLeft));
        }
        const ssize_t n = ::read(m_fd, m_buffer.data() + m_filled, room);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (waitForData())
                continue;
            m_eof = true;
            return false;
        }
        if (n < 0) {
            m_error = QString::fromLocal8Bit(std::strerror(errno));
            m_eof = true;
            return false;
        }
        if (n == 0) {
            noteEnd();
            return false;
        }
        const bool first = m_sampleLineLength == 0.0;
        m_filled += std::size_t(n);
        m_bytesRead += n;
        if (m_rangeLeft >= 0)
            m_rangeLeft -= n;
        if (first) {
            const char* b = m_buffer.data();
            // A UTF-8 byte order mark belongs to no line; UTF-16 text is only
            // noted (see startsWithUtf16Mark()).
            if (m_filled >= 3 && std::memcmp(b, "\xEF\xBB\xBF", 3) == 0)
                m_start = 3;
            m_utf16 = m_filled >= 2 && (std::memcmp(b, "\xFF\xFE", 2) == 0 || std::memcmp(b, "\xFE\xFF", 2) == 0);
            // (A carriage return that ends the buffer may be followed by a line feed.)
            if (!std::memchr(b, '\n', m_filled) && m_filled > 1 && std::memchr(b, '\r', m_filled - 1))
                m_terminator = '\r';
            const auto lines = std::count(b, b + m_filled, m_terminator);
            m_sampleLineLength = double(m_filled) / double(std::max<std::ptrdiff_t>(lines, 1));
        }
        return true;
    }
}

bool LineReader::startsWithUtf16Mark()
{
    if (m_fd >= 0 && m_sampleLineLength == 0.0 && !m_eof)
        fill();
    return m_utf16;
}

bool LineReader::next(const char*& begin, const char*& end)
{
    if (m_fd < 0)
        return false;
    for (;;) {
        const char* base = m_buffer.data();
        const char* from = base + m_start + m_scanned;
        const char* nl = static_cast<const char*>(std::memchr(from, m_terminator, m_filled - m_start - m_scanned));
        if (nl) {
            begin = base + m_start;
            end = nl + 1;
            m_start = std::size_t(end - base);
            m_scanned = 0;
            return true;
        }
        m_scanned = m_filled - m_start;
        if (m_eof || !fill()) {
            // The unfinished last line of the file; not the piece of a line
            // that was too long, nor what a stop cut off.
            if (m_start < m_filled && !m_lineTooLong && !m_stopped) {
                begin = m_buffer.data() + m_start;
                end = m_buffer.data() + m_filled;
                m_start = m_filled;
                m_scanned = 0;
                return true;
            }
            return false;
        }
    }
}

} // namespace kro::import
