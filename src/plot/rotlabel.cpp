#include "plot/rotlabel.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

#include "core/richtext.h"
#include "core/specialsymbols.h"
#include "platform/prompter.h"

namespace {
int roundUpToEven(int v) { return (v % 2 != 0) ? v + 1 : v; }
} // namespace

RotLabel::RotLabel(const QString& text, QWidget* parent, double angle) : ActionLabel(text, parent), m_angle(angle)
{
    QLabel::clear();
    setText(text);
    adjustSize();
}

QSize RotLabel::rotatedExtents(QSize doc, double angleDegrees)
{
    const double a = std::fabs(angleDegrees) * 3.14159265359 / 180.0;
    const int W = roundUpToEven(doc.width());
    const int H = roundUpToEven(doc.height());
    // Beyond 90 degrees the cosine turns negative; the magnitudes keep the
    // extents covering the rotated text.
    const double s = std::fabs(std::sin(a));
    const double c = std::fabs(std::cos(a));
    const int w = roundUpToEven(static_cast<int>(s * H + c * W));
    const int h = roundUpToEven(static_cast<int>(c * H + s * W));
    return {w, h};
}

void RotLabel::setAngle(double degrees)
{
    m_angle = degrees;
    updateSize();
    update();
}

int RotLabel::rotatedWidth()
{
    QSize doc;
    richTextDocument(m_text, &doc);
    m_docSize = doc;
    return rotatedExtents(doc, m_angle).width();
}

void RotLabel::updateSize()
{
    QSize doc;
    richTextDocument(m_text, &doc);
    m_docSize = doc;
    const QSize r = rotatedExtents(doc, m_angle);
    m_rotatedWidth = r.width();
    m_rotatedHeight = r.height();
    setMinimumWidth(m_rotatedWidth);
    setMinimumHeight(m_rotatedHeight);
}

void RotLabel::setFont(const QFont& font)
{
    QLabel::setFont(font);
    updateSize();
}

void RotLabel::adjustSize()
{
    resize(m_rotatedWidth, m_rotatedHeight);
    setMinimumSize(m_rotatedWidth, m_rotatedHeight);
}

void RotLabel::setText(const QString& text)
{
    if (text.isNull())
        return;
    m_text = acceptedText(text);
    updateSize();
    update();
}

void RotLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int w = width(), h = height();
    p.setWindow(-(w / 2), -(h / 2), w, h);
    p.rotate(m_angle);

    const QString doc = richTextDocument(m_text);
    const RichTextDocument rich(toWString(doc));
    const int dw = m_docSize.width(), dh = m_docSize.height();
    const QColor ink = m_color.isValid() ? m_color : QColor(Qt::black);
    if (rich.m_paragraphs.empty()) {
        p.setFont(font());
        p.setPen(ink);
        p.drawText(QRect(-(dw / 2), -(dh / 2), dw, dh), Qt::AlignTop | Qt::AlignHCenter, m_text);
        return;
    }

    auto spanFont = [](const RichTextSpan& span) {
        QFont f = runFont(span);
        if (span.m_superscript || span.m_subscript) {
            const int size = f.pointSize() > 0 ? f.pointSize() : 10;
            f.setPointSize(std::max(1, size * 2 / 3));
        }
        return f;
    };

    // First pass: line heights and span widths.
    struct LineMetrics {
        const RichTextLine* line;
        int height = 0;
        std::vector<int> widths;
        int total = 0;
    };
    std::vector<LineMetrics> lines;
    for (const RichTextParagraph& para : rich.m_paragraphs) {
        for (const RichTextLine& line : para.m_lines) {
            LineMetrics lm{&line, 0, {}, 0};
            for (const RichTextSpan& span : line.m_spans) {
                const QFontMetrics fm(spanFont(span));
                lm.height = std::max(lm.height, fm.height());
                const int sw = fm.horizontalAdvance(fromWString(span.m_text));
                lm.widths.push_back(sw);
                lm.total += sw;
            }
            lines.push_back(std::move(lm));
        }
    }
    double totalHeight = 0;
    for (const LineMetrics& lm : lines)
        totalHeight += lm.height;

    // Second pass: each line centred on the horizontal axis, the block of
    // lines on the vertical axis; each span at its place within its line.
    double above = 0;
    for (const LineMetrics& lm : lines) {
        double before = 0;
        for (std::size_t n = 0; n < lm.line->m_spans.size(); ++n) {
            const RichTextSpan& span = lm.line->m_spans[n];
            p.setFont(spanFont(span));
            QPen pen = p.pen();
            pen.setColor(span.m_hasColor ? QColor::fromRgb(QRgb(span.m_color)) : ink);
            p.setPen(pen);
            int shift = 0;
            if (span.m_superscript)
                shift = -(lm.height / 3);
            else if (span.m_subscript)
                shift = lm.height / 3;
            const int y = static_cast<int>(above + lm.height * 0.5 - totalHeight * 0.5 + (-(dh / 2)) + shift);
            const double centre = before + lm.widths[n] * 0.5 - lm.total * 0.5;
            const int x = static_cast<int>(centre + (-(dw / 2)));
            p.drawText(QRect(x, y, dw, dh), Qt::AlignCenter, fromWString(span.m_text));
            before += lm.widths[n];
        }
        above += lm.height;
    }
}

void RotLabel::mouseReleaseEvent(QMouseEvent* e)
{
    handleRelease(e);
    if (e->button() == Qt::RightButton) {
        const auto value = kro::prompter().getInt(this, tr("Set label rotation"), tr("Enter degree (default -90):"),
                                                  static_cast<int>(m_angle), -180, 180, 1);
        if (value && double(*value) != m_angle) {
            m_angle = *value;
            updateSize();
            update();
            adjustSize();
            Q_EMIT textSet(m_text);
        }
    }
    e->accept();
}
