// PlotDiag: the context menu (arrangement, renaming, font, docking, closing),
// renaming an entry, choosing the font and dragging a floating panel.
#include <QAction>
#include <QMenu>
#include <QMouseEvent>

#include "platform/prompter.h"
#include "plot/plotdiag.h"

void PlotDiag::createActions()
{
    m_changeTextAction = new QAction(tr("Change text"), this);
    m_setFontAction = new QAction(tr("Set font"), this);
    connect(m_changeTextAction, &QAction::triggered, this, &PlotDiag::textChangeSelected);
    connect(m_setFontAction, &QAction::triggered, this, qOverload<>(&PlotDiag::setFont));
}

LegendItem* PlotDiag::itemAt(const QPoint& pos) const
{
    const std::vector<QRect> rects = itemRects();
    for (std::size_t i = 0; i < rects.size(); ++i)
        if (rects[i].contains(pos))
            return m_items[i].get();
    return nullptr;
}

void PlotDiag::setFont(const QFont& font)
{
    m_font = font;
    for (auto& it : m_items)
        it->m_font = font;
    if (!m_items.empty())
        adjustSize();
    QWidget::setFont(font);
    update();
}

void PlotDiag::setFont()
{
    if (auto font = kro::prompter().getFont(m_font, this, tr("Select Font"))) {
        setFont(*font);
        Q_EMIT dockChanged(m_dockState);
    }
}

void PlotDiag::textChangeSelected() { m_renameRequested = true; }

void PlotDiag::liClicked(LegendItem* item)
{
    if (!item || !m_renameAllowed || !m_renameRequested)
        return;
    const int id = item->m_id;
    const auto text = kro::prompter().getText(this, tr("Text Change"), tr("Input new text: "), item->text());
    // The entry may have gone while the prompt was open.
    if (text && findItem(id))
        setItemText(id, *text);
}

void PlotDiag::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        m_leftPressed = true;
    const LegendItem* it = itemAt(e->position().toPoint());
    m_pressedId = it ? it->m_id : -1;
    // The panel's clicks are its own: they never reach the plot below.
    e->accept();
}

void PlotDiag::mouseMoveEvent(QMouseEvent* e)
{
    if (m_leftPressed && m_dockState == DOCK_FLOAT)
        dragFloating(e->globalPosition().toPoint());
    e->accept();
}

void PlotDiag::mouseReleaseEvent(QMouseEvent* e)
{
    const bool right = e->button() == Qt::RightButton;
    m_rightReleased = right;
    m_renameRequested = !right;
    if (e->button() == Qt::LeftButton)
        m_leftPressed = false;
    const QPoint local = e->position().toPoint();
    const QPoint global = e->globalPosition().toPoint();
    const int pressedId = m_pressedId;
    m_pressedId = -1;

    if (right) {
        QMenu menu(this);
        fillContextMenu(menu);
        kro::prompter().execMenu(&menu, global);
    }

    // A click: press and release on the same entry.
    if (LegendItem* it = itemAt(local); it && it->m_id == pressedId)
        liClicked(it);
    e->accept();
}

void PlotDiag::fillContextMenu(QMenu& menu)
{
    if (m_menuOptions & 2)
        menu.addAction(tr("Arrange Vertically"), this, [this] { realign(ALIGN_VERTICAL); });
    if (m_menuOptions & 1)
        menu.addAction(tr("Arrange Horizontally"), this, [this] { realign(ALIGN_HORIZONTAL); });
    if (m_renameAllowed)
        menu.addAction(m_changeTextAction);
    menu.addAction(m_setFontAction);
    auto* docking = new QMenu(tr("Docking..."), &menu);
    auto offer = [&](DockState state, const QString& text, bool when) {
        if ((m_dockOptions & state) && when && state != m_dockState)
            docking->addAction(text, this, [this, state] { setDockState(state); });
    };
    offer(DOCK_FLOAT, tr("Float"), m_dockState != DOCK_FLOAT);
    offer(DOCK_EMBED, tr("Embed here"), m_dockState == DOCK_FLOAT);
    offer(DOCK_LEFT, tr("Left"), true);
    offer(DOCK_RIGHT, tr("Right"), true);
    offer(DOCK_TOP, tr("Top"), true);
    offer(DOCK_BOTTOM, tr("Bottom"), true);
    if (!docking->actions().isEmpty())
        menu.addMenu(docking);
    menu.addAction(tr("Close"), this, [this] { setDockState(DOCK_OFF); });
}

void PlotDiag::dragFloating(const QPoint& global)
{
    QRect r(global, size());
    QWidget* page = nullptr;
    for (QWidget* w = m_plot; w; w = w->parentWidget()) {
        if (QLatin1String(w->metaObject()->className()) == QLatin1String("PlotterQuad")) {
            page = w;
            break;
        }
    }
    // A plot that is not on a tab page keeps the panel inside its window.
    if (!page && m_plot)
        page = m_plot->window();
    if (!page) {
        move(global);
        return;
    }
    const QRect bounds(page->mapToGlobal(QPoint(0, 0)), page->size());
    bool clamped = false;
    if (bounds.left() >= global.x()) {
        r.moveLeft(bounds.left() + 2);
        clamped = true;
    }
    if (bounds.top() >= global.y()) {
        r.moveTop(bounds.top() + 2);
        clamped = true;
    }
    if (r.right() >= bounds.right()) {
        r.moveRight(bounds.right() - 2);
        clamped = true;
    }
    if (r.bottom() >= bounds.bottom()) {
        r.moveBottom(bounds.bottom() - 2);
        clamped = true;
    }
    if (clamped)
        setGeometry(r);
    else
        move(global);
}
