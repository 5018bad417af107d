#include "plot/linewidget.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>

#include "core/curvewalks.h"
#include "platform/prompter.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kHeadAngle = 0.34906585039886556; // 20 degrees
// Distance below which the pointer grabs the line.
constexpr double kGrabDistance = 10.0;

int toInt(double v) { return static_cast<int>(v); }

// Angle of the line p2 -> p1 in degrees; 0 for a horizontal line.
double lineAngle(const QPoint& p1, const QPoint& p2)
{
    if (p1.y() == p2.y())
        return 0.0;
    return std::atan2(double(p1.y() - p2.y()), double(p1.x() - p2.x())) * 180.0 / kPi;
}
} // namespace

std::pair<QPointF, QPointF> arrowHeadCorners(const QPointF& from, const QPointF& to)
{
    const QPointF d = to - from;
    const double L = std::hypot(d.x(), d.y());
    const double h = std::min(0.4 * L, 15.0);
    const double half = h * std::tan(kHeadAngle);
    const double theta = std::atan2(d.y(), d.x());
    const double bx = from.x() + (L - h) * std::cos(theta);
    const double by = from.y() + (L - h) * std::sin(theta);
    return {QPointF(bx - half * std::sin(theta), by + half * std::cos(theta)),
            QPointF(bx + half * std::sin(theta), by - half * std::cos(theta))};
}

// ---------------------------------------------------------------------------
// LineWidget

LineWidget::LineWidget(int number, QWidget* parent) : QWidget(parent), m_number(number)
{
    // The widget paints exactly its masked pixels.
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    setFont(QFont("Times", 10));
    if (parent)
        parent->installEventFilter(this);
}

LineWidget::~LineWidget() = default;

QString LineWidget::labelText() const
{
    if (m_showPosition)
        return m_caption + QStringLiteral(": %1").arg(m_valueText);
    return m_caption;
}

void LineWidget::refresh()
{
    updateMask();
    update();
}

void LineWidget::updateHover(const QPoint& globalPos)
{
    const QPoint a = mapToGlobal(m_p1);
    const QPoint b = mapToGlobal(m_p2);
    PointXY foot{0.0, 0.0};
    const double d = distanceToSegment({a.x(), a.y()}, {b.x(), b.y()}, {globalPos.x(), globalPos.y()}, &foot);
    if (d < kGrabDistance && d != -1) {
        m_hover = true;
        m_hoverPoint = mapFromGlobal(QPoint(toInt(foot.first), toInt(foot.second)));
        refresh();
    } else if (m_hover) {
        m_hover = false;
        refresh();
    }
}

bool LineWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::MouseMove && isVisible()) {
        const auto* me = static_cast<QMouseEvent*>(event);
        updateHover(me->globalPosition().toPoint());
    }
    return false;
}

void LineWidget::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    if (m_hover || !m_labelMovable)
        m_draggingLine = true;
    else
        m_draggingLabel = true;
    m_hover = false;
    refresh();
}

void LineWidget::mouseMoveEvent(QMouseEvent* e)
{
    QPoint pt = e->position().toPoint();
    if (m_draggingLine) {
        pt.setX(std::clamp(pt.x(), m_bounds.left(), std::max(m_bounds.left(), m_bounds.right())));
        pt.setY(std::clamp(pt.y(), m_bounds.top(), std::max(m_bounds.top(), m_bounds.bottom())));
        if (m_orientation == 0) {
            m_p1.setX(pt.x());
            m_p2.setX(pt.x());
        } else if (m_orientation == 1) {
            m_p1.setY(pt.y());
            m_p2.setY(pt.y());
        } else {
            const double u = std::hypot(double(pt.x() - m_p1.x()), double(pt.y() - m_p1.y()));
            const double a = std::hypot(double(pt.x() - m_p2.x()), double(pt.y() - m_p2.y()));
            const double L = std::hypot(double(m_p1.x() - m_p2.x()), double(m_p1.y() - m_p2.y()));
            if (std::fabs(u - a) < L / 2) {
                const double hx = (m_p1.x() - m_p2.x()) / 2.0;
                const double hy = (m_p1.y() - m_p2.y()) / 2.0;
                m_p1 = QPoint(toInt(pt.x() + hx), toInt(pt.y() + hy));
                m_p2 = QPoint(toInt(pt.x() - hx), toInt(pt.y() - hy));
            } else if (a > u) {
                m_p1 = pt;
            } else {
                m_p2 = pt;
            }
        }
        refresh();
        Q_EMIT moveEvent(m_number);
    } else if (m_draggingLabel) {
        m_labelOffset = pt - m_labelRect.center();
        refresh();
    } else {
        updateHover(e->globalPosition().toPoint());
    }
}

void LineWidget::finishLeftRelease(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    refresh();
    const bool lineDragged = m_draggingLine;
    m_draggingLine = false;
    m_draggingLabel = false;
    if (lineDragged)
        Q_EMIT releaseEvent(m_number);
}

void LineWidget::mouseReleaseEvent(QMouseEvent* e) { finishLeftRelease(e); }

void LineWidget::paintEvent(QPaintEvent*)
{
    updateMask();
    QPainter p(this);
    drawShape(p, false);
}

void LineWidget::resizeEvent(QResizeEvent*) { updateMask(); }

void LineWidget::updateMask()
{
    if (width() <= 0 || height() <= 0)
        return;
    m_mask = QBitmap(size());
    m_mask.clear();
    {
        QPainter p(&m_mask);
        drawShape(p, true);
    }
    setMask(m_mask);
    const QRegion before = m_maskRegion;
    m_maskRegion = QRegion(m_mask);
    repaintVacated(before - m_maskRegion);
}

void LineWidget::repaintVacated(const QRegion& vacated)
{
    QWidget* parent = parentWidget();
    if (vacated.isEmpty() || !parent || !isVisible())
        return;
    // The pixels the shape left are repainted by every widget beneath
    // them, the plot and the labels on it alike.
    const QRegion inParent = vacated.translated(pos());
    parent->update(inParent);
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w == this || w->isWindow() || !w->isVisible())
            continue;
        const QRegion own = inParent.translated(-w->pos()) & w->rect();
        if (!own.isEmpty())
            w->update(own);
    }
}

void LineWidget::drawShape(QPainter& p, bool maskPass)
{
    auto colour = [maskPass](const QColor& c) { return maskPass ? QColor(Qt::color1) : c; };
    p.setFont(font());
    p.setRenderHint(QPainter::Antialiasing, false);
    const QString text = labelText();
    const QFontMetrics fm(font());
    const int textHeight = fm.height();
    const int textWidth = fm.horizontalAdvance(text);
    const int descent = fm.descent();

    // Ends with a head are pulled back so the line stops inside the head.
    const double theta = std::atan2(double(m_p1.y() - m_p2.y()), double(m_p1.x() - m_p2.x()));
    const double D = 1.4 * m_lineWidth;
    m_headOffset = QPointF(D * std::cos(theta), D * std::sin(theta));
    QPoint a = m_p1, b = m_p2;
    if (m_headAtP1)
        a = QPoint(toInt(a.x() - m_headOffset.x()), toInt(a.y() - m_headOffset.y()));
    if (m_headAtP2)
        b = QPoint(toInt(b.x() + m_headOffset.x()), toInt(b.y() + m_headOffset.y()));

    auto pen = [&](const QColor& c, int w) {
        QPen pn(colour(c), w);
        pn.setCapStyle(Qt::FlatCap);
        return pn;
    };
    p.setBrush(Qt::NoBrush);
    if (m_isDifference || m_lineWidth < 3) {
        p.setPen(pen(m_color, m_lineWidth));
        p.drawLine(b, a);
    } else {
        const QColor dark(int(m_color.red() * 0.7), int(m_color.green() * 0.7), int(m_color.blue() * 0.7));
        p.setPen(pen(dark, m_lineWidth));
        p.drawLine(b, a);
        if (!maskPass) {
            p.setPen(pen(m_color, m_lineWidth - 2));
            p.drawLine(b, a);
        }
    }

    auto head = [&](const QPoint& from, const QPoint& tip) {
        const auto [c1, c2] = arrowHeadCorners(QPointF(from), QPointF(tip));
        const QPoint poly[3] = {QPoint(toInt(c1.x()), toInt(c1.y())), tip, QPoint(toInt(c2.x()), toInt(c2.y()))};
        p.drawPolygon(poly, 3);
    };
    if (m_headAtP1)
        head(b, a);
    if (m_headAtP2)
        head(a, b);

    const double g = lineAngle(a, b);
    if (m_hover) {
        const int hx = m_hoverPoint.x(), hy = m_hoverPoint.y();
        const int m = m_lineWidth + (m_lineWidth % 2 != 0 ? 1 : 0);
        const int k = m + 6;
        p.save();
        p.translate(hx, hy);
        p.rotate(g);
        p.translate(-hx, -hy);
        p.setPen(QPen(colour(Qt::black), 0));
        p.setBrush(colour(Qt::darkGray));
        p.drawRect(hx - k, hy - k / 2, 2 * k - 1, k - 1);
        p.setBrush(colour(Qt::gray));
        p.drawRect(hx - k - 2, hy - k / 2 - 1, 3, m + 7);
        p.drawRect(hx + k, hy - k / 2 - 1, 3, m + 7);
        p.restore();
        p.setPen(QPen(colour(Qt::black), 0));
    }

    if (m_caption.isEmpty())
        return;
    const int halfWidth = m_lineWidth / 2;
    int x = 0, y = 0, w = textWidth, h = textHeight;
    if (m_orientation == 0 && !m_isDifference) {
        x = toInt(b.x() + halfWidth + 3.5);
        y = b.y() - h - 8;
    } else if (m_orientation == 0) {
        x = toInt(b.x() + halfWidth - 1.5);
        y = (a.y() + b.y()) / 2;
    } else if (m_orientation == 1 && !m_isDifference) {
        x = b.x() + 8;
        y = toInt(b.y() + halfWidth + 5.5);
    } else if (m_orientation == 1) {
        x = (a.x() + b.x()) / 2 - w / 2 - 4;
        y = toInt(a.y() + halfWidth + 6.5);
    } else {
        x = (a.x() + b.x()) / 2 - w / 2 - 4;
        y = a.y() + 8;
        w += 10;
        h += 8;
    }
    m_labelRect = QRect(x, y, w, h);
    QRect r = m_labelRect.translated(m_labelOffset);
    p.save();
    if (m_rotateText) {
        const QPoint c = r.center();
        p.translate(c);
        p.rotate(g == 0.0 ? 0.0 : g + 180.0);
        p.translate(-c);
    }
    if (m_orientation == 0) {
        const int excess = r.right() - (m_bounds.right() - 3);
        if (excess > 0)
            r.translate(-excess, 0);
    }
    const QColor textColour = p.pen().color();
    p.fillRect(r, colour(Qt::white));
    p.setPen(QPen(maskPass ? QColor(Qt::color1) : textColour, 0));
    if (m_orientation == 2)
        p.drawText(QPoint(r.left() + 4, r.top() + textHeight - descent + 3), text);
    else
        p.drawText(QPoint(r.left(), r.top() + h - descent - 1), text);
    if (m_textFrame) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(colour(Qt::black), 1));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setPen(QPen(colour(Qt::gray), 1));
        p.drawRect(r.adjusted(1, 1, -2, -2));
    }
    p.restore();
}

// ---------------------------------------------------------------------------
// MarkerWidget

MarkerWidget::MarkerWidget(int number, QWidget* parent) : LineWidget(number, parent) {}

void MarkerWidget::setDifferenceMarker(bool on)
{
    m_isDifference = on;
    if (!on)
        m_caption = QStringLiteral("M%1").arg(m_number);
}

void MarkerWidget::runMenu(const std::vector<std::pair<QString, int>>& entries, const QPoint& globalPos)
{
    QMenu menu(this);
    for (const auto& [text, id] : entries) {
        QAction* a = menu.addAction(text);
        a->setData(id);
        if (id == 12) {
            a->setCheckable(true);
            a->setChecked(m_showPosition);
        }
    }
    if (QAction* chosen = kro::prompter().execMenu(&menu, globalPos))
        menuSelection(chosen->data().toInt());
}

void MarkerWidget::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::RightButton && m_menuEnabled) {
        std::vector<std::pair<QString, int>> entries = {
            {tr("Show position"), 12}, {tr("Set position"), SET_POSITION}, {tr("Move to mean"), MOVE_TO_MEAN},
            {tr("Move to median"), MOVE_TO_MEDIAN}, {tr("Find peak"), FIND_PEAK}, {tr("Find min"), FIND_MIN},
        };
        if (m_orientation == 0)
            entries.emplace_back(tr("Find value"), FIND_VALUE);
        else
            entries.emplace_back(tr("Find rms"), FIND_RMS);
        entries.emplace_back(tr("Change color"), 10);
        entries.emplace_back(tr("Set weight"), 11);
        runMenu(entries, e->globalPosition().toPoint());
    }
    finishLeftRelease(e);
}

void MarkerWidget::menuSelection(int id)
{
    if (id >= 0 && id <= 9) {
        Q_EMIT searchReq(m_number, static_cast<SearchType>(id));
    } else if (id == 10) {
        const auto c = kro::prompter().getColor(m_color, this, QString());
        if (c && c->isValid()) {
            m_color = *c;
            refresh();
        }
    } else if (id == 11) {
        const auto w = kro::prompter().getInt(this, tr("Marker Weight"), tr("Enter the marker's line weight: "),
                                              m_lineWidth, 1, 30, 2);
        if (w) {
            m_lineWidth = *w;
            refresh();
        }
    } else if (id == 12) {
        m_showPosition = !m_showPosition;
        updateMask();
        repaint();
    }
}

// ---------------------------------------------------------------------------
// MarkerDiffWidget

MarkerDiffWidget::MarkerDiffWidget(int number, QWidget* parent) : MarkerWidget(number, parent) {}

void MarkerDiffWidget::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::RightButton)
        runMenu({{MarkerWidget::tr("Change color"), 10}, {MarkerWidget::tr("Set weight"), 11}},
                e->globalPosition().toPoint());
    finishLeftRelease(e);
}

// ---------------------------------------------------------------------------
// ArrowWidget

ArrowWidget::ArrowWidget(int number, QWidget* parent) : LineWidget(number, parent) {}

void ArrowWidget::menuSelection(int) { Q_EMIT customize(m_number); }

void ArrowWidget::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::RightButton) {
        QMenu menu(this);
        menu.addAction(tr("Customize..."));
        if (kro::prompter().execMenu(&menu, e->globalPosition().toPoint()))
            menuSelection(0);
    }
    finishLeftRelease(e);
}
