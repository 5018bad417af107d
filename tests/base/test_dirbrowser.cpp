// The browser as a whole: construction, modes, listing, navigation,
// selection and filters, on real folders.
#include "browser_fixture.h"

#include "base/diriconprovider.h"
#include "support/files.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QToolButton>

namespace {

using kro::test::writeFile;

TEST_F(BrowserTest, StartsInTheGivenFolderOrTheRememberedOne)
{
    QDir().mkpath(path("start"));
    QDir().mkpath(path("elsewhere"));
    writeFile(path("file.txt"));
    QDir::setCurrent(path("elsewhere"));
    DirBrowser::resetSharedState();  // a fresh process started there
    struct Case {
        QString given;
        QString shown;
    };
    for (const Case& c : {Case{path("start"), path("start")}, Case{QString(""), path("elsewhere")},
                          Case{path("file.txt"), path("elsewhere")}, Case{path("missing"), path("elsewhere")}}) {
        SCOPED_TRACE(c.given.toStdString());
        auto b = make(c.given, false);
        EXPECT_EQ(b->dirPath(), c.shown);
    }

    // What one browser remembers, the next one starts with.
    auto first = make(path("start"));
    first->resize(640, 320);
    first->cancelClicked();
    DirBrowser second{QString("")};
    EXPECT_EQ(second.dirPath(), path("start"));
    EXPECT_EQ(second.viewMode(), DirBrowser::Detail);
    EXPECT_EQ(second.visibleView(), static_cast<QAbstractItemView*>(second.detailView()));
    EXPECT_EQ(second.size(), QSize(640, 320));
}

TEST_F(BrowserTest, BuildsItsToolRowAndHidesTheChooserRows)
{
    auto b = make(QString(), false);
    struct Case {
        QToolButton* button;
        const char* name;
        const char* tip;
    };
    for (const Case& c : {Case{b->backButton(), "go back", "Back"},
                          Case{b->browseButton(), "browse to directory", "Browse to directory"},
                          Case{b->cdUpButton(), "cd to parent", "One directory up"},
                          Case{b->newFolderButton(), "new folder", "Create New Folder"},
                          Case{b->listViewButton(), "mclistbox view", "List View"},
                          Case{b->detailViewButton(), "list view", "Detail View"},
                          Case{b->refreshButton(), "refresh listing", "Refresh listing"}}) {
        EXPECT_EQ(c.button->objectName(), c.name);
        EXPECT_EQ(c.button->toolTip(), c.tip);
        EXPECT_TRUE(c.button->isVisible()) << c.name;
        EXPECT_TRUE(c.button->autoRaise());
        EXPECT_FALSE(c.button->icon().isNull()) << c.name;
    }
    EXPECT_FALSE(b->backButton()->isEnabled());
    EXPECT_TRUE(b->listViewButton()->isChecked());
    EXPECT_FALSE(b->previewInfoButton()->isVisible());
    EXPECT_FALSE(b->previewContentsButton()->isVisible());
    EXPECT_FALSE(b->nameEdit()->isVisible());
    EXPECT_FALSE(b->fileTypes()->isVisible());
    EXPECT_EQ(b->fileTypes()->count(), 1);
    EXPECT_EQ(b->fileTypes()->itemText(0), "All Files (*)");
    EXPECT_EQ(b->mode(), DirBrowser::ExistingFile);
    EXPECT_EQ(b->detailView()->model()->headerData(1, Qt::Horizontal).toString(), "Size");
    // The path combo holds the root, the home folder and the folder shown.
    QStringList paths;
    for (int i = 0; i < b->pathCombo()->count(); ++i)
        paths << b->pathCombo()->itemText(i);
    EXPECT_EQ(paths, QStringList({"/", QDir::homePath(), m_root}));
    EXPECT_EQ(b->pathCombo()->currentText(), m_root);
}

TEST_F(BrowserTest, ModesSetSelectionTypeListAndNameLabel)
{
    auto b = make(QString(), false);
    b->setMode(DirBrowser::Directory);
    EXPECT_TRUE(waitListed(*b));
    EXPECT_EQ(b->nameLabel()->text(), "Directory:");
    EXPECT_EQ(b->fileTypes()->count(), 1);
    EXPECT_EQ(b->fileTypes()->itemText(0), "Directories");
    EXPECT_FALSE(b->fileTypes()->isEnabled());
    EXPECT_EQ(b->detailView()->selectionMode(), QAbstractItemView::SingleSelection);

    b->setMode(DirBrowser::ExistingFiles);
    EXPECT_TRUE(waitListed(*b));
    EXPECT_EQ(b->nameLabel()->text(), "File &name:");
    EXPECT_EQ(b->fileTypes()->itemText(0), "All Files (*)");
    EXPECT_EQ(b->detailView()->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(b->listView()->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(b->nameEdit()->maxLength(), 2147483647);

    // The same mode again: labels only, no new listing.
    b->setMode(DirBrowser::ExistingFiles);
    EXPECT_FALSE(b->isListing());
}

TEST_F(BrowserTest, HiddenFilesRereadOnlyWhenTheSettingChanges)
{
    kro::test::buildTree(m_root);
    auto b = make();
    EXPECT_EQ(rowOf(*b, ".hidden"), -1);
    b->setShowHiddenFiles(false);
    EXPECT_FALSE(b->isListing());
    b->setShowHiddenFiles(true);
    EXPECT_TRUE(b->isListing());
    EXPECT_TRUE(waitListed(*b));
    EXPECT_GE(rowOf(*b, ".hidden"), 0);
}

class Recorder final : public DirPreviewer {
public:
    void previewUrl(const QUrl& url) override { urls << url.toLocalFile(); }
    QStringList urls;
};

TEST_F(BrowserTest, PreviewsNeedTheirKindEnabled)
{
    writeFile(path("a.txt"), "abc");
    auto b = make();
    b->setPreviewMode(DirBrowser::Info);
    EXPECT_EQ(b->previewMode(), DirBrowser::NoPreview);
    EXPECT_FALSE(b->previewStack()->isVisible());

    Recorder info;
    b->setInfoPreviewer(&info);
    b->setInfoPreviewEnabled(true);
    EXPECT_TRUE(b->previewInfoButton()->isVisible());
    b->detailView()->setCurrentIndex(b->model()->index(rowOf(*b, "a.txt"), 0));
    b->previewInfoButton()->click();
    EXPECT_TRUE(b->previewStack()->isVisible());
    EXPECT_EQ(b->previewMode(), DirBrowser::Info);
    EXPECT_EQ(info.urls.last(), path("a.txt"));
    b->detailViewButton()->click();
    EXPECT_FALSE(b->previewStack()->isVisible());
}

TEST_F(BrowserTest, AcceptingChecksThatTheFilesExist)
{
    writeFile(path("a.txt"), "abc");
    auto b = make();
    b->nameEdit()->setText("\"a.txt\" \"gone.txt\" ");
    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerMessage(QMessageBox::Ok);
        b->done(QDialog::Accepted);
        ASSERT_EQ(prompts->asked().size(), 1u);
        EXPECT_EQ(prompts->asked()[0].title, "Error");
        EXPECT_EQ(prompts->asked()[0].text, path("gone.txt") + "\nFile not found.\nCheck path and filename.");
    }
    EXPECT_TRUE(b->isVisible());
    b->setMode(DirBrowser::AnyFile);
    b->done(QDialog::Accepted);
    EXPECT_FALSE(b->isVisible());
}

// ---------------------------------------------------------------------------
// The listing

TEST_F(BrowserTest, RowsInOrderWithTheirColumnTexts)
{
    kro::test::buildTree(m_root);
    auto b = make();
    EXPECT_EQ(rows(*b), QStringList({"..", "alpha", "link-to-alpha", "Sub dir", "a.txt", "b.dat", "big.bin",
                                     "dangling", "link-to-a", "loop1", "loop2", kro::test::oddName(), "Photo.PNG",
                                     "run.krs"}));
    struct Case {
        QString name;
        const char* size;
        const char* type;
        const char* attributes;
    };
    for (const Case& c : {Case{"..", "", "Dir", "Read-write"}, Case{"Sub dir", "", "Dir", "Read-write"},
                          Case{"link-to-alpha", "", "Symlink to Directory", "Read-write"},
                          Case{"a.txt", "3", "File", "Read-write"}, Case{"big.bin", "5368709120", "File", "Read-write"},
                          Case{"link-to-a", "3", "Symlink to File", "Read-write"},
                          Case{"dangling", "", "Symlink to Special", "Inaccessible"},
                          Case{"loop1", "", "Symlink to Special", "Inaccessible"},
                          Case{kro::test::oddName(), "4", "File", "Read-write"}}) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_EQ(cell(*b, c.name, DirEntryModel::SizeColumn), c.size);
        EXPECT_EQ(cell(*b, c.name, DirEntryModel::TypeColumn), c.type);
        EXPECT_EQ(cell(*b, c.name, DirEntryModel::AttributesColumn), c.attributes);
    }
    const QDateTime modified = QFileInfo(path("b.dat")).lastModified();
    EXPECT_EQ(cell(*b, "b.dat", DirEntryModel::DateColumn), QLocale().toString(modified, QLocale::ShortFormat));

    // The Size column asks the file system each time: a file that grew or
    // went away shows so without a new listing.
    writeFile(path("a.txt"), "abcdef");
    EXPECT_EQ(cell(*b, "a.txt", DirEntryModel::SizeColumn), "6");
    QFile::remove(path("a.txt"));
    EXPECT_EQ(cell(*b, "a.txt", DirEntryModel::SizeColumn), "");
    // Both views show the same entries.
    EXPECT_EQ(b->listView()->model(), b->detailView()->model());
    EXPECT_EQ(b->listView()->selectionModel(), b->detailView()->selectionModel());
}

TEST_F(BrowserTest, DotDotIsFirstExceptAtTheRoot)
{
    auto b = make(path(""));
    EXPECT_EQ(rows(*b), QStringList({".."}));
    EXPECT_TRUE(b->cdUpButton()->isEnabled());
    b->setDir("/");
    ASSERT_TRUE(waitIn(*b, "/"));
    EXPECT_EQ(rowOf(*b, ".."), -1);
    EXPECT_FALSE(b->cdUpButton()->isEnabled());
}

TEST_F(BrowserTest, HeaderClicksSortAndDescendingKeepsFoldersOnTop)
{
    writeFile(path("small.txt"), "1");
    writeFile(path("Large.txt"), "1234567");
    writeFile(path("mid.txt"), "1234");
    QDir().mkpath(path("dir"));
    auto b = make();
    QHeaderView* header = b->detailView()->header();
    const QStringList byName = {"..", "dir", "Large.txt", "mid.txt", "small.txt"};
    EXPECT_EQ(rows(*b), byName);
    const QPoint sizeHeader(header->sectionViewportPosition(1) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, sizeHeader);
    EXPECT_EQ(rows(*b), QStringList({"..", "dir", "small.txt", "mid.txt", "Large.txt"}));
    EXPECT_EQ(DirBrowser::sortKey(), DirSortKey::Size);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, sizeHeader);
    EXPECT_EQ(rows(*b), QStringList({"..", "dir", "Large.txt", "mid.txt", "small.txt"}));
    EXPECT_FALSE(DirBrowser::sortAscending());
    // Descending by name: the files Z to A below ".." and the folders.
    QDir().mkpath(path("zeta"));
    b->rereadDir();
    ASSERT_TRUE(waitListed(*b));
    const QPoint nameHeader(header->sectionViewportPosition(0) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, nameHeader);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, nameHeader);
    EXPECT_EQ(rows(*b), QStringList({"..", "zeta", "dir", "small.txt", "mid.txt", "Large.txt"}));
    EXPECT_FALSE(DirBrowser::sortAscending());
    QDir(path("zeta")).removeRecursively();
    b->rereadDir();
    ASSERT_TRUE(waitListed(*b));
    // Type and Attributes sort by name.
    b->detailView()->changeSortColumn2(DirEntryModel::TypeColumn);
    EXPECT_EQ(rows(*b), byName);
    EXPECT_EQ(DirBrowser::sortKey(), DirSortKey::Name);
}

TEST_F(BrowserTest, RemovalsAndRenamesUpdateTheViews)
{
    writeFile(path("a#1.txt"), "1");
    writeFile(path("b.txt"), "22");
    writeFile(path("c.txt"), "333");
    auto b = make();
    QSignalSpy finished(b->fileOperator(), &LocalFsOperator::finished);
    b->fileOperator()->remove("a#1.txt");
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(rows(*b), QStringList({"..", "b.txt", "c.txt"}));
    // The listing forgot it too: a new sort order does not bring it back.
    b->detailView()->setSorting(DirEntryModel::SizeColumn, false);
    EXPECT_EQ(rows(*b), QStringList({"..", "c.txt", "b.txt"}));

    // The renamed entry keeps its place in the order of its new name.
    b->detailView()->setSorting(DirEntryModel::NameColumn, true);
    b->fileOperator()->rename("b.txt", "d.txt");
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(rows(*b), QStringList({"..", "c.txt", "d.txt"}));

    // A file removed behind the browser's back still shows, with an empty
    // size, and the view is drawn without a fault.
    QFile::remove(path("c.txt"));
    const QModelIndex size = b->model()->index(rowOf(*b, "c.txt"), DirEntryModel::SizeColumn);
    EXPECT_TRUE(b->model()->data(size).toString().isEmpty());
    EXPECT_EQ(b->model()->data(size.siblingAtRow(rowOf(*b, "d.txt"))).toString(), QStringLiteral("2"));
    EXPECT_FALSE(b->detailView()->grab().isNull());
}

TEST_F(BrowserTest, ANewListingReplacesOneStillUnderWay)
{
    for (int i = 0; i < 2000; ++i)
        writeFile(path(QStringLiteral("many/f%1").arg(i)));
    writeFile(path("few/only.txt"));
    auto b = make();
    b->setDir(path("many"));
    b->setDir(path("few"));
    ASSERT_TRUE(waitIn(*b, path("few")));
    EXPECT_EQ(rows(*b), QStringList({"..", "only.txt"}));
}

TEST_F(BrowserTest, AFolderThatCannotBeListedShowsErrorAndGoesBack)
{
    writeFile(path("a.txt"));
    kro::test::makeLink("self", path("self"));
    auto b = make();
    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerMessage(QMessageBox::Ok);
        b->pathCombo()->setEditText(path("missing/"));
        QTest::keyClick(b->pathCombo()->lineEdit(), Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return prompts->pending() == 0; }, 10000));
        EXPECT_EQ(prompts->asked()[0].title, "Error");
        EXPECT_EQ(prompts->asked()[0].messageKind, kro::Prompter::MessageKind::Critical);
        EXPECT_TRUE(prompts->asked()[0].text.contains(path("missing"))) << prompts->asked()[0].text.toStdString();
        ASSERT_TRUE(waitIn(*b, m_root));
    }
    EXPECT_EQ(rows(*b), QStringList({"..", "a.txt", "self"}));

    // A folder removed while shown: the error, and the browser still works.
    QDir().mkpath(path("doomed"));
    b->setDir(path("doomed"));
    ASSERT_TRUE(waitIn(*b, path("doomed")));
    QDir().rmdir(path("doomed"));
    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerMessage(QMessageBox::Ok);
        b->rereadDir();
        ASSERT_TRUE(QTest::qWaitFor([&] { return prompts->pending() == 0; }, 10000));
        EXPECT_TRUE(prompts->asked()[0].text.contains("No such file or directory"));
    }
    // Back in the folder shown before.
    ASSERT_TRUE(waitIn(*b, m_root));
    EXPECT_EQ(rows(*b), QStringList({"..", "a.txt", "self"}));
}

// Counts the provider's requests; pictures by extension.
class CountingIcons final : public FileIconSource {
public:
    QPixmap folder(const QSize& size) override { return filled(size, Qt::yellow); }
    QPixmap file(const QSize&) override { return {}; }
    QPixmap executable(const QSize& size) override { return filled(size, Qt::green); }
    static QPixmap filled(const QSize& size, Qt::GlobalColor colour)
    {
        QPixmap p(size);
        p.fill(colour);
        return p;
    }
    QPixmap forFileName(const QString& name, const QSize& size) override
    {
        asked << QFileInfo(name).fileName();
        QPixmap p(size);
        p.fill(name.endsWith(".txt") ? Qt::red : Qt::blue);
        return p;
    }
    QStringList asked;
};

TEST_F(BrowserTest, FileTypePicturesAreLookedUpOncePerExtension)
{
    for (const char* f : {"1.txt", "2.txt", "3.txt", "a.dat", "b.dat", "run.txt"})
        writeFile(path(f));
    // What an entry is decides before its name: an executable, a folder, and
    // a link that shows its target's picture.
    QFile::setPermissions(path("run.txt"), QFile::permissions(path("run.txt")) | QFile::ExeOwner);
    QDir().mkpath(path("folder.txt"));
    QFile::link(path("a.dat"), path("link.txt"));
    auto* source = new CountingIcons;
    DirIconProvider* before = dirIconProvider();
    ShellIconProvider provider{std::unique_ptr<FileIconSource>(source)};
    setDirIconProvider(&provider);
    auto b = make();
    ASSERT_TRUE(QTest::qWaitFor([&] { return b->pendingIconLookups() == 0; }, 10000));
    setDirIconProvider(before);
    EXPECT_EQ(source->asked, QStringList({"1.txt", "a.dat"}));
    EXPECT_EQ(b->model()->picture(rowOf(*b, "3.txt")).toImage().pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(b->model()->picture(rowOf(*b, "b.dat")).toImage().pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(b->model()->picture(rowOf(*b, "run.txt")).toImage().pixelColor(0, 0), QColor(Qt::green));
    EXPECT_EQ(b->model()->picture(rowOf(*b, "folder.txt")).toImage().pixelColor(0, 0), QColor(Qt::yellow));
    EXPECT_EQ(b->model()->picture(rowOf(*b, "link.txt")).toImage().pixelColor(0, 0), QColor(Qt::blue));
}

// ---------------------------------------------------------------------------
// Navigation

TEST_F(BrowserTest, BackGoesThroughTheHistory)
{
    for (const char* d : {"A", "B", "C"})
        QDir().mkpath(path(d));
    struct Case {
        const char* name;
        QStringList visits;
        QStringList afterEachBack;  // the folder shown after each press
    };
    for (const Case& c : {Case{"three folders", {"A", "B", "C"}, {"B", "A"}},
                          Case{"back to the first", {"A", "B", "A"}, {"B"}},
                          // Nothing left after the second press: the browser stays.
                          Case{"twice each", {"A", "B", "A", "B"}, {"A", "A"}}}) {
        SCOPED_TRACE(c.name);
        auto b = make(path(c.visits.first()));
        for (const QString& v : c.visits.mid(1)) {
            b->setDir(path(v));
            ASSERT_TRUE(waitIn(*b, path(v)));
        }
        for (const QString& shown : c.afterEachBack) {
            ASSERT_TRUE(b->backButton()->isEnabled());
            b->backButton()->click();
            ASSERT_TRUE(waitIn(*b, path(shown)));
        }
        EXPECT_FALSE(b->backButton()->isEnabled());
    }
}

TEST_F(BrowserTest, DoubleClickOpensFilesAndEntersFolders)
{
    kro::test::buildTree(m_root);
    auto b = make();
    QSignalSpy selected(b.get(), &DirBrowser::fileSelected);
    QSignalSpy entered(b.get(), &DirBrowser::dirEntered);
    QAbstractItemView* view = b->detailView();
    struct Case {
        QString name;
        QString selected;  // empty: nothing opened
    };
    // A link to a file opens like a file; a link to nothing opens nothing;
    // names with "#", "%" and non-ASCII letters keep their path.
    for (const Case& c : {Case{"a.txt", path("a.txt")}, Case{"link-to-a", path("link-to-a")},
                          Case{kro::test::oddName(), path(kro::test::oddName())}, Case{"dangling", ""}}) {
        SCOPED_TRACE(c.name.toStdString());
        selected.clear();
        doubleClick(view, centreOf(view, *b, c.name));
        if (c.selected.isEmpty()) {
            EXPECT_TRUE(selected.isEmpty());
        } else {
            ASSERT_EQ(selected.size(), 1);
            EXPECT_EQ(selected[0][0].toString(), c.selected);
        }
        EXPECT_TRUE(b->isVisible());
        EXPECT_EQ(b->dirPath(), m_root);
        // An opened file stays selected.
        if (!c.selected.isEmpty()) {
            EXPECT_TRUE(view->selectionModel()->isSelected(b->model()->index(rowOf(*b, c.name), 0)));
        }
    }
    EXPECT_TRUE(entered.isEmpty());

    // Folders, also linked ones, are entered.
    selected.clear();
    doubleClick(view, centreOf(view, *b, "link-to-alpha"));
    ASSERT_TRUE(waitIn(*b, path("link-to-alpha")));
    EXPECT_EQ(entered.last()[0].toString(), path("link-to-alpha"));
    EXPECT_TRUE(selected.isEmpty());

    // ".." goes up, and a file name typed before stays.
    auto single = make(path("Sub dir"), false);
    single->nameEdit()->setText("typed.txt");
    doubleClick(single->visibleView(), centreOf(single->visibleView(), *single, ".."));
    ASSERT_TRUE(waitIn(*single, m_root));
    EXPECT_EQ(single->nameEdit()->text(), "typed.txt");
}

TEST_F(BrowserTest, UrlsAndSelectionsOfFilesShowTheirFolder)
{
    writeFile(path("sub/data.txt"), "1 2\n");
    auto b = make(QString(), false);
    QSignalSpy entered(b.get(), &DirBrowser::dirEntered);
    QSignalSpy highlighted(b.get(), &DirBrowser::fileHighlighted);
    b->setDir(QString());
    EXPECT_TRUE(entered.isEmpty());
    EXPECT_FALSE(b->isListing());

    b->setUrl(QUrl::fromLocalFile(path("sub/data.txt")));
    ASSERT_TRUE(waitIn(*b, path("sub")));
    EXPECT_EQ(entered.size(), 1);
    EXPECT_EQ(entered[0][0].toString(), path("sub"));
    EXPECT_EQ(b->selectedFile(), path("sub/data.txt"));
    EXPECT_EQ(highlighted.last()[0].toString(), path("sub/data.txt"));
    EXPECT_EQ(b->nameEdit()->text(), "data.txt");

    // Whether a name that does not exist is a folder is told by its "/".
    kro::test::ScriptedPrompts prompts;
    prompts->answerMessage(QMessageBox::Ok);  // the listing of that folder fails
    b->setSelection(path("new/"));
    EXPECT_EQ(b->dirPath(), path("new"));
    ASSERT_TRUE(waitIn(*b, path("sub")));
    b->setSelection(path("sub/new.txt"));
    EXPECT_EQ(b->dirPath(), path("sub"));
    EXPECT_EQ(b->nameEdit()->text(), "new.txt");
}

TEST_F(BrowserTest, SeveralSelectedFilesFillTheNameEditInViewOrder)
{
    writeFile(path("b.txt"));
    writeFile(path("a.txt"));
    writeFile(path("c.txt"));
    QDir().mkpath(path("folder"));
    auto b = make();
    QAbstractItemView* view = b->detailView();
    click(view, centreOf(view, *b, "c.txt"));
    click(view, centreOf(view, *b, "a.txt"), Qt::ControlModifier);
    click(view, centreOf(view, *b, "folder"), Qt::ControlModifier);  // folders cannot be selected here
    EXPECT_EQ(b->nameEdit()->text(), "\"a.txt\" \"c.txt\" ");
    EXPECT_EQ(b->selectedFiles(), QStringList({path("a.txt"), path("c.txt")}));
    EXPECT_FALSE(view->selectionModel()->isSelected(b->model()->index(rowOf(*b, "folder"), 0)));
}

TEST_F(BrowserTest, FiltersNarrowTheListingAndAreNotListedTwice)
{
    // Patterns match names in either case, folders are always listed.
    for (const char* f : {"a.txt", "b.csv", "c.dat", "d.png", "E.TXT", "F.Png", "g.txt.bak"})
        writeFile(path(f));
    QDir().mkpath(path("folder"));
    auto b = make();
    b->setFilters(QStringLiteral("Data Files (*.txt *.csv *.dat);;All Files (*)"));
    ASSERT_TRUE(waitListed(*b));
    EXPECT_EQ(b->fileTypes()->count(), 2);
    EXPECT_EQ(b->selectedFilter(), "Data Files (*.txt *.csv *.dat)");
    EXPECT_EQ(b->fileOperator()->nameFilter(), "*.txt *.csv *.dat");
    EXPECT_EQ(rows(*b), QStringList({"..", "folder", "a.txt", "b.csv", "c.dat", "E.TXT"}));

    struct Case {
        QString text;
        QString nameFilter;
    };
    for (const Case& c : {Case{"All Files (*.*)", "*.*"}, Case{"*.png", "*.png"}, Case{"", "*.png"}}) {
        b->setFilter(c.text);
        EXPECT_EQ(b->fileOperator()->nameFilter(), c.nameFilter) << c.text.toStdString();
    }
    ASSERT_TRUE(waitListed(*b));
    EXPECT_EQ(rows(*b), QStringList({"..", "folder", "d.png", "F.Png"}));

    b->applyFilterText("*.dat");
    b->applyFilterText("*.dat");
    EXPECT_EQ(b->fileTypes()->count(), 3);
    EXPECT_EQ(b->selectedFilter(), "*.dat");
    b->applyFilterText("Data (*.txt *.csv *.dat)");  // the same pattern as the first entry
    EXPECT_EQ(b->fileTypes()->count(), 3);
    EXPECT_EQ(b->selectedFilter(), "Data Files (*.txt *.csv *.dat)");
    // A wildcard typed as a name becomes a filter, never a selection.
    b->setUrl(QUrl::fromLocalFile(path("*.csv")));
    ASSERT_TRUE(waitListed(*b));
    EXPECT_EQ(b->selectedFilter(), "*.csv");
    EXPECT_TRUE(b->selectedFile().isEmpty());
    EXPECT_EQ(rows(*b), QStringList({"..", "folder", "b.csv"}));
}

TEST_F(BrowserTest, AFilterTypedIntoThePathBoxIsShownUntilRemoved)
{
    for (const char* f : {"a.dat", "b.txt", "sub/c.dat", "sub/d.txt"})
        writeFile(path(f));
    auto b = make();
    EXPECT_TRUE(b->filterBar()->isHidden());
    b->pathCombo()->setEditText(QStringLiteral("*.dat"));
    QTest::keyClick(b->pathCombo()->lineEdit(), Qt::Key_Return);
    ASSERT_TRUE(waitListed(*b));
    EXPECT_EQ(rows(*b), QStringList({"..", "sub", "a.dat"}));
    EXPECT_TRUE(b->filterBar()->isVisible());
    EXPECT_TRUE(b->filterLabel()->text().contains("*.dat"));
    // In another folder the filter still holds, and says so.
    b->setDir(path("sub"));
    ASSERT_TRUE(waitIn(*b, path("sub")));
    EXPECT_EQ(rows(*b), QStringList({"..", "c.dat"}));
    EXPECT_TRUE(b->filterBar()->isVisible());
    EXPECT_TRUE(b->filterLabel()->text().contains("*.dat"));
    b->showAllButton()->click();
    ASSERT_TRUE(waitListed(*b));
    EXPECT_EQ(rows(*b), QStringList({"..", "c.dat", "d.txt"}));
    EXPECT_TRUE(b->filterBar()->isHidden());
}

TEST_F(BrowserTest, DetailColumnsShowTheirTextsUncutWithRoomToSpare)
{
    writeFile(path("a-name.dat"), "12345");
    QDir().mkpath(path("a folder"));
    ASSERT_TRUE(kro::test::makeLink(QStringLiteral("a folder"), path("link")));
    auto b = make();
    DirBrowserDirListView* view = b->detailView();
    // The view asks for room for Name, Size, Type and Date.
    const int wanted = view->sizeHint().width();
    QHeaderView* header = view->header();
    EXPECT_GE(wanted, DirBrowserDirListView::minimumNameWidth + view->columnWidth(DirEntryModel::SizeColumn) +
                          view->columnWidth(DirEntryModel::TypeColumn) + view->columnWidth(DirEntryModel::DateColumn));
    for (int width : {wanted, wanted + 300}) {
        b->resize(width + 40, 400);
        QApplication::processEvents();
        SCOPED_TRACE(width);
        for (int c = DirEntryModel::NameColumn; c <= DirEntryModel::DateColumn; ++c) {
            SCOPED_TRACE(c);
            // What the toolkit needs to draw every row and the header uncut.
            EXPECT_LE(static_cast<QAbstractItemView*>(view)->sizeHintForColumn(c), view->columnWidth(c));
            EXPECT_LE(header->sectionSizeHint(c), view->columnWidth(c));
            EXPECT_LE(header->sectionViewportPosition(c) + view->columnWidth(c), view->viewport()->width());
        }
    }
    // Room to spare goes to the names.
    const int narrow = view->columnWidth(DirEntryModel::NameColumn);
    b->resize(b->width() + 200, 400);
    QApplication::processEvents();
    EXPECT_EQ(view->columnWidth(DirEntryModel::NameColumn), narrow + 200);
}

TEST_F(BrowserTest, BrowsingAsksForAFolder)
{
    QDir().mkpath(path("picked"));
    auto b = make();
    QSignalSpy entered(b.get(), &DirBrowser::dirEntered);
    kro::test::ScriptedPrompts prompts;
    prompts->answerDirectory(QString());
    b->browseButton()->click();
    EXPECT_TRUE(entered.isEmpty());
    prompts->answerDirectory(path("picked"));
    b->browseButton()->click();
    EXPECT_EQ(prompts->asked().back().title, "Set current directory");
    ASSERT_TRUE(waitIn(*b, path("picked")));
    EXPECT_EQ(entered.size(), 1);
}

} // namespace
