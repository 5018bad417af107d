#include "base/dirbrowserpictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace {

const QColor folderFill(240, 200, 80);
const QColor folderLine(150, 110, 20);
const QColor paperFill(Qt::white);
const QColor ink(40, 40, 40);

QPixmap blank(int w, int h)
{
    QPixmap p(w, h);
    p.fill(Qt::transparent);
    return p;
}

// A folder in the rectangle (x, y, w, h): a tab on the top left and the body.
void drawFolder(QPainter& g, int x, int y, int w, int h, bool open)
{
    g.setPen(folderLine);
    g.setBrush(folderFill);
    g.drawRect(x, y + 1, w / 2, 2);
    g.drawRect(x, y + 3, w - 1, h - 4);
    if (open) {
        g.setBrush(folderFill.lighter(115));
        g.drawPolygon(QPolygon({QPoint(x + 2, y + 6), QPoint(x + w - 1, y + 6), QPoint(x + w - 3, y + h - 1),
                                QPoint(x, y + h - 1)}));
    }
}

void drawPage(QPainter& g, int x, int y, int w, int h)
{
    g.setPen(ink);
    g.setBrush(paperFill);
    g.drawRect(x, y, w - 1, h - 1);
    g.setPen(QColor(150, 150, 150));
    for (int line = y + 3; line < y + h - 2; line += 2)
        g.drawLine(x + 2, line, x + w - 3, line);
}

// The small arrow that marks a link, in the bottom left corner.
void drawLinkMark(QPainter& g, int size)
{
    g.setPen(Qt::black);
    g.setBrush(Qt::white);
    g.drawRect(0, size - 7, 6, 6);
    g.drawLine(2, size - 3, 4, size - 5);
    g.drawLine(3, size - 5, 4, size - 5);
    g.drawLine(4, size - 5, 4, size - 4);
}

DirBrowserPictures build()
{
    DirBrowserPictures p;
    auto paint = [](QPixmap& pm, auto&& f) {
        QPainter g(&pm);
        f(g);
    };

    p.back = blank(13, 11);
    paint(p.back, [](QPainter& g) {
        g.setPen(Qt::NoPen);
        g.setBrush(ink);
        g.drawPolygon(QPolygon({QPoint(0, 5), QPoint(5, 0), QPoint(5, 3), QPoint(12, 3), QPoint(12, 7), QPoint(5, 7),
                                QPoint(5, 10)}));
    });
    p.browse = blank(15, 13);
    paint(p.browse, [](QPainter& g) {
        drawFolder(g, 0, 0, 15, 13, false);
        g.setPen(ink);
        g.drawText(QRect(0, 2, 15, 11), Qt::AlignCenter, QStringLiteral("?"));
    });
    p.cdUp = blank(15, 13);
    paint(p.cdUp, [](QPainter& g) {
        drawFolder(g, 0, 0, 15, 13, false);
        g.setPen(ink);
        g.drawLine(7, 5, 7, 11);
        g.drawLine(7, 5, 4, 8);
        g.drawLine(7, 5, 10, 8);
    });
    p.newFolder = blank(15, 14);
    paint(p.newFolder, [](QPainter& g) {
        drawFolder(g, 0, 1, 13, 13, false);
        g.setPen(QColor(230, 120, 0));
        g.drawLine(12, 0, 12, 6);
        g.drawLine(9, 3, 14, 3);
        g.drawLine(10, 1, 14, 5);
        g.drawLine(10, 5, 14, 1);
    });
    p.listView = blank(15, 11);
    paint(p.listView, [](QPainter& g) {
        g.setPen(ink);
        for (int col : {0, 8})
            for (int row : {0, 4, 8}) {
                g.fillRect(col, row, 2, 2, ink);
                g.drawLine(col + 3, row + 1, col + 6, row + 1);
            }
    });
    p.detailView = blank(14, 11);
    paint(p.detailView, [](QPainter& g) {
        g.setPen(ink);
        for (int row : {0, 4, 8}) {
            g.fillRect(0, row, 2, 2, ink);
            g.drawLine(3, row + 1, 7, row + 1);
            g.drawLine(9, row + 1, 13, row + 1);
        }
    });
    p.previewInfo = blank(13, 13);
    paint(p.previewInfo, [](QPainter& g) {
        drawPage(g, 0, 0, 13, 13);
        g.setPen(QColor(0, 0, 160));
        g.drawText(QRect(0, 0, 13, 13), Qt::AlignCenter, QStringLiteral("i"));
    });
    p.previewContents = blank(14, 13);
    paint(p.previewContents, [](QPainter& g) {
        drawPage(g, 0, 0, 14, 13);
        g.fillRect(3, 3, 8, 5, QColor(120, 170, 230));
    });
    p.openFolder = blank(16, 16);
    paint(p.openFolder, [](QPainter& g) { drawFolder(g, 0, 2, 16, 13, true); });
    p.closedFolder = blank(16, 16);
    paint(p.closedFolder, [](QPainter& g) { drawFolder(g, 0, 2, 16, 13, false); });
    p.file = blank(16, 16);
    paint(p.file, [](QPainter& g) { drawPage(g, 2, 0, 12, 16); });
    p.symlinkFile = p.file.copy();
    paint(p.symlinkFile, [](QPainter& g) { drawLinkMark(g, 16); });
    p.symlinkFolder = p.closedFolder.copy();
    paint(p.symlinkFolder, [](QPainter& g) { drawLinkMark(g, 16); });
    p.transparentStrip = blank(p.closedFolder.width(), 1);
    p.startCopy = blank(16, 15);
    paint(p.startCopy, [](QPainter& g) {
        drawFolder(g, 0, 2, 16, 13, true);
        drawPage(g, 5, 0, 7, 9);
    });
    p.endCopy = blank(16, 15);
    paint(p.endCopy, [](QPainter& g) {
        drawPage(g, 5, 0, 7, 9);
        drawFolder(g, 0, 2, 16, 13, true);
    });
    return p;
}

} // namespace

DirBrowserPictures& dirBrowserPictures()
{
    static DirBrowserPictures pictures = build();
    return pictures;
}
