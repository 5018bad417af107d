// The recent-files menu and its list file.
#include "platform/recentfilesmenu.h"
#include "support/files.h"
#include "support/qtprinters.h"
#include "support/prompts.h"

#include <QAction>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

class RecentFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString listFile() const { return m_dir.filePath(QStringLiteral("recent.ini")); }
    // A menu with the owner's items around the list, as the script editor has.
    std::unique_ptr<RecentFilesMenu> makeMenu(int leading = 5, int trailing = 1)
    {
        auto menu = std::make_unique<RecentFilesMenu>(nullptr, leading, trailing, listFile());
        for (int i = 0; i < leading; ++i)
            menu->addAction(QStringLiteral("L%1").arg(i + 1));
        for (int i = 0; i < trailing; ++i)
            menu->addAction(QStringLiteral("T%1").arg(i + 1));
        menu->addFile(QString());
        return menu;
    }
    // The menu's item texts, separators as "-".
    static QStringList items(const QMenu& menu)
    {
        QStringList texts;
        for (QAction* a : menu.actions())
            texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return texts;
    }
    QString file(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

TEST_F(RecentFiles, ReadsTheListAndShowsTheNewestFirstWithinTheMaximum)
{
    // Non-ASCII names, a CR-only line end and an empty line on the way.
    kro::test::writeFile(listFile(), QStringLiteral("3\r\n/d/a.krs\r\n/d/b.krs\r/d/\u00e9t\u00e9.krs\r\n\r\n"
                                                    "/d/\u6e2c\u5b9a.krs\r\nC:\\old\\e.krs\r\n")
                                         .toUtf8());
    auto menu = makeMenu();
    EXPECT_EQ(menu->maximumCount(), 3);
    EXPECT_EQ(items(*menu), QStringList({"L1", "L2", "L3", "L4", "L5", "-", "&1 e.krs", "&2 \u6e2c\u5b9a.krs",
                                         "&3 \u00e9t\u00e9.krs", "-", "T1"}));
    EXPECT_EQ(menu->entryAction(1)->data().toInt(), 6);
    menu.reset();
    EXPECT_EQ(kro::test::readFile(listFile()),
              QStringLiteral("3\r\n/d/\u00e9t\u00e9.krs\r\n/d/\u6e2c\u5b9a.krs\r\nC:\\old\\e.krs\r\n").toUtf8());
}

TEST_F(RecentFiles, AMaximumThatIsNoPositiveNumberBecomesTen)
{
    for (const char* first : {"0", "-4", "abc"}) {
        kro::test::writeFile(listFile(), QByteArray(first) + "\r\n/x/one.krs\r\n");
        makeMenu().reset();
        EXPECT_EQ(kro::test::readFile(listFile()), QByteArray("10\r\n/x/one.krs\r\n")) << first;
    }
    // A missing file is an empty list: the owner's items only.
    QFile::remove(listFile());
    auto menu = makeMenu(2, 2);
    EXPECT_EQ(items(*menu), QStringList({"L1", "L2", "T1", "T2"}));
}

TEST_F(RecentFiles, AddingMovesToTheTopAndDropsTheOldest)
{
    auto menu = makeMenu(2, 2);
    for (int i = 1; i <= 10; ++i)
        menu->addFile(QStringLiteral("/s/f%1.krs").arg(i));
    menu->addFile(QStringLiteral("/s/f3.krs"));  // already listed
    menu->addFile(QStringLiteral("/s/F3.krs"));  // another file
    EXPECT_EQ(menu->paths().size(), 10);
    EXPECT_EQ(menu->paths().count(QStringLiteral("/s/f3.krs")), 1);
    EXPECT_FALSE(menu->paths().contains(QStringLiteral("/s/f1.krs")));  // the oldest went
    const QStringList shown = items(*menu);
    EXPECT_EQ(shown.mid(0, 3), QStringList({"L1", "L2", "-"}));
    EXPECT_EQ(shown.at(3), QStringLiteral("&1 F3.krs"));
    EXPECT_EQ(shown.at(4), QStringLiteral("&2 f3.krs"));
    EXPECT_EQ(shown.at(12), QStringLiteral("&10 f2.krs"));
    EXPECT_EQ(shown.mid(13), QStringList({"-", "T1", "T2"}));
    // Every change is in the file at once, oldest first.
    const QByteArray onDisk = kro::test::readFile(listFile());
    EXPECT_TRUE(onDisk.startsWith("10\r\n/s/f2.krs\r\n/s/f4.krs\r\n"));
    EXPECT_TRUE(onDisk.endsWith("/s/f3.krs\r\n/s/F3.krs\r\n"));
}

TEST_F(RecentFiles, ChoosingAnEntryOpensItOrOffersToDropAVanishedFile)
{
    const QString kept = kro::test::writeFile(file(QStringLiteral("kept.krs")), "title kept\n");
    const QString gone = file(QStringLiteral("gone.krs"));
    const QString other = kro::test::writeFile(file(QStringLiteral("other.krs")));
    auto menu = makeMenu();
    for (const QString& p : {kept, gone, other})
        menu->addFile(p);
    QSignalSpy clicked(menu.get(), &RecentFilesMenu::fileclicked);
    QSignalSpy error(menu.get(), &RecentFilesMenu::fileerror);

    menu->entryAction(3)->trigger();  // kept.krs: it opens and moves up
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked[0][0].toString(), kept);
    EXPECT_EQ(menu->entryAction(1)->text(), QStringLiteral("&1 kept.krs"));

    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerMessage(QMessageBox::No);
        menu->entryAction(3)->trigger();  // gone.krs
        ASSERT_EQ(prompts->asked().size(), 1u);
        EXPECT_EQ(prompts->asked()[0].title, QStringLiteral("File not found"));
        EXPECT_EQ(prompts->asked()[0].text,
                  QStringLiteral("The file \"%1\" appears to be no longer available\nWould you like to remove it "
                                 "from the list?")
                      .arg(gone));
        EXPECT_EQ(menu->paths().size(), 3);
        prompts->answerMessage(QMessageBox::Yes);
        menu->entryAction(3)->trigger();
    }
    EXPECT_EQ(menu->paths(), QStringList({other, kept}));
    EXPECT_EQ(items(*menu).mid(5), QStringList({"-", "&1 kept.krs", "&2 other.krs", "-", "T1"}));
    EXPECT_EQ(clicked.count(), 1);

    menu->fileOpenReqest(42);
    ASSERT_EQ(error.count(), 1);
    EXPECT_EQ(error[0][0].toString(), QStringLiteral("Error loading file! Load canceled"));
}

TEST_F(RecentFiles, AListFileThatCannotBeWrittenIsReportedOnce)
{
    ASSERT_TRUE(QDir().mkpath(listFile()));  // a folder where the file should be
    auto menu = makeMenu();
    QSignalSpy error(menu.get(), &RecentFilesMenu::fileerror);
    menu->addFile(QStringLiteral("/s/a.krs"));
    menu->addFile(QStringLiteral("/s/b.krs"));
    ASSERT_EQ(error.count(), 1);
    EXPECT_TRUE(error[0][0].toString().contains(listFile()));
    // The list goes on in memory.
    EXPECT_EQ(menu->paths(), QStringList({"/s/a.krs", "/s/b.krs"}));
    EXPECT_EQ(menu->entryAction(1)->text(), QStringLiteral("&1 b.krs"));
}

} // namespace
