#include "core/richtext.h"

#include <QColor>
#include <QFontMetrics>
#include <QGuiApplication>

#include <climits>
#include <cmath>
#include <cstdint>

namespace {

const WString kBreak = u"<br />";
const WString kSpanClose = u"</span>";
const WString kSpanStyle = u"<span style";

// Position of what in s at or after from, -1 when absent.
int findFrom(const WString& s, const WString& what, int from)
{
    if (from < 0)
        from = 0;
    if (static_cast<size_t>(from) > s.size())
        return -1;
    const size_t p = s.find(what, static_cast<size_t>(from));
    return p == WString::npos ? -1 : static_cast<int>(p);
}

int findFrom(const WString& s, char16_t what, int from)
{
    return findFrom(s, WString(1, what), from);
}

bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

WString trimmed(const WString& s)
{
    size_t b = 0, e = s.size();
    while (b < e && isSpace(s[b]))
        ++b;
    while (e > b && isSpace(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

WString lowered(WString s)
{
    for (char16_t& c : s)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    return s;
}

// The value of the first run of digits in text, clamped to int; -1 when the
// text holds no digit.
int firstNumber(const WString& text)
{
    size_t i = 0;
    while (i < text.size() && !isDigit(text[i]))
        ++i;
    if (i == text.size())
        return -1;
    std::int64_t value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > INT_MAX)
            return INT_MAX;
    }
    return static_cast<int>(value);
}

int hexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// A colour value: hexadecimal ("#ff0000", "0xFF0000", "ff0000") read from
// the right, a character that is not a digit counting as 0; a colour name
// ("red") through the toolkit's colour names.
int colorValue(const WString& value)
{
    WString v = value;
    bool hexForm = !v.empty() && v[0] == u'#';
    if (v.size() > 2 && v[0] == u'0' && (v[1] == u'x' || v[1] == u'X')) {
        v = v.substr(2);
        hexForm = true;
    }
    if (!hexForm) {
        bool allHex = true;
        for (char16_t c : v)
            allHex = allHex && hexDigit(c) >= 0;
        if (!allHex) {
            const QColor named(QString::fromStdU16String(v));
            if (named.isValid())
                return static_cast<int>(named.rgb() & 0xFFFFFF);
        }
    }
    std::uint32_t sum = 0;
    std::uint32_t weight = 1;
    int count = 0;
    for (auto it = v.rbegin(); it != v.rend() && count < 8; ++it, ++count) {
        const int d = hexDigit(*it);
        sum += static_cast<std::uint32_t>(d < 0 ? 0 : d) * weight;
        weight <<= 4;
    }
    return static_cast<int>(sum);
}

// The first family of a font-family value, without its quotes.
WString familyValue(const WString& value)
{
    const WString v = trimmed(value);
    if (!v.empty() && (v[0] == u'\'' || v[0] == u'"')) {
        const size_t close = v.find(v[0], 1);
        return trimmed(v.substr(1, close == WString::npos ? WString::npos : close - 1));
    }
    return trimmed(v.substr(0, v.find(u',')));
}

// The text of a tag's style attribute; empty when it has none.
WString styleAttribute(const WString& tag)
{
    size_t p = 0;
    while ((p = tag.find(u"style", p)) != WString::npos) {
        // Only a whole attribute name counts (not "xstyle" or "style-x").
        const bool startsName = p > 0 && isSpace(tag[p - 1]);
        size_t q = p + 5;
        while (q < tag.size() && isSpace(tag[q]))
            ++q;
        if (!startsName || q >= tag.size() || tag[q] != u'=') {
            p += 5;
            continue;
        }
        ++q;
        while (q < tag.size() && isSpace(tag[q]))
            ++q;
        if (q < tag.size() && (tag[q] == u'"' || tag[q] == u'\'')) {
            const size_t close = tag.find(tag[q], q + 1);
            return tag.substr(q + 1, close == WString::npos ? WString::npos : close - q - 1);
        }
        size_t e = q;
        while (e < tag.size() && !isSpace(tag[e]) && tag[e] != u'>')
            ++e;
        return tag.substr(q, e - q);
    }
    return {};
}

template <typename From, typename To>
void copyStyle(const From& from, To& to)
{
    to.m_fontFamily = from.m_fontFamily;
    to.m_fontWeight = from.m_fontWeight;
    to.m_fontSize = from.m_fontSize;
    to.m_italic = from.m_italic;
    to.m_underline = from.m_underline;
    to.m_superscript = from.m_superscript;
    to.m_subscript = from.m_subscript;
    to.m_hasColor = from.m_hasColor;
    to.m_color = from.m_color;
}

// The value of a number attribute (width="16") of an image tag; 0 when the
// tag does not give one.
int imageSizeAttribute(const RichTextImage& image, const WString& name)
{
    const size_t a = image.m_tag.find(name);
    if (a == WString::npos)
        return 0;
    size_t i = a;
    while (i < image.m_tag.size() && !isDigit(image.m_tag[i]))
        ++i;
    size_t e = i;
    while (e < image.m_tag.size() && isDigit(image.m_tag[e]))
        ++e;
    if (i == image.m_tag.size() || e == image.m_tag.size())
        return 0;
    std::uint64_t value = 0;
    for (size_t k = i; k < e; ++k) {
        value = value * 10 + (image.m_tag[k] - u'0');
        if (value > INT_MAX)
            return INT_MAX;
    }
    return static_cast<int>(value);
}

// The value of the src attribute, without quotes.
WString imageSource(const RichTextImage& image)
{
    const size_t a = image.m_tag.find(u"src=");
    if (a == WString::npos)
        return {};
    size_t q = a + 4;
    if (q < image.m_tag.size() && (image.m_tag[q] == u'"' || image.m_tag[q] == u'\'')) {
        const size_t close = image.m_tag.find(image.m_tag[q], q + 1);
        if (close != WString::npos)
            return image.m_tag.substr(q + 1, close - q - 1);
        ++q;
    }
    size_t e = q;
    while (e < image.m_tag.size() && !isSpace(image.m_tag[e]) && image.m_tag[e] != u'>')
        ++e;
    WString value = image.m_tag.substr(q, e - q);
    if (!value.empty() && value.back() == u'/' && e < image.m_tag.size())
        value.pop_back();
    return value;
}

} // namespace

void RichTextSpan::parseStyle(const WString& tag)
{
    m_italic = false;
    m_underline = false;
    m_superscript = false;
    m_subscript = false;
    // Declarations in order; a later declaration of a property wins, and
    // each property reads only its own value.
    const WString style = styleAttribute(tag);
    size_t start = 0;
    while (start <= style.size()) {
        size_t end = style.find(u';', start);
        if (end == WString::npos)
            end = style.size();
        const WString declaration = style.substr(start, end - start);
        start = end + 1;
        const size_t colon = declaration.find(u':');
        if (colon == WString::npos)
            continue;
        const WString name = lowered(trimmed(declaration.substr(0, colon)));
        const WString value = trimmed(declaration.substr(colon + 1));
        const WString lowValue = lowered(value);
        if (name == u"font-size") {
            m_fontSize = firstNumber(value);
        } else if (name == u"font-family") {
            m_fontFamily = familyValue(value);
        } else if (name == u"font-weight") {
            if (lowValue == u"bold" || lowValue == u"bolder")
                m_fontWeight = 700;
            else if (lowValue == u"normal")
                m_fontWeight = 400;
            else if (lowValue == u"lighter")
                m_fontWeight = 300;
            else
                m_fontWeight = firstNumber(value);
        } else if (name == u"font-style") {
            m_italic = lowValue == u"italic" || lowValue == u"oblique";
        } else if (name == u"text-decoration") {
            m_underline = lowValue.find(u"underline") != WString::npos;
        } else if (name == u"vertical-align") {
            m_superscript = lowValue == u"super";
            m_subscript = lowValue == u"sub";
        } else if (name == u"color") {
            m_hasColor = true;
            m_color = colorValue(value);
        }
    }
}

RichTextImage::RichTextImage(const WString& runText)
{
    const size_t b = runText.find(u"<img ");
    if (b == WString::npos)
        return;
    const size_t g = runText.find(u'>', b);
    m_tag = runText.substr(b, g == WString::npos ? WString::npos : g - b + 1);
    m_src = imageSource(*this);
    if (m_src.empty())
        return;
    m_width = imageSizeAttribute(*this, u"width");
    const int h = imageSizeAttribute(*this, u"height");
    // Enlarged by a tenth; a height near the int limit stays at the limit.
    m_height = static_cast<int>(std::min<double>(std::trunc(h + h * 0.1), INT_MAX));
}

void RichTextLine::parseRuns(const WString& piece)
{
    int p = 0;
    for (;;) {
        int e = -1;
        const WString tag = extractTag(u"span", piece, p, e);
        if (e < 0)
            return;
        const int c = findFrom(piece, kSpanClose, e);
        if (c < 0)
            return;
        WString inner = piece.substr(static_cast<size_t>(e), static_cast<size_t>(c - e));

        RichTextSpan span;
        span.parseStyle(tag);
        if (span.m_fontFamily.empty())
            span.m_fontFamily = m_fontFamily;
        if (span.m_fontSize == 0)
            span.m_fontSize = m_fontSize;
        if (span.m_fontWeight == 0)
            span.m_fontWeight = m_fontWeight;

        RichTextImage image(inner);
        if (!image.m_tag.empty()) {
            inner.erase(inner.find(u"<img "), image.m_tag.size());
            m_images.push_back(image);
        }
        span.m_text = inner;
        m_spans.push_back(span);
        // Go on just after this opening tag.
        p = e;
    }
}

RichTextParagraph::RichTextParagraph(const WString& text, const RichTextSpan& bodyStyle)
    : m_text(text), m_style(bodyStyle)
{
    const WString from = u"body style";
    const WString to = u"span style";
    size_t p = 0;
    while ((p = m_style.m_text.find(from, p)) != WString::npos) {
        m_style.m_text.replace(p, from.size(), to);
        p += to.size();
    }
    splitLines();
}

void RichTextParagraph::splitLines()
{
    // Close every span before a line break and reopen it after, so that each
    // run lies within one line.
    int p = 0;
    while (findFrom(m_text, kBreak, p) >= 0) {
        int t = p;
        int e = -1;
        const WString tag = extractTag(u"span", m_text, t, e);
        if (t < 0 || e < 0)
            break;
        const int c = findFrom(m_text, kSpanClose, e);
        if (c < 0) {
            m_text += kSpanClose;
            break;
        }
        const int b = findFrom(m_text, kBreak, e);
        if (b >= 0 && b < c) {
            m_text.insert(static_cast<size_t>(b), kSpanClose);
            m_text.insert(static_cast<size_t>(b) + kSpanClose.size() + kBreak.size(), tag);
            p = t;
        } else {
            p = e;
        }
    }

    // Cut into lines at the breaks, and each line into runs.
    int s = 0;
    for (;;) {
        const int c = findFrom(m_text, kBreak, s);
        const WString lineText = c < 0 ? m_text.substr(static_cast<size_t>(s))
                                       : m_text.substr(static_cast<size_t>(s), static_cast<size_t>(c - s));
        RichTextLine line;
        line.m_text = lineText;
        copyStyle(m_style, line);

        int d = 0;
        for (;;) {
            const int e = findFrom(lineText, kSpanStyle, d);
            if (e < 0)
                break;
            if (e > d) {
                // Text before the span is a run in the paragraph's style.
                line.parseRuns(m_style.m_text + lineText.substr(static_cast<size_t>(d), static_cast<size_t>(e - d)) +
                               kSpanClose);
                d = e;
            }
            const int f = findFrom(lineText, kSpanClose, e);
            if (f < 0) {
                // A span left open closes at the end of its line.
                line.parseRuns(lineText.substr(static_cast<size_t>(d)) + kSpanClose);
                d = static_cast<int>(lineText.size());
                break;
            }
            line.parseRuns(lineText.substr(static_cast<size_t>(d), static_cast<size_t>(f) + kSpanClose.size() - d));
            d = f + static_cast<int>(kSpanClose.size());
        }
        line.parseRuns(m_style.m_text + lineText.substr(static_cast<size_t>(d)) + kSpanClose);
        m_lines.push_back(std::move(line));
        if (c < 0)
            break;
        s = c + static_cast<int>(kBreak.size());
    }
}

RichTextDocument::RichTextDocument(const WString& text) : m_source(text)
{
    parseBody(text);
    parseParagraphs();
}

void RichTextDocument::parseBody(const WString& text)
{
    const int s = findFrom(text, u"<body style", 0);
    if (s < 0)
        return;
    const int g = findFrom(text, u'>', s);
    if (g < 0)
        return;
    m_bodyStyle.m_text = text.substr(static_cast<size_t>(s), static_cast<size_t>(g - s + 1));
    m_bodyStyle.parseStyle(m_bodyStyle.m_text);
    const int c = findFrom(text, u"</body>", s);
    if (c < 0)
        return;
    m_body = text.substr(static_cast<size_t>(g + 1), static_cast<size_t>(c - g - 1));
}

void RichTextDocument::parseParagraphs()
{
    int p = 0;
    for (;;) {
        const int o = findFrom(m_body, u"<p", p);
        if (o < 0)
            return;
        const int g = findFrom(m_body, u'>', o);
        if (g < 0)
            return;
        const int c = findFrom(m_body, u"</p>", g);
        if (c < 0)
            return;
        m_paragraphs.emplace_back(m_body.substr(static_cast<size_t>(g + 1), static_cast<size_t>(c - g - 1)),
                                  m_bodyStyle);
        p = c;
    }
}

WString RichTextDocument::toPlainText() const
{
    WString result;
    if (m_paragraphs.empty()) {
        result = m_source;
    } else {
        for (const RichTextParagraph& paragraph : m_paragraphs)
            for (const RichTextLine& line : paragraph.m_lines) {
                for (const RichTextSpan& span : line.m_spans)
                    result += span.m_text;
                result += u'\n';
            }
    }
    if (!result.empty() && result.back() == u'\n')
        result.pop_back();
    return result;
}

QSize RichTextDocument::boundingSize() const
{
    if (m_paragraphs.empty()) {
        const QFontMetrics metrics(QGuiApplication::font());
        return QSize(metrics.horizontalAdvance(fromWString(m_source)), metrics.height() + 4);
    }
    // Sums in 64 bits, clamped: huge image sizes never wrap to negative.
    long long width = 0;
    long long height = 0;
    for (const RichTextParagraph& paragraph : m_paragraphs)
        for (const RichTextLine& line : paragraph.m_lines) {
            long long lineWidth = 0;
            int lineHeight = 0;
            for (const RichTextImage& image : line.m_images) {
                lineWidth += image.m_width;
                lineHeight = std::max(lineHeight, image.m_height);
            }
            for (const RichTextSpan& span : line.m_spans) {
                const QFontMetrics metrics(runFont(span));
                lineWidth += metrics.horizontalAdvance(fromWString(span.m_text));
                lineHeight = std::max(lineHeight, metrics.height());
            }
            width = std::max(width, lineWidth);
            height += lineHeight;
        }
    const auto clamped = [](long long v) { return static_cast<int>(std::min<long long>(v, INT_MAX)); };
    return QSize(clamped(width), clamped(height + 4));
}

WString extractTag(const WString& name, const WString& text, int& position, int& end)
{
    position = findFrom(text, u"<" + name + u" style", position);
    if (position < 0) {
        end = -1;
        return {};
    }
    const int g = findFrom(text, u'>', position);
    if (g < 0) {
        end = -1;
        return {};
    }
    end = g + 1;
    return text.substr(static_cast<size_t>(position), static_cast<size_t>(end - position));
}

WString toWString(const QString& text)
{
    if (text.isNull())
        return {};
    return text.toStdU16String();
}

QString fromWString(const WString& text)
{
    return QString::fromStdU16String(text);
}

WString wrapRichText(const WString& body, const QFont& font, int alignment)
{
    WString result = u"<html><head><meta name=\"qrichtext\" content=\"1\" />";
    result += u"</head><body style=\"font-size:";
    result += toWString(QString::number(font.pointSize()));
    result += u"pt;font-family:";
    result += toWString(font.family());
    result += u"\">\n";
    if (alignment & 2)
        result += u"<p align=\"right\">";
    else if (alignment & 4)
        result += u"<p align=\"center\">";
    else
        result += u"<p>";
    result += body;
    result += u"</p>\n</body></html>";
    return result;
}

QFont runFont(const RichTextSpan& run)
{
    QFont font = QGuiApplication::font();
    if (!run.m_fontFamily.empty())
        font.setFamily(fromWString(run.m_fontFamily));
    if (run.m_fontSize > 0)
        font.setPointSize(run.m_fontSize);
    if (run.m_fontWeight > 400)
        font.setWeight(QFont::Bold);
    else if (run.m_fontWeight > 0)
        font.setWeight(static_cast<QFont::Weight>(run.m_fontWeight));
    font.setItalic(run.m_italic);
    font.setUnderline(run.m_underline);
    return font;
}

QString stripDoctype(const QString& html)
{
    qsizetype start = 0;
    while (start < html.size() && html.at(start).isSpace())
        ++start;
    if (!QStringView(html).mid(start).startsWith(QLatin1String("<!DOCTYPE"), Qt::CaseInsensitive))
        return html;
    qsizetype end = html.indexOf(QLatin1Char('>'), start);
    if (end < 0)
        return html;
    ++end;
    while (end < html.size() && html.at(end).isSpace())
        ++end;
    return html.mid(end);
}
