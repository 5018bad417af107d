#include "platform/platform.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QList>

#include <clocale>

namespace kro::platform {

void useCNumericLocale() { std::setlocale(LC_NUMERIC, "C"); }

void setUpApplication()
{
    QCoreApplication::setOrganizationName(QString());
    QCoreApplication::setOrganizationDomain(QString());
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
    useCNumericLocale();
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

} // namespace kro::platform
