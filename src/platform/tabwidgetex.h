#pragma once
// Tab widget extensions reused by several windows: TabControls (the "New
// Tab" and "Close Tab" tool buttons), TabBarEx (a tab bar that reports
// right-clicks and removals and fills the current tab with a colour) and
// TabWidgetEx (a tab widget carrying both, the buttons in its top-right
// corner).
#include <QColor>
#include <QRect>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

#include <string>

class QPainter;
class QToolButton;

class TabControls : public QWidget {
    Q_OBJECT

public:
    // Two tool buttons in a row, then `spacing` pixels of space.
    TabControls(QWidget* parent, int spacing);

    QToolButton* newButton() const { return m_new; }
    QToolButton* closeButton() const { return m_close; }

Q_SIGNALS:
    void closeClicked();
    void newClicked();

private:
    QToolButton* m_new = nullptr;
    QToolButton* m_close = nullptr;
};

class TabBarEx : public QTabBar {
    Q_OBJECT

public:
    TabBarEx(QTabWidget* parent, const QColor& fill);

    // The colour of the tab labels and of the current tab's fill.
    QColor m_labelColor = Qt::black;
    QColor m_fillColor;
    // When set, the label rectangle is the whole tab and the icon is centred.
    bool m_iconOnly = false;

    // The label rectangle of a tab: the size of its icon and text, centred in
    // the tab and moved 3 pixels to the left (the whole tab when icon-only).
    QRect labelRect(int index) const;
    // A tab text as shown: "&&" shows one '&', a single '&' (an accelerator
    // mark) shows nothing.
    static QString shownText(const QString& label);

Q_SIGNALS:
    // A tab was removed; the number of tabs left.
    void tabRemovedCount(int tabsLeft);
    // The right mouse button was pressed over a tab.
    void tabRightClicked(int index);

protected:
    void tabRemoved(int index) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // Draws the icon and the text of a tab into its label rectangle.
    void paintLabel(QPainter& painter, int index, const QRect& rect, bool hasFocus);
};

class TabWidgetEx : public QTabWidget {
    Q_OBJECT

public:
    TabWidgetEx(QWidget* parent, int spacing);

    TabBarEx* tabBarEx() const { return m_tabBar; }
    TabControls* tabControls() const { return m_controls; }
    // The current tab's label as 8-bit Latin-1 text; empty without tabs.
    std::string currentLabel() const;

public Q_SLOTS:
    void showTabBar(bool show);

Q_SIGNALS:
    void newClicked();
    void closeClicked();

protected:
    // Shows the corner buttons again when a tab arrives.
    void tabInserted(int index) override;

private Q_SLOTS:
    void on_tabRemoved(int tabsLeft);

private:
    TabBarEx* m_tabBar = nullptr;
    TabControls* m_controls = nullptr;
};
