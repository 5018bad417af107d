#include "gui/startup.h"

#include <QFileInfo>
#include <QLocale>

namespace kro {

QString versionString() { return QStringLiteral("Version (Linux): %1").arg(QStringLiteral(KRO_VERSION_TEXT)); }

QString buildDateString() { return QStringLiteral("Build date: " __DATE__ " " __TIME__ "\n"); }

QString expandNowArgument(const QString& argument, double nowMjd)
{
    QString lower = argument.toLower();
    if (!lower.contains(QLatin1String("now-")) || QFileInfo::exists(argument))
        return argument;
    lower.remove(QLatin1String("now-"));
    bool ok = false;
    const double days = QLocale::c().toDouble(lower.trimmed(), &ok);
    return QString::number(nowMjd - (ok ? days : 0.0), 'f', 6);
}

void expandNowArguments(QStringList& arguments, double nowMjd)
{
    for (qsizetype i = 1; i < arguments.size(); ++i)
        arguments[i] = expandNowArgument(arguments[i], nowMjd);
}

} // namespace kro
