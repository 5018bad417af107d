#pragma once
// The small list panel of a plot: the legend (one entry per titled curve,
// with a line or point sample in the curve's colour) and the marker table.
// This file holds the items, their sizes and painting, the arrangement and
// the dock state; the context menu, renaming, font choice and dragging of a
// floating panel belong to the legend/marker-panel module.
#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

#include <memory>
#include <unordered_map>
#include <vector>

#include "plot/plottypes.h"

class PlotDiag;
class QAction;
class QMenu;
class QPainter;

class LegendItem {
public:
    // Appends the new item at the end of the panel's list, text colour
    // black (white on a black panel), the panel's font, style 2.
    LegendItem(PlotDiag* panel, const QString& text, const QColor& colour, int id);

    int height() const;
    int width() const;
    void paint(QPainter& p, const QRect& r) const;
    const QString& text() const { return m_text; }
    void setText(const QString& text) { m_text = text; }

    QColor m_color;
    QColor m_textColor{Qt::black};
    QFont m_font;
    int m_style = 2; // 1 light band, 2 line with light edges, 4 point circle, 0 text only
    int m_id = 0;

private:
    QString m_text;
};

class PlotDiag : public QWidget {
    Q_OBJECT

public:
    explicit PlotDiag(QWidget* plot);
    ~PlotDiag() override;

    int count() const { return int(m_items.size()); }
    LegendItem* item(int i) const { return m_items.at(std::size_t(i)).get(); }
    LegendItem* findItem(int id) const;
    QString itemText(int id) const;
    // Sets an existing item's text (symbol codes replaced), resizes and
    // emits dockChanged with the state in force.
    void setItemText(int id, const QString& text);
    // Removes the item with that id; false when there is none.
    bool removeItem(int id);
    void clear();

    // Lays the items out in that many columns, filling each column top to
    // bottom (the marker table's two columns); 0 or less: the arrangement.
    void setColumnCount(int columns);
    int columnCount() const { return m_columnCount; }

    // The widest a horizontal arrangement may be (0: no limit); wider rows
    // wrap into more rows. The plot sets it to the room beside the plot.
    void setWrapWidth(int width);
    int wrapWidth() const { return m_wrapWidth; }

    void setBackground(const QColor& colour);
    QColor background() const { return m_background; }
    QSize contentSize() const;
    void adjustSize();
    // The rectangle of each item in the arrangement in force.
    std::vector<QRect> itemRects() const;
    DockState dockState() const { return m_dockState; }
    AlignState alignState() const { return m_alignState; }

    DockState m_dockState = DOCK_FLOAT;
    AlignState m_alignState = ALIGN_NONE;
    int m_menuOptions = 7;
    int m_dockOptions = 126;
    int m_fixedColumns = -1;
    bool m_leftPressed = false;
    bool m_selfResize = false;
    bool m_renameAllowed = true;
    bool m_renameRequested = false;
    bool m_rightReleased = false;
    QFont m_font;
    QWidget* m_plot = nullptr;
    int m_itemStyle = 0;

    // --- context menu, renaming, font and dragging (plotdiag_menu.cpp) ---
    QAction* m_changeTextAction = nullptr;
    QAction* m_setFontAction = nullptr;
    // Stores the font and gives it to every item.
    void setFont(const QFont& font);
    // The dock state without the dockChanged signal.
    void setDockStateQuietly(int state) { applyDockState(static_cast<DockState>(state)); }
    // Moves a floating panel to a global position, kept 2 pixels inside the
    // plot's tab page (or the plot's window when it is not on a tab page).
    void dragFloating(const QPoint& global);
    // The entries of the context menu for the state in force.
    void fillContextMenu(QMenu& menu);
    // The item under a point of the panel, or nullptr.
    LegendItem* itemAt(const QPoint& pos) const;

public Q_SLOTS:
    void realign(AlignState type);
    void realign(int type);
    // Shows the panel only when it holds at least one item.
    void show();
    // Stores the state (floating makes the panel a separate window, any
    // other state a child of the plot) and emits dockChanged.
    void setDockState(int state);
    // Asks for a new text of the item when renaming was asked for.
    void liClicked(LegendItem* item);
    // "Change text": the item under the pointer is renamed.
    void textChangeSelected();
    // Font dialog; a chosen font is set and the plot relayouts.
    void setFont();

Q_SIGNALS:
    void closed();
    void dockChanged(DockState);
    void reqFontSize();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    friend class LegendItem;
    // Applies the state without emitting.
    void applyDockState(DockState state);

    void createActions();
    // The item id under the last press (-1: none).
    int m_pressedId = -1;
    std::vector<std::unique_ptr<LegendItem>> m_items;
    std::unordered_map<int, LegendItem*> m_index; // the first item of each id
    int m_columnCount = -1;
    int m_wrapWidth = 0;
    QColor m_background{Qt::white};
};
