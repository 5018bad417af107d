#pragma once
// The "-regex" line filter of the plot command: how the pattern text is
// formed from what the user typed, how it is compiled and how a data line is
// tested against it. The loader and the regular-expression tool both go
// through these, so the tool shows what a load would read.
#include <QString>

#include <boost/regex.hpp>

#include <atomic>
#include <string>
#include <vector>

namespace kro::import {

// The pattern of a typed expression: every blank becomes "\s", so a blank
// stands for any white space (the "-regex" option and the tool's pattern box).
QString blanksAsWhitespace(QString pattern);

class LineRegex {
public:
    // Compiles the pattern in the library's default syntax; false with the
    // library's message in error when it is invalid.
    bool compile(const std::string& pattern, std::string* error = nullptr);
    bool isValid() const { return m_valid; }
    const boost::regex& regex() const { return m_regex; }

    // Whether the whole line, its carriage returns and line feeds removed,
    // matches: the loader reads exactly the lines for which this holds.
    // Raises std::runtime_error when matching grows too complex.
    bool matchesLine(const char* begin, const char* end);
    bool matchesLine(const std::string& line) { return matchesLine(line.data(), line.data() + line.size()); }

private:
    boost::regex m_regex;
    bool m_valid = false;
    std::string m_scratch;
};

// One match found by searchText: its position and length in bytes.
struct TextMatch {
    std::size_t offset = 0;
    std::size_t length = 0;
};

// Every non-empty match of the regex in the text, searched from the start
// again and again: the next search starts at the end of a match (one
// character further after an empty one), '.' never matches a line feed.
// The search stops early, with what it found so far, when cancel is set.
// Raises std::runtime_error when matching grows too complex.
std::vector<TextMatch> searchText(const boost::regex& regex, const std::string& text,
                                  const std::atomic<bool>* cancel = nullptr);

// What a search of the tool's text found.
struct RegexSearchOutcome {
    std::vector<TextMatch> matches;
    // The library's message when matching grew too complex; empty otherwise.
    std::string error;
    // The lines of the text, and how many of them a load would read with
    // the line pattern as its "-regex" (-1 when that could not be told).
    long long lines = 0;
    long long linesRead = -1;
};

// Searches the text with the search pattern and tests each of its lines
// (separated by line feeds) with the line pattern as a load does.
RegexSearchOutcome runRegexSearch(const boost::regex& search, LineRegex line, const std::string& text,
                                  const std::atomic<bool>* cancel = nullptr);

// The parts of the UTF-8 text to show in the highlight colour, in order and
// apart: a match that starts or ends inside a character takes the whole
// character, and a match overlapping the one before starts where it ends.
std::vector<TextMatch> highlightRanges(const std::string& text, const std::vector<TextMatch>& matches);

} // namespace kro::import
