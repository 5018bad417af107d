#pragma once
// Opening a file with the program the desktop associates with its type.
// The program asks the desktop; tests install an opener of their own, so
// that no program is started.
#include <QString>
#include <QUrl>

#include <functional>

namespace kro::platform {

using FileOpener = std::function<bool(const QUrl& url)>;

// Opens the local file with its associated program; false when that could
// not be started.
bool openWithDefaultProgram(const QString& path);

// Installs the opener openWithDefaultProgram uses and returns the one it
// replaces; an empty one puts the desktop's back.
FileOpener setFileOpener(FileOpener opener);

} // namespace kro::platform
