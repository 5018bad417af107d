#pragma once
// A small parser for the markup of rich-text labels: it cuts a text into
// tags, pairs each opening tag with its closing tag of the same name into a
// tree of elements, and writes the tree back with one tag or text run per
// line and four blanks of indentation per level (the layout of label
// template files). It knows angle brackets, tag names and the blank before
// the attributes; nothing else of HTML.
//
// Errors are raised as textexception (a std::exception carrying its text).
#include <QString>

#include <cstddef>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

struct HtmlTag {
    enum Kind { OPEN = 0, CLOSE = 1, INVALID = 2 };

    std::string raw;  // the tag as written, '<' through '>'
    std::string name;
    int kind = INVALID;

    HtmlTag() = default;
    HtmlTag(const HtmlTag&) = default;
    HtmlTag& operator=(const HtmlTag&) = default;
    virtual ~HtmlTag() = default;

protected:
    explicit HtmlTag(int k) : kind(k) {}
};

struct HtmlOpenTag : HtmlTag {
    std::string attributes;

    // An empty opening tag (all strings empty).
    HtmlOpenTag() : HtmlTag(OPEN) {}
    // Made from a tag text "<name attributes>".
    explicit HtmlOpenTag(const std::string& tagText);
    HtmlOpenTag(const HtmlOpenTag&) = default;
    HtmlOpenTag& operator=(const HtmlOpenTag&) = default;
};

struct HtmlCloseTag : HtmlTag {
    HtmlCloseTag() : HtmlTag(CLOSE) {}
    explicit HtmlCloseTag(const std::string& tagText);
};

// No further tag in the text.
struct HtmlInvalidTag : HtmlTag {
    HtmlInvalidTag() : HtmlTag(INVALID) {}
};

// Elements nest at most this many levels below the element parsed.
inline constexpr size_t kMaxHtmlDepth = 256;

struct HtmlElement {
    HtmlOpenTag tag;                      // empty for a text run
    size_t start = std::string::npos;     // first character; npos when no element was found
    size_t end = std::string::npos;       // last character
    std::string content;                  // between the opening and the closing tag
    std::string text;                     // the characters of a text run
    std::vector<HtmlElement> children;

    // Fills the children from the content, recursively; depth is this
    // element's own. Deeper nesting than kMaxHtmlDepth raises a textexception.
    void parseChildren(size_t depth = 0);
};

namespace HtmlParserPrivate {
// The next tag at or after *position; *position becomes its '<' (npos when
// there is none, with an HtmlInvalidTag returned).
std::unique_ptr<HtmlTag> nextTag(const std::string& text, size_t* position);
// The next opening tag at or after *position (closing tags are skipped).
HtmlOpenTag nextOpenTag(const std::string& text, size_t* position);
// The next closing tag after *position (opening tags are skipped).
HtmlCloseTag nextCloseTag(const std::string& text, size_t* position);
// The '>' that ends the element called name whose opening tag starts at
// position: the end of its matching closing tag, nested elements of the
// same name counted, or the end of the opening tag itself when it has none.
size_t findClosingTag(const std::string& text, const std::string& name, size_t position);
// The element text becomes its inner content.
void strip_tag(std::string& element);
} // namespace HtmlParserPrivate

// The element that begins at position: a tag element, or a text run up to
// the next opening tag. A "<!DOCTYPE ...>" declaration at the position is
// passed over (the toolkit writes one before its documents).
HtmlElement parseElement(const std::string& text, size_t position);

// The element's children, each at the given depth.
void writeElement(std::ostream& out, const HtmlElement& element, size_t depth);
// The element itself and its subtree, from depth 0.
void writeElementTree(std::ostream& out, const HtmlElement& element);

// The lines of a text, split at line feeds (no empty line after a final one).
std::vector<std::string> splitLines(const std::string& text);

// Label templates are Latin-1 files: characters beyond Latin-1 are written
// as "&#N;" and read back as the characters they stand for.
std::string toTemplateLatin1(const QString& markup);
QString fromTemplateLatin1(const std::string& bytes);
