#include "core/savefile.h"

#include <QFileInfo>
#include <QSaveFile>

namespace kro {

bool writeFileReplacing(const QString& path, const QByteArray& bytes, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("No file name given"));
    if (QFileInfo(path).isDir())
        return fail(QStringLiteral("%1 is a folder").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    // The data is buffered: a full disk often shows only when it is flushed,
    // so the flush and the size written are checked before the rename.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.size() != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting(); // the temporary file goes with the object
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace kro
