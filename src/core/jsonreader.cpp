#include "core/jsonreader.h"

#include "core/exceptions.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <sstream>

namespace json {

namespace {

// One parsed JSON value with the key it stands under (empty for array
// elements), in the shape the document model is built from.
struct Node {
    enum Type { OBJECT, ARRAY, STRING, LITERAL };
    Type type = LITERAL;
    std::string key;
    std::string data; // a string's text (escapes resolved) or a literal as written
    size_t line = 1;
    std::vector<Node> children;

    bool isScalar() const { return type == STRING || type == LITERAL; }
};

class Parser {
public:
    Parser(const std::string& text, const std::string& source) : m_text(text), m_source(source) {}

    Node parseRoot()
    {
        Node root = parseValue();
        skipSpace();
        if (m_pos < m_text.size())
            fail("garbage after data");
        return root;
    }

    [[noreturn]] void fail(const std::string& reason, size_t line = 0) const
    {
        throw SCUtilities::scexception(m_source + "(" + std::to_string(line ? line : m_line) + "): " + reason);
    }

private:
    void skipSpace()
    {
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (c == '\n')
                ++m_line;
            else if (c != ' ' && c != '\t' && c != '\r')
                break;
            ++m_pos;
        }
    }

    Node parseValue()
    {
        skipSpace();
        if (m_pos >= m_text.size())
            fail("expected value");
        switch (m_text[m_pos]) {
        case '{': return parseContainer(&Parser::parseObject);
        case '[': return parseContainer(&Parser::parseArray);
        case '"': {
            Node node{Node::STRING, {}, {}, m_line, {}};
            node.data = parseString();
            return node;
        }
        default: return parseLiteral();
        }
    }

    // Objects and arrays nest at most kMaxJsonDepth deep: the reader
    // recurses once per level.
    Node parseContainer(Node (Parser::*parse)())
    {
        if (m_depth >= kMaxJsonDepth)
            fail("objects and arrays are nested more than " + std::to_string(kMaxJsonDepth) + " levels deep");
        ++m_depth;
        Node node = (this->*parse)();
        --m_depth;
        return node;
    }

    Node parseObject()
    {
        Node node{Node::OBJECT, {}, {}, m_line, {}};
        ++m_pos;
        skipSpace();
        if (peek() == '}') {
            ++m_pos;
            return node;
        }
        for (;;) {
            skipSpace();
            if (peek() != '"')
                fail("expected key string");
            const size_t keyLine = m_line;
            std::string key = parseString();
            skipSpace();
            if (peek() != ':')
                fail("expected ':'");
            ++m_pos;
            Node child = parseValue();
            child.key = std::move(key);
            child.line = keyLine;
            node.children.push_back(std::move(child));
            skipSpace();
            if (peek() == ',') {
                ++m_pos;
                continue;
            }
            if (peek() == '}') {
                ++m_pos;
                return node;
            }
            fail("expected ',' or '}'");
        }
    }

    Node parseArray()
    {
        Node node{Node::ARRAY, {}, {}, m_line, {}};
        ++m_pos;
        skipSpace();
        if (peek() == ']') {
            ++m_pos;
            return node;
        }
        for (;;) {
            node.children.push_back(parseValue());
            skipSpace();
            if (peek() == ',') {
                ++m_pos;
                continue;
            }
            if (peek() == ']') {
                ++m_pos;
                return node;
            }
            fail("expected ',' or ']'");
        }
    }

    // A string literal with its escapes resolved. Older files were written
    // without escaping, so a backslash before a character that starts no
    // escape stays as written, and raw control characters are taken as text.
    std::string parseString()
    {
        const size_t startLine = m_line;
        ++m_pos;
        std::string out;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c == '"')
                return out;
            if (c == '\n')
                ++m_line;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_pos >= m_text.size())
                break;
            const char e = m_text[m_pos++];
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': appendUtf8(out, readCodePoint()); break;
            default:
                out += '\\';
                --m_pos;
            }
        }
        fail("unterminated string", startLine);
    }

    unsigned readHex4()
    {
        if (m_pos + 4 > m_text.size())
            fail("invalid \\u escape");
        unsigned value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = m_text[m_pos++];
            value <<= 4;
            if (c >= '0' && c <= '9')
                value |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f')
                value |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                value |= static_cast<unsigned>(c - 'A' + 10);
            else
                fail("invalid \\u escape");
        }
        return value;
    }

    char32_t readCodePoint()
    {
        const unsigned first = readHex4();
        if (first >= 0xD800 && first <= 0xDBFF && m_pos + 6 <= m_text.size() && m_text[m_pos] == '\\' &&
            m_text[m_pos + 1] == 'u') {
            const size_t save = m_pos;
            m_pos += 2;
            const unsigned second = readHex4();
            if (second >= 0xDC00 && second <= 0xDFFF)
                return 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
            m_pos = save;
        }
        if (first >= 0xD800 && first <= 0xDFFF)
            return 0xFFFD;
        return first;
    }

    static void appendUtf8(std::string& out, char32_t c)
    {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }

    Node parseLiteral()
    {
        Node node{Node::LITERAL, {}, {}, m_line, {}};
        const size_t start = m_pos;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            const bool word = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                              c == '-' || c == '+' || c == '.';
            if (!word)
                break;
            ++m_pos;
        }
        node.data = m_text.substr(start, m_pos - start);
        if (node.data.empty() || (node.data != "null" && scalarKind(node.data) == ScalarValue::STRING))
            fail(node.data.empty() ? "expected value" : "invalid value " + node.data);
        return node;
    }

    char peek() const { return m_pos < m_text.size() ? m_text[m_pos] : '\0'; }

    const std::string& m_text;
    const std::string& m_source;
    size_t m_pos = 0;
    size_t m_line = 1;
    size_t m_depth = 0;
};

bool allDigits(const std::string& text, size_t from)
{
    if (from >= text.size())
        return false;
    for (size_t i = from; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

// [-+]? (digits (. digits)? | . digits) ([eE] [-+]? digits)?, with a
// fraction or an exponent (else it is an integer).
bool isDoubleText(const std::string& t)
{
    size_t i = 0;
    if (i < t.size() && (t[i] == '-' || t[i] == '+'))
        ++i;
    if (t.compare(i, std::string::npos, "NaN") == 0 || t.compare(i, std::string::npos, "Infinity") == 0)
        return t[0] != '+';
    auto digits = [&] {
        const size_t s = i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            ++i;
        return i > s;
    };
    const bool whole = digits();
    bool fraction = false;
    if (i < t.size() && t[i] == '.') {
        ++i;
        fraction = digits();
        if (!fraction)
            return false;
    }
    if (!whole && !fraction)
        return false;
    bool exponent = false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '-' || t[i] == '+'))
            ++i;
        exponent = digits();
        if (!exponent)
            return false;
    }
    return i == t.size() && (fraction || exponent);
}

class Builder {
public:
    explicit Builder(const std::string& source) : m_source(source) {}

    // A group from a top-level member: its scalars (the first of equal names
    // kept), its objects as lists and its arrays (the first of equal names
    // kept). Deeper containers are skipped.
    void groupFromTree(Document& document, const Node& node) const
    {
        Group group(node.key);
        if (node.type == Node::OBJECT || node.type == Node::ARRAY)
            for (const Node& child : node.children) {
                if (child.isScalar()) {
                    if (!hasNamed(group.scalars, child.key))
                        group.scalars.emplace_back(child.key, valueOf(child));
                }
                listFromTree(group, child);
                arrayFromTree(group, child);
            }
        document.push_back(std::move(group));
    }

    // An object of scalars becomes a list (members of equal names all kept);
    // an empty object an empty list. An object of nothing but containers
    // holds nothing the model can keep.
    void listFromTree(Group& group, const Node& node) const
    {
        if (node.type != Node::OBJECT)
            return;
        List list(node.key);
        for (const Node& child : node.children)
            if (child.isScalar())
                list.members.emplace_back(child.key, valueOf(child));
        if ((!list.members.empty() || node.children.empty()) && !hasNamed(group.lists, list.name))
            group.lists.push_back(std::move(list));
    }

    void arrayFromTree(Group& group, const Node& node) const
    {
        if (node.type != Node::ARRAY)
            return;
        Array array(node.key);
        for (const Node& child : node.children)
            if (child.isScalar())
                array.values.push_back(valueOf(child));
        if ((!array.values.empty() || node.children.empty()) && !hasNamed(group.arrays, array.name))
            group.arrays.push_back(std::move(array));
    }

private:
    template <typename T>
    static bool hasNamed(const std::vector<T>& members, const std::string& name)
    {
        for (const T& member : members)
            if (member.name == name)
                return true;
        return false;
    }

    ScalarValue valueOf(const Node& node) const
    {
        if (node.type == Node::STRING)
            return ScalarValue(node.data);
        try {
            return scalarFromText(node.data);
        } catch (const SCUtilities::scexception& e) {
            throw SCUtilities::scexception(m_source + "(" + std::to_string(node.line) + "): \"" + node.key +
                                           "\": " + e.what());
        }
    }

    const std::string& m_source;
};

} // namespace

JsonFile::JsonFile(std::string p, bool writing)
    : path(std::move(p)), stream(std::make_shared<std::fstream>()),
      mode(writing ? std::ios::out | std::ios::trunc : std::ios::in)
{
}

bool JsonFile::open()
{
    if (stream->is_open())
        return true;
    stream->open(path, mode);
    if (stream->is_open())
        stream->clear();
    else
        stream->setstate(std::ios::failbit);
    return stream->is_open();
}

int scalarKind(const std::string& text)
{
    if (allDigits(text, 0) || (!text.empty() && text[0] == '-' && allDigits(text, 1)))
        return ScalarValue::INT;
    if (isDoubleText(text))
        return ScalarValue::DOUBLE;
    if (text == "true" || text == "false" || text == "TRUE" || text == "FALSE")
        return ScalarValue::BOOL;
    return ScalarValue::STRING;
}

ScalarValue scalarFromText(const std::string& text)
{
    switch (scalarKind(text)) {
    case ScalarValue::INT: {
        std::int32_t value = 0;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
        if (r.ec == std::errc::result_out_of_range)
            throw SCUtilities::scexception("the integer " + text + " is out of range");
        return ScalarValue(value);
    }
    case ScalarValue::DOUBLE: {
        const size_t skip = text[0] == '+' ? 1 : 0;
        const bool negative = text[0] == '-';
        const std::string body = text.substr(skip + (negative ? 1 : 0));
        if (body == "NaN")
            return ScalarValue(std::numeric_limits<double>::quiet_NaN());
        if (body == "Infinity")
            return ScalarValue(negative ? -std::numeric_limits<double>::infinity()
                                        : std::numeric_limits<double>::infinity());
        double value = 0;
        const auto r = std::from_chars(text.data() + skip, text.data() + text.size(), value);
        if (r.ec == std::errc::invalid_argument || r.ptr != text.data() + text.size())
            throw SCUtilities::scexception("the number " + text + " is not valid");
        if (r.ec == std::errc::result_out_of_range) {
            // Too small for a double is zero; too large is an error.
            const size_t e = text.find_first_of("eE");
            if (e != std::string::npos && e + 1 < text.size() && text[e + 1] == '-')
                return ScalarValue(negative ? -0.0 : 0.0);
            throw SCUtilities::scexception("the number " + text + " is out of range");
        }
        return ScalarValue(value);
    }
    case ScalarValue::BOOL:
        return ScalarValue(text == "true" || text == "TRUE");
    default:
        return ScalarValue(text);
    }
}

void parseJsonDocument(const std::string& text, const std::string& sourceName, Document& document)
{
    Parser parser(text, sourceName);
    const Node root = parser.parseRoot();
    const Builder builder(sourceName);
    Document read;
    if (root.type == Node::OBJECT || root.type == Node::ARRAY)
        for (const Node& member : root.children)
            builder.groupFromTree(read, member);
    document.insert(document.end(), std::make_move_iterator(read.begin()), std::make_move_iterator(read.end()));
}

void readJsonDocument(const JsonFile& reader, Document& document)
{
    std::ifstream in(reader.path, std::ios::binary);
    if (!in.is_open())
        throw SCUtilities::scexception(reader.path + ": cannot open file");
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        throw SCUtilities::scexception(reader.path + ": cannot read file");
    parseJsonDocument(content.str(), reader.path, document);
}

} // namespace json
