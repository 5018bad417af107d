// The help pages and the help window.
#include "analysis/arithdiag.h"
#include "core/idarray.h"
#include "help/helpgui.h"
#include "platform/labeledwidget.h"
#include "core/settings.h"
#include "help/helppages.h"
#include "import/datetimeformattab.h"
#include "miscio/liveadvancedsetup.h"
#include "miscio/webfetch.h"
#include "support/files.h"
#include "support/prompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QDate>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

const QChar nbsp(0x00A0);

// An opener as the program's dialogs are: it announces its end with closed().
class Opener : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;
Q_SIGNALS:
    void closed();
};

void processDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

TEST(HelpPages, BuiltOnceOnFirstDemandAndUnknownNumbersGiveEmptyEntries)
{
    const int before = helpPageBuildCount();
    const QString page1 = helpPageText(1);
    EXPECT_FALSE(page1.isEmpty());
    for (int page = 0; page < 4; ++page)
        EXPECT_TRUE(helpPageTable().contains(page)) << page;
    if (before == 0) {
        EXPECT_EQ(helpPageBuildCount(), 4);
    }
    const int built = helpPageBuildCount();

    const QMap<int, QString> pagesBefore = helpPageTable();
    EXPECT_TRUE(helpPageText(7).isEmpty());
    EXPECT_TRUE(helpPageTable().contains(7));
    EXPECT_TRUE(helpPageTable().value(7).isEmpty());
    for (int page = 0; page < 4; ++page) {
        EXPECT_EQ(helpPageText(page), pagesBefore.value(page)) << page;
    }
    EXPECT_EQ(helpPageBuildCount(), built);  // nothing was built again
}

// Each page: its title line and the section headings it must hold, in order.
struct PageOutline {
    int page;
    const char* firstLine;
    std::vector<const char*> headings;
};

TEST(HelpPages, EachPageHasItsTitleAndSectionsInOrder)
{
    const std::vector<PageOutline> outlines = {
        {0, "<h3>Arithmetic Command Builder</h3><hr>",
         {"Operation:", "Operand (Value):", "Axis of Operation:", "Operand (Curves):", "Command:"}},
        {1, "<h3>Date/Time Format Specifiers</h3><hr>", {"Date specifiers", "Time specifiers"}},
        {2, "<h3>Live Plotting - Advanced Setup</h3><hr>",
         {"Slide:", "Data Replacement Mode:", "Append Data Mode:", "Use date column:", "Use time column:",
          "Use date/time column:", "Use header row:", "Skip rows:", "Use key column:"}},
        {3, "<h3>KRO - Web Fetch</h3><hr>",
         {"Address:", "Plot Columns:", "Advanced Setup:", "Operation:", "Link to Plotter:", "Connect:",
          "Show Transfer Details:", "Port:", "HTTP Ver:"}},
    };
    for (const PageOutline& o : outlines) {
        SCOPED_TRACE(o.page);
        // Every blank of a page is a no-break space.
        const QString text = helpPageText(o.page);
        EXPECT_FALSE(text.contains(QLatin1Char(' ')));
        const QString plain = QString(text).replace(nbsp, QLatin1Char(' '));
        EXPECT_TRUE(plain.startsWith(QString::fromUtf8(o.firstLine)));
        qsizetype at = 0;
        for (const char* h : o.headings) {
            const qsizetype found = plain.indexOf(QStringLiteral("<h4>%1</h4>").arg(QString::fromUtf8(h)), at);
            EXPECT_GT(found, at) << h;
            at = std::max(at, found);
        }
        // No tag carries attributes, so the blank replacement left markup intact.
        EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("<[a-z0-9]+\\x{00A0}[^>]*>"))));
    }
}

TEST(HelpPages, ArithmeticPageShowsTheGreekPi)
{
    const QString text = helpPageText(0);
    EXPECT_TRUE(text.contains(QStringLiteral("2\u03C0")));
    EXPECT_FALSE(text.contains(QStringLiteral("/pi")));
}

TEST(HelpPages, DateTimePageHoldsBothSpecifierTablesRowByRow)
{
    const QString text = QString(helpPageText(1)).replace(nbsp, QLatin1Char(' '));
    auto row = [](const char* a, const char* b, const char* c) {
        return QStringLiteral("   <tr>      <td>%1</td>      <td>%2</td>      <td>%3</td>   </tr>")
            .arg(QString::fromUtf8(a), QString::fromUtf8(b), QString::fromUtf8(c));
    };
    const qsizetype timeHeading = text.indexOf(QStringLiteral("<h4>Time specifiers</h4>"));
    ASSERT_GT(timeHeading, 0);
    EXPECT_EQ(text.count(row("<u>Specifier</u>", "<u>Description</u>", "<u>Example/Note</u>")), 2);
    // Rows before the time heading belong to the date table, the others after it.
    const struct {
        const char* cells[3];
        bool dateTable;
    } rows[] = {
        {{"%a", "Abbreviated weekday name", "Mon"}, true},
        {{"%j", "Day of year as decimal 001 to 366", "366 for leap years only"}, true},
        {{"%W", "Week number of year as a decimal 00 to 53", "1<sup>st</sup> Monday begins week 01"}, true},
        {{"%Y-%m-%d", "ISO extended format", "2005-04-01"}, true},
        {{"%H", "Hours, range 00 to 24", "---"}, false},
        {{"%s", "Fractional seconds", "15.956445"}, false},
        {{"%H:%M:%s %P", "Standard 12-hour format (fractional)", "01:14:15.956445 PM"}, false},
    };
    for (const auto& r : rows) {
        const qsizetype at = text.indexOf(row(r.cells[0], r.cells[1], r.cells[2]));
        EXPECT_GT(at, 0) << r.cells[0];
        EXPECT_EQ(at < timeHeading, r.dateTable) << r.cells[0];
    }
    EXPECT_EQ(text.count(QStringLiteral("   <tr>")), 2 + 14 + 13);
}

// Every specifier the live setup dialog offers, and those of the default
// formats, is explained on the specifier page; the setup page describes the
// examples the dialog really shows (the present moment in the box's format).
TEST(HelpPages, TheLiveSetupPageAndDialogAgree)
{
    const QString specifiers = QString(helpPageText(1)).replace(nbsp, QLatin1Char(' '));
    LiveAdvancedSetup dialog;
    QStringList formats = {getDateFormat(), getTimeFormat(), getDateTimeFormat()};
    for (LabeledComboBox* box : {dialog.dateFormatBox(), dialog.timeFormatBox(), dialog.datetimeFormatBox()})
        for (int i = 0; i < box->combo()->count(); ++i)
            formats << box->combo()->itemText(i);
    static const QRegularExpression flag(QStringLiteral("%[A-Za-z]"));
    for (const QString& format : formats)
        for (const QRegularExpressionMatch& m : flag.globalMatch(format))
            EXPECT_TRUE(specifiers.contains(QStringLiteral("<td>%1</td>").arg(m.captured())))
                << m.captured().toStdString() << " of " << format.toStdString();

    const QString setup = QString(helpPageText(2)).replace(nbsp, QLatin1Char(' '));
    EXPECT_FALSE(setup.contains(QStringLiteral("May 13, 2006")));
    EXPECT_FALSE(setup.contains(QStringLiteral("shows 08:30:00")));
    EXPECT_TRUE(setup.contains(QStringLiteral("shows today's date in that format")));
    // The dialog's date example is today in its first format, "%Y-%m-%d".
    const QString before = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    const QString shown = dialog.dateExample()->text();
    const QString after = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    EXPECT_TRUE(shown == before || shown == after) << shown.toStdString();
}

TEST(HelpWindow, PlacementBesideTheOpener)
{
    const struct {
        QPoint frame, onScreen;
        QSize opener;
        int height;
        QPoint expected;
    } cases[] = {
        // At the screen's left edge: to the right of the opener's middle.
        {{0, 100}, {0, 200}, {400, 300}, 200, {200, 150}},
        // Far right: to the left of the opener's middle; a short opener near
        // the top puts the window's top at the opener's top.
        {{600, 20}, {1200, 40}, {400, 100}, 300, {400, 20}},
        // Neither: 30 from the left. Halvings truncate (401/2 = 200, 301/2 = 150).
        {{150, 200}, {300, 400}, {401, 301}, 201, {30, 250}},
        // A top exactly at 30 stays.
        {{900, 50}, {1800, 100}, {400, 200}, 240, {700, 30}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HelpGui::placement(c.frame, c.onScreen, c.opener, c.height), c.expected) << c.expected.x();
}

TEST(HelpWindow, ShowsThePageBesideItsOpenerWithTextWidthBounds)
{
    Opener opener;
    opener.resize(400, 300);
    opener.move(0, 300);
    opener.show();
    auto* help = new HelpGui(QStringLiteral("KRO - Datetime Format Specifiers"), 1, &opener);
    QPointer<HelpGui> guard(help);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), QStringLiteral("KRO - Datetime Format Specifiers"));
    EXPECT_TRUE(help->isWindow());
    EXPECT_EQ(help->parentWidget(), nullptr);
    EXPECT_TRUE(help->textView()->toPlainText().contains(QStringLiteral("Abbreviated weekday name")));
    // Left edge of the screen: the window goes right of the opener's middle.
    EXPECT_EQ(help->pos().x(), opener.pos().x() + opener.width() / 2);
    // Both bounds come from the widest line of the page, which is at least
    // as wide as its longest table cell.
    const int widest = help->maximumWidth() - 50;
    EXPECT_GE(widest, help->fontMetrics().horizontalAdvance(QStringLiteral("Week number of year as a decimal 00 to 53")));
    EXPECT_EQ(help->minimumHeight(), std::min(widest + 40, help->screen()->availableGeometry().height()));

    // No line of the specifier tables wraps: the page is as tall as it is
    // laid out without any width limit.
    QApplication::processEvents();
    QTextDocument natural;
    natural.setDefaultFont(help->textView()->font());
    natural.setHtml(helpPageText(1));
    EXPECT_EQ(help->textView()->document()->size().height(), natural.size().height());
    if (const QString out = qEnvironmentVariable("KRO_PICTURES"); !out.isEmpty())
        help->grab().save(out + "/help-specifiers.png");

    // The opener's end ends the window.
    Q_EMIT opener.closed();
    processDeferredDeletes();
    EXPECT_TRUE(guard.isNull());
}

TEST(HelpWindow, GotItDeletesButTheTitleBarOnlyHides)
{
    Opener opener;
    auto* help = new HelpGui(QStringLiteral("Advanced Setup - Help"), 2, &opener);
    QPointer<HelpGui> guard(help);
    help->close();
    processDeferredDeletes();
    ASSERT_FALSE(guard.isNull());
    EXPECT_FALSE(help->isVisible());

    help->show();
    help->gotItButton()->click();
    processDeferredDeletes();
    EXPECT_TRUE(guard.isNull());
}

TEST(HelpWindow, WithoutOpenerFallsBackToTheMainWindowOrNone)
{
    {
        auto* help = new HelpGui(QStringLiteral("KRO - Datetime Format Specifiers"), 1, nullptr);
        QPointer<HelpGui> guard(help);
        EXPECT_EQ(help->opener(), nullptr);
        EXPECT_TRUE(help->isVisible());
        help->gotItButton()->click();
        processDeferredDeletes();
        EXPECT_TRUE(guard.isNull());
    }
    auto* main = new QWidget;
    main->setObjectName(QStringLiteral("KROGui"));
    main->show();
    auto* help = new HelpGui(QStringLiteral("KRO - Datetime Format Specifiers"), 1, nullptr);
    QPointer<HelpGui> guard(help);
    EXPECT_EQ(help->opener(), main);
    delete main;
    processDeferredDeletes();
    EXPECT_TRUE(guard.isNull());
}

TEST(HelpWindow, StayOnTopTwiceReturnsToWhereItWas)
{
    Opener opener;
    auto* help = new HelpGui(QStringLiteral("KRO - Command Builder Help"), 0, &opener);
    const QPoint at = help->pos();
    help->stayOnTopBox()->click();
    EXPECT_TRUE(help->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(help->isVisible());
    help->stayOnTopBox()->click();
    EXPECT_FALSE(help->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(help->pos(), at);
    EXPECT_TRUE(help->isVisible());
    delete help;
}

TEST(HelpWindow, EachPagePrintsItsTextToAPdf)
{
    const struct {
        int page;
        const char* caption;
        std::vector<const char*> texts;
    } cases[] = {
        {0, "KRO - Command Builder Help", {"Arithmetic Command Builder", "Axis of Operation:"}},
        {1, "KRO - Datetime Format Specifiers", {"Date/Time Format Specifiers", "Abbreviated weekday name", "13:14:15.956445"}},
        {2, "Advanced Setup - Help", {"Live Plotting - Advanced Setup", "Data Replacement Mode:"}},
        {3, "KRO - wget help", {"KRO - Web Fetch", "Show Transfer Details:"}},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        Opener opener;
        auto* help = new HelpGui(QString::fromUtf8(c.caption), c.page, &opener);
        EXPECT_EQ(help->windowTitle(), QString::fromUtf8(c.caption));
        const QString pdf = dir.filePath(QStringLiteral("page%1.pdf").arg(c.page));
        {
            kro::test::ScriptedPrompts prompts;
            prompts->answerPrintToPdf(pdf);
            help->printButton()->click();
        }
        const QString text = kro::test::pdfText(pdf);
        for (const char* t : c.texts)
            EXPECT_TRUE(text.contains(QString::fromUtf8(t))) << t << " in\n" << text.toStdString();
        // The first page carries its number.
        EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("(^|\\s)1\\s")))) << text.toStdString();
        delete help;
    }
}

// The dialogs that offer help: their Help button opens their page under
// their caption, beside them, and the page prints.
TEST(HelpWindow, EachDialogOpensItsPageUnderItsCaption)
{
    const auto dialogs = [] {
        std::vector<std::unique_ptr<QWidget>> made;
        made.push_back(std::make_unique<ArithDiag>(nullptr, IdArray::fromIds({0, 1}),
                                                   std::vector<QColor>{Qt::red, Qt::blue},
                                                   QStringList{"a", "b"}));
        made.push_back(std::make_unique<DateTimeFormatTab>(nullptr, QStringLiteral("date")));
        made.push_back(std::make_unique<LiveAdvancedSetup>());
        made.push_back(std::make_unique<WebFetchWidget>());
        return made;
    }();
    const struct {
        const char* caption;
        const char* heading;
        bool besideOpener;
    } cases[] = {
        {"KRO - Command Builder Help", "Arithmetic Command Builder", true},
        // Placed by the active window, which the offscreen platform may not have.
        {"KRO - Datetime Format Specifiers", "Date/Time Format Specifiers", false},
        {"Advanced Setup - Help", "Live Plotting - Advanced Setup", true},
        {"KRO - web fetch help", "KRO - Web Fetch", true},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (std::size_t page = 0; page < std::size(cases); ++page) {
        SCOPED_TRACE(page);
        QWidget* dialog = dialogs[page].get();
        dialog->show();
        QPushButton* helpButton = nullptr;
        for (QPushButton* b : dialog->findChildren<QPushButton*>())
            if (b->text() == QLatin1String("Help") || b->text().contains(QLatin1String("specifiers")))
                helpButton = b;
        ASSERT_NE(helpButton, nullptr);
        helpButton->click();
        HelpGui* help = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* h = qobject_cast<HelpGui*>(w))
                help = h;
        ASSERT_NE(help, nullptr);
        EXPECT_EQ(help->windowTitle(), QString::fromUtf8(cases[page].caption));
        EXPECT_TRUE(help->isVisible());
        if (cases[page].besideOpener) {
            EXPECT_EQ(help->opener(), dialog);
        }
        QTextDocument expected;
        expected.setHtml(helpPageText(int(page)));
        EXPECT_EQ(help->textView()->toPlainText(), expected.toPlainText());

        const QString pdf = dir.filePath(QStringLiteral("dialog%1.pdf").arg(page));
        {
            kro::test::ScriptedPrompts prompts;
            prompts->answerPrintToPdf(pdf);
            help->printButton()->click();
        }
        EXPECT_TRUE(kro::test::pdfText(pdf).contains(QString::fromUtf8(cases[page].heading)));
        delete help;
    }
}

} // namespace

#include "test_helpgui.moc"
