// The context menu and the file actions: open, edit, view, rename, delete,
// new folders, sorting, hidden files, and the copy progress.
#include "base/dirbrowser.h"

#include "base/dirbrowser_p.h"
#include "base/fdprogressdialog.h"
#include "base/fileviews.h"
#include "base/localfsoperator.h"
#include "platform/prompter.h"

#include <QAction>
#include <QMenu>
#include <QSet>
#include <QStackedWidget>
#include <QTimer>

DirBrowser::MenuAction DirBrowser::popupMenu(const QString& name, const QPoint& globalPos)
{
    MenuAction result = PA_Cancel;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("file dialog context menu"));

    if (!name.isEmpty()) {
        const DirEntry entry = entryInfo(name);
        const FileKind kind = fileKindOf(name);
        QString openText;
        if (entry.isDir)
            openText = tr("&Plot");
        else if (d->mode == AnyFile)
            openText = tr("&Save");
        else if (kind == FileKind::Image)
            openText = tr("&View Image");
        else if (kind == FileKind::Script)
            openText = tr("&Run");
        else
            openText = tr("&Plot");
        QAction* open = menu.addAction(openText);
        menu.addSeparator();
        QAction* edit = nullptr;
        QAction* view = nullptr;
        if (kind == FileKind::Script)
            edit = menu.addAction(tr("&Edit"));
        else if (kind != FileKind::Image)
            view = menu.addAction(tr("&View/Edit"));
        QAction* rename = menu.addAction(tr("&Rename"));
        QAction* remove = menu.addAction(tr("&Delete"));
        // Renaming and deleting need the entry and its directory writable.
        const bool writable = entry.writable && entryInfo(QStringLiteral(".")).writable;
        if (!writable || name == QLatin1String("..")) {
            rename->setEnabled(false);
            remove->setEnabled(false);
            if (edit)
                edit->setEnabled(false);
            if (view)
                view->setEnabled(false);
            if (!entry.readable)
                open->setEnabled(false);
        }
        QAction* chosen = kro::prompter().execMenu(&menu, globalPos);
        if (!chosen)
            return result;
        if (chosen == open) {
            result = PA_Open;
        } else if (chosen == edit) {
            Q_EMIT fileEditRequest(entryPath(name));
            result = PA_Edit;
        } else if (chosen == view) {
            Q_EMIT fileViewRequest(entryPath(name));
            result = PA_View;
        } else if (chosen == rename) {
            result = PA_Rename;
        } else if (chosen == remove) {
            result = PA_Delete;
        }
        return result;
    }

    QAction* reload = menu.addAction(tr("R&eload"));
    QMenu* sort = menu.addMenu(tr("Sort"));
    sort->setObjectName(QStringLiteral("sort menu"));
    const DirSortKey key = dirBrowserShared().sortKey;
    auto sortEntry = [&](const QString& text, DirSortKey k) {
        QAction* a = sort->addAction(text);
        a->setCheckable(true);
        a->setChecked(key == k);
        return a;
    };
    QAction* byName = sortEntry(tr("Sort by &Name"), DirSortKey::Name);
    QAction* bySize = sortEntry(tr("Sort by &Size"), DirSortKey::Size);
    QAction* byDate = sortEntry(tr("Sort by &Date"), DirSortKey::Time);
    sort->addSeparator();
    QAction* unsorted = sortEntry(tr("&Unsorted"), DirSortKey::Unsorted);
    menu.addSeparator();
    QAction* hidden = menu.addAction(tr("Show &hidden files"));
    hidden->setCheckable(true);
    hidden->setChecked(dirBrowserShared().showHidden);

    QAction* chosen = kro::prompter().execMenu(&menu, globalPos);
    if (chosen == reload)
        result = PA_Reload;
    else if (chosen == byName)
        result = PA_SortName;
    else if (chosen == bySize)
        result = PA_SortSize;
    else if (chosen == byDate)
        result = PA_SortDate;
    else if (chosen == unsorted)
        result = PA_SortUnsorted;
    else if (chosen == hidden)
        result = PA_Hidden;
    return result;
}

void DirBrowser::popupContextMenu(QAbstractItemView* view, const QModelIndex& index, const QPoint& globalPos)
{
    const QModelIndex row = index.isValid() ? index.siblingAtColumn(0) : QModelIndex();
    if (view == d->detailView && row.isValid()) {
        d->detailView->selectionModel()->setCurrentIndex(
            row, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    const QString name = nameAt(row);
    const MenuAction action = popupMenu(name, globalPos);
    switch (action) {
    case PA_Open:
        if (row.isValid())
            selectDirectoryOrFile(row);
        break;
    case PA_Delete:
        deleteFile(name);
        break;
    case PA_Rename:
        beginRenameIn(view);
        break;
    case PA_SortName:
    case PA_SortSize:
    case PA_SortDate:
    case PA_SortUnsorted:
        setSort(action == PA_SortName   ? DirSortKey::Name
                : action == PA_SortSize ? DirSortKey::Size
                : action == PA_SortDate ? DirSortKey::Time
                                        : DirSortKey::Unsorted,
                true);
        rebuildEntries();
        break;
    case PA_Hidden:
        dirBrowserShared().showHidden = !dirBrowserShared().showHidden;
        rereadDir();
        break;
    case PA_Reload:
        rereadDir();
        break;
    default:
        break;
    }
}

void DirBrowser::beginRenameIn(QAbstractItemView* view)
{
    if (view == d->listView)
        d->listView->core()->beginRename(false);
    else
        d->detailView->core()->beginRename(false);
}

void DirBrowser::deleteFile(const QString& name)
{
    if (name.isEmpty())
        return;
    const DirEntry entry = entryInfo(name);
    QString word = tr("the file");
    if (entry.isDir)
        word = tr("the directory");
    if (entry.isSymLink)
        word = tr("the symlink");
    const QMessageBox::StandardButton answer = kro::prompter().warning(
        this, tr("Delete %1").arg(word),
        tr("<qt>Are you sure you wish to delete %1 \"%2\"?</qt>").arg(word, name.toHtmlEscaped()),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes)
        d->url->remove(name);
}

void DirBrowser::newFolderClicked()
{
    const QString series = tr("New Folder");
    QString candidate = tr("New Folder 1");
    QSet<QString> taken;
    for (int r = 0; r < d->model->count(); ++r) {
        const QString& n = d->model->item(r).info.name;
        if (n.contains(series))
            taken.insert(n);
    }
    // The first name is tried twice: "New Folder 1", then 1, 2, 3, ...
    int counter = 0;
    while (taken.contains(candidate))
        candidate = tr("New Folder %1").arg(++counter);
    d->url->mkdir(candidate);
}

void DirBrowser::createdDirectory(const DirEntry& info, FsOperation* op)
{
    if (!op)
        return;
    rebuildEntries();
    const int row = d->model->rowOf(info.name);
    if (row < 0)
        return;
    const QModelIndex index = d->model->index(row, 0);
    if (d->stack->currentWidget() == d->listView) {
        d->listView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        d->listView->core()->beginRename(false);
    } else {
        d->detailView->selectionModel()->setCurrentIndex(index,
                                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
        d->detailView->core()->beginRename(false);
    }
}

void DirBrowser::stopCopy()
{
    if (d->ignoreStop)
        return;
    const bool blocked = d->url->blockSignals(true);
    d->url->stop();
    if (d->progressDialog) {
        d->ignoreStop = true;
        QTimer::singleShot(100, this, &DirBrowser::removeProgressDia);
    }
    d->url->blockSignals(blocked);
}

void DirBrowser::removeProgressDia()
{
    delete d->progressDialog.data();
    d->progressDialog = nullptr;
}

void DirBrowser::dataTransferProgress(qint64 done, qint64 total, FsOperation* op)
{
    if (!op)
        return;
    const QString label = op->arg(0);
    if (!d->progressDialog) {
        // A transfer complete in its first report opens no dialog.
        if (done >= total)
            return;
        d->ignoreStop = false;
        d->progressDialog = new FDProgressDialog(this, label, total);
        connect(d->progressDialog, &FDProgressDialog::cancelled, this, &DirBrowser::stopCopy);
        d->progressDialog->show();
    }
    if (op->kind() == FsOperation::Get) {
        d->progressDialog->setReadProgress(done);
    } else if (op->kind() == FsOperation::Put) {
        d->progressDialog->setWriteLabel(label);
        d->progressDialog->setWriteProgress(done);
    }
}
