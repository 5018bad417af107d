#pragma once
// The directory browser's two file views over the browser's entry model:
// DirListBox (the entries in columns that fit the height) and
// DirBrowserDirListView (one row per entry with its Name, Size, Type, Date
// and Attributes). Both behave alike: a slow second click on the current
// entry opens the in-place rename editor RenameEdit, a letter jumps to the
// next entry beginning with it, the selection can be dragged out as file
// URLs, and files dropped on a folder or on the empty area are copied or
// moved there. FileViewCore holds that shared behaviour.
#include <QLineEdit>
#include <QListView>
#include <QPersistentModelIndex>
#include <QPoint>
#include <QPointer>
#include <QTreeView>

#include <functional>

struct DirDisplayTexts;
class DirBrowser;
class QDrag;
class QDragEnterEvent;
class QDragLeaveEvent;
class QDragMoveEvent;
class QDropEvent;
class QFrame;
class QMimeData;
class QTimer;

class RenameEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit RenameEdit(QWidget* parent);

public Q_SLOTS:
    void slotReturnPressed();

Q_SIGNALS:
    void cancelRename();
    void doRename();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool m_renameRequested = false;
};

class FileViewCore : public QObject {
    Q_OBJECT

public:
    FileViewCore(QAbstractItemView* view, DirBrowser* browser, bool detail);

    // Opens the rename editor over the current entry; with check only when
    // a slow second click made it the rename candidate.
    void beginRename(bool check);
    bool isRenaming() const { return m_renaming; }
    RenameEdit* editor() const { return m_edit; }
    QWidget* editorBox() const;
    QTimer* renameTimer() const { return m_renameTimer; }
    QTimer* changeDirTimer() const { return m_changeDirTimer; }
    QModelIndex dropTarget() const { return m_dropTarget; }

    // The view's event handlers call these; base runs the view's own
    // handling where the behaviour includes it.
    void mousePress(QMouseEvent* event, const std::function<void()>& base);
    void mouseRelease(QMouseEvent* event, const std::function<void()>& base);
    void mouseDoubleClick(QMouseEvent* event, const std::function<void()>& base);
    void mouseMove(QMouseEvent* event, const std::function<void()>& base);
    // True when the key was handled here.
    bool keyPress(QKeyEvent* event);
    void dragEnter(QDragEnterEvent* event);
    void dragMove(QDragMoveEvent* event);
    void dragLeave(QDragLeaveEvent* event);
    void drop(QDropEvent* event);

    bool canDropAt(const QPoint& pos, bool ownDrag) const;
    void setDropTarget(const QPoint& pos);
    // The data a drag of the selection carries: the selected files as URLs.
    QMimeData* dragPayload() const;

    // Runs a drag; the program runs it with the toolkit's drag loop, tests
    // install their own runner.
    using DragRunner = std::function<void(QDrag*)>;
    static DragRunner& dragRunner();

public Q_SLOTS:
    void rename();
    void cancelRename();
    void doubleClickTimeout();
    void changeDirDuringDrag();
    void dragObjDestroyed() {}
    void contentsMoved();

private:
    bool isDirectoryAt(const QModelIndex& index) const;
    QString nameOf(const QModelIndex& index) const;
    int nameColumnWidth(const QModelIndex& index) const;

    QAbstractItemView* m_view;
    DirBrowser* m_browser;
    bool m_detail;
    QPointer<QWidget> m_viewportProxy;  // the viewport's focus proxy while no editor is open
    QFrame* m_box;
    RenameEdit* m_edit;
    bool m_renaming = false;
    QTimer* m_renameTimer;
    QPersistentModelIndex m_renameCandidate;
    QPoint m_pressPos;
    QPoint m_lastDragPos;
    bool m_mousePressed = false;
    QString m_dragStartDir;
    QPersistentModelIndex m_dropTarget;
    QTimer* m_changeDirTimer;
    bool m_firstPress = true;
    QPersistentModelIndex m_dragItem;
    bool m_dragging = false;  // this view's drag loop runs
};

class DirListBox : public QListView {
    Q_OBJECT

public:
    DirListBox(DirBrowser* browser, QWidget* parent);
    FileViewCore* core() const { return m_core; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void startDrag(Qt::DropActions) override {}

private:
    FileViewCore* m_core;
};

class DirBrowserDirListView : public QTreeView {
    Q_OBJECT

public:
    DirBrowserDirListView(DirBrowser* browser, QWidget* parent);
    FileViewCore* core() const { return m_core; }

    // Sorts by a column: -1 none; 1 by size, 3 by date, any other by name.
    // The browser rebuilds its views in that order; the view never sorts.
    void setSorting(int column, bool ascending);
    int sortColumn() const { return m_sortColumn; }
    // Gives Size, Type, Date and Attributes the width of the longest text
    // they can show; Name takes what the view has left (at least a
    // minimum), so nothing is cut while there is room.
    void fitColumns(const DirDisplayTexts& texts);
    // Wide enough to show Name, Size, Type and Date uncut.
    QSize sizeHint() const override;
    static constexpr int minimumNameWidth = 180;
    bool ascending() const { return m_ascending; }

public Q_SLOTS:
    void changeSortColumn2(int section);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void startDrag(Qt::DropActions) override {}
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitNameColumn();

    DirBrowser* m_browser;
    FileViewCore* m_core;
    int m_sortColumn = 0;
    bool m_ascending = true;
};
