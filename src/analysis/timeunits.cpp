#include "analysis/timeunits.h"

#include <cstdlib>

double timeUnitSeconds(const QString& label)
{
    const QString t = label.toLower();
    if (t == QLatin1String("mjd") || t == QLatin1String("days"))
        return 86400.0;
    if (t == QLatin1String("hours"))
        return 3600.0;
    if (t == QLatin1String("minutes"))
        return 60.0;
    if (t == QLatin1String("ns") || t == QLatin1String("nanoseconds"))
        return 1e-9;
    if (t == QLatin1String("us") || t == QLatin1String("microseconds"))
        return 1e-6;
    // The Greek small letter mu and the keyboard's micro sign U+00B5.
    if (t.startsWith(QChar(0x03BC)) || t.startsWith(QChar(0x00B5)))
        return 1e-6;
    if (t == QLatin1String("ms") || t == QLatin1String("milliseconds"))
        return 1e-3;
    return 1.0;
}

QString ordinalText(int n)
{
    const QString digits = QString::number(n);
    const int lastTwo = std::abs(n % 100);
    if ((n >= 4 && n <= 19) || lastTwo == 11 || lastTwo == 12 || lastTwo == 13)
        return QStringLiteral("%1th").arg(digits);
    switch (digits.back().toLatin1()) {
    case '1':
        return QStringLiteral("%1st").arg(digits);
    case '2':
        return QStringLiteral("%1nd").arg(digits);
    case '3':
        return QStringLiteral("%1rd").arg(digits);
    default:
        return QStringLiteral("%1th").arg(digits);
    }
}
