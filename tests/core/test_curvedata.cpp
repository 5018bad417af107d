#include "core/curvedata.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

TEST(CurveData, FilledConstructorHasDefaultAttributes)
{
    const CurveData c(6, 0.0);
    EXPECT_EQ(c.pointCount(), 3u);
    EXPECT_FALSE(c.attributes.showPoints);
    EXPECT_TRUE(c.attributes.showLine);
    EXPECT_EQ(c.attributes.pointStyle, Zavozi::CurveAttributes::CIRCLE);
    for (Rgb color : {c.attributes.pointShapeColor, c.attributes.pointFillColor, c.attributes.lineColor})
        EXPECT_EQ(quint32(color), 0x80000000u);
    for (double v : c.values)
        EXPECT_EQ(v, 0.0);
}

TEST(CurveData, RangeConstructorCopiesValues)
{
    const double v[] = {1, 2, 3, 4};
    const CurveData c(v, v + 4);
    EXPECT_EQ(c.pointCount(), 2u);
    EXPECT_EQ(c.x(1), 3);
    EXPECT_EQ(c.y(1), 4);
    EXPECT_TRUE(CurveData(v + 4, v).empty()) << "a reversed range is no curve";
    EXPECT_TRUE(CurveData(nullptr, nullptr).empty());
}

TEST(CurveData, PointCounts)
{
    CurveMap empty;
    EXPECT_EQ(pointCountOfAllCurves(empty), 0);
    EXPECT_EQ(maxPointCount(empty), 0);
    EXPECT_EQ(pointCountOfCurve(empty, 3), 0);

    CurveMap m;
    m[0] = CurveData(4, 1.0);
    m[7] = CurveData(10, 1.0);
    EXPECT_EQ(pointCountOfCurve(m, 0), 2);
    EXPECT_EQ(pointCountOfCurve(m, 7), 5);
    EXPECT_EQ(pointCountOfCurve(m, 1), 0);
    EXPECT_EQ(pointCountOfAllCurves(m), 7);
    EXPECT_EQ(maxPointCount(m), 5);
}

TEST(CurveData, OddValueCountIsCorrupt)
{
    CurveMap m;
    m[0] = CurveData(4, 1.0);
    m[1] = CurveData(5, 1.0);
    try {
        pointCountOfCurve(m, 1);
        FAIL() << "no error for a corrupt curve";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Critical Error: Curve has mismatched number of x and y points!\n"
                               "Please report this error to the KRO issue tracker.");
    }
    EXPECT_THROW(pointCountOfAllCurves(m), std::runtime_error);
    EXPECT_THROW(maxPointCount(m), std::runtime_error);
    EXPECT_EQ(pointCountOfCurve(m, 0), 2);
}

TEST(CurveData, LineColorByIdUsesUserNumbersAndRawColours)
{
    CurveMap m;
    m[0].attributes.lineColor = 0x40FF0000u;
    m[4].attributes.lineColor = 0x00123456u;
    const auto colors = lineColorById(m);
    ASSERT_EQ(colors.size(), 2u);
    EXPECT_EQ(quint32(colors.at(1)), 0x40FF0000u);
    EXPECT_EQ(quint32(colors.at(5)), 0x00123456u);
}

TEST(Rgb, Flags)
{
    EXPECT_FALSE(Rgb().isSet());
    EXPECT_TRUE(Rgb().needsPalette());
    EXPECT_TRUE(Rgb(0x40112233u).isPalette());
    EXPECT_TRUE(Rgb(0x40112233u).needsPalette());
    EXPECT_FALSE(Rgb(0x00112233u).needsPalette());
    EXPECT_EQ(Rgb(0xC0112233u).rgb(), 0x112233u);
}

TEST(CurveValues, CopiesShareUntilOneChanges)
{
    CurveData a(std::vector<double>{1, 2, 3, 4});
    CurveData b = a;
    EXPECT_TRUE(b.values.sharesDataWith(a.values)) << "a copy allocates nothing";
    EXPECT_EQ(b.values.data(), a.values.data());

    // Each kind of change gives the changed copy values of its own and
    // leaves the other exactly as it was.
    const std::vector<std::function<void(CurveData&)>> changes = {
        [](CurveData& c) { c.values.mut()[0] = 9; },
        [](CurveData& c) { c.append(5, 6); },
        [](CurveData& c) { c.values.resize(2); },
        [](CurveData& c) { c.values.assign(4, 7.0); },
        [](CurveData& c) { c.values.clear(); },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        CurveData copy = a;
        changes[i](copy);
        EXPECT_FALSE(copy.values.sharesDataWith(a.values)) << "change " << i;
        EXPECT_EQ(a.values.vec(), (std::vector<double>{1, 2, 3, 4})) << "change " << i;
    }
    // The original itself stays shared with b until it changes.
    EXPECT_TRUE(b.values.sharesDataWith(a.values));
}

TEST(CurveValues, SoleOwnerChangesInPlace)
{
    CurveData a(std::vector<double>{1, 2});
    const double* before = a.values.data();
    a.values.mut()[1] = 5;
    EXPECT_EQ(a.values.data(), before) << "no copy when nobody else holds the values";
    {
        const CurveData held = a;
        a.values.mut()[1] = 6;
        EXPECT_EQ(held.y(0), 5);
    }
    const double* own = a.values.data();
    a.values.mut()[0] = 3;
    EXPECT_EQ(a.values.data(), own) << "the copy held before is gone";
    EXPECT_EQ(a.values.vec(), (std::vector<double>{3, 6}));
}

TEST(CurveValues, EqualityComparesValues)
{
    const CurveData a(std::vector<double>{1, 2});
    const CurveData b(std::vector<double>{1, 2});
    EXPECT_FALSE(a.values.sharesDataWith(b.values));
    EXPECT_EQ(a, b);
    EXPECT_EQ(CurveValues(), CurveValues(std::vector<double>{})) << "no data and empty data are equal";
    EXPECT_NE(a, CurveData(std::vector<double>{1, 3}));
}

TEST(CurveValues, ThreadsDroppingSharesNeverCorruptTheOwner)
{
    // Workers read their own copies while the owner keeps changing its
    // curve; every worker sees the values as they were when it was given
    // its copy.
    CurveData owner(std::vector<double>(2000, 1.0));
    std::vector<std::thread> workers;
    std::atomic<int> bad{0};
    for (int round = 0; round < 8; ++round) {
        CurveData snapshot = owner;
        const double expected = double(round + 1);
        workers.emplace_back([snapshot, expected, &bad] {
            for (int pass = 0; pass < 50; ++pass)
                for (double v : snapshot.values)
                    if (v != expected)
                        ++bad;
        });
        std::vector<double>& v = owner.values.mut();
        for (double& x : v)
            x = double(round + 2);
    }
    for (auto& w : workers)
        w.join();
    EXPECT_EQ(bad.load(), 0);
}
