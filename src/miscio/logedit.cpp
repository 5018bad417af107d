#include "miscio/logedit.h"

#include "platform/prompter.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextOption>
#include <QTimer>

#include <array>
#include <cstdio>

namespace {

// Black, red, green, yellow, blue, magenta, cyan, white.
const std::array<QColor, 8> kAnsiColors{QColor(0, 0, 0),     QColor(255, 0, 0),   QColor(0, 255, 0),
                                        QColor(255, 255, 0), QColor(0, 0, 255),   QColor(255, 0, 255),
                                        QColor(0, 255, 255), QColor(255, 255, 255)};

// The cursor keys as the three bytes of their VT-style sequence, first byte lowest.
constexpr int kKeyLeft = 0x445B1B;
constexpr int kKeyUp = 0x415B1B;
constexpr int kKeyRight = 0x435B1B;
constexpr int kKeyDown = 0x425B1B;

void writeStdout(const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

// The last maxLines lines of a text (a line ends with its line feed; the
// text after the last line feed counts as the end of a line too).
QString lastLines(const QString& text, int maxLines)
{
    int feeds = 0;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        if (text[i] == QLatin1Char('\n') && ++feeds > maxLines)
            return text.mid(i + 1);
    }
    return text;
}

} // namespace

LogEdit::LogEdit(QWidget* parent, const QString& name) : QPlainTextEdit(parent), m_refresh(new QTimer(this))
{
    setObjectName(name);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(8);
    setFont(font);
    setReadOnly(false);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setColors(m_textColor, m_backgroundColor);
    m_refresh->setSingleShot(true);
    connect(m_refresh, &QTimer::timeout, this, &LogEdit::flushDisplay);
}

void LogEdit::setMaxLines(int lines) { m_maxLines = std::max(1, lines); }

void LogEdit::setColors(const QColor& text, const QColor& background)
{
    m_textColor = text;
    m_backgroundColor = background;
    QPalette p = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Text, text);
        p.setColor(group, QPalette::Base, background);
    }
    setPalette(p);
}

void LogEdit::applyCodes(const std::vector<Vt100Code>& codes)
{
    for (const Vt100Code& code : codes) {
        if (code.id == Vt100Parser::ERASE_SCREEN) {
            clear();
        } else if (code.id == Vt100Parser::GRAPHIC_RENDITION) {
            QColor text = m_textColor;
            QColor background = m_backgroundColor;
            for (const int p : code.params) {
                if (p == 0) {
                    text = Qt::black;
                    background = Qt::white;
                } else if (p >= 30 && p <= 37) {
                    text = kAnsiColors[static_cast<size_t>(p - 30)];
                } else if (p >= 40 && p <= 47) {
                    background = kAnsiColors[static_cast<size_t>(p - 40)];
                }
            }
            setColors(text, background);
        }
    }
}

QString LogEdit::removeBackspaces(const QString& text)
{
    if (!text.contains(QLatin1Char('\b')))
        return text;
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (i + 1 < n && text[i + 1] == QLatin1Char('\b') && c != QLatin1Char('\r') && c != QLatin1Char('\n')) {
            ++i; // the character and its backspace go
            continue;
        }
        out += c;
    }
    return out;
}

void LogEdit::appendLog(const QString& received, const std::vector<Vt100Code>& codes)
{
    if (m_format != Qt::PlainText)
        setTextFormat(Qt::PlainText);
    if (received.isEmpty())
        return;
    applyCodes(codes);

    QString text = received;
    if (text.contains(QLatin1Char('\a'))) {
        writeStdout(QByteArray(1, '\a'));
        text.remove(QLatin1Char('\a'));
        if (text.isEmpty()) {
            m_last = 7;
            return;
        }
    }
    if (m_last == '\n' || m_last == 0) {
        qsizetype feeds = 0;
        while (feeds < text.size() && text[feeds] == QLatin1Char('\n'))
            ++feeds;
        text.remove(0, feeds);
        if (text.isEmpty())
            return;
    }
    const char16_t lastChar = text.back().unicode();
    m_last = lastChar > 255 ? 0 : lastChar;

    if (isEnabled()) {
        // Only the tail can stay: at most MAX_SHOWN_CHARS of the old and new text.
        QString t = text.size() >= MAX_SHOWN_CHARS
                        ? text.right(MAX_SHOWN_CHARS)
                        : m_shown.right(MAX_SHOWN_CHARS - text.size()) + text;
        m_shown = removeBackspaces(lastLines(t, m_maxLines));
        scheduleRefresh();
    }
    if (!m_logFileName.isEmpty()) {
        QFile log(m_logFileName);
        if (log.open(QIODevice::WriteOnly | QIODevice::Append))
            log.write(text.toLatin1());
    }
    if (m_echo)
        writeStdout(text.toLatin1());
}

void LogEdit::append(const QString& text) { appendLog(text, {}); }

void LogEdit::scheduleRefresh()
{
    if (!m_refresh->isActive())
        m_refresh->start(REFRESH_MS);
}

void LogEdit::flushDisplay()
{
    m_refresh->stop();
    if (toPlainText() != m_shown)
        setPlainText(m_shown);
    moveCursor(QTextCursor::End);
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void LogEdit::clear()
{
    m_shown.clear();
    QPlainTextEdit::clear();
}

void LogEdit::copyAll() { QApplication::clipboard()->setText(m_shown); }

void LogEdit::setTextFormat(Qt::TextFormat format)
{
    if (format == m_format)
        return;
    m_format = format;
    // Lay the text out again.
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

void LogEdit::setMaxLinesGUI()
{
    const std::optional<int> lines = kro::prompter().getInt(this, tr("Maximum Visible Lines"), tr("Lines: "),
                                                            m_maxLines, 1, 2000, 1);
    setMaxLines(lines.value_or(m_maxLines));
}

void LogEdit::setLogFile()
{
    const QString name = kro::prompter().getSaveFileName(this, QString(), m_logFileName, QString());
    if (name.isEmpty())
        return;
    m_logFileName = name;
    QFile file(name);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.close();
    window()->show();
    window()->activateWindow();
}

void LogEdit::resetLogFile()
{
    if (m_logFileName.isEmpty())
        return;
    QFile file(m_logFileName);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.close();
}

void LogEdit::keyPressEvent(QKeyEvent* event)
{
    int code = 0;
    switch (event->key()) {
    case Qt::Key_Left: code = kKeyLeft; break;
    case Qt::Key_Up: code = kKeyUp; break;
    case Qt::Key_Right: code = kKeyRight; break;
    case Qt::Key_Down: code = kKeyDown; break;
    case Qt::Key_Return:
    case Qt::Key_Enter: code = '\r'; break;
    case Qt::Key_Backspace: code = '\b'; break;
    case Qt::Key_Tab: code = '\t'; break;
    case Qt::Key_Escape: code = 27; break;
    default:
        if ((event->modifiers() & Qt::ControlModifier) && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z) {
            code = event->key() - Qt::Key_A + 1; // Control and a letter: 1 to 26
        } else if (!event->text().isEmpty()) {
            const char16_t c = event->text().front().unicode();
            if (c <= 255) // the links send Latin-1
                code = c;
        }
        break;
    }
    if (code != 0)
        Q_EMIT userKey(code);
    event->accept();
}

void LogEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addAction(tr("Clear screen"), this, &LogEdit::clear);
    menu.addAction(tr("Copy all"), this, &LogEdit::copyAll);
    menu.addSeparator();
    menu.addAction(tr("Set maximum lines (%1)...").arg(m_maxLines), this, &LogEdit::setMaxLinesGUI);
    menu.addAction(tr("Set log file..."), this, &LogEdit::setLogFile);
    QAction* stop = menu.addAction(tr("Stop log file"), this, &LogEdit::stopLogFile);
    QAction* reset = menu.addAction(tr("Reset log file"), this, &LogEdit::resetLogFile);
    stop->setEnabled(!m_logFileName.isEmpty());
    reset->setEnabled(!m_logFileName.isEmpty());
    menu.addSeparator();
    menu.addAction(tr("Print..."), this, &LogEdit::filePrint);
    kro::prompter().execMenu(&menu, event->globalPos()); // the chosen action triggers its slot
    event->accept();
}

LogEdit::PrintLayout LogEdit::layoutForPrint(QTextDocument& document, const QString& text, QFont font, QSize page,
                                             QPaintDevice& device)
{
    PrintLayout layout;
    layout.margin = static_cast<int>(device.logicalDpiY() * 2 / 2.54);
    font.setPointSize(10);
    document.documentLayout()->setPaintDevice(&device);
    document.setDefaultFont(font);
    document.setPlainText(text);
    // Five device units and the page number's height stay free below.
    const int numberRoom = 5 + QFontMetrics(font, &device).height();
    layout.body = QRect(layout.margin, layout.margin, page.width() - 2 * layout.margin,
                        page.height() - 2 * layout.margin - numberRoom);
    document.setPageSize(layout.body.size());
    document.documentLayout(); // lays it out
    layout.pageCount = std::max(1, document.pageCount());
    return layout;
}

void LogEdit::paintPrintPage(QPainter& painter, QTextDocument& document, const PrintLayout& layout, int page)
{
    painter.save();
    painter.setClipRect(layout.body);
    painter.translate(layout.body.left(), layout.body.top() - page * layout.body.height());
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(0, page * layout.body.height(), layout.body.width(), layout.body.height());
    context.palette.setColor(QPalette::Text, Qt::black);
    document.documentLayout()->draw(&painter, context);
    painter.restore();

    painter.save();
    painter.setFont(document.defaultFont());
    const QFontMetrics metrics(document.defaultFont(), painter.device());
    const QString number = QString::number(page + 1);
    const int baseline = layout.body.bottom() + 5 + metrics.ascent();
    painter.setPen(Qt::black);
    painter.drawText(layout.body.right() - metrics.horizontalAdvance(number), baseline, number);
    painter.restore();
}

void LogEdit::printText(QPagedPaintDevice& device, const QString& text, const QFont& font)
{
    QTextDocument document;
    QPainter painter(&device);
    const QRect page = painter.viewport();
    const PrintLayout layout = layoutForPrint(document, text, font, page.size(), device);
    for (int i = 0; i < layout.pageCount; ++i) {
        if (i > 0)
            device.newPage();
        paintPrintPage(painter, document, layout, i);
    }
}

void LogEdit::filePrint()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    if (!kro::prompter().execPrintDialog(&printer, this))
        return;
    printText(printer, toPlainText(), font());
}
