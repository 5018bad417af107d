#pragma once
// LocalFsOperator: the file operations of the directory browser on one local
// directory (listing, creating, removing, renaming, copying and moving),
// each an FsOperation whose start, results and end are reported by signals,
// later on the GUI thread, never inside the call that asked for it (only
// stop() reports the operations it ends at once).
//
// Listings run on a worker thread; the other operations run one after the
// other on the GUI thread, copies in chunks on a zero timer with progress
// reports, so nothing blocks the window for long.
//
// Safety rules: a removal never follows a link (the link goes, its target
// stays) and removes a directory only when it is empty; a rename never moves
// an entry to another directory and never replaces an existing entry; a copy
// is written under a temporary name and takes its final name only when it is
// complete, so a failed or stopped copy leaves no partial file; a move
// removes its source only after the complete copy has its final name.
#include "base/direntry.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class QTimer;

class FsOperation : public QObject {
    Q_OBJECT

public:
    // The kinds and error numbers of the program's network-protocol
    // operations, kept so that the browser's rules read the same.
    enum Kind { ListChildren = 1, MkDir = 2, Remove = 4, Rename = 8, Get = 32, Put = 64 };
    enum State { Waiting, InProgress, Done, Failed, Stopped };
    enum Error {
        NoError = 0,
        ErrValid = 1,
        ErrUnknownProtocol = 2,
        ErrUnsupported = 3,
        ErrParse = 4,
        ErrLoginIncorrect = 5,
        ErrHostNotFound = 6,
        ErrListChildren = 7,
        ErrMkDir = 8,
        ErrRemove = 9,
        ErrRename = 10,
        ErrGet = 11,
        ErrPut = 12,
        ErrFileNotExisting = 13,
        ErrPermissionDenied = 14
    };

    FsOperation(Kind kind, QStringList args, QObject* parent);

    Kind kind() const { return m_kind; }
    State state() const { return m_state; }
    Error errorCode() const { return m_error; }
    // What went wrong, for the user.
    QString protocolDetail() const { return m_detail; }
    // The arguments: listing none; mkdir the name; remove the name; rename
    // the old and the new name; get the source path; put the destination.
    QString arg(int i) const { return m_args.value(i); }

    void setState(State s) { m_state = s; }
    void fail(Error code, const QString& detail)
    {
        m_state = Failed;
        m_error = code;
        m_detail = detail;
    }

private:
    Kind m_kind;
    State m_state = Waiting;
    Error m_error = NoError;
    QString m_detail;
    QStringList m_args;
};

class LocalFsOperator : public QObject {
    Q_OBJECT

public:
    explicit LocalFsOperator(QObject* parent = nullptr);
    ~LocalFsOperator() override;

    // The directory worked on, an absolute path ending with "/".
    void setDirectory(const QString& path);
    QString directory() const { return m_dir; }
    // The name filter of listings ("*" for all); directories always list.
    void setNameFilter(const QString& filter) { m_nameFilter = filter.isEmpty() ? QStringLiteral("*") : filter; }
    QString nameFilter() const { return m_nameFilter; }

    // The entry of that name in the directory ("." the directory itself) as
    // the file system describes it now; isDir, isFile and the rest all false
    // when it does not exist.
    DirEntry entryInfo(const QString& name) const;
    // Whether an entry of that name exists in the directory (a dangling link
    // counts: its name is taken).
    bool entryExists(const QString& name) const;

    FsOperation* listChildren();
    FsOperation* mkdir(const QString& name);
    FsOperation* remove(const QString& name);
    FsOperation* rename(const QString& oldName, const QString& newName);
    // Copies (or moves) local files and folders into a destination folder:
    // one get and one put operation per source. Returns the get operations.
    QList<FsOperation*> copy(const QStringList& sources, const QString& destinationDir, bool move);

    // Stops every operation: a copy under way removes what it wrote; queued
    // operations end as stopped without running. Their ends are reported
    // at once, inside this call (block the signals to hear nothing).
    void stop();

    // Bytes a copy moves per timer tick.
    static constexpr qint64 chunkSize = 1 << 20;

Q_SIGNALS:
    void start(FsOperation* op);
    void newChildren(const QList<DirEntry>& entries, FsOperation* op);
    void finished(FsOperation* op);
    void removed(FsOperation* op);
    void itemChanged(FsOperation* op);
    void createdDirectory(const DirEntry& entry, FsOperation* op);
    void dataTransferProgress(qint64 done, qint64 total, FsOperation* op);

private:
    struct CopyJob;

    FsOperation* enqueue(FsOperation::Kind kind, const QStringList& args);
    void scheduleNext();
    void runNext();
    void finish(FsOperation* op);
    void runMkdir(FsOperation* op);
    void runRemove(FsOperation* op);
    void runRename(FsOperation* op);
    void startCopy(FsOperation* get);
    void copyStep();
    void endCopy(bool ok);

    QString m_dir = QStringLiteral("/");
    QString m_nameFilter = QStringLiteral("*");
    QList<QPointer<FsOperation>> m_queue;  // waiting operations, in order
    QTimer* m_queueTimer = nullptr;
    QTimer* m_copyTimer = nullptr;
    std::unique_ptr<CopyJob> m_copy;  // the copy under way
    bool m_running = false;           // an operation of the queue is under way
};

// Renames without ever replacing an entry that exists at the new path;
// false with the reason in error otherwise.
bool renameWithoutReplacing(const QString& from, const QString& to, QString* error);
