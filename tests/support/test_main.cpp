// Test main for every test program: runs on the offscreen platform with
// HOME and the XDG folders pointed at a temporary directory, so no test
// touches the user's real settings, data or script folders. Fonts come from
// the DejaVu folder alone, whatever else the machine has installed, so every
// picture test measures the same glyphs on every machine; programs the tests
// start inherit the same font configuration.
#include <QApplication>
#include <QDir>
#include <QFile>
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

// A font configuration that sees only the packaged DejaVu fonts and maps
// the generic and Windows family names onto them.
bool pinFonts(const QString& home)
{
    const QString cache = home + "/cache/fontconfig";
    QDir().mkpath(cache);
    QByteArray aliases;
    const struct {
        const char* family;
        const char* face;
    } mapped[] = {{"sans-serif", "DejaVu Sans"},   {"serif", "DejaVu Serif"},     {"monospace", "DejaVu Sans Mono"},
                  {"Times", "DejaVu Serif"},       {"Arial", "DejaVu Sans"},       {"Courier New", "DejaVu Sans Mono"},
                  {"Helvetica", "DejaVu Sans"},    {"Courier", "DejaVu Sans Mono"}, {"cursive", "DejaVu Serif"}};
    for (const auto& m : mapped)
        aliases += QByteArray("  <alias binding=\"same\"><family>") + m.family + "</family><prefer><family>" + m.face +
                   "</family></prefer></alias>\n";
    const QByteArray config = "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
                              "  <dir>/usr/share/fonts/truetype/dejavu</dir>\n  <cachedir>" +
                              cache.toUtf8() + "</cachedir>\n" + aliases +
                              "  <match target=\"pattern\"><edit name=\"family\" mode=\"append_last\">"
                              "<string>DejaVu Sans</string></edit></match>\n</fontconfig>\n";
    QFile file(home + "/fonts.conf");
    if (!file.open(QIODevice::WriteOnly) || file.write(config) != config.size())
        return false;
    file.close();
    qputenv("FONTCONFIG_FILE", file.fileName().toUtf8());
    return true;
}
} // namespace

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
    if (!pinFonts(g_home)) {
        fprintf(stderr, "cannot write the test font configuration\n");
        return 2;
    }
    QFile::setPermissions(g_home + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    kro::platform::setUpApplication();
    loadLineColors();
    kro::test::installFailingPrompter();
    return RUN_ALL_TESTS();
}
