#pragma once
// Reading JSON files into the document model, and JsonFile, the named file
// through which device configurations are written and read.
//
// The reader is our own small parser: it keeps members with repeated names
// in file order and knows which values were quoted, so a text value stays a
// text ("7", "true") and a document written by writeJsonDocument reads back
// equal. Numbers: an integer form (optionally negative) within 32 bits is an
// int, any other number a double.
#include "core/jsondocument.h"

#include <cstddef>
#include <fstream>
#include <ios>
#include <memory>
#include <string>

namespace json {

struct JsonFile {
    std::string path;
    std::shared_ptr<std::fstream> stream; // shared by copies; created unopened
    std::ios::openmode mode;              // out|trunc for writing, in for reading

    JsonFile(std::string path, bool writing);

    // Opens the stream in the file's mode unless it is open already.
    // Returns whether it is open.
    bool open();
};

// Objects and arrays nest at most this deep; deeper nesting is an error.
inline constexpr std::size_t kMaxJsonDepth = 512;

// Parses the file at the reader's path and appends one group per top-level
// member. A file that cannot be opened, malformed JSON or a number out of
// range raises SCUtilities::scexception with "<path>(<line>): <reason>" (or
// "<path>: cannot open file"); the document is then left unchanged.
void readJsonDocument(const JsonFile& reader, Document& document);

// The same on a text already in memory; sourceName stands for the path in
// messages.
void parseJsonDocument(const std::string& text, const std::string& sourceName, Document& document);

// The kind of an unquoted value text: 0 an integer (optional '-', digits),
// 1 a double (a number with a fraction and/or an exponent, or NaN,
// Infinity, -Infinity), 2 a boolean (true, false, TRUE, FALSE), 3 anything
// else.
int scalarKind(const std::string& text);
// The value of an unquoted text by its kind. An integer beyond 32 bits or a
// double beyond range raises SCUtilities::scexception.
ScalarValue scalarFromText(const std::string& text);

} // namespace json
