#pragma once
// Labeled rows: one line of a form, a fixed caption on the left and one or
// more editors on its right, behind one interface to set and read a value
// and one signal, valueChanged(), for a change the user made.
//
// Every setter takes a quiet flag: a quiet update raises no valueChanged().
// A loud one raises it exactly when the editor itself reports a programmatic
// change (line edits and spin boxes do; buttons, button groups and
// non-editable combo boxes do not). LabeledFileEntry::setText always reports.
#include "core/curvedata.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QButtonGroup;
class QComboBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// What value() reads from a row. Fields a kind does not fill keep their
// defaults.
struct LabeledValue {
    bool flag = false;    // two-option choice of a LabeledRadioOpts
    int number = 0;
    double real = 0.0;
    QString text;
    int width = 0;
    int height = 0;
    Rgb colour;           // LabeledColorWheel only; "not set" for the others
};

class LabeledWidget : public QWidget {
    Q_OBJECT

public:
    explicit LabeledWidget(const QString& caption, QWidget* parent = nullptr);

    QLabel* caption() const { return m_caption; }
    // Every widget after the caption, in layout order.
    const QList<QWidget*>& editors() const { return m_editors; }
    // Appends a widget to the row's layout and to its editor list (owners
    // use this for the widgets they add, such as button bars).
    void addEditor(QWidget* editor, int stretch = 0);

    // Paints the editors' and then the row's background.
    void setBackgroundColor(const QColor& colour);

    virtual void setOptions(const QStringList& options, int columns = 0);
    virtual void setDimensions(int width, int height, bool quiet = false);
    virtual void setText(const QString& text, bool quiet = false);
    virtual void setColor(quint32 rgb, bool quiet = false);
    virtual void setValue(double value, bool quiet = false);
    virtual void setValue(int value, bool quiet = false);
    virtual void select(bool on, bool quiet = false);
    virtual LabeledValue value(bool* ok = nullptr) const;

Q_SIGNALS:
    void valueChanged();

protected Q_SLOTS:
    // Editors' change signals end here; a quiet update mutes them.
    void editorChanged();

protected:
    // Runs an update with valueChanged() muted when quiet is set.
    template <typename F>
    void apply(bool quiet, F&& update)
    {
        if (quiet)
            ++m_muted;
        update();
        if (quiet)
            --m_muted;
    }

private:
    QHBoxLayout* m_layout;
    QLabel* m_caption;
    QList<QWidget*> m_editors;
    int m_muted = 0;
};

// A non-editable combo box; items are matched by their text before "(".
class LabeledComboBox : public LabeledWidget {
    Q_OBJECT

public:
    explicit LabeledComboBox(const QString& caption, QWidget* parent = nullptr);
    QComboBox* combo() const { return m_combo; }
    // Makes the combo editable; its text changes then report as well.
    void setEditable(bool on);

    void setText(const QString& text, bool quiet = false) override;
    LabeledValue value(bool* ok = nullptr) const override;

    // The text of an item before its first "(", stripped.
    static QString itemKey(const QString& itemText);

private:
    QComboBox* m_combo;
};

// A "Set Color" button painted in the colour; clicking it opens the colour
// dialog.
class LabeledColorWheel : public LabeledWidget {
    Q_OBJECT

public:
    explicit LabeledColorWheel(const QString& caption, QWidget* parent = nullptr);
    QPushButton* button() const { return m_button; }

    void setColor(quint32 rgb, bool quiet = false) override;
    LabeledValue value(bool* ok = nullptr) const override;

private Q_SLOTS:
    void showColorDialog();

private:
    QPushButton* m_button;
    quint32 m_rgb = 0xFFFFFF;
};

// Two spin boxes "width x height".
class LabeledDimensions : public LabeledWidget {
    Q_OBJECT

public:
    LabeledDimensions(const QString& caption, int maxWidth, int maxHeight, int width, int height,
                      QWidget* parent = nullptr);
    QSpinBox* widthBox() const { return m_width; }
    QSpinBox* heightBox() const { return m_height; }

    void setDimensions(int width, int height, bool quiet = false) override;
    LabeledValue value(bool* ok = nullptr) const override;

private:
    QSpinBox* m_width;
    QSpinBox* m_height;
};

class LabeledEdit : public LabeledWidget {
    Q_OBJECT

public:
    explicit LabeledEdit(const QString& caption, QWidget* parent = nullptr);
    QLineEdit* edit() const { return m_edit; }

    void setText(const QString& text, bool quiet = false) override;
    void setValue(double value, bool quiet = false) override;
    void setValue(int value, bool quiet = false) override;
    LabeledValue value(bool* ok = nullptr) const override;

private:
    QLineEdit* m_edit;
};

// A path with a "..." button that opens a file dialog: mode 0 opens an
// existing file, any other mode chooses a file to save.
class LabeledFileEntry : public LabeledWidget {
    Q_OBJECT

public:
    LabeledFileEntry(const QString& caption, int mode, QWidget* parent = nullptr);
    QLineEdit* edit() const { return m_edit; }
    QPushButton* button() const { return m_button; }
    int mode() const { return m_mode; }

    // The dialog's filters; the first is selected when it opens.
    const QStringList& filters() const { return m_filters; }
    void setFilters(const QStringList& filters) { m_filters = filters; }

    void setText(const QString& text, bool quiet = false) override;
    LabeledValue value(bool* ok = nullptr) const override;

    // The extension a filter adds to a saved name: "Data (*.dat)" gives
    // ".dat", "Images (*.jpeg *.png)" ".jpeg", "All files (*)" nothing.
    static QString filterExtension(const QString& filter);
    // The name a save dialog's answer becomes with that filter: the
    // extension appended unless the name already ends with it.
    static QString withExtension(const QString& name, const QString& filter);

public Q_SLOTS:
    void showFileDialog();

private:
    QLineEdit* m_edit;
    QPushButton* m_button;
    int m_mode;
    QStringList m_filters;
};

class LabeledLabel : public LabeledWidget {
    Q_OBJECT

public:
    explicit LabeledLabel(const QString& caption, QWidget* parent = nullptr);
    QLabel* label() const { return m_label; }

    void setText(const QString& text, bool quiet = false) override;
    void setValue(double value, bool quiet = false) override;
    void setValue(int value, bool quiet = false) override;
    LabeledValue value(bool* ok = nullptr) const override;

private:
    QLabel* m_label;
};

// Buttons of a group laid out in columns, filled row by row; ids 0, 1, ...
// in option order.
class LabeledButtonOpts : public LabeledWidget {
    Q_OBJECT

public:
    QButtonGroup* group() const { return m_group; }
    int optionCount() const;
    void setOptions(const QStringList& options, int columns = 0) override;

protected:
    LabeledButtonOpts(const QString& caption, bool exclusive, QWidget* parent);

private:
    QWidget* m_box;
    QGridLayout* m_grid;
    QButtonGroup* m_group;
    bool m_exclusive;
};

// Radio buttons: one choice.
class LabeledRadioOpts : public LabeledButtonOpts {
    Q_OBJECT

public:
    using LabeledWidget::setValue;
    explicit LabeledRadioOpts(const QString& caption, QWidget* parent = nullptr);

    // Turns on id 1 for true, id 0 for false.
    void select(bool on, bool quiet = false) override;
    void setValue(int id, bool quiet = false) override;
    // number: the id that is on, -1 for none; flag: that id is not 0 when
    // there are exactly two options.
    LabeledValue value(bool* ok = nullptr) const override;
};

// Check boxes: a bit mask, box i being bit i (up to bit 30).
class LabeledCheckOpts : public LabeledButtonOpts {
    Q_OBJECT

public:
    using LabeledWidget::setValue;
    explicit LabeledCheckOpts(const QString& caption, QWidget* parent = nullptr);

    void setValue(int mask, bool quiet = false) override;
    LabeledValue value(bool* ok = nullptr) const override;
};

class LabeledSpinBox : public LabeledWidget {
    Q_OBJECT

public:
    using LabeledWidget::setValue;
    LabeledSpinBox(const QString& caption, int minimum, int maximum, int value, QWidget* parent = nullptr);
    QSpinBox* spinBox() const { return m_spin; }

    void setValue(int value, bool quiet = false) override;
    // The text read as a base-10 integer (0 when it is none), clamped.
    void setText(const QString& text, bool quiet = false) override;
    LabeledValue value(bool* ok = nullptr) const override;

private:
    QSpinBox* m_spin;
};
