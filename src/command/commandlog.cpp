#include "command/commandlog.h"

#include <QFile>
#include <QCoreApplication>
#include <QLocale>

namespace {
// Messages are translated in the context of the console that prints them.
QString message(const char* text) { return QCoreApplication::translate("CommandEdit", text); }
} // namespace

QString CommandLog::setFile(const QString& name)
{
    QFile file(name);
    if (name.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        const QString reason = name.isEmpty() ? message("No file name was given.") : file.errorString();
        return message("Error: could not open %1file for writing: ").arg(m_label) + reason;
    }
    file.close();
    m_enabled = true;
    m_fileName = name;
    return message("Info: %1file set to %2").arg(m_label, name);
}

QString CommandLog::enable(bool on)
{
    if (on) {
        if (m_fileName.isNull())
            return message("Warning: You cannot enable a %1file before it has been set.").arg(m_label);
        m_enabled = true;
        return message("%1file %2 enabled").arg(m_label, m_fileName);
    }
    if (m_fileName.isNull())
        return message("Warning: There is no need to disable the %1file - it has not yet been set.").arg(m_label);
    return message("%1file %2 disabled").arg(m_label, m_fileName);
}

QString CommandLog::stateReport() const
{
    if (m_fileName.isNull())
        return message("%1file has not been set.").arg(m_label);
    return message("(%1) %2file: %3")
        .arg(m_enabled ? message("Enabled") : message("Disabled"), m_label, m_fileName);
}

QString CommandLog::write(const QString& text, const QDateTime& when)
{
    if (!m_enabled)
        return QString();
    QFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        m_enabled = false;
        const QString error = message("Error: Disabling %1file. %2 could not open file for writing: %3")
                                  .arg(m_label, m_fileName, file.errorString());
        m_fileName = QString();
        return error;
    }
    if (!text.isEmpty()) {
        QString entry = QStringLiteral("\n") + timeStamp(when) + QStringLiteral("> ") + text;
        entry.replace(QLatin1Char('\n'), QStringLiteral("\n") + QString(24, QLatin1Char(' ')));
        // The first line break (the entry's start) carries no indent.
        entry.remove(1, 24);
        file.write(entry.toUtf8());
    }
    return QString();
}

QString CommandLog::timeStamp(const QDateTime& when)
{
    return QLocale::c().toString(when, QStringLiteral("MMM dd, yyyy (hh:mm:ss) "));
}
