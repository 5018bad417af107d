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

void sortDirEntries(std::vector<DirEntry>& entries, DirSortKey key)
{
    const std::size_t n = entries.size();
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});

    // Collation keys once per entry: comparing keys is far cheaper than
    // comparing the names in the locale each time.
    std::vector<QCollatorSortKey> names;
    if (key == DirSortKey::Name) {
        QCollator collator{QLocale()};
        names.reserve(n);
        for (const DirEntry& e : entries)
            names.push_back(collator.sortKey(e.name.toLower()));
    }
    auto rank = [&](const DirEntry& e) { return e.isDir ? (e.name == QLatin1String("..") ? 0 : 1) : 2; };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const DirEntry& x = entries[a];
        const DirEntry& y = entries[b];
        const int rx = rank(x), ry = rank(y);
        if (rx != ry)
            return rx < ry;
        switch (key) {
        case DirSortKey::Name:
            return names[a].compare(names[b]) < 0;
        case DirSortKey::Time:
            return x.lastModified < y.lastModified;
        case DirSortKey::Size:
            return x.size < y.size;
        case DirSortKey::Unsorted:
            break;
        }
        return false;
    });
    std::vector<DirEntry> sorted;
    sorted.reserve(n);
    for (std::size_t i : order)
        sorted.push_back(std::move(entries[i]));
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
