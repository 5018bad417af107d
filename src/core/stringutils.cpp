#include "core/stringutils.h"

#include "core/exceptions.h"

#include <algorithm>
#include <bitset>
#include <stdexcept>

namespace SCUtilities {

namespace {

// A quoted token (a quote, the shortest run not ending in a backslash that
// is followed by a quote, the quote and at most one whitespace), or an
// unquoted token (the shortest non-whitespace run followed by a whitespace
// or the end, with that whitespace).
const boost::regex& tokenPattern()
{
    static const boost::regex pattern(R"((?:")(.*?[^\\])(?:"\s?)|(\S*?)(?:\s|$))");
    return pattern;
}

// Backslash-quote becomes a quote, left to right.
void unescapeQuotes(std::string& token)
{
    if (token.find("\\\"") == std::string::npos)
        return;
    std::string out;
    out.reserve(token.size());
    for (std::size_t i = 0; i < token.size(); ++i) {
        if (token[i] == '\\' && i + 1 < token.size() && token[i + 1] == '"') {
            out += '"';
            ++i;
        } else {
            out += token[i];
        }
    }
    token.swap(out);
}

bool isRegexSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Calls take(quotedToken, unquotedToken) for every token of the line; one of
// the two is empty.
template <typename Take>
void forEachToken(const std::string& line, Take take)
{
    if (line.find('"') == std::string::npos) {
        // Without a quote only the unquoted alternative can match: the tokens
        // are the runs of non-whitespace.
        std::size_t i = 0;
        const std::size_t n = line.size();
        while (i < n) {
            while (i < n && isRegexSpace(line[i]))
                ++i;
            const std::size_t start = i;
            while (i < n && !isRegexSpace(line[i]))
                ++i;
            if (i > start)
                take(std::string(), line.substr(start, i - start));
        }
        return;
    }
    try {
        for (boost::sregex_iterator it(line.begin(), line.end(), tokenPattern()), end; it != end; ++it) {
            const boost::smatch& m = *it;
            const bool quoted = m[1].matched && m[1].length() > 0;
            const bool unquoted = m[2].matched && m[2].length() > 0;
            if (quoted)
                take(m[1].str(), std::string());
            else if (unquoted)
                take(std::string(), m[2].str());
        }
    } catch (const std::runtime_error& e) {
        throw scexception(e.what());
    }
}

// The bytes of a separator pattern that is one literal character or a
// bracket of literal characters ("," or "[,;]"); splitting at such a pattern
// needs no expression matching. False for any other pattern.
bool simpleSeparator(const std::string& pattern, std::bitset<256>& bytes)
{
    static const std::string special = ".^$|()[]{}*+?\\";
    bytes.reset();
    if (pattern.size() == 1) {
        if (special.find(pattern[0]) != std::string::npos)
            return false;
        bytes.set(static_cast<unsigned char>(pattern[0]));
        return true;
    }
    if (pattern.size() < 3 || pattern.front() != '[' || pattern.back() != ']')
        return false;
    for (std::size_t i = 1; i + 1 < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == ']' || c == '[' || c == '\\' || c == '-' || (c == '^' && i == 1))
            return false;
        bytes.set(static_cast<unsigned char>(c));
    }
    return true;
}

// The compiled separator of the last call on this thread.
const boost::regex& cachedSeparator(const std::string& pattern)
{
    thread_local std::string lastPattern;
    thread_local boost::regex lastRegex;
    thread_local bool valid = false;
    if (!valid || pattern != lastPattern) {
        boost::regex compiled = compileRegex(pattern);
        lastRegex.swap(compiled);
        lastPattern = pattern;
        valid = true;
    }
    return lastRegex;
}

} // namespace

boost::regex compileRegex(const std::string& pattern)
{
    try {
        return boost::regex(pattern);
    } catch (const std::runtime_error& e) {
        throw scexception(e.what());
    }
}

std::vector<std::string> splitQuoted(const std::string& line)
{
    std::vector<std::string> tokens;
    forEachToken(line, [&](std::string quoted, std::string unquoted) {
        std::string& token = quoted.empty() ? unquoted : quoted;
        unescapeQuotes(token);
        tokens.push_back(std::move(token));
    });
    return tokens;
}

std::vector<std::string> splitQuotedRegex(const std::string& line, const boost::regex& separator)
{
    std::vector<std::string> tokens;
    std::bitset<256> separatorBytes;
    const bool simple =
        separator.flags() == boost::regex::perl && simpleSeparator(separator.str(), separatorBytes);
    forEachToken(line, [&](std::string quoted, std::string unquoted) {
        if (!unquoted.empty() && simple) {
            // Fields between separator bytes; empty ones are dropped.
            std::size_t start = 0;
            for (std::size_t i = 0; i <= unquoted.size(); ++i) {
                if (i == unquoted.size() || separatorBytes.test(static_cast<unsigned char>(unquoted[i]))) {
                    if (i > start) {
                        std::string field = unquoted.substr(start, i - start);
                        unescapeQuotes(field);
                        tokens.push_back(std::move(field));
                    }
                    start = i + 1;
                }
            }
        } else if (!unquoted.empty()) {
            for (std::string& field : splitRegex(unquoted, separator)) {
                unescapeQuotes(field);
                if (!field.empty())
                    tokens.push_back(std::move(field));
            }
        } else {
            unescapeQuotes(quoted);
            if (!quoted.empty())
                tokens.push_back(std::move(quoted));
        }
    });
    return tokens;
}

std::vector<std::string> splitQuotedRegex(const std::string& line, const std::string& separator)
{
    return splitQuotedRegex(line, cachedSeparator(separator));
}

std::vector<std::string> splitRegex(const std::string& text, const boost::regex& separator)
{
    std::vector<std::string> fields;
    try {
        for (boost::sregex_token_iterator it(text.begin(), text.end(), separator, -1), end; it != end; ++it)
            fields.push_back(it->str());
    } catch (const std::runtime_error& e) {
        throw scexception(e.what());
    }
    return fields;
}

std::string& removeChar(std::string& text, char c)
{
    text.erase(std::remove(text.begin(), text.end(), c), text.end());
    return text;
}

std::string& trimWhitespace(std::string& text)
{
    static const char* const blanks = "\r\n\t ";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        text.clear();
        return text;
    }
    text.erase(0, first);
    text.erase(text.find_last_not_of(blanks) + 1);
    return text;
}

std::string toLower(const std::string& text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    throw scexception(kro::formatPrintf("BitOps exception! Cannot convert invalid hex value %d to uint32.",
                                        static_cast<int>(static_cast<signed char>(c))));
}

} // namespace SCUtilities
