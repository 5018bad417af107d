#pragma once
// What the console takes from core services that it reaches through one
// place: directory listings for file-name completion and the evaluation of
// a line as an arithmetic expression.
#include <QString>
#include <QStringList>

#include <optional>

namespace commandenv {
// The names of the entries of a folder, files and folders, in path order.
QStringList listNames(const QString& directory);
// The value of an arithmetic expression, or nothing when it is none.
std::optional<double> evaluate(const QString& expression);
} // namespace commandenv
