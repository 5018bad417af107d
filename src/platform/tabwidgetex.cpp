#include "platform/tabwidgetex.h"

#include <QFile>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QToolButton>

namespace {

// A named image of the program's image collection at 12 x 12 pixels; a drawn
// plus sign or cross when the collection has none.
QIcon cornerIcon(const QString& name, bool plus)
{
    const QString path = QStringLiteral(":/images/") + name;
    if (QFile::exists(path))
        return QIcon(QPixmap(path).scaled(12, 12, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    QPixmap pm(12, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 2));
    if (plus) {
        p.drawLine(QPointF(6, 2), QPointF(6, 10));
        p.drawLine(QPointF(2, 6), QPointF(10, 6));
    } else {
        p.drawLine(QPointF(3, 3), QPointF(9, 9));
        p.drawLine(QPointF(9, 3), QPointF(3, 9));
    }
    return QIcon(pm);
}

} // namespace

TabControls::TabControls(QWidget* parent, int spacing) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_new = new QToolButton(this);
    m_new->setIcon(cornerIcon(QStringLiteral("add.png"), true));
    m_new->setIconSize(QSize(12, 12));
    m_new->setToolTip(tr("New Tab"));
    m_new->setAutoRaise(true);
    connect(m_new, &QToolButton::clicked, this, &TabControls::newClicked);
    m_close = new QToolButton(this);
    m_close->setIcon(cornerIcon(QStringLiteral("close.png"), false));
    m_close->setIconSize(QSize(12, 12));
    m_close->setToolTip(tr("Close Tab"));
    m_close->setAutoRaise(true);
    connect(m_close, &QToolButton::clicked, this, &TabControls::closeClicked);
    layout->addWidget(m_new);
    layout->addWidget(m_close);
    layout->addSpacing(spacing);
    setFixedHeight(20);
}

TabBarEx::TabBarEx(QTabWidget* parent, const QColor& fill) : QTabBar(parent), m_fillColor(fill) {}

QString TabBarEx::shownText(const QString& label)
{
    QString shown;
    shown.reserve(label.size());
    for (qsizetype i = 0; i < label.size(); ++i) {
        if (label.at(i) == QLatin1Char('&')) {
            if (i + 1 < label.size() && label.at(i + 1) == QLatin1Char('&')) {
                shown += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        shown += label.at(i);
    }
    return shown;
}

QRect TabBarEx::labelRect(int index) const
{
    const QRect tab = tabRect(index);
    if (m_iconOnly)
        return tab;
    const QFontMetrics fm(font());
    const QIcon icon = tabIcon(index);
    int w = fm.horizontalAdvance(shownText(tabText(index))) + 4;
    int h = fm.height() + 4;
    if (!icon.isNull()) {
        w += iconSize().width() + 4;
        h = std::max(h, iconSize().height());
    }
    QRect r(0, 0, w, h);
    r.moveCenter(tab.center());
    r.translate(-3, 0);
    return r;
}

void TabBarEx::tabRemoved(int index)
{
    QTabBar::tabRemoved(index);
    Q_EMIT tabRemovedCount(count());
}

void TabBarEx::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        const int index = tabAt(event->position().toPoint());
        if (index >= 0)
            Q_EMIT tabRightClicked(index);
    }
    QTabBar::mousePressEvent(event);
}

void TabBarEx::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    const QPoint mouse = mapFromGlobal(QCursor::pos());
    for (int i = 0; i < count(); ++i) {
        QStyleOptionTab opt;
        initStyleOption(&opt, i);
        const bool selected = i == currentIndex();
        if (opt.rect.contains(mouse))
            opt.state |= QStyle::State_MouseOver;
        painter.drawControl(QStyle::CE_TabBarTabShape, opt);
        if (selected && !m_iconOnly) {
            const QRect r = opt.rect;
            painter.fillRect(QRect(r.x() + 2, r.y() + 2, r.width() - 3, r.height() - 2), m_fillColor);
        }
        paintLabel(painter, i, labelRect(i), i == currentIndex());
    }
}

void TabBarEx::paintLabel(QPainter& painter, int index, const QRect& rect, bool hasFocus)
{
    const bool enabled = isEnabled() && isTabEnabled(index);
    QRect textRect = rect;
    const QIcon icon = tabIcon(index);
    if (!icon.isNull()) {
        const QIcon::Mode mode = !enabled ? QIcon::Disabled : hasFocus ? QIcon::Active : QIcon::Normal;
        const QPixmap pm = icon.pixmap(iconSize(), mode);
        const QSize size = pm.deviceIndependentSize().toSize();
        QPoint at;
        if (m_iconOnly) {
            at = rect.center() - QPoint(size.width() / 2, size.height() / 2);
        } else {
            const int shiftX = hasFocus ? 0 : style()->pixelMetric(QStyle::PM_TabBarTabShiftHorizontal, nullptr, this);
            const int shiftY = hasFocus ? 0 : style()->pixelMetric(QStyle::PM_TabBarTabShiftVertical, nullptr, this);
            at = QPoint(rect.left() + shiftX + 2, rect.center().y() - size.height() / 2 + shiftY);
        }
        painter.drawPixmap(at, pm);
        textRect.setLeft(rect.left() + size.width() + 4);
        textRect.translate(0, 2);
    }
    if (m_iconOnly)
        return;
    painter.setPen(enabled ? m_labelColor : palette().color(QPalette::Disabled, QPalette::WindowText));
    painter.setFont(font());
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextShowMnemonic, tabText(index));
}

TabWidgetEx::TabWidgetEx(QWidget* parent, int spacing) : QTabWidget(parent)
{
    const QColor background = (parent ? parent->palette() : palette()).color(QPalette::Window);
    m_tabBar = new TabBarEx(this, background);
    setTabBar(m_tabBar);
    m_controls = new TabControls(this, spacing);
    connect(m_controls, &TabControls::newClicked, this, &TabWidgetEx::newClicked);
    connect(m_controls, &TabControls::closeClicked, this, &TabWidgetEx::closeClicked);
    connect(m_tabBar, &TabBarEx::tabRemovedCount, this, &TabWidgetEx::on_tabRemoved);
    setCornerWidget(m_controls, Qt::TopRightCorner);
}

std::string TabWidgetEx::currentLabel() const
{
    if (currentIndex() < 0)
        return std::string();
    return tabText(currentIndex()).toLatin1().toStdString();
}

void TabWidgetEx::showTabBar(bool show) { m_tabBar->setVisible(show); }

void TabWidgetEx::tabInserted(int index)
{
    QTabWidget::tabInserted(index);
    if (m_controls->isHidden())
        m_controls->show();
}

void TabWidgetEx::on_tabRemoved(int tabsLeft)
{
    if (tabsLeft == 0)
        m_controls->hide();
}
