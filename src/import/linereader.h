#pragma once
// Whole lines of a file through one growable read buffer. A line is handed
// out with its line feed (the last line of a file may have none); a line
// longer than the buffer makes the buffer grow, so no line is ever split,
// up to a longest line (kMaxLineLength by default).
//
// Opening and reading never block for good: the file is opened without
// waiting for a writer (a FIFO nobody writes reads as empty), and a read
// that would wait for data (a pipe or device with a writer) waits only
// while no stop has been asked for; without a stop flag it does not wait.
#include <QString>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kro::import {

// The longest line read; a longer one ends the reading with an error.
inline constexpr std::size_t kMaxLineLength = std::size_t(64) << 20;
// The number of columns such a line can hold: a field and its separator
// take at least two bytes.
inline constexpr long long kMaxColumns = (long long)(kMaxLineLength / 2);

// "Error: Line N of <source> is longer than M MB." for a line longer than
// maxBytes; the file reader and the live links both say it this way.
QString lineTooLongText(unsigned long long line, const QString& source, std::size_t maxBytes);

class LineReader {
public:
    explicit LineReader(std::size_t bufferSize = std::size_t(1) << 20, std::size_t maxLineLength = kMaxLineLength);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Reads that wait for data give up once *stop is set (the flag must
    // outlive the reading). Without a flag they do not wait at all.
    void setStopFlag(const std::atomic<bool>* stop) { m_stopFlag = stop; }

    // Opens a file for reading; false with the system's reason on failure.
    bool open(const QString& path, QString* error = nullptr);
    // Opens the bytes [begin, end) of a file: lines end in line feeds and
    // the range ends as a file would (its last line may have no line feed).
    // No byte order mark or line end is looked for; the range is expected
    // to start at the start of a line.
    bool openRange(const QString& path, std::int64_t begin, std::int64_t end, QString* error = nullptr);
    void close();
    bool isOpen() const { return m_fd >= 0; }

    // The next line as [begin, end); false at the end of the file, on a
    // read error (see error()), on a line longer than the longest line
    // (lineTooLong()) or when a stop ended a wait (stopped()). The pointers
    // stay valid until the next call. A UTF-8 byte order mark that starts
    // the file is not part of the line. Lines end in a line feed; in a file
    // whose first buffer holds no line feed but a carriage return, they end
    // in a carriage return.
    bool next(const char*& begin, const char*& end);
    // Whether the file starts with a UTF-16 byte order mark (reads the
    // first buffer when no line was read yet).
    bool startsWithUtf16Mark();

    // Size of the open file in bytes when it was opened (0 when unknown).
    std::int64_t fileSize() const { return m_fileSize; }
    // The mean length of the lines in the first buffer read (0 before it).
    double sampleLineLength() const { return m_sampleLineLength; }
    // The system's reason of a failed read, empty when none.
    const QString& error() const { return m_error; }
    // The reading ended at a line longer than the longest line.
    bool lineTooLong() const { return m_lineTooLong; }
    std::size_t maxLineLength() const { return m_maxLineLength; }
    // The reading ended because a stop was asked for while it waited.
    bool stopped() const { return m_stopped; }
    // The end of the file was reached, and the file is now shorter than it
    // was when opened: it was cut while it was read.
    bool truncated() const { return m_truncated; }
    // Bytes read from the file so far.
    std::int64_t bytesRead() const { return m_bytesRead; }
    // The file offset of the first byte not handed out yet.
    std::int64_t position() const { return m_begin + m_bytesRead - std::int64_t(m_filled - m_start); }
    // The end of line in force ('\n', or '\r' for a file of carriage
    // returns alone; known once the first buffer is read).
    char terminator() const { return m_terminator; }

private:
    bool fill();
    // Waits until the file has data or an end; false when a stop (or the
    // lack of a stop flag) ends the wait.
    bool waitForData();
    void noteEnd();

    int m_fd = -1;
    std::vector<char> m_buffer;
    std::size_t m_maxLineLength;
    std::size_t m_start = 0;   // first byte not yet handed out
    std::size_t m_scanned = 0; // bytes from m_start known to hold no line feed
    std::size_t m_filled = 0;
    bool m_eof = false;
    bool m_utf16 = false; // the first buffer started with a UTF-16 byte order mark
    bool m_lineTooLong = false;
    bool m_stopped = false;
    bool m_truncated = false;
    bool m_regular = false;
    char m_terminator = '\n'; // '\r' for a file whose lines end in a carriage return alone
    std::int64_t m_fileSize = 0;
    std::int64_t m_bytesRead = 0;
    std::int64_t m_begin = 0;       // file offset where the reading started
    std::int64_t m_rangeLeft = -1;  // bytes of the range still to read; -1: to the end of the file
    double m_sampleLineLength = 0.0;
    QString m_error;
    const std::atomic<bool>* m_stopFlag = nullptr;
};

} // namespace kro::import
