#pragma once
// DirBrowser: the program's directory browser, a dialog built like a file
// chooser that the main window keeps in its "Directory Browser" dock. It
// shows one directory at a time in a list view and a detail view, moves
// between directories (path combo, Back, One directory up, double-click),
// renames in place, deletes, creates folders, copies and moves by drag and
// drop, and reports by signals the directory entered and the files the user
// opens, edits or views.
//
// The class is split across files by concern:
//   dirbrowser.cpp            construction, modes, view modes, geometry
//   dirbrowser_navigation.cpp navigation, history, selection, filters
//   dirbrowser_listing.cpp    the listing, its sorting and the file-type icons
//   dirbrowser_actions.cpp    context menu, delete, new folder, copy progress
//   dirbrowser_keys.cpp       the event filter and the key handler
// The file views and the rename editor are in fileviews.h; the file
// operations in localfsoperator.h.
#include "base/direntry.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>

class DirBrowserDirListView;
class DirEntryModel;
class DirListBox;
class FDProgressDialog;
class FsOperation;
class LocalFsOperator;
class QAbstractItemView;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QModelIndex;
class QSplitter;
class QStackedWidget;
class QTimer;
class QToolButton;
struct DirBrowserPrivate;

// A preview of the entry under the cursor; the program installs none.
class DirPreviewer {
public:
    virtual ~DirPreviewer() = default;
    virtual void previewUrl(const QUrl& url) = 0;
};

class DirBrowser : public QDialog {
    Q_OBJECT
    Q_PROPERTY(QString selectedFile READ selectedFile)
    Q_PROPERTY(QString selectedFilter READ selectedFilter)
    Q_PROPERTY(QStringList selectedFiles READ selectedFiles)
    Q_PROPERTY(QString dirPath READ dirPath)
    Q_PROPERTY(bool showHiddenFiles READ showHiddenFiles WRITE setShowHiddenFiles)
    Q_PROPERTY(Mode mode READ mode WRITE setMode)
    Q_PROPERTY(ViewMode viewMode READ viewMode WRITE setViewMode)
    Q_PROPERTY(PreviewMode previewMode READ previewMode WRITE setPreviewMode)
    Q_PROPERTY(bool infoPreview READ isInfoPreviewEnabled WRITE setInfoPreviewEnabled)
    Q_PROPERTY(bool contentsPreview READ isContentsPreviewEnabled WRITE setContentsPreviewEnabled)

public:
    enum Mode { AnyFile = 0, ExistingFile = 1, Directory = 2, ExistingFiles = 3, DirectoryOnly = 4 };
    Q_ENUM(Mode)
    enum ViewMode { Detail = 0, List = 1 };
    Q_ENUM(ViewMode)
    enum PreviewMode { NoPreview = 0, Contents = 1, Info = 2 };
    Q_ENUM(PreviewMode)
    // What one run of the context menu asked for.
    enum MenuAction {
        PA_Open = 0,
        PA_Delete = 1,
        PA_Rename = 2,
        PA_Edit = 3,
        PA_View = 4,
        PA_SortName = 5,
        PA_SortSize = 6,
        PA_SortDate = 8,
        PA_SortUnsorted = 9,
        PA_Cancel = 10,
        PA_Reload = 11,
        PA_Hidden = 12
    };

    // Starts in dirName when it names an existing directory, else in the
    // directory remembered from earlier browsers (the process's current
    // directory at first).
    explicit DirBrowser(const QString& dirName = QString());
    ~DirBrowser() override;

    // --- properties ---
    QString selectedFile() const;
    QString selectedFilter() const;
    QStringList selectedFiles() const;
    // The directory shown, an absolute path ending with "/".
    QString dirPath() const;
    bool showHiddenFiles() const;
    void setShowHiddenFiles(bool show);
    Mode mode() const;
    void setMode(Mode mode);
    ViewMode viewMode() const;
    void setViewMode(ViewMode mode);
    PreviewMode previewMode() const;
    void setPreviewMode(PreviewMode mode);
    bool isInfoPreviewEnabled() const;
    void setInfoPreviewEnabled(bool on);
    bool isContentsPreviewEnabled() const;
    void setContentsPreviewEnabled(bool on);
    // The previewers the preview pages pass entries to (not owned).
    void setInfoPreviewer(DirPreviewer* previewer);
    void setContentsPreviewer(DirPreviewer* previewer);

    // --- operations ---
    void setSelection(const QString& text);
    void applyFilterText(const QString& text);
    void deleteFile(const QString& name);
    virtual void setSelectedFilter(int index);
    virtual void setSelectedFilter(const QString& text);
    // Moves the browser into another parent (the main window's dock).
    void reparent(QWidget* parent, Qt::WindowFlags flags, const QPoint& position, bool show);

    // Sorts the listing by the process-wide sort key and direction and
    // fills both views from it.
    void rebuildEntries();
    // Whether the entry of that name exists in the directory shown.
    bool entryExists(const QString& name) const;
    // The entry of that name (or ".") in the directory shown.
    DirEntry entryInfo(const QString& name) const;
    // The path of the entry of that name in the directory shown.
    QString entryPath(const QString& name) const;
    // Runs the context menu for an entry (empty name: the empty area) at a
    // global position; emits fileEditRequest or fileViewRequest itself.
    MenuAction popupMenu(const QString& name, const QPoint& globalPos);

    // --- parts, for the views, the main window and tests ---
    LocalFsOperator* fileOperator() const;
    DirEntryModel* model() const;
    DirListBox* listView() const;
    DirBrowserDirListView* detailView() const;
    // The view on top of the stack.
    QAbstractItemView* visibleView() const;
    QComboBox* pathCombo() const;
    QLineEdit* nameEdit() const;
    QComboBox* fileTypes() const;
    QLabel* nameLabel() const;
    QToolButton* backButton() const;
    QToolButton* browseButton() const;
    QToolButton* cdUpButton() const;
    QToolButton* newFolderButton() const;
    QToolButton* listViewButton() const;
    QToolButton* detailViewButton() const;
    QToolButton* refreshButton() const;
    QToolButton* previewInfoButton() const;
    QToolButton* previewContentsButton() const;
    QStackedWidget* previewStack() const;
    // The line above the views that names the filter hiding files, and
    // its button that shows all files again; hidden without a filter.
    QWidget* filterBar() const;
    QLabel* filterLabel() const;
    QToolButton* showAllButton() const;
    QStringList history() const;
    FDProgressDialog* progressDialog() const;
    // Entries still waiting for their file-type picture.
    int pendingIconLookups() const;
    // A listing of the directory is under way.
    bool isListing() const;

    // The process-wide state every browser shares: the remembered
    // directory, size and view, hidden files, the sort key and direction.
    static QString rememberedDirectory();
    static DirSortKey sortKey();
    static bool sortAscending();
    static void setSort(DirSortKey key, bool ascending);
    // Back to the state of a fresh process (the remembered directory the
    // current one, list view, hidden files off, by name ascending).
    static void resetSharedState();

public Q_SLOTS:
    void browse();
    void done(int result) override;
    void rereadDir();
    void setDir(const QString& dir);
    void setUrl(const QUrl& url);
    void setFilter(const QString& text);
    void setFilters(const QString& text);
    void setFilters(const char** filters);
    void setFilters(const QStringList& filters);

    // Slots of the views and the tool buttons.
    void detailViewSelectionChanged();
    void listBoxSelectionChanged();
    void changeMode(int id);
    void fileNameEditReturnPressed();
    void stopCopy();
    void removeProgressDia();
    void updateFileNameEdit(const QModelIndex& index);
    void selectDirectoryOrFile(const QModelIndex& index);
    // Right button over a view: index under the mouse (invalid for the
    // empty area) and the global position.
    void popupContextMenu(QAbstractItemView* view, const QModelIndex& index, const QPoint& globalPos);
    void fileNameEditDone();
    void okClicked();
    void cancelClicked();
    void cdUpClicked();
    void newFolderClicked();
    void fixupNameEdit();
    void doMimeTypeLookup();
    void updateGeometries();
    void goBack();

    // Reports of the file operator.
    void urlStart(FsOperation* op);
    void urlFinished(FsOperation* op);
    void dataTransferProgress(qint64 done, qint64 total, FsOperation* op);
    void insertEntry(const QList<DirEntry>& entries, FsOperation* op);
    void removeEntry(FsOperation* op);
    void createdDirectory(const DirEntry& info, FsOperation* op);
    void itemChanged(FsOperation* op);

Q_SIGNALS:
    void dirEntered(const QString& path);
    void fileHighlighted(const QString& path);
    void fileSelected(const QString& path);
    void filesSelected(const QStringList& paths);
    void filterSelected(const QString& filter);
    void fileEditRequest(const QString& path);
    void fileViewRequest(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildWidgets();
    void layOut();
    void initialSize();
    void rememberState();
    bool isDirectoryMode() const;
    bool setSelectionFromUrl(bool isDir, const QString& path, bool updateNameEdit);
    void applySelectability();
    void passToPreviewers(const QString& path);
    void setNameEditQuietly(const QString& text);
    void updateFilterBar();
    void showWaitCursor(bool on);
    // Name completion in the name edit; true when the key was taken.
    bool completeName(QKeyEvent* event);
    // The row of the entry the item view reports.
    QString nameAt(const QModelIndex& index) const;
    void beginRenameIn(QAbstractItemView* view);

    std::unique_ptr<DirBrowserPrivate> d;
};
