#include <gtest/gtest.h>

#include "base/direntry.h"

#include <QLocale>

namespace {

TEST(DirEntryRules, NamesAreEscapedByteByByte)
{
    struct Case {
        const char* name;  // UTF-8
        const char* escaped;
    };
    // Each UTF-8 byte of a non-ASCII letter is escaped on its own; "#" and
    // "%" are escaped; blanks and other ASCII stay.
    for (const Case& c : {Case{"plain.txt", "plain.txt"}, Case{"a#b", "a%23b"}, Case{"100%", "100%25"},
                          Case{"\xC3\xA9t\xC3\xA9", "%C3%A9t%C3%A9"}, Case{"\xE6\x97\xA5.dat", "%E6%97%A5.dat"},
                          Case{"with blank?", "with blank?"}, Case{"%23", "%2523"}}) {
        EXPECT_EQ(escapeFileName(QString::fromUtf8(c.name)), QString::fromLatin1(c.escaped)) << c.name;
    }
    EXPECT_TRUE(escapeFileName(QString()).isNull());
    EXPECT_TRUE(escapeFileName(QStringLiteral("")).isNull());
}

TEST(DirEntryRules, RootPaths)
{
    struct Case {
        const char* path;
        bool root;
    };
    for (const Case& c : {Case{"/", true}, Case{"/tmp", false}, Case{"/tmp/", false}, Case{"C:/", true},
                          Case{"C:/data", false}, Case{"//server", true}, Case{"//server/share", true},
                          Case{"//server/share/", true}, Case{"//server/share/dir", false},
                          Case{"//server/share/dir/", false}, Case{"", false}}) {
        EXPECT_EQ(isRootPath(QString::fromLatin1(c.path)), c.root) << c.path;
    }
}

TEST(DirEntryRules, FileKindsFollowTheLastExtensionInAnyCase)
{
    struct Case {
        const char* name;
        FileKind kind;
    };
    for (const Case& c : {Case{"run.krs", FileKind::Script}, Case{"RUN.KRS", FileKind::Script},
                          Case{"a.b.krs", FileKind::Script}, Case{"photo.PNG", FileKind::Image},
                          Case{"x.jpg", FileKind::Image}, Case{"x.bmp", FileKind::Image}, Case{"x.Gif", FileKind::Image},
                          Case{"x.jpeg", FileKind::Other}, Case{"krs", FileKind::Other}, Case{"krs.txt", FileKind::Other},
                          Case{"data.csv", FileKind::Other}, Case{"noextension", FileKind::Other},
                          Case{"ends.", FileKind::Other}}) {
        EXPECT_EQ(fileKindOf(QString::fromLatin1(c.name)), c.kind) << c.name;
    }
}

TEST(DirEntryRules, FilterTextsGiveTheirPatterns)
{
    struct Case {
        const char* text;
        const char* pattern;
        const char* description;
    };
    for (const Case& c : {Case{"All Files (*.*)", "*.*", "All Files "}, Case{"*.txt", "*.txt", "*.txt"},
                          Case{"Data Files (*.txt *.csv *.dat)", "*.txt *.csv *.dat", "Data Files "},
                          Case{"Logs (log?.[01]*)", "log?.[01]*", "Logs "},
                          // "-" is not among the pattern's characters.
                          Case{"Logs (log[0-9])", "Logs (log[0-9])", "Logs (log[0-9])"},
                          // Characters outside the pattern set: the whole text is the pattern.
                          Case{"Odd (a$b)", "Odd (a$b)", "Odd (a$b)"},
                          // The parentheses must close the text.
                          Case{"Text (*.txt) files", "Text (*.txt) files", "Text (*.txt) files"}}) {
        EXPECT_EQ(filterPattern(QString::fromLatin1(c.text)), QString::fromLatin1(c.pattern)) << c.text;
        EXPECT_EQ(filterDescription(QString::fromLatin1(c.text)), QString::fromLatin1(c.description)) << c.text;
    }
    EXPECT_EQ(nameFilterList("*.txt *.csv;*.dat"), QStringList({"*.txt", "*.csv", "*.dat"}));
    EXPECT_EQ(nameFilterList(""), QStringList({"*"}));
}

DirEntry entry(const char* name, bool dir, qint64 size = 0, qint64 time = 0)
{
    DirEntry e;
    e.name = QString::fromUtf8(name);
    e.isDir = dir;
    e.isFile = !dir;
    e.size = size;
    e.lastModified = time;
    e.timeValid = true;
    return e;
}

QStringList names(const std::vector<DirEntry>& entries)
{
    QStringList n;
    for (const DirEntry& e : entries)
        n << e.name;
    return n;
}

TEST(DirEntryRules, SortingPutsDirectoriesAndDotDotFirst)
{
    const std::vector<DirEntry> listing = {entry("b.txt", false, 10, 300), entry("beta", true, 0, 50),
                                           entry("A.txt", false, 30, 100), entry("..", true),
                                           entry("c.txt", false, 20, 200), entry("Alpha", true, 0, 60),
                                           entry("same.txt", false, 20, 200)};
    struct Case {
        DirSortKey key;
        bool ascending;
        QStringList order;
    };
    for (const Case& c :
         {Case{DirSortKey::Name, true, {"..", "Alpha", "beta", "A.txt", "b.txt", "c.txt", "same.txt"}},
          Case{DirSortKey::Size, true, {"..", "beta", "Alpha", "b.txt", "c.txt", "same.txt", "A.txt"}},
          Case{DirSortKey::Time, true, {"..", "beta", "Alpha", "A.txt", "c.txt", "same.txt", "b.txt"}},
          // Unsorted keeps the arrival order within directories and files.
          Case{DirSortKey::Unsorted, true, {"..", "beta", "Alpha", "b.txt", "A.txt", "c.txt", "same.txt"}},
          // Descending reverses each group; ".." and the folders stay on top,
          // entries equal in the key keep their order.
          Case{DirSortKey::Name, false, {"..", "beta", "Alpha", "same.txt", "c.txt", "b.txt", "A.txt"}},
          Case{DirSortKey::Size, false, {"..", "beta", "Alpha", "A.txt", "c.txt", "same.txt", "b.txt"}},
          Case{DirSortKey::Time, false, {"..", "Alpha", "beta", "b.txt", "c.txt", "same.txt", "A.txt"}},
          Case{DirSortKey::Unsorted, false, {"..", "beta", "Alpha", "b.txt", "A.txt", "c.txt", "same.txt"}}}) {
        std::vector<DirEntry> sorted = listing;
        sortDirEntries(sorted, c.key, c.ascending);
        EXPECT_EQ(names(sorted), c.order) << static_cast<int>(c.key) << " ascending " << c.ascending;
    }
}

TEST(DirEntryRules, NamesCompareInTheUsersLanguage)
{
    const QLocale saved;
    // German collation puts accented letters with their base letter.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::vector<DirEntry> files = {entry("zebra", false), entry("\xC3\xA9" "clair", false), entry("Eagle", false),
                                   entry("apple", false)};
    sortDirEntries(files, DirSortKey::Name);
    QLocale::setDefault(saved);
    EXPECT_EQ(names(files), QStringList({"apple", "Eagle", QString::fromUtf8("\xC3\xA9" "clair"), "zebra"}));
}

TEST(DirEntryRules, ColumnTexts)
{
    const DirDisplayTexts t{"RW", "RO", "WO", "None", "LinkFile", "LinkDir", "LinkSpecial", "File", "Dir", "Special"};
    struct Case {
        bool isFile, isDir, isLink, readable, writable;
        const char* type;
        const char* attributes;
    };
    for (const Case& c : {Case{true, false, false, true, true, "File", "RW"},
                          Case{true, false, true, true, false, "LinkFile", "RO"},
                          Case{false, true, false, false, true, "Dir", "WO"},
                          Case{false, true, true, false, false, "LinkDir", "None"},
                          Case{false, false, true, false, false, "LinkSpecial", "None"},
                          Case{false, false, false, true, true, "Special", "RW"}}) {
        DirEntry e;
        e.isFile = c.isFile;
        e.isDir = c.isDir;
        e.isSymLink = c.isLink;
        e.readable = c.readable;
        e.writable = c.writable;
        EXPECT_EQ(typeText(e, t), c.type);
        EXPECT_EQ(attributesText(e, t), c.attributes);
    }
}

} // namespace
