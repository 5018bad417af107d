#include "core/typednames.h"

#include <QHash>

#include <mutex>

namespace kro {

namespace {
struct Names {
    std::mutex mutex;
    QHash<QString, QString> written; // resolved path -> name as written
};
Names& names()
{
    static Names n;
    return n;
}
} // namespace

void rememberTypedName(const QString& resolvedPath, const QString& written)
{
    Names& n = names();
    const std::lock_guard<std::mutex> lock(n.mutex);
    if (resolvedPath != written)
        n.written.insert(resolvedPath, written);
}

QString typedName(const QString& path)
{
    Names& n = names();
    const std::lock_guard<std::mutex> lock(n.mutex);
    return n.written.value(path, path);
}

} // namespace kro
