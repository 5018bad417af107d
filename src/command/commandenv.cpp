#include "command/commandenv.h"

#include <QDir>

namespace commandenv {

QStringList listNames(const QString& directory)
{
    return QDir(directory).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                     QDir::Name);
}

std::optional<double> evaluate(const QString& expression)
{
    bool ok = false;
    const double v = expression.toDouble(&ok);
    if (ok)
        return v;
    return std::nullopt;
}

} // namespace commandenv
