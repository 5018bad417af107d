#pragma once
// Draggable line overlays of a plot: a transparent child widget showing one
// straight segment with optional arrow heads and a text label, shape-masked
// to exactly the pixels it draws so clicks elsewhere reach the plot.
//   LineWidget        the line, its hover grip, dragging of line and label
//   MarkerWidget      a marker line with the marker context menu
//   MarkerDiffWidget  the double-headed arrow of a marker difference
//   ArrowWidget       a free arrow annotation ("Customize...")
// The widgets know nothing of data coordinates: they report drags through
// signals and their owner converts.
#include <QBitmap>
#include <QColor>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QWidget>

#include <utility>

#include "plot/plottypes.h"

class QPainter;

// The two base corners of an arrow head drawn at `to` on the segment from
// `from`: head length min(0.4 L, 15), half width head length x tan 20 deg.
std::pair<QPointF, QPointF> arrowHeadCorners(const QPointF& from, const QPointF& to);

class LineWidget : public QWidget {
    Q_OBJECT

public:
    LineWidget(int number, QWidget* parent);
    ~LineWidget() override;

    // The label text as drawn: the caption, then ": value" when the
    // position is shown.
    QString labelText() const;
    // Recomputes the shape mask from what the widget draws.
    void updateMask();
    // Asks every widget under the pixels the shape no longer covers (given
    // in this widget's coordinates) to repaint them.
    void repaintVacated(const QRegion& vacated);
    // Mask and repaint after a change of what the widget shows.
    void refresh();
    // Hover test for a pointer at a global position.
    void updateHover(const QPoint& globalPos);
    // Everything the widget shows; in the mask pass every colour is colour 1.
    void drawShape(QPainter& p, bool maskPass);

    int m_number;
    bool m_draggingLine = false;
    bool m_draggingLabel = false;
    bool m_labelMovable = true;
    QColor m_color{0, 170, 255};
    QRect m_bounds;      // drag limits for the pointer (widget coordinates)
    QRect m_labelRect;   // label rectangle at its default place
    QPoint m_labelOffset; // the user's displacement of the label
    QPoint m_origin;     // the widget's position in the plot (owner's bookkeeping)
    QPoint m_hoverPoint; // foot of the pointer on the line while hovering
    QBitmap m_mask;
    QRegion m_maskRegion;  // the mask in force
    bool m_isDifference = false;
    int m_orientation = 0; // 0 vertical, 1 horizontal, 2 free
    QString m_caption;
    QString m_valueText;
    QPoint m_p1;
    QPoint m_p2;
    bool m_headAtP1 = false;
    bool m_headAtP2 = false;
    bool m_hover = false;
    bool m_rotateText = false;
    bool m_textFrame = false;
    bool m_showPosition = false;
    int m_lineWidth = 3;
    QPointF m_headOffset;

    using QWidget::moveEvent;

Q_SIGNALS:
    // While the line is dragged (once per move) and when a line drag ends.
    void moveEvent(int number);
    void releaseEvent(int number);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    // The left-button part of a release (repaint, releaseEvent, drag end).
    void finishLeftRelease(QMouseEvent* e);
};

class MarkerWidget : public LineWidget {
    Q_OBJECT

public:
    MarkerWidget(int number, QWidget* parent);

    // Stores the difference flag; a plain marker gets the caption "M<n>".
    void setDifferenceMarker(bool on);

    bool m_menuEnabled = false;

public Q_SLOTS:
    // Context-menu entries: 0-9 computed positions (searchReq), 10 colour,
    // 11 line weight, 12 show position.
    void menuSelection(int id);

Q_SIGNALS:
    void searchReq(int number, SearchType type);

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    // Pops a menu of (text, id) entries up at the pointer and runs the choice.
    void runMenu(const std::vector<std::pair<QString, int>>& entries, const QPoint& globalPos);
};

// Deliberately without its own meta-object: it answers as a MarkerWidget.
class MarkerDiffWidget : public MarkerWidget {
public:
    MarkerDiffWidget(int number, QWidget* parent);

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
};

class ArrowWidget : public LineWidget {
    Q_OBJECT

public:
    ArrowWidget(int number, QWidget* parent);

public Q_SLOTS:
    void menuSelection(int id);

Q_SIGNALS:
    void customize(int number);

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
};
