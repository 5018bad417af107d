#pragma once
// The main window's geometry at start: the requested size (4/5 of the
// available desktop when either side is below 1), kept inside the desktop.
#include <QPoint>
#include <QRect>

// pos: where the system placed the window; available: the available desktop
// area of the primary screen.
QRect initialWindowGeometry(const QPoint& pos, const QRect& available, int requestedWidth, int requestedHeight);
