#include "gui/windowtexts.h"

#include "core/curvedata.h"

#include <QLocale>

QString formatUserMessage(ZEVOVE::TYPE type, const QString& text)
{
    if (!kro::isMessageShown(type))
        return QString();
    const QString prefix = kro::messagePrefix(type);
    QString body = text;
    body.replace(QLatin1String("\n"), QLatin1String("\n") + QString(prefix.size(), QLatin1Char(' ')));
    return prefix + body;
}

QString statusBarRightText(double pointsPerSecond, long long availableBytes)
{
    QString text;
    if (pointsPerSecond >= 0)
        text = QStringLiteral("%1 points/second   ").arg(QString::number(pointsPerSecond, 'f', 1));
    if (availableBytes >= 0)
        text += QStringLiteral("Avail memory: %1 MB")
                    .arg(QString::number(double(availableBytes) / 1024.0 / 1024.0, 'f', 3));
    return text;
}

QString generalNumber(double value, int digits) { return QString::number(value, 'g', digits); }

QString statisticReport(const QString& name, char axis, const std::vector<int>& ids, double value)
{
    QString curves;
    if (!ids.empty() && ids.front() != ALL_CURVES) {
        QStringList names;
        for (int id : ids)
            names << QStringLiteral("C%1").arg(id + 1);
        curves = names.size() == 1 ? QStringLiteral(" of ") + names.front()
                                   : QStringLiteral(" of {%1}").arg(names.join(QStringLiteral(", ")));
    }
    return QStringLiteral("%1(%2)%3: %4").arg(name, QString(QLatin1Char(axis)), curves, generalNumber(value, 20));
}

QString perCurveStatisticReport(const QString& name, char axis, const std::map<int, double>& values)
{
    QString text;
    for (const auto& [id, v] : values)
        text += QStringLiteral("%1(%2) of C%3: %4\n")
                    .arg(name, QString(QLatin1Char(axis)), QString::number(id + 1), generalNumber(v, 20));
    return text;
}
