#pragma once
// Lists of curves: an item that paints a curve's name in its colour (with an
// optional line sample, a selection arrow and an extra text), a list of such
// items that keeps the number of selected items between a minimum and a
// maximum, the curve identification panel of a plot with its colour and
// point-shape menu, and the small dialog the plot's curve prompts use.
#include <QDialog>
#include <QFont>
#include <QListWidget>
#include <QStyledItemDelegate>

#include <map>
#include <vector>

#include "core/curvedata.h"

class CurveListBox;
class QPushButton;
class QLabel;

class CurveListItem : public QListWidgetItem {
public:
    // Drawing flags.
    enum Flag {
        ARROW = 1,         // an arrow before selected items
        HIGHLIGHT = 2,     // yellow background when selected
        LINE_SAMPLE = 4,   // a line sample in the item colour
        COLORED_TEXT = 8,  // the item text in the item colour (else black)
    };
    static constexpr int Type = QListWidgetItem::UserType + 1;

    // Appends itself to the list. colour: the 24-bit RGB part is used.
    CurveListItem(CurveListBox* list, const QString& text, quint32 colour, const QFont& font, int flags, int id);

    int height() const;
    int width() const;
    // Paints the item into its row (the list's visible width).
    void paint(QPainter& p, const QRect& row, bool selected) const;

    QColor m_color;
    QFont m_font;
    QString m_extraText;  // drawn in black after the item text
    int m_id;             // curve number from 1; -1 for the all-curves item
    int m_flags;
};

class CurveListBox : public QListWidget {
    Q_OBJECT

public:
    // maxSelected -1: no limit. The font is the parent's (the application's
    // without a parent).
    CurveListBox(QWidget* parent, int minSelected, int maxSelected);
    ~CurveListBox() override;

    // Fills the list from curve numbers (or -1 for the all-curves item) to
    // colours. Raises std::runtime_error when m_descriptors is not empty and
    // its length differs from the map's size; nothing is added then.
    void setCurves(const std::map<int, Rgb>& colours);
    // Fills the list with plain text items numbered by position.
    void setTexts(const std::vector<QString>& texts);
    // The ids of the selected items in list order; 0 for the all-curves item.
    std::vector<int> selectedIds() const;
    // The font of the list and of every item.
    void setFont(const QFont& font);

    CurveListItem* curveItem(int row) const;
    // The text of the all-curves item for the prefix in force.
    QString allItemText() const;

    bool m_pressOnEmpty = false;
    bool m_spacedIds = true;
    std::size_t m_itemCount = 0;
    int m_minSelected;
    int m_maxSelected;
    QString m_prefix;
    std::vector<QString> m_descriptors;
    QListWidgetItem* m_lastSelected = nullptr;
    int m_itemFlags = CurveListItem::HIGHLIGHT | CurveListItem::LINE_SAMPLE;
    QFont m_font;

public Q_SLOTS:
    // Keeps the selection within the limits and reports whether it is valid.
    void itemClicked(QListWidgetItem* item);
    // Font dialog started from the list's font.
    void setFont();

Q_SIGNALS:
    void selectionValid(bool valid);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    void clearItems();
};

// The curve identification panel of a plot: a click shows which curve an
// item is, a right click opens the colour and point-shape menu.
class CurveIDPanel : public CurveListBox {
    Q_OBJECT

public:
    explicit CurveIDPanel(QWidget* parent = nullptr);

    CurveListItem* m_menuItem = nullptr;
    int m_menuNumber = 0;  // the curve number of m_menuItem
    std::map<int, Rgb> m_fillColors;
    std::map<int, Rgb> m_shapeColors;

public Q_SLOTS:
    // button: 1 left, 2 right; pos: global position of the pointer.
    void slot_panel_clicked(int button, QListWidgetItem* item, const QPoint& pos);
    void selectLineColor_menu_slot();
    void selectPointShapeColor_menu_slot();
    void selectPointFillColor_menu_slot();
    void setPointShape_circle_menu_slot();
    void setPointShape_square_menu_slot();
    void setPointShape_diamond_menu_slot();
    void setPointShape_pentagon_menu_slot();
    void setPointShape_hexagon_menu_slot();
    void setPointShape_triangle_menu_slot();

Q_SIGNALS:
    void curve_id_clicked(CurveListItem* item);
    void line_color_selected(int id, Rgb colour);
    void shape_color_selected(int id, Rgb colour);
    void fill_color_selected(int id, Rgb colour);
    void point_shape_selected(int id, Zavozi::CurveAttributes::PointStyle shape);

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    // The menu item's curve id (number - 1); -1 without an item.
    int menuCurveId();
    void pickPointColour(std::map<int, Rgb>& chosen, bool fill);
    void emitShape(Zavozi::CurveAttributes::PointStyle shape);
};

// The dialog of the plot's curve prompts: a line saying what to choose, a
// curve list with "Ok" and "Cancel". The caller fills the list and reads
// the selection after acceptance; the title names the tool that asks.
class CurveSelector : public QDialog {
    Q_OBJECT

public:
    CurveSelector(QWidget* parent, const QString& prefix, int minSelected, int maxSelected,
                  const QString& title = QString());

    CurveListBox* list() const { return m_list; }
    QPushButton* okButton() const { return m_ok; }
    QLabel* question() const { return m_question; }
    // "Choose a curve:", "Choose 2 curves:", "Choose one or more curves:"
    // for the prefix "Curve"; the prefix names the items.
    static QString questionText(const QString& prefix, int minSelected, int maxSelected);

    CurveListBox* m_list;

private:
    QPushButton* m_ok;
    QLabel* m_question;
};
