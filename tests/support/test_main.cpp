// Test main for every test program: runs on the offscreen platform with
// HOME and the XDG folders pointed at a temporary directory, so no test
// touches the user's real settings, data or script folders.
#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

#include "core/settings.h"
#include "core/linecolors.h"
#include "platform/platform.h"
#include "support/prompts.h"
#include "support/test_env.h"

namespace {
QString g_home;
}

namespace kro::test {
QString homeDir() { return g_home; }
void clearSettingsStore()
{
    closeSettings();
    kro::platform::openProgramSettings()->clear();
}
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QTemporaryDir home(QDir::tempPath() + "/kro-test-home-XXXXXX");
    if (!home.isValid()) {
        fprintf(stderr, "cannot create a temporary home folder\n");
        return 2;
    }
    g_home = home.path();
    for (const char* sub : {"config", "data", "cache", "runtime"})
        QDir(g_home).mkpath(sub);
    qputenv("HOME", g_home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (g_home + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (g_home + "/data").toUtf8());
    qputenv("XDG_CACHE_HOME", (g_home + "/cache").toUtf8());
    qputenv("XDG_RUNTIME_DIR", (g_home + "/runtime").toUtf8());
    QFile::setPermissions(g_home + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    kro::platform::setUpApplication();
    loadLineColors();
    kro::test::installFailingPrompter();
    return RUN_ALL_TESTS();
}
