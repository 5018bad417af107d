#pragma once
// The plot's y-axis label: an ActionLabel that draws its rich text itself,
// rotated about the widget's centre, and sizes itself to the rotated text.
#include <QSize>

#include "plot/actionlabel.h"

class RotLabel : public ActionLabel {
    Q_OBJECT

public:
    RotLabel(const QString& text, QWidget* parent, double angle = -90.0);

    double angle() const { return m_angle; }
    void setAngle(double degrees);
    // Horizontal extent of the rotated text (recomputes the document size).
    int rotatedWidth();
    int rotatedHeight() const { return m_rotatedHeight; }
    QSize docSize() const { return m_docSize; }
    // Recomputes the document size and both extents; they become the
    // label's minimum size.
    void updateSize();
    void setFont(const QFont& font);
    // Resizes the label to the rotated extents.
    void adjustSize();

    // Extents (width, height) of a w x h document rotated by an angle in
    // degrees, each made even.
    static QSize rotatedExtents(QSize doc, double angleDegrees);

public Q_SLOTS:
    // A null text is ignored; the toolkit label's own text is not set.
    void setText(const QString& text) override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    double m_angle = -90.0;
    QSize m_docSize{-1, -1};
    int m_rotatedWidth = 0;
    int m_rotatedHeight = 0;
};
