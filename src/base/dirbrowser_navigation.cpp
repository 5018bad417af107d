// Navigation, history, selection and filters of the browser.
#include "base/dirbrowser.h"

#include "base/dirbrowser_p.h"
#include "base/fileviews.h"
#include "base/localfsoperator.h"
#include "core/filenames.h"
#include "platform/prompter.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace {

// The last element of a path ("" for a path ending in "/").
QString lastElement(const QString& path) { return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1); }

// The directory part of a path, ending with "/".
QString directoryPart(const QString& path) { return path.left(path.lastIndexOf(QLatin1Char('/')) + 1); }

} // namespace

QString DirBrowser::dirPath() const
{
    const QString dir = d->url->directory();
    return dir.size() > 1 ? dir.chopped(1) : dir;
}

QString DirBrowser::entryPath(const QString& name) const { return d->url->directory() + name; }

DirEntry DirBrowser::entryInfo(const QString& name) const { return d->url->entryInfo(name); }

bool DirBrowser::entryExists(const QString& name) const { return d->url->entryExists(name); }

QString DirBrowser::nameAt(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= d->model->count())
        return QString();
    return d->model->item(index.row()).info.name;
}

void DirBrowser::setNameEditQuietly(const QString& text)
{
    const bool blocked = d->nameEdit->blockSignals(true);
    d->nameEdit->setText(text);
    d->nameEdit->blockSignals(blocked);
}

void DirBrowser::rereadDir()
{
    showWaitCursor(true);
    d->nextLookup = d->model->count();
    d->mimeTimer->stop();
    d->listingOp = d->url->listChildren();
    // The listing arrives later; its start shows the wait cursor again
    // until it ends.
    showWaitCursor(false);
}

void DirBrowser::setDir(const QString& dir)
{
    if (dir.isEmpty())
        return;
    if (dir.startsWith(QLatin1String("file:")))
        setUrl(QUrl(dir));
    else
        setUrl(QUrl::fromLocalFile(QDir(dirPath()).absoluteFilePath(dir) +
                                   (dir.endsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString())));
}

void DirBrowser::setUrl(const QUrl& url)
{
    if (!url.isLocalFile() && !url.isRelative()) {
        kro::prompter().critical(this, tr("Error"),
                                 tr("The protocol `%1' is not supported\n%2").arg(url.scheme(), url.toString()));
        return;
    }
    d->previousDir = d->url->directory();
    d->previousFilter = d->url->nameFilter();
    QString path = url.isRelative() ? QDir(dirPath()).absoluteFilePath(url.path(QUrl::FullyDecoded))
                                    : url.toLocalFile();
    const bool slash = path.endsWith(QLatin1Char('/'));
    path = QDir::cleanPath(path);
    d->checkForFilter = true;
    const QFileInfo fi(path);
    // A path that does not exist is taken as a directory when written as one.
    if (fi.isDir() || (slash && !fi.exists())) {
        d->url->setDirectory(path);
        setSelectionFromUrl(true, d->url->directory(), false);
        rereadDir();
        Q_EMIT dirEntered(dirPath());
    } else {
        d->url->setDirectory(directoryPart(path));
        setSelectionFromUrl(false, path, false);
        rereadDir();
        Q_EMIT dirEntered(dirPath());
        d->nameEdit->setText(lastElement(path));
    }
    d->checkForFilter = false;
}

void DirBrowser::setSelection(const QString& text)
{
    d->previousDir = d->url->directory();
    d->previousFilter = d->url->nameFilter();
    QString path = text.startsWith(QLatin1String("file:")) ? QUrl(text).toLocalFile()
                                                            : QDir(dirPath()).absoluteFilePath(text);
    if (text.endsWith(QLatin1Char('/')) && !path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    d->checkForFilter = true;
    const QFileInfo fi(path);
    // Whether it is a directory; when that cannot be told, a path ending
    // with "/" is one.
    const bool isDir = fi.exists() ? fi.isDir() : path.endsWith(QLatin1Char('/'));
    if (!isDir) {
        d->url->setDirectory(directoryPart(path));
        setSelectionFromUrl(false, path, true);
        d->ignoreNextListSelectionChange = true;
        d->nameEdit->selectAll();
        rereadDir();
        Q_EMIT dirEntered(dirPath());
    } else {
        d->url->setDirectory(path);
        setSelectionFromUrl(true, d->url->directory(), false);
        rereadDir();
        Q_EMIT dirEntered(dirPath());
        d->nameEdit->clear();
    }
    d->checkForFilter = false;
}

void DirBrowser::cdUpClicked()
{
    const QString kept = d->nameEdit->text();
    setUrl(QUrl::fromLocalFile(entryPath(QStringLiteral("../"))));
    if (!kept.isEmpty())
        d->nameEdit->setText(kept);
}

void DirBrowser::goBack()
{
    if (!d->goBack || !d->goBack->isEnabled() || d->history.isEmpty())
        return;
    d->history.removeAll(d->history.last());
    if (d->history.size() < 2)
        d->goBack->setEnabled(false);
    // Nothing left to go back to: stay.
    if (d->history.isEmpty())
        return;
    setUrl(QUrl::fromLocalFile(d->history.last()));
}

void DirBrowser::browse()
{
    const QString dir = kro::prompter().getExistingDirectory(this, tr("Set current directory"), dirPath());
    if (!dir.isEmpty())
        setUrl(QUrl::fromLocalFile(dir + QLatin1Char('/')));
}

bool DirBrowser::setSelectionFromUrl(bool isDir, const QString& path, bool updateNameEdit)
{
    if (!isDir && path.endsWith(QLatin1Char('/')))
        isDir = true;
    const QString name = lastElement(path);
    if (d->checkForFilter && name.contains(QLatin1Char('*'))) {
        applyFilterText(name);
        d->selection.clear();
        d->nameEdit->clear();
        return false;
    }
    if (d->preview->isVisibleTo(this))
        passToPreviewers(path);
    const QString old = d->selection;
    if (isDirectoryMode())
        d->selection = isDir ? path : QString();
    else
        d->selection = isDir ? QString() : path;
    if (updateNameEdit && !d->selection.isEmpty())
        d->nameEdit->setText(name == QLatin1String("..") ? QString() : name);
    if (!d->selection.isEmpty() && d->selection != old)
        Q_EMIT fileHighlighted(selectedFile());
    return !d->selection.isNull();
}

QString DirBrowser::selectedFile() const { return d->selection; }

QStringList DirBrowser::selectedFiles() const
{
    QStringList files;
    if (d->mode != ExistingFiles)
        return files;
    const QString text = d->nameEdit->text();
    if (text.isEmpty())
        return files;
    QStringList names;
    if (!text.contains(QLatin1Char('"'))) {
        names << text;
    } else {
        const QString upToLast = text.left(text.lastIndexOf(QLatin1Char('"')));
        for (QString part : upToLast.split(QStringLiteral("\" "), Qt::SkipEmptyParts)) {
            if (part.startsWith(QLatin1Char('"')))
                part.remove(0, 1);
            names << part;
        }
    }
    for (const QString& name : names)
        files << entryPath(name);
    return files;
}

void DirBrowser::selectDirectoryOrFile(const QModelIndex& index)
{
    rememberState();
    if (!index.isValid())
        return;
    const QString name = nameAt(index);
    const DirFileItem& item = d->model->item(index.row());
    // A link counts as its target: a linked folder is entered, a linked
    // file opened like a file; a dangling link opens nothing.
    const DirEntry entry = entryInfo(name);
    if (entry.isSymLink && !entry.isDir && !entry.isFile)
        return;
    const QString kept = d->nameEdit->text();
    if (item.info.isDir) {
        setUrl(QUrl::fromLocalFile(entryPath(name) + QLatin1Char('/')));
        if (isDirectoryMode())
            setSelectionFromUrl(entryInfo(QStringLiteral(".")).isDir, d->url->directory(), true);
    } else if ((d->model->flags(index) & Qt::ItemIsSelectable) && setSelectionFromUrl(false, entryPath(name), true)) {
        if (d->mode == ExistingFile) {
            if (entryExists(d->nameEdit->text()))
                Q_EMIT fileSelected(selectedFile());
        } else if (d->mode == AnyFile || d->mode == ExistingFiles) {
            Q_EMIT fileSelected(selectedFile());
        }
    } else if (isDirectoryMode()) {
        d->selection = d->url->directory();
        accept();
    }
    if (!kept.isEmpty() && !isDirectoryMode())
        d->nameEdit->setText(kept);
}

void DirBrowser::updateFileNameEdit(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    const QModelIndex row = index.siblingAtColumn(0);
    const DirFileItem& item = d->model->item(row.row());
    if (d->mode == ExistingFiles) {
        detailViewSelectionChanged();
        if (!item.info.isDir)
            Q_EMIT fileHighlighted(entryPath(item.info.name));
    } else if (d->detailView->selectionModel()->isSelected(row)) {
        setSelectionFromUrl(item.info.isDir, entryPath(item.info.name), true);
    }
}

namespace {
// The selected files' names in view order, each in double quotes and
// followed by a blank.
QString quotedSelection(const DirEntryModel* model, const QModelIndexList& rows)
{
    std::vector<int> selected;
    selected.reserve(rows.size());
    for (const QModelIndex& i : rows)
        selected.push_back(i.row());
    std::sort(selected.begin(), selected.end());
    QString text;
    for (int r : selected) {
        const DirEntry& e = model->item(r).info;
        if (!e.isDir)
            text += QStringLiteral("\"%1\" ").arg(e.name);
    }
    return text;
}
} // namespace

void DirBrowser::detailViewSelectionChanged()
{
    if (d->mode != ExistingFiles)
        return;
    const QModelIndexList rows = d->detailView->selectionModel()->selectedRows(0);
    d->nameEdit->setText(quotedSelection(d->model, rows));
    const QModelIndex current = d->detailView->currentIndex();
    if (d->preview->isVisibleTo(this) && current.isValid())
        passToPreviewers(entryPath(nameAt(current)));
}

void DirBrowser::listBoxSelectionChanged()
{
    if (d->mode != ExistingFiles)
        return;
    if (d->ignoreNextListSelectionChange) {
        d->ignoreNextListSelectionChange = false;
        return;
    }
    const QModelIndexList rows = d->detailView->selectionModel()->selectedRows(0);
    // Each newly selected entry is reported once.
    int first = -1;
    for (const QModelIndex& i : rows) {
        if (first < 0 || i.row() < first)
            first = i.row();
        if (!d->selectionSeen.contains(i.row())) {
            d->lastHighlightedRow = i.row();
            Q_EMIT fileHighlighted(entryPath(nameAt(i)));
        }
    }
    d->selectionSeen.clear();
    for (const QModelIndex& i : rows)
        d->selectionSeen.insert(i.row());
    d->nameEdit->setText(quotedSelection(d->model, rows));
    if (d->preview->isVisibleTo(this) && first >= 0)
        passToPreviewers(entryPath(d->model->item(first).info.name));
}

void DirBrowser::fileNameEditDone()
{
    if (d->mode == ExistingFiles)
        return;
    const QString path = entryPath(d->nameEdit->text());
    setSelectionFromUrl(QFileInfo(path).isDir(), path, false);
    if (d->preview->isVisibleTo(this))
        passToPreviewers(path);
}

void DirBrowser::fileNameEditReturnPressed()
{
    d->previousDir = d->url->directory();
    d->previousFilter = d->url->nameFilter();
    if (!isDirectoryMode()) {
        okClicked();
        return;
    }
    d->selection.clear();
    if (d->nameEdit->text().isEmpty()) {
        Q_EMIT fileSelected(selectedFile());
        accept();
    } else {
        const QModelIndex current = d->detailView->currentIndex();
        const QString name = current.isValid() && d->detailView->selectionModel()->isSelected(current)
                                 ? nameAt(current)
                                 : d->nameEdit->text();
        if (entryInfo(name).isDir) {
            setUrl(QUrl::fromLocalFile(entryPath(name) + QLatin1Char('/')));
            d->checkForFilter = true;
            setSelectionFromUrl(true, d->url->directory(), true);
            d->checkForFilter = false;
        }
    }
    d->nameEdit->setText(QString());
}

void DirBrowser::fixupNameEdit()
{
    // With several files selectable the edit holds the whole selection.
    if (d->mode == ExistingFiles)
        return;
    const QModelIndex current = d->detailView->currentIndex();
    if (current.isValid() && d->model->item(current.row()).info.isFile)
        d->nameEdit->setText(nameAt(current));
}

void DirBrowser::okClicked()
{
    QString text = d->nameEdit->text();
    if (QFileInfo(entryPath(text)).isSymLink())
        d->nameEdit->setText(QFileInfo(entryPath(text)).symLinkTarget());
    text = d->nameEdit->text();
    if (text.contains(QLatin1Char('*'))) {
        applyFilterText(text);
        setNameEditQuietly(QString());
        return;
    }
    rememberState();

    if (isDirectoryMode()) {
        const QString name = text.isEmpty() ? QStringLiteral(".") : text;
        if (entryInfo(name).isDir) {
            QString selection = d->url->directory();
            if (name != QLatin1String("."))
                selection += name;
            d->selection = selection;
            accept();
        }
        return;
    }
    if (d->mode == ExistingFiles && !text.isEmpty()) {
        const QStringList files = selectedFiles();
        if (!(files.size() == 1 && kro::isDirectory(files.first()))) {
            Q_EMIT filesSelected(files);
            accept();
            return;
        }
    }
    if (d->mode == AnyFile) {
        const QString path = entryPath(text);
        if (!kro::isDirectory(path)) {
            d->selection = path;
            Q_EMIT fileSelected(selectedFile());
            accept();
            return;
        }
    }
    if (d->mode == ExistingFile && !entryExists(text))
        return;
    if (!d->selection.isNull() && !d->selection.contains(QLatin1Char('*'))) {
        Q_EMIT fileSelected(selectedFile());
        accept();
        return;
    }

    QString name = text;
    if (d->stack->currentWidget() == d->detailView && d->detailView->hasFocus() &&
        d->detailView->currentIndex().isValid())
        name = nameAt(d->detailView->currentIndex());
    else if (d->stack->currentWidget() == d->listView && d->listView->hasFocus() &&
             d->listView->currentIndex().isValid())
        name = nameAt(d->listView->currentIndex());
    if (!name.isEmpty() && entryInfo(name).isDir) {
        setUrl(QUrl::fromLocalFile(entryPath(name) + QLatin1Char('/')));
        d->checkForFilter = true;
        setSelectionFromUrl(true, d->url->directory(), true);
        d->checkForFilter = false;
    } else if (!name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
               name.mid(1, 1) != QLatin1String(":")) {
        applyFilterText(name);
    } else if (name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')) ||
               name.mid(1, 1) == QLatin1String(":")) {
        setDir(name);
    } else if (name.startsWith(QLatin1String("../")) || name.startsWith(QLatin1String("..\\"))) {
        setDir(entryPath(name));
    }
    d->nameEdit->setText(QString());
}

// ---------------------------------------------------------------------------
// Filters

void DirBrowser::setFilter(const QString& text)
{
    if (text.isEmpty())
        return;
    const QString pattern = filterPattern(text);
    d->url->setNameFilter(pattern);
    if (d->types->count() == 1) {
        d->types->setItemText(0, text);
    } else {
        for (int i = 0; i < d->types->count(); ++i) {
            const QString entry = d->types->itemText(i);
            if (entry.startsWith(text) || entry.startsWith(pattern)) {
                d->types->setCurrentIndex(i);
                break;
            }
        }
    }
    rereadDir();
}

void DirBrowser::setFilters(const QString& text)
{
    QStringList parts = text.contains(QLatin1String(";;")) || !text.contains(QLatin1Char('\n'))
                            ? text.split(QStringLiteral(";;"), Qt::SkipEmptyParts)
                            : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    setFilters(parts);
}

void DirBrowser::setFilters(const char** filters)
{
    if (!filters || !*filters)
        return;
    QStringList list;
    for (const char** f = filters; *f; ++f)
        list << QString::fromUtf8(*f);
    setFilters(list);
}

void DirBrowser::setFilters(const QStringList& filters)
{
    if (filters.isEmpty())
        return;
    d->types->clear();
    d->types->addItems(filters);
    d->types->setCurrentIndex(0);
    setFilter(filters.first());
}

void DirBrowser::applyFilterText(const QString& text)
{
    if (text.isEmpty())
        return;
    // An entry that stands for the same pattern is chosen, not added again.
    const QString pattern = filterPattern(text);
    for (int i = 0; i < d->types->count(); ++i) {
        if (filterPattern(d->types->itemText(i)) == pattern) {
            d->types->setCurrentIndex(i);
            setFilter(d->types->itemText(i));
            return;
        }
    }
    d->types->addItem(text);
    d->types->setCurrentIndex(d->types->count() - 1);
    setFilter(text);
}

void DirBrowser::setSelectedFilter(int index)
{
    if (index < 0 || index >= d->types->count())
        return;
    d->types->setCurrentIndex(index);
    d->url->setNameFilter(filterPattern(d->types->itemText(index)));
    rereadDir();
}

void DirBrowser::setSelectedFilter(const QString& text)
{
    for (int i = 0; i < d->types->count(); ++i) {
        if (d->types->itemText(i).contains(text, Qt::CaseInsensitive)) {
            d->types->setCurrentIndex(i);
            d->url->setNameFilter(filterPattern(text));
            rereadDir();
            return;
        }
    }
}

QString DirBrowser::selectedFilter() const { return d->types->currentText(); }

bool DirBrowser::showHiddenFiles() const { return dirBrowserShared().showHidden; }

void DirBrowser::setShowHiddenFiles(bool show)
{
    if (show == dirBrowserShared().showHidden)
        return;
    dirBrowserShared().showHidden = show;
    rereadDir();
}
