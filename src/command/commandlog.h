#pragma once
// The log file of one console: every submitted line and every printed
// message, stamped with the local date and time, appended to a file the
// user chose. The file is opened and closed around every entry.
#include <QDateTime>
#include <QString>

class CommandLog {
public:
    // "Command log " or "Debug log ": every message is built from it.
    void setLabel(const QString& label) { m_label = label; }
    const QString& label() const { return m_label; }

    const QString& fileName() const { return m_fileName; }
    bool isEnabled() const { return m_enabled; }

    // Each returns the message the console prints. setFile() enables the
    // new file when it can be opened for appending; otherwise the previous
    // file and state stay as they were. enable(false) only words the
    // message: the console prints it (so it is still logged) and then calls
    // disable().
    QString setFile(const QString& name);
    QString enable(bool on);
    void disable() { m_enabled = false; }
    QString stateReport() const;

    // Appends one entry while enabled. Returns a null text on success (or
    // while disabled); when the file cannot be opened, logging is switched
    // off, the file forgotten, and the returned text says so.
    QString write(const QString& text, const QDateTime& when = QDateTime::currentDateTime());

    // "MMM dd, yyyy (hh:mm:ss) ": the 24 characters that start every entry.
    static QString timeStamp(const QDateTime& when);

private:
    QString m_label;
    QString m_fileName;
    bool m_enabled = false;
};
