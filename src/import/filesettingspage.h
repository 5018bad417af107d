#pragma once
// The settings page of one data file in the import setup window: a tab per
// used column role (the scaling of "x" and every "y<N>", the format of a
// date, time or date-and-time column), the Header, Skip and Get line counts,
// and the column-role table with the file's preview. The page keeps the
// record of which column has which role; the plot command is built from it.
#include "import/commandcomposer.h"

#include <QGroupBox>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <map>
#include <vector>

class ComboTable;
class DateTimeFormatTab;
class LabeledEdit;
class LabeledSpinBox;
class QLabel;
class QTabWidget;

// The four numbers with which a column's values are shifted and scaled.
struct ScalingValues {
    double add = 0.0;
    double sub = 0.0;
    double mul = 1.0;
    double div = 1.0;
};

class ScalingTab : public QGroupBox {
    Q_OBJECT

public:
    enum Row { ADD = 0, SUB, MUL, DIV };

    ScalingTab(QWidget* parent, const QString& name);

    const QString& name() const { return m_name; }
    // The four rows read as numbers; a text that is not a number counts 0.
    ScalingValues values() const;
    // Whether every row holds a finite number.
    bool hasValidNumbers() const;
    LabeledEdit* row(Row r) const { return m_rows[r]; }
    QString rowText(Row r) const;
    // Sets a row's text; a quiet update raises no change signal.
    void setRowText(Row r, const QString& text, bool quiet);

public Q_SLOTS:
    void on_changed_add();
    void on_changed_div();
    void on_changed_mul();
    void on_changed_sub();

Q_SIGNALS:
    void changed_add(const ScalingTab* tab);
    void changed_div(const ScalingTab* tab);
    void changed_mul(const ScalingTab* tab);
    void changed_sub(const ScalingTab* tab);

private:
    void markRow(Row r);

    QString m_name;
    LabeledEdit* m_rows[4];
};

class FileSettingsPage : public QWidget {
    Q_OBJECT

public:
    FileSettingsPage(const QString& fileName, QWidget* parent = nullptr);

    const QString& fileName() const { return m_fileName; }
    // The role text shown for a column; null beyond the last column.
    QString columnRole(int column) const;
    // The tab labelled with the text, or null.
    QWidget* tabFor(const QString& role) const;
    // The scaling of the tab so labelled, or the defaults.
    ScalingValues scalingFor(const QString& role) const;
    // The format of the date or time tab so labelled, or a null text.
    QString formatFor(const QString& role) const;
    // x, date, datetime and time entries, then the y entries by number.
    std::vector<ColumnSpec> columnSpecs() const;
    // The lowest column whose recorded role is "k"; -1 when none is.
    int keyColumn() const;
    // The file's part of the plot command.
    kro::import::CommandSource commandSource() const;
    // The recorded roles by column.
    const std::map<int, QString>& roles() const { return m_roles; }

    // Whether the page's inputs can go into a command: every date and time
    // format checks and every scaling row holds a number.
    bool inputsValid() const;
    // The reason the preview could not be read or stopped early; empty when
    // it went well.
    QString readProblem() const;
    // Why a date or time format cannot be right: it reads none of the
    // preview's texts in its column. Empty when every format reads some.
    QString formatProblem() const;
    // Why the plot command cannot carry the file's name; empty when it can.
    QString nameProblem() const;
    // True when the preview shows no column (the file cannot be read, is
    // empty or holds no field).
    bool hasNoData() const;

    ComboTable* table() const { return m_table; }
    QTabWidget* tabs() const { return m_tabs; }
    LabeledSpinBox* headerBox() const { return m_header; }
    LabeledSpinBox* skipBox() const { return m_skip; }
    LabeledSpinBox* getBox() const { return m_get; }
    QLabel* problemLabel() const { return m_problemLabel; }
    int headerValue() const;
    int skipValue() const;
    int getValue() const;
    // The format and scaling tabs, in tab order.
    std::vector<DateTimeFormatTab*> formatTabs() const;
    std::vector<ScalingTab*> scalingTabs() const;

public Q_SLOTS:
    void on_getValueChanged();
    void on_headerValueChanged();
    void on_skipValueChanged();
    virtual void populateTable();
    void on_columnRemoved(int column);
    void on_columnSelected(int column, const QString& role);

Q_SIGNALS:
    void columnSelected(int column, const QString& role);
    void datetimeformatChanged(const DateTimeFormatTab* tab);
    void datetimeformatVerified(bool valid);
    void getValueChanged(int value);
    void headerValueChanged(int value);
    void fileReadError(const QString& fileName);
    void skipValueChanged(int value);
    void transcript(const QString& text);
    void valueChangedAdd(const ScalingTab* tab);
    void valueChangedDiv(const ScalingTab* tab);
    void valueChangedMul(const ScalingTab* tab);
    void valueChangedSub(const ScalingTab* tab);
    // Something that inputsValid() or hasNoData() depends on may have
    // changed (a check ran, a tab came or went, the preview was read).
    void inputsChecked();

private:
    void showReadProblem();
    // The preview's texts of a column, each with the fields after it that
    // a format of that many pieces takes.
    QStringList previewTexts(int column, int pieces) const;
    template <typename Tab>
    std::vector<Tab*> tabsOf() const;
    ScalingTab* addScalingTab(const QString& role);
    DateTimeFormatTab* addFormatTab(const QString& role);

    QString m_fileName;
    QLabel* m_title;
    QLabel* m_problemLabel;
    QTabWidget* m_tabs;
    LabeledSpinBox* m_header;
    LabeledSpinBox* m_skip;
    LabeledSpinBox* m_get;
    ComboTable* m_table;
    std::map<int, QString> m_roles;
};
