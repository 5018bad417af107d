#pragma once
// Pointer and key input for plot tests. Events go through the plot's
// window, as the platform delivers them, so they reach whichever child is
// under the pointer (shape masks included).
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWindow>

#include "plot/plotter.h"

namespace plottest {

inline QWindow* windowOf(QWidget& w)
{
    QWidget* top = w.window();
    top->winId();
    return top->windowHandle();
}

// A position in the plot's coordinates as a position in its window.
inline QPoint inWindow(QWidget& w, const QPoint& p) { return w.mapTo(w.window(), p); }

// Buttons held by the helpers' pointer.
inline Qt::MouseButtons g_heldButtons;

// One mouse event delivered to the widget's window, which routes it to the
// child under the pointer (or to the child holding the implicit grab).
inline void sendMouse(QWidget& w, QEvent::Type type, const QPoint& p, Qt::MouseButton button,
                      Qt::KeyboardModifiers m)
{
    const QPoint wp = inWindow(w, p);
    QMouseEvent e(type, QPointF(wp), QPointF(wp), QPointF(w.window()->mapToGlobal(wp)), button, g_heldButtons, m);
    QApplication::sendEvent(windowOf(w), &e);
}

inline void press(QWidget& w, const QPoint& p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
{
    g_heldButtons |= b;
    sendMouse(w, QEvent::MouseButtonPress, p, b, m);
}

inline void release(QWidget& w, const QPoint& p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
{
    g_heldButtons &= ~Qt::MouseButtons(b);
    sendMouse(w, QEvent::MouseButtonRelease, p, b, m);
}

inline void moveTo(QWidget& w, const QPoint& p) { sendMouse(w, QEvent::MouseMove, p, Qt::NoButton, {}); }

// Brings the pointer to a position (a move from just beside it).
inline void approach(QWidget& w, const QPoint& p)
{
    moveTo(w, p + QPoint(0, 1));
    moveTo(w, p);
}

// Press, a few moves and release: a rubber band or a pan.
inline void drag(QWidget& w, const QPoint& from, const QPoint& to, int steps = 4)
{
    approach(w, from);
    press(w, from);
    for (int i = 1; i <= steps; ++i)
        moveTo(w, from + (to - from) * i / steps);
    release(w, to);
}

inline void click(QWidget& w, const QPoint& p, Qt::MouseButton b = Qt::LeftButton)
{
    approach(w, p);
    press(w, p, b);
    release(w, p, b);
}

// A wheel turn at a position of the plot, sent to the plot.
inline void wheel(QWidget& w, const QPoint& p, QPoint angle, Qt::KeyboardModifiers m = {})
{
    QWheelEvent e(QPointF(p), QPointF(w.mapToGlobal(p)), QPoint(), angle, Qt::NoButton, m, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w, &e);
}

inline void key(QWidget& w, int k, Qt::KeyboardModifiers m = {}, const QString& text = QString())
{
    QKeyEvent e(QEvent::KeyPress, k, m, text);
    QApplication::sendEvent(&w, &e);
}

} // namespace plottest
