#pragma once
// One curve (points interleaved x0, y0, x1, y1, ...) with its display
// attributes, and the curves of one plot.
#include <QtGlobal>

#include <cstddef>
#include <map>
#include <vector>

// The colour word of curves and plot options: 0xRRGGBB in the low 24 bits,
// bit 31 set for "not set", bit 30 set for a colour from the line-colour list.
struct Rgb {
    static constexpr quint32 NotSet = 0x80000000u;
    static constexpr quint32 Palette = 0x40000000u;

    quint32 value = NotSet;

    constexpr Rgb() = default;
    constexpr Rgb(quint32 v) : value(v) {}
    constexpr operator quint32() const { return value; }

    constexpr bool isSet() const { return (value & NotSet) == 0; }
    constexpr bool isPalette() const { return (value & Palette) != 0; }
    // True when a plot replaces this colour from the line-colour list.
    constexpr bool needsPalette() const { return (value & (NotSet | Palette)) != 0; }
    // The drawing colour 0xRRGGBB.
    constexpr quint32 rgb() const { return value & 0xFFFFFFu; }
};

namespace Zavozi {
struct CurveAttributes {
    enum PointStyle : qint32 {
        CIRCLE = 1,
        DIAMOND = 3,
        HEXAGON = 4,
        PENTAGON = 5,
        SQUARE = 6,
        TRIANGLE = 7,
    };

    bool showPoints = false;
    bool showLine = true;
    PointStyle pointStyle = CIRCLE;
    Rgb pointShapeColor;
    Rgb pointFillColor;
    Rgb lineColor;

    bool operator==(const CurveAttributes&) const = default;
};
} // namespace Zavozi

struct CurveData {
    std::vector<double> values;
    Zavozi::CurveAttributes attributes;

    CurveData() = default;
    // n values (not points), each equal to v.
    CurveData(std::size_t n, double v) : values(n, v) {}
    // The values in [first, last), interleaved points.
    // An empty or reversed range gives no values.
    CurveData(const double* first, const double* last)
        : values(first && last && first < last ? std::vector<double>(first, last) : std::vector<double>())
    {
    }
    explicit CurveData(std::vector<double> v) : values(std::move(v)) {}

    // Point count; raises the corrupt-curve error for an odd number of values.
    std::size_t pointCount() const;
    double x(std::size_t i) const { return values[2 * i]; }
    double y(std::size_t i) const { return values[2 * i + 1]; }
    void append(double x, double y)
    {
        values.push_back(x);
        values.push_back(y);
    }
    bool empty() const { return values.empty(); }

    bool operator==(const CurveData&) const = default;
};

using CurveMap = std::map<int, CurveData>;

// The curve index that stands for every curve of a plot.
inline constexpr int ALL_CURVES = 0x7FFFFFFF;

// Raises the std::runtime_error of a curve with an odd number of values.
[[noreturn]] void throwCorruptCurve();

int pointCountOfCurve(const CurveMap& curves, int index);
long long pointCountOfAllCurves(const CurveMap& curves);
int maxPointCount(const CurveMap& curves);
// Keys are the user numbers (index + 1); values the stored line colours.
std::map<int, Rgb> lineColorById(const CurveMap& curves);
