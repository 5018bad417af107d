#include "base/localfsoperator.h"

#include "core/filenames.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

QString tr(const char* text) { return QCoreApplication::translate("DirBrowser", text); }

QString reason(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

QByteArray native(const QString& path) { return kro::encodeFileName(path); }

// errno of a rename that never replaces an existing entry; 0 on success.
int renameNoReplace(const QString& from, const QString& to)
{
    const QByteArray f = native(from), t = native(to);
    if (::renameat2(AT_FDCWD, f.constData(), AT_FDCWD, t.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    const int err = errno;
    if (err != EINVAL && err != ENOSYS)
        return err;
    // A file system without the no-replace flag: check, then rename.
    struct stat st {};
    if (::lstat(t.constData(), &st) == 0)
        return EEXIST;
    return ::rename(f.constData(), t.constData()) == 0 ? 0 : errno;
}

// A name that stays inside its directory and can be created there.
bool isPlainName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

// A name for a copy under way beside its destination, taken by nobody.
QString partialName(const QString& destination)
{
    const QFileInfo fi(destination);
    for (;;) {
        const QString candidate = fi.absolutePath() + QStringLiteral("/.") + fi.fileName() +
                                  QStringLiteral(".partial-") +
                                  QString::number(QRandomGenerator::global()->generate(), 36);
        if (!QFileInfo(candidate).exists() && !QFileInfo(candidate).isSymLink())
            return candidate;
    }
}

struct Listing {
    QList<DirEntry> entries;
    QString error;  // empty on success
};

// The listing matches names against the patterns in either case;
// folders are listed whatever their names.
class NameMatcher {
public:
    explicit NameMatcher(const QStringList& patterns)
    {
        QStringList parts;
        for (const QString& p : patterns) {
            if (p == QLatin1String("*"))
                return;  // everything matches
            parts << QRegularExpression::wildcardToRegularExpression(p);
        }
        m_re.setPattern(parts.join(QLatin1Char('|')));
        m_re.setPatternOptions(QRegularExpression::CaseInsensitiveOption);
        m_re.optimize();
        m_all = parts.isEmpty();
    }
    bool all() const { return m_all; }
    bool matches(const QString& name) const { return m_all || m_re.match(name).hasMatch(); }

private:
    QRegularExpression m_re;
    bool m_all = true;
};

// One entry described from the directory's descriptor: one status query,
// a second one for a link's target, and the permission checks the mode
// leaves open.
DirEntry describeEntry(int dirFd, const QByteArray& nativeName, const QString& name)
{
    DirEntry e;
    e.name = name;
    const char* n = nativeName.constData();
    struct stat own {};
    if (::fstatat(dirFd, n, &own, AT_SYMLINK_NOFOLLOW) != 0)
        return e;  // gone since the directory was read
    struct stat st = own;
    e.isSymLink = S_ISLNK(own.st_mode);
    bool target = true;
    if (e.isSymLink && ::fstatat(dirFd, n, &st, 0) != 0) {
        // A link to nothing, or in a loop: neither a file nor a folder.
        st = own;
        target = false;
    }
    e.isDir = target && S_ISDIR(st.st_mode);
    e.isFile = target && S_ISREG(st.st_mode);
    e.size = e.isFile ? qint64(st.st_size) : 0;
    e.lastModified = qint64(st.st_mtim.tv_sec);
    e.timeValid = true;
    if (target) {
        // The rights of the user running the program, as the system grants
        // them (owner, group, other bits, access lists, read-only mounts).
        if (::faccessat(dirFd, n, R_OK | W_OK, 0) == 0) {
            e.readable = e.writable = true;
        } else {
            e.readable = ::faccessat(dirFd, n, R_OK, 0) == 0;
            e.writable = ::faccessat(dirFd, n, W_OK, 0) == 0;
        }
        // Without an execute bit only a folder can be entered.
        if (e.isDir || (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0)
            e.executable = ::faccessat(dirFd, n, X_OK, 0) == 0;
    }
    return e;
}

Listing listDirectory(const QString& dir, const QStringList& nameFilters)
{
    Listing result;
    try {
        const QByteArray path = native(dir);
        const std::unique_ptr<DIR, int (*)(DIR*)> handle(::opendir(path.constData()), &::closedir);
        DIR* d = handle.get();
        if (!d) {
            result.error = tr("Could not read directory\n%1\n%2").arg(dir, reason(errno));
            return result;
        }
        const NameMatcher matcher(nameFilters);
        // The names first, in the directory's order; a file whose name does
        // not match needs no further look.
        struct Name {
            QByteArray native;
            QString name;
        };
        std::vector<Name> names;
        errno = 0;
        while (const dirent* de = ::readdir(d)) {
            if (std::strcmp(de->d_name, ".") == 0)
                continue;
            QString name = kro::decodeFileName(de->d_name, qsizetype(std::strlen(de->d_name)));
            const bool mayBeFolder = de->d_type == DT_DIR || de->d_type == DT_LNK || de->d_type == DT_UNKNOWN;
            if (!mayBeFolder && !matcher.matches(name))
                continue;
            names.push_back(Name{QByteArray(de->d_name), std::move(name)});
        }
        const int readError = errno;
        if (readError != 0) {
            result.error = tr("Could not read directory\n%1\n%2").arg(dir, reason(readError));
            return result;
        }
        // The entries described on a few threads at once: in a large folder
        // the status queries are most of the work.
        const int fd = ::dirfd(d);
        std::vector<DirEntry> entries(names.size());
        const std::size_t perThread = 4096;
        const std::size_t threads =
            std::clamp<std::size_t>(names.size() / perThread, 1, std::size_t(std::max(1, QThread::idealThreadCount())));
        std::atomic<bool> failed{false};
        auto describeRange = [&](std::size_t from, std::size_t to) {
            try {
                for (std::size_t i = from; i < to; ++i)
                    entries[i] = describeEntry(fd, names[i].native, names[i].name);
            } catch (...) {
                failed = true;
            }
        };
        std::vector<std::thread> workers;
        const std::size_t step = (names.size() + threads - 1) / threads;
        for (std::size_t t = 1; t < threads; ++t)
            workers.emplace_back(describeRange, std::min(names.size(), t * step),
                                 std::min(names.size(), (t + 1) * step));
        describeRange(0, std::min(names.size(), step));
        for (std::thread& w : workers)
            w.join();
        if (failed) {
            result.error = tr("Could not read directory\n%1").arg(dir);
            return result;
        }

        result.entries.reserve(qsizetype(entries.size()));
        for (DirEntry& e : entries)
            if (e.isDir || matcher.matches(e.name))
                result.entries.push_back(std::move(e));
    } catch (const std::exception& e) {
        result.error = tr("Could not read directory\n%1\n%2").arg(dir, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        result.error = tr("Could not read directory\n%1").arg(dir);
    }
    return result;
}

} // namespace

bool renameWithoutReplacing(const QString& from, const QString& to, QString* error)
{
    const int err = renameNoReplace(from, to);
    if (err != 0 && error)
        *error = reason(err);
    return err == 0;
}

FsOperation::FsOperation(Kind kind, QStringList args, QObject* parent)
    : QObject(parent), m_kind(kind), m_args(std::move(args))
{
}

// ---------------------------------------------------------------------------
// A copy or move of one source: its files, folders and links written below a
// temporary name in the destination folder, renamed when complete.

struct LocalFsOperator::CopyJob {
    enum TaskKind { File, Folder, Link };
    struct Task {
        TaskKind kind;
        QString from;  // the source
        QString to;    // below the temporary name
        QByteArray linkTarget;
    };
    QPointer<FsOperation> get, put;
    QString source, destination, partial;
    bool move = false;
    bool sourceIsFolder = false;
    std::vector<Task> tasks;
    std::size_t next = 0;
    qint64 total = 0, done = 0;
    QFile in, out;
};

LocalFsOperator::LocalFsOperator(QObject* parent) : QObject(parent)
{
    m_queueTimer = new QTimer(this);
    m_queueTimer->setSingleShot(true);
    m_queueTimer->setInterval(0);
    connect(m_queueTimer, &QTimer::timeout, this, &LocalFsOperator::runNext);
    m_copyTimer = new QTimer(this);
    m_copyTimer->setInterval(0);
    connect(m_copyTimer, &QTimer::timeout, this, &LocalFsOperator::copyStep);
}

LocalFsOperator::~LocalFsOperator()
{
    // A copy under way leaves nothing behind.
    blockSignals(true);
    if (m_copy)
        endCopy(false);
}

void LocalFsOperator::setDirectory(const QString& path)
{
    QString p = QDir::cleanPath(path);
    if (!p.endsWith(QLatin1Char('/')))
        p += QLatin1Char('/');
    m_dir = p;
}

DirEntry LocalFsOperator::entryInfo(const QString& name) const
{
    // Described by the name's bytes, so a name that is not UTF-8 is found.
    const QString path = name == QLatin1String(".") ? m_dir : m_dir + name;
    return describeEntry(AT_FDCWD, native(path), name);
}

bool LocalFsOperator::entryExists(const QString& name) const
{
    return !name.isEmpty() && kro::pathExists(m_dir + name);
}

FsOperation* LocalFsOperator::enqueue(FsOperation::Kind kind, const QStringList& args)
{
    auto* op = new FsOperation(kind, args, this);
    m_queue.push_back(op);
    scheduleNext();
    return op;
}

void LocalFsOperator::scheduleNext()
{
    if (!m_running && !m_queue.isEmpty() && !m_queueTimer->isActive())
        m_queueTimer->start();
}

void LocalFsOperator::finish(FsOperation* op)
{
    if (!op)
        return;
    if (op->state() == FsOperation::InProgress || op->state() == FsOperation::Waiting)
        op->setState(FsOperation::Done);
    Q_EMIT finished(op);
    op->deleteLater();
}

FsOperation* LocalFsOperator::listChildren()
{
    // Listings do not wait for the queue: a newer one supersedes an older
    // one, whose results the caller tells apart by the operation.
    auto* op = new FsOperation(FsOperation::ListChildren, {}, this);
    QPointer<FsOperation> guard(op);
    const QString dir = m_dir;
    const QStringList filters = nameFilterList(m_nameFilter);
    QTimer::singleShot(0, this, [this, guard, dir, filters] {
        if (!guard)
            return;
        guard->setState(FsOperation::InProgress);
        Q_EMIT start(guard);
        auto* watcher = new QFutureWatcher<Listing>(this);
        connect(watcher, &QFutureWatcher<Listing>::finished, this, [this, watcher, guard] {
            const Listing listing = watcher->result();
            watcher->deleteLater();
            if (!guard)
                return;
            if (!listing.error.isEmpty()) {
                guard->fail(FsOperation::ErrListChildren, listing.error);
            } else if (!listing.entries.isEmpty()) {
                Q_EMIT newChildren(listing.entries, guard);
            }
            finish(guard);
        });
        watcher->setFuture(QtConcurrent::run([dir, filters] { return listDirectory(dir, filters); }));
    });
    return op;
}

FsOperation* LocalFsOperator::mkdir(const QString& name) { return enqueue(FsOperation::MkDir, {name}); }

FsOperation* LocalFsOperator::remove(const QString& name) { return enqueue(FsOperation::Remove, {name}); }

FsOperation* LocalFsOperator::rename(const QString& oldName, const QString& newName)
{
    return enqueue(FsOperation::Rename, {oldName, newName});
}

QList<FsOperation*> LocalFsOperator::copy(const QStringList& sources, const QString& destinationDir, bool move)
{
    QList<FsOperation*> gets;
    const QString dest = QDir::cleanPath(destinationDir);
    for (const QString& source : sources) {
        const QString from = QDir::cleanPath(source);
        const QString to = dest + QLatin1Char('/') + QFileInfo(from).fileName();
        FsOperation* get = enqueue(FsOperation::Get, {from, to, move ? QStringLiteral("move") : QString()});
        gets << get;
    }
    return gets;
}

void LocalFsOperator::runNext()
{
    if (m_running || m_queue.isEmpty())
        return;
    QPointer<FsOperation> op = m_queue.takeFirst();
    if (!op) {
        scheduleNext();
        return;
    }
    m_running = true;
    op->setState(FsOperation::InProgress);
    Q_EMIT start(op);
    if (op) {
        switch (op->kind()) {
        case FsOperation::MkDir:
            runMkdir(op);
            break;
        case FsOperation::Remove:
            runRemove(op);
            break;
        case FsOperation::Rename:
            runRename(op);
            break;
        case FsOperation::Get:
            startCopy(op);
            return;  // the copy ends the run itself
        default:
            op->fail(FsOperation::ErrUnsupported, tr("Operation not supported"));
            finish(op);
            break;
        }
    }
    m_running = false;
    scheduleNext();
}

void LocalFsOperator::runMkdir(FsOperation* op)
{
    const QString name = op->arg(0);
    if (!isPlainName(name)) {
        op->fail(FsOperation::ErrMkDir, tr("Could not create directory\n%1\nThe name is not valid.").arg(name));
    } else if (::mkdir(native(m_dir + name).constData(), 0777) != 0) {
        op->fail(FsOperation::ErrMkDir, tr("Could not create directory\n%1\n%2").arg(name, reason(errno)));
    } else {
        op->setState(FsOperation::Done);
        // The new folder joins the listing, then its creation is reported.
        const DirEntry created = entryInfo(name);
        Q_EMIT newChildren({created}, op);
        Q_EMIT createdDirectory(created, op);
    }
    finish(op);
}

void LocalFsOperator::runRemove(FsOperation* op)
{
    const QString name = op->arg(0);
    const QByteArray path = native(m_dir + name);
    struct stat st {};
    int err = 0;
    if (!isPlainName(name))
        err = EINVAL;
    else if (::lstat(path.constData(), &st) != 0)
        err = errno;
    // A link goes, never its target; a folder only when it is empty.
    else if (S_ISDIR(st.st_mode) ? ::rmdir(path.constData()) != 0 : ::unlink(path.constData()) != 0)
        err = errno;
    if (err) {
        op->fail(FsOperation::ErrRemove, tr("Could not remove file or directory\n%1\n%2").arg(name, reason(err)));
    } else {
        op->setState(FsOperation::Done);
        Q_EMIT removed(op);
    }
    finish(op);
}

void LocalFsOperator::runRename(FsOperation* op)
{
    const QString from = op->arg(0), to = op->arg(1);
    int err = 0;
    if (!isPlainName(from) || !isPlainName(to))
        err = EINVAL;
    else
        err = renameNoReplace(m_dir + from, m_dir + to);
    if (err) {
        const QString why = err == EINVAL ? tr("The name is not valid.") : reason(err);
        op->fail(FsOperation::ErrRename, tr("Could not rename\n%1\nto\n%2\n%3").arg(from, to, why));
    } else {
        op->setState(FsOperation::Done);
        Q_EMIT itemChanged(op);
    }
    finish(op);
}

// ---------------------------------------------------------------------------
// Copy and move

void LocalFsOperator::startCopy(FsOperation* get)
{
    auto job = std::make_unique<CopyJob>();
    job->get = get;
    job->source = get->arg(0);
    job->destination = get->arg(1);
    job->move = get->arg(2) == QLatin1String("move");
    job->put = new FsOperation(FsOperation::Put, {job->destination}, this);
    m_copy = std::move(job);
    CopyJob& j = *m_copy;

    auto refuse = [&](FsOperation::Error code, const QString& text) {
        // The source was not read: the get ends as stopped, the put tells why.
        j.put->fail(code, text);
        j.get->setState(FsOperation::Stopped);
        Q_EMIT start(j.put);
        endCopy(false);
    };

    const QFileInfo src(j.source);
    if (!src.exists() && !src.isSymLink()) {
        j.get->fail(FsOperation::ErrFileNotExisting, tr("Could not open\n%1\nThe file does not exist.").arg(j.source));
        j.put->setState(FsOperation::Stopped);
        endCopy(false);
        return;
    }
    const QFileInfo dest(j.destination);
    const QFileInfo destDir(dest.absolutePath());
    if (dest.exists() || dest.isSymLink()) {
        refuse(FsOperation::ErrPut, tr("Could not write\n%1\nAn entry of that name exists already.").arg(j.destination));
        return;
    }
    if (!destDir.isDir()) {
        refuse(FsOperation::ErrPut, tr("Could not write\n%1\nThe folder does not exist.").arg(j.destination));
        return;
    }
    j.sourceIsFolder = src.isDir() && !src.isSymLink();
    if (j.sourceIsFolder) {
        const QString from = src.canonicalFilePath();
        const QString into = destDir.canonicalFilePath();
        if (into == from || into.startsWith(from + QLatin1Char('/'))) {
            refuse(FsOperation::ErrPut,
                   tr("Could not write\n%1\nA folder cannot be copied into itself.").arg(j.destination));
            return;
        }
    }

    // A move within one file system is a rename.
    if (j.move) {
        const int err = renameNoReplace(j.source, j.destination);
        if (err == 0) {
            Q_EMIT start(j.put);
            Q_EMIT dataTransferProgress(0, 0, j.get);
            Q_EMIT dataTransferProgress(0, 0, j.put);
            endCopy(true);
            return;
        }
        if (err != EXDEV) {
            refuse(FsOperation::ErrPut, tr("Could not move\n%1\nto\n%2\n%3").arg(j.source, j.destination, reason(err)));
            return;
        }
    }

    // Plan the copy: folders first, then what they hold.
    j.partial = partialName(j.destination);
    auto plan = [&](const QFileInfo& fi, const QString& to) -> bool {
        if (fi.isSymLink()) {
            // The link's own text, not the resolved target.
            j.tasks.push_back({CopyJob::Link, fi.filePath(), to, {}});
            char buf[4096];
            const ssize_t n = ::readlink(native(fi.filePath()).constData(), buf, sizeof buf);
            if (n > 0)
                j.tasks.back().linkTarget = QByteArray(buf, static_cast<int>(n));
        } else if (fi.isDir()) {
            j.tasks.push_back({CopyJob::Folder, fi.filePath(), to, {}});
        } else if (fi.isFile()) {
            j.tasks.push_back({CopyJob::File, fi.filePath(), to, {}});
            j.total += fi.size();
        } else {
            return false;
        }
        return true;
    };
    bool plannable = plan(src, j.partial);
    if (plannable && j.sourceIsFolder) {
        QDirIterator it(j.source, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (plannable && it.hasNext()) {
            it.next();
            const QString rel = QDir(j.source).relativeFilePath(it.filePath());
            plannable = plan(it.fileInfo(), j.partial + QLatin1Char('/') + rel);
        }
    }
    if (!plannable) {
        refuse(FsOperation::ErrGet, tr("Could not read\n%1\nOnly files, folders and links can be copied.").arg(j.source));
        return;
    }
    Q_EMIT start(j.put);
    m_copyTimer->start();
}

void LocalFsOperator::copyStep()
{
    if (!m_copy) {
        m_copyTimer->stop();
        return;
    }
    CopyJob& j = *m_copy;
    auto failWrite = [&](const QString& path, const QString& why) {
        j.put->fail(FsOperation::ErrPut, tr("Could not write\n%1\n%2").arg(path, why));
        j.get->setState(FsOperation::Stopped);
        endCopy(false);
    };

    // Folders and links are made at once; a file moves one chunk per tick.
    while (!j.in.isOpen()) {
        if (j.next >= j.tasks.size()) {
            // Everything is written: the copy takes its name, then a moved
            // source goes.
            QString why;
            if (!renameWithoutReplacing(j.partial, j.destination, &why)) {
                failWrite(j.destination, why);
                return;
            }
            j.partial.clear();
            if (j.move) {
                const bool gone = j.sourceIsFolder ? QDir(j.source).removeRecursively() : QFile::remove(j.source);
                if (!gone) {
                    j.get->fail(FsOperation::ErrRemove,
                                tr("Could not remove file or directory\n%1\nThe copy is complete.").arg(j.source));
                }
            }
            endCopy(true);
            return;
        }
        const CopyJob::Task& t = j.tasks[j.next++];
        if (t.kind == CopyJob::Folder) {
            if (::mkdir(native(t.to).constData(), 0777) != 0) {
                failWrite(t.to, reason(errno));
                return;
            }
        } else if (t.kind == CopyJob::Link) {
            if (::symlink(t.linkTarget.constData(), native(t.to).constData()) != 0) {
                failWrite(t.to, reason(errno));
                return;
            }
        } else {
            j.in.setFileName(t.from);
            j.out.setFileName(t.to);
            if (!j.in.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
                j.get->fail(FsOperation::ErrGet, tr("Could not read\n%1\n%2").arg(t.from, j.in.errorString()));
                j.put->setState(FsOperation::Stopped);
                endCopy(false);
                return;
            }
            if (!j.out.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
                failWrite(t.to, j.out.errorString());
                return;
            }
        }
    }

    const QByteArray chunk = j.in.read(chunkSize);
    if (chunk.isEmpty() && !j.in.atEnd()) {
        j.get->fail(FsOperation::ErrGet, tr("Could not read\n%1\n%2").arg(j.in.fileName(), j.in.errorString()));
        j.put->setState(FsOperation::Stopped);
        endCopy(false);
        return;
    }
    const qint64 before = j.done;
    if (!chunk.isEmpty()) {
        Q_EMIT dataTransferProgress(before + chunk.size(), j.total, j.get);
        if (!m_copy)
            return;  // stopped from the report
        // A short write is followed by one that tells why (a full disk).
        for (qint64 written = 0; written < chunk.size();) {
            const qint64 n = j.out.write(chunk.constData() + written, chunk.size() - written);
            if (n <= 0) {
                failWrite(j.out.fileName(), j.out.errorString());
                return;
            }
            written += n;
        }
        j.done += chunk.size();
        Q_EMIT dataTransferProgress(j.done, j.total, j.put);
        if (!m_copy)
            return;
    } else if (j.total == 0) {
        // An empty file still reports once, complete.
        Q_EMIT dataTransferProgress(0, 0, j.get);
        Q_EMIT dataTransferProgress(0, 0, j.put);
        if (!m_copy)
            return;
    }
    if (j.in.atEnd()) {
        const QFile::Permissions perms = j.in.permissions();
        j.in.close();
        // Data still buffered must reach the disk before the copy counts.
        if (!j.out.flush() || ::fsync(j.out.handle()) != 0) {
            failWrite(j.out.fileName(), j.out.errorString().isEmpty() ? reason(errno) : j.out.errorString());
            return;
        }
        j.out.close();
        j.out.setPermissions(perms);
    }
}

void LocalFsOperator::endCopy(bool ok)
{
    m_copyTimer->stop();
    std::unique_ptr<CopyJob> job = std::move(m_copy);
    if (job->in.isOpen())
        job->in.close();
    if (job->out.isOpen())
        job->out.close();
    if (!job->partial.isEmpty()) {
        // Only what this copy made: the temporary file or folder.
        const QFileInfo partial(job->partial);
        if (partial.isDir() && !partial.isSymLink())
            QDir(job->partial).removeRecursively();
        else
            QFile::remove(job->partial);
    }
    if (ok) {
        if (job->get && job->get->state() == FsOperation::InProgress)
            job->get->setState(FsOperation::Done);
        if (job->put)
            job->put->setState(FsOperation::Done);
    }
    finish(job->get);
    finish(job->put);
    m_running = false;
    scheduleNext();
}

void LocalFsOperator::stop()
{
    const QList<QPointer<FsOperation>> queued = std::exchange(m_queue, {});
    if (m_copy) {
        m_copy->get->setState(FsOperation::Stopped);
        m_copy->put->setState(FsOperation::Stopped);
        endCopy(false);
    }
    for (const QPointer<FsOperation>& op : queued) {
        if (op) {
            op->setState(FsOperation::Stopped);
            finish(op);
        }
    }
}
