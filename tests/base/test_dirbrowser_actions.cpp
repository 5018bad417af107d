// What the user does with entries: the context menu, deleting, new
// folders, renaming in place, keys, copy progress and drag and drop.
#include "browser_fixture.h"

#include "base/dirbrowserpictures.h"
#include "base/fdprogressdialog.h"
#include "core/filenames.h"
#include "support/files.h"
#include "support/scratchmount.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>

#include <sys/stat.h>

namespace {

using kro::test::readFile;
using kro::test::writeFile;

// Right-clicks an entry (an empty name: the empty area below the entries).
void rightClick(DirBrowser& b, QAbstractItemView* view, const QString& name)
{
    QPoint at(5, view->viewport()->height() - 5);
    if (!name.isEmpty()) {
        const QModelIndex i = b.model()->index(b.model()->rowOf(name), 0);
        view->scrollTo(i);
        at = view->visualRect(i).center();
    }
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->viewport(), &event);
}

// The entries of the menu the last prompt showed.
QString lastMenu(kro::test::ScriptedPrompts& prompts) { return prompts->asked().back().text; }

// Drops local files on a point of a view.
void dropFiles(QAbstractItemView* view, const QPoint& at, const QStringList& files,
               Qt::DropAction action = Qt::CopyAction)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& f : files)
        urls << QUrl::fromLocalFile(f);
    data.setUrls(urls);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &enter);
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    drop.setDropAction(action);
    QApplication::sendEvent(view->viewport(), &drop);
}

QPoint emptyArea(QAbstractItemView* view) { return QPoint(5, view->viewport()->height() - 5); }


TEST_F(BrowserTest, MenusOfferWhatTheEntryAllows)
{
    kro::test::buildTree(m_root);
    QDir().mkpath(path("x.krs"));
    QDir().mkpath(path("y.png"));
    auto b = make();
    struct Case {
        QString name;
        const char* entries;
    };
    for (const Case& c :
         {Case{"run.krs", "Run\n-\nEdit\nRename\nDelete"}, Case{"Photo.PNG", "View Image\n-\nRename\nDelete"},
          Case{"b.dat", "Plot\n-\nView/Edit\nRename\nDelete"},
          Case{"..", "Plot\n-\n(View/Edit)\n(Rename)\n(Delete)"}, Case{"alpha", "Plot\n-\nView/Edit\nRename\nDelete"},
          Case{"x.krs", "Plot\n-\nEdit\nRename\nDelete"}, Case{"y.png", "Plot\n-\nRename\nDelete"},
          Case{"", "Reload\nSort > *Sort by Name\nSort > Sort by Size\nSort > Sort by Date\nSort > -\n"
                   "Sort > Unsorted\n-\nShow hidden files"}}) {
        SCOPED_TRACE(c.name.toStdString());
        for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(b->detailView()),
                                        static_cast<QAbstractItemView*>(b->listView())}) {
            b->setViewMode(view == b->listView() ? DirBrowser::List : DirBrowser::Detail);
            kro::test::ScriptedPrompts prompts;
            prompts->answerMenu(QString());
            rightClick(*b, view, c.name);
            EXPECT_EQ(lastMenu(prompts), c.entries);
        }
    }
    b->setMode(DirBrowser::AnyFile);
    kro::test::ScriptedPrompts prompts;
    prompts->answerMenu(QString());
    rightClick(*b, b->listView(), "b.dat");
    EXPECT_EQ(lastMenu(prompts), "Save\n-\nView/Edit\nRename\nDelete");
}

TEST_F(BrowserTest, MenuChoicesReachTheirSignals)
{
    kro::test::buildTree(m_root);
    auto b = make();
    QSignalSpy selected(b.get(), &DirBrowser::fileSelected);
    QSignalSpy edit(b.get(), &DirBrowser::fileEditRequest);
    QSignalSpy view(b.get(), &DirBrowser::fileViewRequest);
    kro::test::ScriptedPrompts prompts;
    for (const char* choice : {"Run", "Edit"}) {
        prompts->answerMenu(choice);
        rightClick(*b, b->detailView(), "run.krs");
    }
    prompts->answerMenu("View Image");
    rightClick(*b, b->detailView(), "Photo.PNG");
    prompts->answerMenu("View/Edit");
    rightClick(*b, b->detailView(), kro::test::oddName());
    ASSERT_EQ(selected.size(), 2);
    EXPECT_EQ(selected[0][0].toString(), path("run.krs"));
    EXPECT_EQ(selected[1][0].toString(), path("Photo.PNG"));
    ASSERT_EQ(edit.size(), 1);
    EXPECT_EQ(edit[0][0].toString(), path("run.krs"));
    ASSERT_EQ(view.size(), 1);
    EXPECT_EQ(view[0][0].toString(), path(kro::test::oddName()));
    // "Plot" on a folder enters it.
    prompts->answerMenu("Plot");
    rightClick(*b, b->detailView(), "Sub dir");
    ASSERT_TRUE(waitIn(*b, path("Sub dir")));
}

TEST_F(BrowserTest, EntriesOfAReadOnlyFolderCannotBeRenamedOrDeleted)
{
    kro::test::ScratchMount ro(path("ro"), "size=1m");
    if (!ro.ok())
        GTEST_SKIP() << ro.error().toStdString();
    writeFile(path("ro/r.dat"), "1 2\n");
    writeFile(path("outside.dat"), "3 4\n");
    ASSERT_TRUE(ro.makeReadOnly());
    auto b = make(path("ro"));
    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerMenu(QString());
        rightClick(*b, b->detailView(), "r.dat");
        EXPECT_EQ(lastMenu(prompts), "Plot\n-\n(View/Edit)\n(Rename)\n(Delete)");
    }
    // No slow second click renames there.
    QAbstractItemView* view = b->detailView();
    click(view, centreOf(view, *b, "r.dat"));
    click(view, centreOf(view, *b, "r.dat"));
    EXPECT_FALSE(b->detailView()->core()->renameTimer()->isActive());
    // A drop there is refused without a word.
    QSignalSpy started(b->fileOperator(), &LocalFsOperator::start);
    dropFiles(view, emptyArea(view), {path("outside.dat")});
    QTest::qWait(0);
    EXPECT_TRUE(started.isEmpty());
    EXPECT_FALSE(b->fileOperator()->entryExists("outside.dat"));
}

TEST_F(BrowserTest, TheEmptyAreaMenuSortsReloadsAndShowsHiddenFiles)
{
    writeFile(path("big.txt"), "1234567");
    writeFile(path("small.txt"), "1");
    writeFile(path(".dot"), "12");
    auto b = make();
    kro::test::ScriptedPrompts prompts;
    prompts->answerMenu("Sort by Size");
    rightClick(*b, b->detailView(), QString());
    EXPECT_EQ(rows(*b), QStringList({"..", "small.txt", "big.txt"}));
    EXPECT_EQ(DirBrowser::sortKey(), DirSortKey::Size);

    prompts->answerMenu("Show hidden files");
    rightClick(*b, b->detailView(), QString());
    ASSERT_TRUE(waitListed(*b));
    EXPECT_EQ(rows(*b), QStringList({"..", "small.txt", ".dot", "big.txt"}));
    prompts->answerMenu("Show hidden files");
    rightClick(*b, b->listView(), QString());
    EXPECT_TRUE(lastMenu(prompts).contains("*Show hidden files"));
    ASSERT_TRUE(waitListed(*b));
    EXPECT_EQ(rows(*b), QStringList({"..", "small.txt", "big.txt"}));

    DirBrowser::setSort(DirSortKey::Time, true);
    writeFile(path("new.txt"), "n");
    prompts->answerMenu("Reload");
    rightClick(*b, b->detailView(), QString());
    EXPECT_TRUE(lastMenu(prompts).contains("Sort > *Sort by Date"));
    ASSERT_TRUE(waitListed(*b));
    EXPECT_GE(rowOf(*b, "new.txt"), 0);
}

TEST_F(BrowserTest, DeletingAsksWithTheKindOfEntry)
{
    writeFile(path("b.dat"), "1");
    writeFile(path("<b>bold<b> & co.txt"), "1");
    writeFile(path("alpha/kept.txt"), "kept");
    QDir().mkpath(path("empty"));
    kro::test::makeLink("alpha", path("to-alpha"));
    auto b = make();
    QSignalSpy finished(b->fileOperator(), &LocalFsOperator::finished);
    struct Case {
        QString name;
        const char* word;
        const char* shownName;
        QMessageBox::StandardButton answer;
        bool gone;
    };
    for (const Case& c : {Case{"b.dat", "the file", "b.dat", QMessageBox::No, false},
                          Case{"b.dat", "the file", "b.dat", QMessageBox::Yes, true},
                          Case{"<b>bold<b> & co.txt", "the file", "&lt;b&gt;bold&lt;b&gt; &amp; co.txt", QMessageBox::Yes, true},
                          Case{"empty", "the directory", "empty", QMessageBox::Yes, true},
                          Case{"to-alpha", "the symlink", "to-alpha", QMessageBox::Yes, true}}) {
        SCOPED_TRACE(c.name.toStdString());
        kro::test::ScriptedPrompts prompts;
        prompts->answerMessage(c.answer);
        b->deleteFile(c.name);
        const auto& asked = prompts->asked().at(0);
        EXPECT_EQ(asked.title, QString("Delete %1").arg(c.word));
        EXPECT_EQ(asked.text, QString("<qt>Are you sure you wish to delete %1 \"%2\"?</qt>").arg(c.word, c.shownName));
        EXPECT_EQ(asked.defaultButton, QMessageBox::No);
        if (c.gone) {
            ASSERT_TRUE(finished.wait(10000));
        }
        EXPECT_EQ(QFileInfo(path(c.name)).exists() || QFileInfo(path(c.name)).isSymLink(), !c.gone);
        EXPECT_EQ(rowOf(*b, c.name) < 0, c.gone);
    }
    // The link went, never what it pointed to.
    EXPECT_EQ(readFile(path("alpha/kept.txt")), "kept");

    // A folder with something in it is not emptied: the reason is shown.
    kro::test::ScriptedPrompts prompts;
    prompts->answerMessage(QMessageBox::Yes);
    prompts->answerMessage(QMessageBox::Ok);
    b->detailView()->setCurrentIndex(b->model()->index(rowOf(*b, "alpha"), 0));
    QTest::keyClick(b->detailView(), Qt::Key_Delete);
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompts->pending() == 0; }, 10000));
    EXPECT_EQ(prompts->asked()[1].title, "Error");
    EXPECT_TRUE(prompts->asked()[1].text.contains("Directory not empty")) << prompts->asked()[1].text.toStdString();
    EXPECT_EQ(readFile(path("alpha/kept.txt")), "kept");
    EXPECT_GE(rowOf(*b, "alpha"), 0);
}

TEST_F(BrowserTest, NewFoldersAreNumberedAndOpenForTheirName)
{
    struct Case {
        QStringList existing;
        QString created;
    };
    for (const Case& c : {Case{{}, "New Folder 1"}, Case{{"New Folder 1"}, "New Folder 2"},
                          Case{{"New Folder 1", "New Folder 2"}, "New Folder 3"},
                          Case{{"New Folder 1 copy", "My New Folder"}, "New Folder 1"}}) {
        SCOPED_TRACE(c.created.toStdString());
        QTemporaryDir dir;
        for (const QString& e : c.existing)
            QDir(dir.path()).mkpath(e);
        for (bool list : {false, true}) {
            auto b = make(dir.path());
            b->setViewMode(list ? DirBrowser::List : DirBrowser::Detail);
            b->newFolderButton()->click();
            FileViewCore* core = list ? b->listView()->core() : b->detailView()->core();
            ASSERT_TRUE(QTest::qWaitFor([&] { return core->isRenaming(); }, 10000));
            EXPECT_TRUE(QFileInfo(dir.filePath(c.created)).isDir());
            EXPECT_EQ(core->editor()->text(), c.created);
            EXPECT_EQ(core->editor()->selectedText(), c.created);
            EXPECT_TRUE(core->editorBox()->isVisible());
            QDir(dir.path()).rmdir(c.created);
        }
    }
}

// Clicks an entry's name twice, the second time slowly, and waits for the
// rename editor.
void slowSecondClick(DirBrowser& b, QAbstractItemView* view, const QString& name, int column = 0)
{
    const QModelIndex i = b.model()->index(b.model()->rowOf(name), column);
    const QPoint at = view->visualRect(i).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

FileViewCore* coreOf(QAbstractItemView* view)
{
    if (auto* list = qobject_cast<DirListBox*>(view))
        return list->core();
    return static_cast<DirBrowserDirListView*>(view)->core();
}

TEST_F(BrowserTest, ASlowSecondClickRenamesInPlace)
{
    writeFile(path("a.txt"), "A");
    writeFile(path("b.txt"), "B");
    auto b = make();
    QSignalSpy changed(b->fileOperator(), &LocalFsOperator::itemChanged);
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(b->detailView()),
                                    static_cast<QAbstractItemView*>(b->listView())}) {
        b->setViewMode(view == b->listView() ? DirBrowser::List : DirBrowser::Detail);
        FileViewCore* core = coreOf(view);
        slowSecondClick(*b, view, "a.txt");
        ASSERT_TRUE(QTest::qWaitFor([&] { return core->isRenaming(); }, 10000));
        EXPECT_EQ(core->editor()->text(), "a.txt");
        EXPECT_EQ(core->editor()->selectedText(), "a.txt");
        // Return renames; the focus leaving afterwards does not again.
        core->editor()->setText("c.txt");
        QTest::keyClick(core->editor(), Qt::Key_Return);
        EXPECT_FALSE(core->isRenaming());
        ASSERT_TRUE(changed.wait(10000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return rowOf(*b, "c.txt") >= 0; }, 10000));
        view->setFocus();
        QTest::qWait(0);
        EXPECT_EQ(changed.size(), 1);
        EXPECT_EQ(readFile(path("c.txt")), "A");
        QFile::rename(path("c.txt"), path("a.txt"));
        b->rereadDir();
        ASSERT_TRUE(waitListed(*b));
        changed.clear();

        // Escape leaves the name as it was.
        slowSecondClick(*b, view, "a.txt");
        ASSERT_TRUE(QTest::qWaitFor([&] { return core->isRenaming(); }, 10000));
        core->editor()->setText("ignored.txt");
        QTest::keyClick(core->editor(), Qt::Key_Escape);
        EXPECT_FALSE(core->isRenaming());
        QTest::qWait(0);
        EXPECT_TRUE(changed.isEmpty());
        EXPECT_TRUE(QFileInfo::exists(path("a.txt")));
    }
}

TEST_F(BrowserTest, RenamesThatWouldMoveOrReplaceAreRefused)
{
    writeFile(path("a.txt"), "A");
    writeFile(path("b.txt"), "B");
    QDir().mkpath(path("sub"));
    auto b = make();
    FileViewCore* core = b->detailView()->core();
    for (const char* name : {"b.txt", "sub/a.txt", "..", "../a.txt"}) {
        SCOPED_TRACE(name);
        kro::test::ScriptedPrompts prompts;
        prompts->answerMessage(QMessageBox::Ok);
        b->detailView()->setCurrentIndex(b->model()->index(rowOf(*b, "a.txt"), 0));
        core->beginRename(false);
        core->editor()->setText(name);
        QTest::keyClick(core->editor(), Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return prompts->pending() == 0; }, 10000));
        EXPECT_EQ(prompts->asked()[0].title, "Error");
        EXPECT_TRUE(prompts->asked()[0].text.startsWith("Could not rename")) << prompts->asked()[0].text.toStdString();
    }
    EXPECT_EQ(readFile(path("a.txt")), "A");
    EXPECT_EQ(readFile(path("b.txt")), "B");
    EXPECT_FALSE(QFileInfo::exists(path("sub/a.txt")));
    EXPECT_GE(rowOf(*b, "a.txt"), 0);
}

TEST_F(BrowserTest, ClicksThatDoNotRename)
{
    writeFile(path("a.txt"), "A");
    auto b = make();
    QAbstractItemView* view = b->detailView();
    FileViewCore* core = coreOf(view);
    QSignalSpy selected(b.get(), &DirBrowser::fileSelected);
    // The first click into a fresh view, even on the current entry.
    view->setCurrentIndex(b->model()->index(rowOf(*b, "a.txt"), 0));
    click(view, centreOf(view, *b, "a.txt"));
    EXPECT_FALSE(core->renameTimer()->isActive());
    // A second click on the Size column.
    const QModelIndex size = b->model()->index(rowOf(*b, "a.txt"), DirEntryModel::SizeColumn);
    click(view, view->visualRect(size).center());
    EXPECT_FALSE(core->renameTimer()->isActive());
    // A double click opens the file instead.
    doubleClick(view, centreOf(view, *b, "a.txt"));
    EXPECT_FALSE(core->renameTimer()->isActive());
    EXPECT_FALSE(core->isRenaming());
    EXPECT_EQ(selected.size(), 1);
    // ".." is never renamed.
    click(view, centreOf(view, *b, ".."));
    click(view, centreOf(view, *b, ".."));
    EXPECT_FALSE(core->renameTimer()->isActive());
}

TEST_F(BrowserTest, KeysOfTheViews)
{
    for (const char* f : {"apple.txt", "Avocado.txt", "banana.txt", "cherry.txt"})
        writeFile(path(QStringLiteral("sub/") + f));
    auto b = make(path("sub"));
    QAbstractItemView* view = b->detailView();
    view->setFocus();
    auto current = [&] { return b->model()->item(view->currentIndex().row()).info.name; };
    // Letters move to the next entry beginning with them, in either case,
    // round from the end to the top.
    view->setCurrentIndex(b->model()->index(rowOf(*b, "cherry.txt"), 0));
    for (const char* expected : {"apple.txt", "Avocado.txt", "apple.txt"}) {
        QTest::keyClick(view, Qt::Key_A);
        EXPECT_EQ(current(), expected);
    }
    QTest::keyClick(view, Qt::Key_Z);
    EXPECT_EQ(current(), "apple.txt");
    QTest::keyClick(view, Qt::Key_B, Qt::ShiftModifier);
    EXPECT_EQ(current(), "banana.txt");

    // F2 neither renames nor rereads; F5 rereads.
    QTest::keyClick(view, Qt::Key_F2);
    EXPECT_FALSE(b->isListing());
    EXPECT_FALSE(b->detailView()->core()->isRenaming());
    QTest::keyClick(view, Qt::Key_F5);
    EXPECT_TRUE(b->isListing());
    ASSERT_TRUE(waitListed(*b));
    // Backspace goes up.
    QTest::keyClick(view->viewport(), Qt::Key_Backspace);
    ASSERT_TRUE(waitIn(*b, m_root));

    // Escape hides the browser, as a rejected dialog.
    QTest::keyClick(b.get(), Qt::Key_Escape);
    EXPECT_FALSE(b->isVisible());
    EXPECT_EQ(b->result(), QDialog::Rejected);
}

TEST_F(BrowserTest, TheNameEditCompletesListedNames)
{
    writeFile(path("Bravo.dat"));
    writeFile(path("alpha.txt"));
    auto b = make();
    QLineEdit* edit = b->nameEdit();
    edit->clear();
    QTest::keyClick(edit, Qt::Key_B);
    EXPECT_EQ(edit->text(), "Bravo.dat");
    EXPECT_EQ(edit->selectedText(), "ravo.dat");
    QTest::keyClick(edit, Qt::Key_X);  // no name begins "bx": the key replaces the rest
    EXPECT_EQ(edit->text(), "Bx");
}

// ---------------------------------------------------------------------------
// Copy progress

TEST_F(BrowserTest, LargeCopiesShowTheirProgressAndSmallOnesDoNot)
{
    QTemporaryDir source;
    const QByteArray big(3 * LocalFsOperator::chunkSize + 5, 'x');
    writeFile(source.filePath("big.bin"), big);
    writeFile(source.filePath("small.txt"), "s");
    auto b = make();
    QSignalSpy writes(b->fileOperator(), &LocalFsOperator::finished);
    // What the dialog shows at each report, right after the browser took it.
    QStringList seen;
    QObject::connect(b->fileOperator(), &LocalFsOperator::dataTransferProgress, b.get(),
                     [&](qint64 done, qint64 total, FsOperation*) {
                         FDProgressDialog* dialog = b->progressDialog();
                         seen << (dialog ? QString("%1/%2 %3 read %4 write %5")
                                               .arg(done)
                                               .arg(total)
                                               .arg(dialog->writeLabel()->text())
                                               .arg(dialog->readBar()->value())
                                               .arg(dialog->writeBar()->value())
                                         : QString("none"));
                     });

    dropFiles(b->detailView(), emptyArea(b->detailView()), {source.filePath("small.txt")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return rowOf(*b, "small.txt") >= 0; }, 10000));
    EXPECT_EQ(seen, QStringList({"none", "none"}));

    seen.clear();
    dropFiles(b->detailView(), emptyArea(b->detailView()), {source.filePath("big.bin")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return b->progressDialog() != nullptr; }, 10000));
    FDProgressDialog* dialog = b->progressDialog();
    EXPECT_EQ(dialog->windowTitle(), "Copy or Move a File");
    EXPECT_EQ(dialog->readLabel()->text(), "Read: " + source.filePath("big.bin"));
    EXPECT_EQ(dialog->readBar()->maximum(), big.size());
    EXPECT_EQ(dialog->writeBar()->maximum(), big.size());
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return rowOf(*b, "big.bin") >= 0; }, 10000));
    EXPECT_EQ(b->progressDialog(), nullptr);
    EXPECT_EQ(readFile(path("big.bin")), big);
    // The read bar follows the reading, the write label names the
    // destination and the write bar follows the writing.
    const qint64 chunk = LocalFsOperator::chunkSize, total = big.size();
    ASSERT_EQ(seen.size(), 8);
    EXPECT_EQ(seen.first(), QString("%1/%2 Write:  read %1 write 0").arg(chunk).arg(total));
    EXPECT_EQ(seen[1], QString("%1/%2 Write: %3 read %1 write %1").arg(chunk).arg(total).arg(path("big.bin")));
    EXPECT_EQ(seen.last(), QString("%1/%1 Write: %2 read %1 write %1").arg(total).arg(path("big.bin")));
}

TEST_F(BrowserTest, CancellingACopyLeavesNothingBehind)
{
    QTemporaryDir source;
    QFile large(source.filePath("large.bin"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly));
    ASSERT_TRUE(large.resize(200 << 20));
    large.close();
    auto b = make();
    dropFiles(b->detailView(), emptyArea(b->detailView()), {source.filePath("large.bin")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return b->progressDialog() != nullptr; }, 10000));
    b->progressDialog()->cancelButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return b->progressDialog() == nullptr; }, 10000));
    const QStringList left = QDir(m_root).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_TRUE(left.isEmpty()) << left.join(", ").toStdString();
    EXPECT_EQ(QFileInfo(source.filePath("large.bin")).size(), 200 << 20);
}

TEST(CopyAnimation, TheFileFliesFromFolderToFolder)
{
    const DirBrowserPictures& p = dirBrowserPictures();
    FDProgressAnimation animation(nullptr);
    EXPECT_EQ(animation.size(), QSize(300, 50));
    EXPECT_EQ(animation.timer()->interval(), 0);  // started by the dialog
    // Is the picture drawn with its top left at (x, y)? Opaque pixels only.
    auto drawnAt = [](const QImage& frame, const QPixmap& picture, int x, int y) {
        const QImage pic = picture.toImage().convertToFormat(QImage::Format_ARGB32);
        for (int py = 0; py < pic.height(); ++py)
            for (int px = 0; px < pic.width(); ++px) {
                const QColor want = pic.pixelColor(px, py);
                if (want.alpha() == 255 && frame.pixelColor(x + px, y + py) != want)
                    return false;
            }
        return true;
    };
    struct Expected {
        const QPixmap* picture;
        int x, y;
    };
    const int folderTop = (50 - p.openFolder.height()) / 2;
    for (int frame = 0; frame <= 10; ++frame) {
        SCOPED_TRACE(frame);
        const QImage image = animation.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(300, 50));
        std::vector<Expected> expected;
        if (frame == 0) {
            expected = {{&p.startCopy, 5, (50 - p.startCopy.height()) / 2}, {&p.openFolder, 279, folderTop}};
        } else if (frame == 10) {
            expected = {{&p.openFolder, 5, folderTop}, {&p.endCopy, 279, (50 - p.endCopy.height()) / 2}};
        } else {
            // 27-pixel steps from x = 53, one picture height above the centre.
            expected = {{&p.openFolder, 5, folderTop}, {&p.openFolder, 279, folderTop},
                        {&p.file, 53 + 27 * (frame - 1), 1}};
        }
        for (const Expected& e : expected)
            EXPECT_TRUE(drawnAt(image, *e.picture, e.x, e.y)) << e.x;
        EXPECT_EQ(animation.frame(), frame);
        animation.next();
    }
    EXPECT_EQ(animation.frame(), 0);

    FDProgressDialog dialog(nullptr, "src", qint64(5) << 30);
    EXPECT_EQ(dialog.animation()->timer()->interval(), 150);
    EXPECT_TRUE(dialog.animation()->timer()->isActive());
    // Byte counts beyond an int still fill the bars to the end.
    dialog.setReadProgress(qint64(5) << 30);
    EXPECT_EQ(dialog.readBar()->value(), dialog.readBar()->maximum());
    QSignalSpy cancelled(&dialog, &FDProgressDialog::cancelled);
    dialog.cancelButton()->click();
    EXPECT_EQ(cancelled.size(), 1);
}

// ---------------------------------------------------------------------------
// Drag and drop

TEST_F(BrowserTest, DraggingTakesTheWholeSelection)
{
    for (const char* f : {"a.txt", "b.txt", "c.txt"})
        writeFile(path(f));
    auto b = make();
    QAbstractItemView* view = b->detailView();
    click(view, centreOf(view, *b, "a.txt"));
    click(view, centreOf(view, *b, "c.txt"), Qt::ControlModifier);
    QList<QUrl> dragged;
    FileViewCore::DragRunner saved = FileViewCore::dragRunner();
    FileViewCore::dragRunner() = [&](QDrag* drag) {
        dragged = drag->mimeData()->urls();
        drag->deleteLater();
    };
    const QPoint from = centreOf(view, *b, "c.txt");
    QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, from + QPoint(30, 0), view->viewport()->mapToGlobal(from + QPoint(30, 0)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier, from + QPoint(30, 0));
    FileViewCore::dragRunner() = saved;
    EXPECT_EQ(dragged, QList<QUrl>({QUrl::fromLocalFile(path("a.txt")), QUrl::fromLocalFile(path("c.txt"))}));
}

TEST_F(BrowserTest, DropsCopyOrMoveIntoFoldersAndRefuseClashes)
{
    QTemporaryDir outside;
    writeFile(outside.filePath("x#1%.dat"), "x");
    writeFile(outside.filePath("y.dat"), "y");
    writeFile(outside.filePath("clash.txt"), "new");
    writeFile(path("target/clash.txt"), "old");
    writeFile(path("plain.txt"), "p");
    auto b = make();
    QSignalSpy finished(b->fileOperator(), &LocalFsOperator::finished);
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(b->detailView()),
                                    static_cast<QAbstractItemView*>(b->listView())}) {
        b->setViewMode(view == b->listView() ? DirBrowser::List : DirBrowser::Detail);
        SCOPED_TRACE(view->objectName().toStdString());
        // Onto a plain file, or with a name the folder has: nothing happens.
        dropFiles(view, centreOf(view, *b, "plain.txt"), {outside.filePath("y.dat")});
        dropFiles(view, centreOf(view, *b, "target"), {outside.filePath("y.dat"), outside.filePath("clash.txt")});
        QTest::qWait(0);
        EXPECT_TRUE(finished.isEmpty());
        EXPECT_EQ(readFile(path("target/clash.txt")), "old");
        EXPECT_FALSE(QFileInfo::exists(path("target/y.dat")));
    }
    // Onto a folder: copied there; names with "#" and "%" stay themselves.
    dropFiles(b->detailView(), centreOf(b->detailView(), *b, "target"), {outside.filePath("x#1%.dat")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(path("target/x#1%.dat")); }, 10000));
    EXPECT_TRUE(QFileInfo::exists(outside.filePath("x#1%.dat")));
    // With the Move action the source goes.
    dropFiles(b->detailView(), centreOf(b->detailView(), *b, "target"), {outside.filePath("y.dat")}, Qt::MoveAction);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(path("target/y.dat")); }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !QFileInfo::exists(outside.filePath("y.dat")); }, 10000));
    // Onto the empty area: into the folder shown, which is reread.
    dropFiles(b->listView(), emptyArea(b->listView()), {outside.filePath("clash.txt")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return rowOf(*b, "clash.txt") >= 0; }, 10000));
    EXPECT_EQ(readFile(path("clash.txt")), "new");
}

// A drag delivered to a view's viewport the way the toolkit delivers it:
// moves and the drop reach the view only after it took the drag's entry
// (each entry followed by a move at the same point), and the drop only
// where the last move was accepted with an action.
class DragAlong {
public:
    DragAlong(QAbstractItemView* view, const QMimeData* data) : m_view(view), m_data(data) {}
    void enter(const QPoint& at)
    {
        QDragEnterEvent e(at, Qt::CopyAction | Qt::MoveAction, m_data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_view->viewport(), &e);
        m_entered = e.isAccepted();
        move(at);
    }
    void move(const QPoint& at)
    {
        if (!m_entered)
            return;
        QDragMoveEvent e(at, Qt::CopyAction | Qt::MoveAction, m_data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_view->viewport(), &e);
        m_droppable = e.isAccepted() && e.dropAction() != Qt::IgnoreAction;
    }
    // Whether the view was given the drop.
    bool drop(const QPoint& at)
    {
        if (!m_entered || !m_droppable)
            return false;
        QDropEvent e(at, Qt::CopyAction | Qt::MoveAction, m_data, Qt::LeftButton, Qt::NoModifier);
        e.setDropAction(Qt::CopyAction);
        QApplication::sendEvent(m_view->viewport(), &e);
        return true;
    }
    bool droppable() const { return m_droppable; }

private:
    QAbstractItemView* m_view;
    const QMimeData* m_data;
    bool m_entered = false;
    bool m_droppable = false;
};

// Presses on an entry and moves just past the drag distance:
// the view's drag starts and the runner plays it. The press comes well
// after any earlier click, so it is no double click.
void startDragFrom(QAbstractItemView* view, const QPoint& from)
{
    QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::NoModifier, from, QApplication::doubleClickInterval() + 100);
    const QPoint to = from + QPoint(QApplication::startDragDistance() + 1, 0);
    QMouseEvent move(QEvent::MouseMove, to, view->viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier, to);
}

TEST_F(BrowserTest, AFileDraggedOntoAFolderOfItsViewIsCopiedThere)
{
    writeFile(path("a-long-file-name.txt"), "the content\n");
    QDir().mkpath(path("into"));
    auto b = make();
    FileViewCore::DragRunner saved = FileViewCore::dragRunner();
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(b->detailView()),
                                    static_cast<QAbstractItemView*>(b->listView())}) {
        SCOPED_TRACE(view->objectName().toStdString());
        b->setViewMode(view == b->listView() ? DirBrowser::List : DirBrowser::Detail);
        const QString copied = path("into/a-long-file-name.txt");
        QFile::remove(copied);
        // The list view lays its entries out once shown.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return !view->visualRect(b->model()->index(rowOf(*b, "into"), 0)).isEmpty(); }, 5000));
        const QPoint file = centreOf(view, *b, "a-long-file-name.txt");
        bool refusedOverTheFile = false, droppedOnTheFolder = false;
        FileViewCore::dragRunner() = [&](QDrag* drag) {
            // The drag enters where it started, over the file, then moves
            // onto the folder and is dropped there.
            DragAlong along(view, drag->mimeData());
            along.enter(file + QPoint(QApplication::startDragDistance() + 1, 0));
            refusedOverTheFile = !along.droppable();
            along.move(centreOf(view, *b, "into"));
            droppedOnTheFolder = along.drop(centreOf(view, *b, "into"));
            drag->deleteLater();
        };
        view->selectionModel()->select(b->model()->index(rowOf(*b, "a-long-file-name.txt"), 0),
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        startDragFrom(view, file);
        EXPECT_TRUE(refusedOverTheFile);
        EXPECT_TRUE(droppedOnTheFolder);
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(copied) && !b->isListing(); }, 10000));
        EXPECT_EQ(readFile(copied), "the content\n");
        EXPECT_EQ(readFile(path("a-long-file-name.txt")), "the content\n");
    }
    // Held over the folder, the same drag opens it.
    QAbstractItemView* view = b->detailView();
    b->setViewMode(DirBrowser::Detail);
    const QPoint file = centreOf(view, *b, "a-long-file-name.txt");
    FileViewCore::dragRunner() = [&](QDrag* drag) {
        DragAlong along(view, drag->mimeData());
        along.enter(file + QPoint(QApplication::startDragDistance() + 1, 0));
        along.move(centreOf(view, *b, "into"));
        EXPECT_TRUE(along.droppable());
        EXPECT_TRUE(waitIn(*b, path("into")));
        drag->deleteLater();
    };
    startDragFrom(view, file);
    FileViewCore::dragRunner() = saved;
    EXPECT_EQ(QDir(b->dirPath()), QDir(path("into")));
}

TEST_F(BrowserTest, ADragBackIntoItsOwnFolderIsRefused)
{
    writeFile(path("a.txt"), "a");
    QDir().mkpath(path("into"));
    auto b = make();
    QAbstractItemView* view = b->detailView();
    FileViewCore::DragRunner saved = FileViewCore::dragRunner();
    bool refused = false;
    bool intoFolder = false;
    FileViewCore::dragRunner() = [&](QDrag* drag) {
        // While this view's drag runs: the empty area is its own folder,
        // a folder item is somewhere else.
        DragAlong along(view, drag->mimeData());
        along.enter(emptyArea(view));
        refused = !along.droppable();
        along.move(centreOf(view, *b, "into"));
        intoFolder = along.droppable();
        drag->deleteLater();
    };
    const QPoint from = centreOf(view, *b, "a.txt");
    QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, from + QPoint(30, 0), view->viewport()->mapToGlobal(from + QPoint(30, 0)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    FileViewCore::dragRunner() = saved;
    EXPECT_TRUE(refused);
    EXPECT_TRUE(intoFolder);
}

TEST_F(BrowserTest, HoveringOverAFolderOpensIt)
{
    QDir().mkpath(path("deeper/inside"));
    for (int i = 0; i < 200; ++i)
        writeFile(path(QStringLiteral("file%1.txt").arg(i, 3, 10, QLatin1Char('0'))));
    auto b = make();
    QAbstractItemView* view = b->detailView();
    FileViewCore* core = coreOf(view);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path("file000.txt"))});
    // A drag enters at the point and moves there.
    auto hover = [&](const QPoint& at) {
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &enter);
        QDragMoveEvent move(at + QPoint(1, 0), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &move);
    };
    // Leaving, or scrolling, forgets the folder.
    hover(centreOf(view, *b, "deeper"));
    EXPECT_TRUE(core->dropTarget().isValid());
    QDragLeaveEvent leave;
    QApplication::sendEvent(view->viewport(), &leave);
    EXPECT_FALSE(core->dropTarget().isValid());
    hover(centreOf(view, *b, "deeper"));
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    EXPECT_FALSE(core->dropTarget().isValid());
    view->verticalScrollBar()->setValue(0);
    // Staying goes in after 750 ms.
    hover(centreOf(view, *b, "deeper"));
    EXPECT_EQ(core->changeDirTimer()->interval(), 750);
    ASSERT_TRUE(waitIn(*b, path("deeper")));
    EXPECT_EQ(rows(*b), QStringList({"..", "inside"}));
}

} // namespace

TEST_F(BrowserTest, ANameThatIsNotUtf8IsListedOpenedRenamedAndDeleted)
{
    // The name's bytes are not UTF-8; the file is made and checked by them.
    const QByteArray bytes("bad\xff\xfename.dat");
    const QByteArray folder = kro::encodeFileName(m_root) + '/';
    auto existsBytes = [&](const QByteArray& name) {
        struct stat st {};
        return ::lstat((folder + name).constData(), &st) == 0;
    };
    kro::test::writeFileAtBytes(folder + bytes, "1 2\n3 4\n");
    writeFile(path("same.dat"), "1 2\n3 4\n");
    const QString name = kro::decodeFileName(bytes);
    auto b = make();
    ASSERT_GE(rowOf(*b, name), 0) << rows(*b).join(' ').toStdString();
    EXPECT_EQ(cell(*b, name, DirEntryModel::SizeColumn), cell(*b, "same.dat", DirEntryModel::SizeColumn));
    EXPECT_FALSE(cell(*b, name, DirEntryModel::SizeColumn).isEmpty());

    // Every menu entry is offered, and Plot hands on a path that names the file.
    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerMenu(QString());
        rightClick(*b, b->detailView(), name);
        EXPECT_EQ(lastMenu(prompts), "Plot\n-\nView/Edit\nRename\nDelete");
    }
    {
        QSignalSpy selected(b.get(), &DirBrowser::filesSelected);
        QSignalSpy selectedOne(b.get(), &DirBrowser::fileSelected);
        kro::test::ScriptedPrompts prompts;
        prompts->answerMenu("Plot");
        rightClick(*b, b->detailView(), name);
        QString chosen;
        if (!selectedOne.isEmpty())
            chosen = selectedOne[0][0].toString();
        else if (!selected.isEmpty())
            chosen = selected[0][0].toStringList().value(0);
        EXPECT_EQ(kro::encodeFileName(chosen), folder + bytes);
    }

    // Renamed in place, and back to the same bytes.
    QSignalSpy changed(b->fileOperator(), &LocalFsOperator::itemChanged);
    FileViewCore* core = b->detailView()->core();
    b->detailView()->setCurrentIndex(b->model()->index(rowOf(*b, name), 0));
    core->beginRename(false);
    core->editor()->setText("renamed.dat");
    QTest::keyClick(core->editor(), Qt::Key_Return);
    ASSERT_TRUE(changed.wait(10000));
    EXPECT_FALSE(existsBytes(bytes));
    EXPECT_EQ(readFile(path("renamed.dat")), "1 2\n3 4\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return rowOf(*b, "renamed.dat") >= 0; }, 10000));
    b->detailView()->setCurrentIndex(b->model()->index(rowOf(*b, "renamed.dat"), 0));
    core->beginRename(false);
    core->editor()->setText(name);
    QTest::keyClick(core->editor(), Qt::Key_Return);
    ASSERT_TRUE(changed.wait(10000));
    EXPECT_TRUE(existsBytes(bytes));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rowOf(*b, name) >= 0; }, 10000));

    // Deleted.
    QSignalSpy finished(b->fileOperator(), &LocalFsOperator::finished);
    kro::test::ScriptedPrompts prompts;
    prompts->answerMessage(QMessageBox::Yes);
    b->deleteFile(name);
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_FALSE(existsBytes(bytes));
    EXPECT_TRUE(QTest::qWaitFor([&] { return rowOf(*b, name) < 0; }, 10000));
}
