#pragma once
// One entry of a listed directory and the rules the directory browser applies
// to entries: sorting, escaping names for URLs, the root test, file kinds,
// filter texts and the texts of the detail columns. No widgets here.
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <vector>

struct DirEntry {
    QString name;
    bool isDir = false;      // a directory, or a link to one
    bool isFile = false;     // a regular file, or a link to one
    bool isSymLink = false;  // the entry itself is a symbolic link
    bool readable = false;
    bool writable = false;
    bool executable = false;
    qint64 size = 0;          // bytes (of the link's target for a link)
    qint64 lastModified = 0;  // seconds since 1970-01-01 UTC
    bool timeValid = false;
};

// The entry as the file system describes it now. A link reports its
// target's kind, size and time; a dangling or looping link is neither a
// file nor a directory.
DirEntry dirEntryFromFileInfo(const QFileInfo& info);

// The order of the browser's listing: sort keys of the process-wide sort
// setting (the values of the directory sort order: name 0, time 1, size 2,
// unsorted 3).
enum class DirSortKey { Name = 0, Time = 1, Size = 2, Unsorted = 3 };

// Sorts the entries in place: ".." first, then the directories, then the
// rest, each group by the key (names lower-cased and compared in the user's
// locale; the later time and the larger size are greater), ascending or
// descending; the groups keep their places either way. Entries equal under
// these rules keep their order. Built for large directories: each name's
// collation key is computed once per call.
void sortDirEntries(std::vector<DirEntry>& entries, DirSortKey key, bool ascending = true);

// A name in the form used inside URLs: the bytes of its UTF-8 form that are
// 128 or above, "#" and "%" become "%" and two upper-case hexadecimal
// digits. An empty name gives a null text.
QString escapeFileName(const QString& name);

// Whether a directory path is a root: "/" on this system, a drive root
// such as "C:/", or a share path "//server" or "//server/share/".
bool isRootPath(const QString& path);

// The kinds the browser's context menu tells apart by the name alone: the
// extension (after the last dot) in lower case, "krs" a script, "png",
// "jpg", "bmp" or "gif" an image.
enum class FileKind { Other, Script, Image };
FileKind fileKindOf(const QString& name);

// The name pattern of a filter text such as "Data Files (*.txt *.dat)":
// the part in parentheses at the end when the text has that form, else the
// whole text.
QString filterPattern(const QString& filterText);
// The description before the parentheses, or the whole text.
QString filterDescription(const QString& filterText);
// The filter patterns of a name filter ("*.txt *.csv" or "*.txt;*.csv").
QStringList nameFilterList(const QString& nameFilter);

// The ten texts of the Type and Attributes columns, in the user's language.
struct DirDisplayTexts {
    QString readWrite, readOnly, writeOnly, inaccessible;
    QString symlinkToFile, symlinkToDir, symlinkToSpecial;
    QString file, dir, special;
};

QString typeText(const DirEntry& entry, const DirDisplayTexts& texts);
QString attributesText(const DirEntry& entry, const DirDisplayTexts& texts);
// The modification time in the user's local short date and time format.
QString dateText(const DirEntry& entry);
