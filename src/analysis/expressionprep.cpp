#include "analysis/expressionprep.h"

#include "core/curvewalks.h"
#include "core/expressioninput.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <limits>

namespace expressions {

namespace {
// Pi as the evaluator reads it back exactly.
const QString& piText()
{
    static const QString text = QString::asprintf("%.17g", 3.14159265358979323846);
    return text;
}
} // namespace

std::optional<QString> prepareExpression(const QString& text)
{
    QString t = text;
    t.remove(QLatin1Char(' '));
    if (t.contains(QLatin1String("**")))
        return std::nullopt;
    static const QRegularExpression digitPi(QStringLiteral("(\\d)(?=[Pp][Ii])"));
    t.replace(digitPi, QStringLiteral("\\1*"));
    static const QRegularExpression pi(QStringLiteral("pi"), QRegularExpression::CaseInsensitiveOption);
    t.replace(pi, piText());
    t.replace(QLatin1String("//"), QLatin1String("/"));
    t.replace(QLatin1String("++"), QLatin1String("+"));
    // A doubled minus adds: "C1--C2" is C1 + C2.
    t.replace(QLatin1String("--"), QLatin1String("+"));
    return t;
}

std::vector<Reference> curveReferences(const QString& prepared)
{
    static const QRegularExpression ref(QStringLiteral("(?:c(\\d+))"), QRegularExpression::CaseInsensitiveOption);
    std::vector<Reference> out;
    QSet<QString> seen;
    for (auto it = ref.globalMatch(prepared); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        bool ok = false;
        const int n = m.captured(1).toInt(&ok);
        if (!ok || seen.contains(m.captured(0)))
            continue;
        seen.insert(m.captured(0));
        out.push_back({m.captured(0), n - 1});
    }
    return out;
}

QString expressionTitle(const QString& prepared)
{
    QString title = prepared;
    title.replace(QRegularExpression(QStringLiteral("[*]?") + QRegularExpression::escape(piText())),
                  QString(QChar(0x03C0)));
    return title;
}

std::map<std::string, CurveData> alignInputs(const std::map<std::string, const CurveData*>& inputs)
{
    std::map<std::string, CurveData> out;
    if (inputs.empty())
        return out;
    double lo = -std::numeric_limits<double>::infinity();
    double hi = std::numeric_limits<double>::infinity();
    double top = -std::numeric_limits<double>::infinity();
    for (const auto& [key, c] : inputs) {
        if (c->values.size() < 2)
            continue;
        lo = std::max(lo, c->values[0]);
        hi = std::min(hi, c->values[c->values.size() - 2]);
        top = std::max(top, c->values[c->values.size() - 2]);
    }
    // The reference: the most points within [lo, hi], the first in key order on a tie.
    const CurveData* reference = nullptr;
    long long best = -1;
    for (const auto& [key, c] : inputs) {
        long long count = 0;
        for (std::size_t i = 0; i + 1 < c->values.size(); i += 2)
            count += (lo <= c->values[i] && c->values[i] <= hi);
        if (count > best) {
            best = count;
            reference = c;
        }
    }
    // Its range: from its first point at or after lo, up to the next point
    // beyond top.
    const std::vector<double>& rv = reference->values;
    std::size_t first = 0;
    while (first + 1 < rv.size() && rv[first] < lo)
        first += 2;
    std::size_t last = first;
    if (last + 1 < rv.size())
        last += 2;
    while (last + 1 < rv.size() && !(rv[last] > top))
        last += 2;
    last = std::min(last, rv.size() - rv.size() % 2);

    CurveData range;
    if (first == 0 && last == rv.size())
        range.values = reference->values; // shared, nothing copied
    else
        range.values = CurveValues(rv.begin() + std::ptrdiff_t(first), rv.begin() + std::ptrdiff_t(last));
    const ExpressionInput onto = ExpressionInput::over(range);
    // A curve sampled at the very x values of the range needs no
    // interpolation: its own values are exact.
    auto sameX = [&range](const CurveData& c) {
        const std::vector<double>& a = c.values;
        const std::vector<double>& b = range.values;
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); i += 2)
            if (a[i] != b[i])
                return false;
        return true;
    };
    for (const auto& [key, c] : inputs) {
        if (c == reference || sameX(*c)) {
            out[key].values = c == reference ? range.values : c->values;
            continue;
        }
        std::vector<double> aligned;
        aligned.reserve(range.values.size());
        alignByX(ExpressionInput::over(*c), onto, aligned);
        out[key].values = CurveValues(std::move(aligned));
    }
    return out;
}

QString expressionPrompt(const std::map<int, quint32>& lineColours)
{
    QString text = QStringLiteral("Expression -- Construct a new curve from existing ones...<hr>"
                                  "The following curves are available:<br>");
    int i = 0;
    for (const auto& [id, colour] : lineColours) {
        text += QStringLiteral("<span style = \"color:#%1\">").arg(colour & 0xFFFFFF, 6, 16, QLatin1Char('0'));
        text += QStringLiteral("C%1 </span>").arg(id + 1);
        if (i != 0 && i % 7 == 0)
            text += QStringLiteral("<br>");
        ++i;
    }
    return text;
}

QString expressionHelp()
{
    return QStringLiteral(
        "<h3><u>Expressions</u></h3>"
        "<i>Expressions are used to construct new curves from existing curves.<br>"
        "Curves may be operated on individually or combined. When two or more<br>"
        "curves are used in a single expression, their data are automatically<br>"
        "aligned for operation by interpolating all points to match that of the <br>"
        "set with the highest sample rate.<br>"
        "<br>"
        "For example, to difference two curves, enter: C1-C2. Suppose C1 has points<br>"
        "along the x-axis at (0, 1, 2, 3, 4) and C2 has points along the x-axis at<br>"
        "(1.5, 2, 2.5, 3, 3.5, 4, 4.5). Before differencing, C1 will be trimmed to (1, 2, 3, 4)<br>"
        "since C2 has no matching point at 0, and extrapolation may lead to unpredicable<br>"
        "results. Similarly, C2 will be trimmed to (1.5, 2, 2.5, 3, 3.5, 4). Next, C1 is<br>"
        "interpolated to derive the missing points at (1.5, 2.5, 3.5). Finally, the difference<br>"
        "is computed.</i><br>"
        "<h4>Other examples:</h4><ul>"
        "<li>Convert radians to degrees: C1*(180/pi)</li>"
        "<li>Convert convert celcius to fahrenheit: C1*(9/5)+32</li>"
        "<li>Compute gain for C1(real) and C2(imag): 20*log10(sqrt(C1^2 + C2^2))<br>"
        "</ul>"
        "<h4>The following functions are available:</h4><ul>"
        "<li>cos, sin, tan, acos, asin, atan</li>"
        "<li>cosh, sinh, tanh, acosh, asinh, atanh</li>"
        "<li>abs, exp, log, log10, sqrt (square-root), cbrt (cube-root)</li>"
        "<li>erf (error function), erfc (complementary error function)</li>"
        "<li>gamma (gamma function), gammaln (log-gamma function)</li></ul>");
}

} // namespace expressions
