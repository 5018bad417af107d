#pragma once
// A colour cell of the annotation tables: a small widget filled with its
// colour, optionally inside a two-pixel grey frame, that reports clicks and
// double clicks itself (a table cell widget swallows them otherwise).
#include <QColor>
#include <QWidget>

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
