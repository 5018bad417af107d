#pragma once
// gtest printers for Qt text types, so failures show the text. Included by
// every test file of this folder.
#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << "{";
    for (qsizetype i = 0; i < list.size(); ++i)
        *os << (i ? ", " : "") << '"' << list[i].toStdString() << '"';
    *os << "}";
}
