#pragma once
// String and token helpers shared by the command language, the loader, the
// curve references and the template readers. Byte strings throughout; safe
// to call from any thread.
#include <boost/regex.hpp>

#include <string>
#include <vector>

namespace SCUtilities {

// Splits a line into tokens at whitespace; a double-quoted run is one token
// (without its quotes). Backslash-quote becomes a quote. No token is empty.
std::vector<std::string> splitQuoted(const std::string& line);

// As splitQuoted, and every unquoted token is further split at the separator
// pattern; empty fields are dropped. Quoted tokens are never split.
// The pattern is compiled once per call (and kept for the next call with the
// same pattern on the same thread); an invalid pattern raises scexception.
std::vector<std::string> splitQuotedRegex(const std::string& line, const std::string& separator);
// The same with a separator compiled by the caller (once per loader).
std::vector<std::string> splitQuotedRegex(const std::string& line, const boost::regex& separator);

// The fields between matches of the expression: an empty field before a
// leading separator and between adjacent ones, none after a trailing one,
// none for an empty text.
std::vector<std::string> splitRegex(const std::string& text, const boost::regex& separator);

// Compiles a pattern (default syntax); a bad pattern raises scexception with
// the library's text.
boost::regex compileRegex(const std::string& pattern);

// Removes every occurrence of c, in place.
std::string& removeChar(std::string& text, char c);
// Removes "\r\n\t " from both ends, in place.
std::string& trimWhitespace(std::string& text);
// A copy with ASCII A-Z lowered; every other byte unchanged.
std::string toLower(const std::string& text);
// The value 0-15 of a hexadecimal digit; anything else raises scexception
// "BitOps exception! Cannot convert invalid hex value <signed code> to uint32.".
int hexDigitValue(char c);

} // namespace SCUtilities
