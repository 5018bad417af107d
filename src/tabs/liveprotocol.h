#pragma once
// The text side of live links: splitting the texts of a link into rows (an
// unfinished last row waits for the next text), and reading the link
// commands that a row beginning with "cmd:" may carry.
#include <string>
#include <string_view>
#include <vector>

namespace kro::live {

// What a link keeps between its texts.
struct RowCarry {
    // The last character of the previous text; 0 = none.
    char lastChar = 0;
    // The last row of the previous text: the unfinished start of the next
    // row when lastChar is neither 0 nor a line feed.
    std::string partial;
};

// The complete rows of one text, in order. A row may point into the text
// or into head (the first row when an unfinished row was completed).
struct Rows {
    std::vector<std::string_view> rows;
    std::string head;
};

// Splits a text into rows at line feeds; empty pieces give no row. The
// unfinished row of the previous text is completed by the first row of this
// one, or is a row by itself when this text begins with a line feed. A
// last row without line feed is not returned: it waits in the carry.
void splitRows(std::string_view text, RowCarry& carry, Rows& out);

enum class LinkCommand {
    None, // not a command: the row is a data row
    AddinDone,
    Arguments,
    Clear,
    Exit,
    Title,
    TitleQuery,
    XLabel,
    YLabel,
    Domain,
    Range,
    SizeQuery,
    Message,
};

struct ParsedCommand {
    LinkCommand command = LinkCommand::None;
    // The rest of the row after the command word, leading blanks and tabs
    // skipped.
    std::string_view argument;
};

// A row that begins with "cmd:": "cmd:", blanks and tabs, then the first
// command word (case-sensitive, tried in a fixed order) that begins the
// rest decides, whatever follows it.
ParsedCommand parseLinkCommand(std::string_view row);

// The two numbers of "domain: " and "range: ": the number at the start of
// the argument (0 when none) and the number at the start of the next word.
// False, and nothing read, when the argument holds fewer than two words.
bool readNumberPair(std::string_view argument, double& first, double& second);

} // namespace kro::live
