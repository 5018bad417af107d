// The arithmetic command on a plot: every operation, axis and operand form
// against values computed here from the definitions, the refusals with
// their messages, and the undo copy that restores every curve bit for bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <numeric>

#include "platform/commanddialog.h"
#include "plot/plot_fixture.h"
#include "plot/plot_signals.h"

using namespace plottest;

namespace {

using Values = std::vector<double>;

// C1 and C2 of the fixture plot, as x and y lists.
const Values kX1 = {0, 1, 2, 3}, kY1 = {1, -2, 4, 0.5};
const Values kX2 = {10, 20, 30}, kY2 = {3, 6, -8};

CurveData curveFrom(const Values& x, const Values& y)
{
    CurveData c;
    for (std::size_t i = 0; i < x.size(); ++i)
        c.append(x[i], y[i]);
    return c;
}

std::unique_ptr<Plotter> fixturePlot()
{
    auto p = makePlot();
    p->setCurveData(0, curveFrom(kX1, kY1), false);
    p->setCurveData(1, curveFrom(kX2, kY2), true);
    return p;
}

Values joined(const Values& a, const Values& b)
{
    Values v = a;
    v.insert(v.end(), b.begin(), b.end());
    return v;
}

// Textbook statistics, written out.
double mean(const Values& v) { return std::accumulate(v.begin(), v.end(), 0.0) / double(v.size()); }
double sampleVariance(const Values& v)
{
    const double m = mean(v);
    double s = 0;
    for (double a : v)
        s += (a - m) * (a - m);
    return s / double(v.size() - 1);
}
double median(Values v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}
double rms(const Values& v)
{
    double s = 0;
    for (double a : v)
        s += a * a;
    return std::sqrt(s / double(v.size()));
}
// Sample excess kurtosis G2.
double kurtosis(const Values& v)
{
    const double n = double(v.size()), m = mean(v), s2 = sampleVariance(v);
    double s4 = 0;
    for (double a : v)
        s4 += std::pow(a - m, 4);
    return n * (n + 1) / ((n - 1) * (n - 2) * (n - 3)) * s4 / (s2 * s2) - 3 * (n - 1) * (n - 1) / ((n - 2) * (n - 3));
}

Values map(const Values& v, const std::function<double(double)>& f)
{
    Values out;
    for (double a : v)
        out.push_back(f(a));
    return out;
}

void expectValues(const CurveData& c, const Values& x, const Values& y, const QString& what)
{
    ASSERT_EQ(c.pointCount(), x.size()) << what.toStdString();
    for (std::size_t i = 0; i < x.size(); ++i) {
        EXPECT_NEAR(c.x(i), x[i], 1e-12 * std::max(1.0, std::fabs(x[i]))) << what.toStdString() << " x" << i;
        EXPECT_NEAR(c.y(i), y[i], 1e-12 * std::max(1.0, std::fabs(y[i]))) << what.toStdString() << " y" << i;
    }
}

} // namespace

TEST(ArithmeticCommand, EveryOperationAndOperandAgainstTheDefinitions)
{
    const double pi = std::numbers::pi;
    struct Case {
        const char* line;
        Values x1, y1, x2, y2;
    };
    auto plus = [](double k) { return [k](double a) { return a + k; }; };
    auto times = [](double k) { return [k](double a) { return a * k; }; };
    const Values all = joined(kY1, kY2), allX = joined(kX1, kX2);
    const Case cases[] = {
        {"add 5", kX1, map(kY1, plus(5)), kX2, map(kY2, plus(5))},
        {"addy 5", kX1, map(kY1, plus(5)), kX2, map(kY2, plus(5))},
        {"Mult 1e9", kX1, map(kY1, times(1e9)), kX2, map(kY2, times(1e9))},
        {"sub 0.25 C2", kX1, kY1, kX2, map(kY2, plus(-0.25))},
        {"Subx 53000 C2", kX1, kY1, map(kX2, plus(-53000)), kY2},
        {"divx 4", map(kX1, times(0.25)), kY1, map(kX2, times(0.25)), kY2},
        {"div -2 c1", kX1, map(kY1, [](double a) { return a / -2; }), kX2, kY2},
        {"mulx 3 C1 C2", map(kX1, times(3)), kY1, map(kX2, times(3)), kY2},
        {"mul 2pi", kX1, map(kY1, times(2 * pi)), kX2, map(kY2, times(2 * pi))},
        {"mul 2*pi C1", kX1, map(kY1, times(2 * pi)), kX2, kY2},
        {"mul -pi", kX1, map(kY1, times(-pi)), kX2, map(kY2, times(-pi))},
        {"muly .5pi c2", kX1, kY1, kX2, map(kY2, times(0.5 * pi))},
        {"mul 1e-20pi c2", kX1, kY1, kX2, map(kY2, times(1e-20 * pi))},
        {"add 2 pi", kX1, map(kY1, plus(2)), kX2, map(kY2, plus(2))},
        {"sub mean(c2) c1", kX1, map(kY1, plus(-mean(kY2))), kX2, kY2},
        {"Sub Mean(C2) C1", kX1, map(kY1, plus(-mean(kY2))), kX2, kY2},
        {"subx mean(x)", map(kX1, plus(-mean(allX))), kY1, map(kX2, plus(-mean(allX))), kY2},
        {"subx mean(x, Cj)", map(kX1, plus(-mean(kX1))), kY1, map(kX2, plus(-mean(kX2))), kY2},
        {"div stdev(C2) C2", kX1, kY1, kX2, map(kY2, times(1 / std::sqrt(sampleVariance(kY2))))},
        {"add max(y, Cj)", kX1, map(kY1, plus(4)), kX2, map(kY2, plus(6))},
        {"add min(c1 c2)", kX1, map(kY1, plus(-8)), kX2, map(kY2, plus(-8))},
        {"add median(c1)", kX1, map(kY1, plus(median(kY1))), kX2, map(kY2, plus(median(kY1)))},
        {"add median(y)", kX1, map(kY1, plus(median(all))), kX2, map(kY2, plus(median(all)))},
        {"mul rms(c2) c1", kX1, map(kY1, times(rms(kY2))), kX2, kY2},
        {"add sum(x c1)", kX1, map(kY1, plus(6)), kX2, map(kY2, plus(6))},
        {"add var(c2) c1", kX1, map(kY1, plus(sampleVariance(kY2))), kX2, kY2},
        {"add kurtosis(c1 c2) c2", kX1, kY1, kX2, map(kY2, plus(kurtosis(all)))},
        {"add minview(x) c1", kX1, map(kY1, plus(-1)), kX2, kY2},
        {"add maxview(y) c1", kX1, map(kY1, plus(9)), kX2, kY2},
        {"sub stdev(y, Cj)", kX1, map(kY1, plus(-std::sqrt(sampleVariance(kY1)))), kX2,
         map(kY2, plus(-std::sqrt(sampleVariance(kY2))))},
    };
    for (const Case& c : cases) {
        auto p = fixturePlot();
        setGeometry(*p, 60, 40, 30, 40, {-1, 31}, {-9, 9});
        const CurveMap before = p->curves();
        Reports reports(*p);
        p->arithmeticCommand(QString::fromLatin1(c.line));
        EXPECT_TRUE(reports.lines.isEmpty()) << c.line << ": " << reports.lines.join(" / ").toStdString();
        expectValues(p->curves().at(0), c.x1, c.y1, QString::fromLatin1(c.line) + " C1");
        expectValues(p->curves().at(1), c.x2, c.y2, QString::fromLatin1(c.line) + " C2");
        p->undo();
        EXPECT_EQ(p->curves(), before) << c.line << ": undo";
    }
}

TEST(ArithmeticCommand, ReportsEachCurveAndTheConvertedForm)
{
    auto p = fixturePlot();
    Reports reports(*p);
    p->arithmeticCommand(QStringLiteral("Mult 1e9"));
    EXPECT_TRUE(reports.has(ZEVOVE::INFO, QStringLiteral("Multiplied C1 by 1e+09(y)")));
    EXPECT_TRUE(reports.has(ZEVOVE::INFO, QStringLiteral("Multiplied C2 by 1e+09(y)")));

    reports.clear();
    p->arithmeticCommand(QStringLiteral("addx 2 C1"));
    EXPECT_TRUE(reports.has(ZEVOVE::INFO, QStringLiteral("Added 2 to C1(x)")));
    EXPECT_EQ(reports.texts().filter(QStringLiteral("C2")).size(), 0);

    reports.clear();
    p->arithmeticCommand(QStringLiteral("Div max(C1) C1"));
    // The maximum of C1 (now 4e9) replaces the function in the shown form.
    EXPECT_TRUE(reports.has(ZEVOVE::INFO, QStringLiteral("Operation \"Div max(C1) C1\" converted to ->\n"
                                                         "          \"Div 4000000000 C1\"")));
    EXPECT_TRUE(reports.has(ZEVOVE::INFO, QStringLiteral("Divided C1 by 4e+09(y)")));

    reports.clear();
    p->arithmeticCommand(QStringLiteral("mul 2pi C2"));
    EXPECT_TRUE(reports.has(ZEVOVE::INFO, QString::fromUtf8("Operation \"mul 2pi C2\" converted to ->\n"
                                                            "          \"mul 2\u03c0 C2\"")));
}

TEST(ArithmeticCommand, RefusalsChangeNothingAndKeepTheUndoCopy)
{
    struct Case {
        const char* line;
        QString message;
    };
    const Case cases[] = {
        {"add", QStringLiteral("Error: Operation is incomplete.")},
        {"pow 2", QStringLiteral("Error: Operation pow is undefined.")},
        {"add x 5", QStringLiteral("Command Info: The command \"add x 5\" is not properly formatted.")},
        {"add 5 junk", QStringLiteral("Command Info: The command \"add 5 junk\" is not properly formatted.")},
        {"add C1", QStringLiteral("Error (arithmetic): No valid value was not found for operation.")},
        {"mul mean(x, C2 Cj)", QStringLiteral("Invalid function usage (mean(x, c2 cj)): You cannot mix \"Cj\" with "
                                              "curve IDs.\nType \"help function\" for more information.")},
        {"mul mean(Ci)", QStringLiteral("Command Info: The command \"mean(ci)\" is not properly formatted.")},
        {"add mean(C9)", QStringLiteral("Error: Curve C9 does not exist.")},
    };
    for (const Case& c : cases) {
        auto p = fixturePlot();
        p->arithmeticCommand(QStringLiteral("add 1 C2")); // fills the undo copy
        const CurveMap before = p->curves();
        Reports reports(*p);
        p->arithmeticCommand(QString::fromLatin1(c.line));
        EXPECT_EQ(reports.lines, QStringList{c.message}) << c.line;
        EXPECT_EQ(p->curves(), before) << c.line;
        // The undo copy is still the one from before the refused command.
        p->undo();
        EXPECT_EQ(p->curves().at(1).y(0), kY2[0]) << c.line;
    }
}

TEST(ArithmeticCommand, SkippedCurvesAreReportedAndTheOthersChange)
{
    auto p = fixturePlot();
    Reports reports(*p);
    p->arithmeticCommand(QStringLiteral("add 5 C9 C2"));
    EXPECT_TRUE(reports.has(ZEVOVE::ERROR, QStringLiteral("Invalid parameter. C9 does not exist.")));
    EXPECT_TRUE(reports.lines.contains(QStringLiteral("Warning (arithemtic): Curve 9 does not exists.")));
    expectValues(p->curves().at(1), kX2, map(kY2, [](double a) { return a + 5; }), QStringLiteral("C2"));

    // Division by zero leaves the curve alone but takes the undo copy.
    reports.clear();
    const CurveMap before = p->curves();
    p->arithmeticCommand(QStringLiteral("div 0 C1"));
    EXPECT_EQ(reports.lines, QStringList{QStringLiteral("Warning (arithemtic): Cannot divide C1 by 0.")});
    EXPECT_EQ(p->curves(), before);

    // A per-curve value that is no number (one point has no deviation) skips its curve.
    p->setCurveData(2, curveOf({{5, 7}}), false);
    reports.clear();
    p->arithmeticCommand(QStringLiteral("div stdev(y, Cj)"));
    EXPECT_TRUE(reports.lines.contains(QStringLiteral("Warning (arithmetic): No valid value for C3.")));
    EXPECT_EQ(p->curves().at(2).y(0), 7);
}

TEST(ArithmeticCommand, EmptyPlotTakesTheUndoPointAndChangesNothing)
{
    auto p = makePlot();
    Reports reports(*p);
    p->arithmeticCommand(QStringLiteral("add 5"));
    EXPECT_TRUE(reports.lines.isEmpty());
    EXPECT_TRUE(p->curves().empty());
    EXPECT_TRUE(p->autoCacheFilled());
}

TEST(ArithmeticCommand, BuilderHandsItsLineToTheConsole)
{
    auto p = fixturePlot();
    QSignalSpy commands(p.get(), &Plotter::command);
    p->arithDiag();
    ASSERT_TRUE(p->m_arithDialog);
    QPointer<CommandDialog> first = p->m_arithDialog.data();
    // Opening it again replaces the open one.
    p->arithDiag();
    ASSERT_TRUE(p->m_arithDialog);
    EXPECT_FALSE(first);
    p->m_arithDialog->accept();
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toString(), QStringLiteral("add 0.0"));
    EXPECT_FALSE(p->m_arithDialog);
}
