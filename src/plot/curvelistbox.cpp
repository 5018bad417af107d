#include "plot/curvelistbox.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <stdexcept>

#include "core/exceptions.h"
#include "platform/prompter.h"
#include "platform/buttonrow.h"

namespace {

const QChar kArrow(0x2192);

QString arrowText() { return QStringLiteral("%1  ").arg(kArrow); }

// Paints each CurveListItem itself; other items the usual way.
class CurveListDelegate : public QStyledItemDelegate {
public:
    explicit CurveListDelegate(QListWidget* list) : QStyledItemDelegate(list), m_list(list) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const auto* item = dynamic_cast<const CurveListItem*>(m_list->item(index.row()));
        if (!item) {
            QStyledItemDelegate::paint(p, option, index);
            return;
        }
        QRect row = option.rect;
        row.setLeft(0);
        row.setWidth(std::max(option.rect.right() + 1, m_list->viewport()->width()));
        item->paint(*p, row, option.state & QStyle::State_Selected);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const auto* item = dynamic_cast<const CurveListItem*>(m_list->item(index.row()));
        return item ? QSize(item->width(), item->height()) : QStyledItemDelegate::sizeHint(option, index);
    }

private:
    QListWidget* m_list;
};

} // namespace

// ---------------------------------------------------------------------------
// CurveListItem

CurveListItem::CurveListItem(CurveListBox* list, const QString& text, quint32 colour, const QFont& font, int flags,
                             int id)
    : QListWidgetItem(text, nullptr, Type), m_color(QColor::fromRgb(QRgb(colour & 0xFFFFFFu))), m_font(font),
      m_id(id), m_flags(flags)
{
    setFont(font);
    if (list)
        list->addItem(this);
}

int CurveListItem::height() const { return int(1.4 * QFontMetrics(m_font).height()); }

int CurveListItem::width() const
{
    const QFontMetrics fm(m_font);
    const QString shown = (m_flags & ARROW) ? QStringLiteral("%1  %2%3").arg(kArrow).arg(text(), m_extraText)
                                            : text() + m_extraText;
    return 15 + fm.horizontalAdvance(shown) + ((m_flags & LINE_SAMPLE) ? 30 : 0);
}

void CurveListItem::paint(QPainter& p, const QRect& row, bool selected) const
{
    p.save();
    p.fillRect(row, ((m_flags & HIGHLIGHT) && selected) ? QColor(Qt::yellow) : QColor(Qt::white));
    p.setFont(m_font);
    const QFontMetrics fm(m_font);
    int x = row.left() + 5;
    if (m_flags & ARROW) {
        const QString arrow = arrowText();
        if (selected) {
            p.setPen(Qt::black);
            p.drawText(QRect(x, row.top(), fm.horizontalAdvance(arrow), row.height()),
                       Qt::AlignLeft | Qt::AlignVCenter, arrow);
        }
        x = row.left() + fm.horizontalAdvance(arrow) + 5;
    }
    if (m_flags & LINE_SAMPLE) {
        p.setPen(QPen(m_color, 3));
        const int y = row.top() + row.height() / 2;
        p.drawLine(x, y, x + 35, y);
        x += 35;
    }
    x += 5;
    p.setPen((m_flags & COLORED_TEXT) ? m_color : QColor(Qt::black));
    const int textWidth = fm.horizontalAdvance(text());
    p.drawText(QRect(x, row.top(), textWidth + 1, row.height()), Qt::AlignLeft | Qt::AlignVCenter, text());
    if (!m_extraText.isEmpty()) {
        p.setPen(Qt::black);
        p.drawText(QRect(x + textWidth, row.top(), fm.horizontalAdvance(m_extraText) + 1, row.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, m_extraText);
    }
    p.restore();
}

// ---------------------------------------------------------------------------
// CurveListBox

CurveListBox::CurveListBox(QWidget* parent, int minSelected, int maxSelected)
    : QListWidget(parent), m_minSelected(minSelected), m_maxSelected(maxSelected),
      m_font(parent ? parent->font() : QApplication::font())
{
    setMouseTracking(true);
    setItemDelegate(new CurveListDelegate(this));
    setUniformItemSizes(false);
    QListWidget::setFont(m_font);
    connect(this, &QListWidget::itemClicked, this, &CurveListBox::itemClicked);
}

CurveListBox::~CurveListBox() = default;

CurveListItem* CurveListBox::curveItem(int row) const { return dynamic_cast<CurveListItem*>(item(row)); }

QString CurveListBox::allItemText() const
{
    return QCoreApplication::translate("CurveListBox", "All %1s").arg(m_prefix);
}

void CurveListBox::clearItems()
{
    m_lastSelected = nullptr;
    clear();
}

void CurveListBox::setCurves(const std::map<int, Rgb>& colours)
{
    clearItems();
    m_itemCount = colours.size();
    if (colours.empty())
        return;
    if (!m_descriptors.empty() && m_descriptors.size() != colours.size())
        throw std::runtime_error(std::string("CurveListBox descriptors length does not equal item count. "
                                             "Please report this bug (") +
                                 kro::kSupportAddress + ")");
    for (const auto& [number, colour] : colours) {
        QString text;
        if (number == -1)
            text = allItemText();
        else
            text = (m_spacedIds ? QStringLiteral("%1 %2") : QStringLiteral("%1%2")).arg(m_prefix).arg(number);
        new CurveListItem(this, text, colour.value, m_font, m_itemFlags, number);
    }
    if (m_minSelected > 0)
        item(0)->setSelected(true);
}

void CurveListBox::setTexts(const std::vector<QString>& texts)
{
    clearItems();
    int position = 0;
    for (const QString& t : texts)
        new CurveListItem(this, t, 0, m_font, m_itemFlags, position++);
    if (m_minSelected > 0 && count() > 0)
        item(0)->setSelected(true);
}

std::vector<int> CurveListBox::selectedIds() const
{
    std::vector<int> ids;
    const QString all = allItemText();
    for (int i = 0; i < count(); ++i) {
        QListWidgetItem* it = item(i);
        if (!it->isSelected())
            continue;
        const auto* c = dynamic_cast<const CurveListItem*>(it);
        ids.push_back(it->text() == all ? 0 : (c ? c->m_id : i));
    }
    return ids;
}

void CurveListBox::setFont(const QFont& font)
{
    m_font = font;
    for (int i = 0; i < count(); ++i) {
        if (auto* c = curveItem(i)) {
            c->m_font = font;
            c->setFont(font);
        }
    }
    QListWidget::setFont(font);
    doItemsLayout();
}

void CurveListBox::setFont()
{
    if (auto font = kro::prompter().getFont(m_font, this, tr("Select Font")))
        setFont(*font);
}

void CurveListBox::itemClicked(QListWidgetItem* clicked)
{
    if (!clicked)
        return;
    int selected = int(selectedItems().size());
    if (m_maxSelected != -1 && selected > m_maxSelected && m_lastSelected && m_lastSelected != clicked) {
        m_lastSelected->setSelected(false);
        --selected;
    }
    if (clicked->isSelected())
        m_lastSelected = clicked;
    if (selected < m_minSelected) {
        clicked->setSelected(true);
        return;
    }
    Q_EMIT selectionValid(m_maxSelected == -1 || selected <= m_maxSelected);
}

void CurveListBox::mousePressEvent(QMouseEvent* e)
{
    // A press on the empty area keeps the selection as it is.
    m_pressOnEmpty = itemAt(e->position().toPoint()) == nullptr;
    if (m_pressOnEmpty)
        return;
    QListWidget::mousePressEvent(e);
}

void CurveListBox::mouseMoveEvent(QMouseEvent*)
{
    // Dragging does not select.
    m_pressOnEmpty = false;
}

// ---------------------------------------------------------------------------
// CurveIDPanel

CurveIDPanel::CurveIDPanel(QWidget* parent) : CurveListBox(parent, 0, -1) {}

void CurveIDPanel::mouseReleaseEvent(QMouseEvent* e)
{
    QListWidgetItem* it = itemAt(e->position().toPoint());
    const QPoint global = e->globalPosition().toPoint();
    const int button = e->button() == Qt::LeftButton ? 1 : e->button() == Qt::RightButton ? 2 : 4;
    CurveListBox::mouseReleaseEvent(e);
    slot_panel_clicked(button, it, global);
}

void CurveIDPanel::slot_panel_clicked(int button, QListWidgetItem* it, const QPoint& pos)
{
    auto* c = dynamic_cast<CurveListItem*>(it);
    if (!c)
        return;
    if (button == 1) {
        Q_EMIT curve_id_clicked(c);
        return;
    }
    if (button != 2)
        return;
    m_menuItem = c;
    m_menuNumber = c->m_id;
    QMenu menu(this);
    QMenu* colours = menu.addMenu(tr("Colors..."));
    colours->addAction(tr("Set line color..."), this, &CurveIDPanel::selectLineColor_menu_slot);
    colours->addAction(tr("Set point shape color..."), this, &CurveIDPanel::selectPointShapeColor_menu_slot);
    colours->addAction(tr("Set point fill color..."), this, &CurveIDPanel::selectPointFillColor_menu_slot);
    QMenu* shapes = menu.addMenu(tr("Point shapes..."));
    shapes->addAction(tr("Circle"), this, &CurveIDPanel::setPointShape_circle_menu_slot);
    shapes->addAction(tr("Square"), this, &CurveIDPanel::setPointShape_square_menu_slot);
    shapes->addAction(tr("Diamond"), this, &CurveIDPanel::setPointShape_diamond_menu_slot);
    shapes->addAction(tr("Pentagon"), this, &CurveIDPanel::setPointShape_pentagon_menu_slot);
    shapes->addAction(tr("Hexagon"), this, &CurveIDPanel::setPointShape_hexagon_menu_slot);
    shapes->addAction(tr("Triangle"), this, &CurveIDPanel::setPointShape_triangle_menu_slot);
    kro::prompter().execMenu(&menu, pos);
}

int CurveIDPanel::menuCurveId()
{
    // The list is refilled on every redraw of the plot, so the item of the
    // menu is found again by its curve number.
    m_menuItem = nullptr;
    for (int i = 0; i < count(); ++i) {
        if (CurveListItem* c = curveItem(i); c && c->m_id == m_menuNumber) {
            m_menuItem = c;
            return m_menuNumber - 1;
        }
    }
    return -1;
}

void CurveIDPanel::selectLineColor_menu_slot()
{
    const int id = menuCurveId();
    if (id < 0)
        return;
    if (auto c = kro::prompter().getColor(m_menuItem->m_color, nullptr, tr("Select Color")); c && c->isValid())
        Q_EMIT line_color_selected(id, Rgb(c->rgb() & 0xFFFFFFu));
}

void CurveIDPanel::pickPointColour(std::map<int, Rgb>& chosen, bool fill)
{
    const int id = menuCurveId();
    if (id < 0)
        return;
    Rgb& entry = chosen.try_emplace(id, Rgb(Rgb::NotSet)).first->second;
    if (!entry.isSet())
        entry = Rgb(m_menuItem->m_color.rgb() & 0xFFFFFFu);
    auto c = kro::prompter().getColor(QColor::fromRgb(QRgb(entry.rgb())), nullptr, tr("Select Color"));
    if (!c || !c->isValid())
        return;
    entry = Rgb(c->rgb() & 0xFFFFFFu);
    if (fill)
        Q_EMIT fill_color_selected(id, entry);
    else
        Q_EMIT shape_color_selected(id, entry);
}

void CurveIDPanel::selectPointShapeColor_menu_slot() { pickPointColour(m_shapeColors, false); }
void CurveIDPanel::selectPointFillColor_menu_slot() { pickPointColour(m_fillColors, true); }

void CurveIDPanel::emitShape(Zavozi::CurveAttributes::PointStyle shape)
{
    const int id = menuCurveId();
    if (id >= 0)
        Q_EMIT point_shape_selected(id, shape);
}

void CurveIDPanel::setPointShape_circle_menu_slot() { emitShape(Zavozi::CurveAttributes::CIRCLE); }
void CurveIDPanel::setPointShape_square_menu_slot() { emitShape(Zavozi::CurveAttributes::SQUARE); }
void CurveIDPanel::setPointShape_diamond_menu_slot() { emitShape(Zavozi::CurveAttributes::DIAMOND); }
void CurveIDPanel::setPointShape_pentagon_menu_slot() { emitShape(Zavozi::CurveAttributes::PENTAGON); }
void CurveIDPanel::setPointShape_hexagon_menu_slot() { emitShape(Zavozi::CurveAttributes::HEXAGON); }
void CurveIDPanel::setPointShape_triangle_menu_slot() { emitShape(Zavozi::CurveAttributes::TRIANGLE); }

// ---------------------------------------------------------------------------
// CurveSelector

QString CurveSelector::questionText(const QString& prefix, int minSelected, int maxSelected)
{
    const QString noun = prefix.toLower();
    if (minSelected == maxSelected && minSelected == 1)
        return tr("Choose a %1:").arg(noun);
    if (minSelected == maxSelected && minSelected > 1)
        return tr("Choose %1 %2s:").arg(minSelected).arg(noun);
    return tr("Choose one or more %1s:").arg(noun);
}

CurveSelector::CurveSelector(QWidget* parent, const QString& prefix, int minSelected, int maxSelected,
                             const QString& title)
    : QDialog(parent)
{
    setModal(true);
    if (!title.isEmpty())
        setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    m_question = new QLabel(questionText(prefix, minSelected, maxSelected), this);
    layout->addWidget(m_question);
    m_list = new CurveListBox(this, minSelected, maxSelected);
    m_list->m_prefix = prefix;
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(m_list);
    layout->addSpacing(20);
    layout->addLayout(kro::platform::okCancelRow(static_cast<QDialog*>(this), &m_ok));
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(5);
    m_ok->setEnabled(minSelected <= 1);
    m_ok->setDefault(true);
    connect(m_list, &CurveListBox::selectionValid, m_ok, &QPushButton::setEnabled);
}
