#pragma once
// The command language's own reference: one help entry per command or
// topic, looked up by name or alias without regard to case.
#include <QChar>
#include <QString>

#include <string>
#include <vector>

struct CommandHelp {
    std::string name;  // as listed by "help": "Linewidth", "Function", "/"
    std::string alias; // a second word it is found under, or empty
    QString text;      // lines separated by a line feed

    // True when the word equals the name or the alias, ASCII case ignored.
    bool matches(const std::string& word) const;
};

// One row of the symbol listing of the "/" entry.
struct HelpSymbol {
    QString name;
    QChar character;
};

// The 74 entries in table order; the "/" entry lists the given symbols.
std::vector<CommandHelp> buildCommandHelp(const std::vector<HelpSymbol>& symbols);
// The same with the program's special-symbol table.
std::vector<CommandHelp> buildCommandHelp();

// The first entry that matches the word, or null.
const CommandHelp* findCommandHelp(const std::vector<CommandHelp>& table, const std::string& word);

// The text printed by "help" alone: the sorted names in rows of six.
QString commandHelpList(const std::vector<CommandHelp>& table);
// The text of the "/" entry.
QString symbolHelpText(const std::vector<HelpSymbol>& symbols);
