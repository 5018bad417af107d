#include "core/settings.h"

#include "core/appfolders.h"

#include <QSettings>

#include <memory>
#include <optional>

namespace {

std::unique_ptr<QSettings>& shared()
{
    static std::unique_ptr<QSettings> object;
    return object;
}

// Reads one key through the shared object, opening it first and closing it
// afterwards unless keepOpen. A missing key yields nothing.
template <typename Convert>
auto readThroughShared(const QString& key, bool keepOpen, Convert convert)
{
    openSettings();
    const QVariant stored = shared()->value(key);
    auto result = convert(stored);
    if (!keepOpen)
        closeSettings();
    return result;
}

std::optional<bool> toBool(const QVariant& v)
{
    if (!v.isValid())
        return std::nullopt;
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    const QString text = v.toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("yes") || text == QLatin1String("on"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("no") || text == QLatin1String("off"))
        return false;
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (ok)
        return number != 0;
    return std::nullopt;
}

std::optional<QString> readStoredText(const QString& key, bool keepOpen)
{
    return readThroughShared(key, keepOpen, [](const QVariant& v) {
        return v.isValid() ? std::optional<QString>(v.toString()) : std::nullopt;
    });
}

// A text whose default is a folder: the default is made only when the key is
// missing, so a default folder is created only when the program uses it.
QString readFolderSetting(const QString& key, bool keepOpen, QString (*defaultFolder)())
{
    const std::optional<QString> stored = readStoredText(key, keepOpen);
    return stored ? *stored : defaultFolder();
}

QString imagesFolder() { return kro::platform::userFolder(kro::platform::UserFolder::Images); }
QString dataFolder() { return kro::platform::userFolder(kro::platform::UserFolder::Data); }
QString scriptsFolder() { return kro::platform::userFolder(kro::platform::UserFolder::Scripts); }
QString appDataFolder() { return kro::platform::commonAppDataFolder(); }

// apppath followed by a sub-folder and '/', with one separator in between.
QString appSubfolder(const char* name)
{
    return kro::platform::joinPath(getAppPath(), QString::fromLatin1(name)) + QLatin1Char('/');
}

} // namespace

void openSettings()
{
    if (!shared())
        shared() = kro::platform::openProgramSettings();
}

void closeSettings() { shared().reset(); }

QSettings* sharedSettings() { return shared().get(); }

std::string commonDataDirectory() { return kro::platform::commonAppDataFolder().toStdString(); }

bool writeSetting(const QString& key, const QVariant& value)
{
    if (key.isEmpty())
        return false;
    std::unique_ptr<QSettings> writer = kro::platform::openProgramSettings();
    writer->setValue(key, value);
    writer->sync();
    return writer->status() == QSettings::NoError;
}

bool writeSetting(const QString& key, const QString& value) { return writeSetting(key, QVariant(value)); }

bool writeSetting(const QString& key, const std::string& value)
{
    return writeSetting(key, QString::fromStdString(value));
}

bool writeSetting(const QString& key, const char* value)
{
    return writeSetting(key, QString::fromUtf8(value ? value : ""));
}

QString readSettingText(const QString& key, const QString& defaultValue, bool keepOpen)
{
    return readStoredText(key, keepOpen).value_or(defaultValue);
}

int readSettingInt(const QString& key, int defaultValue, bool keepOpen)
{
    return readThroughShared(key, keepOpen, [&](const QVariant& v) {
        bool ok = false;
        const int value = v.toInt(&ok);
        return ok ? value : defaultValue;
    });
}

bool readSettingBool(const QString& key, bool defaultValue, bool keepOpen)
{
    return readThroughShared(key, keepOpen, [&](const QVariant& v) { return toBool(v).value_or(defaultValue); });
}

double readSettingDouble(const QString& key, double defaultValue, bool keepOpen)
{
    return readThroughShared(key, keepOpen, [&](const QVariant& v) {
        bool ok = false;
        const double value = v.toDouble(&ok);
        return ok ? value : defaultValue;
    });
}

quint32 readSettingColor(const QString& key, quint32 defaultValue, bool keepOpen)
{
    return readThroughShared(key, keepOpen, [&](const QVariant& v) {
        bool ok = false;
        const qlonglong value = v.toLongLong(&ok);
        if (!ok || value < -2147483648LL || value > 0xFFFFFFFFLL)
            return defaultValue;
        return static_cast<quint32>(value);
    });
}

QString getAppPath()
{
    return readFolderSetting(QStringLiteral("apppath"), false, appDataFolder);
}

QString getBackgroundImage(bool keepOpen)
{
    return readSettingText(QStringLiteral("backgroundimage"), QStringLiteral(""), keepOpen);
}

BackgroundImageStyle getBackgroundImageStyle(bool keepOpen)
{
    return readSettingBool(QStringLiteral("backgroundimagestyle"), false, keepOpen) ? TILED : CENTERED;
}

QString getBackgroundTemplatePath()
{
    const std::optional<QString> stored = readStoredText(QStringLiteral("backgroundtemplatepath"), false);
    return stored ? *stored : appSubfolder("background_images");
}

QString getBuildDate() { return readSettingText(QStringLiteral("builddate"), QStringLiteral("Build date: N/A")); }

QString getDataFileViewer(bool keepOpen)
{
    return readSettingText(QStringLiteral("datafileviewer"), QStringLiteral(""), keepOpen);
}

QString getDateFormat() { return readSettingText(QStringLiteral("dateformat"), QStringLiteral("%Y-%m-%d")); }

QString getDateTimeFormat()
{
    return readSettingText(QStringLiteral("datetimeformat"), QStringLiteral("%Y-%m-%d %H:%M:%S%F"));
}

QString getEula() { return readSettingText(QStringLiteral("eula"), QString()); }

QString getFootnote(bool keepOpen)
{
    const QString defaultValue = QStringLiteral("KRO - %1").arg(getVersion());
    return readSettingText(QStringLiteral("footnote"), defaultValue, keepOpen);
}

QString getImgPath(bool keepOpen) { return readFolderSetting(QStringLiteral("imgpath"), keepOpen, imagesFolder); }

QString getImgType(bool keepOpen) { return readSettingText(QStringLiteral("imgtype"), QStringLiteral("png"), keepOpen); }

QString getLabelTemplatePath()
{
    const std::optional<QString> stored = readStoredText(QStringLiteral("labeltemplatepath"), false);
    return stored ? *stored : appSubfolder("templates");
}

QString getOfs(bool keepOpen) { return readSettingText(QStringLiteral("ofs"), QStringLiteral("comma"), keepOpen); }

QString getOpath(bool keepOpen) { return readFolderSetting(QStringLiteral("opath"), keepOpen, dataFolder); }

QString getScriptsPath(bool keepOpen)
{
    return readFolderSetting(QStringLiteral("scriptspath"), keepOpen, scriptsFolder);
}

QString getTickFontFamily(bool keepOpen)
{
    return readSettingText(QStringLiteral("tickfontfamily"), QStringLiteral("Times"), keepOpen);
}

QString getTimeFormat() { return readSettingText(QStringLiteral("timeformat"), QStringLiteral("%H:%M:%S%F")); }

QString getTitle(bool keepOpen)
{
    return readSettingText(QStringLiteral("title"), QStringLiteral("Default Title"), keepOpen);
}

QString getVersion() { return readSettingText(QStringLiteral("version"), QStringLiteral("Version BETA")); }

QString getXlbl(bool keepOpen)
{
    return readSettingText(QStringLiteral("xlbl"), QStringLiteral("Default X-Axis"), keepOpen);
}

QString getYlbl(bool keepOpen)
{
    return readSettingText(QStringLiteral("ylbl"), QStringLiteral("Default Y-Axis"), keepOpen);
}
