#pragma once
// The toolbox categories: each describes one page of the "Toolsets" dock
// completely (title, icon and its buttons with label, tool tip, the slot a
// click triggers and the toggle group), and turns a button's id into its
// slot name when the page reports a click. The categories hold no state and
// create no widgets; the main window builds the pages from them.
#include "gui/categorybutton.h"

#include <QIcon>
#include <QObject>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

class CategoryInterface : public QObject {
    Q_OBJECT

public:
    // One button of a page. A label with fill characters is a format text
    // whose placeholders take them in order after translation.
    struct Button {
        const char* label;
        const char* tooltip;
        const char* slot;  // "1name()", or null
        BTNGRPCAT group;
        int exclusiveIndex;
        const char16_t* fill = nullptr;
    };

    CategoryInterface(const char* title, const char* iconName, std::vector<Button> buttons);

    // How many categories were built in this run.
    static int constructedCount();
    // Buttons get the ids i + idOffset(); the main window sets the offset
    // to the count of categories built once it has made its own.
    int idOffset() const { return m_idOffset; }
    void setIdOffset(int offset) { m_idOffset = offset; }

    virtual int exclusiveIndex(int index) const;
    virtual QString title() const;
    // The slot's signature in the form "1name()", null for none.
    virtual const char* slotName(int index) const;
    virtual QIcon icon() const;
    virtual int buttonCount() const;
    virtual QString label(int index) const;
    virtual std::pair<BTNGRPCAT, bool> toggleKind(int index) const;
    virtual QString tooltip(int index) const;

public Q_SLOTS:
    // A button was clicked: emits signal() with its slot name (null for an
    // id outside this page).
    void setCurrentCategory(int id);

Q_SIGNALS:
    void signal(const char* slotName);

private:
    const Button* button(int index) const;

    const char* m_title;
    const char* m_iconName;
    std::vector<Button> m_buttons;
    int m_idOffset = 0;
};

// The eleven categories in page order: System, Plot Colors, Plot
// Annotations, Grid Adjustments, Plot Style, Markers and Pointers, Basic
// Functions, Curve Fitting, Signal Processing, Filters, Precision Timing.
// Their id offset is the count of categories built after the last of them.
std::vector<std::unique_ptr<CategoryInterface>> makeToolboxCategories();
