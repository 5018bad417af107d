#pragma once
// The custom-labels table of a plot ("Custom Labels"): one row per custom
// label with its shortened text, fill colour, position in plot pixels, a
// Delete button and the hidden label number. The table creates no label
// itself: it asks the plot, by label number, to create, move, colour, open
// or delete the label of a row. A top-level window without parent; the plot
// deletes it.
//
// Columns are addressed by their logical index, which stays with a column
// when the user drags it elsewhere.
#include <QTableWidget>

class Plotter;
class QSpinBox;

class Labeler : public QTableWidget {
    Q_OBJECT

public:
    enum Column { TextColumn = 0, ColorColumn = 1, XColumn = 2, YColumn = 3, DeleteColumn = 4, IdColumn = 5 };
    enum ChangeKind { PositionChange = 1, ColorChange = 2, DeleteChange = 3, Initial = 4 };

    explicit Labeler(Plotter* plot);

    // The first row whose label number is id; -1 when there is none.
    int rowOfId(int id) const;
    // The row's colour cell shows the colour (grey-framed swatch).
    void setRowColor(int row, const QColor& colour);
    QColor rowColor(int row) const;
    // The row of the cell widget that sent the signal being handled; -1.
    int senderRow() const;
    // The label number of a row (-1 for a row that does not exist).
    int rowId(int row) const;
    QSpinBox* xBox(int row) const;
    QSpinBox* yBox(int row) const;
    QPoint rowPosition(int row) const;

    Plotter* m_plotter;
    int m_nextId = 0;
    int m_changeKind = Initial;

public Q_SLOTS:
    void show();
    void addRow();
    void cellClicked(int row, int column);
    void contextMenu(int row, int column, const QPoint& globalPos);
    void removeCurrentRow();
    void setPositionDFlag();

Q_SIGNALS:
    void itemChanged(int id);
    void labelDeleteReq(int id);
    void textChangeRequest(int id);
};
