#pragma once
// The events of the loader thread: progress for the progress bar, and titles,
// messages, warnings and the finished notice for the plot tabs.
#include <QEvent>
#include <QString>

class ParsingThread;

class ProgressBarUpdate : public QEvent {
public:
    enum Kind {
        PROGRESS = 1000,  // value: bytes read, or data lines when a row limit is set
        FILE_NAME = 1006, // value: the total the progress counts toward; text: the file name
    };
    ProgressBarUpdate(Kind kind, qint64 value, const QString& text = QString())
        : QEvent(QEvent::Type(kind)), m_value(value), m_text(text)
    {
    }
    qint64 value() const { return m_value; }
    const QString& text() const { return m_text; }

private:
    qint64 m_value;
    QString m_text;
};

class ParsingThreadUpdate : public QEvent {
public:
    enum Kind {
        CURVE_TITLE = 1001,   // value: curve index; text 1: title
        FINISHED = 1002,      // the loader has finished; thread(): the loader
        OUT_OF_MEMORY = 1003,
        MESSAGE = 1005,       // text 1 (verbose mode only)
        DATE_WARNING = 1008,  // texts: file, first failing format, first failing text
        DATE_TOTAL = 1009,    // value: total date/time failures
        LINE_ERROR = 1010,    // text 1: the formatted error
    };
    ParsingThreadUpdate(Kind kind, ParsingThread* thread, int value = 0, const QString& text1 = QString(),
                        const QString& text2 = QString(), const QString& text3 = QString())
        : QEvent(QEvent::Type(kind)), m_value(value), m_text1(text1), m_text2(text2), m_text3(text3),
          m_thread(thread)
    {
    }
    int value() const { return m_value; }
    const QString& text1() const { return m_text1; }
    const QString& text2() const { return m_text2; }
    const QString& text3() const { return m_text3; }
    ParsingThread* thread() const { return m_thread; }

private:
    int m_value;
    QString m_text1;
    QString m_text2;
    QString m_text3;
    ParsingThread* m_thread;
};
