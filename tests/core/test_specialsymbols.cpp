#include "core/specialsymbols.h"

#include <gtest/gtest.h>

#include <QSet>

#include <atomic>
#include <thread>
#include <vector>

namespace {

struct SymbolCase {
    const char* input;
    const char16_t* expected;
};

class SpecialSymbolReplace : public ::testing::TestWithParam<SymbolCase> {};

TEST_P(SpecialSymbolReplace, GivesDisplayText)
{
    const SymbolCase& c = GetParam();
    EXPECT_EQ(replaceSpecialSymbols(QString::fromUtf8(c.input)), QString::fromUtf16(c.expected))
        << "input: " << c.input;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SpecialSymbolReplace,
    ::testing::Values(
        SymbolCase{"", u""},
        SymbolCase{"no codes here", u"no codes here"},
        SymbolCase{"a/b", u"a/b"},
        // Exact-case rows come before the any-case "/del".
        SymbolCase{"/DELTA /delta /Delta", u"\u0394 \u03B4 \u2207ta"},
        SymbolCase{"/del /DEL", u"\u2207 \u2207"},
        // The arrows at the end of a text, each reaching its own row.
        SymbolCase{"/arrowl", u"\u2190"},
        SymbolCase{"/arrowr", u"\u2192"},
        SymbolCase{"/arrowu", u"\u2191"},
        SymbolCase{"/arrowd", u"\u2193"},
        SymbolCase{"/arrowlr", u"\u2194"},
        SymbolCase{"/arrowud", u"\u2195"},
        SymbolCase{"/ARROWR /ArrowLR /arrowlR /ARROWUD", u"\u2192 \u2194 \u2194 \u2195"},
        // The left and up arrows keep the character after the code.
        SymbolCase{"/arrowl x", u"\u2190 x"},
        SymbolCase{"/arrowu-axis", u"\u2191-axis"},
        SymbolCase{"/arrowl/arrowr", u"\u2190\u2192"},
        SymbolCase{"/MICRO /micro /mu /MU /Micro", u"\u03BC \u03BC \u03BC \u039C /Micro"},
        SymbolCase{"/OMEGA /ohms /OHM /Ohms", u"\u03A9 \u03A9 \u03A9 \u03A9"},
        SymbolCase{"/degrees /Degrees /DEGREES", u"\u00B0 \u00B0 \u00B0"},
        SymbolCase{"/Alpha /alpha /ALPHA", u"/Alpha \u03B1 \u0391"},
        // No boundary is needed after a code.
        SymbolCase{"/pix /deltax", u"\u03C0x \u03B4x"},
        SymbolCase{"/sigma and /sigma again", u"\u03C3 and \u03C3 again"},
        SymbolCase{"n/sigma", u"n\u03C3"},
        SymbolCase{"/scriptl /INTEGRAL", u"\u2112 \u222B"}));

TEST(SpecialSymbols, TableRowsForHelp)
{
    const auto& table = specialSymbols();
    ASSERT_EQ(table.size(), 61u);
    EXPECT_EQ(table.front().name, "ALPHA");
    EXPECT_EQ(table.back().name, "arrowud");
    QSet<QString> names;
    for (const SpecialSymbol& row : table) {
        EXPECT_TRUE(row.pattern.isValid()) << row.name.toStdString();
        names.insert(row.name);
        // Each row's own code, written as the help lists it, gives its character
        // (the mixed-case "/scriptL" included).
        EXPECT_EQ(replaceSpecialSymbols("/" + row.name), QString(row.character)) << row.name.toStdString();
    }
    EXPECT_EQ(names.size(), 61);
}

TEST(SpecialSymbols, ArgumentIsNotChanged)
{
    const QString text = "/alpha";
    const QString result = replaceSpecialSymbols(text);
    EXPECT_EQ(text, "/alpha");
    EXPECT_EQ(result, QString(QChar(0x03B1)));
}

TEST(SpecialSymbols, ConcurrentReadersAgree)
{
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i)
                if (replaceSpecialSymbols("/tau /arrowl x") != QString::fromUtf16(u"\u03C4 \u2190 x"))
                    ++mismatches;
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(mismatches.load(), 0);
}

} // namespace
