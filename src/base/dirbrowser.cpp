// Construction, modes, view modes, previews and geometry of the browser.
#include "base/dirbrowser.h"

#include "base/dirbrowser_p.h"
#include "base/dirbrowserpictures.h"
#include "base/diriconprovider.h"
#include "base/fdprogressdialog.h"
#include "base/fileviews.h"
#include "base/localfsoperator.h"
#include "core/filenames.h"
#include "platform/embeddedimages.h"
#include "platform/prompter.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QResizeEvent>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

DirBrowserShared& dirBrowserShared()
{
    static DirBrowserShared shared = [] {
        DirBrowserShared s;
        const QString cwd = QDir::currentPath();
        s.rememberedDir = cwd.isEmpty() ? QStringLiteral("/") : cwd;
        return s;
    }();
    return shared;
}

QString DirBrowser::rememberedDirectory() { return dirBrowserShared().rememberedDir; }
DirSortKey DirBrowser::sortKey() { return dirBrowserShared().sortKey; }
bool DirBrowser::sortAscending() { return dirBrowserShared().ascending; }

void DirBrowser::setSort(DirSortKey key, bool ascending)
{
    dirBrowserShared().sortKey = key;
    dirBrowserShared().ascending = ascending;
}

void DirBrowser::resetSharedState()
{
    DirBrowserShared& s = dirBrowserShared();
    s = DirBrowserShared{};
    s.rememberedDir = QDir::currentPath();
}

DirBrowser::DirBrowser(const QString& dirName) : QDialog(nullptr), d(std::make_unique<DirBrowserPrivate>())
{
    buildWidgets();
    // The mode without setMode's side effects.
    d->mode = ExistingFile;
    rereadDir();

    QString start = dirName;
    if (start.startsWith(QLatin1String("file:")))
        start = QUrl(start).toLocalFile();
    if (!start.isEmpty() && QFileInfo(start).isDir())
        setSelection(start);
    else if (!dirBrowserShared().rememberedDir.isEmpty())
        setDir(dirBrowserShared().rememberedDir);
    d->types->addItem(tr("All Files (*)"));
}

DirBrowser::~DirBrowser()
{
    // The parts go after this body, when the private state is gone: nothing
    // they still report may reach the browser.
    d->mimeTimer->stop();
    d->url->blockSignals(true);
    for (QObject* sender : std::initializer_list<QObject*>{d->url, d->detailView->selectionModel(), d->detailView,
                                                           d->listView, d->paths, d->paths->lineEdit(), d->types,
                                                           d->nameEdit, d->modeButtons.data()})
        if (sender)
            sender->disconnect(this);
    d->listView->blockSignals(true);
    d->detailView->blockSignals(true);
    d->model->clear();
    showWaitCursor(false);
}

void DirBrowser::buildWidgets()
{
    DirBrowserShared& shared = dirBrowserShared();
    DirBrowserPictures& pictures = dirBrowserPictures();

    setSizeGripEnabled(true);
    d->mimeTimer = new QTimer(this);
    d->mimeTimer->setSingleShot(true);
    connect(d->mimeTimer, &QTimer::timeout, this, &DirBrowser::doMimeTypeLookup);

    // One icon provider for the process; its folder and file pictures
    // replace the built-in ones.
    if (!dirIconProvider()) {
        auto* provider = new ShellIconProvider(makeThemeIconSource(), qApp);
        setDirIconProvider(provider);
        pictures.closedFolder = provider->defaultFolder();
        pictures.file = provider->defaultFile();
    }

    d->texts = DirDisplayTexts{tr("Read-write"), tr("Read-only"),  tr("Write-only"),
                               tr("Inaccessible"), tr("Symlink to File"), tr("Symlink to Directory"),
                               tr("Symlink to Special"), tr("File"), tr("Dir"), tr("Special")};

    d->url = new LocalFsOperator(this);
    const QString cwd = QDir::currentPath();
    d->url->setDirectory(cwd.isEmpty() ? QStringLiteral("/") : cwd);
    d->previousDir = d->url->directory();
    d->previousFilter = d->url->nameFilter();
    connect(d->url, &LocalFsOperator::start, this, &DirBrowser::urlStart);
    connect(d->url, &LocalFsOperator::finished, this, &DirBrowser::urlFinished);
    connect(d->url, &LocalFsOperator::newChildren, this, &DirBrowser::insertEntry);
    connect(d->url, &LocalFsOperator::removed, this, &DirBrowser::removeEntry);
    connect(d->url, &LocalFsOperator::createdDirectory, this, &DirBrowser::createdDirectory);
    connect(d->url, &LocalFsOperator::itemChanged, this, &DirBrowser::itemChanged);
    connect(d->url, &LocalFsOperator::dataTransferProgress, this, &DirBrowser::dataTransferProgress);

    d->nameEdit = new QLineEdit(this);
    d->nameEdit->setObjectName(QStringLiteral("name/filter editor"));
    d->nameEdit->setMaxLength(255);
    d->nameEdit->installEventFilter(this);
    connect(d->nameEdit, &QLineEdit::textChanged, this, &DirBrowser::fileNameEditDone);

    d->splitter = new QSplitter(this);
    d->splitter->setObjectName(QStringLiteral("qt_splitter"));
    d->splitter->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    d->stack = new QStackedWidget(d->splitter);
    d->stack->setObjectName(QStringLiteral("files and more files"));

    d->model = new DirEntryModel(d->texts, this);
    d->detailView = new DirBrowserDirListView(this, d->stack);
    d->detailView->setModel(d->model);
    d->detailView->setMinimumSize(50, 25 + 2 * fontMetrics().lineSpacing());
    d->detailView->fitColumns(d->texts);
    d->detailView->installEventFilter(this);
    d->detailView->viewport()->installEventFilter(this);

    d->listView = new DirListBox(this, d->stack);
    d->listView->setModel(d->model);
    // The views show one selection: each entry's rows are twins.
    QItemSelectionModel* own = d->listView->selectionModel();
    d->listView->setSelectionModel(d->detailView->selectionModel());
    delete own;
    d->model->setListFont(d->listView->font());
    d->listView->installEventFilter(this);
    d->listView->viewport()->installEventFilter(this);
    d->listViewId = d->stack->addWidget(d->listView);
    d->detailViewId = d->stack->addWidget(d->detailView);

    QItemSelectionModel* selection = d->detailView->selectionModel();
    connect(selection, &QItemSelectionModel::selectionChanged, this, [this] {
        if (d->stack->currentWidget() == d->listView)
            listBoxSelectionChanged();
        else
            detailViewSelectionChanged();
    });
    connect(selection, &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { updateFileNameEdit(current); });
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(d->detailView),
                                    static_cast<QAbstractItemView*>(d->listView)}) {
        connect(view, &QAbstractItemView::activated, this, &DirBrowser::selectDirectoryOrFile);
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& pos) {
            popupContextMenu(view, view->indexAt(pos), view->viewport()->mapToGlobal(pos));
        });
    }

    d->paths = new QComboBox(this);
    d->paths->setObjectName(QStringLiteral("directory history/editor"));
    d->paths->setEditable(true);
    d->paths->setDuplicatesEnabled(false);
    d->paths->setInsertPolicy(QComboBox::NoInsert);
    d->paths->addItem(QIcon(pictures.openFolder), QDir::rootPath());
    const QString home = QDir::homePath();
    bool homeListed = false;
    for (int i = 0; i < d->paths->count(); ++i)
        homeListed = homeListed || d->paths->itemText(i).startsWith(home, Qt::CaseInsensitive);
    if (!homeListed)
        d->paths->addItem(QIcon(pictures.openFolder), home);
    d->paths->installEventFilter(this);
    d->paths->lineEdit()->installEventFilter(this);
    connect(d->paths, &QComboBox::textActivated, this, &DirBrowser::setDir);
    // A typed path the list does not hold yet is gone to as well (once: the
    // combo hands Return to its line edit a second time).
    connect(d->paths->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        const QString typed = d->paths->lineEdit()->text();
        if (d->paths->findText(typed) < 0 && QDir::cleanPath(QDir(dirPath()).absoluteFilePath(typed)) != dirPath())
            setDir(typed);
    });

    d->types = new QComboBox(this);
    d->types->setObjectName(QStringLiteral("file types"));
    d->types->setDuplicatesEnabled(false);
    connect(d->types, &QComboBox::textActivated, this, &DirBrowser::setFilter);
    connect(d->types, &QComboBox::textActivated, this, &DirBrowser::filterSelected);

    d->pathLabel = new QLabel(tr("Look &in:"), this);
    d->pathLabel->setObjectName(QStringLiteral("qt_looin_lbl"));
    d->pathLabel->setBuddy(d->paths);
    d->fileNameLabel = new QLabel(tr("File &name:"), this);
    d->fileNameLabel->setObjectName(QStringLiteral("qt_filename_lbl"));
    d->fileNameLabel->setBuddy(d->nameEdit);
    d->typeLabel = new QLabel(tr("File &type:"), this);
    d->typeLabel->setObjectName(QStringLiteral("qt_filetype_lbl"));
    d->typeLabel->setBuddy(d->types);

    auto tool = [&](const char* name, const QString& tip, const QPixmap& picture) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        if (!picture.isNull())
            b->setIcon(QIcon(picture));
        b->setFocusPolicy(Qt::TabFocus);
        // Flat, raised under the mouse.
        b->setAutoRaise(true);
        return b;
    };
    d->goBack = tool("go back", tr("Back"), pictures.back);
    d->goBack->setEnabled(false);
    connect(d->goBack, &QToolButton::clicked, this, &DirBrowser::goBack);
    d->browse = tool("browse to directory", tr("Browse to directory"), pictures.browse);
    connect(d->browse, &QToolButton::clicked, this, &DirBrowser::browse);
    d->cdToParent = tool("cd to parent", tr("One directory up"), pictures.cdUp);
    connect(d->cdToParent, &QToolButton::clicked, this, &DirBrowser::cdUpClicked);
    d->newFolder = tool("new folder", tr("Create New Folder"), pictures.newFolder);
    connect(d->newFolder, &QToolButton::clicked, this, &DirBrowser::newFolderClicked);

    d->modeButtons = new QButtonGroup(this);
    d->modeButtons->setObjectName(QStringLiteral("invisible group"));
    d->modeButtons->setExclusive(true);
    connect(d->modeButtons, &QObject::destroyed, this, [this] { d->modeButtons = nullptr; });
    d->mcView = tool("mclistbox view", tr("List View"), pictures.listView);
    d->mcView->setCheckable(true);
    d->modeButtons->addButton(d->mcView, d->listViewId);
    d->detailViewButton = tool("list view", tr("Detail View"), pictures.detailView);
    d->detailViewButton->setCheckable(true);
    d->modeButtons->addButton(d->detailViewButton, d->detailViewId);
    for (QToolButton* b : {d->mcView, d->detailViewButton}) {
        connect(b, &QToolButton::clicked, this, [this] {
            d->listView->core()->cancelRename();
            d->detailView->core()->cancelRename();
        });
    }
    d->refresh = tool("refresh listing", tr("Refresh listing"), embeddedPixmap(QStringLiteral("refresh.png")));
    connect(d->refresh, &QToolButton::clicked, this, &DirBrowser::rereadDir);
    d->previewInfo = tool("preview info view", tr("Preview File Info"), pictures.previewInfo);
    d->previewInfo->setCheckable(true);
    d->modeButtons->addButton(d->previewInfo, 2);
    d->previewContents = tool("preview info view", tr("Preview File Contents"), pictures.previewContents);
    d->previewContents->setCheckable(true);
    d->modeButtons->addButton(d->previewContents, 3);
    connect(d->modeButtons, &QButtonGroup::idClicked, this, [this](int id) {
        if (id == d->listViewId || id == d->detailViewId)
            d->stack->setCurrentIndex(id);
        changeMode(id);
    });

    d->filterBar = new QWidget(this);
    d->filterBar->setObjectName(QStringLiteral("filter bar"));
    auto* filterRow = new QHBoxLayout(d->filterBar);
    filterRow->setContentsMargins(2, 0, 0, 0);
    d->filterLabel = new QLabel(d->filterBar);
    d->filterLabel->setObjectName(QStringLiteral("filter sign"));
    d->filterLabel->setTextFormat(Qt::PlainText);
    d->showAll = new QToolButton(d->filterBar);
    d->showAll->setObjectName(QStringLiteral("show all files"));
    d->showAll->setText(tr("Show all"));
    d->showAll->setToolTip(tr("Remove the filter: show all files"));
    d->showAll->setAutoRaise(true);
    filterRow->addWidget(d->filterLabel, 1);
    filterRow->addWidget(d->showAll);
    connect(d->showAll, &QToolButton::clicked, this, [this] { applyFilterText(QStringLiteral("*")); });
    d->filterBar->hide();

    d->preview = new QStackedWidget(d->splitter);
    d->preview->setObjectName(QStringLiteral("qt_preview"));
    d->previewInfoPage = new QWidget(d->preview);
    d->previewInfoPage->setObjectName(QStringLiteral("qt_preview_info"));
    d->previewContentsPage = new QWidget(d->preview);
    d->previewContentsPage->setObjectName(QStringLiteral("qt_preview_contents"));
    d->preview->addWidget(d->previewInfoPage);
    d->preview->addWidget(d->previewContentsPage);

    d->stack->setCurrentWidget(d->listView);
    d->mcView->setChecked(true);

    layOut();
    d->geometryDirty = true;
    updateGeometries();

    setTabOrder(d->paths, d->goBack);
    setTabOrder(d->goBack, d->browse);
    setTabOrder(d->browse, d->cdToParent);
    setTabOrder(d->cdToParent, d->newFolder);
    setTabOrder(d->newFolder, d->mcView);
    setTabOrder(d->mcView, d->detailViewButton);
    setTabOrder(d->detailViewButton, d->refresh);
    setTabOrder(d->refresh, d->listView);
    setTabOrder(d->listView, d->detailView);
    setTabOrder(d->detailView, d->paths);

    initialSize();

    if (shared.detailView) {
        d->stack->setCurrentWidget(d->detailView);
        d->mcView->setChecked(false);
        d->detailViewButton->setChecked(true);
    }

    d->preview->hide();
    d->nameEdit->setFocus();
    connect(d->nameEdit, &QLineEdit::returnPressed, this, &DirBrowser::fileNameEditReturnPressed);
}

void DirBrowser::layOut()
{
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* content = new QVBoxLayout;
    content->setContentsMargins(2, 2, 2, 2);
    outer->addLayout(content, 1);

    auto* tools = new QHBoxLayout;
    tools->setSpacing(0);
    tools->addWidget(d->browse);
    tools->addSpacing(2);
    tools->addWidget(d->cdToParent);
    tools->addSpacing(2);
    tools->addWidget(d->newFolder);
    tools->addSpacing(4);
    tools->addWidget(d->mcView);
    tools->addWidget(d->detailViewButton);
    tools->addWidget(d->previewInfo);
    tools->addWidget(d->previewContents);
    tools->addSpacing(4);
    tools->addWidget(d->refresh);
    tools->addStretch(1);
    content->addLayout(tools);

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(d->paths, 1);
    pathRow->addSpacing(8);
    pathRow->addWidget(d->goBack);
    content->addLayout(pathRow);
    content->addWidget(d->filterBar);
    content->addWidget(d->splitter, 1);

    // The chooser's name and type rows are kept but never shown.
    for (QWidget* w : std::initializer_list<QWidget*>{d->pathLabel, d->fileNameLabel, d->typeLabel, d->nameEdit,
                                                      d->types})
        w->hide();
}

void DirBrowser::initialSize()
{
    DirBrowserShared& shared = dirBrowserShared();
    if (shared.rememberedSize) {
        resize(*shared.rememberedSize);
        return;
    }
    const QScreen* screen = QGuiApplication::screenAt(pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect s = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    QSize size;
    if (s.width() < 1024 || s.height() < 768) {
        size = QSize(std::min(s.width(), 420), std::min(s.height(), 236));
    } else {
        size = d->detailView->sizeHint() + QSize(300, 82);
        if (3 * size.width() > 2 * s.width())
            size.setWidth(2 * s.width() / 3);
        if (3 * size.height() > 2 * s.height())
            size.setHeight(2 * s.height() / 3);
        else if (3 * size.height() < s.height())
            size.setHeight(s.height() / 3);
    }
    resize(size);
    shared.rememberedSize = size;
}

void DirBrowser::rememberState()
{
    DirBrowserShared& shared = dirBrowserShared();
    shared.rememberedDir = dirPath();
    shared.detailView = d->stack->currentWidget() == d->detailView;
    shared.rememberedSize = size();
}

void DirBrowser::updateGeometries()
{
    if (!d->geometryDirty)
        return;
    d->geometryDirty = false;

    d->pathLabel->setFixedSize(d->pathLabel->sizeHint());
    const QSize a = d->fileNameLabel->sizeHint(), b = d->typeLabel->sizeHint(), c = d->pathLabel->sizeHint();
    const QSize labels(std::max({a.width(), b.width(), c.width()}), std::max({a.height(), b.height(), c.height()}));
    d->fileNameLabel->setFixedSize(labels);
    d->typeLabel->setFixedSize(labels);

    const int h = std::max({d->paths->sizeHint().height(), d->nameEdit->sizeHint().height(),
                            d->types->sizeHint().height()});
    const int w = d->types->sizeHint().width() * 2 / 3;
    for (QWidget* wid : std::initializer_list<QWidget*>{d->paths, d->nameEdit, d->types}) {
        wid->setMinimumSize(w, h);
        wid->setMaximumSize(32767, h);
    }

    const int bh = std::max(d->paths->minimumHeight(), 20);
    const QSize button(std::max(bh + 1, 21), bh);
    for (QToolButton* t : {d->goBack, d->browse, d->cdToParent, d->newFolder, d->mcView, d->detailViewButton})
        t->setFixedSize(button);
    auto previewButton = [&](QToolButton* t, bool enabled) {
        if (enabled) {
            t->setFixedSize(button);
            t->show();
        } else {
            t->setFixedSize(0, 0);
            t->hide();
        }
    };
    previewButton(d->previewInfo, d->infoPreview);
    previewButton(d->previewContents, d->contentsPreview);
    if (layout())
        layout()->activate();
}

void DirBrowser::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    updateGeometries();
}

bool DirBrowser::isDirectoryMode() const { return d->mode == Directory || d->mode == DirectoryOnly; }

DirBrowser::Mode DirBrowser::mode() const { return d->mode; }

void DirBrowser::applySelectability()
{
    d->model->setSelectable(d->mode != ExistingFiles, !isDirectoryMode());
}

void DirBrowser::setMode(Mode m)
{
    if (m != d->mode) {
        d->mode = m;
        QAbstractItemView::SelectionMode selection = QAbstractItemView::SingleSelection;
        int maxLength = 255;
        if (m == ExistingFiles) {
            selection = QAbstractItemView::ExtendedSelection;
            maxLength = 2147483647;
        }
        d->listView->setSelectionMode(selection);
        d->detailView->setSelectionMode(selection);
        d->types->setEnabled(!isDirectoryMode());
        d->nameEdit->setMaxLength(maxLength);
        applySelectability();
        rereadDir();
        setSelectionFromUrl(entryInfo(QStringLiteral(".")).isDir, d->url->directory(), false);
    }
    if (isDirectoryMode()) {
        d->fileNameLabel->setText(tr("Directory:"));
        d->types->clear();
        d->types->addItem(tr("Directories"));
    } else {
        d->fileNameLabel->setText(tr("File &name:"));
        if (d->types->count() == 1) {
            d->types->setCurrentIndex(0);
            if (d->types->itemText(0) == QLatin1String("Directories")) {
                d->types->clear();
                d->types->addItem(tr("All Files (*)"));
            }
        }
    }
}

DirBrowser::ViewMode DirBrowser::viewMode() const { return dirBrowserShared().detailView ? Detail : List; }

void DirBrowser::setViewMode(ViewMode v)
{
    if (v == Detail) {
        dirBrowserShared().detailView = true;
        d->stack->setCurrentWidget(d->detailView);
        d->detailViewButton->setChecked(true);
        d->mcView->setChecked(false);
    } else if (v == List) {
        dirBrowserShared().detailView = false;
        d->stack->setCurrentWidget(d->listView);
        d->detailViewButton->setChecked(false);
        d->mcView->setChecked(true);
    }
}

DirBrowser::PreviewMode DirBrowser::previewMode() const
{
    if (d->infoPreview && d->preview->isVisibleTo(this) && d->preview->currentWidget() == d->previewInfoPage)
        return Info;
    if (d->contentsPreview && d->preview->isVisibleTo(this) && d->preview->currentWidget() == d->previewContentsPage)
        return Contents;
    return NoPreview;
}

void DirBrowser::setPreviewMode(PreviewMode p)
{
    if (p == NoPreview) {
        // Both off: an exclusive group needs to let go for that.
        d->modeButtons->setExclusive(false);
        d->previewInfo->setChecked(false);
        d->previewContents->setChecked(false);
        d->modeButtons->setExclusive(true);
    } else if (p == Info && d->infoPreview) {
        d->previewInfo->setChecked(true);
        d->previewContents->setChecked(false);
        changeMode(d->modeButtons->id(d->previewInfo));
    } else if (p == Contents && d->contentsPreview) {
        d->previewContents->setChecked(true);
        d->previewInfo->setChecked(false);
        changeMode(d->modeButtons->id(d->previewContents));
    }
}

bool DirBrowser::isInfoPreviewEnabled() const { return d->infoPreview; }
bool DirBrowser::isContentsPreviewEnabled() const { return d->contentsPreview; }

void DirBrowser::setInfoPreviewEnabled(bool on)
{
    if (on == d->infoPreview)
        return;
    d->infoPreview = on;
    d->geometryDirty = true;
    updateGeometries();
}

void DirBrowser::setContentsPreviewEnabled(bool on)
{
    if (on == d->contentsPreview)
        return;
    d->contentsPreview = on;
    d->geometryDirty = true;
    updateGeometries();
}

void DirBrowser::setInfoPreviewer(DirPreviewer* previewer) { d->infoPreviewer = previewer; }
void DirBrowser::setContentsPreviewer(DirPreviewer* previewer) { d->contentsPreviewer = previewer; }

void DirBrowser::passToPreviewers(const QString& path)
{
    const QUrl url = QUrl::fromLocalFile(path);
    for (DirPreviewer* p : {d->infoPreviewer, d->contentsPreviewer})
        if (p)
            p->previewUrl(url);
}

void DirBrowser::changeMode(int id)
{
    if (!d->infoPreview && !d->contentsPreview)
        return;
    QAbstractButton* b = d->modeButtons ? d->modeButtons->button(id) : nullptr;
    if (!b)
        return;
    if ((b == d->previewContents && !d->contentsPreview) || (b == d->previewInfo && !d->infoPreview))
        return;
    if (b == d->mcView || b == d->detailViewButton) {
        d->preview->hide();
        return;
    }
    const QModelIndex current = d->detailView->currentIndex();
    if (current.isValid())
        passToPreviewers(entryPath(nameAt(current)));
    d->preview->setCurrentWidget(b == d->previewInfo ? d->previewInfoPage : d->previewContentsPage);
    d->preview->show();
}

void DirBrowser::done(int result)
{
    if (result == QDialog::Accepted && (d->mode == ExistingFile || d->mode == ExistingFiles)) {
        for (const QString& file : selectedFiles()) {
            if (file.isEmpty() || kro::pathExists(file))
                continue;
            kro::prompter().information(this, tr("Error"),
                                        tr("%1\nFile not found.\nCheck path and filename.").arg(file));
            return;
        }
    }
    QDialog::done(result);
}

void DirBrowser::cancelClicked()
{
    rememberState();
    reject();
}

void DirBrowser::reparent(QWidget* parent, Qt::WindowFlags flags, const QPoint& position, bool show)
{
    setParent(parent, flags);
    move(position);
    if (show)
        QWidget::show();
}

void DirBrowser::showWaitCursor(bool on)
{
    if (on == d->waitCursor)
        return;
    d->waitCursor = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

// --- parts ---

LocalFsOperator* DirBrowser::fileOperator() const { return d->url; }
DirEntryModel* DirBrowser::model() const { return d->model; }
DirListBox* DirBrowser::listView() const { return d->listView; }
DirBrowserDirListView* DirBrowser::detailView() const { return d->detailView; }
QAbstractItemView* DirBrowser::visibleView() const
{
    if (d->stack->currentWidget() == d->listView)
        return d->listView;
    return d->detailView;
}
QComboBox* DirBrowser::pathCombo() const { return d->paths; }
QLineEdit* DirBrowser::nameEdit() const { return d->nameEdit; }
QComboBox* DirBrowser::fileTypes() const { return d->types; }
QLabel* DirBrowser::nameLabel() const { return d->fileNameLabel; }
QToolButton* DirBrowser::backButton() const { return d->goBack; }
QToolButton* DirBrowser::browseButton() const { return d->browse; }
QToolButton* DirBrowser::cdUpButton() const { return d->cdToParent; }
QToolButton* DirBrowser::newFolderButton() const { return d->newFolder; }
QToolButton* DirBrowser::listViewButton() const { return d->mcView; }
QToolButton* DirBrowser::detailViewButton() const { return d->detailViewButton; }
QToolButton* DirBrowser::refreshButton() const { return d->refresh; }
QToolButton* DirBrowser::previewInfoButton() const { return d->previewInfo; }
QToolButton* DirBrowser::previewContentsButton() const { return d->previewContents; }
QStackedWidget* DirBrowser::previewStack() const { return d->preview; }
QWidget* DirBrowser::filterBar() const { return d->filterBar; }
QLabel* DirBrowser::filterLabel() const { return d->filterLabel; }
QToolButton* DirBrowser::showAllButton() const { return d->showAll; }

void DirBrowser::updateFilterBar()
{
    const QString filter = d->url->nameFilter();
    const bool filtered = !nameFilterList(filter).contains(QStringLiteral("*"));
    d->filterLabel->setText(filtered ? tr("Only files matching %1 are shown").arg(filter) : QString());
    d->filterBar->setVisible(filtered);
}
QStringList DirBrowser::history() const { return d->history; }
FDProgressDialog* DirBrowser::progressDialog() const { return d->progressDialog; }
int DirBrowser::pendingIconLookups() const { return std::max(0, d->model->count() - d->nextLookup); }
bool DirBrowser::isListing() const { return !d->listingOp.isNull(); }
