#include "core/curvedata.h"

#include <gtest/gtest.h>

#include <stdexcept>

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
