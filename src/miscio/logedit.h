#pragma once
// LogEdit: the console of an instrument page. It shows the tail of what the
// instrument sends (the last 20 lines by default), applies the two
// VT-style codes it understands (erase screen, colours), resolves
// backspaces, and can copy, print and write everything it receives to a log
// file. Every key typed in it goes to the instrument (userKey) instead of
// editing its text. While disabled (its page is linked to a live plot) the
// display stands still, but the log file and the standard-output echo go on.
//
// The shown text is kept as a string of at most the maximum number of lines
// and at most MAX_SHOWN_CHARS characters, so appending costs the same however
// long the instrument has been sending; the widget is redrawn from it at most
// every REFRESH_MS.
#include "miscio/vt100parser.h"

#include <QColor>
#include <QPlainTextEdit>
#include <QString>

#include <vector>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;
class QTextDocument;
class QTimer;

class LogEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    static constexpr int DEFAULT_MAX_LINES = 20;
    static constexpr int MAX_SHOWN_CHARS = 1 << 18;
    static constexpr int REFRESH_MS = 40;

    LogEdit(QWidget* parent, const QString& name);

    // Appends received text with the codes found in it.
    void appendLog(const QString& text, const std::vector<Vt100Code>& codes);
    // The page's own messages: appendLog with no codes.
    void append(const QString& text);

    // The text the console shows (the widget catches up within REFRESH_MS,
    // or at once through flushDisplay).
    const QString& shownText() const { return m_shown; }
    void flushDisplay();

    int maxLines() const { return m_maxLines; }
    void setMaxLines(int lines);
    const QString& logFileName() const { return m_logFileName; }
    void setLogFileName(const QString& name) { m_logFileName = name; }
    bool echo() const { return m_echo; }
    bool vt100() const { return m_vt100; }
    QColor textColor() const { return m_textColor; }
    QColor backgroundColor() const { return m_backgroundColor; }
    // The last character of the previous text (7 after a text of bells only).
    int lastCharacter() const { return m_last; }

    // The text with every character-and-backspace pair removed, matches
    // taken from the left without overlapping, in one pass; a backspace
    // after a line break (or at the start) stays.
    static QString removeBackspaces(const QString& text);
    // Lays the text out for printing on the device: plain-text line breaks
    // kept, the font at 10 points, the width between 2 cm margins.
    struct PrintLayout {
        int margin = 0;
        QRect body;      // the printed area of a page
        int pageCount = 0;
    };
    static PrintLayout layoutForPrint(QTextDocument& document, const QString& text, QFont font, QSize page,
                                      QPaintDevice& device);
    // Paints one page (0-based) of a laid-out document with its number
    // right-aligned below the printed area.
    static void paintPrintPage(QPainter& painter, QTextDocument& document, const PrintLayout& layout, int page);
    // Prints the text on the device, as many pages as it takes.
    static void printText(QPagedPaintDevice& device, const QString& text, const QFont& font);

public Q_SLOTS:
    void clear();
    void copyAll();
    void filePrint();
    void enableVt100(bool on) { m_vt100 = on; }
    void resetLogFile();
    void setMaxLinesGUI();
    void setTextFormat(Qt::TextFormat format);
    void setLogFile();
    void stopLogFile() { m_logFileName = QString(); }
    void toggleStdOut() { m_echo = !m_echo; }

Q_SIGNALS:
    void userKey(int code);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void applyCodes(const std::vector<Vt100Code>& codes);
    void setColors(const QColor& text, const QColor& background);
    void scheduleRefresh();

    QString m_shown;
    QString m_logFileName;
    int m_last = 0;
    int m_maxLines = DEFAULT_MAX_LINES;
    bool m_echo = false;
    bool m_vt100 = false;
    Qt::TextFormat m_format = Qt::AutoText;
    QColor m_textColor = Qt::black;
    QColor m_backgroundColor = Qt::white;
    QTimer* m_refresh;
};
