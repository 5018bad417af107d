#pragma once
// Files for tests: small fixtures written in temporary folders and read back.
#include <QByteArray>
#include <QString>

namespace kro::test {

// Writes the bytes to the file (an empty file without them), creating its
// folder first; a file that cannot be written fails the test. Returns the path.
QString writeFile(const QString& path, const QByteArray& bytes = QByteArray());
// The file's bytes; empty when it cannot be read.
QByteArray readFile(const QString& path);

} // namespace kro::test
