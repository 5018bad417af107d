#include "core/richtext.h"

#include <gtest/gtest.h>

#include <climits>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

namespace {

WString w(const char* utf8)
{
    return toWString(QString::fromUtf8(utf8));
}

std::string s(const WString& text)
{
    return fromWString(text).toStdString();
}

// A document in the shape wrapRichText gives, around the given paragraph markup.
WString docWithBody(const char* bodyStyle, const char* paragraphs)
{
    return w("<html><head></head><body style=\"") + w(bodyStyle) + w("\">\n") + w(paragraphs) +
           w("\n</body></html>");
}

QFont font(const char* family, int size, bool bold = false, bool italic = false)
{
    RichTextSpan run;
    run.m_fontFamily = w(family);
    run.m_fontSize = size;
    run.m_fontWeight = bold ? 700 : 400;
    run.m_italic = italic;
    return runFont(run);
}

TEST(RichTextWrap, ExactDocumentAndParse)
{
    QFont arial("Arial", 10);
    const WString wrapped = wrapRichText(u"a<br />b", arial, 0);
    EXPECT_EQ(s(wrapped), "<html><head><meta name=\"qrichtext\" content=\"1\" /></head><body style=\"font-size:10pt;"
                          "font-family:" + arial.family().toStdString() + "\">\n<p>a<br />b</p>\n</body></html>");

    const RichTextDocument doc(wrapped);
    ASSERT_EQ(doc.m_paragraphs.size(), 1u);
    const auto& lines = doc.m_paragraphs[0].m_lines;
    ASSERT_EQ(lines.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        ASSERT_EQ(lines[i].m_spans.size(), 1u);
        EXPECT_EQ(lines[i].m_spans[0].m_fontSize, 10);
        EXPECT_EQ(s(lines[i].m_spans[0].m_fontFamily), arial.family().toStdString());
    }
    EXPECT_EQ(s(lines[0].m_spans[0].m_text), "a");
    EXPECT_EQ(s(lines[1].m_spans[0].m_text), "b");
    EXPECT_EQ(s(doc.toPlainText()), "a\nb");
}

TEST(RichTextWrap, AlignmentFlags)
{
    const QFont f("Times", 12);
    struct Case {
        int flags;
        const char* tag;
    } cases[] = {{0, "<p>"}, {2, "<p align=\"right\">"}, {4, "<p align=\"center\">"}, {6, "<p align=\"right\">"}};
    for (const Case& c : cases)
        EXPECT_NE(s(wrapRichText(u"x", f, c.flags)).find(std::string("\">\n") + c.tag + "x</p>"), std::string::npos)
            << c.flags;
}

TEST(RichTextDocument, WithoutBodyIsTheSourceInTheDefaultFont)
{
    const RichTextDocument doc(u"Hello\n");
    EXPECT_TRUE(doc.m_paragraphs.empty());
    EXPECT_EQ(s(doc.toPlainText()), "Hello");
    const QFontMetrics metrics(QGuiApplication::font());
    EXPECT_EQ(doc.boundingSize(), QSize(metrics.horizontalAdvance("Hello\n"), metrics.height() + 4));
    // Only one of two final line feeds goes, and the source stays whole.
    const RichTextDocument two(u"Hi\n\n");
    EXPECT_EQ(s(two.toPlainText()), "Hi\n");
    EXPECT_EQ(s(two.m_source), "Hi\n\n");
}

TEST(RichTextDocument, MalformedMarkupYieldsLessStructure)
{
    struct Case {
        const char* text;
        size_t paragraphs;
    } cases[] = {
        {"<html><body style=\"font-size:9pt\"><p>x</p></html>", 0}, // no </body>
        {"<html><body><p>x</p></body></html>", 0},                  // no body style
        {"<html><body style=\"\"><p>x</p><p>y</body></html>", 1},  // second <p> not closed
        {"<html><body style=\"\"><pre>x</p></body></html>", 1},    // any <p... opens a paragraph
    };
    for (const Case& c : cases)
        EXPECT_EQ(RichTextDocument(w(c.text)).m_paragraphs.size(), c.paragraphs) << c.text;
}

TEST(RichTextStyle, DeclarationsAreReadByProperty)
{
    struct Case {
        const char* style;
        int size, weight;
        bool italic, underline, super, sub, hasColor;
        int color;
        const char* family;
    } cases[] = {
        {"font-size:12px", 12, 0, false, false, false, false, false, 0, ""},
        {"font-weight:600", 0, 600, false, false, false, false, false, 0, ""},
        // A word weight reads as its number, never as a later property's number.
        {"font-weight:bold;font-size:14pt", 14, 700, false, false, false, false, false, 0, ""},
        {"font-weight:bold", 0, 700, false, false, false, false, false, 0, ""},
        {"font-weight:normal", 0, 400, false, false, false, false, false, 0, ""},
        {"font-size:large; font-weight:600", -1, 600, false, false, false, false, false, 0, ""},
        // The toolkit's own spelling: blanks after the colon, quoted families.
        {" font-family:'Sans Serif'; font-size:9pt; font-weight:400; font-style:italic;", 9, 400, true, false, false,
         false, false, 0, "Sans Serif"},
        {"text-decoration: underline;", 0, 0, false, true, false, false, false, 0, ""},
        {"vertical-align:super", 0, 0, false, false, true, false, false, 0, ""},
        {"vertical-align:sub", 0, 0, false, false, false, true, false, 0, ""},
        {"color:#00ff00", 0, 0, false, false, false, false, true, 0x00FF00, ""},
        {"color:0x00ff00", 0, 0, false, false, false, false, true, 0x00FF00, ""},
        {"color:red", 0, 0, false, false, false, false, true, 0xFF0000, ""},
        {"color:", 0, 0, false, false, false, false, true, 0, ""},
        // A background colour is not the text colour.
        {"background-color:#00ff00", 0, 0, false, false, false, false, false, 0, ""},
        {"background-color:#00ff00;color:#0000ff", 0, 0, false, false, false, false, true, 0x0000FF, ""},
        // A later declaration wins (a label made bold appends its weight).
        {"font-weight:400;font-weight:600", 0, 600, false, false, false, false, false, 0, ""},
        {"font-family:Times, serif", 0, 0, false, false, false, false, false, 0, "Times"},
    };
    for (const Case& c : cases) {
        RichTextSpan span;
        span.parseStyle(w("<span style=\"") + w(c.style) + w("\">"));
        SCOPED_TRACE(c.style);
        EXPECT_EQ(span.m_fontSize, c.size);
        EXPECT_EQ(span.m_fontWeight, c.weight);
        EXPECT_EQ(span.m_italic, c.italic);
        EXPECT_EQ(span.m_underline, c.underline);
        EXPECT_EQ(span.m_superscript, c.super);
        EXPECT_EQ(span.m_subscript, c.sub);
        EXPECT_EQ(span.m_hasColor, c.hasColor);
        EXPECT_EQ(span.m_color, c.color);
        EXPECT_EQ(s(span.m_fontFamily), c.family);
    }
}

TEST(RichTextDocument, RunsTakeUnsetFieldsFromTheParagraph)
{
    const RichTextDocument doc(docWithBody("font-size:10pt;font-family:Arial;font-style:italic",
                                           "<p>plain <span style=\"font-weight:600\">bold</span></p>"));
    ASSERT_EQ(doc.m_paragraphs.size(), 1u);
    const auto& spans = doc.m_paragraphs[0].m_lines.at(0).m_spans;
    // The text before the span, the span, and the (empty) rest of the line.
    ASSERT_EQ(spans.size(), 3u);
    EXPECT_EQ(s(spans[0].m_text), "plain ");
    EXPECT_TRUE(spans[0].m_italic);
    EXPECT_EQ(s(spans[1].m_text), "bold");
    EXPECT_EQ(s(spans[1].m_fontFamily), "Arial");
    EXPECT_EQ(spans[1].m_fontSize, 10);
    EXPECT_EQ(spans[1].m_fontWeight, 600);
    EXPECT_FALSE(spans[1].m_italic); // italic is not inherited by a styled span
    EXPECT_EQ(s(spans[2].m_text), "");

    const QFontMetrics italic(font("Arial", 10, false, true));
    const QFontMetrics bold(font("Arial", 10, true));
    EXPECT_EQ(doc.boundingSize().width(), italic.horizontalAdvance("plain ") + bold.horizontalAdvance("bold") +
                                              italic.horizontalAdvance(""));
}

TEST(RichTextDocument, LineBreaksSplitSpans)
{
    const RichTextDocument doc(docWithBody(
        "font-size:10pt", "<p>x<br /><span style=\"color:#ff0000\">a<br />b</span><br /><br />z</p>"));
    const auto& lines = doc.m_paragraphs.at(0).m_lines;
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(s(doc.toPlainText()), "x\na\nb\n\nz");
    // Both halves of the broken span keep its colour.
    for (int i : {1, 2}) {
        ASSERT_GE(lines[i].m_spans.size(), 1u);
        EXPECT_TRUE(lines[i].m_spans[0].m_hasColor);
        EXPECT_EQ(lines[i].m_spans[0].m_color, 0xFF0000);
    }
    EXPECT_EQ(s(lines[1].m_spans[0].m_text), "a");
    EXPECT_EQ(s(lines[2].m_spans[0].m_text), "b");
    // The empty line still counts the paragraph's font height.
    const int lineHeight = QFontMetrics(font("", 10)).height();
    EXPECT_EQ(doc.boundingSize().height(), 5 * lineHeight + 4);
}

TEST(RichTextDocument, OnlyTheExactBreakFormBreaks)
{
    for (const char* p : {"<p>a<br/>b</p>", "<p>a<br>b</p>"}) {
        const RichTextDocument doc(docWithBody("font-size:10pt", p));
        EXPECT_EQ(doc.m_paragraphs.at(0).m_lines.size(), 1u) << p;
    }
}

TEST(RichTextDocument, UnclosedSpanClosesAtLineEnd)
{
    const RichTextDocument doc(docWithBody("font-size:10pt", "<p>a<span style=\"font-size:20pt\">b</p>"));
    const auto& spans = doc.m_paragraphs.at(0).m_lines.at(0).m_spans;
    ASSERT_GE(spans.size(), 2u);
    EXPECT_EQ(s(spans[1].m_text), "b");
    EXPECT_EQ(spans[1].m_fontSize, 20);
    EXPECT_EQ(s(doc.toPlainText()), "ab");
}

TEST(RichTextDocument, ImagesAreSizedAndTakenOutOfTheRun)
{
    const RichTextDocument doc(
        docWithBody("font-size:10pt", "<p>x<img src=\"p.png\" width=\"16\" height=\"20\" />y</p>"));
    const RichTextLine& line = doc.m_paragraphs.at(0).m_lines.at(0);
    ASSERT_EQ(line.m_images.size(), 1u);
    EXPECT_EQ(line.m_images[0].m_width, 16);
    EXPECT_EQ(line.m_images[0].m_height, 22);
    EXPECT_EQ(s(line.m_images[0].m_src), "p.png");
    EXPECT_EQ(s(line.m_spans.at(0).m_text), "xy");
    const QFontMetrics metrics(font("", 10));
    const QSize size = doc.boundingSize();
    EXPECT_EQ(size.width(), 16 + metrics.horizontalAdvance("xy") + metrics.horizontalAdvance(""));
    EXPECT_EQ(size.height(), std::max(22, metrics.height()) + 4);

    struct Case {
        const char* tag;
        int width, height;
    } cases[] = {
        {"<img src=a.png width=7 height=7>", 7, 7},
        {"<img src=a.png height=16>", 0, 17},
        {"<img width=16 height=20>", 0, 0}, // no source: no size read
        {"<img src=a.png width=16 height=20", 16, 0}, // digits run to the end
        // Sizes beyond int stay at its limit, also after the enlargement.
        {"<img src=a.png width=99999999999 height=99999999999>", INT_MAX, INT_MAX},
        {"<img src=a.png width=1 height=2000000000>", 1, INT_MAX},
    };
    for (const Case& c : cases) {
        const RichTextImage image(w(c.tag));
        EXPECT_EQ(image.m_width, c.width) << c.tag;
        EXPECT_EQ(image.m_height, c.height) << c.tag;
    }

    // Two huge images on one line (one per run), two lines: the size
    // saturates, never wraps.
    const RichTextDocument huge(docWithBody(
        "font-size:10pt", "<p><span style=\"font-size:10pt\">a<img src=a.png width=2000000000 height=2000000000>"
                          "</span><span style=\"font-size:10pt\">b<img src=b.png width=2000000000 height=5></span>"
                          "<br />d<img src=c.png width=5 height=2000000000>e</p>"));
    EXPECT_EQ(huge.boundingSize(), QSize(INT_MAX, INT_MAX));
}

TEST(RichTextDocument, EveryParagraphIsMeasured)
{
    const RichTextDocument doc(
        docWithBody("font-size:10pt", "<p>short</p>\n<p>a much longer second paragraph</p>\n<p>x</p>"));
    ASSERT_EQ(doc.m_paragraphs.size(), 3u);
    EXPECT_EQ(s(doc.toPlainText()), "short\na much longer second paragraph\nx");
    const QFontMetrics metrics(font("", 10));
    EXPECT_EQ(doc.boundingSize(),
              QSize(metrics.horizontalAdvance("a much longer second paragraph"), 3 * metrics.height() + 4));
}

TEST(RichTextDocument, EntitiesAndOtherTagsStayLiteral)
{
    const RichTextDocument doc(docWithBody("font-size:10pt", "<p>a &lt; <b>b</b></p>"));
    EXPECT_EQ(s(doc.toPlainText()), "a &lt; <b>b</b>");
}

TEST(RichTextDocument, ReadsTheToolkitsOwnMarkup)
{
    QTextDocument editor;
    editor.setDefaultFont(QFont("Times", 11));
    QTextCursor cursor(&editor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText("B", bold);
    cursor.insertText(" text", QTextCharFormat());
    cursor.insertBlock();
    QTextCharFormat super;
    super.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    super.setForeground(QColor(0x12, 0x34, 0x56));
    cursor.insertText("2", super);

    const QString html = editor.toHtml();
    const QString stripped = stripDoctype(html);
    EXPECT_TRUE(stripped.startsWith("<html")) << stripped.left(40).toStdString();

    const RichTextDocument doc(toWString(stripped));
    EXPECT_EQ(s(doc.toPlainText()), "B text\n2");
    ASSERT_EQ(doc.m_paragraphs.size(), 2u);
    EXPECT_EQ(s(doc.m_bodyStyle.m_fontFamily), "Times");
    EXPECT_EQ(doc.m_bodyStyle.m_fontSize, 11);
    const auto& first = doc.m_paragraphs[0].m_lines.at(0).m_spans;
    ASSERT_GE(first.size(), 2u);
    EXPECT_EQ(s(first[0].m_text), "B");
    EXPECT_GT(first[0].m_fontWeight, 400);
    EXPECT_LE(first[1].m_fontWeight, 400);
    const RichTextSpan& two = doc.m_paragraphs[1].m_lines.at(0).m_spans.at(0);
    EXPECT_TRUE(two.m_superscript);
    EXPECT_TRUE(two.m_hasColor);
    EXPECT_EQ(two.m_color, 0x123456);
}

TEST(RichTextHelpers, StripDoctype)
{
    EXPECT_EQ(stripDoctype("<!DOCTYPE HTML PUBLIC \"x\">\n<html></html>"), "<html></html>");
    EXPECT_EQ(stripDoctype("  <!doctype html><html/>"), "<html/>");
    EXPECT_EQ(stripDoctype("<html></html>"), "<html></html>");
    EXPECT_EQ(stripDoctype("plain"), "plain");
}

TEST(RichTextHelpers, ExtractTag)
{
    const WString text = u"<html><body style=\"font-size:9pt\">x</body>";
    int position = 0;
    int end = 0;
    EXPECT_EQ(s(extractTag(u"body", text, position, end)), "<body style=\"font-size:9pt\">");
    EXPECT_EQ(position, 6);
    EXPECT_EQ(end, 34);
    position = 7;
    EXPECT_TRUE(extractTag(u"body", text, position, end).empty());
    EXPECT_EQ(position, -1);
    EXPECT_EQ(end, -1);
    position = 0;
    const WString open = u"<span style=\"x\"";
    EXPECT_TRUE(extractTag(u"span", open, position, end).empty());
    EXPECT_EQ(position, 0);
    EXPECT_EQ(end, -1);
}

TEST(RichTextHelpers, WideStringsKeepCodeUnits)
{
    EXPECT_TRUE(toWString(QString()).empty());
    const QString text = QString::fromUtf8("\xCE\xB1 \xF0\x9D\x9C\x8B"); // alpha and a character outside the BMP
    EXPECT_EQ(toWString(text).size(), static_cast<size_t>(text.size()));
    EXPECT_EQ(fromWString(toWString(text)), text);
}

} // namespace
