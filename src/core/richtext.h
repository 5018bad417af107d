#pragma once
// The rich-text model of plot labels: the part of the toolkit's rich-text
// markup that labels carry (a styled body, paragraphs, "<br />" line breaks,
// styled spans and images) read into a small tree of values, with the label's
// plain text and pixel size. Everything else (other tags, entities, white
// space) stays literal text of the runs.
//
// Text is held as UTF-16 code units, one for one with QString.
#include <QFont>
#include <QSize>
#include <QString>

#include <string>
#include <vector>

using WString = std::u16string;

// One run of text in one style; the same record holds a style alone (the
// body's, a paragraph's), with the tag it was read from as its text.
struct RichTextSpan {
    WString m_text;
    WString m_fontFamily;
    int m_fontWeight = 0; // style-sheet scale (400 normal, 700 bold); 0 not set, -1 no number
    int m_fontSize = 0;   // points; 0 not set, -1 no number
    bool m_italic = false;
    bool m_underline = false;
    bool m_superscript = false;
    bool m_subscript = false;
    bool m_hasColor = false;
    int m_color = 0; // 0xRRGGBB

    // Reads the style of an opening tag (its style attribute's declarations).
    void parseStyle(const WString& tag);
};

// An image tag found in a run.
struct RichTextImage {
    WString m_tag; // "<img " through its '>'; empty when the run holds no image
    WString m_src;
    int m_width = 0;
    int m_height = 0; // pixels, enlarged by a tenth

    RichTextImage() = default;
    explicit RichTextImage(const WString& runText);
};

// One line of a paragraph, between two line breaks: its own markup, the
// paragraph's style as the default of its runs, its images and its runs.
struct RichTextLine {
    WString m_text;
    WString m_fontFamily;
    int m_fontWeight = 0;
    int m_fontSize = 0;
    bool m_italic = false;
    bool m_underline = false;
    bool m_superscript = false;
    bool m_subscript = false;
    bool m_hasColor = false;
    int m_color = 0;
    std::vector<RichTextImage> m_images;
    std::vector<RichTextSpan> m_spans;

    void parseRuns(const WString& piece);
};

struct RichTextParagraph {
    WString m_text;       // the markup inside the paragraph, after normalisation
    RichTextSpan m_style; // the body style, its tag rewritten as a span tag
    std::vector<RichTextLine> m_lines;

    RichTextParagraph() = default;
    RichTextParagraph(const WString& text, const RichTextSpan& bodyStyle);
    void splitLines();
};

class RichTextDocument {
public:
    explicit RichTextDocument(const WString& text);

    // The runs' texts, one line per line of every paragraph; without
    // paragraphs the source itself. One final line feed is dropped.
    WString toPlainText() const;
    // Width and height in pixels: the widest line of all paragraphs, and the
    // heights of all their lines summed, plus 4.
    QSize boundingSize() const;

    WString m_source;
    WString m_body;
    RichTextSpan m_bodyStyle;
    std::vector<RichTextParagraph> m_paragraphs;

private:
    void parseBody(const WString& text);
    void parseParagraphs();
};

// The opening tag "<" + name + " style" ... ">" found at or after position.
// position becomes the tag's start (-1 when absent); end the index just
// after its '>' (-1 when absent). Empty when either is missing.
WString extractTag(const WString& name, const WString& text, int& position, int& end);

WString toWString(const QString& text);
QString fromWString(const WString& text);

// A complete rich-text document holding body as one paragraph in the font's
// size and family; alignment bit 2 right, bit 4 centred.
WString wrapRichText(const WString& body, const QFont& font, int alignment);

// The font a run is measured and drawn with: its family and size (the
// application font's where not set), bold above weight 400, italic and
// underline as the run says.
QFont runFont(const RichTextSpan& run);

// The toolkit writes a "<!DOCTYPE ...>" line before "<html>": without it the
// text begins with "<html" again, as stored label texts expect.
QString stripDoctype(const QString& html);
