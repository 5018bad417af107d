// The tab widget extensions: corner buttons that follow the tab count,
// removal and right-click signals, label measuring and drawing.
#include "platform/tabwidgetex.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "support/qtprinters.h"

TEST(TabWidgetEx, CornerButtonsFollowTheTabCount)
{
    TabWidgetEx w(nullptr, 3);
    w.resize(400, 200);
    w.show();
    QSignalSpy removed(w.tabBarEx(), &TabBarEx::tabRemovedCount);
    w.addTab(new QLabel("a"), "A");
    w.addTab(new QLabel("b"), "B");
    EXPECT_EQ(w.cornerWidget(Qt::TopRightCorner), w.tabControls());
    EXPECT_TRUE(w.tabControls()->isVisible());
    EXPECT_EQ(w.tabControls()->newButton()->toolTip(), QStringLiteral("New Tab"));
    EXPECT_EQ(w.tabControls()->closeButton()->toolTip(), QStringLiteral("Close Tab"));
    EXPECT_EQ(w.tabControls()->height(), 20);

    w.removeTab(0);
    w.removeTab(0);
    ASSERT_EQ(removed.count(), 2);
    EXPECT_EQ(removed.at(0).at(0).toInt(), 1);
    EXPECT_EQ(removed.at(1).at(0).toInt(), 0);
    EXPECT_FALSE(w.tabControls()->isVisible());
    EXPECT_EQ(w.currentLabel(), std::string());

    w.addTab(new QLabel("c"), "C");
    EXPECT_TRUE(w.tabControls()->isVisible());
    EXPECT_EQ(w.currentLabel(), "C");
}

TEST(TabWidgetEx, ButtonsAndRightClicksAreSignalled)
{
    TabWidgetEx w(nullptr, 3);
    w.resize(400, 200);
    w.addTab(new QLabel("a"), "First");
    w.addTab(new QLabel("b"), "Second");
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QSignalSpy news(&w, &TabWidgetEx::newClicked);
    QSignalSpy closes(&w, &TabWidgetEx::closeClicked);
    QSignalSpy rights(w.tabBarEx(), &TabBarEx::tabRightClicked);
    w.tabControls()->newButton()->click();
    w.tabControls()->closeButton()->click();
    EXPECT_EQ(news.count(), 1);
    EXPECT_EQ(closes.count(), 1);

    TabBarEx* bar = w.tabBarEx();
    QTest::mouseClick(bar, Qt::RightButton, {}, bar->tabRect(1).center());
    ASSERT_EQ(rights.count(), 1);
    EXPECT_EQ(rights.at(0).at(0).toInt(), 1);
    QTest::mouseClick(bar, Qt::RightButton, {}, QPoint(bar->tabRect(1).right() + 30, bar->height() / 2));
    EXPECT_EQ(rights.count(), 1) << "a right-click beside the tabs emits nothing";
    EXPECT_EQ(w.currentIndex(), 0) << "a right-click does not change the tab";

    w.showTabBar(false);
    EXPECT_FALSE(bar->isVisible());
    w.showTabBar(true);
    EXPECT_TRUE(bar->isVisible());
}

TEST(TabBarEx, LabelsAreMeasuredAsShown)
{
    EXPECT_EQ(TabBarEx::shownText("Data && More"), QStringLiteral("Data & More"));
    EXPECT_EQ(TabBarEx::shownText("&File"), QStringLiteral("File"));
    EXPECT_EQ(TabBarEx::shownText("a&&&b"), QStringLiteral("a&b"));

    TabWidgetEx w(nullptr, 3);
    w.addTab(new QLabel("a"), "Data && More");
    w.resize(400, 200);
    w.show();
    const TabBarEx* bar = w.tabBarEx();
    const QFontMetrics fm(bar->font());
    const QRect label = bar->labelRect(0);
    EXPECT_EQ(label.width(), fm.horizontalAdvance("Data & More") + 4);
    EXPECT_EQ(label.height(), fm.height() + 4);
    const QRect tab = bar->tabRect(0);
    EXPECT_NEAR(label.center().x(), tab.center().x() - 3, 1);
}

TEST(TabBarEx, TheCurrentTabIsFilled)
{
    QWidget parent;
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, QColor(10, 200, 30));
    parent.setPalette(pal);
    TabWidgetEx w(&parent, 3);
    EXPECT_EQ(w.tabBarEx()->m_fillColor, QColor(10, 200, 30));
    w.tabBarEx()->m_fillColor = QColor(255, 0, 255);
    w.addTab(new QLabel("a"), "One");
    w.addTab(new QLabel("b"), "Two");
    w.resize(300, 120);
    parent.resize(300, 120);
    parent.show();
    const QImage image = w.tabBarEx()->grab().toImage();
    const QRect current = w.tabBarEx()->tabRect(0);
    const QRect other = w.tabBarEx()->tabRect(1);
    auto magentaIn = [&](const QRect& r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (image.pixelColor(x, y) == QColor(255, 0, 255))
                    ++n;
        return n;
    };
    EXPECT_GT(magentaIn(current), current.width() * current.height() / 3);
    EXPECT_EQ(magentaIn(other), 0);
}
