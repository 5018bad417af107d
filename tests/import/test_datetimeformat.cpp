// Date and time formats of the import setup: which formats are valid, how
// a time is written with one, and the format tab that checks every change
// and shows the present moment as an example.
#include "import/datetimeformattab.h"
#include "import/datetimereader.h"

#include "core/exceptions.h"
#include "core/settings.h"
#include "help/helpgui.h"
#include "platform/labeledwidget.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "support/qtprinters.h"
#include "support/test_env.h"

using kro::import::formatDateTime;
using kro::import::isValidDateTimeFormat;

TEST(DateTimeFormat, ValidFormatsUseOnlyTheOfferedFlags)
{
    struct Case {
        const char* format;
        bool valid;
    } cases[] = {
        {"%Y-%m-%d", true},
        {"%a %A %b %B %d %j %m %U %W %w %y %Y %H %M %S %s %p %P %F %z %Z", true},
        {"", true},
        {"no flags at all", true},
        {"%Y-%m-%d%", false},   // a lone % at the end
        {"%%", false},
        {"100%% sure", false},
        {"%Y-%q", false},       // a letter outside the list
        {"%e", false},
        {"%1", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isValidDateTimeFormat(c.format), c.valid) << c.format;
}

TEST(DateTimeFormat, TimesAreWrittenWithTheFormat)
{
    struct Case {
        const char* format;
        const char* time;
        const char* text;
    } cases[] = {
        {"%Y-%m-%d", "2021-08-01 12:30:00", "2021-08-01"},
        {"%H:%M:%S", "2021-08-01 12:30:05", "12:30:05"},
        {"%a %b %d, %Y", "2021-08-01 12:30:00", "Sun Aug 01, 2021"},
        {"%A %B %d", "2005-02-28 00:00:00", "Monday February 28"},
        {"%j", "2021-08-01 00:00:00", "213"},
        {"%y%m%d_%H%M%S", "2005-04-01 13:14:15", "050401_131415"},
        {"%H:%M:%s", "2005-04-01 13:14:15.250", "13:14:15.250000"},
        {"fixed text", "2021-08-01 12:30:00", "fixed text"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatDateTime(QString::fromLatin1(c.format), c.time), QString::fromLatin1(c.text)) << c.format;
}

TEST(DateTimeFormat, BadFormatsAndTimesRaise)
{
    try {
        formatDateTime(QStringLiteral("%Y-%q"), "2021-08-01 12:30:00");
        FAIL() << "an invalid format must raise";
    } catch (const kroexception& e) {
        EXPECT_STREQ(e.what(), "Date/time format specifier (\"%Y-%q\") is not valid.");
    }
    EXPECT_ANY_THROW(formatDateTime(QStringLiteral("%Y"), "not a time"));
}

TEST(DateTimeFormat, AnEmptyTimeIsThePresentLocalTime)
{
    const QString before = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    const QString text = formatDateTime(QStringLiteral("%Y-%m-%d %H:%M"), std::string());
    const QString after = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    EXPECT_TRUE(text == before || text == after) << text.toStdString();
}

namespace {

class FormatTab : public ::testing::Test {
protected:
    void SetUp() override { kro::test::clearSettingsStore(); }
    void TearDown() override { kro::test::clearSettingsStore(); }
};

QString today() { return QDateTime::currentDateTime().toString(QStringLiteral("yyyy")); }

} // namespace

TEST_F(FormatTab, OpensWithTheStoredFormatOfItsKindAndItsPresets)
{
    struct Case {
        const char* kind;
        QString stored;
        int presets;
    } cases[] = {
        {"date", QStringLiteral("%Y-%m-%d"), 7},
        {"time", QStringLiteral("%H:%M:%S%F"), 3},
        {"datetime", QStringLiteral("%Y-%m-%d %H:%M:%S%F"), 5},  // not among the presets, shown all the same
        {"anything else", QStringLiteral("%Y-%m-%d %H:%M:%S%F"), 5},
    };
    for (const Case& c : cases) {
        DateTimeFormatTab tab(nullptr, QString::fromLatin1(c.kind));
        EXPECT_EQ(tab.format(), c.stored) << c.kind;
        EXPECT_EQ(tab.formatBox()->combo()->count(), c.presets) << c.kind;
        EXPECT_TRUE(tab.isValid());
        // The example shows the present moment in the format.
        EXPECT_EQ(tab.example()->label()->text().size(), formatDateTime(c.stored, std::string()).size()) << c.kind;
        if (QString::fromLatin1(c.kind) != QLatin1String("time")) {
            EXPECT_TRUE(tab.example()->label()->text().startsWith(today())) << c.kind;
        }
        EXPECT_TRUE(tab.usingLabel()->text().startsWith(QStringLiteral("(using: ")));
        EXPECT_EQ(tab.title(), QStringLiteral("Field Definition"));
    }

    writeSetting(QStringLiteral("dateformat"), QStringLiteral("%d.%m.%Y"));
    DateTimeFormatTab stored(nullptr, QStringLiteral("date"));
    EXPECT_EQ(stored.format(), QStringLiteral("%d.%m.%Y"));
}

TEST_F(FormatTab, EveryKeystrokeIsCheckedAndOnlyValidFormatsAreAnnounced)
{
    DateTimeFormatTab tab(nullptr, QStringLiteral("date"));
    QSignalSpy verified(&tab, &DateTimeFormatTab::formatVerified);
    QSignalSpy changed(&tab, &DateTimeFormatTab::formatChanged);
    QLineEdit* edit = tab.formatBox()->combo()->lineEdit();
    edit->clear();
    verified.clear();
    changed.clear();
    QTest::keyClicks(edit, QStringLiteral("%Y-%"));
    // "%", "%Y", "%Y-", "%Y-%": four checks, the first and the last fail.
    ASSERT_EQ(verified.size(), 4);
    EXPECT_FALSE(verified[0][0].toBool());
    EXPECT_TRUE(verified[1][0].toBool());
    EXPECT_TRUE(verified[2][0].toBool());
    EXPECT_FALSE(verified[3][0].toBool());
    EXPECT_EQ(changed.size(), 2);
    EXPECT_FALSE(tab.isValid());
    EXPECT_EQ(tab.example()->label()->text(), QStringLiteral("Format error"));
    EXPECT_TRUE(tab.example()->label()->styleSheet().contains(QLatin1String("red")));

    QTest::keyClicks(edit, QStringLiteral("m"));
    EXPECT_TRUE(tab.isValid());
    EXPECT_EQ(tab.example()->label()->text(), formatDateTime(QStringLiteral("%Y-%m"), std::string()));
    EXPECT_EQ(changed.size(), 3);
    EXPECT_EQ(changed.last()[0].value<const DateTimeFormatTab*>(), &tab);
}

TEST_F(FormatTab, SetFormatAsAnEditOrSilently)
{
    DateTimeFormatTab tab(nullptr, QStringLiteral("time"));
    QSignalSpy verified(&tab, &DateTimeFormatTab::formatVerified);
    QSignalSpy changed(&tab, &DateTimeFormatTab::formatChanged);
    tab.setFormat(QStringLiteral("%H-%M (24 h)"), false);
    EXPECT_EQ(tab.format(), QStringLiteral("%H-%M"));  // the text before "(" counts
    EXPECT_EQ(changed.size(), 1);

    tab.setFormat(QStringLiteral("mixed"), true);
    EXPECT_EQ(tab.format(), QStringLiteral("mixed"));
    EXPECT_EQ(tab.example()->label()->text(), QStringLiteral("mixed"));
    EXPECT_EQ(changed.size(), 1) << "a silent setting announces no new format";
    EXPECT_TRUE(verified.last()[0].toBool());

    tab.setFormat(QStringLiteral("%Q"), true);
    EXPECT_FALSE(tab.isValid());
    EXPECT_EQ(tab.example()->label()->text(), QStringLiteral("Format error"));
    EXPECT_EQ(changed.size(), 1);
}

TEST_F(FormatTab, MoreSpecifiersOpensTheFormatHelpPage)
{
    DateTimeFormatTab tab(nullptr, QStringLiteral("date"));
    tab.show();
    EXPECT_TRUE(tab.helpButton()->isFlat());
    EXPECT_TRUE(tab.helpButton()->font().underline());
    tab.helpButton()->click();
    HelpGui* help = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* h = qobject_cast<HelpGui*>(w))
            help = h;
    ASSERT_TRUE(help);
    EXPECT_EQ(help->windowTitle(), QStringLiteral("KRO - Datetime Format Specifiers"));
    EXPECT_TRUE(help->textView()->toPlainText().contains(QStringLiteral("Date/Time Format Specifiers")));
    delete help;
}
