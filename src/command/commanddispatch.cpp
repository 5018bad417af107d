// The dispatcher of the command language: each line is matched against the
// command patterns in a fixed order; the first pattern that matches decides,
// and its handler either prepares one signal call with the parsed arguments,
// carries the command out inside the console, or reports what is wrong.
#include "command/commandedit.h"
#include "core/curveargpattern.h"
#include "core/exceptions.h"
#include "core/expression.h"
#include "core/messages.h"
#include "core/settings.h"
#include "core/stringutils.h"

#include <limits>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cfloat>
#include <map>
#include <optional>
#include <tuple>

namespace {

constexpr auto kCaseInsensitive = QRegularExpression::CaseInsensitiveOption;

// A command pattern as written, anchored at the start of the line whatever
// alternation it holds: "title my gridh on" is a title, never a grid command.
QRegularExpression anchored(const QString& pattern)
{
    QRegularExpression re(QStringLiteral("\\A(?:%1)").arg(pattern), kCaseInsensitive);
    re.optimize();
    return re;
}

QRegularExpression caseSensitive(const QString& pattern)
{
    QRegularExpression re(pattern);
    re.optimize();
    return re;
}

// What separates the numbers of a command: blanks or a comma.
const QRegularExpression& valueSeparators()
{
    static const QRegularExpression separators(QStringLiteral(R"([\s,])"));
    return separators;
}

// The value of pi the unwrap command uses.
constexpr double kUnwrapPi = 3.14159265358979;

// A usage message of the console, translatable, with the line for %1.
QString usage(const char* text, const QString& line) { return CommandEdit::tr(text).arg(line); }

} // namespace

struct CommandEdit::CommandPattern {
    // The first letters (lower case) of the lines the pattern can match; a
    // quick test before the expression runs. Empty for the script name, which
    // can start with anything but must contain ".krs".
    QString leads;
    QRegularExpression re;
    Handler handler;

    bool mayMatch(QChar first, const QString& line) const
    {
        return leads.isEmpty() ? line.contains(QLatin1String(".krs"), Qt::CaseInsensitive) : leads.contains(first);
    }
};

const std::vector<CommandEdit::CommandPattern>& CommandEdit::commandPatterns()
{
    static const std::vector<CommandPattern> table = [] {
        const auto p = [](const char* leads, const char* pattern, Handler handler) {
            return CommandPattern{QString::fromLatin1(leads), anchored(QString::fromLatin1(pattern)), handler};
        };
        return std::vector<CommandPattern>{
            p("amsd", R"((^add[xy]?|^mult?[xy]?|^sub[xy]?|^div[xy]?)(?=\s|$))", &CommandEdit::onAddFamily),
            p("b", R"((^bar)(?=\s|$))", &CommandEdit::onBar),
            p("b", R"((^barf)(loor)(?=\s|$))", &CommandEdit::onBarfloor),
            p("c", R"((^cache)(?=\s|$))", &CommandEdit::onCache),
            p("c", R"((^cacher)(etrieve)?(?=\s|$))", &CommandEdit::onCacheRetrieve),
            p("c", R"((^cd)(?=\s|$))", &CommandEdit::onCd),
            p("c", R"((^clear)(?=\s|$))", &CommandEdit::onClear),
            p("c", R"((^closeall)(?=\s|$))", &CommandEdit::onCloseAll),
            p("c", R"((^closetab|^close ?)(?=\s|$))", &CommandEdit::onCloseTab),
            p("c", R"((^copy ?)(?=\s|$))", &CommandEdit::onCopy),
            p("c", R"((^crop)(?=\s|$))", &CommandEdit::onCrop),
            p("c", R"((^csum)(?=\s|$))", &CommandEdit::onCsum),
            p("d", R"((^debug)\s+(on|enable|off|disable)(?=\s|$))", &CommandEdit::onDebug),
            p("d", R"((^diff)(\d+)?(?=\s|$))", &CommandEdit::onDiff),
            p("d", R"((^dmark)(er)?(?=\s|$))", &CommandEdit::onDmark),
            p("e", R"((^exec)(ute)?(?=\s|$))", &CommandEdit::onExec),
            p("e", R"((^exit)(?=\s|$))", &CommandEdit::onExit),
            p("e", R"((^expr)(?=\s|$))", &CommandEdit::onExpr),
            p("k", R"((^kro)(?=\s|$))", &CommandEdit::onKro),
            // A name with blanks is written in double quotes (the start-up
            // command quotes every argument holding a blank).
            p("", R"((^.+\.krs"?)(?=\s|$))", &CommandEdit::onScriptFile),
            p("f", R"((^footnote)(?=\s|$))", &CommandEdit::onFootnote),
            // A statistic call ends at the first closing parenthesis that is
            // followed by white space or the end of the line.
            p("mrsvk", R"((minview\(.*?\)|maxview\(.*?\)|max\(.*?\)|mean\(.*?\)|median\(.*?\)|min\(.*?\)|rms\(.*?\))"
              R"(|stdev\(.*?\)|sum\(.*?\)|var\(.*?\)|kurtosis\(.*?\))(?=\s|$))",
              &CommandEdit::onStatistic),
            p("g", R"((^gran|granh|granv|granx|grany)(?=\s|$))", &CommandEdit::onGran),
            p("g", R"((^grid|gridh|gridv)(?=\s|$))", &CommandEdit::onGrid),
            p("h", R"((^help)(?=\s|$))", &CommandEdit::onHelp),
            p("h", R"((^hist)(ory)?(?=\s|$))", &CommandEdit::onHistory),
            p("h", R"((^hmark)(er)?(?=\s|$))", &CommandEdit::onHmark),
            p("l", R"((^layout)(?=\s|$))", &CommandEdit::onLayout),
            p("l", R"((^legend)(?=\s|$))", &CommandEdit::onLegend),
            p("l", R"((^legendpos|^legenddock)(ition)?(?=\s|$))", &CommandEdit::onLegendPos),
            p("l", R"((^line)(s)?(?=\s|$))", &CommandEdit::onLine),
            p("l", R"((^linew)(idth)?(?=\s|$))", &CommandEdit::onLineWidth),
            p("l", R"((^link)(?=\s|$))", &CommandEdit::onLink),
            p("l", R"((^loaddevices)(?=\s|$))", &CommandEdit::onLoadDevices),
            p("ld", R"((^ls|^dir)(?:(?:\s)+(-l\w*))?(?:(?:\s)+(.*))?(?=\s|$))", &CommandEdit::onLs),
            p("m", R"((^mean)(?=\s|$))", &CommandEdit::onMean),
            p("m", R"((^meanaggr)(?=\s|$))", &CommandEdit::onMeanAggr),
            p("m", R"((^move ?)(?=\s|$))", &CommandEdit::onMove),
            p("n", R"((^newtab)(?=\s|$))", &CommandEdit::onNewTab),
            p("n", R"((^norm)(alize)?(?=\s|$))", &CommandEdit::onNorm),
            p("p", R"((^pntrad)(?=\s|$))", &CommandEdit::onPntRad),
            p("p", R"((^pnts|^pnt|^point|^points)(?=\s|$))", &CommandEdit::onPnts),
            p("p", R"((^poly)(\d+)(?=\s|$))", &CommandEdit::onPoly),
            p("p", R"((^pwd)(?=\s|$))", &CommandEdit::onPwd),
            p("r", R"((^remove)(\s)+(M\d+)+(?=\s|$))", &CommandEdit::onRemoveMarkers),
            p("r", R"((^remove)(?=\s|$))", &CommandEdit::onRemove),
            p("r", R"((^rescale)(?=\s|$))", &CommandEdit::onRescale),
            p("r", R"((^rotl)\s*(\d+)(?=\s|$))", &CommandEdit::onRotl),
            p("r", R"((^rotr)\s*(\d+)(?=\s|$))", &CommandEdit::onRotr),
            p("s", R"((^sink)(.*)?(?=\s|$))", &CommandEdit::onSink),
            p("s", R"((^smooth)(?=\s|$))", &CommandEdit::onSmooth),
            p("s", R"((^sort)(?=\s|$))", &CommandEdit::onSort),
            p("sdr", R"((^spanx|^spany|^domain|^range)(?=\s|$))", &CommandEdit::onSpan),
            p("s", R"((^stats)(?=\s|$))", &CommandEdit::onStats),
            p("t", R"((^tablabel|^tablbl)(?=\s|$))", &CommandEdit::onTabLabel),
            p("t", R"((^title)(?=\s|$))", &CommandEdit::onTitle),
            p("u", R"((^undo)(?=\s|$))", &CommandEdit::onUndo),
            p("u", R"((^unwrap)(?=\s|$))", &CommandEdit::onUnwrap),
            p("u", R"((^using)(tab)?(?=\s|$))", &CommandEdit::onUsingTab),
            p("mv", R"((^mark|^vmark)(er)?(?=\s|$))", &CommandEdit::onVmark),
            p("v", R"((^v)(erbose)?(?=\s|$))", &CommandEdit::onVerbose),
            p("v", R"((^ver)(sion)?(?=\s|$))", &CommandEdit::onVersion),
            p("x", R"((^xlabel|^xlbl)(?=\s|$))", &CommandEdit::onXLabel),
            p("y", R"((^ylabel|^ylbl)(?=\s|$))", &CommandEdit::onYLabel),
        };
    }();
    return table;
}

template <typename... Params, typename... Args>
bool CommandEdit::prepare(void (CommandEdit::*signal)(Params...), Args&&... args)
{
    m_pendingCall = [this, signal, values = std::make_tuple(std::decay_t<Params>(std::forward<Args>(args))...)]() {
        std::apply([this, signal](const auto&... a) { (this->*signal)(a...); }, values);
    };
    return true;
}

bool CommandEdit::dispatch(const QString& input)
{
    const QString line = input.trimmed();
    if (line.isEmpty())
        return false;
    const QChar first = line.at(0).toLower();
    for (const CommandPattern& pattern : commandPatterns()) {
        if (!pattern.mayMatch(first, line))
            continue;
        const QRegularExpressionMatch m = pattern.re.match(line);
        if (!m.hasMatch())
            continue;
        try {
            return (this->*pattern.handler)(line, m);
        } catch (const kroexception& e) {
            transcript(QString::fromUtf8(e.what()));
        } catch (const SCUtilities::scexception& e) {
            transcript(tr("Error: An error has occurred attempting to parse. Please check your syntax "
                                      "and try again.\nErrMsg: %1\n")
                           .arg(QString::fromUtf8(e.what())));
        } catch (const std::exception& e) {
            transcript(tr("Error: %1").arg(QString::fromUtf8(e.what())));
        }
        return false;
    }
    return fallback(line);
}

bool CommandEdit::fallback(const QString& line)
{
    if (line.isEmpty())
        return false;

    // A script named by the first word, here or in the scripts folder.
    static const QRegularExpression blanks(QStringLiteral("[ \t]"));
    const QStringList parts = line.simplified().split(blanks, Qt::SkipEmptyParts);
    const QString candidate = parts.first() + QStringLiteral(".krs");
    bool found = QFileInfo(candidate).isFile();
    if (!found && QFileInfo(candidate).fileName() == candidate)
        found = QFileInfo(QDir(getScriptsPath()).filePath(candidate)).isFile();
    if (found) {
        QString call = candidate;
        for (qsizetype i = 1; i < parts.size(); ++i)
            call += QLatin1Char(' ') + parts.at(i);
        return prepare(&CommandEdit::kroscript, call);
    }

    const CompiledExpression compiled = CompiledExpression::compile(line);
    bool ok = false;
    const double value = compiled.evaluate(nullptr, &ok, nullptr);
    if (ok) {
        // A number followed by more text is no answer to the line.
        const QString problem = describeExpressionProblem(compiled);
        if (!problem.isEmpty())
            transcript(tr("Error: %1").arg(problem));
        else
            transcript(tr("%1 = %2").arg(line, QString::number(value, 'g', 15)));
        return false;
    }

    const QString first = parts.first().toLower();
    if (findCommandHelp(m_help, first.toStdString()))
        transcript(tr("Invalid use of command \"%1\". Try \"help %1\" for proper usage.").arg(first));
    else
        transcript(tr("Command not found."));
    return false;
}

// ---------------------------------------------------------------------------
// Shared operations

QString CommandEdit::stripCommandWord(const QString& line, const QRegularExpressionMatch& m)
{
    const QString rest = line.mid(m.capturedEnd(0)).trimmed();
    return rest.isEmpty() ? QString() : rest;
}

bool CommandEdit::checkArguments(const QString& line, const QRegularExpressionMatch& m, const QString& name)
{
    if (!stripCommandWord(line, m).isNull())
        return true;
    transcript(tr("Invalid command usage (%1): Missing parameters. Type \"help %2\" for proper syntax.")
                   .arg(line, name));
    return false;
}

bool CommandEdit::isCommandWord(const QString& line, const QString& word)
{
    return line.startsWith(word, Qt::CaseInsensitive) && (line.size() == word.size() || line.at(word.size()).isSpace());
}

bool CommandEdit::parseIdArgs(const QString& line, IdArray& ids, int options, int* kind)
{
    // The standard grammars, built once for each set of options used.
    static std::map<int, CurveArgPattern> grammars;
    auto it = grammars.find(options);
    if (it == grammars.end())
        it = grammars.emplace(options, standardIdPattern(options)).first;
    try {
        parseIdList(line, ids, it->second, options, kind);
    } catch (const kroexception& e) {
        transcript(QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

bool CommandEdit::parseIdArgsWithPattern(const QString& line, IdArray& ids, const CurveArgPattern& pattern)
{
    try {
        parseIdList(line, ids, pattern, ID_EMPTY_IS_ALL);
    } catch (const kroexception& e) {
        transcript(QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

bool CommandEdit::idCommand(const QString& line, void (CommandEdit::*signal)(const IdArray&))
{
    IdArray ids;
    if (!parseIdArgs(line, ids, ID_ALL | ID_EMPTY_IS_ALL))
        return false;
    return prepare(signal, ids);
}

// ---------------------------------------------------------------------------
// Curve data commands

bool CommandEdit::onAddFamily(const QString& line, const QRegularExpressionMatch& m)
{
    if (!checkArguments(line, m, m.captured(1)))
        return false;
    return prepare(&CommandEdit::addmult, line);
}

bool CommandEdit::onCache(const QString&, const QRegularExpressionMatch&) { return prepare(&CommandEdit::cache, 1); }

bool CommandEdit::onCacheRetrieve(const QString&, const QRegularExpressionMatch&)
{
    return prepare(&CommandEdit::cache, 2);
}

bool CommandEdit::onClear(const QString&, const QRegularExpressionMatch&) { return prepare(&CommandEdit::clearplot); }

bool CommandEdit::onCrop(const QString& line, const QRegularExpressionMatch&)
{
    static const CurveArgPattern grammar = [] {
        CurveArgPattern g(true);
        g.addReals(false, 2);
        g.addReals(true, 2);
        g.addCurveIds();
        g.addWord(QStringLiteral("all"), true);
        return g;
    }();
    static const QRegularExpression four =
        caseSensitive(QStringLiteral(R"((((\s|,)*[\+-]?\d+\.?(\d+)?(\b|([eE][\+-]?\d+)\b)){4}))"));
    static const QRegularExpression two =
        caseSensitive(QStringLiteral(R"((((\s|,)*[\+-]?\d+\.?(\d+)?(\b|([eE][\+-]?\d+)\b)){2}))"));

    IdArray ids;
    parseIdList(line, ids, grammar, ID_ALL | ID_EMPTY_IS_ALL);
    QRegularExpressionMatch values = four.match(line);
    if (!values.hasMatch())
        values = two.match(line);
    std::vector<double> limits;
    for (const QString& part : values.captured(1).split(valueSeparators(), Qt::SkipEmptyParts))
        limits.push_back(part.toDouble());
    return prepare(&CommandEdit::crop, limits, ids);
}

bool CommandEdit::onCsum(const QString& line, const QRegularExpressionMatch&)
{
    return idCommand(line, &CommandEdit::csum);
}

bool CommandEdit::onDiff(const QString& line, const QRegularExpressionMatch& m)
{
    IdArray ids;
    if (!parseIdArgs(line, ids, ID_ALL | ID_EMPTY_IS_ALL))
        return false;
    const QString orderText = m.captured(2).trimmed();
    if (orderText.isEmpty())
        return prepare(&CommandEdit::differentiate, ids);
    bool ok = false;
    int order = orderText.toInt(&ok, 10);
    if (!ok)
        order = 0;
    if (order == 0) {
        transcript(tr("Invalid command (%1) usage: Difference order of %2 is not valid.\n"
                                  "Type \"help diff\" for proper syntax.")
                       .arg(line, orderText));
        return false;
    }
    return prepare(&CommandEdit::ndiff, order, ids);
}

bool CommandEdit::onExpr(const QString& line, const QRegularExpressionMatch& m)
{
    if (!checkArguments(line, m, QStringLiteral("expr")))
        return false;
    return prepare(&CommandEdit::expr, stripCommandWord(line, m));
}

bool CommandEdit::onStatistic(const QString& line, const QRegularExpressionMatch& m)
{
    static const CurveArgPattern grammar = [] {
        CurveArgPattern g(false);
        g.addFunction(false);
        return g;
    }();
    const QString call = m.captured(1);
    IdArray ids;
    parseIdList(call, ids, grammar, ID_ALL | ID_EMPTY_IS_ALL);

    const qsizetype open = call.indexOf(QLatin1Char('('));
    const QString arguments = call.mid(open).toLower();
    const char axis = arguments.contains(QLatin1Char('x')) ? 'x' : 'y';
    const bool perCurve = arguments.contains(QLatin1String("ci")) || arguments.contains(QLatin1String("cj"))
                          || arguments.contains(QLatin1String("cn"));
    if (perCurve && !ids.isAll()) {
        transcript(tr("Invalid function usage (%1): You cannot mix Cn with curve IDs.\n"
                                  "Type \"help function\" for more information.")
                       .arg(line));
        return false;
    }
    QString name = call.left(open).trimmed();
    if (!name.isEmpty())
        name[0] = name.at(0).toUpper();
    return prepare(&CommandEdit::function, name, axis, perCurve, ids);
}

bool CommandEdit::onMean(const QString& line, const QRegularExpressionMatch&)
{
    return idCommand(line, &CommandEdit::mean);
}

bool CommandEdit::onMeanAggr(const QString& line, const QRegularExpressionMatch&)
{
    return idCommand(line, &CommandEdit::meanaggr);
}

bool CommandEdit::onNorm(const QString& line, const QRegularExpressionMatch& m)
{
    static const CurveArgPattern grammar = [] {
        CurveArgPattern g(true);
        g.addReals(true, 2);
        g.addCurveIds();
        return g;
    }();
    IdArray ids;
    if (!parseIdArgsWithPattern(line, ids, grammar))
        return false;
    double lower = -1.0;
    double upper = 1.0;
    // The grammar separates the two bounds by blanks or a comma.
    const QStringList parts = stripCommandWord(line, m).split(valueSeparators(), Qt::SkipEmptyParts);
    if (parts.size() > 1) {
        bool ok = false;
        const double a = parts.at(0).toDouble(&ok);
        if (ok)
            lower = a;
        const double b = parts.at(1).toDouble(&ok);
        if (ok)
            upper = b;
    }
    return prepare(&CommandEdit::norm, lower, upper, ids);
}

bool CommandEdit::onPoly(const QString& line, const QRegularExpressionMatch& m)
{
    static const CurveArgPattern grammar = [] {
        CurveArgPattern g(true);
        for (const char* word : {"model", "overlay", "replace", "detrend"})
            g.addWord(QString::fromLatin1(word), true);
        g.addCurveIds();
        return g;
    }();
    IdArray ids;
    parseIdList(line, ids, grammar, ID_EMPTY_IS_ALL);
    bool ok = false;
    int order = m.captured(2).toInt(&ok, 10);
    if (!ok)
        order = 0;
    QString mode = QStringLiteral("overlay");
    for (const char* word : {"model", "replace", "detrend"}) {
        if (line.contains(QLatin1String(word), Qt::CaseInsensitive)) {
            mode = QString::fromLatin1(word);
            break;
        }
    }
    if (order <= 0) {
        transcript(usage("Invalid command (%1) usage: Polynomial order must be larger than 0.\n"
                         "Type \"help poly\" for proper syntax.",
                         line));
        return false;
    }
    return prepare(&CommandEdit::poly, order, mode, ids);
}

bool CommandEdit::removeIds(const QString& line, int options, void (CommandEdit::*signal)(const IdArray&))
{
    IdArray ids;
    int kind = 0;
    if (!parseIdArgs(line, ids, options, &kind))
        return false;
    if (kind == IDS_NONE) {
        transcript(usage("Invalid command usage (%1): Remove must be followed by one or more curve or marker "
                         "identifiers. Type \"help remove\" for proper syntax.",
                         line));
        return false;
    }
    return prepare(signal, ids);
}

bool CommandEdit::onRemove(const QString& line, const QRegularExpressionMatch&)
{
    return removeIds(line, ID_ALL, &CommandEdit::removeCurves);
}

bool CommandEdit::rotate(const QString& line, const QRegularExpressionMatch& m, bool left)
{
    static const CurveArgPattern grammar = [] {
        CurveArgPattern g(true);
        g.addInteger(false);
        g.addCurveIds();
        g.addWord(QStringLiteral("all"), true);
        return g;
    }();
    IdArray ids;
    parseIdList(line, ids, grammar, ID_ALL | ID_EMPTY_IS_ALL);
    bool ok = false;
    const int points = m.captured(2).toInt(&ok, 10);
    if (!ok || points <= 0) {
        transcript(tr("Invalid command (%1) usage: Rotation points must be greater than 0.\n"
                                  "Type \"help %2\" for proper syntax.")
                       .arg(line, left ? QStringLiteral("rotl") : QStringLiteral("rotr")));
        return false;
    }
    return prepare(left ? &CommandEdit::rotl : &CommandEdit::rotr, points, ids);
}

bool CommandEdit::onRotl(const QString& line, const QRegularExpressionMatch& m) { return rotate(line, m, true); }

bool CommandEdit::onRotr(const QString& line, const QRegularExpressionMatch& m) { return rotate(line, m, false); }

bool CommandEdit::onSmooth(const QString& line, const QRegularExpressionMatch& m)
{
    static const CurveArgPattern grammar = [] {
        CurveArgPattern g(true);
        g.addInteger(false);
        g.addCurveIds();
        g.addWord(QStringLiteral("all"), true);
        g.addWord(QStringLiteral("overlay|replace"), true);
        return g;
    }();
    static const QRegularExpression number = caseSensitive(QStringLiteral(R"((\s+\d+))"));
    if (!checkArguments(line, m, QStringLiteral("smooth")))
        return false;
    bool ok = false;
    const QRegularExpressionMatch found = number.match(line);
    const int points = found.hasMatch() ? found.captured(1).trimmed().toInt(&ok, 10) : 0;
    IdArray ids;
    parseIdList(line, ids, grammar, ID_ALL | ID_EMPTY_IS_ALL);
    if (!ok || points <= 2) {
        transcript(usage("Invalid command usage (%1): Type \"help smooth\" for proper syntax.", line));
        return false;
    }
    const bool replace = !line.contains(QLatin1String("overlay"), Qt::CaseInsensitive);
    return prepare(&CommandEdit::smooth, points, ids, replace);
}

bool CommandEdit::onSort(const QString& line, const QRegularExpressionMatch&)
{
    return idCommand(line, &CommandEdit::sort);
}

bool CommandEdit::onStats(const QString&, const QRegularExpressionMatch&) { return prepare(&CommandEdit::stats); }

bool CommandEdit::onUndo(const QString&, const QRegularExpressionMatch&) { return prepare(&CommandEdit::undo); }

bool CommandEdit::onUnwrap(const QString& line, const QRegularExpressionMatch& m)
{
    static const CurveArgPattern grammar = [] {
        CurveArgPattern g(true);
        g.addReal();
        g.addPiMultiple();
        g.addCurveIds();
        g.addWord(QStringLiteral("all"), true);
        return g;
    }();
    IdArray ids;
    parseIdList(line, ids, grammar, ID_ALL | ID_EMPTY_IS_ALL);

    double phase = 0.0;
    const QString rest = stripCommandWord(line, m);
    if (!rest.isNull()) {
        // The phase ends at the first blank or comma (the grammar's separators).
        const QString token = rest.section(valueSeparators(), 0, 0);
        bool ok = false;
        const double value = token.toDouble(&ok);
        if (ok) {
            phase = value;
        } else if (token.contains(QLatin1String("pi"), Qt::CaseInsensitive)) {
            phase = kUnwrapPi;
            QString factor = token;
            factor.remove(QLatin1String("pi"), Qt::CaseInsensitive);
            factor.remove(QLatin1Char('*'));
            factor = factor.trimmed();
            const double f = factor.toDouble(&ok);
            if (ok)
                phase = f * kUnwrapPi;
            else if (factor.startsWith(QLatin1Char('-')))
                phase = -kUnwrapPi;
        }
    }
    return prepare(&CommandEdit::unwrap, phase, ids);
}

// ---------------------------------------------------------------------------
// Plot appearance and annotation commands

namespace {
// "on" and "off" compared exactly; TOGGLE when nothing follows the word.
std::optional<OPTSTATES::QUADSTATE> switchWord(const QString& rest)
{
    if (rest.isNull())
        return OPTSTATES::TOGGLE;
    if (rest == QLatin1String("on"))
        return OPTSTATES::ON;
    if (rest == QLatin1String("off"))
        return OPTSTATES::OFF;
    return std::nullopt;
}
} // namespace

bool CommandEdit::onBar(const QString& line, const QRegularExpressionMatch& m)
{
    const std::optional<OPTSTATES::QUADSTATE> state = switchWord(stripCommandWord(line, m));
    if (!state) {
        transcript(usage("Invalid command (%1) usage: Type \"help bar\" for proper syntax.", line));
        return false;
    }
    return prepare(&CommandEdit::bar, *state);
}

bool CommandEdit::onBarfloor(const QString& line, const QRegularExpressionMatch&)
{
    static const CurveArgPattern grammar = [] {
        CurveArgPattern g(true);
        g.addReal();
        g.addWord(QStringLiteral("auto"), true);
        return g;
    }();
    validateCommand(line, grammar);
    const QString value = grammar.argument(line, 0);
    const double floor = value == QLatin1String("auto") ? DBL_MAX : value.toDouble();
    return prepare(&CommandEdit::barfloor, floor, value.isNull());
}

bool CommandEdit::onDmark(const QString& line, const QRegularExpressionMatch&)
{
    IdArray ids;
    int kind = 0;
    if (!parseIdArgs(line, ids, ID_MARKERS, &kind))
        return false;
    if (ids.count() != 2) {
        transcript(usage("Invalid command usage (%1): Dmarker must be followed by two valid marker identifiers. "
                         "Type \"help dmarker\" for proper syntax.",
                         line));
        return false;
    }
    return prepare(&CommandEdit::adddmarker, ids.id(0), ids.id(1));
}

bool CommandEdit::onFootnote(const QString& line, const QRegularExpressionMatch& m)
{
    return prepare(&CommandEdit::footnote, stripCommandWord(line, m));
}

bool CommandEdit::onGran(const QString& line, const QRegularExpressionMatch& m)
{
    const auto build = [](bool twoAxes) {
        CurveArgPattern g(true);
        g.setMaxArguments(1);
        g.addWord(QStringLiteral("auto"), true);
        g.addReal();
        if (twoAxes) {
            g.addWord(QStringLiteral("auto"), true);
            g.addReal();
            g.setMaxArguments(2);
        }
        return g;
    };
    static const CurveArgPattern oneAxis = build(false);
    static const CurveArgPattern bothAxes = build(true);
    const bool gran = isCommandWord(line, QStringLiteral("gran"));
    const CurveArgPattern& grammar = gran ? bothAxes : oneAxis;
    validateCommand(line, grammar);

    const QString a0 = grammar.argument(line, 0);
    const QString a1 = grammar.argument(line, 1);
    const auto value = [](const QString& a) { return a == QLatin1String("auto") ? -1.0 : a.toDouble(); };
    int state = OPTSTATES::X_NONE | OPTSTATES::Y_NONE;
    double x = 0.0;
    double y = 0.0;
    const QString word = m.captured(1).toLower();
    if (word == QLatin1String("gran") || word == QLatin1String("granv") || word == QLatin1String("granx")) {
        state &= ~OPTSTATES::X_NONE;
        if (a0.isEmpty()) {
            state |= OPTSTATES::X_QUERY;
        } else {
            state |= OPTSTATES::X_SET;
            x = value(a0);
        }
    }
    if (word == QLatin1String("granh") || word == QLatin1String("grany")) {
        state &= ~OPTSTATES::Y_NONE;
        if (a0.isEmpty()) {
            state |= OPTSTATES::Y_QUERY;
        } else {
            state |= OPTSTATES::Y_SET;
            y = value(a0);
        }
    }
    if (word == QLatin1String("gran")) {
        if (a0.isEmpty()) {
            state &= ~OPTSTATES::Y_NONE;
            state |= OPTSTATES::Y_QUERY;
        } else if (!a1.isEmpty()) {
            state &= ~OPTSTATES::Y_NONE;
            state |= OPTSTATES::Y_SET;
            y = value(a1);
        }
    }
    return prepare(&CommandEdit::gran, x, y, OPTSTATES::DIMENSION_QUERY(state));
}

bool CommandEdit::onGrid(const QString& line, const QRegularExpressionMatch&)
{
    static const QRegularExpression full =
        anchored(QStringLiteral(R"((^grid|gridh|gridv)(?:\s+)(horiz(?:ontal)?|vert(?:ical)?)?(?:\s*)(on|off)(?=\s|$))"));
    const QRegularExpressionMatch m = full.match(line);
    if (!m.hasMatch()) {
        transcript(usage("Invalid function usage (%1).\nType \"help grid\" for more information.", line));
        return false;
    }
    const QString word = m.captured(1).toLower();
    PDESIGN::GRIDLINES lines = PDESIGN::GRID_BOTH;
    if (word == QLatin1String("gridv")) {
        lines = PDESIGN::GRID_VERTICAL;
    } else if (word == QLatin1String("gridh")) {
        lines = PDESIGN::GRID_HORIZONTAL;
    } else {
        const QString direction = m.captured(2).toLower();
        if (direction.startsWith(QLatin1String("vert")))
            lines = PDESIGN::GRID_VERTICAL;
        else if (direction.startsWith(QLatin1String("horiz")))
            lines = PDESIGN::GRID_HORIZONTAL;
    }
    return prepare(&CommandEdit::grid, lines, m.captured(3).toLower() == QLatin1String("on"));
}

bool CommandEdit::onHmark(const QString& line, const QRegularExpressionMatch& m)
{
    if (!checkArguments(line, m, QStringLiteral("hmarker")))
        return false;
    return prepare(&CommandEdit::addhmarker, stripCommandWord(line, m));
}

bool CommandEdit::onLayout(const QString& line, const QRegularExpressionMatch&)
{
    static const CurveArgPattern grammar = [] {
        CurveArgPattern g(true);
        g.addWord(QStringLiteral("stacked"), true);
        g.addWord(QStringLiteral("quad"), true);
        g.setMaxArguments(1);
        return g;
    }();
    validateCommand(line, grammar);
    return prepare(&CommandEdit::layout, grammar.argument(line, 0));
}

bool CommandEdit::onLegend(const QString& line, const QRegularExpressionMatch& m)
{
    if (!checkArguments(line, m, QStringLiteral("legend")))
        return false;
    std::vector<std::string> entries = SCUtilities::splitQuoted(line.toStdString());
    if (!entries.empty())
        entries.erase(entries.begin());
    return prepare(&CommandEdit::legend, entries);
}

bool CommandEdit::onLegendPos(const QString& line, const QRegularExpressionMatch& m)
{
    const QString position = stripCommandWord(line, m).toLower();
    for (const char* word : {"off", "top", "bottom", "left", "right"})
        if (position == QLatin1String(word))
            return prepare(&CommandEdit::legendpos, position);
    transcript(usage("Invalid command usage (%1): Type \"help legendpos\" for proper syntax.", line));
    return false;
}

bool CommandEdit::linesOrPoints(const QString& line, bool points)
{
    static const CurveArgPattern grammar = [] {
        CurveArgPattern g(true);
        g.addWord(QStringLiteral("on"), true);
        g.addWord(QStringLiteral("off"), true);
        g.addCurveIds();
        return g;
    }();
    IdArray ids;
    parseIdList(line, ids, grammar, ID_EMPTY_IS_ALL);
    OPTSTATES::QUADSTATE state = OPTSTATES::TOGGLE;
    if (line.contains(QLatin1String("on")))
        state = OPTSTATES::ON;
    else if (line.contains(QLatin1String("off")))
        state = OPTSTATES::OFF;
    return prepare(points ? &CommandEdit::pnts : &CommandEdit::lines, ids, state);
}

bool CommandEdit::onLine(const QString& line, const QRegularExpressionMatch&) { return linesOrPoints(line, false); }

bool CommandEdit::onPnts(const QString& line, const QRegularExpressionMatch&) { return linesOrPoints(line, true); }

bool CommandEdit::intSettingCommand(const QString& line, const QRegularExpressionMatch& m,
                                    void (CommandEdit::*signal)(int), int lowest, int highest, const char* usageText)
{
    static const CurveArgPattern grammar = [] {
        CurveArgPattern g(true);
        g.addInteger(true);
        return g;
    }();
    validateCommand(line, grammar);
    const QString rest = stripCommandWord(line, m);
    if (rest.isNull())
        return prepare(signal, -1);
    bool ok = false;
    const int value = rest.toInt(&ok, 10);
    if (ok && value >= lowest && value <= highest)
        return prepare(signal, value);
    transcript(usage(usageText, line));
    return false;
}

bool CommandEdit::onLineWidth(const QString& line, const QRegularExpressionMatch& m)
{
    return intSettingCommand(line, m, &CommandEdit::linewidth, 0, std::numeric_limits<int>::max(),
                             QT_TR_NOOP("Invalid command (%1) usage: Linewidth must be followed by a valid integer\n"
                                        "greater than or equal to 0. Type \"help linewidth\" for proper syntax."));
}

bool CommandEdit::onPntRad(const QString& line, const QRegularExpressionMatch& m)
{
    return intSettingCommand(line, m, &CommandEdit::pntrad, 1, 100,
                             QT_TR_NOOP("Invalid command (%1) usage: Pntrad must be followed by a valid integer\n"
                                        "between 1 and 100 inclusive. Type \"help pntrad\" for proper syntax."));
}

bool CommandEdit::onRemoveMarkers(const QString& line, const QRegularExpressionMatch&)
{
    return removeIds(line, ID_MARKERS, &CommandEdit::removeMarkers);
}

bool CommandEdit::onRescale(const QString&, const QRegularExpressionMatch&) { return prepare(&CommandEdit::rescale); }

bool CommandEdit::onSpan(const QString& line, const QRegularExpressionMatch& m)
{
    static const CurveArgPattern grammar = [] {
        CurveArgPattern g(true);
        g.addReals(true, 2);
        g.addWord(QStringLiteral("auto"), true);
        return g;
    }();
    static const QRegularExpression separators(QStringLiteral("[ \t,;]"));
    validateCommand(line, grammar);
    const QString word = m.captured(1).toLower();
    const bool xAxis = word == QLatin1String("domain") || word == QLatin1String("spanx");
    const QStringList parts = stripCommandWord(line, m).split(separators, Qt::SkipEmptyParts);
    if (parts.size() == 1 && parts.at(0).compare(QLatin1String("auto"), Qt::CaseInsensitive) == 0)
        return prepare(&CommandEdit::span, std::make_pair(-1.0, -1.0), xAxis);
    if (parts.size() >= 2) {
        const double a = parts.at(0).toDouble();
        const double b = parts.at(1).toDouble();
        if (b > a)
            return prepare(&CommandEdit::span, std::make_pair(a, b), xAxis);
    }
    transcript(tr("Invalid command (%1) usage: %2 must be followed by a list of two valid values,\n"
                              "with value1 < value2. Type \"help %3\" for help.")
                   .arg(line, xAxis ? QStringLiteral("Spanx") : QStringLiteral("Spany"),
                        xAxis ? QStringLiteral("spanx") : QStringLiteral("spany")));
    return false;
}

bool CommandEdit::onTitle(const QString& line, const QRegularExpressionMatch& m)
{
    return prepare(&CommandEdit::title, stripCommandWord(line, m));
}

bool CommandEdit::onVmark(const QString& line, const QRegularExpressionMatch& m)
{
    static const CurveArgPattern grammar = [] {
        CurveArgPattern g(true);
        g.addReals(false, 0);
        return g;
    }();
    if (!checkArguments(line, m, QStringLiteral("vmarker")))
        return false;
    validateCommand(line, grammar);
    return prepare(&CommandEdit::addvmarker, stripCommandWord(line, m));
}

bool CommandEdit::onXLabel(const QString& line, const QRegularExpressionMatch& m)
{
    return prepare(&CommandEdit::xlabel, stripCommandWord(line, m));
}

bool CommandEdit::onYLabel(const QString& line, const QRegularExpressionMatch& m)
{
    return prepare(&CommandEdit::ylabel, stripCommandWord(line, m));
}

// ---------------------------------------------------------------------------
// Tab, file and system commands

bool CommandEdit::onCd(const QString& line, const QRegularExpressionMatch& m)
{
    return prepare(&CommandEdit::cd, stripCommandWord(line, m));
}

bool CommandEdit::onCloseAll(const QString&, const QRegularExpressionMatch&) { return prepare(&CommandEdit::closeall); }

bool CommandEdit::onCloseTab(const QString& line, const QRegularExpressionMatch& m)
{
    return prepare(&CommandEdit::closetab, stripCommandWord(line, m));
}

bool CommandEdit::onCopy(const QString& line, const QRegularExpressionMatch& m)
{
    if (!checkArguments(line, m, QStringLiteral("copy")))
        return false;
    return prepare(&CommandEdit::copycurves, stripCommandWord(line, m));
}

bool CommandEdit::onDebug(const QString&, const QRegularExpressionMatch& m)
{
    const QString word = m.captured(2).toLower();
    const bool on = word == QLatin1String("on") || word == QLatin1String("enable");
    kro::setDebugMode(on);
    return prepare(&CommandEdit::debug, on);
}

bool CommandEdit::onExec(const QString& line, const QRegularExpressionMatch& m)
{
    if (!checkArguments(line, m, QStringLiteral("exec")))
        return false;
    return prepare(&CommandEdit::exec, stripCommandWord(line, m));
}

bool CommandEdit::onExit(const QString&, const QRegularExpressionMatch&) { return prepare(&CommandEdit::exit); }

bool CommandEdit::onKro(const QString& line, const QRegularExpressionMatch& m)
{
    if (!checkArguments(line, m, QStringLiteral("kro")))
        return false;
    return prepare(&CommandEdit::kroplot, line);
}

bool CommandEdit::onScriptFile(const QString& line, const QRegularExpressionMatch&)
{
    return prepare(&CommandEdit::kroscript, line);
}

bool CommandEdit::onHelp(const QString& line, const QRegularExpressionMatch& m)
{
    const QString rest = stripCommandWord(line, m);
    if (rest.isNull())
        showHelpList();
    else
        showCommandHelp(rest.toStdString());
    return false;
}

void CommandEdit::showHelpList() { transcript(commandHelpList(m_help)); }

void CommandEdit::showCommandHelp(const std::string& word)
{
    if (const CommandHelp* entry = findCommandHelp(m_help, word))
        transcript(entry->text);
    else
        transcript(tr("No help available - command is invalid."));
}

bool CommandEdit::onHistory(const QString& line, const QRegularExpressionMatch&)
{
    static const CurveArgPattern grammar = [] {
        CurveArgPattern g(true);
        g.addWord(QStringLiteral("clear"), true);
        return g;
    }();
    validateCommand(line, grammar);
    if (grammar.argument(line, 0) == QLatin1String("clear")) {
        m_history.clear();
        m_history.add(line);
        return false;
    }
    // A typed "history" was recorded before it ran: it leaves the list. A
    // line run from a script was not recorded, and the entry before it stays.
    m_history.removeLastIf(line);
    if (m_history.isEmpty()) {
        transcript(tr("The command history is empty."));
        return false;
    }
    QString text;
    int number = 1;
    for (const QString& entry : m_history.entries())
        text += QStringLiteral("%1: %2\n").arg(number++).arg(entry);
    transcript(text);
    return false;
}

bool CommandEdit::onLink(const QString& line, const QRegularExpressionMatch&)
{
    static const CurveArgPattern grammar = [] {
        CurveArgPattern g(true);
        g.addWord(QStringLiteral(R"((\d{1,3}\.){3}\d{1,3})"), false);
        g.addInteger(false);
        g.addWord(QStringLiteral(".+"), false);
        g.setMaxArguments(3);
        return g;
    }();
    validateCommand(line, grammar);
    bool ok = false;
    const int port = grammar.argument(line, 1).trimmed().toInt(&ok, 10);
    if (!ok || port < 1 || port > 65535) {
        transcript(usage("Invalid command (%1) usage: The port must be a number from 1 to 65535. "
                         "Type \"help link\" for proper syntax.",
                         line));
        return false;
    }
    return prepare(&CommandEdit::link, grammar.argument(line, 0), uint(port), grammar.argument(line, 2).trimmed());
}

bool CommandEdit::onLoadDevices(const QString& line, const QRegularExpressionMatch&)
{
    static const CurveArgPattern grammar = [] {
        CurveArgPattern g(true);
        g.addWord(QStringLiteral(R"(.*\.json(\s|$))"), false);
        g.setMaxArguments(1);
        return g;
    }();
    validateCommand(line, grammar);
    return prepare(&CommandEdit::loaddevices, grammar.argument(line, 0).trimmed());
}

bool CommandEdit::onLs(const QString& line, const QRegularExpressionMatch& m)
{
    const QString option = m.captured(2);
    if (!option.isEmpty() && option != QLatin1String("-l")) {
        transcript(tr("Invalid command (%1) usage: argument %2 is unrecognized. Did you mean \"-l\"?")
                       .arg(line, option));
        return false;
    }
    const QString path = m.captured(3).trimmed();
    return prepare(&CommandEdit::ls, path.isNull() ? QStringLiteral("") : path, !option.isEmpty());
}

bool CommandEdit::onMove(const QString& line, const QRegularExpressionMatch& m)
{
    if (!checkArguments(line, m, QStringLiteral("move")))
        return false;
    return prepare(&CommandEdit::movecurves, stripCommandWord(line, m));
}

bool CommandEdit::onNewTab(const QString& line, const QRegularExpressionMatch& m)
{
    return prepare(&CommandEdit::newtab, stripCommandWord(line, m));
}

bool CommandEdit::onPwd(const QString&, const QRegularExpressionMatch&) { return prepare(&CommandEdit::pwd); }

bool CommandEdit::onSink(const QString&, const QRegularExpressionMatch& m)
{
    const QString argument = m.captured(2).trimmed();
    const QString word = argument.toLower();
    if (argument.isEmpty())
        reportLogState();
    else if (word == QLatin1String("on") || word == QLatin1String("enable"))
        enableLogFile(true);
    else if (word == QLatin1String("off") || word == QLatin1String("disable"))
        enableLogFile(false);
    else
        setLogFile(argument);
    return false;
}

bool CommandEdit::onTabLabel(const QString& line, const QRegularExpressionMatch& m)
{
    if (!checkArguments(line, m, QStringLiteral("tablabel")))
        return false;
    return prepare(&CommandEdit::tablabel, stripCommandWord(line, m));
}

bool CommandEdit::onUsingTab(const QString& line, const QRegularExpressionMatch& m)
{
    if (!checkArguments(line, m, QStringLiteral("usingtab")))
        return false;
    return prepare(&CommandEdit::usingtab, stripCommandWord(line, m));
}

bool CommandEdit::onVerbose(const QString& line, const QRegularExpressionMatch& m)
{
    const std::optional<OPTSTATES::QUADSTATE> state = switchWord(stripCommandWord(line, m));
    if (!state) {
        transcript(usage("Invalid command (%1) usage: Type \"help verbose\" for proper syntax.", line));
        return false;
    }
    return prepare(&CommandEdit::verbosestate, *state);
}

bool CommandEdit::onVersion(const QString&, const QRegularExpressionMatch&)
{
    transcript(getVersion() + QLatin1Char('\n') + getBuildDate());
    return false;
}
