#pragma once
// Names of files as the user wrote them. When the program resolves a name
// itself (start-up arguments are made absolute before the working folder
// changes), it remembers the name as written here, so that titles, legends
// and the script name "%0" show what the user wrote while files are opened
// by the resolved path.
#include <QString>

namespace kro {

// Remembers that the resolved path stands for the name as written.
void rememberTypedName(const QString& resolvedPath, const QString& written);
// The name as written for a resolved path; the path itself when the program
// did not resolve it.
QString typedName(const QString& path);

} // namespace kro
