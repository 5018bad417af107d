#include "platform/desktopopen.h"

#include <QDesktopServices>

#include <utility>

namespace kro::platform {

namespace {
FileOpener& installedOpener()
{
    static FileOpener opener;
    return opener;
}
} // namespace

bool openWithDefaultProgram(const QString& path)
{
    const QUrl url = QUrl::fromLocalFile(path);
    const FileOpener& opener = installedOpener();
    return opener ? opener(url) : QDesktopServices::openUrl(url);
}

FileOpener setFileOpener(FileOpener opener) { return std::exchange(installedOpener(), std::move(opener)); }

} // namespace kro::platform
