#pragma once
// Helpers of the benchmarks that read files: data files generated at run
// time in one temporary folder, the process's resident memory and its peak,
// and peer programs (Debian's python3 with pandas or numpy) run side by side.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <charconv>
#include <cstdio>
#include <fstream>
#include <string>

namespace benchfiles {

// The folder of generated files: a temporary one, or the folder named by
// KRO_BENCH_DATA, where large files stay for the next run.
class Folder {
public:
    Folder() : m_kept(qEnvironmentVariable("KRO_BENCH_DATA")) {}
    QString filePath(const QString& name) const
    {
        return m_kept.isEmpty() ? m_temporary.filePath(name) : QDir(m_kept).filePath(name);
    }

private:
    QString m_kept;
    QTemporaryDir m_temporary;
};

inline Folder& folder()
{
    static Folder dir;
    return dir;
}

// Writes rows produced by a callback through a large buffer into a file
// named after the stem and the row count ("large.dat" with 1000 rows:
// "large-1000.dat"), so runs of different sizes never share a file. A file
// made earlier (in this run, or kept in KRO_BENCH_DATA) is reused; a file
// is written under a temporary name and renamed when complete, so an
// interrupted run leaves no short file behind to be taken for a whole one.
template <typename Row>
QString generate(const char* name, long long rows, Row row)
{
    const QFileInfo stem(QString::fromLatin1(name));
    const QString sized = QStringLiteral("%1-%2.%3").arg(stem.completeBaseName()).arg(rows).arg(stem.suffix());
    const QString path = folder().filePath(sized);
    if (QFileInfo::exists(path))
        return path;
    const QString partial = path + QStringLiteral(".part");
    std::FILE* f = std::fopen(partial.toLocal8Bit().constData(), "wb");
    if (!f)
        return {};
    std::string buffer;
    buffer.reserve(1 << 22);
    bool written = true;
    for (long long i = 0; i < rows; ++i) {
        row(i, buffer);
        if (buffer.size() > (1u << 22) - 256) {
            written = written && std::fwrite(buffer.data(), 1, buffer.size(), f) == buffer.size();
            buffer.clear();
        }
    }
    written = written && std::fwrite(buffer.data(), 1, buffer.size(), f) == buffer.size();
    written = std::fclose(f) == 0 && written;
    if (!written || !QFile::rename(partial, path)) {
        QFile::remove(partial);
        return {};
    }
    return path;
}

inline void appendNumber(std::string& s, double v, int decimals = 6)
{
    char tmp[32];
    const auto r = std::to_chars(tmp, tmp + sizeof tmp, v, std::chars_format::fixed, decimals);
    s.append(tmp, r.ptr);
}

inline void appendInt(std::string& s, long long v, int width = 0)
{
    char tmp[24];
    const auto r = std::to_chars(tmp, tmp + sizeof tmp, v);
    for (int pad = width - int(r.ptr - tmp); pad > 0; --pad)
        s.push_back('0');
    s.append(tmp, r.ptr);
}

// A line of /proc/self/status in kB ("VmRSS:", "VmHWM:").
inline long long statusKb(const char* key)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string k = key;
    while (std::getline(in, line))
        if (line.compare(0, k.size(), k) == 0)
            return std::stoll(line.substr(k.size()));
    return 0;
}

// Resets the peak resident size to the current one.
inline void resetPeak()
{
    std::FILE* f = std::fopen("/proc/self/clear_refs", "w");
    if (f) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

// Runs a Python program with Debian's interpreter (the one python3-pandas
// and python3-numpy belong to) and returns what it prints; empty when it
// cannot run (the packages come with scripts/install-deps.sh --bench).
inline QString runPython(const QString& program, const QStringList& arguments)
{
    QString python = QStringLiteral("/usr/bin/python3");
    if (!QFileInfo(python).isExecutable())
        python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        return {};
    QProcess p;
    p.start(python, QStringList{QStringLiteral("-c"), program} + arguments);
    if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "%s\n", p.readAllStandardError().constData());
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

} // namespace benchfiles
