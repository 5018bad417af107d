#include "core/curveargpattern.h"

#include "core/exceptions.h"

#include <array>
#include <variant>

namespace {

constexpr auto kReOptions =
    QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption;

// Removes one leading blank or comma, then simplifies the white space again.
void dropSeparator(QString& rest)
{
    if (!rest.isEmpty() && (rest.at(0).isSpace() || rest.at(0) == QLatin1Char(',')))
        rest.remove(0, 1);
    rest = rest.simplified();
}

// The item expression of parseIdList for one set of options, compiled once:
// curve ids C<n> (marker ids M<n> with ID_MARKERS), then "all", "off" and
// "on" as the options allow.
const QRegularExpression& idItemExpression(int options)
{
    constexpr int kinds = ID_ALL | ID_OFF | ID_ON;
    static const std::array<QRegularExpression, 16> expressions = [] {
        std::array<QRegularExpression, 16> out;
        for (int i = 0; i < 16; ++i) {
            const int o = (i & kinds) | ((i & 8) ? ID_MARKERS : 0);
            QString text = (o & ID_MARKERS) ? QStringLiteral("(?:\\s*[Mm](\\d+)(?:\\W|$))")
                                            : QStringLiteral("(?:\\s*[Cc](\\d+)(?:\\W|$))");
            if (o & ID_ALL)
                text += QStringLiteral("|(all)");
            if (o & ID_OFF)
                text += QStringLiteral("|(off)");
            if (o & ID_ON)
                text += QStringLiteral("|(on)");
            out[i] = QRegularExpression(text, kReOptions);
            out[i].optimize();
        }
        return out;
    }();
    return expressions[(options & kinds) | ((options & ID_MARKERS) ? 8 : 0)];
}

} // namespace

CurveArgPattern::CurveArgPattern(bool withCommandWord)
{
    if (withCommandWord)
        addPattern(commandWordElement());
}

QString CurveArgPattern::commandWordElement() { return QStringLiteral("[0-9a-zA-Z]+\\b"); }

QString CurveArgPattern::curveIdsElement()
{
    return QStringLiteral("((^|\\s|,)[Cc]\\d+(,|\\s)?(?=(\\s|$|,)))*");
}

QString CurveArgPattern::markerIdsElement()
{
    return QStringLiteral("((^|\\s|,)[Mm]\\d+(,|\\s)?(?=(\\s|$|,)))+");
}

QString CurveArgPattern::functionElement(bool optional)
{
    return QStringLiteral("(\\w+\\((?!(\\s)*,)\\s*[xXyY]?([\\s,]*[Cc][0-9j]+)*\\))%1")
        .arg(optional ? QStringLiteral("?") : QString());
}

QString CurveArgPattern::integerElement(bool optional)
{
    return QStringLiteral("([\\s,]*[\\+-]?\\d+(?=(\\s|$|,)))%1").arg(optional ? QStringLiteral("?") : QString());
}

QString CurveArgPattern::realElement()
{
    return QStringLiteral("((^|\\s|,)([\\+-]?\\d+\\.?(\\d+)?([eE][\\+-]?\\d+)?)(?=(\\s|,|$)))?");
}

QString CurveArgPattern::realsElement(bool optional, int count)
{
    if (count > 0)
        return QStringLiteral("(((\\s|,)*[\\+-]?\\d+\\.?(\\d+)?(\\b|([eE][\\+-]?\\d+)\\b)){%1})%2")
            .arg(count)
            .arg(optional ? QStringLiteral("?") : QString());
    return QStringLiteral("((\\s|,)*[\\+-]?\\d+\\.?(\\d+)?(\\b|([eE][\\+-]?\\d+)\\b))%1")
        .arg(optional ? QStringLiteral("*") : QStringLiteral("+"));
}

QString CurveArgPattern::piMultipleWord()
{
    return QStringLiteral("((\\b|^)|[\\+-])(\\d?\\.?(\\d+)?([eE][\\+-]?\\d+)?(\\*)?)?(?=[Pp][Ii])[Pp][Ii]+");
}

void CurveArgPattern::addPattern(const QString& text)
{
    Element e;
    e.text = QStringLiteral("(^%1)").arg(text);
    // The element can only match at the start of what remains of the line,
    // whatever alternation the text itself holds.
    e.re = QRegularExpression(QStringLiteral("\\A(?:%1)").arg(e.text), kReOptions);
    m_patterns.append(std::move(e));
}

void CurveArgPattern::addWord(const QString& word, bool optional)
{
    addPattern(QStringLiteral("(%1)%2").arg(word, optional ? QStringLiteral("?") : QString()));
}

void CurveArgPattern::addCurveIds(bool) { addPattern(curveIdsElement()); }

void CurveArgPattern::addFunction(bool optional) { addPattern(functionElement(optional)); }

void CurveArgPattern::addInteger(bool optional) { addPattern(integerElement(optional)); }

void CurveArgPattern::addReal() { addPattern(realElement()); }

void CurveArgPattern::addReals(bool optional, int count) { addPattern(realsElement(optional, count)); }

void CurveArgPattern::addPiMultiple() { addWord(piMultipleWord(), true); }

QStringList CurveArgPattern::patternTexts() const
{
    QStringList out;
    for (const Element& e : m_patterns)
        out << e.text;
    return out;
}

bool CurveArgPattern::matches(const QString& text) const
{
    if (m_patterns.isEmpty() || text.isEmpty())
        return true;
    QString rest = text.simplified();
    int count = -1;
    for (const Element& e : m_patterns) {
        const QRegularExpressionMatch m = e.re.match(rest);
        if (!m.hasMatch())
            return false;
        if (m.capturedLength(0) > 0)
            ++count;
        if (m_maxArguments >= 0 && count > m_maxArguments)
            return false;
        rest.remove(0, m.capturedLength(0));
        dropSeparator(rest);
    }
    return rest.isEmpty();
}

QString CurveArgPattern::argument(const QString& text, int n) const
{
    if (m_patterns.isEmpty() || n >= m_patterns.size() || text.isEmpty())
        return QStringLiteral("");
    QString rest = text.simplified();
    int count = -1;
    for (const Element& e : m_patterns) {
        const QRegularExpressionMatch m = e.re.match(rest);
        if (!m.hasMatch())
            return QStringLiteral("");
        if (m.capturedLength(0) > 0) {
            ++count;
            if (count > n)
                return m.captured(0);
        }
        rest.remove(0, m.capturedLength(0));
        dropSeparator(rest);
    }
    return QString();
}

void validateCommand(const QString& line, const CurveArgPattern& pattern)
{
    if (!pattern.matches(line))
        throw kroexception(QStringLiteral("Command Info: The command \"%1\" is not properly formatted.").arg(line));
}

namespace {
// An id no curve or marker can have (ALL_CURVES is the largest int).
constexpr int kUnreachableId = ALL_CURVES - 1;
} // namespace

void parseIdList(const QString& text, IdArray& ids, const CurveArgPattern& pattern, int options, int* kind)
{
    const QRegularExpression& item = idItemExpression(options);
    ids = IdArray();

    // An item is a keyword (exactly as allowed, lower case) or a number.
    std::vector<std::variant<QString, int>> items;
    qsizetype pos = 0;
    for (;;) {
        const QRegularExpressionMatch m = item.match(text, pos);
        if (!m.hasMatch() || m.capturedLength(0) == 0)
            break;
        const QString t = m.captured(0);
        if (((options & ID_ALL) && t == QLatin1String("all")) || ((options & ID_OFF) && t == QLatin1String("off"))
            || ((options & ID_ON) && t == QLatin1String("on"))) {
            items.emplace_back(t);
        } else {
            bool ok = false;
            const int v = m.captured(1).toInt(&ok, 10);
            if (ok)
                items.emplace_back(v);
            else if (!m.captured(1).isEmpty())
                // A number too large for an int names a curve or marker that cannot
                // exist. It still counts as an item, so a typing slip never turns
                // the line into one that acts on every curve.
                items.emplace_back(kUnreachableId + ((options & ID_MARKERS) ? 0 : 1));
        }
        pos = m.capturedStart(0) + m.capturedLength(0);
    }

    int outcome = IDS_NONE;
    if (items.empty()) {
        ids = (options & ID_EMPTY_IS_ALL) ? IdArray::all() : IdArray();
    } else if (const QString* w = std::get_if<QString>(&items.front())) {
        if (*w == QLatin1String("off")) {
            ids = IdArray();
            outcome = IDS_OFF;
        } else {
            ids = IdArray::all();
            outcome = (*w == QLatin1String("all")) ? IDS_ALL : IDS_ON;
        }
    } else {
        const int offset = (options & ID_MARKERS) ? 0 : 1;
        std::vector<int> list;
        list.reserve(items.size());
        for (const auto& it : items) {
            // A keyword among later items counts as the number 0.
            const int v = std::holds_alternative<int>(it) ? std::get<int>(it) : 0;
            list.push_back(v - offset);
        }
        ids = IdArray::fromIds(list);
        outcome = IDS_LIST;
    }
    if (kind)
        *kind = outcome;
    validateCommand(text, pattern);
}

CurveArgPattern standardIdPattern(int options)
{
    CurveArgPattern p(true);
    if (options & ID_MARKERS)
        p.addPattern(CurveArgPattern::markerIdsElement());
    else
        p.addCurveIds();
    if (options & ID_ALL)
        p.addWord(QStringLiteral("all"), true);
    if (options & ID_ON)
        p.addWord(QStringLiteral("on"), true);
    if (options & ID_OFF)
        p.addWord(QStringLiteral("off"), true);
    return p;
}
