// The save-data page: curve check boxes with their "Select All", one file or
// one file per curve, default file names, the header and the layout choice.
#include "tabs/savegui.h"

#include "core/mjd.h"
#include "core/settings.h"
#include "platform/labeledwidget.h"

#include <QButtonGroup>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "support/qtprinters.h"
#include "support/test_env.h"

namespace {

const std::map<int, Rgb> kThree{{1, Rgb(0xff0000)}, {2, Rgb(0x00ff00)}, {3, Rgb(0x0000ff)}};

class SavePage : public ::testing::Test {
protected:
    void SetUp() override
    {
        kro::test::clearSettingsStore();
        ASSERT_TRUE(m_data.isValid());
        writeSetting(QStringLiteral("opath"), m_data.path());
        SaveFileList::forgetFolder();
        page = std::make_unique<SaveGUI>();
    }
    void TearDown() override { SaveFileList::forgetFolder(); }

    QTemporaryDir m_data;
    std::unique_ptr<SaveGUI> page;
};

} // namespace

TEST_F(SavePage, OneCurveForcesASingleFile)
{
    page->uniqueFilesButton()->setChecked(true);
    page->raiseMultipleFileOutput();
    page->setCurves({{4, Rgb(0x123456)}});
    EXPECT_EQ(page->selector()->selectAllBox(), nullptr);
    EXPECT_TRUE(page->singleFileButton()->isChecked());
    EXPECT_EQ(page->fileStack()->currentIndex(), 0);
    for (QRadioButton* b : {page->uniqueFilesButton(), page->style1Button(), page->style2Button()})
        EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
    ASSERT_NE(page->selector()->curveBox(4), nullptr);
    EXPECT_TRUE(page->selector()->curveBox(4)->isChecked());
    EXPECT_EQ(page->selector()->curveBox(4)->text(), "C4");
    EXPECT_EQ(page->selector()->curveBox(4)->palette().color(QPalette::WindowText), QColor(0x12, 0x34, 0x56));
    EXPECT_TRUE(page->saveButton()->isEnabled());

    page->setCurves({});
    EXPECT_FALSE(page->saveButton()->isEnabled());
    EXPECT_TRUE(page->fileNames().empty());
}

TEST_F(SavePage, SelectAllFollowsTheCurvesAndCyclesThem)
{
    page->setCurves(kThree);
    CurveSelectorList* list = page->selector();
    QCheckBox* all = list->selectAllBox();
    ASSERT_NE(all, nullptr);
    // "Select All" shows whole inside the list's visible part.
    page->resize(900, 600);
    page->show();
    QApplication::processEvents();
    EXPECT_GE(all->width(), all->sizeHint().width());
    EXPECT_LE(all->mapTo(list->viewport(), QPoint(all->sizeHint().width(), 0)).x(), list->viewport()->width());
    EXPECT_EQ(all->checkState(), Qt::Checked);
    QSignalSpy made(list, &CurveSelectorList::selectionMade);

    list->curveBox(2)->click();
    EXPECT_EQ(all->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(list->selectedCurves(), (std::vector<int>{1, 3}));
    EXPECT_EQ(made.takeLast().at(0).toBool(), true);

    all->click(); // partial -> on: every curve
    EXPECT_EQ(list->selectedCurves(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(all->checkState(), Qt::Checked);
    all->click(); // on -> off: none, and Save goes off
    EXPECT_TRUE(list->selectedCurves().empty());
    EXPECT_EQ(all->checkState(), Qt::Unchecked);
    EXPECT_FALSE(page->saveButton()->isEnabled());
    all->click(); // off -> partial: every curve again
    EXPECT_EQ(list->selectedCurves(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(all->checkState(), Qt::Checked);
    EXPECT_TRUE(page->saveButton()->isEnabled());

    for (int n : {1, 2, 3})
        list->curveBox(n)->click();
    EXPECT_EQ(all->checkState(), Qt::Unchecked);
    EXPECT_FALSE(page->saveButton()->isEnabled());
}

TEST_F(SavePage, FileNamesOfTheCheckedCurves)
{
    page->setCurves(kThree);
    page->selector()->curveBox(2)->click();
    const QString single = page->singleFile()->value().text;
    // Combined: every checked curve goes to the one file.
    EXPECT_EQ(page->fileNames(), (std::map<int, QString>{{1, single}, {3, single}}));
    // Unique: each checked curve to its own row.
    page->uniqueFilesButton()->click();
    EXPECT_EQ(page->fileStack()->currentIndex(), 1);
    page->fileList()->entry(3)->setText("/tmp/three.dat");
    const std::map<int, QString> names = page->fileNames();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names.at(1), page->fileList()->entry(1)->value().text);
    EXPECT_EQ(names.at(3), "/tmp/three.dat");
    page->singleFileButton()->click();
    EXPECT_EQ(page->fileStack()->currentIndex(), 0);
}

TEST_F(SavePage, DefaultNamesLieInTheDataFolder)
{
    const double before = currentMjdHighRes();
    page->setCurves(kThree);
    const double after = currentMjdHighRes();
    const QRegularExpression pattern("^(.*)/krodata_(c2_)?(\\d{5}\\.\\d{5})\\.dat$");
    const QRegularExpressionMatch row = pattern.match(page->fileList()->entry(2)->value().text);
    ASSERT_TRUE(row.hasMatch()) << page->fileList()->entry(2)->value().text.toStdString();
    EXPECT_EQ(row.captured(1), QDir::cleanPath(m_data.path()));
    EXPECT_EQ(row.captured(2), "c2_");
    const double mjd = row.captured(3).toDouble();
    EXPECT_GE(mjd, std::floor(before * 1e5) / 1e5);
    EXPECT_LE(mjd, std::ceil(after * 1e5) / 1e5);
    const QRegularExpressionMatch single = pattern.match(page->singleFile()->value().text);
    ASSERT_TRUE(single.hasMatch());
    EXPECT_TRUE(single.captured(2).isEmpty());

    // A data folder that does not exist gives names in the home folder.
    writeSetting(QStringLiteral("opath"), m_data.filePath("missing"));
    SaveFileList::forgetFolder();
    EXPECT_TRUE(SaveFileList::defaultFileName("c1").startsWith(QDir::homePath() + "/krodata_c1_"));
}

TEST_F(SavePage, HeaderLayoutAndButtons)
{
    page->setCurves(kThree);
    EXPECT_FALSE(page->writeHeaderBox()->isChecked());
    EXPECT_EQ(page->styleFlags(), 2);
    EXPECT_TRUE(page->headerText().isNull());
    // Typing a header checks the box and the pictures show a header line.
    page->headerEditor()->setPlainText("# run 7");
    EXPECT_TRUE(page->writeHeaderBox()->isChecked());
    EXPECT_EQ(page->style1Pictures()->currentIndex(), 1);
    EXPECT_EQ(page->style2Pictures()->currentIndex(), 1);
    EXPECT_EQ(page->headerText(), "# run 7");
    EXPECT_EQ(page->styleFlags(), 3);
    // A click on either style switches the pair.
    page->style1Button()->click();
    EXPECT_TRUE(page->style2Button()->isChecked());
    EXPECT_FALSE(page->style1Button()->isChecked());
    EXPECT_EQ(page->styleFlags(), 5);
    page->style1Button()->click();
    EXPECT_TRUE(page->style1Button()->isChecked());
    EXPECT_FALSE(page->style2Button()->isChecked());
    page->headerEditor()->clear();
    EXPECT_FALSE(page->writeHeaderBox()->isChecked());
    EXPECT_EQ(page->style1Pictures()->currentIndex(), 0);

    QSignalSpy closed(page.get(), &SaveGUI::closeClicked);
    page->closeButton()->click();
    page->saveButton()->click();
    ASSERT_EQ(closed.count(), 2);
    EXPECT_FALSE(closed.at(0).at(0).toBool());
    EXPECT_TRUE(closed.at(1).at(0).toBool());
}

TEST(ScrollListRows, RowsStayInKeyOrderAndAReplacedRowGoes)
{
    ScrollList list;
    QPointer<QWidget> old = new QLabel("old");
    list.addRow(5, new QLabel("five"));
    list.addRow(1, new QLabel("one"));
    list.addRow(3, old);
    list.addRow(3, new QLabel("three"));
    EXPECT_TRUE(old.isNull());
    QStringList shown;
    for (const auto& [key, row] : list.rows())
        shown << static_cast<QLabel*>(row)->text();
    EXPECT_EQ(shown, (QStringList{"one", "three", "five"}));
    QWidget* frame = list.widget();
    QStringList laidOut;
    for (int i = 0; i < frame->layout()->count(); ++i)
        if (auto* label = qobject_cast<QLabel*>(frame->layout()->itemAt(i)->widget()))
            laidOut << label->text();
    EXPECT_EQ(laidOut, shown);
    list.clearRows();
    EXPECT_TRUE(list.rows().empty());
    EXPECT_TRUE(frame->findChildren<QLabel*>().isEmpty());
}
