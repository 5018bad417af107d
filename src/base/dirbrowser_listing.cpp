// The listing of the directory shown: the operator's reports, the sorted
// listing, the views rebuilt from it and the file-type pictures.
#include "base/dirbrowser.h"

#include "base/dirbrowser_p.h"
#include "base/dirbrowserpictures.h"
#include "base/diriconprovider.h"
#include "base/fdprogressdialog.h"
#include "base/fileviews.h"
#include "base/localfsoperator.h"
#include "platform/prompter.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>

void DirBrowser::urlStart(FsOperation* op)
{
    if (!op || op->kind() != FsOperation::ListChildren || op != d->listingOp)
        return;
    showWaitCursor(true);
    d->cdToParent->setEnabled(!isRootPath(d->url->directory()));
    d->mimeTimer->stop();
    d->sortedList.clear();
    d->nextLookup = 0;
    d->selectionSeen.clear();
    d->listView->core()->cancelRename();
    d->detailView->core()->cancelRename();
    d->detailView->selectionModel()->clear();
    d->model->clear();

    const QString shown = dirPath();
    int entry = -1;
    for (int i = 0; i < d->paths->count() && entry < 0; ++i)
        if (d->paths->itemText(i).compare(shown, Qt::CaseInsensitive) == 0)
            entry = i;
    if (entry < 0) {
        d->paths->addItem(QIcon(dirBrowserPictures().openFolder), shown);
        entry = d->paths->count() - 1;
    }
    d->paths->setCurrentIndex(entry);
    updateFilterBar();

    d->hadDotDot = false;
    if (d->goBack && (d->history.isEmpty() || d->history.last() != d->url->directory())) {
        d->history << d->url->directory();
        if (d->history.size() > 1)
            d->goBack->setEnabled(true);
    }
}

void DirBrowser::insertEntry(const QList<DirEntry>& entries, FsOperation* op)
{
    if (op && op->kind() == FsOperation::ListChildren && op != d->listingOp)
        return;
    const bool root = isRootPath(d->url->directory());
    const bool showHidden = dirBrowserShared().showHidden;
    for (const DirEntry& e : entries) {
        if (d->mode == DirectoryOnly && !e.isDir)
            continue;
        if (e.name == QLatin1String("..")) {
            d->hadDotDot = true;
            if (root)
                continue;
        } else if (e.name == QLatin1String(".")) {
            continue;
        } else if (!showHidden && e.name.startsWith(QLatin1Char('.'))) {
            // Hidden: dot files, as everywhere on this system.
            continue;
        }
        d->sortedList.push_back(e);
    }
}

void DirBrowser::urlFinished(FsOperation* op)
{
    if (!op)
        return;
    const bool listing = op->kind() == FsOperation::ListChildren;
    // A listing that a newer one replaced has nothing to say any more.
    if (listing && op != d->listingOp)
        return;
    if (listing)
        showWaitCursor(false);

    if (op->state() == FsOperation::Failed) {
        if (d->paths->hasFocus() || d->paths->lineEdit()->hasFocus())
            d->ignoreNextKey = true;
        if (d->progressDialog) {
            d->ignoreStop = true;
            d->progressDialog->close();
            delete d->progressDialog.data();
        }
        kro::prompter().critical(this, tr("Error"), op->protocolDetail());
        static const int backCodes[] = {FsOperation::ErrValid,         FsOperation::ErrUnknownProtocol,
                                        FsOperation::ErrParse,         FsOperation::ErrLoginIncorrect,
                                        FsOperation::ErrHostNotFound,  FsOperation::ErrListChildren,
                                        FsOperation::ErrFileNotExisting};
        // Only a listing that failed leaves its folder: a failed copy, removal
        // or rename keeps the folder shown.
        const bool goesBack = listing && std::find(std::begin(backCodes), std::end(backCodes), op->errorCode()) !=
                                             std::end(backCodes);
        if (goesBack && d->url->directory() != d->previousDir) {
            d->url->setDirectory(d->previousDir);
            d->url->setNameFilter(d->previousFilter);
            rereadDir();
        } else if (listing) {
            d->listingOp = nullptr;
        }
        return;
    }

    if (listing && op->state() == FsOperation::Done) {
        if (!d->hadDotDot && !isRootPath(d->url->directory())) {
            DirEntry up = entryInfo(QStringLiteral(".."));
            up.name = QStringLiteral("..");
            up.isDir = true;
            up.isFile = false;
            up.isSymLink = false;
            up.size = 0;
            insertEntry({up}, nullptr);
        }
        d->listingOp = nullptr;
        rebuildEntries();
    } else if (op->kind() == FsOperation::Put && op->state() == FsOperation::Done) {
        rereadDir();
        if (d->progressDialog) {
            d->ignoreStop = true;
            d->progressDialog->close();
        }
        delete d->progressDialog.data();
    }
}

void DirBrowser::rebuildEntries()
{
    d->mimeTimer->stop();
    d->nextLookup = d->model->count();
    // Descending reverses the order within the folders and within the
    // files: ".." and the folders stay above the files either way.
    sortDirEntries(d->sortedList, dirBrowserShared().sortKey, dirBrowserShared().ascending);
    d->listView->core()->cancelRename();
    d->detailView->core()->cancelRename();
    d->selectionSeen.clear();

    // The listing's records come from the program's own scan of the
    // directory just made, with full 64-bit sizes: no second scan is needed.
    std::vector<DirFileItem> items;
    items.reserve(d->sortedList.size());
    const QString dir = d->url->directory();
    auto add = [&](const DirEntry& e) { items.push_back(DirFileItem{e, dir, false, {}}); };
    std::for_each(d->sortedList.begin(), d->sortedList.end(), add);
    d->model->setItems(std::move(items));
    applySelectability();
    d->nextLookup = 0;
    d->mimeTimer->start(0);
}

void DirBrowser::removeEntry(FsOperation* op)
{
    if (!op)
        return;
    const QString name = op->arg(0);
    const int row = d->model->rowOf(name);
    if (row >= 0) {
        if (row < d->nextLookup)
            --d->nextLookup;
        d->model->removeItem(row);
    }
    const auto it = std::find_if(d->sortedList.begin(), d->sortedList.end(),
                                 [&](const DirEntry& e) { return e.name == name; });
    if (it != d->sortedList.end())
        d->sortedList.erase(it);
}

void DirBrowser::itemChanged(FsOperation* op)
{
    if (!op)
        return;
    const QString oldName = op->arg(0), newName = op->arg(1);
    // An entry that had the new name is replaced by the renamed one.
    std::erase_if(d->sortedList, [&](const DirEntry& e) { return e.name == newName; });
    for (DirEntry& e : d->sortedList) {
        if (e.name == oldName) {
            e.name = newName;
            break;
        }
    }
    rebuildEntries();
}

void DirBrowser::doMimeTypeLookup()
{
    DirIconProvider* provider = dirIconProvider();
    if (!provider) {
        d->nextLookup = d->model->count();
        d->mimeTimer->stop();
        return;
    }
    d->mimeTimer->stop();
    const int count = d->model->count();
    if (d->nextLookup >= count)
        return;
    // Entries in view order, a few milliseconds' worth per pass, so the
    // window stays responsive while the pictures fill in.
    QElapsedTimer clock;
    clock.start();
    const qint64 strip = dirBrowserPictures().transparentStrip.cacheKey();
    int first = -1, last = -1, processed = 0;
    while (d->nextLookup < count && (processed == 0 || clock.elapsed() < 5)) {
        const int row = d->nextLookup++;
        ++processed;
        const DirFileItem& item = d->model->item(row);
        const QPixmap picture = provider->pixmap(item.info, item.dirPath + item.info.name);
        if (!picture.isNull() && picture.cacheKey() != d->model->picture(row).cacheKey() &&
            picture.cacheKey() != strip) {
            d->model->setTypeIcon(row, picture, false);
            if (first < 0)
                first = row;
            last = row;
        }
    }
    // One repaint of the rows that changed.
    if (first >= 0)
        d->model->notifyIconsChanged(first, last);
    if (d->nextLookup < count)
        d->mimeTimer->start(0);
    else if (d->stack->currentWidget() == d->listView)
        d->listView->doItemsLayout();
}
