// Draws every image of the program's embedded collection with QPainter and
// writes them into the folder given as the only argument: the toolbar and
// toolbox icons, the editor icons (XPM), the program icon, the splash
// picture, the quick-start picture and the save-style pictures.
//
//     QT_QPA_PLATFORM=offscreen drawimages resources/images
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

QString g_out;

// Palette shared by all icons.
const QColor Ink(0x2b, 0x3a, 0x4a);
const QColor Blue(0x2f, 0x7d, 0xc4);
const QColor LightBlue(0xcf, 0xe3, 0xf5);
const QColor Green(0x2e, 0x9a, 0x4c);
const QColor Red(0xcc, 0x3b, 0x3b);
const QColor Orange(0xe3, 0x8b, 0x1d);
const QColor Paper(0xfb, 0xfb, 0xf8);
const QColor Grey(0x9a, 0xa4, 0xae);
const QColor Yellow(0xf2, 0xc2, 0x3a);

using Draw = std::function<void(QPainter&)>;

void save(const QImage& img, const QString& name)
{
    const QString path = QDir(g_out).filePath(name);
    const char* fmt = name.endsWith(".xpm") ? "XPM" : "PNG";
    if (!img.save(path, fmt)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

QPen pen(const QColor& c, double w = 1.5)
{
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// An antialiased icon on a transparent background.
void icon(const QString& name, int w, int h, const Draw& draw)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    draw(p);
    p.end();
    save(img.convertToFormat(QImage::Format_ARGB32), name);
}

void icon22(const QString& name, const Draw& draw) { icon(name, 22, 22, draw); }

// A few-colour editor icon: drawn without antialiasing, so the XPM keeps a
// small colour table and a hard transparent edge.
void xpm(const QString& name, const Draw& draw)
{
    QImage img(22, 22, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    draw(p);
    p.end();
    save(img, name);
}

QFont font(const QString& family, double px, bool bold = false, bool italic = false)
{
    QFont f(family);
    f.setPixelSize(int(std::lround(px)));
    f.setBold(bold);
    f.setItalic(italic);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

void text(QPainter& p, const QRectF& r, const QString& s, const QFont& f, const QColor& c,
          int align = Qt::AlignCenter)
{
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, align, s);
}

// Small parts reused by several icons.
void magnifier(QPainter& p, bool plus)
{
    p.setPen(pen(Ink, 1.6));
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(QPointF(9, 9), 6, 6);
    p.setPen(pen(Ink, 3));
    p.drawLine(QPointF(13.5, 13.5), QPointF(19.5, 19.5));
    p.setPen(pen(Blue, 1.8));
    p.drawLine(QPointF(6, 9), QPointF(12, 9));
    if (plus)
        p.drawLine(QPointF(9, 6), QPointF(9, 12));
}

void arrowHead(QPainter& p, QPointF tip, double angleDeg, double size, const QColor& c)
{
    const double a = angleDeg * M_PI / 180.0;
    QPolygonF tri;
    tri << tip << tip - QPointF(size * std::cos(a - 0.5), size * std::sin(a - 0.5))
        << tip - QPointF(size * std::cos(a + 0.5), size * std::sin(a + 0.5));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(tri);
}

void curvedArrow(QPainter& p, bool left, const QColor& c)
{
    QPainterPath path;
    if (left) {
        path.moveTo(17, 17);
        path.cubicTo(19, 9, 13, 5, 6, 8);
    } else {
        path.moveTo(5, 17);
        path.cubicTo(3, 9, 9, 5, 16, 8);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(c, 2.2));
    p.drawPath(path);
    arrowHead(p, left ? QPointF(3, 9.5) : QPointF(19, 9.5), left ? 160 : 20, 7, c);
}

void circleArrow(QPainter& p, const QColor& c, double startDeg, double spanDeg, QPointF centre, double r)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(c, 2.2));
    QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
    p.drawArc(box, int(startDeg * 16), int(spanDeg * 16));
    const double end = (startDeg + spanDeg) * M_PI / 180.0;
    const QPointF tip(centre.x() + r * std::cos(end), centre.y() - r * std::sin(end));
    // Direction of travel at the end of the arc, in screen coordinates.
    const QPointF dir = spanDeg > 0 ? QPointF(-std::sin(end), -std::cos(end)) : QPointF(std::sin(end), std::cos(end));
    arrowHead(p, tip + dir * 2.5, std::atan2(dir.y(), dir.x()) * 180 / M_PI, 6.5, c);
}

void page(QPainter& p, QRectF r, const QColor& fill = Paper)
{
    p.setPen(pen(Ink, 1.2));
    p.setBrush(fill);
    p.drawRoundedRect(r, 1.5, 1.5);
}

void floppy(QPainter& p, const QColor& body)
{
    p.setPen(pen(Ink, 1.2));
    p.setBrush(body);
    QPainterPath d;
    d.moveTo(3, 3);
    d.lineTo(16, 3);
    d.lineTo(19, 6);
    d.lineTo(19, 19);
    d.lineTo(3, 19);
    d.closeSubpath();
    p.drawPath(d);
    p.setBrush(Paper);
    p.drawRect(QRectF(6, 3, 9, 6));
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(QRectF(6, 12, 10, 7));
    p.setPen(pen(Grey, 1));
    p.drawLine(QPointF(8, 14.5), QPointF(14, 14.5));
    p.drawLine(QPointF(8, 16.5), QPointF(14, 16.5));
}

void folder(QPainter& p, bool open)
{
    p.setPen(pen(Ink, 1.2));
    p.setBrush(Yellow.darker(110));
    QPainterPath back;
    back.moveTo(2, 5);
    back.lineTo(8, 5);
    back.lineTo(10, 7);
    back.lineTo(19, 7);
    back.lineTo(19, 18);
    back.lineTo(2, 18);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(Yellow);
    QPolygonF front;
    if (open)
        front << QPointF(4, 10) << QPointF(21, 10) << QPointF(19, 18) << QPointF(2, 18);
    else
        front << QPointF(2, 9) << QPointF(19, 9) << QPointF(19, 18) << QPointF(2, 18);
    p.drawPolygon(front);
}

void bubble(QPainter& p)
{
    p.setPen(pen(Ink, 1.2));
    p.setBrush(Paper);
    QPainterPath b;
    b.addRoundedRect(QRectF(2, 3, 16, 11), 3, 3);
    QPolygonF tail;
    tail << QPointF(5, 13) << QPointF(5, 18) << QPointF(10, 13.5);
    b.addPolygon(tail);
    p.drawPath(b.simplified());
    p.setPen(pen(Grey, 1));
    p.drawLine(QPointF(5, 7), QPointF(14, 7));
    p.drawLine(QPointF(5, 10), QPointF(12, 10));
}

void badge(QPainter& p, QPointF c, const QColor& colour, bool plus)
{
    p.setPen(pen(Qt::white, 1));
    p.setBrush(colour);
    p.drawEllipse(c, 5, 5);
    p.setPen(pen(Qt::white, 1.8));
    p.drawLine(c - QPointF(2.6, 0), c + QPointF(2.6, 0));
    if (plus)
        p.drawLine(c - QPointF(0, 2.6), c + QPointF(0, 2.6));
}

// A normal distribution's outline across the icon.
QPainterPath bell(double x0, double x1, double base, double height)
{
    QPainterPath path;
    const double mid = (x0 + x1) / 2, s = (x1 - x0) / 6.0;
    for (int i = 0; i <= 40; ++i) {
        const double x = x0 + (x1 - x0) * i / 40.0;
        const double y = base - height * std::exp(-0.5 * std::pow((x - mid) / s, 2));
        if (i == 0)
            path.moveTo(x, y);
        else
            path.lineTo(x, y);
    }
    return path;
}

void fourArrows(QPainter& p, const QColor& c)
{
    p.setPen(pen(c, 1.8));
    p.drawLine(QPointF(11, 3.5), QPointF(11, 18.5));
    p.drawLine(QPointF(3.5, 11), QPointF(18.5, 11));
    arrowHead(p, QPointF(11, 1.5), -90, 5.5, c);
    arrowHead(p, QPointF(11, 20.5), 90, 5.5, c);
    arrowHead(p, QPointF(1.5, 11), 180, 5.5, c);
    arrowHead(p, QPointF(20.5, 11), 0, 5.5, c);
}

void syncIcon(QPainter& p, bool on)
{
    const QColor c = on ? Green : Grey;
    circleArrow(p, c, 200, -150, QPointF(11, 11), 7);
    circleArrow(p, c, 20, -150, QPointF(11, 11), 7);
    if (on) {
        p.setPen(Qt::NoPen);
        p.setBrush(Green);
        p.drawEllipse(QPointF(11, 11), 2.5, 2.5);
    }
}

void saveStyle(const QString& name, bool style2, bool header)
{
    icon(name, 200, 140, [&](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(Ink, 1));
        p.setBrush(Qt::white);
        p.drawRect(0, 0, 199, 139);
        p.setBrush(QColor(0xe8, 0xee, 0xf4));
        p.drawRect(0, 0, 199, 18);
        text(p, QRectF(6, 0, 190, 18), style2 ? "curves side by side" : "curves one after another",
             font("DejaVu Sans", 11, true), Ink, Qt::AlignVCenter | Qt::AlignLeft);
        const QFont mono = font("DejaVu Sans Mono", 11);
        QStringList lines;
        if (header)
            lines << "# my header text";
        if (style2) {
            lines << "0.0,1.20,0.0,3.41" << "0.1,1.25,0.1,3.38" << "0.2,1.31,0.2,3.30" << "0.3,1.29,0.3,3.35"
                  << "0.4,1.34,0.4,3.29";
        } else {
            lines << "0.0,1.20,C1" << "0.1,1.25,C1" << "0.2,1.31,C1" << "0.0,3.41,C2" << "0.1,3.38,C2"
                  << "0.2,3.30,C2";
        }
        double y = 24;
        for (const QString& l : lines) {
            const bool isHeader = l.startsWith('#');
            if (!isHeader && style2) {
                // Colour the two curves' cells.
                const QStringList f = l.split(',');
                const QString a = f[0] + "," + f[1] + ",";
                text(p, QRectF(8, y, 190, 16), a, mono, Blue, Qt::AlignLeft | Qt::AlignVCenter);
                const int w = p.fontMetrics().horizontalAdvance(a);
                text(p, QRectF(8 + w, y, 190, 16), f[2] + "," + f[3], mono, Orange,
                     Qt::AlignLeft | Qt::AlignVCenter);
            } else {
                const QColor c = isHeader ? Green : (l.endsWith("C1") ? Blue : Orange);
                text(p, QRectF(8, y, 190, 16), l, mono, c, Qt::AlignLeft | Qt::AlignVCenter);
            }
            y += 16;
        }
    });
}

// The program's emblem: a rounded tile with a log-log stability curve.
void emblem(QPainter& p, const QRectF& r)
{
    const double s = std::min(r.width(), r.height());
    const double rad = s * 0.16;
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(0x2f, 0x6f, 0xb0));
    g.setColorAt(1, QColor(0x1b, 0x3b, 0x66));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRoundedRect(r.adjusted(s * 0.02, s * 0.03, s * 0.02, s * 0.03), rad, rad);
    p.setBrush(g);
    p.drawRoundedRect(r, rad, rad);
    // Plot area.
    const QRectF a(r.left() + r.width() * 0.17, r.top() + r.height() * 0.14, r.width() * 0.70, r.height() * 0.64);
    p.setPen(QPen(QColor(255, 255, 255, 60), std::max(1.0, s * 0.006)));
    for (int i = 1; i < 4; ++i) {
        p.drawLine(QPointF(a.left() + a.width() * i / 4, a.top()), QPointF(a.left() + a.width() * i / 4, a.bottom()));
        p.drawLine(QPointF(a.left(), a.top() + a.height() * i / 4), QPointF(a.right(), a.top() + a.height() * i / 4));
    }
    p.setPen(QPen(Qt::white, s * 0.022, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a.bottomLeft(), a.topLeft());
    p.drawLine(a.bottomLeft(), a.bottomRight());
    // Curve: falls, reaches a floor, rises again.
    QPainterPath curve;
    QVector<QPointF> pts;
    for (int i = 0; i <= 60; ++i) {
        const double t = i / 60.0;
        const double y = 0.15 + 0.62 * std::pow(1 - t, 2.2) + 0.45 * std::pow(t, 3.0);
        pts << QPointF(a.left() + a.width() * (0.04 + 0.92 * t), a.bottom() - a.height() * (1 - y) * 0.95);
    }
    curve.moveTo(pts.first());
    for (int i = 1; i < pts.size(); ++i)
        curve.lineTo(pts[i]);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xf6, 0xb2, 0x3c), s * 0.035, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(curve);
    p.setPen(QPen(Qt::white, s * 0.01));
    p.setBrush(QColor(0xf6, 0xb2, 0x3c));
    for (int i = 0; i <= 60; i += 10)
        p.drawEllipse(pts[i], s * 0.026, s * 0.026);
    // Word mark below the plot.
    text(p, QRectF(r.left(), a.bottom() + r.height() * 0.02, r.width(), r.bottom() - a.bottom() - r.height() * 0.02),
         "KRO", font("DejaVu Sans", s * 0.15, true), Qt::white);
}

void drawIcons()
{
    icon22("2sigma.png", [](QPainter& p) {
        p.setPen(pen(Red, 1.2));
        p.drawLine(QPointF(5, 9), QPointF(5, 19));
        p.drawLine(QPointF(17, 9), QPointF(17, 19));
        p.setPen(pen(Ink, 1));
        p.drawLine(QPointF(1, 19.5), QPointF(21, 19.5));
        p.setPen(pen(Blue, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawPath(bell(1, 21, 19, 10));
        text(p, QRectF(0, -1, 22, 9), QString::fromUtf8("2\u03c3"), font("DejaVu Sans", 8, true), Ink);
    });
    icon22("add.png", [](QPainter& p) {
        p.setPen(pen(Green.darker(120), 1));
        p.setBrush(Green);
        p.drawEllipse(QPointF(11, 11), 8.5, 8.5);
        p.setPen(pen(Qt::white, 2.6));
        p.drawLine(QPointF(6.5, 11), QPointF(15.5, 11));
        p.drawLine(QPointF(11, 6.5), QPointF(11, 15.5));
    });
    icon22("cache.png", [](QPainter& p) {
        p.setPen(pen(Ink, 1.2));
        for (int i = 2; i >= 0; --i) {
            const double y = 5 + i * 4.5;
            p.setBrush(i == 0 ? LightBlue : QColor(0xa9, 0xc9, 0xe8));
            p.drawRect(QRectF(3, y, 12, 4.5));
            p.drawEllipse(QRectF(3, y + 2.5, 12, 4));
            p.drawEllipse(QRectF(3, y - 2, 12, 4));
        }
        p.setPen(pen(Green, 2));
        p.drawLine(QPointF(18, 6), QPointF(18, 16));
        arrowHead(p, QPointF(18, 19.5), 90, 5.5, Green);
    });
    icon22("camera.png", [](QPainter& p) {
        p.setPen(pen(Ink, 1.2));
        p.setBrush(QColor(0x55, 0x63, 0x72));
        p.drawRoundedRect(QRectF(2, 6, 18, 12), 2, 2);
        p.drawRect(QRectF(7, 4, 7, 3));
        p.setBrush(LightBlue);
        p.drawEllipse(QPointF(11, 12), 4, 4);
        p.setBrush(Blue);
        p.drawEllipse(QPointF(11, 12), 2, 2);
        p.setBrush(Yellow);
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(16, 8, 2, 1.5));
    });
    icon22("close.png", [](QPainter& p) {
        p.setPen(pen(Red.darker(120), 1));
        p.setBrush(Red);
        p.drawEllipse(QPointF(11, 11), 8.5, 8.5);
        p.setPen(pen(Qt::white, 2.4));
        p.drawLine(QPointF(7.5, 7.5), QPointF(14.5, 14.5));
        p.drawLine(QPointF(14.5, 7.5), QPointF(7.5, 14.5));
    });
    icon22("comment_add.png", [](QPainter& p) {
        bubble(p);
        badge(p, QPointF(16, 16), Green, true);
    });
    icon22("comment_delete.png", [](QPainter& p) {
        bubble(p);
        badge(p, QPointF(16, 16), Red, false);
    });
    icon22("crop.png", [](QPainter& p) {
        p.setPen(pen(Ink, 2.2));
        p.drawPolyline(QPolygonF({QPointF(6, 1.5), QPointF(6, 16), QPointF(20.5, 16)}));
        p.drawPolyline(QPolygonF({QPointF(1.5, 6), QPointF(16, 6), QPointF(16, 20.5)}));
        p.setPen(QPen(Blue, 1, Qt::DashLine));
        p.drawLine(QPointF(6, 6), QPointF(16, 16));
    });
    icon22("datasel.png", [](QPainter& p) {
        p.setPen(QPen(Ink, 1.2, Qt::DashLine));
        p.setBrush(QColor(0x2f, 0x7d, 0xc4, 40));
        p.drawRect(QRectF(5.5, 4.5, 11, 11));
        p.setPen(Qt::NoPen);
        const QPointF in[] = {{8, 12}, {11, 8}, {14, 11}};
        const QPointF out[] = {{2.5, 18}, {19.5, 3}, {18.5, 19}};
        p.setBrush(Orange);
        for (auto pt : in)
            p.drawEllipse(pt, 1.9, 1.9);
        p.setBrush(Grey);
        for (auto pt : out)
            p.drawEllipse(pt, 1.6, 1.6);
    });
    icon22("eraser.png", [](QPainter& p) {
        p.translate(11, 11);
        p.rotate(-40);
        p.setPen(pen(Ink, 1.2));
        p.setBrush(QColor(0xee, 0x8a, 0x9a));
        p.drawRoundedRect(QRectF(-3, -5, 11, 10), 1.5, 1.5);
        p.setBrush(Paper);
        p.drawRoundedRect(QRectF(-9, -5, 6, 10), 1.5, 1.5);
        p.resetTransform();
        p.setPen(pen(Grey, 1));
        p.drawLine(QPointF(3, 20), QPointF(19, 20));
    });
    icon("hand.png", 16, 16, [](QPainter& p) {
        p.setPen(pen(Ink, 1));
        p.setBrush(QColor(0xf7, 0xd9, 0xb8));
        QPainterPath h;
        h.addRoundedRect(QRectF(5.5, 1.5, 3, 9), 1.5, 1.5);
        h.addRoundedRect(QRectF(8.5, 5, 2.6, 6), 1.3, 1.3);
        h.addRoundedRect(QRectF(11, 6, 2.6, 5.5), 1.3, 1.3);
        h.addRoundedRect(QRectF(3.5, 8.5, 10, 6), 2.5, 2.5);
        h.addRoundedRect(QRectF(2, 7, 3, 5), 1.5, 1.5);
        p.drawPath(h.simplified());
    });
    icon22("info.png", [](QPainter& p) {
        p.setPen(pen(Blue.darker(130), 1));
        p.setBrush(Blue);
        p.drawEllipse(QPointF(11, 11), 9, 9);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(11, 6.5), 1.6, 1.6);
        p.drawRoundedRect(QRectF(9.6, 9, 2.8, 8), 1, 1);
    });
    icon22("kill.png", [](QPainter& p) {
        QPolygonF oct;
        for (int i = 0; i < 8; ++i) {
            const double a = (22.5 + 45 * i) * M_PI / 180;
            oct << QPointF(11 + 9.5 * std::cos(a), 11 + 9.5 * std::sin(a));
        }
        p.setPen(pen(Red.darker(140), 1));
        p.setBrush(Red);
        p.drawPolygon(oct);
        p.setPen(pen(Qt::white, 2.4));
        p.drawLine(QPointF(7.5, 7.5), QPointF(14.5, 14.5));
        p.drawLine(QPointF(14.5, 7.5), QPointF(7.5, 14.5));
    });
    icon22("load.png", [](QPainter& p) {
        folder(p, true);
        p.setPen(pen(Green, 2));
        p.drawLine(QPointF(15, 1.5), QPointF(15, 7));
        arrowHead(p, QPointF(15, 10), 90, 5, Green);
    });
    icon22("norm.png", [](QPainter& p) {
        p.setPen(pen(Ink, 1.2));
        p.drawLine(QPointF(2, 3), QPointF(20, 3));
        p.drawLine(QPointF(2, 19), QPointF(20, 19));
        p.setPen(pen(Blue, 1.8));
        p.setBrush(Qt::NoBrush);
        QPainterPath w;
        w.moveTo(2, 11);
        for (int i = 0; i <= 36; ++i)
            w.lineTo(2 + i * 0.5, 11 - 7 * std::sin(i * M_PI / 9));
        p.drawPath(w);
    });
    icon22("pan_grab.png", [](QPainter& p) {
        fourArrows(p, Ink);
        p.setPen(pen(Ink, 1));
        p.setBrush(Blue);
        p.drawEllipse(QPointF(11, 11), 3.2, 3.2);
    });
    icon22("pan_open.png", [](QPainter& p) {
        fourArrows(p, Ink);
        p.setPen(pen(Ink, 1));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(11, 11), 3.2, 3.2);
    });
    icon22("print.png", [](QPainter& p) {
        page(p, QRectF(6, 2, 10, 7));
        p.setPen(pen(Ink, 1.2));
        p.setBrush(QColor(0x6b, 0x78, 0x86));
        p.drawRoundedRect(QRectF(2, 8, 18, 8), 2, 2);
        page(p, QRectF(6, 13, 10, 7));
        p.setPen(pen(Grey, 1));
        p.drawLine(QPointF(8, 16), QPointF(14, 16));
        p.drawLine(QPointF(8, 18), QPointF(13, 18));
        p.setPen(Qt::NoPen);
        p.setBrush(Green);
        p.drawEllipse(QPointF(17, 10.5), 1, 1);
    });
    icon22("refresh.png", [](QPainter& p) { circleArrow(p, Green, 120, -300, QPointF(11, 11), 7); });
    icon22("reload.png", [](QPainter& p) {
        page(p, QRectF(4, 2, 14, 18));
        circleArrow(p, Blue, 120, -290, QPointF(11, 11.5), 4.5);
    });
    icon22("rescale.png", [](QPainter& p) {
        p.setPen(QPen(Grey, 1, Qt::DashLine));
        p.drawRect(QRectF(7, 7, 8, 8));
        p.setPen(pen(Blue, 1.8));
        const QPointF corners[] = {{2, 2}, {20, 2}, {2, 20}, {20, 20}};
        for (QPointF c : corners) {
            const QPointF from(11 + (c.x() - 11) * 0.35, 11 + (c.y() - 11) * 0.35);
            p.drawLine(from, c + (from - c) * 0.25);
            const double ang = std::atan2(c.y() - 11, c.x() - 11) * 180 / M_PI;
            arrowHead(p, c, ang, 5.5, Blue);
        }
    });
    icon22("run.png", [](QPainter& p) {
        p.setPen(pen(Green.darker(130), 1.2));
        p.setBrush(Green);
        p.drawPolygon(QPolygonF({QPointF(6, 3), QPointF(19, 11), QPointF(6, 19)}));
    });
    icon22("save.png", [](QPainter& p) { floppy(p, Blue); });
    icon("slope.png", 32, 32, [](QPainter& p) {
        p.setPen(pen(Ink, 1.2));
        p.drawLine(QPointF(3, 29), QPointF(30, 29));
        p.drawLine(QPointF(3, 29), QPointF(3, 2));
        p.setPen(pen(Blue, 2.2));
        p.drawLine(QPointF(6, 25), QPointF(27, 6));
        p.setPen(QPen(Orange, 1.4, Qt::DashLine));
        p.drawLine(QPointF(11, 20.5), QPointF(22, 20.5));
        p.drawLine(QPointF(22, 20.5), QPointF(22, 10.5));
    });
    icon22("snapto.png", [](QPainter& p) {
        p.setPen(pen(Blue, 1.6));
        p.setBrush(Qt::NoBrush);
        QPainterPath c;
        c.moveTo(1, 17);
        c.cubicTo(7, 3, 14, 3, 21, 14);
        p.drawPath(c);
        p.setPen(pen(Red, 1.2));
        p.drawEllipse(QPointF(11, 7), 4, 4);
        p.drawLine(QPointF(11, 0.5), QPointF(11, 4));
        p.drawLine(QPointF(11, 10), QPointF(11, 13.5));
        p.drawLine(QPointF(4.5, 7), QPointF(8, 7));
        p.drawLine(QPointF(14, 7), QPointF(17.5, 7));
        p.setPen(Qt::NoPen);
        p.setBrush(Red);
        p.drawEllipse(QPointF(11, 7), 1.3, 1.3);
    });
    icon22("stats.png", [](QPainter& p) {
        p.setPen(pen(Ink, 1));
        const double h[] = {6, 11, 16, 9};
        const QColor c[] = {Blue, Green, Orange, Blue};
        for (int i = 0; i < 4; ++i) {
            p.setBrush(c[i]);
            p.drawRect(QRectF(2.5 + i * 4.5, 20 - h[i], 3.5, h[i]));
        }
        p.drawLine(QPointF(1, 20.5), QPointF(21, 20.5));
        text(p, QRectF(12, -1, 10, 10), QString::fromUtf8("\u03c3"), font("DejaVu Sans", 9, true), Red);
    });
    icon22("sync_off.png", [](QPainter& p) { syncIcon(p, false); });
    icon22("sync_on.png", [](QPainter& p) { syncIcon(p, true); });
    icon22("undo.png", [](QPainter& p) { curvedArrow(p, true, Blue); });
    icon22("zoomin.png", [](QPainter& p) { magnifier(p, true); });
    icon22("zoomout.png", [](QPainter& p) { magnifier(p, false); });

    // Toolbox category icons.
    icon22("basicmath.png", [](QPainter& p) {
        const QFont f = font("DejaVu Sans", 10, true);
        text(p, QRectF(0, 0, 11, 11), "+", f, Blue);
        text(p, QRectF(11, 0, 11, 11), QString::fromUtf8("\u2212"), f, Blue);
        text(p, QRectF(0, 11, 11, 11), QString::fromUtf8("\u00d7"), f, Orange);
        text(p, QRectF(11, 11, 11, 11), QString::fromUtf8("\u00f7"), f, Orange);
    });
    icon22("clock.png", [](QPainter& p) {
        p.setPen(pen(Ink, 1.4));
        p.setBrush(Paper);
        p.drawEllipse(QPointF(11, 11), 9, 9);
        p.setPen(pen(Ink, 1));
        for (int i = 0; i < 12; ++i) {
            const double a = i * M_PI / 6;
            p.drawLine(QPointF(11 + 7 * std::cos(a), 11 + 7 * std::sin(a)),
                       QPointF(11 + 8 * std::cos(a), 11 + 8 * std::sin(a)));
        }
        p.setPen(pen(Ink, 1.8));
        p.drawLine(QPointF(11, 11), QPointF(11, 5.5));
        p.setPen(pen(Red, 1.4));
        p.drawLine(QPointF(11, 11), QPointF(15.5, 13));
    });
    icon22("colors.png", [](QPainter& p) {
        p.setPen(pen(Ink, 1.2));
        p.setBrush(QColor(0xf3, 0xe6, 0xcf));
        QPainterPath pal;
        pal.addEllipse(QRectF(1.5, 3, 19, 16));
        QPainterPath hole;
        hole.addEllipse(QRectF(12, 12, 4, 4));
        p.drawPath(pal.subtracted(hole));
        p.setPen(Qt::NoPen);
        const QPointF spots[] = {{6, 8}, {10.5, 6.5}, {15.5, 8}, {6, 13}};
        const QColor cols[] = {Red, Yellow, Green, Blue};
        for (int i = 0; i < 4; ++i) {
            p.setBrush(cols[i]);
            p.drawEllipse(spots[i], 2, 2);
        }
    });
    icon22("curvefit.png", [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Grey.darker(120));
        const QPointF d[] = {{3, 16}, {6, 12}, {8, 13}, {11, 9}, {13, 10}, {16, 6}, {19, 5}};
        for (auto pt : d)
            p.drawEllipse(pt, 1.8, 1.8);
        p.setPen(pen(Red, 2));
        p.setBrush(Qt::NoBrush);
        QPainterPath c;
        c.moveTo(1, 18);
        c.cubicTo(8, 11, 12, 10, 21, 3.5);
        p.drawPath(c);
    });
    icon22("filter.png", [](QPainter& p) {
        p.setPen(pen(Ink, 1.2));
        p.setBrush(LightBlue);
        p.drawPolygon(QPolygonF({QPointF(2, 3), QPointF(20, 3), QPointF(13, 11), QPointF(13, 18), QPointF(9, 20),
                                 QPointF(9, 11)}));
        p.setPen(pen(Blue, 1));
        p.drawLine(QPointF(5, 6), QPointF(17, 6));
    });
    icon22("grid.png", [](QPainter& p) {
        p.setPen(pen(Ink, 1.2));
        p.setBrush(Paper);
        p.drawRect(QRectF(2.5, 2.5, 17, 17));
        p.setPen(QPen(Grey, 1));
        for (int i = 1; i < 4; ++i) {
            p.drawLine(QPointF(2.5 + i * 4.25, 2.5), QPointF(2.5 + i * 4.25, 19.5));
            p.drawLine(QPointF(2.5, 2.5 + i * 4.25), QPointF(19.5, 2.5 + i * 4.25));
        }
        p.setPen(pen(Blue, 1.6));
        p.drawPolyline(QPolygonF({QPointF(3, 16), QPointF(8, 9), QPointF(13, 12), QPointF(19, 5)}));
    });
    icon22("labels.png", [](QPainter& p) {
        p.setPen(pen(Ink, 1.2));
        p.setBrush(Yellow);
        p.drawPolygon(QPolygonF({QPointF(2, 6), QPointF(14, 6), QPointF(20, 11), QPointF(14, 16), QPointF(2, 16)}));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(14.5, 11), 1.5, 1.5);
        text(p, QRectF(2, 6, 11, 10), "A", font("DejaVu Serif", 9, true), Ink);
    });
    icon22("mouse.png", [](QPainter& p) {
        p.setPen(pen(Ink, 1.2));
        p.setBrush(Paper);
        p.drawRoundedRect(QRectF(5, 2, 12, 18), 6, 6);
        p.drawLine(QPointF(5.5, 9), QPointF(16.5, 9));
        p.drawLine(QPointF(11, 2.5), QPointF(11, 9));
        p.setBrush(Blue);
        p.drawRoundedRect(QRectF(10, 4, 2, 3.5), 1, 1);
    });
    icon22("signalproc.png", [](QPainter& p) {
        p.setPen(pen(Blue, 1.6));
        p.setBrush(Qt::NoBrush);
        QPainterPath w;
        w.moveTo(1, 6);
        for (int i = 0; i <= 40; ++i)
            w.lineTo(1 + i * 0.5, 6 - 4 * std::sin(i * M_PI / 10));
        p.drawPath(w);
        p.setPen(Qt::NoPen);
        p.setBrush(Orange);
        const double h[] = {2, 9, 4, 2, 6, 1.5};
        for (int i = 0; i < 6; ++i)
            p.drawRect(QRectF(2 + i * 3.2, 21 - h[i], 2.2, h[i]));
    });
    icon22("style.png", [](QPainter& p) {
        p.setPen(pen(Ink, 2.2));
        p.drawLine(QPointF(2, 5), QPointF(20, 5));
        p.setPen(QPen(Blue, 2, Qt::DashLine, Qt::FlatCap));
        p.drawLine(QPointF(2, 11), QPointF(20, 11));
        p.setPen(QPen(Orange, 2.4, Qt::DotLine, Qt::RoundCap));
        p.drawLine(QPointF(3, 17), QPointF(20, 17));
    });
    icon22("system.png", [](QPainter& p) {
        QPainterPath gear;
        const int teeth = 8;
        for (int i = 0; i < teeth * 2; ++i) {
            const double r = (i % 2 == 0) ? 9.5 : 7;
            const double a0 = (i - 0.35) * M_PI / teeth, a1 = (i + 0.35) * M_PI / teeth;
            const QPointF p0(11 + r * std::cos(a0), 11 + r * std::sin(a0));
            const QPointF p1(11 + r * std::cos(a1), 11 + r * std::sin(a1));
            if (i == 0)
                gear.moveTo(p0);
            else
                gear.lineTo(p0);
            gear.lineTo(p1);
        }
        gear.closeSubpath();
        QPainterPath hole;
        hole.addEllipse(QPointF(11, 11), 3, 3);
        p.setPen(pen(Ink, 1));
        p.setBrush(Grey);
        p.drawPath(gear.subtracted(hole));
    });
}

void drawEditorIcons()
{
    const QColor ink(0x20, 0x20, 0x20);
    const QColor blue(0x20, 0x60, 0xb0);
    auto lines = [&](QPainter& p, int mode) {
        // mode: 0 left, 1 centre, 2 right, 3 justify
        const int widths[] = {16, 11, 16, 9, 14};
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        for (int i = 0; i < 5; ++i) {
            const int w = mode == 3 ? 16 : widths[i];
            const int x = mode == 0 || mode == 3 ? 3 : mode == 1 ? 11 - w / 2 : 19 - w;
            p.drawRect(x, 3 + i * 4, w, 2);
        }
    };
    auto letter = [&](QPainter& p, const QString& s, bool bold, bool italic, const QColor& c) {
        QFont f = font("DejaVu Serif", 16, bold, italic);
        f.setStyleStrategy(QFont::NoAntialias);
        text(p, QRectF(0, 0, 22, 20), s, f, c);
    };
    xpm("editcopy.xpm", [&](QPainter& p) {
        p.setPen(ink);
        p.setBrush(Qt::white);
        p.drawRect(2, 2, 11, 13);
        p.drawRect(8, 7, 11, 13);
        p.setPen(blue);
        for (int y = 10; y < 19; y += 3)
            p.drawLine(10, y, 17, y);
    });
    xpm("editcut.xpm", [&](QPainter& p) {
        p.setPen(QPen(ink, 2));
        p.drawLine(7, 2, 14, 13);
        p.drawLine(15, 2, 8, 13);
        p.setPen(QPen(Red, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(3, 13, 6, 6);
        p.drawEllipse(13, 13, 6, 6);
    });
    xpm("editpaste.xpm", [&](QPainter& p) {
        p.setPen(ink);
        p.setBrush(QColor(0xc0, 0x90, 0x50));
        p.drawRect(3, 3, 13, 17);
        p.setBrush(Grey);
        p.drawRect(6, 1, 7, 4);
        p.setBrush(Qt::white);
        p.drawRect(9, 8, 11, 13);
        p.setPen(blue);
        for (int y = 11; y < 20; y += 3)
            p.drawLine(11, y, 18, y);
    });
    auto undoRedo = [&](QPainter& p, bool redo) {
        p.setPen(QPen(blue, 2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRect(4, 6, 14, 12), redo ? 180 * 16 : 0, redo ? -180 * 16 : 180 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(blue);
        if (redo)
            p.drawPolygon(QPolygon({QPoint(14, 13), QPoint(21, 13), QPoint(18, 18)}));
        else
            p.drawPolygon(QPolygon({QPoint(1, 13), QPoint(8, 13), QPoint(4, 18)}));
    };
    xpm("editredo.xpm", [&](QPainter& p) { undoRedo(p, true); });
    xpm("editundo.xpm", [&](QPainter& p) { undoRedo(p, false); });
    xpm("fileopen.xpm", [&](QPainter& p) {
        p.setPen(ink);
        p.setBrush(QColor(0xd8, 0xa8, 0x30));
        p.drawPolygon(QPolygon({QPoint(2, 5), QPoint(8, 5), QPoint(10, 7), QPoint(18, 7), QPoint(18, 18),
                                QPoint(2, 18)}));
        p.setBrush(Yellow);
        p.drawPolygon(QPolygon({QPoint(5, 10), QPoint(21, 10), QPoint(18, 18), QPoint(2, 18)}));
    });
    xpm("filesave.xpm", [&](QPainter& p) {
        p.setPen(ink);
        p.setBrush(blue);
        p.drawRect(3, 3, 16, 16);
        p.setBrush(Qt::white);
        p.drawRect(6, 3, 10, 6);
        p.drawRect(6, 12, 10, 7);
    });
    xpm("markup.xpm", [&](QPainter& p) {
        QFont f = font("DejaVu Sans Mono", 12, true);
        f.setStyleStrategy(QFont::NoAntialias);
        text(p, QRectF(0, 0, 22, 22), "</>", f, blue);
    });
    xpm("richtext.xpm", [&](QPainter& p) {
        QFont f = font("DejaVu Serif", 13, true);
        f.setStyleStrategy(QFont::NoAntialias);
        text(p, QRectF(0, 0, 14, 16), "A", f, ink);
        f = font("DejaVu Serif", 10, false, true);
        f.setStyleStrategy(QFont::NoAntialias);
        text(p, QRectF(10, 4, 12, 14), "a", f, Red);
        p.setPen(blue);
        p.drawLine(2, 19, 19, 19);
    });
    auto script = [&](QPainter& p, bool super) {
        QFont f = font("DejaVu Serif", 14, false, true);
        f.setStyleStrategy(QFont::NoAntialias);
        text(p, QRectF(0, 2, 14, 18), "x", f, ink);
        f = font("DejaVu Sans", 9, true);
        f.setStyleStrategy(QFont::NoAntialias);
        text(p, QRectF(12, super ? 1 : 11, 9, 10), "2", f, blue);
    };
    xpm("subscript.xpm", [&](QPainter& p) { script(p, false); });
    xpm("superscript.xpm", [&](QPainter& p) { script(p, true); });
    xpm("textbold.xpm", [&](QPainter& p) { letter(p, "B", true, false, ink); });
    xpm("textcenter.xpm", [&](QPainter& p) { lines(p, 1); });
    xpm("textitalic.xpm", [&](QPainter& p) { letter(p, "I", false, true, ink); });
    xpm("textjustify.xpm", [&](QPainter& p) { lines(p, 3); });
    xpm("textleft.xpm", [&](QPainter& p) { lines(p, 0); });
    xpm("textright.xpm", [&](QPainter& p) { lines(p, 2); });
    xpm("textunder.xpm", [&](QPainter& p) {
        letter(p, "U", false, false, ink);
        p.setPen(Qt::NoPen);
        p.setBrush(blue);
        p.drawRect(5, 19, 12, 2);
    });
}

void drawPictures()
{
    icon("kro.png", 350, 336, [](QPainter& p) { emblem(p, QRectF(8, 6, 332, 318)); });

    icon("kro_w_txt.png", 571, 200, [](QPainter& p) {
        QPainterPath card;
        card.addRoundedRect(QRectF(4, 4, 563, 192), 22, 22);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 50));
        p.drawPath(card.translated(3, 4));
        QLinearGradient g(0, 0, 0, 200);
        g.setColorAt(0, QColor(0xfd, 0xfd, 0xfb));
        g.setColorAt(1, QColor(0xe4, 0xea, 0xf0));
        p.setBrush(g);
        p.setPen(QPen(QColor(0x9f, 0xb1, 0xc4), 1.5));
        p.drawPath(card);
        emblem(p, QRectF(24, 20, 164, 158));
        text(p, QRectF(212, 28, 340, 88), "KRO", font("DejaVu Sans", 84, true), QColor(0x1f, 0x4a, 0x7c),
             Qt::AlignLeft | Qt::AlignVCenter);
        text(p, QRectF(216, 112, 340, 28), "Plotting and analysis of data series", font("DejaVu Sans", 19),
             Ink, Qt::AlignLeft | Qt::AlignVCenter);
        text(p, QRectF(216, 142, 340, 24), "Allan deviation \u00b7 spectra \u00b7 fits \u00b7 live data",
             font("DejaVu Sans", 14), QColor(0x5a, 0x68, 0x78), Qt::AlignLeft | Qt::AlignVCenter);
    });

    // The quick-start picture: the main window's parts, named, with the
    // first commands worth typing.
    {
        QImage img(875, 662, QImage::Format_RGB32);
        img.fill(QColor(0xfb, 0xfb, 0xf9));
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        const QFont head = font("DejaVu Sans", 24, true);
        const QFont label = font("DejaVu Sans", 15, true);
        const QFont small = font("DejaVu Sans", 13);
        const QFont mono = font("DejaVu Sans Mono", 14);
        text(p, QRectF(0, 10, 875, 40), "KRO at a glance", head, QColor(0x1f, 0x4a, 0x7c));

        const QRectF win(30, 60, 815, 400);
        p.setPen(QPen(Ink, 2));
        p.setBrush(QColor(0xf0, 0xf0, 0xf0));
        p.drawRoundedRect(win, 6, 6);
        auto area = [&](const QRectF& r, const QColor& fill, const QString& name, const QString& note) {
            p.setPen(QPen(Ink.lighter(150), 1.5));
            p.setBrush(fill);
            p.drawRoundedRect(r, 4, 4);
            text(p, r.adjusted(6, 6, -6, -r.height() / 2), name, label, Ink, Qt::AlignHCenter | Qt::AlignBottom);
            text(p, r.adjusted(6, r.height() / 2 + 2, -6, -6), note, small, QColor(0x4a, 0x58, 0x66),
                 Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap);
        };
        // Title and menu bars.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2f, 0x5f, 0x94));
        p.drawRoundedRect(QRectF(win.left(), win.top(), win.width(), 26), 6, 6);
        p.drawRect(QRectF(win.left(), win.top() + 12, win.width(), 14));
        text(p, QRectF(win.left() + 10, win.top(), 400, 26), "KRO - Version (Linux)", small, Qt::white,
             Qt::AlignLeft | Qt::AlignVCenter);
        text(p, QRectF(win.left() + 10, win.top() + 28, 400, 20), "File    View    Tools    Info", small, Ink,
             Qt::AlignLeft | Qt::AlignVCenter);
        p.setPen(QPen(Ink.lighter(150), 1.5));
        p.setBrush(QColor(0xe2, 0xea, 0xf3));
        p.drawRoundedRect(QRectF(win.left() + 8, win.top() + 52, win.width() - 16, 40), 4, 4);
        text(p, QRectF(win.left() + 20, win.top() + 52, 200, 40), "Toolbar", label, Ink,
             Qt::AlignLeft | Qt::AlignVCenter);
        text(p, QRectF(win.left() + 300, win.top() + 52, 500, 40),
             "cache \u00b7 statistics \u00b7 trim \u00b7 sync \u00b7 crop \u00b7 pan \u00b7 undo \u00b7 rescale",
             small, QColor(0x4a, 0x58, 0x66), Qt::AlignRight | Qt::AlignVCenter);
        area(QRectF(win.left() + 8, win.top() + 100, 170, 200), QColor(0xf6, 0xee, 0xd9), "Directory\nBrowser",
             "double-click a data file to import it, a .krs file to run it");
        area(QRectF(win.left() + 186, win.top() + 100, 440, 200), Qt::white, "Plot tabs",
             "drop data files here; drag to zoom, F2 cycles colours, F1 full screen");
        // A little curve in the plot area.
        {
            QPainterPath c;
            const QRectF r(win.left() + 230, win.top() + 228, 350, 64);
            c.moveTo(r.left(), r.bottom() - r.height() * 0.5);
            for (int i = 1; i <= 50; ++i) {
                const double t = i / 50.0;
                c.lineTo(r.left() + r.width() * t,
                         r.bottom() - r.height() * (0.5 + 0.4 * std::sin(t * 9) * std::exp(-t * 1.5)));
            }
            p.setPen(QPen(Blue, 2));
            p.setBrush(Qt::NoBrush);
            p.drawPath(c);
        }
        area(QRectF(win.left() + 634, win.top() + 100, 173, 288), QColor(0xe4, 0xf1, 0xe4), "Toolsets",
             "colours, labels, grid, fits, filters, spectra, Allan deviation");
        area(QRectF(win.left() + 8, win.top() + 308, 618, 80), QColor(0x26, 0x2b, 0x33), "", "");
        text(p, QRectF(win.left() + 20, win.top() + 312, 600, 24), "Command Window", label, Qt::white,
             Qt::AlignLeft | Qt::AlignVCenter);
        text(p, QRectF(win.left() + 20, win.top() + 340, 600, 40), "> kro -f data.dat -x 1 -y 2 3", mono,
             QColor(0x9f, 0xe0, 0x9f), Qt::AlignLeft | Qt::AlignVCenter);

        // The first commands.
        text(p, QRectF(40, 476, 800, 30), "First commands to type in the Command Window", label, Ink,
             Qt::AlignLeft | Qt::AlignVCenter);
        const char* cmds[][2] = {
            {"kro -f data.dat -x 1 -y 2", "plot column 2 of a data file against column 1"},
            {"title My measurement", "set the plot title"},
            {"hmark 0.5, 1.5", "add horizontal markers"},
            {"stdev(C1)", "a statistic of a curve (also mean, max, min ...)"},
            {"help", "list every command; \"help title\" explains one"},
        };
        double y = 510;
        for (auto& c : cmds) {
            text(p, QRectF(60, y, 330, 26), QString::fromLatin1(c[0]), mono, QColor(0x1f, 0x4a, 0x7c),
                 Qt::AlignLeft | Qt::AlignVCenter);
            text(p, QRectF(400, y, 450, 26), QString::fromLatin1(c[1]), small, Ink, Qt::AlignLeft | Qt::AlignVCenter);
            y += 28;
        }
        p.end();
        save(img, "quickstart.png");
    }

    saveStyle("save_style_1.png", false, false);
    saveStyle("save_style_1_wheader.png", false, true);
    saveStyle("save_style_2.png", true, false);
    saveStyle("save_style_2_wheader.png", true, true);
    icon22("save_styles.png", [](QPainter& p) {
        floppy(p, Green);
    });
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: drawimages <output folder>\n");
        return 2;
    }
    g_out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_out);
    drawIcons();
    drawEditorIcons();
    drawPictures();
    return 0;
}
