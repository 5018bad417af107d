#include "core/htmlparser.h"

#include "core/exceptions.h"

#include <gtest/gtest.h>

#include <QTextCursor>
#include <QTextDocument>

#include <sstream>

namespace {

constexpr size_t npos = std::string::npos;

// The calling order of the label designer: the element at 0, its children,
// the indented tree.
std::string indented(const std::string& text)
{
    HtmlElement element = parseElement(text, 0);
    element.parseChildren();
    std::ostringstream out;
    writeElementTree(out, element);
    return out.str();
}

// What the readers of a template do: lines trimmed and joined.
std::string joined(const std::string& text)
{
    std::string result;
    for (std::string line : splitLines(text)) {
        const size_t b = line.find_first_not_of("\r\n\t ");
        if (b == npos)
            continue;
        result += line.substr(b, line.find_last_not_of("\r\n\t ") - b + 1);
    }
    return result;
}

struct TreeCase {
    const char* input;
    const char* written;
};

class MarkupTree : public ::testing::TestWithParam<TreeCase> {};

TEST_P(MarkupTree, WritesIndentedTree)
{
    EXPECT_EQ(indented(GetParam().input), GetParam().written) << "input: " << GetParam().input;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkupTree,
    ::testing::Values(
        TreeCase{"", "\n"},
        TreeCase{"plain", "plain\n"},
        TreeCase{"<p>Some <b>bold</b> text</p>", "<p>\n    Some \n    <b>\n        bold\n    </b>\n     text\n</p>\n"},
        TreeCase{"<p>a<br />b</p>", "<p>\n    a\n    <br />\n    b\n</p>\n"},
        // One call parses one element.
        TreeCase{"text <b>x</b>", "text \n"},
        // Names are case-sensitive: '<B>' has no closing tag.
        TreeCase{"<B>x</b>", "<B>\n"},
        TreeCase{"<b>x<b>y", "<b>\n"},
        // Nested elements of one name pair by depth.
        TreeCase{"<b><b>x</b></b>", "<b>\n    <b>\n        x\n    </b>\n</b>\n"},
        TreeCase{"<b><b><b>x</b></b></b>",
                 "<b>\n    <b>\n        <b>\n            x\n        </b>\n    </b>\n</b>\n"},
        TreeCase{"<div><div>a</div><div><div>b</div></div></div>",
                 "<div>\n    <div>\n        a\n    </div>\n    <div>\n        <div>\n            b\n        </div>\n"
                 "    </div>\n</div>\n"},
        // An unclosed inner element of the same name: the outer one ends at
        // the last closing tag it can pair with.
        TreeCase{"<b><b>x</b>", "<b>\n    <b>\n    x\n</b>\n"},
        TreeCase{"<p><b>x</b>tail<i>y</i></p>",
                 "<p>\n    <b>\n        x\n    </b>\n    tail\n    <i>\n        y\n    </i>\n</p>\n"},
        // A stray closing tag and the text after it are passed over.
        TreeCase{"<p></x>abc<i>y</i></p>", "<p>\n    <i>\n        y\n    </i>\n</p>\n"},
        TreeCase{"<p></x>abc</p>", "<p>\n    </x>abc\n</p>\n"},
        TreeCase{"<p>x</b >y</p>", "<p>\n    x</b >y\n</p>\n"},
        // The closing tag is rebuilt from the name.
        TreeCase{"<font color=red>x</font>", "<font color=red>\n    x\n</font>\n"},
        TreeCase{"<b>x</b><b>y</b> a < b", "<b>\n    x\n</b>\n"},
        // The toolkit's declaration before the document is passed over.
        TreeCase{"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\"><html><p>x</p></html>",
                 "<html>\n    <p>\n        x\n    </p>\n</html>\n"},
        TreeCase{"<b></b>", "<b>\n"}));

TEST(MarkupParser, MalformedMarkupRaises)
{
    struct Case {
        const char* input;
        const char* message;
    } cases[] = {
        {"<b>x</b> a < b", "Markup parsing error. The content is not well-formed."},
        {"<p>a <", "Markup parsing error. The content is not well-formed."},
        {"<p>x</p><", "Markup parsing error. The content is not well-formed."},
        {"<!DOCTYPE html", "Markup parsing error. The content is not well-formed."},
    };
    for (const Case& c : cases) {
        try {
            indented(c.input);
            ADD_FAILURE() << "no error for " << c.input;
        } catch (const textexception& e) {
            EXPECT_STREQ(e.what(), c.message) << c.input;
        }
    }
}

TEST(MarkupParser, NestingPairsByDepthAndIsBounded)
{
    auto nested = [](size_t levels) {
        std::string open, close;
        for (size_t i = 0; i < levels; ++i) {
            open += "<b>";
            close += "</b>";
        }
        return open + "x" + close;
    };
    // Twenty thousand levels: the outer element ends at the last closing
    // tag, the inner ones at theirs.
    const std::string deep = nested(20000);
    EXPECT_EQ(HtmlParserPrivate::findClosingTag(deep, "b", 0), deep.size() - 1);
    EXPECT_EQ(HtmlParserPrivate::findClosingTag(deep, "b", 3 * 19999), 3 * 20000 + 1 + 4 - 1);
    try {
        indented(deep);
        ADD_FAILURE() << "no error for 20000 levels";
    } catch (const textexception& e) {
        EXPECT_STREQ(e.what(), "Markup parsing error. Elements are nested more than 256 levels deep.");
    }
    EXPECT_THROW(indented(nested(kMaxHtmlDepth + 1)), textexception);
    // At the limit the tree is written whole: the text at the deepest level.
    const std::string written = indented(nested(kMaxHtmlDepth));
    EXPECT_NE(written.find(std::string(4 * kMaxHtmlDepth, ' ') + "x\n"), npos);
}

TEST(MarkupParser, TagsFromText)
{
    struct Case {
        const char* raw;
        int kind;
        const char* name;
        const char* attributes;
    } cases[] = {
        {"<p>", HtmlTag::OPEN, "p", ""},
        {"<br />", HtmlTag::OPEN, "br", ""},
        {"<img src=a.png />", HtmlTag::OPEN, "img", "src=a.png"},
        {"<a  b>", HtmlTag::OPEN, "a", " b"},
        {"<>", HtmlTag::OPEN, "", ""},
        {"<!-- x -->", HtmlTag::OPEN, "!--", "x --"},
        {"</ b>", HtmlTag::CLOSE, "b", ""},
        {"</b >", HtmlTag::CLOSE, "b ", ""},
    };
    for (const Case& c : cases) {
        size_t position = 0;
        const std::unique_ptr<HtmlTag> tag = HtmlParserPrivate::nextTag(std::string("x") + c.raw, &position);
        EXPECT_EQ(position, 1u);
        EXPECT_EQ(tag->kind, c.kind) << c.raw;
        EXPECT_EQ(tag->raw, c.raw);
        EXPECT_EQ(tag->name, c.name) << c.raw;
        if (c.kind == HtmlTag::OPEN) {
            EXPECT_EQ(static_cast<const HtmlOpenTag&>(*tag).attributes, c.attributes) << c.raw;
        }
    }
    size_t position = 0;
    EXPECT_EQ(HtmlParserPrivate::nextTag("no tags", &position)->kind, HtmlTag::INVALID);
    EXPECT_EQ(position, npos);
}

TEST(MarkupParser, TagSearches)
{
    const std::string text = "</x><a>t</a><b>";
    size_t position = 0;
    EXPECT_EQ(HtmlParserPrivate::nextOpenTag(text, &position).name, "a");
    EXPECT_EQ(position, 4u);
    position = 4;
    EXPECT_EQ(HtmlParserPrivate::nextCloseTag(text, &position).name, "a");
    EXPECT_EQ(position, 8u);
    position = 9;
    EXPECT_EQ(HtmlParserPrivate::nextCloseTag(text, &position).kind, HtmlTag::CLOSE);
    EXPECT_EQ(position, npos);
    position = 13;
    const HtmlOpenTag none = HtmlParserPrivate::nextOpenTag(text, &position);
    EXPECT_EQ(none.kind, HtmlTag::OPEN);
    EXPECT_TRUE(none.raw.empty());
    EXPECT_EQ(position, npos);

    for (auto call : {+[] { HtmlParserPrivate::nextTag("<a>", nullptr); },
                      +[] { HtmlParserPrivate::nextOpenTag("<a>", nullptr); },
                      +[] { HtmlParserPrivate::nextCloseTag("<a>", nullptr); }}) {
        try {
            call();
            ADD_FAILURE() << "no error for a null position";
        } catch (const textexception& e) {
            EXPECT_STREQ(e.what(), "Error in HtmlParserPrivate: nullptr");
        }
    }
}

TEST(MarkupParser, StripTag)
{
    struct Case {
        const char* element;
        const char* content;
    } cases[] = {{"<b>x</b>", "x"}, {"<br />", ""}, {"<p><i>y</i></p>", "<i>y</i>"}};
    for (const Case& c : cases) {
        std::string s = c.element;
        HtmlParserPrivate::strip_tag(s);
        EXPECT_EQ(s, c.content) << c.element;
    }
    std::string bare = "no tag";
    EXPECT_THROW(HtmlParserPrivate::strip_tag(bare), textexception);
}

TEST(MarkupParser, ElementPositions)
{
    const HtmlElement run = parseElement("plain", 0);
    EXPECT_EQ(run.start, 0u);
    EXPECT_EQ(run.end, 4u);
    EXPECT_EQ(run.text, "plain");

    const HtmlElement b = parseElement("<b>x</b><b>y</b>", 8);
    EXPECT_EQ(b.start, 8u);
    EXPECT_EQ(b.end, 15u);
    EXPECT_EQ(b.content, "y");

    EXPECT_EQ(parseElement("<b>x</b>", 8).start, npos);
    EXPECT_EQ(parseElement("</b>", 0).start, npos);
}

TEST(MarkupParser, SplitLines)
{
    EXPECT_TRUE(splitLines("").empty());
    EXPECT_EQ(splitLines("a\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(splitLines("a\r\nb"), (std::vector<std::string>{"a\r", "b"}));
}

TEST(LabelTemplateText, Latin1WithCharacterReferences)
{
    const QString label = QString::fromUtf8("\xCE\xB1 = 5 \xC2\xB0" "C \xE2\x86\x92 \xF0\x9D\x9C\x8B &amp; &#60;");
    const std::string bytes = toTemplateLatin1(label);
    EXPECT_EQ(bytes, "&#945; = 5 \xB0" "C &#8594; &#120587; &amp; &#60;");
    EXPECT_EQ(fromTemplateLatin1(bytes), label);
    // References within Latin-1 and malformed ones stay as written.
    EXPECT_EQ(fromTemplateLatin1("&#65; &#; &#945 &#99999999999;"), "&#65; &#; &#945 &#99999999999;");
}

TEST(LabelTemplateText, ToolkitDocumentSurvivesSaveAndLoad)
{
    QTextDocument editor;
    QTextCursor cursor(&editor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    // (Blanks at the edges of a text run do not survive the trimming of
    // the lines; the designer's format says so.)
    cursor.insertText(QString::fromUtf8("\xCF\x83="), QTextCharFormat());
    cursor.insertText("bold", bold);
    cursor.insertText("&a<b c", QTextCharFormat());
    cursor.insertBlock();
    cursor.insertText("second");

    // Save: lines trimmed and joined, the tree written as Latin-1.
    const std::string file = indented(joined(toTemplateLatin1(editor.toHtml())));
    EXPECT_EQ(file.rfind("<html>", 0), 0u) << file.substr(0, 60);
    EXPECT_NE(file.find("&#963;"), npos);

    // Load: lines trimmed and joined again.
    QTextDocument loaded;
    loaded.setHtml(fromTemplateLatin1(joined(file)));
    EXPECT_EQ(loaded.toPlainText(), QString::fromUtf8("\xCF\x83=bold&a<b c\nsecond"));
    QTextCursor at(&loaded);
    at.setPosition(4);
    EXPECT_EQ(at.charFormat().fontWeight(), QFont::Bold);
}

} // namespace
