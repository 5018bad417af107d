// The line reader on real files, FIFOs and files cut while they are read.
#include "import/linereader.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "support/qtprinters.h"

using kro::import::LineReader;

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return f.fileName();
}

QList<QByteArray> readAll(LineReader& reader)
{
    QList<QByteArray> lines;
    const char* b = nullptr;
    const char* e = nullptr;
    while (reader.next(b, e))
        lines << QByteArray(b, e - b);
    return lines;
}

} // namespace

TEST(LineReader, AFileCutWhileItIsReadIsNoted)
{
    QTemporaryDir dir;
    QByteArray text;
    for (int i = 0; i < 100; ++i)
        text += "1 2\n";
    const QString file = writeFile(dir, "cut.dat", text);

    LineReader reader(64);
    ASSERT_TRUE(reader.open(file));
    const char* b = nullptr;
    const char* e = nullptr;
    ASSERT_TRUE(reader.next(b, e));
    ASSERT_TRUE(QFile(file).resize(10));
    const QList<QByteArray> rest = readAll(reader);
    EXPECT_EQ(rest.size(), 64 / 4 - 1) << "the first buffer's lines, then the end";
    EXPECT_TRUE(reader.truncated());
    EXPECT_EQ(reader.fileSize(), text.size());
    EXPECT_EQ(reader.bytesRead(), 64);

    // Read whole, or grown while read: not cut.
    ASSERT_TRUE(reader.open(writeFile(dir, "whole.dat", text)));
    EXPECT_EQ(readAll(reader).size(), 100);
    EXPECT_FALSE(reader.truncated());
    EXPECT_EQ(reader.bytesRead(), text.size());
}

TEST(LineReader, ALineLongerThanTheLongestEndsTheReading)
{
    QTemporaryDir dir;
    const QByteArray text = "1 2\n" + QByteArray(300, 'x') + "\n3 4\n";
    LineReader reader(64, 256);
    ASSERT_TRUE(reader.open(writeFile(dir, "long.dat", text)));
    EXPECT_EQ(readAll(reader), QList<QByteArray>{"1 2\n"});
    EXPECT_TRUE(reader.lineTooLong());
    EXPECT_TRUE(reader.error().isEmpty());

    // Just below the limit the line is whole.
    const QByteArray fits = QByteArray(255, 'y') + "\n";
    ASSERT_TRUE(reader.open(writeFile(dir, "fits.dat", fits + "3 4")));
    EXPECT_EQ(readAll(reader), (QList<QByteArray>{fits, "3 4"}));
    EXPECT_FALSE(reader.lineTooLong());
}

TEST(LineReader, AFifoNeverBlocksWithoutAStopFlagAndWaitsUntilAStopWithOne)
{
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath("f.fifo"));
    ASSERT_EQ(::mkfifo(path.constData(), 0600), 0);

    // No writer: opening does not wait, and the FIFO reads as empty.
    LineReader reader;
    ASSERT_TRUE(reader.open(QString::fromLocal8Bit(path)));
    EXPECT_TRUE(readAll(reader).isEmpty());
    EXPECT_FALSE(reader.stopped());

    // A writer that has sent one line and stays: without a stop flag the
    // reader takes what is there and does not wait for more.
    const int writer = ::open(path.constData(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::write(writer, "1 2\n", 4), 4);
    ASSERT_TRUE(reader.open(QString::fromLocal8Bit(path)));
    EXPECT_EQ(readAll(reader), QList<QByteArray>{"1 2\n"});

    // With a stop flag it waits for the next line until the stop.
    std::atomic<bool> stop{false};
    reader.setStopFlag(&stop);
    ASSERT_TRUE(reader.open(QString::fromLocal8Bit(path)));
    ASSERT_EQ(::write(writer, "3 4\n", 4), 4);
    const char* b = nullptr;
    const char* e = nullptr;
    ASSERT_TRUE(reader.next(b, e));
    EXPECT_EQ(QByteArray(b, e - b), "3 4\n");
    std::atomic<bool> done{false};
    bool more = true;
    std::thread consumer([&] {
        more = reader.next(b, e);
        done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(done.load()) << "the reader waits for the writer";
    stop = true;
    consumer.join();
    ::close(writer);
    EXPECT_FALSE(more);
    EXPECT_TRUE(reader.stopped());
}
