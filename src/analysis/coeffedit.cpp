#include "analysis/coeffedit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <memory>

#include "analysis/filterdesigner.h"
#include "core/savefile.h"
#include "platform/prompter.h"

namespace {

QString g6(double v) { return QString::number(v, 'g', 6); }

QString anchored(const char* name, const QString& text)
{
    return QStringLiteral("<a name=\"%1\"></a>").arg(QLatin1String(name)) + text + QStringLiteral("<br>");
}

QString coefficientTable(const char* letter, const char* anchor, const std::vector<double>& values)
{
    const QString l = QLatin1String(letter);
    QString t = QStringLiteral("<br><table>");
    const std::size_t n = values.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i % 2 == 0) {
            if (i > 0)
                t += QStringLiteral("</tr>");
            t += QStringLiteral("<tr><td>%1<sub>%2</sub>").arg(l).arg(i);
            t += i + 1 < n ? QStringLiteral("-%1<sub>%2</sub>:</td>").arg(l).arg(i + 1) : QStringLiteral(":</td>");
        }
        t += QStringLiteral("<td><a name=\"%1\"></a>%2</td>")
                 .arg(QLatin1String(anchor), QString::number(values[i], 'g', 17));
    }
    return t + QStringLiteral("</tr></table>");
}

const char* const kWindowNames[] = {"Bartlett", "Blackman", "Boxcar", "Hamming", "Hanning", "Welch"};

// Where the anchor's character is: the block and the position in it.
bool findAnchor(const QTextDocument& doc, const QString& anchor, QTextBlock& block, int& position,
                QTextBlock from = QTextBlock())
{
    for (QTextBlock b = from.isValid() ? from : doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.isValid() && f.charFormat().anchorNames().contains(anchor)) {
                block = b;
                position = f.position() - b.position();
                return true;
            }
        }
    }
    return false;
}

} // namespace

QString coefficientDocument(int type, int response, int window, const FilterDesign& d)
{
    QString t;
    if (type == FIR)
        t = QStringLiteral("<h2><a name=\"title\"></a>Finite Impulse Response (FIR)<br>"
                           "<a name=\"window\"></a>Window: %1</h2><hr>")
                .arg(QLatin1String(kWindowNames[std::clamp(window, 0, 5)]));
    else if (type == IIR)
        t = QStringLiteral("<h2><a name=\"title\"></a>Infinite Impulse Response (IIR)<br>"
                           "<a name=\"type\"></a>Type: Butterworth</h2><hr>");
    else
        t = QStringLiteral("<h2><a name=\"title\"></a>FIR Impulse Response (FIR)<br>"
                           "<a name=\"type\"></a>Type: Moving Average</h2><hr>");

    const QString fs = anchored("fs", QStringLiteral("Sample Rate: %1").arg(g6(d.fs)));
    if (response == BANDPASS) {
        t += anchored("responsetype", QStringLiteral("Response Type: Bandpass"));
        t += fs;
        t += anchored("f0lohz", QStringLiteral("Cutoff Frequency, lo (Hz): %1").arg(g6(d.flo)));
        t += anchored("f0hihz", QStringLiteral("Cutoff Frequency, hi (Hz): %1").arg(g6(d.fhi)));
        t += anchored("f0lo", QStringLiteral("Cutoff Frequency, lo (Normalized): %1").arg(g6(d.fcNorm)));
        t += anchored("f0hi", QStringLiteral("Cutoff Frequency, hi (Normalized): %1").arg(g6(d.fhiNorm)));
    } else {
        t += anchored("responsetype", response == HIGHPASS ? QStringLiteral("Response Type: Highpass")
                                                           : QStringLiteral("Response Type: Lowpass"));
        if (response == HIGHPASS || type != SMOOTH) {
            t += fs;
            t += anchored("f0hz", QStringLiteral("Cutoff Frequency (Hz): %1").arg(g6(d.fc)));
            t += anchored("f0", QStringLiteral("Cutoff Frequency (Normalized): %1").arg(g6(d.fcNorm)));
        }
    }
    t += QStringLiteral("<a name=\"order\"></a>Order: %1<br><hr>").arg(d.order);
    t += QStringLiteral("Numerator (b) coefficents:") + coefficientTable("b", "bcoeff", d.b);
    t += QStringLiteral("Denominator (a) coefficents:") + coefficientTable("a", "acoeff", d.a);
    return t;
}

QString formatCoefficientRow(const QString& prefix, const QStringList& values)
{
    QString out = prefix;
    qsizetype width = 0;
    for (const QString& v : values)
        width = std::max(width, v.size());
    for (qsizetype i = 0; i + 1 < values.size(); ++i) {
        out += values[i] + QString(width + 1 - values[i].size(), QLatin1Char(' '));
        if ((i + 1) % 5 == 0)
            out += QStringLiteral("...\n") + QString(prefix.size(), QLatin1Char(' '));
    }
    if (!values.isEmpty())
        out += values.back() + QLatin1Char(' ');
    return out + QStringLiteral("];\n");
}

QString anchorText(const QTextDocument& doc, const QString& anchor)
{
    QTextBlock block;
    int position = 0;
    if (!findAnchor(doc, anchor, block, position))
        return QString();
    QString rest = block.text().mid(position);
    // Line breaks inside a paragraph are line separators in the document.
    const qsizetype end = rest.indexOf(QChar::LineSeparator);
    return end < 0 ? rest : rest.left(end);
}

QStringList anchoredCells(const QTextDocument& doc, const QString& anchor)
{
    QStringList cells;
    QTextBlock block;
    int position = 0;
    QTextBlock from = doc.begin();
    while (from.isValid() && findAnchor(doc, anchor, block, position, from)) {
        cells << block.text().mid(position);
        from = block.next();
    }
    return cells;
}

QString coefficientFileText(const QTextDocument& doc)
{
    QString out = QStringLiteral("% KRO Generated filter coefficients\n% ---------------------------------\n");
    for (const char* name : {"title", "window", "type", "responsetype", "fs", "f0hz", "f0", "f0lohz", "f0hihz",
                             "f0lo", "f0hi", "order"}) {
        const QString text = anchorText(doc, QLatin1String(name));
        if (!text.isNull())
            out += QStringLiteral("% ") + text + QLatin1Char('\n');
    }
    out += QStringLiteral("\n% Coefficients\n");
    out += formatCoefficientRow(QStringLiteral("b = [ "), anchoredCells(doc, QStringLiteral("bcoeff")));
    out += formatCoefficientRow(QStringLiteral("a = [ "), anchoredCells(doc, QStringLiteral("acoeff")));
    return out;
}

CoeffEdit::CoeffEdit(FiltDesign* design, QWidget* parent) : QTextEdit(parent), m_design(design) {}

void CoeffEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* exportAction = menu.addAction(tr("Export to .m script (*.m)"));
    if (kro::prompter().execMenu(&menu, event->globalPos()) == exportAction)
        exportCoefficients();
}

void CoeffEdit::exportCoefficients()
{
    QString filter;
    QString path = kro::prompter().getSaveFileName(this, tr("Save Filter Coefficients"),
                                                   m_design ? m_design->m_exportPath : QString(),
                                                   tr("Script (*.m);;Text (*.txt);;All Files (*.*)"), &filter);
    if (path.isEmpty())
        return;
    // The extension of the chosen filter: from two characters after "(" to ")".
    const qsizetype open = filter.indexOf(QLatin1Char('('));
    const qsizetype close = filter.indexOf(QLatin1Char(')'), open + 1);
    if (open >= 0 && close > open + 2) {
        const QString extension = filter.mid(open + 2, close - open - 2);
        if (extension != QLatin1String(".*") && !path.endsWith(extension))
            path += extension;
    }
    if (m_design)
        m_design->m_exportPath = path;
    // Written beside the old file and renamed over it only when complete: a
    // full disk must not leave a truncated file.
    QString why;
    if (!kro::writeFileReplacing(path, coefficientFileText(*document()).toUtf8(), &why))
        kro::prompter().warning(this, tr("Save Filter Coefficients"),
                                tr("The coefficients could not be written to %1: %2").arg(path, why));
}
