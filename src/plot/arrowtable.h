#pragma once
// The arrows of a plot ("Arrow Table"): one row per arrow, whose cells edit
// that arrow (text, text rotation and frame, line width, colour, font size,
// head and tail positions in plot pixels, which ends carry a head) and
// delete it. Each arrow is an ArrowWidget over the plot area, a child of
// the plot; its number always equals its row. Cells are found through their
// column's header text, so the user may reorder the columns. A top-level
// window without parent; the plot deletes it, and it deletes its arrows.
#include <QTableWidget>

#include <vector>

class ArrowWidget;
class Plotter;

class ArrowTable : public QTableWidget {
    Q_OBJECT

public:
    explicit ArrowTable(Plotter* plot);
    ~ArrowTable() override;

    // The column whose header text equals text, ignoring case; throws
    // std::runtime_error "Entry column not found in ArrowTable." otherwise.
    int columnOf(const QString& text) const;
    // (X Head, Y Head) and (X Tail, Y Tail) of a row.
    QPoint headPoint(int row) const;
    QPoint tailPoint(int row) const;
    bool arrowHeadEnabled(int row) const;
    bool arrowTailEnabled(int row) const;
    // The cell widget of a row in the column of that header text.
    QWidget* cell(int row, const QString& header) const;

    Plotter* m_plotter;
    std::vector<ArrowWidget*> m_arrows;

public Q_SLOTS:
    void addRow();
    void show();
    void show(int number);

Q_SIGNALS:
    void arrowBuilt(ArrowWidget* arrow);

private Q_SLOTS:
    void arrowDragged(int number);
    void cellDoubleClicked(int row, int column);
    void contextMenu(int row, int column, const QPoint& globalPos);
    void removeCurrentRow();
    void updateArrowHeadState();
    void updateArrowTailState();
    void updateFontSize();
    void updateLineWidth();
    void updateText();
    void updateTextFrame();
    void updateTextRotation();
    void updateXPosHead();
    void updateXPosTail();
    void updateYPosHead();
    void updateYPosTail();

private:
    // The row whose cell under header is the sender, and its arrow; false
    // when either is missing.
    bool senderArrow(const QString& header, int& row, ArrowWidget*& arrow) const;
    ArrowWidget* arrow(int number) const;
    int spinValue(int row, const QString& header) const;
    bool checked(int row, const QString& header) const;
    // Runs a slot's body with every exception caught and reported.
    template <typename Body>
    void guarded(Body body);
    // An update slot: apply(row, arrow) for the sender's row, then repaint.
    template <typename Apply>
    void updateFrom(const QString& header, Apply apply);
    void setHeads(int row, ArrowWidget& a) const;
    int tableWidth() const;
};
