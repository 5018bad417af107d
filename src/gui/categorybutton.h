#pragma once
// The buttons of the main window's toolbar and toolbox, and the handler that
// keeps the toggle buttons of one group mutually exclusive.
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QToolButton>

#include <map>

// The toggle group of a toolbar or toolbox button.
enum BTNGRPCAT {
    BAR_PLOT = 0,
    MJD_DATETIME = 1,
    TOGGLE_GRID = 2,
    CURVE_LINE = 3,
    REDUCED_INTENSITY = 4,
    LOG_X = 5,
    LOG_Y = 6,
    POINTER_MODE = 7,
    NO_GROUP = 8,
    DATA_POINTS = 9,
    PAGE_TOGGLE = 10,
    VERBOSE_MODE = 11,
};
Q_DECLARE_METATYPE(BTNGRPCAT)

// A tool button with its exclusive index, which tells the buttons of one
// group apart (5 for a group's single button and for every toolbar button).
class CategoryButton : public QToolButton {
    Q_OBJECT

public:
    explicit CategoryButton(QWidget* parent = nullptr, int exclusiveIndex = 5)
        : QToolButton(parent), m_exclusiveIndex(exclusiveIndex)
    {
    }
    int exclusiveIndex() const { return m_exclusiveIndex; }

private:
    int m_exclusiveIndex;
};

// Groups of toggle buttons: switching one on switches the others of its
// group off (without their toggles reporting), then btnToggled tells which
// group changed.
class MutexBtnGroupHandler : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Adds a button to a group (NO_GROUP and repeats are ignored) and
    // follows its toggles.
    void addButton(BTNGRPCAT group, CategoryButton* button);
    // The group whose list holds the button, NO_GROUP when none does.
    BTNGRPCAT groupOf(const QAbstractButton* button) const;
    // The first button of a group with that exclusive index, or null.
    CategoryButton* button(BTNGRPCAT group, int exclusiveIndex) const;
    const QList<CategoryButton*> buttons(BTNGRPCAT group) const;
    // The button whose toggle was reported last (null at the start).
    CategoryButton* currentButton() const { return m_current; }

Q_SIGNALS:
    void btnToggled(BTNGRPCAT group, bool on);

private Q_SLOTS:
    void on_btnToggle(bool on);

private:
    std::map<BTNGRPCAT, QList<CategoryButton*>> m_groups;
    CategoryButton* m_current = nullptr;
};
