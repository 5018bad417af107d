#include "plot/plotdiag.h"

#include <QPainter>
#include <QPaintEvent>
#include <QResizeEvent>

#include <algorithm>

#include "core/specialsymbols.h"

namespace {
// Each channel 80 % of the way to white.
QColor lightColour(const QColor& c)
{
    auto up = [](int v) { return v + static_cast<int>(0.8 * (255 - v)); };
    return QColor(up(c.red()), up(c.green()), up(c.blue()));
}
} // namespace

// ---------------------------------------------------------------------------
// LegendItem

LegendItem::LegendItem(PlotDiag* panel, const QString& text, const QColor& colour, int id)
    : m_color(colour), m_font(panel->m_font), m_id(id), m_text(text)
{
    // On a black panel the entries are white, as setBackground makes the
    // entries already there.
    if (panel->m_background == QColor(Qt::black))
        m_textColor = Qt::white;
    panel->m_items.emplace_back(this);
    panel->m_index.emplace(id, this);
}

int LegendItem::height() const { return QFontMetrics(m_font).height() + 3; }

int LegendItem::width() const
{
    return QFontMetrics(m_font).horizontalAdvance(m_text) + (m_style != 0 ? 45 : 15);
}

void LegendItem::paint(QPainter& p, const QRect& r) const
{
    const int h = r.height();
    const QColor light = lightColour(m_color);
    p.save();
    p.translate(r.topLeft());
    if (m_style & 3) {
        p.setPen(QPen(light, 0));
        p.drawLine(5, h / 2 - 1, 35, h / 2 - 1);
        p.drawLine(5, h / 2 + 1, 35, h / 2 + 1);
        p.setPen(QPen((m_style & 2) ? m_color : light, 0));
        p.drawLine(5, h / 2, 35, h / 2);
    }
    if (m_style & 4) {
        p.setPen(QPen(m_color, 0));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(16, h / 2 - 4, 8, 8);
    }
    p.setFont(m_font);
    p.setPen(m_textColor);
    const int x = m_style != 0 ? 40 : 5;
    p.drawText(QRect(x, 0, r.width() - x, h), Qt::AlignLeft | Qt::AlignVCenter, m_text);
    p.restore();
}

// ---------------------------------------------------------------------------
// PlotDiag

PlotDiag::PlotDiag(QWidget* plot) : QWidget(plot, Qt::Dialog), m_font(plot ? plot->font() : QFont()), m_plot(plot)
{
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, m_background);
    setPalette(pal);
    createActions();
}

PlotDiag::~PlotDiag() = default;

LegendItem* PlotDiag::findItem(int id) const
{
    const auto it = m_index.find(id);
    return it == m_index.end() ? nullptr : it->second;
}

QString PlotDiag::itemText(int id) const
{
    const LegendItem* it = findItem(id);
    return it ? it->text() : QString("");
}

void PlotDiag::setItemText(int id, const QString& text)
{
    LegendItem* it = findItem(id);
    if (!it)
        return;
    it->setText(replaceSpecialSymbols(text));
    adjustSize();
    update();
    Q_EMIT dockChanged(m_dockState);
}

bool PlotDiag::removeItem(int id)
{
    auto pos = std::find_if(m_items.begin(), m_items.end(), [id](const auto& it) { return it->m_id == id; });
    if (pos == m_items.end())
        return false;
    m_items.erase(pos);
    // The first item left with the id, if any, is the one found from now on.
    m_index.erase(id);
    for (const auto& it : m_items)
        if (it->m_id == id) {
            m_index.emplace(id, it.get());
            break;
        }
    update();
    return true;
}

void PlotDiag::clear()
{
    m_items.clear();
    m_index.clear();
    update();
}

void PlotDiag::setBackground(const QColor& colour)
{
    if (colour == m_background)
        return;
    m_background = colour;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colour);
    setPalette(pal);
    if (colour == QColor(Qt::black)) {
        for (auto& it : m_items)
            it->m_textColor = Qt::white;
    } else if (colour == QColor(Qt::white)) {
        for (auto& it : m_items)
            it->m_textColor = Qt::black;
    }
    update();
}

void PlotDiag::setColumnCount(int columns)
{
    m_columnCount = columns;
    update();
}

void PlotDiag::setWrapWidth(int width)
{
    width = std::max(width, 0);
    if (width == m_wrapWidth)
        return;
    m_wrapWidth = width;
    if (m_alignState == ALIGN_HORIZONTAL && m_columnCount <= 0 && !isHidden()) {
        adjustSize();
        update();
    }
}

namespace {

// Items in rows of a given number of columns, row by row; each column as
// wide as its widest item.
std::vector<QRect> rowMajorGrid(const std::vector<int>& widths, int rowHeight, std::size_t columns)
{
    std::vector<int> columnWidth(columns, 0);
    for (std::size_t i = 0; i < widths.size(); ++i)
        columnWidth[i % columns] = std::max(columnWidth[i % columns], widths[i]);
    std::vector<int> left(columns, 0);
    for (std::size_t c = 1; c < columns; ++c)
        left[c] = left[c - 1] + columnWidth[c - 1];
    std::vector<QRect> rects;
    rects.reserve(widths.size());
    for (std::size_t i = 0; i < widths.size(); ++i)
        rects.emplace_back(left[i % columns], int(i / columns) * rowHeight, columnWidth[i % columns], rowHeight);
    return rects;
}

// The most columns whose widths add up to no more than the room; at least one.
std::size_t columnsThatFit(const std::vector<int>& widths, int room)
{
    const int narrowest = *std::min_element(widths.begin(), widths.end());
    std::size_t columns = std::min(widths.size(), std::size_t(std::max(room / std::max(narrowest, 1), 1)));
    for (; columns > 1; --columns) {
        std::vector<int> columnWidth(columns, 0);
        for (std::size_t i = 0; i < widths.size(); ++i)
            columnWidth[i % columns] = std::max(columnWidth[i % columns], widths[i]);
        long long total = 0;
        for (int w : columnWidth)
            total += w;
        if (total <= room)
            break;
    }
    return columns;
}

} // namespace

std::vector<QRect> PlotDiag::itemRects() const
{
    std::vector<QRect> rects;
    if (m_items.empty())
        return rects;
    rects.reserve(m_items.size());
    if (m_columnCount > 0) {
        const std::size_t n = m_items.size();
        const std::size_t cols = std::size_t(m_columnCount);
        const std::size_t rows = (n + cols - 1) / cols;
        int rowHeight = 0;
        for (const auto& it : m_items)
            rowHeight = std::max(rowHeight, it->height());
        int x = 0;
        for (std::size_t c = 0; c * rows < n; ++c) {
            int colWidth = 0;
            for (std::size_t i = c * rows; i < std::min(n, (c + 1) * rows); ++i)
                colWidth = std::max(colWidth, m_items[i]->width());
            for (std::size_t i = c * rows; i < std::min(n, (c + 1) * rows); ++i)
                rects.emplace_back(x, int(i - c * rows) * rowHeight, colWidth, rowHeight);
            x += colWidth;
        }
        return rects;
    }
    if (m_alignState == ALIGN_HORIZONTAL) {
        // One row; when a wrap width is set and the row would be wider, as
        // many rows as it takes, so that every entry stays in view.
        std::vector<int> widths;
        widths.reserve(m_items.size());
        int h = 0, total = 0;
        for (const auto& it : m_items) {
            widths.push_back(it->width());
            total += widths.back();
            h = std::max(h, it->height());
        }
        const std::size_t columns = m_wrapWidth > 0 && total > m_wrapWidth ? columnsThatFit(widths, m_wrapWidth)
                                                                            : widths.size();
        if (columns < widths.size())
            return rowMajorGrid(widths, h, columns);
        int x = 0;
        for (int w : widths) {
            rects.emplace_back(x, 0, w, h);
            x += w;
        }
        return rects;
    }
    // One column; when the panel is shorter than the column, the items fill
    // further columns top to bottom.
    const int limit = (m_alignState == ALIGN_VERTICAL || height() <= 0) ? INT_MAX : height();
    int x = 0, y = 0, colWidth = 0;
    std::size_t colStart = 0;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const LegendItem& it = *m_items[i];
        if (y > 0 && y + it.height() > limit) {
            for (std::size_t k = colStart; k < i; ++k)
                rects[k].setWidth(colWidth);
            x += colWidth;
            y = 0;
            colWidth = 0;
            colStart = i;
        }
        rects.emplace_back(x, y, it.width(), it.height());
        y += it.height();
        colWidth = std::max(colWidth, it.width());
    }
    for (std::size_t k = colStart; k < rects.size(); ++k)
        rects[k].setWidth(colWidth);
    return rects;
}

QSize PlotDiag::contentSize() const
{
    if (m_items.empty())
        return {0, 0};
    if (m_alignState == ALIGN_VERTICAL && m_columnCount <= 0) {
        int w = 0, h = 0;
        for (const auto& it : m_items) {
            w = std::max(w, it->width());
            h += it->height();
        }
        return {w, h};
    }
    QRect all;
    for (const QRect& r : itemRects())
        all |= r;
    return all.size();
}

void PlotDiag::adjustSize()
{
    m_selfResize = true;
    const QSize s = contentSize();
    resize(std::max(s.width(), 1), std::max(s.height(), 1));
}

void PlotDiag::realign(AlignState type)
{
    if (type == m_alignState || (type != ALIGN_HORIZONTAL && type != ALIGN_VERTICAL))
        return;
    m_alignState = type;
    m_columnCount = -1;
    if (!isHidden()) {
        adjustSize();
        update();
    }
}

void PlotDiag::realign(int type) { realign(static_cast<AlignState>(type)); }

void PlotDiag::show()
{
    if (!m_items.empty())
        QWidget::show();
}

void PlotDiag::applyDockState(DockState state)
{
    if (state == m_dockState)
        return;
    const DockState old = m_dockState;
    m_dockState = state;
    const bool hidden = isHidden();
    if (state == DOCK_FLOAT) {
        const QPoint global = mapToGlobal(QPoint(0, 0));
        m_selfResize = true;
        // No title bar; a border the user can resize with (menu option 4),
        // else none.
        setParent(m_plot, Qt::Tool | ((m_menuOptions & 4) ? Qt::CustomizeWindowHint : Qt::FramelessWindowHint));
        move(global);
        if (!hidden)
            QWidget::show();
    } else if (old == DOCK_FLOAT) {
        const QPoint inPlot = m_plot ? m_plot->mapFromGlobal(mapToGlobal(QPoint(0, 0))) : pos();
        m_selfResize = true;
        setParent(m_plot, Qt::Widget);
        move(inPlot);
        if (!hidden)
            QWidget::show();
    }
}

void PlotDiag::setDockState(int state)
{
    applyDockState(static_cast<DockState>(state));
    Q_EMIT dockChanged(m_dockState);
}

void PlotDiag::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    const std::vector<QRect> rects = itemRects();
    // A long legend reaches far past what can be seen.
    const QRect shown = e->rect() & rect();
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (rects[i].intersects(shown))
            m_items[i]->paint(p, rects[i]);
}

void PlotDiag::resizeEvent(QResizeEvent* e)
{
    if (!m_selfResize)
        m_alignState = ALIGN_NONE;
    m_selfResize = false;
    QWidget::resizeEvent(e);
}

void PlotDiag::showEvent(QShowEvent* e)
{
    adjustSize();
    QWidget::showEvent(e);
}
