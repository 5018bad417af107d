// File names between text and the file system's bytes: every byte string
// comes back as it was, valid UTF-8 reads as its text, and a name that is
// not UTF-8 still opens its file.
#include "core/filenames.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

#include "support/files.h"
#include "support/qtprinters.h"

TEST(FileNames, EveryByteStringComesBackAndUtf8ReadsAsText)
{
    struct Case {
        QByteArray bytes;
        bool utf8;
    } cases[] = {
        {"plain.dat", true},
        {"r\xC3\xA9sum\xC3\xA9.dat", true},
        {"\xF0\x9F\x98\x80 smile", true},         // outside the basic plane
        {"bad\xff\xfename.dat", false},
        {"\xC0\xAF overlong slash", false},
        {"\xED\xB3\xBF encoded surrogate", false}, // U+DCFF written as UTF-8
        {"cut \xE2\x82", false},
        {"\x80\x81\xBF lone continuations", false},
        {"\xF4\x90\x80\x80 past U+10FFFF", false},
    };
    for (const Case& c : cases) {
        const QString text = kro::decodeFileName(c.bytes);
        EXPECT_EQ(kro::encodeFileName(text), c.bytes) << c.bytes.toHex().constData();
        if (c.utf8)
            EXPECT_EQ(text, QString::fromUtf8(c.bytes));
        else
            EXPECT_NE(kro::encodeFileName(QString::fromUtf8(c.bytes)), c.bytes) << "the toolkit's own reading loses it";
    }
    // Two different names never read as the same text.
    EXPECT_NE(kro::decodeFileName(QByteArray("\xff")), kro::decodeFileName(QByteArray("\xfe")));
    EXPECT_NE(kro::decodeFileName(QByteArray("\xef\xbf\xbd")), kro::decodeFileName(QByteArray("\xff")));
}

TEST(FileNames, ANameThatIsNotUtf8OpensAndIsFound)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray path = kro::encodeFileName(dir.path()) + "/bad\xff\xfename.dat";
    kro::test::writeFileAtBytes(path, "1 2\n");

    const QString name = kro::decodeFileName(path);
    EXPECT_TRUE(kro::pathExists(name));
    EXPECT_FALSE(kro::isDirectory(name));
    EXPECT_TRUE(kro::isDirectory(dir.path()));
    struct stat st {};
    ASSERT_TRUE(kro::statPath(name, st));
    EXPECT_EQ(st.st_size, 4);
    const int in = kro::openForReading(name);
    ASSERT_GE(in, 0);
    char buffer[8] = {};
    EXPECT_EQ(::read(in, buffer, sizeof buffer), 4);
    ::close(in);
    EXPECT_FALSE(kro::pathExists(kro::decodeFileName(path + "x")));
}
