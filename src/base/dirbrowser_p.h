#pragma once
// The private state of a DirBrowser, shared by its source files.
#include "base/dirbrowser.h"
#include "base/direntry.h"
#include "base/direntrymodel.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QSet>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class FDProgressDialog;
class FsOperation;
class LocalFsOperator;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QSplitter;
class QStackedWidget;
class QTimer;
class QToolButton;
class QWidget;

struct DirBrowserPrivate {
    using File = DirFileItem;

    // The current directory with its name filter; all operations go to it.
    LocalFsOperator* url = nullptr;
    // The directory and filter before the last navigation.
    QString previousDir;
    QString previousFilter;
    // The selected entry as a file path, or null.
    QString selection;
    DirBrowser::Mode mode = DirBrowser::AnyFile;
    QStringList history;

    // Widgets.
    QLineEdit* nameEdit = nullptr;
    QSplitter* splitter = nullptr;
    QStackedWidget* stack = nullptr;
    DirBrowserDirListView* detailView = nullptr;
    DirListBox* listView = nullptr;
    QComboBox* paths = nullptr;
    QComboBox* types = nullptr;
    QLabel* pathLabel = nullptr;
    QLabel* fileNameLabel = nullptr;
    QLabel* typeLabel = nullptr;
    QToolButton* goBack = nullptr;
    QToolButton* browse = nullptr;
    QToolButton* cdToParent = nullptr;
    QToolButton* newFolder = nullptr;
    QToolButton* mcView = nullptr;
    QToolButton* detailViewButton = nullptr;
    QToolButton* refresh = nullptr;
    QToolButton* previewInfo = nullptr;
    QToolButton* previewContents = nullptr;
    QPointer<QButtonGroup> modeButtons;
    QStackedWidget* preview = nullptr;
    // Shown while a name filter hides files: the filter and a way back.
    QWidget* filterBar = nullptr;
    QLabel* filterLabel = nullptr;
    QToolButton* showAll = nullptr;
    QWidget* previewInfoPage = nullptr;
    QWidget* previewContentsPage = nullptr;
    int listViewId = 0;
    int detailViewId = 1;

    // Flags.
    bool geometryDirty = false;
    bool infoPreview = false;
    bool contentsPreview = false;
    bool checkForFilter = false;
    bool ignoreNextListSelectionChange = false;
    bool ignoreNextKey = false;
    bool ignoreStop = false;
    bool hadDotDot = false;
    bool waitCursor = false;

    QPointer<FDProgressDialog> progressDialog;
    QTimer* mimeTimer = nullptr;
    // The file-type lookup walks the rows from here to the end.
    int nextLookup = 0;
    int lastHighlightedRow = -1;
    // The rows selected at the last report of the list view's selection.
    QSet<int> selectionSeen;
    QPointer<FsOperation> listingOp;

    // The listing: every accepted entry, sorted by rebuildEntries.
    std::vector<DirEntry> sortedList;
    DirEntryModel* model = nullptr;
    DirDisplayTexts texts;

    DirPreviewer* infoPreviewer = nullptr;
    DirPreviewer* contentsPreviewer = nullptr;
};

// What every browser of the process shares.
struct DirBrowserShared {
    QString rememberedDir;
    std::optional<QSize> rememberedSize;
    bool detailView = false;
    bool showHidden = false;
    DirSortKey sortKey = DirSortKey::Name;
    bool ascending = true;
};
DirBrowserShared& dirBrowserShared();
