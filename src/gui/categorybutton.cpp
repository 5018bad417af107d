#include "gui/categorybutton.h"

void MutexBtnGroupHandler::addButton(BTNGRPCAT group, CategoryButton* button)
{
    if (group == NO_GROUP || !button)
        return;
    auto& list = m_groups[group];
    if (list.contains(button))
        return;
    list.append(button);
    connect(button, &QAbstractButton::toggled, this, &MutexBtnGroupHandler::on_btnToggle);
    connect(button, &QObject::destroyed, this, [this, button] {
        for (auto& [g, l] : m_groups)
            l.removeAll(button);
        if (m_current == button)
            m_current = nullptr;
    });
}

BTNGRPCAT MutexBtnGroupHandler::groupOf(const QAbstractButton* button) const
{
    for (const auto& [group, list] : m_groups)
        for (const CategoryButton* b : list)
            if (b == button)
                return group;
    return NO_GROUP;
}

CategoryButton* MutexBtnGroupHandler::button(BTNGRPCAT group, int exclusiveIndex) const
{
    const auto it = m_groups.find(group);
    if (it == m_groups.end())
        return nullptr;
    for (CategoryButton* b : it->second)
        if (b->exclusiveIndex() == exclusiveIndex)
            return b;
    return nullptr;
}

const QList<CategoryButton*> MutexBtnGroupHandler::buttons(BTNGRPCAT group) const
{
    const auto it = m_groups.find(group);
    return it == m_groups.end() ? QList<CategoryButton*>() : it->second;
}

void MutexBtnGroupHandler::on_btnToggle(bool on)
{
    auto* sender = qobject_cast<CategoryButton*>(QObject::sender());
    if (!sender)
        return;
    m_current = sender;
    const BTNGRPCAT group = groupOf(sender);
    if (group == NO_GROUP)
        return;
    for (CategoryButton* other : m_groups[group]) {
        if (other == sender)
            continue;
        disconnect(other, &QAbstractButton::toggled, this, &MutexBtnGroupHandler::on_btnToggle);
        other->setChecked(false);
        connect(other, &QAbstractButton::toggled, this, &MutexBtnGroupHandler::on_btnToggle);
    }
    Q_EMIT btnToggled(group, on);
}
