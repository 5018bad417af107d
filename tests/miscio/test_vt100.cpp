#include <gtest/gtest.h>

#include "miscio/vt100parser.h"

#include <QByteArray>

#include <string>
#include <vector>

namespace {

// "\x1b" is written as "^" in the cases below, so a sequence reads ^[2J.
QByteArray esc(const char* text)
{
    QByteArray bytes(text);
    bytes.replace('^', '\x1b');
    return bytes;
}

struct ParseCase {
    const char* name;
    std::vector<const char*> texts;     // consecutive received texts
    std::vector<const char*> cleaned;   // each text after parsing
    std::vector<Vt100Code> codes;       // all codes, in order
};

class Vt100Cases : public ::testing::TestWithParam<ParseCase> {};

TEST_P(Vt100Cases, RemovesSequencesAndReportsCodes)
{
    const ParseCase& c = GetParam();
    Vt100Parser parser;
    std::vector<Vt100Code> codes;
    ASSERT_EQ(c.texts.size(), c.cleaned.size());
    for (size_t i = 0; i < c.texts.size(); ++i) {
        parser.clearCodes();
        QByteArray text = esc(c.texts[i]);
        parser.parse(text);
        EXPECT_EQ(text, esc(c.cleaned[i])) << "text " << i;
        codes.insert(codes.end(), parser.codes().begin(), parser.codes().end());
    }
    ASSERT_EQ(codes.size(), c.codes.size());
    for (size_t i = 0; i < codes.size(); ++i) {
        EXPECT_EQ(codes[i].id, c.codes[i].id) << "code " << i;
        EXPECT_EQ(codes[i].params, c.codes[i].params) << "code " << i;
        EXPECT_EQ(codes[i].position, c.codes[i].position) << "code " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Vt100Cases,
    ::testing::Values(
        ParseCase{"PlainText", {"12.5 3.25\n"}, {"12.5 3.25\n"}, {}},
        ParseCase{"CursorPositionWithTwoParameters", {"^[12;40Hok"}, {"ok"}, {{{12, 40}, 0, 12}}},
        ParseCase{"EraseScreenInTheMiddle", {"ab^[2Jcd"}, {"abcd"}, {{{}, 2, 33}}},
        ParseCase{"ColourWithOneParameter", {"^[31mred"}, {"red"}, {{{31}, 0, 39}}},
        ParseCase{"ColourWithTwoParameters", {"^[0;31m"}, {""}, {{{0, 31}, 0, 39}}},
        ParseCase{"EmptyParameterEndsTheList", {"^[12;;40H"}, {""}, {{{12}, 0, 12}}},
        ParseCase{"SplitAcrossTexts", {"x^[3", "1my"}, {"x", "y"}, {{{31}, 0, 39}}},
        ParseCase{"SplitRightAfterEsc", {"a^", "[Kb"}, {"a", "b"}, {{{}, 0, 28}}},
        // One-digit parameters before a final byte that is a tail by itself.
        ParseCase{"ResetAttributesKeepsFollowingText", {"^[0mHello"}, {"Hello"}, {{{0}, 0, 39}}},
        ParseCase{"CursorUpWithCount", {"^[2Ax"}, {"x"}, {{{2}, 0, 13}}},
        ParseCase{"WholeTailsCarryNoParameters", {"^[1K^[0c^[5n^[3g^[7h"}, {""},
                  {{{}, 0, 29}, {{}, 0, 1}, {{}, 0, 2}, {{}, 0, 27}, {{}, 0, 8}}},
        ParseCase{"TwoByteEscapes", {"a^7b^8c^Dd^Me^cf^hg"}, {"abcdefg"},
                  {{{}, 1, 20}, {{}, 2, 21}, {{}, 3, 23}, {{}, 4, 24}, {{}, 5, 7}, {{}, 6, 25}}},
        ParseCase{"CharacterSetTakesItsDesignator", {"^(B^)0ok"}, {"ok"}, {{{}, 0, 10}, {{}, 0, 11}}},
        ParseCase{"UnknownEscapeStays", {"^x"}, {"^x"}, {}},
        ParseCase{"DoubledEscapeKeepsTheFirst", {"^^[Kz"}, {"^z"}, {{{}, 1, 28}}},
        // Unknown control sequences go without a code and hold nothing back.
        ParseCase{"PrivateModeIsRemoved", {"^[?25lok", "Hi"}, {"ok", "Hi"}, {}},
        // A line feed inside a sequence ends it: the bytes come back as text,
        // so numeric data after a broken sequence is not lost.
        ParseCase{"ControlCharacterEndsSequence", {"^[12\n3.5\n"}, {"^[12\n3.5\n"}, {}},
        ParseCase{"HeldPartComesBackInTheNextText", {"a^[1", "2\nb"}, {"a", "^[12\nb"}, {}}));

TEST(Vt100Parser, OverlongSequenceIsGivenBack)
{
    Vt100Parser parser;
    QByteArray text = "\x1b[" + QByteArray(80, '1') + "mX";
    const QByteArray original = text;
    parser.parse(text);
    // The sequence was ended after 64 bytes; everything stays text.
    EXPECT_EQ(text, original);
    EXPECT_TRUE(parser.codes().empty());
    EXPECT_FALSE(parser.holding());
}

TEST(Vt100Parser, HugeParameterIsClamped)
{
    Vt100Parser parser;
    QByteArray text("\x1b[99999999999999999999m");
    parser.parse(text);
    ASSERT_EQ(parser.codes().size(), 1u);
    EXPECT_EQ(parser.codes()[0].params, std::vector<int>{2147483647});
}

TEST(Vt100Parser, ParameterReading)
{
    struct Case {
        const char* text;
        std::vector<int> numbers;
    };
    const std::vector<Case> cases{
        {"", {}}, {"12;40", {12, 40}}, {"12;;40", {12}}, {" 7;-3", {7, -3}}, {"?25", {}}, {"5x6", {5, 6}}};
    for (const Case& c : cases)
        EXPECT_EQ(vt100Parameters(QByteArray(c.text)), c.numbers) << c.text;
}

TEST(Vt100Parser, TableHasEveryIdButThirtyEight)
{
    const auto& table = Vt100Parser::table();
    ASSERT_EQ(table.size(), 39u);
    std::vector<bool> seen(40, false);
    for (const auto& e : table)
        seen[static_cast<size_t>(e.id)] = true;
    for (int id = 0; id < 40; ++id)
        EXPECT_EQ(seen[static_cast<size_t>(id)], id != 38) << id;
}

TEST(Vt100Parser, EveryKnownSequenceIsReportedWithItsId)
{
    // The VT100 controls the decoder names, written from the terminal's own
    // list of codes (device reports, reset, wrap, character sets, cursor,
    // scrolling, tabs, erasing, printing, rendition), each with the id it is
    // reported under. Every sequence is sent alone through the parser.
    struct Known {
        const char* meaning;
        const char* bytes;
        int id;
    };
    const std::vector<Known> known{
        {"identify terminal", "^[c", 0},
        {"identify terminal, explicit 0", "^[0c", 1},
        {"device status query", "^[5n", 2},
        {"device status: ready", "^[0n", 3},
        {"device status: malfunction", "^[3n", 4},
        {"cursor position query", "^[6n", 5},
        {"cursor position report", "^[12;40R", 6},
        {"reset to initial state", "^c", 7},
        {"line wrap on", "^[7h", 8},
        {"line wrap off", "^[7l", 9},
        {"G0 character set", "^(B", 10},
        {"G1 character set", "^)0", 11},
        {"cursor home / position", "^[3;4H", 12},
        {"cursor up", "^[2A", 13},
        {"cursor down", "^[2B", 14},
        {"cursor forward", "^[2C", 15},
        {"cursor backward", "^[2D", 16},
        {"horizontal and vertical position", "^[3;4f", 17},
        {"save cursor", "^[s", 18},
        {"restore cursor", "^[u", 19},
        {"save cursor and attributes", "^7", 20},
        {"restore cursor and attributes", "^8", 21},
        {"scrolling region", "^[1;24r", 22},
        {"index (scroll down)", "^D", 23},
        {"reverse index (scroll up)", "^M", 24},
        {"set tab stop", "^h", 25},
        {"clear tab stop", "^[g", 26},
        {"clear all tab stops", "^[3g", 27},
        {"erase to end of line", "^[K", 28},
        {"erase to start of line", "^[1K", 29},
        {"erase whole line", "^[2K", 30},
        {"erase to end of screen", "^[J", 31},
        {"erase to start of screen", "^[1J", 32},
        {"erase whole screen", "^[2J", 33},
        {"print screen", "^[i", 34},
        {"print line", "^[1i", 35},
        {"printer off", "^[4i", 36},
        {"printer on", "^[5i", 37},
        {"graphic rendition", "^[1;31m", 39},
    };
    ASSERT_EQ(known.size(), Vt100Parser::table().size());
    for (const Known& k : known) {
        SCOPED_TRACE(k.meaning);
        Vt100Parser parser;
        QByteArray text = esc(k.bytes) + "x";
        parser.parse(text);
        EXPECT_EQ(text, QByteArray("x"));
        ASSERT_EQ(parser.codes().size(), 1u);
        EXPECT_EQ(parser.codes()[0].id, k.id);
        EXPECT_EQ(parser.codes()[0].position, 0);
    }
    // Lower-case variants of the erase finals are not erase codes.
    for (const char* other : {"^[1j", "^[2k"}) {
        Vt100Parser parser;
        QByteArray text = esc(other);
        parser.parse(text);
        for (const Vt100Code& code : parser.codes())
            EXPECT_TRUE(code.id < 28 || code.id > 33) << other;
    }
}

TEST(Vt100Parser, ResetDropsTheHeldSequence)
{
    Vt100Parser parser;
    QByteArray first("a\x1b[3");
    parser.parse(first);
    EXPECT_TRUE(parser.holding());
    parser.reset();
    QByteArray second("1mb");
    parser.parse(second);
    EXPECT_EQ(second, QByteArray("1mb"));
}

} // namespace
