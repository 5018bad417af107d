#include "core/appfolders.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace kro::platform {

namespace {
constexpr const char* kOrganisation = "KROSoftware";
constexpr const char* kProgramStore = "kro";
constexpr const char* kRegexStore = "RegExBuilder";

QString ensureFolder(const QString& path)
{
    QDir().mkpath(path);
    return path;
}
} // namespace

std::unique_ptr<QSettings> openProgramSettings()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QString::fromLatin1(kOrganisation), QString::fromLatin1(kProgramStore));
}

std::unique_ptr<QSettings> openRegexBuilderSettings()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QString::fromLatin1(kOrganisation), QString::fromLatin1(kRegexStore));
}

QString commonAppDataFolder()
{
    // Computed from the generic data folder so the result does not depend on
    // the application identity having been set; setUpApplication makes
    // AppDataLocation name the same folder.
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return ensureFolder(joinPath(base, QString::fromLatin1(kApplicationName))) + QLatin1Char('/');
}

QString userFolder(UserFolder which)
{
    const char* name = "data";
    switch (which) {
    case UserFolder::Images: name = "images"; break;
    case UserFolder::Data: name = "data"; break;
    case UserFolder::Scripts: name = "scripts"; break;
    }
    return ensureFolder(QDir::homePath() + QStringLiteral("/KRO/") + QString::fromLatin1(name));
}

QString joinPath(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    const bool slashAtEnd = folder.endsWith(QLatin1Char('/'));
    const bool slashAtStart = name.startsWith(QLatin1Char('/'));
    if (slashAtEnd && slashAtStart)
        return folder + name.mid(1);
    if (slashAtEnd || slashAtStart)
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString expandHome(const QString& path)
{
    if (path == QLatin1String("~"))
        return QDir::homePath();
    if (path.startsWith(QLatin1String("~/")))
        return joinPath(QDir::homePath(), path.mid(2));
    return path;
}

} // namespace kro::platform
