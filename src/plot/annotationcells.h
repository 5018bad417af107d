#pragma once
// What the two annotation tables (custom labels, arrows) share: the colour
// cell and the table's context menu.
#include <QColor>
#include <QWidget>

// The table's context menu at a global position, with its one entry "Add
// row"; true when the user chose it.
bool askAddRow(QWidget* table, const QPoint& globalPos);

// A colour cell: a small widget filled with its colour, optionally inside a
// two-pixel grey frame, that reports clicks and double clicks itself (a
// table cell widget swallows them otherwise).
class ColorSwatch : public QWidget {
    Q_OBJECT

public:
    ColorSwatch(const QColor& colour, bool framed, QWidget* parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor& colour);

Q_SIGNALS:
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    QColor m_color;
    bool m_framed;
};
