// Plotter: the mouse wheel (scrolling by tick steps, Ctrl zooms about the
// pointer) and the keys (zoom history, scrolling, point size, line width).
#include <QCursor>
#include <QKeyEvent>
#include <QWheelEvent>

#include <cmath>

#include "plot/plotter.h"

void Plotter::scrollAxis(int axis, double steps)
{
    // The range in force moves, so a fixed domain or range scrolls too.
    ViewRect& v = view();
    const double step = v.ticks(axis).step;
    if (!std::isfinite(step))
        return;
    AxisRange& r = v.range(axis);
    r = AxisRange(r.min + steps * step, r.max + steps * step);
    computeAxisTicks(v, axis);
}

void Plotter::wheelEvent(QWheelEvent* event)
{
    const QPoint angle = event->angleDelta();
    const bool vertical = angle.y() != 0 || angle.x() == 0;
    const int delta = vertical ? angle.y() : angle.x();
    const int steps = (delta / 8) / 15;
    const QPoint pos = event->position().toPoint();

    if (event->modifiers() == Qt::ControlModifier && event->buttons() == Qt::NoButton) {
        QRect r = plotArea();
        QCursor::setPos(mapToGlobal(r.center()));
        setCursor(Qt::ArrowCursor);
        const double f = delta / 8 >= 0 ? 0.8 : 1.2;
        r.setWidth(int(r.width() * f));
        r.setHeight(int(r.height() * f));
        r.moveCenter(pos);
        // Backwards the wider view is shown (appended after the view in
        // force), not merely stored.
        zoomToRect(r, true);
        event->accept();
        return;
    }
    if (steps != 0)
        scrollAxis(vertical ? 0 : 1, steps);
    refreshPixmap();
    event->accept();
}

void Plotter::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = mods == Qt::ControlModifier;

    // Shift+Ctrl '=' (which many layouts report as '+') only grows the points.
    if ((key == Qt::Key_Equal || (key == Qt::Key_Plus && !keypad)) && mods == (Qt::ShiftModifier | Qt::ControlModifier)) {
        pointRadius(m_pointDiameter / 2 + 1, SET);
        plot();
        QWidget::keyPressEvent(event);
        return;
    }
    if (key == Qt::Key_Plus && keypad && ctrl) {
        pointRadius(m_pointDiameter / 2 + 1, SET);
        plot();
    } else if (key == Qt::Key_Minus && ctrl) {
        pointRadius(m_pointDiameter / 2 - 1, SET);
        plot();
    } else if (key == Qt::Key_BracketRight && ctrl) {
        if (m_lineWidth + 1 >= 0)
            ++m_lineWidth;
        plot();
        QWidget::keyPressEvent(event);
        return;
    } else if (key == Qt::Key_BracketLeft && ctrl) {
        if (m_lineWidth - 1 >= 0)
            --m_lineWidth;
        plot();
        QWidget::keyPressEvent(event);
        return;
    }

    switch (key) {
    case Qt::Key_Plus:
        zoomIn();
        break;
    case Qt::Key_Minus:
        zoomOut();
        break;
    case Qt::Key_Left:
        scrollAxis(0, -1);
        refreshPixmap();
        break;
    case Qt::Key_Right:
        scrollAxis(0, 1);
        refreshPixmap();
        break;
    case Qt::Key_Up:
        scrollAxis(1, 1);
        refreshPixmap();
        break;
    case Qt::Key_Down:
        scrollAxis(1, -1);
        refreshPixmap();
        break;
    default:
        QWidget::keyPressEvent(event);
        break;
    }
}
