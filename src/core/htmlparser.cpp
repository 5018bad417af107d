#include "core/htmlparser.h"

#include "core/exceptions.h"

#include <QList>

#include <sstream>

namespace {

constexpr size_t npos = std::string::npos;

const char* const kNotWellFormed = "Markup parsing error. The content is not well-formed.";
const char* const kNullPosition = "Error in HtmlParserPrivate: nullptr";

bool startsWithNoCase(const std::string& text, size_t at, const char* prefix)
{
    for (size_t i = 0; prefix[i]; ++i) {
        if (at + i >= text.size())
            return false;
        char a = text[at + i];
        char b = prefix[i];
        if (a >= 'a' && a <= 'z')
            a = static_cast<char>(a - 'a' + 'A');
        if (b >= 'a' && b <= 'z')
            b = static_cast<char>(b - 'a' + 'A');
        if (a != b)
            return false;
    }
    return true;
}

} // namespace

HtmlOpenTag::HtmlOpenTag(const std::string& tagText) : HtmlTag(OPEN)
{
    raw = tagText;
    name = tagText.size() >= 2 ? tagText.substr(1, tagText.size() - 2) : std::string();
    while (!name.empty() && (name.back() == '/' || name.back() == ' '))
        name.pop_back();
    const size_t blank = name.find(' ');
    if (blank != npos) {
        attributes = name.substr(blank + 1);
        name.erase(blank);
        while (!attributes.empty() &&
               (attributes.back() == '>' || attributes.back() == '/' || attributes.back() == ' '))
            attributes.pop_back();
    }
}

HtmlCloseTag::HtmlCloseTag(const std::string& tagText) : HtmlTag(CLOSE)
{
    raw = tagText;
    name = tagText.size() >= 2 ? tagText.substr(1, tagText.size() - 2) : std::string();
    size_t lead = 0;
    while (lead < name.size() && (name[lead] == '/' || name[lead] == ' '))
        ++lead;
    name.erase(0, lead);
}

namespace HtmlParserPrivate {

std::unique_ptr<HtmlTag> nextTag(const std::string& text, size_t* position)
{
    if (!position)
        throw textexception(std::string(kNullPosition));
    const size_t b = *position >= text.size() ? npos : text.find('<', *position);
    if (b == npos) {
        *position = npos;
        return std::make_unique<HtmlInvalidTag>();
    }
    *position = b;
    const size_t g = b + 1 < text.size() ? text.find('>', b + 1) : npos;
    if (g == npos)
        throw textexception(std::string(kNotWellFormed));
    const std::string tagText = text.substr(b, g - b + 1);
    if (tagText[1] == '/')
        return std::make_unique<HtmlCloseTag>(tagText);
    return std::make_unique<HtmlOpenTag>(tagText);
}

HtmlOpenTag nextOpenTag(const std::string& text, size_t* position)
{
    if (!position)
        throw textexception(std::string(kNullPosition));
    std::unique_ptr<HtmlTag> tag = nextTag(text, position);
    while (tag->kind == HtmlTag::CLOSE) {
        *position += 1;
        tag = nextTag(text, position);
    }
    if (tag->kind == HtmlTag::INVALID)
        return HtmlOpenTag();
    return static_cast<const HtmlOpenTag&>(*tag);
}

HtmlCloseTag nextCloseTag(const std::string& text, size_t* position)
{
    if (!position)
        throw textexception(std::string(kNullPosition));
    std::unique_ptr<HtmlTag> tag;
    do {
        if (*position == npos)
            return HtmlCloseTag();
        *position += 1;
        tag = nextTag(text, position);
    } while (tag->kind == HtmlTag::OPEN);
    if (tag->kind == HtmlTag::INVALID)
        return HtmlCloseTag();
    return static_cast<const HtmlCloseTag&>(*tag);
}

size_t findClosingTag(const std::string& text, const std::string& name, size_t position)
{
    // One pass over the tags after the opening one, counting the depth of
    // nested elements of the same name. When the closing tags run out before
    // the depth returns to zero, the element ends at the last closing tag it
    // could pair with. As everywhere here, the search for the next tag goes
    // on one character after the '<' of the last.
    auto nextNamed = [&](size_t& at) {
        at += 1;
        const std::unique_ptr<HtmlTag> tag = nextTag(text, &at);
        return tag->kind != HtmlTag::INVALID && tag->name == name ? tag->kind : int(HtmlTag::INVALID);
    };
    size_t depth = 1;
    size_t lastClose = npos;
    size_t at = position;
    while (at != npos && depth > 0) {
        const int kind = nextNamed(at);
        if (kind == HtmlTag::OPEN) {
            ++depth;
        } else if (kind == HtmlTag::CLOSE) {
            lastClose = at;
            --depth;
        }
    }
    // The search for a further opening tag of the name runs on, and meets a
    // '<' that no '>' follows (such a '<' can only lie after the last '>')
    // unless such a tag comes first: that text is not well-formed.
    const size_t lastGreater = text.rfind('>');
    if (at != npos && text.find('<', lastGreater == npos ? 0 : lastGreater) != npos) {
        while (at != npos && nextNamed(at) != HtmlTag::OPEN) {
        }
    }
    return text.find('>', lastClose == npos ? position : lastClose);
}

void strip_tag(std::string& element)
{
    const size_t firstOpen = element.find('<');
    const size_t firstClose = element.find('>');
    const size_t lastOpen = element.rfind('<');
    const size_t lastClose = element.rfind('>');
    if (firstOpen == npos || firstClose == npos)
        throw textexception(std::string("Error in HtmlParserPrivate::strip_tag()"));
    if (firstClose == lastClose) {
        element.clear();
        return;
    }
    const size_t from = firstClose + 1;
    element = lastOpen < from ? element.substr(from) : element.substr(from, lastOpen - from);
}

} // namespace HtmlParserPrivate

HtmlElement parseElement(const std::string& text, size_t position)
{
    HtmlElement element;
    if (position >= text.size())
        return element;
    if (startsWithNoCase(text, position, "<!DOCTYPE")) {
        const size_t g = text.find('>', position);
        if (g == npos)
            throw textexception(std::string(kNotWellFormed));
        position = g + 1;
        while (position < text.size() && (text[position] == ' ' || text[position] == '\t' ||
                                          text[position] == '\n' || text[position] == '\r'))
            ++position;
        if (position >= text.size())
            return element;
    }

    size_t start = position;
    element.tag = HtmlParserPrivate::nextOpenTag(text, &start);
    element.start = start;
    if (text[position] == '<') {
        if (start == npos)
            return element;
        element.end = HtmlParserPrivate::findClosingTag(text, element.tag.name, start);
        element.content = text.substr(start, element.end - start + 1);
        HtmlParserPrivate::strip_tag(element.content);
    } else {
        const size_t runEnd = start == npos ? text.size() : start;
        element.tag = HtmlOpenTag();
        element.start = position;
        element.end = runEnd - 1;
        element.text = text.substr(position, runEnd - position);
    }
    return element;
}

void HtmlElement::parseChildren(size_t depth)
{
    if (depth > kMaxHtmlDepth)
        throw textexception("Markup parsing error. Elements are nested more than " + std::to_string(kMaxHtmlDepth) +
                            " levels deep.");
    size_t p = 0;
    for (;;) {
        HtmlElement child = parseElement(content, p);
        if (child.start == npos)
            return;
        child.parseChildren(depth + 1);
        p = child.end + 1;
        children.push_back(std::move(child));
    }
}

void writeElement(std::ostream& out, const HtmlElement& element, size_t depth)
{
    const std::string indent(4 * depth, ' ');
    for (const HtmlElement& child : element.children) {
        out << indent << child.tag.raw;
        if (!child.children.empty()) {
            out << '\n';
            writeElement(out, child, depth + 1);
        } else if (!child.content.empty()) {
            out << '\n' << std::string(4 * (depth + 1), ' ') << child.content << '\n';
        } else if (!child.text.empty()) {
            out << child.text;
        }
        if (!child.content.empty())
            out << indent << "</" << child.tag.name << '>';
        out << '\n';
    }
}

void writeElementTree(std::ostream& out, const HtmlElement& element)
{
    HtmlElement root;
    root.children.push_back(element);
    writeElement(out, root, 0);
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

std::string toTemplateLatin1(const QString& markup)
{
    std::string bytes;
    bytes.reserve(static_cast<size_t>(markup.size()));
    for (const char32_t code : markup.toUcs4()) {
        if (code < 256)
            bytes += static_cast<char>(code);
        else
            bytes += "&#" + std::to_string(code) + ';';
    }
    return bytes;
}

QString fromTemplateLatin1(const std::string& bytes)
{
    const QString text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString result;
    result.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        // "&#N;" with N beyond Latin-1 stands for that character; anything
        // else stays as written (the toolkit reads its own entities).
        if (text.at(i) == QLatin1Char('&') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('#')) {
            qsizetype j = i + 2;
            char32_t code = 0;
            while (j < text.size() && text.at(j) >= QLatin1Char('0') && text.at(j) <= QLatin1Char('9') && j - i < 10) {
                code = code * 10 + static_cast<char32_t>(text.at(j).unicode() - '0');
                ++j;
            }
            const bool valid = j > i + 2 && j < text.size() && text.at(j) == QLatin1Char(';') && code >= 256 &&
                               code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
            if (valid) {
                result += QString::fromUcs4(&code, 1);
                i = j + 1;
                continue;
            }
        }
        result += text.at(i);
        ++i;
    }
    return result;
}
