#include "command/scriptlines.h"

QStringList joinScriptLines(const QStringList& lines)
{
    QString joined;
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("-->")))
            continue;
        joined += line;
        if (joined.endsWith(QLatin1String("...")))
            joined.chop(3);
        else
            joined += QLatin1Char('\n');
    }
    return joined.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList scriptRunLines(const QString& text)
{
    QStringList trimmed;
    for (const QString& piece : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        if (const QString line = piece.trimmed(); !line.isEmpty())
            trimmed << line;
    QStringList lastFirst;
    for (QString line : joinScriptLines(trimmed))
        lastFirst.prepend(line.replace(QChar(0x00A0), QLatin1Char(' ')));
    return lastFirst;
}
