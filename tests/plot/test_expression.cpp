// Curve expressions on a plot: every operator and function against values
// computed here, curves aligned by x, the warnings, the dialog, the worker
// threads (six parts for long curves, results in point order), a plot
// closed while its worker runs, and the undo copy.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include <cmath>
#include <functional>
#include <numbers>

#include "core/expressionthread.h"
#include "platform/inputdialog.h"
#include "plot/plotdiag.h"
#include "plot/plot_fixture.h"
#include "plot/plot_signals.h"
#include "support/prompts.h"

using namespace plottest;

namespace {

using F = std::function<double(double, double, double)>; // (x of C1, y of C1, y of C2)

// C1 and C2 on the same x values 0..19: C1 within (0.05, 0.95), C2 within (1.1, 3).
std::unique_ptr<Plotter> twoCurves()
{
    auto p = makePlot();
    CurveData c1, c2;
    for (int i = 0; i < 20; ++i) {
        c1.append(i, 0.05 + 0.045 * i);
        c2.append(i, 1.1 + 0.1 * i);
    }
    p->setCurveData(0, c1, false);
    p->setCurveData(1, c2, true);
    return p;
}

const CurveData& newest(const Plotter& p) { return p.curves().rbegin()->second; }

} // namespace

TEST(CurveExpression, OperatorsAndFunctionsAgainstDirectComputation)
{
    const double pi = std::numbers::pi;
    const std::pair<const char*, F> cases[] = {
        {"C1+C2", [](double, double a, double b) { return a + b; }},
        {"C1-C2", [](double, double a, double b) { return a - b; }},
        {"C1 * C2", [](double, double a, double b) { return a * b; }},
        {"C1/C2", [](double, double a, double b) { return a / b; }},
        {"C2^C1", [](double, double a, double b) { return std::pow(b, a); }},
        {"-C1+C2*C1^2", [](double, double a, double b) { return -a + b * std::pow(a, 2); }},
        {"(C1+C2)*(C2-C1)", [](double, double a, double b) { return (a + b) * (b - a); }},
        {"C1--C2", [](double, double a, double b) { return a + b; }},
        {"C1x*2+C2", [](double x, double, double b) { return x * 2 + b; }},
        {"2pi*C1", [pi](double, double a, double) { return 2 * pi * a; }},
        {"C1*(180/pi)", [pi](double, double a, double) { return a * (180 / pi); }},
        {"20*log10(sqrt(C1^2 + C2^2))", [](double, double a, double b) { return 20 * std::log10(std::sqrt(a * a + b * b)); }},
        {"cos(C1)", [](double, double a, double) { return std::cos(a); }},
        {"sin(C1)", [](double, double a, double) { return std::sin(a); }},
        {"tan(C1)", [](double, double a, double) { return std::tan(a); }},
        {"acos(C1)", [](double, double a, double) { return std::acos(a); }},
        {"asin(C1)", [](double, double a, double) { return std::asin(a); }},
        {"atan(C2)", [](double, double, double b) { return std::atan(b); }},
        {"cosh(C2)", [](double, double, double b) { return std::cosh(b); }},
        {"sinh(C2)", [](double, double, double b) { return std::sinh(b); }},
        {"tanh(C2)", [](double, double, double b) { return std::tanh(b); }},
        {"acosh(C2)", [](double, double, double b) { return std::acosh(b); }},
        {"asinh(C2)", [](double, double, double b) { return std::asinh(b); }},
        {"atanh(C1)", [](double, double a, double) { return std::atanh(a); }},
        {"abs(C1-C2)", [](double, double a, double b) { return std::fabs(a - b); }},
        {"exp(C2)", [](double, double, double b) { return std::exp(b); }},
        {"log(C2)", [](double, double, double b) { return std::log(b); }},
        {"log10(C2)", [](double, double, double b) { return std::log10(b); }},
        {"sqrt(C2)", [](double, double, double b) { return std::sqrt(b); }},
        {"cbrt(C2)", [](double, double, double b) { return std::cbrt(b); }},
        {"erf(C1)", [](double, double a, double) { return std::erf(a); }},
        {"erfc(C1)", [](double, double a, double) { return std::erfc(a); }},
        {"gamma(C2)", [](double, double, double b) { return std::tgamma(b); }},
        {"gammaln(C2)", [](double, double, double b) { return std::lgamma(b); }},
    };
    for (const auto& [text, f] : cases) {
        auto p = twoCurves();
        Reports reports(*p);
        p->expression(QString::fromLatin1(text), true);
        ASSERT_EQ(p->curves().size(), 3u) << text << ": " << reports.lines.join(" / ").toStdString();
        const CurveData& r = p->curves().at(2);
        ASSERT_EQ(r.pointCount(), 20u) << text;
        for (std::size_t i = 0; i < 20; ++i) {
            const double x = p->curves().at(0).x(i), a = p->curves().at(0).y(i), b = p->curves().at(1).y(i);
            const double expected = f(x, a, b);
            EXPECT_EQ(r.x(i), x) << text;
            EXPECT_NEAR(r.y(i), expected, 1e-13 * std::max(1.0, std::fabs(expected))) << text << " at " << i;
        }
    }
}

TEST(CurveExpression, ReferencesAreWholeAndValuesBound)
{
    auto p = makePlot();
    for (int id = 0; id < 10; ++id)
        p->setCurveData(id, curveOf({{0, id + 1.0}, {1, -3.0}}), false);
    p->expression(QStringLiteral("C1+C10"), true);
    EXPECT_EQ(newest(*p).values.vec(), (std::vector<double>{0, 11, 1, -6}));
    // A negative value is squared as a number, not written before "^2".
    p->expression(QStringLiteral("C2^2"), true);
    EXPECT_EQ(newest(*p).values.vec(), (std::vector<double>{0, 4, 1, 9}));
    // C1 and c1 name the same curve.
    p->expression(QStringLiteral("C1*c1"), true);
    EXPECT_EQ(newest(*p).values.vec(), (std::vector<double>{0, 1, 1, 9}));
    EXPECT_EQ(p->legend()->itemText(p->curves().rbegin()->first), QStringLiteral("C1*c1"));
}

TEST(CurveExpression, CurvesAreAlignedByX)
{
    auto p = makePlot();
    CurveData c1, c2;
    for (int x = 0; x <= 4; ++x)
        c1.append(x, x * x);
    for (double x = 1.5; x <= 4.5; x += 0.5)
        c2.append(x, 1);
    p->setCurveData(0, c1, false);
    p->setCurveData(1, c2, false);
    p->expression(QStringLiteral("C1-C2"), true);
    EXPECT_EQ(p->curves().at(2).values.vec(),
              (std::vector<double>{1.5, 1.5, 2, 3, 2.5, 5.5, 3, 8, 3.5, 11.5, 4, 15}));
}

TEST(CurveExpression, WarningsAndRefusals)
{
    struct Case {
        const char* text;
        QString line;
    };
    const QString check = QStringLiteral("\nPlease check your expression: ");
    const Case cases[] = {
        {"C1/0", QStringLiteral("Warning: Uh oh... no valid points were returned.") + check + "C1/0"},
        {"C1*0", QStringLiteral("Warning: Uh oh... the expression returned all 0s.") + check + "C1*0"},
        {"C1**2", QStringLiteral("Warning: Uh oh... no valid points were returned.") + check + "C1**2"},
        {"2+3", QStringLiteral("Warning: You must express curves to operate on using \"Cn\"\nwhere n is the curve "
                               "number.")},
    };
    for (const Case& c : cases) {
        auto p = twoCurves();
        p->cache(0);
        p->arithmeticCommand(QStringLiteral("add 1 C2")); // the undo copy holds C2 before this
        const CurveMap before = p->curves();
        Reports reports(*p);
        p->expression(QString::fromLatin1(c.text), true);
        EXPECT_EQ(reports.lines, QStringList{c.line}) << c.text;
        EXPECT_EQ(p->curves(), before) << c.text;
        EXPECT_TRUE(p->expressionWorkers().empty());
        // A refused expression leaves the undo copy as it was.
        p->undo();
        EXPECT_EQ(p->curves().at(1).y(0), 1.1) << c.text;
    }
    // A missing curve: the curve error, nothing else.
    auto p = twoCurves();
    Reports reports(*p);
    p->expression(QStringLiteral("C1+C9"), true);
    EXPECT_TRUE(reports.has(ZEVOVE::ERROR, QStringLiteral("Invalid parameter. C9 does not exist.")));
    EXPECT_EQ(p->curves().size(), 2u);

    // Undefined points are dropped and counted.
    p->setCurveData(2, curveOf({{0, 1}, {1, 0}, {2, 4}}), false);
    reports.clear();
    p->expression(QStringLiteral("1/C3"), true);
    EXPECT_TRUE(reports.has(ZEVOVE::WARNING,
                            QStringLiteral("Warning: A total of 1 points resulted in an undefined value.\nThis is "
                                           "typically due to divide-by-0 situations. These points have been removed.")));
    EXPECT_EQ(newest(*p).values.vec(), (std::vector<double>{0, 1, 2, 0.25}));
}

TEST(CurveExpression, TextThatIsNotOneExpressionIsRefused)
{
    const QString check = QStringLiteral("\nPlease check your expression: ");
    const QString deep = QString(2001, '(') + "C1" + QString(2001, ')');
    const std::pair<QString, QString> cases[] = {
        // C4 is 0 at three x: the stray ")" used to store those points as y = 0.
        {"C1/C4)", R"~(Error: Unmatched ")": the expression stops after "C1/C4" and ")" is left over.)~"},
        {"C1+1)*2", R"~(Error: Unmatched ")": the expression stops after "C1+1" and ")*2" is left over.)~"},
        {"2pi * C1 )", R"~(Error: Unmatched ")": the expression stops after "2π*C1" and ")" is left over.)~"},
        {"C1(2)", R"~(Error: Text after the end of the expression: it stops after "C1" and "(2)" is left over.)~"},
        {"(C1+1", R"~(Error: Missing ")": the "(" at the start of the expression is never closed.)~"},
        {"foo(C1)", "Error: Unknown function \"foo\". The functions are cos, sin, tan, acos, asin, atan, cosh, "
                    "sinh, tanh, acosh, asinh, atanh, abs, exp, log, log10, sqrt, cbrt, erf, erfc, gamma and "
                    "gammaln."},
        {"2*sinx(C1)", "Error: Unknown function \"sinx\". The functions are cos, sin, tan, acos, asin, atan, "
                       "cosh, sinh, tanh, acosh, asinh, atanh, abs, exp, log, log10, sqrt, cbrt, erf, erfc, gamma "
                       "and gammaln."},
        {deep, "Error: The expression is too deeply nested: more than 2000 levels of parentheses."},
    };
    for (const auto& [text, message] : cases) {
        auto p = makePlot();
        CurveData c1, c4;
        for (int i = 0; i < 6; ++i) {
            c1.append(i, i + 1.0);
            c4.append(i, i % 2 ? 2.0 : 0.0);
        }
        p->setCurveData(0, c1, false);
        p->setCurveData(3, c4, false);
        const CurveMap before = p->curves();
        Reports reports(*p);
        p->expression(text, true);
        EXPECT_EQ(reports.lines, QStringList{message + check + text}) << text.left(40).toStdString();
        EXPECT_EQ(p->curves(), before) << text.left(40).toStdString();
        EXPECT_TRUE(p->expressionWorkers().empty());
    }
    // The same text without the stray ")" drops the three undefined points.
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 1}, {1, 2}, {2, 3}, {3, 4}}), false);
    p->setCurveData(3, curveOf({{0, 0}, {1, 2}, {2, 0}, {3, 4}}), false);
    p->expression(QStringLiteral("C1/C4"), true);
    EXPECT_EQ(p->curves().at(1).values.vec(), (std::vector<double>{1, 1, 3, 1}));
    // 2000 levels are still an expression.
    p->expression(QString(2000, '(') + "C1*3" + QString(2000, ')'), true);
    EXPECT_EQ(p->curves().at(2).values.vec(), (std::vector<double>{0, 3, 1, 6, 2, 9, 3, 12}));
}

TEST(CurveExpression, DialogWithRemoveExistingAndUndo)
{
    auto p = twoCurves();
    const CurveMap before = p->curves();
    kro::test::ScriptedPrompts prompts;
    prompts->answerDialog([](QDialog* d) {
        auto* input = static_cast<InputDialog*>(d);
        input->lineEdit()->setText(QStringLiteral("C2*2"));
        input->checkBox()->setChecked(true);
        return int(QDialog::Accepted);
    });
    p->expression();
    ASSERT_TRUE(QTest::qWaitFor([&] { return p->expressionWorkers().empty(); }, 20000));
    ASSERT_EQ(p->curves().size(), 1u);
    EXPECT_EQ(p->curves().begin()->first, 0);
    EXPECT_EQ(p->curves().at(0).y(0), 2.2);
    p->undo();
    EXPECT_EQ(p->curves(), before);

    // Cancelled: nothing happens.
    prompts->answerDialog(int(QDialog::Rejected));
    p->expression();
    EXPECT_TRUE(p->expressionWorkers().empty());
    EXPECT_EQ(p->curves(), before);
}

TEST(CurveExpression, LongCurvesRunInSixPartsInPointOrder)
{
    auto p = makePlot();
    CurveData c1, c2;
    const int n = 60001;
    for (int i = 0; i < n; ++i) {
        c1.append(i, std::sin(i * 1e-3));
        c2.append(i, (i % 1000 == 0) ? 0.0 : 1.0 + i * 1e-4);
    }
    p->setCurveData(0, c1, false);
    p->setCurveData(1, c2, false);
    EXPECT_EQ(ExpressionThread::partCount(n), 6);
    p->expression(QStringLiteral("C1/C2"), false);
    ASSERT_EQ(p->expressionWorkers().size(), 1u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return p->expressionWorkers().empty(); }, 20000));
    const CurveData& r = p->curves().at(2);
    ASSERT_EQ(r.pointCount(), std::size_t(n - 61)); // the divisions by zero are dropped
    std::size_t k = 0;
    for (int i = 0; i < n; ++i) {
        if (i % 1000 == 0)
            continue;
        ASSERT_EQ(r.x(k), double(i));
        ASSERT_EQ(r.y(k), std::sin(i * 1e-3) / (1.0 + i * 1e-4)) << i;
        ++k;
    }
}

TEST(CurveExpression, ClosingThePlotWhileItsWorkerRuns)
{
    auto p = makePlot();
    CurveData c;
    for (int i = 0; i < 300000; ++i)
        c.append(i, i * 0.5);
    p->setCurveData(0, c, false);
    p->expression(QStringLiteral("gamma(sqrt(abs(C1))/100)+erf(C1)"), false);
    EXPECT_EQ(p->expressionWorkers().size(), 1u);
    // The plot waits for its worker and drops it with its pending result.
    p.reset();
    QCoreApplication::processEvents();
    SUCCEED();
}
