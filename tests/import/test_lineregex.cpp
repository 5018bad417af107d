// The "-regex" line filter shared by the loader and the regular-expression
// tool: searching a text, telling the lines a load reads, and the highlighted
// rich text that shows the matches.
#include "import/lineregex.h"

#include <QColor>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "load_helpers.h"
#include "support/files.h"
#include "support/qtprinters.h"

using kro::import::TextMatch;

namespace {

std::vector<std::pair<std::size_t, std::size_t>> found(const char* pattern, const std::string& text)
{
    std::vector<std::pair<std::size_t, std::size_t>> out;
    for (const TextMatch& m : kro::import::searchText(boost::regex(pattern), text))
        out.emplace_back(m.offset, m.length);
    return out;
}

} // namespace

TEST(LineRegex, BlanksStandForAnyWhiteSpace)
{
    EXPECT_EQ(kro::import::blanksAsWhitespace(QStringLiteral("a b  c")), QStringLiteral("a\\sb\\s\\sc"));
    EXPECT_EQ(kro::import::blanksAsWhitespace(QStringLiteral("\\d+")), QStringLiteral("\\d+"));
}

TEST(LineRegex, SearchFindsEveryMatchAndNeverHangsOnEmptyOnes)
{
    struct Case {
        const char* pattern;
        std::string text;
        std::vector<std::pair<std::size_t, std::size_t>> matches;
    } cases[] = {
        {"\\d+", "a12b345", {{1, 2}, {4, 3}}},
        {"x*", "axxbx", {{1, 2}, {4, 1}}},           // empty matches in between are passed over
        {"b|", "abab", {{1, 1}, {3, 1}}},
        {"^\\w", "ab\ncd", {{0, 1}, {3, 1}}},        // "^" after a match still means a line start
        {".+", "ab\ncd", {{0, 2}, {3, 2}}},          // '.' stops at the line feed
        {"\\bc", "abc c", {{4, 1}}},
        {"$", "abc", {}},
        {"z", "", {}},
        {"", "", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(found(c.pattern, c.text), c.matches) << c.pattern << " in " << c.text;
}

TEST(LineRegex, CompileReportsTheLibrarysMessage)
{
    kro::import::LineRegex r;
    std::string error;
    EXPECT_FALSE(r.compile("(ab", &error));
    EXPECT_FALSE(r.isValid());
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(r.compile("a b", &error));
    EXPECT_TRUE(r.matchesLine(std::string("a b\r\n")));  // the line end is no part of the line
    EXPECT_FALSE(r.matchesLine(std::string("a b c")));   // the whole line must match
}

TEST(LineRegex, CatastrophicPatternsEndWithAnErrorAndCancelStopsASearch)
{
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += std::string(40, 'a') + "\n";
    kro::import::LineRegex line;
    line.compile("(a+)+b");
    const auto outcome = kro::import::runRegexSearch(boost::regex("(a+)+b"), line, text);
    EXPECT_FALSE(outcome.error.empty());
    EXPECT_TRUE(outcome.matches.empty());

    const std::atomic<bool> cancelled{true};
    EXPECT_TRUE(kro::import::searchText(boost::regex("a"), text, &cancelled).empty());
}

TEST(LineRegex, HighlightsTakeWholeCharactersInOrderAndApart)
{
    const std::string text = "<b>&amp;</b> 12\n\tx  34 \"q\"\n\xC3\xA9t\xC3\xA9";
    // Digits are matched; the byte inside each "é" takes its whole character.
    const auto ranges = kro::import::highlightRanges(text, kro::import::searchText(boost::regex("\\d+|\\xA9"), text));
    QStringList parts;
    std::size_t done = 0;
    for (const kro::import::TextMatch& r : ranges) {
        EXPECT_GE(r.offset, done) << "in order and apart";
        done = r.offset + r.length;
        parts << QString::fromUtf8(text.data() + r.offset, qsizetype(r.length));
    }
    EXPECT_EQ(parts, (QStringList{"12", "34", QString::fromUtf8("\xC3\xA9"), QString::fromUtf8("\xC3\xA9")}));
    // Overlapping matches are cut where the one before ends.
    const auto cut = kro::import::highlightRanges("abcdef", {{0, 4}, {2, 3}, {3, 1}});
    ASSERT_EQ(cut.size(), 2u);
    EXPECT_EQ(cut[0].offset, 0u);
    EXPECT_EQ(cut[0].length, 4u);
    EXPECT_EQ(cut[1].offset, 4u);
    EXPECT_EQ(cut[1].length, 1u);
}

TEST(LineRegex, TheToolCountsTheLinesALoadReads)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray content = "1 2\n3,4\n5;6\n7\t8\n9 10 extra\n11  12\n13 14\r\n";
    const QString file = kro::test::writeFile(dir.filePath("lines.dat"), content);
    const char* patterns[] = {"\\d+ \\d+", "\\d+[,;]\\d+", ".*", "1.*", "[0-9 ]+", "\\d+\\s+\\d+", "nothing"};
    for (const char* p : patterns) {
        const QString pattern = QString::fromLatin1(p);
        const CurveMap curves = kro::test::loadCommandCurves(
            QStringLiteral("kro -f %1 -x 1 -y 2 -regex \"%2\"").arg(file, pattern));
        const long long loaded = curves.empty() ? 0 : (long long)curves.begin()->second.pointCount();

        kro::import::LineRegex line;
        ASSERT_TRUE(line.compile(kro::import::blanksAsWhitespace(pattern).toStdString()));
        const auto outcome = kro::import::runRegexSearch(line.regex(), line, content.toStdString());
        EXPECT_EQ(outcome.lines, 7);
        EXPECT_EQ(outcome.linesRead, loaded) << p;
    }
}
