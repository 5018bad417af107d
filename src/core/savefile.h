#pragma once
// Whole-file writes that never leave a damaged file behind: the bytes go to
// a temporary file beside the target, which replaces the target only when
// every byte reached the disk.
#include <QByteArray>
#include <QString>

namespace kro {

// Writes bytes to path. On any failure (no temporary file, a short write, a
// full disk noticed when the data is flushed, the final rename) the old file
// stays as it was, false comes back and *error (when given) says why.
bool writeFileReplacing(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace kro
