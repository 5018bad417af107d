// The web-fetch window's controls and the live-plot advanced setup dialog.
#include <gtest/gtest.h>

#include "miscio/liveadvancedsetup.h"
#include "miscio/webfetch.h"
#include "platform/analogtimer.h"
#include "platform/labeledwidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTextEdit>

namespace {

// ------------------------------------------------------------------ advanced setup

TEST(LiveAdvancedSetup, DateTimeColumnExcludesDateAndTimeColumns)
{
    LiveAdvancedSetup d;
    QSignalSpy spy(&d, &LiveAdvancedSetup::dateTimeEnabled);
    d.useDateBox()->setChecked(true);
    d.useTimeBox()->setChecked(true);
    EXPECT_TRUE(d.dateColumnBox()->isEnabled());
    EXPECT_TRUE(d.timeFormatBox()->isEnabled());

    d.useDatetimeBox()->setChecked(true);
    EXPECT_FALSE(d.useDateBox()->isChecked());
    EXPECT_FALSE(d.useTimeBox()->isChecked());
    for (QWidget* w : {static_cast<QWidget*>(d.dateColumnBox()), static_cast<QWidget*>(d.dateFormatBox()),
                       static_cast<QWidget*>(d.dateExample()), static_cast<QWidget*>(d.timeColumnBox()),
                       static_cast<QWidget*>(d.timeFormatBox()), static_cast<QWidget*>(d.timeExample())})
        EXPECT_FALSE(w->isEnabled());
    EXPECT_TRUE(d.datetimeColumnBox()->isEnabled());
    ASSERT_FALSE(spy.isEmpty());
    EXPECT_TRUE(spy.last().at(0).toBool());

    // A date column in turn unticks the date/time column.
    d.useDateBox()->setChecked(true);
    EXPECT_FALSE(d.useDatetimeBox()->isChecked());
    EXPECT_FALSE(d.datetimeColumnBox()->isEnabled());
    EXPECT_FALSE(d.datetimeFormatBox()->isEnabled());
    EXPECT_TRUE(d.dateColumnBox()->isEnabled());
    EXPECT_TRUE(spy.last().at(0).toBool());

    d.useDateBox()->setChecked(false);
    EXPECT_FALSE(spy.last().at(0).toBool());
    EXPECT_FALSE(d.dateTimeUsed());
}

TEST(LiveAdvancedSetup, SlideOffBelowTwo)
{
    LiveAdvancedSetup d;
    EXPECT_EQ(d.slide(), 10000);
    d.slideBox()->setValue(1);
    EXPECT_EQ(d.slideBox()->spinBox()->text(), QStringLiteral("Off"));
    EXPECT_EQ(d.slide(), -1);
    d.slideBox()->setValue(2);
    EXPECT_EQ(d.slide(), 2);
}

TEST(LiveAdvancedSetup, DisablingRestoresTheRecordedStates)
{
    LiveAdvancedSetup d;
    ASSERT_EQ(d.optionControls().size(), 21u);
    d.useHeaderBox()->click(); // enables "Row: " and records
    std::vector<bool> before;
    for (QWidget* w : d.optionControls())
        before.push_back(w->isEnabled());
    EXPECT_TRUE(d.headerRowBox()->isEnabled());

    d.setEnabled(false);
    for (QWidget* w : d.optionControls())
        EXPECT_FALSE(w->isEnabled());
    EXPECT_TRUE(d.stayOnTopBox()->isEnabled());

    d.setEnabled(true);
    std::vector<bool> after;
    for (QWidget* w : d.optionControls())
        after.push_back(w->isEnabled());
    EXPECT_EQ(after, before);
    EXPECT_FALSE(d.keyColumnBox()->isEnabled());
}

TEST(LiveAdvancedSetup, ExamplesFollowTheFormatAndNameABadOne)
{
    LiveAdvancedSetup d;
    // "%Y-%m-%d": four digits, dash, two, dash, two.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("\\A\\d{4}-\\d\\d-\\d\\d\\z")).match(d.dateExample()->text()).hasMatch())
        << qPrintable(d.dateExample()->text());
    d.dateFormatBox()->combo()->setCurrentIndex(4); // "%m/%d/%Y"
    EXPECT_TRUE(QRegularExpression(QStringLiteral("\\A\\d\\d/\\d\\d/\\d{4}\\z")).match(d.dateExample()->text()).hasMatch())
        << qPrintable(d.dateExample()->text());
    // A format typed with a flag the formatting does not know.
    d.timeFormatBox()->combo()->setEditText(QStringLiteral("%H:%Q"));
    EXPECT_TRUE(d.timeExample()->text().contains(QStringLiteral("%H:%Q"))) << qPrintable(d.timeExample()->text());
    EXPECT_TRUE(d.timeExample()->text().contains(QStringLiteral("not valid"))) << qPrintable(d.timeExample()->text());
    EXPECT_EQ(d.timeFormat(), QStringLiteral("%H:%Q"));
}

TEST(LiveAdvancedSetup, HidingAndRejectingSayClosed)
{
    LiveAdvancedSetup d;
    QSignalSpy closed(&d, &LiveAdvancedSetup::closed);
    d.show();
    EXPECT_TRUE(d.isVisible());
    d.hide();
    EXPECT_FALSE(d.isVisible());
    d.show();
    d.reject();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(closed.size(), 2);
}

// ------------------------------------------------------------------ window and controls

TEST(WebFetchWindow, SchemeSwitchSetsPortAndDetails)
{
    WebFetch window;
    WebFetchWidget& w = *window.widget();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("KRO - web fetch"));
    EXPECT_EQ(window.size(), QSize(600, 480));
    EXPECT_TRUE(w.portEdit()->isHidden());
    w.detailsBox()->setChecked(true);
    w.setAddress(QStringLiteral("http://h/x"));
    EXPECT_TRUE(w.versionBox()->isVisible());
    EXPECT_TRUE(w.requestLine()->isVisible());
    EXPECT_TRUE(w.headerView()->isVisible());
    EXPECT_EQ(w.portEdit()->value().number, 80);

    w.setAddress(QStringLiteral("ftp://h/x"));
    EXPECT_FALSE(w.versionBox()->isVisible());
    EXPECT_FALSE(w.requestLine()->isVisible());
    EXPECT_TRUE(w.portEdit()->isVisible());
    EXPECT_EQ(w.portEdit()->value().number, 21);
    // A port typed by hand stays while the scheme stays.
    w.portEdit()->setValue(2121);
    w.setAddress(QStringLiteral("ftp://h/y"));
    EXPECT_EQ(w.portEdit()->value().number, 2121);

    w.setAddress(QStringLiteral("h/x"));
    EXPECT_EQ(w.portEdit()->value().number, 80);
    EXPECT_TRUE(w.versionBox()->isVisible());

    w.detailsBox()->setChecked(false);
    EXPECT_FALSE(w.headerView()->isVisible());
    EXPECT_FALSE(w.portEdit()->isVisible());
}

TEST(WebFetchWindow, OperationModesAndControls)
{
    WebFetch window;
    WebFetchWidget& w = *window.widget();
    EXPECT_FALSE(w.countdown()->isVisible());
    EXPECT_EQ(w.countdown()->interval(), QTime(0, 5, 0));
    w.continuousButton()->click();
    EXPECT_TRUE(w.countdown()->isVisible());
    EXPECT_TRUE(w.setButton()->isVisible());
    EXPECT_TRUE(w.connectButton()->isCheckable());
    EXPECT_TRUE(w.countdown()->isContinuous());

    // Running continuously disables the address and the columns.
    w.setAddress(QStringLiteral("file:///nonexistent/x"));
    w.connectButton()->click();
    EXPECT_EQ(w.connectButton()->text(), QStringLiteral("Stop"));
    EXPECT_TRUE(w.countdown()->isRunning());
    EXPECT_FALSE(w.columnsGroup()->isEnabled());
    EXPECT_FALSE(w.addressBox()->isEnabled());
    EXPECT_FALSE(w.advancedSetup()->appendBox()->isEnabled());

    w.singleShotButton()->click();
    EXPECT_EQ(w.connectButton()->text(), QStringLiteral("Connect"));
    EXPECT_FALSE(w.connectButton()->isCheckable());
    EXPECT_FALSE(w.countdown()->isVisible());
    EXPECT_FALSE(w.countdown()->isRunning());
    EXPECT_TRUE(w.columnsGroup()->isEnabled());
    EXPECT_TRUE(w.advancedSetup()->appendBox()->isEnabled());
    EXPECT_FALSE(w.countdown()->isContinuous());

    // A date column takes the x value: the X-Axis row is disabled.
    w.advancedSetup()->useDateBox()->setChecked(true);
    EXPECT_FALSE(w.xEdit()->isEnabled());
    w.advancedSetup()->useDateBox()->setChecked(false);
    EXPECT_TRUE(w.xEdit()->isEnabled());
}

TEST(WebFetchWindow, HideEmitsClosedAndStatusLine)
{
    WebFetch window;
    QSignalSpy closed(&window, &WebFetch::closed);
    Q_EMIT window.widget()->status(QStringLiteral("Attempting to connect..."));
    EXPECT_EQ(window.statusLabel()->text(), QStringLiteral("Attempting to connect..."));
    window.hide();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(closed.size(), 1);
    window.show();
    EXPECT_TRUE(window.isVisible());
}

TEST(WebFetchWindow, StatusDotsMoveOnlyAfterAnEllipsis)
{
    WebFetch window;
    window.updateStatus(QStringLiteral("Attempting to connect..."));
    QStringList frames;
    for (int i = 0; i < 4; ++i) {
        window.animate();
        frames << window.statusLabel()->text();
    }
    EXPECT_EQ(frames, QStringList({QStringLiteral("Attempting to connect."), QStringLiteral("Attempting to connect.."),
                                   QStringLiteral("Attempting to connect..."), QStringLiteral("Attempting to connect.")}));
    for (const char* still : {"Socket: Connected to host.", "Bytes Received: 12", ""}) {
        window.updateStatus(QString::fromUtf8(still));
        window.animate();
        EXPECT_EQ(window.statusLabel()->text(), QString::fromUtf8(still));
    }
}

} // namespace
