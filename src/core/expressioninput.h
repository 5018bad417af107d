#pragma once
// A cursor over the interleaved points of a curve: the expression worker
// walks one per referenced curve, and resampling walks two.
#include "core/curvedata.h"

#include <vector>

struct ExpressionInput {
    const CurveData* curve = nullptr; // the curve walked (informational)
    const double* begin = nullptr;    // first value of the current part
    const double* end = nullptr;      // one past the last value
    const double* x = nullptr;        // current point's x
    const double* y = nullptr;        // current point's y (x + 1)

    // A cursor at the first point of v (x, y and end equal when v is empty).
    static ExpressionInput over(const std::vector<double>& v, const CurveData* curve = nullptr)
    {
        ExpressionInput c;
        c.curve = curve;
        c.begin = v.data();
        c.end = v.data() + v.size();
        c.x = c.begin;
        c.y = v.size() >= 2 ? c.begin + 1 : c.end;
        if (c.y == c.end)
            c.x = c.end;
        return c;
    }
    static ExpressionInput over(const CurveData& c) { return over(c.values, &c); }

    bool atEnd() const { return y == end; }
    // The current values; 0 at the end.
    double currentX() const { return atEnd() ? 0.0 : *x; }
    double currentY() const { return atEnd() ? 0.0 : *y; }
    // True when a point follows the current one.
    bool hasNext() const { return !atEnd() && end - y > 2; }
    // Moves one point on; at or past the end both pointers rest on end.
    void advance()
    {
        if (end - y <= 2) {
            x = y = end;
        } else {
            x += 2;
            y += 2;
        }
    }
    // The values from the current point to the end.
    long long valuesLeft() const { return end - y; }
};
