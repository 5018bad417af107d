// The main window's roads to live links, curve transfer and the save-data
// page: an instrument's rows through the instrument panel's signals, the
// "copy" and "move" commands typed in the Command Window, and the save-data
// page raised from the current plot, writing its files on Save.
#include <gtest/gtest.h>

#include "support/qtprinters.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

#include "command/commandedit.h"
#include "core/settings.h"
#include "gui/krogui.h"
#include "miscio/miscio.h"
#include "platform/labeledwidget.h"
#include "plot/plotdiag.h"
#include "plot/plotter.h"
#include "support/files.h"
#include "support/test_env.h"
#include "tabs/plotterctrl.h"
#include "tabs/savegui.h"

namespace {

class CurvePages : public ::testing::Test {
protected:
    void SetUp() override
    {
        kro::test::clearSettingsStore();
        writeSetting(QStringLiteral("quickstart"), QVariant(false));
        ASSERT_TRUE(m_dir.isValid());
        m_savedCwd = QDir::currentPath();
        QByteArray rows;
        for (int i = 0; i < 20; ++i)
            rows += QByteArray::number(i) + ", " + QByteArray::number(i * 3) + ", " + QByteArray::number(100 - i) +
                    "\n";
        const QString data = kro::test::writeFile(m_dir.filePath("data.dat"), rows);
        window = std::make_unique<KROGui>(QStringList{"kro", "-f", data, "-x", "1", "-y", "2", "3"});
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window->plotterCtrl()->m_busy; }, 10000));
        ASSERT_EQ(window->activePlotter()->curves().size(), 2u);
    }
    void TearDown() override
    {
        window.reset();
        QDir::setCurrent(m_savedCwd);
    }
    QString consoleText() const { return window->console()->toPlainText(); }

    QTemporaryDir m_dir;
    QString m_savedCwd;
    std::unique_ptr<KROGui> window;
};

} // namespace

TEST_F(CurvePages, CopyAndMoveCommandsFromTheCommandWindow)
{
    Plotter* source = window->activePlotter();
    window->console()->command("copy c2 Archive", true);
    Plotter* archive = window->plotterCtrl()->findPlotter("Archive", 0);
    ASSERT_NE(archive, nullptr);
    EXPECT_EQ(window->activePlotter(), archive);
    ASSERT_NE(archive->curve(0), nullptr);
    EXPECT_EQ(archive->curve(0)->values.vec(), source->curve(1)->values.vec());

    window->console()->command("move \"Plot 1\":c1 Archive:q1", true);
    EXPECT_EQ(source->curves().size(), 1u);
    EXPECT_EQ(archive->curves().size(), 2u);

    window->console()->command("copy c9 Elsewhere", true);
    EXPECT_TRUE(consoleText().contains("Error in copy command. Likely cause: invalid source curve ID(s)."));
    EXPECT_EQ(window->plotterCtrl()->findTab("Elsewhere"), nullptr);
}

TEST_F(CurvePages, TheSaveDataPageWritesTheChosenCurves)
{
    // The toolbox's "Save Data" raises the page filled from the plot.
    QAbstractButton* saveData = nullptr;
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        if (b->text() == "Save Data")
            saveData = b;
    ASSERT_NE(saveData, nullptr);
    saveData->click();
    EXPECT_EQ(window->centralStack()->currentIndex(), 2);
    SaveGUI* page = window->saveDataPage();
    ASSERT_NE(page->selector()->curveBox(1), nullptr);
    ASSERT_NE(page->selector()->curveBox(2), nullptr);

    // C1 alone, style 2 with a header line, into one file.
    page->selector()->curveBox(2)->click();
    const QString out = m_dir.filePath("out.dat");
    page->singleFile()->setText(out);
    page->headerEditor()->setPlainText("# first curve");
    page->style2Button()->click();
    page->saveButton()->click();
    EXPECT_EQ(window->centralStack()->currentIndex(), 0);
    const QList<QByteArray> lines = kro::test::readFile(out).split('\n');
    ASSERT_GE(lines.size(), 21);
    EXPECT_EQ(lines.front(), "# first curve");
    EXPECT_TRUE(lines[20].startsWith("19")) << lines[20].toStdString();
    EXPECT_TRUE(lines[20].endsWith("57")) << lines[20].toStdString();

    // An unwritable folder: the error is reported and the old file stays.
    window->showSaveDataPage();
    page->singleFile()->setText(m_dir.filePath("no/such/folder/out.dat"));
    page->headerEditor()->clear();
    page->saveButton()->click();
    EXPECT_TRUE(consoleText().contains("Error: Could not open")) << consoleText().toStdString();
    EXPECT_EQ(kro::test::readFile(out).split('\n').front(), "# first curve");

    // Close changes nothing and lowers the page.
    window->showSaveDataPage();
    page->closeButton()->click();
    EXPECT_EQ(window->centralStack()->currentIndex(), 0);
}

TEST_F(CurvePages, TheSaveDataPageFollowsTheActivePlot)
{
    QAbstractButton* saveData = nullptr;
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        if (b->text() == "Save Data")
            saveData = b;
    ASSERT_NE(saveData, nullptr);
    SaveGUI* page = window->saveDataPage();

    // The page was filled from "Plot 1" (two curves) before the other tab
    // becomes the active plot.
    saveData->click();
    ASSERT_NE(page->selector()->curveBox(2), nullptr);
    page->closeButton()->click();

    // "Archive" holds one curve: a copy of C2, y = 100 - x.
    window->console()->command("copy c2 Archive", true);
    ASSERT_EQ(window->activePlotter(), window->plotterCtrl()->findPlotter("Archive", 0));
    saveData->click();
    EXPECT_EQ(window->centralStack()->currentIndex(), 2);
    EXPECT_NE(page->selector()->curveBox(1), nullptr);
    EXPECT_EQ(page->selector()->curveBox(2), nullptr) << "the page still shows the other plot's curves";
    EXPECT_EQ(page->selector()->selectAllBox(), nullptr);
    const QString out = m_dir.filePath("archive.dat");
    page->singleFile()->setText(out);
    page->headerEditor()->clear();
    page->saveButton()->click();
    const QList<QByteArray> lines = kro::test::readFile(out).trimmed().split('\n');
    ASSERT_EQ(lines.size(), 20);
    for (int i : {0, 7, 19}) {
        const QList<QByteArray> fields = QByteArray(lines[i]).replace(',', ' ').simplified().split(' ');
        ASSERT_EQ(fields.size(), 2) << lines[i].toStdString();
        EXPECT_EQ(fields[0].toDouble(), i);
        EXPECT_EQ(fields[1].toDouble(), 100 - i);
    }

    // Back on "Plot 1", the page shows its two curves again.
    window->plotterCtrl()->setCurrentIndex(0);
    ASSERT_EQ(window->activePlotter()->curves().size(), 2u);
    saveData->click();
    EXPECT_NE(page->selector()->curveBox(2), nullptr);
    EXPECT_NE(page->selector()->selectAllBox(), nullptr);
    // A second click on the toggled button lowers the page.
    saveData->click();
    EXPECT_EQ(window->centralStack()->currentIndex(), 0);
}

TEST_F(CurvePages, InstrumentRowsReachTheirLivePlot)
{
    FileObject columns(QStringLiteral("%Y-%m-%d"), QStringLiteral("%Y-%m-%d %H:%M:%S"), QStringLiteral("%H:%M:%S"));
    columns.m_xColumn = 0;
    columns.m_yColumns = {YColumn{}};
    MiscIO* panel = window->instrumentPanel();
    Q_EMIT panel->linkStatusChanged("Bench meter", columns, 100, true);
    bool ready = false;
    Q_EMIT panel->newDeviceString("Bench meter", "1 2.5\n2 2.75\n", ready);
    EXPECT_TRUE(ready);
    Plotter* live = window->plotterCtrl()->findPlotter("Bench meter", 0);
    ASSERT_NE(live, nullptr);
    ASSERT_NE(live->curve(0), nullptr);
    EXPECT_EQ(live->curve(0)->values.vec(), (std::vector<double>{1, 2.5, 2, 2.75}));
}
