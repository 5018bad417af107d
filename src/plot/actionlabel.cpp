#include "plot/actionlabel.h"

#include <QApplication>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QTimerEvent>

#include "core/markupbounds.h"
#include "core/richtext.h"
#include "core/specialsymbols.h"
#include "plot/labeldesigner.h"

namespace {
constexpr int kClickDelayMs = 400;

// The colour name written into documents: black for an invalid colour.
QString colourName(const QColor& c)
{
    return c.isValid() ? c.name(QColor::HexRgb) : QStringLiteral("#000000");
}
} // namespace

// ---------------------------------------------------------------------------
// ActionLabel

ActionLabel::ActionLabel(const QString& text, QWidget* parent) : QLabel(parent), m_home(parent)
{
    setAutoFillBackground(true);
    setMargin(0);
    QFont f = QApplication::font();
    QFont own(f.family(), f.pointSize() > 0 ? f.pointSize() : 10);
    own.setItalic(false);
    QLabel::setFont(own);
    setTextFormat(Qt::RichText);
    setText(text);
}

ActionLabel::~ActionLabel() = default;

QString ActionLabel::richTextDocument(const QString& text, QSize* size) const
{
    QString doc;
    const QString source = stripDoctype(text);
    if (source.startsWith(QLatin1String("<html"))) {
        doc = source;
    } else {
        const int align = int(alignment() & (Qt::AlignRight | Qt::AlignHCenter));
        doc = fromWString(wrapRichText(toWString(source), font(), align));
    }
    if (font().weight() > QFont::Normal) {
        const int tag = doc.indexOf(QLatin1String("<body style"));
        if (tag >= 0) {
            const int end = doc.indexOf(QLatin1Char('>'), tag);
            if (end >= tag + 1)
                doc.insert(end - 1, QStringLiteral(";font-weight:600"));
        }
    }
    if (size) {
        *size = RichTextDocument(toWString(doc)).boundingSize();
        if (text.isEmpty())
            size->setHeight(0);
    }
    return doc;
}

void ActionLabel::displayText(QString& document, const QColor& colour)
{
    document.replace(QLatin1String("<html>"),
                     QCoreApplication::translate("ActionLabel", "<qt text=\"%1\">").arg(colourName(colour)));
    document.replace(QLatin1String("</html>"), QLatin1String("</qt>"));
}

void ActionLabel::setText(const QString& text)
{
    if (text.isNull())
        QLabel::clear();
    m_text = acceptedText(text.isNull() ? QString("") : text);
    QSize size;
    QString doc = richTextDocument(m_text, &size);
    displayText(doc, m_color);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, m_color.isValid() ? m_color : QColor(Qt::black));
    setPalette(pal);
    resize(size);
    QLabel::setText(doc);
}

QString ActionLabel::acceptedText(const QString& text)
{
    QString problem;
    QString kept = kro::boundedRichText(replaceSpecialSymbols(text), &problem);
    if (!problem.isEmpty())
        Q_EMIT markupRefused(problem);
    return kept;
}

void ActionLabel::grabMenuSelection(int id)
{
    Q_UNUSED(id);
    // No label of the program carries a popup menu of its own.
}

QString ActionLabel::plainText() const
{
    // A stored document is read as it is; any other text (set by a command,
    // the loader or the settings) is made a document first, so its visible
    // text comes back rather than nothing.
    const QString doc = m_text.contains(QLatin1String("<body style")) ? stripDoctype(m_text)
                                                                      : richTextDocument(m_text);
    return fromWString(RichTextDocument(toWString(doc)).toPlainText());
}

int ActionLabel::fontPointSize(int size)
{
    QFont f = font();
    if (size > 0) {
        f.setPointSize(std::max(size, 5));
        QLabel::setFont(f);
    }
    return font().pointSize();
}

void ActionLabel::setColor(const QColor& colour)
{
    const QString oldName = colourName(m_color);
    const QString newName = colourName(colour);
    m_text.replace(oldName, newName, Qt::CaseInsensitive);
    m_color = colour;
    setText(m_text);
}

int ActionLabel::textWidth() const
{
    QSize s;
    richTextDocument(m_text, &s);
    return s.width();
}

int ActionLabel::textHeight() const
{
    QSize s;
    richTextDocument(m_text, &s);
    return s.height();
}

LabelDesigner* ActionLabel::designer()
{
    if (!m_designer) {
        m_designer = new LabelDesigner(this);
        connect(m_designer, &LabelDesigner::closed, this, &ActionLabel::setText);
        connect(m_designer, &LabelDesigner::closed, this, &ActionLabel::textSet);
    }
    return m_designer;
}

void ActionLabel::openDesigner()
{
    LabelDesigner* d = designer();
    if (d->isMinimized())
        d->showNormal();
    if (!d->isHidden() && d->isActiveWindow())
        return;
    d->show();
    d->raise();
    QString doc = richTextDocument(m_text);
    displayText(doc, m_color);
    d->setText(doc);
}

void ActionLabel::mousePressEvent(QMouseEvent* e)
{
    m_dragged = false;
    Q_EMIT clicked();
    e->accept();
}

void ActionLabel::mouseMoveEvent(QMouseEvent* e)
{
    if (e->buttons() != Qt::LeftButton || !m_movable) {
        e->accept();
        return;
    }
    const QPoint p = e->position().toPoint() + pos();
    move(p);
    m_dragged = true;
    Q_EMIT labelMoveEvent(m_embedded || !m_home ? p : m_home->mapFromGlobal(p));
    e->accept();
}

void ActionLabel::handleRelease(QMouseEvent* e)
{
    const bool plain = !m_movable && !m_detachable;
    if (m_editable && !m_dragged && e->button() == Qt::LeftButton && (plain || !m_doubleClicked)) {
        if (m_clickTimer != -1)
            killTimer(m_clickTimer);
        m_clickTimer = startTimer(kClickDelayMs);
    }
    m_doubleClicked = false;
    Q_EMIT mouseReleased();
}

void ActionLabel::mouseReleaseEvent(QMouseEvent* e)
{
    handleRelease(e);
    // Passed on to the parent as not handled: the plot handles the release too.
    e->ignore();
}

void ActionLabel::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (m_clickTimer != -1) {
        killTimer(m_clickTimer);
        m_clickTimer = -1;
    }
    m_doubleClicked = true;
    const bool dialogWindow = isWindow() && windowType() == Qt::Dialog;
    if (!dialogWindow) {
        if (m_detachable && m_embedded && m_home) {
            const QPoint global = mapToGlobal(QPoint(0, 0));
            setParent(m_home, Qt::Dialog | Qt::CustomizeWindowHint);
            move(global);
            show();
            m_embedded = false;
            setFocus(Qt::OtherFocusReason);
        }
        Q_EMIT doubleClicked();
    }
    mousePressEvent(e);
}

void ActionLabel::focusOutEvent(QFocusEvent* e)
{
    if (m_detachable && !m_embedded && m_home) {
        const bool hidden = isHidden() && testAttribute(Qt::WA_WState_ExplicitShowHide);
        const QPoint inHome = m_home->mapFromGlobal(mapToGlobal(QPoint(0, 0)));
        setParent(m_home, Qt::Widget);
        move(inHome);
        if (!hidden)
            show();
        m_embedded = true;
    }
    QLabel::focusOutEvent(e);
}

void ActionLabel::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != m_clickTimer) {
        QLabel::timerEvent(e);
        return;
    }
    killTimer(m_clickTimer);
    m_clickTimer = -1;
    openDesigner();
}

// ---------------------------------------------------------------------------
// AcceptedCheck

namespace {
// A check mark two pixels wide in #008040 on a transparent background.
const char* const kCheckXpm[] = {
    "16 16 2 1",
    ". c None",
    "# c #008040",
    "..............##",
    ".............##.",
    "............##..",
    "...........##...",
    "..........##....",
    ".........##.....",
    "........##......",
    ".......##.......",
    "##....##........",
    ".##..##.........",
    "..####..........",
    "...##...........",
    "................",
    "................",
    "................",
    "................",
};
} // namespace

QPixmap AcceptedCheck::checkImage() { return QPixmap(kCheckXpm); }

AcceptedCheck::AcceptedCheck(QWidget* parent) : QWidget(parent), m_checkImage(checkImage())
{
    setFixedSize(21, 16);
}

AcceptedCheck::~AcceptedCheck() { delete m_background; }

void AcceptedCheck::setChecked()
{
    m_checked = true;
    update();
}

void AcceptedCheck::setUnchecked()
{
    m_checked = false;
    update();
}

void AcceptedCheck::paintEvent(QPaintEvent*)
{
    if (!m_backgroundTaken) {
        m_background = new QPixmap(size());
        m_background->fill(palette().color(backgroundRole()));
        m_backgroundTaken = true;
    }
    QPainter p(this);
    const QPixmap& image = m_checked ? m_checkImage : *m_background;
    p.drawPixmap(QPoint(5, (height() - 16) / 2), image, QRect(0, 0, width(), height()));
}

// ---------------------------------------------------------------------------
// ActionCircle

ActionCircle::ActionCircle(QWidget* parent) : QWidget(parent)
{
    m_penColor = new QColor(Qt::blue);
    m_fillColor = new QColor(255, 251, 160);
    setGeometry(0, 0, m_maxDiameter + 1, m_maxDiameter + 1);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_pixmap = QPixmap(size());
    m_pixmap.fill(Qt::transparent);
    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    connect(m_timer, &QTimer::timeout, this, &ActionCircle::updateDiameter);
}

ActionCircle::~ActionCircle()
{
    delete m_penColor;
    delete m_fillColor;
}

void ActionCircle::start()
{
    m_timer->start(10 * m_stepCount);
    m_running = true;
}

void ActionCircle::updateDiameter()
{
    if (!m_shrinking) {
        ++m_diameter;
        if (m_diameter > m_maxDiameter)
            m_shrinking = true;
    } else {
        --m_diameter;
        if (m_diameter < m_minDiameter)
            m_shrinking = false;
    }
}

void ActionCircle::updateMask()
{
    m_mask = QBitmap(size());
    m_mask.clear();
    QPainter p(&m_mask);
    p.setPen(Qt::color1);
    p.setBrush(m_fillColor ? QBrush(Qt::color1) : QBrush(Qt::NoBrush));
    const int e = (width() - m_diameter) / 2;
    p.drawEllipse(e, e, m_diameter, m_diameter);
    p.end();
    setMask(m_mask);
}

void ActionCircle::paintEvent(QPaintEvent*)
{
    updateMask();
    if (m_pixmap.size() != size()) {
        m_pixmap = QPixmap(size());
        m_pixmap.fill(Qt::transparent);
    }
    {
        QPainter p(&m_pixmap);
        p.setPen(QPen(m_penColor ? *m_penColor : QColor(Qt::blue), 0));
        p.setBrush(m_fillColor ? QBrush(*m_fillColor) : QBrush(Qt::NoBrush));
        const int e = (width() - m_diameter) / 2;
        p.drawEllipse(e, e, m_diameter, m_diameter);
    }
    QPainter w(this);
    w.drawPixmap(0, 0, m_pixmap);
}

// ---------------------------------------------------------------------------
// ActionID

ActionID::ActionID(const QString& text, QObject* parent) : QAction(text, parent)
{
    connect(this, &QAction::triggered, this, &ActionID::on_activated);
    connect(this, qOverload<bool>(&QAction::toggled), this, &ActionID::on_toggled);
}

void ActionID::on_activated() { Q_EMIT activated(m_id); }

void ActionID::on_toggled(bool on) { Q_EMIT toggled(on, m_id); }
