#pragma once
// A small folder tree for the browser tests, written into a temporary
// folder: folders, plain files, a dot file, a 5 GiB sparse file, names with
// "#", "%", blanks and non-ASCII letters, and links to a file, to a folder,
// to nothing and in a loop.
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <unistd.h>

namespace kro::test {

inline constexpr qint64 fiveGiB = qint64(5) << 30;
// "na#me %é.csv"
inline QString oddName() { return QString::fromUtf8("na#me %\xC3\xA9.csv"); }

// A symbolic link holding exactly that target text.
inline bool makeLink(const QString& target, const QString& link)
{
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) == 0;
}

inline void buildTree(const QString& root)
{
    QDir dir(root);
    ASSERT_TRUE(dir.mkpath(QStringLiteral("Sub dir")));
    ASSERT_TRUE(dir.mkpath(QStringLiteral("alpha")));
    writeFile(dir.filePath(QStringLiteral("Sub dir/inner.txt")), "inner");
    writeFile(dir.filePath(QStringLiteral("a.txt")), "abc");
    writeFile(dir.filePath(QStringLiteral("b.dat")), "1 2\n3 4\n");
    writeFile(dir.filePath(QStringLiteral(".hidden")), "h");
    writeFile(dir.filePath(oddName()), "1,2\n");
    writeFile(dir.filePath(QStringLiteral("run.krs")), "title x\n");
    writeFile(dir.filePath(QStringLiteral("Photo.PNG")), "not really a picture");
    QFile big(dir.filePath(QStringLiteral("big.bin")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(fiveGiB));
    big.close();
    ASSERT_TRUE(makeLink(QStringLiteral("a.txt"), dir.filePath(QStringLiteral("link-to-a"))));
    ASSERT_TRUE(makeLink(QStringLiteral("alpha"), dir.filePath(QStringLiteral("link-to-alpha"))));
    ASSERT_TRUE(makeLink(QStringLiteral("nowhere"), dir.filePath(QStringLiteral("dangling"))));
    ASSERT_TRUE(makeLink(QStringLiteral("loop2"), dir.filePath(QStringLiteral("loop1"))));
    ASSERT_TRUE(makeLink(QStringLiteral("loop1"), dir.filePath(QStringLiteral("loop2"))));
}

} // namespace kro::test
