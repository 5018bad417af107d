// Data files dropped on a plot open the import setup window; Ok runs its
// plot command, which loads the files into the plot; every way of closing
// the window deletes it once its signal has returned.
#include "tabs/plotterctrl.h"

#include "import/filesettingspage.h"
#include "import/filesetup.h"
#include "platform/scriptedprompter.h"
#include "plot/plotter.h"
#include "tabs/progressbar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

#include "support/files.h"
#include "support/qtprinters.h"
#include "support/test_env.h"

namespace {

std::vector<FileSetup*> openSetups()
{
    std::vector<FileSetup*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* s = qobject_cast<FileSetup*>(w))
            found.push_back(s);
    return found;
}

class Drop : public ::testing::Test {
protected:
    void SetUp() override
    {
        kro::test::clearSettingsStore();
        ASSERT_TRUE(dir.isValid());
        ctrl = std::make_unique<PlotterCtrl>(nullptr, &bar, &undo);
        QObject::connect(ctrl.get(), &PlotterCtrl::command, [this](const QString& c) { commands << c; });
        QObject::connect(ctrl.get(), &PlotterCtrl::transcript, [this](const QString& t) { transcripts << t; });
    }
    void TearDown() override
    {
        ctrl.reset();
        EXPECT_TRUE(openSetups().empty()) << "the plot tabs take their open windows with them";
    }
    QString write(const QString& name, const QByteArray& bytes) { return kro::test::writeFile(dir.filePath(name), bytes); }
    // Drops the files on the current plot and returns the window it opened.
    FileSetup* drop(const QStringList& files)
    {
        const auto before = openSetups();
        Q_EMIT ctrl->currentPlotter()->dropfiles(files);
        for (FileSetup* s : openSetups())
            if (std::find(before.begin(), before.end(), s) == before.end())
                return s;
        ADD_FAILURE() << "no import setup window opened";
        return nullptr;
    }
    static void deleteLaterNow() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    QTemporaryDir dir;
    ProgressBar bar;
    QToolButton undo;
    std::unique_ptr<PlotterCtrl> ctrl;
    QStringList commands;
    QStringList transcripts;
};

} // namespace

TEST_F(Drop, OkRunsTheComposedCommandAndTheFilesLoad)
{
    const QString b = write("b.dat", "1 10\n2 20\n3 30\n");
    const QString a = write("a.dat", "1 5\n2 6\n");
    QPointer<FileSetup> setup = drop({b, a});
    ASSERT_TRUE(setup);
    EXPECT_TRUE(setup->isVisible());
    ASSERT_EQ(setup->pageList()->count(), 3);
    EXPECT_EQ(setup->pageList()->item(1)->text(), a) << "the names are sorted";
    EXPECT_EQ(setup->pageList()->item(2)->text(), b);

    const QString expected = setup->buildCommand();
    setup->okButton()->click();
    EXPECT_EQ(commands, QStringList{expected});
    EXPECT_EQ(expected, QStringLiteral("kro -f %1 -f %2 ").arg(a, b));
    ASSERT_TRUE(setup) << "the window lives until its signal has returned";
    deleteLaterNow();
    EXPECT_FALSE(setup);

    ctrl->on_kroplot(commands.first());
    QElapsedTimer t;
    t.start();
    while (ctrl->m_busy && t.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_FALSE(ctrl->m_busy);
    const CurveMap& curves = ctrl->currentPlotter()->curves();
    ASSERT_EQ(curves.size(), 2u);
    EXPECT_EQ(curves.begin()->second.pointCount(), 2u);
    EXPECT_EQ(std::next(curves.begin())->second.pointCount(), 3u);
}

TEST_F(Drop, CancelAndTheWindowFrameRunNothingAndDeleteTheWindow)
{
    const QString a = write("a.dat", "1 5\n");
    QPointer<FileSetup> cancelled = drop({a});
    ASSERT_TRUE(cancelled);
    cancelled->cancelButton()->click();
    deleteLaterNow();
    EXPECT_FALSE(cancelled);

    QPointer<FileSetup> framed = drop({a});
    ASSERT_TRUE(framed);
    framed->close();
    deleteLaterNow();
    EXPECT_FALSE(framed);
    EXPECT_TRUE(commands.isEmpty());
}

TEST_F(Drop, ReadErrorsReachTheConsoleAndOpenWindowsGoWithTheTabs)
{
    const QString missing = dir.filePath("gone.dat");
    QPointer<FileSetup> setup = drop({missing});
    ASSERT_TRUE(setup);
    EXPECT_EQ(transcripts, QStringList{QStringLiteral("File Setup: Error reading file %1").arg(missing)});
    EXPECT_FALSE(setup->okButton()->isEnabled());
    // The browser's call names one file and opens the same window.
    QMetaObject::invokeMethod(ctrl.get(), "on_dropfiles", Q_ARG(QStringList, QStringList{write("c.dat", "1 2\n")}));
    EXPECT_EQ(openSetups().size(), 2u);
    ctrl.reset();
    EXPECT_FALSE(setup);
}
