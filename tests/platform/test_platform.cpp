// The Linux platform layer: folders, settings stores, numeric locale and
// free memory.
#include "platform/platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "support/test_env.h"

using namespace kro::platform;

TEST(PlatformFolders, CommonAppDataFolderIsCreatedAndMatchesAppDataLocation)
{
    const QString folder = commonAppDataFolder();
    EXPECT_EQ(folder, kro::test::homeDir() + "/data/KRO/");
    EXPECT_TRUE(QFileInfo(folder).isDir());
    // Everyone who asks the toolkit for the application's data folder gets the same one.
    EXPECT_EQ(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/", folder);
}

TEST(PlatformFolders, UserFoldersLiveUnderHomeKro)
{
    const struct {
        UserFolder which;
        const char* name;
    } cases[] = {{UserFolder::Images, "images"}, {UserFolder::Data, "data"}, {UserFolder::Scripts, "scripts"}};
    for (const auto& c : cases) {
        const QString path = userFolder(c.which);
        EXPECT_EQ(path, QDir::homePath() + "/KRO/" + c.name);
        EXPECT_TRUE(QFileInfo(path).isDir()) << c.name;
    }
}

TEST(PlatformSettings, StoresAreTheProgramsOwnFilesInTheConfigFolder)
{
    const QString config = kro::test::homeDir() + "/config/KROSoftware/";
    EXPECT_EQ(openProgramSettings()->fileName(), config + "kro.conf");
    EXPECT_EQ(openRegexBuilderSettings()->fileName(), config + "RegExBuilder.conf");

    openProgramSettings()->setValue("platformtest", "é/ü 1,5");
    EXPECT_EQ(openProgramSettings()->value("platformtest").toString(), QString::fromUtf8("é/ü 1,5"));
    EXPECT_FALSE(openRegexBuilderSettings()->contains("platformtest"));
    openProgramSettings()->remove("platformtest");
}

TEST(PlatformLocale, NumbersFormatWithAPointAfterSetUp)
{
    // The toolkit may have switched LC_NUMERIC to the user's locale; set-up puts "C" back.
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr)
        std::setlocale(LC_NUMERIC, "C.UTF-8");
    setUpApplication();
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", 1.5);
    EXPECT_STREQ(text, "1.5");
    EXPECT_EQ(std::strtod("2.25", nullptr), 2.25);
    EXPECT_EQ(QCoreApplication::applicationName(), "KRO");
    EXPECT_TRUE(QCoreApplication::organizationName().isEmpty());
}

TEST(PlatformMemory, MemAvailableIsParsedInBytes)
{
    const struct {
        const char* text;
        long long bytes;
    } cases[] = {
        {"MemTotal:       16000000 kB\nMemFree:         100 kB\nMemAvailable:    2048 kB\n", 2048LL * 1024},
        {"MemAvailable: 7\n", 7},
        {"MemFree: 100 kB\n", -1},
        {"MemAvailable: lots kB\n", -1},
        {"", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(availableMemoryFromMeminfo(QByteArray(c.text)), c.bytes) << c.text;
    EXPECT_GT(availableMemoryBytes(), 0);
}

TEST(PlatformPaths, JoinPutsExactlyOneSeparator)
{
    const struct {
        const char* folder;
        const char* name;
        const char* joined;
    } cases[] = {
        {"/a/b", "c", "/a/b/c"}, {"/a/b/", "c", "/a/b/c"}, {"/a/b/", "/c", "/a/b/c"},
        {"/a/b", "/c", "/a/b/c"}, {"", "c", "c"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(joinPath(c.folder, c.name), QString(c.joined)) << c.folder << " + " << c.name;
}

TEST(PlatformPaths, LeadingTildeIsTheHomeFolder)
{
    const QString home = QDir::homePath();
    const struct {
        const char* typed;
        QString expanded;
    } cases[] = {
        {"~", home}, {"~/", home + "/"}, {"~/KRO/data", home + "/KRO/data"}, {"~other/x", "~other/x"},
        {"a/~/b", "a/~/b"}, {"/abs/path", "/abs/path"}, {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(expandHome(c.typed), c.expanded) << c.typed;
}

TEST(HugePages, TunablesGainTheSettingOnlyWhereNoneIsMade)
{
    const struct {
        QByteArray current, expected;
    } cases[] = {
        {"", "glibc.malloc.hugetlb=1"},
        {"glibc.malloc.arena_max=2", "glibc.malloc.arena_max=2:glibc.malloc.hugetlb=1"},
        {"glibc.malloc.hugetlb=0", ""},
        {"glibc.malloc.arena_max=2:glibc.malloc.hugetlb=2", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tunablesWithHugePages(c.current), c.expected) << c.current.constData();
}
