// Statistics over curve maps: selection rules, the moments, medians,
// extremes and the slope, and the errors for missing, empty and corrupt
// curves.
#include "core/curvestats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <stdexcept>

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
const double NaN = std::numeric_limits<double>::quiet_NaN();

CurveData curve(std::vector<double> values) { return CurveData(std::move(values)); }

// y values at x = 0, 1, 2, ...
CurveData ys(std::initializer_list<double> y)
{
    CurveData c;
    double x = 0;
    for (double v : y)
        c.append(x++, v);
    return c;
}

std::string errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(CurveStats, ListSumsCountDuplicatesTwice)
{
    CurveMap m{{0, ys({1, 2, 3})}};
    EXPECT_EQ(sumOfCurveList(m, IdArray{2, 0, 0}, 1), 12);
    EXPECT_EQ(pointCountOfCurveList(m, IdArray{2, 0, 0}), 6);
    EXPECT_EQ(sumOfCurveList(m, IdArray{2, 0, 0}, 0), 6);
    EXPECT_EQ(sumOfCurveList(m, IdArray{-1, 0}, 1), 0) << "a negative count selects nothing";
    EXPECT_EQ(pointCountOfCurveList(m, IdArray{-3}), 0);
    EXPECT_EQ(sumOfCurveList(m, IdArray{1, ALL_CURVES}, 1), 6);
}

TEST(CurveStats, ListFormsRaiseForMissingCurvesAndEmptyLists)
{
    CurveMap m{{0, ys({1, 2, 3})}};
    const std::vector<std::pair<const char*, std::function<void(const IdArray&)>>> listForms = {
        {"count", [&](const IdArray& ids) { pointCountOfCurveList(m, ids); }},
        {"sum", [&](const IdArray& ids) { sumOfCurveList(m, ids, 1); }},
        {"median", [&](const IdArray& ids) { medianOfCurveList(m, ids, 1); }},
        {"variance", [&](const IdArray& ids) { varianceOfCurveList(m, ids, 1); }},
        {"kurtosis", [&](const IdArray& ids) { kurtosisOfCurveList(m, ids, 1); }},
        {"rms", [&](const IdArray& ids) { rmsOfCurveList(m, ids, 1); }},
        {"extreme", [&](const IdArray& ids) { extremeOfCurveList(m, ids, 1, 1); }},
    };
    for (const auto& form : listForms) {
        const auto& name = form.first;
        const auto& call = form.second;
        EXPECT_EQ(errorOf([&] { call(IdArray{1, 4}); }), "Curve C5 does not exist.") << name;
        EXPECT_EQ(errorOf([&] { call(IdArray{2, 0, 4}); }), "Curve C5 does not exist.") << name;
        EXPECT_EQ(errorOf([&] { call(IdArray{0}); }), "No valid curves were supplied for operation.") << name;
    }
}

TEST(CurveStats, SingleFormsGiveNeutralResultsForMissingCurves)
{
    const CurveMap withOthers{{0, ys({1, 2, 3})}};
    const CurveMap empty;
    for (const auto& [m, index] : {std::pair{&withOthers, 9}, std::pair{&empty, ALL_CURVES}}) {
        for (int axis : {0, 1}) {
            EXPECT_EQ(sumOfCurve(*m, index, axis), 0);
            EXPECT_EQ(medianOfCurve(*m, index, axis), 0);
            EXPECT_EQ(varianceOfCurve(*m, index, axis), 0);
            EXPECT_EQ(kurtosisOfCurve(*m, index, axis), 0);
            EXPECT_EQ(rmsOfCurve(*m, index, axis), 0);
            EXPECT_EQ(extremeOfCurve(*m, index, 1, axis), PointXY(0, 0));
        }
        EXPECT_TRUE(std::isnan(regressionSlope(*m, index)));
    }
}

TEST(CurveStats, MedianOfOddAndEvenCounts)
{
    const struct {
        CurveMap m;
        double median;
    } cases[] = {
        {{{0, ys({3, 1, 2})}}, 2},
        {{{0, ys({4, 1, 3, 2})}}, 2.5},
        {{{0, ys({5})}}, 5},
        {{{0, ys({4, 1})}, {3, ys({3, 2})}}, 2.5},
        {{{0, ys({-1, 7, 7, 7, 100})}}, 7},
        {{{0, ys({1, NaN, 3})}}, 3},  // NaN orders last
    };
    for (const auto& c : cases)
        EXPECT_EQ(medianOfCurve(c.m, ALL_CURVES, 1), c.median);
    const CurveMap two{{0, ys({4, 1})}, {3, ys({3, 2})}};
    EXPECT_EQ(medianOfCurveList(two, IdArray{2, 3, 0}, 1), 2.5);
    EXPECT_EQ(medianOfCurve(two, 3, 0), 0.5);
}

// Large selections take a narrower path; the answer is still the textbook
// median: the middle of all values sorted, NaN last, the mean of the two
// middle ones for an even count.
TEST(CurveStats, MedianOfLargeSelectionsIsTheMiddleOfTheSortedValues)
{
    auto reference = [](const CurveMap& m) {
        std::vector<double> all;
        for (const auto& [id, c] : m)
            for (std::size_t i = 0; i < c.pointCount(); ++i)
                all.push_back(c.y(i));
        std::sort(all.begin(), all.end(), [](double a, double b) { return std::isnan(b) ? !std::isnan(a) : a < b; });
        const std::size_t n = all.size();
        return n % 2 ? all[n / 2] : (all[n / 2 - 1] + all[n / 2]) / 2;
    };
    auto fill = [](std::size_t n, auto&& value) {
        CurveData c;
        c.values.reserve(2 * n);
        for (std::size_t i = 0; i < n; ++i)
            c.append(double(i), value(i));
        return c;
    };
    std::uint32_t state = 12345;
    auto noise = [&](std::size_t) {
        state = state * 1664525u + 1013904223u;
        return double(state >> 8) * 1e-3;
    };
    const struct {
        const char* name;
        CurveMap m;
    } cases[] = {
        {"random, odd", {{0, fill(200001, noise)}}},
        {"random, even", {{0, fill(200000, noise)}}},
        {"sorted", {{0, fill(300000, [](std::size_t i) { return double(i); })}}},
        {"smooth and periodic", {{0, fill(400000, [](std::size_t i) { return std::sin(i * 1e-4); })}}},
        {"long flat runs", {{0, fill(250000, [](std::size_t i) { return double((i / 5000) % 7); })}}},
        {"two values", {{0, fill(200000, [](std::size_t i) { return double(i % 2); })}}},
        {"all equal", {{0, fill(150000, [](std::size_t) { return 4.25; })}}},
        {"some NaN", {{0, fill(200000, [&](std::size_t i) { return i % 3 ? noise(i) : NaN; })}}},
        {"mostly NaN", {{0, fill(200000, [&](std::size_t i) { return i % 5 ? NaN : noise(i); })}}},
        {"half NaN, even", {{0, fill(200000, [&](std::size_t i) { return i % 2 ? NaN : double(i); })}}},
        {"the middle pair across a gap", {{0, fill(200000, [](std::size_t i) { return i < 100000 ? 0.0 : 1e9; })}}},
        {"several curves", {{0, fill(90000, noise)}, {4, fill(70001, [](std::size_t i) { return -double(i); })}}},
    };
    for (const auto& c : cases) {
        const double expected = reference(c.m);
        const double got = medianOfCurve(c.m, ALL_CURVES, 1);
        if (std::isnan(expected)) {
            EXPECT_TRUE(std::isnan(got)) << c.name;
        } else {
            EXPECT_EQ(got, expected) << c.name;
        }
    }
}

TEST(CurveStats, MedianOfNoValuesIsACurveErrorNotAnEscapingLibraryError)
{
    const CurveMap m{{0, CurveData()}, {1, CurveData()}};
    const char* text = "No valid curves were supplied for operation.";
    EXPECT_EQ(errorOf([&] { medianOfCurve(m, 0, 1); }), text);
    EXPECT_EQ(errorOf([&] { medianOfCurve(m, ALL_CURVES, 1); }), text);
    EXPECT_EQ(errorOf([&] { medianOfCurveList(m, IdArray{2, 0, 1}, 1); }), text);
    const CurveMap full{{0, ys({1})}};
    EXPECT_EQ(errorOf([&] { medianOfCurveList(full, IdArray{-1}, 1); }), text);
}

TEST(CurveStats, Moments)
{
    const CurveMap m{{0, ys({2, 4, 4, 4, 5, 5, 7, 9})}, {1, ys({1, 2, 3, 4, 5})}, {2, ys({3, 4})}};
    EXPECT_DOUBLE_EQ(varianceOfCurve(m, 0, 1), 32.0 / 7);
    EXPECT_DOUBLE_EQ(varianceOfCurve(m, 1, 0), 2.5);
    EXPECT_DOUBLE_EQ(kurtosisOfCurve(m, 1, 1), -1.2);
    EXPECT_DOUBLE_EQ(kurtosisOfCurveList(m, IdArray{1, 1}, 1), -1.2);
    EXPECT_DOUBLE_EQ(rmsOfCurve(m, 2, 1), std::sqrt(12.5));
    EXPECT_DOUBLE_EQ(rmsOfCurveList(m, IdArray{2, 2, 2}, 1), std::sqrt(12.5));
    // Variance over two listed curves pools their values.
    EXPECT_DOUBLE_EQ(varianceOfCurveList(m, IdArray{2, 1, 2}, 1), varianceOfCurve({{0, ys({1, 2, 3, 4, 5, 3, 4})}}, 0, 1));
    // One point: no divisor; NaN flows out without an error.
    EXPECT_TRUE(std::isnan(varianceOfCurve({{0, ys({5})}}, 0, 1)));
    EXPECT_FALSE(std::isfinite(kurtosisOfCurve({{0, ys({1, 2, 3})}}, 0, 1)));
}

TEST(CurveStats, EmptyCurvesAddNothing)
{
    const CurveMap m{{0, CurveData()}, {1, ys({1, 2, 3})}, {2, CurveData()}};
    EXPECT_EQ(sumOfCurve(m, ALL_CURVES, 1), 6);
    EXPECT_DOUBLE_EQ(varianceOfCurve(m, ALL_CURVES, 1), 1);
    EXPECT_DOUBLE_EQ(rmsOfCurve(m, ALL_CURVES, 1), std::sqrt(14.0 / 3));
    EXPECT_EQ(sumOfCurveList(m, IdArray{3, 0, 1, 2}, 1), 6);
    EXPECT_EQ(sumOfCurve(m, 0, 1), 0);
    EXPECT_EQ(rmsOfCurve(m, 0, 1), 0);
}

TEST(CurveStats, StandardDeviationOfPlainValues)
{
    EXPECT_EQ(standardDeviation({}), 0);
    EXPECT_TRUE(std::isnan(standardDeviation({4})));
    EXPECT_DOUBLE_EQ(standardDeviation({2, 4, 4, 4, 5, 5, 7, 9}), std::sqrt(32.0 / 7));
    EXPECT_DOUBLE_EQ(meanY({0, 1, 1, 5, 2, 6}), 4);
}

TEST(CurveStats, ExtremeOfPoints)
{
    const struct {
        std::vector<double> points;
        int kind;
        int axis;
        PointXY expected;
    } cases[] = {
        {{0, 1, 1, 5, 2, 5, 3, inf}, 1, 1, {1, 5}},   // tie keeps the earlier point; inf skipped
        {{0, NaN, 1, 5, 2, 7}, 1, 1, {0, NaN}},       // a NaN start is never replaced
        {{0, 3, 1, -inf, 2, -2, 3, NaN}, 0, 1, {2, -2}},
        {{5, 0, 1, 0, 9, 0}, 0, 0, {1, 0}},
        {{5, 0, 1, 0, 9, 0}, 1, 0, {9, 0}},
        {{5, 0, 1, 0, 9, 0}, 2, 0, {5, 0}},           // other kinds keep the start
        {{7}, 1, 1, {0, 0}},
        {{}, 0, 1, {0, 0}},
    };
    for (const auto& c : cases) {
        const PointXY r = extremeOfPoints(c.points, c.kind, c.axis);
        EXPECT_EQ(r.first, c.expected.first);
        if (std::isnan(c.expected.second))
            EXPECT_TRUE(std::isnan(r.second));
        else
            EXPECT_EQ(r.second, c.expected.second);
    }
}

TEST(CurveStats, ExtremeOverCurvesStartsFromTheFirstCurveWithPoints)
{
    const CurveMap m{{0, CurveData()}, {1, curve({10, 5, 11, 7})}, {4, curve({20, 6, 21, 4})}};
    EXPECT_EQ(extremeOfCurve(m, ALL_CURVES, 0, 1), PointXY(21, 4));
    EXPECT_EQ(extremeOfCurve(m, ALL_CURVES, 1, 1), PointXY(11, 7));
    EXPECT_EQ(extremeOfCurve(m, ALL_CURVES, 1, 0), PointXY(21, 4));
    EXPECT_EQ(extremeOfCurveList(m, IdArray{2, 0, 1}, 0, 1), PointXY(10, 5)) << "not the (0, 0) of the empty curve";
    EXPECT_EQ(extremeOfCurveList(m, IdArray{2, 4, 1}, 1, 1), PointXY(11, 7));
    EXPECT_EQ(extremeOfCurve(m, 0, 1, 1), PointXY(0, 0));
}

TEST(CurveStats, Log10Extreme)
{
    const std::vector<double> p = {1, 0, 2, -100, 3, 10};
    EXPECT_EQ(log10ExtremeOfPoints(p, 0, 1), PointXY(3, 1));
    EXPECT_EQ(log10ExtremeOfPoints(p, 1, 1), PointXY(2, 2));
    EXPECT_EQ(log10ExtremeOfPoints({1, 0, 2, 0}, 1, 1), PointXY(0, 0));
    EXPECT_EQ(log10ExtremeOfPoints({1000, 4, 0.01, 5}, 0, 0), PointXY(-2, 5));
    EXPECT_EQ(log10ExtremeOfPoints({5}, 0, 0), PointXY(0, 0));
}

TEST(CurveStats, RegressionSlope)
{
    const CurveMap m{{0, curve({0, 1, 1, 3, 2, 5})}, {1, curve({10, 21})}, {2, curve({3, 7, 4, 9})}};
    EXPECT_DOUBLE_EQ(regressionSlope(m, 0), 2);
    EXPECT_DOUBLE_EQ(regressionSlope(m, 2), 2);
    // A curve with one point counts in the means but adds nothing to the sums.
    const CurveMap lone{{0, curve({0, 1, 1, 3, 2, 5})}, {1, curve({10, 21})}};
    const double meanX = 13.0 / 4, meanY = 30.0 / 4;
    double sxy = 0, sxx = 0;
    for (auto [x, y] : {std::pair{0.0, 1.0}, {1.0, 3.0}, {2.0, 5.0}}) {
        sxy += (x - meanX) * (y - meanY);
        sxx += (x - meanX) * (x - meanX);
    }
    EXPECT_DOUBLE_EQ(regressionSlope(lone, ALL_CURVES), sxy / sxx);
    EXPECT_FALSE(std::isfinite(regressionSlope({{0, curve({1, 1, 1, 2})}}, 0)));
}

TEST(CurveStats, CorruptCurvesAndBadAxesRaise)
{
    const CurveMap m{{0, curve({1, 2, 3, 4, 5})}, {1, ys({1, 2})}};
    const std::string corrupt = "Critical Error: Curve has mismatched number of x and y points!";
    const std::vector<std::function<void()>> calls = {
        [&] { sumOfCurve(m, 0, 1); },
        [&] { sumOfCurve(m, ALL_CURVES, 1); },
        [&] { sumOfCurveList(m, IdArray{1, 0}, 1); },
        [&] { medianOfCurve(m, 0, 1); },
        [&] { varianceOfCurveList(m, IdArray{2, 1, 0}, 1); },
        [&] { extremeOfCurve(m, ALL_CURVES, 0, 1); },
        [&] { regressionSlope(m, 0); },
    };
    for (const auto& call : calls)
        EXPECT_EQ(errorOf(call).substr(0, corrupt.size()), corrupt);
    EXPECT_EQ(sumOfCurve(m, 1, 1), 3) << "the sound curve is still usable";
    EXPECT_THROW(sumOfCurve(m, 1, 2), std::runtime_error);
    EXPECT_THROW(extremeOfPoints({1, 2}, 0, -1), std::runtime_error);
}
