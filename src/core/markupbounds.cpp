#include "core/markupbounds.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <vector>

namespace kro {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("RichText", text); }

bool isTagStart(const QString& text, qsizetype at)
{
    if (at + 1 >= text.size() || text[at] != QLatin1Char('<'))
        return false;
    const QChar c = text[at + 1];
    return c.isLetter() || c == QLatin1Char('/') || c == QLatin1Char('!') || c == QLatin1Char('?');
}

// Index just past the markup construct starting at `at` (a tag, a comment
// or a declaration); the text's end when it is not closed.
qsizetype constructEnd(const QString& text, qsizetype at)
{
    if (text.mid(at, 4) == QLatin1String("<!--")) {
        const qsizetype close = text.indexOf(QLatin1String("-->"), at + 4);
        return close < 0 ? text.size() : close + 3;
    }
    const qsizetype close = text.indexOf(QLatin1Char('>'), at + 1);
    return close < 0 ? text.size() : close + 1;
}

QString tagName(const QString& tag)
{
    qsizetype i = tag.startsWith(QLatin1String("</")) ? 2 : 1;
    const qsizetype from = i;
    while (i < tag.size() && (tag[i].isLetterOrNumber() || tag[i] == QLatin1Char('-')))
        ++i;
    return tag.mid(from, i - from).toLower();
}

bool isVoidElement(const QString& name)
{
    static const char* const names[] = {"br", "img", "hr", "meta", "link", "input", "col",
                                        "area", "base", "param", "wbr", "source"};
    return std::any_of(std::begin(names), std::end(names), [&](const char* n) { return name == QLatin1String(n); });
}

// A resource the toolkit would read: only regular files (and built-in
// resources, other schemes and missing files, which it does not read) pass.
QString resourceProblem(QString reference)
{
    reference = reference.trimmed();
    if (reference.size() >= 2 && (reference.front() == QLatin1Char('"') || reference.front() == QLatin1Char('\''))
        && reference.back() == reference.front())
        reference = reference.mid(1, reference.size() - 2);
    if (reference.isEmpty() || reference.startsWith(QLatin1Char(':')))
        return QString();
    QString path = reference;
    const QUrl url(reference);
    if (url.isValid() && !url.scheme().isEmpty() && url.scheme().size() > 1) {
        if (url.scheme() != QLatin1String("file"))
            return QString();
        path = url.toLocalFile();
    }
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return QString();
    return tr("The markup names %1, which is not a file the text can show").arg(reference);
}

// The value of an attribute of a tag ("" when absent).
QString attribute(const QString& tag, const QString& name, qsizetype from)
{
    qsizetype at = from;
    while ((at = tag.indexOf(name, at, Qt::CaseInsensitive)) >= 0) {
        const bool startsWord = at > 0 && tag[at - 1].isSpace();
        qsizetype i = at + name.size();
        while (i < tag.size() && tag[i].isSpace())
            ++i;
        if (!startsWord || i >= tag.size() || tag[i] != QLatin1Char('=')) {
            at += name.size();
            continue;
        }
        ++i;
        while (i < tag.size() && tag[i].isSpace())
            ++i;
        if (i < tag.size() && (tag[i] == QLatin1Char('"') || tag[i] == QLatin1Char('\''))) {
            const qsizetype close = tag.indexOf(tag[i], i + 1);
            return tag.mid(i + 1, (close < 0 ? tag.size() : close) - i - 1);
        }
        qsizetype end = i;
        while (end < tag.size() && !tag[end].isSpace() && tag[end] != QLatin1Char('>'))
            ++end;
        return tag.mid(i, end - i);
    }
    return QString();
}

// Every url(...) of a style text.
QString urlProblem(const QString& text)
{
    qsizetype at = 0;
    while ((at = text.indexOf(QLatin1String("url("), at, Qt::CaseInsensitive)) >= 0) {
        const qsizetype close = text.indexOf(QLatin1Char(')'), at);
        const QString problem = resourceProblem(text.mid(at + 4, (close < 0 ? text.size() : close) - at - 4));
        if (!problem.isEmpty())
            return problem;
        at += 4;
    }
    return QString();
}

// Pops the open elements back past the nearest one named in `names`, when
// it stands above every element named in `scope` (the toolkit closes an
// open cell at the next cell of the same row, and so on).
void closeImplicitly(std::vector<QString>& open, std::initializer_list<const char*> names,
                     std::initializer_list<const char*> scope)
{
    auto is = [](const QString& name, std::initializer_list<const char*> list) {
        return std::any_of(list.begin(), list.end(), [&](const char* n) { return name == QLatin1String(n); });
    };
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
        if (is(*it, scope))
            return;
        if (is(*it, names)) {
            open.erase(std::next(it).base(), open.end());
            return;
        }
    }
}

} // namespace

QString richTextProblem(const QString& text)
{
    if (text.size() > kMaxMarkupLength)
        return tr("The text is %1 characters long (at most %2)").arg(text.size()).arg(kMaxMarkupLength);
    QString problem = urlProblem(text);
    if (!problem.isEmpty())
        return problem;
    std::vector<QString> open;
    int tags = 0;
    int tables = 0;
    qsizetype shown = 0; // characters outside tags, an entity counted once
    qsizetype textFrom = 0;
    auto countShown = [&](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to; ++i, ++shown) {
            if (text[i] != QLatin1Char('&'))
                continue;
            const qsizetype semicolon = text.indexOf(QLatin1Char(';'), i);
            if (semicolon > i && semicolon - i <= 10 && semicolon < to)
                i = semicolon;
        }
        return shown <= kMaxRichTextLength;
    };
    const QString tooLong = tr("The text shows more than %1 characters").arg(kMaxRichTextLength);
    for (qsizetype at = text.indexOf(QLatin1Char('<')); at >= 0; at = text.indexOf(QLatin1Char('<'), at + 1)) {
        if (!isTagStart(text, at))
            continue;
        if (!countShown(textFrom, at))
            return tooLong;
        const qsizetype end = constructEnd(text, at);
        const QString tag = text.mid(at, end - at);
        at = end - 1;
        textFrom = end;
        const QChar second = tag.size() > 1 ? tag[1] : QChar();
        if (second == QLatin1Char('!') || second == QLatin1Char('?'))
            continue;
        const QString name = tagName(tag);
        if (second == QLatin1Char('/')) {
            const auto match = std::find(open.rbegin(), open.rend(), name);
            if (match != open.rend())
                open.erase(std::next(match).base(), open.end());
            continue;
        }
        if (++tags > kMaxMarkupTags)
            return tr("The markup holds more than %1 tags").arg(kMaxMarkupTags);
        for (const char* a : {"src", "background"}) {
            problem = resourceProblem(attribute(tag, QLatin1String(a), name.size() + 1));
            if (!problem.isEmpty())
                return problem;
        }
        if (isVoidElement(name) || tag.endsWith(QLatin1String("/>")))
            continue;
        if (name == QLatin1String("td") || name == QLatin1String("th"))
            closeImplicitly(open, {"td", "th"}, {"tr", "table"});
        else if (name == QLatin1String("tr"))
            closeImplicitly(open, {"tr"}, {"table"});
        else if (name == QLatin1String("li"))
            closeImplicitly(open, {"li"}, {"ul", "ol"});
        else if (name == QLatin1String("p"))
            closeImplicitly(open, {"p"}, {"div", "td", "th", "li", "table", "blockquote"});
        open.push_back(name);
        if (int(open.size()) > kMaxMarkupDepth)
            return tr("The markup is nested more than %1 levels deep").arg(kMaxMarkupDepth);
        if (name == QLatin1String("table")) {
            if (++tables > kMaxMarkupTables)
                return tr("The markup holds more than %1 tables").arg(kMaxMarkupTables);
            if (std::count(open.begin(), open.end(), name) > kMaxTableDepth)
                return tr("The markup nests tables more than %1 deep").arg(kMaxTableDepth);
        }
    }
    if (!countShown(textFrom, text.size()))
        return tooLong;
    return QString();
}

QString boundedRichText(const QString& text, QString* problem)
{
    const QString why = richTextProblem(text);
    if (problem)
        *problem = why.isEmpty() ? QString() : why + tr("; the text is shown without its markup");
    if (why.isEmpty())
        return text;
    // The visible characters: everything outside tags, comments and the
    // contents of style sheets and titles.
    QString shown;
    qsizetype at = 0;
    while (at < text.size() && shown.size() < kMaxRichTextLength) {
        if (!isTagStart(text, at)) {
            shown += text[at++];
            continue;
        }
        const qsizetype end = constructEnd(text, at);
        const bool opening = text[at + 1].isLetter();
        const QString name = tagName(text.mid(at, std::min<qsizetype>(end - at, 64)));
        at = end;
        if (opening && (name == QLatin1String("style") || name == QLatin1String("title"))) {
            const qsizetype close = text.indexOf(QLatin1String("</") + name, at, Qt::CaseInsensitive);
            at = close < 0 ? text.size() : close;
        }
    }
    return shown.left(kMaxRichTextLength);
}

} // namespace kro
