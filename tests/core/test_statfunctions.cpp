#include "core/statfunctions.h"
#include "core/exceptions.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {
CurveMap plot()
{
    CurveMap m;
    m[0] = CurveData(std::vector<double>{0, 1, 1, 5, 2, 3}); // C1: y 1, 5, 3
    m[1] = CurveData(std::vector<double>{10, -2, 20, 0.5});  // C2
    return m;
}

ViewRect view()
{
    ViewRect v;
    v.autoX = {-1, 25};
    v.autoY = {-4, 9};
    v.userX = {2, 3};
    v.userXInForce = true;
    return v;
}

template <typename E>
std::string errorOf(const CurveMap& m, const char* text)
{
    try {
        substituteStatistics(m, view(), text);
    } catch (const E& e) {
        return e.what();
    }
    return "(no error)";
}
} // namespace

TEST(StatisticFunctions, NamesAreExact)
{
    using namespace StatisticFunction;
    struct {
        const char* name;
        int code;
    } cases[] = {{"Max", MAX},   {"Mean", MEAN}, {"Median", MEDIAN}, {"Min", MIN},           {"Rms", RMS},
                 {"Stdev", STDEV}, {"Sum", SUM}, {"Var", VAR},       {"Kurtosis", KURTOSIS}, {"Minview", MINVIEW},
                 {"Maxview", MAXVIEW}, {"max", NONE}, {"MAX", NONE}, {"StDev", NONE}, {"kurtosis", NONE}, {"", NONE}};
    for (const auto& c : cases)
        EXPECT_EQ(statisticFromName(std::string(c.name)), c.code) << c.name;
}

TEST(StatisticFunctions, SubstitutesEveryCall)
{
    const CurveMap m = plot();
    struct Case {
        const char* text;
        const char* result;
    } cases[] = {
        {"echo max(y C1) done", "echo 5 done"},
        {"echo Max(y C1)", "echo 5"},
        {"min(y c1, C2)", "-2"},
        {"max(x)", "20"},
        {"sum(y C1 C1)", "18"},
        {"mean(x C2)", "15"},
        {"median(y C1)", "3"},
        {"var(y C1)", "4"},
        {"stdev(y C1)", "2"},
        {"minview(x) maxview(y C7)", "2 9"},
        {"max(y C1)+1", "max(y C1)+1"},
        {"no calls here", "no calls here"},
        {"a sum(y C2) b sum(y C2)", "a -1.5 b -1.5"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(substituteStatistics(m, view(), c.text).toStdString(), c.result) << c.text;

    CurveMap tenths;
    tenths[0] = CurveData(std::vector<double>{0, 0.1});
    EXPECT_EQ(substituteStatistics(tenths, view(), "mean(y)"), "0.10000000000000000555");
}

TEST(StatisticFunctions, Errors)
{
    const CurveMap m = plot();
    EXPECT_EQ(errorOf<kroexception>(m, "max(y all)"), "Command Info: The command \"max(y all)\" is not properly formatted.");
    EXPECT_EQ(errorOf<kroexception>(m, "x max(y C1)+min(y C2)"),
              "Command Info: The command \"max(y C1)+min(y C2)\" is not properly formatted.");
    EXPECT_EQ(errorOf<std::runtime_error>(m, "MAX(y C1)"), "Warning: Function has not been implemented.");
    EXPECT_EQ(errorOf<std::runtime_error>(m, "max(y C9)"), "Curve C9 does not exist.");
    EXPECT_EQ(errorOf<std::runtime_error>(CurveMap{}, "mean(x)"), "No valid curves were supplied for operation.");
    // The view needs no curve.
    EXPECT_EQ(substituteStatistics(CurveMap{}, view(), "maxview(x)"), "3");
    EXPECT_THROW(evaluateStatistic(m, 4096, 1, view(), {}), std::runtime_error);
}

TEST(StatisticFunctions, CurveOperatorCheck)
{
    struct {
        const char* text;
        bool free;
    } cases[] = {{"echo max(y cj)", false},
                 {"max(y CI) x", false},
                 {"sum(x cN)", false},
                 {"sum(y C1 C2)", true},
                 {"run cj now", true},
                 {"no calls", true},
                 {"max(y cj)+1", true}};
    for (const auto& c : cases)
        EXPECT_EQ(functionsFreeOfCurveOperator(c.text), c.free) << c.text;
}

TEST(StatisticFunctions, ExpandCurveList)
{
    const CurveMap m = plot();
    EXPECT_EQ(expandCurveList(m, {ALL_CURVES, 5}), (std::vector<int>{0, 1}));
    EXPECT_EQ(expandCurveList(m, {3, ALL_CURVES}), (std::vector<int>{3, ALL_CURVES}));
    EXPECT_TRUE(expandCurveList(m, {}).empty());
}
