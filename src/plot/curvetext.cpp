#include "plot/curvetext.h"

#include <QSaveFile>

#include <charconv>

namespace curvetext {

namespace {
constexpr std::size_t kFlushSize = 1 << 20;

void appendFormatted(std::string& out, double v, std::chars_format format, int precision)
{
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, format, precision);
    out.append(buf, r.ptr);
}
} // namespace

std::string separatorFromOfs(const QString& ofs)
{
    const QString word = ofs.toLower();
    if (word == QLatin1String("comma") || ofs.isEmpty())
        return ",";
    if (word == QLatin1String("semicolon"))
        return ";";
    if (word == QLatin1String("space"))
        return " ";
    if (word == QLatin1String("tab"))
        return "\t";
    return ofs.toLatin1().toStdString();
}

void appendX(std::string& out, double x) { appendFormatted(out, x, std::chars_format::fixed, 15); }

void appendY(std::string& out, double y) { appendFormatted(out, y, std::chars_format::general, 15); }

void appendCell(std::string& out, double x, double y, const std::string& sep)
{
    appendX(out, x);
    out += sep;
    appendY(out, y);
}

std::string emptyCell(const std::string& sep) { return "-----------" + sep + "-----------"; }

// ---------------------------------------------------------------------------

FileSink::FileSink(const QString& path) : m_file(new QSaveFile(path))
{
    // A folder where no temporary file can be made (a device, say) is
    // written directly.
    m_file->setDirectWriteFallback(true);
    m_ok = !path.isEmpty() && m_file->open(QIODevice::WriteOnly);
    m_buffer.reserve(kFlushSize + 4096);
}

FileSink::~FileSink()
{
    if (m_file->isOpen())
        m_file->cancelWriting();
    delete m_file;
}

bool FileSink::isOpen() const { return m_file->isOpen(); }

void FileSink::flush()
{
    if (m_buffer.empty())
        return;
    if (m_ok && m_file->isOpen()) {
        const qint64 n = m_file->write(m_buffer.data(), qint64(m_buffer.size()));
        if (n != qint64(m_buffer.size()))
            m_ok = false;
    }
    m_buffer.clear();
}

void FileSink::flushIfLarge()
{
    if (m_buffer.size() >= kFlushSize)
        flush();
}

bool FileSink::close()
{
    flush();
    if (m_file->isOpen()) {
        if (!m_ok)
            m_file->cancelWriting();
        if (!m_file->commit())
            m_ok = false;
    }
    return m_ok;
}

void FileSink::writePointLines(const CurveData& curve, const std::string& sep, const std::string& suffix)
{
    const std::size_t n = curve.pointCount();
    for (std::size_t i = 0; i < n; ++i) {
        appendCell(m_buffer, curve.x(i), curve.y(i), sep);
        m_buffer += suffix;
        m_buffer += '\n';
        flushIfLarge();
    }
}

} // namespace curvetext
