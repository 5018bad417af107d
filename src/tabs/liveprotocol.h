#pragma once
// The text side of live links: splitting the texts of a link into rows (an
// unfinished last row waits for the next text), and reading the link
// commands that a row beginning with "cmd:" may carry.
#include "import/linereader.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kro::live {

// What a link keeps between its texts.
struct RowCarry {
    // The unfinished row: the bytes after the last line feed so far.
    std::string partial;
    // The unfinished row grew past maxRow: its bytes are dropped up to its
    // line feed.
    bool dropping = false;
    // Line feeds seen so far (the unfinished row is line lines + 1).
    std::uint64_t lines = 0;
    // The longest row kept, in bytes (that of the file reader).
    std::size_t maxRow = import::kMaxLineLength;

    // Forgets the unfinished row and the line count (the cap stays).
    void clear()
    {
        partial.clear();
        partial.shrink_to_fit();
        dropping = false;
        lines = 0;
    }
};

// The complete rows of one text, in order. A row may point into the text
// or into head (the first row when an unfinished row was completed).
struct Rows {
    std::vector<std::string_view> rows;
    std::string head;
    // The line numbers (from 1, counted over all texts of the carry) of
    // rows longer than the carry's maxRow, dropped.
    std::vector<std::uint64_t> tooLong;
};

// Splits a text into rows at line feeds; empty pieces give no row. The
// unfinished row of the previous texts is completed by the first row of
// this one. A last row without line feed is not returned: it waits in the
// carry. The same bytes give the same rows however they are split into
// texts. A row longer than carry.maxRow is dropped (named in out.tooLong
// once): the carry never holds more than maxRow bytes.
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
