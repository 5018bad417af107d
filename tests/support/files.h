#pragma once
// Files for tests: small fixtures written in temporary folders and read back.
#include <QByteArray>
#include <QString>

namespace kro::test {

// Writes the bytes to the file (an empty file without them), creating its
// folder first; a file that cannot be written fails the test. Returns the path.
QString writeFile(const QString& path, const QByteArray& bytes = QByteArray());
// Writes a new file named by raw bytes (a name that need not be UTF-8); a
// file that cannot be made fails the test.
void writeFileAtBytes(const QByteArray& nativePath, const QByteArray& bytes);
// The file's bytes; empty when it cannot be read.
QByteArray readFile(const QString& path);
// The text of a PDF file as pdftotext reads it, in compatibility form
// (ligatures as letters, no-break spaces as blanks); a file that cannot be
// read fails the test and gives an empty text.
QString pdfText(const QString& pdfPath);

} // namespace kro::test
