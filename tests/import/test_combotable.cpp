// The column-role table: the preview of a file's first lines, the role
// boxes above it, the rule that a role belongs to one column, and files that
// cannot be shown.
#include "import/combotable.h"

#include "core/exceptions.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

#include "support/files.h"
#include "support/qtprinters.h"

namespace {

class Table : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString write(const QString& name, const QByteArray& bytes) { return kro::test::writeFile(dir.filePath(name), bytes); }

    static QString cell(const ComboTable& t, int row, int column)
    {
        if (const auto* label = qobject_cast<QLabel*>(t.preview()->cellWidget(row, column)))
            return label->text();
        const QTableWidgetItem* item = t.preview()->item(row, column);
        return item ? item->text() : QString();
    }
    static QStringList row(const ComboTable& t, int r)
    {
        QStringList cells;
        for (int c = 0; c < t.columnCount(); ++c)
            cells << cell(t, r, c);
        return cells;
    }
    static QStringList rowLabels(const ComboTable& t)
    {
        QStringList labels;
        for (int r = 0; r < t.preview()->rowCount(); ++r)
            labels << t.preview()->verticalHeaderItem(r)->text();
        return labels;
    }
    static QStringList roles(const ComboTable& t)
    {
        QStringList r;
        for (int c = 0; c < t.columnCount(); ++c)
            r << t.headerSelection(c);
        return r;
    }
    static QStringList entries(const ComboTable& t, int column)
    {
        QStringList e;
        for (int i = 0; i < t.roleBox(column)->count(); ++i)
            e << t.roleBox(column)->itemText(i);
        return e;
    }
    // A numbered file: line n holds "n", "n*10" and "n*100".
    QString numbered(int lines)
    {
        QByteArray b;
        for (int n = 1; n <= lines; ++n)
            b += QByteArray::number(n) + " " + QByteArray::number(n * 10) + " " + QByteArray::number(n * 100) + "\n";
        return write(QStringLiteral("numbered.dat"), b);
    }

    QTemporaryDir dir;
};

} // namespace

TEST(ComboTableRoles, OneColumnOffersY1AloneMoreColumnsTheFullList)
{
    EXPECT_EQ(ComboTable::roleList(1), QStringList{"y1"});
    EXPECT_EQ(ComboTable::roleList(3),
              (QStringList{"-", "x", "y1", "y2", "y3", "k", "date", "time", "datetime"}));
}

TEST_F(Table, FieldsSplitAtSeparatorsAndApostrophesDropTheRest)
{
    ComboTable t;
    t.readFile(write("f.dat", "1,2;3 4\nab'cd 5\n'q 6 7\n"), 0, 0);
    ASSERT_EQ(t.columnCount(), 4);
    EXPECT_EQ(row(t, 0), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(row(t, 1), (QStringList{"ab", "5", "", ""}));
    EXPECT_EQ(row(t, 2), (QStringList{"", "6", "7", ""}));
    EXPECT_EQ(t.preview()->rowCount(), ComboTable::kPreviewRows);
    EXPECT_EQ(row(t, 3), (QStringList{"", "", "", ""}));
    EXPECT_TRUE(t.readProblem().isEmpty());
    // Role boxes stand above the columns, each as wide as its column.
    ASSERT_EQ(t.roleRow()->columnCount(), 4);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(t.roleRow()->columnWidth(c), t.preview()->columnWidth(c));
}

TEST_F(Table, HeaderAndSkipChooseTheLinesAndLabelTheRowsWithLineNumbers)
{
    QByteArray b = "line1\nline2\n\"time stamp\",volts;amps\n";
    for (int n = 4; n <= 40; ++n)
        b += QByteArray::number(n) + " 0 0\n";
    const QString path = write("h.dat", b);
    ComboTable t;
    t.readFile(path, 3, 2);
    EXPECT_EQ(row(t, 0), (QStringList{"time stamp", "volts", "amps"}));
    EXPECT_EQ(row(t, 1).first(), QStringLiteral("6")) << "the first data row is line 6";
    EXPECT_EQ(rowLabels(t).mid(0, 3), (QStringList{"3", "6", "7"}));
    EXPECT_EQ(rowLabels(t).last(), QStringLiteral("19"));
    const auto* label = qobject_cast<QLabel*>(t.preview()->cellWidget(0, 0));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->alignment(), Qt::AlignCenter);

    // Without a header the rows are the file's lines after the skipped ones,
    // and no header name is left in row 0.
    t.readFile(path, 0, 30);
    EXPECT_EQ(row(t, 0).first(), QStringLiteral("31"));
    EXPECT_EQ(rowLabels(t).first(), QStringLiteral("31"));
    EXPECT_FALSE(t.preview()->cellWidget(0, 0));
    // Rows past the file's end are empty: nothing stays from the earlier reading.
    EXPECT_EQ(row(t, 9).first(), QStringLiteral("40"));
    for (int r = 10; r < ComboTable::kPreviewRows; ++r)
        EXPECT_EQ(row(t, r).join(QString()), QString()) << r;
}

TEST_F(Table, TooLargeAHeaderOrSkipLeavesTheRowsAndSaysWhy)
{
    ComboTable t;
    const QString path = numbered(5);
    t.readFile(path, 0, 0);
    const QStringList first = row(t, 0), second = row(t, 1);
    for (auto [header, skip] : {std::pair{9, 0}, std::pair{0, 7}, std::pair{2, 4}}) {
        testing::internal::CaptureStderr();
        t.readFile(path, header, skip);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "Error. Skip parameter too large. Not enough points to continue.\n");
        EXPECT_EQ(row(t, 1), second) << header << " " << skip;
        EXPECT_FALSE(t.readProblem().isEmpty());
    }
    // Only a header row that could be read shows its new names.
    EXPECT_EQ(row(t, 0), (QStringList{"2", "20", "200"}));
    EXPECT_NE(row(t, 0), first);
}

TEST_F(Table, DefaultRolesAndOneRolePerColumn)
{
    ComboTable one;
    QSignalSpy oneSelected(&one, &ComboTable::columnSelected);
    one.readFile(write("one.dat", "1\n2\n"), 0, 0);
    one.assignDefaultRoles();
    EXPECT_EQ(entries(one, 0), QStringList{"y1"});
    EXPECT_EQ(roles(one), QStringList{"y1"});
    ASSERT_EQ(oneSelected.size(), 1);
    EXPECT_EQ(oneSelected[0][1].toString(), QStringLiteral("y1"));

    ComboTable t;
    t.readFile(numbered(3), 0, 0);
    QSignalSpy selected(&t, &ComboTable::columnSelected);
    QSignalSpy removed(&t, &ComboTable::columnRemoved);
    t.assignDefaultRoles();
    EXPECT_EQ(roles(t), (QStringList{"x", "y1", "-"}));
    ASSERT_EQ(selected.size(), 2);
    EXPECT_EQ(selected[0][0].toInt(), 0);
    EXPECT_EQ(selected[1][1].toString(), QStringLiteral("y1"));

    // The user picks "x" for the third column: the first falls back to "-".
    selected.clear();
    t.roleBox(2)->setCurrentIndex(t.roleBox(2)->findText(QStringLiteral("x")));
    EXPECT_EQ(roles(t), (QStringList{"-", "y1", "x"}));
    ASSERT_EQ(removed.size(), 1);
    EXPECT_EQ(removed[0][0].toInt(), 0);
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0][0].toInt(), 2);
    EXPECT_EQ(selected[0][1].toString(), QStringLiteral("x"));

    // "-" removes the column's role.
    removed.clear();
    t.roleBox(1)->setCurrentIndex(0);
    ASSERT_EQ(removed.size(), 1);
    EXPECT_EQ(removed[0][0].toInt(), 1);

    // A role the list lacks is appended; quiet settings signal nothing.
    selected.clear();
    t.setColumnRole(1, QStringLiteral("y7"), true);
    EXPECT_EQ(t.headerSelection(1), QStringLiteral("y7"));
    EXPECT_EQ(entries(t, 1).last(), QStringLiteral("y7"));
    EXPECT_TRUE(selected.isEmpty());
    t.setColumnRole(0, QStringLiteral("y7"), false);
    EXPECT_EQ(roles(t), (QStringList{"y7", "-", "x"}));
    EXPECT_EQ(selected.size(), 1);

    // Removing the selected entry falls back to the first.
    t.removeRoleEntry(0, QStringLiteral("y7"));
    EXPECT_EQ(t.headerSelection(0), QStringLiteral("-"));
    EXPECT_FALSE(entries(t, 0).contains(QStringLiteral("y7")));
}

TEST_F(Table, RebuildingKeepsEachColumnsRoleAndTheColumnsOnlyGrow)
{
    ComboTable t;
    const QString path = write("grow.dat", "1 2\n");
    t.readFile(path, 0, 0);
    t.assignDefaultRoles();
    write("grow.dat", "1 2 3 4\n");
    t.readFile(path, 0, 0);
    EXPECT_EQ(roles(t), (QStringList{"x", "y1", "-", "-"}));
    EXPECT_EQ(entries(t, 3), ComboTable::roleList(4));
    write("grow.dat", "1\n");
    t.readFile(path, 0, 0);
    EXPECT_EQ(t.columnCount(), 4);
    EXPECT_EQ(roles(t), (QStringList{"x", "y1", "-", "-"}));
}

TEST_F(Table, FilesWithoutDataShowWhyAndKeepWhatWasShown)
{
    ComboTable t;
    QSignalSpy errors(&t, &ComboTable::fileReadError);
    t.readFile(write("blank.dat", "\n  \n,;\n"), 0, 0);
    EXPECT_EQ(t.columnCount(), 0);
    ASSERT_EQ(t.roleRow()->columnCount(), 1);
    EXPECT_EQ(t.roleRow()->item(0, 0)->text(), QStringLiteral("NO DATA DETECTED"));
    EXPECT_TRUE(t.roleRow()->horizontalHeader()->isHidden());
    EXPECT_FALSE(t.readProblem().isEmpty());
    EXPECT_TRUE(errors.isEmpty());

    t.readFile(write("empty.dat", ""), 0, 0);
    EXPECT_EQ(t.readProblem(), QStringLiteral("The file is empty."));

    // Data arriving later brings the role boxes back.
    t.readFile(numbered(2), 0, 0);
    EXPECT_EQ(t.columnCount(), 3);
    EXPECT_TRUE(t.roleBox(0));
    EXPECT_FALSE(t.roleRow()->horizontalHeader()->isHidden());

    for (const QString& bad : {dir.filePath("missing.dat"), write("bin.dat", QByteArray("1\0 2\n", 5)),
                               write("u16.dat", QByteArray("\xFF\xFE" "1\0\n\0", 6))}) {
        errors.clear();
        t.readFile(bad, 0, 0);
        ASSERT_EQ(errors.size(), 1);
        EXPECT_EQ(errors[0][0].toString(), bad);
        EXPECT_TRUE(t.readFailed());
        EXPECT_FALSE(t.readProblem().isEmpty());
        EXPECT_EQ(row(t, 0), (QStringList{"1", "10", "100"})) << "the preview keeps its rows";
    }
}

TEST_F(Table, AHugeSparseFileShowsItsFirstLines)
{
    const QString path = numbered(40);
    ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), off_t(1) << 30), 0);
    ComboTable t;
    t.readFile(path, 0, 0);
    EXPECT_EQ(row(t, 14), (QStringList{"15", "150", "1500"}));
    // Asking for lines beyond the text reaches the hole, which ends it.
    testing::internal::CaptureStderr();
    t.readFile(path, 0, 1000);
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(t.readProblem().isEmpty());
}

TEST_F(Table, ManyColumnsAreCutAtTheBound)
{
    QByteArray line;
    for (int i = 0; i < ComboTable::kMaxColumns + 50; ++i)
        line += QByteArray::number(i) + " ";
    ComboTable t;
    t.readFile(write("wide.dat", line + "\n"), 0, 0);
    EXPECT_EQ(t.columnCount(), ComboTable::kMaxColumns);
    EXPECT_TRUE(t.readProblem().contains(QString::number(ComboTable::kMaxColumns)));
}

TEST_F(Table, BadColumnNumbersAndScrolling)
{
    ComboTable t;
    t.readFile(numbered(3), 0, 0);
    EXPECT_TRUE(t.headerSelection(3).isNull());
    try {
        t.headerSelection(-2);
        FAIL() << "a negative column must raise";
    } catch (const kroexception& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("Error: Invalid column number (-2) passed to ComboTable::headerSelection().\n", 0), 0u);
        EXPECT_NE(text.find("issue tracker"), std::string::npos);
    }

    // The role row follows the preview's horizontal scroll bar.
    ComboTable wide;
    QByteArray line;
    for (int i = 0; i < 40; ++i)
        line += "123456789 ";
    wide.readFile(write("scroll.dat", line + "\n"), 0, 0);
    wide.resize(300, 400);
    wide.show();
    QScrollBar* bar = wide.preview()->horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum() / 2);
    EXPECT_EQ(wide.roleRow()->horizontalScrollBar()->value(), bar->value());
}
