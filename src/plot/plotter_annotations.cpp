// Plotter: custom labels and their table, arrows and their table.
#include <QSignalBlocker>
#include <QSpinBox>

#include "plot/actionlabel.h"
#include "plot/arrowtable.h"
#include "plot/labeler.h"
#include "plot/linewidget.h"
#include "plot/plotter.h"

namespace {
// How the table shows a label's text: its first 30 characters on one line.
QString shortLabelText(const QString& plain)
{
    QString shown = plain.left(30);
    shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (plain.size() > 30)
        shown += QStringLiteral("...");
    return shown;
}
} // namespace

void Plotter::showLabeler()
{
    if (!m_labeler) {
        m_labeler = new Labeler(this);
        connect(m_labeler, qOverload<int>(&Labeler::itemChanged), this, &Plotter::paintLabel);
        connect(m_labeler, &Labeler::textChangeRequest, this, &Plotter::labelTextChangeReq);
        connect(m_labeler, &Labeler::labelDeleteReq, this, qOverload<int>(&Plotter::labelDeleteReq));
    }
    if (m_labeler->isMinimized())
        m_labeler->showNormal();
    if (m_labeler->isHidden() || !m_labeler->isVisible()) {
        m_labeler->show();
        m_labeler->activateWindow();
    }
}

ActionLabel* Plotter::customLabel(int id)
{
    ActionLabel* label = nullptr;
    for (ActionLabel* l : m_customLabels)
        if (l->id() == id) {
            label = l;
            break;
        }
    if (!label) {
        label = new ActionLabel(QStringLiteral(""), this);
        label->setTextFormat(Qt::RichText);
        label->setMovable(true);
        label->setDetachable(true);
        label->setEditable(true);
        label->setId(id);
        label->setToolTip(tr("Click to change text\nDouble-click to reshape"));
        connect(label, &ActionLabel::labelMoveEvent, this, &Plotter::labelDragged);
        connect(label, &ActionLabel::textSet, this, &Plotter::labelTextChanged);
        connect(label, &ActionLabel::markupRefused, this,
                [this](const QString& problem) { Q_EMIT verbose(ZEVOVE::ERROR, problem + QLatin1Char('.')); });
        m_customLabels.push_back(label);
    }
    if (m_labeler) {
        const int row = m_labeler->rowOfId(id);
        if (row >= 0)
            label->move(m_labeler->rowPosition(row));
    }
    label->show();
    return label;
}

void Plotter::paintLabel(int id)
{
    if (!m_labeler)
        return;
    ActionLabel* label = customLabel(id);
    const int row = m_labeler->rowOfId(id);
    if (row < 0)
        return;
    if (m_labeler->m_changeKind == Labeler::ColorChange) {
        QPalette pal = label->palette();
        pal.setColor(QPalette::Window, m_labeler->rowColor(row));
        label->setPalette(pal);
    } else if (m_labeler->m_changeKind == Labeler::PositionChange) {
        label->move(m_labeler->rowPosition(row));
    }
}

void Plotter::labelTextChangeReq(int id) { customLabel(id)->openDesigner(); }

void Plotter::labelTextChanged(const QString&)
{
    auto* label = qobject_cast<ActionLabel*>(sender());
    if (!label || !m_labeler)
        return;
    const int row = m_labeler->rowOfId(label->id());
    if (row < 0)
        return;
    if (QTableWidgetItem* item = m_labeler->item(row, Labeler::TextColumn))
        item->setText(shortLabelText(label->plainText()));
}

void Plotter::labelDragged(const QPoint& at)
{
    auto* label = qobject_cast<ActionLabel*>(sender());
    if (!label || !m_labeler)
        return;
    const int row = m_labeler->rowOfId(label->id());
    QSpinBox* x = row >= 0 ? m_labeler->xBox(row) : nullptr;
    QSpinBox* y = row >= 0 ? m_labeler->yBox(row) : nullptr;
    if (!x || !y)
        return;
    // The drag is written back without coming back as a move request.
    const QSignalBlocker blockX(x);
    const QSignalBlocker blockY(y);
    x->setValue(at.x());
    y->setValue(at.y());
}

void Plotter::labelDeleteReq(int id)
{
    for (auto it = m_customLabels.begin(); it != m_customLabels.end(); ++it)
        if ((*it)->id() == id) {
            ActionLabel* label = *it;
            m_customLabels.erase(it);
            delete label;
            return;
        }
}

void Plotter::addArrow()
{
    if (m_arrowTable) {
        m_arrowTable->addRow();
        return;
    }
    m_arrowTable = new ArrowTable(this);
    connect(m_arrowTable, &ArrowTable::arrowBuilt, this, &Plotter::arrowInit);
    m_arrowTable->addRow();
}

void Plotter::arrowInit(ArrowWidget* arrow)
{
    const int w = width(), h = height();
    const int left = m_marginLeft, top = m_marginTop, right = m_marginRight, bottom = m_marginBottom;
    arrow->m_origin = QPoint(left, top);
    arrow->m_bounds = QRect(QPoint(0, 0), QPoint(w - 1 - right - left, h - 1 - bottom - top));
    arrow->setFixedSize(std::max(0, w - left - right), std::max(0, h - top - bottom));
    arrow->move(left, top);
    arrow->show();
}
