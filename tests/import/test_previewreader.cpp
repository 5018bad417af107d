// Reading the first lines of a file for a preview: the fields of a preview
// line, line ends, byte order marks, bounded lines, and files that are no
// text (missing, folders, binary, UTF-16, empty, a large sparse file).
#include "import/previewreader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

#include "support/files.h"
#include "support/qtprinters.h"

using kro::import::PreviewReader;
using kro::import::TextProblem;

namespace {

std::vector<std::string> linesOf(PreviewReader& reader)
{
    std::vector<std::string> lines;
    std::string line;
    while (reader.next(line))
        lines.push_back(line);
    return lines;
}

class Preview : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString write(const QString& name, const QByteArray& bytes) { return kro::test::writeFile(dir.filePath(name), bytes); }
    QTemporaryDir dir;
};

} // namespace

TEST(PreviewFields, SeparatorsApostrophesAndCarets)
{
    struct Case {
        const char* line;
        std::vector<std::string> fields;
    } cases[] = {
        {"1,2;3 4", {"1", "2", "3", "4"}},
        {"1\t\t2 ,; 3", {"1", "2", "3"}},
        {"  leading and trailing  ", {"leading", "and", "trailing"}},
        {"a'b 7", {"a", "7"}},            // what follows an apostrophe in a field is dropped
        {"'a 2 3", {"", "2", "3"}},       // a field that begins with one stays empty but takes its column
        {"x^2 y", {"x", "y"}},
        {"^a,b", {"", "b"}},
        {"1 2\r3", {"1", "2"}},           // a carriage return ends the field
        {"", {}},
        {" ,; ", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kro::import::splitPreviewFields(c.line), c.fields) << c.line;
}

TEST(PreviewFields, LongFieldsKeep1023BytesWithoutSplittingACharacter)
{
    const std::string ascii(2000, 'a');
    EXPECT_EQ(kro::import::splitPreviewFields(ascii).at(0), std::string(1023, 'a'));
    // 511 two-byte characters fill 1022 bytes; the next would cross 1023.
    std::string wide;
    for (int i = 0; i < 600; ++i)
        wide += "\xC3\xA9";
    const std::string field = kro::import::splitPreviewFields(wide).at(0);
    EXPECT_EQ(field.size(), 1022u);
    EXPECT_EQ(QString::fromUtf8(field.data(), qsizetype(field.size())), QString(511, QChar(0xE9)));
}

TEST_F(Preview, LineEndsAndByteOrderMarks)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"lf", "a 1\nb 2\n", {"a 1", "b 2"}},
        {"crlf", "a 1\r\nb 2\r\n", {"a 1", "b 2"}},
        {"cr only", "a 1\rb 2\r", {"a 1", "b 2"}},
        {"no final line feed", "a 1\nb 2", {"a 1", "b 2"}},
        {"empty lines stay", "a\n\n\nb\n", {"a", "", "", "b"}},
        {"utf-8 mark", "\xEF\xBB\xBFx 1\n", {"x 1"}},
    };
    for (const Case& c : cases) {
        PreviewReader reader;
        ASSERT_TRUE(reader.open(write(QStringLiteral("f.txt"), c.bytes))) << c.name;
        EXPECT_EQ(linesOf(reader), c.lines) << c.name;
        EXPECT_FALSE(reader.isEmpty()) << c.name;
    }
}

TEST_F(Preview, FilesThatAreNoTextAreRefusedWithAReason)
{
    QDir(dir.path()).mkdir(QStringLiteral("folder"));
    struct Case {
        QString path;
        TextProblem problem;
        const char* reasonPart;
    } cases[] = {
        {dir.filePath("missing.dat"), TextProblem::Missing, "does not exist"},
        {dir.filePath("folder"), TextProblem::Folder, "folder"},
        {write("binary.dat", QByteArray("\x01\x02\x00\x03 1 2\n", 9)), TextProblem::Binary, "binary"},
        {write("utf16le.txt", QByteArray("\xFF\xFE" "1\0 \0" "2\0\n\0", 10)), TextProblem::Utf16, "UTF-16"},
        {write("utf16be.txt", QByteArray("\xFE\xFF\0" "1\0 \0" "2\0\n", 10)), TextProblem::Utf16, "UTF-16"},
    };
    for (const Case& c : cases) {
        PreviewReader reader;
        EXPECT_FALSE(reader.open(c.path)) << c.path.toStdString();
        EXPECT_EQ(reader.problem(), c.problem) << c.path.toStdString();
        EXPECT_TRUE(reader.reason().contains(QLatin1String(c.reasonPart))) << reader.reason().toStdString();
        std::string line;
        EXPECT_FALSE(reader.next(line));
    }

    PreviewReader empty;
    ASSERT_TRUE(empty.open(write("empty.dat", QByteArray())));
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_TRUE(linesOf(empty).empty());
}

TEST_F(Preview, ALongLineIsCutAndTheNextLineStillFollows)
{
    QByteArray bytes(int(PreviewReader::kMaxLineBytes) + 5000, 'x');
    bytes += "\nnext 1\n";
    PreviewReader reader;
    ASSERT_TRUE(reader.open(write("long.dat", bytes)));
    const auto lines = linesOf(reader);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(PreviewReader::kMaxLineBytes, 'x'));
    EXPECT_EQ(lines[1], "next 1");
}

TEST_F(Preview, TextBeforeAHoleOfNulBytesIsReadAndTheHoleEndsIt)
{
    // A sparse file of 1 GiB: three lines of text, then a hole. Only the text
    // before the hole is read, not the gigabyte of zeros after it.
    const QString path = write("sparse.dat", "1 10\n2 20\n3 30\n");
    ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), off_t(1) << 30), 0);
    PreviewReader reader;
    ASSERT_TRUE(reader.open(path));
    EXPECT_EQ(linesOf(reader), (std::vector<std::string>{"1 10", "2 20", "3 30"}));

    // A file that is all hole is binary.
    const QString hole = write("hole.dat", QByteArray());
    ASSERT_EQ(::truncate(QFile::encodeName(hole).constData(), off_t(1) << 30), 0);
    PreviewReader holeReader;
    EXPECT_FALSE(holeReader.open(hole));
    EXPECT_EQ(holeReader.problem(), TextProblem::Binary);
}
