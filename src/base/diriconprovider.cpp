#include "base/diriconprovider.h"

#include "base/dirbrowserpictures.h"
#include "platform/embeddedimages.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>
#include <QPointer>
#include <QStyle>

namespace {

QPointer<DirIconProvider>& currentProvider()
{
    static QPointer<DirIconProvider> provider;
    return provider;
}

class ThemeIconSource final : public FileIconSource {
public:
    QPixmap folder(const QSize& size) override { return themed("folder", QAbstractFileIconProvider::Folder, size); }
    QPixmap file(const QSize& size) override { return themed("text-x-generic", QAbstractFileIconProvider::File, size); }
    QPixmap executable(const QSize& size) override
    {
        const QIcon icon = QIcon::fromTheme(QStringLiteral("application-x-executable"));
        return icon.isNull() ? QPixmap() : icon.pixmap(size);
    }
    QPixmap forFileName(const QString& fileName, const QSize& size) override
    {
        const QMimeType type = m_mime.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
        QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
        return icon.isNull() ? QPixmap() : icon.pixmap(size);
    }

private:
    // The theme's icon, else the style's standard picture.
    QPixmap themed(const char* name, QAbstractFileIconProvider::IconType kind, const QSize& size)
    {
        QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
        if (icon.isNull())
            icon = m_icons.icon(kind);
        return icon.isNull() ? QPixmap() : icon.pixmap(size);
    }

    QMimeDatabase m_mime;
    QFileIconProvider m_icons;
};

} // namespace

std::unique_ptr<FileIconSource> makeThemeIconSource() { return std::make_unique<ThemeIconSource>(); }

QPixmap DirIconProvider::pixmap(const DirEntry&, const QString& path) { return pixmap(QFileInfo(path)); }

DirIconProvider* dirIconProvider() { return currentProvider().data(); }

void setDirIconProvider(DirIconProvider* provider) { currentProvider() = provider; }

ShellIconProvider::ShellIconProvider(std::unique_ptr<FileIconSource> source, QObject* parent)
    : DirIconProvider(parent), m_source(std::move(source))
{
    const int edge = QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize);
    m_size = QSize(edge, edge);
    DirBrowserPictures& pictures = dirBrowserPictures();
    m_folder = m_source->folder(m_size);
    if (m_folder.isNull())
        m_folder = pictures.closedFolder;
    m_file = m_source->file(m_size);
    if (m_file.isNull())
        m_file = pictures.file;
    m_executable = m_source->executable(m_size);
    if (m_executable.isNull())
        m_executable = m_file;
    const QImage script = findEmbeddedImage(QStringLiteral("kro.png"));
    if (!script.isNull())
        m_script = QPixmap::fromImage(script.scaled(m_size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

ShellIconProvider::~ShellIconProvider()
{
    if (currentProvider() == this)
        currentProvider() = nullptr;
}

QPixmap ShellIconProvider::pixmap(const QFileInfo& info)
{
    // A link shows its target's picture; a link to nothing and a chain that
    // does not end (a loop) show the plain file picture.
    QFileInfo fi = info;
    for (int depth = 0; fi.isSymLink(); ++depth) {
        const QString target = fi.symLinkTarget();
        if (depth == maxLinkDepth || target.isEmpty())
            return m_file;
        fi = QFileInfo(target);
        if (!fi.exists() && !fi.isSymLink())
            return m_file;
    }
    return byKind(fi.absoluteFilePath(), fi.fileName(), fi.isDir(), fi.isFile() && fi.isExecutable());
}

QPixmap ShellIconProvider::pixmap(const DirEntry& entry, const QString& path)
{
    if (entry.isSymLink)
        return pixmap(QFileInfo(path));
    return byKind(path, entry.name, entry.isDir, entry.isFile && entry.executable);
}

QPixmap ShellIconProvider::byKind(const QString& path, const QString& name, bool isDir, bool isExecutableFile)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString key = dot < 0 ? QString() : name.mid(dot + 1).toUpper();
    if (key == QLatin1String("KRS") && !m_script.isNull())
        return m_script;
    if (isDir)
        return m_folder;
    // Executables have a picture of their own, looked up each time.
    if (isExecutableFile)
        return m_executable;
    const auto cached = m_cache.constFind(key);
    if (cached != m_cache.constEnd())
        return *cached;
    QPixmap picture = m_source->forFileName(path, m_size);
    if (picture.isNull())
        picture = m_file;
    m_cache.insert(key, picture);
    return picture;
}
