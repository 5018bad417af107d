#include "command/commandhistory.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>

namespace {
// UTF-8 when the bytes are valid UTF-8, else Latin-1.
QString decodeText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}
} // namespace

void CommandHistory::add(const QString& line)
{
    const QString entry = line.trimmed();
    if (entry.isEmpty())
        return;
    if (!m_entries.isEmpty() && entry == m_entries.first()) {
        m_entries.removeFirst();
        m_entries.append(entry);
    } else if (m_entries.isEmpty() || entry != m_entries.last()) {
        m_entries.append(entry);
        while (m_entries.size() > m_limit && !m_entries.isEmpty())
            m_entries.removeFirst();
    }
    m_cursor = int(m_entries.size());
}

void CommandHistory::clear()
{
    m_entries.clear();
    m_cursor = 0;
}

bool CommandHistory::removeLastIf(const QString& line)
{
    bool removed = false;
    if (!m_entries.isEmpty() && m_entries.last() == line.trimmed()) {
        m_entries.removeLast();
        removed = true;
    }
    m_cursor = int(m_entries.size());
    return removed;
}

QString CommandHistory::recallPrevious()
{
    if (m_entries.isEmpty())
        return QString();
    const int n = int(m_entries.size());
    m_cursor = (m_cursor <= 0 || m_cursor > n) ? n - 1 : m_cursor - 1;
    return m_entries.at(m_cursor);
}

QString CommandHistory::recallNext()
{
    if (m_entries.isEmpty())
        return QString();
    const int n = int(m_entries.size());
    ++m_cursor;
    if (m_cursor >= n || m_cursor < 0)
        m_cursor = 0;
    return m_entries.at(m_cursor);
}

bool CommandHistory::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString text = decodeText(file.readAll());
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts);
    for (const QString& line : lines)
        add(line);
    return true;
}

bool CommandHistory::save(const QString& path) const
{
    if (m_entries.isEmpty())
        return true;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QString& entry : m_entries) {
        file.write(entry.toUtf8());
        file.write("\n");
    }
    return file.commit();
}
