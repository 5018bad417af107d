#include "gui/windowtexts.h"

#include "core/curvedata.h"

#include <QDateTime>

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

QString directoryListing(const std::vector<SCUtilities::FileInfo>& entries, bool longListing)
{
    QString text;
    if (!longListing) {
        int width = 0;
        for (const auto& e : entries)
            width = std::max(width, int(QString::fromStdString(e.name).size()));
        width += 2;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const QString name = QString::fromStdString(entries[i].name);
            const bool thirdOfRow = i % 3 == 2 && i + 1 < entries.size();
            text += thirdOfRow ? name + QLatin1Char('\n') : name.leftJustified(width);
        }
        return text;
    }
    std::uint64_t largest = 0;
    for (const auto& e : entries)
        largest = std::max(largest, e.size);
    const int sizeWidth = std::max(3, int(QString::number(largest).size()));
    for (const auto& e : entries) {
        if (e.permissions == 0xFFFF) {
            text += QStringLiteral("?????????? ");
        } else {
            text += e.isDirectory ? QLatin1Char('d') : QLatin1Char('-');
            const char letters[] = {'r', 'w', 'x'};
            for (int bit = 8; bit >= 0; --bit)
                text += (e.permissions >> bit) & 1 ? QLatin1Char(letters[(8 - bit) % 3]) : QLatin1Char('-');
            text += QLatin1Char(' ');
        }
        text += QStringLiteral("%1 ").arg(QString::number(e.size), sizeWidth);
        if (e.error) {
            text += QString::fromStdString(e.errorText).leftJustified(24);
        } else {
            const QDateTime t = QDateTime::fromSecsSinceEpoch(e.lastWriteTime).toLocalTime();
            text += QLocale::c().toString(t, QStringLiteral("ddd MMM dd hh:mm:ss yyyy"));
        }
        text += QStringLiteral(" %1\n").arg(QString::fromStdString(e.name));
    }
    return text;
}
