// The settings page of one file and its scaling tabs: the tabs that come
// and go with the roles, the column entries the command is built
// from, the line counts, and the Default Page that copies to every file and
// shows what the files share.
#include "import/filesettingspage.h"
#include "import/filetemplatepage.h"

#include "import/combotable.h"
#include "import/datetimeformattab.h"
#include "platform/labeledwidget.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/files.h"
#include "support/qtprinters.h"
#include "support/test_env.h"

namespace {

QStringList tabLabels(const FileSettingsPage& page)
{
    QStringList labels;
    for (int i = 0; i < page.tabs()->count(); ++i)
        labels << page.tabs()->tabText(i);
    return labels;
}

// The user picks a role in a column's box.
void pick(FileSettingsPage& page, int column, const QString& role)
{
    QComboBox* box = page.table()->roleBox(column);
    ASSERT_TRUE(box) << column;
    const int index = box->findText(role);
    ASSERT_GE(index, 0) << role.toStdString();
    box->setCurrentIndex(index);
}

ScalingTab* scaling(const FileSettingsPage& page, const QString& role)
{
    return qobject_cast<ScalingTab*>(page.tabFor(role));
}

class Page : public ::testing::Test {
protected:
    void SetUp() override
    {
        kro::test::clearSettingsStore();
        ASSERT_TRUE(dir.isValid());
    }
    QString write(const QString& name, const QByteArray& bytes) { return kro::test::writeFile(dir.filePath(name), bytes); }
    // A file of rows with the given number of columns.
    QString columns(const QString& name, int n, int rows = 5)
    {
        QByteArray b;
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < n; ++c)
                b += QByteArray::number(r * 10 + c) + (c + 1 < n ? " " : "\n");
        }
        return write(name, b);
    }
    std::unique_ptr<FileSettingsPage> page(const QString& path)
    {
        auto p = std::make_unique<FileSettingsPage>(path);
        p->populateTable();
        p->table()->assignDefaultRoles();
        return p;
    }
    QTemporaryDir dir;
};

} // namespace

TEST(ScalingTabRows, DefaultsNumbersAndTextsThatAreNone)
{
    ScalingTab tab(nullptr, QStringLiteral("y1"));
    EXPECT_EQ(tab.title(), QStringLiteral("Scaling"));
    const ScalingValues v = tab.values();
    EXPECT_EQ((std::array<double, 4>{v.add, v.sub, v.mul, v.div}), (std::array<double, 4>{0, 0, 1, 1}));
    EXPECT_TRUE(tab.hasValidNumbers());

    QSignalSpy mul(&tab, &ScalingTab::changed_mul);
    tab.row(ScalingTab::MUL)->edit()->setText(QStringLiteral("1e3"));
    ASSERT_EQ(mul.size(), 1);
    EXPECT_EQ(mul[0][0].value<const ScalingTab*>(), &tab);
    EXPECT_EQ(tab.values().mul, 1000.0);

    tab.row(ScalingTab::DIV)->edit()->setText(QStringLiteral("ten"));
    EXPECT_EQ(tab.values().div, 0.0) << "a text that is not a number reads 0";
    EXPECT_FALSE(tab.hasValidNumbers());
    EXPECT_TRUE(tab.row(ScalingTab::DIV)->edit()->styleSheet().contains(QLatin1String("red")));
    tab.row(ScalingTab::DIV)->edit()->setText(QStringLiteral("2"));
    EXPECT_TRUE(tab.hasValidNumbers());
    EXPECT_TRUE(tab.row(ScalingTab::DIV)->edit()->styleSheet().isEmpty());
}

TEST_F(Page, TabsComeAndGoWithTheRoles)
{
    auto p = page(columns("a.dat", 5));
    EXPECT_EQ(tabLabels(*p), (QStringList{"x", "y1"}));
    EXPECT_EQ(p->tabs()->currentWidget(), p->tabFor("y1"));

    pick(*p, 2, "y2");
    EXPECT_EQ(tabLabels(*p), (QStringList{"x", "y1", "y2"}));
    EXPECT_EQ(p->tabs()->currentWidget(), p->tabFor("y2"));
    scaling(*p, "y2")->row(ScalingTab::MUL)->edit()->setText("10");

    pick(*p, 2, "-");
    EXPECT_EQ(tabLabels(*p), (QStringList{"x", "y1"}));
    pick(*p, 2, "y2");
    EXPECT_EQ(scaling(*p, "y2")->values().mul, 1.0) << "a new tab starts from the defaults";

    pick(*p, 3, "k");
    EXPECT_EQ(tabLabels(*p), (QStringList{"x", "y1", "y2"}));
    pick(*p, 4, "x");
    EXPECT_EQ(tabLabels(*p).count(QStringLiteral("x")), 1);
    EXPECT_EQ(p->columnRole(0), QStringLiteral("-"));

    pick(*p, 3, "date");
    EXPECT_TRUE(qobject_cast<DateTimeFormatTab*>(p->tabFor("date")));
    EXPECT_EQ(p->formatFor("date"), QStringLiteral("%Y-%m-%d"));
    EXPECT_EQ(p->keyColumn(), -1) << "the key went with the column's new role";

    const std::map<int, QString> expected{{1, "y1"}, {2, "y2"}, {3, "date"}, {4, "x"}};
    EXPECT_EQ(p->roles(), expected);
}

TEST_F(Page, ColumnEntriesForTheCommand)
{
    auto p = page(columns("a.dat", 6));
    pick(*p, 0, "-");
    pick(*p, 1, "-");
    pick(*p, 3, "y1");
    pick(*p, 1, "y3");
    scaling(*p, "y3")->row(ScalingTab::ADD)->edit()->setText("2.5");
    auto specs = p->columnSpecs();
    ASSERT_EQ(specs.size(), 6u);
    EXPECT_EQ(specs[0].roleCode, ColumnSpec::X);
    EXPECT_EQ(specs[0].column, -1) << "no x and no date: points are numbered";
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(specs[std::size_t(k)].roleCode, ColumnSpec::UNASSIGNED);
    EXPECT_EQ(specs[4].column, 3) << "y1 first";
    EXPECT_EQ(specs[5].column, 1) << "then y3";
    EXPECT_EQ(specs[5].add, 2.5);

    pick(*p, 5, "time");
    pick(*p, 4, "k");
    specs = p->columnSpecs();
    EXPECT_EQ(specs[0].column, 0) << "a date or time column makes x the first column";
    EXPECT_EQ(specs[3].roleCode, ColumnSpec::TIME);
    EXPECT_EQ(specs[3].column, 5);
    EXPECT_EQ(specs[3].format, QStringLiteral("%H:%M:%S%F"));
    EXPECT_EQ(p->keyColumn(), 4);
    pick(*p, 2, "x");
    EXPECT_EQ(p->columnSpecs()[0].column, 0) << "a time column after x still counts as the first column";
    pick(*p, 5, "-");
    EXPECT_EQ(p->columnSpecs()[0].column, 2);
}

TEST_F(Page, HeaderAndSkipRereadThePreviewGetDoesNot)
{
    const QString path = columns("a.dat", 2, 30);
    auto p = page(path);
    QSignalSpy header(p.get(), &FileSettingsPage::headerValueChanged);
    QSignalSpy get(p.get(), &FileSettingsPage::getValueChanged);
    EXPECT_EQ(p->headerBox()->spinBox()->text(), QStringLiteral("Off"));
    EXPECT_EQ(p->skipBox()->spinBox()->text(), QStringLiteral("None"));
    EXPECT_EQ(p->getBox()->spinBox()->text(), QStringLiteral("All"));

    p->headerBox()->spinBox()->setValue(2);
    ASSERT_EQ(header.size(), 1);
    EXPECT_EQ(header[0][0].toInt(), 2);
    EXPECT_EQ(p->headerBox()->spinBox()->text(), QStringLiteral("Row 2"));
    EXPECT_EQ(p->table()->preview()->verticalHeaderItem(0)->text(), QStringLiteral("2"));

    p->skipBox()->spinBox()->setValue(3);
    EXPECT_EQ(p->table()->preview()->verticalHeaderItem(1)->text(), QStringLiteral("6"));

    columns("a.dat", 4, 30); // the file changes; Get alone does not re-read it
    p->getBox()->spinBox()->setValue(7);
    EXPECT_EQ(get.size(), 1);
    EXPECT_EQ(p->table()->columnCount(), 2);
    p->skipBox()->spinBox()->setValue(4);
    EXPECT_EQ(p->table()->columnCount(), 4);
}

TEST_F(Page, AFileThatCannotBeReadSaysSoOnThePage)
{
    auto p = std::make_unique<FileSettingsPage>(dir.filePath("gone.dat"));
    QSignalSpy errors(p.get(), &FileSettingsPage::fileReadError);
    p->populateTable();
    EXPECT_EQ(errors.size(), 1);
    EXPECT_TRUE(p->hasNoData());
    EXPECT_FALSE(p->problemLabel()->isHidden());
    EXPECT_TRUE(p->problemLabel()->text().contains(QLatin1String("does not exist")));
}

// ------------------------------------------------------------------ Default Page

namespace {

class Defaults : public Page {
protected:
    // Two or more file pages under a Default Page, connected as the import
    // setup window connects them.
    void build(const std::vector<QString>& paths)
    {
        d = std::make_unique<FileTemplatePage>();
        for (const QString& path : paths) {
            files.push_back(page(path));
            FileSettingsPage* f = files.back().get();
            d->addFilePage(f);
            QObject::connect(f, &FileSettingsPage::columnSelected, d.get(), &FileTemplatePage::syncColumnSelections);
            QObject::connect(f, &FileSettingsPage::datetimeformatChanged, d.get(),
                             &FileTemplatePage::syncDatetimeFormat);
            QObject::connect(f, &FileSettingsPage::getValueChanged, d.get(), &FileTemplatePage::syncGetValue);
            QObject::connect(f, &FileSettingsPage::headerValueChanged, d.get(), &FileTemplatePage::syncHeaderValue);
            QObject::connect(f, &FileSettingsPage::skipValueChanged, d.get(), &FileTemplatePage::syncSkipValue);
            QObject::connect(f, &FileSettingsPage::valueChangedAdd, d.get(), &FileTemplatePage::syncAdd);
            QObject::connect(f, &FileSettingsPage::valueChangedDiv, d.get(), &FileTemplatePage::syncDiv);
            QObject::connect(f, &FileSettingsPage::valueChangedMul, d.get(), &FileTemplatePage::syncMul);
            QObject::connect(f, &FileSettingsPage::valueChangedSub, d.get(), &FileTemplatePage::syncSub);
        }
        int common = 0;
        for (const auto& f : files)
            if (f->table()->columnCount() < common || common == 0)
                common = f->table()->columnCount();
        d->setColumnCount(common);
    }
    std::unique_ptr<FileTemplatePage> d;
    std::vector<std::unique_ptr<FileSettingsPage>> files;
};

} // namespace

TEST_F(Defaults, RolesShowWhatAllFilesShareOrMixed)
{
    build({columns("a.dat", 3), columns("b.dat", 5)});
    EXPECT_EQ(d->table()->columnCount(), 3) << "only the columns all files have";
    EXPECT_EQ(d->table()->preview()->rowCount(), 0);
    EXPECT_EQ(d->columnRole(1), QStringLiteral("y1"));

    pick(*files[0], 1, "y2");
    EXPECT_EQ(d->columnRole(1), QStringLiteral("Mixed"));
    pick(*files[1], 1, "y2");
    EXPECT_EQ(d->columnRole(1), QStringLiteral("y2"));
    QStringList entries;
    for (int i = 0; i < d->table()->roleBox(1)->count(); ++i)
        entries << d->table()->roleBox(1)->itemText(i);
    EXPECT_FALSE(entries.contains(QStringLiteral("Mixed")));
    EXPECT_TRUE(d->tabFor("y2")) << "the Default Page's record follows";
}

TEST_F(Defaults, ARoleChosenOnTheDefaultPageReachesEveryFile)
{
    build({columns("a.dat", 3), columns("b.dat", 3)});
    pick(*d, 2, "x");
    for (const auto& f : files) {
        EXPECT_EQ(f->columnRole(2), QStringLiteral("x"));
        EXPECT_EQ(f->columnRole(0), QStringLiteral("-")) << "each file keeps one x";
        EXPECT_EQ(f->columnSpecs()[0].column, 2);
    }
    EXPECT_EQ(d->columnRole(0), QStringLiteral("-"));
    pick(*d, 2, "y3");
    for (const auto& f : files)
        EXPECT_TRUE(f->tabFor("y3"));
}

TEST_F(Defaults, LineCountsAreCopiedAndShownAsMixedWhenTheyDiffer)
{
    build({columns("a.dat", 2, 30), columns("b.dat", 2, 30)});
    d->headerBox()->spinBox()->setValue(2);
    for (const auto& f : files) {
        EXPECT_EQ(f->headerValue(), 2);
        EXPECT_EQ(f->headerBox()->spinBox()->text(), QStringLiteral("Row 2"));
        EXPECT_EQ(f->table()->preview()->verticalHeaderItem(0)->text(), QStringLiteral("2"))
            << "the file's preview is read again";
    }
    files[0]->headerBox()->spinBox()->setValue(3);
    EXPECT_EQ(d->headerBox()->spinBox()->text(), QStringLiteral("mixed"));
    files[0]->headerBox()->spinBox()->setValue(2);
    EXPECT_EQ(d->headerBox()->spinBox()->text(), QStringLiteral("Row 2"));

    // "mixed" shows as 0: a file moving to 0 while the other differs stays mixed.
    files[0]->skipBox()->spinBox()->setValue(4);
    EXPECT_EQ(d->skipBox()->spinBox()->text(), QStringLiteral("mixed"));
    files[1]->skipBox()->spinBox()->setValue(1);
    files[0]->skipBox()->spinBox()->setValue(0);
    EXPECT_EQ(d->skipBox()->spinBox()->text(), QStringLiteral("mixed"));

    d->getBox()->spinBox()->setValue(9);
    for (const auto& f : files)
        EXPECT_EQ(f->getValue(), 9);
    EXPECT_EQ(d->getBox()->spinBox()->text(), QStringLiteral("9"));
}

TEST_F(Defaults, ScalingIsCopiedToFilesWithTheTabAndComparedAsText)
{
    // A one-column file leaves the Default Page one column, so its "y1" tab
    // stays whatever the other columns hold.
    build({columns("a.dat", 3), columns("b.dat", 3), columns("c.dat", 1)});
    pick(*files[1], 1, "y2"); // the second file has no "y1" tab any more
    ASSERT_TRUE(scaling(*d, "y1"));
    scaling(*d, "y1")->row(ScalingTab::MUL)->edit()->setText("10");
    EXPECT_EQ(scaling(*files[0], "y1")->rowText(ScalingTab::MUL), QStringLiteral("10"));
    EXPECT_EQ(scaling(*files[2], "y1")->rowText(ScalingTab::MUL), QStringLiteral("10"));
    EXPECT_FALSE(files[1]->tabFor("y1"));
    EXPECT_EQ(scaling(*files[1], "y2")->rowText(ScalingTab::MUL), QStringLiteral("1"));

    scaling(*files[0], "y1")->row(ScalingTab::MUL)->edit()->setText("10.0");
    EXPECT_EQ(scaling(*d, "y1")->rowText(ScalingTab::MUL), QStringLiteral("mixed"));
    scaling(*files[0], "y1")->row(ScalingTab::MUL)->edit()->setText("10");
    EXPECT_EQ(scaling(*d, "y1")->rowText(ScalingTab::MUL), QStringLiteral("10"));
}

TEST_F(Defaults, FormatsAreCopiedAndShownAsMixed)
{
    build({columns("a.dat", 3), columns("b.dat", 3)});
    pick(*d, 2, "date");
    auto* own = qobject_cast<DateTimeFormatTab*>(d->tabFor("date"));
    ASSERT_TRUE(own);
    own->setFormat(QStringLiteral("%d/%m/%Y"), false);
    for (const auto& f : files)
        EXPECT_EQ(f->formatFor("date"), QStringLiteral("%d/%m/%Y"));

    qobject_cast<DateTimeFormatTab*>(files[1]->tabFor("date"))->setFormat(QStringLiteral("%Y.%m.%d"), false);
    EXPECT_EQ(own->format(), QStringLiteral("mixed"));
    EXPECT_EQ(own->example()->label()->text(), QStringLiteral("mixed"));

    // An invalid format on the Default Page reaches no file.
    own->setFormat(QStringLiteral("%Q"), false);
    EXPECT_EQ(files[0]->formatFor("date"), QStringLiteral("%d/%m/%Y"));
}
