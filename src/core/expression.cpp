#include "core/expression.h"

#include <QRegularExpression>

#include <boost/math/special_functions/acosh.hpp>
#include <boost/math/special_functions/asinh.hpp>
#include <boost/math/special_functions/atanh.hpp>
#include <boost/math/special_functions/cbrt.hpp>
#include <boost/math/special_functions/erf.hpp>
#include <boost/math/special_functions/gamma.hpp>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <limits>
#include <locale.h>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
// The constant pi has always been this decimal (not the double nearest pi).
constexpr double kPi = 3.14159265358979;

// The function names in the order they are tried.
const char* const kFunctionNames[] = {"cos",   "sin",   "tan",   "acos", "asin", "atan",  "cosh",   "sinh",
                                      "tanh",  "acosh", "asinh", "atanh", "abs", "exp",   "log",    "log10",
                                      "sqrt",  "cbrt",  "erf",   "erfc", "gamma", "gammaln"};
constexpr int kFunctionCount = sizeof(kFunctionNames) / sizeof(kFunctionNames[0]);

// A word character as regular expressions know it: letter, number, mark, '_'.
bool isWordChar(QChar c) { return c.isLetterOrNumber() || c.isMark() || c == QLatin1Char('_'); }

// A number conversion that does not depend on the process locale.
locale_t cLocale()
{
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

// Reads a whole run as a number; false when the run is empty, unreadable,
// out of range or not read to its end.
bool convertRun(const QString& run, double& value)
{
    if (run.isEmpty())
        return false;
    const QByteArray latin = run.toLatin1();
    const char* begin = latin.constData();
    char* stop = nullptr;
    errno = 0;
    const double v = strtod_l(begin, &stop, cLocale());
    if (stop == begin || errno == ERANGE || stop != begin + latin.size())
        return false;
    value = v;
    return true;
}

template <typename F>
double guarded(F f)
{
    try {
        return f();
    } catch (...) {
        // Domain, pole and overflow errors of the special functions.
        return kInf;
    }
}

class Compiler {
public:
    Compiler(const QString& text, const QStringList& keys, std::vector<CompiledExpression::Instr>& code)
        : t(text), n(text.size()), keys(keys), code(code)
    {
    }

    // Returns true when the scan stopped at a stray character.
    bool top()
    {
        parseTerm();
        const bool stray = additiveRest();
        if (stray)
            note(ch() == QLatin1Char(')') ? ExpressionProblem::UnmatchedClose : ExpressionProblem::TrailingText, pos);
        return stray;
    }

    ExpressionProblem problem;

private:
    using Op = CompiledExpression::Op;
    const QString& t;
    const qsizetype n;
    const QStringList& keys;
    std::vector<CompiledExpression::Instr>& code;
    qsizetype pos = 0;
    int depth = 0;
    static constexpr int kMaxNesting = kMaxExpressionNesting;

    // Keeps the first problem found.
    void note(ExpressionProblem::Kind kind, qsizetype at, qsizetype length = 0)
    {
        if (problem.kind == ExpressionProblem::None)
            problem = {kind, at, length};
    }

    QChar ch() const { return pos < n ? t.at(pos) : QChar(); }
    void skipBlanks()
    {
        while (pos < n && t.at(pos) == QLatin1Char(' '))
            ++pos;
    }
    void put(Op op, int arg = 0, double value = 0) { code.push_back({op, arg, value}); }

    // The '+' and '-' terms after a first term; true when the scan stopped at
    // a character that is no operator, false at the end of the text.
    bool additiveRest()
    {
        while (pos < n) {
            skipBlanks();
            const QChar c = ch();
            if (c != QLatin1Char('+') && c != QLatin1Char('-'))
                return true;
            ++pos;
            parseTerm();
            put(c == QLatin1Char('+') ? CompiledExpression::Add : CompiledExpression::Sub);
        }
        return false;
    }

    void parseExpression()
    {
        parseTerm();
        additiveRest();
    }

    void parseTerm()
    {
        parseFactor();
        while (pos < n) {
            skipBlanks();
            const QChar op = ch();
            if (op != QLatin1Char('*') && op != QLatin1Char('/') && op != QLatin1Char('^'))
                break;
            ++pos;
            parseFactor();
            skipBlanks();
            bool exponent = false;
            if (ch() == QLatin1Char('^')) {
                ++pos;
                parseFactor();
                exponent = true;
            }
            if (op == QLatin1Char('*'))
                put(exponent ? CompiledExpression::MulExp : CompiledExpression::Mul);
            else if (op == QLatin1Char('/'))
                put(exponent ? CompiledExpression::DivExp : CompiledExpression::Div);
            else
                put(exponent ? CompiledExpression::PowExp : CompiledExpression::Pow);
        }
    }

    int matchFunction()
    {
        for (int f = 0; f < kFunctionCount; ++f) {
            const QLatin1String name(kFunctionNames[f]);
            const qsizetype len = name.size();
            // The name must be followed by a non-word character.
            if (pos + len < n && QStringView(t).mid(pos, len) == name && !isWordChar(t.at(pos + len))) {
                pos += len;
                return f;
            }
        }
        return -1;
    }

    void parseFactor()
    {
        bool negate = false;
        int function = -1;
        if (ch() == QLatin1Char('-')) {
            negate = true;
            ++pos;
        } else {
            function = matchFunction();
        }
        if (ch() == QLatin1Char('(')) {
            const qsizetype open = pos;
            ++pos;
            const std::size_t mark = code.size();
            if (++depth > kMaxNesting) {
                // Deeper than any real expression: no value, and no
                // recursion that could exhaust the stack.
                note(ExpressionProblem::TooDeep, open);
                code.resize(mark);
                put(CompiledExpression::PushInvalid);
                pos = n + 1;
                return;
            }
            parseExpression();
            --depth;
            if (ch() != QLatin1Char(')')) {
                if (pos < n)
                    note(ExpressionProblem::TrailingText, pos);
                else
                    note(ExpressionProblem::MissingClose, open);
                code.resize(mark);
                put(CompiledExpression::PushInvalid);
            }
            ++pos;
        } else {
            numberRun();
        }
        if (negate)
            put(CompiledExpression::Neg);
        if (function >= 0)
            put(CompiledExpression::Func, function);
    }

    // The longest run of letters and digits of any script, '.', a '-' first
    // in the run, or a '-' or '+' right after an 'e' or 'E' of the run.
    void numberRun()
    {
        const qsizetype start = pos;
        while (pos < n) {
            const QChar c = t.at(pos);
            const bool first = pos == start;
            const QChar prev = first ? QChar() : t.at(pos - 1);
            const bool afterE = !first && (prev == QLatin1Char('e') || prev == QLatin1Char('E'));
            if (c.isLetterOrNumber() || c == QLatin1Char('.') || (c == QLatin1Char('-') && (first || afterE))
                || (c == QLatin1Char('+') && afterE))
                ++pos;
            else
                break;
        }
        const QString run = t.mid(start, pos - start);
        if (!keys.isEmpty() && reference(run))
            return;
        double v = 0;
        if (convertRun(run, v)) {
            put(CompiledExpression::PushConst, 0, v);
            return;
        }
        put(CompiledExpression::PushInvalid);
        // A word before a parenthesis is meant as a function.
        if (!run.isEmpty() && run.at(0).isLetter() && ch() == QLatin1Char('('))
            note(ExpressionProblem::UnknownFunction, start, run.size());
    }

    // A run that names a curve reference. Returns false when the run holds
    // no reference at all (it is then read as a number).
    bool reference(const QString& run)
    {
        const bool minus = run.startsWith(QLatin1Char('-'));
        const QStringView body = QStringView(run).mid(minus ? 1 : 0);
        for (int i = 0; i < keys.size(); ++i) {
            const QString& key = keys.at(i);
            int slot = -1;
            if (body == key)
                slot = 2 * i + 1;
            else if (body.size() == key.size() + 1 && body.startsWith(key) && body.back() == QLatin1Char('x'))
                slot = 2 * i;
            if (slot >= 0) {
                put(minus ? CompiledExpression::PushNegSlot : CompiledExpression::PushSlot, slot);
                return true;
            }
        }
        // A reference glued to other characters ("2C1", "C1e2") is no number.
        for (const QString& key : keys) {
            qsizetype from = 0;
            for (;;) {
                const qsizetype at = run.indexOf(key, from);
                if (at < 0)
                    break;
                const qsizetype after = at + key.size();
                const QChar next = after < run.size() ? run.at(after) : QChar();
                if (next < QLatin1Char('0') || next > QLatin1Char('9')) {
                    put(CompiledExpression::PushInvalid);
                    return true;
                }
                from = at + 1;
            }
        }
        return false;
    }
};

} // namespace

double applyExpressionFunction(int f, double v)
{
    switch (f) {
    case 0:
        return std::cos(v);
    case 1:
        return std::sin(v);
    case 2:
        return std::tan(v);
    case 3:
        return std::acos(v);
    case 4:
        return std::asin(v);
    case 5:
        return std::atan(v);
    case 6:
        return std::cosh(v);
    case 7:
        return std::sinh(v);
    case 8:
        return std::tanh(v);
    case 9:
        return guarded([v] { return boost::math::acosh(v); });
    case 10:
        return guarded([v] { return boost::math::asinh(v); });
    case 11:
        return guarded([v] { return boost::math::atanh(v); });
    case 12:
        return std::fabs(v);
    case 13:
        return std::exp(v);
    case 14:
        return std::log(v);
    case 15:
        return std::log10(v);
    case 16:
        return std::sqrt(v);
    case 17:
        return guarded([v] { return boost::math::cbrt(v); });
    case 18:
        return guarded([v] { return boost::math::erf(v); });
    case 19:
        return guarded([v] { return boost::math::erfc(v); });
    case 20:
        return guarded([v] { return boost::math::tgamma(v); });
    case 21:
        return guarded([v] { return boost::math::lgamma(v); });
    default:
        return std::numeric_limits<double>::quiet_NaN();
    }
}

QString rewritePi(const QString& text)
{
    if (!text.contains(QLatin1String("pi")) && !text.contains(QLatin1String("PI"))
        && !text.contains(QLatin1String("Pi")))
        return text;
    // The whole number before pi (never digits that end a word such as C1).
    static const QRegularExpression form(
        QStringLiteral("(?<![\\w.])((?:\\d+\\.?\\d*|\\.\\d+)?(?:[eE][+-]?\\d+)?)(\\*)?([Pp][Ii]+)"),
        QRegularExpression::UseUnicodePropertiesOption);
    QString out;
    out.reserve(text.size() + 16);
    qsizetype last = 0;
    auto it = form.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        bool isNumber = false;
        double multiplier = m.captured(1).toDouble(&isNumber);
        if (!isNumber)
            multiplier = 1;
        out += QStringView(text).mid(last, m.capturedStart(0) - last);
        out += QString::number(kPi * multiplier, 'f', 14);
        last = m.capturedEnd(0);
    }
    out += QStringView(text).mid(last);
    return out;
}

CompiledExpression CompiledExpression::compile(const QString& text, const QStringList& keys)
{
    CompiledExpression e;
    e.m_text = rewritePi(text);
    Compiler c(e.m_text, keys, e.m_code);
    e.m_strayEnd = c.top();
    e.m_problem = c.problem;
    int depth = 0;
    for (const Instr& in : e.m_code) {
        switch (in.op) {
        case PushConst:
        case PushInvalid:
        case PushSlot:
        case PushNegSlot:
            ++depth;
            break;
        case Neg:
        case Func:
            break;
        case MulExp:
        case DivExp:
        case PowExp:
            depth -= 2;
            break;
        default:
            --depth;
            break;
        }
        e.m_depth = std::max(e.m_depth, depth);
    }
    return e;
}

bool CompiledExpression::readsSlot(int slot) const
{
    return std::any_of(m_code.begin(), m_code.end(), [slot](const Instr& in) {
        return (in.op == PushSlot || in.op == PushNegSlot) && in.arg == slot;
    });
}

double CompiledExpression::evaluate(const double* bound, bool* ok, ExpressionEvaluator* evaluator) const
{
    ExpressionEvaluator local;
    ExpressionEvaluator& ev = evaluator ? *evaluator : local;
    const std::size_t need = static_cast<std::size_t>(std::max(m_depth, 1));
    if (ev.m_values.size() < need) {
        ev.m_values.resize(need);
        ev.m_valid.resize(need);
    }
    double* v = ev.m_values.data();
    unsigned char* k = ev.m_valid.data();
    std::ptrdiff_t sp = -1;
    for (const Instr& in : m_code) {
        switch (in.op) {
        case PushConst:
            ++sp;
            v[sp] = in.value;
            k[sp] = 1;
            break;
        case PushInvalid:
            ++sp;
            v[sp] = 0;
            k[sp] = 0;
            break;
        case PushSlot:
            ++sp;
            v[sp] = bound[in.arg];
            k[sp] = 1;
            break;
        case PushNegSlot:
            ++sp;
            v[sp] = -bound[in.arg];
            k[sp] = 1;
            break;
        case Neg:
            v[sp] = -v[sp];
            break;
        case Func:
            if (k[sp])
                v[sp] = applyExpressionFunction(in.arg, v[sp]);
            break;
        case Mul:
            --sp;
            k[sp] &= k[sp + 1];
            v[sp] *= v[sp + 1];
            break;
        case Div:
            --sp;
            k[sp] &= k[sp + 1] & (v[sp + 1] != 0);
            v[sp] /= v[sp + 1];
            break;
        case Pow:
            --sp;
            k[sp] &= k[sp + 1];
            v[sp] = std::pow(v[sp], v[sp + 1]);
            break;
        case MulExp:
        case DivExp:
        case PowExp: {
            sp -= 2;
            const unsigned char valid = k[sp] & k[sp + 1] & k[sp + 2];
            const double right = valid ? std::pow(v[sp + 1], v[sp + 2]) : 0.0;
            k[sp] = valid;
            if (in.op == MulExp) {
                v[sp] *= right;
            } else if (in.op == DivExp) {
                k[sp] &= (right != 0);
                v[sp] /= right;
            } else {
                v[sp] = std::pow(v[sp], right);
            }
            break;
        }
        case Add:
            --sp;
            k[sp] &= k[sp + 1];
            v[sp] += v[sp + 1];
            break;
        case Sub:
            --sp;
            k[sp] &= k[sp + 1];
            v[sp] -= v[sp + 1];
            break;
        }
    }
    const bool valid = sp == 0 && k[0];
    if (ok)
        *ok = valid;
    if (valid)
        return v[0];
    return m_strayEnd ? 0.0 : kInf;
}

namespace {

// f applied to the valid values of a block.
template <typename F>
void mapValid(double* v, const unsigned char* k, std::size_t n, F f)
{
    for (std::size_t i = 0; i < n; ++i)
        if (k[i])
            v[i] = f(v[i]);
}

// Function number f of the table over a block; the common functions run in
// tight loops, the special functions one value at a time.
void applyFunctionBlock(int f, double* v, const unsigned char* k, std::size_t n)
{
    switch (f) {
    case 0:
        return mapValid(v, k, n, [](double a) { return std::cos(a); });
    case 1:
        return mapValid(v, k, n, [](double a) { return std::sin(a); });
    case 2:
        return mapValid(v, k, n, [](double a) { return std::tan(a); });
    case 12:
        return mapValid(v, k, n, [](double a) { return std::fabs(a); });
    case 13:
        return mapValid(v, k, n, [](double a) { return std::exp(a); });
    case 14:
        return mapValid(v, k, n, [](double a) { return std::log(a); });
    case 15:
        return mapValid(v, k, n, [](double a) { return std::log10(a); });
    case 16:
        return mapValid(v, k, n, [](double a) { return std::sqrt(a); });
    default:
        return mapValid(v, k, n, [f](double a) { return applyExpressionFunction(f, a); });
    }
}

} // namespace

void CompiledExpression::evaluateBlock(const double* const* columns, std::size_t stride, std::size_t n,
                                       double* values, unsigned char* ok, ExpressionEvaluator* evaluator) const
{
    if (n == 0)
        return;
    n = std::min(n, kBlock);
    ExpressionEvaluator local;
    ExpressionEvaluator& ev = evaluator ? *evaluator : local;
    const std::size_t need = static_cast<std::size_t>(std::max(m_depth, 1)) * kBlock;
    if (ev.m_blockValues.size() < need) {
        ev.m_blockValues.resize(need);
        ev.m_blockValid.resize(need);
    }
    // Level l of the stack is the block at l * kBlock.
    auto val = [&ev](std::ptrdiff_t level) { return ev.m_blockValues.data() + level * std::ptrdiff_t(kBlock); };
    auto val_ok = [&ev](std::ptrdiff_t level) { return ev.m_blockValid.data() + level * std::ptrdiff_t(kBlock); };
    std::ptrdiff_t sp = -1;
    for (const Instr& in : m_code) {
        switch (in.op) {
        case PushConst: {
            ++sp;
            std::fill_n(val(sp), n, in.value);
            std::fill_n(val_ok(sp), n, static_cast<unsigned char>(1));
            break;
        }
        case PushInvalid:
            ++sp;
            std::fill_n(val(sp), n, 0.0);
            std::fill_n(val_ok(sp), n, static_cast<unsigned char>(0));
            break;
        case PushSlot:
        case PushNegSlot: {
            ++sp;
            double* v = val(sp);
            const double* src = columns[in.arg];
            if (in.op == PushSlot)
                for (std::size_t i = 0; i < n; ++i)
                    v[i] = src[i * stride];
            else
                for (std::size_t i = 0; i < n; ++i)
                    v[i] = -src[i * stride];
            std::fill_n(val_ok(sp), n, static_cast<unsigned char>(1));
            break;
        }
        case Neg: {
            double* v = val(sp);
            for (std::size_t i = 0; i < n; ++i)
                v[i] = -v[i];
            break;
        }
        case Func:
            applyFunctionBlock(in.arg, val(sp), val_ok(sp), n);
            break;
        case Mul:
        case Div:
        case Pow:
        case Add:
        case Sub: {
            --sp;
            double* a = val(sp);
            const double* b = val(sp + 1);
            unsigned char* ka = val_ok(sp);
            const unsigned char* kb = val_ok(sp + 1);
            for (std::size_t i = 0; i < n; ++i)
                ka[i] &= kb[i];
            switch (in.op) {
            case Mul:
                for (std::size_t i = 0; i < n; ++i)
                    a[i] *= b[i];
                break;
            case Div:
                for (std::size_t i = 0; i < n; ++i) {
                    ka[i] &= (b[i] != 0);
                    a[i] /= b[i];
                }
                break;
            case Pow:
                for (std::size_t i = 0; i < n; ++i)
                    a[i] = std::pow(a[i], b[i]);
                break;
            case Add:
                for (std::size_t i = 0; i < n; ++i)
                    a[i] += b[i];
                break;
            default:
                for (std::size_t i = 0; i < n; ++i)
                    a[i] -= b[i];
                break;
            }
            break;
        }
        case MulExp:
        case DivExp:
        case PowExp: {
            sp -= 2;
            double* a = val(sp);
            const double* base = val(sp + 1);
            const double* exponent = val(sp + 2);
            unsigned char* ka = val_ok(sp);
            const unsigned char* kb = val_ok(sp + 1);
            const unsigned char* kc = val_ok(sp + 2);
            for (std::size_t i = 0; i < n; ++i) {
                const unsigned char valid = ka[i] & kb[i] & kc[i];
                const double right = valid ? std::pow(base[i], exponent[i]) : 0.0;
                ka[i] = valid;
                if (in.op == MulExp) {
                    a[i] *= right;
                } else if (in.op == DivExp) {
                    ka[i] &= (right != 0);
                    a[i] /= right;
                } else {
                    a[i] = std::pow(a[i], right);
                }
            }
            break;
        }
        }
    }
    const double invalid = m_strayEnd ? 0.0 : kInf;
    if (sp != 0) {
        std::fill_n(values, n, invalid);
        std::fill_n(ok, n, static_cast<unsigned char>(0));
        return;
    }
    const double* v = val(0);
    const unsigned char* k = val_ok(0);
    for (std::size_t i = 0; i < n; ++i) {
        ok[i] = k[i];
        values[i] = k[i] ? v[i] : invalid;
    }
}

QString describeExpressionProblem(const CompiledExpression& compiled, QString (*show)(const QString&))
{
    const ExpressionProblem& p = compiled.problem();
    const QString& text = compiled.text();
    auto shown = [show](const QString& piece) { return show ? show(piece) : piece; };
    const QString head = shown(text.left(p.at).trimmed());
    const QString rest = shown(text.mid(p.at).trimmed());
    switch (p.kind) {
    case ExpressionProblem::None:
        return {};
    case ExpressionProblem::UnmatchedClose:
        return QStringLiteral("Unmatched \")\": the expression stops after \"%1\" and \"%2\" is left over.")
            .arg(head, rest);
    case ExpressionProblem::TrailingText:
        return QStringLiteral("Text after the end of the expression: it stops after \"%1\" and \"%2\" is left over.")
            .arg(head, rest);
    case ExpressionProblem::MissingClose:
        return head.isEmpty()
                   ? QStringLiteral("Missing \")\": the \"(\" at the start of the expression is never closed.")
                   : QStringLiteral("Missing \")\": the \"(\" after \"%1\" is never closed.").arg(head);
    case ExpressionProblem::UnknownFunction: {
        const QString name = text.mid(p.at, p.length);
        QStringList names;
        for (const char* f : kFunctionNames)
            names << QLatin1String(f);
        if (names.contains(name.toLower()))
            return QStringLiteral("Unknown function \"%1\": function names are written in lower case (%2).")
                .arg(name, name.toLower());
        const QString last = names.takeLast();
        return QStringLiteral("Unknown function \"%1\". The functions are %2 and %3.")
            .arg(name, names.join(QStringLiteral(", ")), last);
    }
    case ExpressionProblem::TooDeep:
        return QStringLiteral("The expression is too deeply nested: more than %1 levels of parentheses.")
            .arg(kMaxExpressionNesting);
    }
    return {};
}

double evaluateExpression(const QString& text, bool* ok, ExpressionEvaluator* evaluator)
{
    return CompiledExpression::compile(text).evaluate(nullptr, ok, evaluator);
}
