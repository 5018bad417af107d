#include <gtest/gtest.h>

#include "base/localfsoperator.h"
#include "fs_fixture.h"
#include "support/files.h"
#include "support/scratchmount.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <map>

namespace {

using kro::test::readFile;
using kro::test::writeFile;

// What the operator reported of one operation.
struct Report {
    int kind = 0;
    int state = 0;
    int error = 0;
    QString detail;
    QStringList args;
};

class FsOperatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        m_root = m_tmp.path();
        m_op.setDirectory(m_root);
        QObject::connect(&m_op, &LocalFsOperator::finished, [this](FsOperation* op) {
            m_finished.push_back({op->kind(), op->state(), op->errorCode(), op->protocolDetail(),
                                  {op->arg(0), op->arg(1)}});
        });
        QObject::connect(&m_op, &LocalFsOperator::newChildren, [this](const QList<DirEntry>& entries, FsOperation*) {
            for (const DirEntry& e : entries)
                m_children[e.name] = e;
        });
        QObject::connect(&m_op, &LocalFsOperator::dataTransferProgress,
                         [this](qint64 done, qint64 total, FsOperation* op) {
                             m_progress.push_back({op->kind(), done, total});
                         });
        QObject::connect(&m_op, &LocalFsOperator::removed, [this](FsOperation* op) { m_events << "removed " + op->arg(0); });
        QObject::connect(&m_op, &LocalFsOperator::itemChanged,
                         [this](FsOperation* op) { m_events << "changed " + op->arg(0) + " > " + op->arg(1); });
        QObject::connect(&m_op, &LocalFsOperator::createdDirectory,
                         [this](const DirEntry& e, FsOperation*) { m_events << "created " + e.name; });
    }

    QString path(const QString& name) const { return m_root + QLatin1Char('/') + name; }

    // Waits until n more operations have ended; the last of them.
    Report waitFinished(std::size_t n = 1)
    {
        const std::size_t want = m_finished.size() + n;
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_finished.size() >= want; }, 20000));
        return m_finished.empty() ? Report{} : m_finished.back();
    }

    QTemporaryDir m_tmp;
    QString m_root;
    LocalFsOperator m_op;
    std::vector<Report> m_finished;
    std::map<QString, DirEntry> m_children;
    struct Progress {
        int kind;
        qint64 done, total;
    };
    std::vector<Progress> m_progress;
    QStringList m_events;
};

TEST_F(FsOperatorTest, ListingDescribesEveryEntry)
{
    kro::test::buildTree(m_root);
    m_op.listChildren();
    EXPECT_TRUE(m_children.empty());  // nothing inside the call
    const Report r = waitFinished();
    EXPECT_EQ(r.kind, FsOperation::ListChildren);
    EXPECT_EQ(r.state, FsOperation::Done);

    struct Case {
        QString name;
        bool isDir, isFile, isLink;
        qint64 size;
    };
    const std::vector<Case> cases = {
        {"..", true, false, false, 0},          {"Sub dir", true, false, false, 0},
        {"alpha", true, false, false, 0},       {"a.txt", false, true, false, 3},
        {".hidden", false, true, false, 1},     {"big.bin", false, true, false, kro::test::fiveGiB},
        {kro::test::oddName(), false, true, false, 4},
        {"link-to-a", false, true, true, 3},    {"link-to-alpha", true, false, true, 0},
        {"dangling", false, false, true, 0},    {"loop1", false, false, true, 0},
        {"loop2", false, false, true, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        ASSERT_EQ(m_children.count(c.name), 1u);
        const DirEntry& e = m_children[c.name];
        EXPECT_EQ(e.isDir, c.isDir);
        EXPECT_EQ(e.isFile, c.isFile);
        EXPECT_EQ(e.isSymLink, c.isLink);
        EXPECT_EQ(e.size, c.size);
    }
    EXPECT_EQ(m_children.count("."), 0u);
    EXPECT_EQ(m_children.size(), cases.size() + 3);  // b.dat, run.krs, Photo.PNG
    EXPECT_TRUE(m_children["a.txt"].readable && m_children["a.txt"].writable);
    EXPECT_NEAR(double(m_children["a.txt"].lastModified), double(QFileInfo(path("a.txt")).lastModified().toSecsSinceEpoch()), 1);

    // A name filter leaves out the files that do not match, never folders.
    m_children.clear();
    m_op.setNameFilter("*.txt *.csv");
    m_op.listChildren();
    waitFinished();
    QStringList names;
    for (const auto& [name, e] : m_children)
        names << name;
    EXPECT_EQ(names, QStringList({"..", "Sub dir", "a.txt", "alpha", "link-to-alpha", kro::test::oddName()}));
}

TEST_F(FsOperatorTest, FoldersThatCannotBeListedFailWithTheReason)
{
    writeFile(path("plain"), "x");
    kro::test::makeLink("self", path("self"));
    struct Case {
        QString dir;
        QString reason;
    };
    for (const Case& c : {Case{path("gone"), "No such file or directory"}, Case{path("plain"), "Not a directory"},
                          Case{path("self"), "Too many levels of symbolic links"}}) {
        SCOPED_TRACE(c.dir.toStdString());
        m_op.setDirectory(c.dir);
        m_op.listChildren();
        const Report r = waitFinished();
        EXPECT_EQ(r.state, FsOperation::Failed);
        EXPECT_EQ(r.error, FsOperation::ErrListChildren);
        EXPECT_TRUE(r.detail.contains(c.dir)) << r.detail.toStdString();
        EXPECT_TRUE(r.detail.contains(c.reason)) << r.detail.toStdString();
    }
}

TEST_F(FsOperatorTest, RemovingNeverFollowsLinksNorEmptiesFolders)
{
    kro::test::buildTree(m_root);
    writeFile(path("alpha/kept.txt"), "kept");
    QDir().mkpath(path("empty"));
    struct Case {
        QString name;
        bool removed;
    };
    for (const Case& c : {Case{"link-to-a", true}, Case{"link-to-alpha", true}, Case{"dangling", true},
                          Case{"loop1", true}, Case{"empty", true}, Case{"b.dat", true}, Case{"Sub dir", false},
                          Case{"missing", false}, Case{"../outside", false}, Case{"..", false}}) {
        SCOPED_TRACE(c.name.toStdString());
        m_op.remove(c.name);
        const Report r = waitFinished();
        EXPECT_EQ(r.state, c.removed ? FsOperation::Done : FsOperation::Failed);
        if (!c.removed) {
            EXPECT_EQ(r.error, FsOperation::ErrRemove);
            EXPECT_FALSE(r.detail.isEmpty());
        }
        EXPECT_EQ(m_events.contains("removed " + c.name), c.removed);
    }
    // The targets of the removed links and a non-empty folder are untouched.
    EXPECT_EQ(readFile(path("a.txt")), "abc");
    EXPECT_EQ(readFile(path("alpha/kept.txt")), "kept");
    EXPECT_EQ(readFile(path("Sub dir/inner.txt")), "inner");
    EXPECT_TRUE(QFileInfo(path("loop2")).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(path("empty")));
}

TEST_F(FsOperatorTest, RenamingStaysInTheFolderAndNeverReplaces)
{
    writeFile(path("a.txt"), "A");
    writeFile(path("c.txt"), "C");
    QDir().mkpath(path("sub"));
    struct Case {
        QString from, to;
        bool renamed;
    };
    for (const Case& c : {Case{"a.txt", "c.txt", false}, Case{"a.txt", "sub/a.txt", false},
                          Case{"a.txt", "..", false}, Case{"a.txt", ".", false}, Case{"a.txt", "", false},
                          Case{"a.txt", QString("x") + QChar(0) + "y", false}, Case{"sub/none", "b", false},
                          Case{"missing", "b", false}, Case{"a.txt", kro::test::oddName(), true},
                          Case{"sub", "sub 2", true}}) {
        SCOPED_TRACE((c.from + " > " + c.to).toStdString());
        m_op.rename(c.from, c.to);
        const Report r = waitFinished();
        EXPECT_EQ(r.state, c.renamed ? FsOperation::Done : FsOperation::Failed);
        EXPECT_EQ(m_events.contains("changed " + c.from + " > " + c.to), c.renamed);
        if (!c.renamed) {
            EXPECT_EQ(r.error, FsOperation::ErrRename);
        }
    }
    EXPECT_EQ(readFile(path("c.txt")), "C");
    EXPECT_EQ(readFile(path(kro::test::oddName())), "A");
    EXPECT_TRUE(QFileInfo(path("sub 2")).isDir());
    EXPECT_FALSE(QFileInfo::exists(path("sub/a.txt")));
}

TEST_F(FsOperatorTest, NewFoldersAreReportedAndNamesAreChecked)
{
    m_op.mkdir("New Folder 1");
    EXPECT_EQ(waitFinished().state, FsOperation::Done);
    EXPECT_TRUE(QFileInfo(path("New Folder 1")).isDir());
    EXPECT_EQ(m_events, QStringList({"created New Folder 1"}));
    EXPECT_TRUE(m_children["New Folder 1"].isDir);
    for (const QString& bad : {QString("New Folder 1"), QString("a/b"), QString("..")}) {
        m_op.mkdir(bad);
        const Report r = waitFinished();
        EXPECT_EQ(r.state, FsOperation::Failed) << bad.toStdString();
        EXPECT_EQ(r.error, FsOperation::ErrMkDir);
    }
}

// The bytes of a file whose content tells where each byte sits.
QByteArray patterned(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 251) & 0xFF);
    return bytes;
}

QStringList entriesOf(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

TEST_F(FsOperatorTest, CopiesArriveWholeUnderTheirOwnNameWithProgress)
{
    const QByteArray content = patterned(3 * LocalFsOperator::chunkSize + 123);
    writeFile(path("src/data.bin"), content);
    QDir().mkpath(path("dest"));
    m_op.copy({path("src/data.bin")}, path("dest"), false);
    const Report put = waitFinished(2);
    EXPECT_EQ(put.kind, FsOperation::Put);
    EXPECT_EQ(put.state, FsOperation::Done);
    EXPECT_EQ(readFile(path("dest/data.bin")), content);
    EXPECT_EQ(readFile(path("src/data.bin")), content);
    EXPECT_EQ(entriesOf(path("dest")), QStringList({"data.bin"}));

    // Reads and writes report alternately, each growing to the total.
    std::vector<qint64> reads, writes;
    for (const auto& p : m_progress) {
        EXPECT_EQ(p.total, content.size());
        (p.kind == FsOperation::Get ? reads : writes).push_back(p.done);
    }
    const std::vector<qint64> expected = {LocalFsOperator::chunkSize, 2 * LocalFsOperator::chunkSize,
                                          3 * LocalFsOperator::chunkSize, content.size()};
    EXPECT_EQ(reads, expected);
    EXPECT_EQ(writes, expected);
}

TEST_F(FsOperatorTest, FolderCopiesTakeTheirTreeAndLinkTexts)
{
    writeFile(path("src/tree/a.txt"), "a");
    writeFile(path("src/tree/deep/b.txt"), "b");
    writeFile(path("src/tree/.dot"), "d");
    QDir().mkpath(path("src/tree/empty"));
    kro::test::makeLink("deep/b.txt", path("src/tree/link"));
    kro::test::makeLink("nowhere", path("src/tree/dangling"));
    QDir().mkpath(path("dest"));
    m_op.copy({path("src/tree")}, path("dest"), false);
    EXPECT_EQ(waitFinished(2).state, FsOperation::Done);
    EXPECT_EQ(readFile(path("dest/tree/a.txt")), "a");
    EXPECT_EQ(readFile(path("dest/tree/deep/b.txt")), "b");
    EXPECT_EQ(readFile(path("dest/tree/.dot")), "d");
    EXPECT_TRUE(QFileInfo(path("dest/tree/empty")).isDir());
    EXPECT_EQ(QFile::symLinkTarget(path("dest/tree/link")), path("dest/tree/deep/b.txt"));
    EXPECT_TRUE(QFileInfo(path("dest/tree/dangling")).isSymLink());
    EXPECT_EQ(entriesOf(path("dest")), QStringList({"tree"}));
    EXPECT_EQ(readFile(path("src/tree/a.txt")), "a");
}

TEST_F(FsOperatorTest, CopiesThatCannotBeDoneChangeNothing)
{
    writeFile(path("a.txt"), "A");
    writeFile(path("dest/a.txt"), "old");
    writeFile(path("tree/sub/x"), "x");
    struct Case {
        const char* what;
        QString source, destination;
        bool move;
        int error;
    };
    for (const Case& c :
         {Case{"name taken", path("a.txt"), path("dest"), false, FsOperation::ErrPut},
          Case{"onto itself", path("a.txt"), m_root, true, FsOperation::ErrPut},
          Case{"folder into itself", path("tree"), path("tree"), false, FsOperation::ErrPut},
          Case{"folder into its subfolder", path("tree"), path("tree/sub"), true, FsOperation::ErrPut},
          Case{"no source", path("missing"), path("dest"), false, FsOperation::ErrFileNotExisting},
          Case{"no destination", path("a.txt"), path("nowhere"), false, FsOperation::ErrPut}}) {
        SCOPED_TRACE(c.what);
        const std::size_t before = m_finished.size();
        m_op.copy({c.source}, c.destination, c.move);
        waitFinished(2);
        int error = 0;
        for (std::size_t i = before; i < m_finished.size(); ++i)
            error = std::max(error, m_finished[i].error);
        EXPECT_EQ(error, c.error);
    }
    EXPECT_EQ(entriesOf(m_root), QStringList({"a.txt", "dest", "tree"}));
    EXPECT_EQ(entriesOf(path("dest")), QStringList({"a.txt"}));
    EXPECT_EQ(entriesOf(path("tree")), QStringList({"sub"}));
    EXPECT_EQ(entriesOf(path("tree/sub")), QStringList({"x"}));
    EXPECT_EQ(readFile(path("dest/a.txt")), "old");
}

TEST_F(FsOperatorTest, MovesWithinAFileSystemRename)
{
    writeFile(path("a.txt"), "A");
    writeFile(path("tree/x"), "x");
    QDir().mkpath(path("dest"));
    m_op.copy({path("a.txt"), path("tree")}, path("dest"), true);
    waitFinished(4);
    for (const Report& r : m_finished)
        EXPECT_EQ(r.state, FsOperation::Done);
    EXPECT_EQ(entriesOf(m_root), QStringList({"dest"}));
    EXPECT_EQ(readFile(path("dest/a.txt")), "A");
    EXPECT_EQ(readFile(path("dest/tree/x")), "x");
    // One report each, complete at once: no progress dialog for a rename.
    for (const auto& p : m_progress)
        EXPECT_EQ(p.done, p.total);
}

TEST_F(FsOperatorTest, MovesAcrossFileSystemsRemoveTheSourceOnlyWhenTheCopyIsWhole)
{
    kro::test::ScratchMount other(path("other"), "size=8m");
    if (!other.ok())
        GTEST_SKIP() << other.error().toStdString();
    writeFile(path("a.txt"), "A");
    writeFile(path("tree/deep/x"), "x");
    m_op.copy({path("a.txt"), path("tree")}, other.path(), true);
    waitFinished(4);
    for (const Report& r : m_finished)
        EXPECT_EQ(r.state, FsOperation::Done) << r.detail.toStdString();
    EXPECT_EQ(readFile(path("other/a.txt")), "A");
    EXPECT_EQ(readFile(path("other/tree/deep/x")), "x");
    EXPECT_FALSE(QFileInfo::exists(path("a.txt")));
    EXPECT_FALSE(QFileInfo::exists(path("tree")));
}

TEST_F(FsOperatorTest, AFullDiskFailsTheCopyAndLeavesNoPartialFile)
{
    kro::test::ScratchMount small(path("small"), "size=1m");
    if (!small.ok())
        GTEST_SKIP() << small.error().toStdString();
    const QByteArray content = patterned(3 * LocalFsOperator::chunkSize);
    writeFile(path("big.bin"), content);
    writeFile(path("tree/big.bin"), content);
    for (bool move : {false, true}) {
        for (const QString& source : {path("big.bin"), path("tree")}) {
            SCOPED_TRACE(source.toStdString() + (move ? " moved" : " copied"));
            const std::size_t before = m_finished.size();
            m_op.copy({source}, small.path(), move);
            waitFinished(2);
            const Report& put = m_finished.back();
            EXPECT_EQ(put.kind, FsOperation::Put);
            EXPECT_EQ(put.error, FsOperation::ErrPut);
            EXPECT_TRUE(put.detail.contains("No space left on device")) << put.detail.toStdString();
            EXPECT_EQ(m_finished.size(), before + 2);
            EXPECT_TRUE(entriesOf(small.path()).isEmpty()) << entriesOf(small.path()).join(", ").toStdString();
        }
    }
    EXPECT_EQ(readFile(path("big.bin")), content);
    EXPECT_EQ(readFile(path("tree/big.bin")), content);
}

TEST_F(FsOperatorTest, StoppingALargeCopyLeavesNoPartialFileAndTheSourceIntact)
{
    kro::test::ScratchMount other(path("other"), "size=300m");
    // A sparse 200 MB source costs no disk; its copy is written for real.
    QFile source(path("large.bin"));
    ASSERT_TRUE(source.open(QIODevice::WriteOnly));
    ASSERT_TRUE(source.resize(200 << 20));
    source.close();
    QDir().mkpath(path("dest"));
    QStringList destinations = {path("dest")};
    if (other.ok())
        destinations << other.path();  // a move there is a copy, not a rename
    for (const QString& destination : destinations) {
        for (bool move : {false, true}) {
            SCOPED_TRACE(destination.toStdString() + (move ? " moved" : " copied"));
            if (move && destination == path("dest"))
                continue;  // a rename on one file system has nothing to stop
            m_progress.clear();
            m_op.copy({path("large.bin")}, destination, move);
            ASSERT_TRUE(QTest::qWaitFor([&] { return m_progress.size() >= 6; }, 20000));
            const std::size_t before = m_finished.size();
            m_op.stop();  // reports the copy's end at once
            ASSERT_EQ(m_finished.size(), before + 2);
            EXPECT_EQ(m_finished.back().state, FsOperation::Stopped);
            EXPECT_TRUE(entriesOf(destination).isEmpty()) << entriesOf(destination).join(", ").toStdString();
            EXPECT_EQ(QFileInfo(path("large.bin")).size(), 200 << 20);
        }
    }
}

TEST_F(FsOperatorTest, OperationsRunInTheOrderAskedAndStopDropsTheQueue)
{
    m_op.mkdir("one");
    m_op.mkdir("two");
    m_op.rename("one", "three");
    m_op.stop();  // nothing ran yet: all three end as stopped, at once
    ASSERT_EQ(m_finished.size(), 3u);
    for (const Report& r : m_finished)
        EXPECT_EQ(r.state, FsOperation::Stopped);
    EXPECT_TRUE(entriesOf(m_root).isEmpty());
    m_finished.clear();
    m_op.mkdir("one");
    m_op.rename("one", "two");
    m_op.remove("two");
    waitFinished(3);
    EXPECT_EQ(m_events, QStringList({"created one", "changed one > two", "removed two"}));
    EXPECT_TRUE(entriesOf(m_root).isEmpty());
}

} // namespace
