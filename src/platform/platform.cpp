#include "platform/platform.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include <clocale>

namespace kro::platform {

namespace {
constexpr const char* kOrganisation = "KROSoftware";
constexpr const char* kProgramStore = "kro";
constexpr const char* kRegexStore = "RegExBuilder";
constexpr const char* kApplicationName = "KRO";

QString ensureFolder(const QString& path)
{
    QDir().mkpath(path);
    return path;
}
} // namespace

void useCNumericLocale() { std::setlocale(LC_NUMERIC, "C"); }

void setUpApplication()
{
    QCoreApplication::setOrganizationName(QString());
    QCoreApplication::setOrganizationDomain(QString());
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
    useCNumericLocale();
}

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

long long availableMemoryFromMeminfo(const QByteArray& meminfo)
{
    for (const QByteArray& line : meminfo.split('\n')) {
        if (!line.startsWith("MemAvailable:"))
            continue;
        const QList<QByteArray> parts = line.mid(13).simplified().split(' ');
        if (parts.isEmpty())
            return -1;
        bool ok = false;
        const long long value = parts[0].toLongLong(&ok);
        if (!ok || value < 0)
            return -1;
        long long unit = 1;
        if (parts.size() > 1) {
            const QByteArray u = parts[1].toLower();
            if (u == "kb")
                unit = 1024;
            else if (u == "mb")
                unit = 1024 * 1024;
            else if (u == "gb")
                unit = 1024LL * 1024 * 1024;
        }
        return value * unit;
    }
    return -1;
}

long long availableMemoryBytes()
{
    QFile f(QStringLiteral("/proc/meminfo"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    // /proc files report size 0: read until the end.
    return availableMemoryFromMeminfo(f.readAll());
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
