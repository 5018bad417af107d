#include "platform/platform.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QList>

#include <clocale>
#include <cstdlib>
#include <unistd.h>

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

namespace kro::platform {

QByteArray tunablesWithHugePages(const QByteArray& current)
{
    if (current.contains("glibc.malloc.hugetlb"))
        return {};
    static const QByteArray hugePages("glibc.malloc.hugetlb=1");
    return current.isEmpty() ? hugePages : current + ':' + hugePages;
}

void restartWithHugePages(char** argv)
{
    // Set when this start is the second one, so a failed exec or a library
    // that ignores the tunable never loops.
    static const char* const kRestarted = "KRO_HUGE_PAGES_SET";
    if (std::getenv(kRestarted))
        return;
    QFile modes(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
    if (!modes.open(QIODevice::ReadOnly) || modes.readAll().contains("[never]"))
        return;
    const QByteArray tunables = tunablesWithHugePages(qgetenv("GLIBC_TUNABLES"));
    if (tunables.isEmpty())
        return;
    ::setenv(kRestarted, "1", 1);
    ::setenv("GLIBC_TUNABLES", tunables.constData(), 1);
    ::execv("/proc/self/exe", argv);
    // The start failed: go on as before, without huge pages.
    ::unsetenv(kRestarted);
}

} // namespace kro::platform
