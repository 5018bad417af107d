#pragma once
// Helpers for plot tests: an offscreen plot of a given size, curves from
// point lists, pixel queries on the backing pixmap.
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QSignalSpy>

#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "plot/curvelistbox.h"
#include "plot/plotter.h"

namespace plottest {

inline CurveData curveOf(std::initializer_list<std::pair<double, double>> points, bool line = true,
                         bool symbols = false)
{
    CurveData c;
    for (const auto& [x, y] : points)
        c.append(x, y);
    c.attributes.showLine = line;
    c.attributes.showPoints = symbols;
    return c;
}

// A shown plot of the given size whose pending events have run.
inline std::unique_ptr<Plotter> makePlot(int w = 600, int h = 400)
{
    auto p = std::make_unique<Plotter>(nullptr, "test");
    p->resize(w, h);
    p->show();
    QApplication::processEvents();
    return p;
}

// Fixed margins and ranges without going through the layout.
inline void setGeometry(Plotter& p, int left, int right, int top, int bottom, AxisRange x, AxisRange y)
{
    p.m_marginLeft = left;
    p.m_marginRight = right;
    p.m_marginTop = top;
    p.m_marginBottom = bottom;
    ViewRect& v = p.m_views.at(0);
    v.autoX = x;
    v.autoY = y;
    v.userXInForce = v.userYInForce = false;
    computeAxisTicks(v, 0);
    computeAxisTicks(v, 1);
    p.m_viewIndex = 0;
}

inline QImage image(const Plotter& p) { return p.pixmap().toImage().convertToFormat(QImage::Format_RGB32); }

// Number of pixels of a colour in a rectangle.
inline int countColour(const QImage& img, const QRect& r, QRgb colour)
{
    int n = 0;
    const QRect area = r.intersected(img.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += (img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}

// Bounding box of the pixels of a colour in a rectangle (null when none).
inline QRect boundsOf(const QImage& img, const QRect& r, QRgb colour)
{
    QRect box;
    const QRect area = r.intersected(img.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                box |= QRect(x, y, 1, 1);
    return box;
}

// Bounding box of the pixels that satisfy a test of their colour.
template <typename Test>
QRect boundsWhere(const QImage& img, const QRect& r, Test test)
{
    QRect box;
    const QRect area = r.intersected(img.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (test(QColor(img.pixel(x, y))))
                box |= QRect(x, y, 1, 1);
    return box;
}

// The curve selector's answer: these list rows chosen, accepted.
inline std::function<int(QDialog*)> chooseRows(std::vector<int> rows)
{
    return [rows](QDialog* d) {
        auto* s = dynamic_cast<CurveSelector*>(d);
        if (!s)
            return int(QDialog::Rejected);
        s->list()->clearSelection();
        for (int r : rows)
            s->list()->item(r)->setSelected(true);
        return int(QDialog::Accepted);
    };
}

} // namespace plottest
