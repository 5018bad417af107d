// The text side of live links: rows split across texts, link command words
// and their arguments, and the two numbers of "domain: " and "range: ".
#include "tabs/liveprotocol.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace kro::live;

namespace {

// The rows of a sequence of texts, each text's rows joined by '|', one
// entry per text.
std::vector<std::string> rowsOf(const std::vector<std::string>& texts)
{
    RowCarry carry;
    Rows rows;
    std::vector<std::string> out;
    for (const std::string& t : texts) {
        splitRows(t, carry, rows);
        std::string joined;
        for (std::size_t i = 0; i < rows.rows.size(); ++i)
            joined += (i ? "|" : "") + std::string(rows.rows[i]);
        out.push_back(joined);
    }
    return out;
}

} // namespace

TEST(LiveRows, UnfinishedRowsWaitForTheirEnd)
{
    struct Case {
        std::vector<std::string> texts;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        // The row "3" is completed by the next text.
        {{"1 2\n3", "4\n"}, {"1 2", "34"}},
        // A text starting with a line feed ends the kept row by itself.
        {{"1 2", "\n3 4\n"}, {"", "1 2|3 4"}},
        // Without any line feed nothing is a row yet.
        {{"1", "2", "3", "\n"}, {"", "", "", "123"}},
        // Empty pieces give no rows; a CR of CR LF text stays with its row.
        {{"\n\n1 2\r\n\n3 4\n"}, {"1 2\r|3 4"}},
        {{"a\nb\n", "c"}, {"a|b", ""}},
        {{"\n"}, {""}},
    };
    for (const Case& c : cases) {
        std::string name;
        for (const std::string& t : c.texts)
            name += "[" + t + "]";
        EXPECT_EQ(rowsOf(c.texts), c.rows) << name;
    }
}

TEST(LiveRows, ALongRowArrivingInPiecesGrowsInPlace)
{
    RowCarry carry;
    Rows rows;
    const std::string piece(64 * 1024, '7');
    for (int i = 0; i < 160; ++i) {
        splitRows(piece, carry, rows);
        ASSERT_TRUE(rows.rows.empty());
    }
    splitRows(" 1\n", carry, rows);
    ASSERT_EQ(rows.rows.size(), 1u);
    EXPECT_EQ(rows.rows[0].size(), 160 * piece.size() + 2);
    EXPECT_EQ(rows.rows[0].substr(rows.rows[0].size() - 3), "7 1");
}

namespace {

// The rows of a whole byte stream by the plain definition: the pieces
// between line feeds, empty ones and those longer than maxRow dropped, the
// piece after the last line feed still unfinished.
struct Reference {
    std::vector<std::string> rows;
    std::vector<std::uint64_t> tooLong;
};
Reference referenceRows(const std::string& stream, std::size_t maxRow)
{
    Reference out;
    std::string piece;
    std::uint64_t line = 1;
    for (char c : stream) {
        if (c != '\n') {
            piece += c;
            continue;
        }
        if (piece.size() > maxRow)
            out.tooLong.push_back(line);
        else if (!piece.empty())
            out.rows.push_back(piece);
        piece.clear();
        ++line;
    }
    if (piece.size() > maxRow)
        out.tooLong.push_back(line);
    return out;
}

// Feeds the stream in the given pieces and gathers every row.
Reference splitAt(const std::string& stream, const std::vector<std::size_t>& cuts, std::size_t maxRow)
{
    RowCarry carry;
    carry.maxRow = maxRow;
    Rows rows;
    Reference out;
    std::size_t from = 0;
    std::vector<std::size_t> ends = cuts;
    ends.push_back(stream.size());
    for (std::size_t end : ends) {
        splitRows(std::string_view(stream).substr(from, end - from), carry, rows);
        for (std::string_view r : rows.rows)
            out.rows.emplace_back(r);
        out.tooLong.insert(out.tooLong.end(), rows.tooLong.begin(), rows.tooLong.end());
        // The carry never holds a row past the cap.
        EXPECT_LE(carry.partial.size(), maxRow);
        from = end;
    }
    return out;
}

} // namespace

TEST(LiveRows, TheSameBytesGiveTheSameRowsHoweverTheyAreSplit)
{
    using namespace std::string_literals;
    struct Case {
        const char* name;
        std::string stream;
        std::size_t maxRow;
    };
    const Case cases[] = {
        {"plain rows", "1 2\n3 4\n\n5 6\r\n7", 64},
        // A NUL byte may end a piece: the carried row goes on after it.
        {"NUL bytes", "1 2\0\n3\0 4\n\0\n5 6\n\0"s, 64},
        {"only NULs", "\0\0\n\0"s, 64},
        // Rows past the cap are dropped whole, wherever the cut falls.
        {"rows past the cap", "1 2\n123456789\n3 4\n12345678\nabcdefghij"s, 8},
        {"cap at a NUL row", "\0\0\0\0\0\0\0\0\0\n1 2\n"s, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Reference expected = referenceRows(c.stream, c.maxRow);
        const Reference whole = splitAt(c.stream, {}, c.maxRow);
        EXPECT_EQ(whole.rows, expected.rows);
        EXPECT_EQ(whole.tooLong, expected.tooLong);
        for (std::size_t i = 0; i <= c.stream.size(); ++i) {
            for (std::size_t j = i; j <= c.stream.size(); ++j) {
                const Reference got = splitAt(c.stream, {i, j}, c.maxRow);
                ASSERT_EQ(got.rows, expected.rows) << "cut at " << i << " and " << j;
                ASSERT_EQ(got.tooLong, expected.tooLong) << "cut at " << i << " and " << j;
            }
        }
        // One byte at a time.
        std::vector<std::size_t> every;
        for (std::size_t i = 1; i < c.stream.size(); ++i)
            every.push_back(i);
        const Reference bytes = splitAt(c.stream, every, c.maxRow);
        EXPECT_EQ(bytes.rows, expected.rows);
        EXPECT_EQ(bytes.tooLong, expected.tooLong);
    }
}

TEST(LiveRows, AnEndlessRowIsDroppedAndItsMemoryFreed)
{
    RowCarry carry;
    carry.maxRow = 1000;
    Rows rows;
    const std::string digits(300, '7');
    std::size_t reported = 0;
    for (int i = 0; i < 100; ++i) {
        splitRows(digits, carry, rows);
        EXPECT_TRUE(rows.rows.empty());
        reported += rows.tooLong.size();
        ASSERT_LE(carry.partial.capacity(), 2 * carry.maxRow);
    }
    EXPECT_EQ(reported, 1u); // named once, when it passed the cap
    splitRows("77\n1 2\n", carry, rows);
    ASSERT_EQ(rows.rows.size(), 1u);
    EXPECT_EQ(rows.rows[0], "1 2");
    EXPECT_TRUE(rows.tooLong.empty());
    // The file reader's cap is the default.
    EXPECT_EQ(RowCarry().maxRow, std::size_t(64) << 20);
}

TEST(LiveCommands, WordsArgumentsAndDataRows)
{
    struct Case {
        const char* row;
        LinkCommand command;
        const char* argument;
    };
    const Case cases[] = {
        {"cmd:title? now", LinkCommand::TitleQuery, "now"},
        {"cmd: title: A \\n B", LinkCommand::Title, "A \\n B"},
        {"cmd: title:x", LinkCommand::None, ""},
        {"cmd:\t \tsize?", LinkCommand::SizeQuery, ""},
        {"cmd: clear everything", LinkCommand::Clear, "everything"},
        {"cmd: exit later", LinkCommand::Exit, "later"},
        {"cmd: addin: done", LinkCommand::AddinDone, ""},
        {"cmd: arguments: -x 1 -y 2", LinkCommand::Arguments, "-x 1 -y 2"},
        {"cmd: xlbl: Time", LinkCommand::XLabel, "Time"},
        {"cmd: ylbl:   Volts\r", LinkCommand::YLabel, "Volts\r"},
        {"cmd: domain: 1 2", LinkCommand::Domain, "1 2"},
        {"cmd: range: -1 1", LinkCommand::Range, "-1 1"},
        {"cmd: message: hello there", LinkCommand::Message, "hello there"},
        {"cmd: Clear", LinkCommand::None, ""},
        {"cmd: titles", LinkCommand::None, ""},
        {"CMD: clear", LinkCommand::None, ""},
        {"1 2", LinkCommand::None, ""},
    };
    for (const Case& c : cases) {
        const ParsedCommand p = parseLinkCommand(c.row);
        EXPECT_EQ(p.command, c.command) << c.row;
        if (c.command != LinkCommand::None) {
            EXPECT_EQ(p.argument, c.argument) << c.row;
        }
    }
}

TEST(LiveCommands, NumberPairs)
{
    struct Case {
        const char* argument;
        bool read;
        double first;
        double second;
    };
    const Case cases[] = {
        {"1 2", true, 1, 2},        {"5", false, 0, 0},          {"", false, 0, 0},
        {"1 abc", true, 1, 0},      {"  -2.5e1\t7x", true, -25, 7}, {"a b", true, 0, 0},
        {"3 4 5", true, 3, 4},      {"1 2\r", true, 1, 2},      {"5   ", false, 0, 0},
    };
    for (const Case& c : cases) {
        double a = -99, b = -99;
        EXPECT_EQ(readNumberPair(c.argument, a, b), c.read) << c.argument;
        if (c.read) {
            EXPECT_EQ(a, c.first) << c.argument;
            EXPECT_EQ(b, c.second) << c.argument;
        } else {
            EXPECT_EQ(a, -99) << c.argument;
        }
    }
}
