#include "core/specialsymbols.h"

namespace {

enum class Case { Exact, Any };

struct Row {
    const char* name;
    const char* pattern;
    Case caseRule;
    char16_t character;
};

// The left and up arrows must not take the double arrows "/arrowlr" and
// "/arrowud": a look-ahead refuses the r (d) without consuming the
// character that follows the code.
constexpr Row kRows[] = {
    {"ALPHA", "/ALPHA", Case::Exact, 0x0391},
    {"BETA", "/BETA", Case::Exact, 0x0392},
    {"GAMMA", "/GAMMA", Case::Exact, 0x0393},
    {"DELTA", "/DELTA", Case::Exact, 0x0394},
    {"EPSILON", "/EPSILON", Case::Exact, 0x0395},
    {"ZETA", "/ZETA", Case::Exact, 0x0396},
    {"ETA", "/ETA", Case::Exact, 0x0397},
    {"THETA", "/THETA", Case::Exact, 0x0398},
    {"IOTA", "/IOTA", Case::Exact, 0x0399},
    {"KAPPA", "/KAPPA", Case::Exact, 0x039A},
    {"LAMBDA", "/LAMBDA", Case::Exact, 0x039B},
    {"MU", "/MU", Case::Exact, 0x039C},
    {"NU", "/NU", Case::Exact, 0x039D},
    {"XI", "/XI", Case::Exact, 0x039E},
    {"OMICRON", "/OMICRON", Case::Exact, 0x039F},
    {"PI", "/PI", Case::Exact, 0x03A0},
    {"RHO", "/RHO", Case::Exact, 0x03A1},
    {"SIGMA", "/SIGMA", Case::Exact, 0x03A3},
    {"TAU", "/TAU", Case::Exact, 0x03A4},
    {"UPSILON", "/UPSILON", Case::Exact, 0x03A5},
    {"PHI", "/PHI", Case::Exact, 0x03A6},
    {"CHI", "/CHI", Case::Exact, 0x03A7},
    {"PSI", "/PSI", Case::Exact, 0x03A8},
    {"OMEGA", "/OMEGA", Case::Exact, 0x03A9},
    {"alpha", "/alpha", Case::Exact, 0x03B1},
    {"beta", "/beta", Case::Exact, 0x03B2},
    {"gamma", "/gamma", Case::Exact, 0x03B3},
    {"delta", "/delta", Case::Exact, 0x03B4},
    {"epsilon", "/epsilon", Case::Exact, 0x03B5},
    {"zeta", "/zeta", Case::Exact, 0x03B6},
    {"eta", "/eta", Case::Exact, 0x03B7},
    {"theta", "/theta", Case::Exact, 0x03B8},
    {"iota", "/iota", Case::Exact, 0x03B9},
    {"kappa", "/kappa", Case::Exact, 0x03BA},
    {"lambda", "/lambda", Case::Exact, 0x03BB},
    {"mu", "/mu", Case::Exact, 0x03BC},
    {"nu", "/nu", Case::Exact, 0x03BD},
    {"xi", "/xi", Case::Exact, 0x03BE},
    {"omicron", "/omicron", Case::Exact, 0x03BF},
    {"pi", "/pi", Case::Exact, 0x03C0},
    {"rho", "/rho", Case::Exact, 0x03C1},
    {"sigma", "/sigma", Case::Exact, 0x03C3},
    {"tau", "/tau", Case::Exact, 0x03C4},
    {"upsilon", "/upsilon", Case::Exact, 0x03C5},
    {"phi", "/phi", Case::Exact, 0x03C6},
    {"chi", "/chi", Case::Exact, 0x03C7},
    {"psi", "/psi", Case::Exact, 0x03C8},
    {"omega", "/omega", Case::Exact, 0x03C9},
    {"Ohms", "/OHMS?", Case::Any, 0x03A9},
    {"MICRO", "/MICRO", Case::Exact, 0x03BC},
    {"micro", "/micro", Case::Exact, 0x03BC},
    {"degrees", "/degrees", Case::Any, 0x00B0},
    {"del", "/del", Case::Any, 0x2207},
    {"scriptL", "/scriptL", Case::Any, 0x2112},
    {"integral", "/integral", Case::Any, 0x222B},
    {"arrowl", "/arrowl(?!r)", Case::Any, 0x2190},
    {"arrowr", "/arrowr", Case::Any, 0x2192},
    {"arrowu", "/arrowu(?!d)", Case::Any, 0x2191},
    {"arrowd", "/arrowd", Case::Any, 0x2193},
    {"arrowlr", "/arrowlr", Case::Any, 0x2194},
    {"arrowud", "/arrowud", Case::Any, 0x2195},
};

std::vector<SpecialSymbol> buildTable()
{
    std::vector<SpecialSymbol> table;
    table.reserve(std::size(kRows));
    for (const Row& row : kRows) {
        QRegularExpression::PatternOptions options = QRegularExpression::NoPatternOption;
        if (row.caseRule == Case::Any)
            options |= QRegularExpression::CaseInsensitiveOption;
        QRegularExpression pattern(QString::fromLatin1(row.pattern), options);
        pattern.optimize();
        table.push_back({QString::fromLatin1(row.name), pattern, QChar(row.character)});
    }
    return table;
}

} // namespace

const std::vector<SpecialSymbol>& specialSymbols()
{
    static const std::vector<SpecialSymbol> table = buildTable();
    return table;
}

void initSpecialSymbols()
{
    (void)specialSymbols();
}

QString replaceSpecialSymbols(const QString& text)
{
    // Every code begins with a slash.
    if (!text.contains(QLatin1Char('/')))
        return text;
    QString result = text;
    for (const SpecialSymbol& row : specialSymbols()) {
        if (!result.contains(QLatin1Char('/')))
            break;
        result.replace(row.pattern, QString(row.character));
    }
    return result;
}
