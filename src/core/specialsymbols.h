#pragma once
// Symbol codes in label texts: a slash followed by a name ("/alpha", "/OHMS",
// "/arrowr") stands for one character. The table is built once, on first
// use, and never changes afterwards, so any thread may read it.
#include <QChar>
#include <QRegularExpression>
#include <QString>

#include <vector>

struct SpecialSymbol {
    QString name;               // the code without its slash, as the help lists it
    QRegularExpression pattern; // the text that is replaced
    QChar character;            // the replacement
};

// The rows in table order (the order decides where one code begins with
// another: "/DELTA" and "/delta" come before the any-case "/del").
const std::vector<SpecialSymbol>& specialSymbols();

// Builds the table ahead of its first use (start-up calls it once).
void initSpecialSymbols();

// The text with every symbol code replaced by its character, row by row in
// table order.
QString replaceSpecialSymbols(const QString& text);
