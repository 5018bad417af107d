#include "core/expression.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <thread>

namespace {
const double kInf = std::numeric_limits<double>::infinity();
const double kNan = std::numeric_limits<double>::quiet_NaN();
const double kPi14 = 3.14159265358979;

struct Case {
    const char* text;
    double value;
    bool ok;
};

void expectValue(const char* text, double got, double want)
{
    if (std::isnan(want))
        EXPECT_TRUE(std::isnan(got)) << text;
    else if (std::isinf(want) || want == 0)
        EXPECT_EQ(got, want) << text;
    else
        EXPECT_NEAR(got, want, std::fabs(want) * 1e-14) << text;
}
} // namespace

TEST(Expression, GrammarTable)
{
    const Case cases[] = {
        {"1+2*3", 7, true},
        {"(1+2)*3", 9, true},
        {"2^-1", 0.5, true},
        {"-2^2", 4, true},
        {"10/4/2", 1.25, true},
        {"3 +4", 7, true},
        {"3 + 4", 0, false},
        {"(3 )", 3, true},
        {"( 3)", 0, false},
        {"3 4", 3, true},
        {"3)", 3, true},
        {"x 3", 0, false},
        {"", kInf, false},
        {"1/0", kInf, false},
        {"1/(1-1)", kInf, false},
        {"1/-0", kInf, false},
        {"log(0)", -kInf, true},
        {"acosh(0)", kInf, true},
        {"2*3^x", kInf, false},
        {"2*pi", 2 * kPi14, true},
        {"2PI", 2 * kPi14, true},
        {"2*Pi", 2 * kPi14, true},
        {"pi/2", kPi14 / 2, true},
        {"pi+pi", 2 * kPi14, true},
        {"inf", kInf, true},
        {"nan", kNan, true},
        {"1e999", kInf, false},
        {"cos(0)", 1, true},
        {"COS(0)", 0, false},
        {"sqrt(4)+", kInf, false},
        {"2*3^2", 18, true},
        {"2^3*4", 32, true},
        {"2^3^2", 512, true},
        {"2^3^2^2", 262144, true},
        {"2*3^2^2", 324, true},
        {"-(3)", -3, true},
        {"--3", 3, true},
        {"---3", kInf, false},
        {"cos-1", std::cos(-1.0), true},
        {"cos.5", std::cos(0.5), true},
        {"cos 1", 0, false},
        {"cos+1", kInf, false},
        {"-cos(0)", 0, false},
        {"cosh(0)", 1, true},
        {"log10(100)", 2, true},
        {"erfc(0)", 1, true},
        {"gammaln(1)", 0, true},
        {"gamma(5)", 24, true},
        {"acos(2)", kNan, true},
        {"sqrt(-1)", kNan, true},
        {"1e-5*2E+4", 0.2, true},
        {"2x", kInf, false},
        {"1.2.3", kInf, false},
        {"e5", kInf, false},
        {"-", kInf, false},
        {"(1+2", kInf, false},
        {"2*(3", kInf, false},
        {"7 ", 7, true},
        {"1 /0 ", kInf, false},
        {"1/0 )", 0, false},
        {"abs(-2)", 2, true},
        {"cos", kInf, false},
        {"3\t+1", 3, true},
        {"0x10", 16, true},
    };
    for (const Case& c : cases) {
        bool ok = !c.ok;
        const double v = evaluateExpression(c.text, &ok);
        expectValue(c.text, v, c.value);
        EXPECT_EQ(ok, c.ok) << c.text;
    }
}

TEST(Expression, SpecialFunctionErrorsBecomeInfinity)
{
    // Domain, pole and overflow errors never escape, in any thread.
    for (const char* text : {"gamma(200)", "gamma(0)", "gamma(-2)", "atanh(1)", "atanh(-1)", "acosh(nan)",
                             "cbrt(inf)", "gammaln(inf)", "asinh(inf)", "gammaln(-3)"}) {
        bool ok = false;
        double v = 0;
        std::thread([&] { v = evaluateExpression(text, &ok); }).join();
        EXPECT_EQ(v, kInf) << text;
        EXPECT_TRUE(ok) << text;
    }
}

TEST(Expression, PiRewriteTakesTheWholeNumber)
{
    const Case cases[] = {
        {"10.5pi", 10.5 * kPi14, true},
        {"2pi+12pi", 14 * kPi14, true},
        {"2pi+3pi", 5 * kPi14, true},
        {"-2pi", -2 * kPi14, true},
        {".5PI", 0.5 * kPi14, true},
        {"1.5e3*Pi", 1500 * kPi14, true},
        {"2*3pi", 6 * kPi14, true},
        {"pI", kInf, false}, // the mixed form alone starts no rewrite
    };
    for (const Case& c : cases) {
        bool ok = !c.ok;
        const double v = evaluateExpression(c.text, &ok);
        expectValue(c.text, v, c.value);
        EXPECT_EQ(ok, c.ok) << c.text;
    }
    EXPECT_EQ(rewritePi("2pi"), "6.28318530717958");
    EXPECT_EQ(rewritePi("pi"), "3.14159265358979");
    EXPECT_EQ(rewritePi("-2pi"), "-6.28318530717958");
    EXPECT_EQ(rewritePi("10.5pi"), "32.98672286269279");
    EXPECT_EQ(rewritePi("C1*pi"), "C1*3.14159265358979");
    EXPECT_EQ(rewritePi("2+3"), "2+3");
}

TEST(Expression, DeepNestingIsInvalidNotACrash)
{
    bool ok = true;
    EXPECT_EQ(evaluateExpression(QString(200000, '(') + "1", &ok), kInf);
    EXPECT_FALSE(ok);
    EXPECT_EQ(evaluateExpression(QString(500, '(') + "2" + QString(500, ')'), &ok), 2);
    EXPECT_TRUE(ok);
}

TEST(Expression, EvaluatorIsReusable)
{
    ExpressionEvaluator ev;
    bool ok = false;
    EXPECT_EQ(evaluateExpression("((1+2)*(3+4))^2", &ok, &ev), 441);
    EXPECT_TRUE(ok);
    EXPECT_EQ(evaluateExpression("1+1", &ok, &ev), 2);
    EXPECT_EQ(evaluateExpression("x", nullptr, &ev), kInf);
    EXPECT_EQ(evaluateExpression("x+1 y", nullptr, &ev), 0);
}

namespace {
// The value as the expression text would have held it, every reference
// replaced (x forms first) with 32 significant digits.
QString substituted(QString text, const QStringList& keys, const std::vector<double>& bound)
{
    for (int i = 0; i < keys.size(); ++i) {
        char xs[64], ys[64];
        std::snprintf(xs, sizeof xs, "%.32g", bound[2 * i]);
        std::snprintf(ys, sizeof ys, "%.32g", bound[2 * i + 1]);
        text.replace(keys[i] + "x", xs);
        QString out;
        for (qsizetype p = 0; p < text.size();) {
            if (text.mid(p).startsWith(keys[i])
                && !(p + keys[i].size() < text.size() && text.at(p + keys[i].size()).isDigit())) {
                out += ys;
                p += keys[i].size();
            } else {
                out += text.at(p++);
            }
        }
        text = out;
    }
    return text;
}
} // namespace

TEST(CompiledExpression, BoundValuesMatchSubstitutedText)
{
    const QStringList keys = {"C1", "C10", "C2"};
    const char* texts[] = {"C1*2+sin(C2)",         "C10-C1",         "C1x*C2",        "20*log10(sqrt(C1^2 + C2^2))",
                           "C1/C2",                "2^C1",           "exp(C1)-C10x", "C1*(9/5)+32",
                           "gamma(C2)",            "(C1+C10)/C2^2", "C1 +C2",        "C1x"};
    const std::vector<std::vector<double>> values = {
        {0.5, 0.1, 1e-5, 3, 2, 7.25},
        {1.0 / 3, 2.5, 123456.789, 0.001, 1e300, 5},
        {0, 0, 0, 0, 0, 0},
        {2, 4, 6, 1e-9, 8, 1.5},
    };
    for (const char* text : texts) {
        const CompiledExpression e = CompiledExpression::compile(text, keys);
        for (const auto& v : values) {
            bool okBound = false, okText = false;
            const double bound = e.evaluate(v.data(), &okBound, nullptr);
            const QString s = substituted(text, keys, v);
            const double fromText = evaluateExpression(s, &okText);
            EXPECT_EQ(okBound, okText) << text << " -> " << s.toStdString();
            if (std::isnan(fromText))
                EXPECT_TRUE(std::isnan(bound)) << text;
            else
                EXPECT_EQ(bound, fromText) << text << " -> " << s.toStdString();
        }
    }
}

TEST(CompiledExpression, ReferencesAreWholeTokens)
{
    const QStringList keys = {"C1", "C10"};
    struct RefCase {
        const char* text;
        double c1x, c1, c10x, c10;
        double value;
        bool ok;
    } cases[] = {
        // C1 never reads into C10.
        {"C10-C1", 0, 2, 0, 30, 28, true},
        {"C10x+C1x", 1, 0, 5, 0, 6, true},
        // A negative value is one operand.
        {"C1^2", 0, -3, 0, 0, 9, true},
        {"-C1", 0, -3, 0, 0, 3, true},
        {"2*C1", 0, -3, 0, 0, -6, true},
        {"C10-C1", 0, -3, 0, 1, 4, true},
        {"C10 C1", 0, -3, 0, 5, 5, true},
        {"--C1", 0, -3, 0, 0, -3, true},
        {"cos-C1", 0, -0.5, 0, 0, std::cos(0.5), true},
        // A reference glued to other characters is no number.
        {"2C1", 0, 3, 0, 0, kInf, false},
        {"C1e2", 0, 3, 0, 0, kInf, false},
        {"C1X", 0, 3, 0, 0, kInf, false},
        // A subnormal value is a number, not an unreadable text.
        {"C1*2", 0, 4e-320, 0, 0, 8e-320, true},
    };
    for (const RefCase& c : cases) {
        const double bound[] = {c.c1x, c.c1, c.c10x, c.c10};
        bool ok = !c.ok;
        const double v = CompiledExpression::compile(c.text, keys).evaluate(bound, &ok, nullptr);
        EXPECT_EQ(ok, c.ok) << c.text;
        EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    }
    const CompiledExpression e = CompiledExpression::compile("C10x*2", keys);
    EXPECT_TRUE(e.readsSlot(2));
    EXPECT_FALSE(e.readsSlot(1));
}

TEST(Expression, ProblemsNameWhereTheExpressionStops)
{
    using K = ExpressionProblem::Kind;
    struct Case {
        const char* text;
        K kind;
        qsizetype at;
        const char* message;
    };
    const QString nesting = QString(kMaxExpressionNesting + 1, '(') + "1" + QString(kMaxExpressionNesting + 1, ')');
    const Case cases[] = {
        {"1+2*(3-4)", K::None, 0, ""},
        {"3 +4", K::None, 0, ""},
        {"3)", K::UnmatchedClose, 1, R"~(Unmatched ")": the expression stops after "3" and ")" is left over.)~"},
        {"1+1)*2", K::UnmatchedClose, 3, R"~(Unmatched ")": the expression stops after "1+1" and ")*2" is left over.)~"},
        {"3 4", K::TrailingText, 2,
         R"~(Text after the end of the expression: it stops after "3" and "4" is left over.)~"},
        {"2(3)", K::TrailingText, 1,
         R"~(Text after the end of the expression: it stops after "2" and "(3)" is left over.)~"},
        // A stray character inside parentheses.
        {"(1 2)", K::TrailingText, 3,
         R"~(Text after the end of the expression: it stops after "(1" and "2)" is left over.)~"},
        {"2*(1+3", K::MissingClose, 2, R"~(Missing ")": the "(" after "2*" is never closed.)~"},
        {"(1+3", K::MissingClose, 0, R"~(Missing ")": the "(" at the start of the expression is never closed.)~"},
        {"foo(1)", K::UnknownFunction, 0, nullptr},
        {"2*sinx(1)", K::UnknownFunction, 2, nullptr},
        {"COS(0)", K::UnknownFunction, 0,
         R"~(Unknown function "COS": function names are written in lower case (cos).)~"},
        // The first problem wins.
        {"foo(1))", K::UnknownFunction, 0, nullptr},
    };
    for (const Case& c : cases) {
        const CompiledExpression e = CompiledExpression::compile(c.text);
        EXPECT_EQ(e.problem().kind, c.kind) << c.text;
        EXPECT_EQ(e.problem().at, c.at) << c.text;
        if (c.message)
            EXPECT_EQ(describeExpressionProblem(e).toStdString(), c.message) << c.text;
    }
    const CompiledExpression sinx = CompiledExpression::compile("2*sinx(1)");
    EXPECT_EQ(sinx.problem().length, 4);
    const QString unknown = describeExpressionProblem(sinx);
    EXPECT_TRUE(unknown.startsWith(R"~(Unknown function "sinx". The functions are cos, sin, tan,)~")) << unknown.toStdString();
    EXPECT_TRUE(unknown.endsWith("gamma and gammaln.")) << unknown.toStdString();

    const CompiledExpression deep = CompiledExpression::compile(nesting);
    EXPECT_EQ(deep.problem().kind, K::TooDeep);
    EXPECT_EQ(describeExpressionProblem(deep).toStdString(),
              "The expression is too deeply nested: more than 2000 levels of parentheses.");
    const QString deepest = QString(kMaxExpressionNesting, '(') + "1" + QString(kMaxExpressionNesting, ')');
    EXPECT_EQ(CompiledExpression::compile(deepest).problem().kind, K::None);

    // Keys are references, not unknown names; a piece is shown as asked.
    const CompiledExpression refs = CompiledExpression::compile("C1x*2)", {"C1"});
    EXPECT_EQ(refs.problem().kind, K::UnmatchedClose);
    EXPECT_EQ(describeExpressionProblem(refs, [](const QString& s) { return s.toLower(); }).toStdString(),
              R"~(Unmatched ")": the expression stops after "c1x*2" and ")" is left over.)~");
}
