#include "import/previewreader.h"

#include "core/filenames.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace kro::import {
namespace {

constexpr std::size_t kBlock = 64 * 1024;
constexpr std::size_t kMaxFieldBytes = 1023;

inline bool isSeparator(char c) { return c == '\t' || c == ' ' || c == ',' || c == ';'; }
inline bool endsFieldText(char c)
{
    return isSeparator(c) || c == '\r' || c == '\n' || c == '\'' || c == '^';
}

// Shortens a UTF-8 text to at most n bytes without splitting a character.
void cutUtf8(std::string& text, std::size_t n)
{
    if (text.size() <= n)
        return;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    text.resize(n);
}

// Binary data: a NUL byte before the first line ends, or control
// characters in the text before the first NUL. Text lines followed by NUL
// bytes (a file with a hole after its text) are text; the NUL bytes end it.
bool looksBinary(const char* b, std::size_t n)
{
    const char* nul = static_cast<const char*>(std::memchr(b, '\0', n));
    if (!nul)
        return false;
    const std::size_t text = std::size_t(nul - b);
    if (!std::memchr(b, '\n', text) && !std::memchr(b, '\r', text))
        return true;
    for (std::size_t i = 0; i < text; ++i) {
        const auto c = static_cast<unsigned char>(b[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v')
            return true;
    }
    return false;
}

} // namespace

PreviewReader::PreviewReader() : m_buffer(kBlock) {}

bool PreviewReader::open(const QString& path)
{
    m_file.close();
    m_pos = m_len = 0;
    m_eof = false;
    m_empty = false;
    m_terminator = '\n';
    m_problem = TextProblem::None;
    m_reason.clear();
    struct stat info {};
    if (!kro::statPath(path, info)) {
        m_problem = TextProblem::Missing;
        m_reason = QStringLiteral("The file does not exist.");
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        m_problem = TextProblem::Folder;
        m_reason = QStringLiteral("This is a folder, not a data file.");
        return false;
    }
    // Opened by its bytes: a name that is not UTF-8 still names the file.
    const int fd = kro::openForReading(path);
    if (fd < 0 || !m_file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        m_problem = TextProblem::Unreadable;
        m_reason = QStringLiteral("The file cannot be opened: %1")
                       .arg(fd < 0 ? QString::fromLocal8Bit(std::strerror(errno)) : m_file.errorString());
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    fill();
    const char* b = m_buffer.data();
    if (m_len >= 2 && (std::memcmp(b, "\xFF\xFE", 2) == 0 || std::memcmp(b, "\xFE\xFF", 2) == 0)) {
        m_problem = TextProblem::Utf16;
        m_reason = QStringLiteral("The file holds UTF-16 text, which cannot be read as data. Save it as UTF-8 or "
                                  "plain text and open it again.");
    } else if (looksBinary(b, m_len)) {
        m_problem = TextProblem::Binary;
        m_reason = QStringLiteral("The file holds binary data, not text.");
    }
    if (m_problem != TextProblem::None) {
        m_file.close();
        m_len = 0;
        return false;
    }
    if (m_len >= 3 && std::memcmp(b, "\xEF\xBB\xBF", 3) == 0)
        m_pos = 3;
    m_empty = m_pos == m_len;
    if (!std::memchr(b, '\n', m_len) && std::memchr(b, '\r', m_len))
        m_terminator = '\r';
    return true;
}

bool PreviewReader::fill()
{
    if (m_eof || !m_file.isOpen())
        return false;
    const qint64 n = m_file.read(m_buffer.data(), qint64(m_buffer.size()));
    m_pos = 0;
    m_len = n > 0 ? std::size_t(n) : 0;
    if (n <= 0)
        m_eof = true;
    return n > 0;
}

bool PreviewReader::next(std::string& line)
{
    line.clear();
    bool consumed = false;
    for (;;) {
        if (m_pos == m_len && !fill())
            return consumed;
        const char* from = m_buffer.data() + m_pos;
        const std::size_t avail = m_len - m_pos;
        const char* stop = static_cast<const char*>(std::memchr(from, m_terminator, avail));
        const std::size_t take = stop ? std::size_t(stop - from) : avail;
        if (std::memchr(from, '\0', take)) {
            // Binary data after the text: the text ends before this line.
            m_eof = true;
            m_pos = m_len = 0;
            line.clear();
            return false;
        }
        consumed = true;
        if (line.size() < kMaxLineBytes)
            line.append(from, std::min(take, kMaxLineBytes - line.size()));
        m_pos += take;
        if (stop) {
            ++m_pos;
            if (m_terminator == '\n' && !line.empty() && line.back() == '\r')
                line.pop_back();
            return true;
        }
    }
}

std::vector<std::string> splitPreviewFields(std::string_view line)
{
    std::vector<std::string> fields;
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (i < n) {
        while (i < n && isSeparator(line[i]))
            ++i;
        if (i >= n)
            break;
        const std::size_t start = i;
        while (i < n && !endsFieldText(line[i]))
            ++i;
        std::string text(line.substr(start, i - start));
        cutUtf8(text, kMaxFieldBytes);
        fields.push_back(std::move(text));
        while (i < n && !isSeparator(line[i]))
            ++i;
    }
    return fields;
}

} // namespace kro::import
