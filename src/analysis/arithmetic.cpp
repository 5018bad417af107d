#include "analysis/arithmetic.h"

#include "core/curveargpattern.h"
#include "core/exceptions.h"
#include "core/specialsymbols.h"
#include "core/statfunctions.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <exception>
#include <numbers>

namespace arith {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("Plotter", text); }

// The statistic call that supplies the operand; the shortest text up to a
// ")" that ends the text or stands before a blank.
const QRegularExpression& functionCall()
{
    static const QRegularExpression re(
        QStringLiteral("(minview\\(.*\\)|maxview\\(.*\\)|max\\(.*\\)|mean\\(.*\\)|median\\(.*\\)|min\\(.*\\)|"
                       "rms\\(.*\\)|stdev\\(.*\\)|sum\\(.*\\)|var\\(.*\\)|kurtosis\\(.*\\))(?=\\s|$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::InvertedGreedinessOption);
    return re;
}

// A multiple of pi as the command grammar writes it.
const QRegularExpression& piMultiple()
{
    static const QRegularExpression re(QStringLiteral("(%1)").arg(CurveArgPattern::piMultipleWord()));
    return re;
}

// The whole grammar of a command line.
CurveArgPattern commandGrammar()
{
    CurveArgPattern p(true);
    p.addReal();
    p.addPiMultiple();
    p.addFunction(true);
    p.addCurveIds();
    return p;
}

bool readNumber(const QString& text, double& value)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(text, &ok);
    if (ok)
        value = v;
    return ok;
}

// A value written into the command text so that it reads back exactly.
QString exactText(double value, int digits) { return QString::asprintf("%.*g", digits, value); }

} // namespace

void applyArithmeticToValues(std::vector<double>& values, double value, int operation, int axis)
{
    if (values.size() % 2 != 0)
        throwCorruptCurve();
    const std::size_t first = axis == Y_AXIS ? 1 : 0;
    double* v = values.data();
    const std::size_t n = values.size();
    switch (operation) {
    case ADD:
        for (std::size_t i = first; i < n; i += 2)
            v[i] = value + v[i];
        break;
    case SUB:
        for (std::size_t i = first; i < n; i += 2)
            v[i] = v[i] - value;
        break;
    case MUL:
        for (std::size_t i = first; i < n; i += 2)
            v[i] = value * v[i];
        break;
    case DIV:
        for (std::size_t i = first; i < n; i += 2)
            v[i] = v[i] / value;
        break;
    default:
        break;
    }
}

double piMultipleValue(const QString& text)
{
    static const QRegularExpression piWord(QStringLiteral("[Pp][Ii]+"));
    QString rest = text;
    rest.remove(QLatin1Char('*'));
    rest.remove(piWord);
    double factor = 0;
    if (readNumber(rest, factor))
        return factor * std::numbers::pi;
    return rest.startsWith(QLatin1Char('-')) ? -std::numbers::pi : std::numbers::pi;
}

QString shortNumber(double value) { return QString::number(value, 'g', 6); }

ArithmeticParse parseArithmeticCommand(const QString& line, const StatisticSource& source)
{
    ArithmeticParse result;
    auto refuse = [&result](const QString& text) {
        result.error = text;
        return result;
    };

    QString display = line;
    QStringList words = line.toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.size() < 2)
        return refuse(tr("Error: Operation is incomplete."));

    ArithmeticCommand cmd;
    const QString& word = words.front();
    if (word.startsWith(QLatin1String("add")))
        cmd.operation = ADD;
    else if (word.startsWith(QLatin1String("sub")))
        cmd.operation = SUB;
    else if (word.startsWith(QLatin1String("mul")))
        cmd.operation = MUL;
    else if (word.startsWith(QLatin1String("div")))
        cmd.operation = DIV;
    else
        return refuse(tr("Error: Operation %1 is undefined.").arg(word));
    cmd.axis = word.endsWith(QLatin1Char('x')) ? X_AXIS : Y_AXIS;
    words.removeFirst();
    QString work = words.join(QLatin1Char(' '));

    try {
        // A statistic as the operand.
        const QRegularExpressionMatch call = functionCall().match(work);
        if (call.hasMatch()) {
            const QString f = call.captured(1);
            CurveArgPattern fnPattern;
            fnPattern.addFunction(false);
            IdArray fnIds;
            parseIdList(f, fnIds, fnPattern, ID_ALL | ID_EMPTY_IS_ALL);
            const qsizetype open = f.indexOf(QLatin1Char('('));
            const QString args = f.mid(open).toLower();
            const bool overY = !args.contains(QLatin1Char('x'));
            QString name = f.left(open).trimmed();
            if (!name.isEmpty())
                name[0] = name[0].toUpper();
            const int code = statisticFromName(name);
            if (args.contains(QLatin1String("cj"))) {
                if (!fnIds.isAll())
                    return refuse(tr("Invalid function usage (%1): You cannot mix \"Cj\" with curve IDs.\nType "
                                     "\"help function\" for more information.")
                                      .arg(f));
                cmd.perCurve = source.perCurve(code, overY);
            } else {
                const QString value = exactText(source.aggregate(code, overY, fnIds), 20);
                work.replace(f, value);
                display.replace(f, value, Qt::CaseInsensitive);
            }
        }

        // A multiple of pi, written out as its value.
        const QRegularExpressionMatch pi = piMultiple().match(work);
        if (pi.hasMatch()) {
            const QString p = pi.captured(1);
            work.replace(p, exactText(piMultipleValue(p), 17));
        }

        // The command as it is shown, with pi as the Greek letter.
        static const QRegularExpression anyPi(QStringLiteral("/?pi"), QRegularExpression::CaseInsensitiveOption);
        display.replace(anyPi, QStringLiteral("/pi"));
        const QString shown = replaceSpecialSymbols(display);
        if (shown != line)
            cmd.conversion = tr("Operation \"%1\" converted to ->\n          \"%2\"").arg(line, shown);

        display.replace(QLatin1String("/pi"), QLatin1String("pi"));
        parseIdList(display, cmd.targets, commandGrammar(), ID_ALL | ID_EMPTY_IS_ALL);
    } catch (const kroexception& e) {
        // The grammar's own message.
        return refuse(QString::fromLocal8Bit(e.what()));
    } catch (const std::exception& e) {
        // A statistic that could not be taken (a curve that does not exist).
        return refuse(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }

    if (!cmd.perCurve) {
        const QString simplified = work.simplified();
        const qsizetype blank = simplified.indexOf(QLatin1Char(' '));
        if (!readNumber(blank < 0 ? simplified : simplified.left(blank), cmd.value))
            return refuse(tr("Error (arithmetic): No valid value was not found for operation."));
    }
    result.command = std::move(cmd);
    return result;
}

} // namespace arith
