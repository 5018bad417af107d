// The settings store: defaults, computed defaults, the shared object's
// open/close protocol, writing, and stored values that do not convert.
#include "core/settings.h"

#include "platform/platform.h"

#include <QDir>
#include <QSettings>
#include <gtest/gtest.h>

#include <functional>

#include "support/test_env.h"

namespace {

void store(const char* key, const QVariant& value) { kro::platform::openProgramSettings()->setValue(key, value); }

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override { kro::test::clearSettingsStore(); }
    void TearDown() override { kro::test::clearSettingsStore(); }
};

} // namespace

TEST_F(SettingsStore, EmptyStoreGivesEveryDefault)
{
    const QString app = QString::fromStdString(commonDataDirectory());
    const QString kro = QDir::homePath() + "/KRO/";
    const struct {
        const char* name;
        std::function<QString()> get;
        QString expected;
    } cases[] = {
        {"apppath", [] { return getAppPath(); }, app},
        {"backgroundimage", [] { return getBackgroundImage(); }, ""},
        {"backgroundtemplatepath", [] { return getBackgroundTemplatePath(); }, app + "background_images/"},
        {"builddate", [] { return getBuildDate(); }, "Build date: N/A"},
        {"datafileviewer", [] { return getDataFileViewer(); }, ""},
        {"dateformat", [] { return getDateFormat(); }, "%Y-%m-%d"},
        {"datetimeformat", [] { return getDateTimeFormat(); }, "%Y-%m-%d %H:%M:%S%F"},
        {"footnote", [] { return getFootnote(); }, "KRO - Version BETA"},
        {"imgpath", [] { return getImgPath(); }, kro + "images"},
        {"imgtype", [] { return getImgType(); }, "png"},
        {"labeltemplatepath", [] { return getLabelTemplatePath(); }, app + "templates/"},
        {"ofs", [] { return getOfs(); }, "comma"},
        {"opath", [] { return getOpath(); }, kro + "data"},
        {"scriptspath", [] { return getScriptsPath(); }, kro + "scripts"},
        {"tickfontfamily", [] { return getTickFontFamily(); }, "Times"},
        {"timeformat", [] { return getTimeFormat(); }, "%H:%M:%S%F"},
        {"title", [] { return getTitle(); }, "Default Title"},
        {"version", [] { return getVersion(); }, "Version BETA"},
        {"xlbl", [] { return getXlbl(); }, "Default X-Axis"},
        {"ylbl", [] { return getYlbl(); }, "Default Y-Axis"},
    };
    for (const auto& c : cases) {
        const QString value = c.get();
        EXPECT_EQ(value, c.expected) << c.name;
        EXPECT_FALSE(value.isNull()) << c.name;
        EXPECT_EQ(sharedSettings(), nullptr) << c.name << " left the shared object open";
    }
    EXPECT_TRUE(getEula().isNull());
    EXPECT_EQ(getBackgroundImageStyle(), CENTERED);
    EXPECT_TRUE(app.endsWith("/KRO/"));
    EXPECT_TRUE(QDir(app).exists());
}

TEST_F(SettingsStore, FootnoteDefaultCarriesTheStoredVersion)
{
    writeSetting("version", std::string("Version 2.5 (build 7)"));
    EXPECT_EQ(getFootnote(), "KRO - Version 2.5 (build 7)");
    writeSetting("footnote", "my own footnote");
    EXPECT_EQ(getFootnote(), "my own footnote");
}

TEST_F(SettingsStore, TemplatePathsJoinApppathWithOneSeparator)
{
    const struct {
        const char* apppath;
        const char* labels;
        const char* backgrounds;
    } cases[] = {
        {"/srv/kro", "/srv/kro/templates/", "/srv/kro/background_images/"},
        {"/srv/kro/", "/srv/kro/templates/", "/srv/kro/background_images/"},
        {"/srv/d\xc3\xa4t\xc3\xa4 (1)/", "/srv/d\xc3\xa4t\xc3\xa4 (1)/templates/",
         "/srv/d\xc3\xa4t\xc3\xa4 (1)/background_images/"},
    };
    for (const auto& c : cases) {
        writeSetting("apppath", std::string(c.apppath));
        EXPECT_EQ(getAppPath(), QString::fromUtf8(c.apppath));
        EXPECT_EQ(getLabelTemplatePath(), QString::fromUtf8(c.labels)) << c.apppath;
        EXPECT_EQ(getBackgroundTemplatePath(), QString::fromUtf8(c.backgrounds)) << c.apppath;
    }
    writeSetting("labeltemplatepath", "/x/labels");
    EXPECT_EQ(getLabelTemplatePath(), "/x/labels");
}

TEST_F(SettingsStore, CommonDataDirectoryKeepsNonAsciiNames)
{
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    const QString folder = kro::test::homeDir() + QString::fromUtf8("/d\xc3\xa4ta \xe2\x82\xac");
    qputenv("XDG_DATA_HOME", folder.toUtf8());
    const std::string dir = commonDataDirectory();
    const QString app = getAppPath();
    qputenv("XDG_DATA_HOME", saved);

    EXPECT_EQ(dir, (folder + "/KRO/").toStdString());
    EXPECT_EQ(app, folder + "/KRO/");
    EXPECT_TRUE(QDir(folder + "/KRO").exists());
}

TEST_F(SettingsStore, BackgroundImageStyleIsTiledOnlyForAStoredTrue)
{
    const struct {
        QVariant stored;
        BackgroundImageStyle expected;
    } cases[] = {
        {QVariant(), CENTERED},       {QVariant(true), TILED},       {QVariant("true"), TILED},
        {QVariant("false"), CENTERED}, {QVariant(false), CENTERED},  {QVariant("1"), TILED},
        {QVariant("0"), CENTERED},     {QVariant("sideways"), CENTERED},
    };
    for (const auto& c : cases) {
        kro::test::clearSettingsStore();
        if (c.stored.isValid())
            store("backgroundimagestyle", c.stored);
        EXPECT_EQ(getBackgroundImageStyle(), c.expected) << c.stored.toString().toStdString();
    }
}

TEST_F(SettingsStore, KeepOpenLeavesTheSharedObjectOpenUntilAGetterCloses)
{
    EXPECT_EQ(sharedSettings(), nullptr);
    openSettings();
    QSettings* first = sharedSettings();
    openSettings();
    EXPECT_EQ(sharedSettings(), first) << "a second open must reuse the object";

    getTitle(true);
    EXPECT_EQ(sharedSettings(), first);
    getVersion();
    EXPECT_EQ(sharedSettings(), nullptr);

    getXlbl(true);
    EXPECT_NE(sharedSettings(), nullptr);
    closeSettings();
    closeSettings();  // closing a closed store is harmless
    EXPECT_EQ(sharedSettings(), nullptr);
}

TEST_F(SettingsStore, WriteSettingRoundTripsWithoutTouchingTheSharedObject)
{
    getTitle(true);
    QSettings* shared = sharedSettings();
    EXPECT_TRUE(writeSetting("title", std::string("Temp 100% \xc2\xb0" "C")));
    EXPECT_EQ(sharedSettings(), shared);
    EXPECT_EQ(getTitle(), QString::fromUtf8("Temp 100% \xc2\xb0" "C"));

    EXPECT_TRUE(writeSetting("pntrad", QVariant(9)));
    EXPECT_EQ(readSettingInt("pntrad", 5), 9);
    EXPECT_TRUE(writeSetting("ylbl", QStringLiteral("")));
    EXPECT_EQ(getYlbl(), "") << "a stored empty text is not replaced by the default";
    EXPECT_FALSE(writeSetting("", "value"));
}

TEST_F(SettingsStore, StoredTextsThatDoNotConvertGiveTheDefault)
{
    store("pntrad", "five");
    store("barfloor", "high");
    store("pnts", "maybe");
    store("bordercolor", "0xZZ");
    store("history", "40");
    store("slide", "-1");
    EXPECT_EQ(readSettingInt("pntrad", 5), 5);
    EXPECT_EQ(readSettingDouble("barfloor", 2.5), 2.5);
    EXPECT_EQ(readSettingBool("pnts", true), true);
    EXPECT_EQ(readSettingColor("bordercolor", 0xF0F0F0u), 0xF0F0F0u);
    EXPECT_EQ(readSettingInt("history", 30), 40);
    EXPECT_EQ(readSettingInt("slide", 0), -1);
    EXPECT_EQ(sharedSettings(), nullptr);
}
