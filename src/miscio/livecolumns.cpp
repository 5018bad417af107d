#include "miscio/livecolumns.h"

#include <QCoreApplication>
#include <QRegularExpression>

std::vector<int> columnNumbers(const QString& text)
{
    static const QRegularExpression separator(QStringLiteral("[ ,]"));
    std::vector<int> columns;
    for (const QString& part : text.split(separator, Qt::SkipEmptyParts))
        columns.push_back(part.toInt(nullptr, 10));
    return columns;
}

std::vector<YColumn> liveYColumns(const std::vector<int>& numbers)
{
    std::vector<YColumn> columns;
    for (const int n : numbers) {
        YColumn y;
        y.column = n - 1;
        y.title = QCoreApplication::translate("DeviceIOTab", "Column %1").arg(n);
        columns.push_back(y);
    }
    return columns;
}
