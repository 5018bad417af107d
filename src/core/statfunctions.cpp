#include "core/statfunctions.h"

#include "core/curveargpattern.h"
#include "core/curvestats.h"
#include "core/idarray.h"

#include <cmath>
#include <stdexcept>

int statisticFromName(const std::string& name)
{
    using namespace StatisticFunction;
    static const struct {
        const char* name;
        Code code;
    } table[] = {{"Max", MAX},   {"Mean", MEAN}, {"Median", MEDIAN},     {"Min", MIN},
                 {"Rms", RMS},   {"Stdev", STDEV}, {"Sum", SUM},         {"Var", VAR},
                 {"Kurtosis", KURTOSIS}, {"Minview", MINVIEW}, {"Maxview", MAXVIEW}};
    for (const auto& row : table)
        if (name == row.name)
            return row.code;
    return NONE;
}

int statisticFromName(const QString& name) { return statisticFromName(name.toStdString()); }

std::vector<int> expandCurveList(const CurveMap& curves, const std::vector<int>& ids)
{
    if (!ids.empty() && ids.front() == ALL_CURVES) {
        std::vector<int> keys;
        keys.reserve(curves.size());
        for (const auto& [key, curve] : curves)
            keys.push_back(key);
        return keys;
    }
    return ids;
}

const QRegularExpression& statisticCallRegExp()
{
    // Lazy quantifiers: a call ends at the first ')' followed by white space
    // or the end of the text.
    static const QRegularExpression re(
        QStringLiteral("(minview\\(.*?\\)|maxview\\(.*?\\)|max\\(.*?\\)|mean\\(.*?\\)|median\\(.*?\\)|min\\(.*?\\)"
                       "|rms\\(.*?\\)|stdev\\(.*?\\)|sum\\(.*?\\)|var\\(.*?\\)|kurtosis\\(.*?\\))(?=\\s|$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    return re;
}

namespace {
// The call from its first '(' on, lower-cased.
QString argumentPart(const QString& call) { return call.mid(call.indexOf(QLatin1Char('('))).toLower(); }
} // namespace

bool functionsFreeOfCurveOperator(const QString& text)
{
    qsizetype pos = 0;
    for (;;) {
        const QRegularExpressionMatch m = statisticCallRegExp().match(text, pos);
        if (!m.hasMatch())
            return true;
        const QString args = argumentPart(m.captured(1));
        if (args.contains(QLatin1String("ci")) || args.contains(QLatin1String("cj"))
            || args.contains(QLatin1String("cn")))
            return false;
        pos = m.capturedStart(0) + m.capturedLength(0);
    }
}

QString substituteStatistics(const CurveMap& curves, const ViewRect& view, const QString& text)
{
    QString work = text;
    for (;;) {
        const QRegularExpressionMatch m = statisticCallRegExp().match(work);
        if (!m.hasMatch())
            return work;
        const QString call = m.captured(1);

        CurveArgPattern pattern(false);
        pattern.addFunction(false);
        IdArray ids;
        parseIdList(call, ids, pattern, ID_ALL | ID_EMPTY_IS_ALL);

        const int axis = argumentPart(call).contains(QLatin1Char('x')) ? 0 : 1;
        QString name = call.left(call.indexOf(QLatin1Char('('))).trimmed();
        if (!name.isEmpty())
            name[0] = name[0].toUpper();
        const double value = evaluateStatistic(curves, statisticFromName(name), axis, view, ids.ids());
        work.replace(call, QString::number(value, 'g', 20));
    }
}

double evaluateStatistic(const CurveMap& curves, int function, int axis, const ViewRect& view,
                         const std::vector<int>& ids)
{
    using namespace StatisticFunction;
    switch (function) {
    case MINVIEW:
        return view.range(axis).min;
    case MAXVIEW:
        return view.range(axis).max;
    case MAX:
    case MIN:
    case MEAN:
    case MEDIAN:
    case RMS:
    case STDEV:
    case SUM:
    case VAR:
    case KURTOSIS:
        break;
    default:
        throw std::runtime_error("Warning: Function has not been implemented.");
    }

    std::vector<int> list = expandCurveList(curves, ids);
    if (list.empty())
        list = expandCurveList(curves, {ALL_CURVES});
    const IdArray selection = IdArray::fromIds(list);
    switch (function) {
    case MAX:
    case MIN: {
        const PointXY p = extremeOfCurveList(curves, selection, function == MAX ? 1 : 0, axis);
        return axis == 0 ? p.first : p.second;
    }
    case MEAN:
        return sumOfCurveList(curves, selection, axis) / static_cast<double>(pointCountOfCurveList(curves, selection));
    case MEDIAN:
        return medianOfCurveList(curves, selection, axis);
    case RMS:
        return rmsOfCurveList(curves, selection, axis);
    case STDEV:
        return std::sqrt(varianceOfCurveList(curves, selection, axis));
    case SUM:
        return sumOfCurveList(curves, selection, axis);
    case VAR:
        return varianceOfCurveList(curves, selection, axis);
    default:
        return kurtosisOfCurveList(curves, selection, axis);
    }
}
