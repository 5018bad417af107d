#include "base/direntry.h"

#include <QCollator>
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <numeric>

DirEntry dirEntryFromFileInfo(const QFileInfo& info)
{
    DirEntry e;
    e.name = info.fileName();
    e.isSymLink = info.isSymLink();
    // For a link these follow the target; a dangling or looping link has no
    // target, so it is neither.
    e.isDir = info.isDir();
    e.isFile = info.isFile();
    e.readable = info.isReadable();
    e.writable = info.isWritable();
    e.executable = info.isExecutable();
    e.size = e.isFile ? info.size() : 0;
    const QDateTime modified = info.lastModified();
    e.timeValid = modified.isValid();
    e.lastModified = e.timeValid ? modified.toSecsSinceEpoch() : 0;
    return e;
}

void sortDirEntries(std::vector<DirEntry>& entries, DirSortKey key, bool ascending)
{
    const std::size_t n = entries.size();
    // One compact record per entry, sorted in place of the entries: the
    // rank (".." 0, folders 1, the rest 2), the number of the key, the
    // name's collation key (computed once: comparing keys is far cheaper
    // than comparing names in the locale each time) and the position, which
    // keeps entries equal under the rules in their order.
    struct Record {
        int rank;
        qint64 number;
        const QCollatorSortKey* name;
        std::size_t index;
    };
    std::vector<QCollatorSortKey> names;
    if (key == DirSortKey::Name) {
        QCollator collator{QLocale()};
        names.reserve(n);
        for (const DirEntry& e : entries)
            names.push_back(collator.sortKey(e.name.toLower()));
    }
    std::vector<Record> records;
    records.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const DirEntry& e = entries[i];
        const int rank = e.isDir ? (e.name == QLatin1String("..") ? 0 : 1) : 2;
        const qint64 number = key == DirSortKey::Time ? e.lastModified : key == DirSortKey::Size ? e.size : 0;
        records.push_back(Record{rank, number, names.empty() ? nullptr : &names[i], i});
    }
    std::sort(records.begin(), records.end(), [key, ascending](const Record& x, const Record& y) {
        if (x.rank != y.rank)
            return x.rank < y.rank;
        if (key == DirSortKey::Name) {
            const int c = x.name->compare(*y.name);
            if (c != 0)
                return ascending ? c < 0 : c > 0;
        } else if (x.number != y.number) {
            return ascending ? x.number < y.number : x.number > y.number;
        }
        return x.index < y.index;
    });
    std::vector<DirEntry> sorted;
    sorted.reserve(n);
    for (const Record& r : records)
        sorted.push_back(std::move(entries[r.index]));
    entries = std::move(sorted);
}

QString escapeFileName(const QString& name)
{
    if (name.isEmpty())
        return QString();
    static const char hex[] = "0123456789ABCDEF";
    const QByteArray utf8 = name.toUtf8();
    QString out;
    out.reserve(utf8.size());
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 128 || c == '#' || c == '%') {
            out += QLatin1Char('%');
            out += QLatin1Char(hex[c >> 4]);
            out += QLatin1Char(hex[c & 15]);
        } else {
            out += QLatin1Char(static_cast<char>(c));
        }
    }
    return out;
}

bool isRootPath(const QString& path)
{
    if (path == QLatin1String("/"))
        return true;
    if (path.size() == 3 && path.endsWith(QLatin1String(":/")))
        return true;
    if (path.startsWith(QLatin1String("//"))) {
        const qsizetype slashes = path.count(QLatin1Char('/'));
        return slashes <= 3 || (slashes == 4 && path.endsWith(QLatin1Char('/')));
    }
    return false;
}

FileKind fileKindOf(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return FileKind::Other;
    const QString ext = name.mid(dot + 1).toLower();
    if (ext == QLatin1String("krs"))
        return FileKind::Script;
    for (const char* image : {"png", "jpg", "bmp", "gif"})
        if (ext == QLatin1String(image))
            return FileKind::Image;
    return FileKind::Other;
}

namespace {
const QRegularExpression& filterExpression()
{
    static const QRegularExpression re(QStringLiteral("([a-zA-Z0-9 ]*)\\(([a-zA-Z0-9_.*? +;#\\[\\]]*)\\)$"));
    return re;
}
} // namespace

QString filterPattern(const QString& filterText)
{
    const QRegularExpressionMatch m = filterExpression().match(filterText);
    return m.hasMatch() ? m.captured(2) : filterText;
}

QString filterDescription(const QString& filterText)
{
    const QRegularExpressionMatch m = filterExpression().match(filterText);
    return m.hasMatch() ? m.captured(1) : filterText;
}

QStringList nameFilterList(const QString& nameFilter)
{
    static const QRegularExpression separators(QStringLiteral("[;\\s]+"));
    QStringList patterns = nameFilter.split(separators, Qt::SkipEmptyParts);
    if (patterns.isEmpty())
        patterns << QStringLiteral("*");
    return patterns;
}

QString typeText(const DirEntry& e, const DirDisplayTexts& t)
{
    if (e.isFile)
        return e.isSymLink ? t.symlinkToFile : t.file;
    if (e.isDir)
        return e.isSymLink ? t.symlinkToDir : t.dir;
    return e.isSymLink ? t.symlinkToSpecial : t.special;
}

QString attributesText(const DirEntry& e, const DirDisplayTexts& t)
{
    if (e.readable)
        return e.writable ? t.readWrite : t.readOnly;
    return e.writable ? t.writeOnly : t.inaccessible;
}

QString dateText(const DirEntry& e)
{
    if (!e.timeValid)
        return QString();
    return QLocale().toString(QDateTime::fromSecsSinceEpoch(e.lastModified).toLocalTime(), QLocale::ShortFormat);
}
