#pragma once
// ComboTable: the preview of a data file's first lines, split into columns,
// under a row of boxes in which the user gives each column its role in the
// plot command: "-" (not used), "x", "y1" ... "y<n>", "k" (key), "date",
// "time" or "datetime". It reads the file itself (at most the header, the
// skipped lines and 15 rows) and reports every role chosen through signals.
#include <QString>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QTableWidget;

class ComboTable : public QWidget {
    Q_OBJECT

public:
    static constexpr int kPreviewRows = 15;
    // Columns shown at most; fields beyond them are left out of the preview.
    static constexpr int kMaxColumns = 256;
    // The role text of a column on which the files of the Default Page
    // disagree; it is shown, never chosen.
    static QString mixedRole() { return QStringLiteral("Mixed"); }
    // The role list of a column when the table has n columns: "y1" alone
    // for one column; else "-", "x", "y1" ... "y<n>", "k", "date", "time",
    // "datetime".
    static QStringList roleList(int n);

    explicit ComboTable(QWidget* parent = nullptr);

    // (Re)fills the preview from the file: header is the 1-based line
    // number of the header line (0: none), skip the lines passed over after
    // it (after the file's start without a header).
    void readFile(const QString& fileName, int header, int skip);
    // Why the last reading showed nothing or stopped early; empty when it
    // went well.
    const QString& readProblem() const { return m_problem; }
    // The last reading could not read the file at all.
    bool readFailed() const { return m_failed; }

    // The role text selected in the column; null at or beyond the column
    // count. A negative column raises kroexception.
    QString headerSelection(int column) const;
    // Selects the role (appended to the column's list when it lacks it);
    // unless quiet, the choice is then processed as a user's.
    void setColumnRole(int column, const QString& role, bool quiet);
    // Removes the text from the column's list; a removed selection falls
    // back to the first entry. Nothing is signalled.
    void removeRoleEntry(int column, const QString& text);
    // After the first reading: one column gets "y1"; with two or more, the
    // first gets "x" and the second "y1". Signalled directly.
    void assignDefaultRoles();
    // A fresh role box for every preview column, each keeping its role.
    void rebuildRoleRow();
    // Fits the preview columns to their contents (at least minWidth when it
    // is positive) and gives the role boxes the same widths.
    void fitColumns(int minWidth);

    int columnCount() const;
    // Sets the column count (the Default Page takes the files' common one).
    void setColumnCount(int n);
    // The number of preview rows (15; the Default Page has none).
    void setPreviewRowCount(int rows);

    QTableWidget* roleRow() const { return m_roleRow; }
    QTableWidget* preview() const { return m_preview; }
    // The role box of a column; null when there is none.
    QComboBox* roleBox(int column) const;

public Q_SLOTS:
    void on_headerSelection(int row, int column);

Q_SIGNALS:
    void columnRemoved(int column);
    void columnSelected(int column, const QString& role);
    void fileReadError(const QString& fileName);

private:
    // The role row's height: its header and a role box shown whole.
    int roleRowHeight() const;
    void ensureColumns(int n);
    void clearRow(int row);
    void selectQuietly(QComboBox* box, int index);
    void showNoData();
    void syncHeaderWidths();

    QTableWidget* m_roleRow;
    QTableWidget* m_preview;
    bool m_noData = false;
    bool m_failed = false;
    QString m_problem;
};
