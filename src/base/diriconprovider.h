#pragma once
// File-type icons of the directory browser. DirIconProvider is the interface
// the browser's file-type lookup asks, one file at a time; ShellIconProvider
// is the program's provider: the picture of a file's type from the desktop's
// icon theme by file name (cached per extension), the program's own picture
// for scripts (".krs", also for folders of that name), the folder picture for
// folders and the executable picture for executable files. A link shows its
// target's picture; a link to nothing or in a loop the plain file picture.
#include "base/direntry.h"

#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QString>

#include <memory>

class QFileInfo;

class DirIconProvider : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    // The picture to show for the file, or a null picture for none.
    virtual QPixmap pixmap(const QFileInfo& info) = 0;
    // The same for an entry of a listing, which already tells its kind: a
    // provider may then spare the file system another look.
    virtual QPixmap pixmap(const DirEntry& entry, const QString& path);
};

// Where the pictures come from: the desktop's icon theme with built-in
// pictures where the theme has none (tests count and stage the requests).
class FileIconSource {
public:
    virtual ~FileIconSource() = default;
    // The folder, plain file and executable pictures; null when there is none.
    virtual QPixmap folder(const QSize& size) = 0;
    virtual QPixmap file(const QSize& size) = 0;
    virtual QPixmap executable(const QSize& size) = 0;
    // The picture of the type a file has by its name alone (the file is
    // never opened); null when the type has none.
    virtual QPixmap forFileName(const QString& fileName, const QSize& size) = 0;
};

// Theme icons through the MIME database, with the style's standard folder
// and file pictures where the theme has none.
std::unique_ptr<FileIconSource> makeThemeIconSource();

class ShellIconProvider : public DirIconProvider {
    Q_OBJECT

public:
    explicit ShellIconProvider(std::unique_ptr<FileIconSource> source = makeThemeIconSource(),
                               QObject* parent = nullptr);
    ~ShellIconProvider() override;

    QPixmap pixmap(const QFileInfo& info) override;
    QPixmap pixmap(const DirEntry& entry, const QString& path) override;

    QSize iconSize() const { return m_size; }
    QPixmap defaultFolder() const { return m_folder; }
    QPixmap defaultFile() const { return m_file; }
    QPixmap defaultExecutable() const { return m_executable; }
    QPixmap scriptPicture() const { return m_script; }
    // Extensions (upper case, without the dot) looked up so far.
    int cachedTypes() const { return static_cast<int>(m_cache.size()); }

    // Links are followed this many times at most; a longer chain is a loop.
    static constexpr int maxLinkDepth = 16;

private:
    // The picture of an entry that is no link, by what it is and its name.
    QPixmap byKind(const QString& path, const QString& name, bool isDir, bool isExecutableFile);

    std::unique_ptr<FileIconSource> m_source;
    QSize m_size;
    QPixmap m_folder, m_file, m_executable, m_script;
    QHash<QString, QPixmap> m_cache;
};

// The process-wide provider the browsers use (none until one is set); the
// provider's destruction clears it.
DirIconProvider* dirIconProvider();
void setDirIconProvider(DirIconProvider* provider);
