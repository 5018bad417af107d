// The import setup window: the pages it makes for the files, the plot
// command it composes, Ok, Cancel and Reload, files it cannot read, and the
// round trip from a plot command through the window to an equivalent one.
#include "import/filesetup.h"

#include "core/filenames.h"
#include "core/settings.h"
#include "import/combotable.h"
#include "import/commandcomposer.h"
#include "import/datetimeformattab.h"
#include "import/fileoptionparser.h"
#include "import/filesettingspage.h"
#include "import/filetemplatepage.h"
#include "import/imagebutton.h"
#include "platform/embeddedimages.h"
#include "platform/labeledwidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "load_helpers.h"
#include "support/files.h"
#include "support/qtprinters.h"
#include "support/test_env.h"

namespace {

void pick(FileSettingsPage* page, int column, const QString& role)
{
    page->table()->setColumnRole(column, role, false);
}

ScalingTab* scaling(const FileSettingsPage* page, const QString& role)
{
    return qobject_cast<ScalingTab*>(page->tabFor(role));
}

DateTimeFormatTab* formatTab(const FileSettingsPage* page, const QString& role)
{
    return qobject_cast<DateTimeFormatTab*>(page->tabFor(role));
}

class Setup : public ::testing::Test {
protected:
    void SetUp() override
    {
        kro::test::clearSettingsStore();
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override { kro::test::clearSettingsStore(); }
    QString write(const QString& name, const QByteArray& bytes) { return kro::test::writeFile(dir.filePath(name), bytes); }
    QString columns(const QString& name, int n, int rows = 6)
    {
        QByteArray b;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < n; ++c)
                b += QByteArray::number(r * 10 + c) + (c + 1 < n ? " " : "\n");
        return write(name, b);
    }
    std::unique_ptr<FileSetup> open(const QStringList& files)
    {
        auto s = std::make_unique<FileSetup>();
        QObject::connect(s.get(), &FileSetup::transcript, [this](const QString& t) { transcripts << t; });
        s->setFiles(files);
        return s;
    }
    // One file whose first columns hold a date and a time, and y1 the third.
    std::unique_ptr<FileSetup> openDated(const QString& path)
    {
        auto s = open({path});
        FileSettingsPage* p = s->filePages()[0];
        pick(p, 0, QStringLiteral("date"));
        pick(p, 1, QStringLiteral("time"));
        pick(p, 2, QStringLiteral("y1"));
        return s;
    }
    QTemporaryDir dir;
    QStringList transcripts;
};

} // namespace

TEST_F(Setup, OneFileWithTheDefaultRolesGivesTheBareCommand)
{
    const QString a = columns("a.dat", 3);
    auto s = open({a});
    EXPECT_EQ(s->windowTitle(), QStringLiteral("KRO File Setup"));
    EXPECT_EQ(s->objectName(), QStringLiteral("filesetup"));
    ASSERT_EQ(s->pageList()->count(), 1);
    EXPECT_EQ(s->pageList()->item(0)->text(), a);
    EXPECT_EQ(s->pageStack()->indexOf(s->defaultPage()), -1) << "one file: the Default Page is not listed";
    EXPECT_TRUE(s->okButton()->isEnabled());
    EXPECT_EQ(s->buildCommand(), QStringLiteral("kro -f %1 ").arg(a));
    s->appendBox()->setChecked(true);
    EXPECT_EQ(s->buildCommand(), QStringLiteral("kro -f %1 -append ").arg(a));

    s->show();
    EXPECT_EQ(s->size(), QSize(920, 590));
    s->resize(500, 400);
    s->hide();
    s->show();
    EXPECT_EQ(s->size(), QSize(920, 590)) << "every showing";
}

TEST_F(Setup, NamesWithBlanksAndDroppedUrls)
{
    const QString spaced = columns("My Data.dat", 2);
    const QString url = QStringLiteral("file://") + QString(spaced).replace(QLatin1Char(' '), QLatin1String("%20"));
    auto s = open({url});
    EXPECT_EQ(s->pageList()->item(0)->text(), spaced);
    EXPECT_EQ(s->buildCommand(), QStringLiteral("kro -f \"%1\" ").arg(spaced));
    EXPECT_TRUE(transcripts.isEmpty());
}

TEST_F(Setup, NamesAPlotCommandCannotCarryAreRefusedBeforeOk)
{
    struct Case {
        const char* name;
        const char* reason; // empty: the name can be written
    } cases[] = {
        {"quo\"te.dat", "double quote"},
        {"line\nbreak.dat", "line break"},
        {"carriage\rreturn.dat", "line break"},
        {"star*.dat", "wildcard"},
        {"tab\tin name.dat", ""},
        {"it's fine.dat", ""},
    };
    for (const Case& c : cases) {
        const QString path = columns(QString::fromUtf8(c.name), 2);
        auto s = open({path});
        const FileSettingsPage* p = s->filePages()[0];
        ASSERT_FALSE(p->hasNoData()) << c.name << ": the file itself is readable";
        if (*c.reason) {
            EXPECT_FALSE(s->okButton()->isEnabled()) << c.name;
            EXPECT_TRUE(s->okButton()->toolTip().contains(QLatin1String(c.reason))) << s->okButton()->toolTip().toStdString();
            EXPECT_TRUE(p->problemLabel()->text().contains(QLatin1String(c.reason))) << c.name;
            EXPECT_EQ(s->pageList()->item(0)->foreground().color(), QColor(Qt::red)) << c.name;
            QSignalSpy closed(s.get(), qOverload<FileSetup*, bool>(&FileSetup::closed));
            s->on_ok();
            EXPECT_EQ(closed.size(), 0) << c.name;
        } else {
            EXPECT_TRUE(s->okButton()->isEnabled()) << c.name;
            EXPECT_TRUE(p->problemLabel()->text().isEmpty()) << c.name;
            // The composed command names this file and nothing else.
            const CurveMap curves = kro::test::loadCommandCurves(s->buildCommand());
            ASSERT_EQ(curves.size(), 1u) << s->buildCommand().toStdString();
            EXPECT_EQ(curves.begin()->second.pointCount(), 6u) << c.name;
        }
    }
}

TEST_F(Setup, ANameThatIsNotUtf8IsPreviewedAndItsCommandLoads)
{
    const QByteArray path = kro::encodeFileName(dir.path()) + "/bad\xff\xfename.dat";
    kro::test::writeFileAtBytes(path, "1 10\n2 20\n3 30\n");

    const QString name = kro::decodeFileName(path);
    auto s = open({name});
    const FileSettingsPage* p = s->filePages()[0];
    EXPECT_FALSE(p->hasNoData()) << p->readProblem().toStdString();
    EXPECT_EQ(p->table()->columnCount(), 2);
    EXPECT_TRUE(s->okButton()->isEnabled()) << s->okButton()->toolTip().toStdString();
    EXPECT_TRUE(transcripts.isEmpty());

    const CurveMap curves = kro::test::loadCommandCurves(s->buildCommand());
    ASSERT_EQ(curves.size(), 1u);
    const std::vector<std::pair<double, double>> expected{{1, 10}, {2, 20}, {3, 30}};
    EXPECT_EQ(kro::test::pointsOf(curves.begin()->second), expected);
}

TEST_F(Setup, RoleBoxesShowWholeAndDateRolesLeaveTheColumnsInPlace)
{
    const QString path = write("dated.dat", "01.03.2024 12:00:00 5 6\n02.03.2024 12:00:01 7 8\n");
    auto s = open({path});
    s->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(s.get()));
    FileSettingsPage* p = s->filePages()[0];
    ComboTable* t = p->table();
    ASSERT_EQ(t->columnCount(), 4);
    auto settle = [] {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    };
    settle();
    for (int c = 0; c < 4; ++c) {
        QComboBox* box = t->roleBox(c);
        ASSERT_TRUE(box);
        EXPECT_GE(box->height(), box->sizeHint().height()) << "column " << c;
        EXPECT_EQ(box->visibleRegion().boundingRect(), box->rect()) << "column " << c << ": the box is cut";
    }

    // Where each column's box and preview cells start, in window pixels.
    auto columnEdges = [&] {
        std::vector<int> edges{s->width(), p->width()};
        for (int c = 0; c < 4; ++c) {
            edges.push_back(t->roleRow()->viewport()->mapTo(s.get(), QPoint(t->roleRow()->columnViewportPosition(c), 0)).x());
            edges.push_back(t->preview()->viewport()->mapTo(s.get(), QPoint(t->preview()->columnViewportPosition(c), 0)).x());
        }
        return edges;
    };
    const std::vector<int> before = columnEdges();
    pick(p, 0, QStringLiteral("date"));
    settle();
    EXPECT_EQ(columnEdges(), before) << "date";
    pick(p, 1, QStringLiteral("time"));
    settle();
    EXPECT_EQ(columnEdges(), before) << "time";
    pick(p, 2, QStringLiteral("datetime"));
    settle();
    EXPECT_EQ(columnEdges(), before) << "datetime";
    pick(p, 2, QStringLiteral("y1"));
    settle();

    // What is typed into a format box stays as typed.
    DateTimeFormatTab* time = formatTab(p, QStringLiteral("time"));
    ASSERT_TRUE(time);
    QLineEdit* edit = time->formatBox()->combo()->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("%H:%M"));
    EXPECT_EQ(time->format(), QStringLiteral("%H:%M"));
    time->setFormat(QStringLiteral("%H:%M:%S"), false);

    // The stored date format reads none of these dates: Ok waits, and says why.
    DateTimeFormatTab* date = formatTab(p, QStringLiteral("date"));
    ASSERT_TRUE(date);
    EXPECT_EQ(date->format(), QStringLiteral("%Y-%m-%d"));
    EXPECT_FALSE(s->okButton()->isEnabled());
    EXPECT_TRUE(s->okButton()->toolTip().contains(QLatin1String("reads none of the lines shown in column 1")))
        << s->okButton()->toolTip().toStdString();
    EXPECT_TRUE(p->problemLabel()->isVisibleTo(p));
    EXPECT_TRUE(p->problemLabel()->text().contains(QLatin1String("01.03.2024")));
    date->setFormat(QStringLiteral("%d.%m.%Y"), false);
    EXPECT_TRUE(s->okButton()->isEnabled()) << s->okButton()->toolTip().toStdString();
    EXPECT_FALSE(p->problemLabel()->isVisibleTo(p));
}

TEST_F(Setup, SeveralFilesShowTheDefaultPageAndWriteOnlyWhatDiffers)
{
    const QString a = columns("a.dat", 3);
    const QString b = columns("b.dat", 5);
    auto s = open({a, b});
    EXPECT_EQ(s->pageList()->item(0)->text(), QStringLiteral("All Files"));
    EXPECT_EQ(s->pageStack()->widget(0), s->defaultPage());
    EXPECT_EQ(s->pageList()->currentRow(), 1);
    EXPECT_EQ(s->pageStack()->currentWidget(), s->filePages()[0]);
    EXPECT_EQ(s->commonColumnCount(), 3);
    EXPECT_EQ(s->defaultPage()->table()->columnCount(), 3);

    FileSettingsPage* first = s->filePages()[0];
    FileSettingsPage* second = s->filePages()[1];
    pick(first, 2, QStringLiteral("y1"));
    EXPECT_EQ(s->buildCommand(), QStringLiteral("kro -f %1 -y 3 -f %2 -y 2 ").arg(a, b));
    pick(first, 1, QStringLiteral("y1"));
    pick(second, 2, QStringLiteral("y1"));
    EXPECT_EQ(s->buildCommand(), QStringLiteral("kro -f %1 -y 2 -f %2 -y 3 ").arg(a, b));
    pick(second, 1, QStringLiteral("y1"));

    scaling(s->defaultPage(), QStringLiteral("y1"))->row(ScalingTab::MUL)->edit()->setText(QStringLiteral("10"));
    EXPECT_EQ(s->buildCommand(), QStringLiteral("kro -f %1 -mul 10 -f %2 ").arg(a, b));

    // Choosing a page in the list shows it.
    s->pageList()->setCurrentRow(0);
    EXPECT_EQ(s->pageStack()->currentWidget(), s->defaultPage());
}

TEST_F(Setup, DateAndTimeColumnsWriteTheirFormatsWhenTheyDiffer)
{
    const QString a = write("dt.dat", "2021-08-01,12:00:00,5\n2021-08-01,12:30:00,6\n");
    auto s = openDated(a);
    FileSettingsPage* p = s->filePages()[0];
    EXPECT_EQ(s->buildCommand(), QStringLiteral("kro -f %1 -d 1 -t 2 -y 3 ").arg(a));
    formatTab(p, QStringLiteral("date"))->setFormat(QStringLiteral("%d/%m/%Y"), false);
    formatTab(p, QStringLiteral("time"))->setFormat(QStringLiteral("%H %M %S"), false);
    EXPECT_EQ(s->buildCommand(),
              QStringLiteral("kro -f %1 -d 1 -dateformat %d/%m/%Y -t 2 -timeformat \"%H %M %S\" -y 3 ").arg(a));
}

TEST_F(Setup, OkWaitsForEveryFormatAndNumberToBeValid)
{
    auto s = openDated(write("dt.dat", "2021-08-01,12:00:00,5,6\n"));
    FileSettingsPage* p = s->filePages()[0];
    ASSERT_TRUE(s->okButton()->isEnabled());
    formatTab(p, QStringLiteral("date"))->setFormat(QStringLiteral("%Y-%Q"), false);
    EXPECT_FALSE(s->okButton()->isEnabled());
    // A later good check of another tab leaves Ok off while the date tab is bad.
    formatTab(p, QStringLiteral("time"))->setFormat(QStringLiteral("%H:%M"), false);
    EXPECT_FALSE(s->okButton()->isEnabled());
    EXPECT_FALSE(s->okButton()->toolTip().isEmpty());
    formatTab(p, QStringLiteral("date"))->setFormat(QStringLiteral("%Y-%m-%d"), false);
    EXPECT_TRUE(s->okButton()->isEnabled());
    // Removing the date column's role takes its bad format with it.
    formatTab(p, QStringLiteral("date"))->setFormat(QStringLiteral("%"), false);
    EXPECT_FALSE(s->okButton()->isEnabled());
    pick(p, 0, QStringLiteral("-"));
    EXPECT_TRUE(s->okButton()->isEnabled());

    // A scaling text that is no number would be written as 0.
    scaling(p, QStringLiteral("y1"))->row(ScalingTab::DIV)->edit()->setText(QStringLiteral("abc"));
    EXPECT_FALSE(s->okButton()->isEnabled());
    scaling(p, QStringLiteral("y1"))->row(ScalingTab::DIV)->edit()->setText(QStringLiteral("4"));
    EXPECT_TRUE(s->okButton()->isEnabled());
    EXPECT_TRUE(s->buildCommand().contains(QLatin1String("-div 4 ")));
}

TEST_F(Setup, FilesThatCannotBeShownAreReportedAndBlockOk)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        bool create;
        bool reported;
    } cases[] = {
        {"missing.dat", {}, false, true},
        {"binary.dat", QByteArray("\x7F" "ELF\0\0\x01", 7), true, true},
        {"utf16.dat", QByteArray("\xFF\xFE" "1\0 \0" "2\0\n\0", 10), true, true},
        {"empty.dat", {}, true, false},
    };
    for (const Case& c : cases) {
        transcripts.clear();
        const QString path = c.create ? write(c.name, c.bytes) : dir.filePath(c.name);
        auto s = open({path});
        EXPECT_FALSE(s->okButton()->isEnabled()) << c.name;
        const FileSettingsPage* p = s->filePages()[0];
        EXPECT_TRUE(p->hasNoData()) << c.name;
        EXPECT_FALSE(p->problemLabel()->text().isEmpty()) << c.name;
        if (c.reported) {
            EXPECT_EQ(transcripts, QStringList{QStringLiteral("File Setup: Error reading file %1").arg(path)}) << c.name;
        } else {
            EXPECT_TRUE(transcripts.isEmpty()) << c.name;
        }
        // The command is still composed; Cancel closes as always.
        EXPECT_EQ(s->buildCommand(), QStringLiteral("kro -f %1 -x 0 ").arg(path));
        QSignalSpy closed(s.get(), qOverload<FileSetup*, bool>(&FileSetup::closed));
        s->cancelButton()->click();
        ASSERT_EQ(closed.size(), 1);
        EXPECT_FALSE(closed[0][1].toBool());
    }
}

TEST_F(Setup, AmongSeveralFilesOnlyTheBadOneIsMarked)
{
    const QString bad = dir.filePath("absent.dat");
    auto s = open({bad, columns("good.dat", 2)});
    const QColor red(Qt::red);
    EXPECT_NE(s->pageList()->item(0)->foreground().color(), red) << "All Files";
    EXPECT_EQ(s->pageList()->item(1)->foreground().color(), red);
    EXPECT_NE(s->pageList()->item(2)->foreground().color(), red);
    EXPECT_FALSE(s->okButton()->isEnabled());
    EXPECT_TRUE(s->okButton()->toolTip().startsWith(bad));
}

TEST_F(Setup, ReloadRereadsTheVisiblePageAndTheCommonColumns)
{
    const QString a = columns("a.dat", 2);
    const QString b = columns("b.dat", 3);
    auto s = open({a, b});
    EXPECT_EQ(s->defaultPage()->table()->columnCount(), 2);
    QByteArray grown = kro::test::readFile(a);
    grown += "1 2 3 4\n";
    write("a.dat", grown);
    s->pageList()->setCurrentRow(2);  // b's page: a is not read again
    QTest::mouseClick(s->reloadButton()->picture(), Qt::LeftButton);
    EXPECT_EQ(s->filePages()[0]->table()->columnCount(), 2);
    s->pageList()->setCurrentRow(1);
    QTest::mouseClick(s->reloadButton()->picture(), Qt::LeftButton);
    EXPECT_EQ(s->filePages()[0]->table()->columnCount(), 4);
    EXPECT_EQ(s->defaultPage()->table()->columnCount(), 3);
}

TEST_F(Setup, OkCancelAndTheFrameAllEndInClosed)
{
    auto s = open({columns("a.dat", 2)});
    s->show();
    QSignalSpy closed(s.get(), qOverload<FileSetup*, bool>(&FileSetup::closed));
    QSignalSpy plain(s.get(), qOverload<>(&FileSetup::closed));
    s->okButton()->click();
    s->cancelButton()->click();
    s->close();
    ASSERT_EQ(closed.size(), 3);
    EXPECT_EQ(closed[0][0].value<FileSetup*>(), s.get());
    EXPECT_TRUE(closed[0][1].toBool());
    EXPECT_FALSE(closed[1][1].toBool());
    EXPECT_FALSE(closed[2][1].toBool());
    EXPECT_EQ(plain.size(), 3);
    EXPECT_TRUE(s->isVisible()) << "the frame's close leaves the decision to the receiver";
}

TEST(ImageButtonWidget, SizedToItsPictureAndClickedOnRelease)
{
    ImageButton button(embeddedPixmap(QStringLiteral("reload.png")), QStringLiteral("Reload"), 15);
    button.setImageSize(50, 50);
    EXPECT_EQ(button.width(), 80);
    EXPECT_EQ(button.height(), 80 + button.captionLabel()->sizeHint().height());
    EXPECT_EQ(button.picture()->size(), QSize(50, 50));

    QSignalSpy clicked(&button, &ImageButton::clicked);
    button.show();
    QTest::mousePress(button.picture(), Qt::LeftButton);
    EXPECT_EQ(button.picture()->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(button.picture()->frameShape(), QFrame::Panel);
    EXPECT_TRUE(clicked.isEmpty());
    QTest::mouseRelease(button.picture(), Qt::LeftButton);
    EXPECT_EQ(clicked.size(), 1);
    EXPECT_EQ(button.picture()->frameShape(), QFrame::NoFrame);
    QTest::mouseClick(button.picture(), Qt::RightButton);
    EXPECT_EQ(clicked.size(), 1);

    // The picture fills its 50 x 50 square; the margins around it stay bare.
    const QImage shot = button.grab().toImage();
    const QImage picture = embeddedPixmap(QStringLiteral("reload.png")).toImage();
    ASSERT_FALSE(picture.isNull());
    const QRgb background = shot.pixel(2, 2);
    int differing = 0;
    for (int y = 15; y < 65; ++y)
        for (int x = 15; x < 65; ++x)
            differing += shot.pixel(x, y) != background;
    EXPECT_GT(differing, 100) << "the picture is drawn";
    for (int y = 0; y < 65; ++y)
        for (int x = 0; x < 80; ++x)
            if (x < 15 || x >= 65 || y < 15) {
                ASSERT_EQ(shot.pixel(x, y), background) << x << "," << y;
            }
}

// ------------------------------------------------------------------ round trip

namespace {

// Gives a file page the settings of one data source, the way a user would.
void applySource(FileSettingsPage* page, const FileObject& fo)
{
    page->headerBox()->setValue(fo.m_header >= 0 ? fo.m_header + 1 : 0, false);
    page->skipBox()->setValue(fo.m_skip, false);
    page->getBox()->setValue(fo.m_get > 0 ? fo.m_get : 0, false);
    for (int c = 0; c < page->table()->columnCount(); ++c)
        if (page->columnRole(c) != QLatin1String("-"))
            pick(page, c, QStringLiteral("-"));
    if (fo.m_xColumn >= 0)
        pick(page, fo.m_xColumn, QStringLiteral("x"));
    for (std::size_t i = 0; i < fo.m_yColumns.size(); ++i)
        pick(page, fo.m_yColumns[i].column, QStringLiteral("y%1").arg(i + 1));
    const std::pair<int, const char*> others[] = {{fo.m_keyColumn, "k"},
                                                  {fo.m_dateColumn, "date"},
                                                  {fo.m_timeColumn, "time"},
                                                  {fo.m_datetimeColumn, "datetime"}};
    for (const auto& [column, role] : others)
        if (column >= 0)
            pick(page, column, QString::fromLatin1(role));

    auto setRows = [](ScalingTab* tab, double add, double sub, double mul, double div) {
        ASSERT_TRUE(tab);
        const double values[4] = {add, sub, mul, div};
        for (int r = 0; r < 4; ++r)
            tab->setRowText(ScalingTab::Row(r), kro::import::commandNumber(values[r]), false);
    };
    const XScale& xs = fo.m_xScale;
    setRows(scaling(page, QStringLiteral("x")), xs.add, xs.sub, xs.mul, xs.div);
    for (std::size_t i = 0; i < fo.m_yColumns.size(); ++i) {
        const YColumn& y = fo.m_yColumns[i];
        setRows(scaling(page, QStringLiteral("y%1").arg(i + 1)), y.add, y.sub, y.mul, y.div);
    }
    const std::pair<int, QString> formats[] = {{fo.m_dateColumn, fo.m_dateFormat},
                                               {fo.m_timeColumn, fo.m_timeFormat},
                                               {fo.m_datetimeColumn, fo.m_datetimeFormat}};
    const char* kinds[] = {"date", "time", "datetime"};
    for (int k = 0; k < 3; ++k)
        if (formats[k].first >= 0)
            formatTab(page, QString::fromLatin1(kinds[k]))->setFormat(formats[k].second, false);
}

} // namespace

TEST_F(Setup, ACommandOpenedInTheWindowAndComposedAgainLoadsTheSameCurves)
{
    QByteArray a = "# measured on bench 3\nday clock key x a b c\nunits are arbitrary\n";
    const char* keys[] = {"K1", "K2", "K1", "K3", "K2", "K1", "K3", "K2"};
    for (int i = 0; i < 8; ++i)
        a += QStringLiteral("2021-08-%1,12:%2:00,%3,%4,%5,%6,%7\n")
                 .arg(i + 1, 2, 10, QLatin1Char('0'))
                 .arg(i * 5, 2, 10, QLatin1Char('0'))
                 .arg(QLatin1String(keys[i]))
                 .arg(51544.125 + i * 0.5, 0, 'f', 6)
                 .arg(i * i)
                 .arg(100 - i * 3)
                 .arg(i % 3 + 0.25)
                 .toLatin1();
    QByteArray b;
    for (int i = 0; i < 6; ++i)
        b += QStringLiteral("2021-09-%1T0%2:30:00 %3 %4\n").arg(i + 10).arg(i).arg(i * 2).arg(i * 3 + 1).toLatin1();
    QByteArray c;
    for (int i = 0; i < 10; ++i)
        c += QStringLiteral("%1 %2 %3\n").arg(i).arg(1000 + i * 7).arg(0.001 * i).toLatin1();
    const QString fa = write("a.csv", a), fb = write("b.dat", b), fc = write("c.dat", c);

    const QString commands[] = {
        "kro -f %1 -header 2 -skip 1 -x 4 -y 5 6",
        "kro -f %1 -header 2 -skip 1 -x 4 -y 5 -addx 1 -subx 0.25 -mulx 2 -divx 4 -add 3 -sub 1 -mul 10 -div 8",
        "kro -f %1 -header 2 -skip 1 -x 0 -y 5 6 7 -mul 2 3 -add 0.5 -get 5",
        "kro -f %1 -header 2 -skip 1 -k 3 -x 4 -y 5 6",
        "kro -f %1 -header 2 -skip 1 -d 1 -dateformat %Y-%m-%d -t 2 -timeformat %H:%M:%S -y 5",
        "kro -f %1 -header 2 -skip 1 -d 1 -y 7 -divx 3",
        "kro -f %2 -dt 1 -datetimeformat %Y-%m-%dT%H:%M:%S -y 2 3",
        "kro -f %3 -x 2 -y 1 3 -addx 51544.123456 -mul 0.001 -add 1e-07",
        // Column options go to the files by position: "-dt 0" keeps the
        // first two files free of the third one's date-and-time column.
        "kro -f %1 -header 2 -skip 1 -x 4 -y 5 -mul 10 -dt 0 -f %3 -x 1 -y 2 3 -dt 0 -f %2 -dt 1 "
        "-datetimeformat %Y-%m-%dT%H:%M:%S -y 3",
        "kro -f %3 -skip 4 -get 3 -y 2 -f %3 -y 3 -sub 2",
    };
    for (const QString& pattern : commands) {
        const QString command = QString(pattern)
                                    .replace(QLatin1String("%1"), fa)
                                    .replace(QLatin1String("%2"), fb)
                                    .replace(QLatin1String("%3"), fc);
        FileOptionParser parser(command);
        ASSERT_TRUE(parser.parse()) << command.toStdString();
        QStringList files;
        for (const FileObject& fo : parser.fileObjects())
            files << fo.m_file;
        auto s = open(files);
        ASSERT_EQ(s->filePages().size(), parser.fileObjects().size());
        for (std::size_t i = 0; i < parser.fileObjects().size(); ++i)
            applySource(s->filePages()[i], parser.fileObjects()[i]);
        ASSERT_TRUE(s->okButton()->isEnabled()) << command.toStdString() << "\n" << s->okButton()->toolTip().toStdString();
        const QString composed = s->buildCommand();

        const CurveMap expected = kro::test::loadCommandCurves(command);
        const CurveMap got = kro::test::loadCommandCurves(composed);
        ASSERT_FALSE(expected.empty()) << command.toStdString();
        ASSERT_EQ(got.size(), expected.size()) << command.toStdString() << "\n" << composed.toStdString();
        for (const auto& [index, curve] : expected) {
            ASSERT_TRUE(got.count(index)) << index;
            EXPECT_EQ(kro::test::pointsOf(got.at(index)), kro::test::pointsOf(curve))
                << command.toStdString() << "\n" << composed.toStdString();
        }
    }
}
