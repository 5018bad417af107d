#pragma once
// Whole lines of a file through one growable read buffer. A line is handed
// out with its line feed (the last line of a file may have none); a line
// longer than the buffer makes the buffer grow, so no line is ever split.
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kro::import {

class LineReader {
public:
    explicit LineReader(std::size_t bufferSize = std::size_t(1) << 20);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens a file for reading; false with the system's reason on failure.
    bool open(const QString& path, QString* error = nullptr);
    void close();
    bool isOpen() const { return m_fd >= 0; }

    // The next line as [begin, end); false at the end of the file or on a
    // read error (see error()). The pointers stay valid until the next call.
    // A UTF-8 byte order mark that starts the file is not part of the line.
    // Lines end in a line feed; in a file whose first buffer holds no line
    // feed but a carriage return, they end in a carriage return.
    bool next(const char*& begin, const char*& end);
    // Whether the file starts with a UTF-16 byte order mark (reads the
    // first buffer when no line was read yet).
    bool startsWithUtf16Mark();

    // Size of the open file in bytes (0 when unknown).
    std::int64_t fileSize() const { return m_fileSize; }
    // The mean length of the lines in the first buffer read (0 before it).
    double sampleLineLength() const { return m_sampleLineLength; }
    // The system's reason of a failed read, empty when none.
    const QString& error() const { return m_error; }

private:
    bool fill();

    int m_fd = -1;
    std::vector<char> m_buffer;
    std::size_t m_start = 0;   // first byte not yet handed out
    std::size_t m_scanned = 0; // bytes from m_start known to hold no line feed
    std::size_t m_filled = 0;
    bool m_eof = false;
    bool m_utf16 = false; // the first buffer started with a UTF-16 byte order mark
    char m_terminator = '\n'; // '\r' for a file whose lines end in a carriage return alone
    std::int64_t m_fileSize = 0;
    double m_sampleLineLength = 0.0;
    QString m_error;
};

} // namespace kro::import
