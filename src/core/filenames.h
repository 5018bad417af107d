#pragma once
// File names between the program's text and the file system's bytes.
// Linux stores names as bytes that need not be UTF-8; the program shows and
// handles them as text. Decoding keeps every byte that is not part of valid
// UTF-8 as one of the characters U+DC80..U+DCFF (a lone low surrogate, which
// no valid UTF-8 decodes to), and encoding turns those back into the bytes,
// so every name read from a folder goes back to the same file.
#include <QByteArray>
#include <QString>

#include <sys/stat.h>

namespace kro {

QByteArray encodeFileName(const QString& name);
QString decodeFileName(const char* bytes, qsizetype size);
QString decodeFileName(const QByteArray& bytes);

// The status of the path (links followed); false when it cannot be read.
bool statPath(const QString& path, struct stat& st);
// Whether anything, a dangling link too, stands at the path.
bool pathExists(const QString& path);
// Whether the path is a folder (or a link to one).
bool isDirectory(const QString& path);
// Opens the file for reading without waiting (a FIFO without a writer does
// not block) and returns its descriptor, or -1 with errno set.
int openForReading(const QString& path);

} // namespace kro
