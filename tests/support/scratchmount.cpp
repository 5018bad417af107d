#include "support/scratchmount.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

namespace kro::test {

ScratchMount::ScratchMount(const QString& folder, const QString& options) : m_folder(folder)
{
    QDir().mkpath(folder);
    const QByteArray where = QFile::encodeName(folder);
    const QByteArray opts = options.toLatin1();
    if (::mount("tmpfs", where.constData(), "tmpfs", MS_NOSUID | MS_NODEV, opts.constData()) == 0)
        m_mounted = true;
    else
        m_error = QStringLiteral("cannot mount a tmpfs on %1: %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
}

ScratchMount::~ScratchMount()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

bool ScratchMount::makeReadOnly()
{
    const QByteArray where = QFile::encodeName(m_folder);
    return m_mounted && ::mount(nullptr, where.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

} // namespace kro::test
