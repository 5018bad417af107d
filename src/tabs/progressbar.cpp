#include "tabs/progressbar.h"

#include "import/parsingevents.h"

#include <algorithm>

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent)
{
    setRange(0, 1000);
    setValue(0);
    QProgressBar::setVisible(false);
}

void ProgressBar::setVisible(bool visible)
{
    if (!visible)
        m_armed = false;
    QProgressBar::setVisible(visible && m_armed);
}

void ProgressBar::customEvent(QEvent* event)
{
    auto* update = dynamic_cast<ProgressBarUpdate*>(event);
    if (!update)
        return;
    if (event->type() == QEvent::Type(ProgressBarUpdate::FILE_NAME)) {
        m_total = update->value();
        setWindowTitle(update->text());
        setFormat(update->text().isEmpty() ? QStringLiteral("%p%") : update->text() + QStringLiteral(" - %p%"));
        setValue(0);
    } else if (event->type() == QEvent::Type(ProgressBarUpdate::PROGRESS)) {
        if (m_total == 0)
            return;
        setValue(std::min(1000, static_cast<int>(double(update->value()) / double(m_total) * 1000.0)));
    }
}
