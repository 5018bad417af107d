// Files, listings, wildcard matching, copying and stopwatches on real
// temporary folders.
#include "core/fileutils.h"

#include "core/exceptions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <thread>
#include <unistd.h>

using namespace SCUtilities;

namespace {

class Folder {
public:
    Folder() { EXPECT_TRUE(m_dir.isValid()); }
    std::string path(const std::string& name = "") const
    {
        return m_dir.path().toStdString() + (name.empty() ? "" : "/" + name);
    }
    std::string write(const std::string& name, const QByteArray& bytes = "x") const
    {
        QFile f(QString::fromStdString(path(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path(name);
    }
    std::string mkdir(const std::string& name) const
    {
        QDir().mkpath(QString::fromStdString(path(name)));
        return path(name);
    }
    QByteArray read(const std::string& name) const
    {
        QFile f(QString::fromStdString(path(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QStringList entries() const { return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }

private:
    QTemporaryDir m_dir;
};

std::vector<std::string> names(const std::vector<FileInfo>& infos)
{
    std::vector<std::string> out;
    for (const FileInfo& i : infos)
        out.push_back(i.name);
    return out;
}

std::string errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const scexception& e) {
        return e.what();
    }
    return "no error";
}

using Names = std::vector<std::string>;

} // namespace

TEST(FileInfo, DescribesFilesFoldersAndTheCurrentDirectory)
{
    Folder dir;
    const std::string file = dir.write("d\xc3\xa4t\xc3\xa4 \xe2\x82\xac.txt", "12345");
    const std::time_t now = std::time(nullptr);

    const FileInfo f = fileInfo(file);
    EXPECT_EQ(f.name, "d\xc3\xa4t\xc3\xa4 \xe2\x82\xac.txt");
    EXPECT_EQ(f.path, file);
    EXPECT_EQ(f.parent, dir.path());
    EXPECT_TRUE(f.isRegularFile);
    EXPECT_FALSE(f.isDirectory);
    EXPECT_FALSE(f.isSymlink);
    EXPECT_EQ(f.size, 5u);
    EXPECT_FALSE(f.error);
    EXPECT_NEAR(double(f.lastWriteTime), double(now), 60);
    EXPECT_NE(f.permissions & 0400, 0);

    const FileInfo d = fileInfo(dir.path());
    EXPECT_TRUE(d.isDirectory);
    EXPECT_EQ(d.size, 0u);

    const FileInfo cwd = fileInfo("");
    EXPECT_TRUE(cwd.isDirectory);
    EXPECT_EQ(cwd.path.rfind(QDir::currentPath().toStdString(), 0), 0u);
}

TEST(FileInfo, MissingPathRaisesWithTheGenericPath)
{
    EXPECT_EQ(errorOf([] { fileInfo("C:\\no\\such.txt"); }), "FileSystem Exception: C:/no/such.txt does not exist.");
    EXPECT_EQ(errorOf([] { fileInfo("/no/such/dir/x"); }), "FileSystem Exception: /no/such/dir/x does not exist.");
}

TEST(FileInfo, DanglingLinkIsDescribedAsALink)
{
    Folder dir;
    ASSERT_EQ(::symlink(dir.path("gone").c_str(), dir.path("link").c_str()), 0);
    const FileInfo l = fileInfo(dir.path("link"));
    EXPECT_TRUE(l.isSymlink);
    EXPECT_FALSE(l.isDirectory);
    EXPECT_FALSE(l.isRegularFile);
    EXPECT_EQ(l.size, 0u);
}

TEST(ListDirectory, FlagsSortingAndMissingFolders)
{
    Folder dir;
    dir.write("b.txt");
    dir.write("B.txt");
    dir.write("a.dat");
    dir.mkdir("sub");
    dir.mkdir("Zed");
    ASSERT_EQ(::symlink(dir.path("gone").c_str(), dir.path("dangling").c_str()), 0);

    EXPECT_EQ(names(listDirectory(dir.path(), 3)), (Names{"B.txt", "Zed", "a.dat", "b.txt", "dangling", "sub"}));
    EXPECT_EQ(names(listDirectory(dir.path(), LIST_FILES)), (Names{"B.txt", "a.dat", "b.txt", "dangling"}));
    EXPECT_EQ(names(listDirectory(dir.path(), LIST_DIRECTORIES)), (Names{"Zed", "sub"}));
    EXPECT_EQ(names(listDirectory(dir.path(), 0)), Names{});
    // A file path or a wildcard path lists the folder that holds it.
    EXPECT_EQ(names(listDirectory(dir.path("a.dat"), LIST_DIRECTORIES)), (Names{"Zed", "sub"}));
    EXPECT_EQ(names(listDirectory(dir.path("*.dat"), LIST_DIRECTORIES)), (Names{"Zed", "sub"}));
    EXPECT_TRUE(listDirectory(dir.path("nowhere/at/all"), 3).empty());
    EXPECT_TRUE(listDirectory("/no/such/folder/", 3).empty());
}

TEST(ListMatching, NamesWithRegexCharactersMatchThemselves)
{
    Folder dir;
    for (const char* name : {"data(1).dat", "run+1.dat", "a[1].dat", "x.dat", "xdat", "x.DAT", "b.txt",
                             "\xc3\xa9.dat", "^$.dat", "a\\b.dat"})
        dir.write(name);
    dir.mkdir("sub.dat");

    const struct {
        const char* pattern;
        int flags;
        Names expected;
    } cases[] = {
        {"*.dat", 1, {"^$.dat", "a[1].dat", "a\\b.dat", "data(1).dat", "run+1.dat", "x.dat", "\xc3\xa9.dat"}},
        {"*.dat", 3,
         {"^$.dat", "a[1].dat", "a\\b.dat", "data(1).dat", "run+1.dat", "sub.dat", "x.dat", "\xc3\xa9.dat"}},
        {"data(1).dat", 1, {"data(1).dat"}},
        {"run+1.dat", 1, {"run+1.dat"}},
        {"a[1].dat", 1, {"a[1].dat"}},
        {"^$.dat", 1, {"^$.dat"}},
        {"?.dat", 1, {"x.dat", "\xc3\xa9.dat"}},
        {"x*", 1, {"x.DAT", "x.dat", "xdat"}},
        {"*.DAT", 1, {"x.DAT"}},
        {"nothing*", 1, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(names(listMatching(dir.path(c.pattern), c.flags)), c.expected) << c.pattern;
    EXPECT_EQ(names(listMatching(dir.path() + "\\x.dat", 1)), Names{"x.dat"}) << "a backslash separates folders";
    EXPECT_TRUE(listMatching(dir.path() + "/", 3).empty());
}

TEST(ListMatching, WildcardRules)
{
    const struct {
        const char* name;
        const char* pattern;
        bool matches;
    } cases[] = {
        {"abc", "abc", true},   {"abc", "a*", true},      {"abc", "*c", true},   {"abc", "a*b*c", true},
        {"abc", "a?c", true},   {"ac", "a?c", false},     {"abc", "*", true},    {"", "*", true},
        {"abc", "ab", false},   {"aXbXc", "a*c", true},   {"abcd", "a*c", false}, {"a.b", "a?b", true},
        {"\xc3\xa9", "?", true}, {"\xc3\xa9x", "??", true}, {"ab", "a**b", true}, {"mississippi", "*sip*", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(matchesWildcard(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
}

TEST(CopyFile, CopiesBytesExactly)
{
    Folder dir;
    QByteArray bytes("line 1\r\nline 2\n\0\xff", 18);
    bytes += QByteArray(200000, 'z');
    dir.write("src.bin", bytes);
    copyFile(dir.path("src.bin"), dir.path("copy.bin"));
    EXPECT_EQ(dir.read("copy.bin"), bytes);
    dir.write("empty", QByteArray());
    copyFile(dir.path("empty"), dir.path("empty copy"));
    EXPECT_EQ(dir.read("empty copy"), QByteArray());
    EXPECT_EQ(dir.entries().size(), 4) << "no temporary files left behind";
}

TEST(CopyFile, FailuresAreReportedAndNeverTruncateTheDestination)
{
    Folder dir;
    dir.write("keep.txt", "precious");
    const std::string missingSource = errorOf([&] { copyFile(dir.path("missing.txt"), dir.path("keep.txt")); });
    EXPECT_EQ(missingSource.rfind("FileSystem Exception: cannot open ", 0), 0u) << missingSource;
    EXPECT_EQ(dir.read("keep.txt"), "precious");

    EXPECT_NE(errorOf([&] { copyFile(dir.path("keep.txt"), dir.path("keep.txt")); }), "no error");
    EXPECT_EQ(dir.read("keep.txt"), "precious") << "copying a file onto itself must not empty it";

    EXPECT_NE(errorOf([&] { copyFile(dir.path("keep.txt"), dir.path("no/such/folder/x.txt")); }), "no error");
    EXPECT_NE(errorOf([&] { copyFile(dir.path(), dir.path("dir copy")); }), "no error") << "a folder is no source";
    EXPECT_EQ(dir.entries(), QStringList{"keep.txt"});
}

TEST(PathHelpers, DirectoryExistenceAndNames)
{
    Folder dir;
    const std::string file = dir.write("f.txt");
    EXPECT_EQ(directoryOf("x.txt"), ".");
    EXPECT_EQ(directoryOf(dir.path()), dir.path());
    EXPECT_EQ(directoryOf(file), dir.path());
    EXPECT_EQ(directoryOf(dir.path("missing/y.txt")), dir.path("missing"));

    EXPECT_FALSE(pathExists(""));
    EXPECT_TRUE(pathExists(file));
    EXPECT_TRUE(pathExists(dir.path()));
    EXPECT_FALSE(pathExists(dir.path("nope")));
    EXPECT_TRUE(isRegularFile(file));
    EXPECT_FALSE(isRegularFile(dir.path()));
    EXPECT_FALSE(isRegularFile(dir.path("nope")));

    const struct {
        const char* path;
        const char* name;
    } cases[] = {{"a/b/c.txt", "c.txt"}, {"c.txt", "c.txt"}, {"a/b/", "."}, {"/", "/"}, {"", ""},
                 {"/x/\xc3\xa9t\xc3\xa9.dat", "\xc3\xa9t\xc3\xa9.dat"}};
    for (const auto& c : cases)
        EXPECT_EQ(fileName(c.path), c.name) << c.path;
}

TEST(Stopwatch, RunPauseAndRestart)
{
    using namespace std::chrono_literals;
    StopwatchSet set;
    // First use with pause: reads 0 until resumed.
    EXPECT_EQ(stopwatch(set, 1, STOPWATCH_PAUSE), 0);
    std::this_thread::sleep_for(3ms);
    EXPECT_EQ(stopwatch(set, 1, STOPWATCH_PAUSE), 0);
    const auto resumed = stopwatch(set, 1, STOPWATCH_RUN);
    EXPECT_LT(resumed, 1000);
    std::this_thread::sleep_for(3ms);
    const auto running = stopwatch(set, 1, STOPWATCH_RUN);
    EXPECT_GE(running, resumed + 3000);

    // Two pauses in a row read the same.
    const auto paused = stopwatch(set, 1, STOPWATCH_PAUSE);
    std::this_thread::sleep_for(3ms);
    EXPECT_EQ(stopwatch(set, 1, STOPWATCH_PAUSE), paused);

    // Restart of a paused stopwatch: returns its reading, stays paused from zero.
    EXPECT_EQ(stopwatch(set, 1, STOPWATCH_RESTART), paused);
    std::this_thread::sleep_for(2ms);
    EXPECT_EQ(stopwatch(set, 1, STOPWATCH_PAUSE), 0);

    // A running one restarts running.
    EXPECT_EQ(stopwatch(set, 2, STOPWATCH_RUN), 0);
    std::this_thread::sleep_for(2ms);
    EXPECT_GE(stopwatch(set, 2, STOPWATCH_RESTART), 2000);
    std::this_thread::sleep_for(2ms);
    EXPECT_GE(stopwatch(set, 2, STOPWATCH_RUN), 2000);
    EXPECT_EQ(set.size(), 2u);
}
