#pragma once
// The list of lines submitted in one console: recalled with Up and Down,
// kept across runs in a history file of its own.
#include <QString>
#include <QStringList>

class CommandHistory {
public:
    // limit: the most entries the list keeps (the setting "history" plus one).
    explicit CommandHistory(int limit = 31) : m_limit(limit) {}

    // Takes effect at the next addition of a new line.
    void setLimit(int limit) { m_limit = limit; }
    int limit() const { return m_limit; }

    // Adds a line (trimmed; blank lines are ignored). A line equal to the
    // oldest entry moves that entry to the newest end; a line equal to the
    // newest entry is not added again.
    void add(const QString& line);
    // Empties the list and sets the recall position to 0.
    void clear();
    // Removes the newest entry when it equals the (trimmed) line; returns
    // whether it did. The recall position goes past the newest entry.
    bool removeLastIf(const QString& line);

    const QStringList& entries() const { return m_entries; }
    bool isEmpty() const { return m_entries.isEmpty(); }
    int size() const { return int(m_entries.size()); }
    int cursor() const { return m_cursor; }

    // Up: one entry back, from the oldest to the newest. Down: one entry
    // forward, past the newest to the oldest. Null text with an empty list.
    QString recallPrevious();
    QString recallNext();

    // Loads the file's lines through add(); a missing or unreadable file
    // leaves the list as it is. Both LF and CR LF line ends are read.
    bool load(const QString& path);
    // Writes the entries, oldest first, one per line. An empty list leaves
    // the file as it was. Returns false when the file could not be written.
    bool save(const QString& path) const;

private:
    QStringList m_entries;
    int m_limit;
    int m_cursor = 0;
};
