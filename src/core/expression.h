#pragma once
// The expression evaluator: one line of arithmetic text (numbers, + - * / ^,
// parentheses, unary minus, 22 functions and the constant pi) to one double.
//
// The text is parsed once into a small program (CompiledExpression) and the
// program is run; evaluateExpression does both for a one-off text. The
// expression worker compiles its text once with the curve references as
// bound values and runs the program over blocks of points, one operation
// over the whole block at a time, with the same numbers as putting each
// value into the text and parsing it again.
//
// Grammar, as users have always seen it:
//  - '^' binds tighter than '*' and '/', one look-ahead exponent per step:
//    2^3^2 is 512, 2^3^2^2 is (2^(3^2))^2.
//  - A minus sign belongs to the factor: -2^2 is 4. No unary plus.
//  - A blank (U+0020) may stand before an operator, never before an operand:
//    "3 +4" is 7, "3 + 4" is invalid.
//  - Text after a complete term is ignored by the value ("3 4" is 3); the
//    compiled expression's problem() names it, for callers that refuse it.
//  - Division by exactly 0, an unreadable number, a missing ')' or operand
//    make the value invalid: +infinity with ok false when the whole text was
//    read, 0 with ok false when a stray character ended the scan.
//  - A domain, pole or overflow error of gamma, gammaln, acosh, asinh,
//    atanh, cbrt, erf or erfc gives +infinity with ok true.
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <vector>

// What keeps a text from being one whole expression, found while parsing.
// Positions are in the parsed text (CompiledExpression::text()).
struct ExpressionProblem {
    enum Kind {
        None,
        UnmatchedClose,  // a ')' that no '(' opened; the expression stops there
        TrailingText,    // other text after a complete expression (or inside parentheses)
        MissingClose,    // a '(' never closed; at is the '('
        UnknownFunction, // a name followed by '(' that is no function; at and length give the name
        TooDeep,         // parentheses nested deeper than kMaxExpressionNesting
    };
    Kind kind = None;
    qsizetype at = 0;
    qsizetype length = 0;
};

// The deepest nesting of parentheses an expression may have.
inline constexpr int kMaxExpressionNesting = 2000;

// Scratch space for running programs: one per thread, reused across calls.
class ExpressionEvaluator {
public:
    ExpressionEvaluator() = default;

private:
    friend class CompiledExpression;
    std::vector<double> m_values;
    std::vector<unsigned char> m_valid;
    // The stack of evaluateBlock: one block of points per level.
    std::vector<double> m_blockValues;
    std::vector<unsigned char> m_blockValid;
};

class CompiledExpression {
public:
    // Parses text. keys are the curve references bound to values: a number
    // run that is exactly key + "x" reads slot 2i, exactly key reads slot
    // 2i + 1 (either may be preceded by a minus sign standing first in the
    // run). A run that holds a reference among other characters is invalid.
    static CompiledExpression compile(const QString& text, const QStringList& keys = {});

    // Runs the program with bound[2i] / bound[2i+1] as the x / y values of
    // key i. Never throws.
    double evaluate(const double* bound, bool* ok, ExpressionEvaluator* evaluator) const;

    // The number of points evaluateBlock takes at most.
    static constexpr std::size_t kBlock = 512;
    // Runs the program for n <= kBlock points at once, one operation over
    // the whole block at a time: the slot s of point i is columns[s][i *
    // stride] (columns of slots never read may be null). values[i] and ok[i]
    // receive exactly what evaluate() gives for that point.
    void evaluateBlock(const double* const* columns, std::size_t stride, std::size_t n, double* values,
                       unsigned char* ok, ExpressionEvaluator* evaluator) const;

    // The text after the pi rewrite, as parsed.
    const QString& text() const { return m_text; }
    // The first thing that keeps the text from being one whole expression.
    const ExpressionProblem& problem() const { return m_problem; }
    // True when a slot of key i is read (x: 2i, y: 2i+1).
    bool readsSlot(int slot) const;

    enum Op : std::uint8_t {
        PushConst,
        PushInvalid,
        PushSlot,
        PushNegSlot,
        Neg,
        Func,
        Mul,
        Div,
        Pow,
        MulExp, // left * right^exponent
        DivExp,
        PowExp,
        Add,
        Sub,
    };
    struct Instr {
        Op op;
        int arg;
        double value;
    };

private:
    std::vector<Instr> m_code;
    QString m_text;
    int m_depth = 0;
    bool m_strayEnd = false; // the scan stopped at a character that is no operator
    ExpressionProblem m_problem;
};

// The user's message for a problem of a compiled text ("" for none): what is
// wrong and where the expression stops. show turns a piece of the parsed
// text into the form the user wrote (as it stands when null).
QString describeExpressionProblem(const CompiledExpression& compiled, QString (*show)(const QString&) = nullptr);

// Evaluates text (which is not changed). ok, when given, is set as described
// above. evaluator, when given, lends its scratch space; any thread may call
// this with its own evaluator or none.
double evaluateExpression(const QString& text, bool* ok = nullptr, ExpressionEvaluator* evaluator = nullptr);

// The pi rewrite applied before parsing, when the text holds "pi", "PI" or
// "Pi": every form of an optional whole number, an optional '*' and pi (the
// letters p, i in any case, the i repeatable) becomes 3.14159265358979 times
// the number (1 when absent), written with 14 decimals. A sign before the
// number stays outside: "-2pi" becomes "-6.28318530717958".
QString rewritePi(const QString& text);

// The value of function number f of the table (0 cos ... 21 gammaln) at v.
double applyExpressionFunction(int f, double v);
