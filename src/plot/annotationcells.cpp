#include "plot/annotationcells.h"

#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "platform/prompter.h"

bool askAddRow(QWidget* table, const QPoint& globalPos)
{
    QMenu menu(table);
    QAction* add = menu.addAction(QCoreApplication::translate("Plotter", "Add row"));
    return kro::prompter().execMenu(&menu, globalPos) == add;
}

ColorSwatch::ColorSwatch(const QColor& colour, bool framed, QWidget* parent) : QWidget(parent), m_framed(framed)
{
    setAutoFillBackground(true);
    setColor(colour);
}

void ColorSwatch::setColor(const QColor& colour)
{
    m_color = colour;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colour);
    setPalette(pal);
    update();
}

void ColorSwatch::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_framed) {
        p.fillRect(rect(), QColor(180, 180, 180));
        p.fillRect(QRect(2, 2, width() - 4, height() - 4), m_color);
    } else {
        p.fillRect(rect(), m_color);
    }
}

void ColorSwatch::mousePressEvent(QMouseEvent* e) { e->accept(); }

void ColorSwatch::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        Q_EMIT clicked();
}

void ColorSwatch::mouseDoubleClickEvent(QMouseEvent* e)
{
    e->accept();
    if (e->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
}
