#include "base/fileviews.h"

#include "base/dirbrowser.h"
#include "base/direntrymodel.h"
#include "base/localfsoperator.h"

#include <QApplication>
#include <QDateTime>
#include <QStyle>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

// ---------------------------------------------------------------------------
// RenameEdit

RenameEdit::RenameEdit(QWidget* parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("qt_rename_edit"));
    connect(this, &QLineEdit::returnPressed, this, &RenameEdit::slotReturnPressed);
}

void RenameEdit::slotReturnPressed()
{
    m_renameRequested = true;
    Q_EMIT doRename();
}

void RenameEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        Q_EMIT cancelRename();
    else
        QLineEdit::keyPressEvent(event);
    event->accept();
}

void RenameEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Return has renamed already: the focus leaving afterwards must not
    // rename a second time.
    if (m_renameRequested)
        m_renameRequested = false;
    else
        Q_EMIT doRename();
}

// ---------------------------------------------------------------------------
// FileViewCore

FileViewCore::DragRunner& FileViewCore::dragRunner()
{
    static DragRunner runner = [](QDrag* drag) { drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction); };
    return runner;
}

FileViewCore::FileViewCore(QAbstractItemView* view, DirBrowser* browser, bool detail)
    : QObject(view), m_view(view), m_browser(browser), m_detail(detail)
{
    m_renameTimer = new QTimer(this);
    m_renameTimer->setSingleShot(true);
    m_changeDirTimer = new QTimer(this);

    m_box = new QFrame(view->viewport());
    m_box->setObjectName(QStringLiteral("qt_vbox"));
    m_box->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_box->setLineWidth(1);
    m_box->setBackgroundRole(QPalette::Base);
    m_box->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(m_box);
    layout->setContentsMargins(1, 1, 1, 1);
    m_edit = new RenameEdit(m_box);
    m_edit->setFixedHeight(m_edit->sizeHint().height());
    layout->addWidget(m_edit);
    m_box->hide();

    connect(m_edit, &RenameEdit::doRename, this, &FileViewCore::rename);
    connect(m_edit, &RenameEdit::cancelRename, this, &FileViewCore::cancelRename);
    connect(m_renameTimer, &QTimer::timeout, this, &FileViewCore::doubleClickTimeout);
    connect(m_changeDirTimer, &QTimer::timeout, this, &FileViewCore::changeDirDuringDrag);
    connect(view->horizontalScrollBar(), &QScrollBar::valueChanged, this, &FileViewCore::contentsMoved);
    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this, &FileViewCore::contentsMoved);
    view->setAcceptDrops(true);
    view->viewport()->setAcceptDrops(true);
    m_viewportProxy = view->viewport()->focusProxy();
}

QWidget* FileViewCore::editorBox() const { return m_box; }

QString FileViewCore::nameOf(const QModelIndex& index) const
{
    if (!index.isValid())
        return QString();
    return m_browser->model()->item(index.row()).info.name;
}

bool FileViewCore::isDirectoryAt(const QModelIndex& index) const
{
    return index.isValid() && m_browser->entryInfo(nameOf(index)).isDir;
}

int FileViewCore::nameColumnWidth(const QModelIndex& index) const
{
    if (m_detail)
        return static_cast<QTreeView*>(m_view)->columnWidth(0);
    return m_view->visualRect(index).width();
}

void FileViewCore::beginRename(bool check)
{
    const QModelIndex current = m_view->currentIndex();
    if (check && (!m_renameCandidate.isValid() || m_renameCandidate.row() != current.row()))
        return;
    if (!current.isValid())
        return;
    const QModelIndex name = current.siblingAtColumn(0);
    m_view->selectionModel()->select(name, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QRect r = m_view->visualRect(name);
    const QPixmap picture = m_browser->model()->picture(name.row());
    const int b = picture.isNull() ? 16 : picture.width();
    const int h = std::max(m_edit->height() + 2, r.height());
    m_box->setGeometry(r.left() + b, r.top() + r.height() / 2 - h / 2, nameColumnWidth(name) - b + 6, h);
    m_edit->setText(nameOf(name));
    m_edit->selectAll();
    m_edit->setFrame(false);
    m_box->show();
    m_box->raise();
    m_edit->setFocus();
    m_view->viewport()->setFocusProxy(m_edit);
    m_renaming = true;
}

void FileViewCore::cancelRename()
{
    // Not renaming any more before the editor loses the focus, so that the
    // loss does not rename.
    const bool editorHadFocus = m_edit->hasFocus();
    m_renaming = false;
    m_renameCandidate = QPersistentModelIndex();
    m_view->viewport()->setFocusProxy(m_viewportProxy);
    m_box->hide();
    m_view->viewport()->update();
    if (editorHadFocus)
        m_view->viewport()->setFocus();
}

void FileViewCore::rename()
{
    if (!m_renaming)
        return;
    const QModelIndex current = m_view->currentIndex();
    const QString oldName = nameOf(current);
    const QString newName = m_edit->text();
    if (current.isValid() && !newName.isEmpty() && newName != oldName)
        m_browser->fileOperator()->rename(oldName, newName);
    cancelRename();
}

void FileViewCore::doubleClickTimeout()
{
    beginRename(true);
    m_renameTimer->stop();
}

void FileViewCore::mousePress(QMouseEvent* event, const std::function<void()>& base)
{
    m_pressPos = event->position().toPoint();
    m_mousePressed = false;
    const bool wasRenaming = m_renaming;
    cancelRename();
    if (!m_view->hasFocus() && !m_view->viewport()->hasFocus())
        m_view->setFocus();
    if (event->button() != Qt::LeftButton) {
        base();
        m_firstPress = false;
        return;
    }
    const QModelIndex before = m_view->currentIndex();
    const bool wasSelected = before.isValid() && m_view->selectionModel()->isSelected(before);
    base();
    const QModelIndex current = m_view->currentIndex();
    if (current.isValid()) {
        const DirBrowser::Mode mode = m_browser->mode();
        const bool directoryMode = mode == DirBrowser::Directory || mode == DirBrowser::DirectoryOnly;
        m_mousePressed = !isDirectoryAt(current) || directoryMode;
    }
    const QModelIndex under = m_view->indexAt(m_pressPos);
    const bool slowSecondClick =
        !m_firstPress && !wasRenaming && before.isValid() && under.isValid() && under.row() == before.row() &&
        current.isValid() && current.row() == before.row() && (m_detail || wasSelected) &&
        (!m_detail || m_pressPos.x() + m_view->horizontalScrollBar()->value() <= nameColumnWidth(current)) &&
        m_browser->entryInfo(QStringLiteral(".")).writable && nameOf(current) != QLatin1String("..");
    if (slowSecondClick) {
        m_renameTimer->start(QApplication::doubleClickInterval());
        m_renameCandidate = current;
    }
    m_firstPress = false;
}

void FileViewCore::mouseRelease(QMouseEvent*, const std::function<void()>& base)
{
    m_dragItem = QPersistentModelIndex();
    base();
    m_mousePressed = false;
}

void FileViewCore::mouseDoubleClick(QMouseEvent*, const std::function<void()>& base)
{
    m_renameTimer->stop();
    base();
}

QMimeData* FileViewCore::dragPayload() const
{
    const QStringList files = m_browser->mode() == DirBrowser::ExistingFiles
                                  ? m_browser->selectedFiles()
                                  : QStringList{m_browser->selectedFile()};
    QList<QUrl> urls;
    for (const QString& f : files)
        if (!f.isEmpty())
            urls << QUrl::fromLocalFile(f);
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

void FileViewCore::mouseMove(QMouseEvent* event, const std::function<void()>& base)
{
    const QPoint pos = event->position().toPoint();
    if (!m_dragItem.isValid())
        m_dragItem = m_view->indexAt(pos);
    m_renameTimer->stop();
    if ((pos - m_pressPos).manhattanLength() > QApplication::startDragDistance() && m_mousePressed) {
        const QPersistentModelIndex item = std::exchange(m_dragItem, QPersistentModelIndex());
        if (!item.isValid())
            return;
        if (!m_detail && !m_view->visualRect(item).contains(pos))
            return;
        auto* drag = new QDrag(m_view->viewport());
        drag->setMimeData(dragPayload());
        if (m_renaming)
            cancelRename();
        connect(drag, &QObject::destroyed, this, &FileViewCore::dragObjDestroyed);
        m_dragging = true;
        const QPointer<QAbstractItemView> alive(m_view);
        dragRunner()(drag);
        if (!alive)
            return;
        m_dragging = false;
        m_mousePressed = false;
        return;
    }
    if (!m_detail)
        base();
}

bool FileViewCore::keyPress(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_renaming)
        return true;
    const QString text = event->text();
    const QChar c = text.isEmpty() ? QChar() : text.at(0).toLower();
    if (!c.isLetterOrNumber()) {
        cancelRename();
        return false;
    }
    const int rows = m_browser->model()->count();
    bool taken = false;
    if (rows > 0) {
        const QModelIndex current = m_view->currentIndex();
        const int start = current.isValid() ? current.row() : 0;
        for (int step = 1; step <= rows; ++step) {
            const int row = (start + step) % rows;
            if (m_browser->model()->item(row).info.name.toLower().startsWith(c)) {
                const QModelIndex found = m_browser->model()->index(row, 0);
                m_view->selectionModel()->clearSelection();
                m_view->selectionModel()->setCurrentIndex(found, QItemSelectionModel::NoUpdate);
                if (m_detail)
                    m_view->scrollTo(found);
                taken = true;
                break;
            }
        }
    }
    if (!m_detail) {
        cancelRename();
        return taken;
    }
    // The detail view takes every letter and digit, found or not.
    return rows > 0 || taken;
}

bool FileViewCore::canDropAt(const QPoint& pos, bool ownDrag) const
{
    const QModelIndex index = m_view->indexAt(pos);
    if (index.isValid() && m_view->visualRect(index).contains(pos))
        return isDirectoryAt(index);
    // The empty area stands for the directory shown: not where the drag
    // came from.
    return !(ownDrag && m_browser->dirPath() == m_dragStartDir);
}

void FileViewCore::setDropTarget(const QPoint& pos)
{
    m_changeDirTimer->stop();
    QModelIndex target;
    if (pos != QPoint(-1, -1)) {
        const QModelIndex index = m_view->indexAt(pos);
        if (index.isValid() && isDirectoryAt(index) && m_view->visualRect(index).contains(pos))
            target = index.siblingAtColumn(0);
    }
    m_dropTarget = target;
    if (target.isValid())
        m_view->selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
    m_changeDirTimer->start(750);
}

void FileViewCore::changeDirDuringDrag()
{
    if (!m_dropTarget.isValid())
        return;
    m_changeDirTimer->stop();
    const QString target = m_browser->entryPath(nameOf(m_dropTarget));
    m_dropTarget = QPersistentModelIndex();
    if (!target.isEmpty())
        m_browser->setUrl(QUrl::fromLocalFile(target + QLatin1Char('/')));
}

void FileViewCore::contentsMoved()
{
    m_changeDirTimer->stop();
    setDropTarget(QPoint(-1, -1));
}

void FileViewCore::dragEnter(QDragEnterEvent* event)
{
    m_dragStartDir = m_browser->dirPath();
    m_dropTarget = QPersistentModelIndex();
    const QPoint pos = event->position().toPoint();
    if (!event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    const bool own = m_dragging || event->source() == m_view->viewport();
    // The view takes every drag of files, wherever it enters: a drag that
    // comes in over a file (or over its own folder) must still be told
    // about the folders it moves onto. Where it cannot drop, it enters
    // with no action, so the toolkit shows it refused there.
    if (canDropAt(pos, own)) {
        event->acceptProposedAction();
        setDropTarget(pos);
    } else {
        event->setDropAction(Qt::IgnoreAction);
        event->accept();
        setDropTarget(QPoint(-1, -1));
    }
    m_lastDragPos = pos;
}

void FileViewCore::dragMove(QDragMoveEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const bool own = m_dragging || event->source() == m_view->viewport();
    if (event->mimeData()->hasUrls() && canDropAt(pos, own) &&
        (event->proposedAction() == Qt::CopyAction || event->proposedAction() == Qt::MoveAction)) {
        event->acceptProposedAction();
        if (pos != m_lastDragPos)
            setDropTarget(pos);
    } else {
        m_changeDirTimer->stop();
        event->ignore();
        setDropTarget(QPoint(-1, -1));
    }
    m_lastDragPos = pos;
}

void FileViewCore::dragLeave(QDragLeaveEvent*)
{
    m_changeDirTimer->stop();
    setDropTarget(QPoint(-1, -1));
    m_changeDirTimer->stop();
}

void FileViewCore::drop(QDropEvent* event)
{
    m_changeDirTimer->stop();
    const bool own = m_dragging || event->source() == m_view->viewport();
    // The toolkit delivers drops only where the drag was accepted; a drop
    // anywhere else changes nothing either.
    if (!event->mimeData()->hasUrls() || !canDropAt(event->position().toPoint(), own)) {
        event->ignore();
        return;
    }
    // Local paths straight from the URLs, so names with "%" or "#" stay
    // the names they are.
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    const bool move = event->dropAction() == Qt::MoveAction;
    const QString targetName = m_dropTarget.isValid() ? nameOf(m_dropTarget) : QString();
    const QString destination = targetName.isEmpty() ? m_browser->dirPath() : m_browser->entryPath(targetName);
    const DirEntry targetDir = m_browser->entryInfo(targetName.isEmpty() ? QStringLiteral(".") : targetName);
    bool clash = false;
    for (const QString& f : files) {
        const QFileInfo at(destination + QLatin1Char('/') + QFileInfo(f).fileName());
        if (at.exists() || at.isSymLink()) {
            clash = true;
            break;
        }
    }
    if (targetDir.isDir && targetDir.writable && !clash && !files.isEmpty())
        m_browser->fileOperator()->copy(files, destination, move);
    event->accept();
    m_dropTarget = QPersistentModelIndex();
}

// ---------------------------------------------------------------------------
// The two views

namespace {

void setUpView(QAbstractItemView* v)
{
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A press on a selected entry keeps the selection, so that a drag takes
    // all of it; the drag itself is the views' own (startDrag does nothing).
    v->setDragEnabled(true);
    v->setDropIndicatorShown(false);
    v->setContextMenuPolicy(Qt::CustomContextMenu);
}

} // namespace

DirListBox::DirListBox(DirBrowser* browser, QWidget* parent) : QListView(parent)
{
    setObjectName(QStringLiteral("filelistbox"));
    setViewMode(QListView::ListMode);
    setFlow(QListView::TopToBottom);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setLayoutMode(QListView::Batched);
    setBatchSize(1000);
    setUniformItemSizes(false);
    setUpView(this);
    m_core = new FileViewCore(this, browser, false);
}

void DirListBox::keyPressEvent(QKeyEvent* event)
{
    if (!m_core->keyPress(event))
        QListView::keyPressEvent(event);
}

void DirListBox::mousePressEvent(QMouseEvent* e)
{
    m_core->mousePress(e, [&] { QListView::mousePressEvent(e); });
}

void DirListBox::mouseReleaseEvent(QMouseEvent* e)
{
    m_core->mouseRelease(e, [&] { QListView::mouseReleaseEvent(e); });
}

void DirListBox::mouseDoubleClickEvent(QMouseEvent* e)
{
    m_core->mouseDoubleClick(e, [&] { QListView::mouseDoubleClickEvent(e); });
}

void DirListBox::mouseMoveEvent(QMouseEvent* e)
{
    m_core->mouseMove(e, [&] { QListView::mouseMoveEvent(e); });
}

void DirListBox::dragEnterEvent(QDragEnterEvent* e) { m_core->dragEnter(e); }
void DirListBox::dragMoveEvent(QDragMoveEvent* e) { m_core->dragMove(e); }
void DirListBox::dragLeaveEvent(QDragLeaveEvent* e) { m_core->dragLeave(e); }
void DirListBox::dropEvent(QDropEvent* e) { m_core->drop(e); }

DirBrowserDirListView::DirBrowserDirListView(DirBrowser* browser, QWidget* parent)
    : QTreeView(parent), m_browser(browser)
{
    setObjectName(QStringLiteral("qt_filedlg_listview"));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setUpView(this);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(true);
    connect(header(), &QHeaderView::sectionClicked, this, &DirBrowserDirListView::changeSortColumn2);
    m_core = new FileViewCore(this, browser, true);
}

void DirBrowserDirListView::fitColumns(const DirDisplayTexts& texts)
{
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    const QFontMetrics fm(font());
    // What the item delegate adds around a text: the focus frame margins.
    const int pad = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 8;
    auto widest = [&](const QStringList& candidates) {
        int w = 0;
        for (const QString& c : candidates)
            w = std::max(w, fm.horizontalAdvance(c));
        return w + pad;
    };
    // A date with wide digits in every place, in the user's short format.
    DirEntry sample;
    sample.timeValid = true;
    sample.lastModified = QDateTime(QDate(2088, 12, 28), QTime(20, 58, 58)).toSecsSinceEpoch();
    const int columns[] = {DirEntryModel::SizeColumn, DirEntryModel::TypeColumn, DirEntryModel::DateColumn,
                           DirEntryModel::AttributesColumn};
    const QStringList contents[] = {
        {QStringLiteral("8888888888888")},
        {texts.file, texts.dir, texts.special, texts.symlinkToFile, texts.symlinkToDir, texts.symlinkToSpecial},
        {dateText(sample)},
        {texts.readWrite, texts.readOnly, texts.writeOnly, texts.inaccessible}};
    for (int i = 0; i < 4; ++i)
        header()->resizeSection(columns[i], std::max(widest(contents[i]), header()->sectionSizeHint(columns[i])));
    header()->resizeSection(DirEntryModel::NameColumn, minimumNameWidth);
    fitNameColumn();
}

void DirBrowserDirListView::fitNameColumn()
{
    int others = 0;
    for (int c = 1; c < header()->count(); ++c)
        others += header()->sectionSize(c);
    header()->resizeSection(DirEntryModel::NameColumn,
                            std::max(minimumNameWidth, viewport()->width() - others));
}

QSize DirBrowserDirListView::sizeHint() const
{
    QSize hint = QTreeView::sizeHint();
    int width = 0;
    for (int c = DirEntryModel::NameColumn; c <= DirEntryModel::DateColumn; ++c)
        width += c == DirEntryModel::NameColumn ? minimumNameWidth : header()->sectionSize(c);
    width += 2 * frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    hint.setWidth(std::max(hint.width(), width));
    return hint;
}

void DirBrowserDirListView::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
    fitNameColumn();
}

void DirBrowserDirListView::changeSortColumn2(int section)
{
    const int column = header()->logicalIndex(header()->visualIndex(section));
    setSorting(column, column == m_sortColumn ? !m_ascending : true);
}

void DirBrowserDirListView::setSorting(int column, bool ascending)
{
    if (column < 0)
        return;
    m_sortColumn = column;
    m_ascending = ascending;
    const DirSortKey key = column == DirEntryModel::SizeColumn   ? DirSortKey::Size
                           : column == DirEntryModel::DateColumn ? DirSortKey::Time
                                                                 : DirSortKey::Name;
    DirBrowser::setSort(key, ascending);
    m_browser->rebuildEntries();
}

void DirBrowserDirListView::keyPressEvent(QKeyEvent* event)
{
    if (!m_core->keyPress(event))
        QTreeView::keyPressEvent(event);
}

void DirBrowserDirListView::mousePressEvent(QMouseEvent* e)
{
    m_core->mousePress(e, [&] { QTreeView::mousePressEvent(e); });
}

void DirBrowserDirListView::mouseReleaseEvent(QMouseEvent* e)
{
    m_core->mouseRelease(e, [&] { QTreeView::mouseReleaseEvent(e); });
}

void DirBrowserDirListView::mouseDoubleClickEvent(QMouseEvent* e)
{
    m_core->mouseDoubleClick(e, [&] { QTreeView::mouseDoubleClickEvent(e); });
}

void DirBrowserDirListView::mouseMoveEvent(QMouseEvent* e)
{
    m_core->mouseMove(e, [&] { QTreeView::mouseMoveEvent(e); });
}

void DirBrowserDirListView::dragEnterEvent(QDragEnterEvent* e) { m_core->dragEnter(e); }
void DirBrowserDirListView::dragMoveEvent(QDragMoveEvent* e) { m_core->dragMove(e); }
void DirBrowserDirListView::dragLeaveEvent(QDragLeaveEvent* e) { m_core->dragLeave(e); }
void DirBrowserDirListView::dropEvent(QDropEvent* e) { m_core->drop(e); }
